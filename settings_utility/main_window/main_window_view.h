// What the main window's presenter needs of its window. The Win32 dialog implements it;
// unit tests drive the presenter through a recording fake.
#pragma once
#include <string>

#include "platform/os_codes.h"
#include "settings_utility/main_window/message_presenter.h"

namespace kora {

struct FileDialogSpec {
  bool save = false;           // save dialog, else open dialog
  std::string title;
  std::string initialName;
  std::string filter;          // "Description|pattern|" pairs
  bool overwritePrompt = false;
  bool createPrompt = false;
  bool fileMustExist = false;
};

class MainWindowView : public MessagePresenter {
 public:
  virtual ~MainWindowView() = default;

  // Icon, window size and heading font: the look the window takes at initialisation.
  virtual void PrepareWindow() = 0;

  virtual void EnableControl(int id, bool enable) = 0;
  // Window text of a control; for the push buttons this is the caption the user sees.
  virtual void SetControlText(int id, const std::string& text) = 0;

  virtual void ResetCombo(int id) = 0;
  virtual void AddComboString(int id, const std::string& text) = 0;
  // -1 clears the selection.
  virtual void SetComboSelection(int id, int index) = 0;
  virtual int GetComboSelection(int id) = 0;

  virtual void SetProgressPosition(int position) = 0;
  virtual void SetProgressStep(int step) = 0;
  virtual void StepProgress() = 0;

  // ShowMessage (from MessagePresenter): a modal box owned by the window, OK button only.

  virtual void StartTimer(unsigned id, unsigned periodMs) = 0;
  virtual void StopTimer(unsigned id) = 0;

  virtual void RedrawWindow() = 0;
  virtual void RedrawControl(int id) = 0;

  // Ends the modal dialog with IDOK or IDCANCEL.
  virtual void EndDialog(int result) = 0;

  // The standard open or save dialog, owned by the window; true and the chosen path when it
  // ended with OK.
  virtual bool ShowFileDialog(const FileDialogSpec& dialog, std::string& path) = 0;
};

}  // namespace kora
