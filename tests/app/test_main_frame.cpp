// The main window in one process over the simulated drive, driven with real clicks, keys and
// mouse moves: its menu translated from a test language file, the toolbar's buttons and
// drop-down menus reaching their commands, tooltips worded by mode, the status line's prompts
// and idle text, the bar toggles, the settings dialogs and web pages opened from their
// commands, the update check against a loopback server (also absent), and a medium change
// reading the disc again.
#include <gtest/gtest.h>

#include <windows.h>

#include <dbt.h>

#include <atomic>
#include <cstdio>
#include <mutex>
#include <string>
#include <vector>

#include "app/shell/main_frame.h"
#include "app/shell/sonoria3_app.h"
#include "app/shell/sonoria3_doc.h"
#include "app/shell/sonoria3_view.h"
#include "foundation/settings/app_cfg.h"
#include "resources/resource.h"
#include "testing/http/loopback_http.h"
#include "testing/simdrive/sim_disc.h"
#include "tests/foundation/child_process.h"
#include "tests/framework_ui/ui_test_support.h"

CSonoria3App theApp;

namespace {

constexpr char kKey[] = "Software\\Corvalen\\Sonoria3";
constexpr char kHttpCommand[] = "http\\shell\\open\\command";
constexpr unsigned short kClosedPort = 1; // nothing listens there: the server is absent

std::mutex g_replyMutex;
std::string g_versionReply = "Sonoria 3.70"; // what the version page says
std::string g_browserMarker;                  // the stand-in browser records its pages here

std::string TempPath(const std::string& name)
{
    char dir[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + name;
}

void WriteTextFile(const std::string& path, const std::string& text)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

std::string ReadTextFile(const std::string& path)
{
    std::string text;
    if (FILE* f = std::fopen(path.c_str(), "rb")) {
        char buf[4096];
        size_t n = 0;
        while ((n = std::fread(buf, 1, sizeof(buf), f)) > 0)
            text.append(buf, n);
        std::fclose(f);
    }
    return text;
}

// A disc of nAudio audio tracks, each a minute long.
void WriteDisc(int nAudio)
{
    char path[MAX_PATH] = {};
    ASSERT_GT(::GetEnvironmentVariableA("SONORIA_SIMDRIVE_IMAGE", path, MAX_PATH), 0u)
        << "runs under testing/simdrive/simdrive-wine";
    simdrive::SimDisc disc;
    simdrive::SimSession session;
    for (int i = 0; i < nAudio; ++i)
        session.tracks.push_back({i + 1, true, i * 4500});
    session.leadOutLba = nAudio * 4500;
    disc.sessions = {session};
    WriteTextFile(path, disc.ToText());
}

std::string StoredValue(const char* name)
{
    char buf[512] = {};
    DWORD size = sizeof(buf);
    if (::RegGetValueA(HKEY_CURRENT_USER, kKey, name, RRF_RT_REG_SZ, nullptr, buf, &size) !=
        ERROR_SUCCESS)
        return "<missing>";
    return buf;
}

std::string WindowText(HWND h)
{
    char buf[512] = {};
    ::SendMessageA(h, WM_GETTEXT, sizeof(buf), reinterpret_cast<LPARAM>(buf));
    return buf;
}

// A dialog's caption and the texts of all its controls, one a line.
std::string DialogTexts(HWND hDlg)
{
    std::string texts = WindowText(hDlg) + "\n";
    ::EnumChildWindows(
        hDlg,
        [](HWND h, LPARAM l) {
            *reinterpret_cast<std::string*>(l) += WindowText(h) + "\n";
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&texts));
    return texts;
}

// The items of the popup menu window that is open, one text a line.
std::string MenuItems(HWND hMenuWnd)
{
    auto hMenu = reinterpret_cast<HMENU>(::SendMessageA(hMenuWnd, MN_GETHMENU, 0, 0));
    std::string items;
    for (int i = 0; i < ::GetMenuItemCount(hMenu); ++i) {
        char text[128] = {};
        ::GetMenuStringA(hMenu, i, text, sizeof(text), MF_BYPOSITION);
        items += std::string(text) + "\n";
    }
    return items;
}

class MainFrameTest : public ::testing::Test {
protected:
    static testing_http::LoopbackHttpServer* s_server;

    static void SetUpTestSuite()
    {
        WriteDisc(3);
        // The install folder holds the test's language file; the program finds it through
        // the machine key.
        const std::string folder = TempPath("sonoria_frame_app\\");
        ::CreateDirectoryA(folder.c_str(), nullptr);
        WriteTextFile(folder + "frametest.lang",
                      "[Info]\r\nLocaleID=040c\r\n\r\n[Language]\r\n"
                      "cmainfrm.mainmenu.0=&Fichier\r\n"
                      "cmainfrm.mainmenu.1=&Edition\r\n"
                      "cmainfrm.mainmenu.5=&Vue\r\n"
                      "cmainfrm.mainmenu.5.0=Extracteur\r\n"
                      "cmainfrm.mainmenu.5.1=Convertisseur\r\n"
                      "cmainfrm.mainmenu.5.2=Etiqueteur\r\n"
                      "cmainframe.bartooltips.options=Options de configuration...\r\n");
        HKEY hKey = nullptr;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE, nullptr,
                                    &hKey, nullptr),
                  ERROR_SUCCESS);
        ::RegSetValueExA(hKey, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                         static_cast<DWORD>(folder.size() + 1));
        ::RegCloseKey(hKey);

        // The browser is a helper program that records the pages it is asked to open.
        g_browserMarker = TempPath("sonoria_frame_browser.txt");
        ::DeleteFileA(g_browserMarker.c_str());
        ::SetEnvironmentVariableA("SONORIA_CHILD_MARKER", g_browserMarker.c_str());
        const std::string command = "\"" + ChildProgramPath() + "\" \"%1\"";
        ::RegSetKeyValueA(HKEY_CLASSES_ROOT, kHttpCommand, nullptr, REG_SZ, command.c_str(),
                          static_cast<DWORD>(command.size() + 1));

        // The maker's pages are reached through the loopback server as the proxy.
        s_server = new testing_http::LoopbackHttpServer([](const testing_http::Request&) {
            std::lock_guard<std::mutex> lock(g_replyMutex);
            return testing_http::MakeReply(200, g_versionReply);
        });
        CAppCfg& cfg = GetAppCfg();
        UseServer(s_server->Port());
        cfg.SetLanguage("frametest.lang");
        cfg.SetAutoCheckNewVersion(TRUE);
        cfg.SetLastCheckNewVersion(-1);
        cfg.SetMainWndMax(FALSE);
        cfg.SetForceASPI(FALSE);
        cfg.SetCDDevice(0);
        cfg.SetUseLocalDB(FALSE);
        cfg.SetWriteCDPLAYERINI(FALSE);
        cfg.SetReadCDText(FALSE);
        cfg.SetSonoriaDBAutoSearch(FALSE);
        cfg.SetAutoSearchFreedb(FALSE);
        cfg.SetAllowMultipleInstances(TRUE);
        cfg.ClearFileNameDefs();
        ASSERT_TRUE(theApp.InitInstance());
        // Kept in a corner, the centred dialogs it owns do not hide it (no window manager).
        Frame()->MoveWindow(0, 0, 900, 560, TRUE);
        PumpFor(300);
    }

