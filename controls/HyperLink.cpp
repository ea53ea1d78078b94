#include "HyperLink.h"

#include <shellapi.h>

IMPLEMENT_DYNAMIC(CHyperLink, CStatic)

BEGIN_MESSAGE_MAP(CHyperLink, CStatic)
    ON_WM_CTLCOLOR_REFLECT()
    ON_WM_SETCURSOR()
    ON_CONTROL_REFLECT(STN_CLICKED, &ThisClass::OnClicked)
END_MESSAGE_MAP()

namespace {

const UINT_PTR kToolId = 1;

} // namespace

CHyperLink::~CHyperLink() = default;

void CHyperLink::PreSubclassWindow()
{
    ModifyStyle(0, SS_NOTIFY);
    CString text;
    GetWindowText(text);
    if (m_strURL.IsEmpty())
        m_strURL = text;
    if (text.IsEmpty())
        SetWindowText(m_strURL);
    PositionWindow();
    m_hLinkCursor = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    if (m_ToolTip.Create(this)) {
        CRect rc;
        GetClientRect(&rc);
        m_ToolTip.AddTool(this, m_strURL, &rc, kToolId);
    }
    CStatic::PreSubclassWindow();
}

void CHyperLink::SetURL(CString address)
{
    m_strURL = address;
    if (!m_hWnd)
        return;
    PositionWindow();
    if (m_ToolTip.m_hWnd)
        m_ToolTip.UpdateTipText(m_strURL, this, kToolId);
}

void CHyperLink::SetVisited(BOOL bVisited)
{
    m_bVisited = bVisited;
    if (m_hWnd)
        Invalidate(TRUE);
}

void CHyperLink::SetUnderline(BOOL bUnderline)
{
    m_bUnderline = bUnderline;
    if (m_hWnd)
        Invalidate(TRUE);
}

void CHyperLink::SetAutoSize(BOOL bAutoSize)
{
    m_bAutoSize = bAutoSize;
    if (m_hWnd)
        PositionWindow();
}

void CHyperLink::PositionWindow()
{
    if (!m_hWnd || !m_bAutoSize)
        return;
    CRect rc;
    GetWindowRect(&rc);
    if (CWnd* pParent = GetParent())
        pParent->ScreenToClient(&rc);
    CString text;
    GetWindowText(text);
    CClientDC dc(this);
    CFont* pOld = dc.SelectObject(GetFont());
    CSize extent = dc.GetTextExtent(text);
    dc.SelectObject(pOld);

    DWORD style = GetStyle();
    if (style & SS_CENTERIMAGE) {
        int dy = (rc.Height() - extent.cy) / 2;
        rc.top += dy;
        rc.bottom = rc.top + extent.cy;
    } else {
        rc.bottom = rc.top + extent.cy;
    }
    switch (style & SS_TYPEMASK) {
    case SS_CENTER: {
        int dx = (rc.Width() - extent.cx) / 2;
        rc.left += dx;
        rc.right = rc.left + extent.cx;
        break;
    }
    case SS_RIGHT:
        rc.left = rc.right - extent.cx;
        break;
    default:
        rc.right = rc.left + extent.cx;
        break;
    }
    SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(), SWP_NOZORDER);
}

HBRUSH CHyperLink::CtlColor(CDC* pDC, UINT)
{
    pDC->SetTextColor(m_bVisited ? m_crVisited : m_crLink);
    if (m_bUnderline) {
        if (!m_UnderlineFont.m_hObject) {
            LOGFONTA lf{};
            if (CFont* pFont = GetFont())
                pFont->GetLogFont(&lf);
            else
                ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof lf, &lf);
            lf.lfUnderline = TRUE;
            m_UnderlineFont.CreateFontIndirect(&lf);
        }
        pDC->SelectObject(&m_UnderlineFont);
    }
    pDC->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

BOOL CHyperLink::OnSetCursor(CWnd*, UINT, UINT)
{
    ::SetCursor(m_hLinkCursor);
    return TRUE;
}

BOOL CHyperLink::PreTranslateMessage(MSG* pMsg)
{
    if (m_ToolTip.m_hWnd)
        m_ToolTip.RelayEvent(pMsg);
    return CStatic::PreTranslateMessage(pMsg);
}

void CHyperLink::OnClicked()
{
    int result = static_cast<int>(reinterpret_cast<INT_PTR>(GotoURL(m_strURL, SW_SHOW)));
    m_bVisited = result > 32;
    if (!m_bVisited) {
        ::MessageBeep(MB_ICONEXCLAMATION);
        AfxMessageBox(ErrorText(result), MB_ICONEXCLAMATION);
    } else {
        SetVisited(TRUE);
    }
}

CString CHyperLink::CommandForAddress(CString command, const char* address)
{
    int pos = command.Find("\"%1\"");
    if (pos < 0)
        pos = command.Find("%1");
    if (pos >= 0)
        command = command.Left(pos);
    return command + " " + address;
}

HINSTANCE CHyperLink::GotoURL(const char* address, int nShowCmd)
{
    HINSTANCE result = ::ShellExecuteA(nullptr, "open", address, nullptr, nullptr, nShowCmd);
    if (reinterpret_cast<INT_PTR>(result) > 32)
        return result;
    auto readDefault = [](const CString& keyName, CString& value) {
        HKEY hKey = nullptr;
        if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, keyName, 0, KEY_QUERY_VALUE, &hKey) != ERROR_SUCCESS)
            return false;
        char data[MAX_PATH] = {};
        LONG size = sizeof data;
        LONG rc = ::RegQueryValueA(hKey, nullptr, data, &size);
        ::RegCloseKey(hKey);
        if (rc != ERROR_SUCCESS)
            return false;
        value = data;
        return true;
    };
    CString htmlClass, command;
    if (!readDefault(".htm", htmlClass) || !readDefault(htmlClass + "\\shell\\open\\command", command))
        return result;
    CString line = CommandForAddress(command, address);
    return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(::WinExec(line, static_cast<UINT>(nShowCmd))));
}

CString CHyperLink::ErrorText(int code)
{
    CString text;
    switch (code) {
    case 0: text = "The operating system is out\nof memory or resources."; break;
    case ERROR_FILE_NOT_FOUND: text = "The specified file was not found."; break;
    case ERROR_PATH_NOT_FOUND: text = "The specified path was not found."; break;
    case SE_ERR_ACCESSDENIED: text = "The operating system denied\naccess to the specified file."; break;
    case SE_ERR_OOM: text = "There was not enough memory to complete the operation."; break;
    case ERROR_BAD_FORMAT: text = "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image)."; break;
    case SE_ERR_SHARE: text = "A sharing violation occurred. "; break;
    case SE_ERR_ASSOCINCOMPLETE: text = "The filename association is\nincomplete or invalid."; break;
    case SE_ERR_DDETIMEOUT: text = "The DDE transaction could not\nbe completed because the request timed out."; break;
    case SE_ERR_DDEFAIL: text = "The DDE transaction failed."; break;
    case SE_ERR_DDEBUSY:
        text = "The DDE transaction could not\nbe completed because other DDE transactions\nwere being processed.";
        break;
    case SE_ERR_NOASSOC: text = "There is no application associated\nwith the given filename extension."; break;
    case SE_ERR_DLLNOTFOUND: text = "The specified dynamic-link library was not found."; break;
    default: text.Format("Unknown Error (%d) occurred.", code); break;
    }
    return "Unable to open hyperlink:\n\n" + text;
}
