// COXStatusBar: pane extras, layout of the progress panes, bitmaps and the skin's painting.
#include "toolkit/frames/statusbar/ox_status_bar.h"

#include <algorithm>

#include "toolkit/frames/skins/skinned_app.h"
#include "toolkit/frames/skins/statusbar_skin.h"

IMPLEMENT_DYNAMIC(COXStatusBar, CStatusBar)

// clang-format off
BEGIN_MESSAGE_MAP(COXStatusBar, CStatusBar)
    ON_WM_LBUTTONDBLCLK()
    ON_WM_PAINT()
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_SETCURSOR()
    ON_MESSAGE(SB_SETMINHEIGHT, OnSetMinHeight)
END_MESSAGE_MAP()
// clang-format on

COXStatusBar::COXStatusBar() = default;

COXStatusBar::~COXStatusBar()
{
    for (auto& p : m_arrBitmaps)
        if (p)
            p->bitmap.DeleteObject();
    for (auto& f : m_arrFonts)
        if (f)
            f->DeleteObject();
    // The progress controls are children of the bar; they go with its window.
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
    m_arrBitmaps.clear();
    m_arrFonts.clear();
    m_arrProgress.clear();
    m_pStatusbarSkin.reset();
    for (AFX_STATUSPANE& pane : m_panes)
        pane.strText.Empty();
}

BOOL COXStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    const size_t n = nIDCount > 0 ? static_cast<size_t>(nIDCount) : 0;
    m_arrCursors.assign(n, nullptr);
    m_arrBitmaps.clear();
    m_arrBitmaps.resize(n);
    m_arrTextColors.assign(n, ::GetSysColor(COLOR_BTNTEXT));
    for (auto& p : m_arrProgress)
        if (p && p->bCreated)
            p->ctrl.DestroyWindow();
    m_arrProgress.clear();
    m_arrProgress.resize(n);
    m_arrFonts.clear();
    m_arrFonts.resize(n);
    m_arrTooltips.assign(n, CString());
    return CStatusBar::SetIndicators(lpIDArray, nIDCount);
}

COXStatusbarSkin* COXStatusBar::GetStatusbarSkin()
{
    return OXLookupElementSkin<COXStatusbarSkin, COXStatusbarSkinClassic>(
        &COXSkin::m_pStatusbarSkin, m_pStatusbarSkin);
}

BOOL COXStatusBar::GetPaneInnerRect(int nIndex, CRect& rect, BOOL bForProgress) const
{
    GetItemRect(nIndex, &rect);
    if (rect.IsRectEmpty())
        return FALSE;
    int b[3];
    GetBorders(b);
    rect.left += b[2];
    rect.right -= b[2];
    rect.top += b[0] + 1;
    rect.bottom -= b[0] + (bForProgress ? 2 : 1);
    return TRUE;
}

int COXStatusBar::PercentLabelWidth(int nIndex)
{
    CClientDC dc(this);
    HFONT hFont = m_arrFonts[static_cast<size_t>(nIndex)]
                      ? static_cast<HFONT>(*m_arrFonts[static_cast<size_t>(nIndex)])
                      : GetBarFont();
    HGDIOBJ hOld = ::SelectObject(dc, hFont);
    CRect rc(0, 0, 0, 0);
    ::DrawText(dc, "999%", -1, &rc, DT_CALCRECT | DT_SINGLELINE);
    ::SelectObject(dc, hOld);
    return rc.Width();
}

void COXStatusBar::RecalcPaneLayout(BOOL bResize, BOOL bUpdateText)
{
    if (bResize) {
        UpdateAllPanes(TRUE, FALSE);
        for (int i = 0; i < GetCount(); ++i) {
            PROGRESSRECORD* rec = m_arrProgress[static_cast<size_t>(i)].get();
            if (rec == nullptr || (GetPaneStyle(i) & OXSBPS_PROGRESS) == 0)
                continue;
            int label = PercentLabelWidth(i);
            if (!rec->bCreated)
                CreatePaneProgress(i, *rec);
            if (!rec->bCreated)
                continue;
            CRect rect;
            GetPaneInnerRect(i, rect, TRUE);
            if (rec->bShowPercent)
                rect.left += label;
            rec->rect = rect;
            rec->ctrl.SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        }
    }
    if (bUpdateText)
        UpdateAllPanes(FALSE, TRUE);
}

