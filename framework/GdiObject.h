// CGdiObject: the base of the GDI object wrappers (pens, brushes, fonts, bitmaps,
// regions, palettes). The object owns its handle and deletes it when destroyed, unless
// it was detached. FromHandle gives a temporary wrapper that owns nothing.
#pragma once

#include "Object.h"

#include <windows.h>

class CGdiObject : public CObject
{
    DECLARE_DYNCREATE(CGdiObject)
public:
    CGdiObject() = default;
    ~CGdiObject() override;

    HGDIOBJ m_hObject = nullptr;
    operator HGDIOBJ() const { return m_hObject; }
    HGDIOBJ GetSafeHandle() const { return m_hObject; }

    static CGdiObject* FromHandle(HGDIOBJ hObject);
    BOOL Attach(HGDIOBJ hObject);
    HGDIOBJ Detach();
    BOOL DeleteObject();

    int GetObject(int nCount, LPVOID lpObject) const { return ::GetObjectA(m_hObject, nCount, lpObject); }
    UINT GetObjectType() const { return static_cast<UINT>(::GetObjectType(m_hObject)); }
    BOOL CreateStockObject(int nIndex) { return Attach(::GetStockObject(nIndex)); }

protected:
    // The temporary wrapper of the handle; make() builds one of the caller's class.
    static CGdiObject* FromHandleMake(HGDIOBJ hObject, CGdiObject* (*make)());
};
