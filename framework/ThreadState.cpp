#include "ThreadState.h"

#include "DC.h"
#include "GdiObject.h"
#include "ImageList.h"
#include "Menu.h"
#include "SocketState.h"
#include "Wnd.h"

namespace {

// A trivially destructible thread-local pointer: the state itself lives on the heap.
thread_local AfxThreadState* t_state = nullptr;

void DeleteTemps(AfxThreadState* s)
{
    s->tempWnd.DeleteAll([](CWnd* p) { p->m_hWnd = nullptr; });
    s->tempMenu.DeleteAll([](CMenu* p) { p->m_hMenu = nullptr; });
    s->tempDC.DeleteAll([](CDC* p) { p->m_hDC = nullptr; p->m_hAttribDC = nullptr; });
    s->tempGdi.DeleteAll([](CGdiObject* p) { p->m_hObject = nullptr; });
    s->tempImageList.DeleteAll([](CImageList* p) { p->m_hImageList = nullptr; });
}

} // namespace

AfxThreadState* AfxGetThreadState()
{
    if (!t_state)
        t_state = new AfxThreadState;
    return t_state;
}

void AfxDeleteTempMaps()
{
    AfxThreadState* s = t_state;
    if (s && s->nDispatchDepth == 0)
        DeleteTemps(s);
}

void AfxTermThreadState()
{
    AfxThreadState* s = t_state;
    if (!s)
        return;
    AfxTermSocketState(s->pSockets);
    s->pSockets = nullptr;
    DeleteTemps(s);
    if (s->hHookCbt)
        UnhookWindowsHookEx(s->hHookCbt);
    t_state = nullptr;
    delete s;
}
