#include "Dialog.h"

#include "DataExchange.h"
#include "ThreadState.h"
#include "UserException.h"
#include "WinApp.h"

#include <exception>

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
    ON_COMMAND(IDOK, &ThisClass::OnOK)
    ON_COMMAND(IDCANCEL, &ThisClass::OnCancel)
    ON_MESSAGE(WM_INITDIALOG, &ThisClass::HandleInitDialog)
END_MESSAGE_MAP()

namespace {

// The dialog procedure behind the framework's window procedure: the dialog's messages
// reach the CDialog first, so everything that arrives here gets the default handling.
INT_PTR CALLBACK AfxDlgProc(HWND, UINT message, WPARAM, LPARAM)
{
    return message == WM_INITDIALOG ? TRUE : FALSE;
}

} // namespace

CDialog::CDialog(UINT nIDTemplate, CWnd* pParentWnd) : m_pParentWnd(pParentWnd)
{
    SetTemplate(MAKEINTRESOURCEA(nIDTemplate));
}

CDialog::CDialog(const char* lpszTemplateName, CWnd* pParentWnd) : m_pParentWnd(pParentWnd)
{
    SetTemplate(lpszTemplateName);
}

CDialog::~CDialog()
{
    if (m_hWnd && FromHandlePermanent(m_hWnd) == this)
        CWnd::DestroyWindow();
}

void CDialog::SetTemplate(const char* lpszTemplateName)
{
    if (IS_INTRESOURCE(lpszTemplateName)) {
        m_lpszTemplateName = lpszTemplateName;
    } else {
        m_strTemplateName = lpszTemplateName;
        m_lpszTemplateName = m_strTemplateName;
    }
}

const DLGTEMPLATE* CDialog::LoadTemplate() const
{
    if (!m_lpszTemplateName)
        return nullptr;
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hRes = ::FindResourceA(hInst, m_lpszTemplateName, reinterpret_cast<LPCSTR>(RT_DIALOG));
    HGLOBAL hData = hRes ? ::LoadResource(hInst, hRes) : nullptr;
    return hData ? static_cast<const DLGTEMPLATE*>(::LockResource(hData)) : nullptr;
}

INT_PTR CDialog::DoModal()
{
    const DLGTEMPLATE* pTemplate = LoadTemplate();
    if (!pTemplate || m_hWnd)
        return -1;

    // The owner is the top-level window of the parent, or else the main window.
    HWND hOwner = nullptr;
    if (m_pParentWnd && m_pParentWnd->m_hWnd) {
        hOwner = m_pParentWnd->m_hWnd;
    } else if (CWnd* pMain = AfxGetMainWnd()) {
        if (pMain != this && ::IsWindow(pMain->m_hWnd))
            hOwner = ::GetLastActivePopup(pMain->m_hWnd);
    }
    while (hOwner && (::GetWindowLongPtrA(hOwner, GWL_STYLE) & WS_CHILD))
        hOwner = ::GetParent(hOwner);
    bool bEnableOwner = false;
    if (hOwner && ::IsWindowEnabled(hOwner)) {
        ::EnableWindow(hOwner, FALSE);
        bEnableOwner = true;
    }

    m_nModalResult = -1;
    m_bModal = true;
    m_bEndModal = false;
    HookWindowCreate();
    HWND hWnd = ::CreateDialogIndirectParamA(AfxGetResourceHandle(), pTemplate, hOwner, AfxDlgProc,
                                             reinterpret_cast<LPARAM>(this));
    UnhookWindowCreate();
    if (hWnd && !m_bEndModal)
        RunModalLoop();

    if (m_hWnd)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (bEnableOwner)
        ::EnableWindow(hOwner, TRUE);
    if (hOwner && m_hWnd && ::GetActiveWindow() == m_hWnd)
        ::SetActiveWindow(hOwner);
    if (m_hWnd)
        DestroyWindow();
    m_bModal = false;
    return m_nModalResult;
}

void CDialog::RunModalLoop()
{
    bool bShowIdle = !(GetStyle() & WS_VISIBLE);
    MSG msg;
    while (!m_bEndModal && m_hWnd) {
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (bShowIdle) {
                bShowIdle = false;
                ShowWindow(SW_SHOWNORMAL);
                UpdateWindow();
                continue;
            }
            AfxDeleteTempMaps();
            ::WaitMessage();
            continue;
        }
        if (!::GetMessageA(&msg, nullptr, 0, 0)) {
            // WM_QUIT: end the dialog and leave the quit for the outer loop.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            m_nModalResult = -1;
            break;
        }
        BOOL bDone = FALSE;
        try {
            bDone = AfxPreTranslateMessage(&msg);
        } catch (CException* e) {
            AfxProcessWndProcException(e, &msg);
            e->Delete();
            bDone = TRUE;
        } catch (const std::exception& e) {
            AfxProcessWndProcException(e.what(), &msg);
            bDone = TRUE;
        } catch (...) {
            AfxProcessWndProcException("unknown exception", &msg);
            bDone = TRUE;
        }
        if (!bDone) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    return Create(MAKEINTRESOURCEA(nIDTemplate), pParentWnd);
}

