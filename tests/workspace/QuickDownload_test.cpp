// The quick download and the toolbar link of the project pane, on a host window of the test
// program: the numbers and request fields handed to the download queue, the answers to
// numbers already queued or already in the project (balloons, shortcuts), the look-up of a
// number's record and its folders, Enter in the one-number box, and toolbar requests over
// TCP to the pane's port on the loopback address. The pane's download queue is answered by
// the spy (PaneFixture.h), so no download starts here; the real program downloads in
// QuickDownloadProgram_test.cpp.
#include "PaneFixture.h"

#include "RequestedNumbers.h"

#include <cstring>
#include <memory>

using namespace workspacetest;

namespace {

const char kSettingsKey[] = "Software\\Quendal LLC\\Zentrova\\Settings";

// Documents beside the fixture's: one in a pair of folders that name each other as parent,
// one under a folder whose parent does not exist, one fetched through the file wrapper, one
// without a folder.
const char kMoreDocuments[] =
    "<Document Name=\"US7000003\" ParentUID=\"306\" UID=\"DOCUIDUS7000003\" Wrapper=\"0\"><XMLCatalog>"
    "<CatalogItem FilePath=\"c:\\d\\US7000003.html\" FileType=\"HTML\"/>"
    "<CatalogItem FilePath=\"c:\\d\\US7000003.PDF\" FileType=\"PDF\"/>"
    "<CatalogItem FilePath=\"c:\\d\\later.pdf\" FileType=\"PDF\"/></XMLCatalog></Document>"
    "<Document Name=\"US7000004\" ParentUID=\"308\" UID=\"DOCUIDUS7000004\"><XMLCatalog>"
    "<CatalogItem FilePath=\"c:\\d\\US7000004.html\"/><CatalogItem FilePath=\"c:\\d\\notes.txt\"/>"
    "</XMLCatalog></Document>"
    "<Document Name=\"US7000005\" ParentUID=\"302\" UID=\"DOCUIDUS7000005\" Wrapper=\"1\"><XMLCatalog>"
    "<CatalogItem FilePath=\"c:\\d\\US7000005.pdf\"/></XMLCatalog></Document>"
    "<Document Name=\"US7000006\" UID=\"DOCUIDUS7000006\"><XMLCatalog/></Document>";

const char kPdf7000001[] = "c:\\Patent Downloads\\US7000001\\US7000001.pdf";
const char kOpenFile[] = "Please CLICK HERE to open this file or go to the appropriate folder to open this patent.";

class QuickDownloadTest : public PaneFixture
{
protected:
    CString ProjectText() override
    {
        CString text = FixtureText("pane/Project.xml");
        text.Replace("</Documents>", CString(kMoreDocuments) + "</Documents>");
        return text;
    }

    void SetUp() override
    {
        PaneFixture::SetUp();
        if (HasFatalFailure())
            return;
        m_pPane->m_nNotifyMode = 1;
        m_pPane->m_strShortcutDocUid = "DOCUIDCOPIED";
    }

    // Types into the box and presses "download now".
    void QuickDownload(const char* text)
    {
        m_pPane->QuickDownloadBox().SetWindowText(text);
        m_pPane->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_DOWNLOAD_NOW, BN_CLICKED),
                             reinterpret_cast<LPARAM>(::GetDlgItem(m_pPane->m_hWnd, IDC_DOWNLOAD_NOW)));
    }
    void SelectPages(int index) { m_pPane->PageChoice().SetCurSel(index); }
    std::vector<CString> Handed() const
    {
        std::vector<CString> numbers;
        for (const HandOver& h : m_pPane->handOvers)
            numbers.push_back(h.number);
        return numbers;
    }
    CString BoxText()
    {
        CString text;
        m_pPane->QuickDownloadBox().GetWindowText(text);
        return text;
    }
    HandOver Fields(const char* number, int first, int limit, int wrapper)
    {
        return HandOver{number, first, limit, wrapper, reinterpret_cast<DWORD_PTR>(m_host.m_hWnd)};
    }
    long Shortcuts(const char* docUid, const char* folderUid)
    {
        return Count(StoredProject(), (std::string("/Project/Shorts/Short[@ShortUID='") + docUid +
                                       "' and @ParentUID='" + folderUid + "']")
                                          .c_str());
    }
};

} // namespace

