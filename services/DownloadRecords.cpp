#include "DownloadRecords.h"

void DownloadStatus::Reset()
{
    m_nDone = 0;
    m_dRate = 0.0;
    m_nCurrentPage = 0;
    m_nTotalPages = 0;
    m_dElapsed = 0.0;
    m_nSuccess = 0;
    m_strDocumentXml.Empty();
    m_strTitle.Empty();
}
