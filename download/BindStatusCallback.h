// CBindStatusCallback: the callback object handed to URLDownloadToFileA for a page image.
// urlmon reaches the request negotiator (CHttpNegotiate) through it; everything else of the
// callback interface is answered as not implemented, and progress is not reported from here.
//
// The caller creates it as a local object right before the transfer and it ends with the
// caller's scope. Its count starts at 1, the caller's reference, which is never given up
// through Release: urlmon's AddRef/Release pairs move the count above 1 and back, and the
// object is never freed by them. The negotiator it owns is freed when the callback ends and
// urlmon holds it no more.
#pragma once

#include <windows.h>
#include <urlmon.h>

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

private:
    volatile LONG m_nRefCount = 1;
    CHttpNegotiate* m_pNegotiate = nullptr;
};
