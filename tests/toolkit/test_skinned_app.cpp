// The Office XP and Office 2003 skins in a program whose application object is a
// COXSkinnedApp: skin choice and switching, and how bars, tabs and spins paint under each
// skin, checked by reading pixels back with the real cursor where hot states matter.
// With SONORIA_SHOWCASE_SKIN and SONORIA_SHOWCASE_MS set, the showcase stays up for
// scripts/screenshot.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "tests/framework_ui/ui_test_support.h"
#include "tests/toolkit/skin_test_support.h"
#include "toolkit/frames/skins/skinned_app.h"
#include "toolkit/frames/skins/skinned_spin.h"
#include "toolkit/frames/skins/skinned_tab.h"
#include "toolkit/frames/sizebar/frame_size_dock.h"
#include "toolkit/frames/sizebar/sizable_mini_frame.h"
#include "toolkit/frames/sizebar/size_control_bar.h"
#include "toolkit/frames/skins/tabview_container.h"

static COXSkinnedApp theApp;

namespace {

COLORREF Sys(int i)
{
    return ::GetSysColor(i);
}

std::string Hex(COLORREF c)
{
    char s[16];
    snprintf(s, sizeof(s), "%06lX", static_cast<unsigned long>(c));
    return s;
}

// Row (or column) i of n of a gradient from start to end.
COLORREF GradientAt(COLORREF start, COLORREF end, int i, int n)
{
    auto ch = [&](BYTE a, BYTE b) { return static_cast<BYTE>(a + (b - a) * i / n); };
    return RGB(ch(GetRValue(start), GetRValue(end)), ch(GetGValue(start), GetGValue(end)),
               ch(GetBValue(start), GetBValue(end)));
}

// The bar asks for its skin the way a sizable bar does: the current skin's, else its own.
COXDockbarSkin* LookupDockbarSkin(TestBar* pBar)
{
    static std::unique_ptr<COXDockbarSkin> own;
    return OXLookupElementSkin<COXDockbarSkin, COXDockbarSkinClassic>(&COXSkin::m_pDockbarSkin,
                                                                      own);
}

class SkinnedApp : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(theApp.SetCurrentSkin("Office XP")); }
    void TearDown() override { theApp.SetCurrentSkin("Office XP"); }
    COXSkinXP* Palette() { return dynamic_cast<COXSkinXP*>(theApp.GetCurrentSkin()); }
    COXSkin2003* Palette2003() { return dynamic_cast<COXSkin2003*>(theApp.GetCurrentSkin()); }
};

// A bar of 200 x 150 in a host at the top-left of the shared window.
struct Bar {
    TestHostWnd host{500, 400};
    TestBar bar;
    Bar(DWORD dwSizeBarStyle, DWORD dwBarStyle, int y = 10, LPCTSTR title = nullptr)
        : bar(nullptr, dwSizeBarStyle, dwBarStyle)
    {
        bar.pfnLookup = &LookupDockbarSkin;
        bar.CreateBar(&host, CRect(10, y, 210, y + 150), title);
        Repaint();
    }
    void Repaint()
    {
        bar.RedrawWindow(nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        PumpPending();
    }
    COLORREF At(int x, int y) { return bar.WindowPixel(x, y); }
    bool Any(const CRect& rect, COLORREF clr)
    {
        HDC dc = ::GetWindowDC(bar.m_hWnd);
        bool found = AnyPixel(dc, rect, clr);
        ::ReleaseDC(bar.m_hWnd, dc);
        return found;
    }
    // Moves the real cursor to a point of the bar's window rectangle and repaints.
    void Hover(int x, int y)
    {
        CRect rect;
        bar.GetWindowRect(&rect);
        MoveMouseTo(rect.left + x, rect.top + y);
        PumpUntil([&] {
            CPoint p;
            ::GetCursorPos(&p);
            return p.x == rect.left + x && p.y == rect.top + y;
        });
        Repaint();
    }
};

} // namespace

