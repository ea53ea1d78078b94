// The project pane on a host window of the test program, with the store the test gives it,
// and helpers that read Project.cfg back and drive the folder tree.
#pragma once

#include "WorkspaceTest.h"

#include "ProgramOptions.h"
#include "ProjectManagerContainer.h"
#include "ProjectMessages.h"
#include "ProjectIds.h"
#include "ProjectStore.h"
#include "XmlHelpers.h"
#include "ZentrovaDlg.h"
#include "resource.h"

#include "WindowBench.h"

#include <functional>
#include <map>
#include <ostream>
#include <string>
#include <vector>

namespace workspacetest {

inline CString FixtureText(const char* relative)
{
    std::string bytes;
    EXPECT_TRUE(testsupport::ReadBytes(testsupport::DataPath(relative), bytes)) << relative;
    return CString(bytes.c_str());
}

// Project.cfg of the program folder, deciphered into a DOM of its own.
inline IXMLDOMDocument2Ptr StoredProject()
{
    IXMLDOMDocument2Ptr doc = CreateDomDocument();
    doc->loadXML(_bstr_t(ReadDeciphered(AppFile("Project.cfg"))));
    return doc;
}

inline CString Attribute(IXMLDOMNodePtr node, const char* name)
{
    CString value = "(none)";
    if (node)
        GetXmlAttribute(node, name, value);
    return value;
}

inline IXMLDOMNodePtr StoredFolder(IXMLDOMDocument2Ptr doc, const CString& uid)
{
    return doc->selectSingleNode(_bstr_t("/Project/Folders/Folder[@UID=" + XPathLiteral(uid) + "]"));
}

inline long Count(IXMLDOMDocument2Ptr doc, const char* path)
{
    return doc->selectNodes(_bstr_t(path))->Getlength();
}

// One number as the pane handed it to the download queue, with the queue's request fields.
struct HandOver
{
    CString number;
    int firstPageOnly;
    int pageLimit;
    int fileWrapperMode;
    DWORD_PTR mainWindow;

    bool operator==(const HandOver& o) const
    {
        return number == o.number && firstPageOnly == o.firstPageOnly && pageLimit == o.pageLimit &&
               fileWrapperMode == o.fileWrapperMode && mainWindow == o.mainWindow;
    }
};

inline std::ostream& operator<<(std::ostream& out, const HandOver& h)
{
    return out << h.number.GetString() << " first=" << h.firstPageOnly << " limit=" << h.pageLimit
               << " wrapper=" << h.fileWrapperMode << " window=" << h.mainWindow;
}

// The pane, with a record of the folders it was asked to remove, of the sounds and balloons
// it would play and show, and of the numbers it hands to the download queue. The queue's
// answers: a number in `answers` gets that; a number the project holds goes to the real
// queue (which answers -3 without starting anything); any other number counts as queued (1)
// and starts no download.
class CPaneSpy : public CProjectManagerContainer
{
public:
    std::vector<HandOver> handOvers;
    std::map<CString, int> answers;
    std::vector<CString> deleteRequests;
    std::vector<CString> sounds;
    std::vector<std::string> balloons; // "title|text|icon|link"
    std::vector<std::string> balloonPlaces; // "x,y,options" of each balloon, options in hex
    std::vector<std::string> messageBoxes; // "caption|text|type" of each box, type in hex
    int messageAnswer = IDYES;             // what every message box answers
    int saveRequests = 0;                  // UM_SAVE_PROJECT received
    bool realDownloads = false;            // numbers go to the real queue, which downloads them
    CMyCheckboxButton& FirstPageCheck() { return m_checkFirstPage; }
    CMyEdit& QuickDownloadBox() { return m_editQuickDownload; }
    CCJComboBox& PageChoice() { return m_comboPageChoice; }
    void SetFileWrapperOnly(bool bChecked) { m_checkFileWrapperOnly.SetCheck(bChecked ? 1 : 0); }
    const CString& FoundDocUid() const { return m_strFoundDocUid; }
    const CString& FoundPdfPath() const { return m_strFoundPdfPath; }
    CRect DownloadButtonRect() const { return m_Layout.m_rectbuttonQuickDownload; }

protected:
    int QueueDownload(const CString& number) override;
    void PlayNotificationSound(const CString& strPath) override { sounds.push_back(strPath); }
    void ShowBalloon(const char* title, const CString& text, const char* icon, const CPoint& anchor,
                     unsigned options, const CString& strLink) override;
    int ShowMessageBox(CWnd* pOwner, const CString& strText, const char* caption, UINT nType) override;
    afx_msg LRESULT OnDeleteFolderSpy(WPARAM wParam, LPARAM lParam);
    afx_msg LRESULT OnSaveProjectSpy(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()
};

class PaneFixture : public ComTest
{
protected:
    void SetUp() override
    {
        ComTest::SetUp();
        // As in the program, Windows Sockets run before the pane opens its toolbar port.
        ASSERT_TRUE(AfxSocketInit());
        testsupport::InitControls();
        ASSERT_TRUE(CopyFileA(ShippedFile("config2.cfg"), AppFile("config2.cfg"), FALSE));
        WriteEnciphered(AppFile("Project.cfg"), ProjectText());
        m_pOptions = new CProgramOptions;
        ASSERT_TRUE(m_host.CreateEx(0, nullptr, "Pane host", WS_POPUP | WS_VISIBLE, 20, 20, 640, 460, nullptr, nullptr));
        OpenPane();
    }

