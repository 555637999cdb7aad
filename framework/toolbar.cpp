// CToolBar: buttons from a toolbar resource, the dynamic layout, non-client borders and
// gripper, command updates, tooltips and flyby prompts.
#include "framework/toolbar.h"

#include <algorithm>

#include "framework/frame.h"
#include "framework/statusbar.h"

IMPLEMENT_DYNAMIC(CToolBar, CControlBar)

namespace {

const LPCTSTR kRtToolbar = MAKEINTRESOURCE(241);
constexpr int kSeparatorWidth = 8;
constexpr UINT kIdleMessage = AFX_IDS_IDLEMESSAGE;

// The layout of an RT_TOOLBAR resource.
struct ToolBarData {
    WORD wVersion;
    WORD wWidth;
    WORD wHeight;
    WORD wItemCount;
    // WORD aItems[wItemCount]
};

// The tooltip text of a command: the part of its string after the first newline.
CString TipText(UINT nID)
{
    CString s;
    if (nID == 0 || !s.LoadString(nID))
        return CString();
    int nl = s.Find('\n');
    return nl >= 0 ? s.Mid(nl + 1) : CString();
}

} // namespace

// clang-format off
BEGIN_MESSAGE_MAP(CToolBar, CControlBar)
    ON_WM_NCCALCSIZE()
    ON_WM_NCPAINT()
    ON_WM_NCHITTEST()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_MOUSEMOVE()
    ON_WM_MOUSELEAVE()
END_MESSAGE_MAP()
// clang-format on

CToolBar::CToolBar()
{
    m_cxLeftBorder = m_cxRightBorder = 1;
    m_cyTopBorder = m_cyBottomBorder = 1;
}

CToolBar::~CToolBar()
{
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
    if (m_hbmImageWell != nullptr)
        ::DeleteObject(m_hbmImageWell);
}

BOOL CToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    return CreateEx(pParentWnd, 0, dwStyle,
                    CRect(m_cxLeftBorder, m_cyTopBorder, m_cxRightBorder, m_cyBottomBorder), nID);
}

BOOL CToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect rcBorders,
                        UINT nID)
{
    ::InitCommonControls();
    SetBorders(rcBorders.left, rcBorders.top, rcBorders.right, rcBorders.bottom);
    m_dwStyle = dwStyle & CBRS_ALL;
    DWORD dwWndStyle = (dwStyle & ~CBRS_ALL) | dwCtrlStyle | CCS_NOPARENTALIGN | CCS_NOMOVEY |
                       CCS_NODIVIDER | CCS_NORESIZE;
    if (dwStyle & CBRS_TOOLTIPS)
        dwWndStyle |= TBSTYLE_TOOLTIPS;
    CRect rect(0, 0, 0, 0);
    if (!CWnd::Create(TOOLBARCLASSNAME, nullptr, dwWndStyle, rect, pParentWnd, nID))
        return FALSE;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    SetSizes(m_sizeButton, m_sizeImage);
    return TRUE;
}

void CToolBar::SetSizes(SIZE sizeButton, SIZE sizeImage)
{
    m_sizeButton = sizeButton;
    m_sizeImage = sizeImage;
    if (m_hWnd == nullptr)
        return;
    SendMessage(TB_SETBITMAPSIZE, 0, MAKELPARAM(sizeImage.cx, sizeImage.cy));
    SendMessage(TB_SETBUTTONSIZE, 0, MAKELPARAM(sizeButton.cx, sizeButton.cy));
}

CSize CToolBar::GetButtonSize() const
{
    DWORD size = static_cast<DWORD>(SendMessage(TB_GETBUTTONSIZE));
    return CSize(LOWORD(size), HIWORD(size));
}

