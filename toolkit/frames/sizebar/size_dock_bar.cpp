// COXSizeDockBar: rows whose sizable bars share the length, splitters, expansion, tab groups,
// and the search for the dock bar under the mouse.
#include "toolkit/frames/sizebar/size_dock_bar.h"

#include <algorithm>
#include <cstring>

#include "toolkit/frames/sizebar/size_control_bar.h"
#include "toolkit/frames/skins/skin.h"
#include "toolkit/frames/skins/skinned_app.h"

IMPLEMENT_DYNAMIC(COXSizeDockBar, CDockBar)

namespace {

int BorderX2()
{
    return 2 * ::GetSystemMetrics(SM_CXBORDER);
}
int BorderY2()
{
    return 2 * ::GetSystemMetrics(SM_CYBORDER);
}

CRect WindowRectIn(const CWnd* pWnd, const CWnd* pIn)
{
    CRect rect;
    ::GetWindowRect(pWnd->m_hWnd, &rect);
    ::MapWindowPoints(nullptr, pIn->m_hWnd, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

} // namespace

bool OXIsKindOfName(const CObject* pObj, const char* pszClassName)
{
    if (pObj == nullptr)
        return false;
    for (const CRuntimeClass* p = pObj->GetRuntimeClass(); p != nullptr; p = p->m_pBaseClass)
        if (std::strcmp(p->m_lpszClassName, pszClassName) == 0)
            return true;
    return false;
}

bool OXIsSizeBar(const CControlBar* pBar)
{
    return pBar != nullptr && pBar->IsKindOf(RUNTIME_CLASS(COXSizeControlBar));
}

// clang-format off
BEGIN_MESSAGE_MAP(COXSizeDockBar, CDockBar)
    ON_WM_PAINT()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONDOWN()
    ON_WM_LBUTTONUP()
    ON_WM_SETCURSOR()
    ON_WM_NCPAINT()
    ON_WM_CREATE()
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_MESSAGE(WM_SIZEPARENT, OnSizeParent)
    ON_NOTIFY(TCN_SELCHANGE, 3000, OnTabSelChange)
END_MESSAGE_MAP()
// clang-format on

COXSizeDockBar::COXSizeDockBar() : m_wndTabs(this) {}

COXSizeDockBar::~COXSizeDockBar()
{
    DeleteSplitters();
    delete m_pDockbarSkin;
}

void COXSizeDockBar::DeleteSplitters()
{
    for (INT_PTR i = 0; i < m_arrSplitters.GetSize(); ++i)
        delete m_arrSplitters[i];
    m_arrSplitters.RemoveAll();
    m_pTrackSplitter = nullptr;
}

COXDockbarSkin* COXSizeDockBar::GetDockbarSkin()
{
    if (COXSkin* pSkin = OXGetCurrentSkin())
        if (COXDockbarSkin* pCurrent = pSkin->GetDockbarSkin())
            return pCurrent;
    if (m_pDockbarSkin == nullptr)
        m_pDockbarSkin = new COXDockbarSkinClassic;
    return m_pDockbarSkin;
}

int COXSizeDockBar::GetTabStripHeight() const
{
    return m_wndTabs.m_hWnd != nullptr && const_cast<COXDockTabCtrl&>(m_wndTabs).GetItemCount() > 0
               ? OX_TAB_STRIP_HEIGHT
               : 0;
}

void COXSizeDockBar::PositionTabs()
{
    if (m_wndTabs.m_hWnd == nullptr)
        return;
    CRect rect;
    GetClientRect(&rect);
    const int h = GetTabStripHeight();
    m_wndTabs.SetWindowPos(nullptr, 0, rect.bottom - h, rect.Width(), h,
                           SWP_NOZORDER | SWP_NOACTIVATE);
    m_wndTabs.Invalidate();
}

CControlBar* COXSizeDockBar::GetDockedBar(int nIndex, const CPtrArray& arr)
{
    if (nIndex < 0 || nIndex >= arr.GetSize())
        return nullptr;
    void* p = arr[nIndex];
    if (p == nullptr || AfxIsPlaceHolder(p))
        return nullptr;
    auto* pBar = static_cast<CControlBar*>(p);
    return pBar->m_hWnd != nullptr && ::IsWindow(pBar->m_hWnd) ? pBar : nullptr;
}

CControlBar* COXSizeDockBar::GetFirstBar() const
{
    return m_arrBars.GetSize() >= 2 ? GetDockedBar(1, m_arrBars) : nullptr;
}

BOOL COXSizeDockBar::IsHorz() const
{
    return (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
}

int COXSizeDockBar::BarLength(CControlBar* pBar) const
{
    if (OXIsSizeBar(pBar)) {
        auto* p = static_cast<COXSizeControlBar*>(pBar);
        return IsHorz() ? p->m_sizeHorzDock.cx : p->m_sizeVertDock.cy;
    }
    CRect r;
    pBar->GetWindowRect(&r);
    return IsHorz() ? r.Width() : r.Height();
}

int COXSizeDockBar::BarThickness(CControlBar* pBar) const
{
    if (OXIsSizeBar(pBar)) {
        auto* p = static_cast<COXSizeControlBar*>(pBar);
        return IsHorz() ? p->m_sizeHorzDock.cy : p->m_sizeVertDock.cx;
    }
    CRect r;
    pBar->GetWindowRect(&r);
    return IsHorz() ? r.Height() : r.Width();
}

void COXSizeDockBar::SetBarLength(CControlBar* pBar, int nLength)
{
    auto* p = static_cast<COXSizeControlBar*>(pBar);
    if (IsHorz())
        p->m_sizeHorzDock.cx = nLength;
    else
        p->m_sizeVertDock.cy = nLength;
}

// --- rows ---

int COXSizeDockBar::RowStartOf(int nIndex) const
{
    int n = std::min(nIndex, static_cast<int>(m_arrBars.GetSize()) - 1);
    while (n > 0 && m_arrBars[n - 1] != nullptr)
        --n;
    return std::max(n, 1);
}

void COXSizeDockBar::GetRowInfo(int nStart, OXROWINFO& info, const CPtrArray& arr) const
{
    info = OXROWINFO{};
    bool bPrevSize = false;
    if (nStart == 0)
        nStart = 1;
    for (int i = nStart; i < arr.GetSize() && arr[i] != nullptr; ++i) {
        CControlBar* pBar = GetDockedBar(i, arr);
        if (pBar == nullptr || !pBar->IsVisible())
            continue;
        const int len = BarLength(pBar), thick = BarThickness(pBar);
        ++info.nVisibleBars;
        if (OXIsSizeBar(pBar)) {
            ++info.nSizeBars;
            info.nSizeBarLength += len;
            if (bPrevSize)
                info.nOtherLength += OX_SPLITTER_SIZE;
            bPrevSize = true;
        } else {
            info.nOtherLength += len;
            info.nMaxOtherThickness = std::max(info.nMaxOtherThickness, thick);
            bPrevSize = false;
        }
        info.nMaxThickness = std::max(info.nMaxThickness, thick);
        MINMAXINFO mmi{};
        ::SendMessage(pBar->m_hWnd, WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&mmi));
        info.nMaxMinTrackHeight = std::max(info.nMaxMinTrackHeight, static_cast<int>(mmi.ptMinTrackSize.y));
        info.nMaxMinTrackWidth = std::max(info.nMaxMinTrackWidth, static_cast<int>(mmi.ptMinTrackSize.x));
    }
    info.nTotalLength = info.nSizeBarLength + info.nOtherLength;
}

BOOL COXSizeDockBar::FitRow(int nStart, int nLength, const CPtrArray& arr)
{
    OXROWINFO info;
    GetRowInfo(nStart, info, arr);
    if (info.nSizeBars == 0)
        return FALSE;
    const int b = IsHorz() ? BorderX2() : BorderY2();
    const int available = nLength + b * info.nVisibleBars - info.nOtherLength;
    int remainder = available;
    if (nStart == 0)
        nStart = 1;
    for (int i = nStart; i < arr.GetSize() && arr[i] != nullptr; ++i) {
        CControlBar* pBar = GetDockedBar(i, arr);
        if (pBar == nullptr || !pBar->IsVisible() || !OXIsSizeBar(pBar))
            continue;
        auto* p = static_cast<COXSizeControlBar*>(pBar);
        const int share = info.nSizeBarLength > 0
                              ? available * BarLength(pBar) / info.nSizeBarLength
                              : remainder;
        remainder -= share;
        CSize size;
        if (IsHorz())
            size = p->m_sizeHorzDock = CSize(share, info.nMaxThickness);
        else
            size = p->m_sizeVertDock = CSize(info.nMaxThickness, share);
        if (!m_bLayoutQuery)
            p->SetWindowPos(nullptr, 0, 0, size.cx, size.cy,
                            SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    return TRUE;
}

BOOL COXSizeDockBar::FitAllRows(int nLength)
{
    BOOL bAny = FALSE;
    for (int i = 1; i < m_arrBars.GetSize(); ++i)
        if (m_arrBars[i - 1] == nullptr && m_arrBars[i] != nullptr)
            bAny |= FitRow(i, nLength, m_arrBars);
    return bAny;
}

void COXSizeDockBar::FitRowOfBar(CControlBar* pBar)
{
    const int nPos = FindBar(pBar);
    if (nPos <= 0)
        return;
    CPtrArray row;
    row.Add(nullptr);
    for (int i = RowStartOf(nPos); i < m_arrBars.GetSize() && m_arrBars[i] != nullptr; ++i)
        if (i != nPos)
            row.Add(m_arrBars[i]);
    row.Add(nullptr);
    OXROWINFO info;
    GetRowInfo(1, info, row);
    CRect r;
    pBar->GetWindowRect(&r);
    int len = IsHorz() ? r.Width() : r.Height();
    if (OXIsSizeBar(pBar) && info.nSizeBars > 0)
        len += OX_SPLITTER_SIZE;
    FitRow(1, std::max(0, info.nTotalLength - len), row);
}

int COXSizeDockBar::RowFromRect(CControlBar* pBar, const RECT& rcScreen) const
{
    CRect rect(rcScreen);
    ScreenToClient(&rect);
    const CPoint mid = rect.CenterPoint();
    const int across = IsHorz() ? mid.y : mid.x;
    const int b = IsHorz() ? BorderY2() : BorderX2();
    int nEdge = 0, nThick = 0, nRowStart = 1;
    for (int i = 1; i < m_arrBars.GetSize(); ++i) {
        CControlBar* p = GetDockedBar(i, m_arrBars);
        if (p != nullptr && p != pBar && p->IsVisible()) {
            const CRect rb = WindowRectIn(p, this);
            nThick = std::max(nThick, IsHorz() ? rb.Height() : rb.Width());
        } else if (m_arrBars[i] == nullptr) {
            if (nThick > 0) {
                const int nStart = nEdge;
                nEdge += nThick - b;
                if (across >= nStart && across < nEdge)
                    return nRowStart;
            }
            nThick = 0;
            nRowStart = i + 1;
        }
    }
    return -1;
}

int COXSizeDockBar::CountBarsInRow(CControlBar* pBar, const RECT& rcScreen) const
{
    const int nStart = RowFromRect(pBar, rcScreen);
    if (nStart < 0)
        return 0;
    int n = 0;
    for (int i = nStart; i < m_arrBars.GetSize() && m_arrBars[i] != nullptr; ++i)
        if (CControlBar* p = GetDockedBar(i, m_arrBars); p != nullptr && p != pBar)
            ++n;
    return n;
}

int COXSizeDockBar::CountOtherSizeBars(CControlBar* pBar) const
{
    int n = 0;
    for (int i = 0; i < m_arrBars.GetSize(); ++i)
        if (CControlBar* p = GetDockedBar(i, m_arrBars); p != pBar && OXIsSizeBar(p))
            ++n;
    return n;
}

COXSizeControlBar* COXSizeDockBar::FindOtherSizeBar(CControlBar* pBar) const
{
    for (int i = 0; i < m_arrBars.GetSize(); ++i)
        if (CControlBar* p = GetDockedBar(i, m_arrBars); p != pBar && OXIsSizeBar(p))
            return static_cast<COXSizeControlBar*>(p);
    return nullptr;
}

CControlBar* COXSizeDockBar::FindOtherCoolToolBar(CControlBar* pBar) const
{
    for (int i = 0; i < m_arrBars.GetSize(); ++i)
        if (CControlBar* p = GetDockedBar(i, m_arrBars);
            p != nullptr && p != pBar && OXIsKindOfName(p, "COXCoolToolBar"))
            return p;
    return nullptr;
}

int COXSizeDockBar::CountAlignedBars(CControlBar* pBar) const
{
    CRect rBar;
    pBar->GetWindowRect(&rBar);
    int n = 1;
    for (int i = 0; i < m_arrBars.GetSize(); ++i) {
        CControlBar* p = GetDockedBar(i, m_arrBars);
        if (p == nullptr || p == pBar || !OXIsSizeBar(p) || !p->IsVisible())
            continue;
        CRect r;
        p->GetWindowRect(&r);
        if (IsHorz() ? r.left == rBar.left : std::abs(r.left - rBar.left) < 5)
            ++n;
    }
    return n;
}

UINT COXSizeDockBar::GetVisibleSignature() const
{
    UINT nCounter = 0, nVisible = 0;
    for (int i = 0; i < m_arrBars.GetSize(); ++i) {
        if (m_arrBars[i] == nullptr) {
            nCounter *= 2;
            continue;
        }
        CControlBar* p = GetDockedBar(i, m_arrBars);
        if (p == nullptr || !p->IsVisible())
            continue;
        ++nVisible;
        ++nCounter;
        if (OXIsSizeBar(p))
            nCounter += static_cast<UINT>(i);
    }
    return (nVisible & 0xFF) + (nCounter << 8);
}

// --- layout ---

CSize COXSizeDockBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    CSize sizeFixed = CControlBar::CalcFixedLayout(bStretch, bHorz);
    if (m_arrBars.GetSize() <= 1)
        return sizeFixed;
    const int bx = BorderX2(), by = BorderY2();
    const int b = bHorz ? bx : by;
    AFX_SIZEPARENTPARAMS layout{};
    layout.hDWP = m_bLayoutQuery ? nullptr
                                 : ::BeginDeferWindowPos(static_cast<int>(m_arrBars.GetSize()));

    CSize sizeMax;
    if (!m_rectLayout.IsRectEmpty()) {
        sizeMax = m_rectLayout.Size();
    } else if (CFrameWnd* pFrame = GetParentFrame()) {
        CRect rect;
        pFrame->GetClientRect(&rect);
        for (POSITION pos = pFrame->m_listControlBars.GetHeadPosition(); pos != nullptr;) {
            auto* p = static_cast<CControlBar*>(pFrame->m_listControlBars.GetNext(pos));
            const UINT id = static_cast<UINT>(::GetDlgCtrlID(p->m_hWnd));
            if (!p->IsDockBar() || static_cast<CDockBar*>(p)->m_bFloating ||
                !p->IsWindowVisible() || id < AFX_IDW_CONTROLBAR_FIRST ||
                id > AFX_IDW_CONTROLBAR_LAST)
                continue;
            const DWORD s = p->GetStyle();
            const CRect r = WindowRectIn(p, pFrame);
            if (s & (CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM))
                rect.top = std::max(rect.top, r.bottom);
            else if (s & (CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP))
                rect.bottom = std::min(rect.bottom, r.top);
        }
        sizeMax = rect.Size();
    }
    const int nMax = bHorz ? sizeMax.cx : sizeMax.cy;
    const bool bLeftOrTop = (m_dwStyle & (CBRS_ALIGN_LEFT | CBRS_ALIGN_TOP)) != 0;

    DeleteSplitters();
    CPoint pt(-bx, -by);
    int nThickness = 0;
    bool bWrapped = false;
    bool bRowHasSize = false, bPrevRowHasSize = false;
    CControlBar* pPrev = nullptr; // previous visible bar of the row
    INT_PTR nRowSplitFirst = 0;   // in-row splitters of the current row start here
    std::vector<int> rowSplitters;

    auto addSplitter = [&](int nType, CRect r, int nIndex) {
        auto* s = new COXSplitterRect(nType, r);
        s->m_nBarIndex = nIndex;
        m_arrSplitters.Add(s);
        return s;
    };
    auto countSizeBarsFrom = [&](int nStart) {
        int n = 0;
        for (int i = nStart; i < m_arrBars.GetSize() && m_arrBars[i] != nullptr; ++i)
            if (CControlBar* p = GetDockedBar(i, m_arrBars); p != nullptr && p->IsVisible() &&
                                                              OXIsSizeBar(p))
                ++n;
        return n;
    };

    for (int nPos = 0; nPos < m_arrBars.GetSize(); ++nPos) {
        void* pVoid = m_arrBars[nPos];
        if (pVoid == nullptr) {
            if (nThickness != 0) { // a row with bars ends
                EndRow(pt, nThickness, bHorz, sizeFixed);
                for (INT_PTR i = nRowSplitFirst; i < m_arrSplitters.GetSize(); ++i) {
                    auto* s = static_cast<COXSplitterRect*>(m_arrSplitters[i]);
                    if (bHorz && s->m_nType == 1)
                        s->m_rect.bottom = pt.y + by;
                    else if (!bHorz && s->m_nType == 2)
                        s->m_rect.right = pt.x + bx;
                }
                bPrevRowHasSize = bRowHasSize;
            }
            bRowHasSize = countSizeBarsFrom(nPos + 1) > 0;
            nThickness = 0;
            pPrev = nullptr;
            nRowSplitFirst = m_arrSplitters.GetSize();
            continue;
        }
        CControlBar* pBar = GetDockedBar(nPos, m_arrBars);
        if (pBar == nullptr)
            continue;
        if (!pBar->IsVisible()) {
            pBar->RecalcDelayShow(&layout);
            continue;
        }
        const bool bSize = OXIsSizeBar(pBar);
        const CSize sizeBar = pBar->CalcDynamicLayout(-1, LayoutMode(pBar));
        const CRect rectBar = WindowRectIn(pBar, this);

        if (bSize && !bWrapped) {
            const int start = bHorz ? pt.x : pt.y;
            const int barStart = bHorz ? rectBar.left : rectBar.top;
            const bool bNew = rectBar.IsRectEmpty() || barStart < -b;
            if (start >= nMax - b || bNew) {
                bWrapped = true;
                if (pPrev == nullptr) {
                    // Alone in a row of its own, which and the next row then share out again.
                    if (nPos + 1 < m_arrBars.GetSize() && m_arrBars[nPos + 1] != nullptr) {
                        m_arrBars.InsertAt(nPos + 1, static_cast<void*>(nullptr));
                        FitRow(RowStartOf(nPos), nMax, m_arrBars);
                        FitRow(nPos + 2, nMax, m_arrBars);
                    }
                } else {
                    m_arrBars.InsertAt(nPos, static_cast<void*>(nullptr));
                    FitRow(nPos + 1, nMax, m_arrBars);
                    --nPos; // the new row end first, then this bar starts the next row
                    continue;
                }
            }
        }
        // Splitters before the bar.
        if (pPrev == nullptr) {
            const bool bBefore = bLeftOrTop ? bPrevRowHasSize : (bRowHasSize && bSize);
            if (bBefore) {
                if (bHorz) {
                    addSplitter(2, CRect(pt.x, pt.y, pt.x, pt.y + OX_SPLITTER_SIZE), nPos);
                    pt.y += OX_SPLITTER_SIZE;
                } else {
                    addSplitter(1, CRect(pt.x, pt.y, pt.x + OX_SPLITTER_SIZE, pt.y), nPos);
                    pt.x += OX_SPLITTER_SIZE;
                }
                nRowSplitFirst = m_arrSplitters.GetSize();
            }
        } else if (bSize && OXIsSizeBar(pPrev)) {
            if (bHorz) {
                addSplitter(1, CRect(pt.x, pt.y, pt.x + OX_SPLITTER_SIZE, pt.y), nPos);
                pt.x += OX_SPLITTER_SIZE;
            } else {
                addSplitter(2, CRect(pt.x, pt.y, pt.x, pt.y + OX_SPLITTER_SIZE), nPos);
                pt.y += OX_SPLITTER_SIZE;
            }
        }

        CRect rect(pt, sizeBar);
        // A bar that does not size is placed as the framework places it; one behind a
        // sizable bar of its row does not keep a place of its own.
        if (!bSize && !PlaceBarInRow(rect, rectBar, pt, sizeBar, nMax, bHorz, bWrapped,
                                     (pPrev == nullptr || !OXIsSizeBar(pPrev)) && !bRowHasSize,
                                     nPos)) {
            m_arrBars.InsertAt(nPos, static_cast<void*>(nullptr));
            bWrapped = true;
            --nPos;
            continue;
        }
        MoveBarInRow(&layout, pBar, rect, rectBar, sizeBar, bHorz, pt, nThickness);
        pBar->RecalcDelayShow(&layout);
        pPrev = pBar;
        bWrapped = false;
    }
    // A trailing splitter between the last row and the pane.
    if (bLeftOrTop && bPrevRowHasSize) {
        if (bHorz) {
            addSplitter(2, CRect(pt.x, pt.y, pt.x, pt.y + OX_SPLITTER_SIZE),
                        static_cast<int>(m_arrBars.GetSize()) - 1);
            sizeFixed.cy += OX_SPLITTER_SIZE;
        } else {
            addSplitter(1, CRect(pt.x, pt.y, pt.x + OX_SPLITTER_SIZE, pt.y),
                        static_cast<int>(m_arrBars.GetSize()) - 1);
            sizeFixed.cx += OX_SPLITTER_SIZE - 1;
        }
    }
    if (layout.hDWP != nullptr)
        ::EndDeferWindowPos(layout.hDWP);
    for (INT_PTR i = 0; i < m_arrSplitters.GetSize(); ++i) {
        auto* s = static_cast<COXSplitterRect*>(m_arrSplitters[i]);
        // (A stretched layout reports 32767 along the dock bar: the splitter ends at its edge.)
        if (bHorz && s->m_nType == 2)
            s->m_rect.right = std::min(static_cast<int>(sizeFixed.cx), nMax);
        else if (!bHorz && s->m_nType == 1)
            s->m_rect.bottom = std::min(static_cast<int>(sizeFixed.cy), nMax);
    }

    AddBorders(sizeFixed, bStretch, bHorz);
    sizeFixed.cy += GetTabStripHeight();
    return sizeFixed;
}

LRESULT COXSizeDockBar::OnSizeParent(WPARAM wParam, LPARAM lParam)
{
    auto* lpLayout = reinterpret_cast<AFX_SIZEPARENTPARAMS*>(lParam);
    const int cx = lpLayout->rect.right - lpLayout->rect.left;
    const int cy = lpLayout->rect.bottom - lpLayout->rect.top - GetTabStripHeight();
    const bool bChanged = IsHorz() ? cx != m_nLastCx : cy != m_nLastCy;
    m_nLastCx = cx;
    m_nLastCy = cy;
    const int nLength = IsHorz() ? cx : cy;

    // Bars shown since the last request take their room from the others of their row.
    for (int nStart = 1; nStart < m_arrBars.GetSize(); nStart = nStart + 1) {
        if (m_arrBars[nStart - 1] != nullptr)
            continue;
        int nShown = 0;
        CPtrArray others;
        others.Add(nullptr);
        for (int i = nStart; i < m_arrBars.GetSize() && m_arrBars[i] != nullptr; ++i) {
            CControlBar* p = GetDockedBar(i, m_arrBars);
            if (p == nullptr || !p->IsVisible())
                continue;
            bool bWasHidden = false;
            for (INT_PTR h = 0; h < m_arrHiddenBars.GetSize(); ++h)
                bWasHidden |= m_arrHiddenBars[h] == p;
            if (bWasHidden)
                nShown += BarLength(p);
            else
                others.Add(p);
        }
        others.Add(nullptr);
        if (nShown > 0 && others.GetSize() > 2) {
            OXROWINFO info;
            GetRowInfo(nStart, info, m_arrBars);
            FitRow(1, std::max(0, info.nTotalLength - nShown), others);
        }
    }
    m_arrHiddenBars.RemoveAll();
    for (int i = 0; i < m_arrBars.GetSize(); ++i)
        if (CControlBar* p = GetDockedBar(i, m_arrBars); p != nullptr && !p->IsVisible())
            m_arrHiddenBars.Add(p);

    const UINT nSignature = GetVisibleSignature();
    if (bChanged || nSignature != m_nVisibleSignature) {
        const BOOL bQuery = m_bLayoutQuery;
        m_bLayoutQuery = lpLayout->hDWP == nullptr;
        FitAllRows(nLength);
        m_bLayoutQuery = bQuery;
        m_nVisibleSignature = nSignature;
        for (INT_PTR i = 0; i < m_arrSplitters.GetSize(); ++i)
            InvalidateRect(&static_cast<COXSplitterRect*>(m_arrSplitters[i])->m_rect);
    }
    return CDockBar::OnSizeParent(wParam, lParam);
}

// --- expansion ---

void COXSizeDockBar::ExpandBar(COXSizeControlBar* pBar, BOOL bExpand)
{
    CRect rBar;
    pBar->GetWindowRect(&rBar);
    const int nStart = RowFromRect(nullptr, rBar);
    if (nStart < 0)
        return;
    bool bOtherExpanded = false;
    for (int i = nStart; i < m_arrBars.GetSize() && m_arrBars[i] != nullptr; ++i)
        if (CControlBar* p = GetDockedBar(i, m_arrBars); p != pBar && OXIsSizeBar(p) &&
                                                          static_cast<COXSizeControlBar*>(p)->m_bExpanded)
            bOtherExpanded = true;
    const bool bSave = !(bExpand && bOtherExpanded);
    auto current = [&](COXSizeControlBar* p) -> CSize& {
        return IsHorz() ? p->m_sizeHorzDock : p->m_sizeVertDock;
    };
    int nSum = 0;
    for (int i = nStart; i < m_arrBars.GetSize() && m_arrBars[i] != nullptr; ++i) {
        CControlBar* pc = GetDockedBar(i, m_arrBars);
        if (pc == pBar || !OXIsSizeBar(pc) || !pc->IsVisible())
            continue;
        auto* p = static_cast<COXSizeControlBar*>(pc);
        if (bExpand) {
            if (bSave)
                p->m_sizeBeforeExpand = current(p);
            nSum += BarLength(p) - 21;
            SetBarLength(p, 21);
        } else {
            current(p) = p->m_sizeBeforeExpand;
        }
        if (p->m_bExpanded) {
            p->m_bExpanded = FALSE;
            p->RedrawExpandButton();
        }
    }
    if (bExpand) {
        if (bSave)
            pBar->m_sizeBeforeExpand = current(pBar);
        SetBarLength(pBar, BarLength(pBar) + nSum);
    } else {
        current(pBar) = pBar->m_sizeBeforeExpand;
    }
    if (CFrameWnd* pFrame = GetParentFrame())
        pFrame->RecalcLayout();
    if (pBar->m_bExpanded != bExpand) {
        pBar->m_bExpanded = bExpand;
        pBar->RedrawExpandButton();
    }
}

// --- docking ---

int COXSizeDockBar::GetRowEnd(CControlBar* pBar, int nDrop, int nAcross) const
{
    // The far end of the last bar of the row (same start across) before the drop point.
    int nEnd = (IsHorz() ? 0 : 0) - 2;
    CControlBar* pLast = nullptr;
    for (int i = 1; i < m_arrBars.GetSize(); ++i) {
        CControlBar* p = GetDockedBar(i, m_arrBars);
        if (p == nullptr || p == pBar || !p->IsVisible())
            continue;
        const CRect r = WindowRectIn(p, this);
        const int across = IsHorz() ? r.top : r.left;
        const int start = IsHorz() ? r.left : r.top;
        const int end = IsHorz() ? r.right : r.bottom;
        if (across == nAcross && start < nDrop && end - 2 > nEnd) {
            nEnd = end - 2;
            pLast = p;
        }
    }
    if (pLast != nullptr && OXIsSizeBar(pLast) && OXIsSizeBar(pBar))
        nEnd += OX_SPLITTER_SIZE;
    return nEnd;
}

void COXSizeDockBar::DockControlBar(CControlBar* pBar, LPCRECT lpRect)
{
    // A tab in another sizable dock bar leaves that group.
    if (auto* pOld = DYNAMIC_DOWNCAST(COXSizeDockBar, pBar->m_pDockBar);
        pOld != nullptr && pOld != this && pOld->m_wndTabs.m_hWnd != nullptr &&
        pOld->m_wndTabs.FindBar(pBar) >= 0)
        pOld->m_wndTabs.RemoveBar(pBar);

    if (lpRect != nullptr && OXIsSizeBar(pBar) && m_wndTabs.m_hWnd != nullptr &&
        pBar->m_pDockBar == this) {
        const int nTab = m_wndTabs.TabFromPoint(CRect(lpRect).TopLeft(), pBar);
        const int nHas = m_wndTabs.FindBar(pBar);
        if (nTab < 0 && nHas >= 0)
            m_wndTabs.RemoveBar(pBar);
    }

    CRect rectBar;
    pBar->GetWindowRect(&rectBar);
    int nTabAt = -1;
    if (lpRect != nullptr && OXIsSizeBar(pBar) && m_wndTabs.m_hWnd != nullptr && !m_bFloating)
        nTabAt = m_wndTabs.TabFromPoint(CRect(lpRect).TopLeft(), pBar);
    if (pBar->m_pDockBar == this && (lpRect == nullptr || rectBar == *lpRect)) {
        if (nTabAt >= 0 && m_wndTabs.FindBar(pBar) < 0 &&
            (GetTabStripHeight() > 0 || CountAlignedBars(pBar) > 1))
            m_wndTabs.InsertBar(pBar, nTabAt, TRUE);
        return;
    }

    TakeBarStyle(pBar);
    const BOOL bShow = HideWhileMoving(pBar);

    int nPos = -1;
    const int b = IsHorz() ? BorderX2() : BorderY2();
    if (lpRect != nullptr) {
        CRect rect(lpRect);
        ScreenToClient(&rect);
        CPoint ptIns(rect.left - 5, rect.top);
        // Never inside a menu bar of this dock bar.
        for (int i = 1; i < m_arrBars.GetSize(); ++i) {
            CControlBar* p = GetDockedBar(i, m_arrBars);
            if (p == nullptr || p == pBar || !OXIsKindOfName(p, "COXMenuBar"))
                continue;
            const CRect r = WindowRectIn(p, this);
            if (r.PtInRect(ptIns)) {
                if (IsHorz())
                    ptIns.x = r.right + 2;
                else
                    ptIns.y = r.bottom + 2;
            }
        }
        LONG& along = IsHorz() ? ptIns.x : ptIns.y;
        if (along <= -3 && along >= -11)
            along = -2;
        CRect rectIns(ptIns, rect.Size());
        nPos = Insert(pBar, rectIns, rectIns.CenterPoint());
        const CRect rectCur = WindowRectIn(pBar, this);
        CRect rectNew;
        if (IsHorz()) {
            int x = GetRowEnd(pBar, ptIns.x, rect.top);
            if (!OXIsSizeBar(pBar)) {
                x = std::max(x, static_cast<int>(rect.left));
                CRect client;
                GetClientRect(&client);
                if (x + rect.Width() > client.right)
                    x = client.right - rect.Width();
                x = std::max(x, GetRowEnd(pBar, ptIns.x, rect.top));
            }
            rectNew = CRect(x, rectCur.top, x + rect.Width(), rectCur.top + rectCur.Height());
            if (rectCur.Height() <= 0)
                rectNew.bottom = rectNew.top + rect.Height();
        } else {
            int y = GetRowEnd(pBar, ptIns.y, rect.left);
            if (!OXIsSizeBar(pBar)) {
                y = std::max(y, static_cast<int>(rect.top));
                CRect client;
                GetClientRect(&client);
                const int bottom = client.bottom - GetTabStripHeight();
                if (y + rect.Height() > bottom)
                    y = bottom - rect.Height();
                y = std::max(y, GetRowEnd(pBar, ptIns.y, rect.left));
            }
            rectNew = CRect(rectCur.left, y, rectCur.left + rectCur.Width(), y + rect.Height());
            if (rectCur.Width() <= 0)
                rectNew.right = rectNew.left + rect.Width();
        }
        pBar->SetWindowPos(nullptr, rectNew.left, rectNew.top, rectNew.Width(), rectNew.Height(),
                           SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    } else {
        m_arrBars.Add(pBar);
        m_arrBars.Add(nullptr);
        pBar->SetWindowPos(nullptr, -b, -b, 0, 0,
                           SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOCOPYBITS);
    }

    AdoptBar(pBar, nPos, bShow);

    // Dropped onto the tab area: the bar joins (or forms) the tab group.
    if (nTabAt >= 0 && m_wndTabs.FindBar(pBar) < 0 &&
        (GetTabStripHeight() > 0 || CountAlignedBars(pBar) > 1))
        m_wndTabs.InsertBar(pBar, nTabAt, TRUE);
    else if (nTabAt >= 0 && m_wndTabs.FindBar(pBar) >= 0 && m_wndTabs.FindBar(pBar) != nTabAt)
        m_wndTabs.MoveTab(m_wndTabs.FindBar(pBar), nTabAt, CRect(lpRect).TopLeft());
    if (CFrameWnd* pFrame = GetDockingFrame())
        pFrame->DelayRecalcLayout();
}

COXSizeDockBar* COXSizeDockBar::DockBarFromPoint(CPoint ptScreen, CControlBar* pBar)
{
    auto* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, AfxGetMainWnd());
    if (pFrame == nullptr || pBar == nullptr)
        return nullptr;
    struct Side {
        UINT nID;
        DWORD dwAlign;
    };
    static constexpr Side kOrder[] = {{AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT},
                                      {AFX_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT},
                                      {AFX_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP},
                                      {AFX_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM}};
    const bool bSizeBar = OXIsSizeBar(pBar);
    const bool bCool = OXIsKindOfName(pBar, "COXCoolToolBar");
    for (int nPass = 0; nPass < 2; ++nPass) {
        for (const Side& side : kOrder) {
            auto* pDock = DYNAMIC_DOWNCAST(COXSizeDockBar, pFrame->GetControlBar(side.nID));
            if (pDock == nullptr || (pBar->m_dwDockStyle & side.dwAlign) == 0)
                continue;
            CRect rect;
            pDock->GetWindowRect(&rect);
            if (nPass == 1) {
                rect.InflateRect(20, 20);
                if (side.dwAlign & CBRS_ORIENT_VERT)
                    rect.bottom -= 28;
            }
            if (!rect.PtInRect(ptScreen))
                continue;
            if (bSizeBar && pDock->FindOtherCoolToolBar(pBar) != nullptr)
                continue;
            if (bCool && pDock->FindOtherSizeBar(pBar) != nullptr)
                continue;
            if (pDock->GetTabStripHeight() > 0) {
                CRect rd;
                pDock->GetWindowRect(&rd);
                if (ptScreen.y < rd.bottom - OX_TAB_DROP_HEIGHT || ptScreen.y >= rd.bottom)
                    continue;
            }
            return pDock;
        }
    }
    return nullptr;
}

// --- splitters ---

COXSplitterRect* COXSizeDockBar::SplitterFromPoint(CPoint pt) const
{
    for (INT_PTR i = m_arrSplitters.GetSize() - 1; i >= 0; --i) {
        auto* s = static_cast<COXSplitterRect*>(m_arrSplitters[i]);
        if (s->m_rect.PtInRect(pt))
            return s;
    }
    return nullptr;
}

void COXSizeDockBar::SetSplitterCursor(CPoint pt)
{
    if (m_hcurHorzSplit == nullptr) {
        m_hcurHorzSplit = ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(AFX_IDC_HSPLITBAR));
        if (m_hcurHorzSplit == nullptr)
            m_hcurHorzSplit = ::LoadCursor(nullptr, IDC_SIZEWE);
        m_hcurVertSplit = ::LoadCursor(AfxGetResourceHandle(), MAKEINTRESOURCE(AFX_IDC_VSPLITBAR));
        if (m_hcurVertSplit == nullptr)
            m_hcurVertSplit = ::LoadCursor(nullptr, IDC_SIZENS);
    }
    COXSplitterRect* s = SplitterFromPoint(pt);
    ::SetCursor(s == nullptr ? ::LoadCursor(nullptr, IDC_ARROW)
                : s->m_nType == 1 ? m_hcurHorzSplit
                                  : m_hcurVertSplit);
}

int COXSizeDockBar::RowStartBefore(int nIndex) const
{
    if (nIndex < 1)
        return 0;
    const int nLast = static_cast<int>(m_arrBars.GetSize()) - 1;
    int n = nIndex < nLast ? nIndex - 1 : nLast;
    while (n > 0 && m_arrBars[n - 1] != nullptr)
        --n;
    return n;
}

BOOL COXSizeDockBar::ShrinkBar(CControlBar* p, int nAmount, BOOL bApply, int* pnCount, int& nTaken)
{
    if (pnCount != nullptr)
        ++*pnCount;
    const int len = BarLength(p);
    if (nAmount < 0) { // grows instead, all at once
        if (bApply)
            SetBarLength(p, len - nAmount);
        nTaken = nAmount;
        return TRUE;
    }
    const int rest = nAmount - nTaken;
    if (len < rest) {
        nTaken += len;
        if (bApply)
            SetBarLength(p, 0);
        return FALSE;
    }
    nTaken += rest;
    if (bApply)
        SetBarLength(p, len - rest);
    return TRUE;
}

int COXSizeDockBar::ShrinkBarsBefore(int nIndex, int nAmount, BOOL bApply, int* pnCount)
{
    int nTaken = 0;
    if (pnCount != nullptr)
        *pnCount = 0;
    for (int i = nIndex; i > 0 && m_arrBars[i] != nullptr; --i) {
        CControlBar* p = GetDockedBar(i, m_arrBars);
        if (p == nullptr || !p->IsVisible() || !OXIsSizeBar(p))
            continue;
        if (ShrinkBar(p, nAmount, bApply, pnCount, nTaken))
            break;
    }
    return nTaken;
}

int COXSizeDockBar::ShrinkBarsAfter(int nIndex, int nAmount, BOOL bApply, int* pnCount)
{
    int nTaken = 0;
    if (pnCount != nullptr)
        *pnCount = 0;
    int i = nIndex;
    int nEnd = 0; // far end of the last visible bar
    bool bDone = false;
    for (; i < m_arrBars.GetSize() && m_arrBars[i] != nullptr; ++i) {
        CControlBar* p = GetDockedBar(i, m_arrBars);
        if (p == nullptr || !p->IsVisible())
            continue;
        const CRect r = WindowRectIn(p, this);
        nEnd = IsHorz() ? r.right : r.bottom;
        if (!OXIsSizeBar(p))
            continue;
        if (ShrinkBar(p, nAmount, bApply, pnCount, nTaken)) {
            bDone = true;
            break;
        }
    }
    if (!bDone && nTaken < nAmount) {
        // The free room after the row's last bar.
        const int nLayout = std::max(0, IsHorz() ? m_nLastCx : m_nLastCy);
        const int nFree = std::max(0, nLayout - nEnd);
        nTaken += std::min(nFree, nAmount - nTaken);
    }
    return nTaken;
}

void COXSizeDockBar::TrackSplitter(CPoint pt)
{
    COXSplitterRect* s = m_pTrackSplitter;
    if (s == nullptr)
        return;
    const bool bHorzDock = IsHorz() != FALSE;
    const bool bRow = (s->m_nType == 1 && !bHorzDock) || (s->m_nType == 2 && bHorzDock);
    const int nIndex = s->m_nBarIndex;
    CFrameWnd* pFrame = GetParentFrame();
    if (pFrame == nullptr)
        return;

    COXRectTracker tracker;
    CRect rect = s->m_rect;
    if (s->m_nType == 1)
        rect.DeflateRect(2, 0);
    else
        rect.DeflateRect(0, 2);
    rect.IntersectRect(&rect, CRect(0, 0, std::max(0, m_nLastCx), std::max(0, m_nLastCy) +
                                                                       GetTabStripHeight()));
    if (rect.IsRectEmpty()) {
        rect = s->m_rect;
        if (s->m_nType == 1)
            rect.DeflateRect(2, 0);
        else
            rect.DeflateRect(0, 2);
    }
    tracker.m_rect = rect;
    tracker.m_nStyle |= s->m_nType == 1 ? OX_TRACK_HORZ_ONLY : OX_TRACK_VERT_ONLY;
    CRect limit;
    pFrame->GetClientRect(&limit);
    pFrame->ClientToScreen(&limit);
    ScreenToClient(&limit);

    const DWORD dwSide = m_dwStyle & CBRS_ALIGN_ANY;
    OXROWINFO info;
    int nRowStart = 0;
    int nBefore = 0, nAfter = 0;
    if (bRow) {
        nRowStart = (dwSide & (CBRS_ALIGN_LEFT | CBRS_ALIGN_TOP)) ? RowStartBefore(nIndex)
                                                                   : RowStartOf(nIndex);
        if (!(dwSide & (CBRS_ALIGN_LEFT | CBRS_ALIGN_TOP)) && m_arrBars[nIndex] == nullptr)
            nRowStart = nIndex + 1;
        GetRowInfo(nRowStart, info, m_arrBars);
        const int T = info.nMaxThickness, F = info.nMaxOtherThickness;
        switch (dwSide) {
        case CBRS_ALIGN_LEFT:
            limit.left = std::max<LONG>(limit.left, rect.left - T + F);
            limit.left = std::max<LONG>(limit.left, rect.left - T + info.nMaxMinTrackWidth);
            break;
        case CBRS_ALIGN_TOP:
            limit.top = std::max<LONG>(limit.top, rect.top - T + F);
            limit.top = std::max<LONG>(limit.top, rect.top - T + info.nMaxMinTrackHeight);
            break;
        case CBRS_ALIGN_RIGHT:
            limit.right = std::min<LONG>(limit.right, rect.left + T - F);
            limit.right = std::min<LONG>(limit.right, rect.left + T - info.nMaxMinTrackWidth);
            break;
        default:
            limit.bottom = std::min<LONG>(limit.bottom, rect.top + T - F);
            limit.bottom = std::min<LONG>(limit.bottom, rect.top + T - info.nMaxMinTrackHeight);
            break;
        }
    } else {
        int nCountAfter = 0, nCountBefore = 0;
        nAfter = ShrinkBarsAfter(nIndex, 16000, FALSE, &nCountAfter);
        nBefore = ShrinkBarsBefore(nIndex - 1, 16000, FALSE, &nCountBefore);
        if (nCountAfter + nCountBefore <= 1)
            nAfter = nBefore = 0;
        if (s->m_nType == 1) {
            limit.left = std::max<LONG>(limit.left, rect.left - nBefore);
            limit.right = std::min<LONG>(limit.right, rect.left + nAfter);
        } else {
            limit.top = std::max<LONG>(limit.top, rect.top - nBefore);
            limit.bottom = std::min<LONG>(limit.bottom, rect.top + nAfter);
        }
    }
    // The moving line's top edge stops 10 pixels above the limit's bottom: a splitter that
    // moves vertically gets those 10 pixels back, so it reaches the whole amount.
    if (s->m_nType == 2)
        limit.bottom += 10;
    tracker.m_rectLimit = limit;
    const CRect rectStart = tracker.m_rect;
    if (!tracker.TrackFromHitTest(HTNOWHERE, this, pt, pFrame, FALSE))
        return;
    const int d = s->m_nType == 1 ? tracker.m_rect.left - rectStart.left
                                  : tracker.m_rect.top - rectStart.top;
    if (d == 0)
        return;

    if (bRow) {
        const int T = info.nMaxThickness, F = info.nMaxOtherThickness;
        int nNew = (dwSide & (CBRS_ALIGN_LEFT | CBRS_ALIGN_TOP)) ? T + d : T - d;
        nNew = std::max(nNew, F);
        for (int i = std::max(nRowStart, 1); i < m_arrBars.GetSize() && m_arrBars[i] != nullptr; ++i) {
            CControlBar* p = GetDockedBar(i, m_arrBars);
            if (p == nullptr || !p->IsVisible() || !OXIsSizeBar(p))
                continue;
            auto* sb = static_cast<COXSizeControlBar*>(p);
            if (bHorzDock)
                sb->m_sizeHorzDock.cy = nNew;
            else
                sb->m_sizeVertDock.cx = nNew;
        }
    } else if (d < 0) {
        const int nGiven = ShrinkBarsBefore(nIndex - 1, -d, TRUE, nullptr);
        ShrinkBarsAfter(nIndex, -nGiven, TRUE, nullptr);
    } else {
        const int nGiven = ShrinkBarsAfter(nIndex, d, TRUE, nullptr);
        ShrinkBarsBefore(nIndex - 1, -nGiven, TRUE, nullptr);
    }
    Invalidate();
    pFrame->RecalcLayout();
}

// --- messages ---

void COXSizeDockBar::OnPaint()
{
    CPaintDC dc(this);
    COXDockbarSkin* pSkin = GetDockbarSkin();
    for (INT_PTR i = m_arrSplitters.GetSize() - 1; i >= 0; --i)
        pSkin->DrawSplitter(&dc, static_cast<COXSplitterRect*>(m_arrSplitters[i]), this);
}

void COXSizeDockBar::OnMouseMove(UINT, CPoint point)
{
    SetSplitterCursor(point);
    Default();
}

void COXSizeDockBar::OnLButtonDown(UINT, CPoint point)
{
    if (m_pTrackSplitter != nullptr)
        return;
    m_pTrackSplitter = SplitterFromPoint(point);
    if (m_pTrackSplitter == nullptr)
        return;
    SetSplitterCursor(point);
    TrackSplitter(point);
    m_pTrackSplitter = nullptr;
}

void COXSizeDockBar::OnLButtonUp(UINT, CPoint)
{
    Default();
}

BOOL COXSizeDockBar::OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT)
{
    if (nHitTest == HTCLIENT && pWnd == this)
        return TRUE;
    return static_cast<BOOL>(Default());
}

void COXSizeDockBar::OnNcPaint()
{
    Default();
    GetDockbarSkin()->DrawDockBarNonClient(this);
}

int COXSizeDockBar::OnCreate(LPCREATESTRUCT lpcs)
{
    if (CControlBar::OnCreate(lpcs) == -1)
        return -1;
    if (!m_wndTabs.Create(WS_CHILD | WS_VISIBLE | TCS_FOCUSNEVER | TCS_BOTTOM, CRect(), this, 3000))
        return -1;
    return 0;
}

void COXSizeDockBar::OnSize(UINT, int, int)
{
    Default();
    PositionTabs();
}

void COXSizeDockBar::OnTabSelChange(NMHDR*, LRESULT* pResult)
{
    // The tab strip's own selection change, which reaches its parent first.
    m_wndTabs.ActivateSelected();
    *pResult = 0;
}

BOOL COXSizeDockBar::OnEraseBkgnd(CDC* pDC)
{
    GetDockbarSkin()->EraseDockBarBackground(pDC, this);
    return FALSE;
}