    static void UseServer(unsigned short port)
    {
        CAppCfg& cfg = GetAppCfg();
        cfg.SetUseProxy(2);
        cfg.SetProxyServer("127.0.0.1");
        cfg.SetProxyPort(port);
    }
    static void SetVersionReply(const char* reply)
    {
        std::lock_guard<std::mutex> lock(g_replyMutex);
        g_versionReply = reply;
    }

    static CMainFrame* Frame() { return dynamic_cast<CMainFrame*>(theApp.m_pMainWnd); }
    static CSonoria3View* View() { return dynamic_cast<CSonoria3View*>(Frame()->GetActiveView()); }
    static CSonoria3Doc* Doc() { return View()->GetDocument(); }
    static COXCoolToolBar& Bar() { return Frame()->GetToolBar(); }
    static std::string StatusText() { return WindowText(Frame()->GetStatusBar().m_hWnd); }

    static void Foreground()
    {
        ::SetForegroundWindow(Frame()->m_hWnd);
        PumpFor(50);
    }
    static CRect ButtonRect(UINT nID)
    {
        CRect rect;
        Bar().GetItemRect(Bar().CommandToIndex(nID), &rect);
        return rect;
    }
    // A real click on the button's face (its left part: the arrow of a drop-down button is
    // on its right).
    static void ClickButton(UINT nID)
    {
        // From a rest on the grid: no tooltip of an earlier button lies in the way.
        MouseToGrid();
        Foreground();
        AfxGetThread()->OnIdle(0); // the buttons take their states
        const CRect rect = ButtonRect(nID);
        InputClick(Bar().m_hWnd, CPoint(rect.left + 10, rect.CenterPoint().y));
        PumpFor(100);
    }
    static void ClickArrow(UINT nID)
    {
        Foreground();
        const CRect rect = ButtonRect(nID);
        InputClick(Bar().m_hWnd, CPoint(rect.right - 4, rect.CenterPoint().y));
        PumpFor(100);
    }
    // The mouse rests on a spot of the grid, away from the toolbar.
    static void MouseToGrid()
    {
        CRect rc;
        View()->GetGrid().GetClientRect(&rc);
        InputMouseMove(CPoint(rc.right - 20, rc.bottom - 20) + [] {
            CPoint pt(0, 0);
            View()->GetGrid().ClientToScreen(&pt);
            return pt;
        }());
        PumpFor(200);
    }
    // Rests the mouse on the button until its tooltip shows; its text.
    static std::string ToolTipOf(UINT nID)
    {
        MouseToGrid();
        HWND hTip = reinterpret_cast<HWND>(Bar().SendMessage(TB_GETTOOLTIPS));
        PumpUntil([&] { return !::IsWindowVisible(hTip); }, 200);
        const CRect rect = ButtonRect(nID);
        CPoint pt(rect.left + 12, rect.CenterPoint().y);
        Bar().ClientToScreen(&pt);
        InputMouseGlide(pt, 4, 10);
        InputMouseMove(pt);
        PumpUntil([&] { return ::IsWindowVisible(hTip) && !WindowText(hTip).empty(); }, 600);
        std::string text = ::IsWindowVisible(hTip) ? WindowText(hTip) : "<no tooltip>";
        MouseToGrid();
        return text;
    }
    // Opens a menu by keys (Alt + the first letter, then the letters) while the answer runs.
    static void MenuKeys(std::initializer_list<WORD> letters)
    {
        Foreground();
        auto it = letters.begin();
        SendKeys({VK_MENU, *it});
        for (++it; it != letters.end(); ++it)
            SendKeys({*it});
    }
    // The pages the stand-in browser was asked to open, in order.
    static std::vector<std::string> BrowsedPages()
    {
        std::vector<std::string> pages;
        const std::string text = ReadTextFile(g_browserMarker);
        size_t at = 0;
        while ((at = text.find("run\n", at)) != std::string::npos) {
            at += 4;
            const size_t end = text.find('\n', at);
            pages.push_back(text.substr(at, end - at));
        }
        return pages;
    }
    // Each page starts a stand-in browser process: slow to start on a busy machine.
    static std::vector<std::string> WaitForPages(size_t count)
    {
        PumpUntil([&] { return BrowsedPages().size() >= count; }, 15000);
        return BrowsedPages();
    }
    // Takes the refresh command a medium change posts, if there is one.
    static bool TakeRefresh()
    {
        MSG msg;
        bool found = false;
        while (::PeekMessage(&msg, Frame()->m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE))
            found = found || LOWORD(msg.wParam) == ID_FILE_NEW;
        return found;
    }
    static void ChooseModeFromTheRefreshArrow(int nMode)
    {
        DialogAnswerer menu(
            [](HWND, void* ctx) {
                for (int i = 0; i <= *static_cast<int*>(ctx); ++i)
                    SendKeys({VK_DOWN});
                SendKeys({VK_RETURN});
            },
            &nMode, "#32768", 5000);
        ClickArrow(ID_FILE_NEW);
        PumpUntil([&] { return menu.Answered() && Doc()->GetContentMode() == nMode; }, 600);
        ASSERT_EQ(Doc()->GetContentMode(), nMode);
    }
};
testing_http::LoopbackHttpServer* MainFrameTest::s_server = nullptr;

