// The shortcut bar in a program whose application object is a COXSkinnedApp: a bar of three
// groups driven by real mouse input (click, hover, header drags, the context menu), what its
// owner hears, the group model and layout, and how each skin paints, read back as pixels.
// With SONORIA_SHOWCASE_SKIN and SONORIA_SHOWCASE_MS set, the showcase stays up for
// scripts/screenshot.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "tests/framework_ui/ui_test_support.h"
#include "toolkit/controls/shortcut_bar/shb_list_ctrl.h"
#include "toolkit/controls/shortcut_bar/shortcut_bar.h"
#include "toolkit/frames/skins/skin.h"
#include "toolkit/frames/skins/skinned_app.h"

static COXSkinnedApp theApp;

namespace {

constexpr UINT kBarId = 77;

std::string Hex(COLORREF c)
{
    char s[16];
    snprintf(s, sizeof(s), "%06lX", static_cast<unsigned long>(c));
    return s;
}

bool Near(COLORREF a, COLORREF b, int tolerance)
{
    return std::abs(GetRValue(a) - GetRValue(b)) <= tolerance &&
           std::abs(GetGValue(a) - GetGValue(b)) <= tolerance &&
           std::abs(GetBValue(a) - GetBValue(b)) <= tolerance;
}

// One notification as the owner saw it.
struct Heard {
    UINT code;
    HSHBGROUP hGroup;
    int nItem;
    LPARAM lParam;
    HWND hwndFrom;
    UINT_PTR idFrom;
};

// The bar's parent: records every notification and answers from a table (0 by default).
class Owner : public TestHostWnd {
public:
    Owner() : TestHostWnd(420, 320) {}
    std::vector<Heard> heard;
    std::map<UINT, LRESULT> answers;
    // Runs when a notification arrives (after it is recorded).
    std::function<void(SHB_NOTIFYHDR*)> onNotify;

    std::vector<Heard> Of(UINT code) const
    {
        std::vector<Heard> out;
        for (const Heard& h : heard)
            if (h.code == code)
                out.push_back(h);
        return out;
    }

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_NOTIFY) {
            auto* nm = reinterpret_cast<SHB_NOTIFYHDR*>(lParam);
            if (nm->hdr.idFrom == kBarId) {
                heard.push_back({nm->hdr.code, nm->hGroup, nm->nItem, nm->lParam,
                                 nm->hdr.hwndFrom, nm->hdr.idFrom});
                if (onNotify)
                    onNotify(nm);
                auto it = answers.find(nm->hdr.code);
                return it == answers.end() ? 0 : it->second;
            }
        }
        return TestHostWnd::WindowProc(message, wParam, lParam);
    }
};

// A caller's child window filled with one colour.
class Pane : public CWnd {
public:
    explicit Pane(COLORREF clr) : m_clr(clr) {}
    BOOL CreatePane(CWnd* pBar)
    {
        return CreateEx(0, AfxRegisterWndClass(0), nullptr, WS_CHILD, CRect(0, 0, 0, 0), pBar,
                        0);
    }
    COLORREF m_clr;
    std::vector<std::pair<UINT, LPARAM>> messages; // the bar's private messages

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message >= 0x80EE && message <= 0x80F4)
            messages.emplace_back(message, lParam);
        if (message == WM_ERASEBKGND) {
            CRect rect;
            GetClientRect(&rect);
            ::SetBkColor(reinterpret_cast<HDC>(wParam), m_clr);
            ::ExtTextOut(reinterpret_cast<HDC>(wParam), 0, 0, ETO_OPAQUE, &rect, nullptr, 0,
                         nullptr);
            return 1;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

SHB_GROUPINFO GroupInfo(const char* text, HWND hwndChild, int nOrder = SHBI_LAST)
{
    SHB_GROUPINFO info{};
    info.nMask = SHBIF_TEXT | SHBIF_ORDER | (hwndChild != nullptr ? SHBIF_CHILDWND : 0);
    info.pszText = const_cast<LPSTR>(text);
    info.nTextMax = static_cast<int>(std::strlen(text));
    info.nOrder = nOrder;
    info.hwndChild = hwndChild;
    return info;
}

// A bar of three groups "Alpha", "Beta", "Gamma", each showing a coloured pane.
class ShortcutBarTest : public ::testing::Test {
protected:
    static constexpr COLORREF kPaneColours[3] = {RGB(200, 40, 40), RGB(40, 160, 40),
                                                 RGB(40, 40, 200)};

    static void SetUpTestSuite() { ASSERT_TRUE(AfxOleInit()); }
    void SetUp() override
    {
        ASSERT_TRUE(theApp.SetCurrentSkin("Classic"));
        gdiBefore = GdiObjectCount();
    }
    void TearDown() override
    {
        if (::IsWindow(bar.m_hWnd))
            bar.DestroyWindow();
        for (auto& pane : panes)
            if (::IsWindow(pane->m_hWnd))
                pane->DestroyWindow();
        PumpPending();
        theApp.SetCurrentSkin("Classic");
    }

    void MakeBar(DWORD dwBarStyle, const CRect& rect = CRect(10, 10, 210, 270))
    {
        ASSERT_TRUE(bar.Create(&owner, rect, dwBarStyle, kBarId));
        const char* names[3] = {"Alpha", "Beta", "Gamma"};
        for (int i = 0; i < 3; ++i) {
            panes.push_back(std::make_unique<Pane>(kPaneColours[i]));
            ASSERT_TRUE(panes.back()->CreatePane(&bar));
            SHB_GROUPINFO info = GroupInfo(names[i], panes.back()->m_hWnd);
            groups[i] = bar.InsertGroup(&info);
            ASSERT_NE(groups[i], 0u);
        }
        PumpPending();
        owner.heard.clear();
    }

    // The centre of a group's header in the bar's client coordinates.
    CPoint HeaderCentre(HSHBGROUP hGroup) const { return bar.GetGroupHeaderRect(hGroup).CenterPoint(); }
    CPoint ToScreen(CPoint client) const
    {
        bar.ClientToScreen(&client);
        return client;
    }
    COLORREF Pixel(int x, int y)
    {
        bar.UpdateWindow();
        CClientDC dc(&bar);
        return ::GetPixel(dc.m_hDC, x, y);
    }
    std::vector<std::string> Order()
    {
        std::vector<std::string> names;
        for (int i = 0; i < bar.GetGroupCount(); ++i)
            names.push_back(static_cast<LPCTSTR>(bar.GetGroupText(bar.FindGroupByOrder(i))));
        return names;
    }
    // Presses on a header, waits until a drag may start, then moves onto the target header
    // (where it is once the press expanded the pressed group) with the button held; the caller
    // releases (Release) after looking at the bar mid-drag.
    void PressAndDragTo(HSHBGROUP hFrom, HSHBGROUP hTo, CPoint offset = CPoint(0, 0))
    {
        const CPoint from = ToScreen(HeaderCentre(hFrom));
        InputMouseMove(from);
        PumpFor(80);
        InputMouseButton(true);
        PumpFor(300); // lets the bar's drag-delay timer go off first
        InputMouseMove(CPoint(from.x + 3, from.y));
        PumpFor(80);
        InputMouseGlide(ToScreen(HeaderCentre(hTo) + offset), 8, 15);
        PumpFor(150);
    }
    void Release()
    {
        InputMouseButton(false);
        PumpFor(150);
    }

    Owner owner;
    COXShortcutBar bar;
    std::vector<std::unique_ptr<Pane>> panes;
    HSHBGROUP groups[3] = {};
    DWORD gdiBefore = 0;
};

} // namespace

