// The masked edit window: routes typing, deleting, cutting and pasting through its text model
// and shows left literals, input and right literals as the window text.
#include "toolkit/controls/masked_edit/ox_edit.h"

#include <commctrl.h>

#include <algorithm>

IMPLEMENT_DYNAMIC(COXEdit, CEdit)

BEGIN_MESSAGE_MAP(COXEdit, CEdit)
ON_WM_SIZE()
ON_WM_DESTROY()
ON_WM_KEYDOWN()
ON_WM_CHAR()
ON_WM_SETFOCUS()
ON_WM_LBUTTONDOWN()
ON_MESSAGE(WM_CUT, OnCut)
ON_MESSAGE(WM_CLEAR, OnCut)
ON_MESSAGE(WM_PASTE, OnPaste)
ON_MESSAGE(WM_SETTEXT, OnSetText)
END_MESSAGE_MAP()

COXEdit::COXEdit()
    : m_clrText(::GetSysColor(COLOR_WINDOWTEXT)), m_clrBack(::GetSysColor(COLOR_WINDOW)),
      m_clrReadOnlyBack(::GetSysColor(COLOR_BTNFACE)),
      m_clrReadOnlyText(::GetSysColor(COLOR_GRAYTEXT))
{
}

// The tooltip goes with WM_DESTROY, which must still reach this class's map.
COXEdit::~COXEdit()
{
    if (m_hWnd != nullptr)
        DestroyWindow();
}

BOOL COXEdit::CreateEx(DWORD dwExStyle, LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                       DWORD dwStyle, int x, int y, int nWidth, int nHeight, HWND hWndParent,
                       HMENU nIDorHMenu, LPVOID lpParam)
{
    m_bCreating = TRUE;
    const BOOL ok = CEdit::CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, x, y, nWidth,
                                    nHeight, hWndParent, nIDorHMenu, lpParam);
    m_bCreating = FALSE;
    // The creation text becomes the input and the literals show from the start; otherwise the
    // window would hold text that the first change drops.
    if (ok) {
        m_text.EmptyInput();
        SetInputData(lpszWindowName, 0);
        SetCaretForward(0);
    }
    return ok;
}

void COXEdit::PreSubclassWindow()
{
    CEdit::PreSubclassWindow();
    if (!m_bCreating && !m_bInitialized)
        InitControl();
}

BOOL COXEdit::InitControl()
{
    UpdateFormat();
    INITCOMMONCONTROLSEX icc{sizeof(icc), ICC_WIN95_CLASSES};
    ::InitCommonControlsEx(&icc);
    m_hToolTip = ::CreateWindowEx(0, TOOLTIPS_CLASS, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  m_hWnd, nullptr, ::GetModuleHandle(nullptr), nullptr);
    if (m_hToolTip != nullptr) {
        TOOLINFO ti{};
        ToolRect(ti);
        ::SendMessage(m_hToolTip, TTM_ADDTOOL, 0, reinterpret_cast<LPARAM>(&ti));
    }
    CopyFont();
    CString text;
    GetWindowText(text);
    // Only the input goes: a mask set before subclassing keeps its literals.
    EmptyData(TRUE);
    SetInputData(text, 0);
    m_bInitialized = TRUE;
    return TRUE;
}

void COXEdit::ToolRect(TOOLINFO& ti)
{
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.uFlags = 0;
    ti.hwnd = m_hWnd;
    ti.uId = 1;
    ::GetClientRect(m_hWnd, &ti.rect);
    ti.lpszText = const_cast<LPSTR>(static_cast<LPCSTR>(m_sToolTipText));
}

