// The translation engine over real language files: write-back of missing keys, a second engine
// reading what the first wrote, the cache, concurrent lookups, windows, menus and the locale.
#include "foundation/i18n/i18n.h"
#include "tests/foundation/temp_folder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

std::string ReadRaw(const std::string& file, const char* key, const char* section = "Language")
{
    char buf[4096];
    ::GetPrivateProfileStringA(section, key, "<absent>", buf, sizeof buf, file.c_str());
    return buf;
}

void WriteRaw(const std::string& file, const char* key, const char* value,
              const char* section = "Language")
{
    ASSERT_TRUE(::WritePrivateProfileStringA(section, key, value, file.c_str()));
}

std::string FileText(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    std::stringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

size_t CountOf(const std::string& text, const std::string& what)
{
    size_t n = 0;
    for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1))
        ++n;
    return n;
}

class I18NFiles : public ::testing::Test {
protected:
    TempFolder folder;
    std::string file = folder.File("test.lang");
};

} // namespace

TEST_F(I18NFiles, MissingKeyGainsItsDefaultOnceAndIsCached)
{
    CI18N engine;
    engine.SetLanguageFile(file.c_str());
    EXPECT_STREQ(engine.Translate("t.const.done", "Done."), "Done.");
    EXPECT_EQ(ReadRaw(file, "t.const.done"), "Done.");

    WriteRaw(file, "t.const.done", "Changed on disk");
    EXPECT_STREQ(engine.Translate("t.const.done", "Done."), "Done.") << "answered from the cache";

    EXPECT_STREQ(engine.Translate("t.const.nodefault"), "");
    EXPECT_EQ(ReadRaw(file, "t.const.nodefault"), "<absent>") << "no default, nothing written";
}

TEST_F(I18NFiles, EntryInTheFileWinsOverTheDefault)
{
    WriteRaw(file, "t.const.hello", "Hallo ~FFE9%0Azwei%20");
    CI18N engine;
    engine.SetLanguageFile(file.c_str());
    EXPECT_STREQ(engine.Translate("t.const.hello", "Hello"), "Hallo \xE9\nzwei ");
    EXPECT_EQ(ReadRaw(file, "t.const.hello"), "Hallo ~FFE9%0Azwei%20") << "left alone";
}

TEST_F(I18NFiles, SecondEngineReadsWhatTheFirstWrote)
{
    struct Case {
        const char* key;
        const char* text;
        const char* stored;
    };
    const Case cases[] = {
        {"t.const.percent", "50%", "50%25"},
        {"t.const.blank", "Artist ", "Artist%20"},
        {"t.const.lead", "  - ", "%20%20-%20"},
        {"t.const.tilde", "a~b", "a%7Eb"},
        {"t.const.lines", "a\nb", "a%0Ab"},
        {"t.const.accent", "caf\xE9", "caf~FFE9"},
        {"t.const.semicolon", "a; b = c [d]", "a; b = c [d]"},
        {"t.const.quoted", "\"Best of\"", "%22Best of\""},
    };
    {
        CI18N first;
        first.SetLanguageFile(file.c_str());
        for (const Case& c : cases)
            EXPECT_STREQ(first.Translate(c.key, c.text), c.text);
    }
    CI18N second;
    second.SetLanguageFile(file.c_str());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(ReadRaw(file, c.key), c.stored);
        EXPECT_STREQ(second.Translate(c.key, "not this"), c.text);
    }
}

TEST_F(I18NFiles, OnlyAnotherPathClearsTheCache)
{
    const std::string other = folder.File("other.lang");
    WriteRaw(file, "t.const.word", "one");
    CI18N engine;
    engine.SetLanguageFile(file.c_str());
    EXPECT_STREQ(engine.Translate("t.const.word", "x"), "one");

    WriteRaw(file, "t.const.word", "two");
    engine.SetLanguageFile(file.c_str());
    EXPECT_STREQ(engine.Translate("t.const.word", "x"), "one") << "same path keeps the cache";

    engine.SetLanguageFile(other.c_str());
    EXPECT_STREQ(engine.Translate("t.const.word", "x"), "x");
    engine.SetLanguageFile(file.c_str());
    EXPECT_STREQ(engine.Translate("t.const.word", "x"), "two");

    WriteRaw(file, "t.const.word", "three");
    engine.ClearCache();
    EXPECT_STREQ(engine.Translate("t.const.word", "x"), "three");
}