BOOL CToolBar::LoadToolBar(LPCTSTR lpszResourceName)
{
    HINSTANCE hInst = AfxGetResourceHandle();
    HRSRC hRsrc = ::FindResource(hInst, lpszResourceName, kRtToolbar);
    HGLOBAL hGlobal = hRsrc != nullptr ? ::LoadResource(hInst, hRsrc) : nullptr;
    auto* pData = hGlobal != nullptr ? static_cast<const ToolBarData*>(::LockResource(hGlobal))
                                     : nullptr;
    const DWORD cb = hRsrc != nullptr ? ::SizeofResource(hInst, hRsrc) : 0;
    if (pData == nullptr || cb < sizeof(ToolBarData) || pData->wVersion != 1)
        return FALSE;
    if (pData->wItemCount > (cb - sizeof(ToolBarData)) / sizeof(WORD))
        return FALSE; // the id list runs past the resource
    const WORD* items = reinterpret_cast<const WORD*>(pData + 1);
    std::vector<UINT> ids(items, items + pData->wItemCount);
    if (!SetButtons(ids.data(), static_cast<int>(ids.size())))
        return FALSE;
    SetSizes(CSize(pData->wWidth + 7, pData->wHeight + 7), CSize(pData->wWidth, pData->wHeight));
    return LoadBitmap(lpszResourceName);
}

BOOL CToolBar::LoadBitmap(LPCTSTR lpszResourceName)
{
    HBITMAP hbm = static_cast<HBITMAP>(::LoadImage(AfxGetResourceHandle(), lpszResourceName,
                                                   IMAGE_BITMAP, 0, 0, LR_DEFAULTCOLOR));
    if (hbm == nullptr)
        return FALSE;
    BITMAP bm{};
    ::GetObject(hbm, sizeof(bm), &bm);
    TBADDBITMAP add{nullptr, reinterpret_cast<UINT_PTR>(hbm)};
    int nImages = m_sizeImage.cx > 0 ? bm.bmWidth / m_sizeImage.cx : 0;
    if (SendMessage(TB_ADDBITMAP, static_cast<WPARAM>(nImages), reinterpret_cast<LPARAM>(&add)) ==
        -1) {
        ::DeleteObject(hbm);
        return FALSE;
    }
    if (m_hbmImageWell != nullptr)
        ::DeleteObject(m_hbmImageWell);
    m_hbmImageWell = hbm;
    return TRUE;
}

BOOL CToolBar::SetButtons(const UINT* lpIDArray, int nIDCount)
{
    while (GetCount() > 0)
        SendMessage(TB_DELETEBUTTON, 0);
    std::vector<TBBUTTON> buttons;
    int iImage = 0;
    for (int i = 0; i < nIDCount; ++i) {
        TBBUTTON b{};
        b.fsState = TBSTATE_ENABLED;
        b.iString = -1;
        UINT nID = lpIDArray != nullptr ? lpIDArray[i] : 0;
        if (lpIDArray != nullptr && nID == 0) {
            b.fsStyle = TBSTYLE_SEP;
            b.iBitmap = kSeparatorWidth;
        } else {
            b.idCommand = static_cast<int>(nID);
            b.fsStyle = TBSTYLE_BUTTON;
            b.iBitmap = iImage++;
        }
        buttons.push_back(b);
    }
    if (buttons.empty())
        return TRUE;
    return SendMessage(TB_ADDBUTTONS, buttons.size(), reinterpret_cast<LPARAM>(buttons.data())) != 0;
}

int CToolBar::CommandToIndex(UINT nIDFind) const
{
    return static_cast<int>(SendMessage(TB_COMMANDTOINDEX, nIDFind));
}

UINT CToolBar::GetItemID(int nIndex) const
{
    TBBUTTON b{};
    if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&b)))
        return 0;
    return (b.fsStyle & TBSTYLE_SEP) ? 0 : static_cast<UINT>(b.idCommand);
}

void CToolBar::GetItemRect(int nIndex, LPRECT lpRect) const
{
    *lpRect = RECT{};
    SendMessage(TB_GETITEMRECT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(lpRect));
}

