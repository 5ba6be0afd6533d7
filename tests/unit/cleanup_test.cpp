// The clean-up operations: per-printer keys named after printers, the hardware-ID match of
// USB devices and the bounded enumeration, the class INF collection and the OEM INF rules,
// and deleting a folder tree with read-only entries, links and either form of path.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/os_codes.h"
#include "tests/fakes/fake_device_setup.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_print_admin.h"
#include "tests/fakes/fake_registry.h"
#include "uninstaller/cleanup/cleanup_operations.h"

namespace {

using platform::RegistryRoot;
using Strings = std::vector<std::string>;

constexpr auto kMachine = RegistryRoot::LocalMachine;
const std::string kKeyRoot = "SOFTWARE\\KELVO_POS_PRINTER\\";

// Position of an entry in a log; fails the test when it is missing.
std::size_t IndexOf(const Strings& log, const std::string& entry) {
  auto it = std::find(log.begin(), log.end(), entry);
  EXPECT_NE(it, log.end()) << "no \"" << entry << "\" in the log";
  return static_cast<std::size_t>(it - log.begin());
}

TEST(DeleteModelPrinters, DeletesPrintersAndKeysWithBlanksAsUnderscores) {
  struct Row {
    const char* printer;
    const char* key;
  } rows[] = {
      {"KELVO HRX-410", "KELVO_HRX-410"},
      {"Front Desk  2", "Front_Desk__2"},        // every blank, also two in a row
      {" Bar (Kitchen) ", "_Bar_(Kitchen)_"},   // other characters stay as they are
      {"No-Blanks", "No-Blanks"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.printer);
    fakes::FakePrintAdmin spooler;
    fakes::FakeRegistry registry;
    Strings journal;
    spooler.journal = &journal;
    registry.journal = &journal;
    spooler.printers = {row.printer, "Kept Printer"};
    registry.SetString(kMachine, kKeyRoot + row.key + "\\Settings", "Port", "COM1");
    registry.AddKey(kMachine, kKeyRoot + "Kept_Printer");

    removal::DeleteModelPrinters(spooler, registry, {row.printer});

    EXPECT_EQ(spooler.printers, std::set<std::string>{"Kept Printer"});
    EXPECT_FALSE(registry.HasKey(kMachine, kKeyRoot + row.key));
    EXPECT_FALSE(registry.HasKey(kMachine, kKeyRoot + row.key + "\\Settings"));
    EXPECT_TRUE(registry.HasKey(kMachine, kKeyRoot + "Kept_Printer"));
    // Opened as the deletion needs it, and closed before its key goes.
    EXPECT_EQ(journal, (Strings{"open printer " + std::string(row.printer) + " raw 0xf000c",
                                "delete printer " + std::string(row.printer), "close " + std::string(row.printer),
                                "deletetree HKLM\\" + kKeyRoot + row.key}));
  }
}

TEST(DeleteModelPrinters, MissingPrinterStillLosesItsKeyAndTheOthersGoOn) {
  fakes::FakePrintAdmin spooler;
  fakes::FakeRegistry registry;
  spooler.printers = {"Second"};
  registry.AddKey(kMachine, kKeyRoot + "Gone_Printer");
  registry.AddKey(kMachine, kKeyRoot + "Second");

  removal::DeleteModelPrinters(spooler, registry, {"Gone Printer", "Second"});

  EXPECT_TRUE(spooler.printers.empty());
  EXPECT_FALSE(registry.HasKey(kMachine, kKeyRoot + "Gone_Printer"));
  EXPECT_FALSE(registry.HasKey(kMachine, kKeyRoot + "Second"));
  EXPECT_EQ(std::count(spooler.log.begin(), spooler.log.end(), "delete printer Gone Printer"), 0);
  EXPECT_EQ(spooler.openHandles, 0);
}

TEST(DeleteModelPrinters, EmptyNameLeavesThePerPrinterRootAlone) {
  fakes::FakePrintAdmin spooler;
  fakes::FakeRegistry registry;
  registry.AddKey(kMachine, kKeyRoot + "Other");
  removal::DeleteModelPrinters(spooler, registry, {""});
  EXPECT_TRUE(registry.HasKey(kMachine, kKeyRoot + "Other"));
  EXPECT_EQ(std::count_if(registry.log.begin(), registry.log.end(),
                          [](const std::string& e) { return e.rfind("deletetree", 0) == 0; }),
            0);
}

// ---- RemoveUsbDevices ----

const std::string kPrefix = "USB\\Vid_3C17&Pid_0006";

TEST(RemoveUsbDevices, RemovesDevicesWhoseFirstHardwareIdMatches) {
  struct Row {
    const char* name;
    Strings ids;
    bool removed;
  } rows[] = {
      {"exact", {"USB\\Vid_3C17&Pid_0006"}, true},
      {"lower case with revision", {"usb\\vid_3c17&pid_0006&rev_0100", "usb\\vid_3c17&pid_0006"}, true},
      {"interface suffix", {"USB\\VID_3C17&PID_0006&MI_00"}, true},
      {"other product", {"USB\\Vid_3C17&Pid_0007"}, false},
      {"other vendor", {"USB\\Vid_3C18&Pid_0006"}, false},
      {"only the second id matches", {"USB\\Vid_1234&Pid_0001", "USB\\Vid_3C17&Pid_0006"}, false},
      {"shorter than the prefix", {"USB\\Vid_3C17"}, false},
      {"no hardware id", {}, false},
  };
  fakes::FakeDeviceSetup setup;
  for (const Row& row : rows) setup.AddDevice(row.name, row.ids);

  EXPECT_TRUE(removal::RemoveUsbDevices(setup, kPrefix));

  for (std::size_t i = 0; i < std::size(rows); ++i) EXPECT_EQ(setup.devices[i].removed, rows[i].removed) << rows[i].name;
  EXPECT_EQ(setup.log.front(), "devices USB 0x4");  // every class, present or not
  EXPECT_EQ(setup.openSets, 0);
}

TEST(RemoveUsbDevices, SkipsAHardwareIdListLongerThan100Bytes) {
  // A matching first ID padded by a second one to the byte count wanted.
  auto listOfBytes = [](std::size_t bytes) {
    const std::string first = "USB\\Vid_3C17&Pid_0006&Rev_0100";
    std::vector<std::uint8_t> data(first.begin(), first.end());
    data.push_back(0);
    data.resize(bytes - 2, 'x');
    data.push_back(0);
    data.push_back(0);
    return data;
  };
  struct Row {
    std::size_t bytes;
    bool removed;
  } rows[] = {{100, true}, {101, false}};
  for (const Row& row : rows) {
    fakes::FakeDeviceSetup setup;
    setup.devices.push_back({"printer", listOfBytes(row.bytes)});
    setup.devices.push_back({"next", fakes::FakeDeviceSetup::MultiSz({"USB\\Vid_3C17&Pid_0006"})});
    EXPECT_TRUE(removal::RemoveUsbDevices(setup, kPrefix)) << row.bytes;
    EXPECT_EQ(setup.devices[0].removed, row.removed) << row.bytes;
    EXPECT_TRUE(setup.devices[1].removed) << "the enumeration goes on after " << row.bytes;
  }
}

TEST(RemoveUsbDevices, UnreadablePropertyIsSkipped) {
  fakes::FakeDeviceSetup setup;
  setup.AddDevice("unreadable", {"USB\\Vid_3C17&Pid_0006"}).propertyError = platform::kErrorInvalidParameter;
  setup.AddDevice("readable", {"USB\\Vid_3C17&Pid_0006"});
  EXPECT_TRUE(removal::RemoveUsbDevices(setup, kPrefix));
  EXPECT_FALSE(setup.devices[0].removed);
  EXPECT_TRUE(setup.devices[1].removed);
}

TEST(RemoveUsbDevices, EnumerationErrorEndsTheEnumeration) {
  constexpr long kErrorInvalidData = 13;
  struct Row {
    const char* name;
    std::map<std::uint32_t, long> errors;
    std::uint32_t expectedEnumCalls;
  } rows[] = {
      {"error at the second index", {{1, kErrorInvalidData}}, 2},
      // A set that fails for every index must not be asked index after index.
      {"error at every index", {{0, kErrorInvalidData}, {1, kErrorInvalidData}, {2, kErrorInvalidData}}, 1},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fakes::FakeDeviceSetup setup;
    setup.AddDevice("first", {"USB\\Vid_3C17&Pid_0006"});
    setup.AddDevice("second", {"USB\\Vid_3C17&Pid_0006"});
    setup.AddDevice("third", {"USB\\Vid_3C17&Pid_0006"});
    setup.enumErrors = row.errors;
    EXPECT_FALSE(removal::RemoveUsbDevices(setup, kPrefix));
    EXPECT_EQ(setup.enumCalls, row.expectedEnumCalls);
    EXPECT_FALSE(setup.devices[2].removed);
    EXPECT_EQ(setup.openSets, 0);
  }
}

TEST(RemoveUsbDevices, FailedRemovalOrDeviceListStopsWithFalse) {
  fakes::FakeDeviceSetup setup;
  setup.AddDevice("refuses", {"USB\\Vid_3C17&Pid_0006"}).removeError = platform::kErrorAccessDenied;
  setup.AddDevice("later", {"USB\\Vid_3C17&Pid_0006"});
  EXPECT_FALSE(removal::RemoveUsbDevices(setup, kPrefix));
  EXPECT_FALSE(setup.devices[1].removed);
  EXPECT_EQ(setup.openSets, 0);

  fakes::FakeDeviceSetup noList;
  noList.getDevicesError = platform::kErrorAccessDenied;
  EXPECT_FALSE(removal::RemoveUsbDevices(noList, kPrefix));
}

// ---- CollectClassInfPaths ----

const std::string kClassKey = "SYSTEM\\CurrentControlSet\\Control\\Class\\{4D36E979-E325-11CE-BFC1-08002BE10318}";

TEST(CollectClassInfPaths, TakesInfPathOfEveryExactDriverDescription) {
  fakes::FakeRegistry registry;
  struct Row {
    const char* subkey;
    const char* driverDesc;  // null: no value
    const char* infPath;     // null: no value
  } rows[] = {
      {"0000", "KELVO HRX-410", "oem3.inf"},
      {"0001", "kelvo hrx-410", "oem4.inf"},   // differs in case only: not ours
      {"0002", "Generic / Text Only", "ntprint.inf"},
      {"0003", nullptr, "oem5.inf"},
      {"0004", "KELVO HRX-410", "oem12.inf"},
      {"0005", "KELVO HRX-410 ", "oem6.inf"},  // a trailing blank: not equal
      {"0006", "KELVO HRX-410", nullptr},      // ours, but nothing to delete
  };
  for (const Row& row : rows) {
    const std::string key = kClassKey + "\\" + row.subkey;
    registry.AddKey(kMachine, key);
    if (row.driverDesc) registry.SetString(kMachine, key, "DriverDesc", row.driverDesc);
    if (row.infPath) registry.SetString(kMachine, key, "InfPath", row.infPath);
  }
  registry.AddKey(kMachine, kClassKey + "\\Properties");

  Strings paths = {"left from an earlier call"};
  removal::CollectClassInfPaths(registry, paths);
  EXPECT_EQ(paths, (Strings{"oem3.inf", "oem12.inf"}));

  fakes::FakeRegistry empty;
  removal::CollectClassInfPaths(empty, paths);
  EXPECT_TRUE(paths.empty());
}

// ---- DeleteOemInfs ----

TEST(DeleteOemInfs, DeletesLowerCaseOemInfsWithTheModelLineAndTheirPnf) {
  fakes::FakeDeviceSetup setup;
  fakes::FakeFileSystem files;
  struct Row {
    const char* name;
    const char* line;  // "SECTION|KEY" the file has, or null
    bool deleted;
  } rows[] = {
      {"oem1.inf", "KELVO|KELVO HRX-410", true},
      {"OEM2.inf", "KELVO|KELVO HRX-410", false},   // capitals: not examined
      {"oem3.inf", nullptr, false},
      {"oem4.inf", "OTHER|KELVO HRX-410", false},  // the key in another section
      {"oem5.inf", "KELVO|KELVO HRX-41", false},
      {"hrx410.inf", "KELVO|KELVO HRX-410", false},  // not an OEM copy
      {"oem6.INF", "KELVO|KELVO HRX-410", true},
  };
  for (const Row& row : rows) {
    setup.infFiles.push_back(row.name);
    if (row.line) setup.infLines[row.name].insert(row.line);
    const std::string path = "C:\\WINDOWS\\inf\\" + std::string(row.name);
    files.AddFile(path);
    files.AddFile(removal::PrecompiledInfPath(path));
  }

  removal::DeleteOemInfs(setup, files);

  for (const Row& row : rows) {
    const std::string path = "C:\\WINDOWS\\inf\\" + std::string(row.name);
    EXPECT_EQ(files.Exists(path), !row.deleted) << row.name;
    EXPECT_EQ(files.Exists(removal::PrecompiledInfPath(path)), !row.deleted) << row.name << " PNF";
  }
  EXPECT_EQ(setup.log.front(), "inf list 0x2");
  EXPECT_LT(IndexOf(setup.log, "open inf oem1.inf 0x3"), IndexOf(setup.log, "close inf oem1.inf"));
  for (const char* unexamined : {"OEM2.inf", "hrx410.inf"}) {
    EXPECT_EQ(std::count(setup.log.begin(), setup.log.end(), "open inf " + std::string(unexamined) + " 0x3"), 0)
        << unexamined;
  }
  EXPECT_EQ(setup.openInfs, 0);
}

TEST(PrecompiledInfPath, SwapsOnlyTheFinalInfExtension) {
  struct Row {
    const char* inf;
    const char* pnf;
  } rows[] = {
      {"C:\\WINDOWS\\inf\\oem1.inf", "C:\\WINDOWS\\inf\\oem1.PNF"},
      {"C:\\WINDOWS\\inf\\OEM7.INF", "C:\\WINDOWS\\inf\\OEM7.PNF"},
      {"D:\\my.inf\\oem2.inf", "D:\\my.inf\\oem2.PNF"},
      {"C:\\WINDOWS\\inf\\readme.txt", ""},
      {".inf", ".PNF"},
      {"inf", ""},
  };
  for (const Row& row : rows) EXPECT_EQ(removal::PrecompiledInfPath(row.inf), row.pnf) << row.inf;
}

// ---- DeleteFolderTree ----

const std::string kTree = "C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\kelvo_hrx_4102d39";

void AddTree(fakes::FakeFileSystem& files) {
  const auto readOnly = platform::kFileAttributeReadOnly;
  files.AddFolder(kTree, platform::kFileAttributeDirectory | readOnly);
  files.AddFile(kTree + "\\HRX410E.dll", readOnly);
  files.AddFile(kTree + "\\sub\\HRX410E.GPD");
  files.AddFile(kTree + "\\sub\\deeper\\HRUI410.INI", readOnly | 0x20);
  files.AddFolder(kTree + "\\sub\\empty");
  files.AddFolder(kTree + "\\locked", platform::kFileAttributeDirectory | readOnly);
  files.AddFile(kTree + "\\locked\\HRUI410.dll");
  files.AddFile("C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\beside.dll");
}

TEST(DeleteFolderTree, DeletesEverythingBelowWithOrWithoutTrailingBackslash) {
  Strings logs[2];
  const std::string paths[2] = {kTree, kTree + "\\"};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(paths[i]);
    fakes::FakeFileSystem files;
    AddTree(files);
    removal::DeleteFolderTree(files, paths[i]);
    EXPECT_FALSE(files.Exists(kTree));
    EXPECT_EQ(files.PathsBelow("C:\\WINDOWS\\system32\\spool\\drivers\\w32x86"),
              (Strings{"C:\\WINDOWS\\system32\\spool\\drivers\\w32x86\\beside.dll"}));
    EXPECT_EQ(files.openSearches, 0);
    logs[i] = files.log;
  }
  EXPECT_EQ(logs[0], logs[1]);
}

