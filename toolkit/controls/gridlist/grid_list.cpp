// The grid list: initialisation, check boxes, drawing, selection, keyboard and mouse.
#include "toolkit/controls/gridlist/grid_list.h"

IMPLEMENT_DYNAMIC(COXGridList, CListCtrl)

BEGIN_MESSAGE_MAP(COXGridList, CListCtrl)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_ERASEBKGND()
ON_WM_LBUTTONDOWN()
ON_WM_LBUTTONDBLCLK()
ON_WM_KEYDOWN()
ON_MESSAGE(WM_KEYUP, OnKeyUpMessage)
ON_WM_CHAR()
ON_WM_VSCROLL()
ON_MESSAGE(WM_PARENTNOTIFY, OnParentNotify)
ON_WM_CONTEXTMENU()
ON_NOTIFY_REFLECT_EX(LVN_BEGINLABELEDIT, OnBeginLabelEdit)
ON_NOTIFY_REFLECT_EX(LVN_ENDLABELEDIT, OnEndLabelEdit)
ON_NOTIFY_REFLECT_EX(LVN_COLUMNCLICK, OnColumnClick)
ON_NOTIFY_REFLECT_EX(LVN_ITEMCHANGING, OnItemDataNotify)
ON_NOTIFY_REFLECT_EX(LVN_ITEMCHANGED, OnItemDataNotify)
ON_NOTIFY_REFLECT_EX(LVN_INSERTITEM, OnItemDataNotify)
ON_NOTIFY_REFLECT_EX(LVN_DELETEITEM, OnItemDataNotify)
ON_NOTIFY_REFLECT_EX(LVN_DELETEALLITEMS, OnItemDataNotify)
ON_NOTIFY_REFLECT_EX(LVN_BEGINDRAG, OnItemDataNotify)
ON_NOTIFY_REFLECT_EX(LVN_BEGINRDRAG, OnItemDataNotify)
ON_NOTIFY_REFLECT_EX(LVN_KEYDOWN, OnItemDataNotify)
ON_NOTIFY_REFLECT_EX(LVN_GETDISPINFO, OnItemDataNotify)
ON_NOTIFY_REFLECT_EX(LVN_SETDISPINFO, OnItemDataNotify)
ON_NOTIFY_REFLECT_EX(NM_SETFOCUS, OnFocusChange)
ON_NOTIFY_REFLECT_EX(NM_KILLFOCUS, OnFocusChange)
ON_MESSAGE(LVM_INSERTITEM, OnInsertItem)
ON_MESSAGE(LVM_GETITEM, OnGetItem)
ON_MESSAGE(LVM_SETITEM, OnSetItem)
ON_MESSAGE(LVM_DELETEITEM, OnDeleteItem)
ON_MESSAGE(LVM_DELETEALLITEMS, OnDeleteAllItems)
ON_MESSAGE(LVM_FINDITEM, OnFindItem)
ON_MESSAGE(LVM_EDITLABEL, OnEditLabelMessage)
ON_MESSAGE(LVM_INSERTCOLUMN, OnInsertColumn)
ON_MESSAGE(LVM_DELETECOLUMN, OnDeleteColumn)
ON_MESSAGE(LVM_SETCOLUMN, OnSetColumn)
END_MESSAGE_MAP()

namespace {

constexpr COLORREF kMaskColor = RGB(255, 0, 255);
constexpr int kCheckImageWidth = 13;

int ImageWidth(HIMAGELIST hList)
{
    int cx = 0, cy = 0;
    return hList != nullptr && ImageList_GetIconSize(hList, &cx, &cy) ? cx : 0;
}

int ImageHeight(HIMAGELIST hList)
{
    int cx = 0, cy = 0;
    return hList != nullptr && ImageList_GetIconSize(hList, &cx, &cy) ? cy : 0;
}

// Centred in the row when it is smaller, else at the row's top.
int ImageTop(const RECT& row, int nHeight)
{
    int rowHeight = row.bottom - row.top;
    return nHeight < rowHeight ? row.top + (rowHeight - nHeight) / 2 : row.top;
}

} // namespace

COXGridList::COXGridList() = default;

