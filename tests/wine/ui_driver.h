// UI driver for the end-to-end tests. It runs inside Wine beside the program under test and
// acts on that program's windows from outside, as a user would: start it, find its windows
// by caption and its controls by id, read texts and states, click, choose list entries, and
// read and answer message boxes.
//
// Every wait is bounded and throws TimeoutError naming what it waited for and the windows
// it saw; an action a user could not perform (a disabled or hidden control, a missing list
// entry) throws RefusedError instead of being forced through.
#pragma once

#include <windows.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

namespace uidriver {

class TimeoutError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

class RefusedError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A Win32 call failed; the text names the call and carries GetLastError.
class Win32Error : public std::runtime_error {
 public:
  Win32Error(const std::string& call, DWORD error);
  DWORD code() const { return code_; }

 private:
  DWORD code_;
};

// Bound on one cross-process message exchange (reading a text, a selection, a position).
constexpr DWORD kMessageTimeoutMs = 5000;

// Owner of a kernel handle.
class OwnedHandle {
 public:
  OwnedHandle() = default;
  explicit OwnedHandle(HANDLE handle) : handle_(handle) {}
  ~OwnedHandle();
  OwnedHandle(OwnedHandle&& other) noexcept;
  OwnedHandle& operator=(OwnedHandle&& other) noexcept;
  OwnedHandle(const OwnedHandle&) = delete;
  OwnedHandle& operator=(const OwnedHandle&) = delete;
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_ = nullptr;
};

// A program started by the driver. A process still running when its owner goes is
// terminated, so that a failed test leaves nothing behind in the prefix.
class Process {
 public:
  // CreateProcessA with the command line `"exePath" arguments` in workingDirectory (the
  // driver's own when empty).
  static Process Launch(const std::string& exePath, const std::string& arguments,
                        const std::string& workingDirectory);

  Process(Process&&) noexcept = default;
  Process& operator=(Process&& other) noexcept;
  Process(const Process&) = delete;
  Process& operator=(const Process&) = delete;
  ~Process();

  DWORD Id() const { return id_; }
  const std::string& Name() const { return name_; }
  bool HasExited() const;
  // Waits at most timeoutMs for the process to end and returns its exit code.
  DWORD WaitForExitCode(DWORD timeoutMs) const;
  void Terminate();

 private:
  Process(OwnedHandle process, DWORD id, std::string name);

  OwnedHandle process_;
  DWORD id_ = 0;
  std::string name_;
};

struct WindowInfo {
  HWND handle = nullptr;
  DWORD processId = 0;
  std::string className;
  std::string caption;
  bool visible = false;
};

// Top-level windows, of one process or (processId 0) of all.
std::vector<WindowInfo> TopLevelWindows(DWORD processId = 0);
// A human-readable list of them, for failure messages.
std::string DescribeTopLevelWindows(DWORD processId = 0);

// A visible top-level window whose caption is exactly `caption`; null when there is none.
HWND FindTopLevelWindow(const std::string& caption, DWORD processId = 0);
HWND WaitForTopLevelWindow(const std::string& caption, DWORD processId, DWORD timeoutMs);

// The child control with that id; throws when the window has none.
HWND Control(HWND window, int id);
std::string ClassName(HWND window);
// WM_GETTEXT: for a control, the text the user sees.
std::string Text(HWND window);
bool IsEnabled(HWND window);
bool IsVisible(HWND window);

// Actions. With handledWithinMs = 0 an action is handed to the program's message queue and
// the call returns at once (use this when the handler may open a modal window); otherwise the
// call returns when the program's handler has returned, and throws TimeoutError if it has not
// within that bound.

// Clicks a button; refused when the button is disabled or hidden, because under Wine
// BM_CLICK on a disabled button would still notify the parent.
void Click(HWND button, DWORD handledWithinMs = 0);
// WM_COMMAND with `commandId` to a dialog: what the dialog manager sends for Enter (IDOK)
// and Escape (IDCANCEL).
void SendCommand(HWND dialog, int commandId, DWORD handledWithinMs = 0);
// A key press (WM_KEYDOWN + WM_KEYUP) posted to a window, so that it takes the path of real
// keyboard input through the dialog manager.
void PressKey(HWND window, UINT virtualKey);

// Combo boxes.
std::vector<std::string> ComboItems(HWND combo);
int ComboSelection(HWND combo);  // -1 when nothing is selected
// Selects an entry as a user does: CB_SETCURSEL, then CBN_SELCHANGE to the parent.
// Refused when the combo box is disabled or hidden or the entry does not exist.
void SelectComboIndex(HWND combo, int index, DWORD handledWithinMs = 0);
void SelectComboText(HWND combo, const std::string& text, DWORD handledWithinMs = 0);

int ProgressPosition(HWND progressBar);

// Message boxes: a top-level dialog (#32770) holding only buttons and static controls, one of
// them the text static with id 0xFFFF.
struct MessageBoxInfo {
  HWND handle = nullptr;
  std::string title;
  std::string text;
};
bool IsMessageBox(HWND window);
// Waits for a visible message box of the process (processId 0: of any process) whose title is
// `title` (any title when empty).
MessageBoxInfo WaitForMessageBox(DWORD processId, const std::string& title, DWORD timeoutMs);
// Clicks the box's button `buttonId` (IDOK, IDYES, ...) and waits for the box to close.
void AnswerMessageBox(const MessageBoxInfo& box, int buttonId, DWORD timeoutMs);

// Polls `condition` until it holds; throws TimeoutError naming `what` after timeoutMs.
void WaitUntil(const std::function<bool()>& condition, DWORD timeoutMs, const std::string& what);

// Registry of the prefix, shared with the program under test.
struct RegistryData {
  DWORD type = REG_NONE;
  std::vector<BYTE> bytes;
};
// False when the key or the value does not exist; throws on any other failure.
bool ReadRegistryValue(HKEY root, const std::string& path, const std::string& name,
                       RegistryData& value);
// Deletes a key with everything below it; a missing key is not an error.
void DeleteRegistryTree(HKEY root, const std::string& path);

}  // namespace uidriver
