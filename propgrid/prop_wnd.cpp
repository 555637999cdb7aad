// EPropWnd: the active property, commits, command routing and scrolling; EPropWndEdit.
#include "propgrid/prop_wnd.h"

#include <algorithm>

#include "propgrid/comment_pane.h"
#include "propgrid/property.h"

IMPLEMENT_DYNCREATE(EPropWnd, CWnd)

BEGIN_MESSAGE_MAP(EPropWnd, CWnd)
ON_WM_SIZE()
ON_WM_HSCROLL()
ON_WM_VSCROLL()
ON_WM_MOUSEWHEEL()
ON_EN_KILLFOCUS(EPropWnd::kFirstCommand, OnEditKillFocus)
END_MESSAGE_MAP()

EPropWnd::EPropWnd()
    : m_clrHighlight(::GetSysColor(COLOR_BTNHIGHLIGHT)), m_clrFace(::GetSysColor(COLOR_BTNFACE)),
      m_clrShadow(::GetSysColor(COLOR_BTNSHADOW))
{
    m_penHighlight.CreatePen(PS_SOLID, 1, m_clrHighlight);
    m_penShadow.CreatePen(PS_SOLID, 1, m_clrShadow);
    m_font.CreateStockObject(DEFAULT_GUI_FONT);
}

COLORREF EPropWnd::GetActiveFaceColor() const
{
    return DarkenColor(m_clrFace, 32);
}

void EPropWnd::InvalidateCommentPane()
{
    if (m_pCommentPane != nullptr && m_pCommentPane->m_hWnd != nullptr)
        m_pCommentPane->Invalidate(FALSE);
}

bool EPropWnd::Select(EProperty* p, bool bCommit, bool bValidate)
{
    if (p == m_pActive)
        return true;
    if (m_pActive != nullptr && bCommit) {
        if (bValidate && !m_pActive->ValidateEditText()) {
            ::MessageBeep(MB_ICONASTERISK);
            return false;
        }
        CommitSelected();
    }
    CloseActiveEditor();
    m_pActive = p;
    if (p != nullptr) {
        p->OpenEditor(this);
        EnsureVisible(p);
    }
    Invalidate(FALSE);
    InvalidateCommentPane();
    return true;
}

void EPropWnd::CommitSelected()
{
    if (m_pActive == nullptr || !m_pActive->IsEnabled())
        return;
    if (m_pActive->CommitEditText()) {
        if (IPropertyHost* parent = m_pActive->GetParentHost())
            parent->OnPropertyChange(m_pActive->GetPropertyAddress(), nullptr);
        NotifyListener();
    }
    Invalidate(FALSE);
}

void EPropWnd::CloseActiveEditor()
{
    if (m_pActive == nullptr)
        return;
    DisarmKillFocus();
    EProperty* p = m_pActive;
    m_pActive = nullptr;
    p->CloseEditor();
    m_bCommitOnKillFocus = true;
    m_bCloseOnKillFocus = true;
}

void EPropWnd::NotifyListener()
{
    if (m_pListener != nullptr)
        m_pListener->OnPropertyChanged();
}

void EPropWnd::OnEditKillFocus()
{
    if (m_bCommitOnKillFocus)
        CommitSelected();
    if (m_bCloseOnKillFocus) {
        CloseActiveEditor();
        Invalidate(FALSE);
        InvalidateCommentPane();
    }
    m_bCommitOnKillFocus = true;
    m_bCloseOnKillFocus = true;
}

BOOL EPropWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    int first = 0, last = 0;
    GetCommandRange(first, last);
    int id = LOWORD(wParam);
    if (HIWORD(wParam) != 0 || id < first || id > last)
        return CWnd::OnCommand(wParam, lParam);
    if (id >= first + 80) {
        if (m_pContextMenuProperty != nullptr)
            m_pContextMenuProperty->OnContextMenuCommand(id - first - 80);
    } else if (m_pActive != nullptr) {
        if (m_pActive->OnCommand(this, wParam, lParam))
            NotifyListener();
    }
    Invalidate(FALSE);
    return TRUE;
}

void EPropWnd::OnSize(UINT nType, int cx, int cy)
{
    CWnd::OnSize(nType, cx, cy);
    UpdateScrollBars();
}

