#include "Menu.h"

#include "HandleMap.h"
#include "ThreadState.h"
#include "WinApp.h"
#include "Wnd.h"

IMPLEMENT_DYNCREATE(CMenu, CObject)

namespace {

CPermanentHandleMap<HMENU, CMenu>& PermanentMap()
{
    static auto* map = new CPermanentHandleMap<HMENU, CMenu>;
    return *map;
}

} // namespace

CMenu::~CMenu()
{
    if (m_hMenu && FromHandlePermanent(m_hMenu) == this)
        DestroyMenu();
}

CMenu* CMenu::FromHandlePermanent(HMENU hMenu)
{
    return hMenu ? PermanentMap().Find(hMenu) : nullptr;
}

CMenu* CMenu::FromHandle(HMENU hMenu)
{
    if (!hMenu)
        return nullptr;
    if (CMenu* p = FromHandlePermanent(hMenu))
        return p;
    AfxThreadState* s = AfxGetThreadState();
    CMenu* p = s->tempMenu.Find(hMenu);
    if (!p) {
        p = new CMenu;
        p->m_hMenu = hMenu;
        s->tempMenu.Add(hMenu, p);
    }
    return p;
}

BOOL CMenu::Attach(HMENU hMenu)
{
    if (!hMenu || m_hMenu || FromHandlePermanent(hMenu))
        return FALSE;
    PermanentMap().Add(hMenu, this);
    m_hMenu = hMenu;
    return TRUE;
}

HMENU CMenu::Detach()
{
    HMENU h = m_hMenu;
    if (h)
        PermanentMap().Remove(h, this);
    m_hMenu = nullptr;
    return h;
}

BOOL CMenu::LoadMenu(UINT nIDResource)
{
    return Attach(::LoadMenuA(AfxGetResourceHandle(), MAKEINTRESOURCEA(nIDResource)));
}

BOOL CMenu::LoadMenu(const char* lpszResourceName)
{
    return Attach(::LoadMenuA(AfxGetResourceHandle(), lpszResourceName));
}

BOOL CMenu::DestroyMenu()
{
    if (!m_hMenu)
        return FALSE;
    return ::DestroyMenu(Detach());
}

int CMenu::GetMenuString(UINT nIDItem, CString& rString, UINT nFlags) const
{
    int n = ::GetMenuStringA(m_hMenu, nIDItem, nullptr, 0, nFlags);
    if (n <= 0) {
        rString.Empty();
        return 0;
    }
    char* buf = rString.GetBuffer(n + 1);
    n = ::GetMenuStringA(m_hMenu, nIDItem, buf, n + 1, nFlags);
    rString.ReleaseBuffer(n > 0 ? n : 0);
    return rString.GetLength();
}

BOOL CMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpRect)
{
    AfxThreadState* s = AfxGetThreadState();
    HMENU saved = s->hTrackingMenu;
    s->hTrackingMenu = m_hMenu;
    BOOL result = ::TrackPopupMenu(m_hMenu, nFlags, x, y, 0, AfxHwndOf(pWnd), lpRect);
    s->hTrackingMenu = saved;
    return result;
}

void CMenu::DrawItem(LPDRAWITEMSTRUCT /*lpDrawItemStruct*/)
{
}

void CMenu::MeasureItem(LPMEASUREITEMSTRUCT /*lpMeasureItemStruct*/)
{
}
