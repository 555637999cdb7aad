// EPropCtrl: creation, layout, tabs and the comment band.
#include "propgrid/prop_ctrl.h"

IMPLEMENT_DYNCREATE(EPropCtrlBase, CWnd)
IMPLEMENT_DYNCREATE(EPropCtrl, EPropCtrlBase)

BEGIN_MESSAGE_MAP(EPropCtrl, EPropCtrlBase)
ON_WM_SIZE()
ON_WM_PAINT()
ON_WM_LBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_NOTIFY(TCN_SELCHANGING, EPropCtrl::kTabId, OnTabChanging)
ON_NOTIFY(TCN_SELCHANGE, EPropCtrl::kTabId, OnTabChange)
END_MESSAGE_MAP()

EPropCtrl::EPropCtrl()
{
    m_commentPane.SetListWnd(&m_listWnd);
    m_commentPane.SetCommentHost(&m_listWnd);
    m_listWnd.SetCommentPane(&m_commentPane);
}

BOOL EPropCtrl::Create(CWnd* pParent, UINT nID, const CRect& rect, IPropCtrlListener* pListener)
{
    auto name = [](CObject* p) { return p->GetRuntimeClass()->m_lpszClassName; };
    if (!CWnd::Create(nullptr, name(this), WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, rect,
                      pParent, nID))
        return FALSE;
    int w = rect.Width(), h = rect.Height();
    int listHeight = h - m_nTabHeight - m_nCommentHeight;
    m_listWnd.Create(nullptr, name(&m_listWnd), WS_CHILD | WS_VISIBLE,
                     CRect(0, 0, w, listHeight), this, kListId);
    m_commentPane.Create(nullptr, name(&m_commentPane), WS_CHILD | WS_VISIBLE,
                         CRect(0, listHeight, w, listHeight + m_nCommentHeight), this,
                         kCommentId);
    // A click on a tab must not take the focus: the edit box would commit and close on losing
    // it before the strip asks whether it may change pages, so invalid text could not hold.
    m_tabCtrl.Create(WS_CHILD | WS_VISIBLE | TCS_BOTTOM | TCS_FOCUSNEVER,
                     CRect(0, h - m_nTabHeight, w, h), this, kTabId);
    m_tabCtrl.SetFont(m_listWnd.GetFont());
    m_listWnd.SetListener(pListener);
    return TRUE;
}

CRect EPropCtrl::RectInParent()
{
    CRect rc;
    GetWindowRect(&rc);
    if (CWnd* parent = GetParent())
        parent->ScreenToClient(&rc);
    return rc;
}

void EPropCtrl::SetPropertyHost(IPropertyHost* pHost)
{
    m_listWnd.SetPropertyHost(pHost);
    RebuildTabs();
}

void EPropCtrl::ShowComment(bool bShow)
{
    m_bCommentVisible = bShow;
    RecalcLayout(RectInParent());
}

void EPropCtrl::SetCommentHeight(int nHeight)
{
    if (nHeight == m_nCommentHeight)
        return;
    m_nCommentHeight = nHeight;
    CRect client;
    GetClientRect(&client);
    RecalcLayout(client);
}

void EPropCtrl::RecalcLayout(const CRect& rc)
{
    if (m_tabCtrl.m_hWnd == nullptr)
        return;
    int W = rc.Width(), H = rc.Height();
    bool explicitPages = m_listWnd.GetList().ArePagesExplicit();
    int t = explicitPages ? m_nTabHeight : 0;
    int c = m_bCommentVisible ? m_nCommentHeight : 0;
    int b = m_bCommentVisible ? 8 : 0;
    int l = H - b - c - t;
    m_tabCtrl.ShowWindow(explicitPages ? SW_SHOW : SW_HIDE);
    m_commentPane.ShowWindow(c > 0 ? SW_SHOW : SW_HIDE);
    m_listWnd.MoveWindow(0, 0, W, l, TRUE);
    m_tabCtrl.MoveWindow(0, l, W, t, TRUE);
    m_rcSplitter = CRect(0, l + t, W, l + t + b);
    m_commentPane.MoveWindow(0, l + t + b, W, c, TRUE);
    Invalidate();
}

void EPropCtrl::RebuildTabs()
{
    m_tabCtrl.DeleteAllItems();
    EPropList& list = m_listWnd.GetList();
    if (m_listWnd.GetPropertyHost() != nullptr && list.ArePagesExplicit()) {
        for (int i = 0; i < list.GetPageCount(); ++i) {
            EPropListPage* page = list.GetPage(i);
            if (page->GetData() != -1)
                m_tabCtrl.InsertItem(TCIF_TEXT | TCIF_IMAGE, i, page->GetName(), page->GetData(),
                                     0);
            else
                m_tabCtrl.InsertItem(TCIF_TEXT, i, page->GetName(), 0, 0);
        }
        m_tabCtrl.SetCurSel(list.GetCurrentPageIndex());
    }
    RecalcLayout(RectInParent());
}

void EPropCtrl::OnSize(UINT, int cx, int cy)
{
    if (m_tabCtrl.m_hWnd != nullptr)
        RecalcLayout(CRect(0, 0, cx, cy));
}

void EPropCtrl::OnPaint()
{
    CPaintDC dc(this);
    if (!m_rcSplitter.IsRectEmpty())
        m_listWnd.Draw3DFrame(&dc, m_rcSplitter, true, m_listWnd.GetFaceColor());
}

void EPropCtrl::OnLButtonDown(UINT, CPoint point)
{
    if (!m_rcSplitter.PtInRect(point))
        return;
    SetCapture();
    ::SetCursor(::LoadCursor(nullptr, IDC_SIZENS));
}

void EPropCtrl::OnMouseMove(UINT nFlags, CPoint point)
{
    if (::GetCapture() == m_hWnd && (nFlags & MK_LBUTTON)) {
        CRect client;
        GetClientRect(&client);
        int n = (client.Height() - point.y - 4) / 13;
        SetCommentHeight(n <= 0 ? 0 : 13 * n + 6);
    } else if (::GetCapture() != m_hWnd && m_rcSplitter.PtInRect(point)) {
        ::SetCursor(::LoadCursor(nullptr, IDC_SIZENS));
    }
}

void EPropCtrl::OnLButtonUp(UINT, CPoint)
{
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
}

void EPropCtrl::OnTabChanging(NMHDR*, LRESULT* pResult)
{
    *pResult = m_listWnd.Select(nullptr, true, true) ? 0 : 1;
}

void EPropCtrl::OnTabChange(NMHDR*, LRESULT* pResult)
{
    m_listWnd.SelectPage(m_tabCtrl.GetCurSel());
    *pResult = 0;
}
