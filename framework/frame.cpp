// CFrameWnd creation, layout, menu updates and command routing.
#include "framework/frame.h"

#include "framework/app.h"
#include "framework/controls.h"
#include "framework/document.h"
#include "framework/mini_frame.h"
#include "framework/view.h"

IMPLEMENT_DYNCREATE(CFrameWnd, CWnd)

BEGIN_MESSAGE_MAP(CFrameWnd, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_CLOSE()
ON_WM_SIZE()
ON_WM_SETFOCUS()
ON_WM_INITMENUPOPUP()
ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
ON_MESSAGE(WM_SETMESSAGESTRING, OnSetMessageString)
ON_WM_MENUSELECT()
ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFF, OnToolTipText)
ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTW, 0, 0xFFFF, OnToolTipText)
ON_UPDATE_COMMAND_UI(ID_VIEW_TOOLBAR, OnUpdateControlBarMenu)
ON_COMMAND_EX(ID_VIEW_TOOLBAR, OnBarCheck)
ON_UPDATE_COMMAND_UI(ID_VIEW_STATUS_BAR, OnUpdateControlBarMenu)
ON_COMMAND_EX(ID_VIEW_STATUS_BAR, OnBarCheck)
ON_COMMAND_RANGE(ID_NEXT_PANE, ID_PREV_PANE, OnNextPane)
ON_UPDATE_COMMAND_UI_RANGE(ID_NEXT_PANE, ID_PREV_PANE, OnUpdateNextPane)
END_MESSAGE_MAP()

const RECT CFrameWnd::rectDefault = {CW_USEDEFAULT, CW_USEDEFAULT, 0, 0};

CFrameWnd* AfxGetParentFrame(const CWnd* pWnd)
{
    for (HWND h = AfxHwnd(pWnd); h != nullptr; h = ::GetParent(h))
        if (auto* pFrame = dynamic_cast<CFrameWnd*>(CWnd::FromHandlePermanent(h)))
            return pFrame;
    return nullptr;
}

CFrameWnd* CWnd::GetParentFrame() const
{
    return m_hWnd != nullptr ? AfxGetParentFrame(FromHandle(::GetParent(m_hWnd))) : nullptr;
}

CFrameWnd::~CFrameWnd()
{
    if (m_hAccelTable != nullptr)
        ::DestroyAcceleratorTable(m_hAccelTable);
}

BOOL CFrameWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                       const RECT& rect, CWnd* pParentWnd, LPCTSTR lpszMenuName, DWORD dwExStyle,
                       CCreateContext* pContext)
{
    HMENU hMenu = nullptr;
    if (lpszMenuName != nullptr)
        hMenu = ::LoadMenu(AfxGetResourceHandle(), lpszMenuName);
    if (lpszWindowName != nullptr)
        m_strTitle = lpszWindowName;
    int cx = rect.right - rect.left, cy = rect.bottom - rect.top;
    if (rect.left == CW_USEDEFAULT)
        cx = cy = CW_USEDEFAULT;
    if (!CreateEx(dwExStyle, lpszClassName, lpszWindowName, dwStyle, rect.left, rect.top, cx, cy,
                  AfxHwnd(pParentWnd), hMenu, pContext)) {
        if (hMenu != nullptr)
            ::DestroyMenu(hMenu);
        return FALSE;
    }
    return TRUE;
}

BOOL CFrameWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd,
                          CCreateContext* pContext)
{
    LPCTSTR menu = ::FindResource(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource), RT_MENU)
                       ? MAKEINTRESOURCE(nIDResource)
                       : nullptr;
    return LoadFrameFromResource(
        nIDResource, reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), pContext,
        [&](LPCTSTR lpszClass, LPCTSTR lpszTitle) {
            if (!Create(lpszClass, lpszTitle, dwDefaultStyle, rectDefault, pParentWnd, menu, 0,
                        pContext))
                return FALSE;
            if (m_hAccelTable == nullptr)
                m_hAccelTable =
                    ::LoadAccelerators(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource));
            return TRUE;
        });
}

BOOL CFrameWnd::LoadFrameFromResource(
    UINT nIDResource, HBRUSH hbrBackground, CCreateContext* pContext,
    const std::function<BOOL(LPCTSTR lpszClass, LPCTSTR lpszTitle)>& create)
{
    m_nIDHelp = nIDResource;
    CString strings;
    strings.LoadString(nIDResource);
    int end = strings.Find('\n');
    m_strTitle = end < 0 ? strings : strings.Left(end);

    HICON hIcon = ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(nIDResource));
    LPCTSTR cls = AfxRegisterWndClass(CS_DBLCLKS, ::LoadCursor(nullptr, IDC_ARROW), hbrBackground,
                                      hIcon);
    CString title = m_strTitle; // Create overwrites m_strTitle with the name it gets
    if (!create(cls, title))
        return FALSE;
    m_strTitle = title;
    if (pContext == nullptr) // a frame without a document still gets its views' first update
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
    return TRUE;
}

