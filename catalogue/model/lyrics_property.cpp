// EPropertyLyrics and its popup editor window.
#include "catalogue/model/lyrics_property.h"

#include "foundation/i18n/i18n.h"
#include "foundation/settings/app_cfg.h"
#include "framework/app.h"
#include "propgrid/hover_button.h"

namespace
{
constexpr UINT kEditId = 1;
constexpr UINT kBarId = 0xFFFF;
constexpr int kBarHeight = 30;
} // namespace

BEGIN_MESSAGE_MAP(EPropertyLyricsWindow, CFrameWnd)
ON_WM_CREATE()
ON_WM_SIZE()
ON_WM_ERASEBKGND()
ON_WM_GETMINMAXINFO()
ON_WM_CLOSE()
ON_BN_CLICKED(EPropertyLyricsWindow::kOkId, OnOK)
ON_BN_CLICKED(EPropertyLyricsWindow::kCancelId, OnCancel)
ON_BN_CLICKED(EPropertyLyricsWindow::kSearchId, OnSearch)
END_MESSAGE_MAP()

EPropertyLyricsWindow::EPropertyLyricsWindow(EPropertyLyrics* pOwner, EPropWnd* pListWnd,
                                             CFont* pFont)
    : m_pOwner(pOwner), m_pListWnd(pListWnd), m_pFont(pFont)
{
}

int EPropertyLyricsWindow::OnCreate(LPCREATESTRUCT cs)
{
    if (CFrameWnd::OnCreate(cs) == -1)
        return -1;
    CRect none(0, 0, 0, 0);
    m_edit.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE, none, this,
                  kEditId);
    m_bar.Create("", WS_CHILD | WS_VISIBLE | WS_DLGFRAME, none, this, kBarId);
    m_ok.Create(I18NString("epropertylyricswindow.bt.ok", "OK"),
                WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, none, this, kOkId);
    m_cancel.Create(I18NString("epropertylyricswindow.bt.cancel", "Cancel"),
                    WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, none, this, kCancelId);
    m_search.Create(I18NString("epropertylyricswindow.bt.searchlyrics", "Search Lyrics"),
                    WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, none, this, kSearchId);
    CFont* font = m_pListWnd->GetFont();
    for (CWnd* w : {static_cast<CWnd*>(&m_bar), static_cast<CWnd*>(&m_ok),
                    static_cast<CWnd*>(&m_cancel), static_cast<CWnd*>(&m_search)})
        w->SetFont(font);
    m_edit.SetFont(m_pFont != nullptr ? m_pFont : font);
    return 0;
}

void EPropertyLyricsWindow::OnSize(UINT, int cx, int cy)
{
    if (m_edit.m_hWnd == nullptr)
        return;
    m_rcEdit = CRect(2, 2, cx, cy - kBarHeight);
    m_rcBar = CRect(0, cy - kBarHeight, cx, cy);
    m_edit.MoveWindow(&m_rcEdit);
    m_bar.MoveWindow(&m_rcBar);
    int y = m_rcBar.top + (kBarHeight - 22) / 2;
    m_ok.MoveWindow(5, y, 60, 22);
    m_cancel.MoveWindow(70, y, 60, 22);
    m_search.MoveWindow(135, y, 90, 22);
    m_nMinTrackWidth = 240;
    if (IsWindowVisible()) {
        CRect outer;
        GetWindowRect(&outer);
        GetAppCfg().SetLyricsWindow_dx(outer.Width());
        GetAppCfg().SetLyricsWindow_dy(outer.Height());
    }
}

BOOL EPropertyLyricsWindow::OnEraseBkgnd(CDC* pDC)
{
    CRect rc;
    GetClientRect(&rc);
    pDC->FillSolidRect(&rc, RGB(255, 255, 255));
    return TRUE;
}

void EPropertyLyricsWindow::OnGetMinMaxInfo(MINMAXINFO* pMMI)
{
    pMMI->ptMinTrackSize.x = m_nMinTrackWidth;
    pMMI->ptMinTrackSize.y = m_nMinTrackHeight;
}

void EPropertyLyricsWindow::SetText(const CString& text)
{
    CString shown = text;
    shown.Remove('\r');
    shown.Replace("\n", "\r\n");
    m_edit.SetWindowText(shown);
}

