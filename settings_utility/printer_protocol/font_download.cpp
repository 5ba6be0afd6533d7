#include "settings_utility/printer_protocol/font_download.h"

#include <algorithm>

#include "settings_utility/printer_protocol/printer_commands.h"
#include "settings_utility/printer_protocol/printer_link.h"
#include "settings_utility/resources/resource_ids.h"

namespace kora {

using platform::MessageIcon;

const char kFontResourceType[] = "BIN";

namespace {
constexpr int kDoneDrainReads = 10;
constexpr std::uint32_t kDoneDrainWaitMs = 50;
}  // namespace

FontDownload::FontDownload(OperationContext& context, PrinterInfo& info, platform::Resources& resources)
    : context_(context), info_(info), resources_(resources) {}

bool FontDownload::StartFontDownload(int buyerSetSelection) {
  image_.clear();
  next_ = 0;
  remaining_ = 0;
  const int resourceId = buyerSetSelection >= 2 ? FontResourceForBuyerSet(buyerSetSelection) : 0;
  if (resourceId == 0) return false;

  MainWindowView& view = context_.view;
  view.SetProgressStep(1);
  view.SetProgressPosition(10);
  if (!resources_.LoadBinary(resourceId, kFontResourceType, image_) || image_.empty()) {
    // Without its image the download cannot run; end it the way a failed block does.
    image_.clear();
    view.StartTimer(kDownloadFailedTimer, kFontTimerPeriodMs);
    return true;
  }
  remaining_ = static_cast<std::uint32_t>(image_.size());
  blockCounter_ = 1;
  const std::uint32_t first = std::min(remaining_, kFontFirstBlockBytes);
  const std::uint32_t written = context_.connection.SendCommand(image_.data(), first);
  remaining_ -= written;
  next_ += written;
  view.StepProgress();
  view.StartTimer(kSendBlockTimer, kFontTimerPeriodMs);
  return true;
}

void FontDownload::SendNextBlock() {
  MainWindowView& view = context_.view;
  ++blockCounter_;
  if (remaining_ > kFontBlockBytes) {
    const std::uint32_t written = context_.connection.SendCommand(image_.data() + next_, kFontBlockBytes);
    if (blockCounter_ % 4 == 0) view.StepProgress();
    context_.clock.Sleep(kFontBlockPauseMs);
    if (written == 0) {
      view.StartTimer(kDownloadFailedTimer, kFontTimerPeriodMs);
      return;
    }
    remaining_ -= written;
    next_ += written;
    view.StartTimer(kSendBlockTimer, kFontTimerPeriodMs);
    return;
  }
  const std::uint32_t written = context_.connection.SendCommand(image_.data() + next_, remaining_);
  view.SetProgressPosition(100);
  if (written == 0) {
    view.StartTimer(kDownloadFailedTimer, kFontTimerPeriodMs);
    return;
  }
  remaining_ -= written;
  next_ += written;
  // A short last write is not the end of the image: the rest goes with the next event.
  view.StartTimer(remaining_ == 0 ? kDownloadDoneTimer : kSendBlockTimer, kFontTimerPeriodMs);
}

void FontDownload::Finish() {
  PrinterLink link(context_.connection, context_.clock);
  if (link.byteWise()) {
    for (int i = 0; i < kDoneDrainReads; ++i) {
      link.Wait(kDoneDrainWaitMs);
      std::uint8_t dropped = 0;
      link.ReadByte(dropped);
    }
  }
  info_.ReadPrinterInfo();
  if (link.kind() == PortKind::Parallel) link.Send(commands::kParallelFlushByte);
  context_.connection.Close();
  image_.clear();
  MainWindowView& view = context_.view;
  view.ShowMessage("Success to Download Font!, And Reboot Printer", "Information",
                   MessageIcon::Information);
  context_.controls.Refresh(true);
  view.RedrawWindow();
  view.EnableControl(IDC_EXIT, true);
  view.EnableControl(IDC_CONNECT, true);
  view.EnableControl(IDC_CODEPAGE, false);
  view.SetProgressPosition(0);
}

void FontDownload::Fail() {
  MainWindowView& view = context_.view;
  view.ShowMessage("Fail to download Font!", "Stop", MessageIcon::Stop);
  context_.controls.Refresh(true);
  view.EnableControl(IDC_EXIT, true);
  view.EnableControl(IDC_CONNECT, true);
  view.EnableControl(IDC_CODEPAGE, false);
  view.SetProgressPosition(0);
}

void FontDownload::FontDownloadTick(unsigned timerId) {
  context_.view.StopTimer(timerId);
  if (timerId == kSendBlockTimer)
    SendNextBlock();
  else if (timerId == kDownloadDoneTimer)
    Finish();
  else
    Fail();
}

}  // namespace kora
