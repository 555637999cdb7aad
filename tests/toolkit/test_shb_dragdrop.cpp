// OLE drags between real windows: the pointer moves through the input queue from a source
// window to a target window, and every forwarded event is recorded with its record.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tests/framework_ui/ui_test_support.h"
#include "tests/toolkit/shb_drag_test_support.h"
#include "toolkit/controls/shb_dragdrop/shb_dragdrop.h"

namespace {

constexpr char kPayload[] = "tracks 1-4 of the disc";

struct Seen {
    UINT message;
    SHBDROPTARGETACTION target;
    SHBDROPSOURCEACTION source;
    DWORD tick;
};

// A child window that records the forwarded messages and answers those listed in answers.
class RecordingWnd : public CWnd {
public:
    RecordingWnd(int x, int y, int cx, int cy, DWORD extraStyle = 0)
    {
        CreateEx(0, nullptr, "drag", WS_CHILD | WS_VISIBLE | WS_BORDER | extraStyle, x, y, cx,
                 cy, SharedTopWindow(), nullptr);
    }
    ~RecordingWnd() override { DestroyWindow(); }

    struct Answer {
        UINT message;
        DWORD result; // a DROPEFFECT, BOOL or SCODE bit pattern
    };
    std::vector<Answer> answers;
    std::vector<Seen> seen;
    std::vector<std::pair<UINT, DWORD>> scrolls; // WM_VSCROLL/WM_HSCROLL wParam, tick
    std::string dropped;

    // Source side: a press starts a drag of kPayload through this window's drop source.
    bool isSource = false;
    COXSHBDropSource dropSource;
    DROPEFFECT dragResult = 0xDEAD;

    std::vector<UINT> Messages(UINT first = 0x80AD, UINT last = 0x80B5) const
    {
        std::vector<UINT> out;
        for (const Seen& s : seen)
            if (s.message >= first && s.message <= last)
                out.push_back(s.message);
        return out;
    }
    const Seen* Last(UINT message) const
    {
        for (auto it = seen.rbegin(); it != seen.rend(); ++it)
            if (it->message == message)
                return &*it;
        return nullptr;
    }

    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override
    {
        if (message >= SHBDTM_DRAGENTER && message <= SHBDSM_QUERYCONTINUEDRAG)
            return Record(message, lParam);
        if (message == WM_VSCROLL || message == WM_HSCROLL) {
            scrolls.emplace_back(static_cast<UINT>(message << 16 | LOWORD(wParam)),
                                 ::GetTickCount());
            return 0;
        }
        if (message == WM_LBUTTONDOWN && isSource) {
            StartDrag();
            return 0;
        }
        return CWnd::WindowProc(message, wParam, lParam);
    }

private:
    LRESULT Record(UINT message, LPARAM lParam)
    {
        Seen s{message, {}, {}, ::GetTickCount()};
        bool fromSource = message >= SHBDSM_GIVEFEEDBACK;
        if (fromSource)
            s.source = *reinterpret_cast<SHBDROPSOURCEACTION*>(lParam);
        else
            s.target = *reinterpret_cast<SHBDROPTARGETACTION*>(lParam);
        if (message == SHBDTM_DROP && s.target.pDataObject != nullptr) {
            HGLOBAL h = s.target.pDataObject->GetGlobalData(CF_TEXT);
            if (h != nullptr) {
                dropped = static_cast<const char*>(::GlobalLock(h));
                ::GlobalUnlock(h);
                ::GlobalFree(h);
            }
        }
        seen.push_back(s);
        for (const Answer& a : answers)
            if (a.message == message) {
                if (fromSource)
                    reinterpret_cast<SHBDROPSOURCEACTION*>(lParam)->result = static_cast<SCODE>(a.result);
                else
                    reinterpret_cast<SHBDROPTARGETACTION*>(lParam)->result = a.result;
                return TRUE;
            }
        return FALSE;
    }

