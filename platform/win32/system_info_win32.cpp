// Win32 system facts adapter: the packed version word as GetVersion reports it.
#include "platform/win32/system_info_win32.h"

#include <windows.h>

namespace platform {

std::uint32_t Win32SystemInfo::GetVersionWord() { return ::GetVersion(); }

}  // namespace platform
