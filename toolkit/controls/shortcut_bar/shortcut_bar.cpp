// The shortcut bar's group model, layout, expansion and painting. The mouse, timers, header
// drag, context menu and commands are in shortcut_bar_mouse.cpp.
#include "toolkit/controls/shortcut_bar/shortcut_bar.h"

#include "toolkit/controls/shortcut_bar/shb_list_ctrl.h"

#include <mbstring.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "toolkit/frames/skins/skin.h"
#include "toolkit/frames/skins/skinned_app.h"

IMPLEMENT_DYNCREATE(COXShortcutBar, CWnd)

BEGIN_MESSAGE_MAP(COXShortcutBar, CWnd)
    ON_WM_PAINT()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_DESTROY()
    ON_WM_NCHITTEST()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_CONTEXTMENU()
    ON_WM_TIMER()
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFF, OnToolTipText)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, OnToolTipText)
    ON_NOTIFY(SHBEN_FINISHEDIT, SHB_IDC_EDIT, OnEndEdit)
    ON_MESSAGE(SHBDTM_DRAGOVER, OnDragOverMsg)
    ON_MESSAGE(SHBDTM_DRAGLEAVE, OnDragLeaveMsg)
    ON_COMMAND_RANGE(SHB_IDMLARGEICON, SHB_IDMSMALLICON, OnViewCommand)
    ON_COMMAND(SHB_IDMADDNEWGROUP, OnAddNewGroup)
    ON_COMMAND(SHB_IDMREMOVEGROUP, OnRemoveGroup)
    ON_COMMAND(SHB_IDMRENAMEGROUP, OnRenameGroup)
    ON_COMMAND_RANGE(SHB_IDMREMOVEITEM, SHB_IDMRENAMEITEM, OnItemCommand)
    ON_UPDATE_COMMAND_UI(SHB_IDMLARGEICON, OnUpdateLargeIcon)
    ON_UPDATE_COMMAND_UI(SHB_IDMSMALLICON, OnUpdateSmallIcon)
END_MESSAGE_MAP()

namespace {

constexpr UINT kDefaultHeaderFormat = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;

void FreeText(LPSHB_GROUPINFO pInfo)
{
    if (pInfo->bOwnsText)
        delete[] pInfo->pszText;
    pInfo->pszText = nullptr;
    pInfo->nTextMax = 0;
    pInfo->bOwnsText = FALSE;
}

void CopyLogFont(LOGFONT& dest, const LOGFONT& source)
{
    dest = source;
    // The face name is cut to its 32 characters including the terminator.
    dest.lfFaceName[LF_FACESIZE - 1] = '\0';
}

int CompareByText(COXShortcutBar* pBar, HSHBGROUP hGroup1, HSHBGROUP hGroup2)
{
    const CString a = pBar->GetGroupText(hGroup1);
    const CString b = pBar->GetGroupText(hGroup2);
    return _mbsicmp(reinterpret_cast<const unsigned char*>(static_cast<LPCTSTR>(a)),
                    reinterpret_cast<const unsigned char*>(static_cast<LPCTSTR>(b)));
}

} // namespace

COXShortcutBar::COXShortcutBar()
{
    LOGFONT lf{};
    lf.lfHeight = -11;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    std::strcpy(lf.lfFaceName, "MS Sans Serif");
    if (!m_font.CreateFontIndirect(&lf))
        AfxThrowMemoryException();
}

COXShortcutBar::~COXShortcutBar()
{
    if (::IsWindow(m_hWnd))
        DeleteAllGroups();
    for (LPSHB_DESCRIPTOR pDescriptor : m_setDescriptors)
        delete pDescriptor;
    m_setDescriptors.clear();
    for (auto& entry : m_mapHandleToInfo)
        FreeText(entry.second.get());
    m_mapHandleToInfo.clear();
    for (auto& entry : m_mapHandleToListCtrl)
        DestroyListObject(entry.second);
    m_mapHandleToListCtrl.clear();
    m_mapHandleToBoundRect.clear();
    m_pDragImage.reset();
    if (::IsWindow(m_hWnd))
        DestroyWindow();
    m_pShortcutBarSkin.reset();
}

BOOL COXShortcutBar::Create(CWnd* pParent, const RECT& rect, DWORD dwBarStyle, UINT nID,
                            DWORD dwStyle)
{
    LPCTSTR lpszClass = AfxRegisterWndClass(0, ::LoadCursor(nullptr, IDC_ARROW));
    if (!CreateEx(0, lpszClass, nullptr, dwStyle | WS_CHILD, rect, pParent, nID))
        return FALSE;
    m_dwBarStyle = dwBarStyle;
    return InitShortcutBar();
}

void COXShortcutBar::PreSubclassWindow()
{
    CWnd::PreSubclassWindow();
    if (!AfxIsWindowCreationUnderway()) {
        m_dwBarStyle = 0x020F;
        InitShortcutBar();
    }
}

BOOL COXShortcutBar::InitShortcutBar()
{
    if (!CreateEditControl())
        return FALSE;
    EnableToolTips(TRUE);
    m_nCheckMouseTimer = SetTimer(SHB_IDTCHECKMOUSE, 500);
    // Fails quietly without OLE; the bar then simply takes no drags.
    if (COleDropTarget* pTarget = GetDropTarget())
        pTarget->Register(this);
    return TRUE;
}

COXShortcutBarSkin* COXShortcutBar::GetShortcutBarSkin()
{
    return OXLookupElementSkin<COXShortcutBarSkin, COXShortcutBarSkinClassic>(
        &COXSkin::m_pShortcutBarSkin, m_pShortcutBarSkin);
}

LRESULT COXShortcutBar::SendSHBNotification(UINT nCode, HSHBGROUP hGroup, LPARAM lParam,
                                            int nItem)
{
    SHB_NOTIFYHDR nm{};
    nm.lParam = lParam;
    return SendNotifyRecord(nm, nCode, hGroup, nItem);
}

