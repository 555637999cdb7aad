// Skins under a plain application object: colour arithmetic, palettes, gradients, the
// dock-bar skins' geometry and the Classic painting that every control of such a program uses.
#include <gtest/gtest.h>

#include <cstdio>
#include <vector>

#include "tests/framework_ui/ui_test_support.h"
#include "tests/toolkit/skin_test_support.h"
#include "toolkit/frames/skins/dockbar_skin.h"
#include "toolkit/frames/skins/skin.h"
#include "toolkit/frames/skins/skinned_app.h"
#include "toolkit/frames/skins/skinned_spin.h"
#include "toolkit/frames/skins/skinned_tab.h"

namespace {

COLORREF Sys(int i)
{
    return ::GetSysColor(i);
}

// The Part's blend computed independently, in double.
COLORREF Blend(COLORREF a, double wa, COLORREF b, double wb, COLORREF c = 0, double wc = 0)
{
    auto ch = [](double v) { return static_cast<BYTE>(v >= 255 ? 255 : v <= 0 ? 0 : v); };
    return RGB(ch(GetRValue(a) * wa + GetRValue(b) * wb + GetRValue(c) * wc),
               ch(GetGValue(a) * wa + GetGValue(b) * wb + GetGValue(c) * wc),
               ch(GetBValue(a) * wa + GetBValue(b) * wb + GetBValue(c) * wc));
}

COLORREF Shift(COLORREF c, int d)
{
    return COXSkinXP::ShiftColor(c, d, d, d);
}

std::string Hex(COLORREF c)
{
    char s[16];
    snprintf(s, sizeof(s), "%06lX", static_cast<unsigned long>(c));
    return s;
}

} // namespace

TEST(SkinColours, ArithmeticClampsTruncatesAndDoesNotNormalise)
{
    struct Case {
        const char* what;
        COLORREF got;
        COLORREF want;
    };
    const Case cases[] = {
        {"shift clamps at 0", COXSkinXP::ShiftColor(RGB(5, 5, 5), -8, -8, -8), RGB(0, 0, 0)},
        {"shift clamps at 255", COXSkinXP::ShiftColor(RGB(250, 250, 250), 38, 38, 38),
         RGB(255, 255, 255)},
        {"shift per channel", COXSkinXP::ShiftColor(RGB(100, 100, 100), -8, -12, -22),
         RGB(92, 88, 78)},
        {"blend halves", COXSkinXP::BlendColors(RGB(200, 100, 0), 0.5f, RGB(0, 0, 100), 0.5f),
         RGB(100, 50, 50)},
        {"blend truncates",
         COXSkinXP::BlendColors(RGB(255, 255, 255), 0.16f, RGB(212, 208, 200), 0.84f),
         RGB(218, 215, 208)},
        {"weights below one darken", COXSkinXP::BlendColors(RGB(200, 200, 200), 0.55f, 0, 0.0f),
         RGB(110, 110, 110)},
        {"three colours", COXSkinXP::BlendColors(RGB(100, 0, 0), 1.0f, RGB(0, 100, 0), 1.0f,
                                                 RGB(0, 0, 100), 1.0f),
         RGB(100, 100, 100)},
        {"blend caps at 255", COXSkinXP::BlendColors(RGB(200, 0, 0), 1.0f, RGB(200, 0, 0), 1.0f),
         RGB(255, 0, 0)},
        {"scale caps", COXSkinXP::ScaleColor(RGB(240, 100, 10), 1.2f, 1.2f, 1.2f),
         RGB(255, 120, 12)},
        {"invert", COXSkinXP::InvertColor(RGB(0x12, 0x34, 0x56)), RGB(0xED, 0xCB, 0xA9)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Hex(c.got), Hex(c.want));
    }
}