UINT CToolBar::GetButtonStyle(int nIndex) const
{
    TBBUTTON b{};
    if (!SendMessage(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&b)))
        return 0;
    return MAKELONG(b.fsStyle, b.fsState);
}

void CToolBar::SetButtonStyle(int nIndex, UINT nStyle)
{
    TBBUTTONINFO info{};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_BYINDEX | TBIF_STYLE | TBIF_STATE;
    info.fsStyle = static_cast<BYTE>(LOWORD(nStyle));
    info.fsState = static_cast<BYTE>(HIWORD(nStyle));
    if (GetButtonStyle(nIndex) != nStyle)
        SendMessage(TB_SETBUTTONINFO, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&info));
}

void CToolBar::GetButtonInfo(int nIndex, UINT& nID, UINT& nStyle, int& iImage) const
{
    TBBUTTON b{};
    SendMessage(TB_GETBUTTON, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&b));
    nID = static_cast<UINT>(b.idCommand);
    nStyle = MAKELONG(b.fsStyle, b.fsState);
    iImage = b.iBitmap;
}

void CToolBar::SetButtonInfo(int nIndex, UINT nID, UINT nStyle, int iImage)
{
    TBBUTTONINFO info{};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_BYINDEX | TBIF_COMMAND | TBIF_STYLE | TBIF_STATE | TBIF_IMAGE;
    info.idCommand = static_cast<int>(nID);
    info.fsStyle = static_cast<BYTE>(LOWORD(nStyle));
    info.fsState = static_cast<BYTE>(HIWORD(nStyle));
    info.iImage = iImage;
    SendMessage(TB_SETBUTTONINFO, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(&info));
}

BOOL CToolBar::SetButtonText(int nIndex, LPCTSTR lpszText)
{
    TBBUTTONINFO info{};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_BYINDEX | TBIF_TEXT;
    info.pszText = const_cast<LPTSTR>(lpszText != nullptr ? lpszText : "");
    return SendMessage(TB_SETBUTTONINFO, static_cast<WPARAM>(nIndex),
                       reinterpret_cast<LPARAM>(&info)) != 0;
}

CString CToolBar::GetButtonText(int nIndex) const
{
    char buffer[256] = {};
    TBBUTTONINFO info{};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_BYINDEX | TBIF_TEXT;
    info.pszText = buffer;
    info.cchText = sizeof(buffer);
    if (SendMessage(TB_GETBUTTONINFO, static_cast<WPARAM>(nIndex),
                    reinterpret_cast<LPARAM>(&info)) < 0)
        return CString();
    return CString(buffer);
}

// --- dynamic layout ---

int CToolBar::LayoutButtonWidth(const TBBUTTON& button, int nIndex) const
{
    if (button.fsStyle & TBSTYLE_SEP)
        return button.iBitmap;
    if (button.fsStyle & TBSTYLE_AUTOSIZE) {
        CRect rect;
        GetItemRect(nIndex, &rect);
        return rect.Width();
    }
    return GetButtonSize().cx;
}

std::vector<TBBUTTON> CToolBar::GetButtons() const
{
    std::vector<TBBUTTON> buttons(static_cast<size_t>(std::max(GetCount(), 0)));
    for (size_t i = 0; i < buttons.size(); ++i)
        SendMessage(TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&buttons[i]));
    return buttons;
}

void CToolBar::SetButtonsState(const std::vector<TBBUTTON>& buttons)
{
    for (size_t i = 0; i < buttons.size(); ++i) {
        TBBUTTON now{};
        SendMessage(TB_GETBUTTON, i, reinterpret_cast<LPARAM>(&now));
        if ((now.fsState ^ buttons[i].fsState) & TBSTATE_WRAP) {
            TBBUTTONINFO info{};
            info.cbSize = sizeof(info);
            info.dwMask = TBIF_BYINDEX | TBIF_STATE;
            info.fsState = static_cast<BYTE>((now.fsState & ~TBSTATE_WRAP) |
                                             (buttons[i].fsState & TBSTATE_WRAP));
            SendMessage(TB_SETBUTTONINFO, i, reinterpret_cast<LPARAM>(&info));
        }
    }
}

