// Reading the printer's replies the way each group of port kinds needs: serial and parallel
// ports one byte at a time within the port's read time-out, USB and Ethernet one block at a
// time, repeated once when a block read brings nothing. Every loop that waits for a printer
// byte is bounded, so a silent or babbling printer never hangs the window.
#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "platform/clock.h"
#include "settings_utility/transports/printer_connection.h"

namespace kora {

// Upper bound on bytes taken for one text reply, and on reads of one drain; a printer that
// keeps sending past these is cut off.
constexpr std::size_t kMaxTextReplyBytes = 64;
constexpr int kMaxDrainReads = 64;

class PrinterLink {
 public:
  PrinterLink(PrinterConnection& connection, platform::Clock& clock);

  PortKind kind() const { return connection_.settings().kind; }
  bool byteWise() const { return IsByteWise(kind()); }

  std::uint32_t Send(const std::vector<std::uint8_t>& bytes);
  void Wait(std::uint32_t ms) { clock_.Sleep(ms); }

  // One single-byte read; false when nothing came.
  bool ReadByte(std::uint8_t& byte);
  // Reads up to `count` bytes into `block` (resized to count, zero-filled, then filled with
  // what came); a read that brings nothing is repeated once. Returns the bytes received.
  std::uint32_t ReadBlock(std::vector<std::uint8_t>& block, std::uint32_t count);
  // One plain read of up to `count` bytes into a zeroed buffer.
  std::uint32_t ReadInto(std::vector<std::uint8_t>& buffer, std::uint32_t count);

  // Byte-wise text reply: every byte except "_" is taken until a zero byte; also ends at the
  // first read that brings nothing, or after kMaxTextReplyBytes bytes.
  std::string ReadTextBytewise();
  // Reads single bytes until `quietReads` reads in a row bring no byte (a zero byte counts
  // as none), at most kMaxDrainReads reads.
  void DrainBytewise(int quietReads, std::uint32_t waitBeforeEachMs);

 private:
  PrinterConnection& connection_;
  platform::Clock& clock_;
};

// The zero-terminated text that starts at `offset` of `block`.
std::string TextAt(const std::vector<std::uint8_t>& block, std::size_t offset);
// The text after the first "_" among the first five bytes of `block`; empty when none is.
std::string TextAfterHeaderInFirstFive(const std::vector<std::uint8_t>& block);

}  // namespace kora
