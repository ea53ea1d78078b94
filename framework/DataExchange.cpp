#include "DataExchange.h"

#include "UserException.h"
#include "WinApp.h"
#include "Wnd.h"

#include <cerrno>
#include <cfloat>
#include <climits>
#include <cstdlib>

HWND CDataExchange::PrepareCtrl(int nIDC)
{
    HWND hWnd = ::GetDlgItem(m_pDlgWnd->m_hWnd, nIDC);
    if (!hWnd) {
        CString line;
        line.Format("Data exchange: the dialog has no control %d\n", nIDC);
        ::OutputDebugStringA(line);
        Fail();
    }
    m_hWndLastControl = hWnd;
    m_bEditLastControl = FALSE;
    return hWnd;
}

HWND CDataExchange::PrepareEditCtrl(int nIDC)
{
    HWND hWnd = PrepareCtrl(nIDC);
    m_bEditLastControl = TRUE;
    return hWnd;
}

void CDataExchange::Fail()
{
    if (m_bSaveAndValidate && m_hWndLastControl) {
        ::SetFocus(m_hWndLastControl);
        if (m_bEditLastControl)
            ::SendMessageA(m_hWndLastControl, EM_SETSEL, 0, -1);
    }
    AfxThrowUserException();
}

void DDX_Control(CDataExchange* pDX, int nIDC, CWnd& rControl)
{
    if (rControl.m_hWnd)
        return;
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (!rControl.SubclassWindow(hWnd)) {
        CString line;
        line.Format("Data exchange: control %d is already bound to another object\n", nIDC);
        ::OutputDebugStringA(line);
        pDX->Fail();
    }
}

namespace {

CString ControlText(HWND hWnd)
{
    CString text;
    int n = ::GetWindowTextLengthA(hWnd);
    char* buf = text.GetBuffer(n + 1);
    int got = ::GetWindowTextA(hWnd, buf, n + 1);
    text.ReleaseBuffer(got);
    return text;
}

// Whole-text number parsing: blanks around the number are allowed, nothing else.
bool ParseLong(const CString& text, bool bSigned, long long& out)
{
    CString t = text;
    t.Trim();
    if (t.IsEmpty())
        return false;
    if (!bSigned && t[0] == '-')
        return false;
    char* end = nullptr;
    errno = 0;
    out = bSigned ? std::strtoll(t, &end, 10) : static_cast<long long>(std::strtoull(t, &end, 10));
    return errno == 0 && end && *end == '\0';
}

void Refuse(CDataExchange* pDX, const char* prompt)
{
    AfxMessageBox(prompt, MB_ICONEXCLAMATION);
    pDX->Fail();
}

template <class T>
void ExchangeInteger(CDataExchange* pDX, int nIDC, T& value, bool bSigned, long long lo, long long hi)
{
    HWND hWnd = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        long long v = 0;
        if (!ParseLong(ControlText(hWnd), bSigned, v) || v < lo || v > hi)
            Refuse(pDX, bSigned ? "Please enter an integer." : "Please enter a positive integer.");
        value = static_cast<T>(v);
    } else {
        CString text;
        if (bSigned)
            text.Format("%lld", static_cast<long long>(value));
        else
            text.Format("%llu", static_cast<unsigned long long>(value));
        ::SetWindowTextA(hWnd, text);
    }
}

} // namespace

void DDX_Text(CDataExchange* pDX, int nIDC, CString& value)
{
    HWND hWnd = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = ControlText(hWnd);
    else
        ::SetWindowTextA(hWnd, value);
}

void DDX_Text(CDataExchange* pDX, int nIDC, int& value)
{
    ExchangeInteger(pDX, nIDC, value, true, INT_MIN, INT_MAX);
}

void DDX_Text(CDataExchange* pDX, int nIDC, UINT& value)
{
    ExchangeInteger(pDX, nIDC, value, false, 0, UINT_MAX);
}

void DDX_Text(CDataExchange* pDX, int nIDC, long& value)
{
    ExchangeInteger(pDX, nIDC, value, true, LONG_MIN, LONG_MAX);
}

void DDX_Text(CDataExchange* pDX, int nIDC, DWORD& value)
{
    ExchangeInteger(pDX, nIDC, value, false, 0, 0xFFFFFFFFLL);
}

void DDX_Text(CDataExchange* pDX, int nIDC, double& value)
{
    HWND hWnd = pDX->PrepareEditCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        CString t = ControlText(hWnd);
        t.Trim();
        char* end = nullptr;
        errno = 0;
        double v = t.IsEmpty() ? 0.0 : std::strtod(t, &end);
        if (t.IsEmpty() || errno != 0 || !end || *end != '\0')
            Refuse(pDX, "Please enter a number.");
        value = v;
    } else {
        CString text;
        text.Format("%.*g", DBL_DIG, value);
        ::SetWindowTextA(hWnd, text);
    }
}

void DDX_Check(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hWnd = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate) {
        value = static_cast<int>(::SendMessageA(hWnd, BM_GETCHECK, 0, 0));
    } else {
        if (value < 0 || value > 2)
            value = 0;
        ::SendMessageA(hWnd, BM_SETCHECK, static_cast<WPARAM>(value), 0);
    }
}

void DDX_Radio(CDataExchange* pDX, int nIDC, int& value)
{
    HWND hFirst = pDX->PrepareCtrl(nIDC);
    if (pDX->m_bSaveAndValidate)
        value = -1;
    int index = 0;
    for (HWND h = hFirst; h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (h != hFirst && (::GetWindowLongPtrA(h, GWL_STYLE) & WS_GROUP))
            break;
        if (!(::SendMessageA(h, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON))
            continue;
        if (pDX->m_bSaveAndValidate) {
            if (::SendMessageA(h, BM_GETCHECK, 0, 0) == BST_CHECKED)
                value = index;
        } else {
            ::SendMessageA(h, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
        }
        ++index;
    }
}