BOOL COXStatusBar::CreatePaneProgress(int nIndex, PROGRESSRECORD& rec)
{
    if (rec.bCreated)
        return TRUE;
    CRect rect;
    if (!GetPaneInnerRect(nIndex, rect, TRUE))
        return FALSE;
    if (rec.bShowPercent)
        rect.left += PercentLabelWidth(nIndex);
    SetPaneText(nIndex, "");
    if (!rec.ctrl.CreateEx(0, PROGRESS_CLASS, nullptr, WS_CHILD | WS_VISIBLE, rect, this,
                           static_cast<UINT>(nIndex)))
        return FALSE;
    ::SetWindowLongPtr(rec.ctrl.m_hWnd, GWL_EXSTYLE,
                       rec.ctrl.GetExStyle() & ~static_cast<DWORD>(WS_EX_STATICEDGE));
    rec.ctrl.SetWindowPos(nullptr, 0, 0, 0, 0,
                          SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    rec.rect = rect;
    rec.bCreated = TRUE;
    return TRUE;
}

void COXStatusBar::DrawPaneBitmap(CDC* pDC, int nIndex, UINT nStyle)
{
    if ((nStyle & SBPS_DISABLED) != 0 || !Valid(nIndex))
        return;
    const BITMAPRECORD* rec = m_arrBitmaps[static_cast<size_t>(nIndex)].get();
    CRect inner;
    if (rec == nullptr || !GetPaneInnerRect(nIndex, inner, FALSE))
        return;
    const int W = inner.Width(), H = inner.Height(), w = rec->nWidth, h = rec->nHeight;
    const int drawH = h < H ? h : H;
    const int drawW = w < W ? w : W;
    const int top = h < H ? inner.top + (H - h) / 2 : inner.top;
    const bool clipped = rec->nMode == bmLeftClip || rec->nMode == bmCenterClip ||
                         rec->nMode == bmRightClip;
    CSize sizeSrc = clipped ? CSize(drawW, drawH) : CSize(w, h);
    CRect dest(inner.left, top, inner.left + drawW, top + drawH);
    if (rec->nMode == bmStretch) {
        dest = inner;
    } else if ((rec->nMode == bmCenter || rec->nMode == bmCenterClip) && W - w > 0) {
        dest.OffsetRect((W - w) / 2, 0);
    } else if ((rec->nMode == bmRight || rec->nMode == bmRightClip) && W - w > 0) {
        dest.OffsetRect(W - w, 0);
    }
    DrawTransparentBitmap(pDC, *rec, dest, sizeSrc);
}

void COXStatusBar::DrawTransparentBitmap(CDC* pDC, const BITMAPRECORD& rec, const CRect& rcDest,
                                         CSize sizeSrc)
{
    const int w = rec.nWidth, h = rec.nHeight;
    HDC hdc = pDC->GetSafeHdc();
    HDC dcBmp = ::CreateCompatibleDC(hdc);
    HDC dcMask = ::CreateCompatibleDC(hdc);
    HDC dcInv = ::CreateCompatibleDC(hdc);
    HDC dcWork = ::CreateCompatibleDC(hdc);
    HDC dcSave = ::CreateCompatibleDC(hdc);
    ::SetMapMode(dcBmp, ::GetMapMode(hdc));
    HBITMAP bmMask = ::CreateBitmap(w, h, 1, 1, nullptr);
    HBITMAP bmInv = ::CreateBitmap(w, h, 1, 1, nullptr);
    HBITMAP bmWork = ::CreateCompatibleBitmap(hdc, w, h);
    HBITMAP bmSave = ::CreateCompatibleBitmap(hdc, w, h);
    HGDIOBJ oBmp = ::SelectObject(dcBmp, rec.bitmap.m_hObject);
    HGDIOBJ oMask = ::SelectObject(dcMask, bmMask);
    HGDIOBJ oInv = ::SelectObject(dcInv, bmInv);
    HGDIOBJ oWork = ::SelectObject(dcWork, bmWork);
    HGDIOBJ oSave = ::SelectObject(dcSave, bmSave);

    ::BitBlt(dcSave, 0, 0, w, h, dcBmp, 0, 0, SRCCOPY); // the bitmap is restored at the end
    // Mask: the transparent colour becomes white (1), everything else black.
    COLORREF oldBk = ::SetBkColor(dcBmp, rec.clrTransparent);
    ::BitBlt(dcMask, 0, 0, w, h, dcBmp, 0, 0, SRCCOPY);
    ::SetBkColor(dcBmp, oldBk);
    ::BitBlt(dcInv, 0, 0, w, h, dcMask, 0, 0, NOTSRCCOPY);
    // The destination, stretched to the bitmap's size, keeps only its transparent part.
    ::SetStretchBltMode(dcWork, COLORONCOLOR);
    ::StretchBlt(dcWork, 0, 0, w, h, hdc, rcDest.left, rcDest.top, rcDest.Width(),
                 rcDest.Height(), SRCCOPY);
    ::BitBlt(dcWork, 0, 0, w, h, dcMask, 0, 0, SRCAND);
    ::BitBlt(dcBmp, 0, 0, w, h, dcInv, 0, 0, SRCAND);
    ::BitBlt(dcWork, 0, 0, w, h, dcBmp, 0, 0, SRCPAINT);
    ::SetStretchBltMode(hdc, COLORONCOLOR);
    ::StretchBlt(hdc, rcDest.left, rcDest.top, rcDest.Width(), rcDest.Height(), dcWork, 0, 0,
                 sizeSrc.cx, sizeSrc.cy, SRCCOPY);
    ::BitBlt(dcBmp, 0, 0, w, h, dcSave, 0, 0, SRCCOPY);

    ::SelectObject(dcBmp, oBmp);
    ::SelectObject(dcMask, oMask);
    ::SelectObject(dcInv, oInv);
    ::SelectObject(dcWork, oWork);
    ::SelectObject(dcSave, oSave);
    for (HBITMAP b : {bmMask, bmInv, bmWork, bmSave})
        ::DeleteObject(b);
    for (HDC d : {dcBmp, dcMask, dcInv, dcWork, dcSave})
        ::DeleteDC(d);
}

INT_PTR COXStatusBar::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    if (::GetKeyState(VK_LBUTTON) < 0)
        return -1;
    // A pane's progress control first: its id is the pane index.
    HWND hChild = ::ChildWindowFromPointEx(m_hWnd, point, CWP_SKIPINVISIBLE);
    if (hChild != nullptr && hChild != m_hWnd) {
        int nIndex = ::GetDlgCtrlID(hChild);
        if (pTI != nullptr) {
            pTI->uFlags &= ~TTF_CENTERTIP;
            pTI->uFlags |= TTF_IDISHWND;
            pTI->hwnd = m_hWnd;
            pTI->uId = reinterpret_cast<UINT_PTR>(hChild);
            pTI->lpszText = nullptr;
            if (Valid(nIndex))
                pTI->lpszText = _strdup(m_arrTooltips[static_cast<size_t>(nIndex)]);
        }
        return nIndex + GetCount();
    }
    for (int i = 0; i < GetCount(); ++i) {
        CRect rect;
        GetItemRect(i, &rect);
        if (!rect.PtInRect(point))
            continue;
        if (pTI != nullptr) {
            pTI->hwnd = m_hWnd;
            pTI->rect = rect;
            pTI->uId = GetItemID(i);
            pTI->lpszText = _strdup(m_arrTooltips[static_cast<size_t>(i)]);
        }
        return GetItemID(i);
    }
    return -1;
}

