// The eight selection lists of the main window as views of the settings model: data
// exchange between the bound members and the controls, the list change rules, and
// RefreshSettingsControls.
#pragma once
#include "settings_utility/main_window/main_window_view.h"
#include "settings_utility/printer_protocol/window_state.h"

namespace kora {

class SettingsControls {
 public:
  SettingsControls(MainWindowView& view, WindowState& state);

  // Members -> controls: the two texts and the eight combo selections.
  void PushToControls();
  // Controls -> members: the eight combo selections.
  void PullFromControls();

  // Fills the code page and buyer set lists with their fixed entries.
  void FillFixedLists();

  void OnSettingListChanged(int controlId);
  void OnCodePageChanged();
  void OnBuyerSetChanged();

  // Refills the lists from the model and enables them and the operation buttons (true), or
  // empties and disables them and clears the identity texts (false).
  void Refresh(bool enable);

 private:
  MainWindowView& view_;
  WindowState& state_;
};

// The operation buttons that follow the connected state.
extern const std::array<int, 6> kOperationButtons;

}  // namespace kora
