// Folder picker dialog, driven with real keys and clicks while it runs modally: a typed path,
// the tree's choice, the history it keeps in the registry, the check boxes that rebuild the
// tree. With SONORIA_SHOWCASE_MS set, showcase tests hold the picker and a tree on screen.
#include <gtest/gtest.h>

#include <windows.h>

#include <ole2.h>

#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>

#include "tests/framework_ui/ui_test_support.h"
#include "tests/toolkit/scratch_folders.h"
#include "toolkit/controls/folder_picker/folder_picker_dlg.h"

namespace
{

constexpr char kCompany[] = "SonoriaPickerTest";

std::string StoredHistory()
{
    std::string key = std::string("Software\\") + kCompany + "\\" + AfxGetApp()->m_pszProfileName +
                      "\\HistoryCombo";
    char value[2048] = "";
    DWORD cb = sizeof(value), type = 0;
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, KEY_READ, &hKey) != ERROR_SUCCESS)
        return "<no key>";
    LONG rc = ::RegQueryValueExA(hKey, "Current Folder", nullptr, &type,
                                 reinterpret_cast<LPBYTE>(value), &cb);
    ::RegCloseKey(hKey);
    if (rc != ERROR_SUCCESS)
        return "<no value>";
    return type == REG_SZ ? value : "<not REG_SZ>";
}

std::string Text(HWND hWnd)
{
    char text[1024] = "";
    ::GetWindowTextA(hWnd, text, sizeof(text));
    return text;
}

// Input from the watcher thread: keys straight into the system's queue (the dialog is the
// foreground window), clicks at client points of the dialog's controls.
void Key(UINT vk)
{
    InputKey(vk, true);
    InputKey(vk, false);
    ::Sleep(60);
}

void Type(const char* text)
{
    for (; *text != 0; ++text) {
        SHORT key = ::VkKeyScanA(*text);
        if (key == -1)
            continue;
        const bool shift = (HIBYTE(key) & 1) != 0;
        if (shift)
            InputKey(VK_SHIFT, true);
        InputKey(LOBYTE(key), true);
        InputKey(LOBYTE(key), false);
        if (shift)
            InputKey(VK_SHIFT, false);
    }
    ::Sleep(100);
}

void ClickClient(HWND hWnd, POINT pt)
{
    ::ClientToScreen(hWnd, &pt);
    InputMouseMove(pt);
    ::Sleep(40);
    InputMouseButton(true);
    InputMouseButton(false);
    ::Sleep(150);
}

void ClickControl(HWND hDialog, int nID)
{
    HWND hCtrl = ::GetDlgItem(hDialog, nID);
    RECT rc;
    ::GetClientRect(hCtrl, &rc);
    ClickClient(hCtrl, {8, (rc.bottom - rc.top) / 2});
}

HTREEITEM Selected(HWND hTree)
{
    return reinterpret_cast<HTREEITEM>(::SendMessage(hTree, TVM_GETNEXTITEM, TVGN_CARET, 0));
}

std::string ItemText(HWND hTree, HTREEITEM hItem)
{
    char text[MAX_PATH] = "";
    TVITEMA item{};
    item.mask = TVIF_TEXT;
    item.hItem = hItem;
    item.pszText = text;
    item.cchTextMax = MAX_PATH;
    ::SendMessage(hTree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
    return text;
}

void ClickItem(HWND hTree, HTREEITEM hItem)
{
    RECT rc{};
    std::memcpy(&rc, &hItem, sizeof hItem); // the item goes in, its rectangle comes out
    ::SendMessage(hTree, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&rc));
    ClickClient(hTree, {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
}

// Runs the dialog modally while script(dialog) drives it from the watcher thread.
struct Script {
    std::function<void(HWND)> run;
    static void Answer(HWND hDialog, void* self)
    {
        ::Sleep(300);
        static_cast<Script*>(self)->run(hDialog);
    }
};

INT_PTR RunPicker(COXFolderPickerDlg& dlg, std::function<void(HWND)> run)
{
    Script script{std::move(run)};
    DialogAnswerer answerer(&Script::Answer, &script, "#32770", 30000);
    INT_PTR result = dlg.DoModal();
    EXPECT_TRUE(answerer.Answered());
    return result;
}

class FolderPickerTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { ::OleInitialize(nullptr); }
    static void TearDownTestSuite() { ::OleUninitialize(); }
    void SetUp() override
    {
        root = scratch::Make("picker");
        AfxGetApp()->SetRegistryKey(kCompany);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, (std::string("Software\\") + kCompany).c_str());
    }
    void TearDown() override
    {
        PumpPending();
        ::RegDeleteTreeA(HKEY_CURRENT_USER, (std::string("Software\\") + kCompany).c_str());
        scratch::RemoveTree(root);
    }
    std::string root;
};

// ---------------------------------------------------------------------------------------------

