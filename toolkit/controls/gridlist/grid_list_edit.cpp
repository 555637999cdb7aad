// In-place editing of the grid list: the editor over the list view's label editor, cell
// geometry, and the move to the next cell after Tab, Insert, Up or Down.
#include "toolkit/controls/gridlist/grid_list.h"

IMPLEMENT_DYNAMIC(COXGridEdit, CEdit)

BEGIN_MESSAGE_MAP(COXGridEdit, CEdit)
ON_MESSAGE(WM_WINDOWPOSCHANGING, OnWindowPosChanging)
ON_WM_SIZE()
ON_WM_CHAR()
ON_WM_KEYDOWN()
ON_WM_DESTROY()
END_MESSAGE_MAP()

COXGridEdit::~COXGridEdit() = default;

void COXGridEdit::Reset()
{
    m_sPendingText.Empty();
    m_bPendingText = FALSE;
    m_ptForced = POINT{};
    m_bForcedPosition = FALSE;
    m_nForcedHeight = 0;
    m_bForcedHeight = FALSE;
    m_nExtraWidth = 0;
    m_bSizeToText = FALSE;
    m_nEndKey = 0;
    m_bEndShift = FALSE;
    m_bEndCtrl = FALSE;
    m_nRightLimit = -1;
    m_bStretch = FALSE;
}

void COXGridEdit::SetEditPosition(POINT point)
{
    m_ptForced = point;
    m_bForcedPosition = TRUE;
}

void COXGridEdit::SetEditHeight(int nHeight)
{
    m_nForcedHeight = nHeight;
    m_bForcedHeight = TRUE;
}

void COXGridEdit::SetExtraWidth(int nWidth)
{
    m_nExtraWidth = nWidth;
    m_bSizeToText = TRUE;
}

void COXGridEdit::SetEditText(LPCTSTR lpszText)
{
    m_sPendingText = lpszText;
    m_bPendingText = TRUE;
}

UINT COXGridEdit::GetEndKey(BOOL& bShift, BOOL& bCtrl) const
{
    bShift = m_bEndShift;
    bCtrl = m_bEndCtrl;
    return m_nEndKey;
}

