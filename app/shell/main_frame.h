// CMainFrame: the main window of the document template, holding the track view as its client.
// For now a frame with the menu and accelerators of resource 128, a status bar and the docked
// CD information bar; it keeps its size across runs.
#pragma once

#include "app/shell/cd_info_bar.h"
#include "framework/statusbar.h"
#include "framework/ui.h"
#include "toolkit/frames/sizebar/frame_size_dock.h"

class CMainFrame : public COXFrameWndSizeDock {
    DECLARE_DYNCREATE(CMainFrame)
public:
    CMainFrame() = default;

    // The stored size (MainWndCX, MainWndCY) at the system's default position.
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    // Runs the options; after OK a new language re-translates the menu and refreshes the
    // document, and a new drive-access method ends the program with a notice.
    void OnOptions();

    // The text of the status bar's first pane.
    void SetStatusText(LPCTSTR lpszText);
    CStatusBar& GetStatusBar() { return m_wndStatusBar; }
    CCDInfoDlgBar& GetCDInfoBar() { return m_wndInfoBar; }

protected:
    int OnCreate(LPCREATESTRUCT lpcs);
    // Stores the size or the maximised state and saves the settings, then closes.
    void OnClose();
    void OnGetMinMaxInfo(MINMAXINFO* lpMMI);

    CStatusBar m_wndStatusBar;
    CCDInfoDlgBar m_wndInfoBar;

    DECLARE_MESSAGE_MAP()
};
