// EPropListWnd: layout, painting, mouse, keyboard, context menu and the host.
#include "propgrid/prop_list_wnd.h"

#include <algorithm>

#include "foundation/i18n/i18n.h"
#include "propgrid/hover_button.h"
#include "propgrid/property.h"

IMPLEMENT_DYNCREATE(EPropListWnd, EPropWnd)

BEGIN_MESSAGE_MAP(EPropListWnd, EPropWnd)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_LBUTTONDOWN()
ON_WM_MOUSEMOVE()
ON_WM_LBUTTONUP()
ON_WM_LBUTTONDBLCLK()
ON_WM_CONTEXTMENU()
END_MESSAGE_MAP()

EPropListWnd::~EPropListWnd()
{
    CloseActiveEditor();
    m_rows.clear();
    m_list.Clear();
}

BOOL EPropListWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    cs.style |= WS_CLIPCHILDREN; // the off-screen copy must not paint over the editor
    return EPropWnd::PreCreateWindow(cs);
}

void EPropListWnd::SetPropertyHost(IPropertyHost* pHost)
{
    Select(nullptr, true, false);
    CString remembered;
    bool haveName = false;
    if (m_list.ArePagesExplicit() && m_list.GetCurrentPage() != nullptr) {
        remembered = m_list.GetCurrentPage()->GetName();
        haveName = true;
    }
    m_list.Clear();
    m_rows.clear();
    m_pActive = nullptr;
    m_pContextMenuProperty = nullptr;
    m_pHost = pHost;
    if (pHost != nullptr) {
        pHost->FillProperties(&m_list);
        int page = 0;
        if (haveName)
            for (int i = 0; i < m_list.GetPageCount(); ++i)
                if (::CompareString(LOCALE_USER_DEFAULT, NORM_IGNORECASE,
                                    m_list.GetPage(i)->GetName(), -1, remembered, -1) ==
                    CSTR_EQUAL)
                    page = i;
        m_list.SetCurrentPage(page);
        if (m_bAutoNameColumn)
            FitNameColumn();
    }
    RecalcLayoutWithFont();
    Invalidate(FALSE);
    InvalidateCommentPane();
}

bool EPropListWnd::SelectPage(int nIndex)
{
    if (nIndex == m_list.GetCurrentPageIndex())
        return false;
    Select(nullptr, false, false);
    m_list.SetCurrentPage(nIndex);
    RecalcLayoutWithFont();
    if (m_bAutoNameColumn)
        FitNameColumn();
    Invalidate(FALSE);
    InvalidateCommentPane();
    return true;
}

void EPropListWnd::FitNameColumn()
{
    EPropListPage* page = m_list.GetCurrentPage();
    if (page == nullptr || m_hWnd == nullptr)
        return;
    CClientDC dc(this);
    CFont* old = dc.SelectObject(&m_font);
    int widest = 0;
    for (int i = 0; i < page->GetPropertyCount(); ++i) {
        int w = dc.GetTextExtent(page->GetProperty(i)->GetName()).cx + 2 * m_nBorder + 8;
        widest = std::max(widest, w);
    }
    dc.SelectObject(old);
    m_nNameWidth = widest;
}

void EPropListWnd::RecalcLayoutWithFont()
{
    if (m_hWnd == nullptr)
        return;
    CClientDC dc(this);
    CFont* old = dc.SelectObject(&m_font);
    RecalcLayout(&dc);
    dc.SelectObject(old);
}

void EPropListWnd::RecalcLayout(CDC* pDC)
{
    EPropListPage* page = m_list.GetCurrentPage();
    int count = page != nullptr ? page->GetPropertyCount() : 0;
    m_rows.clear();
    m_rows.reserve(static_cast<size_t>(count));
    int y = 0;
    int valueWidth = 0;
    for (int i = 0; i < count; ++i) {
        EProperty* p = page->GetProperty(i);
        int h = p->GetHeight(pDC) + 2 * m_nBorder;
        p->SetValueRect(CRect(0, y, 0, y + h));
        y += h;
        m_rows.push_back(p);
        valueWidth = std::max(valueWidth, p->GetValueWidth(pDC));
    }
    m_nContentHeight = y;
    m_nValueWidth = valueWidth + 2 * m_nBorder;
    m_nContentWidth = m_nGap + m_nNameWidth + m_nValueWidth;
    UpdateScrollBars();
}

