// End-to-end tests under Wine of the font download and the status files: the real QuintKora.exe
// against the printer simulator over loopback TCP, driven through its window and the standard
// file dialogs. The simulator starts with switches 1, 2 and 10 preset (see CMakeLists.txt) so
// that "Get Printer Status" has values to show that differ from the initial ones.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "tests/wine/ui_driver.h"
#include "tests/wine/utility_session.h"

namespace {

using uidriver::Control;
using uidriver::IsEnabled;
using uidriver::Text;
using utility::Message;
namespace ids = utility::main_ids;

constexpr char kPrinter[] = "HRX410-NET";
constexpr int kBuyerSetStd = 1;
constexpr int kBuyerSetKor = 2;
constexpr int kBuyerSetJap = 5;
// The JAP image and how long its download may take: about 4 s at one 4096-byte block per
// 20 ms, and the identity is read again (0.9 s) before the end is reported.
constexpr char kJapImageBytes[] = "843791";
constexpr DWORD kDownloadWaitMs = 60000;

constexpr int kOperationButtons[] = {ids::kSelfTest,   ids::kGetStatus,  ids::kSetStatus,
                                     ids::kSaveStatus, ids::kLoadStatus, ids::kInitStatus};
constexpr int kSettingLists[] = {ids::kInternalBuzzer,  ids::kFontType,   ids::kAutoCutter,
                                 ids::kExternalBuzzer, ids::kPaperWidth, ids::kColorMode};

class UtilityTest : public ::testing::Test {
 protected:
  void SetUp() override {
    utility::DeleteUtilitySettings();
    utility::PrepareEthernetPrinter(kPrinter, utility::SimulatorPort());
  }

  // Connects at start-up and leaves the window Connected.
  void StartConnected() {
    app_.emplace(utility::StartConnected(kPrinter));
    ASSERT_EQ(app_->connectMessage.text, "Printer is connected.");
    window_ = app_->window;
  }

  void Exit() {
    uidriver::Click(Control(window_, ids::kExit));
    EXPECT_EQ(app_->process.WaitForExitCode(utility::kExitWaitMs), 0u);
  }

  // The selections of the six setting lists, in the order of kSettingLists.
  std::array<int, 6> SettingSelections() const {
    std::array<int, 6> selections{};
    for (std::size_t i = 0; i < selections.size(); ++i)
      selections[i] = uidriver::ComboSelection(Control(window_, kSettingLists[i]));
    return selections;
  }

  // Clicks, acknowledges the operation's message and waits for the rest of the operation.
  Message Operate(int button, DWORD timeoutMs = utility::kOperationWaitMs) {
    uidriver::Click(Control(window_, button));
    const Message message = utility::AcknowledgeMessage(Pid(), timeoutMs);
    utility::WaitForHandlerToEnd(window_);
    return message;
  }

  Message AcknowledgeAndWait(DWORD timeoutMs = utility::kOperationWaitMs) {
    const Message message = utility::AcknowledgeMessage(Pid(), timeoutMs);
    utility::WaitForHandlerToEnd(window_);
    return message;
  }

  DWORD Pid() const { return app_->process.Id(); }

