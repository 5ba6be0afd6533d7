// A GUID as the setup API and device notifications take it, without <windows.h>.
#pragma once
#include <cstdint>

namespace platform {

struct Guid {
  std::uint32_t data1 = 0;
  std::uint16_t data2 = 0;
  std::uint16_t data3 = 0;
  std::uint8_t data4[8] = {};
};

inline bool operator==(const Guid& a, const Guid& b) {
  if (a.data1 != b.data1 || a.data2 != b.data2 || a.data3 != b.data3) return false;
  for (int i = 0; i < 8; ++i)
    if (a.data4[i] != b.data4[i]) return false;
  return true;
}
inline bool operator!=(const Guid& a, const Guid& b) { return !(a == b); }

// GUID_DEVINTERFACE_USB_DEVICE {A5DCBF10-6530-11D2-901F-00C04FB951ED}: every attached USB
// device exposes an interface of this class.
constexpr Guid kGuidDevInterfaceUsbDevice = {
    0xA5DCBF10, 0x6530, 0x11D2, {0x90, 0x1F, 0x00, 0xC0, 0x4F, 0xB9, 0x51, 0xED}};

}  // namespace platform
