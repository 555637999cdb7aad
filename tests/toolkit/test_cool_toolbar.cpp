// The cool toolbar and the status bar in a real frame, set up as the main window sets them
// up: clicks through the input queue reach the commands, the drop-down arrow opens its menu,
// labels and wrapping follow the layout, the bar floats and docks, and each skin paints it.
// With SONORIA_SHOWCASE_SKIN and SONORIA_SHOWCASE_MS set, the frame stays up in that skin
// for scripts/screenshot.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "tests/framework_ui/ui_test_support.h"
#include "tests/toolkit/bars_test_res.h"
#include "toolkit/controls/cooltoolbar/cool_toolbar.h"
#include "toolkit/frames/skins/skinned_app.h"
#include "toolkit/frames/skins/toolbar_skin.h"
#include "toolkit/frames/statusbar/ox_status_bar.h"

static COXSkinnedApp theApp;

namespace {

const UINT kIndicators[] = {0, ID_TEST_PANE, ID_INDICATOR_CAPS, ID_INDICATOR_NUM};

class BarsFrame : public CFrameWnd {
public:
    COXCoolToolBar toolBar;
    COXStatusBar statusBar;
    std::vector<UINT> commands;
    int dropDowns = 0;

    void OnTestCommand(UINT nID) { commands.push_back(nID); }
    void OnUpdateStop(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    void OnUpdateOthers(CCmdUI* pCmdUI) { pCmdUI->Enable(TRUE); }
    void OnDropDown(NMHDR* pNotify, LRESULT* pResult)
    {
        ++dropDowns;
        auto* tb = reinterpret_cast<NMTOOLBAR*>(pNotify);
        CRect rect(tb->rcButton);
        toolBar.ClientToScreen(&rect);
        HMENU hMenu = ::LoadMenu(AfxGetResourceHandle(), "MENU_TEST");
        ::TrackPopupMenu(::GetSubMenu(hMenu, 0), TPM_LEFTALIGN, rect.left, rect.bottom, 0,
                         m_hWnd, nullptr);
        ::DestroyMenu(hMenu);
        *pResult = TBDDRET_DEFAULT;
    }
    LRESULT OnLiveDrag(WPARAM, LPARAM) { return 0; } // bars go through the framework's drag

    // As the application's main frame makes its bars.
    BOOL MakeBars()
    {
        if (!toolBar.Create(this, WS_CHILD | WS_VISIBLE | CBRS_GRIPPER | CBRS_TOP) ||
            !toolBar.LoadToolBar(IDR_TEST_TOOLBAR))
            return FALSE;
        toolBar.SetImageSize(16, 16);
        toolBar.SetDefaultImageList(
            toolBar.LoadImageListById(IDB_TEST_IMAGES, 16, RGB(255, 0, 255)));
        toolBar.SetDisabledImageList(
            toolBar.LoadImageListById(IDB_TEST_DISABLED, 16, RGB(255, 0, 255)));
        toolBar.SetButtonStyle(0, toolBar.GetButtonStyle(0) | TBSTYLE_DROPDOWN);
        toolBar.SetDropDownArrow(TRUE);
        toolBar.UpdateSizes();
        toolBar.SetBarStyle(toolBar.GetBarStyle() | CBRS_TOOLTIPS | CBRS_FLYBY |
                            CBRS_SIZE_DYNAMIC);
        toolBar.EnableDocking(CBRS_ALIGN_TOP | CBRS_ALIGN_BOTTOM);
        EnableDocking(CBRS_ALIGN_ANY);
        DockControlBar(&toolBar);
        if (!statusBar.Create(this) || !statusBar.SetIndicators(kIndicators, 4))
            return FALSE;
        RecalcLayout();
        return TRUE;
    }
    DECLARE_MESSAGE_MAP()
};

// clang-format off
BEGIN_MESSAGE_MAP(BarsFrame, CFrameWnd)
    ON_COMMAND_RANGE(ID_TEST_RIP, ID_TEST_PLAY, OnTestCommand)
    ON_UPDATE_COMMAND_UI(ID_TEST_STOP, OnUpdateStop)
    ON_UPDATE_COMMAND_UI(ID_TEST_RIP, OnUpdateOthers)
    ON_UPDATE_COMMAND_UI(ID_TEST_EJECT, OnUpdateOthers)
    ON_UPDATE_COMMAND_UI(ID_TEST_PLAY, OnUpdateOthers)
    ON_NOTIFY(TBN_DROPDOWN, AFX_IDW_TOOLBAR, OnDropDown)
    ON_MESSAGE(WM_OX_QUERYLIVEDRAG, OnLiveDrag)
END_MESSAGE_MAP()
// clang-format on

BarsFrame* Frame()
{
    // One top-level frame for the program: making top-level windows is slow without a
    // window manager.
    static BarsFrame* frame = [] {
        auto* f = new BarsFrame;
        f->Create(nullptr, "Bars", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 700, 300));
        ::SetMenu(f->m_hWnd, ::LoadMenu(AfxGetResourceHandle(), "MENU_TEST"));
        theApp.m_pMainWnd = f;
        f->MakeBars();
        PumpPending();
        return f;
    }();
    return frame;
}

void IdleUpdate()
{
    Frame()->SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
    PumpPending();
}

COLORREF ScreenPixel(CWnd& wnd, CPoint client)
{
    HDC hdc = ::GetDC(wnd.m_hWnd);
    COLORREF c = ::GetPixel(hdc, client.x, client.y);
    ::ReleaseDC(wnd.m_hWnd, hdc);
    return c;
}

class CoolToolBar : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(theApp.SetCurrentSkin("Classic"));
        frame = Frame();
        ASSERT_NE(frame->toolBar.m_hWnd, nullptr);
        if (frame->toolBar.IsFloating())
            frame->DockControlBar(&frame->toolBar, AFX_IDW_DOCKBAR_TOP);
        frame->RecalcLayout();
        frame->commands.clear();
        IdleUpdate();
    }
    CRect ItemRect(int nIndex)
    {
        CRect rect;
        frame->toolBar.GetItemRect(nIndex, &rect);
        return rect;
    }
    BarsFrame* frame = nullptr;
};

