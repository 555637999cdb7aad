// Control bars, dock bars, floating frames and the drag context: a real frame with real
// bars, laid out by WM_SIZEPARENT and dragged with real mouse input.
#include <gtest/gtest.h>

#include <windows.h>

#include <vector>

#include "tests/framework_ui/frame_test.h"

namespace {

constexpr UINT kIdA = 0xE810, kIdB = 0xE811;
constexpr UINT kCmdPing = 40001;

// A bar of a fixed size along its side (exchanged when docked vertically) that records
// its idle updates.
class FixedBar : public CControlBar {
public:
    explicit FixedBar(CSize size) : m_size(size) {}
    CSize CalcFixedLayout(BOOL, BOOL bHorz) override
    {
        return bHorz ? m_size : CSize(m_size.cy, m_size.cx);
    }
    void OnUpdateCmdUI(CFrameWnd* pTarget, BOOL) override
    {
        m_pLastTarget = pTarget;
        ++m_nUpdates;
    }
    BOOL Make(CWnd* pParent, LPCTSTR title, UINT nID)
    {
        m_dwStyle = CBRS_TOP;
        return CreateEx(0, nullptr, title, WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, CRect(),
                        pParent, nID);
    }
    CSize m_size;
    CFrameWnd* m_pLastTarget = nullptr;
    int m_nUpdates = 0;
};

// The docking frame: a pane, two bars, docking on every side; counts the commands that
// reach it.
class DockFrame : public CFrameWnd {
public:
    DockFrame() : m_barA(CSize(200, 30)), m_barB(CSize(150, 40)) {}
    // A visible top-level frame, or (bChild) a hidden child of the tests' window, which is
    // much cheaper to make and destroy under Wine.
    BOOL Make(bool bChild = false)
    {
        if (!CreateTestFrame(*this, m_pane, "Docking test", CRect(40, 40, 40 + 720, 40 + 520),
                             bChild))
            return FALSE;
        m_barA.Make(this, "Bar A", kIdA);
        m_barB.Make(this, "Bar B", kIdB);
        m_barA.EnableDocking(CBRS_ALIGN_ANY);
        m_barB.EnableDocking(CBRS_ALIGN_ANY);
        EnableDocking(CBRS_ALIGN_ANY);
        DockControlBar(&m_barA);
        DockControlBar(&m_barB);
        RecalcLayout();
        return TRUE;
    }
    void OnPing() { ++m_nPings; }
    CWnd m_pane;
    FixedBar m_barA, m_barB;
    int m_nPings = 0;

protected:
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(DockFrame, CFrameWnd)
    ON_COMMAND(kCmdPing, OnPing)
END_MESSAGE_MAP()
// clang-format on

CDockBar* Side(CFrameWnd* f, UINT id)
{
    return DYNAMIC_DOWNCAST(CDockBar, f->GetControlBar(id));
}

// The array of a dock bar written as text: "|" ends a row, bars by title, placeholders #id.
std::string Encode(const CDockBar* dock)
{
    std::string s;
    for (INT_PTR i = 0; i < dock->m_arrBars.GetSize(); ++i) {
        void* p = dock->m_arrBars[i];
        if (p == nullptr) {
            s += "|";
        } else if (AfxIsPlaceHolder(p)) {
            s += "#" + std::to_string(reinterpret_cast<UINT_PTR>(p));
        } else {
            char t[32] = "";
            ::GetWindowText(static_cast<CControlBar*>(p)->m_hWnd, t, sizeof(t));
            s += t;
        }
    }
    return s;
}

CRect ScreenRect(CWnd& w)
{
    CRect r;
    w.GetWindowRect(&r);
    return r;
}

class DockingTest : public FrameTest<DockFrame> {
protected:
    HWND m_hFrame() const { return f->m_hWnd; }
};

TEST_F(DockingTest, DockBarsAreMadeInSideOrderAndBarsDockAsRows)
{
    // The four sides exist in the order top, bottom, left, right of the bar list.
    std::vector<UINT> ids;
    for (POSITION pos = f->m_listControlBars.GetHeadPosition(); pos != nullptr;) {
        auto* pBar = static_cast<CControlBar*>(f->m_listControlBars.GetNext(pos));
        if (pBar->IsDockBar())
            ids.push_back(static_cast<UINT>(pBar->GetDlgCtrlID()));
    }
    EXPECT_EQ(ids, (std::vector<UINT>{AFX_IDW_DOCKBAR_TOP, AFX_IDW_DOCKBAR_BOTTOM,
                                      AFX_IDW_DOCKBAR_LEFT, AFX_IDW_DOCKBAR_RIGHT}));
    CDockBar* top = Side(f, AFX_IDW_DOCKBAR_TOP);
    ASSERT_NE(top, nullptr);
    EXPECT_EQ(Encode(top), "|Bar A|Bar B|");
    EXPECT_EQ(f->m_barA.m_pDockBar, top);
    EXPECT_EQ(f->m_barA.m_dwStyle & (CBRS_ALIGN_ANY | CBRS_BORDER_ANY),
              CBRS_ALIGN_TOP | CBRS_BORDER_ANY);

    // Docking B at A's right, in A's row, puts it after A in the same row.
    CRect a = ScreenRect(f->m_barA);
    CRect drop(a.right - 2, a.top, a.right - 2 + 150, a.top + 40);
    f->DockControlBar(&f->m_barB, top, &drop);
    f->RecalcLayout();
    EXPECT_EQ(Encode(top), "|Bar ABar B|");
}

TEST_F(DockingTest, LayoutQueryMovesNothingAndThePaneGetsWhatIsLeft)
{
    CRect client;
    f->GetClientRect(&client);
    CRect paneBefore = ScreenRect(f->m_pane);
    // Two rows on top, 30 and 40 high: each overlaps its neighbour (or the dock bar's edge)
    // by one border, and the dock bar adds its bottom edge.
    CRect left;
    f->RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, CWnd::reposQuery, &left);
    const int b = 2 * ::GetSystemMetrics(SM_CYBORDER);
    EXPECT_EQ(left.top, 30 + 40 - 2 * b);
    EXPECT_EQ(left.bottom, client.bottom);
    EXPECT_EQ(ScreenRect(f->m_pane), paneBefore);

