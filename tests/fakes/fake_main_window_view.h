// A main window view that keeps the state a real dialog would show (enabled flags, texts,
// combo items and selection, progress bar, timers), records message boxes and answers
// them from a script.
#pragma once
#include <deque>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "settings_utility/main_window/main_window_view.h"

namespace fakes {

struct ShownMessage {
  std::string text;
  std::string title;
  platform::MessageIcon icon;
};

class FakeMainWindowView : public kora::MainWindowView {
 public:
  struct Combo {
    std::vector<std::string> items;
    int selection = -1;
  };

  void PrepareWindow() override { ++prepareCount; }
  void EnableControl(int id, bool enable) override { enabled[id] = enable; }
  void SetControlText(int id, const std::string& text) override { texts[id] = text; }
  void ResetCombo(int id) override { combos[id] = Combo(); }
  void AddComboString(int id, const std::string& text) override { combos[id].items.push_back(text); }
  void SetComboSelection(int id, int index) override {
    Combo& combo = combos[id];
    // Like CB_SETCURSEL: an index outside the list clears the selection.
    combo.selection = index >= 0 && index < static_cast<int>(combo.items.size()) ? index : -1;
  }
  int GetComboSelection(int id) override { return combos[id].selection; }
  void SetProgressPosition(int position) override {
    progress = position;
    progressLog.push_back(position);
  }
  void SetProgressStep(int step) override { progressStep = step; }
  void StepProgress() override {
    ++steps;
    progress += progressStep;
    if (progress > 100) progress = progress % 100;  // the control wraps past its end
  }
  int ShowMessage(const std::string& text, const std::string& title, platform::MessageIcon icon) override {
    messages.push_back({text, title, icon});
    if (onMessage) onMessage(messages.back());
    return platform::kIdOk;
  }
  void StartTimer(unsigned id, unsigned periodMs) override {
    timers[id] = periodMs;
    timerLog.push_back(id);
  }
  void StopTimer(unsigned id) override { timers.erase(id); }
  void RedrawWindow() override { ++redraws; }
  void RedrawControl(int id) override { redrawnControls.push_back(id); }
  void EndDialog(int result) override { endResult = result; }
  bool ShowFileDialog(const kora::FileDialogSpec& dialog, std::string& path) override {
    fileDialogs.push_back(dialog);
    if (fileAnswers.empty()) return false;
    path = fileAnswers.front();
    fileAnswers.pop_front();
    return !path.empty();  // an empty answer is a cancelled dialog
  }

  // Helpers for tests.
  bool IsEnabled(int id) const {
    auto it = enabled.find(id);
    return it == enabled.end() || it->second;  // controls of the template start enabled
  }
  std::string Text(int id) const {
    auto it = texts.find(id);
    return it == texts.end() ? std::string() : it->second;
  }
  std::string SelectedText(int id) const {
    auto it = combos.find(id);
    if (it == combos.end() || it->second.selection < 0) return std::string();
    return it->second.items[it->second.selection];
  }
  // What a user's choice of entry `index` does: select it (the window then gets the
  // selection-change notification from the test).
  void UserSelects(int id, int index) { SetComboSelection(id, index); }
  std::string LastMessage() const { return messages.empty() ? std::string() : messages.back().text; }

  int prepareCount = 0;
  std::map<int, bool> enabled;
  std::map<int, std::string> texts;
  std::map<int, Combo> combos;
  int progress = 0;
  int progressStep = 10;
  int steps = 0;
  std::vector<int> progressLog;
  std::vector<ShownMessage> messages;
  std::function<void(const ShownMessage&)> onMessage;
  std::map<unsigned, unsigned> timers;
  std::vector<unsigned> timerLog;
  int redraws = 0;
  std::vector<int> redrawnControls;
  int endResult = -1;
  std::vector<kora::FileDialogSpec> fileDialogs;
  std::deque<std::string> fileAnswers;
};

}  // namespace fakes
