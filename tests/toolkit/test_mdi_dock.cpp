// The MDI frame with sizable docking: documents opened in dockable MDI children, "New Window"
// numbering, children docked as sizable bars and back, bars floated as MDI windows and back,
// with real clicks on real menus; command help and the main window's close.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "tests/framework_ui/ui_test_support.h"
#include "toolkit/frames/sizebar/mdi_frame_size_dock.h"
#include "toolkit/frames/sizebar/sizable_mini_frame.h"
#include "toolkit/frames/sizebar/size_control_bar.h"
#include "toolkit/frames/sizebar/size_dock_bar.h"

namespace {

constexpr UINT kTemplateID = 0x6100; // no resources: the documents are "Untitled<n>"
constexpr COLORREF kViewColour = RGB(40, 120, 200);

std::vector<std::string> g_viewParentsAtDestroy;
int g_docsAlive = 0;
std::vector<DWORD_PTR> g_helpCalls;

} // namespace

class MdiTestDoc : public CDocument {
    DECLARE_DYNCREATE(MdiTestDoc)
public:
    MdiTestDoc() { ++g_docsAlive; }
    ~MdiTestDoc() override { --g_docsAlive; }
    BOOL CanCloseFrame(CFrameWnd*) override { return !m_bRefuseClose; }
    BOOL SaveModified() override { return !m_bRefuseClose; }
    BOOL m_bRefuseClose = FALSE;
};
IMPLEMENT_DYNCREATE(MdiTestDoc, CDocument)

class MdiTestView : public CView {
    DECLARE_DYNCREATE(MdiTestView)
public:
    void OnDraw(CDC* pDC) override
    {
        CRect rect;
        GetClientRect(&rect);
        pDC->FillSolidRect(&rect, kViewColour);
    }

protected:
    void OnDestroy()
    {
        CWnd* pParent = GetParent();
        g_viewParentsAtDestroy.push_back(
            pParent != nullptr ? pParent->GetRuntimeClass()->m_lpszClassName : "none");
        CView::OnDestroy();
    }
    DECLARE_MESSAGE_MAP()
};
IMPLEMENT_DYNCREATE(MdiTestView, CView)
BEGIN_MESSAGE_MAP(MdiTestView, CView)
ON_WM_DESTROY()
END_MESSAGE_MAP()

class MdiTestChild : public COXMDIChildWndSizeDock {
    DECLARE_DYNCREATE(MdiTestChild)
public:
    void WinHelp(DWORD_PTR dwData, UINT) override { g_helpCalls.push_back(dwData); }
};
IMPLEMENT_DYNCREATE(MdiTestChild, COXMDIChildWndSizeDock)

// A menu bar "File", "Window" (New Window) built in code.
class MdiTestFrame : public COXMDIFrameWndSizeDock {
    DECLARE_DYNCREATE(MdiTestFrame)
protected:
    BOOL OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext*) override
    {
        HMENU hBar = ::CreateMenu();
        HMENU hFile = ::CreatePopupMenu();
        ::AppendMenuA(hFile, MF_STRING, ID_FILE_NEW, "&New");
        HMENU hWindow = ::CreatePopupMenu();
        ::AppendMenuA(hWindow, MF_STRING, ID_WINDOW_NEW, "&New Window");
        ::AppendMenuA(hBar, MF_POPUP, reinterpret_cast<UINT_PTR>(hFile), "&File");
        ::AppendMenuA(hBar, MF_POPUP, reinterpret_cast<UINT_PTR>(hWindow), "&Window");
        ::SetMenu(m_hWnd, hBar);
        m_hMenuDefault = hBar;
        return CreateClient(lpcs, hWindow);
    }
};
IMPLEMENT_DYNCREATE(MdiTestFrame, COXMDIFrameWndSizeDock)

