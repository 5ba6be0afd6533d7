// Installed-version detection and the replacement of a different version: which printer
// decides, the unsigned comparison, what counts as older, and the removal and restart that
// follow.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "installer/installed_version.h"
#include "platform/os_codes.h"
#include "tests/unit/installer_rig.h"

namespace {

using installer::InstalledVersionState;
using installer_rig::Rig;
using installer_rig::Strings;

const char* StateName(InstalledVersionState state) {
  switch (state) {
    case InstalledVersionState::OlderInstalled: return "OlderInstalled";
    case InstalledVersionState::NewerInstalled: return "NewerInstalled";
    case InstalledVersionState::NothingInstalled: return "NothingInstalled";
    case InstalledVersionState::SameInstalled: return "SameInstalled";
  }
  return "?";
}

InstalledVersionState Check(Rig& rig) {
  return installer::InstalledVersionCheck(rig.printers, rig.install, "KELVO HRX-410", "KELVO PRINT PROCESSOR HRX-410",
                                          installer::kInstallerVersion);
}

// A printer in both spoolers' views: the enumeration's and the one that opens printers.
void AddPrinter(Rig& rig, const std::string& name, const std::string& driver) {
  rig.printers.AddPrinter(name, "LPT1:", driver);
  rig.install.AddPrinter(name, driver);
}

TEST(InstalledVersionCheck, FirstPrinterOnTheDriverDecides) {
  constexpr std::uint32_t kAllBits = 4294967295u;
  struct Row {
    const char* name;
    void (*setUp)(Rig&);
    InstalledVersionState expected;
  } rows[] = {
      {"nothing installed", [](Rig&) {}, InstalledVersionState::NothingInstalled},
      {"1.0.1.0",
       [](Rig& r) {
         AddPrinter(r, "KELVO HRX-410", "KELVO HRX-410");
         r.install.SetVersion("KELVO HRX-410", 1, 0, 1, 0);
       },
       InstalledVersionState::SameInstalled},
      {"1.0.0.9: Build decides before Extra",
       [](Rig& r) {
         AddPrinter(r, "KELVO HRX-410", "KELVO HRX-410");
         r.install.SetVersion("KELVO HRX-410", 1, 0, 0, 9);
       },
       InstalledVersionState::OlderInstalled},
      {"1.1.0.0",
       [](Rig& r) {
         AddPrinter(r, "KELVO HRX-410", "KELVO HRX-410");
         r.install.SetVersion("KELVO HRX-410", 1, 1, 0, 0);
       },
       InstalledVersionState::NewerInstalled},
      {"1.0.1.1",
       [](Rig& r) {
         AddPrinter(r, "KELVO HRX-410", "KELVO HRX-410");
         r.install.SetVersion("KELVO HRX-410", 1, 0, 1, 1);
       },
       InstalledVersionState::NewerInstalled},
      {"Major with all bits set is higher, not -1",
       [](Rig& r) {
         AddPrinter(r, "KELVO HRX-410", "KELVO HRX-410");
         r.install.SetVersion("KELVO HRX-410", kAllBits, 0, 0, 0);
       },
       InstalledVersionState::NewerInstalled},
      {"ExtraVersion missing, the others equal",
       [](Rig& r) {
         AddPrinter(r, "KELVO HRX-410", "KELVO HRX-410");
         r.install.SetVersion("KELVO HRX-410", 1, 0, 1, 0);
         r.install.FindPrinter("KELVO HRX-410")->data.erase("ExtraVersion");
       },
       InstalledVersionState::OlderInstalled},
      {"only ExtraVersion read: the missing others stay 0",
       [](Rig& r) {
         AddPrinter(r, "KELVO HRX-410", "KELVO HRX-410");
         r.install.SetVersion("KELVO HRX-410", 1, 0, 1, 0);
         for (const char* name : {"MajorVersion", "MinorVersion", "BuildVersion"})
           r.install.FindPrinter("KELVO HRX-410")->data.erase(name);
       },
       InstalledVersionState::OlderInstalled},
      {"printer that cannot be opened",
       [](Rig& r) {
         AddPrinter(r, "KELVO HRX-410", "KELVO HRX-410");
         r.install.SetVersion("KELVO HRX-410", 1, 0, 1, 0);
         r.install.failOpen.insert("KELVO HRX-410");
       },
       InstalledVersionState::OlderInstalled},
      {"driver registered, no printer on it",
       [](Rig& r) {
         platform::DriverInfo3 driver;
         driver.name = "KELVO HRX-410";
         r.install.drivers.push_back(driver);
       },
       InstalledVersionState::OlderInstalled},
      {"print processor registered only",
       [](Rig& r) { r.install.processors.push_back("KELVO PRINT PROCESSOR HRX-410"); },
       InstalledVersionState::OlderInstalled},
      {"two printers on the driver, the first in enumeration order decides",
       [](Rig& r) {
         AddPrinter(r, "Front desk", "KELVO HRX-410");
         r.install.SetVersion("Front desk", 1, 0, 1, 0);
         AddPrinter(r, "KELVO HRX-410", "KELVO HRX-410");
         r.install.SetVersion("KELVO HRX-410", 0, 9, 0, 0);
       },
       InstalledVersionState::SameInstalled},
      {"a printer named like the driver but on another driver does not count",
       [](Rig& r) {
         AddPrinter(r, "KELVO HRX-410", "Generic / Text Only");
         r.install.SetVersion("KELVO HRX-410", 0, 1, 0, 0);
         AddPrinter(r, "KELVO HRX-410(#1)", "KELVO HRX-410");
         r.install.SetVersion("KELVO HRX-410(#1)", 1, 0, 1, 0);
       },
       InstalledVersionState::SameInstalled},
      {"driver name in other letter case is another driver",
       [](Rig& r) {
         AddPrinter(r, "kelvo", "KELVO hrx-410");
         r.install.SetVersion("kelvo", 1, 1, 0, 0);
       },
       InstalledVersionState::NothingInstalled},
      {"failed printer enumeration counts as no printer",
       [](Rig& r) {
         AddPrinter(r, "KELVO HRX-410", "KELVO HRX-410");
         r.install.SetVersion("KELVO HRX-410", 1, 0, 1, 0);
         r.printers.enumError = 1722;
       },
       InstalledVersionState::NothingInstalled},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Rig rig;
    row.setUp(rig);
    EXPECT_STREQ(StateName(Check(rig)), StateName(row.expected));
    EXPECT_EQ(rig.install.openPrinters, 0) << "the printer is closed again";
    EXPECT_TRUE(rig.view.boxes.empty());
  }
}

// How the versions are read: the printer opened with "RAW" and full access, four values into
// buffers of 4 bytes each, and no printer looked at after the first.
TEST(InstalledVersionCheck, ReadsFourNumbersFromTheFirstPrinterOnly) {
  Rig rig;
  AddPrinter(rig, "A", "KELVO HRX-410");
  rig.install.SetVersion("A", 1, 0, 1, 0);
  AddPrinter(rig, "B", "KELVO HRX-410");
  Check(rig);
  EXPECT_EQ(rig.install.log, (Strings{"open A RAW 0xf000c", "get A|MajorVersion 4", "get A|MinorVersion 4",
                                      "get A|BuildVersion 4", "get A|ExtraVersion 4", "close A"}));
}

// An older or newer installation is removed by the installer's removal procedure, then
// Windows is restarted and the process ends.
TEST(ReplaceInstalledVersion, RemovesRestartsAndEnds) {
  Rig rig;
  rig.InstalledBefore({"KELVO HRX-410", "Kitchen"}, {1, 0, 0, 9});
  rig.system.modules["CleanNT6.DLL"] = {"RemoveFromVISTA"};
  rig.Start();

  rig.window.OnTimer(installer::kFlowTimerId);

  ASSERT_GE(rig.view.boxes.size(), 2u);
  EXPECT_EQ(rig.view.boxes.front().text,
            "There is different version driver in this system.\r\n\r\nThe installed driver will be removed.");
  EXPECT_EQ(rig.view.boxes.back().text,
            "Installer  has successfully removed different version.\n"
            "Now it's going to restart your computer to take effect. Please wait.\n\n"
            "After restarting, you may reinstall our driver again.");
  for (const auto& box : rig.view.boxes) {
    EXPECT_EQ(box.caption, "KELVO HRX-410 installer");
    EXPECT_EQ(box.style, 0x40u);
    EXPECT_TRUE(box.owned);
  }
  // The removal ran in this window: both printers of the model deleted, the module called.
  EXPECT_TRUE(rig.admin.printers.empty());
  EXPECT_EQ(rig.JournalOf("call"), (Strings{"call RemoveFromVISTA(HRX-410,E)"}));
  // Its steps shown in the installer's window as they happen, on the window's bar.
  ASSERT_FALSE(rig.view.shown.empty());
  EXPECT_EQ(rig.view.shown.back(), (std::pair<std::string, int>{"Uninstall completed!", 100}));
  EXPECT_NE(std::find(rig.view.shown.begin(), rig.view.shown.end(),
                      std::pair<std::string, int>{"Preparing to remove...", 22}),
            rig.view.shown.end());
  // No port question; the restart after the last box, then the end.
  EXPECT_TRUE(rig.JournalOf("port dialog").empty());
  const std::vector<std::string> tail(rig.journal.end() - 7, rig.journal.end());
  EXPECT_EQ(tail, (Strings{"box owned " + rig.view.boxes.back().text, "open token 40", "lookup SeShutdownPrivilege",
                           "adjust 19:0 2", "exit windows 6 0", "close token", "end 0"}));
  EXPECT_EQ(rig.view.exitCodes, (std::vector<int>{0}));
}

TEST(ReplaceInstalledVersion, EndsEvenWhenTheRestartIsRefused) {
  Rig rig;
  rig.InstalledBefore({"KELVO HRX-410"}, {1, 1, 0, 0});
  rig.system.modules["CleanNT6.DLL"] = {"RemoveFromVISTA"};
  rig.system.adjustLastError = platform::kErrorNotAllAssigned;
  rig.Start();
  rig.window.OnTimer(installer::kFlowTimerId);
  EXPECT_TRUE(rig.JournalOf("exit windows").empty());
  EXPECT_EQ(rig.view.exitCodes, (std::vector<int>{0}));
}

// A removal that ends the process itself (its module is missing) is not followed by the
// success box or a restart.
TEST(ReplaceInstalledVersion, StopsWhenTheRemovalEndedTheProcess) {
  Rig rig;
  rig.InstalledBefore({"KELVO HRX-410"}, {1, 0, 0, 9});
  rig.Start();
  rig.window.OnTimer(installer::kFlowTimerId);

  ASSERT_EQ(rig.view.boxes.size(), 2u);
  EXPECT_EQ(rig.view.boxes[1].text, "Fail to load CleanNT6.DLL");
  EXPECT_TRUE(rig.JournalOf("exit windows").empty());
  EXPECT_EQ(rig.view.exitCodes, (std::vector<int>{0}));
}

}  // namespace
