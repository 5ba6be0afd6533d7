#include "settings_utility/main_window/startup.h"

#include <cstdio>

#include "platform/os_codes.h"

namespace kora {

namespace {
const char kInstanceMappingName[] = "QuintKora.exe";
constexpr std::uint32_t kInstanceMappingBytes = 4;
}  // namespace

std::string PrinterNameFromCommandLine(const std::string& argumentText) {
  const auto first = argumentText.find_first_not_of(" \t");
  if (first == std::string::npos) return std::string();
  const auto last = argumentText.find_last_not_of(" \t");
  std::string name = argumentText.substr(first, last - first + 1);
  if (name.size() >= 2 && name.front() == '"' && name.back() == '"') name = name.substr(1, name.size() - 2);
  return name;
}

int RunQuintKora(platform::ProcessServices& process, platform::SocketLayer& sockets,
                 platform::MessageBoxes& boxes, MainDialogHost& host,
                 const std::string& argumentText) {
  // The mapping stays open for the life of the process: it is what a second copy finds.
  platform::NamedMappingResult instance =
      process.CreateNamedSharedMemory(kInstanceMappingName, kInstanceMappingBytes);
  if (instance.object && instance.lastError == platform::kErrorAlreadyExists) return 0;

  const platform::SocketStartup startup = sockets.Startup();
  if (!startup.ok) {
    char text[96];
    std::snprintf(text, sizeof text, "Soket Create Error! : %d, %d", startup.socketError,
                  static_cast<int>(startup.lastError));
    boxes.Show(text, "Warning", platform::MessageIcon::Exclamation);
  }

  host.RunMainWindow(PrinterNameFromCommandLine(argumentText));
  return 0;
}

}  // namespace kora
