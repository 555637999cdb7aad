// History combo box: the list kept by real typing and clicks on its toolbar, the buttons'
// states from the update handlers (its own and its parent's), and the registry value.
#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/framework_ui/ui_test_support.h"
#include "tests/toolkit/bars_test_res.h"
#include "toolkit/controls/history_combo/history_combo.h"

namespace
{

constexpr UINT kComboId = 300;
constexpr char kCompany[] = "SonoriaHistoryTest";

// Records the commands it receives; handles only ID_TEST_RIP of the test toolbar.
class ComboHost : public CWnd
{
public:
    ComboHost()
    {
        CreateEx(0, nullptr, "combo host", WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN, 0, 0, 560, 300,
                 SharedTopWindow(), nullptr);
    }
    ~ComboHost() override { DestroyWindow(); }
    struct Command {
        UINT nID, nCode;
        HWND hWnd;
    };
    std::vector<Command> commands;
    int nRips = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_COMMAND)
            commands.push_back({LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)});
        return CWnd::WindowProc(message, wParam, lParam);
    }
    void OnRip() { ++nRips; }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ComboHost, CWnd)
ON_COMMAND(ID_TEST_RIP, OnRip)
END_MESSAGE_MAP()

std::string HistoryKeyPath()
{
    return std::string("Software\\") + kCompany + "\\" + AfxGetApp()->m_pszProfileName +
           "\\HistoryCombo";
}

// The stored value: its type and its bytes as they are in the registry.
struct Stored {
    bool present = false;
    DWORD type = 0;
    std::string bytes;
};

Stored ReadStored(const char* valueName)
{
    Stored s;
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, HistoryKeyPath().c_str(), 0, KEY_READ, &hKey) !=
        ERROR_SUCCESS)
        return s;
    DWORD cb = 0;
    if (::RegQueryValueExA(hKey, valueName, nullptr, &s.type, nullptr, &cb) == ERROR_SUCCESS) {
        s.present = true;
        s.bytes.resize(cb);
        ::RegQueryValueExA(hKey, valueName, nullptr, &s.type,
                           reinterpret_cast<LPBYTE>(s.bytes.data()), &cb);
    }
    ::RegCloseKey(hKey);
    return s;
}

void WriteStored(const char* valueName, const std::string& text)
{
    HKEY hKey = nullptr;
    ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, HistoryKeyPath().c_str(), 0, nullptr, 0,
                                KEY_ALL_ACCESS, nullptr, &hKey, nullptr),
              ERROR_SUCCESS);
    ::RegSetValueExA(hKey, valueName, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                     static_cast<DWORD>(text.size() + 1));
    ::RegCloseKey(hKey);
}

std::vector<std::string> Entries(const COXHistoryCombo& combo)
{
    std::vector<std::string> entries;
    for (int i = 0; i < combo.GetCount(); ++i) {
        CString s;
        combo.GetLBText(i, s);
        entries.push_back(static_cast<LPCTSTR>(s));
    }
    return entries;
}

std::string EditText(const CWnd& wnd)
{
    CString s;
    wnd.GetWindowText(s);
    return static_cast<LPCTSTR>(s);
}

class HistoryComboTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        AfxGetApp()->SetRegistryKey(kCompany);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, (std::string("Software\\") + kCompany).c_str());
        host = std::make_unique<ComboHost>();
    }
    void TearDown() override
    {
        combo.reset();
        host.reset();
        PumpPending();
        ::RegDeleteTreeA(HKEY_CURRENT_USER, (std::string("Software\\") + kCompany).c_str());
    }
    void MakeCombo(UINT nToolbar = IDR_OX_HISTORY_COMBO_TOOLS)
    {
        combo = std::make_unique<COXHistoryCombo>(COXHistoryCombo::TBPRightCenter, FALSE, nToolbar);
        ASSERT_TRUE(combo->Create(WS_CHILD | WS_VISIBLE | WS_VSCROLL | WS_TABSTOP | CBS_DROPDOWN |
                                      CBS_AUTOHSCROLL,
                                  CRect(20, 40, 320, 240), host.get(), kComboId));
        PumpPending();
    }
    void TypeIntoCombo(const char* text)
    {
        HWND hEdit = ::GetWindow(combo->m_hWnd, GW_CHILD);
        InputClick(hEdit, {10, 5});
        KeyPress(VK_HOME);
        KeyPress(VK_END, true);
        TypeKeys(text);
    }
    // The toolbar button of a command, clicked with the real mouse.
    void ClickButton(UINT nID)
    {
        CMFCToolBar* bar = combo->GetToolbar();
        CRect rc;
        bar->GetItemRect(bar->CommandToIndex(nID), &rc);
        InputClick(bar->m_hWnd, {rc.CenterPoint().x, rc.CenterPoint().y});
        PumpFor(80);
    }
    // What the application's idle time does: the toolbar follows the update handlers.
    void IdleUpdate() { combo->SendMessage(WM_IDLEUPDATECMDUI, TRUE, 0); }
    bool ButtonEnabled(UINT nID)
    {
        return combo->GetToolbar()->SendMessage(TB_ISBUTTONENABLED, nID) != 0;
    }

    std::unique_ptr<ComboHost> host;
    std::unique_ptr<COXHistoryCombo> combo;
};

// ---------------------------------------------------------------------------------------------

TEST_F(HistoryComboTest, ToolbarButtonsKeepTheListWithRealInput)
{
    MakeCombo();
    CMFCToolBar* bar = combo->GetToolbar();
    ASSERT_NE(bar->m_hWnd, nullptr);
    EXPECT_TRUE(bar->IsWindowVisible());
    EXPECT_EQ(bar->GetCount(), 3);
    EXPECT_EQ(bar->GetItemID(0), static_cast<UINT>(ID_OX_HISTORY_COMBO_NEW));
    EXPECT_EQ(bar->GetItemID(2), static_cast<UINT>(ID_OX_HISTORY_COMBO_BROWSE));
    // Right of the combo, centred on it, its border overlapping the combo's edge.
    CRect rcCombo, rcBar;
    combo->GetWindowRect(&rcCombo);
    bar->GetWindowRect(&rcBar);
    EXPECT_EQ(rcBar.left, rcCombo.right - bar->GetBorders().right);
    EXPECT_LE(std::abs((rcBar.top + rcBar.bottom) - (rcCombo.top + rcCombo.bottom)), 1);

    IdleUpdate();
    EXPECT_FALSE(ButtonEnabled(ID_OX_HISTORY_COMBO_NEW));    // empty text
    EXPECT_FALSE(ButtonEnabled(ID_OX_HISTORY_COMBO_DELETE)); // nothing selected
    EXPECT_TRUE(ButtonEnabled(ID_OX_HISTORY_COMBO_BROWSE));

    for (const char* text : {"C:\\first", "C:\\second", "C:\\third"}) {
        TypeIntoCombo(text);
        IdleUpdate();
        ASSERT_TRUE(ButtonEnabled(ID_OX_HISTORY_COMBO_NEW));
        ClickButton(ID_OX_HISTORY_COMBO_NEW);
    }
    EXPECT_EQ(Entries(*combo), (std::vector<std::string>{"C:\\third", "C:\\second", "C:\\first"}));
    EXPECT_EQ(combo->GetCurSel(), 0);

    // Delete of an entry with a successor: the successor is selected and the parent told.
    combo->SetCurSel(1);
    host->commands.clear();
    IdleUpdate();
    ASSERT_TRUE(ButtonEnabled(ID_OX_HISTORY_COMBO_DELETE));
    ClickButton(ID_OX_HISTORY_COMBO_DELETE);
    EXPECT_EQ(Entries(*combo), (std::vector<std::string>{"C:\\third", "C:\\first"}));
    EXPECT_EQ(combo->GetCurSel(), 1);
    ASSERT_EQ(host->commands.size(), 1u);
    EXPECT_EQ(host->commands[0].nID, kComboId);
    EXPECT_EQ(host->commands[0].nCode, static_cast<UINT>(CBN_SELCHANGE));
    EXPECT_EQ(host->commands[0].hWnd, combo->m_hWnd);

    // Delete of the last entry: the one before it is selected, without notification.
    host->commands.clear();
    ClickButton(ID_OX_HISTORY_COMBO_DELETE);
    EXPECT_EQ(Entries(*combo), (std::vector<std::string>{"C:\\third"}));
    EXPECT_EQ(combo->GetCurSel(), 0);
    EXPECT_TRUE(host->commands.empty());

    // A disabled combo disables its toolbar and every button.
    combo->EnableWindow(FALSE);
    IdleUpdate();
    EXPECT_FALSE(bar->IsWindowEnabled());
    EXPECT_FALSE(ButtonEnabled(ID_OX_HISTORY_COMBO_BROWSE));
    combo->EnableWindow(TRUE);
    EXPECT_TRUE(bar->IsWindowEnabled());
}

