// Start-up and exit of Sonoria3.exe itself, run as child processes: the installer switches
// report to a loopback statistics server and end the program; a second instance is refused
// and restores the first, unless the setting allows it; a start recreates the default
// templates in the current language file; closing the window saves the settings, the grid's
// column widths through the program's exit; the window size, the maximised state and the bar
// layout come back in the next run; the update check asks a loopback version page once a day
// and stays quiet when nothing answers.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "foundation/settings/app_cfg.h"
#include "testing/http/loopback_http.h"

namespace {

constexpr char kSettingsKey[] = "Software\\Corvalen\\Sonoria3";
constexpr char kInternetKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Internet Settings";
constexpr WPARAM kStatusBarCommand = 0xE801; // View > Status Bar, and the status bar's id

std::string ProgramPath()
{
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.rfind('\\') + 1) + "Sonoria3.exe";
}

void SetString(HKEY root, const char* key, const char* name, const std::string& value)
{
    ::RegSetKeyValueA(root, key, name, REG_SZ, value.c_str(),
                      static_cast<DWORD>(value.size() + 1));
}

void SetDword(HKEY root, const char* key, const char* name, DWORD value)
{
    ::RegSetKeyValueA(root, key, name, REG_DWORD, &value, sizeof(value));
}

std::string GetString(const char* name)
{
    char buf[256] = {};
    DWORD size = sizeof(buf);
    if (::RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, name, RRF_RT_REG_SZ, nullptr, buf,
                       &size) != ERROR_SUCCESS)
        return "";
    return buf;
}

// Today's code of the daily update check: year x 365 + month x 31 + day.
std::string TodaysCheckCode()
{
    SYSTEMTIME t{};
    ::GetLocalTime(&t);
    return std::to_string(t.wYear * 365 + t.wMonth * 31 + t.wDay);
}

bool VisibleChild(HWND hParent, int nID)
{
    HWND h = ::GetDlgItem(hParent, nID);
    return h != nullptr && ::IsWindowVisible(h);
}

// Waits up to ms for cond(); its last answer.
template <class Cond> bool WaitFor(Cond cond, DWORD ms = 10000)
{
    for (DWORD waited = 0; waited < ms && !cond(); waited += 50)
        ::Sleep(50);
    return cond();
}

// A left-button drag through the input queue, in screen coordinates.
void DragMouse(POINT from, POINT to)
{
    auto move = [](POINT pt) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        const int cx = ::GetSystemMetrics(SM_CXSCREEN) - 1, cy = ::GetSystemMetrics(SM_CYSCREEN) - 1;
        in.mi.dx = static_cast<LONG>((pt.x * 65535LL + cx / 2) / cx);
        in.mi.dy = static_cast<LONG>((pt.y * 65535LL + cy / 2) / cy);
        in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE;
        ::SendInput(1, &in, sizeof(in));
        ::Sleep(40);
    };
    auto button = [](DWORD flag) {
        INPUT in{};
        in.type = INPUT_MOUSE;
        in.mi.dwFlags = flag;
        ::SendInput(1, &in, sizeof(in));
        ::Sleep(80);
    };
    move(from);
    button(MOUSEEVENTF_LEFTDOWN);
    for (int i = 1; i <= 8; ++i)
        move(POINT{from.x + (to.x - from.x) * i / 8, from.y + (to.y - from.y) * i / 8});
    button(MOUSEEVENTF_LEFTUP);
}

