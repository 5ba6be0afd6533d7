#include "settings_utility/printer_protocol/printer_info.h"

#include <vector>

#include "settings_utility/printer_protocol/printer_commands.h"
#include "settings_utility/printer_protocol/printer_link.h"
#include "settings_utility/printer_protocol/reply_timing.h"

namespace kora {

std::string FormatFirmwareVersion(const std::string& reply) {
  std::string text = reply.substr(0, 6);
  if (reply.size() >= 6) text += ' ' + reply.substr(6, 3);
  if (reply.size() >= 9) text += ' ';
  return text;
}

PrinterInfo::PrinterInfo(OperationContext& context) : context_(context) {}

std::string PrinterInfo::ReadInfoText(bool isVersion) {
  PrinterLink link(context_.connection, context_.clock);
  link.Send(isVersion ? commands::kQueryFirmwareVersion : commands::kQueryLanguage);
  if (link.byteWise()) {
    link.Wait(kByteWiseReplyWaitMs);
    return link.ReadTextBytewise();
  }
  link.Wait(kBlockReplyWaitMs);
  // The network interface needs longer to assemble the version block.
  if (isVersion && link.kind() == PortKind::Ethernet) link.Wait(kEthernetVersionExtraWaitMs);
  std::vector<std::uint8_t> block;
  link.ReadBlock(block, kTextBlockBytes);
  return link.kind() == PortKind::Usb ? TextAt(block, 1) : TextAfterHeaderInFirstFive(block);
}

void PrinterInfo::ReadPrinterInfo() {
  context_.state.firmwareVersionText.clear();
  context_.state.languageText.clear();
  const std::string version = ReadInfoText(true);
  const std::string language = ReadInfoText(false);
  PrinterLink link(context_.connection, context_.clock);
  if (link.byteWise()) link.DrainBytewise(5, 0);
  context_.state.firmwareVersionText = FormatFirmwareVersion(version);
  context_.state.languageText = language;
}

bool PrinterInfo::EnsurePrinterInfo() {
  MainWindowView& view = context_.view;
  view.StepProgress();
  view.StepProgress();
  if (context_.state.firmwareVersionText.empty()) {
    view.StepProgress();
    ReadPrinterInfo();
    context_.controls.PushToControls();
  }
  view.StepProgress();
  view.StepProgress();
  return true;
}

}  // namespace kora
