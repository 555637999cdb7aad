// Text static with its own font, colours, gradient background and tooltip, and the etched
// separator line with an optional caption.
#include "toolkit/controls/static/static_control.h"

#include <commctrl.h>

#include <algorithm>

namespace
{

constexpr UINT kToolId = 1;

void EnsureToolTipClass()
{
    static const bool done = [] {
        INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
        return ::InitCommonControlsEx(&icc) != FALSE;
    }();
    (void)done;
}

// The tool record without the fields newer comctl32 versions added (older ones refuse them).
TOOLINFOA ToolInfo(HWND hWnd)
{
    TOOLINFOA ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = hWnd;
    ti.uId = kToolId;
    return ti;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// COXStatic

BEGIN_MESSAGE_MAP(COXStatic, CStatic)
ON_WM_CTLCOLOR_REFLECT_STATIC()
ON_MESSAGE(WM_SETTEXT, OnSetText)
ON_WM_SIZE()
ON_WM_DESTROY()
ON_WM_ERASEBKGND()
END_MESSAGE_MAP()

COXStatic::COXStatic()
    : m_clrBackground(::GetSysColor(COLOR_BTNFACE)), m_clrText(::GetSysColor(COLOR_WINDOWTEXT))
{
}

BOOL COXStatic::Create(LPCTSTR lpszText, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                       UINT nID)
{
    m_bCreatedThroughCreate = TRUE;
    if (!CStatic::Create(lpszText, dwStyle, rect, pParentWnd, nID))
        return FALSE;
    return Initialize();
}

BOOL COXStatic::IsTextStatic() const
{
    if (m_hWnd == nullptr)
        return FALSE;
    switch (GetStyle() & 0xFF) {
    case SS_LEFT:
    case SS_CENTER:
    case SS_RIGHT:
    case SS_SIMPLE:
    case SS_LEFTNOWORDWRAP:
        return TRUE;
    default:
        return FALSE;
    }
}

void COXStatic::EnableToolTip(BOOL bEnable)
{
    m_bToolTipEnabled = bEnable;
    if (m_hWnd != nullptr)
        UpdateToolTip();
}

void COXStatic::SetToolTipText(LPCTSTR lpszText)
{
    m_sToolTipText = lpszText;
    m_bExplicitToolTipText = !m_sToolTipText.IsEmpty();
    UpdateToolTip();
}

void COXStatic::SetFitToText(BOOL bFit)
{
    m_bFitToText = bFit;
    if (m_hWnd != nullptr)
        FitToText();
}

void COXStatic::PreSubclassWindow()
{
    CStatic::PreSubclassWindow();
    if (!m_bCreatedThroughCreate)
        Initialize();
}

BOOL COXStatic::Initialize()
{
    CRect rect;
    GetWindowRect(&rect);
    ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<LPPOINT>(&rect), 2);
    m_rectWindow = rect;

    if (m_toolTip.m_hWnd == nullptr) {
        EnsureToolTipClass();
        if (m_toolTip.CreateEx(0, TOOLTIPS_CLASS, nullptr, WS_POPUP | TTS_ALWAYSTIP, 0, 0, 0, 0,
                               m_hWnd, nullptr)) {
            TOOLINFOA ti = ToolInfo(m_hWnd);
            GetClientRect(&ti.rect);
            ti.lpszText = const_cast<LPSTR>(static_cast<LPCSTR>(m_sToolTipText));
            m_toolTip.SendMessage(TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
        }
    }
    UpdateToolTip();
    if (!m_bFontInitialized && RebuildFont())
        m_bFontInitialized = TRUE;
    return TRUE;
}

BOOL COXStatic::CopyWindowFont(BOOL bUnderline)
{
    if (!IsTextStatic())
        return TRUE;
    auto hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (hFont == nullptr)
        return FALSE;
    LOGFONT lf{};
    if (::GetObject(hFont, sizeof(lf), &lf) == 0)
        return FALSE;
    if (bUnderline)
        lf.lfUnderline = 1;
    m_font.DeleteObject();
    if (!m_font.CreateFontIndirect(&lf))
        return FALSE;
    if (m_bFitToText)
        FitToText();
    return TRUE;
}

BOOL COXStatic::RebuildFont()
{
    return CopyWindowFont(FALSE);
}

void COXStatic::SetToolText(const CString& text)
{
    if (m_toolTip.m_hWnd == nullptr)
        return;
    TOOLINFOA ti = ToolInfo(m_hWnd);
    ti.lpszText = const_cast<LPSTR>(static_cast<LPCSTR>(text));
    m_toolTip.SendMessage(TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&ti));
}

void COXStatic::UpdateToolTip()
{
    if (m_bToolTipEnabled && !m_bExplicitToolTipText) {
        if (IsTextStatic())
            GetWindowText(m_sToolTipText);
        else
            m_sToolTipText.Empty();
    }
    SetToolText(m_sToolTipText);
}

BOOL COXStatic::PreTranslateMessage(MSG* pMsg)
{
    if (m_toolTip.m_hWnd != nullptr) {
        m_toolTip.SendMessage(TTM_ACTIVATE, m_bToolTipEnabled);
        m_toolTip.SendMessage(TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg));
    }
    return CStatic::PreTranslateMessage(pMsg);
}

