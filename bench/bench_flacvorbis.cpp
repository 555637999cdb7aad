// Encodes generated WAV files to FLAC (level 5) and Ogg Vorbis (quality 4) through a batch
// running one job per processor, and reports its throughput as a ratio against the reference
// command-line encoders (flac, oggenc) run natively on the same files, as many at once.
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

const int kFiles = 16;
const double kSeconds = 30.0; // about 5 MB of 16-bit stereo audio per file
const int kRounds = 3;
const DWORD kTimeoutMs = 600000;

double Now()
{
    LARGE_INTEGER f, c;
    ::QueryPerformanceFrequency(&f);
    ::QueryPerformanceCounter(&c);
    return static_cast<double>(c.QuadPart) / static_cast<double>(f.QuadPart);
}

std::string Path(const std::string& dir, const std::string& name)
{
    return dir + "\\" + name;
}

// The host path of a Windows path, through the call Wine's kernel32 exports for it; empty
// outside Wine, where there are no native encoders to run.
std::string UnixPath(const std::string& path)
{
    using ToUnix = char*(CDECL*)(LPCWSTR);
    // Through void*: GetProcAddress's generic function type does not convert directly.
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

// Runs the reference encoder natively over every input, `jobs` at a time. A host process
// started from Wine gives no handle to wait on, so the script leaves a marker file at its end.
double RunReference(const std::string& dir, const char* encoder, int jobs, bool& ok)
{
    const std::string marker = Path(dir, "reference.done");
    ::DeleteFileA(marker.c_str());
    const std::string script = Path(dir, "reference.sh");
    FILE* f = std::fopen(script.c_str(), "wb");
    if (!f) {
        ok = false;
        return 0;
    }
    // The marker holds the exit status, so a failing encoder ends the wait at once.
    std::fprintf(f,
                 "cd '%s' && ls in*.wav | xargs -P %d -n 1 %s\necho $? > reference.tmp\n"
                 "mv reference.tmp reference.done\n",
                 UnixPath(dir).c_str(), jobs, encoder);
    std::fclose(f);

    // Windows command-line rules: double quotes.
    std::string command = "/bin/sh \"" + UnixPath(script) + "\"";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    const double t0 = Now();
    if (!::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &si, &pi)) {
        ok = false;
        return 0;
    }
    if (pi.hProcess)
        ::CloseHandle(pi.hProcess);
    if (pi.hThread)
        ::CloseHandle(pi.hThread);
    const DWORD start = ::GetTickCount();
    while (::GetFileAttributesA(marker.c_str()) == INVALID_FILE_ATTRIBUTES) {
        if (::GetTickCount() - start > kTimeoutMs) {
            ok = false;
            return 0;
        }
        ::Sleep(1);
    }
    const double elapsed = Now() - t0;
    FILE* status = std::fopen(marker.c_str(), "rb");
    int code = -1;
    if (!status || std::fscanf(status, "%d", &code) != 1 || code != 0)
        ok = false;
    if (status)
        std::fclose(status);
    return elapsed;
}

double RunBatch(const std::string& dir, int format, const char* ext, int jobs, int& failed)
{
    const double t0 = Now();
    CRipThreadList batch;
    batch.SetMaxConcurrent(jobs);
    for (int i = 0; i < kFiles; ++i) {
        const std::string n = std::to_string(i);
        batch.AddTask(new CRipTask(0, Path(dir, "in" + n + ".wav").c_str(), format,
                                   Path(dir, "out" + n + ext).c_str()));
    }
    while (batch.GetActiveCount() > 0) {
        while (batch.GetWaitingCount() > 0 && batch.StartNext() == 1) {
        }
        ::Sleep(1);
    }
    failed += batch.GetErrorCount();
    return Now() - t0;
}

void RemoveAll(const std::string& dir)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA(Path(dir, "*").c_str(), &fd);
    if (h != INVALID_HANDLE_VALUE) {
        do {
            ::DeleteFileA(Path(dir, fd.cFileName).c_str());
        } while (::FindNextFileA(h, &fd));
        ::FindClose(h);
    }
    ::RemoveDirectoryA(dir.c_str());
}

double Median(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main()
{
    SYSTEM_INFO si;
    ::GetSystemInfo(&si);
    const int jobs = static_cast<int>(si.dwNumberOfProcessors);

    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    const std::string dir =
        std::string(temp) + "bench_flacvorbis_" + std::to_string(::GetCurrentProcessId());
    ::CreateDirectoryA(dir.c_str(), nullptr);
    if (UnixPath(dir).empty()) {
        std::printf("not running under Wine: no native reference encoders\n");
        return 1;
    }

    const testing_wav::Format f{2, 44100, 16};
    const std::vector<uint8_t> wav = testing_wav::WavFile(f, testing_wav::SineSweep(f, kSeconds));
    for (int i = 0; i < kFiles; ++i)
        if (!testing_wav::WriteFile(Path(dir, "in" + std::to_string(i) + ".wav"), wav)) {
            std::printf("cannot write the input files in %s\n", dir.c_str());
            RemoveAll(dir);
            return 1;
        }
    const double mb = static_cast<double>(wav.size()) * kFiles / 1048576.0;
    std::printf("%d files, %.1f MB of 16-bit stereo WAV, %d jobs at once\n", kFiles, mb, jobs);

    CAppCfg& cfg = GetAppCfg();
    const int savedLevel = cfg.GetFlacEnc_Level(), savedFlacChannels = cfg.GetFlacEnc_Channels();
    const int savedQuality = cfg.GetVorbisEnc_Quality();
    const int savedVorbisChannels = cfg.GetVorbisEnc_Channels();
    cfg.SetFlacEnc_Level(5);
    cfg.SetFlacEnc_Channels(2);
    cfg.SetVorbisEnc_Quality(4);
    cfg.SetVorbisEnc_Channels(2);

    struct Codec {
        const char* name;
        int format;
        const char* ext;
        const char* reference;
        std::vector<double> ratios;
    };
    Codec codecs[] = {{"FLAC level 5", 4, ".flac", "flac -5 -s -f", {}},
                      {"Ogg Vorbis quality 4", 2, ".ogg", "oggenc -Q -q 4", {}}};
    int failed = 0;
    bool ok = true;
    for (int round = 0; round < kRounds && ok; ++round) {
        for (Codec& c : codecs) {
            const double reference = RunReference(dir, c.reference, jobs, ok);
            const double batch = RunBatch(dir, c.format, c.ext, jobs, failed);
            if (!ok)
                break;
            c.ratios.push_back(reference / batch);
            std::printf("round %d, %s: reference %.1f MB/s, batch %.1f MB/s, ratio %.2f%s\n",
                        round + 1, c.name, mb / reference, mb / batch, reference / batch,
                        failed ? " (jobs failed!)" : "");
        }
    }
    cfg.SetFlacEnc_Level(savedLevel);
    cfg.SetFlacEnc_Channels(savedFlacChannels);
    cfg.SetVorbisEnc_Quality(savedQuality);
    cfg.SetVorbisEnc_Channels(savedVorbisChannels);
    RemoveAll(dir);
    if (!ok) {
        std::printf("the reference encoders did not run (are flac and vorbis-tools installed?)\n");
        return 1;
    }
    for (const Codec& c : codecs)
        std::printf("%s: batch throughput / reference encoder throughput (median of %d): %.2f\n",
                    c.name, kRounds, Median(c.ratios));
    return failed ? 1 : 0;
}
