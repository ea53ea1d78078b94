// What of the page images is the download thread's own: the first-pages run, the progress
// message before every page, and the page-image judge (Vostrel.dll, loaded from the program
// folder), which may have a page replaced by the shipped replace.tif.
#include "PatentThread.h"

#include "DataFiles.h"
#include "DownloadManagerMessages.h"
#include "PageImageLock.h"
#include "TextConversion.h"

namespace {

// The judge's export: download id, address of the rejected flag, the image path (UTF-16).
using TestImageProc = int(__cdecl*)(int, int*, const wchar_t*);

// Holds the page-image lock for one scope.
class CPageImageLockScope
{
public:
    CPageImageLockScope() { ::EnterCriticalSection(&g_PageImageLock); }
    ~CPageImageLockScope() { ::LeaveCriticalSection(&g_PageImageLock); }
    CPageImageLockScope(const CPageImageLockScope&) = delete;
    CPageImageLockScope& operator=(const CPageImageLockScope&) = delete;
};

} // namespace

bool CPatentThread::PlanPages(int nTotal, PagePlan& plan)
{
    if (m_nBusy == 0)
        return false;  // the download was cancelled
    // A document no longer than the page limit is fetched whole.
    if (m_bFirstPageOnly && nTotal <= m_nPageLimit)
        m_bFirstPageOnly = false;
    if (m_bFirstPageOnly) {
        plan.nLimit = m_nPageLimit;
        plan.bFirstPages = true;
        plan.bKeepExisting = true;
    }
    return true;
}

void CPatentThread::PageStarting()
{
    ::SendMessageA(m_hOwner, UM_DOWNLOAD_PROGRESS, static_cast<WPARAM>(m_nDownloadID), 0);
}

void CPatentThread::JudgePage(const CString& imagePath)
{
    if (imagePath.Find(".pdf") >= 0)
        return;
    CPageImageLockScope lock;
    m_strCurrentImagePath = imagePath;
    TestImage(imagePath);
}

int CPatentThread::TestImage(CString imagePath)
{
    const CString folder = GetAppDirectory();
    HMODULE judge = ::LoadLibraryA(folder + "\\Vostrel.dll");
    m_nImageRejected = 0;
    int nVerdict = 0;
    if (judge) {
        auto test = reinterpret_cast<TestImageProc>(
            reinterpret_cast<void*>(::GetProcAddress(judge, "TestImage")));
        if (test)
            nVerdict = test(m_nDownloadID, &m_nImageRejected, AnsiToUtf16(imagePath).c_str());
        ::FreeLibrary(judge);
    }
    if (nVerdict == 1 || m_nImageRejected == 1) {
        ::CopyFileA(folder + "\\replace.tif", imagePath, FALSE);
        return 1;
    }
    return 0;
}

void CPatentThread::OnUseReplacementImage(WPARAM, LPARAM)
{
    ::MessageBoxA(nullptr, "Message received", "AS", MB_OK);
    m_nImageRejected = 1;
    // Only an image that is still there is replaced: once a page has been converted its
    // image is gone, and a copy would leave a stray file in the document's folder.
    if (!m_strCurrentImagePath.IsEmpty() &&
        ::GetFileAttributesA(m_strCurrentImagePath) != INVALID_FILE_ATTRIBUTES)
        ::CopyFileA(GetAppDirectory() + "\\replace.tif", m_strCurrentImagePath, FALSE);
}