TEST(SkinPalette, XPColoursAreBlendedFromTheCurrentSystemColours)
{
    COXSkinXP xp;
    const COLORREF window = Sys(COLOR_WINDOW), face = Sys(COLOR_BTNFACE),
                   hi = Sys(COLOR_HIGHLIGHT), shadow = Sys(COLOR_BTNSHADOW);
    struct Case {
        const char* name;
        COLORREF got;
        COLORREF want;
    };
    const Case cases[] = {
        {"hot", xp.GetHotItemColor(), Blend(window, 0.7, hi, 0.3)},
        {"checked", xp.GetCheckedItemColor(), Blend(face, 0.42, window, 0.48, hi, 0.1)},
        {"pressed", xp.GetPressedItemColor(), Blend(window, 0.5, hi, 0.5)},
        {"menu background", xp.GetMenuBackgroundColor(), Blend(window, 0.86, face, 0.14)},
        {"toolbar background", xp.GetToolbarBackgroundColor(), Blend(window, 0.16, face, 0.84)},
        {"mini-frame background follows the toolbar", xp.GetMiniFrameBackgroundColor(),
         Blend(window, 0.16, face, 0.84)},
        {"tab text", xp.GetTabTextColor(),
         COXSkinXP::ShiftColor(Sys(COLOR_GRAYTEXT), -8, -12, -22)},
        {"separator", xp.GetSeparatorColor(), Shift(shadow, 38)},
        {"menu disabled text follows the separator", xp.GetMenuDisabledTextColor(),
         Shift(shadow, 38)},
        {"gripper", xp.GetGripperColor(), Shift(shadow, 32)},
        {"mini-frame border", xp.GetMiniFrameBorderColor(), Shift(shadow, -9)},
        {"light face", xp.GetLightFaceColor(), COXSkinXP::ScaleColor(face, 1.2f, 1.2f, 1.2f)},
        {"border", xp.GetBorderColor(), shadow},
        {"dock-bar background", xp.GetDockBarBackgroundColor(), face},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_LE(ColourDistance(c.got, c.want), 1) << Hex(c.got) << " vs " << Hex(c.want);
    }
}

// Overriding one palette colour changes the colours defined through it.
TEST(SkinPalette, DerivedColoursCallTheirSourceVirtually)
{
    struct RedSeparator : COXSkinXP {
        RedSeparator() : COXSkin("Office XP") {}
        COLORREF GetSeparatorColor() override { return RGB(255, 0, 0); }
        COLORREF GetToolbarBackgroundColor() override { return RGB(0, 0, 255); }
    } skin;
    EXPECT_EQ(skin.GetMenuDisabledTextColor(), RGB(255, 0, 0));
    EXPECT_EQ(skin.GetMiniFrameBackgroundColor(), RGB(0, 0, 255));
}

