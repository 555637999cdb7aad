// The shortcut bar under the mouse: pressing and hovering headers, header drags that swap
// groups, expansion on a rest of the mouse (also during an OLE drag), the context menu and its
// commands, header renaming, tool tips and command routing.
#include <cstring>

#include "toolkit/controls/shortcut_bar/shortcut_bar.h"
#include "toolkit/controls/shortcut_bar/shortcut_bar_res.h"

namespace {

bool LeftButtonDown()
{
    // The state as of the message being handled, not the device's: queued input stays in order.
    return (::GetKeyState(VK_LBUTTON) & 0x8000) != 0;
}

CString LoadText(UINT nID)
{
    CString text;
    text.LoadString(nID);
    return text;
}

} // namespace

void COXShortcutBar::RedrawHeader(HSHBGROUP hGroup)
{
    const CRect rect = GetGroupHeaderRect(hGroup);
    if (hGroup != 0 && !rect.IsRectEmpty())
        RedrawWindow(&rect, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
}

void COXShortcutBar::SetHotGroup(HSHBGROUP hGroup, BOOL bRedraw)
{
    if (hGroup == m_hHotGroup)
        return;
    const HSHBGROUP hOld = m_hHotGroup;
    m_hHotGroup = hGroup;
    if (bRedraw) {
        RedrawHeader(hOld);
        RedrawHeader(hGroup);
    }
}

void COXShortcutBar::KillAutoExpandTimer()
{
    if (m_nWaitForAutoExpandTimer != 0) {
        KillTimer(m_nWaitForAutoExpandTimer);
        m_nWaitForAutoExpandTimer = 0;
    }
    m_hSuspectGroup = 0;
}

void COXShortcutBar::ForgetPressedGroupIfUp()
{
    if (m_hPressedGroup == 0 || LeftButtonDown())
        return;
    const HSHBGROUP hPressed = m_hPressedGroup;
    m_hPressedGroup = 0;
    if (m_dwBarStyle & SHB_STYLE_HOTHEADERS)
        RedrawHeader(hPressed);
}

void COXShortcutBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    int flags = 0;
    const HSHBGROUP hGroup = HitTest(point, &flags);
    if (flags == SHB_ONHEADER) {
        m_hPressedGroup = hGroup;
        if (m_dwBarStyle & SHB_STYLE_HOTHEADERS)
            RedrawHeader(hGroup);
        else
            ExpandGroup(hGroup);
        // Expanding moved the headers: the drag needs the header still under the pointer.
        if (!(m_dwBarStyle & SHB_STYLE_NOGROUPDRAG) && HitTest(point, &flags) == hGroup &&
            flags == SHB_ONHEADER) {
            if (m_nCheckForDragTimer != 0)
                KillTimer(m_nCheckForDragTimer);
            m_nCheckForDragTimer = SetTimer(SHB_IDTCHECKFORDRAG, 100);
            m_hDragCandidate = hGroup;
            const CRect rect = GetGroupHeaderRect(hGroup);
            m_ptDragImageOffset = CPoint(point.x - rect.left, point.y - rect.top);
        }
    }
    Default();
}

void COXShortcutBar::OnMouseMove(UINT nFlags, CPoint point)
{
    int flags = 0;
    const HSHBGROUP hHit = HitTest(point, &flags);
    SetHotGroup(flags == SHB_ONHEADER ? hHit : 0, (m_dwBarStyle & SHB_STYLE_HOTHEADERS) != 0);
    ForgetPressedGroupIfUp();

    if (m_hDragGroup != 0) {
        UpdateDragTarget(point);
        return;
    }
    if (flags == SHB_ONHEADER) {
        if (m_nCheckForDragTimer != 0)
            return;
        if ((nFlags & MK_LBUTTON) && hHit == m_hDragCandidate &&
            !(m_dwBarStyle & SHB_STYLE_NOGROUPDRAG)) {
            BeginGroupDrag(hHit, point);
            return;
        }
    }
    if (m_nCheckForDragTimer == 0 && !(nFlags & MK_LBUTTON) &&
        (m_dwBarStyle & SHB_STYLE_AUTOEXPAND) && m_hEditGroup == 0) {
        const HSHBGROUP hOver = flags == SHB_ONHEADER ? hHit : 0;
        if (hOver == 0 || hOver != m_hSuspectGroup)
            KillAutoExpandTimer();
        if (hOver != 0 && hOver != m_hExpandedGroup && hOver != m_hSuspectGroup) {
            m_hSuspectGroup = hOver;
            m_nWaitForAutoExpandTimer = SetTimer(SHB_IDTWAITFORAUTOEXPAND, m_nWaitForAutoExpand);
        }
    }
    Default();
}

