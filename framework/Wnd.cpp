#include "Wnd.h"

#include "DC.h"
#include "Exception.h"
#include "Font.h"
#include "HandleMap.h"
#include "Menu.h"
#include "ScrollBar.h"
#include "ThreadState.h"
#include "WinApp.h"
#include "WinThread.h"

#include <exception>

IMPLEMENT_DYNCREATE(CWnd, CCmdTarget)

BEGIN_MESSAGE_MAP(CWnd, CCmdTarget)
END_MESSAGE_MAP()

const char* const AfxDefaultWndClass = "ZentrovaFrameworkWnd";

const CWnd CWnd::wndTop(HWND_TOP);
const CWnd CWnd::wndBottom(HWND_BOTTOM);
const CWnd CWnd::wndTopMost(HWND_TOPMOST);
const CWnd CWnd::wndNoTopMost(HWND_NOTOPMOST);

namespace {

CPermanentHandleMap<HWND, CWnd>& PermanentMap()
{
    // Never destroyed: window objects with static storage may still look it up at exit.
    static auto* map = new CPermanentHandleMap<HWND, CWnd>;
    return *map;
}

void RegisterDefaultClass()
{
    static bool s_registered = false;
    if (s_registered)
        return;
    WNDCLASSEXA wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_DBLCLKS;
    wc.lpfnWndProc = AfxWndProc;
    wc.hInstance = AfxGetInstanceHandle();
    wc.hCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    wc.lpszClassName = AfxDefaultWndClass;
    s_registered = ::RegisterClassExA(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

// The popup menu object holding item nID within hMenu: the permanent object of the menu
// that holds it, or of the closest enclosing menu that has one.
CMenu* FindMenuItemHolder(HMENU hMenu, UINT nID, CMenu* pEnclosing, int depth)
{
    if (!hMenu || depth > 16)
        return nullptr;
    CMenu* pHere = CMenu::FromHandlePermanent(hMenu);
    if (!pHere)
        pHere = pEnclosing;
    int n = ::GetMenuItemCount(hMenu);
    for (int i = 0; i < n; ++i) {
        HMENU hSub = ::GetSubMenu(hMenu, i);
        if (hSub) {
            // An item that opens a sub-menu carries the sub-menu's handle as its id: the
            // request goes to the sub-menu's own object.
            if (static_cast<UINT>(reinterpret_cast<UINT_PTR>(hSub)) == nID) {
                if (CMenu* p = CMenu::FromHandlePermanent(hSub))
                    return p;
            }
            if (CMenu* p = FindMenuItemHolder(hSub, nID, pHere, depth + 1))
                return p;
        } else if (::GetMenuItemID(hMenu, i) == nID) {
            return pHere;
        }
    }
    return nullptr;
}

} // namespace

// ---------------------------------------------------------------- handle map

CWnd::~CWnd()
{
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this) {
        HWND h = m_hWnd;
        if (::GetWindowThreadProcessId(h, nullptr) == ::GetCurrentThreadId())
            CWnd::DestroyWindow();
        if (m_hWnd) {
            // The window outlives the object (another thread's window): give it its own
            // procedure back.
            if (m_pfnPrevWndProc && reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(h, GWLP_WNDPROC)) == AfxWndProc)
                ::SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnPrevWndProc));
            Detach();
        }
    }
}

CWnd* CWnd::FromHandlePermanent(HWND hWnd)
{
    return hWnd ? PermanentMap().Find(hWnd) : nullptr;
}

CWnd* CWnd::FromHandle(HWND hWnd)
{
    if (!hWnd)
        return nullptr;
    if (CWnd* p = FromHandlePermanent(hWnd))
        return p;
    AfxThreadState* s = AfxGetThreadState();
    CWnd* p = s->tempWnd.Find(hWnd);
    if (!p) {
        p = new CWnd(hWnd);
        s->tempWnd.Add(hWnd, p);
    }
    return p;
}

BOOL CWnd::Attach(HWND hWndNew)
{
    if (!hWndNew || m_hWnd || FromHandlePermanent(hWndNew))
        return FALSE;
    PermanentMap().Add(hWndNew, this);
    m_hWnd = hWndNew;
    return TRUE;
}

HWND CWnd::Detach()
{
    HWND h = m_hWnd;
    if (h)
        PermanentMap().Remove(h, this);
    m_hWnd = nullptr;
    return h;
}

BOOL CWnd::SubclassWindow(HWND hWnd)
{
    if (!::IsWindow(hWnd) || !Attach(hWnd))
        return FALSE;
    PreSubclassWindow();
    WNDPROC old = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc)));
    if (old != AfxWndProc)
        m_pfnPrevWndProc = old;
    return TRUE;
}

BOOL CWnd::SubclassDlgItem(UINT nID, CWnd* pParent)
{
    HWND hCtl = pParent ? ::GetDlgItem(pParent->m_hWnd, static_cast<int>(nID)) : nullptr;
    return hCtl ? SubclassWindow(hCtl) : FALSE;
}

