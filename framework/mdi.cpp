// The MDI frame, its child frames and the multiple-document template.
#include "framework/mdi.h"

#include <algorithm>
#include <vector>

#include "framework/app.h"
#include "framework/view.h"

IMPLEMENT_DYNCREATE(CMDIFrameWnd, CFrameWnd)
IMPLEMENT_DYNCREATE(CMDIChildWnd, CFrameWnd)
IMPLEMENT_DYNAMIC(CMultiDocTemplate, CDocTemplate)

void AfxCancelModes(HWND hWndRcvr)
{
    HWND hCapture = ::GetCapture();
    if (hCapture != nullptr && hCapture != hWndRcvr)
        ::SendMessage(hCapture, WM_CANCELMODE, 0, 0);
    // A combo box whose list is down closes it when the user presses elsewhere.
    HWND hFocus = ::GetFocus();
    if (hFocus == nullptr || hFocus == hWndRcvr)
        return;
    char name[16] = {};
    HWND hCombo = hFocus;
    ::GetClassNameA(hCombo, name, sizeof(name));
    if (lstrcmpiA(name, "Edit") == 0 && ::GetParent(hFocus) != nullptr) {
        hCombo = ::GetParent(hFocus);
        ::GetClassNameA(hCombo, name, sizeof(name));
    }
    if (lstrcmpiA(name, "ComboBox") == 0 && hCombo != hWndRcvr &&
        ::SendMessage(hCombo, CB_GETDROPPEDSTATE, 0, 0) != 0)
        ::SendMessage(hCombo, CB_SHOWDROPDOWN, FALSE, 0);
}

LRESULT AfxFrameCommandHelp(CFrameWnd* pFrame, LPARAM lParam)
{
    UINT nID = static_cast<UINT>(lParam);
    if (nID == 0)
        nID = pFrame->m_nIDTracking != 0 && pFrame->m_nIDTracking != AFX_IDS_IDLEMESSAGE
                  ? pFrame->m_nIDTracking
                  : pFrame->m_nIDLastMessage;
    if (nID == 0 || nID == AFX_IDS_IDLEMESSAGE)
        return FALSE;
    pFrame->WinHelp(HID_BASE_COMMAND + nID);
    return TRUE;
}

void AfxUpdateMDIFrameCounts(CMDIFrameWnd* pFrame, CDocument* pDoc, CMDIChildWnd* pGoing)
{
    if (pFrame == nullptr || pFrame->m_hWndMDIClient == nullptr || pDoc == nullptr)
        return;
    std::vector<CMDIChildWnd*> frames;
    for (HWND h = ::GetWindow(pFrame->m_hWndMDIClient, GW_CHILD); h != nullptr;
         h = ::GetWindow(h, GW_HWNDNEXT)) {
        auto* pChild = dynamic_cast<CMDIChildWnd*>(CWnd::FromHandlePermanent(h));
        if (pChild != nullptr && pChild != pGoing && pChild->GetFrameDocument() == pDoc)
            frames.push_back(pChild);
    }
    std::sort(frames.begin(), frames.end(),
              [](CMDIChildWnd* a, CMDIChildWnd* b) { return a->SerialForCounts() < b->SerialForCounts(); });
    int nWindow = 0;
    for (CMDIChildWnd* pChild : frames) {
        const int nNew = frames.size() > 1 ? ++nWindow : 0;
        if (pChild->m_nWindow != nNew) {
            pChild->m_nWindow = nNew;
            pChild->OnUpdateFrameTitle(TRUE);
        }
    }
}

// --- CMDIFrameWnd ---

BEGIN_MESSAGE_MAP(CMDIFrameWnd, CFrameWnd)
ON_COMMAND(ID_WINDOW_NEW, OnWindowNew)
ON_UPDATE_COMMAND_UI(ID_WINDOW_NEW, OnUpdateWindowNew)
ON_MESSAGE(WM_COMMANDHELP, OnCommandHelp)
END_MESSAGE_MAP()

BOOL CMDIFrameWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    const LONG addToTitle = cs.style & static_cast<LONG>(FWS_ADDTOTITLE);
    if (!CFrameWnd::PreCreateWindow(cs))
        return FALSE;
    // The MDI frame keeps the bit: its title follows the active child only with it.
    cs.style |= addToTitle | WS_CLIPCHILDREN;
    return TRUE;
}

