// The frame of a window test: made with a pane as a visible top-level window or a cheap child
// of the tests' window, and a fixture that makes one before each test and destroys it after.
#pragma once

#include <gtest/gtest.h>

#include "tests/framework_ui/ui_test_support.h"

// Creates frame with a client-edged pane (AFX_IDW_PANE_FIRST): a visible top-level frame at
// rect (screen), or (bChild) a hidden child of the tests' window of rect's size, which is
// much cheaper to make and destroy under Wine.
inline BOOL CreateTestFrame(CFrameWnd& frame, CWnd& pane, LPCTSTR title, const CRect& rect,
                            bool bChild)
{
    if (!(bChild ? frame.Create(nullptr, title, WS_CHILD | WS_CLIPCHILDREN,
                                CRect(CPoint(0, 0), rect.Size()),
                                CWnd::FromHandle(SharedTopWindow()))
                 : frame.Create(nullptr, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN,
                                rect)))
        return FALSE;
    pane.CreateEx(WS_EX_CLIENTEDGE, nullptr, "pane", WS_CHILD | WS_VISIBLE, CRect(), &frame,
                  AFX_IDW_PANE_FIRST);
    return TRUE;
}

// The thread's idle pass: every visible frame and bar gets WM_IDLEUPDATECMDUI.
inline void IdleUpdate(CWnd* = nullptr)
{
    AfxGetThread()->OnIdle(0);
}

// A fixture whose Frame (made by its Make()) exists during each test; as the thread's main
// window when bMainWnd (the window the docking code works with).
template <class Frame, bool bMainWnd = false>
class FrameTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        f = new Frame;
        ASSERT_TRUE(f->Make());
        if (bMainWnd)
            AfxGetThread()->m_pMainWnd = f;
        PumpPending();
    }
    void TearDown() override
    {
        if (bMainWnd)
            AfxGetThread()->m_pMainWnd = nullptr; // losing it would end the message loop
        if (::IsWindow(f->m_hWnd))
            f->DestroyWindow();
        PumpPending();
    }
    Frame* f = nullptr;
};
