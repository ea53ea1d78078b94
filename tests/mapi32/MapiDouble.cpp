#include "MapiDouble.h"

#include "MapiLogText.h"
#include "TestSupport.h"

#include <windows.h>

#include <cstdlib>

namespace testsupport {

namespace {

CString BuildFolder()
{
    const char* build = std::getenv("ZENTROVA_BUILD");
    return CString(build ? build : ".");
}

CString DoubleFile(MapiLibrary which)
{
    return BuildFolder() + (which == MapiLibrary::Double ? "/tests/mapi32/mapi32double.dll"
                                                         : "/tests/mapi32/mapi32partial.dll");
}

// Where Wine's own library waits while a double stands in for it.
CString WineBackup()
{
    return BuildFolder() + "/tests/mapi32/wine-mapi32.dll";
}

CString SystemLibrary()
{
    char folder[MAX_PATH] = {};
    ::GetSystemDirectoryA(folder, MAX_PATH);
    return CString(folder) + "\\mapi32.dll"; // the name Wine gives it
}

CString LogFile()
{
    char folder[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, folder);
    return CString(folder) + "\\mapi-calls.txt";
}

bool SameBytes(const CString& a, const CString& b)
{
    std::string x, y;
    return ReadBytes(a, x) && ReadBytes(b, y) && x == y;
}

// Replaces the file by a copy of the source through a new file and a rename, so that a
// process that has the old one mapped keeps its own pages.
bool ReplaceFile(const CString& source, const CString& target)
{
    const CString fresh = target + ".new";
    if (!::CopyFileA(source, fresh, FALSE))
        return false;
    return ::MoveFileExA(fresh, target, MOVEFILE_REPLACE_EXISTING) != FALSE;
}

std::vector<std::string> SplitTabs(const std::string& line)
{
    std::vector<std::string> parts;
    size_t at = 0;
    for (;;) {
        const size_t tab = line.find('\t', at);
        parts.push_back(line.substr(at, tab == std::string::npos ? std::string::npos : tab - at));
        if (tab == std::string::npos)
            return parts;
        at = tab + 1;
    }
}

MapiRecord ParseRecord(const std::string& line)
{
    MapiRecord record;
    std::vector<std::string> parts = SplitTabs(line);
    record.kind = parts[0];
    if (!record.kind.empty() && record.kind[0] == ' ')
        record.kind.erase(0, 1);
    for (size_t i = 1; i < parts.size(); ++i) {
        const size_t equals = parts[i].find('=');
        record.fields[parts[i].substr(0, equals)] = equals == std::string::npos ? "" : parts[i].substr(equals + 1);
    }
    return record;
}

} // namespace

bool PutMapiLibrary(MapiLibrary which, std::string* pWhy)
{
    const CString system = SystemLibrary();
    // Keep Wine's own library, unless what stands there is one of the doubles.
    if (FileExists(system) && !SameBytes(system, DoubleFile(MapiLibrary::Double)) &&
        !SameBytes(system, DoubleFile(MapiLibrary::WithoutFindNext)) && !::CopyFileA(system, WineBackup(), FALSE)) {
        if (pWhy)
            *pWhy = "Wine's MAPI32.DLL could not be kept aside";
        return false;
    }
    if (which == MapiLibrary::Missing) {
        if (FileExists(system) && !::DeleteFileA(system)) {
            if (pWhy)
                *pWhy = "MAPI32.DLL could not be removed from the system folder";
            return false;
        }
        return true;
    }
    if (!ReplaceFile(DoubleFile(which), system)) {
        if (pWhy)
            *pWhy = std::string("the test double could not be put in place: ") + system.GetString();
        return false;
    }
    return true;
}

void RestoreWineMapi()
{
    if (FileExists(WineBackup()))
        ReplaceFile(WineBackup(), SystemLibrary());
}

std::string MapiLogText()
{
    std::string text;
    ReadBytes(LogFile(), text);
    return text;
}

std::vector<MapiCall> MapiCalls()
{
    std::vector<MapiCall> calls;
    const std::string text = MapiLogText();
    size_t at = 0;
    while (at < text.size()) {
        size_t end = text.find('\n', at);
        if (end == std::string::npos)
            end = text.size();
        const std::string line = text.substr(at, end - at);
        at = end + 1;
        if (line.empty() || line == "end")
            continue;
        MapiRecord record = ParseRecord(line);
        if (line[0] != ' ') {
            calls.push_back(MapiCall{record, {}, {}, {}});
        } else if (!calls.empty()) {
            if (record.kind == "message")
                calls.back().message = record;
            else if (record.kind == "recipient")
                calls.back().recipients.push_back(record);
            else if (record.kind == "file")
                calls.back().files.push_back(record);
        }
    }
    return calls;
}

std::vector<MapiCall> MapiCallsOf(const char* function)
{
    std::vector<MapiCall> calls;
    for (const MapiCall& call : MapiCalls()) {
        if (call.Name() == function)
            calls.push_back(call);
    }
    return calls;
}

void ClearMapiLog()
{
    ::DeleteFileA(LogFile());
}

void SetMapiAnswers(const char* answers)
{
    ::SetEnvironmentVariableA("ZENTROVA_MAPI_ANSWERS", answers && *answers ? answers : nullptr);
}

std::string MapiEscaped(const CString& text)
{
    return EscapeMapiText(text.GetString(), static_cast<size_t>(text.GetLength()));
}

void MapiDoubleEnvironment::SetUp()
{
    std::string why;
    ASSERT_TRUE(PutMapiLibrary(MapiLibrary::Double, &why)) << why;
    ::SetEnvironmentVariableA("ZENTROVA_MAPI_LOG", LogFile());
    SetMapiAnswers(nullptr);
    ClearMapiLog();
}

void MapiDoubleEnvironment::TearDown()
{
    RestoreWineMapi();
}

} // namespace testsupport
