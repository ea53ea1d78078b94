// The report's own pages: the title page with the session's data and the first 45 rows of
// the document list on Template.bmp, further list pages of 45 rows on Template2.bmp, each
// page saved as a bitmap and turned into a one-page PDF by the outside converters.
#include "SavedReport.h"

#include "Corvella.h"
#include "Corvella6.h"
#include "DIBSection.h"
#include "DataFiles.h"
#include "ReportFiles.h"
#include "TextConversion.h"

#include <vector>

namespace {

const int kRowsPerPage = 45;

CString TempFolder()
{
    char buffer[2048] = "";
    ::GetTempPathA(sizeof buffer, buffer);
    return buffer;
}

void DrawText(CDC* pDC, int x, int y, const CString& text)
{
    ::TextOutA(pDC->GetSafeHdc(), x, y, text.GetString(), text.GetLength());
}

} // namespace

void ConvertBitmapToPdf(CString bitmapPath, CString pdfPath)
{
    try {
        const CString tiffPath = TempFolder() + "pattif.tif";
        Bmp2Tiff(AnsiToUtf16(bitmapPath).c_str(), AnsiToUtf16(tiffPath).c_str());
        HMODULE library = ::LoadLibraryA(GetAppDirectory() + "\\Corvella.dll");
        if (!library)
            return;
        auto makeIt = reinterpret_cast<MakeItFunction>(reinterpret_cast<void*>(::GetProcAddress(library, "MakeIt")));
        if (makeIt) {
            char tiff[2048] = "", pdf[2048] = "";
            lstrcpynA(tiff, tiffPath, sizeof tiff);
            lstrcpynA(pdf, pdfPath, sizeof pdf);
            makeIt(tiff, pdf);
        }
        ::FreeLibrary(library);
    } catch (CException* e) {
        e->ReportError();
        e->Delete();
    }
}

void CSavedReport::DrawReportPages()
{
    SYSTEMTIME now = {};
    ::GetLocalTime(&now);
    const CString dateLine = "Generation date: " + FormatReportDate(now);

    LOGFONTA logFont = {};
    logFont.lfHeight = 48;
    logFont.lfWidth = 18;
    lstrcpynA(logFont.lfFaceName, "Arial", LF_FACESIZE);
    HFONT font = ::CreateFontIndirectA(&logFont);
    const CString folder = GetAppDirectory();
    const CString firstTemplate = folder + "\\Template.bmp";
    const CString laterTemplate = folder + "\\Template2.bmp";
    const CString bitmapPath = TempFolder() + "patbmp.bmp";

    DIBSection page;
    std::vector<CString> pagePdfs;
    const int count = static_cast<int>(m_RunSession.results.GetSize());
    int index = 0;
    int pageNumber = 0;
    while (index < count) {
        LoadBitmapFile(index == 0 ? firstTemplate : laterTemplate, page);
        int y = 290;
        CDC* pDC = page.GetDC();
        HGDIOBJ oldFont = pDC ? ::SelectObject(pDC->GetSafeHdc(), font) : nullptr;
        if (pDC && index == 0) {
            y = 490;
            DrawText(pDC, 150, 290, "Project: " + m_strReportName);
            DrawText(pDC, 150, 360, "Invention: " + m_strReportMark);
            DrawText(pDC, 150, 430, "Client Name: " + m_strReportClient);
            DrawText(pDC, 920, 230, dateLine);
        }
        ++pageNumber;
        CString tiffName;
        tiffName.Format("%s\\Template%d.tif", folder.GetString(), pageNumber);
        for (int row = 0; row < kRowsPerPage && index < count; ++row) {
            const SessionResult& document = m_RunSession.results[index];
            CString text;
            text.Format("%d. ", index + 1);
            text += document.strTitle;
            if (text.GetLength() > 100)
                text.Delete(100, 500);
            text += " (No: " + document.strNumber + ").";
            if (pDC)
                DrawText(pDC, 150, y + 60, text);
            y += 50;
            ++index;
        }
        if (pDC)
            ::SelectObject(pDC->GetSafeHdc(), oldFont);
        SaveBitmap24(bitmapPath, page);
        CString pdfPath;
        pdfPath.Format("%s\\PeeDeeEff%d.pdf", folder.GetString(), pageNumber);
        pagePdfs.push_back(pdfPath);
        // A page whose conversion fails must not bring in the page of an earlier report.
        ::DeleteFileA(pdfPath);
        ConvertBitmapToPdf(bitmapPath, pdfPath);
        ::DeleteFileA(tiffName);
    }
    ::DeleteObject(font);
    MergeAndSaveReport(pagePdfs);
    for (const CString& path : pagePdfs)
        ::DeleteFileA(path);
}