HWND CWnd::UnsubclassWindow()
{
    if (m_hWnd && m_pfnPrevWndProc) {
        ::SetWindowLongPtrA(m_hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnPrevWndProc));
        m_pfnPrevWndProc = nullptr;
    }
    return Detach();
}

void CWnd::PreSubclassWindow()
{
}

void CWnd::PostNcDestroy()
{
}

void CWnd::OnFinalNcDestroy()
{
    HWND h = m_hWnd;
    if (m_pfnPrevWndProc) {
        if (reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(h, GWLP_WNDPROC)) == AfxWndProc)
            ::SetWindowLongPtrA(h, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(m_pfnPrevWndProc));
        m_pfnPrevWndProc = nullptr;
    }
    Detach();
    // The main window of a thread is gone: the thread's message loop ends.
    CWinThread* pThread = AfxGetThread();
    if (pThread && pThread->m_pMainWnd == this) {
        pThread->m_pMainWnd = nullptr;
        ::PostQuitMessage(0);
    }
    PostNcDestroy();
}

// ---------------------------------------------------------------- creation

LRESULT CALLBACK AfxCbtHookProc(int nCode, WPARAM wParam, LPARAM lParam)
{
    AfxThreadState* s = AfxGetThreadState();
    if (nCode == HCBT_CREATEWND && s->pWndInit) {
        CWnd* pWnd = s->pWndInit;
        s->pWndInit = nullptr;
        HWND hWnd = reinterpret_cast<HWND>(wParam);
        if (pWnd->Attach(hWnd)) {
            pWnd->PreSubclassWindow();
            WNDPROC cur = reinterpret_cast<WNDPROC>(::GetWindowLongPtrA(hWnd, GWLP_WNDPROC));
            if (cur != AfxWndProc) {
                pWnd->m_pfnPrevWndProc = reinterpret_cast<WNDPROC>(
                    ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(AfxWndProc)));
            }
        }
    }
    return ::CallNextHookEx(s->hHookCbt, nCode, wParam, lParam);
}

void CWnd::HookWindowCreate()
{
    AfxThreadState* s = AfxGetThreadState();
    if (!s->hHookCbt)
        s->hHookCbt = ::SetWindowsHookExA(WH_CBT, AfxCbtHookProc, nullptr, ::GetCurrentThreadId());
    s->pWndInit = this;
}

void CWnd::UnhookWindowCreate()
{
    AfxGetThreadState()->pWndInit = nullptr;
}

BOOL CWnd::PreCreateWindow(CREATESTRUCTA& cs)
{
    if (!cs.lpszClass) {
        RegisterDefaultClass();
        cs.lpszClass = AfxDefaultWndClass;
    }
    return TRUE;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, const char* lpszClassName, const char* lpszWindowName,
                    DWORD dwStyle, int x, int y, int nWidth, int nHeight, HWND hWndParent,
                    HMENU nIDorHMenu, LPVOID lpParam)
{
    if (m_hWnd)
        return FALSE;
    CREATESTRUCTA cs{};
    cs.dwExStyle = dwExStyle;
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.style = static_cast<LONG>(dwStyle);
    cs.x = x;
    cs.y = y;
    cs.cx = nWidth;
    cs.cy = nHeight;
    cs.hwndParent = hWndParent;
    cs.hMenu = nIDorHMenu;
    cs.hInstance = AfxGetInstanceHandle();
    cs.lpCreateParams = lpParam;
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    HookWindowCreate();
    HWND hWnd = ::CreateWindowExA(cs.dwExStyle, cs.lpszClass, cs.lpszName, static_cast<DWORD>(cs.style),
                                  cs.x, cs.y, cs.cx, cs.cy, cs.hwndParent, cs.hMenu, cs.hInstance,
                                  cs.lpCreateParams);
    UnhookWindowCreate();
    return hWnd != nullptr && hWnd == m_hWnd;
}

BOOL CWnd::CreateEx(DWORD dwExStyle, const char* lpszClassName, const char* lpszWindowName,
                    DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID, LPVOID lpParam)
{
    return CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top,
                    rect.right - rect.left, rect.bottom - rect.top, AfxHwndOf(pParentWnd),
                    reinterpret_cast<HMENU>(static_cast<UINT_PTR>(nID)), lpParam);
}

BOOL CWnd::Create(const char* lpszClassName, const char* lpszWindowName, DWORD dwStyle,
                  const RECT& rect, CWnd* pParentWnd, UINT nID, CCreateContext* pContext)
{
    return CreateEx(0, lpszClassName, lpszWindowName, dwStyle | WS_CHILD, rect, pParentWnd, nID,
                    pContext);
}

BOOL CWnd::DestroyWindow()
{
    HWND h = m_hWnd;
    if (!h)
        return FALSE;
    bool permanent = FromHandlePermanent(h) == this;
    BOOL ok = ::DestroyWindow(h);
    if (!permanent)
        m_hWnd = nullptr; // a wrapper only: the window was not ours to follow
    return ok;
}

