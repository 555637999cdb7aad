// The grid list and its header as real windows driven by real mouse and key input: check
// boxes, sorting with the owner's item data kept, in-place editing from cell to cell, grid
// lines, the sort arrow and the row colours read back as pixels, the shared mouse hook, and
// no handle growth. Also the visual-styles binding the header paints through.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "tests/framework_ui/ui_test_support.h"
#include "toolkit/controls/gridlist/grid_list.h"
#include "toolkit/frames/uxtheme/ux_theme.h"

namespace {

constexpr UINT kListId = 1002;

struct Track {
    const char* title;
    const char* artist;
    const char* length;
};
constexpr Track kTracks[] = {
    {"Morning Tide", "Lena Voss", "4:12"}, {"Copper Sky", "Arno Field", "3:05"},
    {"Blue Hour", "Mara Quint", "5:40"},   {"Driftwood", "Arno Field", "2:58"},
    {"Lanterns", "Lena Voss", "6:01"},
};
constexpr int kTrackCount = static_cast<int>(std::size(kTracks));

// The list's parent: logs the notifications the list passes on and may refuse a column's
// new texts.
class GridParent : public TestHostWnd {
public:
    GridParent() : TestHostWnd(620, 420) {}
    std::vector<std::string> log;
    int refuseColumn = -1;

protected:
    void OnItemChanging(NMHDR* h, LRESULT* r)
    {
        auto* nm = reinterpret_cast<NMLISTVIEW*>(h);
        if (!(nm->uChanged & LVIF_TEXT))
            return;
        log.push_back("changing " + std::to_string(nm->iItem) + "," +
                      std::to_string(nm->iSubItem) + " data " + std::to_string(nm->lParam));
        *r = nm->iSubItem == refuseColumn ? 1 : 0;
    }
    void OnEndLabelEdit(NMHDR* h, LRESULT*)
    {
        auto* nm = reinterpret_cast<NMLVDISPINFO*>(h);
        log.push_back("end " + std::to_string(nm->item.iItem) + "," +
                      std::to_string(nm->item.iSubItem));
    }
    void OnColumnClick(NMHDR*, LRESULT*) { log.push_back("parent column click"); }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(GridParent, TestHostWnd)
ON_NOTIFY(LVN_ITEMCHANGING, kListId, OnItemChanging)
ON_NOTIFY(LVN_ENDLABELEDIT, kListId, OnEndLabelEdit)
ON_NOTIFY(LVN_COLUMNCLICK, kListId, OnColumnClick)
END_MESSAGE_MAP()

class GridListTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        parent = std::make_unique<GridParent>();
        CreateList();
    }
    void CreateList()
    {
        list = std::make_unique<COXGridList>();
        ASSERT_TRUE(list->Create(WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_REPORT |
                                     LVS_OWNERDRAWFIXED | LVS_SHOWSELALWAYS,
                                 CRect(10, 10, 600, 400), parent.get(), kListId));
        list->InsertColumn(0, "Title", LVCFMT_LEFT, 150);
        list->InsertColumn(1, "Artist", LVCFMT_LEFT, 150);
        list->InsertColumn(2, "Length", LVCFMT_RIGHT, 80);
        for (int i = 0; i < kTrackCount; ++i) {
            list->InsertItem(i, kTracks[i].title);
            list->SetItemText(i, 1, kTracks[i].artist);
            list->SetItemText(i, 2, kTracks[i].length);
            list->SetItemData(i, 100 + i);
        }
        list->SetFocus();
        PumpPending();
    }
    void TearDown() override
    {
        list.reset();
        parent.reset();
    }

