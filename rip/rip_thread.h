// CRipThread: one job of a batch, running its task on a worker thread of its own.
#pragma once

#include "framework/core.h"
#include "framework/sync.h"
#include "rip/rip_errors.h"
#include "rip/rip_formats.h"

#include <atomic>
#include <memory>

class CAudioAbstractReader;
class CAudioAbstractWriter;
class CRipTask;

// The user-interface thread creates, starts, stops, reads and deletes a job; the worker runs
// it. State, stop request and progress are published as plain integers; the reader, writer
// and error text are guarded by the job's lock.
class CRipThread : public CObject
{
public:
    enum State {
        STATE_WAITING = 0, // Start runs it, Stop ends it at once with "Stopped by the user"
        STATE_RUNNING = 1, // the worker runs; Stop asks it to end before its next frame
        STATE_ERROR = 2,   // final: GetErrorText says why; the task's file is untouched
        STATE_DONE = 3,    // final: the output is complete under the task's name
    };

    // Takes ownership of the task (which may be null: Start then fails).
    explicit CRipThread(CRipTask* pTask);
    // Waits for a worker that has not ended yet (every step of a worker is bounded).
    ~CRipThread() override;

    // Only in the waiting state: true when the worker was started. Without a task the job
    // ends with "General error"; when no worker can be created it stays waiting.
    BOOL Start();
    // Always true.
    BOOL Stop();

    int GetState() const { return m_nState.load(); }
    BOOL IsRunning() const { return GetState() == STATE_RUNNING; }
    BOOL IsActive() const { return GetState() == STATE_WAITING || GetState() == STATE_RUNNING; }
    // Last progress of the reader, 0 to 100; -1 when the reader cannot tell.
    int GetProgress() const { return m_nProgress.load(); }
    // A copy taken under the lock, waiting at most 20 ms; empty when it was not granted.
    CString GetErrorText();
    // The output path after its last backslash.
    CString GetOutputFileTitle() const;
    CRipTask* GetTask() const { return m_pTask.get(); }

    // Refreshes the four display texts (on the user-interface thread).
    void UpdateDisplayTexts();
    LPCTSTR GetTitleText() const { return m_szTitle; }
    LPCTSTR GetProgressText() const { return m_szProgress; }
    LPCTSTR GetTooltipText() const { return m_szTooltip; }
    LPCTSTR GetStatusText() const { return m_szStatus; }

    // The translated job text of the code (RipJobError): 1 to 12 reader and writer texts
    // (with one "%s"), 14 "Stopped by the user", anything else "General error".
    static CString ErrorText(int nCode) { return RipErrorText(nCode); }
    // Seconds the job spent in the pauses it must take (its steps' and its streams'); set when
    // the job has ended (benchmarks subtract them to see the work alone).
    double GetSleepSeconds() const { return m_dSleepSeconds.load(); }

private:
    static unsigned __stdcall ThreadProc(void* pJob);
    void Run();
    // Same file, protection, reader and writer, then the frame loop. FALSE when it failed
    // (the error is stored); bDeleteOutput tells whether the output may have been touched.
    BOOL RunSteps(BOOL& bDeleteOutput);
    BOOL RunLoop();
    BOOL CreateReader();
    BOOL CreateWriter(int nSampleRate);
    void ReleaseStreams(DWORD dwWaitMs);
    // Renames the finished output from its partial name to the task's name; fails the job
    // when that cannot be done.
    void PublishOutput();
    // Stores the text under the lock, then publishes the error state.
    void Fail(const CString& strError);
    BOOL IsSameFileAsInput() const;

    CMutex m_lock;
    std::atomic<int> m_nState;
    std::unique_ptr<CRipTask> m_pTask;
    CRipSource m_source; // the reader, and the opened disc of a CD job
    std::unique_ptr<CAudioAbstractWriter> m_pWriter;
    CString m_strProtectionText;
    CString m_strSameFileText;
    CString m_strError;
    CString m_strPartialFile; // where the writer writes until the output is complete
    BOOL m_bFailed; // worker only: the state it publishes when it ends
    std::atomic<int> m_bStopRequest;
    std::atomic<int> m_nProgress;
    std::atomic<double> m_dSleepSeconds{0};
    HANDLE m_hWorker;
    char m_szTitle[256];
    char m_szProgress[64];
    char m_szTooltip[512];
    char m_szStatus[256];
};