LRESULT COXShortcutBar::SendNotifyRecord(SHB_NOTIFYHDR& nm, UINT nCode, HSHBGROUP hGroup,
                                         int nItem)
{
    if (!::IsWindow(m_hWnd))
        return 0;
    nm.hdr.code = nCode;
    nm.hGroup = hGroup;
    nm.nItem = nItem;
    return SHBSendNotify(this, &nm);
}

// --- validation and copying ---

LPSHB_GROUPINFO COXShortcutBar::GetInfo(HSHBGROUP hGroup) const
{
    auto it = m_mapHandleToInfo.find(hGroup);
    return it == m_mapHandleToInfo.end() ? nullptr : it->second.get();
}

BOOL COXShortcutBar::VerifyImage(int nImage) const
{
    return m_pImageList != nullptr && m_pImageList->GetSafeHandle() != nullptr && nImage >= 0 &&
           nImage < m_pImageList->GetImageCount();
}

BOOL COXShortcutBar::VerifyOrder(int nOrder) const
{
    return (nOrder >= SHBI_SORT && nOrder <= SHBI_FIRST) ||
           (nOrder >= 0 && nOrder < GetGroupCount());
}

BOOL COXShortcutBar::VerifyChildWnd(HWND hWnd) const
{
    return ::IsWindow(hWnd) && (::GetWindowLongPtr(hWnd, GWL_STYLE) & WS_CHILD) != 0 &&
           ::GetParent(hWnd) == m_hWnd;
}

BOOL COXShortcutBar::VerifyGroupInfo(const SHB_GROUPINFO* pInfo) const
{
    if (pInfo == nullptr || (pInfo->nMask & ~SHBIF_ALL) != 0)
        return FALSE;
    if ((pInfo->nMask & SHBIF_IMAGE) && !VerifyImage(pInfo->nImage))
        return FALSE;
    if ((pInfo->nMask & SHBIF_IMAGEEXPANDED) && !VerifyImage(pInfo->nImageExpanded))
        return FALSE;
    if ((pInfo->nMask & SHBIF_ORDER) && !VerifyOrder(pInfo->nOrder))
        return FALSE;
    if ((pInfo->nMask & SHBIF_VIEW) && (pInfo->nView < 0 || pInfo->nView > 3))
        return FALSE;
    if ((pInfo->nMask & SHBIF_CHILDWND) && !VerifyChildWnd(pInfo->hwndChild))
        return FALSE;
    return TRUE;
}

BOOL COXShortcutBar::CompareGroupInfo(const SHB_GROUPINFO* pInfo1,
                                      const SHB_GROUPINFO* pInfo2) const
{
    if (!VerifyGroupInfo(pInfo1) || !VerifyGroupInfo(pInfo2))
        return FALSE;
    const UINT mask = pInfo1->nMask;
    if ((mask & pInfo2->nMask) != mask)
        return FALSE;
    if (mask & SHBIF_TEXT) {
        const int len = pInfo1->nTextMax;
        if (len > 0 && (pInfo2->nTextMax < len || pInfo1->pszText == nullptr ||
                        pInfo2->pszText == nullptr ||
                        std::memcmp(pInfo1->pszText, pInfo2->pszText, len) != 0))
            return FALSE;
    }
    return !((mask & SHBIF_IMAGE) && pInfo1->nImage != pInfo2->nImage) &&
           !((mask & SHBIF_IMAGEEXPANDED) && pInfo1->nImageExpanded != pInfo2->nImageExpanded) &&
           !((mask & SHBIF_PARAM) && pInfo1->lParam != pInfo2->lParam) &&
           !((mask & SHBIF_ORDER) && pInfo1->nOrder != pInfo2->nOrder) &&
           !((mask & SHBIF_VIEW) && pInfo1->nView != pInfo2->nView) &&
           !((mask & SHBIF_DESCRIPTOR) && pInfo1->pDescriptor != pInfo2->pDescriptor) &&
           !((mask & SHBIF_CHILDWND) && pInfo1->hwndChild != pInfo2->hwndChild);
}

void COXShortcutBar::CopyDescriptor(LPSHB_DESCRIPTOR pDest, const SHB_DESCRIPTOR* pSource,
                                    UINT nFlags)
{
    if (nFlags & 1)
        *pDest = SHB_DESCRIPTOR{};
    const BYTE mask = (nFlags & (1 | 4)) ? pSource->nMask : pDest->nMask;
    if (mask & SHBIF_CLRBACK)
        pDest->clrBackground = pSource->clrBackground;
    if (mask & SHBIF_CLRTEXT)
        pDest->clrText = pSource->clrText;
    if (mask & SHBIF_HDRCLRBACK)
        pDest->clrHeaderBackground = pSource->clrHeaderBackground;
    if (mask & SHBIF_HDRCLRTEXT)
        pDest->clrHeaderText = pSource->clrHeaderText;
    if (mask & SHBIF_HDRTEXTFMT)
        pDest->nHeaderTextFormat = pSource->nHeaderTextFormat;
    if (mask & SHBIF_TEXTFONT)
        CopyLogFont(pDest->lfText, pSource->lfText);
    if (mask & SHBIF_HDRFONT)
        CopyLogFont(pDest->lfHeader, pSource->lfHeader);
    if (mask & SHBIF_HDRHEIGHT)
        pDest->nHeaderHeight = pSource->nHeaderHeight;
    pDest->nMask |= mask;
}

void COXShortcutBar::ReleaseDescriptor(LPSHB_DESCRIPTOR pDescriptor, HSHBGROUP hExcept)
{
    if (pDescriptor == nullptr)
        return;
    for (const auto& entry : m_mapHandleToInfo)
        if (entry.first != hExcept && entry.second->pDescriptor == pDescriptor)
            return;
    m_setDescriptors.erase(pDescriptor);
    delete pDescriptor;
}

