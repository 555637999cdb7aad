// The freedb server list.
#include "app/dialogs/freedb_server_list_dlg.h"

#include "app/dialogs/dialogs_res.h"
#include "app/dialogs/freedb_proxy.h"
#include "catalogue/cddb/freedb_mgr.h"
#include "foundation/i18n/i18n.h"
#include "foundation/settings/app_cfg.h"
#include "foundation/web/update_check.h"

BEGIN_MESSAGE_MAP(CFreedbServerListDlg, CDialog)
ON_BN_CLICKED(IDC_SERVERLIST_UPDATE, OnUpdateList)
ON_NOTIFY(LVN_ITEMCHANGED, IDC_SERVERLIST_LIST, OnListItemChanged)
END_MESSAGE_MAP()

CFreedbServerListDlg::CFreedbServerListDlg(CWnd* pParent)
    : CDialog(IDD_FREEDB_SERVERLIST, pParent), m_list(-1, FALSE, TRUE)
{
}

CString CFreedbServerListDlg::DefaultServer()
{
    return "gnudb.gnudb.org"; // the default of the FreedbServer setting
}

BOOL CFreedbServerListDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    I18NSetWindowText(this, "cfreedbserverlistdlg.title");
    I18NSetDlgItemText(this, IDOK, "cfreedbserverlistdlg.bt.ok");
    I18NSetDlgItemText(this, IDCANCEL, "cfreedbserverlistdlg.bt.cancel");
    I18NSetDlgItemText(this, IDC_SERVERLIST_UPDATE, "cfreedbserverlistdlg.bt.updatelist");
    m_list.SubclassDlgItem(IDC_SERVERLIST_LIST, this);

    CAppCfg& cfg = GetAppCfg();
    int row = 0;
    for (int i = 0, n = cfg.GetFreedbServerListCount(); i < n; ++i) {
        CString server;
        if (cfg.GetFreedbServerListItem(i, server) && !server.IsEmpty())
            m_list.InsertItem(row++, server);
    }
    if (row == 0)
        m_list.InsertItem(0, DefaultServer());
    m_list.SetFocus();
    return FALSE; // the focus is set
}

void CFreedbServerListDlg::OnUpdateList()
{
    CAppCfg& cfg = GetAppCfg();
    CFreedbMgr freedb("Sonoria", kRunningVersion);
    ApplyFreedbProxy(freedb);
    freedb.SetTimeout(cfg.GetFreedbTimeout() * 1000);
    CStringArray hosts;
    HCURSOR hOld = ::SetCursor(::LoadCursor(nullptr, IDC_WAIT));
    const int found = freedb.GetSites(DefaultServer(), hosts);
    ::SetCursor(hOld);
    if (found <= 0)
        return;
    for (INT_PTR i = 0; i < hosts.GetSize(); ++i) {
        CString host = hosts[i];
        host.Trim();
        if (host.IsEmpty())
            continue;
        bool known = false;
        for (int r = 0, n = m_list.GetItemCount(); r < n && !known; ++r) {
            CString row = m_list.GetItemText(r, 0);
            row.Trim();
            known = row.CompareNoCase(host) == 0;
        }
        if (!known)
            m_list.InsertItem(m_list.GetItemCount(), host);
    }
}

void CFreedbServerListDlg::OnOK()
{
    CAppCfg& cfg = GetAppCfg();
    cfg.ClearFreedbServerList();
    for (int r = 0, n = m_list.GetItemCount(); r < n; ++r) {
        CString server = m_list.GetItemText(r, 0);
        server.Trim();
        if (!server.IsEmpty())
            cfg.AddFreedbServer(server);
    }
    cfg.Save();
    EndDialog(IDOK);
}