// The width the text needs: from the positions of its first and last characters, scaled to
// include the last one.
int COXGridEdit::TextWidth() const
{
    const int n = GetWindowTextLength();
    if (n == 0)
        return 0;
    if (n == 1)
        return 10;
    const int first = static_cast<short>(LOWORD(SendMessage(EM_POSFROMCHAR, 0)));
    const int last = static_cast<short>(LOWORD(SendMessage(EM_POSFROMCHAR, n - 1)));
    if (last != 0)
        return (last - first) * n / (n - 1);
    CString text;
    GetWindowText(text);
    HDC hDC = ::GetDC(m_hWnd);
    HGDIOBJ hOld = ::SelectObject(hDC, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
    SIZE size{};
    ::GetTextExtentPoint32(hDC, text, text.GetLength(), &size);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(m_hWnd, hDC);
    return size.cx;
}

LRESULT COXGridEdit::OnWindowPosChanging(WPARAM, LPARAM lParam)
{
    auto* pos = reinterpret_cast<WINDOWPOS*>(lParam);
    RECT current{};
    GetWindowRect(&current);
    if (pos->flags & SWP_NOSIZE) { // sizes are not given: start from the current ones
        pos->cx = current.right - current.left;
        pos->cy = current.bottom - current.top;
    }
    if (m_bForcedPosition) {
        pos->x = m_ptForced.x;
        pos->y = m_ptForced.y;
        pos->flags &= ~SWP_NOMOVE;
    }
    if (m_bForcedHeight) {
        pos->cy = m_nForcedHeight;
        pos->flags &= ~SWP_NOSIZE;
    }
    if (m_bSizeToText) {
        pos->cx = TextWidth() + m_nExtraWidth;
        pos->flags &= ~SWP_NOSIZE;
    }
    if (m_nRightLimit == -1) {
        RECT client{};
        ::GetClientRect(::GetParent(m_hWnd), &client);
        m_nRightLimit = client.right;
    }
    if ((m_bStretch || pos->x + pos->cx > m_nRightLimit) && !(pos->flags & SWP_NOSIZE)) {
        pos->cx = m_nRightLimit - pos->x;
        if (pos->cx < 0)
            pos->cx = 0;
    }
    return Default();
}

void COXGridEdit::OnDestroy()
{
    CEdit::OnDestroy();
    // The list view may hand its editor its first procedure back while destroying it; then
    // WM_NCDESTROY never reaches this object, so it lets go of the window now.
    if (m_hWnd != nullptr &&
        reinterpret_cast<WNDPROC>(::GetWindowLongPtr(m_hWnd, GWLP_WNDPROC)) != &AfxWndProc) {
        m_pfnSuper = nullptr;
        Detach();
    }
}

void COXGridEdit::OnSize(UINT nType, int cx, int cy)
{
    CEdit::OnSize(nType, cx, cy);
    if (m_bPendingText) {
        m_bPendingText = FALSE;
        SetWindowText(m_sPendingText);
        SetSel(0, -1);
    }
}

void COXGridEdit::EndWithKey(UINT nKey)
{
    m_nEndKey = nKey;
    m_bEndShift = ::GetKeyState(VK_SHIFT) < 0;
    m_bEndCtrl = ::GetKeyState(VK_CONTROL) < 0;
    ::SetFocus(::GetParent(m_hWnd)); // the list view ends the edit when its editor loses focus
}

void COXGridEdit::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (nChar == VK_TAB)
        EndWithKey(VK_TAB);
    else
        CEdit::OnChar(nChar, nRepCnt, nFlags);
}

void COXGridEdit::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    CEdit::OnKeyDown(nChar, nRepCnt, nFlags);
    if (nChar == VK_UP || nChar == VK_DOWN || nChar == VK_INSERT)
        EndWithKey(nChar);
}

// The grid list's side

int COXGridList::FirstEditableColumn() const
{
    for (int i = 0; i < GetColumnCount(); ++i)
        if (IsColumnEditable(i))
            return i;
    return -1;
}

CEdit* COXGridList::EditLabel(int nItem, int nColumn)
{
    if (nColumn == -1)
        nColumn = FirstEditableColumn();
    if (nColumn == -1)
        return nullptr;
    auto hEdit = reinterpret_cast<HWND>(SendMessage(LVM_EDITLABEL, nItem, nColumn));
    if (hEdit == nullptr)
        return nullptr;
    if (hEdit == m_edit.m_hWnd)
        return &m_edit;
    return static_cast<CEdit*>(FromHandle(hEdit));
}

void COXGridList::PostEditLabel(int nItem, int nColumn)
{
    PostMessage(LVM_EDITLABEL, static_cast<WPARAM>(nItem), nColumn);
}

LRESULT COXGridList::OnEditLabelMessage(WPARAM wParam, LPARAM lParam)
{
    const int nItem = static_cast<int>(wParam);
    RECT cell{};
    if (GetCellRect(nItem, static_cast<int>(lParam), FALSE, cell) &&
        (cell.left | cell.top | cell.right | cell.bottom) != 0)
        m_ptLastClick = POINT{cell.left, cell.top};
    SetFocus();
    return DefWindowProc(LVM_EDITLABEL, wParam, 0);
}