TEST_F(CoolToolBar, ClickedButtonsReachTheirCommandsAndDisabledOnesDoNot)
{
    COXCoolToolBar& bar = frame->toolBar;
    EXPECT_EQ(bar.GetCount(), 5);
    EXPECT_FALSE(bar.GetButtonStyle(bar.CommandToIndex(ID_TEST_STOP)) >> 16 & TBSTATE_ENABLED);
    EXPECT_TRUE(bar.GetButtonStyle(bar.CommandToIndex(ID_TEST_PLAY)) >> 16 & TBSTATE_ENABLED);
    for (UINT id : {ID_TEST_PLAY, ID_TEST_STOP, ID_TEST_EJECT}) {
        InputClick(bar.m_hWnd, ItemRect(bar.CommandToIndex(id)).CenterPoint());
        ::Sleep(150);
        PumpPending();
    }
    PumpUntil([&] { return frame->commands.size() >= 2; });
    EXPECT_EQ(frame->commands, (std::vector<UINT>{ID_TEST_PLAY, ID_TEST_EJECT}));
}

TEST_F(CoolToolBar, TheDropDownArrowOpensItsMenu)
{
    COXCoolToolBar& bar = frame->toolBar;
    ASSERT_TRUE(bar.IsDropDownArrow());
    CRect button = ItemRect(0);
    // The bar's own width counts the arrow.
    EXPECT_GT(button.Width(), bar.GetButtonSize().cx - 1);
    DialogAnswerer closeMenu([](HWND, void*) { ::EndMenu(); }, nullptr, "#32768", 5000);
    InputClick(bar.m_hWnd, CPoint(button.right - 4, button.CenterPoint().y));
    PumpUntil([&] { return frame->dropDowns > 0; });
    EXPECT_EQ(frame->dropDowns, 1);
    PumpUntil([&] { return closeMenu.Answered(); }, 400);
    EXPECT_TRUE(closeMenu.Answered());
    EXPECT_TRUE(frame->commands.empty()); // the arrow is not the button
}

