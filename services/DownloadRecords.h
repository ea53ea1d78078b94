// The records a download thread keeps about the document it downloads: the progress record
// its owner window reads, and one entry per file the download wrote.
#pragma once

#include "String.h"

// The progress of one download. The download thread fills it; the download queue window
// reads it while it handles UM_DOWNLOAD_PROGRESS, during which the thread waits.
struct DownloadStatus
{
    DownloadStatus() { Reset(); }

    // Every figure 0, both texts empty.
    void Reset();

    int m_nDone;            // 1 once the job has ended, with or without success
    double m_dRate;         // transfer rate in kilobytes per second
    int m_nCurrentPage;
    int m_nTotalPages;
    double m_dElapsed;      // seconds of the last transfer
    int m_nSuccess;         // 1: a source delivered the document
    CString m_strDocumentXml;  // the finished Document record text
    CString m_strTitle;
};

// One downloaded file of the document being downloaded.
struct CatalogFile
{
    CString m_strDownloadSourceName;  // Name of the recipe source that wrote it
    CString m_strFilePath;            // full path
    int m_nFileSize = 0;              // bytes; 0 when the file could not be opened
    CString m_strFileType;            // the recipe's OutputType, or "PDF"
};
