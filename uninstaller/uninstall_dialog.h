// The uninstaller's one dialog, as a presenter over a small view: at start-up it lists the
// local printers that use the model's driver in a check list; "Uninstall" (enabled while at
// least one entry is checked) runs the removal procedure for the checked printers. With no
// printer of the model it removes the driver at once, or, without a driver either, reports
// that there is nothing left and deletes the uninstall entry.
#pragma once
#include <cstddef>
#include <string>
#include <vector>

#include "uninstaller/removal_procedure/removal_procedure.h"

namespace uninstaller {

// Control ids (the same numbers as uninstall_dialog_ids.h, which the resource script reads).
constexpr int kStatusText = 1000;
constexpr int kUninstallButton = 1001;
constexpr int kProgressBar = 1002;
constexpr int kPrinterCheckList = 1006;
constexpr int kCancelButton = 2;  // IDCANCEL

// The one-shot timer that moves the start-up enumeration out of the dialog's initialisation.
constexpr unsigned kStartTimerId = 1;
constexpr unsigned kStartTimerPeriodMs = 1;

extern const char kNothingToUninstallText[];  // "HRX-410 Driver doesn't exist.\nUninstall aleady completed."

// What the presenter needs of the dialog, beyond what the removal procedure drives
// (status, progress, message boxes, cursor, closing, ending the program).
class UninstallDialogView : public removal::RemovalView {
 public:
  // The program's icon as the big and the small window icon.
  virtual void SetIcons() = 0;
  virtual void SetProgressRange(int low, int high) = 0;
  virtual void SetProgressStep(int step) = 0;
  virtual void StartTimer(unsigned id, unsigned periodMs) = 0;
  virtual void StopTimer(unsigned id) = 0;
  virtual void EnableControl(int id, bool enable) = 0;
  // The check list (1006): it keeps its entries sorted; a new entry is unchecked.
  virtual void AddCheckListEntry(const std::string& text) = 0;
  virtual int CheckListCount() = 0;
  virtual std::string CheckListText(int index) = 0;
  virtual bool IsCheckListEntryChecked(int index) = 0;
  // Ends the modal dialog with this result (IDCANCEL for "Cancel").
  virtual void EndDialog(int result) = 0;
};

class UninstallDialog {
 public:
  UninstallDialog(UninstallDialogView& view, removal::RemovalProcedureServices& services);

  void OnInitDialog();
  void OnTimer(unsigned id);
  // The check box of an entry of the check list changed.
  void OnCheckChanged();
  void OnUninstall();
  // "Cancel" pressed, Escape, or the window's close box.
  void OnCancel();

 private:
  void EnumerateModelPrinters();
  bool ModelDriverInstalled();
  void ReportNothingToUninstall();
  void RunRemoval(const std::vector<std::string>& checkedPrinters);

  UninstallDialogView& view_;
  removal::RemovalProcedureServices& services_;
  // Names of the model's printers found at start-up.
  std::vector<std::string> modelPrinters_;
  std::size_t initialPrinterCount_ = 0;
  bool enumerated_ = false;
  bool removing_ = false;
};

}  // namespace uninstaller
