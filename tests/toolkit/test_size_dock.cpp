// Sizable docking in a real frame: rows that share their length, splitters and the expand
// button moved with real mouse drags, tab groups formed and pulled apart, the sizable floating
// frame, and the layout saved in the profile and restored by a new process.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "tests/toolkit/dock_test_frame.h"
#include "toolkit/frames/sizebar/sizable_mini_frame.h"

using namespace docktest;

namespace {

constexpr char kSection[] = "BarsState";

int Border()
{
    return 2 * ::GetSystemMetrics(SM_CXBORDER);
}

class SizeDockTest : public FrameTest<DockTestFrame, true> {
protected:
    void SetUp() override
    {
        AfxGetApp()->SetRegistryKey("SonoriaDockTest");
        AfxGetApp()->WriteProfileString(kSection, nullptr, nullptr);
        FrameTest::SetUp();
    }
    COXSizeControlBar& Bar(int i) { return f->m_bars[i]; }
    // The splitter of a dock bar of the given type after the bar at nIndex, on the screen.
    COXSplitterRect* Splitter(COXSizeDockBar* pDock, int nType, int nBarIndex = -1)
    {
        for (INT_PTR i = 0; i < pDock->m_arrSplitters.GetSize(); ++i) {
            auto* s = static_cast<COXSplitterRect*>(pDock->m_arrSplitters[i]);
            if (s->m_nType == nType && (nBarIndex < 0 || s->m_nBarIndex == nBarIndex))
                return s;
        }
        return nullptr;
    }
};

TEST_F(SizeDockTest, BarsDockOnEverySideAndARowSharesItsLength)
{
    COXSizeDockBar* top = f->Dock(AFX_IDW_DOCKBAR_TOP);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(f->SideOf(Bar(0)), AFX_IDW_DOCKBAR_TOP);
    EXPECT_EQ(f->SideOf(Bar(1)), AFX_IDW_DOCKBAR_TOP);
    EXPECT_EQ(f->SideOf(Bar(2)), AFX_IDW_DOCKBAR_LEFT);
    EXPECT_EQ(f->SideOf(Bar(3)), AFX_IDW_DOCKBAR_BOTTOM);
    // Disc and Tracks share one row: [null, Disc, Tracks, null].
    ASSERT_EQ(top->m_arrBars.GetSize(), 4);
    EXPECT_EQ(top->m_arrBars[1], &Bar(0));
    EXPECT_EQ(top->m_arrBars[2], &Bar(1));

    // The row spans the whole dock bar: Disc from the left edge, an 8-pixel splitter, Tracks
    // to the right edge.
    CRect client;
    top->GetClientRect(&client);
    CRect a = ScreenRect(Bar(0)), b = ScreenRect(Bar(1));
    top->ScreenToClient(&a);
    top->ScreenToClient(&b);
    EXPECT_EQ(a.left, -Border());
    EXPECT_EQ(b.left, a.right - Border() + 8);
    // (The remainders of the shares are not handed out: at most one pixel per bar.)
    EXPECT_LE(client.right - b.right, 1);
    EXPECT_GE(client.right - b.right, 0);
    COXSplitterRect* split = Splitter(top, 1);
    ASSERT_NE(split, nullptr);
    EXPECT_EQ(split->m_rect.left, a.right - Border());
    EXPECT_EQ(split->m_rect.Width(), 8);
    // A row splitter follows the top row (between it and the pane); the bottom dock bar's
    // precedes its row; the left one's stands right of its column.
    COXSplitterRect* below = Splitter(top, 2);
    ASSERT_NE(below, nullptr);
    EXPECT_GE(below->m_rect.top, a.bottom - Border());
    COXSplitterRect* above = Splitter(f->Dock(AFX_IDW_DOCKBAR_BOTTOM), 2);
    ASSERT_NE(above, nullptr);
    CRect d = ScreenRect(Bar(3));
    f->Dock(AFX_IDW_DOCKBAR_BOTTOM)->ScreenToClient(&d);
    EXPECT_LE(above->m_rect.bottom, d.top);
    EXPECT_NE(Splitter(f->Dock(AFX_IDW_DOCKBAR_LEFT), 1), nullptr);

    // The sharing itself, in numbers: 300 and 100 fitted to 600 with b = 2 share 596.
    CPtrArray row;
    row.Add(nullptr);
    row.Add(&Bar(0));
    row.Add(&Bar(1));
    row.Add(nullptr);
    Bar(0).m_sizeHorzDock = CSize(300, 50);
    Bar(1).m_sizeHorzDock = CSize(100, 70);
    ASSERT_EQ(Border(), 2);
    ASSERT_TRUE(top->FitRow(1, 600, row));
    EXPECT_EQ(Bar(0).m_sizeHorzDock, CSize(447, 70));
    EXPECT_EQ(Bar(1).m_sizeHorzDock, CSize(149, 70));
}

TEST_F(SizeDockTest, InRowSplitterMovesOnlyWithinItsLimits)
{
    COXSizeDockBar* top = f->Dock(AFX_IDW_DOCKBAR_TOP);
    struct Case {
        const char* name;
        int dx;     // how far the mouse drags the splitter
        int moved;  // how far the splitter goes (-1: as far as the bar after allows)
    };
    const Case kCases[] = {
        {"right within the limits", 60, 60},
        {"left within the limits", -90, -90},
        {"right past the bar after: it stops when that bar has nothing left", 5000, -1},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.name);
        const int wA = Bar(0).m_sizeHorzDock.cx, wB = Bar(1).m_sizeHorzDock.cx;
        CRect client, b = ScreenRect(Bar(1));
        top->GetClientRect(&client);
        top->ScreenToClient(&b);
        const int free = client.right - b.right; // room after the row's last bar
        COXSplitterRect* split = Splitter(top, 1);
        ASSERT_NE(split, nullptr);
        const CPoint from = ScreenCentre(*top, split->m_rect);
        // The drag runs to the screen's edge at most.
        const int dx = c.moved == -1 ? wB + 40 : c.dx;
        MouseDrag(from, from + CSize(dx, 25), 6);
        IdleLayout();
        if (c.moved == -1) {
            EXPECT_EQ(Bar(1).m_sizeHorzDock.cx, 0);
            EXPECT_EQ(Bar(0).m_sizeHorzDock.cx, wA + wB + free);
        } else {
            EXPECT_EQ(Bar(0).m_sizeHorzDock.cx, wA + c.moved);
            EXPECT_EQ(Bar(1).m_sizeHorzDock.cx, wB - c.moved);
        }
        EXPECT_EQ(::GetCapture(), nullptr);
        // The line moved only sideways: the row's thickness is unchanged.
        EXPECT_EQ(Bar(0).m_sizeHorzDock.cy, Bar(1).m_sizeHorzDock.cy);
    }
}