namespace {

CString Text(HWND hWnd)
{
    char text[256] = "";
    ::GetWindowTextA(hWnd, text, sizeof(text));
    return text;
}

CRect ScreenRect(HWND hWnd)
{
    CRect r;
    ::GetWindowRect(hWnd, &r);
    return r;
}

// Clicks the item of the open popup menu whose text starts with what->text, after noting
// whether it is checked.
struct MenuPick {
    const char* text;
    bool found = false;
    bool checked = false;
};

void PickMenuItem(HWND hPopup, void* context)
{
    auto* pick = static_cast<MenuPick*>(context);
    auto hMenu = reinterpret_cast<HMENU>(::SendMessage(hPopup, MN_GETHMENU, 0, 0));
    for (int i = 0; hMenu != nullptr && i < ::GetMenuItemCount(hMenu); ++i) {
        char text[128] = "";
        ::GetMenuStringA(hMenu, static_cast<UINT>(i), text, sizeof(text), MF_BYPOSITION);
        if (std::strncmp(text, pick->text, std::strlen(pick->text)) != 0)
            continue;
        pick->found = true;
        pick->checked = (::GetMenuState(hMenu, static_cast<UINT>(i), MF_BYPOSITION) & MF_CHECKED) != 0;
        RECT r{};
        ::GetMenuItemRect(nullptr, hMenu, static_cast<UINT>(i), &r);
        InputMouseMove(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
        ::Sleep(120);
        InputMouseButton(true);
        InputMouseButton(false);
        return;
    }
    InputKeyStroke(VK_ESCAPE);
}

// Right-clicks a screen point and picks the item from the context menu that opens.
MenuPick RightClickAndPick(POINT at, const char* item)
{
    MenuPick pick{item};
    {
        DialogAnswerer answer(&PickMenuItem, &pick, "#32768");
        MouseRightClick(at);
        PumpUntil([&] { return answer.Answered(); }, 600);
        PumpFor(300);
    }
    PumpFor(200);
    return pick;
}

class MdiDockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        g_viewParentsAtDestroy.clear();
        g_helpCalls.clear();
        frame = new MdiTestFrame;
        ASSERT_TRUE(frame->Create(nullptr, "MDI test",
                                  WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE | WS_CLIPCHILDREN,
                                  CRect(30, 30, 830, 630)));
        frame->EnableDocking(CBRS_ALIGN_ANY);
        frame->ShowWindow(SW_SHOW);
        frame->UpdateWindow();
        hFrame = frame->m_hWnd;
        AfxGetApp()->m_pMainWnd = frame;
        docTemplate = new CMultiDocTemplate(kTemplateID, RUNTIME_CLASS(MdiTestDoc),
                                            RUNTIME_CLASS(MdiTestChild), RUNTIME_CLASS(MdiTestView));
        PumpFor(100);
    }
    void TearDown() override
    {
        if (::IsWindow(hFrame)) {
            AfxGetApp()->m_pMainWnd = nullptr;
            frame->DestroyWindow();
        }
        AfxGetApp()->m_pMainWnd = nullptr;
        delete docTemplate;
        PumpPending();
        EXPECT_EQ(g_docsAlive, 0) << "every document closed with its windows";
    }

    MdiTestChild* NewDocument()
    {
        CDocument* pDoc = docTemplate->OpenDocumentFile(nullptr);
        if (pDoc == nullptr)
            return nullptr;
        POSITION pos = pDoc->GetFirstViewPosition();
        CView* pView = pDoc->GetNextView(pos);
        PumpFor(100);
        return dynamic_cast<MdiTestChild*>(pView->GetParentFrame());
    }
    static CView* ViewOf(CFrameWnd* pChild) { return pChild->GetActiveView(); }
    // A point inside the view, on the screen.
    static POINT ViewPoint(CWnd* pView)
    {
        CRect r = ScreenRect(pView->m_hWnd);
        return POINT{r.left + r.Width() / 2, r.top + r.Height() / 2};
    }
    HWND ActiveMDIChild() const
    {
        return reinterpret_cast<HWND>(::SendMessage(frame->m_hWndMDIClient, WM_MDIGETACTIVE, 0, 0));
    }

    MdiTestFrame* frame = nullptr;
    HWND hFrame = nullptr;
    CMultiDocTemplate* docTemplate = nullptr;
};

