// The Saved Reports page: the list of kept reports, Reports.xml, open, delete and mail.
#include "SavedReport.h"

#include "DataFileSaves.h"
#include "DataFiles.h"
#include "ListMessages.h"
#include "MapiSession.h"
#include "NewMenu.h"
#include "NewMenuHook.h"
#include "ReportFiles.h"
#include "ReportMessages.h"
#include "TraceLine.h"
#include "resource.h"

IMPLEMENT_DYNAMIC(CSavedReport, CMyPropertyPage)

BEGIN_MESSAGE_MAP(CSavedReport, CMyPropertyPage)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(UM_REPORT_ITEM_DONE, &CSavedReport::OnReportThreadDone)
    ON_MESSAGE(UM_SHOW_REPORT_FAULT, &CSavedReport::OnShowReportFault)
    ON_MESSAGE(UM_LIST_RBUTTONDOWN, &CSavedReport::OnListRButtonDown)
    ON_NOTIFY(NM_DBLCLK, IDC_SAVED_LIST, &CSavedReport::OnDblclkReportList)
    ON_NOTIFY(LVN_KEYDOWN, IDC_SAVED_LIST, &CSavedReport::OnKeydownReportList)
    ON_NOTIFY(NM_RCLICK, IDC_SAVED_LIST, &CSavedReport::OnRclickReportList)
    ON_COMMAND(ID_REPORT_OPEN, &CSavedReport::OnOpenSelectedReport)
    ON_COMMAND(ID_REPORT_DELETE, &CSavedReport::OnDeleteSelectedReport)
    ON_COMMAND(ID_REPORT_EMAIL, &CSavedReport::OnEmailSelectedReports)
    ON_BN_CLICKED(IDC_SAVED_STOP, &CSavedReport::OnStop)
END_MESSAGE_MAP()

CSavedReport::ShellExecuteFn CSavedReport::s_pfnShellExecute = ::ShellExecuteA;

namespace {

CString ResourceString(UINT id)
{
    char text[512] = "";
    ::LoadStringA(::GetModuleHandleA(nullptr), id, text, sizeof text);
    return text;
}

CString RowNumber(const char* format, int n)
{
    CString text;
    text.Format(format, n);
    return text;
}

} // namespace

CSavedReport::CSavedReport(CWnd* pParent) : CMyPropertyPage(IDD_SAVED_REPORTS, pParent)
{
}

CSavedReport::~CSavedReport() = default;

void CSavedReport::DoDataExchange(CDataExchange* pDX)
{
    CMyPropertyPage::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_SAVED_LIST, m_List);
    DDX_Control(pDX, IDC_SAVED_PROGRESS, m_Progress);
    DDX_Control(pDX, IDC_SAVED_STOP, m_Stop);
    DDX_Control(pDX, IDC_SAVED_STATUS, m_Status);
}

CString CSavedReport::SavePath()
{
    CString path = m_Options.GetOptionValue("SavePath");
    if (!path.IsEmpty() && path.Right(1) != "\\")
        path += "\\";
    return path;
}

CString CSavedReport::ReportsFolder()
{
    return SavePath() + "Reports";
}

CString CSavedReport::ReportPdfPath(const CString& name)
{
    return ReportsFolder() + "\\" + ReportFileStem(name) + ".pdf";
}

BOOL CSavedReport::OnInitDialog()
{
    CMyPropertyPage::OnInitDialog();

    m_Progress.SetRange(0, 200);
    m_Progress.ModifyStyle(0, 0xA000);
    m_Progress.SetPos(0);
    m_Progress.SetSnakeLength(250);
    m_Progress.ModifyStyle(0x3000, 0);
    m_Progress.SetStep(3);
    COLORREF first = 0, second = 0;
    m_Progress.GetColors(first, second);
    if (first == second)
        first = second = RGB(206, 0, 0);
    m_Progress.SetColors(3, first, second, first);
    m_Progress.SetBkColor(RGB(226, 223, 206));
    m_Progress.ShowWindow(SW_HIDE);

    const char* const columns[] = {" ", " ", "Project", "Invention", "Client", "Date/Time Saved"};
    for (int i = 0; i < 6; ++i)
        m_List.InsertColumn(i, columns[i], LVCFMT_LEFT, 60);
    m_List.DeleteColumn(0);
    m_List.SetExtendedStyle(m_List.GetExtendedStyle() | LVS_EX_FULLROWSELECT);
    LoadReportsXml();

    m_Stop.LoadBitmap(IDB_RESULTS_STOP);
    m_Stop.EnableWindow(FALSE);
    m_Status.SetWindowText("Ready");
    m_bInitialized = TRUE;
    return TRUE;
}

