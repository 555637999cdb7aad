// EProperty and EIconTextButtonProperty: row layout, drawing and the in-place editor.
#include "propgrid/property.h"

#include <algorithm>

#include "propgrid/hover_button.h"
#include "propgrid/prop_wnd.h"

void FitTextToWidth(CString& text, int width, CDC* pDC)
{
    while (!text.IsEmpty() && pDC->GetTextExtent(text).cx > width) {
        int n = text.GetLength();
        if (n >= 4) {
            text = text.Left(n - 4) + "...";
        } else {
            text = CString('.', n - 1);
            if (n == 1)
                break;
        }
    }
}

COLORREF DarkenColor(COLORREF c, int d)
{
    auto down = [d](int v) { return std::max(0, v - d); };
    return RGB(down(GetRValue(c)), down(GetGValue(c)), down(GetBValue(c)));
}

EProperty::EProperty(IPropertyHost* pHost, const CString& sName, void* pProperty, bool bEnabled)
    : m_bEnabled(bEnabled), m_sName(sName), m_pHost(pHost), m_pProperty(pProperty)
{
}

EProperty::~EProperty() = default;

void EProperty::DrawValue(CDC* pDC, EPropWnd* pCtrl)
{
    pDC->FillSolidRect(&m_rcValue, RGB(255, 255, 255));
}

void EProperty::Draw(CDC* pDC, EPropWnd* pCtrl)
{
    DrawValue(pDC, pCtrl);
    CBrush red(RGB(255, 0, 0));
    pDC->FrameRect(&m_rcValue, &red);
}

bool EProperty::IsEnabled()
{
    if (!m_bEnabled)
        return false;
    return m_pHost == nullptr || m_pHost->IsPropertyEditable(m_pProperty);
}

COLORREF EProperty::GetColors(EPropWnd* pCtrl)
{
    return m_bActive ? pCtrl->GetActiveFaceColor() : pCtrl->GetFaceColor();
}

