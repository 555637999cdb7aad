// Shell folder tree over a scratch folder tree: filling, expansion with real keys, extension
// filter, paths, the whole refresh, the right-button context menu and renaming by label edit.
#include <gtest/gtest.h>

#include <windows.h>

#include <ole2.h>

#include <algorithm>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "tests/framework_ui/ui_test_support.h"
#include "tests/toolkit/scratch_folders.h"
#include "toolkit/controls/shell_tree/shell_folder_tree.h"

namespace
{

constexpr DWORD kTreeStyle = WS_CHILD | WS_VISIBLE | WS_BORDER | TVS_HASBUTTONS | TVS_HASLINES |
                             TVS_LINESATROOT | TVS_EDITLABELS | TVS_SHOWSELALWAYS;

std::vector<std::string> ChildNames(const CTreeCtrl& tree, HTREEITEM hParent)
{
    std::vector<std::string> names;
    for (HTREEITEM h = tree.GetChildItem(hParent); h != nullptr; h = tree.GetNextSiblingItem(h))
        names.push_back(static_cast<LPCTSTR>(tree.GetItemText(h)));
    return names;
}

std::set<std::string> ChildSet(const CTreeCtrl& tree, HTREEITEM hParent)
{
    auto names = ChildNames(tree, hParent);
    return {names.begin(), names.end()};
}

HTREEITEM FindChild(const CTreeCtrl& tree, HTREEITEM hParent, const char* name)
{
    for (HTREEITEM h = tree.GetChildItem(hParent); h != nullptr; h = tree.GetNextSiblingItem(h))
        if (tree.GetItemText(h) == name)
            return h;
    return nullptr;
}

POINT ItemCentre(const CTreeCtrl& tree, HTREEITEM hItem)
{
    CRect rc;
    tree.GetItemRect(hItem, &rc, TRUE);
    return {rc.CenterPoint().x, rc.CenterPoint().y};
}

POINT ItemCentreOnScreen(const CTreeCtrl& tree, HTREEITEM hItem)
{
    POINT pt = ItemCentre(tree, hItem);
    ::ClientToScreen(tree.m_hWnd, &pt);
    return pt;
}

bool HasState(const CTreeCtrl& tree, HTREEITEM hItem, UINT nState)
{
    return (tree.GetItemState(hItem, nState) & nState) == nState;
}

class ShellFolderTreeTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { ::OleInitialize(nullptr); }
    static void TearDownTestSuite() { ::OleUninitialize(); }

    void SetUp() override
    {
        root = scratch::Make("foldertree");
        host = std::make_unique<TestHostWnd>(420, 380);
    }
    void TearDown() override
    {
        tree.reset();
        host.reset();
        PumpPending();
        scratch::RemoveTree(root);
    }
    // The shell stays silent (no owner window): a refused rename shows no message box here.
    void MakeTree(BOOL bShowFiles = FALSE, const char* filter = "", const char* rootPath = nullptr)
    {
        tree = std::make_unique<COXShellFolderTree>(TRUE, TRUE, FALSE, TRUE, bShowFiles, filter);
        ASSERT_TRUE(tree->Create(kTreeStyle, CRect(0, 0, 400, 360), host.get(), 100));
        ASSERT_TRUE(tree->InitTree(rootPath != nullptr ? rootPath : root.c_str()));
        PumpPending();
    }
    // A second click on the selected item, after the double-click time, edits its label.
    void StartEdit(HTREEITEM hItem)
    {
        PumpFor(::GetDoubleClickTime() + 100);
        ClickItem(hItem);
        PumpFor(::GetDoubleClickTime() + 300);
    }
    HTREEITEM Desktop() const { return tree->GetRootItem(); }
    HTREEITEM Top(const char* name) const { return FindChild(*tree, Desktop(), name); }
    void ClickItem(HTREEITEM hItem)
    {
        tree->EnsureVisible(hItem);
        InputClick(tree->m_hWnd, ItemCentre(*tree, hItem));
        PumpFor(80);
    }

