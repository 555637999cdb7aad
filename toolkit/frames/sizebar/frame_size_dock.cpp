// COXFrameWndSizeDock: sizable docking, the profile layout and the live-drag answer.
#include "toolkit/frames/sizebar/frame_size_dock.h"

#include <cstdio>
#include <cstring>
#include <vector>

#include "toolkit/frames/sizebar/sizable_mini_frame.h"
#include "toolkit/frames/sizebar/size_control_bar.h"
#include "toolkit/frames/sizebar/size_dock_bar.h"

IMPLEMENT_DYNCREATE(COXFrameWndSizeDock, CFrameWnd)

namespace {

struct DockSide {
    UINT nID;
    DWORD dwStyle;
};
constexpr DockSide kSides[] = {
    {AFX_IDW_DOCKBAR_TOP, CBRS_ALIGN_TOP | CBRS_BORDER_BOTTOM},
    {AFX_IDW_DOCKBAR_BOTTOM, CBRS_ALIGN_BOTTOM | CBRS_BORDER_TOP},
    {AFX_IDW_DOCKBAR_LEFT, CBRS_ALIGN_LEFT | CBRS_BORDER_RIGHT},
    {AFX_IDW_DOCKBAR_RIGHT, CBRS_ALIGN_RIGHT | CBRS_BORDER_LEFT},
};

constexpr int kLayoutVersion = 2;
constexpr UINT kBarSizeBytes = 28;

void PutInt(BYTE* p, int v)
{
    const auto u = static_cast<unsigned>(v);
    p[0] = static_cast<BYTE>(u);
    p[1] = static_cast<BYTE>(u >> 8);
    p[2] = static_cast<BYTE>(u >> 16);
    p[3] = static_cast<BYTE>(u >> 24);
}

int GetInt(const BYTE* p)
{
    return static_cast<int>(static_cast<unsigned>(p[0]) | (static_cast<unsigned>(p[1]) << 8) |
                            (static_cast<unsigned>(p[2]) << 16) | (static_cast<unsigned>(p[3]) << 24));
}

} // namespace

CString OXBarSizeEntry(UINT nBarID)
{
    char name[32];
    std::snprintf(name, sizeof(name), "BarSize_%u", nBarID);
    return CString(name);
}

// clang-format off
BEGIN_MESSAGE_MAP(COXFrameWndSizeDock, CFrameWnd)
    ON_WM_DESTROY()
    ON_MESSAGE(WM_OX_QUERYLIVEDRAG, OnQueryLiveDrag)
END_MESSAGE_MAP()
// clang-format on

COXFrameWndSizeDock::~COXFrameWndSizeDock() = default;

void COXFrameWndSizeDock::EnableDocking(DWORD dwDockStyle)
{
    CFrameWnd::EnableDocking(dwDockStyle); // its dock bars come from NewDockBar
    m_pFloatingFrameClass = RUNTIME_CLASS(COXSizableMiniDockFrameWnd);
}

CDockBar* COXFrameWndSizeDock::NewDockBar()
{
    return new COXSizeDockBar;
}

LRESULT COXFrameWndSizeDock::OnQueryLiveDrag(WPARAM, LPARAM)
{
    return m_bLiveDrag;
}

void COXFrameWndSizeDock::OnDestroy()
{
    if (GetTopLevelFrame() == this || GetTopLevelFrame() == nullptr)
        COXSizeControlBar::DestroyFrameBars(this);
    CFrameWnd::OnDestroy();
}

static void SaveBarSizesOf(CFrameWnd* pFrame, LPCTSTR lpszProfileName, BOOL bSave,
                           std::vector<COXSizeControlBar*>* pMDIFloating);
static void EmptyHiddenBarListsOf(CFrameWnd* pFrame);

void OXDestroyDynamicBars(CFrameWnd* pFrame)
{
    CObArray* pBars = COXSizeControlBar::GetDynamicBars();
    for (INT_PTR i = pBars != nullptr ? pBars->GetSize() - 1 : -1; i >= 0; --i) {
        pBars = COXSizeControlBar::GetDynamicBars();
        if (pBars == nullptr || i >= pBars->GetSize())
            continue;
        auto* pBar = static_cast<COXSizeControlBar*>(pBars->GetAt(i));
        if (pBar->m_hWnd != nullptr && ::IsWindow(pBar->m_hWnd) && pBar->m_pDockSite == pFrame)
            pBar->DestroyWindow();
    }
}

void OXSaveSizeBarState(CFrameWnd* pFrame, LPCTSTR lpszProfileName)
{
    OXDestroyDynamicBars(pFrame);
    pFrame->SaveBarState(lpszProfileName);
    SaveBarSizesOf(pFrame, lpszProfileName, TRUE, nullptr);
    AfxGetApp()->WriteProfileInt(lpszProfileName, "Version", kLayoutVersion);
}

static void EmptyHiddenBarListsOf(CFrameWnd* pFrame)
{
    for (const DockSide& side : kSides)
        if (auto* pDock = DYNAMIC_DOWNCAST(COXSizeDockBar, pFrame->GetControlBar(side.nID)))
            pDock->m_arrHiddenBars.RemoveAll();
}