BOOL CFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == nullptr) {
        static LPCTSTR frameClass =
            AfxRegisterWndClass(CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW,
                                ::LoadCursor(nullptr, IDC_ARROW),
                                reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1));
        cs.lpszClass = frameClass;
    }
    // The caption is built from the document's title, not kept from the style bit.
    if (cs.style & FWS_ADDTOTITLE)
        cs.style &= ~static_cast<LONG>(FWS_ADDTOTITLE);
    return TRUE;
}

int CFrameWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    if (Default() == -1)
        return -1;
    auto* pContext = static_cast<CCreateContext*>(lpcs->lpCreateParams);
    if (!OnCreateClient(lpcs, pContext))
        return -1;
    RecalcLayout();
    m_nIdleFlags |= idleTitle;
    return 0;
}

BOOL CFrameWnd::OnCreateClient(LPCREATESTRUCT, CCreateContext* pContext)
{
    if (pContext != nullptr && pContext->m_pNewViewClass != nullptr)
        return CreateView(pContext, AFX_IDW_PANE_FIRST) != nullptr;
    return TRUE;
}

CWnd* CFrameWnd::CreateView(CCreateContext* pContext, UINT nID)
{
    CObject* pObject = pContext->m_pNewViewClass->CreateObject();
    auto* pView = dynamic_cast<CWnd*>(pObject);
    if (pView == nullptr) {
        delete pObject;
        return nullptr;
    }
    // A view that fails to create has already deleted itself (PostNcDestroy).
    if (!pView->Create(nullptr, nullptr, WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), this, nID,
                       pContext))
        return nullptr;
    return pView;
}

void CFrameWnd::OnDestroy()
{
    // The views go with the window; the menu too, the accelerators in the destructor.
    m_pViewActive = nullptr;
    DestroyDockBars();
    Default();
}

void CFrameWnd::OnClose()
{
    CWinApp* pApp = AfxGetApp();
    CDocument* pDocument = GetActiveDocument();
    if (pDocument != nullptr && !pDocument->CanCloseFrame(this))
        return;
    if (pApp != nullptr && pApp->m_pMainWnd == this) {
        // Closing the main window closes every document and with them every frame; the
        // active document was asked above, so it is asked only once.
        if (pDocument == nullptr && !pApp->SaveAllModified())
            return;
        pApp->CloseAllDocuments(FALSE);
        if (pApp->m_pMainWnd == nullptr)
            return; // already gone with its document
    }
    DestroyWindow();
}

void CFrameWnd::OnSize(UINT nType, int, int)
{
    Default();
    if (nType != SIZE_MINIMIZED)
        RecalcLayout();
}

void CFrameWnd::OnSetFocus(CWnd* pOldWnd)
{
    if (m_pViewActive != nullptr && m_pViewActive->m_hWnd != nullptr)
        ::SetFocus(m_pViewActive->m_hWnd);
    else
        Default();
}

void CFrameWnd::RecalcLayout(BOOL)
{
    if (m_bInRecalcLayout)
        return;
    m_bInRecalcLayout = TRUE;
    m_nIdleFlags &= ~(idleLayout | idleNotify);
    if (GetStyle() & FWS_SNAPTOBARS) {
        // The frame takes the size its bars ask for, then lays them out.
        CRect rect(0, 0, 32767, 32767);
        RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposQuery, &rect, &rect, FALSE);
        rect.OffsetRect(-rect.left, -rect.top);
        CalcWindowRect(&rect);
        SetWindowPos(nullptr, 0, 0, rect.Width(), rect.Height(),
                     SWP_NOACTIVATE | SWP_NOMOVE | SWP_NOZORDER);
        RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST);
    } else {
        RepositionBars(0, 0xFFFF, AFX_IDW_PANE_FIRST, reposExtra, &m_rectBorder);
    }
    m_bInRecalcLayout = FALSE;
}

void CFrameWnd::DelayRecalcLayout(BOOL bNotify)
{
    m_nIdleFlags |= idleLayout | (bNotify ? idleNotify : 0);
}

LRESULT CFrameWnd::OnIdleUpdateCmdUI(WPARAM, LPARAM)
{
    if (m_nIdleFlags & idleLayout)
        RecalcLayout(m_nIdleFlags & idleNotify);
    if (m_nIdleFlags & idleTitle)
        OnUpdateFrameTitle(TRUE);
    m_nIdleFlags = 0;
    return 0;
}

void CFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    CDocument* pDocument = GetActiveDocument();
    if (bAddToTitle && pDocument != nullptr)
        UpdateFrameTitleForDocument(pDocument->GetTitle());
    else
        UpdateFrameTitleForDocument(nullptr);
}

void CFrameWnd::UpdateFrameTitleForDocument(LPCTSTR lpszDocName)
{
    CString text;
    if (lpszDocName != nullptr && *lpszDocName != 0) {
        text = lpszDocName;
        text += " - ";
    }
    text += m_strTitle;
    CString current;
    GetWindowText(current);
    if (current != text) // a caption set again redraws the non-client area for nothing
        SetWindowText(text);
}

