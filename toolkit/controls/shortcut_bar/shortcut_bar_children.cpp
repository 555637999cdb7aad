// The bar's child windows of its own: the item lists of groups without a caller's window and
// the editor that renames headers.
#include "toolkit/controls/shortcut_bar/shortcut_bar.h"

BOOL COXShortcutBar::CreateEditControl()
{
    return TRUE;
}

COXSHBListCtrl* COXShortcutBar::CreateListCtrl()
{
    return nullptr;
}

CWnd* COXShortcutBar::CreateListObject()
{
    return nullptr;
}

BOOL COXShortcutBar::CreateGroupWindow(HSHBGROUP)
{
    return FALSE;
}

COXSHBListCtrl* COXShortcutBar::GetGroupListCtrl(HSHBGROUP) const
{
    return nullptr;
}

CWnd* COXShortcutBar::EditGroupHeader(HSHBGROUP)
{
    return nullptr;
}

void COXShortcutBar::OnEndEdit(NMHDR*, LRESULT* pResult)
{
    *pResult = 0;
}

void COXShortcutBar::OnItemCommand(UINT)
{
}
