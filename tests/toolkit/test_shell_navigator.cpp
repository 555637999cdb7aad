// Shell namespace navigator over a scratch folder tree on the Wine drive: parsing, enumeration,
// renaming, context menus and identifier-list arithmetic, all through the real shell.
#include <gtest/gtest.h>

#include <windows.h>

#include <ole2.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "testing/scratch_folder.h"
#include "tests/framework_ui/ui_test_support.h"
#include "toolkit/controls/shell_tree/shell_navigator.h"

namespace
{

std::string PathOf(LPCITEMIDLIST lpidl)
{
    char sz[MAX_PATH] = "";
    return lpidl != nullptr && ::SHGetPathFromIDListA(lpidl, sz) ? sz : "";
}

using testing_files::Exists;
using testing_files::RemoveTree;

void WriteFile(const std::string& path, const char* text)
{
    ASSERT_TRUE(testing_files::WriteTextFile(path, text)) << path;
}

class ShellNavigatorTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { ::OleInitialize(nullptr); }
    static void TearDownTestSuite() { ::OleUninitialize(); }

    // root\Alpha\Inner, root\Beta, root\one.txt, root\two.WAV
    void SetUp() override
    {
        char temp[MAX_PATH];
        ::GetTempPathA(MAX_PATH, temp);
        root = std::string(temp) + "navtree" + std::to_string(::GetCurrentProcessId());
        RemoveTree(root);
        ASSERT_TRUE(::CreateDirectoryA(root.c_str(), nullptr));
        ::CreateDirectoryA((root + "\\Alpha").c_str(), nullptr);
        ::CreateDirectoryA((root + "\\Alpha\\Inner").c_str(), nullptr);
        ::CreateDirectoryA((root + "\\Beta").c_str(), nullptr);
        WriteFile(root + "\\one.txt", "one");
        WriteFile(root + "\\two.WAV", "two");
    }
    void TearDown() override { RemoveTree(root); }

    // Every record of a folder, by name; the caller frees them with FreeAll.
    std::map<std::string, LPNAMESPACEITEM> Enumerate(IShellFolder* lpFolder, LPCITEMIDLIST lpidl)
    {
        std::map<std::string, LPNAMESPACEITEM> items;
        EXPECT_TRUE(nav.BeginEnumeration(lpFolder, lpidl, SHCONTF_FOLDERS | SHCONTF_NONFOLDERS |
                                                              SHCONTF_INCLUDEHIDDEN));
        BOOL bEnd = FALSE;
        for (int guard = 0; guard < 1000; ++guard) {
            LPNAMESPACEITEM lpItem = nav.GetNextItem(bEnd);
            if (bEnd)
                break;
            if (lpItem != nullptr)
                items[lpItem->szDisplayName] = lpItem;
        }
        EXPECT_TRUE(bEnd);
        EXPECT_TRUE(nav.EndEnumeration());
        return items;
    }
    void FreeAll(std::map<std::string, LPNAMESPACEITEM>& items)
    {
        for (auto& [name, lpItem] : items)
            nav.FreeItem(lpItem);
        items.clear();
    }

    std::string root;
    COXShellNamespaceNavigator nav;
};

// ---------------------------------------------------------------------------------------------

TEST_F(ShellNavigatorTest, ParsePathTurnsPathsIntoIdentifierLists)
{
    LPITEMIDLIST lpidl = reinterpret_cast<LPITEMIDLIST>(1);
    EXPECT_TRUE(nav.ParsePath("", &lpidl));
    EXPECT_EQ(lpidl, nullptr);

    ASSERT_TRUE(nav.ParsePath((root + "\\Alpha\\Inner").c_str(), &lpidl));
    ASSERT_NE(lpidl, nullptr);
    EXPECT_STRCASEEQ(PathOf(lpidl).c_str(), (root + "\\Alpha\\Inner").c_str());
    nav.FreeIDList(lpidl);

    EXPECT_FALSE(nav.ParsePath((root + "\\Missing\\Deeper").c_str(), &lpidl));
    EXPECT_EQ(lpidl, nullptr);
}