    CRect Row(int nItem) const
    {
        CRect r;
        list->GetItemRect(nItem, &r, LVIR_BOUNDS);
        return r;
    }
    CRect HeaderItem(int nItem)
    {
        CRect r;
        list->GetGridHeader().GetItemRect(nItem, &r);
        return r;
    }
    COLORREF Pixel(HWND h, int x, int y)
    {
        ::RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        PumpPending();
        HDC dc = ::GetDC(h);
        COLORREF c = ::GetPixel(dc, x, y);
        ::ReleaseDC(h, dc);
        return c;
    }
    std::vector<std::string> Column(int nColumn) const
    {
        std::vector<std::string> texts;
        for (int i = 0; i < list->GetItemCount(); ++i)
            texts.push_back(static_cast<LPCSTR>(list->GetItemText(i, nColumn)));
        return texts;
    }
    std::vector<int> Checks() const
    {
        std::vector<int> checks;
        for (int i = 0; i < list->GetItemCount(); ++i)
            checks.push_back(list->GetCheck(i));
        return checks;
    }
    void ClickBox(int nItem)
    {
        CRect r = Row(nItem);
        MouseClickAt(list->m_hWnd, r.left + 6, r.CenterPoint().y);
    }
    // Waits until the editor is open on a cell, or closed.
    bool EditorOpen() { return PumpUntil([&] { return list->GetGridEdit()->m_hWnd != nullptr; }); }
    bool EditorClosed()
    {
        return PumpUntil([&] { return list->GetGridEdit()->m_hWnd == nullptr; });
    }
    // The row the open editor sits on, -1 when none.
    int EditorRow()
    {
        if (list->GetGridEdit()->m_hWnd == nullptr)
            return -1;
        CRect r;
        list->GetGridEdit()->GetWindowRect(&r);
        list->ScreenToClient(&r);
        for (int i = 0; i < list->GetItemCount(); ++i)
            if (r.top >= Row(i).top && r.top < Row(i).bottom)
                return i;
        return -1;
    }
    std::string EditorText()
    {
        CString s;
        list->GetGridEdit()->GetWindowText(s);
        return static_cast<LPCSTR>(s);
    }

    std::unique_ptr<GridParent> parent;
    std::unique_ptr<COXGridList> list;
};

TEST_F(GridListTest, CheckBoxesToggleByClickKeyAndDoubleClick)
{
    list->SetCheckable(TRUE);
    list->SetCheckStyle(BS_AUTOCHECKBOX);
    list->SetMultipleSelection(TRUE);
    EXPECT_EQ(Checks(), (std::vector<int>{0, 0, 0, 0, 0}));

    ClickBox(1);
    EXPECT_EQ(Checks(), (std::vector<int>{0, 1, 0, 0, 0}));
    EXPECT_EQ(list->GetCurSel(), -1) << "a click on the box selects nothing";

    // Just right of the 13-pixel strip: the row is selected, nothing toggles.
    CRect r = Row(3);
    MouseClickAt(list->m_hWnd, r.left + 14, r.CenterPoint().y);
    EXPECT_EQ(list->GetCurSel(), 3);
    EXPECT_EQ(Checks(), (std::vector<int>{0, 1, 0, 0, 0}));

    // A box of a selected row sets every selected row to its new state.
    list->SetCurSel(0);
    list->SetCurSel(4);
    ClickBox(3);
    EXPECT_EQ(Checks(), (std::vector<int>{1, 1, 0, 1, 1}));

    list->SetCurSel(-1, FALSE);
    list->SetFocusedItem(2);
    KeyPress(VK_SPACE);
    EXPECT_EQ(list->GetCheck(2), 1);
    MouseClickAt(list->m_hWnd, Row(2).left + 200, Row(2).CenterPoint().y, true);
    EXPECT_EQ(list->GetCheck(2), 0) << "a double click on the row toggles it";

    // The three-state style cycles; the two-state styles refuse the third state.
    list->SetCheckStyle(BS_AUTO3STATE);
    list->SetCurSel(-1, FALSE);
    std::vector<int> seen;
    for (int i = 0; i < 3; ++i) {
        ClickBox(0);
        PumpFor(600); // no double click
        seen.push_back(list->GetCheck(0));
    }
    EXPECT_EQ(seen, (std::vector<int>{2, 0, 1}));
    list->SetCheckStyle(BS_AUTOCHECKBOX);
    EXPECT_FALSE(list->SetCheck(0, 2));
    EXPECT_FALSE(list->SetCheck(0, 3));
    EXPECT_EQ(list->GetCheck(0), 1);

    // New rows come unchecked; off, every box goes.
    list->InsertItem(5, "Added");
    EXPECT_EQ(list->GetCheck(5), 0);
    list->SetCheckable(FALSE);
    EXPECT_EQ(list->GetItemState(0, LVIS_STATEIMAGEMASK), 0u);
}

