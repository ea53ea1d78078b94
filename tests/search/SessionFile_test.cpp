// session.xml and the exported session files without a window: the writer byte for byte,
// the readers on files this writer wrote and on files made by hand or by earlier versions,
// the decoding of the bytes whatever the declaration names, and the export read back by the
// import with foreign and damaged files refused.
#include "KilledSave.h"
#include "SessionExport.h"
#include "OversizedSessionFile.h"
#include "SessionFile.h"
#include "WorkspaceTest.h"
#include "XmlHelpers.h"

#include <cstdio>
#include <string>

using namespace workspacetest;
using namespace testsupport;

namespace {

SearchSession Session(const char* name, const char* mark, const char* client,
                      std::initializer_list<std::pair<const char*, const char*>> results = {})
{
    SearchSession session;
    session.strName = name;
    session.strMark = mark;
    session.strClient = client;
    for (const auto& r : results)
        session.results.Add(SessionResult{r.first, r.second});
    return session;
}

SessionFileState Read(const CString& path, SessionArray& sessions)
{
    return ReadSessionFile(path, sessions, CreateDomDocument());
}

void ExpectSameSessions(const SessionArray& expected, const SessionArray& got, bool bResultsOfFirst)
{
    ASSERT_EQ(got.GetSize(), expected.GetSize());
    for (INT_PTR i = 0; i < got.GetSize(); ++i) {
        SCOPED_TRACE(expected[i].strName.GetString());
        EXPECT_EQ(got[i].strName, expected[i].strName);
        EXPECT_EQ(got[i].strMark, expected[i].strMark);
        EXPECT_EQ(got[i].strClient, expected[i].strClient);
        if (i == 0 && !bResultsOfFirst) {
            EXPECT_EQ(got[i].results.GetSize(), 0);
            continue;
        }
        ASSERT_EQ(got[i].results.GetSize(), expected[i].results.GetSize());
        for (INT_PTR r = 0; r < got[i].results.GetSize(); ++r) {
            EXPECT_EQ(got[i].results[r].strNumber, expected[i].results[r].strNumber);
            EXPECT_EQ(got[i].results[r].strTitle, expected[i].results[r].strTitle);
        }
    }
}

class SessionFileTest : public ComTest
{
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        m_path = m_dir.File("session.xml");
    }
    TempDir m_dir;
    CString m_path;
};

// "\xE9" is e acute and "\x80" the euro sign in the system code page of the test machines.
const char kTitleWithMarkup[] = "Hinge & <bracket> \"large\" ]]> caf\xE9 \x80";

} // namespace

TEST_F(SessionFileTest, WritesTheFileByteForByteAndReadsItBack)
{
    SessionArray sessions;
    sessions.Add(Session(kNoSessionSelected, "", "", {{"US1", "never written"}}));
    sessions.Add(Session("A&B <x> \"q\"", "Ladder & hinge", "Smith <Jones>",
                         {{"US1000001", "Folding ladder"}, {"EP2]]>X", kTitleWithMarkup}}));
    sessions.Add(Session("Plain", "", ""));
    const CString text = SessionFileText(sessions);
    const char* expected =
        "<?xml version=\"1.0\" encoding=\"iso-8859-1\" ?>\r\n"
        "<savedsession>\r\n"
        "<session name=\"No Session Selected\" mark=\"\" client=\"\">\r\n"
        "</session>\r\n"
        "<session name=\"A&amp;amp;B &amp;lt;x&amp;gt; &amp;quot;q&amp;quot;\" mark=\"Ladder &amp;amp; hinge\" "
        "client=\"Smith &amp;lt;Jones&amp;gt;\">\r\n"
        "<saved>\r\n<number><![CDATA[US1000001]]></number>\r\n<title><![CDATA[Folding ladder]]></title>\r\n</saved>\r\n"
        "<saved>\r\n<number><![CDATA[EP2]]]]><![CDATA[>X]]></number>\r\n"
        "<title><![CDATA[Hinge & <bracket> \"large\" ]]]]><![CDATA[> caf\xE9 \x80]]></title>\r\n</saved>\r\n"
        "</session>\r\n"
        "<session name=\"Plain\" mark=\"\" client=\"\">\r\n"
        "</session>\r\n"
        "</savedsession>\r\n";
    EXPECT_EQ(std::string(text.GetString()), std::string(expected));

    ASSERT_TRUE(WriteTextFile(m_path, text));
    EXPECT_EQ(RawBytes(m_path), std::string(expected));
    printf("SESSIONXML\n%s", RawBytes(m_path).c_str());
    SessionArray back;
    EXPECT_EQ(Read(m_path, back), SessionFileRead);
    ExpectSameSessions(sessions, back, false);
    // Written again from what was read, the file is the same.
    EXPECT_EQ(std::string(SessionFileText(back).GetString()), std::string(expected));
}

