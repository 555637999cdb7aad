// COXCoolToolBar: creation, image lists, texts, layout rules, skin painting and its own drag.
#include "toolkit/controls/cooltoolbar/cool_toolbar.h"

#include <shlwapi.h>

#include "framework/frame.h"
#include "toolkit/frames/sizebar/size_control_bar.h"
#include "toolkit/frames/skins/skinned_app.h"
#include "toolkit/frames/skins/toolbar_skin.h"

IMPLEMENT_DYNAMIC(CMFCToolBar, CToolBar)
IMPLEMENT_DYNAMIC(COXCoolToolBar, CMFCToolBar)

namespace {
DWORD g_dwComCtlVersion = 0; // 0 until the first toolbar probes it
} // namespace

HRESULT OXGetComCtlVersion(LPDWORD pdwMajor, LPDWORD pdwMinor)
{
    if (pdwMajor == nullptr || pdwMinor == nullptr)
        return E_INVALIDARG;
    HMODULE hLoaded = ::GetModuleHandle("comctl32.dll");
    HMODULE hOwn = hLoaded == nullptr ? ::LoadLibrary("comctl32.dll") : nullptr;
    HMODULE h = hLoaded != nullptr ? hLoaded : hOwn;
    if (h == nullptr)
        return E_FAIL;
    HRESULT hr = S_OK;
    auto pfn = reinterpret_cast<DLLGETVERSIONPROC>(
        reinterpret_cast<void*>(::GetProcAddress(h, "DllGetVersion")));
    if (pfn == nullptr) {
        *pdwMajor = 4;
        *pdwMinor = 0;
    } else {
        DLLVERSIONINFO info{};
        info.cbSize = sizeof(info); // 20 bytes
        hr = pfn(&info);
        if (SUCCEEDED(hr)) {
            *pdwMajor = info.dwMajorVersion;
            *pdwMinor = info.dwMinorVersion;
        } else {
            hr = E_FAIL;
        }
    }
    if (hOwn != nullptr)
        ::FreeLibrary(hOwn);
    return hr;
}

DWORD OXComCtlVersion()
{
    return g_dwComCtlVersion != 0 ? g_dwComCtlVersion : 0x40000;
}

// --- CMFCToolBar ---

BOOL CMFCToolBar::CreateEx(CWnd* pParentWnd, DWORD dwCtrlStyle, DWORD dwStyle, CRect rcBorders,
                           UINT nID)
{
    dwStyle = (dwStyle & ~(CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT | CBRS_ALIGN_BOTTOM)) |
              CBRS_ALIGN_TOP;
    return CToolBar::CreateEx(pParentWnd, dwCtrlStyle, dwStyle, rcBorders, nID);
}

// --- COXCoolToolBar ---

// clang-format off
BEGIN_MESSAGE_MAP(COXCoolToolBar, CMFCToolBar)
    ON_MESSAGE(WM_NCCALCSIZE, OnNcCalcSizeMsg)
    ON_WM_NCPAINT()
    ON_WM_PAINT()
    ON_WM_ERASEBKGND()
    ON_WM_WINDOWPOSCHANGED()
    ON_MESSAGE(WM_SETTINGCHANGE, OnSettingChange)
    ON_WM_LBUTTONDOWN()
    ON_WM_MOUSEMOVE()
    ON_WM_LBUTTONUP()
    ON_NOTIFY_REFLECT(NM_CUSTOMDRAW, OnCustomDraw)
    ON_MESSAGE(TB_INSERTBUTTONA, OnInsertButton)
    ON_MESSAGE(TB_INSERTBUTTONW, OnInsertButton)
    ON_MESSAGE(TB_DELETEBUTTON, OnDeleteButton)
    ON_MESSAGE(TB_MOVEBUTTON, OnMoveButtonMsg)
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUIMsg)
    ON_MESSAGE(SHBDTM_DRAGENTER, OnDragEnterMsg)
    ON_MESSAGE(SHBDTM_DRAGOVER, OnDragOverMsg)
    ON_MESSAGE(SHBDTM_DRAGLEAVE, OnDragLeaveMsg)
    ON_MESSAGE(SHBDTM_DROP, OnDropMsg)
    ON_MESSAGE(SHBDTM_DROPEX, OnDropExMsg)
    ON_NOTIFY_REFLECT_EX(TBN_BEGINDRAG, OnBeginDrag)
    ON_NOTIFY_REFLECT_EX(TBN_QUERYINSERT, OnQueryInsertDelete)
    ON_NOTIFY_REFLECT_EX(TBN_QUERYDELETE, OnQueryInsertDelete)
    ON_NOTIFY_REFLECT_EX(TBN_ENDDRAG, OnEndDrag)
    ON_NOTIFY_REFLECT_EX(TBN_TOOLBARCHANGE, OnToolbarChange)
    ON_NOTIFY_REFLECT_EX(TBN_GETBUTTONINFOA, OnGetButtonInfo)
    ON_NOTIFY_REFLECT_EX(TBN_GETBUTTONINFOW, OnGetButtonInfo)