TEST_F(GridListTest, RowsPaintChecksHighlightAndAlternatingGridLines)
{
    list->SetCheckable(TRUE);
    list->SetCheck(1, 1);
    list->SetCurSel(2);
    list->SetGridLines(TRUE, RGB(255, 0, 0));
    list->SetFocus();
    PumpPending();
    const HWND h = list->m_hWnd;

    // The check images: inside the box white, the mark black, 11 pixels high and centred.
    auto boxTop = [&](int nItem) { return Row(nItem).top + (Row(nItem).Height() - 11) / 2; };
    EXPECT_EQ(Pixel(h, Row(0).left + 6, boxTop(0) + 7), RGB(255, 255, 255));
    EXPECT_EQ(Pixel(h, Row(1).left + 6, boxTop(1) + 7), RGB(0, 0, 0));
    // The selected row in the highlight colour, the others in the window's.
    EXPECT_EQ(Pixel(h, Row(2).left + 140, Row(2).top + 3), ::GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_EQ(Pixel(h, Row(3).left + 140, Row(3).top + 3), ::GetSysColor(COLOR_WINDOW));

    // Every other pixel of a grid line is drawn: after each column, and under each row.
    const int x = Row(3).left + 150 - 1;
    const int y = Row(3).CenterPoint().y;
    int reds = 0;
    for (int dy = 0; dy < 2; ++dy)
        reds += Pixel(h, x, y + dy) == RGB(255, 0, 0);
    EXPECT_EQ(reds, 1) << "vertical line";
    reds = 0;
    for (int dx = 0; dx < 2; ++dx)
        reds += Pixel(h, 40 + dx, Row(3).bottom - 1) == RGB(255, 0, 0);
    EXPECT_EQ(reds, 1) << "horizontal line";

    BOOL on = FALSE;
    COLORREF color = 0;
    list->GetGridLines(on, color);
    EXPECT_TRUE(on);
    EXPECT_EQ(color, RGB(255, 0, 0));
    list->SetGridLines(FALSE);
    EXPECT_NE(Pixel(h, x, y), RGB(255, 0, 0));
    EXPECT_NE(Pixel(h, x, y + 1), RGB(255, 0, 0));
}

TEST_F(GridListTest, HeaderClicksSortAndKeepTheOwnersItemData)
{
    // Without sorting the click only reaches the parent.
    MouseClickAt(list->GetGridHeader().m_hWnd, HeaderItem(1).CenterPoint().x, 8);
    EXPECT_EQ(parent->log, std::vector<std::string>{"parent column click"});
    EXPECT_EQ(Column(0)[0], "Morning Tide");

    list->SetSortable(TRUE);
    parent->log.clear();
    // A new column sorts ascending, the same column again flips.
    struct Case {
        int column;
        int direction;
    } cases[] = {{1, 1}, {1, -1}, {0, 1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.column) + " " + std::to_string(c.direction));
        PumpFor(600); // no double click
        MouseClickAt(list->GetGridHeader().m_hWnd, HeaderItem(c.column).CenterPoint().x, 8);
        std::vector<std::string> texts = Column(c.column);
        if (c.direction > 0)
            EXPECT_TRUE(std::is_sorted(texts.begin(), texts.end()));
        else
            EXPECT_TRUE(std::is_sorted(texts.rbegin(), texts.rend()));
        EXPECT_NE(texts.front(), texts.back());
        EXPECT_EQ(list->GetSortColumn(), c.column);
        EXPECT_EQ(list->GetGridHeader().GetSortColumn(), c.column);
        EXPECT_EQ(list->GetGridHeader().GetSortDirection(), c.direction);
    }
    EXPECT_TRUE(parent->log.empty()) << "a click that sorted stays with the list";

    // Each row still carries the data its owner gave it, and finding by data works.
    for (int i = 0; i < kTrackCount; ++i) {
        int original = static_cast<int>(list->GetItemData(i)) - 100;
        ASSERT_GE(original, 0);
        ASSERT_LT(original, kTrackCount);
        EXPECT_EQ(Column(0)[i], kTracks[original].title);
        LVFINDINFO find{};
        find.flags = LVFI_PARAM;
        find.lParam = 100 + original;
        EXPECT_EQ(list->FindItem(&find), i);
    }
    ASSERT_TRUE(list->SetItemData(0, 777));
    EXPECT_EQ(list->GetItemData(0), 777u);
    list->SetSortable(FALSE);
    EXPECT_EQ(list->GetItemData(0), 777u);
    EXPECT_EQ(list->GetItemData(1), static_cast<DWORD_PTR>(100 + [&] {
                  for (int i = 0; i < kTrackCount; ++i)
                      if (Column(0)[1] == kTracks[i].title)
                          return i;
                  return -1;
              }()));
    EXPECT_EQ(list->GetGridHeader().GetSortDirection(), 0);
}

