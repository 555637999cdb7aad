// The rip engine converts WAV files to WMA at every mode and back, and refuses a protected WMA
// source once its tags were imported.
#include "testing/rip_batch.h"
#include "testing/settings_guard.h"
#include "audio/formats/detection/format_detection.h"
#include "foundation/settings/app_cfg.h"
#include "rip/rip_task.h"
#include "rip/rip_thread.h"
#include "rip/rip_thread_list.h"
#include "testing/generated_wav.h"
#include "tests/audio_wma/wma_fixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

using namespace wma_fixture;

namespace {

using testing_rip::RunBatch;

std::vector<int16_t> ReadWavPcm(const std::string& path, testing_wav::Format& format)
{
    std::vector<uint8_t> bytes, pcm;
    EXPECT_TRUE(testing_wav::ReadFile(path, bytes));
    EXPECT_TRUE(testing_wav::ParseWav(bytes, format, pcm));
    std::vector<int16_t> samples(pcm.size() / 2);
    std::memcpy(samples.data(), pcm.data(), samples.size() * 2);
    return samples;
}

} // namespace

TEST(WmaBatch, WavToEveryModeAndBackKeepsLengthAndTones)
{
    testing_settings::SettingsGuard keep;
    CAppCfg& cfg = GetAppCfg();
    cfg.SetWavEnc_Channels(2);
    cfg.SetWavEnc_BitsPerSample(16);

    const int rate = 44100, frames = 61111;
    const std::vector<int16_t> tones = MakeTones(frames, rate);
    const std::vector<uint8_t> pcm(reinterpret_cast<const uint8_t*>(tones.data()),
                                   reinterpret_cast<const uint8_t*>(tones.data() + tones.size()));
    const std::string wav = TempPath("batch_in.wav");
    ASSERT_TRUE(testing_wav::WriteFile(wav, testing_wav::WavFile({2, rate, 16}, pcm)));

    CRipThreadList encode;
    encode.SetMaxConcurrent(3);
    for (int mode = 1; mode <= 7; ++mode) {
        cfg.SetWmaEnc_Mode(mode);
        auto* task = new CRipTask(0, wav.c_str(), 3,
                                  TempPath(("batch" + std::to_string(mode) + ".wma").c_str()).c_str());
        CAudioTrackInfo track;
        track.m_strTrackTitle.Format("Mode %d", mode);
        task->SetTrackInfo(track);
        encode.AddTask(task);
    }
    RunBatch(encode);
    ASSERT_EQ(encode.GetDoneCount(), 7);

    CRipThreadList decode;
    decode.SetMaxConcurrent(3);
    for (int mode = 1; mode <= 7; ++mode) {
        const std::string wma = TempPath(("batch" + std::to_string(mode) + ".wma").c_str());
        CAudioTrackInfo track;
        ASSERT_EQ(CAudioFileInspector::ImportTags(wma.c_str(), track), 1);
        EXPECT_EQ(track.m_strTrackTitle, CString("Mode ") + std::to_string(mode).c_str());
        auto* task = new CRipTask(3, wma.c_str(), 0,
                                  TempPath(("back" + std::to_string(mode) + ".wav").c_str()).c_str());
        task->SetTrackInfo(track);
        decode.AddTask(task);
    }
    RunBatch(decode);
    ASSERT_EQ(decode.GetDoneCount(), 7);

    for (int mode = 1; mode <= 7; ++mode) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        testing_wav::Format format{};
        const std::string back = TempPath(("back" + std::to_string(mode) + ".wav").c_str());
        const std::vector<int16_t> out = ReadWavPcm(back, format);
        ASSERT_EQ(format.channels, 2);
        ASSERT_EQ(out.size(), tones.size());
        if (mode == 1) {
            // The mono file, spread to both channels: each holds both tones at half level.
            for (int c = 0; c < 2; ++c)
                EXPECT_GT(Measure(out, 2, c, 440, rate).share + Measure(out, 2, c, 880, rate).share,
                          0.9);
        } else {
            EXPECT_GT(Measure(out, 2, 0, 440, rate).share, 0.9);
            EXPECT_GT(Measure(out, 2, 1, 880, rate).share, 0.9);
            EXPECT_NEAR(Measure(out, 2, 0, 440, rate).rms, 0.5 / std::sqrt(2.0), 0.05);
        }
        DeleteFileA(back.c_str());
        DeleteFileA(TempPath(("batch" + std::to_string(mode) + ".wma").c_str()).c_str());
    }
    DeleteFileA(wav.c_str());
}

TEST(WmaBatch, ProtectedSourceIsRefused)
{
    const std::string wma = TempPath("batch_protected.wma");
    const std::string out = TempPath("batch_protected.wav");
    WriteWithAttributes(wma, {{L"Title", L"Locked"}}, TRUE);
    CAudioTrackInfo track;
    ASSERT_EQ(CAudioFileInspector::ImportTags(wma.c_str(), track), 1);
    ASSERT_TRUE(track.IsProtected());
    auto* task = new CRipTask(3, wma.c_str(), 0, out.c_str());
    task->SetTrackInfo(track);
    CRipThreadList batch;
    batch.AddTask(task);
    RunBatch(batch);
    ASSERT_EQ(batch.GetErrorCount(), 1);
    EXPECT_EQ(batch.GetThread(0)->GetErrorText(), "File is DRM protected.");
    EXPECT_EQ(GetFileAttributesA(out.c_str()), INVALID_FILE_ATTRIBUTES);
    DeleteFileA(wma.c_str());
}
