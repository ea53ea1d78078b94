#include "MapStringToString.h"

IMPLEMENT_DYNAMIC(CMapStringToString, CObject)
