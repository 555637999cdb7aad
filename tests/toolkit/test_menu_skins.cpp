// The menu skins painting an owner-drawn popup menu that is really opened and driven with the
// mouse: pixels read back from the screen at known points of the items against each skin's
// colours, and the command chosen by a click.
#include <gtest/gtest.h>

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "tests/framework_ui/ui_test_support.h"
#include "tests/toolkit/skin_test_support.h"
#include "toolkit/frames/skins/bitmap_menu.h"
#include "toolkit/frames/skins/skin.h"

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

constexpr UINT kOpen = 101, kSave = 102, kBold = 103, kGone = 104, kPrint = 105;
// Item positions in the menu (the separator is 2).
constexpr int kPosOpen = 0, kPosSave = 1, kPosSep = 2, kPosBold = 3, kPosGone = 4, kPosPrint = 5;
constexpr COLORREF kRed = RGB(220, 0, 0), kGreen = RGB(0, 160, 0), kBlue = RGB(0, 0, 230);

// Three solid 16x16 images: red (Open), green (Save), blue (the Bold check mark).
HIMAGELIST MakeImages()
{
    HIMAGELIST hList = ImageList_Create(16, 16, ILC_COLOR24, 3, 0);
    HDC screen = ::GetDC(nullptr);
    for (COLORREF c : {kRed, kGreen, kBlue}) {
        HDC mem = ::CreateCompatibleDC(screen);
        HBITMAP bmp = ::CreateCompatibleBitmap(screen, 16, 16);
        HGDIOBJ old = ::SelectObject(mem, bmp);
        RECT r{0, 0, 16, 16};
        HBRUSH brush = ::CreateSolidBrush(c);
        ::FillRect(mem, &r, brush);
        ::DeleteObject(brush);
        ::SelectObject(mem, old);
        ImageList_Add(hList, bmp, nullptr);
        ::DeleteObject(bmp);
        ::DeleteDC(mem);
    }
    ::ReleaseDC(nullptr, screen);
    return hList;
}

COLORREF ScreenPixel(int x, int y)
{
    HDC dc = ::GetDC(nullptr);
    COLORREF c = ::GetPixel(dc, x, y);
    ::ReleaseDC(nullptr, dc);
    return c;
}

bool RectHasColour(const CRect& r, COLORREF c, int tolerance = 0)
{
    HDC dc = ::GetDC(nullptr);
    bool found = false;
    for (int y = r.top; y < r.bottom && !found; ++y)
        for (int x = r.left; x < r.right && !found; ++x)
            found = ColourDistance(::GetPixel(dc, x, y), c) <= tolerance;
    ::ReleaseDC(nullptr, dc);
    return found;
}

// One read-back: what was seen at a point against what the skin should have painted there.
struct Check {
    std::string what;
    COLORREF got;
    COLORREF want;
    int tolerance;
};

// What the helper thread sees of the open menu.
struct OpenMenu {
    HWND hPopup = nullptr;
    HMENU hMenu = nullptr;
    CRect rectWindow;
    CRect Item(int pos) const
    {
        CRect r;
        ::GetMenuItemRect(nullptr, hMenu, static_cast<UINT>(pos), &r);
        return r;
    }
    std::vector<Check> checks;
    std::vector<std::string> failures;
    void Expect(const std::string& what, COLORREF got, COLORREF want, int tolerance = 0)
    {
        checks.push_back({what, got, want, tolerance});
    }
    void ExpectTrue(const std::string& what, bool ok)
    {
        if (!ok)
            failures.push_back(what);
    }
};

HWND FindVisiblePopup()
{
    for (int i = 0; i < 600; ++i) {
        HWND h = ::FindWindowA("#32768", nullptr);
        if (h != nullptr && ::IsWindowVisible(h))
            return h;
        ::Sleep(10);
    }
    return nullptr;
}

