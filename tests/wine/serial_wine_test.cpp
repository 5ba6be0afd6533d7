// End-to-end tests under Wine of the settings utility on a serial port: COM1 is mapped to the
// pseudo-terminal of the printer simulator. A pty has no modem lines, so plain Wine cannot
// report DSR and the utility must refuse the port; with the modem-lines library preloaded
// (KIT_WINE_PRELOAD) the test sets DSR itself and the whole byte-wise conversation runs.
// CMake registers the plain run and the preloaded run separately (GTEST_FILTER picks the cases).
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/wine/quintkora_driver.h"
#include "tests/wine/ui_driver.h"

namespace {

using namespace kora_e2e;
using uidriver::Control;

constexpr char kPortRefused[] = "Can't open port and Printer is disconnected";

class SerialTest : public ::testing::Test {
 protected:
  void SetUp() override { uidriver::DeleteRegistryTree(HKEY_CURRENT_USER, kUtilityKey); }

  // Connect Printer, Serial on COM1 with the dialog's line settings, OK.
  static QuintKora StartConnectingOnCom1() {
    QuintKora app = StartQuintKora();
    HWND dialog = OpenPortDialog(app);
    uidriver::Click(Control(dialog, kSerialRadio), uidriver::kMessageTimeoutMs);
    uidriver::SelectComboText(Control(dialog, kPortList), "COM1", uidriver::kMessageTimeoutMs);
    for (int id : kLineLists) EXPECT_TRUE(uidriver::IsEnabled(Control(dialog, id))) << "list " << id;
    ClickOk(dialog);
    return app;
  }

  static void ExpectRefused(const QuintKora& app, int bytesBefore) {
    const uidriver::MessageBoxInfo box = AnswerMessageBox(app.process, kConversationMs);
    EXPECT_EQ(box.text, kPortRefused);
    EXPECT_EQ(box.title, "Information");
    const WindowLook look = LookAt(app);
    EXPECT_EQ(look.connectCaption, "Connect Printer");
    EXPECT_EQ(look.operationButtonsEnabled, std::vector<bool>(6, false));
    // Not a single byte went to the printer.
    EXPECT_EQ(StateNumber(ReadSimulatorState(), "bytes_received"), bytesBefore);
  }

  // The modem lines the preloaded library reports for the pty (see modem_lines_preload.c).
  static void SetModemLines(const std::string& lines) {
    const std::string path = RequiredEnvironment("KIT_MODEM_LINES");
    uidriver::OwnedHandle file(
        CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    ASSERT_NE(file.get(), INVALID_HANDLE_VALUE) << "cannot write " << path;
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file.get(), lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr));
  }
};

// Plain Wine: GetCommModemStatus fails on a pty, so DSR never shows.
TEST_F(SerialTest, PlainWineReportsNoDsrAndThePortIsRefused) {
  const int bytes = StateNumber(ReadSimulatorState(), "bytes_received");
  QuintKora app = StartConnectingOnCom1();
  ExpectRefused(app, bytes);
  EXPECT_EQ(app.Exit(), 0u);
}

TEST_F(SerialTest, ModemLinesDsrOffRefusesThePort) {
  ASSERT_NO_FATAL_FAILURE(SetModemLines("CTS"));
  const int bytes = StateNumber(ReadSimulatorState(), "bytes_received");
  QuintKora app = StartConnectingOnCom1();
  ExpectRefused(app, bytes);
  EXPECT_EQ(app.Exit(), 0u);
}

TEST_F(SerialTest, ModemLinesDsrOnConnectsAndGetsStatusByteWise) {
  ASSERT_NO_FATAL_FAILURE(SetModemLines("DSR CTS"));
  const int unknown = StateNumber(ReadSimulatorState(), "unknown_bytes");
  QuintKora app = StartConnectingOnCom1();
  const uidriver::MessageBoxInfo connected = AnswerMessageBox(app.process, kConversationMs);
  EXPECT_EQ(connected.text, "Printer is connected.");
  const SimulatorState printer = ReadSimulatorState();
  EXPECT_EQ(uidriver::Text(app.control(kFirmwareText)), kFirmwareShown);
  EXPECT_EQ(uidriver::Text(app.control(kLanguageText)),
            LanguageOfBuyerCode(SwitchValue(printer.at("switch12"))));
  EXPECT_EQ(uidriver::Text(app.control(kConnectButton)), "Disconnect Printer");

  uidriver::Click(app.control(kGetStatusButton));
  const uidriver::MessageBoxInfo got = AnswerMessageBox(app.process, kConversationMs);
  EXPECT_EQ(got.text, "Success to get status of printer.");
  ExpectListsShowSwitches(app, printer);
  // Every byte the utility sent was a command the printer knows.
  EXPECT_EQ(StateNumber(ReadSimulatorState(), "unknown_bytes"), unknown);
  EXPECT_EQ(app.Exit(), 0u);
}

}  // namespace
