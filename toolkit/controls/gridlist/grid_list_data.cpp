// Sorting of the grid list and the item-data interception that keeps the owner's item data
// intact while sorting is on: each item's native lParam then points to a heap cell holding
// the owner's value.
#include <mbstring.h>

#include <map>

#include "toolkit/controls/gridlist/grid_list.h"

namespace {

// The texts of the sorted column by native lParam, captured before the sort: the list view's
// contents are unstable while it sorts, so the comparison asks it nothing.
using SortTexts = std::map<LPARAM, CString>;

struct SortContext {
    COXGridList::SortBlock block;
    const SortTexts* pTexts;
};

bool CarriesListView(UINT code)
{
    switch (code) {
    case LVN_ITEMCHANGING:
    case LVN_ITEMCHANGED:
    case LVN_INSERTITEM:
    case LVN_DELETEITEM:
    case LVN_DELETEALLITEMS:
    case LVN_BEGINDRAG:
    case LVN_BEGINRDRAG:
        return true;
    default:
        return false;
    }
}

} // namespace

LPARAM COXGridList::NativeParam(int nItem) const
{
    LVITEM item{};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    auto* self = const_cast<COXGridList*>(this);
    return self->DefWindowProc(LVM_GETITEM, 0, reinterpret_cast<LPARAM>(&item)) ? item.lParam
                                                                                 : 0;
}

BOOL COXGridList::SetNativeParam(int nItem, LPARAM lParam)
{
    LVITEM item{};
    item.mask = LVIF_PARAM;
    item.iItem = nItem;
    item.lParam = lParam;
    return static_cast<BOOL>(DefWindowProc(LVM_SETITEM, 0, reinterpret_cast<LPARAM>(&item)));
}

LPARAM* COXGridList::Cell(int nItem) const
{
    return reinterpret_cast<LPARAM*>(NativeParam(nItem));
}

void COXGridList::WrapItemData()
{
    if (m_nItemDataState == kWrapped)
        return;
    SetItemDataState(kWrapping);
    for (int i = 0, n = GetItemCount(); i < n; ++i)
        SetNativeParam(i, reinterpret_cast<LPARAM>(new LPARAM(NativeParam(i))));
    SetItemDataState(kWrapped);
}

void COXGridList::UnwrapItemData()
{
    if (m_nItemDataState == kPlain)
        return;
    SetItemDataState(kUnwrapping);
    for (int i = 0, n = GetItemCount(); i < n; ++i) {
        LPARAM* cell = Cell(i);
        SetNativeParam(i, cell != nullptr ? *cell : 0);
        delete cell;
    }
    SetItemDataState(kPlain);
}

void COXGridList::SetSortable(BOOL bSortable)
{
    if (bSortable) {
        WrapItemData();
        m_bSortable = TRUE;
        return;
    }
    UnwrapItemData();
    m_nSortColumn = -1;
    if (m_header.m_hWnd != nullptr)
        m_header.SetSortColumn(0, 0);
    m_bSortable = FALSE;
}

BOOL COXGridList::SortColumn(int nColumn)
{
    SortContext context{{this, nColumn, m_bSortAscending}, nullptr};
    SortTexts texts;
    if (m_pfnCompare == &CompareItemText) {
        for (int i = 0, n = GetItemCount(); i < n; ++i)
            texts[NativeParam(i)] = GetItemText(i, nColumn);
        context.pTexts = &texts;
    }
    if (!SortItems(m_pfnCompare, reinterpret_cast<DWORD_PTR>(&context)))
        return FALSE;
    m_nSortColumn = nColumn;
    m_header.SetSortColumn(nColumn, m_bSortAscending ? 1 : -1);
    return TRUE;
}

