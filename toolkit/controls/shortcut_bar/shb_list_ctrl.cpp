// The shortcut-bar list: creation, the list-view messages it answers, geometry, scrolling and
// the mouse. Painting and renaming are in shb_list_paint.cpp, drag and drop in
// shb_list_dragdrop.cpp.
#include "toolkit/controls/shortcut_bar/shb_list_ctrl.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "toolkit/controls/cooltoolbar/cool_toolbar.h"
#include "toolkit/controls/shortcut_bar/shortcut_bar.h"
#include "toolkit/controls/shortcut_bar/shortcut_bar_res.h"
#include "toolkit/frames/skins/shortcutbar_skin.h"

namespace {

constexpr int kMargin = 2;          // above the first item and below the last visible row
constexpr int kItemGap = 6;         // between two items
constexpr int kDragThreshold = 8;   // pixels (x plus y) a pressed item moves before it drags
constexpr UINT kMouseCheckMs = 200;
constexpr UINT kHeldScrollMs = 200;
constexpr UINT kAutoScrollMs = 400;
constexpr DWORD kComCtl470 = 0x00040046;

bool LeftButtonDown()
{
    const int vk = ::GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    return (::GetAsyncKeyState(vk) & 0x8000) != 0;
}

// The common-controls version, asked once by the first list of the process.
DWORD ListComCtlVersion()
{
    static const DWORD version = [] {
        DWORD major = 0, minor = 0;
        if (FAILED(OXGetComCtlVersion(&major, &minor)))
            return DWORD{0x00040000};
        return (major << 16) | minor;
    }();
    return version;
}

} // namespace

IMPLEMENT_DYNCREATE(COXSHBListCtrl, CListCtrl)

BEGIN_MESSAGE_MAP(COXSHBListCtrl, CListCtrl)
ON_WM_PAINT()
ON_WM_SIZE()
ON_WM_ERASEBKGND()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONDOWN()
ON_MESSAGE(WM_LBUTTONDBLCLK, OnLButtonDblClkMessage)
ON_WM_LBUTTONUP()
ON_WM_TIMER()
ON_WM_DESTROY()
ON_MESSAGE(WM_RBUTTONDOWN, OnSwallow)
ON_MESSAGE(WM_MBUTTONDOWN, OnSwallow)
ON_WM_RBUTTONUP()
ON_MESSAGE(SHBDTM_DRAGENTER, OnDragEnter)
ON_MESSAGE(SHBDTM_DRAGOVER, OnDragOver)
ON_MESSAGE(SHBDTM_DRAGLEAVE, OnDragLeave)
ON_MESSAGE(SHBDTM_DROP, OnDrop)
ON_MESSAGE(SHBM_POPULATECONTEXTMENU, OnPopulateContextMenu)
ON_MESSAGE(SHBM_SETSHBGROUP, OnSetShbGroup)
ON_MESSAGE(SHBM_GROUPINFOCHANGED, OnGroupInfoChanged)
ON_MESSAGE(SHBM_SHBINFOCHANGED, OnShbInfoChanged)
ON_MESSAGE(SHBM_CHECKMOUSEPOS, OnCheckMousePos)
ON_MESSAGE(SHBM_STARTDRAGDROP, OnStartDragDrop)
END_MESSAGE_MAP()

COXSHBListCtrl::COXSHBListCtrl()
{
    ListComCtlVersion();
}

COXSHBListCtrl::~COXSHBListCtrl()
{
    DestroyWindow();
}

BOOL COXSHBListCtrl::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    m_bInCreate = TRUE;
    // The items are painted here, so the editor child must be clipped out of that painting.
    const BOOL ok = CListCtrl::Create((dwStyle & ~LVS_TYPEMASK) | WS_CLIPCHILDREN, rect,
                                      pParentWnd, nID);
    m_bInCreate = FALSE;
    return ok && InitListCtrl();
}

void COXSHBListCtrl::PreSubclassWindow()
{
    ModifyStyle(LVS_TYPEMASK, 0);
    if (!m_bInCreate)
        InitListCtrl();
}

BOOL COXSHBListCtrl::InitListCtrl()
{
    if (!::IsWindow(m_edit.m_hWnd) && !CreateEditControl())
        return FALSE;
    EnableToolTips(TRUE);
    COleDropTarget* pTarget = GetDropTarget();
    if (pTarget != nullptr)
        pTarget->Register(this);
    return TRUE;
}

BOOL COXSHBListCtrl::CreateEditControl()
{
    return m_edit.Create(WS_CHILD | WS_BORDER, CRect(0, 0, 0, 0), this, SHB_IDC_EDIT);
}

// ---- The bar or the list's own settings ----

