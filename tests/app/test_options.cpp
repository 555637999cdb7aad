// The options window and the About box, opened from the program's own menu over the simulated
// drive, driven with real keys and clicks, and read back from the registry: edits on every
// page stored by OK, nothing stored by Cancel, the grid's ranges, the enable rules, the window
// size, a change of language re-translating the program, and the restart notice of a change of
// the drive-access method (last: it ends the main window).
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <atomic>
#include <map>
#include <memory>
#include <thread>
#include <vector>
#include <string>

#include "app/dialogs/about_dlg.h"
#include "app/dialogs/cfg_dlg.h"
#include "app/shell/main_frame.h"
#include "app/shell/sonoria3_app.h"
#include "app/shell/sonoria3_view.h"
#include "audio/player/audio_player.h"
#include "foundation/i18n/i18n.h"
#include "foundation/settings/app_cfg.h"
#include "propgrid/hover_button.h"
#include "propgrid/property_kinds.h"
#include "testing/simdrive/sim_disc.h"
#include "tests/framework_ui/ui_test_support.h"

CSonoria3App theApp;

namespace {

constexpr char kKey[] = "Software\\Corvalen\\Sonoria3";

std::string g_appFolder; // the install folder the test points the program at

// ---------------------------------------------------------------------------------------------
// Registry read-back

std::map<std::string, std::string> StoredValues()
{
    std::map<std::string, std::string> values;
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return values;
    for (DWORD i = 0;; ++i) {
        char name[256];
        BYTE data[2048];
        DWORD nameLen = sizeof(name), dataLen = sizeof(data) - 1, type = 0;
        if (::RegEnumValueA(hKey, i, name, &nameLen, nullptr, &type, data, &dataLen) !=
            ERROR_SUCCESS)
            break;
        data[dataLen] = 0;
        values[name] = type == REG_SZ ? reinterpret_cast<char*>(data) : "?";
    }
    ::RegCloseKey(hKey);
    return values;
}

std::string Stored(const char* name)
{
    auto values = StoredValues();
    auto it = values.find(name);
    return it == values.end() ? "<missing>" : it->second;
}

// ---------------------------------------------------------------------------------------------
// Input through the system's queue

void PressKey(WORD vk)
{
    SendKeys({vk});
    PumpFor(40);
}

void TypeText(const char* text)
{
    for (; *text != 0; ++text) {
        const SHORT key = ::VkKeyScanA(*text);
        const WORD vk = LOBYTE(key);
        if (HIBYTE(key) & 1)
            SendKeys({VK_SHIFT, vk});
        else
            SendKeys({vk});
    }
    PumpFor(80);
}

// The dialog of type TDlg this thread shows, or null.
template <class TDlg> TDlg* ShownDialog()
{
    struct Search {
        TDlg* found = nullptr;
    } search;
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND h, LPARAM l) -> BOOL {
            auto* dlg = dynamic_cast<TDlg*>(CWnd::FromHandlePermanent(h));
            if (dlg != nullptr && ::IsWindowVisible(h)) {
                reinterpret_cast<Search*>(l)->found = dlg;
                return FALSE;
            }
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Runs a script inside the modal loop of the dialog that a menu command opens: a thread timer
// waits for the dialog, then the script drives it and closes it. A script that leaves the
// dialog open gets it cancelled, so a failing test never hangs.
template <class TDlg> class ModalScript {
public:
    explicit ModalScript(std::function<void(TDlg&)> script) : m_script(std::move(script))
    {
        s_current = this;
    }
    ~ModalScript() { s_current = nullptr; }

    // Sends the menu keys (Alt + the letters) to the main window and pumps until the dialog was
    // driven and has closed. False when it never showed.
    bool RunFromMenu(std::initializer_list<WORD> letters)
    {
        CWnd* pFrame = theApp.m_pMainWnd;
        ::SetForegroundWindow(pFrame->m_hWnd);
        ::SetFocus(pFrame->m_hWnd);
        PumpPending();
        m_timer = ::SetTimer(nullptr, 0, 50, &Tick);
        auto it = letters.begin();
        SendKeys({VK_MENU, *it});
        for (++it; it != letters.end(); ++it)
            SendKeys({*it});
        PumpUntil([this] { return m_ran && ShownDialog<TDlg>() == nullptr; }, 1500);
        ::KillTimer(nullptr, m_timer);
        PumpFor(100); // what the command does after the dialog
        return m_ran;
    }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR id, DWORD)
    {
        ModalScript* self = s_current;
        TDlg* pDlg = ShownDialog<TDlg>();
        if (self == nullptr || self->m_ran || pDlg == nullptr)
            return;
        ::KillTimer(nullptr, id);
        self->m_ran = true;
        ::SetForegroundWindow(pDlg->m_hWnd);
        PumpFor(100);
        self->m_script(*pDlg);
        if (pDlg->ContinueModal())
            pDlg->EndDialog(IDCANCEL);
    }

    static inline ModalScript* s_current = nullptr;
    std::function<void(TDlg&)> m_script;
    UINT_PTR m_timer = 0;
    bool m_ran = false;
};

bool RunOptions(std::function<void(CCfgDlg&)> script)
{
    ModalScript<CCfgDlg> run(std::move(script));
    return run.RunFromMenu({'F', 'S', 'O'}); // File, Settings, Options...
}

// ---------------------------------------------------------------------------------------------
// The options grid as a user works it

EPropListWnd& List(CCfgDlg& dlg)
{
    return dlg.GetGrid().GetListWnd();
}

EProperty* Row(CCfgDlg& dlg, const char* name)
{
    for (EProperty* p : List(dlg).GetVisibleRows())
        if (p->GetName() == name)
            return p;
    ADD_FAILURE() << "no row " << name;
    return List(dlg).GetVisibleRows().front();
}

// A real click; a second click too soon at the same place would arrive as a double click.
void RealClick(HWND hWnd, int x, int y)
{
    static DWORD lastTick = 0;
    static POINT lastPoint{-100, -100};
    POINT pt{x, y};
    ::ClientToScreen(hWnd, &pt);
    const DWORD since = ::GetTickCount() - lastTick;
    if (since <= ::GetDoubleClickTime() && std::abs(pt.x - lastPoint.x) < 8 &&
        std::abs(pt.y - lastPoint.y) < 8)
        PumpFor(::GetDoubleClickTime() + 50 - since);
    MouseClickAt(hWnd, x, y);
    lastTick = ::GetTickCount();
    lastPoint = pt;
}

void ClickButton(CWnd& dlg, int nID)
{
    HWND h = ::GetDlgItem(dlg.m_hWnd, nID);
    RECT rc{};
    ::GetClientRect(h, &rc);
    RealClick(h, rc.right / 2, rc.bottom / 2);
    PumpFor(100);
}

void SwitchToPage(CCfgDlg& dlg, int index)
{
    CRect item;
    dlg.GetGrid().GetTabCtrl().GetItemRect(index, &item);
    RealClick(dlg.GetGrid().GetTabCtrl().m_hWnd, item.CenterPoint().x, item.CenterPoint().y);
    PumpFor(60);
    List(dlg).UpdateWindow(); // the rows take their places when drawn
    ASSERT_EQ(dlg.GetGrid().GetTabCtrl().GetCurSel(), index);
}

// A real click in the row's value cell, dx pixels from its left edge.
void ClickRow(CCfgDlg& dlg, const char* name, int dx = 30)
{
    EPropListWnd& list = List(dlg);
    const CRect& r = Row(dlg, name)->GetValueRect(); // content coordinates
    const int y = (r.top + r.bottom) / 2 - list.GetScrollPos(SB_VERT);
    RealClick(list.m_hWnd, list.GetNameColumnWidth() + 6 + dx, y);
    PumpFor(40);
}

// Clicks the row, types the text over the editor's content and presses Enter.
void TypeInto(CCfgDlg& dlg, const char* name, const char* text)
{
    ClickRow(dlg, name);
    auto* p = dynamic_cast<EIconTextButtonProperty*>(List(dlg).GetActiveProperty());
    ASSERT_NE(p, nullptr) << name;
    ASSERT_NE(p->GetEditBox(), nullptr) << name;
    p->GetEditBox()->SetSel(0, -1);
    TypeText(text);
    PressKey(VK_RETURN);
}

// The check box image of a check row.
void ToggleCheck(CCfgDlg& dlg, const char* name)
{
    ClickRow(dlg, name, 4 + 6);
}

// Picks the index-th choice of a choice row from its popup menu, by keyboard.
void Choose(CCfgDlg& dlg, const char* name, int index)
{
    ClickRow(dlg, name);
    auto* p = dynamic_cast<EIconTextButtonProperty*>(Row(dlg, name));
    ASSERT_NE(p, nullptr);
    ASSERT_NE(p->GetButton(), nullptr) << name << " is not editable";
    DialogAnswerer menu(
        [](HWND, void* context) {
            const int n = *static_cast<int*>(context);
            for (int i = 0; i <= n; ++i)
                SendKeys({VK_DOWN});
            SendKeys({VK_RETURN});
        },
        &index, "#32768", 5000);
    CRect rc;
    p->GetButton()->GetClientRect(&rc);
    RealClick(p->GetButton()->m_hWnd, rc.CenterPoint().x, rc.CenterPoint().y);
    PumpUntil([&] { return menu.Answered(); }, 400);
    PumpFor(150);
    EXPECT_TRUE(menu.Answered()) << name;
}

bool Editable(CCfgDlg& dlg, const char* name)
{
    return Row(dlg, name)->IsEnabled();
}

// ---------------------------------------------------------------------------------------------

void WriteTextFile(const std::string& path, const std::string& text)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr) << path;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

