// The main window as a user meets it: start-up state, connect and disconnect, exit, and
// what it leaves in the registry and the spooler.
#include <gtest/gtest.h>

#include "tests/unit/window_rig.h"

using testing_rig::WindowRig;
using kora::PortKind;
using platform::RegistryRoot;

namespace {

const int kOperationButtons[] = {IDC_SELF_TEST, IDC_GET_STATUS, IDC_SET_STATUS,
                                 IDC_SAVE_STATUS, IDC_LOAD_STATUS, IDC_INIT_STATUS};
const int kSettingCombos[] = {IDC_INTERNAL_BUZZER, IDC_FONT_TYPE, IDC_AUTO_CUTTER, IDC_EXTERNAL_BUZZER,
                              IDC_PAPER_WIDTH, IDC_COLOR_MODE, IDC_CODEPAGE, IDC_BUYERSET};
const int kSixLists[] = {IDC_INTERNAL_BUZZER, IDC_FONT_TYPE, IDC_AUTO_CUTTER,
                         IDC_EXTERNAL_BUZZER, IDC_PAPER_WIDTH, IDC_COLOR_MODE};

void ExpectDisconnectedLook(const WindowRig& rig, const char* when) {
  EXPECT_EQ(rig.view.Text(IDC_CONNECT), "Connect Printer") << when;
  EXPECT_TRUE(rig.view.IsEnabled(IDC_CONNECT)) << when;
  EXPECT_TRUE(rig.view.IsEnabled(IDC_EXIT)) << when;
  for (int id : kOperationButtons) EXPECT_FALSE(rig.view.IsEnabled(id)) << when << " button " << id;
  for (int id : kSettingCombos) EXPECT_FALSE(rig.view.IsEnabled(id)) << when << " list " << id;
  EXPECT_EQ(rig.view.Text(IDC_FW_VERSION), "") << when;
  EXPECT_EQ(rig.view.Text(IDC_LANGUAGE), "") << when;
}

TEST(MainWindow, OpensDisconnectedWithItsCaptions) {
  WindowRig rig;
  rig.Start();
  const std::map<int, std::string> captions = {
      {IDC_CONNECT, "Connect Printer"},      {IDC_SELF_TEST, "Print Self-test page"},
      {IDC_GET_STATUS, "Get Printer Status"}, {IDC_SET_STATUS, "Set Printer Status"},
      {IDC_SAVE_STATUS, "Save status to File"}, {IDC_LOAD_STATUS, "Load status from file"},
      {IDC_INIT_STATUS, "Initialize status"}, {IDC_EXIT, "EXIT"}};
  for (const auto& [id, caption] : captions) EXPECT_EQ(rig.view.Text(id), caption) << id;
  ExpectDisconnectedLook(rig, "at start");
  EXPECT_EQ(rig.view.prepareCount, 1);
  EXPECT_EQ(rig.view.combos[IDC_CODEPAGE].items.size(), 38u);
  EXPECT_EQ(rig.view.combos[IDC_BUYERSET].items.size(), 6u);
  for (int id : kSixLists) EXPECT_TRUE(rig.view.combos[id].items.empty()) << id;
  EXPECT_EQ(rig.view.progress, 0);
  EXPECT_EQ(rig.window->state().settingsKey, "Software\\KELVO\\HRX-410\\KORA");
  EXPECT_TRUE(rig.importer.imported.empty());
  EXPECT_EQ(rig.printer.counters().connections, 0);
}

TEST(MainWindow, ConnectsThroughThePortDialog) {
  WindowRig rig;
  ASSERT_TRUE(rig.StartConnected(PortKind::Ethernet));
  EXPECT_EQ(rig.prompt.runs, 1);
  EXPECT_EQ(rig.LastMessage(), "Printer is connected.");
  EXPECT_EQ(rig.view.messages.back().title, "Information");
  EXPECT_EQ(rig.view.messages.back().icon, platform::MessageIcon::Information);
  EXPECT_EQ(rig.view.Text(IDC_CONNECT), "Disconnect Printer");
  EXPECT_EQ(rig.view.Text(IDC_FW_VERSION), "HRX410 101 ");
  EXPECT_EQ(rig.view.Text(IDC_LANGUAGE), rig.printer.LanguageText());
  for (int id : kOperationButtons) EXPECT_TRUE(rig.view.IsEnabled(id)) << id;
  for (int id : kSettingCombos) EXPECT_TRUE(rig.view.IsEnabled(id)) << id;
  for (int id : kSixLists) EXPECT_EQ(rig.view.SelectedText(id), "Not Change") << id;
  EXPECT_EQ(rig.view.SelectedText(IDC_CODEPAGE), "Not Change");
  EXPECT_EQ(rig.view.SelectedText(IDC_BUYERSET), "Not Change");
  EXPECT_EQ(rig.view.progress, 0);
  EXPECT_FALSE(rig.window->connection().connected()) << "the port is closed again after identifying";
}

TEST(MainWindow, CancelledPortDialogChangesNothing) {
  WindowRig rig;
  rig.Start();
  rig.prompt.accept = false;
  rig.Click(IDC_CONNECT);
  EXPECT_EQ(rig.prompt.runs, 1);
  EXPECT_EQ(rig.printer.counters().connections, 0);
  EXPECT_TRUE(rig.view.messages.empty());
  EXPECT_EQ(rig.window->connection().settings().portText, "COM1");
  EXPECT_EQ(rig.registry.setCount, 0);
  ExpectDisconnectedLook(rig, "after cancel");
}

TEST(MainWindow, DisconnectEmptiesTheListsAndTexts) {
  WindowRig rig;
  ASSERT_TRUE(rig.StartConnected(PortKind::Serial));
  rig.Click(IDC_CONNECT);
  ExpectDisconnectedLook(rig, "after disconnect");
  for (int id : kSixLists) EXPECT_TRUE(rig.view.combos[id].items.empty()) << id;
  EXPECT_FALSE(rig.window->state().printerConnected);
  // The next connect shows the dialog again.
  rig.Click(IDC_CONNECT);
  EXPECT_EQ(rig.prompt.runs, 2);
  EXPECT_TRUE(rig.window->state().printerConnected);
}

TEST(MainWindow, FailedConnectStaysDisconnected) {
  WindowRig rig;
  rig.ChooseSerial();
  rig.prompt.choice.portText = "COM3";  // nothing there
  rig.Start();
  rig.Click(IDC_CONNECT);
  EXPECT_EQ(rig.LastMessage(), "Can't open port and Printer is disconnected");
  ExpectDisconnectedLook(rig, "after a failed connect");
  EXPECT_EQ(rig.window->connection().settings().portText, "COM3");
}

TEST(MainWindow, PrinterNameWithUnreadableSettingsUsesThemOnceThenAsks) {
  WindowRig rig;
  printer_simulator::Faults silent;
  silent.silent = true;
  rig.printer.SetFaults(silent);
  rig.Start("Front Desk");
  EXPECT_EQ(rig.importer.imported, std::vector<std::string>{"Front Desk"});
  EXPECT_EQ(rig.window->state().settingsKey, "Software\\KELVO\\HRX-410\\Front Desk");
  EXPECT_EQ(rig.window->state().printerName, "Front Desk");
  ExpectDisconnectedLook(rig, "start without settings");
  EXPECT_EQ(rig.printer.counters().connections, 0);

  rig.prompt.accept = false;
  rig.Click(IDC_CONNECT);  // the stored settings (COM1), no dialog; nobody answers there
  EXPECT_EQ(rig.prompt.runs, 0);
  EXPECT_EQ(rig.printer.counters().connections, 1);
  EXPECT_EQ(rig.LastMessage(), "This F/W version is not supported!!!\n Please update printer F/W!!");
  rig.Click(IDC_CONNECT);
  EXPECT_EQ(rig.prompt.runs, 1) << "after the failed connect the dialog asks";
}

TEST(MainWindow, PrinterNameWithStoredSettingsOpensConnected) {
  WindowRig rig;
  const std::string key = "Software\\KELVO\\HRX-410\\Front Desk";
  rig.importer.onImport = [&](const std::string&) {
    rig.registry.SetString(RegistryRoot::CurrentUser, key, "Port", "NET");
    rig.registry.SetString(RegistryRoot::CurrentUser, key, "TcpIp", testing_rig::kHost);
    rig.registry.SetDword(RegistryRoot::CurrentUser, key, "TcpPort", testing_rig::kTcpPort);
  };
  rig.Start("Front Desk");
  EXPECT_TRUE(rig.window->state().printerConnected);
  EXPECT_EQ(rig.view.Text(IDC_CONNECT), "Disconnect Printer");
  EXPECT_EQ(rig.prompt.runs, 0);
  EXPECT_EQ(rig.view.Text(IDC_FW_VERSION), "HRX410 101 ");
}

TEST(MainWindow, PrinterNameWhoseConnectFailsAsksNextTime) {
  WindowRig rig;
  const std::string key = "Software\\KELVO\\HRX-410\\Front Desk";
  rig.registry.SetString(RegistryRoot::CurrentUser, key, "Port", "COM4");  // no such port
  rig.Start("Front Desk");
  EXPECT_FALSE(rig.window->state().printerConnected);
  EXPECT_EQ(rig.LastMessage(), "Can't open port and Printer is disconnected");
  EXPECT_EQ(rig.window->state().printerName, "");
  EXPECT_EQ(rig.window->state().settingsKey, key);
  rig.prompt.accept = false;
  rig.Click(IDC_CONNECT);
  EXPECT_EQ(rig.prompt.runs, 1);
}

TEST(MainWindow, ExitEndsTheDialogAndDestroySavesTheSettings) {
  WindowRig rig;
  rig.spooler.AddPrinter("Receipt", "COM1:");
  ASSERT_TRUE(rig.StartConnected(PortKind::Serial));
  EXPECT_EQ(rig.spooler.PortOf("Receipt"), "COM1:") << "given back after the connect";
  rig.Click(IDC_EXIT);
  EXPECT_EQ(rig.view.endResult, platform::kIdOk);
  rig.window->OnDestroy();
  rig.window.reset();
  const std::string key = "Software\\KELVO\\HRX-410\\KORA";
  EXPECT_EQ(rig.registry.StringValue(RegistryRoot::CurrentUser, key, "Port"), "COM1");
  EXPECT_EQ(rig.registry.DwordValue(RegistryRoot::CurrentUser, key, "BaudRate"), 19200u);
  EXPECT_EQ(rig.registry.DwordValue(RegistryRoot::CurrentUser, key, "DataBits"), 8u);
  EXPECT_EQ(rig.spooler.PortOf("Receipt"), "COM1:");
}

TEST(MainWindow, EnterAndEscapeEndTheDialog) {
  struct Row {
    int key;
    int result;
  } rows[] = {{platform::kIdOk, platform::kIdOk}, {platform::kIdCancel, platform::kIdCancel}};
  for (const Row& row : rows) {
    WindowRig rig;
    rig.Start();
    rig.window->OnCommand(row.key, platform::kBnClicked);
    EXPECT_EQ(rig.view.endResult, row.result);
    rig.window->OnDestroy();
    EXPECT_TRUE(rig.registry.HasValue(RegistryRoot::CurrentUser, "Software\\KELVO\\HRX-410\\KORA", "Port"));
  }
}

TEST(MainWindow, DestroyWhileAPortIsOpenClosesItAndGivesPrintersBack) {
  WindowRig rig;
  rig.spooler.AddPrinter("Receipt", "COM1:");
  ASSERT_TRUE(rig.StartConnected(PortKind::Serial));
  // A failed font download leaves the port open until Disconnect or Exit.
  kora::PrinterConnection& connection = const_cast<kora::PrinterConnection&>(rig.window->connection());
  ASSERT_TRUE(connection.Open());
  EXPECT_EQ(rig.spooler.PortOf("Receipt"), "FILE:");
  rig.window->OnDestroy();
  EXPECT_FALSE(rig.window->connection().connected());
  EXPECT_EQ(rig.serial.openHandles, 0);
  EXPECT_EQ(rig.spooler.PortOf("Receipt"), "COM1:");
}

}  // namespace
