// The track grid's list, search and page commands as a user reaches them over the simulated
// drive: items of the frame's own menu found by their command, opened and chosen with real
// clicks, toolbar buttons and accelerator keys. Checked: check all, none and invert (the data
// row left alone); the menu states of moving and removing; adding files through the file
// dialog, moving and removing them; the web searches and pages, whose shell call reaches a
// helper program registered as the browser.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "app/shell/main_frame.h"
#include "app/shell/sonoria3_app.h"
#include "app/shell/sonoria3_doc.h"
#include "app/shell/sonoria3_view.h"
#include "foundation/settings/app_cfg.h"
#include "foundation/web/endpoints.h"
#include "resources/resource.h"
#include "testing/generated_wav.h"
#include "tests/app/dialog_script.h"
#include "tests/app/progress_test_support.h"
#include "tests/audio/cd_test_support.h"
#include "tests/foundation/child_process.h"
#include "tests/framework_ui/ui_test_support.h"

#include <dlgs.h> // the file dialog's name box
#include <tlhelp32.h>

CSonoria3App theApp;

using namespace testing_progress;
namespace ds = dialog_script;

namespace {

// Three audio tracks and a data track. The second track has neither title nor artist, so the
// load names it by default; the album is "Blue".
simdrive::SimDisc TheDisc()
{
    simdrive::SimDisc d;
    simdrive::SimSession s;
    s.tracks = {{1, true, 0}, {2, true, 300}, {3, true, 600}, {4, false, 900}};
    s.leadOutLba = 1500;
    d.sessions = {s};
    simdrive::SimCdTextBlock block;
    block.items = {{0x80, {"Blue", "One/Two", "", "Three"}},
                   {0x81, {"Blue Band", "Singer/X", "", "Singer"}}};
    d.cdText = simdrive::SimBuildCdText({block});
    return d;
}

std::string g_browserLog; // the stand-in browser appends "run" and its address here

// The addresses the stand-in browser was started with, in order.
std::vector<std::string> BrowsedPages()
{
    std::vector<std::string> pages;
    const std::string text = ReadText(g_browserLog);
    for (size_t at = 0; (at = text.find("run\n", at)) != std::string::npos;) {
        at += 4;
        const size_t end = text.find('\n', at);
        pages.push_back(text.substr(at, end - at));
    }
    return pages;
}

// Whether a stand-in browser, or the console host Wine starts for it, still runs: their
// windows take the foreground from the program until they end.
bool BrowserRunning()
{
    bool running = false;
    HANDLE hSnap = ::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(hSnap, &entry); more && !running;
         more = ::Process32Next(hSnap, &entry))
        running = lstrcmpiA(entry.szExeFile, "foundation_child.exe") == 0 ||
                  lstrcmpiA(entry.szExeFile, "conhost.exe") == 0;
    ::CloseHandle(hSnap);
    return running;
}

// The tests' helper program stands in for the browser the shell starts.
void RegisterBrowser()
{
    char dir[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, dir);
    g_browserLog = std::string(dir) + "sonoria_listcmd_browser.txt";
    ::DeleteFileA(g_browserLog.c_str());
    ::SetEnvironmentVariableA("SONORIA_CHILD_MARKER", g_browserLog.c_str());
    const std::string command = "\"" + ChildProgramPath() + "\" \"%1\"";
    ASSERT_EQ(::RegSetKeyValueA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", nullptr, REG_SZ,
                                command.c_str(), static_cast<DWORD>(command.size() + 1)),
              ERROR_SUCCESS);
}

// A menu item as the open popup showed it.
struct ItemSeen {
    bool found = false; // the frame's menu has the command
    bool shown = false; // its popup opened
    bool grayed = false;
    std::string text;
};