void CSavedReport::OnSize(UINT nType, int cx, int cy)
{
    CMyPropertyPage::OnSize(nType, cx, cy);
    if (!m_bInitialized)
        return;
    GetClientRect(&m_rectClient);
    const int w = m_rectClient.Width(), h = m_rectClient.Height();
    m_List.MoveWindow(1, 30, w - 1, h - 30);
    m_Progress.MoveWindow(10, 6, 150, 15);
    m_Stop.MoveWindow(w - 64, 0, 54, 22);
    m_Status.MoveWindow(1, h - 16, w - 10, 15);
    m_Status.Invalidate();
    const int narrow[] = {20, 30, 30, 30, 30};
    for (int i = 0; i < 5; ++i)
        m_List.SetColumnWidth(i, narrow[i]);
    if (w >= 300) {
        const double shares[] = {0.03, 0.4, 0.2, 0.2, 0.197};
        for (int i = 0; i < 5; ++i)
            m_List.SetColumnWidth(i, static_cast<int>(w * shares[i]));
    }
    m_List.SetColumnWidth(4, LVSCW_AUTOSIZE_USEHEADER);
}

BOOL CSavedReport::OnEraseBkgnd(CDC* pDC)
{
    CMyPropertyPage::OnEraseBkgnd(pDC);
    if (!m_bInitialized)
        return TRUE;
    CRect rect;
    m_Progress.GetWindowRect(&rect);
    ScreenToClient(&rect);
    rect.InflateRect(1, 1);
    pDC->FillSolidRect(&rect, 0xD8E9EC);
    m_List.GetWindowRect(&rect);
    ScreenToClient(&rect);
    rect.InflateRect(1, 1);
    pDC->Draw3dRect(&rect, 0x80B9C4, 0xABD7DF);
    RenumberRows();
    return TRUE;
}

LRESULT CSavedReport::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_RBUTTONDBLCLK && wParam == 1) {
        m_nMenuX = static_cast<short>(LOWORD(lParam));
        m_nMenuY = static_cast<short>(HIWORD(lParam));
    }
    return CMyPropertyPage::WindowProc(message, wParam, lParam);
}

LRESULT CSavedReport::OnListRButtonDown(WPARAM, LPARAM)
{
    return 0;
}

void CSavedReport::RenumberRows()
{
    // Runs on every erase of the page: rows already numbered cost one look each, and a list
    // to renumber (every row after a refill) takes its texts in one quiet pass.
    CMenuHookPause pause;
    const int count = m_List.GetItemCount();
    int i = 0;
    while (i < count && m_List.GetItemText(i, 0) == RowNumber(" %d.", i + 1))
        ++i;
    if (i == count)
        return;
    CListFillScope fill(m_List);
    for (; i < count; ++i) {
        const CString number = RowNumber(" %d.", i + 1);
        if (m_List.GetItemText(i, 0) != number)
            m_List.SetCellText(i, 0, number);
    }
}

void CSavedReport::FillReportList()
{
    const std::vector<SavedReportEntry> entries = m_Entries;
    CListFillScope fill(m_List);
    m_List.DeleteAllItems();
    for (size_t i = 0; i < entries.size(); ++i)
        m_List.InsertRow(static_cast<int>(i), {RowNumber("%d. ", static_cast<int>(i) + 1), entries[i].strName,
                                               entries[i].strMark, entries[i].strClient, entries[i].strDateTime});
}

void CSavedReport::AddReportRow(SavedReportEntry entry)
{
    for (int i = m_List.GetItemCount() - 1; i >= 0; --i)
        if (m_List.GetItemText(i, 1) == entry.strName)
            m_List.DeleteItem(i);
    const int count = m_List.GetItemCount();
    const int row = m_List.InsertItem(count, RowNumber("%d.", count + 1));
    m_List.SetItemText(row, 1, entry.strName);
    m_List.SetItemText(row, 2, entry.strMark);
    m_List.SetItemText(row, 3, entry.strClient);
    m_List.SetItemText(row, 4, entry.strDateTime);
}

void CSavedReport::LoadReportsXml()
{
    const CString path = ResolveDataFilePath("Reports.xml");
    std::vector<SavedReportEntry> records;
    DataFileFault fault = DataFileFault::None;
    m_bReportsXmlUnreadable = !ReadReportsXml(path, records, &fault);
    if (fault != DataFileFault::None) {
        // Not a list this program wrote: it goes aside whole and the list starts empty.
        const CString aside = SetDataFileAside(path, fault);
        if (!aside.IsEmpty()) {
            m_bReportsXmlUnreadable = false;
            WriteTraceLine("CSavedReport::LoadReportsXml()-Reports.xml was set aside as " + aside);
            Ask(DataFileSetAsideText("saved reports", path, aside, fault), AfxGetAppName(), MB_OK | MB_ICONWARNING);
        }
    }
    if (m_bReportsXmlUnreadable)
        WriteTraceLine("CSavedReport::LoadReportsXml()-Reports.xml could not be read; it is left as it is");
    // The refill shows every entry, in file order, whatever rows stood before: the rows are
    // made once, not once per entry.
    m_Entries.insert(m_Entries.end(), records.begin(), records.end());
    FillReportList();
}

