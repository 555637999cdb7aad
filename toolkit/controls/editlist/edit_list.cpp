// The edit list and its caption strip.
#include "toolkit/controls/editlist/edit_list.h"

#include <mbstring.h>

#include <map>

// --- COXEditListHeader ---

IMPLEMENT_DYNAMIC(COXEditListHeader, CStatic)

BEGIN_MESSAGE_MAP(COXEditListHeader, CStatic)
ON_WM_CREATE()
ON_WM_PAINT()
ON_MESSAGE(WM_SETTEXT, OnSetText)
ON_MESSAGE(WM_GETTEXT, OnGetText)
ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
ON_WM_ERASEBKGND()
ON_WM_SIZE()
END_MESSAGE_MAP()

namespace {

constexpr DWORD kNoBorderEx = WS_EX_DLGMODALFRAME | WS_EX_CLIENTEDGE | WS_EX_STATICEDGE;

// The strip's font: one for the process, made on first use.
HFONT StripFont()
{
    struct Font {
        HFONT h;
        Font()
        {
            HDC hdc = ::GetDC(nullptr);
            const int height = -::MulDiv(10, ::GetDeviceCaps(hdc, LOGPIXELSY), 72);
            ::ReleaseDC(nullptr, hdc);
            h = ::CreateFontA(height, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, ANSI_CHARSET,
                              OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                              DEFAULT_PITCH | FF_SWISS, "Arial");
        }
        ~Font() { ::DeleteObject(h); }
    };
    static Font font;
    return font.h;
}

} // namespace

COXEditListHeader::~COXEditListHeader() = default;

void COXEditListHeader::PreSubclassWindow()
{
    CStatic::PreSubclassWindow();
    ModifyStyle(WS_BORDER, 0);
    ::SetWindowLongPtr(m_hWnd, GWL_EXSTYLE, GetExStyle() & ~kNoBorderEx);
    SetWindowPos(nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    // The static keeps its text; read it through the default procedure.
    const int n = static_cast<int>(DefWindowProc(WM_GETTEXTLENGTH, 0, 0));
    CString text;
    if (n > 0) {
        DefWindowProc(WM_GETTEXT, static_cast<WPARAM>(n + 1),
                      reinterpret_cast<LPARAM>(text.GetBuffer(n + 1)));
        text.ReleaseBuffer();
    }
    m_strText = text;
}

int COXEditListHeader::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    lpCreateStruct->style &= ~WS_BORDER;
    lpCreateStruct->dwExStyle &= ~kNoBorderEx;
    ::SetWindowLongPtr(m_hWnd, GWL_STYLE, lpCreateStruct->style);
    ::SetWindowLongPtr(m_hWnd, GWL_EXSTYLE, lpCreateStruct->dwExStyle);
    if (Default() == -1)
        return -1;
    m_strText = lpCreateStruct->lpszName != nullptr ? lpCreateStruct->lpszName : "";
    return 0;
}

LRESULT COXEditListHeader::OnSetText(WPARAM, LPARAM lParam)
{
    m_strText = lParam != 0 ? reinterpret_cast<LPCTSTR>(lParam) : "";
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return TRUE;
}

LRESULT COXEditListHeader::OnGetText(WPARAM wParam, LPARAM lParam)
{
    const int size = static_cast<int>(wParam);
    if (size <= 0 || lParam == 0)
        return 0;
    const int n = std::min(m_strText.GetLength(), size - 1);
    auto* buffer = reinterpret_cast<LPTSTR>(lParam);
    memcpy(buffer, static_cast<LPCTSTR>(m_strText), static_cast<size_t>(n));
    buffer[n] = 0;
    return n;
}

LRESULT COXEditListHeader::OnGetTextLength(WPARAM, LPARAM)
{
    return m_strText.GetLength();
}

BOOL COXEditListHeader::OnEraseBkgnd(CDC* pDC)
{
    RECT rc{};
    GetClientRect(&rc);
    ::FillRect(pDC->m_hDC, &rc, ::GetSysColorBrush(COLOR_BTNFACE));
    return TRUE;
}