TEST(DeleteFolderTree, RemovesNestedFoldersBottomUp) {
  fakes::FakeFileSystem files;
  AddTree(files);
  removal::DeleteFolderTree(files, kTree);
  const Strings& log = files.log;
  EXPECT_LT(IndexOf(log, "delete " + kTree + "\\sub\\deeper\\HRUI410.INI"), IndexOf(log, "rmdir " + kTree + "\\sub\\deeper"));
  EXPECT_LT(IndexOf(log, "rmdir " + kTree + "\\sub\\deeper"), IndexOf(log, "rmdir " + kTree + "\\sub"));
  EXPECT_LT(IndexOf(log, "rmdir " + kTree + "\\sub"), IndexOf(log, "rmdir " + kTree));
  EXPECT_EQ(log.back(), "rmdir " + kTree);
}

TEST(DeleteFolderTree, RemovesAFolderLinkWithoutFollowingIt) {
  fakes::FakeFileSystem files;
  files.AddFile("C:\\Elsewhere\\precious.doc");
  files.AddFile(kTree + "\\HRX410E.dll");
  files.AddJunction(kTree + "\\link", "C:\\Elsewhere");
  removal::DeleteFolderTree(files, kTree);
  EXPECT_FALSE(files.Exists(kTree));
  EXPECT_TRUE(files.Exists("C:\\Elsewhere\\precious.doc"));
}

TEST(DeleteFolderTree, EmptyPathOrBareDriveTouchesNothing) {
  for (const char* path : {"", "\\", "C:", "C:\\"}) {
    fakes::FakeFileSystem files;
    files.AddFile("C:\\boot.ini");
    removal::DeleteFolderTree(files, path);
    EXPECT_TRUE(files.log.empty()) << "\"" << path << "\"";
    EXPECT_TRUE(files.Exists("C:\\boot.ini"));
  }
}

TEST(DeleteFolderTree, MissingFolderEndsQuietly) {
  fakes::FakeFileSystem files;
  removal::DeleteFolderTree(files, kTree);
  EXPECT_EQ(files.log.back(), "rmdir " + kTree);
  EXPECT_EQ(files.openSearches, 0);
}

}  // namespace
