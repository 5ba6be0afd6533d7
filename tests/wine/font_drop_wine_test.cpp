// End-to-end test under Wine of a font download whose printer goes off the network half-way:
// the real QuintKora.exe against a printer simulator that drops the link for good after
// 300000 received bytes (CMakeLists.txt), well inside the 843791 bytes of the JAP image.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/wine/ui_driver.h"
#include "tests/wine/utility_session.h"

namespace {

using uidriver::Control;
using uidriver::IsEnabled;
using uidriver::Text;
using utility::Message;
namespace ids = utility::main_ids;

constexpr char kPrinter[] = "HRX410-NET";
constexpr int kBuyerSetJap = 5;
constexpr unsigned long long kJapImageBytes = 843791;
constexpr DWORD kDownloadWaitMs = 60000;

TEST(FontDownloadDropTest, LostLinkEndsTheDownloadAndDisconnectReleasesThePort) {
  utility::DeleteUtilitySettings();
  utility::PrepareEthernetPrinter(kPrinter, utility::SimulatorPort());
  utility::ConnectedUtility app = utility::StartConnected(kPrinter);
  ASSERT_EQ(app.connectMessage.text, "Printer is connected.");
  HWND window = app.window;
  const DWORD pid = app.process.Id();

  uidriver::SelectComboIndex(Control(window, ids::kBuyerSet), kBuyerSetJap, utility::kCloseWaitMs);
  uidriver::Click(Control(window, ids::kSetStatus));
  const Message start = utility::AcknowledgeMessage(pid);
  ASSERT_EQ(start.text, "Success to Change the Firmware,\n And Now Start Font Download!");

  const Message failed = utility::AcknowledgeMessage(pid, kDownloadWaitMs);
  utility::WaitForHandlerToEnd(window);
  EXPECT_EQ(failed.title, "Stop");
  EXPECT_EQ(failed.text, "Fail to download Font!");

  utility::SimulatorState state = utility::ReadSimulatorState();
  EXPECT_EQ(state["link_dropped"], "1");
  EXPECT_EQ(state["font_complete"], "0");
  const unsigned long long received = std::stoull(state["font_bytes"]);
  EXPECT_GT(received, 0u);
  EXPECT_LT(received, kJapImageBytes);

  // The window is usable again, still Connected.
  const int kUsable[] = {ids::kConnect,    ids::kExit,       ids::kSelfTest,   ids::kGetStatus,
                         ids::kSetStatus,  ids::kSaveStatus, ids::kLoadStatus, ids::kInitStatus};
  for (int id : kUsable) EXPECT_TRUE(IsEnabled(Control(window, id))) << "button " << id;
  EXPECT_FALSE(IsEnabled(Control(window, ids::kCodePage)));
  EXPECT_EQ(Text(Control(window, ids::kConnect)), "Disconnect Printer");
  EXPECT_EQ(uidriver::ProgressPosition(Control(window, ids::kProgress)), 0);

  uidriver::Click(Control(window, ids::kConnect), utility::kCloseWaitMs);
  EXPECT_EQ(Text(Control(window, ids::kConnect)), "Connect Printer");
  EXPECT_FALSE(IsEnabled(Control(window, ids::kGetStatus)));

  // Only a released port is opened again: a connect while the failed download still held it
  // would be refused without a word. This one tries the network, where the printer is gone.
  uidriver::Click(Control(window, ids::kConnect));
  const Message reconnect = utility::AcknowledgeMessage(pid);
  EXPECT_EQ(reconnect.title, "Error");
  EXPECT_EQ(reconnect.text.rfind("Error : Failed to connected ", 0), 0u) << reconnect.text;

  uidriver::Click(Control(window, ids::kExit));
  EXPECT_EQ(app.process.WaitForExitCode(utility::kExitWaitMs), 0u);
}

}  // namespace