TEST_F(HistoryComboTest, AddingMovesToTheTopAndTrimsToSix)
{
    MakeCombo();
    struct Step {
        const char* text;
        BOOL bNew;
        std::vector<std::string> after;
    } const steps[] = {
        {"a", TRUE, {"a"}},
        {"", FALSE, {"a"}},
        {"b", TRUE, {"b", "a"}},
        {"A", FALSE, {"A", "b"}}, // same text in another case: moved up, count kept
        {"c", TRUE, {"c", "A", "b"}},
        {"d", TRUE, {"d", "c", "A", "b"}},
        {"e", TRUE, {"e", "d", "c", "A", "b"}},
        {"f", TRUE, {"f", "e", "d", "c", "A", "b"}},
        {"g", TRUE, {"g", "f", "e", "d", "c", "A"}}, // the seventh pushes out the oldest
    };
    for (const Step& s : steps) {
        combo->SetWindowText(s.text);
        EXPECT_EQ(combo->AddNewItemToHistory(), s.bNew) << s.text;
        EXPECT_EQ(Entries(*combo), s.after) << s.text;
    }
    EXPECT_EQ(std::string(combo->GetHistoryString()), "g|f|e|d|c|A");
    EXPECT_FALSE(combo->DeleteItemFromHistory(6));
    EXPECT_TRUE(combo->DeleteItemFromHistory(0));
    EXPECT_EQ(std::string(combo->GetHistoryString()), "f|e|d|c|A");
}

TEST_F(HistoryComboTest, RegistryValueIsOneStringJoinedByBars)
{
    MakeCombo();
    for (const char* text : {"C:\\one", "D:\\two"}) {
        combo->SetWindowText(text);
        combo->AddNewItemToHistory();
    }
    combo->SetWindowText("E:\\typed");
    // The edit text joins the list before saving; company and application default to the
    // application's registry key and profile name.
    EXPECT_TRUE(combo->SaveHistory("Folders"));
    Stored s = ReadStored("Folders");
    ASSERT_TRUE(s.present);
    EXPECT_EQ(s.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(s.bytes, std::string("E:\\typed|D:\\two|C:\\one") + '\0');

    // Restored elsewhere: every stored entry (more than six as well), no empty ones.
    WriteStored("Folders", "a||b|c|d|e|f|g|");
    COXHistoryCombo other;
    ASSERT_TRUE(other.Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, CRect(20, 100, 300, 260),
                             host.get(), kComboId + 1));
    EXPECT_TRUE(other.RestoreHistory("Folders"));
    EXPECT_EQ(Entries(other), (std::vector<std::string>{"a", "b", "c", "d", "e", "f", "g"}));
    EXPECT_EQ(other.GetCurSel(), 0);
    EXPECT_EQ(EditText(other), "a");
    other.SetWindowText("new");
    other.AddNewItemToHistory();
    EXPECT_EQ(Entries(other), (std::vector<std::string>{"new", "a", "b", "c", "d", "e"}));

    // A missing value restores an empty list; an empty list deletes the value.
    EXPECT_TRUE(other.RestoreHistory("Nothing here"));
    EXPECT_EQ(other.GetCount(), 0);
    EXPECT_TRUE(other.SaveHistory("Folders", nullptr, nullptr, HKEY_CURRENT_USER, FALSE));
    EXPECT_FALSE(ReadStored("Folders").present);

    // Given names go under that company and application.
    combo->SaveHistory("Named", "SonoriaHistoryTest", "Other App", HKEY_CURRENT_USER, FALSE);
    HKEY hKey = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER,
                              "Software\\SonoriaHistoryTest\\Other App\\HistoryCombo", 0, KEY_READ,
                              &hKey),
              ERROR_SUCCESS);
    ::RegCloseKey(hKey);

    // No value name, or no company known at all: nothing is written.
    EXPECT_FALSE(combo->SaveHistory(""));
    AfxGetApp()->m_pszRegistryKey = nullptr;
    EXPECT_FALSE(combo->SaveHistory("Folders"));
    EXPECT_FALSE(combo->RestoreHistory("Folders"));
    AfxGetApp()->SetRegistryKey(kCompany);
}