    // The real layout gives the pane exactly that rectangle (its client edge outside).
    CRect pane = ScreenRect(f->m_pane);
    f->ScreenToClient(&pane);
    CRect expected = left;
    ::AdjustWindowRectEx(&expected, 0, FALSE, WS_EX_CLIENTEDGE);
    EXPECT_EQ(pane, expected);
}

TEST_F(DockingTest, DelayedHideWaitsForTheIdleLayout)
{
    f->ShowControlBar(&f->m_barB, FALSE, TRUE);
    EXPECT_TRUE(f->m_barB.IsWindowVisible()) << "hidden before the layout";
    EXPECT_FALSE(f->m_barB.IsVisible());
    EXPECT_TRUE(f->m_nIdleFlags & CFrameWnd::idleLayout);
    CRect paneBefore = ScreenRect(f->m_pane);

    IdleUpdate(f);
    EXPECT_FALSE(f->m_barB.IsWindowVisible());
    EXPECT_LT(ScreenRect(f->m_pane).top, paneBefore.top) << "the pane took B's row";
    EXPECT_EQ(f->m_nIdleFlags & CFrameWnd::idleLayout, 0u);

    f->ShowControlBar(&f->m_barB, TRUE, FALSE);
    EXPECT_TRUE(f->m_barB.IsWindowVisible());
    EXPECT_EQ(ScreenRect(f->m_pane).top, paneBefore.top);
}

TEST_F(DockingTest, BarsForwardCommandsToTheOwnerAndUpdateThroughTheOwnerFrame)
{
    f->m_barA.SendMessage(WM_COMMAND, MAKEWPARAM(kCmdPing, 0), 0);
    EXPECT_EQ(f->m_nPings, 1);
    IdleUpdate(f);
    EXPECT_EQ(f->m_barA.m_pLastTarget, f);
    EXPECT_GT(f->m_barA.m_nUpdates, 0);
    // A hidden bar is left out.
    f->ShowControlBar(&f->m_barA, FALSE, FALSE);
    int before = f->m_barA.m_nUpdates;
    IdleUpdate(f);
    EXPECT_EQ(f->m_barA.m_nUpdates, before);
}

TEST_F(DockingTest, FloatingLeavesAPlaceholderAndToggleComesBack)
{
    CDockBar* top = Side(f, AFX_IDW_DOCKBAR_TOP);
    f->FloatControlBar(&f->m_barA, CPoint(300, 300));
    ASSERT_TRUE(f->m_barA.IsFloating());
    EXPECT_EQ(Encode(top), "|#" + std::to_string(kIdA) + "|Bar B|");
    CFrameWnd* floating = f->m_barA.GetParentFrame();
    ASSERT_NE(floating, nullptr);
    EXPECT_TRUE(floating->IsKindOf(RUNTIME_CLASS(CMiniDockFrameWnd)));
    EXPECT_TRUE(floating->IsWindowVisible());
    EXPECT_EQ(ScreenRect(*floating).TopLeft(), CPoint(300, 300));
    EXPECT_EQ(f->m_barA.GetTopLevelFrame(), f);
    EXPECT_EQ(f->GetControlBar(AFX_IDW_DOCKBAR_FLOAT)->GetParentFrame(), floating);
    // The floating frame's client is the bar less its borders.
    CRect client;
    floating->GetClientRect(&client);
    const int b = 2 * ::GetSystemMetrics(SM_CXBORDER);
    EXPECT_EQ(client.Size(), CSize(200 - 2 * b, 30 - 2 * b));

    HWND hFloating = floating->m_hWnd;
    f->m_barA.m_pDockContext->ToggleDocking();
    EXPECT_FALSE(::IsWindow(hFloating)) << "an emptied floating frame goes away";
    EXPECT_EQ(f->m_barA.m_pDockBar, top);
    EXPECT_EQ(Encode(top).find('#'), std::string::npos);
}

TEST_F(DockingTest, ClosingAFloatingFrameHidesItsBar)
{
    f->FloatControlBar(&f->m_barB, CPoint(320, 320));
    CFrameWnd* floating = f->m_barB.GetParentFrame();
    char item[32] = "";
    ::GetMenuString(::GetSystemMenu(floating->m_hWnd, FALSE), SC_CLOSE, item, sizeof(item),
                    MF_BYCOMMAND);
    EXPECT_STREQ(item, "&Hide");
    floating->SendMessage(WM_CLOSE);
    EXPECT_FALSE(f->m_barB.IsWindowVisible());
    EXPECT_FALSE(floating->IsWindowVisible());
    f->ShowControlBar(&f->m_barB, TRUE, FALSE);
    EXPECT_TRUE(floating->IsWindowVisible());
}

TEST_F(DockingTest, RealDragsMoveABarToAnotherSideAndIntoAFloatingFrame)
{
    // Grab bar B at its middle and drop it on the frame's left edge.
    CRect b = ScreenRect(f->m_barB);
    CRect client;
    f->GetClientRect(&client);
    f->ClientToScreen(&client);
    MouseDrag(b.CenterPoint(), CPoint(client.left + 5, client.CenterPoint().y));
    ASSERT_NE(f->m_barB.m_pDockBar, nullptr);
    EXPECT_EQ(f->m_barB.m_pDockBar->GetDlgCtrlID(), static_cast<int>(AFX_IDW_DOCKBAR_LEFT));
    EXPECT_EQ(f->m_barB.m_dwStyle & CBRS_ALIGN_ANY, CBRS_ALIGN_LEFT);
    EXPECT_EQ(ScreenRect(f->m_barB).Size(), CSize(40, 150)) << "stands vertically";
    EXPECT_EQ(f->m_barB.m_pDockContext->m_uMRUDockID, AFX_IDW_DOCKBAR_LEFT);

    // Into the middle of the pane: it floats there.
    b = ScreenRect(f->m_barB);
    CPoint mid = client.CenterPoint();
    MouseDrag(b.CenterPoint(), mid);
    EXPECT_TRUE(f->m_barB.IsFloating());
    CRect rectFloat = ScreenRect(*f->m_barB.GetParentFrame());
    EXPECT_TRUE(rectFloat.PtInRect(mid)) << "the frame lies under the drop point";

    // A double click on the docked bar A floats it.
    MouseDoubleClick(ScreenRect(f->m_barA).CenterPoint());
    EXPECT_TRUE(f->m_barA.IsFloating());
}

TEST_F(DockingTest, EscapeCancelsADrag)
{
    CRect b = ScreenRect(f->m_barB);
    CDockBar* before = f->m_barB.m_pDockBar;
    CRect client;
    f->GetClientRect(&client);
    f->ClientToScreen(&client);
    // Press, move into the pane, press Escape, release: nothing changes.
    struct Script {
        CPoint from, to;
    } s{b.CenterPoint(), client.CenterPoint()};
    HANDLE h = ::CreateThread(
        nullptr, 0,
        [](LPVOID p) -> DWORD {
            auto* sc = static_cast<Script*>(p);
            InputMouseMove(sc->from);
            ::Sleep(60);
            InputMouseButton(true);
            ::Sleep(60);
            InputMouseMove(sc->to);
            ::Sleep(60);
            InputKey(VK_ESCAPE, true);
            InputKey(VK_ESCAPE, false);
            ::Sleep(60);
            InputMouseButton(false);
            ::Sleep(60);
            return 0;
        },
        &s, 0, nullptr);
    PumpUntil([&] { return ::WaitForSingleObject(h, 0) == WAIT_OBJECT_0; }, 1000);
    ::CloseHandle(h);
    PumpPending();
    EXPECT_EQ(f->m_barB.m_pDockBar, before);
    EXPECT_EQ(ScreenRect(f->m_barB), b);
    EXPECT_EQ(::GetCapture(), nullptr);
}

TEST(DrawDragRect, InvertsTheFrameOnlyAndMovesItWithoutTrails)
{
    HDC screen = ::GetDC(nullptr);
    CDC dc;
    dc.Attach(::CreateCompatibleDC(screen));
    HBITMAP bmp = ::CreateCompatibleBitmap(screen, 100, 100);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc, bmp);
    dc.FillSolidRect(0, 0, 100, 100, RGB(0, 0, 0));
    CBrush white(RGB(255, 255, 255));