    void StartDrag()
    {
        COleDataSource data;
        HGLOBAL h = ::GlobalAlloc(GMEM_MOVEABLE, sizeof(kPayload));
        memcpy(::GlobalLock(h), kPayload, sizeof(kPayload));
        ::GlobalUnlock(h);
        data.CacheGlobalData(CF_TEXT, h);
        dropSource.m_pOwner = this;
        SetCapture();
        dragResult = data.DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE, nullptr, &dropSource);
    }
};

// Keeps what the scroll step answered, which OLE does not pass on unchanged.
class ScrollRecordingTarget : public COXSHBDropTarget {
public:
    std::vector<DROPEFFECT> answers;
    DROPEFFECT OnDragScroll(CWnd* pWnd, DWORD dwKeyState, CPoint point) override
    {
        DROPEFFECT e = COXSHBDropTarget::OnDragScroll(pWnd, dwKeyState, point);
        answers.push_back(e);
        return e;
    }
};

POINT ClientCenter(CWnd& wnd)
{
    CRect rc;
    wnd.GetClientRect(&rc);
    return rc.CenterPoint();
}

// Presses on the source, glides to each waypoint (resting restMs there), releases.
void Drag(RecordingWnd& source, std::vector<POINT> waypoints, DWORD restMs = 250,
          UINT heldKey = 0)
{
    POINT start = ToScreen(source, ClientCenter(source));
    RunInputScript([&] {
        PressToDrag(start, heldKey);
        for (POINT p : waypoints) {
            InputMouseGlide(p);
            ::Sleep(restMs);
        }
        ReleaseDrag(heldKey, 150);
    });
}

class ShbDragDrop : public ShbDragTest {
protected:
    void SetUp() override
    {
        source.isSource = true;
        ASSERT_TRUE(target.m_hWnd != nullptr);
        ASSERT_TRUE(dropTarget.Register(&target));
        ActivateTopWindow();
        PumpPending();
    }

    RecordingWnd source{20, 20, 200, 150};
    RecordingWnd target{400, 20, 240, 180};
    COXSHBDropTarget dropTarget;
};

