// The main window: its bars, menu, commands, status line, update check and medium changes.
#include "app/shell/main_frame.h"

#include <dbt.h>

#include <iterator>

#include "app/dialogs/cfg_dlg.h"
#include "app/dialogs/folder_dialog.h"
#include "app/dialogs/freedb_server_list_dlg.h"
#include "app/dialogs/out_file_list_dlg.h"
#include "app/dialogs/usr_rights_dlg.h"
#include "app/shell/sonoria3_app.h"
#include "app/shell/sonoria3_doc.h"
#include "foundation/i18n/i18n.h"
#include "foundation/settings/app_cfg.h"
#include "foundation/util/sys_utils.h"
#include "foundation/web/endpoints.h"
#include "foundation/web/web_reports.h"
#include "resources/resource.h"

IMPLEMENT_DYNAMIC(CSonoriaStatusBar, COXStatusBar)

LRESULT CSonoriaStatusBar::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return CWnd::DefWindowProc(message, wParam, lParam);
}

IMPLEMENT_DYNCREATE(CMainFrame, COXFrameWndSizeDock)

// clang-format off
BEGIN_MESSAGE_MAP(CMainFrame, COXFrameWndSizeDock)
    ON_WM_CREATE()
    ON_UPDATE_COMMAND_UI(ID_VIEW_CDINFOPANEL, OnUpdateControlBarMenu)
    ON_COMMAND_EX(ID_VIEW_CDINFOPANEL, OnBarCheck)
    ON_UPDATE_COMMAND_UI(ID_VIEW_CDINFOPANEL2, OnUpdateControlBarMenu)
    ON_COMMAND_EX(ID_VIEW_CDINFOPANEL2, OnBarCheck)
    ON_WM_CLOSE()
    ON_WM_GETMINMAXINFO()
    ON_COMMAND(ID_HELP_SOCIALPAGE, OnSocialPage)
    ON_COMMAND(ID_SETTINGS_OPTIONS, OnOptions)
    ON_COMMAND(ID_SETTINGS_FREEDBSERVERS, OnFreedbServerList)
    ON_COMMAND(ID_SETTINGS_TEMPLATES, OnTemplates)
    ON_WM_MENUSELECT()
    ON_COMMAND(ID_HELP_COMMUNITY, OnNothing)
    ON_COMMAND(ID_HELP_HOMEPAGE, OnProductPage)
    ON_COMMAND(ID_HELP_MANUAL, OnManual)
    ON_COMMAND(ID_HELP_MAKERSITE, OnMakerHomePage)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFF, OnToolTipText)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, OnToolTipText)
    ON_COMMAND(ID_HELP_CHECKUPDATES, OnCheckForUpdates)
    ON_COMMAND(ID_HELP_SERVICESITE, OnServiceSite)
    ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
    ON_COMMAND(ID_SETTINGS_CDRIGHTS, OnCdUseRights)
    ON_COMMAND(ID_CHANGE_OUTPUTPATH, OnChangeOutputPath)
    ON_COMMAND(ID_WINDOW_MAXIMIZE, OnMaximize)
END_MESSAGE_MAP()
// clang-format on