TEST_F(SkinnedApp, StartsWithOfficeXPAndFilesThreeSkinsByName)
{
    ASSERT_NE(theApp.GetCurrentSkin(), nullptr);
    EXPECT_STREQ(theApp.GetCurrentSkin()->GetName(), "Office XP");
    struct Case {
        const char* name;
        int type;
    };
    for (const Case& c : {Case{"Classic", 0}, Case{"Office XP", 1}, Case{"Office 2003", 1}}) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(theApp.SetCurrentSkin(c.name));
        EXPECT_STREQ(theApp.GetCurrentSkin()->GetName(), c.name);
        EXPECT_EQ(theApp.GetCurrentSkin()->GetSkinType(), c.type);
        EXPECT_NE(theApp.GetCurrentSkin()->GetDockbarSkin(), nullptr);
        EXPECT_NE(theApp.GetCurrentSkin()->GetTabSkin(), nullptr);
    }
    EXPECT_FALSE(theApp.SetCurrentSkin("office xp")) << "names match exactly";
    EXPECT_EQ(theApp.GetCurrentSkin(), nullptr);
}

TEST_F(SkinnedApp, UnknownSkinLeavesControlsOnTheirOwnClassicSkins)
{
    TestHostWnd host;
    COXSkinnedTabCtrl tab;
    tab.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 60), &host, 1);
    COXTabSkin* pSkinned = tab.GetTabSkin();
    EXPECT_EQ(pSkinned, theApp.GetCurrentSkin()->GetTabSkin());
    EXPECT_FALSE(theApp.SetCurrentSkin("Blue"));
    COXTabSkin* pOwn = tab.GetTabSkin();
    EXPECT_NE(pOwn, pSkinned);
    EXPECT_NE(dynamic_cast<COXTabSkinClassic*>(pOwn), nullptr);
    ASSERT_TRUE(theApp.SetCurrentSkin("Office 2003"));
    EXPECT_EQ(tab.GetTabSkin(), theApp.GetCurrentSkin()->GetTabSkin());
}

TEST_F(SkinnedApp, SwitchingRepaintsTheMainWindowAndItsDescendants)
{
    TestHostWnd host;
    COXSkinnedTabCtrl tab;
    tab.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 100), &host, 1);
    tab.InsertItem(0, "Album");
    tab.InsertItem(1, "Track");
    CWnd* pMain = CWnd::FromHandle(SharedTopWindow());
    theApp.m_pMainWnd = pMain;
    tab.RedrawWindow();
    CRect item;
    tab.GetItemRect(1, &item);
    CClientDC dc(&tab);
    const COLORREF xp = ::GetPixel(dc, item.left + 3, item.top + 1);
    EXPECT_EQ(Hex(xp), Hex(Palette()->GetLightFaceColor()));
    ASSERT_TRUE(theApp.SetCurrentSkin("Office 2003"));
    // No further paint is asked for: the switch itself repainted the tab.
    const COLORREF office2003 = ::GetPixel(dc, item.left + 3, item.top + 1);
    theApp.m_pMainWnd = nullptr;
    COXSkin2003* skin = Palette2003();
    const COLORREF want = GradientAt(skin->GetTabGradientDarkColor(),
                                     skin->GetTabGradientLightColor(), 1, item.Height());
    EXPECT_LE(ColourDistance(office2003, want), 3) << Hex(office2003) << " vs " << Hex(want);
}

// --- dock-bar skins ---

TEST_F(SkinnedApp, XPBarIsFlatWithFourGripperLines)
{
    Bar b(0, kDockedLeft);
    const COLORREF gripper = Palette()->GetGripperColor();
    EXPECT_EQ(Hex(b.At(2, 2)), Hex(Sys(COLOR_BTNFACE)));
    EXPECT_EQ(Hex(b.At(50, 10)), Hex(gripper));
    EXPECT_EQ(Hex(b.At(50, 11)), Hex(Sys(COLOR_BTNFACE)));
    EXPECT_EQ(Hex(b.At(50, 12)), Hex(gripper));

    Bar upright(0, kDockedTop);
    EXPECT_EQ(Hex(upright.At(10, 80)), Hex(gripper)) << "a strip at the left has upright lines";
}

TEST_F(SkinnedApp, XPCloseButtonIsHotUnderTheRealCursor)
{
    Bar b(0, kDockedLeft);
    // The close button lies at (184, 5)-(195, 16) and is drawn one pixel larger each way.
    b.Hover(189, 10);
    EXPECT_EQ(Hex(b.At(185, 6)), Hex(Palette()->GetHotItemColor()));
    EXPECT_EQ(Hex(b.At(183, 4)), Hex(Palette()->GetHighlightBorderColor()));
    b.Hover(100, 100);
    EXPECT_EQ(Hex(b.At(185, 6)), Hex(Sys(COLOR_BTNFACE)));
}

