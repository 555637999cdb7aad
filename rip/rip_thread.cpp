// CRipThread: starting and stopping a job, the worker's run and the job's display texts.
#include "rip/rip_thread.h"

#include "audio/audio_frame.h"
#include "audio/audio_stream.h"
#include "audio/cd/audio_cd.h"
#include "foundation/i18n/i18n.h"
#include "rip/rip_task.h"

#include <mmsystem.h>
#include <process.h>

#include <atomic>
#include <mutex>

namespace
{

const DWORD kStepLockMs = 1000;
const DWORD kCleanupLockMs = 10000;
const DWORD kErrorCopyLockMs = 20;
// The rates an output can be written at: FLAC's stream header holds up to 655350 Hz.
const uint32_t kMinSampleRate = 1;
const uint32_t kMaxSampleRate = 655350;

// Sleep(1) lasts a whole scheduler tick (up to 15.6 ms) at the system's default timer
// resolution; a job's pauses are meant to last what they ask. Raised once, for the process's
// life: raising and lowering it around each job would cost more than it saves.
void RaiseTimerResolution()
{
    static std::once_flag s_once;
    std::call_once(s_once, [] { ::timeBeginPeriod(1); });
}

void CopyText(char* pBuffer, size_t nSize, LPCTSTR lpszText)
{
    ::lstrcpynA(pBuffer, lpszText != nullptr ? lpszText : "", static_cast<int>(nSize));
}

// The message of a file-layer failure (a full disk, a vanished network share, ...).
CString ExceptionText(CException* e)
{
    char szMessage[512] = "";
    if (e->GetErrorMessage(szMessage, sizeof szMessage) && szMessage[0] != '\0')
        return szMessage;
    return RipErrorText(RipJobError::General);
}

// Opens an existing file for its identity only (no access asked, every sharing allowed).
BOOL GetFileIdentity(LPCTSTR lpszPath, BY_HANDLE_FILE_INFORMATION& info)
{
    HANDLE h = ::CreateFileA(lpszPath, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                             nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE)
        return FALSE;
    const BOOL bOk = ::GetFileInformationByHandle(h, &info);
    ::CloseHandle(h);
    return bOk;
}

// The name a job writes under until its output is complete: in the output's folder (so the
// final rename does not copy), unique among jobs, keeping the extension.
CString PartialFileName(const CString& strFinal)
{
    static std::atomic<unsigned> s_nNext{0};
    CString strUnique;
    strUnique.Format(".partial-%lx-%x", ::GetCurrentProcessId(), s_nNext++);
    const int nSlash = strFinal.ReverseFind('\\');
    const int nDot = strFinal.ReverseFind('.');
    if (nDot > nSlash + 1)
        return strFinal.Left(nDot) + strUnique + strFinal.Mid(nDot);
    return strFinal + strUnique;
}

} // namespace

CRipThread::CRipThread(CRipTask* pTask)
    : m_nState(STATE_WAITING), m_pTask(pTask), m_bFailed(FALSE), m_bStopRequest(0), m_nProgress(0), m_hWorker(nullptr)
{
    m_strProtectionText = I18NString("cripthread.const.drmerror", "File is DRM protected.");
    m_strSameFileText = I18NString("cripthread.const.ineqouterror",
                                   "Output and Input files can't be the same file.");
    m_szTitle[0] = '\0';
    CopyText(m_szProgress, sizeof m_szProgress, "0%");
    m_szTooltip[0] = '\0';
    m_szStatus[0] = '\0';
}

CRipThread::~CRipThread()
{
    if (m_hWorker != nullptr) {
        ::WaitForSingleObject(m_hWorker, INFINITE);
        ::CloseHandle(m_hWorker);
    }
    // The worker released its streams; these exist only for a job whose worker never ran
    // to its clean-up. A destructor must not let a file-layer failure escape.
    try {
        if (m_pWriter)
            m_pWriter->Close();
        ReleaseStreams(kCleanupLockMs);
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
    }
}

