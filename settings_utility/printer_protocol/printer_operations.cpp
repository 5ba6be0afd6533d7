#include "settings_utility/printer_protocol/printer_operations.h"

#include <vector>

#include "settings_utility/printer_protocol/printer_commands.h"
#include "settings_utility/printer_protocol/printer_link.h"
#include "settings_utility/printer_protocol/reply_timing.h"
#include "settings_utility/resources/resource_ids.h"

namespace kora {

using platform::MessageIcon;

namespace {

// Switches in the order they are read, with their rows in the model.
struct SwitchToRead {
  std::uint8_t number;
  int row;
};
constexpr SwitchToRead kReadOrder[] = {{0x02, kMsw2},  {0x08, kMsw8},  {0x09, kMsw9}, {0x01, kMsw1},
                                       {0x0A, kMsw10}, {0x0B, kMsw11}, {0x0C, kMsw12}};

constexpr std::uint32_t kSwitchBodyBytes = 10;  // identifier, eight bit characters, terminator
constexpr std::uint32_t kSettingModeReplyBytes = 3;
constexpr int kTrailingReads = 5;
constexpr std::uint32_t kLeaveSettingModeWaitMs = 100;
constexpr int kSetSettleRounds = 10;
constexpr std::uint32_t kSetSettleWaitMs = 200;

constexpr int kSetStatusControls[] = {IDC_GET_STATUS,    IDC_SET_STATUS,      IDC_SELF_TEST,
                                      IDC_SAVE_STATUS,   IDC_LOAD_STATUS,     IDC_INIT_STATUS,
                                      IDC_EXIT,          IDC_CONNECT,         IDC_AUTO_CUTTER,
                                      IDC_EXTERNAL_BUZZER, IDC_INTERNAL_BUZZER, IDC_PAPER_WIDTH,
                                      IDC_COLOR_MODE,    IDC_FONT_TYPE,       IDC_CODEPAGE,
                                      IDC_BUYERSET};

}  // namespace

PrinterOperations::PrinterOperations(OperationContext& context, PrinterInfo& info,
                                     FontDownload& fontDownload)
    : context_(context), info_(info), fontDownload_(fontDownload) {}

bool PrinterOperations::CommonStart() {
  if (context_.OpenConnection()) return true;
  context_.view.ShowMessage("Can't connect printer. restart the first step.", "Information",
                            MessageIcon::Information);
  context_.controls.Refresh(false);
  return false;
}

void PrinterOperations::ReadSwitch(std::uint8_t switchNumber, int row, bool first) {
  MainWindowView& view = context_.view;
  PrinterLink link(context_.connection, context_.clock);
  link.Send(commands::ReadMemorySwitch(switchNumber));

  std::vector<std::uint8_t> reply;
  std::size_t firstBitAt = 0;  // position of bit 8; bit k is at firstBitAt + 8 - k
  if (link.byteWise()) {
    link.Wait(kSwitchReplyWaitMs);
    std::uint8_t header = 0;
    link.ReadByte(header);
    if (first) {
      view.StepProgress();
      // Skip whatever precedes the reply's header; give up when the printer falls silent.
      for (int reads = 0; header != commands::kSwitchReplyHeader && reads < kMaxSwitchHeaderReads; ++reads)
        if (!link.ReadByte(header)) break;
      link.ReadInto(reply, kSwitchBodyBytes);
    } else {
      link.ReadInto(reply, kSwitchBodyBytes);
      view.StepProgress();
    }
    firstBitAt = 1;
  } else {
    link.Wait(kBlockReplyWaitMs);
    link.ReadBlock(reply, kShortBlockBytes);
    firstBitAt = 2;
  }
  for (int bit = 1; bit <= 8; ++bit) {
    context_.state.settings.Bit(row, bit) = commands::BitFromChar(reply[firstBitAt + 8 - bit]);
    view.StepProgress();
  }
  view.StepProgress();
}

void PrinterOperations::GetStatus() {
  if (!CommonStart()) return;
  MainWindowView& view = context_.view;
  view.SetProgressStep(5);
  view.SetProgressPosition(0);
  info_.EnsurePrinterInfo();
  context_.controls.Refresh(false);
  view.EnableControl(IDC_EXIT, false);
  view.EnableControl(IDC_CONNECT, false);

  bool first = true;
  for (const SwitchToRead& item : kReadOrder) {
    ReadSwitch(item.number, item.row, first);
    first = false;
  }
  PrinterLink link(context_.connection, context_.clock);
  if (link.byteWise()) {
    for (int i = 0; i < kTrailingReads; ++i) {
      link.Wait(kSwitchReplyWaitMs);
      std::uint8_t dropped = 0;
      link.ReadByte(dropped);
    }
  }
  link.Send(commands::kSelectPrinterDevice);
  view.StepProgress();
  view.SetProgressPosition(100);
  context_.connection.Close();
  view.ShowMessage("Success to get status of printer.", "Information", MessageIcon::Information);

  context_.controls.PushToControls();
  context_.state.settingsLoaded = true;
  context_.state.buyerSetSelection = 0;
  context_.controls.Refresh(true);
  view.EnableControl(IDC_EXIT, true);
  view.EnableControl(IDC_CONNECT, true);
  view.SetProgressPosition(0);
}

void PrinterOperations::SetStatus() {
  if (!CommonStart()) return;
  MainWindowView& view = context_.view;
  WindowState& state = context_.state;
  view.SetProgressPosition(0);
  if (!state.printerConnected) {
    context_.controls.Refresh(false);
    context_.connection.Close();
    return;
  }
  for (int id : kSetStatusControls) view.EnableControl(id, false);
  context_.controls.PullFromControls();

  PrinterLink link(context_.connection, context_.clock);
  link.Send(commands::kEnterSettingMode);
  std::vector<std::uint8_t> ignored;
  if (link.byteWise()) {
    link.Wait(kSwitchReplyWaitMs);
    link.ReadInto(ignored, kSettingModeReplyBytes);
  } else {
    link.Wait(kBlockReplyWaitMs);
    link.ReadBlock(ignored, kShortBlockBytes);
  }
  view.StepProgress();

  const commands::WriteSwitchesCommand command =
      commands::WriteMemorySwitches(state.settings, state.buyerSetSelection == 0);
  // The first write carries the header with switch 1's group, then one group per write.
  std::size_t at = 0;
  for (int row = 0; row < kSwitchRowCount; ++row) {
    const std::size_t length = commands::kSwitchGroupChars + (row == 0 ? commands::kWriteSwitchesHeaderBytes : 0);
    context_.connection.SendCommand(command.data() + at, static_cast<std::uint32_t>(length));
    at += length;
    view.StepProgress();
  }

  link.Send(commands::kLeaveSettingMode);
  link.Wait(kLeaveSettingModeWaitMs);
  link.Send(commands::kSelectPrinterDevice);
  for (int i = 0; i < kSetSettleRounds; ++i) {
    view.StepProgress();
    link.Wait(kSetSettleWaitMs);
    view.StepProgress();
  }
  view.SetProgressPosition(100);

  const int selection = state.buyerSetSelection;
  if (selection >= 2 && selection <= 5) {
    view.ShowMessage("Success to Change the Firmware,\n And Now Start Font Download!", "Information",
                     MessageIcon::Exclamation);
    view.SetProgressPosition(0);
    fontDownload_.StartFontDownload(selection);
    view.SetComboSelection(IDC_BUYERSET, 0);
    return;
  }

  info_.ReadPrinterInfo();
  if (link.kind() == PortKind::Parallel) link.Send(commands::kParallelFlushByte);
  context_.connection.Close();
  view.ShowMessage("Success to set status of printer", "Information", MessageIcon::Information);
  context_.controls.Refresh(true);
  view.EnableControl(IDC_EXIT, true);
  view.EnableControl(IDC_CONNECT, true);
  context_.controls.PushToControls();
  view.RedrawWindow();
  view.SetProgressPosition(0);
}

void PrinterOperations::InitializeStatus() {
  ApplyInitialValues(context_.state.settings);
  context_.state.settingsLoaded = true;
  context_.controls.Refresh(true);
  context_.controls.PushToControls();
  context_.view.SetComboSelection(IDC_BUYERSET, 1);
  context_.state.buyerSetSelection = 1;
}

void PrinterOperations::PrintSelfTest() {
  if (!CommonStart()) return;
  if (context_.state.printerConnected) {
    PrinterLink link(context_.connection, context_.clock);
    link.Send(commands::kPrintSelfTest);
    link.Wait(kSelfTestWaitMs);
  }
  context_.connection.Close();
}

}  // namespace kora