    std::string root;
    std::unique_ptr<TestHostWnd> host;
    std::unique_ptr<COXShellFolderTree> tree;
};

// ---------------------------------------------------------------------------------------------

TEST_F(ShellFolderTreeTest, DesktopItemHoldsTheFoldersWhichExpandOnceWithRealKeys)
{
    MakeTree();
    HTREEITEM hDesktop = Desktop();
    ASSERT_NE(hDesktop, nullptr);
    EXPECT_EQ(tree->GetItemText(hDesktop), "Desktop");
    EXPECT_EQ(tree->GetItemData(hDesktop), 0u);
    EXPECT_TRUE(HasState(*tree, hDesktop, TVIS_EXPANDED | TVIS_EXPANDEDONCE));
    EXPECT_TRUE(tree->GetItemPath(hDesktop).IsEmpty());
    EXPECT_EQ(tree->GetNextSiblingItem(hDesktop), nullptr);
    // Only file-system folders: the files of the root stay out.
    EXPECT_EQ(ChildSet(*tree, hDesktop), (std::set<std::string>{"Alpha", "Beta"}));

    // Both folders share one copy of the system's folder icon, after the Desktop icon.
    int nAlpha = -1, nAlphaSel = -1, nBeta = -1, nBetaSel = -1;
    ASSERT_TRUE(tree->GetItemImage(Top("Alpha"), nAlpha, nAlphaSel));
    ASSERT_TRUE(tree->GetItemImage(Top("Beta"), nBeta, nBetaSel));
    const int nImages = ::ImageList_GetImageCount(tree->GetImageList(TVSIL_NORMAL));
    EXPECT_GE(nAlpha, 1);
    EXPECT_LT(nAlpha, nImages);
    EXPECT_LT(nAlphaSel, nImages);
    EXPECT_EQ(nAlpha, nBeta);
    EXPECT_EQ(nAlphaSel, nBetaSel);

    HTREEITEM hAlpha = Top("Alpha");
    ClickItem(hAlpha);
    ASSERT_EQ(tree->GetSelectedItem(), hAlpha);
    EXPECT_STRCASEEQ(tree->GetItemPath(hAlpha), (root + "\\Alpha").c_str());
    KeyPress(VK_RIGHT);
    EXPECT_TRUE(HasState(*tree, hAlpha, TVIS_EXPANDED));
    EXPECT_EQ(ChildNames(*tree, hAlpha), (std::vector<std::string>{"Inner"}));

    // Collapsed and expanded again: not enumerated a second time.
    KeyPress(VK_LEFT);
    ASSERT_FALSE(HasState(*tree, hAlpha, TVIS_EXPANDED));
    ASSERT_TRUE(::CreateDirectoryA((root + "\\Alpha\\Later").c_str(), nullptr));
    KeyPress(VK_RIGHT);
    EXPECT_EQ(ChildNames(*tree, hAlpha), (std::vector<std::string>{"Inner"}));

    // Refreshing a collapsed item only makes its next expansion enumerate again.
    KeyPress(VK_LEFT);
    EXPECT_TRUE(tree->RefreshItem(hAlpha));
    EXPECT_FALSE(HasState(*tree, hAlpha, TVIS_EXPANDEDONCE));
    EXPECT_EQ(ChildNames(*tree, hAlpha), (std::vector<std::string>{"Inner"}));
    KeyPress(VK_RIGHT);
    EXPECT_EQ(ChildNames(*tree, hAlpha), (std::vector<std::string>{"Inner", "Later"}));
}

