// The settings object against the real registry of the test prefix: first start, the machine's
// defaults, the stored layout, typed accessors, a second process, the Winlogon values and the
// install options file.
#include "foundation/settings/app_cfg.h"
#include "foundation/util/sys_utils.h"
#include "tests/foundation/child_process.h"
#include "tests/foundation/registry_helpers.h"
#include "tests/foundation/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

namespace {

const char kPath[] = "Software\\Corvalen\\Sonoria3";
const char kWinlogon[] = "Software\\Microsoft\\Windows NT\\CurrentVersion\\Winlogon";

std::string FileText(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Every run starts as a first start: no stored settings, no install folder in HKLM.
class AppCfgTest : public ::testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }
    static void Clean()
    {
        reg::DeleteTree(HKEY_CURRENT_USER, kPath);
        ::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kPath, "Path");
    }
};

struct Expected {
    const char* key;
    const char* value; // nullptr: computed at construction
    bool list;
};

// The declared settings in order, with their defaults.
const Expected kSettings[] = {
    {"CDDevice", "0", false}, {"Language", "english.lang", false}, {"MainWndCX", "640", false},
    {"MainWndCY", "420", false}, {"FreedbServer", "gnudb.gnudb.org", false},
    {"FreedbTimeout", "90", false}, {"FreedbEmail", "", false},
    {"SonoriaDBAutoSearch", "1", false}, {"UseLocalDB", "1", false},
    {"WriteCDPLAYERINI", "1", false}, {"FreedbServerList", "gnudb.gnudb.org", true},
    {"FreedbAutoChoose1", "1", false}, {"CDGridColumnWidthRip", "", true},
    {"DefaultTargetFormat", "1", false}, {"OutputPath", nullptr, false},
    {"RunAtHigherPriority", "0", false}, {"AllowMultipleInstances", "0", false},
    {"FileNameDefs", "", true}, {"FileNameFormat", "0", false},
    {"WavEnc_BitsPerSample", "16", false}, {"WavEnc_Channels", "2", false},
    {"WavEnc_WriteInfoTags", "0", false}, {"Mp3Enc_Channels", "3", false},
    {"Mp3Enc_Mode", "2", false}, {"Mp3Enc_Bitrate", "192", false},
    {"Mp3Enc_VBRQuality", "5", false}, {"Mp3Enc_WriteID3", "3", false},
    {"Mp3Enc_WriteCRCs", "0", false}, {"VorbisEnc_Channels", "2", false},
    {"VorbisEnc_Quality", "4", false}, {"BeepAfterRip", "1", false},
    {"EjectAfterRip", "0", false}, {"WndCloseAfterRip", "0", false}, {"ReadCDText", "1", false},
    {"RipVolume", "100", false}, {"ShowSplash", "1", false}, {"AutoCheckNewVersion", "1", false},
    {"CDGridColumnWidthConv", "", true}, {"AutoSearchFreedb", "1", false},
    {"UseProxy", "1", false}, {"ProxyServer", "", false}, {"ProxyPort", "3128", false},
    {"ProxyUser", "", false}, {"ProxyPwd", "", false}, {"WriteLrcFile", "0", false},
    {"WritePlayList", "0", false}, {"WmaEnc_Mode", "7", false}, {"FlacEnc_Channels", "2", false},
    {"FlacEnc_Level", "5", false}, {"OptionsWindow_dx", "0", false},
    {"OptionsWindow_dy", "0", false}, {"ConverterUsesFilenames", "1", false},
    {"EncodedByPreset", "Encoded with Sonoria", false}, {"LyricsWindow_dx", "0", false},
    {"LyricsWindow_dy", "0", false}, {"SlowSpeedMode", "0", false}, {"ForceASPI", "0", false},
    {"ShowFullFilename", "0", false}, {"AudioOutDev", "0", false},
    {"AudioOutVolume", "50", false}, {"AutoOpenOutputFolder", "1", false},
    {"MainWndMax", "0", false}, {"LastCheckNewVersion", "-1", false},
    {"ConcurrentConversions", "0", false}, {"EndOfConversionOKAlarm", nullptr, false},
    {"EndOfConversionErrorAlarm", nullptr, false}, {"NumCDSectorsPerRead", "16", false},
    {"ConcurrentRippings", "0", false}, {"CDReadBufSize", "1", false},
    {"ShowElapsedTime", "0", false}, {"FreedbUseSlashSep", "1", false}, {"Overwrite", "0", false},
};

} // namespace

