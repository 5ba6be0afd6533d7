// The virtual HRX-410: command recognition, replies, memory switches, setting mode, self-test
// and font image reception, with the fault modes that tests switch on.
#include "tools/printer_simulator/printer_simulator.h"

#include <algorithm>
#include <cstring>
#include <sstream>

namespace printer_simulator {
namespace {

constexpr std::uint8_t kEsc = 0x1B;
constexpr std::uint8_t kGs = 0x1D;
constexpr std::uint8_t kSwitchFamily = 0x08;
constexpr std::uint8_t kFlushByte = 0x00;

constexpr std::uint8_t kTextReplyHeader = 0x5F;    // '_'
constexpr std::uint8_t kSwitchReplyHeader = 0x37;  // '7'
constexpr std::size_t kSwitchGroupCount = sizeof(kSwitchNumbers) / sizeof(kSwitchNumbers[0]);
constexpr std::size_t kSwitchCharacterCount = 8 * kSwitchGroupCount;  // 56

// Memory switch family: 08 5E 45, a 16-bit little-endian count of what follows, then the
// function byte and its data. Only the counts this printer knows for each function are taken
// as a command; anything else is noise to skip, not a length to trust.
constexpr std::uint8_t kFunctionEnterSettingMode = 0x01;
constexpr std::uint8_t kFunctionLeaveSettingMode = 0x02;
constexpr std::uint8_t kFunctionWriteSwitches = 0x03;
constexpr std::uint8_t kFunctionReadSwitch = 0x04;

std::size_t SwitchFunctionCount(std::uint8_t function) {
  switch (function) {
    case kFunctionEnterSettingMode:
    case kFunctionLeaveSettingMode:
      return 1;
    case kFunctionWriteSwitches:
      return 1 + kSwitchCharacterCount;
    case kFunctionReadSwitch:
      return 2;
    default:
      return 0;
  }
}

// The reply to EnterSettingMode: the switch reply's header, the function number, a terminator.
// The utility reads it only to stay in step.
const std::vector<std::uint8_t> kSettingModeReply = {kSwitchReplyHeader, 0x01, 0x00};

// A real unit leaves the factory with a few bits set; tests that read, change and write back
// the switches see more than all-zero bytes this way.
struct DefaultSwitch {
  int number;
  std::uint8_t value;
};
constexpr DefaultSwitch kDefaultSwitches[] = {
    {1, 0x48},   // 01001000: internal buzzer on (bit 4), bit 7
    {2, 0x00},   // font A, partial cut, code page PC437
    {8, 0x21},   // 00100001
    {9, 0x00},
    {10, 0x10},  // 00010000: paper width bit (bit 5)
    {11, 0x80},  // 10000000
    {12, 0x00},  // buyer set: standard
};

bool IsDoubleByteBuyerCode(std::uint8_t code) { return code >= 1 && code <= 3; }

std::uint32_t LittleEndian32(const std::vector<std::uint8_t>& bytes) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4 && i < bytes.size(); ++i) {
    value |= static_cast<std::uint32_t>(bytes[i]) << (8 * i);
  }
  return value;
}

}  // namespace

PrinterSimulator::PrinterSimulator() {
  for (const DefaultSwitch& entry : kDefaultSwitches) switches_[entry.number] = entry.value;
}

void PrinterSimulator::ConnectionOpened() {
  ++counters_.connections;
  ++counters_.openConnections;
}

void PrinterSimulator::ConnectionClosed() {
  if (counters_.openConnections > 0) --counters_.openConnections;
  counters_.unknownBytes += pending_.size();
  pending_.clear();
  DiscardReplies();
  if (font_.receiving) FinishFontReception();
  // The image belongs to the connection that wrote the buyer set.
  font_.awaited = false;
}

std::size_t PrinterSimulator::Receive(const std::uint8_t* data, std::size_t count) {
  if (linkDropped_ || data == nullptr) return 0;
  std::size_t take = count;
  if (faults_.dropAfterBytes) {
    const std::uint64_t limit = *faults_.dropAfterBytes;
    const std::uint64_t room =
        limit > counters_.bytesReceived ? limit - counters_.bytesReceived : 0;
    take = static_cast<std::size_t>(std::min<std::uint64_t>(count, room));
  }
  for (std::size_t i = 0; i < take; ++i) {
    ++counters_.bytesReceived;
    if (!faults_.silent) ProcessByte(data[i]);
  }
  CheckDrop();
  return take;
}

