// CDialog's creation and modal loop, and the common dialogs.
#include "framework/dialog.h"

#include <shlobj.h>

#include "framework/app.h"

IMPLEMENT_DYNAMIC(CDialog, CWnd)

BEGIN_MESSAGE_MAP(CDialog, CWnd)
ON_COMMAND(IDOK, OnOK)
ON_COMMAND(IDCANCEL, OnCancel)
END_MESSAGE_MAP()

namespace {

// The dialog procedure behind the subclassed dialog: only WM_INITDIALOG needs it, since every
// other message reaches the object through AfxWndProc first.
INT_PTR CALLBACK AfxDlgProc(HWND hWnd, UINT message, WPARAM, LPARAM)
{
    if (message != WM_INITDIALOG)
        return FALSE;
    auto* pDlg = dynamic_cast<CDialog*>(CWnd::FromHandlePermanent(hWnd));
    return pDlg != nullptr ? pDlg->OnInitDialog() : TRUE;
}

} // namespace

BOOL CDialog::InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd)
{
    m_lpDialogTemplate = lpDialogTemplate;
    m_pParentWnd = pParentWnd;
    return lpDialogTemplate != nullptr;
}

HWND CDialog::CreateFromTemplate(HWND hWndParent)
{
    AfxHookWindowCreate(this);
    HWND hWnd = nullptr;
    if (m_lpDialogTemplate != nullptr)
        hWnd = ::CreateDialogIndirectParam(AfxGetResourceHandle(), m_lpDialogTemplate,
                                           hWndParent, &AfxDlgProc, 0);
    else
        hWnd = ::CreateDialogParam(AfxGetResourceHandle(), MAKEINTRESOURCE(m_nIDTemplate),
                                   hWndParent, &AfxDlgProc, 0);
    AfxUnhookWindowCreate();
    return hWnd;
}

BOOL CDialog::Create(UINT nIDTemplate, CWnd* pParentWnd)
{
    m_nIDTemplate = nIDTemplate;
    m_lpDialogTemplate = nullptr;
    m_pParentWnd = pParentWnd;
    m_bModal = false;
    return CreateFromTemplate(AfxHwnd(pParentWnd)) != nullptr;
}

// The window a modal dialog of pParent disables: the top-level window of the parent (or of the
// main window), so a dialog opened from a child such as a view still blocks the whole frame.
static HWND ModalOwner(CWnd* pParentWnd)
{
    HWND h = AfxHwnd(pParentWnd);
    if (h == nullptr)
        h = AfxHwnd(AfxGetMainWnd());
    while (h != nullptr && (::GetWindowLongPtr(h, GWL_STYLE) & WS_CHILD) != 0)
        h = ::GetParent(h);
    return h;
}

INT_PTR CDialog::DoModal()
{
    HWND hOwner = ModalOwner(m_pParentWnd);
    bool enableOwner = hOwner != nullptr && ::IsWindowEnabled(hOwner);
    m_bModal = true;
    m_nModalResult = -1;
    m_bContinueModal = true;
    if (CreateFromTemplate(hOwner) == nullptr) {
        m_bModal = false;
        return -1;
    }
    if (enableOwner)
        ::EnableWindow(hOwner, FALSE);
    RunModalLoop();
    if (m_hWnd != nullptr)
        ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                       SWP_HIDEWINDOW | SWP_NOSIZE | SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    // The owner is enabled before the dialog goes, so the activation returns to it.
    if (enableOwner) {
        ::EnableWindow(hOwner, TRUE);
        ::SetActiveWindow(hOwner);
    }
    DestroyWindow();
    m_bModal = false;
    return m_nModalResult;
}