void COXEditListHeader::OnSize(UINT, int, int)
{
    Default();
    RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void COXEditListHeader::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(m_hWnd, &ps);
    RECT rc{};
    GetClientRect(&rc);
    CDC* pDC = CDC::FromHandle(hdc);
    pDC->Draw3dRect(&rc, m_clrTopLeft, m_clrBottomRight);
    if (!m_strText.IsEmpty()) {
        const int saved = ::SaveDC(hdc);
        ::SetBkMode(hdc, TRANSPARENT);
        ::SetTextColor(hdc, m_clrText);
        HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
        HFONT hVertical = nullptr;
        if (m_bVertical) {
            LOGFONT lf{};
            ::GetObject(hFont != nullptr ? hFont : static_cast<HFONT>(::GetStockObject(
                                                       DEFAULT_GUI_FONT)),
                        sizeof(lf), &lf);
            lf.lfEscapement = lf.lfOrientation = 900;
            hVertical = ::CreateFontIndirect(&lf);
            ::SelectObject(hdc, hVertical);
        } else if (hFont != nullptr) {
            ::SelectObject(hdc, hFont);
        }
        RECT inner = rc;
        ::InflateRect(&inner, -2, -2);
        RECT extent = inner;
        ::DrawText(hdc, m_strText, -1, &extent, DT_CALCRECT | DT_SINGLELINE);
        const int textW = extent.right - extent.left, textH = extent.bottom - extent.top;
        const DWORD align = GetStyle() & SS_TYPEMASK;
        const int innerW = inner.right - inner.left, innerH = inner.bottom - inner.top;
        RECT out{};
        if (!m_bVertical) {
            // Across: centred vertically (odd pixel below); along: start, middle or end.
            const int freeY = innerH - textH;
            out.top = inner.top + freeY / 2 + (freeY % 2);
            out.bottom = out.top + textH;
            if (align == SS_CENTER)
                out.left = inner.left + (innerW - textW) / 2;
            else if (align == SS_RIGHT)
                out.left = inner.right - textW;
            else
                out.left = inner.left;
            out.right = out.left + textW;
            ::DrawText(hdc, m_strText, -1, &out, DT_SINGLELINE | DT_BOTTOM | DT_NOCLIP);
        } else {
            // The rotated text runs up from its origin, its top facing left: the measured
            // width lies along the strip, the height across it.
            const int freeX = innerW - textH;
            const int x = inner.left + freeX / 2 + (freeX % 2);
            int y = inner.bottom; // start: the bottom end
            if (align == SS_CENTER)
                y = inner.bottom - (innerH - textW) / 2;
            else if (align == SS_RIGHT)
                y = inner.top + textW;
            ::TextOut(hdc, x, y, m_strText, m_strText.GetLength());
        }
        ::RestoreDC(hdc, saved);
        if (hVertical != nullptr)
            ::DeleteObject(hVertical);
    }
    ::EndPaint(m_hWnd, &ps);
}

// --- COXEditList ---

IMPLEMENT_DYNAMIC(COXEditList, COXGridList)

BEGIN_MESSAGE_MAP(COXEditList, COXGridList)
ON_WM_KEYDOWN()
ON_MESSAGE(WM_SYSKEYDOWN, OnSysKeyDown)
ON_COMMAND(ID_OX_EDITLIST_NEW, OnNewItem)
ON_COMMAND(ID_OX_EDITLIST_DELETE, OnDeleteItems)
ON_COMMAND(ID_OX_EDITLIST_MOVEUP, OnMoveUp)
ON_COMMAND(ID_OX_EDITLIST_MOVEDOWN, OnMoveDown)
ON_UPDATE_COMMAND_UI(ID_OX_EDITLIST_DELETE, OnUpdateDelete)
ON_UPDATE_COMMAND_UI(ID_OX_EDITLIST_MOVEUP, OnUpdateMoveUp)
ON_UPDATE_COMMAND_UI(ID_OX_EDITLIST_MOVEDOWN, OnUpdateMoveDown)
ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
ON_WM_WINDOWPOSCHANGED()
ON_NOTIFY_REFLECT_EX(LVN_ITEMCHANGED, OnItemChanged)
ON_NOTIFY_REFLECT_EX(LVN_BEGINLABELEDIT, OnBeginLabelEditList)
ON_NOTIFY_REFLECT_EX(LVN_ENDLABELEDIT, OnEndLabelEditList)
ON_MESSAGE(LVM_INSERTITEM, OnInsertItemList)
ON_MESSAGE(LVM_DELETEITEM, OnDeleteItemList)
ON_MESSAGE(LVM_DELETEALLITEMS, OnDeleteAllItemsList)
ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFF, OnToolTipText)
ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, OnToolTipText)
ON_MESSAGE(WM_OX_EDITLIST_SETUP, OnSetup)
END_MESSAGE_MAP()