TEST(SkinPalette, Office2003UsesTheColumnOfTheCurrentThemeState)
{
    COXSkin2003 skin;
    COXUxTheme ux;
    HTHEME theme = ux.OpenThemeData(nullptr, "button");
    const COLORREF window = Sys(COLOR_WINDOW), face = Sys(COLOR_BTNFACE);
    if (theme != nullptr) {
        const COLORREF hi = ux.GetThemeSysColor(theme, COLOR_HIGHLIGHT);
        EXPECT_EQ(skin.GetHotItemColor(), RGB(255, 238, 194));
        EXPECT_EQ(skin.GetDisabledTextColor(), RGB(141, 141, 141));
        EXPECT_LE(ColourDistance(skin.GetDockBarGradientEndColor(), Blend(window, 0.7, hi, 0.3)),
                  1);
        return;
    }
    COXSkinXP xp;
    struct Case {
        const char* name;
        COLORREF got;
        COLORREF want;
    };
    const Case cases[] = {
        {"hot as XP", skin.GetHotItemColor(), xp.GetHotItemColor()},
        {"highlight border", skin.GetHighlightBorderColor(), Sys(COLOR_HIGHLIGHT)},
        {"dock-bar background", skin.GetDockBarBackgroundColor(), face},
        {"tab text", skin.GetTabTextColor(), Sys(COLOR_BTNTEXT)},
        {"border is the XP separator", skin.GetBorderColor(), xp.GetSeparatorColor()},
        {"mini-frame caption", skin.GetMiniFrameCaptionColor(), Sys(COLOR_BTNSHADOW)},
        {"dock-bar gradient start", skin.GetDockBarGradientStartColor(), face},
        {"dock-bar gradient end", skin.GetDockBarGradientEndColor(), Blend(window, 0.8, face, 0.2)},
        {"caption gradient start", skin.GetCaptionGradientStartColor(),
         Blend(window, 0.73, face, 0.27)},
        {"caption gradient end", skin.GetCaptionGradientEndColor(), face},
        {"tab light", skin.GetTabGradientLightColor(), Blend(window, 0.78, face, 0.22)},
        {"tab dark", skin.GetTabGradientDarkColor(), Blend(window, 0.04, face, 0.96)},
        {"status top", skin.GetStatusGradientTopColor(), Sys(COLOR_BTNSHADOW)},
        {"splitter line", skin.GetSplitterLineColor(), xp.GetSeparatorColor()},
        {"checked gradient", skin.GetCheckedGradientStartColor(), xp.GetCheckedItemColor()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_LE(ColourDistance(c.got, c.want), 1) << Hex(c.got) << " vs " << Hex(c.want);
    }
}

namespace {

// A 2003 skin as it runs where Msimg32.dll is missing.
struct Skin2003WithoutMsimg : COXSkin2003 {
    Skin2003WithoutMsimg() : COXSkin("Office 2003") { m_pfnGradientFill = nullptr; }
};

struct MemoryCanvas {
    CDC dc;
    CBitmap bitmap;
    CBitmap* pOld;
    MemoryCanvas(int cx, int cy)
    {
        CClientDC screen(nullptr);
        dc.CreateCompatibleDC(&screen);
        bitmap.CreateCompatibleBitmap(&screen, cx, cy);
        pOld = dc.SelectObject(&bitmap);
        dc.FillSolidRect(0, 0, cx, cy, RGB(1, 2, 3));
    }
    ~MemoryCanvas() { dc.SelectObject(pOld); }
    COLORREF At(int x, int y) { return dc.GetPixel(x, y); }
};

} // namespace

TEST(SkinGradient, LineByLineFallbackStepsByIntegerDivision)
{
    Skin2003WithoutMsimg skin;
    MemoryCanvas canvas(40, 40);
    const COLORREF start = RGB(0, 100, 255), end = RGB(200, 0, 55);
    skin.DrawGradient(&canvas.dc, CRect(5, 10, 25, 30), start, end, TRUE);
    for (int i = 0; i < 20; ++i) {
        SCOPED_TRACE(i);
        const COLORREF want = RGB(0 + 200 * i / 20, 100 - 100 * i / 20, 255 - 200 * i / 20);
        EXPECT_EQ(Hex(canvas.At(5, 10 + i)), Hex(want));
        EXPECT_EQ(Hex(canvas.At(24, 10 + i)), Hex(want));
    }
    EXPECT_EQ(canvas.At(5, 30), RGB(1, 2, 3)) << "the gradient stays inside its rectangle";

    skin.DrawGradient(&canvas.dc, CRect(0, 0, 8, 4), RGB(0, 0, 0), RGB(80, 80, 80), FALSE);
    EXPECT_EQ(Hex(canvas.At(7, 2)), Hex(RGB(70, 70, 70)));
    skin.DrawGradient(&canvas.dc, CRect(30, 30, 30, 35), RGB(9, 9, 9), RGB(9, 9, 9), FALSE);
    EXPECT_EQ(canvas.At(30, 31), RGB(1, 2, 3)) << "an empty rectangle draws nothing";
}

TEST(SkinGradient, GradientFillRunsFromStartToEnd)
{
    COXSkin2003 skin;
    MemoryCanvas canvas(64, 8);
    skin.DrawGradient(&canvas.dc, CRect(0, 0, 64, 8), RGB(0, 0, 0), RGB(255, 255, 255), FALSE);
    EXPECT_LE(ColourDistance(canvas.At(0, 4), RGB(0, 0, 0)), 8);
    EXPECT_LE(ColourDistance(canvas.At(63, 4), RGB(255, 255, 255)), 8);
    EXPECT_LT(GetRValue(canvas.At(16, 4)), GetRValue(canvas.At(48, 4)));
}

TEST(SkinGradient, DockBarGradientIsOneBandFromItsLeftEdge)
{
    Skin2003WithoutMsimg skin;
    const int half = ::GetSystemMetrics(SM_CXSCREEN) / 2;
    MemoryCanvas canvas(40, 4);
    // A window whose left edge lies past the band's middle shows only the end colour.
    skin.DrawDockBarGradient(&canvas.dc, CRect(0, 0, 40, 4), -half - 5, 100);
    EXPECT_EQ(canvas.At(0, 1), skin.GetDockBarGradientEndColor());
    // One that starts at the band's left edge shows its start colour there.
    skin.DrawDockBarGradient(&canvas.dc, CRect(0, 0, 40, 4), 0, 100);
    EXPECT_EQ(canvas.At(0, 1), skin.GetDockBarGradientStartColor());
}

// --- dock-bar skins: geometry ---

namespace {

struct SkinSet {
    COXSkinClassic classic;
    COXSkinXP xp;
    COXSkin2003 office2003;
    COXDockbarSkin* Dockbar(int i)
    {
        COXSkin* skins[] = {&classic, &xp, &office2003};
        return skins[i]->GetDockbarSkin();
    }
};

} // namespace

TEST(DockbarSkin, CaptionGeometryPerSkinSideAndStyle)
{
    SkinSet skins;
    TestHostWnd host(500, 400);
    struct Case {
        const char* what;
        int skin;
        DWORD dwSizeBarStyle;
        DWORD dwBarStyle;
        CRect client;  // in window coordinates of a 200 x 150 bar
        CRect caption; // client coordinates
        CRect close;
        CRect expand;
    };
    const Case cases[] = {
        {"Classic, left side: strip at the top", 0, 0, kDockedLeft, {5, 21, 195, 145},
         {0, -16, 164, -5}, {179, -16, 190, -5}, {166, -16, 177, -5}},
        {"Classic, top side: strip at the left", 0, 0, kDockedTop, {21, 5, 195, 145},
         {-16, 26, -5, 140}, {-16, 0, -5, 11}, {-16, 13, -5, 24}},
        {"Classic without close: expand takes its place", 0, 0x40, kDockedLeft,
         {5, 21, 195, 145}, {0, -16, 177, -5}, {}, {179, -16, 190, -5}},
        {"Classic without caption", 0, 0x20, kDockedLeft, {5, 5, 195, 145}, {0, 0, 190, 140},
         {}, {}},
        {"Classic floating", 0, 0, kFloating | kDockedLeft, {5, 5, 195, 145}, {0, 0, 190, 140},
         {}, {}},
        {"XP keeps a 3-px gap", 1, 0, kDockedLeft, {5, 21, 195, 145}, {0, -16, 162, -5},
         {179, -16, 190, -5}, {165, -16, 176, -5}},
        {"2003, left side: 24-px strip", 2, 0, kDockedLeft, {5, 29, 195, 145},
         {-3, -29, 193, -5}, {176, -22, 187, -11}, {162, -22, 173, -11}},
        {"2003, top side", 2, 0, kDockedTop, {29, 5, 195, 145}, {-29, -3, -5, 143},
         {-22, 4, -11, 15}, {-22, 18, -11, 29}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestBar bar(skins.Dockbar(c.skin), c.dwSizeBarStyle, c.dwBarStyle);
        ASSERT_TRUE(bar.CreateBar(&host, CRect(10, 10, 210, 160), nullptr));
        CRect client;
        bar.GetClientRect(&client);
        client.OffsetRect(bar.Origin());
        EXPECT_EQ(client, c.client);
        bar.RedrawWindow(nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
        EXPECT_EQ(bar.m_rectCaption, c.caption);
        EXPECT_EQ(bar.m_rectClose, c.close);
        EXPECT_EQ(bar.m_rectExpand, c.expand);
        EXPECT_FALSE(bar.m_bHasCaption) << "laying the caption out clears the pending flag";
        bar.DestroyWindow();
    }
}

// --- Classic painting ---

namespace {

// A bar of 200 x 150 at (10, 10) of a host, painted by the Classic dock-bar skin.
struct ClassicBar {
    COXDockbarSkinClassic skin;
    TestHostWnd host{500, 400};
    TestBar bar;
    ClassicBar(DWORD dwSizeBarStyle, DWORD dwBarStyle, LPCTSTR title = nullptr)
        : bar(&skin, dwSizeBarStyle, dwBarStyle)
    {
        bar.CreateBar(&host, CRect(10, 10, 210, 160), title);
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
};

} // namespace

TEST(DockbarSkinClassic, GripperLinesFillAStripWithoutTitle)
{
    const COLORREF hi = Sys(COLOR_BTNHIGHLIGHT), lo = Sys(COLOR_BTNSHADOW);
    {
        SCOPED_TRACE("strip at the top (docked left): two raised lines 4 px apart");
        ClassicBar b(0, kDockedLeft);
        EXPECT_EQ(Hex(b.At(50, 7)), Hex(hi));
        EXPECT_EQ(Hex(b.At(50, 8)), Hex(Sys(COLOR_BTNFACE)));
        EXPECT_EQ(Hex(b.At(50, 9)), Hex(lo));
        EXPECT_EQ(Hex(b.At(50, 11)), Hex(hi));
        EXPECT_EQ(Hex(b.At(50, 13)), Hex(lo));
    }
    {
        SCOPED_TRACE("strip at the left (docked top): the lines stand upright");
        ClassicBar b(0, kDockedTop);
        EXPECT_EQ(Hex(b.At(7, 80)), Hex(hi));
        EXPECT_EQ(Hex(b.At(9, 80)), Hex(lo));
        EXPECT_EQ(Hex(b.At(11, 80)), Hex(hi));
        EXPECT_EQ(Hex(b.At(13, 80)), Hex(lo));
    }
    {
        SCOPED_TRACE("floating: no strip at all, the client area starts inside the border");
        ClassicBar b(0, kDockedLeft | kFloating);
        EXPECT_EQ(Hex(b.At(50, 7)), Hex(kClientColour));
    }
}

TEST(DockbarSkinClassic, TitleLeavesRoomBeforeTheGripperLines)
{
    // An inactive bar writes its title in the inactive caption colour.
    const COLORREF hi = Sys(COLOR_BTNHIGHLIGHT), text = Sys(COLOR_INACTIVECAPTION);
    ClassicBar b(0, kDockedLeft, "Album");
    EXPECT_TRUE(b.Any(CRect(11, 5, 60, 16), text)) << "the title starts the strip";
    EXPECT_EQ(Hex(b.At(51, 7)), Hex(Sys(COLOR_BTNFACE))) << "a gap between title and lines";
    EXPECT_EQ(Hex(b.At(160, 7)), Hex(hi)) << "the lines run on after the title";

    ClassicBar rotated(0, kDockedTop, "Album");
    EXPECT_EQ(Hex(rotated.At(7, 40)), Hex(hi)) << "lines at the strip's top";
    EXPECT_TRUE(rotated.Any(CRect(5, 95, 16, 140), text)) << "the rotated title at its bottom";
    EXPECT_NE(Hex(rotated.At(7, 135)), Hex(hi));
}

TEST(DockbarSkinClassic, SolidCaptionFollowsActivation)
{
    ClassicBar b(0x200, kDockedLeft, "Album");
    EXPECT_EQ(Hex(b.At(160, 10)), Hex(Sys(COLOR_INACTIVECAPTION)));
    EXPECT_TRUE(b.Any(CRect(11, 5, 100, 16), Sys(COLOR_INACTIVECAPTIONTEXT)));
    b.bar.m_bActive = TRUE;
    b.Repaint();
    EXPECT_EQ(Hex(b.At(160, 10)), Hex(Sys(COLOR_ACTIVECAPTION)));
    EXPECT_TRUE(b.Any(CRect(11, 5, 100, 16), Sys(COLOR_CAPTIONTEXT)));
}

TEST(DockbarSkinClassic, ButtonsShowTheirStates)
{
    ClassicBar b(0, kDockedLeft);
    const CRect close(184, 5, 195, 16), expand(171, 5, 182, 16);
    // The darkest pixel inside a button (its frame left out): the glyph's ink.
    auto ink = [&](CRect r) {
        r.DeflateRect(2, 2);
        int darkest = 3 * 255;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                COLORREF c = b.At(x, y);
                darkest = std::min(darkest, GetRValue(c) + GetGValue(c) + GetBValue(c));
            }
        return darkest;
    };
    const COLORREF face = Sys(COLOR_BTNFACE);
    const int faceSum = GetRValue(face) + GetGValue(face) + GetBValue(face);
    EXPECT_LT(ink(close), faceSum / 2) << "the close glyph";
    const int expandInk = ink(expand);
    EXPECT_LT(expandInk, faceSum / 2) << "the maximise glyph";
    auto pixels = [&](const CRect& r) {
        HDC dc = ::GetWindowDC(b.bar.m_hWnd);
        std::vector<COLORREF> v;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x)
                v.push_back(::GetPixel(dc, x, y));
        ::ReleaseDC(b.bar.m_hWnd, dc);
        return v;
    };
    const std::vector<COLORREF> maximise = pixels(expand);
    b.bar.m_bExpanded = TRUE;
    b.Repaint();
    EXPECT_NE(pixels(expand), maximise) << "an expanded bar shows the restore glyph";
    b.bar.m_bExpanded = FALSE;

    b.bar.m_bCanExpand = FALSE;
    b.Repaint();
    EXPECT_GT(ink(expand), expandInk + 60) << "a bar that cannot expand greys its glyph";

    // Held down, the close glyph moves by a pixel.
    const std::vector<COLORREF> up = pixels(close);
    b.bar.m_nPressed = -3;
    b.Repaint();
    EXPECT_NE(pixels(close), up);
}

TEST(DockbarSkinClassic, SplittersAreFourLinesOverTheBackground)
{
    COXDockbarSkinClassic skin;
    MemoryCanvas canvas(60, 60);
    COXSplitterRect vertical(1, CRect(10, 0, 18, 40));
    skin.DrawSplitter(&canvas.dc, &vertical, nullptr);
    EXPECT_EQ(canvas.At(11, 5), Sys(COLOR_BTNFACE));
    EXPECT_EQ(canvas.At(12, 5), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.At(17, 5), Sys(COLOR_WINDOWFRAME));
    EXPECT_EQ(canvas.At(16, 5), Sys(COLOR_BTNSHADOW));
    EXPECT_EQ(canvas.At(14, 5), RGB(1, 2, 3)) << "the dock bar shows between the lines";

    COXSplitterRect horizontal(2, CRect(20, 40, 60, 48));
    skin.DrawSplitter(&canvas.dc, &horizontal, nullptr);
    EXPECT_EQ(canvas.At(30, 42), Sys(COLOR_BTNHIGHLIGHT));
    EXPECT_EQ(canvas.At(30, 46), Sys(COLOR_BTNSHADOW));

    COXSplitterRect other(3, CRect(40, 0, 48, 20));
    skin.DrawSplitter(&canvas.dc, &other, nullptr);
    EXPECT_EQ(canvas.At(42, 5), RGB(1, 2, 3)) << "an unknown kind draws nothing";
}

// A program with a plain application object: each control makes and owns a Classic skin.
TEST(ElementSkinLookup, PlainApplicationGivesEachControlItsOwnClassicSkin)
{
    ASSERT_EQ(OXGetCurrentSkin(), nullptr);
    TestHostWnd host;
    COXSkinnedTabCtrl first, second;
    first.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 50), &host, 1);
    second.Create(WS_CHILD | WS_VISIBLE, CRect(0, 60, 100, 110), &host, 2);
    COXTabSkin* a = first.GetTabSkin();
    COXTabSkin* b = second.GetTabSkin();
    EXPECT_NE(a, b);
    EXPECT_NE(dynamic_cast<COXTabSkinClassic*>(a), nullptr);
    EXPECT_EQ(first.GetTabSkin(), a) << "made once, kept";
    COXSkinnedSpinCtrl spin;
    spin.Create(WS_CHILD, CRect(0, 0, 30, 20), &host, 3);
    EXPECT_NE(dynamic_cast<COXTabSkinClassic*>(spin.GetTabSkin()), nullptr);
}

