#include "AnimateCtrl.h"

IMPLEMENT_DYNAMIC(CAnimateCtrl, CWnd)
