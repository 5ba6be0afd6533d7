// A port settings dialog view that keeps what the real dialog would show.
#pragma once
#include <map>
#include <string>
#include <vector>

#include "settings_utility/transports/port_settings_dialog.h"
#include "tests/fakes/fake_main_window_view.h"

namespace fakes {

class FakePortSettingsView : public kora::PortSettingsView {
 public:
  void PrepareWindow() override { ++prepareCount; }
  void EnableControl(int id, bool enable) override { enabled[id] = enable; }
  void ShowControl(int id, bool show) override { visible[id] = show; }
  void SetControlText(int id, const std::string& text) override { texts[id] = text; }
  void ResetCombo(int id) override { combos[id] = Combo(); }
  void AddComboString(int id, const std::string& text) override { combos[id].items.push_back(text); }
  void SetComboSelection(int id, int index) override {
    Combo& combo = combos[id];
    combo.selection = index >= 0 && index < static_cast<int>(combo.items.size()) ? index : -1;
  }
  int GetComboSelection(int id) override { return combos[id].selection; }
  std::string GetComboText(int id, int index) override {
    const Combo& combo = combos[id];
    return index >= 0 && index < static_cast<int>(combo.items.size()) ? combo.items[index] : std::string();
  }
  void SetRadioIndex(int index) override { radio = index; }
  int GetRadioIndex() override { return radio; }
  void SetIpAddress(const std::uint8_t (&fields)[4]) override {
    for (int i = 0; i < 4; ++i) ip[i] = fields[i];
  }
  void GetIpAddress(std::uint8_t (&fields)[4]) override {
    for (int i = 0; i < 4; ++i) fields[i] = ip[i];
  }
  void SetTcpPortText(const std::string& text) override { tcpPortText = text; }
  std::string GetTcpPortText() override { return tcpPortText; }
  void RedrawWindow() override { ++redraws; }
  void EndDialog(int result) override { endResult = result; }
  int ShowMessage(const std::string& text, const std::string& title, platform::MessageIcon icon) override {
    messages.push_back({text, title, icon});
    return platform::kIdOk;
  }

  bool IsEnabled(int id) const {
    auto it = enabled.find(id);
    return it == enabled.end() || it->second;
  }
  bool IsVisible(int id) const {
    auto it = visible.find(id);
    return it == visible.end() || it->second;
  }
  std::string Selected(int id) { return GetComboText(id, GetComboSelection(id)); }

  using Combo = FakeMainWindowView::Combo;
  int prepareCount = 0;
  std::map<int, bool> enabled, visible;
  std::map<int, std::string> texts;
  std::map<int, Combo> combos;
  int radio = -1;
  std::uint8_t ip[4] = {0, 0, 0, 0};
  std::string tcpPortText;
  int redraws = 0;
  int endResult = -1;
  std::vector<ShownMessage> messages;
};

class FakeUsbListing : public kora::UsbListing {
 public:
  std::vector<kora::UsbListingEntry> Enumerate() override {
    ++enumerations;
    return entries;
  }
  std::vector<kora::UsbListingEntry> entries;
  int enumerations = 0;
};

}  // namespace fakes
