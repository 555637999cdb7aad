// The grid control driven through real input: clicks, typing, keys, tabs, comments,
// scrolling, and every edit reaching the host through its veto.
#include <gtest/gtest.h>

#include <cmath>

#include "tests/propgrid/grid_fixture.h"

namespace {

using Check = bool (*)(const AllKindsHost&);

struct EditCase {
    const char* row;
    int page;
    const char* typed;
    const char* member; // name the host is asked with; null: not asked
    Check check;
};

const EditCase kEdits[] = {
    {"Count", 0, "2*60", "count", [](const AllKindsHost& h) { return h.count == 120; }},
    {"Count", 0, "0x10", "count", [](const AllKindsHost& h) { return h.count == 16; }},
    {"Count", 0, "-7.9", "count", [](const AllKindsHost& h) { return h.count == -7; }},
    {"Count", 0, "30 s", nullptr, [](const AllKindsHost& h) { return h.count == 30; }},
    {"Level", 0, "9", nullptr, [](const AllKindsHost& h) { return h.level == 4; }},
    {"Level", 0, "8", "level", [](const AllKindsHost& h) { return h.level == 8; }},
    {"Gain", 0, "0.25", "gain", [](const AllKindsHost& h) { return h.gain == 0.25f; }},
    {"Ratio", 0, "1/8", "ratio", [](const AllKindsHost& h) { return h.ratio == 0.125; }},
    {"Title", 0, "New & more", "title",
     [](const AllKindsHost& h) { return h.title == "New & more"; }},
    {"Colour", 0, "10 20 30", "colour",
     [](const AllKindsHost& h) { return h.colour == RGB(10, 20, 30); }},
    {"Colour", 0, "10,20,300", nullptr,
     [](const AllKindsHost& h) { return h.colour == RGB(255, 128, 0); }},
    {"File", 1, "D:\\x.wav", "file", [](const AllKindsHost& h) { return h.file == "D:\\x.wav"; }},
    {"Folder", 1, "D:\\out", "folder", [](const AllKindsHost& h) { return h.folder == "D:\\out"; }},
    {"Angle", 1, "12 30", "angle", [](const AllKindsHost& h) { return h.angle == 12.5; }},
    {"Angle", 1, "45\xB0" "15'36\"", "angle",
     [](const AllKindsHost& h) { return std::fabs(h.angle - 45.26) < 1e-9; }},
    {"Address", 1, "10.0.0.1", "address",
     [](const AllKindsHost& h) { return h.address == 0x0A000001u; }},
    {"Address", 1, "10.0.1", nullptr,
     [](const AllKindsHost& h) { return h.address == 0xC0A80001u; }},
};

TEST_F(GridTest, TypedEditsReachTheMembersThroughTheHost)
{
    for (const EditCase& c : kEdits) {
        SCOPED_TRACE(std::string(c.row) + " <- " + c.typed);
        TearDown();
        host = AllKindsHost();
        SetUp();
        if (c.page != 0)
            SwitchToPage(c.page);
        TypeInto(c.row, c.typed);
        EXPECT_TRUE(c.check(host));
        if (c.member != nullptr)
            EXPECT_EQ(host.asked, std::vector<std::string>{c.member});
        else
            EXPECT_TRUE(host.asked.empty());
        EXPECT_EQ(List().GetActiveProperty(), nullptr); // Enter commits and deselects
    }
}

TEST_F(GridTest, VetoedAndReadOnlyMembersKeepTheirValues)
{
    host.veto = &host.title;
    TypeInto("Title", "Refused");
    EXPECT_STREQ(host.title, "Title");
    EXPECT_EQ(host.asked, std::vector<std::string>{"title"});
    EXPECT_STREQ(static_cast<EIconTextButtonProperty*>(Row("Title"))->GetTextValue(), "Title");

    host.readOnly = &host.count;
    ClickRow("Count");
    auto* count = static_cast<EIconTextButtonProperty*>(Row("Count"));
    EXPECT_EQ(List().GetActiveProperty(), count);
    EXPECT_EQ(count->GetEditBox(), nullptr); // a disabled row opens no editor

    host.readOnly = &host.enabled;
    ClickRow("Enabled", 4 + 6); // on the check image
    Press(VK_SPACE);
    EXPECT_TRUE(host.enabled);
}

TEST_F(GridTest, InvalidNumberKeepsTheEditorUntilEscape)
{
    ClickRow("Count");
    auto* count = static_cast<EIconTextButtonProperty*>(Row("Count"));
    HWND edit = count->GetEditBox()->m_hWnd;
    ::SendMessage(edit, EM_SETSEL, 0, -1);
    PostChars(edit, "abc");
    PumpPending();
    Press(VK_RETURN);
    EXPECT_EQ(List().GetActiveProperty(), count); // refused: still open
    Press(VK_DOWN);
    EXPECT_EQ(List().GetActiveProperty(), count);
    Press(VK_ESCAPE);
    EXPECT_EQ(List().GetActiveProperty(), nullptr);
    EXPECT_EQ(host.count, 30);
    EXPECT_TRUE(host.asked.empty());
}

TEST_F(GridTest, SameTextWritesNothing)
{
    TypeInto("Count", "30 s");
    TypeInto("Title", "Title");
    EXPECT_TRUE(host.asked.empty());
}

TEST_F(GridTest, CheckToggledByImageClickAndSpaceOnly)
{
    ClickRow("Enabled", 60); // beside the image: selects only
    EXPECT_TRUE(host.enabled);
    EXPECT_EQ(List().GetActiveProperty(), Row("Enabled"));
    ::SetFocus(List().m_hWnd);
    Press(VK_SPACE);
    EXPECT_FALSE(host.enabled);
    ClickRow("Enabled", 4 + 6); // the image
    EXPECT_TRUE(host.enabled);
    EXPECT_EQ(host.asked, (std::vector<std::string>{"enabled", "enabled"}));
}

TEST_F(GridTest, ComboChoiceArrivesAsMenuCommand)
{
    ClickRow("Quality");
    EXPECT_NE(static_cast<EIconTextButtonProperty*>(Row("Quality"))->GetButton(), nullptr);
    // The popup menu's items are 602 + index; choosing "Low" (value 0):
    List().SendMessage(WM_COMMAND, MAKEWPARAM(602, 0));
    EXPECT_EQ(host.quality, 0);
    List().SendMessage(WM_COMMAND, MAKEWPARAM(602, 0)); // same value: not asked again
    EXPECT_EQ(host.asked, std::vector<std::string>{"quality"});
}

TEST_F(GridTest, KeysMoveTheSelectionAndCommit)
{
    ClickRow("Level");
    Press(VK_NEXT);
    EXPECT_EQ(List().GetActiveProperty(), Row("Enabled"));
    Press(VK_UP);
    EXPECT_EQ(List().GetActiveProperty(), Row("Ratio"));
    Press(VK_TAB);
    Press(VK_TAB);
    EXPECT_EQ(List().GetActiveProperty(), Row("Title"));
    HWND edit = static_cast<EIconTextButtonProperty*>(Row("Title"))->GetEditBox()->m_hWnd;
    ::SendMessage(edit, EM_SETSEL, 0, -1);
    PostChars(edit, "Moved");
    PumpPending();
    Press(VK_NEXT);
    Press(VK_NEXT);
    Press(VK_NEXT); // past the last row: commits and leaves no row selected
    EXPECT_EQ(List().GetActiveProperty(), nullptr);
    EXPECT_STREQ(host.title, "Moved");
}

TEST_F(GridTest, ClickBelowTheRowsCommitsAndDeselects)
{
    ClickRow("Title");
    HWND edit = static_cast<EIconTextButtonProperty*>(Row("Title"))->GetEditBox()->m_hWnd;
    ::SendMessage(edit, EM_SETSEL, 0, -1);
    PostChars(edit, "Below");
    PumpPending();
    CRect client;
    List().GetClientRect(&client);
    Click(List().m_hWnd, 150, client.bottom - 2);
    EXPECT_EQ(List().GetActiveProperty(), nullptr);
    EXPECT_STREQ(host.title, "Below");
}

TEST_F(GridTest, PagesTabsAndRefillKeepThePage)
{
    CTabCtrl& tabs = grid->GetTabCtrl();
    ASSERT_EQ(tabs.GetItemCount(), 2);
    EXPECT_TRUE(tabs.IsWindowVisible());
    SwitchToPage(1);
    EXPECT_EQ(List().GetList().GetCurrentPageIndex(), 1);
    EXPECT_NE(List().GetVisibleRows().front()->GetName().Find("Notes"), -1);

    // A host whose pages have the same names (other case) keeps the user on "Extra".
    struct Renamed : AllKindsHost {
        void FillProperties(EPropList* l) override
        {
            l->AddPage("GENERAL");
            l->AddInt(this, "x", &count);
            l->AddPage("extra");
            l->AddInt(this, "y", &count);
        }
    } renamed;
    grid->SetPropertyHost(&renamed);
    EXPECT_EQ(List().GetList().GetCurrentPageIndex(), 1);
    EXPECT_EQ(tabs.GetCurSel(), 1);

    // Invalid text refuses a change of tab.
    grid->SetPropertyHost(&host);
    SwitchToPage(0);
    ClickRow("Count");
    HWND edit = static_cast<EIconTextButtonProperty*>(Row("Count"))->GetEditBox()->m_hWnd;
    ::SendMessage(edit, EM_SETSEL, 0, -1);
    PostChars(edit, "zz");
    PumpPending();
    SwitchToPage(1);
    EXPECT_EQ(tabs.GetCurSel(), 0);
    EXPECT_EQ(List().GetList().GetCurrentPageIndex(), 0);

    // One implicit page: no tab strip, and "NO PROPERTIES" for an empty host.
    AllKindsHost single;
    single.onePage = true;
    grid->SetPropertyHost(&single);
    EXPECT_FALSE(tabs.IsWindowVisible());
    EXPECT_EQ(tabs.GetItemCount(), 0);
}

TEST_F(GridTest, CommentsFollowTheSelectionAndThePaneResizes)
{
    CString title;
    EXPECT_STREQ(List().GetComment(&title), "Everything a host can show");
    ClickRow("Count");
    EXPECT_STREQ(List().GetComment(&title), "How many");
    EXPECT_STREQ(title, "Count");

    CRect client;
    grid->GetClientRect(&client);
    ASSERT_EQ(grid->GetCommentHeight(), 24);
    EXPECT_EQ(grid->GetSplitterBand().Height(), 8);
    EXPECT_EQ(grid->GetSplitterBand().bottom, client.bottom - 24);
    CPoint band = grid->GetSplitterBand().CenterPoint();
    grid->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(band.x, band.y));
    grid->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(band.x, client.bottom - 40));
    EXPECT_EQ(grid->GetCommentHeight(), 32);
    grid->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(band.x, client.bottom - 16));
    EXPECT_EQ(grid->GetCommentHeight(), 0);
    grid->SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(band.x, client.bottom - 60));
    grid->SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(band.x, client.bottom - 60));
    EXPECT_EQ(grid->GetCommentHeight(), 58); // (56 / 13) rows of 13 plus 6
    Click(grid->GetCommentPane().m_hWnd, 5, 5);
    EXPECT_EQ(grid->GetCommentHeight(), 0);
}