TEST_F(AppCfgTest, FirstStartHasTheDefaultsAndTheFirstSaveWritesThemAll)
{
    const std::string install = GetAppFolder(kPath).GetString();
    CAppCfg cfg;
    std::vector<std::string> values, subkeys;
    for (const Expected& e : kSettings) {
        SCOPED_TRACE(e.key);
        CString value;
        ASSERT_TRUE(cfg.GetString(e.key, value));
        if (e.value) {
            EXPECT_STREQ(value, e.value);
        }
        EXPECT_EQ(cfg.GetListCount(e.key), e.list ? 0 : -2);
        (e.list ? subkeys : values).push_back(e.key);
    }
    EXPECT_STREQ(cfg.GetOutputPath(), GetDesktopFolder());
    EXPECT_FALSE(cfg.GetOutputPath().IsEmpty());
    EXPECT_EQ(std::string(cfg.GetEndOfConversionOKAlarm()), install + "done.wav");
    EXPECT_EQ(std::string(cfg.GetEndOfConversionErrorAlarm()), install + "error.wav");
    EXPECT_EQ(cfg.GetFreedbServerListCount(), 0);
    EXPECT_EQ(cfg.GetProxyPort(), 3128);
    EXPECT_TRUE(cfg.GetAutoSearchFreedb());
    EXPECT_EQ(cfg.GetLastCheckNewVersion(), -1);

    const DWORD folder = ::GetFileAttributesA(cfg.GetCDDBFolder());
    ASSERT_NE(folder, INVALID_FILE_ATTRIBUTES) << cfg.GetCDDBFolder().GetString();
    EXPECT_TRUE(folder & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(std::string(cfg.GetAppDataFolder()),
              std::string(GetCommonAppDataFolder()) + "\\Sonoria");

    ASSERT_TRUE(cfg.Save());
    std::sort(values.begin(), values.end());
    EXPECT_EQ(reg::ValueNames(HKEY_CURRENT_USER, kPath), values);
    for (const Expected& e : kSettings) {
        SCOPED_TRACE(e.key);
        const std::string sub = std::string(kPath) + "\\" + e.key;
        if (e.list) {
            EXPECT_EQ(reg::ValueNames(HKEY_CURRENT_USER, sub), std::vector<std::string>{"N"});
            EXPECT_EQ(reg::GetText(HKEY_CURRENT_USER, sub, "N"), "0");
        } else if (e.value) {
            EXPECT_EQ(reg::GetText(HKEY_CURRENT_USER, kPath, e.key), e.value);
        }
    }
    EXPECT_EQ(reg::GetText(HKEY_CURRENT_USER, kPath, "OutputPath"), GetDesktopFolder().GetString());
}

TEST_F(AppCfgTest, LocaleChoosesTheLanguageOnlyUntilOneIsStored)
{
    char user[8] = "";
    ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_ILANGUAGE, user, sizeof user);
    TempFolder install;
    ::WritePrivateProfileStringA("Info", "LocaleID", user, install.File("mine.lang").c_str());
    ::WritePrivateProfileStringA("Info", "LocaleID", "0000", install.File("other.lang").c_str());
    reg::SetText(HKEY_LOCAL_MACHINE, kPath, "Path", install.Path());
    {
        CAppCfg cfg;
        EXPECT_STREQ(cfg.GetLanguage(), "mine.lang");
        EXPECT_EQ(std::string(cfg.GetEndOfConversionOKAlarm()), install.File("done.wav"));
        cfg.SetLanguage("other.lang");
        ASSERT_TRUE(cfg.Save());
    }
    CAppCfg later;
    EXPECT_STREQ(later.GetLanguage(), "other.lang");
}

TEST_F(AppCfgTest, StoredValuesWinOverComputedOnes)
{
    {
        CAppCfg cfg;
        cfg.SetOutputPath("D:\\Rips|2026");
        cfg.AddFileNameDefsItem("Artist - Title|%A - %T");
        cfg.AddFileNameDefsItem("Track only|%N");
        cfg.SetEndOfConversionOKAlarm("C:\\sounds\\ok.wav");
        cfg.SetMp3Enc_Bitrate(320);
        cfg.SetShowElapsedTime(TRUE);
        ASSERT_TRUE(cfg.Save());
    }
    CAppCfg cfg;
    EXPECT_STREQ(cfg.GetOutputPath(), "D:\\Rips2026") << "text setters drop '|'";
    ASSERT_EQ(cfg.GetFileNameDefsCount(), 2);
    CString item;
    EXPECT_TRUE(cfg.GetFileNameDefsItem(0, item));
    EXPECT_STREQ(item, "Artist - Title|%A - %T");
    EXPECT_STREQ(cfg.GetEndOfConversionOKAlarm(), "C:\\sounds\\ok.wav");
    EXPECT_EQ(cfg.GetMp3Enc_Bitrate(), 320);
    EXPECT_TRUE(cfg.GetShowElapsedTime());
}