TEST_F(SizeDockTest, RowSplitterChangesTheThicknessOfTheWholeRow)
{
    COXSizeDockBar* top = f->Dock(AFX_IDW_DOCKBAR_TOP);
    const int before = Bar(0).m_sizeHorzDock.cy;
    COXSplitterRect* split = Splitter(top, 2);
    ASSERT_NE(split, nullptr);
    const CPoint from = ScreenCentre(*top, split->m_rect);
    MouseDrag(from, from + CSize(-30, 40), 6);
    IdleLayout();
    EXPECT_EQ(Bar(0).m_sizeHorzDock.cy, before + 40);
    EXPECT_EQ(Bar(1).m_sizeHorzDock.cy, before + 40);
    EXPECT_EQ(ScreenRect(Bar(1)).Height(), before + 40);
}

TEST_F(SizeDockTest, ExpandButtonGivesTheRowToOneBarAndRestoresIt)
{
    const CSize a = Bar(0).m_sizeHorzDock, b = Bar(1).m_sizeHorzDock;
    ASSERT_TRUE(Bar(0).CanExpand());
    EXPECT_FALSE(Bar(2).CanExpand()) << "alone in its row";
    const CPoint button = ScreenCentre(Bar(0), Bar(0).m_rectExpand);
    MouseDrag(button, button, 1);
    IdleLayout();
    EXPECT_TRUE(Bar(0).m_bExpanded);
    EXPECT_EQ(Bar(1).m_sizeHorzDock.cx, 21);
    EXPECT_EQ(Bar(0).m_sizeHorzDock.cx, a.cx + b.cx - 21);
    ::Sleep(::GetDoubleClickTime() + 100);
    const CPoint again = ScreenCentre(Bar(0), Bar(0).m_rectExpand);
    MouseDrag(again, again, 1);
    IdleLayout();
    EXPECT_EQ(Bar(0).m_sizeHorzDock, a);
    EXPECT_EQ(Bar(1).m_sizeHorzDock, b);
}

