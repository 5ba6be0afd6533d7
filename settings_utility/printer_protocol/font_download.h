// After a set that wrote a double-byte buyer set, the matching font image is streamed to
// the printer: 64 bytes at once, then one block of up to 4096 bytes per window timer event,
// so that the window keeps handling events between blocks. The connection stays open from
// block to block.
#pragma once
#include <cstdint>
#include <vector>

#include "platform/resources.h"
#include "settings_utility/printer_protocol/operation_context.h"
#include "settings_utility/printer_protocol/printer_info.h"

namespace kora {

constexpr unsigned kSendBlockTimer = 1;
constexpr unsigned kDownloadDoneTimer = 2;
constexpr unsigned kDownloadFailedTimer = 3;
constexpr unsigned kFontTimerPeriodMs = 10;
constexpr std::uint32_t kFontFirstBlockBytes = 64;
constexpr std::uint32_t kFontBlockBytes = 4096;
constexpr std::uint32_t kFontBlockPauseMs = 10;
extern const char kFontResourceType[];  // "BIN"

class FontDownload {
 public:
  FontDownload(OperationContext& context, PrinterInfo& info, platform::Resources& resources);

  // Starts the download of the image for buyer set selection 2..5. Any other selection has
  // no image and starts nothing (returns false).
  bool StartFontDownload(int buyerSetSelection);
  // Handler of every timer event of the main window.
  void FontDownloadTick(unsigned timerId);

  std::uint32_t remaining() const { return remaining_; }
  std::int32_t blockCounter() const { return blockCounter_; }

 private:
  void SendNextBlock();
  void Finish();
  void Fail();

  OperationContext& context_;
  PrinterInfo& info_;
  platform::Resources& resources_;
  std::vector<std::uint8_t> image_;
  std::size_t next_ = 0;
  std::uint32_t remaining_ = 0;
  std::int32_t blockCounter_ = 0;
};

}  // namespace kora
