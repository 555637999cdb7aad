// Toolbar element skins.
#include "toolkit/frames/skins/toolbar_skin.h"

#include <algorithm>

#include "toolkit/controls/cooltoolbar/cool_toolbar.h"
#include "toolkit/frames/skins/skin.h"

namespace {

COLORREF Sys(int nIndex)
{
    return ::GetSysColor(nIndex);
}

void Draw3dRect(CDC* pDC, const CRect& r, COLORREF topLeft, COLORREF bottomRight)
{
    pDC->FillSolidRect(r.left, r.top, r.Width() - 1, 1, topLeft);
    pDC->FillSolidRect(r.left, r.top, 1, r.Height() - 1, topLeft);
    pDC->FillSolidRect(r.right - 1, r.top, 1, r.Height(), bottomRight);
    pDC->FillSolidRect(r.left, r.bottom - 1, r.Width(), 1, bottomRight);
}

void Frame(CDC* pDC, const CRect& r, COLORREF clr)
{
    CBrush brush(clr);
    pDC->FrameRect(&r, &brush);
}

bool IsSet(COLORREF clr)
{
    return clr != CLR_DEFAULT;
}

TBBUTTON Button(COXCoolToolBar* pBar, int nIndex)
{
    TBBUTTON b{};
    pBar->SendMessage(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&b));
    return b;
}

bool IsHidden(COXCoolToolBar* pBar, const TBBUTTON& b)
{
    return pBar->SendMessage(TB_ISBUTTONHIDDEN, static_cast<WPARAM>(b.idCommand)) != 0;
}

// The look of a button: its text, background and border colour.
struct ButtonLook {
    COLORREF text, background, border;
    bool checked;
};

ButtonLook ChooseLook(COXCoolToolBar* pBar, UINT uItemState)
{
    const bool checked = (uItemState & CDIS_CHECKED) != 0;
    const bool hot = (uItemState & CDIS_HOT) != 0;
    const bool selected = (uItemState & CDIS_SELECTED) != 0;
    if (checked && hot)
        return {pBar->m_clrSelectedText, pBar->m_clrSelectedBk, pBar->m_clrSelectedBorder, true};
    if (checked)
        return {pBar->m_clrCheckedText, pBar->m_clrCheckedBk, pBar->m_clrCheckedBorder, true};
    if (hot && !selected)
        return {pBar->m_clrHotText, pBar->m_clrHotBk, pBar->m_clrHotBorder, false};
    if (selected)
        return {pBar->m_clrSelectedText, pBar->m_clrSelectedBk, pBar->m_clrSelectedBorder,
                false};
    return {pBar->m_clrDefaultText, pBar->m_clrDefaultBk, pBar->m_clrDefaultBorder, false};
}

// The width of a drop-down arrow part drawn by a skin: the glyph "6" of an 8-point Marlett + 4.
int SkinArrowWidth(CDC* pDC)
{
    CFont font;
    font.CreatePointFont(80, "Marlett");
    CFont* pOld = pDC->SelectObject(&font);
    int width = pDC->GetTextExtent("6", 1).cx + 4;
    pDC->SelectObject(pOld);
    return width;
}

} // namespace

// --- COXToolbarSkin ---

void COXToolbarSkin::OnPaintComboBox(CWnd* pComboBox)
{
    pComboBox->Default();
}

bool COXToolbarSkin::IsFloating(COXCoolToolBar* pBar)
{
    return (pBar->GetBarStyle() & CBRS_FLOATING) != 0 || pBar->IsFloating();
}

bool COXToolbarSkin::IsHorizontal(COXCoolToolBar* pBar)
{
    return (pBar->GetBarStyle() & CBRS_ORIENT_HORZ) != 0;
}

