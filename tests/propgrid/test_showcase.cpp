// Both pages of a grid with every kind side by side in one top-level window, painted through
// the whole path. With SONORIA_SHOWCASE_MS set, the window stays up that long for
// scripts/screenshot.
#include <gtest/gtest.h>

#include <cstdlib>

#include "tests/propgrid/grid_fixture.h"

namespace {

TEST(Showcase, BothPagesOfEveryKindPaint)
{
    AllKindsHost host;
    CWnd* frame = CWnd::FromHandle(SharedTopWindow());
    frame->SetWindowText("Property grid: every kind");
    EPropCtrl general, extra;
    ASSERT_TRUE(general.Create(frame, 1, CRect(10, 10, 430, 620)));
    ASSERT_TRUE(extra.Create(frame, 2, CRect(440, 10, 860, 620)));
    for (EPropCtrl* grid : {&general, &extra}) {
        grid->SetAutoNameColumn(true);
        grid->ShowComment(true);
        grid->SetCommentHeight(45);
        grid->SetPropertyHost(&host);
    }
    extra.GetTabCtrl().SetCurSel(1);
    extra.GetListWnd().SelectPage(1);
    // An active row on each side: the colour with its edit box and button, the text block.
    // The colour row last: it takes the focus, which closes the other grid's edit box.
    EPropListWnd& list = general.GetListWnd();
    extra.GetListWnd().Select(extra.GetListWnd().GetVisibleRows()[0], false, false);
    list.Select(list.GetVisibleRows()[9], false, false);
    frame->RedrawWindow(nullptr, nullptr,
                        RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    PumpPending();

    // The check row's image is drawn upright at its place: its top border row is dark blue.
    EProperty* check = list.GetVisibleRows()[4];
    int y = check->GetValueRect().top + list.GetBorder() + 3;
    int x = list.GetNameColumnWidth() + 6 + list.GetBorder() + 4 + 6;
    CClientDC dc(&list);
    EXPECT_EQ(::GetPixel(dc, x, y), RGB(28, 81, 128));

    if (const char* hold = std::getenv("SONORIA_SHOWCASE_MS")) {
        DWORD until = ::GetTickCount() + static_cast<DWORD>(std::atoi(hold));
        while (static_cast<int>(until - ::GetTickCount()) > 0) {
            PumpPending();
            ::Sleep(20);
        }
    }
}

} // namespace