COXEditList::COXEditList(int nToolbarPosition, BOOL bAllowDuplicates, BOOL bAllowMove)
    : m_nToolbarPosition(nToolbarPosition), m_bAllowDuplicates(bAllowDuplicates),
      m_bAllowMove(bAllowMove)
{
    m_strDuplicateMessage.LoadString(IDS_OX_EDITLIST_DUPLICATE);
}

COXEditList::~COXEditList()
{
    // The strip (with the toolbar in it) is a child of the list's parent: it goes with the list.
    if (m_header.m_hWnd != nullptr)
        m_header.DestroyWindow();
}

BOOL COXEditList::Initialize()
{
    if (!COXGridList::Initialize())
        return FALSE;
    CWnd* pParent = GetParent();
    if (pParent == nullptr)
        return FALSE;
    if (m_header.m_hWnd == nullptr) {
        if (!m_header.Create("", WS_CHILD, CRect(0, 0, 0, 0), pParent, 0xFFFF))
            return FALSE;
        m_header.SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(StripFont()), FALSE);
    }
    if (m_toolbar.m_hWnd == nullptr) {
        if (!m_toolbar.Create(&m_header, WS_CHILD | CBRS_TOOLTIPS, AFX_IDW_TOOLBAR) ||
            !m_toolbar.LoadToolBar(IDR_OX_EDITLIST_TOOLBAR))
            return FALSE;
        m_toolbar.SetOwner(this);
        // The buttons' commands and notifications come to the list, not to the strip.
        m_toolbar.SendMessage(TB_SETPARENT, reinterpret_cast<WPARAM>(m_hWnd));
        if (!m_bAllowMove)
            while (m_toolbar.GetCount() > 2)
                m_toolbar.SendMessage(TB_DELETEBUTTON, static_cast<WPARAM>(m_toolbar.GetCount() - 1));
        m_toolbar.SetBorders(0, 0, 0, 0);
    }
    PositionToolbar(m_nToolbarPosition);
    PostMessage(WM_OX_EDITLIST_SETUP);
    return TRUE;
}

