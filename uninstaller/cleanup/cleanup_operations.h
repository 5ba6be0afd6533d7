// The clean-up operations that the removal procedure strings together: the model's printers
// with their per-printer keys, its USB devices, the setup information files Windows keeps
// for its driver, and a folder tree. None of them stops at what it cannot delete.
#pragma once
#include <string>
#include <vector>

#include "platform/device_setup.h"
#include "platform/file_system.h"
#include "platform/print_admin.h"
#include "platform/registry.h"

namespace removal {

// The driver and printer model name that identifies the kit's driver everywhere.
extern const char kModelDriverName[];             // "KELVO HRX-410"
extern const char kPerPrinterKeyRoot[];           // "SOFTWARE\KELVO_POS_PRINTER\" (local machine)
extern const char kPrinterClassKey[];             // the printer class under ...\Control\Class
extern const char kUsbHardwareIdPrefix[];         // "USB\Vid_3C17&Pid_0006"

// Deletes each named printer (opened with the data type "raw" and full access) and the key
// "SOFTWARE\KELVO_POS_PRINTER\" + its name with blanks turned into underscores, with all its
// subkeys. A printer that no longer exists still loses its key.
void DeleteModelPrinters(platform::PrintAdmin& spooler, platform::Registry& registry,
                         const std::vector<std::string>& printerNames);

// Removes every device of the "USB" enumerator (all classes, present or not) whose first
// hardware ID begins like `hardwareIdPrefix` over 21 characters, case ignored. A hardware-ID
// list longer than 100 bytes is skipped. True when the enumeration ran to its end; false when
// the device list cannot be had, a device cannot be removed, or enumerating fails with an
// error other than "no more items" (the enumeration then ends: it never retries an index).
bool RemoveUsbDevices(platform::DeviceSetup& setup, const std::string& hardwareIdPrefix);

// Refills `classInfPaths` with the "InfPath" of every printer-class driver key whose
// "DriverDesc" is exactly "KELVO HRX-410".
void CollectClassInfPaths(platform::Registry& registry, std::vector<std::string>& classInfPaths);

// Deletes every lower-case "oem" INF file of the system INF folder whose section "KELVO" has
// a line with the key "KELVO HRX-410", together with its precompiled ".PNF" file.
void DeleteOemInfs(platform::DeviceSetup& setup, platform::FileSystem& files);

// Deletes the folder with everything below it, read-only files and folders included. A path
// with or without a trailing "\" is the same folder. An empty path or a bare drive ("C:", "C:\")
// deletes nothing. A folder link inside is removed as a link, never followed.
void DeleteFolderTree(platform::FileSystem& files, const std::string& folder);

// The precompiled file that Windows keeps beside an INF file: a final ".inf" (any case)
// becomes ".PNF". Empty when the name does not end in ".inf".
std::string PrecompiledInfPath(const std::string& infPath);

}  // namespace removal
