// End-to-end tests under Wine of a connect that the settings utility refuses: a printer of
// another model, firmware without support for the utility, and a printer that never answers.
// Each case needs the simulator started with its fault, so CMake registers one run per case
// (GTEST_FILTER picks the case); run by hand, choose the case with --gtest_filter.
#include <windows.h>

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "tests/wine/quintkora_driver.h"
#include "tests/wine/ui_driver.h"

namespace {

using namespace kora_e2e;
using uidriver::Control;

struct Refusal {
  const char* name;
  const char* title;
  const char* text;
};

void PrintTo(const Refusal& refusal, std::ostream* out) { *out << refusal.name; }

class RefusedPrinterTest : public ::testing::TestWithParam<Refusal> {
 protected:
  void SetUp() override { uidriver::DeleteRegistryTree(HKEY_CURRENT_USER, kUtilityKey); }
};

// The printer's replies are waited for within fixed bounds (a socket receive gives up after a
// second): even a printer that never answers is refused within a few seconds.
constexpr DWORD kRefusedWithinMs = 10000;

TEST_P(RefusedPrinterTest, ConnectEndsWithItsMessageAndTheWindowStaysUsable) {
  QuintKora app = StartQuintKora();
  HWND dialog = OpenPortDialog(app);
  ChooseEthernet(dialog, 127, 0, 0, 1, SimulatorPort());
  const ULONGLONG start = GetTickCount64();
  ClickOk(dialog);
  const uidriver::MessageBoxInfo box = uidriver::WaitForMessageBox(app.process.Id(), "", kConversationMs);
  const ULONGLONG took = GetTickCount64() - start;
  uidriver::AnswerMessageBox(box, IDOK, kBoxCloseMs);
  EXPECT_EQ(box.title, GetParam().title);
  EXPECT_EQ(box.text, GetParam().text);
  EXPECT_LT(took, kRefusedWithinMs) << "the refusal took " << took << " ms";

  // Refused: Disconnected, the printer's port closed.
  const WindowLook look = LookAt(app);
  EXPECT_EQ(look.connectCaption, "Connect Printer");
  EXPECT_EQ(look.operationButtonsEnabled, std::vector<bool>(6, false));
  EXPECT_EQ(look.firmware, "");
  const SimulatorState printer =
      WaitForSimulatorState([](const SimulatorState& s) { return StateNumber(s, "open_connections") == 0; },
                            kBoxCloseMs, "the connection to be closed");
  EXPECT_EQ(StateNumber(printer, "connections"), 1);

  // Still usable: the next click asks for the port again, and the program ends normally.
  dialog = OpenPortDialog(app);
  EXPECT_TRUE(IsChecked(Control(dialog, kEthernetRadio)));
  uidriver::Click(Control(dialog, IDCANCEL), uidriver::kMessageTimeoutMs);
  EXPECT_EQ(app.Exit(), 0u);
}

const Refusal kRefusals[] = {
    {"OtherModel", "Warning", "The connected printer has different Model name."},
    {"UnsupportedFirmware", "Information",
     "This F/W version is not supported!!!\n Please update printer F/W!!"},
    // Without any answer the firmware support byte is missing, which reads as unsupported.
    {"SilentPrinter", "Information", "This F/W version is not supported!!!\n Please update printer F/W!!"},
};

INSTANTIATE_TEST_SUITE_P(Faults, RefusedPrinterTest, ::testing::ValuesIn(kRefusals),
                         [](const ::testing::TestParamInfo<Refusal>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