TEST_F(SessionFileTest, ReadsHandMadeAndEarlierFiles)
{
    // Saved texts split at the first blank, a short one ending that session's documents,
    // a session with fewer attributes, a name escaped only once as earlier versions wrote it.
    ASSERT_TRUE(WriteBytes(m_path,
        "<?xml version=\"1.0\" encoding=\"iso-8859-1\" ?>\r\n<savedsession>\r\n"
        "<session name=\"No Session Selected\" mark=\"m\" client=\"c\"></session>\r\n"
        "<session name=\"Hand\" mark=\"m\" client=\"c\">\r\n"
        "<saved>US5 A title  with blanks</saved>\r\n"
        "<saved>US6</saved>\r\n"
        "<saved>ab</saved>\r\n"
        "<saved>US7 after the short one</saved>\r\n"
        "</session>\r\n"
        "<session name=\"Short\"><saved><number>US8</number><title>Kept</title></saved></session>\r\n"
        "<session name=\"A&amp;B\" mark=\"\" client=\"\"></session>\r\n"
        "</savedsession>\r\n"));
    SessionArray sessions;
    Read(m_path, sessions);
    ASSERT_EQ(sessions.GetSize(), 4);
    const SearchSession& hand = sessions[1];
    ASSERT_EQ(hand.results.GetSize(), 2);
    EXPECT_EQ(hand.results[0].strNumber, "US5");
    EXPECT_EQ(hand.results[0].strTitle, "A title  with blanks");
    EXPECT_EQ(hand.results[1].strNumber, "US6");
    EXPECT_EQ(hand.results[1].strTitle, "US6");
    EXPECT_EQ(sessions[2].strName, "Short");
    EXPECT_EQ(sessions[2].strMark, "");
    EXPECT_EQ(sessions[2].strClient, "");
    ASSERT_EQ(sessions[2].results.GetSize(), 1);
    EXPECT_EQ(sessions[2].results[0].strTitle, "Kept");
    EXPECT_EQ(sessions[3].strName, "A&B");
}

TEST_F(SessionFileTest, AMissingOrDamagedFileStartsOnNoSessionSelected)
{
    SessionArray sessions;
    EXPECT_EQ(Read(m_path, sessions), SessionFileMissing);
    EnsureNoSessionEntry(sessions);
    ASSERT_EQ(sessions.GetSize(), 1);
    EXPECT_EQ(sessions[0].strName, kNoSessionSelected);

    // A file whose CDATA was broken by an earlier version: unreadable, not silently empty.
    ASSERT_TRUE(WriteBytes(m_path, "<?xml version=\"1.0\" ?><savedsession><session name=\"x\" mark=\"\" client=\"\">"
                                   "<saved><number><![CDATA[A]]>B]]></number></saved></session></savedsession>"));
    EXPECT_EQ(Read(m_path, sessions), SessionFileUnreadable);
    EXPECT_EQ(sessions.GetSize(), 0);

    // A file that starts with a real session gets the pseudo-session put before it.
    ASSERT_TRUE(WriteBytes(m_path, "<savedsession><session name=\"Real\" mark=\"\" client=\"\"/></savedsession>"));
    Read(m_path, sessions);
    EnsureNoSessionEntry(sessions);
    ASSERT_EQ(sessions.GetSize(), 2);
    EXPECT_EQ(sessions[0].strName, kNoSessionSelected);
    EXPECT_EQ(sessions[1].strName, "Real");
}