    CRect r1(10, 10, 50, 50), r2(20, 20, 60, 60);
    dc.DrawDragRect(&r1, CSize(3, 3), nullptr, CSize(0, 0), &white, &white);
    EXPECT_EQ(::GetPixel(dc, 10, 30), RGB(255, 255, 255)) << "frame";
    EXPECT_EQ(::GetPixel(dc, 12, 30), RGB(255, 255, 255));
    EXPECT_EQ(::GetPixel(dc, 13, 30), RGB(0, 0, 0)) << "inside";
    dc.DrawDragRect(&r2, CSize(3, 3), &r1, CSize(3, 3), &white, &white);
    EXPECT_EQ(::GetPixel(dc, 10, 30), RGB(0, 0, 0)) << "the old frame is gone";
    EXPECT_EQ(::GetPixel(dc, 21, 40), RGB(255, 255, 255));
    dc.DrawDragRect(&r2, CSize(0, 0), &r2, CSize(3, 3), &white, &white);
    for (int y = 0; y < 100; y += 3)
        for (int x = 0; x < 100; x += 3)
            ASSERT_EQ(::GetPixel(dc, x, y), RGB(0, 0, 0)) << x << "," << y;
    // The halftone brush is one object for the process.
    EXPECT_EQ(CDC::GetHalftoneBrush(), CDC::GetHalftoneBrush());
    ::SelectObject(dc, old);
    ::DeleteObject(bmp);
}

TEST(DockingHandles, NoGrowthOverManyFramesDocksAndFloats)
{
    auto cycle = [] {
        auto* f = new DockFrame;
        f->Make(true);
        f->FloatControlBar(&f->m_barA, CPoint(200, 200));
        f->DockControlBar(&f->m_barA, AFX_IDW_DOCKBAR_RIGHT);
        f->FloatControlBar(&f->m_barB, CPoint(250, 250));
        f->RecalcLayout();
        PumpPending();
        f->DestroyWindow();
        PumpPending();
        CWnd::DeleteTempMap();
        CGdiObject::DeleteTempMap();
        CDC::DeleteTempMap();
    };
    cycle(); // first use makes the lasting objects (classes, brushes)
    const DWORD gdi = GdiObjectCount();
    const int windows = ThreadWindowCount();
    for (int i = 0; i < 100; ++i)
        cycle();
    EXPECT_LE(GdiObjectCount(), gdi);
    EXPECT_EQ(ThreadWindowCount(), windows);
}

} // namespace