// One audio track; the disc load at start-up needs a disc but nothing here looks at it.
void WriteDisc()
{
    char path[MAX_PATH] = {};
    ASSERT_GT(::GetEnvironmentVariableA("SONORIA_SIMDRIVE_IMAGE", path, MAX_PATH), 0u)
        << "runs under testing/simdrive/simdrive-wine";
    simdrive::SimDisc disc;
    simdrive::SimSession session;
    session.tracks = {{1, true, 0}};
    session.leadOutLba = 4500;
    disc.sessions = {session};
    WriteTextFile(path, disc.ToText());
}

// The install folder with two language files; the program finds it through the machine key.
void PrepareInstallFolder()
{
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    g_appFolder = std::string(temp) + "sonoria_options_app\\";
    ::CreateDirectoryA(g_appFolder.c_str(), nullptr);
    WriteTextFile(g_appFolder + "english.lang", "[Info]\r\nLocaleID=0409\r\n\r\n[Language]\r\n");
    WriteTextFile(g_appFolder + "italiano.lang",
                  "[Info]\r\nLocaleID=0410\r\n\r\n[Language]\r\n"
                  "cmainfrm.mainmenu.5=&Visualizza\r\n"
                  "ccfgdlg.title=Opzioni\r\n"
                  "ccfgdlg.bt.cancel=Annulla\r\n"
                  "ccfgprop.const.pagegeneral=Generale\r\n"
                  "ccfgprop.const.ripvolume=Volume di estrazione\r\n"
                  "csonoria3view.const.column-track=Traccia\r\n");
    HKEY hKey = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &hKey,
                                nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(hKey, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(g_appFolder.c_str()),
                     static_cast<DWORD>(g_appFolder.size() + 1));
    ::RegCloseKey(hKey);
}

class OptionsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WriteDisc();
        PrepareInstallFolder();
        CAppCfg& cfg = GetAppCfg();
        cfg.SetLanguage("english.lang");
        cfg.SetForceASPI(FALSE);
        cfg.SetUseLocalDB(FALSE);
        cfg.SetWriteCDPLAYERINI(FALSE);
        cfg.SetReadCDText(FALSE);
        cfg.SetSonoriaDBAutoSearch(FALSE);
        cfg.SetAutoSearchFreedb(FALSE);
        cfg.SetAutoCheckNewVersion(FALSE);
        cfg.SetAllowMultipleInstances(TRUE);
        cfg.ClearFileNameDefs();
        ASSERT_TRUE(theApp.InitInstance());
        // Without a window manager under Xvfb the main window can end up above the centred
        // dialogs it owns; kept in a corner they do not overlap it.
        theApp.m_pMainWnd->MoveWindow(0, 0, 400, 300, TRUE);
        PumpFor(300);
    }

    // Settings every test starts from, saved so the registry holds them too.
    void SetUp() override
    {
        ASSERT_NE(theApp.m_pMainWnd, nullptr);
        CAppCfg& cfg = GetAppCfg();
        cfg.ClearFreedbServerList();
        for (const char* s : {"a.example", "b.example", "c.example"})
            cfg.AddFreedbServer(s);
        cfg.SetFreedbServer("B.EXAMPLE");
        cfg.SetRipVolume(100);
        cfg.SetBeepAfterRip(TRUE);
        cfg.SetMp3Enc_Mode(2);
        cfg.SetUseProxy(1);
        cfg.SetOptionsWindow_dx(800);
        cfg.SetOptionsWindow_dy(600);
        cfg.Save();
    }
};

TEST_F(OptionsTest, OkStoresTheEditsOfEveryPage)
{
    CAppCfg& cfg = GetAppCfg();
    cfg.SetFreedbTimeout(37);
    cfg.SetFreedbEmail("me@example.org");
    cfg.SetConcurrentRippings(12); // no such choice: written back unchanged
    cfg.SetMp3Enc_Bitrate(150);    // the same
    cfg.SetEndOfConversionOKAlarm("C:\\sounds\\done.wav");
    cfg.Save();

    ASSERT_TRUE(RunOptions([](CCfgDlg& dlg) {
        CRect rc;
        dlg.GetWindowRect(&rc);
        EXPECT_EQ(rc.Size(), CSize(800, 600)) << "the stored outer size";
        EXPECT_EQ(dlg.GetHost().GetSelectedFreedbServer(), CString("b.example"));
        EXPECT_STREQ(static_cast<EIconTextButtonProperty*>(Row(dlg, "Concurrent rippings"))
                         ->GetTextValue(),
                     "N/A");

        TypeInto(dlg, "Ripping Volume", "250");
        Choose(dlg, "Write playlist", 2); // PLS
        ToggleCheck(dlg, "Beep on rip end");

        SwitchToPage(dlg, 1);
        Choose(dlg, "freedb server", 2);
        TypeInto(dlg, "Encoded by preset string", "Ripped|by me");

        SwitchToPage(dlg, 2);
        Choose(dlg, "Default encoding", 4); // FLAC
        Choose(dlg, "Output file name format", 2);

        SwitchToPage(dlg, 3);
        Choose(dlg, "Mode", 0); // CBR

        SwitchToPage(dlg, 4);
        Choose(dlg, "Use a proxy", 2); // manual
        TypeInto(dlg, "Proxy server address", "proxy.test");
        TypeInto(dlg, "Proxy server port", "8080");
        ClickButton(dlg, IDOK);
        EXPECT_FALSE(dlg.ContinueModal());
    }));

    struct Expected {
        const char* name;
        const char* value;
    };
    const Expected expected[] = {
        {"RipVolume", "250"},
        {"WritePlayList", "2"},
        {"BeepAfterRip", "0"},
        {"EndOfConversionOKAlarm", "C:\\sounds\\done.wav"}, // read-only now, still written
        {"FreedbServer", "c.example"},                      // the name, not the position
        {"EncodedByPreset", "Rippedby me"},                 // '|' is dropped by the store
        {"DefaultTargetFormat", "4"},
        {"FileNameFormat", "2"},
        {"Mp3Enc_Mode", "1"},
        {"Mp3Enc_Bitrate", "150"},
        {"ConcurrentRippings", "12"},
        {"UseProxy", "2"},
        {"ProxyServer", "proxy.test"},
        {"ProxyPort", "8080"},
        {"FreedbTimeout", "37"},
        {"FreedbEmail", "me@example.org"},
        {"Language", "english.lang"},
        {"OptionsWindow_dx", "800"},
        {"OptionsWindow_dy", "600"},
    };
    const auto stored = StoredValues();
    for (const auto& e : expected) {
        SCOPED_TRACE(e.name);
        auto it = stored.find(e.name);
        ASSERT_NE(it, stored.end());
        EXPECT_EQ(it->second, e.value);
    }
}

