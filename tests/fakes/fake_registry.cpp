#include "tests/fakes/fake_registry.h"

#include <algorithm>
#include <cctype>

#include "platform/os_codes.h"
#include "settings_utility/transports/registry_values.h"

namespace fakes {

namespace {

std::string Upper(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
  return text;
}

std::string KeyId(platform::RegistryRoot root, const std::string& path) {
  return RootName(root) + "\\" + Upper(path);
}

constexpr std::size_t kMaxKeyNameChars = 255;

bool HasOverlongPart(const std::string& path) {
  std::size_t start = 0;
  while (true) {
    const std::size_t end = path.find('\\', start);
    const std::size_t length = (end == std::string::npos ? path.size() : end) - start;
    if (length > kMaxKeyNameChars) return true;
    if (end == std::string::npos) return false;
    start = end + 1;
  }
}

class FakeKey : public platform::RegistryKey {
 public:
  FakeKey(FakeRegistry& registry, platform::RegistryRoot root, std::string path)
      : registry_(registry), root_(root), path_(std::move(path)) {}
  ~FakeKey() override { registry_.log.push_back("close " + RootName(root_) + "\\" + path_); }

  long QueryInfo(platform::RegistryKeyInfo& info) override {
    const FakeRegistry::Key* key = registry_.FindKey(root_, path_);
    if (!key) return platform::kErrorFileNotFound;
    info.valueCount = static_cast<std::uint32_t>(key->values.size());
    info.subkeyCount = static_cast<std::uint32_t>(registry_.SubkeyNames(root_, path_).size());
    return platform::kErrorSuccess;
  }

  long QueryValue(const std::string& name, std::size_t bufferBytes, platform::RegistryValue& value) override {
    registry_.log.push_back("query " + name);
    const FakeRegistry::Key* key = registry_.FindKey(root_, path_);
    if (!key) return platform::kErrorFileNotFound;
    auto it = key->values.find(Upper(name));
    if (it == key->values.end()) return platform::kErrorFileNotFound;
    if (it->second.data.size() > bufferBytes) return platform::kErrorMoreData;
    value = it->second;
    return platform::kErrorSuccess;
  }

  long SetValue(const std::string& name, const platform::RegistryValue& value) override {
    registry_.log.push_back("set " + name);
    ++registry_.setCount;
    registry_.SetRaw(root_, path_, name, value);
    return platform::kErrorSuccess;
  }

  long EnumSubkey(std::uint32_t index, std::size_t nameChars, std::string& name) override {
    registry_.log.push_back("enum " + std::to_string(index));
    if (!registry_.FindKey(root_, path_)) return platform::kErrorFileNotFound;
    const std::vector<std::string> names = registry_.SubkeyNames(root_, path_);
    if (index >= names.size()) return platform::kErrorNoMoreItems;
    if (names[index].size() > nameChars) return platform::kErrorMoreData;
    name = names[index];
    return platform::kErrorSuccess;
  }

