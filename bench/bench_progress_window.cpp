// The same batch of 8 WAV files converted to FLAC through the progress window (its 100 ms
// timer starting the jobs, its rows, its end of batch) and through the rip engine alone, in
// one run: the window's throughput as a ratio of the engine's.
#include "app/shell/progress_dlg.h"
#include "foundation/settings/app_cfg.h"
#include "rip/rip_task.h"
#include "rip/rip_thread_list.h"
#include "testing/generated_wav.h"

#include <windows.h>

#include <algorithm>
#include <cstdio>
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

// Starts jobs as soon as a slot is free.
double EngineAlone(const std::string& dir, int nLimit, int& nFailed)
{
    RemoveOutputs(dir);
    const double t0 = Now();
    CRipThreadList batch;
    Fill(batch, dir, nLimit);
    while (batch.GetActiveCount() > 0) {
        while (batch.GetWaitingCount() > 0 && batch.StartNext() == 1) {
        }
        ::Sleep(1);
    }
    nFailed += batch.GetErrorCount();
    return Now() - t0;
}

// The window closes itself at the end of a clean batch.
double ThroughWindow(const std::string& dir, int nLimit, int& nFailed)
{
    RemoveOutputs(dir);
    const double t0 = Now();
    CRipThreadList batch;
    Fill(batch, dir, nLimit);
    CProgressDlg dlg;
    dlg.SetThreadList(&batch);
    if (dlg.DoModal() != IDOK)
        ++nFailed;
    nFailed += batch.GetErrorCount();
    return Now() - t0;
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
        const double engine = EngineAlone(dir, nLimit, nFailed);
        const double window = ThroughWindow(dir, nLimit, nFailed);
        ratios.push_back(engine / window);
        std::printf("round %d: engine alone %.2f s, through the window %.2f s, ratio %.3f\n",
                    round + 1, engine, window, engine / window);
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
