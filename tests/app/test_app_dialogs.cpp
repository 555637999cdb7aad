// The settings dialogs run modally and driven with real clicks and keys from a helper thread:
// the template list with its editor and live sample name, the freedb server list fetched from
// a loopback CDDB server (reached as the proxy), the CD-use rights and the folder browser. What
// they store is read back from the registry by a fresh settings object.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "app/dialogs/dialogs_res.h"
#include "app/dialogs/edit_format_dlg.h"
#include "app/dialogs/folder_dialog.h"
#include "app/dialogs/freedb_server_list_dlg.h"
#include "app/dialogs/out_file_list_dlg.h"
#include "app/dialogs/usr_rights_dlg.h"
#include "foundation/settings/app_cfg.h"
#include "testing/cddb/loopback_cddb.h"
#include "tests/app/dialog_script.h"
#include "tests/framework_ui/ui_test_support.h"

using namespace dialog_script;

namespace {

constexpr char kRegistryPath[] = "Software\\Corvalen\\Sonoria3DialogTest";
using Strings = std::vector<std::string>;

// The list as a fresh settings object loads it from the registry.
Strings StoredList(const char* key)
{
    CZPX3BaseCfg stored;
    stored.SetRegistryPath(kRegistryPath);
    EXPECT_TRUE(stored.Load());
    Strings items;
    for (int i = 0; i < stored.GetListCount(key); ++i) {
        CString item;
        stored.GetListItem(key, i, item);
        items.emplace_back(static_cast<LPCTSTR>(item));
    }
    return items;
}

class AppDialogsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kRegistryPath);
        GetAppCfg().SetRegistryPath(kRegistryPath);
    }
    void SetUp() override
    {
        ui = ::GetCurrentThreadId();
        ::SetForegroundWindow(SharedTopWindow());
    }
    DWORD ui = 0;
};

