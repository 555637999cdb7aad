// The application's declared settings and the one settings object, kept in the registry under
// HKEY_CURRENT_USER "Software\Corvalen\Sonoria3".
// Classes here: CZPX3BaseCfg (declares and loads/saves the settings), CAppCfg (run-time
// defaults, typed accessors, derived values, system tests, the search add-on).
#pragma once

#include "foundation/settings/cfg_base.h"

// Every setting in declaration order: X(kind, key, default text). Kinds: Int, Text, Bool, List,
// and Format (an integer file-type code whose getter counts unknown codes as 0, WAV). A list
// always starts with no items, whatever its text.
#define SONORIA_APP_SETTINGS(X)                                                                \
    X(Int, CDDevice, "0")                                                                      \
    X(Text, Language, "english.lang")                                                          \
    X(Int, MainWndCX, "640")                                                                   \
    X(Int, MainWndCY, "420")                                                                   \
    X(Text, FreedbServer, "gnudb.gnudb.org")                                                   \
    X(Int, FreedbTimeout, "90")                                                                \
    X(Text, FreedbEmail, "")                                                                   \
    X(Bool, SonoriaDBAutoSearch, "1")                                                          \
    X(Bool, UseLocalDB, "1")                                                                   \
    X(Bool, WriteCDPLAYERINI, "1")                                                             \
    X(List, FreedbServerList, "gnudb.gnudb.org")                                               \
    X(Bool, FreedbAutoChoose1, "1")                                                            \
    X(List, CDGridColumnWidthRip, "")                                                          \
    X(Format, DefaultTargetFormat, "1")                                                        \
    X(Text, OutputPath, "")                                                                    \
    X(Bool, RunAtHigherPriority, "0")                                                          \
    X(Bool, AllowMultipleInstances, "0")                                                       \
    X(List, FileNameDefs, "")                                                                  \
    X(Int, FileNameFormat, "0")                                                                \
    X(Int, WavEnc_BitsPerSample, "16")                                                         \
    X(Int, WavEnc_Channels, "2")                                                               \
    X(Bool, WavEnc_WriteInfoTags, "0")                                                         \
    X(Int, Mp3Enc_Channels, "3")                                                               \
    X(Int, Mp3Enc_Mode, "2")                                                                   \
    X(Int, Mp3Enc_Bitrate, "192")                                                              \
    X(Int, Mp3Enc_VBRQuality, "5")                                                             \
    X(Int, Mp3Enc_WriteID3, "3")                                                               \
    X(Bool, Mp3Enc_WriteCRCs, "0")                                                             \
    X(Int, VorbisEnc_Channels, "2")                                                            \
    X(Int, VorbisEnc_Quality, "4")                                                             \
    X(Bool, BeepAfterRip, "1")                                                                 \
    X(Bool, EjectAfterRip, "0")                                                                \
    X(Bool, WndCloseAfterRip, "0")                                                             \
    X(Bool, ReadCDText, "1")                                                                   \
    X(Int, RipVolume, "100")                                                                   \
    X(Bool, ShowSplash, "1")                                                                   \
    X(Bool, AutoCheckNewVersion, "1")                                                          \
    X(List, CDGridColumnWidthConv, "")                                                         \
    X(Bool, AutoSearchFreedb, "1")                                                             \
    X(Int, UseProxy, "1")                                                                      \
    X(Text, ProxyServer, "")                                                                   \
    X(Int, ProxyPort, "3128")                                                                  \
    X(Text, ProxyUser, "")                                                                     \
    X(Text, ProxyPwd, "")                                                                      \
    X(Bool, WriteLrcFile, "0")                                                                 \
    X(Int, WritePlayList, "0")                                                                 \
    X(Int, WmaEnc_Mode, "7")                                                                   \
    X(Int, FlacEnc_Channels, "2")                                                              \
    X(Int, FlacEnc_Level, "5")                                                                 \
    X(Int, OptionsWindow_dx, "0")                                                              \
    X(Int, OptionsWindow_dy, "0")                                                              \
    X(Bool, ConverterUsesFilenames, "1")                                                       \
    X(Text, EncodedByPreset, "Encoded with Sonoria")                                           \
    X(Int, LyricsWindow_dx, "0")                                                               \
    X(Int, LyricsWindow_dy, "0")                                                               \
    X(Bool, SlowSpeedMode, "0")                                                                \
    X(Bool, ForceASPI, "0")                                                                    \
    X(Bool, ShowFullFilename, "0")                                                             \
    X(Int, AudioOutDev, "0")                                                                   \
    X(Int, AudioOutVolume, "50")                                                               \
    X(Bool, AutoOpenOutputFolder, "1")                                                         \
    X(Bool, MainWndMax, "0")                                                                   \
    X(Int, LastCheckNewVersion, "-1")                                                          \
    X(Int, ConcurrentConversions, "0")                                                         \
    X(Text, EndOfConversionOKAlarm, "")                                                        \
    X(Text, EndOfConversionErrorAlarm, "")                                                     \
    X(Int, NumCDSectorsPerRead, "16")                                                          \
    X(Int, ConcurrentRippings, "0")                                                            \
    X(Int, CDReadBufSize, "1")                                                                 \
    X(Bool, ShowElapsedTime, "0")                                                              \
    X(Bool, FreedbUseSlashSep, "1")                                                            \
    X(Bool, Overwrite, "0")

