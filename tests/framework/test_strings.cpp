// CString: formatting, searching, editing, tokenizing and the raw buffer protocol.
#include "framework/core.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

TEST(CStringFormat, FollowsPrintfAndGrowsPastAnyFixedBuffer)
{
    CString s;
    s.Format("%s_%02d %5.2f|%-4s|%x%%", "Track", 7, 3.14159, "ab", 255u);
    EXPECT_STREQ(s, "Track_07  3.14|ab  |ff%");

    const std::string big(5000, 'x');
    s.Format("[%s]", big.c_str());
    EXPECT_EQ(s.GetLength(), 5002);

    // Formatting with the string itself as an argument must not read freed memory.
    s = "abc";
    s.Format("%s-%s", s.GetString(), s.GetString());
    EXPECT_STREQ(s, "abc-abc");
    s.AppendFormat("/%lld/%zu", 1LL << 40, sizeof(int));
    EXPECT_STREQ(s, "abc-abc/1099511627776/4");
}

TEST(CStringSearch, FindReverseFindAndFindOneOfRespectBounds)
{
    const CString s("a.b.c");
    struct Case {
        const char* what;
        int got;
        int want;
    };
    const Case cases[] = {
        {"char from 0", s.Find('.'), 1},
        {"char from 2", s.Find('.', 2), 3},
        {"char from past end", s.Find('.', 9), -1},
        {"char negative start", s.Find('.', -1), -1},
        {"string", s.Find("b.c"), 2},
        {"string not found", s.Find("c."), -1},
        {"empty string finds the start", s.Find("", 2), 2},
        {"empty string at the end", s.Find("", 5), 5},
        {"string past end", s.Find("a", 6), -1},
        {"reverse", s.ReverseFind('.'), 3},
        {"reverse missing", s.ReverseFind('x'), -1},
        {"one of", s.FindOneOf("cb"), 2},
        {"one of none", s.FindOneOf("xyz"), -1},
        {"one of empty set", s.FindOneOf(""), -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.got, c.want);
    }
}