LRESULT COXEditList::OnSetup(WPARAM, LPARAM)
{
    if (m_bListReady)
        return 0;
    InsertColumn(0, "");
    COXGridList::SetEditable(m_bPendingEditable, -1);
    SetAutoEdit(TRUE);
    SetMultipleSelection(TRUE);
    SetBkColor(::GetSysColor(COLOR_WINDOW));
    RECT rc{};
    GetClientRect(&rc);
    SetColumnWidth(0, rc.right - rc.left);
    LVITEM item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = GetItemCount();
    item.pszText = const_cast<LPTSTR>("");
    item.iImage = 0;
    InsertItem(&item);
    m_bListReady = TRUE;
    SetItemState(0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    return 0;
}

void COXEditList::SetEditable(BOOL bEditable, int nColumn)
{
    if (!m_bListReady) {
        m_bPendingEditable = bEditable;
        return;
    }
    COXGridList::SetEditable(bEditable, nColumn);
}

BOOL COXEditList::IsEditing() const
{
    return SendMessage(LVM_GETEDITCONTROL) != 0;
}

BOOL COXEditList::CanDelete() const
{
    const int nSel = GetNextItem(-1, LVNI_SELECTED);
    return nSel != -1 && nSel != GetItemCount() - 1;
}

BOOL COXEditList::CanMoveUp() const
{
    const int nFocus = GetFocusedItem();
    return !IsEditing() && m_bAllowMove && nFocus > 0 && nFocus < GetItemCount() - 1;
}

BOOL COXEditList::CanMoveDown() const
{
    const int nFocus = GetFocusedItem();
    return !IsEditing() && m_bAllowMove && nFocus >= 0 && nFocus < GetItemCount() - 2;
}

BOOL COXEditList::DeleteItems()
{
    if (!CanDelete())
        return FALSE;
    m_bDeleting = true;
    const int nFocus = GetFocusedItem();
    const bool focusGoes = nFocus != -1 && (GetItemState(nFocus, LVIS_SELECTED) & LVIS_SELECTED);
    int nFocusAfter = nFocus;
    for (int i = GetItemCount() - 1; i >= 0; --i) {
        if (!(GetItemState(i, LVIS_SELECTED) & LVIS_SELECTED))
            continue;
        if (DeleteItem(i) && i < nFocus)
            --nFocusAfter;
    }
    if (nFocus == -1 || focusGoes)
        nFocusAfter = std::max(0, GetItemCount() - 2);
    SetItemState(nFocusAfter, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    m_bDeleting = false;
    return TRUE;
}

BOOL COXEditList::SwapItems(int nFirst, int nSecond)
{
    LVITEM a{}, b{};
    for (auto [pItem, nIndex] : {std::pair<LVITEM*, int>{&a, nFirst}, {&b, nSecond}}) {
        pItem->mask = LVIF_IMAGE | LVIF_PARAM | LVIF_STATE;
        pItem->stateMask = static_cast<UINT>(-1);
        pItem->iItem = nIndex;
        if (!GetItem(pItem))
            return FALSE;
    }
    a.iItem = nSecond;
    b.iItem = nFirst;
    if (!SetItem(&a) || !SetItem(&b))
        return FALSE;
    for (int c = 0, n = std::max(1, GetColumnCount()); c < n; ++c) {
        const CString first = GetItemText(nFirst, c);
        const CString second = GetItemText(nSecond, c);
        if (!SetItemText(nFirst, c, second) || !SetItemText(nSecond, c, first))
            return FALSE;
    }
    return TRUE;
}

BOOL COXEditList::MoveItemUp()
{
    if (!CanMoveUp())
        return FALSE;
    const int nFocus = GetFocusedItem();
    if (!SwapItems(nFocus, nFocus - 1))
        return FALSE;
    EnsureCellVisible(nFocus - 1, 0, TRUE);
    return TRUE;
}

BOOL COXEditList::MoveItemDown()
{
    if (!CanMoveDown())
        return FALSE;
    const int nFocus = GetFocusedItem();
    if (!SwapItems(nFocus, nFocus + 1))
        return FALSE;
    EnsureCellVisible(nFocus + 1, 0, TRUE);
    return TRUE;
}

void COXEditList::AppendEmptyRow()
{
    const int nLast = GetItemCount() - 1;
    if (nLast >= 0) {
        HIMAGELIST hSmall = reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, LVSIL_SMALL));
        if (hSmall != nullptr && ImageList_GetImageCount(hSmall) > m_nNamedImage) {
            LVITEM image{};
            image.mask = LVIF_IMAGE;
            image.iItem = nLast;
            image.iImage = m_nNamedImage;
            SetItem(&image);
        }
        SetItemState(nLast, 0, LVIS_SELECTED);
    }
    LVITEM item{};
    item.mask = LVIF_TEXT | LVIF_IMAGE;
    item.iItem = nLast + 1;
    item.pszText = const_cast<LPTSTR>("");
    item.iImage = 0;
    const int nNew = InsertItem(&item);
    if (nNew < 0)
        return;
    SetItemState(nNew, LVIS_FOCUSED, LVIS_FOCUSED);
    if (nNew >= GetTopIndex() + GetCountPerPage()) {
        EnsureVisible(nNew, FALSE);
        Update(nNew);
    }
}

void COXEditList::ApplyTextChange(int nItem)
{
    const int nLast = GetItemCount() - 1;
    if (!m_bListReady || nItem < 0 || nItem > nLast)
        return;
    const CString text = GetItemText(nItem, 0);
    if (nItem == nLast && !text.IsEmpty()) {
        AppendEmptyRow();
    } else if (nItem < nLast && text.IsEmpty()) {
        DeleteItem(nItem);
        SetItemState(nItem, LVIS_FOCUSED, LVIS_FOCUSED);
    }
}