class AppListCommands : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::setvbuf(stdout, nullptr, _IONBF, 0);
        ResetDriveStats(RunTransport());
        InsertDisc(TheDisc());
        RegisterBrowser();
        CAppCfg& cfg = GetAppCfg();
        cfg.SetForceASPI(RunTransport() == Transport::Aspi);
        cfg.SetCDDevice(0);
        cfg.SetUseLocalDB(FALSE);
        cfg.SetWriteCDPLAYERINI(FALSE);
        cfg.SetReadCDText(TRUE);
        cfg.SetSonoriaDBAutoSearch(FALSE);
        cfg.SetAutoSearchFreedb(FALSE);
        cfg.SetAutoCheckNewVersion(FALSE);
        cfg.SetAllowMultipleInstances(TRUE);
        cfg.SetMainWndMax(FALSE);
        ASSERT_TRUE(theApp.InitInstance());
        // In a corner: the dialogs it owns open beside its menu and toolbar, not over them.
        Frame()->MoveWindow(0, 0, 900, 560, TRUE);
        PumpFor(300);
    }

    static CMainFrame* Frame() { return dynamic_cast<CMainFrame*>(theApp.m_pMainWnd); }
    static CSonoria3View* View()
    {
        return dynamic_cast<CSonoria3View*>(Frame()->GetActiveView());
    }
    static CSonoria3Doc* Doc() { return View()->GetDocument(); }
    static COXGridList& Grid() { return View()->GetGrid(); }
    static std::vector<int> Checks()
    {
        std::vector<int> checks;
        for (int i = 0; i < Grid().GetItemCount(); ++i)
            checks.push_back(Grid().GetCheck(i));
        return checks;
    }
    static std::vector<std::string> Column(int column)
    {
        std::vector<std::string> texts;
        for (int i = 0; i < Grid().GetItemCount(); ++i)
            texts.push_back(static_cast<LPCSTR>(Grid().GetItemText(i, column)));
        return texts;
    }
    // The keys go to the grid. A stand-in browser that just ran may have left the program
    // without the foreground for a moment: asked again until it has it.
    static void FocusGrid()
    {
        PumpUntil(
            [] {
                if (::GetForegroundWindow() == Frame()->m_hWnd)
                    return true;
                ::SetForegroundWindow(Frame()->m_hWnd);
                return false;
            },
            400);
        ::SetFocus(Grid().m_hWnd);
        PumpFor(50);
    }
    static void Keys(std::initializer_list<WORD> keys)
    {
        FocusGrid();
        SendKeys(keys);
        PumpFor(150);
    }
    // Selects a row with a click on its number.
    static void ClickRow(int row)
    {
        CRect r;
        Grid().GetItemRect(row, &r, LVIR_BOUNDS);
        MouseClickAt(Grid().m_hWnd, r.left + 30, r.CenterPoint().y);
        PumpFor(100);
    }
    static void ClickButton(UINT nID)
    {
        FocusGrid();
        AfxGetThread()->OnIdle(0); // the buttons take their states
        COXCoolToolBar& bar = Frame()->GetToolBar();
        CRect rect;
        bar.GetItemRect(bar.CommandToIndex(nID), &rect);
        InputClick(bar.m_hWnd, CPoint(rect.left + 10, rect.CenterPoint().y));
        PumpFor(150);
    }
    static bool InMenuMode(DWORD uiThread)
    {
        GUITHREADINFO info{};
        info.cbSize = sizeof info;
        return ::GetGUIThreadInfo(uiThread, &info) && (info.flags & GUI_INMENUMODE) != 0;
    }
    // The popup menu window showing hMenu, or null.
    static HWND PopupShowing(HMENU hMenu)
    {
        struct Search {
            HMENU menu;
            HWND found;
        } search{hMenu, nullptr};
        ::EnumWindows(
            [](HWND h, LPARAM l) -> BOOL {
                auto* s = reinterpret_cast<Search*>(l);
                char cls[16] = {};
                ::GetClassNameA(h, cls, sizeof cls);
                if (lstrcmpA(cls, "#32768") == 0 && ::IsWindowVisible(h) &&
                    reinterpret_cast<HMENU>(::SendMessageA(h, MN_GETHMENU, 0, 0)) == s->menu) {
                    s->found = h;
                    return FALSE;
                }
                return TRUE;
            },
            reinterpret_cast<LPARAM>(&search));
        return search.found;
    }
    // Finds the command's item in the frame's menu bar, opens its popup with Alt and the
    // letter of its title, reads the item while the popup shows (its update handler has run then),
    // and clicks the item when `choose` and it is enabled, else leaves with Esc. `then` runs
    // on the input thread afterwards, while this thread pumps (for the window the command
    // opens). `look` runs while the popup shows.
    static ItemSeen UseMenuItem(UINT nID, bool choose, const std::function<void()>& then = {},
                                const std::function<void()>& look = {})
    {
        ItemSeen seen;
        HMENU hBar = ::GetMenu(Frame()->m_hWnd);
        int top = -1, pos = -1;
        for (int i = 0; top < 0 && i < ::GetMenuItemCount(hBar); ++i) {
            HMENU hSub = ::GetSubMenu(hBar, i);
            for (int j = 0; hSub != nullptr && j < ::GetMenuItemCount(hSub); ++j)
                if (::GetMenuItemID(hSub, j) == nID) {
                    top = i;
                    pos = j;
                    break;
                }
        }
        if (top < 0)
            return seen;
        seen.found = true;
        HMENU hSub = ::GetSubMenu(hBar, top);
        const DWORD uiThread = ::GetCurrentThreadId();
        FocusGrid();
        RunScriptWhilePumping([&] {
            // Alt and the title's underlined letter, as the menu bar shows it.
            char title[64] = {};
            ::GetMenuStringA(hBar, top, title, sizeof title, MF_BYPOSITION);
            const char* amp = std::strchr(title, '&');
            const char letter = amp != nullptr ? amp[1] : title[0];
            SendKeys({VK_MENU, static_cast<WORD>(::VkKeyScanA(letter) & 0xFF)});
            HWND hPopup = nullptr;
            ds::WaitUntil([&] { return (hPopup = PopupShowing(hSub)) != nullptr; }, 5000);
            if (hPopup != nullptr) {
                seen.shown = true;
                seen.grayed = (::GetMenuState(hSub, nID, MF_BYCOMMAND) & MF_GRAYED) != 0;
                char text[256] = {};
                ::GetMenuStringA(hSub, nID, text, sizeof text, MF_BYCOMMAND);
                seen.text = text;
                if (look)
                    look();
                if (choose && !seen.grayed) {
                    RECT item{};
                    ::GetMenuItemRect(hPopup, hSub, pos, &item);
                    InputMouseMove({(item.left + item.right) / 2, (item.top + item.bottom) / 2});
                    ::Sleep(80);
                    InputMouseButton(true);
                    InputMouseButton(false);
                } else {
                    InputKeyStroke(VK_ESCAPE);
                }
            }
            // Out of the menu altogether: Esc once more for the bar, then the system's way.
            ds::WaitUntil([&] { return PopupShowing(hSub) == nullptr; }, 3000);
            if (InMenuMode(uiThread)) {
                InputKeyStroke(VK_ESCAPE);
                if (!ds::WaitUntil([&] { return !InMenuMode(uiThread); }, 2000))
                    ::PostMessageA(Frame()->m_hWnd, WM_CANCELMODE, 0, 0);
            }
            if (then)
                then();
        });
        PumpFor(150);
        return seen;
    }
    // Chooses the command from the menu; it has to be there and enabled.
    static void Choose(UINT nID, const std::function<void()>& then = {})
    {
        const ItemSeen seen = UseMenuItem(nID, true, then);
        ASSERT_TRUE(seen.found) << "no menu item for " << nID;
        ASSERT_TRUE(seen.shown) << "its menu did not open";
        ASSERT_FALSE(seen.grayed) << seen.text << " is disabled";
    }
    static ItemSeen Look(UINT nID) { return UseMenuItem(nID, false); }
    static void ChooseMode(UINT nID, int nMode)
    {
        Choose(nID);
        ASSERT_TRUE(PumpUntil([&] { return Doc()->GetContentMode() == nMode; }, 400));
    }
    // Waits for the stand-in browser's next address.
    static std::string NextPage(size_t before)
    {
        PumpUntil([&] { return BrowsedPages().size() > before; }, 4000);
        PumpUntil([] { return !BrowserRunning(); }, 1000);
        const std::vector<std::string> pages = BrowsedPages();
        return pages.size() > before ? pages[before] : "<no page opened>";
    }
};

