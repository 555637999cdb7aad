// The conversion engine against the reference command-line tools, in one run on the same
// generated inputs (music-like, a different piece per file): encoding to FLAC, Ogg Vorbis, MP3
// and WMA with exactly the settings the program uses, decoding each of them back to WAV, and
// WAV to WAV against a file copy, with one job and with 8 at once; then the scaling over 1, 2,
// 4 and 8 jobs and the peak memory of one job for a short and a long input.
//
// The batch is driven as the progress window drives it: one StartNext per 100 ms tick. "work"
// is our time less the waits the program must take: the jobs' pauses between and after their
// steps, as the jobs counted them, and the start ticks.
// Ratios are the reference's time over ours: 1.00 means as fast.
//
// Environment: SONORIA_BENCH_SECONDS (default 300) and SONORIA_BENCH_FILES (8) size the
// inputs; SONORIA_BENCH_PARTS (default "encode,decode,wav,scaling,memory") picks sections;
// SONORIA_BENCH_MEMORY_MINUTES (default "5,60").
#include "foundation/settings/app_cfg.h"
#include "rip/rip_task.h"
#include "rip/rip_thread.h"
#include "rip/rip_thread_list.h"
#include "testing/generated_wav.h"

#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace
{

const DWORD kTimeoutMs = 3600000;
const DWORD kTickMs = 100;

double Now()
{
    LARGE_INTEGER f, c;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

std::string Env(const char* name, const char* fallback)
{
    const char* v = std::getenv(name);
    return v && *v ? v : fallback;
}

std::string Path(const std::string& dir, const std::string& name)
{
    return dir + "\\" + name;
}

// The host path of a Windows path, through the call Wine's kernel32 exports for it; empty
// outside Wine, where there are no native tools to run.
std::string UnixPath(const std::string& path)
{
    using ToUnix = char*(CDECL*)(LPCWSTR);
    auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        ::GetProcAddress(::GetModuleHandleA("kernel32"), "wine_get_unix_file_name")));
    if (!toUnix)
        return std::string();
    wchar_t wide[MAX_PATH];
    if (!::MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH))
        return std::string();
    char* unix = toUnix(wide);
    if (!unix)
        return std::string();
    std::string out(unix);
    ::HeapFree(::GetProcessHeap(), 0, unix);
    return out;
}

// Runs one host shell command per line of `commands` in the folder, `jobs` at a time. A host
// process started from Wine gives no handle to wait on: the script leaves a marker at its end,
// holding the exit status. Returns the seconds, or -1 when a command failed.
double RunHost(const std::string& dir, const std::vector<std::string>& commands, int jobs)
{
    const std::string list = Path(dir, "host.cmds");
    const std::string marker = Path(dir, "host.done");
    const std::string script = Path(dir, "host.sh");
    ::DeleteFileA(marker.c_str());
    FILE* f = std::fopen(list.c_str(), "wb");
    if (!f)
        return -1;
    for (const std::string& c : commands)
        std::fprintf(f, "%s\n", c.c_str());
    std::fclose(f);
    f = std::fopen(script.c_str(), "wb");
    if (!f)
        return -1;
    std::fprintf(f,
                 "cd '%s' && xargs -d '\\n' -P %d -I CMD sh -c CMD < host.cmds\n"
                 "echo $? > host.tmp\nmv host.tmp host.done\n",
                 UnixPath(dir).c_str(), jobs);
    std::fclose(f);
    std::string command = "/bin/sh \"" + UnixPath(script) + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const double t0 = Now();
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &si, &pi))
        return -1;
    if (pi.hProcess)
        ::CloseHandle(pi.hProcess);
    if (pi.hThread)
        ::CloseHandle(pi.hThread);
    const DWORD start = ::GetTickCount();
    while (::GetFileAttributesA(marker.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (::GetTickCount() - start > kTimeoutMs)
            return -1;
        ::Sleep(1);
    }
    const double elapsed = Now() - t0;
    FILE* status = std::fopen(marker.c_str(), "rb");
    int code = -1;
    if (!status || std::fscanf(status, "%d", &code) != 1)
        code = -1;
    if (status)
        std::fclose(status);
    return code == 0 ? elapsed : -1;
}

