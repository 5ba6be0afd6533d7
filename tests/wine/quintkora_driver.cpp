// What the settings utility's end-to-end tests do with QuintKora.exe: the Win32 side of
// quintkora_driver.h.
#include "tests/wine/quintkora_driver.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <utility>

namespace kora_e2e {
namespace {

using uidriver::Control;

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

// One bounded message exchange with a control of the program under test.
LRESULT Ask(HWND window, UINT message, WPARAM wParam, LPARAM lParam, const char* what) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutA(window, message, wParam, lParam, SMTO_NORMAL | SMTO_ABORTIFHUNG,
                           uidriver::kMessageTimeoutMs, &result)) {
    throw uidriver::TimeoutError(std::string("no answer to ") + what + " from control " +
                                 std::to_string(GetDlgCtrlID(window)));
  }
  return static_cast<LRESULT>(result);
}

void RequireUsable(HWND control, const char* action) {
  if (!IsWindowVisible(control) || !IsWindowEnabled(control)) {
    throw uidriver::RefusedError(std::string("cannot ") + action + " control " +
                                 std::to_string(GetDlgCtrlID(control)) + ": it is hidden or disabled");
  }
}

bool IsPortDialog(const uidriver::WindowInfo& window) {
  return window.visible && window.className == "#32770" && window.caption.empty() &&
         GetDlgItem(window.handle, kEthernetRadio) != nullptr;
}

HKEY OpenForWriting(HKEY root, const std::string& path, OwnedKey& key) {
  const LONG status = RegCreateKeyExA(root, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE,
                                      nullptr, key.out(), nullptr);
  if (status != ERROR_SUCCESS) throw uidriver::Win32Error("RegCreateKeyExA(" + path + ")", status);
  return key.get();
}

}  // namespace

std::string BinDir() {
  const char* dir = std::getenv("KIT_BIN_DIR");
  return dir != nullptr ? dir : ".";
}

std::string RequiredEnvironment(const char* name) {
  const char* value = std::getenv(name);
  if (value == nullptr || *value == '\0') {
    throw std::runtime_error(std::string(name) +
                             " is not set: run this test through run_wine_test.sh (ctest)");
  }
  return value;
}

DWORD QuintKora::Exit() {
  uidriver::Click(control(kExitButton));
  return process.WaitForExitCode(kExitWaitMs);
}

uidriver::Process LaunchQuintKora(const std::string& arguments) {
  return uidriver::Process::Launch(BinDir() + "\\QuintKora.exe", arguments, BinDir());
}

QuintKora FindMainWindow(uidriver::Process process) {
  QuintKora app{std::move(process), nullptr};
  app.window = uidriver::WaitForTopLevelWindow(kMainCaption, app.process.Id(), kWindowWaitMs);
  return app;
}

QuintKora StartQuintKora() { return FindMainWindow(LaunchQuintKora()); }

uidriver::MessageBoxInfo AnswerMessageBox(const uidriver::Process& process, DWORD timeoutMs) {
  const uidriver::MessageBoxInfo box = uidriver::WaitForMessageBox(process.Id(), "", timeoutMs);
  uidriver::AnswerMessageBox(box, IDOK, kBoxCloseMs);
  return box;
}

HWND WaitForPortDialog(const uidriver::Process& process, DWORD timeoutMs) {
  HWND found = nullptr;
  uidriver::WaitUntil(
      [&] {
        for (const uidriver::WindowInfo& window : uidriver::TopLevelWindows(process.Id())) {
          if (IsPortDialog(window)) {
            found = window.handle;
            return true;
          }
        }
        return false;
      },
      timeoutMs, "the port settings dialog");
  return found;
}

bool PortDialogOpen(const uidriver::Process& process) {
  for (const uidriver::WindowInfo& window : uidriver::TopLevelWindows(process.Id())) {
    if (IsPortDialog(window)) return true;
  }
  return false;
}

bool IsChecked(HWND button) { return Ask(button, BM_GETCHECK, 0, 0, "BM_GETCHECK") == BST_CHECKED; }

void SetEditText(HWND edit, const std::string& text) {
  RequireUsable(edit, "type into");
  if (!Ask(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), "WM_SETTEXT")) {
    throw std::runtime_error("control " + std::to_string(GetDlgCtrlID(edit)) + " refused the text " + text);
  }
}

void SetIpAddress(HWND ipControl, BYTE a, BYTE b, BYTE c, BYTE d) {
  RequireUsable(ipControl, "type an address into");
  Ask(ipControl, IPM_SETADDRESS, 0, static_cast<LPARAM>(MAKEIPADDRESS(a, b, c, d)), "IPM_SETADDRESS");
}

