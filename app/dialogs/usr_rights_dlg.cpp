// The CD-use rights dialog.
#include "app/dialogs/usr_rights_dlg.h"

#include "app/dialogs/dialogs_res.h"
#include "foundation/i18n/i18n.h"
#include "foundation/settings/app_cfg.h"

CUsrRightsDlg::CUsrRightsDlg(CWnd* pParent) : CDialog(IDD_USER_RIGHTS, pParent) {}

BOOL CUsrRightsDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    I18NSetWindowText(this, "cusrrightsdlg.title");
    I18NSetDlgItemText(this, IDOK, "cusrrightsdlg.bt.ok");
    I18NSetDlgItemText(this, IDCANCEL, "cusrrightsdlg.bt.cancel");
    I18NSetDlgItemText(this, IDC_RIGHTS_MESSAGE, "cusrrightsdlg.st.grantmsg");
    I18NSetDlgItemText(this, IDC_RIGHTS_EVERYONE, "cusrrightsdlg.rb.everyone");
    I18NSetDlgItemText(this, IDC_RIGHTS_ADMIN, "cusrrightsdlg.rb.admin");
    I18NSetDlgItemText(this, IDC_RIGHTS_NOTE, "cusrrightsdlg.st.adminonly");

    CAppCfg& cfg = GetAppCfg();
    auto lock = [this] {
        for (int id : {IDC_RIGHTS_EVERYONE, IDC_RIGHTS_ADMIN, IDOK})
            GetDlgItem(id)->EnableWindow(FALSE);
    };
    if (!cfg.IsWinNT4OrLater()) {
        GetDlgItem(IDC_RIGHTS_NOTE)->SetWindowText(I18NString(
            "cusrrightsdlg.const.w32only", "This function is available on Win 2000/XP/Vista only"));
        lock();
    } else if (cfg.IsUserAdmin()) {
        GetDlgItem(IDC_RIGHTS_NOTE)->ShowWindow(SW_HIDE);
    } else {
        lock();
    }
    ::CheckRadioButton(m_hWnd, IDC_RIGHTS_EVERYONE, IDC_RIGHTS_ADMIN,
                       cfg.IsCDROMAllocatedToUser() ? IDC_RIGHTS_ADMIN : IDC_RIGHTS_EVERYONE);
    return TRUE;
}

void CUsrRightsDlg::OnOK()
{
    const bool everyone = ::IsDlgButtonChecked(m_hWnd, IDC_RIGHTS_EVERYONE) == BST_CHECKED;
    GetAppCfg().SetCDROMAllocatedToUser(everyone ? FALSE : TRUE);
    EndDialog(IDOK);
}