bool COXToolbarSkin::FrameTakesOver(NMHDR* pNotify, COXCoolToolBar* pBar, LRESULT* pResult)
{
    NMOXTBCUSTOMDRAW nm{};
    nm.hdr.hwndFrom = pBar->m_hWnd;
    nm.hdr.idFrom = static_cast<UINT_PTR>(pBar->GetDlgCtrlID());
    nm.hdr.code = OXTBN_CUSTOMDRAW;
    nm.pCustomDraw = reinterpret_cast<LPNMCUSTOMDRAW>(pNotify);
    nm.lResult = 0;
    nm.bDoDefault = TRUE;
    CWnd* pReceiver = IsFloating(pBar) ? pBar->GetTopLevelParent()
                                       : static_cast<CWnd*>(pBar->GetParentFrame());
    if (pReceiver != nullptr)
        pReceiver->SendMessage(WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
    *pResult = nm.lResult;
    return !nm.bDoDefault;
}

// --- Classic ---

void COXToolbarSkinClassic::DrawGripper(CDC* pDC, CRect& rect, COXCoolToolBar* pBar)
{
    if (IsFloating(pBar))
        return;
    const COLORREF hilite = Sys(COLOR_BTNHIGHLIGHT), shadow = Sys(COLOR_BTNSHADOW);
    const DWORD style = pBar->GetBarStyle();
    CRect r = rect;
    if (IsHorizontal(pBar)) {
        r.DeflateRect(1, 1);
        r.OffsetRect(0, 1);
        if (pBar->m_pDockContext != nullptr) {
            r.left += 2;
            r.bottom -= 2;
        } else if (style & CBRS_BORDER_BOTTOM) {
            r.top -= 2;
            r.bottom -= 2;
        }
        r.right = r.left + 3;
        Draw3dRect(pDC, r, hilite, shadow);
        r.OffsetRect(3, 0);
        Draw3dRect(pDC, r, hilite, shadow);
    } else {
        r.right -= 2;
        r.top += 1;
        r.bottom -= 1;
        r.OffsetRect(0, 1);
        if (pBar->m_pDockContext != nullptr)
            r.left += 2;
        else
            r.right += 2;
        r.bottom = r.top + 3;
        Draw3dRect(pDC, r, hilite, shadow);
        r.OffsetRect(0, 3);
        Draw3dRect(pDC, r, hilite, shadow);
    }
}

void COXToolbarSkinClassic::DrawNonClientArea(CDC* pDC, CRect& rect, COXCoolToolBar* pBar)
{
    CRect client;
    pBar->GetClientRect(&client);
    pBar->ClientToScreen(&client);
    CRect window;
    pBar->GetWindowRect(&window);
    client.OffsetRect(-window.left, -window.top);
    if (!pBar->m_bCool) {
        pBar->DrawBorders(pDC, rect);
        if ((pBar->GetBarStyle() & CBRS_BORDER_3D) == 0)
            rect.InflateRect(1, 1);
    }
    int saved = pDC->SaveDC();
    ::IntersectClipRect(*pDC, rect.left, rect.top, rect.right, rect.bottom);
    ::ExcludeClipRect(*pDC, client.left, client.top, client.right, client.bottom);
    pDC->FillSolidRect(&rect, Sys(COLOR_BTNFACE));
    pDC->RestoreDC(saved);
}

void COXToolbarSkinClassic::DrawSeparator(CDC* pDC, CRect& rect, COXCoolToolBar* pBar)
{
    if (rect.Width() > 8)
        return;
    const COLORREF hilite = Sys(COLOR_BTNHIGHLIGHT), shadow = Sys(COLOR_BTNSHADOW);
    if (IsHorizontal(pBar)) {
        int x = (rect.left + rect.right) / 2 - 1;
        Draw3dRect(pDC, CRect(x, rect.top, x + 2, rect.bottom), shadow, hilite);
    } else {
        int width = pBar->GetButtonSize().cx;
        Draw3dRect(pDC, CRect(rect.left - width, rect.bottom + 1, rect.left, rect.bottom + 3),
                   shadow, hilite);
    }
}

void COXToolbarSkinClassic::DrawCustomizedButtonFrame(CDC* pDC, CRect& rect, COXCoolToolBar*)
{
    // A 2-pixel inverted frame, the framework's drag rectangle.
    HBRUSH hOld = static_cast<HBRUSH>(::SelectObject(*pDC, ::GetStockObject(GRAY_BRUSH)));
    ::PatBlt(*pDC, rect.left, rect.top, rect.Width(), 2, PATINVERT);
    ::PatBlt(*pDC, rect.left, rect.bottom - 2, rect.Width(), 2, PATINVERT);
    ::PatBlt(*pDC, rect.left, rect.top + 2, 2, rect.Height() - 4, PATINVERT);
    ::PatBlt(*pDC, rect.right - 2, rect.top + 2, 2, rect.Height() - 4, PATINVERT);
    ::SelectObject(*pDC, hOld);
}

LRESULT COXToolbarSkinClassic::OnCustomDraw(NMHDR* pNotify, COXCoolToolBar* pBar)
{
    LRESULT result = 0;
    if (FrameTakesOver(pNotify, pBar, &result))
        return result;
    auto* cd = reinterpret_cast<NMCUSTOMDRAW*>(pNotify);
    const bool modern = OXComCtlVersion() >= OX_COMCTL_471;
    CDC dc;
    dc.Attach(cd->hdc);
    switch (cd->dwDrawStage) {
    case CDDS_PREPAINT: {
        CRect client;
        pBar->GetClientRect(&client);
        dc.FillSolidRect(&client, Sys(COLOR_BTNFACE));
        if (!modern && (pBar->GetStyle() & TBSTYLE_FLAT) && pBar->m_bSeparator &&
            pBar->GetCount() > 0)
            for (int i = 0; i < pBar->GetCount(); ++i) {
                TBBUTTON b = Button(pBar, i);
                if (!(b.fsStyle & TBSTYLE_SEP) || IsHidden(pBar, b) || (b.fsState & TBSTATE_WRAP))
                    continue;
                CRect rect;
                pBar->GetItemRect(i, &rect);
                rect.top -= 1;
                pBar->DrawSeparator(&dc, rect);
            }
        int nCustom = pBar->m_nCustomizedButton;
        if (nCustom >= 0 && pBar->IsCustomButton(nCustom)) {
            CRect rect;
            pBar->GetItemRect(nCustom, &rect);
            pBar->DrawCustomizedButtonFrame(&dc, rect);
        }
        result = CDRF_NOTIFYITEMDRAW | CDRF_NOTIFYPOSTPAINT;
        break;
    }
    case CDDS_ITEMPREPAINT: {
        result = CDRF_NOTIFYPOSTPAINT;
        const int nIndex = pBar->CommandToIndex(static_cast<UINT>(cd->dwItemSpec));
        if (nIndex < 0 || IsHidden(pBar, Button(pBar, nIndex)))
            break;
        ButtonLook look = ChooseLook(pBar, cd->uItemState);
        CRect background(cd->rc);
        if (IsSet(look.text)) {
            if (modern)
                reinterpret_cast<NMTBCUSTOMDRAW*>(cd)->clrText = look.text;
            else
                dc.SetTextColor(look.text);
        }
        if (IsSet(look.border)) {
            Frame(&dc, CRect(cd->rc), look.border);
            background.DeflateRect(1, 1);
            if (modern)
                result |= TBCDRF_NOEDGES;
        }
        if (IsSet(look.background)) {
            dc.FillSolidRect(&background, look.background);
            if (look.checked && modern)
                result |= TBCDRF_NOETCHEDEFFECT;
        }
        break;
    }
    case CDDS_ITEMPOSTPAINT: {
        const int nIndex = pBar->CommandToIndex(static_cast<UINT>(cd->dwItemSpec));
        if (nIndex < 0)
            break;
        TBBUTTON b = Button(pBar, nIndex);
        if (IsHidden(pBar, b))
            break;
        if (pBar->IsDropDownArrow() && (b.fsStyle & TBSTYLE_DROPDOWN)) {
            ButtonLook look = ChooseLook(pBar, cd->uItemState);
            if (IsSet(look.border)) {
                CRect arrow(cd->rc);
                arrow.left = arrow.right - COXCoolToolBar::GetDropDownArrowWidth();
                Frame(&dc, arrow, look.border);
            }
        }
        if (pBar->m_nCustomizedButton == nIndex && !pBar->IsCustomButton(nIndex)) {
            CRect rect;
            pBar->GetItemRect(nIndex, &rect);
            pBar->DrawCustomizedButtonFrame(&dc, rect);
        }
        break;
    }
    default:
        break;
    }
    dc.Detach();
    return result;
}

// --- XP ---

void COXToolbarSkinXP::DrawGripper(CDC* pDC, CRect& rect, COXCoolToolBar* pBar)
{
    if (IsFloating(pBar))
        return;
    CPen pen(PS_SOLID, 1, m_pSkin->GetGripperColor());
    CPen* pOld = pDC->SelectObject(&pen);
    CRect r = rect;
    const bool dock = pBar->m_pDockContext != nullptr;
    if (IsHorizontal(pBar)) {
        r.top += 6;
        r.bottom -= 5;
        r.left += 2;
        if (dock) {
            r.left += 2;
            r.bottom -= 2;
        } else if (pBar->GetBarStyle() & CBRS_BORDER_BOTTOM) {
            r.top -= 2;
            r.bottom -= 2;
        }
        r.right = r.left + 3;
        for (int y = r.top; y < r.bottom; y += 2) {
            pDC->MoveTo(r.left, y);
            pDC->LineTo(r.right, y);
        }
    } else {
        r.left += 3;
        r.top += 4;
        r.right -= 7;
        if (dock)
            r.left += 2;
        else
            r.right += 2;
        r.bottom = r.top + 3;
        for (int x = r.left; x < r.right; x += 2) {
            pDC->MoveTo(x, r.top);
            pDC->LineTo(x, r.bottom);
        }
    }
    pDC->SelectObject(pOld);
}

void COXToolbarSkinXP::DrawNonClientArea(CDC* pDC, CRect& rect, COXCoolToolBar* pBar)
{
    const COLORREF face = Sys(COLOR_BTNFACE);
    pDC->FillSolidRect(&rect, m_pSkin->GetToolbarBackgroundColor());
    CRect inner = rect;
    Frame(pDC, inner, face);
    inner.DeflateRect(1, 1);
    Frame(pDC, inner, face);
    inner.DeflateRect(1, 1);
    // Rounded look: the corners of the inner rectangle take the face colour.
    ::SetPixel(*pDC, inner.left, inner.top, face);
    ::SetPixel(*pDC, inner.right - 1, inner.top, face);
    ::SetPixel(*pDC, inner.left, inner.bottom - 1, face);
    ::SetPixel(*pDC, inner.right - 1, inner.bottom - 1, face);
}

void COXToolbarSkinXP::DrawSeparator(CDC* pDC, CRect& rect, COXCoolToolBar*)
{
    const COLORREF clr = m_pSkin->GetSeparatorColor();
    if (rect.Width() < rect.Height())
        pDC->FillSolidRect((rect.left + rect.right) / 2, rect.top, 1, rect.Height(), clr);
    else
        pDC->FillSolidRect(rect.left, (rect.top + rect.bottom) / 2, rect.Width(), 1, clr);
}

void COXToolbarSkinXP::DrawCustomizedButtonFrame(CDC* pDC, CRect& rect, COXCoolToolBar*)
{
    CRect r = rect;
    Frame(pDC, r, Sys(COLOR_BTNTEXT));
    r.DeflateRect(1, 1);
    Frame(pDC, r, Sys(COLOR_BTNTEXT));
}

void COXToolbarSkinXP::FillBackground(CDC* pDC, COXCoolToolBar* pBar)
{
    CRect client;
    pBar->GetClientRect(&client);
    pDC->FillSolidRect(&client, m_pSkin->GetToolbarBackgroundColor());
}

void COXToolbarSkinXP::FillButtonArea(CDC* pDC, const CRect& rect)
{
    pDC->FillSolidRect(&rect, m_pSkin->GetToolbarBackgroundColor());
}

void COXToolbarSkinXP::FillButton(CDC* pDC, const CRect& rect, Fill fill)
{
    COLORREF clr = fill == fillHot       ? m_pSkin->GetHotItemColor()
                   : fill == fillChecked ? m_pSkin->GetCheckedItemColor()
                                         : m_pSkin->GetPressedItemColor();
    pDC->FillSolidRect(&rect, clr);
}

LRESULT COXToolbarSkinXP::OnCustomDraw(NMHDR* pNotify, COXCoolToolBar* pBar)
{
    LRESULT result = 0;
    if (FrameTakesOver(pNotify, pBar, &result))
        return result;
    auto* cd = reinterpret_cast<NMCUSTOMDRAW*>(pNotify);
    if (cd->dwDrawStage != CDDS_PREPAINT)
        return 0;
    CDC target;
    target.Attach(cd->hdc);
    CRect client;
    pBar->GetClientRect(&client);
    COXOffScreenDC off(&target, client.Width(), client.Height());
    CDC& mem = off.dc;
    HGDIOBJ hOldFont = ::SelectObject(mem, reinterpret_cast<HFONT>(pBar->SendMessage(WM_GETFONT)));

    FillBackground(&mem, pBar);
    for (int i = 0; i < pBar->GetCount(); ++i) {
        TBBUTTON b = Button(pBar, i);
        if (IsHidden(pBar, b))
            continue;
        CRect rect;
        pBar->GetItemRect(i, &rect);
        if (!(b.fsStyle & TBSTYLE_SEP)) {
            DrawButton(&mem, b, rect, pBar, TRUE);
        } else if (b.fsState & TBSTATE_WRAP) {
            CRect line(client.left, rect.bottom - rect.Width(), client.right, rect.bottom);
            pBar->DrawSeparator(&mem, line);
        } else if (rect.Height() > rect.Width()) {
            pBar->DrawSeparator(&mem, rect);
        }
        if (pBar->m_nCustomizedButton == i && !pBar->IsCustomButton(i))
            pBar->DrawCustomizedButtonFrame(&mem, rect);
    }
    TBINSERTMARK mark{-1, 0};
    pBar->SendMessage(TB_GETINSERTMARK, 0, reinterpret_cast<LPARAM>(&mark));
    if (mark.iButton >= 0 && mark.iButton < pBar->GetCount()) {
        CRect rect;
        pBar->GetItemRect(mark.iButton, &rect);
        int x = (mark.dwFlags & TBIMHT_AFTER) ? rect.right - 1 : rect.left - 1;
        mem.FillSolidRect(x - 1, rect.top, 3, rect.Height(), Sys(COLOR_BTNTEXT));
    }
    target.BitBlt(0, 0, client.Width(), client.Height(), &mem, 0, 0, SRCCOPY);
    ::SelectObject(mem, hOldFont);
    target.Detach();
    return CDRF_SKIPDEFAULT;
}

void COXToolbarSkinXP::DrawButton(CDC* pDC, const TBBUTTON& b, const CRect& rectButton,
                                  COXCoolToolBar* pBar, BOOL bDrawBackground)
{
    const int nIndex = pBar->CommandToIndex(static_cast<UINT>(b.idCommand));
    const bool hot = static_cast<int>(pBar->SendMessage(TB_GETHOTITEM)) == nIndex;
    const bool pressed = (b.fsState & TBSTATE_PRESSED) != 0;
    const bool checked = (b.fsState & TBSTATE_CHECKED) != 0;
    const bool enabled = (b.fsState & TBSTATE_ENABLED) != 0;
    const bool arrows = pBar->IsDropDownArrow() && (b.fsStyle & TBSTYLE_DROPDOWN);
    CRect rect = rectButton;

    auto fillFramed = [&](Fill fill) {
        if (!bDrawBackground)
            return;
        CRect inside = rect;
        inside.DeflateRect(1, 1);
        FillButton(pDC, inside, fill);
        Frame(pDC, rect, m_pSkin->GetHighlightBorderColor());
        if (arrows) {
            CRect arrow = rect;
            arrow.left = arrow.right - SkinArrowWidth(pDC);
            Frame(pDC, arrow, m_pSkin->GetHighlightBorderColor());
        }
    };

    int look = lookNormal;
    COLORREF text = Sys(COLOR_BTNTEXT);
    if (b.idCommand == pBar->m_nDraggedButtonID) {
        pBar->m_nDraggedButtonID = -1;
        if (bDrawBackground)
            FillButtonArea(pDC, rect);
        look = lookRaised;
    } else if ((pressed || checked) && hot) {
        fillFramed(fillPressed);
        look = lookHot;
        text = Sys(COLOR_HIGHLIGHTTEXT);
    } else if (checked) {
        fillFramed(fillChecked);
    } else if (!hot && !pressed && !enabled) {
        look = lookDisabled;
        text = DisabledTextColor();
    } else if (!hot && !pressed) {
        // the plain button
    } else if (pressed) {
        if (bDrawBackground)
            FillButtonArea(pDC, CRect(rect.left, rect.top + 1, rect.right, rect.bottom - 1));
        look = lookRaised;
    } else {
        fillFramed(fillHot);
        look = lookRaised;
    }
    CString label = pBar->GetButtonText(nIndex);
    CRect content = rect;
    DrawImage(pDC, b, content, pBar, look, !label.IsEmpty());
    DrawText(pDC, b, content, pBar, text);
}

void COXToolbarSkinXP::DrawImage(CDC* pDC, const TBBUTTON& b, CRect& rect, COXCoolToolBar* pBar,
                                 int nLook, bool hasText)
{
    HIMAGELIST hList = reinterpret_cast<HIMAGELIST>(pBar->SendMessage(TB_GETIMAGELIST));
    if (pBar->IsDropDownArrow() && (b.fsStyle & TBSTYLE_DROPDOWN)) {
        CRect arrow = rect;
        arrow.left = arrow.right - SkinArrowWidth(pDC);
        rect.right = arrow.left;
        CFont font;
        font.CreatePointFont(80, "Marlett");
        CFont* pOld = pDC->SelectObject(&font);
        int mode = pDC->SetBkMode(TRANSPARENT);
        pDC->SetTextColor(Sys(COLOR_BTNTEXT));
        pDC->DrawText("6", 1, &arrow, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        pDC->SetBkMode(mode);
        pDC->SelectObject(pOld);
    }
    if (hList == nullptr || b.iBitmap < 0)
        return;
    int cx = 0, cy = 0;
    ImageList_GetIconSize(hList, &cx, &cy);
    const bool list = (pBar->GetStyle() & TBSTYLE_LIST) != 0;
    CPoint at;
    if (!hasText)
        at = CPoint(rect.left + (rect.Width() - cx) / 2, rect.top + (rect.Height() - cy) / 2);
    else if (list)
        at = CPoint(rect.left + 3, rect.top + (rect.Height() - cy) / 2);
    else
        at = CPoint(rect.left + (rect.Width() - cx) / 2, rect.top + 3);

    if (nLook == lookDisabled) {
        HIMAGELIST hDisabled =
            reinterpret_cast<HIMAGELIST>(pBar->SendMessage(TB_GETDISABLEDIMAGELIST));
        if (hDisabled != nullptr) {
            ImageList_Draw(hDisabled, b.iBitmap, *pDC, at.x, at.y, ILD_TRANSPARENT);
        } else {
            HICON hIcon = ImageList_GetIcon(hList, b.iBitmap, ILD_NORMAL);
            CBrush brush(m_pSkin->GetDisabledTextColor());
            ::DrawState(*pDC, brush, nullptr, reinterpret_cast<LPARAM>(hIcon), 0, at.x, at.y, cx,
                        cy, DST_ICON | DSS_MONO);
            ::DestroyIcon(hIcon);
        }
        return;
    }
    if (nLook == lookHot || nLook == lookRaised) {
        HIMAGELIST hHot = reinterpret_cast<HIMAGELIST>(pBar->SendMessage(TB_GETHOTIMAGELIST));
        if (hHot != nullptr)
            hList = hHot;
    }
    if (nLook == lookRaised) {
        // The silhouette in the shadow colour, then the image lifted up and left.
        CBrush shadow(Sys(COLOR_BTNSHADOW));
        CBrush* pOld = pDC->SelectObject(&shadow);
        IMAGELISTDRAWPARAMS p{};
        p.cbSize = sizeof(p);
        p.himl = hList;
        p.i = b.iBitmap;
        p.hdcDst = *pDC;
        p.x = at.x + 1;
        p.y = at.y + 1;
        p.fStyle = ILD_ROP | ILD_MASK;
        p.dwRop = 0x00B8074A; // brush where the mask is black
        ImageList_DrawIndirect(&p);
        pDC->SelectObject(pOld);
        at.Offset(-1, -1);
    }
    ImageList_Draw(hList, b.iBitmap, *pDC, at.x, at.y, ILD_TRANSPARENT);
    rect.SetRect(rect.left, rect.top, rect.right, rect.bottom);
    if (hasText) {
        if (list)
            rect.left = at.x + cx + 6;
        else
            rect.top = at.y + cy + 1;
    }
}

void COXToolbarSkinXP::DrawText(CDC* pDC, const TBBUTTON& b, CRect rect, COXCoolToolBar* pBar,
                                COLORREF clrText)
{
    const int nIndex = pBar->CommandToIndex(static_cast<UINT>(b.idCommand));
    CString label = pBar->GetButtonText(nIndex);
    if (label.IsEmpty())
        return;
    const bool list = (pBar->GetStyle() & TBSTYLE_LIST) != 0;
    if (list)
        rect.right -= 3;
    else
        rect.DeflateRect(3, 3);
    UINT format = DT_END_ELLIPSIS | DT_WORDBREAK | (list ? DT_VCENTER : DT_CENTER);
    if (pBar->SendMessage(TB_GETTEXTROWS) <= 1)
        format |= DT_SINGLELINE;
    int mode = pDC->SetBkMode(TRANSPARENT);
    COLORREF old = pDC->SetTextColor(clrText);
    pDC->DrawText(label, &rect, format);
    pDC->SetTextColor(old);
    pDC->SetBkMode(mode);
}

namespace {

// The hot look of a hosted window: the cursor over it, or the focus in it or its children.
bool IsHostedHot(CWnd* pWnd)
{
    CPoint cursor;
    ::GetCursorPos(&cursor);
    CRect window;
    pWnd->GetWindowRect(&window);
    HWND hFocus = ::GetFocus();
    return window.PtInRect(cursor) ||
           (hFocus != nullptr && (hFocus == pWnd->m_hWnd || ::IsChild(pWnd->m_hWnd, hFocus)));
}

// The drop-down arrow: rows of 5, 3 and 1 pixels centred in rect.
void DrawComboArrow(CDC* pDC, const CRect& rect, COLORREF clr)
{
    const int x = rect.left + (rect.Width() - 5) / 2;
    const int y = rect.top + (rect.Height() - 3) / 2;
    for (int row = 0; row < 3; ++row)
        pDC->FillSolidRect(x + row, y + row, 5 - 2 * row, 1, clr);
}

} // namespace

void COXToolbarSkinXP::FillHostedBackground(CDC* pDC, CWnd*, const CRect& area, CPoint)
{
    pDC->FillSolidRect(&area, m_pSkin->GetToolbarBackgroundColor());
}

void COXToolbarSkinXP::OnPaintComboBox(CWnd* pComboBox)
{
    pComboBox->Default();
    DrawComboBox(pComboBox);
}

void COXToolbarSkinXP::DrawComboBox(CWnd* pComboBox)
{
    COMBOBOXINFO info{};
    info.cbSize = sizeof(info);
    if (!::GetComboBoxInfo(pComboBox->m_hWnd, &info))
        return;
    const CRect item(info.rcItem), button(info.rcButton);
    const bool dropped = pComboBox->SendMessage(CB_GETDROPPEDSTATE) != 0;
    const bool hot = !dropped && IsHostedHot(pComboBox);
    CClientDC dc(pComboBox);
    CRect client;
    pComboBox->GetClientRect(&client);
    CPoint origin(0, 0);
    pComboBox->ClientToScreen(&origin);
    const int saved = dc.SaveDC();
    // The edit part keeps its own painting.
    dc.ExcludeClipRect(&item);
    FillHostedBackground(&dc, pComboBox, client, origin);
    const bool filled = dropped || hot;
    const COLORREF frame = filled ? m_pSkin->GetHighlightBorderColor() : Sys(COLOR_WINDOW);
    CRect ring = item;
    ring.InflateRect(1, 1);
    Frame(&dc, ring, frame);
    if (!button.IsRectEmpty()) {
        if (filled) {
            CRect inside = button;
            inside.DeflateRect(1, 1);
            FillButton(&dc, inside, dropped ? fillPressed : fillHot);
        }
        Frame(&dc, button, frame);
        DrawComboArrow(&dc, button, Sys(dropped ? COLOR_HIGHLIGHTTEXT : COLOR_BTNTEXT));
    }
    dc.RestoreDC(saved);
}

void COXToolbarSkinXP::DrawEditFrame(CWnd* pEdit)
{
    CWindowDC dc(pEdit);
    CRect window, client;
    pEdit->GetWindowRect(&window);
    pEdit->GetClientRect(&client);
    pEdit->ClientToScreen(&client);
    client.OffsetRect(-window.left, -window.top);
    const CPoint origin = window.TopLeft();
    window.OffsetRect(-window.left, -window.top);
    const int saved = dc.SaveDC();
    dc.ExcludeClipRect(&client);
    FillHostedBackground(&dc, pEdit, window, origin);
    CRect band = client;
    band.InflateRect(1, 1);
    Frame(&dc, band, Sys(COLOR_WINDOW));
    if (IsHostedHot(pEdit))
        Frame(&dc, window, m_pSkin->GetHighlightBorderColor());
    dc.RestoreDC(saved);
}

// --- 2003 ---

COXToolbarSkin2003::COXToolbarSkin2003(COXSkin2003* pSkin) : COXToolbarSkinXP(pSkin) {}

COXSkin2003* COXToolbarSkin2003::Skin2003() const
{
    return static_cast<COXSkin2003*>(m_pSkin);
}

void COXToolbarSkin2003::DrawGripper(CDC* pDC, CRect& rect, COXCoolToolBar* pBar)
{
    if (IsFloating(pBar))
        return;
    CRect r = rect;
    const bool dock = pBar->m_pDockContext != nullptr;
    if (IsHorizontal(pBar)) {
        r.top += 6;
        r.bottom -= 5;
        r.left += 2;
        r.right -= 2;
        r.OffsetRect(1, 0);
        if (dock) {
            r.left += 2;
            r.bottom -= 2;
        } else if (pBar->GetBarStyle() & CBRS_BORDER_BOTTOM) {
            r.top -= 2;
            r.bottom -= 2;
        }
        r.right = r.left + 2;
        Skin2003()->DrawGripperPattern(pDC, r, FALSE);
    } else {
        r.left += 3;
        r.right -= 7;
        r.top += 4;
        r.bottom -= 4;
        r.OffsetRect(0, 1);
        if (dock)
            r.left += 2;
        else
            r.right += 2;
        r.bottom = r.top + 2;
        Skin2003()->DrawGripperPattern(pDC, r, TRUE);
    }
}

void COXToolbarSkin2003::DrawSeparator(CDC* pDC, CRect& rect, COXCoolToolBar*)
{
    const COLORREF clr = m_pSkin->GetSeparatorColor();
    if (rect.Width() < rect.Height()) {
        int x = (rect.left + rect.right) / 2, h = rect.Height() - 8;
        if (h > 0) {
            pDC->FillSolidRect(x, rect.top + 4, 1, h, clr);
            pDC->FillSolidRect(x + 1, rect.top + 5, 1, h, RGB(255, 255, 255));
        }
    } else {
        int y = (rect.top + rect.bottom) / 2, w = rect.Width() - 8;
        if (w > 0) {
            pDC->FillSolidRect(rect.left + 4, y, w, 1, clr);
            pDC->FillSolidRect(rect.left + 5, y + 1, w, 1, RGB(255, 255, 255));
        }
    }
}

void COXToolbarSkin2003::DrawFrameGradient(CDC* pDC, const CRect& rect, BOOL bVertical)
{
    const COLORREF light = Skin2003()->GetTabGradientLightColor();
    const COLORREF dark = Skin2003()->GetTabGradientDarkColor();
    if (::GetVersion() & 0x80000000) // Windows 95, 98 and Me
        COXSkin2003::DrawGradientLines(pDC, rect, light, dark, bVertical);
    else
        Skin2003()->DrawGradient(pDC, rect, light, dark, bVertical);
}

void COXToolbarSkin2003::FillHostedBackground(CDC* pDC, CWnd* pHosted, const CRect& area,
                                              CPoint ptOrigin)
{
    // The toolbar's own gradient, laid over the toolbar's height so that it runs on.
    CRect bar;
    CWnd* pBar = pHosted->GetParent();
    if (pBar != nullptr)
        pBar->GetWindowRect(&bar);
    else
        pHosted->GetWindowRect(&bar);
    bar.DeflateRect(2, 2);
    CRect rect(area.left, bar.top - ptOrigin.y, area.right, bar.bottom - ptOrigin.y);
    pDC->FillSolidRect(&area, Skin2003()->GetTabGradientDarkColor());
    const int saved = pDC->SaveDC();
    ::IntersectClipRect(*pDC, area.left, area.top, area.right, area.bottom);
    DrawFrameGradient(pDC, rect, TRUE);
    pDC->RestoreDC(saved);
}

void COXToolbarSkin2003::FillBand(CDC* pDC, const CRect& rect, COXCoolToolBar* pBar)
{
    if (IsFloating(pBar)) {
        pDC->FillSolidRect(&rect, Skin2003()->GetDockBarBackgroundColor());
        return;
    }
    CRect window, frame(0, 0, 0, 0);
    pBar->GetWindowRect(&window);
    if (CWnd* pFrame = pBar->GetParentFrame())
        pFrame->GetWindowRect(&frame);
    Skin2003()->DrawDockBarGradient(pDC, rect, frame.left - window.left, frame.Width());
}

void COXToolbarSkin2003::DrawNonClientArea(CDC* pDC, CRect& rect, COXCoolToolBar* pBar)
{
    FillBand(pDC, rect, pBar);
    CRect inner = rect;
    inner.DeflateRect(2, 2);
    if (inner.IsRectEmpty())
        return;
    COLORREF corners[4] = {pDC->GetPixel(inner.left, inner.top),
                           pDC->GetPixel(inner.right - 1, inner.top),
                           pDC->GetPixel(inner.left, inner.bottom - 1),
                           pDC->GetPixel(inner.right - 1, inner.bottom - 1)};
    DrawFrameGradient(pDC, inner, IsHorizontal(pBar));
    ::SetPixel(*pDC, inner.left, inner.top, corners[0]);
    ::SetPixel(*pDC, inner.right - 1, inner.top, corners[1]);
    ::SetPixel(*pDC, inner.left, inner.bottom - 1, corners[2]);
    ::SetPixel(*pDC, inner.right - 1, inner.bottom - 1, corners[3]);
}

void COXToolbarSkin2003::FillBackground(CDC* pDC, COXCoolToolBar* pBar)
{
    // The gradient over the whole window, so the client continues the frame's.
    CRect window, client;
    pBar->GetWindowRect(&window);
    pBar->ScreenToClient(&window);
    window.DeflateRect(2, 2);
    Skin2003()->DrawGradient(pDC, window, Skin2003()->GetTabGradientLightColor(),
                             Skin2003()->GetTabGradientDarkColor(), IsHorizontal(pBar));
}

void COXToolbarSkin2003::FillButton(CDC* pDC, const CRect& rect, Fill fill)
{
    COXSkin2003* s = Skin2003();
    COLORREF from, to;
    if (IsXPThemeActive()) {
        static const COLORREF fixed[3][2] = {
            {0xCCF4FF, 0x91D0FF}, {0x8CD5FF, 0x55ADFF}, {0x4E91FE, 0x8ED3FF}};
        from = fixed[fill][0];
        to = fixed[fill][1];
    } else {
        from = to = fill == fillHot       ? s->GetHotItemColor()
                    : fill == fillChecked ? s->GetCheckedItemColor()
                                          : s->GetPressedItemColor();
    }
    s->DrawGradient(pDC, rect, from, to, TRUE);
}

COLORREF COXToolbarSkin2003::DisabledTextColor()
{
    return m_pSkin->GetDisabledTextColor();
}
