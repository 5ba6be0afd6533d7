// The uninstaller's dialog presenter: its set-up and one-shot start timer, the start-up
// enumeration that lists only the model's printers, "Uninstall" following the check boxes,
// the hand-over to the removal procedure, the immediate removal when only the driver is
// left, and the end when nothing is left.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/os_codes.h"
#include "tests/fakes/fake_device_setup.h"
#include "tests/fakes/fake_file_system.h"
#include "tests/fakes/fake_print_admin.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_registry_security.h"
#include "tests/fakes/fake_spooler.h"
#include "tests/fakes/fake_system_services.h"
#include "tests/fakes/fake_uninstall_dialog_view.h"
#include "tests/fakes/journal_clock.h"
#include "uninstaller/uninstall_dialog.h"

namespace {

using Strings = std::vector<std::string>;
using uninstaller::kCancelButton;
using uninstaller::kUninstallButton;

constexpr auto kMachine = platform::RegistryRoot::LocalMachine;
const std::string kX86 = "Windows NT x86";
const std::string kUninstallKey = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\KELVO_HRX-410";
const std::string kNothingLeft = "HRX-410 Driver doesn't exist.\nUninstall aleady completed.";

bool Has(const Strings& log, const std::string& entry) {
  return std::find(log.begin(), log.end(), entry) != log.end();
}

std::size_t IndexOf(const Strings& log, const std::string& entry) {
  auto it = std::find(log.begin(), log.end(), entry);
  EXPECT_NE(it, log.end()) << "no \"" << entry << "\" in the journal";
  return static_cast<std::size_t>(it - log.begin());
}

// The dialog on an XP machine with the driver and its uninstall entry; both removal modules
// are present and deleting the driver is what the module call does.
struct Rig {
  Rig() : view(journal), clock(journal) {
    spooler.journal = registry.journal = system.journal = &journal;
    system.version.platformId = 2;
    system.version.majorVersion = 5;
    system.version.minorVersion = 1;
    system.modules = {{"CleanNT5.DLL", {"RemoveFromWin2k"}}, {"CleanNT6.DLL", {"RemoveFromVISTA"}}};
    system.onCall = [this](const std::string&, const std::string&, const std::string&) {
      spooler.drivers.clear();
      registry.DeleteTree(kMachine, kUninstallKey);
    };
    spooler.drivers = {kX86 + "|KELVO HRX-410"};
    registry.SetString(kMachine, kUninstallKey, "DisplayName", "KELVO HRX-410");
  }

  void AddPrinter(const std::string& name, const std::string& driver = "KELVO HRX-410") {
    printers.AddPrinter(name, "USB001", driver);
    spooler.printers.insert(name);
  }

  // Initialisation, then the first tick of the start timer.
  void Start() {
    dialog.OnInitDialog();
    dialog.OnTimer(uninstaller::kStartTimerId);
  }

  void Check(const std::string& name, bool checked) {
    view.SetChecked(name, checked);
    dialog.OnCheckChanged();
  }

