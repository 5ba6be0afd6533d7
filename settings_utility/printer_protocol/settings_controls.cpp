#include "settings_utility/printer_protocol/settings_controls.h"

#include "settings_utility/resources/resource_ids.h"

namespace kora {

const std::array<int, 6> kOperationButtons = {IDC_SELF_TEST,   IDC_GET_STATUS,  IDC_SET_STATUS,
                                              IDC_SAVE_STATUS, IDC_LOAD_STATUS, IDC_INIT_STATUS};

SettingsControls::SettingsControls(MainWindowView& view, WindowState& state)
    : view_(view), state_(state) {}

void SettingsControls::PushToControls() {
  view_.SetControlText(IDC_FW_VERSION, state_.firmwareVersionText);
  view_.SetControlText(IDC_LANGUAGE, state_.languageText);
  for (std::size_t i = 0; i < kSettingLists.size(); ++i)
    view_.SetComboSelection(kSettingLists[i].controlId, state_.settingSelections[i]);
  view_.SetComboSelection(IDC_CODEPAGE, state_.codePageSelection);
  view_.SetComboSelection(IDC_BUYERSET, state_.buyerSetSelection);
}

void SettingsControls::PullFromControls() {
  for (std::size_t i = 0; i < kSettingLists.size(); ++i)
    state_.settingSelections[i] = view_.GetComboSelection(kSettingLists[i].controlId);
  state_.codePageSelection = view_.GetComboSelection(IDC_CODEPAGE);
  state_.buyerSetSelection = view_.GetComboSelection(IDC_BUYERSET);
}

void SettingsControls::FillFixedLists() {
  view_.ResetCombo(IDC_CODEPAGE);
  for (const char* entry : kCodePageEntries) view_.AddComboString(IDC_CODEPAGE, entry);
  view_.ResetCombo(IDC_BUYERSET);
  for (const char* entry : kBuyerSetEntries) view_.AddComboString(IDC_BUYERSET, entry);
}

void SettingsControls::OnSettingListChanged(int controlId) {
  PullFromControls();
  for (std::size_t i = 0; i < kSettingLists.size(); ++i) {
    const SettingList& list = kSettingLists[i];
    if (list.controlId == controlId) state_.settings.Bit(list.row, list.bit) = state_.settingSelections[i];
  }
}

void SettingsControls::OnCodePageChanged() {
  PullFromControls();
  ApplyCodePageChoice(state_.settings, state_.codePageSelection);
  PushToControls();
}

void SettingsControls::OnBuyerSetChanged() {
  PullFromControls();
  const int index = state_.buyerSetSelection;
  ApplyBuyerSetChoice(state_.settings, index);
  const int code = BuyerSetCode(index);
  if (code >= 1 && code <= 3) {
    state_.codePageSelection = 0;
    view_.EnableControl(IDC_CODEPAGE, false);
  }
  if (index == 1) view_.EnableControl(IDC_CODEPAGE, true);
  PushToControls();
}

void SettingsControls::Refresh(bool enable) {
  for (std::size_t i = 0; i < kSettingLists.size(); ++i) {
    state_.settingSelections[i] = -1;
    view_.ResetCombo(kSettingLists[i].controlId);
    view_.EnableControl(kSettingLists[i].controlId, false);
  }
  for (int id : kOperationButtons) view_.EnableControl(id, enable);
  view_.EnableControl(IDC_CODEPAGE, enable);
  view_.EnableControl(IDC_BUYERSET, enable);

  if (!enable) {
    state_.firmwareVersionText.clear();
    state_.languageText.clear();
    state_.codePageSelection = -1;
    state_.buyerSetSelection = -1;
    PushToControls();
    view_.EnableControl(IDC_BUYERSET, false);
    PushToControls();
    return;
  }

  PrinterSettings& settings = state_.settings;
  for (std::size_t i = 0; i < kSettingLists.size(); ++i) {
    const SettingList& list = kSettingLists[i];
    view_.EnableControl(list.controlId, true);
    view_.AddComboString(list.controlId, kNotChange);
    view_.AddComboString(list.controlId, list.oneText);
    view_.AddComboString(list.controlId, list.zeroText);
    state_.settingSelections[i] = settings.Bit(list.row, list.bit);
    view_.SetComboSelection(list.controlId, state_.settingSelections[i]);
  }
  for (int bit = 1; bit <= 8; ++bit) settings.mswSavedCopy[bit - 1] = settings.Bit(kMsw12, bit);

  const int buyerCode = BuyerCodeOf(settings);
  view_.SetComboSelection(IDC_BUYERSET, state_.buyerSetSelection);
  if (buyerCode >= 1 && buyerCode <= 3) {
    state_.codePageSelection = 0;
    view_.SetComboSelection(IDC_CODEPAGE, 0);
    view_.EnableControl(IDC_CODEPAGE, false);
  } else {
    // Switch 2 bit 2 stands in for "the code page bits were really read or loaded".
    if (state_.settingsLoaded && settings.Bit(kMsw2, 2) != kUnchanged)
      state_.codePageSelection = CodePageNumberOf(settings) + 1;
    view_.SetComboSelection(IDC_CODEPAGE, state_.codePageSelection);
  }
  view_.EnableControl(IDC_BUYERSET, true);
  PushToControls();
}

}  // namespace kora
