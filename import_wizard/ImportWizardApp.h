// CImportWizardApp: the import wizard's application object. InitInstance runs the whole life
// of the program: the single-instance guard (the mutex "Pimo"), for a start without the main
// program's token the look for an older installation's project file, then the wizard's
// window, modally. It always answers FALSE, so the framework ends the program through
// ExitInstance, which releases the mutex.
#pragma once

#include "Framework.h"

class CImportWizardApp : public CWinApp
{
public:
    CImportWizardApp();

    BOOL InitInstance() override;
    int ExitInstance() override;

    HANDLE m_hMutex = nullptr;

    DECLARE_MESSAGE_MAP()
};
