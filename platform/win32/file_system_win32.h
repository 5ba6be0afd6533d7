// Win32 adapter of the removal side's files and folders seam: FindFirstFileA / FindNextFileA,
// Get/SetFileAttributesA, DeleteFileA, RemoveDirectoryA, CopyFileA, CreateDirectoryA,
// GetFullPathNameA, GetWindowsDirectoryA and GetSystemDirectoryA.
#pragma once
#include "platform/file_system.h"

namespace platform {

class Win32FileSystem : public FileSystem {
 public:
  long FindFirst(const std::string& pattern, FoundFile& first, std::unique_ptr<FileSearch>& search) override;
  long Attributes(const std::string& path, std::uint32_t& attributes) override;
  long SetAttributes(const std::string& path, std::uint32_t attributes) override;
  long Delete(const std::string& path) override;
  long RemoveFolder(const std::string& path) override;
  long Copy(const std::string& from, const std::string& to, bool failIfExists) override;
  long CreateFolder(const std::string& path) override;
  long FullPath(const std::string& path, std::string& fullPath) override;
  long WindowsDirectory(std::size_t bufferChars, std::string& directory) override;
  long SystemDirectory(std::size_t bufferChars, std::string& directory) override;
};

}  // namespace platform