TEST_F(SkinnedApp, XPDisabledExpandGlyphIsLighterOnASolidCaption)
{
    Bar b(0x200, kDockedLeft);
    b.bar.m_bCanExpand = FALSE;
    b.Repaint();
    const CRect expand(169, 4, 183, 18);
    const COLORREF caption = Sys(COLOR_INACTIVECAPTION);
    EXPECT_TRUE(b.Any(expand, COXSkinXP::ShiftColor(caption, 64, 64, 64)));
    EXPECT_EQ(Hex(b.At(50, 10)), Hex(caption)) << "the solid strip keeps the inactive colour";
    b.bar.m_bActive = TRUE;
    b.Repaint();
    EXPECT_EQ(Hex(b.At(50, 10)), Hex(caption)) << "XP does not follow activation";
}

TEST_F(SkinnedApp, Office2003StripIsAGradientWithDots)
{
    ASSERT_TRUE(theApp.SetCurrentSkin("Office 2003"));
    COXSkin2003* skin = Palette2003();
    MoveMouseTo(880, 690); // away from every button
    PumpUntil([] {
        CPoint p;
        ::GetCursorPos(&p);
        return p.x == 880 && p.y == 690;
    });
    Bar first(0, kDockedLeft, 0);
    const COLORREF start = skin->GetCaptionGradientStartColor();
    const COLORREF end = skin->GetCaptionGradientEndColor();
    EXPECT_LE(ColourDistance(first.At(100, 0), start), 3);
    EXPECT_LE(ColourDistance(first.At(100, 23), GradientAt(start, end, 23, 24)), 3);
    EXPECT_EQ(Hex(first.At(5, 6)), Hex(skin->GetGripperColor())) << "the dots' column";
    // The close button (drawn at (180, 6)-(194, 20)) continues the strip's gradient.
    EXPECT_LE(ColourDistance(first.At(181, 8), GradientAt(start, end, 8, 24)), 3);

    Bar second(0, kDockedLeft, 10);
    EXPECT_EQ(Hex(second.At(100, 1)), Hex(skin->GetDockBarBackgroundColor()))
        << "a bar below another keeps a band of the dock bar's colour";
    EXPECT_LE(ColourDistance(second.At(100, 3), GradientAt(start, end, 3, 24)), 3);
}

TEST_F(SkinnedApp, SplittersAndDockBarBackgrounds)
{
    TestHostWnd host(300, 200);
    CClientDC dc(&host);
    for (const char* name : {"Office XP", "Office 2003"}) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(theApp.SetCurrentSkin(name));
        COXSkinXP* skin = Palette();
        COXDockbarSkin* dockbar = skin->GetDockbarSkin();
        dockbar->EraseDockBarBackground(&dc, &host);
        COXSplitterRect splitter(1, CRect(100, 0, 108, 200));
        dockbar->DrawSplitter(&dc, &splitter, &host);
        const bool is2003 = Palette2003() != nullptr;
        const COLORREF line = is2003 ? Palette2003()->GetSplitterLineColor()
                                     : skin->GetSeparatorColor();
        EXPECT_EQ(Hex(::GetPixel(dc, 104, 50)), Hex(line));
        EXPECT_EQ(Hex(::GetPixel(dc, 101, 50)), Hex(skin->GetDockBarBackgroundColor()));
        const COLORREF erased = ::GetPixel(dc, 250, 50);
        // 2003: one band from the client's left edge, its left half a gradient.
        const int half = std::max(::GetSystemMetrics(SM_CXSCREEN), 300) / 2;
        if (is2003)
            EXPECT_LE(ColourDistance(erased, GradientAt(Palette2003()->GetDockBarGradientStartColor(),
                                                        Palette2003()->GetDockBarGradientEndColor(),
                                                        250, half)),
                      3);
        else
            EXPECT_EQ(Hex(erased), Hex(Sys(COLOR_BTNFACE)));
    }
}

// --- tabs and spins ---

