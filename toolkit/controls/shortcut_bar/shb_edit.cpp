// The shortcut bar's in-place editor and the colour functions of the bar, its lists and skins.
#include "toolkit/controls/shortcut_bar/shb_edit.h"

#include <algorithm>

namespace {

constexpr UINT kKnownEditFields = 0x3FF;

// Registered when the program starts, so every process agrees on the number before a drag.
const CLIPFORMAT g_cfShortcutBarItem =
    static_cast<CLIPFORMAT>(::RegisterClipboardFormat("Shortcut bar child window item"));

int Clamp(int v) { return std::clamp(v, 0, 255); }

bool Contains(const RECT& outer, const RECT& inner)
{
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom;
}

// The non-client counterpart of a client mouse message.
UINT NonClientMessage(UINT message)
{
    switch (message) {
    case WM_MOUSEMOVE: return WM_NCMOUSEMOVE;
    case WM_LBUTTONDOWN: return WM_NCLBUTTONDOWN;
    case WM_LBUTTONDBLCLK: return WM_NCLBUTTONDBLCLK;
    case WM_RBUTTONDOWN: return WM_NCRBUTTONDOWN;
    case WM_RBUTTONDBLCLK: return WM_NCRBUTTONDBLCLK;
    case WM_MBUTTONDOWN: return WM_NCMBUTTONDOWN;
    case WM_MBUTTONDBLCLK: return WM_NCMBUTTONDBLCLK;
    default: return 0;
    }
}

} // namespace

CLIPFORMAT SHBItemClipFormat()
{
    return g_cfShortcutBarItem;
}

LRESULT SHBSendNotify(CWnd* pFrom, SHB_NOTIFYHDR* pNotify)
{
    if (pFrom == nullptr || !::IsWindow(pFrom->m_hWnd))
        return 0;
    pNotify->hdr.hwndFrom = pFrom->m_hWnd;
    pNotify->hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(pFrom->m_hWnd));
    HWND hOwner = ::GetWindow(pFrom->m_hWnd, GW_OWNER);
    if (hOwner == nullptr)
        hOwner = ::GetParent(pFrom->m_hWnd);
    if (hOwner == nullptr)
        return 0;
    return ::SendMessage(hOwner, WM_NOTIFY, pNotify->hdr.idFrom, reinterpret_cast<LPARAM>(pNotify));
}

LRESULT SHBSendNotify(CWnd* pFrom, UINT nCode, HSHBGROUP hGroup, int nItem, LPARAM lParam)
{
    SHB_NOTIFYHDR nm{};
    nm.hdr.code = nCode;
    nm.hGroup = hGroup;
    nm.nItem = nItem;
    nm.lParam = lParam;
    return SHBSendNotify(pFrom, &nm);
}

COLORREF AdjustColorBrightness(COLORREF clr, int nAmount)
{
    return RGB(Clamp(GetRValue(clr) + nAmount), Clamp(GetGValue(clr) + nAmount),
               Clamp(GetBValue(clr) + nAmount));
}

COLORREF InvertColor(COLORREF clr)
{
    return RGB(255 - GetRValue(clr), 255 - GetGValue(clr), 255 - GetBValue(clr));
}

BOOL AreColorsSimilar(COLORREF clrA, COLORREF clrB, int nThreshold)
{
    const int sum = std::abs(GetRValue(clrA) - GetRValue(clrB)) +
                    std::abs(GetGValue(clrA) - GetGValue(clrB)) +
                    std::abs(GetBValue(clrA) - GetBValue(clrB));
    return sum / 3 <= nThreshold;
}

IMPLEMENT_DYNAMIC(COXSHBEdit, CEdit)

