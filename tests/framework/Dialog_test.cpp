// Dialogs from the test resource script: modal runs and data exchange, reflected control
// notifications, modeless child dialogs, command routing through nested dialogs, command
// updates of a popup menu, pre-translation of messages.
#include "Button.h"
#include "CmdUI.h"
#include "ComboBox.h"
#include "DataExchange.h"
#include "DC.h"
#include "Dialog.h"
#include "Edit.h"
#include "FileDialog.h"
#include "ListCtrl.h"
#include "Menu.h"
#include "ProgressCtrl.h"
#include "PropertyPage.h"
#include "Static.h"
#include "TestResource.h"
#include "TestSupport.h"
#include "TreeCtrl.h"
#include "WindowBench.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <vector>

namespace {

// A button that takes its own click (ON_CONTROL_REFLECT): the parent never sees it.
class CReflectButton : public CButton
{
public:
    int clicks = 0;

protected:
    afx_msg void OnClicked() { ++clicks; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectButton, CButton)
    ON_CONTROL_REFLECT(BN_CLICKED, &CReflectButton::OnClicked)
END_MESSAGE_MAP()

// A button that looks at its click and leaves it to the parent as well (_EX, FALSE).
class CSharedButton : public CButton
{
public:
    int clicks = 0;

protected:
    afx_msg BOOL OnClicked()
    {
        ++clicks;
        return FALSE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CSharedButton, CButton)
    ON_CONTROL_REFLECT_EX(BN_CLICKED, &CSharedButton::OnClicked)
END_MESSAGE_MAP()

// A label that chooses its own colours (reflected WM_CTLCOLOR).
class CColourLabel : public CStatic
{
public:
    CBrush m_brush{RGB(236, 233, 216)};

protected:
    afx_msg HBRUSH CtlColor(CDC* pDC, UINT /*nCtlColor*/)
    {
        pDC->SetTextColor(RGB(0, 0, 238));
        return m_brush;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CColourLabel, CStatic)
    ON_WM_CTLCOLOR_REFLECT()
END_MESSAGE_MAP()

// An owner-drawn button: the parent's WM_DRAWITEM arrives at DrawItem.
class COwnerButton : public CButton
{
public:
    int draws = 0;
    UINT lastCtlID = 0;
    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override
    {
        ++draws;
        lastCtlID = lpDIS->CtlID;
        CDC::FromHandle(lpDIS->hDC)->FillSolidRect(&lpDIS->rcItem, RGB(120, 160, 200));
    }
};

// A list that answers double clicks itself and looks at single clicks on the way.
class CReflectList : public CListCtrl
{
public:
    int doubleClicks = 0;
    int clicks = 0;

protected:
    afx_msg void OnDblClk(NMHDR*, LRESULT* pResult)
    {
        ++doubleClicks;
        *pResult = 5;
    }
    afx_msg BOOL OnClick(NMHDR*, LRESULT*)
    {
        ++clicks;
        return FALSE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CReflectList, CListCtrl)
    ON_NOTIFY_REFLECT(NM_DBLCLK, &CReflectList::OnDblClk)
    ON_NOTIFY_REFLECT_EX(NM_CLICK, &CReflectList::OnClick)
END_MESSAGE_MAP()

class CFormDlg : public CDialog
{
public:
    explicit CFormDlg(CWnd* pParent = nullptr) : CDialog(IDD_TEST_FORM, pParent) {}

    CString m_strName = "Ada";
    int m_nCount = 3;
    int m_nRemember = 1;
    int m_nRadio = 2;

    CReflectButton m_btnReflect;
    CSharedButton m_btnShared;
    CColourLabel m_label;
    COwnerButton m_btnOwner;
    CReflectList m_list;
    CTreeCtrl m_tree;
    CComboBox m_combo;
    CProgressCtrl m_progress;

