// Shared by the cool toolbar tests: a frame with its bar made from the test resources, and the
// fixture base over the test program's one frame.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include "tests/framework_ui/ui_test_support.h"
#include "tests/toolkit/bars_test_res.h"
#include "toolkit/controls/cooltoolbar/cool_toolbar.h"
#include "toolkit/frames/skins/skinned_app.h"

// As the application's main frame starts its bar: a gripper, the test toolbar's buttons and
// its 16-pixel images. The caller styles and docks it.
inline BOOL CreateTestToolBar(COXCoolToolBar& toolBar, CFrameWnd* pFrame)
{
    if (!toolBar.Create(pFrame, WS_CHILD | WS_VISIBLE | CBRS_GRIPPER | CBRS_TOP) ||
        !toolBar.LoadToolBar(IDR_TEST_TOOLBAR))
        return FALSE;
    toolBar.SetImageSize(16, 16);
    toolBar.SetDefaultImageList(toolBar.LoadImageListById(IDB_TEST_IMAGES, 16, RGB(255, 0, 255)));
    return TRUE;
}

class ToolBarFrame : public CFrameWnd {
public:
    COXCoolToolBar toolBar;

    BOOL CreateToolBar() { return CreateTestToolBar(toolBar, this); }

    // The idle step of the program's message loop: the bars update their command states.
    void IdleUpdate()
    {
        SendMessageToDescendants(WM_IDLEUPDATECMDUI, TRUE, 0, TRUE, TRUE);
        PumpPending();
    }
};

// Each test starts in the Classic skin on the program's one frame; SetUp calls UseFrame first.
template <class TFrame>
class ToolBarTest : public ::testing::Test {
protected:
    void UseFrame(TFrame* pFrame)
    {
        ASSERT_TRUE(static_cast<COXSkinnedApp*>(AfxGetApp())->SetCurrentSkin("Classic"));
        frame = pFrame;
        ASSERT_NE(frame->toolBar.m_hWnd, nullptr);
    }
    CRect ItemRect(int nIndex)
    {
        CRect rect;
        frame->toolBar.GetItemRect(nIndex, &rect);
        return rect;
    }
    TFrame* frame = nullptr;
};