TEST_F(MainFrameTest, StartsWithTheTranslatedMenuItsBarsAndOneSilentUpdateCheck)
{
    ASSERT_NE(Frame(), nullptr);
    HMENU hMenu = ::GetMenu(Frame()->m_hWnd);
    struct Item {
        int top;
        int sub; // -1 the top-level item
        const char* text;
    };
    // Keys the file has are translated; the others keep their English texts.
    const Item items[] = {{0, -1, "&Fichier"},   {1, -1, "&Edition"},      {2, -1, "&Rip"},
                          {5, -1, "&Vue"},       {5, 0, "Extracteur"},     {5, 1, "Convertisseur"},
                          {5, 2, "Etiqueteur"},  {5, 4, "&Toolbar"},       {6, -1, "&Help"},
                          {0, 6, "E&xit"}};
    for (const Item& item : items) {
        SCOPED_TRACE(item.text);
        HMENU h = item.sub < 0 ? hMenu : ::GetSubMenu(hMenu, item.top);
        char text[128] = {};
        ::GetMenuStringA(h, item.sub < 0 ? item.top : item.sub, text, sizeof(text),
                         MF_BYPOSITION);
        EXPECT_STREQ(text, item.text);
    }

    // The toolbar: 22 entries of 32 x 32 images, four of them with a menu under an arrow.
    ASSERT_EQ(Bar().GetCount(), 22);
    EXPECT_EQ(Bar().GetItemID(8), static_cast<UINT>(ID_RIP_DEFAULT));
    for (int i = 0; i < 22; ++i) {
        const bool dropDown = i == 0 || i == 8 || i == 10 || i == 11;
        EXPECT_EQ((Bar().GetButtonStyle(i) & TBSTYLE_DROPDOWN) != 0, dropDown) << i;
    }
    int cx = 0, cy = 0;
    ImageList_GetIconSize(reinterpret_cast<HIMAGELIST>(Bar().SendMessage(TB_GETIMAGELIST)), &cx,
                          &cy);
    EXPECT_EQ(CSize(cx, cy), CSize(32, 32));
    EXPECT_TRUE(Bar().GetBarStyle() & CBRS_TOOLTIPS);
    EXPECT_EQ(Bar().m_pDockBar, nullptr) << "the toolbar stays at the top, in no dock bar";

    // The status bar: the message pane and the three key states; nothing said when idle.
    CSonoriaStatusBar& status = Frame()->GetStatusBar();
    ASSERT_EQ(status.GetCount(), 4);
    EXPECT_EQ(status.GetItemID(1), static_cast<UINT>(ID_INDICATOR_CAPS));
    EXPECT_EQ(status.GetItemID(3), static_cast<UINT>(ID_INDICATOR_SCRL));
    EXPECT_EQ(StatusText(), "");

    // The version page was asked once, through the proxy, and the day noted.
    const auto requests = s_server->Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_NE(requests[0].target.find("s=curver&language=en&version=3.70&build=4"),
              std::string::npos)
        << requests[0].target;
    EXPECT_NE(requests[0].headers.find("Sonoria_VC"), std::string::npos);
    SYSTEMTIME today{};
    ::GetLocalTime(&today);
    EXPECT_EQ(GetAppCfg().GetLastCheckNewVersion(), CMainFrame::DayCode(today));
}