// Without the comment the list fills the control; setting the height it already has lays
// nothing out again.
TEST_F(GridTest, HiddenCommentAndAnUnchangedHeight)
{
    CRect client, list;
    grid->GetClientRect(&client);
    auto listRect = [&] {
        CRect r;
        List().GetWindowRect(&r);
        grid->ScreenToClient(&r);
        return r;
    };
    CRect tabRect;
    grid->GetTabCtrl().GetWindowRect(&tabRect);
    const int tabs = grid->GetTabCtrl().IsWindowVisible() ? tabRect.Height() : 0;
    grid->ShowComment(false);
    PumpPending();
    list = listRect();
    EXPECT_EQ(list.Height(), client.Height() - tabs);
    EXPECT_EQ(grid->GetSplitterBand().Height(), 0);
    EXPECT_FALSE(grid->GetCommentPane().IsWindowVisible());

    grid->ShowComment(true);
    PumpPending();
    EXPECT_EQ(listRect().Height(), client.Height() - tabs - 8 - 24);
    // Moved aside by hand: an equal height leaves it there, another one lays out.
    List().MoveWindow(0, 0, 50, 50);
    grid->SetCommentHeight(24);
    EXPECT_EQ(listRect().Height(), 50);
    grid->SetCommentHeight(32);
    EXPECT_EQ(listRect().Height(), client.Height() - tabs - 8 - 32);
    EXPECT_TRUE(grid->GetCommentPane().IsWindowVisible());
}

