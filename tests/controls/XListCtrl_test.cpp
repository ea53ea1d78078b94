// The extended list control on a host window of its own: cell records, check-box and
// progress cells, what the parent hears of clicks, the header's sort state, and what custom
// draw puts on the screen.
#include "WindowBench.h"
#include "XListCtrl.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace {

// The list's parent: records the messages the list sends it.
class CListHost : public CWnd
{
public:
    std::vector<std::pair<WPARAM, LPARAM>> checkClicks;
    std::vector<WPARAM> rightButtonRows;
    std::vector<std::pair<WPARAM, LPARAM>> rightButtonPoints;  // WM_RBUTTONDBLCLK
    int sortRequests = 0;
    int columnClicks = 0;  // LVN_COLUMNCLICK that still reaches the parent
    std::vector<UINT> order;  // the messages above, in arrival order

protected:
    afx_msg LRESULT OnCheckClicked(WPARAM wParam, LPARAM lParam)
    {
        checkClicks.emplace_back(wParam, lParam);
        return 0;
    }
    afx_msg LRESULT OnListRButtonDown(WPARAM wParam, LPARAM)
    {
        rightButtonRows.push_back(wParam);
        order.push_back(UM_LIST_RBUTTONDOWN);
        return 0;
    }
    afx_msg LRESULT OnRButtonDblClkMsg(WPARAM wParam, LPARAM lParam)
    {
        rightButtonPoints.emplace_back(wParam, lParam);
        order.push_back(WM_RBUTTONDBLCLK);
        return 0;
    }
    afx_msg LRESULT OnSortColumn(WPARAM, LPARAM)
    {
        ++sortRequests;
        return 0;
    }
    afx_msg void OnColumnClick(NMHDR*, LRESULT* pResult)
    {
        ++columnClicks;
        *pResult = 0;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CListHost, CWnd)
    ON_REGISTERED_MESSAGE(WM_XLISTCTRL_CHECKBOX_CLICKED, &CListHost::OnCheckClicked)
    ON_MESSAGE(UM_LIST_RBUTTONDOWN, &CListHost::OnListRButtonDown)
    ON_MESSAGE(WM_RBUTTONDBLCLK, &CListHost::OnRButtonDblClkMsg)
    ON_MESSAGE(UM_SORT_COLUMN, &CListHost::OnSortColumn)
    ON_NOTIFY(LVN_COLUMNCLICK, 1009, &CListHost::OnColumnClick)
END_MESSAGE_MAP()

const COLORREF kRed = RGB(255, 0, 0);
const COLORREF kYellow = RGB(255, 255, 0);

class XListCtrlTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        testsupport::InitControls();
        ASSERT_TRUE(host.CreateEx(0, nullptr, "list host", WS_POPUP | WS_VISIBLE | WS_CAPTION, 30, 30, 560, 260,
                                  nullptr, nullptr));
        ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT | LVS_SHOWSELALWAYS,
                                CRect(5, 5, 525, 205), &host, 1009));
        const char* captions[] = {"Document", "Check", "Number", "Title"};
        for (int i = 0; i < 4; ++i)
            list.InsertColumn(i, captions[i], i == 2 ? LVCFMT_CENTER : LVCFMT_LEFT, 120);
        list.SetExtendedStyle(LVS_EX_FULLROWSELECT);
        testsupport::PumpMessages(30);
    }
    void TearDown() override
    {
        list.DestroyWindow();
        host.DestroyWindow();
    }

    void AddRows(int count)
    {
        for (int i = 0; i < count; ++i) {
            CString text;
            text.Format("row %d", i);
            ASSERT_EQ(i, list.InsertItem(i, text));
            text.Format("US%d", 1000 + i);
            list.SetItemText(i, 2, text);
        }
    }
    // The centre of a cell in client coordinates.
    CPoint CellCentre(int row, int col)
    {
        CRect rect;
        listcells::GetCellRect(list, row, col, rect);
        return rect.CenterPoint();
    }
    void Click(UINT down, UINT up, CPoint pt)
    {
        list.PostMessage(down, 0, MAKELPARAM(pt.x, pt.y));
        list.PostMessage(up, 0, MAKELPARAM(pt.x, pt.y));
        testsupport::PumpMessages(60);
    }
    // The colour on the screen at a client point of the list.
    COLORREF ScreenColour(CPoint pt)
    {
        list.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        testsupport::PumpMessages(30);
        HDC dc = ::GetDC(list.m_hWnd);
        const COLORREF colour = ::GetPixel(dc, pt.x, pt.y);
        ::ReleaseDC(list.m_hWnd, dc);
        return colour;
    }

    CListHost host;
    CXListCtrl list;
};

} // namespace

