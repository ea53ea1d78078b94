// The wizard's reading of its command line: the token, the second marker and the folder
// that follows the marker directly.
#include "WizardStart.h"

#include <gtest/gtest.h>

namespace {

struct Case
{
    const char* line;
    bool bHasToken;
    bool bHasMarker;
    const char* destination;
};

const Case kCases[] = {
    // As the main program starts the wizard: its folder, the program, the token, the folder again.
    {"C:\\Zentrova\\Skelvane.exe VORTEMAPC:\\Zentrova", true, true, "C:\\Zentrova\\Project.cfg"},
    {"C:\\Program Files\\Zentrova 3\\Skelvane.exe VORTEMAPC:\\Program Files\\Zentrova 3", true, true,
     "C:\\Program Files\\Zentrova 3\\Project.cfg"},
    // The folder is everything after the first token, whatever follows.
    {"Skelvane.exe VORTEMAPc:\\a VORTEMAPc:\\b", true, true, "c:\\a VORTEMAPc:\\b\\Project.cfg"},
    {"\"C:\\Zentrova\\Skelvane.exe\" VORTEMAPC:\\Zentrova ", true, true, "C:\\Zentrova \\Project.cfg"},
    // The token counts in the program path too.
    {"C:\\VORTEMAP\\Skelvane.exe", true, true, "\\Skelvane.exe\\Project.cfg"},
    // Started by other means: the second marker names the folder.
    {"Skelvane.exe QUILMAROD:\\Old Zentrova", false, true, "D:\\Old Zentrova\\Project.cfg"},
    // With both, the token wins.
    {"Skelvane.exe QUILMAROc:\\a VORTEMAPc:\\b", true, true, "c:\\b\\Project.cfg"},
    {"Skelvane.exe VORTEMAPc:\\b QUILMAROc:\\a", true, true, "c:\\b QUILMAROc:\\a\\Project.cfg"},
    // Markers are compared in capitals only.
    {"Skelvane.exe vortemapC:\\Zentrova", false, false, ""},
    {"Skelvane.exe quilmaroC:\\Zentrova", false, false, ""},
    {"Skelvane.exe", false, false, ""},
    {"", false, false, ""},
    // A marker without a folder names no destination.
    {"Skelvane.exe VORTEMAP", true, false, ""},
    {"Skelvane.exe QUILMARO", false, false, ""},
};

} // namespace

TEST(WizardStartTest, CommandLineTable)
{
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.line);
        const ImportCommandLine line = ParseImportCommandLine(c.line);
        EXPECT_EQ(c.bHasToken, line.bHasToken);
        EXPECT_EQ(c.bHasMarker, line.bHasMarker);
        EXPECT_EQ(CString(c.destination), line.strDestination);
    }
}