// Far larger than the program writes: not read at all. Well-formed but of another kind (the
// saved reports, a saved-query file): no sessions, told apart from an unreadable file.
TEST_F(SessionFileTest, AFileTooLargeOrOfAnotherKindGivesNoSessions)
{
    const std::string huge = OversizedSessionFile();
    const struct
    {
        const char* what;
        std::string bytes;
        SessionFileState state;
    } cases[] = {
        {"beyond 16 MB", huge, SessionFileTooLarge},
        {"Reports.xml", "<?xml version=\"1.0\" ?>\r\n<saved>\r\n<report name=\"R\"><mark/><client/><datetime/>"
                        "</report>\r\n</saved>\r\n", SessionFileOtherKind},
        {"basicquery.xml", "<saved><basics><location name=\"USPTO Patents\"/></basics></saved>", SessionFileOtherKind},
        {"another list under the session root", "<savedsession><report/></savedsession>", SessionFileOtherKind},
        {"an empty list", "<savedsession>\r\n</savedsession>", SessionFileRead},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteBytes(m_path, c.bytes));
        SessionArray sessions;
        sessions.Add(Session("Left over", "", ""));
        EXPECT_EQ(Read(m_path, sessions), c.state);
        EXPECT_EQ(sessions.GetSize(), 0);
    }
}

TEST_F(SessionFileTest, AKilledWriteLeavesThePreviousFileWhole)
{
    auto save = [this](const char* title) {
        return [this, title] {
            SessionArray sessions;
            sessions.Add(Session(kNoSessionSelected, "", ""));
            sessions.Add(Session("Trays", "Tray", "ACME", {{"EP1000000B1", title}}));
            ASSERT_TRUE(WriteTextFile(m_path, SessionFileText(sessions)));
        };
    };
    ExpectKilledSavesKeepTheFileWhole(m_path, save("Folding tray"), save("Folding tray with hinges"));
    // A temporary file an earlier version left when it was killed goes with the next save.
    ASSERT_TRUE(WriteBytes(m_path + ".~0061a8d8.tmp", "<savedsession>"));
    save("Folding tray")();
    EXPECT_EQ(0, TemporariesOf(m_path));
}

TEST(SessionTextTest, UnescapingIsTheExactInverseOfEscaping)
{
    for (const char* text : {"plain", "A&B", "<x> \"q\"", "&lt; as typed", "&amp;lt;", "a & b &", "&&;;", ""}) {
        SCOPED_TRACE(text);
        EXPECT_EQ(UnescapeSessionText(EscapeSessionText(text)), text);
    }
    EXPECT_EQ(UnescapeSessionText("A&amp;B &unknown; &"), "A&B &unknown; &");
    EXPECT_EQ(XmlSafeText(CString("a\x01" "b\tc\r\n")), "a b\tc\r\n");
}

TEST_F(SessionFileTest, DecodesTheBytesByTheirDeclarationOrTheSystemCodePage)
{
    struct Case {
        const char* what;
        std::string bytes;
    };
    const std::string body = "<session name=\"caf\xE9 \x80\"/>";
    const Case cases[] = {
        {"UTF-8 declared and written", "<?xml version=\"1.0\" encoding=\"UTF-8\"?><session name=\"caf\xC3\xA9 \xE2\x82\xAC\"/>"},
        {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF<session name=\"caf\xC3\xA9 \xE2\x82\xAC\"/>"},
        {"no encoding named, code-page bytes", "<?xml version=\"1.0\" ?>" + body},
        {"UTF-8 named, code-page bytes", "<?xml version=\"1.0\" encoding=\"utf-8\" ?>" + body},
        {"iso-8859-1 named, code-page bytes", "<?xml version=\"1.0\" encoding=\"iso-8859-1\" ?>" + body},
        {"the code page named", "<?xml version=\"1.0\" encoding=\"" + std::string(SystemCodePageName()) + "\" ?>" + body},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteBytes(m_path, c.bytes));
        IXMLDOMDocument2Ptr doc = CreateDomDocument();
        ASSERT_EQ(LoadStoredXml(m_path, doc), SessionFileRead);
        IXMLDOMNodePtr node = doc->selectSingleNode(L"session/@name");
        ASSERT_TRUE(node != nullptr);
        EXPECT_EQ(ToAnsi(node->Gettext()), "caf\xE9 \x80");
    }
}

TEST_F(SessionFileTest, AFailedWriteLeavesThePreviousFileAndSaysWhy)
{
    ASSERT_TRUE(WriteTextFile(m_path, "old"));
    CString why;
    EXPECT_FALSE(WriteTextFile(m_dir.File("no such folder\\session.xml"), "new", &why));
    EXPECT_FALSE(why.IsEmpty());
    // A folder in the file's place cannot be replaced.
    ASSERT_TRUE(CreateDirectoryA(m_dir.File("taken"), nullptr));
    EXPECT_FALSE(WriteTextFile(m_dir.File("taken"), "new", &why));
    EXPECT_EQ(RawBytes(m_path), "old");
    EXPECT_EQ(FilesIn(m_dir.Path()), 1); // no temporary file left behind
    RemoveDirectoryA(m_dir.File("taken"));
}

