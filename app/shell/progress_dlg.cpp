// The progress window: the timer that drives the batch, the job rows and the end of the batch.
#include "app/shell/progress_dlg.h"

#include <mmsystem.h>
#include <shellapi.h>

#include <algorithm>
#include <iterator>

#include "audio/cd/audio_cd.h"
#include "foundation/i18n/i18n.h"
#include "foundation/settings/app_cfg.h"
#include "rip/cue_sheet.h"
#include "rip/playlist_builder.h"
#include "rip/rip_task.h"
#include "rip/rip_thread_list.h"
#include "rip/text_file.h"
#include "rip/track_name_handler.h"

IMPLEMENT_DYNAMIC(CProgressDlg, CDialog)

BEGIN_MESSAGE_MAP(CProgressDlg, CDialog)
ON_WM_TIMER()
ON_COMMAND(IDC_PROGRESS_STOP, OnStop)
ON_WM_PAINT()
ON_NOTIFY(LVN_GETDISPINFO, IDC_PROGRESS_LIST, OnGetDispInfo)
ON_NOTIFY(LVN_GETINFOTIP, IDC_PROGRESS_LIST, OnGetInfoTip)
END_MESSAGE_MAP()

namespace {

// The application icon drawn in place of a minimised window.
constexpr UINT kAppIcon = 128;

// Line breaks as CR LF, whatever the lyrics were typed with.
CString WithCrLf(const CString& strText)
{
    CString strOut;
    for (int i = 0; i < strText.GetLength(); ++i) {
        const char c = strText[i];
        if (c == '\r')
            continue;
        if (c == '\n')
            strOut += '\r';
        strOut += c;
    }
    return strOut;
}

} // namespace

CProgressDlg::CProgressDlg(CWnd* pParent) : CDialog(IDD, pParent) {}

CProgressDlg::~CProgressDlg() = default;

void CProgressDlg::SetCueSheet(LPCTSTR lpszPath, CCueSheet* pCueSheet)
{
    m_strCueSheetPath = lpszPath;
    m_pCueSheet = pCueSheet;
}

int CProgressDlg::JobCount() const
{
    return m_pThreadList != nullptr ? m_pThreadList->GetCount() : 0;
}

void CProgressDlg::DoDataExchange(CDataExchange* pDX)
{
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_PROGRESS_BAR, m_progress);
    DDX_Control(pDX, IDCANCEL, m_btnClose);
    DDX_Control(pDX, IDC_PROGRESS_STOP, m_btnStop);
    DDX_Control(pDX, IDC_PROGRESS_LIST, m_list);
}

BOOL CProgressDlg::OnInitDialog()
{
    CDialog::OnInitDialog();
    TranslateTexts();
    // Full a little before the last job ends; at least a range of one for an empty batch.
    m_progress.SetRange32(0, std::max(100 * JobCount() - 3, 1));
    m_btnClose.EnableWindow(FALSE);
    m_btnStop.EnableWindow(TRUE);
    SetUpList();
    m_nTimer = SetTimer(kTimerId, kTickMs);
    m_tStart = clock();
    return TRUE;
}

void CProgressDlg::TranslateTexts()
{
    // The template's texts are the English defaults.
    I18NSetWindowText(this, "cprogressdlg.title");
    I18NSetDlgItemText(this, IDCANCEL, "cprogressdlg.bt.idcancel");
    I18NSetDlgItemText(this, IDC_PROGRESS_STOP, "cprogressdlg.bt.stop");
    I18NSetDlgItemText(this, IDC_PROGRESS_FRAME, "cprogressdlg.bt.frameprogess");
}

void CProgressDlg::SetUpList()
{
    const CString strColumn1 = I18NString("cprogressdlg.bt.column1", "Output file name");
    const CString strColumn2 = I18NString("cprogressdlg.bt.column2", "Progress");
    m_list.SetExtendedStyle(m_list.GetExtendedStyle() | LVS_EX_INFOTIP);
    m_list.InsertColumn(0, strColumn1, LVCFMT_LEFT, 200);
    m_list.InsertColumn(1, strColumn2, LVCFMT_LEFT, 60);
    if (::IsWindow(m_list.m_hWnd)) {
        CRect rc;
        m_list.GetClientRect(&rc);
        m_list.SetColumnWidth(0, rc.Width() - 100);
        m_list.SetColumnWidth(1, 100);
        m_list.EnableToolTips();
    }
    // The job texts are asked for when a row paints (LVN_GETDISPINFO); only the names are
    // stored.
    for (int j = 0; j < JobCount(); ++j) {
        const int nRow = m_list.InsertItem(j, m_pThreadList->GetThread(j)->GetOutputFileTitle());
        m_list.SetItemText(nRow, 1, LPSTR_TEXTCALLBACK);
    }
}

void CProgressDlg::AddLine(LPCTSTR lpszText)
{
    m_list.InsertItem(m_list.GetItemCount(), lpszText);
}

