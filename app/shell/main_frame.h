// CMainFrame: the main window of the document template, holding the track view as its client.
// For now a plain frame with the menu and accelerators of resource 128; it keeps its size
// across runs.
#pragma once

#include "framework/ui.h"

class CMainFrame : public CFrameWnd {
    DECLARE_DYNCREATE(CMainFrame)
public:
    CMainFrame() = default;

    // The stored size (MainWndCX, MainWndCY) at the system's default position.
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    // Runs the options; after OK a new language re-translates the menu and refreshes the
    // document, and a new drive-access method ends the program with a notice.
    void OnOptions();

protected:
    // Stores the size or the maximised state and saves the settings, then closes.
    void OnClose();
    void OnGetMinMaxInfo(MINMAXINFO* lpMMI);

    DECLARE_MESSAGE_MAP()
};