TEST(SkinHandles, ClassicControlsLeaveNoHandlesBehind)
{
    auto cycle = [] {
        TestHostWnd host(500, 300);
        COXSkinnedTabCtrl tab;
        tab.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 100), &host, 1);
        for (int i = 0; i < 12; ++i)
            tab.InsertItem(i, "Page");
        COXSkinnedSpinCtrl spin;
        spin.Create(WS_CHILD | WS_VISIBLE | UDS_HORZ, CRect(0, 120, 40, 140), &host, 2);
        COXDockbarSkinClassic skin;
        TestBar bar(&skin, 0x200, kDockedTop);
        bar.CreateBar(&host, CRect(220, 0, 420, 150), "Album");
        host.RedrawWindow(nullptr, nullptr,
                          RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpPending();
    };
    cycle(); // lets lazily made system objects exist before counting
    CGdiObject::DeleteTempMap();
    const DWORD gdi = GdiObjectCount(), user = UserObjectCount();
    for (int i = 0; i < 100; ++i)
        cycle();
    CGdiObject::DeleteTempMap();
    EXPECT_EQ(GdiObjectCount(), gdi);
    EXPECT_EQ(UserObjectCount(), user);
    EXPECT_FALSE(COXSkinnedSpinCtrl::IsHookInstalled());
}

