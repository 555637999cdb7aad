// CView and CFormView.
#include "framework/view.h"

#include "framework/document.h"

IMPLEMENT_DYNAMIC(CView, CWnd)
IMPLEMENT_DYNAMIC(CFormView, CView)

BEGIN_MESSAGE_MAP(CView, CWnd)
ON_WM_CREATE()
ON_WM_DESTROY()
ON_WM_PAINT()
ON_MESSAGE(WM_INITIALUPDATE, OnInitialUpdateMessage)
END_MESSAGE_MAP()

CView::~CView()
{
    if (m_pDocument != nullptr)
        m_pDocument->RemoveView(this);
}

BOOL CView::Create(LPCTSTR lpszClassName, LPCTSTR lpszWindowName, DWORD dwStyle, const RECT& rect,
                   CWnd* pParentWnd, UINT nID, CCreateContext* pContext)
{
    m_pCreateContext = pContext;
    BOOL ok = CWnd::Create(lpszClassName, lpszWindowName, dwStyle, rect, pParentWnd, nID,
                           pContext);
    // A failed Create may have deleted this object (PostNcDestroy); touch nothing then.
    if (ok)
        m_pCreateContext = nullptr;
    return ok;
}

BOOL CView::PreCreateWindow(CREATESTRUCT& cs)
{
    if (cs.lpszClass == nullptr) {
        static LPCTSTR viewClass = AfxRegisterWndClass(
            CS_DBLCLKS | CS_HREDRAW | CS_VREDRAW, ::LoadCursor(nullptr, IDC_ARROW),
            reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        cs.lpszClass = viewClass;
    }
    return TRUE;
}

int CView::OnCreate(LPCREATESTRUCT)
{
    if (Default() == -1)
        return -1;
    if (m_pCreateContext != nullptr && m_pCreateContext->m_pCurrentDoc != nullptr)
        m_pCreateContext->m_pCurrentDoc->AddView(this);
    return 0;
}

void CView::OnDestroy()
{
    if (CFrameWnd* pFrame = GetParentFrame(); pFrame != nullptr && pFrame->GetActiveView() == this)
        pFrame->SetActiveView(nullptr, FALSE);
    Default();
}

void CView::OnPaint()
{
    PAINTSTRUCT ps;
    HDC hdc = ::BeginPaint(m_hWnd, &ps);
    OnDraw(CDC::FromHandle(hdc));
    ::EndPaint(m_hWnd, &ps);
}

LRESULT CView::OnInitialUpdateMessage(WPARAM, LPARAM)
{
    OnInitialUpdate();
    return 0;
}

void CView::OnInitialUpdate()
{
    OnUpdate(nullptr, 0, nullptr);
}

void CView::OnUpdate(CView*, LPARAM, CObject*)
{
    Invalidate(TRUE);
}

void CView::OnActivateView(BOOL bActivate, CView* pActivateView, CView*)
{
    if (bActivate && pActivateView == this && m_hWnd != nullptr) {
        CFrameWnd* pFrame = GetParentFrame();
        if (pFrame != nullptr && ::GetActiveWindow() == pFrame->m_hWnd &&
            !::IsChild(m_hWnd, ::GetFocus()))
            ::SetFocus(m_hWnd);
    }
}

BOOL CView::OnCmdMsg(UINT nID, int nCode, void* pExtra, AFX_CMDHANDLERINFO* pHandlerInfo)
{
    if (CWnd::OnCmdMsg(nID, nCode, pExtra, pHandlerInfo))
        return TRUE;
    return m_pDocument != nullptr && m_pDocument->OnCmdMsg(nID, nCode, pExtra, pHandlerInfo);
}

namespace {

// Every message but the first reaches the form through AfxWndProc; the dialog manager only
// needs a procedure that declines them.
INT_PTR CALLBACK FormDlgProc(HWND, UINT, WPARAM, LPARAM)
{
    return FALSE;
}

} // namespace

BOOL CFormView::Create(LPCTSTR, LPCTSTR, DWORD dwStyle, const RECT& rect, CWnd* pParentWnd,
                       UINT nID, CCreateContext* pContext)
{
    m_pCreateContext = pContext;
    AfxHookWindowCreate(this);
    HWND hWnd = ::CreateDialogParam(AfxGetResourceHandle(), MAKEINTRESOURCE(m_nIDTemplate),
                                    AfxHwnd(pParentWnd), &FormDlgProc, 0);
    if (!AfxUnhookWindowCreate()) {
        PostNcDestroy(); // never bound: nothing else will delete the object
        return FALSE;
    }
    if (hWnd == nullptr)
        return FALSE; // WM_NCDESTROY went through the object, which is gone now
    m_pCreateContext = nullptr;
    ::SetWindowLongPtr(hWnd, GWLP_ID, static_cast<LONG_PTR>(nID));
    ::SetWindowPos(hWnd, nullptr, rect.left, rect.top, rect.right - rect.left,
                   rect.bottom - rect.top, SWP_NOZORDER | SWP_NOACTIVATE);
    if (dwStyle & WS_VISIBLE)
        ::ShowWindow(hWnd, SW_SHOWNORMAL);
    return TRUE;
}

void CFormView::OnInitialUpdate()
{
    UpdateData(FALSE);
    CView::OnInitialUpdate();
}

BOOL CFormView::PreTranslateMessage(MSG* pMsg)
{
    // The dialog manager would take the frame's accelerator keys, so the frames come first.
    for (CFrameWnd* pFrame = GetParentFrame(); pFrame != nullptr;
         pFrame = pFrame->GetParentFrame())
        if (pFrame->PreTranslateMessage(pMsg))
            return TRUE;
    bool input = (pMsg->message >= WM_KEYFIRST && pMsg->message <= WM_KEYLAST) ||
                 (pMsg->message >= WM_MOUSEFIRST && pMsg->message <= WM_MOUSELAST);
    if (!input || (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd)))
        return FALSE;
    return ::IsDialogMessage(m_hWnd, pMsg);
}
