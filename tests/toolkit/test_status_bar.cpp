// The toolkit's status bar in a real window: pane layout, texts, bitmaps, progress, the
// double click, the key indicators and the three skins, read back from the control and from
// the pixels on screen.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "tests/framework_ui/ui_test_support.h"
#include "tests/toolkit/bars_test_res.h"
#include "toolkit/frames/skins/skin.h"
#include "toolkit/frames/skins/statusbar_skin.h"
#include "toolkit/frames/statusbar/ox_status_bar.h"

namespace {

// A host that records the pane double clicks it is told about.
class Host : public TestHostWnd {
public:
    Host() : TestHostWnd(700, 200) {}
    std::vector<WPARAM> doubleClicked;
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message == WM_OXSB_PANEDBLCLK) {
            doubleClicked.push_back(wParam);
            return 0;
        }
        return TestHostWnd::WindowProc(message, wParam, lParam);
    }
};

// Gradients may round a channel by a step or two.
bool Near(COLORREF a, COLORREF b)
{
    auto close = [](int x, int y) { return x - y <= 3 && y - x <= 3; };
    return close(GetRValue(a), GetRValue(b)) && close(GetGValue(a), GetGValue(b)) &&
           close(GetBValue(a), GetBValue(b));
}

const UINT kIndicators[] = {0, ID_TEST_PANE, ID_INDICATOR_CAPS, ID_INDICATOR_NUM};

class StatusBarTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(bar.Create(&host, WS_CHILD | WS_VISIBLE | CBRS_BOTTOM));
        ASSERT_TRUE(bar.SetIndicators(kIndicators, 4));
        Place(600);
    }
    // Puts the bar at the top of the host, nWidth wide.
    void Place(int nWidth)
    {
        CSize size = bar.CalcFixedLayout(FALSE, TRUE);
        bar.MoveWindow(0, 0, nWidth, std::max<int>(size.cy, 22));
        bar.RecalcPaneLayout(TRUE, TRUE);
        bar.UpdateWindow();
        PumpPending();
    }
    void Repaint()
    {
        bar.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
        PumpPending();
    }
    COLORREF Pixel(int x, int y)
    {
        HDC hdc = ::GetDC(bar.m_hWnd);
        COLORREF c = ::GetPixel(hdc, x, y);
        ::ReleaseDC(bar.m_hWnd, hdc);
        return c;
    }
    std::vector<int> Rights()
    {
        int parts[8] = {};
        int n = static_cast<int>(bar.SendMessage(SB_GETPARTS, 8, reinterpret_cast<LPARAM>(parts)));
        return std::vector<int>(parts, parts + n);
    }
    CString ControlText(int nIndex)
    {
        char text[128] = {};
        bar.SendMessage(SB_GETTEXT, static_cast<WPARAM>(nIndex), reinterpret_cast<LPARAM>(text));
        return text;
    }

    Host host;
    COXStatusBar bar;
};

TEST_F(StatusBarTest, PanesTakeTheirTextsAndStretchPanesShareTheSpareWidth)
{
    // The indicator panes start with their strings; the message pane with nothing.
    EXPECT_EQ(ControlText(1), CString("Pane"));
    EXPECT_TRUE(bar.SetPaneText(0, "Reading the disc"));
    Repaint();
    EXPECT_EQ(ControlText(0), CString("Reading the disc"));

    // Two stretching panes and a spare width of 101: the first gets 50, the second 51.
    int b[3] = {};
    bar.SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(b));
    const int widths[4] = {40, 30, 25, 25};
    for (int i = 0; i < 4; ++i)
        bar.SetPaneInfo(i, kIndicators[i], i < 2 ? SBPS_STRETCH : SBPS_NORMAL, widths[i]);
    int used = 0;
    for (int w : widths)
        used += w + b[2] + 6;
    CRect inside(0, 0, 0, 0);
    bar.CalcInsideRect(inside, TRUE);
    Place(101 - b[2] + used - inside.Width());
    std::vector<int> rights = Rights();
    ASSERT_EQ(rights.size(), 4u);
    EXPECT_EQ(rights[0], b[0] + 40 + 6 + 50);
    EXPECT_EQ(rights[1], rights[0] + b[2] + 30 + 6 + 51);
    EXPECT_EQ(rights[2], rights[1] + b[2] + 25 + 6);
}