// The first list view among the window's descendants.
HWND FindListView(HWND hParent)
{
    HWND found = nullptr;
    ::EnumChildWindows(
        hParent,
        [](HWND h, LPARAM p) {
            char cls[32] = {};
            ::GetClassNameA(h, cls, sizeof(cls));
            if (std::string(cls) != WC_LISTVIEWA)
                return TRUE;
            *reinterpret_cast<HWND*>(p) = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

class Child {
public:
    explicit Child(const std::string& args)
    {
        std::string line = "\"" + ProgramPath() + "\"";
        if (!args.empty())
            line += " " + args;
        STARTUPINFOA si{};
        si.cb = sizeof(si);
        m_started = ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                     nullptr, &si, &m_pi) != FALSE;
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;
    ~Child()
    {
        if (!m_started)
            return;
        if (::WaitForSingleObject(m_pi.hProcess, 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(m_pi.hProcess, 1);
            ::WaitForSingleObject(m_pi.hProcess, 10000);
        }
        ::CloseHandle(m_pi.hThread);
        ::CloseHandle(m_pi.hProcess);
    }
    bool Started() const { return m_started; }
    // The exit code, or -1 when it still runs after the wait.
    int Wait(DWORD ms)
    {
        if (::WaitForSingleObject(m_pi.hProcess, ms) != WAIT_OBJECT_0)
            return -1;
        DWORD code = 0;
        ::GetExitCodeProcess(m_pi.hProcess, &code);
        return static_cast<int>(code);
    }
    // The visible top-level window of the process, waiting up to ms for it.
    HWND MainWindow(DWORD ms = 60000)
    {
        for (DWORD waited = 0; waited < ms; waited += 100) {
            if (HWND h = VisibleWindow(false); h != nullptr)
                return h;
            if (Wait(100) >= 0)
                return nullptr;
        }
        return nullptr;
    }
    // A message box (or any dialog) of the process is on the screen.
    bool ShowsDialog() const { return VisibleWindow(true) != nullptr; }

private:
    // A visible window of the process: a dialog, or else an unowned window of another class.
    HWND VisibleWindow(bool dialog) const
    {
        struct Search {
            DWORD pid;
            bool dialog;
            HWND found;
        } s{m_pi.dwProcessId, dialog, nullptr};
        ::EnumWindows(
            [](HWND h, LPARAM p) {
                auto* s = reinterpret_cast<Search*>(p);
                DWORD pid = 0;
                ::GetWindowThreadProcessId(h, &pid);
                char cls[32] = {};
                ::GetClassNameA(h, cls, sizeof(cls));
                const bool isDialog = std::string(cls) == "#32770";
                if (pid == s->pid && ::IsWindowVisible(h) && isDialog == s->dialog &&
                    (isDialog || ::GetWindow(h, GW_OWNER) == nullptr)) {
                    s->found = h;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&s));
        return s.found;
    }

    PROCESS_INFORMATION m_pi{};
    bool m_started = false;
};

class StartupTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        SetString(HKEY_CURRENT_USER, kSettingsKey, "AllowMultipleInstances", "0");
        SetString(HKEY_CURRENT_USER, kSettingsKey, "AutoCheckNewVersion", "0");
        SetString(HKEY_CURRENT_USER, kSettingsKey, "AutoSearchFreedb", "0");
        SetString(HKEY_CURRENT_USER, kSettingsKey, "SonoriaDBAutoSearch", "0");
    }
};

TEST_F(StartupTest, EachInstallerSwitchReportsOnceAndEndsTheProgram)
{
    testing_http::LoopbackHttpServer stats(
        [](const testing_http::Request&) { return testing_http::MakeReply(200, "OK"); });
    // The statistics go through the system's proxy settings: our loopback server.
    SetDword(HKEY_CURRENT_USER, kInternetKey, "ProxyEnable", 1);
    SetString(HKEY_CURRENT_USER, kInternetKey, "ProxyServer",
              "127.0.0.1:" + std::to_string(stats.Port()));
    struct Case {
        const char* args;
        const char* page;
        const char* query; // a part of the query that must be there
    };
    const Case cases[] = {
        {"/install=5", "sinstall.php", "disid=5"},
        {"/install 5", "sinstall.php", "disid=5"},
        {"/INSTALL 5", "sinstall.php", "disid=5"},
        {"/install", "sinstall.php", "disid=1"},
        {"/install x", "sinstall.php", "disid=1"},
        {"/install 0", "sinstall.php", "disid=1"},
        {"/install 3 /uninstall", "sinstall.php", "disid=3"},
        {"/uninstall", "suninstall.php", "appid=8"},
        {"/ajinstall", "sajinstall.php", "appid=8"},
    };
    size_t seen = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.args);
        Child child(c.args);
        ASSERT_TRUE(child.Started());
        EXPECT_EQ(child.Wait(60000), 0);
        auto requests = stats.Requests();
        ASSERT_EQ(requests.size(), seen + 1) << "one report per start";
        const std::string& target = requests.back().target;
        EXPECT_NE(target.find(c.page), std::string::npos) << target;
        EXPECT_NE(target.find(c.query), std::string::npos) << target;
        seen = requests.size();
    }
    SetDword(HKEY_CURRENT_USER, kInternetKey, "ProxyEnable", 0);
}

TEST_F(StartupTest, SecondInstanceRestoresTheFirstUnlessAllowed)
{
    Child first("");
    HWND hFirst = first.MainWindow();
    ASSERT_NE(hFirst, nullptr);
    ::ShowWindow(hFirst, SW_MINIMIZE);

    Child second("");
    EXPECT_EQ(second.Wait(60000), 0) << "the second start ends by itself";
    for (int i = 0; i < 100 && ::IsIconic(hFirst); ++i)
        ::Sleep(50);
    EXPECT_FALSE(::IsIconic(hFirst)) << "the first window was restored";

    SetString(HKEY_CURRENT_USER, kSettingsKey, "AllowMultipleInstances", "1");
    Child third("");
    HWND hThird = third.MainWindow();
    EXPECT_NE(hThird, nullptr) << "allowed: the third start opens its window";
    if (hThird != nullptr)
        ::PostMessageA(hThird, WM_CLOSE, 0, 0);
    EXPECT_EQ(third.Wait(60000), 0);
    ::PostMessageA(hFirst, WM_CLOSE, 0, 0);
    EXPECT_EQ(first.Wait(60000), 0);
}

TEST_F(StartupTest, StartRecreatesTemplatesInTheLanguageFileAndExitSavesTheSettings)
{
    // The install folder (and with it the language file) is a folder of the test's own.
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string folder = std::string(temp) + "sonoria_startup_lang\\";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    const std::string langFile = folder + "english.lang";
    ::DeleteFileA(langFile.c_str());
    HKEY hklm = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr, 0, KEY_WRITE,
                                nullptr, &hklm, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(hklm, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                     static_cast<DWORD>(folder.size() + 1));
    ::RegCloseKey(hklm);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Corvalen\\Sonoria3\\FileNameDefs");
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Corvalen\\Sonoria3\\CDGridColumnWidthRip");
    SetString(HKEY_CURRENT_USER, kSettingsKey, "AllowMultipleInstances", "1");
    SetString(HKEY_CURRENT_USER, kSettingsKey, "MainWndCX", "640");

    Child child("");
    HWND hWnd = child.MainWindow();
    ASSERT_NE(hWnd, nullptr);
    ::SetWindowPos(hWnd, nullptr, 0, 0, 720, 480, SWP_NOZORDER | SWP_NOACTIVATE);
    // A column widened by dragging its header divider: the grid keeps that width in the
    // settings only when its window goes, after the frame has saved on closing, so only the
    // program's own exit writes it to the registry.
    HWND hList = FindListView(hWnd);
    ASSERT_NE(hList, nullptr);
    const int before = ListView_GetColumnWidth(hList, 0);
    RECT header{};
    ::GetWindowRect(ListView_GetHeader(hList), &header);
    const int y = (header.top + header.bottom) / 2;
    DragMouse(POINT{header.left + before - 1, y}, POINT{header.left + before + 59, y});
    ASSERT_TRUE(WaitFor([&] { return ListView_GetColumnWidth(hList, 0) > before + 30; }))
        << "the drag widened column 0";
    const int widened = ListView_GetColumnWidth(hList, 0);
    ::PostMessageA(hWnd, WM_CLOSE, 0, 0);
    ASSERT_EQ(child.Wait(60000), 0);
    ::RegDeleteKeyA(HKEY_LOCAL_MACHINE, kSettingsKey);

    EXPECT_EQ(GetString("MainWndCX"), "720") << "the window's size was saved at exit";
    char width[16] = {};
    DWORD size = sizeof(width);
    ::RegGetValueA(HKEY_CURRENT_USER, "Software\\Corvalen\\Sonoria3\\CDGridColumnWidthRip", "0",
                   RRF_RT_REG_SZ, nullptr, width, &size);
    EXPECT_EQ(std::string(width), std::to_string(widened)) << "the exit saved the column's width";
    // The templates came back in the language of the file, which now holds their keys.
    CAppCfg& cfg = GetAppCfg();
    EXPECT_EQ(cfg.GetFileNameDefsCount(), 5);
    CString item;
    cfg.GetFileNameDefsItem(4, item);
    EXPECT_STREQ(item, "Album Title\\Track Title.ext|%t\\%1%e");
    std::string lang;
    FILE* f = std::fopen(langFile.c_str(), "rb");
    ASSERT_NE(f, nullptr) << "the language file was written";
    char buf[4096];
    size_t n = 0;
    while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0)
        lang.append(buf, n);
    std::fclose(f);
    EXPECT_NE(lang.find("csonoria3app.const.filenamedef4"), std::string::npos);
}

