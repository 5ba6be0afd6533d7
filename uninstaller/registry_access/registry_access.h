// Opening up a protected registry key before deleting it: a small permission language names
// the key (optionally on another computer) and the access entry to merge into its access
// list. Results are Win32 error codes: 0 success, 8 a work buffer could not be had, 87 a
// malformed path or option, otherwise the code of the platform call that failed.
//
// Key path:  "\\" computer "\" root ["\" subkey]   or   ["\"] root ["\" subkey]
//            root: HKLM, HKU, HKCR, HKCU or their long names, case ignored; a computer
//            allows HKLM and HKU only. At most 512 characters.
// Option:    "/P" mode ":" trustee [":" rights]   e.g. "/PG:Everyone:Fc", at most 127
//            characters. The first character is not looked at; mode (case ignored): D deny,
//            G grant, R revoke, S set; a second character other than "P" makes the entry a
//            no-op. Rights, read for D, G and S only: two-letter codes Fc (full control),
//            Rd (read), Wr (write), case ignored.
#pragma once
#include <cstdint>
#include <memory>
#include <string>

#include "platform/registry.h"
#include "platform/security.h"

namespace removal {

// The option that gives the group "Everyone" full control of a key and of its subkeys.
extern const char kGrantEveryoneFullControl[];  // "/PG:Everyone:Fc"

// Grants "Everyone" full control of the key named by `keyPath`, then deletes
// `localMachineSubkey` (the same key, below this computer's HKEY_LOCAL_MACHINE) with all its
// subkeys, whether or not the grant succeeded. An empty subkey deletes nothing.
void GrantAndDeleteKey(platform::RegistrySecurity& security, platform::Registry& registry,
                       const std::string& keyPath, const std::string& localMachineSubkey);

// Applies one option to the key named by `keyPath`.
long ApplyKeyPermission(platform::RegistrySecurity& security, const std::string& keyPath,
                        const std::string& option);

// Resolves a key path into a key opened to read and write its access list.
long OpenKeyPath(platform::RegistrySecurity& security, const std::string& keyPath,
                 std::unique_ptr<platform::SecurableKey>& key);

// The access mask of a rights text. An odd length gives mask 0 and 87; an unknown pair gives
// 87 and is skipped, the others still count.
long ParseRightsCodes(const std::string& rights, std::uint32_t& mask);

// Merges `entry` into the key's access list and writes the result back.
long SetKeyDacl(platform::RegistrySecurity& security, platform::SecurableKey& key,
                const platform::ExplicitAccess& entry);

}  // namespace removal