int EProperty::Compare(EProperty* pOther)
{
    if (pOther == nullptr)
        return 1;
    double a = 0, b = 0;
    if (GetNumericValue(&a) && pOther->GetNumericValue(&b))
        return a < b ? -1 : (a > b ? 1 : 0);
    int c = GetSortText().Compare(pOther->GetSortText());
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

EProperty* EProperty::SetComment(const CString& sComment)
{
    m_sComment = sComment;
    return this;
}

EIconTextButtonProperty::EIconTextButtonProperty(IPropertyHost* pHost, const CString& sName,
                                                 void* pProperty, bool bEnabled)
    : EProperty(pHost, sName, pProperty, bEnabled)
{
}

EIconTextButtonProperty::~EIconTextButtonProperty()
{
    if (m_pEdit)
        m_pEdit->DestroyWindow();
    if (m_pButton)
        m_pButton->DestroyWindow();
}

CString EIconTextButtonProperty::GetTextValue()
{
    return "Please override GetTextValue() in your EIconTextButtonProperty class";
}

void EIconTextButtonProperty::DrawIcon(CDC* pDC, EPropWnd*, const CRect& rcIcon)
{
    pDC->FillSolidRect(&rcIcon, RGB(255, 255, 255));
    CBrush black(RGB(0, 0, 0));
    pDC->FrameRect(&rcIcon, &black);
}

int EIconTextButtonProperty::GetValueWidth(CDC* pDC)
{
    int w = GetIconWidth();
    return (w >= 1 ? 4 + w : 0) + 4 + pDC->GetTextExtent(GetTextValue()).cx + 4;
}

int EIconTextButtonProperty::GetHeight(CDC* pDC)
{
    CString text = GetTextValue();
    if (text.IsEmpty())
        text = "Q";
    CRect rc;
    pDC->DrawText(text, &rc, DT_CALCRECT);
    return rc.Height() + 6;
}

void EIconTextButtonProperty::ComputeRects(EPropWnd* pCtrl)
{
    const CRect& v = m_rcValue;
    int w = GetIconWidth();
    int x0 = v.left + 4;
    int textLeft = w > 0 ? x0 + w + 4 : x0;
    CRect client;
    pCtrl->GetClientRect(&client);
    // The client edge is in client coordinates; the rectangles are in content coordinates.
    int buttonRight = std::min<int>(v.right, client.right - m_ptOrigin.x);
    int buttonLeft = HasButton() && m_bActive ? buttonRight - m_nButtonWidth : buttonRight;
    m_rcIcon = CRect(x0, v.top + 3, x0 + w, v.top + 3 + w);
    m_rcText = CRect(textLeft, v.top + 3, buttonLeft - 4, v.bottom - 3);
    m_rcButton = CRect(buttonLeft, v.top, buttonRight, v.bottom);
}

void EIconTextButtonProperty::DrawValue(CDC* pDC, EPropWnd* pCtrl)
{
    m_ptOrigin = pDC->GetViewportOrg();
    ComputeRects(pCtrl);
    m_nIconWidth = GetIconWidth();
    bool enabled = IsEnabled();
    pDC->FillSolidRect(&m_rcValue, enabled ? pCtrl->GetWhite() : pCtrl->GetFaceColor());
    if (m_nIconWidth > 0)
        DrawIcon(pDC, pCtrl, m_rcIcon);

    if (HasEditBox() && enabled && m_bActive && m_pEdit) {
        CRect r = m_rcText;
        r.OffsetRect(m_ptOrigin);
        CRect old;
        m_pEdit->GetWindowRect(&old);
        m_pEdit->SetWindowPos(nullptr, r.left, r.top, r.Width(), r.Height(),
                              SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
        if (old.Width() != r.Width()) {
            // A box that was narrower scrolled its text away: show it from the start again.
            int start = 0, end = 0;
            m_pEdit->GetSel(start, end);
            m_pEdit->SetSel(0, 0);
            m_pEdit->SetSel(start, end);
        }
    } else if (m_rcText.Width() > 0) {
        if (!enabled)
            pDC->SetTextColor(DarkenColor(pCtrl->GetFaceColor(), 96));
        CString text = GetTextValue();
        if (m_bPassword)
            text = CString('*', text.GetLength());
        text.Replace("&", "&&");
        FitTextToWidth(text, m_rcText.Width(), pDC);
        CRect r = m_rcText;
        pDC->DrawText(text, &r, DT_NOCLIP);
        if (!enabled)
            pDC->SetTextColor(RGB(0, 0, 0));
    }
    if (HasButton() && m_bActive && enabled && m_pButton) {
        CRect r = m_rcButton;
        r.OffsetRect(m_ptOrigin);
        m_pButton->SetWindowPos(nullptr, r.left, r.top, r.Width(), r.Height(),
                                SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void EIconTextButtonProperty::OpenEditor(EPropWnd* pCtrl)
{
    m_sTextAtOpen = GetTextValue();
    int first = 0, last = 0;
    pCtrl->GetCommandRange(first, last);
    bool enabled = IsEnabled();
    if (HasEditBox() && enabled) {
        CRect r = m_rcText;
        r.OffsetRect(m_ptOrigin);
        m_pEdit = std::make_unique<EPropWndEdit>();
        m_pEdit->Create(WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_TABSTOP | ES_AUTOHSCROLL |
                            (m_bPassword ? ES_PASSWORD : 0),
                        r, pCtrl, static_cast<UINT>(first));
        m_pEdit->SetFont(pCtrl->GetFont());
        m_pEdit->SetWindowText(m_sTextAtOpen);
        m_pEdit->SetSel(0, -1);
        m_pEdit->SetMargins(0, 0);
        m_pEdit->SetFocus();
    }
    if (HasButton() && enabled) {
        CRect r = m_rcButton;
        r.OffsetRect(m_ptOrigin);
        m_pButton = std::make_unique<CHoverButton>();
        m_pButton->Create("...", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, r, pCtrl,
                          static_cast<UINT>(first + 1));
        m_pButton->SetImage(GetBuiltinImage(EBuiltinImage::DotsButton));
        m_pButton->SetFont(pCtrl->GetFont());
        if (!m_pEdit)
            m_pButton->SetFocus();
    }
    m_bActive = true;
}

void EIconTextButtonProperty::CloseEditor()
{
    if (m_pEdit) {
        m_pEdit->DestroyWindow();
        m_pEdit.reset();
    }
    if (m_pButton) {
        m_pButton->DestroyWindow();
        m_pButton.reset();
    }
    m_bActive = false;
}

bool EIconTextButtonProperty::GetEditText(CString& text) const
{
    if (!m_pEdit || m_pEdit->m_hWnd == nullptr)
        return false;
    m_pEdit->GetWindowText(text);
    return true;
}

bool EIconTextButtonProperty::EditTextChanged(CString& text) const
{
    return GetEditText(text) && text != m_sTextAtOpen;
}

void EIconTextButtonProperty::RefreshEditText()
{
    m_sTextAtOpen = GetTextValue();
    if (m_pEdit && m_pEdit->m_hWnd != nullptr)
        m_pEdit->SetWindowText(m_sTextAtOpen);
}
