// The bar's child windows of its own: the item lists of groups without a caller's window and
// the editor that renames headers, with the context-menu commands that act on them.
#include "toolkit/controls/shortcut_bar/shortcut_bar.h"

#include "toolkit/controls/shortcut_bar/shb_list_ctrl.h"

BOOL COXShortcutBar::CreateEditControl()
{
    if (::IsWindow(m_edit.m_hWnd))
        return TRUE;
    return m_edit.Create(WS_BORDER, CRect(0, 0, 0, 0), this, SHB_IDC_EDIT);
}

COXSHBListCtrl* COXShortcutBar::CreateListCtrl()
{
    return new COXSHBListCtrl;
}

BOOL COXShortcutBar::CreateGroupWindow(HSHBGROUP hGroup)
{
    auto it = m_mapHandleToListCtrl.find(hGroup);
    if (it == m_mapHandleToListCtrl.end() || it->second == nullptr)
        return FALSE;
    COXSHBListCtrl* pList = it->second;
    if (::IsWindow(pList->m_hWnd))
        pList->DestroyWindow();
    if (!pList->Create(WS_CHILD | LVS_NOSCROLL | LVS_SHAREIMAGELISTS | LVS_SINGLESEL,
                       CRect(0, 0, 0, 0), this, static_cast<UINT>(hGroup)))
        return FALSE;
    pList->SendMessage(SHBM_SETSHBGROUP, 0, static_cast<LPARAM>(hGroup));
    return TRUE;
}

COXSHBListCtrl* COXShortcutBar::GetGroupListCtrl(HSHBGROUP hGroup) const
{
    auto it = m_mapHandleToListCtrl.find(hGroup);
    return it == m_mapHandleToListCtrl.end() ? nullptr : it->second;
}

void COXShortcutBar::DestroyListObject(COXSHBListCtrl* pList)
{
    if (pList == nullptr)
        return;
    if (::IsWindow(pList->m_hWnd))
        pList->DestroyWindow();
    delete pList;
}

CWnd* COXShortcutBar::EditGroupHeader(HSHBGROUP hGroup)
{
    if (!(m_dwBarStyle & SHB_STYLE_EDITHEADERS) || GetInfo(hGroup) == nullptr)
        return nullptr;
    if (m_hEditGroup != 0 && m_edit.IsEditing())
        m_edit.FinishEdit(TRUE);
    m_hEditGroup = 0;
    if (SendSHBNotification(SHBN_BEGINGROUPEDIT, hGroup) != 0)
        return nullptr;
    const CRect rect = GetGroupHeaderRect(hGroup);
    CRect client;
    GetClientRect(&client);
    CRect inside;
    if (rect.IsRectEmpty() || !inside.IntersectRect(&rect, &client) || inside != rect)
        return nullptr;
    const CString text = GetGroupText(hGroup);
    CFont font;
    font.CreateFontIndirect(GetGroupHeaderFont(hGroup));
    SHB_EDITINFO info{};
    info.lpszText = text;
    info.rectDisplay = rect;
    info.dwStyle = WS_BORDER | ES_AUTOHSCROLL;
    info.nSelStart = 0;
    info.nSelEnd = -1;
    info.pFont = &font;
    info.nMask = SHBEIF_TEXT | SHBEIF_RECTDISPLAY | SHBEIF_STYLE | SHBEIF_SELRANGE | SHBEIF_FONT;
    if (!m_edit.StartEdit(&info))
        return nullptr;
    m_hEditGroup = hGroup;
    return &m_edit;
}

void COXShortcutBar::OnEndEdit(NMHDR* pNMHDR, LRESULT* pResult)
{
    *pResult = 0;
    const HSHBGROUP hGroup = m_hEditGroup;
    m_hEditGroup = 0;
    if (hGroup == 0 || GetInfo(hGroup) == nullptr)
        return;
    if (reinterpret_cast<NMSHBEDIT*>(pNMHDR)->bOK) {
        CString text;
        m_edit.GetWindowText(text);
        if (SendSHBNotification(SHBN_ENDGROUPEDIT, hGroup,
                                reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(text))) == 0 &&
            SetGroupText(hGroup, text))
            RedrawHeader(hGroup);
    } else {
        const CString text = GetGroupText(hGroup);
        SendSHBNotification(SHBN_ENDGROUPEDIT, hGroup,
                            reinterpret_cast<LPARAM>(static_cast<LPCTSTR>(text)));
    }
}

void COXShortcutBar::OnItemCommand(UINT nID)
{
    LPSHB_GROUPINFO pInfo = GetInfo(m_hExpandedGroup);
    COXSHBListCtrl* pList = GetGroupListCtrl(m_hExpandedGroup);
    if (pInfo == nullptr || (pInfo->nMask & SHBIF_CHILDWND) || pList == nullptr ||
        !::IsWindow(pList->m_hWnd))
        return;
    int nItem = pList->GetHotItem();
    if (nItem < 0)
        nItem = pList->GetLastHotItem();
    if (nItem < 0)
        return;
    if (nID == SHB_IDMREMOVEITEM) {
        pList->DeleteItem(nItem);
    } else {
        pList->EnsureVisible(nItem, FALSE);
        pList->EditLabel(nItem);
    }
}
