// CStatusBar: pane records over the common-controls status window.
#include "framework/statusbar.h"

#include <algorithm>

#include "framework/frame.h"

IMPLEMENT_DYNAMIC(CStatusBar, CControlBar)

namespace {
// Room beside a pane's text inside its borders.
constexpr int kPaneMargin = 6;
} // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CStatusBar, CControlBar)
    ON_WM_PAINT()
    ON_WM_SIZE()
    ON_MESSAGE(WM_NCHITTEST, OnNcHitTest)
    ON_MESSAGE(WM_SETFONT, OnSetFont)
    ON_MESSAGE(SB_SETMINHEIGHT, OnSetMinHeight)
    ON_MESSAGE(WM_GETTEXT, OnGetText)
    ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
    ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()
// clang-format on

CStatusBar::CStatusBar()
{
    // The control draws its own edges; the bar keeps no gaps of its own.
    m_cxLeftBorder = m_cxRightBorder = 0;
    m_cyTopBorder = m_cyBottomBorder = 0;
}

CStatusBar::~CStatusBar()
{
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
}

BOOL CStatusBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle, nID);
}

BOOL CStatusBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, UINT nID)
{
    ::InitCommonControls();
    // The bar style lives in m_dwStyle; the window keeps the WS_* bits and the control's.
    m_dwStyle = dwStyle & CBRS_ALL;
    DWORD dwWndStyle = (dwStyle & ~CBRS_ALL) | dwCtrlStyle | CCS_NOPARENTALIGN |
                       CCS_NOMOVEY | CCS_NODIVIDER | CCS_NORESIZE;
    if (pParentWnd != nullptr && (pParentWnd->GetStyle() & WS_THICKFRAME) != 0)
        dwWndStyle |= SBARS_SIZEGRIP;
    CRect rect(0, 0, 0, 0);
    if (!CWnd::Create(STATUSCLASSNAME, nullptr, dwWndStyle, rect, pParentWnd, nID))
        return FALSE;
    if (m_dwStyle & CBRS_TOOLTIPS)
        EnableToolTips(TRUE);
    return TRUE;
}

void CStatusBar::OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle)
{
    if (m_hWnd != nullptr && ((dwOldStyle ^ dwNewStyle) & CBRS_TOOLTIPS))
        EnableToolTips((dwNewStyle & CBRS_TOOLTIPS) != 0);
}

HFONT CStatusBar::GetBarFont() const
{
    HFONT hFont = m_hWnd != nullptr ? reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)) : nullptr;
    return hFont != nullptr ? hFont : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
}

BOOL CStatusBar::SetIndicators(const UINT* lpIDArray, int nIDCount)
{
    ASSERT(nIDCount >= 0 && (nIDCount == 0 || lpIDArray != nullptr));
    if (nIDCount < 0 || (nIDCount > 0 && lpIDArray == nullptr))
        return FALSE;
    m_panes.assign(static_cast<size_t>(nIDCount), AFX_STATUSPANE{});
    HDC hDC = ::GetDC(nullptr);
    HGDIOBJ hOld = ::SelectObject(hDC, GetBarFont());
    BOOL bOk = TRUE;
    for (int i = 0; i < nIDCount; ++i) {
        AFX_STATUSPANE& pane = m_panes[static_cast<size_t>(i)];
        pane.nID = lpIDArray[i];
        pane.nFlags = SBPF_UPDATE;
        if (pane.nID == 0) {
            if (i == 0) // the message pane
                pane.nStyle = SBPS_NOBORDERS | SBPS_STRETCH;
            continue;
        }
        if (!pane.strText.LoadString(pane.nID))
            bOk = FALSE; // the pane stays, with no text
        SIZE size{};
        ::GetTextExtentPoint32(hDC, pane.strText, pane.strText.GetLength(), &size);
        pane.cxText = size.cx;
    }
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(nullptr, hDC);
    if (m_hWnd != nullptr)
        UpdateAllPanes(TRUE, TRUE);
    return bOk;
}

AFX_STATUSPANE* CStatusBar::_GetPanePtr(int nIndex) const
{
    ASSERT(nIndex >= 0 && nIndex < GetCount());
    if (nIndex < 0 || nIndex >= GetCount())
        return nullptr;
    return const_cast<AFX_STATUSPANE*>(&m_panes[static_cast<size_t>(nIndex)]);
}

int CStatusBar::CommandToIndex(UINT nIDFind) const
{
    for (int i = 0; i < GetCount(); ++i)
        if (m_panes[static_cast<size_t>(i)].nID == nIDFind)
            return i;
    return -1;
}

UINT CStatusBar::GetItemID(int nIndex) const
{
    AFX_STATUSPANE* p = _GetPanePtr(nIndex);
    return p != nullptr ? p->nID : 0;
}

void CStatusBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    *lpRect = RECT{};
    if (m_hWnd != nullptr)
        SendMessage(SB_GETRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect));
}

CString CStatusBar::GetPaneText(int nIndex) const
{
    AFX_STATUSPANE* p = _GetPanePtr(nIndex);
    return p != nullptr ? p->strText : CString();
}

