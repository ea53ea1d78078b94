// The test programs' side of the MAPI32.DLL test double (tests/mapi32/Mapi32Double.cpp):
// putting it (or its variant without MAPIFindNext, or no library at all) in the prefix's
// system folder, where the program's mail session loads MAPI32.DLL from, reading back what
// it recorded, and choosing its answers.
//
// Wine prefers its own mapi32 for every program; a test program that uses the double runs
// with WINEDLLOVERRIDES=mapi32=n (set by CTest for that program alone), so only it loads the
// file of the system folder. The programs that change that file hold the CTest lock "mapi".
// MapiDoubleEnvironment puts the double in place for a whole test program and Wine's own
// library back at its end.
#pragma once

#include "String.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace testsupport {

enum class MapiLibrary
{
    Double,           // the test double with all eight entry points
    WithoutFindNext,  // the test double without MAPIFindNext
    Missing,          // no MAPI32.DLL in the system folder
};

// Puts the library in the system folder as MAPI32.DLL; false with the reason on failure.
bool PutMapiLibrary(MapiLibrary which, std::string* pWhy = nullptr);
// Wine's own MAPI32.DLL back in the system folder.
void RestoreWineMapi();

// One line of the double's log: its kind ("MAPILogon", "message", "file" ...) and fields.
struct MapiRecord
{
    std::string kind;
    std::map<std::string, std::string> fields;
    std::string operator[](const char* name) const
    {
        auto it = fields.find(name);
        return it == fields.end() ? std::string("(absent)") : it->second;
    }
};

// One call: its own line, and for a send the message, its recipients and files.
struct MapiCall
{
    MapiRecord call;
    MapiRecord message;
    std::vector<MapiRecord> recipients;
    std::vector<MapiRecord> files;
    const std::string& Name() const { return call.kind; }
    std::string operator[](const char* name) const { return call[name]; }
};

// The calls recorded since the last ClearMapiLog, in order.
std::vector<MapiCall> MapiCalls();
// The calls of one function only.
std::vector<MapiCall> MapiCallsOf(const char* function);
std::string MapiLogText();
void ClearMapiLog();
// What the double answers ("MAPILogon=3,0;MAPISendMail=1"; empty: success everywhere).
void SetMapiAnswers(const char* answers);
// A text as the double writes it into its log (\n, \r, \t and \0 spelled out).
std::string MapiEscaped(const CString& text);

// The double in place and its log cleared for the whole test program; Wine's own library
// back at the end.
class MapiDoubleEnvironment : public testing::Environment
{
public:
    void SetUp() override;
    void TearDown() override;
};

} // namespace testsupport