  std::optional<utility::ConnectedUtility> app_;
  HWND window_ = nullptr;
};

// ---- The font download ----

using FontDownloadTest = UtilityTest;

TEST_F(FontDownloadTest, JapBuyerSetSendsTheWholeImageAndReadsTheIdentityAgain) {
  ASSERT_NO_FATAL_FAILURE(StartConnected());
  EXPECT_EQ(Text(Control(window_, ids::kLanguage)), "STANDARD");

  uidriver::SelectComboIndex(Control(window_, ids::kBuyerSet), kBuyerSetJap, utility::kCloseWaitMs);
  const Message start = Operate(ids::kSetStatus);
  EXPECT_EQ(start.title, "Information");
  ASSERT_EQ(start.text, "Success to Change the Firmware,\n And Now Start Font Download!");

  // While blocks go out the window answers, and every control stays disabled.
  HWND progress = Control(window_, ids::kProgress);
  uidriver::WaitUntil([&] { return uidriver::ProgressPosition(progress) > 11; }, utility::kCloseWaitMs,
                      "the progress bar to move past its start at 11");
  for (int id : {ids::kConnect, ids::kExit, ids::kSelfTest, ids::kGetStatus, ids::kSetStatus,
                 ids::kSaveStatus, ids::kLoadStatus, ids::kInitStatus, ids::kBuyerSet}) {
    EXPECT_FALSE(IsEnabled(Control(window_, id))) << "control " << id << " during the download";
  }

  const Message done = AcknowledgeAndWait(kDownloadWaitMs);
  EXPECT_EQ(done.title, "Information");
  EXPECT_EQ(done.text, "Success to Download Font!, And Reboot Printer");

  // The connection is closed before the message: the simulator sees it go.
  utility::SimulatorState state =
      utility::WaitForSimulatorValue("open_connections", "0", utility::kCloseWaitMs);
  EXPECT_EQ(state["font_bytes"], kJapImageBytes);
  EXPECT_EQ(state["font_complete"], "1");
  EXPECT_EQ(state["font_checksum_ok"], "1");
  EXPECT_EQ(state["font_charset"], "JAP");
  EXPECT_EQ(state["switch12"], "00000011");  // the JAP code, 3
  EXPECT_EQ(state["link_dropped"], "0");

  // Back to Connected, with the identity read anew: the language of the new code.
  EXPECT_EQ(Text(Control(window_, ids::kConnect)), "Disconnect Printer");
  for (int id : kOperationButtons) EXPECT_TRUE(IsEnabled(Control(window_, id))) << "button " << id;
  EXPECT_TRUE(IsEnabled(Control(window_, ids::kConnect)));
  EXPECT_TRUE(IsEnabled(Control(window_, ids::kExit)));
  EXPECT_FALSE(IsEnabled(Control(window_, ids::kCodePage)));
  EXPECT_NE(Text(Control(window_, ids::kFirmwareVersion)), "");
  EXPECT_EQ(Text(Control(window_, ids::kLanguage)), "JAPANESE");
  EXPECT_EQ(uidriver::ProgressPosition(progress), 0);
  Exit();
}

// ---- Status files ----

using StatusFileTest = UtilityTest;

// A status file is 64 little-endian 32-bit integers: bit k of the switch in row r at 9r + k
// (rows: switches 1, 2, 8, 9, 10, 11, 12), the buyer set at 63.
std::int32_t RecordInt(const std::vector<BYTE>& record, std::size_t index) {
  std::uint32_t value = 0;
  for (int b = 0; b < 4; ++b) value |= static_cast<std::uint32_t>(record.at(index * 4 + b)) << (8 * b);
  return static_cast<std::int32_t>(value);
}

struct RecordField {
  const char* what;
  std::size_t index;
};
// The record fields behind the six setting lists, in the order of kSettingLists.
constexpr RecordField kListFields[] = {
    {"switch 1 bit 4 (Internal Buzzer)", 4},  {"switch 2 bit 1 (Font Type)", 10},
    {"switch 2 bit 2 (Auto Cutter)", 11},     {"switch 10 bit 1 (External Buzzer)", 37},
    {"switch 10 bit 5 (Paper Width)", 41},    {"switch 10 bit 6 (Color Mode)", 42},
};
constexpr std::size_t kBuyerSetField = 63;

// The record holds, behind each setting list, the bit value that list shows as its selection
// (0 Not Change, 1 the "one" entry, 2 the "zero" entry).
void ExpectListValues(const std::vector<BYTE>& record, const std::array<int, 6>& selections) {
  for (std::size_t i = 0; i < selections.size(); ++i)
    EXPECT_EQ(RecordInt(record, kListFields[i].index), selections[i]) << kListFields[i].what;
}

TEST_F(StatusFileTest, SavedStatusLoadsBackAndOtherNamesAreRefused) {
  const std::string folder = "C:\\kit-status";
  CreateDirectoryA(folder.c_str(), nullptr);
  const std::string saved = folder + "\\printer.sts";
  DeleteFileA(saved.c_str());
  ASSERT_NO_FATAL_FAILURE(StartConnected());

  // The lists take the simulator's preset switches: 1 = 00001000, 2 = 00000001, 10 = 00010001.
  const Message got = Operate(ids::kGetStatus);
  ASSERT_EQ(got.text, "Success to get status of printer.");
  const std::array<int, 6> printerValues = {1, 1, 2, 1, 1, 2};
  ASSERT_EQ(SettingSelections(), printerValues);
  uidriver::SelectComboIndex(Control(window_, ids::kBuyerSet), kBuyerSetKor, utility::kCloseWaitMs);

  // Save through the real save dialog: the file holds what the lists show.
  uidriver::Click(Control(window_, ids::kSaveStatus));
  utility::ChooseFileName(utility::WaitForFileDialog(Pid(), "Save current status"), saved);
  uidriver::WaitUntil([&] { return GetFileAttributesA(saved.c_str()) != INVALID_FILE_ATTRIBUTES; },
                      utility::kCloseWaitMs, "the saved status file " + saved);
  std::vector<BYTE> record = utility::ReadWholeFile(saved);
  ASSERT_EQ(record.size(), 256u);
  ExpectListValues(record, printerValues);
  EXPECT_EQ(RecordInt(record, kBuyerSetField), kBuyerSetKor);

  // Other values in the window, so that a load shows whether it changed them.
  uidriver::Click(Control(window_, ids::kInitStatus), utility::kCloseWaitMs);
  const std::array<int, 6> initialValues = {2, 2, 2, 2, 2, 2};
  ASSERT_EQ(SettingSelections(), initialValues);
  ASSERT_EQ(uidriver::ComboSelection(Control(window_, ids::kBuyerSet)), kBuyerSetStd);

  // A name whose last three characters are not "sts" is refused, whatever the file holds.
  for (const char* name : {"printer.txt", "upper.STS"}) {
    SCOPED_TRACE(name);
    const std::string path = folder + "\\" + name;
    utility::WriteWholeFile(path, record);
    uidriver::Click(Control(window_, ids::kLoadStatus));
    utility::ChooseFileName(utility::WaitForFileDialog(Pid(), "Load saved status"), path);
    const Message refused = AcknowledgeAndWait();
    EXPECT_EQ(refused.title, "Warning");
    EXPECT_EQ(refused.text, "Wrong format files loaded.");
    EXPECT_EQ(SettingSelections(), initialValues);
    EXPECT_EQ(uidriver::ComboSelection(Control(window_, ids::kBuyerSet)), kBuyerSetStd);
  }

  // Load through the real open dialog: the lists show the file's values again.
  uidriver::Click(Control(window_, ids::kLoadStatus));
  utility::ChooseFileName(utility::WaitForFileDialog(Pid(), "Load saved status"), saved);
  uidriver::WaitUntil([&] { return SettingSelections() == printerValues; }, utility::kCloseWaitMs,
                      "the lists to show the loaded values");
  EXPECT_EQ(uidriver::ComboSelection(Control(window_, ids::kBuyerSet)), kBuyerSetKor);
  for (int id : kSettingLists) EXPECT_TRUE(IsEnabled(Control(window_, id))) << "list " << id;

  // Saving over the file asks first; on Yes the new record replaces the old one whole, and
  // nothing but the three files is left in the folder.
  uidriver::Click(Control(window_, ids::kInitStatus), utility::kCloseWaitMs);
  uidriver::Click(Control(window_, ids::kSaveStatus));
  utility::ChooseFileName(utility::WaitForFileDialog(Pid(), "Save current status"), saved);
  const uidriver::MessageBoxInfo replace = uidriver::WaitForMessageBox(Pid(), "", utility::kOperationWaitMs);
  EXPECT_EQ(replace.text, "File already exists.\nDo you want to replace it?");
  uidriver::AnswerMessageBox(replace, IDYES, utility::kCloseWaitMs);
  uidriver::WaitUntil(
      [&] {
        try {
          return RecordInt(utility::ReadWholeFile(saved), kBuyerSetField) == kBuyerSetStd;
        } catch (const std::exception&) {
          return false;
        }
      },
      utility::kCloseWaitMs, "the replaced status file");
  record = utility::ReadWholeFile(saved);
  EXPECT_EQ(record.size(), 256u);
  ExpectListValues(record, initialValues);
  std::vector<std::string> entries = utility::FolderEntries(folder);
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, (std::vector<std::string>{"printer.sts", "printer.txt", "upper.STS"}));
  Exit();
}

}  // namespace
