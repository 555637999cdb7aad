// Start-up and exit of the application.
#include "app/shell/sonoria3_app.h"

#include <cstdlib>

#include "app/dialogs/about_dlg.h"
#include "app/shell/main_frame.h"
#include "app/shell/sonoria3_doc.h"
#include "app/shell/sonoria3_view.h"
#include "foundation/i18n/i18n.h"
#include "foundation/settings/app_cfg.h"
#include "foundation/util/sys_utils.h"
#include "foundation/web/web_reports.h"
#include "resources/resource.h"
#include "toolkit/controls/instance_manager/instance_manager.h"

COXInstanceManager* CSonoria3App::s_pInstanceManager = nullptr;

BEGIN_MESSAGE_MAP(CSonoria3App, CWinApp)
ON_COMMAND(ID_APP_ABOUT, OnAppAbout)
ON_COMMAND(ID_FILE_NEW, OnFileNew)
ON_COMMAND(ID_FILE_OPEN, OnFileOpen)
END_MESSAGE_MAP()

namespace {

// Application id and build reported to the usage statistics.
constexpr int kStatsAppId = 8;
constexpr int kStatsBuild = 4;

struct DefaultTemplate {
    const char* key;
    const char* name;
    const char* pattern;
};
constexpr DefaultTemplate kDefaultTemplates[] = {
    {"csonoria3app.const.filenamedef0", "Artist\\Track Number-Track Title.ext", "%a\\%#-%1%e"},
    {"csonoria3app.const.filenamedef1", "Artist-Track Title.ext", "%a-%1%e"},
    {"csonoria3app.const.filenamedef2", "Artist\\Album Title\\Track Number-Track Title.ext",
     "%a\\%t\\%#-%1%e"},
    {"csonoria3app.const.filenamedef3", "Artist\\Track Title.ext", "%a\\%1%e"},
    {"csonoria3app.const.filenamedef4", "Album Title\\Track Title.ext", "%t\\%1%e"},
};

// The user's language id as four hexadecimal digits ("0409" for US English).
CString LocaleText()
{
    char buf[30] = {};
    ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_ILANGUAGE, buf, sizeof(buf));
    buf[4] = 0;
    return CString(buf);
}

} // namespace

CSonoria3App::CSonoria3App() = default;

CSonoria3App::~CSonoria3App() = default;

BOOL CSonoria3App::HandleInstallerSwitch(const CString& commandLine, const char* statsSite)
{
    if (commandLine.IsEmpty())
        return FALSE;
    CString locale = LocaleText();
    CQVKSignal signal(statsSite);
    int at = commandLine.Find("/install");
    if (at >= 0) {
        // The number follows one separator character after the switch.
        int id = commandLine.GetLength() > at + 9 ? atoi(commandLine.Mid(at + 9)) : 0;
        signal.SignalInstall(id < 1 ? 1 : id, kStatsAppId, kStatsBuild, locale);
        return TRUE;
    }
    if (commandLine.Find("/uninstall") >= 0) {
        signal.SignalUninstall(0, kStatsAppId, kStatsBuild, locale);
        return TRUE;
    }
    if (commandLine.Find("/ajinstall") >= 0) {
        signal.SignalAjInstall(0, kStatsAppId, kStatsBuild, locale);
        return TRUE;
    }
    return FALSE;
}

void CSonoria3App::EnsureFileNameTemplates()
{
    CAppCfg& cfg = GetAppCfg();
    if (cfg.GetFileNameDefsCount() < 1) {
        for (const auto& t : kDefaultTemplates) {
            CString item = I18NString(t.key, t.name);
            item += "|";
            item += t.pattern;
            cfg.AddFileNameDefsItem(item);
        }
        cfg.Save();
    }
    if (cfg.GetFileNameFormat() >= cfg.GetFileNameDefsCount())
        cfg.SetFileNameFormat(2);
}

void CSonoria3App::OnAppAbout()
{
    CAboutDlg dlg;
    dlg.DoModal();
}

BOOL CSonoria3App::InitInstance()
{
    CWinApp::InitInstance();
    if (!AfxSocketInit()) {
        AfxMessageBox(IDP_SOCKETS_INIT_FAILED);
        return FALSE;
    }

    CString commandLine = m_lpCmdLine != nullptr ? m_lpCmdLine : "";
    commandLine.MakeLower();
    if (HandleInstallerSwitch(commandLine))
        return FALSE;

    SetRegistryKey(kSonoriaCompanyKey);

    CAppCfg& cfg = GetAppCfg();
    if (cfg.GetOutputPath().GetLength() < 3)
        cfg.SetOutputPath(cfg.GetDefaultOutputPath());

    if (!cfg.GetAllowMultipleInstances() && s_pInstanceManager != nullptr &&
        s_pInstanceManager->TooManyInstances(TRUE))
        return FALSE;

    I18NSetLanguageFile(AppendPathComponent(GetAppFolder(kSonoriaSettingsKey), cfg.GetLanguage()));
    EnsureFileNameTemplates();
    cfg.InstallSearchProvider(FALSE, FALSE);

    AddDocTemplate(new CSingleDocTemplate(IDR_MAINFRAME, RUNTIME_CLASS(CSonoria3Doc),
                                          RUNTIME_CLASS(CMainFrame),
                                          RUNTIME_CLASS(CSonoria3View)));
    CCommandLineInfo cmdInfo;
    ParseCommandLine(cmdInfo);
    if (!ProcessShellCommand(cmdInfo))
        return FALSE;
    m_pMainWnd->ShowWindow(SW_SHOW);
    m_pMainWnd->UpdateWindow();
    return TRUE;
}

int CSonoria3App::ExitInstance()
{
    GetI18N().ClearCache();
    CAppCfg& cfg = GetAppCfg();
    cfg.Save();
    cfg.RemoveAll();
    std::exit(0);
}