TEST_F(GridTest, ScrollingKeepsTheActiveRowInView)
{
    grid->MoveWindow(10, 10, 300, 200);
    PumpPending();
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    List().GetScrollInfo(SB_VERT, &si);
    EXPECT_GT(si.nMax, static_cast<int>(si.nPage)); // rows taller than the window
    ClickRow("Count");
    Press(VK_NEXT);
    Press(VK_NEXT);
    Press(VK_NEXT); // down to "Colour"
    ASSERT_EQ(List().GetActiveProperty(), Row("Colour"));
    int pos = List().GetScrollPos(SB_VERT);
    EXPECT_GT(pos, 0);
    CRect client;
    List().GetClientRect(&client);
    EXPECT_LE(Row("Colour")->GetValueRect().bottom - pos, client.bottom);
    List().SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    EXPECT_EQ(List().GetScrollPos(SB_VERT), pos - 8);
}

TEST_F(GridTest, ColumnBoundaryDragsToZero)
{
    List().RedrawWindow();
    CPoint split = List().GetSplitterRect().CenterPoint();
    List().SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(split.x, split.y));
    List().SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(split.x - 500, split.y));
    List().SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(0, split.y));
    EXPECT_EQ(List().GetNameColumnWidth(), 0);
    List().RedrawWindow(); // names shorten to nothing without looping
}