    std::function<void(CFormDlg*)> onInit; // runs at the end of OnInitDialog
    int parentReflectClicks = 0;
    int parentSharedClicks = 0;
    int parentListClicks = 0;
    int parentListDoubleClicks = 0;
    int itemChanges = 0;
    int nameChanges = 0;
    int comboSelection = -2;
    std::vector<HWND> preTranslatedKeys;

    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN && pMsg->wParam == VK_F5) {
            preTranslatedKeys.push_back(pMsg->hwnd);
            return TRUE;
        }
        return CDialog::PreTranslateMessage(pMsg);
    }

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_REFLECT, m_btnReflect);
        DDX_Control(pDX, IDC_SHARED, m_btnShared);
        DDX_Control(pDX, IDC_LABEL, m_label);
        DDX_Control(pDX, IDC_OWNERDRAW, m_btnOwner);
        DDX_Control(pDX, IDC_LIST, m_list);
        DDX_Control(pDX, IDC_TREE, m_tree);
        DDX_Control(pDX, IDC_COMBO, m_combo);
        DDX_Control(pDX, IDC_PROGRESS, m_progress);
        DDX_Text(pDX, IDC_NAME, m_strName);
        DDX_Text(pDX, IDC_COUNT, m_nCount);
        DDX_Check(pDX, IDC_REMEMBER, m_nRemember);
        DDX_Radio(pDX, IDC_RADIO_FIRST, m_nRadio);
    }
    BOOL OnInitDialog() override
    {
        CDialog::OnInitDialog();
        m_list.InsertColumn(0, "Number", LVCFMT_LEFT, 80);
        m_list.InsertItem(0, "US7654321");
        m_list.InsertItem(1, "EP1234567");
        m_combo.AddString("Basic");
        m_combo.AddString("Advanced");
        if (onInit)
            onInit(this);
        return TRUE;
    }
    afx_msg void OnReflectClicked() { ++parentReflectClicks; }
    afx_msg void OnSharedClicked() { ++parentSharedClicks; }
    afx_msg void OnListClick(NMHDR*, LRESULT*) { ++parentListClicks; }
    afx_msg void OnListDblClk(NMHDR*, LRESULT*) { ++parentListDoubleClicks; }
    afx_msg void OnItemChanged(NMHDR*, LRESULT*) { ++itemChanges; }
    afx_msg void OnNameChange() { ++nameChanges; }
    afx_msg void OnComboChange() { comboSelection = m_combo.GetCurSel(); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CFormDlg, CDialog)
    ON_BN_CLICKED(IDC_REFLECT, &CFormDlg::OnReflectClicked)
    ON_BN_CLICKED(IDC_SHARED, &CFormDlg::OnSharedClicked)
    ON_NOTIFY(NM_CLICK, IDC_LIST, &CFormDlg::OnListClick)
    ON_NOTIFY(NM_DBLCLK, IDC_LIST, &CFormDlg::OnListDblClk)
    ON_NOTIFY(LVN_ITEMCHANGED, IDC_LIST, &CFormDlg::OnItemChanged)
    ON_EN_CHANGE(IDC_NAME, &CFormDlg::OnNameChange)
    ON_CBN_SELCHANGE(IDC_COMBO, &CFormDlg::OnComboChange)
END_MESSAGE_MAP()

CString DlgText(CWnd* pDlg, int nID)
{
    CString s;
    pDlg->GetDlgItemText(nID, s);
    return s;
}

// The visible message box of this thread other than hOwnerDlg, or null.
HWND FindMessageBox(HWND hOwnerDlg)
{
    struct Search
    {
        HWND hSkip;
        HWND hFound;
    } search{hOwnerDlg, nullptr};
    ::EnumThreadWindows(::GetCurrentThreadId(), [](HWND h, LPARAM lp) -> BOOL {
        Search* s = reinterpret_cast<Search*>(lp);
        char cls[32] = {};
        ::GetClassNameA(h, cls, sizeof cls);
        if (h != s->hSkip && ::IsWindowVisible(h) && CString(cls) == "#32770") {
            s->hFound = h;
            return FALSE;
        }
        return TRUE;
    }, reinterpret_cast<LPARAM>(&search));
    return search.hFound;
}

class DialogTest : public ::testing::Test
{
protected:
    void SetUp() override { testsupport::InitControls(); }
};

TEST_F(DialogTest, ModalDialogEndedByPostedOkSavesTheControls)
{
    CFormDlg dlg;
    HWND hDlg = nullptr;
    dlg.onInit = [&](CFormDlg* p) {
        hDlg = p->m_hWnd;
        // Loaded into the controls by the base OnInitDialog.
        EXPECT_EQ(CString("Ada"), DlgText(p, IDC_NAME));
        EXPECT_EQ(CString("3"), DlgText(p, IDC_COUNT));
        EXPECT_EQ(BST_CHECKED, p->IsDlgButtonChecked(IDC_REMEMBER));
        EXPECT_EQ(BST_CHECKED, p->IsDlgButtonChecked(IDC_RADIO_THIRD));
        p->SetDlgItemText(IDC_NAME, "Grace");
        p->SetDlgItemText(IDC_COUNT, " 42 ");
        p->CheckDlgButton(IDC_REMEMBER, BST_UNCHECKED);
        p->CheckRadioButton(IDC_RADIO_FIRST, IDC_RADIO_THIRD, IDC_RADIO_FIRST);
        p->PostMessage(WM_COMMAND, IDOK);
    };
    EXPECT_EQ(IDOK, dlg.DoModal());
    EXPECT_EQ(CString("Grace"), dlg.m_strName);
    EXPECT_EQ(42, dlg.m_nCount);
    EXPECT_EQ(0, dlg.m_nRemember);
    EXPECT_EQ(0, dlg.m_nRadio);
    // The window is gone, with its controls, and so are their map entries.
    ASSERT_NE(nullptr, hDlg);
    EXPECT_FALSE(::IsWindow(hDlg));
    EXPECT_EQ(nullptr, dlg.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hDlg));
    EXPECT_EQ(nullptr, dlg.m_list.m_hWnd);
}

TEST_F(DialogTest, AModalDialogOpensCentredOverItsOwnerUnlessItPlacedItself)
{
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, nullptr, "Owner", WS_POPUP | WS_VISIBLE | WS_CAPTION, 40, 30, 700, 500, nullptr,
                               nullptr));
    CRect ownerRect;
    owner.GetWindowRect(&ownerRect);
    for (const bool placesItself : {false, true}) {
        SCOPED_TRACE(placesItself ? "placed by OnInitDialog" : "not placed");
        CFormDlg dlg(&owner);
        CRect shown;
        dlg.onInit = [&](CFormDlg* p) {
            if (placesItself)
                p->SetWindowPos(nullptr, 5, 7, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            testsupport::AfterDelay(50, [&, p] {
                p->GetWindowRect(&shown);
                p->PostMessage(WM_COMMAND, IDOK);
            });
        };
        EXPECT_EQ(IDOK, dlg.DoModal());
        if (placesItself) {
            EXPECT_EQ(CPoint(5, 7), shown.TopLeft());
        } else {
            EXPECT_LE(std::abs(shown.CenterPoint().x - ownerRect.CenterPoint().x), 1);
            EXPECT_LE(std::abs(shown.CenterPoint().y - ownerRect.CenterPoint().y), 1);
        }
    }
    owner.DestroyWindow();
}

