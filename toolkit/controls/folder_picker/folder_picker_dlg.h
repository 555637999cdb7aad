// COXFolderPickerDlg: a modal dialog that returns one folder path, chosen in a shell folder
// tree or typed into a combo box that remembers the recently chosen folders.
#pragma once

#include <windows.h>

#include "framework/dialog.h"
#include "toolkit/controls/folder_picker/folder_picker_res.h"
#include "toolkit/controls/history_combo/history_combo.h"
#include "toolkit/controls/shell_tree/shell_folder_tree.h"

class COXFolderPickerDlg : public CDialog
{
    DECLARE_DYNAMIC(COXFolderPickerDlg)
public:
    COXFolderPickerDlg(LPCTSTR lpszFolderPath = "", LPCTSTR lpszRootFolder = "",
                       BOOL bShowDesktopItem = TRUE, BOOL bShowPopupMenu = TRUE,
                       BOOL bOnlyFileSystemFolders = TRUE, BOOL bShowFiles = FALSE,
                       LPCTSTR lpszFilter = "", BOOL bNotifyError = TRUE,
                       CWnd* pParentWnd = nullptr, UINT nTitleID = IDS_OX_FOLDERPICKERTITLE);

    void SetTitle(LPCTSTR lpszTitle) { m_sTitle = lpszTitle != nullptr ? lpszTitle : ""; }
    // The chosen folder, after DoModal returned IDOK.
    CString GetFolderPath() const { return m_sFolderPath; }

    COXHistoryCombo m_comboFolderPath;
    COXShellFolderTree m_treeFolder;
    BOOL m_bOnlyFileSystemFolders;
    BOOL m_bShowPopupMenu;
    CString m_sFolderPath;
    BOOL m_bNotifyError;
    BOOL m_bShowDesktopItem;
    BOOL m_bShowFiles;
    CString m_sFilter;
    CString m_sRootFolder;
    CString m_sTitle;

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // The combo's text becomes the result, whatever the tree shows.
    void OnOK() override
    {
        UpdateData(TRUE);
        CDialog::OnOK();
    }

    void OnSelChangedTree(NMHDR* pNotify, LRESULT* pResult);
    void OnGotoFolder();
    void OnCheckOnlyFileSystem();
    void OnCheckShowFiles();
    void OnCheckDesktopItem();
    void OnCheckPopupMenu();
    void OnCheckNotifyErrors();
    void OnRefresh();
    DECLARE_MESSAGE_MAP()
};