TEST_F(OptionsTest, CancelAfterEditsChangesNothing)
{
    const auto before = StoredValues();
    ASSERT_TRUE(RunOptions([](CCfgDlg& dlg) {
        TypeInto(dlg, "Ripping Volume", "300");
        ToggleCheck(dlg, "Show Elapsed Time");
        SwitchToPage(dlg, 4);
        Choose(dlg, "Use a proxy", 0);
        EXPECT_EQ(dlg.GetHost().m_nRipVolume, 300);
        PressKey(VK_ESCAPE); // the list's edit is closed: Escape reaches the dialog
        if (dlg.ContinueModal())
            ClickButton(dlg, IDCANCEL);
        EXPECT_FALSE(dlg.ContinueModal());
    }));
    EXPECT_EQ(StoredValues(), before);
    EXPECT_EQ(GetAppCfg().GetRipVolume(), 100);
    EXPECT_EQ(GetAppCfg().GetUseProxy(), 1);
}

TEST_F(OptionsTest, TheGridRefusesValuesOutsideEachRange)
{
    CAppCfg& cfg = GetAppCfg();
    cfg.SetUseProxy(2); // the port row accepts edits
    cfg.SetProxyPort(3128);
    cfg.SetNumCDSectorsPerRead(16);
    cfg.SetCDReadBufSize(1);
    cfg.SetVorbisEnc_Quality(4);
    struct Case {
        int page;
        const char* row;
        const char* typed;
        int expected; // the member after the edit
    };
    // Each row starts from its setting's default; a refused value leaves the previous one.
    const Case cases[] = {
        {0, "Ripping Volume", "5", 100},       {0, "Ripping Volume", "1001", 100},
        {0, "Ripping Volume", "10", 10},       {0, "Ripping Volume", "1000", 1000},
        {0, "CD sectors per read", "7", 16},   {0, "CD sectors per read", "55", 16},
        {0, "CD sectors per read", "54", 54},  {0, "CD read buffer size", "9", 1},
        {0, "CD read buffer size", "8", 8},    {3, "Quality", "-2", 4},
        {3, "Quality", "11", 4},               {3, "Quality", "-1", -1},
        {3, "Quality", "10", 10},              {4, "Proxy server port", "0", 3128},
        {4, "Proxy server port", "65536", 3128}, {4, "Proxy server port", "65535", 65535},
    };
    ASSERT_TRUE(RunOptions([&cases](CCfgDlg& dlg) {
        CCfgProp& host = dlg.GetHost();
        const std::map<std::string, int*> members = {
            {"Ripping Volume", &host.m_nRipVolume},
            {"CD sectors per read", &host.m_nNumCDSectorsPerRead},
            {"CD read buffer size", &host.m_nCDReadBufSize},
            {"Quality", &host.m_nVorbisEnc_Quality},
            {"Proxy server port", &host.m_nProxyPort}};
        int page = 0;
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(c.row) + " <- " + c.typed);
            if (c.page != page)
                SwitchToPage(dlg, page = c.page);
            TypeInto(dlg, c.row, c.typed);
            EXPECT_EQ(*members.at(c.row), c.expected);
        }
        ClickButton(dlg, IDCANCEL);
    }));
}

