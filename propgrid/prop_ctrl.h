// EPropCtrl: the property-grid control windows embed: the list window, a tab strip of the
// pages, a splitter band and the comment pane. Classes here: EPropCtrlBase, EPropCtrl.
#pragma once

#include "propgrid/comment_pane.h"
#include "propgrid/prop_list_wnd.h"

class EPropCtrlBase : public CWnd {
    DECLARE_DYNCREATE(EPropCtrlBase)
};

class EPropCtrl : public EPropCtrlBase {
    DECLARE_DYNCREATE(EPropCtrl)
public:
    static constexpr UINT kListId = 0xFFFF;
    static constexpr UINT kTabId = 1;
    static constexpr UINT kCommentId = 2;

    EPropCtrl();
    BOOL Create(CWnd* pParent, UINT nID, const CRect& rect, IPropCtrlListener* pListener = nullptr);
    // Commits the open edit, then shows pHost's rows (none for null). The rows hold the host's
    // members by address: give null or another host before the host goes away.
    void SetPropertyHost(IPropertyHost* pHost);
    void ShowComment(bool bShow);
    void SetCommentHeight(int nHeight);
    void SetAutoNameColumn(bool bAuto) { m_listWnd.SetAutoNameColumn(bAuto); }
    void SetListener(IPropCtrlListener* pListener) { m_listWnd.SetListener(pListener); }
    void RecalcLayout(const CRect& rc);
    void RebuildTabs();

    EPropListWnd& GetListWnd() { return m_listWnd; }
    ECommentPane& GetCommentPane() { return m_commentPane; }
    CTabCtrl& GetTabCtrl() { return m_tabCtrl; }
    int GetCommentHeight() const { return m_nCommentHeight; }
    const CRect& GetSplitterBand() const { return m_rcSplitter; }

protected:
    void OnSize(UINT nType, int cx, int cy);
    void OnPaint();
    void OnLButtonDown(UINT nFlags, CPoint point);
    void OnMouseMove(UINT nFlags, CPoint point);
    void OnLButtonUp(UINT nFlags, CPoint point);
    void OnTabChanging(NMHDR* pNMHDR, LRESULT* pResult);
    void OnTabChange(NMHDR* pNMHDR, LRESULT* pResult);
    CRect RectInParent();

    bool m_bCommentVisible = false;
    int m_nTabHeight = 30;
    EPropListWnd m_listWnd;
    ECommentPane m_commentPane;
    CTabCtrl m_tabCtrl;
    CRect m_rcSplitter;
    CImageList m_imageList;
    int m_nCommentHeight = 45;

    DECLARE_MESSAGE_MAP()
};