BEGIN_MESSAGE_MAP(COXSHBEdit, CEdit)
ON_WM_SETFOCUS()
ON_WM_KILLFOCUS()
ON_CONTROL_REFLECT(EN_UPDATE, OnUpdate)
ON_MESSAGE(WM_REFLECT_BASE + WM_CTLCOLOREDIT, OnCtlColor)
ON_MESSAGE(WM_REFLECT_BASE + WM_CTLCOLORSTATIC, OnCtlColor)
END_MESSAGE_MAP()

COXSHBEdit::COXSHBEdit() : m_clrBack(::GetSysColor(COLOR_WINDOW))
{
    m_brushBack.CreateSolidBrush(m_clrBack);
}

COXSHBEdit::~COXSHBEdit()
{
    DestroyWindow();
}

BOOL COXSHBEdit::VerifyEditInfo(const SHB_EDITINFO* pEditInfo) const
{
    const UINT mask = pEditInfo->nMask;
    if ((mask & ~kKnownEditFields) != 0)
        return FALSE;
    if ((mask & SHBEIF_ENLARGE) != 0 && (mask & SHBEIF_RECTBOUND) == 0)
        return FALSE;
    if ((mask & SHBEIF_SELRANGE) != 0 && !(pEditInfo->nSelStart == 0 && pEditInfo->nSelEnd == -1) &&
        pEditInfo->nSelStart != -1) {
        CString text;
        if ((mask & SHBEIF_TEXT) != 0)
            text = pEditInfo->lpszText != nullptr ? pEditInfo->lpszText : "";
        else if (::IsWindow(m_hWnd))
            GetWindowText(text);
        const int len = text.GetLength();
        if (pEditInfo->nSelStart >= len || pEditInfo->nSelEnd >= len)
            return FALSE;
    }
    CRect display;
    if ((mask & SHBEIF_RECTDISPLAY) != 0)
        display = pEditInfo->rectDisplay;
    else if (::IsWindow(m_hWnd))
        GetClientRect(&display);
    if (display.IsRectEmpty())
        return FALSE;
    if ((mask & SHBEIF_RECTBOUND) != 0) {
        if (!Contains(pEditInfo->rectBound, display))
            return FALSE;
        if ((mask & SHBEIF_RECTMIN) != 0 && !Contains(pEditInfo->rectBound, pEditInfo->rectMin))
            return FALSE;
    }
    if ((mask & SHBEIF_RECTMIN) != 0 && CRect(pEditInfo->rectMin).IsRectEmpty())
        return FALSE;
    return TRUE;
}

BOOL COXSHBEdit::StartEdit(const SHB_EDITINFO* pEditInfo)
{
    if (!::IsWindow(m_hWnd))
        return FALSE;
    if (pEditInfo != nullptr && !VerifyEditInfo(pEditInfo))
        return FALSE;

    DWORD style = GetStyle();
    CString text;
    GetWindowText(text);
    CRect rect;
    GetWindowRect(&rect);
    CWnd* pParent = GetParent();
    pParent->ScreenToClient(&rect);
    const UINT nID = GetDlgCtrlID();

    if (pEditInfo != nullptr) {
        m_pEditInfo = std::make_unique<SHB_EDITINFO>(*pEditInfo);
        const UINT mask = pEditInfo->nMask;
        if ((mask & SHBEIF_TEXT) != 0) {
            text = pEditInfo->lpszText != nullptr ? pEditInfo->lpszText : "";
            m_strText = text;
            m_pEditInfo->lpszText = m_strText;
        }
        if ((mask & SHBEIF_RECTDISPLAY) != 0)
            rect = pEditInfo->rectDisplay;
        if ((mask & SHBEIF_STYLE) != 0)
            style = pEditInfo->dwStyle;
        if ((mask & SHBEIF_FONT) != 0 && pEditInfo->pFont != nullptr) {
            LOGFONT lf{};
            m_font.DeleteObject();
            if (pEditInfo->pFont->GetLogFont(&lf) != 0)
                m_font.CreateFontIndirect(&lf);
        }
        if ((mask & SHBEIF_RECTMIN) != 0)
            rect.UnionRect(&rect, &pEditInfo->rectMin);
    } else {
        m_pEditInfo.reset();
    }

    // The style may change between jobs (multi-line for items, single-line for headers).
    DestroyWindow();
    if (!Create((style | WS_CHILD) & ~WS_VISIBLE, rect, pParent, nID))
        return FALSE;

    if (m_font.GetSafeHandle() != nullptr)
        SetFont(&m_font, TRUE);
    SetWindowText(text);
    if (m_pEditInfo != nullptr && (m_pEditInfo->nMask & SHBEIF_CLRBACK) != 0) {
        m_clrBack = m_pEditInfo->clrBack;
        m_brushBack.DeleteObject();
        m_brushBack.CreateSolidBrush(m_clrBack);
    }
    if (m_pEditInfo != nullptr && (m_pEditInfo->nMask & SHBEIF_SELRANGE) != 0)
        SendMessage(EM_SETSEL, static_cast<WPARAM>(m_pEditInfo->nSelStart), m_pEditInfo->nSelEnd);
    CRect client;
    GetClientRect(&client);
    SendMessage(EM_SETRECT, 0, reinterpret_cast<LPARAM>(&client));

    m_bIsEditing = TRUE;
    ShowWindow(SW_SHOW);
    SetFocus();
    return TRUE;
}

