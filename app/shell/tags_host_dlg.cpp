// A tag page of the CD information bar: the property grid over the whole page.
#include "app/shell/tags_host_dlg.h"

#include "resources/info_tags_res.h"

IMPLEMENT_DYNAMIC(CTagsHostDlg, CDialog)

BEGIN_MESSAGE_MAP(CTagsHostDlg, CDialog)
ON_WM_SIZE()
END_MESSAGE_MAP()

CTagsHostDlg::CTagsHostDlg() : CDialog(IDD_TAGS_HOST) {}

CTagsHostDlg::~CTagsHostDlg() = default;

BOOL CTagsHostDlg::Create(CWnd* pParent)
{
    return CDialog::Create(IDD_TAGS_HOST, pParent);
}

void CTagsHostDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
}

BOOL CTagsHostDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    CRect rc;
    GetClientRect(&rc);
    m_propCtrl.Create(this, IDC_TAGS_HOST_GRID, rc, nullptr);
    m_propCtrl.SetAutoNameColumn(true);
    m_propCtrl.ShowComment(true);
    m_propCtrl.SetCommentHeight(24);
    return TRUE;
}

void CTagsHostDlg::OnSize(UINT nType, int cx, int cy)
{
    Default();
    if (m_propCtrl.m_hWnd != nullptr)
        m_propCtrl.MoveWindow(0, 0, cx, cy, TRUE);
}