COXGridList::~COXGridList()
{
    // The header and the editor are children: they go with the list, while their objects live.
    if (m_hWnd != nullptr)
        DestroyWindow();
}

BOOL COXGridList::Initialize()
{
    m_bInitialized = TRUE;
    m_arrEditable.RemoveAll();
    // A list taken over with columns already in it counts them from its header.
    HWND hHeader = ::GetDlgItem(m_hWnd, 0);
    m_nColumnCount = hHeader != nullptr
                         ? static_cast<int>(::SendMessage(hHeader, HDM_GETITEMCOUNT, 0, 0))
                         : 0;
    if (m_nColumnCount < 0)
        m_nColumnCount = 0;
    m_arrEditable.SetSize(m_nColumnCount);
    for (int i = 0; i < m_nColumnCount; ++i)
        m_arrEditable[i] = 0;
    SetBkColor(::GetSysColor(COLOR_WINDOW));
    SetTextBkColor(::GetSysColor(COLOR_WINDOW));
    SetTextColor(::GetSysColor(COLOR_WINDOWTEXT));
    SetTextFont(nullptr, TRUE);
    m_bHighlight = TRUE;
    m_pContextMenu = nullptr;
    AttachHeader();
    return TRUE;
}

void COXGridList::AttachHeader()
{
    HWND hHeader = ::GetDlgItem(m_hWnd, 0);
    if (hHeader != nullptr && m_header.m_hWnd == nullptr)
        m_header.SubclassWindow(hHeader);
}

void COXGridList::PreSubclassWindow()
{
    CListCtrl::PreSubclassWindow();
    if (!AfxIsWindowCreationUnderway())
        Initialize();
}

int COXGridList::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    int result = CListCtrl::OnCreate(lpCreateStruct);
    if (result != -1)
        Initialize();
    return result;
}

void COXGridList::RestoreDefaults()
{
    m_bInitialized = FALSE;
    m_bCheckable = FALSE;
    m_nCheckStyle = BS_AUTOCHECKBOX;
    m_bAutoEdit = FALSE;
    m_nItemDataState = kPlain;
    m_nColumnCount = 0;
    m_bGridLines = FALSE;
    m_bHorzGridLines = TRUE;
    m_bVertGridLines = TRUE;
    m_rectFocus = RECT{};
    m_ptLastClick = POINT{};
    m_nEditColumn = 0;
    m_arrEditable.RemoveAll();
    m_bSortAscending = FALSE;
    m_nSortColumn = -1;
    m_pContextMenu = nullptr;
}

void COXGridList::OnDestroy()
{
    SetSortable(FALSE);
    RestoreDefaults();
    // The check images belong to this object; the list view would destroy them with itself.
    if (m_stateImages.GetSafeHandle() != nullptr &&
        reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, LVSIL_STATE)) ==
            m_stateImages.GetSafeHandle())
        SendMessage(LVM_SETIMAGELIST, LVSIL_STATE, 0);
    CListCtrl::OnDestroy();
}

LRESULT COXGridList::OnParentNotify(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == WM_CREATE && reinterpret_cast<HWND>(lParam) == ::GetDlgItem(m_hWnd, 0))
        AttachHeader();
    return Default();
}

// Check boxes

int COXGridList::StateImageWidth() const
{
    return ImageWidth(reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, LVSIL_STATE)));
}

BOOL COXGridList::LoadCheckImages()
{
    m_stateImages.DeleteImageList();
    if (!m_stateImages.Create(IDB_OX_GRIDLIST_CHECKS, kCheckImageWidth, 0, kMaskColor))
        return FALSE;
    m_stateImages.SetBkColor(::GetSysColor(COLOR_WINDOW));
    SetImageList(&m_stateImages, LVSIL_STATE);
    return TRUE;
}

void COXGridList::SetCheckable(BOOL bCheckable)
{
    if (bCheckable) {
        if (m_bCheckable)
            return;
        if (SendMessage(LVM_GETIMAGELIST, LVSIL_STATE) == 0)
            LoadCheckImages();
        m_bCheckable = TRUE;
        SetCheck(-1, 0);
    } else if (m_bCheckable) {
        SetItemState(-1, INDEXTOSTATEIMAGEMASK(0), LVIS_STATEIMAGEMASK);
        m_bCheckable = FALSE;
    }
}

