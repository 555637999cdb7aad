// CProgressDlg: the modal window in which a batch of rip or conversion jobs runs.
#pragma once

#include <ctime>

#include "app/shell/progress_dlg_res.h"
#include "framework/listctrl.h"
#include "framework/ui.h"

class CCueSheet;
class CRipTask;
class CRipThreadList;

// Starts the batch's jobs on a 100 ms timer (at most one per tick, never more running than the
// batch's limit), shows one row per job, and when no job waits or runs any more performs the
// end-of-batch actions: playlist, cue sheet, LRC files, "Done.", elapsed time, sound, eject,
// output folder, closing. Runs on the user-interface thread and only reads the jobs' states.
class CProgressDlg : public CDialog {
    DECLARE_DYNAMIC(CProgressDlg)
public:
    enum { IDD = IDD_PROGRESS };
    static constexpr UINT_PTR kTimerId = 0x123456;
    static constexpr UINT kTickMs = 100;

    explicit CProgressDlg(CWnd* pParent = nullptr);
    ~CProgressDlg() override;

    // Called before DoModal. Neither the batch nor the cue sheet is owned: the creator deletes
    // them after DoModal returns.
    void SetThreadList(CRipThreadList* pThreadList) { m_pThreadList = pThreadList; }
    // Names the playlist file.
    void SetDiscTitle(LPCTSTR lpszTitle) { m_strDiscTitle = lpszTitle; }
    void SetCueSheet(LPCTSTR lpszPath, CCueSheet* pCueSheet);

    // Appends a message line after the last row.
    void AddLine(LPCTSTR lpszText);
    // Writes the task's lyrics (synchronised, else plain) to its LRC file and adds a line;
    // FALSE when the task wants no LRC file, has no lyrics or the file cannot be written.
    BOOL WriteLyricsFile(CRipTask* pTask);

protected:
    // Binds the bar, the Close and Stop buttons and the job list.
    void DoDataExchange(CDataExchange* pDX) override;
    BOOL OnInitDialog() override;
    // Ignored while the batch runs (Dismiss is disabled then): Esc or the caption's close box
    // must not abandon running jobs.
    void OnCancel() override;
    void OnTimer(UINT_PTR nIDEvent);
    void OnStop();
    void OnPaint();
    void OnGetDispInfo(NMHDR* pNMHDR, LRESULT* pResult);
    void OnGetInfoTip(NMHDR* pNMHDR, LRESULT* pResult);
    void WritePlaylistFile();
    void WriteCueSheetFile();

    DECLARE_MESSAGE_MAP()

private:
    void TranslateTexts();
    void SetUpList();
    int JobCount() const;
    void EndBatch(LPCTSTR lpszDone, LPCTSTR lpszElapsedFormat);
    void PlayEndSound(BOOL bErrors);
    void EjectDisc();

    UINT_PTR m_nTimer = 0;
    CRipThreadList* m_pThreadList = nullptr;
    CString m_strDiscTitle;
    CCueSheet* m_pCueSheet = nullptr;
    CString m_strCueSheetPath;
    CButton m_btnClose;
    CButton m_btnStop;
    CProgressCtrl m_progress;
    int m_nTicks = 0;
    clock_t m_tStart = 0;
    clock_t m_tEnd = 0;
    CListCtrl m_list;
};