void COXEditList::PositionToolbar(int nPosition)
{
    m_nToolbarPosition = nPosition;
    if (m_header.m_hWnd == nullptr || m_toolbar.m_hWnd == nullptr)
        return;
    if (nPosition < 0 || nPosition > 11) {
        m_toolbar.ShowWindow(SW_HIDE);
        m_header.ShowWindow(SW_HIDE);
        return;
    }
    const bool horizontal = nPosition <= 5;
    DWORD dwBarStyle = m_toolbar.GetBarStyle();
    if (horizontal)
        dwBarStyle |= CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM;
    else
        dwBarStyle &= ~(CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM);
    m_toolbar.SetBarStyle(dwBarStyle);
    const CSize size = m_toolbar.CalcFixedLayout(FALSE, horizontal);

    RECT list{};
    GetWindowRect(&list);
    ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&list), 2);
    const int L = list.left, T = list.top, R = list.right, B = list.bottom;
    RECT strip{};
    switch (nPosition / 3) {
    case 0: strip = RECT{L, T - size.cy - 3, R, T - 1}; break;
    case 1: strip = RECT{L, B + 1, R, B + size.cy + 3}; break;
    case 2: strip = RECT{L - size.cx - 3, T, L - 1, B}; break;
    default: strip = RECT{R + 1, T, R + size.cx + 3, B}; break;
    }
    const int nGroup = nPosition % 3; // 0 near, 1 middle, 2 far
    const int W = strip.right - strip.left, H = strip.bottom - strip.top;
    int x = 1, y = 1;
    if (horizontal) {
        if (nGroup == 1 && W > size.cx + 2)
            x = (W - size.cx) / 2;
        else if (nGroup == 2)
            x = W - size.cx - 1;
    } else {
        if (nGroup == 1 && H > size.cy + 2)
            y = (H - size.cy) / 2;
        else if (nGroup == 2)
            y = H - size.cy - 1;
    }
    const bool textRight = nGroup == 0;
    m_header.ModifyStyle(SS_TYPEMASK, textRight ? SS_RIGHT : SS_LEFT);
    m_header.SetVertical(!horizontal);
    m_header.MoveWindow(&strip, TRUE);
    m_toolbar.MoveWindow(x, y, size.cx, size.cy, TRUE);
    m_header.ShowWindow(SW_SHOW);
    m_toolbar.ShowWindow(SW_SHOW);
    m_header.Invalidate();
    m_toolbar.Invalidate();
}

void COXEditList::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    COXGridList::DrawItem(lpDIS);
    const int nItem = static_cast<int>(lpDIS->itemID);
    if (nItem != GetItemCount() - 1 || !IsWindowEnabled())
        return;
    RECT bounds{};
    if (!GetItemRect(nItem, &bounds, LVIR_BOUNDS))
        return;
    int offset = 0;
    if (m_nImageColumn == 0) {
        offset = StateImageWidth();
        HIMAGELIST hSmall = reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, LVSIL_SMALL));
        int cx = 0, cy = 0;
        if (hSmall != nullptr && ImageList_GetIconSize(hSmall, &cx, &cy))
            offset += cx;
    }
    RECT focus = bounds;
    focus.left += offset;
    focus.right = focus.left + (bounds.right - focus.left) / 2;
    ::InflateRect(&focus, -1, -1);
    if (focus.right > focus.left && focus.bottom > focus.top)
        ::DrawFocusRect(lpDIS->hDC, &focus);
}

namespace {

struct EditListSort {
    std::map<LPARAM, CString> texts;
    LPARAM lastParam = 0;
};

int CALLBACK CompareKeepingLastRow(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort)
{
    const auto* sort = reinterpret_cast<const EditListSort*>(lParamSort);
    if (lParam1 == lParam2)
        return 0;
    if (lParam1 == sort->lastParam)
        return 1;
    if (lParam2 == sort->lastParam)
        return -1;
    auto text = [&](LPARAM l) {
        auto it = sort->texts.find(l);
        return it != sort->texts.end() ? it->second : CString();
    };
    return _mbsicmp(reinterpret_cast<const unsigned char*>(static_cast<LPCTSTR>(text(lParam1))),
                    reinterpret_cast<const unsigned char*>(static_cast<LPCTSTR>(text(lParam2))));
}

} // namespace

