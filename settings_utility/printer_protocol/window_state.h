// The members of the main window that the operations read and change: the bound control
// values, the identity texts and the two flags.
#pragma once
#include <array>
#include <string>

#include "settings_utility/printer_protocol/printer_settings.h"

namespace kora {

struct WindowState {
  std::string printerName;  // installed Windows printer named on the command line, or empty
  std::string settingsKey;
  bool printerConnected = false;
  bool settingsLoaded = false;
  PrinterSettings settings;
  // Bound combo indices (-1: no selection), in the order of kSettingLists.
  std::array<int, 6> settingSelections = {-1, -1, -1, -1, -1, -1};
  int codePageSelection = -1;
  int buyerSetSelection = -1;
  std::string firmwareVersionText;
  std::string languageText;
};

}  // namespace kora