void COXSHBEdit::FinishEdit(BOOL bOK)
{
    m_bIsEditing = FALSE;
    if (::GetCapture() == m_hWnd)
        ::ReleaseCapture();
    NMSHBEDIT nm{};
    nm.hdr.hwndFrom = m_hWnd;
    nm.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID());
    nm.hdr.code = SHBEN_FINISHEDIT;
    nm.bOK = bOK;
    HWND hParent = ::GetParent(m_hWnd);
    if (hParent != nullptr)
        ::SendMessage(hParent, WM_NOTIFY, nm.hdr.idFrom, reinterpret_cast<LPARAM>(&nm));
    if (::IsWindow(m_hWnd))
        ShowWindow(SW_HIDE);
}

bool COXSHBEdit::ForwardMouse(UINT message, WPARAM wParam, LPARAM lParam)
{
    CPoint point(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    CRect client;
    GetClientRect(&client);
    if (client.PtInRect(point)) {
        ::SetCursor(::LoadCursor(nullptr, IDC_IBEAM));
        return false;
    }
    ::SetCursor(::LoadCursor(nullptr, IDC_ARROW));
    CPoint screen = point;
    ClientToScreen(&screen);
    const bool button = message != WM_MOUSEMOVE;
    HWND hTarget = ::WindowFromPoint(screen);
    if (button && m_bIsEditing)
        FinishEdit(TRUE);
    if (hTarget == nullptr || hTarget == m_hWnd)
        return button;
    const LRESULT hit = ::SendMessage(hTarget, WM_NCHITTEST, 0, MAKELPARAM(screen.x, screen.y));
    ::SendMessage(hTarget, WM_SETCURSOR, reinterpret_cast<WPARAM>(hTarget),
                  MAKELPARAM(static_cast<WORD>(hit), message));
    if (hit == HTCLIENT) {
        CPoint local = screen;
        ::ScreenToClient(hTarget, &local);
        ::SendMessage(hTarget, message, wParam, MAKELPARAM(local.x, local.y));
    } else {
        ::SendMessage(hTarget, NonClientMessage(message), static_cast<WPARAM>(hit),
                      MAKELPARAM(screen.x, screen.y));
    }
    return button;
}

LRESULT COXSHBEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    LRESULT result = 0;
    bool handled = false;
    switch (message) {
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
            FinishEdit(wParam == VK_RETURN);
            handled = true;
        }
        break;
    case WM_CHAR:
        // The character of a key that ended the edit must not reach a multi-line editor.
        handled = wParam == '\r' || wParam == '\n' || wParam == 27;
        break;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONDBLCLK:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONDBLCLK:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONDBLCLK:
        handled = ForwardMouse(message, wParam, lParam);
        break;
    default:
        break;
    }
    if (!handled)
        result = CEdit::WindowProc(message, wParam, lParam);
    // Whatever took the mouse meanwhile, the editor keeps it while it edits.
    if (m_bIsEditing && ::IsWindow(m_hWnd) && ::GetCapture() != m_hWnd)
        ::SetCapture(m_hWnd);
    return result;
}

