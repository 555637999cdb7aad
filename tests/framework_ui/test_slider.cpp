// The trackbar wrapper with real input: its range clamps positions, and keys, a click in the
// channel and a drag of the thumb reach the parent as WM_HSCROLL with the wrapper itself as
// the scroll-bar argument, the position already moved.
#include <gtest/gtest.h>

#include <vector>

#include "framework/sliderctrl.h"
#include "framework/ui.h"
#include "tests/framework_ui/ui_test_support.h"

namespace {

constexpr UINT kSliderId = 9;

class SliderParent : public TestHostWnd {
public:
    struct Move {
        UINT code;
        int pos; // the slider's position when the parent heard of it
        CWnd* bar;
    };
    CSliderCtrl slider;
    std::vector<Move> moves;

protected:
    void OnHScroll(UINT nSBCode, UINT, CScrollBar* pScrollBar)
    {
        moves.push_back({nSBCode, slider.GetPos(), pScrollBar});
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(SliderParent, TestHostWnd)
ON_WM_HSCROLL()
END_MESSAGE_MAP()

TEST(SliderCtrl, RangeClampsAndRealInputReachesTheParentWithTheWrapper)
{
    SliderParent parent;
    CSliderCtrl& slider = parent.slider;
    ASSERT_TRUE(slider.Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP | TBS_HORZ | TBS_BOTH | TBS_NOTICKS,
                              CRect(10, 10, 250, 40), &parent, kSliderId));
    slider.SetRange(0, 1000);
    int nMin = -1, nMax = -1;
    slider.GetRange(nMin, nMax);
    EXPECT_EQ(nMin, 0);
    EXPECT_EQ(nMax, 1000);
    struct Clamp {
        int set, got;
    };
    for (const Clamp& c : {Clamp{700, 700}, Clamp{1500, 1000}, Clamp{-3, 0}}) {
        SCOPED_TRACE(c.set);
        slider.SetPos(c.set);
        EXPECT_EQ(slider.GetPos(), c.got);
    }
    slider.SetLineSize(10);
    EXPECT_EQ(slider.SetPageSize(100), 200); // the control's default: a fifth of the range
    EXPECT_EQ(slider.GetLineSize(), 10);
    EXPECT_TRUE(parent.moves.empty()) << "a position set by the program is not reported";

    slider.SetPos(500);
    ::SetForegroundWindow(SharedTopWindow());
    slider.SetFocus();
    PumpPending();
    struct KeyCase {
        UINT vk;
        UINT code;
        int pos;
    };
    const KeyCase keys[] = {
        {VK_RIGHT, TB_LINEDOWN, 510}, {VK_NEXT, TB_PAGEDOWN, 610}, {VK_LEFT, TB_LINEUP, 600},
        {VK_PRIOR, TB_PAGEUP, 500},   {VK_END, TB_BOTTOM, 1000},   {VK_HOME, TB_TOP, 0},
    };
    for (const KeyCase& k : keys) {
        SCOPED_TRACE(k.vk);
        parent.moves.clear();
        KeyPress(k.vk);
        ASSERT_TRUE(PumpUntil([&] { return !parent.moves.empty(); }));
        EXPECT_EQ(parent.moves.front().code, k.code);
        EXPECT_EQ(parent.moves.front().pos, k.pos);
        EXPECT_EQ(parent.moves.front().bar, &slider);
        EXPECT_EQ(parent.moves.back().code, static_cast<UINT>(TB_ENDTRACK));
    }

    // A click in the channel right of the thumb moves one page toward it.
    CRect rcThumb, rcChannel;
    slider.GetThumbRect(&rcThumb);
    slider.GetChannelRect(&rcChannel);
    parent.moves.clear();
    MouseClickAt(slider.m_hWnd, rcChannel.right - 4, rcThumb.CenterPoint().y);
    ASSERT_TRUE(PumpUntil([&] { return !parent.moves.empty(); }));
    PumpFor(100);
    EXPECT_EQ(slider.GetPos(), 100);
    EXPECT_EQ(parent.moves.front().code, static_cast<UINT>(TB_PAGEDOWN));

    // The thumb dragged past the right end of the channel: the last position is the maximum.
    slider.GetThumbRect(&rcThumb);
    POINT from = rcThumb.CenterPoint(), to{rcChannel.right + 30, from.y};
    ::ClientToScreen(slider.m_hWnd, &from);
    ::ClientToScreen(slider.m_hWnd, &to);
    parent.moves.clear();
    MouseDrag(from, to);
    PumpFor(100);
    EXPECT_EQ(slider.GetPos(), 1000);
    bool tracked = false;
    for (const auto& m : parent.moves)
        tracked = tracked || (m.code == TB_THUMBTRACK && m.bar == &slider);
    EXPECT_TRUE(tracked);
    ASSERT_FALSE(parent.moves.empty());
    EXPECT_EQ(parent.moves.back().code, static_cast<UINT>(TB_ENDTRACK));
    EXPECT_EQ(parent.moves.back().pos, 1000);
}

} // namespace
