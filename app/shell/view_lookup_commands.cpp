// The view's disc lookups: the freedb query with its attempts and the match chooser, the query
// of the disc-information service, and the submission of the edited disc to that service.
#include "app/shell/sonoria3_view.h"

#include "app/dialogs/freedb_choose_dlg.h"
#include "app/dialogs/freedb_proxy.h"
#include "app/shell/main_frame.h"
#include "app/shell/sonoria3_doc.h"
#include "catalogue/cddb/freedb_mgr.h"
#include "catalogue/service/sonoria_db_mgr.h"
#include "foundation/i18n/i18n.h"
#include "foundation/settings/app_cfg.h"

namespace
{
constexpr char kClientName[] = "Sonoria";
constexpr char kClientVersion[] = "3.70";
constexpr int kFreedbAttempts = 3;

CCDDBTrackPosition PositionOf(int nSector)
{
    return CCDDBTrackPosition(nSector / 4500, nSector / 75 % 60, nSector % 75);
}
} // namespace

int CSonoria3View::FreedbAttemptTimeoutMs(int nTimeoutSeconds, int nAttempt)
{
    return nTimeoutSeconds / (nAttempt + 1) * 1000;
}

void CSonoria3View::BuildTrackPositions(const CCDInfo& info, CCDDBTrackPositionArray& positions)
{
    positions.RemoveAll();
    int p = 0;
    for (int i = 0; i < info.GetTrackCount(); ++i) {
        const CCDTrack* pTrack = info.GetTrack(i);
        p = pTrack->GetStartSector() + 150;
        CCDDBTrackPosition position = PositionOf(p);
        positions.Add(position);
    }
    if (info.GetTrackCount() > 0) {
        CCDDBTrackPosition leadOut =
            PositionOf(p + info.GetTrack(info.GetTrackCount() - 1)->GetLengthFrames());
        positions.Add(leadOut);
    }
}

void CSonoria3View::ApplyFreedbRecord(CCDInfo& info, const CCDDBRecord& record, BOOL bSlashSep)
{
    info.SetExtendedData(record.m_strExtendedData);
    info.SetYear(record.m_nYear);
    info.SetArtist(record.m_strDiscArtist);
    info.SetGenre(record.m_strGenre);
    info.SetTitle(record.m_strDiscTitle);
    info.SetRevision(-1);
    info.SetModified();
    info.UpdateChecksum(false);

    const int n = static_cast<int>(record.m_arrTrackTitles.GetSize());
    CString text;
    for (int i = 0; i < n; ++i) {
        CCDTrack* pTrack = info.GetTrack(i);
        if (pTrack == nullptr)
            continue;
        CString title = record.m_arrTrackTitles[i];
        CString artist = record.m_strDiscArtist;
        // Compilations write "artist / title" into the track title.
        const int slash = title.Find('/');
        if (slash > 0 && bSlashSep) {
            artist = title.Left(slash);
            title = title.Mid(slash + 1);
            artist.Trim();
            title.Trim();
        }
        pTrack->SetTrackTitle(title);
        pTrack->SetTrackExt(i < record.m_arrExtendedTrackData.GetSize()
                                ? record.m_arrExtendedTrackData[i]
                                : CString());
        pTrack->SetAlbumTitle(record.m_strDiscTitle);
        pTrack->SetContentType(record.m_strGenre);
        pTrack->SetArtist(artist);
        pTrack->SetAlbumArtist(record.m_strDiscArtist);
        pTrack->SetMediaType("CD");
        pTrack->SetDurationFromFrames(pTrack->GetLengthFrames());
        text.Format("%d/%d", i + 1, n);
        pTrack->SetTrackPosition(text);
        pTrack->SetCDId(info.GetCDDBId());
        if (record.m_nYear > 0) {
            text.Format("%d", record.m_nYear);
            pTrack->SetYear(text);
        }
    }
}

void CSonoria3View::ReportStatus(LPCTSTR lpszText)
{
    if (auto* pFrame = dynamic_cast<CMainFrame*>(AfxGetMainWnd()))
        pFrame->SetStatusText(lpszText);
}

BOOL CSonoria3View::CanLookUp() const
{
    CSonoria3Doc* pDoc = GetDocument();
    return pDoc != nullptr && pDoc->GetMode() == CSonoria3Doc::MODE_RIPPER &&
           pDoc->GetCDInfo().GetAudioTrackCount() > 0;
}

void CSonoria3View::OnUpdateLookUp(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(CanLookUp());
}

void CSonoria3View::OnUpdateSubmitDiscIndex(CCmdUI* pCmdUI)
{
    CSonoria3Doc* pDoc = GetDocument();
    pCmdUI->Enable(CanLookUp() && pDoc->IsSubmittable() &&
                   !pDoc->GetCDInfo().MatchesStoredChecksum());
}

