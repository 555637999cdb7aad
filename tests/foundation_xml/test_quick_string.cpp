// The parser's string buffer and entity hash table.
#include "foundation/xml/hash_table.h"
#include "foundation/xml/quick_string.h"

#include <gtest/gtest.h>

#include <set>
#include <vector>
#include <string>

TEST(QuickString, GrowsByStepWhenAppendingCharacters)
{
    // A full buffer (capacity < length + 2) is replaced by one of step + length + 1 bytes.
    COXQuickString s;
    EXPECT_TRUE(s.IsEmpty());
    EXPECT_STREQ(s.GetText(), "");
    std::vector<int> capacities;
    for (int i = 0; i < 12; ++i) {
        s.AppendChar(static_cast<char>('a' + i));
        capacities.push_back(s.GetCapacity());
    }
    EXPECT_EQ(capacities, (std::vector<int>{11, 11, 11, 11, 11, 11, 11, 11, 11, 11, 21, 21}));
    EXPECT_STREQ(s.GetText(), "abcdefghijkl");

    // A long text grows in steps that grow with it: a megabyte takes a few dozen buffers,
    // not a hundred thousand (each of which copies the whole text).
    COXQuickString big;
    int buffers = 0;
    int capacity = 0;
    for (int i = 0; i < (1 << 20); ++i) {
        ASSERT_EQ(big.AppendChar('x'), 1);
        if (big.GetCapacity() != capacity) {
            capacity = big.GetCapacity();
            ++buffers;
        }
    }
    EXPECT_EQ(big.GetLength(), 1 << 20);
    EXPECT_LT(buffers, 40);
    // Emptied, the step is 10 again.
    big.Empty();
    big.AppendChar('a');
    EXPECT_EQ(big.GetCapacity(), 11);
}

TEST(QuickString, AppendCapacityTrimAndCompare)
{
    COXQuickString s;
    EXPECT_EQ(s.Append(nullptr), 0);
    s.Append("ab");
    s.AppendN("cdef", 2);
    EXPECT_STREQ(s.GetText(), "abcd");
    s.SetCapacity(3);
    EXPECT_STREQ(s.GetText(), "ab");
    s.SetCapacity(0);
    EXPECT_TRUE(s.IsEmpty());

    struct Case {
        const char* text;
        const char* trimmed;
    } cases[] = {{"   ", ""}, {"  x y \t\n", "x y"}, {"x", "x"}, {"\r\nx", "x"}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        COXQuickString t;
        t.SetText(c.text);
        t.Trim();
        EXPECT_STREQ(t.GetText(), c.trimmed);
    }

    COXQuickString word;
    EXPECT_FALSE(word.IsEqual("", 1)) << "empty string never equals";
    word.SetText("Name");
    EXPECT_TRUE(word.IsEqual("NAME", 0));
    EXPECT_FALSE(word.IsEqual("NAME", 1));
    EXPECT_FALSE(word.IsEqual(nullptr, 0));
    COXQuickString copy(word);
    EXPECT_STREQ(copy.GetText(), "Name");
}

TEST(HashTable, CaseModesDecideWhatIsOneKey)
{
    int v1 = 1, v2 = 2;
    COXHashTable folding;
    folding.SetAt("Key", &v1);
    folding.SetAt("KEY", &v2);
    EXPECT_EQ(folding.GetCount(), 1u);
    void* pos = folding.GetStartPosition();
    const char* key = nullptr;
    void* value = nullptr;
    folding.GetNextAssoc(pos, key, value);
    EXPECT_STREQ(key, "Key") << "the first spelling is kept";
    EXPECT_EQ(value, &v2);
    EXPECT_EQ(pos, nullptr);

    COXHashTable exact(true);
    exact.SetAt("Key", &v1);
    exact.SetAt("KEY", &v2);
    EXPECT_EQ(exact.GetCount(), 2u);
    EXPECT_EQ(exact.Lookup("key", value), 0);
    EXPECT_EQ(value, nullptr);
    EXPECT_EQ(exact.Lookup("KEY", value), 1);
    EXPECT_EQ(value, &v2);
}

TEST(HashTable, IteratesEveryEntryOnceAndRehashes)
{
    COXHashTable table(true);
    EXPECT_EQ(table.GetStartPosition(), nullptr);
    EXPECT_EQ(table.InitHashTable(0), 0);
    std::set<std::string> added;
    for (int i = 0; i < 200; ++i) {
        std::string k = "k" + std::to_string(i);
        table.SetAt(k.c_str(), nullptr);
        added.insert(k);
    }
    std::set<std::string> seen;
    for (void* pos = table.GetStartPosition(); pos;) {
        const char* key;
        void* value;
        table.GetNextAssoc(pos, key, value);
        EXPECT_TRUE(seen.insert(key).second) << key;
    }
    EXPECT_EQ(seen, added);
    EXPECT_EQ(table.InitHashTable(7), 1);
    EXPECT_EQ(table.GetCount(), 0u);
}
