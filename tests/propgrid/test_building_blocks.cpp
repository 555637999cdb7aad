// The hover button's faces, the listener, the empty page and the double click.
#include <gtest/gtest.h>

#include "tests/propgrid/grid_fixture.h"

namespace {

TEST(HoverButton, PressedFaceWinsOverHoverAndLeaveResets)
{
    TestHostWnd host;
    CHoverButton button;
    ASSERT_TRUE(button.Create("...", WS_CHILD | WS_VISIBLE | BS_OWNERDRAW, CRect(0, 0, 20, 19),
                              &host, 601));
    button.SetImage(GetBuiltinImage(EBuiltinImage::DotsButton));
    struct Step {
        const char* name;
        UINT message;
        WPARAM wParam;
        bool hovering;
        int frame;
    };
    const Step steps[] = {
        {"hover", WM_MOUSEHOVER, 0, true, 1},
        {"pressed while hovering", BM_SETSTATE, TRUE, true, 2},
        {"released", BM_SETSTATE, FALSE, true, 1},
        {"leave", WM_MOUSELEAVE, 0, false, 0},
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(s.name);
        button.SendMessage(s.message, s.wParam, 0);
        button.RedrawWindow();
        EXPECT_EQ(button.IsHovering(), s.hovering);
        EXPECT_EQ(button.GetLastFrame(), s.frame);
    }
}

struct CountingListener : IPropCtrlListener {
    int changed = 0;
    int emptyAsked = 0;
    void OnPropertyChanged() override { ++changed; }
    CString GetEmptyText() override
    {
        ++emptyAsked;
        return "nothing here";
    }
};

TEST_F(GridTest, ListenerHearsCommittedChangesOnly)
{
    CountingListener listener;
    grid->SetListener(&listener);
    TypeInto("Count", "31");
    host.veto = &host.title;
    TypeInto("Title", "Vetoed");
    ClickRow("Enabled", 4 + 6);
    EXPECT_EQ(listener.changed, 2);

    struct Empty : IPropertyHost {
    } empty;
    grid->SetPropertyHost(&empty);
    List().RedrawWindow();
    EXPECT_GE(listener.emptyAsked, 1);
}

TEST_F(GridTest, DoubleClickNeitherSelectsNorToggles)
{
    CPoint pt = ValuePoint(Row("Enabled"), 4 + 6);
    List().SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(pt.x, pt.y));
    EXPECT_EQ(List().GetActiveProperty(), nullptr);
    EXPECT_TRUE(host.enabled);
}

} // namespace

namespace {

TEST(GridLifetime, HundredGridsWithOpenEditorsLeakNoGdiObjects)
{
    TestHostWnd window(420, 560);
    AllKindsHost host;
    auto cycle = [&] {
        EPropCtrl grid;
        ASSERT_TRUE(grid.Create(&window, 7, CRect(0, 0, 400, 500)));
        grid.ShowComment(true);
        grid.SetPropertyHost(&host);
        EPropListWnd& list = grid.GetListWnd();
        list.RedrawWindow();
        list.Select(list.GetVisibleRows()[9], false, false); // colour: edit box and button
        grid.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
        grid.DestroyWindow();
        AfxGetApp()->OnIdle(0);
    };
    cycle();
    DWORD before = GdiObjectCount();
    for (int i = 0; i < 100; ++i)
        cycle();
    EXPECT_LE(GdiObjectCount(), before + 2);
}

} // namespace

namespace {

TEST_F(GridTest, WindowsCarryTheirClassNamesAndTabsTheirImages)
{
    struct Case {
        CWnd* wnd;
        const char* text;
    };
    const Case cases[] = {{grid.get(), "EPropCtrl"},
                          {&grid->GetListWnd(), "EPropListWnd"},
                          {&grid->GetCommentPane(), "ECommentPane"}};
    for (const Case& c : cases) {
        CString text;
        c.wnd->GetWindowText(text);
        EXPECT_STREQ(text, c.text);
    }
    std::unique_ptr<CObject> made(CRuntimeClass::CreateObject("EPropListWnd"));
    ASSERT_NE(made, nullptr);
    EXPECT_TRUE(made->IsKindOf(RUNTIME_CLASS(EPropWnd)));

    // The second page was added with data 2: its tab asks for image 2, the first for none.
    TCITEM item{};
    item.mask = TCIF_IMAGE;
    ASSERT_TRUE(grid->GetTabCtrl().GetItem(1, &item));
    EXPECT_EQ(item.iImage, 2);
    ASSERT_TRUE(grid->GetTabCtrl().GetItem(0, &item));
    EXPECT_EQ(item.iImage, -1);
}

} // namespace

namespace {

// A custom row as an application adds one: text with an edit box and a "..." button.
class CustomRow : public EIconTextButtonProperty {
public:
    CustomRow(IPropertyHost* host, CString* member)
        : EIconTextButtonProperty(host, "Custom", member, true)
    {
    }
    std::vector<int> commands;
    bool OnCommand(EPropWnd*, WPARAM wParam, LPARAM) override
    {
        commands.push_back(LOWORD(wParam));
        return false;
    }
    bool HasButton() override { return true; }
    bool HasEditBox() override { return true; }
    CString GetTextValue() override { return *static_cast<CString*>(m_pProperty); }
};

struct CustomHost : AllKindsHost {
    CustomRow* row = nullptr;
    void FillProperties(EPropList* l) override
    {
        row = static_cast<CustomRow*>(l->AddProperty(new CustomRow(this, &title)));
    }
};

TEST_F(GridTest, ButtonClickKeepsTheEditOpenAndUncommitted)
{
    CustomHost custom;
    grid->SetPropertyHost(&custom);
    ClickRow("Custom");
    HWND edit = custom.row->GetEditBox()->m_hWnd;
    ::SetFocus(edit);
    ::SendMessage(edit, EM_SETSEL, 0, -1);
    PostChars(edit, "typed");
    PumpPending();
    HWND button = custom.row->GetButton()->m_hWnd;
    Click(button, 3, 3);
    PumpPending();
    EXPECT_EQ(::GetFocus(), button); // the edit box lost the focus to its own button
    EXPECT_EQ(custom.row->commands, std::vector<int>{601});
    EXPECT_EQ(List().GetActiveProperty(), custom.row);
    ASSERT_NE(custom.row->GetEditBox(), nullptr);
    CString text;
    custom.row->GetEditBox()->GetWindowText(text);
    EXPECT_STREQ(text, "typed");
    EXPECT_TRUE(custom.asked.empty());
    EXPECT_STREQ(custom.title, "Title");
}

} // namespace
