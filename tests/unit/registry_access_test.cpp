// The registry access grant: the option language (modes, trustee, rights, case), the key path
// forms (computer, roots, leading "\", root alone), the error codes, that every key and
// access list is released, and that the key is deleted whether or not the grant worked.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/os_codes.h"
#include "tests/fakes/fake_registry.h"
#include "tests/fakes/fake_registry_security.h"
#include "uninstaller/registry_access/registry_access.h"

namespace {

using platform::PredefinedKey;
using Strings = std::vector<std::string>;

constexpr auto kHklm = PredefinedKey::LocalMachine;
constexpr long kOk = platform::kErrorSuccess;
constexpr long kInvalid = platform::kErrorInvalidParameter;
constexpr long kBadNetPath = 53;

const std::string kSubkey = "SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\KELVO_HRX-410";
const std::string kComputer = "\\\\FRONTDESK";
const std::string kRemotePath = kComputer + "\\HKLM\\" + kSubkey;
const std::string kExistingEntry = "grant Administrators 0xf003f inherit 0x2";

// This computer's and FRONTDESK's device key, each with one entry in its access list.
struct SecurityRig {
  SecurityRig() {
    security.reachableComputers = {kComputer};
    for (const std::string& computer : {std::string(), kComputer}) {
      security.AddKey(computer, kHklm, kSubkey);
      security.keys[fakes::FakeRegistrySecurity::KeyId(computer, kHklm, kSubkey)] = {kExistingEntry};
    }
  }
  Strings RemoteDacl() const { return security.Dacl(kComputer, kHklm, kSubkey); }
  fakes::FakeRegistrySecurity security;
};

TEST(ApplyKeyPermission, OptionLanguage) {
  struct Row {
    const char* option;
    long result;
    const char* entry;  // what is merged into the access list; null: the key is not touched
  } rows[] = {
      {"/PG:Everyone:Fc", kOk, "grant Everyone 0xf003f inherit 0x2"},
      {"/pg:Everyone:fC", kOk, "grant Everyone 0xf003f inherit 0x2"},  // mode and rights ignore case
      {"xPG:Everyone:Fc", kOk, "grant Everyone 0xf003f inherit 0x2"},  // the first character is not read
      {"/PS:Users:Rd", kOk, "set Users 0x20019 inherit 0x2"},
      {"/Pd:Guests:Wr", kOk, "deny Guests 0x20026 inherit 0x2"},
      {"/PG:Everyone:FcRd", kOk, "grant Everyone 0xf003f inherit 0x2"},
      {"/PG:Everyone:RdWr", kOk, "grant Everyone 0x2003f inherit 0x2"},
      {"/PG:Everyone:FcXy", kOk, "grant Everyone 0xf003f inherit 0x2"},  // the unknown pair is dropped
      {"/PG:Everyone:FcR", kOk, "grant Everyone 0x0 inherit 0x2"},       // odd length: mask 0, still applied
      {"/PR:Everyone", kOk, "revoke Everyone 0x0 inherit 0x2"},           // revoke needs a trustee only
      {"/PR:Everyone:Fc", kOk, "revoke Everyone 0x0 inherit 0x2"},        // and reads no rights
      {"/XG:Everyone:Fc", kOk, "not-used Everyone 0x0 inherit 0x2"},      // no "P": nothing to apply
      {"/PX:Everyone:Fc", kInvalid, nullptr},                            // unknown mode letter
      {"/P:Everyone:Fc", kInvalid, nullptr},                             // no mode letter
      {"/PG:Everyone", kInvalid, nullptr},                               // grant without rights
      {"/PG:Everyone:", kInvalid, nullptr},
      {"/PD:Everyone", kInvalid, nullptr},
      {"/PR", kInvalid, nullptr},                                        // no trustee
      {"/PG::Fc", kInvalid, nullptr},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.option);
    SecurityRig rig;
    EXPECT_EQ(removal::ApplyKeyPermission(rig.security, kRemotePath, row.option), row.result);
    if (row.entry) {
      EXPECT_EQ(rig.RemoteDacl(), (Strings{kExistingEntry, row.entry}));
    } else {
      EXPECT_EQ(rig.RemoteDacl(), Strings{kExistingEntry});
      EXPECT_TRUE(rig.security.log.empty()) << "the key was reached: " << rig.security.log.front();
    }
    EXPECT_EQ(rig.security.liveKeys, 0);
    EXPECT_EQ(rig.security.liveAccessLists, 0);
  }
}

TEST(ApplyKeyPermission, OptionLongerThanItsBufferIsRefused) {
  SecurityRig rig;
  const std::string option = "/PG:Everyone:" + std::string(114, 'F');  // 127 characters: fits
  EXPECT_EQ(removal::ApplyKeyPermission(rig.security, kRemotePath, option), kOk);
  EXPECT_EQ(removal::ApplyKeyPermission(rig.security, kRemotePath, option + "c"), kInvalid);
}

