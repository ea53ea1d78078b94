#include "CmdTarget.h"

#include "CmdUI.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

namespace {

const MessageMapEntry s_noEntries[] = {{0, 0, 0, 0, AfxSig_end, nullptr, nullptr}};
const MessageMap s_cmdTargetMap = {nullptr, s_noEntries};

} // namespace

const MessageMap* CCmdTarget::GetThisMessageMap()
{
    return &s_cmdTargetMap;
}

const MessageMap* CCmdTarget::GetMessageMap() const
{
    return GetThisMessageMap();
}

const MessageMapEntry* CCmdTarget::FindMessageEntry(UINT nMessage, UINT nCode, UINT nID) const
{
    for (const MessageMap* map = GetMessageMap(); map;
         map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const MessageMapEntry* e = map->lpEntries; e->nSig != AfxSig_end; ++e) {
            if (e->pnRegistered) {
                if (*e->pnRegistered == nMessage && nMessage != 0)
                    return e;
                continue;
            }
            if (e->nMessage == nMessage && e->nCode == nCode && nID >= e->nID && nID <= e->nLastID)
                return e;
        }
    }
    return nullptr;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    UINT nMessage = WM_COMMAND;
    UINT nEntryCode = static_cast<UINT>(nCode);
    if (static_cast<UINT>(nCode) != CN_UPDATE_COMMAND_UI && HIWORD(nCode) == WM_NOTIFY) {
        nMessage = WM_NOTIFY;
        nEntryCode = LOWORD(nCode);
    }
    const MessageMapEntry* e = FindMessageEntry(nMessage, nEntryCode, nID);
    if (!e)
        return FALSE;
    if (pHandlerInfo) {
        pHandlerInfo->pTarget = this;
        pHandlerInfo->pmf = e->pfn;
        return TRUE;
    }

    switch (e->nSig) {
    case AfxSig_cmd_v:
        (this->*AfxCastHandler<afxsig::v>(e->pfn))();
        return TRUE;
    case AfxSig_cmd_range:
        (this->*AfxCastHandler<afxsig::u>(e->pfn))(nID);
        return TRUE;
    case AfxSig_cmd_ui: {
        CCmdUI* pCmdUI = static_cast<CCmdUI*>(pExtra);
        pCmdUI->m_bContinueRouting = FALSE;
        (this->*AfxCastHandler<afxsig::cmdui>(e->pfn))(pCmdUI);
        return !pCmdUI->m_bContinueRouting;
    }
    case AfxSig_notify: {
        AFX_NOTIFY* n = static_cast<AFX_NOTIFY*>(pExtra);
        (this->*AfxCastHandler<afxsig::notify>(e->pfn))(n->pNMHDR, n->pResult);
        return TRUE;
    }
    case AfxSig_notify_range: {
        AFX_NOTIFY* n = static_cast<AFX_NOTIFY*>(pExtra);
        (this->*AfxCastHandler<afxsig::notify_range>(e->pfn))(nID, n->pNMHDR, n->pResult);
        return TRUE;
    }
    default:
        return FALSE;
    }
}