namespace {

struct Tabs {
    TestHostWnd host{500, 300};
    COXSkinnedTabCtrl tab;
    explicit Tabs(int nTabs, int width = 400, DWORD dwStyle = 0)
    {
        tab.Create(WS_CHILD | WS_VISIBLE | dwStyle, CRect(10, 10, 10 + width, 160), &host, 1);
        tab.SetFont(CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))));
        for (int i = 0; i < nTabs; ++i) {
            char name[32];
            snprintf(name, sizeof(name), "Page number %d", i + 1);
            tab.InsertItem(i, name);
        }
        Repaint();
    }
    void Repaint()
    {
        tab.RedrawWindow(nullptr, nullptr,
                         RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpPending();
    }
    COLORREF At(int x, int y)
    {
        CClientDC dc(&tab);
        return ::GetPixel(dc, x, y);
    }
    CRect Item(int i)
    {
        CRect r;
        tab.GetItemRect(i, &r);
        return r;
    }
};

} // namespace

TEST_F(SkinnedApp, XPTabsAreFlat)
{
    Tabs t(3);
    COXSkinXP* skin = Palette();
    const CRect selected = t.Item(0), other = t.Item(1);
    EXPECT_EQ(Hex(t.At(selected.left + 2, selected.top + 2)), Hex(Sys(COLOR_BTNFACE)));
    EXPECT_EQ(Hex(t.At(other.left + 3, other.top + 2)), Hex(skin->GetLightFaceColor()));
    EXPECT_EQ(Hex(t.At(selected.left, selected.top + 3)), Hex(RGB(255, 255, 255)))
        << "the selected tab's left edge";
    EXPECT_EQ(Hex(t.At(other.right - 1, other.top + 6)), Hex(Sys(COLOR_BTNSHADOW)))
        << "the separator after an unselected tab";
    CRect display;
    t.tab.GetClientRect(&display);
    t.tab.AdjustRect(FALSE, &display);
    EXPECT_EQ(Hex(t.At(display.left + 40, display.bottom - 2)), Hex(Sys(COLOR_BTNSHADOW)))
        << "the page frame";
    EXPECT_EQ(Hex(t.At(380, 2)), Hex(skin->GetLightFaceColor())) << "the band beside the tabs";
    EXPECT_TRUE(t.tab.GetSpin().m_hWnd == nullptr) << "all tabs fit: no scroll arrows";
}

TEST_F(SkinnedApp, Office2003TabsAreGradients)
{
    ASSERT_TRUE(theApp.SetCurrentSkin("Office 2003"));
    COXSkin2003* skin = Palette2003();
    Tabs t(3);
    const CRect selected = t.Item(0), other = t.Item(1);
    // From the outer edge (the top) to the page side; the first and last rows are edges.
    EXPECT_LE(ColourDistance(t.At(selected.left + 3, selected.top + 1),
                             GradientAt(skin->GetCaptionGradientStartColor(),
                                        skin->GetDockBarBackgroundColor(), 1, selected.Height())),
              3);
    const COLORREF dark = skin->GetTabGradientDarkColor(), light = skin->GetTabGradientLightColor();
    EXPECT_LE(ColourDistance(t.At(other.left + 3, other.top), dark), 3);
    EXPECT_LE(ColourDistance(t.At(other.left + 3, other.bottom - 2),
                             GradientAt(dark, light, other.Height() - 2, other.Height())),
              3);
    EXPECT_EQ(Hex(t.At(other.right - 1, other.top + 6)), Hex(skin->GetBorderColor()))
        << "the separator is a filled rectangle of the border colour";
}

TEST_F(SkinnedApp, TabsUnderTheScrollArrowsAreCutAndTheArrowsAreFlat)
{
    Tabs t(12, 300);
    COXSkinnedSpinCtrl& spin = t.tab.GetSpin();
    ASSERT_TRUE(::IsWindow(spin.m_hWnd)) << "the flat skin attached the scroll arrows";
    ASSERT_TRUE(spin.IsWindowVisible());
    EXPECT_TRUE(COXSkinnedSpinCtrl::IsHookInstalled());
    CRect rectSpin;
    spin.GetClientRect(&rectSpin);
    CClientDC dc(&spin);
    const int w = (rectSpin.Width() - 4) / 2;
    // At position 0 the left arrow cannot act: its triangle keeps the buffer's own brush.
    const COLORREF ink = Palette()->GetTabTextColor();
    const int cy = (rectSpin.top + 2 + rectSpin.bottom) / 2;
    EXPECT_NE(Hex(::GetPixel(dc, 2 + w / 2, cy)), Hex(ink));
    EXPECT_EQ(Hex(::GetPixel(dc, 2 + w + w / 2, cy)), Hex(ink));
}

