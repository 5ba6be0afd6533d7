// The port type dialog's presenter.
#include "installer/port_type_dialog.h"

namespace installer {

bool PortChoiceFromIndex(int index, PortChoice& choice) {
  static const PortChoice kChoices[kPortButtonCount] = {PortChoice::Com1, PortChoice::Com2, PortChoice::Com3,
                                                        PortChoice::Com4, PortChoice::Lpt1, PortChoice::Lpt2,
                                                        PortChoice::Usb};
  if (index < 0 || index >= kPortButtonCount) return false;
  choice = kChoices[index];
  return true;
}

std::string PortName(PortChoice choice) {
  switch (choice) {
    case PortChoice::Com1: return "COM1:";
    case PortChoice::Com2: return "COM2:";
    case PortChoice::Com3: return "COM3:";
    case PortChoice::Com4: return "COM4:";
    case PortChoice::Lpt1: return "LPT1:";
    case PortChoice::Lpt2: return "LPT2:";
    case PortChoice::Usb: break;
  }
  return std::string();
}

void PortTypeDialog::OnInitDialog(PortTypeView& view) { view.SetRadioIndex(selectionIndex_); }

void PortTypeDialog::OnCommand(PortTypeView& view, int command) {
  if (command == kCommandOk) {
    selectionIndex_ = view.GetRadioIndex();
    view.EndDialog(kCommandOk);
  } else if (command == kCommandCancel) {
    view.EndDialog(kCommandCancel);
  }
}

}  // namespace installer