BOOL COXShortcutBar::CheckCopy(LPSHB_GROUPINFO pDest, const SHB_GROUPINFO* pSource, UINT mask,
                               BOOL bInserting) const
{
    if ((mask & ~SHBIF_ALL) != 0)
        return FALSE;
    if ((mask & SHBIF_IMAGE) && pSource->nImage >= 0 && !VerifyImage(pSource->nImage))
        return FALSE;
    if ((mask & SHBIF_IMAGEEXPANDED) && pSource->nImageExpanded >= 0 &&
        !VerifyImage(pSource->nImageExpanded))
        return FALSE;
    if (mask & SHBIF_ORDER) {
        // A stored group only moves to a real place; a negative order would leave it nowhere.
        if (bInserting ? !VerifyOrder(pSource->nOrder)
                       : (pSource->nOrder < 0 || pSource->nOrder >= GetGroupCount()))
            return FALSE;
    }
    if ((mask & SHBIF_VIEW) && (pSource->nView < 0 || pSource->nView > 3))
        return FALSE;
    if ((mask & SHBIF_CHILDWND) && pSource->hwndChild != nullptr &&
        !VerifyChildWnd(pSource->hwndChild))
        return FALSE;
    (void)pDest;
    return TRUE;
}

BOOL COXShortcutBar::CopyGroupInfo(HSHBGROUP hDest, LPSHB_GROUPINFO pDest,
                                   const SHB_GROUPINFO* pSource, UINT nFlags)
{
    if (pDest == nullptr || pSource == nullptr)
        return FALSE;
    const BOOL bInserting = (nFlags & 2) != 0;
    const UINT mask =
        (nFlags & (1 | 4)) ? pSource->nMask : (pDest->nMask & pSource->nMask);
    // Every field is checked before any changes, so a refused copy leaves the group as it was.
    if (!CheckCopy(pDest, pSource, mask, bInserting))
        return FALSE;
    const int nOldOrder = pDest->nOrder;
    const BOOL bHadOrder = (pDest->nMask & SHBIF_ORDER) != 0;
    LPSHB_DESCRIPTOR pOldDescriptor = pDest->pDescriptor;
    if (nFlags & 1) {
        FreeText(pDest);
        *pDest = SHB_GROUPINFO{};
        pDest->pDescriptor = pOldDescriptor; // released below when the request has none
        if (!bInserting && bHadOrder) {
            // Replacing a record keeps the group's place.
            pDest->nOrder = nOldOrder;
            pDest->nMask |= SHBIF_ORDER;
        }
    }

    if (mask & SHBIF_TEXT) {
        FreeText(pDest);
        if (pSource->pszText != nullptr && pSource->nTextMax > 0) {
            // Stops at a terminator within the given length, so a length larger than the text
            // does not read past it.
            const size_t len = strnlen(pSource->pszText, static_cast<size_t>(pSource->nTextMax));
            pDest->pszText = new char[len + 1];
            std::memcpy(pDest->pszText, pSource->pszText, len);
            pDest->pszText[len] = '\0';
            pDest->nTextMax = static_cast<int>(len);
            pDest->bOwnsText = TRUE;
        }
        pDest->nMask |= SHBIF_TEXT;
    }
    auto copyImage = [&](UINT bit, int& dest, int source) {
        if (!(mask & bit))
            return;
        if (source < 0) {
            dest = -1;
            pDest->nMask &= ~bit;
        } else {
            dest = source;
            pDest->nMask |= bit;
        }
    };
    copyImage(SHBIF_IMAGE, pDest->nImage, pSource->nImage);
    copyImage(SHBIF_IMAGEEXPANDED, pDest->nImageExpanded, pSource->nImageExpanded);
    if (mask & SHBIF_PARAM) {
        pDest->lParam = pSource->lParam;
        pDest->nMask |= SHBIF_PARAM;
    }
    if (mask & SHBIF_ORDER) {
        if (!bInserting && bHadOrder && nOldOrder != pSource->nOrder) {
            // The group at the new place takes the old one.
            const HSHBGROUP hOther = FindGroupByOrder(pSource->nOrder);
            if (LPSHB_GROUPINFO pOther = hOther != hDest ? GetInfo(hOther) : nullptr)
                pOther->nOrder = nOldOrder;
        }
        pDest->nOrder = pSource->nOrder;
        pDest->nMask |= SHBIF_ORDER;
    }
    if (mask & SHBIF_VIEW) {
        pDest->nView = pSource->nView;
        pDest->nMask |= SHBIF_VIEW;
    }
    if (mask & SHBIF_CHILDWND) {
        pDest->hwndChild = pSource->hwndChild;
        if (pSource->hwndChild != nullptr)
            pDest->nMask |= SHBIF_CHILDWND;
        else
            pDest->nMask &= ~SHBIF_CHILDWND;
    }
    if (mask & SHBIF_DESCRIPTOR) {
        if (pSource->pDescriptor != nullptr) {
            if (pDest->pDescriptor == nullptr) {
                auto pNew = new SHB_DESCRIPTOR{};
                CopyDescriptor(pNew, pSource->pDescriptor, 1);
                m_setDescriptors.insert(pNew);
                pDest->pDescriptor = pNew;
            } else {
                CopyDescriptor(pDest->pDescriptor, pSource->pDescriptor, 4);
            }
            pDest->nMask |= SHBIF_DESCRIPTOR;
        } else {
            LPSHB_DESCRIPTOR pRelease = pDest->pDescriptor;
            pDest->pDescriptor = nullptr;
            pDest->nMask &= ~SHBIF_DESCRIPTOR;
            ReleaseDescriptor(pRelease, hDest);
        }
    } else if ((nFlags & 1) && pDest->pDescriptor != nullptr) {
        LPSHB_DESCRIPTOR pRelease = pDest->pDescriptor;
        pDest->pDescriptor = nullptr;
        ReleaseDescriptor(pRelease, hDest);
    }
    return TRUE;
}