TEST_F(ShellFolderTreeTest, FilesFollowShowFilesAndTheExtensionList)
{
    struct Case {
        BOOL bShowFiles;
        const char* filter;
        std::set<std::string> shown;
    } const cases[] = {
        {FALSE, "txt|wav", {"Alpha", "Beta"}},
        {TRUE, "", {"Alpha", "Beta", "one.txt", "two.WAV", "three.Txt", "four.mp3"}},
        {TRUE, "txt|wav", {"Alpha", "Beta", "one.txt", "two.WAV", "three.Txt"}},
        {TRUE, "|MP3|", {"Alpha", "Beta", "four.mp3"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filter);
        MakeTree(c.bShowFiles, c.filter);
        EXPECT_EQ(ChildSet(*tree, Desktop()), c.shown);
        // With files shown a folder announces children (its files), and they come when opened.
        HTREEITEM hAlpha = Top("Alpha");
        tree->Expand(hAlpha, TVE_EXPAND);
        std::set<std::string> inAlpha{"Inner"};
        if (c.bShowFiles && c.shown.count("one.txt"))
            inAlpha.insert("note.txt");
        EXPECT_EQ(ChildSet(*tree, hAlpha), inAlpha);
        // Under a folder the children are sorted: folders first, then by name.
        if (c.bShowFiles && inAlpha.size() == 2) {
            EXPECT_EQ(ChildNames(*tree, hAlpha), (std::vector<std::string>{"Inner", "note.txt"}));
        }
        tree.reset();
    }

    // The list's parts and the extension of a name: after the first dot, a leading dot gives
    // the empty extension, a name without a dot is its own extension.
    struct Name {
        const char* list;
        const char* name;
        BOOL shown;
    } const names[] = {
        {"", "anything.xyz", TRUE},         {"txt|wav", "a.TXT", TRUE},
        {"txt|wav", "b.mp3", FALSE},        {"gz", "archive.tar.gz", FALSE},
        {"tar.gz", "archive.tar.gz", TRUE}, {"txt|", ".profile", TRUE},
        {"txt", ".profile", FALSE},         {"README", "readme", TRUE},
        {"||txt", "c.txt", TRUE},           {"txt|", "readme", FALSE},
    };
    COXShellFolderTree filter;
    for (const Name& n : names) {
        filter.SetStringList(n.list);
        EXPECT_EQ(filter.IsFileShown(n.name), n.shown) << n.list << " / " << n.name;
    }
}

TEST_F(ShellFolderTreeTest, SelectPathExpandsTheLevelsItFinds)
{
    MakeTree();
    // A file below Alpha: Alpha is found and opened, the file is not in the tree (files are
    // not shown), nothing gets selected.
    EXPECT_TRUE(tree->SelectPath((root + "\\Alpha\\note.txt").c_str()));
    EXPECT_EQ(tree->GetSelectedItem(), nullptr);
    EXPECT_TRUE(HasState(*tree, Top("Alpha"), TVIS_EXPANDED));

    EXPECT_TRUE(tree->SelectPath((root + "\\Alpha\\Inner").c_str()));
    HTREEITEM hSel = tree->GetSelectedItem();
    ASSERT_NE(hSel, nullptr);
    EXPECT_EQ(tree->GetItemText(hSel), "Inner");
    EXPECT_STRCASEEQ(tree->GetItemPath(hSel), (root + "\\Alpha\\Inner").c_str());
    EXPECT_FALSE(HasState(*tree, hSel, TVIS_EXPANDED));
    EXPECT_TRUE(tree->SelectPath((root + "\\Beta").c_str(), TRUE));
    EXPECT_EQ(tree->GetSelectedItem(), Top("Beta"));

    EXPECT_TRUE(tree->SelectPath(""));
    EXPECT_EQ(tree->GetSelectedItem(), Top("Beta"));
    EXPECT_FALSE(tree->SelectPath((root + "\\Missing").c_str()));
    // A folder outside the tree's root is not found at all.
    char windows[MAX_PATH];
    ::GetWindowsDirectoryA(windows, MAX_PATH);
    EXPECT_FALSE(tree->SelectPath(windows));
    EXPECT_EQ(tree->GetSelectedItem(), Top("Beta"));
}

TEST_F(ShellFolderTreeTest, WholeRefreshRebuildsFromTheDesktopKeepingExpansionAndSelection)
{
    MakeTree();
    ASSERT_TRUE(tree->SelectPath((root + "\\Alpha\\Inner").c_str()));
    ASSERT_TRUE(::CreateDirectoryA((root + "\\Alpha\\Fresh").c_str(), nullptr));

    EXPECT_TRUE(tree->RefreshItem(TVI_ROOT));
    // Now from the Desktop: the scratch root's folders are no longer at the top.
    EXPECT_EQ(Top("Alpha"), nullptr);
    HTREEITEM hSel = tree->GetSelectedItem();
    ASSERT_NE(hSel, nullptr);
    EXPECT_STRCASEEQ(tree->GetItemPath(hSel), (root + "\\Alpha\\Inner").c_str());
    HTREEITEM hAlpha = tree->GetParentItem(hSel);
    EXPECT_TRUE(HasState(*tree, hAlpha, TVIS_EXPANDED));
    EXPECT_EQ(ChildNames(*tree, hAlpha), (std::vector<std::string>{"Fresh", "Inner"}));
    // Every level above it is open down from the Desktop.
    for (HTREEITEM h = hAlpha; h != nullptr; h = tree->GetParentItem(h))
        EXPECT_TRUE(HasState(*tree, h, TVIS_EXPANDED)) << tree->GetItemText(h);
}

struct MenuSeen {
    COXShellFolderTree* tree;
    HTREEITEM hHot, hSelected;
    bool hotHighlighted = false, selectedLooksSelected = true;
    std::vector<std::string> items;
};

void ReadMenuAndCancel(HWND hMenuWnd, void* context)
{
    auto* seen = static_cast<MenuSeen*>(context);
    ::Sleep(100);
    seen->hotHighlighted = HasState(*seen->tree, seen->hHot, TVIS_DROPHILITED);
    seen->selectedLooksSelected = HasState(*seen->tree, seen->hSelected, TVIS_SELECTED);
    HMENU hMenu = reinterpret_cast<HMENU>(::SendMessage(hMenuWnd, MN_GETHMENU, 0, 0));
    for (int i = 0; hMenu != nullptr && i < ::GetMenuItemCount(hMenu); ++i) {
        char text[128] = "";
        ::GetMenuStringA(hMenu, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
        if (text[0] != '\0')
            seen->items.push_back(text);
    }
    InputKey(VK_ESCAPE, true);
    InputKey(VK_ESCAPE, false);
}

TEST_F(ShellFolderTreeTest, RightButtonHighlightsTheItemAndShowsTheShellMenu)
{
    MakeTree();
    HTREEITEM hAlpha = Top("Alpha"), hBeta = Top("Beta");
    ClickItem(hAlpha);
    ASSERT_EQ(tree->GetSelectedItem(), hAlpha);

    MenuSeen seen{tree.get(), hBeta, hAlpha};
    {
        DialogAnswerer menu(&ReadMenuAndCancel, &seen, "#32768", 8000);
        MouseRightClick(ItemCentreOnScreen(*tree, hBeta));
        PumpUntil([&] { return menu.Answered(); }, 400);
        PumpFor(150);
        EXPECT_TRUE(menu.Answered());
    }
    EXPECT_TRUE(seen.hotHighlighted);
    EXPECT_FALSE(seen.selectedLooksSelected);
    EXPECT_FALSE(seen.items.empty());
    // Afterwards the real selection looks selected again and nothing holds the mouse.
    EXPECT_EQ(tree->GetSelectedItem(), hAlpha);
    EXPECT_TRUE(HasState(*tree, hAlpha, TVIS_SELECTED));
    EXPECT_FALSE(HasState(*tree, hBeta, TVIS_DROPHILITED));
    EXPECT_NE(::GetCapture(), tree->m_hWnd);

    // The Desktop item has no menu.
    MenuSeen none{tree.get(), Desktop(), hAlpha};
    {
        DialogAnswerer menu(&ReadMenuAndCancel, &none, "#32768", 1500);
        MouseRightClick(ItemCentreOnScreen(*tree, Desktop()));
        PumpFor(400);
        EXPECT_FALSE(menu.Answered());
    }
    EXPECT_TRUE(HasState(*tree, hAlpha, TVIS_SELECTED));
}

void ChooseDelete(HWND, void*)
{
    ::Sleep(150);
    InputKey('D', true);
    InputKey('D', false);
}

void ConfirmYes(HWND hDialog, void*)
{
    ::Sleep(200);
    ::PostMessage(hDialog, WM_COMMAND, IDYES, 0);
}

TEST_F(ShellFolderTreeTest, ShellDeleteFromTheMenuRemovesTheItem)
{
    MakeTree();
    HTREEITEM hBeta = Top("Beta");
    {
        DialogAnswerer menu(&ChooseDelete, nullptr, "#32768", 8000);
        DialogAnswerer confirm(&ConfirmYes, nullptr, "#32770", 8000);
        MouseRightClick(ItemCentreOnScreen(*tree, hBeta));
        PumpUntil([&] { return menu.Answered() && !scratch::Exists(root + "\\Beta"); }, 600);
        PumpFor(200);
        EXPECT_TRUE(menu.Answered());
    }
    EXPECT_FALSE(scratch::Exists(root + "\\Beta"));
    EXPECT_EQ(Top("Beta"), nullptr);
    EXPECT_EQ(ChildSet(*tree, Desktop()), (std::set<std::string>{"Alpha"}));
}

TEST_F(ShellFolderTreeTest, LabelEditRenamesTheFolderOnDisk)
{
    MakeTree();
    HTREEITEM hBeta = Top("Beta");
    ClickItem(hBeta);
    StartEdit(hBeta);
    ASSERT_NE(tree->GetEditControl(), nullptr);
    TypeKeys("Gamma");
    KeyPress(VK_RETURN);
    PumpFor(100);
    EXPECT_EQ(tree->GetItemText(hBeta), "Gamma");
    EXPECT_TRUE(scratch::Exists(root + "\\Gamma"));
    EXPECT_FALSE(scratch::Exists(root + "\\Beta"));
    EXPECT_STRCASEEQ(tree->GetItemPath(hBeta), (root + "\\Gamma").c_str());
    // The record follows the new name: the item can be expanded and found by path.
    EXPECT_TRUE(tree->SelectPath((root + "\\Gamma").c_str()));
    EXPECT_EQ(tree->GetSelectedItem(), hBeta);

    // Onto a name already taken: refused, the label and the disk stay.
    StartEdit(hBeta);
    ASSERT_NE(tree->GetEditControl(), nullptr);
    TypeKeys("Alpha");
    KeyPress(VK_RETURN);
    PumpFor(100);
    EXPECT_EQ(tree->GetItemText(hBeta), "Gamma");
    EXPECT_TRUE(scratch::Exists(root + "\\Gamma"));

    // Escape cancels: nothing is renamed.
    StartEdit(hBeta);
    ASSERT_NE(tree->GetEditControl(), nullptr);
    TypeKeys("Delta");
    KeyPress(VK_ESCAPE);
    PumpFor(100);
    EXPECT_EQ(tree->GetItemText(hBeta), "Gamma");
    EXPECT_FALSE(scratch::Exists(root + "\\Delta"));

    // The Desktop item cannot be renamed.
    ClickItem(Desktop());
    StartEdit(Desktop());
    EXPECT_EQ(tree->GetEditControl(), nullptr);
}

TEST_F(ShellFolderTreeTest, DoubleClickOnAFolderOpensIt)
{
    MakeTree();
    HTREEITEM hAlpha = Top("Alpha");
    ASSERT_FALSE(HasState(*tree, hAlpha, TVIS_EXPANDED));
    tree->EnsureVisible(hAlpha);
    InputClick(tree->m_hWnd, ItemCentre(*tree, hAlpha), true);
    PumpFor(150);
    EXPECT_TRUE(HasState(*tree, hAlpha, TVIS_EXPANDED));
    EXPECT_EQ(ChildNames(*tree, hAlpha), (std::vector<std::string>{"Inner"}));
}

} // namespace
