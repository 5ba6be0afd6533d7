// The four ways of reaching the printer, and how a stored port text selects one.
#pragma once
#include <string>

namespace kora {

enum class PortKind : int { Serial = 0, Parallel = 1, Usb = 2, Ethernet = 3 };

// Case-sensitive prefix test: "COM" or "\\.\COM" -> Serial, "LPT" -> Parallel, "USB" -> Usb,
// anything else (also "FILE:" and an empty text) -> Ethernet.
PortKind PortKindFromText(const std::string& portText);

// Serial and parallel ports are read one byte at a time; USB and Ethernet in blocks.
inline bool IsByteWise(PortKind kind) { return kind == PortKind::Serial || kind == PortKind::Parallel; }

}  // namespace kora