TEST_F(QuickDownloadTest, LinesAreCleanedAndHandedOverWithThePageChoiceAndTheFileWrapperBox)
{
    SelectPages(3); // "First 3"
    m_pPane->m_bToolbarRequest = true;
    // A line of the box that looks empty still holds its carriage return: the list goes on.
    QuickDownload("ep 12.345\r\nus 7,123,456\r\nPCT/US1999/123456\r\nUS12/345\r\n.,;\r\nshortcut\r\nwo2001123456\r\n"
                  "\r\n7654321");
    EXPECT_FALSE(m_pPane->m_bToolbarRequest);
    const std::vector<HandOver> expected = {Fields("EP0012345", 1, 3, 0), Fields("7123456", 1, 3, 0),
                                            Fields("PCT1999123456", 1, 3, 0), Fields("12/345", 1, 3, 0),
                                            Fields("WO01123456", 1, 3, 0), Fields("7654321", 1, 3, 0)};
    EXPECT_EQ(expected, m_pPane->handOvers);
    EXPECT_EQ(0, m_pPane->GetDownloadManager().m_bShowWrapperDialog);
    EXPECT_EQ(CString("ENTER PATENT"), BoxText()) << "the box is emptied and shows its cue text";
    EXPECT_TRUE(m_pPane->balloons.empty());

    m_pPane->handOvers.clear();
    SelectPages(0); // "All Pages"
    m_pPane->SetFileWrapperOnly(true);
    QuickDownload("12/345678");
    EXPECT_EQ(std::vector<HandOver>{Fields("12345678", 0, 0, 1)}, m_pPane->handOvers);

    // Nothing to hand over: the cue text, an empty box, or no page choice at all.
    m_pPane->handOvers.clear();
    m_pPane->m_bToolbarRequest = true;
    QuickDownload("ENTER PATENT");
    EXPECT_FALSE(m_pPane->m_bToolbarRequest);
    QuickDownload("");
    SelectPages(-1);
    m_pPane->GetDownloadManager().m_nPageLimit = 7;
    QuickDownload("7654321");
    EXPECT_TRUE(m_pPane->handOvers.empty());
    EXPECT_EQ(1, m_pPane->GetDownloadManager().m_nPageLimit);
    EXPECT_EQ(CString("7654321"), BoxText());
}

TEST_F(QuickDownloadTest, NumbersAlreadyQueuedAreListedInOneBalloonBesideTheButton)
{
    m_pPane->MoveWindow(5, 7, CPaneLayout::DefaultWidth, CPaneLayout::DefaultHeight);
    m_pPane->answers = {{"1111111", -1}, {"3333333", -1}, {"4444444", -2}};
    QuickDownload("US1111111\r\n2222222\r\n3333333\r\n4444444");
    EXPECT_EQ((std::vector<CString>{"1111111", "2222222", "3333333", "4444444"}), Handed());
    ASSERT_EQ(1u, m_pPane->balloons.size());
    EXPECT_EQ("Sorry....|Sorry, the following document(s) could not be downloaded because:\n\n"
              "1111111 is currently being downloaded\n3333333 is currently being downloaded\n|exclamation|",
              m_pPane->balloons[0]);
    // 110 pixels right of the button's centre, in the main window; close button and shadow.
    const CPoint centre = m_pPane->DownloadButtonRect().CenterPoint();
    char place[64];
    std::snprintf(place, sizeof place, "%ld,%ld,c00", centre.x + 110 + 5, centre.y + 7);
    EXPECT_EQ(place, m_pPane->balloonPlaces[0]);
    EXPECT_EQ(CString("ENTER PATENT"), BoxText());
}

