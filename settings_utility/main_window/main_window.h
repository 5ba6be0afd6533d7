// MainWindow: the presenter of the utility's one dialog. It owns the connection settings,
// the printer connection, the settings model, the identity texts and the font download
// state, and drives the dialog through MainWindowView. The Win32 dialog procedure only
// forwards messages here.
#pragma once
#include <string>

#include "settings_utility/main_window/connect_workflow.h"
#include "settings_utility/main_window/main_window_seams.h"
#include "settings_utility/main_window/main_window_view.h"
#include "settings_utility/main_window/utility_services.h"
#include "settings_utility/printer_protocol/font_download.h"
#include "settings_utility/printer_protocol/operation_context.h"
#include "settings_utility/printer_protocol/printer_info.h"
#include "settings_utility/printer_protocol/printer_operations.h"
#include "settings_utility/printer_protocol/settings_controls.h"
#include "settings_utility/printer_protocol/status_file.h"
#include "settings_utility/printer_protocol/window_state.h"
#include "settings_utility/transports/printer_connection.h"
#include "settings_utility/transports/transport.h"

namespace kora {

extern const char kWindowCaption[];  // "KELVO HRX-410 KORA V1.0.0"

class MainWindow {
 public:
  MainWindow(MainWindowView& view, const UtilityServices& services, TransportFactory& transports,
             PortSettingsPrompt& portPrompt, InstalledPortImporter& importer, std::string printerName);
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

  const WindowState& state() const { return state_; }
  const PrinterConnection& connection() const { return connection_; }

 private:
  void OnConnectClicked();
  void OnExitClicked();
  void EnterConnectedState();
  void TakeOverPortChoice(const PortChoice& choice);

  MainWindowView& view_;
  UtilityServices services_;
  PortSettingsPrompt& portPrompt_;
  InstalledPortImporter& importer_;
  WindowState state_;
  SettingsControls controls_;
  PrinterConnection connection_;
  OperationContext context_;
  PrinterInfo info_;
  ConnectWorkflow connect_;
  FontDownload fontDownload_;
  PrinterOperations operations_;
  StatusFile statusFile_;
};

}  // namespace kora
