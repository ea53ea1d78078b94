#include "GdiObject.h"

#include "ThreadState.h"

IMPLEMENT_DYNCREATE(CGdiObject, CObject)

CGdiObject::~CGdiObject()
{
    DeleteObject();
}

CGdiObject* CGdiObject::FromHandleMake(HGDIOBJ hObject, CGdiObject* (*make)())
{
    if (!hObject)
        return nullptr;
    AfxThreadState* s = AfxGetThreadState();
    CGdiObject* p = s->tempGdi.Find(hObject);
    if (!p) {
        p = make();
        p->m_hObject = hObject;
        s->tempGdi.Add(hObject, p);
    }
    return p;
}

CGdiObject* CGdiObject::FromHandle(HGDIOBJ hObject)
{
    return FromHandleMake(hObject, []() { return new CGdiObject; });
}

BOOL CGdiObject::Attach(HGDIOBJ hObject)
{
    if (!hObject || m_hObject)
        return FALSE;
    m_hObject = hObject;
    return TRUE;
}

HGDIOBJ CGdiObject::Detach()
{
    HGDIOBJ h = m_hObject;
    m_hObject = nullptr;
    return h;
}

BOOL CGdiObject::DeleteObject()
{
    if (!m_hObject)
        return FALSE;
    return ::DeleteObject(Detach());
}
