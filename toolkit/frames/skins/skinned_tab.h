// The toolkit's tab control: a tab control painted by the tab element skin.
// Classes here: COXSkinnedTabCtrl.
#pragma once

#include <memory>

#include "framework/ui.h"
#include "toolkit/frames/skins/skinned_spin.h"
#include "toolkit/frames/skins/tab_skin.h"

class COXSkinnedTabCtrl : public CTabCtrl
{
    DECLARE_DYNAMIC(COXSkinnedTabCtrl)
public:
    COXSkinnedTabCtrl();
    ~COXSkinnedTabCtrl() override;

    // The current skin's tab skin, else this control's own Classic one.
    COXTabSkin* GetTabSkin();
    // The control's scroll arrows once a flat skin has attached them (else unattached).
    COXSkinnedSpinCtrl& GetSpin() { return m_spin; }

protected:
    void OnPaint();

    std::unique_ptr<COXTabSkin> m_pTabSkin;
    COXSkinnedSpinCtrl m_spin;

    DECLARE_MESSAGE_MAP()
};
