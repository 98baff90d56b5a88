// The About box: the application icon, a line about the program, and a button to close it.
#pragma once

#include "app/framework/windows/Dialog.h"

// Everything the box does is the framework's: "關閉", Enter and Escape end it, F1 asks for its help.
class CAboutDlg : public CDialog {
public:
    CAboutDlg();
};
