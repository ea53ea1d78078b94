#include "ProjectIds.h"

CTime ProjectEpoch()
{
    return CTime(2003, 1, 1, 12, 0, 0);
}

CTimeSpan SinceProjectEpoch(CTime now)
{
    return now - ProjectEpoch();
}

CString FormatDocumentUID(CString name, CTimeSpan sinceEpoch)
{
    return "DOCUID" + name + sinceEpoch.Format("%D%H%M%S");
}