END_MESSAGE_MAP()
// clang-format on

COXCoolToolBar::COXCoolToolBar()
{
    m_nDropDownArrowWidth = GetDropDownArrowWidth();
    if (g_dwComCtlVersion == 0) {
        DWORD major = 0, minor = 0;
        g_dwComCtlVersion =
            SUCCEEDED(OXGetComCtlVersion(&major, &minor)) ? (major << 16 | minor) : 0x40000;
    }
}

COXCoolToolBar::~COXCoolToolBar()
{
    for (auto& entry : m_mapCustomButtons)
        DestroyCustomButton(entry.second);
    m_mapCustomButtons.clear();
    if (m_hWnd != nullptr && FromHandlePermanent(m_hWnd) == this)
        DestroyWindow();
    for (auto& entry : m_imageLists)
        ImageList_Destroy(entry.second);
    for (auto& entry : m_namedImageLists)
        ImageList_Destroy(entry.second);
    m_pDefaultSkin.reset();
}

BOOL COXCoolToolBar::Create(CWnd* pParentWnd, DWORD dwStyle, UINT nID)
{
    if (OXComCtlVersion() >= OX_COMCTL_471) {
        if (!CMFCToolBar::Create(pParentWnd, dwStyle | WS_CLIPCHILDREN, nID))
            return FALSE;
        ModifyStyle(0, TBSTYLE_FLAT | TBSTYLE_TRANSPARENT);
        SetBorders(0, 0, 0, 0);
        SetDropDownArrow(TRUE);
        // Transparent buttons over an MDI child's client show garbage.
        CWnd* pParent = GetParent();
        if (pParent != nullptr && (pParent->GetExStyle() & WS_EX_MDICHILD) != 0)
            ModifyStyle(TBSTYLE_TRANSPARENT, 0);
    } else {
        if (!CMFCToolBar::Create(pParentWnd, dwStyle, nID))
            return FALSE;
        ModifyStyle(0, TBSTYLE_FLAT);
    }
    m_dropTarget.Register(this); // quietly nothing without OLE
    static const char kNoStrings[2] = {0, 0};
    SendMessage(TB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kNoStrings));
    return TRUE;
}