TEST_F(ShbDragDrop, DataReachesATargetThatAnswersAndEveryEventArrivesInOrder)
{
    target.answers = {{SHBDTM_DRAGENTER, DROPEFFECT_COPY},
                      {SHBDTM_DRAGOVER, DROPEFFECT_COPY},
                      {SHBDTM_DROP, TRUE}};
    POINT dropAt = ClientCenter(target);
    Drag(source, {ToScreen(target, dropAt)});

    EXPECT_EQ(source.dragResult, static_cast<DROPEFFECT>(DROPEFFECT_COPY));
    EXPECT_EQ(target.dropped, kPayload);

    // Target: the scroll question comes before the enter, then moves; the drop asks the effect
    // once more, offers the drop with the user's choice first, then drops.
    std::vector<UINT> got = target.Messages(SHBDTM_DRAGENTER, SHBDTM_DROPEX);
    ASSERT_GE(got.size(), 6u);
    EXPECT_EQ(got[0], SHBDTM_DRAGSCROLL);
    EXPECT_EQ(got[1], SHBDTM_DRAGENTER);
    EXPECT_EQ(std::vector<UINT>(got.end() - 3, got.end()),
              (std::vector<UINT>{SHBDTM_DRAGOVER, SHBDTM_DROPEX, SHBDTM_DROP}));
    for (size_t i = 2; i + 3 < got.size(); ++i)
        EXPECT_TRUE(got[i] == SHBDTM_DRAGSCROLL || got[i] == SHBDTM_DRAGOVER) << i;
    EXPECT_EQ(target.Last(SHBDTM_DRAGLEAVE), nullptr);

    const SHBDROPTARGETACTION& enter = target.Last(SHBDTM_DRAGENTER)->target;
    EXPECT_EQ(enter.pWnd, &target);
    EXPECT_NE(enter.pDataObject, nullptr);
    EXPECT_TRUE(enter.dwKeyState & MK_LBUTTON);
    // The drag enters over the window's border, so just outside its client area at worst.
    CRect client;
    target.GetClientRect(&client);
    client.InflateRect(2, 2);
    EXPECT_TRUE(client.PtInRect(enter.point));

    const SHBDROPTARGETACTION& scroll = target.seen.front().target;
    EXPECT_EQ(scroll.pDataObject, nullptr);
    EXPECT_TRUE(scroll.dwKeyState & MK_LBUTTON);

    const SHBDROPTARGETACTION& dropEx = target.Last(SHBDTM_DROPEX)->target;
    EXPECT_EQ(dropEx.dropEffect, static_cast<DROPEFFECT>(DROPEFFECT_COPY));
    EXPECT_EQ(dropEx.dropList, static_cast<DROPEFFECT>(DROPEFFECT_COPY | DROPEFFECT_MOVE));
    EXPECT_EQ(dropEx.dwKeyState, 0u);

    const SHBDROPTARGETACTION& drop = target.Last(SHBDTM_DROP)->target;
    EXPECT_EQ(drop.pWnd, &target);
    EXPECT_EQ(drop.dwKeyState, 0u);
    EXPECT_EQ(drop.dropEffect, static_cast<DROPEFFECT>(DROPEFFECT_COPY));
    EXPECT_EQ(drop.dropList, 0u);
    EXPECT_EQ(drop.point.x, dropAt.x);
    EXPECT_EQ(drop.point.y, dropAt.y);

    // Source: begin first (with its window), then queries with the keys and feedback with the
    // effects the target chose.
    std::vector<UINT> src = source.Messages(SHBDSM_GIVEFEEDBACK, SHBDSM_QUERYCONTINUEDRAG);
    ASSERT_FALSE(src.empty());
    EXPECT_EQ(src[0], SHBDSM_BEGINDRAG);
    EXPECT_EQ(source.seen.front().source.pWnd, &source);
    EXPECT_EQ(source.seen.front().source.dwKeyState, 0u);
    const Seen* query = source.Last(SHBDSM_QUERYCONTINUEDRAG);
    ASSERT_NE(query, nullptr);
    EXPECT_EQ(query->source.bEscapePressed, FALSE);
    EXPECT_EQ(query->source.pWnd, nullptr);
    bool copyShown = false;
    for (const Seen& s : source.seen)
        if (s.message == SHBDSM_GIVEFEEDBACK)
            copyShown |= s.source.dropEffect == DROPEFFECT_COPY;
    EXPECT_TRUE(copyShown);
}

TEST_F(ShbDragDrop, ATargetThatAnswersNothingGetsNoDrop)
{
    Drag(source, {ToScreen(target, ClientCenter(target))});

    EXPECT_EQ(source.dragResult, static_cast<DROPEFFECT>(DROPEFFECT_NONE));
    EXPECT_EQ(target.Last(SHBDTM_DROP), nullptr);
    EXPECT_TRUE(target.scrolls.empty());
    ASSERT_FALSE(target.seen.empty());
    EXPECT_NE(target.Last(SHBDTM_DRAGENTER), nullptr);
    // The drag ends in a leave, with a record that carries only the window.
    const Seen& last = target.seen.back();
    EXPECT_EQ(last.message, SHBDTM_DRAGLEAVE);
    EXPECT_EQ(last.target.pWnd, &target);
    EXPECT_EQ(last.target.pDataObject, nullptr);
    EXPECT_EQ(last.target.point.x, 0);
    bool anyEffect = false;
    for (const Seen& s : source.seen)
        anyEffect |= s.message == SHBDSM_GIVEFEEDBACK && s.source.dropEffect != 0;
    EXPECT_FALSE(anyEffect);
}

