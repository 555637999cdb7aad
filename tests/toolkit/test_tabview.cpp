// The tab view container: one page per tab, only the selected one shown, identifiers kept
// unique, the page following the container's size, and tabs switched while something is
// dragged over them (a real OLE drag driven by real mouse input).
#include <gtest/gtest.h>

#include <ole2.h>

#include <thread>
#include <vector>

#include "tests/framework_ui/ui_test_support.h"
#include "tests/toolkit/skin_test_support.h"
#include "toolkit/frames/skins/tabview_container.h"

namespace {

// A page the container can create from its run-time class; counts the live objects.
class CountedPage : public CWnd
{
    DECLARE_DYNCREATE(CountedPage)
public:
    CountedPage() { ++s_nLive; }
    ~CountedPage() override { --s_nLive; }
    static int s_nLive;
};
int CountedPage::s_nLive = 0;
IMPLEMENT_DYNCREATE(CountedPage, CWnd)

// A container of 400 x 300 with pages the test made (statics it owns).
// The pages outlive the container, whose destruction destroys their windows.
struct Container {
    TestHostWnd host{500, 400};
    std::vector<std::unique_ptr<CStatic>> pages;
    COX3DTabViewContainer tabs;
    explicit Container(int nPages = 3)
    {
        tabs.Create(WC_TABCONTROL, nullptr, WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN,
                    CRect(10, 10, 410, 310), &host, 100);
        for (int i = 0; i < nPages; ++i)
            AddPage(i);
    }
    CStatic* AddPage(int i, BOOL bActivate = TRUE)
    {
        auto page = std::make_unique<CStatic>();
        char title[16];
        snprintf(title, sizeof(title), "Page %d", i + 1);
        page->Create(title, WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), &host, 500 + i);
        CStatic* p = page.get();
        pages.push_back(std::move(page));
        EXPECT_TRUE(tabs.AddPage(p, title, -1, 0, bActivate));
        return p;
    }
    // Which of the test's pages are visible.
    std::vector<bool> Shown()
    {
        std::vector<bool> shown;
        for (auto& p : pages)
            shown.push_back(::IsWindow(p->m_hWnd) && p->IsWindowVisible());
        return shown;
    }
    // The centre of tab i in screen coordinates.
    CPoint TabCentre(int i)
    {
        CRect r;
        tabs.GetItemRect(i, &r);
        CPoint c = r.CenterPoint();
        tabs.ClientToScreen(&c);
        return c;
    }
};

void RealClick(CPoint screen)
{
    MoveMouseTo(screen.x, screen.y);
    MouseButton(true);
    MouseButton(false);
    for (int i = 0; i < 20; ++i) {
        PumpPending();
        ::Sleep(10);
    }
}

} // namespace