TEST_F(XListCtrlTest, CellsKeepTextColoursAndDataInTheirRecords)
{
    AddRows(2);
    EXPECT_EQ(-1, list.InsertItem(-1, "no row"));
    EXPECT_EQ(2, list.GetItemCount());

    EXPECT_TRUE(list.SetItemText(1, 3, "red", kYellow, kRed));
    const ListCellRecord* cell = list.GetCellRecord(1, 3);
    ASSERT_NE(nullptr, cell);
    EXPECT_EQ(kYellow, cell->textColour);
    EXPECT_EQ(kRed, cell->backColour);
    EXPECT_EQ(CString("red"), list.GetItemText(1, 3));

    EXPECT_TRUE(list.SetItemText(1, 3, nullptr, static_cast<COLORREF>(-1), static_cast<COLORREF>(-1)));
    EXPECT_EQ(::GetSysColor(COLOR_WINDOWTEXT), cell->textColour) << "-1 takes the list's own colours";
    EXPECT_EQ(::GetSysColor(COLOR_WINDOW), cell->backColour);
    EXPECT_EQ(CString("red"), list.GetItemText(1, 3)) << "no text: colours only";
    EXPECT_TRUE(list.SetItemText(1, 3, "plain"));
    EXPECT_EQ(::GetSysColor(COLOR_WINDOW), cell->backColour);

    // The data word lives in the record; the item parameter holds the records.
    EXPECT_TRUE(list.SetItemData(0, 4711));
    EXPECT_TRUE(list.SetItemData(1, 42));
    EXPECT_EQ(4711u, list.GetItemData(0));
    EXPECT_EQ(42u, list.GetItemData(1));
    LVITEMA item{};
    item.mask = LVIF_PARAM;
    item.iItem = 0;
    list.CListCtrl::GetItem(&item);
    EXPECT_EQ(reinterpret_cast<LPARAM>(listcells::GetRow(list, 0)), item.lParam);

    EXPECT_TRUE(list.DeleteItem(0));
    EXPECT_EQ(42u, list.GetItemData(0)) << "the records move with their row";
    EXPECT_TRUE(list.DeleteAllItems());
    EXPECT_EQ(0, list.GetItemCount());
}