TEST_F(FolderPickerTest, EmptyStartReturnsEmptyAndStoresNothing)
{
    COXFolderPickerDlg dlg;
    std::string caption, comboText = "?";
    bool toolbarShown = true;
    std::string treeTop;
    INT_PTR result = RunPicker(dlg, [&](HWND hDialog) {
        caption = Text(hDialog);
        HWND hCombo = ::GetDlgItem(hDialog, IDC_OX_COMBO_FOLDER);
        comboText = Text(hCombo);
        toolbarShown = ::IsWindowVisible(dlg.m_comboFolderPath.GetToolbar()->m_hWnd) != FALSE;
        HWND hTree = ::GetDlgItem(hDialog, IDC_OX_TREE_FOLDER);
        treeTop = ItemText(hTree, reinterpret_cast<HTREEITEM>(
                                      ::SendMessage(hTree, TVM_GETNEXTITEM, TVGN_ROOT, 0)));
        Key(VK_RETURN);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(caption, "Picker Folder [ Root Folder - Desktop ]");
    EXPECT_EQ(comboText, "");
    EXPECT_FALSE(toolbarShown);
    EXPECT_EQ(treeTop, "Desktop");
    EXPECT_EQ(std::string(dlg.GetFolderPath()), "");
    EXPECT_EQ(StoredHistory(), "<no value>");
}

TEST_F(FolderPickerTest, TypedPathIsReturnedWhateverTheTreeShows)
{
    const std::string alpha = root + "\\Alpha";
    const std::string typed = root + "\\Beta";
    COXFolderPickerDlg dlg(alpha.c_str());
    std::string before;
    INT_PTR result = RunPicker(dlg, [&](HWND hDialog) {
        HWND hCombo = ::GetDlgItem(hDialog, IDC_OX_COMBO_FOLDER);
        before = Text(hCombo);
        HWND hEdit = ::GetWindow(hCombo, GW_CHILD);
        ClickClient(hEdit, {10, 5});
        Key(VK_HOME);
        InputKey(VK_SHIFT, true);
        Key(VK_END);
        InputKey(VK_SHIFT, false);
        Type(typed.c_str());
        Key(VK_RETURN);
    });
    EXPECT_EQ(result, IDOK);
    // The initial folder was found in the tree and its path shown in the combo.
    EXPECT_STRCASEEQ(before.c_str(), alpha.c_str());
    EXPECT_STRCASEEQ(dlg.GetFolderPath(), typed.c_str());
    EXPECT_STRCASEEQ(StoredHistory().c_str(), typed.c_str());
}

TEST_F(FolderPickerTest, TreeChoiceSurvivesShowFilesAndIsReturned)
{
    const std::string alpha = root + "\\Alpha";
    COXFolderPickerDlg dlg(alpha.c_str());
    std::string afterDown, withFiles, withoutFiles;
    bool noteWithFiles = false, noteWithoutFiles = true;
    INT_PTR result = RunPicker(dlg, [&](HWND hDialog) {
        HWND hTree = ::GetDlgItem(hDialog, IDC_OX_TREE_FOLDER);
        HWND hCombo = ::GetDlgItem(hDialog, IDC_OX_COMBO_FOLDER);
        ClickItem(hTree, Selected(hTree));
        Key(VK_RIGHT); // open Alpha
        Key(VK_DOWN);  // onto Inner
        afterDown = Text(hCombo);

        auto noteShown = [&] {
            HTREEITEM hAlpha = reinterpret_cast<HTREEITEM>(::SendMessage(
                hTree, TVM_GETNEXTITEM, TVGN_PARENT, reinterpret_cast<LPARAM>(Selected(hTree))));
            for (HTREEITEM h = reinterpret_cast<HTREEITEM>(::SendMessage(
                     hTree, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(hAlpha)));
                 h != nullptr; h = reinterpret_cast<HTREEITEM>(::SendMessage(
                                   hTree, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(h))))
                if (ItemText(hTree, h) == "note.txt")
                    return true;
            return false;
        };
        ClickControl(hDialog, IDC_OX_CHECK_SHOWFILES);
        withFiles = dlg.m_treeFolder.GetItemPath(Selected(hTree));
        noteWithFiles = noteShown();
        ClickControl(hDialog, IDC_OX_CHECK_SHOWFILES);
        withoutFiles = dlg.m_treeFolder.GetItemPath(Selected(hTree));
        noteWithoutFiles = noteShown();
        ClickControl(hDialog, IDOK);
    });
    const std::string inner = alpha + "\\Inner";
    EXPECT_EQ(result, IDOK);
    EXPECT_STRCASEEQ(afterDown.c_str(), inner.c_str());
    EXPECT_STRCASEEQ(withFiles.c_str(), inner.c_str());
    EXPECT_TRUE(noteWithFiles);
    EXPECT_STRCASEEQ(withoutFiles.c_str(), inner.c_str());
    EXPECT_FALSE(noteWithoutFiles);
    EXPECT_STRCASEEQ(dlg.GetFolderPath(), inner.c_str());
    EXPECT_STRCASEEQ(StoredHistory().c_str(), inner.c_str());
}

TEST_F(FolderPickerTest, DesktopEmptiesTheComboGotoFindsAndCancelStillRemembers)
{
    const std::string beta = root + "\\Beta", alpha = root + "\\Alpha";
    COXFolderPickerDlg dlg(beta.c_str());
    std::string onDesktop = "?", afterGoto, selectedAfterGoto;
    bool treeFocused = false;
    INT_PTR result = RunPicker(dlg, [&](HWND hDialog) {
        HWND hTree = ::GetDlgItem(hDialog, IDC_OX_TREE_FOLDER);
        HWND hCombo = ::GetDlgItem(hDialog, IDC_OX_COMBO_FOLDER);
        HTREEITEM hDesktop =
            reinterpret_cast<HTREEITEM>(::SendMessage(hTree, TVM_GETNEXTITEM, TVGN_ROOT, 0));
        ::SendMessage(hTree, TVM_ENSUREVISIBLE, 0, reinterpret_cast<LPARAM>(hDesktop));
        ClickItem(hTree, hDesktop);
        onDesktop = Text(hCombo);

        ClickClient(::GetWindow(hCombo, GW_CHILD), {10, 5});
        Type(alpha.c_str());
        ClickControl(hDialog, IDC_OX_BUTTON_GOTO);
        afterGoto = Text(hCombo);
        selectedAfterGoto = dlg.m_treeFolder.GetItemPath(Selected(hTree));
        GUITHREADINFO gui{sizeof(gui)};
        ::GetGUIThreadInfo(::GetWindowThreadProcessId(hDialog, nullptr), &gui);
        treeFocused = gui.hwndFocus == hTree;
        Key(VK_ESCAPE);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(onDesktop, "");
    EXPECT_STRCASEEQ(afterGoto.c_str(), alpha.c_str());
    EXPECT_STRCASEEQ(selectedAfterGoto.c_str(), alpha.c_str());
    EXPECT_TRUE(treeFocused);
    // Cancel too leaves the combo's text at the top of the history.
    EXPECT_STRCASEEQ(StoredHistory().c_str(), alpha.c_str());

    // The next picker starts with that history; its initial folder is outside the tree, so the
    // most recent entry stays in the combo.
    COXFolderPickerDlg next("Q:\\nowhere");
    std::string shown;
    RunPicker(next, [&](HWND hDialog) {
        shown = Text(::GetDlgItem(hDialog, IDC_OX_COMBO_FOLDER));
        Key(VK_ESCAPE);
    });
    EXPECT_STRCASEEQ(shown.c_str(), alpha.c_str());
}

// ---------------------------------------------------------------------------------------------
// Screenshots: hold the windows on screen for SONORIA_SHOWCASE_MS milliseconds.

DWORD ShowcaseMs()
{
    const char* ms = std::getenv("SONORIA_SHOWCASE_MS");
    return ms != nullptr ? static_cast<DWORD>(std::atoi(ms)) : 0;
}

TEST_F(FolderPickerTest, ShowcasePicker)
{
    const DWORD ms = ShowcaseMs();
    if (ms == 0)
        GTEST_SKIP() << "only for screenshots";
    const std::string inner = root + "\\Alpha\\Inner";
    COXFolderPickerDlg dlg(inner.c_str(), "", TRUE, TRUE, TRUE, TRUE);
    RunPicker(dlg, [&](HWND hDialog) {
        HWND hTree = ::GetDlgItem(hDialog, IDC_OX_TREE_FOLDER);
        ::SetFocus(hTree);
        ::Sleep(ms);
        Key(VK_ESCAPE);
    });
}

TEST_F(FolderPickerTest, ShowcaseTree)
{
    const DWORD ms = ShowcaseMs();
    if (ms == 0)
        GTEST_SKIP() << "only for screenshots";
    TestHostWnd host(420, 380);
    COXShellFolderTree tree(TRUE, TRUE, FALSE, TRUE, TRUE, "txt|wav");
    ASSERT_TRUE(tree.Create(WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES |
                                TVS_LINESATROOT | TVS_EDITLABELS | TVS_SHOWSELALWAYS,
                            CRect(0, 0, 400, 360), &host, 100));
    ASSERT_TRUE(tree.InitTree(root.c_str()));
    tree.SelectPath((root + "\\Alpha\\Inner").c_str());
    tree.Expand(tree.GetNextSiblingItem(tree.GetChildItem(tree.GetRootItem())), TVE_EXPAND);
    tree.SetFocus();
    PumpFor(ms);
}

} // namespace
