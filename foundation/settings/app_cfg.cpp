// The application's settings: declaration in order, the machine's defaults, derived values,
// the CD-use rights in the Winlogon key and the search add-on.
#include "foundation/settings/app_cfg.h"

#include "foundation/i18n/i18n.h"
#include "foundation/util/sys_utils.h"

#include <io.h>

namespace {

const char kRegistryPath[] = "Software\\Corvalen\\Sonoria3";
const char kWinlogonKey[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";
const char kInstallOptions[] = "InstallOptions";
const char kMustInstallSearchProvider[] = "MustInstallSearchProvider";

#define SONORIA_CFG_IS_LIST_Int FALSE
#define SONORIA_CFG_IS_LIST_Text FALSE
#define SONORIA_CFG_IS_LIST_Bool FALSE
#define SONORIA_CFG_IS_LIST_Format FALSE
#define SONORIA_CFG_IS_LIST_List TRUE
#define SONORIA_CFG_ROW(kind, key, def) {#key, def, SONORIA_CFG_IS_LIST_##kind},

struct Declaration {
    const char* key;
    const char* def;
    BOOL isList;
};
const Declaration kDeclarations[] = {SONORIA_APP_SETTINGS(SONORIA_CFG_ROW)};

} // namespace

CZPX3BaseCfg::CZPX3BaseCfg() : CCfgBase(FALSE)
{
    DefineSettings();
}

CZPX3BaseCfg::~CZPX3BaseCfg() = default;

void CZPX3BaseCfg::DefineSettings()
{
    for (const Declaration& d : kDeclarations)
        Declare(d.key, d.def, d.isList);
}

BOOL CZPX3BaseCfg::Load()
{
    return LoadFromRegistry(m_strRegistryPath, TRUE);
}

BOOL CZPX3BaseCfg::Save()
{
    return SaveToRegistry(m_strRegistryPath, TRUE);
}

CAppCfg::CAppCfg()
{
    SetRegistryPath(kRegistryPath);
    ::CreateDirectoryA(GetAppDataFolder(), nullptr);
    ::CreateDirectoryA(GetCDDBFolder(), nullptr);
    SetOutputPath(GetDefaultOutputPath());
    const CString strInstallFolder = GetAppFolder(kRegistryPath);
    SetEndOfConversionErrorAlarm(AppendPathComponent(strInstallFolder, "error.wav"));
    SetEndOfConversionOKAlarm(AppendPathComponent(strInstallFolder, "done.wav"));
    CString strLanguageFile;
    if (CI18N::FindLanguageFileForLocale(strInstallFolder, strLanguageFile))
        SetLanguage(strLanguageFile);
    Load();
}

CAppCfg::~CAppCfg() = default;

CString CAppCfg::GetProxyHostPort() const
{
    CString strHostPort;
    if (GetUseProxy() > 1)
        strHostPort.Format("%s:%d", GetProxyServer().GetString(), GetProxyPort());
    return strHostPort;
}

CString CAppCfg::GetAppDataFolder() const
{
    return AppendPathComponent(GetCommonAppDataFolder(), "Sonoria");
}

CString CAppCfg::GetCDDBFolder() const
{
    return AppendPathComponent(GetAppDataFolder(), "cddb");
}

CString CAppCfg::GetDefaultOutputPath() const
{
    return GetDesktopFolder();
}

CString CAppCfg::GetInstallOptionsPath() const
{
    return GetAppFolder() + "options.ini";
}

BOOL CAppCfg::GetMustInstallSearchProvider() const
{
    return ::GetPrivateProfileIntA(kInstallOptions, kMustInstallSearchProvider, 1,
                                   GetInstallOptionsPath()) != 0;
}

void CAppCfg::SetMustInstallSearchProvider(BOOL bInstall)
{
    ::WritePrivateProfileStringA(kInstallOptions, kMustInstallSearchProvider, bInstall ? "1" : "0",
                                 GetInstallOptionsPath());
}

CString CAppCfg::GetSearchProviderDllPath() const
{
    return GetAppFolder() + SONORIA_SEARCH_PROVIDER_DLL;
}

BOOL CAppCfg::IsSearchProviderInstalled() const
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CLASSES_ROOT, "CLSID\\" SONORIA_SEARCH_PROVIDER_CLSID, 0, KEY_READ,
                        &hKey) != ERROR_SUCCESS)
        return FALSE;
    ::RegCloseKey(hKey);
    return TRUE;
}

BOOL CAppCfg::InstallSearchProvider(BOOL bInstall, BOOL bRemember)
{
    if (bInstall && bRemember)
        SetMustInstallSearchProvider(TRUE);

    char systemFolder[MAX_PATH] = "";
    ::GetSystemDirectoryA(systemFolder, MAX_PATH);
    CString strTool = AppendPathComponent(systemFolder, "RegSvr32.exe");
    if (::_access(strTool, 4) != 0)
        strTool = "RegSvr32.exe";

    const CString strDll = GetSearchProviderDllPath();
    if (::GetFileAttributesA(strDll) != INVALID_FILE_ATTRIBUTES) {
        CString strParameters;
        strParameters.Format("%s /s \"%s\"", bInstall ? "" : "/u", strDll.GetString());
        ShellExecuteElevated(nullptr, strTool, strParameters, nullptr, SW_HIDE, TRUE);
    }
    return bInstall;
}

BOOL CAppCfg::IsUserAdmin() const
{
    return UserIsAdministrator();
}

BOOL CAppCfg::IsWinNT4OrLater() const
{
    DWORD major = 0, minor = 0;
    GetWindowsVersion(major, minor);
    return IsNT4OrLaterVersion(major, minor);
}

BOOL CAppCfg::IsCDROMAllocatedToUser() const
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kWinlogonKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return FALSE;
    char buf[32] = "";
    DWORD len = sizeof buf - 1;
    DWORD type = 0;
    BOOL bAllocated = FALSE;
    if (::RegQueryValueExA(hKey, "allocatecdroms", nullptr, &type, reinterpret_cast<BYTE*>(buf),
                           &len) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        buf[len] = '\0';
        bAllocated = CCfgBase::ReadInt(buf) > 0;
    }
    ::RegCloseKey(hKey);
    return bAllocated;
}

void CAppCfg::SetCDROMAllocatedToUser(BOOL bRestrict)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kWinlogonKey, 0,
                        KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY, &hKey) != ERROR_SUCCESS)
        return;
    const char* dasd = bRestrict ? "0" : "2";
    const char* cdroms = bRestrict ? "1" : "0";
    ::RegSetValueExA(hKey, "allocatedasd", 0, REG_SZ, reinterpret_cast<const BYTE*>(dasd), 2);
    ::RegSetValueExA(hKey, "allocatecdroms", 0, REG_SZ, reinterpret_cast<const BYTE*>(cdroms), 2);
    ::RegCloseKey(hKey);
}

CAppCfg& GetAppCfg()
{
    static CAppCfg theAppCfg;
    return theAppCfg;
}
