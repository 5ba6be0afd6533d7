// The settings utility's end-to-end helpers: the Win32 side of utility_session.h.
#include "tests/wine/utility_session.h"

#include <commctrl.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <stdexcept>
#include <utility>

namespace utility {
namespace {

constexpr char kSettingsRoot[] = "Software\\KELVO\\HRX-410";
constexpr int kFileNameBox = 0x47C;
constexpr DWORD kScreenshotWaitMs = 20000;

std::string Environment(const char* name) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : "";
}

std::string RequiredEnvironment(const char* name, const char* why) {
  const std::string value = Environment(name);
  if (value.empty()) throw std::runtime_error(std::string(name) + " is not set: " + why);
  return value;
}

class OwnedKey {
 public:
  OwnedKey() = default;
  ~OwnedKey() {
    if (key_ != nullptr) RegCloseKey(key_);
  }
  OwnedKey(const OwnedKey&) = delete;
  OwnedKey& operator=(const OwnedKey&) = delete;
  HKEY* out() { return &key_; }
  HKEY get() const { return key_; }

 private:
  HKEY key_ = nullptr;
};

void SetValue(HKEY key, const char* name, DWORD type, const BYTE* data, DWORD size) {
  const LONG status = RegSetValueExA(key, name, 0, type, data, size);
  if (status != ERROR_SUCCESS) throw uidriver::Win32Error(std::string("RegSetValueExA ") + name, status);
}

void SetString(HKEY key, const char* name, const std::string& text) {
  SetValue(key, name, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
           static_cast<DWORD>(text.size() + 1));
}

void SetDword(HKEY key, const char* name, DWORD number) {
  SetValue(key, name, REG_DWORD, reinterpret_cast<const BYTE*>(&number), sizeof number);
}

// The first descendant of `window` of class `className`, searched depth first.
HWND FindDescendant(HWND window, const char* className) {
  for (HWND child = FindWindowExA(window, nullptr, nullptr, nullptr); child != nullptr;
       child = FindWindowExA(window, child, nullptr, nullptr)) {
    if (uidriver::ClassName(child) == className) return child;
    if (HWND found = FindDescendant(child, className)) return found;
  }
  return nullptr;
}

struct FindCloser {
  void operator()(HANDLE search) const { FindClose(search); }
};
using OwnedSearch = std::unique_ptr<void, FindCloser>;

std::uint64_t FileSize(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

}  // namespace

std::string BinDir() {
  const std::string dir = Environment("KIT_BIN_DIR");
  return dir.empty() ? "." : dir;
}

unsigned SimulatorPort() {
  const std::string text =
      RequiredEnvironment("KIT_SIM_PORT", "the harness starts the simulator only with SIMULATOR_ARGS");
  return static_cast<unsigned>(std::stoul(text));
}

std::string SimulatorStateFile() {
  return RequiredEnvironment("KIT_SIM_STATE",
                             "the harness starts the simulator only with SIMULATOR_ARGS");
}

void PrepareEthernetPrinter(const std::string& printerName, unsigned tcpPort) {
  const std::string path = std::string(kSettingsRoot) + "\\" + printerName;
  OwnedKey key;
  const LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, path.c_str(), 0, nullptr, 0, KEY_SET_VALUE,
                                      nullptr, key.out(), nullptr);
  if (status != ERROR_SUCCESS) throw uidriver::Win32Error("RegCreateKeyExA " + path, status);
  // Any port text that names no serial, parallel or USB port means Ethernet.
  SetString(key.get(), "Port", "NET");
  SetString(key.get(), "TcpIp", "127.0.0.1");
  SetDword(key.get(), "TcpPort", tcpPort);
}

void DeleteUtilitySettings() { uidriver::DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsRoot); }

uidriver::Process StartQuintKora(const std::string& arguments) {
  return uidriver::Process::Launch(BinDir() + "\\QuintKora.exe", arguments, BinDir());
}

Message AcknowledgeMessage(DWORD processId, DWORD timeoutMs) {
  const uidriver::MessageBoxInfo box = uidriver::WaitForMessageBox(processId, "", timeoutMs);
  uidriver::AnswerMessageBox(box, IDOK, kCloseWaitMs);
  return Message{box.title, box.text};
}

void WaitForHandlerToEnd(HWND window, DWORD timeoutMs) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, timeoutMs, &result)) {
    throw uidriver::TimeoutError("the program did not come back to its messages within " +
                                 std::to_string(timeoutMs) + " ms");
  }
}