// A host whose rows come from a child; the parent hears of each committed change.
struct ParentHost : IPropertyHost {
    AllKindsHost child;
    std::vector<void*> told;
    void FillProperties(EPropList* l) override { l->AddChildHost(this, &child); }
    bool OnPropertyChange(void* p, void* v) override
    {
        if (v == nullptr)
            told.push_back(p);
        return true;
    }
};

TEST_F(GridTest, ParentHostHearsOfChildEdits)
{
    ParentHost parent;
    parent.child.onePage = true;
    grid->SetPropertyHost(&parent);
    TypeInto("Title", "Child title");
    EXPECT_STREQ(parent.child.title, "Child title");
    EXPECT_EQ(parent.told, std::vector<void*>{&parent.child.title});
}

TEST_F(GridTest, TextBlockPopupCommitsOnOkAndDropsOnEscape)
{
    SwitchToPage(1);
    ClickRow("Notes");
    auto* notes = static_cast<EPropertyTextblock*>(Row("Notes"));
    ASSERT_NE(notes->GetButton(), nullptr);
    notes->GetButton()->SendMessage(BM_CLICK);
    PumpPending();
    ASSERT_NE(notes->GetPopup(), nullptr);
    notes->GetButton()->SendMessage(BM_CLICK); // a second press while open does nothing
    EXPECT_EQ(List().GetActiveProperty(), notes); // the button keeps the row open
    EXPECT_STREQ(CString(notes->GetPopup()->GetText()), "first\nsecond");
    notes->GetPopup()->GetEdit().SetWindowText("one\r\ntwo");
    HWND ok = ::GetDlgItem(notes->GetPopup()->m_hWnd, 2);
    ::SendMessage(ok, BM_CLICK, 0, 0);
    PumpPending();
    EXPECT_EQ(notes->GetPopup(), nullptr);
    EXPECT_STREQ(host.notes, "one\ntwo");

    notes->GetButton()->SendMessage(BM_CLICK);
    ASSERT_NE(notes->GetPopup(), nullptr);
    notes->GetPopup()->GetEdit().SetWindowText("dropped");
    Press(VK_ESCAPE); // focus is in the popup: not the list's key
    ::SetFocus(List().m_hWnd);
    Press(VK_ESCAPE);
    EXPECT_EQ(List().GetActiveProperty(), nullptr);
    EXPECT_EQ(notes->GetPopup(), nullptr);
    EXPECT_STREQ(host.notes, "one\ntwo");
}

TEST_F(GridTest, AngleStyleFromTheContextMenuCommand)
{
    SwitchToPage(1);
    ClickRow("Angle");
    CPoint pt = ValuePoint(Row("Angle"));
    List().ClientToScreen(&pt);
    // The menu is modal; its chosen item arrives as 680 + index. Open it, then close it.
    ::PostMessage(List().m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0);
    List().SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(List().m_hWnd),
                       MAKELPARAM(pt.x, pt.y));
    List().SendMessage(WM_COMMAND, MAKEWPARAM(680, 0));
    EXPECT_EQ(host.angleStyle, 0);
    CString text;
    static_cast<EIconTextButtonProperty*>(Row("Angle"))->GetEditBox()->GetWindowText(text);
    EXPECT_STREQ(text, "-12.500000\xB0");
}

} // namespace

