// The menu element skins: they paint the items of the owner-drawn COXBitmapMenu and, in the
// XP and 2003 looks, the popup menu windows themselves (flat border, image column, shadow).
// Classes here: COXMenuSkin, COXMenuSkinClassic, COXMenuSkinXP, COXMenuSkin2003;
// OXMENUDIMENSIONS, OXMENUIMAGEINFO, OXMENUMETRICS, OXPOPUPWND.
#pragma once

#include <windows.h>

#include <vector>

#include "framework/ui.h"

class COXSkinXP;
class COXSkin2003;

// Pixels; the skins read the first five, the menu measures with all of them.
struct OXMENUDIMENSIONS {
    int nImageLeft;          // image left margin
    int nImageColumnRight;   // added to the image column's right edge (XP and 2003)
    int nImageTextGap;       // from the image column to the text
    int nItemHeightExtra;    // added to an item's height
    int nShortcutRight;      // right margin of the shortcut text
    int nTextShortcutGap;    // between text and shortcut
    int nSeparatorHeight;    // height of a separator before AdjustSeparatorHeight
    int nArrowWidth;         // room for a submenu arrow
    int nMinImageColumn;     // smallest image column
    int nMinImageHeight;     // smallest item height
};

// The image of an item; hImageList null for none. bCheckMark: the image stands for the check
// mark and shows only while the item is checked.
struct OXMENUIMAGEINFO {
    HIMAGELIST hImageList = nullptr;
    int nIndex = -1;
    int nHotIndex = -1;
    BOOL bCheckMark = FALSE;
};

struct OXMENUMETRICS {
    int nImageColumnWidth = 0;
    int nTextHeight = 0;
    int nShortcutWidth = 0;
    int nTextWidth = 0;
};

// State bits handed to the skins: the owner-draw ODS_SELECTED, ODS_DISABLED, ODS_CHECKED and
// the menu's own bits below.
constexpr UINT OXODS_HIDDEN = 0x1000;      // set apart from the other items
constexpr UINT OXODS_HIDDENFIRST = 0x2000; // first of a run of set-apart items
constexpr UINT OXODS_HIDDENLAST = 0x4000;  // last of such a run

// One open popup of the tracked menu (newest first in its list): the window and the screen
// colours under its shadow, kept so that a repaint never darkens twice.
struct OXPOPUPWND {
    HWND hWnd = nullptr;
    std::vector<COLORREF> pixels;
};

class COXMenuSkin
{
public:
    virtual ~COXMenuSkin() = default;
    virtual void DrawBackground(CDC* pDC, UINT nState, const OXMENUIMAGEINFO* pImage,
                                const CRect& rectItem, const CRect& rectImageArea,
                                const OXMENUMETRICS& metrics) = 0;
    virtual void DrawImageFrame(CDC* pDC, UINT nState, const OXMENUIMAGEINFO* pImage,
                                const CRect& rectFrame) = 0;
    virtual void DrawImage(CDC* pDC, UINT nState, const OXMENUIMAGEINFO* pImage,
                           const CRect& rectImage) = 0;
    virtual void DrawText(CDC* pDC, UINT nState, LPCTSTR lpszText, const CRect& rectText,
                          const CRect& rectShortcut) = 0;
    virtual void DrawSeparator(CDC* pDC, const CRect& rectItem, const OXMENUMETRICS& metrics) = 0;
    virtual void DrawCustomizedButtonFrame(CDC* pDC, const CRect& rect) = 0;
    virtual void DrawInsertMark(CDC* pDC, const CRect& rect, BOOL bBefore);
    // After the menu item drew its background, frame and image: the text and, in Classic, the
    // submenu arrow of an item with a submenu.
    virtual void DrawPopupItem(CDC* pDC, UINT nState, LPCTSTR lpszText, BOOL bSubmenu,
                               const CRect& rectItem, const CRect& rectText,
                               const CRect& rectShortcut) = 0;
    virtual void DrawDownArrow(CDC* pDC, const CRect& rect, UINT nState) = 0;
    const OXMENUDIMENSIONS& GetDimensions() const { return m_dimensions; }
    virtual LRESULT PopupWindowProc(WNDPROC pfnPrevious, HWND hWnd, UINT message,
                                    WPARAM wParam, LPARAM lParam);
    virtual void OnNcPaintPopup(HWND hWnd);
    virtual void OnPaintButtonWindow(HWND hWnd);
    virtual void AdjustSeparatorHeight(int& nHeight) {}
    // Places image, frame, text and shortcut in an item; the frame hugs the image.
    virtual void DistributeSpace(const OXMENUIMAGEINFO* pImage, const CRect& rectItem,
                                 CRect& rectFrame, CRect& rectImage, CRect& rectText,
                                 CRect& rectShortcut, const OXMENUMETRICS& metrics);

protected:
    explicit COXMenuSkin(const OXMENUDIMENSIONS& dimensions) : m_dimensions(dimensions) {}

    // The glyph of the "Marlett" font centred in rect.
    static void DrawMarlettGlyph(CDC* pDC, const CRect& rect, TCHAR cGlyph, COLORREF clr);
    // Text and shortcut (after the first tab) drawn as prefix text, transparent.
    static void DrawItemText(CDC* pDC, LPCTSTR lpszText, const CRect& rectText,
                             const CRect& rectShortcut, COLORREF clr, UINT nExtraFlags);
    // The image record's picture at the rectangle's corner; nothing without an image list.
    static void DrawImageAt(CDC* pDC, const OXMENUIMAGEINFO* pImage, UINT nState, int x, int y);
    static CSize ImageSize(const OXMENUIMAGEINFO* pImage);