BOOL COXGridList::SetCheck(int nItem, int nCheck)
{
    if (!m_bCheckable || nCheck < -1 || nCheck > 2)
        return FALSE;
    if (nCheck == 2 && (m_nCheckStyle == BS_CHECKBOX || m_nCheckStyle == BS_AUTOCHECKBOX))
        return FALSE;
    return SetItemState(nItem, INDEXTOSTATEIMAGEMASK(nCheck + 1), LVIS_STATEIMAGEMASK);
}

int COXGridList::GetCheck(int nItem) const
{
    if (!m_bCheckable)
        return 0;
    return static_cast<int>(GetItemState(nItem, LVIS_STATEIMAGEMASK) >> 12) - 1;
}

BOOL COXGridList::SetItemCheck(int nItem, int nCheck)
{
    return SetCheck(nItem, nCheck);
}

BOOL COXGridList::ToggleCheck(int nItem)
{
    if (m_nCheckStyle == BS_CHECKBOX || m_nCheckStyle == BS_3STATE)
        return FALSE;
    const int states = m_nCheckStyle == BS_AUTOCHECKBOX ? 2 : 3;
    const int nNew = (GetCheck(nItem) + 1) % states; // an item without a box becomes 0
    SetItemCheck(nItem, nNew);
    if (GetItemState(nItem, LVIS_SELECTED) & LVIS_SELECTED) {
        for (int i = GetNextItem(-1, LVNI_SELECTED); i != -1; i = GetNextItem(i, LVNI_SELECTED))
            if (i != nItem && GetCheck(i) != nNew)
                SetItemCheck(i, nNew);
    }
    return TRUE;
}

int COXGridList::HitTestCheckBox(POINT point) const
{
    if (!m_bCheckable || SendMessage(LVM_GETIMAGELIST, LVSIL_STATE) == 0)
        return -1;
    RECT first{};
    if (!GetItemRect(0, &first, LVIR_BOUNDS))
        return -1;
    if (point.x < first.left || point.x >= first.left + StateImageWidth())
        return -1;
    return RowAt(point);
}

// The row whose full width holds the point (the list view's own hit test knows only the
// first column).
int COXGridList::RowAt(POINT point) const
{
    const int count = GetItemCount();
    const int end = GetTopIndex() + GetCountPerPage() + 1;
    for (int i = GetTopIndex(); i < count && i <= end; ++i) {
        RECT bounds{};
        if (GetItemRect(i, &bounds, LVIR_BOUNDS) && point.y >= bounds.top &&
            point.y < bounds.bottom)
            return point.x >= bounds.left && point.x < bounds.right ? i : -1;
    }
    return -1;
}

// Selection and focus

int COXGridList::GetCurSel() const
{
    return GetNextItem(-1, LVNI_SELECTED);
}

BOOL COXGridList::SetCurSel(int nItem, BOOL bSelect)
{
    const UINT state = bSelect ? LVIS_SELECTED : 0;
    if (nItem != -1)
        return SetItemState(nItem, state, LVIS_SELECTED);
    BOOL result = TRUE;
    for (int i = 0, n = GetItemCount(); i < n && result; ++i)
        result = SetItemState(i, state, LVIS_SELECTED);
    return result;
}

int COXGridList::GetFocusedItem() const
{
    return GetNextItem(-1, LVNI_FOCUSED);
}

BOOL COXGridList::SetFocusedItem(int nItem, BOOL bFocus)
{
    if (nItem == -1)
        nItem = GetFocusedItem();
    return SetItemState(nItem, bFocus ? LVIS_FOCUSED : 0, LVIS_FOCUSED);
}

// Looks

void COXGridList::RedrawList()
{
    if (m_hWnd != nullptr)
        RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
}

void COXGridList::CreateGridPen(COLORREF crColor)
{
    m_gridPen.DeleteObject();
    LOGBRUSH brush{BS_SOLID, crColor, 0};
    if (!m_gridPen.Attach(::ExtCreatePen(PS_COSMETIC | PS_ALTERNATE, 1, &brush, 0, nullptr)))
        m_gridPen.CreatePen(PS_SOLID, 1, crColor);
}