void OXLoadSizeBarState(CFrameWnd* pFrame, LPCTSTR lpszProfileName,
                        std::vector<COXSizeControlBar*>* pMDIFloating)
{
    CWinApp* pApp = AfxGetApp();
    if (static_cast<int>(pApp->GetProfileInt(lpszProfileName, "Version", 0)) != kLayoutVersion) {
        pApp->WriteProfileString(lpszProfileName, nullptr, nullptr);
        return;
    }
    pFrame->RecalcLayout();
    pFrame->Invalidate();
    pFrame->UpdateWindow();

    CDockState state;
    state.LoadState(lpszProfileName);
    std::vector<CWnd*> flatToolbars;
    for (INT_PTR i = 0; i < state.m_arrBarInfo.GetSize(); ++i) {
        auto* pInfo = static_cast<CControlBarInfo*>(state.m_arrBarInfo[i]);
        pInfo->m_pBar = pFrame->GetControlBar(pInfo->m_nBarID);
        // Flat toolbars measure themselves wrongly while their layout is restored.
        if (pInfo->m_pBar != nullptr && OXIsKindOfName(pInfo->m_pBar, "CMFCToolBar") &&
            (pInfo->m_pBar->GetStyle() & TBSTYLE_FLAT)) {
            pInfo->m_pBar->ModifyStyle(TBSTYLE_FLAT, 0);
            flatToolbars.push_back(pInfo->m_pBar);
        }
    }
    pFrame->SetDockState(state);
    for (CWnd* pBar : flatToolbars)
        pBar->ModifyStyle(0, TBSTYLE_FLAT);
    SaveBarSizesOf(pFrame, lpszProfileName, FALSE, pMDIFloating);
    EmptyHiddenBarListsOf(pFrame);
    pFrame->RecalcLayout();
    if (pFrame->IsWindowVisible()) {
        pFrame->Invalidate();
        pFrame->UpdateWindow();
    }
}

static void SaveBarSizesOf(CFrameWnd* pFrame, LPCTSTR lpszProfileName, BOOL bSave,
                           std::vector<COXSizeControlBar*>* pMDIFloating)
{
    CWinApp* pApp = AfxGetApp();
    std::vector<COXSizeControlBar*> mdiFloating;
    for (POSITION pos = pFrame->m_listControlBars.GetHeadPosition(); pos != nullptr;) {
        auto* pBar = DYNAMIC_DOWNCAST(COXSizeControlBar,
                                      static_cast<CObject*>(pFrame->m_listControlBars.GetNext(pos)));
        if (pBar == nullptr || pBar->m_hWnd == nullptr)
            continue;
        const CString entry = OXBarSizeEntry(static_cast<UINT>(pBar->GetDlgCtrlID()));
        if (bSave) {
            BYTE data[kBarSizeBytes];
            PutInt(data + 0, pBar->m_sizeFloat.cx);
            PutInt(data + 4, pBar->m_sizeFloat.cy);
            PutInt(data + 8, pBar->m_sizeHorzDock.cx);
            PutInt(data + 12, pBar->m_sizeHorzDock.cy);
            PutInt(data + 16, pBar->m_sizeVertDock.cx);
            PutInt(data + 20, pBar->m_sizeVertDock.cy);
            CFrameWnd* pParent = pBar->GetParentFrame();
            PutInt(data + 24, pParent != nullptr && OXIsKindOfName(pParent, "COXMDIFloatWnd") ? 1 : 0);
            pApp->WriteProfileBinary(lpszProfileName, entry, data, kBarSizeBytes);
        } else {
            BYTE* pData = nullptr;
            UINT nBytes = 0;
            const BOOL bRead = pApp->GetProfileBinary(lpszProfileName, entry, &pData, &nBytes);
            if (bRead && nBytes == kBarSizeBytes) {
                pBar->m_sizeFloat = CSize(GetInt(pData + 0), GetInt(pData + 4));
                pBar->m_sizeHorzDock = CSize(GetInt(pData + 8), GetInt(pData + 12));
                pBar->m_sizeVertDock = CSize(GetInt(pData + 16), GetInt(pData + 20));
                const bool bMDI = GetInt(pData + 24) == 1;
                const CSize size = pBar->CalcFixedLayout(FALSE, (pBar->m_dwStyle & CBRS_ORIENT_HORZ) != 0);
                pBar->SetWindowPos(nullptr, 0, 0, size.cx, size.cy,
                                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOREDRAW | SWP_NOACTIVATE);
                if (pBar->IsFloating()) {
                    if (bMDI) {
                        mdiFloating.push_back(pBar);
                    } else {
                        EmptyHiddenBarListsOf(pFrame);
                        if (CFrameWnd* pFloat = pBar->GetDockingFrame())
                            pFloat->RecalcLayout();
                    }
                }
            }
            delete[] pData;
        }
        EmptyHiddenBarListsOf(pFrame);
        pFrame->RecalcLayout();
    }
    // Floating as MDI windows needs an MDI docking frame: it takes those bars from their
    // floating frames; any other frame leaves them there.
    if (pMDIFloating != nullptr)
        *pMDIFloating = mdiFloating;
}

void COXFrameWndSizeDock::DestroyDynamicBars()
{
    OXDestroyDynamicBars(this);
}

void COXFrameWndSizeDock::SaveSizeBarState(LPCTSTR lpszProfileName)
{
    OXSaveSizeBarState(this, lpszProfileName);
}

void COXFrameWndSizeDock::EmptyHiddenBarLists()
{
    EmptyHiddenBarListsOf(this);
}

void COXFrameWndSizeDock::LoadSizeBarState(LPCTSTR lpszProfileName)
{
    OXLoadSizeBarState(this, lpszProfileName, nullptr);
}

void COXFrameWndSizeDock::SetSizeDockState(const CDockState& state)
{
    SetDockState(state);
}

void COXFrameWndSizeDock::SaveBarSizes(LPCTSTR lpszProfileName, BOOL bSave)
{
    SaveBarSizesOf(this, lpszProfileName, bSave, nullptr);
}
