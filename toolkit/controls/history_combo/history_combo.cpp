#include "toolkit/controls/history_combo/history_combo.h"

#include <cstring>

#include "framework/app.h"
#include "framework/cmd_ui.h"
#include "framework/dialog.h"

namespace
{

constexpr char kHistoryKey[] = "HistoryCombo";
constexpr REGSAM kWriteAccess = KEY_READ | KEY_CREATE_SUB_KEY | KEY_SET_VALUE;

// Opens "Software", then each of the further names in turn (created when writing); null when
// one of them cannot be opened. Every intermediate key is closed.
HKEY OpenHistoryKey(HKEY hRoot, std::initializer_list<LPCTSTR> names, bool bWrite)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyEx(hRoot, "Software", 0, bWrite ? kWriteAccess : KEY_READ, &hKey) !=
        ERROR_SUCCESS)
        return nullptr;
    for (LPCTSTR name : names) {
        HKEY hSub = nullptr;
        LONG rc = bWrite ? ::RegCreateKeyEx(hKey, name, 0, nullptr, 0, kWriteAccess, nullptr, &hSub,
                                            nullptr)
                         : ::RegOpenKeyEx(hKey, name, 0, KEY_READ, &hSub);
        ::RegCloseKey(hKey);
        if (rc != ERROR_SUCCESS)
            return nullptr;
        hKey = hSub;
    }
    return hKey;
}

} // namespace

COXHistoryCombo::BrowseParams::BrowseParams()
{
    char szDir[MAX_PATH + 1] = "";
    if (::GetCurrentDirectory(MAX_PATH, szDir) <= MAX_PATH)
        sInitialDir = szDir;
}

IMPLEMENT_DYNAMIC(COXHistoryCombo, CComboBox)

// clang-format off
BEGIN_MESSAGE_MAP(COXHistoryCombo, CComboBox)
    ON_WM_CREATE()
    ON_MESSAGE(WM_IDLEUPDATECMDUI, OnIdleUpdateCmdUI)
    ON_WM_DESTROY()
    ON_COMMAND(ID_OX_HISTORY_COMBO_NEW, OnAddItem)
    ON_UPDATE_COMMAND_UI(ID_OX_HISTORY_COMBO_NEW, OnUpdateAddItem)
    ON_COMMAND(ID_OX_HISTORY_COMBO_DELETE, OnDeleteItem)
    ON_UPDATE_COMMAND_UI(ID_OX_HISTORY_COMBO_DELETE, OnUpdateDeleteItem)
    ON_COMMAND(ID_OX_HISTORY_COMBO_BROWSE, OnBrowseItem)
    ON_UPDATE_COMMAND_UI(ID_OX_HISTORY_COMBO_BROWSE, OnUpdateBrowseItem)
    ON_COMMAND(ID_OX_HISTORY_COMBO_RESERVED1, OnReserved)
    ON_UPDATE_COMMAND_UI(ID_OX_HISTORY_COMBO_RESERVED1, OnUpdateReserved)
    ON_COMMAND(ID_OX_HISTORY_COMBO_RESERVED2, OnReserved)
    ON_UPDATE_COMMAND_UI(ID_OX_HISTORY_COMBO_RESERVED2, OnUpdateReserved)
    ON_WM_WINDOWPOSCHANGED()
    ON_MESSAGE(WM_ENABLE, OnEnable)
    ON_NOTIFY_EX_RANGE(TTN_NEEDTEXTA, 0, 0xFFFF, OnToolTipText)
    // Other commands of the toolbar belong to the combo's parent.
    ON_COMMAND_RANGE(0, 0xFFFF, OnToolbarCommand)
    ON_UPDATE_COMMAND_UI_RANGE(0, 0xFFFF, OnUpdateToolbarCommand)
END_MESSAGE_MAP()
// clang-format on

COXHistoryCombo::COXHistoryCombo(UINT nToolbarPosition, BOOL bNoBorder, UINT nToolbarResourceID)
    : m_nToolbarPosition(nToolbarPosition), m_bNoBorder(bNoBorder), m_pToolbar(new CMFCToolBar),
      m_nToolbarResourceID(nToolbarResourceID)
{
    for (int i = 0; i < kButtonCount; ++i)
        m_abShowButton[i] = i < 3;
}

COXHistoryCombo::~COXHistoryCombo()
{
    if (m_hWnd != nullptr)
        DestroyWindow();
    if (m_pToolbar != nullptr && m_pToolbar->m_hWnd != nullptr)
        m_pToolbar->DestroyWindow();
    delete m_pToolbar;
}