void COXEdit::SetToolTipText(LPCTSTR lpszText)
{
    m_sToolTipText = lpszText != nullptr ? lpszText : "";
    if (m_hToolTip != nullptr) {
        TOOLINFO ti{};
        ToolRect(ti);
        ::SendMessage(m_hToolTip, TTM_SETTOOLINFO, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

BOOL COXEdit::PreTranslateMessage(MSG* pMsg)
{
    if (m_hToolTip != nullptr) {
        ::SendMessage(m_hToolTip, TTM_ACTIVATE, TRUE, 0);
        ::SendMessage(m_hToolTip, TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(pMsg));
    }
    return CEdit::PreTranslateMessage(pMsg);
}

void COXEdit::OnSize(UINT nType, int cx, int cy)
{
    CEdit::OnSize(nType, cx, cy);
    if (m_hToolTip != nullptr) {
        TOOLINFO ti{};
        ToolRect(ti);
        ::SendMessage(m_hToolTip, TTM_SETTOOLINFO, 0, reinterpret_cast<LPARAM>(&ti));
    }
}

void COXEdit::OnDestroy()
{
    if (m_hToolTip != nullptr) {
        TOOLINFO ti{};
        ToolRect(ti);
        ::SendMessage(m_hToolTip, TTM_DELTOOL, 0, reinterpret_cast<LPARAM>(&ti));
        ::DestroyWindow(m_hToolTip);
        m_hToolTip = nullptr;
    }
    CEdit::OnDestroy();
}

BOOL COXEdit::SetMask(LPCTSTR lpszMask)
{
    if (!m_text.SetMask(lpszMask))
        return FALSE;
    ReformatAndLimit();
    UpdateText(0);
    return TRUE;
}

void COXEdit::GetInputData(CString& out) const
{
    out = m_text.GetInput();
}

BOOL COXEdit::SetInputData(LPCTSTR lpszText, int nPosition)
{
    if (!m_text.SetInputData(lpszText, nPosition, m_bInsertMode))
        return FALSE;
    ReformatAndLimit();
    UpdateText(-1);
    return TRUE;
}

void COXEdit::EmptyData(BOOL bOnlyInput)
{
    if (bOnlyInput)
        m_text.EmptyInput();
    else
        DeleteContents();
    UpdateText(0);
}

void COXEdit::ValidationError()
{
    ::MessageBeep(MB_ICONEXCLAMATION);
}

void COXEdit::DeleteContents()
{
    m_text.DeleteContents();
}

BOOL COXEdit::IsInputPosition(int nPosition) const
{
    return m_text.IsInputPosition(nPosition);
}

BOOL COXEdit::IsInsertPosition(int nPosition) const
{
    return m_text.IsInsertPosition(nPosition);
}

int COXEdit::GetNextInputPosition(int nPosition) const
{
    return m_text.GetNextInputPosition(nPosition);
}

int COXEdit::GetPrevInputPosition(int nPosition) const
{
    return m_text.GetPrevInputPosition(nPosition);
}

int COXEdit::DeleteRange(int& nStart, int& nEnd)
{
    const int count = m_text.DeleteRange(nStart, nEnd);
    if (count > 0)
        UpdateText(-1);
    return count;
}

int COXEdit::InsertAt(int nPosition, TCHAR chNew)
{
    const int pos = m_text.InsertAt(nPosition, chNew);
    return pos < 0 ? -1 : pos + GetFormatShift();
}

int COXEdit::OverwriteAt(int nPosition, TCHAR chNew)
{
    return m_text.OverwriteAt(nPosition, chNew);
}

void COXEdit::UpdateText(int nPosition)
{
    if (!::IsWindow(m_hWnd))
        return;
    ++m_nUpdateDepth;
    SetWindowText(m_text.GetFullText());
    --m_nUpdateDepth;
    SendMessage(EM_SETMODIFY, TRUE);
    if (nPosition >= 0)
        SetCaretForward(nPosition);
}

void COXEdit::SetCaretForward(int nPosition)
{
    const int pos = GetNextInputPosition(nPosition);
    SetSel(pos, pos);
}

void COXEdit::SetCaretBackward(int nPosition)
{
    const int pos = GetPrevInputPosition(nPosition);
    SetSel(pos, pos);
}

void COXEdit::NotifyParent(UINT nNotificationID)
{
    HWND hParent = ::GetParent(m_hWnd);
    if (hParent != nullptr)
        ::SendMessage(hParent, WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), nNotificationID),
                      reinterpret_cast<LPARAM>(m_hWnd));
}

void COXEdit::CopyFont()
{
    m_font.DeleteObject();
    if (!::IsWindow(m_hWnd))
        return;
    auto hFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    LOGFONT lf{};
    if (hFont != nullptr && ::GetObject(hFont, sizeof(lf), &lf) == sizeof(lf))
        m_font.CreateFontIndirect(&lf);
}

int COXEdit::ReformatAndLimit()
{
    const int shift = GetFormatShift();
    if (::IsWindow(m_hWnd) &&
        m_text.GetInputLength() > static_cast<int>(SendMessage(EM_GETLIMITTEXT)))
        m_text.SetInput(m_sLastInput);
    m_sLastInput = m_text.GetInput();
    return shift;
}

bool COXEdit::PlaceChar(int nStart, char ch, bool bInsert)
{
    int pos = bInsert ? InsertAt(nStart, ch) : OverwriteAt(nStart, ch);
    if (pos < 0)
        return false;
    // A line break is always both characters; the LF is added even when overwriting.
    if (ch == '\r') {
        pos = InsertAt(pos + 1, '\n');
        if (pos < 0)
            return false;
    }
    ReformatAndLimit();
    UpdateText(pos + 1);
    return true;
}

int COXEdit::DeleteOneFrom(int nPos, bool bForward, int& nStart)
{
    const int left = m_text.GetLeftCount();
    const int end = left + m_text.GetInputLength();
    const int p = bForward ? std::max(nPos, left) : std::min(nPos, end) - 1;
    if (p < left || p >= end)
        return 0;
    nStart = p;
    int nEnd = p + 1;
    return DeleteRange(nStart, nEnd);
}

void COXEdit::OnChar(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (IsReadOnly()) {
        Default();
        return;
    }
    int s = 0, e = 0;
    GetSel(s, e);
    const DWORD style = GetStyle();
    const bool multiLine = (style & ES_MULTILINE) != 0;
    if (nChar == '\n') {
        if (!multiLine) {
            Default();
            return;
        }
        nChar = '\r';
    } else if (nChar == '\r') {
        if (!multiLine || (style & ES_WANTRETURN) == 0) {
            Default();
            return;
        }
    } else if (nChar == VK_BACK) {
        int start = s, end = e, count = 0;
        if (s != e)
            count = DeleteRange(start, end);
        if (count == 0)
            count = DeleteOneFrom(s, false, start);
        if (count > 0)
            SetCaretForward(start);
        return;
    } else if (nChar < 32) {
        Default();
        return;
    }
    const char ch = static_cast<char>(nChar);
    bool placed;
    if (s == e) {
        if ((style & ES_NUMBER) != 0 && !(ch >= '0' && ch <= '9') && ch != '\r') {
            Default();
            return;
        }
        if (!IsInsertPosition(s)) {
            ValidationError();
            SetCaretForward(s);
            return;
        }
        placed = PlaceChar(s, ch, m_bInsertMode != FALSE);
    } else {
        int start = s, end = e;
        if (DeleteRange(start, end) == 0) {
            ValidationError();
            SetCaretForward(s);
            return;
        }
        placed = PlaceChar(start, ch, true);
    }
    if (!placed) {
        ValidationError();
        UpdateText(s);
    }
}

void COXEdit::OnKeyDown(UINT nChar, UINT nRepCnt, UINT nFlags)
{
    if (IsReadOnly()) {
        Default();
        return;
    }
    const bool shift = ::GetKeyState(VK_SHIFT) < 0;
    const bool ctrl = ::GetKeyState(VK_CONTROL) < 0;
    int s = 0, e = 0;
    switch (nChar) {
    case VK_DELETE: {
        if (shift)
            break;
        GetSel(s, e);
        int start = s, end = e, count = 0;
        if (s != e)
            count = DeleteRange(start, end);
        if (count == 0)
            count = DeleteOneFrom(s != e ? e : s, true, start);
        if (count > 0)
            SetCaretForward(start);
        return;
    }
    case VK_HOME:
    case VK_END:
        Default();
        GetSel(s, e);
        if (!shift && !IsInsertPosition(e)) {
            if (nChar == VK_HOME)
                SetCaretForward(e);
            else
                SetCaretBackward(e);
        }
        return;
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN:
        Default();
        if (!shift) {
            GetSel(s, e);
            if (nChar == VK_LEFT || nChar == VK_UP)
                SetCaretBackward(e);
            else
                SetCaretForward(e);
        }
        return;
    case VK_INSERT:
        if (shift || ctrl)
            break;
        m_bInsertMode = !m_bInsertMode;
        return;
    default:
        break;
    }
    Default();
}

LRESULT COXEdit::OnCut(WPARAM, LPARAM)
{
    int s = 0, e = 0;
    GetSel(s, e);
    const LRESULT result = Default();
    int start = s, end = e;
    DeleteRange(start, end);
    UpdateText(start);
    return result;
}

LRESULT COXEdit::OnPaste(WPARAM, LPARAM)
{
    int s = 0, e = 0;
    GetSel(s, e);
    const LRESULT result = Default();
    CString text;
    GetWindowText(text);
    // The edit pasted into the whole text: take the literals off again, with or without a
    // selection, or they would become input.
    const CString& left = m_text.GetLeftLiterals();
    const CString& right = m_text.GetRightLiterals();
    if (!left.IsEmpty() && text.Left(left.GetLength()) == left)
        text = text.Mid(left.GetLength());
    if (!right.IsEmpty() && text.GetLength() >= right.GetLength() &&
        text.Right(right.GetLength()) == right)
        text = text.Left(text.GetLength() - right.GetLength());
    EmptyData(TRUE);
    SetInputData(text, 0);
    SetCaretForward(s);
    return result;
}

LRESULT COXEdit::OnSetText(WPARAM, LPARAM lParam)
{
    if (m_nUpdateDepth > 0) {
        const LRESULT result = Default();
        NotifyParent(EN_UPDATE);
        if (m_bNotifyChange)
            NotifyParent(EN_CHANGE);
        return result;
    }
    m_text.EmptyInput();
    m_bNotifyChange = FALSE;
    SetInputData(reinterpret_cast<LPCTSTR>(lParam), 0);
    m_bNotifyChange = TRUE;
    return TRUE;
}

void COXEdit::OnSetFocus(CWnd* pOldWnd)
{
    CEdit::OnSetFocus(pOldWnd);
    if (!m_bKeepSelectionOnFocus) {
        int s = 0, e = 0;
        GetSel(s, e);
        if (s == 0 && e == GetWindowTextLength())
            SetCaretForward(0);
    }
    if (m_font.GetSafeHandle() != nullptr) {
        m_bFontGuard = TRUE;
        SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(m_font.GetSafeHandle()), TRUE);
        m_bFontGuard = FALSE;
    }
}