TEST_F(ShbDragDrop, TheSourceOwnerDecidesWhetherTheDragBeginsAndGoesOn)
{
    struct Case {
        const char* name;
        UINT message;
        DWORD answer;
        bool queried;
    };
    const Case cases[] = {
        {"begin refused", SHBDSM_BEGINDRAG, FALSE, false},
        {"query cancels", SHBDSM_QUERYCONTINUEDRAG, static_cast<DWORD>(DRAGDROP_S_CANCEL), true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        source.seen.clear();
        target.seen.clear();
        source.answers = {{c.message, c.answer}};
        target.answers = {{SHBDTM_DRAGENTER, DROPEFFECT_COPY},
                          {SHBDTM_DRAGOVER, DROPEFFECT_COPY},
                          {SHBDTM_DROP, TRUE}};
        Drag(source, {ToScreen(target, ClientCenter(target))}, 100);
        EXPECT_EQ(source.dragResult, static_cast<DROPEFFECT>(DROPEFFECT_NONE));
        EXPECT_EQ(source.Last(SHBDSM_QUERYCONTINUEDRAG) != nullptr, c.queried);
        EXPECT_EQ(target.Last(SHBDTM_DROP), nullptr);
        EXPECT_TRUE(target.dropped.empty());
    }
}

TEST_F(ShbDragDrop, Resting_in_the_inset_scrolls_the_directions_the_window_can_scroll)
{
    struct Case {
        const char* name;
        DWORD style;
        int bar;
        bool answersScroll; // the window asks for the default scrolling
        UINT heldKey;
        UINT expectScroll;  // message << 16 | code, 0 for none
        DROPEFFECT keyEffect;
    };
    const Case cases[] = {
        {"vertical, bottom inset", WS_VSCROLL, SB_VERT, true, 0,
         WM_VSCROLL << 16 | SB_LINEDOWN, DROPEFFECT_NONE},
        {"horizontal only, left inset", WS_HSCROLL, SB_HORZ, true, 0,
         WM_HSCROLL << 16 | SB_LINEUP, DROPEFFECT_NONE},
        {"vertical, not answered", WS_VSCROLL, SB_VERT, false, 0, 0, DROPEFFECT_NONE},
    };
    const UINT inset = AfxGetDragScrollSettings().nScrollInset;
    const UINT delay = AfxGetDragScrollSettings().nScrollDelay;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RecordingWnd scroller(400, 260, 240, 160, c.style);
        SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE, 0, 100, 10, 0, 0};
        ::SetScrollInfo(scroller.m_hWnd, c.bar, &si, TRUE);
        ScrollRecordingTarget scrollTarget;
        ASSERT_TRUE(scrollTarget.Register(&scroller));
        scroller.answers = {{SHBDTM_DRAGENTER, DROPEFFECT_MOVE},
                            {SHBDTM_DRAGOVER, DROPEFFECT_MOVE}};
        if (c.answersScroll)
            scroller.answers.push_back({SHBDTM_DRAGSCROLL, DROPEFFECT_SCROLL});
        source.seen.clear();

        CRect rc;
        scroller.GetClientRect(&rc);
        POINT zone = c.bar == SB_VERT ? POINT{rc.Width() / 2, rc.bottom - LONG(inset) / 2}
                                      : POINT{LONG(inset) / 2, rc.Height() / 2};
        Drag(source, {ToScreen(scroller, rc.CenterPoint()), ToScreen(scroller, zone),
                      ToScreen(scroller, rc.CenterPoint())},
             700, c.heldKey);

        if (c.expectScroll == 0) {
            EXPECT_TRUE(scroller.scrolls.empty());
            EXPECT_EQ(scroller.Last(SHBDTM_DRAGLEAVE), nullptr);
            EXPECT_NE(scroller.Last(SHBDTM_DRAGOVER), nullptr);
            continue;
        }
        ASSERT_GE(scroller.scrolls.size(), 2u);
        for (auto& s : scroller.scrolls)
            EXPECT_EQ(s.first, c.expectScroll);
        // The first scroll waits for the delay after the point entered the zone; scrolling
        // leaves the drag (leave sent) and coming out of the zone enters it again.
        DWORD entered = 0;
        bool leftOnScroll = false, enteredAgain = false;
        for (const Seen& s : scroller.seen) {
            bool inZone = s.target.point.x == zone.x && s.target.point.y == zone.y;
            if (s.message == SHBDTM_DRAGSCROLL && inZone && entered == 0)
                entered = s.tick;
            if (s.message == SHBDTM_DRAGLEAVE && entered != 0)
                leftOnScroll = true;
            if (s.message == SHBDTM_DRAGENTER && leftOnScroll)
                enteredAgain = true;
        }
        ASSERT_NE(entered, 0u);
        EXPECT_GE(scroller.scrolls.front().second - entered, delay);
        EXPECT_TRUE(leftOnScroll);
        EXPECT_TRUE(enteredAgain);
        // While scrolling the answer is the scroll effect with the one the keys ask for.
        ASSERT_FALSE(scrollTarget.answers.empty());
        EXPECT_NE(std::find(scrollTarget.answers.begin(), scrollTarget.answers.end(),
                            DROPEFFECT_SCROLL | c.keyEffect),
                  scrollTarget.answers.end());
        for (DROPEFFECT e : scrollTarget.answers)
            EXPECT_TRUE(e == DROPEFFECT_NONE || e == (DROPEFFECT_SCROLL | c.keyEffect)) << e;
    }
}