TEST_F(SizeDockTest, ClassicDragDocksOnAnotherSideAcrossTheInnerHeight)
{
    // Tracks dragged by its caption (a strip down its left side) onto the right edge.
    const CPoint grab = ScreenCentre(Bar(1), Bar(1).m_rectCaption);
    CRect client;
    f->GetClientRect(&client);
    f->ClientToScreen(&client);
    MouseDrag(grab, CPoint(client.right - 10, client.CenterPoint().y), 10);
    IdleLayout();
    EXPECT_EQ(f->SideOf(Bar(1)), AFX_IDW_DOCKBAR_RIGHT);
    EXPECT_EQ(f->SideOf(Bar(0)), AFX_IDW_DOCKBAR_TOP);
    // Alone on the right side, it takes the side's whole height; Disc has the top row alone.
    CRect right;
    f->Dock(AFX_IDW_DOCKBAR_RIGHT)->GetClientRect(&right);
    CRect r = ScreenRect(Bar(1));
    f->Dock(AFX_IDW_DOCKBAR_RIGHT)->ScreenToClient(&r);
    EXPECT_EQ(r.bottom, right.bottom);
    EXPECT_EQ(ScreenRect(Bar(0)).Width(), ScreenRect(*f->Dock(AFX_IDW_DOCKBAR_TOP)).Width() + Border());
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(SizeDockTest, DroppedOntoAnotherBarFormsATabGroupAndATabPulledOutFloats)
{
    f->m_bLiveDrag = TRUE;
    COXSizeDockBar* left = f->Dock(AFX_IDW_DOCKBAR_LEFT);
    // The left side wide enough for both tabs.
    Bar(2).m_sizeVertDock.cx = 200;
    f->RecalcLayout();
    IdleLayout();
    // Log, from the bottom, pulled through the pane (it floats, and the bottom side empties)
    // and dropped low on the left side where Lyrics stands.
    CRect client;
    f->GetClientRect(&client);
    f->ClientToScreen(&client);
    const CPoint grab = ScreenCentre(Bar(3), Bar(3).m_rectCaption);
    const CPoint pane = ScreenRect(f->m_pane).CenterPoint();
    const int x = client.left + 20, bottom = client.bottom;
    MouseDragPath({grab, pane, CPoint(x, bottom - 70), CPoint(x, bottom - 20)});
    IdleLayout();
    // It stands in Lyrics' column now; dragged over the lowest part once more, it joins.
    EXPECT_EQ(f->SideOf(Bar(3)), AFX_IDW_DOCKBAR_LEFT);
    EXPECT_EQ(ScreenRect(Bar(3)).left, ScreenRect(Bar(2)).left);
    ::Sleep(::GetDoubleClickTime() + 100);
    MouseDrag(ScreenCentre(Bar(3), Bar(3).m_rectCaption), CPoint(x + 10, bottom - 20), 8);
    IdleLayout();
    EXPECT_EQ(f->SideOf(Bar(3)), AFX_IDW_DOCKBAR_LEFT);
    ASSERT_EQ(left->m_wndTabs.GetItemCount(), 2);
    EXPECT_GE(left->m_wndTabs.FindBar(&Bar(3)), 0);
    EXPECT_GE(left->m_wndTabs.FindBar(&Bar(2)), 0);
    EXPECT_EQ(left->GetTabStripHeight(), 28);
    // Only the selected one shows, above the strip.
    EXPECT_TRUE(Bar(3).IsWindowVisible());
    EXPECT_FALSE(Bar(2).IsWindowVisible());
    EXPECT_EQ(left->m_wndTabs.GetBar(left->m_wndTabs.GetCurSel()), &Bar(3));
    EXPECT_TRUE(left->m_wndTabs.IsWindowVisible());

    // A real click on the other tab shows the other bar.
    CRect tab;
    left->m_wndTabs.GetItemRect(left->m_wndTabs.FindBar(&Bar(2)), &tab);
    const CPoint onTab = ScreenCentre(left->m_wndTabs, tab);
    ::Sleep(::GetDoubleClickTime() + 100);
    MouseDrag(onTab, onTab, 1);
    IdleLayout();
    EXPECT_TRUE(Bar(2).IsWindowVisible());
    EXPECT_FALSE(Bar(3).IsWindowVisible());

    // Pulling that tab into the pane floats its bar and dissolves the group.
    ::Sleep(::GetDoubleClickTime() + 100);
    MouseDragPath({onTab, onTab + CSize(5, 0), ScreenRect(f->m_pane).CenterPoint()});
    IdleLayout();
    EXPECT_TRUE(Bar(2).IsFloating());
    EXPECT_EQ(left->m_wndTabs.GetItemCount(), 0);
    EXPECT_EQ(left->GetTabStripHeight(), 0);
    EXPECT_TRUE(Bar(3).IsWindowVisible());
    EXPECT_TRUE(Bar(2).IsWindowVisible());
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST_F(SizeDockTest, FloatingFrameIsSizedByItsBorderAndKeepsTheSizeAcrossDocking)
{
    COXSizeControlBar& bar = Bar(3);
    bar.m_pDockContext->ToggleDocking();
    IdleLayout();
    ASSERT_TRUE(bar.IsFloating());
    auto* frame = DYNAMIC_DOWNCAST(COXSizableMiniDockFrameWnd, bar.GetParentFrame());
    ASSERT_NE(frame, nullptr);
    EXPECT_TRUE(frame->IsWindowVisible());
    EXPECT_TRUE(frame->GetStyle() & WS_THICKFRAME);

    // The right border dragged 70 pixels outwards and the bottom one 40 down.
    CRect w = ScreenRect(*frame);
    MouseDrag(CPoint(w.right - 2, w.CenterPoint().y), CPoint(w.right + 68, w.CenterPoint().y), 6);
    w = ScreenRect(*frame);
    MouseDrag(CPoint(w.CenterPoint().x, w.bottom - 2), CPoint(w.CenterPoint().x, w.bottom + 38), 6);
    IdleLayout();
    CRect c;
    frame->GetClientRect(&c);
    CRect expected(c);
    COXSizableMiniDockFrameWnd::AdjustRectForBorders(expected, bar.m_dwStyle);
    EXPECT_EQ(bar.m_sizeFloat, expected.Size());
    EXPECT_EQ(bar.m_sizeFloat.cx, kBarSizes[3].cx + 70);
    EXPECT_EQ(bar.m_sizeFloat.cy, kBarSizes[3].cy + 40);
    const CSize sizeFloat = bar.m_sizeFloat;

    // The reduced system menu: no Maximize, Minimize, Restore or separators; Close hides.
    HMENU hMenu = ::GetSystemMenu(frame->m_hWnd, FALSE);
    EXPECT_EQ(frame->m_nSysMenuState, 2);
    for (UINT id : {SC_MAXIMIZE, SC_MINIMIZE, SC_RESTORE})
        EXPECT_EQ(::GetMenuState(hMenu, id, MF_BYCOMMAND), static_cast<UINT>(-1)) << id;
    for (int i = 0; i < ::GetMenuItemCount(hMenu); ++i)
        EXPECT_NE(::GetMenuItemID(hMenu, i), 0u) << "separator at " << i;
    char text[64] = "";
    ::GetMenuString(hMenu, SC_CLOSE, text, sizeof(text), MF_BYCOMMAND);
    EXPECT_STREQ(text, "&Hide");

    // Docked and floated again: the same floating size.
    bar.m_pDockContext->ToggleDocking();
    IdleLayout();
    EXPECT_FALSE(bar.IsFloating());
    bar.m_pDockContext->ToggleDocking();
    IdleLayout();
    ASSERT_TRUE(bar.IsFloating());
    EXPECT_EQ(bar.m_sizeFloat, sizeFloat);
    EXPECT_EQ(ScreenRect(bar).Size(), sizeFloat);

    // Close hides the bar (its frame goes out of sight with it).
    bar.GetParentFrame()->SendMessage(WM_SYSCOMMAND, SC_CLOSE);
    IdleLayout();
    EXPECT_FALSE(bar.IsWindowVisible());
    EXPECT_NE(bar.m_hWnd, nullptr);
}

// --- the layout in the profile ---

// What a process sees of the four bars: side, place, sizes and visibility, one line each.
std::string DescribeLayout(DockTestFrame& frame)
{
    std::ostringstream out;
    for (COXSizeControlBar& bar : frame.m_bars) {
        CRect r = ScreenRect(bar);
        out << bar.GetDlgCtrlID() << " side " << frame.SideOf(bar) << " at " << r.left << ","
            << r.top << " " << r.Width() << "x" << r.Height() << " float "
            << bar.m_sizeFloat.cx << "x" << bar.m_sizeFloat.cy << " horz "
            << bar.m_sizeHorzDock.cx << "x" << bar.m_sizeHorzDock.cy << " vert "
            << bar.m_sizeVertDock.cx << "x" << bar.m_sizeVertDock.cy << " visible "
            << (bar.IsWindowVisible() ? 1 : 0) << "\n";
    }
    return out.str();
}

std::string ChildOutputPath()
{
    char dir[MAX_PATH] = "";
    ::GetTempPath(sizeof(dir), dir);
    return std::string(dir) + "sonoria_dock_layout.txt";
}

// The second process: a fresh frame with the code's layout, then the saved one loaded.
TEST(LayoutInNewProcess, Restore)
{
    if (std::getenv("SONORIA_DOCK_CHILD") == nullptr)
        GTEST_SKIP() << "runs only as the second process of the layout test";
    AfxGetApp()->SetRegistryKey("SonoriaDockTest");
    auto* f = new DockTestFrame;
    ASSERT_TRUE(f->Make());
    AfxGetThread()->m_pMainWnd = f;
    f->LoadSizeBarState(kSection);
    IdleLayout();
    std::ofstream(ChildOutputPath()) << DescribeLayout(*f);
    AfxGetThread()->m_pMainWnd = nullptr;
    f->DestroyWindow();
    PumpPending();
}

std::string RunChild()
{
    return RunSelfAsChild("LayoutInNewProcess.Restore", "SONORIA_DOCK_CHILD", ChildOutputPath());
}

TEST_F(SizeDockTest, LayoutSavedInTheProfileIsRestoredByANewProcess)
{
    // A layout unlike the code's: Tracks on the right, Disc's row thicker, Log floating with
    // a size of its own, Lyrics hidden.
    Bar(1).m_sizeVertDock = CSize(150, 300);
    f->DockControlBar(&Bar(1), AFX_IDW_DOCKBAR_RIGHT);
    Bar(0).m_sizeHorzDock.cy += 25;
    Bar(3).m_sizeFloat = CSize(333, 111);
    f->FloatControlBar(&Bar(3), CPoint(500, 420));
    f->ShowControlBar(&Bar(2), FALSE, FALSE);
    f->RecalcLayout();
    IdleLayout();
    ASSERT_TRUE(Bar(3).IsFloating());
    const std::string saved = DescribeLayout(*f);
    const COXSizeControlBar& log = Bar(3);
    const int expected[7] = {333, 111, log.m_sizeHorzDock.cx, log.m_sizeHorzDock.cy,
                             log.m_sizeVertDock.cx, log.m_sizeVertDock.cy, 0};
    f->SaveSizeBarState(kSection);

    CWinApp* app = AfxGetApp();
    EXPECT_EQ(app->GetProfileInt(kSection, "Version", 0), 2u);
    LPBYTE data = nullptr;
    UINT n = 0;
    ASSERT_TRUE(app->GetProfileBinary(kSection, "BarSize_32775", &data, &n));
    ASSERT_EQ(n, 28u);
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(int(data[4 * i] | data[4 * i + 1] << 8 | data[4 * i + 2] << 16 |
                      data[4 * i + 3] << 24),
                  expected[i])
            << "field " << i;
    delete[] data;

    // The other process shows exactly this layout. (Ours must be gone so the windows don't
    // overlap on one desktop: the frames stand at the same place.)
    f->ShowWindow(SW_HIDE);
    for (CControlBar& bar : f->m_bars)
        if (bar.IsFloating())
            bar.GetParentFrame()->ShowWindow(SW_HIDE);
    EXPECT_EQ(RunChild(), saved);
}

TEST_F(SizeDockTest, DamagedOrMissingBarSizesAndOlderLayoutsFallBack)
{
    Bar(0).m_sizeHorzDock.cy = 150;
    Bar(1).m_sizeHorzDock.cy = 150;
    Bar(2).m_sizeVertDock = CSize(222, 333);
    f->RecalcLayout();
    f->SaveSizeBarState(kSection);
    CWinApp* app = AfxGetApp();
    BYTE shortValue[27] = {};
    app->WriteProfileBinary(kSection, "BarSize_32774", shortValue, sizeof(shortValue));
    app->WriteProfileString(kSection, "BarSize_32773", nullptr);
    BYTE stray[28] = {1, 2, 3};
    app->WriteProfileBinary(kSection, "BarSize_4242", stray, sizeof(stray));

    // A new frame with the code's layout loads it: Disc gets its saved sizes; Lyrics (value
    // one byte short) and Tracks (no value) keep the sizes the code gave them.
    AfxGetThread()->m_pMainWnd = nullptr;
    f->DestroyWindow();
    f = new DockTestFrame;
    ASSERT_TRUE(f->Make());
    AfxGetThread()->m_pMainWnd = f;
    const CSize lyricsVert = Bar(2).m_sizeVertDock;
    const CSize tracksFloat = Bar(1).m_sizeFloat;
    f->LoadSizeBarState(kSection);
    IdleLayout();
    EXPECT_EQ(Bar(0).m_sizeHorzDock.cy, 150);
    EXPECT_EQ(Bar(2).m_sizeVertDock.cx, lyricsVert.cx);
    EXPECT_EQ(Bar(1).m_sizeFloat, tracksFloat);

    // An older layout (Version 1) is deleted as a whole and the layout stays as it is.
    app->WriteProfileInt(kSection, "Version", 1);
    const std::string before = DescribeLayout(*f);
    f->LoadSizeBarState(kSection);
    IdleLayout();
    EXPECT_EQ(DescribeLayout(*f), before);
    EXPECT_EQ(app->GetProfileInt(kSection, "Version", 7), 7u);
    LPBYTE data = nullptr;
    UINT n = 0;
    EXPECT_FALSE(app->GetProfileBinary(kSection, "BarSize_32772", &data, &n));
    delete[] data;
}

TEST_F(SizeDockTest, DynamicBarIsDestroyedBeforeTheLayoutIsSaved)
{
    auto* dyn = new COXSizeControlBar(SZBARF_DLGAUTOSIZE);
    ASSERT_TRUE(dyn->Create(f, "Dynamic", 32790, WS_CHILD | WS_VISIBLE | CBRS_TOP, CRect(0, 0, 100, 50)));
    dyn->EnableDocking(CBRS_ALIGN_ANY);
    f->DockControlBar(dyn, AFX_IDW_DOCKBAR_TOP);
    f->RecalcLayout();
    f->SaveSizeBarState(kSection);
    EXPECT_EQ(dyn->m_hWnd, nullptr);
    LPBYTE data = nullptr;
    UINT n = 0;
    EXPECT_FALSE(AfxGetApp()->GetProfileBinary(kSection, "BarSize_32790", &data, &n));
    delete[] data;
    delete dyn;
}

TEST_F(SizeDockTest, LiveDragAnswerFollowsTheFrameOption)
{
    EXPECT_EQ(f->SendMessage(WM_OX_QUERYLIVEDRAG), 0);
    f->m_bLiveDrag = TRUE;
    EXPECT_EQ(f->SendMessage(WM_OX_QUERYLIVEDRAG), 1);
}

TEST_F(SizeDockTest, HundredDockFloatCyclesKeepHandlesConstant)
{
    COXSizeControlBar& bar = Bar(3);
    auto cycle = [&] {
        bar.m_pDockContext->ToggleDocking();
        bar.m_pDockContext->ToggleDocking();
        AfxGetThread()->OnIdle(0);
    };
    // Hidden, the frames are not mapped on the display, which makes the cycles cheap.
    f->ShowWindow(SW_HIDE);
    cycle(); // first-use objects
    PumpPending();
    const DWORD gdi = GdiObjectCount();
    const int windows = ThreadWindowCount();
    for (int i = 0; i < 100; ++i)
        cycle();
    PumpPending();
    EXPECT_EQ(GdiObjectCount(), gdi);
    EXPECT_EQ(ThreadWindowCount(), windows);
    EXPECT_FALSE(bar.IsFloating());
}

} // namespace

namespace {

// Writes a screen rectangle, read through the screen DC, as a 24-bit BMP file.
void SaveScreenBitmap(const char* path, const CRect& rect)
{
    HDC hScreen = ::GetDC(nullptr);
    HDC hMem = ::CreateCompatibleDC(hScreen);
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(bi.bmiHeader);
    bi.bmiHeader.biWidth = rect.Width();
    bi.bmiHeader.biHeight = rect.Height();
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 24;
    void* bits = nullptr;
    HBITMAP hBmp = ::CreateDIBSection(hScreen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ hOld = ::SelectObject(hMem, hBmp);
    ::BitBlt(hMem, 0, 0, rect.Width(), rect.Height(), hScreen, rect.left, rect.top, SRCCOPY);
    ::GdiFlush();
    const DWORD stride = (static_cast<DWORD>(rect.Width()) * 3 + 3) & ~3u;
    const DWORD size = stride * static_cast<DWORD>(rect.Height());
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof(fh) + sizeof(bi.bmiHeader);
    fh.bfSize = fh.bfOffBits + size;
    if (FILE* out = std::fopen(path, "wb")) {
        std::fwrite(&fh, sizeof(fh), 1, out);
        std::fwrite(&bi.bmiHeader, sizeof(bi.bmiHeader), 1, out);
        std::fwrite(bits, 1, size, out);
        std::fclose(out);
    }
    ::SelectObject(hMem, hOld);
    ::DeleteObject(hBmp);
    ::DeleteDC(hMem);
    ::ReleaseDC(nullptr, hScreen);
}

// Disc and Tracks sharing the top row with a splitter between them, Lyrics and Log as a tab
// group on the left, a fifth bar floating in its sizable frame; with SONORIA_SHOWCASE_MS set
// the frame stays up that long for scripts/screenshot.
TEST_F(SizeDockTest, ShowcaseSplittersTabGroupAndFloatingFrame)
{
    COXSizeDockBar* left = f->Dock(AFX_IDW_DOCKBAR_LEFT);
    CRect rl = ScreenRect(*left);
    CRect drop(CPoint(rl.left + 4, rl.bottom - 30), CSize(80, 200));
    f->DockControlBar(&Bar(3), left, &drop);
    f->RecalcLayout();
    IdleLayout();
    EXPECT_EQ(left->m_wndTabs.GetItemCount(), 2);
    COXSizeControlBar extra;
    ASSERT_TRUE(extra.Create(f, "Playlist", 32780, WS_CHILD | WS_VISIBLE | CBRS_TOP,
                             CRect(0, 0, 260, 160)));
    extra.EnableDocking(CBRS_ALIGN_ANY);
    CRect r = ScreenRect(*f);
    f->FloatControlBar(&extra, CPoint(r.left + 420, r.top + 260));
    extra.SendMessage(WM_OX_REFRESHFLOATINGMENU);
    IdleLayout();
    Bar(0).SetActive(TRUE, TRUE);
    for (CWnd* pWnd : {static_cast<CWnd*>(f), static_cast<CWnd*>(extra.GetParentFrame())})
        pWnd->RedrawWindow(nullptr, nullptr,
                           RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpPending();
    EXPECT_TRUE(extra.GetParentFrame()->IsWindowVisible());
    // Floating, the bar has its border and no caption strip.
    CRect rectClient, rectWindow = ScreenRect(extra);
    extra.GetClientRect(&rectClient);
    EXPECT_EQ(rectClient.Size(), rectWindow.Size() - CSize(10, 10));
    // The screen as this process paints it, for when the display shows a window unpainted.
    if (const char* path = std::getenv("SONORIA_SHOWCASE_BMP"))
        SaveScreenBitmap(path, ScreenRect(*f));
    if (const char* hold = std::getenv("SONORIA_SHOWCASE_MS")) {
        DWORD end = ::GetTickCount() + static_cast<DWORD>(std::atoi(hold));
        while (::GetTickCount() < end) {
            PumpPending();
            AfxGetThread()->OnIdle(0);
            ::Sleep(20);
        }
    }
    extra.DestroyWindow();
}

} // namespace