std::size_t PrinterSimulator::TakeReply(std::uint8_t* out, std::size_t max, bool oneReplyOnly) {
  std::size_t taken = 0;
  while (out != nullptr && taken < max && !replies_.empty()) {
    const std::vector<std::uint8_t>& front = replies_.front();
    const std::size_t n = std::min(front.size() - frontReplyOffset_, max - taken);
    std::memcpy(out + taken, front.data() + frontReplyOffset_, n);
    taken += n;
    frontReplyOffset_ += n;
    if (frontReplyOffset_ < front.size()) break;  // the caller's buffer is full
    replies_.pop_front();
    frontReplyOffset_ = 0;
    if (oneReplyOnly) break;
  }
  return taken;
}

std::vector<std::uint8_t> PrinterSimulator::TakeAllReplies() {
  std::vector<std::uint8_t> all(PendingReplyBytes());
  all.resize(TakeReply(all.data(), all.size()));
  return all;
}

std::size_t PrinterSimulator::PendingReplyBytes() const {
  std::size_t total = 0;
  for (const auto& reply : replies_) total += reply.size();
  return total - frontReplyOffset_;
}

void PrinterSimulator::DiscardReplies() {
  replies_.clear();
  frontReplyOffset_ = 0;
}

void PrinterSimulator::SetFaults(const Faults& faults) {
  faults_ = faults;
  CheckDrop();
}

bool PrinterSimulator::IsKnownSwitch(int number) {
  return std::find(std::begin(kSwitchNumbers), std::end(kSwitchNumbers), number) !=
         std::end(kSwitchNumbers);
}

std::uint8_t PrinterSimulator::Switch(int number) const {
  return IsKnownSwitch(number) ? switches_[number] : 0;
}

void PrinterSimulator::SetSwitch(int number, std::uint8_t value) {
  if (IsKnownSwitch(number)) switches_[number] = value;
}

std::string PrinterSimulator::SwitchBits(int number) const {
  const std::uint8_t value = Switch(number);
  std::string bits;
  for (int bit = 8; bit >= 1; --bit) bits += (value & (1u << (bit - 1))) ? '1' : '0';
  return bits;
}

std::optional<std::uint8_t> PrinterSimulator::ParseSwitchBits(const std::string& bits) {
  if (bits.size() != 8) return std::nullopt;
  std::uint8_t value = 0;
  for (std::size_t i = 0; i < 8; ++i) {
    if (bits[i] != '0' && bits[i] != '1') return std::nullopt;
    if (bits[i] == '1') value |= static_cast<std::uint8_t>(1u << (7 - i));
  }
  return value;
}

std::string PrinterSimulator::LanguageText() const {
  switch (BuyerCode()) {
    case 0:
      return "STANDARD";
    case 1:
      return "KOREAN";
    case 2:
      return "CHINESE";
    case 3:
      return "JAPANESE";
    default:
      return "UNKNOWN";
  }
}

std::string PrinterSimulator::StateReport() const {
  std::ostringstream out;
  for (int number : kSwitchNumbers) out << "switch" << number << '=' << SwitchBits(number) << '\n';
  out << "setting_mode=" << (settingMode_ ? 1 : 0) << '\n'
      << "selftests=" << counters_.selfTests << '\n'
      << "initializations=" << counters_.initializations << '\n'
      << "switch_writes=" << counters_.switchWrites << '\n'
      << "rejected_switch_writes=" << counters_.rejectedSwitchWrites << '\n'
      << "font_awaited=" << (font_.awaited ? 1 : 0) << '\n'
      << "font_receiving=" << (font_.receiving ? 1 : 0) << '\n'
      << "font_bytes=" << font_.bytes << '\n'
      << "font_complete=" << (font_.complete ? 1 : 0) << '\n'
      << "font_checksum_ok=" << (font_.checksumOk ? 1 : 0) << '\n'
      << "font_charset=" << font_.characterSet << '\n'
      << "connections=" << counters_.connections << '\n'
      << "open_connections=" << counters_.openConnections << '\n'
      << "bytes_received=" << counters_.bytesReceived << '\n'
      << "unknown_bytes=" << counters_.unknownBytes << '\n'
      << "link_dropped=" << (linkDropped_ ? 1 : 0) << '\n';
  return out.str();
}