namespace {

constexpr char kVersion[] = "3.70";
constexpr int kBuild = 4;
constexpr char kProgramKey[] = "Sonoria"; // the program's name on the version page
constexpr char kBarsSection[] = "BarsState";
constexpr char kMenuPrefix[] = "cmainfrm.mainmenu";
constexpr COLORREF kImageMask = RGB(255, 0, 255);
constexpr int kImageSize = 32;

// Toolbar buttons with a menu under their arrow, by position.
constexpr int kDropDownButtons[] = {0, 8, 10, 11};

// The message pane and the three key-state panes.
constexpr UINT kIndicators[] = {0, ID_INDICATOR_CAPS, ID_INDICATOR_NUM, ID_INDICATOR_SCRL};

// The submenus of the main menu that drop-down buttons show.
constexpr int kRipMenu = 2;
constexpr int kInfoTagsMenu = 3;
constexpr int kSearchMenu = 4;

CString HubPage(LPCTSTR lpszQuery)
{
    CString url = endpoints::kHubPage;
    url += "?";
    url += lpszQuery;
    return url;
}

CString LangCode()
{
    return I18NString("global.const.langcode", "en");
}

void OpenPage(const CString& url)
{
    OpenUrlOrFile(url, TRUE);
}

struct ToolTip {
    UINT nID;
    const char* key;
    const char* text;
};

// The toolbar's tooltips; the refresh and rip buttons have texts by mode (see OnToolTipText).
constexpr ToolTip kToolTips[] = {
    {ID_EDIT_SELECTALLTRACKS, "cmainframe.bartooltips.selectall", "Select All"},
    {ID_EDIT_UNSELECTALL, "cmainframe.bartooltips.unselectall", "Unselect All"},
    {ID_EDIT_INVERTSELECTION, "cmainframe.bartooltips.invertselection", "Invert Selection"},
    {ID_FILE_PLAYTRACK, "cmainframe.bartooltips.playtrack", "Play Current Track"},
    {ID_SEARCH_INFO, "cmainframe.bartooltips.searchtheweb", "Search the Web"},
    {ID_SEARCH_STORE, "cmainframe.bartooltips.shopping", "Search online shops"},
    {ID_HELP_SOCIALPAGE, "cmainframe.bartooltips.facebook", "Follow us on Facebook"},
    {ID_SETTINGS_OPTIONS, "cmainframe.bartooltips.options", "Configuration Options Window..."},
    {ID_CHANGE_OUTPUTPATH, "cmainframe.bartooltips.changeoutputpath", "Change Output Path..."},
    {ID_HELP_SERVICESITE, "cmainframe.bartooltips.sonoriacddb", "Sonoria CD Database web site"},
    {ID_WEB_VIDEOS, "cmainframe.bartooltips.downloadvideos", "Download Videos"},
    {ID_WEB_RINGTONES, "cmainframe.bartooltips.makeringtones", "Make your own RingTones"},
    {ID_HELP_SHOP, "cmainframe.bartooltips.sonoriashop", "Sonoria Shop"},
    {ID_HELP_COMMUNITY, "cmainframe.bartooltips.community", "Sonoria Community"},
    {ID_HELP_MANUAL, "cmainframe.bartooltips.manual", "Sonoria Manual"},
    {ID_APP_ABOUT, "cmainframe.bartooltips.about", "About Sonoria..."},
};

} // namespace

CMainFrame::CMainFrame() = default;

CMainFrame::~CMainFrame() = default;

int CMainFrame::DayCode(const SYSTEMTIME& date)
{
    return date.wYear * 365 + date.wMonth * 31 + date.wDay;
}

CString CMainFrame::VersionPageUrl(LPCTSTR lpszLangCode)
{
    CString url;
    url.Format("%s&language=%s&version=%s&build=%d", HubPage("s=curver").GetString(),
               lpszLangCode, kVersion, kBuild);
    return url;
}

CString CMainFrame::ManualPageUrl(LPCTSTR lpszLangCode)
{
    CString url;
    url.Format("%s&language=%s&version=%s&build=%d", HubPage("s=manual").GetString(),
               lpszLangCode, kVersion, kBuild);
    return url;
}

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
    // The view becomes the client first, before any bar.
    if (COXFrameWndSizeDock::OnCreate(lpcs) == -1)
        return -1;

    if (!m_wndToolBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_TOP | CBRS_GRIPPER,
                             AFX_IDW_TOOLBAR) ||
        !m_wndToolBar.LoadToolBar(IDR_MAINFRAME))
        return -1;
    m_wndToolBar.SetImageSize(kImageSize, kImageSize);
    HIMAGELIST hImages = m_wndToolBar.LoadImageListById(IDB_TOOLBAR, kImageSize, kImageMask);
    HIMAGELIST hDisabled =
        m_wndToolBar.LoadImageListById(IDB_TOOLBAR_DISABLED, kImageSize, kImageMask);
    if (hImages == nullptr || hDisabled == nullptr)
        return -1;
    m_wndToolBar.SetDefaultImageList(hImages);
    m_wndToolBar.SetDisabledImageList(hDisabled);
    for (int nIndex : kDropDownButtons)
        m_wndToolBar.SetButtonStyle(nIndex, m_wndToolBar.GetButtonStyle(nIndex) | TBSTYLE_DROPDOWN);
    m_wndToolBar.SetDropDownArrow(TRUE);
    m_wndToolBar.UpdateSizes();
    m_wndToolBar.SetBarStyle(m_wndToolBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY |
                             CBRS_SIZE_DYNAMIC);
    m_wndToolBar.EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM);

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
    LoadSizeBarState(kBarsSection);

    if (HMENU hMenu = ::GetMenu(m_hWnd); hMenu != nullptr)
        I18NTranslateMenu(hMenu, kMenuPrefix);
    GetAppCfg().Save();
    CheckForUpdatesOnceADay();
    if (GetAppCfg().GetMainWndMax())
        PostMessage(WM_COMMAND, ID_WINDOW_MAXIMIZE);
    return 0;
}

