// CFrameWnd: a top-level frame window. Like every frame it deletes its own object after its
// window is gone (PostNcDestroy), so frames are created with new and closed, never deleted.
#pragma once

#include "framework/wnd.h"

class CFrameWnd : public CWnd {
    DECLARE_DYNCREATE(CFrameWnd)
public:
    static const RECT rectDefault;

    CFrameWnd() = default;
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                DWORD dwStyle = WS_OVERLAPPEDWINDOW, const RECT& rect = rectDefault,
                CWnd* pParentWnd = nullptr, LPCTSTR lpszMenuName = nullptr, DWORD dwExStyle = 0,
                CCreateContext* pContext = nullptr);

    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void PostNcDestroy() override { delete this; }
    // Own map first, then the application object.
    BOOL OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo) override;
    virtual void RecalcLayout(BOOL bNotify = TRUE) {}
};