TEST_F(DialogTest, CancelLeavesTheMembers)
{
    CFormDlg dlg;
    dlg.onInit = [](CFormDlg* p) {
        p->SetDlgItemText(IDC_NAME, "changed");
        p->PostMessage(WM_COMMAND, IDCANCEL);
    };
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(CString("Ada"), dlg.m_strName);
}

TEST_F(DialogTest, ABadNumberIsExplainedAndTheDialogStaysOpen)
{
    CFormDlg dlg;
    CString boxText;
    bool stillOpen = false;
    dlg.onInit = [&](CFormDlg* p) {
        p->SetDlgItemText(IDC_NAME, "Grace");
        p->SetDlgItemText(IDC_COUNT, "12x");
        testsupport::AfterDelay(100, [&, p] {
            HWND hBox = FindMessageBox(p->m_hWnd);
            if (hBox) {
                ::GetDlgItemTextA(hBox, 0xFFFF, boxText.GetBuffer(200), 200);
                boxText.ReleaseBuffer();
                ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
            }
            testsupport::AfterDelay(100, [&, p] {
                stillOpen = ::IsWindow(p->m_hWnd) && ::IsWindowVisible(p->m_hWnd);
                p->PostMessage(WM_COMMAND, IDCANCEL);
            });
        });
        p->PostMessage(WM_COMMAND, IDOK);
    };
    EXPECT_EQ(IDCANCEL, dlg.DoModal());
    EXPECT_EQ(CString("Please enter an integer."), boxText);
    EXPECT_TRUE(stillOpen);
    EXPECT_EQ(3, dlg.m_nCount);
}