HMENU CMDIFrameWnd::FindWindowMenu(HMENU hMenuBar)
{
    if (hMenuBar == nullptr)
        return nullptr;
    const int count = ::GetMenuItemCount(hMenuBar);
    for (int i = 0; i < count; ++i) {
        HMENU hPopup = ::GetSubMenu(hMenuBar, i);
        if (hPopup != nullptr && ::GetMenuState(hPopup, ID_WINDOW_NEW, MF_BYCOMMAND) != 0xFFFFFFFF)
            return hPopup;
    }
    return count >= 2 ? ::GetSubMenu(hMenuBar, count - 2) : nullptr;
}

BOOL CMDIFrameWnd::OnCreateClient(LPCREATESTRUCT lpcs, CCreateContext*)
{
    m_hMenuDefault = ::GetMenu(m_hWnd);
    return CreateClient(lpcs, FindWindowMenu(m_hMenuDefault));
}

BOOL CMDIFrameWnd::CreateClient(LPCREATESTRUCT, HMENU hWindowMenu)
{
    CLIENTCREATESTRUCT ccs{};
    ccs.hWindowMenu = hWindowMenu;
    ccs.idFirstChild = AFX_IDM_FIRST_MDICHILD;
    m_hWndMDIClient = ::CreateWindowExA(
        WS_EX_CLIENTEDGE, "MDICLIENT", nullptr,
        WS_CHILD | WS_VISIBLE | WS_CLIPCHILDREN | WS_CLIPSIBLINGS | WS_HSCROLL | WS_VSCROLL |
            MDIS_ALLCHILDSTYLES,
        0, 0, 0, 0, m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(AFX_IDW_PANE_FIRST)),
        AfxGetInstanceHandle(), &ccs);
    return m_hWndMDIClient != nullptr;
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActive(BOOL* pbMaximized) const
{
    BOOL bMaximized = FALSE;
    HWND hActive = m_hWndMDIClient != nullptr
                       ? reinterpret_cast<HWND>(::SendMessage(m_hWndMDIClient, WM_MDIGETACTIVE,
                                                              0, reinterpret_cast<LPARAM>(&bMaximized)))
                       : nullptr;
    auto* pChild = dynamic_cast<CMDIChildWnd*>(CWnd::FromHandlePermanent(hActive));
    if (pbMaximized != nullptr)
        *pbMaximized = pChild != nullptr && bMaximized;
    return pChild;
}

void CMDIFrameWnd::MDIActivate(CWnd* pWndActivate)
{
    ::SendMessage(m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(AfxHwnd(pWndActivate)),
                  0);
}

void CMDIFrameWnd::MDINext()
{
    ::SendMessage(m_hWndMDIClient, WM_MDINEXT, 0, 0);
}

void CMDIFrameWnd::MDIMaximize(CWnd* pWnd)
{
    ::SendMessage(m_hWndMDIClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(AfxHwnd(pWnd)), 0);
}

void CMDIFrameWnd::MDIRestore(CWnd* pWnd)
{
    ::SendMessage(m_hWndMDIClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(AfxHwnd(pWnd)), 0);
}

void CMDIFrameWnd::OnUpdateFrameMenu(HMENU hMenuAlt)
{
    if (CMDIChildWnd* pChild = MDIGetActive(); pChild != nullptr) {
        // The child puts its frame's menu back with the window list.
        ::SendMessage(m_hWndMDIClient, WM_MDISETMENU,
                      reinterpret_cast<WPARAM>(hMenuAlt != nullptr ? hMenuAlt : m_hMenuDefault),
                      reinterpret_cast<LPARAM>(FindWindowMenu(hMenuAlt != nullptr ? hMenuAlt
                                                                                  : m_hMenuDefault)));
        return;
    }
    HMENU hMenu = hMenuAlt != nullptr ? hMenuAlt : m_hMenuDefault;
    ::SendMessage(m_hWndMDIClient, WM_MDISETMENU, reinterpret_cast<WPARAM>(hMenu),
                  reinterpret_cast<LPARAM>(FindWindowMenu(hMenu)));
}

