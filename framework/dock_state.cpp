// CControlBarInfo, CDockState and the frame's layout functions.
#include "framework/dock_state.h"

#include <cstdio>
#include <vector>

#include "framework/app.h"
#include "framework/dock_context.h"
#include "framework/frame.h"
#include "framework/mini_frame.h"

namespace {

CString SectionName(LPCTSTR lpszProfileName, int nIndex)
{
    char name[300];
    if (nIndex < 0)
        std::snprintf(name, sizeof(name), "%s-Summary", lpszProfileName);
    else
        std::snprintf(name, sizeof(name), "%s-Bar%d", lpszProfileName, nIndex);
    return CString(name);
}

} // namespace

// --- the record of one bar ---

BOOL CControlBarInfo::SaveState(LPCTSTR lpszProfileName, int nIndex)
{
    CWinApp* pApp = AfxGetApp();
    const CString section = SectionName(lpszProfileName, nIndex);
    pApp->WriteProfileString(section, nullptr, nullptr); // nothing of an older layout stays
    auto put = [&](LPCTSTR name, int value) { pApp->WriteProfileInt(section, name, value); };
    put("BarID", static_cast<int>(m_nBarID));
    put("Visible", m_bVisible);
    put("Floating", m_bFloating);
    put("Horz", m_bHorz);
    put("DockBar", m_bDockBar);
    put("XPos", m_pointPos.x);
    put("YPos", m_pointPos.y);
    put("MRUWidth", static_cast<int>(m_nMRUWidth));
    put("Docking", m_bDocking);
    if (m_bDocking) {
        put("MRUDockID", static_cast<int>(m_uMRUDockID));
        put("MRUDockLeftPos", m_rectMRUDockPos.left);
        put("MRUDockTopPos", m_rectMRUDockPos.top);
        put("MRUDockRightPos", m_rectMRUDockPos.right);
        put("MRUDockBottomPos", m_rectMRUDockPos.bottom);
        put("MRUFloatStyle", static_cast<int>(m_dwMRUFloatStyle));
        put("MRUFloatXPos", m_ptMRUFloatPos.x);
        put("MRUFloatYPos", m_ptMRUFloatPos.y);
    }
    put("Bars", static_cast<int>(m_arrBarID.GetSize()));
    for (INT_PTR i = 0; i < m_arrBarID.GetSize(); ++i) {
        char name[32];
        std::snprintf(name, sizeof(name), "Bar#%d", static_cast<int>(i));
        put(name, static_cast<int>(m_arrBarID[i]));
    }
    return TRUE;
}

BOOL CControlBarInfo::LoadState(LPCTSTR lpszProfileName, int nIndex)
{
    CWinApp* pApp = AfxGetApp();
    const CString section = SectionName(lpszProfileName, nIndex);
    auto get = [&](LPCTSTR name, int def) {
        return static_cast<int>(pApp->GetProfileInt(section, name, def));
    };
    m_nBarID = static_cast<UINT>(get("BarID", 0));
    if (m_nBarID == 0)
        return FALSE;
    m_bVisible = get("Visible", TRUE);
    m_bFloating = get("Floating", FALSE);
    m_bHorz = get("Horz", TRUE);
    m_bDockBar = get("DockBar", FALSE);
    m_pointPos = CPoint(get("XPos", -1), get("YPos", -1));
    m_nMRUWidth = static_cast<UINT>(get("MRUWidth", 32767));
    m_bDocking = get("Docking", FALSE);
    if (m_bDocking) {
        m_uMRUDockID = static_cast<UINT>(get("MRUDockID", 0));
        m_rectMRUDockPos = CRect(get("MRUDockLeftPos", 0), get("MRUDockTopPos", 0),
                                 get("MRUDockRightPos", 0), get("MRUDockBottomPos", 0));
        m_dwMRUFloatStyle = static_cast<DWORD>(get("MRUFloatStyle", 0));
        m_ptMRUFloatPos = CPoint(get("MRUFloatXPos", 0), get("MRUFloatYPos", 0));
    }
    const int nBars = get("Bars", 0);
    m_arrBarID.RemoveAll();
    for (int i = 0; i < nBars; ++i) {
        char name[32];
        std::snprintf(name, sizeof(name), "Bar#%d", i);
        m_arrBarID.Add(static_cast<DWORD>(get(name, 0)));
    }
    return TRUE;
}