TEST(MainFrameDayCode, DaysOfOneYearDifferButTheLastOfDecemberMeetsTheSeventhOfJanuary)
{
    struct Case {
        SYSTEMTIME a, b;
        bool same;
    };
    auto day = [](WORD y, WORD m, WORD d) {
        SYSTEMTIME t{};
        t.wYear = y;
        t.wMonth = m;
        t.wDay = d;
        return t;
    };
    const Case cases[] = {
        {day(2026, 12, 31), day(2027, 1, 7), true},
        {day(2026, 1, 31), day(2026, 2, 1), false},
        {day(2026, 2, 28), day(2026, 3, 1), false},
        {day(2026, 12, 31), day(2027, 1, 1), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(CMainFrame::DayCode(c.a) == CMainFrame::DayCode(c.b), c.same)
            << c.a.wYear << "-" << c.a.wMonth << "-" << c.a.wDay;
    EXPECT_EQ(CMainFrame::DayCode(day(2026, 12, 31)), 2026 * 365 + 403);
}

TEST_F(MainFrameTest, MenuPromptsShowWhileTheMenuIsOpenThenTheIdleTextComesBack)
{
    struct Seen {
        std::string first, second;
    } seen;
    auto browse = [](HWND, void* ctx) {
        auto* s = static_cast<Seen*>(ctx);
        HWND hStatus = ::GetDlgItem(theApp.m_pMainWnd->m_hWnd, AFX_IDW_STATUS_BAR);
        s->first = WindowText(hStatus);
        SendKeys({VK_DOWN});
        ::Sleep(300);
        s->second = WindowText(hStatus);
        SendKeys({VK_ESCAPE});
        SendKeys({VK_ESCAPE});
    };
    {
        DialogAnswerer menu(browse, &seen, "#32768", 5000);
        MenuKeys({'F'});
        PumpUntil([&] { return menu.Answered(); }, 2000);
    }
    PumpFor(200);
    EXPECT_EQ(seen.first, "Read the disc again, or empty the file list");
    EXPECT_EQ(seen.second, "Add audio files to the list");
    EXPECT_EQ(StatusText(), "") << "the idle text, not \"Ready\"";

    // A text the program shows stays the idle text after a menu was browsed.
    Frame()->SetStatusText("3 matches found");
    EXPECT_EQ(StatusText(), "3 matches found");
    {
        DialogAnswerer menu(browse, &seen, "#32768", 5000);
        MenuKeys({'F'});
        PumpUntil([&] { return menu.Answered(); }, 2000);
    }
    PumpFor(200);
    EXPECT_EQ(seen.second, "Add audio files to the list");
    EXPECT_EQ(StatusText(), "3 matches found");
    Frame()->SetStatusText("");
}

TEST_F(MainFrameTest, ToolbarPromptFollowsTheMouseAndLeavesTheIdleText)
{
    Frame()->SetStatusText("");
    MouseToGrid();
    const CRect rect = ButtonRect(ID_SETTINGS_OPTIONS);
    CPoint pt(rect.left + 12, rect.CenterPoint().y);
    Bar().ClientToScreen(&pt);
    InputMouseGlide(pt, 4, 10);
    EXPECT_TRUE(PumpUntil([] { return StatusText() == "Change the program's settings"; }, 200))
        << StatusText();
    MouseToGrid();
    EXPECT_TRUE(PumpUntil([] { return StatusText().empty(); }, 200)) << StatusText();
}

TEST_F(MainFrameTest, ToolTipsAreTheFramesOwnAndFollowTheMode)
{
    struct Case {
        UINT nID;
        const char* ripper;
        const char* converter;
        const char* tagger;
    };
    const Case cases[] = {
        {ID_FILE_NEW, "Refresh CD", "Reset List", "Reset List"},
        {ID_RIP_DEFAULT, "Rip Selected Tracks To Default Format",
         "Convert Selected Tracks To Default Format", "Rip Selected Tracks To Default Format"},
        {ID_SETTINGS_OPTIONS, "Options de configuration...", "Options de configuration...",
         "Options de configuration..."},
        {ID_SEARCH_INFO, "Search the Web", "Search the Web", "Search the Web"},
        {ID_APP_ABOUT, "About Sonoria...", "About Sonoria...", "About Sonoria..."},
    };
    for (int mode : {CSonoria3Doc::MODE_RIPPER, CSonoria3Doc::MODE_CONVERTER,
                     CSonoria3Doc::MODE_TAGGER}) {
        if (mode != CSonoria3Doc::MODE_RIPPER)
            ChooseModeFromTheRefreshArrow(mode);
        for (const Case& c : cases) {
            SCOPED_TRACE(std::to_string(mode) + " " + std::to_string(c.nID));
            const char* expected[] = {c.ripper, c.converter, c.tagger};
            EXPECT_EQ(ToolTipOf(c.nID), expected[mode]);
        }
    }
    ChooseModeFromTheRefreshArrow(CSonoria3Doc::MODE_RIPPER);
}

TEST_F(MainFrameTest, DropDownArrowsShowTheirMenusAndTheButtonsTheirCommands)
{
    // The refresh arrow offers the modes as the translated menu words them.
    std::string modes;
    {
        DialogAnswerer menu(
            [](HWND hMenu, void* ctx) {
                *static_cast<std::string*>(ctx) = MenuItems(hMenu);
                SendKeys({VK_ESCAPE});
            },
            &modes, "#32768", 5000);
        ClickArrow(ID_FILE_NEW);
        PumpUntil([&] { return menu.Answered(); }, 2000);
    }
    EXPECT_EQ(modes, "Extracteur\nConvertisseur\nEtiqueteur\n");

    // The other arrows show submenus of the main menu (their texts follow the mode).
    struct Case {
        UINT nID;
        std::vector<UINT> firstItems; // command ids, 0 a separator
    };
    const Case cases[] = {
        {ID_RIP_DEFAULT, {ID_RIP_DEFAULT, 0, ID_RIP_WAV, ID_RIP_MP3}},
        {ID_HELP_SERVICESITE,
         {ID_TAGS_SERVICEQUERY, ID_TAGS_FREEDBQUERY, 0, ID_TAGS_SERVICESUBMIT}},
        {ID_SEARCH_INFO, {ID_SEARCH_INFO, ID_SEARCH_IMAGES, ID_SEARCH_AUDIO}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nID);
        std::vector<UINT> ids;
        DialogAnswerer menu(
            [](HWND hMenuWnd, void* ctx) {
                auto hMenu =
                    reinterpret_cast<HMENU>(::SendMessageA(hMenuWnd, MN_GETHMENU, 0, 0));
                for (int i = 0; i < ::GetMenuItemCount(hMenu); ++i)
                    static_cast<std::vector<UINT>*>(ctx)->push_back(::GetMenuItemID(hMenu, i));
                SendKeys({VK_ESCAPE});
            },
            &ids, "#32768", 5000);
        ClickArrow(c.nID);
        PumpUntil([&] { return menu.Answered(); }, 2000);
        ASSERT_GE(ids.size(), c.firstItems.size());
        ids.resize(c.firstItems.size());
        EXPECT_EQ(ids, c.firstItems);
    }
    EXPECT_TRUE(BrowsedPages().empty()) << "an arrow runs no command of its own";

    // The faces of the buttons run their commands: web pages here.
    // One at a time: the stand-in browsers append to one marker file.
    ClickButton(ID_HELP_SERVICESITE);
    WaitForPages(1);
    ClickButton(ID_HELP_MANUAL);
    WaitForPages(2);
    ClickButton(ID_HELP_SOCIALPAGE);
    const auto pages = WaitForPages(3);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0], "http://db.sonoria.invalid/");
    EXPECT_NE(pages[1].find("language=en&version=3.70&build=4"), std::string::npos) << pages[1];
    EXPECT_NE(pages[2].find("s=social"), std::string::npos) << pages[2];
}