void COXShortcutBar::BeginGroupDrag(HSHBGROUP hGroup, CPoint point)
{
    CPoint screen = point;
    ClientToScreen(&screen);
    if (m_dwBarStyle & SHB_STYLE_GROUPDRAGIMAGE) {
        m_pDragImage.reset();
        m_pDragImage.reset(CreateGroupDragImage(hGroup));
        if (m_pDragImage != nullptr) {
            ::ImageList_BeginDrag(m_pDragImage->GetSafeHandle(), 0, m_ptDragImageOffset.x,
                                  m_ptDragImageOffset.y);
            ::ImageList_DragEnter(::GetDesktopWindow(), screen.x, screen.y);
            ::ImageList_DragShowNolock(FALSE);
        }
    }
    SetCapture();
    m_hDragGroup = hGroup;
    m_hDropTargetGroup = 0;
    SendSHBNotification(SHBN_DRAGGROUP, hGroup, reinterpret_cast<LPARAM>(&m_ptDragImageOffset));
    RedrawHeader(hGroup);
    if (m_pDragImage != nullptr)
        ::ImageList_DragShowNolock(TRUE);
}

HSHBGROUP COXShortcutBar::FindOverlappedHeader(CPoint point) const
{
    CRect rect;
    if (m_pDragImage != nullptr) {
        int cx = 0, cy = 0;
        ::ImageList_GetIconSize(m_pDragImage->GetSafeHandle(), &cx, &cy);
        rect = CRect(point.x - m_ptDragImageOffset.x, point.y - m_ptDragImageOffset.y, 0, 0);
        rect.right = rect.left + cx;
        rect.bottom = rect.top + cy;
    } else {
        rect = GetGroupHeaderRect(m_hDragGroup);
    }
    CRect client;
    GetClientRect(&client);
    CRect inside;
    if (!inside.IntersectRect(&rect, &client))
        return 0;
    CRect inChild;
    if (inChild.IntersectRect(&rect, &m_rectChildWnd) && inChild == rect)
        return 0;
    HSHBGROUP hBest = 0;
    int bestArea = 0;
    for (int order = 0; order < GetGroupCount(); ++order) {
        const HSHBGROUP hGroup = FindGroupByOrder(order);
        const CRect header = GetGroupHeaderRect(hGroup);
        CRect overlap;
        if (overlap.IntersectRect(&rect, &header) &&
            overlap.Width() * overlap.Height() > bestArea) {
            bestArea = overlap.Width() * overlap.Height();
            hBest = hGroup;
        }
    }
    return hBest;
}

void COXShortcutBar::UpdateDragTarget(CPoint point)
{
    if (m_pDragImage != nullptr) {
        CPoint screen = point;
        ClientToScreen(&screen);
        ::ImageList_DragMove(screen.x, screen.y);
    }
    HSHBGROUP hTarget = 0;
    if (!m_rectChildWnd.PtInRect(point)) {
        int flags = 0;
        const HSHBGROUP hHit = HitTest(point, &flags);
        hTarget = flags == SHB_ONHEADER ? hHit : FindOverlappedHeader(point);
    }
    if (hTarget != m_hDropTargetGroup) {
        const HSHBGROUP hOld = m_hDropTargetGroup;
        m_hDropTargetGroup = hTarget;
        if (m_pDragImage != nullptr)
            ::ImageList_DragShowNolock(FALSE);
        RedrawHeader(hOld);
        RedrawHeader(hTarget);
        if (m_pDragImage != nullptr)
            ::ImageList_DragShowNolock(TRUE);
    }
    ::SetCursor(::LoadCursor(nullptr, hTarget != 0 && hTarget != m_hDragGroup ? IDC_ARROW
                                                                               : IDC_NO));
}