// --- the layout ---

void CDockState::Clear()
{
    for (INT_PTR i = 0; i < m_arrBarInfo.GetSize(); ++i)
        delete static_cast<CControlBarInfo*>(m_arrBarInfo[i]);
    m_arrBarInfo.RemoveAll();
}

void CDockState::SaveState(LPCTSTR lpszProfileName)
{
    CWinApp* pApp = AfxGetApp();
    const CString summary = SectionName(lpszProfileName, -1);
    pApp->WriteProfileString(summary, nullptr, nullptr);
    pApp->WriteProfileInt(summary, "Bars", static_cast<int>(m_arrBarInfo.GetSize()));
    pApp->WriteProfileInt(summary, "ScreenCX", ::GetSystemMetrics(SM_CXSCREEN));
    pApp->WriteProfileInt(summary, "ScreenCY", ::GetSystemMetrics(SM_CYSCREEN));
    for (INT_PTR i = 0; i < m_arrBarInfo.GetSize(); ++i)
        static_cast<CControlBarInfo*>(m_arrBarInfo[i])->SaveState(lpszProfileName, static_cast<int>(i));
}

void CDockState::LoadState(LPCTSTR lpszProfileName)
{
    Clear();
    CWinApp* pApp = AfxGetApp();
    const int nBars = static_cast<int>(pApp->GetProfileInt(SectionName(lpszProfileName, -1), "Bars", 0));
    for (int i = 0; i < nBars; ++i) {
        auto* pInfo = new CControlBarInfo;
        if (pInfo->LoadState(lpszProfileName, i))
            m_arrBarInfo.Add(pInfo);
        else
            delete pInfo;
    }
}

// --- bars ---

void CControlBar::GetBarInfo(CControlBarInfo* pInfo)
{
    pInfo->m_pBar = this;
    pInfo->m_nBarID = static_cast<UINT>(GetDlgCtrlID());
    pInfo->m_bVisible = IsVisible();
    pInfo->m_bDockBar = IsDockBar();
    pInfo->m_nMRUWidth = m_nMRUWidth;
    pInfo->m_bHorz = (m_dwStyle & CBRS_ORIENT_HORZ) != 0;
    CRect rect;
    GetWindowRect(&rect);
    if (HWND hParent = ::GetParent(m_hWnd))
        ::ScreenToClient(hParent, reinterpret_cast<POINT*>(&rect));
    pInfo->m_pointPos = rect.TopLeft();
    pInfo->m_bDocking = m_pDockContext != nullptr;
    if (m_pDockContext != nullptr) {
        pInfo->m_uMRUDockID = m_pDockContext->m_uMRUDockID;
        pInfo->m_rectMRUDockPos = m_pDockContext->m_rectMRUDockPos;
        pInfo->m_dwMRUFloatStyle = m_pDockContext->m_dwMRUFloatStyle;
        pInfo->m_ptMRUFloatPos = m_pDockContext->m_ptMRUFloatPos;
    }
}

void CControlBar::SetBarInfo(CControlBarInfo* pInfo, CFrameWnd*)
{
    m_nMRUWidth = pInfo->m_nMRUWidth;
    if (pInfo->m_bDocking && m_pDockContext != nullptr) {
        m_pDockContext->m_uMRUDockID = pInfo->m_uMRUDockID;
        m_pDockContext->m_rectMRUDockPos = pInfo->m_rectMRUDockPos;
        m_pDockContext->m_dwMRUFloatStyle = pInfo->m_dwMRUFloatStyle;
        m_pDockContext->m_ptMRUFloatPos = pInfo->m_ptMRUFloatPos;
    }
    UINT flags = SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE;
    if (m_pDockBar == nullptr)
        flags |= SWP_NOMOVE;
    m_nStateFlags &= ~(delayShow | delayHide);
    flags |= pInfo->m_bVisible ? SWP_SHOWWINDOW : SWP_HIDEWINDOW;
    SetWindowPos(nullptr, pInfo->m_pointPos.x, pInfo->m_pointPos.y, 0, 0, flags);
}

