// The application object that chooses the skin, and the element-skin lookup every skinned
// control makes.
// Classes here: COXSkinnedApp. Functions here: OXGetCurrentSkin, OXLookupElementSkin.
#pragma once

#include <memory>

#include "framework/ui.h"
#include "toolkit/frames/skins/skin.h"

// Owns one skin of each kind (Classic, Office XP, Office 2003) and starts with Office XP.
class COXSkinnedApp : public CWinApp
{
    DECLARE_DYNCREATE(COXSkinnedApp)
public:
    COXSkinnedApp();
    ~COXSkinnedApp() override;

    // Takes ownership; replaces (without deleting) a skin of the same name.
    void AddSkin(COXSkin* pSkin);
    // Makes the skin of that exact name current and refreshes the main window, its
    // descendants and its floating mini frames. FALSE, and no current skin, for an unknown name.
    BOOL SetCurrentSkin(LPCTSTR lpszName);
    COXSkin* GetCurrentSkin() const { return m_pCurrentSkin; }

protected:
    // Resizes, re-frames and repaints a window and, depth first, all its children.
    static void RefreshWindow(HWND hWnd);

    int m_nSkinType = 0;
    CMapStringToPtr m_mapSkins{10};
    COXSkin* m_pCurrentSkin = nullptr;
};

// The current skin when the application object is a COXSkinnedApp that has one, else null.
COXSkin* OXGetCurrentSkin();

// The element skin a control paints with: the current skin's (read at every paint, so a
// switch shows at the next one), else the control's own Classic variant, made on first need.
template <class ELEMENT, class CLASSIC>
ELEMENT* OXLookupElementSkin(std::unique_ptr<ELEMENT> COXSkin::*pElement,
                             std::unique_ptr<ELEMENT>& own)
{
    if (COXSkin* pSkin = OXGetCurrentSkin())
        if (ELEMENT* pCurrent = (pSkin->*pElement).get())
            return pCurrent;
    if (!own)
        own = std::make_unique<CLASSIC>();
    return own.get();
}