TEST_F(MdiDockTest, NewWindowFromTheWindowMenuNumbersTheCaptions)
{
    MdiTestChild* first = NewDocument();
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(Text(first->m_hWnd), "Untitled1");
    EXPECT_EQ(Text(hFrame), "Untitled1 - MDI test");

    // Window > New Window, clicked on the menu bar.
    RECT item{};
    ASSERT_TRUE(::GetMenuItemRect(hFrame, ::GetMenu(hFrame), 1, &item));
    MenuPick pick{"&New Window"};
    {
        DialogAnswerer answer(&PickMenuItem, &pick, "#32768");
        InputMouseMove(POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
        ::Sleep(60);
        InputMouseButton(true);
        InputMouseButton(false);
        PumpUntil([&] { return answer.Answered(); }, 600);
        PumpFor(300);
    }
    PumpFor(200);
    ASSERT_TRUE(pick.found);
    HWND hSecond = ActiveMDIChild();
    ASSERT_NE(hSecond, first->m_hWnd) << "the new window is the active child";
    EXPECT_EQ(Text(first->m_hWnd), "Untitled1:1");
    EXPECT_EQ(Text(hSecond), "Untitled1:2");
    EXPECT_EQ(Text(hFrame), "Untitled1:2 - MDI test");

    // A second document counts on; closing its window again leaves the numbers alone.
    MdiTestChild* other = NewDocument();
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(Text(other->m_hWnd), "Untitled2");

    // Ctrl+F4 closes the active child (Untitled2), then the second window of Untitled1.
    ::SetForegroundWindow(hFrame);
    ::SetFocus(ViewOf(other)->m_hWnd);
    KeyPress(VK_F4, false, true);
    PumpFor(200);
    ASSERT_FALSE(::IsWindow(other->m_hWnd));
    first->MDIActivate();
    ::SendMessage(frame->m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(hSecond), 0);
    PumpFor(100);
    ::SetFocus(::GetWindow(hSecond, GW_CHILD));
    KeyPress(VK_F4, false, true);
    PumpFor(200);
    ASSERT_FALSE(::IsWindow(hSecond));
    EXPECT_EQ(Text(first->m_hWnd), "Untitled1") << "one window left: no number";
}

TEST_F(MdiDockTest, WindowNewWithoutADocumentSaysCommandFailed)
{
    struct Seen {
        CString text;
    } seen;
    DialogAnswerer answer(
        [](HWND hDlg, void* ctx) {
            char text[128] = "";
            ::GetDlgItemTextA(hDlg, 0xFFFF, text, sizeof(text));
            static_cast<Seen*>(ctx)->text = text;
            ::PostMessage(hDlg, WM_COMMAND, IDOK, 0);
        },
        &seen);
    frame->PostMessage(WM_COMMAND, ID_WINDOW_NEW);
    PumpUntil([&] { return answer.Answered(); }, 600);
    PumpFor(200);
    EXPECT_EQ(seen.text, "Command failed.");
}

TEST_F(MdiDockTest, ChildDocksAsASizableBarAndComesBackFromItsContextMenu)
{
    MdiTestChild* child = NewDocument();
    ASSERT_NE(child, nullptr);
    CView* view = ViewOf(child);
    const UINT nDock = OXGetDockMDIChildID();
    EXPECT_GE(nDock, 0xC000u);
    HMENU hSys = ::GetSystemMenu(child->m_hWnd, FALSE);
    EXPECT_EQ(::GetMenuState(hSys, nDock, MF_BYCOMMAND) & MF_CHECKED, 0u);

    MenuPick pick = RightClickAndPick(ViewPoint(view), "Dock window");
    ASSERT_TRUE(pick.found);
    EXPECT_FALSE(pick.checked);
    ASSERT_TRUE(child->IsDocked());
    COXSizeViewBar& bar = child->m_wndViewBar;
    EXPECT_FALSE(::IsWindowVisible(child->m_hWnd)) << "the child window stays hidden";
    EXPECT_TRUE(bar.IsWindowVisible());
    ASSERT_NE(bar.m_pDockBar, nullptr);
    EXPECT_EQ(bar.m_pDockBar->GetDlgCtrlID(), static_cast<int>(AFX_IDW_DOCKBAR_TOP));
    EXPECT_EQ(::GetParent(view->m_hWnd), bar.m_wndWrapper.m_hWnd) << "the view sits in the wrapper";
    EXPECT_EQ(::GetParent(bar.m_wndWrapper.m_hWnd), bar.m_hWnd);
    EXPECT_EQ(Text(bar.m_hWnd), "Untitled1") << "the bar takes the child's title";
    EXPECT_EQ(frame->MDIGetActive(), child) << "the docked child counts as active";
    EXPECT_EQ(frame->GetActiveView(), view);
    EXPECT_NE(::GetMenuState(hSys, nDock, MF_BYCOMMAND) & MF_CHECKED, 0u)
        << "the system menu's item is checked while docked";
    // The view shows inside the docked bar.
    PumpFor(100);
    CRect rView = ScreenRect(view->m_hWnd);
    EXPECT_TRUE(ScreenRect(bar.m_hWnd).PtInRect(rView.CenterPoint()));
    AfxGetThread()->OnIdle(0);
    PumpFor(100);
    if (const char* path = std::getenv("SONORIA_MDI_SHOT_DOCKED"))
        SaveScreenBitmap(hFrame, path);

    // The docked view's context menu offers the item checked; picking it undocks.
    pick = RightClickAndPick(ViewPoint(view), "Dock window");
    ASSERT_TRUE(pick.found);
    EXPECT_TRUE(pick.checked);
    EXPECT_FALSE(child->IsDocked());
    EXPECT_TRUE(::IsWindowVisible(child->m_hWnd));
    EXPECT_FALSE(bar.IsWindowVisible());
    EXPECT_EQ(::GetParent(view->m_hWnd), child->m_hWnd);
    EXPECT_EQ(ActiveMDIChild(), child->m_hWnd);
    EXPECT_EQ(::GetMenuState(hSys, nDock, MF_BYCOMMAND) & MF_CHECKED, 0u);
    CRect rClient;
    child->GetClientRect(&rClient);
    CRect rViewNow;
    view->GetClientRect(&rViewNow);
    EXPECT_EQ(rViewNow.Size(), rClient.Size()) << "the view fills the child again";

    // Docking again reuses the bar.
    pick = RightClickAndPick(ViewPoint(view), "Dock window");
    EXPECT_TRUE(child->IsDocked());
    EXPECT_TRUE(bar.IsWindowVisible());
}

TEST_F(MdiDockTest, DockingTheMaximizedActiveChildLeavesNoMaximizedGhost)
{
    MdiTestChild* first = NewDocument();
    MdiTestChild* second = NewDocument();
    ASSERT_TRUE(first != nullptr && second != nullptr);
    second->CMDIChildWnd::MDIMaximize();
    PumpFor(100);
    ASSERT_TRUE(::IsZoomed(second->m_hWnd));
    MenuPick pick = RightClickAndPick(ViewPoint(ViewOf(second)), "Dock window");
    ASSERT_TRUE(pick.found);
    ASSERT_TRUE(second->IsDocked());
    EXPECT_FALSE(::IsZoomed(second->m_hWnd));
    EXPECT_FALSE(::IsWindowVisible(second->m_hWnd));
    EXPECT_EQ(ActiveMDIChild(), first->m_hWnd) << "the next child took over in the client";
    EXPECT_EQ(frame->MDIGetActive(), second);
}

TEST_F(MdiDockTest, ClosingADockedChildThatItsDocumentRefusesKeepsBoth)
{
    MdiTestChild* child = NewDocument();
    ASSERT_NE(child, nullptr);
    RightClickAndPick(ViewPoint(ViewOf(child)), "Dock window");
    ASSERT_TRUE(child->IsDocked());
    auto* doc = static_cast<MdiTestDoc*>(child->GetActiveDocument());
    doc->m_bRefuseClose = TRUE;
    child->PostMessage(WM_CLOSE);
    PumpFor(200);
    EXPECT_TRUE(::IsWindow(child->m_hWnd));
    EXPECT_TRUE(child->m_wndViewBar.IsWindowVisible());
    EXPECT_TRUE(child->IsDocked());
    doc->m_bRefuseClose = FALSE;
    child->PostMessage(WM_CLOSE);
    PumpFor(200);
    EXPECT_EQ(g_docsAlive, 0);
}

TEST_F(MdiDockTest, ClosingTheMainWindowUndocksChildrenBeforeTheDocumentsClose)
{
    MdiTestChild* docked = NewDocument();
    ASSERT_NE(docked, nullptr);
    RightClickAndPick(ViewPoint(ViewOf(docked)), "Dock window");
    ASSERT_TRUE(docked->IsDocked());
    ASSERT_NE(NewDocument(), nullptr);
    // The application's templates close the documents; the main window's end posts the
    // quit message, which this test program does not act on.
    CWinApp* app = AfxGetApp();
    CDocManager* saved = app->m_pDocManager;
    auto* manager = new CDocManager;
    manager->AddDocTemplate(docTemplate);
    app->m_pDocManager = manager;
    frame->PostMessage(WM_CLOSE);
    PumpFor(300);
    MSG quit;
    while (::PeekMessage(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE)) {
    }
    app->m_pDocManager = saved;
    delete manager; // with the template
    docTemplate = nullptr;
    EXPECT_FALSE(::IsWindow(hFrame));
    EXPECT_EQ(g_docsAlive, 0);
    EXPECT_EQ(g_viewParentsAtDestroy,
              (std::vector<std::string>{"MdiTestChild", "MdiTestChild"}))
        << "each view was back in its child when the documents closed";
}

TEST_F(MdiDockTest, BarFloatsAsAnMDIWindowAndBackFromItsContextMenu)
{
    COXSizeControlBar bar(SZBARF_ALLOW_MDI_FLOAT_MENU | SZBARF_MDI_FLOAT_ITEM);
    ASSERT_TRUE(bar.Create(frame, "Playlist", 32790, WS_CHILD | WS_VISIBLE | CBRS_LEFT,
                           CRect(0, 0, 200, 160)));
    bar.EnableDocking(CBRS_ALIGN_ANY);
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_LEFT);
    frame->RecalcLayout();
    PumpFor(100);
    CRect r = ScreenRect(bar.m_hWnd);
    MenuPick pick = RightClickAndPick(POINT{r.left + r.Width() / 2, r.top + r.Height() / 2},
                                      "Float as MDI Window");
    ASSERT_TRUE(pick.found);
    EXPECT_FALSE(pick.checked);
    auto* floatWnd = dynamic_cast<COXMDIFloatWnd*>(bar.GetParentFrame());
    ASSERT_NE(floatWnd, nullptr) << "the bar floats in an MDI window";
    EXPECT_EQ(::GetParent(floatWnd->m_hWnd), frame->m_hWndMDIClient);
    EXPECT_TRUE(floatWnd->IsWindowVisible());
    EXPECT_EQ(Text(floatWnd->m_hWnd), "Playlist");
    EXPECT_TRUE(ScreenRect(frame->m_hWndMDIClient).PtInRect(ScreenRect(bar.m_hWnd).CenterPoint()));
    AfxGetThread()->OnIdle(0);
    PumpFor(100);
    if (const char* path = std::getenv("SONORIA_MDI_SHOT_FLOAT"))
        SaveScreenBitmap(hFrame, path);

    // Checked now; picking it again floats the bar in an ordinary floating frame.
    r = ScreenRect(bar.m_hWnd);
    HWND hFloatWnd = floatWnd->m_hWnd;
    pick = RightClickAndPick(POINT{r.left + r.Width() / 2, r.top + r.Height() / 2},
                             "Float as MDI Window");
    ASSERT_TRUE(pick.found);
    EXPECT_TRUE(pick.checked);
    EXPECT_FALSE(::IsWindow(hFloatWnd)) << "the MDI window goes with its bar";
    EXPECT_NE(dynamic_cast<COXSizableMiniDockFrameWnd*>(bar.GetParentFrame()), nullptr);
    bar.DestroyWindow();
}