void CWnd::CalcWindowRect(LPRECT lpClientRect, UINT nAdjustType)
{
    DWORD dwExStyle = GetExStyle();
    if (nAdjustType == adjustBorder)
        dwExStyle &= ~WS_EX_CLIENTEDGE;
    ::AdjustWindowRectEx(lpClientRect, GetStyle(), FALSE, dwExStyle);
}

// ---------------------------------------------------------------- message handling

LRESULT CALLBACK AfxWndProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    CWnd* pWnd = CWnd::FromHandlePermanent(hWnd);
    if (!pWnd)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);

    AfxThreadState* s = AfxGetThreadState();
    MSG saved = s->lastMsg;
    s->lastMsg.hwnd = hWnd;
    s->lastMsg.message = message;
    s->lastMsg.wParam = wParam;
    s->lastMsg.lParam = lParam;
    ++s->nDispatchDepth;
    LRESULT lResult = 0;
    try {
        lResult = pWnd->WindowProc(message, wParam, lParam);
    } catch (CException* e) {
        lResult = AfxProcessWndProcException(e, &s->lastMsg);
        e->Delete();
    } catch (const std::exception& e) {
        lResult = AfxProcessWndProcException(e.what(), &s->lastMsg);
    } catch (...) {
        lResult = AfxProcessWndProcException("unknown exception", &s->lastMsg);
    }
    --s->nDispatchDepth;
    s->lastMsg = saved;

    if (message == WM_NCDESTROY && CWnd::FromHandlePermanent(hWnd) == pWnd)
        pWnd->OnFinalNcDestroy();
    return lResult;
}

LRESULT CWnd::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = 0;
    if (!OnWndMsg(message, wParam, lParam, &lResult))
        lResult = DefWindowProc(message, wParam, lParam);
    return lResult;
}

LRESULT CWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_pfnPrevWndProc)
        return ::CallWindowProcA(m_pfnPrevWndProc, m_hWnd, message, wParam, lParam);
    return ::DefWindowProcA(m_hWnd, message, wParam, lParam);
}

LRESULT CWnd::Default()
{
    const MSG& m = AfxGetThreadState()->lastMsg;
    return DefWindowProc(m.message, m.wParam, m.lParam);
}

BOOL CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    LRESULT lResult = 0;
    if (message == WM_COMMAND) {
        if (!OnCommand(wParam, lParam))
            return FALSE;
        *pResult = 0;
        return TRUE;
    }
    if (message == WM_NOTIFY) {
        if (!OnNotify(wParam, lParam, &lResult))
            return FALSE;
        *pResult = lResult;
        return TRUE;
    }
    if (message == WM_INITMENUPOPUP)
        AfxGetThreadState()->hInitPopup = reinterpret_cast<HMENU>(wParam);

    bool ctlColor = message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC;
    const MessageMapEntry* e = FindMessageEntry(ctlColor ? AFX_WM_CTLCOLOR : message, 0, 0);
    if (e && DispatchMapEntry(e, message, wParam, lParam, pResult))
        return TRUE;

    // No entry: the framework's own handling of owner drawing and control colours.
    switch (message) {
    case WM_DRAWITEM:
        OnDrawItem(static_cast<int>(wParam), reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        *pResult = TRUE;
        return TRUE;
    case WM_MEASUREITEM:
        OnMeasureItem(static_cast<int>(wParam), reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
        *pResult = TRUE;
        return TRUE;
    case WM_DELETEITEM:
    case WM_COMPAREITEM: {
        HWND hCtl = message == WM_DELETEITEM ? reinterpret_cast<DELETEITEMSTRUCT*>(lParam)->hwndItem
                                             : reinterpret_cast<COMPAREITEMSTRUCT*>(lParam)->hwndItem;
        CWnd* pChild = FromHandlePermanent(hCtl);
        if (pChild && pChild != this && pChild->OnChildNotify(message, wParam, lParam, &lResult)) {
            *pResult = lResult;
            return TRUE;
        }
        return FALSE;
    }
    default:
        break;
    }
    if (ctlColor) {
        *pResult = reinterpret_cast<LRESULT>(
            OnCtlColor(CDC::FromHandle(reinterpret_cast<HDC>(wParam)),
                       CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), message - WM_CTLCOLORMSGBOX));
        return TRUE;
    }
    return FALSE;
}