HIMAGELIST COXCoolToolBar::LoadImageList(LPCTSTR lpszResource, int cx, COLORREF clrMask,
                                         UINT nFlags, int nInitial, int nGrow)
{
    const bool numeric = IS_INTRESOURCE(lpszResource);
    const UINT_PTR id = reinterpret_cast<UINT_PTR>(lpszResource);
    if (numeric) {
        auto it = m_imageLists.find(id);
        if (it != m_imageLists.end())
            return it->second;
    } else {
        auto it = m_namedImageLists.find(lpszResource);
        if (it != m_namedImageLists.end())
            return it->second;
    }
    HBITMAP hbm = static_cast<HBITMAP>(::LoadImage(AfxGetResourceHandle(), lpszResource,
                                                   IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    if (hbm == nullptr)
        return nullptr;
    BITMAP bm{};
    ::GetObject(hbm, sizeof(bm), &bm);
    HIMAGELIST hList = ImageList_Create(cx, bm.bmHeight, nFlags, nInitial, nGrow);
    if (hList != nullptr && ImageList_AddMasked(hList, hbm, clrMask) == -1) {
        ImageList_Destroy(hList);
        hList = nullptr;
    }
    ::DeleteObject(hbm);
    if (hList == nullptr)
        return nullptr;
    if (numeric)
        m_imageLists[id] = hList;
    else
        m_namedImageLists[lpszResource] = hList;
    return hList;
}

void COXCoolToolBar::SetImageSize(int cx, int cy)
{
    SetSizes(CSize(cx + 7, cy + 6), CSize(cx, cy));
    SendMessage(TB_AUTOSIZE);
}

void COXCoolToolBar::UpdateSizes()
{
    SetSizes(GetButtonSize(), m_sizeImage);
    SendMessage(TB_AUTOSIZE);
}

void COXCoolToolBar::SetDropDownArrow(BOOL bOn)
{
    if (OXComCtlVersion() >= OX_COMCTL_471 && m_hWnd != nullptr) {
        DWORD ex = static_cast<DWORD>(SendMessage(TB_GETEXTENDEDSTYLE));
        ex = bOn ? (ex | TBSTYLE_EX_DRAWDDARROWS) : (ex & ~TBSTYLE_EX_DRAWDDARROWS);
        SendMessage(TB_SETEXTENDEDSTYLE, 0, static_cast<LPARAM>(ex));
    }
    m_bDropDownArrow = bOn;
}

BOOL COXCoolToolBar::IsDropDownArrow() const
{
    if (OXComCtlVersion() >= OX_COMCTL_471 && m_hWnd != nullptr)
        return (SendMessage(TB_GETEXTENDEDSTYLE) & TBSTYLE_EX_DRAWDDARROWS) != 0;
    return m_bDropDownArrow;
}

int COXCoolToolBar::GetDropDownArrowWidth()
{
    HDC hdc = ::GetDC(nullptr);
    HFONT hFont = ::CreateFont(::GetSystemMetrics(SM_CYMENUCHECK), 0, 0, 0, FW_NORMAL, FALSE,
                               FALSE, FALSE, SYMBOL_CHARSET, 0, 0, 0, 0, "Marlett");
    HGDIOBJ hOld = hFont != nullptr ? ::SelectObject(hdc, hFont) : nullptr;
    INT width = 0;
    ::GetCharWidth(hdc, '6', '6', &width);
    if (hOld != nullptr)
        ::SelectObject(hdc, hOld);
    if (hFont != nullptr)
        ::DeleteObject(hFont);
    ::ReleaseDC(nullptr, hdc);
    return width;
}

void COXCoolToolBar::SetButtonsText(UINT nFirstID, UINT nLastID, int nType)
{
    if (nType > 4)
        nType = 4;
    m_nTextType = nType;
    if (nType == 3)
        return;
    CWnd* pMain = AfxGetMainWnd();
    HMENU hMenu = pMain != nullptr ? ::GetMenu(pMain->m_hWnd) : nullptr;
    for (int i = 0; i < GetCount(); ++i) {
        UINT nID = GetItemID(i);
        if (nID == 0 || nID < nFirstID || nID > nLastID)
            continue;
        CString text;
        if (nType == 0 || nType == 1) {
            CString s;
            if (s.LoadString(nID)) {
                int nl = s.Find('\n');
                text = nType == 0 ? (nl >= 0 ? s.Left(nl) : s) : (nl >= 0 ? s.Mid(nl + 1) : "");
            }
        } else if (nType == 2 && hMenu != nullptr) {
            char buffer[256] = {};
            ::GetMenuString(hMenu, nID, buffer, sizeof(buffer), MF_BYCOMMAND);
            text = buffer;
            int tab = text.Find('\t');
            if (tab >= 0)
                text = text.Left(tab);
        }
        SetButtonText(i, text);
    }
}

BOOL COXCoolToolBar::SetButtonWidth(int nMin, int nMax)
{
    if (!SendMessage(TB_SETBUTTONWIDTH, 0, MAKELPARAM(nMin, nMax)))
        return FALSE;
    m_nMinButtonWidth = nMin;
    m_nMaxButtonWidth = nMax;
    return TRUE;
}

void COXCoolToolBar::SetBarStyle(DWORD dwStyle)
{
    // The control's tooltips follow CBRS_TOOLTIPS (CToolBar::OnBarStyleChange).
    CMFCToolBar::SetBarStyle(dwStyle);
}

void COXCoolToolBar::EnableDocking(DWORD dwDockStyle, BOOL)
{
    CMFCToolBar::EnableDocking(dwDockStyle);
}

void COXCoolToolBar::SetDragOffset(int x, int y)
{
    CRect window;
    GetWindowRect(&window);
    ScreenToClient(&window);
    m_ptDragOffset = POINT{x - window.left, y - window.top};
}

COXToolbarSkin* COXCoolToolBar::GetToolbarSkin()
{
    return OXLookupElementSkin<COXToolbarSkin, COXToolbarSkinClassic>(&COXSkin::m_pToolbarSkin,
                                                                       m_pDefaultSkin);
}

void COXCoolToolBar::UpdateLayout(BOOL bRecalcFrame, BOOL bFrameChanged)
{
    PlaceCustomButtons();
    if (!IsWindowVisible())
        return;
    if (bRecalcFrame) {
        if (CFrameWnd* pFrame = GetParentFrame())
            pFrame->RecalcLayout();
        for (int i = 0; i < GetCount(); ++i) {
            CRect rect;
            GetItemRect(i, &rect);
            InvalidateRect(&rect);
        }
        UpdateWindow();
    }
    if (bFrameChanged)
        SetWindowPos(nullptr, 0, 0, 0, 0,
                     SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_FRAMECHANGED);
    if (!bRecalcFrame && !bFrameChanged)
        RedrawWindow(nullptr, nullptr,
                     RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW | RDW_FRAME);
}

void COXCoolToolBar::DrawGripper(CDC* pDC, CRect& rect)
{
    GetToolbarSkin()->DrawGripper(pDC, rect, this);
}

void COXCoolToolBar::DrawSeparator(CDC* pDC, CRect& rect)
{
    GetToolbarSkin()->DrawSeparator(pDC, rect, this);
}

void COXCoolToolBar::DrawCustomizedButtonFrame(CDC* pDC, CRect& rect)
{
    GetToolbarSkin()->DrawCustomizedButtonFrame(pDC, rect, this);
}

void COXCoolToolBar::DrawBorders(CDC* pDC, CRect& rect)
{
    CControlBar::DrawBorders(pDC, rect);
    if (m_dwStyle & CBRS_BORDER_3D) { // a second highlight line inside
        const COLORREF hilite = ::GetSysColor(COLOR_BTNHIGHLIGHT);
        if (m_dwStyle & CBRS_BORDER_TOP)
            pDC->FillSolidRect(rect.left, rect.top, rect.Width(), 1, hilite);
        if (m_dwStyle & CBRS_BORDER_LEFT)
            pDC->FillSolidRect(rect.left, rect.top, 1, rect.Height(), hilite);
    }
}

int COXCoolToolBar::LayoutButtonWidth(const TBBUTTON& b, int nIndex) const
{
    const bool flat = (GetStyle() & TBSTYLE_FLAT) != 0;
    const bool modern = OXComCtlVersion() >= OX_COMCTL_471;
    if (b.fsStyle & TBSTYLE_SEP)
        return (!flat || !modern) ? b.iBitmap * 2 / 3 : b.iBitmap;
    int width = CMFCToolBar::LayoutButtonWidth(b, nIndex);
    if ((b.fsStyle & TBSTYLE_DROPDOWN) && !(b.fsStyle & TBSTYLE_AUTOSIZE) && IsDropDownArrow()) {
        if (modern)
            width += m_nDropDownArrowWidth;
        else if (!flat)
            width += GetDropDownArrowWidth();
    }
    return width;
}

CSize COXCoolToolBar::CalcDynamicLayout(int nLength, DWORD dwMode)
{
    CSize size = CMFCToolBar::CalcDynamicLayout(nLength, dwMode);
    if (size.cx < 32767)
        size.cx += m_nIndent;
    return size;
}

void COXCoolToolBar::OnUpdateCmdUI(CFrameWnd* pTarget, BOOL bDisableIfNoHndler)
{
    COXCoolToolBarCmdUI state;
    state.m_pOther = this;
    state.m_nIndexMax = static_cast<UINT>(SendMessage(TB_BUTTONCOUNT));
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        TBBUTTON b{};
        SendMessage(TB_GETBUTTON, state.m_nIndex, reinterpret_cast<LPARAM>(&b));
        if (b.fsStyle & TBSTYLE_SEP)
            continue;
        state.m_nID = static_cast<UINT>(b.idCommand);
        if (CWnd::OnCmdMsg(state.m_nID, CN_UPDATE_COMMAND_UI, &state, nullptr))
            continue; // the bar updates this one itself
        state.DoUpdate(pTarget, bDisableIfNoHndler);
    }
}

// --- messages ---

LRESULT COXCoolToolBar::OnNcCalcSizeMsg(WPARAM wParam, LPARAM lParam)
{
    auto* p = reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam);
    if (m_bCool) {
        LRESULT r = Default();
        if (GetStyle() & TBSTYLE_FLAT) {
            if (m_dwStyle & CBRS_ORIENT_HORZ)
                p->rgrc[0].top += 2;
            else
                p->rgrc[0].left += 2;
        }
        return r;
    }
    CMFCToolBar::OnNcCalcSize(static_cast<BOOL>(wParam), p);
    return 0;
}