TEST_F(XListCtrlTest, ARowInsertedInOneGoHoldsWhatCellByCellFillingGives)
{
    // Column 1's header shows a check box, which follows the rows either way.
    HDITEMA header{};
    header.mask = HDI_IMAGE | HDI_FORMAT;
    header.fmt = HDF_STRING | HDF_IMAGE;
    header.iImage = 2;
    list.GetHeader().SetItem(1, &header);
    auto headerImage = [&] {
        HDITEMA read{};
        read.mask = HDI_IMAGE;
        list.GetHeader().GetItem(1, &read);
        return read.iImage;
    };

    // Row 0 cell by cell, as the pages filled it one call at a time.
    ASSERT_EQ(0, list.InsertItem(0, ""));
    list.SetItemText(0, 0, " 1.");
    list.SetCheckbox(0, 1, 1);
    list.SetItemText(0, 2, "EP3900001");
    list.SetItemText(0, 3, "A title");
    list.SetItemData(0, 1);
    EXPECT_EQ(2, headerImage());

    // Row 1 in one go, with records for the first two columns only.
    std::vector<ListCellRecord> cells(2, list.DefaultCell());
    cells[0].rowData = 1;
    cells[1].checkState = 1;
    CListFillScope fill(list);
    ASSERT_EQ(1, list.InsertRow(1, {" 1.", "", "EP3900001", "A title"}, cells));
    for (int col = 0; col < 4; ++col) {
        EXPECT_EQ(list.GetItemText(0, col), list.GetItemText(1, col)) << col;
        const ListCellRecord* one = list.GetCellRecord(0, col);
        const ListCellRecord* other = list.GetCellRecord(1, col);
        ASSERT_NE(nullptr, other) << col;
        EXPECT_EQ(one->checkState, other->checkState) << col;
        EXPECT_EQ(one->textColour, other->textColour) << col;
        EXPECT_EQ(one->backColour, other->backColour) << col;
    }
    EXPECT_EQ(1u, list.GetItemData(1));
    EXPECT_EQ(2, headerImage()) << "both rows checked";

    cells[1].checkState = 0;
    ASSERT_EQ(2, list.InsertRow(2, {" 2."}, cells));
    EXPECT_EQ(0, list.GetCheckbox(2, 1));
    EXPECT_EQ(1, headerImage()) << "an unchecked row clears the header's box";
    EXPECT_EQ(-1, list.InsertRow(-1, {"no row"}, cells));
    EXPECT_EQ(3, list.GetItemCount());
}

TEST_F(XListCtrlTest, OperationsOutsideTheListChangeNothing)
{
    AddRows(1);
    struct Case
    {
        int row, col;
    };
    for (const Case& c : {Case{-1, 0}, Case{1, 0}, Case{0, -1}, Case{0, 4}, Case{5, 9}}) {
        SCOPED_TRACE(testing::Message() << "row " << c.row << " column " << c.col);
        EXPECT_FALSE(list.SetItemText(c.row, c.col, "x"));
        EXPECT_FALSE(list.SetItemText(c.row, c.col, "x", kRed, kRed));
        EXPECT_FALSE(list.SetProgress(c.row, c.col));
        EXPECT_FALSE(list.SetCheckbox(c.row, c.col, 1));
        EXPECT_EQ(-1, list.GetCheckbox(c.row, c.col));
        list.UpdateProgress(c.row, c.col, 50);
    }
    EXPECT_EQ(0u, list.GetItemData(-1));
    EXPECT_EQ(0u, list.GetItemData(1));
    EXPECT_FALSE(list.SetItemData(3, 1));
    EXPECT_FALSE(list.DeleteItem(1));
    EXPECT_EQ(1, list.GetItemCount());
}

TEST_F(XListCtrlTest, AColumnAddedAfterTheRowsHasNoRecordInThem)
{
    AddRows(2);
    list.InsertColumn(4, "Added", LVCFMT_LEFT, 80);
    ASSERT_EQ(5, list.GetColumnCount());
    EXPECT_EQ(nullptr, list.GetCellRecord(0, 4));
    EXPECT_FALSE(list.SetItemText(0, 4, "x", kRed, kRed));
    EXPECT_FALSE(list.SetProgress(1, 4));
    EXPECT_FALSE(list.SetCheckbox(1, 4, 1));
    list.UpdateProgress(1, 4, 10);
    testsupport::PumpMessages(30);  // and drawing the old rows reads no record there

    ASSERT_EQ(2, list.InsertItem(2, "new row"));
    EXPECT_TRUE(list.SetItemText(2, 4, "x", kRed, kRed)) << "a new row has all five";
}

TEST_F(XListCtrlTest, ProgressCellsKeepTheirPercentWithinRange)
{
    AddRows(1);
    ASSERT_TRUE(list.SetProgress(0, 3));
    const ListCellRecord* cell = list.GetCellRecord(0, 3);
    EXPECT_EQ(1, cell->isProgress);
    EXPECT_EQ(0, cell->percent);
    EXPECT_EQ(1, cell->showPercentText);
    EXPECT_TRUE(cell->progressFormat.IsEmpty());
    for (auto [given, kept] : {std::pair{-5, 0}, {250, 100}, {57, 57}, {0, 0}}) {
        list.UpdateProgress(0, 3, given);
        EXPECT_EQ(kept, cell->percent) << given;
    }
    ASSERT_TRUE(list.SetProgress(0, 3, FALSE, "%d of 100"));
    EXPECT_EQ(0, cell->showPercentText);
    EXPECT_EQ(CString("%d of 100"), cell->progressFormat);
}