void COXGridList::SetGridLines(BOOL bGridLines, COLORREF crColor, BOOL bRedraw)
{
    m_bGridLines = bGridLines;
    CreateGridPen(crColor);
    if (bRedraw)
        RedrawList();
}

void COXGridList::GetGridLines(BOOL& bGridLines, COLORREF& crColor) const
{
    bGridLines = m_bGridLines;
    crColor = 0;
    if (m_gridPen.GetSafeHandle() == nullptr)
        return;
    if (::GetObjectType(m_gridPen.GetSafeHandle()) == OBJ_EXTPEN) {
        EXTLOGPEN pen{};
        if (m_gridPen.GetObject(sizeof(pen), &pen))
            crColor = pen.elpColor;
    } else {
        LOGPEN pen{};
        if (m_gridPen.GetObject(sizeof(pen), &pen))
            crColor = pen.lopnColor;
    }
}

void COXGridList::SetGridLinesDirection(BOOL bHorizontal, BOOL bVertical)
{
    bool changed = (bHorizontal != 0) != (m_bHorzGridLines != 0) ||
                   (bVertical != 0) != (m_bVertGridLines != 0);
    m_bHorzGridLines = bHorizontal;
    m_bVertGridLines = bVertical;
    if (m_bGridLines && changed)
        Invalidate();
}

BOOL COXGridList::SetTextFont(CFont* pFont, BOOL bRedraw)
{
    BOOL ok = TRUE;
    // The list gets its new font before the old own font is deleted.
    CFont old;
    old.Attach(m_textFont.Detach());
    LOGFONT lf{};
    if (pFont == nullptr) {
        // The list's default font, held as our own: a list told "no font" hands that on to
        // its header, which then writes in the bold system font.
        SendMessage(WM_SETFONT, 0, FALSE);
        const auto hDefault = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
        if (hDefault == nullptr || ::GetObject(hDefault, sizeof(lf), &lf) == 0)
            ::GetObject(::GetStockObject(DEFAULT_GUI_FONT), sizeof(lf), &lf);
        m_textFont.CreateFontIndirect(&lf);
    } else if (pFont->GetLogFont(&lf) == 0 || !m_textFont.CreateFontIndirect(&lf)) {
        m_textFont.CreateStockObject(SYSTEM_FONT);
        ok = FALSE;
    }
    SetFont(&m_textFont, FALSE);
    if (bRedraw)
        RedrawList();
    return ok;
}

void COXGridList::SetShowSelAlways(BOOL bShowSelAlways)
{
    if (((GetStyle() & LVS_SHOWSELALWAYS) != 0) != (bShowSelAlways != 0))
        ModifyStyle(bShowSelAlways ? 0 : LVS_SHOWSELALWAYS, bShowSelAlways ? LVS_SHOWSELALWAYS : 0);
    Invalidate();
}

void COXGridList::SetMultipleSelection(BOOL bMultiple)
{
    if (bMultiple) {
        ModifyStyle(LVS_SINGLESEL, 0);
        return;
    }
    int first = GetNextItem(-1, LVNI_SELECTED);
    if (first != -1)
        for (int i = GetNextItem(first, LVNI_SELECTED); i != -1; i = GetNextItem(i, LVNI_SELECTED))
            SetItemState(i, 0, LVIS_SELECTED);
    ModifyStyle(0, LVS_SINGLESEL);
}

void COXGridList::SetEditable(BOOL bEditable, int nColumn)
{
    if (!(GetStyle() & LVS_EDITLABELS))
        ModifyStyle(0, LVS_EDITLABELS);
    const WORD flag = bEditable ? 1 : 0;
    if (nColumn == -1) {
        for (INT_PTR i = 0; i < m_arrEditable.GetSize(); ++i)
            m_arrEditable[i] = flag;
        return;
    }
    ASSERT(nColumn >= 0 && nColumn < m_arrEditable.GetSize());
    if (nColumn >= 0 && nColumn < m_arrEditable.GetSize())
        m_arrEditable[nColumn] = flag;
}

