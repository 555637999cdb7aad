// Edit controls with a small "..." button inside their border: the drop edit runs an overridable
// action from the button or its hot key; the browse edits open the folder picker or a file-open
// dialog from it and take the chosen path as their text.
// Classes here: COXDropEdit<>, COXBaseBrowseDirEdit<>, COXBaseBrowseFileEdit<>, COXBrowseFileEdit.
#pragma once

#include <windows.h>

#include "framework/dialog.h"
#include "framework/exceptions.h"
#include "framework/ui.h"
#include "toolkit/controls/browse_edit/browse_edit_res.h"
#include "toolkit/controls/folder_picker/folder_picker_dlg.h"
#include "toolkit/controls/masked_edit/ox_edit.h"

inline constexpr char kOXBrowseEditVersion[] = "1.1";

// PARENTEDIT must be an edit class (CEdit or derived); anything else throws
// CNotSupportedException from the constructor.
template <class PARENTEDIT> class COXDropEdit : public PARENTEDIT
{
public:
    // The tracking timer that runs while the button is held.
    static constexpr UINT_PTR kTrackTimerId = 227;
    static constexpr UINT kTrackTimerMs = 200;
    // Hot-key modifier bits: every bit set must be down.
    enum { HKM_CTRL = 1, HKM_SHIFT = 2, HKM_ALT = 4 };

    COXDropEdit()
    {
        if (!this->IsKindOf(RUNTIME_CLASS(CEdit)))
            AfxThrowNotSupportedException();
    }

    // Runs on a click of the button and on the hot key. Shows the popup menu when one is set.
    virtual void OnDropButton();
    // Runs once when the control is set up (subclassed, or its first message after WM_CREATE).
    virtual BOOL OnInitDropEdit() { return TRUE; }
    // Draws the button's 3D frame, fills the inside; returns the inside.
    virtual CRect DrawButtonFrame(CDC* pDC, CRect rect, BOOL bPressed);
    virtual void DrawButtonImage(CDC* pDC, CRect rect, BOOL bPressed);

    // The button in client coordinates, beside the client area; empty when hidden.
    CRect GetButtonRect() const;
    BOOL IsOnButton(CPoint ptScreen) const;

    void SetButtonAlignment(BOOL bLeft) { m_bButtonLeft = bLeft; RecalcFrame(); }
    void SetButtonWidth(int nWidth) { m_nButtonWidth = nWidth; RecalcFrame(); }
    void ShowButton(BOOL bShow) { m_bButtonVisible = bShow; RecalcFrame(); }
    BOOL IsButtonVisible() const { return m_bButtonVisible; }
    // The menu is not owned; null for none.
    void SetDropMenu(CMenu* pMenu) { m_pMenu = pMenu; }
    void SetHotKey(UINT nVirtKey, int nModifiers)
    {
        m_nHotKey = nVirtKey;
        m_nHotKeyModifiers = nModifiers;
    }
    BOOL IsTracking() const { return m_bTracking; }
    BOOL IsShownPressed() const { return m_bShownPressed; }

protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    // The screen point of a non-client mouse message (signed: monitors left of the primary).
    static CPoint PointOf(LPARAM lParam)
    {
        return CPoint(static_cast<short>(LOWORD(lParam)), static_cast<short>(HIWORD(lParam)));
    }
    BOOL IsUsable() const
    {
        return this->IsWindowEnabled() && (this->GetStyle() & ES_READONLY) == 0;
    }
    void RecalcFrame()
    {
        if (::IsWindow(this->m_hWnd))
            ::SetWindowPos(this->m_hWnd, nullptr, 0, 0, 0, 0,
                           SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER |
                               SWP_NOACTIVATE);
    }
    void RedrawFrame() { this->RedrawWindow(nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE); }
    void StopTracking()
    {
        m_bTracking = FALSE;
        m_bShownPressed = FALSE;
        if (m_nTimerId != 0) {
            this->KillTimer(m_nTimerId);
            m_nTimerId = 0;
        }
    }
    void OnNcCalcSize(LPARAM lParam);
    void OnTrackTimer();
    BOOL IsHotKey(UINT nChar) const;
    void PaintButton();

    BOOL m_bButtonLeft = FALSE;
    int m_nButtonWidth = ::GetSystemMetrics(SM_CXHTHUMB);
    BOOL m_bButtonVisible = TRUE;
    BOOL m_bTracking = FALSE;
    BOOL m_bShownPressed = FALSE;
    BOOL m_bDropInitialized = FALSE;
    BOOL m_bCreated = FALSE;
    BOOL m_bFramePending = FALSE;
    UINT_PTR m_nTimerId = 0;
    CMenu* m_pMenu = nullptr;
    UINT m_nHotKey = VK_RETURN;
    int m_nHotKeyModifiers = HKM_ALT;
};