PrinterSimulator::Match PrinterSimulator::MatchCommand(std::size_t& length) const {
  const std::vector<std::uint8_t>& p = pending_;
  const std::size_t n = p.size();
  auto complete = [&length](std::size_t size) {
    length = size;
    return Match::Complete;
  };
  switch (p[0]) {
    case kFlushByte:
      return complete(1);
    case kEsc:
      if (n < 2) return Match::NeedMore;
      if (p[1] == 0x40) return complete(2);  // initialise
      if (p[1] == 0x3D) return n < 3 ? Match::NeedMore : complete(3);  // select device n
      return Match::NoMatch;
    case kGs:
      if (n < 2) return Match::NeedMore;
      if (p[1] == 0x61 || p[1] == 0x49) return n < 3 ? Match::NeedMore : complete(3);
      if (p[1] == 0x28) {  // 1D 28 41 pL pH fn m: the test print
        if (n < 3) return Match::NeedMore;
        if (p[2] != 0x41) return Match::NoMatch;
        if (n < 5) return Match::NeedMore;
        if (p[3] != 0x02 || p[4] != 0x00) return Match::NoMatch;
        return n < 7 ? Match::NeedMore : complete(7);
      }
      return Match::NoMatch;
    case kSwitchFamily: {
      if (n < 2) return Match::NeedMore;
      if (p[1] != 0x5E) return Match::NoMatch;
      if (n < 3) return Match::NeedMore;
      if (p[2] != 0x45) return Match::NoMatch;
      if (n < 6) return Match::NeedMore;
      const std::size_t count =
          static_cast<std::size_t>(p[3]) | static_cast<std::size_t>(p[4]) << 8;
      if (count == 0 || count != SwitchFunctionCount(p[5])) return Match::NoMatch;
      return n < 5 + count ? Match::NeedMore : complete(5 + count);
    }
    default:
      return Match::NoMatch;
  }
}

void PrinterSimulator::ProcessByte(std::uint8_t byte) {
  if (font_.receiving) {
    FeedFont(byte);
    return;
  }
  pending_.push_back(byte);
  while (!pending_.empty()) {
    std::size_t length = 0;
    const Match match = MatchCommand(length);
    if (match == Match::NeedMore) return;
    if (match == Match::Complete) {
      const std::vector<std::uint8_t> command(pending_.begin(), pending_.begin() + length);
      pending_.erase(pending_.begin(), pending_.begin() + length);
      Execute(command);
      continue;
    }
    if (font_.awaited) {
      // The image begins with the first byte that is no command; re-feed what was held back,
      // so that whatever follows the end of a short image is parsed as commands again.
      StartFontReception();
      std::vector<std::uint8_t> held;
      held.swap(pending_);
      for (std::uint8_t b : held) ProcessByte(b);
      return;
    }
    // Skip one byte and look for a command at the next, so that noise costs no valid command.
    ++counters_.unknownBytes;
    pending_.erase(pending_.begin());
  }
}

void PrinterSimulator::Execute(const std::vector<std::uint8_t>& command) {
  switch (command[0]) {
    case kFlushByte:
      ++counters_.flushBytes;
      return;
    case kEsc:
      if (command[1] == 0x40) {
        ++counters_.initializations;
      } else {
        ++counters_.selectPrinterDevice;
      }
      return;
    case kGs:
      if (command[1] == 0x61) {
        ++counters_.disableStatusBack;
      } else if (command[1] == 0x49) {
        switch (command[2]) {
          case 0x03:
            Reply({faults_.firmwareUnsupported ? kFirmwareUnsupportedByte
                                               : kFirmwareSupportedByte});
            return;
          case 0x43:
            ReplyText(faults_.modelName);
            return;
          case 0x41:
            ReplyText(kFirmwareVersion);
            return;
          case 0x45:
            ReplyText(LanguageText());
            return;
          default:
            ++counters_.unsupportedQueries;
            return;
        }
      } else if (command[5] == 0x01 && command[6] == 0x02) {  // 1D 28 41 02 00 fn m
        ++counters_.selfTests;
      } else {
        ++counters_.unsupportedQueries;  // another test print function
      }
      return;
    case kSwitchFamily:
      ExecuteSwitchFunction(command);
      return;
    default:
      return;
  }
}