TEST_F(GridListTest, ManyRowsSortInOrder)
{
    list->DeleteAllItems();
    std::vector<std::string> expected;
    for (int i = 0; i < 60; ++i) {
        char name[16];
        wsprintf(name, "T%02d", (i * 37) % 60);
        list->InsertItem(i, name);
        list->SetItemData(i, i);
        expected.push_back(name);
    }
    std::sort(expected.begin(), expected.end());
    list->SetSortable(TRUE);
    MouseClickAt(list->GetGridHeader().m_hWnd, HeaderItem(0).CenterPoint().x, 8);
    EXPECT_EQ(Column(0), expected);
}

TEST_F(GridListTest, ClassicHeaderDrawsTheSortArrowWithLightAndDarkEdges)
{
    // The header without its visual style: what SetWindowTheme asks for, and where this
    // platform's library keeps a window's theme (a window property) when that is not enough.
    COXUxTheme binding;
    COXGridHeader& hdr = list->GetGridHeader();
    using PfnSetWindowTheme = HRESULT(WINAPI*)(HWND, LPCWSTR, LPCWSTR);
    if (auto setTheme = reinterpret_cast<PfnSetWindowTheme>(reinterpret_cast<void*>(
            ::GetProcAddress(binding.m_hUxTheme, "SetWindowTheme"))))
        setTheme(hdr.m_hWnd, L"", L"");
    if (binding.GetWindowTheme(hdr.m_hWnd) != nullptr)
        ::RemoveProp(hdr.m_hWnd, "ux_theme");
    COXGridHeader& header = list->GetGridHeader();
    ASSERT_EQ(binding.GetWindowTheme(header.m_hWnd), nullptr);
    list->SetSortable(TRUE);
    HDITEM item{};
    item.mask = HDI_FORMAT;
    struct Case {
        int column;
        int direction;
    } cases[] = {{1, 1}, {1, -1}, {2, 1}};
    // The space width of the header's own font gives the arrow's unit.
    HDC dc = ::GetDC(header.m_hWnd);
    HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HFONT>(header.SendMessage(WM_GETFONT)));
    SIZE space{};
    ::GetTextExtentPoint32(dc, " ", 1, &space);
    ::SelectObject(dc, old);
    ::ReleaseDC(header.m_hWnd, dc);
    const int u = 2 * space.cx;
    const COLORREF light = ::GetSysColor(COLOR_BTNHIGHLIGHT), dark = ::GetSysColor(COLOR_BTNSHADOW);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.column) + " " + std::to_string(c.direction));
        header.SetSortColumn(c.column, c.direction);
        for (int col = 0; col < 3; ++col) {
            header.GetItem(col, &item);
            EXPECT_EQ((item.fmt & HDF_OWNERDRAW) != 0, col == c.column) << col;
        }
        CRect r = HeaderItem(c.column);
        const int R = r.right, B = r.bottom;
        if (c.direction > 0) {
            EXPECT_EQ(Pixel(header.m_hWnd, R - 2 * u, u - 1), light);
            EXPECT_EQ(Pixel(header.m_hWnd, R - 5 * u / 2 - 1, B - u - 1), dark);
        } else {
            EXPECT_EQ(Pixel(header.m_hWnd, R - 3 * u / 2, u - 1), light);
            EXPECT_EQ(Pixel(header.m_hWnd, R - 2 * u - 1, B - u), dark);
            EXPECT_EQ(Pixel(header.m_hWnd, R - 5 * u / 2 - 1, u - 1), dark);
        }
        EXPECT_EQ(Pixel(header.m_hWnd, r.left + 3, r.top + 2), ::GetSysColor(COLOR_BTNFACE));
    }
    // Too narrow for the text: the arrow still shows.
    list->SetColumnWidth(2, 5 * u);
    CRect r = HeaderItem(2);
    EXPECT_EQ(Pixel(header.m_hWnd, r.right - 2 * u, u - 1), light);
}

