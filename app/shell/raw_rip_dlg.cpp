// The raw rip dialog: the frame fields with their times, the output name and format, the tags
// grid, and the task built on "Rip".
#include "app/shell/raw_rip_dlg.h"

#include <cstdlib>

#include "app/shell/rip_range_common.h"
#include "catalogue/model/cd_info.h"
#include "foundation/i18n/i18n.h"
#include "foundation/settings/app_cfg.h"
#include "framework/ddx.h"
#include "rip/rip_task.h"

IMPLEMENT_DYNAMIC(CRawRipDlg, CDialog)

BEGIN_MESSAGE_MAP(CRawRipDlg, CDialog)
ON_EN_CHANGE(IDC_RIPDLG_OUTFILE, OnChangeOutFile)
ON_EN_CHANGE(IDC_RIPDLG_FROM_FRAME, OnChangeFromFrame)
ON_EN_CHANGE(IDC_RIPDLG_TO_FRAME, OnChangeToFrame)
END_MESSAGE_MAP()

namespace {

// A name must be longer than this for "Rip" to act.
constexpr int kShortestName = 4;

} // namespace

CRawRipDlg::CRawRipDlg(CCDInfo* pDisc, int nDrive, CWnd* pParent)
    : CDialog(IDD, pParent), m_pDisc(pDisc), m_nDrive(nDrive)
{
}

CRawRipDlg::~CRawRipDlg()
{
    delete m_pTask;
}

void CRawRipDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_RIPDLG_FORMAT, m_formatList);
    DDX_Control(pDX, IDC_RIPDLG_OUTFILE, m_outFile);
    DDX_Control(pDX, IDC_RIPDLG_TO_FRAME, m_toField);
    DDX_Control(pDX, IDC_RIPDLG_FROM_FRAME, m_fromField);
    DDX_Control(pDX, IDOK, m_btnRip);
    DDX_Control(pDX, IDC_RIPDLG_FROM_TIME, m_fromTime);
    DDX_Control(pDX, IDC_RIPDLG_TO_TIME, m_toTime);
}

BOOL CRawRipDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    I18NSetWindowText(this, "crawripdlg.title");
    I18NSetDlgItemText(this, IDC_RIPDLG_FRAME_RAW, "crawripdlg.st.framerawrip");
    I18NSetDlgItemText(this, IDC_RIPDLG_FROM_FRAME_LABEL, "crawripdlg.st.fromframe");
    I18NSetDlgItemText(this, IDC_RIPDLG_TO_FRAME_LABEL, "crawripdlg.st.toframe");
    I18NSetDlgItemText(this, IDC_RIPDLG_OUTFILE_LABEL, "crawripdlg.st.outfile");
    I18NSetDlgItemText(this, IDC_RIPDLG_FORMAT_LABEL, "crawripdlg.st.outformat");
    I18NSetDlgItemText(this, IDOK, "crawripdlg.bt.rip");
    I18NSetDlgItemText(this, IDCANCEL, "crawripdlg.bt.cancel");

    const int nTracks = m_pDisc != nullptr ? m_pDisc->GetTrackCount() : 0;
    if (nTracks < 1) {
        PostMessage(WM_COMMAND, IDCANCEL);
        return FALSE;
    }
    rip_range::CreateTagsGrid(*this, m_grid, &m_outputTrack);

    m_nFirstFrame = m_pDisc->GetTrack(0)->GetStartSector();
    m_nLastFrame = m_pDisc->GetTrack(nTracks - 1)->GetEndSector() - 1;
    CString text;
    text.Format("%d", m_nFirstFrame);
    m_fromField.SetWindowText(text);
    text.Format("%d", m_nLastFrame);
    m_toField.SetWindowText(text);

    const int nFormat = GetAppCfg().GetDefaultTargetFormat();
    rip_range::FillFormatList(m_formatList);
    m_formatList.SetCurSel(nFormat);
    m_outFile.SetPath(
        rip_range::DefaultOutputPath("crawripdlg.const.defaultfilename", "rawtrack", nFormat));

    rip_range::FillOutputTrack(m_outputTrack, *m_pDisc, m_nDrive);
    ApplyRange();
    return TRUE;
}

CString CRawRipDlg::OutputName() const
{
    CString strName;
    m_outFile.GetPath(strName);
    return strName;
}

long CRawRipDlg::FieldNumber(const CEdit& field)
{
    CString text;
    field.GetWindowText(text);
    return std::atol(text);
}

void CRawRipDlg::ApplyRange()
{
    const long nFrom = FieldNumber(m_fromField);
    const long nTo = FieldNumber(m_toField);
    const CString strName = OutputName();
    if (!strName.IsEmpty()) {
        const CString strNew = rip_range::WithExtension(strName, m_formatList.GetCurSel());
        if (strNew != strName)
            m_outFile.SetPath(strNew);
    }
    m_outputTrack.SetStartSector(static_cast<int>(nFrom));
    m_outputTrack.SetLengthFrames(static_cast<int>(nTo - nFrom));
    m_outputTrack.SetDurationFromFrames(nTo - nFrom);
    rip_range::RedrawGrid(m_grid);
    UpdateRipButton();
}

void CRawRipDlg::UpdateRipButton()
{
    if (m_btnRip.m_hWnd == nullptr)
        return;
    const long nFrom = FieldNumber(m_fromField);
    const long nTo = FieldNumber(m_toField);
    m_btnRip.EnableWindow(nFrom >= m_nFirstFrame && nTo <= m_nLastFrame && nTo > nFrom &&
                          !OutputName().IsEmpty());
}

void CRawRipDlg::ShowTime(const CEdit& field, CStatic& time)
{
    const long v = FieldNumber(field);
    CString text = "(--:--)";
    if (v >= m_nFirstFrame && v <= m_nLastFrame)
        text.Format("(%ld:%02ld)", v / 4500, (v / 75) % 60);
    time.SetWindowText(text);
}

void CRawRipDlg::OnChangeOutFile()
{
    UpdateRipButton();
}

void CRawRipDlg::OnChangeFromFrame()
{
    // The fields are filled in OnInitDialog before the other controls are.
    if (m_fromTime.m_hWnd == nullptr)
        return;
    ApplyRange();
    ShowTime(m_fromField, m_fromTime);
}

void CRawRipDlg::OnChangeToFrame()
{
    if (m_toTime.m_hWnd == nullptr)
        return;
    ApplyRange();
    ShowTime(m_toField, m_toTime);
}

void CRawRipDlg::OnOK()
{
    if (OutputName().GetLength() <= kShortestName)
        return;
    m_grid.GetListWnd().CommitSelected();
    ApplyRange();
    // A range the button refuses is not ripped, whichever way "Rip" was reached.
    if (!m_btnRip.IsWindowEnabled())
        return;
    const int nFrom = m_outputTrack.GetStartSector();
    delete m_pTask;
    m_pTask = new CRipTask(m_nDrive, -1, nFrom, nFrom + m_outputTrack.GetLengthFrames(),
                           m_formatList.GetCurSel(), OutputName());
    m_pTask->SetTrackInfo(m_outputTrack);
    CDialog::OnOK();
}