void CProgressDlg::OnTimer(UINT_PTR nIDEvent)
{
    if (nIDEvent == kTimerId && m_nTimer != 0) {
        const CString strDone = I18NString("cprogressdlg.const.done", "Done.");
        const CString strElapsed =
            I18NString("cprogressdlg.const.elapsedtime", "Elapsed time: %ld seconds");
        const int nCount = JobCount();
        const int nWaiting = m_pThreadList != nullptr ? m_pThreadList->GetWaitingCount() : 0;
        const int nDone = m_pThreadList != nullptr ? m_pThreadList->GetDoneCount() : 0;
        const int nErrors = m_pThreadList != nullptr ? m_pThreadList->GetErrorCount() : 0;
        m_progress.SetPos(100 * (nDone + nErrors));
        if (nWaiting > 0)
            m_pThreadList->StartNext();
        // The job texts refresh once a second: on the first tick and every tenth after it.
        if (m_nTicks % 10 == 0)
            m_list.RedrawItems(0, nCount);
        ++m_nTicks;
        if (m_pThreadList == nullptr || m_pThreadList->GetActiveCount() == 0)
            EndBatch(strDone, strElapsed);
    }
    CDialog::OnTimer(nIDEvent);
}

void CProgressDlg::EndBatch(LPCTSTR lpszDone, LPCTSTR lpszElapsedFormat)
{
    KillTimer(m_nTimer);
    m_nTimer = 0;
    const int nCount = JobCount();
    const BOOL bErrors = m_pThreadList != nullptr && m_pThreadList->GetErrorCount() > 0;
    const BOOL bAnyDone = m_pThreadList != nullptr && m_pThreadList->GetDoneCount() > 0;
    if (!bErrors) {
        WritePlaylistFile();
        WriteCueSheetFile();
    }
    // Each completed job with an LRC name gets its lyrics file, also in a batch with errors.
    for (int j = 0; j < nCount; ++j)
        if (m_pThreadList->GetStatus(j) == CRipThread::STATE_DONE)
            WriteLyricsFile(m_pThreadList->GetTask(j));

    m_tEnd = clock();
    AddLine(lpszDone);
    m_progress.SetPos(100 * nCount);
    m_list.Invalidate();
    m_list.RedrawItems(0, nCount);

    CAppCfg& cfg = GetAppCfg();
    CString strElapsed;
    strElapsed.Format(lpszElapsedFormat,
                      static_cast<long>((m_tEnd - m_tStart) / CLOCKS_PER_SEC));
    if (cfg.GetShowElapsedTime())
        AddLine(strElapsed);

    const bool bStopHadFocus = ::GetFocus() == m_btnStop.m_hWnd;
    m_btnClose.EnableWindow(TRUE);
    m_btnStop.EnableWindow(FALSE);
    if (bStopHadFocus)
        m_btnClose.SetFocus();

    if (cfg.GetBeepAfterRip())
        PlayEndSound(bErrors);
    if (!bErrors && cfg.GetEjectAfterRip())
        EjectDisc();
    if (bAnyDone && cfg.GetAutoOpenOutputFolder())
        ::ShellExecute(m_hWnd, "Open", cfg.GetOutputPath(), nullptr, nullptr, SW_SHOW);
    if (!bErrors && cfg.GetWndCloseAfterRip())
        PostMessage(WM_COMMAND, IDOK);
}

void CProgressDlg::PlayEndSound(BOOL bErrors)
{
    CAppCfg& cfg = GetAppCfg();
    const CString strSound =
        bErrors ? cfg.GetEndOfConversionErrorAlarm() : cfg.GetEndOfConversionOKAlarm();
    // An empty setting plays nothing (the system would otherwise play its default sound).
    if (!strSound.IsEmpty())
        ::PlaySound(strSound, nullptr, SND_ASYNC | SND_FILENAME);
}

void CProgressDlg::EjectDisc()
{
    CAppCfg& cfg = GetAppCfg();
    CAudioCDManager manager(cfg.GetForceASPI());
    CAudioCD* pCd = manager.OpenCD(cfg.GetCDDevice());
    if (pCd == nullptr)
        return;
    pCd->Eject(); // a drive that refuses is not reported
    pCd->Close();
    delete pCd;
}

void CProgressDlg::OnStop()
{
    if (m_pThreadList != nullptr)
        m_pThreadList->StopAll();
    AddLine(I18NString("cprogressdlg.const.useraskedtostop", "User asked to stop the process."));
    // The waiting jobs ended at once: show it now, not at the next refresh.
    m_list.RedrawItems(0, JobCount());
}

void CProgressDlg::OnCancel()
{
    if (m_btnClose.m_hWnd != nullptr && !m_btnClose.IsWindowEnabled())
        return;
    CDialog::OnCancel();
}

