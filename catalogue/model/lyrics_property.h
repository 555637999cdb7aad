// The lyrics row of the track page and its resizable popup editor.
// Classes here: EPropertyLyricsWindow, EPropertyLyrics.
#pragma once

#include "propgrid/prop_wnd.h"
#include "propgrid/property.h"

class EPropertyLyrics;

// A frame with a multi-line edit and the buttons OK (id 2), Cancel (id 3) and Search Lyrics
// (id 4). It deletes itself when its window goes and tells its row first.
class EPropertyLyricsWindow : public CFrameWnd
{
public:
    EPropertyLyricsWindow(EPropertyLyrics* pOwner, EPropWnd* pListWnd, CFont* pFont);
    // Shows text with CR removed and every LF as CR LF.
    void SetText(const CString& text);
    // The edit's text with every CR removed.
    CString GetText();
    CEdit& GetEdit() { return m_edit; }
    int GetMinTrackWidth() const { return m_nMinTrackWidth; }

    static constexpr UINT kOkId = 2; // IDCANCEL's value; our handler gives it the OK meaning
    static constexpr UINT kCancelId = 3;
    static constexpr UINT kSearchId = 4;
    // "Search Lyrics of Artist" of the main window's menu.
    static constexpr UINT kSearchLyricsCommand = 32796;

protected:
    int OnCreate(LPCREATESTRUCT cs);
    void OnSize(UINT nType, int cx, int cy);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnGetMinMaxInfo(MINMAXINFO* pMMI);
    void OnOK();
    void OnCancel();
    void OnSearch();
    void OnClose();
    void PostNcDestroy() override;

    EPropWndEdit m_edit;
    CStatic m_bar;
    CButton m_ok;
    CButton m_cancel;
    CButton m_search;
    CRect m_rcEdit, m_rcBar;
    EPropertyLyrics* m_pOwner;
    EPropWnd* m_pListWnd;
    CFont* m_pFont;
    int m_nMinTrackWidth = 100;
    int m_nMinTrackHeight = 100;

    DECLARE_MESSAGE_MAP()
};

// A multi-line text (lyrics) shown on one line with every CR and LF as "<>"; its "..." button
// opens the popup editor, whose OK offers the text to the host.
class EPropertyLyrics : public EIconTextButtonProperty
{
public:
    // pProperty is a CString member of pHost.
    EPropertyLyrics(IPropertyHost* pHost, const CString& sName, void* pProperty, BYTE bEnabled);
    ~EPropertyLyrics() override;

    bool OnCommand(EPropWnd* pCtrl, WPARAM wParam, LPARAM lParam) override;
    bool CommitEditText() override;
    void CloseEditor() override;
    bool HasButton() override { return true; }
    CString GetTextValue() override;

    // The font of the popup's controls; null (the default) takes the list window's.
    void SetEditorFont(CFont* pFont) { m_pFont = pFont; }
    EPropertyLyricsWindow* GetWindow() const { return m_pWindow; }
    void CloseWindow();
    // Called by the popup when its window is gone.
    void OnWindowGone() { m_pWindow = nullptr; }

    // The popup's outer rectangle for a button whose screen rectangle is rcButton on a screen of
    // cxScreen x cyScreen, sized by the stored width and height (not above 0: 300 x 350).
    static CRect PlaceWindow(const CRect& rcButton, int cxScreen, int cyScreen, int dx, int dy);

private:
    EPropertyLyricsWindow* m_pWindow = nullptr; // destroyed through CloseWindow
    EPropWnd* m_pListWnd = nullptr;
    CFont* m_pFont = nullptr;
};
