// Files and folders in memory, with attributes, for the removal side: folders must be empty
// and writable to be removed, read-only files cannot be deleted, and a folder link (junction)
// shows another folder's contents below its own path. Paths compare case-insensitively; a
// trailing "\" is ignored. Logs the calls.
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/file_system.h"

namespace fakes {

class FakeFileSystem : public platform::FileSystem {
 public:
  long FindFirst(const std::string& pattern, platform::FoundFile& first,
                 std::unique_ptr<platform::FileSearch>& search) override;
  long Attributes(const std::string& path, std::uint32_t& attributes) override;
  long SetAttributes(const std::string& path, std::uint32_t attributes) override;
  long Delete(const std::string& path) override;
  long RemoveFolder(const std::string& path) override;
  // A file to a folder that exists; the copy takes the source's content and attributes.
  long Copy(const std::string& from, const std::string& to, bool failIfExists) override;
  // In a folder that exists.
  long CreateFolder(const std::string& path) override;
  // A path without a drive or a leading "\" is taken from `currentDirectory`.
  long FullPath(const std::string& path, std::string& fullPath) override;
  long WindowsDirectory(std::size_t bufferChars, std::string& directory) override;
  long SystemDirectory(std::size_t bufferChars, std::string& directory) override;

  // Set-up: parent folders are made as needed.
  void AddFile(const std::string& path, std::uint32_t attributes = 0);
  void AddFolder(const std::string& path, std::uint32_t attributes = platform::kFileAttributeDirectory);
  void AddJunction(const std::string& path, const std::string& target);
  // A file with a content of its own, which copies take along.
  void AddFileWithContent(const std::string& path, const std::string& content);
  // The content of a file; "<none>" when there is no such file.
  std::string ContentOf(const std::string& path) const;
  bool Exists(const std::string& path) const;
  // Every path below `folder` (or everything), as written, sorted.
  std::vector<std::string> PathsBelow(const std::string& folder = "") const;

  std::string windowsDirectory = "C:\\WINDOWS";
  std::string currentDirectory = "C:\\KIT";
  std::string systemDirectory = "C:\\WINDOWS\\system32";
  long windowsDirectoryError = 0;
  long systemDirectoryError = 0;

  // "find PATTERN", "attributes P", "set attributes P 0x1", "delete P", "rmdir P",
  // "copy FROM -> TO", "copy FROM -> TO keep" (failIfExists), "mkdir P", "full path P",
  // "windows directory", "system directory"; also into `journal` when one is set.
  std::vector<std::string> log;
  std::vector<std::string>* journal = nullptr;
  int openSearches = 0;

  void Record(const std::string& entry);

  struct Entry {
    std::string path;  // as written
    std::uint32_t attributes = 0;
    std::string target;  // a junction's folder
    std::string content;  // what a file holds, as far as a test cares
  };
  // By upper-cased path without a trailing "\".
  std::map<std::string, Entry> entries;
  // The path a call reaches: below a junction, the junction's target.
  std::string Resolve(const std::string& path) const;
};

}  // namespace fakes