// With a theme on the header window the items are drawn by the theme: the background as the
// theme paints a header item, the arrow a grey glyph at the item's right edge.
TEST_F(GridListTest, ThemedHeaderDrawsThroughTheVisualStyles)
{
    COXUxTheme binding;
    COXGridHeader& header = list->GetGridHeader();
    HTHEME hTheme = binding.OpenThemeData(header.m_hWnd, "HEADER");
    if (hTheme == nullptr)
        GTEST_SKIP() << "no visual style is active on this system";
    ASSERT_EQ(binding.GetWindowTheme(header.m_hWnd), hTheme);
    list->SetSortable(TRUE);
    header.SetSortColumn(1, 1);
    CRect r = HeaderItem(1);

    // The theme's own header item, drawn alone into memory at the same size.
    CClientDC screen(&header);
    CDC mem;
    mem.CreateCompatibleDC(&screen);
    CBitmap bitmap;
    bitmap.CreateCompatibleBitmap(&screen, r.Width(), r.Height());
    CBitmap* old = mem.SelectObject(&bitmap);
    RECT local{0, 0, r.Width(), r.Height()};
    ASSERT_TRUE(binding.DrawThemeBackground(hTheme, mem, 1, 1, &local, nullptr));
    const COLORREF expected = ::GetPixel(mem, 2, r.Height() - 3);
    mem.SelectObject(old);
    MouseMoveTo(list->m_hWnd, 300, 300); // not hot
    EXPECT_EQ(Pixel(header.m_hWnd, r.left + 2, r.bottom - 3), expected);

    int grey = 0;
    HDC dc = ::GetDC(header.m_hWnd);
    for (int x = r.right - 21; x < r.right - 5; ++x)
        for (int y = r.top; y < r.bottom; ++y)
            grey += ::GetPixel(dc, x, y) == RGB(128, 128, 128);
    ::ReleaseDC(header.m_hWnd, dc);
    EXPECT_GT(grey, 4) << "the arrow glyph";
}

TEST_F(GridListTest, CellsAreEditedInPlaceWithRealKeys)
{
    list->SetEditable(TRUE, 0);
    list->SetEditable(TRUE, 1);
    ASSERT_TRUE(list->IsColumnEditable(1));
    ASSERT_FALSE(list->IsColumnEditable(2));

    // Tab moves right and wraps to the first editable column; the texts reach the rows.
    ASSERT_NE(list->EditLabel(1, 1), nullptr);
    ASSERT_TRUE(EditorOpen());
    EXPECT_EQ(EditorText(), "Arno Field");
    RECT cell{}, editor{};
    list->GetSubItemRect(1, 1, LVIR_BOUNDS, *reinterpret_cast<CRect*>(&cell));
    list->GetGridEdit()->GetWindowRect(&editor);
    list->ScreenToClient(&editor);
    EXPECT_EQ(editor.left, cell.left) << "the editor sits on its cell";
    TypeKeys("Nadia");
    KeyPress(VK_TAB);
    ASSERT_TRUE(PumpUntil([&] { return Column(1)[1] == "Nadia"; }));
    ASSERT_TRUE(EditorOpen());
    EXPECT_EQ(EditorText(), "Copper Sky");
    TypeKeys("Tin");
    KeyPress(VK_TAB, true); // Shift+Tab from the first editable column wraps to the last
    ASSERT_TRUE(PumpUntil([&] { return Column(0)[1] == "Tin"; }));
    ASSERT_TRUE(EditorOpen());
    EXPECT_EQ(EditorText(), "Nadia");

    // Down on the last row goes on at row 0, Up at row 0 to the last row.
    KeyPress(VK_ESCAPE);
    ASSERT_TRUE(EditorClosed());
    ASSERT_NE(list->EditLabel(kTrackCount - 1, 1), nullptr);
    ASSERT_TRUE(EditorOpen());
    ASSERT_EQ(EditorRow(), kTrackCount - 1);
    KeyPress(VK_DOWN);
    ASSERT_TRUE(PumpUntil([&] { return EditorRow() == 0; })) << EditorRow();
    EXPECT_EQ(EditorText(), "Lena Voss");
    KeyPress(VK_UP);
    ASSERT_TRUE(PumpUntil([&] { return EditorRow() == kTrackCount - 1; })) << EditorRow();
    KeyPress(VK_ESCAPE);
    ASSERT_TRUE(EditorClosed());
    EXPECT_EQ(Column(1)[0], "Lena Voss");
    EXPECT_EQ(Column(1)[kTrackCount - 1], "Lena Voss");

    // A refused subitem text stays as it was; the parent hears of the change with the data.
    parent->log.clear();
    parent->refuseColumn = 1;
    ASSERT_NE(list->EditLabel(2, 1), nullptr);
    ASSERT_TRUE(EditorOpen());
    TypeKeys("Nobody");
    KeyPress(VK_RETURN);
    ASSERT_TRUE(EditorClosed());
    EXPECT_EQ(Column(1)[2], "Mara Quint");
    EXPECT_EQ(parent->log, (std::vector<std::string>{"changing 2,1 data 102", "end 2,1"}));

    // A column that is not editable gives no editor.
    EXPECT_EQ(list->EditLabel(2, 2), nullptr);
}