DWORD COXSHBListCtrl::GetBarStyle() const
{
    if (m_pShortcutBar != nullptr)
        return m_pShortcutBar->GetBarStyle();
    const DWORD style = GetStyle();
    const DWORD exStyle = static_cast<DWORD>(::SendMessage(m_hWnd, LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
    DWORD bar = 0;
    if ((style & LVS_NOSCROLL) != 0)
        bar |= SHB_STYLE_NOSCROLLBUTTONS;
    if ((style & LVS_EDITLABELS) != 0)
        bar |= SHB_STYLE_EDITITEMS;
    if ((style & LVS_SHOWSELALWAYS) != 0)
        bar |= SHB_STYLE_SHOWACTIVE;
    if ((exStyle & LVS_EX_UNDERLINEHOT) != 0)
        bar |= SHB_STYLE_UNDERLINEHOT;
    if ((exStyle & LVS_EX_INFOTIP) != 0)
        bar |= SHB_STYLE_INFOTIPS;
    return bar;
}

int COXSHBListCtrl::GetView() const
{
    if (m_pShortcutBar != nullptr)
        return m_pShortcutBar->GetGroupView(m_hGroup) == 2 ? 2 : 1;
    return (GetStyle() & LVS_TYPEMASK) == LVS_SMALLICON ? 2 : 1;
}

COLORREF COXSHBListCtrl::GetBkColor() const
{
    return static_cast<COLORREF>(::SendMessage(m_hWnd, LVM_GETBKCOLOR, 0, 0));
}

COLORREF COXSHBListCtrl::GetTextColor() const
{
    return static_cast<COLORREF>(::SendMessage(m_hWnd, LVM_GETTEXTCOLOR, 0, 0));
}

HFONT COXSHBListCtrl::ItemFont() const
{
    if (m_pShortcutBar != nullptr) {
        const LOGFONT* pLogFont = m_pShortcutBar->GetGroupTextFont(m_hGroup);
        if (pLogFont != nullptr) {
            // The bar answers from a buffer its next call overwrites: keep a font of our own.
            LOGFONT current{};
            if (m_fontItem.GetSafeHandle() != nullptr)
                m_fontItem.GetLogFont(&current);
            if (m_fontItem.GetSafeHandle() == nullptr ||
                std::memcmp(&current, pLogFont, sizeof current) != 0) {
                m_fontItem.DeleteObject();
                m_fontItem.CreateFontIndirect(pLogFont);
            }
            if (m_fontItem.GetSafeHandle() != nullptr)
                return static_cast<HFONT>(m_fontItem.GetSafeHandle());
        }
    }
    HFONT hFont = reinterpret_cast<HFONT>(::SendMessage(m_hWnd, WM_GETFONT, 0, 0));
    return hFont != nullptr ? hFont : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

CSize COXSHBListCtrl::ScrollButtonSize() const
{
    return m_pShortcutBar != nullptr ? m_pShortcutBar->GetScrollButtonSize() : CSize(16, 16);
}

UINT COXSHBListCtrl::ScrollDelay(BOOL bAuto) const
{
    if (m_pShortcutBar != nullptr)
        return bAuto ? m_pShortcutBar->GetAutoScrollingDelay() : m_pShortcutBar->GetScrollingDelay();
    return bAuto ? kAutoScrollMs : kHeldScrollMs;
}

BOOL COXSHBListCtrl::IsEditingHeader() const
{
    return m_pShortcutBar != nullptr && m_pShortcutBar->GetEditedGroup() != 0;
}

LRESULT COXSHBListCtrl::SendSHBNotification(SHB_NOTIFYHDR* pNotify) const
{
    // A list in a bar speaks through the bar: its window, its id, its owner.
    pNotify->hGroup = m_hGroup;
    CWnd* pFrom = m_pShortcutBar != nullptr ? static_cast<CWnd*>(m_pShortcutBar)
                                            : const_cast<COXSHBListCtrl*>(this);
    return SHBSendNotify(pFrom, pNotify);
}

SHB_NOTIFYHDR COXSHBListCtrl::Notify(UINT code, int nItem, LPARAM lParam)
{
    SHB_NOTIFYHDR nm{};
    nm.hdr.code = code;
    nm.nItem = nItem;
    nm.lParam = lParam;
    return nm;
}

// ---- Messages ----

LRESULT COXSHBListCtrl::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    // The common control shows scroll bars when its own layout overflows; this list scrolls
    // with its buttons, so the bars never get room.
    if (message == WM_NCCALCSIZE && (GetStyle() & (WS_HSCROLL | WS_VSCROLL)) != 0)
        ::SetWindowLongPtr(m_hWnd, GWL_STYLE,
                           static_cast<LONG_PTR>(GetStyle() & ~(WS_HSCROLL | WS_VSCROLL)));
    if (message >= LVM_FIRST && message < LVM_FIRST + 0x100 &&
        HandleListViewMessage(message, wParam, lParam, result))
        return result;
    return CListCtrl::WindowProc(message, wParam, lParam);
}

BOOL COXSHBListCtrl::HandleListViewMessage(UINT message, WPARAM wParam, LPARAM lParam,
                                          LRESULT& result)
{
    if (m_pShortcutBar != nullptr && HandleBarColours(message, lParam, result))
        return TRUE;
    switch (message) {
    case LVM_INSERTITEM:
        result = OnInsertItem(wParam, lParam);
        return TRUE;
    case LVM_DELETEITEM:
        result = OnDeleteItem(wParam, lParam);
        return TRUE;
    case LVM_DELETEALLITEMS:
        result = OnDeleteAllItems(wParam, lParam);
        return TRUE;
    case LVM_SETITEM:
    case LVM_SETITEMTEXT:
        result = DefWindowProc(message, wParam, lParam);
        if (result != 0)
            Relayout(TRUE);
        return TRUE;
    case LVM_SORTITEMS:
        result = DefWindowProc(message, wParam, lParam);
        if (result != 0) {
            m_nSelectedItem = m_nActiveItem = -1;
            Relayout(TRUE);
        }
        return TRUE;
    case LVM_FINDITEM:
        result = OnFindItem(wParam, lParam);
        return TRUE;
    case LVM_GETITEMRECT: {
        auto* pRect = reinterpret_cast<RECT*>(lParam);
        result = pRect != nullptr &&
                 GetItemRect(static_cast<int>(wParam), pRect, static_cast<UINT>(pRect->left));
        return TRUE;
    }
    case LVM_GETITEMPOSITION: {
        const ItemRects* r = Rects(static_cast<int>(wParam));
        auto* pPoint = reinterpret_cast<POINT*>(lParam);
        result = r != nullptr && pPoint != nullptr;
        if (result)
            *pPoint = ClientBound(static_cast<int>(wParam)).TopLeft();
        return TRUE;
    }
    case LVM_HITTEST: {
        auto* pInfo = reinterpret_cast<LVHITTESTINFO*>(lParam);
        int flags = 0;
        pInfo->iItem = HitTestItem(pInfo->pt, &flags, FALSE);
        pInfo->flags = static_cast<UINT>(flags);
        result = pInfo->iItem;
        return TRUE;
    }
    case LVM_ENSUREVISIBLE:
        result = EnsureVisible(static_cast<int>(wParam), static_cast<BOOL>(lParam));
        return TRUE;
    case LVM_SCROLL:
        result = Scroll(CSize(static_cast<int>(wParam), static_cast<int>(lParam)));
        return TRUE;
    case LVM_REDRAWITEMS:
        for (int i = static_cast<int>(wParam); i <= static_cast<int>(lParam) && Rects(i); ++i)
            RedrawItem(i);
        result = TRUE;
        return TRUE;
    case LVM_UPDATE:
        RedrawItem(static_cast<int>(wParam));
        result = TRUE;
        return TRUE;
    case LVM_GETTOPINDEX:
        result = FirstVisibleItem();
        return TRUE;
    case LVM_GETCOUNTPERPAGE: {
        CRect client;
        GetClientRect(&client);
        int n = 0;
        for (const auto& [item, r] : m_mapRects) {
            CRect b = ClientBound(item), meet;
            n += meet.IntersectRect(&b, &client) ? 1 : 0;
        }
        result = n;
        return TRUE;
    }
    case LVM_GETORIGIN:
        if (lParam != 0)
            *reinterpret_cast<POINT*>(lParam) = m_ptOrigin;
        result = TRUE;
        return TRUE;
    case LVM_GETVIEWRECT:
        if (lParam != 0)
            *reinterpret_cast<RECT*>(lParam) = GetViewRect();
        result = TRUE;
        return TRUE;
    case LVM_SETHOTITEM:
        result = SetHotItem(static_cast<int>(wParam));
        return TRUE;
    case LVM_GETHOTITEM:
        result = m_nHotItem;
        return TRUE;
    case LVM_EDITLABEL: {
        // The editor's window, so that the plain list-view wrappers keep working.
        COXSHBEdit* pEdit = EditLabel(static_cast<int>(wParam));
        result = reinterpret_cast<LRESULT>(pEdit != nullptr ? pEdit->m_hWnd : nullptr);
        return TRUE;
    }
    case LVM_GETEDITCONTROL:
        result = reinterpret_cast<LRESULT>(m_edit.m_hWnd);
        return TRUE;
    case LVM_CREATEDRAGIMAGE: {
        // A new image list handle the caller destroys, as the common control answers.
        CImageList* pList = CreateDragImage(static_cast<int>(wParam),
                                            reinterpret_cast<LPPOINT>(lParam));
        result = pList != nullptr ? reinterpret_cast<LRESULT>(pList->Detach()) : 0;
        delete pList;
        return TRUE;
    }
    default:
        return FALSE;
    }
}

BOOL COXSHBListCtrl::HandleBarColours(UINT message, LPARAM lParam, LRESULT& result)
{
    // In a bar the colours are the group's.
    switch (message) {
    case LVM_GETBKCOLOR:
    case LVM_GETTEXTBKCOLOR:
        result = m_pShortcutBar->GetGroupBkColor(m_hGroup);
        return TRUE;
    case LVM_SETBKCOLOR:
        result = m_pShortcutBar->SetGroupBkColor(m_hGroup, static_cast<COLORREF>(lParam));
        return TRUE;
    case LVM_GETTEXTCOLOR:
        result = m_pShortcutBar->GetGroupTextColor(m_hGroup);
        return TRUE;
    case LVM_SETTEXTCOLOR:
        result = m_pShortcutBar->SetGroupTextColor(m_hGroup, static_cast<COLORREF>(lParam));
        return TRUE;
    case LVM_SETTEXTBKCOLOR:
        result = 0;
        return TRUE;
    default:
        return FALSE;
    }
}

LRESULT COXSHBListCtrl::OnInsertItem(WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = DefWindowProc(LVM_INSERTITEM, wParam, lParam);
    if (result == -1)
        return result;
    const int nItem = static_cast<int>(result);
    SHB_NOTIFYHDR nm = Notify(SHBN_INSERTITEM, nItem, lParam);
    SendSHBNotification(&nm);
    for (int* p : {&m_nSelectedItem, &m_nActiveItem, &m_nHotItem, &m_nLastHotItem})
        if (*p >= nItem)
            ++*p;
    Relayout(!m_bDragOver);
    return result;
}

LRESULT COXSHBListCtrl::OnDeleteItem(WPARAM wParam, LPARAM lParam)
{
    const int nItem = static_cast<int>(wParam);
    SHB_NOTIFYHDR nm = Notify(SHBN_DELETEITEM, nItem);
    SendSHBNotification(&nm);
    const LRESULT result = DefWindowProc(LVM_DELETEITEM, wParam, lParam);
    if (result == 0)
        return result;
    // Every index that pointed past the deleted item moves down; one that pointed at it dies.
    for (int* p : {&m_nSelectedItem, &m_nActiveItem, &m_nHotItem, &m_nLastHotItem,
                   &m_nPressedItem}) {
        if (*p == nItem)
            *p = -1;
        else if (*p > nItem)
            --*p;
    }
    if (m_nEditItem == nItem && m_edit.IsEditing())
        m_edit.FinishEdit(FALSE);
    Relayout(FALSE);
    if (FirstVisibleItem() == -1)
        SetOrigin(CPoint(0, 0));
    if (!m_bDragOver)
        Invalidate(FALSE);
    return result;
}

LRESULT COXSHBListCtrl::OnDeleteAllItems(WPARAM wParam, LPARAM lParam)
{
    SHB_NOTIFYHDR nm = Notify(SHBN_DELETEALLITEMS, -1);
    SendSHBNotification(&nm);
    const LRESULT result = DefWindowProc(LVM_DELETEALLITEMS, wParam, lParam);
    m_ptOrigin = CPoint(0, 0);
    m_nSelectedItem = m_nActiveItem = m_nHotItem = m_nLastHotItem = m_nPressedItem = -1;
    if (m_edit.IsEditing())
        m_edit.FinishEdit(FALSE);
    Relayout(!m_bDragOver);
    return result;
}

LRESULT COXSHBListCtrl::OnFindItem(WPARAM wParam, LPARAM lParam)
{
    auto* pInfo = reinterpret_cast<LVFINDINFO*>(lParam);
    if (pInfo == nullptr || (pInfo->flags & LVFI_NEARESTXY) == 0)
        return DefWindowProc(LVM_FINDITEM, wParam, lParam);
    return FindNearest(pInfo->pt, pInfo->vkDirection, static_cast<int>(wParam),
                       (pInfo->flags & LVFI_WRAP) != 0);
}

void COXSHBListCtrl::Relayout(BOOL bRedraw)
{
    CalculateItemRects();
    if (bRedraw)
        Invalidate(FALSE);
}

LRESULT COXSHBListCtrl::OnSetShbGroup(WPARAM, LPARAM lParam)
{
    CWnd* pParent = CWnd::FromHandlePermanent(::GetParent(m_hWnd));
    if (pParent == nullptr || !pParent->IsKindOf(RUNTIME_CLASS(COXShortcutBar)))
        return 0;
    m_pShortcutBar = static_cast<COXShortcutBar*>(pParent);
    m_hGroup = static_cast<HSHBGROUP>(lParam);
    SetOrigin(CPoint(0, 0));
    Relayout(TRUE);
    return 0;
}

LRESULT COXSHBListCtrl::OnGroupInfoChanged(WPARAM, LPARAM lParam)
{
    if ((lParam & SHBGI_VIEW) != 0) {
        SetOrigin(CPoint(0, 0));
        Relayout(TRUE);
    } else if ((lParam & SHBGI_DESCRIPTOR) != 0) {
        Relayout(TRUE);
    }
    return 0;
}

LRESULT COXSHBListCtrl::OnShbInfoChanged(WPARAM, LPARAM lParam)
{
    if ((lParam & (SHBIF_SCROLLBUTTONS | SHBIF_REDRAW)) != 0)
        CalculateScrollRects();
    if ((lParam & SHBIF_REDRAW) != 0)
        Invalidate(FALSE);
    return 0;
}

LRESULT COXSHBListCtrl::OnPopulateContextMenu(WPARAM, LPARAM lParam)
{
    auto* pInfo = reinterpret_cast<SHB_CONTEXTMENUINFO*>(lParam);
    if (pInfo == nullptr || m_pShortcutBar == nullptr || pInfo->pShortcutBar != m_pShortcutBar ||
        pInfo->hGroup != m_hGroup || pInfo->pMenu == nullptr)
        return 0;
    CPoint point = pInfo->point;
    ScreenToClient(&point);
    int flags = 0;
    if (HitTestItem(point, &flags, FALSE) == -1 || (GetBarStyle() & SHB_STYLE_EDITITEMS) == 0)
        return 0;
    HMENU hMenu = pInfo->pMenu->m_hMenu;
    if (::GetMenuItemCount(hMenu) > 0)
        ::AppendMenu(hMenu, MF_SEPARATOR, 0, nullptr);
    CString text;
    text.LoadString(IDS_OX_SHB_RENAMEITEM);
    ::AppendMenu(hMenu, MF_STRING, SHB_IDMRENAMEITEM, text);
    text.LoadString(IDS_OX_SHB_REMOVEITEM);
    ::AppendMenu(hMenu, MF_STRING, SHB_IDMREMOVEITEM, text);
    return 0;
}

// ---- Geometry ----

const COXSHBListCtrl::ItemRects* COXSHBListCtrl::Rects(int nItem) const
{
    auto it = m_mapRects.find(nItem);
    return it != m_mapRects.end() ? &it->second : nullptr;
}

CRect COXSHBListCtrl::ClientBound(int nItem) const
{
    const ItemRects* r = Rects(nItem);
    if (r == nullptr)
        return CRect(0, 0, 0, 0);
    CRect b = r->bound;
    b.OffsetRect(-m_ptOrigin.x, -m_ptOrigin.y);
    return b;
}

CImageList* COXSHBListCtrl::ViewImageList() const
{
    return CImageList::FromHandle(reinterpret_cast<HIMAGELIST>(
        ::SendMessage(m_hWnd, LVM_GETIMAGELIST, GetView() == 2 ? LVSIL_SMALL : LVSIL_NORMAL, 0)));
}

CSize COXSHBListCtrl::ImageSize() const
{
    CImageList* pList = ViewImageList();
    int cx = 0, cy = 0;
    if (pList == nullptr || !ImageList_GetIconSize(pList->m_hImageList, &cx, &cy))
        return CSize(0, 0);
    return CSize(cx, cy);
}

int COXSHBListCtrl::GetItemImage(int nItem) const
{
    LVITEM item{};
    item.mask = LVIF_IMAGE;
    item.iItem = nItem;
    if (!::SendMessage(m_hWnd, LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item)))
        return -1;
    return item.iImage;
}

void COXSHBListCtrl::CalculateItemRects()
{
    m_mapRects.clear();
    m_rectTopScroll.SetRectEmpty();
    m_rectBottomScroll.SetRectEmpty();
    if (!::IsWindow(m_hWnd))
        return;
    CRect client;
    GetClientRect(&client);
    const int count = GetItemCount();
    if (client.IsRectEmpty()) {
        for (int i = 0; i < count; ++i)
            m_mapRects[i] = ItemRects{};
        return;
    }
    const int width = client.Width();
    const bool large = GetView() != 2;
    CImageList* pImages = ViewImageList();
    const int imageCount = pImages != nullptr ? pImages->GetImageCount() : 0;
    const CSize imageSize = ImageSize();

    HDC hDC = ::GetDC(m_hWnd);
    HGDIOBJ oldFont = ::SelectObject(hDC, ItemFont());
    int y = client.top + kMargin;
    for (int i = 0; i < count; ++i) {
        ItemRects r;
        const int nImage = GetItemImage(i);
        if (nImage >= 0 && nImage < imageCount)
            r.image.SetRect(0, 0, imageSize.cx + 6, imageSize.cy + 6);
        const CString text = GetItemText(i, 0);
        if (large) {
            CRect measure(0, 0, std::max(0, width - 4), 0);
            ::DrawText(hDC, text, text.GetLength(), &measure,
                       DT_CALCRECT | DT_WORDBREAK | DT_CENTER | DT_VCENTER | DT_EDITCONTROL);
            const int cx = std::min(measure.Width() + 4, width);
            r.text.SetRect(0, 0, cx, measure.Height() + 4);
            r.text.OffsetRect((width - cx) / 2, r.image.bottom);
            r.image.OffsetRect((width - r.image.Width()) / 2, 0);
            r.bound.SetRect(0, y, width, y + r.image.Height() + r.text.Height());
        } else {
            if (r.image.Width() < width) {
                CRect measure(0, 0, 0, 0);
                ::DrawText(hDC, text, text.GetLength(), &measure, DT_CALCRECT);
                const int cx = measure.Width() + 4, cy = measure.Height() + 4;
                const int rowHeight = std::max(r.image.Height(), cy);
                r.image.OffsetRect(0, (rowHeight - r.image.Height()) / 2);
                const int left = r.image.IsRectEmpty() ? kMargin : r.image.right;
                r.text.SetRect(left, (rowHeight - cy) / 2, std::min(left + cx, width),
                               (rowHeight - cy) / 2 + cy);
            }
            r.bound.SetRect(0, y, width, y + std::max(r.image.Height(), r.text.Height()));
        }
        m_mapRects[i] = r;
        y = r.bound.bottom + kItemGap;
    }
    ::SelectObject(hDC, oldFont);
    ::ReleaseDC(m_hWnd, hDC);
    CalculateScrollRects();
}

CRect COXSHBListCtrl::GetViewRect() const
{
    CRect client;
    GetClientRect(&client);
    CRect view(0, kMargin, client.Width(), kMargin);
    for (const auto& [item, r] : m_mapRects)
        view.bottom = std::max(view.bottom, r.bound.bottom);
    // The items after the top one may be shorter than a page; the view then reaches far
    // enough for that item to be scrolled up to the top margin.
    const int top = FirstVisibleItem();
    if (top != -1) {
        int anchor = top;
        const ItemRects* r = Rects(top);
        if (r->bound.top < m_ptOrigin.y + kMargin && Rects(top + 1) != nullptr)
            anchor = top + 1;
        const int page = client.Height() - 2 * kMargin;
        view.bottom = std::max(view.bottom, Rects(anchor)->bound.top + page);
    }
    return view;
}

void COXSHBListCtrl::CalculateScrollRects()
{
    m_rectTopScroll.SetRectEmpty();
    m_rectBottomScroll.SetRectEmpty();
    if ((GetBarStyle() & SHB_STYLE_NOSCROLLBUTTONS) != 0 || m_mapRects.empty())
        return;
    CRect client;
    GetClientRect(&client);
    if (client.IsRectEmpty())
        return;
    const CSize size = ScrollButtonSize();
    if (m_ptOrigin.y != 0)
        m_rectTopScroll.SetRect(client.right - size.cx, client.top + kMargin, client.right,
                                client.top + kMargin + size.cy);
    const CRect view = GetViewRect();
    if (view.bottom - m_ptOrigin.y > client.bottom - kMargin)
        m_rectBottomScroll.SetRect(client.right - size.cx, client.bottom - kMargin - size.cy,
                                   client.right, client.bottom - kMargin);
}

int COXSHBListCtrl::HitTestItem(CPoint point, int* pFlags, BOOL bTestButtons) const
{
    int flags = 0;
    int result = -1;
    const bool buttons = (GetBarStyle() & SHB_STYLE_NOSCROLLBUTTONS) == 0;
    if (bTestButtons && buttons && m_rectTopScroll.PtInRect(point)) {
        flags = SHBLC_ONTOPSCROLL;
    } else if (bTestButtons && buttons && m_rectBottomScroll.PtInRect(point)) {
        flags = SHBLC_ONBOTTOMSCROLL;
    } else {
        CPoint p = point + m_ptOrigin;
        CRect client, visible;
        GetClientRect(&client);
        client.OffsetRect(m_ptOrigin);
        CRect view = GetViewRect();
        if (!visible.IntersectRect(&view, &client) || !visible.PtInRect(p)) {
            if (p.x < visible.left)
                flags |= SHBLC_TOLEFT;
            else if (p.x >= visible.right)
                flags |= SHBLC_TORIGHT;
            if (p.y < visible.top)
                flags |= SHBLC_ABOVE;
            else if (p.y >= visible.bottom)
                flags |= SHBLC_BELOW;
        } else {
            flags = SHBLC_ONVIEW;
            for (const auto& [item, r] : m_mapRects) {
                if (!r.bound.PtInRect(p))
                    continue;
                const CPoint local = p - r.bound.TopLeft();
                CRect both;
                both.UnionRect(&r.image, &r.text);
                if (r.image.PtInRect(local))
                    flags = SHBLC_ONIMAGE;
                else if (r.text.PtInRect(local))
                    flags = SHBLC_ONTEXT;
                else
                    flags = both.PtInRect(local) ? SHBLC_ONITEM : SHBLC_OUTSIDEITEM;
                result = item;
                break;
            }
        }
    }
    if (pFlags != nullptr)
        *pFlags = flags;
    return result;
}

BOOL COXSHBListCtrl::GetItemRect(int nItem, LPRECT lpRect, UINT nCode) const
{
    const ItemRects* r = Rects(nItem);
    if (r == nullptr || lpRect == nullptr)
        return FALSE;
    const CRect bound = ClientBound(nItem);
    CRect rect;
    switch (nCode) {
    case LVIR_BOUNDS:
        rect.UnionRect(&r->image, &r->text);
        break;
    case LVIR_ICON:
        rect = r->image;
        break;
    case LVIR_LABEL:
        rect = r->text;
        break;
    case SHBLC_ENTIREITEM:
        *lpRect = bound;
        return TRUE;
    default:
        return FALSE;
    }
    rect.OffsetRect(bound.TopLeft());
    *lpRect = rect;
    return TRUE;
}

int COXSHBListCtrl::FindNearest(CPoint point, UINT vkDirection, int nStart, BOOL bWrap) const
{
    const int count = static_cast<int>(m_mapRects.size());
    if (count == 0)
        return -1;
    const CPoint p = point + m_ptOrigin;
    const int first = bWrap ? (nStart + 1) % count : std::max(nStart + 1, 0);
    const int steps = bWrap ? count : count - first;
    int best = -1, bestDistance = 0;
    for (int k = 0; k < steps; ++k) {
        const int i = (first + k) % count;
        const CRect& b = Rects(i)->bound;
        if (b.PtInRect(p) || (p.y >= b.top && p.y < b.bottom))
            return i;
        int distance = 0;
        if (vkDirection == VK_DOWN)
            distance = b.top - p.y;
        else if (vkDirection == VK_UP)
            distance = p.y - b.bottom;
        if (distance > 0 && (best == -1 || distance < bestDistance)) {
            best = i;
            bestDistance = distance;
        }
    }
    return best;
}

int COXSHBListCtrl::FirstVisibleItem() const
{
    return FindNearest(CPoint(0, kMargin), VK_DOWN, -1, FALSE);
}

// ---- Scrolling ----

void COXSHBListCtrl::SetOrigin(CPoint point)
{
    if (point == m_ptOrigin)
        return;
    m_ptOrigin = point;
    CalculateScrollRects();
}

BOOL COXSHBListCtrl::Scroll(CSize size)
{
    CRect client;
    GetClientRect(&client);
    if (m_mapRects.empty() || client.IsRectEmpty())
        return FALSE;
    const CRect view = GetViewRect();
    const CRect visible(m_ptOrigin.x, m_ptOrigin.y + kMargin, m_ptOrigin.x + client.Width(),
                        m_ptOrigin.y + client.Height() - kMargin);
    auto cut = [](int d, int lowRoom, int highRoom) {
        return d > 0 ? std::min(d, std::max(0, highRoom)) : std::max(d, std::min(0, lowRoom));
    };
    const int dx = cut(size.cx, view.left - visible.left, view.right - visible.right);
    const int dy = cut(size.cy, view.top - visible.top, view.bottom - visible.bottom);
    if (dx == 0 && dy == 0)
        return FALSE;
    if (m_bDragSource && m_pDragImage != nullptr)
        CImageList::DragShowNolock(FALSE);
    SetOrigin(CPoint(m_ptOrigin.x + dx, m_ptOrigin.y + dy));
    CalculateScrollRects();
    Invalidate(FALSE);
    if (m_bDragSource && m_pDragImage != nullptr) {
        UpdateWindow();
        CImageList::DragShowNolock(TRUE);
    }
    return TRUE;
}

BOOL COXSHBListCtrl::EnsureVisible(int nItem, BOOL bPartialOK)
{
    if (Rects(nItem) == nullptr)
        return FALSE;
    CRect client;
    GetClientRect(&client);
    const int top = kMargin, bottom = client.bottom - kMargin;
    CRect b = ClientBound(nItem);
    if (b.Height() >= bottom - top && !bPartialOK)
        return FALSE;
    auto visible = [&](const CRect& r) {
        if (r.top >= top && r.bottom <= bottom)
            return true;
        return bPartialOK && r.bottom > top && r.top < bottom;
    };
    if (visible(b))
        return TRUE;
    Scroll(CSize(0, b.top < top ? b.top - top : b.bottom - bottom));
    return visible(ClientBound(nItem));
}

void COXSHBListCtrl::StartScrolling(BOOL bScrollingUp, BOOL bAuto)
{
    StopScrolling();
    SelectItem(-1);
    m_bScrollingUp = bScrollingUp;
    m_bScrollingDown = !bScrollingUp;
    m_bAutoScrolling = bAuto;
    InvalidateRect(bScrollingUp ? &m_rectTopScroll : &m_rectBottomScroll, FALSE);
    if (!m_bDragOver)
        ScrollStep();
    UINT delay = ScrollDelay(bAuto);
    if (m_bDragOver)
        delay /= 4;
    SetTimer(kScrollTimer, delay);
}

void COXSHBListCtrl::StopScrolling()
{
    KillTimer(kScrollTimer);
    InvalidateRect(&m_rectTopScroll, FALSE);
    InvalidateRect(&m_rectBottomScroll, FALSE);
    m_bScrollingUp = m_bScrollingDown = m_bAutoScrolling = FALSE;
}

void COXSHBListCtrl::ScrollStep()
{
    const int first = FirstVisibleItem();
    if (first == -1)
        return;
    CRect client;
    GetClientRect(&client);
    const CRect& b = Rects(first)->bound;
    int dy = 0;
    if (m_bScrollingUp) {
        const int target = b.top < m_ptOrigin.y + kMargin ? first : first - 1;
        if (target < 0)
            return;
        dy = Rects(target)->bound.top - (m_ptOrigin.y + kMargin);
    } else if (m_bScrollingDown) {
        if (Rects(first + 1) == nullptr)
            dy = b.bottom - (m_ptOrigin.y + client.Height() - kMargin);
        else
            dy = Rects(first + 1)->bound.top - (m_ptOrigin.y + kMargin);
    }
    if (dy != 0)
        Scroll(CSize(0, dy));
}

// ---- Mouse and timers ----

int COXSHBListCtrl::SetHotItem(int nItem)
{
    const int old = m_nHotItem;
    if (nItem == old)
        return old;
    SHB_NOTIFYHDR nm = Notify(SHBN_HOTITEM, nItem);
    if (SendSHBNotification(&nm) != 0)
        return old;
    m_nHotItem = nItem;
    if (old != -1)
        m_nLastHotItem = old;
    RedrawItem(old);
    RedrawItem(nItem);
    return old;
}

int COXSHBListCtrl::SelectItem(int nItem)
{
    const int old = m_nSelectedItem;
    if (nItem == old)
        return old;
    SHB_NOTIFYHDR nm = Notify(SHBN_SELECTITEM, nItem);
    if (SendSHBNotification(&nm) != 0)
        return old;
    m_nSelectedItem = nItem;
    RedrawItem(old);
    RedrawItem(nItem);
    return old;
}

int COXSHBListCtrl::SetActiveItem(int nItem)
{
    const int old = m_nActiveItem;
    if (nItem == old)
        return old;
    SHB_NOTIFYHDR nm = Notify(SHBN_ACTIVATEITEM, nItem);
    if (SendSHBNotification(&nm) != 0)
        return old;
    m_nActiveItem = nItem;
    RedrawItem(old);
    RedrawItem(nItem);
    return old;
}

void COXSHBListCtrl::RedrawItem(int nItem)
{
    if (Rects(nItem) == nullptr)
        return;
    CRect b = ClientBound(nItem);
    InvalidateRect(&b, FALSE);
}

void COXSHBListCtrl::OnMouseMove(UINT nFlags, CPoint point)
{
    if (m_edit.IsEditing() || IsEditingHeader())
        return;
    CheckMousePos();
}

LRESULT COXSHBListCtrl::OnCheckMousePos(WPARAM, LPARAM)
{
    if (!m_edit.IsEditing() && !IsEditingHeader())
        CheckMousePos();
    return 0;
}

void COXSHBListCtrl::CheckMousePos()
{
    CPoint cursor;
    ::GetCursorPos(&cursor);
    if (::WindowFromPoint(cursor) == m_hWnd && IsWindowEnabled()) {
        if (!m_bMouseTimer)
            m_bMouseTimer = SetTimer(kMouseTimer, kMouseCheckMs) != 0;
        m_bMouseIsOver = TRUE;
    } else if (!LeftButtonDown()) {
        KillTimer(kMouseTimer);
        m_bMouseTimer = FALSE;
        m_bMouseIsOver = FALSE;
        SetHotItem(-1);
    } else {
        m_bMouseIsOver = FALSE;
    }
    ScreenToClient(&cursor);
    UpdateHotItem(cursor);
}

void COXSHBListCtrl::UpdateHotItem(CPoint point)
{
    int flags = 0;
    const int item = HitTestItem(point, &flags, TRUE);
    const bool onItem = item != -1 && (flags == SHBLC_ONIMAGE || flags == SHBLC_ONTEXT);
    SetHotItem(m_bMouseIsOver && onItem ? item : -1);

    const bool buttonDown = LeftButtonDown();
    if (m_nDragItem == -1 && (GetBarStyle() & SHB_STYLE_NOITEMDRAG) == 0 &&
        m_nPressedItem != -1 && item == m_nPressedItem && buttonDown &&
        std::abs(point.x - m_ptPressed.x) + std::abs(point.y - m_ptPressed.y) > kDragThreshold) {
        m_ptDragHotSpot += point - m_ptPressed;
        BeginDragItem(m_nPressedItem);
    }
    if (!buttonDown || m_nDragItem != -1)
        m_nPressedItem = -1;

    // A pressed button the pointer has left is drawn raised again.
    if (m_bScrollingUp || m_bScrollingDown) {
        InvalidateRect(&m_rectTopScroll, FALSE);
        InvalidateRect(&m_rectBottomScroll, FALSE);
    }
    if ((GetBarStyle() & SHB_STYLE_AUTOSCROLL) != 0 && m_nDragItem == -1) {
        const bool onTop = flags == SHBLC_ONTOPSCROLL, onBottom = flags == SHBLC_ONBOTTOMSCROLL;
        if ((onTop || onBottom) && !buttonDown) {
            if (!m_bAutoScrolling || m_bScrollingUp != (onTop ? TRUE : FALSE))
                StartScrolling(onTop, TRUE);
        } else if (m_bAutoScrolling) {
            StopScrolling();
        }
    }
}

void COXSHBListCtrl::OnLButtonDown(UINT nFlags, CPoint point)
{
    int flags = 0;
    const int item = HitTestItem(point, &flags, TRUE);
    int previous = m_nSelectedItem;
    if (item != -1 && flags != SHBLC_OUTSIDEITEM)
        previous = SelectItem(item);
    if ((GetBarStyle() & SHB_STYLE_NOITEMDRAG) == 0) {
        m_ptPressed = point;
        m_nPressedItem = item;
        if ((GetBarStyle() & SHB_STYLE_ITEMDRAGIMAGE) != 0 && item != -1) {
            CRect both;
            GetItemRect(item, &both, LVIR_BOUNDS);
            m_ptDragHotSpot = point - both.TopLeft();
        } else {
            m_ptDragHotSpot = CPoint(0, 0);
        }
    }
    RedrawItem(item);
    RedrawItem(previous);
    if (flags == SHBLC_ONTOPSCROLL || flags == SHBLC_ONBOTTOMSCROLL)
        StartScrolling(flags == SHBLC_ONTOPSCROLL);
    else if (m_bAutoScrolling)
        StopScrolling();
}

LRESULT COXSHBListCtrl::OnLButtonDblClkMessage(WPARAM wParam, LPARAM lParam)
{
    OnLButtonDown(static_cast<UINT>(wParam),
                  CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam))));
    return 0;
}

