// The settings store against the real registry of the test prefix: round trips, the list
// subkeys, the older list form, undeclared values and missing keys.
#include "tests/foundation/cfg_test_store.h"
#include "tests/foundation/registry_helpers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using Names = std::vector<std::string>;

std::vector<std::string> Items(const CCfgBase& store, const char* key)
{
    std::vector<std::string> items;
    for (int i = 0; i < store.GetListCount(key); ++i) {
        CString item;
        store.GetListItem(key, i, item);
        items.push_back(item.GetString());
    }
    return items;
}

std::string Value(const CCfgBase& store, const char* key)
{
    CString text = "<undeclared>";
    store.GetString(key, text);
    return text.GetString();
}

class CfgRegistry : public ::testing::Test {
protected:
    void SetUp() override { reg::DeleteTree(HKEY_CURRENT_USER, path); }
    void TearDown() override { reg::DeleteTree(HKEY_CURRENT_USER, path); }

    const std::string path =
        "Software\\Corvalen\\SonoriaTests\\store_" + std::to_string(::GetCurrentProcessId());
};

} // namespace

TEST_F(CfgRegistry, RoundTripUnderBothRoots)
{
    for (BOOL currentUser : {TRUE, FALSE}) {
        SCOPED_TRACE(currentUser ? "HKEY_CURRENT_USER" : "HKEY_LOCAL_MACHINE");
        const HKEY root = currentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        reg::DeleteTree(root, path);
        {
            CTestStore store;
            store.SetString("Name", "C:\\Music\\Out");
            store.SetInt("Count", -7);
            store.SetBool("Flag", FALSE);
            store.AddListItem("Items", "Album|%A - %T");
            store.AddListItem("Items", "");
            store.AddListItem("Items", "third");
            ASSERT_TRUE(store.SaveToRegistry(path.c_str(), currentUser));
        }
        DWORD type = 0;
        std::string bytes;
        ASSERT_TRUE(reg::GetRaw(root, path, "Name", type, bytes));
        EXPECT_EQ(type, DWORD(REG_SZ));
        EXPECT_EQ(bytes, std::string("C:\\Music\\Out", 13)) << "text and its NUL";
        EXPECT_EQ(reg::GetText(root, path, "Count"), "-7");
        EXPECT_EQ(reg::GetText(root, path, "Flag"), "0");
        EXPECT_EQ(reg::GetText(root, path, "Items"), "<absent>") << "lists are subkeys";
        EXPECT_EQ(reg::ValueNames(root, path + "\\Items"), (Names{"0", "1", "2", "N"}));
        EXPECT_EQ(reg::GetText(root, path + "\\Items", "N"), "3");
        EXPECT_EQ(reg::GetText(root, path + "\\Items", "0"), "Album|%A - %T");
        EXPECT_EQ(reg::ValueNames(root, path + "\\Empty"), Names{"N"});
        EXPECT_EQ(reg::GetText(root, path + "\\Empty", "N"), "0");

        CTestStore loaded;
        ASSERT_TRUE(loaded.LoadFromRegistry(path.c_str(), currentUser));
        EXPECT_EQ(Value(loaded, "Name"), "C:\\Music\\Out");
        EXPECT_EQ(Value(loaded, "Count"), "-7");
        EXPECT_EQ(Value(loaded, "Flag"), "0");
        EXPECT_EQ(Items(loaded, "Items"), (Names{"Album|%A - %T", "", "third"}));
        EXPECT_EQ(Items(loaded, "Empty"), Names{});
        reg::DeleteTree(root, path);
    }
}

TEST_F(CfgRegistry, ShrunkListLeavesNoStaleItems)
{
    CTestStore store;
    for (const char* item : {"a", "b", "c", "d", "e"})
        store.AddListItem("Items", item);
    ASSERT_TRUE(store.SaveToRegistry(path.c_str(), TRUE));
    store.ClearList("Items");
    store.AddListItem("Items", "A");
    store.AddListItem("Items", "B");
    ASSERT_TRUE(store.SaveToRegistry(path.c_str(), TRUE));
    EXPECT_EQ(reg::ValueNames(HKEY_CURRENT_USER, path + "\\Items"), (Names{"0", "1", "N"}));

    CTestStore loaded;
    loaded.LoadFromRegistry(path.c_str(), TRUE);
    EXPECT_EQ(Items(loaded, "Items"), (Names{"A", "B"}));
}