struct Timing {
    double wall = 0;  // first tick to the end of the last job
    double work = 0;  // the same batch without the waits the program must take (see below)
    int failed = 0;
};

// The batch's time had every job started the moment a slot was free, and never paused: each
// job's own time less its counted pauses, laid out over the slots in the order the jobs
// started. So it leaves out both the jobs' pauses and the start ticks, and nothing else.
double WorkTime(const std::vector<double>& busy, int jobs)
{
    std::vector<double> slots(static_cast<size_t>(std::max(jobs, 1)), 0.0);
    for (double b : busy)
        *std::min_element(slots.begin(), slots.end()) += b;
    return *std::max_element(slots.begin(), slots.end());
}

// A batch of (input, output) conversions, started as the progress window starts them.
Timing RunBatch(const std::vector<std::pair<std::string, std::string>>& files, int sourceType,
                int format, int jobs)
{
    Timing t;
    CRipThreadList batch;
    batch.SetMaxConcurrent(jobs);
    for (const auto& [in, out] : files)
        batch.AddTask(new CRipTask(sourceType, in.c_str(), format, out.c_str()));
    const int count = batch.GetCount();
    std::vector<double> started(count, -1), ended(count, -1);
    // Jobs are noticed starting at once (StartNext runs here) and ending within a millisecond.
    auto note = [&](double now) {
        for (int i = 0; i < count; ++i) {
            const int state = batch.GetStatus(i);
            if (started[i] < 0 && state != CRipThread::STATE_WAITING)
                started[i] = now;
            if (ended[i] < 0 && (state == CRipThread::STATE_DONE ||
                                 state == CRipThread::STATE_ERROR))
                ended[i] = now;
        }
    };
    const double t0 = Now();
    double nextTick = t0;
    for (;;) {
        if (batch.GetWaitingCount() > 0)
            batch.StartNext();
        note(Now());
        if (batch.GetActiveCount() == 0)
            break;
        nextTick += kTickMs / 1000.0;
        // Wait for the next tick, but notice the end of the batch within a millisecond.
        while (Now() < nextTick && batch.GetActiveCount() > 0) {
            ::Sleep(1);
            note(Now());
        }
        if (batch.GetActiveCount() == 0 && batch.GetWaitingCount() == 0)
            break;
    }
    t.wall = Now() - t0;
    note(t0 + t.wall);
    std::vector<int> order(count);
    for (int i = 0; i < count; ++i)
        order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](int a, int b) { return started[a] < started[b]; });
    std::vector<double> busy;
    for (int i : order)
        busy.push_back(ended[i] - started[i] - batch.GetThread(i)->GetSleepSeconds());
    t.work = WorkTime(busy, jobs);
    t.failed = batch.GetErrorCount();
    for (int i = 0; i < count; ++i)
        if (batch.GetStatus(i) == CRipThread::STATE_ERROR)
            std::fprintf(stderr, "%s: %s\n", batch.GetTask(i)->GetInputFile().GetString(),
                         batch.GetThread(i)->GetErrorText().GetString());
    return t;
}

struct Codec {
    const char* name;
    int format;
    const char* ext;
    // The reference encoder and decoder, as shell commands over IN and OUT.
    const char* encode;
    const char* decode;
};

