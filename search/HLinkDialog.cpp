#include "HLinkDialog.h"

#include "ComSupport.h"
#include "DataExchange.h"
#include "OleControlSite.h"
#include "resource.h"

const CLSID CLSID_ZentrovaWebBrowser = {0x8856F961, 0x340A, 0x11D0, {0xA9, 0x6B, 0x00, 0xC0, 0x4F, 0xD7, 0x05, 0xA2}};

namespace {

const DISPID kDispNavigate = 104;
const DISPID kDispLocationURL = 211;

} // namespace

IMPLEMENT_DYNCREATE(CBrowser, CWnd)

BOOL CBrowser::Create(const char* lpszWindowName, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return CreateControl(CLSID_ZentrovaWebBrowser, lpszWindowName, dwStyle, rect, pParentWnd, nID);
}

void CBrowser::Navigate(const CString& address)
{
    VARIANT flags, target, postData, headers;
    for (VARIANT* v : {&flags, &target, &postData, &headers})
        ::VariantInit(v);
    InvokeHelper(kDispNavigate, DISPATCH_METHOD, VT_EMPTY, nullptr,
                 reinterpret_cast<const BYTE*>(VTS_BSTR VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT VTS_PVARIANT),
                 static_cast<const char*>(address), &flags, &target, &postData, &headers);
}

CString CBrowser::GetLocationURL()
{
    CString url;
    if (GetControlUnknown())
        InvokeHelper(kDispLocationURL, DISPATCH_PROPERTYGET, VT_BSTR, &url, reinterpret_cast<const BYTE*>(VTS_NONE));
    return url;
}

BEGIN_MESSAGE_MAP(CHLinkDialog, CDialog)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CHLinkDialog::CHLinkDialog(CWnd* pParent) : CDialog(IDD_QUERY_HELP, pParent)
{
    // The template's browser is a control of this class.
    AfxRegisterControlClass(CLSID_ZentrovaWebBrowser);
}

void CHLinkDialog::ShowHelpPage(CWnd* /*pParent*/, const CString& strPath)
{
    CHLinkDialog dialog(nullptr);
    dialog.m_strAddress = strPath;
    dialog.DoModal();
}

void CHLinkDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_HELPWIN_BROWSER, m_Browser);
    DDX_Control(pDX, IDOK, m_buttonOK);
}

BOOL CHLinkDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    // Without a browser control (none is registered on the system) the window stays
    // empty above its OK button.
    if (m_Browser.GetControlUnknown()) {
        try {
            m_Browser.Navigate(m_strAddress);
            m_bNavigated = true;
        } catch (const _com_error&) {
            m_bNavigated = false;
        }
    }
    Layout();
    m_buttonOK.LoadBitmap(IDB_OK_BUTTON);
    Layout();
    m_Browser.SetFocus();
    return FALSE;
}

void CHLinkDialog::Layout()
{
    CRect client;
    GetClientRect(&client);
    if (m_Browser.m_hWnd)
        m_Browser.MoveWindow(1, 1, client.Width() - 1, client.Height() - 40, TRUE);
    if (m_buttonOK.m_hWnd)
        m_buttonOK.SetWindowPos(nullptr, client.Width() - 50, client.Height() - 30, 0, 0,
                                SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CHLinkDialog::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    Layout();
}

BOOL CHLinkDialog::OnEraseBkgnd(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(&client, RGB(236, 233, 216));
    return TRUE;
}