ConnectedUtility StartConnected(const std::string& printerName) {
  ConnectedUtility app{StartQuintKora(printerName), nullptr, {}};
  app.connectMessage = AcknowledgeMessage(app.process.Id(), kStartWaitMs);
  app.window = uidriver::WaitForTopLevelWindow(kMainCaption, app.process.Id(), kStartWaitMs);
  return app;
}

HWND WaitForPortSettingsDialog(DWORD processId, DWORD timeoutMs) {
  HWND found = nullptr;
  uidriver::WaitUntil(
      [&] {
        for (const uidriver::WindowInfo& window : uidriver::TopLevelWindows(processId)) {
          if (window.visible && window.className == "#32770" &&
              GetDlgItem(window.handle, port_ids::kEthernet) != nullptr) {
            found = window.handle;
            return true;
          }
        }
        return false;
      },
      timeoutMs, "the port settings dialog of process " + std::to_string(processId));
  return found;
}

void TypeText(HWND edit, const std::string& text) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()),
                           SMTO_NORMAL | SMTO_ABORTIFHUNG, uidriver::kMessageTimeoutMs, &result) ||
      result != TRUE) {
    throw uidriver::Win32Error("WM_SETTEXT \"" + text + "\" to control " +
                                   std::to_string(GetDlgCtrlID(edit)),
                               GetLastError());
  }
}

void ChooseEthernet(HWND portDialog, BYTE a, BYTE b, BYTE c, BYTE d, unsigned tcpPort) {
  uidriver::Click(uidriver::Control(portDialog, port_ids::kEthernet), kCloseWaitMs);
  HWND address = uidriver::Control(portDialog, port_ids::kIpAddress);
  HWND port = uidriver::Control(portDialog, port_ids::kTcpPort);
  uidriver::WaitUntil([&] { return uidriver::IsVisible(address) && uidriver::IsVisible(port); },
                      kCloseWaitMs, "the address and TCP port boxes of the Ethernet choice");
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(address, IPM_SETADDRESS, 0, MAKEIPADDRESS(a, b, c, d),
                           SMTO_NORMAL | SMTO_ABORTIFHUNG, uidriver::kMessageTimeoutMs, &result)) {
    throw uidriver::Win32Error("IPM_SETADDRESS", GetLastError());
  }
  TypeText(port, std::to_string(tcpPort));
}

HWND WaitForFileDialog(DWORD processId, const std::string& title, DWORD timeoutMs) {
  return uidriver::WaitForTopLevelWindow(title, processId, timeoutMs);
}

void ChooseFileName(HWND fileDialog, const std::string& fileName) {
  // The name box is an Edit inside a ComboBox inside the ComboBoxEx32 0x47C.
  HWND box = uidriver::Control(fileDialog, kFileNameBox);
  HWND edit = uidriver::ClassName(box) == "Edit" ? box : FindDescendant(box, "Edit");
  if (edit == nullptr) throw std::runtime_error("the file dialog's name box holds no Edit control");
  TypeText(edit, fileName);
  uidriver::Click(uidriver::Control(fileDialog, IDOK));
}

SimulatorState ReadSimulatorState() {
  const std::vector<BYTE> bytes = ReadWholeFile(SimulatorStateFile());
  SimulatorState state;
  std::string line;
  for (BYTE byte : bytes) {
    if (byte != '\n') {
      line.push_back(static_cast<char>(byte));
      continue;
    }
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos) state[line.substr(0, equals)] = line.substr(equals + 1);
    line.clear();
  }
  return state;
}

SimulatorState WaitForSimulatorValue(const std::string& key, const std::string& value, DWORD timeoutMs) {
  SimulatorState state;
  std::string seen = "(no state file)";
  try {
    uidriver::WaitUntil(
        [&] {
          try {
            state = ReadSimulatorState();
          } catch (const std::exception&) {
            return false;  // between the simulator's write and its rename
          }
          seen = state.count(key) != 0 ? state[key] : "(no such key)";
          return seen == value;
        },
        timeoutMs, "the simulator's state " + key + "=" + value);
  } catch (const uidriver::TimeoutError& error) {
    throw uidriver::TimeoutError(std::string(error.what()) + "; last seen " + key + "=" + seen);
  }
  return state;
}

