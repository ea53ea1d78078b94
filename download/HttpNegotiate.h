// CHttpNegotiate: the request negotiator urlmon asks the page-transfer callback for. It adds
// the bearer line of the current OPS access token to requests for the OPS service, and it
// turns every reply status other than 200 into a failure of the transfer. It also keeps the
// last status it saw, since urlmon does not always pass the failure on to the caller.
//
// Reference counting: the object is created with new and starts with one reference, held by
// its owner (the page-transfer callback), which gives it up with Release; urlmon's own
// AddRef/Release pairs come on top. The object frees itself when the last one is released.
#pragma once

#include <windows.h>
#include <urlmon.h>

class CHttpNegotiate : public IHttpNegotiate
{
public:
    CHttpNegotiate();
    CHttpNegotiate(const CHttpNegotiate&) = delete;
    CHttpNegotiate& operator=(const CHttpNegotiate&) = delete;

    // IUnknown: the negotiator is reached only through its owner, so it answers no interface.
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;

    // The OPS service: "Authorization:Bearer TOKEN\r\n" as additional headers, allocated with
    // CoTaskMemAlloc (urlmon frees it). Any other URL: nothing added.
    STDMETHODIMP BeginningTransaction(LPCWSTR szURL, LPCWSTR szHeaders, DWORD dwReserved,
                                      LPWSTR* pszAdditionalHeaders) override;
    // S_OK for 200, minus the status for any other.
    STDMETHODIMP OnResponse(DWORD dwResponseCode, LPCWSTR szResponseHeaders,
                            LPCWSTR szRequestHeaders, LPWSTR* pszAdditionalRequestHeaders) override;

    // The status of the last reply; 0 before any reply.
    DWORD GetLastStatus() const { return m_dwLastStatus; }

private:
    virtual ~CHttpNegotiate() = default;

    volatile LONG m_nRefCount = 1;
    volatile DWORD m_dwLastStatus = 0;
};
