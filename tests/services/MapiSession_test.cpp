// The mail session against the MAPI32.DLL test double in the prefix's system folder: logon
// with its shared-session fallback, logoff, the records a send builds (recipients by class,
// resolved names, attachments with and without titles, the body as a file), and the
// failures: no library, a library without one of its entry points, a send the library
// refuses, a body file that cannot be made or written.
#include "MapiSession.h"

#include "MapiDouble.h"
#include "TestSupport.h"
#include "Wnd.h"

#include <gtest/gtest.h>

#include <cstdio>

using namespace testsupport;

namespace {

testing::Environment* const g_mapiDouble = testing::AddGlobalTestEnvironment(new MapiDoubleEnvironment);

std::string Hex(ULONG_PTR value)
{
    char text[32];
    std::snprintf(text, sizeof text, "0x%llx", static_cast<unsigned long long>(value));
    return text;
}

class MapiSessionTest : public testing::Test
{
protected:
    void SetUp() override
    {
        ClearMapiLog();
        SetMapiAnswers(nullptr);
    }
    void TearDown() override
    {
        SetMapiAnswers(nullptr);
        std::string why;
        EXPECT_TRUE(PutMapiLibrary(MapiLibrary::Double, &why)) << why;
    }
};

CMapiRecipient Recipient(const char* address, const char* name)
{
    CMapiRecipient recipient;
    recipient.m_sEmailAddress = address;
    recipient.m_sFriendlyName = name;
    return recipient;
}

// A session whose temporary body file is what the test says.
class CTempNameSession : public CMapiSession
{
public:
    bool bMake = true;
    CString sName;

protected:
    bool GetTempAttachmentName(CString& name) override
    {
        name = sName;
        return bMake;
    }
};

} // namespace