// --- the group model and layout ---

TEST_F(ShortcutBarTest, InsertionOrdersAndSorting)
{
    MakeBar(0);
    EXPECT_EQ(Order(), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
    struct Case {
        const char* text;
        int nOrder;
        std::vector<std::string> want;
    };
    const Case cases[] = {
        {"First", SHBI_FIRST, {"First", "Alpha", "Beta", "Gamma"}},
        {"Second", 1, {"First", "Second", "Alpha", "Beta", "Gamma"}},
        {"Last", SHBI_LAST, {"First", "Second", "Alpha", "Beta", "Gamma", "Last"}},
        {"delta", SHBI_SORT, {"Alpha", "Beta", "delta", "First", "Gamma", "Last", "Second"}},
    };
    HSHBGROUP hLast = groups[2];
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        panes.push_back(std::make_unique<Pane>(0));
        ASSERT_TRUE(panes.back()->CreatePane(&bar));
        SHB_GROUPINFO info = GroupInfo(c.text, panes.back()->m_hWnd, c.nOrder);
        const HSHBGROUP h = bar.InsertGroup(&info);
        ASSERT_NE(h, 0u);
        // Handles count up and are never reused.
        EXPECT_EQ(h, hLast + 1);
        hLast = h;
        EXPECT_EQ(Order(), c.want);
        // A new group is never expanded; its pane was told its group.
        EXPECT_EQ(bar.GetExpandedGroup(), 0u);
        ASSERT_FALSE(panes.back()->messages.empty());
        EXPECT_EQ(panes.back()->messages[0], std::make_pair(0x80EFu, static_cast<LPARAM>(h)));
    }
    EXPECT_EQ(bar.GetSortOrder(), 1);
    ASSERT_TRUE(bar.SortGroups(-1));
    EXPECT_EQ(Order(), (std::vector<std::string>{"Second", "Last", "Gamma", "First", "delta",
                                                 "Beta", "Alpha"}));
}

