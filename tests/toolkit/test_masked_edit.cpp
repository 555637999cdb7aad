// The masked edit as a real edit window: typed characters, editing keys, clicks, cut and paste,
// the window text, the text limit, multi-line breaks and the colours it paints with.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/framework_ui/ui_test_support.h"
#include "toolkit/controls/masked_edit/ox_edit.h"

namespace
{

constexpr UINT kEditId = 101;

class MaskedEditTest : public ::testing::Test
{
protected:
    void SetUp() override { window = std::make_unique<TestHostWnd>(); }
    void TearDown() override
    {
        edit.reset();
        window.reset();
    }

    void Create(const char* mask, DWORD extraStyle = 0)
    {
        edit = std::make_unique<COXEdit>();
        ASSERT_TRUE(edit->SetMask(mask));
        ASSERT_TRUE(edit->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL | extraStyle,
                                 CRect(10, 10, 300, 120), window.get(), kEditId));
        edit->SetFocus();
        PumpPending();
    }
    void Type(const char* chars)
    {
        PostChars(edit->m_hWnd, chars);
        PumpPending();
    }
    void Key(UINT vk)
    {
        PostKey(edit->m_hWnd, vk);
        PumpPending();
    }
    std::string Shown() const
    {
        CString text;
        edit->GetWindowText(text);
        return static_cast<LPCSTR>(text);
    }
    std::string Input() const
    {
        CString text;
        edit->GetInputData(text);
        return static_cast<LPCSTR>(text);
    }
    int Caret() const
    {
        int s = 0, e = 0;
        edit->GetSel(s, e);
        EXPECT_EQ(s, e) << "a selection where a caret was expected";
        return e;
    }
    void Select(int s, int e) { edit->SetSel(s, e); }

    std::unique_ptr<TestHostWnd> window;
    std::unique_ptr<COXEdit> edit;
};

TEST_F(MaskedEditTest, TypingFillsOnlyTheInput)
{
    struct {
        const char* mask;
        const char* typed;
        const char* shown;
        int caret;
    } cases[] = {
        {"#", "hello", "hello", 5},
        {"(#)", "abc", "(abc)", 4},
        {"+1 (#) ext", "555", "+1 (555) ext", 7},
        {"(###)", "x", "(#x)", 3}, // "##" is a literal '#'
        {"#%", "42", "42%", 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mask);
        Create(c.mask);
        EXPECT_EQ(Caret(), edit->GetNextInputPosition(0));
        Type(c.typed);
        EXPECT_EQ(Shown(), c.shown);
        EXPECT_EQ(Caret(), c.caret);
    }
}

TEST_F(MaskedEditTest, EditingKeysStayInTheInput)
{
    Create("<#>");
    Type("abcd"); // "<abcd>", caret 5
    struct {
        const char* step;
        UINT vk; // a key, or 0 for a typed character
        char ch;
        int caretBefore; // -1: leave the caret as it is
        const char* shown;
        int caret;
    } steps[] = {
        {"Home skips the left literal", VK_HOME, 0, -1, "<abcd>", 1},
        {"Left at the first input position stays", VK_LEFT, 0, -1, "<abcd>", 1},
        {"End stops before the right literal", VK_END, 0, -1, "<abcd>", 5},
        {"Right at the end stays", VK_RIGHT, 0, -1, "<abcd>", 5},
        {"Backspace at the end", 0, '\b', -1, "<abc>", 4},
        {"Delete at the end removes nothing", VK_DELETE, 0, -1, "<abc>", 4},
        {"Delete at the start", VK_DELETE, 0, 1, "<bc>", 1},
        {"Backspace at the start removes nothing", 0, '\b', 1, "<bc>", 1},
        {"insert mode inserts", 0, 'x', 2, "<bxc>", 3},
        {"Insert key: overwrite mode", VK_INSERT, 0, 1, "<bxc>", 1},
        {"overwriting replaces", 0, 'y', 1, "<yxc>", 2},
        {"overwriting at the end is refused", 0, 'z', 4, "<yxc>", 4},
        {"Insert key again: insert mode appends", VK_INSERT, 0, -1, "<yxc>", 4},
        {"typing at the end appends", 0, 'z', 4, "<yxcz>", 5},
    };
    for (const auto& s : steps) {
        SCOPED_TRACE(s.step);
        if (s.caretBefore >= 0)
            Select(s.caretBefore, s.caretBefore);
        if (s.vk != 0) {
            Key(s.vk);
        } else {
            const char text[2] = {s.ch, 0};
            Type(text);
        }
        EXPECT_EQ(Shown(), s.shown);
        EXPECT_EQ(Caret(), s.caret);
    }
    EXPECT_TRUE(edit->IsInsertMode());
}

