// Win32 files and folders adapter of the removal side.
#include "platform/win32/file_system_win32.h"

#include "platform/win32/removal_handles_win32.h"

#include <algorithm>
#include <vector>

namespace platform {
namespace {

FoundFile FromNative(const WIN32_FIND_DATAA& data) {
  FoundFile found;
  found.name = data.cFileName;
  found.attributes = data.dwFileAttributes;
  return found;
}

class Win32FileSearch : public FileSearch {
 public:
  explicit Win32FileSearch(HANDLE search) : search_(search) {}

  long FindNext(FoundFile& found) override {
    WIN32_FIND_DATAA data = {};
    if (!::FindNextFileA(search_.Get(), &data)) return win32::FailureCode();
    found = FromNative(data);
    return ERROR_SUCCESS;
  }

 private:
  win32::FindHandle search_;
};

using FolderCall = UINT(WINAPI*)(LPSTR, UINT);

// The call answers the length without the zero, or the size it needs when the buffer is too
// small.
long ReadFolder(FolderCall call, std::size_t bufferChars, std::string& directory) {
  if (bufferChars > MAXDWORD) return ERROR_INVALID_PARAMETER;
  std::vector<char> buffer(std::max<std::size_t>(bufferChars, 1), '\0');
  const UINT length = call(buffer.data(), static_cast<UINT>(bufferChars));
  if (length == 0) return win32::FailureCode();
  if (length >= bufferChars) return ERROR_INSUFFICIENT_BUFFER;
  directory.assign(buffer.data(), length);
  return ERROR_SUCCESS;
}

}  // namespace

long Win32FileSystem::FindFirst(const std::string& pattern, FoundFile& first, std::unique_ptr<FileSearch>& search) {
  WIN32_FIND_DATAA data = {};
  HANDLE handle = ::FindFirstFileA(pattern.c_str(), &data);
  if (handle == INVALID_HANDLE_VALUE) return win32::FailureCode();
  first = FromNative(data);
  search = std::make_unique<Win32FileSearch>(handle);
  return ERROR_SUCCESS;
}

long Win32FileSystem::Attributes(const std::string& path, std::uint32_t& attributes) {
  const DWORD result = ::GetFileAttributesA(path.c_str());
  if (result == INVALID_FILE_ATTRIBUTES) return win32::FailureCode();
  attributes = result;
  return ERROR_SUCCESS;
}

long Win32FileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  return ::SetFileAttributesA(path.c_str(), attributes) ? ERROR_SUCCESS : win32::FailureCode();
}

long Win32FileSystem::Delete(const std::string& path) {
  return ::DeleteFileA(path.c_str()) ? ERROR_SUCCESS : win32::FailureCode();
}

long Win32FileSystem::RemoveFolder(const std::string& path) {
  return ::RemoveDirectoryA(path.c_str()) ? ERROR_SUCCESS : win32::FailureCode();
}

long Win32FileSystem::Copy(const std::string& from, const std::string& to, bool failIfExists) {
  return ::CopyFileA(from.c_str(), to.c_str(), failIfExists ? TRUE : FALSE) ? ERROR_SUCCESS : win32::FailureCode();
}

long Win32FileSystem::CreateFolder(const std::string& path) {
  return ::CreateDirectoryA(path.c_str(), nullptr) ? ERROR_SUCCESS : win32::FailureCode();
}

long Win32FileSystem::FullPath(const std::string& path, std::string& fullPath) {
  const DWORD needed = ::GetFullPathNameA(path.c_str(), 0, nullptr, nullptr);
  if (needed == 0) return win32::FailureCode();
  std::vector<char> buffer(needed, '\0');
  const DWORD length = ::GetFullPathNameA(path.c_str(), needed, buffer.data(), nullptr);
  if (length == 0) return win32::FailureCode();
  if (length >= needed) return ERROR_INSUFFICIENT_BUFFER;  // the current directory changed meanwhile
  fullPath.assign(buffer.data(), length);
  return ERROR_SUCCESS;
}

long Win32FileSystem::WindowsDirectory(std::size_t bufferChars, std::string& directory) {
  return ReadFolder(::GetWindowsDirectoryA, bufferChars, directory);
}

long Win32FileSystem::SystemDirectory(std::size_t bufferChars, std::string& directory) {
  return ReadFolder(::GetSystemDirectoryA, bufferChars, directory);
}

}  // namespace platform