void COXShortcutBar::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (m_hDragGroup != 0) {
        EndGroupDrag(TRUE);
    } else {
        const HSHBGROUP hPressed = m_hPressedGroup;
        m_hPressedGroup = 0;
        if ((m_dwBarStyle & SHB_STYLE_HOTHEADERS) && hPressed != 0) {
            int flags = 0;
            if (HitTest(point, &flags) == hPressed && flags == SHB_ONHEADER &&
                hPressed != m_hExpandedGroup)
                ExpandGroup(hPressed);
            else
                RedrawHeader(hPressed);
        }
    }
    m_hDragCandidate = 0;
    Default();
}

void COXShortcutBar::EndGroupDrag(BOOL bDrop)
{
    if (m_pDragImage != nullptr) {
        ::ImageList_DragLeave(::GetDesktopWindow());
        ::ImageList_EndDrag();
    }
    const HSHBGROUP hDragged = m_hDragGroup;
    m_hDragGroup = 0;
    SendSHBNotification(SHBN_DRAGGROUP, 0, reinterpret_cast<LPARAM>(&m_ptDragImageOffset));
    const HSHBGROUP hTarget = m_hDropTargetGroup;
    m_hDropTargetGroup = 0;
    if (bDrop && hTarget != 0 && hTarget != hDragged) {
        if (SendSHBNotification(SHBN_DROPGROUP, hDragged, static_cast<LPARAM>(hTarget)) != 0) {
            RedrawHeader(hDragged);
            RedrawHeader(hTarget);
        } else {
            SetGroupOrder(hDragged, GetGroupOrder(hTarget));
            ShowChildWnd(m_hExpandedGroup, TRUE);
            RedrawWindow();
        }
    } else {
        RedrawHeader(hDragged);
        RedrawHeader(hTarget);
    }
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
}

void COXShortcutBar::OnTimer(UINT_PTR nIDEvent)
{
    ForgetPressedGroupIfUp();
    CPoint cursor;
    ::GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    int flags = 0;
    switch (nIDEvent) {
    case SHB_IDTCHECKFORDRAG:
        KillTimer(SHB_IDTCHECKFORDRAG);
        m_nCheckForDragTimer = 0;
        break;
    case SHB_IDTWAITFORAUTOEXPAND: {
        KillTimer(SHB_IDTWAITFORAUTOEXPAND);
        m_nWaitForAutoExpandTimer = 0;
        const HSHBGROUP hHit = HitTest(cursor, &flags);
        if (flags == SHB_ONHEADER && hHit != 0 && hHit == m_hSuspectGroup)
            ExpandGroup(hHit);
        else
            m_hSuspectGroup = 0;
        break;
    }
    case SHB_IDTCHECKMOUSE: {
        const HSHBGROUP hHit = HitTest(cursor, &flags);
        SetHotGroup(flags == SHB_ONHEADER ? hHit : 0,
                    (m_dwBarStyle & SHB_STYLE_HOTHEADERS) != 0);
        break;
    }
    default:
        Default();
        break;
    }
}

// --- OLE drags resting on a header ---

COleDropTarget* COXShortcutBar::GetDropTarget()
{
    SHB_NOTIFYHDR nm{};
    if (SendNotifyRecord(nm, SHBN_GETDROPTARGET, 0, -1) != 0 && nm.lParam != 0)
        return reinterpret_cast<COleDropTarget*>(nm.lParam);
    return &m_dropTarget;
}

LRESULT COXShortcutBar::OnDragOver(WPARAM, LPARAM lParam)
{
    if (m_dwBarStyle & SHB_STYLE_NODROP)
        return 0;
    if (SendSHBNotification(SHBN_DRAGOVER, 0, lParam) != 0)
        return 1;
    auto* pAction = reinterpret_cast<SHBDROPTARGETACTION*>(lParam);
    pAction->result = DROPEFFECT_NONE;
    int flags = 0;
    const HSHBGROUP hHit = HitTest(pAction->point, &flags);
    if (hHit == 0 || hHit == m_hExpandedGroup)
        return 1;
    if (flags != SHB_ONHEADER || hHit != m_hSuspectGroup)
        KillAutoExpandTimer();
    if (flags == SHB_ONHEADER && hHit != m_hSuspectGroup) {
        m_hSuspectGroup = hHit;
        m_nWaitForAutoExpandTimer =
            SetTimer(SHB_IDTWAITFORAUTOEXPAND, m_nWaitForAutoExpand / 4);
    }
    return 1;
}