TEST_F(QuickDownloadTest, ANumberInNewDownloadsIsReportedAndTheRestIsStillHandedOver)
{
    QuickDownload("US7000001\r\n2222222");
    EXPECT_EQ((std::vector<CString>{"7000001", "2222222"}), Handed());
    ASSERT_EQ(1u, m_pPane->balloons.size());
    EXPECT_EQ(std::string("Document Already Downloaded!|Document No. 7000001 has already been downloaded and is "
                          "located in NEW DOWNLOADS.") +
                  kOpenFile + "|question|" + kPdf7000001,
              m_pPane->balloons[0]);
    EXPECT_EQ("210,115,1c00", m_pPane->balloonPlaces[0]);
    EXPECT_EQ(1, Count(StoredProject(), "/Project/Shorts/Short")) << "no shortcut";
    EXPECT_EQ(CString("DOCUIDCOPIED"), m_pPane->m_strShortcutDocUid) << "the copied document stays remembered";
    EXPECT_EQ(CString("ENTER PATENT"), BoxText());

    // Only notification mode 1 shows the balloon.
    m_pPane->balloons.clear();
    m_pPane->m_nNotifyMode = 2;
    QuickDownload("7000001");
    EXPECT_TRUE(m_pPane->balloons.empty());
}

TEST_F(QuickDownloadTest, ANumberFiledElsewhereGetsAShortcutInNewDownloadsAndEndsTheRun)
{
    struct Case
    {
        const char* box;
        const char* uid;
        const char* text; // the balloon's, in notification mode 1
    };
    const Case cases[] = {
        {"ep 2\r\n3333333", "DOCUIDEP0000002",
         "Document No. EP0000002 has already been downloaded and is located in Acme Archive and a shortcut has "
         "been created in New Downloads."},
        // A folder chain that runs in a circle: the record is found all the same.
        {"7000003\r\n3333333", "DOCUIDUS7000003",
         "Document No. 7000003 has already been downloaded and is located in Cycle A and a shortcut has been "
         "created in New Downloads.Please CLICK HERE to open this file or go to the appropriate folder to open "
         "this patent."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box);
        m_pPane->handOvers.clear();
        m_pPane->balloons.clear();
        QuickDownload(c.box);
        EXPECT_EQ(1u, m_pPane->handOvers.size()) << "the line after it is not handed over";
        EXPECT_EQ(1, Shortcuts(c.uid, "1"));
        EXPECT_EQ(CString(c.uid), m_pPane->m_strShortcutDocUid);
        EXPECT_EQ(CString("1"), m_pPane->GetPatentManager().m_strFolderUID) << "the list shows NEW DOWNLOADS";
        ASSERT_EQ(1u, m_pPane->balloons.size());
        EXPECT_EQ(0u, m_pPane->balloons[0].find(std::string("Document Already Downloaded!|") + c.text + "|question|"))
            << m_pPane->balloons[0];
        EXPECT_EQ(CString("ENTER PATENT"), BoxText());
    }

    // Without balloons the shortcut is still made.
    m_pPane->m_nNotifyMode = 3;
    m_pPane->balloons.clear();
    QuickDownload("EP0000002");
    EXPECT_EQ(2, Shortcuts("DOCUIDEP0000002", "1"));
    EXPECT_TRUE(m_pPane->balloons.empty());
}

TEST_F(QuickDownloadTest, PasteFilesTheDocumentTheUserCopiedAfterARequestFiledItsOwnShortcut)
{
    CString copied = "DOCUIDUS7000001";
    m_pPane->SendMessage(UM_COPY_SHORTCUT, reinterpret_cast<WPARAM>(&copied), 0);
    QuickDownload("ep 2");
    ASSERT_EQ(1, Shortcuts("DOCUIDEP0000002", "1")) << "the request filed its document's shortcut";

    Select(Item({"Empty"}));
    Command(ID_TREE_PASTE_SHORTCUT);
    EXPECT_EQ(1, Shortcuts("DOCUIDUS7000001", "305"));
    EXPECT_EQ(0, Shortcuts("DOCUIDEP0000002", "305"));
}

