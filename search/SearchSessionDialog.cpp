#include "SearchSessionDialog.h"

#include "DataExchange.h"
#include "ProgramOptions.h"
#include "ProgressLog.h"
#include "SessionFile.h"
#include "XmlHelpers.h"
#include "resource.h"

namespace {

const char kOptionKey[] = "Showsearchsessiondialog";

} // namespace

BEGIN_MESSAGE_MAP(CSearchSessionDialog, CDialog)
    ON_BN_CLICKED(IDOK, &CSearchSessionDialog::OnBnClickedOk)
    ON_BN_CLICKED(IDC_CHOOSER_GENERAL, &CSearchSessionDialog::OnGeneralSearching)
    ON_BN_CLICKED(IDC_CHOOSER_NEW, &CSearchSessionDialog::OnNewSession)
    ON_BN_CLICKED(IDC_CHOOSER_EXISTING, &CSearchSessionDialog::OnExistingSession)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CSearchSessionDialog::CSearchSessionDialog(CWnd* pParent) : CDialog(IDD_SEARCH_SESSION, pParent) {}

void CSearchSessionDialog::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_CHOOSER_SESSIONS, m_comboSessions);
    DDX_Control(pDX, IDC_CHOOSER_GENERAL, m_radioGeneral);
    DDX_Control(pDX, IDC_CHOOSER_NEW, m_radioNew);
    DDX_Control(pDX, IDC_CHOOSER_EXISTING, m_radioExisting);
    DDX_Control(pDX, IDC_CHOOSER_GENERAL_TEXT, m_labelGeneral);
    DDX_Control(pDX, IDC_CHOOSER_NEW_TEXT, m_labelNew);
    DDX_Control(pDX, IDC_CHOOSER_EXISTING_TEXT, m_labelExisting);
    DDX_Control(pDX, IDC_CHOOSER_SHOW_EACH_TIME, m_checkShowEachTime);
    DDX_Control(pDX, IDOK, m_buttonOK);
    DDX_Control(pDX, IDC_CHOOSER_BANNER, m_labelBanner);
}

BOOL CSearchSessionDialog::OnInitDialog()
{
    CDialog::OnInitDialog();
    LOGFONTA lf = {};
    lf.lfHeight = 14;
    lf.lfWeight = 600;
    strcpy(lf.lfFaceName, "Verdana");
    m_fontCaption.CreateFontIndirect(&lf);

    m_checkShowEachTime.SetText("Show this window each time");
    m_checkShowEachTime.Initialize();
    const struct {
        CMyRadioButton* pRadio;
        const char* caption;
    } radios[] = {{&m_radioGeneral, "General Searching Only"},
                  {&m_radioNew, "Create a New Search Session"},
                  {&m_radioExisting, "Open an Existing Search Session"}};
    for (const auto& r : radios) {
        r.pRadio->SetText(r.caption);
        r.pRadio->Initialize();
        r.pRadio->m_bUseOtherFont = 1;
        r.pRadio->m_pOtherFont = &m_fontCaption;
    }
    const struct {
        CMyStatic* pLabel;
        const char* text;
    } labels[] = {
        {&m_labelGeneral, "Any search results that you select will only be saved for the current session and will not "
                          "be saved for later search sessions."},
        {&m_labelNew, "This allows you to save selected search results and generate reports later based upon the "
                      "selected search results."},
        {&m_labelExisting, "This will open a previously created session and allow you to utilize the selected search "
                           "results found during that session. You can also continue your searching with this "
                           "session. Select a session below that you would like to open."},
    };
    for (const auto& l : labels) {
        l.pLabel->SetText(l.text);
        l.pLabel->SetTransparent(TRUE);
        l.pLabel->Initialize();
    }
    m_buttonOK.LoadBitmap(IDB_OK_BUTTON);
    CRect client;
    GetClientRect(&client);
    m_buttonOK.MoveWindow(client.Width() / 2 - 12, client.Height() - 70, 36, 23, TRUE);

    GetSessionHeaders();
    m_nChoice = kGeneralSearching;
    UpdateData(FALSE);
    const bool show = m_pOptions && m_pOptions->GetOptionValue(kOptionKey) == "1";
    m_checkShowEachTime.SetCheck(show ? 1 : 0);
    CheckOnly(m_radioGeneral);

    m_labelBanner.SetText("");
    m_labelBanner.SetTransparent(TRUE);
    m_labelBanner.Initialize();
    return TRUE;
}