  Strings journal;
  fakes::FakeUninstallDialogView view;
  fakes::FakeSpooler printers;
  fakes::FakePrintAdmin spooler;
  fakes::FakeRegistry registry;
  fakes::FakeRegistrySecurity security;
  fakes::FakeDeviceSetup setup;
  fakes::FakeFileSystem files;
  fakes::FakeSystemServices system;
  fakes::JournalClock clock;
  removal::RemovalProcedureServices services{printers, spooler, registry, security, setup, files, system, clock};
  uninstaller::UninstallDialog dialog{view, services};
};

TEST(UninstallDialog, InitialisationSetsUpAndDefersTheEnumerationToTheTimer) {
  Rig rig;
  rig.AddPrinter("HRX A");
  rig.dialog.OnInitDialog();
  EXPECT_EQ(rig.journal, (Strings{"icons", "range 0 100", "progress step 30", "start timer 1 1"}));
  EXPECT_TRUE(rig.view.entries.empty());

  rig.dialog.OnTimer(7);  // not ours
  EXPECT_TRUE(rig.view.entries.empty());

  rig.dialog.OnTimer(uninstaller::kStartTimerId);
  EXPECT_EQ(rig.journal[4], "stop timer 1") << "stopped before the enumeration";
  EXPECT_TRUE(rig.view.timers.empty());
  ASSERT_EQ(rig.view.entries.size(), 1u);

  // A tick that was already queued does not enumerate again.
  rig.dialog.OnTimer(uninstaller::kStartTimerId);
  EXPECT_EQ(rig.view.entries.size(), 1u);
}

TEST(UninstallDialog, ListsOnlyTheModelsPrintersUncheckedAndWaits) {
  Rig rig;
  rig.AddPrinter("Kitchen HRX");
  rig.AddPrinter("Office Laser", "Generic Laser");
  rig.AddPrinter("Bar HRX");
  rig.AddPrinter("Lower Case", "kelvo hrx-410");   // differs in case: not the model's driver
  rig.AddPrinter("Trailing", "KELVO HRX-410 ");    // not equal either

  rig.Start();

  EXPECT_EQ(rig.view.entries, (std::vector<std::pair<std::string, bool>>{{"Kitchen HRX", false}, {"Bar HRX", false}}));
  EXPECT_FALSE(rig.view.IsEnabled(kUninstallButton));
  EXPECT_TRUE(rig.view.IsEnabled(kCancelButton));
  EXPECT_TRUE(rig.view.boxes.empty());
  EXPECT_FALSE(Has(rig.journal, "enum drivers")) << "the driver is looked for only when no printer is found";
  EXPECT_FALSE(Has(rig.journal, "status Checking OS..."));
  EXPECT_FALSE(rig.view.ended);
}

TEST(UninstallDialog, UninstallButtonFollowsTheChecks) {
  Rig rig;
  for (const char* name : {"HRX A", "HRX B", "HRX C"}) rig.AddPrinter(name);
  rig.Start();

  struct Row {
    const char* name;
    bool checked;
    bool enabled;
  } rows[] = {
      {"HRX B", true, true},  {"HRX C", true, true},  {"HRX B", false, true},
      {"HRX C", false, false},  // the last check removed
      {"HRX A", true, true},  {"HRX A", false, false},
  };
  for (const Row& row : rows) {
    rig.Check(row.name, row.checked);
    EXPECT_EQ(rig.view.IsEnabled(kUninstallButton), row.enabled) << row.name << (row.checked ? " checked" : " unchecked");
  }
}

TEST(UninstallDialog, UninstallRemovesTheCheckedPrintersOnly) {
  Rig rig;
  for (const char* name : {"HRX A", "HRX B", "HRX C"}) rig.AddPrinter(name);
  rig.Start();
  rig.Check("HRX A", true);
  rig.Check("HRX C", true);

  rig.dialog.OnUninstall();

  EXPECT_EQ(rig.spooler.printers, std::set<std::string>{"HRX B"});
  EXPECT_EQ(rig.spooler.drivers.size(), 1u) << "not every printer was chosen: the driver stays";
  EXPECT_FALSE(rig.view.IsEnabled(kUninstallButton));
  EXPECT_FALSE(rig.view.IsEnabled(kCancelButton));
  EXPECT_LT(IndexOf(rig.journal, "disable 2"), IndexOf(rig.journal, "status Checking OS..."));
  EXPECT_LT(IndexOf(rig.journal, "disable 1001"), IndexOf(rig.journal, "status Checking OS..."));
  EXPECT_EQ(rig.journal.back(), "close");
  EXPECT_TRUE(rig.view.boxes.empty());

  // Cancel is disabled from now on: Escape does not close the dialog a second time.
  rig.dialog.OnCancel();
  EXPECT_FALSE(Has(rig.journal, "end dialog 2"));
}

TEST(UninstallDialog, AllPrintersCheckedRemovesTheDriverToo) {
  Rig rig;
  for (const char* name : {"HRX A", "HRX B"}) rig.AddPrinter(name);
  rig.Start();
  rig.Check("HRX A", true);
  rig.Check("HRX B", true);
  rig.dialog.OnUninstall();
  EXPECT_TRUE(rig.spooler.printers.empty());
  EXPECT_TRUE(Has(rig.journal, "call RemoveFromWin2k(HRX-410,E)"));
  EXPECT_EQ(rig.view.boxes.size(), 1u) << "the restart prompt";
  EXPECT_EQ(rig.journal.back(), "close");
}

TEST(UninstallDialog, OnlyTheDriverLeftIsRemovedWithoutAsking) {
  Rig rig;
  rig.AddPrinter("Office Laser", "Generic Laser");
  rig.Start();

  EXPECT_TRUE(rig.view.entries.empty());
  EXPECT_FALSE(rig.view.IsEnabled(kCancelButton));
  EXPECT_LT(IndexOf(rig.journal, "enum drivers"), IndexOf(rig.journal, "disable 2"));
  EXPECT_LT(IndexOf(rig.journal, "disable 2"), IndexOf(rig.journal, "status Checking OS..."));
  EXPECT_FALSE(Has(rig.journal, "status Delete printers..."));
  EXPECT_TRUE(Has(rig.journal, "status Delete printer driver..."));
  EXPECT_TRUE(rig.spooler.drivers.empty());
  EXPECT_EQ(rig.spooler.printers, std::set<std::string>{"Office Laser"});
  ASSERT_EQ(rig.view.boxes.size(), 1u);
  EXPECT_EQ(rig.view.boxes[0].style, 0x24u) << "the restart prompt, answered No";
  EXPECT_EQ(rig.journal.back(), "close");
}

TEST(UninstallDialog, NothingLeftIsReportedAndTheUninstallEntryDeleted) {
  struct Row {
    const char* name;
    std::set<std::string> drivers;
    long enumDriversError;
    bool uninstallKey;
  } rows[] = {
      {"no driver", {}, 0, true},
      {"only another driver", {kX86 + "|Generic Laser"}, 0, true},
      {"the driver in another environment", {"Windows x64|KELVO HRX-410"}, 0, true},
      {"driver enumeration fails", {kX86 + "|KELVO HRX-410"}, platform::kErrorAccessDenied, true},
      {"no uninstall entry either (a second run)", {}, 0, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Rig rig;
    rig.spooler.drivers = row.drivers;
    rig.spooler.enumDriversError = row.enumDriversError;
    if (!row.uninstallKey) rig.registry.DeleteTree(kMachine, kUninstallKey);
    rig.journal.clear();

    rig.Start();

    ASSERT_EQ(rig.view.boxes.size(), 1u);
    EXPECT_EQ(rig.view.boxes[0].caption, "KELVO HRX-410 uninstaller");
    EXPECT_EQ(rig.view.boxes[0].text, kNothingLeft);
    EXPECT_EQ(rig.view.boxes[0].style, 0x40u);
    EXPECT_FALSE(rig.registry.HasKey(kMachine, kUninstallKey));
    EXPECT_EQ(Has(rig.journal, "deletetree HKLM\\" + kUninstallKey), row.uninstallKey)
        << "deleted only when it could be opened";
    EXPECT_EQ(rig.journal.back(), "end 0");
    EXPECT_TRUE(rig.view.ended);
    EXPECT_FALSE(Has(rig.journal, "status Checking OS..."));
    EXPECT_EQ(rig.spooler.drivers, row.drivers);
  }
}

TEST(UninstallDialog, FailingPrinterEnumerationShowsTheCodeAndEnds) {
  Rig rig;
  constexpr long kRpcServerUnavailable = 1722;
  rig.printers.enumError = kRpcServerUnavailable;
  rig.system.errorTexts[kRpcServerUnavailable] = "The RPC server is unavailable.\r\n";
  rig.AddPrinter("HRX A");

  rig.Start();

  ASSERT_EQ(rig.view.boxes.size(), 1u);
  EXPECT_EQ(rig.view.boxes[0].caption, "KELVO HRX-410 uninstaller");
  EXPECT_EQ(rig.view.boxes[0].text, "EnumPrinters Error Code: 1722\n\nThe RPC server is unavailable.\r\n");
  EXPECT_EQ(rig.view.boxes[0].style, 0x30u);
  EXPECT_TRUE(Has(rig.journal, "error text 1722 1033")) << "the text in US English";
  EXPECT_EQ(rig.journal.back(), "end 0");
  EXPECT_TRUE(rig.view.entries.empty());
  EXPECT_TRUE(rig.registry.HasKey(kMachine, kUninstallKey));
}

TEST(UninstallDialog, CancelBeforeUninstallLeavesEverythingInstalled) {
  Rig rig;
  rig.AddPrinter("HRX A");
  rig.Start();
  rig.Check("HRX A", true);
  rig.dialog.OnCancel();
  EXPECT_EQ(rig.view.closedWith, platform::kIdCancel);
  EXPECT_EQ(rig.spooler.printers, std::set<std::string>{"HRX A"});
  EXPECT_EQ(rig.spooler.drivers.size(), 1u);
  EXPECT_FALSE(Has(rig.journal, "status Checking OS..."));
}

}  // namespace
