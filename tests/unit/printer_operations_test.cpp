// Get, set, initialise and self-test against the simulated printer: what the printer ends
// up with, what the window shows, the progress bar and the waits.
#include <gtest/gtest.h>

#include <string>

#include "settings_utility/printer_protocol/printer_settings.h"
#include "tests/unit/window_rig.h"

using testing_rig::WindowRig;
using kora::PortKind;

namespace {

const PortKind kKinds[] = {PortKind::Serial, PortKind::Usb, PortKind::Ethernet};

std::string Name(PortKind kind) {
  switch (kind) {
    case PortKind::Serial: return "serial";
    case PortKind::Parallel: return "parallel";
    case PortKind::Usb: return "usb";
    case PortKind::Ethernet: break;
  }
  return "ethernet";
}

// The 56 switch characters of the last write the printer got.
std::string LastSwitchWrite(const WindowRig& rig, PortKind kind) {
  std::vector<std::uint8_t> all = rig.Written(kind);
  const std::vector<std::uint8_t> header = {0x08, 0x5E, 0x45, 0x39, 0x00, 0x03};
  auto it = std::search(all.rbegin(), all.rend(), header.rbegin(), header.rend());
  if (it == all.rend()) return "<no write>";
  const auto start = all.size() - static_cast<std::size_t>(it - all.rbegin());
  return std::string(all.begin() + static_cast<long>(start), all.begin() + static_cast<long>(start) + 56);
}

TEST(GetStatus, FillsTheListsFromThePrinter) {
  for (PortKind kind : kKinds) {
    WindowRig rig;
    rig.printer.SetSwitch(1, 0x08);    // bit 4: internal buzzer on
    rig.printer.SetSwitch(2, 0x02);    // bit 2: full cut, font A, code page 0
    rig.printer.SetSwitch(10, 0x11);   // bits 1 and 5: external buzzer, 2 inch
    ASSERT_TRUE(rig.StartConnected(kind)) << Name(kind);
    const int stepsBefore = rig.view.steps;
    ASSERT_TRUE(rig.Click(IDC_GET_STATUS));
    EXPECT_EQ(rig.LastMessage(), "Success to get status of printer.");
    EXPECT_EQ(rig.view.SelectedText(IDC_INTERNAL_BUZZER), "Enable") << Name(kind);
    EXPECT_EQ(rig.view.SelectedText(IDC_FONT_TYPE), "A Font (12x24)");
    EXPECT_EQ(rig.view.SelectedText(IDC_AUTO_CUTTER), "Full Cut");
    EXPECT_EQ(rig.view.SelectedText(IDC_EXTERNAL_BUZZER), "Enable");
    EXPECT_EQ(rig.view.SelectedText(IDC_PAPER_WIDTH), "2 inch");
    EXPECT_EQ(rig.view.SelectedText(IDC_COLOR_MODE), "Mono");
    EXPECT_EQ(rig.view.SelectedText(IDC_CODEPAGE), "PC437 (USA: Standard Europe)");
    EXPECT_EQ(rig.view.SelectedText(IDC_BUYERSET), "Not Change");
    EXPECT_TRUE(rig.window->state().settingsLoaded);
    for (int id : {IDC_EXIT, IDC_CONNECT, IDC_SET_STATUS, IDC_SAVE_STATUS}) EXPECT_TRUE(rig.view.IsEnabled(id)) << id;
    EXPECT_EQ(rig.view.Text(IDC_FW_VERSION), "") << "read again by the next set";
    EXPECT_EQ(rig.view.progress, 0);
    // Per switch: serial ten steps, block ports nine; plus four for the known identity and one at the end.
    const int perSwitch = kind == PortKind::Serial ? 10 : 9;
    EXPECT_EQ(rig.view.steps - stepsBefore, 4 + 7 * perSwitch + 1) << Name(kind);
    EXPECT_EQ(rig.view.progressStep, 5);
    EXPECT_FALSE(rig.window->connection().connected());
    EXPECT_EQ(rig.notifications.LiveWindows(), 0) << Name(kind) << ": no notification window outlives the operation";
  }
}

TEST(GetStatus, ReadsTheSwitchesInItsOrder) {
  WindowRig rig;
  ASSERT_TRUE(rig.StartConnected(PortKind::Ethernet));
  rig.sockets.sends.clear();
  rig.Click(IDC_GET_STATUS);
  std::vector<std::uint8_t> order;
  for (const auto& send : rig.sockets.sends)
    if (send.size() == 7 && send[5] == 0x04) order.push_back(send[6]);
  EXPECT_EQ(order, (std::vector<std::uint8_t>{0x02, 0x08, 0x09, 0x01, 0x0A, 0x0B, 0x0C}));
  EXPECT_EQ(rig.sockets.sends.back(), (std::vector<std::uint8_t>{0x1B, 0x3D, 0x01}));
}

TEST(GetStatus, GarbledRepliesLeaveBitsUnchangedAndAreWrittenBackAsTwo) {
  WindowRig rig;
  rig.printer.SetSwitch(10, 0xFF);
  printer_simulator::Faults garbage;
  garbage.garbageSwitches = true;  // blanks in bits 8, 6, 4 and 2
  rig.printer.SetFaults(garbage);
  ASSERT_TRUE(rig.StartConnected(PortKind::Serial));
  rig.Click(IDC_GET_STATUS);
  EXPECT_EQ(rig.view.SelectedText(IDC_EXTERNAL_BUZZER), "Enable");      // bit 1
  EXPECT_EQ(rig.view.SelectedText(IDC_PAPER_WIDTH), "2 inch");          // bit 5
  EXPECT_EQ(rig.view.SelectedText(IDC_COLOR_MODE), "Not Change");       // bit 6 garbled
  rig.Click(IDC_SET_STATUS);
  EXPECT_EQ(LastSwitchWrite(rig, PortKind::Serial).substr(32, 8), "21212121");
}

TEST(GetStatus, DroppedConnectionEndsWithTheWindowUsable) {
  for (PortKind kind : kKinds) {
    WindowRig rig;
    ASSERT_TRUE(rig.StartConnected(kind));
    printer_simulator::Faults drop;
    drop.dropAfterBytes = rig.printer.counters().bytesReceived + 20;
    rig.printer.SetFaults(drop);
    rig.Click(IDC_GET_STATUS);
    EXPECT_TRUE(rig.view.IsEnabled(IDC_CONNECT)) << Name(kind);
    EXPECT_TRUE(rig.view.IsEnabled(IDC_EXIT));
    EXPECT_FALSE(rig.window->connection().connected());
    EXPECT_LT(rig.clock.now + rig.portClock.now, 60000u) << Name(kind);
  }
}

TEST(SetStatus, RightAfterConnectingChangesNothing) {
  for (PortKind kind : kKinds) {
    WindowRig rig;
    rig.printer.SetSwitch(9, 0x5A);
    ASSERT_TRUE(rig.StartConnected(kind));
    const std::string before = rig.printer.StateReport();
    ASSERT_TRUE(rig.Click(IDC_SET_STATUS));
    EXPECT_EQ(LastSwitchWrite(rig, kind), std::string(56, '2')) << Name(kind);
    EXPECT_EQ(rig.printer.SwitchBits(9), "01011010");
    EXPECT_EQ(rig.LastMessage(), "Success to set status of printer");
    EXPECT_EQ(rig.view.Text(IDC_FW_VERSION), "HRX410 101 ");
    EXPECT_TRUE(rig.view.IsEnabled(IDC_GET_STATUS));
    EXPECT_FALSE(rig.printer.InSettingMode());
  }
}

TEST(SetStatus, OnlyAParallelPortGetsTheFlushByteBeforeItCloses) {
  struct Row {
    PortKind kind;
    bool flushByteLast;
  } rows[] = {{PortKind::Parallel, true}, {PortKind::Serial, false}};
  for (const Row& row : rows) {
    WindowRig rig;
    rig.spooler.AddPrinter("Receipt", "LPT1:");
    ASSERT_TRUE(rig.StartConnected(row.kind)) << Name(row.kind);
    ASSERT_TRUE(rig.Click(IDC_SET_STATUS));
    EXPECT_EQ(rig.LastMessage(), "Success to set status of printer") << Name(row.kind);
    EXPECT_EQ(LastSwitchWrite(rig, row.kind), std::string(56, '2')) << Name(row.kind);
    const std::vector<std::uint8_t> written = rig.Written(row.kind);
    ASSERT_FALSE(written.empty());
    EXPECT_EQ(written.back() == 0x00, row.flushByteLast) << Name(row.kind);
    EXPECT_EQ(rig.parallel.openHandles + rig.serial.openHandles, 0) << "closed after the set";
    EXPECT_EQ(rig.spooler.PortOf("Receipt"), "LPT1:") << "the Windows printer has its port back";
  }
}

TEST(SetStatus, WritesInSevenPiecesWithItsWaits) {
  WindowRig rig;
  ASSERT_TRUE(rig.StartConnected(PortKind::Ethernet));
  rig.sockets.sends.clear();
  rig.clock.sleeps.clear();
  rig.Click(IDC_SET_STATUS);
  std::vector<std::size_t> sizes;
  for (const auto& send : rig.sockets.sends) sizes.push_back(send.size());
  // enter, 14 + 6 x 8, leave, select, then the identity queries
  EXPECT_EQ(sizes, (std::vector<std::size_t>{6, 14, 8, 8, 8, 8, 8, 8, 6, 3, 3, 3}));
  // enter reply, leave, ten rounds of 200 ms, identity (200 + 500, 200)
  std::vector<std::uint32_t> waits = {200, 100};
  for (int i = 0; i < 10; ++i) waits.push_back(200);
  waits.insert(waits.end(), {200, 500, 200});
  EXPECT_EQ(rig.clock.sleeps, waits);
}

TEST(SetStatus, ChangedListsReachThePrinterExactly) {
  for (PortKind kind : kKinds) {
    WindowRig rig;
    rig.printer.SetSwitch(1, 0xFF);
    rig.printer.SetSwitch(10, 0x00);
    ASSERT_TRUE(rig.StartConnected(kind));
    ASSERT_TRUE(rig.Select(IDC_INTERNAL_BUZZER, 2));  // Disable: switch 1 bit 4 = 0
    ASSERT_TRUE(rig.Select(IDC_COLOR_MODE, 1));       // Color: switch 10 bit 6 = 1
    ASSERT_TRUE(rig.Select(IDC_CODEPAGE, 33));        // code page 32: switch 2 bit 3 = 1, bits 4..8 = 0
    rig.Click(IDC_SET_STATUS);
    EXPECT_EQ(rig.printer.SwitchBits(1), "11110111") << Name(kind);
    EXPECT_EQ(rig.printer.SwitchBits(10), "00100000") << Name(kind);
    EXPECT_EQ(LastSwitchWrite(rig, kind).substr(8, 8), "00000122");
  }
}

TEST(SetStatus, InitialiseThenSet) {
  WindowRig rig;
  rig.printer.SetSwitch(1, 0xF7);
  ASSERT_TRUE(rig.StartConnected(PortKind::Serial));
  ASSERT_TRUE(rig.Click(IDC_INIT_STATUS));
  EXPECT_EQ(rig.view.SelectedText(IDC_BUYERSET), "STD");
  EXPECT_EQ(rig.view.SelectedText(IDC_INTERNAL_BUZZER), "Disable");
  EXPECT_EQ(rig.view.SelectedText(IDC_CODEPAGE), "PC437 (USA: Standard Europe)");
  rig.Click(IDC_SET_STATUS);
  EXPECT_EQ(LastSwitchWrite(rig, PortKind::Serial), "22220222" + std::string(48, '0'));
  EXPECT_EQ(rig.printer.SwitchBits(1), "11110111");
  EXPECT_EQ(rig.LastMessage(), "Success to set status of printer");
  EXPECT_EQ(rig.resources.loads.size(), 0u) << "no font download for STD";
}

TEST(SetStatus, BuyerSetRulesOnTheWindow) {
  WindowRig rig;
  ASSERT_TRUE(rig.StartConnected(PortKind::Ethernet));
  rig.Select(IDC_BUYERSET, 1);  // STD
  rig.Click(IDC_SET_STATUS);
  EXPECT_EQ(LastSwitchWrite(rig, PortKind::Ethernet), std::string(48, '2') + "00000000");

  rig.Select(IDC_BUYERSET, 2);  // KOR
  EXPECT_FALSE(rig.view.IsEnabled(IDC_CODEPAGE));
  EXPECT_EQ(rig.view.SelectedText(IDC_CODEPAGE), "Not Change");
  rig.Select(IDC_BUYERSET, 1);  // STD again
  EXPECT_TRUE(rig.view.IsEnabled(IDC_CODEPAGE));

  rig.Select(IDC_BUYERSET, 5);  // JAP, then "Not Change" brings back the bits shown last
  rig.Select(IDC_BUYERSET, 0);
  EXPECT_EQ(rig.window->state().settings.buyerSetValue, 0);
  kora::PrinterSettings expected = rig.window->state().settings;
  for (int bit = 1; bit <= 8; ++bit) EXPECT_EQ(expected.Bit(kora::kMsw12, bit), expected.mswSavedCopy[bit - 1]) << bit;
}

TEST(SetStatus, PrinterWithADoubleByteCodeShowsTheCodePageLocked) {
  WindowRig rig;
  rig.printer.SetSwitch(12, 0x02);
  ASSERT_TRUE(rig.StartConnected(PortKind::Serial));
  rig.Click(IDC_GET_STATUS);
  EXPECT_FALSE(rig.view.IsEnabled(IDC_CODEPAGE));
  EXPECT_EQ(rig.view.SelectedText(IDC_CODEPAGE), "Not Change");
}

TEST(SetStatus, WhenTheWindowIsNotConnectedNothingIsSent) {
  WindowRig rig;
  ASSERT_TRUE(rig.StartConnected(PortKind::Serial));
  rig.Click(IDC_CONNECT);  // disconnect
  kora::MainWindow& window = *rig.window;
  const auto written = rig.serial.AllWritten().size();
  window.OnCommand(IDC_SET_STATUS, platform::kBnClicked);  // as if clicked anyway
  window.OnCommand(IDC_SELF_TEST, platform::kBnClicked);
  EXPECT_EQ(rig.serial.AllWritten().size(), written);
  EXPECT_EQ(rig.serial.openHandles, 0);
}

TEST(Operations, OpenFailureKeepsTheConnectedState) {
  WindowRig rig;
  ASSERT_TRUE(rig.StartConnected(PortKind::Serial));
  rig.serial.dsrOn = false;  // the printer was switched off
  rig.Click(IDC_GET_STATUS);
  ASSERT_GE(rig.view.messages.size(), 2u);
  EXPECT_EQ(rig.view.messages[rig.view.messages.size() - 2].text, "Can't open port and Printer is disconnected");
  EXPECT_EQ(rig.LastMessage(), "Can't connect printer. restart the first step.");
  EXPECT_TRUE(rig.window->state().printerConnected);
  EXPECT_EQ(rig.view.Text(IDC_CONNECT), "Disconnect Printer");
  EXPECT_FALSE(rig.view.IsEnabled(IDC_GET_STATUS));
  rig.serial.dsrOn = true;
  rig.Click(IDC_CONNECT);  // disconnects
  rig.Click(IDC_CONNECT);  // and connects again
  EXPECT_TRUE(rig.view.IsEnabled(IDC_GET_STATUS));
}

TEST(PrintSelfTest, SendsTheCommandAndWaits) {
  WindowRig rig;
  ASSERT_TRUE(rig.StartConnected(PortKind::Ethernet));
  rig.clock.sleeps.clear();
  const auto messages = rig.view.messages.size();
  ASSERT_TRUE(rig.Click(IDC_SELF_TEST));
  EXPECT_EQ(rig.printer.counters().selfTests, 1);
  EXPECT_EQ(rig.clock.sleeps, std::vector<std::uint32_t>{4300});
  EXPECT_EQ(rig.view.messages.size(), messages);
  EXPECT_FALSE(rig.window->connection().connected());
}

}  // namespace