// Opens menu for the host with real input from a helper thread: the pointer rests on Print
// (selected), inspect() reads the screen, then a click on Open ends the menu. Returns the
// command that reached the host's queue (0 for none).
UINT RunMenu(COXBitmapMenu& menu, CWnd& host, OpenMenu& open,
             const std::function<void(OpenMenu&)>& inspect, const char* shotName)
{
    open.hMenu = menu.m_hMenu;
    CRect rectHost;
    host.GetWindowRect(&rectHost);
    std::thread driver([&] {
        open.hPopup = FindVisiblePopup();
        if (open.hPopup == nullptr) {
            open.failures.push_back("no popup window appeared");
            return;
        }
        ::Sleep(200);
        CRect print = open.Item(kPosPrint);
        InputMouseMove(print.CenterPoint());
        // The selected item is painted once the menu has seen the pointer.
        const CPoint probe(print.right - 3, print.top + 3);
        for (int i = 0; i < 300 && ScreenPixel(probe.x, probe.y) == ScreenPixel(
                                                              probe.x, open.Item(kPosOpen).top + 3);
             ++i)
            ::Sleep(10);
        ::Sleep(100);
        ::GetWindowRect(open.hPopup, &open.rectWindow);
        inspect(open);
        if (const char* dir = std::getenv("SONORIA_MENU_SHOTS"); dir != nullptr && shotName) {
            std::string path = std::string(dir) + "\\" + shotName;
            SaveScreenBitmap(open.hPopup, path.c_str());
        }
        CRect item = open.Item(kPosOpen);
        InputMouseMove(item.CenterPoint());
        ::Sleep(150);
        InputMouseButton(true);
        InputMouseButton(false);
    });
    menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_TOPALIGN, rectHost.left + 40, rectHost.top + 30,
                        &host);
    driver.join();
    MSG msg;
    UINT nCmd = 0;
    if (::PeekMessage(&msg, host.m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE))
        nCmd = LOWORD(msg.wParam);
    return nCmd;
}

class MenuSkinTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ::SetForegroundWindow(SharedTopWindow());
        images = MakeImages();
        menu.SetImageList(images);
        menu.AppendItem(kOpen, "&Open\tCtrl+O", 0);
        menu.AppendItem(kSave, "&Save", 1);
        menu.AppendSeparator();
        menu.AppendItem(kBold, "&Bold", 2, -1, TRUE); // check-mark image, unchecked
        menu.AppendItem(kGone, "&Gone", 0);
        menu.AppendItem(kPrint, "&Print\tCtrl+P", 1);
        menu.CheckMenuItem(kSave, MF_BYCOMMAND | MF_CHECKED);
        menu.EnableMenuItem(kGone, MF_BYCOMMAND | MF_GRAYED);
    }
    void TearDown() override { ImageList_Destroy(images); }

    void Verify(OpenMenu& open, UINT nCmd)
    {
        EXPECT_EQ(nCmd, kOpen) << "the click on Open reaches the host as its command";
        for (const std::string& f : open.failures)
            ADD_FAILURE() << f;
        for (const Check& c : open.checks) {
            SCOPED_TRACE(c.what);
            EXPECT_LE(ColourDistance(c.got, c.want), c.tolerance)
                << Hex(c.got) << " vs " << Hex(c.want);
        }
    }

    // Checks every skin shares: the image shows at its place, no check-mark image on the
    // unchecked item, the separator's height.
    static void CommonChecks(OpenMenu& o, int separatorHeight)
    {
        const CRect open = o.Item(kPosOpen);
        o.ExpectTrue("the Open image is drawn",
                     RectHasColour(CRect(open.left, open.top, open.left + 24, open.bottom), kRed));
        o.ExpectTrue("the unchecked check-mark image is not drawn",
                     !RectHasColour(o.Item(kPosBold), kBlue, 30));
        o.Expect("separator height", static_cast<COLORREF>(o.Item(kPosSep).Height()),
                 static_cast<COLORREF>(separatorHeight));
    }

    TestHostWnd host{400, 300};
    COXBitmapMenu menu;
    HIMAGELIST images = nullptr;
};

