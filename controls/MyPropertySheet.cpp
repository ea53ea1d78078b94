#include "MyPropertySheet.h"

#include "BitmapDrawing.h"
#include "Look.h"
#include "resource.h"

#include <algorithm>

IMPLEMENT_DYNAMIC(CMyPropertySheet, CDialog)

BEGIN_MESSAGE_MAP(CMyPropertySheet, CDialog)
    ON_WM_LBUTTONDOWN()
    ON_WM_ERASEBKGND()
    ON_WM_SIZE()
END_MESSAGE_MAP()

namespace {

const COLORREF kStripGround = RGB(220, 215, 185);
const COLORREF kTabLight = RGB(233, 229, 209);
const COLORREF kTabShade = RGB(196, 185, 128);
const COLORREF kWhite = RGB(255, 255, 255);
const COLORREF kBlack = RGB(0, 0, 0);
const int kBackgroundHeight = 240;

} // namespace

CMyPropertySheet::CMyPropertySheet(CWnd* pParentWnd) : CDialog(IDD_PROPERTY_SHEET, pParentWnd)
{
}

CMyPropertySheet::~CMyPropertySheet() = default;

BOOL CMyPropertySheet::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_bmpBackground.LoadBitmap(IDB_PAGE_BACKGROUND);
    return TRUE;
}

BOOL CMyPropertySheet::OnCommand(WPARAM wParam, LPARAM lParam)
{
    return CDialog::OnCommand(wParam, lParam);
}

const SheetTab* CMyPropertySheet::GetTab(int nIndex) const
{
    if (nIndex < 0 || nIndex >= GetTabCount())
        return nullptr;
    return m_arrTabs[static_cast<size_t>(nIndex)].get();
}

void CMyPropertySheet::AddPage(const CString& strTitle, CWnd* pPage, COLORREF crText, COLORREF crActive,
                               COLORREF crInactive)
{
    auto tab = std::make_unique<SheetTab>();
    tab->strTitle = strTitle;
    tab->pPage = pPage;
    tab->nIndex = GetTabCount();
    tab->crText = crText;
    tab->crActive = crActive;
    tab->crInactive = crInactive;
    if (pPage && pPage->m_hWnd)
        pPage->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    if (m_arrTabs.empty())
        tab->bActive = 1;
    m_arrTabs.push_back(std::move(tab));
}

void CMyPropertySheet::InitSheet()
{
    GetWindowRect(&m_rectClient);
    ScreenToClient(&m_rectClient);
    CreateOffscreen();
    Render();
    LayoutPages();
    ShowWindow(SW_SHOW);
    SendMessage(WM_SIZE, 0, 0);
    SetActivePage(0);
}

void CMyPropertySheet::SetActivePage(int nIndex)
{
    m_nActiveIndex = nIndex;
    for (auto& tab : m_arrTabs) {
        const bool bChosen = tab->nIndex == nIndex;
        tab->bActive = bChosen ? 1 : 0;
        if (tab->pPage && tab->pPage->m_hWnd)
            tab->pPage->ShowWindow(bChosen ? SW_SHOW : SW_HIDE);
    }
    if (!m_hWnd)
        return;
    Render();
    CClientDC dc(this);
    DrawTabs(dc);
}

void CMyPropertySheet::CreateOffscreen()
{
    m_bmpOffscreen.DeleteObject();
    CClientDC screen(this);
    m_bmpOffscreen.CreateCompatibleBitmap(&screen, std::max<int>(m_rectClient.Width(), 1),
                                          std::max<int>(m_rectClient.Height(), 1));
}

void CMyPropertySheet::Render()
{
    if (!m_bmpOffscreen.m_hObject)
        return;
    CClientDC screen(this);
    CDC dc;
    dc.CreateCompatibleDC(&screen);
    CBitmap* pOld = dc.SelectObject(&m_bmpOffscreen);
    CRect ground(0, kStripHeight, m_rectClient.right, m_rectClient.bottom);
    dc.FillSolidRect(&ground, look::kPanelBackground);
    bitmaps::Stretch(dc, 0, kStripHeight, m_rectClient.Width(), kBackgroundHeight, m_bmpBackground);
    DrawTabs(dc);
    dc.SelectObject(pOld);
    for (auto& tab : m_arrTabs)
        if (tab->bActive && tab->pPage && tab->pPage->m_hWnd)
            tab->pPage->Invalidate();
}