TEST_F(MdiDockTest, ABarFloatingAsAnMDIWindowIsSavedAndRestoredAsOne)
{
    constexpr char kSection[] = "MdiLayoutTest";
    auto makeBar = [](CFrameWnd* pFrame, COXSizeControlBar& bar) {
        ASSERT_TRUE(bar.Create(pFrame, "Lyrics", 32792, WS_CHILD | WS_VISIBLE | CBRS_TOP,
                               CRect(0, 0, 220, 140)));
        bar.EnableDocking(CBRS_ALIGN_ANY);
        pFrame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
        pFrame->RecalcLayout();
    };
    CPoint place;
    {
        COXSizeControlBar bar;
        makeBar(frame, bar);
        CPoint target(120, 90);
        ::ClientToScreen(frame->m_hWndMDIClient, &target);
        frame->FloatBarAsMDI(&bar, target);
        PumpFor(100);
        ASSERT_NE(dynamic_cast<COXMDIFloatWnd*>(bar.GetParentFrame()), nullptr);
        place = ScreenRect(bar.GetParentFrame()->m_hWnd).TopLeft();
        frame->SaveSizeBarState(kSection);
        AfxGetApp()->m_pMainWnd = nullptr;
        frame->DestroyWindow();
    }
    PumpFor(100);
    frame = new MdiTestFrame;
    ASSERT_TRUE(frame->Create(nullptr, "MDI test", WS_OVERLAPPEDWINDOW | FWS_ADDTOTITLE,
                              CRect(30, 30, 830, 630)));
    hFrame = frame->m_hWnd;
    AfxGetApp()->m_pMainWnd = frame;
    frame->EnableDocking(CBRS_ALIGN_ANY);
    frame->ShowWindow(SW_SHOW);
    COXSizeControlBar bar;
    makeBar(frame, bar);
    frame->LoadSizeBarState(kSection);
    PumpFor(100);
    auto* floatWnd = dynamic_cast<COXMDIFloatWnd*>(bar.GetParentFrame());
    ASSERT_NE(floatWnd, nullptr) << "restored as an MDI window";
    EXPECT_EQ(::GetParent(floatWnd->m_hWnd), frame->m_hWndMDIClient);
    EXPECT_EQ(ScreenRect(floatWnd->m_hWnd).TopLeft(), place)
        << ScreenRect(floatWnd->m_hWnd).left << "," << ScreenRect(floatWnd->m_hWnd).top << " vs "
        << place.x << "," << place.y;
    EXPECT_TRUE(floatWnd->IsWindowVisible());
    AfxGetApp()->WriteProfileString(kSection, nullptr, nullptr);
    bar.DestroyWindow();
}