TEST(ApplyKeyPermission, GrantsOnTheNamedKeyOnly) {
  SecurityRig rig;
  ASSERT_EQ(removal::ApplyKeyPermission(rig.security, kRemotePath, "/PG:Everyone:Fc"), kOk);
  EXPECT_EQ(rig.security.Dacl("", kHklm, kSubkey), Strings{kExistingEntry});
  EXPECT_EQ(rig.security.log,
            (Strings{"connect \\\\FRONTDESK HKLM", "open \\\\FRONTDESK\\HKLM\\" + kSubkey + " 0x60008",
                     "close \\\\FRONTDESK\\HKLM", "get dacl \\\\FRONTDESK\\HKLM\\" + kSubkey,
                     "merge grant Everyone 0xf003f inherit 0x2", "set dacl \\\\FRONTDESK\\HKLM\\" + kSubkey,
                     "close \\\\FRONTDESK\\HKLM\\" + kSubkey}));
}

TEST(ParseRightsCodes, MaskAndStatus) {
  struct Row {
    std::string rights;
    std::uint32_t mask;
    long status;
  } rows[] = {
      {"", 0, kOk},
      {"Fc", 0xF003F, kOk},
      {"fc", 0xF003F, kOk},
      {"rD", 0x20019, kOk},
      {"WR", 0x20026, kOk},
      {"RdWr", 0x2003F, kOk},
      {"FcRd", 0xF003F, kOk},
      {"FcXy", 0xF003F, kInvalid},
      {"XyRd", 0x20019, kInvalid},
      {"Fcr", 0, kInvalid},
      {"F", 0, kInvalid},
      {std::string(256, 'x'), 0, kInvalid},  // 128 unknown pairs
      {[] { std::string s; for (int i = 0; i < 257; ++i) s += "Rd"; return s; }(), 0, kInvalid},  // 514 > 512
  };
  for (const Row& row : rows) {
    std::uint32_t mask = 0xDEADBEEF;
    EXPECT_EQ(removal::ParseRightsCodes(row.rights, mask), row.status) << "\"" << row.rights << "\"";
    EXPECT_EQ(mask, row.mask) << "\"" << row.rights << "\"";
  }
}

TEST(OpenKeyPath, PathForms) {
  struct Row {
    std::string path;
    long result;
    const char* opened;  // the key the caller holds, as the fake names it; null on failure
  } rows[] = {
      {kRemotePath, kOk, "\\\\FRONTDESK\\HKLM\\SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\KELVO_HRX-410"},
      {"\\\\frontdesk\\hkey_local_machine\\" + kSubkey, kOk,
       "\\\\frontdesk\\HKLM\\SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\KELVO_HRX-410"},
      {"HKLM\\" + kSubkey, kOk, "HKLM\\SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\KELVO_HRX-410"},
      {"\\HKLM\\" + kSubkey, kOk, "HKLM\\SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\KELVO_HRX-410"},
      {"HKLM", kOk, "HKLM"},
      {"\\Hkcu", kOk, "HKCU"},
      {"HKEY_CLASSES_ROOT\\", kOk, "HKCR"},
      {"HKEY_USERS", kOk, "HKU"},
      {kComputer + "\\HKU", kOk, "\\\\FRONTDESK\\HKU"},
      {kComputer + "\\HKCU\\Software", kInvalid, nullptr},
      {kComputer + "\\HKEY_CLASSES_ROOT", kInvalid, nullptr},
      {"HKLN\\" + kSubkey, kInvalid, nullptr},
      {"HKLMX\\" + kSubkey, kInvalid, nullptr},  // the whole element must match
      {"HK", kInvalid, nullptr},
      {"", kInvalid, nullptr},
      {"\\", kInvalid, nullptr},
      {kComputer, kInvalid, nullptr},
      {kComputer + "\\", kInvalid, nullptr},
      {"\\\\\\HKLM\\" + kSubkey, kInvalid, nullptr},  // an empty computer name
      {"HKLM\\SOFTWARE\\Missing", platform::kErrorFileNotFound, nullptr},
      {"\\\\NOWHERE\\HKLM\\" + kSubkey, kBadNetPath, nullptr},
      {"HKLM\\" + std::string(508, 'k'), kInvalid, nullptr},  // 513 characters
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.path);
    SecurityRig rig;
    std::unique_ptr<platform::SecurableKey> key;
    EXPECT_EQ(removal::OpenKeyPath(rig.security, row.path, key), row.result);
    if (row.opened) {
      ASSERT_NE(key, nullptr);
      EXPECT_EQ(rig.security.liveKeys, 1) << "the root or connection was not released";
      rig.security.log.clear();
      std::unique_ptr<platform::AccessList> dacl;
      key->GetDacl(dacl);
      EXPECT_EQ(rig.security.log, Strings{"get dacl " + std::string(row.opened)});
    } else {
      EXPECT_EQ(key, nullptr);
      EXPECT_EQ(rig.security.liveKeys, 0);
    }
  }
}