void PrinterSimulator::ExecuteSwitchFunction(const std::vector<std::uint8_t>& command) {
  switch (command[5]) {
    case kFunctionEnterSettingMode:
      if (!settingMode_) buyerSetWrittenThisSession_ = false;
      settingMode_ = true;
      Reply(kSettingModeReply);
      return;
    case kFunctionLeaveSettingMode:
      if (!settingMode_) return;
      settingMode_ = false;
      // The utility streams the font whenever the user picked a double-byte buyer set, also
      // the one the printer already has; so does the expectation here.
      if (buyerSetWrittenThisSession_ && IsDoubleByteBuyerCode(BuyerCode())) font_.awaited = true;
      buyerSetWrittenThisSession_ = false;
      return;
    case kFunctionWriteSwitches:
      // Outside the setting mode the printer takes the bytes and changes nothing.
      if (!settingMode_) {
        ++counters_.rejectedSwitchWrites;
        return;
      }
      ApplySwitchCharacters(command.data() + 6);
      ++counters_.switchWrites;
      return;
    case kFunctionReadSwitch:
      if (IsKnownSwitch(command[6])) {
        ReplySwitch(command[6]);
      } else {
        ++counters_.unsupportedQueries;
      }
      return;
    default:
      return;
  }
}

void PrinterSimulator::ReplyText(const std::string& text) {
  std::vector<std::uint8_t> reply;
  reply.push_back(kTextReplyHeader);
  reply.insert(reply.end(), text.begin(), text.end());
  reply.push_back(0x00);
  Reply(std::move(reply));
}

void PrinterSimulator::ReplySwitch(int number) {
  std::vector<std::uint8_t> reply;
  reply.push_back(kSwitchReplyHeader);
  reply.push_back(static_cast<std::uint8_t>(number));  // identifier: the switch asked for
  const std::string bits = SwitchBits(number);
  for (std::size_t i = 0; i < bits.size(); ++i) {
    const int bit = 8 - static_cast<int>(i);
    const bool spoil = faults_.garbageSwitches && bit % 2 == 0;
    reply.push_back(static_cast<std::uint8_t>(spoil ? ' ' : bits[i]));
  }
  reply.push_back(0x00);
  Reply(std::move(reply));
}

void PrinterSimulator::Reply(std::vector<std::uint8_t> bytes) {
  if (linkDropped_) return;
  replies_.push_back(std::move(bytes));
}

void PrinterSimulator::ApplySwitchCharacters(const std::uint8_t* characters) {
  for (std::size_t group = 0; group < kSwitchGroupCount; ++group) {
    const int number = kSwitchNumbers[group];
    std::uint8_t value = switches_[number];
    for (int position = 0; position < 8; ++position) {
      const std::uint8_t bitMask = static_cast<std::uint8_t>(1u << (7 - position));
      const std::uint8_t c = characters[group * 8 + position];
      // '2' (and any other character) leaves the bit as the printer has it.
      if (c == '1') value |= bitMask;
      if (c == '0') value &= static_cast<std::uint8_t>(~bitMask);
      if (number == kBuyerSetSwitch && (c == '0' || c == '1')) buyerSetWrittenThisSession_ = true;
    }
    switches_[number] = value;
  }
}

void PrinterSimulator::StartFontReception() {
  font_ = FontReception{};
  font_.receiving = true;
  fontHead_.clear();
  fontCrc_ = font_image::Crc32{};
  fontTrailer_.clear();
}

void PrinterSimulator::FeedFont(std::uint8_t byte) {
  const std::uint64_t index = font_.bytes++;
  if (index < font_image::kHeaderSize) {
    fontHead_.push_back(byte);
    if (fontHead_.size() == font_image::kHeaderSize) {
      if (auto header = font_image::ParseHeader(fontHead_.data(), fontHead_.size())) {
        font_.recognised = true;
        font_.declaredSize = header->totalSize;
        font_.characterSet = font_image::TagName(header->characterSet);
      }
    }
  }
  // A header's size is at least 20, so the first 16 bytes always belong to the checked part.
  if (font_.recognised && index >= font_.declaredSize - font_image::kChecksumSize) {
    fontTrailer_.push_back(byte);
  } else {
    fontCrc_.Update(byte);
    font_.crc32 = fontCrc_.Value();
  }
  if (font_.recognised && font_.bytes == font_.declaredSize) FinishFontReception();
}

void PrinterSimulator::FinishFontReception() {
  font_.receiving = false;
  font_.complete = font_.recognised && font_.bytes == font_.declaredSize;
  font_.checksumOk = font_.complete && LittleEndian32(fontTrailer_) == fontCrc_.Value();
}

void PrinterSimulator::CheckDrop() {
  if (linkDropped_ || !faults_.dropAfterBytes) return;
  if (counters_.bytesReceived >= *faults_.dropAfterBytes) {
    linkDropped_ = true;
    DiscardReplies();
  }
}

}  // namespace printer_simulator