void CDockBar::GetBarInfo(CControlBarInfo* pInfo)
{
    CControlBar::GetBarInfo(pInfo);
    pInfo->m_bFloating = m_bFloating;
    if (m_bFloating) { // where the floating frame's client area starts
        CRect rect;
        GetWindowRect(&rect);
        pInfo->m_pointPos = rect.TopLeft();
        pInfo->m_bVisible = GetParent() != nullptr && GetParent()->IsWindowVisible();
    }
    pInfo->m_arrBarID.RemoveAll();
    for (int i = 1; i < m_arrBars.GetSize(); ++i) {
        void* p = m_arrBars[i];
        if (p == nullptr) {
            pInfo->m_arrBarID.Add(0);
        } else if (AfxIsPlaceHolder(p)) {
            pInfo->m_arrBarID.Add(static_cast<DWORD>(reinterpret_cast<UINT_PTR>(p)) |
                                  CControlBarInfo::kPlaceHolderFlag);
        } else if (auto* pBar = static_cast<CControlBar*>(p); pBar->m_hWnd != nullptr) {
            pInfo->m_arrBarID.Add(static_cast<DWORD>(pBar->GetDlgCtrlID()));
        }
    }
}

void CDockBar::SetBarInfo(CControlBarInfo* pInfo, CFrameWnd* pFrameWnd)
{
    m_arrBars.RemoveAll();
    m_arrBars.Add(nullptr);
    for (INT_PTR i = 0; i < pInfo->m_arrBarID.GetSize(); ++i) {
        const DWORD id = pInfo->m_arrBarID[i];
        if (id == 0) {
            if (m_arrBars[m_arrBars.GetSize() - 1] != nullptr)
                m_arrBars.Add(nullptr);
            continue;
        }
        if (id & CControlBarInfo::kPlaceHolderFlag) {
            m_arrBars.Add(reinterpret_cast<void*>(static_cast<UINT_PTR>(id & 0xFFFF)));
            continue;
        }
        CControlBar* pBar = pFrameWnd->GetControlBar(id);
        if (pBar == nullptr || pBar->IsDockBar())
            continue; // saved bars that no longer exist are skipped
        if (pBar->m_pDockBar != nullptr && pBar->m_pDockBar != this)
            pBar->m_pDockBar->ForgetBar(pBar);
        DWORD dwStyle = pBar->GetBarStyle() & ~(CBRS_ALIGN_ANY | CBRS_FLOATING);
        dwStyle |= (m_dwStyle & CBRS_ALIGN_ANY) | CBRS_BORDER_ANY;
        if (m_bFloating)
            dwStyle |= CBRS_FLOATING;
        pBar->SetBarStyle(dwStyle);
        if (::GetParent(pBar->m_hWnd) != m_hWnd)
            ::SetParent(pBar->m_hWnd, m_hWnd);
        pBar->m_pDockBar = this;
        m_arrBars.Add(pBar);
    }
    if (m_arrBars[m_arrBars.GetSize() - 1] != nullptr)
        m_arrBars.Add(nullptr);
    if (m_bFloating) {
        if (CControlBar* pFirst = GetDockedControlBar(1);
            pFirst != nullptr && (m_dwStyle & CBRS_FLOAT_MULTI) == 0) {
            char title[261] = "";
            ::GetWindowText(pFirst->m_hWnd, title, sizeof(title));
            ::SetWindowText(m_hWnd, title);
        }
    } else {
        CControlBar::SetBarInfo(pInfo, pFrameWnd);
    }
}