TEST_F(AppListCommands, CheckCommandsLeaveTheDataRowAlone)
{
    ASSERT_EQ(Grid().GetItemCount(), 4);
    ASSERT_EQ(Checks(), (std::vector<int>{1, 1, 1, 1})) << "the load checks every row";
    Choose(ID_EDIT_UNSELECTALL);
    EXPECT_EQ(Checks(), (std::vector<int>{0, 0, 0, 1}));
    EXPECT_EQ(Doc()->GetCDInfo().GetSelectedTrackCount(), 0);
    ClickButton(ID_EDIT_SELECTALLTRACKS);
    EXPECT_EQ(Checks(), (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(Doc()->GetCDInfo().GetSelectedTrackCount(), 3);
    ClickButton(ID_EDIT_UNSELECTALL);
    EXPECT_EQ(Checks(), (std::vector<int>{0, 0, 0, 1}));
    CRect r;
    Grid().GetItemRect(1, &r, LVIR_BOUNDS);
    MouseClickAt(Grid().m_hWnd, r.left + 6, r.CenterPoint().y); // the box of row 1
    PumpFor(100);
    Keys({VK_CONTROL, 'I'}); // Invert Selection
    EXPECT_EQ(Checks(), (std::vector<int>{1, 0, 1, 1}));
    EXPECT_EQ(Doc()->GetCDInfo().GetSelectedTrackCount(), 2);
    EXPECT_FALSE(Doc()->GetCDInfo().GetTrack(3)->IsSelected()) << "a data track is never chosen";
    Keys({VK_CONTROL, 'A'}); // Select All
    EXPECT_EQ(Checks(), (std::vector<int>{1, 1, 1, 1}));
    Choose(ID_EDIT_INVERTSELECTION);
    EXPECT_EQ(Checks(), (std::vector<int>{0, 0, 0, 1}));

    // In the "Ripper" mode the rows cannot be moved or removed.
    ClickRow(1);
    for (UINT nID : {ID_EDIT_MOVEUP, ID_EDIT_MOVEDOWN, ID_EDIT_REMOVE, ID_FILE_ADDFILES}) {
        const ItemSeen seen = Look(nID);
        ASSERT_TRUE(seen.shown) << nID;
        EXPECT_TRUE(seen.grayed) << seen.text;
    }
    EXPECT_FALSE(Look(ID_EDIT_SELECTALLTRACKS).grayed);
    Keys({VK_SHIFT, VK_DELETE});
    EXPECT_EQ(Grid().GetItemCount(), 4) << "Shift+Del removes no disc track";
}

TEST_F(AppListCommands, SearchesAndPagesOpenTheShellWithTheirAddress)
{
    const std::string search = std::string(endpoints::kSearchHub) + "?what=";
    const std::string hub = std::string(endpoints::kHubPage) + "?s=";
    enum Route { Menu, Button, Command };
    struct Case {
        int row;
        UINT nID;
        Route route;
        const char* item; // the menu item's text while it shows, when it has one
        std::string page;
    };
    const Case cases[] = {
        // The slash and the blank encoded in lower-case hexadecimal.
        {0, ID_SEARCH_INFO, Menu, "Search Information About 'Singer/X'",
         search + "w&q=Singer%2fX"},
        {0, ID_SEARCH_IMAGES, Menu, "Search Images About 'Singer/X'", search + "i&q=Singer%2fX"},
        {0, ID_SEARCH_VIDEOS, Menu, "Search Videos About 'Singer/X'", search + "v&q=Singer%2fX"},
        {0, ID_SEARCH_LYRICS_TITLE, Menu, "Search Lyrics Of 'One/Two'",
         search + "w&q=One%2fTwo%20%2blyrics"},
        // Row 1 has no artist and its default title: the album's title stands for both.
        {1, ID_SEARCH_LYRICS_TITLE, Menu, "Search Lyrics Of 'Blue'",
         search + "w&q=Blue%20%2blyrics"},
        {1, ID_SEARCH_LYRICS_ARTIST, Menu, "Search Lyrics By 'Blue'",
         search + "w&q=Blue%20%2blyrics"},
        {1, ID_SEARCH_AUDIO, Menu, "Search Audio About 'Blue'", search + "w&q=Blue%20%2bmp3"},
        {2, ID_SEARCH_STORE, Menu, "Shopping for 'Singer'", search + "s&q=Singer"},
        {2, ID_SEARCH_STORE, Button, nullptr, search + "s&q=Singer"},
        // The data row has no title to search: the album's.
        {3, ID_SEARCH_LYRICS_TITLE, Menu, "Search Lyrics Of 'Blue'",
         search + "w&q=Blue%20%2blyrics"},
        // The maker's pages with the search artist and title.
        {2, ID_HELP_SHOP, Menu, "Sonoria &Shop", hub + "shop&artist=Singer&title=Three"},
        {0, ID_WEB_VIDEOS, Button, nullptr, hub + "videos&artist=Singer%2fX&title=One%2fTwo"},
        // No menu or button the user sees carries it: the command as an item would send it.
        {1, ID_WEB_RINGTONES, Command, nullptr, hub + "ringtones&artist=Blue&title=Blue"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.page);
        ClickRow(c.row);
        ASSERT_EQ(Grid().GetCurSel(), c.row);
        const size_t before = BrowsedPages().size();
        if (c.route == Menu) {
            // With SONORIA_SHOT_DIR set, the first search's menu is saved as it shows.
            const char* shots = &c == cases ? std::getenv("SONORIA_SHOT_DIR") : nullptr;
            const ItemSeen seen = UseMenuItem(c.nID, true, {}, [&] {
                if (shots != nullptr)
                    SaveScreenBitmap(Frame()->m_hWnd,
                                     (std::string(shots) + "\\search-menu.bmp").c_str());
            });
            ASSERT_TRUE(seen.found && seen.shown);
            EXPECT_EQ(seen.text, c.item);
            EXPECT_FALSE(seen.grayed);
        } else if (c.route == Button) {
            ClickButton(c.nID);
        } else {
            Frame()->PostMessage(WM_COMMAND, c.nID);
        }
        // One at a time: the stand-in browsers append to one file.
        EXPECT_EQ(NextPage(before), c.page);
    }
}

// Adds files with the file dialog driven by keys, then moves and removes them. Last: it leaves
// the program in the "Tagger" mode.
TEST_F(AppListCommands, AddedFilesMoveAndGoWithTheirMenuStates)
{
    ChooseMode(ID_VIEW_CONVERTER, CSonoria3Doc::MODE_CONVERTER);
    ASSERT_EQ(Grid().GetItemCount(), 0);
    // No row and no album: nothing to search for; the shop page opens all the same.
    EXPECT_TRUE(Look(ID_SEARCH_INFO).grayed);
    EXPECT_TRUE(Look(ID_SEARCH_LYRICS_TITLE).grayed);
    EXPECT_FALSE(Look(ID_HELP_SHOP).grayed);
    const ItemSeen add = Look(ID_FILE_ADDFILES);
    EXPECT_FALSE(add.grayed);
    EXPECT_EQ(add.text, "Add files to convert...");

    Scratch dir("listcmd");
    const testing_wav::Format f{2, 44100, 16};
    for (const char* name : {"a.wav", "b.wav", "c.wav"})
        ASSERT_TRUE(testing_wav::WriteFile(
            dir / name, testing_wav::WavFile(f, testing_wav::SineSweep(f, 0.2))));
    {
        FILE* notes = std::fopen((dir / "notes.txt").c_str(), "wb");
        ASSERT_NE(notes, nullptr);
        std::fputs("not music", notes);
        std::fclose(notes);
    }

    // The folder typed into the name box and opened, then the files by name, in this order.
    const DWORD uiThread = ::GetCurrentThreadId();
    std::string folder = dir.Path(), errors;
    bool dialogShown = false, errorShown = false;
    Choose(ID_FILE_ADDFILES, [&] {
        HWND hDlg = ds::WaitForDialog(uiThread, nullptr);
        if (hDlg == nullptr)
            return;
        dialogShown = true;
        const int nameBox = ::GetDlgItem(hDlg, edt1) != nullptr ? edt1 : cmb13;
        ds::ClickControl(hDlg, nameBox);
        ds::Retype(folder.c_str());
        ds::Key(VK_RETURN);
        ::Sleep(500);
        ds::Retype("\"b.wav\" \"notes.txt\" \"a.wav\" \"c.wav\"");
        ds::Key(VK_RETURN);
        if (HWND hBox = ds::WaitForDialog(uiThread, "Error", hDlg)) {
            errorShown = true;
            errors = ds::StaticTexts(hBox);
            ds::Key(VK_RETURN);
        }
        // A dialog the keys left open is cancelled, so a failing case never hangs.
        if (::IsWindow(hDlg) && ::IsWindowVisible(hDlg))
            ::PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
    });
    ASSERT_TRUE(dialogShown) << "no file dialog";
    using Names = std::vector<std::string>;
    EXPECT_EQ(Column(1), (Names{"b.wav", "a.wav", "c.wav"}));
    EXPECT_TRUE(errorShown) << "no error box for the text file";
    EXPECT_NE(errors.find("notes.txt: unsupported format"), std::string::npos) << errors;
    EXPECT_EQ(errors.find(".wav"), std::string::npos) << errors;
    ASSERT_EQ(Grid().GetItemCount(), 3);

    ClickRow(0);
    EXPECT_TRUE(Look(ID_EDIT_MOVEUP).grayed) << "Move Up on the first row";
    Choose(ID_EDIT_MOVEDOWN);
    EXPECT_EQ(Column(1), (Names{"a.wav", "b.wav", "c.wav"}));
    EXPECT_EQ(Grid().GetCurSel(), 1);
    Choose(ID_EDIT_MOVEDOWN);
    EXPECT_EQ(Column(1), (Names{"a.wav", "c.wav", "b.wav"}));
    EXPECT_EQ(Grid().GetCurSel(), 2);
    EXPECT_TRUE(Look(ID_EDIT_MOVEDOWN).grayed) << "Move Down on the last row";
    Choose(ID_EDIT_MOVEUP);
    EXPECT_EQ(Column(1), (Names{"a.wav", "b.wav", "c.wav"}));
    EXPECT_EQ(Grid().GetCurSel(), 1);
    EXPECT_STREQ(Doc()->GetCDInfo().GetTrack(2)->GetFileName(), "c.wav") << "the document moved";

    // Removed from the menu, the row's index stays selected; Shift+Del takes that one too.
    Choose(ID_EDIT_REMOVE);
    EXPECT_EQ(Column(1), (Names{"a.wav", "c.wav"}));
    EXPECT_EQ(Grid().GetCurSel(), 1);
    Keys({VK_SHIFT, VK_DELETE});
    EXPECT_EQ(Column(1), (Names{"a.wav"}));
    EXPECT_EQ(Doc()->GetCDInfo().GetTrackCount(), 1);
    EXPECT_EQ(Grid().GetCurSel(), -1);
    EXPECT_TRUE(Look(ID_EDIT_REMOVE).grayed) << "no row selected";

    // The "Tagger" mode takes MP3 files only.
    ChooseMode(ID_VIEW_TAGGER, CSonoria3Doc::MODE_TAGGER);
    EXPECT_EQ(Look(ID_FILE_ADDFILES).text, "Add files to tag...");
    const std::string wav = dir / "a.wav";
    errors.clear();
    Choose(ID_FILE_ADDFILES, [&] {
        HWND hDlg = ds::WaitForDialog(uiThread, nullptr);
        if (hDlg == nullptr)
            return;
        ds::Retype(wav.c_str());
        ds::Key(VK_RETURN);
        if (HWND hBox = ds::WaitForDialog(uiThread, "Error", hDlg)) {
            errors = ds::StaticTexts(hBox);
            ds::Key(VK_RETURN);
        }
        if (::IsWindow(hDlg) && ::IsWindowVisible(hDlg))
            ::PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
    });
    EXPECT_EQ(Grid().GetItemCount(), 0);
    EXPECT_NE(errors.find("a.wav: unsupported format"), std::string::npos) << errors;
}

} // namespace