TEST_F(HistoryComboTest, AutoPersistentRestoresAtOnceAndSavesWhenDestroyed)
{
    WriteStored("Current Folder", "X:\\kept|Y:\\older");
    MakeCombo();
    EXPECT_TRUE(combo->SetAutoPersistent("Current Folder"));
    EXPECT_EQ(Entries(*combo), (std::vector<std::string>{"X:\\kept", "Y:\\older"}));
    EXPECT_EQ(EditText(*combo), "X:\\kept");

    TypeIntoCombo("Z:\\last typed");
    combo->DestroyWindow();
    Stored s = ReadStored("Current Folder");
    ASSERT_TRUE(s.present);
    EXPECT_EQ(std::string(s.bytes.c_str()), "Z:\\last typed|X:\\kept|Y:\\older");
    // The toolbar went with the window; the combo can be created again.
    ASSERT_NE(combo->GetToolbar(), nullptr);
    EXPECT_EQ(combo->GetToolbar()->m_hWnd, nullptr);
    ASSERT_TRUE(combo->Create(WS_CHILD | WS_VISIBLE | CBS_DROPDOWN, CRect(20, 40, 320, 240),
                              host.get(), kComboId));
    EXPECT_EQ(Entries(*combo),
              (std::vector<std::string>{"Z:\\last typed", "X:\\kept", "Y:\\older"}));
    EXPECT_NE(combo->GetToolbar()->m_hWnd, nullptr);
}

TEST_F(HistoryComboTest, ButtonFlagsAndPositionPlaceOrHideTheToolbar)
{
    MakeCombo();
    CMFCToolBar* bar = combo->GetToolbar();
    CRect rcCombo;
    combo->GetWindowRect(&rcCombo);
    host->ScreenToClient(&rcCombo);
    const CRect borders = bar->GetBorders();

    struct Case {
        UINT nPos;
        BOOL bNoBorder;
        // Which edge of the toolbar meets which edge of the combo.
        int (*check)(const CRect& bar, const CRect& combo, const CRect& borders);
    } const cases[] = {
        {COXHistoryCombo::TBPTopLeft, FALSE,
         [](const CRect& b, const CRect& c, const CRect& br) {
             return (b.left == c.left - br.left && b.bottom == c.top + br.bottom) ? 0 : 1;
         }},
        {COXHistoryCombo::TBPBottomRight, TRUE,
         [](const CRect& b, const CRect& c, const CRect& br) {
             return (b.right == c.right + br.right && b.top == c.bottom) ? 0 : 1;
         }},
        {COXHistoryCombo::TBPLeftCenter, FALSE,
         [](const CRect& b, const CRect& c, const CRect& br) {
             return (b.right == c.left + br.left && b.top == c.top + (c.Height() - b.Height()) / 2)
                        ? 0
                        : 1;
         }},
        {COXHistoryCombo::TBPRightTop, TRUE,
         [](const CRect& b, const CRect& c, const CRect& br) {
             return (b.left == c.right && b.top == c.top - br.top) ? 0 : 1;
         }},
    };
    for (const Case& c : cases) {
        combo->PositionToolbar(c.nPos, c.bNoBorder);
        CRect rcBar;
        bar->GetWindowRect(&rcBar);
        host->ScreenToClient(&rcBar);
        EXPECT_TRUE(bar->IsWindowVisible()) << c.nPos;
        EXPECT_EQ(c.check(rcBar, rcCombo, borders), 0) << "position " << c.nPos;
    }
    combo->PositionToolbar(COXHistoryCombo::TBPNone, FALSE);
    EXPECT_FALSE(bar->IsWindowVisible());

    // Only Browse shown; then none at all, whatever the position.
    combo->PositionToolbar(COXHistoryCombo::TBPRightCenter, FALSE);
    combo->ShowButton(0, FALSE);
    combo->ShowButton(1, FALSE);
    combo->RefreshToolbar();
    EXPECT_TRUE(bar->IsWindowVisible());
    EXPECT_EQ(bar->GetCount(), 1);
    EXPECT_EQ(bar->GetItemID(0), static_cast<UINT>(ID_OX_HISTORY_COMBO_BROWSE));
    combo->ShowButton(2, FALSE);
    combo->RefreshToolbar();
    EXPECT_FALSE(bar->IsWindowVisible());
    combo->PositionToolbar(COXHistoryCombo::TBPBottomLeft, FALSE);
    EXPECT_FALSE(bar->IsWindowVisible());
}