CSize CToolBar::LayoutSize(const std::vector<TBBUTTON>& buttons) const
{
    const CSize button = GetButtonSize();
    int x = 0, y = 0, cx = 0;
    for (size_t i = 0; i < buttons.size(); ++i) {
        const TBBUTTON& b = buttons[i];
        if (b.fsState & TBSTATE_HIDDEN)
            continue;
        x += LayoutButtonWidth(b, static_cast<int>(i));
        cx = std::max(cx, x);
        if (b.fsState & TBSTATE_WRAP) {
            x = 0;
            y += button.cy;
            if (b.fsStyle & TBSTYLE_SEP)
                y += b.iBitmap;
        }
    }
    return CSize(cx, y + button.cy);
}

int CToolBar::LayoutWrap(std::vector<TBBUTTON>& buttons, int nWidth) const
{
    int x = 0, rows = 1;
    int lastVisible = -1;
    for (size_t i = 0; i < buttons.size(); ++i) {
        TBBUTTON& b = buttons[i];
        b.fsState &= ~TBSTATE_WRAP;
        if (b.fsState & TBSTATE_HIDDEN)
            continue;
        int w = LayoutButtonWidth(b, static_cast<int>(i));
        if (x > 0 && x + w > nWidth && lastVisible >= 0) {
            // A separator at the end of a row is where the row breaks; a button that does not
            // fit starts the next row.
            buttons[static_cast<size_t>(lastVisible)].fsState |= TBSTATE_WRAP;
            ++rows;
            x = 0;
            if (b.fsStyle & TBSTYLE_SEP) { // no separator starts a row
                b.fsState |= TBSTATE_WRAP;
                lastVisible = static_cast<int>(i);
                continue;
            }
        }
        x += w;
        lastVisible = static_cast<int>(i);
    }
    return rows;
}

void CToolBar::LayoutSizeTo(std::vector<TBBUTTON>& buttons, int nLength, BOOL bVert) const
{
    int lo = 0, hi = 32767;
    if (bVert) {
        // The narrowest width whose height fits nLength.
        while (lo < hi) {
            int mid = (lo + hi) / 2;
            LayoutWrap(buttons, mid);
            if (LayoutSize(buttons).cy > nLength)
                lo = mid + 1;
            else
                hi = mid;
        }
    } else {
        // The narrowest width with no more rows than wrapping at nLength gives.
        int rows = LayoutWrap(buttons, nLength);
        while (lo < hi) {
            int mid = (lo + hi) / 2;
            if (LayoutWrap(buttons, mid) > rows)
                lo = mid + 1;
            else
                hi = mid;
        }
    }
    LayoutWrap(buttons, lo);
}

CSize CToolBar::LayoutCalc(DWORD dwMode, int nLength)
{
    std::vector<TBBUTTON> buttons = GetButtons();
    if (dwMode & LM_HORZDOCK) {
        LayoutWrap(buttons, 32767);
    } else if (dwMode & LM_VERTDOCK) {
        for (TBBUTTON& b : buttons)
            b.fsState |= TBSTATE_WRAP;
    } else if (dwMode & LM_MRUWIDTH) {
        LayoutSizeTo(buttons, static_cast<int>(m_nMRUWidth), FALSE);
    } else if (nLength != -1) {
        CRect inside(0, 0, 0, 0);
        CalcInsideRect(inside, (dwMode & LM_HORZ) != 0);
        int length = nLength + ((dwMode & LM_LENGTHY) ? inside.Height() : inside.Width());
        LayoutSizeTo(buttons, length, (dwMode & LM_LENGTHY) != 0);
    } else {
        LayoutWrap(buttons, 32767);
    }
    CSize size = LayoutSize(buttons);
    if (dwMode & LM_COMMIT) {
        SetButtonsState(buttons);
        if ((dwMode & (LM_HORZDOCK | LM_VERTDOCK)) == 0)
            m_nMRUWidth = static_cast<UINT>(size.cx);
    }
    CRect inside(0, 0, 0, 0);
    CalcInsideRect(inside, (dwMode & LM_HORZ) != 0);
    size.cx -= inside.Width();
    size.cy -= inside.Height();
    if (dwMode & LM_STRETCH) {
        if (dwMode & LM_HORZ)
            size.cx = 32767;
        else
            size.cy = 32767;
    }
    return size;
}

