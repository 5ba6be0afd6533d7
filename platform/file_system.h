// Files and folders seam of the removal side and the installer: searching a folder, attributes,
// deleting, copying files and creating folders, and the Windows and system folders. One
// operation per platform call; a search is ended (FindClose) when its owner is destroyed.
#pragma once
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>

namespace platform {

// FindNextFileA after the last entry (ERROR_NO_MORE_FILES).
constexpr long kErrorNoMoreFiles = 18;

constexpr std::uint32_t kFileAttributeReadOnly = 0x1;
constexpr std::uint32_t kFileAttributeDirectory = 0x10;
constexpr std::uint32_t kFileAttributeReparsePoint = 0x400;

// The fields of WIN32_FIND_DATAA that the logic reads.
struct FoundFile {
  std::string name;
  std::uint32_t attributes = 0;
};

class FileSearch {
 public:
  virtual ~FileSearch() = default;  // FindClose
  // FindNextFileA: kErrorNoMoreFiles after the last entry.
  virtual long FindNext(FoundFile& found) = 0;
};

class FileSystem {
 public:
  virtual ~FileSystem() = default;
  // FindFirstFileA: the first entry and the search that goes on from it.
  virtual long FindFirst(const std::string& pattern, FoundFile& first,
                         std::unique_ptr<FileSearch>& search) = 0;
  // GetFileAttributesA / SetFileAttributesA.
  virtual long Attributes(const std::string& path, std::uint32_t& attributes) = 0;
  virtual long SetAttributes(const std::string& path, std::uint32_t attributes) = 0;
  // DeleteFileA.
  virtual long Delete(const std::string& path) = 0;
  // RemoveDirectoryA.
  virtual long RemoveFolder(const std::string& path) = 0;
  // CopyFileA: with failIfExists false an existing `to` is overwritten.
  virtual long Copy(const std::string& from, const std::string& to, bool failIfExists) = 0;
  // CreateDirectoryA without a security descriptor: kErrorAlreadyExists when it is there.
  virtual long CreateFolder(const std::string& path) = 0;
  // GetFullPathNameA: a size call, then a buffer of that size. A relative path is taken from
  // the current directory.
  virtual long FullPath(const std::string& path, std::string& fullPath) = 0;
  // GetWindowsDirectoryA / GetSystemDirectoryA into a buffer of bufferChars characters (the
  // zero included): a longer folder gives kErrorInsufficientBuffer.
  virtual long WindowsDirectory(std::size_t bufferChars, std::string& directory) = 0;
  virtual long SystemDirectory(std::size_t bufferChars, std::string& directory) = 0;
};

}  // namespace platform