TEST_F(ShortcutBarTest, InvalidRequestsAreRefusedWhole)
{
    MakeBar(0);
    struct Case {
        const char* what;
        SHB_GROUPINFO info;
    };
    SHB_GROUPINFO badMask = GroupInfo("x", panes[0]->m_hWnd);
    badMask.nMask |= 0x1;
    SHB_GROUPINFO badImage = GroupInfo("x", panes[0]->m_hWnd);
    badImage.nMask |= SHBIF_IMAGE;
    badImage.nImage = -1; // no image list: no image is valid, a negative one neither
    SHB_GROUPINFO badOrder = GroupInfo("x", panes[0]->m_hWnd, 3);
    SHB_GROUPINFO badView = GroupInfo("x", panes[0]->m_hWnd);
    badView.nMask |= SHBIF_VIEW;
    badView.nView = 4;
    SHB_GROUPINFO foreignChild = GroupInfo("x", owner.m_hWnd);
    const Case cases[] = {{"mask bit outside the fields", badMask},
                          {"negative image", badImage},
                          {"order past the end", badOrder},
                          {"view 4", badView},
                          {"child of another parent", foreignChild}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        owner.heard.clear();
        EXPECT_EQ(bar.InsertGroup(&c.info), 0u);
        EXPECT_EQ(bar.GetGroupCount(), 3);
        // Only the question before the insertion went out.
        ASSERT_EQ(owner.heard.size(), 1u);
        EXPECT_EQ(owner.heard[0].code, 32986u);
    }
    // The owner may refuse an insertion.
    owner.answers[32986] = 1;
    SHB_GROUPINFO fine = GroupInfo("Fine", nullptr);
    fine.nMask &= ~SHBIF_CHILDWND;
    EXPECT_EQ(bar.InsertGroup(&fine), 0u);
    // A refused change leaves the group as it was.
    EXPECT_FALSE(bar.SetGroupOrder(groups[0], 7));
    EXPECT_FALSE(bar.SetGroupOrder(groups[0], -1));
    EXPECT_EQ(bar.GetGroupOrder(groups[0]), 0);
    EXPECT_FALSE(bar.SetGroupView(0, 5));
    EXPECT_EQ(bar.GetGroupView(groups[1]), SHB_LARGEICON);
    EXPECT_TRUE(bar.SetGroupView(0, SHB_SMALLICON));
    for (HSHBGROUP h : groups)
        EXPECT_EQ(bar.GetGroupView(h), SHB_SMALLICON);
    EXPECT_EQ(bar.GetGroupView(999), -1);
}