TEST_F(DialogTest, ControlsBoundByDataExchangeReceiveTheirReflectedNotifications)
{
    CFormDlg dlg;
    HBRUSH labelBrush = nullptr;
    HBRUSH otherBrush = nullptr;
    COLORREF labelText = 0;
    LRESULT dblClkResult = 0;
    dlg.onInit = [&](CFormDlg* p) {
        testsupport::AfterDelay(50, [&, p] {
            p->m_btnReflect.SendMessage(BM_CLICK);
            p->m_btnShared.SendMessage(BM_CLICK);

            // WM_CTLCOLORSTATIC for the label is answered by the label itself.
            HDC hdc = ::GetDC(p->m_label.m_hWnd);
            labelBrush = reinterpret_cast<HBRUSH>(p->SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc),
                                                                 reinterpret_cast<LPARAM>(p->m_label.m_hWnd)));
            labelText = ::GetTextColor(hdc);
            otherBrush = reinterpret_cast<HBRUSH>(p->SendMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(hdc),
                                                                 reinterpret_cast<LPARAM>(p->GetDlgItem(IDC_REMEMBER)->m_hWnd)));
            ::ReleaseDC(p->m_label.m_hWnd, hdc);

            p->m_btnOwner.Invalidate();
            p->m_btnOwner.UpdateWindow();

            NMHDR nm{p->m_list.m_hWnd, IDC_LIST, static_cast<UINT>(NM_DBLCLK)};
            dblClkResult = p->SendMessage(WM_NOTIFY, IDC_LIST, reinterpret_cast<LPARAM>(&nm));
            nm.code = static_cast<UINT>(NM_CLICK);
            p->SendMessage(WM_NOTIFY, IDC_LIST, reinterpret_cast<LPARAM>(&nm));

            p->m_list.SetItemState(1, LVIS_SELECTED, LVIS_SELECTED);
            p->SetDlgItemText(IDC_NAME, "typed");
            p->m_combo.SetCurSel(1);
            p->SendMessage(WM_COMMAND, MAKEWPARAM(IDC_COMBO, CBN_SELCHANGE), reinterpret_cast<LPARAM>(p->m_combo.m_hWnd));

            // A key posted to a control passes the dialog's PreTranslateMessage.
            ::PostMessageA(p->GetDlgItem(IDC_NAME)->m_hWnd, WM_KEYDOWN, VK_F5, 0);
            testsupport::AfterDelay(50, [p] { p->PostMessage(WM_COMMAND, IDCANCEL); });
        });
    };
    EXPECT_EQ(IDCANCEL, dlg.DoModal());

    EXPECT_EQ(1, dlg.m_btnReflect.clicks);
    EXPECT_EQ(0, dlg.parentReflectClicks);
    EXPECT_EQ(1, dlg.m_btnShared.clicks);
    EXPECT_EQ(1, dlg.parentSharedClicks);

    EXPECT_EQ(static_cast<HBRUSH>(dlg.m_label.m_brush), labelBrush);
    EXPECT_EQ(RGB(0, 0, 238), labelText);
    EXPECT_NE(labelBrush, otherBrush);

    EXPECT_GE(dlg.m_btnOwner.draws, 1);
    EXPECT_EQ(static_cast<UINT>(IDC_OWNERDRAW), dlg.m_btnOwner.lastCtlID);

    EXPECT_EQ(5, dblClkResult);
    EXPECT_EQ(1, dlg.m_list.doubleClicks);
    EXPECT_EQ(0, dlg.parentListDoubleClicks);
    EXPECT_EQ(1, dlg.m_list.clicks);
    EXPECT_EQ(1, dlg.parentListClicks);

    EXPECT_GE(dlg.itemChanges, 1);
    EXPECT_GE(dlg.nameChanges, 1);
    EXPECT_EQ(1, dlg.comboSelection);
    ASSERT_EQ(1u, dlg.preTranslatedKeys.size());
}

// ------------------------------------------------------------------ nested dialogs

// Records the pre-translated keys of its windows, in the order the walk offers them.
std::vector<CString> g_walk;

class CWalkEdit : public CEdit
{
public:
    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN)
            g_walk.push_back("edit");
        return FALSE;
    }
};

class CHostDlg : public CDialog
{
public:
    CHostDlg() : CDialog(IDD_TEST_HOST) {}
    int handled = 0;
    UINT lastCommand = 0;

    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN)
            g_walk.push_back("host");
        return CDialog::PreTranslateMessage(pMsg);
    }

