// CFolderDialog: the shell's folder browser run like a modal dialog; GetFolderPath after IDOK.
// The Set... calls talk to the open browser and work only from within its callbacks.
#pragma once

#include <windows.h>

#include <shlobj.h>

#include "framework/ui.h"

class CFolderDialog : public CCommonDialog {
    DECLARE_DYNAMIC(CFolderDialog)
public:
    // lpszStartFolder may be null; ulFlags are BIF_* flags.
    CFolderDialog(LPCTSTR lpszTitle = nullptr, LPCTSTR lpszStartFolder = nullptr,
                  CWnd* pParentWnd = nullptr, UINT ulFlags = BIF_RETURNONLYFSDIRS);
    ~CFolderDialog() override;
    CFolderDialog(const CFolderDialog&) = delete;
    CFolderDialog& operator=(const CFolderDialog&) = delete;

    // IDOK with a chosen folder, IDCANCEL when cancelled, -1 when the chosen item has no
    // file-system path.
    INT_PTR DoModal() override;
    CString GetFolderPath() const { return CString(m_szFolderPath); }

    // Makes the folder the root of the tree (null: the desktop again).
    void SetRootFolder(LPCTSTR lpszPath);
    void SetStartFolder(LPCTSTR lpszPath);

    void SetSelection(LPCTSTR lpszPath);
    void SetSelection(LPCITEMIDLIST pidl);
    void SetStatusText(LPCTSTR lpszText);
    void EnableOK(BOOL bEnable = TRUE);
    void SetOKText(LPCTSTR lpszText);
    void SetExpanded(LPCTSTR lpszPath);
    void SetExpanded(LPCITEMIDLIST pidl);

    virtual void OnInitialized();
    virtual void OnSelChanged(LPCITEMIDLIST pidl);
    // Nonzero keeps the browser open.
    virtual int OnValidateFailed(LPCTSTR lpszFolderPath);
    virtual void OnIUnknown(IUnknown* pUnknown);

    BROWSEINFOA m_bi{};

protected:
    static int CALLBACK BrowseCallback(HWND hWnd, UINT uMsg, LPARAM lParam, LPARAM lpData);

    char m_szStartFolder[MAX_PATH] = {};
    char m_szFolderPath[MAX_PATH] = {};
    HWND m_hBrowser = nullptr; // valid while a callback runs
};