bool CWnd::DispatchMapEntry(const MessageMapEntry* e, UINT message, WPARAM wParam, LPARAM lParam,
                            LRESULT* pResult)
{
    using namespace afxsig;
    AFX_PMSG pfn = e->pfn;
    LRESULT r = 0;
    switch (e->nSig) {
    case AfxSig_l_w_l:
        r = (this->*AfxCastHandler<l_w_l>(pfn))(wParam, lParam);
        break;
    case AfxSig_v_w_l:
        (this->*AfxCastHandler<v_w_l>(pfn))(wParam, lParam);
        break;
    case AfxSig_v_v:
        (this->*AfxCastHandler<v_v>(pfn))();
        break;
    case AfxSig_i_create:
        r = (this->*AfxCastHandler<i_create>(pfn))(reinterpret_cast<LPCREATESTRUCT>(lParam));
        break;
    case AfxSig_b_create:
        r = (this->*AfxCastHandler<b_create>(pfn))(reinterpret_cast<LPCREATESTRUCT>(lParam));
        break;
    case AfxSig_b_dc:
        r = (this->*AfxCastHandler<b_dc>(pfn))(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
        break;
    case AfxSig_v_u_i_i:
        (this->*AfxCastHandler<v_u_i_i>(pfn))(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case AfxSig_v_i_i:
        (this->*AfxCastHandler<v_i_i>(pfn))(static_cast<short>(LOWORD(lParam)),
                                             static_cast<short>(HIWORD(lParam)));
        break;
    case AfxSig_v_timer:
        (this->*AfxCastHandler<v_timer>(pfn))(static_cast<UINT_PTR>(wParam));
        break;
    case AfxSig_v_u_pt:
        (this->*AfxCastHandler<v_u_pt>(pfn))(static_cast<UINT>(wParam), CPoint(lParam));
        break;
    case AfxSig_l_pt:
        r = (this->*AfxCastHandler<l_pt>(pfn))(CPoint(lParam));
        break;
    case AfxSig_v_b_calc:
        (this->*AfxCastHandler<v_b_calc>(pfn))(static_cast<BOOL>(wParam),
                                                reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam));
        break;
    case AfxSig_b_wnd_u_u:
        r = (this->*AfxCastHandler<b_wnd_u_u>(pfn))(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)),
                                                     LOWORD(lParam), HIWORD(lParam));
        break;
    case AfxSig_v_b_u:
        (this->*AfxCastHandler<v_b_u>(pfn))(static_cast<BOOL>(wParam), static_cast<UINT>(lParam));
        break;
    case AfxSig_v_u_u_bar:
        (this->*AfxCastHandler<v_u_u_bar>(pfn))(
            LOWORD(wParam), HIWORD(wParam),
            static_cast<CScrollBar*>(CWnd::FromHandle(reinterpret_cast<HWND>(lParam))));
        break;
    case AfxSig_v_u_u_u:
        (this->*AfxCastHandler<v_u_u_u>(pfn))(static_cast<UINT>(wParam), LOWORD(lParam), HIWORD(lParam));
        break;
    case AfxSig_v_wnd:
        (this->*AfxCastHandler<v_wnd>(pfn))(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)));
        break;
    case AfxSig_h_dc_wnd_u:
        r = reinterpret_cast<LRESULT>((this->*AfxCastHandler<h_dc_wnd_u>(pfn))(
            CDC::FromHandle(reinterpret_cast<HDC>(wParam)),
            CWnd::FromHandle(reinterpret_cast<HWND>(lParam)), message - WM_CTLCOLORMSGBOX));
        break;
    case AfxSig_v_i_draw:
        (this->*AfxCastHandler<v_i_draw>(pfn))(static_cast<int>(wParam),
                                                reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        r = TRUE;
        break;
    case AfxSig_v_i_measure:
        (this->*AfxCastHandler<v_i_measure>(pfn))(static_cast<int>(wParam),
                                                   reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
        r = TRUE;
        break;
    case AfxSig_v_u_l:
        (this->*AfxCastHandler<v_u_l>(pfn))(static_cast<UINT>(wParam), lParam);
        break;
    case AfxSig_hcur_v:
        r = reinterpret_cast<LRESULT>((this->*AfxCastHandler<hcur_v>(pfn))());
        break;
    case AfxSig_v_menu_u_b:
        (this->*AfxCastHandler<v_menu_u_b>(pfn))(CMenu::FromHandle(reinterpret_cast<HMENU>(wParam)),
                                                  LOWORD(lParam), static_cast<BOOL>(HIWORD(lParam)));
        break;
    case AfxSig_l_u_u_menu:
        r = (this->*AfxCastHandler<l_u_u_menu>(pfn))(LOWORD(wParam), HIWORD(wParam),
                                                      CMenu::FromHandle(reinterpret_cast<HMENU>(lParam)));
        break;
    case AfxSig_v_b:
        (this->*AfxCastHandler<v_b>(pfn))(static_cast<BOOL>(wParam));
        break;
    case AfxSig_v_pos:
        (this->*AfxCastHandler<v_pos>(pfn))(reinterpret_cast<WINDOWPOS*>(lParam));
        break;
    case AfxSig_u_v:
        r = static_cast<LRESULT>((this->*AfxCastHandler<u_v>(pfn))());
        break;
    case AfxSig_v_drop:
        (this->*AfxCastHandler<v_drop>(pfn))(reinterpret_cast<HDROP>(wParam));
        break;
    case AfxSig_v_wnd_pt:
        (this->*AfxCastHandler<v_wnd_pt>(pfn))(CWnd::FromHandle(reinterpret_cast<HWND>(wParam)),
                                                CPoint(lParam));
        break;
    default:
        return false;
    }
    *pResult = r;
    return true;
}

