// Batches that convert WAV files to MP3 and back through the rip engine.
#include "testing/rip_batch.h"
#include "testing/settings_guard.h"
#include "audio/formats/mp3/id3_reader.h"
#include "foundation/settings/app_cfg.h"
#include "rip/rip_task.h"
#include "rip/rip_thread.h"
#include "rip/rip_thread_list.h"
#include "testing/generated_wav.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

std::string TempPath(const std::string& name)
{
    return testing::TempDir() + "mp3batch_" + name;
}

// A stereo 16-bit sine at `hz`, amplitude 8000.
std::vector<uint8_t> Sine(const testing_wav::Format& f, double seconds, double hz)
{
    std::vector<uint8_t> pcm;
    const int n = static_cast<int>(f.rate * seconds);
    for (int i = 0; i < n; ++i)
        for (int c = 0; c < f.channels; ++c) {
            int16_t v = static_cast<int16_t>(8000 * std::sin(2 * kPi * hz * i / f.rate));
            pcm.push_back(static_cast<uint8_t>(v & 0xFF));
            pcm.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
        }
    return pcm;
}

using testing_rip::RunBatch;

double ZeroCrossingHz(const std::vector<uint8_t>& pcm, int channels, int rate)
{
    size_t frames = pcm.size() / 2 / channels;
    size_t from = frames / 4, to = frames * 3 / 4;
    int crossings = 0;
    auto at = [&](size_t i) {
        return static_cast<int16_t>(pcm[2 * i * channels] | (pcm[2 * i * channels + 1] << 8));
    };
    for (size_t i = from; i < to; ++i)
        if ((at(i) < 0) != (at(i + 1) < 0))
            ++crossings;
    return crossings / 2.0 / (double(to - from) / rate);
}

} // namespace

TEST(Mp3Batch, ConvertsWavToMp3InEveryRateModeAndBack)
{
    testing_settings::SettingsGuard keep;
    CAppCfg& cfg = GetAppCfg();
    struct Case {
        const char* name;
        int mode;     // 1 CBR, 2 VBR, 3 ABR
        int channels; // 1 mono, 2 stereo, 3 joint stereo
        int id3;      // 0 none, 1 v1, 2 v2, 3 both
    } cases[] = {
        {"cbr stereo, both tags", 1, 2, 3},
        {"vbr joint stereo, ID3v2", 2, 3, 2},
        {"abr mono, ID3v1", 3, 1, 1},
    };
    const testing_wav::Format f{2, 44100, 16};
    const std::string source = TempPath("source.wav");
    ASSERT_TRUE(testing_wav::WriteFile(source, testing_wav::WavFile(f, Sine(f, 2.0, 880.0))));

    CRipThreadList encode;
    encode.SetMaxConcurrent(3);
    for (size_t i = 0; i < std::size(cases); ++i) {
        cfg.SetMp3Enc_Mode(cases[i].mode);
        cfg.SetMp3Enc_Channels(cases[i].channels);
        cfg.SetMp3Enc_WriteID3(cases[i].id3);
        auto* task = new CRipTask(0, source.c_str(), 1,
                                  TempPath("out" + std::to_string(i) + ".mp3").c_str());
        task->GetTrack()->SetTrackTitle(cases[i].name);
        encode.AddTask(task);
    }
    RunBatch(encode);

    cfg.SetWavEnc_Channels(2);
    CRipThreadList decode;
    for (size_t i = 0; i < std::size(cases); ++i)
        decode.AddTask(new CRipTask(1, TempPath("out" + std::to_string(i) + ".mp3").c_str(), 0,
                                    TempPath("back" + std::to_string(i) + ".wav").c_str()));
    RunBatch(decode);

    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        ASSERT_EQ(encode.GetThread(static_cast<int>(i))->GetState(), CRipThread::STATE_DONE)
            << encode.GetThread(static_cast<int>(i))->GetErrorText();
        ASSERT_EQ(decode.GetThread(static_cast<int>(i))->GetState(), CRipThread::STATE_DONE)
            << decode.GetThread(static_cast<int>(i))->GetErrorText();

        const std::string mp3 = TempPath("out" + std::to_string(i) + ".mp3");
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(testing_wav::ReadFile(mp3, bytes));
        EXPECT_EQ(std::string(bytes.begin(), bytes.begin() + 3) == "ID3", (c.id3 & 2) != 0);
        EXPECT_EQ(std::string(bytes.end() - 128, bytes.end() - 125) == "TAG", (c.id3 & 1) != 0);
        CAudioMP3InfoTagReader tags;
        ASSERT_TRUE(tags.Open(mp3.c_str()));
        CAudioTrackInfo back;
        EXPECT_TRUE(tags.ReadTags(back));
        EXPECT_STREQ(back.GetTrackTitle(), CString(c.name).Left(c.id3 == 1 ? 30 : 100));

        std::vector<uint8_t> wav, pcm;
        testing_wav::Format out{};
        ASSERT_TRUE(testing_wav::ReadFile(TempPath("back" + std::to_string(i) + ".wav"), wav));
        ASSERT_TRUE(testing_wav::ParseWav(wav, out, pcm));
        EXPECT_EQ(out.rate, 44100);
        size_t frames = pcm.size() / 2 / out.channels;
        EXPECT_GE(frames, 88200u);
        EXPECT_LE(frames, 88200u + 3 * 1152);
        EXPECT_NEAR(ZeroCrossingHz(pcm, out.channels, out.rate), 880.0, 15.0);
        std::remove(mp3.c_str());
        std::remove(TempPath("back" + std::to_string(i) + ".wav").c_str());
    }
    std::remove(source.c_str());
}