namespace {

TEST_F(GridTest, ScrollMessagesStepByTheirAmounts)
{
    grid->MoveWindow(10, 10, 60, 200); // narrower and shorter than the rows
    PumpPending();
    struct Case {
        UINT message;
        UINT code;
        int thumb;
        int bar;
        int expected;
    };
    const Case cases[] = {
        {WM_HSCROLL, SB_LINELEFT, 0, SB_HORZ, 0}, // below 0: ignored
        {WM_HSCROLL, SB_LINERIGHT, 0, SB_HORZ, 5},
        {WM_HSCROLL, SB_PAGERIGHT, 0, SB_HORZ, 25},
        {WM_HSCROLL, SB_THUMBTRACK, 12, SB_HORZ, 12},
        {WM_VSCROLL, SB_LINEDOWN, 0, SB_VERT, 8},
        {WM_VSCROLL, SB_PAGEDOWN, 0, SB_VERT, 32},
        {WM_VSCROLL, SB_LINEUP, 0, SB_VERT, 24},
        {WM_VSCROLL, SB_THUMBPOSITION, 3, SB_VERT, 3},
        {WM_VSCROLL, SB_ENDSCROLL, 0, SB_VERT, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.message << " " << c.code);
        List().SendMessage(c.message, MAKEWPARAM(c.code, c.thumb), 0);
        EXPECT_EQ(List().GetScrollPos(c.bar), c.expected);
    }
}

} // namespace

namespace {

// Two text rows with the same look: the password "abc" and the plain text "***".
struct PasswordHost : IPropertyHost {
    CString secret = "abc";
    CString stars = "***";
    void FillProperties(EPropList* pList) override
    {
        pList->AddString(this, "Secret", &secret)->SetPassword(true);
        pList->AddString(this, "Stars", &stars);
    }
};

} // namespace

TEST(PasswordRow, DrawsAsterisksAndEditsInAPasswordBox)
{
    PasswordHost host;
    TestHostWnd window(300, 200);
    EPropCtrl grid;
    ASSERT_TRUE(grid.Create(&window, 51, CRect(0, 0, 300, 200)));
    grid.SetPropertyHost(&host);
    EPropListWnd& list = grid.GetListWnd();
    list.UpdateWindow();
    PumpPending();

    // The value cells of both rows hold the same pixels.
    const std::vector<EProperty*>& rows = list.GetVisibleRows();
    ASSERT_EQ(rows.size(), 2u);
    const CRect a = rows[0]->GetValueRect(), b = rows[1]->GetValueRect();
    const int x0 = list.GetNameColumnWidth() + 6 + list.GetBorder();
    CClientDC dc(&list);
    int differing = 0, inked = 0;
    for (int y = 2; y < std::min(a.Height(), b.Height()) - 2; ++y)
        for (int x = x0; x < x0 + 60; ++x) {
            const COLORREF pa = ::GetPixel(dc, x, a.top + y), pb = ::GetPixel(dc, x, b.top + y);
            differing += pa != pb;
            inked += pa != ::GetPixel(dc, x0 + 200, a.top + y);
        }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(inked, 0) << "the password row draws something";

    // Its editor is a password box; typed text reaches the member.
    CPoint pt(x0 + 30, (a.top + a.bottom) / 2);
    Click(list.m_hWnd, pt.x, pt.y);
    PumpPending();
    auto* p = dynamic_cast<EIconTextButtonProperty*>(list.GetActiveProperty());
    ASSERT_NE(p, nullptr);
    ASSERT_NE(p->GetEditBox(), nullptr);
    EXPECT_NE(p->GetEditBox()->GetStyle() & ES_PASSWORD, 0u);
    ::SendMessage(p->GetEditBox()->m_hWnd, EM_SETSEL, 0, -1);
    PostChars(p->GetEditBox()->m_hWnd, "new one");
    PumpPending();
    PostKey(p->GetEditBox()->m_hWnd, VK_RETURN);
    PumpPending();
    EXPECT_EQ(host.secret, CString("new one"));
}