TEST_F(CoolToolBar, TextLabelsComeFromTheChosenSource)
{
    COXCoolToolBar& bar = frame->toolBar;
    struct Case {
        int type;
        const char* rip;
        const char* eject;
    };
    const Case cases[] = {
        {0, "Rip the checked tracks", "Eject the disc"},
        {1, "Rip", ""},               // a string without a second part gives nothing
        {2, "&Rip tracks", "&Eject"}, // the menu item up to its tab
        {3, "&Rip tracks", "&Eject"}, // type 3 leaves the texts
        {4, "", ""},
        {9, "", ""}, // above 4 counts as 4
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.type);
        bar.SetButtonsText(ID_TEST_RIP, ID_TEST_PLAY, c.type);
        EXPECT_EQ(bar.GetButtonText(bar.CommandToIndex(ID_TEST_RIP)), CString(c.rip));
        EXPECT_EQ(bar.GetButtonText(bar.CommandToIndex(ID_TEST_EJECT)), CString(c.eject));
    }
    EXPECT_EQ(bar.GetTextType(), 4);
}

TEST_F(CoolToolBar, TheDynamicLayoutWrapsRowsToTheWidth)
{
    COXCoolToolBar& bar = frame->toolBar;
    bar.SetButtonsText(ID_TEST_RIP, ID_TEST_PLAY, 1);
    bar.UpdateSizes();
    auto rows = [&] {
        int n = 1;
        for (int i = 0; i < bar.GetCount(); ++i)
            n += (bar.GetButtonStyle(i) >> 16 & TBSTATE_WRAP) != 0;
        return n;
    };
    CSize wide = bar.CalcDynamicLayout(2000, LM_HORZ | LM_COMMIT);
    EXPECT_EQ(rows(), 1);
    const int button = bar.GetButtonSize().cx;
    CSize two = bar.CalcDynamicLayout(2 * button + 20, LM_HORZ | LM_COMMIT);
    EXPECT_GE(rows(), 2);
    EXPECT_GT(two.cy, wide.cy);
    EXPECT_LT(two.cx, wide.cx);
    CSize one = bar.CalcDynamicLayout(1, LM_HORZ | LM_COMMIT);
    // Every button a row of its own; the separator becomes a line between two rows.
    EXPECT_EQ(rows(), 5);
    EXPECT_TRUE(bar.GetButtonStyle(2) >> 16 & TBSTATE_WRAP);
    EXPECT_GT(one.cy, two.cy);
    bar.SetButtonsText(ID_TEST_RIP, ID_TEST_PLAY, 4);
    bar.CalcDynamicLayout(2000, LM_HORZ | LM_COMMIT);
    frame->RecalcLayout();
}

TEST_F(CoolToolBar, TheBarFloatsAndDocksThroughTheDockingMachinery)
{
    COXCoolToolBar& bar = frame->toolBar;
    CRect window;
    bar.GetWindowRect(&window);
    CRect frameClient;
    frame->GetClientRect(&frameClient);
    frame->ClientToScreen(&frameClient);
    // Drag by the gripper into the middle of the frame: the bar floats.
    MouseDrag(CPoint(window.left + 3, window.CenterPoint().y), frameClient.CenterPoint());
    PumpUntil([&] { return bar.IsFloating() != FALSE; });
    EXPECT_TRUE(bar.IsFloating());
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_BOTTOM);
    PumpPending();
    EXPECT_FALSE(bar.IsFloating());
    EXPECT_TRUE(bar.GetBarStyle() & CBRS_ALIGN_BOTTOM);
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    PumpPending();
    EXPECT_TRUE(bar.GetBarStyle() & CBRS_ALIGN_TOP);
}

