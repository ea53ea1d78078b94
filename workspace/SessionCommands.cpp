// The main window's Import/Export Search Session: a search session written to, or read from,
// a session file ("*.qvx") that the user names.
#include "ZentrovaDlg.h"

#include "FileDialog.h"
#include "ImportExportDialog.h"
#include "SearchSessions.h"
#include "SessionExport.h"

void CZentrovaDlg::OnImportExportSession()
{
    CImportExportDialog dialog(this);
    if (dialog.DoModal() != IDOK)
        return;
    if (dialog.m_nChoice == 1)
        ExportSearchSession();
    else
        ImportSearchSession();
}

void CZentrovaDlg::ExportSearchSession()
{
    CString text;
    CString why = "There are no results to be exported";
    if (!m_SearchPane.GetSearchSessions().BuildExport(text, why)) {
        g_pfnSessionMessageBox(m_hWnd, why, "Error", MB_OK | MB_ICONERROR);
        return;
    }
    CFileDialog fileDialog(FALSE, "qvx", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kSessionFileFilter, this);
    if (fileDialog.DoModal() != IDOK)
        return;
    const CString path = fileDialog.GetPathName();
    CString reason;
    if (!WriteTextFile(path, text, &reason))
        g_pfnSessionMessageBox(m_hWnd, "The session could not be written to\n" + path + "\n" + reason, "Error",
                               MB_OK | MB_ICONERROR);
}

void CZentrovaDlg::ImportSearchSession()
{
    CFileDialog fileDialog(TRUE, "qvx", nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT, kSessionFileFilter, this);
    if (fileDialog.DoModal() != IDOK)
        return;
    SearchSession session;
    CString why;
    if (!ReadSessionExport(fileDialog.GetPathName(), session, why)) {
        g_pfnSessionMessageBox(m_hWnd, why, "Error", MB_OK | MB_ICONERROR);
        return;
    }
    m_SearchPane.AddSession(session);
}
