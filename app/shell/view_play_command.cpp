// The view's Play command: the selected row's CD track or file played in the player window.
#include "app/shell/sonoria3_view.h"

#include <memory>

#include "app/dialogs/player_dlg.h"
#include "app/shell/sonoria3_doc.h"
#include "catalogue/model/cd_track.h"
#include "foundation/settings/app_cfg.h"
#include "rip/rip_task.h"

namespace {

// A task that reads the track's audio, or null for a row that is neither an audio track nor
// a file. Nothing is written: the output format and file are only placeholders.
std::unique_ptr<CRipTask> PlayTask(int nRow, const CCDTrack& track)
{
    std::unique_ptr<CRipTask> pTask;
    if (track.IsAudio())
        pTask = std::make_unique<CRipTask>(track.GetDriveIndex(), nRow + 1,
                                           track.GetStartSector(), track.GetEndSector(), 0, "");
    else if (track.IsFileEntry())
        pTask = std::make_unique<CRipTask>(CRipTask::SourceTypeFromFileType(track.GetFileType()),
                                           track.GetFilePath(), 0, "");
    if (pTask != nullptr)
        pTask->SetTrackInfo(track);
    return pTask;
}

} // namespace

void CSonoria3View::OnPlay()
{
    const int nRow = m_grid.GetCurSel();
    const CCDTrack* pTrack = TrackOfRow(nRow);
    if (pTrack == nullptr)
        return;
    const std::unique_ptr<CRipTask> pTask = PlayTask(nRow, *pTrack);
    if (pTask == nullptr)
        return;
    // The window goes before the task: its playback thread has ended when DoModal returns.
    CPlayerDlg dlg;
    dlg.m_nOutputDevice = m_pCfg->GetAudioOutDev();
    dlg.m_nStartVolume = m_pCfg->GetAudioOutVolume();
    dlg.SetTask(pTask.get());
    dlg.DoModal();
}

void CSonoria3View::OnUpdatePlay(CCmdUI* pCmdUI)
{
    const CCDTrack* pTrack = TrackOfRow(m_grid.GetCurSel());
    pCmdUI->Enable(pTrack != nullptr && (pTrack->IsAudio() || pTrack->IsFileEntry()));
}