TEST_F(QuickDownloadTest, LocateFindsTheRecordAndItsFoldersUpToTheRoot)
{
    const long nFolders = Count(StoredProject(), "/Project/Folders/Folder");
    struct Case
    {
        const char* number;
        bool fileWrapper;
        bool found;
        std::vector<CString> folders; // after "kept"; for the circle only the first two
        const char* uid;
        const char* pdf;
    };
    const Case cases[] = {
        {"US7000001", false, true, {"NEW DOWNLOADS"}, "DOCUIDUS7000001", kPdf7000001},
        {"7000001", false, true, {"NEW DOWNLOADS"}, "DOCUIDUS7000001", kPdf7000001},
        {"7000001", true, false, {}, "", ""},  // not normalised in file-wrapper mode
        {"US7000001", true, false, {}, "DOCUIDUS7000001", kPdf7000001},  // not a file-wrapper record
        {"EP0000002", false, true, {"Acme Archive", "Acme", "Clients"}, "DOCUIDEP0000002", ""},
        {"US7000003", false, false, {"Cycle A", "Cycle B"}, "DOCUIDUS7000003", "c:\\d\\US7000003.PDF"},
        {"US7000004", false, false, {"Unknown Parent"}, "DOCUIDUS7000004", "c:\\d\\notes.txt"},
        {"US7000005", false, false, {}, "DOCUIDUS7000005", "c:\\d\\US7000005.pdf"},
        {"US7000005", true, true, {"Acme", "Clients"}, "DOCUIDUS7000005", "c:\\d\\US7000005.pdf"},
        {"US7000006", false, false, {}, "DOCUIDUS7000006", ""},
        {"US7999999", false, false, {}, "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.number) + (c.fileWrapper ? " file wrapper" : ""));
        m_pPane->SetFileWrapperOnly(c.fileWrapper);
        CStringArray folders;
        folders.Add("kept");
        EXPECT_EQ(c.found, m_pPane->LocateDownloadedDocument(c.number, folders));
        std::vector<CString> names;
        for (INT_PTR i = 1; i < folders.GetSize(); ++i)
            names.push_back(folders[i]);
        EXPECT_EQ(CString("kept"), folders[0]);
        if (std::strcmp(c.number, "US7000003") == 0) {
            // The walk stops after as many steps as there are folders.
            EXPECT_EQ(nFolders, static_cast<long>(names.size()));
            names.resize(2);
        }
        EXPECT_EQ(c.folders, names);
        EXPECT_EQ(CString(c.uid), m_pPane->FoundDocUid());
        EXPECT_EQ(CString(c.pdf), m_pPane->FoundPdfPath());
    }
}

TEST_F(QuickDownloadTest, EnterInTheOneNumberBoxStartsTheDownload)
{
    CMyEdit& box = m_pPane->QuickDownloadBox();
    box.SetFocus();
    testsupport::PumpMessages();
    EXPECT_EQ(CString(""), BoxText()) << "the focus takes the cue text away";
    auto type = [&](const char* text) {
        for (const char* p = text; *p; ++p)
            box.SendMessage(WM_CHAR, static_cast<WPARAM>(static_cast<unsigned char>(*p)), 1);
    };
    type("2222222");
    EXPECT_TRUE(m_pPane->handOvers.empty());
    type("\r");
    EXPECT_EQ(std::vector<CString>{"2222222"}, Handed());
    EXPECT_EQ(CString(""), BoxText());

    // In the expanded arrangement Enter only starts a new line; "download now" takes both.
    m_pPane->handOvers.clear();
    m_pPane->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_EXPAND_BUTTON, BN_CLICKED),
                         reinterpret_cast<LPARAM>(::GetDlgItem(m_pPane->m_hWnd, IDC_EXPAND_BUTTON)));
    ASSERT_TRUE(m_pPane->IsExpanded());
    box.SetFocus();
    type("3333333\r4444444\r");
    EXPECT_TRUE(m_pPane->handOvers.empty());
    EXPECT_EQ(CString("3333333\r\n4444444\r\n"), BoxText());
    m_pPane->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_DOWNLOAD_NOW, BN_CLICKED),
                         reinterpret_cast<LPARAM>(::GetDlgItem(m_pPane->m_hWnd, IDC_DOWNLOAD_NOW)));
    EXPECT_EQ((std::vector<CString>{"3333333", "4444444"}), Handed());
}

// ---------------------------------------------------------------- the toolbar link

