#include "OleControlSite.h"

#include "ComSupport.h"
#include "TextConversion.h"

#include <cstdarg>
#include <vector>

namespace {

const char kSiteProperty[] = "ZentrovaControlSite";

LRESULT CALLBACK ControlHostProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    COleControlSite* pSite = AfxGetControlSite(hWnd);
    switch (message) {
    case WM_CREATE: {
        char className[64] = {};
        ::GetClassNameA(hWnd, className, sizeof className);
        const std::wstring wide = AnsiToUtf16(className);
        CLSID clsid;
        if (SUCCEEDED(::CLSIDFromString(const_cast<LPOLESTR>(wide.c_str()), &clsid))) {
            pSite = new COleControlSite(hWnd);
            ::SetPropA(hWnd, kSiteProperty, pSite);
            // A control that cannot be created leaves the window empty; the window (and a
            // dialog that holds it) still comes up.
            if (FAILED(pSite->CreateControl(clsid))) {
                ::RemovePropA(hWnd, kSiteProperty);
                pSite->Close();
                pSite->Release();
            }
        }
        return 0;
    }
    case WM_SIZE:
        if (pSite)
            pSite->UpdateRect();
        break;
    case WM_SETFOCUS:
        if (pSite) {
            if (HWND hControl = pSite->GetControlWindow()) {
                ::SetFocus(hControl);
                return 0;
            }
        }
        break;
    case WM_ERASEBKGND: {
        RECT rect;
        ::GetClientRect(hWnd, &rect);
        ::FillRect(reinterpret_cast<HDC>(wParam), &rect, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        return 1;
    }
    case WM_DESTROY:
        if (pSite) {
            ::RemovePropA(hWnd, kSiteProperty);
            pSite->Close();
            pSite->Release();
        }
        break;
    default:
        break;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

} // namespace

CString AfxControlClassName(REFCLSID clsid)
{
    wchar_t text[64] = {};
    ::StringFromGUID2(clsid, text, 64);
    return Utf16ToAnsi(text);
}

BOOL AfxRegisterControlClass(REFCLSID clsid)
{
    const CString name = AfxControlClassName(clsid);
    WNDCLASSA existing;
    if (::GetClassInfoA(::GetModuleHandleA(nullptr), name, &existing))
        return TRUE;
    WNDCLASSA wc = {};
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = ControlHostProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.hCursor = ::LoadCursor(nullptr, IDC_ARROW);
    wc.lpszClassName = name;
    return ::RegisterClassA(&wc) != 0;
}

COleControlSite* AfxGetControlSite(HWND hWnd)
{
    return hWnd ? static_cast<COleControlSite*>(::GetPropA(hWnd, kSiteProperty)) : nullptr;
}

COleControlSite::COleControlSite(HWND hWndHost) : m_hWndHost(hWndHost) {}

COleControlSite::~COleControlSite() = default;

HRESULT COleControlSite::CreateControl(REFCLSID clsid)
{
    HRESULT hr = ::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER | CLSCTX_LOCAL_SERVER, IID_IOleObject,
                                    reinterpret_cast<void**>(&m_pObject));
    if (FAILED(hr))
        return hr;
    hr = m_pObject->SetClientSite(static_cast<IOleClientSite*>(this));
    if (FAILED(hr))
        return hr;
    IPersistStreamInit* pInit = nullptr;
    if (SUCCEEDED(m_pObject->QueryInterface(IID_IPersistStreamInit, reinterpret_cast<void**>(&pInit)))) {
        pInit->InitNew();
        pInit->Release();
    }
    RECT rect;
    ::GetClientRect(m_hWndHost, &rect);
    hr = m_pObject->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr, static_cast<IOleClientSite*>(this), 0, m_hWndHost,
                           &rect);
    if (FAILED(hr))
        return hr;
    m_pObject->QueryInterface(IID_IOleInPlaceObject, reinterpret_cast<void**>(&m_pInPlace));
    UpdateRect();
    return S_OK;
}