TEST_F(MainFrameTest, ButtonsAndMenuItemsOpenTheirDialogs)
{
    struct Case {
        const char* how;
        UINT nButton;                   // a toolbar button, or 0 for the menu keys
        std::vector<WORD> keys;         // File menu keys
        const char* text;               // a text the dialog shows
    };
    const Case cases[] = {
        {"options button", ID_SETTINGS_OPTIONS, {}, "Options"},
        {"about button", ID_APP_ABOUT, {}, "About Sonoria3"},
        {"output path button", ID_CHANGE_OUTPUTPATH, {}, "Select a folder"},
        {"templates item", 0, {'F', 'S', 'F'}, "Output file name format list"},
        {"freedb servers item", 0, {'F', 'S', 'S'}, "Edit freedb server list"},
        {"rights item", 0, {'F', 'S', 'R'}, "Grant rights"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.how);
        std::string texts;
        {
            DialogAnswerer answer(
                [](HWND hDlg, void* ctx) {
                    *static_cast<std::string*>(ctx) = DialogTexts(hDlg);
                    ::PostMessage(hDlg, WM_COMMAND, IDCANCEL, 0);
                },
                &texts);
            if (c.nButton != 0) {
                ClickButton(c.nButton);
            } else {
                Foreground();
                SendKeys({VK_MENU, c.keys[0]});
                for (size_t i = 1; i < c.keys.size(); ++i)
                    SendKeys({c.keys[i]});
            }
            PumpUntil([&] { return answer.Answered(); }, 3000);
            EXPECT_TRUE(answer.Answered());
        }
        PumpFor(200);
        EXPECT_NE(texts.find(c.text), std::string::npos) << texts;
    }
}

