// The batch of the format commands: unique output names, folders and tasks.
#include "app/shell/rip_batch_builder.h"

#include <windows.h>
#include <shlwapi.h>

#include "catalogue/model/cd_track.h"
#include "foundation/settings/app_cfg.h"
#include "foundation/util/sys_utils.h"
#include "rip/rip_task.h"
#include "rip/rip_thread_list.h"
#include "rip/track_name_handler.h"

namespace {

// The template of item `FileNameFormat` of `FileNameDefs`: the text after the first "|"
// (before it stands the display name); empty without such an item or without a "|".
CString ChosenTemplate(CAppCfg& cfg)
{
    CString strItem;
    if (!cfg.GetFileNameDefsItem(cfg.GetFileNameFormat(), strItem))
        return CString();
    const int nBar = strItem.Find('|');
    return nBar < 0 ? CString() : strItem.Mid(nBar + 1);
}

} // namespace

CRipBatchBuilder::CRipBatchBuilder(CRipThreadList& batch, int nFormat)
    : m_batch(batch), m_nFormat(nFormat)
{
    CAppCfg& cfg = GetAppCfg();
    m_strFolder = cfg.GetOutputPath();
    m_strTemplate = ChosenTemplate(cfg);
    m_bUseFileNames = cfg.GetConverterUsesFilenames();
    m_bOverwrite = cfg.GetOverwrite();
    m_bWriteLrc = cfg.GetWriteLrcFile();
    m_dGain = cfg.GetRipVolume() / 100.0;
}

CString CRipBatchBuilder::PrepareOutputFolder()
{
    CAppCfg& cfg = GetAppCfg();
    if (cfg.GetOutputPath().GetLength() < 3)
        cfg.SetOutputPath(GetDesktopFolder());
    if (cfg.GetOutputPath().GetLength() < 3)
        cfg.SetOutputPath("C:\\");
    return cfg.GetOutputPath();
}

int CRipBatchBuilder::ConcurrencyLimit(int nMode)
{
    CAppCfg& cfg = GetAppCfg();
    const int nLimit = nMode == 0 ? cfg.GetConcurrentRippings() : cfg.GetConcurrentConversions();
    if (nLimit >= 1)
        return nLimit;
    const int nProcessors = GetProcessorCount();
    return nProcessors > 1 ? nProcessors : 1;
}

// The first free name: the plain one, then the names with [1], [2] and so on. A name is taken
// when a file of it exists (unless `Overwrite` is set) or an earlier row of the batch got it,
// letter case aside.
CString CRipBatchBuilder::TakeName(const CCDTrack& track, CString& strLrcPath)
{
    for (int n = 0;; ++n) {
        CString strPath;
        if (track.IsFileEntry() && m_bUseFileNames)
            CTrackNameHandler::BuildConvertPath(m_strFolder,
                                                CTrackNameHandler::GetFileTitle(track.GetFilePath()),
                                                strPath, strLrcPath, n, m_nFormat);
        else
            CTrackNameHandler::BuildRipPath(m_strFolder, m_strTemplate, track, strPath,
                                            strLrcPath, n, m_nFormat);
        // No name fits the path limits whatever the counter: the job reports it (its writer
        // cannot open an empty name), where counting on would never end.
        if (strPath.IsEmpty())
            return strPath;
        if (!m_bOverwrite && ::PathFileExists(strPath))
            continue;
        CString strKey = strPath;
        strKey.MakeUpper();
        void* pTaken = nullptr;
        if (m_taken.Lookup(strKey, pTaken))
            continue;
        m_taken.SetAt(strKey, nullptr);
        return strPath;
    }
}

BOOL CRipBatchBuilder::AddTrack(int nRow, const CCDTrack& track)
{
    if (!track.IsAudio() && !track.IsFileEntry())
        return FALSE;
    CString strLrcPath;
    const CString strPath = TakeName(track, strLrcPath);
    if (!strPath.IsEmpty())
        CTrackNameHandler::CreateDirectories(strPath);
    CRipTask* pTask = nullptr;
    if (track.IsAudio())
        pTask = new CRipTask(track.GetDriveIndex(), nRow + 1, track.GetStartSector(),
                             track.GetEndSector(), m_nFormat, strPath);
    else
        pTask = new CRipTask(CRipTask::SourceTypeFromFileType(track.GetFileType()),
                             track.GetFilePath(), m_nFormat, strPath);
    pTask->SetTrackInfo(track);
    pTask->SetGain(m_dGain);
    if (m_bWriteLrc)
        pTask->SetLrcFile(strLrcPath);
    m_batch.AddTask(pTask);
    return TRUE;
}