CString EPropertyLyricsWindow::GetText()
{
    CString text;
    m_edit.GetWindowText(text);
    text.Remove('\r');
    return text;
}

void EPropertyLyricsWindow::OnOK()
{
    // Commits the list's active row, which is this popup's own; the commit closes the popup.
    m_pListWnd->CommitSelected();
}

void EPropertyLyricsWindow::OnCancel()
{
    m_pOwner->CloseWindow();
}

void EPropertyLyricsWindow::OnSearch()
{
    if (CWnd* main = AfxGetMainWnd(); main != nullptr && main->m_hWnd != nullptr)
        main->PostMessage(WM_COMMAND, kSearchLyricsCommand, 0);
}

void EPropertyLyricsWindow::OnClose()
{
    m_pOwner->CloseWindow();
}

void EPropertyLyricsWindow::PostNcDestroy()
{
    m_pOwner->OnWindowGone();
    CFrameWnd::PostNcDestroy();
}

EPropertyLyrics::EPropertyLyrics(IPropertyHost* pHost, const CString& sName, void* pProperty,
                                 BYTE bEnabled)
    : EIconTextButtonProperty(pHost, sName, pProperty, bEnabled != 0)
{
}

EPropertyLyrics::~EPropertyLyrics()
{
    CloseWindow();
}

CString EPropertyLyrics::GetTextValue()
{
    CString text = *static_cast<CString*>(m_pProperty);
    text.Replace("\r", "<>");
    text.Replace("\n", "<>");
    return text;
}

CRect EPropertyLyrics::PlaceWindow(const CRect& rcButton, int cxScreen, int cyScreen, int dx,
                                   int dy)
{
    int cx = dx > 0 ? dx : 300;
    int cy = dy > 0 ? dy : 350;
    if (cx > cxScreen / 2 || cx < 0)
        cx = cxScreen / 2 - 1;
    if (cy > cyScreen / 2 || cy < 0)
        cy = cyScreen / 2 - 1;
    int x = rcButton.left, y = rcButton.top;
    if (x > cxScreen / 2)
        x -= cx;
    if (y > cyScreen / 2)
        y -= cy;
    return CRect(x, y, x + cx, y + cy);
}

bool EPropertyLyrics::OnCommand(EPropWnd* pCtrl, WPARAM wParam, LPARAM)
{
    int first = 0, last = 0;
    pCtrl->GetCommandRange(first, last);
    if (LOWORD(wParam) != first + 1 || m_pWindow != nullptr)
        return false;
    m_pListWnd = pCtrl;
    CRect button;
    if (m_pButton)
        m_pButton->GetWindowRect(&button);
    CRect rc = PlaceWindow(button, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN),
                           GetAppCfg().GetLyricsWindow_dx(), GetAppCfg().GetLyricsWindow_dy());
    auto* window = new EPropertyLyricsWindow(this, pCtrl, m_pFont);
    m_pWindow = window;
    if (!window->CreateEx(0, nullptr, m_sName, WS_VISIBLE | WS_CAPTION | WS_THICKFRAME, rc.left,
                          rc.top, rc.Width(), rc.Height(), pCtrl->m_hWnd, nullptr)) {
        m_pWindow = nullptr; // a frame whose window never existed deletes itself too
        return false;
    }
    window->SetWindowPos(nullptr, rc.left, rc.top, rc.Width(), rc.Height(),
                         SWP_NOZORDER | SWP_SHOWWINDOW);
    window->SetText(*static_cast<CString*>(m_pProperty));
    return false;
}

bool EPropertyLyrics::CommitEditText()
{
    if (m_pWindow == nullptr)
        return false;
    CString text = m_pWindow->GetText();
    bool written = false;
    if (AskHost(&text)) {
        *static_cast<CString*>(m_pProperty) = text;
        written = true;
    }
    CloseWindow();
    return written;
}

void EPropertyLyrics::CloseEditor()
{
    EIconTextButtonProperty::CloseEditor();
    CloseWindow();
}

void EPropertyLyrics::CloseWindow()
{
    if (m_pWindow != nullptr)
        m_pWindow->DestroyWindow(); // PostNcDestroy clears m_pWindow and deletes the window
    m_pWindow = nullptr;
}