BOOL COXGridList::IsColumnEditable(int nColumn) const
{
    return nColumn >= 0 && nColumn < m_arrEditable.GetSize() && m_arrEditable[nColumn] != 0;
}

BOOL COXGridList::ResizeColumnsToFit()
{
    const int n = GetColumnCount();
    if (n <= 0)
        return FALSE;
    RECT client{};
    GetClientRect(&client);
    const int width = client.right - client.left;
    for (int i = 0; i < n; ++i)
        SetColumnWidth(i, width / n + (i == n - 1 ? width % n : 0));
    return TRUE;
}

// Drawing

void COXGridList::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    if (lpDIS->itemID == static_cast<UINT>(-1) ||
        !(lpDIS->itemAction & (ODA_DRAWENTIRE | ODA_SELECT)))
        return;
    const bool focused = ::GetFocus() == m_hWnd;
    const BOOL bHighlighted = m_bHighlight && ((GetStyle() & LVS_SHOWSELALWAYS) || focused) &&
                              (lpDIS->itemState & ODS_SELECTED);
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    const int saved = pDC->SaveDC();
    if (HFONT hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)))
        ::SelectObject(lpDIS->hDC, hFont);
    pDC->SetTextColor(bHighlighted ? ::GetSysColor(COLOR_HIGHLIGHTTEXT) : GetTextColor());
    COLORREF bk = GetTextBkColor();
    if (!IsWindowEnabled())
        bk = ::GetSysColor(COLOR_INACTIVEBORDER);
    else if (bHighlighted)
        bk = ::GetSysColor(COLOR_HIGHLIGHT);
    pDC->SetBkColor(bk);

    // The cells follow the header's columns: start at the row's bounds, whatever inset the
    // list view gave the rectangle.
    RECT bounds{};
    if (GetItemRect(static_cast<int>(lpDIS->itemID), &bounds, LVIR_BOUNDS))
        lpDIS->rcItem.left = bounds.left;
    DrawItemColumns(lpDIS, bHighlighted);
    if ((lpDIS->itemState & ODS_FOCUS) && focused && m_bHighlight) {
        m_rectFocus = lpDIS->rcItem;
        ::DrawFocusRect(lpDIS->hDC, &m_rectFocus);
    }
    if (m_bGridLines)
        DrawGridLines(pDC, lpDIS);
    pDC->RestoreDC(saved);
}

void COXGridList::DrawItemColumns(LPDRAWITEMSTRUCT lpDIS, BOOL bHighlighted)
{
    CDC* pDC = CDC::FromHandle(lpDIS->hDC);
    const int nItem = static_cast<int>(lpDIS->itemID);
    RECT cell = lpDIS->rcItem;
    cell.right = cell.left;
    LVCOLUMN col{};
    col.mask = LVCF_FMT | LVCF_WIDTH;
    for (int i = 0; i < GetColumnCount() && GetColumn(i, &col); ++i) {
        cell.left = cell.right;
        cell.right = cell.left + col.cx;
        if (!::RectVisible(lpDIS->hDC, &cell))
            continue;
        RECT text = cell;
        if (i == m_nImageColumn)
            DrawItemImages(pDC, nItem, text, bHighlighted);
        DrawCellText(pDC, GetItemText(nItem, i), text, col.fmt, DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    lpDIS->rcItem.right = cell.right;
    lpDIS->rcItem.bottom = cell.bottom;
}

void COXGridList::DrawItemImages(CDC* pDC, int nItem, RECT& rectCell, BOOL bHighlighted)
{
    LVITEM item{};
    item.mask = LVIF_IMAGE | LVIF_STATE;
    item.iItem = nItem;
    item.stateMask = LVIS_STATEIMAGEMASK;
    SendMessage(LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item));
    auto hState = reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, LVSIL_STATE));
    auto hSmall = reinterpret_cast<HIMAGELIST>(SendMessage(LVM_GETIMAGELIST, LVSIL_SMALL));
    const COLORREF bk = ::GetBkColor(pDC->m_hDC);
    RECT area = rectCell;
    area.right = area.left + ImageWidth(hState) + ImageWidth(hSmall);
    pDC->FillSolidRect(&area, bk);

    const int nState = static_cast<int>((item.state & LVIS_STATEIMAGEMASK) >> 12);
    if (hState != nullptr && nState > 0) {
        COLORREF old = ImageList_SetBkColor(hState, bk);
        ImageList_Draw(hState, nState - 1, pDC->m_hDC, rectCell.left, // state 1 is image 0
                       ImageTop(rectCell, ImageHeight(hState)), ILD_NORMAL);
        ImageList_SetBkColor(hState, old);
        rectCell.left += ImageWidth(hState);
    }
    if (hSmall != nullptr) {
        COLORREF old = ImageList_SetBkColor(hSmall, bk);
        ImageList_Draw(hSmall, item.iImage, pDC->m_hDC, rectCell.left,
                       ImageTop(rectCell, ImageHeight(hSmall)),
                       bHighlighted ? ILD_SELECTED : ILD_NORMAL);
        ImageList_SetBkColor(hSmall, old);
        rectCell.left += ImageWidth(hSmall);
    }
}