void EPropWnd::UpdateScrollBars()
{
    if (m_hWnd == nullptr)
        return;
    CSize content = GetContentSize();
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
    if (content.cx == 0 && content.cy == 0) {
        SetScrollInfo(SB_HORZ, &si);
        SetScrollInfo(SB_VERT, &si);
        ShowScrollBar(SB_BOTH, FALSE);
        return;
    }
    CRect wr;
    GetWindowRect(&wr);
    int w = wr.Width(), h = wr.Height();
    bool horz = w < content.cx;
    if (horz)
        h -= ::GetSystemMetrics(SM_CYHSCROLL);
    bool vert = h < content.cy;
    if (vert) {
        w -= ::GetSystemMetrics(SM_CXVSCROLL);
        if (!horz && w < content.cx) {
            horz = true;
            h -= ::GetSystemMetrics(SM_CYHSCROLL);
        }
    }
    auto apply = [this](int bar, bool needed, int extent, int page) {
        SCROLLINFO info{};
        info.cbSize = sizeof(info);
        info.fMask = SIF_RANGE | SIF_PAGE | SIF_POS;
        if (needed) {
            info.nMax = extent - 1;
            info.nPage = static_cast<UINT>(std::max(page, 0));
            info.nPos = GetScrollPos(bar);
        }
        SetScrollInfo(bar, &info);
        ShowScrollBar(bar, needed);
    };
    apply(SB_HORZ, horz, content.cx, w);
    apply(SB_VERT, vert, content.cy, h);
}

void EPropWnd::SetScrollPosition(int nBar, int nPos)
{
    SetScrollPos(nBar, nPos, TRUE);
    Invalidate(FALSE);
}

void EPropWnd::OnHScroll(UINT nSBCode, UINT nPos, CScrollBar*)
{
    int pos = GetScrollPos(SB_HORZ);
    switch (nSBCode) {
    case SB_LINELEFT: pos -= 5; break;
    case SB_LINERIGHT: pos += 5; break;
    case SB_PAGELEFT: pos -= 20; break;
    case SB_PAGERIGHT: pos += 20; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: pos = static_cast<int>(nPos); break;
    default: return;
    }
    if (pos < 0)
        return;
    SetScrollPosition(SB_HORZ, pos);
}

void EPropWnd::OnVScroll(UINT nSBCode, UINT nPos, CScrollBar*)
{
    int pos = GetScrollPos(SB_VERT);
    switch (nSBCode) {
    case SB_LINEUP: pos -= 8; break;
    case SB_LINEDOWN: pos += 8; break;
    case SB_PAGEUP: pos -= 24; break;
    case SB_PAGEDOWN: pos += 24; break;
    case SB_THUMBPOSITION:
    case SB_THUMBTRACK: pos = static_cast<int>(nPos); break;
    case SB_ENDSCROLL: return;
    default: break;
    }
    SetScrollPosition(SB_VERT, pos);
}

BOOL EPropWnd::OnMouseWheel(UINT nFlags, short zDelta, CPoint pt)
{
    OnVScroll(zDelta > 0 ? SB_LINEUP : SB_LINEDOWN, 0, nullptr);
    return static_cast<BOOL>(Default());
}

void EPropWnd::EnsureVisible(const CRect& rc)
{
    CRect client;
    GetClientRect(&client);
    int top = GetScrollPos(SB_VERT);
    int h = client.Height();
    int pos = top;
    bool found = false;
    if (rc.bottom > top + h) {
        pos = rc.bottom - h;
        found = true;
    }
    if (rc.top < pos) {
        pos = rc.top;
        found = true;
    }
    if (found)
        SetScrollPosition(SB_VERT, pos);
}

void EPropWnd::EnsureVisible(EProperty* p)
{
    if (p != nullptr)
        EnsureVisible(p->GetValueRect());
}

void EPropWnd::Draw3DFrame(CDC* pDC, const CRect& rc, bool bRaised, COLORREF fill)
{
    CPen* first = bRaised ? &m_penHighlight : &m_penShadow;
    CPen* second = bRaised ? &m_penShadow : &m_penHighlight;
    CPen* old = pDC->SelectObject(first);
    pDC->MoveTo(rc.left, rc.bottom - 1);
    pDC->LineTo(rc.left, rc.top);
    pDC->LineTo(rc.right - 1, rc.top);
    pDC->SelectObject(second);
    pDC->LineTo(rc.right - 1, rc.bottom - 1);
    pDC->LineTo(rc.left, rc.bottom - 1);
    pDC->SelectObject(old);
    if (fill != static_cast<COLORREF>(-1)) {
        CRect inner = rc;
        inner.DeflateRect(m_nBorder, m_nBorder);
        pDC->FillSolidRect(&inner, fill);
    }
}

BEGIN_MESSAGE_MAP(EPropWndEdit, CEdit)
ON_WM_KILLFOCUS()
END_MESSAGE_MAP()

void EPropWndEdit::OnKillFocus(CWnd* pNewWnd)
{
    int first = EPropWnd::kFirstCommand, last = 0;
    auto* parent = dynamic_cast<EPropWnd*>(CWnd::FromHandlePermanent(::GetParent(m_hWnd)));
    if (parent != nullptr)
        parent->GetCommandRange(first, last);
    // Losing the focus to the row's own button neither commits nor closes the editor.
    if (parent != nullptr && pNewWnd != nullptr && pNewWnd->GetDlgCtrlID() == first + 1 &&
        ::GetParent(pNewWnd->m_hWnd) == parent->m_hWnd)
        parent->DisarmKillFocus();
    CEdit::OnKillFocus(pNewWnd);
}