void CProgressDlg::WritePlaylistFile()
{
    struct Kind {
        LPCTSTR lpszExtension;
        BOOL (CPlayListBuilder::*pfnWrite)(const CString&, const CString&) const;
    };
    static const Kind kKinds[] = {
        {".m3u", nullptr}, // M3U has no label
        {".pls", &CPlayListBuilder::WritePLS},
        {".b4s", &CPlayListBuilder::WriteB4S},
        {".html", &CPlayListBuilder::WriteHTML},
        {".csv", &CPlayListBuilder::WriteCSV},
    };
    CAppCfg& cfg = GetAppCfg();
    const int nKind = cfg.GetWritePlayList();
    if (nKind < 1 || nKind > static_cast<int>(std::size(kKinds)) || m_pThreadList == nullptr)
        return;

    // At most MAX_ENTRIES entries: the builder refuses the rest.
    CPlayListBuilder builder;
    for (int j = 0; j < JobCount(); ++j) {
        CRipTask* pTask = m_pThreadList->GetTask(j);
        if (pTask == nullptr)
            continue;
        const CAudioTrackInfo* pTrack = pTask->GetTrack();
        const LONG nSeconds = (pTask->GetEndSector() - pTask->GetStartSector()) / 75;
        builder.AddEntry(pTask->GetOutputFile(), pTrack->GetArtist(), pTrack->GetTrackTitle(),
                         nSeconds);
    }

    CString strPath = cfg.GetOutputPath();
    if (strPath.IsEmpty() || strPath[strPath.GetLength() - 1] != '\\')
        strPath += '\\';
    CString strName = CTrackNameHandler::SanitizeFileName(m_strDiscTitle);
    strName.Trim();
    if (strName.IsEmpty())
        strName = "playlist";
    const Kind& kind = kKinds[nKind - 1];
    strPath += strName + kind.lpszExtension;
    if (kind.pfnWrite == nullptr)
        builder.WriteM3U(strPath);
    else
        (builder.*kind.pfnWrite)(strPath, m_strDiscTitle);
    AddLine(I18NString("cprogressdlg.const.playlistmade", "Playlist saved as: ") + strPath);
}

void CProgressDlg::WriteCueSheetFile()
{
    if (m_pCueSheet == nullptr)
        return;
    AddLine(I18NString("cprogressdlg.const.writecuesheet", "Writing Cue Sheet"));
    m_pCueSheet->Write(m_strCueSheetPath);
}

BOOL CProgressDlg::WriteLyricsFile(CRipTask* pTask)
{
    if (pTask == nullptr || pTask->GetLrcFile().IsEmpty())
        return FALSE;
    const CAudioTrackInfo* pTrack = pTask->GetTrack();
    CString strLyrics = pTrack->GetSyncLyric();
    if (strLyrics.IsEmpty())
        strLyrics = pTrack->GetUnsyncLyric();
    if (strLyrics.IsEmpty())
        return FALSE;
    const CString strPath = pTask->GetLrcFile();
    if (!WriteWholeTextFile(strPath, WithCrLf(strLyrics)))
        return FALSE;
    AddLine(I18NString("cprogressdlg.const.writelrcfile", "LRC file saved as: ") + strPath);
    return TRUE;
}

void CProgressDlg::OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult)
{
    LVITEM& item = reinterpret_cast<NMLVDISPINFO*>(pNMHDR)->item;
    CRipThread* pJob = m_pThreadList != nullptr ? m_pThreadList->GetThread(item.iItem) : nullptr;
    if (pJob != nullptr) {
        pJob->UpdateDisplayTexts();
        if (item.iSubItem == 1 && (item.mask & LVIF_TEXT) != 0 && item.pszText != nullptr &&
            item.cchTextMax > 0)
            ::lstrcpyn(item.pszText, pJob->GetStatusText(), item.cchTextMax);
    }
    *pResult = 0;
}

void CProgressDlg::OnGetInfoTip(NMHDR* pNMHDR, LRESULT* pResult)
{
    auto* pTip = reinterpret_cast<NMLVGETINFOTIP*>(pNMHDR);
    CRipThread* pJob = m_pThreadList != nullptr ? m_pThreadList->GetThread(pTip->iItem) : nullptr;
    if (pJob != nullptr && pTip->pszText != nullptr && pTip->cchTextMax > 0) {
        pJob->UpdateDisplayTexts();
        ::lstrcpyn(pTip->pszText, pJob->GetTooltipText(), pTip->cchTextMax);
    }
    *pResult = 0;
}

void CProgressDlg::OnPaint()
{
    if (!::IsIconic(m_hWnd)) {
        CDialog::OnPaint();
        return;
    }
    CPaintDC dc(this);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.m_hDC));
    HICON hIcon = ::LoadIcon(AfxGetResourceHandle(), MAKEINTRESOURCE(kAppIcon));
    if (hIcon == nullptr)
        return;
    CRect rc;
    GetClientRect(&rc);
    const int x = (rc.Width() - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    const int y = (rc.Height() - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc.m_hDC, x, y, hIcon);
}