TEST_F(SkinnedApp, SpinArrowIsHotUnderTheCursorUntilItLeaves)
{
    Tabs t(12, 300);
    COXSkinnedSpinCtrl& spin = t.tab.GetSpin();
    ASSERT_TRUE(::IsWindow(spin.m_hWnd));
    CRect rect;
    spin.GetWindowRect(&rect);
    const int w = (rect.Width() - 4) / 2;
    // The right half, raised: black at its frame's bottom-right (its top-left is white, as
    // may be the background). Two steps inside the arrow, so
    // that the spin sees a move of its own whatever became of earlier queued moves.
    for (int dx = 0; dx < 2; ++dx) {
        MoveMouseTo(rect.left + 2 + w + w / 2 + dx, rect.top + rect.Height() / 2);
        for (int i = 0; i < 10; ++i) {
            PumpPending();
            ::Sleep(10);
        }
    }
    auto frameColour = [&] {
        CClientDC dc(&spin);
        return ::GetPixel(dc, 2 * w, rect.Height() - 2);
    };
    EXPECT_TRUE(PumpUntil([&] { return frameColour() == RGB(0, 0, 0); })) << Hex(frameColour());
    // Onto another window: the hook tells the spin, which drops the frame without a click.
    MoveMouseTo(rect.left - 150, rect.top + 60);
    EXPECT_TRUE(PumpUntil([&] { return frameColour() != RGB(0, 0, 0); })) << Hex(frameColour());
}

TEST_F(SkinnedApp, SpinHookLivesWhileAnySpinDoes)
{
    TestHostWnd host;
    auto first = std::make_unique<COXSkinnedSpinCtrl>();
    auto second = std::make_unique<COXSkinnedSpinCtrl>();
    first->Create(WS_CHILD | WS_VISIBLE | UDS_HORZ, CRect(0, 0, 40, 20), &host, 1);
    second->Create(WS_CHILD | WS_VISIBLE | UDS_HORZ, CRect(0, 30, 40, 50), &host, 2);
    EXPECT_TRUE(COXSkinnedSpinCtrl::IsHookInstalled());
    first->DestroyWindow();
    EXPECT_TRUE(COXSkinnedSpinCtrl::IsHookInstalled()) << "the other spin still needs it";
    second->DestroyWindow();
    EXPECT_FALSE(COXSkinnedSpinCtrl::IsHookInstalled());
}

// The flat skins draw no 3D frame round the display area: a container's page reaches 4 px
// further on each side where the display area lies near the client edge, inside a flat frame.
TEST_F(SkinnedApp, XPContainerPageSpreadsOverTheFlatFrame)
{
    TestHostWnd host(500, 400);
    COX3DTabViewContainer tabs;
    tabs.Create("any class", "Information", 0, CRect(10, 10, 410, 310), &host, 100);
    ASSERT_TRUE(tabs.GetStyle() & TCS_BOTTOM) << "the fixed style puts the tabs at the bottom";
    CStatic page;
    page.Create("page", WS_CHILD | WS_VISIBLE, CRect(0, 0, 5, 5), &host, 200);
    ASSERT_TRUE(tabs.AddPage(&page, "Album"));
    CRect client, display;
    tabs.GetClientRect(&client);
    display = client;
    tabs.AdjustRect(FALSE, &display);
    CRect want(display.left + 1, display.top + 1, display.right - 1, display.bottom - 2);
    if (display.left - client.left < 8)
        want.left -= 4;
    if (display.top - client.top < 8)
        want.top -= 4;
    if (client.right - display.right < 8)
        want.right += 4;
    if (client.bottom - display.bottom < 8)
        want.bottom += 4;
    EXPECT_EQ(tabs.GetPageRect(), want);
    EXPECT_NE(tabs.GetPageRect().bottom, display.bottom - 2 + 4) << "the tab side keeps its place";
    tabs.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    PumpPending();
    // The page frame runs just outside the page.
    const CRect page1 = tabs.GetPageRect();
    CClientDC dc(&tabs);
    EXPECT_EQ(Hex(::GetPixel(dc, page1.left + 50, page1.bottom)), Hex(Sys(COLOR_BTNSHADOW)));
    tabs.DestroyWindow();
}