CFrameWnd* CMDIFrameWnd::GetActiveFrame()
{
    CMDIChildWnd* pChild = MDIGetActive();
    return pChild != nullptr ? static_cast<CFrameWnd*>(pChild) : this;
}

CDocument* CMDIFrameWnd::GetActiveDocument()
{
    CFrameWnd* pFrame = GetActiveFrame();
    return pFrame != this ? pFrame->GetActiveDocument() : CFrameWnd::GetActiveDocument();
}

BOOL CMDIFrameWnd::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CMDIChildWnd* pChild = MDIGetActive();
        pChild != nullptr && pChild->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return CFrameWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

BOOL CMDIFrameWnd::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST)
        return FALSE;
    if (m_hAccelTable != nullptr && ::TranslateAccelerator(m_hWnd, m_hAccelTable, pMsg))
        return TRUE;
    // Ctrl+F4, Ctrl+F6 and the child's system menu when no view takes the keys itself.
    if (pMsg->message == WM_KEYDOWN || pMsg->message == WM_SYSKEYDOWN)
        return m_hWndMDIClient != nullptr && ::TranslateMDISysAccel(m_hWndMDIClient, pMsg);
    return FALSE;
}

LRESULT CMDIFrameWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefFrameProc(m_hWnd, m_hWndMDIClient, message, wParam, lParam);
}

void CMDIFrameWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    if ((GetStyle() & FWS_ADDTOTITLE) == 0)
        return;
    BOOL bMaximized = FALSE;
    CMDIChildWnd* pChild = MDIGetActive(&bMaximized);
    CDocument* pDocument = pChild != nullptr ? pChild->GetActiveDocument() : nullptr;
    // A maximized child's name shows in the frame's caption through the MDI machinery.
    if (bAddToTitle && pDocument != nullptr && !bMaximized) {
        CString name = pDocument->GetTitle();
        if (pChild->m_nWindow > 0) {
            CString number;
            number.Format(":%d", pChild->m_nWindow);
            name += number;
        }
        UpdateFrameTitleForDocument(name);
    } else {
        UpdateFrameTitleForDocument(nullptr);
    }
}

void CMDIFrameWnd::OnWindowNew()
{
    CMDIChildWnd* pChild = MDIGetActive();
    CDocument* pDocument = pChild != nullptr ? pChild->GetActiveDocument() : nullptr;
    CDocTemplate* pTemplate = pDocument != nullptr ? pDocument->GetDocTemplate() : nullptr;
    CFrameWnd* pFrame =
        pTemplate != nullptr ? pTemplate->CreateNewFrame(pDocument, pChild) : nullptr;
    if (pFrame == nullptr) {
        CString text;
        if (!text.LoadString(AFX_IDP_COMMAND_FAILURE))
            text = "Command failed.";
        AfxMessageBox(text, MB_ICONEXCLAMATION);
        return;
    }
    pTemplate->InitialUpdateFrame(pFrame, pDocument);
}

void CMDIFrameWnd::OnUpdateWindowNew(CCmdUI* pCmdUI)
{
    CMDIChildWnd* pChild = MDIGetActive();
    pCmdUI->Enable(pChild != nullptr && pChild->GetActiveDocument() != nullptr);
}

LRESULT CMDIFrameWnd::OnCommandHelp(WPARAM wParam, LPARAM lParam)
{
    if (CMDIChildWnd* pChild = MDIGetActive();
        pChild != nullptr && pChild->SendMessage(WM_COMMANDHELP, wParam, lParam) != 0)
        return TRUE;
    return AfxFrameCommandHelp(this, lParam);
}

// --- CMDIChildWnd ---