LRESULT COXShortcutBar::OnDragLeave(WPARAM, LPARAM lParam)
{
    if (m_dwBarStyle & SHB_STYLE_NODROP)
        return 0;
    SendSHBNotification(SHBN_DRAGLEAVE, 0, lParam);
    KillAutoExpandTimer();
    return 0;
}

// --- context menu and commands ---

void COXShortcutBar::OnContextMenu(CWnd*, CPoint point)
{
    KillAutoExpandTimer();
    CMenu menu;
    if (!menu.CreatePopupMenu())
        return;
    CPoint client = point;
    ScreenToClient(&client);
    int flags = 0;
    const HSHBGROUP hHit = HitTest(client, &flags);
    const HSHBGROUP hGroup = flags == SHB_ONHEADER ? hHit : m_hExpandedGroup;
    m_hLastContextMenuGroup = hGroup;
    const BOOL bEdit = (m_dwBarStyle & SHB_STYLE_EDITHEADERS) != 0;
    if (bEdit)
        menu.AppendMenu(MF_STRING, SHB_IDMADDNEWGROUP, LoadText(IDS_OX_SHB_ADDNEWGROUP));
    SHB_CONTEXTMENUINFO info{&menu, this, hGroup, {point.x, point.y}};
    if (hGroup != 0) {
        if (bEdit)
            menu.AppendMenu(MF_SEPARATOR);
        menu.AppendMenu(MF_STRING | MF_CHECKED, SHB_IDMLARGEICON, LoadText(IDS_OX_SHB_LARGEICONS));
        menu.AppendMenu(MF_STRING | MF_CHECKED, SHB_IDMSMALLICON, LoadText(IDS_OX_SHB_SMALLICONS));
        if (bEdit) {
            menu.AppendMenu(MF_SEPARATOR);
            menu.AppendMenu(MF_STRING, SHB_IDMREMOVEGROUP, LoadText(IDS_OX_SHB_REMOVEGROUP));
            menu.AppendMenu(MF_STRING, SHB_IDMRENAMEGROUP, LoadText(IDS_OX_SHB_RENAMEGROUP));
        }
        if (m_hExpandedGroup != 0) {
            const BOOL bLarge = GetGroupView(m_hExpandedGroup) == SHB_LARGEICON;
            menu.CheckMenuItem(SHB_IDMLARGEICON, bLarge ? MF_CHECKED : MF_UNCHECKED);
            menu.CheckMenuItem(SHB_IDMSMALLICON, bLarge ? MF_UNCHECKED : MF_CHECKED);
        }
        if (flags == SHB_ONCHILD)
            if (CWnd* pChild = GetGroupChildWnd(hGroup))
                pChild->SendMessage(SHBM_POPULATECONTEXTMENU, 0, reinterpret_cast<LPARAM>(&info));
    }
    if (SendSHBNotification(SHBN_CONTEXTMENU, hGroup, reinterpret_cast<LPARAM>(&info)) == 0 &&
        menu.GetMenuItemCount() > 0)
        menu.TrackPopupMenu(TPM_LEFTALIGN, point.x, point.y, this);
    menu.DestroyMenu();
}

void COXShortcutBar::OnViewCommand(UINT nID)
{
    if (m_hExpandedGroup == 0)
        return;
    const int nView = nID == SHB_IDMLARGEICON ? SHB_LARGEICON : SHB_SMALLICON;
    if (GetGroupView(m_hExpandedGroup) != nView) {
        SetGroupView(m_hExpandedGroup, nView);
        ShowChildWnd(m_hExpandedGroup, TRUE);
    }
}

void COXShortcutBar::OnAddNewGroup()
{
    SHB_GROUPINFO info{};
    info.nMask = SHBIF_TEXT;
    info.pszText = const_cast<LPSTR>("");
    const HSHBGROUP hGroup = InsertGroup(&info);
    if (hGroup == 0)
        return;
    if (GetGroupCount() == 1) {
        ExpandGroup(hGroup);
    } else {
        CalculateBoundRects();
        ShowChildWnd(m_hExpandedGroup, TRUE);
        RedrawWindow();
    }
    EditGroupHeader(hGroup);
}

void COXShortcutBar::OnRemoveGroup()
{
    DeleteGroup(m_hLastContextMenuGroup);
}

void COXShortcutBar::OnRenameGroup()
{
    EditGroupHeader(m_hLastContextMenuGroup);
}