BOOL COXEditList::SortColumn(int nColumn)
{
    const int n = GetItemCount();
    if (n <= 1)
        return TRUE;
    // The list view compares item data: give every row its own for the sort, then restore.
    std::vector<LPARAM> saved(static_cast<size_t>(n));
    EditListSort sort;
    for (int i = 0; i < n; ++i) {
        saved[static_cast<size_t>(i)] = NativeParam(i);
        SetNativeParam(i, static_cast<LPARAM>(i));
        sort.texts[static_cast<LPARAM>(i)] = GetItemText(i, nColumn);
    }
    sort.lastParam = static_cast<LPARAM>(n - 1);
    const BOOL ok = static_cast<BOOL>(
        DefWindowProc(LVM_SORTITEMS, reinterpret_cast<WPARAM>(&sort),
                      reinterpret_cast<LPARAM>(&CompareKeepingLastRow)));
    for (int i = 0; i < n; ++i)
        SetNativeParam(i, saved[static_cast<size_t>(NativeParam(i))]);
    return ok;
}

// --- messages ---

void COXEditList::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    COXGridList::OnKeyDown(nChar, nRepCnt, nFlags);
    if (nChar == VK_DELETE && CanDelete())
        DeleteItems();
}

LRESULT COXEditList::OnSysKeyDown(WPARAM wParam, LPARAM)
{
    const LRESULT result = Default();
    if (wParam == VK_UP && CanMoveUp())
        MoveItemUp();
    else if (wParam == VK_DOWN && CanMoveDown())
        MoveItemDown();
    return result;
}

void COXEditList::OnNewItem()
{
    const int nLast = GetItemCount() - 1;
    if (nLast < 0)
        return;
    SetFocus();
    EnsureVisible(nLast, FALSE);
    EditLabel(nLast, 0);
}

LRESULT COXEditList::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam)
{
    if (m_toolbar.m_hWnd != nullptr)
        m_toolbar.SendMessage(WM_IDLEUPDATECMDUI, wParam, lParam);
    return 0;
}

void COXEditList::OnWindowPosChanged(WINDOWPOS*)
{
    if (m_bListReady) {
        RECT rc{};
        GetClientRect(&rc);
        SetColumnWidth(0, rc.right - rc.left);
        const int nFocus = GetFocusedItem();
        if (nFocus != -1)
            EnsureVisible(nFocus, FALSE);
    }
    PositionToolbar(m_nToolbarPosition);
    Default();
}

BOOL COXEditList::OnItemChanged(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* pView = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
    *pResult = 0;
    if (m_bListReady && !m_bDeleting && pView->iItem >= 0) {
        if ((pView->uChanged & LVIF_STATE) && (pView->uNewState & LVIS_FOCUSED) &&
            !(pView->uOldState & LVIS_FOCUSED) && !(pView->uNewState & LVIS_SELECTED))
            SetItemState(pView->iItem, LVIS_SELECTED, LVIS_SELECTED);
        if ((pView->uChanged & LVIF_TEXT) && pView->iSubItem == 0)
            ApplyTextChange(pView->iItem);
    }
    return OnItemDataNotify(pNMHDR, pResult);
}

BOOL COXEditList::OnBeginLabelEditList(NMHDR* pNMHDR, LRESULT* pResult)
{
    if (OnBeginLabelEdit(pNMHDR, pResult))
        return TRUE; // refused
    const int nItem = reinterpret_cast<NMLVDISPINFO*>(pNMHDR)->item.iItem;
    m_strOldText = GetItemText(nItem, 0);
    m_edit.m_bStretch = TRUE;
    return FALSE;
}

