// CAudioPlayer on the real wave-out API. The device tests run under an ALSA configuration whose
// default output records the stream to $SONORIA_PCM_CAPTURE (testing/asound.conf); the
// missing-device test runs where the system has no wave-out device at all.
#include "audio/player/audio_player.h"

#include "audio/audio_frame.h"
#include "foundation/util/thread.h"
#include "testing/pcm_capture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

using testing_pcm::HaveCaptureDevice;
using testing_pcm::ReadCapture;
using testing_pcm::WithoutSilence;

// 16-bit value of sample n: never 0, so no sample is mistaken for padding.
short RampSample(int n)
{
    return static_cast<short>(1 + (n * 37) % 30000);
}

// A frame of 16-bit signed little-endian samples.
void Fill16(CAudioFrame& frame, int channels, int rate, int first, int count)
{
    frame.SetChannels(channels);
    frame.SetSampleRate(rate);
    frame.SetBitsPerSample(16);
    frame.SetSigned(1);
    frame.SetByteOrder(0);
    std::vector<short> samples(static_cast<size_t>(count) * channels);
    for (size_t i = 0; i < samples.size(); ++i)
        samples[i] = RampSample(first * channels + static_cast<int>(i));
    frame.Append(samples.data(), static_cast<uint32_t>(samples.size() * 2));
}

// The playback thread: moves frames of a generated stream into the player until the stream
// ends or it is asked to stop, as the player window's worker does.
class CPlaybackThread : public CThread
{
public:
    ~CPlaybackThread() override { Stop(TRUE); }

    CAudioPlayer* pPlayer = nullptr;
    int channels = 2;
    int rate = 44100;
    int framesToPlay = 0; // 0: endless
    int samplesPerFrame = 11025;
    std::atomic<int> framesWritten{0};
    std::atomic<bool> refused{false};

protected:
    void Run(LPVOID) override
    {
        for (int f = 0; IsRunning() && (framesToPlay == 0 || f < framesToPlay); ++f) {
            CAudioFrame frame;
            Fill16(frame, channels, rate, f * samplesPerFrame, samplesPerFrame);
            if (!pPlayer->WriteFrame(&frame)) {
                refused = true;
                return;
            }
            ++framesWritten;
        }
    }
};

} // namespace

TEST(AudioPlayer, MissingDeviceFailsCleanly)
{
    if (::waveOutGetNumDevs() != 0)
        GTEST_SKIP() << "this system has a wave-out device";
    CStringArray names;
    EXPECT_EQ(CAudioPlayer::ListOutputDevices(names), 0);
    EXPECT_EQ(names.GetSize(), 0);

    CAudioPlayer player;
    EXPECT_FALSE(player.Open(0, 2, 44100, 16, nullptr));
    CString text;
    EXPECT_EQ(player.GetError(text), 5);
    EXPECT_STREQ(text, "Can't open output Wav file");
    EXPECT_FALSE(player.IsOpen());

    CAudioFrame frame;
    Fill16(frame, 2, 44100, 0, 100);
    EXPECT_FALSE(player.WriteFrame(&frame));
    EXPECT_EQ(player.GetError(text), 1);
    EXPECT_STREQ(text, "Player not initialized");
    EXPECT_FALSE(player.BeginStream());
    EXPECT_FALSE(player.Close());
    EXPECT_EQ(player.GetVolume(), 0);
    DWORD ms = 0;
    EXPECT_FALSE(player.GetPositionMs(ms));
    player.Stop(); // harmless on a closed player
}

TEST(AudioPlayer, ListsTheDevice)
{
    if (!HaveCaptureDevice())
        GTEST_SKIP() << "needs the recording test device";
    CStringArray names;
    ASSERT_EQ(CAudioPlayer::ListOutputDevices(names), 1);
    ASSERT_EQ(names.GetSize(), 1);
    EXPECT_FALSE(names[0].IsEmpty());
}

