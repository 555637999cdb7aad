// The file-name template list.
#include "app/dialogs/out_file_list_dlg.h"

#include "app/dialogs/dialogs_res.h"
#include "app/dialogs/edit_format_dlg.h"
#include "foundation/i18n/i18n.h"
#include "foundation/settings/app_cfg.h"

BEGIN_MESSAGE_MAP(COutFileListDlg, CDialog)
ON_BN_CLICKED(IDC_OUTFILE_ADD, OnAdd)
ON_BN_CLICKED(IDC_OUTFILE_EDIT, OnEdit)
ON_BN_CLICKED(IDC_OUTFILE_REMOVE, OnRemove)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_OUTFILE_GRID, OnItemChanged)
END_MESSAGE_MAP()

COutFileListDlg::COutFileListDlg(CWnd* pParent) : CDialog(IDD_OUTFILE_LIST, pParent) {}

BOOL COutFileListDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    m_grid.SubclassDlgItem(IDC_OUTFILE_GRID, this);
    I18NSetWindowText(this, "coutfilelistdlg.title");
    I18NSetDlgItemText(this, IDOK, "coutfilelistdlg.bt.ok");
    I18NSetDlgItemText(this, IDCANCEL, "coutfilelistdlg.bt.cancel");
    I18NSetDlgItemText(this, IDC_OUTFILE_ADD, "coutfilelistdlg.bt.add");
    I18NSetDlgItemText(this, IDC_OUTFILE_EDIT, "coutfilelistdlg.bt.edit");
    I18NSetDlgItemText(this, IDC_OUTFILE_REMOVE, "coutfilelistdlg.bt.remove");

    while (m_grid.GetColumnCount() > 0)
        m_grid.DeleteColumn(0);
    RECT rc{};
    m_grid.GetClientRect(&rc);
    const int half = (rc.right - rc.left) / 2;
    m_grid.InsertColumn(0, I18NString("coutfilelistdlg.const.colname", "Name"), LVCFMT_LEFT, half);
    m_grid.InsertColumn(1, I18NString("coutfilelistdlg.const.colformat", "Format"), LVCFMT_LEFT,
                        half);

    CAppCfg& cfg = GetAppCfg();
    int row = 0;
    for (int i = 0, n = cfg.GetFileNameDefsCount(); i < n; ++i) {
        CString item;
        if (!cfg.GetFileNameDefsItem(i, item))
            continue;
        const int bar = item.Find('|');
        const int nRow = m_grid.InsertItem(row++, bar >= 0 ? item.Left(bar) : item);
        m_grid.SetItemText(nRow, 1, bar >= 0 ? item.Mid(bar + 1) : CString());
    }
    m_grid.SetMultipleSelection(FALSE);
    m_grid.SetCurSel(0);
    UpdateButtons();
    m_grid.SetFocus();
    return FALSE; // the focus is set
}

int COutFileListDlg::SelectedRow() const
{
    return m_grid.GetNextItem(-1, LVNI_SELECTED);
}

void COutFileListDlg::UpdateButtons()
{
    const BOOL bUser = SelectedRow() >= kFirstUserRow;
    GetDlgItem(IDC_OUTFILE_EDIT)->EnableWindow(bUser);
    GetDlgItem(IDC_OUTFILE_REMOVE)->EnableWindow(bUser);
}

void COutFileListDlg::OnItemChanged(NMHDR*, LRESULT* pResult)
{
    UpdateButtons();
    *pResult = 0;
}

void COutFileListDlg::OnAdd()
{
    CEditFormatDlg editor(this);
    editor.SetNameAndFormat(I18NString("coutfilelistdlg.const.newformat", "New format"), "%1%e");
    if (editor.DoModal() != IDOK)
        return;
    const int nRow = m_grid.InsertItem(m_grid.GetItemCount(), editor.GetName());
    m_grid.SetItemText(nRow, 1, editor.GetFormat());
    m_grid.SetCurSel(nRow);
    m_grid.EnsureVisible(nRow, FALSE);
}

void COutFileListDlg::OnEdit()
{
    const int nRow = SelectedRow();
    if (nRow < kFirstUserRow)
        return;
    CEditFormatDlg editor(this);
    editor.SetNameAndFormat(m_grid.GetItemText(nRow, 0), m_grid.GetItemText(nRow, 1));
    if (editor.DoModal() != IDOK)
        return;
    m_grid.SetItemText(nRow, 0, editor.GetName());
    m_grid.SetItemText(nRow, 1, editor.GetFormat());
}

void COutFileListDlg::OnRemove()
{
    const int nRow = SelectedRow();
    if (nRow < kFirstUserRow)
        return;
    if (MessageBox(I18NString("coutfilelistdlg.const.confirmdelete",
                              "Are you sure to delete this format?"),
                   I18NString("coutfilelistdlg.const.confirmdeletetitle", "Confirm deletion"),
                   MB_YESNO | MB_ICONQUESTION) != IDYES)
        return;
    m_grid.DeleteItem(nRow);
    UpdateButtons();
}

void COutFileListDlg::OnOK()
{
    CAppCfg& cfg = GetAppCfg();
    cfg.ClearFileNameDefs();
    for (int i = 0, n = m_grid.GetItemCount(); i < n; ++i)
        cfg.AddFileNameDefsItem(m_grid.GetItemText(i, 0) + "|" + m_grid.GetItemText(i, 1));
    cfg.Save();
    EndDialog(IDOK);
}
