// The main window.
#include "app/shell/main_frame.h"

#include "app/dialogs/cfg_dlg.h"
#include "app/shell/sonoria3_app.h"
#include "foundation/i18n/i18n.h"
#include "foundation/settings/app_cfg.h"
#include "foundation/util/sys_utils.h"
#include "resources/resource.h"

IMPLEMENT_DYNCREATE(CMainFrame, CFrameWnd)

BEGIN_MESSAGE_MAP(CMainFrame, CFrameWnd)
ON_WM_CLOSE()
ON_WM_GETMINMAXINFO()
ON_COMMAND(ID_SETTINGS_OPTIONS, OnOptions)
END_MESSAGE_MAP()

BOOL CMainFrame::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszName != nullptr) {
        cs.cx = GetAppCfg().GetMainWndCX();
        cs.cy = GetAppCfg().GetMainWndCY();
    }
    return CFrameWnd::PreCreateWindow(cs);
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
    CFrameWnd::OnClose();
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
        PostMessage(WM_COMMAND, ID_FILE_NEW);
    }
    if (cfg.GetForceASPI() != bForceAspi) {
        MessageBox(strRestart, strRestartTitle, MB_ICONEXCLAMATION);
        PostMessage(WM_COMMAND, ID_APP_EXIT);
    }
}
