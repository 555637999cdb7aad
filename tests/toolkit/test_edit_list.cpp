// The edit list with real keys and clicks: names typed into the empty last row, cleared rows
// removed, duplicates refused with the message box, Delete and Alt+Up/Alt+Down with their
// limits, the mini toolbar's buttons and their command states, the caption strip at its twelve
// places, and a sort that keeps the empty row last.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "tests/framework_ui/ui_test_support.h"
#include "toolkit/controls/editlist/edit_list.h"

namespace {

constexpr UINT kListId = 77;

std::vector<std::string> Rows(COXEditList& list)
{
    std::vector<std::string> rows;
    for (int i = 0; i < list.GetItemCount(); ++i)
        rows.emplace_back(static_cast<LPCTSTR>(list.GetItemText(i, 0)));
    return rows;
}

class EditListTest : public ::testing::Test {
protected:
    void Make(int nPosition, BOOL bAllowDuplicates, BOOL bAllowMove,
              std::vector<const char*> names = {})
    {
        host = std::make_unique<TestHostWnd>(560, 420);
        list = std::make_unique<COXEditList>(nPosition, bAllowDuplicates, bAllowMove);
        ASSERT_TRUE(list->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT |
                                     LVS_OWNERDRAWFIXED | LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS,
                                 CRect(60, 60, 360, 300), host.get(), kListId));
        // Rows given before the deferred set-up go where they are asked to.
        for (size_t i = 0; i < names.size(); ++i)
            list->InsertItem(static_cast<int>(i), names[i]);
        ASSERT_TRUE(PumpUntil([this] { return list->IsListReady() != FALSE; }));
        ::SetForegroundWindow(SharedTopWindow());
        list->SetFocus();
        PumpPending();
    }
    void TearDown() override
    {
        list.reset();
        host.reset();
        PumpPending();
    }
    // A real click on a row's text.
    void ClickRow(int nItem)
    {
        CRect r;
        list->GetItemRect(nItem, &r, LVIR_BOUNDS);
        MouseClickAt(list->m_hWnd, r.left + 20, r.CenterPoint().y);
        PumpFor(50);
    }
    void Focus(int nItem)
    {
        list->SetItemState(-1, 0, LVIS_SELECTED);
        list->SetItemState(nItem, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
        list->SetFocus();
        PumpPending();
    }
    void AltKey(UINT vk)
    {
        InputKey(VK_MENU, true);
        InputKey(vk, true);
        InputKey(vk, false);
        InputKey(VK_MENU, false);
        PumpFor(80);
    }
    bool Editing() const { return list->SendMessage(LVM_GETEDITCONTROL) != 0; }
    void TypeAndEnter(const char* text)
    {
        TypeKeys(text);
        KeyPress(VK_RETURN);
        PumpUntil([this] { return !Editing(); });
        PumpFor(50);
    }

    std::unique_ptr<TestHostWnd> host;
    std::unique_ptr<COXEditList> list;
};

TEST_F(EditListTest, TypedNameBecomesARowWithItsImageAndANewEmptyRowFollows)
{
    Make(-1, TRUE, TRUE);
    // Two small images: the named rows take the second.
    CImageList images;
    ASSERT_TRUE(images.Create(16, 16, ILC_COLOR24, 2, 0));
    HBITMAP hbm = ::CreateBitmap(32, 16, 1, 32, nullptr);
    ImageList_Add(images, hbm, nullptr);
    list->SetImageList(&images, LVSIL_SMALL);
    ASSERT_EQ(Rows(*list), std::vector<std::string>({""}));

    TypeAndEnter("alpha");
    EXPECT_EQ(Rows(*list), std::vector<std::string>({"alpha", ""}));
    LVITEM item{};
    item.mask = LVIF_IMAGE;
    item.iItem = 0;
    ASSERT_TRUE(list->GetItem(&item));
    EXPECT_EQ(item.iImage, 1);
    EXPECT_EQ(list->GetFocusedItem(), 1) << "the new empty row takes the focus";

    TypeAndEnter("beta");
    EXPECT_EQ(Rows(*list), std::vector<std::string>({"alpha", "beta", ""}));

    // Clearing a name removes its row.
    Focus(0);
    KeyPress(VK_INSERT);
    ASSERT_TRUE(PumpUntil([this] { return Editing(); }));
    KeyPress(VK_HOME);
    KeyPress(VK_END, true);
    KeyPress(VK_DELETE);
    KeyPress(VK_RETURN);
    PumpUntil([this] { return !Editing(); });
    PumpFor(50);
    EXPECT_EQ(Rows(*list), std::vector<std::string>({"beta", ""}));
    list->SetImageList(nullptr, LVSIL_SMALL);
    ::DeleteObject(hbm);
}

TEST_F(EditListTest, DuplicateNameIsRefusedWithTheMessageAndTheOldNameComesBack)
{
    Make(-1, FALSE, TRUE, {"north", "south"});
    struct Case {
        int row;
        const char* typed;
        bool refused;
        std::vector<std::string> after;
    } cases[] = {
        {1, "north", true, {"north", "south", ""}},
        {0, "north", false, {"north", "south", ""}}, // its own unchanged name
        {2, "south", true, {"north", "south", ""}},  // the empty row stays empty
        {1, "west", false, {"north", "west", ""}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        struct Seen {
            std::string text;
        } seen;
        Focus(c.row);
        KeyPress(VK_INSERT);
        ASSERT_TRUE(PumpUntil([this] { return Editing(); }));
        KeyPress(VK_HOME);
        KeyPress(VK_END, true);
        {
            DialogAnswerer answer(
                [](HWND hBox, void* context) {
                    char text[256] = {};
                    ::GetDlgItemTextA(hBox, 0xFFFF, text, sizeof(text));
                    static_cast<Seen*>(context)->text = text;
                    ::SetForegroundWindow(hBox);
                    SendKeys({VK_RETURN});
                },
                &seen, "#32770", c.refused ? 15000 : 1500);
            TypeAndEnter(c.typed);
            PumpUntil([&] { return answer.Answered(); }, c.refused ? 600 : 60);
            EXPECT_EQ(answer.Answered(), c.refused);
        }
        PumpFor(100);
        if (c.refused) {
            EXPECT_EQ(seen.text, "This item is already part of the list, please use another name");
        }
        EXPECT_EQ(Rows(*list), c.after);
    }
}

TEST_F(EditListTest, DeleteAndAltArrowsWorkWithoutToolbarAndKeepTheEmptyRowLast)
{
    Make(-1, TRUE, TRUE, {"a", "b", "c"});
    struct Step {
        int focus;
        UINT key; // VK_DELETE, or an arrow pressed with Alt
        std::vector<std::string> after;
        int focusAfter;
    } steps[] = {
        {0, VK_DOWN, {"b", "a", "c", ""}, 1},
        {2, VK_DOWN, {"b", "a", "c", ""}, 2}, // the second-to-last row stays
        {2, VK_UP, {"b", "c", "a", ""}, 1},
        {0, VK_UP, {"b", "c", "a", ""}, 0}, // the first row stays
        {3, VK_UP, {"b", "c", "a", ""}, 3}, // the empty row never moves
        {3, VK_DELETE, {"b", "c", "a", ""}, 3},
        {1, VK_DELETE, {"b", "a", ""}, 1},
        {1, VK_DELETE, {"b", ""}, 0}, // the focus goes to the row before the empty one
    };
    for (const Step& s : steps) {
        SCOPED_TRACE(::testing::Message() << "focus " << s.focus << " key " << s.key);
        Focus(s.focus);
        if (s.key == VK_DELETE)
            KeyPress(VK_DELETE);
        else
            AltKey(s.key);
        EXPECT_EQ(Rows(*list), s.after);
        EXPECT_EQ(list->GetFocusedItem(), s.focusAfter);
    }
    // Deleting everything still leaves the empty row.
    EXPECT_TRUE(list->DeleteAllItems());
    EXPECT_EQ(Rows(*list), std::vector<std::string>({""}));
    EXPECT_FALSE(list->DeleteItem(0));
}

TEST_F(EditListTest, MiniToolbarButtonsCommandTheListAndFollowItsState)
{
    Make(1, TRUE, TRUE, {"one", "two", "three"});
    CMFCToolBar& bar = list->GetToolbar();
    ASSERT_TRUE(bar.IsWindowVisible());
    ASSERT_EQ(bar.GetCount(), 4);
    auto clickButton = [&](UINT nID) {
        CRect r;
        bar.GetItemRect(bar.CommandToIndex(nID), &r);
        MouseClickAt(bar.m_hWnd, r.CenterPoint().x, r.CenterPoint().y);
        PumpFor(80);
    };
    auto enabled = [&](UINT nID) {
        AfxGetApp()->OnIdle(0); // the idle update of the command states
        return (bar.SendMessage(TB_ISBUTTONENABLED, nID) != 0);
    };

    Focus(3); // the empty row
    EXPECT_TRUE(enabled(ID_OX_EDITLIST_NEW));
    EXPECT_FALSE(enabled(ID_OX_EDITLIST_DELETE));
    EXPECT_FALSE(enabled(ID_OX_EDITLIST_MOVEUP));
    EXPECT_FALSE(enabled(ID_OX_EDITLIST_MOVEDOWN));

    Focus(1);
    EXPECT_TRUE(enabled(ID_OX_EDITLIST_DELETE));
    EXPECT_TRUE(enabled(ID_OX_EDITLIST_MOVEUP));
    EXPECT_TRUE(enabled(ID_OX_EDITLIST_MOVEDOWN));
    clickButton(ID_OX_EDITLIST_MOVEUP);
    EXPECT_EQ(Rows(*list), std::vector<std::string>({"two", "one", "three", ""}));
    clickButton(ID_OX_EDITLIST_MOVEDOWN);
    clickButton(ID_OX_EDITLIST_MOVEDOWN); // now second-to-last: refused
    EXPECT_EQ(Rows(*list), std::vector<std::string>({"one", "three", "two", ""}));
    EXPECT_FALSE(enabled(ID_OX_EDITLIST_MOVEDOWN));
    clickButton(ID_OX_EDITLIST_DELETE);
    EXPECT_EQ(Rows(*list), std::vector<std::string>({"one", "three", ""}));

    // New: the empty row opens for typing.
    clickButton(ID_OX_EDITLIST_NEW);
    ASSERT_TRUE(PumpUntil([this] { return Editing(); }));
    TypeAndEnter("four");
    EXPECT_EQ(Rows(*list), std::vector<std::string>({"one", "three", "four", ""}));
}

TEST_F(EditListTest, WithoutMovingTheToolbarKeepsNewAndDelete)
{
    Make(0, TRUE, FALSE, {"x", "y"});
    CMFCToolBar& bar = list->GetToolbar();
    EXPECT_EQ(bar.GetCount(), 2);
    EXPECT_EQ(bar.GetItemID(0), static_cast<UINT>(ID_OX_EDITLIST_NEW));
    EXPECT_EQ(bar.GetItemID(1), static_cast<UINT>(ID_OX_EDITLIST_DELETE));
    Focus(0);
    AltKey(VK_DOWN);
    EXPECT_EQ(Rows(*list), std::vector<std::string>({"x", "y", ""}));
}

TEST_F(EditListTest, CaptionStripSitsOnItsSideWithTheToolbarAtItsEnd)
{
    Make(0, TRUE, TRUE, {"x"});
    CRect listRect;
    list->GetWindowRect(&listRect);
    for (int pos = 0; pos < 12; ++pos) {
        SCOPED_TRACE(pos);
        list->PositionToolbar(pos);
        PumpPending();
        CRect strip, bar;
        list->GetHeaderStrip().GetWindowRect(&strip);
        list->GetToolbar().GetWindowRect(&bar);
        ASSERT_TRUE(list->GetHeaderStrip().IsWindowVisible());
        const int side = pos / 3, group = pos % 3;
        switch (side) {
        case 0:
            EXPECT_EQ(strip.bottom, listRect.top - 1);
            EXPECT_EQ(strip.Width(), listRect.Width());
            break;
        case 1:
            EXPECT_EQ(strip.top, listRect.bottom + 1);
            EXPECT_EQ(strip.Width(), listRect.Width());
            break;
        case 2:
            EXPECT_EQ(strip.right, listRect.left - 1);
            EXPECT_EQ(strip.Height(), listRect.Height());
            break;
        default:
            EXPECT_EQ(strip.left, listRect.right + 1);
            EXPECT_EQ(strip.Height(), listRect.Height());
            break;
        }
        // The toolbar inside the strip: one pixel in from the near end, centred, or one
        // pixel in from the far end.
        const bool horizontal = side < 2;
        const int nearGap = horizontal ? bar.left - strip.left : bar.top - strip.top;
        const int farGap = horizontal ? strip.right - bar.right : strip.bottom - bar.bottom;
        EXPECT_EQ(horizontal ? bar.top - strip.top : bar.left - strip.left, 1);
        if (group == 0) {
            EXPECT_EQ(nearGap, 1);
        } else if (group == 2) {
            EXPECT_EQ(farGap, 1);
        } else {
            EXPECT_LE(std::abs(nearGap - farGap), 1);
        }
        if (!horizontal) {
            EXPECT_GT(bar.Height(), bar.Width()) << "the buttons stand in a column";
        }
    }
    list->PositionToolbar(-1);
    PumpPending();
    EXPECT_FALSE(list->GetHeaderStrip().IsWindowVisible());
    EXPECT_FALSE(list->GetToolbar().IsWindowVisible());
}

TEST_F(EditListTest, SortOrdersNamesAndKeepsTheEmptyRowLast)
{
    Make(-1, TRUE, TRUE, {"pear", "Apple", "fig"});
    list->SetItemData(0, 11);
    list->SetItemData(1, 22);
    ASSERT_TRUE(list->SortColumn(0));
    EXPECT_EQ(Rows(*list), std::vector<std::string>({"Apple", "fig", "pear", ""}));
    EXPECT_EQ(list->GetItemData(0), 22u);
    EXPECT_EQ(list->GetItemData(2), 11u);
}

TEST(EditListHandles, CreateUseDestroyCyclesLeaveNoHandles)
{
    TestHostWnd host(400, 300);
    auto cycle = [&] {
        COXEditList list(4, FALSE, TRUE);
        ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED,
                                CRect(40, 40, 300, 200), &host, kListId));
        list.InsertItem(0, "name");
        PumpUntil([&] { return list.IsListReady() != FALSE; });
        list.PositionToolbar(7);
        PumpPending();
        PumpPending();
    };
    cycle();
    const DWORD gdi = GdiObjectCount();
    const int windows = ThreadWindowCount();
    for (int i = 0; i < 20; ++i)
        cycle();
    EXPECT_EQ(ThreadWindowCount(), windows);
    EXPECT_LE(GdiObjectCount(), gdi + 2);
}

} // namespace