TEST_F(GridListTest, TypingOnARowStartsEditingWithThatLetter)
{
    list->SetCheckable(TRUE);
    list->SetAutoEdit(TRUE);
    list->SetFocusedItem(3);
    list->SetFocus();
    // No editable column: a beep and no editor.
    TypeKeys("x");
    PumpFor(100);
    EXPECT_EQ(list->GetGridEdit()->m_hWnd, nullptr);

    list->SetEditable(TRUE, 0);
    TypeKeys("q");
    ASSERT_TRUE(EditorOpen());
    EXPECT_EQ(EditorText(), "q");
    int s = 0, e = 0;
    list->GetGridEdit()->GetSel(s, e);
    EXPECT_EQ(s, 1);
    EXPECT_EQ(e, 1);
    TypeKeys("rs");
    KeyPress(VK_RETURN);
    ASSERT_TRUE(EditorClosed());
    EXPECT_EQ(Column(0)[3], "qrs");

    // Space checks the row and opens no editor on the way.
    KeyPress(VK_SPACE);
    PumpFor(100);
    EXPECT_EQ(list->GetCheck(3), 1);
    EXPECT_EQ(list->GetGridEdit()->m_hWnd, nullptr);
    EXPECT_EQ(Column(0)[3], "qrs");
}

TEST_F(GridListTest, ColumnsKeepTheirEditableFlagsAndFitTheWidth)
{
    list->SetEditable(TRUE, 2);
    list->DeleteColumn(0);
    EXPECT_EQ(list->GetColumnCount(), 2);
    EXPECT_FALSE(list->IsColumnEditable(0));
    EXPECT_TRUE(list->IsColumnEditable(1)) << "the flags after a deleted column shift left";
    list->InsertColumn(0, "New", LVCFMT_LEFT, 50);
    EXPECT_FALSE(list->IsColumnEditable(0));
    EXPECT_TRUE(list->IsColumnEditable(2));
    list->SetEditable(TRUE, 9); // outside the columns: nothing happens
    EXPECT_EQ(list->GetColumnCount(), 3);

    ASSERT_TRUE(list->ResizeColumnsToFit());
    CRect client;
    list->GetClientRect(&client);
    const int w = client.Width() / 3;
    EXPECT_EQ(list->GetColumnWidth(0), w);
    EXPECT_EQ(list->GetColumnWidth(2), w + client.Width() % 3);
}

// The header shows its titles in the rows' font, the default one and a chosen one, and the
// rows start right under it.
TEST_F(GridListTest, TheHeaderWritesInTheRowsFont)
{
    auto fontOf = [](HWND h) {
        LOGFONTA lf{};
        const auto font = reinterpret_cast<HFONT>(::SendMessageA(h, WM_GETFONT, 0, 0));
        ::GetObjectA(font != nullptr ? static_cast<HGDIOBJ>(font) : ::GetStockObject(SYSTEM_FONT),
                     sizeof(lf), &lf);
        return std::make_tuple(std::string(lf.lfFaceName), lf.lfHeight, lf.lfWeight);
    };
    const HWND header = list->GetGridHeader().m_hWnd;
    CFont big;
    ASSERT_TRUE(big.CreatePointFont(140, "Arial"));
    for (CFont* font : {static_cast<CFont*>(nullptr), &big, static_cast<CFont*>(nullptr)}) {
        SCOPED_TRACE(font == nullptr ? "default font" : "Arial 14");
        list->SetTextFont(font, TRUE);
        PumpPending();
        EXPECT_EQ(fontOf(header), fontOf(list->m_hWnd));
        CRect headerRect;
        ::GetWindowRect(header, &headerRect);
        list->ScreenToClient(&headerRect);
        EXPECT_EQ(Row(0).top, headerRect.bottom);
    }
}