void CFrameWnd::SetActiveView(CView* pViewNew, BOOL bNotify)
{
    CView* pViewOld = m_pViewActive;
    if (pViewNew == pViewOld)
        return;
    m_pViewActive = pViewNew;
    if (bNotify && pViewOld != nullptr)
        pViewOld->OnActivateView(FALSE, pViewNew, pViewOld);
    if (bNotify && pViewNew != nullptr)
        pViewNew->OnActivateView(TRUE, pViewNew, pViewOld);
}

CDocument* CFrameWnd::GetActiveDocument()
{
    return m_pViewActive != nullptr ? m_pViewActive->GetDocument() : nullptr;
}

void CFrameWnd::InitialUpdateFrame(CDocument* pDoc, BOOL bMakeVisible)
{
    if (GetActiveView() == nullptr) {
        CWnd* pPane = GetDlgItem(AFX_IDW_PANE_FIRST);
        if (auto* pView = dynamic_cast<CView*>(pPane))
            SetActiveView(pView, FALSE);
    }
    if (bMakeVisible) {
        SendMessageToDescendants(WM_INITIALUPDATE, 0, 0, TRUE, TRUE);
        ActivateFrame(-1);
        if (m_pViewActive != nullptr)
            m_pViewActive->OnActivateView(TRUE, m_pViewActive, m_pViewActive);
    }
    OnUpdateFrameTitle(TRUE);
}

void CFrameWnd::ActivateFrame(int nCmdShow)
{
    if (nCmdShow == -1)
        nCmdShow = ::IsIconic(m_hWnd) ? SW_RESTORE : SW_SHOW;
    ShowWindow(nCmdShow);
    ::BringWindowToTop(m_hWnd);
}

BOOL CFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && m_hAccelTable != nullptr)
        return ::TranslateAccelerator(m_hWnd, m_hAccelTable, pMsg);
    return FALSE;
}

BOOL CFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CView* pView = GetActiveView();
        pView != nullptr && pView->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    CWinApp* pApp = AfxGetApp();
    return pApp != nullptr && pApp->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

void CFrameWnd::OnInitMenuPopup(CMenu* pPopupMenu, UINT, BOOL bSysMenu)
{
    if (bSysMenu || pPopupMenu == nullptr)
        return;
    CCmdUI state;
    state.m_pMenu = pPopupMenu;
    state.m_nIndexMax = static_cast<UINT>(pPopupMenu->GetMenuItemCount());
    for (state.m_nIndex = 0; state.m_nIndex < state.m_nIndexMax; ++state.m_nIndex) {
        state.m_nID = ::GetMenuItemID(pPopupMenu->m_hMenu, static_cast<int>(state.m_nIndex));
        if (state.m_nID == 0)
            continue; // separator
        if (state.m_nID == static_cast<UINT>(-1))
            continue; // a submenu: its items are updated when it opens
        state.DoUpdate(this, m_bAutoMenuEnable && state.m_nID < 0xF000);
        // A handler may have added or removed items.
        UINT count = static_cast<UINT>(pPopupMenu->GetMenuItemCount());
        state.m_nIndexMax = count;
    }
}

// --- status line, bar toggles, tooltips ---

CWnd* CFrameWnd::GetMessageBar()
{
    return GetDlgItem(AFX_IDW_STATUS_BAR);
}

void CFrameWnd::GetMessageString(UINT nID, CString& rMessage) const
{
    rMessage.Empty();
    if (nID == 0 || !rMessage.LoadString(nID))
        return;
    if (int nl = rMessage.Find('\n'); nl >= 0)
        rMessage = rMessage.Left(nl);
}

LRESULT CFrameWnd::OnSetMessageString(WPARAM wParam, LPARAM lParam)
{
    const UINT nIDLast = m_nIDLastMessage;
    m_nIDLastMessage = static_cast<UINT>(wParam);
    if (CWnd* pBar = GetMessageBar(); pBar != nullptr) {
        CString text;
        if (lParam != 0)
            text = reinterpret_cast<LPCTSTR>(lParam);
        else
            GetMessageString(static_cast<UINT>(wParam), text);
        pBar->SetWindowText(text);
        pBar->UpdateWindow();
    }
    return nIDLast;
}

void CFrameWnd::OnMenuSelect(UINT nItemID, UINT nFlags, HMENU hSysMenu)
{
    if (nFlags == 0xFFFF && hSysMenu == nullptr)
        m_nIDTracking = AFX_IDS_IDLEMESSAGE; // the menu closed
    else if (nItemID == 0 || (nFlags & (MF_SEPARATOR | MF_POPUP)) || nItemID >= 0xF000)
        m_nIDTracking = 0; // a submenu, a separator or a system command: no prompt
    else
        m_nIDTracking = nItemID;
    if (m_nIDTracking != m_nIDLastMessage)
        SendMessage(WM_SETMESSAGESTRING, m_nIDTracking);
}

BOOL CFrameWnd::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult)
{
    const UINT nID = AfxToolTipRouteId(pNMHDR);
    CString text;
    if (nID == 0 || !text.LoadString(nID))
        return FALSE;
    const int nl = text.Find('\n');
    if (nl < 0)
        return FALSE;
    AfxSetToolTipText(pNMHDR, text.Mid(nl + 1));
    *pResult = 0;
    return TRUE;
}
