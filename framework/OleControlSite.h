// Hosting of ActiveX controls: a window of a class of the framework's own holds one control,
// created by its class id and kept in-place active over the window's client area; the
// window follows the control's life (moving or sizing it moves the control, destroying it
// closes the control). CWnd::CreateControl makes such a window; a dialog template can hold
// one too, as a control whose class name is the control's class id in braces, once
// AfxRegisterControlClass has registered that name. The control is reached through
// CWnd::GetControlUnknown and CWnd::InvokeHelper.
#pragma once

#include "Wnd.h"

#include <ole2.h>

// Argument types of CWnd::InvokeHelper, one byte each, in a string.
#define VTS_NONE ""
#define VTS_I4 "\x03"
#define VTS_BSTR "\x08"
#define VTS_BOOL "\x0B"
#define VTS_PVARIANT "\x4C"

// Registers the window class whose name is the class id in braces ("{8856F961-...}"), whose
// windows host that control; COM must be initialised on the threads that create them.
// TRUE when the class is registered (also when it was already).
BOOL AfxRegisterControlClass(REFCLSID clsid);

// The class-id name of AfxRegisterControlClass.
CString AfxControlClassName(REFCLSID clsid);

class COleControlSite;
// The site of the control that the window hosts, or null.
COleControlSite* AfxGetControlSite(HWND hWnd);

// The container side of one hosted control: its client site, in-place site and frame.
class COleControlSite final : public IOleClientSite, public IOleInPlaceSite, public IOleInPlaceFrame
{
public:
    explicit COleControlSite(HWND hWndHost);

    // Creates the control and activates it in place over the host's client area. An
    // HRESULT of the failing step when it cannot.
    HRESULT CreateControl(REFCLSID clsid);
    // Deactivates and closes the control and lets it go.
    void Close();
    // The control's rectangle: the host's client area.
    void UpdateRect();
    IUnknown* GetControlUnknown() const { return m_pObject; }
    // The control's own window, when it shows one.
    HWND GetControlWindow() const;

    // IUnknown
    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override;
    STDMETHODIMP_(ULONG) AddRef() override;
    STDMETHODIMP_(ULONG) Release() override;
    // IOleClientSite
    STDMETHODIMP SaveObject() override { return E_NOTIMPL; }
    STDMETHODIMP GetMoniker(DWORD, DWORD, IMoniker** ppmk) override;
    STDMETHODIMP GetContainer(IOleContainer** ppContainer) override;
    STDMETHODIMP ShowObject() override { return S_OK; }
    STDMETHODIMP OnShowWindow(BOOL) override { return S_OK; }
    STDMETHODIMP RequestNewObjectLayout() override { return E_NOTIMPL; }
    // IOleWindow (of the in-place site and of the frame)
    STDMETHODIMP GetWindow(HWND* phwnd) override;
    STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }
    // IOleInPlaceSite
    STDMETHODIMP CanInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnInPlaceActivate() override { return S_OK; }
    STDMETHODIMP OnUIActivate() override { return S_OK; }
    STDMETHODIMP GetWindowContext(IOleInPlaceFrame** ppFrame, IOleInPlaceUIWindow** ppDoc, LPRECT lprcPosRect,
                                  LPRECT lprcClipRect, LPOLEINPLACEFRAMEINFO lpFrameInfo) override;
    STDMETHODIMP Scroll(SIZE) override { return E_NOTIMPL; }
    STDMETHODIMP OnUIDeactivate(BOOL) override { return S_OK; }
    STDMETHODIMP OnInPlaceDeactivate() override { return S_OK; }
    STDMETHODIMP DiscardUndoState() override { return S_OK; }
    STDMETHODIMP DeactivateAndUndo() override { return S_OK; }
    STDMETHODIMP OnPosRectChange(LPCRECT lprcPosRect) override;
    // IOleInPlaceUIWindow
    STDMETHODIMP GetBorder(LPRECT) override { return E_NOTIMPL; }
    STDMETHODIMP RequestBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetBorderSpace(LPCBORDERWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetActiveObject(IOleInPlaceActiveObject*, LPCOLESTR) override { return S_OK; }
    // IOleInPlaceFrame
    STDMETHODIMP InsertMenus(HMENU, LPOLEMENUGROUPWIDTHS) override { return E_NOTIMPL; }
    STDMETHODIMP SetMenu(HMENU, HOLEMENU, HWND) override { return S_OK; }
    STDMETHODIMP RemoveMenus(HMENU) override { return E_NOTIMPL; }
    STDMETHODIMP SetStatusText(LPCOLESTR) override { return S_OK; }
    STDMETHODIMP EnableModeless(BOOL) override { return S_OK; }
    STDMETHODIMP TranslateAccelerator(LPMSG, WORD) override { return S_FALSE; }

private:
    ~COleControlSite();

    LONG m_nRefs = 1;
    HWND m_hWndHost;
    IOleObject* m_pObject = nullptr;
    IOleInPlaceObject* m_pInPlace = nullptr;
};