int CALLBACK COXGridList::CompareItemText(LPARAM lParam1, LPARAM lParam2, LPARAM lParamSort)
{
    const auto* context = reinterpret_cast<const SortContext*>(lParamSort);
    const SortBlock& block = context->block;
    auto textOf = [&](LPARAM lParam) -> CString {
        if (context->pTexts != nullptr) {
            auto it = context->pTexts->find(lParam);
            return it != context->pTexts->end() ? it->second : CString();
        }
        LVFINDINFO find{};
        find.flags = LVFI_PARAM;
        find.lParam = lParam;
        int nItem = static_cast<int>(
            block.pList->DefWindowProc(LVM_FINDITEM, static_cast<WPARAM>(-1),
                                       reinterpret_cast<LPARAM>(&find)));
        return block.pList->GetItemText(nItem, block.nColumn);
    };
    CString a = textOf(lParam1), b = textOf(lParam2);
    int result = _mbsicmp(reinterpret_cast<const unsigned char*>(static_cast<LPCSTR>(a)),
                          reinterpret_cast<const unsigned char*>(static_cast<LPCSTR>(b)));
    return block.bAscending ? result : -result;
}

BOOL COXGridList::OnColumnClick(NMHDR* pNMHDR, LRESULT*)
{
    if (!m_bSortable)
        return FALSE;
    CWaitCursor wait;
    const int nColumn = reinterpret_cast<NMLISTVIEW*>(pNMHDR)->iSubItem;
    m_bSortAscending = nColumn != m_nSortColumn || !m_bSortAscending;
    SortColumn(nColumn);
    return TRUE;
}

BOOL COXGridList::OnItemDataNotify(NMHDR* pNMHDR, LRESULT* pResult)
{
    if (m_nItemDataState == kWrapping || m_nItemDataState == kUnwrapping) {
        *pResult = 0;
        return TRUE;
    }
    if (m_nItemDataState != kWrapped || !CarriesListView(pNMHDR->code))
        return FALSE;
    auto* pView = reinterpret_cast<NMLISTVIEW*>(pNMHDR);
    if (pView->iItem >= 0 && pView->iItem < GetItemCount())
        if (LPARAM* cell = Cell(pView->iItem))
            pView->lParam = *cell;
    return FALSE;
}

LRESULT COXGridList::OnInsertItem(WPARAM wParam, LPARAM lParam)
{
    LVITEM item = *reinterpret_cast<const LVITEM*>(lParam);
    if (m_bCheckable && (!(item.mask & LVIF_STATE) || !(item.stateMask & LVIS_STATEIMAGEMASK))) {
        if (!(item.mask & LVIF_STATE))
            item.state = item.stateMask = 0;
        item.mask |= LVIF_STATE;
        item.stateMask |= LVIS_STATEIMAGEMASK;
        item.state = (item.state & ~LVIS_STATEIMAGEMASK) | INDEXTOSTATEIMAGEMASK(1);
    }
    LPARAM* cell = nullptr;
    if (m_nItemDataState == kWrapped) {
        cell = new LPARAM((item.mask & LVIF_PARAM) ? item.lParam : 0);
        item.mask |= LVIF_PARAM;
        item.lParam = reinterpret_cast<LPARAM>(cell);
    }
    LRESULT result = DefWindowProc(LVM_INSERTITEM, wParam, reinterpret_cast<LPARAM>(&item));
    if (result == -1)
        delete cell;
    return result;
}

LRESULT COXGridList::OnGetItem(WPARAM wParam, LPARAM lParam)
{
    auto* pItem = reinterpret_cast<LVITEM*>(lParam);
    LRESULT result = DefWindowProc(LVM_GETITEM, wParam, lParam);
    if (result && m_nItemDataState == kWrapped && (pItem->mask & LVIF_PARAM)) {
        const auto* cell = reinterpret_cast<const LPARAM*>(pItem->lParam);
        pItem->lParam = cell != nullptr ? *cell : 0;
    }
    return result;
}