BEGIN_MESSAGE_MAP(CMDIChildWnd, CFrameWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_MESSAGE(WM_MDIACTIVATE, OnMDIActivate)
ON_MESSAGE(WM_COMMANDHELP, OnCommandHelp)
END_MESSAGE_MAP()

LRESULT CMDIChildWnd::OnCommandHelp(WPARAM, LPARAM lParam)
{
    return AfxFrameCommandHelp(this, lParam);
}

void CMDIChildWnd::OnDestroy()
{
    // The frames left over over the same document count again without this one.
    if (m_pFrameDocument != nullptr)
        AfxUpdateMDIFrameCounts(GetMDIFrame(), m_pFrameDocument, this);
    CFrameWnd::OnDestroy();
}

int CMDIChildWnd::OnCreate(LPCREATESTRUCT lpcs)
{
    if (Default() == -1)
        return -1;
    auto* pMDI = static_cast<MDICREATESTRUCTA*>(lpcs->lpCreateParams);
    auto* pContext = pMDI != nullptr ? reinterpret_cast<CCreateContext*>(pMDI->lParam) : nullptr;
    static unsigned s_nSerial = 0;
    m_nSerial = ++s_nSerial;
    if (!OnCreateClient(lpcs, pContext))
        return -1;
    if (pContext != nullptr && pContext->m_pCurrentDoc != nullptr) {
        m_pFrameDocument = pContext->m_pCurrentDoc;
        AfxUpdateMDIFrameCounts(GetMDIFrame(), m_pFrameDocument, nullptr);
    }
    RecalcLayout();
    m_nIdleFlags |= idleTitle;
    return 0;
}

BOOL CMDIChildWnd::PreCreateWindow(CREATESTRUCT& cs)
{
    const LONG addToTitle = cs.style & static_cast<LONG>(FWS_ADDTOTITLE);
    if (!CFrameWnd::PreCreateWindow(cs))
        return FALSE;
    cs.style |= addToTitle | WS_CHILD;
    return TRUE;
}

BOOL CMDIChildWnd::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle,
                          const RECT& rect, CMDIFrameWnd* pParentWnd, CCreateContext* pContext)
{
    if (pParentWnd == nullptr)
        pParentWnd = dynamic_cast<CMDIFrameWnd*>(AfxGetMainWnd());
    if (pParentWnd == nullptr || pParentWnd->m_hWndMDIClient == nullptr)
        return FALSE;
    // The children are laid out in what the frame's bars leave of its client area.
    pParentWnd->RecalcLayout();

    CREATESTRUCT cs{};
    cs.style = static_cast<LONG>(dwStyle & ~(WS_VISIBLE | WS_MAXIMIZE));
    cs.lpszClass = lpszClassName;
    cs.lpszName = lpszWindowName;
    cs.x = rect.left;
    cs.y = rect.top;
    cs.cx = rect.left == CW_USEDEFAULT ? CW_USEDEFAULT : rect.right - rect.left;
    cs.cy = rect.left == CW_USEDEFAULT ? CW_USEDEFAULT : rect.bottom - rect.top;
    cs.hwndParent = pParentWnd->m_hWnd;
    cs.hInstance = AfxGetInstanceHandle();
    if (!PreCreateWindow(cs)) {
        PostNcDestroy();
        return FALSE;
    }
    if (lpszWindowName != nullptr)
        m_strTitle = lpszWindowName;

    MDICREATESTRUCTA mcs{};
    mcs.szClass = cs.lpszClass;
    mcs.szTitle = cs.lpszName;
    mcs.hOwner = cs.hInstance;
    mcs.x = cs.x;
    mcs.y = cs.y;
    mcs.cx = cs.cx;
    mcs.cy = cs.cy;
    mcs.style = static_cast<DWORD>(cs.style) & ~(WS_VISIBLE | WS_MAXIMIZE);
    mcs.lParam = reinterpret_cast<LPARAM>(pContext);

    AfxHookWindowCreate(this);
    HWND hWnd = reinterpret_cast<HWND>(::SendMessage(pParentWnd->m_hWndMDIClient, WM_MDICREATE,
                                                     0, reinterpret_cast<LPARAM>(&mcs)));
    if (!AfxUnhookWindowCreate())
        PostNcDestroy();
    if (hWnd == nullptr)
        return FALSE;

    if (dwStyle & WS_VISIBLE) {
        ::BringWindowToTop(hWnd);
        if (dwStyle & WS_MINIMIZE)
            ShowWindow(SW_SHOWMINNOACTIVE);
        else if (dwStyle & WS_MAXIMIZE)
            ShowWindow(SW_SHOWMAXIMIZED);
        else
            ShowWindow(SW_SHOWNOACTIVATE);
        pParentWnd->MDIActivate(this);
        ::SendMessage(pParentWnd->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
    }
    return TRUE;
}

BOOL CMDIChildWnd::LoadFrame(UINT nIDResource, DWORD dwDefaultStyle, CWnd* pParentWnd,
                             CCreateContext* pContext)
{
    auto* pFrame = dynamic_cast<CMDIFrameWnd*>(pParentWnd);
    return LoadFrameFromResource(nIDResource, reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1), pContext,
                                 [&](LPCTSTR lpszClass, LPCTSTR lpszTitle) {
                                     return Create(lpszClass, lpszTitle,
                                                   dwDefaultStyle & ~WS_VISIBLE, rectDefault,
                                                   pFrame, pContext);
                                 });
}