// Each case prepares the registry by hand, then loads a fresh store.
TEST_F(CfgRegistry, LoadsListsInEveryStoredShape)
{
    const HKEY cu = HKEY_CURRENT_USER;
    const std::string sub = path + "\\Items";
    struct Case {
        const char* what;
        void (*prepare)(const std::string& path, const std::string& sub);
        Names items;
    };
    const Case cases[] = {
        {"older form only",
         [](const std::string& p, const std::string&) {
             reg::SetText(HKEY_CURRENT_USER, p, "Items", "x|y|");
         },
         {"x", "y"}},
        {"subkey wins over the older form",
         [](const std::string& p, const std::string& s) {
             reg::SetText(HKEY_CURRENT_USER, p, "Items", "x|y|");
             reg::SetText(HKEY_CURRENT_USER, s, "N", "1");
             reg::SetText(HKEY_CURRENT_USER, s, "0", "z");
         },
         {"z"}},
        {"subkey without N keeps what the value pass gave",
         [](const std::string& p, const std::string& s) {
             reg::SetText(HKEY_CURRENT_USER, p, "Items", "x|y|");
             reg::SetText(HKEY_CURRENT_USER, s, "0", "z");
         },
         {"x", "y"}},
        {"missing middle item stays an empty item",
         [](const std::string&, const std::string& s) {
             reg::SetText(HKEY_CURRENT_USER, s, "N", "3");
             reg::SetText(HKEY_CURRENT_USER, s, "0", "a");
             reg::SetText(HKEY_CURRENT_USER, s, "2", "c");
         },
         {"a", "", "c"}},
        {"negative count empties the list",
         [](const std::string&, const std::string& s) {
             reg::SetText(HKEY_CURRENT_USER, s, "N", "-2");
             reg::SetText(HKEY_CURRENT_USER, s, "0", "a");
         },
         {}},
        {"count and items of another value type",
         [](const std::string&, const std::string& s) {
             reg::SetRaw(HKEY_CURRENT_USER, s, "N", REG_EXPAND_SZ, std::string("2", 2));
             reg::SetRaw(HKEY_CURRENT_USER, s, "0", REG_DWORD, std::string("\1\0\0\0", 4));
             reg::SetText(HKEY_CURRENT_USER, s, "1", "b");
         },
         {"", "b"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        reg::DeleteTree(cu, path);
        c.prepare(path, sub);
        CTestStore store;
        store.AddListItem("Items", "before");
        ASSERT_TRUE(store.LoadFromRegistry(path.c_str(), TRUE));
        EXPECT_EQ(Items(store, "Items"), c.items);

        // The next save writes the subkey form only.
        ASSERT_TRUE(store.SaveToRegistry(path.c_str(), TRUE));
        EXPECT_EQ(reg::GetText(cu, path, "Items"), "<absent>");
        EXPECT_EQ(reg::GetText(cu, sub, "N"), std::to_string(c.items.size()));
    }
}

TEST_F(CfgRegistry, CorruptCountIsCapped)
{
    reg::SetText(HKEY_CURRENT_USER, path + "\\Items", "N", "4000000000");
    reg::SetText(HKEY_CURRENT_USER, path + "\\Items", "1", "second");
    CTestStore store;
    ASSERT_TRUE(store.LoadFromRegistry(path.c_str(), TRUE));
    EXPECT_EQ(store.GetListCount("Items"), 65536);
    CString item;
    store.GetListItem("Items", 1, item);
    EXPECT_STREQ(item, "second");
}

TEST_F(CfgRegistry, UndeclaredValuesNeedAutoDeclare)
{
    reg::SetText(HKEY_CURRENT_USER, path, "Stranger", "kept");
    reg::SetText(HKEY_CURRENT_USER, path + "\\Unknown", "N", "0");
    reg::SetText(HKEY_CURRENT_USER, path + "\\Name", "N", "1"); // a subkey named like a scalar
    reg::SetText(HKEY_CURRENT_USER, path, "Name", "stored");
    {
        CTestStore strict(FALSE);
        ASSERT_TRUE(strict.LoadFromRegistry(path.c_str(), TRUE));
        EXPECT_EQ(strict.FindSetting("Stranger"), nullptr);
        EXPECT_EQ(Value(strict, "Name"), "stored");
        EXPECT_EQ(strict.GetListCount("Unknown"), -1);
        ASSERT_TRUE(strict.SaveToRegistry(path.c_str(), TRUE));
        EXPECT_EQ(reg::GetText(HKEY_CURRENT_USER, path, "Stranger"), "kept") << "left untouched";
        EXPECT_TRUE(reg::KeyExists(HKEY_CURRENT_USER, path + "\\Unknown"));
    }
    {
        CTestStore open(TRUE);
        ASSERT_TRUE(open.LoadFromRegistry(path.c_str(), TRUE));
        EXPECT_EQ(Value(open, "Stranger"), "kept");
        ::RegDeleteKeyValueA(HKEY_CURRENT_USER, path.c_str(), "Stranger");
        ASSERT_TRUE(open.SaveToRegistry(path.c_str(), TRUE));
        EXPECT_EQ(reg::GetText(HKEY_CURRENT_USER, path, "Stranger"), "kept") << "saved back";
    }
}

TEST_F(CfgRegistry, ValuesAreReadWhateverTheirTypeAndSize)
{
    // "Aaa" enumerates first under Wine's sorted order and is too large for the data buffer;
    // the values after it must still be read.
    reg::SetText(HKEY_CURRENT_USER, path, "Aaa", std::string(20000, 'z'));
    reg::SetRaw(HKEY_CURRENT_USER, path, "Name", REG_BINARY, "raw");
    reg::SetRaw(HKEY_CURRENT_USER, path, "Count", REG_SZ, std::string("42\0junk", 7));
    reg::SetText(HKEY_CURRENT_USER, path, "Flag", "0");
    CTestStore store(TRUE);
    ASSERT_TRUE(store.LoadFromRegistry(path.c_str(), TRUE));
    EXPECT_EQ(Value(store, "Name"), "raw") << "text up to the end of the data";
    EXPECT_EQ(Value(store, "Count"), "42") << "text up to the first NUL";
    EXPECT_EQ(Value(store, "Flag"), "0");
    EXPECT_EQ(store.FindSetting("Aaa"), nullptr);
}

TEST_F(CfgRegistry, MissingKeyChangesNothing)
{
    CTestStore store;
    store.SetString("Name", "set before");
    store.AddListItem("Items", "kept");
    EXPECT_FALSE(store.LoadFromRegistry(path.c_str(), TRUE));
    EXPECT_EQ(Value(store, "Name"), "set before");
    EXPECT_EQ(Items(store, "Items"), Names{"kept"});
    EXPECT_FALSE(reg::KeyExists(HKEY_CURRENT_USER, path)) << "loading creates nothing";
}
