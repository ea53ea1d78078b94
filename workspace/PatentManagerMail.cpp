// The document list's two commands that hand the selected documents' files to the user:
// Email Patent(s) puts them into one mail through Simple MAPI, Save File(s) To... copies
// them into a folder chosen in the Save Files To dialog.
#include "PatentManager.h"

#include "MapiSession.h"
#include "SaveFilesTo.h"
#include "TextHelpers.h"
#include "XmlHelpers.h"
#include "ZentrovaDlg.h"
#include "resource.h"

CPatentManager::MessageBoxFn CPatentManager::s_pfnMessageBox = &::MessageBoxA;

namespace {

// The file's path without its folder (the whole path when it has none).
CString FileNameOf(const CString& path)
{
    const int slash = path.ReverseFind('\\');
    return slash >= 0 ? path.Mid(slash + 1) : path;
}

} // namespace

int CPatentManager::GetRowDocumentFiles(int nRow, CString& strPdfPath, CString& strHtmlPath, CString& strOtherPath,
                                        CString& strName, CString& strTitle)
{
    IXMLDOMNodePtr document = RowDocument(nRow);
    if (!document)
        return 0;
    GetXmlAttribute(document, "Name", strName);
    GetXmlAttribute(document, "DocumentTitle", strTitle);
    int found = 0;
    struct Kind
    {
        const char* type;
        CString* pPath;
    };
    for (const Kind& kind : {Kind{"PDF", &strPdfPath}, Kind{"HTML", &strHtmlPath}, Kind{"OTHER", &strOtherPath}}) {
        IXMLDOMNodePtr item =
            document->selectSingleNode(_bstr_t(CString("XMLCatalog/CatalogItem[@FileType='") + kind.type + "']"));
        if (!item)
            continue;
        found = 1;
        GetXmlAttribute(item, "FilePath", *kind.pPath);
    }
    return found;
}

void CPatentManager::OnEmailDocuments()
{
    CMapiMessage message;
    CMapiSession session;
    CWnd* pMain = GetTopLevelParent();
    if (!session.Logon("", "", nullptr, false)) {
        s_pfnMessageBox(pMain ? pMain->m_hWnd : nullptr,
                        "Sorry, MAPI logon failed. Please make sure you have a default profile setup for MAPI.\n",
                        "Error", MB_OK | MB_ICONERROR);
        return;
    }

    const CString site = LoadResourceString(IDS_URL_WEBSITE_1);
    const CString reader = LoadResourceString(IDS_URL_PDF_READER);
    message.m_sBody = "Please find attached to this e-mail the following patent document(s) that were downloaded "
                      "using Zentrova (" +
                      site + "):\n\n";
    for (int row : GetSelectedRows()) {
        CString pdf, html, other, name, title;
        if (!GetRowDocumentFiles(row, pdf, html, other, name, title))
            continue;
        if (!pdf.IsEmpty()) {
            message.m_Attachments.Add(pdf);
            message.m_AttachmentTitles.Add(name + ".PDF");
        }
        if (!html.IsEmpty()) {
            message.m_Attachments.Add(html);
            message.m_AttachmentTitles.Add(name + ".HTML");
        }
        if (!other.IsEmpty()) {
            message.m_Attachments.Add(other);
            message.m_AttachmentTitles.Add(name);
        }
        message.m_sBody += "\t" + name + "\t" + title + "\n\n";
    }
    message.m_sSubject = "Patent Documents Attached.";
    message.m_sBody += "\n\nA PDF reader is required to view and print the PDF files; you can download one at " +
                       reader + " free of charge.";
    // The user addresses and sends the mail in the mail client's window; a cancelled or
    // failed send is the client's to report.
    session.Send(message, false, true, nullptr, false);
}

void CPatentManager::OnSaveFilesTo()
{
    CSaveFilesTo dialog;
    if (dialog.DoModal() != IDOK)
        return;
    CString folder = dialog.m_strPath;
    if (folder.Right(1) == "\\")
        folder.Delete(folder.GetLength() - 1);
    CString report;
    const auto copy = [&](const CString& source) {
        const CString name = FileNameOf(source);
        if (::CopyFileA(source, folder + "\\" + name, dialog.m_bOverwrite ? FALSE : TRUE))
            return;
        char reason[256] = {};
        GetLastErrorText(reason, 255);
        CString line;
        line.Format("%s (%s)\n", name.GetString(), reason);
        report += line;
    };
    for (int row : GetSelectedRows()) {
        CString pdf, html, other, name, title;
        if (!GetRowDocumentFiles(row, pdf, html, other, name, title))
            continue;
        if (!pdf.IsEmpty() && (dialog.m_bAllDocuments || dialog.m_bOnlyPdf))
            copy(pdf);
        if (!html.IsEmpty() && (dialog.m_bAllDocuments || dialog.m_bOnlyHtml))
            copy(html);
        // Linked files go whatever the choice.
        if (!other.IsEmpty())
            copy(other);
    }
    if (report.IsEmpty())
        return;
    CWnd* pMain = GetTopLevelParent();
    s_pfnMessageBox(pMain ? pMain->m_hWnd : nullptr, "The following documents could not be copied:\n" + report,
                    "Copy Failed", MB_OK | MB_ICONERROR);
}