TEST_F(MenuSkinTest, ClassicPaintsWithTheSystemMenuColours)
{
    COXSkinClassic skin;
    menu.SetSkin(skin.m_pMenuSkin.get());
    OpenMenu open;
    UINT nCmd = RunMenu(menu, host, open, [](OpenMenu& o) {
        CommonChecks(o, 9);
        const CRect openItem = o.Item(kPosOpen), print = o.Item(kPosPrint);
        o.Expect("plain item text part", ScreenPixel(openItem.right - 3, openItem.top + 3),
                 Sys(COLOR_MENU));
        o.Expect("selected item text part", ScreenPixel(print.right - 3, print.top + 3),
                 Sys(COLOR_HIGHLIGHT));
        o.ExpectTrue("selected item text in the highlight text colour",
                     RectHasColour(CRect(print.left + 30, print.top, print.right, print.bottom),
                                   Sys(COLOR_HIGHLIGHTTEXT)));
        // Checked, not selected: the halftone of menu and highlight colours above the sunken
        // frame round the image.
        const CRect save = o.Item(kPosSave);
        const COLORREF a = ScreenPixel(save.left + 5, save.top),
                       b = ScreenPixel(save.left + 6, save.top);
        o.ExpectTrue("checked item's image area is the halftone pattern: " + Hex(a) + " " + Hex(b) +
                         " at " + std::to_string(save.left) + "," + std::to_string(save.top),
                     (a == Sys(COLOR_MENU) && b == Sys(COLOR_BTNHIGHLIGHT)) ||
                         (a == Sys(COLOR_BTNHIGHLIGHT) && b == Sys(COLOR_MENU)));
        const CRect sep = o.Item(kPosSep);
        const int y = sep.top + 2 + (sep.Height() - 4) / 2 - 1;
        o.Expect("etched separator, shadow row", ScreenPixel(sep.left + 10, y),
                 Sys(COLOR_BTNSHADOW));
        o.Expect("etched separator, highlight row", ScreenPixel(sep.left + 10, y + 1),
                 Sys(COLOR_BTNHIGHLIGHT));
        o.ExpectTrue("the disabled item is embossed (highlight under grey text)",
                     RectHasColour(o.Item(kPosGone), Sys(COLOR_BTNSHADOW)) &&
                         RectHasColour(o.Item(kPosGone), Sys(COLOR_BTNHIGHLIGHT)));
    }, "menu_classic.bmp");
    Verify(open, nCmd);
}