BOOL CWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    UINT nID = LOWORD(wParam);
    HWND hCtl = reinterpret_cast<HWND>(lParam);
    int nCode = HIWORD(wParam);
    if (!hCtl) {
        nCode = CN_COMMAND; // menu or accelerator
    } else {
        CWnd* pChild = FromHandlePermanent(hCtl);
        LRESULT r = 0;
        if (pChild && pChild != this && pChild->OnChildNotify(WM_COMMAND, wParam, lParam, &r))
            return TRUE;
    }
    return OnCmdMsg(nID, nCode, nullptr, nullptr);
}

BOOL CWnd::OnNotify(WPARAM /*wParam*/, LPARAM lParam, LRESULT* pResult)
{
    NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    if (!pNMHDR)
        return FALSE;
    CWnd* pChild = FromHandlePermanent(pNMHDR->hwndFrom);
    if (pChild && pChild != this &&
        pChild->OnChildNotify(WM_NOTIFY, pNMHDR->idFrom, lParam, pResult))
        return TRUE;
    AFX_NOTIFY notify{pResult, pNMHDR};
    return OnCmdMsg(static_cast<UINT>(pNMHDR->idFrom),
                    static_cast<int>(MAKELONG(static_cast<WORD>(pNMHDR->code), WM_NOTIFY)), &notify,
                    nullptr);
}

BOOL CWnd::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    return ReflectChildNotify(message, wParam, lParam, pResult);
}

BOOL CWnd::ReflectChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    using namespace afxsig;
    LRESULT dummy = 0;
    if (!pResult)
        pResult = &dummy;
    switch (message) {
    case WM_COMMAND: {
        const MessageMapEntry* e = FindMessageEntry(REFLECT_KEY_BASE + WM_COMMAND, HIWORD(wParam), 0);
        if (!e)
            return FALSE;
        if (e->nSig == AfxSig_cmd_b)
            return (this->*AfxCastHandler<b>(e->pfn))();
        (this->*AfxCastHandler<v>(e->pfn))();
        return TRUE;
    }
    case WM_NOTIFY: {
        NMHDR* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
        const MessageMapEntry* e =
            FindMessageEntry(REFLECT_KEY_BASE + WM_NOTIFY, static_cast<WORD>(pNMHDR->code), 0);
        if (!e)
            return FALSE;
        LRESULT r = 0;
        if (e->nSig == AfxSig_notify_b) {
            if (!(this->*AfxCastHandler<notify_b>(e->pfn))(pNMHDR, &r))
                return FALSE;
        } else {
            (this->*AfxCastHandler<notify>(e->pfn))(pNMHDR, &r);
        }
        *pResult = r;
        return TRUE;
    }
    case WM_DRAWITEM: {
        const MessageMapEntry* e = FindMessageEntry(REFLECT_KEY_BASE + WM_DRAWITEM, 0, 0);
        if (!e)
            return FALSE;
        (this->*AfxCastHandler<v_draw>(e->pfn))(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        *pResult = TRUE;
        return TRUE;
    }
    case WM_MEASUREITEM: {
        const MessageMapEntry* e = FindMessageEntry(REFLECT_KEY_BASE + WM_MEASUREITEM, 0, 0);
        if (!e)
            return FALSE;
        (this->*AfxCastHandler<v_measure>(e->pfn))(reinterpret_cast<LPMEASUREITEMSTRUCT>(lParam));
        *pResult = TRUE;
        return TRUE;
    }
    default:
        break;
    }
    if (message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC) {
        const MessageMapEntry* e = FindMessageEntry(REFLECT_KEY_BASE + AFX_WM_CTLCOLOR, 0, 0);
        if (!e)
            return FALSE;
        HBRUSH hbr = (this->*AfxCastHandler<h_dc_u>(e->pfn))(
            CDC::FromHandle(reinterpret_cast<HDC>(wParam)), message - WM_CTLCOLORMSGBOX);
        if (!hbr)
            return FALSE; // the parent paints as usual
        *pResult = reinterpret_cast<LRESULT>(hbr);
        return TRUE;
    }
    return FALSE;
}

BOOL CWnd::PreTranslateMessage(MSG* /*pMsg*/)
{
    return FALSE;
}

BOOL CWnd::WalkPreTranslateTree(HWND hWndStop, MSG* pMsg)
{
    for (HWND h = pMsg->hwnd; h; h = ::GetParent(h)) {
        CWnd* pWnd = FromHandlePermanent(h);
        if (pWnd && pWnd->PreTranslateMessage(pMsg))
            return TRUE;
        if (h == hWndStop || !(::GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD))
            break;
    }
    return FALSE;
}

INT_PTR CWnd::OnToolHitTest(CPoint /*point*/, TOOLINFOA* /*pTI*/) const
{
    return -1;
}

CMenu* CWnd::FindPopupMenuFromID(UINT nID) const
{
    AfxThreadState* s = AfxGetThreadState();
    HMENU candidates[] = {s->hTrackingMenu, s->hInitPopup, ::GetMenu(m_hWnd), ::GetSystemMenu(m_hWnd, FALSE)};
    for (HMENU h : candidates) {
        if (h && ::IsMenu(h)) {
            if (CMenu* p = FindMenuItemHolder(h, nID, nullptr, 0))
                return p;
        }
    }
    return nullptr;
}