// Opens the toolkit's folder picker from the button; its caption comes from the string id.
template <class PARENTEDIT> class COXBaseBrowseDirEdit : public COXDropEdit<PARENTEDIT>
{
public:
    explicit COXBaseBrowseDirEdit(UINT nCaptionID = IDS_OX_FOLDERPICKERTITLE)
    {
        m_sCaption.LoadString(nCaptionID);
    }

    void OnDropButton() override;
    virtual CString GetPath(CString& sPath) const
    {
        this->GetWindowText(sPath);
        return sPath;
    }
    virtual void SetPath(LPCTSTR lpszPath) { this->SetWindowText(lpszPath); }

    const CString& GetCaption() const { return m_sCaption; }
    // TRUE while the button's dialog is open.
    BOOL IsBusy() const { return m_bBusy; }

protected:
    CString m_sCaption;
    BOOL m_bBusy = FALSE;
};

// Opens a file-open dialog from the button. The dialog is kept between uses, so it starts from
// the file chosen last time, not from the edit's text.
template <class PARENTEDIT> class COXBaseBrowseFileEdit : public COXBaseBrowseDirEdit<PARENTEDIT>
{
public:
    COXBaseBrowseFileEdit()
        : COXBaseBrowseDirEdit<PARENTEDIT>(IDS_OX_BROWSEDIRCAPTION),
          m_fileDialog(TRUE, nullptr, nullptr, OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                       "All Files (*.*)|*.*|", nullptr)
    {
    }

    void OnDropButton() override;
    CFileDialog& GetFileDialog() { return m_fileDialog; }

protected:
    CFileDialog m_fileDialog;
};

// The file-browse edit over the masked edit: its path is the masked edit's input.
class COXBrowseFileEdit : public COXBaseBrowseFileEdit<COXEdit>
{
public:
    CString GetPath(CString& sPath) const override;
    void SetPath(LPCTSTR lpszPath) override;
};

// ---------------------------------------------------------------------------------------------
// COXDropEdit

template <class PARENTEDIT> void COXDropEdit<PARENTEDIT>::OnDropButton()
{
    if (m_pMenu != nullptr && m_pMenu->GetSafeHmenu() != nullptr) {
        CRect rc;
        this->GetWindowRect(&rc);
        const UINT nAlign = m_bButtonLeft ? TPM_LEFTALIGN : TPM_RIGHTALIGN;
        ::TrackPopupMenu(m_pMenu->GetSafeHmenu(), nAlign | TPM_LEFTBUTTON,
                         m_bButtonLeft ? rc.left : rc.right, rc.bottom, 0, this->m_hWnd,
                         nullptr);
    }
    this->SetFocus();
}

template <class PARENTEDIT>
CRect COXDropEdit<PARENTEDIT>::DrawButtonFrame(CDC* pDC, CRect rect, BOOL bPressed)
{
    const COLORREF clrLight = ::GetSysColor(COLOR_BTNHIGHLIGHT);
    const COLORREF clrShadow = ::GetSysColor(COLOR_BTNSHADOW);
    pDC->Draw3dRect(&rect, bPressed ? clrShadow : clrLight, bPressed ? clrLight : clrShadow);
    rect.DeflateRect(1, 1);
    pDC->FillSolidRect(&rect, ::GetSysColor(COLOR_BTNFACE));
    return rect;
}