BOOL CRipThread::Start()
{
    if (GetState() != STATE_WAITING)
        return FALSE;
    if (!m_pTask) {
        Fail(RipErrorText(RipJobError::General));
        m_nState = STATE_ERROR;
        return FALSE;
    }
    RaiseTimerResolution();
    // Running from here on, so a batch never starts a job twice.
    m_nState = STATE_RUNNING;
    unsigned nId = 0;
    HANDLE h = reinterpret_cast<HANDLE>(
        _beginthreadex(nullptr, 0, &CRipThread::ThreadProc, this, CREATE_SUSPENDED, &nId));
    if (h == nullptr) {
        m_nState = STATE_WAITING;
        return FALSE;
    }
    ::SetThreadPriority(h, m_pTask->GetRunAtHigherPriority() ? THREAD_PRIORITY_HIGHEST
                                                             : THREAD_PRIORITY_NORMAL);
    m_hWorker = h;
    ::ResumeThread(h);
    return TRUE;
}

BOOL CRipThread::Stop()
{
    switch (GetState()) {
    case STATE_RUNNING:
        m_bStopRequest = 1;
        break;
    case STATE_WAITING:
        Fail(RipErrorText(RipJobError::UserStop));
        m_nState = STATE_ERROR;
        break;
    default:
        break;
    }
    return TRUE;
}

CString CRipThread::GetErrorText()
{
    CSingleLock lock(&m_lock);
    if (!lock.Lock(kErrorCopyLockMs))
        return CString();
    return m_strError;
}

CString CRipThread::GetOutputFileTitle() const
{
    if (!m_pTask)
        return CString();
    const CString strPath = m_pTask->GetOutputFile();
    return strPath.Mid(strPath.ReverseFind('\\') + 1);
}

void CRipThread::Fail(const CString& strError)
{
    CSingleLock lock(&m_lock, TRUE);
    m_strError = strError;
    // The user knows the output by its own name, not by the partial one written meanwhile.
    if (!m_strPartialFile.IsEmpty() && m_pTask)
        m_strError.Replace(m_strPartialFile, m_pTask->GetOutputFile());
    m_bFailed = TRUE;
}

unsigned __stdcall CRipThread::ThreadProc(void* pJob)
{
    static_cast<CRipThread*>(pJob)->Run();
    return 0;
}

void CRipThread::Run()
{
    const double dSlept0 = GetThreadSleepSeconds();
    BOOL bDeleteOutput = FALSE;
    // Nothing a step raises may end the process or the other jobs: it ends this job.
    try {
        RunSteps(bDeleteOutput);
    } catch (CException* e) {
        Fail(ExceptionText(e));
        e->Delete();
    } catch (...) {
        Fail(RipErrorText(RipJobError::General));
    }
    try {
        ReleaseStreams(kCleanupLockMs);
    } catch (CException* e) {
        e->Delete();
    } catch (...) {
    }
    if (!m_bFailed && bDeleteOutput)
        PublishOutput();
    if (m_bFailed && bDeleteOutput)
        ::DeleteFileA(m_strPartialFile);
    m_dSleepSeconds = GetThreadSleepSeconds() - dSlept0;
    // Published last: once the state is final the output is what it will stay, and the batch
    // may delete the job (its destructor still waits for this thread to return).
    m_nState = m_bFailed ? STATE_ERROR : STATE_DONE;
}