TEST_F(ShortcutBarTest, OrdersSwapAndDescriptorsAreCopies)
{
    MakeBar(0);
    ASSERT_TRUE(bar.SetGroupOrder(groups[0], 2));
    EXPECT_EQ(Order(), (std::vector<std::string>{"Gamma", "Beta", "Alpha"}));

    SHB_DESCRIPTOR shared{};
    shared.clrHeaderBackground = RGB(1, 2, 3);
    shared.nHeaderHeight = 30;
    shared.nMask = SHBIF_HDRCLRBACK | SHBIF_HDRHEIGHT;
    ASSERT_TRUE(bar.SetGroupDescriptor(groups[0], &shared));
    ASSERT_TRUE(bar.SetGroupDescriptor(groups[1], &shared));
    ASSERT_TRUE(bar.SetGroupBkColor(groups[0], RGB(9, 9, 9)));
    EXPECT_EQ(bar.GetGroupBkColor(groups[0]), RGB(9, 9, 9));
    EXPECT_EQ(bar.GetGroupBkColor(groups[1]), ::GetSysColor(COLOR_BTNSHADOW));
    EXPECT_EQ(bar.GetGroupHeaderBkColor(groups[1]), RGB(1, 2, 3));
    EXPECT_EQ(bar.GetGroupHeaderHeight(groups[1]), 30);
    EXPECT_EQ(bar.GetGroupHeaderHeight(groups[2]), 18);
    EXPECT_EQ(bar.GetGroupHeaderTextFormat(groups[2]), 0x8025u);
    // Clearing one copy leaves the other.
    ASSERT_TRUE(bar.SetGroupDescriptor(groups[0], nullptr));
    EXPECT_EQ(bar.GetGroupHeaderBkColor(groups[0]), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(bar.GetGroupHeaderBkColor(groups[1]), RGB(1, 2, 3));
    // Replacing a record keeps the group's place.
    SHB_GROUPINFO text = GroupInfo("Renamed", panes[1]->m_hWnd);
    text.nMask = SHBIF_TEXT | SHBIF_CHILDWND;
    ASSERT_TRUE(bar.SetGroupInfo(groups[1], &text, TRUE));
    EXPECT_EQ(Order(), (std::vector<std::string>{"Gamma", "Renamed", "Alpha"}));
    EXPECT_EQ(bar.GetGroupHeaderBkColor(groups[1]), ::GetSysColor(COLOR_BTNFACE));
}

TEST_F(ShortcutBarTest, LayoutAndDeletingTheExpandedGroup)
{
    MakeBar(0);
    // Nothing expanded: headers from the top, no child area, no pane shown.
    EXPECT_EQ(bar.GetGroupHeaderRect(groups[2]), CRect(0, 36, 200, 54));
    EXPECT_TRUE(bar.GetChildWndRect().IsRectEmpty());
    bar.ExpandGroup(groups[0]);
    // The child area under the expanded header, the headers after it at the bottom.
    EXPECT_EQ(bar.GetChildWndRect(), CRect(5, 23, 195, 219));
    EXPECT_EQ(bar.GetGroupHeaderRect(groups[1]), CRect(0, 224, 200, 242));
    EXPECT_EQ(bar.GetGroupHeaderRect(groups[2]), CRect(0, 242, 200, 260));
    EXPECT_TRUE(panes[0]->IsWindowVisible());
    CRect paneRect;
    panes[0]->GetWindowRect(&paneRect);
    bar.ScreenToClient(&paneRect);
    EXPECT_EQ(paneRect, bar.GetChildWndRect());
    int flags = 0;
    EXPECT_EQ(bar.HitTest(CPoint(50, 100), &flags), groups[0]);
    EXPECT_EQ(flags, SHB_ONCHILD);
    EXPECT_EQ(bar.HitTest(CPoint(50, 230), &flags), groups[1]);
    EXPECT_EQ(flags, SHB_ONHEADER);
    EXPECT_EQ(bar.HitTest(CPoint(50, 221), &flags), 0u);
    EXPECT_EQ(flags, SHB_NOWHERE);

    // Deleting the expanded group expands the one now at its place; the last one's deletion
    // expands the first; the owner may refuse.
    owner.answers[32978] = 1;
    EXPECT_FALSE(bar.DeleteGroup(groups[0]));
    owner.answers.clear();
    ASSERT_TRUE(bar.DeleteGroup(groups[0]));
    EXPECT_EQ(bar.GetExpandedGroup(), groups[1]);
    EXPECT_FALSE(panes[0]->IsWindowVisible());
    EXPECT_TRUE(panes[1]->IsWindowVisible());
    ASSERT_FALSE(panes[0]->messages.empty());
    EXPECT_EQ(panes[0]->messages.back().first, 0x80F2u);
    bar.ExpandGroup(groups[2]);
    ASSERT_TRUE(bar.DeleteGroup(groups[2]));
    EXPECT_EQ(bar.GetExpandedGroup(), groups[1]);
    ASSERT_TRUE(bar.DeleteGroup(groups[1]));
    EXPECT_EQ(bar.GetExpandedGroup(), 0u);
    EXPECT_TRUE(bar.GetChildWndRect().IsRectEmpty());
}

TEST_F(ShortcutBarTest, HeadersTallerThanTheBarLeaveNoChildArea)
{
    MakeBar(0, CRect(10, 10, 210, 50));
    bar.ExpandGroup(groups[0]);
    EXPECT_EQ(bar.GetExpandedGroup(), groups[0]);
    EXPECT_TRUE(bar.GetChildWndRect().IsRectEmpty());
    EXPECT_FALSE(panes[0]->IsWindowVisible());
}

// --- real input ---

TEST_F(ShortcutBarTest, ClickExpandsAndTheOwnerHearsIt)
{
    MakeBar(0);
    InputClick(bar.m_hWnd, HeaderCentre(groups[1]));
    ASSERT_TRUE(PumpUntil([&] { return bar.GetExpandedGroup() == groups[1]; }));
    PumpFor(100);
    const auto expanding = owner.Of(32983);
    const auto expanded = owner.Of(32981);
    ASSERT_EQ(expanding.size(), 1u);
    ASSERT_EQ(expanded.size(), 1u);
    EXPECT_EQ(expanding[0].hGroup, groups[1]);
    EXPECT_EQ(expanded[0].hGroup, groups[1]);
    EXPECT_EQ(expanded[0].hwndFrom, bar.m_hWnd);
    EXPECT_EQ(expanded[0].nItem, -1);
    EXPECT_TRUE(panes[1]->IsWindowVisible());

    // A refusal keeps the group that is open.
    owner.answers[32983] = 1;
    InputClick(bar.m_hWnd, HeaderCentre(groups[2]));
    PumpFor(200);
    EXPECT_EQ(bar.GetExpandedGroup(), groups[1]);
    EXPECT_EQ(owner.Of(32981).size(), 1u);
}

TEST_F(ShortcutBarTest, AnimatedExpansionEndsInTheSameLayout)
{
    MakeBar(SHB_STYLE_ANIMATEEXPAND);
    bar.ExpandGroup(groups[2]);
    const CRect child = bar.GetChildWndRect();
    // Upwards (the old group lies below) and back downwards.
    for (int i : {0, 2}) {
        InputClick(bar.m_hWnd, HeaderCentre(groups[i]));
        ASSERT_TRUE(PumpUntil([&] { return bar.GetExpandedGroup() == groups[i]; }));
        PumpFor(100);
        CRect rect;
        panes[i]->GetWindowRect(&rect);
        bar.ScreenToClient(&rect);
        EXPECT_EQ(rect, bar.GetChildWndRect());
        EXPECT_TRUE(panes[i]->IsWindowVisible());
        EXPECT_FALSE(panes[2 - i]->IsWindowVisible());
    }
    EXPECT_EQ(bar.GetChildWndRect(), child);
    EXPECT_EQ(bar.GetGroupHeaderRect(groups[0]), CRect(0, 0, 200, 18));
    EXPECT_EQ(bar.GetGroupHeaderRect(groups[1]), CRect(0, 18, 200, 36));
}

TEST_F(ShortcutBarTest, HotHeadersExpandOnRelease)
{
    MakeBar(SHB_STYLE_HOTHEADERS | SHB_STYLE_NOGROUPDRAG);
    const CPoint at = ToScreen(HeaderCentre(groups[2]));
    InputMouseMove(at);
    PumpFor(100);
    EXPECT_EQ(bar.GetHotGroup(), groups[2]);
    InputMouseButton(true);
    PumpFor(150);
    EXPECT_EQ(bar.GetPressedGroup(), groups[2]);
    EXPECT_EQ(bar.GetExpandedGroup(), 0u);
    // Pressed under the pointer: the sunken look (outer frame dark at the top-left).
    const CRect rect = bar.GetGroupHeaderRect(groups[2]);
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    EXPECT_EQ(Hex(Pixel(rect.left, rect.top)), Hex(AdjustColorBrightness(face, -128)));
    InputMouseButton(false);
    ASSERT_TRUE(PumpUntil([&] { return bar.GetExpandedGroup() == groups[2]; }));
    EXPECT_EQ(bar.GetPressedGroup(), 0u);
}

TEST_F(ShortcutBarTest, RestingOnAHeaderExpandsIt)
{
    MakeBar(SHB_STYLE_AUTOEXPAND);
    bar.ExpandGroup(groups[0]);
    owner.heard.clear();
    InputMouseMove(ToScreen(HeaderCentre(groups[2])));
    // The hover delay passes while the pointer rests.
    ASSERT_TRUE(PumpUntil([&] { return bar.GetExpandedGroup() == groups[2]; }, 600));
    ASSERT_EQ(owner.Of(32981).size(), 1u);
    EXPECT_EQ(owner.Of(32981)[0].hGroup, groups[2]);

    // Without the style a rest does nothing.
    bar.SetBarStyle(0);
    InputMouseMove(ToScreen(HeaderCentre(groups[1])));
    PumpFor(1200);
    EXPECT_EQ(bar.GetExpandedGroup(), groups[2]);
}

TEST_F(ShortcutBarTest, DraggingAHeaderOntoAnotherSwapsThem)
{
    MakeBar(0);
    PressAndDragTo(groups[0], groups[2]);
    EXPECT_EQ(bar.GetDragGroup(), groups[0]);
    EXPECT_EQ(bar.GetDropTargetGroup(), groups[2]);
    // Mid-drag: the dragged header inverted, the target framed in red.
    const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    const CRect dragged = bar.GetGroupHeaderRect(groups[0]);
    const CRect target = bar.GetGroupHeaderRect(groups[2]);
    EXPECT_EQ(Hex(Pixel(dragged.left + 3, dragged.top + 3)), Hex(InvertColor(face)));
    EXPECT_EQ(Hex(Pixel(target.left, target.top + 5)), Hex(RGB(255, 0, 0)));
    // The target lies below: the arrows point down in the bottom corners (tip row 4 px up).
    EXPECT_EQ(Hex(Pixel(target.left + 4 + 3, target.bottom - 5)), Hex(RGB(255, 0, 0)));
    Release();
    EXPECT_EQ(Order(), (std::vector<std::string>{"Gamma", "Beta", "Alpha"}));
    EXPECT_EQ(bar.GetDragGroup(), 0u);
    EXPECT_EQ(::GetCapture(), nullptr);

    const auto dragNotes = owner.Of(32976);
    ASSERT_EQ(dragNotes.size(), 2u);
    EXPECT_EQ(dragNotes[0].hGroup, groups[0]);
    EXPECT_EQ(dragNotes[1].hGroup, 0u);
    const auto drops = owner.Of(32985);
    ASSERT_EQ(drops.size(), 1u);
    EXPECT_EQ(drops[0].hGroup, groups[0]);
    EXPECT_EQ(static_cast<HSHBGROUP>(drops[0].lParam), groups[2]);

    // A refused drop leaves the orders; a drop on itself only repaints.
    owner.answers[32985] = 1;
    PressAndDragTo(groups[1], groups[2]);
    Release();
    EXPECT_EQ(Order(), (std::vector<std::string>{"Gamma", "Beta", "Alpha"}));
    owner.answers.clear();
    owner.heard.clear();
    PressAndDragTo(groups[1], groups[1], CPoint(20, 0));
    Release();
    EXPECT_EQ(Order(), (std::vector<std::string>{"Gamma", "Beta", "Alpha"}));
    EXPECT_TRUE(owner.Of(32985).empty());
}

// The pointer leaves the bar under its last header. With a drag image the picture still
// overlaps that header; without one the dragged header's own place counts, which is itself.
TEST_F(ShortcutBarTest, BelowTheHeadersTheDragImageStillHitsTheLastHeader)
{
    MakeBar(SHB_STYLE_GROUPDRAGIMAGE);
    // Pressing Alpha expands it: Beta and Gamma go to the bottom (Gamma 242..260).
    PressAndDragTo(groups[0], groups[2], CPoint(0, 11));
    EXPECT_EQ(bar.GetDragGroup(), groups[0]);
    EXPECT_EQ(bar.GetDropTargetGroup(), groups[2]);
    Release();
    EXPECT_EQ(Order(), (std::vector<std::string>{"Gamma", "Beta", "Alpha"}));
}

TEST_F(ShortcutBarTest, BelowTheHeadersWithoutAnImageNothingIsHit)
{
    MakeBar(0);
    PressAndDragTo(groups[0], groups[2], CPoint(0, 11));
    EXPECT_EQ(bar.GetDragGroup(), groups[0]);
    EXPECT_EQ(bar.GetDropTargetGroup(), groups[0]);
    Release();
    EXPECT_EQ(Order(), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
}

TEST_F(ShortcutBarTest, RedHeadersGetBlueDropMarks)
{
    MakeBar(0);
    SHB_DESCRIPTOR red{};
    red.clrHeaderBackground = RGB(255, 0, 0);
    red.nMask = SHBIF_HDRCLRBACK;
    ASSERT_TRUE(bar.SetGroupDescriptor(groups[0], &red));
    PressAndDragTo(groups[2], groups[0]);
    const CRect target = bar.GetGroupHeaderRect(groups[0]);
    EXPECT_EQ(Hex(Pixel(target.left, target.top + 5)), Hex(RGB(0, 0, 255)));
    // Above the dragged group: the arrows point up from the top corners.
    EXPECT_EQ(Hex(Pixel(target.right - 4 - 7 + 3, target.top + 4)), Hex(RGB(0, 0, 255)));
    Release();
    EXPECT_EQ(Order(), (std::vector<std::string>{"Gamma", "Beta", "Alpha"}));
}

namespace {

// The texts and check marks of a popup menu.
std::vector<std::string> MenuItems(HMENU hMenu)
{
    std::vector<std::string> items;
    for (int i = 0; i < ::GetMenuItemCount(hMenu); ++i) {
        char text[64] = {};
        ::GetMenuString(hMenu, i, text, sizeof(text), MF_BYPOSITION);
        const UINT state = ::GetMenuState(hMenu, i, MF_BYPOSITION);
        std::string item = (state & MF_SEPARATOR) ? "-" : text;
        if (state & MF_CHECKED)
            item += " [x]";
        items.push_back(item);
    }
    return items;
}

} // namespace

TEST_F(ShortcutBarTest, ContextMenuContents)
{
    MakeBar(0);
    bar.ExpandGroup(groups[0]);
    std::vector<std::string> seen;
    HSHBGROUP menuGroup = 0;
    owner.answers[33004] = 1; // the owner shows it itself (here: only reads it)
    owner.onNotify = [&](SHB_NOTIFYHDR* nm) {
        if (nm->hdr.code != 33004)
            return;
        auto* info = reinterpret_cast<SHB_CONTEXTMENUINFO*>(nm->lParam);
        seen = MenuItems(info->pMenu->m_hMenu);
        menuGroup = info->hGroup;
        EXPECT_EQ(info->pShortcutBar, &bar);
    };
    struct Case {
        const char* what;
        DWORD style;
        CPoint at;
        HSHBGROUP group;
        std::vector<std::string> want;
    };
    const Case cases[] = {
        {"child area, no editing", 0, CPoint(100, 100), groups[0],
         {"Large Icons [x]", "Small Icons"}},
        {"header, editing", SHB_STYLE_EDITHEADERS, HeaderCentre(groups[2]), groups[2],
         {"Add New Group", "-", "Large Icons [x]", "Small Icons", "-", "Remove Group",
          "Rename Group"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        bar.SetBarStyle(c.style);
        seen.clear();
        MouseRightClick(ToScreen(c.at));
        ASSERT_TRUE(PumpUntil([&] { return !seen.empty(); }));
        EXPECT_EQ(seen, c.want);
        EXPECT_EQ(menuGroup, c.group);
    }
    // The caller's window in the child area was offered the menu.
    bool offered = false;
    for (const auto& m : panes[0]->messages)
        offered = offered || m.first == 0x80EE;
    EXPECT_TRUE(offered);
}

namespace {

struct MenuPick {
    int downs;
};

void PickMenuItem(HWND, void* context)
{
    const int downs = static_cast<MenuPick*>(context)->downs;
    ::Sleep(100);
    for (int i = 0; i < downs; ++i)
        InputKeyStroke(VK_DOWN);
    InputKeyStroke(VK_RETURN);
}

} // namespace

TEST_F(ShortcutBarTest, ContextMenuCommands)
{
    MakeBar(SHB_STYLE_EDITHEADERS);
    bar.ExpandGroup(groups[0]);
    {
        // "Small Icons": the third item after "Add New Group" and a separator.
        MenuPick pick{3};
        DialogAnswerer answer(&PickMenuItem, &pick, "#32768", 5000);
        MouseRightClick(ToScreen(CPoint(100, 100)));
        ASSERT_TRUE(PumpUntil([&] { return bar.GetGroupView(groups[0]) == SHB_SMALLICON; }, 600));
    }
    {
        // "Remove Group" on a header removes that group, not the expanded one.
        MenuPick pick{4};
        DialogAnswerer answer(&PickMenuItem, &pick, "#32768", 5000);
        MouseRightClick(ToScreen(HeaderCentre(groups[1])));
        ASSERT_TRUE(PumpUntil([&] { return bar.GetGroupCount() == 2; }, 600));
    }
    EXPECT_EQ(Order(), (std::vector<std::string>{"Alpha", "Gamma"}));
    EXPECT_EQ(owner.Of(32978).size(), 1u);
    EXPECT_EQ(owner.Of(32978)[0].hGroup, groups[1]);
}

namespace {

// A window outside the bar that starts an OLE drag of some text when pressed.
class DragSource : public CWnd {
public:
    BOOL CreateSource(CWnd* pParent, const CRect& rect)
    {
        return CreateEx(0, AfxRegisterWndClass(0), nullptr, WS_CHILD | WS_VISIBLE, rect, pParent,
                        0);
    }
    DROPEFFECT result = 0;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_LBUTTONDOWN) {
            COleDataSource data;
            static const char kText[] = "dragged";
            HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(kText));
            std::memcpy(::GlobalLock(h), kText, sizeof(kText));
            ::GlobalUnlock(h);
            data.CacheGlobalData(CF_TEXT, h);
            result = data.DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE);
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }
};

} // namespace

TEST_F(ShortcutBarTest, AnOleDragRestingOnAHeaderExpandsIt)
{
    MakeBar(0); // no auto-expansion style: an OLE drag needs none
    bar.ExpandGroup(groups[0]);
    DragSource source;
    ASSERT_TRUE(source.CreateSource(&owner, CRect(260, 20, 380, 120)));
    PumpPending();
    CPoint from(320, 70);
    owner.ClientToScreen(&from);
    const CPoint over = ToScreen(HeaderCentre(groups[2]));
    // Onto the header, then resting there for several timer periods before the drop.
    MouseDragPath({from, over, over, over, over, over}, 6);
    ASSERT_TRUE(PumpUntil([&] { return bar.GetExpandedGroup() == groups[2]; }, 400));
    EXPECT_FALSE(owner.Of(32934).empty());
    // The bar itself accepts nothing.
    EXPECT_EQ(source.result, static_cast<DROPEFFECT>(DROPEFFECT_NONE));
}

// --- skins ---

namespace {

struct SkinCase {
    const char* skin;
    int headerHeight;
};

} // namespace

TEST_F(ShortcutBarTest, EachSkinPaints)
{
    for (const SkinCase& c : {SkinCase{"Classic", 18}, SkinCase{"Office XP", 18},
                              SkinCase{"Office 2003", 32}}) {
        SCOPED_TRACE(c.skin);
        ASSERT_TRUE(theApp.SetCurrentSkin(c.skin));
        if (!::IsWindow(bar.m_hWnd))
            MakeBar(0);
        bar.ExpandGroup(groups[1]);
        bar.SendMessage(WM_SIZE, 0, MAKELPARAM(200, 260));
        bar.RedrawWindow();
        PumpPending();
        COXShortcutBarSkin* pSkin = bar.GetShortcutBarSkin();
        ASSERT_EQ(pSkin, theApp.GetCurrentSkin()->GetShortcutBarSkin());
        const CRect header = bar.GetGroupHeaderRect(groups[1]);
        EXPECT_EQ(header.Height(), c.headerHeight);
        const CRect child = bar.GetChildWndRect();
        const COLORREF face = ::GetSysColor(COLOR_BTNFACE);
        if (pSkin->GetSkinType() != 2) {
            // Headers from the top; the child under the expanded header.
            EXPECT_EQ(bar.GetGroupHeaderRect(groups[0]).top, 0);
            EXPECT_EQ(child.top, header.bottom + 5);
            EXPECT_EQ(Hex(Pixel(header.left, header.top)), Hex(AdjustColorBrightness(face, 64)));
            EXPECT_EQ(Hex(Pixel(header.right - 1, header.bottom - 1)),
                      Hex(AdjustColorBrightness(face, -128)));
            EXPECT_EQ(Hex(Pixel(header.left + 3, header.top + 3)), Hex(face));
            // The margin round the child shows the skin's background.
            EXPECT_EQ(Hex(Pixel(2, child.top + 20)), Hex(pSkin->GetBackgroundColor(&bar)));
        } else {
            // Every header at the bottom, the child under the title band.
            EXPECT_EQ(bar.GetGroupHeaderRect(groups[2]).bottom, 260);
            EXPECT_EQ(child.top, 25 + 5);
            EXPECT_TRUE(Near(Pixel(100, 0), RGB(85, 131, 211), 8)) << Hex(Pixel(100, 0));
            EXPECT_TRUE(Near(Pixel(100, 24), RGB(3, 56, 147), 8)) << Hex(Pixel(100, 24));
            EXPECT_EQ(Hex(Pixel(100, header.bottom - 1)), Hex(RGB(0, 45, 150)));
            // The expanded header runs to orange at its bottom.
            EXPECT_TRUE(Near(Pixel(150, header.bottom - 2), RGB(238, 149, 21), 16))
                << Hex(Pixel(150, header.bottom - 2));
        }
        // The expanded pane sits on the child area.
        EXPECT_EQ(Hex(Pixel(child.left + 10, child.top + 10)), Hex(kPaneColours[1]));
    }
}

TEST_F(ShortcutBarTest, ShowcaseForScreenshots)
{
    const char* name = std::getenv("SONORIA_SHOWCASE_SKIN");
    const char* hold = std::getenv("SONORIA_SHOWCASE_MS");
    if (name == nullptr || hold == nullptr)
        GTEST_SKIP() << "set SONORIA_SHOWCASE_SKIN and SONORIA_SHOWCASE_MS";
    ASSERT_TRUE(theApp.SetCurrentSkin(name));
    CWnd::FromHandle(SharedTopWindow())->SetWindowText(CString("Shortcut bar: ") + name);
    MakeBar(SHB_STYLE_HOTHEADERS | SHB_STYLE_BOLDEXPANDED, CRect(10, 10, 210, 290));
    bar.ExpandGroup(groups[1]);
    const DWORD until = ::GetTickCount() + static_cast<DWORD>(std::atoi(hold));
    while (static_cast<int>(until - ::GetTickCount()) > 0) {
        PumpPending();
        ::Sleep(20);
    }
}

// --- the bar's own children: item lists and the header editor ---

TEST_F(ShortcutBarTest, AGroupWithoutAWindowGetsAList)
{
    MakeBar(0);
    SHB_GROUPINFO info = GroupInfo("Items", nullptr);
    info.nMask &= ~SHBIF_CHILDWND;
    const HSHBGROUP h = bar.InsertGroup(&info);
    ASSERT_NE(h, 0u);
    COXSHBListCtrl* pList = bar.GetGroupListCtrl(h);
    ASSERT_NE(pList, nullptr);
    ASSERT_TRUE(::IsWindow(pList->m_hWnd));
    EXPECT_EQ(static_cast<HSHBGROUP>(pList->GetDlgCtrlID()), h);
    EXPECT_EQ(bar.GetGroupChildWnd(h), pList);
    EXPECT_FALSE(pList->IsWindowVisible());
    InputClick(bar.m_hWnd, HeaderCentre(h));
    ASSERT_TRUE(PumpUntil([&] { return bar.GetExpandedGroup() == h; }));
    EXPECT_TRUE(pList->IsWindowVisible());
    CRect rect;
    pList->GetWindowRect(&rect);
    bar.ScreenToClient(&rect);
    EXPECT_EQ(rect, bar.GetChildWndRect());
    // A caller's window takes the list's place; removing it brings a list back.
    SHB_GROUPINFO own{};
    own.nMask = SHBIF_CHILDWND;
    own.hwndChild = panes[0]->m_hWnd;
    ASSERT_TRUE(bar.SetGroupInfo(h, &own));
    EXPECT_EQ(bar.GetGroupChildWnd(h)->m_hWnd, panes[0]->m_hWnd);
    EXPECT_FALSE(pList->IsWindowVisible());
    own.hwndChild = nullptr;
    ASSERT_TRUE(bar.SetGroupInfo(h, &own));
    ASSERT_NE(bar.GetGroupListCtrl(h), nullptr);
    EXPECT_EQ(bar.GetGroupChildWnd(h), bar.GetGroupListCtrl(h));
    ASSERT_TRUE(bar.DeleteGroup(h));
    EXPECT_EQ(bar.GetGroupListCtrl(h), nullptr);
}

TEST_F(ShortcutBarTest, RenamingAHeaderInPlace)
{
    MakeBar(SHB_STYLE_EDITHEADERS);
    bar.ExpandGroup(groups[0]);
    std::vector<std::string> endTexts;
    owner.onNotify = [&](SHB_NOTIFYHDR* nm) {
        if (nm->hdr.code == 32979)
            endTexts.push_back(reinterpret_cast<LPCTSTR>(nm->lParam));
    };
    struct Case {
        const char* what;
        LRESULT answer;  // the owner's answer to the end of the edit
        UINT finish;     // the key that ends it
        std::string heard;
        std::string after;
    };
    const Case cases[] = {{"accepted", 0, VK_RETURN, "Bravo", "Bravo"},
                          {"refused by the owner", 1, VK_RETURN, "Charlie", "Bravo"},
                          {"cancelled", 0, VK_ESCAPE, "Bravo", "Bravo"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        owner.answers[32979] = c.answer;
        endTexts.clear();
        // "Rename Group": the fifth item after the separators are skipped.
        MenuPick pick{5};
        {
            DialogAnswerer answer(&PickMenuItem, &pick, "#32768", 5000);
            MouseRightClick(ToScreen(HeaderCentre(groups[1])));
            ASSERT_TRUE(PumpUntil([&] { return bar.GetEditedGroup() == groups[1]; }, 600));
        }
        TypeKeys(std::string(c.heard).c_str());
        KeyPress(c.finish);
        ASSERT_TRUE(PumpUntil([&] { return bar.GetEditedGroup() == 0; }, 400));
        PumpFor(100);
        ASSERT_EQ(endTexts.size(), 1u);
        EXPECT_EQ(endTexts[0], c.heard);
        EXPECT_EQ(std::string(bar.GetGroupText(groups[1])), c.after);
    }
    EXPECT_EQ(owner.Of(32977).size(), 3u);
}

TEST_F(ShortcutBarTest, AddNewGroupOnAnEmptyBar)
{
    ASSERT_TRUE(bar.Create(&owner, CRect(10, 10, 210, 270), SHB_STYLE_EDITHEADERS, kBarId));
    PumpPending();
    std::vector<std::string> seen;
    owner.onNotify = [&](SHB_NOTIFYHDR* nm) {
        if (nm->hdr.code == 33004)
            seen = MenuItems(reinterpret_cast<SHB_CONTEXTMENUINFO*>(nm->lParam)->pMenu->m_hMenu);
    };
    MenuPick pick{1};
    {
        DialogAnswerer answer(&PickMenuItem, &pick, "#32768", 5000);
        MouseRightClick(ToScreen(CPoint(100, 100)));
        ASSERT_TRUE(PumpUntil([&] { return bar.GetGroupCount() == 1; }, 600));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"Add New Group"}));
    const HSHBGROUP h = bar.FindGroupByOrder(0);
    EXPECT_EQ(bar.GetExpandedGroup(), h);
    ASSERT_TRUE(PumpUntil([&] { return bar.GetEditedGroup() == h; }));
    TypeKeys("Fresh");
    KeyPress(VK_RETURN);
    ASSERT_TRUE(PumpUntil([&] { return bar.GetGroupText(h) == "Fresh"; }, 400));
    // Without the editing style no menu opens on an empty bar.
    bar.DeleteAllGroups();
    bar.SetBarStyle(0);
    owner.heard.clear();
    MouseRightClick(ToScreen(CPoint(100, 100)));
    PumpFor(300);
    ASSERT_EQ(owner.Of(33004).size(), 1u);
    EXPECT_EQ(owner.Of(33004)[0].hGroup, 0u);
}
