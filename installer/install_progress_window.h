// InstallProgressWindow: the presenter of the installer's main window. Once the window is on
// screen its one-shot timer runs the whole installation on the window's thread: the refusal of
// a too old Windows, the replacement of a different installed version, the port question, the
// package installation. Every path ends the process with exit code 0 from inside that flow.
// The Win32 dialog only forwards messages here and implements InstallProgressView.
#pragma once
#include <cstdint>
#include <string>

#include "installer/driver_installer.h"
#include "installer/installer_services.h"
#include "installer/port_type_dialog.h"

namespace installer {

// Control ids of the progress window.
constexpr int kProgressBarId = 1000;
constexpr int kVersionTextId = 1001;
constexpr int kStatusTextId = 1003;
// The one-shot timer that starts the flow.
constexpr unsigned kFlowTimerId = 1;
constexpr unsigned kFlowTimerPeriodMs = 1;
constexpr int kProgressStep = 11;

extern const char kVersionText[];     // "Driver Version: V1.0.1E"
extern const char kTooOldText[];      // "This driver doesn't supported for this OS!!"
extern const char kCancelledText[];   // "Install Cancled."

// What the presenter needs of the window.
class InstallProgressView {
 public:
  virtual ~InstallProgressView() = default;
  // Icon 128 as the big and the small window icon.
  virtual void SetIcons() = 0;
  // The data exchange from the members to the controls (status text to 1003, version text to
  // 1001), shown at once although the thread handles no messages.
  virtual void TransferTexts(const std::string& status, const std::string& version) = 0;
  virtual void SetProgressRange(int low, int high) = 0;
  virtual void SetProgressStep(int step) = 0;
  virtual void StepProgress() = 0;
  virtual void SetProgressPosition(int position) = 0;
  virtual void StartTimer(unsigned id, unsigned periodMs) = 0;
  virtual void StopTimer(unsigned id) = 0;
  // A modal message box, owned by the window or without an owner; returns the button.
  virtual int ShowMessage(const std::string& text, const std::string& caption, std::uint32_t style,
                          bool ownedByWindow) = 0;
  // The hourglass (true) or the arrow (false).
  virtual void ShowWaitCursor(bool wait) = 0;
  // Ends the process. The real window never returns from it.
  virtual void EndProcess(int exitCode) = 0;
};

class InstallProgressWindow : public InstallerWindowLink {
 public:
  InstallProgressWindow(InstallProgressView& view, PortTypePrompt& portPrompt, const InstallerServices& services);
  InstallProgressWindow(const InstallProgressWindow&) = delete;
  InstallProgressWindow& operator=(const InstallProgressWindow&) = delete;

  // WM_INITDIALOG: icons, version text, progress range and step, the one-shot timer.
  void OnInitDialog();
  // WM_TIMER: the first tick of the flow timer stops it and runs the flow.
  void OnTimer(unsigned timerId);
  // WM_COMMAND: the window has no buttons, and Enter, Esc or the close box never end it.
  void OnCommand(int command);

  // InstallerWindowLink.
  void InstallStep(const std::string& text, std::uint32_t waitMs) override;
  void SetStatusText(const std::string& text) override { status_ = text; }
  void SetProgressPosition(int position) override { view_.SetProgressPosition(position); }
  void Refresh() override { view_.TransferTexts(status_, version_); }
  void ShowWaitCursor() override { view_.ShowWaitCursor(true); }
  int ShowOwnedMessage(const std::string& text, const std::string& caption, std::uint32_t style) override;
  int ShowUnownedMessage(const std::string& text, const std::string& caption, std::uint32_t style) override;
  void EndProcess(int exitCode) override { view_.EndProcess(exitCode); }
  removal::RemovalView& RemovalReport() override { return removalReport_; }

  DriverInstaller& installer() { return installer_; }
  const PortTypeDialog& portDialog() const { return portDialog_; }
  const std::string& statusText() const { return status_; }

 private:
  // The removal procedure's steps go into the same status text and bar; as the thread blocks
  // between them, each change is shown at once.
  class RemovalReportView : public removal::RemovalView {
   public:
    explicit RemovalReportView(InstallProgressWindow& window) : window_(window) {}
    int ShowMessage(const std::string& text, const std::string& caption, std::uint32_t style) override {
      return window_.ShowOwnedMessage(text, caption, style);
    }
    void ShowStatus(const std::string& text) override {
      window_.SetStatusText(text);
      window_.Refresh();
    }
    void EndProgram(int exitCode) override { window_.EndProcess(exitCode); }
    void StepProgress() override {
      window_.view_.StepProgress();
      window_.Refresh();
    }
    void SetProgressPosition(int position) override {
      window_.SetProgressPosition(position);
      window_.Refresh();
    }
    void ShowWaitCursor(bool wait) override { window_.view_.ShowWaitCursor(wait); }
    // The installer's variant returns to its caller instead of closing a dialog.
    void CloseDialog() override {}

   private:
    InstallProgressWindow& window_;
  };

  void RunFlow();

  InstallProgressView& view_;
  PortTypePrompt& portPrompt_;
  InstallerServices services_;
  DriverInstaller installer_;
  PortTypeDialog portDialog_;
  RemovalReportView removalReport_;
  std::string status_;
  std::string version_;
};

}  // namespace installer
