// COXFrameWndSizeDock: a frame whose sides are sizable dock bars and whose bars float in
// sizable floating frames. It saves and restores the whole docking layout, with every sizable
// bar's three sizes, in the application profile, destroys its dynamic bars with itself and
// answers whether bars drag themselves live.
#pragma once

#include <vector>

#include "framework/dock_state.h"
#include "framework/ui.h"

class COXFrameWndSizeDock : public CFrameWnd {
    DECLARE_DYNCREATE(COXFrameWndSizeDock)
public:
    COXFrameWndSizeDock() = default;
    ~COXFrameWndSizeDock() override;

    // Sizable dock bars on the given sides (top, bottom, left, right, in that order).
    void EnableDocking(DWORD dwDockStyle);
    CDockBar* NewDockBar() override;
    void SaveSizeBarState(LPCTSTR lpszProfileName);
    // Restores a layout saved with SaveSizeBarState; an older or missing one is deleted.
    void LoadSizeBarState(LPCTSTR lpszProfileName);
    void SaveBarSizes(LPCTSTR lpszProfileName, BOOL bSave);
    void SetSizeDockState(const CDockState& state);
    void DestroyDynamicBars();

    // Bars pressed on their captions drag themselves and dock or float live.
    BOOL m_bLiveDrag = FALSE;

protected:
    void OnDestroy();
    LRESULT OnQueryLiveDrag(WPARAM wParam, LPARAM lParam);
    DECLARE_MESSAGE_MAP()

private:
    void EmptyHiddenBarLists();
};

// The value name of a sizable bar's sizes in the layout's profile section.
CString OXBarSizeEntry(UINT nBarID);

class COXSizeControlBar;
// The same layout for any frame with sizable docking (the MDI one too).
void OXDestroyDynamicBars(CFrameWnd* pFrame);
void OXSaveSizeBarState(CFrameWnd* pFrame, LPCTSTR lpszProfileName);
// pMDIFloating (may be null) receives the bars that were floating as MDI windows; they are
// restored in ordinary floating frames.
void OXLoadSizeBarState(CFrameWnd* pFrame, LPCTSTR lpszProfileName,
                        std::vector<COXSizeControlBar*>* pMDIFloating);