void COXEdit::OnLButtonDown(UINT nFlags, CPoint point)
{
    CEdit::OnLButtonDown(nFlags, point);
    int s = 0, e = 0;
    GetSel(s, e);
    if (s == e && !IsInsertPosition(s))
        SetCaretForward(0);
}

LRESULT COXEdit::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    const LRESULT result = CEdit::WindowProc(message, wParam, lParam);
    if (message == WM_SETTINGCHANGE && ::IsWindow(m_hWnd)) {
        CString input;
        GetInputData(input);
        UpdateFormat();
        EmptyData(TRUE);
        SetInputData(input, 0);
    } else if (message == WM_SETFONT && !m_bFontGuard) {
        CopyFont();
    }
    return result;
}

BOOL COXEdit::OnChildNotify(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    if (message != WM_CTLCOLOREDIT && message != WM_CTLCOLORSTATIC)
        return CEdit::OnChildNotify(message, wParam, lParam, pResult);
    COLORREF text, back;
    if (!IsWindowEnabled()) {
        text = ::GetSysColor(COLOR_GRAYTEXT);
        back = ::GetSysColor(COLOR_BTNFACE);
    } else if (IsReadOnly()) {
        text = m_clrReadOnlyText;
        back = m_clrReadOnlyBack;
    } else {
        text = m_clrText;
        back = m_clrBack;
    }
    auto hDC = reinterpret_cast<HDC>(wParam);
    ::SetTextColor(hDC, text);
    ::SetBkColor(hDC, back);
    if (m_font.GetSafeHandle() != nullptr)
        ::SelectObject(hDC, m_font.GetSafeHandle());
    // One brush for every masked edit, made anew for each paint.
    static HBRUSH s_hBrush = nullptr;
    if (s_hBrush != nullptr)
        ::DeleteObject(s_hBrush);
    s_hBrush = ::CreateSolidBrush(back);
    if (pResult != nullptr)
        *pResult = reinterpret_cast<LRESULT>(s_hBrush);
    return TRUE;
}
