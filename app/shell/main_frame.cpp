// The main window.
#include "app/shell/main_frame.h"

#include <iterator>

#include "app/dialogs/cfg_dlg.h"
#include "app/shell/sonoria3_app.h"
#include "foundation/i18n/i18n.h"
#include "foundation/settings/app_cfg.h"
#include "foundation/util/sys_utils.h"
#include "resources/resource.h"

IMPLEMENT_DYNCREATE(CMainFrame, COXFrameWndSizeDock)

BEGIN_MESSAGE_MAP(CMainFrame, COXFrameWndSizeDock)
ON_WM_CREATE()
ON_WM_CLOSE()
ON_WM_GETMINMAXINFO()
ON_COMMAND(ID_SETTINGS_OPTIONS, OnOptions)
ON_COMMAND_EX(ID_VIEW_CDINFOPANEL, OnBarCheck)
ON_UPDATE_COMMAND_UI(ID_VIEW_CDINFOPANEL, OnUpdateControlBarMenu)
ON_COMMAND_EX(ID_VIEW_CDINFOPANEL2, OnBarCheck)
ON_UPDATE_COMMAND_UI(ID_VIEW_CDINFOPANEL2, OnUpdateControlBarMenu)
END_MESSAGE_MAP()

namespace
{
constexpr UINT kIndicators[] = {ID_SEPARATOR, ID_INDICATOR_CAPS, ID_INDICATOR_NUM,
                                ID_INDICATOR_SCRL};
} // namespace

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszName != nullptr) {
        cs.cx = GetAppCfg().GetMainWndCX();
        cs.cy = GetAppCfg().GetMainWndCY();
    }
    return COXFrameWndSizeDock::PreCreateWindow(cs);
}

int CMainFrame::OnCreate(LPCREATESTRUCT lpcs)
{
    if (COXFrameWndSizeDock::OnCreate(lpcs) == -1)
        return -1;
    if (!m_wndStatusBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM, AFX_IDW_STATUS_BAR) ||
        !m_wndStatusBar.SetIndicators(kIndicators, static_cast<int>(std::size(kIndicators))))
        return -1;
    EnableDocking(CBRS_ALIGN_ANY);
    const CString caption = I18NString("cmainframe.const.infotags", "Info Tags");
    // Docked on a side it stands 280 pixels wide.
    if (!m_wndInfoBar.Create(this, caption, ID_VIEW_CDINFOPANEL,
                             WS_CHILD | WS_VISIBLE | CBRS_RIGHT, CRect(0, 0, 400, 280)))
        return -1;
    m_wndInfoBar.EnableDocking(CBRS_ALIGN_LEFT | CBRS_ALIGN_RIGHT);
    DockControlBar(&m_wndInfoBar, AFX_IDW_DOCKBAR_RIGHT);
    RecalcLayout();
    return 0;
}

void CMainFrame::SetStatusText(LPCTSTR lpszText)
{
    if (m_wndStatusBar.m_hWnd != nullptr)
        m_wndStatusBar.SetPaneText(0, lpszText);
}

void CMainFrame::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    lpMMI->ptMinTrackSize.x = 300;
    lpMMI->ptMinTrackSize.y = 300;
    Default();
}

void CMainFrame::OnClose()
{
    CAppCfg& cfg = GetAppCfg();
    RECT rc{};
    GetWindowRect(&rc);
    WINDOWPLACEMENT wp{};
    wp.length = sizeof(wp);
    ::GetWindowPlacement(m_hWnd, &wp);
    if (wp.showCmd == SW_SHOWMAXIMIZED) {
        cfg.SetMainWndMax(TRUE);
    } else {
        cfg.SetMainWndMax(FALSE);
        cfg.SetMainWndCX(rc.right - rc.left);
        cfg.SetMainWndCY(rc.bottom - rc.top);
    }
    cfg.Save();
    COXFrameWndSizeDock::OnClose();
}

void CMainFrame::OnOptions()
{
    const CString strRestart =
        I18NString("cmainframe.const.mustrestart",
                   "You must restart Sonoria to apply changed settings!\r\nSonoria will now close.");
    const CString strRestartTitle = I18NString("cmainframe.const.mustrestarttitle", "Warning");
    CAppCfg& cfg = GetAppCfg();
    const CString strLanguage = cfg.GetLanguage();
    const BOOL bForceAspi = cfg.GetForceASPI();

    CCfgDlg dlg(this);
    if (dlg.DoModal() != IDOK)
        return;

    if (cfg.GetLanguage() != strLanguage) {
        I18NSetLanguageFile(AppendPathComponent(GetAppFolder(kSonoriaSettingsKey),
                                                cfg.GetLanguage()));
        if (HMENU hMenu = ::GetMenu(m_hWnd); hMenu != nullptr) {
            I18NTranslateMenu(hMenu, "cmainfrm.mainmenu");
            ::DrawMenuBar(m_hWnd);
        }
        m_wndInfoBar.Retranslate();
        PostMessage(WM_COMMAND, ID_FILE_NEW);
    }
    if (cfg.GetForceASPI() != bForceAspi) {
        MessageBox(strRestart, strRestartTitle, MB_ICONEXCLAMATION);
        PostMessage(WM_COMMAND, ID_APP_EXIT);
    }
}