TEST_F(ShellNavigatorTest, EnumerationGivesNamedRecordsWithAttributesAndIcons)
{
    LPITEMIDLIST lpidlRoot = nullptr;
    ASSERT_TRUE(nav.ParsePath(root.c_str(), &lpidlRoot));
    IShellFolder* lpFolder = nav.GetFolder(root.c_str());
    ASSERT_NE(lpFolder, nullptr);

    // A second enumeration cannot start while one runs; ending twice fails the second time.
    ASSERT_TRUE(nav.BeginEnumeration(lpFolder, lpidlRoot, SHCONTF_FOLDERS));
    EXPECT_FALSE(nav.BeginEnumeration(lpFolder, lpidlRoot, SHCONTF_FOLDERS));
    EXPECT_TRUE(nav.EndEnumeration());
    EXPECT_FALSE(nav.EndEnumeration());

    auto items = Enumerate(lpFolder, lpidlRoot);
    std::vector<std::string> names;
    for (auto& [name, lpItem] : items)
        names.push_back(name);
    EXPECT_EQ(names, (std::vector<std::string>{"Alpha", "Beta", "one.txt", "two.WAV"}));

    struct Case {
        const char* name;
        bool folder;
    } const cases[] = {{"Alpha", true}, {"Beta", true}, {"one.txt", false}, {"two.WAV", false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LPNAMESPACEITEM lpItem = items[c.name];
        ASSERT_NE(lpItem, nullptr);
        EXPECT_EQ((lpItem->dwFlags & SFGAO_FOLDER) != 0, c.folder);
        EXPECT_NE(lpItem->dwFlags & SFGAO_FILESYSTEM, 0u);
        EXPECT_EQ(lpItem->lpsfParent, lpFolder);
        // The absolute list is the folder's followed by the relative one.
        EXPECT_STRCASEEQ(PathOf(lpItem->lpidlFullyQualified).c_str(),
                         (root + "\\" + c.name).c_str());
        EXPECT_EQ(nav.GetIDListSize(lpItem->lpidlFullyQualified),
                  nav.GetIDListSize(lpidlRoot) - 2 + nav.GetIDListSize(lpItem->lpidlRelative));
        EXPECT_EQ(nav.GetDisplayName(lpFolder, lpItem->lpidlRelative), c.name);
        EXPECT_GE(lpItem->nImageSmall, 0);
        EXPECT_GE(lpItem->nImageSelectedSmall, 0);
        EXPECT_GE(lpItem->nImage, 0);
        EXPECT_GE(lpItem->nImageSelected, 0);
    }
    // The small icons index the system's small image list.
    HIMAGELIST hSmall = nav.GetSystemImageList(TRUE);
    ASSERT_NE(hSmall, nullptr);
    EXPECT_LT(items["Alpha"]->nImageSmall, ImageList_GetImageCount(hSmall));
    int cx = 0, cy = 0;
    ImageList_GetIconSize(hSmall, &cx, &cy);
    int cxLarge = 0, cyLarge = 0;
    ImageList_GetIconSize(nav.GetSystemImageList(FALSE), &cxLarge, &cyLarge);
    EXPECT_LT(cx, cxLarge);

    // The shell orders folders before files, then by name; a record equals itself.
    using Nav = COXShellNamespaceNavigator;
    auto cmp = [&](const char* a, const char* b) {
        return Nav::CompareItems(reinterpret_cast<LPARAM>(items[a]), reinterpret_cast<LPARAM>(items[b]),
                                 0);
    };
    EXPECT_LT(cmp("Alpha", "Beta"), 0);
    EXPECT_GT(cmp("Beta", "Alpha"), 0);
    EXPECT_LT(cmp("Beta", "one.txt"), 0);
    EXPECT_EQ(cmp("one.txt", "one.txt"), 0);

    // A child folder binds from its record and enumerates in turn.
    IShellFolder* lpAlpha = nav.BindToFolder(lpFolder, items["Alpha"]->lpidlRelative);
    ASSERT_NE(lpAlpha, nullptr);
    auto inner = Enumerate(lpAlpha, items["Alpha"]->lpidlFullyQualified);
    ASSERT_EQ(inner.size(), 1u);
    EXPECT_STRCASEEQ(PathOf(inner.begin()->second->lpidlFullyQualified).c_str(),
                     (root + "\\Alpha\\Inner").c_str());
    FreeAll(inner);
    lpAlpha->Release();

    FreeAll(items);
    lpFolder->Release();
    nav.FreeIDList(lpidlRoot);
}

TEST_F(ShellNavigatorTest, GetFolderFallsBackToTheDesktop)
{
    IShellFolder* lpDesktop = nullptr;
    ASSERT_HRESULT_SUCCEEDED(::SHGetDesktopFolder(&lpDesktop));
    LPITEMIDLIST lpidlRoot = nullptr;
    ASSERT_TRUE(nav.ParsePath(root.c_str(), &lpidlRoot));

    // Only the Desktop knows the scratch folder by its absolute identifiers; the folder itself
    // finds its own children.
    auto knows = [&](IShellFolder* lpFolder, LPCITEMIDLIST lpidl) {
        ULONG attrs = SFGAO_FOLDER;
        return SUCCEEDED(lpFolder->GetAttributesOf(1, &lpidl, &attrs)) &&
               nav.GetDisplayName(lpFolder, lpidl) != "";
    };
    struct Case {
        std::string path;
        bool desktop;
    } const cases[] = {
        {"", true},
        {root + "\\No such folder", true},
        {root, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        IShellFolder* lpFolder = nav.GetFolder(c.path.c_str());
        ASSERT_NE(lpFolder, nullptr);
        if (c.desktop) {
            EXPECT_EQ(nav.GetDisplayName(lpFolder, lpidlRoot),
                      nav.GetDisplayName(lpDesktop, lpidlRoot));
            EXPECT_TRUE(knows(lpFolder, lpidlRoot));
        } else {
            auto items = Enumerate(lpFolder, lpidlRoot);
            EXPECT_EQ(items.size(), 4u);
            FreeAll(items);
        }
        lpFolder->Release();
    }
    nav.FreeIDList(lpidlRoot);
    lpDesktop->Release();
}

TEST_F(ShellNavigatorTest, RenameMovesTheItemOnDiskAndGivesItsNewIdentifiers)
{
    LPITEMIDLIST lpidlRoot = nullptr;
    ASSERT_TRUE(nav.ParsePath(root.c_str(), &lpidlRoot));
    IShellFolder* lpFolder = nav.GetFolder(root.c_str());
    auto items = Enumerate(lpFolder, lpidlRoot);
    ASSERT_NE(items["Beta"], nullptr);
    EXPECT_NE(items["Beta"]->dwFlags & SFGAO_CANRENAME, 0u);

    LPITEMIDLIST lpidlNew = nullptr;
    ASSERT_TRUE(nav.Rename(lpFolder, items["Beta"]->lpidlRelative, &lpidlNew, "Gamma"));
    ASSERT_NE(lpidlNew, nullptr);
    EXPECT_TRUE(Exists(root + "\\Gamma"));
    EXPECT_FALSE(Exists(root + "\\Beta"));
    EXPECT_EQ(nav.GetDisplayName(lpFolder, lpidlNew), "Gamma");
    LPITEMIDLIST lpidlFull = nav.ConcatIDLists(lpidlRoot, lpidlNew);
    EXPECT_STRCASEEQ(PathOf(lpidlFull).c_str(), (root + "\\Gamma").c_str());
    nav.FreeIDList(lpidlFull);
    nav.FreeIDList(lpidlNew);

    // A name that is taken is refused (no owner window: no prompt) and nothing moves.
    lpidlNew = nullptr;
    EXPECT_FALSE(nav.Rename(lpFolder, items["one.txt"]->lpidlRelative, &lpidlNew, "two.WAV"));
    EXPECT_TRUE(Exists(root + "\\one.txt"));

    FreeAll(items);
    lpFolder->Release();
    nav.FreeIDList(lpidlRoot);
}

// The text of each command of a menu, keyed by command id, submenus included.
void MenuCommands(HMENU hMenu, std::map<UINT, std::string>& out)
{
    for (int i = 0, n = ::GetMenuItemCount(hMenu); i < n; ++i) {
        char text[128] = "";
        MENUITEMINFOA mii{};
        mii.cbSize = sizeof(mii);
        mii.fMask = MIIM_ID | MIIM_SUBMENU | MIIM_STRING | MIIM_FTYPE;
        mii.dwTypeData = text;
        mii.cch = sizeof(text);
        ::GetMenuItemInfoA(hMenu, i, TRUE, &mii);
        if (mii.hSubMenu != nullptr)
            MenuCommands(mii.hSubMenu, out);
        else if (!(mii.fType & MFT_SEPARATOR))
            out[mii.wID] = text;
    }
}

UINT FindCommand(const std::map<UINT, std::string>& commands, const char* text)
{
    for (const auto& [id, t] : commands)
        if (t == text)
            return id;
    return 0;
}

TEST_F(ShellNavigatorTest, ContextMenuCommandsRunThroughTheShell)
{
    LPITEMIDLIST lpidlRoot = nullptr;
    ASSERT_TRUE(nav.ParsePath(root.c_str(), &lpidlRoot));
    IShellFolder* lpFolder = nav.GetFolder(root.c_str());
    auto items = Enumerate(lpFolder, lpidlRoot);
    LPNAMESPACEITEM lpFile = items["one.txt"];
    ASSERT_NE(lpFile, nullptr);

    // The menu's commands start at 1; building it repeatedly leaks no menus.
    std::map<UINT, std::string> commands;
    for (int round = 0; round < 3; ++round) {
        HMENU hMenu = nav.GetContextMenu(lpFolder, lpFile->lpidlRelative, CMF_EXPLORE | CMF_CANRENAME);
        ASSERT_NE(hMenu, nullptr);
        commands.clear();
        MenuCommands(hMenu, commands);
        EXPECT_TRUE(::DestroyMenu(hMenu));
    }
    ASSERT_FALSE(commands.empty());
    EXPECT_GE(commands.begin()->first, 1u);
    EXPECT_LE(commands.rbegin()->first, 0x7FFFu);

    // Copy, invoked by its id, puts the file on the clipboard as a dropped-file list.
    UINT nCopy = FindCommand(commands, "&Copy");
    ASSERT_NE(nCopy, 0u) << "no Copy command";
    ::OleSetClipboard(nullptr);
    ASSERT_TRUE(nav.InvokeCommand(lpFolder, lpFile->lpidlRelative, nCopy, CMF_EXPLORE));
    IDataObject* lpData = nullptr;
    ASSERT_HRESULT_SUCCEEDED(::OleGetClipboard(&lpData));
    FORMATETC fmt{CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM stg{};
    ASSERT_HRESULT_SUCCEEDED(lpData->GetData(&fmt, &stg));
    char dropped[MAX_PATH] = "";
    ::DragQueryFileA(static_cast<HDROP>(stg.hGlobal), 0, dropped, MAX_PATH);
    EXPECT_STRCASEEQ(dropped, (root + "\\one.txt").c_str());
    ::ReleaseStgMedium(&stg);
    lpData->Release();
    ::OleSetClipboard(nullptr);

    // An id outside the menu runs nothing.
    EXPECT_FALSE(nav.InvokeCommand(lpFolder, lpFile->lpidlRelative, 0, CMF_EXPLORE));
    EXPECT_FALSE(nav.InvokeCommand(lpFolder, lpFile->lpidlRelative, 0x7000, CMF_EXPLORE));

    FreeAll(items);
    lpFolder->Release();
    nav.FreeIDList(lpidlRoot);
}

// Identifier lists built by hand: two elements of 4 and 3 bytes, and one of 5.
struct IdList {
    std::vector<BYTE> bytes;
    LPCITEMIDLIST Get() const { return reinterpret_cast<LPCITEMIDLIST>(bytes.data()); }
};
const IdList kTwo{{4, 0, 'a', 'b', 3, 0, 'c', 0, 0}};
const IdList kOne{{5, 0, 'x', 'y', 'z', 0, 0}};

std::vector<BYTE> Bytes(const COXShellNamespaceNavigator& nav, LPCITEMIDLIST lpidl)
{
    auto* p = reinterpret_cast<const BYTE*>(lpidl);
    return lpidl != nullptr ? std::vector<BYTE>(p, p + nav.GetIDListSize(lpidl)) : std::vector<BYTE>{};
}

TEST_F(ShellNavigatorTest, IdentifierListArithmetic)
{
    EXPECT_EQ(nav.GetIDListSize(nullptr), 0u);
    EXPECT_EQ(nav.GetIDListSize(kTwo.Get()), 9u);
    const IdList empty{{0, 0}};
    EXPECT_EQ(nav.GetIDListSize(empty.Get()), 2u);

    // Walking: the second element, then nothing (the terminator is not an element).
    LPITEMIDLIST lpNext = nav.GetNextItemID(kTwo.Get());
    ASSERT_NE(lpNext, nullptr);
    EXPECT_EQ(reinterpret_cast<const BYTE*>(lpNext), kTwo.bytes.data() + 4);
    EXPECT_EQ(nav.GetNextItemID(lpNext), nullptr);
    EXPECT_EQ(nav.GetNextItemID(empty.Get()), nullptr);
    EXPECT_EQ(nav.GetNextItemID(nullptr), nullptr);

    struct Case {
        const char* name;
        LPCITEMIDLIST first, second;
        std::vector<BYTE> expected;
    } const cases[] = {
        {"with itself", kTwo.Get(), kTwo.Get(), {4, 0, 'a', 'b', 3, 0, 'c', 4, 0, 'a', 'b', 3, 0, 'c', 0, 0}},
        {"two then one", kTwo.Get(), kOne.Get(), {4, 0, 'a', 'b', 3, 0, 'c', 5, 0, 'x', 'y', 'z', 0, 0}},
        {"null first", nullptr, kOne.Get(), kOne.bytes},
        {"null second", kTwo.Get(), nullptr, kTwo.bytes},
        {"empty first", empty.Get(), kOne.Get(), kOne.bytes},
        {"both null", nullptr, nullptr, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        LPITEMIDLIST lpidl = nav.ConcatIDLists(c.first, c.second);
        EXPECT_EQ(Bytes(nav, lpidl), c.expected);
        // A result is a new allocation, never one of the inputs.
        EXPECT_TRUE(lpidl == nullptr || (lpidl != c.first && lpidl != c.second));
        nav.FreeIDList(lpidl);
    }

    LPITEMIDLIST lpCopy = nav.CopyIDList(kOne.Get());
    EXPECT_EQ(Bytes(nav, lpCopy), kOne.bytes);
    nav.FreeIDList(lpCopy);
    EXPECT_EQ(nav.CopyIDList(nullptr), nullptr);
}

} // namespace