TEST_F(XListCtrlTest, AClickAnywhereInACheckboxCellTogglesItAndTellsTheParent)
{
    AddRows(3);
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(list.SetCheckbox(i, 1, 0));
    // Column 1's header shows a check box (an image other than 0).
    HDITEMA item{};
    item.mask = HDI_IMAGE | HDI_FORMAT;
    item.fmt = HDF_STRING | HDF_IMAGE;
    item.iImage = 1;
    list.GetHeader().SetItem(1, &item);

    CRect cell;
    listcells::GetCellRect(list, 1, 1, cell);
    Click(WM_LBUTTONDOWN, WM_LBUTTONUP, CPoint(cell.right - 3, cell.top + 2));  // far from the box
    EXPECT_EQ(1, list.GetCheckbox(1, 1));
    ASSERT_EQ(1u, host.checkClicks.size());
    EXPECT_EQ(std::make_pair(WPARAM(1), LPARAM(1)), host.checkClicks[0]);

    Click(WM_LBUTTONDOWN, WM_LBUTTONUP, CellCentre(1, 1));
    EXPECT_EQ(0, list.GetCheckbox(1, 1)) << "a second click returns it to its first state";
    EXPECT_EQ(2u, host.checkClicks.size());

    Click(WM_LBUTTONDOWN, WM_LBUTTONUP, CellCentre(0, 2));  // not a check-box cell
    EXPECT_EQ(2u, host.checkClicks.size());
    EXPECT_EQ(0, list.GetCurSel()) << "the click went on to select the row";

    // The header box follows the rows: all checked 2, else 1.
    auto headerImage = [&] {
        HDITEMA read{};
        read.mask = HDI_IMAGE;
        list.GetHeader().GetItem(1, &read);
        return read.iImage;
    };
    for (int i = 0; i < 3; ++i)
        Click(WM_LBUTTONDOWN, WM_LBUTTONUP, CellCentre(i, 1));
    EXPECT_EQ(3, list.CountCheckedItems(1));
    EXPECT_EQ(2, headerImage());
    Click(WM_LBUTTONDOWN, WM_LBUTTONUP, CellCentre(2, 1));
    EXPECT_EQ(1, headerImage());
}

TEST_F(XListCtrlTest, SearchPageHelpersReadTheCells)
{
    AddRows(3);
    EXPECT_EQ(1, list.FindItemByText("US1001"));
    EXPECT_EQ(-1, list.FindItemByText("row 1")) << "only column 2 is compared";
    EXPECT_EQ(-1, list.GetCurSel());

    list.SetCheckbox(0, 1, 1);
    list.SetCheckbox(1, 1, 0);
    list.ColorRowByCheck(0);
    list.ColorRowByCheck(1);
    for (int col : {0, 2, 3}) {
        EXPECT_EQ(RGB(0, 0, 255), list.GetCellRecord(0, col)->textColour) << col;
        EXPECT_EQ(RGB(0, 0, 0), list.GetCellRecord(1, col)->textColour) << col;
        EXPECT_EQ(RGB(255, 255, 255), list.GetCellRecord(0, col)->backColour) << col;
    }
    EXPECT_EQ(CString("US1000"), list.GetItemText(0, 2)) << "texts stay";

    list.DeleteAllItems();
    EXPECT_EQ(-1, list.FindItemByText("US1000"));
}