std::vector<std::string> IpFields(HWND ipControl) {
  std::vector<HWND> edits;
  EnumChildWindows(
      ipControl,
      [](HWND child, LPARAM list) -> BOOL {
        if (uidriver::ClassName(child) == "Edit")
          reinterpret_cast<std::vector<HWND>*>(list)->push_back(child);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&edits));
  auto left = [](HWND window) {
    RECT rect{};
    GetWindowRect(window, &rect);
    return rect.left;
  };
  std::sort(edits.begin(), edits.end(), [&](HWND x, HWND y) { return left(x) < left(y); });
  std::vector<std::string> fields;
  for (HWND edit : edits) fields.push_back(uidriver::Text(edit));
  return fields;
}

HWND OpenPortDialog(const QuintKora& app) {
  uidriver::Click(app.control(kConnectButton));
  return WaitForPortDialog(app.process, kWindowWaitMs);
}

void ChooseEthernet(HWND dialog, BYTE a, BYTE b, BYTE c, BYTE d, unsigned port) {
  uidriver::Click(Control(dialog, kEthernetRadio), uidriver::kMessageTimeoutMs);
  SetIpAddress(Control(dialog, kIpAddress), a, b, c, d);
  SetEditText(Control(dialog, kTcpPortEdit), std::to_string(port));
}

void ClickInterface(HWND dialog, int radioId) { uidriver::Click(Control(dialog, radioId)); }

void ClickOk(HWND dialog) { uidriver::Click(Control(dialog, IDOK)); }

unsigned SimulatorPort() { return static_cast<unsigned>(std::stoul(RequiredEnvironment("KIT_SIM_PORT"))); }

std::string SelectedText(HWND combo) {
  const int selection = uidriver::ComboSelection(combo);
  if (selection < 0) return std::string();
  const std::vector<std::string> items = uidriver::ComboItems(combo);
  return selection < static_cast<int>(items.size()) ? items[static_cast<std::size_t>(selection)]
                                                    : std::string();
}

WindowLook LookAt(const QuintKora& app) {
  WindowLook look;
  look.connectCaption = uidriver::Text(app.control(kConnectButton));
  for (int id : kOperationButtons)
    look.operationButtonsEnabled.push_back(uidriver::IsEnabled(app.control(id)));
  for (int id : kSettingLists) {
    look.settingEntries.push_back(uidriver::ComboItems(app.control(id)));
    look.settingSelections.push_back(uidriver::ComboSelection(app.control(id)));
  }
  look.firmware = uidriver::Text(app.control(kFirmwareText));
  look.language = uidriver::Text(app.control(kLanguageText));
  return look;
}

