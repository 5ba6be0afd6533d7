// Files in memory, by path, with switches to make creating, writing or replacing fail.
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/files.h"

namespace fakes {

class FakeFiles : public platform::Files {
 public:
  std::unique_ptr<platform::WritableFile> Create(const std::string& path) override;
  bool ReadUpTo(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>& bytes) override;
  bool Replace(const std::string& from, const std::string& to) override;
  bool Delete(const std::string& path) override;

  std::map<std::string, std::vector<std::uint8_t>> contents;
  std::set<std::string> failCreate;
  std::size_t failWriteAfter = static_cast<std::size_t>(-1);  // a write stops after this many bytes
  bool failReplace = false;
  std::set<std::string> unreadable;
  std::vector<std::string> log;  // "create P", "write P N", "replace A B", "delete P", "read P"
};

}  // namespace fakes
