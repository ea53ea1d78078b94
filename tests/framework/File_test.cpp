#include "Framework.h"
#include "TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

using testsupport::ReadBytes;
using testsupport::TempDir;
using testsupport::WriteBytes;

TEST(File, BinaryTextWithZeroBytesRoundTrips)
{
    TempDir dir;
    const CString path = dir.File("zeros.bin");
    const CString text("a\0b\0\0c\r\n\xff", 9);
    {
        CFile file(path, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive);
        file.Write(text.GetString(), static_cast<UINT>(text.GetLength()));
        EXPECT_EQ(file.GetLength(), 9u);
        EXPECT_EQ(file.GetFilePath(), path);
        EXPECT_EQ(file.GetFileName(), "zeros.bin");
        file.Close();
        EXPECT_EQ(file.m_hFile, CFile::hFileNull);
    }
    std::string raw;
    ASSERT_TRUE(ReadBytes(path, raw));
    EXPECT_EQ(raw, text.str());

    CFile file;
    ASSERT_TRUE(file.Open(path, CFile::modeRead | CFile::shareDenyWrite));
    CString back;
    UINT n = file.Read(back.GetBufferSetLength(64), 64);
    back.ReleaseBuffer(static_cast<int>(n));
    EXPECT_EQ(back, text);
    EXPECT_EQ(file.Read(back.GetBuffer(8), 8), 0u);  // at the end
    EXPECT_EQ(file.Seek(-2, CFile::end), 7u);
    char tail[4] = {};
    EXPECT_EQ(file.Read(tail, 4), 2u);
    EXPECT_STREQ(tail, "\n\xff");
    file.SeekToBegin();
    EXPECT_EQ(file.GetPosition(), 0u);
}

TEST(File, OpenModes)
{
    TempDir dir;
    const CString path = dir.File("log.txt");
    ASSERT_TRUE(WriteBytes(path, "first"));

    // Without modeCreate an existing file is opened as it is; the log appends at the end.
    {
        CFile log;
        ASSERT_TRUE(log.Open(path, CFile::modeWrite | CFile::modeNoTruncate));
        EXPECT_EQ(log.SeekToEnd(), 5u);
        log.Write("+more", 5);
    }
    std::string raw;
    ReadBytes(path, raw);
    EXPECT_EQ(raw, "first+more");

    {
        CFile keep(path, CFile::modeCreate | CFile::modeNoTruncate | CFile::modeReadWrite);
    }
    ReadBytes(path, raw);
    EXPECT_EQ(raw, "first+more");

    {
        CFile truncate(path, CFile::modeCreate | CFile::modeWrite);
        EXPECT_EQ(truncate.GetLength(), 0u);
        truncate.Write("12345678", 8);
        truncate.SetLength(3);
    }
    ReadBytes(path, raw);
    EXPECT_EQ(raw, "123");
}

