#include "settings_utility/printer_protocol/printer_link.h"

#include "settings_utility/printer_protocol/printer_commands.h"

namespace kora {

PrinterLink::PrinterLink(PrinterConnection& connection, platform::Clock& clock)
    : connection_(connection), clock_(clock) {}

std::uint32_t PrinterLink::Send(const std::vector<std::uint8_t>& bytes) {
  return connection_.SendCommand(bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

bool PrinterLink::ReadByte(std::uint8_t& byte) {
  std::uint8_t received = 0;
  if (connection_.ReadReply(&received, 1) == 0) return false;
  byte = received;
  return true;
}

std::uint32_t PrinterLink::ReadInto(std::vector<std::uint8_t>& buffer, std::uint32_t count) {
  buffer.assign(count, 0);
  return connection_.ReadReply(buffer.data(), count);
}

std::uint32_t PrinterLink::ReadBlock(std::vector<std::uint8_t>& block, std::uint32_t count) {
  std::uint32_t received = ReadInto(block, count);
  if (received == 0) received = ReadInto(block, count);
  return received;
}

std::string PrinterLink::ReadTextBytewise() {
  std::string text;
  for (std::size_t taken = 0; taken < kMaxTextReplyBytes; ++taken) {
    std::uint8_t byte = 0;
    if (!ReadByte(byte) || byte == 0) break;
    if (byte != commands::kTextReplyHeader) text.push_back(static_cast<char>(byte));
  }
  return text;
}

void PrinterLink::DrainBytewise(int quietReads, std::uint32_t waitBeforeEachMs) {
  int quiet = 0;
  for (int reads = 0; reads < kMaxDrainReads && quiet < quietReads; ++reads) {
    if (waitBeforeEachMs != 0) clock_.Sleep(waitBeforeEachMs);
    std::uint8_t byte = 0;
    if (ReadByte(byte) && byte != 0)
      quiet = 0;
    else
      ++quiet;
  }
}

std::string TextAt(const std::vector<std::uint8_t>& block, std::size_t offset) {
  std::string text;
  for (std::size_t i = offset; i < block.size() && block[i] != 0; ++i) text.push_back(static_cast<char>(block[i]));
  return text;
}

std::string TextAfterHeaderInFirstFive(const std::vector<std::uint8_t>& block) {
  for (std::size_t i = 0; i < 5 && i < block.size(); ++i)
    if (block[i] == commands::kTextReplyHeader) return TextAt(block, i + 1);
  return std::string();
}

}  // namespace kora