TEST_F(MapiSessionTest, LogonAsksForAProfileOrJoinsASharedSession)
{
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "Mail parent", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    const std::string window = Hex(reinterpret_cast<ULONG_PTR>(parent.m_hWnd));
    struct Case
    {
        const char* what;
        const char* profile;
        const char* password;
        bool bParent;
        bool bForce;
        const char* answers;
        bool bResult;
        ULONG nLastError;
        // window, profile, password, flags of each MAPILogon call
        std::vector<std::vector<std::string>> calls;
    };
    const Case cases[] = {
        {"no profile and no window: no dialog", "", "secret", false, false, "", true, 0,
         {{"0x0", "(null)", "(null)", "0x2"}}},
        {"no profile, a parent: the user may choose a profile", "", "", true, false, "", true, 0,
         {{window, "(null)", "(null)", "0x3"}}},
        {"a profile with its password, downloads forced", "Work", "pw", true, true, "", true, 0,
         {{"0x0", "Work", "pw", "0x1002"}}},
        {"refused: the shared session is joined", "", "", true, false, "MAPILogon=3,0", true, 0,
         {{window, "(null)", "(null)", "0x3"}, {window, "(null)", "(null)", "0x0"}}},
        {"refused twice", "Work", "", false, true, "MAPILogon=3,19", false, 19,
         {{"0x0", "Work", "", "0x1002"}, {"0x0", "(null)", "(null)", "0x1000"}}},
        {"the user aborts: nothing more is tried", "", "", true, false, "MAPILogon=1", false, 7,
         {{window, "(null)", "(null)", "0x3"}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ClearMapiLog();
        SetMapiAnswers(c.answers);
        CMapiSession session;
        ASSERT_TRUE(session.MapiInstalled());
        // A failed resolution leaves a last error the abort must keep.
        SetMapiAnswers((std::string(c.answers) + ";MAPIResolveName=7").c_str());
        lpMapiRecipDesc pRecip = nullptr;
        EXPECT_FALSE(session.Resolve("Nobody", &pRecip));
        ASSERT_EQ(7u, session.GetLastError());
        EXPECT_EQ(c.bResult, session.Logon(c.profile, c.password, c.bParent ? &parent : nullptr, c.bForce));
        EXPECT_EQ(c.nLastError, session.GetLastError());
        EXPECT_EQ(c.bResult, session.LoggedOn());
        const std::vector<MapiCall> logons = MapiCallsOf("MAPILogon");
        ASSERT_EQ(c.calls.size(), logons.size());
        for (size_t i = 0; i < logons.size(); ++i) {
            EXPECT_EQ(c.calls[i][0], logons[i]["window"]) << i;
            EXPECT_EQ(c.calls[i][1], logons[i]["profile"]) << i;
            EXPECT_EQ(c.calls[i][2], logons[i]["password"]) << i;
            EXPECT_EQ(c.calls[i][3], logons[i]["flags"]) << i;
        }
    }
    parent.DestroyWindow();
}

TEST_F(MapiSessionTest, LogoffEndsTheSessionOnce)
{
    {
        CMapiSession session;
        ASSERT_TRUE(session.Logon(""));
        const std::string held = MapiCallsOf("MAPILogon").at(0)["session"];
        SetMapiAnswers("MAPILogoff=0;MAPIResolveName=14");
        EXPECT_TRUE(session.Logoff());
        EXPECT_FALSE(session.LoggedOn());
        ASSERT_EQ(1u, MapiCallsOf("MAPILogoff").size());
        EXPECT_EQ(held, MapiCallsOf("MAPILogoff")[0]["session"]);

        // Without a session: false, and the last error stays as it was.
        lpMapiRecipDesc pRecip = nullptr;
        EXPECT_FALSE(session.Resolve("Nobody", &pRecip));
        EXPECT_FALSE(session.Logoff());
        EXPECT_EQ(14u, session.GetLastError());
        EXPECT_EQ(1u, MapiCallsOf("MAPILogoff").size());

        // A new logon ends the session held; so does the end of the object.
        ASSERT_TRUE(session.Logon(""));
        ASSERT_TRUE(session.Logon(""));
        EXPECT_EQ(2u, MapiCallsOf("MAPILogoff").size());
    }
    EXPECT_EQ(3u, MapiCallsOf("MAPILogoff").size());
    EXPECT_EQ(0u, MapiCallsOf("MAPISendMail").size());
}

TEST_F(MapiSessionTest, ASendHandsOverRecipientsByClassAndTheFilesWithTheirTitles)
{
    TempDir folder;
    ASSERT_TRUE(WriteBytes(folder.File("one.pdf"), "%PDF-1.2 one"));
    ASSERT_TRUE(WriteBytes(folder.File("two.html"), "<html>two</html>"));
    CMapiMessage message;
    message.m_To.Add(Recipient("ann@example.test", "Ann Smith"));
    message.m_To.Add(Recipient("bob@example.test", "Bob Jones"));
    message.m_To.Add(Recipient("cy@example.test", ""));
    message.m_CC.Add(Recipient("di@example.test", "Di Roe"));
    message.m_sSubject = "Patent Documents Attached.";
    message.m_sBody = "Line one\n\n\tUS1\tTitle\n\n";
    message.m_Attachments.Add(folder.File("one.pdf"));
    message.m_Attachments.Add(folder.File("two.html"));
    message.m_AttachmentTitles.Add("US1.PDF");
    message.m_Flags = MAPI_RECEIPT_REQUESTED;

    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, nullptr, "Mail parent", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr));
    CMapiSession session;
    ASSERT_TRUE(session.Logon(""));
    ASSERT_TRUE(session.Send(message, false, true, &parent));
    EXPECT_EQ(0u, session.GetLastError());

    const std::vector<MapiCall> sends = MapiCallsOf("MAPISendMail");
    ASSERT_EQ(1u, sends.size());
    const MapiCall& send = sends[0];
    EXPECT_EQ(MapiCallsOf("MAPILogon")[0]["session"], send["session"]);
    EXPECT_EQ(Hex(reinterpret_cast<ULONG_PTR>(parent.m_hWnd)), send["window"]);
    EXPECT_EQ("0x8", send["flags"]); // the dialog; a session is held, so no logon dialog
    EXPECT_EQ("Patent Documents Attached.", send.message["subject"]);
    EXPECT_EQ("Line one\\n\\n\\tUS1\\tTitle\\n\\n", send.message["note"]);
    EXPECT_EQ("0x2", send.message["flags"]);
    EXPECT_EQ("(null)", send.message["originator"]);
    const std::vector<std::vector<std::string>> recipients = {{"1", "Ann Smith", "ann@example.test"},
                                                              {"1", "Bob Jones", "bob@example.test"},
                                                              {"1", "", "cy@example.test"},
                                                              {"2", "Di Roe", "di@example.test"}};
    ASSERT_EQ(recipients.size(), send.recipients.size());
    for (size_t i = 0; i < recipients.size(); ++i) {
        EXPECT_EQ(recipients[i][0], send.recipients[i]["class"]) << i;
        EXPECT_EQ(recipients[i][1], send.recipients[i]["name"]) << i;
        EXPECT_EQ(recipients[i][2], send.recipients[i]["address"]) << i;
    }
    ASSERT_EQ(2u, send.files.size());
    EXPECT_EQ(folder.File("one.pdf").GetString(), send.files[0]["path"]);
    EXPECT_EQ("US1.PDF", send.files[0]["title"]);
    EXPECT_EQ("-1", send.files[0]["position"]);
    EXPECT_EQ("%PDF-1.2 one", send.files[0]["content"]);
    EXPECT_EQ(folder.File("two.html").GetString(), send.files[1]["path"]);
    EXPECT_EQ("(null)", send.files[1]["title"]); // no title of its own
    EXPECT_EQ(0u, MapiCallsOf("MAPIResolveName").size());

    // The titles now cover every path; the working copies are gone.
    EXPECT_EQ(2, message.m_AttachmentTitles.GetSize());
    EXPECT_EQ(0, message.m_AttachmentCopies.GetSize());
    EXPECT_EQ(0, message.m_TitleCopies.GetSize());
    parent.DestroyWindow();
}

