// The uninstaller dialog's presenter: start-up enumeration, the check list and its button,
// and the hand-over to the removal procedure.
#include "uninstaller/uninstall_dialog.h"

#include <memory>

#include "platform/os_codes.h"
#include "uninstaller/cleanup/cleanup_operations.h"

namespace uninstaller {

const char kNothingToUninstallText[] = "HRX-410 Driver doesn't exist.\nUninstall aleady completed.";

namespace {

constexpr int kProgressLow = 0;
constexpr int kProgressHigh = 100;
// Three announced steps of the removal fill most of the bar; the end sets it to 100.
constexpr int kProgressStep = 30;
// MB_OK | MB_ICONINFORMATION.
constexpr std::uint32_t kInformationBoxStyle = 0x40;

}  // namespace

UninstallDialog::UninstallDialog(UninstallDialogView& view, removal::RemovalProcedureServices& services)
    : view_(view), services_(services) {}

void UninstallDialog::OnInitDialog() {
  view_.SetIcons();
  view_.SetProgressRange(kProgressLow, kProgressHigh);
  view_.SetProgressStep(kProgressStep);
  initialPrinterCount_ = 0;
  view_.StartTimer(kStartTimerId, kStartTimerPeriodMs);
}

void UninstallDialog::OnTimer(unsigned id) {
  if (id != kStartTimerId) return;
  view_.StopTimer(kStartTimerId);
  if (enumerated_) return;  // a tick that was already queued
  enumerated_ = true;
  EnumerateModelPrinters();
}

void UninstallDialog::EnumerateModelPrinters() {
  modelPrinters_.clear();
  std::vector<platform::PrinterInfo2> printers;
  const long error = services_.printers.EnumLocalPrinters2(printers);
  if (error != platform::kErrorSuccess) {
    view_.ShowMessage(removal::FailureMessage("EnumPrinters", error, services_.system), removal::kUninstallerCaption,
                      removal::kFailureBoxStyle);
    view_.EndProgram(0);
    return;
  }
  for (const platform::PrinterInfo2& printer : printers) {
    if (printer.driverName == removal::kModelDriverName) modelPrinters_.push_back(printer.printerName);
  }
  initialPrinterCount_ = modelPrinters_.size();

  if (initialPrinterCount_ != 0) {
    view_.EnableControl(kUninstallButton, false);
    for (const std::string& name : modelPrinters_) view_.AddCheckListEntry(name);
    return;  // the user chooses
  }
  if (ModelDriverInstalled()) {
    // Nothing to choose: the driver goes at once.
    RunRemoval({});
    return;
  }
  ReportNothingToUninstall();
}

bool UninstallDialog::ModelDriverInstalled() {
  std::vector<std::string> drivers;
  // A failed enumeration counts as no driver: the user then learns there is nothing to do.
  if (services_.spooler.EnumDriverNames(drivers) != platform::kErrorSuccess) return false;
  for (const std::string& driver : drivers) {
    if (driver == removal::kModelDriverName) return true;
  }
  return false;
}

void UninstallDialog::ReportNothingToUninstall() {
  view_.ShowMessage(kNothingToUninstallText, removal::kUninstallerCaption, kInformationBoxStyle);
  // Left behind when the driver went some other way: without it Windows would go on
  // listing the uninstaller.
  std::unique_ptr<platform::RegistryKey> key;
  if (services_.registry.OpenKey(platform::RegistryRoot::LocalMachine, removal::kUninstallKey,
                                 platform::kKeyRead | platform::kKeyWrite, key) == platform::kErrorSuccess) {
    services_.registry.DeleteTree(platform::RegistryRoot::LocalMachine, removal::kUninstallKey);
    key.reset();
  }
  view_.EndProgram(0);
}

void UninstallDialog::OnCheckChanged() {
  const int count = view_.CheckListCount();
  for (int i = 0; i < count; ++i) {
    if (view_.IsCheckListEntryChecked(i)) {
      view_.EnableControl(kUninstallButton, true);
      return;
    }
  }
  view_.EnableControl(kUninstallButton, false);
}

void UninstallDialog::OnUninstall() {
  if (removing_) return;
  std::vector<std::string> checked;
  const int count = view_.CheckListCount();
  for (int i = 0; i < count; ++i) {
    if (view_.IsCheckListEntryChecked(i)) checked.push_back(view_.CheckListText(i));
  }
  RunRemoval(checked);
}

void UninstallDialog::RunRemoval(const std::vector<std::string>& checkedPrinters) {
  removing_ = true;
  view_.EnableControl(kCancelButton, false);
  view_.EnableControl(kUninstallButton, false);
  removal::RunUninstallerRemoval(view_, services_, checkedPrinters, initialPrinterCount_);
}

void UninstallDialog::OnCancel() {
  // While the removal runs "Cancel" is disabled; Escape must not get round that.
  if (removing_) return;
  view_.EndDialog(platform::kIdCancel);
}

}  // namespace uninstaller