void COleControlSite::Close()
{
    if (m_pInPlace) {
        m_pInPlace->InPlaceDeactivate();
        m_pInPlace->Release();
        m_pInPlace = nullptr;
    }
    if (m_pObject) {
        m_pObject->Close(OLECLOSE_NOSAVE);
        m_pObject->SetClientSite(nullptr);
        m_pObject->Release();
        m_pObject = nullptr;
    }
}

void COleControlSite::UpdateRect()
{
    if (!m_pInPlace)
        return;
    RECT rect;
    ::GetClientRect(m_hWndHost, &rect);
    m_pInPlace->SetObjectRects(&rect, &rect);
}

HWND COleControlSite::GetControlWindow() const
{
    HWND hWnd = nullptr;
    if (m_pInPlace && SUCCEEDED(m_pInPlace->GetWindow(&hWnd)))
        return hWnd;
    return nullptr;
}

STDMETHODIMP COleControlSite::QueryInterface(REFIID riid, void** ppv)
{
    if (!ppv)
        return E_POINTER;
    if (riid == IID_IUnknown || riid == IID_IOleClientSite)
        *ppv = static_cast<IOleClientSite*>(this);
    else if (riid == IID_IOleWindow || riid == IID_IOleInPlaceSite)
        *ppv = static_cast<IOleInPlaceSite*>(this);
    else if (riid == IID_IOleInPlaceUIWindow || riid == IID_IOleInPlaceFrame)
        *ppv = static_cast<IOleInPlaceFrame*>(this);
    else {
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

STDMETHODIMP_(ULONG) COleControlSite::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&m_nRefs));
}

STDMETHODIMP_(ULONG) COleControlSite::Release()
{
    const LONG refs = ::InterlockedDecrement(&m_nRefs);
    if (refs == 0)
        delete this;
    return static_cast<ULONG>(refs);
}

STDMETHODIMP COleControlSite::GetMoniker(DWORD, DWORD, IMoniker** ppmk)
{
    if (ppmk)
        *ppmk = nullptr;
    return E_NOTIMPL;
}

STDMETHODIMP COleControlSite::GetContainer(IOleContainer** ppContainer)
{
    if (ppContainer)
        *ppContainer = nullptr;
    return E_NOINTERFACE;
}

STDMETHODIMP COleControlSite::GetWindow(HWND* phwnd)
{
    if (!phwnd)
        return E_POINTER;
    *phwnd = m_hWndHost;
    return S_OK;
}

STDMETHODIMP COleControlSite::GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc,
                                               LPRECT lprcPosRect, LPRECT lprcClipRect,
                                               LPOLEINPLACEFRAMEINFO lpFrameInfo)
{
    if (ppFrame) {
        *ppFrame = static_cast<IOleInPlaceFrame*>(this);
        AddRef();
    }
    if (ppDoc)
        *ppDoc = nullptr;
    if (lprcPosRect)
        ::GetClientRect(m_hWndHost, lprcPosRect);
    if (lprcClipRect)
        ::GetClientRect(m_hWndHost, lprcClipRect);
    if (lpFrameInfo) {
        lpFrameInfo->cb = sizeof(OLEINPLACEFRAMEINFO);
        lpFrameInfo->fMDIApp = FALSE;
        lpFrameInfo->hwndFrame = ::GetAncestor(m_hWndHost, GA_ROOT);
        lpFrameInfo->haccel = nullptr;
        lpFrameInfo->cAccelEntries = 0;
    }
    return S_OK;
}

STDMETHODIMP COleControlSite::OnPosRectChange(LPCRECT lprcPosRect)
{
    if (m_pInPlace && lprcPosRect)
        m_pInPlace->SetObjectRects(lprcPosRect, lprcPosRect);
    return S_OK;
}

// ---------------------------------------------------------------- CWnd's side

