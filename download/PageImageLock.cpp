#include "PageImageLock.h"

CRITICAL_SECTION g_PageImageLock;