void CMainFrame::CheckForUpdatesOnceADay()
{
    CAppCfg& cfg = GetAppCfg();
    if (!cfg.GetAutoCheckNewVersion())
        return;
    SYSTEMTIME today{};
    ::GetLocalTime(&today);
    const int nDay = DayCode(today);
    if (nDay == cfg.GetLastCheckNewVersion())
        return;
    CheckForUpdates(TRUE);
    cfg.SetLastCheckNewVersion(nDay);
}

BOOL CMainFrame::CheckForUpdates(BOOL bSilent)
{
    const CString strNewVersion = I18NString(
        "cmainframe.const.newversiontext",
        "A new version of %s is available.\r\nDo you want to download it now?");
    const CString strTitle = I18NString("cmainframe.const.newversiontitle", "Check for updates");
    const CString strUpToDate =
        I18NString("cmainframe.const.newversionuptodate", "The application is up to date.");

    CAppCfg& cfg = GetAppCfg();
    CHttpVersionCheck check("Sonoria_VC", cfg.GetProxyHostPort(), cfg.GetProxyUser(),
                            cfg.GetProxyPwd());
    BOOL bNewer = FALSE;
    {
        CWaitCursor wait;
        bNewer = check.IsNewerVersion(VersionPageUrl(LangCode()), kProgramKey, kVersion) == 1;
    }
    if (bNewer) {
        CString text;
        text.Format(strNewVersion, kProgramKey);
        if (MessageBox(text, strTitle, MB_YESNO | MB_ICONINFORMATION) == IDYES)
            OpenPage(HubPage("s=download"));
    } else if (!bSilent) {
        MessageBox(strUpToDate, strTitle, MB_ICONINFORMATION);
    }
    return bNewer;
}

void CMainFrame::SetStatusText(LPCTSTR lpszText)
{
    SendMessage(WM_SETMESSAGESTRING, 0, reinterpret_cast<LPARAM>(lpszText != nullptr ? lpszText : ""));
}

LRESULT CMainFrame::OnSetMessageString(WPARAM wParam, LPARAM lParam)
{
    // The idle prompt is the last text set, empty until one was: never "Ready".
    if (lParam != 0)
        m_strIdleText = reinterpret_cast<LPCTSTR>(lParam);
    else if (wParam == AFX_IDS_IDLEMESSAGE)
        lParam = reinterpret_cast<LPARAM>(m_strIdleText.GetString());
    return COXFrameWndSizeDock::OnSetMessageString(wParam, lParam);
}

BOOL CMainFrame::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult)
{
    const UINT nID = AfxToolTipRouteId(pNMHDR);
    if (nID == 0)
        return FALSE;
    int nMode = CSonoria3Doc::MODE_RIPPER;
    if (auto* pDoc = dynamic_cast<CSonoria3Doc*>(GetActiveDocument()))
        nMode = pDoc->GetMode();

    CString text;
    if (nID == ID_FILE_NEW) {
        text = nMode == CSonoria3Doc::MODE_RIPPER
                   ? I18NString("cmainframe.bartooltips.refreshcd", "Refresh CD")
                   : I18NString("cmainframe.bartooltips.resetlist", "Reset List");
    } else if (nID == ID_RIP_DEFAULT) {
        text = nMode == CSonoria3Doc::MODE_CONVERTER
                   ? I18NString("cmainframe.bartooltips.convertselected",
                                "Convert Selected Tracks To Default Format")
                   : I18NString("cmainframe.bartooltips.ripselected",
                                "Rip Selected Tracks To Default Format");
    } else {
        const ToolTip* pTip = nullptr;
        for (const ToolTip& tip : kToolTips)
            if (tip.nID == nID)
                pTip = &tip;
        if (pTip == nullptr)
            return FALSE;
        text = I18NString(pTip->key, pTip->text);
    }
    AfxSetToolTipText(pNMHDR, text);
    *pResult = 0;
    ::SetWindowPos(pNMHDR->hwndFrom, HWND_TOP, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOOWNERZORDER);
    return TRUE;
}

BOOL CMainFrame::OnNotify(WPARAM wParam, LPARAM lParam, LRESULT* pResult)
{
    auto* pNMHDR = reinterpret_cast<NMHDR*>(lParam);
    if (pNMHDR != nullptr && pNMHDR->code == TBN_DROPDOWN &&
        pNMHDR->hwndFrom == m_wndToolBar.m_hWnd) {
        ShowDropDownMenu(static_cast<UINT>(reinterpret_cast<NMTOOLBAR*>(lParam)->iItem));
        *pResult = 0;
        return TRUE;
    }
    return COXFrameWndSizeDock::OnNotify(wParam, lParam, pResult);
}