    void TearDown() override
    {
        ClosePane();
        m_host.DestroyWindow();
        delete m_pOptions;
        ::WSACleanup();
        ComTest::TearDown();
    }

    // The store the pane starts with.
    virtual CString ProjectText() { return FixtureText("pane/Project.xml"); }

    void OpenPane()
    {
        m_pPane = new CPaneSpy;
        m_pPane->m_pOptions = m_pOptions;
        ASSERT_TRUE(m_pPane->Create(IDD_PROJECT_MANAGER, &m_host));
        m_pPane->MoveWindow(0, 0, CPaneLayout::DefaultWidth, CPaneLayout::DefaultHeight);
        m_pPane->ShowWindow(SW_SHOW);
        ASSERT_TRUE(m_pPane->LoadProjectConfig(AppFile("Project.cfg")));
        testsupport::PumpMessages();
    }

    void ClosePane()
    {
        if (!m_pPane)
            return;
        m_pPane->DestroyWindow();
        delete m_pPane;
        m_pPane = nullptr;
    }

    CProjectTree& Tree() { return m_pPane->GetProjectTree(); }
    CMyTreeCtrl& Control() { return Tree().GetTree(); }

    // The item reached from the root through the labels.
    HTREEITEM Item(std::initializer_list<const char*> path)
    {
        HTREEITEM hItem = Control().GetRootItem();
        for (const char* label : path) {
            HTREEITEM hChild = Control().GetChildItem(hItem);
            while (hChild && Control().GetItemText(hChild) != label)
                hChild = Control().GetNextSiblingItem(hChild);
            if (!hChild)
                return nullptr;
            hItem = hChild;
        }
        return hItem;
    }

    void Select(HTREEITEM hItem)
    {
        ASSERT_NE(nullptr, hItem);
        Control().Select(hItem, TVGN_CARET);
        testsupport::PumpMessages();
    }

    void Command(UINT nID)
    {
        Tree().SendMessage(WM_COMMAND, nID, 0);
        testsupport::PumpMessages();
    }

    // Runs a folder command on the item that opens its label for editing, types the text
    // and ends the edit with Enter. False when no edit opened.
    bool EditThroughTree(HTREEITEM hItem, UINT nID, const char* text)
    {
        Select(hItem);
        Command(nID);
        CEdit* pEdit = Control().GetEditControl();
        if (!pEdit)
            return false;
        pEdit->SetWindowText(text);
        Control().SendMessage(TVM_ENDEDITLABELNOW, 0);
        testsupport::PumpMessages();
        return true;
    }

    // One line per item, indented by depth: label [image/selected image].
    std::string Describe()
    {
        std::string out;
        std::function<void(HTREEITEM, int)> walk = [&](HTREEITEM hItem, int depth) {
            for (; hItem; hItem = Control().GetNextSiblingItem(hItem)) {
                int image = -1, selected = -1;
                Control().GetItemImage(hItem, image, selected);
                out += std::string(static_cast<size_t>(depth) * 2, ' ') + Control().GetItemText(hItem).GetString() +
                       " [" + std::to_string(image) + "/" + std::to_string(selected) + "]\n";
                walk(Control().GetChildItem(hItem), depth + 1);
            }
        };
        walk(Control().GetRootItem(), 0);
        return out;
    }

    HWND Balloon(const char* title)
    {
        HWND hWnd = ::FindWindowA("BalloonHelpClassDS", title);
        return hWnd ? hWnd : ::FindWindowA("BalloonHelpClass", title);
    }

    CWnd m_host;
    CProgramOptions* m_pOptions = nullptr;
    CPaneSpy* m_pPane = nullptr;
};

// The main window, with the test saying whether this start is the program's first.
class CTestMainDlg : public CZentrovaDlg
{
public:
    bool firstRun = false;

protected:
    bool IsFirstRunStart() override { return firstRun; }
};

// Runs the main window modally; during() runs from its message loop once it shows, and ends
// it. A window still open after 30 s is ended.
inline INT_PTR RunMainWindow(CZentrovaDlg& dlg, std::function<void()> during)
{
    testsupport::AfterDelay(600, std::move(during));
    UINT_PTR safety = testsupport::AfterDelay(30000, [&dlg] { dlg.EndDialog(-2); });
    INT_PTR result = dlg.DoModal();
    ::KillTimer(nullptr, safety);
    return result;
}

} // namespace workspacetest
