// How long the utility waits for the printer before reading a reply, and how much it reads.
#pragma once
#include <cstdint>

namespace kora {

constexpr std::uint32_t kByteWiseReplyWaitMs = 30;
constexpr std::uint32_t kBlockReplyWaitMs = 200;
constexpr std::uint32_t kEthernetVersionExtraWaitMs = 500;
constexpr std::uint32_t kSwitchReplyWaitMs = 100;
constexpr std::uint32_t kShortBlockBytes = 16;
constexpr std::uint32_t kTextBlockBytes = 64;

}  // namespace kora
