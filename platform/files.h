// Files seam: reading a small file whole, and writing one so that a failure half-way never
// destroys the file it replaces (write a temporary file beside it, then put it in place).
#pragma once
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace platform {

class WritableFile {
 public:
  virtual ~WritableFile() = default;  // CloseHandle
  // WriteFile of the whole block; false unless every byte was written.
  virtual bool Write(const std::vector<std::uint8_t>& bytes) = 0;
  // FlushFileBuffers.
  virtual bool Flush() = 0;
};

class Files {
 public:
  virtual ~Files() = default;
  // CreateFileA(GENERIC_WRITE, CREATE_ALWAYS); null on failure.
  virtual std::unique_ptr<WritableFile> Create(const std::string& path) = 0;
  // Opens `path` for reading and reads up to maxBytes; false when it cannot be opened or read.
  virtual bool ReadUpTo(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>& bytes) = 0;
  // Puts `from` in the place of `to`, replacing an existing `to` (MoveFileExA with
  // MOVEFILE_REPLACE_EXISTING where the system has it, else DeleteFileA + MoveFileA).
  virtual bool Replace(const std::string& from, const std::string& to) = 0;
  // DeleteFileA.
  virtual bool Delete(const std::string& path) = 0;
};

}  // namespace platform