// The program's settings (set below) and the same settings for the reference tools: FLAC level
// 5 is block size 4608, mid-side, LPC order 8, residual partition order 3..3; MP3 192 kbit/s
// CBR joint stereo, quality 2, no tag; Ogg Vorbis quality 4; WMA 128 kbit/s stereo.
const Codec kCodecs[] = {
    {"FLAC level 5", FILETYPE_FLAC, ".flac", "flac -s -f -5 -b 4608 -r 3,3 -o OUT IN",
     "flac -s -f -d -o OUT IN"},
    {"Ogg Vorbis q4", FILETYPE_VORBIS, ".ogg", "oggenc -Q -q 4 -o OUT IN", "oggdec -Q -o OUT IN"},
    {"MP3 192k CBR", FILETYPE_MP3, ".mp3", "lame --quiet -t -b 192 -m j -q 2 IN OUT",
     "lame --quiet --decode IN OUT"},
    {"WMA 128k", FILETYPE_WMA, ".wma", "ffmpeg -v error -y -i IN -c:a wmav2 -b:a 128k OUT",
     "ffmpeg -v error -y -i IN OUT"},
};

std::string Fill(std::string command, const std::string& in, const std::string& out)
{
    command.replace(command.find("IN"), 2, "'" + in + "'");
    command.replace(command.find("OUT"), 3, "'" + out + "'");
    return command;
}

void SetProgramSettings()
{
    CAppCfg& cfg = GetAppCfg();
    cfg.SetFlacEnc_Level(5);
    cfg.SetFlacEnc_Channels(2);
    cfg.SetVorbisEnc_Quality(4);
    cfg.SetVorbisEnc_Channels(2);
    cfg.SetMp3Enc_Mode(1);
    cfg.SetMp3Enc_Bitrate(192);
    cfg.SetMp3Enc_Channels(3);
    cfg.SetMp3Enc_WriteID3(0);
    cfg.SetMp3Enc_WriteCRCs(0);
    cfg.SetWmaEnc_Mode(7);
    cfg.SetWavEnc_Channels(2);
    cfg.SetWavEnc_BitsPerSample(16);
    cfg.SetWavEnc_WriteInfoTags(0);
}

void DeleteMatching(const std::string& dir, const char* pattern)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA(Path(dir, pattern).c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        ::DeleteFileA(Path(dir, fd.cFileName).c_str());
    } while (::FindNextFileA(h, &fd));
    ::FindClose(h);
}

void PrintRow(const char* what, int jobs, double ref, const Timing& ours)
{
    if (ref < 0) {
        std::printf("%-16s %2d  the reference tool failed\n", what, jobs);
        return;
    }
    std::printf("%-16s %2d  %8.2f %8.2f %8.2f   %5.2f  %5.2f%s\n", what, jobs, ref, ours.wall,
                ours.work, ref / ours.wall, ref / ours.work,
                ours.failed ? "  (jobs failed!)" : "");
}

// One job converting a file, in a process of its own so its peak is its own: prints the peak
// of the private bytes in MiB.
int PeakChild(int format, const std::string& in, const std::string& out)
{
    SetProgramSettings();
    Timing t = RunBatch({{in, out}}, FILETYPE_WAV, format, 1);
    PROCESS_MEMORY_COUNTERS pmc{};
    pmc.cb = sizeof pmc;
    ::GetProcessMemoryInfo(::GetCurrentProcess(), &pmc, sizeof pmc);
    std::printf("%.1f\n", pmc.PeakPagefileUsage / 1048576.0);
    return t.failed ? 1 : 0;
}

double RunPeakChild(int format, const std::string& in, const std::string& out)
{
    char self[MAX_PATH];
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string command = "\"" + std::string(self) + "\" --peak " + std::to_string(format) +
                          " \"" + in + "\" \"" + out + "\"";
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    HANDLE readEnd, writeEnd;
    if (!::CreatePipe(&readEnd, &writeEnd, &sa, 0))
        return -1;
    ::SetHandleInformation(readEnd, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = writeEnd;
    si.hStdError = ::GetStdHandle(STD_ERROR_HANDLE);
    si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
    PROCESS_INFORMATION pi{};
    const BOOL started = ::CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0,
                                          nullptr, nullptr, &si, &pi);
    ::CloseHandle(writeEnd);
    if (!started) {
        ::CloseHandle(readEnd);
        return -1;
    }
    std::string text;
    char buf[256];
    DWORD got = 0;
    while (::ReadFile(readEnd, buf, sizeof buf, &got, nullptr) && got > 0)
        text.append(buf, got);
    ::CloseHandle(readEnd);
    ::WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 1;
    ::GetExitCodeProcess(pi.hProcess, &code);
    ::CloseHandle(pi.hProcess);
    ::CloseHandle(pi.hThread);
    return code == 0 ? std::atof(text.c_str()) : -1;
}

