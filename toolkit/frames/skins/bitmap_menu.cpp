// COXBitmapMenu: measuring and drawing its owner-drawn items through the menu skin, and the
// tracking that hands its popup windows to the skin.
#include "toolkit/frames/skins/bitmap_menu.h"

#include <commctrl.h>

#include <algorithm>

#include "toolkit/frames/skins/skinned_app.h"

namespace {

thread_local COXBitmapMenu* t_pTracking = nullptr;
thread_local HHOOK t_hCbtHook = nullptr;
const char kPrevProcProp[] = "OXBitmapMenuPrevProc";
const char kOwnerClass[] = "OXBitmapMenuOwner";
constexpr int kSeparatorHeight = 9;

HFONT CreateMenuFont()
{
    NONCLIENTMETRICSA ncm{};
    ncm.cbSize = sizeof(ncm);
    if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(ncm), &ncm, 0))
        return static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    return ::CreateFontIndirectA(&ncm.lfMenuFont);
}

// Text and shortcut widths of one item text.
CSize TextParts(HDC hDC, const CString& text)
{
    CString main = text, shortcut;
    if (int tab = text.Find('\t'); tab >= 0) {
        main = text.Left(tab);
        shortcut = text.Mid(tab + 1);
    }
    auto width = [hDC](const CString& s) {
        RECT r{0, 0, 0, 0};
        if (!s.IsEmpty())
            ::DrawTextA(hDC, s, s.GetLength(), &r, DT_CALCRECT | DT_SINGLELINE);
        return static_cast<int>(r.right - r.left);
    };
    return CSize(width(main), width(shortcut));
}

} // namespace

COXBitmapMenu::COXBitmapMenu()
{
    CreatePopupMenu();
    m_hFont = CreateMenuFont();
}

COXBitmapMenu::~COXBitmapMenu()
{
    if (t_pTracking == this)
        t_pTracking = nullptr;
    if (m_hFont != nullptr && m_hFont != ::GetStockObject(DEFAULT_GUI_FONT))
        ::DeleteObject(m_hFont);
}

BOOL COXBitmapMenu::AppendItem(UINT nID, LPCTSTR lpszText, int nImage, int nHotImage,
                               BOOL bCheckMark)
{
    auto item = std::make_unique<Item>();
    item->nID = nID;
    item->strText = lpszText;
    item->image.hImageList = nImage >= 0 ? m_hImageList : nullptr;
    item->image.nIndex = nImage;
    item->image.nHotIndex = nHotImage;
    item->image.bCheckMark = bCheckMark;
    if (!::AppendMenuA(m_hMenu, MF_OWNERDRAW, nID, reinterpret_cast<LPCSTR>(item.get())))
        return FALSE;
    m_items.push_back(std::move(item));
    return TRUE;
}

BOOL COXBitmapMenu::AppendSeparator()
{
    auto item = std::make_unique<Item>();
    item->bSeparator = TRUE;
    if (!::AppendMenuA(m_hMenu, MF_OWNERDRAW | MF_SEPARATOR, 0,
                       reinterpret_cast<LPCSTR>(item.get())))
        return FALSE;
    m_items.push_back(std::move(item));
    return TRUE;
}

void COXBitmapMenu::SetItemSetApart(UINT nID, BOOL bSetApart)
{
    for (auto& item : m_items)
        if (!item->bSeparator && item->nID == nID)
            item->bSetApart = bSetApart;
}

COXMenuSkin* COXBitmapMenu::GetSkin()
{
    if (m_pSkin != nullptr)
        return m_pSkin;
    return OXLookupElementSkin<COXMenuSkin, COXMenuSkinClassic>(&COXSkin::m_pMenuSkin,
                                                                 m_pOwnSkin);
}

COXBitmapMenu* COXBitmapMenu::GetTrackingMenu()
{
    return t_pTracking;
}

COXBitmapMenu::Item* COXBitmapMenu::FindItem(ULONG_PTR itemData)
{
    for (auto& item : m_items)
        if (reinterpret_cast<ULONG_PTR>(item.get()) == itemData)
            return item.get();
    return nullptr;
}

// The set-apart bits of an item: where a run of such items starts and ends.
UINT COXBitmapMenu::SetApartBits(const Item* pItem)
{
    if (!pItem->bSetApart)
        return 0;
    auto it = std::find_if(m_items.begin(), m_items.end(),
                           [pItem](const auto& p) { return p.get() == pItem; });
    UINT bits = OXODS_HIDDEN;
    if (it == m_items.begin() || !(*(it - 1))->bSetApart)
        bits |= OXODS_HIDDENFIRST;
    if (it + 1 == m_items.end() || !(*(it + 1))->bSetApart)
        bits |= OXODS_HIDDENLAST;
    return bits;
}