void COXShortcutBar::ShiftGroupOrders(int nFirst, int nLast, int nDelta)
{
    if (nLast == -1)
        nLast = GetGroupCount() - 1;
    for (auto& entry : m_mapHandleToInfo) {
        int& order = entry.second->nOrder;
        if (order >= nFirst && order <= nLast)
            order += nDelta;
    }
}

// --- groups ---

HSHBGROUP COXShortcutBar::InsertGroup(const SHB_GROUPINFO* pGroupInfo)
{
    if (SendSHBNotification(SHBN_INSERTGROUP, 0, reinterpret_cast<LPARAM>(pGroupInfo)) != 0)
        return 0;
    if (!VerifyGroupInfo(pGroupInfo))
        return 0;
    const HSHBGROUP hGroup = NewGroupHandle();
    auto pInfo = std::make_unique<SHB_GROUPINFO>();
    if (!CopyGroupInfo(hGroup, pInfo.get(), pGroupInfo, 1 | 2)) {
        FreeText(pInfo.get());
        ReleaseDescriptor(pInfo->pDescriptor, hGroup);
        return 0;
    }
    const int count = GetGroupCount();
    int order = (pInfo->nMask & SHBIF_ORDER) ? pInfo->nOrder : SHBI_LAST;
    const BOOL bSort = order == SHBI_SORT;
    if (order == SHBI_SORT || order == SHBI_LAST) {
        order = count;
    } else if (order == SHBI_FIRST) {
        ShiftGroupOrders(0, -1, 1);
        order = 0;
    } else {
        ShiftGroupOrders(order, -1, 1);
    }
    pInfo->nOrder = order;
    pInfo->nMask |= SHBIF_ORDER;
    const HWND hwndChild = (pInfo->nMask & SHBIF_CHILDWND) ? pInfo->hwndChild : nullptr;
    m_mapHandleToInfo[hGroup] = std::move(pInfo);

    if (bSort && !SortGroups(1)) {
        RemoveGroup(hGroup);
        return 0;
    }
    if (hwndChild != nullptr) {
        ::SendMessage(hwndChild, SHBM_SETSHBGROUP, 0, static_cast<LPARAM>(hGroup));
    } else {
        COXSHBListCtrl* pList = nullptr;
        try {
            pList = CreateListCtrl();
        } catch (CMemoryException*) {
            pList = nullptr;
        }
        if (pList == nullptr) {
            RemoveGroup(hGroup);
            return 0;
        }
        m_mapHandleToListCtrl[hGroup] = pList;
        if (!CreateGroupWindow(hGroup)) {
            RemoveGroup(hGroup);
            return 0;
        }
    }
    CalculateBoundRects();
    return hGroup;
}

void COXShortcutBar::RemoveGroup(HSHBGROUP hGroup)
{
    LPSHB_GROUPINFO pInfo = GetInfo(hGroup);
    if (pInfo == nullptr)
        return;
    ShiftGroupOrders(pInfo->nOrder + 1, -1, -1);
    FreeText(pInfo);
    LPSHB_DESCRIPTOR pDescriptor = pInfo->pDescriptor;
    pInfo->pDescriptor = nullptr;
    ReleaseDescriptor(pDescriptor, hGroup);
    m_mapHandleToInfo.erase(hGroup);
    m_mapHandleToBoundRect.erase(hGroup);
    for (HSHBGROUP* p : {&m_hLastContextMenuGroup, &m_hEditGroup, &m_hDragGroup,
                         &m_hDropTargetGroup, &m_hPressedGroup, &m_hHotGroup, &m_hSuspectGroup,
                         &m_hDragCandidate})
        if (*p == hGroup)
            *p = 0;
    DestroyListCtrl(hGroup);
}

BOOL COXShortcutBar::DeleteGroup(HSHBGROUP hGroup)
{
    LPSHB_GROUPINFO pInfo = GetInfo(hGroup);
    if (pInfo == nullptr)
        return FALSE;
    if (SendSHBNotification(SHBN_DELETEGROUP, hGroup) != 0)
        return FALSE;
    const int nOrder = pInfo->nOrder;
    if (CWnd* pChild = GetGroupChildWnd(hGroup); pChild != nullptr && ::IsWindow(*pChild)) {
        pChild->ShowWindow(SW_HIDE);
        pChild->SendMessage(SHBM_DELETESHBGROUP);
    }
    const BOOL bWasExpanded = hGroup == m_hExpandedGroup;
    // The list goes last, after the layout no longer knows the group.
    COXSHBListCtrl* pList = nullptr;
    if (auto it = m_mapHandleToListCtrl.find(hGroup); it != m_mapHandleToListCtrl.end()) {
        pList = it->second;
        m_mapHandleToListCtrl.erase(it);
    }
    RemoveGroup(hGroup);
    if (bWasExpanded) {
        m_hExpandedGroup = 0;
        if (GetGroupCount() > 0) {
            ExpandGroup(FindGroupByOrder(std::min(nOrder, GetGroupCount() - 1)));
        } else {
            CalculateBoundRects();
            RedrawWindow();
        }
    } else {
        CalculateBoundRects();
        ShowChildWnd(m_hExpandedGroup, FALSE);
        RedrawWindow();
    }
    DestroyListObject(pList);
    return TRUE;
}

BOOL COXShortcutBar::DeleteAllGroups()
{
    BOOL bResult = TRUE;
    std::vector<HSHBGROUP> groups;
    for (const auto& entry : m_mapHandleToInfo)
        groups.push_back(entry.first);
    for (HSHBGROUP hGroup : groups)
        if (!DeleteGroup(hGroup))
            bResult = FALSE;
    return bResult;
}

void COXShortcutBar::DestroyListCtrl(HSHBGROUP hGroup)
{
    auto it = m_mapHandleToListCtrl.find(hGroup);
    if (it == m_mapHandleToListCtrl.end())
        return;
    COXSHBListCtrl* pList = it->second;
    m_mapHandleToListCtrl.erase(it);
    DestroyListObject(pList);
}

