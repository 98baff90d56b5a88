// The application object: runs the settings window, whose end is the end of the program.
#pragma once

#include "app/framework/windows/WinApp.h"

class CSerialKeyApp : public CWinApp {
protected:
    const MessageMap* GetMessageMap() const override;

public:
    // Reads the command line, then runs the settings window as it asks.
    BOOL InitInstance() override;
    int ExitInstance() override;

private:
    int m_nExitCode = 0;
};