void COXStatusBar::DrawItem(LPDRAWITEMSTRUCT lpDIS)
{
    const int nIndex = static_cast<int>(lpDIS->itemID);
    if (!Valid(nIndex))
        return;
    HDC hdc = lpDIS->hDC;
    int oldMode = ::SetBkMode(hdc, TRANSPARENT);
    const auto& font = m_arrFonts[static_cast<size_t>(nIndex)];
    HGDIOBJ hOldFont = ::SelectObject(hdc, font ? static_cast<HFONT>(*font) : GetBarFont());
    COLORREF oldColor = ::SetTextColor(hdc, m_arrTextColors[static_cast<size_t>(nIndex)]);
    CString text = GetPaneText(nIndex);
    SIZE ext{};
    ::GetTextExtentPoint32(hdc, text, text.GetLength(), &ext);
    const RECT& r = lpDIS->rcItem;
    ::TextOut(hdc, r.left + 2, r.top + (r.bottom - r.top - ext.cy) / 2, text, text.GetLength());
    ::SetTextColor(hdc, oldColor);
    ::SelectObject(hdc, hOldFont);
    ::SetBkMode(hdc, oldMode);
}

void COXStatusBar::MakeOwnerDraw(int nIndex)
{
    SetPaneStyle(nIndex, GetPaneStyle(nIndex) | SBPS_OWNERDRAW);
}