// The mouse hook lives exactly as long as some grid header does.
TEST(GridHeaderHook, ExistsWhileAnyHeaderExists)
{
    TestHostWnd host;
    EXPECT_EQ(COXGridHeader::GetMouseHook(), nullptr);
    auto first = std::make_unique<COXGridList>();
    auto second = std::make_unique<COXGridList>();
    ASSERT_TRUE(first->Create(WS_CHILD | LVS_REPORT, CRect(0, 0, 200, 100), &host, 1));
    first->InsertColumn(0, "a", LVCFMT_LEFT, 60); // a list view may make its header only now
    ASSERT_NE(first->GetGridHeader().m_hWnd, nullptr);
    EXPECT_NE(COXGridHeader::GetMouseHook(), nullptr);
    ASSERT_TRUE(second->Create(WS_CHILD | LVS_REPORT, CRect(0, 100, 200, 200), &host, 2));
    second->InsertColumn(0, "a", LVCFMT_LEFT, 60);
    first.reset();
    EXPECT_NE(COXGridHeader::GetMouseHook(), nullptr) << "the other header still tracks";
    second.reset();
    EXPECT_EQ(COXGridHeader::GetMouseHook(), nullptr);

    // A list subclassed from an existing window takes over its header too.
    HWND existing = ::CreateWindowEx(0, WC_LISTVIEW, nullptr, WS_CHILD | LVS_REPORT, 0, 0, 200,
                                     100, host.m_hWnd, reinterpret_cast<HMENU>(3), nullptr,
                                     nullptr);
    LVCOLUMN col{};
    col.mask = LVCF_TEXT | LVCF_WIDTH;
    col.cx = 60;
    col.pszText = const_cast<char*>("a");
    ::SendMessage(existing, LVM_INSERTCOLUMN, 0, reinterpret_cast<LPARAM>(&col));
    {
        COXGridList subclassed;
        ASSERT_TRUE(subclassed.SubclassDlgItem(3, &host));
        EXPECT_NE(subclassed.GetGridHeader().m_hWnd, nullptr);
        EXPECT_EQ(subclassed.GetColumnCount(), 1);
        EXPECT_NE(COXGridHeader::GetMouseHook(), nullptr);
    }
    EXPECT_EQ(COXGridHeader::GetMouseHook(), nullptr);
}

int WindowCount()
{
    int n = 0;
    auto count = [](HWND h, LPARAM l) -> BOOL {
        ++*reinterpret_cast<int*>(l);
        ::EnumChildWindows(
            h, [](HWND, LPARAM l2) -> BOOL { return ++*reinterpret_cast<int*>(l2), TRUE; }, l);
        return TRUE;
    };
    ::EnumThreadWindows(::GetCurrentThreadId(), count, reinterpret_cast<LPARAM>(&n));
    return n;
}

TEST(GridListHandles, CreateUseDestroyCyclesLeaveNoHandles)
{
    TestHostWnd host(500, 300);
    CFont font;
    font.CreatePointFont(100, "Tahoma");
    auto cycle = [&] {
        COXGridList list;
        ASSERT_TRUE(list.Create(WS_CHILD | WS_VISIBLE | LVS_REPORT | LVS_OWNERDRAWFIXED,
                                CRect(0, 0, 480, 280), &host, 9));
        list.InsertColumn(0, "A", LVCFMT_LEFT, 100);
        list.InsertColumn(1, "B", LVCFMT_LEFT, 100);
        for (int i = 0; i < 20; ++i)
            list.InsertItem(i, i % 2 ? "odd" : "even");
        list.SetCheckable(TRUE);
        list.SetSortable(TRUE);
        list.SetGridLines(TRUE, RGB(0, 0, 255));
        list.SetTextFont(&font);
        list.SetEditable(TRUE, 0);
        list.SortColumn(0);
        list.EditLabel(3, 0);
        list.UpdateWindow();
        PumpPending();
    };
    cycle(); // first use loads what stays loaded
    CWnd::DeleteTempMap();
    const DWORD gdi = GdiObjectCount();
    const int windows = WindowCount();
    for (int i = 0; i < 20; ++i)
        cycle();
    PumpPending();
    CWnd::DeleteTempMap();
    EXPECT_LE(GdiObjectCount(), gdi);
    EXPECT_EQ(WindowCount(), windows);
}

