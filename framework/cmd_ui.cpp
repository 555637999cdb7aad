// CCmdUI for menu items, and the update route.
#include "framework/cmd_ui.h"

#include "framework/controls.h"
#include "framework/wnd.h"

void CCmdUI::Enable(BOOL bOn)
{
    if (m_pMenu != nullptr) {
        if (m_pSubMenu == nullptr) // a popup's own item stays enabled so it can open
            ::EnableMenuItem(m_pMenu->m_hMenu, m_nIndex,
                             MF_BYPOSITION | (bOn ? MF_ENABLED : (MF_DISABLED | MF_GRAYED)));
    } else if (m_pOther != nullptr && m_pOther->m_hWnd != nullptr) {
        // A control losing the enable while it has the focus hands the focus on first.
        if (!bOn && ::GetFocus() == m_pOther->m_hWnd)
            ::SendMessage(::GetParent(m_pOther->m_hWnd), WM_NEXTDLGCTL, 0, FALSE);
        ::EnableWindow(m_pOther->m_hWnd, bOn);
    }
    m_bEnableChanged = TRUE;
}

void CCmdUI::SetCheck(int nCheck)
{
    if (m_pMenu != nullptr) {
        if (m_pSubMenu == nullptr)
            ::CheckMenuItem(m_pMenu->m_hMenu, m_nIndex,
                            MF_BYPOSITION | (nCheck ? MF_CHECKED : MF_UNCHECKED));
    } else if (m_pOther != nullptr && m_pOther->m_hWnd != nullptr) {
        // Only buttons can show a check.
        if (::SendMessage(m_pOther->m_hWnd, WM_GETDLGCODE, 0, 0) & DLGC_BUTTON)
            ::SendMessage(m_pOther->m_hWnd, BM_SETCHECK, static_cast<WPARAM>(nCheck), 0);
    }
}

void CCmdUI::SetRadio(BOOL bOn)
{
    if (m_pMenu != nullptr && m_pSubMenu == nullptr) {
        MENUITEMINFO mii{};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_FTYPE | MIIM_STATE;
        if (!::GetMenuItemInfo(m_pMenu->m_hMenu, m_nIndex, TRUE, &mii))
            return;
        mii.fType = bOn ? (mii.fType | MFT_RADIOCHECK) : (mii.fType & ~MFT_RADIOCHECK);
        mii.fState = bOn ? (mii.fState | MFS_CHECKED) : (mii.fState & ~MFS_CHECKED);
        ::SetMenuItemInfo(m_pMenu->m_hMenu, m_nIndex, TRUE, &mii);
        return;
    }
    SetCheck(bOn ? 1 : 0);
}

void CCmdUI::SetText(LPCTSTR lpszText)
{
    if (lpszText == nullptr)
        return;
    if (m_pMenu != nullptr) {
        if (m_pSubMenu != nullptr)
            return;
        // Keep id, state and type; only the text changes.
        MENUITEMINFO mii{};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_STRING;
        mii.dwTypeData = const_cast<LPTSTR>(lpszText);
        ::SetMenuItemInfo(m_pMenu->m_hMenu, m_nIndex, TRUE, &mii);
    } else if (m_pOther != nullptr && m_pOther->m_hWnd != nullptr) {
        CString current;
        m_pOther->GetWindowText(current);
        if (current != lpszText) // avoids flicker on every idle pass
            m_pOther->SetWindowText(lpszText);
    }
}

BOOL CCmdUI::DoUpdate(CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    if (pTarget == nullptr || m_nID == 0 || LOWORD(m_nID) == 0xFFFF)
        return TRUE; // separators and popup items have no command
    m_bEnableChanged = FALSE;
    BOOL handled = pTarget->OnCmdMsg(m_nID, CN_UPDATE_COMMAND_UI, this, nullptr);
    if (bDisableIfNoHndler && !m_bEnableChanged) {
        // No update handler decided: the item is usable exactly when the command is handled.
        AFX_CMDHANDLERINFO info{nullptr};
        Enable(pTarget->OnCmdMsg(m_nID, CN_COMMAND, this, &info));
    }
    return handled;
}