BOOL COXStatusBar::SetPaneCursor(int nIndex, HCURSOR hCursor)
{
    if (!Valid(nIndex))
        return FALSE;
    m_arrCursors[static_cast<size_t>(nIndex)] = hCursor;
    return TRUE;
}

BOOL COXStatusBar::SetPaneBitmap(int nIndex, HBITMAP hBitmap, int nMode, COLORREF clrTransparent)
{
    if (!Valid(nIndex))
        return FALSE;
    auto& slot = m_arrBitmaps[static_cast<size_t>(nIndex)];
    slot.reset();
    if (hBitmap != nullptr) {
        slot = std::make_unique<BITMAPRECORD>();
        slot->bitmap.Attach(hBitmap);
        BITMAP bm{};
        slot->bitmap.GetBitmap(&bm);
        slot->nWidth = bm.bmWidth;
        slot->nHeight = bm.bmHeight;
        slot->nMode = nMode;
        slot->clrTransparent = clrTransparent;
    }
    if (m_hWnd != nullptr) {
        CRect rect;
        GetItemRect(nIndex, &rect);
        InvalidateRect(&rect, FALSE);
    }
    return TRUE;
}

const COXStatusBar::BITMAPRECORD* COXStatusBar::GetPaneBitmap(int nIndex) const
{
    return Valid(nIndex) ? m_arrBitmaps[static_cast<size_t>(nIndex)].get() : nullptr;
}

BOOL COXStatusBar::SetPaneTextColor(int nIndex, COLORREF clr)
{
    if (!Valid(nIndex))
        return FALSE;
    m_arrTextColors[static_cast<size_t>(nIndex)] = clr;
    MakeOwnerDraw(nIndex);
    return TRUE;
}

BOOL COXStatusBar::SetPaneFont(int nIndex, const LOGFONT* pLogFont)
{
    if (!Valid(nIndex))
        return FALSE;
    auto& slot = m_arrFonts[static_cast<size_t>(nIndex)];
    slot.reset();
    if (pLogFont != nullptr) {
        slot = std::make_unique<CFont>();
        if (!slot->CreateFontIndirect(pLogFont)) {
            slot.reset();
            return FALSE;
        }
        MakeOwnerDraw(nIndex);
    }
    return TRUE;
}

BOOL COXStatusBar::SetPaneTooltip(int nIndex, LPCTSTR lpszText)
{
    if (!Valid(nIndex))
        return FALSE;
    m_arrTooltips[static_cast<size_t>(nIndex)] = lpszText != nullptr ? lpszText : "";
    return TRUE;
}

