// An in-memory registry security layer: keys of this computer and of reachable remote
// computers, each with an access list kept as readable entries ("grant Everyone 0xf003f
// inherit 0x2"). Merging appends the new entry. Logs the calls, counts the keys and access
// lists that are still held, and has switches to make each call fail.
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

#include "platform/security.h"

namespace fakes {

class FakeRegistrySecurity : public platform::RegistrySecurity {
 public:
  std::unique_ptr<platform::SecurableKey> Root(platform::PredefinedKey root) override;
  long ConnectRegistry(const std::string& computer, platform::PredefinedKey root,
                       std::unique_ptr<platform::SecurableKey>& key) override;
  long MergeEntries(const platform::ExplicitAccess& entry, const platform::AccessList& old,
                    std::unique_ptr<platform::AccessList>& merged) override;

  // `computer` is "" for this computer or "\\NAME"; a root key always exists.
  void AddKey(const std::string& computer, platform::PredefinedKey root, const std::string& path);
  bool HasKey(const std::string& computer, platform::PredefinedKey root, const std::string& path) const;
  // The access list of a key (empty when it has none or does not exist).
  std::vector<std::string> Dacl(const std::string& computer, platform::PredefinedKey root,
                                const std::string& path) const;
  static std::string Describe(const platform::ExplicitAccess& entry);
  void Record(const std::string& entry);

  std::set<std::string> reachableComputers;  // "\\NAME", case ignored
  long getDaclError = 0;
  long mergeError = 0;
  long setDaclError = 0;

  // "root HKLM", "connect \\PC HKLM", "open HKLM\path 0x60008", "get dacl ID", "merge ENTRY",
  // "set dacl ID", "close ID" where ID is "[\\PC\]HKLM[\path]".
  std::vector<std::string> log;
  std::vector<std::string>* journal = nullptr;  // also receives every entry when set
  int liveKeys = 0;
  int liveAccessLists = 0;

  // Internal: the keys by upper-cased id, with their access lists.
  std::map<std::string, std::vector<std::string>> keys;
  static std::string KeyId(const std::string& computer, platform::PredefinedKey root, const std::string& path);
};

std::string PredefinedKeyName(platform::PredefinedKey root);

}  // namespace fakes