std::vector<BYTE> ReadWholeFile(const std::string& path) {
  uidriver::OwnedHandle file(CreateFileA(path.c_str(), GENERIC_READ,
                                         FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                         nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) throw uidriver::Win32Error("CreateFileA " + path, GetLastError());
  // Read until the end rather than by the reported size: files under /proc report none.
  std::vector<BYTE> bytes;
  std::vector<BYTE> chunk(4096);
  for (;;) {
    DWORD read = 0;
    if (!ReadFile(file.get(), chunk.data(), static_cast<DWORD>(chunk.size()), &read, nullptr))
      throw uidriver::Win32Error("ReadFile " + path, GetLastError());
    if (read == 0) break;
    bytes.insert(bytes.end(), chunk.begin(), chunk.begin() + read);
  }
  return bytes;
}

std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  WIN32_FIND_DATAA found{};
  HANDLE first = FindFirstFileA((folder + "\\*").c_str(), &found);
  if (first == INVALID_HANDLE_VALUE) return names;
  OwnedSearch search(first);
  do {
    const std::string name = found.cFileName;
    if (name != "." && name != "..") names.push_back(name);
  } while (FindNextFileA(search.get(), &found));
  return names;
}

void WriteWholeFile(const std::string& path, const std::vector<BYTE>& bytes) {
  uidriver::OwnedHandle file(CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                         FILE_ATTRIBUTE_NORMAL, nullptr));
  if (file.get() == INVALID_HANDLE_VALUE) throw uidriver::Win32Error("CreateFileA " + path, GetLastError());
  DWORD written = 0;
  if (!WriteFile(file.get(), bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) ||
      written != bytes.size()) {
    throw uidriver::Win32Error("WriteFile " + path, GetLastError());
  }
}

bool ScreenshotsConfigured() {
  return !Environment("KIT_SCREENSHOT_TOOL").empty() && !Environment("KIT_SCREENSHOT_DIR").empty();
}

std::string WindowsPathOfUnix(const std::string& unixPath) {
  std::string path = "Z:" + unixPath;
  for (char& c : path)
    if (c == '/') c = '\\';
  return path;
}

void LetWindowSettle(HWND window) {
  // A round trip makes sure the program has taken everything sent to it; the pause lets it
  // handle the paint messages that its queue only yields once it is otherwise empty.
  DWORD_PTR result = 0;
  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, uidriver::kMessageTimeoutMs, &result);
  Sleep(300);
  SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_NORMAL, uidriver::kMessageTimeoutMs, &result);
}

void TakeScreenshot(HWND window, const std::string& name, const std::string& unixPath) {
  const std::string tool = RequiredEnvironment("KIT_SCREENSHOT_TOOL", "no screenshot tool named");
  const std::string target =
      !unixPath.empty() ? unixPath
                        : RequiredEnvironment("KIT_SCREENSHOT_DIR", "no screenshot folder named") + "/" +
                              name + ".png";
  RECT rect{};
  if (!GetWindowRect(window, &rect)) throw uidriver::Win32Error("GetWindowRect", GetLastError());
  const std::string geometry = std::to_string(rect.right - rect.left) + "x" +
                               std::to_string(rect.bottom - rect.top) + "+" +
                               std::to_string(rect.left) + "+" + std::to_string(rect.top);

  LetWindowSettle(window);
  const std::string picture = WindowsPathOfUnix(target);
  DeleteFileA(picture.c_str());
  // Wine runs a Unix program directly, with this process's environment (DISPLAY included),
  // but gives no handle to wait on and no exit status: the picture itself is the proof. The
  // tool writes it under another name first, so that it appears whole.
  std::string commandLine = "\"" + WindowsPathOfUnix(tool) + "\" \"" + target + "\" " + geometry;
  std::vector<char> mutableCommandLine(commandLine.begin(), commandLine.end());
  mutableCommandLine.push_back('\0');
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, mutableCommandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &info)) {
    throw uidriver::Win32Error("CreateProcessA(" + commandLine + ")", GetLastError());
  }
  uidriver::OwnedHandle process(info.hProcess);
  uidriver::OwnedHandle thread(info.hThread);
  std::printf("screenshot %s of %s\n", target.c_str(), geometry.c_str());
  uidriver::WaitUntil([&] { return FileSize(picture) > 0; }, kScreenshotWaitMs,
                      "the screenshot " + target + " (" + geometry + ")");
}

}  // namespace utility
