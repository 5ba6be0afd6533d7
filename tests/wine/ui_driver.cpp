// UI driver for the end-to-end tests: the Win32 side of ui_driver.h.
#include "tests/wine/ui_driver.h"

#include <commctrl.h>

#include <memory>
#include <sstream>
#include <utility>

namespace uidriver {
namespace {

constexpr DWORD kPollIntervalMs = 20;
// A process that is told to go gets this long before its owner gives up on it.
constexpr DWORD kTerminateWaitMs = 5000;
// The text control of a message box.
constexpr int kMessageBoxTextId = 0xFFFF;

std::string SystemMessage(DWORD error) {
  char* text = nullptr;
  const DWORD length = FormatMessageA(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<char*>(&text), 0, nullptr);
  std::unique_ptr<char, HLOCAL (*)(HLOCAL)> owner(text, LocalFree);
  std::string message = length > 0 ? std::string(text, length) : std::string();
  while (!message.empty() &&
         (message.back() == '\n' || message.back() == '\r' || message.back() == ' ')) {
    message.pop_back();
  }
  return message;
}

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string Hex(const void* pointer) {
  std::ostringstream out;
  out << pointer;
  return out.str();
}

// Caption or control text without sending a message: safe on a window that does not answer.
std::string StoredText(HWND window) {
  const int length = GetWindowTextLengthA(window);
  if (length <= 0) return std::string();
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const int copied = GetWindowTextA(window, &text[0], length + 1);
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

// How a window is named in messages: a control by id, text and dialog, a top-level window by
// caption, class and process.
std::string Describe(HWND window) {
  if (!IsWindow(window)) return "window " + Hex(window) + " (gone)";
  const LONG style = GetWindowLongA(window, GWL_STYLE);
  if ((style & WS_CHILD) != 0) {
    return "control " + std::to_string(GetDlgCtrlID(window)) + " " + Quoted(StoredText(window)) +
           " (" + ClassName(window) + ") of " + Quoted(StoredText(GetAncestor(window, GA_ROOT)));
  }
  DWORD processId = 0;
  GetWindowThreadProcessId(window, &processId);
  return Quoted(StoredText(window)) + " (" + ClassName(window) + ", process " +
         std::to_string(processId) + ")";
}

enum class Form { Ansi, Wide };

// One message exchange with a window of another process, bounded by `timeoutMs`.
LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const char* messageName,
            DWORD timeoutMs = kMessageTimeoutMs, Form form = Form::Ansi) {
  DWORD_PTR result = 0;
  SetLastError(0);
  // Not SMTO_ABORTIFHUNG: a program that has just blocked for a while (a modal box after a
  // long operation) counts as hung for a moment under Wine and would be given up on at once.
  const UINT flags = SMTO_NORMAL;
  const LRESULT answered =
      form == Form::Ansi
          ? SendMessageTimeoutA(window, message, wParam, lParam, flags, timeoutMs, &result)
          : SendMessageTimeoutW(window, message, wParam, lParam, flags, timeoutMs, &result);
  if (answered == 0) {
    const DWORD error = GetLastError();
    if (error == ERROR_TIMEOUT || error == 0) {
      throw TimeoutError(Describe(window) + " did not answer " + messageName + " within " +
                         std::to_string(timeoutMs) + " ms");
    }
    const char* call = form == Form::Ansi ? "SendMessageTimeoutA(" : "SendMessageTimeoutW(";
    throw Win32Error(call + std::string(messageName) + ") to " + Describe(window), error);
  }
  return static_cast<LRESULT>(result);
}

// Hands a message to the program: posted, or sent and awaited within handledWithinMs.
void Deliver(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const char* what,
             DWORD handledWithinMs) {
  if (handledWithinMs == 0) {
    if (!PostMessageA(window, message, wParam, lParam)) {
      throw Win32Error(std::string("PostMessageA for ") + what + " to " + Describe(window),
                       GetLastError());
    }
    return;
  }
  try {
    Ask(window, message, wParam, lParam, what, handledWithinMs);
  } catch (const TimeoutError&) {
    throw TimeoutError(std::string(what) + " on " + Describe(window) + " was not handled within " +
                       std::to_string(handledWithinMs) + " ms (did it open a modal window?)");
  }
}

void RequireUsable(HWND control, const char* expectedClass, const char* action) {
  if (!IsWindow(control))
    throw RefusedError(std::string("cannot ") + action + ": " + Describe(control));
  if (ClassName(control) != expectedClass) {
    throw RefusedError(std::string("cannot ") + action + " " + Describe(control) +
                       ": it is not a " + expectedClass);
  }
  if (!IsWindowVisible(control)) {
    throw RefusedError(std::string("cannot ") + action + " " + Describe(control) +
                       ": it is hidden");
  }
  if (!IsWindowEnabled(control)) {
    throw RefusedError(std::string("cannot ") + action + " " + Describe(control) +
                       ": it is disabled");
  }
}

std::string ToAnsi(const std::wstring& wide) {
  if (wide.empty()) return std::string();
  const int size = static_cast<int>(wide.size());
  const int bytes = WideCharToMultiByte(CP_ACP, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string text(bytes > 0 ? static_cast<std::size_t>(bytes) : 0, '\0');
  if (bytes > 0)
    WideCharToMultiByte(CP_ACP, 0, wide.data(), size, &text[0], bytes, nullptr, nullptr);
  return text;
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

}  // namespace

Win32Error::Win32Error(const std::string& call, DWORD error)
    : std::runtime_error(call + " failed with error " + std::to_string(error) + " (" +
                         SystemMessage(error) + ")"),
      code_(error) {}

OwnedHandle::~OwnedHandle() {
  if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
}

OwnedHandle::OwnedHandle(OwnedHandle&& other) noexcept : handle_(other.handle_) {
  other.handle_ = nullptr;
}

OwnedHandle& OwnedHandle::operator=(OwnedHandle&& other) noexcept {
  if (this != &other) {
    if (handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = other.handle_;
    other.handle_ = nullptr;
  }
  return *this;
}

Process::Process(OwnedHandle process, DWORD id, std::string name)
    : process_(std::move(process)), id_(id), name_(std::move(name)) {}

Process Process::Launch(const std::string& exePath, const std::string& arguments,
                        const std::string& workingDirectory) {
  std::string commandLine = Quoted(exePath);
  if (!arguments.empty()) commandLine += " " + arguments;
  std::vector<char> mutableCommandLine(commandLine.begin(), commandLine.end());
  mutableCommandLine.push_back('\0');

  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(nullptr, mutableCommandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      workingDirectory.empty() ? nullptr : workingDirectory.c_str(), &startup,
                      &info)) {
    throw Win32Error("CreateProcessA(" + commandLine + ") in " + Quoted(workingDirectory),
                     GetLastError());
  }
  OwnedHandle thread(info.hThread);
  const std::size_t slash = exePath.find_last_of("\\/");
  return Process(OwnedHandle(info.hProcess), info.dwProcessId,
                 slash == std::string::npos ? exePath : exePath.substr(slash + 1));
}

Process& Process::operator=(Process&& other) noexcept {
  if (this != &other) {
    if (process_.get() != nullptr && !HasExited()) Terminate();
    process_ = std::move(other.process_);
    id_ = other.id_;
    name_ = std::move(other.name_);
  }
  return *this;
}

Process::~Process() {
  if (process_.get() != nullptr && !HasExited()) Terminate();
}

bool Process::HasExited() const { return WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; }

DWORD Process::WaitForExitCode(DWORD timeoutMs) const {
  const DWORD wait = WaitForSingleObject(process_.get(), timeoutMs);
  if (wait == WAIT_TIMEOUT) {
    throw TimeoutError("process " + std::to_string(id_) + " (" + name_ + ") still runs after " +
                       std::to_string(timeoutMs) +
                       " ms; its windows: " + DescribeTopLevelWindows(id_));
  }
  if (wait != WAIT_OBJECT_0) throw Win32Error("WaitForSingleObject on " + name_, GetLastError());
  DWORD code = 0;
  if (!GetExitCodeProcess(process_.get(), &code)) {
    throw Win32Error("GetExitCodeProcess of " + name_, GetLastError());
  }
  return code;
}

void Process::Terminate() {
  TerminateProcess(process_.get(), 1);
  WaitForSingleObject(process_.get(), kTerminateWaitMs);
}

std::vector<WindowInfo> TopLevelWindows(DWORD processId) {
  std::vector<HWND> handles;
  EnumWindows(
      [](HWND window, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&handles));

  std::vector<WindowInfo> windows;
  for (HWND handle : handles) {
    WindowInfo info;
    info.handle = handle;
    GetWindowThreadProcessId(handle, &info.processId);
    if (processId != 0 && info.processId != processId) continue;
    info.className = ClassName(handle);
    info.caption = StoredText(handle);
    info.visible = IsWindowVisible(handle) != FALSE;
    windows.push_back(info);
  }
  return windows;
}

std::string DescribeTopLevelWindows(DWORD processId) {
  std::string list;
  for (const WindowInfo& window : TopLevelWindows(processId)) {
    if (!window.visible) continue;
    if (!list.empty()) list += ", ";
    list += Quoted(window.caption) + " (" + window.className + ", process " +
            std::to_string(window.processId) + ")";
  }
  return list.empty() ? "no visible window" : list;
}

HWND FindTopLevelWindow(const std::string& caption, DWORD processId) {
  for (const WindowInfo& window : TopLevelWindows(processId)) {
    if (window.visible && window.caption == caption) return window.handle;
  }
  return nullptr;
}

HWND WaitForTopLevelWindow(const std::string& caption, DWORD processId, DWORD timeoutMs) {
  HWND found = nullptr;
  const std::string whose = processId == 0 ? "any process" : "process " + std::to_string(processId);
  WaitUntil([&] { return (found = FindTopLevelWindow(caption, processId)) != nullptr; }, timeoutMs,
            "a window " + Quoted(caption) + " of " + whose);
  return found;
}

HWND Control(HWND window, int id) {
  HWND control = GetDlgItem(window, id);
  if (control == nullptr) {
    throw std::runtime_error("no control with id " + std::to_string(id) + " in " +
                             Describe(window));
  }
  return control;
}

std::string ClassName(HWND window) {
  // Window class names are at most 256 characters.
  std::string name(257, '\0');
  const int length = GetClassNameA(window, &name[0], static_cast<int>(name.size()));
  name.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
  return name;
}

std::string Text(HWND window) {
  const LRESULT length = Ask(window, WM_GETTEXTLENGTH, 0, 0, "WM_GETTEXTLENGTH");
  if (length <= 0) return std::string();
  std::string text(static_cast<std::size_t>(length) + 1, '\0');
  const LRESULT copied =
      Ask(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(&text[0]), "WM_GETTEXT");
  text.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
  return text;
}

bool IsEnabled(HWND window) { return IsWindowEnabled(window) != FALSE; }

bool IsVisible(HWND window) { return IsWindowVisible(window) != FALSE; }

void Click(HWND button, DWORD handledWithinMs) {
  RequireUsable(button, "Button", "click");
  Deliver(button, BM_CLICK, 0, 0, "a click", handledWithinMs);
}

void SendCommand(HWND dialog, int commandId, DWORD handledWithinMs) {
  if (!IsWindow(dialog)) throw RefusedError("cannot send a command to " + Describe(dialog));
  const std::string what = "command " + std::to_string(commandId);
  Deliver(dialog, WM_COMMAND, MAKEWPARAM(commandId, BN_CLICKED), 0, what.c_str(), handledWithinMs);
}

void PressKey(HWND window, UINT virtualKey) {
  if (!IsWindow(window)) throw RefusedError("cannot press a key in " + Describe(window));
  const LPARAM scanCode = static_cast<LPARAM>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16;
  const LPARAM down = 1 | scanCode;
  const LPARAM up = down | (LPARAM{1} << 30) | (LPARAM{1} << 31);
  if (!PostMessageA(window, WM_KEYDOWN, virtualKey, down) ||
      !PostMessageA(window, WM_KEYUP, virtualKey, up)) {
    throw Win32Error("PostMessageA of a key to " + Describe(window), GetLastError());
  }
}

// Wine 8 hands the text of CB_GETLBTEXT sent across processes in the ANSI form back as
// unconverted UTF-16. The entries are therefore read in the wide form and converted to the
// ANSI code page here: the only wide call of the driver.
std::vector<std::string> ComboItems(HWND combo) {
  const LRESULT count = Ask(combo, CB_GETCOUNT, 0, 0, "CB_GETCOUNT");
  std::vector<std::string> items;
  for (LRESULT index = 0; index < count; ++index) {
    const LRESULT length =
        Ask(combo, CB_GETLBTEXTLEN, index, 0, "CB_GETLBTEXTLEN", kMessageTimeoutMs, Form::Wide);
    if (length == CB_ERR) {
      throw std::runtime_error("CB_GETLBTEXTLEN " + std::to_string(index) + " failed on " +
                               Describe(combo));
    }
    std::wstring wide(static_cast<std::size_t>(length) + 1, L'\0');
    const LRESULT copied = Ask(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(&wide[0]),
                               "CB_GETLBTEXT", kMessageTimeoutMs, Form::Wide);
    wide.resize(copied > 0 ? static_cast<std::size_t>(copied) : 0);
    items.push_back(ToAnsi(wide));
  }
  return items;
}

int ComboSelection(HWND combo) {
  const LRESULT selection = Ask(combo, CB_GETCURSEL, 0, 0, "CB_GETCURSEL");
  return selection == CB_ERR ? -1 : static_cast<int>(selection);
}

void SelectComboIndex(HWND combo, int index, DWORD handledWithinMs) {
  RequireUsable(combo, "ComboBox", "choose an entry of");
  const LRESULT count = Ask(combo, CB_GETCOUNT, 0, 0, "CB_GETCOUNT");
  if (index < 0 || index >= count) {
    throw RefusedError("cannot choose entry " + std::to_string(index) + " of " + Describe(combo) +
                       ": it has " + std::to_string(count) + " entries");
  }
  if (Ask(combo, CB_SETCURSEL, static_cast<WPARAM>(index), 0, "CB_SETCURSEL") != index) {
    throw std::runtime_error("CB_SETCURSEL " + std::to_string(index) + " failed on " +
                             Describe(combo));
  }
  const int id = GetDlgCtrlID(combo);
  Deliver(GetParent(combo), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
          reinterpret_cast<LPARAM>(combo), "CBN_SELCHANGE", handledWithinMs);
}

void SelectComboText(HWND combo, const std::string& text, DWORD handledWithinMs) {
  const std::vector<std::string> items = ComboItems(combo);
  for (std::size_t index = 0; index < items.size(); ++index) {
    if (items[index] == text) {
      SelectComboIndex(combo, static_cast<int>(index), handledWithinMs);
      return;
    }
  }
  std::string list;
  for (const std::string& item : items) list += (list.empty() ? "" : ", ") + Quoted(item);
  throw RefusedError("cannot choose " + Quoted(text) + " in " + Describe(combo) +
                     ": its entries are [" + list + "]");
}

int ProgressPosition(HWND progressBar) {
  return static_cast<int>(Ask(progressBar, PBM_GETPOS, 0, 0, "PBM_GETPOS"));
}

bool IsMessageBox(HWND window) {
  if (ClassName(window) != "#32770") return false;
  struct Scan {
    bool onlyButtonsAndStatics = true;
  } scan;
  EnumChildWindows(
      window,
      [](HWND child, LPARAM state) -> BOOL {
        const std::string name = ClassName(child);
        if (name != "Button" && name != "Static") {
          reinterpret_cast<Scan*>(state)->onlyButtonsAndStatics = false;
          return FALSE;
        }
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&scan));
  HWND text = GetDlgItem(window, kMessageBoxTextId);
  return scan.onlyButtonsAndStatics && text != nullptr && ClassName(text) == "Static";
}

MessageBoxInfo WaitForMessageBox(DWORD processId, const std::string& title, DWORD timeoutMs) {
  HWND found = nullptr;
  auto appeared = [&] {
    for (const WindowInfo& window : TopLevelWindows(processId)) {
      if (window.visible && (title.empty() || window.caption == title) &&
          IsMessageBox(window.handle)) {
        found = window.handle;
        return true;
      }
    }
    return false;
  };
  const std::string whose = processId == 0 ? "any process" : "process " + std::to_string(processId);
  WaitUntil(appeared, timeoutMs,
            "a message box " +
                (title.empty() ? std::string("with any title") : "titled " + Quoted(title)) +
                " of " + whose);
  MessageBoxInfo box;
  box.handle = found;
  box.title = StoredText(found);
  box.text = Text(Control(found, kMessageBoxTextId));
  return box;
}

void AnswerMessageBox(const MessageBoxInfo& box, int buttonId, DWORD timeoutMs) {
  HWND button = GetDlgItem(box.handle, buttonId);
  if (button == nullptr) {
    throw RefusedError("message box " + Quoted(box.title) + " has no button " +
                       std::to_string(buttonId));
  }
  Click(button);
  WaitUntil(
      [&] { return !IsWindow(box.handle) || !IsWindowVisible(box.handle); }, timeoutMs,
      "message box " + Quoted(box.title) + " to close after button " + std::to_string(buttonId));
}

void WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, const std::string& what) {
  const ULONGLONG start = GetTickCount64();
  for (;;) {
    if (condition()) return;
    if (GetTickCount64() - start >= timeoutMs) break;
    Sleep(kPollIntervalMs);
  }
  throw TimeoutError("gave up after " + std::to_string(timeoutMs) + " ms waiting for " + what +
                     "; visible windows: " + DescribeTopLevelWindows());
}

bool ReadRegistryValue(HKEY root, const std::string& path, const std::string& name,
                       RegistryData& value) {
  OwnedKey key;
  LONG status = RegOpenKeyExA(root, path.c_str(), 0, KEY_QUERY_VALUE, key.out());
  if (status == ERROR_FILE_NOT_FOUND) return false;
  if (status != ERROR_SUCCESS) throw Win32Error("RegOpenKeyExA(" + Quoted(path) + ")", status);

  DWORD type = REG_NONE;
  DWORD size = 0;
  status = RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, nullptr, &size);
  if (status == ERROR_FILE_NOT_FOUND) return false;
  if (status != ERROR_SUCCESS) throw Win32Error("RegQueryValueExA(" + Quoted(name) + ")", status);

  std::vector<BYTE> bytes(size);
  status = RegQueryValueExA(key.get(), name.c_str(), nullptr, &type, bytes.data(), &size);
  if (status != ERROR_SUCCESS) throw Win32Error("RegQueryValueExA(" + Quoted(name) + ")", status);
  bytes.resize(size);
  value.type = type;
  value.bytes = std::move(bytes);
  return true;
}

void DeleteRegistryTree(HKEY root, const std::string& path) {
  const LONG status = RegDeleteTreeA(root, path.c_str());
  if (status != ERROR_SUCCESS && status != ERROR_FILE_NOT_FOUND) {
    throw Win32Error("RegDeleteTreeA(" + Quoted(path) + ")", status);
  }
}

}  // namespace uidriver