TEST(AudioPlayer, PlaysTheWholeStreamInOrderFromAWorker)
{
    if (!HaveCaptureDevice())
        GTEST_SKIP() << "needs the recording test device";
    struct Case {
        const char* name;
        int channels;
        int frames;
        int samplesPerFrame;
        int maxQueued;
    };
    const Case cases[] = {
        {"stereo, quarter-second frames", 2, 10, 11025, 5},
        {"mono, odd frame sizes", 1, 7, 4999, 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CAudioPlayer player;
        player.SetStartVolume(0xFFFF); // the device scales samples by the volume
        player.SetMaxQueuedBuffers(c.maxQueued);
        ASSERT_TRUE(player.Open(0, c.channels, 44100, 16, nullptr));
        EXPECT_TRUE(player.BeginStream());
        CPlaybackThread worker;
        worker.pPlayer = &player;
        worker.channels = c.channels;
        worker.framesToPlay = c.frames;
        worker.samplesPerFrame = c.samplesPerFrame;
        worker.Start(nullptr);
        worker.WaitForThread();
        EXPECT_FALSE(worker.refused.load());
        EXPECT_EQ(worker.framesWritten.load(), c.frames);
        ASSERT_TRUE(player.Close());
        EXPECT_FALSE(player.IsOpen());

        const size_t blockAlign = 2u * c.channels;
        const std::vector<BYTE> played = WithoutSilence(ReadCapture(), blockAlign);
        const size_t samples = static_cast<size_t>(c.frames) * c.samplesPerFrame * c.channels;
        ASSERT_EQ(played.size(), samples * 2);
        for (size_t i = 0; i < samples; ++i) {
            const short got = static_cast<short>(played[2 * i] | (played[2 * i + 1] << 8));
            ASSERT_EQ(got, RampSample(static_cast<int>(i))) << "sample " << i;
        }
    }
}

TEST(AudioPlayer, ConvertsFramesToTheDeviceFormat)
{
    if (!HaveCaptureDevice())
        GTEST_SKIP() << "needs the recording test device";
    // 8-bit unsigned mono to a 16-bit stereo device: widened, then duplicated.
    {
        CAudioPlayer player;
        player.SetStartVolume(0xFFFF);
        ASSERT_TRUE(player.Open(0, 2, 22050, 16, nullptr));
        CAudioFrame frame;
        frame.SetChannels(1);
        frame.SetSampleRate(22050);
        frame.SetBitsPerSample(8);
        frame.SetSigned(0);
        std::vector<BYTE> bytes(2205);
        for (size_t i = 0; i < bytes.size(); ++i)
            bytes[i] = static_cast<BYTE>(129 + i % 120); // never the midpoint: never silent
        frame.Append(bytes.data(), static_cast<uint32_t>(bytes.size()));
        ASSERT_TRUE(player.WriteFrame(&frame));
        ASSERT_TRUE(player.Close());
        const std::vector<BYTE> played = WithoutSilence(ReadCapture(), 4);
        ASSERT_EQ(played.size(), bytes.size() * 4);
        for (size_t i = 0; i < bytes.size(); ++i) {
            const short expected = static_cast<short>((bytes[i] - 128) * 256);
            for (int ch = 0; ch < 2; ++ch) {
                const size_t at = 4 * i + 2 * ch;
                ASSERT_EQ(static_cast<short>(played[at] | (played[at + 1] << 8)), expected)
                    << "sample " << i << " channel " << ch;
            }
        }
    }
    // A rate below 11025 opens the device at 11025: every frame is resampled to it.
    {
        CAudioPlayer player;
        ASSERT_TRUE(player.Open(0, 2, 8000, 16, nullptr));
        for (int f = 0; f < 3; ++f) {
            CAudioFrame frame;
            Fill16(frame, 2, 8000, f * 8000, 8000);
            ASSERT_TRUE(player.WriteFrame(&frame));
            EXPECT_EQ(frame.GetSampleRate(), 11025u);
        }
        ASSERT_TRUE(player.Close());
        // Resampling a second at 8000 Hz gives exactly 11025 samples per channel.
        EXPECT_EQ(WithoutSilence(ReadCapture(), 4).size(), 3u * 11025 * 4);
    }
}

TEST(AudioPlayer, VolumeAndPosition)
{
    if (!HaveCaptureDevice())
        GTEST_SKIP() << "needs the recording test device";
    CAudioPlayer player;
    EXPECT_EQ(player.GetVolume(), 0);
    player.SetStartVolume(0x4000);
    ASSERT_TRUE(player.Open(0, 2, 44100, 16, nullptr));
    EXPECT_EQ(player.GetVolume(), 0x4000);
    player.SetVolume(0x8000);
    EXPECT_EQ(player.GetVolume(), 0x8000);

    DWORD ms = 12345;
    ASSERT_TRUE(player.GetPositionMs(ms));
    EXPECT_EQ(ms, 0u);
    // 2.5 s of audio; the device reports bytes, which count as whole seconds.
    for (int f = 0; f < 10; ++f) {
        CAudioFrame frame;
        Fill16(frame, 2, 44100, f * 11025, 11025);
        ASSERT_TRUE(player.WriteFrame(&frame));
    }
    for (int i = 0; i < 500 && ms < 2000; ++i) {
        ::Sleep(10);
        ASSERT_TRUE(player.GetPositionMs(ms));
    }
    EXPECT_EQ(ms, 2000u);
    ASSERT_TRUE(player.Close());
    EXPECT_FALSE(player.GetPositionMs(ms));
    EXPECT_EQ(player.GetVolume(), 0);
}

TEST(AudioPlayer, PositionUnitsConvertAsTheDeviceAnswers)
{
    struct Case {
        const char* name;
        MMTIME time;
        int channels, rate, bits;
        bool ok;
        DWORD ms;
    };
    auto make = [](UINT type, DWORD value) {
        MMTIME t = {};
        t.wType = type;
        t.u.ms = value;
        return t;
    };
    MMTIME smpte = {};
    smpte.wType = TIME_SMPTE;
    smpte.u.smpte.hour = 1;
    smpte.u.smpte.min = 2;
    smpte.u.smpte.sec = 3;
    smpte.u.smpte.frame = 20;
    const Case cases[] = {
        {"milliseconds as they are", make(TIME_MS, 1234), 2, 44100, 16, true, 1234},
        {"samples at 44100", make(TIME_SAMPLES, 66150), 2, 44100, 16, true, 1000},
        {"bytes in whole seconds", make(TIME_BYTES, 176400 * 3 - 1), 2, 44100, 16, true, 2000},
        {"bytes of 8-bit mono", make(TIME_BYTES, 22050), 1, 11025, 8, true, 2000},
        {"SMPTE without frames", smpte, 2, 44100, 16, true, 3723000},
        {"MIDI cannot be told", make(TIME_MIDI, 5), 2, 44100, 16, false, 0},
        {"ticks cannot be told", make(TIME_TICKS, 5), 2, 44100, 16, false, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DWORD ms = 99;
        EXPECT_EQ(CAudioPlayer::PositionToMs(c.time, c.channels, c.rate, c.bits, ms), c.ok);
        EXPECT_EQ(ms, c.ms);
    }
}

TEST(AudioPlayer, StopMidStreamReleasesEverythingAndRefusesFrames)
{
    if (!HaveCaptureDevice())
        GTEST_SKIP() << "needs the recording test device";
    CAudioPlayer player;
    player.SetStartVolume(0xFFFF);
    player.SetMaxQueuedBuffers(3);
    ASSERT_TRUE(player.Open(0, 2, 44100, 16, nullptr));
    CPlaybackThread worker;
    worker.pPlayer = &player;
    worker.samplesPerFrame = 4410;
    worker.Start(nullptr); // an endless stream
    while (worker.framesWritten.load() < 20)
        ::Sleep(1);
    player.Stop();
    worker.WaitForThread(); // the worker ends because its next frame is refused
    EXPECT_TRUE(worker.refused.load());

    CAudioFrame frame;
    Fill16(frame, 2, 44100, 0, 100);
    EXPECT_FALSE(player.WriteFrame(&frame));
    CString text;
    EXPECT_EQ(player.GetError(text), 0);
    EXPECT_TRUE(text.IsEmpty());
    EXPECT_TRUE(player.IsOpen()); // stopped, not closed
    ASSERT_TRUE(player.Close());  // returns: every buffer came back from the device

    // What was played is a prefix of the stream, in order.
    const std::vector<BYTE> played = WithoutSilence(ReadCapture(), 4);
    ASSERT_GT(played.size(), 0u);
    for (size_t i = 0; i < played.size() / 2; ++i) {
        const short got = static_cast<short>(played[2 * i] | (played[2 * i + 1] << 8));
        ASSERT_EQ(got, RampSample(static_cast<int>(i))) << "sample " << i;
    }
}