void EPropListWnd::MoveSelection(int nDelta)
{
    auto it = std::find(m_rows.begin(), m_rows.end(), m_pActive);
    if (m_pActive == nullptr || it == m_rows.end())
        return;
    long long target = (it - m_rows.begin()) + static_cast<long long>(nDelta);
    EProperty* p = target >= 0 && target < static_cast<long long>(m_rows.size())
                       ? m_rows[static_cast<size_t>(target)]
                       : nullptr;
    Select(p, true, true);
}

EProperty* EPropListWnd::RowAt(int y) const
{
    for (EProperty* p : m_rows) {
        const CRect& r = p->GetValueRect();
        if (y >= r.top && y < r.bottom && r.Height() > 0)
            return p;
    }
    return nullptr;
}

void EPropListWnd::OnPaint()
{
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    CDC dc;
    dc.CreateCompatibleDC(&paint);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&paint, std::max<int>(client.Width(), 1),
                                  std::max<int>(client.Height(), 1));
    CBitmap* oldBitmap = dc.SelectObject(&bitmap);
    m_ptOrigin = CPoint(-GetScrollPos(SB_HORZ), -GetScrollPos(SB_VERT));
    CFont* oldFont = dc.SelectObject(&m_font);
    dc.SetBkMode(TRANSPARENT);
    dc.SetViewportOrg(m_ptOrigin);
    CRect view = ContentRectFromClient(client);
    if (m_list.GetCurrentPageCount() == 0) {
        dc.SetViewportOrg(0, 0);
        Draw3DFrame(&dc, client, true, m_clrFace);
        CString empty = m_pListener != nullptr
                            ? m_pListener->GetEmptyText()
                            : I18NString("PROPGRID_NO_PROPERTIES", "NO PROPERTIES");
        UINT oldAlign = dc.SetTextAlign(TA_CENTER);
        dc.TextOut(client.Width() / 2, 10, empty);
        dc.SetTextAlign(oldAlign);
    } else {
        PaintRows(&dc, view);
    }
    dc.SetViewportOrg(0, 0);
    paint.BitBlt(0, 0, client.Width(), client.Height(), &dc, 0, 0, SRCCOPY);
    dc.SelectObject(oldFont);
    dc.SelectObject(oldBitmap);
}

void EPropListWnd::PaintRows(CDC* pDC, const CRect& view)
{
    int lastBottom = 0;
    for (EProperty* p : m_rows) {
        CRect layout = p->GetValueRect();
        lastBottom = layout.bottom;
        if (layout.bottom < view.top && p != m_pActive)
            continue;
        CRect name(0, layout.top, m_nNameWidth, layout.bottom);
        Draw3DFrame(pDC, name, true, p->GetColors(this));
        CString text = p->GetName();
        int left = m_nBorder + 4, right = m_nNameWidth - m_nBorder - 4;
        FitTextToWidth(text, right - left, pDC);
        CRect textRect(left, layout.top, std::max(left, right), layout.bottom);
        pDC->DrawText(text, &textRect, DT_VCENTER | DT_SINGLELINE);

        CRect value(m_nNameWidth + m_nGap, layout.top, view.right, layout.bottom);
        Draw3DFrame(pDC, value, true, static_cast<COLORREF>(-1));
        CRect inner = value;
        inner.DeflateRect(m_nBorder, m_nBorder);
        p->SetValueRect(inner);
        p->DrawValue(pDC, this);
        p->SetValueRect(layout);
    }
    m_rcSplitter = CRect(m_nNameWidth, 0, m_nNameWidth + m_nGap, lastBottom);
    Draw3DFrame(pDC, m_rcSplitter, true, m_clrFace);
    if (m_nContentHeight < view.bottom)
        Draw3DFrame(pDC, CRect(0, m_nContentHeight, view.right, view.bottom), true, m_clrFace);
}