TEST(CStringEdit, ReplaceRemoveInsertDeleteCountAndClamp)
{
    struct Case {
        const char* in;
        const char* from;
        const char* to;
        int count;
        const char* out;
    };
    const Case cases[] = {
        {"aaaa", "aa", "a", 2, "aa"},    // non-overlapping, left to right
        {"abcabc", "bc", "", 2, "aa"},   // replace with nothing
        {"abc", "", "x", 0, "abc"},      // empty pattern does nothing
        {"abc", "abcd", "x", 0, "abc"},  // longer than the text
        {"x.y", ".", "...", 1, "x...y"}, // replacement contains the pattern
        {"", "a", "b", 0, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        CString s(c.in);
        EXPECT_EQ(s.Replace(c.from, c.to), c.count);
        EXPECT_STREQ(s, c.out);
    }

    CString s("a/b/c");
    EXPECT_EQ(s.Replace('/', '\\'), 2);
    EXPECT_STREQ(s, "a\\b\\c");
    EXPECT_EQ(s.Remove('\\'), 2);
    EXPECT_STREQ(s, "abc");
    EXPECT_EQ(s.Insert(1, "XY"), 5);
    EXPECT_EQ(s.Insert(99, '!'), 6); // past the end appends
    EXPECT_EQ(s.Insert(-3, '<'), 7); // before the start prepends
    EXPECT_STREQ(s, "<aXYbc!");
    EXPECT_EQ(s.Delete(2, 2), 5);
    EXPECT_EQ(s.Delete(3, 99), 3); // count cut short at the end
    EXPECT_EQ(s.Delete(10), 3);
    EXPECT_STREQ(s, "<ab");
}

TEST(CStringEdit, MidLeftRightClampOutOfRangeArguments)
{
    const CString s("Hello");
    struct Case {
        CString got;
        const char* want;
    };
    const Case cases[] = {
        {s.Mid(1, 3), "ell"}, {s.Mid(3), "lo"},    {s.Mid(-2, 3), "Hel"},  {s.Mid(4, 10), "o"},
        {s.Mid(9), ""},       {s.Mid(1, -1), ""},  {s.Left(2), "He"},      {s.Left(99), "Hello"},
        {s.Left(-1), ""},     {s.Right(3), "llo"}, {s.Right(99), "Hello"}, {s.Right(0), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.want);
        EXPECT_STREQ(c.got, c.want);
    }
    EXPECT_STREQ(CString("12ab3").SpanIncluding("0123456789"), "12");
    EXPECT_STREQ(CString("name=value").SpanExcluding("=;"), "name");
}

TEST(CStringEdit, TrimAndCaseChanges)
{
    struct Case {
        const char* in;
        CString (*op)(CString);
        const char* out;
    };
    const Case cases[] = {
        {" \t a b \r\n", [](CString s) { return s.Trim(); }, "a b"},
        {"  ", [](CString s) { return s.Trim(); }, ""},
        {"xxaxx", [](CString s) { return s.Trim('x'); }, "a"},
        {"-+a+-", [](CString s) { return s.TrimLeft("+-"); }, "a+-"},
        {"-+a+-", [](CString s) { return s.TrimRight("+-"); }, "-+a"},
        {"  a  ", [](CString s) { return s.TrimLeft(); }, "a  "},
        {"aaa", [](CString s) { return s.TrimRight('a'); }, ""},
        {"MiXed 1\xE9", [](CString s) { return s.MakeUpper(); }, "MIXED 1\xE9"},
        {"MiXed", [](CString s) { return s.MakeLower(); }, "mixed"},
        {"abc", [](CString s) { return s.MakeReverse(); }, "cba"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_STREQ(c.op(CString(c.in)), c.out);
    }
}

TEST(CStringCompare, OrdersBytesUnsignedAndFoldsAsciiCase)
{
    EXPECT_LT(CString("abc").Compare("abd"), 0);
    EXPECT_GT(CString("\xE9").Compare("z"), 0); // high bytes sort after ASCII
    EXPECT_EQ(CString("ABC").CompareNoCase("abc"), 0);
    EXPECT_LT(CString("ab").CompareNoCase("ABC"), 0);
    EXPECT_TRUE(CString("a") == "a");
    EXPECT_TRUE("a" != CString("b"));
    EXPECT_TRUE(CString("a") < CString("b"));
    EXPECT_TRUE("b" > CString("a"));
    EXPECT_TRUE(CString("a") <= "a");
    EXPECT_EQ(CString("ab") + 'c' + "d" + CString("e"), "abcde");
    EXPECT_EQ('x' + CString("y"), "xy");
    EXPECT_EQ(CString('-', 3), "---");
    EXPECT_EQ(CString("a\0b", 3).GetLength(), 3);
    EXPECT_EQ(CString(static_cast<const char*>(nullptr)), "");
}

TEST(CStringTokenize, SkipsRunsOfDelimitersAndEndsWithMinusOne)
{
    struct Case {
        const char* text;
        const char* delims;
        std::vector<std::string> tokens;
    };
    const Case cases[] = {
        {"a,b;;c", ",;", {"a", "b", "c"}}, {";;a;", ";", {"a"}}, {"", ";", {}}, {";;;", ";", {}},
        {"one two", "", {"one two"}}, // no delimiters: the rest is one token, then the end
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        const CString s(c.text);
        std::vector<std::string> got;
        int pos = 0;
        for (CString t = s.Tokenize(c.delims, pos); pos != -1; t = s.Tokenize(c.delims, pos)) {
            got.emplace_back(t.GetString());
            ASSERT_LE(got.size(), 10u);
        }
        EXPECT_EQ(got, c.tokens);
    }
}

TEST(CStringBuffer, GetBufferKeepsTextAndReleaseBufferSetsLength)
{
    CString s("abc");
    char* p = s.GetBuffer(10);
    EXPECT_EQ(std::memcmp(p, "abc", 4), 0);
    std::strcpy(p, "hello world");
    s.ReleaseBuffer(); // -1: up to the NUL
    EXPECT_STREQ(s, "hello world");

    p = s.GetBuffer(0);
    p[5] = '\0';
    s.ReleaseBuffer();
    EXPECT_EQ(s.GetLength(), 5);

    p = s.GetBufferSetLength(3);
    EXPECT_EQ(s.GetLength(), 3);
    p[0] = 'J';
    s.ReleaseBuffer(2); // explicit length, no NUL needed
    EXPECT_STREQ(s, "Je");

    CString copy = s; // copies stay independent of later buffer writes
    s.GetBuffer(0)[0] = 'X';
    s.ReleaseBuffer();
    EXPECT_STREQ(copy, "Je");
    EXPECT_STREQ(s, "Xe");
}

TEST(CStringArray, StoresStringsByValue)
{
    CStringArray arr;
    arr.Add("one");
    CString two("two");
    arr.Add(two);
    two = "changed";
    arr.InsertAt(0, "zero");
    arr.Add(arr[0]); // an element of the array itself, across a reallocation
    ASSERT_EQ(arr.GetSize(), 4);
    EXPECT_STREQ(arr[1], "one");
    EXPECT_STREQ(arr.GetAt(2), "two");
    EXPECT_STREQ(arr[3], "zero");
}

TEST(Base64, EncodesWithPaddingAndNoLineBreaks)
{
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"", ""},        {"f", "Zg=="},          {"fo", "Zm8="},
        {"foo", "Zm9v"}, {"foobar", "Zm9vYmFy"}, {"user:pa\xff\xfe", "dXNlcjpwYf/+"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in);
        EXPECT_STREQ(AfxBase64Encode(CString(c.in)), c.out);
    }
    const std::string longText(100, 'a'); // 136 chars, still one line
    EXPECT_EQ(AfxBase64Encode(longText.data(), longText.size()).Find('\n'), -1);
}
