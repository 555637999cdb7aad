// COXSkinnedTabCtrl: every paint goes to the tab element skin.
#include "toolkit/frames/skins/skinned_tab.h"

#include "toolkit/frames/skins/skinned_app.h"

IMPLEMENT_DYNAMIC(COXSkinnedTabCtrl, CTabCtrl)

BEGIN_MESSAGE_MAP(COXSkinnedTabCtrl, CTabCtrl)
    ON_WM_PAINT()
END_MESSAGE_MAP()

COXSkinnedTabCtrl::COXSkinnedTabCtrl() = default;
COXSkinnedTabCtrl::~COXSkinnedTabCtrl() = default;

COXTabSkin* COXSkinnedTabCtrl::GetTabSkin()
{
    return OXLookupElementSkin<COXTabSkin, COXTabSkinClassic>(&COXSkin::m_pTabSkin, m_pTabSkin);
}

void COXSkinnedTabCtrl::OnPaint()
{
    GetTabSkin()->OnPaintTabCtrl(this);
}