CSize CToolBar::CalcFixedLayout(BOOL bStretch, BOOL bHorz)
{
    DWORD dwMode = (bStretch ? LM_STRETCH : 0) | LM_COMMIT;
    dwMode |= bHorz ? (LM_HORZ | LM_HORZDOCK) : LM_VERTDOCK;
    return LayoutCalc(dwMode, -1);
}

CSize CToolBar::CalcDynamicLayout(int nLength, DWORD dwMode)
{
    if (nLength == -1 && (dwMode & (LM_MRUWIDTH | LM_COMMIT)) == 0 &&
        (dwMode & (LM_HORZDOCK | LM_VERTDOCK)) != 0)
        return CalcFixedLayout((dwMode & LM_STRETCH) != 0, (dwMode & LM_HORZDOCK) != 0);
    return LayoutCalc(dwMode, nLength);
}

// --- command updates, hit tests, tooltips ---

namespace
{

// Every button's state from pTarget's update handlers.
void UpdateButtons(CToolBar* pBar, CCmdTarget* pTarget, BOOL bDisableIfNoHndler)
{
    CToolCmdUI state;
    state.m_pOther = pBar;
    state.m_nIndexMax = static_cast<UINT>(pBar->GetCount());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        TBBUTTON b{};
        pBar->SendMessage(TB_GETBUTTON, state.m_nIndex, reinterpret_cast<LPARAM>(&b));
        if (b.fsStyle & TBSTYLE_SEP)
            continue;
        state.m_nID = static_cast<UINT>(b.idCommand);
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
}

} // namespace

void CToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    UpdateButtons(this, pTarget, bDisableIfNoHndler);
}

INT_PTR CToolBar::OnToolHitTest(CPoint point, TOOLINFO* pTI) const
{
    POINT pt = point;
    int nHit = static_cast<int>(SendMessage(TB_HITTEST, 0, reinterpret_cast<LPARAM>(&pt)));
    if (nHit < 0 || nHit >= GetCount())
        return -1;
    TBBUTTON b{};
    SendMessage(TB_GETBUTTON, static_cast<WPARAM>(nHit), reinterpret_cast<LPARAM>(&b));
    if (b.fsStyle & TBSTYLE_SEP)
        return -1;
    if (pTI != nullptr) {
        pTI->hwnd = m_hWnd;
        GetItemRect(nHit, &pTI->rect);
        pTI->uId = static_cast<UINT_PTR>(b.idCommand);
        pTI->lpszText = LPSTR_TEXTCALLBACK;
    }
    return b.idCommand;
}

