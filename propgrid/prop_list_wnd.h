// EPropListWnd: the rows of the current page in two columns, with paging, layout, painting,
// mouse, keyboard and the host.
#pragma once

#include <vector>

#include "propgrid/comment_pane.h"
#include "propgrid/prop_list.h"
#include "propgrid/prop_wnd.h"

class EPropListWnd : public EPropWnd, public ECommentPane::ICommentHost {
    DECLARE_DYNCREATE(EPropListWnd)
public:
    EPropListWnd() = default;
    // Closes the editor before the rows go, so its last focus change reaches no dead row.
    ~EPropListWnd() override;

    // Commits the active edit (without validation), clears and refills the list from pHost
    // (null empties it), keeping the page of the same name current.
    void SetPropertyHost(IPropertyHost* pHost);
    IPropertyHost* GetPropertyHost() const { return m_pHost; }
    bool SelectPage(int nIndex);
    void FitNameColumn();
    void RecalcLayout(CDC* pDC);
    void MoveSelection(int nDelta);
    EPropList& GetList() { return m_list; }
    void SetAutoNameColumn(bool bAuto) { m_bAutoNameColumn = bAuto; }
    int GetNameColumnWidth() const { return m_nNameWidth; }
    const std::vector<EProperty*>& GetVisibleRows() const { return m_rows; }
    const CRect& GetSplitterRect() const { return m_rcSplitter; }

    CString GetComment(CString* pTitle) override;
    CSize GetContentSize() override { return CSize(m_nContentWidth, m_nContentHeight); }
    BOOL PreTranslateMessage(MSG* pMsg) override;

protected:
    BOOL PreCreateWindow(CREATESTRUCT& cs) override;
    void OnPaint();
    BOOL OnEraseBkgnd(CDC*) { return TRUE; }
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnLButtonDblClk(UINT, CPoint) {}
    void OnContextMenu(CWnd* pWnd, CPoint pos);
    // True when the key was handled.
    bool HandleKey(MSG* pMsg);
    void PaintRows(CDC* pDC, const CRect& view);
    EProperty* RowAt(int y) const;
    void RecalcLayoutWithFont();

    IPropertyHost* m_pHost = nullptr;
    int m_nContentWidth = 0;
    int m_nContentHeight = 0;
    CRect m_rcSplitter;
    int m_nNameWidth = 100;
    bool m_bAutoNameColumn = false;
    int m_nGap = 6;
    int m_nValueWidth = 0;
    int m_nDragStartWidth = -1;
    int m_nDragStartX = -1;
    EPropList m_list;
    std::vector<EProperty*> m_rows;

    DECLARE_MESSAGE_MAP()
};
