#include "BindStatusCallback.h"

#include "HttpNegotiate.h"

#include <new>

CBindStatusCallback::CBindStatusCallback()
    : m_pNegotiate(new (std::nothrow) CHttpNegotiate), m_dwLastProgress(GetTickCount())
{
}

CBindStatusCallback::~CBindStatusCallback()
{
    ReleaseBinding();
    if (m_pNegotiate)
        m_pNegotiate->Release();
}

STDMETHODIMP CBindStatusCallback::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_INVALIDARG;
    *ppv = nullptr;
    if (IsEqualIID(riid, IID_IUnknown)) {
        *ppv = static_cast<IUnknown*>(this);
        AddRef();
        return S_OK;
    }
    if (IsEqualIID(riid, IID_IHttpNegotiate) && m_pNegotiate) {
        *ppv = static_cast<IHttpNegotiate*>(m_pNegotiate);
        m_pNegotiate->AddRef();
        return S_OK;
    }
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CBindStatusCallback::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_nRefCount));
}

STDMETHODIMP_(ULONG) CBindStatusCallback::Release()
{
    // The caller's own reference keeps the count at 1 or more for the object's whole life; a
    // count that falls lower would be a release nobody owned, and frees nothing.
    return static_cast<ULONG>(InterlockedDecrement(&m_nRefCount));
}

STDMETHODIMP CBindStatusCallback::OnStartBinding(DWORD, IBinding* pib)
{
    m_dwLastProgress = GetTickCount();
    if (!pib)
        return E_NOTIMPL;
    ReleaseBinding();
    pib->AddRef();
    bool bAbortNow;
    {
        std::lock_guard<std::mutex> hold(m_bindingLock);
        m_pBinding = pib;
        bAbortNow = m_bAborted;
    }
    // An abort that came before the transfer began ends it now.
    if (bAbortNow)
        pib->Abort();
    return E_NOTIMPL;
}

STDMETHODIMP CBindStatusCallback::GetPriority(LONG*)
{
    return E_NOTIMPL;
}

STDMETHODIMP CBindStatusCallback::OnLowResource(DWORD)
{
    return E_NOTIMPL;
}

STDMETHODIMP CBindStatusCallback::OnProgress(ULONG, ULONG, ULONG, LPCWSTR)
{
    m_dwLastProgress = GetTickCount();
    std::lock_guard<std::mutex> hold(m_bindingLock);
    return m_bAborted ? E_ABORT : S_OK;
}

STDMETHODIMP CBindStatusCallback::OnStopBinding(HRESULT, LPCWSTR)
{
    ReleaseBinding();
    return E_NOTIMPL;
}

STDMETHODIMP CBindStatusCallback::GetBindInfo(DWORD*, BINDINFO*)
{
    return E_NOTIMPL;
}

STDMETHODIMP CBindStatusCallback::OnDataAvailable(DWORD, DWORD, FORMATETC*, STGMEDIUM*)
{
    return E_NOTIMPL;
}

STDMETHODIMP CBindStatusCallback::OnObjectAvailable(REFIID, IUnknown*)
{
    return E_NOTIMPL;
}

DWORD CBindStatusCallback::GetResponseStatus() const
{
    return m_pNegotiate ? m_pNegotiate->GetLastStatus() : 0;
}

void CBindStatusCallback::Abort()
{
    IBinding* binding;
    {
        std::lock_guard<std::mutex> hold(m_bindingLock);
        m_bAborted = true;
        binding = m_pBinding;
        if (binding)
            binding->AddRef();
    }
    // urlmon takes the abort from another thread: it ends the transfer at once, also while
    // the reply stalls.
    if (binding) {
        binding->Abort();
        binding->Release();
    }
}

DWORD CBindStatusCallback::IdleTime() const
{
    return GetTickCount() - m_dwLastProgress;
}

void CBindStatusCallback::ReleaseBinding()
{
    IBinding* binding;
    {
        std::lock_guard<std::mutex> hold(m_bindingLock);
        binding = m_pBinding;
        m_pBinding = nullptr;
    }
    if (binding)
        binding->Release();
}