protected:
    afx_msg void OnHandled()
    {
        ++handled;
        lastCommand = ID_CMD_HANDLED;
    }
    afx_msg void OnUpdateUpdated(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    afx_msg void OnUpdateChecked(CCmdUI* pCmdUI)
    {
        pCmdUI->SetCheck(1);
        pCmdUI->SetText("Now checked");
    }
    afx_msg void OnInitMenuPopup(CMenu* pPopupMenu, UINT nIndex, BOOL bSysMenu)
    {
        CDialog::OnInitMenuPopup(pPopupMenu, nIndex, bSysMenu);
        if (!bSysMenu)
            AfxUpdateMenuCommands(this, pPopupMenu, nullptr, TRUE);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CHostDlg, CDialog)
    ON_COMMAND(ID_CMD_HANDLED, &CHostDlg::OnHandled)
    ON_UPDATE_COMMAND_UI(ID_CMD_UPDATED, &CHostDlg::OnUpdateUpdated)
    ON_UPDATE_COMMAND_UI(ID_CMD_CHECKED, &CHostDlg::OnUpdateChecked)
    ON_WM_INITMENUPOPUP()
END_MESSAGE_MAP()

class CPaneDlg : public CDialog
{
public:
    CPaneDlg() : CDialog(IDD_TEST_PANE) {}
    int buttonClicks = 0;
    int paneCommands = 0;
    CWalkEdit m_edit;

    BOOL PreTranslateMessage(MSG* pMsg) override
    {
        if (pMsg->message == WM_KEYDOWN)
            g_walk.push_back(m_strWalkName);
        return CDialog::PreTranslateMessage(pMsg);
    }
    CString m_strWalkName = "pane";

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CDialog::DoDataExchange(pDX);
        DDX_Control(pDX, IDC_PANE_EDIT, m_edit);
    }
    afx_msg void OnButton() { ++buttonClicks; }
    afx_msg void OnPaneCommand() { ++paneCommands; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CPaneDlg, CDialog)
    ON_BN_CLICKED(IDC_PANE_BUTTON, &CPaneDlg::OnButton)
    ON_COMMAND(ID_CMD_PANE, &CPaneDlg::OnPaneCommand)
END_MESSAGE_MAP()

// A page inside a pane: handles nothing of the commands.
class CPageDlg : public CDialog
{
public:
    CPageDlg() : CDialog(IDD_TEST_PANE) {}
};

TEST_F(DialogTest, ModelessChildDialogLivesInsideItsParent)
{
    CHostDlg host;
    ASSERT_TRUE(host.Create(IDD_TEST_HOST));
    host.ShowWindow(SW_SHOW);
    CPaneDlg pane;
    ASSERT_TRUE(pane.Create(IDD_TEST_PANE, &host));
    EXPECT_EQ(&host, pane.GetParent());
    EXPECT_TRUE(pane.GetStyle() & WS_CHILD);
    pane.MoveWindow(10, 10, 150, 80);
    pane.ShowWindow(SW_SHOW);
    EXPECT_EQ(&pane.m_edit, pane.GetDlgItem(IDC_PANE_EDIT)); // bound by OnInitDialog

    pane.GetDlgItem(IDC_PANE_BUTTON)->SendMessage(BM_CLICK);
    EXPECT_EQ(1, pane.buttonClicks);
    EXPECT_EQ(0, host.handled);

    // The handle map after the parent is destroyed: child objects are detached too.
    HWND hPane = pane.m_hWnd;
    HWND hEdit = pane.m_edit.m_hWnd;
    host.DestroyWindow();
    EXPECT_EQ(nullptr, pane.m_hWnd);
    EXPECT_EQ(nullptr, pane.m_edit.m_hWnd);
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hPane));
    EXPECT_EQ(nullptr, CWnd::FromHandlePermanent(hEdit));
}

TEST_F(DialogTest, UnhandledCommandsTravelFromPageToPaneToHost)
{
    CHostDlg host;
    ASSERT_TRUE(host.Create(IDD_TEST_HOST));
    CPaneDlg pane;
    ASSERT_TRUE(pane.Create(IDD_TEST_PANE, &host));
    CPageDlg page;
    ASSERT_TRUE(page.Create(IDD_TEST_PANE, &pane));

    page.SendMessage(WM_COMMAND, ID_CMD_PANE);
    EXPECT_EQ(1, pane.paneCommands);
    page.SendMessage(WM_COMMAND, ID_CMD_HANDLED);
    EXPECT_EQ(1, host.handled);
    page.SendMessage(WM_COMMAND, ID_CMD_ORPHAN); // nobody: nothing happens
    // A control's notification stays with its own dialog.
    page.GetDlgItem(IDC_PANE_BUTTON)->SendMessage(BM_CLICK);
    EXPECT_EQ(0, pane.buttonClicks);

    // Updates follow the same route.
    struct Case
    {
        UINT id;
        BOOL enabled;
    } cases[] = {{ID_CMD_PANE, TRUE}, {ID_CMD_HANDLED, TRUE}, {ID_CMD_UPDATED, FALSE}, {ID_CMD_ORPHAN, FALSE}};
    for (const Case& c : cases) {
        CButton target;
        ASSERT_TRUE(target.Create("x", WS_CHILD, CRect(0, 0, 10, 10), &host, 999));
        CCmdUI ui;
        ui.m_nID = c.id;
        ui.m_pOther = &target;
        ui.DoUpdate(&page, TRUE);
        EXPECT_EQ(c.enabled, target.IsWindowEnabled()) << c.id;
    }
    host.DestroyWindow();
}