TEST_F(MenuSkinTest, XPPaintsFlatFromItsPaletteWithFrameAndShadow)
{
    COXSkinXP skin;
    menu.SetSkin(skin.m_pMenuSkin.get());
    OpenMenu open;
    std::vector<COLORREF> shadowFirst, shadowAgain;
    auto shadow = [](const OpenMenu& o) {
        std::vector<COLORREF> v;
        for (int y = o.rectWindow.top; y < o.rectWindow.bottom; y += 3)
            v.push_back(ScreenPixel(o.rectWindow.right - 2, y));
        return v;
    };
    UINT nCmd = RunMenu(menu, host, open, [&](OpenMenu& o) {
        CommonChecks(o, 9 / 2 + 1);
        const CRect openItem = o.Item(kPosOpen), print = o.Item(kPosPrint),
                    save = o.Item(kPosSave), sep = o.Item(kPosSep);
        o.Expect("plain item background", ScreenPixel(openItem.right - 3, openItem.top + 3),
                 skin.GetMenuBackgroundColor(), 1);
        o.Expect("image column", ScreenPixel(openItem.left + 1, openItem.top + 1),
                 skin.GetToolbarBackgroundColor(), 1);
        o.Expect("selected item fill", ScreenPixel(print.right - 3, print.top + 3),
                 skin.GetHotItemColor(), 1);
        o.Expect("selected item border", ScreenPixel(print.right - 1, print.top + 3),
                 skin.GetHighlightBorderColor(), 1);
        o.Expect("checked item's box", ScreenPixel(save.left + 2, save.top + 2),
                 skin.GetCheckedItemColor(), 1);
        o.Expect("separator line", ScreenPixel(sep.right - 5, sep.top + sep.Height() / 2),
                 skin.GetSeparatorColor(), 1);
        o.ExpectTrue("disabled text in the palette's disabled colour",
                     RectHasColour(o.Item(kPosGone), skin.GetMenuDisabledTextColor(), 1));
        o.Expect("popup frame", ScreenPixel(o.rectWindow.left, o.rectWindow.top + 10),
                 Sys(COLOR_BTNSHADOW));
        shadowFirst = shadow(o);
        ::RedrawWindow(o.hPopup, nullptr, nullptr,
                       RDW_FRAME | RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        ::Sleep(200);
        shadowAgain = shadow(o);
    }, "menu_xp.bmp");
    Verify(open, nCmd);
    EXPECT_EQ(shadowFirst, shadowAgain) << "a repaint does not darken the shadow twice";
}

TEST_F(MenuSkinTest, Office2003PaintsAGradientImageColumn)
{
    COXSkin2003 skin;
    auto* pMenuSkin = static_cast<COXMenuSkin2003*>(skin.m_pMenuSkin.get());
    menu.SetSkin(pMenuSkin);
    OpenMenu open;
    UINT nCmd = RunMenu(menu, host, open, [&](OpenMenu& o) {
        CommonChecks(o, 9 / 2 + 1);
        const CRect openItem = o.Item(kPosOpen), print = o.Item(kPosPrint);
        const int columnRight = openItem.left + 16 + 3 + 5;
        const COLORREF light = pMenuSkin->GetMenuGradientLightColor(),
                       dark = pMenuSkin->GetMenuGradientDarkColor();
        // The gradient runs over 26 pixels from 2 left of the item: per pixel about 1/26 of
        // the way, so the ends are within two steps of the two colours.
        const int step = ColourDistance(light, dark) / 26 + 1;
        o.Expect("image column near its light end", ScreenPixel(openItem.left, openItem.top + 1),
                 light, 3 * step);
        o.Expect("image column near its dark end",
                 ScreenPixel(columnRight - 1, openItem.top + 1), dark, 2 * step);
        o.ExpectTrue("the column darkens from left to right",
                     ColourDistance(ScreenPixel(openItem.left, openItem.top + 1), dark) >
                         ColourDistance(ScreenPixel(columnRight - 1, openItem.top + 1), dark));
        o.Expect("plain item background", ScreenPixel(openItem.right - 3, openItem.top + 3),
                 skin.GetMenuBackgroundColor(), 1);
        o.Expect("selected item fill", ScreenPixel(print.right - 3, print.top + 3),
                 skin.GetHotItemColor(), 1);
    }, "menu_2003.bmp");
    Verify(open, nCmd);
}

// The skins' numbers that the menu measures with, and the colours of the 2003 gradients
// without visual styles.
TEST(MenuSkinValues, DimensionsAndUnthemedGradientColours)
{
    COXSkinClassic classic;
    COXSkinXP xp;
    const OXMENUDIMENSIONS& c = classic.m_pMenuSkin->GetDimensions();
    const OXMENUDIMENSIONS& x = xp.m_pMenuSkin->GetDimensions();
    EXPECT_EQ((std::vector<int>{c.nImageLeft, c.nImageTextGap, c.nItemHeightExtra,
                                c.nShortcutRight, c.nTextShortcutGap, c.nSeparatorHeight,
                                c.nArrowWidth, c.nMinImageColumn, c.nMinImageHeight}),
              (std::vector<int>{2, 8, 2, 3, 4, 3, 8, 0, 12}));
    EXPECT_EQ((std::vector<int>{x.nImageLeft, x.nImageColumnRight, x.nImageTextGap,
                                x.nItemHeightExtra, x.nShortcutRight, x.nTextShortcutGap,
                                x.nSeparatorHeight, x.nArrowWidth, x.nMinImageColumn,
                                x.nMinImageHeight}),
              (std::vector<int>{3, 5, 15, 12, 6, 10, 4, 3, 16, 16}));
    int h = 9;
    classic.m_pMenuSkin->AdjustSeparatorHeight(h);
    EXPECT_EQ(h, 9);
    xp.m_pMenuSkin->AdjustSeparatorHeight(h);
    EXPECT_EQ(h, 5);
}

// Opening and closing menus leaves no GDI objects or windows behind.
TEST_F(MenuSkinTest, TrackingLeavesNoHandlesBehind)
{
    COXSkinXP skin;
    menu.SetSkin(skin.m_pMenuSkin.get());
    OpenMenu warm;
    RunMenu(menu, host, warm, [](OpenMenu&) {}, nullptr);
    const DWORD gdi = GdiObjectCount();
    const int windows = ThreadWindowCount();
    for (int i = 0; i < 2; ++i) {
        OpenMenu o;
        EXPECT_EQ(RunMenu(menu, host, o, [](OpenMenu&) {}, nullptr), kOpen);
    }
    PumpPending();
    EXPECT_EQ(GdiObjectCount(), gdi);
    EXPECT_EQ(ThreadWindowCount(), windows);
}

} // namespace