void COXSHBListCtrl::OnLButtonUp(UINT nFlags, CPoint point)
{
    Default();
    m_nPressedItem = -1;
    int flags = 0;
    const int item = HitTestItem(point, &flags, TRUE);
    if (item != -1 && item == m_nSelectedItem) {
        SetActiveItem(item);
        RedrawItem(item);
    }
    if (!m_bAutoScrolling && (m_bScrollingUp || m_bScrollingDown))
        StopScrolling();
}

LRESULT COXSHBListCtrl::OnSwallow(WPARAM, LPARAM)
{
    return 0;
}

void COXSHBListCtrl::OnRButtonUp(UINT nFlags, CPoint point)
{
    Default();
    if (ListComCtlVersion() <= kComCtl470) {
        CPoint screen = point;
        ClientToScreen(&screen);
        PostMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_hWnd),
                    MAKELPARAM(screen.x, screen.y));
    }
}

void COXSHBListCtrl::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kMouseTimer) {
        if (!m_bDragOver)
            PostMessage(SHBM_CHECKMOUSEPOS);
        return;
    }
    if (nIDEvent != kScrollTimer) {
        Default();
        return;
    }
    // A held (not automatic) scroll ends with the button, wherever it was released.
    if (!m_bAutoScrolling && !m_bDragOver && !LeftButtonDown()) {
        StopScrolling();
        return;
    }
    CPoint cursor;
    ::GetCursorPos(&cursor);
    ScreenToClient(&cursor);
    const CRect& button = m_bScrollingUp ? m_rectTopScroll : m_rectBottomScroll;
    if (m_bDragOver || button.PtInRect(cursor))
        ScrollStep();
    if ((m_bScrollingUp ? m_rectTopScroll : m_rectBottomScroll).IsRectEmpty())
        StopScrolling();
}

void COXSHBListCtrl::OnSize(UINT nType, int cx, int cy)
{
    Default();
    Relayout(TRUE);
}

void COXSHBListCtrl::OnDestroy()
{
    KillTimer(kScrollTimer);
    KillTimer(kMouseTimer);
    m_bMouseTimer = FALSE;
    // Without LVS_SHAREIMAGELISTS the common control destroys the lists it holds, ours too.
    if ((GetStyle() & LVS_SHAREIMAGELISTS) == 0) {
        for (auto* p : {&m_pOwnImageList, &m_pOwnSmallImageList})
            if (*p != nullptr)
                (*p)->Detach();
    }
    Default();
}