// A page of a sheet: counts the data exchanges that save its controls.
class CCountingPage : public CPropertyPage
{
public:
    CCountingPage() : CPropertyPage(IDD_TEST_PANE, IDS_TEST_TEXT) {}
    int saves = 0;

protected:
    void DoDataExchange(CDataExchange* pDX) override
    {
        CPropertyPage::DoDataExchange(pDX);
        if (pDX->m_bSaveAndValidate)
            ++saves;
    }
};

TEST_F(DialogTest, APropertyPageStaysOpenAndPassesCommandsToItsParent)
{
    CHostDlg host;
    ASSERT_TRUE(host.Create(IDD_TEST_HOST));
    CCountingPage page;
    EXPECT_EQ(CString("Framework test string"), page.m_strCaption);
    ASSERT_TRUE(page.Create(IDD_TEST_PANE, &host));
    EXPECT_TRUE(page.GetStyle() & WS_CHILD);
    page.ShowWindow(SW_SHOW);

    // OK saves the controls and Cancel does nothing: neither ends the page.
    page.SendMessage(WM_COMMAND, IDOK);
    page.SendMessage(WM_COMMAND, IDCANCEL);
    testsupport::PumpMessages();
    EXPECT_TRUE(::IsWindow(page.m_hWnd));
    EXPECT_TRUE(page.GetStyle() & WS_VISIBLE);
    EXPECT_EQ(1, page.saves);

    // A command the page does not handle goes to the sheet it sits in.
    page.SendMessage(WM_COMMAND, ID_CMD_HANDLED);
    EXPECT_EQ(1, host.handled);
    host.DestroyWindow();
    EXPECT_EQ(nullptr, page.m_hWnd);
}

TEST_F(DialogTest, PreTranslationWalksFromTheControlUpToTheTopLevelDialog)
{
    CHostDlg host;
    ASSERT_TRUE(host.Create(IDD_TEST_HOST));
    CPaneDlg pane;
    ASSERT_TRUE(pane.Create(IDD_TEST_PANE, &host));
    g_walk.clear();
    ::PostMessageA(pane.m_edit.m_hWnd, WM_KEYDOWN, 'A', 0);
    testsupport::PumpMessages();
    ASSERT_EQ(3u, g_walk.size());
    EXPECT_EQ(CString("edit"), g_walk[0]);
    EXPECT_EQ(CString("pane"), g_walk[1]);
    EXPECT_EQ(CString("host"), g_walk[2]);
    host.DestroyWindow();
}

TEST_F(DialogTest, UpdateHandlersPrepareAPopupMenuBeforeItShows)
{
    CHostDlg host;
    ASSERT_TRUE(host.Create(IDD_TEST_HOST));
    host.ShowWindow(SW_SHOW);
    host.SetForegroundWindow();
    CMenu menu;
    ASSERT_TRUE(menu.LoadMenu(IDR_TEST_MENU));
    CMenu* pPopup = menu.GetSubMenu(0);
    ASSERT_NE(nullptr, pPopup);

    // The states are read while the menu is open, then the menu is closed.
    UINT updated = 0, handled = 0, orphan = 0, more = 0, checked = 0;
    CString checkedText;
    bool sawMenu = false;
    HMENU hPopup = pPopup->m_hMenu;
    testsupport::AfterDelay(300, [&] {
        sawMenu = true;
        CMenu* p = CMenu::FromHandle(hPopup);
        updated = p->GetMenuState(ID_CMD_UPDATED, MF_BYCOMMAND);
        handled = p->GetMenuState(ID_CMD_HANDLED, MF_BYCOMMAND);
        orphan = p->GetMenuState(ID_CMD_ORPHAN, MF_BYCOMMAND);
        more = p->GetMenuState(4, MF_BYPOSITION);
        checked = p->GetMenuState(ID_CMD_CHECKED, MF_BYCOMMAND);
        p->GetMenuString(ID_CMD_CHECKED, checkedText, MF_BYCOMMAND);
        ::EndMenu();
    });
    CRect rc;
    host.GetWindowRect(&rc);
    pPopup->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, rc.left + 20, rc.top + 40, &host);
    ASSERT_TRUE(sawMenu);

    EXPECT_TRUE(updated & MF_GRAYED);      // its update handler disables it
    EXPECT_FALSE(handled & MF_GRAYED);     // a command handler, no update handler
    EXPECT_TRUE(orphan & MF_GRAYED);       // no handler at all
    EXPECT_TRUE(more & MF_POPUP);
    EXPECT_FALSE(more & MF_GRAYED);        // a sub-menu is never disabled for want of a handler
    EXPECT_TRUE(checked & MF_CHECKED);
    EXPECT_EQ(CString("Now checked"), checkedText);
    host.DestroyWindow();
}