TEST_F(MapiSessionTest, WithoutASessionOrADialogTheLibraryMayLogOnItself)
{
    CMapiMessage message;
    message.m_sSubject = "No one";
    CMapiSession session;
    SetMapiAnswers("MAPISendMail=0,1");
    EXPECT_TRUE(session.Send(message));
    // A refused send keeps the library's answer.
    EXPECT_FALSE(session.Send(message, false, false, nullptr));
    EXPECT_EQ(1u, session.GetLastError());
    const std::vector<MapiCall> sends = MapiCallsOf("MAPISendMail");
    ASSERT_EQ(2u, sends.size());
    EXPECT_EQ("0x0", sends[0]["session"]);
    EXPECT_EQ("0x0", sends[0]["window"]);
    EXPECT_EQ("0x1", sends[0]["flags"]); // MAPI_LOGON_UI only
    EXPECT_EQ("0", sends[0].message["recipients"]);
    EXPECT_EQ("0", sends[0].message["files"]);
}

TEST_F(MapiSessionTest, ResolvedNamesReplaceTheRecipientsAndAreFreed)
{
    CMapiMessage message;
    message.m_To.Add(Recipient("", "Ann Smith"));
    message.m_BCC.Add(Recipient("kept@example.test", "unknown person"));
    CMapiSession session;
    ASSERT_TRUE(session.Logon(""));
    ASSERT_TRUE(session.Send(message, true));

    const std::vector<MapiCall> sends = MapiCallsOf("MAPISendMail");
    ASSERT_EQ(1u, sends.size());
    ASSERT_EQ(2u, sends[0].recipients.size());
    EXPECT_EQ("1", sends[0].recipients[0]["class"]);
    EXPECT_EQ("Ann Smith (resolved)", sends[0].recipients[0]["name"]);
    EXPECT_EQ("SMTP:ann.smith@example.test", sends[0].recipients[0]["address"]);
    EXPECT_EQ("3", sends[0].recipients[1]["class"]);
    EXPECT_EQ("unknown person", sends[0].recipients[1]["name"]);
    EXPECT_EQ("kept@example.test", sends[0].recipients[1]["address"]);
    // The message keeps the resolved addressee.
    EXPECT_EQ(CString("SMTP:ann.smith@example.test"), message.m_To[0].m_sEmailAddress);
    const std::vector<MapiCall> frees = MapiCallsOf("MAPIFreeBuffer");
    ASSERT_EQ(1u, frees.size());
    EXPECT_EQ("yes", frees[0]["known"]);
    EXPECT_EQ(2u, MapiCallsOf("MAPIResolveName").size());
}