BOOL CRipThread::RunSteps(BOOL& bDeleteOutput)
{
    if (IsSameFileAsInput()) {
        Fail(m_strSameFileText); // the output is the input: never delete it
        return FALSE;
    }
    if (m_pTask->GetTrack()->IsProtected()) {
        Fail(m_strProtectionText);
        return FALSE;
    }
    if (!CreateReader())
        return FALSE;
    m_source.pReader->Prepare();
    // A damaged header can claim any rate; no output format holds 0 Hz or billions of Hz.
    const uint32_t nRate = m_source.pReader->GetSampleRate();
    if (nRate < kMinSampleRate || nRate > kMaxSampleRate) {
        CString strError;
        strError.Format("%s: %lu Hz",
                        static_cast<LPCTSTR>(I18NString("cripthread.const.badsamplerate",
                                                        "Unsupported sample rate")),
                        static_cast<unsigned long>(nRate));
        Fail(strError);
        return FALSE;
    }
    StreamSleep(10);
    bDeleteOutput = TRUE;
    if (!CreateWriter(m_source.pReader->GetSampleRate()))
        return FALSE;
    StreamSleep(10);
    // A writer that cannot write its header would give a file without one.
    if (!m_pWriter->BeginStream()) {
        CString strError;
        m_pWriter->GetError(strError);
        Fail(strError.IsEmpty() ? RipErrorText(RipJobError::General) : strError);
        return FALSE;
    }
    StreamSleep(10);
    return RunLoop();
}

BOOL CRipThread::RunLoop()
{
    const double dGain = m_pTask->GetGain();
    // One frame for every step, emptied at each: its buffer is allocated once, not per step.
    CAudioFrame frame;
    for (;;) {
        if (m_bStopRequest) {
            Fail(RipErrorText(RipJobError::UserStop));
            return FALSE;
        }
        CSingleLock lock(&m_lock);
        if (!lock.Lock(kStepLockMs)) {
            StreamSleep(1);
            continue;
        }
        if (m_bStopRequest) {
            lock.Unlock();
            Fail(RipErrorText(RipJobError::UserStop));
            return FALSE;
        }
        CString strError;
        BOOL bEnd = FALSE;
        if (!m_source.pReader->HasMoreData()) {
            // Taken before the close: a closed reader cannot tell, and the job ends at 100.
            m_nProgress = m_source.pReader->GetProgressPercent();
            m_source.pReader->Close();
            // A writer that cannot finish its stream leaves a broken file: that is an error.
            if (!m_pWriter->Close()) {
                m_pWriter->GetError(strError);
                Fail(strError.IsEmpty() ? RipErrorText(RipJobError::General) : strError);
                return FALSE;
            }
            bEnd = TRUE;
        } else {
            frame.Reset();
            if (!m_source.pReader->ReadFrame(&frame)) {
                if (m_source.pReader->GetError(strError) != 0) {
                    Fail(strError);
                    return FALSE;
                }
                // Input consumed without audio: nothing to write this turn.
            } else if (!frame.IsEmpty()) {
                if (dGain != 1.0) {
                    // The gain rewrites samples in place and cannot write 24-bit ones: bring
                    // those to 16 bits first (every writer asks for 16 or 8 bits anyway).
                    if (frame.GetBytesPerSample() == 3)
                        frame.ConvertSampleFormat(2, 1, 0);
                    frame.ApplyGain(dGain);
                }
                if (!m_pWriter->WriteFrame(&frame)) {
                    m_pWriter->GetError(strError);
                    Fail(strError);
                    return FALSE;
                }
            }
        }
        if (bEnd)
            return TRUE;
        m_nProgress = m_source.pReader->GetProgressPercent();
        lock.Unlock();
        StreamSleep(1);
    }
}

BOOL CRipThread::CreateReader()
{
    CString strError;
    if (!RipOpenSource(*m_pTask, m_source, strError)) {
        Fail(strError);
        return FALSE;
    }
    return TRUE;
}

BOOL CRipThread::CreateWriter(int nSampleRate)
{
    CString strError;
    m_strPartialFile = PartialFileName(m_pTask->GetOutputFile());
    m_pWriter = RipOpenWriter(*m_pTask, m_strPartialFile, nSampleRate, strError);
    if (!m_pWriter) {
        Fail(strError);
        return FALSE;
    }
    return TRUE;
}