void COXCoolToolBar::OnNcPaint()
{
    CWindowDC dc(this);
    CRect rect = ClipToNonClient(&dc);
    GetToolbarSkin()->DrawNonClientArea(&dc, rect, this);
    if (m_bCool) {
        Default();
        return;
    }
    // The skin left rect inside the borders: the gripper stands at its start.
    if ((GetStyle() & TBSTYLE_FLAT) && (m_dwStyle & CBRS_GRIPPER))
        DrawGripper(&dc, rect);
    DrawExtraNonClient(&dc, rect);
}

void COXCoolToolBar::OnPaint()
{
    Default(); // the control paints; the skin draws through custom draw
}

BOOL COXCoolToolBar::OnEraseBkgnd(CDC*)
{
    if (GetToolbarSkin()->IsDefaultEraseBackground() == 1)
        return static_cast<BOOL>(Default());
    return TRUE;
}

void COXCoolToolBar::OnWindowPosChanged(WINDOWPOS*)
{
    // Placed by a finished drag (or by the program): no drag goes on.
    if (m_pDockContext != nullptr)
        m_pDockContext->m_bDragging = FALSE;
    Default();
    const int floating = IsFloating() ? 1 : 0;
    const DWORD side = m_dwStyle & CBRS_ALIGN_ANY;
    m_nPendingCustomUpdate |= 2;
    if (floating != m_nLastFloating) {
        const bool first = m_nLastFloating == 3;
        m_nLastFloating = floating;
        m_dwLastSide = side;
        OnFloatingStateChanged(floating);
        if (!first && !m_mapCustomButtons.empty())
            UpdateLayout(TRUE, TRUE);
    } else if (side != m_dwLastSide) {
        m_dwLastSide = side;
        OnDockingSideChanged(side);
        if (!m_mapCustomButtons.empty())
            m_nPendingCustomUpdate |= 1;
    }
    SendMessage(WM_NCPAINT);
}

