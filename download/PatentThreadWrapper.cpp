// File-wrapper mode of the download thread: the file-wrapper library finds the US document
// and leaves its whole file wrapper as one PDF in the document's folder.
#include "PatentThread.h"

#include "DownloadManagerMessages.h"
#include "TextConversion.h"

CString CPatentThread::FileWrapperOutputPath() const
{
    CString name;
    name.Format("%d_1_%d.pdf", m_nDownloadID, m_nThreadCounter);
    return m_strTempFolderSlash + name;
}

int CPatentThread::DownloadFileWrapper()
{
    const CString path = FileWrapperOutputPath();
    if (m_Wrapper.StartSearch(AnsiToUtf16(m_strWrapperNumber).c_str(), static_cast<UINT_PTR>(m_dwMainWindow), 0) == 1)
        return 0;

    // Without the library's dialog only the document's first pages are wanted; the flag stays
    // for the rest of the job.
    if (!m_bShowDialog)
        m_bFirstPageOnly = true;
    const int result = m_Wrapper.ShowDialog(AnsiToUtf16(path).c_str(), m_bFirstPageOnly ? 0 : 1);
    if (result == -2) {
        ::SendMessageA(m_hOwner, UM_CANCEL_DOWNLOAD, static_cast<WPARAM>(m_nDownloadID), 0);
        return 0;
    }

    // Whatever the library answered, only a file with content is a document.
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExA(path, GetFileExInfoStandard, &data) || (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
        return 0;
    const ULONGLONG size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    if (size == 0)
        return 0;

    auto* file = new CatalogFile;
    file->m_strDownloadSourceName = "USPTO";
    file->m_strFilePath = path;
    file->m_nFileSize = size > 0x7FFFFFFF ? 0x7FFFFFFF : static_cast<int>(size);
    file->m_strFileType = "PDF";
    m_CatalogFiles.Add(file);
    return 1;
}