void CRipThread::PublishOutput()
{
    // Only a whole output takes the final name, replacing what was there; until then a
    // killed process leaves only the partial name behind.
    if (::MoveFileExA(m_strPartialFile, m_pTask->GetOutputFile(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return;
    const LONG lError = static_cast<LONG>(::GetLastError());
    CFileException e(CFileException::OsErrorToException(lError), lError, m_pTask->GetOutputFile());
    Fail(ExceptionText(&e));
}

void CRipThread::ReleaseStreams(DWORD dwWaitMs)
{
    // Waited for, but released even when the lock is not granted: only the worker (or the
    // destructor, after the worker) ever uses the reader and the writer.
    CSingleLock lock(&m_lock);
    lock.Lock(dwWaitMs);
    m_source.Release();
    // A writer that was not closed is deleted as it is, which leaves an unfinished file.
    m_pWriter.reset();
}

BOOL CRipThread::IsSameFileAsInput() const
{
    const CString strIn = m_pTask->GetInputFile();
    const CString strOut = m_pTask->GetOutputFile();
    if (strIn.IsEmpty())
        return FALSE;
    if (strIn.CompareNoCase(strOut) == 0)
        return TRUE;
    // Other spellings of one path ("dir\.\a.wav", a short name) and links to one file would
    // truncate the input as well: compare the full paths, then the files themselves.
    char szIn[MAX_PATH];
    char szOut[MAX_PATH];
    if (::GetFullPathNameA(strIn, MAX_PATH, szIn, nullptr) != 0 &&
        ::GetFullPathNameA(strOut, MAX_PATH, szOut, nullptr) != 0 && ::lstrcmpiA(szIn, szOut) == 0)
        return TRUE;
    BY_HANDLE_FILE_INFORMATION in;
    BY_HANDLE_FILE_INFORMATION out;
    return GetFileIdentity(strIn, in) && GetFileIdentity(strOut, out) &&
           in.dwVolumeSerialNumber == out.dwVolumeSerialNumber &&
           in.nFileIndexHigh == out.nFileIndexHigh && in.nFileIndexLow == out.nFileIndexLow;
}

void CRipThread::UpdateDisplayTexts()
{
    CopyText(m_szTitle, sizeof m_szTitle, GetOutputFileTitle());

    const int nProgress = GetProgress();
    if (nProgress >= 0) {
        CString strProgress;
        strProgress.Format("%d%%", nProgress);
        CopyText(m_szProgress, sizeof m_szProgress, strProgress);
    }

    CString strTooltip;
    if (m_pTask && m_pTask->GetSourceType() == CRipTask::SOURCE_CD) {
        strTooltip = I18NString("cripthread.const.tooltip_rip", "Ripping CD to") + " " +
                     m_pTask->GetOutputFile();
    } else if (m_pTask) {
        strTooltip = I18NString("cripthread.const.tooltip_conv_1", "Converting from") + " " +
                     m_pTask->GetInputFile() + "\r\n" +
                     I18NString("cripthread.const.tooltip_conv_2", "to") + " " +
                     m_pTask->GetOutputFile();
    }
    CopyText(m_szTooltip, sizeof m_szTooltip, strTooltip);

    CString strStatus;
    switch (GetState()) {
    case STATE_WAITING:
        strStatus = I18NString("cripthread.const.status_waiting", "Waiting");
        break;
    case STATE_RUNNING:
        strStatus = m_szProgress;
        break;
    case STATE_ERROR:
        strStatus = I18NString("cripthread.const.status_error", "Error") + ": " + GetErrorText();
        break;
    case STATE_DONE:
        strStatus = I18NString("cripthread.const.status_done", "Complete");
        break;
    default:
        strStatus = I18NString("cripthread.const.status_unknown", "Unknown");
        break;
    }
    CopyText(m_szStatus, sizeof m_szStatus, strStatus);
}