template <class PARENTEDIT>
void COXDropEdit<PARENTEDIT>::DrawButtonImage(CDC* pDC, CRect rect, BOOL bPressed)
{
    if (bPressed) {
        rect.left += 1;
        rect.top += 1;
    }
    const int nOldMode = pDC->SetBkMode(TRANSPARENT);
    const COLORREF clrOld =
        pDC->SetTextColor(::GetSysColor(IsUsable() ? COLOR_WINDOWTEXT : COLOR_GRAYTEXT));
    CFont* pFont = this->GetFont();
    CFont* pOldFont = pFont != nullptr ? pDC->SelectObject(pFont) : nullptr;
    pDC->DrawText("...", 3, &rect, DT_CENTER | DT_BOTTOM | DT_SINGLELINE);
    if (pOldFont != nullptr)
        pDC->SelectObject(pOldFont);
    pDC->SetTextColor(clrOld);
    pDC->SetBkMode(nOldMode);
}

template <class PARENTEDIT> CRect COXDropEdit<PARENTEDIT>::GetButtonRect() const
{
    if (!m_bButtonVisible || !::IsWindow(this->m_hWnd))
        return CRect(0, 0, 0, 0);
    CRect rc;
    this->GetClientRect(&rc);
    if (m_bButtonLeft)
        return CRect(rc.left - m_nButtonWidth, rc.top, rc.left, rc.bottom);
    return CRect(rc.right, rc.top, rc.right + m_nButtonWidth, rc.bottom);
}

template <class PARENTEDIT> BOOL COXDropEdit<PARENTEDIT>::IsOnButton(CPoint ptScreen) const
{
    if (!m_bButtonVisible)
        return FALSE;
    CPoint pt = ptScreen;
    this->ScreenToClient(&pt);
    return GetButtonRect().PtInRect(pt);
}

template <class PARENTEDIT> void COXDropEdit<PARENTEDIT>::PreSubclassWindow()
{
    if (!AfxIsWindowCreationUnderway() && !m_bDropInitialized) {
        m_bDropInitialized = TRUE;
        OnInitDropEdit();
        m_bFramePending = TRUE;
    }
    PARENTEDIT::PreSubclassWindow();
}

template <class PARENTEDIT> void COXDropEdit<PARENTEDIT>::OnNcCalcSize(LPARAM lParam)
{
    if (!m_bButtonVisible)
        return;
    // rgrc[0] of NCCALCSIZE_PARAMS and the lone RECT of the other form are the same rectangle.
    RECT& rc = *reinterpret_cast<RECT*>(lParam);
    if (m_nButtonWidth >= rc.right - rc.left) {
        if (m_bButtonLeft)
            rc.left = rc.right;
        else
            rc.right = rc.left;
    } else if (m_bButtonLeft) {
        rc.left += m_nButtonWidth;
    } else {
        rc.right -= m_nButtonWidth;
    }
}

template <class PARENTEDIT> void COXDropEdit<PARENTEDIT>::OnTrackTimer()
{
    if (!m_bTracking)
        return;
    const int nButton = ::GetSystemMetrics(SM_SWAPBUTTON) ? VK_RBUTTON : VK_LBUTTON;
    if (::GetAsyncKeyState(nButton) < 0) {
        CPoint pt;
        ::GetCursorPos(&pt);
        const BOOL bOver = IsOnButton(pt);
        if (bOver != m_bShownPressed)
            m_bShownPressed = bOver;
    } else {
        // Released elsewhere: no action.
        StopTracking();
    }
    RedrawFrame();
}

template <class PARENTEDIT> BOOL COXDropEdit<PARENTEDIT>::IsHotKey(UINT nChar) const
{
    if (!IsUsable() || nChar != m_nHotKey)
        return FALSE;
    if ((m_nHotKeyModifiers & HKM_CTRL) && ::GetKeyState(VK_CONTROL) >= 0)
        return FALSE;
    if ((m_nHotKeyModifiers & HKM_SHIFT) && ::GetKeyState(VK_SHIFT) >= 0)
        return FALSE;
    if ((m_nHotKeyModifiers & HKM_ALT) && ::GetKeyState(VK_MENU) >= 0)
        return FALSE;
    return TRUE;
}