void COXShortcutBar::OnUpdateLargeIcon(CCmdUI* pCmdUI)
{
    if (m_hExpandedGroup != 0)
        pCmdUI->SetCheck(GetGroupView(m_hExpandedGroup) == SHB_LARGEICON);
}

void COXShortcutBar::OnUpdateSmallIcon(CCmdUI* pCmdUI)
{
    if (m_hExpandedGroup != 0)
        pCmdUI->SetCheck(GetGroupView(m_hExpandedGroup) == SHB_SMALLICON);
}

BOOL COXShortcutBar::OnCmdMsg(UINT nID, int nCode, void* pExtra,
                              AFX_CMDHANDLERINFO* pHandlerInfo)
{
    CWnd* pParent = GetParent();
    if (pParent != nullptr && !pParent->IsKindOf(RUNTIME_CLASS(COXShortcutBar)) &&
        pParent->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWnd* pChild = GetGroupChildWnd(m_hExpandedGroup);
    if (pChild != nullptr && !pChild->IsKindOf(RUNTIME_CLASS(COXShortcutBar)) &&
        pChild->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* pApp = AfxGetApp();
    return pApp != nullptr && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

// --- tool tips ---

INT_PTR COXShortcutBar::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    if (!(m_dwBarStyle & SHB_STYLE_INFOTIPS))
        return -1;
    int flags = 0;
    const HSHBGROUP hGroup = HitTest(point, &flags);
    if (flags != SHB_ONHEADER || pTI == nullptr)
        return -1;
    pTI->hwnd = m_hWnd;
    pTI->uId = hGroup;
    pTI->rect = GetGroupHeaderRect(hGroup);
    pTI->lpszText = LPSTR_TEXTCALLBACK;
    return static_cast<INT_PTR>(hGroup);
}

BOOL COXShortcutBar::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult)
{
    SHB_INFOTIP tip{};
    SendSHBNotification(SHBN_GETHEADERINFOTIP, pNMHDR->idFrom, reinterpret_cast<LPARAM>(&tip), -1);
    tip.szText[sizeof(tip.szText) - 1] = '\0';
    if (pNMHDR->code == TTN_NEEDTEXTA) {
        auto* pTTT = reinterpret_cast<TOOLTIPTEXTA*>(pNMHDR);
        std::memcpy(pTTT->szText, tip.szText, sizeof(pTTT->szText));
        pTTT->lpszText = tip.lpszText != nullptr ? tip.lpszText : pTTT->szText;
        pTTT->hinst = tip.hinst;
    } else {
        auto* pTTT = reinterpret_cast<TOOLTIPTEXTW*>(pNMHDR);
        ::MultiByteToWideChar(CP_THREAD_ACP, 0, tip.szText, -1, pTTT->szText, 80);
        pTTT->szText[79] = L'\0';
        if (tip.lpszText != nullptr)
            pTTT->lpszText = reinterpret_cast<LPWSTR>(tip.lpszText);
        else
            pTTT->lpszText = pTTT->szText;
        pTTT->hinst = tip.hinst;
    }
    *pResult = 0;
    return TRUE;
}

// --- drag image ---

CImageList* COXShortcutBar::CreateGroupDragImage(HSHBGROUP hGroup)
{
    const CRect rect = GetGroupHeaderRect(hGroup);
    if (rect.IsRectEmpty())
        return nullptr;
    m_bCreatingDragImage = TRUE;
    auto pImages = std::make_unique<CImageList>();
    CClientDC dc(this);
    CDC memDC;
    CBitmap bitmap;
    BOOL bOk = pImages->Create(rect.Width(), rect.Height(), ILC_COLOR, 0, 1) &&
               memDC.CreateCompatibleDC(&dc) &&
               bitmap.CreateCompatibleBitmap(&dc, rect.Width(), rect.Height());
    if (bOk) {
        CBitmap* pOld = memDC.SelectObject(&bitmap);
        DrawGroupHeaderAt(&memDC, hGroup, rect.Size());
        memDC.SelectObject(pOld);
        bOk = ::ImageList_Add(pImages->GetSafeHandle(),
                              static_cast<HBITMAP>(bitmap.GetSafeHandle()), nullptr) >= 0;
    }
    m_bCreatingDragImage = FALSE;
    return bOk ? pImages.release() : nullptr;
}