LRESULT COXGridList::OnSetItem(WPARAM wParam, LPARAM lParam)
{
    const auto* pItem = reinterpret_cast<const LVITEM*>(lParam);
    if (m_nItemDataState != kWrapped || !(pItem->mask & LVIF_PARAM))
        return DefWindowProc(LVM_SETITEM, wParam, lParam);
    if (pItem->iItem < 0 || pItem->iItem >= GetItemCount())
        return FALSE;
    if (LPARAM* cell = Cell(pItem->iItem))
        *cell = pItem->lParam;
    LVITEM rest = *pItem;
    rest.mask &= ~LVIF_PARAM;
    if (rest.mask == 0)
        return TRUE;
    return DefWindowProc(LVM_SETITEM, wParam, reinterpret_cast<LPARAM>(&rest));
}

LRESULT COXGridList::OnFindItem(WPARAM wParam, LPARAM lParam)
{
    const auto* pFind = reinterpret_cast<const LVFINDINFO*>(lParam);
    if (m_nItemDataState != kWrapped || !(pFind->flags & LVFI_PARAM))
        return DefWindowProc(LVM_FINDITEM, wParam, lParam);
    const int start = static_cast<int>(wParam);
    for (int i = start < 0 ? 0 : start + 1, n = GetItemCount(); i < n; ++i) {
        const LPARAM* cell = Cell(i);
        if (cell != nullptr && *cell == pFind->lParam)
            return i;
    }
    return -1;
}

LRESULT COXGridList::OnDeleteItem(WPARAM wParam, LPARAM lParam)
{
    MoveFocusFromEditor();
    const int nItem = static_cast<int>(wParam);
    // Keeps the page full when the last rows are in view.
    if (GetTopIndex() > 0 && GetTopIndex() + GetCountPerPage() >= GetItemCount()) {
        RECT row{};
        if (GetItemRect(0, &row, LVIR_BOUNDS))
            Scroll(CSize(0, -(row.bottom - row.top)));
    }
    LPARAM* cell = m_nItemDataState == kWrapped && nItem >= 0 && nItem < GetItemCount()
                       ? Cell(nItem)
                       : nullptr;
    LRESULT result = DefWindowProc(LVM_DELETEITEM, wParam, lParam);
    if (result)
        delete cell;
    return result;
}

LRESULT COXGridList::OnDeleteAllItems(WPARAM wParam, LPARAM lParam)
{
    MoveFocusFromEditor();
    if (m_nItemDataState != kWrapped)
        return DefWindowProc(LVM_DELETEALLITEMS, wParam, lParam);
    UnwrapItemData();
    LRESULT result = DefWindowProc(LVM_DELETEALLITEMS, wParam, lParam);
    WrapItemData();
    return result;
}

LRESULT COXGridList::OnInsertColumn(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = DefWindowProc(LVM_INSERTCOLUMN, wParam, lParam);
    if (result >= 0) {
        ++m_nColumnCount;
        const INT_PTR at = result < m_arrEditable.GetSize() ? result : m_arrEditable.GetSize();
        m_arrEditable.InsertAt(at, static_cast<WORD>(0));
        AttachHeader(); // some list views make their header with the first column
        Invalidate();
    }
    return result;
}

LRESULT COXGridList::OnDeleteColumn(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = DefWindowProc(LVM_DELETECOLUMN, wParam, lParam);
    if (result) {
        if (m_nColumnCount > 0)
            --m_nColumnCount;
        const auto nColumn = static_cast<INT_PTR>(wParam);
        if (nColumn >= 0 && nColumn < m_arrEditable.GetSize())
            m_arrEditable.RemoveAt(nColumn);
        Invalidate();
    }
    return result;
}

LRESULT COXGridList::OnSetColumn(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = DefWindowProc(LVM_SETCOLUMN, wParam, lParam);
    // A new format would drop the arrow's owner drawing: show the arrow again.
    if (result && m_nSortColumn >= 0 && static_cast<int>(wParam) == m_nSortColumn &&
        m_header.m_hWnd != nullptr) {
        const int direction = m_header.GetSortDirection();
        m_header.SetSortColumn(-1, 0);
        m_header.SetSortColumn(m_nSortColumn, direction);
    }
    return result;
}