BOOL COXStatusBar::SetPaneProgress(int nIndex, int nMax, BOOL bShowPercent)
{
    if (!Valid(nIndex))
        return FALSE;
    auto& slot = m_arrProgress[static_cast<size_t>(nIndex)];
    if (!slot)
        slot = std::make_unique<PROGRESSRECORD>();
    slot->bShowPercent = bShowPercent;
    SetPaneStyle(nIndex, GetPaneStyle(nIndex) | OXSBPS_PROGRESS);
    if (m_hWnd != nullptr) {
        RecalcPaneLayout(TRUE, FALSE);
        if (slot->bCreated)
            slot->ctrl.SendMessage(PBM_SETRANGE32, 0, nMax);
    }
    return slot->bCreated;
}

BOOL COXStatusBar::SetPaneProgressPos(int nIndex, int nPos)
{
    PROGRESSRECORD* rec = Valid(nIndex) ? m_arrProgress[static_cast<size_t>(nIndex)].get() : nullptr;
    if (rec == nullptr || !rec->bCreated)
        return FALSE;
    rec->ctrl.SendMessage(PBM_SETPOS, static_cast<WPARAM>(nPos));
    if (rec->bShowPercent) {
        int nMax = static_cast<int>(rec->ctrl.SendMessage(PBM_GETRANGE, FALSE));
        CString label;
        label.Format("%d%%", nMax > 0 ? std::clamp(nPos * 100 / nMax, 0, 100) : 0);
        SetPaneText(nIndex, label);
    }
    return TRUE;
}

BOOL COXStatusBar::RemovePaneProgress(int nIndex)
{
    if (!Valid(nIndex))
        return FALSE;
    auto& slot = m_arrProgress[static_cast<size_t>(nIndex)];
    if (slot && slot->bCreated)
        slot->ctrl.DestroyWindow();
    slot.reset();
    SetPaneStyle(nIndex, GetPaneStyle(nIndex) & ~OXSBPS_PROGRESS);
    return TRUE;
}

HWND COXStatusBar::GetPaneProgressHwnd(int nIndex) const
{
    const PROGRESSRECORD* rec =
        Valid(nIndex) ? m_arrProgress[static_cast<size_t>(nIndex)].get() : nullptr;
    return rec != nullptr && rec->bCreated ? rec->ctrl.m_hWnd : nullptr;
}

int COXStatusBar::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CStatusBar::OnCreate(lpcs) == -1)
        return -1;
    if (!m_dcMem.CreateCompatibleDC(nullptr))
        return -1;
    return 0;
}

void COXStatusBar::OnPaint()
{
    GetStatusbarSkin()->OnPaintStatusBar(this);
}

void COXStatusBar::OnSize(UINT, int, int)
{
    Default();
    if (GetCount() == 0)
        return;
    RecalcPaneLayout(TRUE, TRUE);
    for (int i = 0; i < GetCount(); ++i) {
        CRect rect;
        GetItemRect(i, &rect);
        InvalidateRect(&rect, FALSE);
    }
}

void COXStatusBar::OnLButtonDblClk(UINT, CPoint point)
{
    for (int i = 0; i < GetCount(); ++i) {
        CRect rect;
        GetItemRect(i, &rect);
        if (rect.PtInRect(point)) {
            if (CWnd* pParent = GetParent())
                pParent->SendMessage(WM_OXSB_PANEDBLCLK, GetItemID(i), 0);
            return;
        }
    }
}

BOOL COXStatusBar::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message)
{
    if (nHitTest == HTCLIENT) {
        DWORD pos = ::GetMessagePos();
        CPoint point(static_cast<short>(LOWORD(pos)), static_cast<short>(HIWORD(pos)));
        ScreenToClient(&point);
        for (int i = 0; i < GetCount(); ++i) {
            CRect rect;
            GetItemRect(i, &rect);
            if (rect.PtInRect(point)) {
                if (HCURSOR hCursor = m_arrCursors[static_cast<size_t>(i)]) {
                    ::SetCursor(hCursor);
                    return TRUE;
                }
                break;
            }
        }
    }
    return static_cast<BOOL>(Default());
}

LRESULT COXStatusBar::OnSetMinHeight(WPARAM wParam, LPARAM lParam)
{
    return CStatusBar::OnSetMinHeight(wParam, lParam);
}
