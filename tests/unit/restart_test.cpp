// The restart prompt and the restart of Windows: the box, what Yes and No lead to, and that
// a restart is asked for only when the shutdown privilege could really be enabled.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/os_codes.h"
#include "tests/fakes/fake_system_services.h"
#include "tests/fakes/journal_clock.h"
#include "uninstaller/restart/restart.h"

namespace {

using Strings = std::vector<std::string>;

class RecordingView : public removal::RestartPromptView {
 public:
  explicit RecordingView(Strings& journal) : journal_(journal) {}
  int ShowMessage(const std::string& text, const std::string& caption, std::uint32_t style) override {
    journal_.push_back("box");
    boxes.push_back({text, caption, style});
    return answer;
  }
  void ShowStatus(const std::string& text) override { journal_.push_back("status " + text); }
  void EndProgram(int exitCode) override { journal_.push_back("end " + std::to_string(exitCode)); }

  struct Box {
    std::string text, caption;
    std::uint32_t style;
  };
  std::vector<Box> boxes;
  int answer = platform::kIdNo;

 private:
  Strings& journal_;
};

TEST(RestartWindows, RequestsAForcedRebootOnlyWithThePrivilegeEnabled) {
  struct Row {
    const char* name;
    long openTokenError, lookupError, adjustLastError, exitError;
    bool result;
    Strings calls;
  } rows[] = {
      {"accepted", 0, 0, 0, 0, true,
       {"open token 40", "lookup SeShutdownPrivilege", "adjust 19:0 2", "exit windows 6 0", "close token"}},
      {"token refused", platform::kErrorAccessDenied, 0, 0, 0, false, {"open token 40"}},
      {"privilege unknown", 0, 1313, 0, 0, false, {"open token 40", "lookup SeShutdownPrivilege", "close token"}},
      {"privilege not held", 0, 0, platform::kErrorNotAllAssigned, 0, false,
       {"open token 40", "lookup SeShutdownPrivilege", "adjust 19:0 2", "close token"}},
      {"restart refused", 0, 0, 0, platform::kErrorAccessDenied, false,
       {"open token 40", "lookup SeShutdownPrivilege", "adjust 19:0 2", "exit windows 6 0", "close token"}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    fakes::FakeSystemServices system;
    system.openTokenError = row.openTokenError;
    system.lookupError = row.lookupError;
    system.adjustLastError = row.adjustLastError;
    system.exitError = row.exitError;
    EXPECT_EQ(removal::RestartWindows(system), row.result);
    EXPECT_EQ(system.log, row.calls);
    EXPECT_EQ(system.openTokens, 0);
  }
}

TEST(RestartPrompt, AsksWithYesNoAndTheQuestionIcon) {
  Strings journal;
  RecordingView view(journal);
  fakes::FakeSystemServices system;
  fakes::JournalClock clock(journal);
  removal::RestartPrompt(view, system, clock);

  ASSERT_EQ(view.boxes.size(), 1u);
  EXPECT_EQ(view.boxes[0].text,
            "Restart the computer can take effect.\nPlease restart the computer.\n\n"
            "[Yes] I want to restart my computer now.\n[No] I will restart my computer later.");
  EXPECT_EQ(view.boxes[0].caption, "KELVO HRX-410 uninstaller");
  EXPECT_EQ(view.boxes[0].style, 0x24u);  // MB_YESNO | MB_ICONQUESTION
  // No: back to the removal procedure, nothing else happens.
  EXPECT_EQ(journal, Strings{"box"});
  EXPECT_TRUE(system.log.empty());
}

TEST(RestartPrompt, YesShowsCompletedWaitsRestartsAndEnds) {
  struct Row {
    const char* name;
    long adjustLastError;
    bool restartRequested;
  } rows[] = {{"privilege held", 0, true}, {"privilege not held", platform::kErrorNotAllAssigned, false}};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    Strings journal;
    RecordingView view(journal);
    view.answer = platform::kIdYes;
    fakes::FakeSystemServices system;
    system.adjustLastError = row.adjustLastError;
    system.journal = &journal;
    fakes::JournalClock clock(journal);

    removal::RestartPrompt(view, system, clock);

    Strings expected = {"box", "status Uninstall completed!", "sleep 1000", "open token 40",
                        "lookup SeShutdownPrivilege", "adjust 19:0 2"};
    if (row.restartRequested) expected.push_back("exit windows 6 0");
    expected.push_back("close token");
    expected.push_back("end 0");  // ends either way, without a message
    EXPECT_EQ(journal, expected);
    EXPECT_EQ(view.boxes.size(), 1u);
  }
}

}  // namespace
