// EPropertyTextblock and its popup editor window.
#include "propgrid/textblock_property.h"

#include "foundation/i18n/i18n.h"
#include "propgrid/hover_button.h"

namespace {
constexpr UINT kEditId = 1;
constexpr UINT kBandId = 0xFFFF;
constexpr UINT kOkId = 2;
constexpr UINT kCancelId = 3;
} // namespace

BEGIN_MESSAGE_MAP(EPropertyTextblockWindow, CFrameWnd)
ON_WM_CREATE()
ON_WM_SIZE()
ON_WM_CLOSE()
ON_BN_CLICKED(kOkId, OnOK)
ON_BN_CLICKED(kCancelId, OnCancel)
END_MESSAGE_MAP()

EPropertyTextblockWindow::EPropertyTextblockWindow(EPropertyTextblock* pOwner,
                                                   EPropWnd* pListWnd)
    : m_pOwner(pOwner), m_pListWnd(pListWnd)
{
}

int EPropertyTextblockWindow::OnCreate(LPCREATESTRUCT cs)
{
    if (CFrameWnd::OnCreate(cs) == -1)
        return -1;
    CFont* font = m_pListWnd->GetFont();
    CRect none(0, 0, 0, 0);
    m_edit.Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | ES_MULTILINE, none, this,
                  kEditId);
    m_band.Create("", WS_CHILD | WS_VISIBLE | WS_DLGFRAME, none, this, kBandId);
    m_ok.Create(I18NString("PROPGRID_OK", "OK"), WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON, none,
                this, kOkId);
    m_cancel.Create(I18NString("PROPGRID_CANCEL", "Cancel"), WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON,
                    none, this, kCancelId);
    for (CWnd* w : {static_cast<CWnd*>(&m_edit), static_cast<CWnd*>(&m_band),
                    static_cast<CWnd*>(&m_ok), static_cast<CWnd*>(&m_cancel)})
        w->SetFont(font);
    return 0;
}

void EPropertyTextblockWindow::OnSize(UINT, int cx, int cy)
{
    if (m_edit.m_hWnd == nullptr)
        return;
    m_edit.MoveWindow(0, 0, cx, cy - 30);
    m_band.MoveWindow(0, cy - 30, cx, 30);
    m_ok.MoveWindow(5, cy - 26, 60, 22);
    m_cancel.MoveWindow(70, cy - 26, 60, 22);
}

void EPropertyTextblockWindow::SetText(const CString& text)
{
    CString shown = text;
    shown.Remove('\r');
    shown.Replace("\n", "\r\n");
    m_edit.SetWindowText(shown);
}

CString EPropertyTextblockWindow::GetText()
{
    CString text;
    m_edit.GetWindowText(text);
    text.Remove('\r');
    return text;
}

void EPropertyTextblockWindow::OnOK()
{
    // Commits the active row, which is this popup's own; the commit closes the popup.
    m_pListWnd->CommitSelected();
}

void EPropertyTextblockWindow::OnCancel()
{
    m_pOwner->ClosePopup();
}

void EPropertyTextblockWindow::OnClose()
{
    m_pOwner->ClosePopup();
}

void EPropertyTextblockWindow::PostNcDestroy()
{
    m_pOwner->OnPopupGone();
    CFrameWnd::PostNcDestroy();
}

EPropertyTextblock::EPropertyTextblock(IPropertyHost* pHost, const CString& sName,
                                       CString* pProperty, bool bEnabled)
    : EIconTextButtonProperty(pHost, sName, pProperty, bEnabled)
{
}

EPropertyTextblock::~EPropertyTextblock()
{
    ClosePopup();
}

CString EPropertyTextblock::GetTextValue()
{
    CString text = *static_cast<CString*>(m_pProperty);
    text.Replace("\r", "<>");
    text.Replace("\n", "<>");
    return text;
}

bool EPropertyTextblock::OnCommand(EPropWnd* pCtrl, WPARAM wParam, LPARAM)
{
    int first = 0, last = 0;
    pCtrl->GetCommandRange(first, last);
    if (LOWORD(wParam) != first + 1)
        return false;
    m_pListWnd = pCtrl;
    if (m_pPopup != nullptr)
        return false;
    CRect button;
    if (m_pButton)
        m_pButton->GetWindowRect(&button);
    int x = button.left, y = button.top;
    if (x > ::GetSystemMetrics(SM_CXSCREEN) / 2)
        x -= 200;
    if (y > ::GetSystemMetrics(SM_CYSCREEN) / 2)
        y -= 200;
    auto* popup = new EPropertyTextblockWindow(this, pCtrl);
    m_pPopup = popup;
    if (!popup->CreateEx(0, nullptr, m_sName, WS_VISIBLE | WS_CAPTION | WS_THICKFRAME, x, y, 200,
                         200, pCtrl->m_hWnd, nullptr)) {
        m_pPopup = nullptr; // a frame whose window never existed deletes itself too
        return false;
    }
    popup->SetText(*static_cast<CString*>(m_pProperty));
    return false;
}

bool EPropertyTextblock::CommitEditText()
{
    if (m_pPopup == nullptr)
        return false;
    CString text = m_pPopup->GetText();
    bool written = false;
    if (AskHost(&text)) {
        *static_cast<CString*>(m_pProperty) = text;
        written = true;
    }
    ClosePopup();
    return written;
}

void EPropertyTextblock::CloseEditor()
{
    EIconTextButtonProperty::CloseEditor();
    ClosePopup();
}

void EPropertyTextblock::ClosePopup()
{
    if (m_pPopup != nullptr)
        m_pPopup->DestroyWindow(); // PostNcDestroy clears m_pPopup and deletes the window
    m_pPopup = nullptr;
}
