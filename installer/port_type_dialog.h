// PortTypeDialog: the installer's one question, the port the printer is on, as a group of
// seven radio buttons and a "&Next" button. The presenter keeps the selection index and
// exchanges it with the radio group; PortTypeView is the dialog window.
#pragma once
#include <string>

namespace installer {

// The port a printer queue is created on; Usb creates none.
enum class PortChoice { Com1, Com2, Com3, Com4, Lpt1, Lpt2, Usb };

// Dialog commands (IDOK, IDCANCEL): "&Next" is the OK command; the close box and Esc cancel.
constexpr int kCommandOk = 1;
constexpr int kCommandCancel = 2;

// The radio buttons in template order: the index of a button is its selection index.
constexpr int kPortButtonIds[] = {1006, 1008, 1009, 1011, 1007, 1010, 1001};
constexpr int kPortButtonCount = 7;
// LPT1.
constexpr int kInitialPortIndex = 4;

// The choice of a selection index; false outside 0..6.
bool PortChoiceFromIndex(int index, PortChoice& choice);
// The spooler's port name: "COM1:" ... "LPT2:"; empty for Usb.
std::string PortName(PortChoice choice);

class PortTypeView {
 public:
  virtual ~PortTypeView() = default;
  // Checks the button of that index (unchecking the others); none for an index outside the
  // group.
  virtual void SetRadioIndex(int index) = 0;
  // The index of the checked button, -1 when none is checked.
  virtual int GetRadioIndex() = 0;
  virtual void EndDialog(int command) = 0;
};

class PortTypeDialog {
 public:
  // WM_INITDIALOG: the selection index into the radio group.
  void OnInitDialog(PortTypeView& view);
  // WM_COMMAND: OK takes the radio group's index and ends the dialog; Cancel (close box, Esc)
  // ends it leaving the index as it was.
  void OnCommand(PortTypeView& view, int command);

  int selectionIndex() const { return selectionIndex_; }

 private:
  int selectionIndex_ = kInitialPortIndex;
};

// Runs the dialog modally over the progress window; returns the command that ended it.
class PortTypePrompt {
 public:
  virtual ~PortTypePrompt() = default;
  virtual int Run(PortTypeDialog& dialog) = 0;
};

}  // namespace installer
