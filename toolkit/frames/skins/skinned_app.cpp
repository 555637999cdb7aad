// COXSkinnedApp and the current-skin lookup.
#include "toolkit/frames/skins/skinned_app.h"

IMPLEMENT_DYNCREATE(COXSkinnedApp, CWinApp)

COXSkinnedApp::COXSkinnedApp()
{
    AddSkin(new COXSkinClassic);
    AddSkin(new COXSkinXP);
    AddSkin(new COXSkin2003);
    SetCurrentSkin("Office XP");
}

COXSkinnedApp::~COXSkinnedApp()
{
    m_pCurrentSkin = nullptr;
    POSITION pos = m_mapSkins.GetStartPosition();
    while (pos != nullptr) {
        CString name;
        void* pSkin = nullptr;
        m_mapSkins.GetNextAssoc(pos, name, pSkin);
        delete static_cast<COXSkin*>(pSkin);
    }
    m_mapSkins.RemoveAll();
}

void COXSkinnedApp::AddSkin(COXSkin* pSkin)
{
    if (pSkin != nullptr)
        m_mapSkins[pSkin->GetName()] = pSkin;
}

BOOL COXSkinnedApp::SetCurrentSkin(LPCTSTR lpszName)
{
    void* pFound = nullptr;
    if (lpszName == nullptr || !m_mapSkins.Lookup(lpszName, pFound)) {
        m_pCurrentSkin = nullptr;
        return FALSE;
    }
    m_pCurrentSkin = static_cast<COXSkin*>(pFound);
    m_nSkinType = m_pCurrentSkin->GetSkinType();

    CWinThread* pThread = AfxGetThread();
    CWnd* pMain = pThread != nullptr ? pThread->m_pMainWnd : nullptr;
    if (pMain == nullptr || !::IsWindow(pMain->m_hWnd))
        return TRUE;
    // Floating mini frames are top-level windows of their own, owned by the main window.
    const CRuntimeClass* pMiniFrame = CRuntimeClass::FromName("COXSizableMiniDockFrameWnd");
    for (HWND h = ::GetWindow(::GetDesktopWindow(), GW_CHILD); h != nullptr;
         h = ::GetWindow(h, GW_HWNDNEXT)) {
        CWnd* pWnd = CWnd::FromHandlePermanent(h);
        if (pWnd != nullptr && h != pMain->m_hWnd && AfxIsDescendant(pMain->m_hWnd, h) &&
            pMiniFrame != nullptr && pWnd->IsKindOf(pMiniFrame))
            RefreshWindow(h);
    }
    RefreshWindow(pMain->m_hWnd);
    return TRUE;
}

void COXSkinnedApp::RefreshWindow(HWND hWnd)
{
    CRect rect;
    ::GetClientRect(hWnd, &rect);
    if (!(::GetWindowLongPtr(hWnd, GWL_STYLE) & WS_MAXIMIZE))
        ::SendMessage(hWnd, WM_SIZE, SIZE_RESTORED, MAKELPARAM(rect.Width(), rect.Height()));
    ::SetWindowPos(hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED |
                       SWP_NOOWNERZORDER);
    ::RedrawWindow(hWnd, nullptr, nullptr,
                   RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    for (HWND h = ::GetWindow(hWnd, GW_CHILD); h != nullptr; h = ::GetWindow(h, GW_HWNDNEXT))
        RefreshWindow(h);
}

COXSkin* OXGetCurrentSkin()
{
    auto* pApp = DYNAMIC_DOWNCAST(COXSkinnedApp, AfxGetApp());
    return pApp != nullptr ? pApp->GetCurrentSkin() : nullptr;
}