OXMENUMETRICS COXBitmapMenu::GetMetrics()
{
    OXMENUMETRICS metrics;
    const OXMENUDIMENSIONS& dim = GetSkin()->GetDimensions();
    metrics.nImageColumnWidth = dim.nMinImageColumn;
    if (m_hImageList != nullptr) {
        int cx = 0, cy = 0;
        ImageList_GetIconSize(m_hImageList, &cx, &cy);
        metrics.nImageColumnWidth = std::max(metrics.nImageColumnWidth, cx);
    }
    HDC hDC = ::GetDC(nullptr);
    HGDIOBJ hOld = ::SelectObject(hDC, m_hFont);
    TEXTMETRICA tm{};
    ::GetTextMetricsA(hDC, &tm);
    metrics.nTextHeight = tm.tmHeight;
    for (const auto& item : m_items) {
        if (item->bSeparator)
            continue;
        const CSize parts = TextParts(hDC, item->strText);
        metrics.nTextWidth = std::max<int>(metrics.nTextWidth, parts.cx);
        metrics.nShortcutWidth = std::max<int>(metrics.nShortcutWidth, parts.cy);
    }
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(nullptr, hDC);
    return metrics;
}

void COXBitmapMenu::MeasureItem(LPMEASUREITEMSTRUCT lpMIS)
{
    Item* pItem = FindItem(lpMIS->itemData);
    if (pItem == nullptr)
        return;
    COXMenuSkin* pSkin = GetSkin();
    const OXMENUDIMENSIONS& dim = pSkin->GetDimensions();
    const OXMENUMETRICS metrics = GetMetrics();
    if (pItem->bSeparator) {
        int height = kSeparatorHeight;
        pSkin->AdjustSeparatorHeight(height);
        lpMIS->itemHeight = static_cast<UINT>(height);
        lpMIS->itemWidth = 0;
        return;
    }
    int cyImage = 0;
    if (m_hImageList != nullptr) {
        int cx = 0;
        ImageList_GetIconSize(m_hImageList, &cx, &cyImage);
    }
    lpMIS->itemHeight = static_cast<UINT>(
        std::max(dim.nMinImageHeight, std::max<int>(metrics.nTextHeight, cyImage) + 6));
    lpMIS->itemWidth = static_cast<UINT>(dim.nImageLeft + metrics.nImageColumnWidth +
                                         dim.nImageTextGap + metrics.nTextWidth +
                                         dim.nTextShortcutGap + metrics.nShortcutWidth +
                                         dim.nShortcutRight + dim.nArrowWidth);
}

void COXBitmapMenu::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    Item* pItem = FindItem(lpDIS->itemData);
    if (pItem == nullptr)
        return;
    COXMenuSkin* pSkin = GetSkin();
    const OXMENUMETRICS metrics = GetMetrics();
    CDC dc;
    dc.Attach(lpDIS->hDC);
    const int saved = dc.SaveDC();
    ::SelectObject(dc.m_hDC, m_hFont);
    const CRect rectItem(lpDIS->rcItem);
    if (pItem->bSeparator) {
        pSkin->DrawSeparator(&dc, rectItem, metrics);
    } else {
        UINT nState = lpDIS->itemState & (ODS_SELECTED | ODS_DISABLED | ODS_CHECKED);
        if (lpDIS->itemState & ODS_GRAYED)
            nState |= ODS_DISABLED;
        nState |= SetApartBits(pItem);
        const OXMENUIMAGEINFO* pImage =
            pItem->image.hImageList != nullptr ? &pItem->image : nullptr;
        CRect rectFrame, rectImage, rectText, rectShortcut;
        pSkin->DistributeSpace(pImage, rectItem, rectFrame, rectImage, rectText, rectShortcut,
                               metrics);
        pSkin->DrawBackground(&dc, nState, pImage, rectItem, rectFrame, metrics);
        if (pImage != nullptr) {
            pSkin->DrawImageFrame(&dc, nState, pImage, rectFrame);
            pSkin->DrawImage(&dc, nState, pImage, rectImage);
        }
        pSkin->DrawPopupItem(&dc, nState, pItem->strText, FALSE, rectItem, rectText,
                             rectShortcut);
    }
    dc.RestoreDC(saved);
    dc.Detach();
}

// --- tracking ---