// A 32 x 8 bitmap: black left half, white right half, a magenta (transparent) 2 x 2 corner.
HBITMAP HalfBitmap()
{
    std::vector<DWORD> bits(32 * 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 32; ++x)
            bits[static_cast<size_t>(y * 32 + x)] =
                (x < 2 && y < 2) ? 0xFF00FF : (x < 16 ? 0x000000 : 0xFFFFFF);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 32, -8, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC hdc = ::GetDC(nullptr);
    HBITMAP h = ::CreateDIBitmap(hdc, &bi.bmiHeader, CBM_INIT, bits.data(), &bi, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, hdc);
    return h;
}

TEST_F(StatusBarTest, PaneBitmapsFollowTheirAlignmentAndSkipDisabledPanes)
{
    const DWORD gdiBefore = GdiObjectCount();
    struct Case {
        const char* name;
        int mode;
        UINT style;
        int blackUpTo; // the inner pane's columns [0, blackUpTo) are black, the rest white
    };
    const Case cases[] = {
        {"centred, scaled to the pane", COXStatusBar::bmCenter, 0, 10},
        {"centred, clipped", COXStatusBar::bmCenterClip, 0, 16},
        {"disabled pane", COXStatusBar::bmCenter, SBPS_DISABLED, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A pane 20 pixels wide inside.
        int b[3] = {};
        bar.SendMessage(SB_GETBORDERS, 0, reinterpret_cast<LPARAM>(b));
        bar.SetPaneInfo(1, ID_TEST_PANE, c.style, 20 + 2 * b[2] - 6);
        bar.SetPaneText(1, "");
        ASSERT_TRUE(bar.SetPaneBitmap(1, HalfBitmap(), c.mode, RGB(255, 0, 255)));
        Place(600);
        Repaint();
        CRect inner;
        ASSERT_TRUE(bar.GetPaneInnerRect(1, inner, FALSE));
        ASSERT_EQ(inner.Width(), 20);
        const int y = inner.top + (inner.Height() - 8) / 2 + 4;
        if (c.blackUpTo < 0) {
            EXPECT_NE(Pixel(inner.left + 3, y), RGB(0, 0, 0));
            continue;
        }
        EXPECT_EQ(Pixel(inner.left + 3, y), RGB(0, 0, 0));
        EXPECT_EQ(Pixel(inner.left + c.blackUpTo - 1, y), RGB(0, 0, 0));
        EXPECT_EQ(Pixel(inner.left + c.blackUpTo + 1, y), RGB(255, 255, 255));
        // The magenta corner lets the pane show through.
        EXPECT_NE(Pixel(inner.left, inner.top + (inner.Height() - 8) / 2), RGB(255, 0, 255));
    }
    bar.SetPaneBitmap(1, nullptr, 0, 0);
    EXPECT_LE(GdiObjectCount(), gdiBefore);
}

TEST_F(StatusBarTest, AProgressPaneShowsItsControlRightOfThePercentage)
{
    bar.SetPaneInfo(1, ID_TEST_PANE, SBPS_NORMAL, 160);
    Place(600);
    EXPECT_TRUE(bar.SetPaneProgress(1, 200, TRUE));
    ASSERT_TRUE(bar.SetPaneProgressPos(1, 50));
    Repaint();
    HWND hProgress = bar.GetPaneProgressHwnd(1);
    ASSERT_NE(hProgress, nullptr);
    EXPECT_EQ(::GetParent(hProgress), bar.m_hWnd);
    EXPECT_EQ(::SendMessage(hProgress, PBM_GETPOS, 0, 0), 50);
    EXPECT_EQ(bar.GetPaneText(1), CString("25%"));
    CRect pane, control;
    bar.GetPaneInnerRect(1, pane, TRUE);
    ::GetWindowRect(hProgress, &control);
    bar.ScreenToClient(&control);
    EXPECT_GT(control.left, pane.left); // the label's room stays left of the bar
    EXPECT_EQ(control.right, pane.right);
    EXPECT_EQ(control.bottom, pane.bottom);
    EXPECT_EQ(::GetWindowLongPtr(hProgress, GWL_EXSTYLE) & WS_EX_STATICEDGE, 0);
    EXPECT_TRUE(bar.RemovePaneProgress(1));
    EXPECT_EQ(bar.GetPaneProgressHwnd(1), nullptr);
}

TEST_F(StatusBarTest, ADoubleClickOnAPaneReachesTheParentAndBetweenPanesNothing)
{
    CRect pane1, pane2;
    bar.GetItemRect(1, &pane1);
    bar.GetItemRect(2, &pane2);
    ASSERT_GT(pane2.left, pane1.right); // there is a gap
    InputClick(bar.m_hWnd, pane1.CenterPoint(), true);
    PumpUntil([&] { return !host.doubleClicked.empty(); });
    ASSERT_EQ(host.doubleClicked.size(), 1u);
    EXPECT_EQ(host.doubleClicked[0], static_cast<WPARAM>(ID_TEST_PANE));
    ::Sleep(600); // no triple click
    InputClick(bar.m_hWnd, CPoint(pane1.right, pane1.CenterPoint().y), true);
    ::Sleep(200);
    PumpPending();
    EXPECT_EQ(host.doubleClicked.size(), 1u);
}

TEST_F(StatusBarTest, TooltipsNameTheirPaneButNotWhileTheButtonIsHeld)
{
    bar.SetPaneTooltip(1, "Tracks checked");
    CRect pane1;
    bar.GetItemRect(1, &pane1);
    TOOLINFO ti{};
    ti.cbSize = sizeof(ti);
    EXPECT_EQ(bar.OnToolHitTest(pane1.CenterPoint(), &ti), static_cast<INT_PTR>(ID_TEST_PANE));
    ASSERT_NE(ti.lpszText, nullptr);
    EXPECT_STREQ(ti.lpszText, "Tracks checked");
    EXPECT_EQ(ti.hwnd, bar.m_hWnd);
    free(ti.lpszText);
    // With the left button really held down there is no tool.
    POINT screen = pane1.CenterPoint();
    bar.ClientToScreen(&screen);
    InputMouseMove(screen);
    InputMouseButton(true);
    PumpUntil([] { return ::GetKeyState(VK_LBUTTON) < 0; }, 100);
    EXPECT_EQ(bar.OnToolHitTest(pane1.CenterPoint(), nullptr), -1);
    InputMouseButton(false);
    PumpUntil([] { return ::GetKeyState(VK_LBUTTON) >= 0; }, 100);
}

// The text of the thread's tooltip while it shows, else "".
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

// The mouse rests on a client point of the bar (two moves: the tooltip starts its delay on
// a move inside the tool).
void RestOn(CWnd& bar, CPoint client)
{
    MouseMoveTo(bar.m_hWnd, client.x, client.y);
    MouseMoveTo(bar.m_hWnd, client.x + 1, client.y);
}

TEST_F(StatusBarTest, ATooltipShowsOverThePaneTheMouseRestsOn)
{
    bar.SetBarStyle(bar.GetBarStyle() | CBRS_TOOLTIPS);
    bar.SetPaneTooltip(1, "Tracks checked");
    bar.SetPaneTooltip(2, "Caps Lock");
    CRect pane1, pane2, pane3;
    bar.GetItemRect(1, &pane1);
    bar.GetItemRect(2, &pane2);
    bar.GetItemRect(3, &pane3);
    struct Case {
        const char* name;
        CPoint at;
        const char* tip;
    };
    const Case cases[] = {
        {"the pane with a tooltip", pane1.CenterPoint(), "Tracks checked"},
        {"the next pane, its own text", pane2.CenterPoint(), "Caps Lock"},
        {"a pane without a tooltip", pane3.CenterPoint(), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RestOn(host, CPoint(650, 150)); // off the bar: no tool
        PumpUntil([] { return ShownTip().empty(); }, 200);
        RestOn(bar, c.at);
        if (*c.tip != 0)
            EXPECT_TRUE(PumpUntil([&] { return ShownTip() == c.tip; }, 400)) << ShownTip();
        else
            EXPECT_FALSE(PumpUntil([] { return !ShownTip().empty(); }, 150)) << ShownTip();
    }
    // Without the bar style no tooltip shows at all.
    bar.SetBarStyle(bar.GetBarStyle() & ~CBRS_TOOLTIPS);
    RestOn(host, CPoint(650, 150));
    RestOn(bar, pane1.CenterPoint());
    EXPECT_FALSE(PumpUntil([] { return !ShownTip().empty(); }, 150)) << ShownTip();
    RestOn(host, CPoint(650, 150));
}

TEST_F(StatusBarTest, KeyIndicatorsFollowTheirToggleKeys)
{
    for (bool on : {true, false}) {
        SCOPED_TRACE(on ? "Caps Lock on" : "Caps Lock off");
        BYTE keys[256];
        ::GetKeyboardState(keys);
        keys[VK_CAPITAL] = on ? 1 : 0;
        ::SetKeyboardState(keys); // the thread's view of the key, as the idle update reads it
        CFrameWnd route;          // the host is no frame: the update routes through this one
        bar.OnUpdateCmdUI(&route, TRUE);
        Repaint();
        EXPECT_EQ((bar.GetPaneStyle(2) & SBPS_DISABLED) == 0, on);
        EXPECT_EQ(ControlText(2), CString(on ? "CAP" : ""));
        EXPECT_EQ(bar.GetPaneText(2), CString("CAP")); // the text itself stays
    }
}

// The skins paint the bar; pixels at known points against the palettes.
TEST_F(StatusBarTest, EachSkinPaintsWithItsPalette)
{
    COXSkinXP xp;
    COXSkin2003 office2003;
    const DWORD gdiBefore = GdiObjectCount();
    bar.SetPaneText(0, "Ready");
    CRect client;
    bar.GetClientRect(&client);
    CRect pane0;
    bar.GetItemRect(0, &pane0);

    // Classic: the control's own face.
    bar.m_pStatusbarSkin.reset();
    Repaint();
    EXPECT_EQ(Pixel(pane0.right - 3, client.Height() / 2), ::GetSysColor(COLOR_BTNFACE));

    // XP: button face inside, each pane framed in the pane colour.
    bar.m_pStatusbarSkin = std::make_unique<COXStatusbarSkinXP>(&xp);
    Repaint();
    EXPECT_EQ(Pixel(pane0.right - 3, client.Height() / 2), ::GetSysColor(COLOR_BTNFACE));
    EXPECT_EQ(Pixel(pane0.left, pane0.CenterPoint().y), xp.GetStatusPaneColor());
    EXPECT_EQ(Pixel(pane0.CenterPoint().x, pane0.top), xp.GetStatusPaneColor());

    // 2003: the status gradient, a separator at each pane's right edge.
    bar.m_pStatusbarSkin = std::make_unique<COXStatusbarSkin2003>(&office2003);
    Repaint();
    EXPECT_EQ(Pixel(pane0.right - 3, client.Height() / 2), office2003.GetStatusGradientMiddleColor());
    EXPECT_TRUE(Near(Pixel(pane0.right - 3, 0), office2003.GetStatusGradientTopColor()));
    EXPECT_EQ(Pixel(pane0.right, pane0.CenterPoint().y), office2003.GetSeparatorColor());
    EXPECT_EQ(Pixel(pane0.right + 1, pane0.CenterPoint().y + 1), RGB(255, 255, 255));

    bar.m_pStatusbarSkin.reset();
    Repaint();
    EXPECT_LE(GdiObjectCount(), gdiBefore);
}

} // namespace
