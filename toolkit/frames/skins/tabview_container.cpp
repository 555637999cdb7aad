// COX3DTabViewContainer and its drop target.
#include "toolkit/frames/skins/tabview_container.h"

#include "framework/document.h"
#include "framework/view.h"

IMPLEMENT_DYNAMIC(COX3DTabViewContainer, COXSkinnedTabCtrl)

BEGIN_MESSAGE_MAP(COX3DTabViewContainer, COXSkinnedTabCtrl)
    ON_WM_CREATE()
    ON_NOTIFY_REFLECT(TCN_SELCHANGE, OnSelChange)
    ON_WM_SIZE()
    ON_WM_ERASEBKGND()
    ON_WM_DESTROY()
    ON_WM_SETFOCUS()
END_MESSAGE_MAP()

// --- drop target ---

DROPEFFECT COX3DTabViewDropTarget::OnDragOver(CWnd* pWnd, COleDataObject*, DWORD, CPoint point)
{
    auto* pContainer = DYNAMIC_DOWNCAST(COX3DTabViewContainer, pWnd);
    if (pContainer == nullptr || !pContainer->m_bActivateOnDrag)
        return DROPEFFECT_NONE;
    TCHITTESTINFO hit{};
    hit.pt = point;
    const int nTab = pContainer->HitTest(&hit);
    if (nTab >= 0 && nTab != m_nLastHitTab) {
        pContainer->ActivatePage(nTab);
        // A multi-line tab row may have moved its rows: ask again what lies under the cursor.
        TCHITTESTINFO again{};
        again.pt = point;
        m_nLastHitTab = pContainer->HitTest(&again);
    }
    // The drop lands on the page under the cursor through the page's own target.
    return DROPEFFECT_NONE;
}

void COX3DTabViewDropTarget::OnDragLeave(CWnd* pWnd)
{
    m_nLastHitTab = -1;
    COleDropTarget::OnDragLeave(pWnd);
}

// --- container: creation ---

COX3DTabViewContainer::COX3DTabViewContainer()
{
    m_arrFreeIds.Add(1);
}

COX3DTabViewContainer::~COX3DTabViewContainer()
{
    // While the object is still whole, so that its own WM_DESTROY deletes the pages.
    if (m_hWnd != nullptr && ::IsWindow(m_hWnd))
        DestroyWindow();
}

BOOL COX3DTabViewContainer::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName,
                                   DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID,
                                   CCreateContext* pContext)
{
    if (lpszClassName == nullptr || lstrcmpiA(lpszClassName, WC_TABCONTROL) != 0) {
        if (!Create(WS_CHILD | WS_VISIBLE | TCS_FOCUSNEVER | TCS_MULTILINE | TCS_HOTTRACK |
                        TCS_BOTTOM,
                    rect, pParentWnd, nID))
            return FALSE;
        SetWindowText(lpszWindowName);
        return TRUE;
    }
    if (!CWnd::Create(lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd,
                                   nID, pContext))
        return FALSE;
    SendMessage(WM_SETFONT, reinterpret_cast<WPARAM>(::GetStockObject(DEFAULT_GUI_FONT)), FALSE);
    m_dropTarget.Register(this);
    return TRUE;
}

BOOL COX3DTabViewContainer::Create(DWORD dwStyle, const RECT& rect, CWnd* pParentWnd, UINT nID)
{
    return Create(WC_TABCONTROL, nullptr, dwStyle, rect, pParentWnd, nID);
}

int COX3DTabViewContainer::OnCreate(LPCREATESTRUCT)
{
    int result = static_cast<int>(Default());
    if (result != -1)
        ::SetWindowLongPtr(m_hWnd, GWL_EXSTYLE, GetExStyle() | WS_EX_CONTROLPARENT);
    return result;
}

// --- pages ---

CWnd* COX3DTabViewContainer::GetPage(int nIndex) const
{
    if (m_hWnd == nullptr || nIndex < 0 || nIndex >= GetPageCount())
        return nullptr;
    TCITEM item{};
    item.mask = TCIF_PARAM;
    if (!GetItem(nIndex, &item))
        return nullptr;
    return reinterpret_cast<CWnd*>(item.lParam);
}

