/* Resource and control ids of the uninstaller's dialog, shared by its resource script, its
   Win32 view and its portable presenter (plain defines: the resource compiler reads them). */
#ifndef KIT_UNINSTALLER_UNINSTALL_DIALOG_IDS_H
#define KIT_UNINSTALLER_UNINSTALL_DIALOG_IDS_H

#define IDI_UNINSTALLER 128
#define IDD_UNINSTALL_DIALOG 129

#define IDC_UNINSTALL_STATUS 1000
#define IDC_UNINSTALL_BUTTON 1001
#define IDC_UNINSTALL_PROGRESS 1002
#define IDC_PRINTER_CHECK_LIST 1006
/* "Cancel" is the dialog manager's IDCANCEL (2). */

#endif