void COXSHBEdit::OnSetFocus(CWnd* pOldWnd)
{
    Default();
    if (m_bIsEditing)
        SetCapture();
}

void COXSHBEdit::OnKillFocus(CWnd* pNewWnd)
{
    Default();
    if (m_bIsEditing && ::GetCapture() == m_hWnd)
        FinishEdit(TRUE);
}

LRESULT COXSHBEdit::OnCtlColor(WPARAM wParam, LPARAM lParam)
{
    HDC hDC = reinterpret_cast<HDC>(wParam);
    ::SetBkColor(hDC, m_clrBack);
    if (m_pEditInfo != nullptr && (m_pEditInfo->nMask & SHBEIF_CLRTEXT) != 0)
        ::SetTextColor(hDC, m_pEditInfo->clrText);
    return reinterpret_cast<LRESULT>(m_brushBack.GetSafeHandle());
}

void COXSHBEdit::OnUpdate()
{
    AutoSize();
}

void COXSHBEdit::AutoSize()
{
    if (m_pEditInfo == nullptr || (m_pEditInfo->nMask & SHBEIF_ENLARGE) == 0 ||
        !m_pEditInfo->bEnlargeAsTyping || (m_pEditInfo->nMask & SHBEIF_RECTBOUND) == 0)
        return;
    const CRect bound = m_pEditInfo->rectBound;
    const CRect start = (m_pEditInfo->nMask & SHBEIF_RECTMIN) != 0
                            ? CRect(m_pEditInfo->rectMin)
                            : CRect(m_pEditInfo->rectDisplay);
    CString text;
    GetWindowText(text);
    CRect rect = start;
    const DWORD style = GetStyle();
    if (!text.IsEmpty()) {
        CRect window, client;
        GetWindowRect(&window);
        GetClientRect(&client);
        const DWORD margins = static_cast<DWORD>(SendMessage(EM_GETMARGINS));
        const int extraX = window.Width() - client.Width() + LOWORD(margins) + HIWORD(margins);
        const int extraY = window.Height() - client.Height();
        CRect measure(0, 0, std::max(1, bound.Width() - extraX), 0);
        HDC hDC = ::GetDC(m_hWnd);
        HGDIOBJ oldFont = ::SelectObject(hDC, reinterpret_cast<HFONT>(SendMessage(WM_GETFONT)));
        const UINT format = (style & ES_MULTILINE) != 0
                                ? DT_CALCRECT | DT_WORDBREAK | DT_EDITCONTROL | DT_CENTER | DT_VCENTER
                                : DT_CALCRECT | DT_CENTER | DT_VCENTER;
        ::DrawText(hDC, text, text.GetLength(), &measure, format);
        ::SelectObject(hDC, oldFont);
        ::ReleaseDC(m_hWnd, hDC);
        const int cx = std::max(std::min(measure.Width() + extraX, bound.Width()), start.Width());
        const int cy =
            std::max(std::min(measure.Height() + extraY, bound.Height()), start.Height());
        rect.SetRect(0, 0, cx, cy);
        int left = bound.left;
        if ((style & ES_RIGHT) != 0)
            left = bound.right - cx;
        else if ((style & ES_CENTER) != 0)
            left = bound.left + (bound.Width() - cx) / 2;
        rect.OffsetRect(left, bound.top);
    }
    MoveWindow(&rect, TRUE);
    CRect client;
    GetClientRect(&client);
    SendMessage(EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&client));
}