TEST_F(AppCfgTest, ProxyHostPortOnlyForManualProxy)
{
    struct Case {
        int useProxy;
        const char* server;
        int port;
        const char* hostPort;
    };
    const Case cases[] = {
        {2, "proxy", 8080, "proxy:8080"}, {3, "10.0.0.1", 3128, "10.0.0.1:3128"},
        {1, "proxy", 8080, ""},           {0, "proxy", 8080, ""},
        {-1, "proxy", 8080, ""},
    };
    CAppCfg cfg;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.useProxy);
        cfg.SetUseProxy(c.useProxy);
        cfg.SetProxyServer(c.server);
        cfg.SetProxyPort(c.port);
        EXPECT_STREQ(cfg.GetProxyHostPort(), c.hostPort);
    }
}

TEST_F(AppCfgTest, UnknownTargetFormatCountsAsWav)
{
    CAppCfg cfg;
    for (int format : {0, 1, 2, 3, 4, 5, 7, -1}) {
        SCOPED_TRACE(format);
        cfg.SetDefaultTargetFormat(format);
        EXPECT_EQ(cfg.GetDefaultTargetFormat(), format >= 0 && format <= 4 ? format : 0);
    }
}

TEST_F(AppCfgTest, ListAccessors)
{
    CAppCfg cfg;
    cfg.AddFreedbServer("gnudb.gnudb.org");
    cfg.AddFreedbServer("127.0.0.1");
    EXPECT_EQ(cfg.GetFreedbServerListCount(), 2);
    CString item;
    EXPECT_TRUE(cfg.GetFreedbServerListItem(1, item));
    EXPECT_STREQ(item, "127.0.0.1");
    EXPECT_FALSE(cfg.GetFreedbServerListItem(2, item));
    cfg.ClearFreedbServerList();
    EXPECT_EQ(cfg.GetFreedbServerListCount(), 0);

    for (const char* width : {"30", "200", "80"}) {
        cfg.AddCDGridColumnWidthRipItem(width);
        cfg.AddCDGridColumnWidthConvItem(width);
    }
    cfg.ClearCDGridColumnWidthConv();
    EXPECT_TRUE(cfg.GetCDGridColumnWidthRipItem(2, item));
    EXPECT_STREQ(item, "80");
    EXPECT_FALSE(cfg.GetCDGridColumnWidthRipItem(3, item));
    EXPECT_FALSE(cfg.GetCDGridColumnWidthConvItem(0, item));
    EXPECT_FALSE(cfg.GetCDGridColumnWidthRipItem(-1, item));
}

// The child process loads what this one saved, then saves a change this one loads.
TEST_F(AppCfgTest, StoredSettingsSurviveANewProcess)
{
    TempFolder folder;
    {
        CAppCfg cfg;
        cfg.SetProxyServer("proxy.example");
        cfg.AddFreedbServer("first|server");
        cfg.AddFreedbServer("second");
        ASSERT_TRUE(cfg.Save());
    }
    ASSERT_EQ(RunChild("--get ProxyServer \"" + folder.File("proxy.txt") + "\""), 0);
    EXPECT_EQ(FileText(folder.File("proxy.txt")), "proxy.example");
    ASSERT_EQ(RunChild("--get FreedbServerList \"" + folder.File("list.txt") + "\""), 0);
    EXPECT_EQ(FileText(folder.File("list.txt")), "first|server\nsecond\n");

    ASSERT_EQ(RunChild("--set ProxyUser child-user"), 0);
    ASSERT_EQ(RunChild("--set FreedbServerList third"), 0);
    CAppCfg cfg;
    EXPECT_STREQ(cfg.GetProxyUser(), "child-user");
    EXPECT_STREQ(cfg.GetProxyServer(), "proxy.example");
    EXPECT_EQ(cfg.GetFreedbServerListCount(), 3);
}