TEST_F(AppDialogsTest, TemplateListAddsEditsAndRemovesThroughTheEditorAndStoresOnOk)
{
    CAppCfg& cfg = GetAppCfg();
    cfg.ClearFileNameDefs();
    for (const char* item : {"Title|%1%e", "Artist - Title|%a - %1%e", "Number - Title|%n - %1%e",
                             "Mine|%b - %1%e", "Bare"})
        cfg.AddFileNameDefsItem(item);
    COutFileListDlg dlg;
    const INT_PTR result = RunWithScript([&] { return dlg.DoModal(); }, [&] {
        HWND hDlg = WaitForDialog(ui, "Output file name format list");
        ASSERT_NE(hDlg, nullptr);
        HWND hGrid = ::GetDlgItem(hDlg, IDC_OUTFILE_GRID);
        EXPECT_EQ(Rows(hGrid), Strings({"Title", "Artist - Title", "Number - Title", "Mine", "Bare"}));
        EXPECT_EQ(Rows(hGrid, 1), Strings({"%1%e", "%a - %1%e", "%n - %1%e", "%b - %1%e", ""}));

        // The fixed rows can be chosen but neither edited nor removed.
        for (int row : {0, 2, 3, 1}) {
            ClickRow(hGrid, row);
            const bool user = row >= 3;
            EXPECT_TRUE(WaitUntil([&] { return Enabled(hDlg, IDC_OUTFILE_EDIT) == user; }))
                << "row " << row;
            EXPECT_EQ(Enabled(hDlg, IDC_OUTFILE_REMOVE), user) << "row " << row;
        }

        // Add: the editor starts with the new-format name and "%1%e".
        ClickControl(hDlg, IDC_OUTFILE_ADD);
        HWND hEdit = WaitForDialog(ui, "Name Format", hDlg);
        ASSERT_NE(hEdit, nullptr);
        EXPECT_EQ(ItemText(hEdit, IDC_FORMAT_NAME), "New format");
        EXPECT_EQ(ItemText(hEdit, IDC_FORMAT_DEFINITION), "%1%e");
        EXPECT_EQ(ItemText(hEdit, IDC_FORMAT_SAMPLE), "Sample: Paper Harbour.mp3");

        // The sample follows every key of the definition.
        ClickControl(hEdit, IDC_FORMAT_DEFINITION);
        Retype("%a\\%1%e");
        EXPECT_TRUE(WaitUntil([&] {
            return ItemText(hEdit, IDC_FORMAT_SAMPLE) ==
                   "Sample: The Lantern Choir\\Paper Harbour.mp3";
        })) << ItemText(hEdit, IDC_FORMAT_SAMPLE);

        struct Refusal {
            const char* name;
            const char* definition;
            const char* message;
        } refusals[] = {
            {"Mine|Yours", "%a\\%1%e", "Format Name contains invalid chars. Please fix it."},
            {"Mine Yours", "", "There is an error in the format definition. Please fix it."},
        };
        for (const Refusal& r : refusals) {
            ClickControl(hEdit, IDC_FORMAT_NAME);
            Retype(r.name);
            ClickControl(hEdit, IDC_FORMAT_DEFINITION);
            Retype(r.definition);
            if (r.definition[0] == 0) {
                EXPECT_TRUE(WaitUntil([&] {
                    return ItemText(hEdit, IDC_FORMAT_SAMPLE).rfind("definition error > ", 0) == 0 &&
                           ItemText(hEdit, IDC_FORMAT_SAMPLE).size() > 19;
                })) << ItemText(hEdit, IDC_FORMAT_SAMPLE);
            }
            ClickControl(hEdit, IDOK);
            HWND hBox = WaitForDialog(ui, "Error", hEdit);
            ASSERT_NE(hBox, nullptr) << r.name;
            EXPECT_EQ(ItemText(hBox, 0xFFFF), r.message);
            Key(VK_RETURN);
            EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(hBox); }));
            EXPECT_TRUE(::IsWindowVisible(hEdit)) << "the editor stays open";
        }
        ClickControl(hEdit, IDC_FORMAT_DEFINITION);
        Retype("%a\\%1%e");
        ClickControl(hEdit, IDOK);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(hEdit); }));
        EXPECT_EQ(Rows(hGrid), Strings({"Title", "Artist - Title", "Number - Title", "Mine", "Bare",
                                        "Mine Yours"}));
        EXPECT_EQ(::SendMessage(hGrid, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED), 5);

        // Edit the "Bare" row, then remove "Mine" after the question.
        ClickRow(hGrid, 4);
        ClickControl(hDlg, IDC_OUTFILE_EDIT);
        hEdit = WaitForDialog(ui, "Name Format", hDlg);
        ASSERT_NE(hEdit, nullptr);
        EXPECT_EQ(ItemText(hEdit, IDC_FORMAT_NAME), "Bare");
        ClickControl(hEdit, IDC_FORMAT_DEFINITION);
        Retype("%n %1%e");
        Key(VK_RETURN);
        ASSERT_TRUE(WaitUntil([&] { return !::IsWindow(hEdit); }));
        ClickRow(hGrid, 3);
        ClickControl(hDlg, IDC_OUTFILE_REMOVE);
        HWND hAsk = WaitForDialog(ui, "Confirm deletion", hDlg);
        ASSERT_NE(hAsk, nullptr);
        EXPECT_EQ(ItemText(hAsk, 0xFFFF), "Are you sure to delete this format?");
        ClickControl(hAsk, IDYES);
        EXPECT_TRUE(WaitUntil([&] { return Rows(hGrid).size() == 5; }));
        ClickControl(hDlg, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(StoredList("FileNameDefs"),
              Strings({"Title|%1%e", "Artist - Title|%a - %1%e", "Number - Title|%n - %1%e",
                       "Bare|%n %1%e", "Mine Yours|%a\\%1%e"}));
}