void CSonoria3View::OnQueryFreedb()
{
    CSonoria3Doc* pDoc = GetDocument();
    if (pDoc == nullptr || pDoc->GetCDInfo().GetAudioTrackCount() == 0)
        return;
    const CString noMatch =
        I18NString("csonoria3view.const.freedbnomatch", "freedb query: no match");
    const CString found = I18NString("csonoria3view.const.freedbok", "freedb query: CD found");
    const CString serverError =
        I18NString("csonoria3view.const.freedbservererror", "freedb query: server error");
    CAppCfg& cfg = GetAppCfg();
    CFreedbMgr freedb(kClientName, kClientVersion);
    ApplyFreedbProxy(freedb);
    CCDInfo& info = pDoc->GetCDInfo();
    const CString server = cfg.GetFreedbServer();
    CCDDBTrackPositionArray positions;
    BuildTrackPositions(info, positions);

    CCDDBRecordArray records;
    int result = -1;
    {
        CWaitCursor wait;
        for (int k = 0; k < kFreedbAttempts; ++k) {
            freedb.SetTimeout(FreedbAttemptTimeoutMs(cfg.GetFreedbTimeout(), k));
            result = freedb.QueryAndRead(server, info.GetDiscId(), positions, records);
            if (result >= 0)
                break;
            ::Sleep(300 * (k + 1));
        }
    }
    if (result < 0) {
        ReportStatus(serverError + " (" + freedb.GetLastErrorText() + ")");
        return;
    }
    if (result == 0) {
        ReportStatus(noMatch);
        return;
    }
    int chosen = -1;
    if (result == 1 && cfg.GetFreedbAutoChoose1()) {
        chosen = 0;
    } else {
        CFreedbChooseDlg dlg(nullptr);
        dlg.SetRecords(&records);
        if (dlg.DoModal() == IDOK)
            chosen = dlg.GetSelectedIndex();
    }
    if (chosen >= 0 && chosen < records.GetSize()) {
        ApplyFreedbRecord(info, records[chosen], cfg.GetFreedbUseSlashSep());
        ReportStatus(found);
    } else {
        ReportStatus(noMatch);
    }
    pDoc->UpdateAllViews(nullptr);
}

void CSonoria3View::OnQueryDiscIndex()
{
    CSonoria3Doc* pDoc = GetDocument();
    if (pDoc == nullptr || pDoc->GetCDInfo().GetAudioTrackCount() == 0)
        return;
    const CString found = I18NString("csonoria3view.const.sonoriadbok", "Calvera query: CD found");
    const CString noMatch =
        I18NString("csonoria3view.const.sonoriadbnomatch", "Calvera query: no match");
    const CString serverError =
        I18NString("csonoria3view.const.sonoriadbservererror", "Calvera query: server error");
    const CString noConnection = I18NString("csonoria3view.const.sonoriadbservernoconn",
                                            "Calvera query: no connection to server");
    const CString maintenance =
        I18NString("csonoria3view.const.sonoriadbservermaint",
                   "Calvera query: server in maintenance, please retry later");
    CSonoriaDBMgr service;
    CCDInfo& info = pDoc->GetCDInfo();
    int code = 0;
    {
        CWaitCursor wait;
        code = service.QueryCD(info.GetTocId(), &info);
    }
    switch (code) {
    case 0:
        ReportStatus(found);
        pDoc->UpdateAllViews(nullptr);
        break;
    case 3:
        ReportStatus(noMatch);
        break;
    case 6:
        ReportStatus(maintenance);
        break;
    case 10:
        ReportStatus(noConnection);
        break;
    default:
        ReportStatus(serverError);
        break;
    }
}

void CSonoria3View::OnSubmitDiscIndex()
{
    CSonoria3Doc* pDoc = GetDocument();
    if (pDoc == nullptr || pDoc->GetCDInfo().GetAudioTrackCount() == 0)
        return;
    const CString title =
        I18NString("csonoria3view.const.sonoriadbsubmissiontitle", "Calvera submission");
    const CString accepted = I18NString("csonoria3view.const.sonoriadbsubmissionok",
                                        "Submission successful. Thank you for your contribution.");
    const CString internalError = I18NString("csonoria3view.const.sonoriadbsubmissionservererror",
                                             "Internal error %d. Please try again later.");
    const CString noAnswer = I18NString("csonoria3view.const.sonoriadbsubmissionnoanswer",
                                        "No answer from the server please try again later.");
    const CString maintenance =
        I18NString("csonoria3view.const.sonoriadbsubmissionmaint",
                   "Calvera server is in maintenance, please try again later.");
    const CString revision = I18NString(
        "csonoria3view.const.sonoriadbsubmissionrev",
        "Revision value on server higher than one in your data\r\nProbably someone edited this "
        "CD and posted it before you.");
    CSonoriaDBMgr service;
    CCDInfo& info = pDoc->GetCDInfo();
    int code = 0;
    {
        CWaitCursor wait;
        code = service.SubmitCD(&info, "", "", kClientName);
    }
    CString text;
    UINT icon = MB_ICONERROR;
    switch (code) {
    case 0:
        info.SetRevision(info.GetRevision() + 1);
        pDoc->UpdateAllViews(nullptr);
        text = accepted;
        icon = MB_ICONINFORMATION;
        break;
    case 6:
        text = maintenance;
        break;
    case 8:
        text = revision;
        break;
    case 10:
        text = noAnswer;
        break;
    default: {
        // The text comes from a language file: only its "%d" is filled, nothing read as a format.
        CString number;
        number.Format("%d", code);
        text = internalError;
        text.Replace("%d", number);
        break;
    }
    }
    ReportStatus(text);
    MessageBox(text, title, icon);
}
