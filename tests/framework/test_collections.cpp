// Arrays, POSITION lists and hash maps: growth, insertion, removal and iteration.
#include "framework/core.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace
{
template <class ARRAY> std::vector<int> Items(const ARRAY& a)
{
    std::vector<int> v;
    for (INT_PTR i = 0; i < a.GetSize(); ++i)
        v.push_back(static_cast<int>(a[i]));
    return v;
}

std::vector<std::string> Items(const CStringList& l)
{
    std::vector<std::string> v;
    for (POSITION pos = l.GetHeadPosition(); pos;)
        v.emplace_back(l.GetNext(pos).GetString());
    return v;
}

std::vector<std::string> ItemsBackwards(const CStringList& l)
{
    std::vector<std::string> v;
    for (POSITION pos = l.GetTailPosition(); pos;)
        v.emplace_back(l.GetPrev(pos).GetString());
    return v;
}
} // namespace

TEST(CArray, EditsKeepOrderAndNewElementsAreZero)
{
    using Op = void (*)(CArray<int, int>&);
    struct Case {
        const char* what;
        Op op;
        std::vector<int> want;
    };
    const Case cases[] = {
        {"grow with SetSize", [](CArray<int, int>& a) { a.SetSize(5); }, {1, 2, 3, 0, 0}},
        {"shrink with SetSize", [](CArray<int, int>& a) { a.SetSize(1); }, {1}},
        {"SetAtGrow past the end", [](CArray<int, int>& a) { a.SetAtGrow(4, 9); }, {1, 2, 3, 0, 9}},
        {"SetAtGrow inside", [](CArray<int, int>& a) { a.SetAtGrow(0, 9); }, {9, 2, 3}},
        {"InsertAt front x2", [](CArray<int, int>& a) { a.InsertAt(0, 7, 2); }, {7, 7, 1, 2, 3}},
        {"InsertAt end", [](CArray<int, int>& a) { a.InsertAt(3, 7); }, {1, 2, 3, 7}},
        {"InsertAt past end", [](CArray<int, int>& a) { a.InsertAt(5, 7); }, {1, 2, 3, 0, 0, 7}},
        {"RemoveAt middle", [](CArray<int, int>& a) { a.RemoveAt(1); }, {1, 3}},
        {"RemoveAt range", [](CArray<int, int>& a) { a.RemoveAt(0, 2); }, {3}},
        {"Append itself",
         [](CArray<int, int>& a) { EXPECT_EQ(a.Append(a), 3); },
         {1, 2, 3, 1, 2, 3}},
        {"InsertAt array",
         [](CArray<int, int>& a) {
             CArray<int, int> b;
             b.Add(8);
             b.Add(9);
             a.InsertAt(1, &b);
         },
         {1, 8, 9, 2, 3}},
        {"ElementAt writes",
         [](CArray<int, int>& a) {
             a.ElementAt(2) = 5;
             a[0] = 4;
         },
         {4, 2, 5}},
        {"RemoveAll then Add",
         [](CArray<int, int>& a) {
             a.RemoveAll();
             EXPECT_EQ(a.GetData(), nullptr);
             EXPECT_EQ(a.Add(6), 0);
         },
         {6}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CArray<int, int> a;
        for (int v : {1, 2, 3})
            a.Add(v);
        c.op(a);
        EXPECT_EQ(Items(a), c.want);
        EXPECT_EQ(a.GetUpperBound(), a.GetSize() - 1);
        EXPECT_EQ(a.GetCount(), static_cast<INT_PTR>(c.want.size()));
    }

    CByteArray bytes;
    bytes.SetSize(3);
    bytes.GetData()[1] = 0xAB;
    CByteArray copy;
    copy.Copy(bytes);
    EXPECT_EQ(Items(copy), (std::vector<int>{0, 0xAB, 0}));
}

TEST(CTypedPtrArray, CastsToTheElementTypeAndDoesNotOwn)
{
    struct Item : CObject {
        explicit Item(int v) : value(v) {}
        int value;
    };
    Item a(1), b(2);
    CTypedPtrArray<CObArray, Item*> arr;
    arr.Add(&a);
    arr.Add(&b);
    arr[0] = &b; // through the typed reference
    EXPECT_EQ(arr.GetAt(0)->value, 2);
    EXPECT_EQ(arr[1]->value, 2);
    CObArray& base = arr;
    EXPECT_EQ(base.GetSize(), 2);

    CTypedPtrArray<CPtrArray, int*> ints;
    int x = 5;
    ints.SetAtGrow(2, &x);
    EXPECT_EQ(ints.GetAt(0), nullptr);
    EXPECT_EQ(*ints[2], 5);
}

TEST(CList, NavigatesBothWaysAndRemovesAnywhere)
{
    CStringList l;
    EXPECT_EQ(l.GetHeadPosition(), nullptr);
    const POSITION b = l.AddTail("b");
    l.AddHead("a");
    const POSITION d = l.AddTail("d");
    l.InsertBefore(d, "c");
    l.InsertAfter(d, "e");
    l.InsertBefore(nullptr, "head"); // null: at the head
    l.InsertAfter(nullptr, "tail");  // null: at the tail
    EXPECT_EQ(Items(l), (std::vector<std::string>{"head", "a", "b", "c", "d", "e", "tail"}));
    EXPECT_EQ(ItemsBackwards(l),
              (std::vector<std::string>{"tail", "e", "d", "c", "b", "a", "head"}));

    EXPECT_EQ(l.Find("c"), l.FindIndex(3));
    EXPECT_EQ(l.Find("b", b), nullptr); // starts after b
    EXPECT_EQ(l.Find("zzz"), nullptr);
    EXPECT_EQ(l.FindIndex(7), nullptr);
    EXPECT_EQ(l.FindIndex(-1), nullptr);

    l.RemoveAt(b);
    l.SetAt(d, "D");
    EXPECT_STREQ(l.RemoveHead(), "head");
    EXPECT_STREQ(l.RemoveTail(), "tail");
    EXPECT_STREQ(l.GetHead(), "a");
    EXPECT_STREQ(l.GetTail(), "e");
    EXPECT_EQ(Items(l), (std::vector<std::string>{"a", "c", "D", "e"}));
    EXPECT_EQ(ItemsBackwards(l), (std::vector<std::string>{"e", "D", "c", "a"}));
    EXPECT_EQ(l.GetCount(), 4);

    // Removing each element while walking, through the position saved before GetNext.
    for (POSITION pos = l.GetHeadPosition(); pos;) {
        const POSITION cur = pos;
        l.GetNext(pos);
        l.RemoveAt(cur);
    }
    EXPECT_TRUE(l.IsEmpty());
    EXPECT_EQ(l.GetTailPosition(), nullptr);

    CStringList other;
    other.AddTail("x");
    other.AddTail("y");
    l.AddTail("m");
    l.AddHead(&other);
    l.AddTail(&other);
    EXPECT_EQ(Items(l), (std::vector<std::string>{"x", "y", "m", "x", "y"}));
}

TEST(CMap, IteratesEveryEntryOnceAndAllowsRemovingTheCurrentOne)
{
    CMap<int, int, CString, const CString&> m;
    m.InitHashTable(7);
    std::map<int, std::string> want;
    for (int i = -20; i < 80; i += 3) {
        m[i] = CString(std::to_string(i * 2).c_str());
        want[i] = std::to_string(i * 2);
    }
    m.SetAt(1, "replaced");
    want[1] = "replaced";
    EXPECT_EQ(m.GetCount(), static_cast<INT_PTR>(want.size()));

    std::map<int, std::string> seen;
    POSITION pos = m.GetStartPosition();
    while (pos) {
        int key = 0;
        CString value;
        m.GetNextAssoc(pos, key, value);
        EXPECT_TRUE(seen.emplace(key, value.GetString()).second) << key;
        if (key % 2 == 0) {
            EXPECT_TRUE(m.RemoveKey(key));
        }
    }
    EXPECT_EQ(seen, want);

    for (const auto& [key, value] : want) {
        CString got;
        EXPECT_EQ(m.Lookup(key, got), key % 2 != 0) << key;
    }
    EXPECT_FALSE(m.RemoveKey(2));
    m.RemoveAll();
    EXPECT_TRUE(m.IsEmpty());
    EXPECT_EQ(m.GetStartPosition(), nullptr);
}

TEST(CMap, StringKeyedMapsCompareByTextNotPointer)
{
    CMapStringToString names;
    char key[] = "Artist";
    names.SetAt(key, "Someone");
    key[0] = 'X'; // the map keeps its own copy of the key
    CString value;
    EXPECT_TRUE(names.Lookup(CString("Artist"), value));
    EXPECT_STREQ(value, "Someone");
    EXPECT_FALSE(names.Lookup("Xrtist", value));
    names["Album"] += "Best of";
    EXPECT_STREQ(names["Album"], "Best of");

    int skin = 0;
    CTypedPtrMap<CMapStringToPtr, CString, int*> skins;
    skins.SetAt("CLASSIC", &skin);
    int* found = nullptr;
    EXPECT_TRUE(skins.Lookup("CLASSIC", found));
    EXPECT_EQ(found, &skin);
    POSITION pos = skins.GetStartPosition();
    CString k;
    skins.GetNextAssoc(pos, k, found);
    EXPECT_STREQ(k, "CLASSIC");
    EXPECT_EQ(pos, nullptr);

    CMapWordToPtr words;
    words[WORD{7}] = &skin;
    void* p = nullptr;
    EXPECT_TRUE(words.Lookup(7, p));
    EXPECT_FALSE(words.Lookup(8, p));
}