TEST(File, FailuresNameTheCauseAndTheFile)
{
    TempDir dir;
    const CString missing = dir.File("missing.cfg");

    CFile file;
    CFileException error;
    EXPECT_FALSE(file.Open(missing, CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_EQ(error.m_lOsError, ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(error.m_strFileName, missing);
    char text[512];
    ASSERT_TRUE(error.GetErrorMessage(text, sizeof text));
    EXPECT_NE(std::string(text).find(missing.GetString()), std::string::npos) << text;
    EXPECT_FALSE(file.Open(missing, CFile::modeWrite | CFile::modeNoTruncate));
    EXPECT_FALSE(
        file.Open(dir.File("no\\such\\folder.txt"), CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_EQ(error.m_cause, CFileException::badPath);

    try {
        CFile thrown(missing, CFile::modeRead);
        ADD_FAILURE() << "no exception";
    } catch (CFileException* e) {
        EXPECT_EQ(e->m_cause, CFileException::fileNotFound);
        e->Delete();
    }

    // An exclusive holder keeps everybody else out; shared readers coexist.
    const CString held = dir.File("held.cfg");
    CFile holder(held, CFile::modeCreate | CFile::modeWrite | CFile::shareExclusive);
    CFile other;
    EXPECT_FALSE(other.Open(held, CFile::modeRead | CFile::shareDenyNone, &error));
    EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
    holder.Close();
    CFile reader1(held, CFile::modeRead | CFile::shareDenyWrite);
    EXPECT_TRUE(other.Open(held, CFile::modeRead | CFile::shareDenyWrite));

    // Writing through a read-only handle fails with an exception, not silently.
    EXPECT_TRUE(
        testsupport::ThrowsKind(RUNTIME_CLASS(CFileException), [&] { reader1.Write("x", 1); }));
    EXPECT_TRUE(
        testsupport::ThrowsKind(RUNTIME_CLASS(CFileException), [&] { CFile::Remove(missing); }));
    EXPECT_TRUE(testsupport::ThrowsKind(RUNTIME_CLASS(CFileException),
                                        [&] { CFile::Rename(missing, dir.File("x")); }));
}

TEST(File, StatusReportsTimesSizeAndName)
{
    TempDir dir;
    const CString path = dir.File("status.pdf");
    ASSERT_TRUE(WriteBytes(path, std::string(1000, 'p')));

    // Put a known modification time on the file: 2010-06-15 08:30:00 UTC.
    const __time64_t when = 1276590600;
    {
        CFile file(path, CFile::modeReadWrite);
        ULARGE_INTEGER v;
        v.QuadPart = 116444736000000000ULL + static_cast<ULONGLONG>(when) * 10000000ULL;
        FILETIME ft = {v.LowPart, v.HighPart};
        ASSERT_TRUE(SetFileTime(file.m_hFile, nullptr, nullptr, &ft));
    }

    CFileStatus status;
    ASSERT_TRUE(CFile::GetStatus(path, status));
    EXPECT_EQ(status.m_size, 1000u);
    EXPECT_EQ(status.m_mtime.GetTime(), when);
    EXPECT_GT(status.m_ctime.GetTime(), 0);
    EXPECT_STREQ(status.m_szFullName, path);
    EXPECT_FALSE(status.m_attribute & CFile::directory);

    {
        CFile file(path, CFile::modeRead | CFile::shareDenyWrite);
        CFileStatus open;
        ASSERT_TRUE(file.GetStatus(open));
        EXPECT_EQ(open.m_mtime, status.m_mtime);
        EXPECT_EQ(open.m_size, 1000u);
        // An open file without delete sharing cannot be renamed.
        EXPECT_TRUE(testsupport::ThrowsKind(RUNTIME_CLASS(CFileException),
                                            [&] { CFile::Rename(path, dir.File("renamed.pdf")); }));
    }

    EXPECT_FALSE(CFile::GetStatus(dir.File("none"), status));
    CFile::Rename(path, dir.File("renamed.pdf"));
    CFile::Remove(dir.File("renamed.pdf"));
    EXPECT_FALSE(testsupport::FileExists(dir.File("renamed.pdf")));
}

TEST(StdioFile, LinesInTextAndBinaryMode)
{
    TempDir dir;
    const CString path = dir.File("lines.txt");
    {
        CStdioFile out(path, CFile::modeCreate | CFile::modeWrite);
        out.WriteString("first\nsecond line\n");
        out.WriteString("last, no line feed");
    }
    std::string raw;
    ReadBytes(path, raw);
    EXPECT_EQ(raw, "first\r\nsecond line\r\nlast, no line feed");

    CStdioFile in(path, CFile::modeRead | CFile::typeText);
    std::vector<CString> lines;
    CString line;
    while (in.ReadString(line))
        lines.push_back(line);
    EXPECT_EQ(lines, (std::vector<CString>{"first", "second line", "last, no line feed"}));
    EXPECT_FALSE(in.ReadString(line));
    EXPECT_EQ(line, "");
    in.Close();

    CStdioFile bin(path, CFile::modeRead | CFile::typeBinary);
    ASSERT_TRUE(bin.ReadString(line));
    EXPECT_EQ(line, "first\r");
    char buf[8];
    ASSERT_NE(bin.ReadString(buf, sizeof buf), nullptr);
    EXPECT_STREQ(buf, "second ");  // cut to the buffer
    ASSERT_NE(bin.ReadString(buf, sizeof buf), nullptr);
    EXPECT_STREQ(buf, "line\r\n");  // the line feed stays in the buffer form
    EXPECT_EQ(bin.GetLength(), raw.size());
    EXPECT_EQ(bin.Seek(-4, CFile::end), raw.size() - 4);
    ASSERT_TRUE(bin.ReadString(line));
    EXPECT_EQ(line, "feed");
    EXPECT_EQ(bin.ReadString(buf, sizeof buf), nullptr);
}

TEST(StdioFile, ZeroBytesAndEmptyLinesSurvive)
{
    TempDir dir;
    const CString path = dir.File("zero.txt");
    ASSERT_TRUE(WriteBytes(path, std::string("a\0b\n\n\nend\n", 10)));
    CStdioFile in(path, CFile::modeRead);
    std::vector<CString> lines;
    CString line;
    while (in.ReadString(line))
        lines.push_back(line);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], CString("a\0b", 3));
    EXPECT_EQ(lines[1], "");
    EXPECT_EQ(lines[3], "end");

    CStdioFile missing;
    CFileException error;
    EXPECT_FALSE(missing.Open(dir.File("none.txt"), CFile::modeRead, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
}

namespace {

struct Found
{
    std::string name;
    std::string path;
    bool dir;
    bool dots;
    ULONGLONG length;
    bool operator<(const Found& o) const { return name < o.name; }
};

std::vector<Found> FindAll(const CString& pattern)
{
    std::vector<Found> all;
    CFileFind finder;
    bool more = finder.FindFile(pattern);
    while (more) {
        more = finder.FindNextFile();
        all.push_back({finder.GetFileName().GetString(), finder.GetFilePath().GetString(),
                       finder.IsDirectory(), finder.IsDots(), finder.GetLength()});
    }
    std::sort(all.begin(), all.end());
    return all;
}

} // namespace

TEST(FileFind, WalksATemporaryTree)
{
    TempDir dir;
    ASSERT_TRUE(WriteBytes(dir.File("a.pdf"), "12345"));
    ASSERT_TRUE(WriteBytes(dir.File("b.html"), ""));
    ASSERT_TRUE(CreateDirectoryA(dir.File("Zentrova2"), nullptr));
    ASSERT_TRUE(WriteBytes(dir.File("Zentrova2\\Project.cfg"), "x"));
    const std::string root = dir.Path().GetString() + std::string("\\");

    std::vector<Found> all = FindAll(dir.Path() + "\\*.*");
    ASSERT_EQ(all.size(), 5u);
    EXPECT_EQ(all[0].name, ".");
    EXPECT_TRUE(all[0].dots);
    EXPECT_EQ(all[1].name, "..");
    EXPECT_TRUE(all[1].dots && all[1].dir);
    EXPECT_EQ(all[2].name, "Zentrova2");
    EXPECT_TRUE(all[2].dir);
    EXPECT_FALSE(all[2].dots);
    EXPECT_EQ(all[2].path, root + "Zentrova2");
    EXPECT_EQ(all[3].name, "a.pdf");
    EXPECT_EQ(all[3].path, root + "a.pdf");
    EXPECT_EQ(all[3].length, 5u);
    EXPECT_FALSE(all[3].dir);

    // A bare folder path finds the folder itself.
    all = FindAll(dir.File("Zentrova2"));
    ASSERT_EQ(all.size(), 1u);
    EXPECT_TRUE(all[0].dir);
    EXPECT_EQ(all[0].path, root + "Zentrova2");

    all = FindAll(dir.File("Zentrova2\\Project.cfg"));
    ASSERT_EQ(all.size(), 1u);
    EXPECT_EQ(all[0].path, root + "Zentrova2\\Project.cfg");

    EXPECT_EQ(FindAll(dir.File("*.pdf")).size(), 1u);
    CFileFind none;
    EXPECT_FALSE(none.FindFile(dir.File("*.tif")));
    EXPECT_FALSE(none.FindNextFile());
    EXPECT_EQ(none.GetFileName(), "");

    CFileFind one;
    ASSERT_TRUE(one.FindFile(dir.File("a.pdf")));
    EXPECT_EQ(one.GetFileName(), "");  // nothing current before FindNextFile
    EXPECT_FALSE(one.FindNextFile());  // the only match, now current
    CTime written;
    ASSERT_TRUE(one.GetLastWriteTime(written));
    EXPECT_LE(written, CTime::GetCurrentTime());
}
