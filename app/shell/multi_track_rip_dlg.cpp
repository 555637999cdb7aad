// The multi-track rip dialog: the range lists, the output name and format, the tags grid, and
// the task with its cue sheet built on "Rip".
#include "app/shell/multi_track_rip_dlg.h"

#include "app/shell/rip_range_common.h"
#include "catalogue/model/cd_info.h"
#include "foundation/i18n/i18n.h"
#include "foundation/settings/app_cfg.h"
#include "framework/ddx.h"
#include "rip/rip_task.h"

IMPLEMENT_DYNAMIC(CMultiTrackRipDlg, CDialog)

BEGIN_MESSAGE_MAP(CMultiTrackRipDlg, CDialog)
ON_CONTROL(CBN_SELCHANGE, IDC_RIPDLG_FROM_TRACK, UpdateRange)
ON_CONTROL(CBN_SELCHANGE, IDC_RIPDLG_TO_TRACK, UpdateRange)
ON_CONTROL(CBN_SELCHANGE, IDC_RIPDLG_FORMAT, UpdateRange)
ON_EN_CHANGE(IDC_RIPDLG_OUTFILE, OnChangeOutFile)
END_MESSAGE_MAP()

namespace {

// A name must be longer than this to be ripped to.
constexpr int kShortestName = 4;

} // namespace

CMultiTrackRipDlg::CMultiTrackRipDlg(CCDInfo* pDisc, int nDrive, CWnd* pParent)
    : CDialog(IDD, pParent), m_pDisc(pDisc), m_nDrive(nDrive)
{
}

CMultiTrackRipDlg::~CMultiTrackRipDlg()
{
    delete m_pTask;
}

void CMultiTrackRipDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_RIPDLG_FROM_TRACK, m_fromList);
    DDX_Control(pDX, IDC_RIPDLG_TO_TRACK, m_toList);
    DDX_Control(pDX, IDC_RIPDLG_OUTFILE, m_outFile);
    DDX_Control(pDX, IDC_RIPDLG_FORMAT, m_formatList);
    DDX_Control(pDX, IDOK, m_btnRip);
    DDX_Control(pDX, IDC_RIPDLG_CUESHEET, m_btnCueSheet);
}

BOOL CMultiTrackRipDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    I18NSetWindowText(this, "cmultitrackripdlg.title");
    I18NSetDlgItemText(this, IDC_RIPDLG_FRAME_MULTI, "cmultitrackripdlg.st.framemultitrack");
    I18NSetDlgItemText(this, IDC_RIPDLG_FROM_TRACK_LABEL, "cmultitrackripdlg.st.fromtrack");
    I18NSetDlgItemText(this, IDC_RIPDLG_TO_TRACK_LABEL, "cmultitrackripdlg.st.totrack");
    I18NSetDlgItemText(this, IDC_RIPDLG_OUTFILE_LABEL, "cmultitrackripdlg.st.outfile");
    I18NSetDlgItemText(this, IDC_RIPDLG_FORMAT_LABEL, "cmultitrackripdlg.st.outformat");
    I18NSetDlgItemText(this, IDC_RIPDLG_CUESHEET, "cmultitrackripdlg.st.generatecuesheet");
    I18NSetDlgItemText(this, IDOK, "cmultitrackripdlg.bt.rip");
    I18NSetDlgItemText(this, IDCANCEL, "cmultitrackripdlg.bt.cancel");

    const int nTracks = m_pDisc != nullptr ? m_pDisc->GetTrackCount() : 0;
    if (nTracks < 2) {
        PostMessage(WM_COMMAND, IDCANCEL);
        return FALSE;
    }
    rip_range::CreateTagsGrid(*this, m_grid, &m_outputTrack);

    for (int i = 0; i < nTracks; ++i) {
        CString text;
        text.Format("%d-%s", i + 1, static_cast<LPCTSTR>(m_pDisc->GetTrack(i)->GetTrackTitle()));
        if (i < nTracks - 1)
            m_fromList.AddString(text);
        if (i > 0)
            m_toList.AddString(text);
    }
    m_fromList.SetCurSel(0);
    m_toList.SetCurSel(m_toList.GetCount() - 1);

    const int nFormat = GetAppCfg().GetDefaultTargetFormat();
    rip_range::FillFormatList(m_formatList);
    m_formatList.SetCurSel(nFormat);
    m_outFile.SetPath(rip_range::DefaultOutputPath("cmultitrackripdlg.const.defaultfilename",
                                                   "multitrack", nFormat));

    rip_range::FillOutputTrack(m_outputTrack, *m_pDisc, m_nDrive);
    UpdateRange();
    return TRUE;
}

