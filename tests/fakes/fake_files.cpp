#include "tests/fakes/fake_files.h"

#include <algorithm>

namespace fakes {

namespace {

class FakeWritableFile : public platform::WritableFile {
 public:
  FakeWritableFile(FakeFiles& files, std::string path) : files_(files), path_(std::move(path)) {}
  bool Write(const std::vector<std::uint8_t>& bytes) override {
    files_.log.push_back("write " + path_ + " " + std::to_string(bytes.size()));
    auto& content = files_.contents[path_];
    const std::size_t n = std::min(bytes.size(), files_.failWriteAfter);
    content.insert(content.end(), bytes.begin(), bytes.begin() + static_cast<long>(n));
    return n == bytes.size();
  }
  bool Flush() override { return true; }

 private:
  FakeFiles& files_;
  std::string path_;
};

}  // namespace

std::unique_ptr<platform::WritableFile> FakeFiles::Create(const std::string& path) {
  log.push_back("create " + path);
  if (failCreate.count(path)) return nullptr;
  contents[path].clear();
  return std::make_unique<FakeWritableFile>(*this, path);
}

bool FakeFiles::ReadUpTo(const std::string& path, std::size_t maxBytes, std::vector<std::uint8_t>& bytes) {
  log.push_back("read " + path);
  auto it = contents.find(path);
  if (it == contents.end() || unreadable.count(path)) return false;
  bytes.assign(it->second.begin(), it->second.begin() + static_cast<long>(std::min(maxBytes, it->second.size())));
  return true;
}

bool FakeFiles::Replace(const std::string& from, const std::string& to) {
  log.push_back("replace " + from + " " + to);
  auto it = contents.find(from);
  if (failReplace || it == contents.end()) return false;
  contents[to] = it->second;
  contents.erase(from);
  return true;
}

bool FakeFiles::Delete(const std::string& path) {
  log.push_back("delete " + path);
  return contents.erase(path) > 0;
}

}  // namespace fakes
