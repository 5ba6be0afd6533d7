// Win32 numbers that the portable logic needs to speak about without <windows.h>.
// Values are those of the Windows SDK; adapters pass them through unchanged.
#pragma once
#include <cstdint>

namespace platform {

// Error codes (GetLastError / LSTATUS).
constexpr long kErrorSuccess = 0;
constexpr long kErrorFileNotFound = 2;
constexpr long kErrorAccessDenied = 5;
constexpr long kErrorInvalidHandle = 6;
constexpr long kErrorNotEnoughMemory = 8;
constexpr long kErrorNotSupported = 50;
constexpr long kErrorInvalidParameter = 87;
constexpr long kErrorInsufficientBuffer = 122;
constexpr long kErrorAlreadyExists = 183;
constexpr long kErrorMoreData = 234;
constexpr long kErrorNoMoreItems = 259;

// CreateFileA arguments.
constexpr std::uint32_t kGenericRead = 0x80000000u;
constexpr std::uint32_t kGenericWrite = 0x40000000u;
constexpr std::uint32_t kFileShareRead = 0x1;
constexpr std::uint32_t kFileShareWrite = 0x2;
constexpr std::uint32_t kOpenExisting = 3;
constexpr std::uint32_t kFileAttributeNormal = 0x80;

// Message box icons (MB_ICON*); every box of the kit has an OK button unless told otherwise.
enum class MessageIcon : std::uint32_t {
  None = 0,
  Stop = 0x10,
  Question = 0x20,
  Exclamation = 0x30,
  Information = 0x40,
};

// Message box answers (IDOK ...).
constexpr int kIdOk = 1;
constexpr int kIdCancel = 2;
constexpr int kIdYes = 6;
constexpr int kIdNo = 7;

}  // namespace platform

namespace platform {

// Notification codes of WM_COMMAND that the windows react to.
constexpr int kBnClicked = 0;      // BN_CLICKED
constexpr int kCbnSelChange = 1;   // CBN_SELCHANGE

}  // namespace platform