    OXMENUDIMENSIONS m_dimensions;
};

class COXMenuSkinClassic : public COXMenuSkin
{
public:
    COXMenuSkinClassic();
    void DrawBackground(CDC* pDC, UINT nState, const OXMENUIMAGEINFO* pImage,
                        const CRect& rectItem, const CRect& rectImageArea,
                        const OXMENUMETRICS& metrics) override;
    void DrawImageFrame(CDC* pDC, UINT nState, const OXMENUIMAGEINFO* pImage,
                        const CRect& rectFrame) override;
    void DrawImage(CDC* pDC, UINT nState, const OXMENUIMAGEINFO* pImage,
                   const CRect& rectImage) override;
    void DrawText(CDC* pDC, UINT nState, LPCTSTR lpszText, const CRect& rectText,
                  const CRect& rectShortcut) override;
    void DrawSeparator(CDC* pDC, const CRect& rectItem, const OXMENUMETRICS& metrics) override;
    void DrawCustomizedButtonFrame(CDC* pDC, const CRect& rect) override;
    void DrawPopupItem(CDC* pDC, UINT nState, LPCTSTR lpszText, BOOL bSubmenu,
                       const CRect& rectItem, const CRect& rectText,
                       const CRect& rectShortcut) override;
    void DrawDownArrow(CDC* pDC, const CRect& rect, UINT nState) override;
};

class COXMenuSkinXP : public COXMenuSkin
{
public:
    explicit COXMenuSkinXP(COXSkinXP* pSkin);
    void DrawBackground(CDC* pDC, UINT nState, const OXMENUIMAGEINFO* pImage,
                        const CRect& rectItem, const CRect& rectImageArea,
                        const OXMENUMETRICS& metrics) override;
    void DrawImageFrame(CDC* pDC, UINT nState, const OXMENUIMAGEINFO* pImage,
                        const CRect& rectFrame) override;
    void DrawImage(CDC* pDC, UINT nState, const OXMENUIMAGEINFO* pImage,
                   const CRect& rectImage) override;
    void DrawText(CDC* pDC, UINT nState, LPCTSTR lpszText, const CRect& rectText,
                  const CRect& rectShortcut) override;
    void DrawSeparator(CDC* pDC, const CRect& rectItem, const OXMENUMETRICS& metrics) override;
    void DrawCustomizedButtonFrame(CDC* pDC, const CRect& rect) override;
    void DrawPopupItem(CDC* pDC, UINT nState, LPCTSTR lpszText, BOOL bSubmenu,
                       const CRect& rectItem, const CRect& rectText,
                       const CRect& rectShortcut) override;
    void DrawDownArrow(CDC* pDC, const CRect& rect, UINT nState) override;
    LRESULT PopupWindowProc(WNDPROC pfnPrevious, HWND hWnd, UINT message, WPARAM wParam,
                            LPARAM lParam) override;
    void OnNcPaintPopup(HWND hWnd) override;
    void AdjustSeparatorHeight(int& nHeight) override { nHeight = nHeight / 2 + 1; }
    void DistributeSpace(const OXMENUIMAGEINFO* pImage, const CRect& rectItem, CRect& rectFrame,
                         CRect& rectImage, CRect& rectText, CRect& rectShortcut,
                         const OXMENUMETRICS& metrics) override;

    virtual void FillImageColumn(CDC* pDC, const CRect& rect);
    virtual void DrawJoint(CDC* pDC, const CRect& rect);
    virtual void FillGap(CDC* pDC, const CRect& rect);

    // The 4-pixel shadow along the right and bottom of rectBody's window rectangle (window
    // coordinates of pDC, whose window is at ptScreen). nJoint: 0 top or left, 1 bottom, 2
    // right, -1 none; rectJoint the joint's pixels, left undarkened. pCache null: no cache.
    static void DrawShadow(CDC* pDC, CPoint ptScreen, const CRect& rectWindow, int nJoint,
                           const CRect& rectJoint, std::vector<COLORREF>* pCache);

    COXSkinXP* m_pSkin; // not owned
    CMap<HWND, HWND, CPoint, CPoint> m_mapPopupPositions{10};

protected:
    // The image column's right edge for an item at rectItem.
    int ImageColumnRight(const CRect& rectItem, const OXMENUMETRICS& metrics) const;
    // Border, image column, frame, joint and shadow of a popup window into pDC.
    void PaintPopupFrame(CDC* pDC, HWND hWnd, std::vector<COLORREF>* pCache);
};

class COXMenuSkin2003 : public COXMenuSkinXP
{
public:
    explicit COXMenuSkin2003(COXSkin2003* pSkin);
    void DrawBackground(CDC* pDC, UINT nState, const OXMENUIMAGEINFO* pImage,
                        const CRect& rectItem, const CRect& rectImageArea,
                        const OXMENUMETRICS& metrics) override;
    void DrawImage(CDC* pDC, UINT nState, const OXMENUIMAGEINFO* pImage,
                   const CRect& rectImage) override;
    void DrawSeparator(CDC* pDC, const CRect& rectItem, const OXMENUMETRICS& metrics) override;
    void FillImageColumn(CDC* pDC, const CRect& rect) override;
    void DrawJoint(CDC* pDC, const CRect& rect) override;
    void FillGap(CDC*, const CRect&) override {}

    // Light and dark ends of the image column gradient, and the dark end of the joint's.
    COLORREF GetMenuGradientLightColor();
    COLORREF GetMenuGradientDarkColor();
    COLORREF GetMenuJointGradientDarkColor();

protected:
    COXSkin2003* Skin2003() const;
    void FillColumnGradient(CDC* pDC, const CRect& rect, BOOL bSetApart);
};