HBRUSH COXStatic::CtlColor(CDC* pDC, UINT nCtlColor)
{
    if ((GetStyle() & SS_NOTIFY) == 0)
        ModifyStyle(0, SS_NOTIFY);
    if (!IsTextStatic()) {
        HWND hParent = ::GetParent(m_hWnd);
        return reinterpret_cast<HBRUSH>(::DefWindowProc(
            hParent != nullptr ? hParent : m_hWnd, WM_CTLCOLORSTATIC,
            reinterpret_cast<WPARAM>(pDC->m_hDC), reinterpret_cast<LPARAM>(m_hWnd)));
    }
    if (m_font.m_hObject != nullptr)
        pDC->SelectObject(&m_font);
    pDC->SetTextColor(m_clrText);
    pDC->SetBkMode(TRANSPARENT);
    return static_cast<HBRUSH>(::GetStockObject(NULL_BRUSH));
}

BOOL COXStatic::OnEraseBkgnd(CDC* pDC)
{
    if (m_clrBackground == CLR_NONE)
        return TRUE;
    CRect rc;
    GetClientRect(&rc);
    int saved = pDC->SaveDC();
    ::IntersectClipRect(pDC->m_hDC, rc.left, rc.top, rc.right, rc.bottom);
    if (m_nBkFill < 1 || m_nBkFill > 3) {
        pDC->FillSolidRect(&rc, m_clrBackground);
        pDC->RestoreDC(saved);
        return TRUE;
    }
    const int width = rc.Width();
    // Each channel scaled by (1 - (d / w)^2); the band at the far edge is black.
    auto shade = [this](long long d, long long w) {
        auto scale = [&](int c) { return static_cast<int>(c * (w * w - d * d) / (w * w)); };
        return RGB(scale(GetRValue(m_clrBackground)), scale(GetGValue(m_clrBackground)),
                   scale(GetBValue(m_clrBackground)));
    };
    // Paints bands from distance 0 to length away from the bright edge at x0 in direction dir.
    auto run = [&](int x0, int dir, int length, int w, int band) {
        for (int d = 0; d < length; d += band) {
            int next = std::min(d + band, length);
            COLORREF clr = next >= length ? RGB(0, 0, 0) : shade(d, w);
            int a = x0 + dir * d;
            int b = x0 + dir * next;
            pDC->FillSolidRect(std::min(a, b), rc.top, std::abs(b - a), rc.Height(), clr);
        }
    };
    if (width > 0) {
        if (m_nBkFill == 2) {
            int half = std::max(width / 2, 1);
            int band = std::max(half / 256, 1);
            int centre = rc.left + width / 2;
            run(centre, -1, centre - rc.left, half, band);
            run(centre, +1, static_cast<int>(rc.right) - centre,
                std::max(static_cast<int>(rc.right) - centre, 1), band);
        } else {
            int band = std::max(width / 128, 1);
            if (m_nBkFill == 1)
                run(rc.right, -1, width, width, band);
            else
                run(rc.left, +1, width, width, band);
        }
    }
    pDC->RestoreDC(saved);
    return TRUE;
}

LRESULT COXStatic::OnSetText(WPARAM wParam, LPARAM lParam)
{
    LRESULT result = Default();
    UpdateToolTip();
    if (m_bFitToText)
        FitToText();
    RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
    return result;
}

void COXStatic::OnSize(UINT nType, int cx, int cy)
{
    CStatic::OnSize(nType, cx, cy);
    // Creation sends WM_SIZE before the control is initialised: nothing is remembered yet.
    if (!m_bFontInitialized && m_toolTip.m_hWnd == nullptr)
        return;
    if (m_bFitToText) {
        FitToText();
    } else {
        CRect rect;
        GetWindowRect(&rect);
        ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<LPPOINT>(&rect), 2);
        m_rectWindow = rect;
        if (m_toolTip.m_hWnd != nullptr) {
            TOOLINFOA ti = ToolInfo(m_hWnd);
            ti.rect = {0, 0, cx, cy};
            m_toolTip.SendMessage(TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
        }
    }
    RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
}

