// The installer's flow and its two windows: what the progress window sets up, the one-shot
// timer that runs the flow once, the refusal of a too old Windows, the port question with its
// cancel, and the exit code 0 on every path.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "installer/install_progress_window.h"
#include "installer/port_type_dialog.h"
#include "platform/os_codes.h"
#include "tests/unit/installer_rig.h"

namespace {

using installer::PortChoice;
using installer_rig::Rig;
using installer_rig::Strings;

const platform::RegistryRoot kMachine = platform::RegistryRoot::LocalMachine;

TEST(InstallProgressWindow, InitialisationShowsTheVersionAndArmsTheTimer) {
  Rig rig;
  rig.window.OnInitDialog();
  EXPECT_TRUE(rig.view.iconsSet);
  EXPECT_EQ(rig.view.versionControl, "Driver Version: V1.0.1E");
  EXPECT_EQ(rig.view.statusControl, "");
  EXPECT_EQ(rig.view.low, 0);
  EXPECT_EQ(rig.view.high, 100);
  EXPECT_EQ(rig.view.step, 11);
  EXPECT_EQ(rig.journal.back(), "start timer 1 1");
  // Nothing of the flow runs before the timer.
  EXPECT_TRUE(rig.JournalOf("version").empty());
  EXPECT_TRUE(rig.view.exitCodes.empty());
}

// The flow runs on the first tick of timer 1 only, after stopping it; other timers and the
// keys that would close a dialog do nothing.
TEST(InstallProgressWindow, TimerRunsTheFlowOnceAndCommandsAreIgnored) {
  Rig rig;
  rig.Start();
  rig.window.OnTimer(7);
  rig.window.OnCommand(platform::kIdOk);
  rig.window.OnCommand(platform::kIdCancel);
  EXPECT_TRUE(rig.journal.empty());

  rig.prompt.command = installer::kCommandCancel;
  rig.window.OnTimer(installer::kFlowTimerId);
  ASSERT_FALSE(rig.journal.empty());
  EXPECT_EQ(rig.journal.front(), "stop timer 1");
}

TEST(InstallProgressWindow, TooOldWindowsIsRefusedBeforeAnythingElse) {
  struct Row {
    const char* name;
    std::uint32_t platformId, major, minor;
  } rows[] = {{"Windows 98", 1, 4, 10}, {"Windows Me", 1, 4, 90}, {"NT 4.0", 2, 4, 0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Rig rig;
    rig.system.version.platformId = row.platformId;
    rig.system.version.majorVersion = row.major;
    rig.system.version.minorVersion = row.minor;
    rig.InstalledBefore({"KELVO HRX-410"}, {1, 1, 0, 0});  // would otherwise be replaced
    rig.Start();
    rig.printers.log.clear();

    rig.window.OnTimer(installer::kFlowTimerId);

    ASSERT_EQ(rig.view.boxes.size(), 1u);
    EXPECT_EQ(rig.view.boxes[0].text, "This driver doesn't supported for this OS!!");
    EXPECT_EQ(rig.view.boxes[0].caption, "KELVO HRX-410 installer");
    EXPECT_EQ(rig.view.boxes[0].style, 0x40u);
    EXPECT_TRUE(rig.view.boxes[0].owned);
    EXPECT_TRUE(rig.printers.log.empty()) << "no version check";
    EXPECT_TRUE(rig.install.log.empty());
    EXPECT_EQ(rig.journal.back(), "end 0");
    EXPECT_EQ(rig.view.exitCodes, (std::vector<int>{0}));
  }
}

// Windows 2000 to 7 and later go on to the version check and the port question.
TEST(InstallProgressWindow, SupportedWindowsAsksForThePort) {
  struct Row {
    const char* name;
    std::uint32_t platformId, major, minor;
  } rows[] = {{"2000", 2, 5, 0}, {"XP", 2, 5, 1}, {"Vista", 2, 6, 0}, {"10", 2, 10, 0}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Rig rig;
    rig.system.version.platformId = row.platformId;
    rig.system.version.majorVersion = row.major;
    rig.system.version.minorVersion = row.minor;
    rig.prompt.command = installer::kCommandCancel;
    rig.Start();
    rig.window.OnTimer(installer::kFlowTimerId);
    EXPECT_EQ(rig.JournalOf("port dialog").size(), 1u);
  }
}

// Closing the port dialog: the version check has run, nothing is installed, "Install Cancled."
TEST(InstallProgressWindow, CancelledPortDialogInstallsNothing) {
  Rig rig;
  rig.prompt.command = installer::kCommandCancel;
  rig.prompt.checkIndex = 0;  // a choice made, then the close box
  rig.Start();
  rig.window.OnTimer(installer::kFlowTimerId);

  EXPECT_EQ(rig.printers.log.front(), "enum") << "the version check came first";
  EXPECT_EQ(rig.prompt.shownIndex, 4) << "LPT1 selected";
  EXPECT_EQ(rig.window.portDialog().selectionIndex(), 4) << "a cancel takes no choice";
  ASSERT_EQ(rig.view.boxes.size(), 1u);
  EXPECT_EQ(rig.view.boxes[0].text, "Install Cancled.");
  EXPECT_EQ(rig.view.boxes[0].caption, "KELVO HRX-410 installer");
  EXPECT_EQ(rig.view.boxes[0].style, 0x40u);
  EXPECT_TRUE(rig.view.boxes[0].owned);
  EXPECT_TRUE(rig.JournalOf("copy").empty());
  EXPECT_TRUE(rig.JournalOf("add").empty());
  EXPECT_TRUE(rig.view.shown.empty()) << "no step shown";
  EXPECT_EQ(rig.view.exitCodes, (std::vector<int>{0}));
  // The names were built before the question.
  EXPECT_EQ(rig.window.installer().names().printerName, "KELVO HRX-410");
}

// "&Next" at once installs on LPT1; the flow ends the process after the package is in.
TEST(InstallProgressWindow, NextAtOnceInstallsOnLpt1) {
  Rig rig;
  rig.Start();
  rig.window.OnTimer(installer::kFlowTimerId);

  const fakes::FakePrintInstall::Printer* printer = rig.install.FindPrinter("KELVO HRX-410");
  ASSERT_NE(printer, nullptr);
  EXPECT_EQ(printer->info.portName, "LPT1:");
  EXPECT_TRUE(rig.registry.HasKey(kMachine, installer_rig::kUninstallKey));
  EXPECT_EQ(rig.view.exitCodes, (std::vector<int>{0}));
  EXPECT_EQ(rig.journal.back(), "end 0");
}

// A radio group left without a checked button gives no valid choice: the process ends without
// a message and without installing.
TEST(InstallProgressWindow, SelectionOutsideTheGroupEndsSilently) {
  Rig rig;
  rig.prompt.checkIndex = -1;
  rig.Start();
  rig.window.OnTimer(installer::kFlowTimerId);
  EXPECT_TRUE(rig.view.boxes.empty());
  EXPECT_TRUE(rig.JournalOf("add").empty());
  EXPECT_EQ(rig.view.exitCodes, (std::vector<int>{0}));
}

// A failure that ends the process inside the installation is not followed by a second end.
TEST(InstallProgressWindow, EndsOnceWhenTheInstallationEndedTheProcess) {
  Rig rig;
  rig.install.addPrinterError = 5;
  rig.Start();
  rig.window.OnTimer(installer::kFlowTimerId);
  EXPECT_EQ(rig.view.exitCodes, (std::vector<int>{0}));
}

TEST(PortTypeDialog, ChoicesAndPortsFollowTheTemplateOrder) {
  struct Row {
    int index;
    int buttonId;
    PortChoice choice;
    const char* port;
  } rows[] = {{0, 1006, PortChoice::Com1, "COM1:"}, {1, 1008, PortChoice::Com2, "COM2:"},
              {2, 1009, PortChoice::Com3, "COM3:"}, {3, 1011, PortChoice::Com4, "COM4:"},
              {4, 1007, PortChoice::Lpt1, "LPT1:"}, {5, 1010, PortChoice::Lpt2, "LPT2:"},
              {6, 1001, PortChoice::Usb, ""}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.index);
    PortChoice choice = PortChoice::Com1;
    ASSERT_TRUE(installer::PortChoiceFromIndex(row.index, choice));
    EXPECT_EQ(choice, row.choice);
    EXPECT_EQ(installer::PortName(choice), row.port);
    EXPECT_EQ(installer::kPortButtonIds[row.index], row.buttonId);
  }
  PortChoice untouched = PortChoice::Com2;
  EXPECT_FALSE(installer::PortChoiceFromIndex(-1, untouched));
  EXPECT_FALSE(installer::PortChoiceFromIndex(7, untouched));
  EXPECT_EQ(untouched, PortChoice::Com2);
}

TEST(PortTypeDialog, OkTakesTheCheckedButtonAndCancelKeepsTheIndex) {
  std::vector<std::string> journal;
  fakes::FakePortTypePrompt prompt(journal);
  installer::PortTypeDialog dialog;

  prompt.checkIndex = 6;
  EXPECT_EQ(prompt.Run(dialog), installer::kCommandOk);
  EXPECT_EQ(prompt.shownIndex, 4);
  EXPECT_EQ(dialog.selectionIndex(), 6);

  prompt.checkIndex = 2;
  prompt.command = installer::kCommandCancel;
  EXPECT_EQ(prompt.Run(dialog), installer::kCommandCancel);
  EXPECT_EQ(prompt.shownIndex, 6) << "the dialog opens on the index it holds";
  EXPECT_EQ(dialog.selectionIndex(), 6);
}

}  // namespace