int CDialog::RunModalLoop()
{
    // A dialog that ended in OnInitDialog is never shown.
    if (m_bContinueModal && m_hWnd != nullptr && !::IsWindowVisible(m_hWnd))
        ::ShowWindow(m_hWnd, SW_SHOWNORMAL);
    LONG lIdleCount = 0;
    while (m_bContinueModal) {
        // A dialog destroyed under the loop (its owner went away) ends it.
        if (m_hWnd == nullptr || !::IsWindow(m_hWnd)) {
            m_bContinueModal = false;
            break;
        }
        MSG msg;
        if (!::PeekMessage(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (CWinThread* pThread = AfxGetThread(); pThread != nullptr && lIdleCount < 2)
                pThread->OnIdle(lIdleCount++);
        }
        if (!::GetMessage(&msg, nullptr, 0, 0)) {
            ::PostQuitMessage(static_cast<int>(msg.wParam)); // the outer loop must see it too
            m_bContinueModal = false;
            break;
        }
        lIdleCount = 0;
        if (!AfxPreTranslateMessage(&msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessage(&msg);
        }
    }
    return m_nModalResult;
}

void CDialog::EndModalLoop(int nResult)
{
    m_nModalResult = nResult;
    if (m_bContinueModal) {
        m_bContinueModal = false;
        ::PostMessage(m_hWnd, WM_NULL, 0, 0); // wake the loop if it waits in GetMessage
    }
}

void CDialog::EndDialog(int nResult)
{
    if (m_bModal)
        EndModalLoop(nResult);
    else
        ::EndDialog(m_hWnd, nResult);
}

BOOL CDialog::PreTranslateMessage(MSG* pMsg)
{
    if (pMsg->message < WM_KEYFIRST || pMsg->message > WM_KEYLAST)
        return FALSE;
    if (pMsg->hwnd != m_hWnd && !::IsChild(m_hWnd, pMsg->hwnd))
        return FALSE;
    return ::IsDialogMessage(m_hWnd, pMsg);
}

CColorDialog::CColorDialog(COLORREF clrInit, DWORD dwFlags, CWnd* pParentWnd)
{
    m_cc.lStructSize = sizeof(m_cc);
    m_cc.hwndOwner = AfxHwnd(pParentWnd);
    m_cc.rgbResult = clrInit;
    m_cc.lpCustColors = m_custom;
    m_cc.Flags = dwFlags | (clrInit != 0 ? CC_RGBINIT : 0);
}

IMPLEMENT_DYNAMIC(CCommonDialog, CDialog)

HWND CCommonDialog::PreModal()
{
    m_bModal = true;
    return ModalOwner(m_pParentWnd);
}

void CCommonDialog::PostModal()
{
    m_bModal = false;
}

INT_PTR CColorDialog::DoModal()
{
    return ::ChooseColor(&m_cc) ? IDOK : IDCANCEL;
}

CFontDialog::CFontDialog(const LOGFONT* lplfInitial, DWORD dwFlags, CDC* pdcPrinter,
                         CWnd* pParentWnd)
{
    if (lplfInitial != nullptr) {
        m_lf = *lplfInitial;
        dwFlags |= CF_INITTOLOGFONTSTRUCT;
    }
    m_cf.lStructSize = sizeof(m_cf);
    m_cf.hwndOwner = AfxHwnd(pParentWnd);
    m_cf.hDC = CDC::AfxHdc(pdcPrinter);
    m_cf.lpLogFont = &m_lf;
    m_cf.Flags = dwFlags;
}

INT_PTR CFontDialog::DoModal()
{
    return ::ChooseFont(&m_cf) ? IDOK : IDCANCEL;
}

CFileDialog::CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt, LPCTSTR lpszFileName,
                         DWORD dwFlags, LPCTSTR lpszFilter, CWnd* pParentWnd)
    : m_bOpenFileDialog(bOpenFileDialog)
{
    m_ofn.lStructSize = sizeof(m_ofn);
    m_ofn.hwndOwner = AfxHwnd(pParentWnd);
    m_ofn.Flags = dwFlags | OFN_EXPLORER | OFN_ENABLESIZING;
    m_ofn.lpstrFile = m_szFileName;
    m_ofn.nMaxFile = sizeof(m_szFileName) / sizeof(m_szFileName[0]);
    if (lpszFileName != nullptr)
        lstrcpyn(m_szFileName, lpszFileName, m_ofn.nMaxFile);
    if (lpszDefExt != nullptr) {
        m_strDefExt = lpszDefExt;
        m_ofn.lpstrDefExt = m_strDefExt;
    }
    if (lpszFilter != nullptr) {
        // "a|b|c|d||" becomes "a\0b\0c\0d\0\0"; the buffer keeps its own terminator.
        m_strFilter = lpszFilter;
        m_strFilter += '|';
        LPTSTR p = m_strFilter.GetBuffer();
        for (LPTSTR q = p; *q != 0; ++q)
            if (*q == '|')
                *q = 0;
        m_ofn.lpstrFilter = p;
    }
}

INT_PTR CFileDialog::DoModal()
{
    BOOL ok = m_bOpenFileDialog ? ::GetOpenFileName(&m_ofn) : ::GetSaveFileName(&m_ofn);
    return ok ? IDOK : IDCANCEL;
}

CString CFileDialog::GetFileName() const
{
    return CString(m_szFileName + m_ofn.nFileOffset);
}

POSITION CFileDialog::GetStartPosition() const
{
    if (m_ofn.lpstrFile == nullptr || m_ofn.lpstrFile[0] == 0)
        return nullptr;
    return reinterpret_cast<POSITION>(m_ofn.lpstrFile);
}

// A multiple selection fills the buffer with the folder, then each file name, each ended by a
// zero, and a final zero; a single file chosen there comes as one full path.
CString CFileDialog::GetNextPathName(POSITION& pos) const
{
    LPCTSTR pBuffer = m_ofn.lpstrFile;
    LPCTSTR pEnd = pBuffer + m_ofn.nMaxFile;
    auto* p = reinterpret_cast<LPCTSTR>(pos);
    pos = nullptr;
    if (p == nullptr || pBuffer == nullptr)
        return CString();
    // A text not ended inside the buffer is never read.
    const auto ended = [pEnd](LPCTSTR q) {
        while (q < pEnd && *q != 0)
            ++q;
        return q < pEnd;
    };
    const auto next = [pEnd](LPCTSTR q) -> LPCTSTR {
        while (q < pEnd && *q != 0)
            ++q;
        return q + 1 < pEnd ? q + 1 : nullptr;
    };
    if (!ended(pBuffer))
        return CString();
    if (!(m_ofn.Flags & OFN_ALLOWMULTISELECT))
        return CString(pBuffer);
    if (p == pBuffer) {
        p = next(pBuffer);
        if (p == nullptr || *p == 0)
            return CString(pBuffer);
    }
    if (!ended(p))
        return CString();
    CString strPath = pBuffer;
    if (!strPath.IsEmpty() && strPath[strPath.GetLength() - 1] != '\\')
        strPath += '\\';
    strPath += p;
    LPCTSTR pNext = next(p);
    if (pNext != nullptr && *pNext != 0)
        pos = reinterpret_cast<POSITION>(const_cast<LPTSTR>(pNext));
    return strPath;
}
BOOL AfxBrowseForFolder(HWND hWndOwner, LPCTSTR lpszTitle, UINT ulFlags, CString& rPath)
{
    BROWSEINFO bi{};
    bi.hwndOwner = hWndOwner;
    bi.lpszTitle = lpszTitle;
    bi.ulFlags = ulFlags;
    LPITEMIDLIST pidl = ::SHBrowseForFolder(&bi);
    if (pidl == nullptr)
        return FALSE;
    TCHAR path[MAX_PATH] = {};
    BOOL ok = ::SHGetPathFromIDList(pidl, path);
    ::CoTaskMemFree(pidl);
    if (ok)
        rPath = path;
    return ok;
}