namespace {

// A browser toolbar on the test's side: a connection to the pane's port, read without
// blocking while the test thread handles the pane's messages.
class ToolbarClient
{
public:
    ToolbarClient()
    {
        m_s = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in addr{};
        addr.sin_family = AF_INET;
        addr.sin_port = ::htons(50055);
        addr.sin_addr.s_addr = ::inet_addr("127.0.0.1");
        m_bConnected = ::connect(m_s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
        u_long nonBlocking = 1;
        ::ioctlsocket(m_s, FIONBIO, &nonBlocking);
    }
    ~ToolbarClient() { Close(); }
    ToolbarClient(const ToolbarClient&) = delete;
    ToolbarClient& operator=(const ToolbarClient&) = delete;

    bool Connected() const { return m_bConnected; }
    void Send(const std::string& bytes) { ::send(m_s, bytes.data(), static_cast<int>(bytes.size()), 0); }
    void EndSending() { ::shutdown(m_s, SD_SEND); }
    void Close()
    {
        if (m_s != INVALID_SOCKET)
            ::closesocket(m_s);
        m_s = INVALID_SOCKET;
    }
    // What the program sent, once it closed the connection (false: still open after ms).
    bool ReadUntilClosed(std::string& got, DWORD ms = 5000)
    {
        return testsupport::PumpUntil(
            [&] {
                char buf[256];
                int n;
                while ((n = ::recv(m_s, buf, sizeof buf, 0)) > 0)
                    got.append(buf, static_cast<size_t>(n));
                return n == 0 || (n == SOCKET_ERROR && ::WSAGetLastError() != WSAEWOULDBLOCK);
            },
            ms);
    }

private:
    SOCKET m_s = INVALID_SOCKET;
    bool m_bConnected = false;
};

// A whole request: identifier and numbers each end with a zero byte inside their fields.
std::string Request(const char* id, const char* numbers, int32_t page)
{
    EXPECT_LE(std::strlen(id), 14u);
    EXPECT_LE(std::strlen(numbers), 20u);
    std::string r(kToolbarRequestSize, '\0');
    std::memcpy(&r[0], id, std::strlen(id));
    std::memcpy(&r[15], numbers, std::strlen(numbers));
    std::memcpy(&r[36], &page, 4);
    return r;
}

class ToolbarLinkTest : public QuickDownloadTest
{
protected:
    void SetUp() override
    {
        SaveSystemId();
        SetSystemId("TB-4711");
        QuickDownloadTest::SetUp();
    }
    void TearDown() override
    {
        QuickDownloadTest::TearDown();
        RestoreSystemId();
    }

    static void SetSystemId(const char* id)
    {
        if (id)
            ASSERT_EQ(ERROR_SUCCESS, ::RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "SystemID", REG_SZ, id,
                                                       static_cast<DWORD>(std::strlen(id) + 1)));
        else
            ::RegDeleteKeyValueA(HKEY_CURRENT_USER, kSettingsKey, "SystemID");
    }

    // Sends one request on a connection of its own and ends sending; answers what the
    // program sent back before it closed the connection.
    std::string Ask(const std::string& request)
    {
        ToolbarClient toolbar;
        EXPECT_TRUE(toolbar.Connected());
        toolbar.Send(request);
        toolbar.EndSending();
        std::string got;
        EXPECT_TRUE(toolbar.ReadUntilClosed(got)) << "the program keeps the connection open";
        testsupport::PumpMessages(50);
        return got;
    }

private:
    void SaveSystemId()
    {
        char data[256] = {};
        DWORD size = sizeof data - 1;
        m_bHadId = ::RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, "SystemID", RRF_RT_REG_SZ, nullptr, data,
                                  &size) == ERROR_SUCCESS;
        m_strSavedId = data;
    }
    void RestoreSystemId() { SetSystemId(m_bHadId ? m_strSavedId.GetString() : nullptr); }

    bool m_bHadId = false;
    CString m_strSavedId;
};

} // namespace

TEST_F(ToolbarLinkTest, ARequestWithTheStoredIdentifierIsHandedOverWithItsPageChoice)
{
    // The port is open on the loopback address only.
    CString address;
    UINT port = 0;
    ASSERT_TRUE(m_pPane->GetListener().GetSockName(address, port));
    EXPECT_EQ(CString("127.0.0.1"), address);
    EXPECT_EQ(50055u, port);

    struct Case
    {
        const char* numbers;
        int32_t page;
        std::vector<HandOver> handed;
    };
    const Case cases[] = {
        {"us 7,123,456\n12/345", 3, {Fields("US7123456", 1, 3, 0), Fields("12/345", 1, 3, 0)}},
        {"ep 123\n\n2222222", -1, {Fields("EP123", 0, 1, 0)}},  // an empty line ends the list
        {"SHORTCUT\nwo2001123", 0, {Fields("WO2001123", 1, 0, 0)}},
        {"", 2, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.numbers);
        m_pPane->handOvers.clear();
        m_pPane->m_bToolbarRequest = false;
        m_pPane->SetFileWrapperOnly(true); // the request never downloads through the file wrapper
        const std::string greeting = Ask(Request("TB-4711", c.numbers, c.page));
        EXPECT_EQ(std::string(kToolbarRequestSize, '\0'), greeting);
        EXPECT_EQ(c.handed, m_pPane->handOvers);
        EXPECT_TRUE(m_pPane->m_bToolbarRequest);
        EXPECT_EQ(0, m_pPane->GetConnectionCount()) << "the closed connection is deleted";
    }
    EXPECT_EQ(CString("ENTER PATENT"), BoxText()) << "the quick-download box is not touched";
    EXPECT_TRUE(m_pPane->balloons.empty());
}