TEST_F(AppDialogsTest, TemplateListCancelStoresNothing)
{
    CAppCfg& cfg = GetAppCfg();
    cfg.ClearFileNameDefs();
    for (const char* item : {"A|%1%e", "B|%a%e", "C|%n%e", "D|%b%e"})
        cfg.AddFileNameDefsItem(item);
    cfg.Save();
    COutFileListDlg dlg;
    const INT_PTR result = RunWithScript([&] { return dlg.DoModal(); }, [&] {
        HWND hDlg = WaitForDialog(ui, "Output file name format list");
        ASSERT_NE(hDlg, nullptr);
        HWND hGrid = ::GetDlgItem(hDlg, IDC_OUTFILE_GRID);
        ClickRow(hGrid, 3);
        ClickControl(hDlg, IDC_OUTFILE_REMOVE);
        HWND hAsk = WaitForDialog(ui, "Confirm deletion", hDlg);
        ASSERT_NE(hAsk, nullptr);
        ClickControl(hAsk, IDYES);
        EXPECT_TRUE(WaitUntil([&] { return Rows(hGrid).size() == 3; }));
        ClickControl(hDlg, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(StoredList("FileNameDefs"), Strings({"A|%1%e", "B|%a%e", "C|%n%e", "D|%b%e"}));
}

TEST_F(AppDialogsTest, ServerListStartsWithTheDefaultFetchesWithoutDuplicatesAndStoresOnOk)
{
    testing_cddb::LoopbackCddbServer server;
    server.SetSites({"mirror.one http 80 /~cddb/cddb.cgi N000.00 W000.00 First",
                     "GNUDB.gnudb.org http 80 /~cddb/cddb.cgi N000.00 W000.00 Same in capitals",
                     "mirror.two http 80 /~cddb/cddb.cgi N000.00 W000.00 Second"});
    CAppCfg& cfg = GetAppCfg();
    cfg.ClearFreedbServerList();
    cfg.SetUseProxy(2); // the loopback server is reached as the proxy
    cfg.SetProxyServer("127.0.0.1");
    cfg.SetProxyPort(server.Port());
    cfg.SetFreedbTimeout(10);
    CFreedbServerListDlg dlg;
    const INT_PTR result = RunWithScript([&] { return dlg.DoModal(); }, [&] {
        HWND hDlg = WaitForDialog(ui, "Edit freedb server list");
        ASSERT_NE(hDlg, nullptr);
        HWND hList = ::GetDlgItem(hDlg, IDC_SERVERLIST_LIST);
        EXPECT_TRUE(WaitUntil([&] { return Rows(hList).size() == 2; }));
        EXPECT_EQ(Rows(hList), Strings({"gnudb.gnudb.org", ""}));
        for (int pass = 1; pass <= 2; ++pass) {
            ClickControl(hDlg, IDC_SERVERLIST_UPDATE);
            EXPECT_TRUE(WaitUntil([&] { return server.Requests().size() == size_t(pass); }));
            ::Sleep(200);
            EXPECT_EQ(Rows(hList), Strings({"gnudb.gnudb.org", "mirror.one", "mirror.two", ""}))
                << "pass " << pass;
        }
        // A name typed into the empty row; the last named row emptied goes.
        ClickRow(hList, 3);
        Type("extra.host");
        Key(VK_RETURN);
        EXPECT_TRUE(WaitUntil([&] { return Rows(hList).size() == 5; }));
        ClickRow(hList, 2);
        Key(VK_INSERT);
        Key(VK_HOME);
        Key(VK_END, false, true);
        Key(VK_DELETE);
        Key(VK_RETURN);
        EXPECT_TRUE(WaitUntil([&] { return Rows(hList).size() == 4; }));
        ClickControl(hDlg, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(StoredList("FreedbServerList"),
              Strings({"gnudb.gnudb.org", "mirror.one", "extra.host"}));
    ASSERT_FALSE(server.Requests().empty());
    const std::string command = testing_cddb::LoopbackCddbServer::Command(server.Requests()[0]);
    EXPECT_EQ(command, "sites");
    EXPECT_NE(server.Requests()[0].target.find("gnudb.gnudb.org"), std::string::npos)
        << "asked the default server through the proxy: " << server.Requests()[0].target;
}

TEST_F(AppDialogsTest, ServerListUpdateWithoutAServerAddsNothing)
{
    CAppCfg& cfg = GetAppCfg();
    cfg.ClearFreedbServerList();
    cfg.AddFreedbServer("first.host");
    cfg.AddFreedbServer("");
    cfg.AddFreedbServer("second.host");
    {
        testing_cddb::LoopbackCddbServer gone; // a port nobody listens on once it is gone
        cfg.SetProxyPort(gone.Port());
    }
    cfg.SetUseProxy(2);
    cfg.SetProxyServer("127.0.0.1");
    cfg.SetFreedbTimeout(3);
    CFreedbServerListDlg dlg;
    const INT_PTR result = RunWithScript([&] { return dlg.DoModal(); }, [&] {
        HWND hDlg = WaitForDialog(ui, "Edit freedb server list");
        ASSERT_NE(hDlg, nullptr);
        HWND hList = ::GetDlgItem(hDlg, IDC_SERVERLIST_LIST);
        EXPECT_TRUE(WaitUntil([&] { return Rows(hList).size() == 3; }));
        ClickControl(hDlg, IDC_SERVERLIST_UPDATE);
        ::Sleep(500);
        EXPECT_EQ(WaitForDialog(ui, nullptr, hDlg, 500), nullptr) << "a failure shows nothing";
        EXPECT_EQ(Rows(hList), Strings({"first.host", "second.host", ""}));
        ClickControl(hDlg, IDOK);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(StoredList("FreedbServerList"), Strings({"first.host", "second.host"}));
}

TEST_F(AppDialogsTest, RightsDialogWritesTheChosenRestriction)
{
    CAppCfg& cfg = GetAppCfg();
    ASSERT_TRUE(cfg.IsWinNT4OrLater());
    cfg.SetCDROMAllocatedToUser(FALSE);
    struct Case {
        int click;
        int button;
        BOOL restricted;
    } cases[] = {
        {IDC_RIGHTS_ADMIN, IDOK, TRUE},
        {IDC_RIGHTS_EVERYONE, IDCANCEL, TRUE}, // Cancel changes nothing
        {IDC_RIGHTS_EVERYONE, IDOK, FALSE},
    };
    for (const Case& c : cases) {
        const BOOL before = cfg.IsCDROMAllocatedToUser();
        CUsrRightsDlg dlg;
        RunWithScript([&] { return dlg.DoModal(); }, [&] {
            HWND hDlg = WaitForDialog(ui, "Grant rights");
            ASSERT_NE(hDlg, nullptr);
            // The stored choice shows; an administrator may change it.
            EXPECT_EQ(::IsDlgButtonChecked(hDlg, IDC_RIGHTS_ADMIN) == BST_CHECKED, before != FALSE);
            const bool admin = cfg.IsUserAdmin() != FALSE;
            EXPECT_EQ(Enabled(hDlg, IDOK), admin);
            EXPECT_EQ(::IsWindowVisible(::GetDlgItem(hDlg, IDC_RIGHTS_NOTE)) != FALSE, !admin);
            ClickControl(hDlg, c.click);
            ClickControl(hDlg, admin ? c.button : IDCANCEL);
        });
        if (cfg.IsUserAdmin()) {
            EXPECT_EQ(cfg.IsCDROMAllocatedToUser(), c.restricted);
        }
    }
}

// Waits until the tree view in the dialog has the item named `name` selected.
bool WaitForTreeSelection(HWND hDlg, const char* name)
{
    HWND hTree = ::FindWindowExA(hDlg, nullptr, WC_TREEVIEWA, nullptr);
    for (int i = 0; hTree != nullptr && i < 150; ++i) {
        char text[MAX_PATH] = {};
        TVITEMA item{};
        item.mask = TVIF_TEXT;
        item.pszText = text;
        item.cchTextMax = MAX_PATH;
        item.hItem = reinterpret_cast<HTREEITEM>(::SendMessageA(hTree, TVM_GETNEXTITEM, TVGN_CARET, 0));
        if (item.hItem != nullptr && ::SendMessageA(hTree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item)) &&
            std::strcmp(text, name) == 0)
            return true;
        ::Sleep(20);
    }
    return false;
}

TEST_F(AppDialogsTest, FolderBrowserReturnsTheStartFolderOrNothingWhenCancelled)
{
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "sonoria_pick";
    ::CreateDirectoryA(folder.c_str(), nullptr);
    struct Case {
        std::string start;
        UINT key;
        INT_PTR result;
        std::string path;
    } cases[] = {
        {folder, VK_RETURN, IDOK, folder},
        {folder, VK_ESCAPE, IDCANCEL, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        // Under load Wine's browser now and then drops the selection it is given while it
        // starts and stays on the desktop; such a run is closed and the dialog opened again.
        bool reached = false;
        for (int attempt = 0; attempt < 3 && !reached; ++attempt) {
            CFolderDialog dlg("Select a folder", c.start.c_str(), nullptr, BIF_RETURNONLYFSDIRS);
            const INT_PTR result = RunWithScript([&] { return dlg.DoModal(); }, [&] {
                HWND hBrowser = WaitForDialog(ui, nullptr);
                ASSERT_NE(hBrowser, nullptr);
                // The browser selects the start folder once it has filled its tree: a key
                // before that would answer for the desktop.
                reached = WaitForTreeSelection(hBrowser, "sonoria_pick");
                Key(reached ? c.key : VK_ESCAPE);
            });
            if (reached) {
                EXPECT_EQ(result, c.result);
                EXPECT_STREQ(dlg.GetFolderPath(), c.path.c_str());
            }
        }
        EXPECT_TRUE(reached) << "the browser never showed the start folder selected";
    }
    // A start folder that does not exist leaves the browser where it starts by itself.
    CFolderDialog missing("Select a folder", (folder + "\\not_there").c_str());
    RunWithScript([&] { return missing.DoModal(); }, [&] {
        HWND hBrowser = WaitForDialog(ui, nullptr);
        ASSERT_NE(hBrowser, nullptr);
        Key(VK_ESCAPE);
    });
    EXPECT_STREQ(missing.GetFolderPath(), "");
    ::RemoveDirectoryA(folder.c_str());
}

} // namespace
