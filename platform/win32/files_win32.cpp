// Win32 files adapter.
#include "platform/win32/files_win32.h"

#include <limits>
#include <utility>

#include "platform/win32/handle_owner_win32.h"

namespace platform {
namespace {

class Win32WritableFile : public WritableFile {
 public:
  explicit Win32WritableFile(HANDLE file) : file_(file) {}

  bool Write(const std::vector<std::uint8_t>& bytes) override {
    if (bytes.size() > std::numeric_limits<DWORD>::max()) return false;
    DWORD written = 0;
    if (!::WriteFile(file_.Get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
      return false;
    }
    return written == bytes.size();
  }

  bool Flush() override { return ::FlushFileBuffers(file_.Get()) != FALSE; }

 private:
  win32::KernelHandle file_;
};

}  // namespace

std::unique_ptr<WritableFile> Win32Files::Create(const std::string& path) {
  HANDLE file = ::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32WritableFile>(file);
}

bool Win32Files::ReadUpTo(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>& bytes) {
  if (maxBytes > std::numeric_limits<DWORD>::max()) return false;
  win32::KernelHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return false;
  std::vector<std::uint8_t> buffer(maxBytes);
  DWORD read = 0;
  if (!::ReadFile(file.Get(), buffer.data(), static_cast<DWORD>(maxBytes), &read, nullptr)) return false;
  buffer.resize(read);
  bytes = std::move(buffer);
  return true;
}

bool Win32Files::Replace(const std::string& from, const std::string& to) {
  if (::MoveFileExA(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  // The Windows 9x family exports MoveFileExA but does not implement it.
  if (::GetLastError() != ERROR_CALL_NOT_IMPLEMENTED) return false;
  ::DeleteFileA(to.c_str());  // may not exist yet; MoveFileA then reports the real failure
  return ::MoveFileA(from.c_str(), to.c_str()) != FALSE;
}

bool Win32Files::Delete(const std::string& path) { return ::DeleteFileA(path.c_str()) != FALSE; }

}  // namespace platform