TEST_F(OptionsTest, RowsFollowTheEnableRulesWhileEditing)
{
    ASSERT_TRUE(RunOptions([](CCfgDlg& dlg) {
        // Unchecking the beep makes both sound rows read-only at once.
        EXPECT_TRUE(Editable(dlg, "Sound to play on coversion end successfully"));
        ToggleCheck(dlg, "Beep on rip end");
        EXPECT_FALSE(Editable(dlg, "Sound to play on coversion end successfully"));
        EXPECT_FALSE(Editable(dlg, "Sound to play on coversion end with errors"));
        EXPECT_TRUE(Editable(dlg, "Eject CD on rip end"));

        struct ModeCase {
            int choice; // CBR, VBR, ABR
            bool bitrate, quality;
        };
        SwitchToPage(dlg, 3);
        for (const ModeCase& c : {ModeCase{0, true, false}, ModeCase{1, false, true},
                                  ModeCase{2, true, true}}) {
            SCOPED_TRACE(c.choice);
            Choose(dlg, "Mode", c.choice);
            EXPECT_EQ(dlg.GetHost().m_nMp3Enc_Mode, c.choice + 1);
            EXPECT_EQ(Editable(dlg, "Bitrate"), c.bitrate);
            EXPECT_EQ(Editable(dlg, "VBR/ABR quality"), c.quality);
        }

        struct ProxyCase {
            int choice; // no proxy, the system's settings, manual
            bool server, user;
        };
        SwitchToPage(dlg, 4);
        for (const ProxyCase& c : {ProxyCase{2, true, true}, ProxyCase{1, false, true},
                                   ProxyCase{0, false, false}}) {
            SCOPED_TRACE(c.choice);
            Choose(dlg, "Use a proxy", c.choice);
            EXPECT_EQ(dlg.GetHost().m_nUseProxy, c.choice);
            EXPECT_EQ(Editable(dlg, "Proxy server address"), c.server);
            EXPECT_EQ(Editable(dlg, "Proxy server port"), c.server);
            EXPECT_EQ(Editable(dlg, "Proxy user"), c.user);
            EXPECT_EQ(Editable(dlg, "Proxy password"), c.user);
        }

        // The password is edited in a password box.
        Choose(dlg, "Use a proxy", 1);
        ClickRow(dlg, "Proxy password");
        auto* pwd = dynamic_cast<EIconTextButtonProperty*>(Row(dlg, "Proxy password"));
        ASSERT_NE(pwd->GetEditBox(), nullptr);
        EXPECT_NE(pwd->GetEditBox()->GetStyle() & ES_PASSWORD, 0u);
        TypeText("secret");
        PressKey(VK_RETURN);
        EXPECT_EQ(dlg.GetHost().m_strProxyPwd, CString("secret"));
        ClickButton(dlg, IDCANCEL);
    }));
}

TEST_F(OptionsTest, TheWindowKeepsItsSizeAndLaysOutItsButtons)
{
    struct SizeCase {
        int dx, dy;
        CSize expected; // 0: the template's size
    };
    const SizeCase sizes[] = {{100, 500, {0, 0}}, {101, 101, {408, 300}}, {500, 400, {500, 400}}};
    CSize templateSize;
    for (const SizeCase& c : sizes) {
        SCOPED_TRACE(c.dx);
        GetAppCfg().SetOptionsWindow_dx(c.dx);
        GetAppCfg().SetOptionsWindow_dy(c.dy);
        CSize shown;
        ASSERT_TRUE(RunOptions([&shown](CCfgDlg& dlg) {
            CRect rc;
            dlg.GetWindowRect(&rc);
            shown = rc.Size();
            ClickButton(dlg, IDCANCEL);
        }));
        if (c.expected.cx == 0) {
            templateSize = shown;
            EXPECT_LT(shown.cx, 500);
        } else {
            EXPECT_EQ(shown, c.expected);
        }
    }

    // Widening by 50 pixels moves the buttons and widens the grid, which ends 6 pixels above
    // OK; the system holds the size between 408 x 300 and 800 x 600; OK stores the outer size.
    // (Without a window manager under Xvfb the frame cannot be dragged: the window is sized
    // the way a window manager would size it.)
    CSize stored;
    ASSERT_TRUE(RunOptions([&stored](CCfgDlg& dlg) {
        auto clientRect = [&dlg](int nID) {
            CRect rc;
            ::GetWindowRect(::GetDlgItem(dlg.m_hWnd, nID), &rc);
            dlg.ScreenToClient(&rc);
            return rc;
        };
        auto sizeTo = [&dlg](int cx, int cy) {
            dlg.SetWindowPos(nullptr, 0, 0, cx, cy, SWP_NOMOVE | SWP_NOZORDER);
            PumpFor(50);
            CRect rc;
            dlg.GetWindowRect(&rc);
            return rc.Size();
        };
        CRect window;
        dlg.GetWindowRect(&window);
        const CRect ok = clientRect(IDOK), cancel = clientRect(IDCANCEL);
        const CRect help = clientRect(IDC_CFGDLG_HELP), grid = clientRect(IDC_CFGDLG_GRID);
        EXPECT_EQ(grid.bottom, ok.top - 6);

        ASSERT_EQ(sizeTo(window.Width() + 50, window.Height()),
                  CSize(window.Width() + 50, window.Height()));
        EXPECT_EQ(clientRect(IDOK), ok + CPoint(50, 0));
        EXPECT_EQ(clientRect(IDCANCEL), cancel + CPoint(50, 0));
        EXPECT_EQ(clientRect(IDC_CFGDLG_HELP), help + CPoint(50, 0));
        EXPECT_EQ(clientRect(IDC_CFGDLG_GRID).Width(), grid.Width() + 50);
        EXPECT_EQ(clientRect(IDC_CFGDLG_GRID).bottom, clientRect(IDOK).top - 6);

        EXPECT_EQ(sizeTo(1200, 1000), CSize(800, 600));
        EXPECT_EQ(sizeTo(200, 100), CSize(408, 300));
        EXPECT_EQ(clientRect(IDC_CFGDLG_GRID).bottom, clientRect(IDOK).top - 6);
        EXPECT_EQ(clientRect(IDOK).left - clientRect(IDC_CFGDLG_HELP).left, ok.left - help.left)
            << "Help keeps its distance to the right edge too";
        stored = sizeTo(610, 420);
        ClickButton(dlg, IDOK);
    }));
    EXPECT_EQ(Stored("OptionsWindow_dx"), std::to_string(stored.cx));
    EXPECT_EQ(Stored("OptionsWindow_dy"), std::to_string(stored.cy));
}

