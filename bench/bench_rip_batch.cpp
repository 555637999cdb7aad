// Converts generated WAV files to WAV through a batch running one job per processor, and
// reports its throughput as a ratio against the system's file copy of the same bytes.
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

const int kFiles = 16;
const double kSeconds = 60.0; // about 10 MB of 16-bit stereo audio per file
const int kRounds = 3;

double Now()
{
    LARGE_INTEGER f, c;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

std::string Path(const std::string& dir, const char* stem, int i)
{
    return dir + "\\" + stem + std::to_string(i) + ".wav";
}

double CopyAll(const std::string& dir)
{
    const double t0 = Now();
    for (int i = 0; i < kFiles; ++i)
        if (!::CopyFileA(Path(dir, "in", i).c_str(), Path(dir, "copy", i).c_str(), FALSE))
            std::printf("copy %d failed: %lu\n", i, ::GetLastError());
    return Now() - t0;
}

double ConvertAll(const std::string& dir, int nProcessors, int& nFailed)
{
    const double t0 = Now();
    CRipThreadList batch;
    batch.SetMaxConcurrent(nProcessors);
    for (int i = 0; i < kFiles; ++i)
        batch.AddTask(new CRipTask(0, Path(dir, "in", i).c_str(), 0, Path(dir, "out", i).c_str()));
    // Jobs start as soon as a slot is free (the progress window's 100 ms tick is not measured).
    while (batch.GetActiveCount() > 0) {
        while (batch.GetWaitingCount() > 0 && batch.StartNext() == 1) {
        }
        ::Sleep(1);
    }
    nFailed = batch.GetErrorCount();
    return Now() - t0;
}

void RemoveAll(const std::string& dir)
{
    for (const char* stem : {"in", "copy", "out"})
        for (int i = 0; i < kFiles; ++i)
            ::DeleteFileA(Path(dir, stem, i).c_str());
    ::RemoveDirectoryA(dir.c_str());
}

} // namespace

int main()
{
    SYSTEM_INFO si;
    ::GetSystemInfo(&si);
    const int nProcessors = static_cast<int>(si.dwNumberOfProcessors);

    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    const std::string dir =
        std::string(temp) + "bench_rip_batch_" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(dir.c_str(), nullptr);

    const testing_wav::Format f{2, 44100, 16};
    const std::vector<uint8_t> wav = testing_wav::WavFile(f, testing_wav::SineSweep(f, kSeconds));
    for (int i = 0; i < kFiles; ++i)
        if (!testing_wav::WriteFile(Path(dir, "in", i), wav)) {
            std::printf("cannot write the input files in %s\n", dir.c_str());
            RemoveAll(dir);
            return 1;
        }
    const double mb = static_cast<double>(wav.size()) * kFiles / 1048576.0;
    std::printf("%d files, %.1f MB of 16-bit stereo WAV, %d jobs at once\n", kFiles, mb,
                nProcessors);

    std::vector<double> ratios;
    int nFailed = 0;
    for (int round = 0; round < kRounds; ++round) {
        const double copy = CopyAll(dir);
        const double convert = ConvertAll(dir, nProcessors, nFailed);
        ratios.push_back(copy / convert);
        std::printf("round %d: file copy %.0f MB/s, batch %.0f MB/s, ratio %.2f%s\n", round + 1,
                    mb / copy, mb / convert, copy / convert, nFailed ? " (jobs failed!)" : "");
    }
    std::sort(ratios.begin(), ratios.end());
    std::printf("batch throughput / file copy throughput (median of %d): %.2f\n", kRounds,
                ratios[ratios.size() / 2]);
    RemoveAll(dir);
    return nFailed ? 1 : 0;
}