// Job threads translate their error texts while the user-interface thread translates windows:
// every answer must be right and every missing key must land in the file exactly once.
TEST_F(I18NFiles, ConcurrentLookupsFromThreads)
{
    const int kKeys = 40;
    for (int k = 0; k < kKeys; k += 2)
        WriteRaw(file, ("t.const.k" + std::to_string(k)).c_str(),
                 ("stored " + std::to_string(k)).c_str());
    CI18N engine;
    engine.SetLanguageFile(file.c_str());

    std::atomic<int> wrong{0};
    std::atomic<bool> stop{false};
    std::vector<std::thread> threads;
    for (int t = 0; t < 8; ++t) {
        threads.emplace_back([&, t] {
            for (int round = 0; round < 300; ++round) {
                const int k = (round * 7 + t * 13) % kKeys;
                const std::string key = "t.const.k" + std::to_string(k);
                const std::string def = "default " + std::to_string(k);
                const std::string want = (k % 2 ? "default " : "stored ") + std::to_string(k);
                if (std::string(engine.Translate(key.c_str(), def.c_str())) != want)
                    ++wrong;
            }
        });
    }
    std::thread clearer([&] {
        while (!stop) {
            engine.ClearCache();
            engine.SetLanguageFile(file.c_str());
            std::this_thread::yield();
        }
    });
    for (auto& th : threads)
        th.join();
    stop = true;
    clearer.join();

    EXPECT_EQ(wrong, 0);
    const std::string text = FileText(file);
    for (int k = 0; k < kKeys; ++k) {
        SCOPED_TRACE(k);
        EXPECT_EQ(CountOf(text, "t.const.k" + std::to_string(k) + "="), 1u);
    }
}

TEST_F(I18NFiles, ListsLanguageFilesOfAFolder)
{
    for (const char* name : {"english.lang", "german.lang", "readme.txt"})
        std::ofstream(folder.File(name)) << "[Info]\r\n";
    ::CreateDirectoryA(folder.File("sub").c_str(), nullptr);
    std::ofstream(folder.File("sub\\french.lang")) << "[Info]\r\n";

    CI18N engine;
    CStringArray files;
    files.Add("stale");
    ASSERT_EQ(engine.ListLanguageFiles(folder.Path().c_str(), files), 2);
    std::vector<std::string> names{std::string(files[0]), std::string(files[1])};
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"english.lang", "german.lang"}));

    TempFolder empty;
    EXPECT_EQ(engine.ListLanguageFiles(empty.Path().c_str(), files), 0);
    EXPECT_EQ(files.GetSize(), 0);
}

// The user's language identifier comes from the prefix's locale; the files are made to match it.
TEST(I18NLocale, ChoosesTheFileOfTheUsersLanguage)
{
    char user[8] = "";
    ::GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_ILANGUAGE, user, sizeof user);
    ASSERT_EQ(std::strlen(user), 4u);
    const std::string exact = user;
    const std::string primary = exact.substr(2);
    const std::string sibling1 = (exact.substr(0, 2) == "08" ? "0c" : "08") + primary;
    const std::string sibling2 = (exact.substr(0, 2) == "1c" ? "14" : "1c") + primary;
    const std::string foreign = primary == "07" ? "0409" : "0407";

    struct File {
        const char* name;
        std::string id;
    };
    struct Case {
        const char* what;
        std::vector<File> files;
        const char* chosen; // nullptr: the last one listed; "": none
    };
    const std::vector<Case> cases = {
        {"exact match wins",
         {{"a.lang", exact}, {"b.lang", sibling1}, {"c.lang", sibling2}},
         "a.lang"},
        {"same primary language, last listed",
         {{"b.lang", sibling1}, {"c.lang", sibling2}},
         nullptr},
        {"other languages only", {{"d.lang", foreign}, {"e.lang", ""}}, ""},
        {"too short an id is skipped", {{"f.lang", primary.substr(1)}}, ""},
        {"no files", {}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TempFolder folder;
        for (const File& f : c.files)
            WriteRaw(folder.File(f.name), "LocaleID", f.id.c_str(), "Info");
        CString chosen = "unchanged";
        const BOOL found = CI18N::FindLanguageFileForLocale(folder.Path().c_str(), chosen);
        if (c.chosen && !*c.chosen) {
            EXPECT_FALSE(found);
            EXPECT_STREQ(chosen, "unchanged");
            continue;
        }
        ASSERT_TRUE(found);
        if (c.chosen) {
            EXPECT_STREQ(chosen, c.chosen);
        } else {
            CStringArray listed;
            GetI18N().ListLanguageFiles(folder.Path().c_str(), listed);
            EXPECT_STREQ(chosen, listed[listed.GetSize() - 1]);
        }
    }
}