TEST_F(OptionsTest, AboutShowsTheVersionTheLinksAndTheTranslator)
{
    // The current language file names its translator.
    GetI18N().WriteEntry("caboutdlg.const.translatedbyname", "Translated by Ada Test");
    GetI18N().WriteEntry("caboutdlg.const.translatedbyurl", "http://translator.invalid/ada");
    GetI18N().ClearCache();

    ModalScript<CAboutDlg> run([](CAboutDlg& dlg) {
        auto text = [&dlg](int nID) {
            char buf[2048] = {};
            ::GetDlgItemTextA(dlg.m_hWnd, nID, buf, sizeof(buf));
            return std::string(buf);
        };
        char caption[128] = {};
        ::GetWindowTextA(dlg.m_hWnd, caption, sizeof(caption));
        EXPECT_STREQ(caption, "About Sonoria3");
        EXPECT_EQ(text(IDC_ABOUT_VERSION), "Sonoria 3.70");
        EXPECT_EQ(text(IDC_ABOUT_SITE), about_links::kMakerSite);
        EXPECT_EQ(text(IDC_ABOUT_SEPARATOR), "");
        EXPECT_EQ(text(IDC_ABOUT_TRANSLATOR), "Translated by Ada Test");

        struct Link {
            COXStaticHyperLink* link;
            const char* target;
        };
        for (const Link& l : {Link{&dlg.GetSiteLink(), about_links::kMakerSite},
                              Link{&dlg.GetTranslatorLink(), "http://translator.invalid/ada"},
                              Link{&dlg.GetDesignerLink(), about_links::kDesignerSite},
                              Link{&dlg.GetVorbisLink(), about_links::kVorbisSite},
                              Link{&dlg.GetLameLink(), about_links::kLameSite}}) {
            SCOPED_TRACE(l.target);
            const COXHyperLinkAction& action = l.link->GetLinkAction();
            EXPECT_EQ(action.m_nActionID, COXHyperLinkAction::ID_HLACTION_OPEN);
            EXPECT_EQ(std::string(action.m_sFile), l.target);
            EXPECT_TRUE(action.m_sParameters.IsEmpty());
            EXPECT_EQ(action.m_nShowCmd, SW_SHOWNORMAL);
        }
        const std::string credits = text(IDC_ABOUT_CREDITS);
        for (const char* part : {"freedb", "Ogg Vorbis", "FLAC", "LAME", "MPG123",
                                 "GNU Library General Public License", "\r\nThe WNASPI32.DLL"})
            EXPECT_NE(credits.find(part), std::string::npos) << part;
        PressKey(VK_RETURN);
        EXPECT_FALSE(dlg.ContinueModal());
    });
    EXPECT_TRUE(run.RunFromMenu({'H', 'A'})); // Help, About
}

TEST_F(OptionsTest, ANewLanguageRetranslatesTheMenuAndTheOptions)
{
    auto menuText = [](int position) {
        char buf[64] = {};
        ::GetMenuStringA(::GetMenu(theApp.m_pMainWnd->m_hWnd), position, buf, sizeof(buf),
                         MF_BYPOSITION);
        return std::string(buf);
    };
    ASSERT_EQ(menuText(5), "&View");
    ASSERT_TRUE(RunOptions([](CCfgDlg& dlg) {
        CCfgProp& host = dlg.GetHost();
        ASSERT_EQ(host.GetLanguageFiles().GetCount(), 2);
        const int italian = host.GetLanguageFiles().GetHead() == "italiano.lang" ? 0 : 1;
        Choose(dlg, "Language", italian);
        EXPECT_EQ(host.GetSelectedLanguage(), CString("italiano.lang"));
        ClickButton(dlg, IDOK);
    }));
    EXPECT_EQ(Stored("Language"), "italiano.lang");
    EXPECT_EQ(menuText(5), "&Visualizza");
    EXPECT_EQ(menuText(0), "&File") << "a key the file lacks keeps its English text";
    // The refresh it posted rebuilt the view in the new language.
    auto* pView = dynamic_cast<CSonoria3View*>(
        dynamic_cast<CMainFrame*>(theApp.m_pMainWnd)->GetActiveView());
    ASSERT_NE(pView, nullptr);
    char column[64] = {};
    LVCOLUMNA col{};
    col.mask = LVCF_TEXT;
    col.pszText = column;
    col.cchTextMax = sizeof(column);
    pView->GetGrid().SendMessage(LVM_GETCOLUMNA, 1, reinterpret_cast<LPARAM>(&col));
    EXPECT_STREQ(column, "Traccia");

    // The next opening speaks the new language.
    ASSERT_TRUE(RunOptions([](CCfgDlg& dlg) {
        char caption[64] = {};
        ::GetWindowTextA(dlg.m_hWnd, caption, sizeof(caption));
        EXPECT_STREQ(caption, "Opzioni");
        char tab[64] = {};
        TCITEMA item{};
        item.mask = TCIF_TEXT;
        item.pszText = tab;
        item.cchTextMax = sizeof(tab);
        dlg.GetGrid().GetTabCtrl().SendMessage(TCM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        EXPECT_STREQ(tab, "Generale");
        EXPECT_EQ(Row(dlg, "Volume di estrazione")->GetName(), CString("Volume di estrazione"));
        ClickButton(dlg, IDCANCEL);
    }));

    GetAppCfg().SetLanguage("english.lang");
    I18NSetLanguageFile((g_appFolder + "english.lang").c_str());
}

void SetInstallFolder(const std::string& folder)
{
    HKEY hKey = nullptr;
    ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kKey, 0, nullptr, 0, KEY_WRITE, nullptr, &hKey, nullptr);
    ::RegSetValueExA(hKey, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                     static_cast<DWORD>(folder.size() + 1));
    ::RegCloseKey(hKey);
}

