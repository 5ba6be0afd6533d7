#include "settings_utility/printer_protocol/status_file.h"

#include "settings_utility/resources/resource_ids.h"

namespace kora {

using platform::MessageIcon;

namespace {

const char kFilter[] = "Status Files (*.sts)|*.sts|";
const char kTemporarySuffix[] = ".~tmp";

void PutInt(StatusFileRecord& record, std::size_t index, std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  for (int b = 0; b < 4; ++b) record[index * 4 + b] = static_cast<std::uint8_t>(bits >> (8 * b));
}

std::int32_t GetInt(const StatusFileRecord& record, std::size_t index) {
  std::uint32_t bits = 0;
  for (int b = 0; b < 4; ++b) bits |= static_cast<std::uint32_t>(record[index * 4 + b]) << (8 * b);
  return static_cast<std::int32_t>(bits);
}

constexpr std::size_t kBuyerSetIndex = 63;

}  // namespace

StatusFileRecord EncodeStatusFile(const PrinterSettings& settings) {
  StatusFileRecord record{};
  for (int row = 0; row < kSwitchRowCount; ++row)
    for (int column = 0; column < kSwitchColumns; ++column)
      PutInt(record, static_cast<std::size_t>(row * kSwitchColumns + column), settings.switchMatrix[row][column]);
  PutInt(record, kBuyerSetIndex, settings.buyerSetValue);
  return record;
}

void DecodeStatusFile(const std::vector<std::uint8_t>& bytes, PrinterSettings& settings) {
  StatusFileRecord record{};
  for (std::size_t i = 0; i < bytes.size() && i < record.size(); ++i) record[i] = bytes[i];
  for (int row = 0; row < kSwitchRowCount; ++row)
    for (int column = 0; column < kSwitchColumns; ++column)
      settings.switchMatrix[row][column] = GetInt(record, static_cast<std::size_t>(row * kSwitchColumns + column));
  settings.buyerSetValue = GetInt(record, kBuyerSetIndex);
}

StatusFile::StatusFile(OperationContext& context, platform::Files& files) : context_(context), files_(files) {}

void StatusFile::SaveStatus() {
  FileDialogSpec dialog;
  dialog.save = true;
  dialog.title = "Save current status";
  dialog.initialName = "Noname.sts";
  dialog.filter = kFilter;
  dialog.overwritePrompt = true;
  dialog.createPrompt = true;
  std::string path;
  if (!context_.view.ShowFileDialog(dialog, path)) return;

  // The record goes to a file beside the target first; only a complete file replaces it.
  const StatusFileRecord record = EncodeStatusFile(context_.state.settings);
  const std::string temporary = path + kTemporarySuffix;
  bool saved = false;
  if (auto file = files_.Create(temporary)) {
    saved = file->Write(std::vector<std::uint8_t>(record.begin(), record.end())) && file->Flush();
  }
  saved = saved && files_.Replace(temporary, path);
  if (!saved) {
    files_.Delete(temporary);
    context_.view.ShowMessage("Fail to save status file!\n" + path, "Error", MessageIcon::Stop);
  }
}

void StatusFile::LoadStatus() {
  FileDialogSpec dialog;
  dialog.title = "Load saved status";
  dialog.initialName = "*.sts";
  dialog.filter = kFilter;
  dialog.fileMustExist = true;
  std::string path;
  if (!context_.view.ShowFileDialog(dialog, path)) return;

  if (path.size() < 3 || path.compare(path.size() - 3, 3, "sts") != 0) {
    context_.view.ShowMessage("Wrong format files loaded.", "Warning", MessageIcon::Exclamation);
    return;
  }
  std::vector<std::uint8_t> bytes;
  if (!files_.ReadUpTo(path, kStatusFileBytes, bytes)) {
    context_.view.ShowMessage("Fail to load status file!\n" + path, "Error", MessageIcon::Stop);
    return;
  }
  WindowState& state = context_.state;
  DecodeStatusFile(bytes, state.settings);
  state.settingsLoaded = true;
  context_.view.SetComboSelection(IDC_BUYERSET, state.settings.buyerSetValue);
  state.buyerSetSelection = state.settings.buyerSetValue;
  context_.controls.Refresh(true);
  context_.controls.PushToControls();
}

}  // namespace kora