// A target whose update handlers edit the popup they update: each records its command and
// then removes what the case asks for (itself, the item before it, the item after it).
class CMenuEditor : public CCmdTarget
{
public:
    struct Removal
    {
        UINT id;
        int offsets[2]; // positions relative to the updated item; 99: none
    };
    std::vector<Removal> removals;
    std::vector<UINT> visited;

protected:
    afx_msg void OnUpdateItem(CCmdUI* pCmdUI)
    {
        visited.push_back(pCmdUI->m_nID);
        pCmdUI->Enable(TRUE);
        for (const Removal& r : removals) {
            if (r.id != pCmdUI->m_nID)
                continue;
            for (int offset : r.offsets) { // the later position first, so the other stays put
                if (offset != 99)
                    pCmdUI->m_pMenu->DeleteMenu(pCmdUI->m_nIndex + offset, MF_BYPOSITION);
            }
        }
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(CMenuEditor, CCmdTarget)
    ON_UPDATE_COMMAND_UI_RANGE(501, 599, &CMenuEditor::OnUpdateItem)
END_MESSAGE_MAP()

TEST(MenuUpdate, HandlersThatRemoveItemsNeitherSkipNorRepeatTheOthers)
{
    // Every case starts from: 501 502 503 separator 504 700 505, where 700 has no handler.
    struct Case
    {
        const char* name;
        std::vector<CMenuEditor::Removal> removals;
        std::vector<UINT> visited;
        std::vector<UINT> left; // the commands left in the popup (0: the separator)
    };
    const Case cases[] = {
        {"nothing removed", {}, {501, 502, 503, 504, 505}, {501, 502, 503, 0, 504, 700, 505}},
        {"an item removes itself", {{502, {0, 99}}}, {501, 502, 503, 504, 505}, {501, 503, 0, 504, 700, 505}},
        {"an item removes itself and the one before", {{503, {0, -1}}}, {501, 502, 503, 504, 505},
         {501, 0, 504, 700, 505}},
        {"an item removes the one after", {{502, {1, 99}}}, {501, 502, 504, 505}, {501, 502, 0, 504, 700, 505}},
        {"the last item removes itself", {{505, {0, 99}}}, {501, 502, 503, 504, 505}, {501, 502, 503, 0, 504, 700}},
        {"every item removes itself",
         {{501, {0, 99}}, {502, {0, 99}}, {503, {0, 99}}, {504, {0, 99}}, {505, {0, 99}}},
         {501, 502, 503, 504, 505}, {0, 700}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CMenu popup;
        ASSERT_TRUE(popup.CreatePopupMenu());
        for (UINT id : {501u, 502u, 503u, 0u, 504u, 700u, 505u})
            popup.AppendMenu(id ? MF_STRING : MF_SEPARATOR, id, id ? "item" : nullptr);
        CMenuEditor target;
        target.removals = c.removals;
        AfxUpdateMenuCommands(&target, &popup, nullptr, TRUE);

        EXPECT_EQ(target.visited, c.visited);
        std::vector<UINT> left;
        for (int i = 0; i < popup.GetMenuItemCount(); ++i)
            left.push_back(popup.GetMenuItemID(i));
        EXPECT_EQ(left, c.left);
        // Greying lands on the item without a handler, never on a neighbour of a removed one.
        for (UINT id : left) {
            if (id != 0) {
                EXPECT_EQ(id == 700, (popup.GetMenuState(id, MF_BYCOMMAND) & MF_GRAYED) != 0) << id;
            }
        }
    }
}

// Owner-drawn menu items are measured and drawn by the menu's own object.
class COwnerMenu : public CMenu
{
public:
    int measured = 0;
    int drawn = 0;
    void MeasureItem(LPMEASUREITEMSTRUCT lpMIS) override
    {
        ++measured;
        lpMIS->itemWidth = 80;
        lpMIS->itemHeight = 18;
    }
    void DrawItem(LPDRAWITEMSTRUCT lpDIS) override
    {
        ++drawn;
        CDC::FromHandle(lpDIS->hDC)->FillSolidRect(&lpDIS->rcItem, RGB(236, 233, 216));
    }
};

TEST_F(DialogTest, OwnerDrawnMenuItemsReachTheMenuObject)
{
    CHostDlg host;
    ASSERT_TRUE(host.Create(IDD_TEST_HOST));
    host.ShowWindow(SW_SHOW);
    host.SetForegroundWindow();
    COwnerMenu menu;
    ASSERT_TRUE(menu.CreatePopupMenu());
    menu.AppendMenu(MF_OWNERDRAW, ID_CMD_HANDLED, reinterpret_cast<const char*>(1));
    menu.AppendMenu(MF_OWNERDRAW, ID_CMD_ORPHAN, reinterpret_cast<const char*>(2));
    testsupport::AfterDelay(300, [] { ::EndMenu(); });
    CRect rc;
    host.GetWindowRect(&rc);
    menu.TrackPopupMenu(TPM_LEFTALIGN, rc.left + 20, rc.top + 40, &host);
    EXPECT_EQ(2, menu.measured);
    EXPECT_GE(menu.drawn, 2);
    host.DestroyWindow();
}

// Calls act(hDialog) once a file dialog of this thread shows, polling from the dialog's
// own message loop; gives up after about ten seconds.
void WhenFileDialogShows(std::function<void(HWND)> act, int triesLeft = 100)
{
    testsupport::AfterDelay(100, [act, triesLeft] {
        HWND h = FindMessageBox(nullptr);
        if (h)
            act(h);
        else if (triesLeft > 0)
            WhenFileDialogShows(act, triesLeft - 1);
    });
}

TEST_F(DialogTest, FileDialogFilterAndChosenPath)
{
    testsupport::TempDir dir;
    CFileDialog save(FALSE, "qvx", "session.qvx", OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                     "Zentrova files (*.qvx)|*.qvx|All Files(*.*)|*.*||");
    // The filter as the system reads it: pairs of terminated texts, ended by an empty one.
    const char* f = save.m_ofn.lpstrFilter;
    ASSERT_NE(nullptr, f);
    const char* expected[] = {"Zentrova files (*.qvx)", "*.qvx", "All Files(*.*)", "*.*", ""};
    for (const char* e : expected) {
        EXPECT_STREQ(e, f);
        f += std::strlen(f) + 1;
    }

    CString chosen = dir.File("exported");
    bool shown = false;
    WhenFileDialogShows([&](HWND hDlg) {
        shown = true;
        testsupport::ChooseInFileDialog(hDlg, chosen);
    });
    INT_PTR result = save.DoModal();
    ASSERT_TRUE(shown);
    ASSERT_EQ(IDOK, result);
    EXPECT_EQ(0, save.GetPathName().CompareNoCase(chosen + ".qvx")); // the default extension
    EXPECT_EQ(CString("exported.qvx"), save.GetFileName());
    EXPECT_EQ(CString("qvx"), save.GetFileExt());
    EXPECT_EQ(CString("exported"), save.GetFileTitle());

    CFileDialog open(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_FILEMUSTEXIST, "All Files (*.*)|*.*||");
    WhenFileDialogShows([](HWND hDlg) { ::PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0); });
    EXPECT_EQ(IDCANCEL, open.DoModal());
}

TEST_F(DialogTest, ScreenshotOfTheTestForm)
{
    const char* build = std::getenv("ZENTROVA_BUILD");
    CFormDlg dlg;
    ASSERT_TRUE(dlg.Create(IDD_TEST_FORM));
    dlg.m_list.SetItemText(0, 0, "US7654321");
    HTREEITEM hRoot = dlg.m_tree.InsertItem("NEW DOWNLOADS");
    dlg.m_tree.InsertItem("Sample folder", hRoot);
    dlg.m_tree.Expand(hRoot, TVE_EXPAND);
    dlg.m_combo.SetCurSel(0);
    dlg.m_progress.SetRange32(0, 100);
    dlg.m_progress.SetPos(60);
    dlg.SetWindowPos(&CWnd::wndTop, 40, 40, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
    testsupport::PumpMessages(300);
    CString why;
    CString path = CString(build ? build : "/tmp") + "/screenshots/framework-test-form.png";
    bool saved = testsupport::SaveScreenshot(path, &why);
    dlg.DestroyWindow();
    if (!saved)
        GTEST_SKIP() << "no screenshot: " << why.GetString();
    std::printf("screenshot: %s\n", path.GetString());
}

} // namespace