// The keys' part of a scrolling answer. OLE's drag loop reads the keys from the keyboard
// state at each message, and under Wine's X11 driver a modifier pressed with SendInput leaves
// that state at the next pointer move (the driver takes the modifiers from the X server's
// keyboard, which such input never reaches), so the keys are given directly here; the point
// lies in the bottom inset of a scrollable window.
TEST_F(ShbDragDrop, WhileScrollingTheKeysChooseTheEffect)
{
    RecordingWnd scroller(400, 260, 240, 160, WS_VSCROLL);
    SCROLLINFO si{sizeof(si), SIF_RANGE | SIF_PAGE, 0, 100, 10, 0, 0};
    ::SetScrollInfo(scroller.m_hWnd, SB_VERT, &si, TRUE);
    scroller.answers = {{SHBDTM_DRAGSCROLL, DROPEFFECT_SCROLL}};
    CRect rc;
    scroller.GetClientRect(&rc);
    const CPoint zone(rc.Width() / 2, rc.bottom - 2);
    struct Case {
        DWORD keys;
        DROPEFFECT effect;
    };
    const Case cases[] = {
        {MK_LBUTTON, DROPEFFECT_NONE},
        {MK_LBUTTON | MK_CONTROL, DROPEFFECT_COPY},
        {MK_LBUTTON | MK_CONTROL | MK_SHIFT, DROPEFFECT_LINK},
        {MK_LBUTTON | MK_SHIFT, DROPEFFECT_MOVE},
        {MK_LBUTTON | MK_ALT, DROPEFFECT_MOVE},
    };
    COXSHBDropTarget t;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.keys);
        EXPECT_EQ(t.OnDragScroll(&scroller, c.keys, zone), DROPEFFECT_SCROLL | c.effect);
    }
    // The first answer started the scroll state: the window was told the drag left it.
    EXPECT_NE(scroller.Last(SHBDTM_DRAGLEAVE), nullptr);
    EXPECT_EQ(t.m_nTimerID, static_cast<UINT>(MAKEWORD(SB_LINEDOWN, 0xFF)));
    // Out of the zone again: the window sees the drag enter, the state ends, no effect.
    EXPECT_EQ(t.OnDragScroll(&scroller, MK_LBUTTON, rc.CenterPoint()), DROPEFFECT_NONE);
    EXPECT_EQ(scroller.seen.back().message, SHBDTM_DRAGENTER);
    EXPECT_EQ(t.m_nTimerID, 0xFFFFu);
}

TEST_F(ShbDragDrop, ADestroyedWindowTakesItsRegistrationAlong)
{
    auto* wnd = new RecordingWnd(10, 400, 100, 80);
    COXSHBDropTarget t;
    ASSERT_TRUE(t.Register(wnd));
    delete wnd;
    EXPECT_EQ(t.GetSafeHwnd(), nullptr);
    // The object registers again on a new window.
    RecordingWnd again(10, 400, 100, 80);
    EXPECT_TRUE(t.Register(&again));
}

} // namespace