BOOL CStatusBar::SetPaneText(int nIndex, LPCTSTR lpszNewText, BOOL bUpdate)
{
    AFX_STATUSPANE* p = _GetPanePtr(nIndex);
    if (p == nullptr)
        return FALSE;
    CString text(lpszNewText != nullptr ? lpszNewText : "");
    if ((p->nFlags & SBPF_UPDATE) == 0 && p->strText == text)
        return TRUE;
    p->strText = text;
    p->nFlags |= SBPF_UPDATE;
    if (bUpdate && m_hWnd != nullptr) {
        CRect rect;
        GetItemRect(nIndex, &rect);
        InvalidateRect(&rect, FALSE);
    }
    return TRUE;
}

void CStatusBar::GetPaneInfo(int nIndex, UINT& nID, UINT& nStyle, int& cxWidth) const
{
    AFX_STATUSPANE* p = _GetPanePtr(nIndex);
    nID = p != nullptr ? p->nID : 0;
    nStyle = p != nullptr ? p->nStyle : 0;
    cxWidth = p != nullptr ? p->cxText : 0;
}

void CStatusBar::SetPaneInfo(int nIndex, UINT nID, UINT nStyle, int cxWidth)
{
    AFX_STATUSPANE* p = _GetPanePtr(nIndex);
    if (p == nullptr)
        return;
    bool bResize = p->cxText != cxWidth || ((p->nStyle ^ nStyle) & SBPS_STRETCH) != 0;
    p->nID = nID;
    p->cxText = cxWidth;
    SetPaneStyle(nIndex, nStyle);
    if (bResize && m_hWnd != nullptr)
        UpdateAllPanes(TRUE, FALSE);
}

UINT CStatusBar::GetPaneStyle(int nIndex) const
{
    AFX_STATUSPANE* p = _GetPanePtr(nIndex);
    return p != nullptr ? p->nStyle : 0;
}

void CStatusBar::SetPaneStyle(int nIndex, UINT nStyle)
{
    AFX_STATUSPANE* p = _GetPanePtr(nIndex);
    if (p == nullptr || p->nStyle == nStyle)
        return;
    p->nStyle = nStyle;
    p->nFlags |= SBPF_UPDATE;
    if (m_hWnd != nullptr) {
        CRect rect;
        GetItemRect(nIndex, &rect);
        InvalidateRect(&rect, FALSE);
    }
}

void CStatusBar::GetBorders(int borders[3]) const
{
    borders[0] = borders[1] = borders[2] = 0;
    if (m_hWnd != nullptr)
        SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(borders));
}

void CStatusBar::UpdateAllPanes(BOOL bUpdateRects, BOOL bUpdateText)
{
    ASSERT(::IsWindow(m_hWnd));
    if (m_hWnd == nullptr)
        return;
    if (bUpdateRects && !m_panes.empty()) {
        CRect rect;
        GetWindowRect(&rect);
        rect.OffsetRect(-rect.left, -rect.top);
        CalcInsideRect(rect, TRUE);
        int b[3];
        GetBorders(b);
        int spare = rect.Width() + b[2];
        int stretchers = 0;
        for (const AFX_STATUSPANE& p : m_panes) {
            spare -= p.cxText + b[2] + kPaneMargin;
            stretchers += (p.nStyle & SBPS_STRETCH) != 0;
        }
        std::vector<int> rights;
        int right = b[0];
        for (const AFX_STATUSPANE& p : m_panes) {
            right += p.cxText + kPaneMargin;
            if ((p.nStyle & SBPS_STRETCH) != 0 && spare > 0 && stretchers > 0) {
                int share = spare / stretchers--;
                right += share;
                spare -= share;
            }
            rights.push_back(right);
            right += b[2];
        }
        SendMessage(SB_SETPARTS, rights.size(), reinterpret_cast<LPARAM>(rights.data()));
    }
    if (bUpdateText)
        for (int i = 0; i < GetCount(); ++i)
            if (m_panes[static_cast<size_t>(i)].nFlags & SBPF_UPDATE)
                SendPaneText(i);
}

void CStatusBar::SendPaneText(int nIndex)
{
    AFX_STATUSPANE& p = m_panes[static_cast<size_t>(nIndex)];
    const UINT drawBits = p.nStyle & (SBT_NOBORDERS | SBT_POPOUT | SBT_OWNERDRAW);
    // A disabled pane shows no text; an owner-drawn one gets its index as item data.
    LPARAM lParam = reinterpret_cast<LPARAM>((p.nStyle & SBPS_DISABLED) ? "" : p.strText.GetString());
    if (drawBits & SBT_OWNERDRAW)
        lParam = nIndex;
    if (SendMessage(SB_SETTEXT, static_cast<WPARAM>(nIndex) | drawBits, lParam))
        p.nFlags &= ~SBPF_UPDATE;
}