namespace {

std::vector<COLORREF> ClientPixels(CWnd* pWnd)
{
    CRect rect;
    pWnd->GetClientRect(&rect);
    CClientDC dc(pWnd);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < rect.bottom; ++y)
        for (int x = 0; x < rect.right; ++x)
            pixels.push_back(dc.GetPixel(x, y));
    return pixels;
}

} // namespace

// The Classic tab skin leaves the painting to the operating system: a skinned tab control and
// its scroll arrows look exactly like the system's own controls.
TEST(TabSkinClassic, PaintsExactlyLikeTheSystemControls)
{
    TestHostWnd host(700, 300);
    CTabCtrl plainTabs;
    COXSkinnedTabCtrl skinnedTabs;
    plainTabs.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 120), &host, 1);
    skinnedTabs.Create(WS_CHILD | WS_VISIBLE, CRect(320, 0, 620, 120), &host, 2);
    CSpinButtonCtrl plainSpin;
    COXSkinnedSpinCtrl skinnedSpin;
    plainSpin.Create(WS_CHILD | WS_VISIBLE | UDS_HORZ, CRect(0, 150, 40, 170), &host, 3);
    skinnedSpin.Create(WS_CHILD | WS_VISIBLE | UDS_HORZ, CRect(320, 150, 360, 170), &host, 4);
    for (CTabCtrl* tab : {&plainTabs, static_cast<CTabCtrl*>(&skinnedTabs)}) {
        tab->SetFont(CFont::FromHandle(static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT))));
        for (int i = 0; i < 12; ++i)
            tab->InsertItem(i, "Track");
        tab->SetCurSel(1);
    }
    for (CSpinButtonCtrl* spin : {&plainSpin, static_cast<CSpinButtonCtrl*>(&skinnedSpin)}) {
        spin->SetRange32(0, 5);
        spin->SetPos32(5);
    }
    host.RedrawWindow(nullptr, nullptr,
                      RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpPending();
    EXPECT_TRUE(ClientPixels(&plainTabs) == ClientPixels(&skinnedTabs));
    EXPECT_TRUE(ClientPixels(&plainSpin) == ClientPixels(&skinnedSpin));
    EXPECT_EQ(skinnedTabs.GetSpin().m_hWnd, nullptr) << "Classic leaves the arrows alone";
}