BOOL CWnd::CreateControl(REFCLSID clsid, const char* lpszWindowName, DWORD dwStyle, const RECT& rect,
                         CWnd* pParentWnd, UINT nID)
{
    if (!AfxRegisterControlClass(clsid))
        return FALSE;
    return CreateEx(0, AfxControlClassName(clsid), lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID);
}

IUnknown* CWnd::GetControlUnknown() const
{
    COleControlSite* pSite = AfxGetControlSite(m_hWnd);
    return pSite ? pSite->GetControlUnknown() : nullptr;
}

void CWnd::InvokeHelper(DISPID dwDispID, WORD wFlags, VARTYPE vtRet, void* pvRet, const BYTE* pbParamInfo, ...)
{
    IUnknown* pUnknown = GetControlUnknown();
    if (!pUnknown)
        _com_issue_error(E_NOINTERFACE);
    IDispatch* pDispatch = nullptr;
    HRESULT hr = pUnknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&pDispatch));
    if (FAILED(hr))
        _com_issue_error(hr);

    // The arguments in the order given; DISPPARAMS takes them last first.
    std::vector<VARIANT> args;
    va_list list;
    va_start(list, pbParamInfo);
    for (const BYTE* p = pbParamInfo; p && *p; ++p) {
        VARIANT v;
        ::VariantInit(&v);
        switch (*p) {
        case VT_I4:
            v.vt = VT_I4;
            v.lVal = va_arg(list, long);
            break;
        case VT_BOOL:
            v.vt = VT_BOOL;
            v.boolVal = va_arg(list, BOOL) ? VARIANT_TRUE : VARIANT_FALSE;
            break;
        case VT_BSTR: {
            const char* text = va_arg(list, const char*);
            v.vt = VT_BSTR;
            v.bstrVal = ::SysAllocString(AnsiToUtf16(text ? text : "").c_str());
            break;
        }
        case VT_VARIANT | 0x40:
            v.vt = VT_VARIANT | VT_BYREF;
            v.pvarVal = va_arg(list, VARIANT*);
            break;
        default:
            break;
        }
        args.push_back(v);
    }
    va_end(list);
    std::vector<VARIANT> reversed(args.rbegin(), args.rend());

    DISPPARAMS params = {};
    params.cArgs = static_cast<UINT>(reversed.size());
    params.rgvarg = reversed.empty() ? nullptr : reversed.data();
    DISPID putId = DISPID_PROPERTYPUT;
    if (wFlags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) {
        params.cNamedArgs = 1;
        params.rgdispidNamedArgs = &putId;
    }
    VARIANT result;
    ::VariantInit(&result);
    hr = pDispatch->Invoke(dwDispID, IID_NULL, LOCALE_USER_DEFAULT, wFlags, &params,
                           vtRet == VT_EMPTY ? nullptr : &result, nullptr, nullptr);
    pDispatch->Release();
    for (VARIANT& v : args)
        if (v.vt == VT_BSTR)
            ::VariantClear(&v);
    if (FAILED(hr))
        _com_issue_error(hr);
    if (vtRet != VT_EMPTY && pvRet) {
        VARIANT converted;
        ::VariantInit(&converted);
        hr = ::VariantChangeType(&converted, &result, 0, vtRet);
        ::VariantClear(&result);
        if (FAILED(hr))
            _com_issue_error(hr);
        switch (vtRet) {
        case VT_BSTR:
            *static_cast<CString*>(pvRet) = converted.bstrVal ? Utf16ToAnsi(converted.bstrVal) : CString();
            break;
        case VT_I4:
            *static_cast<long*>(pvRet) = converted.lVal;
            break;
        case VT_BOOL:
            *static_cast<BOOL*>(pvRet) = converted.boolVal != VARIANT_FALSE;
            break;
        default:
            break;
        }
        ::VariantClear(&converted);
    } else {
        ::VariantClear(&result);
    }
}