 private:
  FakeRegistry& registry_;
  platform::RegistryRoot root_;
  std::string path_;
};

}  // namespace

std::string RootName(platform::RegistryRoot root) {
  return root == platform::RegistryRoot::CurrentUser ? "HKCU" : "HKLM";
}

long FakeRegistry::OpenKey(platform::RegistryRoot root, const std::string& path, std::uint32_t,
                           std::unique_ptr<platform::RegistryKey>& key) {
  log.push_back("open " + RootName(root) + "\\" + path);
  if (HasOverlongPart(path)) return platform::kErrorInvalidParameter;
  if (!FindKey(root, path)) return platform::kErrorFileNotFound;
  key = std::make_unique<FakeKey>(*this, root, path);
  return platform::kErrorSuccess;
}

long FakeRegistry::CreateKey(platform::RegistryRoot root, const std::string& path, std::uint32_t,
                             std::unique_ptr<platform::RegistryKey>& key) {
  log.push_back("create " + RootName(root) + "\\" + path);
  if (HasOverlongPart(path)) return platform::kErrorInvalidParameter;
  AddKey(root, path);
  key = std::make_unique<FakeKey>(*this, root, path);
  return platform::kErrorSuccess;
}

long FakeRegistry::DeleteTree(platform::RegistryRoot root, const std::string& path) {
  const std::string entry = "deletetree " + RootName(root) + "\\" + path;
  log.push_back(entry);
  if (journal) journal->push_back(entry);
  if (failDeleteTree.count(path)) return platform::kErrorAccessDenied;
  const std::string id = KeyId(root, path);
  if (keys_.erase(id) == 0) return platform::kErrorFileNotFound;
  const std::string below = id + "\\";
  for (auto it = keys_.lower_bound(below); it != keys_.end() && it->first.compare(0, below.size(), below) == 0;)
    it = keys_.erase(it);
  return platform::kErrorSuccess;
}

long FakeRegistry::DeleteKey(platform::RegistryRoot root, const std::string& path) {
  const std::string entry = "deletekey " + RootName(root) + "\\" + path;
  log.push_back(entry);
  if (journal) journal->push_back(entry);
  if (!FindKey(root, path)) return platform::kErrorFileNotFound;
  if (!SubkeyNames(root, path).empty()) return platform::kErrorAccessDenied;
  keys_.erase(KeyId(root, path));
  return platform::kErrorSuccess;
}

FakeRegistry::Key& FakeRegistry::KeyAt(platform::RegistryRoot root, const std::string& path) {
  auto lastPart = [](const std::string& p) { return p.substr(p.rfind('\\') + 1); };
  // Every key above this one exists too.
  for (std::size_t slash = path.find('\\'); slash != std::string::npos; slash = path.find('\\', slash + 1)) {
    const std::string parentPath = path.substr(0, slash);
    Key& parent = keys_[KeyId(root, parentPath)];
    if (parent.name.empty()) parent.name = lastPart(parentPath);
  }
  Key& key = keys_[KeyId(root, path)];
  if (key.name.empty()) key.name = lastPart(path);
  return key;
}

std::vector<std::string> FakeRegistry::SubkeyNames(platform::RegistryRoot root, const std::string& path) const {
  const std::string prefix = KeyId(root, path) + "\\";
  std::vector<std::string> names;  // keys_ is ordered by upper-cased id: the registry's order
  for (auto it = keys_.lower_bound(prefix); it != keys_.end() && it->first.compare(0, prefix.size(), prefix) == 0; ++it)
    if (it->first.find('\\', prefix.size()) == std::string::npos) names.push_back(it->second.name);
  return names;
}

const FakeRegistry::Key* FakeRegistry::FindKey(platform::RegistryRoot root, const std::string& path) const {
  auto it = keys_.find(KeyId(root, path));
  return it == keys_.end() ? nullptr : &it->second;
}

void FakeRegistry::AddKey(platform::RegistryRoot root, const std::string& path) { KeyAt(root, path); }

void FakeRegistry::SetRaw(platform::RegistryRoot root, const std::string& path, const std::string& name,
                          const platform::RegistryValue& value) {
  Key& key = KeyAt(root, path);
  key.values[Upper(name)] = value;
  key.valueNames[Upper(name)] = name;
}

void FakeRegistry::SetString(platform::RegistryRoot root, const std::string& path, const std::string& name,
                             const std::string& text) {
  SetRaw(root, path, name, kora::MakeStringValue(text));
}

void FakeRegistry::SetDword(platform::RegistryRoot root, const std::string& path, const std::string& name,
                            std::uint32_t value) {
  SetRaw(root, path, name, kora::MakeDwordValue(value));
}

bool FakeRegistry::HasKey(platform::RegistryRoot root, const std::string& path) const {
  return FindKey(root, path) != nullptr;
}

const platform::RegistryValue* FakeRegistry::Value(platform::RegistryRoot root, const std::string& path,
                                                   const std::string& name) const {
  const Key* key = FindKey(root, path);
  if (!key) return nullptr;
  auto it = key->values.find(Upper(name));
  return it == key->values.end() ? nullptr : &it->second;
}

bool FakeRegistry::HasValue(platform::RegistryRoot root, const std::string& path, const std::string& name) const {
  return Value(root, path, name) != nullptr;
}

std::string FakeRegistry::StringValue(platform::RegistryRoot root, const std::string& path,
                                      const std::string& name) const {
  const platform::RegistryValue* value = Value(root, path, name);
  std::string text;
  if (value) kora::StringFromValue(*value, text);
  return text;
}

std::uint32_t FakeRegistry::DwordValue(platform::RegistryRoot root, const std::string& path,
                                       const std::string& name) const {
  const platform::RegistryValue* value = Value(root, path, name);
  std::uint32_t number = 0xDEADBEEF;
  if (value) kora::DwordFromValue(*value, number);
  return number;
}

std::vector<std::string> FakeRegistry::ValueNames(platform::RegistryRoot root, const std::string& path) const {
  std::vector<std::string> names;
  if (const Key* key = FindKey(root, path))
    for (const auto& entry : key->valueNames) names.push_back(entry.second);
  return names;
}

}  // namespace fakes
