// The installer's progress window and the flow its timer runs.
#include "installer/install_progress_window.h"

#include "installer/installed_version.h"
#include "platform/os_codes.h"

namespace installer {

const char kVersionText[] = "Driver Version: V1.0.1E";
const char kTooOldText[] = "This driver doesn't supported for this OS!!";
const char kCancelledText[] = "Install Cancled.";

namespace {

constexpr int kProgressLow = 0;
constexpr int kProgressHigh = 100;
constexpr char kModelNumber[] = "410";
constexpr char kLanguageLetter[] = "E";
constexpr bool kWithPrintProcessor = true;

}  // namespace

InstallProgressWindow::InstallProgressWindow(InstallProgressView& view, PortTypePrompt& portPrompt,
                                             const InstallerServices& services)
    : view_(view), portPrompt_(portPrompt), services_(services), installer_(services), removalReport_(*this) {}

void InstallProgressWindow::OnInitDialog() {
  Refresh();
  view_.SetIcons();
  version_ = kVersionText;
  Refresh();
  view_.SetProgressRange(kProgressLow, kProgressHigh);
  view_.SetProgressStep(kProgressStep);
  // The timer fires once the window's message loop runs, that is once the window is shown.
  view_.StartTimer(kFlowTimerId, kFlowTimerPeriodMs);
}

void InstallProgressWindow::OnTimer(unsigned timerId) {
  if (timerId != kFlowTimerId) return;
  view_.StopTimer(kFlowTimerId);
  installer_.SetWindowLink(*this);
  RunFlow();
}

void InstallProgressWindow::OnCommand(int) {}

void InstallProgressWindow::InstallStep(const std::string& text, std::uint32_t waitMs) {
  status_ = text;
  view_.StepProgress();
  Refresh();
  services_.clock.Sleep(waitMs);
}

int InstallProgressWindow::ShowOwnedMessage(const std::string& text, const std::string& caption,
                                            std::uint32_t style) {
  return view_.ShowMessage(text, caption, style, true);
}

int InstallProgressWindow::ShowUnownedMessage(const std::string& text, const std::string& caption,
                                              std::uint32_t style) {
  return view_.ShowMessage(text, caption, style, false);
}

void InstallProgressWindow::RunFlow() {
  if (removal::ReadOsClass(services_.system) == removal::OsClass::OsTooOld) {
    ShowOwnedMessage(kTooOldText, kInstallerCaption, kInformationBox);
    EndProcess(0);
    return;
  }

  const InstalledVersionState installed = InstalledVersionCheck(
      services_.printers, services_.install, kCheckedDriverName, kCheckedProcessorName, kInstallerVersion);
  if (installed == InstalledVersionState::OlderInstalled || installed == InstalledVersionState::NewerInstalled) {
    ReplaceInstalledVersion(*this, services_);
    return;  // the process has ended
  }

  installer_.SetUpNames(kModelNumber, kLanguageLetter, kWithPrintProcessor);

  if (portPrompt_.Run(portDialog_) != kCommandOk) {
    ShowOwnedMessage(kCancelledText, kInstallerCaption, kInformationBox);
    EndProcess(0);
    return;
  }
  PortChoice choice;
  if (!PortChoiceFromIndex(portDialog_.selectionIndex(), choice)) {
    EndProcess(0);
    return;
  }
  if (installer_.InstallDriverPackage(choice) == InstallOutcome::ProcessEnded) return;
  EndProcess(0);
}

}  // namespace installer
