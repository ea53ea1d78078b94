// Message maps: the tables through which windows, dialogs and threads hand messages,
// commands and notifications to member functions.
//
// A class declares its table with DECLARE_MESSAGE_MAP() and fills it between
// BEGIN_MESSAGE_MAP(theClass, baseClass) and END_MESSAGE_MAP(). Lookups walk from the
// class's own table to its base class's, so a derived class's entry wins. Each ON_ entry
// checks the handler's signature at compile time.
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>

class CCmdTarget;
class CCmdUI;
class CDC;
class CMenu;
class CScrollBar;
class CWnd;
class CPoint;

#define afx_msg

// Command codes beside the control notification codes.
#define CN_COMMAND 0
#define CN_UPDATE_COMMAND_UI ((UINT)(-1))

// Table keys of reflected messages: a notification that a parent hands back to the
// control that sent it is looked up in the control's table under this base plus the
// message. Window messages, private (WM_USER, WM_APP) and registered ones included, stay
// below 0x10000, so no entry for a message the window receives can take a reflected key.
#define REFLECT_KEY_BASE 0x00010000u
// One table key for all seven WM_CTLCOLOR... messages.
#define AFX_WM_CTLCOLOR 0x0019
// Table key of entries for registered messages (their number is read at lookup).
#define AFX_WM_REGISTERED 0xC000

// The handler of an entry, stored in one common type and cast back by its signature.
typedef void (CCmdTarget::*AFX_PMSG)();

// Handler signatures; the dispatcher cracks WPARAM and LPARAM by these.
enum AfxSig : int
{
    AfxSig_end = 0,
    // commands and notifications
    AfxSig_cmd_v,          // void ()
    AfxSig_cmd_b,          // BOOL ()            reflected command, _EX form
    AfxSig_cmd_range,      // void (UINT)
    AfxSig_cmd_ui,         // void (CCmdUI*)
    AfxSig_notify,         // void (NMHDR*, LRESULT*)
    AfxSig_notify_b,       // BOOL (NMHDR*, LRESULT*)   reflected notification, _EX form
    AfxSig_notify_range,   // void (UINT, NMHDR*, LRESULT*)
    // messages
    AfxSig_l_w_l,          // LRESULT (WPARAM, LPARAM)
    AfxSig_v_w_l,          // void (WPARAM, LPARAM)     thread messages
    AfxSig_v_v,            // void ()
    AfxSig_i_create,       // int (LPCREATESTRUCT)
    AfxSig_b_create,       // BOOL (LPCREATESTRUCT)
    AfxSig_b_dc,           // BOOL (CDC*)
    AfxSig_v_u_i_i,        // void (UINT, int, int)
    AfxSig_v_i_i,          // void (int, int)
    AfxSig_v_timer,        // void (UINT_PTR)
    AfxSig_v_u_pt,         // void (UINT, CPoint)
    AfxSig_l_pt,           // LRESULT (CPoint)
    AfxSig_v_b_calc,       // void (BOOL, NCCALCSIZE_PARAMS*)
    AfxSig_b_wnd_u_u,      // BOOL (CWnd*, UINT, UINT)
    AfxSig_v_b_u,          // void (BOOL, UINT)
    AfxSig_v_u_u_bar,      // void (UINT, UINT, CScrollBar*)
    AfxSig_v_u_u_u,        // void (UINT, UINT, UINT)
    AfxSig_v_wnd,          // void (CWnd*)
    AfxSig_h_dc_wnd_u,     // HBRUSH (CDC*, CWnd*, UINT)
    AfxSig_h_dc_u,         // HBRUSH (CDC*, UINT)       reflected WM_CTLCOLOR
    AfxSig_v_i_draw,       // void (int, LPDRAWITEMSTRUCT)
    AfxSig_v_i_measure,    // void (int, LPMEASUREITEMSTRUCT)
    AfxSig_v_draw,         // void (LPDRAWITEMSTRUCT)    reflected WM_DRAWITEM
    AfxSig_v_measure,      // void (LPMEASUREITEMSTRUCT) reflected WM_MEASUREITEM
    AfxSig_v_u_l,          // void (UINT, LPARAM)
    AfxSig_hcur_v,         // HCURSOR ()
    AfxSig_v_menu_u_b,     // void (CMenu*, UINT, BOOL)
    AfxSig_l_u_u_menu,     // LRESULT (UINT, UINT, CMenu*)
    AfxSig_v_b,            // void (BOOL)
    AfxSig_v_pos,          // void (WINDOWPOS*)
    AfxSig_u_v,            // UINT ()
    AfxSig_v_drop,         // void (HDROP)
    AfxSig_v_wnd_pt,       // void (CWnd*, CPoint)
};