TEST_F(MaskedEditTest, SelectionsReplaceAndDeleteOnlyInput)
{
    Create("[#]");
    Type("abcdef"); // "[abcdef]"
    Select(0, 3);   // "[ab": the literal and two input characters
    Type("X");
    EXPECT_EQ(Shown(), "[Xcdef]");
    EXPECT_EQ(Caret(), 2);

    Select(3, 5); // "de"
    Key(VK_DELETE);
    EXPECT_EQ(Shown(), "[Xcf]");
    EXPECT_EQ(Caret(), 3);

    Select(0, 1); // the left literal only: typing is refused
    Type("Q");
    EXPECT_EQ(Shown(), "[Xcf]");

    Select(2, 4); // "cf" then cut
    edit->SendMessage(WM_CUT);
    EXPECT_EQ(Shown(), "[X]");
    EXPECT_EQ(Caret(), 2);
}

TEST_F(MaskedEditTest, ClickOnALiteralPutsTheCaretIntoTheInput)
{
    Create("Total: # kg");
    Type("12");
    Select(8, 8);
    Click(edit->m_hWnd, 2, 5); // over "T"
    PumpPending();
    EXPECT_EQ(Caret(), 7);
}

void PutOnClipboard(HWND owner, const char* text)
{
    ASSERT_TRUE(::OpenClipboard(owner));
    ::EmptyClipboard();
    const size_t n = strlen(text) + 1;
    HGLOBAL mem = ::GlobalAlloc(GMEM_MOVEABLE, n);
    memcpy(::GlobalLock(mem), text, n);
    ::GlobalUnlock(mem);
    ::SetClipboardData(CF_TEXT, mem);
    ::CloseClipboard();
}

TEST_F(MaskedEditTest, PasteTakesTheLiteralsOffAgain)
{
    Create("<#>");
    Type("abcd");
    PutOnClipboard(edit->m_hWnd, "xy");
    Select(3, 3); // without a selection the literals must not become input
    edit->SendMessage(WM_PASTE);
    EXPECT_EQ(Shown(), "<abxycd>");
    EXPECT_EQ(Input(), "abxycd");

    Select(2, 5); // "bxy"
    edit->SendMessage(WM_PASTE);
    EXPECT_EQ(Shown(), "<axycd>");
    EXPECT_EQ(Caret(), 2);

    Select(0, 8); // everything, literals included
    edit->SendMessage(WM_PASTE);
    EXPECT_EQ(Shown(), "<xy>");
}

TEST_F(MaskedEditTest, WindowTextSetsTheInput)
{
    Create("#");
    edit->SetWindowText("hello");
    EXPECT_EQ(Shown(), "hello");
    EXPECT_EQ(Input(), "hello");
    Select(3, 3);
    Key(VK_HOME);
    EXPECT_EQ(Caret(), 0);

    ASSERT_TRUE(edit->SetMask("ID-#"));
    edit->SetWindowText("7");
    EXPECT_EQ(Shown(), "ID-7");
    EXPECT_FALSE(edit->SetMask("##"));
    EXPECT_EQ(edit->GetMask(), "ID-#");
    EXPECT_EQ(Shown(), "ID-7");
}

TEST_F(MaskedEditTest, InputBeyondTheTextLimitIsUndone)
{
    Create("(#)");
    edit->SetLimitText(3);
    Type("abcd");
    EXPECT_EQ(Shown(), "(abc)");
    EXPECT_EQ(Input(), "abc");
    Select(1, 1);
    Type("z");
    EXPECT_EQ(Input(), "abc");
}

