// An owner-drawn popup menu whose items (text, shortcut, image) are painted by the menu
// element skin, and whose popup windows the XP and 2003 skins frame and shadow while it is
// tracked. Classes here: COXBitmapMenu.
#pragma once

#include <windows.h>

#include <list>
#include <memory>
#include <vector>

#include "framework/ui.h"
#include "toolkit/frames/skins/menu_skin.h"

class COXBitmapMenu : public CMenu
{
public:
    COXBitmapMenu();
    ~COXBitmapMenu() override;

    // Items: a command (text with an optional shortcut after a tab), a separator. nImage
    // indexes the image list; bCheckMark makes the image stand for the check mark.
    BOOL AppendItem(UINT nID, LPCTSTR lpszText, int nImage = -1, int nHotImage = -1,
                    BOOL bCheckMark = FALSE);
    BOOL AppendSeparator();
    // Sets an item apart from the others (the skins' OXODS_HIDDEN look).
    void SetItemSetApart(UINT nID, BOOL bSetApart);
    // Not owned; the images of every item.
    void SetImageList(HIMAGELIST hImageList) { m_hImageList = hImageList; }
    // Null: the current skin's menu skin, else a Classic one of this menu's own.
    void SetSkin(COXMenuSkin* pSkin) { m_pSkin = pSkin; }
    COXMenuSkin* GetSkin();

    // Tracks the menu for pWnd; lpButton (screen) is the button that opened it, whose side the
    // XP skin joins to the popup. Without TPM_RETURNCMD the chosen command is posted to pWnd
    // as WM_COMMAND; the result is then TRUE when one was chosen.
    UINT_PTR TrackPopupMenu(UINT nFlags, int x, int y, CWnd* pWnd, LPCRECT lpButton = nullptr);

    // The menu being tracked by this thread, or null.
    static COXBitmapMenu* GetTrackingMenu();

    // The popups opened during this tracking, newest first (made and read by the XP skin).
    std::list<OXPOPUPWND> m_listPopups;
    // The opening button in screen coordinates; empty for none.
    CRect m_rectButton;

    OXMENUMETRICS GetMetrics();
    void MeasureItem(LPMEASUREITEMSTRUCT lpMIS);
    void DrawItem(LPDRAWITEMSTRUCT lpDIS);

protected:
    struct Item {
        UINT nID = 0;
        CString strText;
        OXMENUIMAGEINFO image;
        BOOL bSeparator = FALSE;
        BOOL bSetApart = FALSE;
    };
    Item* FindItem(ULONG_PTR itemData);
    UINT SetApartBits(const Item* pItem);
    static LRESULT CALLBACK OwnerProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK CbtHook(int nCode, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK PopupProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam);

    std::vector<std::unique_ptr<Item>> m_items;
    HIMAGELIST m_hImageList = nullptr;
    COXMenuSkin* m_pSkin = nullptr;
    std::unique_ptr<COXMenuSkin> m_pOwnSkin;
    HFONT m_hFont = nullptr;
    CWnd* m_pNotifyWnd = nullptr;
};