std::vector<std::string> Entries(const CStringList& list)
{
    std::vector<std::string> out;
    for (POSITION pos = list.GetHeadPosition(); pos != nullptr;)
        out.emplace_back(list.GetNext(pos));
    return out;
}

TEST_F(OptionsTest, ChoiceListsFallBackWhenTheSettingsOfferNothingToChoose)
{
    CAppCfg& cfg = GetAppCfg();
    struct Case {
        const char* what;
        bool emptyFolder;  // no language file in the install folder
        const char* language;
        bool languageFound;
        std::vector<std::string> servers;
        const char* server;
        bool serverFound;
    };
    const Case cases[] = {
        {"every setting among its choices", false, "ITALIANO.LANG", true,
         {"a.example", "b.example"}, "B.example", true},
        {"stored values among no choice", false, "missing.lang", false, {"a.example"},
         "other.example", false},
        {"no language file, no server list", true, "mine.lang", true, {}, "gnudb.gnudb.org", true},
    };
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string emptyFolder = std::string(temp) + "sonoria_options_empty\\";
    ::CreateDirectoryA(emptyFolder.c_str(), nullptr);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        SetInstallFolder(c.emptyFolder ? emptyFolder : g_appFolder);
        cfg.SetLanguage(c.language);
        cfg.ClearFreedbServerList();
        for (const auto& s : c.servers)
            cfg.AddFreedbServer(s.c_str());
        cfg.SetFreedbServer(c.server);
        cfg.ClearFileNameDefs();
        cfg.AddFileNameDefsItem("Shown name|%a\\%1%e");
        cfg.AddFileNameDefsItem("Whole item");

        CCfgProp host;
        if (c.emptyFolder)
            EXPECT_EQ(Entries(host.GetLanguageFiles()), std::vector<std::string>{c.language});
        else
            EXPECT_EQ(host.GetLanguageFiles().GetCount(), 2);
        EXPECT_EQ(host.SelectLanguage(c.language), c.languageFound);
        const std::string firstFile = Entries(host.GetLanguageFiles()).front();
        EXPECT_EQ(std::string(host.GetSelectedLanguage()),
                  c.languageFound && !c.emptyFolder ? "italiano.lang"
                  : c.emptyFolder                   ? c.language
                                                    : firstFile.c_str());

        const std::vector<std::string> servers =
            c.servers.empty() ? std::vector<std::string>{"gnudb.gnudb.org"} : c.servers;
        EXPECT_EQ(Entries(host.GetFreedbServers()), servers);
        EXPECT_EQ(host.SelectFreedbServer(c.server), c.serverFound);
        EXPECT_EQ(std::string(host.GetSelectedFreedbServer()),
                  c.serverFound && c.servers.size() > 1 ? "b.example" : servers.front());

        EXPECT_EQ(Entries(host.GetTemplateNames()),
                  (std::vector<std::string>{"Shown name", "Whole item"}));
        EXPECT_EQ(host.GetCDDrives().GetCount(), 1) << "the simulated drive";
    }
    SetInstallFolder(g_appFolder);
    cfg.SetLanguage("english.lang");
    cfg.ClearFileNameDefs();
}

TEST(OptionsHelp, TheLanguageCodeOfTheHelpPageIsEncoded)
{
    struct Case {
        const char* code;
        const char* query;
    };
    const Case cases[] = {{"en", "?s=hoptions&language=en&version=3.70&build=4"},
                          {"pt&s=evil", "?s=hoptions&language=pt%26s%3devil&version=3.70&build=4"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const std::string url = CCfgDlg::HelpPageUrl(c.code).GetString();
        EXPECT_EQ(url.substr(url.find('?')), c.query);
        EXPECT_EQ(url.find("hub.php?"), url.find('?') - 7);
    }
}

TEST_F(OptionsTest, ThePagesComeInOrderAndThePlayerRowsNeedAnOutputDevice)
{
    CCfgProp host;
    EPropList list;
    host.FillProperties(&list);
    struct Page {
        const char* name;
        int rows;
        const char* last;
    };
    CStringArray devices;
    const bool player = CAudioPlayer::ListOutputDevices(devices) > 0;
    const Page pages[] = {{"General", 22, "Show Splash Screen"},
                          {"Info Tags", 10, "Encoded by preset string"},
                          {"Output", player ? 9 : 7, player ? "Default Volume" : "Audio Player"},
                          {"Encoding", 19, "FLAC quality level preset"},
                          {"Network", 5, "Proxy password"}};
    ASSERT_EQ(list.GetPageCount(), 5);
    EXPECT_EQ(list.GetDefaultComment(), CString("Configuration"));
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(pages[i].name);
        EPropListPage* page = list.GetPage(i);
        EXPECT_EQ(page->GetName(), CString(pages[i].name));
        ASSERT_EQ(page->GetPropertyCount(), pages[i].rows);
        EXPECT_EQ(page->GetProperty(pages[i].rows - 1)->GetName(), CString(pages[i].last));
    }
}