TEST_F(MainFrameTest, TheOutputPathButtonStoresTheChosenFolderOnlyWithOk)
{
    const std::string stored = TempPath("sonoria_frame_stored");
    const std::string chosen = TempPath("sonoria_frame_out");
    for (const std::string& folder : {stored, chosen})
        ::CreateDirectoryA(folder.c_str(), nullptr);
    CAppCfg& cfg = GetAppCfg();
    cfg.SetOutputPath(stored.c_str());
    cfg.Save();
    // The browser opens on the current folder, which is what OK chooses.
    cfg.SetOutputPath(chosen.c_str());
    struct Case {
        int button;
        std::string expected;
    };
    const Case cases[] = {{IDCANCEL, stored}, {IDOK, chosen}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        int button = c.button;
        DialogAnswerer answer(
            [](HWND hDlg, void* ctx) {
                ::PostMessage(hDlg, WM_COMMAND, *static_cast<int*>(ctx), 0);
            },
            &button);
        ClickButton(ID_CHANGE_OUTPUTPATH);
        PumpUntil([&] { return answer.Answered(); }, 3000);
        PumpFor(300);
        EXPECT_EQ(StoredValue("OutputPath"), c.expected);
    }
}

TEST_F(MainFrameTest, CheckForUpdatesAnswersEveryCaseOfTheVersionPage)
{
    struct Case {
        const char* reply;
        bool serverUp;
        int answer;
        const char* text; // a part of the box's text
        bool download;
    };
    const Case cases[] = {
        {"Sonoria 3.70", true, IDOK, "The application is up to date.", false},
        {"<ss>Sonoria 3.95</ss>", true, IDNO, "A new version of Sonoria is available.", false},
        {"Sonoria 3.80", false, IDOK, "The application is up to date.", false},
        // Last: the stand-in browser it starts may hold the foreground for a while.
        {"Sonoria 3.80", true, IDYES, "Do you want to download it now?", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.reply);
        SetVersionReply(c.reply);
        UseServer(c.serverUp ? s_server->Port() : kClosedPort);
        const size_t requests = s_server->Requests().size();
        const size_t pages = BrowsedPages().size();
        struct Seen {
            std::string text;
            int answer;
        } seen{"", c.answer};
        {
            DialogAnswerer box(
                [](HWND hDlg, void* ctx) {
                    auto* s = static_cast<Seen*>(ctx);
                    s->text = DialogTexts(hDlg);
                    ::PostMessage(hDlg, WM_COMMAND, s->answer, 0);
                },
                &seen);
            MenuKeys({'H', 'U'}); // Help, Check for Updates
            PumpUntil([&] { return box.Answered(); }, 3000);
        }
        PumpFor(200);
        EXPECT_NE(seen.text.find(c.text), std::string::npos) << seen.text;
        EXPECT_NE(seen.text.find("Check for updates"), std::string::npos) << seen.text;
        EXPECT_EQ(s_server->Requests().size(), requests + (c.serverUp ? 1 : 0));
        if (c.download) {
            const auto browsed = WaitForPages(pages + 1);
            ASSERT_EQ(browsed.size(), pages + 1);
            EXPECT_NE(browsed.back().find("s=download"), std::string::npos) << browsed.back();
        } else {
            EXPECT_EQ(BrowsedPages().size(), pages);
        }
    }
    UseServer(s_server->Port());
    SetVersionReply("Sonoria 3.70");
}

