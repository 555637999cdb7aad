// A tab control that hosts one page window per tab and shows the selected tab's page.
// Classes here: COX3DTabViewDropTarget, COX3DTabViewContainer.
#pragma once

#include <set>

#include "framework/ole.h"
#include "framework/ui.h"
#include "toolkit/frames/skins/skinned_tab.h"

// While something is dragged over the tab row, activates the tab under the cursor so that the
// drop can land on a page that was hidden. It accepts no drop itself.
class COX3DTabViewDropTarget : public COleDropTarget
{
public:
    DROPEFFECT OnDragOver(CWnd* pWnd, COleDataObject* pDataObject, DWORD dwKeyState,
                          CPoint point) override;
    void OnDragLeave(CWnd* pWnd) override;

    int m_nLastHitTab = -1;
};

class COX3DTabViewContainer : public COXSkinnedTabCtrl
{
    DECLARE_DYNAMIC(COX3DTabViewContainer)
public:
    COX3DTabViewContainer();
    ~COX3DTabViewContainer() override;

    // With the class "SysTabControl32" the window is made as asked (plus the GUI font and the
    // drop target); any other class makes a bottom tab control of a fixed style named
    // lpszWindowName.
    BOOL Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                CWnd* pParentWnd, UINT nID, CCreateContext* pContext = nullptr) override;
    BOOL Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID) override;

    // The page window becomes a child of the container; the container does not own it.
    virtual BOOL InsertPage(int nIndex, CWnd* pWnd, LPCTSTR lpszTitle, int nImage = -1,
                            DWORD dwExStyle = 0, BOOL bActivate = TRUE);
    BOOL AddPage(CWnd* pWnd, LPCTSTR lpszTitle, int nImage = -1, DWORD dwExStyle = 0,
                 BOOL bActivate = TRUE)
    {
        return InsertPage(GetPageCount(), pWnd, lpszTitle, nImage, dwExStyle, bActivate);
    }
    // Creates a page from a run-time class with a fresh identifier; the container deletes
    // what it created when it destroys the page (views delete themselves).
    virtual BOOL CreatePage(int nIndex, CRuntimeClass* pClass, CCreateContext* pContext,
                            LPCTSTR lpszTitle, int nImage = -1, DWORD dwExStyle = 0,
                            BOOL bActivate = TRUE);
    virtual BOOL DeletePage(int nIndex, BOOL bDestroy = TRUE);
    virtual BOOL DeletePage(CWnd* pWnd, BOOL bDestroy = TRUE);
    // -1 hides every page (and answers FALSE).
    virtual BOOL ActivatePage(int nIndex);
    BOOL SetActivePage(CWnd* pWnd);
    virtual UINT GetUniqueId();
    virtual void RecalcPageLayout();

    int GetPageCount() const { return GetItemCount(); }
    CWnd* GetPage(int nIndex) const;
    CWnd* GetActivePage() const { return GetPage(m_nActivePage); }
    int GetActivePageIndex() const { return m_nActivePage; }
    BOOL FindPage(HWND hWnd, int& nIndex) const;
    BOOL FindPageByWindow(const CWnd* pWnd, int& nIndex) const;
    BOOL SetPageTitle(int nIndex, LPCTSTR lpszTitle);
    const CRect& GetPageRect() const { return m_rectPage; }
    void SetActivateOnDrag(BOOL bActivate) { m_bActivateOnDrag = bActivate; }
    BOOL GetActivateOnDrag() const { return m_bActivateOnDrag; }

protected:
    friend class COX3DTabViewDropTarget;

    int OnCreate(LPCREATESTRUCT lpcs);
    void OnSelChange(NMHDR* pNMHDR, LRESULT* pResult);
    void OnSize(UINT nType, int cx, int cy);
    BOOL OnEraseBkgnd(CDC* pDC);
    void OnDestroy();
    void OnSetFocus(CWnd* pOldWnd);
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnNcCalcSize(NCCALCSIZE_PARAMS* pParams);
    void OnNcPaint();
    void ComputePageRect();

    COX3DTabViewDropTarget m_dropTarget;
    BOOL m_bActivateOnDrag = TRUE;
    CArray<UINT, UINT> m_arrFreeIds;
    BOOL m_bTabRowCovered = FALSE;
    int m_nBorder = 0;
    int m_nPageMargin = 0;
    int m_nActivePage = -1;
    BOOL m_bErasingNonClient = FALSE;
    CRect m_rectPage;
    // Pages made by CreatePage whose objects do not delete themselves.
    std::set<CWnd*> m_created;

    DECLARE_MESSAGE_MAP()
};
