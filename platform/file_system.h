// Files and folders seam of the removal side: searching a folder, attributes, deleting files
// and folders, and the Windows and system folders. One operation per platform call; a search
// is ended (FindClose) when its owner is destroyed.
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
  // GetWindowsDirectoryA / GetSystemDirectoryA into a buffer of bufferChars characters (the
  // zero included): a longer folder gives kErrorInsufficientBuffer.
  virtual long WindowsDirectory(std::size_t bufferChars, std::string& directory) = 0;
  virtual long SystemDirectory(std::size_t bufferChars, std::string& directory) = 0;
};

}  // namespace platform
