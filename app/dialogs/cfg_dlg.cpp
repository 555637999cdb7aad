// The options window: layout, the copy of the settings in and out, and the help page.
#include "app/dialogs/cfg_dlg.h"

#include "foundation/i18n/i18n.h"
#include "foundation/settings/app_cfg.h"
#include "foundation/util/sys_utils.h"
#include "foundation/web/endpoints.h"
#include "foundation/web/update_check.h"

IMPLEMENT_DYNAMIC(CCfgDlg, CDialog)

BEGIN_MESSAGE_MAP(CCfgDlg, CDialog)
ON_WM_SIZE()
ON_WM_GETMINMAXINFO()
ON_BN_CLICKED(IDOK, OnBnClickedOk)
ON_BN_CLICKED(IDC_CFGDLG_HELP, OnHelp)
END_MESSAGE_MAP()

namespace {

// The gap between the grid and the buttons, and the margin used when OK is missing.
constexpr int kGridGap = 6;
constexpr int kMarginWithoutOk = 30;

// A control's rectangle in the dialog's client coordinates.
CRect ClientRectOf(CWnd* pDlg, CWnd* pControl)
{
    CRect rc;
    pControl->GetWindowRect(&rc);
    pDlg->ScreenToClient(&rc);
    return rc;
}

} // namespace

CCfgDlg::CCfgDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

CCfgDlg::~CCfgDlg() = default;

BOOL CCfgDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    I18NSetWindowText(this, "ccfgdlg.title");
    I18NSetDlgItemText(this, IDOK, "ccfgdlg.bt.ok");
    I18NSetDlgItemText(this, IDCANCEL, "ccfgdlg.bt.cancel");
    I18NSetDlgItemText(this, IDC_CFGDLG_HELP, "ccfgdlg.bt.help");

    CRect rcGrid;
    GetClientRect(&rcGrid);
    // The layout moves everything by the change from this size, whether or not the system's
    // first size notice reached us.
    m_nLastCx = rcGrid.Width();
    m_nLastCy = rcGrid.Height();
    m_bSized = true;
    if (CWnd* pOk = GetDlgItem(IDOK); pOk != nullptr)
        rcGrid.bottom = ClientRectOf(this, pOk).top - kGridGap;
    m_grid.Create(this, IDC_CFGDLG_GRID, rcGrid, nullptr);
    m_grid.SetFont(GetFont(), TRUE);
    m_grid.SetAutoNameColumn(true);
    m_grid.ShowComment(true);
    m_grid.SetCommentHeight(24);
    m_grid.SetPropertyHost(&m_host);

    // The rows read their members whenever they draw, so the copy after filling is what shows.
    CAppCfg& cfg = GetAppCfg();
    m_host.CopyFromSettings(cfg);

    const int dx = cfg.GetOptionsWindow_dx();
    const int dy = cfg.GetOptionsWindow_dy();
    if (dx > 100 && dy > 100)
        SetWindowPos(nullptr, 0, 0, dx, dy, SWP_NOMOVE | SWP_NOZORDER);
    return TRUE;
}

void CCfgDlg::OnBnClickedOk()
{
    // Out of range values cannot get here: the grid refused them while the user edited.
    CAppCfg& cfg = GetAppCfg();
    m_host.CopyToSettings(cfg);
    CRect rc;
    GetWindowRect(&rc);
    cfg.SetOptionsWindow_dx(rc.Width());
    cfg.SetOptionsWindow_dy(rc.Height());
    cfg.Save();
    CDialog::OnOK();
}

void CCfgDlg::OnSize(UINT nType, int cx, int cy)
{
    CDialog::OnSize(nType, cx, cy);
    // The first notice comes while the window is created, before the controls exist.
    if (m_bSized) {
        for (int nID : {IDOK, IDCANCEL, static_cast<int>(IDC_CFGDLG_HELP)})
            MoveControlBy(nID, m_nLastCx, m_nLastCy, cx, cy);
        if (m_grid.m_hWnd != nullptr) {
            CWnd* pOk = GetDlgItem(IDOK);
            const int margin =
                pOk != nullptr ? cy - ClientRectOf(this, pOk).top + kGridGap : kMarginWithoutOk;
            m_grid.MoveWindow(0, 0, cx, cy - margin, TRUE);
        }
    }
    m_bSized = true;
    m_nLastCx = cx;
    m_nLastCy = cy;
}

void CCfgDlg::MoveControlBy(int nID, int nLastCx, int nLastCy, int cx, int cy)
{
    CWnd* pControl = GetDlgItem(nID);
    if (pControl == nullptr)
        return;
    CRect rc = ClientRectOf(this, pControl);
    rc.OffsetRect(cx - nLastCx, cy - nLastCy);
    pControl->MoveWindow(&rc, TRUE);
    Invalidate();
}

void CCfgDlg::OnGetMinMaxInfo(MINMAXINFO* lpMMI)
{
    lpMMI->ptMinTrackSize = {408, 300};
    lpMMI->ptMaxTrackSize = {800, 600};
    CDialog::OnGetMinMaxInfo(lpMMI);
}

CString CCfgDlg::HelpPageUrl(LPCTSTR lpszLanguageCode)
{
    // The code comes from a language file: encoded, so it cannot add parameters of its own.
    CString url;
    url.Format("%s?s=hoptions&language=%s&version=%s&build=%d", endpoints::kHubPage,
               static_cast<LPCTSTR>(UrlEncoded(lpszLanguageCode)), kRunningVersion,
               kRunningBuild);
    return url;
}

void CCfgDlg::OnHelp()
{
    OpenUrlOrFile(HelpPageUrl(I18NString("global.const.langcode", "en")), TRUE);
}