// ---------------------------------------------------------------- default handlers

HBRUSH CWnd::OnCtlColor(CDC* pDC, CWnd* pWnd, UINT nCtlColor)
{
    if (pWnd && pDC) {
        CWnd* pChild = FromHandlePermanent(pWnd->m_hWnd);
        LRESULT r = 0;
        if (pChild && pChild != this &&
            pChild->OnChildNotify(WM_CTLCOLORMSGBOX + nCtlColor, reinterpret_cast<WPARAM>(pDC->m_hDC),
                                  reinterpret_cast<LPARAM>(pWnd->m_hWnd), &r))
            return reinterpret_cast<HBRUSH>(r);
    }
    return reinterpret_cast<HBRUSH>(Default());
}

void CWnd::OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (lpDrawItemStruct->CtlType == ODT_MENU) {
        // The menu's own object, else the object of the menu that holds it.
        CMenu* pMenu = CMenu::FromHandlePermanent(reinterpret_cast<HMENU>(lpDrawItemStruct->hwndItem));
        if (!pMenu)
            pMenu = FindMenuItemHolder(reinterpret_cast<HMENU>(lpDrawItemStruct->hwndItem),
                                       lpDrawItemStruct->itemID, nullptr, 0);
        if (!pMenu)
            pMenu = FindPopupMenuFromID(lpDrawItemStruct->itemID);
        if (pMenu) {
            pMenu->DrawItem(lpDrawItemStruct);
            return;
        }
    } else {
        CWnd* pChild = FromHandlePermanent(lpDrawItemStruct->hwndItem);
        LRESULT r = 0;
        if (pChild && pChild != this &&
            pChild->OnChildNotify(WM_DRAWITEM, static_cast<WPARAM>(nIDCtl),
                                  reinterpret_cast<LPARAM>(lpDrawItemStruct), &r))
            return;
    }
    Default();
}

void CWnd::OnMeasureItem(int nIDCtl, LPMEASUREITEMSTRUCT lpMeasureItemStruct)
{
    if (lpMeasureItemStruct->CtlType == ODT_MENU) {
        CMenu* pMenu = FindPopupMenuFromID(lpMeasureItemStruct->itemID);
        if (pMenu) {
            pMenu->MeasureItem(lpMeasureItemStruct);
            return;
        }
    } else {
        CWnd* pChild = FromHandlePermanent(::GetDlgItem(m_hWnd, static_cast<int>(lpMeasureItemStruct->CtlID)));
        LRESULT r = 0;
        if (pChild && pChild != this &&
            pChild->OnChildNotify(WM_MEASUREITEM, static_cast<WPARAM>(nIDCtl),
                                  reinterpret_cast<LPARAM>(lpMeasureItemStruct), &r))
            return;
    }
    Default();
}

int CWnd::OnCreate(LPCREATESTRUCT) { return static_cast<int>(Default()); }
BOOL CWnd::OnNcCreate(LPCREATESTRUCT) { return static_cast<BOOL>(Default()); }
void CWnd::OnDestroy() { Default(); }
void CWnd::OnNcDestroy() { Default(); }
void CWnd::OnClose() { Default(); }
void CWnd::OnPaint() { Default(); }
void CWnd::OnNcPaint() { Default(); }
BOOL CWnd::OnEraseBkgnd(CDC*) { return static_cast<BOOL>(Default()); }
void CWnd::OnSize(UINT, int, int) { Default(); }
void CWnd::OnMove(int, int) { Default(); }
void CWnd::OnTimer(UINT_PTR) { Default(); }
void CWnd::OnLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnRButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnMButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnMouseMove(UINT, CPoint) { Default(); }
void CWnd::OnMouseHover(UINT, CPoint) { Default(); }
void CWnd::OnMouseLeave() { Default(); }
void CWnd::OnNcLButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnNcLButtonDblClk(UINT, CPoint) { Default(); }
void CWnd::OnNcRButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcRButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnNcMButtonDown(UINT, CPoint) { Default(); }
void CWnd::OnNcMButtonUp(UINT, CPoint) { Default(); }
void CWnd::OnNcMouseMove(UINT, CPoint) { Default(); }
LRESULT CWnd::OnNcHitTest(CPoint) { return Default(); }
void CWnd::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS*) { Default(); }
BOOL CWnd::OnSetCursor(CWnd*, UINT, UINT) { return static_cast<BOOL>(Default()); }
void CWnd::OnShowWindow(BOOL, UINT) { Default(); }
void CWnd::OnVScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnHScroll(UINT, UINT, CScrollBar*) { Default(); }
void CWnd::OnKeyDown(UINT, UINT, UINT) { Default(); }
void CWnd::OnKeyUp(UINT, UINT, UINT) { Default(); }
void CWnd::OnChar(UINT, UINT, UINT) { Default(); }
void CWnd::OnSetFocus(CWnd*) { Default(); }
void CWnd::OnKillFocus(CWnd*) { Default(); }
void CWnd::OnCaptureChanged(CWnd*) { Default(); }
void CWnd::OnSysCommand(UINT, LPARAM) { Default(); }
HCURSOR CWnd::OnQueryDragIcon() { return reinterpret_cast<HCURSOR>(Default()); }
void CWnd::OnInitMenuPopup(CMenu*, UINT, BOOL) { Default(); }
LRESULT CWnd::OnMenuChar(UINT, UINT, CMenu*) { return Default(); }
void CWnd::OnEnterMenuLoop(BOOL) { Default(); }
void CWnd::OnExitMenuLoop(BOOL) { Default(); }
void CWnd::OnWindowPosChanging(WINDOWPOS*) { Default(); }
void CWnd::OnWindowPosChanged(WINDOWPOS*) { Default(); }
UINT CWnd::OnGetDlgCode() { return static_cast<UINT>(Default()); }
void CWnd::OnDropFiles(HDROP) { Default(); }
void CWnd::OnSysColorChange() { Default(); }
void CWnd::OnContextMenu(CWnd*, CPoint) { Default(); }

