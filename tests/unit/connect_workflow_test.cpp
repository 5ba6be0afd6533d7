// Identifying the printer: the waits of each port group, the firmware and model checks, the
// version text, and bounded loops against printers that misbehave.
#include <gtest/gtest.h>

#include "settings_utility/main_window/connect_workflow.h"
#include "settings_utility/printer_protocol/printer_link.h"
#include "tests/unit/operation_rig.h"
#include "tests/unit/window_rig.h"

using testing_rig::WindowRig;
using kora::PortKind;

namespace {

TEST(FirmwareVersionText, CutsAndSpacesTheReply) {
  struct Row {
    const char* reply;
    const char* shown;
  } rows[] = {
      {"", ""},
      {"ABC", "ABC"},
      {"HRX410", "HRX410 "},
      {"HRX4101", "HRX410 1"},
      {"HRX41010", "HRX410 10"},
      {"HRX410101", "HRX410 101 "},
      {"HRX410101A1B", "HRX410 101 "},
  };
  for (const Row& row : rows) EXPECT_EQ(kora::FormatFirmwareVersion(row.reply), row.shown) << row.reply;
}

TEST(TextReplies, EthernetTextStartsAfterTheFirstHeaderInFiveBytes) {
  struct Row {
    std::vector<std::uint8_t> block;
    const char* text;
  } rows[] = {
      {{'_', 'V', '1', 0}, "V1"},
      {{'x', 'y', 'z', '_', 'V', '2', 0}, "V2"},
      {{'a', 'b', 'c', 'd', '_', 'V', 0}, "V"},
      {{'a', 'b', 'c', 'd', 'e', '_', 'V', 0}, ""},
      {{'_', '_', 'W', 0}, "_W"},
      {{}, ""},
  };
  for (const Row& row : rows) EXPECT_EQ(kora::TextAfterHeaderInFirstFive(row.block), row.text);
  EXPECT_EQ(kora::TextAt({'_', 'H', 'R', 0, 'X'}, 1), "HR");
  EXPECT_EQ(kora::TextAt({'_', 'H'}, 1), "H") << "no terminator: the block's end ends the text";
}

TEST(ConnectPrinter, WaitsOfEachPortGroup) {
  struct Row {
    PortKind kind;
    std::vector<std::uint32_t> waits;
  } rows[] = {
      // open settle, drain 5 x 50, support, model, version, language
      {PortKind::Serial, {100, 50, 50, 50, 50, 50, 30, 30, 30, 30}},
      // no settle wait on a parallel port; drain 5 x 50, support, model, version, language
      {PortKind::Parallel, {50, 50, 50, 50, 50, 30, 30, 30, 30}},
      // support, model, version + the network interface's extra, language
      {PortKind::Ethernet, {200, 200, 200, 500, 200}},
      // support, model, version, language
      {PortKind::Usb, {200, 200, 200, 200}},
  };
  for (const Row& row : rows) {
    WindowRig rig;
    ASSERT_TRUE(rig.StartConnected(row.kind));
    EXPECT_EQ(rig.clock.sleeps, row.waits) << static_cast<int>(row.kind);
  }
}

TEST(ConnectPrinter, SendsTheIdentificationSequence) {
  WindowRig rig;
  ASSERT_TRUE(rig.StartConnected(PortKind::Ethernet));
  const std::vector<std::vector<std::uint8_t>> expected = {
      {0x1B, 0x40}, {0x1B, 0x3D, 0x01}, {0x1D, 0x61, 0x00}, {0x1D, 0x49, 0x03},
      {0x1D, 0x49, 0x43}, {0x1D, 0x49, 0x41}, {0x1D, 0x49, 0x45}};
  EXPECT_EQ(rig.sockets.sends, expected);
  EXPECT_EQ(rig.view.steps, 11);  // 6 steps of the workflow, 5 of making sure of the identity
}

TEST(ConnectPrinter, RefusesOtherModelsAndUnsupportedFirmware) {
  struct Row {
    const char* model;
    bool unsupported;
    const char* message;
    const char* title;
    platform::MessageIcon icon;
  } rows[] = {
      {"HRX-410X", false, "The connected printer has different Model name.", "Warning", platform::MessageIcon::Exclamation},
      {"HRX-41", false, "The connected printer has different Model name.", "Warning", platform::MessageIcon::Exclamation},
      {"hrx-410", false, "The connected printer has different Model name.", "Warning", platform::MessageIcon::Exclamation},
      {"HRX-410", true, "This F/W version is not supported!!!\n Please update printer F/W!!", "Information",
       platform::MessageIcon::Information},
  };
  for (PortKind kind : {PortKind::Serial, PortKind::Ethernet}) {
    for (const Row& row : rows) {
      WindowRig rig;
      printer_simulator::Faults faults;
      faults.modelName = row.model;
      faults.firmwareUnsupported = row.unsupported;
      rig.printer.SetFaults(faults);
      EXPECT_FALSE(rig.StartConnected(kind)) << row.model;
      ASSERT_FALSE(rig.view.messages.empty());
      EXPECT_EQ(rig.view.messages.back().text, row.message) << row.model;
      EXPECT_EQ(rig.view.messages.back().title, row.title);
      EXPECT_EQ(rig.view.messages.back().icon, row.icon);
      EXPECT_FALSE(rig.window->connection().connected()) << "closed on failure";
      EXPECT_EQ(rig.serial.openHandles, 0);
      EXPECT_EQ(rig.view.Text(IDC_CONNECT), "Connect Printer");
      EXPECT_EQ(rig.view.progress, 0) << "no half-filled bar after a refusal";
    }
  }
}

TEST(ConnectPrinter, SilentPrinterEndsInBoundedTime) {
  // Over USB the bound is the device driver's: the simulated one gives up a read after 1 s.
  for (PortKind kind : {PortKind::Serial, PortKind::Ethernet, PortKind::Usb}) {
    WindowRig rig;
    printer_simulator::Faults silent;
    silent.silent = true;
    rig.printer.SetFaults(silent);
    EXPECT_FALSE(rig.StartConnected(kind));
    EXPECT_EQ(rig.LastMessage(), "This F/W version is not supported!!!\n Please update printer F/W!!");
    EXPECT_LT(rig.clock.now + rig.portClock.now, 10000u) << static_cast<int>(kind);
    EXPECT_TRUE(rig.view.IsEnabled(IDC_CONNECT));
  }
}

// A serial printer scripted reply by reply, for what the simulator does not play.
struct ScriptedSerial : testing_rig::OperationRig {
  // Answers each command with the bytes the test gives for its last byte.
  void Answer(std::map<std::uint8_t, std::vector<std::uint8_t>> replies) {
    port->onWrite = [replies](const std::vector<std::uint8_t>& written, fakes::FakeDeviceState& s) {
      auto it = replies.find(written.back());
      if (written.size() == 3 && it != replies.end()) s.input.insert(s.input.end(), it->second.begin(), it->second.end());
    };
  }
  bool Connect() { return kora::ConnectWorkflow(context).ConnectPrinter(); }
};

std::vector<std::uint8_t> Text(const std::string& text) {
  std::vector<std::uint8_t> bytes{'_'};
  bytes.insert(bytes.end(), text.begin(), text.end());
  bytes.push_back(0);
  return bytes;
}

TEST(ConnectPrinter, SupportByteMayComeAsTheEleventhByteButNotTheTwelfth) {
  for (int strayBytes : {0, 10, 11}) {
    ScriptedSerial rig;
    std::vector<std::uint8_t> support(strayBytes, 'x');
    support.push_back('c');
    rig.Answer({{0x03, support}, {0x43, Text("HRX-410")}, {0x41, Text("HRX410101")}, {0x45, Text("KOREAN")}});
    EXPECT_EQ(rig.Connect(), strayBytes <= 10) << strayBytes << " stray bytes";
  }
}

TEST(ConnectPrinter, ModelTextDropsUnderscoresAndStopsWhenThePrinterFallsSilent) {
  ScriptedSerial rig;
  // No terminating zero: the read that brings nothing ends the text.
  rig.Answer({{0x03, {'c'}}, {0x43, {'_', 'H', 'R', 'X', '-', '4', '1', '0'}}, {0x41, Text("V")}, {0x45, Text("L")}});
  EXPECT_TRUE(rig.Connect());
  EXPECT_EQ(rig.state.firmwareVersionText, "V");
}

TEST(ConnectPrinter, BabblingPrinterIsCutOff) {
  ScriptedSerial rig;
  std::vector<std::uint8_t> endless(5000, 'A');  // never a zero byte
  rig.Answer({{0x03, {'c'}}, {0x43, endless}});
  EXPECT_FALSE(rig.Connect());
  EXPECT_EQ(rig.view.LastMessage(), "The connected printer has different Model name.");
  EXPECT_GT(rig.port->input.size(), 4000u) << "the loop must not read everything the printer sends";
}

TEST(ConnectPrinter, IncompleteInitialiseIsAPortError) {
  ScriptedSerial rig;
  rig.port->failWrites = true;
  EXPECT_FALSE(rig.Connect());
  EXPECT_EQ(rig.view.LastMessage(), "Port error! Check printer's port, please.");
  EXPECT_EQ(rig.view.messages.back().title, "Warning");
  EXPECT_FALSE(rig.connection.connected());
}

TEST(ConnectPrinter, RefusedWhileThePortIsAlreadyOpen) {
  ScriptedSerial rig;
  ASSERT_TRUE(rig.connection.Open());
  EXPECT_FALSE(rig.Connect());
  EXPECT_TRUE(rig.view.messages.empty());
  EXPECT_TRUE(rig.connection.connected()) << "the holder of the port keeps it";
}

}  // namespace
