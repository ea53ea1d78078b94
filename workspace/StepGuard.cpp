#include "StepGuard.h"

#include "String.h"

#include <windows.h>

void ReportStepException(const char* what)
{
    ::MessageBoxA(nullptr, CString("Exception while ") + what + "\r\nPlease report this to product support team",
                  "Exception", MB_OK);
}