// --- the showcase for scripts/screenshot ---

TEST_F(SkinnedApp, Showcase)
{
    const char* name = std::getenv("SONORIA_SHOWCASE_SKIN");
    ASSERT_TRUE(theApp.SetCurrentSkin(name != nullptr ? name : "Office 2003"));
    CWnd* frame = CWnd::FromHandle(SharedTopWindow());
    frame->SetWindowText(CString("Skin: ") + theApp.GetCurrentSkin()->GetName());
    TestHostWnd host(880, 660);
    TestBar left(nullptr, 0, kDockedLeft), top(nullptr, 0x200, kDockedTop), plain(nullptr, 0x80, kDockedLeft);
    for (TestBar* bar : {&left, &top, &plain})
        bar->pfnLookup = &LookupDockbarSkin;
    left.CreateBar(&host, CRect(10, 10, 290, 200), "Album information");
    top.CreateBar(&host, CRect(300, 10, 500, 200), "Tracks");
    top.m_bActive = TRUE;
    plain.CreateBar(&host, CRect(510, 10, 870, 200), "Lyrics");
    plain.m_bCanExpand = FALSE;
    COXSkinnedTabCtrl tabs, many;
    tabs.Create(WS_CHILD | WS_VISIBLE, CRect(10, 220, 430, 420), &host, 10);
    many.Create(WS_CHILD | WS_VISIBLE | TCS_BOTTOM, CRect(450, 220, 870, 420), &host, 11);
    for (COXSkinnedTabCtrl* t : {&tabs, &many}) {
        t->SetFont(CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))));
        const char* names[] = {"Album", "Tracks", "Lyrics", "Artist", "Genre", "Comment",
                               "Encoder", "Output"};
        for (int i = 0; i < (t == &tabs ? 3 : 8); ++i)
            t->InsertItem(i, names[i]);
    }
    COXSkinnedSpinCtrl spin;
    spin.Create(WS_CHILD | WS_VISIBLE | UDS_HORZ, CRect(10, 440, 60, 462), &host, 12);
    spin.SetRange32(0, 10);
    spin.SetPos32(4);
    COX3DTabViewContainer container;
    container.Create("any class", "Information", 0, CRect(330, 470, 870, 650), &host, 13);
    CStatic album, tracks;
    album.Create("Album page: artist, title, year, genre", WS_CHILD | WS_VISIBLE,
                 CRect(0, 0, 5, 5), &host, 14);
    tracks.Create("Tracks page", WS_CHILD | WS_VISIBLE, CRect(0, 0, 5, 5), &host, 15);
    container.AddPage(&tracks, "Tracks");
    container.AddPage(&album, "Album");
    COXSplitterRect splitter(1, CRect(0, 0, 8, 180));
    host.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME |
                                            RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpPending();
    {
        // A dock bar's background with a splitter, painted into the host below the spin.
        CClientDC dc(&host);
        COXDockbarSkin* dockbar = theApp.GetCurrentSkin()->GetDockbarSkin();
        dockbar->EraseDockBarBackground(&dc, &host);
        splitter.m_rect = CRect(300, 440, 308, 660);
        dockbar->DrawSplitter(&dc, &splitter, &host);
    }
    for (CWnd* w : {static_cast<CWnd*>(&left), static_cast<CWnd*>(&top),
                    static_cast<CWnd*>(&plain), static_cast<CWnd*>(&tabs),
                    static_cast<CWnd*>(&many), static_cast<CWnd*>(&spin),
                    static_cast<CWnd*>(&container)})
        w->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN |
                                              RDW_UPDATENOW | RDW_ERASE);
    EXPECT_TRUE(::IsWindow(many.GetSpin().m_hWnd) || name != nullptr);
    if (const char* hold = std::getenv("SONORIA_SHOWCASE_MS")) {
        DWORD until = ::GetTickCount() + static_cast<DWORD>(std::atoi(hold));
        while (static_cast<int>(until - ::GetTickCount()) > 0) {
            PumpPending();
            ::Sleep(20);
        }
    }
}

