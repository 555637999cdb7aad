// Shared by the shortcut-bar drag tests: OLE for the suite, and the press and release that
// open and close a drag made with the real pointer.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>

#include "framework/ole.h"
#include "tests/framework_ui/ui_test_support.h"

// A client point of a window on the screen.
inline POINT ToScreen(const CWnd& wnd, POINT client)
{
    ::ClientToScreen(wnd.m_hWnd, &client);
    return client;
}

// From the input thread: presses the left button at start, then holds heldKey (if not 0).
inline void PressToDrag(POINT start, UINT heldKey)
{
    InputMouseMove(start);
    ::Sleep(100);
    InputMouseButton(true);
    ::Sleep(100);
    if (heldKey != 0)
        InputKey(heldKey, true);
}

// From the input thread: releases the button, waits settleMs for the drop, lets heldKey go.
inline void ReleaseDrag(UINT heldKey, DWORD settleMs)
{
    InputMouseButton(false);
    ::Sleep(settleMs);
    if (heldKey != 0)
        InputKey(heldKey, false);
    ::Sleep(150);
}

// The fixture base: OLE once for the suite; keys typed during a drag go to the active
// window's thread, so ActivateTopWindow makes it ours.
class ShbDragTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { ASSERT_TRUE(AfxOleInit()); }
    static void TearDownTestSuite() { AfxOleTerm(); }

    static void ActivateTopWindow()
    {
        ::SetForegroundWindow(SharedTopWindow());
        ::SetActiveWindow(SharedTopWindow());
    }
};