void COXStatic::FitToText()
{
    HWND hParent = ::GetParent(m_hWnd);
    if (!IsTextStatic() || hParent == nullptr)
        return;
    // Only once the control is initialised does the remembered rectangle mean anything.
    if (m_toolTip.m_hWnd == nullptr && !m_bFontInitialized)
        return;
    CRect rect(m_rectWindow);
    const DWORD style = GetStyle();
    if (m_bFitToText) {
        CRect parent;
        ::GetClientRect(hParent, &parent);
        CString text;
        GetWindowText(text);
        CClientDC dc(this);
        CFont* old = m_font.m_hObject != nullptr ? dc.SelectObject(&m_font) : nullptr;
        CRect measured(0, 0, parent.Width(), parent.Height());
        UINT format = DT_CALCRECT | DT_EXPANDTABS;
        if (style & SS_NOPREFIX)
            format |= DT_NOPREFIX;
        switch (style & 0xFF) {
        case SS_SIMPLE:
        case SS_LEFTNOWORDWRAP:
            format |= DT_SINGLELINE;
            break;
        default:
            format |= DT_WORDBREAK;
        }
        dc.DrawText(text.IsEmpty() ? CString(" ") : text, &measured, format);
        if (old != nullptr)
            dc.SelectObject(old);
        // The window rectangle also holds any border.
        CRect window, client;
        GetWindowRect(&window);
        GetClientRect(&client);
        int cx = std::min(measured.Width() + window.Width() - client.Width(), parent.Width());
        int cy = std::min(measured.Height() + window.Height() - client.Height(), parent.Height());
        if (style & SS_CENTERIMAGE) {
            int centre = (rect.top + rect.bottom) / 2;
            rect.top = centre - cy / 2;
        }
        rect.bottom = rect.top + cy;
        switch (style & 0xFF) {
        case SS_CENTER: {
            int centre = (rect.left + rect.right) / 2;
            rect.left = centre - cx / 2;
            rect.right = rect.left + cx;
            break;
        }
        case SS_RIGHT:
            rect.left = rect.right - cx;
            break;
        default:
            rect.right = rect.left + cx;
        }
    }
    if (m_toolTip.m_hWnd != nullptr) {
        TOOLINFOA ti = ToolInfo(m_hWnd);
        ti.rect = {0, 0, rect.Width(), rect.Height()};
        m_toolTip.SendMessage(TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&ti));
    }
    SetWindowPos(nullptr, rect.left, rect.top, rect.Width(), rect.Height(),
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void COXStatic::OnDestroy()
{
    if (m_toolTip.m_hWnd != nullptr) {
        TOOLINFOA ti = ToolInfo(m_hWnd);
        m_toolTip.SendMessage(TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&ti));
        m_toolTip.DestroyWindow();
    }
    CStatic::OnDestroy();
}

// ---------------------------------------------------------------------------------------------
// COXSeparator

BEGIN_MESSAGE_MAP(COXSeparator, CStatic)
ON_WM_CREATE()
ON_WM_PAINT()
ON_MESSAGE(WM_PRINTCLIENT, OnPrintClient)
ON_MESSAGE(WM_SETTEXT, OnSetText)
ON_MESSAGE(WM_GETTEXT, OnGetText)
ON_MESSAGE(WM_GETTEXTLENGTH, OnGetTextLength)
END_MESSAGE_MAP()

COXSeparator::COXSeparator()
    : m_clrText(::GetSysColor(COLOR_WINDOWTEXT)), m_clrShadow(::GetSysColor(COLOR_BTNSHADOW)),
      m_clrHilight(::GetSysColor(COLOR_BTNHIGHLIGHT))
{
}

void COXSeparator::SetVertOriented(BOOL bVertical)
{
    m_bVertical = bVertical;
    if (m_hWnd != nullptr)
        RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
}

void COXSeparator::PreSubclassWindow()
{
    CStatic::PreSubclassWindow();
    ModifyStyle(WS_BORDER, 0);
    ::SetWindowLongPtr(m_hWnd, GWL_EXSTYLE,
                       GetExStyle() & ~(WS_EX_STATICEDGE | WS_EX_CLIENTEDGE | WS_EX_WINDOWEDGE |
                                        WS_EX_DLGMODALFRAME));
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    // The default procedure answers here: the caption member is still empty.
    int n = static_cast<int>(DefWindowProc(WM_GETTEXTLENGTH, 0, 0));
    CString text;
    LPSTR buf = text.GetBufferSetLength(n);
    DefWindowProc(WM_GETTEXT, n + 1, reinterpret_cast<LPARAM>(buf));
    text.ReleaseBuffer();
    m_sCaption = text;
}

