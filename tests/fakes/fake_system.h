// The version word a test wants the system to report, and I/O ports that answer from a
// table and record which ports were read.
#pragma once
#include <cstdint>
#include <map>
#include <vector>

#include "platform/port_io.h"
#include "platform/system_info.h"

namespace fakes {

// GetVersion words of real systems.
constexpr std::uint32_t kVersionWindows98 = 0xC0000A04;   // 4.10, build 1998
constexpr std::uint32_t kVersionWindowsXp = 0x0A280105;   // 5.1, build 2600

class FakeSystemInfo : public platform::SystemInfo {
 public:
  std::uint32_t GetVersionWord() override {
    ++queries;
    return versionWord;
  }
  std::uint32_t versionWord = kVersionWindowsXp;
  int queries = 0;
};

class FakePortIo : public platform::PortIo {
 public:
  std::uint8_t ReadPortByte(std::uint16_t port) override {
    reads.push_back(port);
    auto it = values.find(port);
    return it == values.end() ? 0xFF : it->second;  // a floating bus reads as all ones
  }
  std::map<std::uint16_t, std::uint8_t> values;
  std::vector<std::uint16_t> reads;
};

}  // namespace fakes