// The binding fails softly without the library, and the halftone brush is a chessboard.
TEST(UxTheme, EveryCallFailsSoftlyWithoutTheLibraryAndTheBrushAlternates)
{
    COXUxTheme theme;
    EXPECT_TRUE(theme.IsLoaded()) << "the platform has the library";
    EXPECT_FALSE(IsXPThemeActive()) << "only Windows XP itself answers TRUE";
    HMODULE loaded = theme.m_hUxTheme;
    theme.m_hUxTheme = nullptr;
    RECT r{0, 0, 10, 10};
    HDC dc = ::GetDC(nullptr);
    EXPECT_FALSE(theme.IsLoaded());
    EXPECT_EQ(theme.OpenThemeData(nullptr, "HEADER"), nullptr);
    EXPECT_EQ(theme.GetWindowTheme(SharedTopWindow()), nullptr);
    EXPECT_FALSE(theme.DrawThemeBackground(nullptr, dc, 1, 1, &r, nullptr));
    EXPECT_FALSE(theme.DrawThemeText(nullptr, dc, 1, 1, "x", -1, 0, 0, &r));
    EXPECT_EQ(theme.GetThemeSysColor(nullptr, COLOR_WINDOW), 0u);
    ::ReleaseDC(nullptr, dc);
    theme.m_hUxTheme = loaded;

    HBRUSH brush = CreateHalftoneBrush(RGB(0, 0, 0), RGB(255, 255, 255));
    ASSERT_NE(brush, nullptr);
    CDC mem;
    mem.CreateCompatibleDC(nullptr);
    CBitmap bitmap;
    CClientDC screen(CWnd::FromHandle(SharedTopWindow()));
    bitmap.CreateCompatibleBitmap(&screen, 8, 8);
    CBitmap* old = mem.SelectObject(&bitmap);
    RECT all{0, 0, 8, 8};
    ::FillRect(mem, &all, brush);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(::GetPixel(mem, x, y), (x + y) % 2 == 0 ? RGB(0, 0, 0) : RGB(255, 255, 255))
                << x << "," << y;
    mem.SelectObject(old);
    ::DeleteObject(brush);
}

// Check boxes, a sorted column and an open editor in one window. With SONORIA_SHOWCASE_MS set,
// the window stays up that long for scripts/screenshot.
TEST_F(GridListTest, Showcase)
{
    CWnd::FromHandle(SharedTopWindow())->SetWindowText("Grid list");
    list->SetCheckable(TRUE);
    list->SetGridLines(TRUE, RGB(192, 192, 192));
    list->SetSortable(TRUE);
    list->SetEditable(TRUE, 0);
    list->SetCheck(0, 1);
    list->SetCheck(2, 1);
    list->SetCheck(3, 1);
    MouseClickAt(list->GetGridHeader().m_hWnd, HeaderItem(1).CenterPoint().x, 8);
    ASSERT_EQ(list->GetSortColumn(), 1);
    list->SetCurSel(1);
    list->SetFocusedItem(1);
    ASSERT_NE(list->EditLabel(1, 0), nullptr);
    ASSERT_TRUE(EditorOpen());
    TypeKeys("Copper Sky live");
    if (const char* hold = std::getenv("SONORIA_SHOWCASE_MS")) {
        DWORD until = ::GetTickCount() + static_cast<DWORD>(std::atoi(hold));
        while (static_cast<int>(until - ::GetTickCount()) > 0) {
            PumpPending();
            ::Sleep(20);
        }
    }
    KeyPress(VK_ESCAPE);
    EXPECT_TRUE(EditorClosed());
}

} // namespace