void COXHistoryCombo::PreSubclassWindow()
{
    CComboBox::PreSubclassWindow();
    if (!AfxIsWindowCreationUnderway() && ::GetParent(m_hWnd) != nullptr)
        InitCombo(nullptr);
}

int COXHistoryCombo::OnCreate(LPCREATESTRUCT lpCreateStruct)
{
    int nResult = static_cast<int>(Default());
    if (nResult != -1)
        InitCombo(CWnd::FromHandle(lpCreateStruct->hwndParent));
    return nResult;
}

void COXHistoryCombo::InitCombo(CWnd* pParentWnd)
{
    if (pParentWnd == nullptr)
        pParentWnd = GetParent();
    if (m_pToolbar->m_hWnd == nullptr &&
        !m_pToolbar->Create(pParentWnd, WS_CHILD | CBRS_TOOLTIPS, AFX_IDW_TOOLBAR))
        return;
    // Both at the top of the z-order (a null window is HWND_TOP).
    m_pToolbar->SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // The combo gets the toolbar's commands: as owner for the framework's routing, and as the
    // control's notification window for its buttons' own WM_COMMAND.
    m_pToolbar->SetOwner(this);
    m_pToolbar->SendMessage(TB_SETPARENT, reinterpret_cast<WPARAM>(m_hWnd));
    RefreshToolbar();
    if (m_bAutoPersistent)
        RestoreHistory(m_sValueName, m_sCompany, m_sApplication, HKEY_CURRENT_USER, TRUE);
}

void COXHistoryCombo::ShowButton(int nIndex, BOOL bShow)
{
    if (nIndex >= 0 && nIndex < kButtonCount)
        m_abShowButton[nIndex] = bShow;
}

BOOL COXHistoryCombo::IsButtonShown(int nIndex) const
{
    return nIndex >= 0 && nIndex < kButtonCount && m_abShowButton[nIndex];
}

int COXHistoryCombo::GetVisibleButtonCount() const
{
    int n = 0;
    for (BOOL b : m_abShowButton)
        n += b ? 1 : 0;
    return n;
}

void COXHistoryCombo::RefreshToolbar()
{
    if (m_pToolbar->m_hWnd == nullptr)
        return;
    m_pToolbar->LoadToolBar(m_nToolbarResourceID);
    ApplyButtonVisibility();
    PositionToolbar(m_nToolbarPosition, m_bNoBorder);
}

void COXHistoryCombo::ApplyButtonVisibility()
{
    struct Kept {
        UINT nID, nStyle;
        int iImage;
    };
    Kept kept[kButtonCount];
    int nKept = 0;
    const int nCount = m_pToolbar->GetCount();
    for (int i = 0; i < nCount && i < kButtonCount; ++i) {
        if (!m_abShowButton[i])
            continue;
        Kept& k = kept[nKept++];
        m_pToolbar->GetButtonInfo(i, k.nID, k.nStyle, k.iImage);
    }
    if (nKept == 0) {
        m_pToolbar->ShowWindow(SW_HIDE);
        return;
    }
    m_pToolbar->ShowWindow(SW_SHOWNOACTIVATE);
    m_pToolbar->SetButtons(nullptr, nKept);
    for (int i = 0; i < nKept; ++i)
        m_pToolbar->SetButtonInfo(i, kept[i].nID, kept[i].nStyle, kept[i].iImage);
}

