// The in-memory registry security layer: keys, access lists, remote computers.
#include "tests/fakes/fake_registry_security.h"

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "platform/os_codes.h"

namespace fakes {

namespace {

constexpr long kErrorBadNetPath = 53;

std::string Hex(std::uint32_t value) {
  char text[16];
  std::snprintf(text, sizeof(text), "0x%x", value);
  return text;
}

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

class FakeAccessList : public platform::AccessList {
 public:
  FakeAccessList(FakeRegistrySecurity& security, std::vector<std::string> list)
      : entries(std::move(list)), security_(security) {
    ++security_.liveAccessLists;
  }
  ~FakeAccessList() override { --security_.liveAccessLists; }

  std::vector<std::string> entries;

 private:
  FakeRegistrySecurity& security_;
};

class FakeSecurableKey : public platform::SecurableKey {
 public:
  FakeSecurableKey(FakeRegistrySecurity& security, std::string computer, platform::PredefinedKey root,
                   std::string path)
      : security_(security), computer_(std::move(computer)), root_(root), path_(std::move(path)) {
    ++security_.liveKeys;
  }
  ~FakeSecurableKey() override {
    --security_.liveKeys;
    security_.Record("close " + Name());
  }

  long OpenSubkey(const std::string& path, std::uint32_t access, std::unique_ptr<platform::SecurableKey>& key) override {
    const std::string full = path_.empty() ? path : path_ + "\\" + path;
    security_.Record("open " + Name(full) + " " + Hex(access));
    if (!security_.HasKey(computer_, root_, full)) return platform::kErrorFileNotFound;
    key = std::make_unique<FakeSecurableKey>(security_, computer_, root_, full);
    return platform::kErrorSuccess;
  }

  long GetDacl(std::unique_ptr<platform::AccessList>& dacl) override {
    security_.Record("get dacl " + Name());
    if (security_.getDaclError != 0) return security_.getDaclError;
    dacl = std::make_unique<FakeAccessList>(security_, security_.Dacl(computer_, root_, path_));
    return platform::kErrorSuccess;
  }

  long SetDacl(const platform::AccessList& dacl) override {
    security_.Record("set dacl " + Name());
    if (security_.setDaclError != 0) return security_.setDaclError;
    security_.keys[FakeRegistrySecurity::KeyId(computer_, root_, path_)] =
        static_cast<const FakeAccessList&>(dacl).entries;
    return platform::kErrorSuccess;
  }

 private:
  std::string Name(const std::string& path) const {
    std::string name = computer_.empty() ? std::string() : computer_ + "\\";
    name += PredefinedKeyName(root_);
    if (!path.empty()) name += "\\" + path;
    return name;
  }
  std::string Name() const { return Name(path_); }

  FakeRegistrySecurity& security_;
  std::string computer_;
  platform::PredefinedKey root_;
  std::string path_;
};

}  // namespace

std::string PredefinedKeyName(platform::PredefinedKey root) {
  switch (root) {
    case platform::PredefinedKey::LocalMachine: return "HKLM";
    case platform::PredefinedKey::Users: return "HKU";
    case platform::PredefinedKey::ClassesRoot: return "HKCR";
    case platform::PredefinedKey::CurrentUser: return "HKCU";
  }
  return "?";
}

std::string FakeRegistrySecurity::KeyId(const std::string& computer, platform::PredefinedKey root,
                                        const std::string& path) {
  return Upper(computer) + "|" + PredefinedKeyName(root) + "\\" + Upper(path);
}

std::string FakeRegistrySecurity::Describe(const platform::ExplicitAccess& entry) {
  static const char* const kModes[] = {"not-used", "grant", "set", "deny", "revoke"};
  const auto mode = static_cast<std::uint32_t>(entry.mode);
  return std::string(mode < 5 ? kModes[mode] : "?") + " " + entry.trusteeName + " " + Hex(entry.permissions) +
         " inherit " + Hex(entry.inheritance);
}

void FakeRegistrySecurity::Record(const std::string& entry) {
  log.push_back(entry);
  if (journal) journal->push_back(entry);
}

void FakeRegistrySecurity::AddKey(const std::string& computer, platform::PredefinedKey root, const std::string& path) {
  keys[KeyId(computer, root, path)];
}

bool FakeRegistrySecurity::HasKey(const std::string& computer, platform::PredefinedKey root,
                                  const std::string& path) const {
  return path.empty() || keys.count(KeyId(computer, root, path)) > 0;
}

std::vector<std::string> FakeRegistrySecurity::Dacl(const std::string& computer, platform::PredefinedKey root,
                                                    const std::string& path) const {
  auto it = keys.find(KeyId(computer, root, path));
  return it == keys.end() ? std::vector<std::string>() : it->second;
}

std::unique_ptr<platform::SecurableKey> FakeRegistrySecurity::Root(platform::PredefinedKey root) {
  Record("root " + PredefinedKeyName(root));
  return std::make_unique<FakeSecurableKey>(*this, "", root, "");
}

long FakeRegistrySecurity::ConnectRegistry(const std::string& computer, platform::PredefinedKey root,
                                           std::unique_ptr<platform::SecurableKey>& key) {
  Record("connect " + computer + " " + PredefinedKeyName(root));
  bool reachable = false;
  for (const std::string& name : reachableComputers) reachable = reachable || Upper(name) == Upper(computer);
  if (!reachable) return kErrorBadNetPath;
  key = std::make_unique<FakeSecurableKey>(*this, computer, root, "");
  return platform::kErrorSuccess;
}

long FakeRegistrySecurity::MergeEntries(const platform::ExplicitAccess& entry, const platform::AccessList& old,
                                        std::unique_ptr<platform::AccessList>& merged) {
  Record("merge " + Describe(entry));
  if (mergeError != 0) return mergeError;
  std::vector<std::string> entries = static_cast<const FakeAccessList&>(old).entries;
  entries.push_back(Describe(entry));
  merged = std::make_unique<FakeAccessList>(*this, std::move(entries));
  return platform::kErrorSuccess;
}

}  // namespace fakes