void CMyPropertySheet::DrawTabs(CDC& dc)
{
    CFont font;
    look::CreateLookFont(font);
    CFont* pOldFont = dc.SelectObject(&font);
    const int width = m_rectClient.Width();
    const int height = m_rectClient.Height();

    // The frame of the page area: light at the left and top, shaded at the right and bottom.
    look::DrawLine(dc, kWhite, 0, height, 0, kStripHeight);
    look::DrawLine(dc, kWhite, 0, kStripHeight, width, kStripHeight);
    look::DrawLine(dc, kTabShade, 0, height - 1, width - 1, height - 1);
    look::DrawLine(dc, kTabShade, width - 1, height - 1, width - 1, kStripHeight);

    int x = 0;
    for (auto& tab : m_arrTabs) {
        const CSize title = dc.GetTextExtent(tab->strTitle);
        const int w = title.cx + 2 * kTitleMargin;
        dc.FillSolidRect(x, 0, w + 1, kStripHeight, kStripGround);
        const int t = tab->bActive ? 0 : kStripHeight - kInactiveHeight;
        const COLORREF crFace = tab->bActive ? tab->crActive : tab->crInactive;
        dc.FillSolidRect(x + 1, t + 1, w - 1, (tab->bActive ? kStripHeight + 1 : kStripHeight) - (t + 1), crFace);
        dc.SetTextColor(tab->crText);
        dc.SetBkColor(crFace);
        const int textY = tab->bActive ? kStripHeight / 2 - title.cy / 2 : t + title.cy / 2;
        dc.TextOut(x + kTitleMargin, textY, tab->strTitle);
        look::DrawLine(dc, kWhite, x, t + 2, x, kStripHeight);
        look::DrawLine(dc, kWhite, x + 2, t, x + w - 1, t);
        dc.SetPixel(x + 1, t + 1, kWhite);
        look::DrawLine(dc, kBlack, x + w, t + 2, x + w, kStripHeight);
        dc.SetPixel(x + w - 1, t + 1, kBlack);
        look::DrawLine(dc, kTabLight, x + 2, t + 1, x + w - 1, t + 1);
        look::DrawLine(dc, kTabShade, x + w - 1, t + 2, x + w - 1, kStripHeight);
        tab->rect.SetRect(x, t, x + w, kStripHeight);
        x += w + 1;
    }
    if (x < m_rectClient.right)
        dc.FillSolidRect(x, 0, m_rectClient.right - x, kStripHeight, kStripGround);
    dc.SelectObject(pOldFont);
}

void CMyPropertySheet::LayoutPages()
{
    const int x = kPageMargin;
    const int y = kStripHeight + kPageMargin;
    const int w = m_rectClient.Width() - kPageMargin - 1 - kPageMargin;
    const int h = m_rectClient.Height() - kPageMargin - (kStripHeight + kPageMargin);
    for (auto& tab : m_arrTabs)
        if (tab->pPage && tab->pPage->m_hWnd)
            tab->pPage->MoveWindow(x, y, std::max(w, 0), std::max(h, 0));
}

void CMyPropertySheet::OnLButtonDown(UINT nFlags, CPoint point)
{
    for (auto& tab : m_arrTabs) {
        if (tab->rect.PtInRect(point)) {
            SetActivePage(tab->nIndex);
            break;
        }
    }
    CDialog::OnLButtonDown(nFlags, point);
}

BOOL CMyPropertySheet::OnEraseBkgnd(CDC* pDC)
{
    if (!m_bmpOffscreen.m_hObject)
        return static_cast<BOOL>(Default());
    bitmaps::Copy(*pDC, 0, 0, m_rectClient.Width(), m_rectClient.Height(), m_bmpOffscreen);
    return FALSE;
}

void CMyPropertySheet::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    if (!m_bmpOffscreen.m_hObject)
        return; // not yet initialised (InitSheet makes the first picture)
    GetClientRect(&m_rectClient);
    CreateOffscreen();
    Render();
    CClientDC dc(this);
    DrawTabs(dc);
    LayoutPages();
}