TEST_F(StartupTest, SizeMaximisedStateAndBarLayoutComeBackInTheNextRun)
{
    SetString(HKEY_CURRENT_USER, kSettingsKey, "AllowMultipleInstances", "1");
    SetString(HKEY_CURRENT_USER, kSettingsKey, "MainWndMax", "0");
    {
        Child child("");
        HWND hWnd = child.MainWindow();
        ASSERT_NE(hWnd, nullptr);
        ::SetWindowPos(hWnd, nullptr, 10, 10, 760, 520, SWP_NOZORDER | SWP_NOACTIVATE);
        ASSERT_TRUE(VisibleChild(hWnd, kStatusBarCommand));
        ::PostMessageA(hWnd, WM_COMMAND, kStatusBarCommand, 0);
        EXPECT_TRUE(WaitFor([&] { return !VisibleChild(hWnd, kStatusBarCommand); }));
        ::PostMessageA(hWnd, WM_CLOSE, 0, 0);
        ASSERT_EQ(child.Wait(60000), 0);
    }
    EXPECT_EQ(GetString("MainWndCX"), "760");
    EXPECT_EQ(GetString("MainWndCY"), "520");
    EXPECT_EQ(GetString("MainWndMax"), "0");
    {
        Child child("");
        HWND hWnd = child.MainWindow();
        ASSERT_NE(hWnd, nullptr);
        RECT rc{};
        ::GetWindowRect(hWnd, &rc);
        EXPECT_EQ(rc.right - rc.left, 760);
        EXPECT_EQ(rc.bottom - rc.top, 520);
        EXPECT_FALSE(VisibleChild(hWnd, kStatusBarCommand)) << "the stored bar layout";
        // Closed while maximised: the size before stays stored.
        ::PostMessageA(hWnd, WM_COMMAND, kStatusBarCommand, 0);
        ::PostMessageA(hWnd, WM_SYSCOMMAND, SC_MAXIMIZE, 0);
        EXPECT_TRUE(WaitFor([&] { return ::IsZoomed(hWnd) != FALSE; }));
        ::PostMessageA(hWnd, WM_CLOSE, 0, 0);
        ASSERT_EQ(child.Wait(60000), 0);
    }
    EXPECT_EQ(GetString("MainWndMax"), "1");
    EXPECT_EQ(GetString("MainWndCX"), "760");
    {
        Child child("");
        HWND hWnd = child.MainWindow();
        ASSERT_NE(hWnd, nullptr);
        EXPECT_TRUE(WaitFor([&] { return ::IsZoomed(hWnd) != FALSE; })) << "opens maximised";
        EXPECT_TRUE(VisibleChild(hWnd, kStatusBarCommand));
        ::PostMessageA(hWnd, WM_SYSCOMMAND, SC_RESTORE, 0);
        EXPECT_TRUE(WaitFor([&] { return !::IsZoomed(hWnd); }));
        ::PostMessageA(hWnd, WM_CLOSE, 0, 0);
        ASSERT_EQ(child.Wait(60000), 0);
    }
    EXPECT_EQ(GetString("MainWndMax"), "0");
}

