#include "settings_utility/main_window/connect_workflow.h"

#include <vector>

#include "settings_utility/printer_protocol/printer_commands.h"
#include "settings_utility/printer_protocol/printer_link.h"
#include "settings_utility/printer_protocol/reply_timing.h"

namespace kora {

using platform::MessageIcon;

const char kModelName[] = "HRX-410";

namespace {
// Pause before each read while emptying whatever the port still holds.
constexpr std::uint32_t kDrainWaitMs = 50;
// Byte-wise ports may deliver stray bytes before the support byte: ten more are looked at.
constexpr int kFirmwareSupportExtraReads = 10;
}  // namespace

ConnectWorkflow::ConnectWorkflow(OperationContext& context) : context_(context), info_(context) {}

bool ConnectWorkflow::Fail(const char* text, const char* title, MessageIcon icon) {
  context_.view.ShowMessage(text, title, icon);
  context_.connection.Close();
  // A half-filled bar would suggest something is still running.
  context_.view.SetProgressPosition(0);
  return false;
}

bool ConnectWorkflow::FirmwareSupported() {
  PrinterLink link(context_.connection, context_.clock);
  link.Send(commands::kQueryFirmwareSupport);
  std::vector<std::uint8_t> reply;
  if (link.byteWise()) {
    link.Wait(kByteWiseReplyWaitMs);
    link.ReadInto(reply, 1);
  } else {
    link.Wait(kBlockReplyWaitMs);
    link.ReadBlock(reply, kShortBlockBytes);
  }
  context_.view.StepProgress();
  if (reply[0] == commands::kFirmwareSupported) return true;
  if (!link.byteWise()) return false;
  for (int i = 0; i < kFirmwareSupportExtraReads; ++i) {
    std::uint8_t byte = 0;
    if (link.ReadByte(byte) && byte == commands::kFirmwareSupported) return true;
  }
  return false;
}

std::string ConnectWorkflow::ReadModelName() {
  PrinterLink link(context_.connection, context_.clock);
  link.Send(commands::kQueryModelName);
  if (link.byteWise()) {
    link.Wait(kByteWiseReplyWaitMs);
    return link.ReadTextBytewise();
  }
  link.Wait(kBlockReplyWaitMs);
  std::vector<std::uint8_t> block;
  link.ReadBlock(block, kShortBlockBytes);
  return TextAt(block, 1);
}

bool ConnectWorkflow::ConnectPrinter() {
  PrinterConnection& connection = context_.connection;
  MainWindowView& view = context_.view;
  if (connection.connected()) return false;
  if (!context_.OpenConnection()) return false;
  view.StepProgress();

  PrinterLink link(connection, context_.clock);
  if (link.byteWise()) link.DrainBytewise(5, kDrainWaitMs);
  view.StepProgress();

  if (link.Send(commands::kInitializePrinter) != commands::kInitializePrinter.size())
    return Fail("Port error! Check printer's port, please.", "Warning", MessageIcon::Exclamation);
  link.Send(commands::kSelectPrinterDevice);
  view.StepProgress();
  link.Send(commands::kDisableStatusBack);
  view.StepProgress();

  if (!FirmwareSupported())
    return Fail("This F/W version is not supported!!!\n Please update printer F/W!!", "Information",
                MessageIcon::Information);

  const std::string model = ReadModelName();
  view.StepProgress();
  if (model != kModelName)
    return Fail("The connected printer has different Model name.", "Warning", MessageIcon::Exclamation);

  info_.EnsurePrinterInfo();

  view.SetProgressPosition(100);
  context_.state.printerConnected = true;
  view.ShowMessage("Printer is connected.", "Information", MessageIcon::Information);
  view.SetProgressPosition(0);
  connection.Close();
  return true;
}

}  // namespace kora