void EPropListWnd::OnLButtonDown(UINT, CPoint point)
{
    CPoint p = ClientToContent(point);
    if (m_pActive == nullptr)
        SetFocus();
    if (m_list.GetCurrentPageCount() == 0)
        return;
    if (m_rcSplitter.PtInRect(p)) {
        m_nDragStartWidth = m_nNameWidth;
        m_nDragStartX = p.x;
        SetCapture();
        ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE));
        return;
    }
    EProperty* row = RowAt(p.y);
    if (Select(row, true, true) && m_pActive != nullptr) {
        if (m_pActive->OnLButtonDown(this, p.x, p.y))
            NotifyListener();
    }
    Invalidate(FALSE);
}

void EPropListWnd::OnMouseMove(UINT nFlags, CPoint point)
{
    CPoint p = ClientToContent(point);
    if ((nFlags & MK_LBUTTON) && m_nDragStartX != -1) {
        m_nNameWidth = std::max<int>(0, m_nDragStartWidth + (p.x - m_nDragStartX));
        m_nContentWidth = m_nValueWidth + m_nGap + m_nNameWidth;
        UpdateScrollBars();
        Invalidate(FALSE);
        ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE));
    } else if (!(nFlags & MK_LBUTTON)) {
        if (m_rcSplitter.PtInRect(p))
            ::SetCursor(::LoadCursor(nullptr, IDC_SIZEWE));
        if (m_nDragStartX != -1) {
            m_nDragStartX = m_nDragStartWidth = -1;
            ::ReleaseCapture();
        }
    }
    Default();
}

void EPropListWnd::OnLButtonUp(UINT, CPoint)
{
    if (m_nDragStartX != -1)
        ::ReleaseCapture();
    m_nDragStartX = m_nDragStartWidth = -1;
    Default();
}

void EPropListWnd::OnContextMenu(CWnd*, CPoint pos)
{
    int first = 0, last = 0;
    GetCommandRange(first, last);
    EXMenu menu;
    menu.CreatePopupMenu();
    menu.SetBaseId(first + 80);
    CPoint client = pos;
    ScreenToClient(&client);
    m_pContextMenuProperty = RowAt(ClientToContent(client).y);
    if (m_pContextMenuProperty == nullptr)
        return;
    m_pContextMenuProperty->AddContextMenuItems(&menu);
    if (menu.GetMenuItemCount() > 0)
        menu.TrackPopupMenu(TPM_CENTERALIGN | TPM_LEFTBUTTON, pos.x, pos.y, this);
}

CString EPropListWnd::GetComment(CString* pTitle)
{
    if (m_pHost == nullptr)
        return CString();
    if (m_pActive != nullptr) {
        if (pTitle != nullptr)
            *pTitle = m_pActive->GetName();
        return m_pActive->GetComment();
    }
    return m_list.GetDefaultComment();
}

BOOL EPropListWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message != WM_KEYDOWN || m_hWnd == nullptr)
        return FALSE;
    if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))
        return FALSE;
    return HandleKey(pMsg) ? TRUE : FALSE;
}

bool EPropListWnd::HandleKey(MSG* pMsg)
{
    bool listFocused = ::GetFocus() == m_hWnd;
    switch (pMsg->wParam) {
    case VK_TAB:
        MoveSelection(::GetKeyState(VK_SHIFT) < 0 ? -1 : 1);
        return true;
    case VK_RETURN:
        Select(nullptr, true, true);
        return true;
    case VK_ESCAPE:
        Select(nullptr, false, false);
        return true;
    case VK_SPACE:
        if (m_pActive == nullptr || !listFocused || !m_pActive->OnSpaceKey())
            return false;
        NotifyListener();
        Invalidate(FALSE);
        return true;
    case VK_PRIOR:
        MoveSelection(-3);
        return true;
    case VK_NEXT:
        MoveSelection(3);
        return true;
    case VK_END:
    case VK_HOME:
        if (m_pActive == nullptr || !listFocused)
            return false;
        MoveSelection(pMsg->wParam == VK_END ? 1000000 : -1000000);
        return true;
    case VK_UP:
        MoveSelection(-1);
        return true;
    case VK_DOWN:
        MoveSelection(1);
        return true;
    default:
        return false;
    }
}
