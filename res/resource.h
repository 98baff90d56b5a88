// Resource identifiers shared by the resource script and the program.
#pragma once

#define IDD_ABOUTBOX 100
#define IDS_ABOUTBOX 101
#define IDD_MAIN 102
#define IDR_MAINFRAME 128

#define IDC_SETTINGS_GROUP 1001
#define IDC_BAUD 1005
#define IDC_DATABITS 1006
#define IDC_PARITY 1007
#define IDC_STOPBITS 1008
#define IDC_PORT 1013
#define IDC_OPEN 1014

// The About item in the settings window's system menu; system commands keep their low four bits free.
#define IDM_ABOUTBOX 0x0010

