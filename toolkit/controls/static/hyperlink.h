// A text static that acts as a web link and the action it runs when clicked.
// Classes here: COXHyperLinkAction, COXStaticHyperLink.
#pragma once

#include <windows.h>

#include "toolkit/controls/static/static_control.h"

class COXHyperLinkAction
{
public:
    enum {
        ID_HLACTION_NONE = 0,
        ID_HLACTION_USERDEFINED,
        ID_HLACTION_OPEN,
        ID_HLACTION_PRINT,
        ID_HLACTION_EXPLORE,
        ID_HLACTION_EMAIL
    };
    // Callback window meaning "post to every top-level window".
    static HWND Broadcast() { return reinterpret_cast<HWND>(0xFFFF); }

    explicit COXHyperLinkAction(HWND hWndOwner = nullptr) : m_hWndOwner(hWndOwner) {}
    COXHyperLinkAction(const COXHyperLinkAction&) = default;
    COXHyperLinkAction& operator=(const COXHyperLinkAction&) = default;
    virtual ~COXHyperLinkAction() = default;

    // Runs the action; on failure with bShowErrors the error is reported. True on success.
    BOOL Execute(BOOL bShowErrors = TRUE);
    // Beeps and shows the text of the last error (nothing when there is none).
    virtual void ReportError();
    // The text ReportError shows for the last error.
    CString GetErrorText() const;

    HWND m_hWndOwner = nullptr;
    int m_nActionID = ID_HLACTION_OPEN;
    CString m_sFile;
    CString m_sParameters;
    CString m_sDefaultDirectory;
    int m_nShowCmd = SW_SHOWNORMAL;
    UINT m_nCallbackMsgID = 0;
    HWND m_hWndCallbackMsgTarget = nullptr;
    int m_nLastError = -1;
    HINSTANCE m_hInstance = nullptr;
};

class COXStaticHyperLink : public COXStatic
{
public:
    COXStaticHyperLink();

    void SetLinkAction(int nActionID, LPCTSTR lpszFile = nullptr, LPCTSTR lpszParameters = nullptr,
                       LPCTSTR lpszDefaultDirectory = nullptr, int nShowCmd = SW_SHOWNORMAL,
                       UINT nCallbackMsgID = 0, HWND hWndCallbackMsgTarget = nullptr);
    COXHyperLinkAction& GetLinkAction() { return m_action; }

    void SetUnvisitedColor(COLORREF clr) { m_clrUnvisited = clr; }
    COLORREF GetUnvisitedColor() const { return m_clrUnvisited; }
    void SetVisitedColor(COLORREF clr) { m_clrVisited = clr; }
    COLORREF GetVisitedColor() const { return m_clrVisited; }
    void SetVisited(BOOL bVisited) { m_bVisited = bVisited; }
    BOOL IsVisited() const { return m_bVisited; }
    void SetUseWindowText(BOOL bUse) { m_bUseWindowText = bUse; }
    BOOL GetUseWindowText() const { return m_bUseWindowText; }
    void SetShowErrorMsg(BOOL bShow) { m_bShowErrors = bShow; }
    BOOL GetShowErrorMsg() const { return m_bShowErrors; }
    HCURSOR GetLinkCursor() const { return m_hCursor; }

    BOOL RebuildFont() override;
    BOOL Initialize() override;
    void UpdateToolTip() override;
    HBRUSH CtlColor(CDC* pDC, UINT nCtlColor) override;
    virtual void LoadLinkCursor();
    virtual BOOL FollowLink();

protected:
    BOOL OnSetCursor(CWnd* pWnd, UINT nHitTest, UINT message);

    COXHyperLinkAction m_action;
    COLORREF m_clrUnvisited = RGB(0, 0, 255);
    COLORREF m_clrVisited = RGB(128, 0, 128);
    BOOL m_bVisited = FALSE;
    HCURSOR m_hCursor = nullptr;
    BOOL m_bUseWindowText = TRUE;
    BOOL m_bShowErrors = TRUE;

    DECLARE_MESSAGE_MAP()
};