bool CSavedReport::WriteReportsXml()
{
    // A list that could not be read is not replaced by the few entries known now.
    if (m_bReportsXmlUnreadable)
        return false;
    return SaveDataFile(GetAppDirectory() + "\\Reports.xml", FormatReportsXml(m_Entries), "list of saved reports");
}

int CSavedReport::FirstSelectedRow()
{
    return m_List.GetNextItem(-1, LVNI_SELECTED);
}

int CSavedReport::Ask(const char* text, const char* caption, UINT type)
{
    return ::MessageBoxA(GetSafeHwnd(), text, caption, type);
}

void CSavedReport::OpenReportFile(const CString& path)
{
    s_pfnShellExecute(GetSafeHwnd(), "Open", path, nullptr, nullptr, SW_SHOWNORMAL);
}

void CSavedReport::OpenSelectedReport()
{
    const int row = FirstSelectedRow();
    if (row < 0)
        return;
    const CString name = m_List.GetItemText(row, 1);
    for (const SavedReportEntry& entry : m_Entries) {
        if (entry.strName != name)
            continue;
        const CString path = ReportPdfPath(name);
        if (::GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
            Ask("The specified file does not exist.", "Error", MB_OK | MB_ICONERROR);
        else
            OpenReportFile(path);
        return;
    }
}

void CSavedReport::DeleteSelectedReport()
{
    const int row = FirstSelectedRow();
    if (row < 0)
        return;
    if (Ask("Do you want to Delete the selected report(s)?", "Delete?",
            MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return;
    const CString name = m_List.GetItemText(row, 1);
    for (size_t i = m_Entries.size(); i-- > 0;)
        if (m_Entries[i].strName == name)
            m_Entries.erase(m_Entries.begin() + static_cast<std::ptrdiff_t>(i));
    WriteReportsXml();
    m_List.DeleteItem(row);
    ::DeleteFileA(ReportPdfPath(name));
    RenumberRows();
}

void CSavedReport::OnDblclkReportList(NMHDR*, LRESULT* pResult)
{
    OpenSelectedReport();
    *pResult = 0;
}

void CSavedReport::OnKeydownReportList(NMHDR* pNMHDR, LRESULT* pResult)
{
    const auto* key = reinterpret_cast<NMLVKEYDOWN*>(pNMHDR);
    if (key->wVKey == VK_DELETE && FirstSelectedRow() >= 0)
        DeleteSelectedReport();
    *pResult = 0;
}

void CSavedReport::OnRclickReportList(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
    CNewMenu menu;
    if (!menu.LoadMenu(IDR_CONTEXT_MENUS))
        return;
    CMenu* pPopup = menu.GetSubMenu(7);
    if (!pPopup)
        return;
    if (FirstSelectedRow() < 0) {
        const UINT ids[] = {ID_REPORT_EMAIL, ID_REPORT_OPEN, ID_REPORT_DELETE};
        for (UINT id : ids)
            pPopup->EnableMenuItem(id, MF_BYCOMMAND | MF_GRAYED | MF_DISABLED);
    }
    pPopup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, m_nMenuX, m_nMenuY, this);
}

void CSavedReport::OnOpenSelectedReport()
{
    OpenSelectedReport();
}

void CSavedReport::OnDeleteSelectedReport()
{
    DeleteSelectedReport();
    FillReportList();
}

void CSavedReport::OnEmailSelectedReports()
{
    CMapiMessage message;
    CMapiSession session;
    if (!session.Logon("", "", nullptr, false)) {
        Ask("Sorry, MAPI logon failed. Please make sure you have a default profile setup for MAPI.\n", "Error",
            MB_OK | MB_ICONERROR);
        return;
    }
    message.m_sBody = "Please find attached to this e-mail the following patent report(s) that were downloaded "
                      "using Zentrova (" +
                      ResourceString(IDS_URL_WEBSITE_1) + "):\n\n";
    for (int row = m_List.GetNextItem(-1, LVNI_SELECTED); row >= 0; row = m_List.GetNextItem(row, LVNI_SELECTED)) {
        const CString name = m_List.GetItemText(row, 1);
        const CString path = ReportPdfPath(name);
        if (::GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
            continue;
        message.m_Attachments.Add(path);
        message.m_AttachmentTitles.Add(name + ".PDF");
        message.m_sBody += "\t" + name + "\n";
    }
    message.m_sSubject = "Patent Reports Attached.";
    message.m_sBody += "\n\nA PDF reader is required to view and print the PDF files; you can download one at " +
                       ResourceString(IDS_URL_PDF_READER) + " free of charge.";
    // No addressees: the mail client shows the mail for the user to address and send.
    session.Send(message, false, true, nullptr, false);
}

void CSavedReport::OnStop()
{
    StopReport();
}