int COXSeparator::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    int result = CStatic::OnCreate(lpCreateStruct);
    // Made through Create the window got its text after PreSubclassWindow ran.
    if (lpCreateStruct->lpszName != nullptr && !IS_INTRESOURCE(lpCreateStruct->lpszName))
        m_sCaption = lpCreateStruct->lpszName;
    return result;
}

LRESULT COXSeparator::OnSetText(WPARAM, LPARAM lParam)
{
    m_sCaption = reinterpret_cast<LPCSTR>(lParam);
    RedrawWindow(nullptr, nullptr, RDW_UPDATENOW | RDW_ERASE | RDW_INVALIDATE);
    return TRUE;
}

LRESULT COXSeparator::OnGetText(WPARAM wParam, LPARAM lParam)
{
    auto size = static_cast<int>(wParam);
    auto* buffer = reinterpret_cast<LPSTR>(lParam);
    if (size <= 0 || buffer == nullptr)
        return 0;
    int n = std::min(size - 1, m_sCaption.GetLength());
    memcpy(buffer, static_cast<LPCSTR>(m_sCaption), n);
    buffer[n] = '\0';
    return n;
}

LRESULT COXSeparator::OnGetTextLength(WPARAM, LPARAM)
{
    return m_sCaption.GetLength();
}

void COXSeparator::OnPaint()
{
    CPaintDC dc(this);
    Draw(&dc);
}

LRESULT COXSeparator::OnPrintClient(WPARAM wParam, LPARAM)
{
    Draw(CDC::FromHandle(reinterpret_cast<HDC>(wParam)));
    return 0;
}

void COXSeparator::Draw(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    int saved = pDC->SaveDC();
    pDC->SetBkMode(TRANSPARENT);
    pDC->SetTextColor(m_clrText);
    auto hWndFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (hWndFont == nullptr)
        hWndFont = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));
    CFont rotated;
    if (m_bVertical) {
        LOGFONT lf{};
        ::GetObject(hWndFont, sizeof(lf), &lf);
        lf.lfEscapement = 900;
        lf.lfOrientation = 900;
        rotated.CreateFontIndirect(&lf);
    }
    ::SelectObject(pDC->m_hDC, rotated.m_hObject != nullptr ? rotated.m_hObject : hWndFont);

    // Along = the line's axis, across = the other one.
    const int alongStart = m_bVertical ? rc.top : rc.left;
    const int alongEnd = m_bVertical ? rc.bottom : rc.right;
    const int acrossStart = m_bVertical ? rc.left : rc.top;
    const int acrossLen = m_bVertical ? rc.Width() : rc.Height();
    const int lineAt = acrossStart + (acrossLen + 1) / 2 - 1;
    auto line = [&](int from, int to) {
        if (to <= from)
            return;
        // An etched line: shadow on top/left, highlight on bottom/right, 2 pixels thick.
        if (m_bVertical) {
            pDC->FillSolidRect(lineAt, from, 1, to - from - 1, m_clrShadow);
            pDC->FillSolidRect(lineAt + 1, from, 1, to - from, m_clrHilight);
            pDC->FillSolidRect(lineAt, to - 1, 1, 1, m_clrHilight);
        } else {
            pDC->FillSolidRect(from, lineAt, to - from - 1, 1, m_clrShadow);
            pDC->FillSolidRect(from, lineAt + 1, to - from, 1, m_clrHilight);
            pDC->FillSolidRect(to - 1, lineAt, 1, 1, m_clrHilight);
        }
    };

    if (m_sCaption.IsEmpty()) {
        line(alongStart, alongEnd);
    } else {
        constexpr int kGap = 6;
        CSize ext = pDC->GetTextExtent(m_sCaption);
        // A rotated font measures along the baseline too: cx is the length along the line.
        const int textLen = ext.cx;
        const int textThick = ext.cy;
        int textStart;
        switch (GetStyle() & 0xFF) {
        case SS_RIGHT:
            textStart = alongEnd - textLen;
            line(alongStart, textStart - kGap);
            break;
        case SS_CENTER:
            textStart = (alongStart + alongEnd - textLen) / 2;
            line(alongStart, textStart - kGap);
            line(textStart + textLen + kGap, alongEnd);
            break;
        default:
            textStart = alongStart;
            line(textStart + textLen + kGap, alongEnd);
        }
        const int textAcross = acrossStart + (acrossLen - textThick) / 2;
        if (m_bVertical) {
            // Text rotated by 90 degrees runs upwards from its origin.
            pDC->TextOut(textAcross, textStart + textLen, m_sCaption);
        } else {
            pDC->TextOut(textStart, textAcross, m_sCaption);
        }
    }
    pDC->RestoreDC(saved);
}