// ---------------------------------------------------------------- window functions

BOOL CWnd::ModifyStyle(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(hWnd, GWL_STYLE));
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle)
        return FALSE;
    ::SetWindowLongPtrA(hWnd, GWL_STYLE, static_cast<LONG_PTR>(newStyle));
    if (nFlags)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyleEx(HWND hWnd, DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    DWORD style = static_cast<DWORD>(::GetWindowLongPtrA(hWnd, GWL_EXSTYLE));
    DWORD newStyle = (style & ~dwRemove) | dwAdd;
    if (style == newStyle)
        return FALSE;
    ::SetWindowLongPtrA(hWnd, GWL_EXSTYLE, static_cast<LONG_PTR>(newStyle));
    if (nFlags)
        ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                       SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | nFlags);
    return TRUE;
}

BOOL CWnd::ModifyStyle(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyle(m_hWnd, dwRemove, dwAdd, nFlags);
}

BOOL CWnd::ModifyStyleEx(DWORD dwRemove, DWORD dwAdd, UINT nFlags)
{
    return ModifyStyleEx(m_hWnd, dwRemove, dwAdd, nFlags);
}

int CWnd::SetDlgCtrlID(int nID)
{
    return static_cast<int>(::SetWindowLongPtrA(m_hWnd, GWLP_ID, nID));
}

BOOL CWnd::GetWindowPlacement(WINDOWPLACEMENT* lpwndpl) const
{
    lpwndpl->length = sizeof(WINDOWPLACEMENT);
    return ::GetWindowPlacement(m_hWnd, lpwndpl);
}

BOOL CWnd::SetWindowPos(const CWnd* pWndInsertAfter, int x, int y, int cx, int cy, UINT nFlags)
{
    return ::SetWindowPos(m_hWnd, AfxHwndOf(pWndInsertAfter), x, y, cx, cy, nFlags);
}

void CWnd::ScreenToClient(LPRECT lpRect) const
{
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
    ::ScreenToClient(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
    if (GetExStyle() & WS_EX_LAYOUTRTL) {
        LONG t = lpRect->left;
        lpRect->left = lpRect->right;
        lpRect->right = t;
    }
}

void CWnd::ClientToScreen(LPRECT lpRect) const
{
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect));
    ::ClientToScreen(m_hWnd, reinterpret_cast<LPPOINT>(lpRect) + 1);
    if (GetExStyle() & WS_EX_LAYOUTRTL) {
        LONG t = lpRect->left;
        lpRect->left = lpRect->right;
        lpRect->right = t;
    }
}

void CWnd::MapWindowPoints(CWnd* pwndTo, LPRECT lpRect) const
{
    ::MapWindowPoints(m_hWnd, AfxHwndOf(pwndTo), reinterpret_cast<LPPOINT>(lpRect), 2);
}

void CWnd::MapWindowPoints(CWnd* pwndTo, LPPOINT lpPoint, UINT nCount) const
{
    ::MapWindowPoints(m_hWnd, AfxHwndOf(pwndTo), lpPoint, nCount);
}