TEST_F(MapiSessionTest, TheBodyAsAFileGoesFirstAsDefaultHtmAndIsDeletedAfterwards)
{
    TempDir folder;
    ASSERT_TRUE(WriteBytes(folder.File("one.pdf"), "one"));
    CMapiMessage message;
    message.m_sSubject = "Report";
    message.m_sBody = "<p>Body</p>";
    message.m_Attachments.Add(folder.File("one.pdf"));
    message.m_AttachmentTitles.Add("one.pdf");
    CMapiSession session;
    ASSERT_TRUE(session.Send(message, false, false, nullptr, true));

    const std::vector<MapiCall> sends = MapiCallsOf("MAPISendMail");
    ASSERT_EQ(1u, sends.size());
    EXPECT_EQ("(null)", sends[0].message["note"]);
    ASSERT_EQ(2u, sends[0].files.size());
    EXPECT_EQ("default.htm", sends[0].files[0]["title"]);
    EXPECT_EQ("<p>Body</p>", sends[0].files[0]["content"]);
    EXPECT_EQ("one.pdf", sends[0].files[1]["title"]);
    const CString temp = sends[0].files[0]["path"].c_str();
    EXPECT_FALSE(FileExists(temp)) << temp.GetString();
    // The message names its own files only, so it can be sent again.
    ASSERT_EQ(1, message.m_Attachments.GetSize());
    EXPECT_EQ(folder.File("one.pdf"), message.m_Attachments[0]);
    EXPECT_EQ(1, message.m_AttachmentTitles.GetSize());
}

TEST_F(MapiSessionTest, ABodyFileThatCannotBeMadeOrWrittenStopsTheSend)
{
    TempDir folder;
    CMapiMessage message;
    message.m_sBody = "text";
    struct Case
    {
        const char* what;
        bool bMake;
        CString name;
        ULONG nError;
    };
    const Case cases[] = {
        {"no temporary name", false, "", MAPI_E_FAILURE},
        {"the name is a folder", true, folder.Path(), MAPI_E_ATTACHMENT_WRITE_FAILURE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CTempNameSession session;
        session.bMake = c.bMake;
        session.sName = c.name;
        EXPECT_FALSE(session.Send(message, false, false, nullptr, true));
        EXPECT_EQ(c.nError, session.GetLastError());
    }
    EXPECT_EQ(0u, MapiCallsOf("MAPISendMail").size());
    EXPECT_EQ(0, message.m_Attachments.GetSize());
}

TEST_F(MapiSessionTest, WithoutTheLibraryOrOneOfItsEntryPointsEveryOperationFails)
{
    for (MapiLibrary which : {MapiLibrary::Missing, MapiLibrary::WithoutFindNext}) {
        SCOPED_TRACE(which == MapiLibrary::Missing ? "no MAPI32.DLL" : "no MAPIFindNext");
        std::string why;
        ASSERT_TRUE(PutMapiLibrary(which, &why)) << why;
        ClearMapiLog();
        CMapiSession session;
        EXPECT_FALSE(session.MapiInstalled());
        EXPECT_FALSE(session.Logon(""));
        EXPECT_EQ(static_cast<ULONG>(MAPI_E_FAILURE), session.GetLastError());
        EXPECT_FALSE(session.LoggedOn());
        CMapiMessage message;
        EXPECT_FALSE(session.Send(message, true, true));
        EXPECT_EQ(static_cast<ULONG>(MAPI_E_FAILURE), session.GetLastError());
        lpMapiRecipDesc pRecip = nullptr;
        EXPECT_FALSE(session.Resolve("Ann", &pRecip));
        EXPECT_EQ(nullptr, pRecip);
        EXPECT_FALSE(session.Logoff());
        EXPECT_EQ("", MapiLogText());
    }
}
