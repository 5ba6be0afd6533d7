// What the printer operations work on: the window, its members, the connection and time.
// The main window owns all of it and hands this bundle to the operations.
#pragma once
#include "platform/clock.h"
#include "settings_utility/main_window/main_window_view.h"
#include "settings_utility/printer_protocol/settings_controls.h"
#include "settings_utility/printer_protocol/window_state.h"
#include "settings_utility/transports/printer_connection.h"

namespace kora {

struct OperationContext {
  MainWindowView& view;
  WindowState& state;
  PrinterConnection& connection;
  SettingsControls& controls;
  platform::Clock& clock;

  // Opening the connection first takes the controls' values into the members.
  bool OpenConnection() {
    controls.PullFromControls();
    return connection.Open();
  }
};

}  // namespace kora