void CWnd::CenterWindow(CWnd* pAlternateOwner)
{
    HWND hCenter = pAlternateOwner ? pAlternateOwner->m_hWnd
                                   : ((GetStyle() & WS_CHILD) ? ::GetParent(m_hWnd)
                                                             : ::GetWindow(m_hWnd, GW_OWNER));
    CRect area;
    if (GetStyle() & WS_CHILD) {
        ::GetClientRect(::GetParent(m_hWnd), &area);
    } else {
        HMONITOR hMon = ::MonitorFromWindow(hCenter ? hCenter : m_hWnd, MONITOR_DEFAULTTONEAREST);
        MONITORINFO mi{};
        mi.cbSize = sizeof mi;
        ::GetMonitorInfoA(hMon, &mi);
        area = mi.rcWork;
    }
    CRect center = area;
    if (hCenter && ::IsWindowVisible(hCenter) && !::IsIconic(hCenter)) {
        ::GetWindowRect(hCenter, &center);
        if (GetStyle() & WS_CHILD)
            ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<LPPOINT>(&center), 2);
    }
    CRect rc;
    GetWindowRect(&rc);
    int x = center.CenterPoint().x - rc.Width() / 2;
    int y = center.CenterPoint().y - rc.Height() / 2;
    if (x + rc.Width() > area.right)
        x = area.right - rc.Width();
    if (x < area.left)
        x = area.left;
    if (y + rc.Height() > area.bottom)
        y = area.bottom - rc.Height();
    if (y < area.top)
        y = area.top;
    ::SetWindowPos(m_hWnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CDC* CWnd::GetDC()
{
    return CDC::FromHandle(::GetDC(m_hWnd));
}

CDC* CWnd::GetWindowDC()
{
    return CDC::FromHandle(::GetWindowDC(m_hWnd));
}

int CWnd::ReleaseDC(CDC* pDC)
{
    return pDC ? ::ReleaseDC(m_hWnd, pDC->m_hDC) : 0;
}

void CWnd::GetWindowText(CString& rString) const
{
    int n = ::GetWindowTextLengthA(m_hWnd);
    char* buf = rString.GetBuffer(n + 1);
    int got = ::GetWindowTextA(m_hWnd, buf, n + 1);
    rString.ReleaseBuffer(got);
}

int CWnd::GetDlgItemText(int nID, CString& rString) const
{
    HWND hCtl = ::GetDlgItem(m_hWnd, nID);
    rString.Empty();
    if (!hCtl)
        return 0;
    CWnd(hCtl).GetWindowText(rString);
    return rString.GetLength();
}

void CWnd::SetFont(CFont* pFont, BOOL bRedraw)
{
    ::SendMessageA(m_hWnd, WM_SETFONT, reinterpret_cast<WPARAM>(pFont ? pFont->m_hObject : nullptr), bRedraw);
}

CFont* CWnd::GetFont() const
{
    return CFont::FromHandle(reinterpret_cast<HFONT>(::SendMessageA(m_hWnd, WM_GETFONT, 0, 0)));
}

void CWnd::SendMessageToDescendants(UINT message, WPARAM wParam, LPARAM lParam, BOOL bDeep)
{
    for (HWND h = ::GetTopWindow(m_hWnd); h; h = ::GetNextWindow(h, GW_HWNDNEXT)) {
        ::SendMessageA(h, message, wParam, lParam);
        if (bDeep && ::GetTopWindow(h))
            CWnd(h).SendMessageToDescendants(message, wParam, lParam, TRUE);
    }
}

CWnd* CWnd::GetTopLevelParent() const
{
    HWND h = m_hWnd;
    while (h && (::GetWindowLongPtrA(h, GWL_STYLE) & WS_CHILD))
        h = ::GetParent(h);
    return FromHandle(h);
}

CMenu* CWnd::GetMenu() const
{
    return CMenu::FromHandle(::GetMenu(m_hWnd));
}

BOOL CWnd::SetMenu(CMenu* pMenu)
{
    return ::SetMenu(m_hWnd, pMenu ? pMenu->m_hMenu : nullptr);
}

CMenu* CWnd::GetSystemMenu(BOOL bRevert) const
{
    return CMenu::FromHandle(::GetSystemMenu(m_hWnd, bRevert));
}

HICON CWnd::SetIcon(HICON hIcon, BOOL bBigIcon)
{
    return reinterpret_cast<HICON>(::SendMessageA(m_hWnd, WM_SETICON, bBigIcon ? ICON_BIG : ICON_SMALL,
                                                  reinterpret_cast<LPARAM>(hIcon)));
}

HICON CWnd::GetIcon(BOOL bBigIcon) const
{
    return reinterpret_cast<HICON>(::SendMessageA(m_hWnd, WM_GETICON, bBigIcon ? ICON_BIG : ICON_SMALL, 0));
}

BOOL CWnd::SetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, BOOL bRedraw)
{
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    ::SetScrollInfo(m_hWnd, nBar, lpScrollInfo, bRedraw);
    return TRUE;
}

BOOL CWnd::GetScrollInfo(int nBar, LPSCROLLINFO lpScrollInfo, UINT nMask)
{
    lpScrollInfo->cbSize = sizeof(SCROLLINFO);
    lpScrollInfo->fMask = nMask;
    return ::GetScrollInfo(m_hWnd, nBar, lpScrollInfo);
}

int CWnd::MessageBox(const char* lpszText, const char* lpszCaption, UINT nType)
{
    if (!lpszCaption)
        lpszCaption = AfxGetAppName();
    return ::MessageBoxA(m_hWnd, lpszText, lpszCaption, nType);
}

BOOL AfxPreTranslateMessage(MSG* pMsg)
{
    if (CWinThread* pThread = AfxGetThread())
        return pThread->PreTranslateMessage(pMsg);
    return CWnd::WalkPreTranslateTree(nullptr, pMsg);
}
