#include "ComSupport.h"

#include "TextConversion.h"

#include <cstring>

namespace _com_util {

BSTR WINAPI ConvertStringToBSTR(const char* pSrc)
{
    if (!pSrc)
        return nullptr;
    const std::wstring wide = AnsiToUtf16(pSrc);
    BSTR result = SysAllocStringLen(wide.data(), static_cast<UINT>(wide.size()));
    if (!result)
        _com_issue_error(E_OUTOFMEMORY);
    return result;
}

// The caller (_bstr_t) frees the result with delete[].
char* WINAPI ConvertBSTRToString(BSTR pSrc)
{
    if (!pSrc)
        return nullptr;
    const CString ansi = Utf16ToAnsi(pSrc, static_cast<int>(SysStringLen(pSrc)));
    char* result = new char[static_cast<size_t>(ansi.GetLength()) + 1];
    std::memcpy(result, ansi.GetString(), static_cast<size_t>(ansi.GetLength()) + 1);
    return result;
}

} // namespace _com_util

void WINAPI _com_issue_errorex(HRESULT hr, IUnknown* pUnknown, REFIID riid)
{
    IErrorInfo* pErrorInfo = nullptr;
    ISupportErrorInfo* pSupport = nullptr;
    if (pUnknown && SUCCEEDED(pUnknown->QueryInterface(IID_ISupportErrorInfo,
                                                       reinterpret_cast<void**>(&pSupport)))) {
        if (pSupport->InterfaceSupportsErrorInfo(riid) == S_OK &&
            GetErrorInfo(0, &pErrorInfo) != S_OK)
            pErrorInfo = nullptr;
        pSupport->Release();
    }
    // _com_error takes over the reference.
    __mingw_com_error_handler(hr, pErrorInfo);
}
