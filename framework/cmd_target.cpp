// Message-map lookup and command routing of CCmdTarget.
#include "framework/cmd_target.h"

#include "framework/cmd_ui.h"

IMPLEMENT_DYNAMIC(CCmdTarget, CObject)

namespace {

bool IsCommandLike(UINT nMessage)
{
    return nMessage == WM_COMMAND || nMessage == WM_NOTIFY ||
           nMessage == WM_REFLECT_BASE + WM_COMMAND || nMessage == WM_REFLECT_BASE + WM_NOTIFY;
}

} // namespace

const AFX_MSGMAP_ENTRY* AfxFindMessageEntry(const AFX_MSGMAP* map, UINT nMessage, UINT nCode,
                                            UINT nID)
{
    const bool commandLike = IsCommandLike(nMessage);
    const UINT code = static_cast<WORD>(nCode);
    for (; map != nullptr; map = map->pfnGetBaseMap ? map->pfnGetBaseMap() : nullptr) {
        for (const AFX_MSGMAP_ENTRY* e = map->lpEntries; e != nullptr && e->pfn != nullptr; ++e) {
            if (e->nMessage != nMessage)
                continue;
            if (!commandLike)
                return e;
            if (e->nCode == code && nID >= e->nID && nID <= e->nLastID)
                return e;
        }
    }
    return nullptr;
}

const AFX_MSGMAP* CCmdTarget::GetThisMessageMap()
{
    static const AFX_MSGMAP_ENTRY entries[] = {{0, 0, 0, 0, nullptr}};
    static const AFX_MSGMAP map = {nullptr, &entries[0]};
    return &map;
}

BOOL CCmdTarget::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    // HIWORD of nCode selects the row kind: 0 or WM_COMMAND for commands, WM_NOTIFY for
    // notifications, WM_REFLECT_BASE + either for messages reflected to a child.
    UINT kind = HIWORD(static_cast<DWORD>(nCode));
    if (kind == 0 || nCode == CN_UPDATE_COMMAND_UI)
        kind = WM_COMMAND;
    const UINT code = LOWORD(static_cast<DWORD>(nCode));
    const AFX_MSGMAP_ENTRY* e = AfxFindMessageEntry(GetMessageMap(), kind, code, nID);
    if (e == nullptr)
        return FALSE;
    if (pHandlerInfo != nullptr) {
        pHandlerInfo->pTarget = this;
        return TRUE;
    }
    LRESULT scratch = 0;
    if (kind == WM_NOTIFY || kind == WM_REFLECT_BASE + WM_NOTIFY) {
        auto* notify = static_cast<AFX_NOTIFY*>(pExtra);
        LRESULT* result = notify != nullptr && notify->pResult ? notify->pResult : &scratch;
        LPARAM header = notify != nullptr ? reinterpret_cast<LPARAM>(notify->pNMHDR) : 0;
        return e->pfn(this, MAKEWPARAM(nID, code), header, result) ? TRUE : FALSE;
    }
    if (!e->pfn(this, MAKEWPARAM(nID, code), reinterpret_cast<LPARAM>(pExtra), &scratch))
        return FALSE;
    if (nCode == CN_UPDATE_COMMAND_UI) {
        // A handler that asked for it lets the next target of the route update the item too.
        auto* pCmdUI = static_cast<CCmdUI*>(pExtra);
        if (pCmdUI != nullptr && pCmdUI->m_bContinueRouting) {
            pCmdUI->m_bContinueRouting = FALSE;
            return FALSE;
        }
    }
    return TRUE;
}