HSHBGROUP COXShortcutBar::ExpandGroup(HSHBGROUP hGroup)
{
    KillAutoExpandTimer();
    if (hGroup == m_hExpandedGroup || GetInfo(hGroup) == nullptr)
        return m_hExpandedGroup;
    if (SendSHBNotification(SHBN_GROUPEXPANDING, hGroup) != 0)
        return m_hExpandedGroup;
    const HSHBGROUP hOld = m_hExpandedGroup;
    m_hExpandedGroup = hGroup;
    if (GetShortcutBarSkin()->m_bHeadersFromTop && (m_dwBarStyle & SHB_STYLE_ANIMATEEXPAND) &&
        hOld != 0 && !m_rectChildWnd.IsRectEmpty())
        AnimateExpand(hOld, hGroup);
    CalculateBoundRects();
    if (CWnd* pOld = GetGroupChildWnd(hOld))
        pOld->ShowWindow(SW_HIDE);
    RedrawWindow();
    ShowChildWnd(hGroup, TRUE);
    SendSHBNotification(SHBN_GROUPEXPANDED, hGroup);
    return hOld;
}

void COXShortcutBar::AnimateExpand(HSHBGROUP hOld, HSHBGROUP hNew)
{
    const int n = m_rectChildWnd.Height() / 20;
    if (n <= 1)
        return;
    const int nOldOrder = GetGroupOrder(hOld);
    const int nNewOrder = GetGroupOrder(hNew);
    const BOOL bOldAbove = nOldOrder < nNewOrder;
    const int nUpper = std::min(nOldOrder, nNewOrder);
    const int nLower = std::max(nOldOrder, nNewOrder);
    CWnd* pOldChild = GetGroupChildWnd(hOld);
    for (int i = 0; i < n - 1; ++i) {
        int step = 20;
        if (i > n / 2) {
            ++i;
            step = 40;
        }
        CRect rectMoved;
        for (auto& entry : m_mapHandleToBoundRect) {
            const int order = GetGroupOrder(entry.first);
            if (order <= nUpper || order > nLower)
                continue;
            rectMoved.UnionRect(&rectMoved, &entry.second);
            entry.second.OffsetRect(0, bOldAbove ? -step : step);
            rectMoved.UnionRect(&rectMoved, &entry.second);
        }
        if (bOldAbove)
            m_rectChildWnd.bottom -= step;
        else
            m_rectChildWnd.top += step;
        if (m_rectChildWnd.bottom < m_rectChildWnd.top)
            m_rectChildWnd.SetRectEmpty();
        if (pOldChild != nullptr)
            pOldChild->SetWindowPos(nullptr, m_rectChildWnd.left, m_rectChildWnd.top,
                                    m_rectChildWnd.Width(), m_rectChildWnd.Height(),
                                    SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
        RedrawWindow(&rectMoved, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
        ::Sleep(100 / n);
    }
}

void COXShortcutBar::ShowChildWnd(HSHBGROUP hGroup, BOOL bRedraw)
{
    CWnd* pChild = GetGroupChildWnd(hGroup);
    if (pChild == nullptr || !::IsWindow(pChild->m_hWnd))
        return;
    if (m_rectChildWnd.IsRectEmpty()) {
        pChild->ShowWindow(SW_HIDE);
        return;
    }
    pChild->SetWindowPos(nullptr, m_rectChildWnd.left, m_rectChildWnd.top,
                         m_rectChildWnd.Width(), m_rectChildWnd.Height(),
                         SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    if (bRedraw)
        pChild->RedrawWindow(nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
    pChild->ShowWindow(SW_SHOW);
}

BOOL COXShortcutBar::SetGroupInfo(HSHBGROUP hGroup, const SHB_GROUPINFO* pGroupInfo,
                                  BOOL bReplace)
{
    LPSHB_GROUPINFO pInfo = GetInfo(hGroup);
    if (pInfo == nullptr || pGroupInfo == nullptr)
        return FALSE;
    const int nOldOrder = pInfo->nOrder;
    CWnd* pOldChild = GetGroupChildWnd(hGroup);
    if (!CopyGroupInfo(hGroup, pInfo, pGroupInfo, bReplace ? 5 : 4))
        return FALSE;
    const UINT mask = pGroupInfo->nMask;
    if (((mask & SHBIF_ORDER) && pInfo->nOrder != nOldOrder) || (mask & SHBIF_DESCRIPTOR))
        CalculateBoundRects();
    if (mask & SHBIF_CHILDWND) {
        if (pGroupInfo->hwndChild != nullptr) {
            ::SendMessage(pGroupInfo->hwndChild, SHBM_SETSHBGROUP, 0,
                          static_cast<LPARAM>(hGroup));
        } else if (m_mapHandleToListCtrl.find(hGroup) == m_mapHandleToListCtrl.end() ||
                   !::IsWindow(m_mapHandleToListCtrl[hGroup]->m_hWnd)) {
            if (m_mapHandleToListCtrl[hGroup] == nullptr)
                m_mapHandleToListCtrl[hGroup] = CreateListCtrl();
            if (m_mapHandleToListCtrl[hGroup] == nullptr || !CreateGroupWindow(hGroup)) {
                DestroyListCtrl(hGroup);
                return FALSE;
            }
        }
        // The window that stood in the child's place steps aside.
        CWnd* pNewChild = GetGroupChildWnd(hGroup);
        if (pOldChild != nullptr && pNewChild != nullptr && pOldChild->m_hWnd != pNewChild->m_hWnd &&
            ::IsWindow(pOldChild->m_hWnd))
            pOldChild->ShowWindow(SW_HIDE);
        if (hGroup == m_hExpandedGroup)
            ShowChildWnd(hGroup, TRUE);
    }
    if (CWnd* pChild = GetGroupChildWnd(hGroup))
        pChild->SendMessage(SHBM_GROUPINFOCHANGED, 0, static_cast<LPARAM>(mask));
    return TRUE;
}

BOOL COXShortcutBar::SetGroupText(HSHBGROUP hGroup, LPCTSTR lpszText)
{
    SHB_GROUPINFO info{};
    info.nMask = SHBIF_TEXT;
    info.pszText = const_cast<LPSTR>(lpszText);
    info.nTextMax = lpszText != nullptr ? static_cast<int>(std::strlen(lpszText)) : 0;
    return SetGroupInfo(hGroup, &info);
}

BOOL COXShortcutBar::SetGroupOrder(HSHBGROUP hGroup, int nOrder)
{
    SHB_GROUPINFO info{};
    info.nMask = SHBIF_ORDER;
    info.nOrder = nOrder;
    return SetGroupInfo(hGroup, &info);
}

BOOL COXShortcutBar::ForEachGroup(HSHBGROUP hGroup, const SHB_GROUPINFO& info)
{
    if (hGroup != 0)
        return SetGroupInfo(hGroup, &info);
    std::vector<HSHBGROUP> groups;
    for (const auto& entry : m_mapHandleToInfo)
        groups.push_back(entry.first);
    for (HSHBGROUP h : groups)
        if (!SetGroupInfo(h, &info))
            return FALSE;
    return TRUE;
}

BOOL COXShortcutBar::SetGroupView(HSHBGROUP hGroup, int nView)
{
    if (nView < 0 || nView > 3)
        return FALSE;
    SHB_GROUPINFO info{};
    info.nMask = SHBIF_VIEW;
    info.nView = nView;
    return ForEachGroup(hGroup, info);
}

BOOL COXShortcutBar::SetGroupDescriptor(HSHBGROUP hGroup, const SHB_DESCRIPTOR* pDescriptor)
{
    SHB_GROUPINFO info{};
    info.nMask = SHBIF_DESCRIPTOR;
    info.pDescriptor = const_cast<LPSHB_DESCRIPTOR>(pDescriptor);
    return ForEachGroup(hGroup, info);
}

BOOL COXShortcutBar::SetGroupBkColor(HSHBGROUP hGroup, COLORREF clr)
{
    SHB_DESCRIPTOR descriptor{};
    descriptor.clrBackground = clr;
    descriptor.nMask = SHBIF_CLRBACK;
    return SetGroupDescriptor(hGroup, &descriptor);
}

BOOL COXShortcutBar::SetGroupTextColor(HSHBGROUP hGroup, COLORREF clr)
{
    SHB_DESCRIPTOR descriptor{};
    descriptor.clrText = clr;
    descriptor.nMask = SHBIF_CLRTEXT;
    return SetGroupDescriptor(hGroup, &descriptor);
}

// --- getters ---

CString COXShortcutBar::GetGroupText(HSHBGROUP hGroup) const
{
    LPSHB_GROUPINFO pInfo = GetInfo(hGroup);
    if (pInfo == nullptr || !(pInfo->nMask & SHBIF_TEXT) || pInfo->pszText == nullptr)
        return CString();
    return CString(pInfo->pszText);
}

int COXShortcutBar::GetGroupImage(HSHBGROUP hGroup) const
{
    LPSHB_GROUPINFO pInfo = GetInfo(hGroup);
    return pInfo != nullptr && (pInfo->nMask & SHBIF_IMAGE) ? pInfo->nImage : -1;
}

int COXShortcutBar::GetGroupImageExpanded(HSHBGROUP hGroup) const
{
    LPSHB_GROUPINFO pInfo = GetInfo(hGroup);
    return pInfo != nullptr && (pInfo->nMask & SHBIF_IMAGEEXPANDED) ? pInfo->nImageExpanded
                                                                    : GetGroupImage(hGroup);
}

int COXShortcutBar::GetGroupOrder(HSHBGROUP hGroup) const
{
    LPSHB_GROUPINFO pInfo = GetInfo(hGroup);
    return pInfo != nullptr && (pInfo->nMask & SHBIF_ORDER) ? pInfo->nOrder : -1;
}

int COXShortcutBar::GetGroupView(HSHBGROUP hGroup) const
{
    LPSHB_GROUPINFO pInfo = GetInfo(hGroup);
    if (pInfo == nullptr)
        return -1;
    return (pInfo->nMask & SHBIF_VIEW) ? pInfo->nView : SHB_LARGEICON;
}

LPARAM COXShortcutBar::GetGroupData(HSHBGROUP hGroup) const
{
    LPSHB_GROUPINFO pInfo = GetInfo(hGroup);
    return pInfo != nullptr && (pInfo->nMask & SHBIF_PARAM) ? pInfo->lParam : 0;
}

CWnd* COXShortcutBar::GetGroupChildWnd(HSHBGROUP hGroup) const
{
    LPSHB_GROUPINFO pInfo = GetInfo(hGroup);
    if (pInfo == nullptr)
        return nullptr;
    if ((pInfo->nMask & SHBIF_CHILDWND) && pInfo->hwndChild != nullptr)
        return CWnd::FromHandle(pInfo->hwndChild);
    auto it = m_mapHandleToListCtrl.find(hGroup);
    if (it != m_mapHandleToListCtrl.end() && it->second != nullptr &&
        ::IsWindow(it->second->m_hWnd))
        return it->second;
    return nullptr;
}

const SHB_DESCRIPTOR* COXShortcutBar::GetDescriptor(HSHBGROUP hGroup, BYTE nBit) const
{
    LPSHB_GROUPINFO pInfo = GetInfo(hGroup);
    if (pInfo == nullptr || pInfo->pDescriptor == nullptr || !(pInfo->nMask & SHBIF_DESCRIPTOR))
        return nullptr;
    return (pInfo->pDescriptor->nMask & nBit) ? pInfo->pDescriptor : nullptr;
}

COLORREF COXShortcutBar::GetGroupBkColor(HSHBGROUP hGroup)
{
    const SHB_DESCRIPTOR* p = GetDescriptor(hGroup, SHBIF_CLRBACK);
    return p != nullptr ? p->clrBackground : GetShortcutBarSkin()->GetBackgroundColor(this);
}

COLORREF COXShortcutBar::GetGroupTextColor(HSHBGROUP hGroup)
{
    const SHB_DESCRIPTOR* p = GetDescriptor(hGroup, SHBIF_CLRTEXT);
    return p != nullptr ? p->clrText : GetShortcutBarSkin()->GetTextColor(this);
}

BOOL COXShortcutBar::HasGroupBkColor(HSHBGROUP hGroup) const
{
    return GetDescriptor(hGroup, SHBIF_CLRBACK) != nullptr;
}

COLORREF COXShortcutBar::GetGroupHeaderBkColor(HSHBGROUP hGroup) const
{
    const SHB_DESCRIPTOR* p = GetDescriptor(hGroup, SHBIF_HDRCLRBACK);
    return p != nullptr ? p->clrHeaderBackground : ::GetSysColor(COLOR_BTNFACE);
}

COLORREF COXShortcutBar::GetGroupHeaderTextColor(HSHBGROUP hGroup) const
{
    const SHB_DESCRIPTOR* p = GetDescriptor(hGroup, SHBIF_HDRCLRTEXT);
    return p != nullptr ? p->clrHeaderText : ::GetSysColor(COLOR_BTNTEXT);
}

UINT COXShortcutBar::GetGroupHeaderTextFormat(HSHBGROUP hGroup) const
{
    const SHB_DESCRIPTOR* p = GetDescriptor(hGroup, SHBIF_HDRTEXTFMT);
    return p != nullptr ? p->nHeaderTextFormat : kDefaultHeaderFormat;
}

LPLOGFONT COXShortcutBar::GetGroupHeaderFont(HSHBGROUP hGroup) const
{
    if (const SHB_DESCRIPTOR* p = GetDescriptor(hGroup, SHBIF_HDRFONT))
        return const_cast<LPLOGFONT>(&p->lfHeader);
    static LOGFONT s_lf;
    s_lf = LOGFONT{};
    m_font.GetLogFont(&s_lf);
    return &s_lf;
}

LPLOGFONT COXShortcutBar::GetGroupTextFont(HSHBGROUP hGroup) const
{
    if (const SHB_DESCRIPTOR* p = GetDescriptor(hGroup, SHBIF_TEXTFONT))
        return const_cast<LPLOGFONT>(&p->lfText);
    static LOGFONT s_lf;
    s_lf = LOGFONT{};
    HFONT hFont = nullptr;
    if (CWnd* pChild = GetGroupChildWnd(hGroup))
        hFont = reinterpret_cast<HFONT>(pChild->SendMessage(WM_GETFONT));
    if (hFont == nullptr && ::IsWindow(m_hWnd))
        hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (hFont == nullptr)
        hFont = static_cast<HFONT>(m_font.GetSafeHandle());
    ::GetObject(hFont, sizeof(LOGFONT), &s_lf);
    return &s_lf;
}

int COXShortcutBar::GetGroupHeaderHeight(HSHBGROUP hGroup)
{
    if (const SHB_DESCRIPTOR* p = GetDescriptor(hGroup, SHBIF_HDRHEIGHT))
        return p->nHeaderHeight;
    return GetShortcutBarSkin()->GetSkinType() == 2 ? 32 : 18;
}

HSHBGROUP COXShortcutBar::FindGroup(const SHB_GROUPINFO* pGroupInfo) const
{
    for (const auto& entry : m_mapHandleToInfo)
        if (CompareGroupInfo(pGroupInfo, entry.second.get()))
            return entry.first;
    return 0;
}

HSHBGROUP COXShortcutBar::FindGroupByOrder(int nOrder) const
{
    for (const auto& entry : m_mapHandleToInfo)
        if ((entry.second->nMask & SHBIF_ORDER) && entry.second->nOrder == nOrder)
            return entry.first;
    return 0;
}

BOOL COXShortcutBar::SortGroups(int nDirection, SHBCompareFn pfnCompare)
{
    m_nSortOrder = nDirection;
    const int count = GetGroupCount();
    if (count < 2 || nDirection == 0)
        return TRUE;
    if (pfnCompare == nullptr)
        pfnCompare = CompareByText;
    BOOL bSwapped = TRUE;
    while (bSwapped) {
        bSwapped = FALSE;
        for (int i = 0; i < count - 1; ++i) {
            const HSHBGROUP h1 = FindGroupByOrder(i);
            const HSHBGROUP h2 = FindGroupByOrder(i + 1);
            if (h1 == 0 || h2 == 0)
                return FALSE;
            if (nDirection * pfnCompare(this, h1, h2) > 0) {
                GetInfo(h1)->nOrder = i + 1;
                GetInfo(h2)->nOrder = i;
                bSwapped = TRUE;
            }
        }
    }
    if (::IsWindow(m_hWnd)) {
        CalculateBoundRects();
        ShowChildWnd(m_hExpandedGroup, FALSE);
        Invalidate(FALSE);
    }
    return TRUE;
}

// --- layout and hit testing ---

void COXShortcutBar::CalculateBoundRects()
{
    m_rectChildWnd.SetRectEmpty();
    m_mapHandleToBoundRect.clear();
    if (GetGroupCount() == 0 || !::IsWindow(m_hWnd))
        return;
    CRect client;
    GetClientRect(&client);
    int top = client.top;
    int lastBottom = client.top;
    for (int order = 0; order < GetGroupCount(); ++order) {
        const HSHBGROUP hGroup = FindGroupByOrder(order);
        if (hGroup == 0)
            continue;
        CRect rect(client.left, top, client.right, top + GetGroupHeaderHeight(hGroup));
        m_mapHandleToBoundRect[hGroup] = rect;
        lastBottom = rect.bottom;
        top = rect.bottom + m_nGroupMargin;
    }
    const int free = client.bottom - lastBottom;
    const BOOL bFromTop = GetShortcutBarSkin()->m_bHeadersFromTop;
    if (m_hExpandedGroup == 0 || !(free > 0 || bFromTop))
        return;
    const CRect rectExpanded = m_mapHandleToBoundRect[m_hExpandedGroup];
    CRect child = bFromTop ? CRect(client.left, rectExpanded.bottom, client.right,
                                   rectExpanded.bottom + free)
                           : CRect(client.left, client.top + COXShortcutBarSkin2003::kTitleBandHeight,
                                   client.right, client.top + free);
    child.left += m_rectChildWndMargins.left;
    child.top += m_rectChildWndMargins.top;
    child.right -= m_rectChildWndMargins.right;
    child.bottom -= m_rectChildWndMargins.bottom;
    if (child.Width() > 0 && child.Height() > 0)
        m_rectChildWnd = child;
    for (auto& entry : m_mapHandleToBoundRect)
        if (!bFromTop || entry.second.top >= rectExpanded.bottom + m_nGroupMargin)
            entry.second.OffsetRect(0, free);
}

HSHBGROUP COXShortcutBar::HitTest(CPoint point, int* pFlags) const
{
    int flags = SHB_NOWHERE;
    HSHBGROUP hResult = 0;
    if (m_hExpandedGroup != 0 && m_rectChildWnd.PtInRect(point)) {
        flags = SHB_ONCHILD;
        hResult = m_hExpandedGroup;
    } else {
        for (int order = 0; order < GetGroupCount() && hResult == 0; ++order) {
            const HSHBGROUP hGroup = FindGroupByOrder(order);
            auto it = m_mapHandleToBoundRect.find(hGroup);
            if (it != m_mapHandleToBoundRect.end() && it->second.PtInRect(point)) {
                flags = SHB_ONHEADER;
                hResult = hGroup;
            }
        }
    }
    if (pFlags != nullptr)
        *pFlags = flags;
    return hResult;
}

CRect COXShortcutBar::GetGroupHeaderRect(HSHBGROUP hGroup) const
{
    auto it = m_mapHandleToBoundRect.find(hGroup);
    return it == m_mapHandleToBoundRect.end() ? CRect() : it->second;
}

// --- painting ---

void COXShortcutBar::OnPaint()
{
    CPaintDC dc(this);
    CRect client;
    GetClientRect(&client);
    if (!m_rectChildWnd.IsRectEmpty())
        dc.ExcludeClipRect(&m_rectChildWnd);
    const int saved = dc.SaveDC();
    DrawBackground(&dc);
    dc.RestoreDC(saved);
    for (int order = 0; order < GetGroupCount(); ++order) {
        const HSHBGROUP hGroup = FindGroupByOrder(order);
        const CRect rect = GetGroupHeaderRect(hGroup);
        if (rect.IsRectEmpty() || !::RectVisible(dc.m_hDC, &rect))
            continue;
        CDC memDC;
        CBitmap bitmap;
        if (!memDC.CreateCompatibleDC(&dc) ||
            !bitmap.CreateCompatibleBitmap(&dc, rect.Width(), rect.Height()))
            return;
        CBitmap* pOld = memDC.SelectObject(&bitmap);
        DrawGroupHeaderAt(&memDC, hGroup, rect.Size());
        dc.BitBlt(rect.left, rect.top, rect.Width(), rect.Height(), &memDC, 0, 0, SRCCOPY);
        memDC.SelectObject(pOld);
    }
}

void COXShortcutBar::DrawGroupHeader(LPDRAWITEMSTRUCT lpDrawItemStruct)
{
    if (SendSHBNotification(SHBN_DRAWHEADER, lpDrawItemStruct->itemID,
                            reinterpret_cast<LPARAM>(lpDrawItemStruct)) != 0)
        return;
    GetShortcutBarSkin()->DrawGroupHeader(lpDrawItemStruct, this);
}

void COXShortcutBar::DrawBackground(CDC* pDC)
{
    COXShortcutBarSkin* pSkin = GetShortcutBarSkin();
    const COLORREF clr = m_hExpandedGroup != 0 ? GetGroupBkColor(m_hExpandedGroup)
                                               : pSkin->GetBackgroundColor(this);
    for (const auto& entry : m_mapHandleToBoundRect)
        pDC->ExcludeClipRect(&entry.second);
    if (!m_rectChildWnd.IsRectEmpty())
        pDC->ExcludeClipRect(&m_rectChildWnd);
    pSkin->DrawBarDecoration(this, pDC);
    CRect client;
    GetClientRect(&client);
    pSkin->FillBackground(pDC, client, this,
                          m_hExpandedGroup != 0 && HasGroupBkColor(m_hExpandedGroup), clr);
}

void COXShortcutBar::OnSize(UINT nType, int cx, int cy)
{
    CWnd::Default();
    CalculateBoundRects();
    ShowChildWnd(m_hExpandedGroup, TRUE);
    Invalidate(FALSE);
}

void COXShortcutBar::OnDestroy()
{
    for (UINT_PTR* pTimer : {&m_nCheckForDragTimer, &m_nWaitForAutoExpandTimer,
                             &m_nCheckMouseTimer})
        if (*pTimer != 0) {
            KillTimer(*pTimer);
            *pTimer = 0;
        }
    Default();
}

void COXShortcutBar::DrawGroupHeaderAt(CDC* pDC, HSHBGROUP hGroup, CSize size)
{
    DRAWITEMSTRUCT dis{};
    dis.CtlID = static_cast<UINT>(GetDlgCtrlID());
    dis.itemID = static_cast<UINT>(hGroup);
    dis.itemAction = ODA_DRAWENTIRE;
    dis.itemState = ODS_DEFAULT;
    dis.hwndItem = m_hWnd;
    dis.hDC = pDC->m_hDC;
    dis.rcItem = CRect(CPoint(0, 0), size);
    dis.itemData = hGroup;
    DrawGroupHeader(&dis);
}