TEST_F(CoolToolBar, EachSkinPaintsTheBarWithItsPalette)
{
    COXCoolToolBar& bar = frame->toolBar;
    const DWORD gdiBefore = GdiObjectCount();
    // A point on the separator's background, off its middle line.
    const CRect separator = ItemRect(2);
    const CPoint empty(separator.left + 1, separator.CenterPoint().y);

    for (const char* skin : {"Classic", "Office XP", "Office 2003", "Classic"}) {
        SCOPED_TRACE(skin);
        ASSERT_TRUE(theApp.SetCurrentSkin(skin));
        bar.RedrawWindow(nullptr, nullptr,
                         RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE | RDW_FRAME);
        PumpPending();
        COLORREF at = ScreenPixel(bar, empty);
        if (CString(skin) == "Classic") {
            EXPECT_EQ(at, ::GetSysColor(COLOR_BTNFACE));
        } else if (CString(skin) == "Office XP") {
            auto* xp = dynamic_cast<COXSkinXP*>(theApp.GetCurrentSkin());
            EXPECT_EQ(at, xp->GetToolbarBackgroundColor());
        } else {
            auto* s = dynamic_cast<COXSkin2003*>(theApp.GetCurrentSkin());
            COLORREF a = s->GetTabGradientLightColor(), b = s->GetTabGradientDarkColor();
            EXPECT_GE(GetRValue(at), std::min(GetRValue(a), GetRValue(b)));
            EXPECT_LE(GetRValue(at), std::max(GetRValue(a), GetRValue(b)));
            EXPECT_GE(GetBValue(at), std::min(GetBValue(a), GetBValue(b)));
            EXPECT_LE(GetBValue(at), std::max(GetBValue(a), GetBValue(b)));
        }
        // The first image's red square shows in every skin.
        CRect rip = ItemRect(0);
        bool red = false;
        for (int x = rip.left; x < rip.right && !red; ++x)
            red = ScreenPixel(bar, CPoint(x, rip.CenterPoint().y)) == RGB(255, 0, 0);
        EXPECT_TRUE(red);
    }
    EXPECT_LE(GdiObjectCount(), gdiBefore);
}

TEST_F(CoolToolBar, ImageListsAreCachedAndTheCommonControlsVersionIsKnown)
{
    COXCoolToolBar& bar = frame->toolBar;
    HIMAGELIST first = bar.LoadImageListById(IDB_TEST_IMAGES, 16, RGB(255, 0, 255));
    EXPECT_EQ(bar.LoadImageListById(IDB_TEST_IMAGES, 16, RGB(255, 0, 255)), first);
    EXPECT_EQ(bar.LoadImageListById(999, 16, RGB(255, 0, 255)), nullptr);
    EXPECT_EQ(ImageList_GetImageCount(first), 4);
    DWORD major = 0, minor = 0;
    EXPECT_EQ(OXGetComCtlVersion(nullptr, &minor), E_INVALIDARG);
    ASSERT_EQ(OXGetComCtlVersion(&major, &minor), S_OK);
    EXPECT_EQ(OXComCtlVersion(), major << 16 | minor);
    EXPECT_GE(OXComCtlVersion(), OX_COMCTL_471);
}

// Not a test: keeps the frame up in one skin for a screenshot.
TEST(CoolToolBarShowcase, Stays)
{
    const char* skin = std::getenv("SONORIA_SHOWCASE_SKIN");
    const char* ms = std::getenv("SONORIA_SHOWCASE_MS");
    if (skin == nullptr || ms == nullptr)
        GTEST_SKIP();
    theApp.SetCurrentSkin(skin);
    BarsFrame* frame = Frame();
    frame->toolBar.SetButtonsText(ID_TEST_RIP, ID_TEST_PLAY, 1);
    frame->toolBar.UpdateSizes();
    frame->statusBar.SetPaneText(0, "Ready");
    frame->RecalcLayout();
    IdleUpdate();
    DWORD until = ::GetTickCount() + static_cast<DWORD>(std::atoi(ms));
    while (::GetTickCount() < until) {
        PumpPending();
        ::Sleep(20);
    }
}

} // namespace