struct MessageMapEntry
{
    UINT nMessage;           // window message, WM_COMMAND, WM_NOTIFY, or a reflected key
    UINT nCode;              // control notification or command code
    UINT nID;                // first control or command id
    UINT nLastID;            // last id of a range (nID for single entries)
    AfxSig nSig;
    const UINT* pnRegistered; // for ON_REGISTERED_MESSAGE: where the message number is
    AFX_PMSG pfn;
};

struct MessageMap
{
    const MessageMap* (*pfnGetBaseMap)();
    const MessageMapEntry* lpEntries;
};

// Used by a CCmdUI to ask whether a command has a handler, without running it.
struct AFX_CMDHANDLERINFO
{
    CCmdTarget* pTarget;
    AFX_PMSG pmf;
};

// What OnCmdMsg carries for a WM_NOTIFY entry.
struct AFX_NOTIFY
{
    LRESULT* pResult;
    NMHDR* pNMHDR;
};

#define DECLARE_MESSAGE_MAP()                                                                 \
protected:                                                                                    \
    static const MessageMap* GetThisMessageMap();                                             \
    const MessageMap* GetMessageMap() const override;

#define BEGIN_MESSAGE_MAP(theClass, baseClass)                                                \
    const MessageMap* theClass::GetMessageMap() const { return GetThisMessageMap(); }         \
    const MessageMap* theClass::GetThisMessageMap()                                           \
    {                                                                                         \
        typedef theClass ThisClass;                                                           \
        typedef baseClass TheBaseClass;                                                       \
        static_cast<void>(static_cast<ThisClass*>(nullptr));                                  \
        static const MessageMapEntry s_entries[] = {

// For class templates: BEGIN_TEMPLATE_MESSAGE_MAP(CNewFrame, T, T).
#define BEGIN_TEMPLATE_MESSAGE_MAP(theClass, type_name, baseClass)                            \
    template <typename type_name>                                                             \
    const MessageMap* theClass<type_name>::GetMessageMap() const                              \
    {                                                                                         \
        return GetThisMessageMap();                                                           \
    }                                                                                         \
    template <typename type_name>                                                             \
    const MessageMap* theClass<type_name>::GetThisMessageMap()                                \
    {                                                                                         \
        typedef theClass<type_name> ThisClass;                                                \
        typedef baseClass TheBaseClass;                                                       \
        static_cast<void>(static_cast<ThisClass*>(nullptr));                                  \
        static const MessageMapEntry s_entries[] = {

#define END_MESSAGE_MAP()                                                                     \
            {0, 0, 0, 0, AfxSig_end, nullptr, nullptr}};                                      \
        static const MessageMap s_map = {&TheBaseClass::GetThisMessageMap, s_entries};        \
        return &s_map;                                                                        \
    }

// Handler function types, one per signature.
namespace afxsig {
typedef void v();
typedef void v_v();
typedef BOOL b();
typedef void u(UINT);
typedef void cmdui(CCmdUI*);
typedef void notify(NMHDR*, LRESULT*);
typedef BOOL notify_b(NMHDR*, LRESULT*);
typedef void notify_range(UINT, NMHDR*, LRESULT*);
typedef LRESULT l_w_l(WPARAM, LPARAM);
typedef void v_w_l(WPARAM, LPARAM);
typedef int i_create(LPCREATESTRUCT);
typedef BOOL b_create(LPCREATESTRUCT);
typedef BOOL b_dc(CDC*);
typedef void v_u_i_i(UINT, int, int);
typedef void v_i_i(int, int);
typedef void v_timer(UINT_PTR);
typedef void v_u_pt(UINT, CPoint);
typedef LRESULT l_pt(CPoint);
typedef void v_b_calc(BOOL, NCCALCSIZE_PARAMS*);
typedef BOOL b_wnd_u_u(CWnd*, UINT, UINT);
typedef void v_b_u(BOOL, UINT);
typedef void v_u_u_bar(UINT, UINT, CScrollBar*);
typedef void v_u_u_u(UINT, UINT, UINT);
typedef void v_wnd(CWnd*);
typedef HBRUSH h_dc_wnd_u(CDC*, CWnd*, UINT);
typedef HBRUSH h_dc_u(CDC*, UINT);
typedef void v_i_draw(int, LPDRAWITEMSTRUCT);
typedef void v_i_measure(int, LPMEASUREITEMSTRUCT);
typedef void v_draw(LPDRAWITEMSTRUCT);
typedef void v_measure(LPMEASUREITEMSTRUCT);
typedef void v_u_l(UINT, LPARAM);
typedef HCURSOR hcur_v();
typedef void v_menu_u_b(CMenu*, UINT, BOOL);
typedef LRESULT l_u_u_menu(UINT, UINT, CMenu*);
typedef void v_b(BOOL);
typedef void v_pos(WINDOWPOS*);
typedef UINT u_v();
typedef void v_drop(HDROP);
typedef void v_wnd_pt(CWnd*, CPoint);
} // namespace afxsig

// Handlers are stored in one type and cast back to their own by the dispatcher; the
// casts between member function types are the point of these two functions.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wcast-function-type"
template <class SIG>
inline SIG CCmdTarget::*AfxCastHandler(AFX_PMSG pfn)
{
    return reinterpret_cast<SIG CCmdTarget::*>(pfn);
}

template <class SIG, class T>
inline AFX_PMSG AfxMakeHandler(SIG T::*pfn)
{
    return reinterpret_cast<AFX_PMSG>(static_cast<SIG CCmdTarget::*>(pfn));
}
#pragma GCC diagnostic pop

// The handler as the common type, after checking that it has the signature's type.
// Handlers are named with their class: ON_COMMAND(IDOK, &CMyDialog::OnOK).
#define AFX_FN(sig, fn) AfxMakeHandler<afxsig::sig, ThisClass>(fn)

#define AFX_MSG_ENTRY(msg, sig, fn) {msg, 0, 0, 0, AfxSig_##sig, nullptr, AFX_FN(sig, fn)},

// ---------------------------------------------------------------- commands
#define ON_COMMAND(id, fn) {WM_COMMAND, CN_COMMAND, (UINT)(id), (UINT)(id), AfxSig_cmd_v, nullptr, AFX_FN(v, fn)},
#define ON_COMMAND_RANGE(idFirst, idLast, fn)                                                 \
    {WM_COMMAND, CN_COMMAND, (UINT)(idFirst), (UINT)(idLast), AfxSig_cmd_range, nullptr, AFX_FN(u, fn)},
#define ON_UPDATE_COMMAND_UI(id, fn)                                                          \
    {WM_COMMAND, CN_UPDATE_COMMAND_UI, (UINT)(id), (UINT)(id), AfxSig_cmd_ui, nullptr, AFX_FN(cmdui, fn)},
#define ON_UPDATE_COMMAND_UI_RANGE(idFirst, idLast, fn)                                       \
    {WM_COMMAND, CN_UPDATE_COMMAND_UI, (UINT)(idFirst), (UINT)(idLast), AfxSig_cmd_ui, nullptr, AFX_FN(cmdui, fn)},
#define ON_CONTROL(code, id, fn) {WM_COMMAND, (UINT)(code), (UINT)(id), (UINT)(id), AfxSig_cmd_v, nullptr, AFX_FN(v, fn)},
#define ON_CONTROL_RANGE(code, idFirst, idLast, fn)                                           \
    {WM_COMMAND, (UINT)(code), (UINT)(idFirst), (UINT)(idLast), AfxSig_cmd_range, nullptr, AFX_FN(u, fn)},

#define ON_BN_CLICKED(id, fn) ON_CONTROL(BN_CLICKED, id, fn)
#define ON_BN_DOUBLECLICKED(id, fn) ON_CONTROL(BN_DOUBLECLICKED, id, fn)
#define ON_EN_CHANGE(id, fn) ON_CONTROL(EN_CHANGE, id, fn)
#define ON_EN_KILLFOCUS(id, fn) ON_CONTROL(EN_KILLFOCUS, id, fn)
#define ON_EN_SETFOCUS(id, fn) ON_CONTROL(EN_SETFOCUS, id, fn)
#define ON_CBN_SELCHANGE(id, fn) ON_CONTROL(CBN_SELCHANGE, id, fn)
#define ON_CBN_EDITCHANGE(id, fn) ON_CONTROL(CBN_EDITCHANGE, id, fn)
#define ON_CBN_DROPDOWN(id, fn) ON_CONTROL(CBN_DROPDOWN, id, fn)
#define ON_CBN_CLOSEUP(id, fn) ON_CONTROL(CBN_CLOSEUP, id, fn)
#define ON_LBN_SELCHANGE(id, fn) ON_CONTROL(LBN_SELCHANGE, id, fn)
#define ON_LBN_DBLCLK(id, fn) ON_CONTROL(LBN_DBLCLK, id, fn)
#define ON_STN_CLICKED(id, fn) ON_CONTROL(STN_CLICKED, id, fn)

#define ON_NOTIFY(code, id, fn)                                                               \
    {WM_NOTIFY, (UINT)(WORD)(code), (UINT)(id), (UINT)(id), AfxSig_notify, nullptr, AFX_FN(notify, fn)},
#define ON_NOTIFY_RANGE(code, idFirst, idLast, fn)                                            \
    {WM_NOTIFY, (UINT)(WORD)(code), (UINT)(idFirst), (UINT)(idLast), AfxSig_notify_range, nullptr,   \
     AFX_FN(notify_range, fn)},

// Reflected notifications, handled by the control that sent them. The plain forms consume
// the notification; with _EX the handler answers whether the parent still sees it (FALSE).
#define ON_NOTIFY_REFLECT(code, fn)                                                           \
    {REFLECT_KEY_BASE + WM_NOTIFY, (UINT)(WORD)(code), 0, 0, AfxSig_notify, nullptr, AFX_FN(notify, fn)},
#define ON_NOTIFY_REFLECT_EX(code, fn)                                                        \
    {REFLECT_KEY_BASE + WM_NOTIFY, (UINT)(WORD)(code), 0, 0, AfxSig_notify_b, nullptr, AFX_FN(notify_b, fn)},
#define ON_CONTROL_REFLECT(code, fn)                                                          \
    {REFLECT_KEY_BASE + WM_COMMAND, (UINT)(code), 0, 0, AfxSig_cmd_v, nullptr, AFX_FN(v, fn)},
#define ON_CONTROL_REFLECT_EX(code, fn)                                                       \
    {REFLECT_KEY_BASE + WM_COMMAND, (UINT)(code), 0, 0, AfxSig_cmd_b, nullptr, AFX_FN(b, fn)},
#define ON_WM_CTLCOLOR_REFLECT()                                                              \
    {REFLECT_KEY_BASE + AFX_WM_CTLCOLOR, 0, 0, 0, AfxSig_h_dc_u, nullptr, AFX_FN(h_dc_u, &ThisClass::CtlColor)},
#define ON_WM_DRAWITEM_REFLECT()                                                              \
    {REFLECT_KEY_BASE + WM_DRAWITEM, 0, 0, 0, AfxSig_v_draw, nullptr, AFX_FN(v_draw, &ThisClass::DrawItem)},
#define ON_WM_MEASUREITEM_REFLECT()                                                           \
    {REFLECT_KEY_BASE + WM_MEASUREITEM, 0, 0, 0, AfxSig_v_measure, nullptr,                     \
     AFX_FN(v_measure, &ThisClass::MeasureItem)},

// ---------------------------------------------------------------- messages
#define ON_MESSAGE(message, fn) {(UINT)(message), 0, 0, 0, AfxSig_l_w_l, nullptr, AFX_FN(l_w_l, fn)},
#define ON_REGISTERED_MESSAGE(nMessageVariable, fn)                                           \
    {AFX_WM_REGISTERED, 0, 0, 0, AfxSig_l_w_l, &(nMessageVariable), AFX_FN(l_w_l, fn)},
#define ON_THREAD_MESSAGE(message, fn) {(UINT)(message), 0, 0, 0, AfxSig_v_w_l, nullptr, AFX_FN(v_w_l, fn)},
#define ON_REGISTERED_THREAD_MESSAGE(nMessageVariable, fn)                                    \
    {AFX_WM_REGISTERED, 0, 0, 0, AfxSig_v_w_l, &(nMessageVariable), AFX_FN(v_w_l, fn)},

#define ON_WM_CREATE() AFX_MSG_ENTRY(WM_CREATE, i_create, &ThisClass::OnCreate)
#define ON_WM_NCCREATE() AFX_MSG_ENTRY(WM_NCCREATE, b_create, &ThisClass::OnNcCreate)
#define ON_WM_DESTROY() AFX_MSG_ENTRY(WM_DESTROY, v_v, &ThisClass::OnDestroy)
#define ON_WM_NCDESTROY() AFX_MSG_ENTRY(WM_NCDESTROY, v_v, &ThisClass::OnNcDestroy)
#define ON_WM_CLOSE() AFX_MSG_ENTRY(WM_CLOSE, v_v, &ThisClass::OnClose)
#define ON_WM_PAINT() AFX_MSG_ENTRY(WM_PAINT, v_v, &ThisClass::OnPaint)
#define ON_WM_NCPAINT() AFX_MSG_ENTRY(WM_NCPAINT, v_v, &ThisClass::OnNcPaint)
#define ON_WM_ERASEBKGND() AFX_MSG_ENTRY(WM_ERASEBKGND, b_dc, &ThisClass::OnEraseBkgnd)
#define ON_WM_SIZE() AFX_MSG_ENTRY(WM_SIZE, v_u_i_i, &ThisClass::OnSize)
#define ON_WM_MOVE() AFX_MSG_ENTRY(WM_MOVE, v_i_i, &ThisClass::OnMove)
#define ON_WM_TIMER() AFX_MSG_ENTRY(WM_TIMER, v_timer, &ThisClass::OnTimer)
#define ON_WM_LBUTTONDOWN() AFX_MSG_ENTRY(WM_LBUTTONDOWN, v_u_pt, &ThisClass::OnLButtonDown)
#define ON_WM_LBUTTONUP() AFX_MSG_ENTRY(WM_LBUTTONUP, v_u_pt, &ThisClass::OnLButtonUp)
#define ON_WM_LBUTTONDBLCLK() AFX_MSG_ENTRY(WM_LBUTTONDBLCLK, v_u_pt, &ThisClass::OnLButtonDblClk)
#define ON_WM_RBUTTONDOWN() AFX_MSG_ENTRY(WM_RBUTTONDOWN, v_u_pt, &ThisClass::OnRButtonDown)
#define ON_WM_RBUTTONUP() AFX_MSG_ENTRY(WM_RBUTTONUP, v_u_pt, &ThisClass::OnRButtonUp)
#define ON_WM_RBUTTONDBLCLK() AFX_MSG_ENTRY(WM_RBUTTONDBLCLK, v_u_pt, &ThisClass::OnRButtonDblClk)
#define ON_WM_MBUTTONDOWN() AFX_MSG_ENTRY(WM_MBUTTONDOWN, v_u_pt, &ThisClass::OnMButtonDown)
#define ON_WM_MBUTTONUP() AFX_MSG_ENTRY(WM_MBUTTONUP, v_u_pt, &ThisClass::OnMButtonUp)
#define ON_WM_MOUSEMOVE() AFX_MSG_ENTRY(WM_MOUSEMOVE, v_u_pt, &ThisClass::OnMouseMove)
#define ON_WM_MOUSEHOVER() AFX_MSG_ENTRY(WM_MOUSEHOVER, v_u_pt, &ThisClass::OnMouseHover)
#define ON_WM_MOUSELEAVE() AFX_MSG_ENTRY(WM_MOUSELEAVE, v_v, &ThisClass::OnMouseLeave)
#define ON_WM_NCLBUTTONDOWN() AFX_MSG_ENTRY(WM_NCLBUTTONDOWN, v_u_pt, &ThisClass::OnNcLButtonDown)
#define ON_WM_NCLBUTTONUP() AFX_MSG_ENTRY(WM_NCLBUTTONUP, v_u_pt, &ThisClass::OnNcLButtonUp)
#define ON_WM_NCLBUTTONDBLCLK() AFX_MSG_ENTRY(WM_NCLBUTTONDBLCLK, v_u_pt, &ThisClass::OnNcLButtonDblClk)
#define ON_WM_NCRBUTTONDOWN() AFX_MSG_ENTRY(WM_NCRBUTTONDOWN, v_u_pt, &ThisClass::OnNcRButtonDown)
#define ON_WM_NCRBUTTONUP() AFX_MSG_ENTRY(WM_NCRBUTTONUP, v_u_pt, &ThisClass::OnNcRButtonUp)
#define ON_WM_NCMBUTTONDOWN() AFX_MSG_ENTRY(WM_NCMBUTTONDOWN, v_u_pt, &ThisClass::OnNcMButtonDown)
#define ON_WM_NCMBUTTONUP() AFX_MSG_ENTRY(WM_NCMBUTTONUP, v_u_pt, &ThisClass::OnNcMButtonUp)
#define ON_WM_NCMOUSEMOVE() AFX_MSG_ENTRY(WM_NCMOUSEMOVE, v_u_pt, &ThisClass::OnNcMouseMove)
#define ON_WM_NCHITTEST() AFX_MSG_ENTRY(WM_NCHITTEST, l_pt, &ThisClass::OnNcHitTest)
#define ON_WM_NCCALCSIZE() AFX_MSG_ENTRY(WM_NCCALCSIZE, v_b_calc, &ThisClass::OnNcCalcSize)
#define ON_WM_SETCURSOR() AFX_MSG_ENTRY(WM_SETCURSOR, b_wnd_u_u, &ThisClass::OnSetCursor)
#define ON_WM_SHOWWINDOW() AFX_MSG_ENTRY(WM_SHOWWINDOW, v_b_u, &ThisClass::OnShowWindow)
#define ON_WM_VSCROLL() AFX_MSG_ENTRY(WM_VSCROLL, v_u_u_bar, &ThisClass::OnVScroll)
#define ON_WM_HSCROLL() AFX_MSG_ENTRY(WM_HSCROLL, v_u_u_bar, &ThisClass::OnHScroll)
#define ON_WM_KEYDOWN() AFX_MSG_ENTRY(WM_KEYDOWN, v_u_u_u, &ThisClass::OnKeyDown)
#define ON_WM_KEYUP() AFX_MSG_ENTRY(WM_KEYUP, v_u_u_u, &ThisClass::OnKeyUp)
#define ON_WM_CHAR() AFX_MSG_ENTRY(WM_CHAR, v_u_u_u, &ThisClass::OnChar)
#define ON_WM_SETFOCUS() AFX_MSG_ENTRY(WM_SETFOCUS, v_wnd, &ThisClass::OnSetFocus)
#define ON_WM_KILLFOCUS() AFX_MSG_ENTRY(WM_KILLFOCUS, v_wnd, &ThisClass::OnKillFocus)
#define ON_WM_CTLCOLOR() AFX_MSG_ENTRY(AFX_WM_CTLCOLOR, h_dc_wnd_u, &ThisClass::OnCtlColor)
#define ON_WM_DRAWITEM() AFX_MSG_ENTRY(WM_DRAWITEM, v_i_draw, &ThisClass::OnDrawItem)
#define ON_WM_MEASUREITEM() AFX_MSG_ENTRY(WM_MEASUREITEM, v_i_measure, &ThisClass::OnMeasureItem)
#define ON_WM_SYSCOMMAND() AFX_MSG_ENTRY(WM_SYSCOMMAND, v_u_l, &ThisClass::OnSysCommand)
#define ON_WM_QUERYDRAGICON() AFX_MSG_ENTRY(WM_QUERYDRAGICON, hcur_v, &ThisClass::OnQueryDragIcon)
#define ON_WM_INITMENUPOPUP() AFX_MSG_ENTRY(WM_INITMENUPOPUP, v_menu_u_b, &ThisClass::OnInitMenuPopup)
#define ON_WM_MENUCHAR() AFX_MSG_ENTRY(WM_MENUCHAR, l_u_u_menu, &ThisClass::OnMenuChar)
#define ON_WM_ENTERMENULOOP() AFX_MSG_ENTRY(WM_ENTERMENULOOP, v_b, &ThisClass::OnEnterMenuLoop)
#define ON_WM_EXITMENULOOP() AFX_MSG_ENTRY(WM_EXITMENULOOP, v_b, &ThisClass::OnExitMenuLoop)
#define ON_WM_WINDOWPOSCHANGING() AFX_MSG_ENTRY(WM_WINDOWPOSCHANGING, v_pos, &ThisClass::OnWindowPosChanging)
#define ON_WM_WINDOWPOSCHANGED() AFX_MSG_ENTRY(WM_WINDOWPOSCHANGED, v_pos, &ThisClass::OnWindowPosChanged)
#define ON_WM_GETDLGCODE() AFX_MSG_ENTRY(WM_GETDLGCODE, u_v, &ThisClass::OnGetDlgCode)
#define ON_WM_DROPFILES() AFX_MSG_ENTRY(WM_DROPFILES, v_drop, &ThisClass::OnDropFiles)
#define ON_WM_SYSCOLORCHANGE() AFX_MSG_ENTRY(WM_SYSCOLORCHANGE, v_v, &ThisClass::OnSysColorChange)
#define ON_WM_CONTEXTMENU() AFX_MSG_ENTRY(WM_CONTEXTMENU, v_wnd_pt, &ThisClass::OnContextMenu)
#define ON_WM_CAPTURECHANGED() AFX_MSG_ENTRY(WM_CAPTURECHANGED, v_wnd, &ThisClass::OnCaptureChanged)
