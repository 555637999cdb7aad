// CMainFrame: the main window of the document template, holding the track view as its client,
// with the toolbar (drop-down menus, tooltips worded by mode), the status bar, sizable docking
// on every side and the bar layout kept in the profile. It translates its menu, keeps its size
// across runs, checks for a newer version once a day, refreshes the disc when a medium comes
// or goes, and opens the settings dialogs and the maker's web pages.
// Classes here: CSonoriaStatusBar, CMainFrame.
#pragma once

#include <windows.h>

#include "app/shell/cd_info_bar.h"
#include "framework/ui.h"
#include "toolkit/controls/cooltoolbar/cool_toolbar.h"
#include "toolkit/frames/sizebar/frame_size_dock.h"
#include "toolkit/frames/statusbar/ox_status_bar.h"

// The main window's status bar: the toolkit's, unchanged in behaviour.
class CSonoriaStatusBar : public COXStatusBar {
    DECLARE_DYNAMIC(CSonoriaStatusBar)
public:
    LRESULT DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
};

class CMainFrame : public COXFrameWndSizeDock {
    DECLARE_DYNCREATE(CMainFrame)
public:
    CMainFrame();
    ~CMainFrame() override;

    // The stored size (MainWndCX, MainWndCY) at the system's default position.
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;

    // Asks the maker's version page whether a newer version exists: TRUE when one does (the
    // user was offered its download). Not silent: says so when the program is up to date or
    // the page cannot be read.
    BOOL CheckForUpdates(BOOL bSilent);
    // Text for the status bar's first pane; it stays there while nothing else is going on.
    void SetStatusText(LPCTSTR lpszText);

    // Runs the options; after OK a new language re-translates the menu and refreshes the
    // document, and a new drive-access method ends the program with a notice.
    void OnOptions();

    COXCoolToolBar& GetToolBar() { return m_wndToolBar; }
    CSonoriaStatusBar& GetStatusBar() { return m_wndStatusBar; }
    CCDInfoDlgBar& GetCDInfoBar() { return m_wndInfoBar; }

    // The day code of the daily update check: year x 365 + month x 31 + day.
    static int DayCode(const SYSTEMTIME& date);
    // The addresses of the maker's pages the frame opens.
    static CString VersionPageUrl(LPCTSTR lpszLangCode);
    static CString ManualPageUrl(LPCTSTR lpszLangCode);

protected:
    BOOL OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult) override;
    // A medium arriving in or leaving any drive refreshes the document.
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    int OnCreate(LPCREATESTRUCT lpcs);
    // Stores the size or the maximised state, saves the settings and the bar layout, closes.
    void OnClose();
    void OnGetMinMaxInfo(MINMAXINFO* lpMMI);
    LRESULT OnSetMessageString(WPARAM wParam, LPARAM lParam);
    BOOL OnToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);

    void OnSocialPage();
    void OnFreedbServerList();
    void OnTemplates();
    void OnProductPage();
    void OnManual();
    void OnMakerHomePage();
    void OnCheckForUpdates();
    void OnServiceSite();
    void OnCdUseRights();
    void OnChangeOutputPath();
    void OnMaximize();
    void OnNothing() {}

    // The menu under a drop-down button: the modes for the refresh button, else a submenu of
    // the main menu.
    void ShowDropDownMenu(UINT nCommand);
    // The daily update check at creation (AutoCheckNewVersion).
    void CheckForUpdatesOnceADay();

    CSonoriaStatusBar m_wndStatusBar;
    COXCoolToolBar m_wndToolBar;
    CString m_strIdleText; // the first pane's text while nothing else is going on

    CCDInfoDlgBar m_wndInfoBar;

    DECLARE_MESSAGE_MAP()
};