// --- the frame ---

void CFrameWnd::GetDockState(CDockState& state)
{
    state.Clear();
    for (POSITION pos = m_listControlBars.GetHeadPosition(); pos != nullptr;) {
        auto* pBar = static_cast<CControlBar*>(m_listControlBars.GetNext(pos));
        if (pBar->m_hWnd == nullptr)
            continue;
        auto* pInfo = new CControlBarInfo;
        pBar->GetBarInfo(pInfo);
        state.m_arrBarInfo.Add(pInfo);
    }
}

void CFrameWnd::SetDockState(const CDockState& state)
{
    // 1. The bars of the entries; floating dock bars in new floating frames.
    std::vector<HWND> frames(state.m_arrBarInfo.GetSize(), nullptr);
    for (INT_PTR i = 0; i < state.m_arrBarInfo.GetSize(); ++i) {
        auto* pInfo = static_cast<CControlBarInfo*>(state.m_arrBarInfo[i]);
        if (pInfo->m_bFloating) {
            CMiniDockFrameWnd* pFrame =
                CreateFloatingFrame(pInfo->m_bHorz ? CBRS_ALIGN_TOP : CBRS_ALIGN_LEFT);
            CRect rect(pInfo->m_pointPos, CSize(10, 10));
            pFrame->CalcWindowRect(&rect);
            pFrame->SetWindowPos(nullptr, rect.left, rect.top, 0, 0,
                                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
            pInfo->m_pBar = &pFrame->m_wndDockBar;
            frames[i] = pFrame->m_hWnd;
        } else {
            pInfo->m_pBar = GetControlBar(pInfo->m_nBarID);
        }
        if (pInfo->m_pBar != nullptr)
            pInfo->m_pBar->m_nMRUWidth = pInfo->m_nMRUWidth;
    }
    // 2. Each entry applied.
    for (INT_PTR i = 0; i < state.m_arrBarInfo.GetSize(); ++i) {
        auto* pInfo = static_cast<CControlBarInfo*>(state.m_arrBarInfo[i]);
        if (pInfo->m_pBar != nullptr && pInfo->m_bDockBar == pInfo->m_pBar->IsDockBar())
            pInfo->m_pBar->SetBarInfo(pInfo, this);
    }
    // 3. Floating frames with a visible bar are laid out and shown; the floating frames
    // left without any bar (those of the layout before) go.
    std::vector<HWND> empty;
    for (POSITION pos = m_listControlBars.GetHeadPosition(); pos != nullptr;) {
        auto* pBar = static_cast<CControlBar*>(m_listControlBars.GetNext(pos));
        if (pBar->IsDockBar() && static_cast<CDockBar*>(pBar)->m_bFloating &&
            static_cast<CDockBar*>(pBar)->GetDockedCount() == 0 && pBar->m_hWnd != nullptr)
            empty.push_back(::GetParent(pBar->m_hWnd));
    }
    for (HWND h : empty)
        if (::IsWindow(h))
            ::DestroyWindow(h);
    for (HWND hFrame : frames) {
        auto* pFrame = hFrame != nullptr && ::IsWindow(hFrame)
                           ? static_cast<CMiniDockFrameWnd*>(CWnd::FromHandlePermanent(hFrame))
                           : nullptr;
        if (pFrame == nullptr)
            continue;
        if (pFrame->m_wndDockBar.GetDockedVisibleCount() > 0) {
            pFrame->RecalcLayout();
            pFrame->ShowWindow(SW_SHOWNA);
        }
    }
    DelayRecalcLayout();
}

void CFrameWnd::SaveBarState(LPCTSTR lpszProfileName)
{
    CDockState state;
    GetDockState(state);
    state.SaveState(lpszProfileName);
}

void CFrameWnd::LoadBarState(LPCTSTR lpszProfileName)
{
    CDockState state;
    state.LoadState(lpszProfileName);
    SetDockState(state);
}