void COXHistoryCombo::PositionToolbar(UINT nToolbarPosition, BOOL bNoBorder)
{
    m_nToolbarPosition = nToolbarPosition;
    m_bNoBorder = bNoBorder;
    if (m_pToolbar->m_hWnd == nullptr)
        return;
    if (GetVisibleButtonCount() == 0 || m_pToolbar->GetCount() == 0 ||
        nToolbarPosition <= TBPNone || nToolbarPosition > TBPRightBottom) {
        m_pToolbar->ShowWindow(SW_HIDE);
        return;
    }
    m_pToolbar->ShowWindow(SW_SHOWNOACTIVATE);
    m_pToolbar->SetBarStyle(m_pToolbar->GetBarStyle() | CBRS_ORIENT_HORZ);
    const CSize size = m_pToolbar->CalcFixedLayout(FALSE, TRUE);
    CRect rc;
    GetWindowRect(&rc);
    if (CWnd* pParent = m_pToolbar->GetParent())
        pParent->ScreenToClient(&rc);
    const CRect borders = m_pToolbar->GetBorders();
    const int k = bNoBorder ? 0 : 1;
    const int L = rc.left, T = rc.top, R = rc.right, B = rc.bottom;
    const int cx = size.cx, cy = size.cy;
    const int bl = borders.left, bt = borders.top, br = borders.right, bb = borders.bottom;
    int x = 0, y = 0;
    switch (nToolbarPosition) {
    case TBPTopLeft:
        x = L - bl;
        y = T - cy + k * bb;
        break;
    case TBPTopCenter:
        x = L + (R - L - cx) / 2;
        y = T - cy + k * bb;
        break;
    case TBPTopRight:
        x = R - cx + br;
        y = T - cy + k * bb;
        break;
    case TBPBottomLeft:
        x = L - bl;
        y = B - k * bb;
        break;
    case TBPBottomCenter:
        x = L + (R - L - cx) / 2;
        y = B - k * bb;
        break;
    case TBPBottomRight:
        x = R - cx + br;
        y = B - k * bb;
        break;
    case TBPLeftTop:
        x = L - cx + k * bl;
        y = T - bt;
        break;
    case TBPLeftCenter:
        x = L - cx + k * bl;
        y = T + (B - T - cy) / 2;
        break;
    case TBPLeftBottom:
        x = L - cx + k * bl;
        y = B - cy + bb;
        break;
    case TBPRightTop:
        x = R - k * br;
        y = T - bt;
        break;
    case TBPRightCenter:
        x = R - k * br;
        y = T + (B - T - cy) / 2;
        break;
    case TBPRightBottom:
        x = R - k * br;
        y = B - cy + bb;
        break;
    default:
        break;
    }
    m_pToolbar->SetWindowPos(nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
    m_pToolbar->RedrawWindow();
    m_pToolbar->Invalidate(TRUE);
}

BOOL COXHistoryCombo::AddNewItemToHistory(LPCTSTR lpszText)
{
    CString sText;
    if (lpszText != nullptr)
        sText = lpszText;
    else
        GetWindowText(sText);
    if (sText.IsEmpty())
        return FALSE;
    const int nOld = FindStringExact(-1, sText);
    if (nOld != CB_ERR)
        DeleteString(static_cast<UINT>(nOld));
    InsertString(0, sText);
    SetCurSel(0);
    while (GetCount() > static_cast<int>(m_nMaxHistoryCount))
        DeleteString(static_cast<UINT>(GetCount() - 1));
    SendMessage(CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    return nOld == CB_ERR;
}

BOOL COXHistoryCombo::DeleteItemFromHistory(int nIndex)
{
    if (nIndex == -1)
        nIndex = GetCurSel();
    if (nIndex < 0 || nIndex >= GetCount())
        return FALSE;
    DeleteString(static_cast<UINT>(nIndex));
    const int nCount = GetCount();
    if (nIndex < nCount) {
        SetCurSel(nIndex);
        if (CWnd* pParent = GetParent())
            pParent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), CBN_SELCHANGE),
                                 reinterpret_cast<LPARAM>(m_hWnd));
    } else if (nIndex > 0) {
        SetCurSel(nIndex - 1);
    }
    return TRUE;
}

BOOL COXHistoryCombo::BrowseItem()
{
    const BrowseParams& bp = m_browseParams;
    CFileDialog dlg(bp.bOpenFileDialog, bp.sDefExt.IsEmpty() ? nullptr : bp.sDefExt.GetString(),
                    bp.sFileName.IsEmpty() ? nullptr : bp.sFileName.GetString(),
                    bp.dwFlags | OFN_EXPLORER,
                    bp.sFilter.IsEmpty() ? nullptr : bp.sFilter.GetString(), bp.pParentWnd);
    if (!bp.sInitialDir.IsEmpty())
        dlg.m_ofn.lpstrInitialDir = bp.sInitialDir;
    if (dlg.DoModal() != IDOK)
        return FALSE;
    SetWindowText(dlg.GetPathName());
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(), CBN_EDITCHANGE),
                             reinterpret_cast<LPARAM>(m_hWnd));
    return TRUE;
}

BOOL COXHistoryCombo::CanAddNewItem() const
{
    return ::GetWindowTextLength(m_hWnd) > 0;
}

BOOL COXHistoryCombo::CanDeleteItem() const
{
    return GetCurSel() != CB_ERR;
}

CString COXHistoryCombo::GetHistoryString() const
{
    CString sHistory;
    const int nCount = GetCount();
    for (int i = 0; i < nCount; ++i) {
        CString sItem;
        GetLBText(i, sItem);
        if (i > 0)
            sHistory += "|";
        sHistory += sItem;
    }
    return sHistory;
}

