// The same batch of 8 WAV files converted to FLAC through the progress window (its 100 ms
// timer starting the jobs, its rows, its end of batch) and through the rip engine alone, in
// one run: the window's throughput as a ratio of the engine's, from the first job's start to
// the last job's end. The time with the window's opening and closing is printed as well: under
// Wine without a window manager those cost about a second each, whatever the batch.
#include "app/shell/progress_dlg.h"
#include "foundation/settings/app_cfg.h"
#include "rip/rip_task.h"
#include "rip/rip_thread_list.h"
#include "testing/generated_wav.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <thread>
#include <string>
#include <vector>

namespace
{

CWinApp theApp("BenchProgressWindow");

const int kFiles = 8;
const double kSeconds = 240.0; // about 40 MB of 16-bit stereo audio per file
const int kRounds = 3;

double Now()
{
    LARGE_INTEGER f, c;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

std::string Path(const std::string& dir, const char* stem, int i, const char* ext)
{
    return dir + "\\" + stem + std::to_string(i) + ext;
}

void Fill(CRipThreadList& batch, const std::string& dir, int nLimit)
{
    batch.SetMaxConcurrent(nLimit);
    for (int i = 0; i < kFiles; ++i)
        batch.AddTask(new CRipTask(0, Path(dir, "in", i, ".wav").c_str(), 4,
                                   Path(dir, "out", i, ".flac").c_str()));
}

void RemoveOutputs(const std::string& dir)
{
    for (int i = 0; i < kFiles; ++i)
        ::DeleteFileA(Path(dir, "out", i, ".flac").c_str());
}

// From the first job's start to the last job's end, seen by polling the batch's counts.
class BatchClock {
public:
    explicit BatchClock(CRipThreadList& batch)
        : m_watcher([this, &batch] {
              while (!m_stop && batch.GetWaitingCount() == batch.GetCount())
                  ::Sleep(1);
              m_start = Now();
              while (!m_stop && batch.GetActiveCount() > 0)
                  ::Sleep(1);
              m_end = Now();
          })
    {
    }
    double Stop()
    {
        m_stop = true;
        m_watcher.join();
        return m_end - m_start;
    }

private:
    std::atomic<bool> m_stop{false};
    double m_start = 0, m_end = 0;
    std::thread m_watcher;
};

struct Times {
    double batch; // first start to last end
    double whole; // the command's whole run
};

// Starts jobs as soon as a slot is free.
Times EngineAlone(const std::string& dir, int nLimit, int& nFailed)
{
    RemoveOutputs(dir);
    const double t0 = Now();
    CRipThreadList batch;
    Fill(batch, dir, nLimit);
    BatchClock clock(batch);
    while (batch.GetActiveCount() > 0) {
        while (batch.GetWaitingCount() > 0 && batch.StartNext() == 1) {
        }
        ::Sleep(1);
    }
    nFailed += batch.GetErrorCount();
    return {clock.Stop(), Now() - t0};
}

// The window closes itself at the end of a clean batch.
Times ThroughWindow(const std::string& dir, int nLimit, int& nFailed)
{
    RemoveOutputs(dir);
    const double t0 = Now();
    CRipThreadList batch;
    Fill(batch, dir, nLimit);
    BatchClock clock(batch);
    CProgressDlg dlg;
    dlg.SetThreadList(&batch);
    if (dlg.DoModal() != IDOK)
        ++nFailed;
    nFailed += batch.GetErrorCount();
    return {clock.Stop(), Now() - t0};
}

} // namespace

int main()
{
    CAppCfg& cfg = GetAppCfg();
    cfg.SetBeepAfterRip(FALSE);
    cfg.SetAutoOpenOutputFolder(FALSE);
    cfg.SetEjectAfterRip(FALSE);
    cfg.SetWritePlayList(0);
    cfg.SetWndCloseAfterRip(TRUE);
    SYSTEM_INFO si;
    ::GetSystemInfo(&si);
    const int nLimit = static_cast<int>(si.dwNumberOfProcessors);

    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    const std::string dir =
        std::string(temp) + "bench_progress_" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(dir.c_str(), nullptr);
    cfg.SetOutputPath(dir.c_str());
    const testing_wav::Format f{2, 44100, 16};
    const std::vector<uint8_t> wav = testing_wav::WavFile(f, testing_wav::SineSweep(f, kSeconds));
    int nFailed = 0;
    for (int i = 0; i < kFiles; ++i)
        if (!testing_wav::WriteFile(Path(dir, "in", i, ".wav"), wav))
            ++nFailed;
    std::printf("%d files of %.0f s to FLAC, %d jobs at once\n", kFiles, kSeconds, nLimit);

    // Alternating rounds, so a change of the machine's load hits both sides alike.
    std::vector<double> ratios;
    for (int round = 0; round < kRounds && nFailed == 0; ++round) {
        const Times engine = EngineAlone(dir, nLimit, nFailed);
        const Times window = ThroughWindow(dir, nLimit, nFailed);
        ratios.push_back(engine.batch / window.batch);
        std::printf("round %d: batch %.2f s alone, %.2f s in the window, ratio %.3f "
                    "(whole command %.2f s and %.2f s)\n",
                    round + 1, engine.batch, window.batch, engine.batch / window.batch,
                    engine.whole, window.whole);
    }
    RemoveOutputs(dir);
    for (int i = 0; i < kFiles; ++i)
        ::DeleteFileA(Path(dir, "in", i, ".wav").c_str());
    ::RemoveDirectoryA(dir.c_str());
    if (nFailed != 0 || ratios.empty()) {
        std::printf("jobs failed\n");
        return 1;
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("window throughput / engine throughput (median of %d): %.3f\n", kRounds,
                ratios[ratios.size() / 2]);
    return 0;
}