// ---------------------------------------------------------------------- exported sessions

TEST_F(SessionFileTest, AnExportReadsBackWithMarkupAndNonAsciiText)
{
    const SearchSession session = Session("A&B", "Mark <1>", "Client \"c\"",
                                          {{"US1000001", "Folding ladder"}, {"EP2&3", kTitleWithMarkup}});
    const CString text = SessionExportText(session);
    const std::string expected =
        "<?xml version=\"1.0\" encoding=\"" + std::string(SystemCodePageName()) + "\" ?>\r\n"
        "<session name=\"A&amp;B\" mark=\"Mark &lt;1&gt;\" client=\"Client &quot;c&quot;\">\r\n"
        "<document number=\"US1000001\">Folding ladder</document>\r\n"
        "<document number=\"EP2&amp;3\">Hinge &amp; &lt;bracket&gt; &quot;large&quot; ]]&gt; caf\xE9 \x80</document>\r\n"
        "</session>\r\n";
    EXPECT_EQ(std::string(text.GetString()), expected);

    const CString path = m_dir.File("exported.qvx");
    ASSERT_TRUE(WriteTextFile(path, text));
    SearchSession back;
    CString why;
    ASSERT_TRUE(ReadSessionExport(path, back, why)) << why.GetString();
    SessionArray expectedArray, gotArray;
    expectedArray.Add(Session("", "", ""));
    expectedArray.Add(session);
    gotArray.Add(Session("", "", ""));
    gotArray.Add(back);
    ExpectSameSessions(expectedArray, gotArray, true);

    // An empty report list exports a session without documents.
    ASSERT_TRUE(WriteTextFile(path, SessionExportText(Session("Empty", "", ""))));
    ASSERT_TRUE(ReadSessionExport(path, back, why));
    EXPECT_EQ(back.strName, "Empty");
    EXPECT_EQ(back.results.GetSize(), 0);
}

TEST_F(SessionFileTest, TheImportReadsAttributesByPosition)
{
    const CString path = m_dir.File("order.qvx");
    ASSERT_TRUE(WriteBytes(path, "<?xml version=\"1.0\" ?>\r\n<session client=\"c\" name=\"n\" mark=\"m\">\r\n"
                                 "<document number=\"US1\">One</document>\r\n</session>\r\n"));
    SearchSession session;
    CString why;
    ASSERT_TRUE(ReadSessionExport(path, session, why));
    EXPECT_EQ(session.strName, "c");
    EXPECT_EQ(session.strMark, "n");
    EXPECT_EQ(session.strClient, "m");
    ASSERT_EQ(session.results.GetSize(), 1);
    EXPECT_EQ(session.results[0].strNumber, "US1");
    EXPECT_EQ(session.results[0].strTitle, "One");
}

TEST_F(SessionFileTest, AFileThatIsNoSessionIsRefusedWithNothingRead)
{
    struct Case {
        const char* what;
        const char* bytes; // null: no file
    };
    const Case cases[] = {
        {"missing", nullptr},
        {"empty", ""},
        {"not XML", "%PDF-1.4 a PDF file"},
        {"cut off", "<?xml version=\"1.0\" ?>\r\n<session name=\"n\" mark=\"m\" client=\"c\">\r\n<document number=\"US"},
        {"the session store", "<savedsession><session name=\"n\" mark=\"\" client=\"\"/></savedsession>"},
        {"a session without attributes", "<session><document number=\"US1\">x</document></session>"},
    };
    const CString path = m_dir.File("foreign.qvx");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        DeleteFileA(path);
        if (c.bytes) {
            ASSERT_TRUE(WriteBytes(path, c.bytes));
        }
        SearchSession session = Session("kept", "", "", {{"US9", "kept"}});
        CString why;
        EXPECT_FALSE(ReadSessionExport(path, session, why));
        EXPECT_NE(why.Find("Nothing was imported"), -1) << why.GetString();
        EXPECT_EQ(session.strName, "kept");
        EXPECT_EQ(session.results.GetSize(), 1);
    }
}