TEST_F(MainFrameTest, TheSilentCheckSaysNothingWhenUpToDateOrUnreachable)
{
    for (bool serverUp : {true, false}) {
        SCOPED_TRACE(serverUp);
        UseServer(serverUp ? s_server->Port() : kClosedPort);
        bool boxShown = false;
        {
            DialogAnswerer box(
                [](HWND hDlg, void*) { ::PostMessage(hDlg, WM_COMMAND, IDOK, 0); }, nullptr,
                "#32770", 1500);
            EXPECT_FALSE(Frame()->CheckForUpdates(TRUE));
            PumpFor(1600);
            boxShown = box.Answered();
        }
        EXPECT_FALSE(boxShown);
    }
    UseServer(s_server->Port());
}

TEST_F(MainFrameTest, MediumArrivalOrRemovalRefreshesTheDiscOtherDeviceEventsDoNot)
{
    struct Case {
        WPARAM event;
        DWORD deviceType;
        WORD flags;
        bool refresh;
    };
    const Case cases[] = {
        {DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, DBTF_MEDIA, true},
        {DBT_DEVICEREMOVECOMPLETE, DBT_DEVTYP_VOLUME, DBTF_MEDIA, true},
        {DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, 0, false}, // a USB stick
        {DBT_DEVICEARRIVAL, DBT_DEVTYP_VOLUME, DBTF_NET, false},
        {DBT_DEVICEARRIVAL, DBT_DEVTYP_PORT, DBTF_MEDIA, false},
        {DBT_DEVICEQUERYREMOVE, DBT_DEVTYP_VOLUME, DBTF_MEDIA, false},
    };
    TakeRefresh();
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.event) + " " + std::to_string(c.deviceType) + " " +
                     std::to_string(c.flags));
        DEV_BROADCAST_VOLUME volume{};
        volume.dbcv_size = sizeof(volume);
        volume.dbcv_devicetype = c.deviceType;
        volume.dbcv_unitmask = 1u << 25; // Z:, not the simulated drive's letter
        volume.dbcv_flags = c.flags;
        Frame()->SendMessage(WM_DEVICECHANGE, c.event, reinterpret_cast<LPARAM>(&volume));
        EXPECT_EQ(TakeRefresh(), c.refresh);
    }
    Frame()->SendMessage(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0); // no header: nothing
    EXPECT_FALSE(TakeRefresh());

    // A new disc comes in: the grid shows it once the posted refresh has run.
    WriteDisc(5);
    DEV_BROADCAST_VOLUME volume{sizeof(DEV_BROADCAST_VOLUME), DBT_DEVTYP_VOLUME, 0, 1u << 3,
                                DBTF_MEDIA};
    Frame()->SendMessage(WM_DEVICECHANGE, DBT_DEVICEARRIVAL, reinterpret_cast<LPARAM>(&volume));
    EXPECT_TRUE(PumpUntil([] { return View()->GetGrid().GetItemCount() == 5; }, 400));

    // The refresh button reads the disc again too.
    WriteDisc(2);
    ClickButton(ID_FILE_NEW);
    EXPECT_TRUE(PumpUntil([] { return View()->GetGrid().GetItemCount() == 2; }, 400));
    WriteDisc(3);
}