TEST_F(AppCfgTest, WinlogonCdromValues)
{
    const std::string path = kWinlogon;
    struct Restore {
        std::string cdroms, dasd;
        ~Restore()
        {
            for (auto [name, value] : {std::pair{"allocatecdroms", cdroms}, {"allocatedasd", dasd}})
                if (value == "<absent>")
                    ::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kWinlogon, name);
                else
                    reg::SetText(HKEY_LOCAL_MACHINE, kWinlogon, name, value);
        }
    } restore{reg::GetText(HKEY_LOCAL_MACHINE, path, "allocatecdroms"),
              reg::GetText(HKEY_LOCAL_MACHINE, path, "allocatedasd")};

    CAppCfg cfg;
    cfg.SetCDROMAllocatedToUser(TRUE);
    EXPECT_EQ(reg::GetText(HKEY_LOCAL_MACHINE, path, "allocatecdroms"), "1");
    EXPECT_EQ(reg::GetText(HKEY_LOCAL_MACHINE, path, "allocatedasd"), "0");
    EXPECT_TRUE(cfg.IsCDROMAllocatedToUser());
    cfg.SetCDROMAllocatedToUser(FALSE);
    EXPECT_EQ(reg::GetText(HKEY_LOCAL_MACHINE, path, "allocatecdroms"), "0");
    EXPECT_EQ(reg::GetText(HKEY_LOCAL_MACHINE, path, "allocatedasd"), "2");
    EXPECT_FALSE(cfg.IsCDROMAllocatedToUser());

    struct Case {
        const char* stored;
        BOOL allocated;
    };
    for (const Case& c : {Case{"5", TRUE}, Case{" 1x", TRUE}, Case{"-1", FALSE}, Case{"", FALSE},
                          Case{nullptr, FALSE}}) {
        SCOPED_TRACE(c.stored ? c.stored : "missing");
        if (c.stored)
            reg::SetText(HKEY_LOCAL_MACHINE, path, "allocatecdroms", c.stored);
        else
            ::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kWinlogon, "allocatecdroms");
        EXPECT_EQ(cfg.IsCDROMAllocatedToUser(), c.allocated);
    }
    EXPECT_TRUE(cfg.IsWinNT4OrLater());
    EXPECT_EQ(cfg.IsUserAdmin(), UserIsAdministrator());
}

// The add-on library beside the test program registers its class through the system's
// RegSvr32, which runs without being waited for; each step waits for the last to show.
TEST_F(AppCfgTest, SearchAddOnRegistrationAndTheInstallOptionsFile)
{
    CAppCfg cfg;
    const std::string options = cfg.GetInstallOptionsPath().GetString();
    EXPECT_EQ(options, std::string(GetAppFolder()) + "options.ini");
    EXPECT_EQ(std::string(cfg.GetSearchProviderDllPath()),
              std::string(GetAppFolder()) + "SonoriaSearch.dll");
    ASSERT_NE(::GetFileAttributesA(cfg.GetSearchProviderDllPath()), INVALID_FILE_ATTRIBUTES);
    ::DeleteFileA(options.c_str());
    const auto waitFor = [&](BOOL installed) {
        for (int i = 0; i < 600 && cfg.IsSearchProviderInstalled() != installed; ++i)
            ::Sleep(100);
        return cfg.IsSearchProviderInstalled() == installed;
    };

    // Start registered, so that every step below changes the state and its wait sees the
    // change: RegSvr32 runs unwaited, and a step that finds its state already reached would
    // leave its RegSvr32 running into the next step's.
    {
        std::string command = "regsvr32.exe /s \"" +
                              std::string(cfg.GetSearchProviderDllPath()) + "\"";
        STARTUPINFOA si{};
        si.cb = sizeof si;
        PROCESS_INFORMATION pi{};
        ASSERT_TRUE(::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                     nullptr, &si, &pi));
        ::WaitForSingleObject(pi.hProcess, 60000);
        ::CloseHandle(pi.hThread);
        ::CloseHandle(pi.hProcess);
        ASSERT_TRUE(waitFor(TRUE));
    }

    EXPECT_TRUE(cfg.GetMustInstallSearchProvider()) << "default 1";
    cfg.SetMustInstallSearchProvider(FALSE);
    EXPECT_FALSE(cfg.GetMustInstallSearchProvider());

    struct Step {
        BOOL install, remember;
        BOOL mustInstallAfter;
    };
    const Step steps[] = {
        {FALSE, TRUE, FALSE}, {TRUE, FALSE, FALSE}, {FALSE, FALSE, FALSE},
        {TRUE, TRUE, TRUE},   {FALSE, FALSE, TRUE},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(std::to_string(s.install) + "," + std::to_string(s.remember));
        EXPECT_EQ(cfg.InstallSearchProvider(s.install, s.remember), s.install);
        EXPECT_TRUE(waitFor(s.install));
        EXPECT_EQ(cfg.GetMustInstallSearchProvider(), s.mustInstallAfter);
    }
    char text[8];
    ::GetPrivateProfileStringA("InstallOptions", "MustInstallSearchProvider", "", text,
                               sizeof text, options.c_str());
    EXPECT_STREQ(text, "1");
    ::DeleteFileA(options.c_str());
}