CMDIFrameWnd* CMDIChildWnd::GetMDIFrame() const
{
    HWND hClient = m_hWnd != nullptr ? ::GetParent(m_hWnd) : nullptr;
    HWND hFrame = hClient != nullptr ? ::GetParent(hClient) : nullptr;
    return dynamic_cast<CMDIFrameWnd*>(CWnd::FromHandlePermanent(hFrame));
}

void CMDIChildWnd::MDIActivate()
{
    if (CMDIFrameWnd* pFrame = GetMDIFrame())
        pFrame->MDIActivate(this);
}

void CMDIChildWnd::MDIMaximize()
{
    if (CMDIFrameWnd* pFrame = GetMDIFrame())
        pFrame->MDIMaximize(this);
}

void CMDIChildWnd::MDIRestore()
{
    if (CMDIFrameWnd* pFrame = GetMDIFrame())
        pFrame->MDIRestore(this);
}

void CMDIChildWnd::MDIDestroy()
{
    if (CMDIFrameWnd* pFrame = GetMDIFrame())
        ::SendMessage(pFrame->m_hWndMDIClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

BOOL CMDIChildWnd::DestroyWindow()
{
    if (m_hWnd == nullptr)
        return FALSE;
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (pFrame == nullptr || pFrame->m_hWndMDIClient == nullptr)
        return CFrameWnd::DestroyWindow();
    HWND hWnd = m_hWnd;
    // The object is gone after this (PostNcDestroy); the frame's title follows the next child.
    if (pFrame->GetActiveView() != nullptr && pFrame->GetActiveView()->GetParentFrame() == this)
        pFrame->SetActiveView(nullptr, FALSE);
    ::SendMessage(pFrame->m_hWndMDIClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(hWnd), 0);
    pFrame->OnUpdateFrameTitle(TRUE);
    return TRUE;
}

BOOL CMDIChildWnd::PreTranslateMessage(MSG* pMsg)
{
    // The frame's accelerators, translated for the MDI frame's window.
    CMDIFrameWnd* pFrame = GetMDIFrame();
    HACCEL hAccel = m_hAccelTable != nullptr ? m_hAccelTable
                    : pFrame != nullptr      ? pFrame->m_hAccelTable
                                             : nullptr;
    if (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST && hAccel != nullptr &&
        pFrame != nullptr)
        return ::TranslateAccelerator(pFrame->m_hWnd, hAccel, pMsg);
    return FALSE;
}

void CMDIChildWnd::ActivateFrame(int nCmdShow)
{
    CMDIFrameWnd* pFrame = GetMDIFrame();
    if (nCmdShow == -1) {
        BOOL bMaximized = FALSE;
        if (pFrame != nullptr)
            pFrame->MDIGetActive(&bMaximized);
        nCmdShow = bMaximized || (GetStyle() & WS_MAXIMIZE) ? SW_SHOWMAXIMIZED
                   : (GetStyle() & WS_MINIMIZE)             ? SW_SHOWMINIMIZED
                                                            : SW_SHOWNORMAL;
    }
    ShowWindow(nCmdShow);
    MDIActivate();
    if (pFrame != nullptr)
        ::SendMessage(pFrame->m_hWndMDIClient, WM_MDIREFRESHMENU, 0, 0);
}

void CMDIChildWnd::OnUpdateFrameTitle(BOOL bAddToTitle)
{
    CDocument* pDocument = GetActiveDocument();
    if (bAddToTitle && pDocument != nullptr && (GetStyle() & FWS_ADDTOTITLE)) {
        CString text = pDocument->GetTitle();
        if (m_nWindow > 0) {
            CString number;
            number.Format(":%d", m_nWindow);
            text += number;
        }
        CString current;
        GetWindowText(current);
        if (current != text)
            SetWindowText(text);
    }
    if (CMDIFrameWnd* pFrame = GetMDIFrame())
        pFrame->OnUpdateFrameTitle(bAddToTitle);
}

LRESULT CMDIChildWnd::DefWindowProc(UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefMDIChildProc(m_hWnd, message, wParam, lParam);
}

LRESULT CMDIChildWnd::OnMDIActivate(WPARAM, LPARAM lParam)
{
    const BOOL bActivate = reinterpret_cast<HWND>(lParam) == m_hWnd;
    Default();
    CView* pView = GetActiveView();
    if (pView != nullptr)
        pView->OnActivateView(bActivate, pView, pView);
    if (CMDIFrameWnd* pFrame = GetMDIFrame(); pFrame != nullptr && bActivate)
        pFrame->OnUpdateFrameTitle(TRUE);
    return 0;
}

// --- CMultiDocTemplate ---

CMultiDocTemplate::CMultiDocTemplate(UINT nIDResource, CRuntimeClass* pDocClass,
                                     CRuntimeClass* pFrameClass, CRuntimeClass* pViewClass)
    : CDocTemplate(nIDResource, pDocClass, pFrameClass, pViewClass)
{
    LoadTemplate();
}

CMultiDocTemplate::~CMultiDocTemplate()
{
    CloseAllDocuments(FALSE);
}

void CMultiDocTemplate::AddDocument(CDocument* pDoc)
{
    CDocTemplate::AddDocument(pDoc);
    m_docList.AddTail(pDoc);
}

void CMultiDocTemplate::RemoveDocument(CDocument* pDoc)
{
    if (POSITION pos = m_docList.Find(pDoc); pos != nullptr)
        m_docList.RemoveAt(pos);
    CDocTemplate::RemoveDocument(pDoc);
}

POSITION CMultiDocTemplate::GetFirstDocPosition() const
{
    return m_docList.GetHeadPosition();
}

CDocument* CMultiDocTemplate::GetNextDoc(POSITION& rPos) const
{
    return static_cast<CDocument*>(m_docList.GetNext(rPos));
}

void CMultiDocTemplate::SetDefaultTitle(CDocument* pDocument)
{
    CString title;
    if (!GetDocString(title, docName) || title.IsEmpty())
        title.LoadString(AFX_IDS_UNTITLED);
    if (title.IsEmpty())
        title = "Untitled";
    CString number;
    number.Format("%u", ++m_nUntitledCount);
    pDocument->SetTitle(title + number);
}

CDocument* CMultiDocTemplate::OpenDocumentFile(LPCTSTR lpszPathName, BOOL bMakeVisible)
{
    CDocument* pDocument = CreateNewDocument();
    if (pDocument == nullptr)
        return nullptr;
    // The document must not close itself while its first view comes and goes.
    BOOL bAutoDelete = pDocument->m_bAutoDelete;
    pDocument->m_bAutoDelete = FALSE;
    CFrameWnd* pFrame = CreateNewFrame(pDocument, nullptr);
    pDocument->m_bAutoDelete = bAutoDelete;
    if (pFrame == nullptr) {
        delete pDocument;
        return nullptr;
    }
    if (lpszPathName == nullptr) {
        SetDefaultTitle(pDocument);
        if (!pDocument->OnNewDocument()) {
            pFrame->DestroyWindow(); // takes the view and with it the document
            return nullptr;
        }
    } else {
        CWaitCursor wait;
        if (!pDocument->OnOpenDocument(lpszPathName)) {
            pFrame->DestroyWindow();
            return nullptr;
        }
        pDocument->SetPathName(lpszPathName);
    }
    InitialUpdateFrame(pFrame, pDocument, bMakeVisible);
    return pDocument;
}

void CMultiDocTemplate::CloseAllDocuments(BOOL)
{
    // Each document leaves the list as it closes.
    while (!m_docList.IsEmpty()) {
        auto* pDoc = static_cast<CDocument*>(m_docList.GetHead());
        pDoc->OnCloseDocument();
        if (!m_docList.IsEmpty() && m_docList.GetHead() == pDoc)
            RemoveDocument(pDoc); // a document that stays (not auto-deleting)
    }
}
