// GDI wrappers: ownership of handles and no leaks across repeated create/paint/destroy.
#include <gtest/gtest.h>

#include "framework/ui.h"
#include "tests/framework_ui/ui_test_support.h"

namespace {

TEST(GdiObjects, OwnersDeleteMovesTransferDetachReleases)
{
    HPEN detached = nullptr;
    {
        CPen pen(PS_SOLID, 1, RGB(1, 2, 3));
        ASSERT_NE(pen.GetSafeHandle(), nullptr);
        CPen moved(std::move(pen));
        EXPECT_EQ(pen.GetSafeHandle(), nullptr);
        EXPECT_EQ(::GetObjectType(moved), static_cast<DWORD>(OBJ_PEN));
        CPen other;
        detached = static_cast<HPEN>(moved.Detach());
        EXPECT_TRUE(other.Attach(detached));
        EXPECT_FALSE(other.Attach(detached)); // holds one already
        other.Detach();
    }
    // Detached before its owner died: still alive, ours to delete.
    EXPECT_EQ(::GetObjectType(detached), static_cast<DWORD>(OBJ_PEN));
    CBrush brush(RGB(4, 5, 6));
    HGDIOBJ h = brush.GetSafeHandle();
    brush.DeleteObject();
    EXPECT_EQ(::GetObjectType(h), 0u);
    ::DeleteObject(detached);
}

// Paints off-screen with every wrapper kind, as the property grid does.
class PaintingWnd : public CWnd {
protected:
    void OnPaint()
    {
        CPaintDC dc(this);
        CRect rc;
        GetClientRect(&rc);
        CDC mem;
        mem.CreateCompatibleDC(&dc);
        CBitmap bmp;
        bmp.CreateCompatibleBitmap(&dc, rc.Width(), rc.Height());
        CBitmap* oldBmp = mem.SelectObject(&bmp);
        CPen pen(PS_SOLID, 1, RGB(0, 0, 255));
        CBrush brush(RGB(255, 255, 0));
        CFont font;
        font.CreatePointFont(90, "Tahoma");
        CPen* oldPen = mem.SelectObject(&pen);
        CBrush* oldBrush = mem.SelectObject(&brush);
        CFont* oldFont = mem.SelectObject(&font);
        mem.Rectangle(rc);
        mem.TextOut(2, 2, CString("paint"));
        mem.FillSolidRect(0, 0, 5, 5, RGB(1, 1, 1));
        dc.BitBlt(0, 0, rc.Width(), rc.Height(), &mem, 0, 0, SRCCOPY);
        mem.SelectObject(oldFont);
        mem.SelectObject(oldBrush);
        mem.SelectObject(oldPen);
        mem.SelectObject(oldBmp);
    }
    DECLARE_MESSAGE_MAP()
};

BEGIN_MESSAGE_MAP(PaintingWnd, CWnd)
ON_WM_PAINT()
END_MESSAGE_MAP()

TEST(GdiObjects, HundredCreatePaintDestroyCyclesLeakNothing)
{
    auto cycle = [] {
        PaintingWnd wnd;
        ASSERT_TRUE(wnd.CreateEx(0, nullptr, "p", WS_CHILD | WS_VISIBLE, 0, 0, 120, 60,
                                 SharedTopWindow(), nullptr));
        wnd.RedrawWindow();
        wnd.DestroyWindow();
        AfxGetApp()->OnIdle(0);
    };
    {
        // The counter sees what is made.
        DWORD base = GdiObjectCount();
        CPen pens[10];
        for (CPen& pen : pens)
            pen.CreatePen(PS_SOLID, 1, RGB(9, 9, 9));
        ASSERT_EQ(GdiObjectCount(), base + 10);
    }
    cycle(); // first use creates the caches the system keeps
    DWORD before = GdiObjectCount();
    for (int i = 0; i < 100; ++i)
        cycle();
    EXPECT_LE(GdiObjectCount(), before + 2);
}

} // namespace
