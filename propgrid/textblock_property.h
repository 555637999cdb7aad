// The multi-line text row and its popup editor window.
// Classes here: EPropertyTextblock, EPropertyTextblockWindow.
#pragma once

#include "propgrid/prop_wnd.h"
#include "propgrid/property.h"

class EPropertyTextblock;

// The popup: a multi-line edit with OK and Cancel. It deletes itself when its window goes
// (as every frame does) and tells its row first, so the row's pointer never dangles.
class EPropertyTextblockWindow : public CFrameWnd {
public:
    EPropertyTextblockWindow(EPropertyTextblock* pOwner, EPropWnd* pListWnd);
    // Shows text with CR removed and every LF as CR LF.
    void SetText(const CString& text);
    // The edit box's text with every CR removed.
    CString GetText();
    CEdit& GetEdit() { return m_edit; }

protected:
    int OnCreate(LPCREATESTRUCT cs);
    void OnSize(UINT nType, int cx, int cy);
    void OnOK();
    void OnCancel();
    void OnClose();
    void PostNcDestroy() override;

    EPropWndEdit m_edit;
    CStatic m_band;
    CButton m_ok;
    CButton m_cancel;
    EPropertyTextblock* m_pOwner;
    EPropWnd* m_pListWnd;

    DECLARE_MESSAGE_MAP()
};

class EPropertyTextblock : public EIconTextButtonProperty {
public:
    EPropertyTextblock(IPropertyHost* pHost, const CString& sName, CString* pProperty,
                       bool bEnabled);
    ~EPropertyTextblock() override;
    bool OnCommand(EPropWnd* pCtrl, WPARAM wParam, LPARAM lParam) override;
    bool CommitEditText() override;
    void CloseEditor() override;
    bool HasButton() override { return true; }
    CString GetTextValue() override;

    EPropertyTextblockWindow* GetPopup() const { return m_pPopup; }
    void ClosePopup();
    // Called by the popup when its window is gone.
    void OnPopupGone() { m_pPopup = nullptr; }

private:
    EPropertyTextblockWindow* m_pPopup = nullptr; // destroyed through ClosePopup
    EPropWnd* m_pListWnd = nullptr;
};