template <class PARENTEDIT> void COXDropEdit<PARENTEDIT>::PaintButton()
{
    if (!m_bButtonVisible)
        return;
    CWindowDC dc(this);
    CRect rcWindow, rcClient;
    this->GetWindowRect(&rcWindow);
    this->GetClientRect(&rcClient);
    this->ClientToScreen(&rcClient);
    CRect rcButton = GetButtonRect();
    rcButton.OffsetRect(rcClient.left - rcWindow.left, rcClient.top - rcWindow.top);
    const CRect rcInner = DrawButtonFrame(&dc, rcButton, m_bTracking && m_bShownPressed);
    DrawButtonImage(&dc, rcInner, m_bTracking && m_bShownPressed);
}

template <class PARENTEDIT>
LRESULT COXDropEdit<PARENTEDIT>::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (m_bCreated && !m_bDropInitialized) {
        m_bDropInitialized = TRUE;
        OnInitDropEdit();
    }
    if (m_bFramePending) {
        m_bFramePending = FALSE;
        RecalcFrame();
    }
    switch (message) {
    case WM_NCCALCSIZE: {
        const LRESULT result = PARENTEDIT::WindowProc(message, wParam, lParam);
        OnNcCalcSize(lParam);
        return result;
    }
    case WM_NCHITTEST:
        if (IsOnButton(PointOf(lParam)))
            return HTBORDER;
        break;
    case WM_NCLBUTTONDOWN: {
        const LRESULT result = PARENTEDIT::WindowProc(message, wParam, lParam);
        if (IsUsable() && IsOnButton(PointOf(lParam))) {
            m_bTracking = TRUE;
            m_bShownPressed = TRUE;
            RedrawFrame();
            m_nTimerId = this->SetTimer(kTrackTimerId, kTrackTimerMs);
        }
        return result;
    }
    case WM_TIMER:
        if (wParam != kTrackTimerId)
            break;
        OnTrackTimer();
        return 0;
    case WM_NCLBUTTONUP: {
        const LRESULT result = PARENTEDIT::WindowProc(message, wParam, lParam);
        if (m_bTracking && IsOnButton(PointOf(lParam))) {
            StopTracking();
            RedrawFrame();
            OnDropButton();
        }
        return result;
    }
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
        if (!IsHotKey(static_cast<UINT>(wParam)))
            break;
        if (m_bTracking) {
            StopTracking();
            RedrawFrame();
        }
        OnDropButton();
        return 0;
    case WM_NCPAINT:
    case WM_PAINT: {
        const LRESULT result = PARENTEDIT::WindowProc(message, wParam, lParam);
        PaintButton();
        return result;
    }
    case WM_DESTROY:
        StopTracking();
        break;
    case WM_CREATE: {
        const LRESULT result = PARENTEDIT::WindowProc(message, wParam, lParam);
        m_bCreated = TRUE;
        return result;
    }
    default:
        break;
    }
    return PARENTEDIT::WindowProc(message, wParam, lParam);
}

// ---------------------------------------------------------------------------------------------
// COXBaseBrowseDirEdit

template <class PARENTEDIT> void COXBaseBrowseDirEdit<PARENTEDIT>::OnDropButton()
{
    m_bBusy = TRUE;
    CString sPath;
    GetPath(sPath);
    try {
        COXFolderPickerDlg picker(sPath, "", TRUE, TRUE, TRUE, FALSE, "", TRUE, nullptr,
                                  IDS_OX_FOLDERPICKERTITLE);
        picker.SetTitle(m_sCaption);
        if (picker.DoModal() == IDOK)
            SetPath(picker.GetFolderPath());
    } catch (CException* e) {
        e->Delete();
    }
    if (::IsWindow(this->m_hWnd))
        this->SetFocus();
    m_bBusy = FALSE;
}

// ---------------------------------------------------------------------------------------------
// COXBaseBrowseFileEdit

template <class PARENTEDIT> void COXBaseBrowseFileEdit<PARENTEDIT>::OnDropButton()
{
    this->m_bBusy = TRUE;
    try {
        if (m_fileDialog.DoModal() == IDOK)
            this->SetPath(m_fileDialog.GetPathName());
    } catch (CException* e) {
        e->Delete();
    }
    if (::IsWindow(this->m_hWnd))
        this->SetFocus();
    this->m_bBusy = FALSE;
}
