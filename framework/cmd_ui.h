// User-interface updates of commands: a CCmdUI names one menu item or control of a command and
// is routed to the command's ON_UPDATE_COMMAND_UI handler like the command itself.
// Classes here: CCmdUI; the ON_UPDATE_COMMAND_UI rows.
#pragma once

#include <windows.h>

#include "framework/cmd_target.h"
#include "framework/framework_ids.h"

class CMenu;
class CWnd;

// nCode of OnCmdMsg for an update: pExtra is the CCmdUI*.
constexpr int CN_UPDATE_COMMAND_UI = -1;

class CCmdUI {
public:
    UINT m_nID = 0;
    UINT m_nIndex = 0;         // position of the item in its menu or bar
    CMenu* m_pMenu = nullptr;  // the popup holding the item, or null
    CMenu* m_pSubMenu = nullptr; // the item's own popup when it opens one
    CWnd* m_pOther = nullptr;  // the control or bar of the item when it is not a menu item
    UINT m_nIndexMax = 0;      // items in the menu or bar (a handler may insert some)
    BOOL m_bEnableChanged = FALSE;
    BOOL m_bContinueRouting = FALSE;

    CCmdUI() = default;
    virtual ~CCmdUI() = default;

    virtual void Enable(BOOL bOn = TRUE);
    // 0 unchecked, 1 checked, 2 indeterminate (shown as checked in a menu).
    virtual void SetCheck(int nCheck = 1);
    virtual void SetRadio(BOOL bOn = TRUE);
    virtual void SetText(LPCTSTR lpszText);

    // A handler that wants the next target in the route to update the item as well.
    void ContinueRouting() { m_bContinueRouting = TRUE; }

    // Routes the update through pTarget. When no handler enabled or disabled the item and
    // bDisableIfNoHndler is set, the item is disabled unless some target handles the command.
    BOOL DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler);
};

// void memberFxn(CCmdUI* pCmdUI)
#define ON_UPDATE_COMMAND_UI(id, memberFxn)                                                    \
    AFX_MSG_ROW(WM_COMMAND, CN_UPDATE_COMMAND_UI, id, id,                                      \
                p->memberFxn(reinterpret_cast<CCmdUI*>(lParam)))
// void memberFxn(CCmdUI* pCmdUI)
#define ON_UPDATE_COMMAND_UI_RANGE(id, idLast, memberFxn)                                      \
    AFX_MSG_ROW(WM_COMMAND, CN_UPDATE_COMMAND_UI, id, idLast,                                  \
                p->memberFxn(reinterpret_cast<CCmdUI*>(lParam)))
// BOOL memberFxn(UINT nID): FALSE passes the command on to the next target of the route
#define ON_COMMAND_EX(id, memberFxn)                                                           \
    {static_cast<UINT>(WM_COMMAND), static_cast<UINT>(CN_COMMAND), static_cast<UINT>(id),      \
     static_cast<UINT>(id),                                                                    \
     [](CCmdTarget* pTarget, WPARAM wParam, LPARAM, LRESULT*) -> bool {                        \
         return static_cast<ThisClass*>(pTarget)->memberFxn(LOWORD(wParam)) != FALSE;          \
     }},