TEST_F(OptionsTest, OpeningsLeaveNoWindowsOrGdiObjectsBehind)
{
    auto openAndCancel = [] {
        return RunOptions([](CCfgDlg& dlg) {
            SwitchToPage(dlg, 3);
            ClickRow(dlg, "Mode"); // an open editor with its button
            ClickButton(dlg, IDCANCEL);
        });
    };
    ASSERT_TRUE(openAndCancel()); // caches and fonts made once
    const int windows = ThreadWindowCount();
    const DWORD gdi = GdiObjectCount();
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(openAndCancel());
    EXPECT_EQ(ThreadWindowCount(), windows);
    EXPECT_EQ(GdiObjectCount(), gdi);
}

// With SONORIA_SHOT_DIR set, each page of the options and the About box are saved there as
// bitmaps of the screen.
TEST_F(OptionsTest, ShowcaseOfThePagesAndTheAboutBox)
{
    const char* dir = std::getenv("SONORIA_SHOT_DIR");
    if (dir == nullptr)
        GTEST_SKIP() << "SONORIA_SHOT_DIR names the folder for the pictures";
    GetAppCfg().SetOptionsWindow_dx(560);
    GetAppCfg().SetOptionsWindow_dy(600);
    ASSERT_TRUE(RunOptions([dir](CCfgDlg& dlg) {
        const char* names[] = {"general", "infotags", "output", "encoding", "network"};
        for (int page = 0; page < 5; ++page) {
            SwitchToPage(dlg, page);
            ClickRow(dlg, List(dlg).GetVisibleRows()[1]->GetName());
            dlg.RedrawWindow(nullptr, nullptr,
                             RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
            PumpFor(300);
            const std::string path = std::string(dir) + "\\options-" + names[page] + ".bmp";
            SaveScreenBitmap(dlg.m_hWnd, path.c_str());
        }
        ClickButton(dlg, IDCANCEL);
    }));
    ModalScript<CAboutDlg> about([dir](CAboutDlg& dlg) {
        PumpFor(300);
        SaveScreenBitmap(dlg.m_hWnd, (std::string(dir) + "\\about.bmp").c_str());
        PressKey(VK_RETURN);
    });
    EXPECT_TRUE(about.RunFromMenu({'H', 'A'}));
}

// Last: the exit it posts closes the main window.
TEST_F(OptionsTest, ANewDriveAccessMethodEndsTheProgramWithItsNotice)
{
    struct Notice {
        std::string title, text;
        static void Answer(HWND hBox, void* self)
        {
            auto* n = static_cast<Notice*>(self);
            char buf[512] = {};
            ::GetWindowTextA(hBox, buf, sizeof(buf));
            n->title = buf;
            ::EnumChildWindows(
                hBox,
                [](HWND h, LPARAM p) -> BOOL {
                    char cls[32], text[512];
                    ::GetClassNameA(h, cls, sizeof(cls));
                    if (lstrcmpiA(cls, "Static") == 0 && ::GetWindowTextA(h, text, sizeof(text)))
                        reinterpret_cast<Notice*>(p)->text += text;
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(self));
            ::PostMessageA(hBox, WM_COMMAND, IDOK, 0);
        }
    } notice;
    HWND hFrame = theApp.m_pMainWnd->m_hWnd;
    // The notice box comes after the options closed, so it is the only dialog then.
    const DWORD uiThread = ::GetCurrentThreadId();
    std::atomic<bool> optionsClosed{false}, answered{false};
    std::thread watcher([&] {
        for (int i = 0; i < 600 && !answered; ++i) {
            ::Sleep(50);
            if (!optionsClosed)
                continue;
            HWND found = nullptr;
            ::EnumThreadWindows(
                uiThread,
                [](HWND h, LPARAM l) -> BOOL {
                    char cls[16] = {};
                    ::GetClassNameA(h, cls, sizeof(cls));
                    if (lstrcmpA(cls, "#32770") == 0 && ::IsWindowVisible(h)) {
                        *reinterpret_cast<HWND*>(l) = h;
                        return FALSE;
                    }
                    return TRUE;
                },
                reinterpret_cast<LPARAM>(&found));
            if (found != nullptr) {
                ::Sleep(200);
                Notice::Answer(found, &notice);
                answered = true;
            }
        }
    });
    const bool ran = RunOptions([&](CCfgDlg& dlg) {
        ToggleCheck(dlg, "Force ASPI use");
        EXPECT_TRUE(dlg.GetHost().m_bForceASPI);
        ClickButton(dlg, IDOK);
        optionsClosed = true; // DoModal returns as soon as this script does
    });
    if (!ran)
        answered = true;
    watcher.join();
    ASSERT_TRUE(ran);
    EXPECT_EQ(notice.title, "Warning");
    EXPECT_EQ(notice.text,
              "You must restart Sonoria to apply changed settings!\r\nSonoria will now close.");
    EXPECT_TRUE(PumpUntil([hFrame] { return !::IsWindow(hFrame); }, 400))
        << "the posted exit closes the main window";
    EXPECT_EQ(Stored("ForceASPI"), "1");
}

} // namespace
