// A recording uninstaller dialog (and so a removal procedure window): every call becomes a
// journal entry ("status TEXT", "step", "position N", "box CAPTION|TEXT|0x30", "cursor wait",
// "close", "end 0", ...), the check list holds its entries with their check states, and
// message boxes are answered from a script (OK, or No for a Yes/No box, when it runs out).
#pragma once
#include <cstdint>
#include <deque>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "platform/os_codes.h"
#include "uninstaller/uninstall_dialog.h"

namespace fakes {

class FakeUninstallDialogView : public uninstaller::UninstallDialogView {
 public:
  struct Box {
    std::string caption;
    std::string text;
    std::uint32_t style;
  };

  explicit FakeUninstallDialogView(std::vector<std::string>& journal) : journal_(journal) {}

  int ShowMessage(const std::string& text, const std::string& caption, std::uint32_t style) override {
    std::ostringstream entry;
    entry << "box " << caption << "|" << text << "|0x" << std::hex << style;
    Record(entry.str());
    boxes.push_back({caption, text, style});
    if (!answers.empty()) {
      const int answer = answers.front();
      answers.pop_front();
      return answer;
    }
    constexpr std::uint32_t kButtonsMask = 0xF;
    constexpr std::uint32_t kYesNo = 0x4;
    return (style & kButtonsMask) == kYesNo ? platform::kIdNo : platform::kIdOk;
  }
  void ShowStatus(const std::string& text) override {
    status = text;
    Record("status " + text);
  }
  void EndProgram(int exitCode) override {
    ended = true;
    Record("end " + std::to_string(exitCode));
  }
  void StepProgress() override {
    position += step;
    if (position > high) position = high;
    positions.push_back(position);
    Record("step");
  }
  void SetProgressPosition(int value) override {
    position = value;
    positions.push_back(position);
    Record("position " + std::to_string(value));
  }
  void ShowWaitCursor(bool wait) override { Record(wait ? "cursor wait" : "cursor arrow"); }
  void CloseDialog() override {
    closedWith = platform::kIdOk;
    Record("close");
  }

  void SetIcons() override { Record("icons"); }
  void SetProgressRange(int lowValue, int highValue) override {
    low = lowValue;
    high = highValue;
    Record("range " + std::to_string(lowValue) + " " + std::to_string(highValue));
  }
  void SetProgressStep(int value) override {
    step = value;
    Record("progress step " + std::to_string(value));
  }
  void StartTimer(unsigned id, unsigned periodMs) override {
    timers.insert(id);
    Record("start timer " + std::to_string(id) + " " + std::to_string(periodMs));
  }
  void StopTimer(unsigned id) override {
    timers.erase(id);
    Record("stop timer " + std::to_string(id));
  }
  void EnableControl(int id, bool enable) override {
    if (enable) {
      disabled.erase(id);
    } else {
      disabled.insert(id);
    }
    Record((enable ? "enable " : "disable ") + std::to_string(id));
  }
  void AddCheckListEntry(const std::string& text) override {
    entries.emplace_back(text, false);
    Record("add " + text);
  }
  int CheckListCount() override { return static_cast<int>(entries.size()); }
  std::string CheckListText(int index) override { return entries.at(static_cast<std::size_t>(index)).first; }
  bool IsCheckListEntryChecked(int index) override { return entries.at(static_cast<std::size_t>(index)).second; }
  void EndDialog(int result) override {
    closedWith = result;
    Record("end dialog " + std::to_string(result));
  }

  // Test helpers.
  void SetChecked(const std::string& text, bool checked) {
    for (auto& entry : entries) {
      if (entry.first == text) entry.second = checked;
    }
  }
  bool IsEnabled(int id) const { return disabled.count(id) == 0; }

  // The dialog template starts with "Uninstall" disabled.
  std::set<int> disabled = {uninstaller::kUninstallButton};
  std::vector<std::pair<std::string, bool>> entries;
  std::deque<int> answers;
  std::vector<Box> boxes;
  std::set<unsigned> timers;
  std::string status;
  int low = 0;
  int high = 100;
  int step = 10;  // the progress bar's own default
  int position = 0;
  std::vector<int> positions;
  bool ended = false;
  int closedWith = 0;

 private:
  void Record(const std::string& entry) { journal_.push_back(entry); }

  std::vector<std::string>& journal_;
};

}  // namespace fakes
