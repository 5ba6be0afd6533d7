// The in-memory files and folders of the removal side tests.
#include "tests/fakes/fake_file_system.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "platform/os_codes.h"

namespace fakes {

namespace {

constexpr long kErrorPathNotFound = 3;
constexpr long kErrorDirectory = 267;
constexpr long kErrorDirNotEmpty = 145;

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%x", value);
  return text;
}

std::string Trimmed(const std::string& path) {
  return !path.empty() && path.back() == '\\' ? path.substr(0, path.size() - 1) : path;
}

std::string Key(const std::string& path) {
  std::string key = Trimmed(path);
  std::transform(key.begin(), key.end(), key.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return key;
}

std::string Parent(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

bool IsFolder(const FakeFileSystem::Entry& entry) {
  return (entry.attributes & platform::kFileAttributeDirectory) != 0;
}

class FakeSearch : public platform::FileSearch {
 public:
  FakeSearch(FakeFileSystem& files, std::vector<platform::FoundFile> found) : files_(files), found_(std::move(found)) {
    ++files_.openSearches;
  }
  ~FakeSearch() override { --files_.openSearches; }

  long FindNext(platform::FoundFile& found) override {
    if (next_ >= found_.size()) return platform::kErrorNoMoreFiles;
    found = found_[next_++];
    return platform::kErrorSuccess;
  }

 private:
  FakeFileSystem& files_;
  std::vector<platform::FoundFile> found_;
  std::size_t next_ = 1;  // the first was handed out by FindFirst
};

}  // namespace

void FakeFileSystem::Record(const std::string& entry) {
  log.push_back(entry);
  if (journal) journal->push_back(entry);
}

std::string FakeFileSystem::Resolve(const std::string& path) const {
  std::string resolved = Trimmed(path);
  // Below a junction (never the junction itself) the target's contents are reached.
  for (std::string above = Parent(resolved); !above.empty(); above = Parent(above)) {
    auto it = entries.find(Key(above));
    if (it != entries.end() && !it->second.target.empty()) {
      return Resolve(it->second.target + resolved.substr(above.size()));
    }
  }
  return resolved;
}

void FakeFileSystem::AddFolder(const std::string& path, std::uint32_t attributes) {
  const std::string parent = Parent(Trimmed(path));
  if (!parent.empty() && parent.size() > 2 && !entries.count(Key(parent))) AddFolder(parent);
  entries[Key(path)] = Entry{Trimmed(path), attributes | platform::kFileAttributeDirectory, "", ""};
}

void FakeFileSystem::AddFile(const std::string& path, std::uint32_t attributes) {
  const std::string parent = Parent(Trimmed(path));
  if (!parent.empty() && parent.size() > 2 && !entries.count(Key(parent))) AddFolder(parent);
  entries[Key(path)] = Entry{Trimmed(path), attributes & ~platform::kFileAttributeDirectory, "", ""};
}

void FakeFileSystem::AddJunction(const std::string& path, const std::string& target) {
  AddFolder(path, platform::kFileAttributeDirectory | platform::kFileAttributeReparsePoint);
  entries[Key(path)].target = Trimmed(target);
}

bool FakeFileSystem::Exists(const std::string& path) const { return entries.count(Key(Resolve(path))) > 0; }

std::vector<std::string> FakeFileSystem::PathsBelow(const std::string& folder) const {
  const std::string prefix = folder.empty() ? std::string() : Key(folder) + "\\";
  std::vector<std::string> paths;
  for (const auto& entry : entries)
    if (entry.first.compare(0, prefix.size(), prefix) == 0) paths.push_back(entry.second.path);
  return paths;
}

long FakeFileSystem::FindFirst(const std::string& pattern, platform::FoundFile& first,
                               std::unique_ptr<platform::FileSearch>& search) {
  Record("find " + pattern);
  const std::string suffix = "\\*.*";
  if (pattern.size() < suffix.size() || pattern.compare(pattern.size() - suffix.size(), suffix.size(), suffix) != 0) {
    return platform::kErrorInvalidParameter;  // the only pattern this fake answers
  }
  const std::string folder = Resolve(pattern.substr(0, pattern.size() - suffix.size()));
  auto it = entries.find(Key(folder));
  if (it == entries.end() || !IsFolder(it->second)) return kErrorPathNotFound;
  std::vector<platform::FoundFile> found = {{".", platform::kFileAttributeDirectory},
                                            {"..", platform::kFileAttributeDirectory}};
  const std::string prefix = Key(folder) + "\\";
  for (const auto& entry : entries) {
    if (entry.first.compare(0, prefix.size(), prefix) != 0) continue;
    if (entry.first.find('\\', prefix.size()) != std::string::npos) continue;
    found.push_back({entry.second.path.substr(entry.second.path.rfind('\\') + 1), entry.second.attributes});
  }
  first = found.front();
  search = std::make_unique<FakeSearch>(*this, std::move(found));
  return platform::kErrorSuccess;
}

long FakeFileSystem::Attributes(const std::string& path, std::uint32_t& attributes) {
  Record("attributes " + path);
  auto it = entries.find(Key(Resolve(path)));
  if (it == entries.end()) return platform::kErrorFileNotFound;
  attributes = it->second.attributes;
  return platform::kErrorSuccess;
}

long FakeFileSystem::SetAttributes(const std::string& path, std::uint32_t attributes) {
  Record("set attributes " + path + " " + Hex(attributes));
  auto it = entries.find(Key(Resolve(path)));
  if (it == entries.end()) return platform::kErrorFileNotFound;
  // The kind of entry and its link are not attributes a caller can change.
  const std::uint32_t fixed = platform::kFileAttributeDirectory | platform::kFileAttributeReparsePoint;
  it->second.attributes = (it->second.attributes & fixed) | (attributes & ~fixed);
  return platform::kErrorSuccess;
}

long FakeFileSystem::Delete(const std::string& path) {
  Record("delete " + path);
  auto it = entries.find(Key(Resolve(path)));
  if (it == entries.end()) return platform::kErrorFileNotFound;
  if (IsFolder(it->second) || (it->second.attributes & platform::kFileAttributeReadOnly) != 0) {
    return platform::kErrorAccessDenied;
  }
  entries.erase(it);
  return platform::kErrorSuccess;
}

long FakeFileSystem::RemoveFolder(const std::string& path) {
  Record("rmdir " + path);
  const std::string key = Key(Resolve(path));
  auto it = entries.find(key);
  if (it == entries.end()) return platform::kErrorFileNotFound;
  if (!IsFolder(it->second)) return kErrorDirectory;
  if ((it->second.attributes & platform::kFileAttributeReadOnly) != 0) return platform::kErrorAccessDenied;
  // A junction goes as a link, whatever its target holds.
  if (it->second.target.empty()) {
    auto below = entries.lower_bound(key + "\\");
    if (below != entries.end() && below->first.compare(0, key.size() + 1, key + "\\") == 0) return kErrorDirNotEmpty;
  }
  entries.erase(it);
  return platform::kErrorSuccess;
}

namespace {

constexpr long kErrorFileExists = 80;

// The root of a drive or of the relative paths, which always exists.
bool IsRoot(const std::string& path) { return path.size() <= 2; }

}  // namespace

void FakeFileSystem::AddFileWithContent(const std::string& path, const std::string& content) {
  AddFile(path);
  entries[Key(path)].content = content;
}

std::string FakeFileSystem::ContentOf(const std::string& path) const {
  auto it = entries.find(Key(Resolve(path)));
  return it == entries.end() || IsFolder(it->second) ? "<none>" : it->second.content;
}

long FakeFileSystem::Copy(const std::string& from, const std::string& to, bool failIfExists) {
  Record("copy " + from + " -> " + to + (failIfExists ? " keep" : ""));
  auto source = entries.find(Key(Resolve(from)));
  if (source == entries.end()) return platform::kErrorFileNotFound;
  if (IsFolder(source->second)) return platform::kErrorAccessDenied;
  const std::string target = Resolve(to);
  const std::string parent = Parent(target);
  if (!IsRoot(parent)) {
    auto folder = entries.find(Key(parent));
    if (folder == entries.end() || !IsFolder(folder->second)) return kErrorPathNotFound;
  }
  auto existing = entries.find(Key(target));
  if (existing != entries.end()) {
    if (failIfExists) return kErrorFileExists;
    if (IsFolder(existing->second) || (existing->second.attributes & platform::kFileAttributeReadOnly) != 0) {
      return platform::kErrorAccessDenied;
    }
  }
  Entry copy = source->second;
  copy.path = target;
  entries[Key(target)] = copy;
  return platform::kErrorSuccess;
}

long FakeFileSystem::CreateFolder(const std::string& path) {
  Record("mkdir " + path);
  const std::string target = Resolve(path);
  if (entries.count(Key(target))) return platform::kErrorAlreadyExists;
  const std::string parent = Parent(target);
  if (!IsRoot(parent)) {
    auto folder = entries.find(Key(parent));
    if (folder == entries.end() || !IsFolder(folder->second)) return kErrorPathNotFound;
  }
  entries[Key(target)] = Entry{target, platform::kFileAttributeDirectory, "", ""};
  return platform::kErrorSuccess;
}

long FakeFileSystem::FullPath(const std::string& path, std::string& fullPath) {
  Record("full path " + path);
  const bool absolute = (!path.empty() && path[0] == '\\') || path.find(':') != std::string::npos;
  fullPath = absolute ? path : currentDirectory + "\\" + path;
  return platform::kErrorSuccess;
}

namespace {

long ReadFolder(long error, const std::string& folder, std::size_t bufferChars, std::string& directory) {
  if (error != 0) return error;
  if (folder.size() + 1 > bufferChars) return platform::kErrorInsufficientBuffer;
  directory = folder;
  return platform::kErrorSuccess;
}

}  // namespace

long FakeFileSystem::WindowsDirectory(std::size_t bufferChars, std::string& directory) {
  Record("windows directory");
  return ReadFolder(windowsDirectoryError, windowsDirectory, bufferChars, directory);
}

long FakeFileSystem::SystemDirectory(std::size_t bufferChars, std::string& directory) {
  Record("system directory");
  return ReadFolder(systemDirectoryError, systemDirectory, bufferChars, directory);
}

}  // namespace fakes
