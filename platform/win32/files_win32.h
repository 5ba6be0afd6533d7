// Win32 adapter of the files seam: CreateFileA for writing and reading, MoveFileExA /
// MoveFileA and DeleteFileA. A file is closed when its owner is destroyed.
#pragma once
#include "platform/files.h"

namespace platform {

class Win32Files : public Files {
 public:
  std::unique_ptr<WritableFile> Create(const std::string& path) override;
  bool ReadUpTo(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>& bytes) override;
  bool Replace(const std::string& from, const std::string& to) override;
  bool Delete(const std::string& path) override;
};

}  // namespace platform