TEST_F(I18NFiles, TranslatesWindowsAndDialogItems)
{
    HWND hParent = ::CreateWindowA("STATIC", "Dialog title", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                   nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(hParent, nullptr);
    HWND hItem =
        ::CreateWindowA("BUTTON", "Template text", WS_CHILD, 0, 0, 50, 20, hParent,
                        reinterpret_cast<HMENU>(1001), ::GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(hItem, nullptr);
    WriteRaw(file, "tdlg.title", "Translated title");

    CI18N engine;
    engine.SetLanguageFile(file.c_str());
    char text[64];
    EXPECT_TRUE(engine.TranslateWindow(hParent, "tdlg.title"));
    ::GetWindowTextA(hParent, text, sizeof text);
    EXPECT_STREQ(text, "Translated title");

    EXPECT_TRUE(engine.TranslateDlgItem(hParent, 1001, "tdlg.bt.ok"));
    ::GetWindowTextA(hItem, text, sizeof text);
    EXPECT_STREQ(text, "Template text");
    EXPECT_EQ(ReadRaw(file, "tdlg.bt.ok"), "Template text") << "current text is the default";

    EXPECT_TRUE(engine.TranslateDlgItem(hParent, 1001, "tdlg.bt.other", "Given"));
    ::GetWindowTextA(hItem, text, sizeof text);
    EXPECT_STREQ(text, "Given");

    EXPECT_FALSE(engine.TranslateDlgItem(hParent, 4242, "tdlg.bt.missing", "x"));
    EXPECT_EQ(ReadRaw(file, "tdlg.bt.missing"), "<absent>");

    // The wrappers take framework windows too; the global engine has no file here.
    struct Wnd {
        HWND m_hWnd;
        HWND GetSafeHwnd() const { return m_hWnd; }
    } wnd{hParent};
    EXPECT_TRUE(I18NSetWindowText(&wnd, "tdlg.const.wrapped", "Through the wrapper"));
    ::GetWindowTextA(hParent, text, sizeof text);
    EXPECT_STREQ(text, "Through the wrapper");
    EXPECT_FALSE(I18NSetDlgItemText(&wnd, 4242, "tdlg.bt.missing", "x"));
    EXPECT_TRUE(I18NSetDlgItemText(hParent, 1001, "tdlg.bt.wrapped"));
    ::GetWindowTextA(hItem, text, sizeof text);
    EXPECT_STREQ(text, "Given");
    ::DestroyWindow(hParent);
}

TEST_F(I18NFiles, TranslatesMenusByPosition)
{
    HMENU hBar = ::CreateMenu();
    HMENU hFile = ::CreatePopupMenu();
    HMENU hRecent = ::CreatePopupMenu();
    ::AppendMenuA(hRecent, MF_STRING, 300, "First");
    ::AppendMenuA(hFile, MF_STRING | MF_CHECKED, 100, "&Open");
    ::AppendMenuA(hFile, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuA(hFile, MF_POPUP, reinterpret_cast<UINT_PTR>(hRecent), "Recent");
    ::AppendMenuA(hFile, MF_STRING, 101, "E&xit");
    ::AppendMenuA(hBar, MF_POPUP, reinterpret_cast<UINT_PTR>(hFile), "&File");
    WriteRaw(file, "tm.0.3", "&Beenden");
    WriteRaw(file, "tm.0.2.0", "Erste");

    CI18N engine;
    engine.SetLanguageFile(file.c_str());
    engine.TranslateMenu(hBar, "tm");

    struct Case {
        const char* key;
        const char* stored;
    };
    const Case written[] = {{"tm.0", "&File"}, {"tm.0.0", "&Open"}, {"tm.0.1", "<absent>"},
                            {"tm.0.2", "Recent"}, {"tm.0.3", "&Beenden"}, {"tm.0.2.0", "Erste"}};
    for (const Case& c : written) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(ReadRaw(file, c.key), c.stored);
    }
    char text[64];
    ::GetMenuStringA(hFile, 3, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&Beenden");
    EXPECT_EQ(::GetMenuItemID(hFile, 3), 101u) << "command id kept";
    EXPECT_EQ(::GetMenuState(hFile, 0, MF_BYPOSITION) & MF_CHECKED, UINT(MF_CHECKED));
    EXPECT_EQ(::GetSubMenu(hFile, 2), hRecent) << "submenu kept";
    ::GetMenuStringA(hRecent, 0, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "Erste");
    EXPECT_EQ(::GetMenuItemID(hRecent, 0), 300u);

    // Through the wrapper, with no language file, every text is its own default.
    struct Menu {
        HMENU m_hMenu;
        HMENU GetSafeHmenu() const { return m_hMenu; }
    } menu{hBar};
    I18NTranslateMenu(&menu, "tm");
    ::GetMenuStringA(hFile, 3, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "&Beenden");
    ::DestroyMenu(hBar);
}