BOOL CDialog::Create(const char* lpszTemplateName, CWnd* pParentWnd)
{
    if (m_hWnd)
        return FALSE;
    SetTemplate(lpszTemplateName);
    if (!pParentWnd) {
        CWnd* pMain = AfxGetMainWnd();
        if (pMain != this)
            pParentWnd = pMain;
    }
    m_pParentWnd = pParentWnd;
    const DLGTEMPLATE* pTemplate = LoadTemplate();
    if (!pTemplate)
        return FALSE;
    m_bModal = false;
    HookWindowCreate();
    HWND hWnd = ::CreateDialogIndirectParamA(AfxGetResourceHandle(), pTemplate, AfxHwndOf(pParentWnd),
                                             AfxDlgProc, reinterpret_cast<LPARAM>(this));
    UnhookWindowCreate();
    return hWnd != nullptr && hWnd == m_hWnd;
}

// A modal dialog box that its OnInitDialog neither moved nor showed is centred over its
// owner, as the framework's dialogs are; one that placed itself stays where it went.
LRESULT CDialog::HandleInitDialog(WPARAM, LPARAM)
{
    CRect before;
    GetWindowRect(&before);
    const BOOL bResult = OnInitDialog();
    if (m_bModal && m_hWnd && !(GetStyle() & (WS_CHILD | WS_VISIBLE))) {
        CRect after;
        GetWindowRect(&after);
        if (after.TopLeft() == before.TopLeft())
            CenterWindow();
    }
    return bResult;
}

BOOL CDialog::OnInitDialog()
{
    UpdateData(FALSE);
    return TRUE;
}

void CDialog::OnOK()
{
    if (!UpdateData(TRUE))
        return;
    EndDialog(IDOK);
}

void CDialog::OnCancel()
{
    EndDialog(IDCANCEL);
}

void CDialog::EndDialog(int nResult)
{
    m_nModalResult = nResult;
    if (m_bModal) {
        m_bEndModal = true;
        ::PostMessageA(m_hWnd, WM_NULL, 0, 0);
    }
    if (m_hWnd)
        ::EndDialog(m_hWnd, nResult);
}

void CDialog::DoDataExchange(CDataExchange* /*pDX*/)
{
}

BOOL CDialog::UpdateData(BOOL bSaveAndValidate)
{
    CDataExchange dx(this, bSaveAndValidate);
    try {
        DoDataExchange(&dx);
    } catch (CUserException* e) {
        e->Delete();
        return FALSE;
    }
    return TRUE;
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST || !m_hWnd)
        return FALSE;
    // Keyboard navigation is the top-level dialog's: it covers its child dialogs too.
    if (GetStyle() & WS_CHILD)
        return FALSE;
    if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))
        return FALSE;
    return ::IsDialogMessageA(m_hWnd, pMsg);
}

BOOL CDialog::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    // Command updates and handler queries follow the route a command takes.
    bool bRouted = static_cast<UINT>(nCode) == CN_UPDATE_COMMAND_UI ||
                   (nCode == CN_COMMAND && pHandlerInfo);
    if (!bRouted || !m_hWnd)
        return FALSE;
    if (GetStyle() & WS_CHILD) {
        CWnd* pParent = FromHandlePermanent(::GetParent(m_hWnd));
        return pParent ? pParent->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo) : FALSE;
    }
    CWinApp* pApp = AfxGetApp();
    return pApp ? pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo) : FALSE;
}

BOOL CDialog::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (CWnd::OnCommand(wParam, lParam))
        return TRUE;
    if (lParam != 0 || !m_hWnd)
        return FALSE;
    // A menu or accelerator command nobody here handles.
    if (GetStyle() & WS_CHILD) {
        HWND hParent = ::GetParent(m_hWnd);
        if (hParent) {
            ::SendMessageA(hParent, WM_COMMAND, wParam, 0);
            return TRUE;
        }
        return FALSE;
    }
    CWinApp* pApp = AfxGetApp();
    return pApp ? pApp->OnCmdMsg(LOWORD(wParam), CN_COMMAND, nullptr, nullptr) : FALSE;
}
