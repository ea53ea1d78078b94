#include "HttpNegotiate.h"

#include "OpsTokenCache.h"
#include "ServiceHosts.h"
#include "TextConversion.h"

#include <cstring>
#include <string>

CHttpNegotiate::CHttpNegotiate() = default;

STDMETHODIMP CHttpNegotiate::QueryInterface(REFIID, void** ppv)
{
    if (ppv)
        *ppv = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP_(ULONG) CHttpNegotiate::AddRef()
{
    return static_cast<ULONG>(InterlockedIncrement(&m_nRefCount));
}

STDMETHODIMP_(ULONG) CHttpNegotiate::Release()
{
    const LONG count = InterlockedDecrement(&m_nRefCount);
    if (count == 0)
        delete this;
    return static_cast<ULONG>(count);
}

STDMETHODIMP CHttpNegotiate::BeginningTransaction(LPCWSTR szURL, LPCWSTR, DWORD,
                                                  LPWSTR* pszAdditionalHeaders)
{
    if (!szURL || !pszAdditionalHeaders || !IsOpsUrl(Utf16ToAnsi(szURL)))
        return S_OK;
    const std::wstring line = AnsiToUtf16("Authorization:Bearer " + COpsTokenCache::GetToken() + "\r\n");
    const size_t bytes = (line.size() + 1) * sizeof(wchar_t);
    auto* text = static_cast<LPWSTR>(CoTaskMemAlloc(bytes));
    if (!text)
        return E_OUTOFMEMORY;
    std::memcpy(text, line.c_str(), bytes);
    *pszAdditionalHeaders = text;
    return S_OK;
}

STDMETHODIMP CHttpNegotiate::OnResponse(DWORD dwResponseCode, LPCWSTR, LPCWSTR,
                                        LPWSTR* pszAdditionalRequestHeaders)
{
    if (pszAdditionalRequestHeaders)
        *pszAdditionalRequestHeaders = nullptr;
    m_dwLastStatus = dwResponseCode;
    return dwResponseCode == 200 ? S_OK : -static_cast<HRESULT>(dwResponseCode);
}
