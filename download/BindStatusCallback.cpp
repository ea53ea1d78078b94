#include "BindStatusCallback.h"

#include "HttpNegotiate.h"

#include <new>

CBindStatusCallback::CBindStatusCallback() : m_pNegotiate(new (std::nothrow) CHttpNegotiate)
{
}

CBindStatusCallback::~CBindStatusCallback()
{
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

STDMETHODIMP CBindStatusCallback::OnStartBinding(DWORD, IBinding*)
{
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
    return S_OK;
}

STDMETHODIMP CBindStatusCallback::OnStopBinding(HRESULT, LPCWSTR)
{
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
