// EPropWnd: the reusable base of the property list window (scrolling, the active property,
// command routing, commit and selection); EPropWndEdit: the in-place edit box; and the
// listener interface. Classes here: IPropCtrlListener, EPropWnd, EPropWndEdit.
#pragma once

#include "framework/ui.h"

class EProperty;
class ECommentPane;

class IPropCtrlListener {
public:
    // After a committed change.
    virtual void OnPropertyChanged() = 0;
    // Shown on an empty page instead of "NO PROPERTIES".
    virtual CString GetEmptyText() = 0;

protected:
    ~IPropCtrlListener() = default;
};

class EPropWnd : public CWnd {
    DECLARE_DYNCREATE(EPropWnd)
public:
    EPropWnd();

    // Control ids of the active row's editor: the edit box is first, the button first + 1,
    // menu items from first + 2; context-menu items from first + 80.
    static constexpr int kFirstCommand = 600;
    static constexpr int kLastCommand = 700;

    virtual CSize GetContentSize() { return CSize(100, 100); }
    virtual void GetCommandRange(int& nFirst, int& nLast)
    {
        nFirst = kFirstCommand;
        nLast = kLastCommand;
    }

    // Makes p (or nothing) the active row. With commit, the old row commits first; with
    // validate, invalid typed text refuses the change (beep, editor kept): false.
    bool Select(EProperty* p, bool bCommit, bool bValidate);
    void CommitSelected();
    void CloseActiveEditor();
    void NotifyListener();
    void SetListener(IPropCtrlListener* pListener) { m_pListener = pListener; }
    IPropCtrlListener* GetListener() const { return m_pListener; }
    CFont* GetFont() { return &m_font; }
    EProperty* GetActiveProperty() const { return m_pActive; }
    void SetCommentPane(ECommentPane* pPane) { m_pCommentPane = pPane; }
    void InvalidateCommentPane();

    void UpdateScrollBars();
    void EnsureVisible(const CRect& rc);
    void EnsureVisible(EProperty* p);
    CPoint ClientToContent(CPoint pt) const
    {
        return CPoint(pt.x - m_ptOrigin.x, pt.y - m_ptOrigin.y);
    }
    CRect ContentRectFromClient(CRect rc) const
    {
        rc.OffsetRect(-m_ptOrigin.x, -m_ptOrigin.y);
        return rc;
    }
    void Draw3DFrame(CDC* pDC, const CRect& rc, bool bRaised, COLORREF fill);

    COLORREF GetFaceColor() const { return m_clrFace; }
    COLORREF GetActiveFaceColor() const;
    COLORREF GetWhite() const { return RGB(255, 255, 255); }
    CPen* GetHighlightPen() { return &m_penHighlight; }
    CPen* GetShadowPen() { return &m_penShadow; }
    int GetBorder() const { return m_nBorder; }

    // Called by the edit box when it loses the focus to the row's own button.
    void DisarmKillFocus()
    {
        m_bCommitOnKillFocus = false;
        m_bCloseOnKillFocus = false;
    }

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
    void OnSize(UINT nType, int cx, int cy);
    void OnHScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    void OnVScroll(UINT nSBCode, UINT nPos, CScrollBar* pScrollBar);
    BOOL OnMouseWheel(UINT nFlags, short zDelta, CPoint pt);
    void OnEditKillFocus();
    void SetScrollPosition(int nBar, int nPos);

    IPropCtrlListener* m_pListener = nullptr;
    COLORREF m_clrHighlight, m_clrFace, m_clrShadow;
    CPen m_penHighlight, m_penShadow;
    CFont m_font;
    int m_nBorder = 1;
    EProperty* m_pContextMenuProperty = nullptr;
    EProperty* m_pActive = nullptr;
    CPoint m_ptOrigin;
    ECommentPane* m_pCommentPane = nullptr;
    bool m_bCommitOnKillFocus = true;
    bool m_bCloseOnKillFocus = true;

    DECLARE_MESSAGE_MAP()
};

// The in-place edit box of the active row (control id 600).
class EPropWndEdit : public CEdit {
protected:
    void OnKillFocus(CWnd* pNewWnd);
    DECLARE_MESSAGE_MAP()
};
