// The up-down control painted by the tab element skin, with a hot state under the cursor.
// Classes here: COXSkinnedSpinCtrl.
#pragma once

#include <memory>

#include "framework/ui.h"
#include "toolkit/frames/skins/tab_skin.h"

class COXSkinnedSpinCtrl : public CSpinButtonCtrl
{
    DECLARE_DYNCREATE(COXSkinnedSpinCtrl)
public:
    COXSkinnedSpinCtrl();
    ~COXSkinnedSpinCtrl() override;

    // The current skin's tab skin, else this control's own Classic one.
    COXTabSkin* GetTabSkin();

    void PreSubclassWindow() override;
    // Whether the shared mouse hook is installed (it is while any such control is subclassed).
    static BOOL IsHookInstalled();

protected:
    void OnPaint();
    void OnMouseMove(UINT nFlags, CPoint point);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnDestroy();
    void ReleaseHook();
    static LRESULT CALLBACK MouseHookProc(int nCode, WPARAM wParam, LPARAM lParam);

    std::unique_ptr<COXTabSkin> m_pTabSkin;
    BOOL m_bHooked = FALSE;

    DECLARE_MESSAGE_MAP()
};
