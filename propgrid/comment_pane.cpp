// ECommentPane: paints the selected row's comment and collapses on a click.
#include "propgrid/comment_pane.h"

#include "propgrid/prop_ctrl.h"
#include "propgrid/prop_wnd.h"

IMPLEMENT_DYNCREATE(ECommentPane, CWnd)

BEGIN_MESSAGE_MAP(ECommentPane, CWnd)
ON_WM_PAINT()
ON_WM_ERASEBKGND()
ON_WM_LBUTTONUP()
END_MESSAGE_MAP()

void ECommentPane::FitWrappedText(CString& text, const CRect& rc, CDC* pDC)
{
    for (;;) {
        CRect calc(rc.left, rc.top, rc.right, rc.top);
        pDC->DrawText(text, &calc, DT_WORDBREAK | DT_CALCRECT);
        if (calc.Height() <= rc.Height())
            return;
        if (text.GetLength() <= 4) {
            text = "...";
            return;
        }
        text = text.Left(text.GetLength() - 4) + "...";
    }
}

void ECommentPane::OnPaint()
{
    CPaintDC paint(this);
    CRect client;
    GetClientRect(&client);
    CDC dc;
    dc.CreateCompatibleDC(&paint);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&paint, client.Width() > 0 ? client.Width() : 1,
                                  client.Height() > 0 ? client.Height() : 1);
    CBitmap* oldBitmap = dc.SelectObject(&bitmap);
    dc.FillSolidRect(&client, ::GetSysColor(COLOR_BTNFACE));
    if (m_pListWnd != nullptr)
        m_pListWnd->Draw3DFrame(&dc, client, true, m_pListWnd->GetFaceColor());
    CRect text = client;
    text.DeflateRect(5, 3, 5, 3);
    CGdiObject* oldFont = dc.SelectStockObject(DEFAULT_GUI_FONT);
    dc.SetBkColor(RGB(255, 255, 255));
    dc.SetBkMode(OPAQUE);
    CString title;
    CString comment = m_pCommentHost != nullptr ? m_pCommentHost->GetComment(&title) : CString();
    if (comment.IsEmpty()) {
        dc.DrawText("-", -1, &text, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    } else {
        FitWrappedText(comment, text, &dc);
        dc.DrawText(comment, &text, DT_WORDBREAK);
    }
    ::SelectObject(dc.m_hDC, oldFont->m_hObject);
    paint.BitBlt(0, 0, client.Width(), client.Height(), &dc, 0, 0, SRCCOPY);
    dc.SelectObject(oldBitmap);
}

void ECommentPane::OnLButtonUp(UINT, CPoint)
{
    if (auto* ctrl = dynamic_cast<EPropCtrl*>(GetParent()))
        ctrl->SetCommentHeight(0);
}
