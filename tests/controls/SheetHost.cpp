#include "SheetHost.h"

BEGIN_MESSAGE_MAP(CTestHost, CWnd)
    ON_WM_ERASEBKGND()
    ON_WM_VSCROLL()
END_MESSAGE_MAP()