LRESULT CALLBACK COXBitmapMenu::OwnerProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto* pMenu = reinterpret_cast<COXBitmapMenu*>(::GetWindowLongPtrA(hWnd, GWLP_USERDATA));
    switch (message) {
    case WM_MEASUREITEM:
        if (pMenu != nullptr && reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)->CtlType == ODT_MENU) {
            pMenu->MeasureItem(reinterpret_cast<MEASUREITEMSTRUCT*>(lParam));
            return TRUE;
        }
        break;
    case WM_DRAWITEM:
        if (pMenu != nullptr && reinterpret_cast<DRAWITEMSTRUCT*>(lParam)->CtlType == ODT_MENU) {
            pMenu->DrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
            return TRUE;
        }
        break;
    case WM_INITMENUPOPUP:
    case WM_MENUSELECT:
        // The window the menu was tracked for updates and describes the items as usual.
        if (pMenu != nullptr && pMenu->m_pNotifyWnd != nullptr &&
            pMenu->m_pNotifyWnd->m_hWnd != nullptr)
            return pMenu->m_pNotifyWnd->SendMessage(message, wParam, lParam);
        break;
    default:
        break;
    }
    return ::DefWindowProcA(hWnd, message, wParam, lParam);
}

LRESULT CALLBACK COXBitmapMenu::PopupProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto pfnPrevious = reinterpret_cast<WNDPROC>(::GetPropA(hWnd, kPrevProcProp));
    if (pfnPrevious == nullptr)
        return ::DefWindowProcA(hWnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(pfnPrevious));
        ::RemovePropA(hWnd, kPrevProcProp);
        return ::CallWindowProcA(pfnPrevious, hWnd, message, wParam, lParam);
    }
    if (t_pTracking == nullptr)
        return ::CallWindowProcA(pfnPrevious, hWnd, message, wParam, lParam);
    return t_pTracking->GetSkin()->PopupWindowProc(pfnPrevious, hWnd, message, wParam, lParam);
}

LRESULT CALLBACK COXBitmapMenu::CbtHook(int nCode, WPARAM wParam, LPARAM lParam)
{
    if (nCode == HCBT_CREATEWND && t_pTracking != nullptr) {
        auto hWnd = reinterpret_cast<HWND>(wParam);
        char name[16] = {};
        ::GetClassNameA(hWnd, name, sizeof(name));
        if (lstrcmpA(name, "#32768") == 0 && ::GetPropA(hWnd, kPrevProcProp) == nullptr) {
            LONG_PTR previous = ::SetWindowLongPtrA(hWnd, GWLP_WNDPROC,
                                                    reinterpret_cast<LONG_PTR>(&PopupProc));
            ::SetPropA(hWnd, kPrevProcProp, reinterpret_cast<HANDLE>(previous));
        }
    }
    return ::CallNextHookEx(t_hCbtHook, nCode, wParam, lParam);
}

UINT_PTR COXBitmapMenu::TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpButton)
{
    static ATOM atom = [] {
        WNDCLASSA wc{};
        wc.lpfnWndProc = &OwnerProc;
        wc.hInstance = ::GetModuleHandleA(nullptr);
        wc.lpszClassName = kOwnerClass;
        return ::RegisterClassA(&wc);
    }();
    if (atom == 0 || m_hMenu == nullptr)
        return 0;
    HWND hOwner = ::CreateWindowExA(0, kOwnerClass, "", WS_POPUP, 0, 0, 0, 0, AfxHwnd(pWnd),
                                    nullptr, ::GetModuleHandleA(nullptr), nullptr);
    if (hOwner == nullptr)
        return 0;
    ::SetWindowLongPtrA(hOwner, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    m_pNotifyWnd = pWnd;
    m_rectButton = lpButton != nullptr ? CRect(lpButton) : CRect();
    m_listPopups.clear();

    COXBitmapMenu* pPrevious = std::exchange(t_pTracking, this);
    const bool bOwnHook = t_hCbtHook == nullptr;
    if (bOwnHook)
        t_hCbtHook = ::SetWindowsHookExA(WH_CBT, &CbtHook, nullptr, ::GetCurrentThreadId());
    const UINT_PTR nCmd = static_cast<UINT_PTR>(
        ::TrackPopupMenu(m_hMenu, nFlags | TPM_RETURNCMD, x, y, 0, hOwner, nullptr));
    if (bOwnHook && t_hCbtHook != nullptr) {
        ::UnhookWindowsHookEx(t_hCbtHook);
        t_hCbtHook = nullptr;
    }
    t_pTracking = pPrevious;
    m_listPopups.clear();
    m_pNotifyWnd = nullptr;
    ::DestroyWindow(hOwner);

    if (nFlags & TPM_RETURNCMD)
        return nCmd;
    if (nCmd != 0 && pWnd != nullptr && pWnd->m_hWnd != nullptr)
        pWnd->PostMessage(WM_COMMAND, nCmd, 0);
    return nCmd != 0;
}
