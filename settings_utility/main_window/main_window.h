// MainWindow: the presenter of the utility's one dialog. It owns the connection settings,
// the printer connection, the settings model and the identity texts, and drives the dialog
// through MainWindowView. The Win32 dialog procedure only forwards messages here.
#pragma once
#include <memory>
#include <string>

#include "settings_utility/main_window/main_window_seams.h"
#include "settings_utility/main_window/main_window_view.h"
#include "settings_utility/main_window/utility_services.h"

namespace kora {

class MainWindow {
 public:
  MainWindow(MainWindowView& view, const UtilityServices& services, PortSettingsPrompt& portPrompt,
             InstalledPortImporter& importer, std::string printerName);
  ~MainWindow();
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  // WM_INITDIALOG.
  void OnInitDialog();
  // WM_COMMAND from control `controlId` with notification `notifyCode`; IDOK and IDCANCEL
  // are the Enter and Escape keys.
  void OnCommand(int controlId, int notifyCode);
  // WM_TIMER.
  void OnTimer(unsigned timerId);
  // WM_DESTROY.
  void OnDestroy();

 private:
  struct State;
  std::unique_ptr<State> state_;
};

}  // namespace kora