void CToolBar::OnBarStyleChange(DWORD dwOldStyle, DWORD dwNewStyle)
{
    if (m_hWnd == nullptr)
        return;
    // The control's tooltips follow CBRS_TOOLTIPS.
    if ((dwOldStyle ^ dwNewStyle) & CBRS_TOOLTIPS) {
        DWORD style = GetStyle();
        ::SetWindowLongPtr(m_hWnd, GWL_STYLE, (dwNewStyle & CBRS_TOOLTIPS)
                                                  ? (style | TBSTYLE_TOOLTIPS)
                                                  : (style & ~TBSTYLE_TOOLTIPS));
    }
    SetWindowPos(nullptr, 0, 0, 0, 0,
                 SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

LRESULT CToolBar::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    // A bar owned by a window that is no frame (a control's own small toolbar) takes its
    // buttons' states from that window's update handlers.
    if (message == WM_IDLEUPDATECMDUI) {
        CWnd* pOwner = GetOwner();
        if (pOwner != nullptr && pOwner->m_hWnd != m_hWnd &&
            DYNAMIC_DOWNCAST(CFrameWnd, pOwner) == nullptr) {
            if (GetStyle() & WS_VISIBLE)
                UpdateButtons(this, pOwner, static_cast<BOOL>(wParam));
            return 0;
        }
    }
    if (message == WM_NOTIFY) {
        UINT code = reinterpret_cast<NMHDR*>(lParam)->code;
        if (code == TTN_GETDISPINFOA || code == TTN_GETDISPINFOW)
            return OnNotifyThis(wParam, lParam);
    }
    return CControlBar::WindowProc(message, wParam, lParam);
}

LRESULT CToolBar::OnNotifyThis(WPARAM wParam, LPARAM lParam)
{
    auto* hdr = reinterpret_cast<NMHDR*>(lParam);
    if (!(m_dwStyle & CBRS_TOOLTIPS)) {
        AfxSetToolTipText(hdr, "");
        return 0;
    }
    // The frame the bar serves answers first (its map may choose texts of its own); the
    // command string's tip is the answer when it leaves the request empty.
    AfxSetToolTipText(hdr, "");
    CFrameWnd* pFrame = m_pDockSite != nullptr ? m_pDockSite : GetDockingFrame();
    if (pFrame != nullptr && pFrame->m_hWnd != nullptr)
        pFrame->SendMessage(WM_NOTIFY, wParam, lParam);
    const bool answered = hdr->code == TTN_GETDISPINFOA
                              ? reinterpret_cast<NMTTDISPINFOA*>(lParam)->lpszText != nullptr &&
                                    *reinterpret_cast<NMTTDISPINFOA*>(lParam)->lpszText != 0
                              : reinterpret_cast<NMTTDISPINFOW*>(lParam)->lpszText != nullptr &&
                                    *reinterpret_cast<NMTTDISPINFOW*>(lParam)->lpszText != 0;
    if (!answered)
        AfxSetToolTipText(hdr, TipText(static_cast<UINT>(hdr->idFrom)));
    return 0;
}

// --- non-client area and painting ---

void CToolBar::OnNcCalcSize(BOOL, NCCALCSIZE_PARAMS* lpncsp)
{
    // Borders, gaps and gripper are all outside the control's client area.
    CRect rect(lpncsp->rgrc[0]);
    CRect inside(0, 0, 0, 0);
    CalcInsideRect(inside, (m_dwStyle & CBRS_ORIENT_HORZ) != 0);
    rect.left += inside.left;
    rect.top += inside.top;
    rect.right += inside.right;
    rect.bottom += inside.bottom;
    if (rect.right < rect.left)
        rect.right = rect.left;
    if (rect.bottom < rect.top)
        rect.bottom = rect.top;
    lpncsp->rgrc[0] = rect;
}

void CToolBar::OnNcPaint()
{
    CWindowDC dc(this);
    CRect rectClient, rectWindow;
    GetClientRect(&rectClient);
    ClientToScreen(&rectClient);
    GetWindowRect(&rectWindow);
    rectClient.OffsetRect(-rectWindow.left, -rectWindow.top);
    rectWindow.OffsetRect(-rectWindow.left, -rectWindow.top);
    ::ExcludeClipRect(dc, rectClient.left, rectClient.top, rectClient.right, rectClient.bottom);
    DrawBorders(&dc, rectWindow);
    dc.FillSolidRect(&rectWindow, ::GetSysColor(COLOR_BTNFACE));
    DrawGripper(&dc, rectWindow);
}

void CToolBar::OnPaint()
{
    Default(); // the control draws its buttons
}

BOOL CToolBar::OnEraseBkgnd(CDC*)
{
    return static_cast<BOOL>(Default());
}

void CToolBar::OnMouseMove(UINT, CPoint point)
{
    Default();
    if ((m_dwStyle & CBRS_FLYBY) == 0)
        return;
    INT_PTR nID = OnToolHitTest(point, nullptr);
    int nIndex = nID == -1 ? -1 : CommandToIndex(static_cast<UINT>(nID));
    if (nIndex == m_nFlybyIndex)
        return;
    m_nFlybyIndex = nIndex;
    ShowPrompt(nID == -1 ? kIdleMessage : static_cast<UINT>(nID));
    if (!m_bTrackingLeave) {
        TRACKMOUSEEVENT tme{sizeof(tme), TME_LEAVE, m_hWnd, 0};
        m_bTrackingLeave = ::TrackMouseEvent(&tme);
    }
}

void CToolBar::OnMouseLeave()
{
    Default();
    m_bTrackingLeave = FALSE;
    if ((m_dwStyle & CBRS_FLYBY) != 0 && m_nFlybyIndex != -1) {
        m_nFlybyIndex = -1;
        ShowPrompt(kIdleMessage);
    }
}

void CToolBar::ShowPrompt(UINT nID)
{
    // The prompt goes to the message pane of the status bar of the frame the bar serves; a
    // frame words it itself (its idle prompt too), elsewhere it is the command string's first
    // part.
    CFrameWnd* pFrame = GetDockingFrame();
    CWnd* pTop = GetTopLevelParent();
    for (CWnd* p : {static_cast<CWnd*>(pFrame), pTop, GetOwner()}) {
        HWND hStatus = p != nullptr ? ::GetDlgItem(p->m_hWnd, AFX_IDW_STATUS_BAR) : nullptr;
        if (hStatus == nullptr)
            continue;
        if (DYNAMIC_DOWNCAST(CFrameWnd, p) != nullptr) {
            p->SendMessage(WM_SETMESSAGESTRING, nID);
            return;
        }
        auto* pStatus = DYNAMIC_DOWNCAST(CStatusBar, CWnd::FromHandlePermanent(hStatus));
        if (pStatus == nullptr || pStatus->GetCount() == 0)
            return;
        CString prompt;
        prompt.LoadString(nID);
        int nl = prompt.Find('\n');
        pStatus->SetPaneText(0, nl >= 0 ? prompt.Left(nl) : prompt);
        pStatus->UpdateWindow();
        return;
    }
}

// --- CToolCmdUI ---

BYTE CToolCmdUI::GetButtonState() const
{
    TBBUTTON b{};
    m_pOther->SendMessage(TB_GETBUTTON, m_nIndex, reinterpret_cast<LPARAM>(&b));
    return b.fsState;
}

void CToolCmdUI::SetButtonState(BYTE fsState)
{
    TBBUTTONINFO info{};
    info.cbSize = sizeof(info);
    info.dwMask = TBIF_BYINDEX | TBIF_STATE;
    info.fsState = fsState;
    m_pOther->SendMessage(TB_SETBUTTONINFO, m_nIndex, reinterpret_cast<LPARAM>(&info));
}

void CToolCmdUI::Enable(BOOL bOn)
{
    m_bEnableChanged = TRUE;
    const BYTE old = GetButtonState();
    BYTE state = bOn ? (old | TBSTATE_ENABLED) : (old & ~TBSTATE_ENABLED);
    if (!bOn)
        state &= ~TBSTATE_PRESSED;
    if (state != old)
        SetButtonState(state);
}

void CToolCmdUI::SetCheck(int nCheck)
{
    const BYTE old = GetButtonState();
    BYTE state = old & ~(TBSTATE_CHECKED | TBSTATE_INDETERMINATE);
    if (nCheck == 1)
        state |= TBSTATE_CHECKED;
    else if (nCheck == 2)
        state |= TBSTATE_INDETERMINATE;
    if (state != old)
        SetButtonState(state);
}