CString CMultiTrackRipDlg::OutputName() const
{
    CString strName;
    m_outFile.GetPath(strName);
    return strName;
}

void CMultiTrackRipDlg::UpdateRange()
{
    const int nFrom = m_fromList.GetCurSel();
    int nTo = m_toList.GetCurSel();
    if (nFrom < 0 || nTo < 0)
        return;
    // The range holds at least the "from" track and the next one.
    if (nFrom >= nTo) {
        m_toList.SetCurSel(nFrom);
        nTo = nFrom;
    }
    const CString strName = OutputName();
    const CString strNew = rip_range::WithExtension(strName, m_formatList.GetCurSel());
    if (strNew != strName)
        m_outFile.SetPath(strNew);

    const CCDTrack* pFirst = m_pDisc->GetTrack(nFrom);
    const CCDTrack* pLast = m_pDisc->GetTrack(nTo + 1);
    const int nStart = pFirst->GetStartSector();
    m_outputTrack.SetStartSector(nStart);
    m_outputTrack.SetLengthFrames(pLast->GetEndSector() - nStart);
    m_outputTrack.SetDurationFromFrames(m_outputTrack.GetLengthFrames());
    rip_range::RedrawGrid(m_grid);
}

void CMultiTrackRipDlg::OnChangeOutFile()
{
    if (m_btnRip.m_hWnd != nullptr)
        m_btnRip.EnableWindow(OutputName().GetLength() > kShortestName);
}

void CMultiTrackRipDlg::OnOK()
{
    if (OutputName().GetLength() <= kShortestName)
        return;
    // An edit still open in the grid belongs to the tags.
    m_grid.GetListWnd().CommitSelected();
    UpdateRange();
    const int nFormat = m_formatList.GetCurSel();
    const CString strName = OutputName();
    delete m_pTask;
    m_pTask = new CRipTask(m_nDrive, -1, m_outputTrack.GetStartSector(),
                           m_outputTrack.GetEndSector(), nFormat, strName);
    m_pTask->SetTrackInfo(m_outputTrack);
    m_bCueSheetWanted = m_btnCueSheet.GetCheck() == BST_CHECKED;
    if (m_bCueSheetWanted)
        FillCueSheet(m_fromList.GetCurSel(), m_toList.GetCurSel());
    CDialog::OnOK();
}

void CMultiTrackRipDlg::FillCueSheet(int nFrom, int nTo)
{
    const CString strName = OutputName();
    m_strCueSheetPath = rip_range::WithoutExtension(strName) + ".cue";
    m_cueSheet.Clear();
    const CString strTitle = m_outputTrack.GetTrackTitle();
    m_cueSheet.SetTitle(strTitle.IsEmpty() ? m_outputTrack.GetAlbumTitle() : strTitle);
    // The album artist getter already falls back to the artist; the performer is the artist
    // first.
    const CString strArtist = m_outputTrack.GetArtist();
    m_cueSheet.SetPerformer(strArtist.IsEmpty() ? m_outputTrack.GetAlbumArtist() : strArtist);
    const int nSlash = strName.ReverseFind('\\');
    m_cueSheet.SetFile(nSlash > 0 ? strName.Mid(nSlash + 1) : strName);

    const int nStart = m_pDisc->GetTrack(nFrom)->GetStartSector();
    for (int n = nFrom; n <= nTo + 1; ++n) {
        const CCDTrack* pTrack = m_pDisc->GetTrack(n);
        const int nOffset = pTrack->GetStartSector() - nStart;
        CString strTime;
        strTime.Format("%02d:%02d:%02d", nOffset / 4500, nOffset / 75 - (nOffset / 4500) * 60,
                       nOffset % 75);
        m_cueSheet.AddTrack(pTrack->GetTrackTitle(), pTrack->GetArtist(), strTime);
    }
}
