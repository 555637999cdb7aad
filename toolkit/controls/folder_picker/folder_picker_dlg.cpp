#include "toolkit/controls/folder_picker/folder_picker_dlg.h"

#include "framework/app.h"
#include "framework/ddx.h"

IMPLEMENT_DYNAMIC(COXFolderPickerDlg, CDialog)

// clang-format off
BEGIN_MESSAGE_MAP(COXFolderPickerDlg, CDialog)
    ON_NOTIFY(TVN_SELCHANGED, IDC_OX_TREE_FOLDER, OnSelChangedTree)
    ON_BN_CLICKED(IDC_OX_BUTTON_GOTO, OnGotoFolder)
    ON_BN_CLICKED(IDC_OX_CHECK_ONLYFILESYSTEM, OnCheckOnlyFileSystem)
    ON_BN_CLICKED(IDC_OX_CHECK_SHOWFILES, OnCheckShowFiles)
    ON_BN_CLICKED(IDC_OX_CHECK_DESKTOPITEM, OnCheckDesktopItem)
    ON_BN_CLICKED(IDC_OX_CHECK_POPUPMENU, OnCheckPopupMenu)
    ON_BN_CLICKED(IDC_OX_CHECK_NOTIFYERROR, OnCheckNotifyErrors)
    ON_BN_CLICKED(IDC_OX_BUTTON_REFRESH, OnRefresh)
END_MESSAGE_MAP()
// clang-format on

COXFolderPickerDlg::COXFolderPickerDlg(LPCTSTR lpszFolderPath, LPCTSTR lpszRootFolder,
                                       BOOL bShowDesktopItem, BOOL bShowPopupMenu,
                                       BOOL bOnlyFileSystemFolders, BOOL bShowFiles,
                                       LPCTSTR lpszFilter, BOOL bNotifyError, CWnd* pParentWnd,
                                       UINT nTitleID)
    : CDialog(IDD_OX_FOLDERPICKER_DIALOG, pParentWnd),
      m_comboFolderPath(COXHistoryCombo::TBPRightCenter, FALSE, IDR_OX_HISTORY_COMBO_TOOLS),
      m_treeFolder(TRUE, TRUE, TRUE, TRUE, FALSE, ""),
      m_bOnlyFileSystemFolders(bOnlyFileSystemFolders), m_bShowPopupMenu(bShowPopupMenu),
      m_sFolderPath(lpszFolderPath != nullptr ? lpszFolderPath : ""), m_bNotifyError(bNotifyError),
      m_bShowDesktopItem(bShowDesktopItem), m_bShowFiles(bShowFiles),
      m_sFilter(lpszFilter != nullptr ? lpszFilter : ""),
      m_sRootFolder(lpszRootFolder != nullptr ? lpszRootFolder : "")
{
    m_sTitle.LoadString(nTitleID);
}

void COXFolderPickerDlg::DoDataExchange(CDataExchange* pDX)
{
    DDX_Control(pDX, IDC_OX_COMBO_FOLDER, m_comboFolderPath);
    DDX_Control(pDX, IDC_OX_TREE_FOLDER, m_treeFolder);
    DDX_Check(pDX, IDC_OX_CHECK_ONLYFILESYSTEM, m_bOnlyFileSystemFolders);
    DDX_Check(pDX, IDC_OX_CHECK_POPUPMENU, m_bShowPopupMenu);
    DDX_CBStringExact(pDX, IDC_OX_COMBO_FOLDER, m_sFolderPath);
    DDX_Check(pDX, IDC_OX_CHECK_NOTIFYERROR, m_bNotifyError);
    DDX_Check(pDX, IDC_OX_CHECK_SHOWFILES, m_bShowFiles);
    DDX_Check(pDX, IDC_OX_CHECK_DESKTOPITEM, m_bShowDesktopItem);
}

BOOL COXFolderPickerDlg::OnInitDialog()
{
    CDialog::OnInitDialog();

    m_comboFolderPath.SetAutoPersistent("Current Folder");
    // The picker's combo is a plain remembered-folder list: no toolbar.
    for (int i = 0; i < COXHistoryCombo::kButtonCount; ++i)
        m_comboFolderPath.ShowButton(i, FALSE);
    m_comboFolderPath.RefreshToolbar();

    CString sText;
    sText.LoadString(IDS_OX_FOLDERPICKER_TREETEXT);
    m_treeFolder.SetWindowText(sText);

    m_treeFolder.m_bShowDesktopItem = m_bShowDesktopItem;
    m_treeFolder.m_bShowPopupMenu = m_bShowPopupMenu;
    m_treeFolder.m_bOnlyFileSystemFolders = m_bOnlyFileSystemFolders;
    m_treeFolder.m_bShowFiles = m_bShowFiles;
    m_treeFolder.SetNotifyError(m_bNotifyError);
    m_treeFolder.SetStringList(m_sFilter);
    m_treeFolder.InitTree(m_sRootFolder);
    m_treeFolder.SelectPath(m_sFolderPath, FALSE);

    CString sRoot, sCaption = m_sTitle;
    sText.LoadString(IDS_OX_FOLDERPICKER_ROOTFOLDER);
    sCaption += sText;
    if (m_sRootFolder.IsEmpty())
        sRoot.LoadString(IDS_OX_FOLDERPICKER_DESKTOP);
    else
        sRoot = m_sRootFolder;
    sCaption += sRoot;
    sCaption += " ]";
    SetWindowText(sCaption);
    return TRUE;
}

void COXFolderPickerDlg::OnSelChangedTree(NMHDR* pNotify, LRESULT* pResult)
{
    *pResult = 0;
    auto* pnmtv = reinterpret_cast<NMTREEVIEW*>(pNotify);
    if (pnmtv->itemNew.hItem == nullptr)
        return;
    m_sFolderPath = m_treeFolder.GetItemPath(pnmtv->itemNew.hItem);
    UpdateData(FALSE);
}

void COXFolderPickerDlg::OnGotoFolder()
{
    UpdateData(TRUE);
    CWaitCursor wait;
    m_treeFolder.EnableRedraw(FALSE);
    if (m_treeFolder.SelectPath(m_sFolderPath, FALSE))
        m_treeFolder.SetFocus();
    m_treeFolder.EnableRedraw(TRUE);
}

void COXFolderPickerDlg::OnCheckOnlyFileSystem()
{
    UpdateData(TRUE);
    m_treeFolder.m_bOnlyFileSystemFolders = m_bOnlyFileSystemFolders;
    m_treeFolder.RefreshItem(TVI_ROOT);
}

void COXFolderPickerDlg::OnCheckShowFiles()
{
    UpdateData(TRUE);
    m_treeFolder.m_bShowFiles = m_bShowFiles;
    m_treeFolder.RefreshItem(TVI_ROOT);
}

void COXFolderPickerDlg::OnCheckDesktopItem()
{
    UpdateData(TRUE);
    m_treeFolder.m_bShowDesktopItem = m_bShowDesktopItem;
    m_treeFolder.RefreshItem(TVI_ROOT);
}

void COXFolderPickerDlg::OnCheckPopupMenu()
{
    UpdateData(TRUE);
    m_treeFolder.m_bShowPopupMenu = m_bShowPopupMenu;
}

void COXFolderPickerDlg::OnCheckNotifyErrors()
{
    UpdateData(TRUE);
    m_treeFolder.SetNotifyError(m_bNotifyError);
}

void COXFolderPickerDlg::OnRefresh()
{
    m_treeFolder.RefreshItem(TVI_ROOT);
}