TEST_F(MdiDockTest, FloatingAsMDIRightOfTheClientEndsAtItsRightEdge)
{
    COXSizeControlBar bar;
    ASSERT_TRUE(bar.Create(frame, "Log", 32791, WS_CHILD | WS_VISIBLE | CBRS_TOP,
                           CRect(0, 0, 180, 120)));
    bar.EnableDocking(CBRS_ALIGN_ANY);
    frame->DockControlBar(&bar, AFX_IDW_DOCKBAR_TOP);
    frame->RecalcLayout();
    CRect inner;
    ::GetClientRect(frame->m_hWndMDIClient, &inner);
    CRect rectBar;
    bar.GetClientRect(&rectBar); // the docked size decides the place
    CPoint target(inner.right + 300, 10);
    ::ClientToScreen(frame->m_hWndMDIClient, &target);
    frame->FloatBarAsMDI(&bar, target);
    PumpFor(100);
    auto* floatWnd = dynamic_cast<COXMDIFloatWnd*>(bar.GetParentFrame());
    ASSERT_NE(floatWnd, nullptr);
    CRect wnd = ScreenRect(floatWnd->m_hWnd);
    CPoint topLeft = wnd.TopLeft();
    ::ScreenToClient(frame->m_hWndMDIClient, &topLeft);
    EXPECT_EQ(topLeft.x, inner.Width() - rectBar.Width());
    EXPECT_EQ(topLeft.y, 10);
    bar.DestroyWindow();
}