void CMainFrame::ShowDropDownMenu(UINT nCommand)
{
    CRect rect;
    m_wndToolBar.SendMessage(TB_GETRECT, nCommand, reinterpret_cast<LPARAM>(&rect));
    CPoint pt(rect.left, rect.bottom);
    m_wndToolBar.ClientToScreen(&pt);

    HMENU hMainMenu = ::GetMenu(m_hWnd);
    if (hMainMenu == nullptr)
        return;
    if (nCommand == ID_FILE_NEW) {
        // The modes, worded as the (translated) main menu words them.
        HMENU hModes = ::CreatePopupMenu();
        for (UINT nMode : {ID_VIEW_RIPPER, ID_VIEW_CONVERTER, ID_VIEW_TAGGER}) {
            char text[256] = {};
            ::GetMenuStringA(hMainMenu, nMode, text, sizeof(text), MF_BYCOMMAND);
            ::AppendMenuA(hModes, MF_STRING, nMode, text);
        }
        ::TrackPopupMenu(hModes, TPM_LEFTALIGN, pt.x, pt.y + 1, 0, m_hWnd, nullptr);
        ::DestroyMenu(hModes);
        return;
    }
    int nSubMenu = -1;
    switch (nCommand) {
    case ID_RIP_DEFAULT:
        nSubMenu = kRipMenu;
        break;
    case ID_SEARCH_INFO:
        nSubMenu = kSearchMenu;
        break;
    case ID_HELP_SERVICESITE:
        nSubMenu = kInfoTagsMenu;
        break;
    default:
        return;
    }
    if (HMENU hSub = ::GetSubMenu(hMainMenu, nSubMenu); hSub != nullptr)
        ::TrackPopupMenu(hSub, TPM_LEFTALIGN, pt.x, pt.y + 1, 0, m_hWnd, nullptr);
}

LRESULT CMainFrame::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_DEVICECHANGE &&
        (wParam == DBT_DEVICEARRIVAL || wParam == DBT_DEVICEREMOVECOMPLETE) && lParam != 0) {
        const auto* pHeader = reinterpret_cast<const DEV_BROADCAST_HDR*>(lParam);
        if (pHeader->dbch_devicetype == DBT_DEVTYP_VOLUME &&
            (reinterpret_cast<const DEV_BROADCAST_VOLUME*>(lParam)->dbcv_flags & DBTF_MEDIA))
            PostMessage(WM_COMMAND, ID_FILE_NEW);
    }
    return COXFrameWndSizeDock::WindowProc(message, wParam, lParam);
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
    SaveSizeBarState(kBarsSection);
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
            I18NTranslateMenu(hMenu, kMenuPrefix);
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

void CMainFrame::OnFreedbServerList()
{
    CFreedbServerListDlg dlg(this);
    dlg.DoModal();
}

void CMainFrame::OnTemplates()
{
    COutFileListDlg dlg(this);
    dlg.DoModal();
}

void CMainFrame::OnCdUseRights()
{
    CUsrRightsDlg dlg(this);
    dlg.DoModal();
}

void CMainFrame::OnChangeOutputPath()
{
    CAppCfg& cfg = GetAppCfg();
    const CString strTitle = I18NString("cmainframe.const.folderdlgtitle", "Select a folder");
    const CString strStart = cfg.GetOutputPath();
    CFolderDialog dlg(strTitle, strStart, this, BIF_NEWDIALOGSTYLE);
    if (dlg.DoModal() != IDOK)
        return;
    cfg.SetOutputPath(dlg.GetFolderPath());
    cfg.Save();
}

void CMainFrame::OnMaximize()
{
    ShowWindow(SW_SHOWMAXIMIZED);
}

void CMainFrame::OnSocialPage()
{
    OpenPage(HubPage("s=social"));
}

void CMainFrame::OnProductPage()
{
    OpenPage(HubPage("s=product"));
}

void CMainFrame::OnManual()
{
    OpenPage(ManualPageUrl(LangCode()));
}

void CMainFrame::OnMakerHomePage()
{
    OpenPage(endpoints::kHomePage);
}

void CMainFrame::OnCheckForUpdates()
{
    CheckForUpdates(FALSE);
}

void CMainFrame::OnServiceSite()
{
    OpenPage(endpoints::kDiscInfoService);
}