void COXHistoryCombo::SetHistoryString(LPCTSTR lpszHistory)
{
    ResetContent();
    if (m_nMaxHistoryCount == 0 || lpszHistory == nullptr)
        return;
    const char* p = lpszHistory;
    while (*p != '\0') {
        const char* bar = std::strchr(p, '|');
        const size_t n = bar != nullptr ? static_cast<size_t>(bar - p) : std::strlen(p);
        if (n > 0)
            InsertString(-1, CString(p, static_cast<int>(n)));
        p += n;
        if (*p == '|')
            ++p;
    }
}

BOOL COXHistoryCombo::ResolveKeyNames(CString& sCompany, CString& sApplication)
{
    CWinApp* pApp = AfxGetApp();
    if (sCompany.IsEmpty() && pApp != nullptr && pApp->m_pszRegistryKey != nullptr)
        sCompany = pApp->m_pszRegistryKey;
    if (sCompany.IsEmpty())
        return FALSE;
    if (sApplication.IsEmpty() && pApp != nullptr && pApp->m_pszProfileName != nullptr)
        sApplication = pApp->m_pszProfileName;
    return TRUE;
}

BOOL COXHistoryCombo::SaveHistory(LPCTSTR lpszValueName, LPCTSTR lpszCompany,
                                  LPCTSTR lpszApplication, HKEY hRootKey, BOOL bAddCurrentItem)
{
    if (lpszValueName == nullptr || *lpszValueName == '\0')
        return FALSE;
    CString sCompany = lpszCompany != nullptr ? lpszCompany : "";
    CString sApplication = lpszApplication != nullptr ? lpszApplication : "";
    if (!ResolveKeyNames(sCompany, sApplication))
        return FALSE;
    if (bAddCurrentItem)
        AddNewItemToHistory(nullptr);
    return WriteHistoryValue(hRootKey, sCompany, sApplication, lpszValueName, GetHistoryString());
}

BOOL COXHistoryCombo::RestoreHistory(LPCTSTR lpszValueName, LPCTSTR lpszCompany,
                                     LPCTSTR lpszApplication, HKEY hRootKey, BOOL bSelectFirst)
{
    if (lpszValueName == nullptr || *lpszValueName == '\0')
        return FALSE;
    CString sCompany = lpszCompany != nullptr ? lpszCompany : "";
    CString sApplication = lpszApplication != nullptr ? lpszApplication : "";
    if (!ResolveKeyNames(sCompany, sApplication))
        return FALSE;
    SetHistoryString(ReadHistoryValue(hRootKey, sCompany, sApplication, lpszValueName));
    if (bSelectFirst) {
        SetCurSel(0);
        HWND hFocus = ::GetFocus();
        if (::IsWindow(m_hWnd) && (hFocus == m_hWnd || ::IsChild(m_hWnd, hFocus)) &&
            IsWindowEnabled())
            SendMessage(CB_SETEDITSEL, 0, MAKELPARAM(0, -1));
    }
    return TRUE;
}

CString COXHistoryCombo::ReadHistoryValue(HKEY hRootKey, LPCTSTR lpszCompany,
                                          LPCTSTR lpszApplication, LPCTSTR lpszValueName) const
{
    CString sValue;
    HKEY hKey = OpenHistoryKey(hRootKey, {lpszCompany, lpszApplication, kHistoryKey}, false);
    if (hKey == nullptr)
        return sValue;
    DWORD dwType = 0, cb = 0;
    if (::RegQueryValueEx(hKey, lpszValueName, nullptr, &dwType, nullptr, &cb) == ERROR_SUCCESS &&
        cb > 0) {
        // One more character than asked: a value stored without its zero still ends.
        LPTSTR buf = sValue.GetBufferSetLength(static_cast<int>(cb));
        DWORD cbRead = cb;
        if (::RegQueryValueEx(hKey, lpszValueName, nullptr, &dwType, reinterpret_cast<LPBYTE>(buf),
                              &cbRead) != ERROR_SUCCESS)
            cbRead = 0;
        buf[cbRead < cb ? cbRead : cb] = '\0';
        sValue.ReleaseBuffer();
    }
    ::RegCloseKey(hKey);
    return sValue;
}