BOOL COXEditList::OnEndLabelEditList(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* pInfo = reinterpret_cast<NMLVDISPINFO*>(pNMHDR);
    const int nColumn = m_nEditColumn;
    // Some list views report an editor left empty like a cancelled edit (no text): unless
    // Escape ended it, an empty editor means the name was cleared.
    static char empty[1] = "";
    if (pInfo->item.pszText == nullptr && (::GetKeyState(VK_ESCAPE) & 0x8000) == 0 &&
        m_edit.m_hWnd != nullptr && ::IsWindow(m_edit.m_hWnd) &&
        ::GetWindowTextLength(m_edit.m_hWnd) == 0) {
        empty[0] = 0;
        pInfo->item.pszText = empty;
    }
    if (OnEndLabelEdit(pNMHDR, pResult))
        return TRUE;
    const int nItem = pInfo->item.iItem;
    *pResult = 0;
    if (pInfo->item.pszText == nullptr || nItem < 0 || nItem >= GetItemCount() || nColumn != 0)
        return FALSE;
    const CString text = pInfo->item.pszText;
    if (!text.IsEmpty() && !m_bAllowDuplicates) {
        LVFINDINFO find{};
        find.flags = LVFI_STRING | LVFI_WRAP;
        find.psz = text;
        const int nFound = FindItem(&find, nItem);
        if (nFound != -1 && nFound != nItem) {
            ::MessageBox(GetTopLevelParent()->GetSafeHwnd(), m_strDuplicateMessage, nullptr,
                         MB_ICONEXCLAMATION);
            SetItemText(nItem, 0, m_strOldText);
        }
    }
    // The list view may not report a text change of the first column: apply it here too
    // (a change already applied leaves nothing to do).
    ApplyTextChange(nItem);
    return FALSE;
}

LRESULT COXEditList::OnInsertItemList(WPARAM wParam, LPARAM lParam)
{
    if (!m_bListReady || lParam == 0)
        return OnInsertItem(wParam, lParam);
    LVITEM item = *reinterpret_cast<const LVITEM*>(lParam);
    const int n = GetItemCount();
    if (n > 0 && item.iItem >= n) {
        const bool named = !(item.mask & LVIF_TEXT) || item.pszText == LPSTR_TEXTCALLBACK ||
                           (item.pszText != nullptr && item.pszText[0] != 0);
        if (named)
            item.iItem = n - 1; // before the empty row
    }
    return OnInsertItem(wParam, reinterpret_cast<LPARAM>(&item));
}

LRESULT COXEditList::OnDeleteItemList(WPARAM wParam, LPARAM lParam)
{
    if (m_bListReady && static_cast<int>(wParam) == GetItemCount() - 1)
        return FALSE;
    return OnDeleteItem(wParam, lParam);
}

LRESULT COXEditList::OnDeleteAllItemsList(WPARAM wParam, LPARAM lParam)
{
    if (!m_bListReady)
        return OnDeleteAllItems(wParam, lParam);
    while (GetItemCount() > 1)
        OnDeleteItem(0, 0);
    return TRUE;
}

BOOL COXEditList::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* pTTT = reinterpret_cast<NMTTDISPINFOA*>(pNMHDR);
    UINT_PTR nID = pNMHDR->idFrom;
    if (pTTT->uFlags & TTF_IDISHWND)
        nID = static_cast<UINT_PTR>(::GetDlgCtrlID(reinterpret_cast<HWND>(nID)));
    CString full;
    full.LoadString(static_cast<UINT>(nID));
    const int nl = full.Find('\n');
    CString tip = nl >= 0 ? full.Mid(nl + 1) : CString();
    if (tip.GetLength() > 79)
        tip = tip.Left(79);
    if (pNMHDR->code == TTN_NEEDTEXTA) {
        lstrcpynA(pTTT->szText, tip, 80);
    } else {
        auto* pW = reinterpret_cast<NMTTDISPINFOW*>(pNMHDR);
        ::MultiByteToWideChar(CP_ACP, 0, tip, -1, pW->szText, 80);
        pW->szText[79] = 0;
    }
    ::SetWindowPos(pNMHDR->hwndFrom, HWND_TOP, 0, 0, 0, 0,
                   SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOMOVE);
    *pResult = 0;
    return TRUE;
}