CSize CStatusBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    TEXTMETRIC tm{};
    HDC hDC = ::GetDC(nullptr);
    HGDIOBJ hOld = ::SelectObject(hDC, GetBarFont());
    ::GetTextMetrics(hDC, &tm);
    ::SelectObject(hDC, hOld);
    ::ReleaseDC(nullptr, hDC);
    int b[3];
    GetBorders(b);
    CRect inside(0, 0, 0, 0);
    CalcInsideRect(inside, bHorz);
    int cy = tm.tmHeight + 2 * b[1] + 4 - inside.Height();
    cy = std::max(cy, m_nMinHeight - inside.Height());
    return CSize(bStretch ? 32767 : 0, cy);
}

void CStatusBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL)
{
    CStatusCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(GetCount());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = m_panes[state.m_nIndex].nID;
        if (state.m_nID == 0)
            continue;
        state.m_bEnableChanged = FALSE;
        state.DoUpdate(pTarget, FALSE); // a pane without a handler keeps its state
        // The key indicators show their key's toggle state unless a handler decided.
        int vk = KeyOfIndicator(state.m_nID);
        if (vk != 0 && !state.m_bEnableChanged)
            state.Enable((::GetKeyState(vk) & 1) != 0);
    }
}

int CStatusBar::KeyOfIndicator(UINT nID)
{
    switch (nID) {
    case ID_INDICATOR_CAPS:
        return VK_CAPITAL;
    case ID_INDICATOR_NUM:
        return VK_NUMLOCK;
    case ID_INDICATOR_SCRL:
        return VK_SCROLL;
    default:
        return 0;
    }
}

void CStatusBar::DrawItem(LPDRAWITEMSTRUCT) {}

BOOL CStatusBar::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message == WM_DRAWITEM) {
        DrawItem(reinterpret_cast<LPDRAWITEMSTRUCT>(lParam));
        if (pResult != nullptr)
            *pResult = TRUE;
        return TRUE;
    }
    return CControlBar::OnChildNotify(message, wParam, lParam, pResult);
}

void CStatusBar::OnPaint()
{
    UpdateAllPanes(FALSE, TRUE);
    Default(); // the control paints the panes
}

LRESULT CStatusBar::OnNcHitTest(WPARAM, LPARAM)
{
    // The size grip sizes the frame, not the bar.
    LRESULT hit = Default();
    if (hit == HTBOTTOMRIGHT) {
        CFrameWnd* pFrame = GetParentFrame();
        if (pFrame != nullptr && (pFrame->GetStyle() & WS_MAXIMIZE) == 0)
            return HTBOTTOMRIGHT;
        return HTCLIENT;
    }
    return hit;
}

void CStatusBar::OnSize(UINT, int, int)
{
    Default();
    if (!m_panes.empty())
        UpdateAllPanes(TRUE, FALSE);
}

LRESULT CStatusBar::OnSetFont(WPARAM, LPARAM)
{
    LRESULT r = Default();
    if (!m_panes.empty())
        UpdateAllPanes(TRUE, FALSE);
    return r;
}

LRESULT CStatusBar::OnSetMinHeight(WPARAM wParam, LPARAM)
{
    LRESULT r = Default();
    m_nMinHeight = static_cast<int>(wParam);
    return r;
}

// The bar's window text is the first pane's text.
LRESULT CStatusBar::OnGetText(WPARAM wParam, LPARAM lParam)
{
    if (m_panes.empty() || wParam == 0 || lParam == 0)
        return 0;
    const CString& s = m_panes[0].strText;
    int n = std::min<int>(s.GetLength(), static_cast<int>(wParam) - 1);
    memcpy(reinterpret_cast<char*>(lParam), s.GetString(), static_cast<size_t>(n));
    reinterpret_cast<char*>(lParam)[n] = 0;
    return n;
}

LRESULT CStatusBar::OnGetTextLength(WPARAM, LPARAM)
{
    return m_panes.empty() ? 0 : m_panes[0].strText.GetLength();
}

LRESULT CStatusBar::OnSetText(WPARAM, LPARAM lParam)
{
    if (m_panes.empty())
        return FALSE;
    return SetPaneText(0, reinterpret_cast<LPCTSTR>(lParam));
}

// --- CStatusCmdUI ---

namespace {
CStatusBar* Bar(CCmdUI* pCmdUI)
{
    return static_cast<CStatusBar*>(pCmdUI->m_pOther);
}
} // namespace

void CStatusCmdUI::Enable(BOOL bOn)
{
    m_bEnableChanged = TRUE;
    CStatusBar* pBar = Bar(this);
    UINT nStyle = pBar->GetPaneStyle(static_cast<int>(m_nIndex)) & ~SBPS_DISABLED;
    pBar->SetPaneStyle(static_cast<int>(m_nIndex), bOn ? nStyle : nStyle | SBPS_DISABLED);
}

void CStatusCmdUI::SetCheck(int nCheck)
{
    CStatusBar* pBar = Bar(this);
    UINT nStyle = pBar->GetPaneStyle(static_cast<int>(m_nIndex)) & ~SBPS_POPOUT;
    pBar->SetPaneStyle(static_cast<int>(m_nIndex), nCheck != 0 ? nStyle | SBPS_POPOUT : nStyle);
}

void CStatusCmdUI::SetText(LPCTSTR lpszText)
{
    Bar(this)->SetPaneText(static_cast<int>(m_nIndex), lpszText);
}