TEST_F(ToolbarLinkTest, RequestsThatAreNotWholeOrNotTrustedChangeNothing)
{
    const std::string good = Request("TB-4711", "2222222", -1);
    struct Case
    {
        const char* name;
        std::string bytes;
    };
    const Case cases[] = {
        {"wrong identifier", Request("TB-4712", "2222222", -1)},
        {"identifier of another case", Request("tb-4711", "2222222", -1)},
        {"empty identifier", Request("", "2222222", -1)},
        {"short request", good.substr(0, 30)},
        {"no terminator in the identifier", std::string(15, 'T') + good.substr(15)},
        {"no terminator in the numbers", good.substr(0, 15) + std::string(21, '7') + good.substr(36)},
        {"nothing at all", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        m_pPane->m_bToolbarRequest = false;
        Ask(c.bytes);
        EXPECT_TRUE(m_pPane->handOvers.empty());
        EXPECT_FALSE(m_pPane->m_bToolbarRequest);
        EXPECT_EQ(0, m_pPane->GetConnectionCount());
    }

    // Without a stored identifier no request is trusted, not even one with an empty
    // identifier; each connection notes the missing key in the log.
    SetSystemId(nullptr);
    Ask(Request("", "2222222", -1));
    Ask(Request("TB-4711", "2222222", -1));
    EXPECT_TRUE(m_pPane->handOvers.empty());
    EXPECT_NE(std::string::npos, LogText().find("Can't read registry, toolbar key not present"));
}

TEST_F(ToolbarLinkTest, StalledPeersAreCutOffWithoutHoldingUpOthers)
{
    // Ten toolbars that send part of a request and then stall, and one that sends nothing.
    const std::string request = Request("TB-4711", "1111111", -1);
    std::vector<std::unique_ptr<ToolbarClient>> stalled;
    std::vector<DWORD> connectedAt;
    for (int i = 0; i < 11; ++i) {
        connectedAt.push_back(::GetTickCount());
        stalled.push_back(std::make_unique<ToolbarClient>());
        ASSERT_TRUE(stalled.back()->Connected()) << i;
        if (i < 10)
            stalled.back()->Send(request.substr(0, static_cast<size_t>(5 + 3 * i)));
    }
    ASSERT_TRUE(testsupport::PumpUntil([&] { return m_pPane->GetConnectionCount() == 11; }));

    // A whole request meanwhile is served at once, while the stalled ones still wait.
    Ask(Request("TB-4711", "2222222", -1));
    EXPECT_EQ(std::vector<CString>{"2222222"}, Handed());
    EXPECT_EQ(11, m_pPane->GetConnectionCount()) << "the stalled connections are still open";

    // Each stalled one got its greeting and is closed once its time is up, its bytes dropped.
    for (size_t i = 0; i < stalled.size(); ++i) {
        SCOPED_TRACE(i);
        std::string got;
        EXPECT_TRUE(stalled[i]->ReadUntilClosed(got, 15000));
        EXPECT_GE(::GetTickCount() - connectedAt[i], CConSocket::kRequestWaitMs - 100);
        EXPECT_EQ(std::string(kToolbarRequestSize, '\0'), got);
    }
    EXPECT_TRUE(testsupport::PumpUntil([&] { return m_pPane->GetConnectionCount() == 0; }));
    EXPECT_EQ(1u, m_pPane->handOvers.size());

    // The link serves the next request.
    Ask(Request("TB-4711", "3333333", -1));
    EXPECT_EQ((std::vector<CString>{"2222222", "3333333"}), Handed());

    // Connections opened and closed without a word are all deleted again.
    for (int i = 0; i < 50; ++i) {
        ToolbarClient quiet;
        ASSERT_TRUE(quiet.Connected()) << i;
        testsupport::PumpMessages();
    }
    EXPECT_TRUE(testsupport::PumpUntil([&] { return m_pPane->GetConnectionCount() == 0; }));
    EXPECT_EQ(2u, m_pPane->handOvers.size());
}

TEST_F(ToolbarLinkTest, APortHeldByAnotherProgramIsNamedInTheLog)
{
    // Another program listens on the toolbar's address and port before the pane opens.
    ClosePane();
    SOCKET holder = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in addr{};
    addr.sin_family = AF_INET;
    addr.sin_port = ::htons(50055);
    addr.sin_addr.s_addr = ::inet_addr("127.0.0.1");
    ASSERT_EQ(0, ::bind(holder, reinterpret_cast<sockaddr*>(&addr), sizeof addr));
    ASSERT_EQ(0, ::listen(holder, 5));
    const size_t logged = LogText().size();

    OpenPane();
    const std::string log = LogText().substr(logged);
    EXPECT_NE(std::string::npos,
              log.find("The toolbar port 50055 could not be opened on 127.0.0.1: error 10048 ("))
        << log;
    EXPECT_NE(std::string::npos, log.find("the browser toolbar cannot reach the program")) << log;
    EXPECT_EQ(INVALID_SOCKET, m_pPane->GetListener().m_hSocket);

    // The rest of the pane works without the link: a typed number is still handed over.
    ::closesocket(holder);
    QuickDownload("2222222");
    EXPECT_EQ(std::vector<CString>{"2222222"}, Handed());
}

TEST_F(ToolbarLinkTest, NumbersQueuedOrInTheProjectGetTheirOwnAnswers)
{
    // Already queued: one balloon, on top, with both numbers in the order requested.
    m_pPane->answers = {{"111111", -1}, {"333333", -1}};
    Ask(Request("TB-4711", "111111\n222222\n333333", -1));
    EXPECT_EQ((std::vector<CString>{"111111", "222222", "333333"}), Handed());
    ASSERT_EQ(1u, m_pPane->balloons.size());
    EXPECT_EQ("Sorry....|Sorry, the following document(s) could not be downloaded because:\n\n"
              "111111 is currently being downloaded\n333333 is currently being downloaded\n|exclamation|",
              m_pPane->balloons[0]);
    EXPECT_EQ("1c00", m_pPane->balloonPlaces[0].substr(m_pPane->balloonPlaces[0].rfind(',') + 1));

    // In NEW DOWNLOADS: "Download Complete" and the request ends there.
    m_pPane->handOvers.clear();
    m_pPane->balloons.clear();
    Ask(Request("TB-4711", "US7000001\n2222222", -1));
    EXPECT_EQ(std::vector<CString>{"US7000001"}, Handed());
    ASSERT_EQ(1u, m_pPane->balloons.size());
    EXPECT_EQ(std::string("Download Complete|Zentrova has completed the download of document: US7000001.\nPlease "
                          "CLICK HERE to view the patent|question|") +
                  kPdf7000001,
              m_pPane->balloons[0]);
    EXPECT_EQ(1, Count(StoredProject(), "/Project/Shorts/Short"));
    EXPECT_EQ(CString("DOCUIDCOPIED"), m_pPane->m_strShortcutDocUid);

    // Filed elsewhere: a shortcut in NEW DOWNLOADS, the quick-download box emptied, no
    // balloon, and the request ends there.
    m_pPane->handOvers.clear();
    m_pPane->balloons.clear();
    m_pPane->QuickDownloadBox().SetWindowText("typed");
    Ask(Request("TB-4711", "EP0000002\n2222222", -1));
    EXPECT_EQ(std::vector<CString>{"EP0000002"}, Handed());
    EXPECT_EQ(1, Shortcuts("DOCUIDEP0000002", "1"));
    EXPECT_EQ(CString("DOCUIDEP0000002"), m_pPane->m_strShortcutDocUid);
    EXPECT_EQ(CString("ENTER PATENT"), BoxText());
    EXPECT_TRUE(m_pPane->balloons.empty());
}
