// The program's global objects and entry point. The globals are built in this order and
// destroyed in the reverse order at exit: the settings, the single-instance manager, the
// application object, the translation engine and the CD drive table.
#include <windows.h>

#include "app/shell/sonoria3_app.h"
#include "audio/drive/drive_manager.h"
#include "foundation/i18n/i18n.h"
#include "foundation/settings/app_cfg.h"
#include "toolkit/controls/instance_manager/instance_manager.h"

namespace {

CAppCfg& g_settings = GetAppCfg();
COXInstanceManager g_instanceManager("Sonoria", 0);
CSonoria3App theApp;
CI18N& g_translation = GetI18N();
CDriveManager& g_drives = GetDriveTable();

} // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int nCmdShow)
{
    CSonoria3App::s_pInstanceManager = &g_instanceManager;
    (void)g_settings, (void)g_translation, (void)g_drives;
    return AfxWinMain(hInstance, lpCmdLine, nCmdShow);
}
