#include "ReportFiles.h"

#include "DataFiles.h"
#include "TextHelpers.h"
#include "XmlHelpers.h"

#include <shellapi.h>

#include <cstring>
#include <vector>

namespace {

bool IsDeviceName(CString base)
{
    base.MakeUpper();
    static const char* const kNames[] = {"CON", "PRN", "AUX", "NUL"};
    for (const char* n : kNames)
        if (base == n)
            return true;
    if (base.GetLength() == 4 && (base.Left(3) == "COM" || base.Left(3) == "LPT") && base[3] >= '1' &&
        base[3] <= '9')
        return true;
    return false;
}

CString FullPath(const CString& path)
{
    char buffer[2048] = "";
    char* file = nullptr;
    const DWORD n = ::GetFullPathNameA(path, sizeof buffer, buffer, &file);
    if (n == 0 || n >= sizeof buffer)
        return CString();
    CString full(buffer);
    while (full.GetLength() > 3 && (full.Right(1) == "\\" || full.Right(1) == "/"))
        full = full.Left(full.GetLength() - 1);
    return full;
}

bool ParseEntries(IXMLDOMDocument2Ptr doc, std::vector<SavedReportEntry>& entries, DataFileFault& fault)
{
    if (!IsDocumentOfKind(doc, L"saved", L"report")) {
        fault = DataFileFault::OtherKind;
        return false;
    }
    IXMLDOMNodeListPtr reports = doc->selectNodes(L"saved/report");
    if (!reports)
        return false;
    for (long i = 0; i < reports->Getlength(); ++i) {
        IXMLDOMNodePtr report = reports->Getitem(i);
        IXMLDOMNamedNodeMapPtr attributes = report->Getattributes();
        IXMLDOMNodeListPtr children = report->GetchildNodes();
        // A report element without its name or its three values is no entry.
        if (!attributes || attributes->Getlength() < 1 || !children || children->Getlength() < 3)
            continue;
        SavedReportEntry entry;
        entry.strName = ToAnsi(attributes->Getitem(0)->Gettext());
        entry.strMark = ToAnsi(children->Getitem(0)->Gettext());
        entry.strClient = ToAnsi(children->Getitem(1)->Gettext());
        entry.strDateTime = ToAnsi(children->Getitem(2)->Gettext());
        entries.push_back(entry);
    }
    return true;
}

} // namespace

CString ReportFileStem(const CString& name)
{
    CString stem = name;
    for (int i = 0; i < stem.GetLength(); ++i) {
        const unsigned char c = static_cast<unsigned char>(stem[i]);
        if (c < 0x20 || std::strchr("\\/:*?\"<>|", c))
            stem.SetAt(i, '_');
    }
    if (stem.IsEmpty())
        return "_";
    const char last = stem[stem.GetLength() - 1];
    if (last == ' ' || last == '.')
        stem.SetAt(stem.GetLength() - 1, '_');
    const int dot = stem.Find('.');
    if (IsDeviceName(dot >= 0 ? stem.Left(dot) : stem))
        stem.Insert(0, '_');
    return stem;
}

bool IsPathStrictlyBelow(const CString& path, const CString& folder)
{
    const CString full = FullPath(path);
    const CString root = FullPath(folder);
    if (full.IsEmpty() || root.IsEmpty() || full.GetLength() <= root.GetLength() + 1)
        return false;
    return full.Left(root.GetLength()).CompareNoCase(root) == 0 && full[root.GetLength()] == '\\';
}

bool DeleteFolderBelow(const CString& folder, const CString& reportsFolder, HWND hOwner)
{
    if (!IsPathStrictlyBelow(folder, reportsFolder))
        return false;
    return RunShellFileOperation(hOwner, FO_DELETE, FullPath(folder));
}

CString FormatReportsXml(const std::vector<SavedReportEntry>& entries)
{
    CString text = "<?xml version=\"1.0\" ?>\r\n<saved>\r\n";
    for (const SavedReportEntry& entry : entries) {
        CString item = "<report name=\"[REPORTNAME]\">\r\n<mark>[MARK]</mark>\r\n<client>[CLIENT]</client>\r\n"
                       "<datetime>[DATETIME]</datetime>\r\n</report>\r\n";
        item.Replace("[REPORTNAME]", EscapeXml(entry.strName));
        item.Replace("[MARK]", EscapeXml(entry.strMark));
        item.Replace("[CLIENT]", EscapeXml(entry.strClient));
        item.Replace("[DATETIME]", EscapeXml(entry.strDateTime));
        text += item;
    }
    return text + "</saved>\r\n";
}

bool ReadReportsXml(const CString& path, std::vector<SavedReportEntry>& entries, DataFileFault* pFault)
{
    entries.clear();
    DataFileFault unused;
    DataFileFault& fault = pFault ? *pFault : unused;
    fault = DataFileFault::None;
    if (::GetFileAttributesA(path) == INVALID_FILE_ATTRIBUTES)
        return true;
    if (IsOversizedDataFile(path)) {
        fault = DataFileFault::TooLarge;
        return false;
    }
    try {
        IXMLDOMDocument2Ptr doc = CreateDomDocument();
        doc->Putasync(VARIANT_FALSE);
        if (doc->load(_variant_t(path.GetString())) == VARIANT_TRUE)
            return ParseEntries(doc, entries, fault);

        // The file is written in the system code page without saying so: a letter beyond
        // ASCII is then no UTF-8, and the parser refuses the file. Read it as such text.
        HANDLE h = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                 FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE)
            return false;
        const DWORD size = ::GetFileSize(h, nullptr);
        std::vector<char> bytes(size == INVALID_FILE_SIZE ? 0 : size);
        DWORD read = 0;
        const bool ok = size != INVALID_FILE_SIZE && size < 0x10000000 &&
                        (size == 0 || ::ReadFile(h, bytes.data(), size, &read, nullptr)) && read == size;
        ::CloseHandle(h);
        if (!ok || bytes.empty())
            return false;
        const int n = ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), nullptr, 0);
        std::vector<wchar_t> wide(static_cast<size_t>(n) + 1, L'\0');
        ::MultiByteToWideChar(CP_ACP, 0, bytes.data(), static_cast<int>(bytes.size()), wide.data(), n);
        if (doc->loadXML(_bstr_t(wide.data())) != VARIANT_TRUE)
            return false;
        return ParseEntries(doc, entries, fault);
    } catch (_com_error&) {
        entries.clear();
        return false;
    }
}

CString FormatReportDate(const SYSTEMTIME& time)
{
    static const char* const kDays[] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
    static const char* const kMonths[] = {"January", "February", "March",     "April",   "May",      "June",
                                          "July",    "August",   "September", "October", "November", "December"};
    CString text;
    text.Format("%s, %s %d, %d", kDays[time.wDayOfWeek % 7], kMonths[(time.wMonth + 11) % 12], time.wDay,
                time.wYear);
    return text;
}