BOOL COXGridList::GetCellRect(int nItem, int nColumn, BOOL bWhole, RECT& rect) const
{
    ::SetRectEmpty(&rect);
    RECT bounds{}, label{};
    if (!GetItemRect(nItem, &bounds, LVIR_BOUNDS) || !GetItemRect(nItem, &label, LVIR_LABEL))
        return FALSE;
    int imageArea = label.left - bounds.left;
    if (SendMessage(LVM_GETIMAGELIST, LVSIL_STATE) != 0 &&
        (GetItemState(nItem, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) == 0)
        imageArea -= StateImageWidth();
    int x = bounds.left;
    LVCOLUMN col{};
    col.mask = LVCF_WIDTH;
    for (int i = 0; i <= nColumn; ++i) {
        if (!GetColumn(i, &col)) {
            ::SetRectEmpty(&rect);
            return FALSE;
        }
        rect = RECT{x, bounds.top, x + col.cx, bounds.bottom};
        x += col.cx;
    }
    if (!bWhole && nColumn == m_nImageColumn)
        rect.left += imageArea;
    return nColumn >= 0;
}

BOOL COXGridList::HitTestCell(POINT point, int& nItem, int& nColumn, RECT& rect) const
{
    const int count = GetItemCount();
    const int end = GetTopIndex() + GetCountPerPage() + 1;
    for (int i = GetTopIndex(); i < count && i <= end; ++i) {
        RECT bounds{};
        if (!GetItemRect(i, &bounds, LVIR_BOUNDS) || point.y < bounds.top ||
            point.y >= bounds.bottom)
            continue;
        for (int c = 0; c < GetColumnCount(); ++c) {
            RECT cell{};
            if (!GetCellRect(i, c, FALSE, cell))
                break;
            if (::PtInRect(&cell, point)) {
                nItem = i;
                nColumn = c;
                rect = cell;
                return TRUE;
            }
        }
        return FALSE;
    }
    return FALSE;
}

BOOL COXGridList::OnBeginLabelEdit(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* pInfo = reinterpret_cast<NMLVDISPINFO*>(pNMHDR);
    auto hEdit = reinterpret_cast<HWND>(DefWindowProc(LVM_GETEDITCONTROL, 0, 0));
    if (hEdit == nullptr || hEdit == m_edit.m_hWnd)
        return FALSE;
    if (m_edit.m_hWnd != nullptr)
        m_edit.UnsubclassWindow();
    m_edit.Reset();
    m_edit.SubclassWindow(hEdit);

    int nHitItem = -1, nHitColumn = -1;
    RECT cell{};
    if (!HitTestCell(m_ptLastClick, nHitItem, nHitColumn, cell) || !IsColumnEditable(nHitColumn)) {
        *pResult = 1; // no edit, and nobody else hears of it
        return TRUE;
    }
    m_nEditColumn = nHitColumn;
    const int nItem = pInfo->item.iItem;
    if (nItem != nHitItem)
        GetCellRect(nItem, nHitColumn, FALSE, cell);
    m_edit.SetEditPosition(POINT{cell.left > 0 ? cell.left : 0, cell.top});
    m_edit.SetEditHeight(cell.bottom - cell.top);
    RECT label{};
    if (GetItemRect(nItem, &label, LVIR_LABEL) && label.left < 0)
        m_edit.SetExtraWidth(15);
    m_edit.SetEditText(GetItemText(nItem, nHitColumn));
    for (int i = GetNextItem(-1, LVNI_SELECTED); i != -1; i = GetNextItem(i, LVNI_SELECTED))
        if (i != nItem)
            SetItemState(i, 0, LVIS_SELECTED);
    // Place it now: the list view may not move its editor again after this notification.
    m_edit.SetWindowPos(nullptr, 0, 0, cell.right - cell.left, cell.bottom - cell.top,
                        SWP_NOZORDER | SWP_NOACTIVATE);
    *pResult = 0;
    return FALSE;
}

BOOL COXGridList::SetItemTextNotify(int nItem, int nColumn, LPCTSTR lpszText)
{
    NMLISTVIEW notify{};
    notify.hdr.hwndFrom = m_hWnd;
    notify.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    notify.iItem = nItem;
    notify.iSubItem = nColumn;
    notify.uChanged = LVIF_TEXT;
    notify.lParam = static_cast<LPARAM>(GetItemData(nItem));
    HWND hParent = ::GetParent(m_hWnd);
    if (nColumn > 0) {
        notify.hdr.code = LVN_ITEMCHANGING;
        if (::SendMessage(hParent, WM_NOTIFY, notify.hdr.idFrom,
                          reinterpret_cast<LPARAM>(&notify)) != 0)
            return FALSE;
    }
    SetItemText(nItem, nColumn, lpszText);
    if (nColumn > 0) {
        notify.hdr.code = LVN_ITEMCHANGED;
        ::SendMessage(hParent, WM_NOTIFY, notify.hdr.idFrom, reinterpret_cast<LPARAM>(&notify));
    }
    return TRUE;
}

int COXGridList::NextEditableColumn(int nColumn, int nStep) const
{
    const int n = GetColumnCount();
    if (n <= 0)
        return nColumn;
    int c = nColumn;
    for (int guard = 0; guard <= n; ++guard) {
        c += nStep;
        if (c >= n)
            c = 0;
        else if (c < 0)
            c = n - 1;
        if (c == nColumn || IsColumnEditable(c))
            return c;
    }
    return nColumn;
}

BOOL COXGridList::EnsureCellVisible(int nItem, int nColumn, BOOL bPartialOK)
{
    if (!EnsureVisible(nItem, bPartialOK) || nColumn < 0 || nColumn >= GetColumnCount())
        return FALSE;
    RECT cell{}, client{};
    GetCellRect(nItem, nColumn, TRUE, cell);
    GetClientRect(&client);
    if (cell.right > client.right) {
        const int dx = cell.right - client.right;
        Scroll(CSize(dx, 0));
        ::OffsetRect(&cell, -dx, 0);
    }
    if (cell.left < client.left)
        Scroll(CSize(cell.left - client.left, 0));
    return TRUE;
}

void COXGridList::MoveEditAfter(int nItem, UINT nKey, BOOL bShift)
{
    const int count = GetItemCount();
    int nRow = nItem;
    int nColumn = m_nEditColumn;
    switch (nKey) {
    case VK_TAB:
        nColumn = NextEditableColumn(nColumn, bShift ? -1 : 1);
        break;
    case VK_INSERT:
        nColumn = NextEditableColumn(nColumn, 1);
        break;
    case VK_UP:
        nRow = nItem == 0 ? count - 1 : nItem - 1;
        break;
    case VK_DOWN:
        nRow = nItem >= count - 1 ? 0 : nItem + 1;
        break;
    default:
        return;
    }
    if (nRow == nItem && nColumn == m_nEditColumn)
        return;
    EnsureCellVisible(nRow, nColumn, FALSE);
    if (nKey == VK_DOWN)
        Update(nItem - 1);
    else if (nKey == VK_UP)
        Update(nItem);
    PostEditLabel(nRow, nColumn);
}

BOOL COXGridList::OnEndLabelEdit(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* pInfo = reinterpret_cast<NMLVDISPINFO*>(pNMHDR);
    pInfo->item.iSubItem = m_nEditColumn;
    *pResult = 0; // the text is stored here, not by the list view
    const int nItem = pInfo->item.iItem;
    if (pInfo->item.pszText != nullptr && nItem >= 0 &&
        !SetItemTextNotify(nItem, m_nEditColumn, pInfo->item.pszText))
        return FALSE;
    BOOL bShift = FALSE, bCtrl = FALSE;
    const UINT nKey = m_edit.GetEndKey(bShift, bCtrl);
    if (nKey != 0 && nItem >= 0)
        MoveEditAfter(nItem, nKey, bShift);
    return FALSE;
}

void COXGridList::MoveFocusFromEditor()
{
    if (m_edit.m_hWnd != nullptr && ::GetFocus() == m_edit.m_hWnd)
        SetFocus();
}
