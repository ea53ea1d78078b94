// CBindStatusCallback: the callback object handed to URLDownloadToFileA for a page image.
// urlmon reaches the request negotiator (CHttpNegotiate) through it; everything else of the
// callback interface is answered as not implemented, and progress is not reported from here.
// It keeps what a transfer that must not hang needs: the binding urlmon hands it at the start
// (so that Abort can end the transfer from another thread, also while the reply stalls and no
// callback comes) and the time of the transfer's last sign of progress.
//
// The caller creates it right before the transfer and it ends with the caller's scope (the
// page transfer's task). Its count starts at 1, the caller's reference, which is never given
// up through Release: urlmon's AddRef/Release pairs move the count above 1 and back, and the
// object is never freed by them. The negotiator it owns is freed when the callback ends and
// urlmon holds it no more.
#pragma once

#include <windows.h>
#include <urlmon.h>

#include <atomic>
#include <mutex>

class CHttpNegotiate;

class CBindStatusCallback : public IBindStatusCallback
{
public:
    CBindStatusCallback();
    virtual ~CBindStatusCallback();
    CBindStatusCallback(const CBindStatusCallback&) = delete;
    CBindStatusCallback& operator=(const CBindStatusCallback&) = delete;

    // IUnknown and IHttpNegotiate (the owned negotiator) only.
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    STDMETHODIMP OnStartBinding(DWORD dwReserved, IBinding* pib) override;
    STDMETHODIMP GetPriority(LONG* pnPriority) override;
    STDMETHODIMP OnLowResource(DWORD reserved) override;
    STDMETHODIMP OnProgress(ULONG ulProgress, ULONG ulProgressMax, ULONG ulStatusCode,
                            LPCWSTR szStatusText) override;
    STDMETHODIMP OnStopBinding(HRESULT hresult, LPCWSTR szError) override;
    STDMETHODIMP GetBindInfo(DWORD* grfBINDF, BINDINFO* pbindinfo) override;
    STDMETHODIMP OnDataAvailable(DWORD grfBSCF, DWORD dwSize, FORMATETC* pformatetc,
                                 STGMEDIUM* pstgmed) override;
    STDMETHODIMP OnObjectAvailable(REFIID riid, IUnknown* punk) override;

    // The HTTP status of the transfer's last reply; 0 when none came.
    DWORD GetResponseStatus() const;

    // Ends the transfer: its binding is aborted (now, or at its start when it has not begun)
    // and every later progress call answers E_ABORT. May be called from any thread.
    void Abort();
    // Milliseconds since the transfer last made progress (or since the callback was made).
    DWORD IdleTime() const;

private:
    // Lets go of the binding once the transfer has ended.
    void ReleaseBinding();

    volatile LONG m_nRefCount = 1;
    CHttpNegotiate* m_pNegotiate = nullptr;
    std::mutex m_bindingLock;           // guards the two below
    IBinding* m_pBinding = nullptr;     // the running transfer's binding, with a reference
    bool m_bAborted = false;
    std::atomic<DWORD> m_dwLastProgress;  // tick count
};