LRESULT COXCoolToolBar::OnSettingChange(WPARAM, LPARAM)
{
    m_nDropDownArrowWidth = GetDropDownArrowWidth();
    UpdateLayout(TRUE, FALSE);
    return Default();
}

void COXCoolToolBar::OnLButtonDown(UINT nFlags, CPoint point)
{
    CWnd* pMain = AfxGetMainWnd();
    LRESULT live = pMain != nullptr ? pMain->SendMessage(WM_OX_QUERYLIVEDRAG) : 0;
    if (live == 0) {
        CControlBar::OnLButtonDown(nFlags, point); // the framework drags, or the button
        return;
    }
    if (m_pDockBar != nullptr && OnToolHitTest(point, nullptr) == -1) {
        OXBeginLiveDrag(this, point);
        ::SetCursor(::LoadCursor(nullptr, IDC_SIZEALL));
        return;
    }
    Default();
}

void COXCoolToolBar::OnMouseMove(UINT nFlags, CPoint point)
{
    if (!m_bTracking) {
        CMFCToolBar::OnMouseMove(nFlags, point);
        return;
    }
    if ((nFlags & MK_LBUTTON) == 0) {
        m_bTracking = FALSE;
        ::ReleaseCapture();
        return;
    }
    ClientToScreen(&point);
    if (!OXTrackLiveDrag(this, point, m_ptDragOffset, (nFlags & MK_CONTROL) != 0)) {
        m_bTracking = FALSE;
        ::ReleaseCapture();
    }
}

void COXCoolToolBar::OnLButtonUp(UINT nFlags, CPoint point)
{
    if (m_bTracking) {
        m_bTracking = FALSE;
        ::ReleaseCapture();
        return;
    }
    Default();
    SendMessage(WM_IDLEUPDATECMDUI, TRUE);
}

void COXCoolToolBar::OnCustomDraw(NMHDR* pNotify, LRESULT* pResult)
{
    *pResult = GetToolbarSkin()->OnCustomDraw(pNotify, this);
}

// --- COXCoolToolBarCmdUI ---

void COXCoolToolBarCmdUI::Enable(BOOL bOn)
{
    m_bEnableChanged = TRUE;
    const BYTE old = GetButtonState();
    const BYTE state = bOn ? (old | TBSTATE_ENABLED) : (old & ~TBSTATE_ENABLED);
    if (state != old)
        SetButtonState(state);
}