SimulatorState ReadSimulatorState() {
  const std::string path = RequiredEnvironment("KIT_SIM_STATE");
  std::ifstream in(path);
  if (!in) throw std::runtime_error("cannot read the printer simulator's state file " + path);
  SimulatorState state;
  std::string line;
  while (std::getline(in, line)) {
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos) state[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return state;
}

int StateNumber(const SimulatorState& state, const std::string& key) {
  const auto found = state.find(key);
  if (found == state.end()) throw std::runtime_error("the simulator's state has no " + key);
  return std::stoi(found->second);
}

SimulatorState WaitForSimulatorState(const std::function<bool(const SimulatorState&)>& condition,
                                     DWORD timeoutMs, const std::string& what) {
  SimulatorState state;
  uidriver::WaitUntil(
      [&] {
        state = ReadSimulatorState();
        return condition(state);
      },
      timeoutMs, what);
  return state;
}

char SwitchBit(const std::string& bits, int bit) {
  if (bits.size() != 8 || bit < 1 || bit > 8) throw std::runtime_error("not a switch: " + bits);
  return bits[static_cast<std::size_t>(8 - bit)];
}

std::string WithSwitchBit(std::string bits, int bit, char value) {
  SwitchBit(bits, bit);  // validates
  bits[static_cast<std::size_t>(8 - bit)] = value;
  return bits;
}

std::string LanguageOfBuyerCode(int code) {
  switch (code) {
    case 0:
      return "STANDARD";
    case 1:
      return "KOREAN";
    case 2:
      return "CHINESE";
    case 3:
      return "JAPANESE";
    default:
      return "UNKNOWN";
  }
}

int SwitchValue(const std::string& bits) {
  int value = 0;
  for (int bit = 1; bit <= 8; ++bit)
    if (SwitchBit(bits, bit) == '1') value |= 1 << (bit - 1);
  return value;
}

void ExpectListsShowSwitches(const QuintKora& app, const SimulatorState& state) {
  auto switchBits = [&](int number) {
    const auto found = state.find("switch" + std::to_string(number));
    if (found == state.end())
      throw std::runtime_error("the simulator's state has no switch " + std::to_string(number));
    return found->second;
  };
  for (const SettingRow& row : kSettingRows) {
    SCOPED_TRACE("list " + std::to_string(row.list) + ", switch " + std::to_string(row.switchNumber) +
                 " bit " + std::to_string(row.bit));
    HWND list = app.control(row.list);
    EXPECT_EQ(uidriver::ComboItems(list), (std::vector<std::string>{"Not Change", row.one, row.zero}));
    EXPECT_EQ(SelectedText(list),
              SwitchBit(switchBits(row.switchNumber), row.bit) == '1' ? row.one : row.zero);
    EXPECT_TRUE(uidriver::IsEnabled(list));
  }
  // A double-byte buyer set fixes the code page; otherwise switch 2 holds its number, bits
  // 4 to 8 and then bit 3 from the lowest up.
  const int buyerCode = SwitchValue(switchBits(12));
  HWND codePages = app.control(kCodePageList);
  if (buyerCode >= 1 && buyerCode <= 3) {
    EXPECT_EQ(uidriver::ComboSelection(codePages), 0) << "buyer code " << buyerCode;
    EXPECT_FALSE(uidriver::IsEnabled(codePages));
  } else {
    const std::string bits = switchBits(2);
    int number = 0;
    const int order[] = {4, 5, 6, 7, 8, 3};
    for (int i = 0; i < 6; ++i)
      if (SwitchBit(bits, order[i]) == '1') number |= 1 << i;
    EXPECT_EQ(uidriver::ComboSelection(codePages), number + 1) << "switch 2 = " << bits;
    EXPECT_TRUE(uidriver::IsEnabled(codePages));
  }
  EXPECT_EQ(SelectedText(app.control(kBuyerSetList)), "Not Change");
  EXPECT_TRUE(uidriver::IsEnabled(app.control(kBuyerSetList)));
}

void CreateRegistryKey(HKEY root, const std::string& path) {
  OwnedKey key;
  OpenForWriting(root, path, key);
}

void WriteRegistryString(HKEY root, const std::string& path, const std::string& name,
                         const std::string& value) {
  OwnedKey key;
  const LONG status =
      RegSetValueExA(OpenForWriting(root, path, key), name.c_str(), 0, REG_SZ,
                     reinterpret_cast<const BYTE*>(value.c_str()), static_cast<DWORD>(value.size() + 1));
  if (status != ERROR_SUCCESS) throw uidriver::Win32Error("RegSetValueExA(" + name + ")", status);
}

void WriteRegistryDword(HKEY root, const std::string& path, const std::string& name, DWORD value) {
  OwnedKey key;
  const LONG status = RegSetValueExA(OpenForWriting(root, path, key), name.c_str(), 0, REG_DWORD,
                                     reinterpret_cast<const BYTE*>(&value), sizeof value);
  if (status != ERROR_SUCCESS) throw uidriver::Win32Error("RegSetValueExA(" + name + ")", status);
}

RegistrySnapshot RegistryValues(HKEY root, const std::string& path) {
  RegistrySnapshot values;
  OwnedKey key;
  LONG status = RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, key.out());
  if (status == ERROR_FILE_NOT_FOUND) return values;
  if (status != ERROR_SUCCESS) throw uidriver::Win32Error("RegOpenKeyExA(" + path + ")", status);
  for (DWORD index = 0;; ++index) {
    // Value names are at most 16383 characters; the data is fetched by the driver's reader.
    std::string name(16384, '\0');
    DWORD nameLength = static_cast<DWORD>(name.size());
    status = RegEnumValueA(key.get(), index, &name[0], &nameLength, nullptr, nullptr, nullptr, nullptr);
    if (status == ERROR_NO_MORE_ITEMS) break;
    if (status != ERROR_SUCCESS) throw uidriver::Win32Error("RegEnumValueA(" + path + ")", status);
    name.resize(nameLength);
    uidriver::RegistryData data;
    uidriver::ReadRegistryValue(root, path, name, data);
    values[name] = {data.type, data.bytes};
  }
  return values;
}

std::string RegistryString(HKEY root, const std::string& path, const std::string& name) {
  uidriver::RegistryData data;
  if (!uidriver::ReadRegistryValue(root, path, name, data) || data.type != REG_SZ) {
    throw std::runtime_error("no string value " + name + " under " + path);
  }
  std::string text(data.bytes.begin(), data.bytes.end());
  while (!text.empty() && text.back() == '\0') text.pop_back();
  return text;
}

DWORD RegistryDword(HKEY root, const std::string& path, const std::string& name) {
  uidriver::RegistryData data;
  if (!uidriver::ReadRegistryValue(root, path, name, data) || data.type != REG_DWORD ||
      data.bytes.size() != sizeof(DWORD)) {
    throw std::runtime_error("no DWORD value " + name + " under " + path);
  }
  DWORD value = 0;
  std::copy(data.bytes.begin(), data.bytes.end(), reinterpret_cast<BYTE*>(&value));
  return value;
}

}  // namespace kora_e2e
