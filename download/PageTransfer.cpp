#include "PageTransfer.h"

#include "BindStatusCallback.h"
#include "WorkerTask.h"

#include <memory>

namespace {

// A new empty file in the system's temporary folder for one transfer; empty when none can
// be made.
CString NewTransferFile()
{
    char folder[2048] = "";
    const DWORD n = ::GetTempPathA(2000, folder);
    if (n == 0 || n >= 2000)
        return CString();
    char file[2048 + MAX_PATH] = "";
    if (!::GetTempFileNameA(folder, "pat", 0, file))
        return CString();
    return CString(file);
}

class CPageTransferTask : public CWorkerTask
{
public:
    CPageTransferTask(const CString& url, const CString& file) : m_url(url), m_file(file) {}

    CBindStatusCallback m_callback;
    HRESULT m_hr = E_FAIL;
    DWORD m_dwStatus = 0;

protected:
    void Perform() override
    {
        // The worker is a thread of its own: urlmon wants COM there.
        const HRESULT hrCom = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
        m_hr = ::URLDownloadToFileA(nullptr, m_url, m_file, 0, &m_callback);
        m_dwStatus = m_callback.GetResponseStatus();
        if (IsLetGo())
            ::DeleteFileA(m_file);
        if (SUCCEEDED(hrCom))
            ::CoUninitialize();
    }
    void OnLetGo() override { m_callback.Abort(); }

private:
    const CString m_url;
    const CString m_file;
};

} // namespace

PageTransfer TransferPageFile(const CString& url, const std::function<bool()>& isStopped, DWORD dwReplyTimeout)
{
    PageTransfer result;
    const CString file = NewTransferFile();
    if (file.IsEmpty())
        return result;

    auto task = std::make_shared<CPageTransferTask>(url, file);
    bool bStopped = false;
    const bool bFinished = CWorkerTask::Run(task, [&] {
        bStopped = isStopped();
        return bStopped || task->m_callback.IdleTime() >= dwReplyTimeout;
    });
    if (!bFinished) {
        // The worker deletes the file once urlmon returns; when it has already returned, this
        // does.
        ::DeleteFileA(file);
        result.outcome = bStopped ? PageTransfer::Stopped : PageTransfer::TimedOut;
        return result;
    }
    result.hr = task->m_hr;
    result.dwStatus = task->m_dwStatus;
    if (result.hr == S_OK && (result.dwStatus == 0 || result.dwStatus == 200)) {
        result.outcome = PageTransfer::Done;
        result.file = file;
    } else {
        ::DeleteFileA(file);
        result.outcome = PageTransfer::Failed;
    }
    return result;
}
