// The application object: runs the settings window, whose end is the end of the program.
#pragma once

#include "app/framework/windows/WinApp.h"

class CSerialKeyApp : public CWinApp {
protected:
    const MessageMap* GetMessageMap() const override;

public:
    BOOL InitInstance() override;
};