TEST_F(XListCtrlTest, RightButtonTellsTheParentTheRowAndThePoint)
{
    AddRows(2);
    const CPoint pt = CellCentre(1, 3);
    Click(WM_RBUTTONDOWN, WM_RBUTTONUP, pt);
    CPoint screen = pt;
    list.ClientToScreen(&screen);
    EXPECT_EQ(screen, list.m_ptLastRightClick);
    ASSERT_EQ(1u, host.rightButtonRows.size());
    EXPECT_EQ(1u, host.rightButtonRows[0]);
    ASSERT_EQ(1u, host.rightButtonPoints.size());
    EXPECT_EQ(1u, host.rightButtonPoints[0].first);
    EXPECT_EQ(MAKELPARAM(screen.x, screen.y), host.rightButtonPoints[0].second);
    EXPECT_EQ((std::vector<UINT>{UM_LIST_RBUTTONDOWN, WM_RBUTTONDBLCLK}), host.order);

    Click(WM_RBUTTONDOWN, WM_RBUTTONUP, CPoint(40, 190));  // below the rows
    ASSERT_EQ(2u, host.rightButtonRows.size());
    EXPECT_EQ(static_cast<WPARAM>(-1), host.rightButtonRows[1]);
}

TEST_F(XListCtrlTest, HeaderClicksKeepTheSortState)
{
    CMyHeaderCtrl& header = list.GetHeader();
    ASSERT_NE(nullptr, header.m_hWnd) << "the header is subclassed when the list is created";
    auto clickHeader = [&](int col) {
        NMHEADERA nm{};
        nm.hdr.hwndFrom = header.m_hWnd;
        nm.hdr.idFrom = 0;
        nm.hdr.code = HDN_ITEMCLICKA;
        nm.iItem = col;
        list.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&nm));
    };
    EXPECT_EQ(-1, header.GetSortOrder());
    struct Step
    {
        int column;
        int sortColumn;
        int order;
    };
    const Step steps[] = {
        {0, -1, -1},  // column 0 changes nothing
        {2, 2, 2},    // a new column starts descending
        {2, 2, 1},    // the same column flips
        {2, 2, 2},
        {0, 2, 2},
        {3, 3, 2},
    };
    int expectedRequests = 0;
    for (const Step& s : steps) {
        clickHeader(s.column);
        ++expectedRequests;
        EXPECT_EQ(s.sortColumn, header.GetSortColumn()) << "after column " << s.column;
        EXPECT_EQ(s.order, header.GetSortOrder()) << "after column " << s.column;
        EXPECT_EQ(expectedRequests, host.sortRequests) << "every click asks the parent to sort";
    }
    EXPECT_EQ(expectedRequests, host.columnClicks) << "the list's own column click still reaches the parent";

    NMHEADERA drag{};
    drag.hdr.hwndFrom = header.m_hWnd;
    drag.hdr.code = HDN_BEGINDRAG;
    EXPECT_EQ(1, list.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&drag))) << "columns are not dragged";
}

TEST_F(XListCtrlTest, CustomDrawShowsCellColoursAndBarsOnlyOnAWideList)
{
    AddRows(2);
    list.SetItemText(0, 3, "", RGB(0, 0, 0), kRed);
    list.SetProgress(1, 3);
    list.UpdateProgress(1, 3, 50);
    CRect bar;
    listcells::GetCellRect(list, 1, 3, bar);
    const CPoint barStart(bar.left + bar.Width() / 5, bar.CenterPoint().y);
    const CPoint barRest(bar.right - 8, bar.top + 4);

    EXPECT_EQ(kRed, ScreenColour(CellCentre(0, 3)));
    EXPECT_EQ(::GetSysColor(COLOR_HIGHLIGHT), ScreenColour(barStart)) << "the filled half of the bar";
    EXPECT_EQ(RGB(224, 224, 224), ScreenColour(barRest)) << "the empty half";

    list.UpdateProgress(1, 3, 0);
    EXPECT_EQ(RGB(224, 224, 224), ScreenColour(barStart)) << "no bar at 0 %";

    // Below 300 pixels the list draws itself plainly.
    for (int col = 0; col < 3; ++col)
        list.SetColumnWidth(col, 50);
    list.MoveWindow(5, 5, 290, 200);
    const CPoint cell = CellCentre(0, 3);
    ASSERT_LT(cell.x, 280);
    EXPECT_NE(kRed, ScreenColour(cell));
}