TEST_F(MaskedEditTest, MultiLineBreaksAreNeverSplit)
{
    Create("#", ES_MULTILINE | ES_WANTRETURN);
    Type("a\rb");
    EXPECT_EQ(Shown(), "a\r\nb");
    Select(3, 3); // after the LF
    Type("\b");
    EXPECT_EQ(Shown(), "ab");
    EXPECT_EQ(Caret(), 1);
    Type("\n"); // Ctrl+Enter is a line break too
    EXPECT_EQ(Shown(), "a\r\nb");
    Select(1, 1); // before the CR
    Key(VK_DELETE);
    EXPECT_EQ(Shown(), "ab");
}

TEST_F(MaskedEditTest, SingleLineLeavesControlCharactersToTheEdit)
{
    Create("#");
    Type("a\rb\nc");
    EXPECT_EQ(Shown(), "abc");
}

TEST_F(MaskedEditTest, ReadOnlyAndDisabledColours)
{
    Create("<#>");
    Type("ab");
    edit->SetTextColor(RGB(1, 2, 3));
    edit->SetBkColor(RGB(4, 5, 6));
    edit->SetReadOnlyTextColor(RGB(7, 8, 9));
    edit->SetReadOnlyBkColor(RGB(10, 11, 12));
    HDC dc = ::GetDC(edit->m_hWnd);
    struct {
        const char* state;
        bool readOnly, enabled;
        COLORREF text, back;
    } cases[] = {
        {"normal", false, true, RGB(1, 2, 3), RGB(4, 5, 6)},
        {"read-only", true, true, RGB(7, 8, 9), RGB(10, 11, 12)},
        {"disabled", false, false, ::GetSysColor(COLOR_GRAYTEXT), ::GetSysColor(COLOR_BTNFACE)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.state);
        edit->SetReadOnly(c.readOnly);
        edit->EnableWindow(c.enabled);
        const UINT msg = c.readOnly || !c.enabled ? WM_CTLCOLORSTATIC : WM_CTLCOLOREDIT;
        auto brush = reinterpret_cast<HBRUSH>(
            ::SendMessage(window->m_hWnd, msg, reinterpret_cast<WPARAM>(dc),
                          reinterpret_cast<LPARAM>(edit->m_hWnd)));
        LOGBRUSH lb{};
        ASSERT_EQ(::GetObject(brush, sizeof(lb), &lb), static_cast<int>(sizeof(lb)));
        EXPECT_EQ(lb.lbColor, c.back);
        EXPECT_EQ(::GetTextColor(dc), c.text);
        EXPECT_EQ(::GetBkColor(dc), c.back);
    }
    ::ReleaseDC(edit->m_hWnd, dc);

    edit->SetReadOnly(TRUE);
    edit->SetFocus();
    Select(3, 3);
    Type("x");
    Key(VK_DELETE);
    Type("\b");
    EXPECT_EQ(Shown(), "<ab>");
}

TEST_F(MaskedEditTest, SubclassedEditKeepsItsTextAsInput)
{
    HWND hEdit =
        ::CreateWindowEx(0, "EDIT", "abc", WS_CHILD | WS_VISIBLE | WS_BORDER, 10, 10, 200, 24,
                         window->m_hWnd, reinterpret_cast<HMENU>(kEditId), nullptr, nullptr);
    ASSERT_NE(hEdit, nullptr);
    edit = std::make_unique<COXEdit>();
    ASSERT_TRUE(edit->SetMask("[#]"));
    ASSERT_TRUE(edit->SubclassWindow(hEdit));
    EXPECT_EQ(Shown(), "[abc]");
    EXPECT_EQ(Input(), "abc");
    // Tabbing in selects everything; the caret goes to the first input position instead.
    Select(0, -1);
    ::SetFocus(window->m_hWnd);
    Select(0, -1);
    edit->SetFocus();
    PumpPending();
    EXPECT_EQ(Caret(), 1);
}

} // namespace
