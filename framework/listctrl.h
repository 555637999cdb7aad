// CListCtrl: client side of a list-view control (the members the progress window uses; the
// full wrapper with the header control comes with the grid list).
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "framework/controls.h"
class CListCtrl : public CWnd {
public:
    int GetItemCount() const { return static_cast<int>(SendMessage(LVM_GETITEMCOUNT)); }
    int InsertItem(int nItem, LPCTSTR lpszItem)
    {
        LVITEM item{};
        item.mask = LVIF_TEXT;
        item.iItem = nItem;
        item.pszText = const_cast<LPTSTR>(lpszItem);
        return static_cast<int>(SendMessage(LVM_INSERTITEM, 0, reinterpret_cast<LPARAM>(&item)));
    }
    BOOL SetItemText(int nItem, int nSubItem, LPCTSTR lpszText)
    {
        LVITEM item{};
        item.iSubItem = nSubItem;
        item.pszText = const_cast<LPTSTR>(lpszText);
        return static_cast<BOOL>(SendMessage(LVM_SETITEMTEXT, nItem, reinterpret_cast<LPARAM>(&item)));
    }
    BOOL RedrawItems(int a, int b) { return static_cast<BOOL>(SendMessage(LVM_REDRAWITEMS, a, b)); }
    int InsertColumn(int nCol, LPCTSTR heading, int fmt = LVCFMT_LEFT, int width = -1)
    {
        LVCOLUMN c{};
        c.mask = LVCF_TEXT | LVCF_FMT | LVCF_WIDTH;
        c.fmt = fmt;
        c.cx = width;
        c.pszText = const_cast<LPTSTR>(heading);
        return static_cast<int>(SendMessage(LVM_INSERTCOLUMN, nCol, reinterpret_cast<LPARAM>(&c)));
    }
    BOOL SetColumnWidth(int nCol, int cx) { return static_cast<BOOL>(SendMessage(LVM_SETCOLUMNWIDTH, nCol, MAKELPARAM(cx, 0))); }
    DWORD GetExtendedStyle() const { return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
    DWORD SetExtendedStyle(DWORD s) { return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, s)); }
};