TEST_F(StartupTest, TheUpdateCheckAsksOnceADayAndSaysNothingWhenNoServerAnswers)
{
    testing_http::LoopbackHttpServer version([](const testing_http::Request&) {
        return testing_http::MakeReply(200, "Sonoria 3.70");
    });
    SetString(HKEY_CURRENT_USER, kSettingsKey, "AllowMultipleInstances", "1");
    SetString(HKEY_CURRENT_USER, kSettingsKey, "AutoCheckNewVersion", "1");
    SetString(HKEY_CURRENT_USER, kSettingsKey, "UseProxy", "2");
    SetString(HKEY_CURRENT_USER, kSettingsKey, "ProxyServer", "127.0.0.1");
    struct Run {
        const char* lastCheck; // the stored day code before the start (null: today's)
        bool serverUp;
        size_t requests;       // requests seen by then
    };
    const Run runs[] = {
        {"-1", true, 1},   // never checked: asks
        {nullptr, true, 1}, // checked today: asks nothing
        {"0", false, 1},   // another day, nothing answers: no box either
    };
    for (const Run& run : runs) {
        SCOPED_TRACE(run.lastCheck != nullptr ? run.lastCheck : "today");
        if (run.lastCheck != nullptr)
            SetString(HKEY_CURRENT_USER, kSettingsKey, "LastCheckNewVersion", run.lastCheck);
        SetString(HKEY_CURRENT_USER, kSettingsKey, "ProxyPort",
                  run.serverUp ? std::to_string(version.Port()) : "1");
        Child child("");
        HWND hWnd = child.MainWindow();
        ASSERT_NE(hWnd, nullptr);
        EXPECT_EQ(version.Requests().size(), run.requests);
        ::Sleep(1000);
        EXPECT_FALSE(child.ShowsDialog());
        ::PostMessageA(hWnd, WM_CLOSE, 0, 0);
        ASSERT_EQ(child.Wait(60000), 0);
        EXPECT_EQ(GetString("LastCheckNewVersion"), TodaysCheckCode());
    }
    const std::string target = version.Requests().front().target;
    EXPECT_NE(target.find("s=curver&language=en&version=3.70&build=4"), std::string::npos)
        << target;
    SetString(HKEY_CURRENT_USER, kSettingsKey, "UseProxy", "1");
}

} // namespace