BOOL COX3DTabViewContainer::FindPage(HWND hWnd, int& nIndex) const
{
    for (int i = 0; i < GetPageCount(); ++i) {
        if (AfxHwnd(GetPage(i)) == hWnd && hWnd != nullptr) {
            nIndex = i;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL COX3DTabViewContainer::FindPageByWindow(const CWnd* pWnd, int& nIndex) const
{
    for (int i = 0; i < GetPageCount(); ++i) {
        if (pWnd != nullptr && GetPage(i) == pWnd) {
            nIndex = i;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL COX3DTabViewContainer::SetPageTitle(int nIndex, LPCTSTR lpszTitle)
{
    if (nIndex < 0 || nIndex >= GetPageCount())
        return FALSE;
    TCITEM item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<LPTSTR>(lpszTitle);
    return SetItem(nIndex, &item);
}

BOOL COX3DTabViewContainer::InsertPage(int nIndex, CWnd* pWnd, LPCTSTR lpszTitle, int nImage,
                                       DWORD dwExStyle, BOOL bActivate)
{
    if (nIndex < 0 || nIndex > GetPageCount() || pWnd == nullptr || !::IsWindow(pWnd->m_hWnd))
        return FALSE;
    ::SetParent(pWnd->m_hWnd, m_hWnd);
    if (InsertItem(TCIF_TEXT | TCIF_IMAGE | TCIF_PARAM, nIndex, lpszTitle, nImage,
                   reinterpret_cast<LPARAM>(pWnd)) != nIndex)
        return FALSE;
    // Every page at or after the insertion point moved right, the shown one included.
    if (m_nActivePage >= nIndex)
        ++m_nActivePage;
    if (dwExStyle != 0)
        ::SetWindowLongPtr(pWnd->m_hWnd, GWL_EXSTYLE, pWnd->GetExStyle() | dwExStyle);
    pWnd->ModifyStyle(0, WS_TABSTOP);
    if (bActivate)
        ActivatePage(nIndex);
    else if (nIndex != m_nActivePage)
        pWnd->ShowWindow(SW_HIDE); // only the selected tab's page is shown
    return TRUE;
}

BOOL COX3DTabViewContainer::CreatePage(int nIndex, CRuntimeClass* pClass,
                                       CCreateContext* pContext, LPCTSTR lpszTitle, int nImage,
                                       DWORD dwExStyle, BOOL bActivate)
{
    if (nIndex < 0 || nIndex > GetPageCount() || pClass == nullptr)
        return FALSE;
    CCreateContext local;
    if (pContext == nullptr) {
        if (auto* pView = DYNAMIC_DOWNCAST(CView, GetActivePage())) {
            local.m_pCurrentDoc = pView->GetDocument();
            if (local.m_pCurrentDoc != nullptr)
                local.m_pNewDocTemplate = local.m_pCurrentDoc->GetDocTemplate();
            local.m_pLastView = pView;
        }
        pContext = &local;
    }
    CObject* pObject = nullptr;
    try {
        pObject = pClass->CreateObject();
    } catch (CException* e) {
        e->Delete();
        return FALSE;
    }
    auto* pWnd = DYNAMIC_DOWNCAST(CWnd, pObject);
    if (pWnd == nullptr) {
        delete pObject;
        return FALSE;
    }
    const BOOL bView = pWnd->IsKindOf(RUNTIME_CLASS(CView));
    if (!pWnd->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE | WS_BORDER, CRect(0, 0, 0, 0),
                      this, GetUniqueId(), pContext)) {
        if (!bView || pWnd->m_hWnd == nullptr)
            delete pWnd;
        return FALSE;
    }
    if (!bView)
        m_created.insert(pWnd);
    if (!InsertPage(nIndex, pWnd, lpszTitle, nImage, dwExStyle, bActivate)) {
        m_created.erase(pWnd);
        pWnd->DestroyWindow();
        if (!bView)
            delete pWnd;
        return FALSE;
    }
    if (bView)
        pWnd->SendMessage(WM_INITIALUPDATE);
    return TRUE;
}

UINT COX3DTabViewContainer::GetUniqueId()
{
    const INT_PTR last = m_arrFreeIds.GetSize() - 1;
    const UINT nID = m_arrFreeIds[last];
    if (last == 0)
        m_arrFreeIds[0] = nID + 1;
    else
        m_arrFreeIds.RemoveAt(last);
    return nID;
}

BOOL COX3DTabViewContainer::DeletePage(int nIndex, BOOL bDestroy)
{
    const int nCount = GetPageCount();
    if (nIndex < 0 || nIndex >= nCount)
        return FALSE;
    CWnd* pPage = GetPage(nIndex);
    int nNewActive = -2; // no new page activated
    if (nIndex == m_nActivePage) {
        nNewActive = nIndex + 1 < nCount ? nIndex + 1 : (nCount > 1 ? 0 : -1);
        ActivatePage(nNewActive);
    }
    if (bDestroy && pPage != nullptr && ::IsWindow(pPage->m_hWnd)) {
        m_arrFreeIds.Add(static_cast<UINT>(pPage->GetDlgCtrlID()));
        pPage->DestroyWindow();
        if (m_created.erase(pPage) != 0)
            delete pPage;
    }
    DeleteItem(nIndex);
    if (nNewActive >= 0)
        m_nActivePage = nNewActive == 0 ? 0 : nNewActive - 1;
    else if (nNewActive == -2 && nIndex < m_nActivePage)
        --m_nActivePage; // the shown page moved left with the tabs after the deleted one
    return TRUE;
}

BOOL COX3DTabViewContainer::DeletePage(CWnd* pWnd, BOOL bDestroy)
{
    int nIndex = -1;
    return FindPage(AfxHwnd(pWnd), nIndex) && DeletePage(nIndex, bDestroy);
}

BOOL COX3DTabViewContainer::SetActivePage(CWnd* pWnd)
{
    int nIndex = -1;
    return FindPageByWindow(pWnd, nIndex) && ActivatePage(nIndex);
}

BOOL COX3DTabViewContainer::ActivatePage(int nIndex)
{
    if (nIndex == m_nActivePage)
        return TRUE;
    CWnd* pPrevious = GetPage(m_nActivePage);
    if (pPrevious != nullptr && ::IsWindow(pPrevious->m_hWnd))
        pPrevious->ShowWindow(SW_HIDE);
    m_nActivePage = nIndex;
    SetCurSel(nIndex);
    if (nIndex < 0 || nIndex >= GetPageCount())
        return FALSE;
    CWnd* pPage = GetPage(nIndex);
    if (pPage == nullptr || !::IsWindow(pPage->m_hWnd))
        return TRUE;
    RecalcPageLayout();
    pPage->ShowWindow(SW_SHOW);
    const HWND hFocus = ::GetFocus();
    const BOOL bFocusInside = hFocus != nullptr && ::IsChild(m_hWnd, hFocus);
    if (auto* pFrame = DYNAMIC_DOWNCAST(CFrameWnd, GetParent())) {
        if (auto* pView = DYNAMIC_DOWNCAST(CView, pPage)) {
            pFrame->SetActiveView(pView, TRUE);
            pPage->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
            return TRUE;
        }
        if (pPrevious != nullptr && pPrevious->IsKindOf(RUNTIME_CLASS(CView)))
            pFrame->SetActiveView(nullptr, TRUE);
    }
    if (bFocusInside)
        pPage->SetFocus();
    pPage->RedrawWindow(nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    return TRUE;
}

// --- layout ---

void COX3DTabViewContainer::ComputePageRect()
{
    CRect rect;
    GetClientRect(&rect);
    if (!rect.IsRectEmpty()) {
        const int nCount = GetPageCount();
        CRect last;
        if (nCount > 0)
            GetItemRect(nCount - 1, &last);
        // A single tab too wide for the row: the page takes the whole area, tab row included.
        if (nCount == 1 && last.Width() + 50 >= rect.Width()) {
            m_bTabRowCovered = TRUE;
        } else {
            m_bTabRowCovered = FALSE;
            AdjustRect(FALSE, &rect);
            rect.DeflateRect(m_nPageMargin, m_nPageMargin);
        }
    }
    m_rectPage.SetRect(rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 2);
    GetTabSkin()->AdjustPageRect(m_rectPage, 4, this);
}

void COX3DTabViewContainer::RecalcPageLayout()
{
    CWnd* pPage = GetActivePage();
    if (pPage == nullptr || !::IsWindow(pPage->m_hWnd))
        return;
    ComputePageRect();
    pPage->MoveWindow(&m_rectPage, TRUE);
}

void COX3DTabViewContainer::OnSelChange(NMHDR*, LRESULT* pResult)
{
    const int nSel = GetCurSel();
    if (nSel >= 0)
        ActivatePage(nSel);
    *pResult = 0;
}

void COX3DTabViewContainer::OnSize(UINT nType, int cx, int cy)
{
    Default();
    if (nType != SIZE_MINIMIZED && cx > 0 && cy > 0)
        RecalcPageLayout();
}

void COX3DTabViewContainer::OnSetFocus(CWnd* pOldWnd)
{
    CWnd* pPage = GetActivePage();
    if (pPage != nullptr && ::IsWindow(pPage->m_hWnd))
        pPage->SetFocus();
    else
        Default();
}

void COX3DTabViewContainer::OnDestroy()
{
    ActivatePage(-1);
    for (int i = GetPageCount() - 1; i >= 0; --i)
        DeletePage(i, TRUE);
    Default();
}

// --- painting ---

LRESULT COX3DTabViewContainer::WindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCALCSIZE) {
        LRESULT result = COXSkinnedTabCtrl::WindowProc(message, wParam, lParam);
        OnNcCalcSize(reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam));
        return result;
    }
    if (message == WM_NCPAINT) {
        OnNcPaint();
        return 0;
    }
    return COXSkinnedTabCtrl::WindowProc(message, wParam, lParam);
}

void COX3DTabViewContainer::OnNcCalcSize(NCCALCSIZE_PARAMS* pParams)
{
    RECT& r = pParams->rgrc[0]; // the first rectangle in both forms of the message
    const int b = m_nBorder;
    if (r.right - r.left < 2 * b)
        r.left = r.right = r.left + (r.right - r.left) / 2;
    else
        r.left += b, r.right -= b;
    if (r.bottom - r.top < 2 * b)
        r.top = r.bottom = r.top + (r.bottom - r.top) / 2;
    else
        r.top += b, r.bottom -= b;
}

void COX3DTabViewContainer::OnNcPaint()
{
    CWindowDC dc(this);
    CRect rectWindow, rectClient;
    GetWindowRect(&rectWindow);
    GetClientRect(&rectClient);
    CPoint origin(0, 0);
    ClientToScreen(&origin);
    rectClient.OffsetRect(origin.x - rectWindow.left, origin.y - rectWindow.top);
    rectWindow.OffsetRect(-rectWindow.left, -rectWindow.top);
    if (!rectClient.IsRectEmpty())
        dc.ExcludeClipRect(&rectClient);
    m_bErasingNonClient = TRUE;
    SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC));
    m_bErasingNonClient = FALSE;
    if (GetExStyle() & WS_EX_CLIENTEDGE)
        dc.Draw3dRect(&rectWindow, ::GetSysColor(COLOR_BTNSHADOW),
                      ::GetSysColor(COLOR_BTNHIGHLIGHT));
}

BOOL COX3DTabViewContainer::OnEraseBkgnd(CDC* pDC)
{
    if (GetPageCount() > 0 && !m_bErasingNonClient)
        pDC->ExcludeClipRect(&m_rectPage); // the page paints itself
    CRect rect;
    GetWindowRect(&rect);
    ScreenToClient(&rect);
    rect.right += m_nBorder;
    rect.bottom += m_nBorder;
    CBrush brush(::GetSysColor(COLOR_BTNFACE));
    ::UnrealizeObject(brush);
    pDC->FillRect(&rect, &brush);
    return TRUE;
}
