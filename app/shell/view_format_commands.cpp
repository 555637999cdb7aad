// The view's rip and convert commands: the checked tracks or files of the grid become a batch
// of jobs in the default or a chosen output format, run in the progress window.
#include "app/shell/sonoria3_view.h"

#include <memory>

#include "app/shell/progress_dlg.h"
#include "app/shell/rip_batch_builder.h"
#include "app/shell/sonoria3_doc.h"
#include "catalogue/model/cd_info.h"
#include "catalogue/model/cd_track.h"
#include "foundation/i18n/i18n.h"
#include "foundation/settings/app_cfg.h"
#include "resources/resource.h"
#include "rip/rip_thread_list.h"

namespace {

// The menu texts of the six commands in the "Ripper" and the "Converter" mode.
struct FormatCommand {
    UINT nID;
    LPCTSTR lpszRipKey;
    LPCTSTR lpszRipText;
    LPCTSTR lpszConvertKey;
    LPCTSTR lpszConvertText;
};
const FormatCommand kCommands[] = {
    {ID_RIP_WAV, "csonoria3view.const.menu-ripselectedtrackstowav", "Rip Selected Tracks To &Wav",
     "csonoria3view.const.menu-convertselectedtrackstowav", "Convert Selected Tracks to &Wav"},
    {ID_RIP_MP3, "csonoria3view.const.menu-ripselectedtrackstomp3", "Rip Selected Tracks To &MP3",
     "csonoria3view.const.menu-convertselectedtrackstomp3", "Convert Selected Tracks to &MP3"},
    {ID_RIP_OGG, "csonoria3view.const.menu-ripselectedtrackstovorbis",
     "Rip Selected Tracks To &Vorbis", "csonoria3view.const.menu-convertselectedtrackstovorbis",
     "Convert Selected Tracks to &Vorbis"},
    {ID_RIP_WMA, "csonoria3view.const.menu-ripselectedtrackstowma", "Rip Selected Tracks To WM&A",
     "csonoria3view.const.menu-convertselectedtrackstowma", "Convert Selected Tracks to WM&A"},
    {ID_RIP_FLAC, "csonoria3view.const.menu-ripselectedtrackstoflac", "Rip Selected Tracks To &FLAC",
     "csonoria3view.const.menu-convertselectedtrackstoflac", "Convert Selected Tracks to &FLAC"},
    {ID_RIP_DEFAULT, "csonoria3view.const.menu-ripselectedtracks", "Rip &Selected Tracks",
     "csonoria3view.const.menu-convertselectedtracks", "Convert &Selected Tracks"},
};

} // namespace

void CSonoria3View::OnRipDefault()
{
    if (GetDocument()->GetMode() == 2)
        return;
    const int nFormat = m_pCfg->GetDefaultTargetFormat();
    RipSelectedTracks(nFormat >= 1 && nFormat <= 4 ? nFormat : 0);
}

void CSonoria3View::OnRipWav()
{
    RipSelectedTracks(0);
}

void CSonoria3View::OnRipMp3()
{
    RipSelectedTracks(1);
}

void CSonoria3View::OnRipOgg()
{
    RipSelectedTracks(2);
}

void CSonoria3View::OnRipWma()
{
    RipSelectedTracks(3);
}

void CSonoria3View::OnRipFlac()
{
    RipSelectedTracks(4);
}

// Enabled with a selected track outside the "Tagger" mode; the text follows the mode there.
void CSonoria3View::OnUpdateRipCommand(CCmdUI* pCmdUI)
{
    CSonoria3Doc* pDoc = GetDocument();
    const int nMode = pDoc->GetMode();
    pCmdUI->Enable(nMode != 2 && pDoc->GetCDInfo().GetSelectedTrackCount() > 0);
    if (nMode == 2)
        return;
    for (const FormatCommand& c : kCommands)
        if (c.nID == pCmdUI->m_nID)
            pCmdUI->SetText(nMode == 0 ? I18NString(c.lpszRipKey, c.lpszRipText)
                                       : I18NString(c.lpszConvertKey, c.lpszConvertText));
}

void CSonoria3View::RipSelectedTracks(int nFormat)
{
    const CString strNoTracks = I18NString("csonoria3view.const.notracksselected",
                                           "No tracks selected. Please select tracks to rip.");
    const CString strNoTracksTitle =
        I18NString("csonoria3view.const.notracksselectedtitle", "No tracks to rip");
    CRipBatchBuilder::PrepareOutputFolder();
    CSonoria3Doc* pDoc = GetDocument();
    CCDInfo& disc = pDoc->GetCDInfo();

    // The batch outlives the window; it stops and deletes its jobs last.
    auto pBatch = std::make_unique<CRipThreadList>();
    pBatch->SetMaxConcurrent(CRipBatchBuilder::ConcurrencyLimit(pDoc->GetMode()));
    {
        CRipBatchBuilder builder(*pBatch, nFormat);
        // The grid's boxes decide, not the tracks' selected flags: a checked data row is
        // skipped by the builder.
        for (int nRow = 0; nRow < m_grid.GetItemCount(); ++nRow) {
            const CCDTrack* pTrack = disc.GetTrack(nRow);
            if (pTrack != nullptr && m_grid.GetCheck(nRow))
                builder.AddTrack(nRow, *pTrack);
        }
    }
    if (pBatch->GetCount() < 1) {
        MessageBox(strNoTracks, strNoTracksTitle, MB_ICONEXCLAMATION);
        return;
    }
    CProgressDlg dlg(this);
    dlg.SetThreadList(pBatch.get());
    dlg.SetDiscTitle(disc.GetTitle());
    dlg.DoModal();
}