TEST_F(MdiDockTest, CommandHelpAsksTheActiveChildFirst)
{
    MdiTestChild* child = NewDocument();
    ASSERT_NE(child, nullptr);
    EXPECT_TRUE(frame->SendMessage(WM_COMMANDHELP, 0, 0x1234));
    EXPECT_EQ(g_helpCalls, (std::vector<DWORD_PTR>{HID_BASE_COMMAND + 0x1234}));
    // Nothing tracked and no prompt shown: no help, the message is not handled.
    g_helpCalls.clear();
    EXPECT_FALSE(frame->SendMessage(WM_COMMANDHELP, 0, 0));
    EXPECT_TRUE(g_helpCalls.empty());
}

TEST(MdiCancelModes, ACaptureHeldElsewhereIsCancelled)
{
    struct Holder : CWnd {
        int cancels = 0;
        LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
        {
            if (message == WM_CANCELMODE) {
                ++cancels;
                ::ReleaseCapture();
            }
            return CWnd::WindowProc(message, wParam, lParam);
        }
    } holder, other;
    holder.CreateEx(0, nullptr, "holder", WS_CHILD | WS_VISIBLE, 0, 0, 20, 20, SharedTopWindow(),
                    nullptr);
    other.CreateEx(0, nullptr, "other", WS_CHILD | WS_VISIBLE, 30, 0, 20, 20, SharedTopWindow(),
                   nullptr);
    holder.SetCapture();
    AfxCancelModes(holder.m_hWnd);
    EXPECT_EQ(holder.cancels, 0) << "the receiver keeps its own capture";
    AfxCancelModes(other.m_hWnd);
    EXPECT_EQ(holder.cancels, 1);
    EXPECT_EQ(::GetCapture(), nullptr);
    holder.DestroyWindow();
    other.DestroyWindow();
}

} // namespace
