// COXHistoryCombo: a drop-down combo box that keeps a most-recently-used list of texts, with a
// small toolbar beside it (Add, Delete, Browse) and the list stored as one registry value.
#pragma once

#include <windows.h>

#include "framework/cmd_ui.h"
#include "framework/controls.h"
#include "framework/strings.h"
#include "toolkit/controls/cooltoolbar/cool_toolbar.h"
#include "toolkit/controls/history_combo/history_combo_res.h"

class COXHistoryCombo : public CComboBox
{
    DECLARE_DYNAMIC(COXHistoryCombo)
public:
    // Where the toolbar sits relative to the combo.
    enum EToolbarPosition {
        TBPNone = 1,
        TBPTopLeft,
        TBPTopCenter,
        TBPTopRight,
        TBPBottomLeft,
        TBPBottomCenter,
        TBPBottomRight,
        TBPLeftTop,
        TBPLeftCenter,
        TBPLeftBottom,
        TBPRightTop,
        TBPRightCenter,
        TBPRightBottom,
    };
    static constexpr int kButtonCount = 10;

    // The file dialog that Browse opens.
    struct BrowseParams {
        BrowseParams();
        BOOL bOpenFileDialog = TRUE;
        CString sDefExt;
        CString sFileName = "*.*";
        DWORD dwFlags = OFN_HIDEREADONLY | OFN_OVERWRITEPROMPT;
        CString sFilter = "All Files (*.*)| *.* ||";
        CWnd* pParentWnd = nullptr;
        CString sInitialDir;
    };

    explicit COXHistoryCombo(UINT nToolbarPosition = TBPRightCenter, BOOL bNoBorder = FALSE,
                             UINT nToolbarResourceID = IDR_OX_HISTORY_COMBO_TOOLS);
    ~COXHistoryCombo() override;

    virtual void InitCombo(CWnd* pParentWnd = nullptr);
    // Puts the text (none: the edit text) at the top; TRUE when it was not in the list before.
    virtual BOOL AddNewItemToHistory(LPCTSTR lpszText = nullptr);
    // Deletes an entry (-1: the selected one); TRUE when one was deleted.
    virtual BOOL DeleteItemFromHistory(int nIndex = -1);
    virtual BOOL BrowseItem();
    virtual BOOL CanAddNewItem() const;
    virtual BOOL CanDeleteItem() const;
    virtual BOOL CanBrowseItem() const { return TRUE; }

    // The list as one REG_SZ under root\Software\company\application\HistoryCombo; empty
    // company and application mean the application's registry key and profile name.
    BOOL SaveHistory(LPCTSTR lpszValueName, LPCTSTR lpszCompany = nullptr,
                     LPCTSTR lpszApplication = nullptr, HKEY hRootKey = HKEY_CURRENT_USER,
                     BOOL bAddCurrentItem = TRUE);
    BOOL RestoreHistory(LPCTSTR lpszValueName, LPCTSTR lpszCompany = nullptr,
                        LPCTSTR lpszApplication = nullptr, HKEY hRootKey = HKEY_CURRENT_USER,
                        BOOL bSelectFirst = TRUE);
    // Restores now and saves when the window is destroyed.
    BOOL SetAutoPersistent(LPCTSTR lpszValueName, LPCTSTR lpszCompany = nullptr,
                           LPCTSTR lpszApplication = nullptr);
    BOOL IsAutoPersistent() const { return m_bAutoPersistent; }

    // Button flags take effect at the next RefreshToolbar.
    void ShowButton(int nIndex, BOOL bShow = TRUE);
    BOOL IsButtonShown(int nIndex) const;
    int GetVisibleButtonCount() const;
    UINT GetToolbarPosition() const { return m_nToolbarPosition; }
    void RefreshToolbar();
    void PositionToolbar(UINT nToolbarPosition, BOOL bNoBorder);
    CMFCToolBar* GetToolbar() const { return m_pToolbar; }

    CString GetHistoryString() const;
    void SetHistoryString(LPCTSTR lpszHistory);
    UINT GetMaxHistoryCount() const { return m_nMaxHistoryCount; }

    BrowseParams m_browseParams;

protected:
    void PreSubclassWindow() override;
    void ApplyButtonVisibility();
    CString ReadHistoryValue(HKEY hRootKey, LPCTSTR lpszCompany, LPCTSTR lpszApplication,
                             LPCTSTR lpszValueName) const;
    BOOL WriteHistoryValue(HKEY hRootKey, LPCTSTR lpszCompany, LPCTSTR lpszApplication,
                           LPCTSTR lpszValueName, LPCTSTR lpszValue) const;
    // Empty company and application replaced by the application's; FALSE when none is known.
    static BOOL ResolveKeyNames(CString& sCompany, CString& sApplication);

    int OnCreate(LPCREATESTRUCT lpCreateStruct);
    LRESULT OnIdleUpdateCmdUI(WPARAM wParam, LPARAM lParam);
    void OnDestroy();
    void OnAddItem() { AddNewItemToHistory(nullptr); }
    void OnDeleteItem() { DeleteItemFromHistory(-1); }
    void OnBrowseItem() { BrowseItem(); }
    void OnReserved() {}
    void OnUpdateAddItem(CCmdUI* pCmdUI);
    void OnUpdateDeleteItem(CCmdUI* pCmdUI);
    void OnUpdateBrowseItem(CCmdUI* pCmdUI);
    void OnUpdateReserved(CCmdUI* pCmdUI) { pCmdUI->Enable(FALSE); }
    void OnToolbarCommand(UINT nID);
    void OnUpdateToolbarCommand(CCmdUI* pCmdUI);
    void OnWindowPosChanged(WINDOWPOS* lpwndpos);
    LRESULT OnEnable(WPARAM wParam, LPARAM lParam);
    BOOL OnToolTipText(UINT nID, NMHDR* pNMHDR, LRESULT* pResult);
    DECLARE_MESSAGE_MAP()

    UINT m_nToolbarPosition;
    BOOL m_bNoBorder;
    UINT m_nMaxHistoryCount = 6;
    CMFCToolBar* m_pToolbar;
    BOOL m_abShowButton[kButtonCount];
    UINT m_nToolbarResourceID;
    BOOL m_bAutoPersistent = FALSE;
    CString m_sCompany;
    CString m_sApplication;
    CString m_sValueName;
};