// Declares the application's settings and loads and saves them under its registry path in
// HKEY_CURRENT_USER. Registry values that name no declared setting are ignored.
class CZPX3BaseCfg : public CCfgBase {
public:
    // Declares every setting: each value starts at its default.
    CZPX3BaseCfg();
    ~CZPX3BaseCfg() override;

    void DefineSettings() override;

    void SetRegistryPath(LPCTSTR lpszPath) { m_strRegistryPath = lpszPath; }
    // TRUE when the key existed.
    BOOL Load();
    // TRUE when the key could be opened or created.
    BOOL Save();

private:
    CString m_strRegistryPath;
};

// The settings object: one per process, reached through GetAppCfg. Its constructor declares
// the settings, computes the machine's defaults (output folder, alarm sounds, the language of
// the user's locale), creates the data folders and loads the stored values. Not thread-safe:
// the user-interface thread does every write, load and save.
class CAppCfg : public CZPX3BaseCfg {
public:
    CAppCfg();
    ~CAppCfg() override;

#define SONORIA_CFG_ACCESSORS_Int(key)                                                         \
    int Get##key() const                                                                       \
    {                                                                                          \
        int n = 0;                                                                             \
        GetInt(#key, n);                                                                       \
        return n;                                                                              \
    }                                                                                          \
    void Set##key(int n) { SetInt(#key, n); }
#define SONORIA_CFG_ACCESSORS_Text(key)                                                        \
    CString Get##key() const                                                                   \
    {                                                                                          \
        CString s;                                                                             \
        GetString(#key, s);                                                                    \
        return s;                                                                              \
    }                                                                                          \
    void Set##key(LPCTSTR s) { SetString(#key, s); }
#define SONORIA_CFG_ACCESSORS_Bool(key)                                                        \
    BOOL Get##key() const                                                                      \
    {                                                                                          \
        BOOL b = FALSE;                                                                        \
        GetBool(#key, b);                                                                      \
        return b;                                                                              \
    }                                                                                          \
    void Set##key(BOOL b) { SetBool(#key, b); }
#define SONORIA_CFG_ACCESSORS_Format(key)                                                      \
    int Get##key() const                                                                       \
    {                                                                                          \
        int n = 0;                                                                             \
        GetInt(#key, n);                                                                       \
        return n >= 0 && n <= 4 ? n : 0;                                                       \
    }                                                                                          \
    void Set##key(int n) { SetInt(#key, n); }
#define SONORIA_CFG_ACCESSORS_List(key)
#define SONORIA_CFG_ACCESSORS(kind, key, def) SONORIA_CFG_ACCESSORS_##kind(key)
    SONORIA_APP_SETTINGS(SONORIA_CFG_ACCESSORS)
#undef SONORIA_CFG_ACCESSORS

    // List settings: item getters give FALSE outside 0 to count-1. A list is rewritten by
    // clearing it and adding every item again, followed by a save.
    int GetFreedbServerListCount() const { return GetListCount("FreedbServerList"); }
    BOOL GetFreedbServerListItem(int nIndex, CString& strServer) const
    {
        return GetListItem("FreedbServerList", nIndex, strServer);
    }
    void AddFreedbServer(LPCTSTR lpszServer) { AddListItem("FreedbServerList", lpszServer); }
    void ClearFreedbServerList() { ClearList("FreedbServerList"); }

    // Each item is a display name, '|' and a file-name template.
    int GetFileNameDefsCount() const { return GetListCount("FileNameDefs"); }
    BOOL GetFileNameDefsItem(int nIndex, CString& strItem) const
    {
        return GetListItem("FileNameDefs", nIndex, strItem);
    }
    void AddFileNameDefsItem(LPCTSTR lpszItem) { AddListItem("FileNameDefs", lpszItem); }
    void ClearFileNameDefs() { ClearList("FileNameDefs"); }

    BOOL GetCDGridColumnWidthRipItem(int nIndex, CString& strWidth) const
    {
        return GetListItem("CDGridColumnWidthRip", nIndex, strWidth);
    }
    void AddCDGridColumnWidthRipItem(LPCTSTR lpszWidth)
    {
        AddListItem("CDGridColumnWidthRip", lpszWidth);
    }
    void ClearCDGridColumnWidthRip() { ClearList("CDGridColumnWidthRip"); }

    BOOL GetCDGridColumnWidthConvItem(int nIndex, CString& strWidth) const
    {
        return GetListItem("CDGridColumnWidthConv", nIndex, strWidth);
    }
    void AddCDGridColumnWidthConvItem(LPCTSTR lpszWidth)
    {
        AddListItem("CDGridColumnWidthConv", lpszWidth);
    }
    void ClearCDGridColumnWidthConv() { ClearList("CDGridColumnWidthConv"); }

    // "server:port" when UseProxy is above 1, else empty.
    CString GetProxyHostPort() const;

    // "Sonoria" under the common application-data folder, without a trailing backslash.
    CString GetAppDataFolder() const;
    // The local disc store's folder: the data folder's "cddb".
    CString GetCDDBFolder() const;
    // The user's Desktop folder as the registry holds it, or empty.
    CString GetDefaultOutputPath() const;

    // The install options file ("options.ini" beside the program file) and its
    // [InstallOptions] MustInstallSearchProvider (default 1).
    CString GetInstallOptionsPath() const;
    BOOL GetMustInstallSearchProvider() const;
    void SetMustInstallSearchProvider(BOOL bInstall);
    // The search add-on library beside the program file, and whether its class is registered.
    CString GetSearchProviderDllPath() const;
    BOOL IsSearchProviderInstalled() const;
    // Registers (bInstall) or unregisters the add-on with the system's RegSvr32, hidden and
    // elevated, without waiting; with both flags set, remembers the choice in the options
    // file first. Returns bInstall.
    BOOL InstallSearchProvider(BOOL bInstall, BOOL bRemember);

    BOOL IsUserAdmin() const;
    BOOL IsWinNT4OrLater() const;
    // Whether the Winlogon value "allocatecdroms" reads above 0 (only administrators may use
    // CD drives).
    BOOL IsCDROMAllocatedToUser() const;
    // Writes the two Winlogon values; silently nothing without the right to open the key.
    void SetCDROMAllocatedToUser(BOOL bRestrict);
};

// The search add-on's library file name and its registered class id.
#define SONORIA_SEARCH_PROVIDER_DLL "SonoriaSearch.dll"
#define SONORIA_SEARCH_PROVIDER_CLSID "{6B0A3C52-9E1F-4D87-A2C4-51F07E93B1D8}"

// The one settings object of the process (constructed on first use, so the first call comes
// before anything else that needs settings).
CAppCfg& GetAppCfg();
