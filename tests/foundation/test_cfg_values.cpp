// The settings store's value rules: declaration, text, integer, boolean and list settings,
// undeclared keys and the older list form.
#include "tests/foundation/cfg_test_store.h"

#include <gtest/gtest.h>

#include <climits>
#include <vector>

TEST(CfgValues, DeclaredValuesStartAtTheirDefaults)
{
    CTestStore store;
    CString text;
    EXPECT_TRUE(store.GetString("Name", text));
    EXPECT_STREQ(text, "default name");
    int n = 0;
    EXPECT_TRUE(store.GetInt("Count", n));
    EXPECT_EQ(n, 3);
    BOOL b = FALSE;
    EXPECT_TRUE(store.GetBool("Flag", b));
    EXPECT_TRUE(b);
    EXPECT_EQ(store.GetListCount("Items"), 0) << "a list's default is not split into items";
    EXPECT_TRUE(store.GetString("Items", text));
    EXPECT_STREQ(text, "x|y|");
    EXPECT_EQ(store.GetListCount("Name"), -2);
    EXPECT_EQ(store.GetListCount("Missing"), -1);
    EXPECT_EQ(store.GetListCount("name"), -1) << "keys are case-sensitive";
}

TEST(CfgValues, IntegerAndBooleanReadings)
{
    struct Case {
        const char* text;
        int number;
        BOOL flag;
    };
    const Case cases[] = {
        {"1", 1, TRUE},         {" 1", 1, TRUE},        {"01x", 1, TRUE},
        {"+1", 1, TRUE},        {"2", 2, FALSE},        {"-1", -1, FALSE},
        {"true", 0, FALSE},     {"yes", 0, FALSE},      {"", 0, FALSE},
        {"3128", 3128, FALSE},  {"\t-42 kb", -42, FALSE}, {"- 5", 0, FALSE},
        {"2147483647", INT_MAX, FALSE}, {"-2147483648", INT_MIN, FALSE},
        {"99999999999999999999", INT_MAX, FALSE}, {"-99999999999", INT_MIN, FALSE},
    };
    CTestStore store;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        ASSERT_TRUE(store.SetFromText("Count", c.text));
        int n = 12345;
        BOOL b = 7;
        EXPECT_TRUE(store.GetInt("Count", n));
        EXPECT_TRUE(store.GetBool("Count", b));
        EXPECT_EQ(n, c.number);
        EXPECT_EQ(b, c.flag);
    }
}

TEST(CfgValues, SettersWriteTheirTextForms)
{
    CTestStore store;
    CString text;
    EXPECT_TRUE(store.SetInt("Count", -1));
    store.GetString("Count", text);
    EXPECT_STREQ(text, "-1");
    EXPECT_TRUE(store.SetInt("Count", INT_MIN));
    store.GetString("Count", text);
    EXPECT_STREQ(text, "-2147483648");
    EXPECT_TRUE(store.SetBool("Flag", FALSE));
    store.GetString("Flag", text);
    EXPECT_STREQ(text, "0");
    EXPECT_TRUE(store.SetBool("Flag", 5));
    store.GetString("Flag", text);
    EXPECT_STREQ(text, "1");

    EXPECT_TRUE(store.SetString("Name", "a|b||c"));
    store.GetString("Name", text);
    EXPECT_STREQ(text, "abc") << "text setters drop every '|'";
    EXPECT_TRUE(store.SetFromText("Name", "a|b"));
    store.GetString("Name", text);
    EXPECT_STREQ(text, "a|b") << "a loaded value is taken as it stands";

    EXPECT_TRUE(store.AddListItem("Items", "Name|%1 - %2"));
    EXPECT_TRUE(store.GetListItem("Items", 0, text));
    EXPECT_STREQ(text, "Name|%1 - %2") << "list items keep their '|'";
}

TEST(CfgValues, UndeclaredKeysAndWrongKinds)
{
    CTestStore store;
    CString text = "kept";
    int n = 99;
    BOOL b = TRUE;
    EXPECT_FALSE(store.GetString("Missing", text));
    EXPECT_FALSE(store.GetInt("Missing", n));
    EXPECT_FALSE(store.GetBool("Missing", b));
    EXPECT_STREQ(text, "kept");
    EXPECT_EQ(n, 99);
    EXPECT_FALSE(b) << "GetBool clears its output";
    EXPECT_FALSE(store.SetString("Missing", "x"));
    EXPECT_FALSE(store.SetInt("Missing", 1));
    EXPECT_FALSE(store.SetBool("Missing", TRUE));
    EXPECT_EQ(store.FindSetting("Missing"), nullptr);

    EXPECT_FALSE(store.AddListItem("Name", "x")) << "a scalar has no items";
    EXPECT_FALSE(store.AddListItem("Missing", "x"));
    EXPECT_FALSE(store.GetListItem("Name", 0, text));
    store.ClearList("Missing");
    store.ClearList("Name");

    store.AddListItem("Items", "one");
    store.AddListItem("Items", "two");
    for (int index : {-1, 2, 100}) {
        SCOPED_TRACE(index);
        EXPECT_FALSE(store.GetListItem("Items", index, text));
    }
    EXPECT_TRUE(store.GetListItem("Items", 1, text));
    EXPECT_STREQ(text, "two");
    store.ClearList("Items");
    EXPECT_EQ(store.GetListCount("Items"), 0);

    store.RemoveAll();
    EXPECT_EQ(store.GetListCount("Items"), -1);
    EXPECT_FALSE(store.GetString("Name", text));
}

TEST(CfgValues, OlderListFormSplitsAtEveryBar)
{
    struct Case {
        const char* text;
        std::vector<const char*> items;
    };
    const Case cases[] = {
        {"a|b|c|", {"a", "b", "c"}},
        {"a|b", {"a"}},
        {"||", {"", ""}},
        {"", {}},
        {"no bar", {}},
        {"|lead|", {"", "lead"}},
    };
    CTestStore store;
    store.AddListItem("Items", "before");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_TRUE(store.SetFromText("Items", c.text));
        ASSERT_EQ(store.GetListCount("Items"), static_cast<int>(c.items.size()));
        for (size_t i = 0; i < c.items.size(); ++i) {
            CString item;
            store.GetListItem("Items", static_cast<int>(i), item);
            EXPECT_STREQ(item, c.items[i]);
        }
    }
}

TEST(CfgValues, UndeclaredLoadedValueNeedsAutoDeclare)
{
    CTestStore strict(FALSE);
    EXPECT_FALSE(strict.SetFromText("Stranger", "x"));
    EXPECT_EQ(strict.FindSetting("Stranger"), nullptr);

    CTestStore open(TRUE);
    EXPECT_TRUE(open.SetFromText("Stranger", "x|y"));
    CString text;
    EXPECT_TRUE(open.GetString("Stranger", text));
    EXPECT_STREQ(text, "x|y");
    EXPECT_EQ(open.GetListCount("Stranger"), -2) << "declared as a scalar";
}
