// Helper of bench/mp3_batch.sh: writes the WAV set, or encodes it to MP3 through a batch and
// prints the seconds it took.
//   mp3_batch_tool generate DIR FILES SECONDS
//   mp3_batch_tool encode DIR FILES CONCURRENCY
#include "foundation/settings/app_cfg.h"
#include "rip/rip_task.h"
#include "rip/rip_thread_list.h"
#include "testing/generated_wav.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace
{

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

} // namespace

int main(int argc, char** argv)
{
    if (argc != 5) {
        std::fprintf(stderr, "usage: %s generate|encode DIR FILES SECONDS|CONCURRENCY\n", argv[0]);
        return 2;
    }
    const std::string mode = argv[1], dir = argv[2];
    const int files = std::atoi(argv[3]);
    if (mode == "generate") {
        const testing_wav::Format f{2, 44100, 16};
        for (int i = 0; i < files; ++i)
            if (!testing_wav::WriteFile(Path(dir, "in", i, ".wav"),
                                        testing_wav::WavFile(f, testing_wav::SineSweep(f, std::atof(argv[4])))))
                return 1;
        return 0;
    }
    // 192 kbps constant bitrate, joint stereo, no tags: what the reference encoder is given.
    CAppCfg& cfg = GetAppCfg();
    cfg.SetMp3Enc_Mode(1);
    cfg.SetMp3Enc_Bitrate(192);
    cfg.SetMp3Enc_Channels(3);
    cfg.SetMp3Enc_WriteID3(0);
    const double t0 = Now();
    CRipThreadList batch;
    batch.SetMaxConcurrent(std::atoi(argv[4]));
    for (int i = 0; i < files; ++i)
        batch.AddTask(new CRipTask(0, Path(dir, "in", i, ".wav").c_str(), 1,
                                   Path(dir, "out", i, ".mp3").c_str()));
    while (batch.GetActiveCount() > 0) {
        while (batch.GetWaitingCount() > 0 && batch.StartNext() == 1) {
        }
        ::Sleep(1);
    }
    std::printf("%.3f %d\n", Now() - t0, batch.GetErrorCount());
    return batch.GetErrorCount() == 0 ? 0 : 1;
}
