// ECommentPane: the pane under the list that shows the selected row's comment.
#pragma once

#include "framework/ui.h"

class EPropWnd;

class ECommentPane : public CWnd {
    DECLARE_DYNCREATE(ECommentPane)
public:
    class ICommentHost {
    public:
        // The comment to show; pTitle receives a title (not shown).
        virtual CString GetComment(CString* pTitle) { return CString(); }

    protected:
        ~ICommentHost() = default;
    };

    ECommentPane() = default;
    void SetListWnd(EPropWnd* pListWnd) { m_pListWnd = pListWnd; }
    void SetCommentHost(ICommentHost* pHost) { m_pCommentHost = pHost; }

    // Shortens a word-wrapped text until it fits rc: four characters at a time become "...".
    static void FitWrappedText(CString& text, const CRect& rc, CDC* pDC);

protected:
    void OnPaint();
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    void OnLButtonUp(UINT nFlags, CPoint point);

    EPropWnd* m_pListWnd = nullptr;
    ICommentHost* m_pCommentHost = nullptr;

    DECLARE_MESSAGE_MAP()
};
