// The view's multi-track and raw rip commands: a dialog chooses a range of the disc and its
// tags, then its one task runs in the progress window.
#include "app/shell/sonoria3_view.h"

#include <memory>

#include "app/shell/multi_track_rip_dlg.h"
#include "app/shell/progress_dlg.h"
#include "app/shell/raw_rip_dlg.h"
#include "app/shell/sonoria3_doc.h"
#include "catalogue/model/cd_info.h"
#include "foundation/settings/app_cfg.h"
#include "rip/rip_task.h"
#include "rip/rip_thread_list.h"

namespace {

// Runs one task in the progress window, with the cue sheet when one is given; the playlist,
// without a disc title, is named "playlist".
void RunRangeTask(CRipTask* pTask, LPCTSTR lpszCueSheetPath, CCueSheet* pCueSheet)
{
    auto pBatch = std::make_unique<CRipThreadList>();
    pBatch->AddTask(pTask);
    auto pProgress = std::make_unique<CProgressDlg>(nullptr);
    pProgress->SetThreadList(pBatch.get());
    if (pCueSheet != nullptr)
        pProgress->SetCueSheet(lpszCueSheetPath, pCueSheet);
    pProgress->DoModal();
    pProgress.reset();
    pBatch.reset();
}

} // namespace

void CSonoria3View::OnMultiTrackRip()
{
    CCDInfo& disc = GetDocument()->GetCDInfo();
    if (disc.GetAudioTrackCount() < 1)
        return;
    CMultiTrackRipDlg dlg(&disc, m_pCfg->GetCDDevice());
    if (dlg.DoModal() != IDOK || dlg.GetTask() == nullptr)
        return;
    const BOOL bCueSheet = dlg.IsCueSheetWanted();
    RunRangeTask(dlg.DetachTask(), dlg.GetCueSheetPath(), bCueSheet ? dlg.GetCueSheet() : nullptr);
}

void CSonoria3View::OnRawRip()
{
    CCDInfo& disc = GetDocument()->GetCDInfo();
    if (disc.GetAudioTrackCount() < 1)
        return;
    CRawRipDlg dlg(&disc, m_pCfg->GetCDDevice());
    if (dlg.DoModal() != IDOK || dlg.GetTask() == nullptr)
        return;
    RunRangeTask(dlg.DetachTask(), nullptr, nullptr);
}

void CSonoria3View::OnUpdateMultiTrackRip(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(GetDocument()->GetCDInfo().GetAudioTrackCount() > 1);
}

void CSonoria3View::OnUpdateRawRip(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(GetDocument()->GetCDInfo().GetAudioTrackCount() > 0);
}
