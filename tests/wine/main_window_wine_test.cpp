// End-to-end tests of the settings utility's main window under Wine: the state it opens in,
// the single instance, and the connection settings it saves on every way of closing it.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <ostream>
#include <string>
#include <vector>

#include "tests/wine/ui_driver.h"

namespace {

using uidriver::Control;
using uidriver::Process;

constexpr char kCaption[] = "KELVO HRX-410 KORA V1.0.0";
constexpr char kSettingsKey[] = "Software\\KELVO\\HRX-410\\KORA";
// A first start in a fresh prefix brings up the wineserver and its services.
constexpr DWORD kWindowWaitMs = 30000;
constexpr DWORD kExitWaitMs = 10000;

// The folder of the programs under test, as the harness passes it (a Windows path).
std::string BinDir() {
  const char* dir = std::getenv("KIT_BIN_DIR");
  return dir != nullptr ? dir : ".";
}

Process StartQuintKora() { return Process::Launch(BinDir() + "\\QuintKora.exe", "", BinDir()); }

class MainWindowTest : public ::testing::Test {
 protected:
  // Settings left by an earlier case would hide whether this case's program wrote them.
  void SetUp() override { uidriver::DeleteRegistryTree(HKEY_CURRENT_USER, kSettingsKey); }
};

TEST_F(MainWindowTest, OpensDisconnected) {
  Process app = StartQuintKora();
  HWND window = uidriver::WaitForTopLevelWindow(kCaption, app.Id(), kWindowWaitMs);

  struct ButtonRow {
    int id;
    const char* caption;
    bool enabled;
  };
  const ButtonRow kButtons[] = {
      {1029, "Connect Printer", true},        {1027, "EXIT", true},
      {1021, "Print Self-test page", false},  {1019, "Get Printer Status", false},
      {1020, "Set Printer Status", false},    {1022, "Save status to File", false},
      {1025, "Load status from file", false}, {1026, "Initialize status", false},
  };
  for (const ButtonRow& row : kButtons) {
    SCOPED_TRACE("button " + std::to_string(row.id));
    HWND button = Control(window, row.id);
    EXPECT_EQ(uidriver::ClassName(button), "Button");
    EXPECT_EQ(uidriver::Text(button), row.caption);
    EXPECT_TRUE(uidriver::IsVisible(button));
    EXPECT_EQ(uidriver::IsEnabled(button), row.enabled);
  }

  for (int id : {1032, 1034, 1035, 1036, 1037, 1038, 1015, 1016}) {
    SCOPED_TRACE("combo box " + std::to_string(id));
    HWND combo = Control(window, id);
    EXPECT_EQ(uidriver::ClassName(combo), "ComboBox");
    EXPECT_FALSE(uidriver::IsEnabled(combo));
  }

  for (int id : {1018, 1030}) {
    SCOPED_TRACE("value text " + std::to_string(id));
    EXPECT_EQ(uidriver::Text(Control(window, id)), "");
  }

  HWND progress = Control(window, 1028);
  EXPECT_EQ(uidriver::ClassName(progress), "msctls_progress32");
  EXPECT_EQ(uidriver::ProgressPosition(progress), 0);

  // A disabled button must not be clickable through the driver either.
  EXPECT_THROW(uidriver::Click(Control(window, 1019)), uidriver::RefusedError);

  uidriver::Click(Control(window, 1027));
  EXPECT_EQ(app.WaitForExitCode(kExitWaitMs), 0u);
}

TEST_F(MainWindowTest, SecondCopyEndsAtOnceWithoutWindow) {
  Process first = StartQuintKora();
  uidriver::WaitForTopLevelWindow(kCaption, first.Id(), kWindowWaitMs);

  Process second = StartQuintKora();
  // Watch the second copy until it ends: any window it shows, even briefly, is a fault.
  std::vector<std::string> shown;
  uidriver::WaitUntil(
      [&] {
        for (const uidriver::WindowInfo& window : uidriver::TopLevelWindows(second.Id())) {
          if (window.visible) shown.push_back(window.className + " \"" + window.caption + "\"");
        }
        return second.HasExited() || !shown.empty();
      },
      kExitWaitMs, "the second copy to end");
  EXPECT_TRUE(shown.empty()) << "the second copy showed: " << ::testing::PrintToString(shown);
  EXPECT_EQ(second.WaitForExitCode(kExitWaitMs), 0u);

  EXPECT_FALSE(first.HasExited());
  int mainWindows = 0;
  for (const uidriver::WindowInfo& window : uidriver::TopLevelWindows()) {
    if (window.visible && window.caption == kCaption) ++mainWindows;
  }
  EXPECT_EQ(mainWindows, 1);

  uidriver::Click(Control(uidriver::FindTopLevelWindow(kCaption, first.Id()), 1027));
  EXPECT_EQ(first.WaitForExitCode(kExitWaitMs), 0u);
}

// Every way of closing the window ends the program normally and saves the connection
// settings; started without saved settings, those are the defaults.
struct CloseWay {
  const char* name;
  void (*close)(HWND window);
};

void PrintTo(const CloseWay& way, std::ostream* out) { *out << way.name; }

class MainWindowCloseTest : public MainWindowTest,
                            public ::testing::WithParamInterface<CloseWay> {};

TEST_P(MainWindowCloseTest, EndsProgramAndSavesSettings) {
  Process app = StartQuintKora();
  HWND window = uidriver::WaitForTopLevelWindow(kCaption, app.Id(), kWindowWaitMs);

  GetParam().close(window);
  EXPECT_EQ(app.WaitForExitCode(kExitWaitMs), 0u);

  struct ValueRow {
    const char* name;
    DWORD type;
    std::vector<BYTE> bytes;
  };
  const ValueRow kSaved[] = {
      {"Port", REG_SZ, {'C', 'O', 'M', '1', 0}},
      {"BaudRate", REG_DWORD, {0x00, 0x4B, 0x00, 0x00}},  // 19200
      {"DataBits", REG_DWORD, {8, 0, 0, 0}},
      {"FlowControl", REG_DWORD, {0, 0, 0, 0}},
      {"Parity", REG_DWORD, {0, 0, 0, 0}},
      {"StopBits", REG_DWORD, {0, 0, 0, 0}},
  };
  for (const ValueRow& row : kSaved) {
    SCOPED_TRACE(std::string("value ") + row.name);
    uidriver::RegistryData value;
    ASSERT_TRUE(uidriver::ReadRegistryValue(HKEY_CURRENT_USER, kSettingsKey, row.name, value));
    EXPECT_EQ(value.type, row.type);
    EXPECT_EQ(value.bytes, row.bytes);
  }
}

const CloseWay kCloseWays[] = {
    {"ExitButton", [](HWND window) { uidriver::Click(Control(window, 1027)); }},
    {"EnterCommand", [](HWND window) { uidriver::SendCommand(window, IDOK); }},
    {"EscapeCommand", [](HWND window) { uidriver::SendCommand(window, IDCANCEL); }},
    {"EscapeKey", [](HWND window) { uidriver::PressKey(window, VK_ESCAPE); }},
};

INSTANTIATE_TEST_SUITE_P(AllWays, MainWindowCloseTest, ::testing::ValuesIn(kCloseWays),
                         [](const ::testing::TestParamInfo<CloseWay>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