void COXGridList::DrawCellText(CDC* pDC, LPCTSTR lpszText, RECT rectCell, int nFormat,
                               UINT nDrawFlags)
{
    ::ExtTextOut(pDC->m_hDC, 0, 0, ETO_OPAQUE | ETO_CLIPPED, &rectCell, nullptr, 0, nullptr);
    rectCell.top += 1;
    rectCell.left += 2;
    rectCell.right -= 2;
    UINT align = DT_LEFT;
    if ((nFormat & LVCFMT_JUSTIFYMASK) == LVCFMT_RIGHT)
        align = DT_RIGHT;
    else if ((nFormat & LVCFMT_JUSTIFYMASK) == LVCFMT_CENTER)
        align = DT_CENTER;
    pDC->DrawText(lpszText, -1, &rectCell, nDrawFlags | align);
}

void COXGridList::DrawGridLines(CDC* pDC, LPDRAWITEMSTRUCT lpDIS)
{
    if (m_gridPen.GetSafeHandle() == nullptr)
        CreateGridPen(RGB(192, 192, 192));
    const RECT& row = lpDIS->rcItem;
    HGDIOBJ hOld = ::SelectObject(pDC->m_hDC, m_gridPen.GetSafeHandle());
    if (m_bVertGridLines) {
        const int width = row.right - row.left;
        int cumulative = 0;
        for (int i = 0; i < GetColumnCount(); ++i) {
            cumulative += GetColumnWidth(i);
            if (cumulative > width)
                break;
            const int x = row.left + cumulative - 1;
            pDC->MoveTo(x, row.top + row.top % 2);
            pDC->LineTo(x, row.bottom);
        }
    }
    if (m_bHorzGridLines && row.bottom != 0) {
        pDC->MoveTo(0, row.bottom - 1);
        pDC->LineTo(row.right, row.bottom - 1);
    }
    ::SelectObject(pDC->m_hDC, hOld);
}

BOOL COXGridList::OnEraseBkgnd(CDC* pDC)
{
    const int count = GetItemCount();
    if (count == 0)
        return static_cast<BOOL>(Default());
    RECT top{}, last{};
    if (!GetItemRect(GetTopIndex(), &top, LVIR_BOUNDS) ||
        !GetItemRect(count - 1, &last, LVIR_BOUNDS))
        return static_cast<BOOL>(Default());
    RECT rows{top.left, top.top, last.right, last.bottom};
    const int saved = pDC->SaveDC();
    ::ExcludeClipRect(pDC->m_hDC, rows.left, rows.top, rows.right, rows.bottom);
    BOOL result = static_cast<BOOL>(Default());
    pDC->RestoreDC(saved);
    InvalidateRect(&rows, FALSE);
    return result;
}

void COXGridList::RepaintFocusAndSelection()
{
    const int focused = GetFocusedItem();
    if (focused != -1)
        RedrawItems(focused, focused);
    if (GetStyle() & LVS_SHOWSELALWAYS)
        return;
    const int top = GetTopIndex();
    const int end = top + GetCountPerPage();
    for (int i = top; i <= end && i < GetItemCount(); ++i)
        if (GetItemState(i, LVIS_SELECTED) & LVIS_SELECTED)
            RedrawItems(i, i);
}

