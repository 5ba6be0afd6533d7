// The installer's windows in memory: a progress window that keeps its bar as the control does
// (range, step, position, wrapping past the top) and records what it shows, its message boxes
// (answered from a script) and the end of the process; and a port prompt that runs the real
// port dialog presenter over a radio group in memory.
#pragma once
#include <cstdint>
#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "installer/install_progress_window.h"
#include "installer/port_type_dialog.h"
#include "platform/os_codes.h"

namespace fakes {

class FakeInstallProgressView : public installer::InstallProgressView {
 public:
  explicit FakeInstallProgressView(std::vector<std::string>& journal) : journal_(journal) {}

  void SetIcons() override {
    iconsSet = true;
    journal_.push_back("icons");
  }
  void TransferTexts(const std::string& status, const std::string& version) override {
    statusControl = status;
    versionControl = version;
    shown.emplace_back(status, position);
    journal_.push_back("show " + status + " @" + std::to_string(position));
  }
  void SetProgressRange(int lowValue, int highValue) override {
    low = lowValue;
    high = highValue;
  }
  void SetProgressStep(int value) override { step = value; }
  void StepProgress() override {
    position += step;
    // The control starts over from the bottom when a step goes past the top.
    if (position > high) position = low + (position - high);
  }
  void SetProgressPosition(int value) override { position = value; }
  void StartTimer(unsigned id, unsigned periodMs) override {
    journal_.push_back("start timer " + std::to_string(id) + " " + std::to_string(periodMs));
  }
  void StopTimer(unsigned id) override { journal_.push_back("stop timer " + std::to_string(id)); }
  int ShowMessage(const std::string& text, const std::string& caption, std::uint32_t style,
                  bool ownedByWindow) override {
    boxes.push_back({text, caption, style, ownedByWindow});
    journal_.push_back(std::string("box ") + (ownedByWindow ? "owned " : "unowned ") + text);
    if (!answers.empty()) {
      const int answer = answers.front();
      answers.pop_front();
      return answer;
    }
    return (style & 0xF) == 0x4 ? platform::kIdNo : platform::kIdOk;  // MB_YESNO: No
  }
  void ShowWaitCursor(bool wait) override { journal_.push_back(wait ? "wait cursor" : "arrow cursor"); }
  void EndProcess(int exitCode) override {
    exitCodes.push_back(exitCode);
    journal_.push_back("end " + std::to_string(exitCode));
  }

  struct Box {
    std::string text, caption;
    std::uint32_t style;
    bool owned;
  };

  bool iconsSet = false;
  std::string statusControl, versionControl;
  int low = 0, high = 100, step = 10, position = 0;
  std::vector<std::pair<std::string, int>> shown;  // status text and bar at each transfer
  std::vector<Box> boxes;
  std::deque<int> answers;  // buttons for the next boxes; then OK, or No for Yes/No boxes
  std::vector<int> exitCodes;

 private:
  std::vector<std::string>& journal_;
};

// Runs the port dialog presenter: the radio group starts as the dialog sets it, then the user
// checks `checkIndex` (when it is not -2) and leaves with `command`.
class FakePortTypePrompt : public installer::PortTypePrompt, private installer::PortTypeView {
 public:
  explicit FakePortTypePrompt(std::vector<std::string>& journal) : journal_(journal) {}

  int Run(installer::PortTypeDialog& dialog) override {
    journal_.push_back("port dialog");
    ended_ = -1;
    dialog.OnInitDialog(*this);
    shownIndex = radio_;
    if (checkIndex != kLeaveAsShown) radio_ = checkIndex;
    dialog.OnCommand(*this, command);
    return ended_;
  }

  static constexpr int kLeaveAsShown = -2;
  int checkIndex = kLeaveAsShown;
  int command = installer::kCommandOk;
  int shownIndex = -1;  // what the radio group showed when the dialog opened

 private:
  void SetRadioIndex(int index) override {
    radio_ = index >= 0 && index < installer::kPortButtonCount ? index : -1;
  }
  int GetRadioIndex() override { return radio_; }
  void EndDialog(int command) override { ended_ = command; }

  std::vector<std::string>& journal_;
  int radio_ = -1;
  int ended_ = -1;
};

}  // namespace fakes