int CSearchSessionDialog::ShowMessageBox(const CString& strText, const char* caption, UINT nType)
{
    return g_pfnSessionMessageBox(m_hWnd, strText, caption, nType);
}

void CSearchSessionDialog::GetSessionHeaders()
{
    const HRESULT hrInit = ::CoInitialize(nullptr);
    IXMLDOMDocument2Ptr doc;
    try {
        doc = CreateDomDocument();
    } catch (const _com_error&) {
        CProgressLog().Write("CSearchSessionDialog:::GetSessionHeaders() - Failed to instantiate an XML DOM.");
    }
    if (doc) {
        try {
            SessionArray sessions;
            ReadSessionFile(SessionFileReadPath(), sessions, doc);
            EnsureNoSessionEntry(sessions);
            m_comboSessions.ResetContent();
            for (INT_PTR i = 0; i < sessions.GetSize(); ++i)
                m_comboSessions.AddString(sessions[i].strName);
            m_comboSessions.SetCurSel(0);
        } catch (const _com_error&) {
            CProgressLog().Write("SearchSessionDialog: Error in GetSessionHeaders: Unhandled exception");
        }
    }
    doc = nullptr;
    if (SUCCEEDED(hrInit))
        ::CoUninitialize();
}

void CSearchSessionDialog::CheckOnly(CMyRadioButton& radio)
{
    for (CMyRadioButton* p : {&m_radioGeneral, &m_radioNew, &m_radioExisting})
        p->SetCheck(p == &radio ? 1 : 0);
}

void CSearchSessionDialog::OnGeneralSearching()
{
    CheckOnly(m_radioGeneral);
}

void CSearchSessionDialog::OnNewSession()
{
    CheckOnly(m_radioNew);
}

void CSearchSessionDialog::OnExistingSession()
{
    CheckOnly(m_radioExisting);
}

void CSearchSessionDialog::OnBnClickedOk()
{
    UpdateData(TRUE);
    m_nChosenSession = m_comboSessions.GetCurSel();
    if (m_pOptions) {
        m_pOptions->SetOptionValue(kOptionKey, m_checkShowEachTime.GetCheck() ? "1" : "0");
        m_pOptions->Save();
    }
    if (m_radioGeneral.GetCheck())
        m_nChoice = kGeneralSearching;
    if (m_radioNew.GetCheck())
        m_nChoice = kNewSession;
    if (m_radioExisting.GetCheck())
        m_nChoice = kExistingSession;
    if (m_radioExisting.GetCheck() && m_nChosenSession < 1) {
        ShowMessageBox("Please select an existing session", "Select Session", MB_OK | MB_ICONINFORMATION);
        return;
    }
    EndDialog(IDOK);
}

BOOL CSearchSessionDialog::OnEraseBkgnd(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(&client, RGB(236, 233, 216));
    CPen pen(PS_SOLID, 1, RGB(196, 185, 128));
    CPen* pOldPen = pDC->SelectObject(&pen);
    const int oldMode = pDC->SetBkMode(TRANSPARENT);
    CRect r;
    m_labelBanner.GetWindowRect(&r);
    ScreenToClient(&r);
    CString bannerText;
    m_labelBanner.GetWindowText(bannerText);
    const int w = pDC->GetTextExtent(bannerText, bannerText.GetLength()).cx;
    CFont font;
    font.CreateFont(12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0, 0, FF_SWISS, "Verdana");
    CFont* pOldFont = pDC->SelectObject(&font);
    const CString title = "Please select how you would like to proceed with this session.";
    // The gap in the frame's top edge takes the painted title.
    const int gap = pDC->GetTextExtent(title, title.GetLength()).cx + w;
    pDC->MoveTo(r.left, r.top + 5);
    pDC->LineTo(r.left + 15, r.top + 5);
    pDC->TextOut(r.left + 20, r.top, title);
    pDC->MoveTo(r.left + gap + 25, r.top + 5);
    pDC->LineTo(r.right, r.top + 5);
    pDC->LineTo(r.right, r.bottom);
    pDC->LineTo(r.left, r.bottom);
    pDC->LineTo(r.left, r.top + 5);
    pDC->SelectObject(pOldFont);
    pDC->SelectObject(pOldPen);
    pDC->SetBkMode(oldMode);
    return FALSE;
}