BOOL COXGridList::OnFocusChange(NMHDR*, LRESULT*)
{
    RepaintFocusAndSelection();
    return FALSE;
}

// Mouse and keyboard

void COXGridList::OnLButtonDown(UINT nFlags, CPoint point)
{
    m_ptLastClick = point;
    const int nItem = HitTestCheckBox(point);
    if (nItem < 0) {
        CListCtrl::OnLButtonDown(nFlags, point);
        return;
    }
    ToggleCheck(nItem);
    if (::GetFocus() != m_hWnd)
        SetFocus();
}

void COXGridList::OnLButtonDblClk(UINT nFlags, CPoint point)
{
    if (!m_bCheckable) {
        CListCtrl::OnLButtonDblClk(nFlags, point);
        return;
    }
    const int nItem = RowAt(point);
    if (nItem >= 0)
        ToggleCheck(nItem);
}

BOOL COXGridList::IsLastItemVisible() const
{
    return GetTopIndex() + GetCountPerPage() >= GetItemCount();
}

void COXGridList::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    const BOOL before = IsLastItemVisible();
    m_bSpaceToggled = false;
    if (nChar == VK_SPACE && m_bCheckable) {
        const int nItem = GetFocusedItem();
        if (nItem != -1) {
            ToggleCheck(nItem);
            m_bSpaceToggled = true;
        }
    } else if (nChar == VK_INSERT) {
        const int nItem = GetFocusedItem();
        if (nItem != -1)
            EditLabel(nItem, -1);
    }
    CListCtrl::OnKeyDown(nChar, nRepCnt, nFlags);
    m_bLastVisibleReported = false;
    if (!before && IsLastItemVisible()) {
        OnLastItemVisible();
        m_bLastVisibleReported = true;
    }
}

LRESULT COXGridList::OnKeyUpMessage(WPARAM, LPARAM)
{
    LRESULT result = Default();
    if (IsLastItemVisible() && !m_bLastVisibleReported)
        OnLastItemVisible();
    m_bLastVisibleReported = false;
    return result;
}

void COXGridList::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (!m_bAutoEdit || nChar == VK_BACK || nChar == VK_RETURN || nChar == VK_ESCAPE) {
        CListCtrl::OnChar(nChar, nRepCnt, nFlags);
        return;
    }
    // The Space that checked a row is not also the first letter of a new text.
    if (nChar == VK_SPACE && m_bSpaceToggled) {
        m_bSpaceToggled = false;
        return;
    }
    const int nItem = GetFocusedItem();
    if (nItem == -1)
        return;
    if (FirstEditableColumn() == -1) {
        ::MessageBeep(static_cast<UINT>(-1));
        return;
    }
    if (EditLabel(nItem, -1) == nullptr || m_edit.m_hWnd == nullptr)
        return;
    const char text[2] = {static_cast<char>(nChar), 0};
    m_edit.m_bPendingText = FALSE;
    m_edit.SetWindowText(text);
    m_edit.SendMessage(EM_SETSEL, 1, 1);
    m_edit.SendMessage(EM_SCROLLCARET);
}

void COXGridList::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar)
{
    const BOOL before = IsLastItemVisible();
    CListCtrl::OnVScroll(nSBCode, nPos, pScrollBar);
    if (!before && IsLastItemVisible())
        OnLastItemVisible();
}

void COXGridList::OnContextMenu(CWnd*, CPoint point)
{
    OXGLNCONTEXTMENU::Record record{m_pContextMenu, point};
    OXGLNCONTEXTMENU notify{};
    notify.hdr.hwndFrom = m_hWnd;
    notify.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    notify.hdr.code = GLN_CONTEXTMENU;
    notify.pRecord = &record;
    if (::SendMessage(::GetParent(m_hWnd), WM_NOTIFY, notify.hdr.idFrom,
                      reinterpret_cast<LPARAM>(&notify)) != 0)
        return;
    if (m_pContextMenu != nullptr)
        m_pContextMenu->TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, point.x, point.y, this);
}
