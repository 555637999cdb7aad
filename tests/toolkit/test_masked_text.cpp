// The masked edit's text model: mask syntax, positions, insert, overwrite and line-break-safe
// deletion.
#include <gtest/gtest.h>

#include "toolkit/controls/masked_edit/masked_text.h"

namespace
{

struct MaskCase {
    const char* mask;
    bool accepted;
    const char* left;
    const char* right;
};

TEST(MaskedText, MaskSyntax)
{
    const MaskCase cases[] = {
        {"#", true, "", ""},           {"(###)", true, "(#", ")"}, {"+1 (#)", true, "+1 (", ")"},
        {"ab#", true, "ab", ""},       {"#x#", true, "", "x"},  // a final '#' adds nothing
        {"#a#b", true, "", "a#b"},                              // a second single '#' is text
        {"##-#-##", true, "#-", "-#"}, {"##", false, "<", ">"}, // only pairs: refused, "<#>" stays
        {"a####b", false, "<", ">"},   {"", false, "<", ">"},      {"abc", false, "<", ">"},
    };
    for (const MaskCase& c : cases) {
        SCOPED_TRACE(c.mask);
        CMaskedText text;
        ASSERT_TRUE(text.SetMask("<#>"));
        EXPECT_EQ(text.SetMask(c.mask), c.accepted ? TRUE : FALSE);
        EXPECT_STREQ(text.GetLeftLiterals(), c.left);
        EXPECT_STREQ(text.GetRightLiterals(), c.right);
        EXPECT_STREQ(text.GetMask(), c.accepted ? c.mask : "<#>");
    }
}

TEST(MaskedText, PositionsSkipTheLiterals)
{
    CMaskedText text;
    ASSERT_TRUE(text.SetMask("ab#cd")); // L = 2
    text.SetInput("xyz");               // "abxyzcd", insert positions 2..5
    struct {
        int pos;
        bool input, insert;
        int next, prev, index;
    } cases[] = {
        {-3, false, false, 2, 2, -1}, {0, false, false, 2, 2, -1}, {2, true, true, 2, 2, 0},
        {4, true, true, 4, 4, 2},     {5, false, true, 5, 5, 3},   {6, false, false, 5, 5, -1},
        {99, false, false, 5, 5, -1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pos);
        EXPECT_EQ(text.IsInputPosition(c.pos) != FALSE, c.input);
        EXPECT_EQ(text.IsInsertPosition(c.pos) != FALSE, c.insert);
        EXPECT_EQ(text.GetNextInputPosition(c.pos), c.next);
        EXPECT_EQ(text.GetPrevInputPosition(c.pos), c.prev);
        EXPECT_EQ(text.InputIndex(c.pos), c.index);
    }
}

TEST(MaskedText, InsertOverwriteAndSetInput)
{
    CMaskedText text;
    ASSERT_TRUE(text.SetMask("[#]"));
    text.SetInput("ac");
    EXPECT_EQ(text.InsertAt(2, 'b'), 2);
    EXPECT_STREQ(text.GetFullText(), "[abc]");
    EXPECT_EQ(text.InsertAt(0, '0'), 1); // moved forward off the left literal
    EXPECT_EQ(text.InsertAt(5, 'd'), 5); // the end of the input appends
    EXPECT_STREQ(text.GetFullText(), "[0abcd]");
    EXPECT_EQ(text.InsertAt(7, 'e'), -1); // past the right literal: no room
    EXPECT_EQ(text.OverwriteAt(0, 'X'), 1);
    EXPECT_EQ(text.OverwriteAt(6, 'Y'), -1); // at the end of the input nothing to replace
    EXPECT_STREQ(text.GetFullText(), "[Xabcd]");

    EXPECT_FALSE(text.SetInputData("q", 6, TRUE));
    EXPECT_FALSE(text.SetInputData("q", -1, TRUE));
    EXPECT_TRUE(text.SetInputData("12", 4, FALSE));  // overwrites "cd"
    EXPECT_TRUE(text.SetInputData("345", 5, FALSE)); // overwrites "2" and grows
    EXPECT_STREQ(text.GetInput(), "Xabc1345");
    EXPECT_TRUE(text.SetInputData("-", 0, TRUE));
    EXPECT_STREQ(text.GetFullText(), "[-Xabc1345]");
}

TEST(MaskedText, DeleteRangeNeverSplitsALineBreak)
{
    struct {
        const char* input;
        int start, end;
        int count;
        const char* after;
        int startAfter;
    } cases[] = {
        {"abcd", 2, 4, 2, "<ad>", 2},
        {"abcd", 0, 2, 1, "<bcd>", 0}, // the left literal is not touched
        {"abcd", 4, 7, 1, "<abc>", 4},
        {"abcd", 0, 1, 0, "<abcd>", 0},          // only literals selected
        {"a\r\nb", 3, 4, 2, "<ab>", 2},          // the LF takes its CR; start moves back
        {"a\r\nb", 2, 3, 2, "<ab>", 2},          // the CR takes its LF
        {"a\r\nb\r\nc", 3, 6, 3, "<a\r\nc>", 3}, // LF .. CR: the outer halves pair up
        {"a\r\nb\r\nc", 3, 7, 5, "<ac>", 2},     // starts inside a pair
        {"a\r\nb\r\nc", 2, 6, 5, "<ac>", 2},     // ends inside a pair
        {"a\r\nb", 2, 4, 2, "<ab>", 2},          // the whole pair: nothing more
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(testing::Message() << c.start << ".." << c.end);
        CMaskedText text;
        ASSERT_TRUE(text.SetMask("<#>"));
        text.SetInput(c.input);
        int start = c.start, end = c.end;
        EXPECT_EQ(text.DeleteRange(start, end), c.count);
        EXPECT_STREQ(text.GetFullText(), c.after);
        EXPECT_EQ(start, c.startAfter);
    }
}

} // namespace