bool Wants(const std::string& parts, const char* part)
{
    return ("," + parts + ",").find("," + std::string(part) + ",") != std::string::npos;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::string(argv[1]) == "--peak")
        return PeakChild(std::atoi(argv[2]), argv[3], argv[4]);

    const double seconds = std::atof(Env("SONORIA_BENCH_SECONDS", "300").c_str());
    const int files = std::atoi(Env("SONORIA_BENCH_FILES", "8").c_str());
    const std::string parts = Env("SONORIA_BENCH_PARTS", "encode,decode,wav,scaling,memory");
    const int kJobs[] = {1, 8};

    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    const std::string dir =
        std::string(temp) + "bench_convert_" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(dir.c_str(), nullptr);
    if (UnixPath(dir).empty()) {
        std::printf("not running under Wine: no native reference tools\n");
        return 1;
    }
    SetProgramSettings();

    const testing_wav::Format f{2, 44100, 16};
    std::vector<std::string> inputs;
    for (int i = 0; i < files; ++i) {
        inputs.push_back("in" + std::to_string(i) + ".wav");
        const auto wav = testing_wav::WavFile(f, testing_wav::MusicLike(f, seconds, i + 1));
        if (!testing_wav::WriteFile(Path(dir, inputs.back()), wav)) {
            std::printf("cannot write the inputs in %s\n", dir.c_str());
            return 1;
        }
    }
    SYSTEM_INFO si;
    ::GetSystemInfo(&si);
    std::printf("%d files of %.0f s music-like 16-bit stereo 44.1 kHz; %lu processors\n", files,
                seconds, si.dwNumberOfProcessors);
    std::printf("times in seconds; ratio = reference / ours (1.00: as fast); work = ours less "
                "the required pauses and start ticks\n");
    std::printf("%-16s %2s  %8s %8s %8s   %5s  %5s\n", "", "jobs", "ref", "ours", "work",
                "ratio", "work");
    int failures = 0;

    auto ours = [&](const char* stem, const char* ext, const char* outStem, const char* outExt) {
        std::vector<std::pair<std::string, std::string>> v;
        for (int i = 0; i < files; ++i)
            v.emplace_back(Path(dir, stem + std::to_string(i) + ext),
                           Path(dir, outStem + std::to_string(i) + outExt));
        return v;
    };
    auto host = [&](const char* pattern, const char* stem, const char* ext, const char* outStem,
                    const char* outExt) {
        std::vector<std::string> v;
        for (int i = 0; i < files; ++i)
            v.push_back(Fill(pattern, stem + std::to_string(i) + ext,
                             outStem + std::to_string(i) + outExt));
        return v;
    };

    const bool encode = Wants(parts, "encode"), decode = Wants(parts, "decode");
    if (encode || decode)
        std::printf("-- encoding from WAV%s\n", encode ? "" : " (for the decoding inputs only)");
    for (const Codec& c : kCodecs) {
        if (!encode && !decode)
            break;
        for (int jobs : kJobs) {
            if (!encode && jobs != 1)
                continue;
            const double ref = RunHost(dir, host(c.encode, "in", ".wav", "ref", c.ext), jobs);
            const Timing t = RunBatch(ours("in", ".wav", "ours", c.ext), FILETYPE_WAV, c.format,
                                      jobs);
            if (encode)
                PrintRow(c.name, jobs, ref, t);
            failures += t.failed + (ref < 0);
        }
    }
    if (decode) {
        std::printf("-- decoding to WAV (the reference encoder's files)\n");
        for (const Codec& c : kCodecs) {
            for (int jobs : kJobs) {
                const double ref = RunHost(dir, host(c.decode, "ref", c.ext, "refdec", ".wav"),
                                           jobs);
                const int sourceType = CRipTask::SourceTypeFromFileType(c.format);
                const Timing t = RunBatch(ours("ref", c.ext, "ourdec", ".wav"), sourceType,
                                          FILETYPE_WAV, jobs);
                PrintRow(c.name, jobs, ref, t);
                failures += t.failed + (ref < 0);
            }
        }
    }
    DeleteMatching(dir, "ref*");
    DeleteMatching(dir, "our*");
    if (Wants(parts, "wav")) {
        std::printf("-- WAV to WAV against a file copy (cp)\n");
        for (int jobs : kJobs) {
            const double ref = RunHost(dir, host("cp IN OUT", "in", ".wav", "copy", ".wav"), jobs);
            const Timing t = RunBatch(ours("in", ".wav", "ours", ".wav"), FILETYPE_WAV,
                                      FILETYPE_WAV, jobs);
            PrintRow("WAV to WAV", jobs, ref, t);
            failures += t.failed + (ref < 0);
            DeleteMatching(dir, "copy*");
            DeleteMatching(dir, "ours*");
        }
    }
    if (Wants(parts, "scaling")) {
        std::printf("-- scaling, FLAC level 5: throughput of n jobs over n x one job's\n");
        double single = 0, singleWork = 0;
        for (int jobs : {1, 2, 4, 8}) {
            const Timing t = RunBatch(ours("in", ".wav", "ours", ".flac"), FILETYPE_WAV,
                                      FILETYPE_FLAC, jobs);
            failures += t.failed;
            if (jobs == 1) {
                single = t.wall;
                singleWork = t.work;
            }
            const int n = std::min(jobs, files);
            std::printf("%-16s %2d  %8.2f s   efficiency %.2f   work %.2f s, efficiency %.2f\n",
                        "FLAC level 5", jobs, t.wall, single / (n * t.wall), t.work,
                        singleWork / (n * t.work));
            DeleteMatching(dir, "ours*");
        }
    }
    if (Wants(parts, "memory")) {
        std::printf("-- peak private memory of one job, MiB\n");
        std::string minutes = Env("SONORIA_BENCH_MEMORY_MINUTES", "5,60");
        std::vector<int> lengths;
        for (size_t at = 0; at < minutes.size();) {
            lengths.push_back(std::atoi(minutes.c_str() + at));
            const size_t comma = minutes.find(',', at);
            at = comma == std::string::npos ? minutes.size() : comma + 1;
        }
        for (int m : lengths) {
            const std::string in = Path(dir, "long.wav");
            {
                const auto wav = testing_wav::WavFile(f, testing_wav::MusicLike(f, m * 60.0, 99));
                if (!testing_wav::WriteFile(in, wav)) {
                    std::printf("cannot write %s\n", in.c_str());
                    ++failures;
                    break;
                }
            }
            std::printf("%3d min input:", m);
            for (const Codec& c : kCodecs) {
                const std::string out = Path(dir, std::string("long") + c.ext);
                const double peak = RunPeakChild(c.format, in, out);
                std::printf("  %s %.1f", c.ext + 1, peak);
                failures += peak < 0;
                ::DeleteFileA(out.c_str());
            }
            std::printf("\n");
            ::DeleteFileA(in.c_str());
            DeleteMatching(dir, "long*");
        }
    }
    DeleteMatching(dir, "*");
    ::RemoveDirectoryA(dir.c_str());
    if (failures)
        std::printf("%d conversions or reference runs failed\n", failures);
    return failures ? 1 : 0;
}