BOOL COXHistoryCombo::WriteHistoryValue(HKEY hRootKey, LPCTSTR lpszCompany, LPCTSTR lpszApplication,
                                        LPCTSTR lpszValueName, LPCTSTR lpszValue) const
{
    HKEY hKey = OpenHistoryKey(hRootKey, {lpszCompany, lpszApplication, kHistoryKey}, true);
    if (hKey == nullptr)
        return FALSE;
    LONG rc;
    if (lpszValue == nullptr || *lpszValue == '\0')
        rc = ::RegDeleteValue(hKey, lpszValueName);
    else
        rc = ::RegSetValueEx(hKey, lpszValueName, 0, REG_SZ,
                             reinterpret_cast<const BYTE*>(lpszValue),
                             static_cast<DWORD>(std::strlen(lpszValue) + 1));
    ::RegCloseKey(hKey);
    return rc == ERROR_SUCCESS;
}

BOOL COXHistoryCombo::SetAutoPersistent(LPCTSTR lpszValueName, LPCTSTR lpszCompany,
                                        LPCTSTR lpszApplication)
{
    if (::IsWindow(m_hWnd) &&
        !RestoreHistory(lpszValueName, lpszCompany, lpszApplication, HKEY_CURRENT_USER, TRUE))
        return FALSE;
    m_bAutoPersistent = TRUE;
    m_sValueName = lpszValueName != nullptr ? lpszValueName : "";
    m_sCompany = lpszCompany != nullptr ? lpszCompany : "";
    m_sApplication = lpszApplication != nullptr ? lpszApplication : "";
    return TRUE;
}

LRESULT COXHistoryCombo::OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam)
{
    if (m_pToolbar->m_hWnd != nullptr)
        m_pToolbar->SendMessage(WM_IDLEUPDATECMDUI, wParam, lParam);
    return 0;
}

void COXHistoryCombo::OnDestroy()
{
    Default();
    if (m_pToolbar->m_hWnd != nullptr)
        m_pToolbar->DestroyWindow();
    delete m_pToolbar;
    // The combo can be created again.
    m_pToolbar = new CMFCToolBar;
    if (m_bAutoPersistent)
        SaveHistory(m_sValueName, m_sCompany, m_sApplication, HKEY_CURRENT_USER, TRUE);
}

void COXHistoryCombo::OnUpdateAddItem(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(CanAddNewItem() && IsWindowEnabled());
}

void COXHistoryCombo::OnUpdateDeleteItem(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(CanDeleteItem() && IsWindowEnabled());
}

void COXHistoryCombo::OnUpdateBrowseItem(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(CanBrowseItem() && IsWindowEnabled());
}

void COXHistoryCombo::OnToolbarCommand(UINT nID)
{
    if (CWnd* pParent = GetParent())
        pParent->SendMessage(WM_COMMAND, nID, reinterpret_cast<LPARAM>(m_pToolbar->GetSafeHwnd()));
}

void COXHistoryCombo::OnUpdateToolbarCommand(CCmdUI* pCmdUI)
{
    pCmdUI->DoUpdate(GetParent(), TRUE);
}

void COXHistoryCombo::OnWindowPosChanged(WINDOWPOS* lpwndpos)
{
    if (m_pToolbar->m_hWnd != nullptr)
        PositionToolbar(m_nToolbarPosition, m_bNoBorder);
    Default();
}

LRESULT COXHistoryCombo::OnEnable(WPARAM wParam, LPARAM lParam)
{
    LRESULT lResult = Default();
    SendMessage(CB_SETEDITSEL, 0, MAKELPARAM(-1, 0));
    if (m_pToolbar->m_hWnd != nullptr)
        m_pToolbar->EnableWindow(static_cast<BOOL>(wParam));
    return lResult;
}

BOOL COXHistoryCombo::OnToolTipText(UINT, NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* pTTT = reinterpret_cast<NMTTDISPINFOA*>(pNMHDR);
    UINT nID = static_cast<UINT>(pNMHDR->idFrom);
    if (pTTT->uFlags & TTF_IDISHWND)
        nID = static_cast<UINT>(::GetDlgCtrlID(reinterpret_cast<HWND>(nID)));
    if (nID == 0) {
        pTTT->szText[0] = '\0';
    } else {
        char szFull[256] = "";
        if (::LoadString(AfxGetResourceHandle(), nID, szFull, sizeof(szFull)) == 0)
            return FALSE;
        const char* pTip = std::strchr(szFull, '\n');
        ::lstrcpynA(pTTT->szText, pTip != nullptr ? pTip + 1 : "", sizeof(pTTT->szText));
    }
    ::SetWindowPos(pNMHDR->hwndFrom, HWND_TOP, 0, 0, 0, 0,
                   SWP_NOACTIVATE | SWP_NOSIZE | SWP_NOMOVE);
    *pResult = 0;
    return TRUE;
}