TEST_F(MainFrameTest, ViewMenuTogglesTheToolbarAndTheStatusBar)
{
    struct Case {
        WORD key;
        CControlBar* bar;
    };
    const Case cases[] = {{'T', &Bar()}, {'S', &Frame()->GetStatusBar()}};
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<char>(c.key));
        ASSERT_TRUE(c.bar->IsWindowVisible());
        // Hidden from the menu, which then shows its item unchecked; shown again from there.
        struct Toggle {
            const Case* c;
            bool checkedBefore;
        };
        for (bool visibleBefore : {true, false}) {
            Toggle toggle{&c, !visibleBefore};
            {
                DialogAnswerer menu(
                    [](HWND, void* ctx) {
                        auto* t = static_cast<Toggle*>(ctx);
                        HMENU hView = ::GetSubMenu(::GetMenu(theApp.m_pMainWnd->m_hWnd), 5);
                        t->checkedBefore = (::GetMenuState(hView, t->c->bar->GetDlgCtrlID(),
                                                           MF_BYCOMMAND) &
                                            MF_CHECKED) != 0;
                        SendKeys({t->c->key});
                    },
                    &toggle, "#32768", 5000);
                MenuKeys({'V'});
                PumpUntil([&] { return menu.Answered(); }, 2000);
            }
            PumpFor(200);
            EXPECT_EQ(toggle.checkedBefore, visibleBefore);
            EXPECT_EQ(c.bar->IsWindowVisible() != FALSE, !visibleBefore);
        }
    }
}

TEST_F(MainFrameTest, TheWindowIsNeverSmallerThan300Pixels)
{
    CRect before;
    Frame()->GetWindowRect(&before);
    Frame()->SetWindowPos(nullptr, 0, 0, 120, 90, SWP_NOZORDER | SWP_NOMOVE);
    PumpFor(100);
    CRect rect;
    Frame()->GetWindowRect(&rect);
    EXPECT_EQ(rect.Size(), CSize(300, 300));
    Frame()->MoveWindow(&before);
    PumpFor(100);
}

} // namespace