TEST(TabViewContainer, ShowsOnlyTheSelectedPage)
{
    Container c;
    EXPECT_EQ(c.Shown(), (std::vector<bool>{false, false, true})) << "the last added is active";
    EXPECT_EQ(c.tabs.GetActivePage(), c.pages[2].get());
    RealClick(c.TabCentre(0));
    EXPECT_EQ(c.Shown(), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(c.tabs.GetActivePageIndex(), 0);
    EXPECT_EQ(c.tabs.GetCurSel(), 0);
    EXPECT_TRUE(c.tabs.SetActivePage(c.pages[1].get()));
    EXPECT_EQ(c.Shown(), (std::vector<bool>{false, true, false}));
    EXPECT_FALSE(c.tabs.ActivatePage(-1)) << "-1 hides everything";
    EXPECT_EQ(c.Shown(), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(c.tabs.GetActivePage(), nullptr);
}

TEST(TabViewContainer, PageFollowsTheContainerSize)
{
    Container c;
    auto pageRect = [&] {
        CRect r;
        c.pages[2]->GetWindowRect(&r);
        c.tabs.ScreenToClient(&r);
        return r;
    };
    auto expected = [&] {
        CRect r;
        c.tabs.GetClientRect(&r);
        c.tabs.AdjustRect(FALSE, &r);
        return CRect(r.left + 1, r.top + 1, r.right - 1, r.bottom - 2);
    };
    EXPECT_EQ(pageRect(), expected());
    EXPECT_EQ(c.tabs.GetPageRect(), expected());
    c.tabs.MoveWindow(10, 10, 300, 200);
    EXPECT_EQ(pageRect(), expected());
    EXPECT_EQ(pageRect().Width(), expected().Width());
    const CRect before = pageRect();
    c.tabs.SendMessage(WM_SIZE, SIZE_MINIMIZED, 0);
    c.tabs.SendMessage(WM_SIZE, SIZE_RESTORED, MAKELPARAM(0, 0));
    EXPECT_EQ(pageRect(), before) << "a minimised or empty size does not relayout the page";
}

TEST(TabViewContainer, InsertingAndDeletingKeepTheShownPage)
{
    struct Case {
        const char* what;
        int activate;      // before the change
        int insertAt;      // -1: none
        int deleteAt;      // -1: none
        int shownPage;     // the test's page index shown afterwards, -1 none
        int activeIndex;   // the container's index of it
    };
    const Case cases[] = {
        {"insert at the active index", 1, 1, -1, 1, 2},
        {"insert before the active page", 2, 0, -1, 2, 3},
        {"insert after the active page", 0, 2, -1, 0, 0},
        {"delete the active last of three: the first shows", 2, -1, 2, 0, 0},
        {"delete the active middle: the next shows", 1, -1, 1, 2, 1},
        {"delete before the active page", 2, -1, 0, 2, 1},
        {"delete after the active page", 0, -1, 2, 0, 0},
    };
    for (const Case& k : cases) {
        SCOPED_TRACE(k.what);
        Container c;
        ASSERT_TRUE(c.tabs.ActivatePage(k.activate));
        if (k.insertAt >= 0) {
            auto extra = std::make_unique<CStatic>();
            extra->Create("extra", WS_CHILD | WS_VISIBLE, CRect(0, 0, 5, 5), &c.host, 600);
            ASSERT_TRUE(c.tabs.InsertPage(k.insertAt, extra.get(), "Extra", -1, 0, FALSE));
            EXPECT_FALSE(extra->IsWindowVisible()) << "a page not activated stays hidden";
            c.pages.push_back(std::move(extra));
        }
        if (k.deleteAt >= 0) {
            ASSERT_TRUE(c.tabs.DeletePage(k.deleteAt, FALSE));
        }
        EXPECT_EQ(c.tabs.GetActivePageIndex(), k.activeIndex);
        EXPECT_EQ(c.tabs.GetCurSel(), k.activeIndex);
        CWnd* shown = k.shownPage >= 0 ? c.pages[k.shownPage].get() : nullptr;
        EXPECT_EQ(c.tabs.GetActivePage(), shown);
        for (int i = 0; i < 3; ++i)
            if (i != k.deleteAt) {
                EXPECT_EQ(c.pages[i]->IsWindowVisible() != FALSE, i == k.shownPage) << i;
            }
    }
    Container single(1);
    ASSERT_TRUE(single.tabs.DeletePage(0, FALSE));
    EXPECT_EQ(single.tabs.GetActivePageIndex(), -1) << "deleting the only page leaves none";
    EXPECT_FALSE(single.tabs.DeletePage(0, FALSE));
}

TEST(TabViewContainer, CreatedPagesGetUniqueIdentifiersThatAreReused)
{
    TestHostWnd host(500, 400);
    {
        COX3DTabViewContainer tabs;
        tabs.Create(WC_TABCONTROL, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 300, 200), &host,
                    100);
        auto create = [&](int at) {
            return tabs.CreatePage(at, RUNTIME_CLASS(CountedPage), nullptr, "Created");
        };
        ASSERT_TRUE(create(0));
        ASSERT_TRUE(create(1));
        ASSERT_TRUE(create(2));
        EXPECT_EQ(CountedPage::s_nLive, 3);
        auto ids = [&] {
            std::vector<int> v;
            for (int i = 0; i < tabs.GetPageCount(); ++i)
                v.push_back(tabs.GetPage(i)->GetDlgCtrlID());
            return v;
        };
        EXPECT_EQ(ids(), (std::vector<int>{1, 2, 3}));
        ASSERT_TRUE(tabs.DeletePage(1, TRUE));
        EXPECT_EQ(CountedPage::s_nLive, 2) << "the container deletes the page it made";
        ASSERT_TRUE(create(2));
        ASSERT_TRUE(create(3));
        EXPECT_EQ(ids(), (std::vector<int>{1, 3, 2, 4}));

        EXPECT_FALSE(create(9)) << "index past the end";
        EXPECT_FALSE(tabs.CreatePage(0, nullptr, nullptr, "no class"));
        EXPECT_FALSE(tabs.CreatePage(0, RUNTIME_CLASS(CTabCtrl), nullptr, "not creatable"));
    }
    EXPECT_EQ(CountedPage::s_nLive, 0) << "destroying the container destroys its pages";
}

namespace {

// The smallest drag source: the drag goes on while the left button is held.
struct ButtonDropSource : IDropSource {
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** ppv) override
    {
        if (riid == IID_IUnknown || riid == IID_IDropSource) {
            *ppv = this;
            return S_OK;
        }
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE QueryContinueDrag(BOOL bEscape, DWORD dwKeyState) override
    {
        if (bEscape)
            return DRAGDROP_S_CANCEL;
        return (dwKeyState & MK_LBUTTON) ? S_OK : DRAGDROP_S_DROP;
    }
    HRESULT STDMETHODCALLTYPE GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
};

// Drags the text "song" with the real left button from start (screen) over each of stops in
// turn and drops it over the last; at each stop the mouse moves once more by a pixel, as a
// hand resting there does. watch runs every 50 ms inside the drag loop.
HRESULT DragTextOver(CPoint start, const std::vector<CPoint>& stops, TIMERPROC watch,
                     DWORD* pEffect = nullptr)
{
    COleDataSource source;
    HGLOBAL text = ::GlobalAlloc(GMEM_MOVEABLE, 8);
    lstrcpyA(static_cast<char*>(::GlobalLock(text)), "song");
    ::GlobalUnlock(text);
    source.CacheGlobalData(CF_TEXT, text);
    ButtonDropSource dropSource;
    MoveMouseTo(start.x, start.y);
    PumpPending();
    MouseButton(true);
    std::thread mover([&] {
        for (const CPoint& stop : stops) {
            ::Sleep(300);
            MoveMouseTo(stop.x, stop.y);
            ::Sleep(300);
            MoveMouseTo(stop.x + 1, stop.y);
            ::Sleep(400);
        }
        MouseButton(false);
    });
    const UINT_PTR timer = watch != nullptr ? ::SetTimer(nullptr, 0, 50, watch) : 0;
    DWORD effect = 0;
    const HRESULT hr =
        ::DoDragDrop(source.GetInterface(), &dropSource, DROPEFFECT_COPY, &effect);
    mover.join();
    if (timer != 0)
        ::KillTimer(nullptr, timer);
    if (pEffect != nullptr)
        *pEffect = effect;
    return hr;
}

} // namespace

TEST(TabViewContainer, DraggingOverATabShowsItsPage)
{
    ASSERT_TRUE(AfxOleInit());
    {
        Container c;
        ASSERT_TRUE(c.tabs.ActivatePage(0));
        // The drag starts on the host, crosses tab 2, rests on tab 3 and ends there.
        CPoint start(60, 350);
        c.host.ClientToScreen(&start);
        const CPoint over2 = c.TabCentre(1), over3 = c.TabCentre(2);
        // Watches the pages from inside the drag loop.
        static std::vector<bool> s_shownOver2;
        static Container* s_c;
        s_shownOver2.clear();
        s_c = &c;
        DWORD effect = 0;
        const HRESULT hr = DragTextOver(
            start, {over2, over3},
            [](HWND, UINT, UINT_PTR, DWORD) {
                if (s_shownOver2.empty() && s_c->tabs.GetActivePageIndex() == 1)
                    s_shownOver2 = s_c->Shown();
            },
            &effect);
        EXPECT_EQ(hr, DRAGDROP_S_DROP);
        EXPECT_EQ(effect, DROPEFFECT_NONE) << "the container itself accepts no drop";
        EXPECT_EQ(s_shownOver2, (std::vector<bool>{false, true, false}));
        EXPECT_EQ(c.Shown(), (std::vector<bool>{false, false, true}));
        EXPECT_EQ(c.tabs.GetActivePageIndex(), 2);

        c.tabs.SetActivateOnDrag(FALSE);
        ASSERT_TRUE(c.tabs.ActivatePage(0));
        DragTextOver(start, {over3}, nullptr);
        EXPECT_EQ(c.tabs.GetActivePageIndex(), 0) << "switched off, a drag changes nothing";
    }
    AfxOleTerm();
}

// Leaving the container forgets the tab hit last: coming back onto the same tab activates it
// again even when something else was shown meanwhile.
TEST(TabViewContainer, ReenteringTheSameTabActivatesItAgain)
{
    ASSERT_TRUE(AfxOleInit());
    {
        Container c;
        ASSERT_TRUE(c.tabs.ActivatePage(0));
        CPoint outside(60, 350);
        c.host.ClientToScreen(&outside);
        const CPoint over2 = c.TabCentre(1);
        // Inside the drag loop: whenever the cursor is off the container and tab 2 is shown,
        // the owner shows the first page again.
        static Container* s_c;
        static int s_nResets;
        s_c = &c;
        s_nResets = 0;
        DragTextOver(outside, {over2, outside, over2, outside, over2},
                     [](HWND, UINT, UINT_PTR, DWORD) {
                         CPoint p;
                         ::GetCursorPos(&p);
                         CRect r;
                         s_c->tabs.GetWindowRect(&r);
                         if (!r.PtInRect(p) && s_c->tabs.GetActivePageIndex() == 1) {
                             s_c->tabs.ActivatePage(0);
                             ++s_nResets;
                         }
                     });
        EXPECT_EQ(s_nResets, 2) << "tab 2 was activated on each of the first two passes";
        EXPECT_EQ(c.tabs.GetActivePageIndex(), 1) << "and again on the third";
        EXPECT_EQ(c.Shown(), (std::vector<bool>{false, true, false}));
    }
    AfxOleTerm();
}

TEST(TabViewContainer, LeavesNoHandlesBehind)
{
    auto cycle = [] {
        Container c;
        c.tabs.ActivatePage(0);
        c.tabs.DeletePage(1, TRUE);
        c.host.RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME |
                                                  RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpPending();
    };
    cycle();
    CGdiObject::DeleteTempMap();
    const DWORD gdi = GdiObjectCount(), user = UserObjectCount();
    for (int i = 0; i < 100; ++i)
        cycle();
    CGdiObject::DeleteTempMap();
    EXPECT_EQ(GdiObjectCount(), gdi);
    EXPECT_EQ(UserObjectCount(), user);
}

namespace {

class PageView : public CView
{
    DECLARE_DYNCREATE(PageView)
public:
    void OnDraw(CDC*) override {}
    void OnInitialUpdate() override { ++m_nInitialUpdates; }
    int m_nInitialUpdates = 0;
};
IMPLEMENT_DYNCREATE(PageView, CView)

} // namespace

// In a frame, a view page becomes the frame's active view when its tab is shown; a created
// view gets its first update.
TEST(TabViewContainer, ViewPagesBecomeTheFramesActiveView)
{
    TestHostWnd host(500, 400);
    auto* frame = new CFrameWnd; // deletes itself with its window
    ASSERT_TRUE(frame->Create(nullptr, "pages", WS_CHILD | WS_VISIBLE, CRect(0, 0, 480, 380),
                              &host));
    COX3DTabViewContainer tabs;
    tabs.Create(WC_TABCONTROL, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 400, 300), frame, 1);
    ASSERT_TRUE(tabs.CreatePage(0, RUNTIME_CLASS(PageView), nullptr, "First"));
    ASSERT_TRUE(tabs.CreatePage(1, RUNTIME_CLASS(PageView), nullptr, "Second"));
    auto* first = DYNAMIC_DOWNCAST(PageView, tabs.GetPage(0));
    auto* second = DYNAMIC_DOWNCAST(PageView, tabs.GetPage(1));
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->m_nInitialUpdates, 1);
    EXPECT_EQ(second->m_nInitialUpdates, 1);
    EXPECT_EQ(frame->GetActiveView(), second);
    ASSERT_TRUE(tabs.ActivatePage(0));
    EXPECT_EQ(frame->GetActiveView(), first);
    tabs.DestroyWindow();
    frame->DestroyWindow();
}