TEST(OpenKeyPath, UnreachableComputerOpensNothing) {
  SecurityRig rig;
  std::unique_ptr<platform::SecurableKey> key;
  EXPECT_EQ(removal::OpenKeyPath(rig.security, "\\\\NOWHERE\\HKLM\\" + kSubkey, key), kBadNetPath);
  EXPECT_EQ(rig.security.log, Strings{"connect \\\\NOWHERE HKLM"});
}

TEST(SetKeyDacl, FirstFailingCallDecidesAndEverythingIsReleased) {
  struct Row {
    const char* name;
    long getError, mergeError, setError;
    long result;
  } rows[] = {
      {"all succeed", 0, 0, 0, kOk},
      {"reading the list is refused", platform::kErrorAccessDenied, 0, 0, platform::kErrorAccessDenied},
      {"merging runs out of memory", 0, platform::kErrorNotEnoughMemory, 0, platform::kErrorNotEnoughMemory},
      {"writing the list is refused", 0, 0, platform::kErrorAccessDenied, platform::kErrorAccessDenied},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SecurityRig rig;
    rig.security.getDaclError = row.getError;
    rig.security.mergeError = row.mergeError;
    rig.security.setDaclError = row.setError;
    std::unique_ptr<platform::SecurableKey> key;
    ASSERT_EQ(removal::OpenKeyPath(rig.security, kRemotePath, key), kOk);
    platform::ExplicitAccess entry{"Everyone", 0xF003F, platform::AccessMode::Grant, platform::kContainerInheritAce};
    EXPECT_EQ(removal::SetKeyDacl(rig.security, *key, entry), row.result);
    EXPECT_EQ(rig.security.liveAccessLists, 0);
    const bool written = row.result == kOk;
    EXPECT_EQ(rig.RemoteDacl().size(), written ? 2u : 1u);
  }
}

TEST(GrantAndDeleteKey, GrantsEveryoneThenDeletesTheLocalKeyWhateverTheGrantDid) {
  struct Row {
    const char* name;
    std::string path;
    bool granted;
  } rows[] = {
      {"granted", kRemotePath, true},
      {"computer unreachable", "\\\\NOWHERE\\HKLM\\" + kSubkey, false},
      {"malformed path", "HKXX\\" + kSubkey, false},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    SecurityRig rig;
    fakes::FakeRegistry registry;
    Strings journal;
    rig.security.journal = &journal;
    registry.journal = &journal;
    registry.AddKey(platform::RegistryRoot::LocalMachine, kSubkey + "\\5&1234&0&1\\Device Parameters");
    registry.AddKey(platform::RegistryRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\Other");

    removal::GrantAndDeleteKey(rig.security, registry, row.path, kSubkey);

    if (row.granted) {
      EXPECT_EQ(rig.RemoteDacl(), (Strings{kExistingEntry, "grant Everyone 0xf003f inherit 0x2"}));
    } else {
      EXPECT_EQ(rig.RemoteDacl(), Strings{kExistingEntry});
    }
    EXPECT_FALSE(registry.HasKey(platform::RegistryRoot::LocalMachine, kSubkey));
    EXPECT_FALSE(registry.HasKey(platform::RegistryRoot::LocalMachine, kSubkey + "\\5&1234&0&1"));
    EXPECT_TRUE(registry.HasKey(platform::RegistryRoot::LocalMachine, "SYSTEM\\CurrentControlSet\\Enum\\USBPRINT\\Other"));
    ASSERT_FALSE(journal.empty());
    EXPECT_EQ(journal.back(), "deletetree HKLM\\" + kSubkey);  // after the grant, never before
    EXPECT_EQ(rig.security.liveKeys, 0);
  }
}

TEST(GrantAndDeleteKey, EmptySubkeyDeletesNothing) {
  SecurityRig rig;
  fakes::FakeRegistry registry;
  registry.AddKey(platform::RegistryRoot::LocalMachine, "SOFTWARE\\Anything");
  removal::GrantAndDeleteKey(rig.security, registry, kRemotePath, "");
  EXPECT_TRUE(registry.HasKey(platform::RegistryRoot::LocalMachine, "SOFTWARE\\Anything"));
  EXPECT_TRUE(registry.log.empty());
}

}  // namespace
