// An in-memory registry: keys by root and path (case-insensitive, as on Windows), values by
// name, with a log of the calls made and switches to make calls fail.
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace fakes {

class FakeRegistry : public platform::Registry {
 public:
  struct Key {
    std::map<std::string, platform::RegistryValue> values;  // by upper-cased name
    std::map<std::string, std::string> valueNames;          // upper-cased -> as written
    std::string name;                                       // last path part, as first written
  };

  long OpenKey(platform::RegistryRoot root, const std::string& path, std::uint32_t access,
               std::unique_ptr<platform::RegistryKey>& key) override;
  long CreateKey(platform::RegistryRoot root, const std::string& path, std::uint32_t access,
                 std::unique_ptr<platform::RegistryKey>& key) override;
  // Removes the key and every key below it; kErrorFileNotFound when the key does not exist.
  // Logged as "deletetree HKLM\path", also into `journal` when one is set.
  long DeleteTree(platform::RegistryRoot root, const std::string& path) override;
  // Removes a key without subkeys; kErrorAccessDenied while it has some (as on Windows NT),
  // kErrorFileNotFound when it does not exist. Logged as "deletekey HKLM\path".
  long DeleteKey(platform::RegistryRoot root, const std::string& path) override;

  // Test set-up and inspection. A key comes with all the keys above it, as in the registry,
  // and its subkeys enumerate in the registry's order (by name, case ignored). A path part
  // longer than 255 characters is refused, as the registry refuses it.
  void AddKey(platform::RegistryRoot root, const std::string& path);
  void SetString(platform::RegistryRoot root, const std::string& path, const std::string& name,
                 const std::string& text);
  void SetDword(platform::RegistryRoot root, const std::string& path, const std::string& name,
                std::uint32_t value);
  void SetRaw(platform::RegistryRoot root, const std::string& path, const std::string& name,
              const platform::RegistryValue& value);
  bool HasKey(platform::RegistryRoot root, const std::string& path) const;
  bool HasValue(platform::RegistryRoot root, const std::string& path, const std::string& name) const;
  const platform::RegistryValue* Value(platform::RegistryRoot root, const std::string& path,
                                       const std::string& name) const;
  std::string StringValue(platform::RegistryRoot root, const std::string& path, const std::string& name) const;
  std::uint32_t DwordValue(platform::RegistryRoot root, const std::string& path, const std::string& name) const;
  // Value names of a key, as written, in no particular order.
  std::vector<std::string> ValueNames(platform::RegistryRoot root, const std::string& path) const;

  // When set, DeleteTree also records here: tests that follow calls across several fakes
  // share one journal.
  std::vector<std::string>* journal = nullptr;
  std::set<std::string> failDeleteTree;  // paths (as given) whose deletion is refused (access denied)
  std::vector<std::string> log;  // "open HKCU\path", "query Name", "set Name", "create HKCU\path"
  int setCount = 0;

  Key& KeyAt(platform::RegistryRoot root, const std::string& path);
  const Key* FindKey(platform::RegistryRoot root, const std::string& path) const;
  // Names of the direct subkeys, as written, in enumeration order.
  std::vector<std::string> SubkeyNames(platform::RegistryRoot root, const std::string& path) const;

 private:
  std::map<std::string, Key> keys_;  // by "HKCU\UPPER\PATH"
};

std::string RootName(platform::RegistryRoot root);

}  // namespace fakes
