// Header and list-view wrappers with real input: owner-drawn rows and header items drawn by
// the controls themselves, reflected notifications a control may pass on, the creation state
// PreSubclassWindow sees, and tooltips with their text requests.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/ui.h"
#include "tests/framework_ui/ui_test_support.h"

namespace {

constexpr UINT kListId = 7;

// Parent that logs the list notifications it gets.
class ListParent : public TestHostWnd {
public:
    std::vector<std::string> log;

protected:
    void OnColumnClick(NMHDR* h, LRESULT*)
    {
        log.push_back("parent column " +
                      std::to_string(reinterpret_cast<NMLISTVIEW*>(h)->iSubItem));
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(ListParent, TestHostWnd)
ON_NOTIFY(LVN_COLUMNCLICK, kListId, OnColumnClick)
END_MESSAGE_MAP()

// Paints its rows in one colour per row and its owner-drawn header item solid blue; may keep
// column clicks for itself.
class PaintingHeader : public CHeaderCtrl {
public:
    int draws = 0;
    void DrawItem(LPDRAWITEMSTRUCT dis) override
    {
        ++draws;
        ::FillRect(dis->hDC, &dis->rcItem, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    }
};

class PaintingList : public CListCtrl {
public:
    bool keepColumnClicks = false;
    std::vector<std::string>* log = nullptr;
    std::vector<int> drawnRows;
    int creatingSeen = -1;
    PaintingHeader header;

    void DrawItem(LPDRAWITEMSTRUCT dis) override
    {
        drawnRows.push_back(static_cast<int>(dis->itemID));
        COLORREF c = dis->itemID % 2 == 0 ? RGB(255, 0, 0) : RGB(0, 255, 0);
        HBRUSH b = ::CreateSolidBrush(c);
        ::FillRect(dis->hDC, &dis->rcItem, b);
        ::DeleteObject(b);
    }
    void PreSubclassWindow() override
    {
        creatingSeen = AfxIsWindowCreationUnderway() ? 1 : 0;
    }

protected:
    BOOL OnColumnClick(NMHDR* h, LRESULT*)
    {
        if (log != nullptr)
            log->push_back("list column " +
                           std::to_string(reinterpret_cast<NMLISTVIEW*>(h)->iSubItem));
        return keepColumnClicks;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(PaintingList, CListCtrl)
ON_NOTIFY_REFLECT_EX(LVN_COLUMNCLICK, OnColumnClick)
END_MESSAGE_MAP()

class ListCtrlTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED,
                                CRect(10, 10, 310, 210), &parent, kListId));
        list.log = &parent.log;
        list.InsertColumn(0, "Name", LVCFMT_LEFT, 120);
        list.InsertColumn(1, "Size", LVCFMT_RIGHT, 80);
        for (int i = 0; i < 3; ++i)
            list.InsertItem(i, "row");
        PumpPending();
    }
    void TearDown() override { list.DestroyWindow(); } // its header object goes first
    COLORREF PixelOf(HWND h, int x, int y)
    {
        ::RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        HDC dc = ::GetDC(h);
        COLORREF c = ::GetPixel(dc, x, y);
        ::ReleaseDC(h, dc);
        return c;
    }

    ListParent parent;
    PaintingList list;
};

TEST_F(ListCtrlTest, RowsAndOwnerDrawnHeaderItemsAreDrawnByTheirControls)
{
    CRect row;
    ASSERT_TRUE(list.GetItemRect(1, &row, LVIR_BOUNDS));
    EXPECT_EQ(PixelOf(list.m_hWnd, row.left + 5, row.CenterPoint().y), RGB(0, 255, 0));
    ASSERT_TRUE(list.GetItemRect(2, &row, LVIR_BOUNDS));
    EXPECT_EQ(PixelOf(list.m_hWnd, row.left + 5, row.CenterPoint().y), RGB(255, 0, 0));

    CHeaderCtrl* pHeader = list.GetHeaderCtrl();
    ASSERT_NE(pHeader, nullptr);
    ASSERT_TRUE(list.header.SubclassWindow(pHeader->m_hWnd));
    EXPECT_EQ(list.GetHeaderCtrl(), &list.header); // the permanent object, not a wrapper
    HDITEM item{};
    item.mask = HDI_FORMAT;
    item.fmt = HDF_OWNERDRAW;
    ASSERT_TRUE(list.header.SetItem(1, &item));
    CRect cell;
    ASSERT_TRUE(list.header.GetItemRect(1, &cell));
    EXPECT_EQ(PixelOf(list.header.m_hWnd, cell.CenterPoint().x, cell.CenterPoint().y),
              RGB(0, 0, 0));
    EXPECT_GE(list.header.draws, 1);
    ASSERT_TRUE(list.header.GetItemRect(0, &cell)); // not owner-drawn: the control's own look
    EXPECT_NE(PixelOf(list.header.m_hWnd, cell.left + 3, cell.top + 3), RGB(0, 0, 0));
}

TEST_F(ListCtrlTest, ReflectedNotificationReachesTheParentUnlessTheControlKeepsIt)
{
    // Different columns, so the second click is no double click.
    struct Case {
        bool keep;
        int column;
        std::vector<std::string> expected;
    } cases[] = {
        {false, 1, {"list column 1", "parent column 1"}},
        {true, 0, {"list column 0"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keep ? "kept" : "passed on");
        CRect cell;
        ASSERT_TRUE(list.GetHeaderCtrl()->GetItemRect(c.column, &cell));
        parent.log.clear();
        list.keepColumnClicks = c.keep;
        MouseClickAt(list.GetHeaderCtrl()->m_hWnd, cell.CenterPoint().x, cell.CenterPoint().y);
        PumpUntil([&] { return parent.log.size() >= c.expected.size(); });
        PumpFor(50);
        EXPECT_EQ(parent.log, c.expected);
    }
}

TEST_F(ListCtrlTest, ItemsColumnsAndSorting)
{
    std::string longText(700, 'x');
    longText += "end";
    ASSERT_TRUE(list.SetItemText(0, 1, longText.c_str()));
    EXPECT_EQ(std::string(list.GetItemText(0, 1)), longText); // longer than one buffer
    EXPECT_EQ(std::string(list.GetItemText(2, 1)), "");

    const char* names[] = {"cherry", "apple", "banana"};
    for (int i = 0; i < 3; ++i) {
        list.SetItemText(i, 0, names[i]);
        ASSERT_TRUE(list.SetItemData(i, 100 + i));
    }
    // Sort by the texts the data points to.
    struct Ctx {
        const char** names;
    } ctx{names};
    ASSERT_TRUE(list.SortItems(
        [](LPARAM a, LPARAM b, LPARAM p) -> int {
            auto* c = reinterpret_cast<Ctx*>(p);
            return lstrcmp(c->names[a - 100], c->names[b - 100]);
        },
        reinterpret_cast<DWORD_PTR>(&ctx)));
    std::vector<std::string> order;
    std::vector<DWORD_PTR> data;
    for (int i = 0; i < list.GetItemCount(); ++i) {
        order.push_back(std::string(list.GetItemText(i, 0)));
        data.push_back(list.GetItemData(i));
    }
    EXPECT_EQ(order, (std::vector<std::string>{"apple", "banana", "cherry"}));
    EXPECT_EQ(data, (std::vector<DWORD_PTR>{101, 102, 100}));

    LVFINDINFO find{};
    find.flags = LVFI_PARAM;
    find.lParam = 102;
    EXPECT_EQ(list.FindItem(&find), 1);

    ASSERT_TRUE(list.SetItemState(2, LVIS_SELECTED, LVIS_SELECTED));
    EXPECT_EQ(list.GetNextItem(-1, LVNI_SELECTED), 2);
    EXPECT_EQ(list.GetSelectedCount(), 1u);

    EXPECT_EQ(list.GetColumnWidth(1), 80);
    ASSERT_TRUE(list.DeleteColumn(0));
    LVCOLUMN col{};
    char title[32] = {};
    col.mask = LVCF_TEXT | LVCF_FMT;
    col.pszText = title;
    col.cchTextMax = sizeof(title);
    ASSERT_TRUE(list.GetColumn(0, &col));
    EXPECT_STREQ(title, "Size");
    EXPECT_FALSE(list.GetColumn(1, &col));
}

TEST(ListCtrlCreation, PreSubclassWindowKnowsWhetherAWindowIsBeingCreated)
{
    TestHostWnd parent;
    PaintingList created;
    ASSERT_TRUE(created.Create(WS_CHILD | LVS_REPORT, CRect(0, 0, 100, 100), &parent, 1));
    EXPECT_EQ(created.creatingSeen, 1);
    EXPECT_FALSE(AfxIsWindowCreationUnderway()); // over once CreateEx returned

    HWND existing = ::CreateWindowEx(0, WC_LISTVIEW, nullptr, WS_CHILD | LVS_REPORT, 0, 0, 100,
                                     100, parent.m_hWnd, reinterpret_cast<HMENU>(2), nullptr,
                                     nullptr);
    ASSERT_NE(existing, nullptr);
    PaintingList subclassed;
    ASSERT_TRUE(subclassed.SubclassDlgItem(2, &parent));
    EXPECT_EQ(subclassed.creatingSeen, 0);
}

// Tooltips: a host with tooltips on answers for its first button; a bar with tooltips on and
// no answer of its own leaves the text to the host.
class TipHost : public TestHostWnd {
public:
    std::vector<UINT> asked;

protected:
    BOOL OnNeedText(UINT id, NMHDR* h, LRESULT* r)
    {
        asked.push_back(id);
        if (id == 0)
            return FALSE;
        auto* tt = reinterpret_cast<NMTTDISPINFOA*>(h);
        wsprintf(tt->szText, "tip %u", id);
        *r = 0;
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(TipHost, TestHostWnd)
ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFF, OnNeedText)
END_MESSAGE_MAP()

std::string ShownTip()
{
    HWND tip = AfxGetThreadToolTip();
    if (tip == nullptr || !::IsWindowVisible(tip))
        return "";
    char text[80] = {};
    TOOLINFO ti{};
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    if (!::SendMessage(tip, TTM_GETCURRENTTOOL, 0, reinterpret_cast<LPARAM>(&ti)))
        return "";
    ti.lpszText = text;
    ::SendMessage(tip, TTM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(&ti));
    return text;
}

TEST(ToolTips, TextRequestsReachTheToolsWindowOrItsParents)
{
    TipHost host;
    ASSERT_TRUE(host.EnableToolTips());
    CButton button;
    ASSERT_TRUE(button.Create("b", WS_CHILD | WS_VISIBLE, CRect(10, 10, 90, 40), &host, 41));
    CWnd bar;
    ASSERT_TRUE(bar.Create(nullptr, "bar", WS_CHILD | WS_VISIBLE, CRect(10, 100, 300, 160), &host,
                           50));
    bar.EnableToolTips();
    CButton inBar;
    ASSERT_TRUE(inBar.Create("c", WS_CHILD | WS_VISIBLE, CRect(10, 10, 90, 40), &bar, 42));

    struct Case {
        const char* name;
        CWnd* target;
        const char* tip;
    } cases[] = {
        {"the host's own child", &button, "tip 41"},
        {"a child of a bar that leaves it to the host", &inBar, "tip 42"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        MouseMoveTo(host.m_hWnd, 200, 250); // on no tool
        MouseMoveTo(c.target->m_hWnd, 20, 10);
        MouseMoveTo(c.target->m_hWnd, 22, 12);
        EXPECT_TRUE(PumpUntil([&] { return ShownTip() == c.tip; }, 400)) << ShownTip();
    }
    // Off: the bar's child shows nothing more; asks only by control id, never by window.
    bar.EnableToolTips(FALSE);
    host.EnableToolTips(FALSE);
    MouseMoveTo(host.m_hWnd, 200, 250);
    MouseMoveTo(button.m_hWnd, 30, 15);
    PumpFor(900);
    EXPECT_EQ(ShownTip(), "");
    for (UINT id : host.asked)
        EXPECT_TRUE(id == 41 || id == 42) << id;
}

} // namespace