TEST_F(HistoryComboTest, OtherCommandsGoToTheParentAndFollowItsHandlers)
{
    // A toolbar whose commands the combo does not know: Rip has a handler in the parent,
    // Stop has none.
    MakeCombo(IDR_TEST_TOOLBAR);
    CMFCToolBar* bar = combo->GetToolbar();
    ASSERT_EQ(bar->GetItemID(0), static_cast<UINT>(ID_TEST_RIP));
    ASSERT_EQ(bar->GetItemID(1), static_cast<UINT>(ID_TEST_STOP));

    IdleUpdate();
    EXPECT_TRUE(ButtonEnabled(ID_TEST_RIP));
    EXPECT_FALSE(ButtonEnabled(ID_TEST_STOP));

    host->commands.clear();
    ClickButton(ID_TEST_RIP);
    EXPECT_EQ(host->nRips, 1);
    ASSERT_FALSE(host->commands.empty());
    EXPECT_EQ(host->commands.back().nID, static_cast<UINT>(ID_TEST_RIP));
    EXPECT_EQ(host->commands.back().hWnd, bar->m_hWnd);
}

struct BrowseAnswer {
    std::string path;
};

void ChooseFile(HWND hDialog, void* context)
{
    auto* answer = static_cast<BrowseAnswer*>(context);
    ::Sleep(300);
    // The file name field of the open dialog, then OK.
    HWND hName = ::GetDlgItem(hDialog, 0x47C); // combo box of the name
    if (hName == nullptr)
        hName = ::GetDlgItem(hDialog, 0x480); // edit of the name
    ::SetWindowTextA(hName, answer->path.c_str());
    ::SendMessage(hDialog, WM_COMMAND, IDOK, 0);
}

TEST_F(HistoryComboTest, BrowsePutsTheChosenFileIntoTheCombo)
{
    char temp[MAX_PATH] = "";
    ::GetTempPathA(MAX_PATH, temp);
    BrowseAnswer answer{std::string(temp) + "history_browse.txt"};
    HANDLE h =
        ::CreateFileA(answer.path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(h, INVALID_HANDLE_VALUE);
    ::CloseHandle(h);

    MakeCombo();
    combo->m_browseParams.sInitialDir = temp;
    host->commands.clear();
    {
        DialogAnswerer dialog(&ChooseFile, &answer);
        ClickButton(ID_OX_HISTORY_COMBO_BROWSE);
        PumpUntil([&] { return dialog.Answered(); }, 400);
        EXPECT_TRUE(dialog.Answered());
    }
    PumpFor(100);
    EXPECT_STRCASEEQ(EditText(*combo).c_str(), answer.path.c_str());
    ASSERT_FALSE(host->commands.empty());
    EXPECT_EQ(host->commands.back().nCode, static_cast<UINT>(CBN_EDITCHANGE));
    EXPECT_EQ(host->commands.back().nID, kComboId);
    ::DeleteFileA(answer.path.c_str());
}

} // namespace
