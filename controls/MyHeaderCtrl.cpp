#include "MyHeaderCtrl.h"

#include "Look.h"
#include "resource.h"

#include <vector>

IMPLEMENT_DYNAMIC(CMyHeaderCtrl, CHeaderCtrl)

BEGIN_MESSAGE_MAP(CMyHeaderCtrl, CHeaderCtrl)
    ON_WM_PAINT()
    ON_WM_DRAWITEM()
END_MESSAGE_MAP()

namespace {

const COLORREF kGround = RGB(220, 215, 185);
const COLORREF kCaption = RGB(12, 66, 130);
const COLORREF kDivider = RGB(196, 185, 128);
const COLORREF kFrameLight = RGB(236, 233, 216);
const COLORREF kFrameDark = RGB(146, 135, 70);
const int kArrowSize = 9;

} // namespace

CMyHeaderCtrl::CMyHeaderCtrl()
{
    m_bmpUp.LoadBitmap(IDB_SORT_UP);
    m_bmpDown.LoadBitmap(IDB_SORT_DOWN);
}

CMyHeaderCtrl::~CMyHeaderCtrl() = default;

void CMyHeaderCtrl::OnColumnClicked(int nColumn)
{
    if (nColumn == 0)
        return;
    if (nColumn != m_nSortColumn) {
        m_nSortColumn = nColumn;
        m_nAscending = 0;
    } else {
        m_nAscending = m_nAscending ? 0 : 1;
    }
    // The arrow follows the state at once, also when the sort column is clicked again.
    if (m_hWnd)
        Invalidate(TRUE);
}

int CMyHeaderCtrl::GetSortOrder() const
{
    if (m_nSortColumn == -1)
        return -1;
    return m_nAscending == 1 ? 1 : 2;
}

void CMyHeaderCtrl::OnDrawItem(int /*nIDCtl*/, LPDRAWITEMSTRUCT /*lpDrawItemStruct*/)
{
}

void CMyHeaderCtrl::OnPaint()
{
    CPaintDC dc(this);
    PaintItems(dc);
}

void CMyHeaderCtrl::PaintItems(CDC& dc)
{
    CRect clip;
    dc.GetClipBox(&clip);
    dc.FillSolidRect(&clip, kGround);

    HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    HGDIOBJ hOldFont = hFont ? dc.SelectObject(hFont) : nullptr;
    dc.SetTextColor(kCaption);
    dc.SetBkColor(kGround);
    dc.SetBkMode(TRANSPARENT);

    const int count = GetItemCount();
    std::vector<int> order(static_cast<size_t>(count > 0 ? count : 0));
    if (count > 0 && !SendMessage(HDM_GETORDERARRAY, static_cast<WPARAM>(count), reinterpret_cast<LPARAM>(order.data()))) {
        for (int i = 0; i < count; ++i)
            order[static_cast<size_t>(i)] = i;
    }

    int totalWidth = 0;
    for (int pos = 0; pos < count; ++pos) {
        const int index = order[static_cast<size_t>(pos)];
        char text[80] = "";
        HDITEMA item{};
        item.mask = HDI_TEXT | HDI_FORMAT | HDI_WIDTH;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        if (!GetItem(index, &item))
            continue;
        CRect rect;
        GetItemRect(index, &rect);
        totalWidth += item.cxy;

        if (item.fmt & HDF_OWNERDRAW) {
            DRAWITEMSTRUCT dis{};
            dis.CtlType = ODT_HEADER;
            dis.CtlID = static_cast<UINT>(GetDlgCtrlID());
            dis.itemID = static_cast<UINT>(index);
            dis.itemAction = ODA_DRAWENTIRE;
            dis.itemState = 0;
            dis.hwndItem = m_hWnd;
            dis.hDC = dc.GetSafeHdc();
            dis.rcItem = rect;
            DrawItem(&dis);
        } else if (item.fmt & HDF_STRING) {
            CRect textRect = rect;
            textRect.DeflateRect(kCaptionInset, 0);
            dc.DrawText(text, -1, &textRect, DT_CENTER | DT_SINGLELINE | DT_VCENTER | DT_END_ELLIPSIS);
        }

        if (index == m_nSortColumn && rect.Width() >= 10) {
            CBitmap& arrow = m_nAscending ? m_bmpUp : m_bmpDown;
            if (arrow.m_hObject) {
                CDC mem;
                mem.CreateCompatibleDC(&dc);
                CBitmap* pOld = mem.SelectObject(&arrow);
                dc.BitBlt(rect.right - 10, 2, kArrowSize, kArrowSize, &mem, 0, 0, SRCCOPY);
                mem.SelectObject(pOld);
            }
        }

        if (pos < count - 1) {
            look::DrawLine(dc, kDivider, rect.right - 1, rect.top + 2, rect.right - 1, rect.bottom - 2);
            look::DrawLine(dc, kGround, rect.right, rect.top + 2, rect.right, rect.bottom - 2);
        }
    }

    if (totalWidth > 0) {
        CRect client;
        GetClientRect(&client);
        dc.Draw3dRect(client.left, client.top, totalWidth, client.Height(), kFrameLight, kFrameDark);
    }
    if (hOldFont)
        dc.SelectObject(hOldFont);
}
