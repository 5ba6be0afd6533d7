// Win32 adapter of the device file seam: CreateFileA, and the synchronous I/O and
// communication calls on the handle it returns, which is closed with its DeviceFile.
#pragma once
#include "platform/device_file.h"

namespace platform {

class Win32DeviceFiles : public DeviceFiles {
 public:
  std::unique_ptr<DeviceFile> Open(const std::string& path, std::uint32_t access,
                                   std::uint32_t shareMode, std::uint32_t creation,
                                   std::uint32_t flags) override;
};

}  // namespace platform