TEST_F(SkinnedApp, FlatSkinsLeaveNoHandlesBehind)
{
    auto cycle = [](int i) {
        ASSERT_TRUE(theApp.SetCurrentSkin(i % 2 == 0 ? "Office XP" : "Office 2003"));
        Tabs t(12, 300); // attaches the scroll arrows
        Bar b(0x200, kDockedLeft, 170, "Tracks");
        b.Hover(189, 10); // the hot close button
        Bar plain(0, kDockedTop, 170, "Album");
        ASSERT_TRUE(::IsWindow(t.tab.GetSpin().m_hWnd));
    };
    cycle(0);
    cycle(1);
    CGdiObject::DeleteTempMap();
    const DWORD gdi = GdiObjectCount(), user = UserObjectCount();
    for (int i = 0; i < 100; ++i)
        cycle(i);
    CGdiObject::DeleteTempMap();
    EXPECT_EQ(GdiObjectCount(), gdi);
    EXPECT_EQ(UserObjectCount(), user);
    EXPECT_FALSE(COXSkinnedSpinCtrl::IsHookInstalled());
}

// The floating frame in the XP skin: flat border and caption in the palette's colours, and its
// own close button, hot under the real cursor and plain again when the cursor leaves the frame.
TEST_F(SkinnedApp, FloatingFrameIsPaintedByTheXPMiniFrameSkin)
{
    auto* frame = new COXFrameWndSizeDock;
    ASSERT_TRUE(frame->Create(nullptr, "Mini frames", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                              CRect(40, 40, 640, 480)));
    frame->EnableDocking(CBRS_ALIGN_ANY);
    COXSizeControlBar bar;
    ASSERT_TRUE(bar.Create(frame, "Floating", 32772, WS_CHILD | WS_VISIBLE | CBRS_TOP,
                           CRect(0, 0, 220, 120)));
    bar.EnableDocking(CBRS_ALIGN_ANY);
    frame->FloatControlBar(&bar, CPoint(200, 200));
    bar.SendMessage(WM_OX_REFRESHFLOATINGMENU);
    auto* fl = DYNAMIC_DOWNCAST(COXSizableMiniDockFrameWnd, bar.GetParentFrame());
    ASSERT_NE(fl, nullptr);
    EXPECT_EQ(fl->GetMiniFrameSkin(), theApp.GetCurrentSkin()->m_pMiniFrameSkin.get());
    fl->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
    PumpPending();

    COXSkinXP* p = Palette();
    const CRect caption = COXMiniFrameSkinXP::GetCaptionRect(fl);
    const CRect button = COXMiniFrameSkinXP::GetCloseButtonRect(fl);
    auto at = [&](int x, int y) {
        HDC hDC = ::GetWindowDC(fl->m_hWnd);
        const COLORREF c = ::GetPixel(hDC, x, y);
        ::ReleaseDC(fl->m_hWnd, hDC);
        return c;
    };
    EXPECT_EQ(Hex(at(0, 0)), Hex(p->GetMiniFrameBorderColor()));
    EXPECT_EQ(Hex(at(button.left - 3, caption.top + 1)), Hex(p->GetMiniFrameCaptionColor()));
    EXPECT_EQ(Hex(at(button.left + 1, button.top + 1)), Hex(p->GetMiniFrameCaptionColor()))
        << "not hot: no square";

    CRect w;
    fl->GetWindowRect(&w);
    InputMouseMove(CPoint(w.left + button.CenterPoint().x, w.top + button.CenterPoint().y));
    PumpFor(200);
    EXPECT_EQ(Hex(at(button.left + 1, button.top + 1)), Hex(p->GetHotItemColor())) << "hot";
    InputMouseMove(CPoint(w.left - 30, w.top - 30)); // onto the main frame
    PumpFor(200);
    EXPECT_EQ(Hex(at(button.left + 1, button.top + 1)), Hex(p->GetMiniFrameCaptionColor()))
        << "the cursor left: plain again";

    frame->DestroyWindow();
    PumpPending();
}
