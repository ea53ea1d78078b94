// CCmdTarget: the base of every class that takes commands through a message map (windows,
// dialogs, threads, the application).
#pragma once

#include "MessageMap.h"
#include "Object.h"

class CCmdTarget : public CObject
{
    DECLARE_DYNAMIC(CCmdTarget)
public:
    CCmdTarget() = default;

    // Looks the command up in this object's message map and runs its handler.
    //   nCode: CN_COMMAND or a control notification code (WM_COMMAND entries),
    //          CN_UPDATE_COMMAND_UI (pExtra is the CCmdUI*),
    //          MAKELONG(notification code, WM_NOTIFY) (pExtra is an AFX_NOTIFY*).
    // With pHandlerInfo the handler is only looked for, not run. Answers whether an entry
    // was found.
    virtual BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo);

    virtual const MessageMap* GetMessageMap() const;

protected:
    static const MessageMap* GetThisMessageMap();

    // The first entry of the map chain for the message, code and id, or null.
    const MessageMapEntry* FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const;
};
