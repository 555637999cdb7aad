// The folder browser.
#include "app/dialogs/folder_dialog.h"

#include <vector>

IMPLEMENT_DYNAMIC(CFolderDialog, CCommonDialog)

namespace {

std::vector<WCHAR> Wide(LPCTSTR lpszText)
{
    const int n = ::MultiByteToWideChar(CP_ACP, 0, lpszText, -1, nullptr, 0);
    std::vector<WCHAR> wide(static_cast<size_t>(n > 0 ? n : 1));
    if (n > 0)
        ::MultiByteToWideChar(CP_ACP, 0, lpszText, -1, wide.data(), n);
    return wide;
}

} // namespace

CFolderDialog::CFolderDialog(LPCTSTR lpszTitle, LPCTSTR lpszStartFolder, CWnd* pParentWnd,
                             UINT ulFlags)
    : CCommonDialog(pParentWnd)
{
    m_bi.hwndOwner = nullptr;
    m_bi.pidlRoot = nullptr;
    m_bi.pszDisplayName = new char[MAX_PATH]();
    m_bi.lpszTitle = lpszTitle;
    m_bi.ulFlags = ulFlags;
    m_bi.lpfn = &BrowseCallback;
    m_bi.lParam = reinterpret_cast<LPARAM>(this);
    SetStartFolder(lpszStartFolder);
}

CFolderDialog::~CFolderDialog()
{
    if (m_bi.pidlRoot != nullptr)
        ::CoTaskMemFree(const_cast<LPITEMIDLIST>(m_bi.pidlRoot));
    delete[] m_bi.pszDisplayName;
}

void CFolderDialog::SetStartFolder(LPCTSTR lpszPath)
{
    // A longer folder is cut to the buffer.
    lstrcpynA(m_szStartFolder, lpszPath != nullptr ? lpszPath : "", MAX_PATH);
}

void CFolderDialog::SetRootFolder(LPCTSTR lpszPath)
{
    if (m_bi.pidlRoot != nullptr) {
        ::CoTaskMemFree(const_cast<LPITEMIDLIST>(m_bi.pidlRoot));
        m_bi.pidlRoot = nullptr;
    }
    if (lpszPath == nullptr)
        return;
    IShellFolder* pDesktop = nullptr;
    if (FAILED(::SHGetDesktopFolder(&pDesktop)))
        return;
    std::vector<WCHAR> wide = Wide(lpszPath);
    LPITEMIDLIST pidl = nullptr;
    if (SUCCEEDED(pDesktop->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &pidl,
                                             nullptr)))
        m_bi.pidlRoot = pidl;
    pDesktop->Release();
}

INT_PTR CFolderDialog::DoModal()
{
    m_bi.hwndOwner = PreModal();
    m_szFolderPath[0] = 0;
    INT_PTR result = IDCANCEL;
    if (LPITEMIDLIST pidl = ::SHBrowseForFolderA(&m_bi)) {
        result = ::SHGetPathFromIDListA(pidl, m_szFolderPath) ? IDOK : -1;
        if (result != IDOK)
            m_szFolderPath[0] = 0;
        ::CoTaskMemFree(pidl);
    }
    PostModal();
    return result;
}

int CALLBACK CFolderDialog::BrowseCallback(HWND hWnd, UINT uMsg, LPARAM lParam, LPARAM lpData)
{
    auto* self = reinterpret_cast<CFolderDialog*>(lpData);
    const HWND hPrevious = self->m_hBrowser;
    self->m_hBrowser = hWnd;
    int result = 0;
    switch (uMsg) {
    case BFFM_INITIALIZED:
        self->OnInitialized();
        break;
    case BFFM_SELCHANGED:
        self->OnSelChanged(reinterpret_cast<LPCITEMIDLIST>(lParam));
        break;
    case BFFM_VALIDATEFAILEDA:
        result = self->OnValidateFailed(reinterpret_cast<LPCTSTR>(lParam));
        break;
    case BFFM_IUNKNOWN:
        self->OnIUnknown(reinterpret_cast<IUnknown*>(lParam));
        break;
    default:
        break;
    }
    self->m_hBrowser = hPrevious;
    return result;
}

void CFolderDialog::OnInitialized()
{
    if (m_szStartFolder[0] == 0)
        return;
    // The item of the folder selects more reliably than its path; a folder that cannot be
    // parsed (it does not exist) still goes over as a path, which the browser ignores.
    IShellFolder* pDesktop = nullptr;
    LPITEMIDLIST pidl = nullptr;
    if (SUCCEEDED(::SHGetDesktopFolder(&pDesktop))) {
        std::vector<WCHAR> wide = Wide(m_szStartFolder);
        if (FAILED(pDesktop->ParseDisplayName(nullptr, nullptr, wide.data(), nullptr, &pidl,
                                              nullptr)))
            pidl = nullptr;
        pDesktop->Release();
    }
    if (pidl != nullptr) {
        SetSelection(pidl);
        ::CoTaskMemFree(pidl);
    } else {
        SetSelection(m_szStartFolder);
    }
}

void CFolderDialog::OnSelChanged(LPCITEMIDLIST pidl)
{
    if (!(m_bi.ulFlags & BIF_STATUSTEXT))
        return;
    char path[MAX_PATH] = {};
    if (pidl != nullptr && ::SHGetPathFromIDListA(pidl, path))
        SetStatusText(path);
}

int CFolderDialog::OnValidateFailed(LPCTSTR)
{
    ::MessageBeep(MB_ICONHAND);
    return 1;
}

void CFolderDialog::OnIUnknown(IUnknown*) {}

void CFolderDialog::SetSelection(LPCTSTR lpszPath)
{
    if (m_hBrowser != nullptr)
        ::SendMessage(m_hBrowser, BFFM_SETSELECTIONA, TRUE, reinterpret_cast<LPARAM>(lpszPath));
}

void CFolderDialog::SetSelection(LPCITEMIDLIST pidl)
{
    if (m_hBrowser != nullptr)
        ::SendMessage(m_hBrowser, BFFM_SETSELECTIONA, FALSE, reinterpret_cast<LPARAM>(pidl));
}

void CFolderDialog::SetStatusText(LPCTSTR lpszText)
{
    if (m_hBrowser != nullptr)
        ::SendMessage(m_hBrowser, BFFM_SETSTATUSTEXTA, 0, reinterpret_cast<LPARAM>(lpszText));
}

void CFolderDialog::EnableOK(BOOL bEnable)
{
    if (m_hBrowser != nullptr)
        ::SendMessage(m_hBrowser, BFFM_ENABLEOK, 0, bEnable);
}

void CFolderDialog::SetOKText(LPCTSTR lpszText)
{
    // The button text goes over as wide text.
    if (m_hBrowser != nullptr) {
        std::vector<WCHAR> wide = Wide(lpszText);
        ::SendMessage(m_hBrowser, BFFM_SETOKTEXT, 0, reinterpret_cast<LPARAM>(wide.data()));
    }
}

void CFolderDialog::SetExpanded(LPCTSTR lpszPath)
{
    if (m_hBrowser != nullptr) {
        std::vector<WCHAR> wide = Wide(lpszPath);
        ::SendMessage(m_hBrowser, BFFM_SETEXPANDED, TRUE, reinterpret_cast<LPARAM>(wide.data()));
    }
}

void CFolderDialog::SetExpanded(LPCITEMIDLIST pidl)
{
    if (m_hBrowser != nullptr)
        ::SendMessage(m_hBrowser, BFFM_SETEXPANDED, FALSE, reinterpret_cast<LPARAM>(pidl));
}
