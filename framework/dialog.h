// Dialogs: CDialog with its own modal loop (running the same pre-translate walk as the main
// loop), and the system's common dialogs. Classes here: CDialog, CCommonDialog, CColorDialog,
// CFontDialog, CFileDialog; AfxBrowseForFolder.
#pragma once

#include <windows.h>
#include <commdlg.h>

#include "framework/wnd.h"

class CDialog : public CWnd {
    DECLARE_DYNAMIC(CDialog)
public:
    CDialog() = default;
    explicit CDialog(UINT nIDTemplate, CWnd* pParentWnd = nullptr)
        : m_nIDTemplate(nIDTemplate), m_pParentWnd(pParentWnd)
    {
    }
    // A template in memory, which must stay valid until DoModal returns.
    BOOL InitModalIndirect(LPCDLGTEMPLATE lpDialogTemplate, CWnd* pParentWnd = nullptr);

    // Disables the owner, runs the dialog in its own loop, destroys it and returns the value
    // given to EndDialog (-1 when the dialog could not be created).
    virtual INT_PTR DoModal();
    // A modeless dialog from a resource template.
    BOOL Create(UINT nIDTemplate, CWnd* pParentWnd = nullptr);

    // Fills the controls (UpdateData(FALSE)); TRUE gives the focus to the first tab stop.
    virtual BOOL OnInitDialog()
    {
        UpdateData(FALSE);
        return TRUE;
    }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    void EndDialog(int nResult);
    BOOL PreTranslateMessage(MSG* pMsg) override;

    BOOL ContinueModal() const { return m_bContinueModal; }
    void EndModalLoop(int nResult);
    int RunModalLoop();

protected:
    UINT m_nIDTemplate = 0;
    LPCDLGTEMPLATE m_lpDialogTemplate = nullptr;
    CWnd* m_pParentWnd = nullptr;
    bool m_bContinueModal = false;
    bool m_bModal = false;
    int m_nModalResult = -1;

    HWND CreateFromTemplate(HWND hWndParent);

    DECLARE_MESSAGE_MAP()
};

// Base of dialogs that the system runs in its own modal loop: the derived DoModal takes the
// owner from PreModal, calls the system and ends with PostModal.
class CCommonDialog : public CDialog {
    DECLARE_DYNAMIC(CCommonDialog)
public:
    explicit CCommonDialog(CWnd* pParentWnd = nullptr) : CDialog(0, pParentWnd) {}

protected:
    // The top-level window that owns the system's dialog (the parent's, else the main
    // window's).
    HWND PreModal();
    void PostModal();
};

// The colour picker; GetColor after IDOK.
class CColorDialog {
public:
    explicit CColorDialog(COLORREF clrInit = 0, DWORD dwFlags = 0, CWnd* pParentWnd = nullptr);
    CColorDialog(const CColorDialog&) = delete;
    CColorDialog& operator=(const CColorDialog&) = delete;
    INT_PTR DoModal();
    COLORREF GetColor() const { return m_cc.rgbResult; }
    CHOOSECOLOR m_cc{};

private:
    COLORREF m_custom[16]{};
};

// The font picker; m_lf holds the chosen font after IDOK.
class CFontDialog {
public:
    explicit CFontDialog(const LOGFONT* lplfInitial = nullptr,
                         DWORD dwFlags = CF_EFFECTS | CF_SCREENFONTS, CDC* pdcPrinter = nullptr,
                         CWnd* pParentWnd = nullptr);
    CFontDialog(const CFontDialog&) = delete;
    CFontDialog& operator=(const CFontDialog&) = delete;
    INT_PTR DoModal();
    void GetCurrentFont(LPLOGFONT lplf) const { *lplf = m_lf; }
    CString GetFaceName() const { return CString(m_lf.lfFaceName); }
    CHOOSEFONT m_cf{};
    LOGFONT m_lf{};
};

// The file open/save dialog. The filter uses the framework form "Text|*.txt|All|*.*||".
class CFileDialog {
public:
    explicit CFileDialog(BOOL bOpenFileDialog, LPCTSTR lpszDefExt = nullptr,
                         LPCTSTR lpszFileName = nullptr,
                         DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT,
                         LPCTSTR lpszFilter = nullptr, CWnd* pParentWnd = nullptr);
    CFileDialog(const CFileDialog&) = delete;
    CFileDialog& operator=(const CFileDialog&) = delete;
    INT_PTR DoModal();
    CString GetPathName() const { return CString(m_szFileName); }
    CString GetFileName() const;
    // The chosen files of an OFN_ALLOWMULTISELECT dialog, in the dialog's order: the first
    // position, null when nothing was chosen; each GetNextPathName gives a full path and moves
    // pos on, to null after the last. Without multiple selection, the one path.
    POSITION GetStartPosition() const;
    CString GetNextPathName(POSITION& pos) const;
    OPENFILENAME m_ofn{};

private:
    BOOL m_bOpenFileDialog;
    CString m_strFilter;
    CString m_strDefExt;
    TCHAR m_szFileName[MAX_PATH * 4]{};
};

// The shell's folder browser. On TRUE rPath holds the chosen folder; the item list the shell
// returns is freed here.
BOOL AfxBrowseForFolder(HWND hWndOwner, LPCTSTR lpszTitle, UINT ulFlags, CString& rPath);
