// Shared pieces of the workspace tests: COM on the test thread and the data files of the
// test program's own folder.
#pragma once

#include "ComSupport.h"
#include "DataFiles.h"
#include "FileCrypt.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdlib>
#include <string>

namespace workspacetest {

class ComTest : public testing::Test
{
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr))); }
    void TearDown() override { CoUninitialize(); }
};

// A data file in the program folder, enciphered or deciphered as the program keeps it.
inline CString AppFile(const char* name)
{
    return GetAppDirectory() + "\\" + name;
}

inline void WriteEnciphered(const CString& path, const CString& text)
{
    ASSERT_EQ(CFileCrypt().WriteEncryptedFile(text, path), 1);
}

inline CString ReadDeciphered(const CString& path)
{
    CString text;
    CFileCrypt().ReadEncryptedFile(path, text);
    return text;
}

inline std::string RawBytes(const CString& path)
{
    std::string bytes;
    testsupport::ReadBytes(path, bytes);
    return bytes;
}

// A shipped data file enciphered at build time (build/bin/NAME).
inline CString ShippedFile(const char* name)
{
    const char* build = std::getenv("ZENTROVA_BUILD");
    return CString(build ? build : ".") + "/bin/" + name;
}

// Where a window test leaves a screenshot for review (a Unix path).
inline CString ScreenshotPath(const char* name)
{
    const char* build = std::getenv("ZENTROVA_BUILD");
    return CString(build ? build : "build") + "/screenshots/" + name;
}

inline std::string LogText()
{
    return RawBytes(AppFile("ProgressLog.txt"));
}

} // namespace workspacetest
