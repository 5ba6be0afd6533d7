/* Resource and control ids of HRX410_Installer.exe, shared by installer.rc and the Win32
   views (which check them against the presenters' ids at compile time). */
#pragma once

#define IDI_INSTALLER          128
#define IDB_INSTALLER_PICTURE  129

#define IDD_INSTALL_PROGRESS   130
#define IDD_PORT_TYPE          131

/* The progress window. */
#define IDC_PROGRESS           1000
#define IDC_VERSION_TEXT       1001
#define IDC_STATUS_TEXT        1003

/* The port type dialog's radio group, in template order. */
#define IDC_PORT_COM1          1006
#define IDC_PORT_COM2          1008
#define IDC_PORT_COM3          1009
#define IDC_PORT_COM4          1011
#define IDC_PORT_LPT1          1007
#define IDC_PORT_LPT2          1010
#define IDC_PORT_USB           1001
