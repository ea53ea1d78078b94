#include "NewQuery.h"

#include "DataExchange.h"
#include "Look.h"
#include "TextHelpers.h"
#include "resource.h"

const char CNewQuery::kCaption[] = "Please enter a title for your search query";
const char CNewQuery::kExplanation[] =
    "This feature allows you to save your current search query for later\nuse. After saving, you simply will "
    "have to select the dropdown box\nand select the search query you want to use.";

BEGIN_MESSAGE_MAP(CNewQuery, CDialog)
    ON_BN_CLICKED(IDOK, &CNewQuery::OnBnClickedOk)
    ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

CNewQuery::CNewQuery(CWnd* pParent) : CDialog(IDD_NEW_QUERY, pParent) {}

void CNewQuery::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Text(pDX, IDC_QUERY_TITLE, m_strTitle);
    DDX_Control(pDX, IDOK, m_buttonOK);
    DDX_Control(pDX, IDCANCEL, m_buttonCancel);
    DDX_Control(pDX, IDC_QUERY_EXPLANATION, m_labelExplanation);
    DDX_Control(pDX, IDC_QUERY_TITLE_LABEL, m_labelTitle);
    DDX_Control(pDX, IDC_QUERY_FRAME, m_labelFrame);
}

BOOL CNewQuery::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_buttonOK.LoadBitmap(IDB_OK_BUTTON);
    m_buttonCancel.LoadBitmap(IDB_CANCEL_BUTTON);
    m_labelExplanation.SetText(kExplanation);
    m_labelTitle.SetText("Title:");
    m_labelFrame.SetText("");
    for (CMyStatic* pLabel : {&m_labelExplanation, &m_labelTitle, &m_labelFrame}) {
        pLabel->SetTransparent(TRUE);
        pLabel->Initialize();
    }
    if (CWnd* pEdit = GetDlgItem(IDC_QUERY_TITLE))
        pEdit->SetFocus();
    return FALSE;
}

void CNewQuery::OnBnClickedOk()
{
    UpdateData(TRUE);
    CString typed = m_strTitle;
    m_strTitle = EscapeXml(m_strTitle);
    UpdateData(FALSE);
    m_strTitle.TrimRight(' ');
    m_strTitle.TrimLeft(' ');
    typed.TrimRight(' ');
    typed.TrimLeft(' ');
    m_strPlainTitle = typed;
    if (m_strTitle.IsEmpty()) {
        ::MessageBoxA(m_hWnd, "Please enter a title for your query", "Missing query", MB_OK | MB_ICONINFORMATION);
        if (CWnd* pEdit = GetDlgItem(IDC_QUERY_TITLE))
            pEdit->SetFocus();
        return;
    }
    EndDialog(IDOK);
}

BOOL CNewQuery::OnEraseBkgnd(CDC* pDC)
{
    CRect client;
    GetClientRect(&client);
    pDC->FillSolidRect(&client, look::kPanelBackground);
    const int oldMode = pDC->SetBkMode(TRANSPARENT);

    CPen pen;
    pen.CreatePen(PS_SOLID, 1, RGB(196, 185, 128));
    CPen* pOldPen = pDC->SelectObject(&pen);

    CRect frame;
    if (CWnd* pFrame = GetDlgItem(IDC_QUERY_FRAME)) {
        pFrame->GetWindowRect(&frame);
        ScreenToClient(&frame);
    }
    CFont font;
    font.CreateFont(12, 0, 0, 0, 400, FALSE, FALSE, FALSE, ANSI_CHARSET, 0, 0, 0, FF_SWISS, "Verdana");
    CFont* pOldFont = pDC->SelectObject(&font);
    // The gap in the top edge is as wide as the caption painted in it, so the line never
    // runs through the caption.
    const CSize caption = pDC->GetTextExtent(kCaption);

    pDC->MoveTo(frame.left, frame.top + 5);
    pDC->LineTo(frame.left + 15, frame.top + 5);
    pDC->TextOut(frame.left + 20, frame.top, kCaption);
    pDC->MoveTo(frame.left + 25 + caption.cx, frame.top + 5);
    pDC->LineTo(frame.right, frame.top + 5);
    pDC->LineTo(frame.right, frame.bottom);
    pDC->LineTo(frame.left, frame.bottom);
    pDC->LineTo(frame.left, frame.top + 5);

    pDC->SelectObject(pOldFont);
    pDC->SelectObject(pOldPen);
    pDC->SetBkMode(oldMode);
    return TRUE;
}
