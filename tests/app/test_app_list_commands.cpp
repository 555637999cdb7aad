// The track grid's list, search and page commands from the program's own menu, driven by its
// keys over the simulated drive: check all, none and invert (the data row left alone), moving
// and removing file rows with the menu states that go with them, and the web searches and
// pages, whose shell call reaches a probe program registered as the browser.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
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
#include "tests/app/progress_test_support.h"
#include "tests/audio/cd_test_support.h"
#include "tests/framework_ui/ui_test_support.h"

CSonoria3App theApp;

using namespace testing_progress;

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

std::string ProbeLog()
{
    char dir[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + "sonoria_shell_probe.log";
}

// The lines the probe wrote: one per shell call.
std::vector<std::string> ProbeCalls()
{
    std::vector<std::string> lines;
    const std::string text = ReadText(ProbeLog());
    size_t at = 0;
    for (size_t end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(text.substr(at, end - at));
    return lines;
}

// The probe, beside this program, stands in for the browser the shell starts.
void RegisterProbeAsBrowser()
{
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string probe = self;
    probe = probe.substr(0, probe.rfind('\\') + 1) + "shell_probe.exe";
    const std::string command = "\"" + probe + "\" \"%1\"";
    HKEY hKey = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", 0, nullptr, 0,
                                KEY_SET_VALUE, nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(hKey, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(command.c_str()),
                     static_cast<DWORD>(command.size() + 1));
    ::RegCloseKey(hKey);
    ::SetEnvironmentVariableA("SONORIA_SHELL_PROBE_LOG", ProbeLog().c_str());
    ::DeleteFileA(ProbeLog().c_str());
}

class AppListCommands : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        std::setvbuf(stdout, nullptr, _IONBF, 0);
        ResetDriveStats(RunTransport());
        InsertDisc(TheDisc());
        RegisterProbeAsBrowser();
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
        ASSERT_TRUE(theApp.InitInstance());
        PumpFor(200);
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
    static void FocusGrid()
    {
        ::SetForegroundWindow(Frame()->m_hWnd);
        ::SetFocus(Grid().m_hWnd);
        PumpFor(50);
    }
    static void Keys(std::initializer_list<WORD> keys)
    {
        SendKeys(keys);
        PumpFor(120);
    }
    // Alt with the menu's letter, then the other keys: all sent before the pump, which runs
    // the menu's own loop until it closes.
    static void Menu(std::initializer_list<WORD> keys)
    {
        FocusGrid();
        auto it = keys.begin();
        SendKeys({VK_MENU, *it});
        for (++it; it != keys.end(); ++it)
            SendKeys({*it});
        PumpFor(300);
    }
    // Selects a row with a click on its number.
    static void ClickRow(int row)
    {
        CRect r;
        Grid().GetItemRect(row, &r, LVIR_BOUNDS);
        MouseClickAt(Grid().m_hWnd, r.left + 30, r.CenterPoint().y);
    }
    // Opens the menu bar's popup at `position` by its key, reads what `read` wants while it
    // is open (its items are updated then), and closes it.
    template <class Read> static void WhileMenuOpen(WORD letter, Read read)
    {
        FocusGrid();
        RunScriptWhilePumping([&] {
            SendKeys({VK_MENU, letter});
            WaitUntil([] { return ::FindWindowA("#32768", nullptr) != nullptr; }, 5000);
            ::Sleep(200);
            read();
            SendKeys({VK_ESCAPE});
            ::Sleep(50);
            SendKeys({VK_ESCAPE});
            WaitUntil([] { return ::FindWindowA("#32768", nullptr) == nullptr; }, 5000);
            CancelMenuMode();
        });
        PumpFor(100);
    }
    // Ends a menu the keys left open or in its bar mode (a failing case never hangs).
    static void CancelMenuMode()
    {
        ::Sleep(100);
        ::PostMessageA(Frame()->m_hWnd, WM_CANCELMODE, 0, 0);
        ::Sleep(100);
    }
    static HMENU Popup(int position) { return ::GetSubMenu(::GetMenu(Frame()->m_hWnd), position); }
    static bool Grayed(HMENU hMenu, UINT nID)
    {
        return (::GetMenuState(hMenu, nID, MF_BYCOMMAND) & MF_GRAYED) != 0;
    }
    static std::string ItemText(HMENU hMenu, UINT nID)
    {
        char text[256] = {};
        ::GetMenuStringA(hMenu, nID, text, sizeof text, MF_BYCOMMAND);
        return text;
    }
    // Waits for the probe's line of the next shell call.
    static std::string NextShellCall(size_t before)
    {
        WaitUntil([&] { return ProbeCalls().size() > before; }, 20000);
        const std::vector<std::string> calls = ProbeCalls();
        return calls.size() > before ? calls[before] : "<no shell call>";
    }
};

TEST_F(AppListCommands, CheckCommandsLeaveTheDataRowAlone)
{
    ASSERT_EQ(Grid().GetItemCount(), 4);
    ASSERT_EQ(Checks(), (std::vector<int>{1, 1, 1, 1})) << "the load checks every row";
    Menu({'E', 'U'}); // Edit, Unselect All
    EXPECT_EQ(Checks(), (std::vector<int>{0, 0, 0, 1}));
    EXPECT_EQ(Doc()->GetCDInfo().GetSelectedTrackCount(), 0);
    Keys({VK_CONTROL, 'A'}); // Select All
    EXPECT_EQ(Checks(), (std::vector<int>{1, 1, 1, 1}));
    EXPECT_EQ(Doc()->GetCDInfo().GetSelectedTrackCount(), 3);
    Menu({'E', 'U'});
    CRect r;
    Grid().GetItemRect(1, &r, LVIR_BOUNDS);
    MouseClickAt(Grid().m_hWnd, r.left + 6, r.CenterPoint().y); // the box of row 1
    Keys({VK_CONTROL, 'I'}); // Invert Selection
    EXPECT_EQ(Checks(), (std::vector<int>{1, 0, 1, 1}));
    EXPECT_EQ(Doc()->GetCDInfo().GetSelectedTrackCount(), 2);
    EXPECT_FALSE(Doc()->GetCDInfo().GetTrack(3)->IsSelected()) << "a data track is never chosen";

    // In the "Ripper" mode the rows cannot be moved or removed.
    bool moveUp = false, moveDown = false, remove = false, selectAll = false;
    ClickRow(1);
    WhileMenuOpen('E', [&] {
        moveUp = Grayed(Popup(1), ID_EDIT_MOVEUP);
        moveDown = Grayed(Popup(1), ID_EDIT_MOVEDOWN);
        remove = Grayed(Popup(1), ID_EDIT_REMOVE);
        selectAll = Grayed(Popup(1), ID_EDIT_SELECTALLTRACKS);
    });
    EXPECT_TRUE(moveUp && moveDown && remove);
    EXPECT_FALSE(selectAll);
}

TEST_F(AppListCommands, SearchesAndPagesOpenTheShellWithTheirAddress)
{
    const std::string search = std::string(endpoints::kSearchHub) + "?what=";
    struct Case {
        int row;
        WORD menu;       // the popup's letter
        int downs;       // arrow presses to the item
        const char* item; // the item's text while the menu is open ("" when not checked)
        std::string call;
    };
    const Case cases[] = {
        // The slash and the blank encoded in lower-case hexadecimal.
        {0, 'S', 0, "Search Information About 'Singer/X'", search + "w&q=Singer%2fX"},
        {0, 'S', 3, "Search Videos About 'Singer/X'", search + "v&q=Singer%2fX"},
        // Row 1 has no artist and its default title: the album's title stands for both.
        {1, 'S', 5, "Search Lyrics Of 'Blue'", search + "w&q=Blue%20%2blyrics"},
        {1, 'S', 2, "Search Audio About 'Blue'", search + "w&q=Blue%20%2bmp3"},
        {2, 'S', 6, "Shopping for 'Singer'", search + "s&q=Singer"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.call);
        ClickRow(c.row);
        ASSERT_EQ(Grid().GetCurSel(), c.row);
        if (c.item[0] != 0) {
            std::vector<std::string> texts;
            WhileMenuOpen(c.menu, [&] {
                for (int i = 0; i < ::GetMenuItemCount(Popup(4)); ++i)
                    texts.push_back(ItemText(Popup(4), ::GetMenuItemID(Popup(4), i)));
            });
            EXPECT_NE(std::find(texts.begin(), texts.end(), c.item), texts.end())
                << "menu item text";
        }
        const size_t before = ProbeCalls().size();
        FocusGrid();
        bool leftOpen = false;
        RunScriptWhilePumping([&] {
            SendKeys({VK_MENU, c.menu});
            WaitUntil([] { return ::FindWindowA("#32768", nullptr) != nullptr; }, 5000);
            ::Sleep(150);
            for (int i = 0; i < c.downs; ++i)
                SendKeys({VK_DOWN});
            SendKeys({VK_RETURN});
            // A menu the keys left open is closed, so a failing case never hangs.
            leftOpen = !WaitUntil([] { return ::FindWindowA("#32768", nullptr) == nullptr; },
                                  3000);
            CancelMenuMode();
        });
        EXPECT_FALSE(leftOpen) << "the menu stayed open";
        EXPECT_EQ(NextShellCall(before), c.call);
    }
}

// Last: it leaves the program in the "Converter" mode.
TEST_F(AppListCommands, FileRowsMoveAndGoWithTheirMenuStates)
{
    Menu({'V', VK_DOWN, VK_RETURN}); // View, "Converter"
    ASSERT_TRUE(
        PumpUntil([] { return Doc()->GetContentMode() == CSonoria3Doc::MODE_CONVERTER; }, 400));
    Scratch dir("listcmd");
    std::vector<std::string> files;
    const testing_wav::Format f{2, 44100, 16};
    for (const char* name : {"a.wav", "b.wav", "c.wav"}) {
        files.push_back(dir / name);
        ASSERT_TRUE(
            testing_wav::WriteFile(files.back(), testing_wav::WavFile(f, testing_wav::SineSweep(f, 0.2))));
    }
    ::PostMessage(View()->m_hWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(DropFilesBlock(files)),
                  0);
    ASSERT_TRUE(PumpUntil([] { return Grid().GetItemCount() == 3; }, 400));
    using Names = std::vector<std::string>;

    ClickRow(0);
    bool upFirst = false, downFirst = true;
    WhileMenuOpen('E', [&] {
        upFirst = Grayed(Popup(1), ID_EDIT_MOVEUP);
        downFirst = Grayed(Popup(1), ID_EDIT_MOVEDOWN);
    });
    EXPECT_TRUE(upFirst) << "Move Up on the first row";
    EXPECT_FALSE(downFirst);

    Menu({'E', 'D'}); // Move Down
    EXPECT_EQ(Column(1), (Names{"b.wav", "a.wav", "c.wav"}));
    EXPECT_EQ(Grid().GetCurSel(), 1);
    Menu({'E', 'D'});
    EXPECT_EQ(Column(1), (Names{"b.wav", "c.wav", "a.wav"}));
    EXPECT_EQ(Grid().GetCurSel(), 2);
    bool downLast = false;
    WhileMenuOpen('E', [&] { downLast = Grayed(Popup(1), ID_EDIT_MOVEDOWN); });
    EXPECT_TRUE(downLast) << "Move Down on the last row";
    Menu({'E', 'P'}); // Move Up
    EXPECT_EQ(Column(1), (Names{"b.wav", "a.wav", "c.wav"}));
    EXPECT_EQ(Grid().GetCurSel(), 1);
    EXPECT_STREQ(Doc()->GetCDInfo().GetTrack(0)->GetFileName(), "b.wav") << "the document moved";

    // Shift+Del removes the selected row; its index stays selected.
    FocusGrid();
    Keys({VK_SHIFT, VK_DELETE});
    EXPECT_EQ(Column(1), (Names{"b.wav", "c.wav"}));
    EXPECT_EQ(Doc()->GetCDInfo().GetTrackCount(), 2);
    EXPECT_EQ(Grid().GetCurSel(), 1);
}

} // namespace
