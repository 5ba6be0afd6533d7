// A virtual HRX-410: the printer's side of the settings utility's command set. Bytes are fed in
// as they arrive on the link (a command may be split over several writes, several commands may
// come in one write); replies queue up until a front end takes them. The state lives as long as
// the object, across any number of connections.
#pragma once
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "tools/font_image/font_image_format.h"

namespace printer_simulator {

constexpr char kModelName[] = "HRX-410";
// Shown by the utility as "HRX410 101 ": the model, then the version 1.01; the build mark
// after it is not displayed.
constexpr char kFirmwareVersion[] = "HRX410101A1";
constexpr std::uint8_t kFirmwareSupportedByte = 0x63;    // 'c'
constexpr std::uint8_t kFirmwareUnsupportedByte = 0x61;  // 'a'

// The memory switches the utility reads and writes, in the order it writes them.
constexpr int kSwitchNumbers[] = {1, 2, 8, 9, 10, 11, 12};
constexpr int kBuyerSetSwitch = 12;

// Faults a test can switch on at any time.
struct Faults {
  bool silent = false;                 // take every byte, interpret nothing, answer nothing
  std::string modelName = kModelName;  // any other text plays a printer of another model
  bool firmwareUnsupported = false;    // answer the support query with 'a' instead of 'c'
  bool garbageSwitches = false;        // blanks in place of bits 8, 6, 4 and 2 of switch replies
  // The link fails once this many bytes have been received over the simulator's life, all
  // connections together; the front ends then report a failed or closed link for good.
  std::optional<std::uint64_t> dropAfterBytes;
};

struct Counters {
  std::uint64_t bytesReceived = 0;  // every byte taken in, commands and font data alike
  std::uint64_t unknownBytes = 0;   // bytes skipped in command mode to find the next command
  int connections = 0;               // opened, over the simulator's life
  int openConnections = 0;           // open now
  int initializations = 0;          // 1B 40
  int selectPrinterDevice = 0;      // 1B 3D n
  int disableStatusBack = 0;        // 1D 61 n
  int flushBytes = 0;               // a lone 00
  int selfTests = 0;                // 1D 28 41 02 00 01 02
  int unsupportedQueries = 0;       // 1D 49 n and 1D 28 41 ... that this printer does not answer
  int switchWrites = 0;             // accepted WriteMemorySwitches
  int rejectedSwitchWrites = 0;     // WriteMemorySwitches outside the setting mode
};

// What became of the last font image the printer took in.
struct FontReception {
  bool awaited = false;    // a double-byte buyer set was just written; the image comes next
  bool receiving = false;  // raw reception running: every byte goes to the image
  std::uint64_t bytes = 0;
  bool recognised = false;  // the data starts with a header of our font image format
  std::uint32_t declaredSize = 0;
  bool complete = false;    // a recognised image arrived up to its declared size
  bool checksumOk = false;  // ... and its checksum matched
  std::string characterSet;  // the header's tag name ("KOR"), empty when not recognised
  std::uint32_t crc32 = 0;   // CRC-32 of the checked bytes: all of them when not recognised
};

class PrinterSimulator {
 public:
  PrinterSimulator();

  // A front end's link opened or closed. A close throws away a half-received command and the
  // replies nobody fetched, and ends a font expectation or reception that is still running.
  void ConnectionOpened();
  void ConnectionClosed();

  // Takes bytes from the link and returns how many were taken: all of them, fewer when the
  // link drops on the way, 0 once it has dropped.
  std::size_t Receive(const std::uint8_t* data, std::size_t count);
  std::size_t Receive(const std::vector<std::uint8_t>& data) {
    return Receive(data.data(), data.size());
  }

  // Moves up to `max` queued reply bytes to `out`. With oneReplyOnly the read ends at the end of
  // the reply it started in, as a USB bulk transfer does.
  std::size_t TakeReply(std::uint8_t* out, std::size_t max, bool oneReplyOnly = false);
  std::vector<std::uint8_t> TakeAllReplies();
  std::size_t PendingReplyBytes() const;
  void DiscardReplies();

  bool LinkDropped() const { return linkDropped_; }
  void SetFaults(const Faults& faults);
  const Faults& faults() const { return faults_; }

  // Switch values with bit k (1 to 8) at 1 << (k - 1). Only the switches of kSwitchNumbers
  // exist; the others read as 0 and cannot be set.
  static bool IsKnownSwitch(int number);
  std::uint8_t Switch(int number) const;
  void SetSwitch(int number, std::uint8_t value);
  // "01001000": bit 8 first, as the printer sends it.
  std::string SwitchBits(int number) const;
  static std::optional<std::uint8_t> ParseSwitchBits(const std::string& bits);

  std::uint8_t BuyerCode() const { return Switch(kBuyerSetSwitch); }
  std::string LanguageText() const;
  bool InSettingMode() const { return settingMode_; }
  const Counters& counters() const { return counters_; }
  const FontReception& font() const { return font_; }

  // The state as "key=value" lines, one per line, as the server writes its state file.
  std::string StateReport() const;

 private:
  enum class Match { NeedMore, Complete, NoMatch };
  Match MatchCommand(std::size_t& length) const;
  void ProcessByte(std::uint8_t byte);
  void Execute(const std::vector<std::uint8_t>& command);
  void ExecuteSwitchFunction(const std::vector<std::uint8_t>& command);
  void ReplyText(const std::string& text);
  void ReplySwitch(int number);
  void Reply(std::vector<std::uint8_t> bytes);
  void ApplySwitchCharacters(const std::uint8_t* characters);
  void StartFontReception();
  void FeedFont(std::uint8_t byte);
  void FinishFontReception();
  void CheckDrop();

  Faults faults_;
  Counters counters_;
  FontReception font_;
  std::uint8_t switches_[13] = {};  // indexed by switch number
  bool settingMode_ = false;
  bool buyerSetWrittenThisSession_ = false;
  bool linkDropped_ = false;
  std::vector<std::uint8_t> pending_;  // start of a command not yet complete
  std::deque<std::vector<std::uint8_t>> replies_;
  std::size_t frontReplyOffset_ = 0;  // bytes of replies_.front() already taken
  // Font reception: the first bytes until the header can be judged, the running checksum and
  // the trailer that carries the expected one.
  std::vector<std::uint8_t> fontHead_;
  font_image::Crc32 fontCrc_;
  std::vector<std::uint8_t> fontTrailer_;
};

}  // namespace printer_simulator
