// MP3 encoding through lame_enc.dll and decoding through mpglib.dll, end to end.
#include "audio/audio_frame.h"
#include "audio/formats/mp3/id3_reader.h"
#include "audio/formats/mp3/mp3_reader.h"
#include "audio/formats/mp3/mp3_writer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

constexpr double kPi = 3.14159265358979323846;

std::string TempPath(const std::string& name)
{
    return testing::TempDir() + "mp3_" + name;
}

// Seconds of a sine at `hz` (and 1.5 x hz on the right channel) at amplitude 10000.
void FillSine(CAudioFrame& frame, int channels, int rate, double seconds, double hz)
{
    frame.SetChannels(channels);
    frame.SetSampleRate(static_cast<uint32_t>(rate));
    frame.SetBitsPerSample(16);
    frame.SetSigned(1);
    frame.SetByteOrder(0);
    int n = static_cast<int>(rate * seconds);
    std::vector<int16_t> samples;
    for (int i = 0; i < n; ++i)
        for (int c = 0; c < channels; ++c)
            samples.push_back(static_cast<int16_t>(
                10000 * std::sin(2 * kPi * hz * (c ? 1.5 : 1.0) * i / rate)));
    frame.Append(samples.data(), static_cast<uint32_t>(samples.size() * 2));
}

struct Decoded {
    int channels = 0;
    int rate = 0;
    std::vector<int16_t> samples; // interleaved
    int lastProgress = -1;
};

Decoded Decode(const std::string& path)
{
    Decoded d;
    CAudioMP3Reader reader;
    EXPECT_EQ(reader.GetProgressPercent(), -1);
    if (!reader.Open(path.c_str())) {
        CString text;
        ADD_FAILURE() << "open: " << reader.GetError(text) << " " << text.GetString();
        return d;
    }
    reader.Prepare();
    d.channels = reader.GetChannels();
    d.rate = static_cast<int>(reader.GetSampleRate());
    int steps = 0;
    while (reader.HasMoreData() && steps++ < 10000) {
        CAudioFrame frame;
        reader.ReadFrame(&frame);
        uint32_t used = 0;
        const int16_t* p = reinterpret_cast<const int16_t*>(frame.GetData(used));
        if (p)
            d.samples.insert(d.samples.end(), p, p + used / 2);
    }
    d.lastProgress = reader.GetProgressPercent();
    reader.Close();
    return d;
}

// Frequency by zero crossings and RMS level of one channel over the middle of the signal.
void Measure(const Decoded& d, int channel, double& hz, double& rms)
{
    size_t frames = d.samples.size() / d.channels;
    size_t from = frames / 4, to = frames * 3 / 4;
    int crossings = 0;
    double sum = 0;
    for (size_t i = from; i < to; ++i) {
        int16_t a = d.samples[i * d.channels + channel];
        int16_t b = d.samples[(i + 1) * d.channels + channel];
        if ((a < 0) != (b < 0))
            ++crossings;
        sum += double(a) * a;
    }
    hz = crossings / 2.0 / (double(to - from) / d.rate);
    rms = std::sqrt(sum / double(to - from));
}

std::vector<BYTE> ReadAll(const std::string& path)
{
    std::vector<BYTE> bytes;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f)
        return bytes;
    int c;
    while ((c = std::fgetc(f)) != EOF)
        bytes.push_back(static_cast<BYTE>(c));
    std::fclose(f);
    return bytes;
}

bool Contains(const std::vector<BYTE>& bytes, const std::string& text, size_t limit)
{
    std::string s(bytes.begin(), bytes.begin() + std::min(limit, bytes.size()));
    return s.find(text) != std::string::npos;
}

} // namespace

TEST(Mp3Codec, EncodesAndDecodesEveryBitrateModeAndChannelMode)
{
    struct Case {
        const char* name;
        int mode;
        DWORD flags;
        int kbps;
        int channels;
        bool infoFrame;
    } cases[] = {
        {"cbr stereo 128", 2, CAudioMP3Writer::FLAG_CBR, 128, 2, false},
        {"vbr joint stereo", 3, CAudioMP3Writer::FLAG_VBR | CAudioMP3Writer::FLAG_ABR, 128, 2,
         true},
        {"abr mono 96", 1, CAudioMP3Writer::FLAG_ABR | CAudioMP3Writer::FLAG_CRC, 96, 1, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = TempPath("codec.mp3");
        CAudioMP3Writer writer;
        ASSERT_TRUE(writer.Open(path.c_str(), c.mode, 44100, c.kbps, 4, c.flags, nullptr));
        ASSERT_TRUE(writer.BeginStream());
        // Two seconds of stereo in uneven frames; the writer converts to its mode.
        for (double seconds : {0.7, 0.05, 1.25}) {
            CAudioFrame frame;
            FillSine(frame, 2, 44100, seconds, 1000.0);
            ASSERT_TRUE(writer.WriteFrame(&frame));
        }
        EXPECT_GT(writer.GetBytesWritten(), 0);
        ASSERT_TRUE(writer.Close());

        std::vector<BYTE> file = ReadAll(path);
        EXPECT_EQ(Contains(file, "Xing", 2000) || Contains(file, "Info", 2000), c.infoFrame);

        Decoded d = Decode(path);
        ASSERT_EQ(d.channels, c.channels);
        EXPECT_EQ(d.rate, 44100);
        EXPECT_EQ(d.lastProgress, 100);
        size_t frames = d.samples.size() / d.channels;
        // The encoder's delay and final padding add at most a few frames of 1152 samples.
        EXPECT_GE(frames, 88200u);
        EXPECT_LE(frames, 88200u + 3 * 1152);
        double hz, rms;
        Measure(d, 0, hz, rms);
        if (c.channels == 1) {
            // The down-mix of the 1000 Hz and 1500 Hz tones: two halves of 10000.
            EXPECT_NEAR(rms, 5000.0, 400);
        } else {
            EXPECT_NEAR(hz, 1000.0, 20.0);
            EXPECT_NEAR(rms, 10000 / std::sqrt(2.0), 500);
            Measure(d, 1, hz, rms);
            EXPECT_NEAR(hz, 1500.0, 30.0);
        }
        std::remove(path.c_str());
    }
}

TEST(Mp3Codec, FillsTheEncoderConfiguration)
{
    struct Case {
        DWORD flags;
        int method;
        DWORD bitrate;
        DWORD abrBps;
        LONG preset;
        BOOL vbrHeader;
    } cases[] = {
        {0x06, 2, 32, 0, -1, TRUE},
        {0x02, 4, 32, 192000, -1, TRUE},
        {0x01, -1, 192, 0, 0, FALSE},
        {0x00, -1, 192, 0, 0, FALSE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.flags);
        std::string path = TempPath("config.mp3");
        CAudioMP3Writer writer;
        ASSERT_TRUE(writer.Open(path.c_str(), 2, 44100, 192, 3, c.flags, nullptr));
        const BE_CONFIG_LHV1& cfg = writer.GetConfig().lhv1;
        EXPECT_EQ(writer.GetConfig().dwConfig, 256u);
        EXPECT_EQ(cfg.dwStructSize, 331u);
        EXPECT_EQ(cfg.nVbrMethod, c.method);
        EXPECT_EQ(cfg.dwBitrate, c.bitrate);
        EXPECT_EQ(cfg.dwVbrAbr_bps, c.abrBps);
        EXPECT_EQ(cfg.nPreset, c.preset);
        EXPECT_EQ(cfg.bWriteVBRHeader, c.vbrHeader);
        EXPECT_EQ(cfg.nQuality, 0xFD02);
        writer.Close();
        std::remove(path.c_str());
    }
}

TEST(Mp3Codec, LowRatesAreRaisedAndTagsFrameTheAudio)
{
    std::string path = TempPath("tagged.mp3");
    CAudioTrackInfo track;
    track.SetTrackTitle("Tagged \xE9");
    track.SetArtist("Someone");
    track.SetTrackPosition("3/9");
    CAudioMP3Writer writer;
    ASSERT_TRUE(writer.Open(path.c_str(), 1, 11025, 64, 4, 0x30, &track));
    ASSERT_TRUE(writer.BeginStream());
    CAudioFrame frame;
    FillSine(frame, 1, 11025, 1.0, 440.0);
    ASSERT_TRUE(writer.WriteFrame(&frame));
    EXPECT_EQ(frame.GetSampleRate(), 22050u) << "resampled to the lowest encoder rate";
    ASSERT_TRUE(writer.Close());

    std::vector<BYTE> file = ReadAll(path);
    ASSERT_GT(file.size(), 1200u);
    EXPECT_EQ(std::string(file.begin(), file.begin() + 3), "ID3");
    EXPECT_EQ(std::string(file.end() - 128, file.end() - 125), "TAG");

    CAudioMP3InfoTagReader tags;
    ASSERT_TRUE(tags.Open(path.c_str()));
    EXPECT_TRUE(tags.IsThisFormat());
    CAudioTrackInfo back;
    ASSERT_TRUE(tags.ReadTags(back));
    EXPECT_STREQ(back.GetTrackTitle(), "Tagged \xE9");
    EXPECT_STREQ(back.GetTrackPosition(), "3/9");

    Decoded d = Decode(path);
    EXPECT_EQ(d.rate, 22050);
    EXPECT_EQ(d.channels, 1);
    double hz, rms;
    Measure(d, 0, hz, rms);
    EXPECT_NEAR(hz, 440.0, 10.0);
    std::remove(path.c_str());
}

TEST(Mp3Codec, ErrorsHaveTheirCodesAndTexts)
{
    CString text;
    CAudioMP3Writer badMode;
    std::string path = TempPath("bad.mp3");
    EXPECT_FALSE(badMode.Open(path.c_str(), 4, 44100, 128, 4, 0, nullptr));
    EXPECT_EQ(badMode.GetError(text), 7);
    EXPECT_STREQ(text, "Channels mode not supported");

    CAudioMP3Writer noFolder;
    EXPECT_FALSE(noFolder.Open((TempPath("no/such/dir") + "/x.mp3").c_str(), 2, 44100, 128, 4, 0,
                               nullptr));
    EXPECT_EQ(noFolder.GetError(text), 5);
    EXPECT_STREQ(text, "Can't open output file");
    EXPECT_FALSE(noFolder.WriteFrame(nullptr));
    EXPECT_EQ(noFolder.GetError(text), 1);

    struct ReaderCase {
        const char* name;
        std::vector<BYTE> content;
        int code;
        const char* text;
    } cases[] = {
        {"no frame header", std::vector<BYTE>(5000, 0x11), 4, "Can't find MP3 header"},
        {"reserved version", {0xFF, 0xEB, 0x90, 0x44, 0, 0, 0, 0}, 4, "Incorrect MP3 header (V==1)"},
        {"empty", {}, 4, "Can't find MP3 header"},
        // Syncs with the reserved bitrate or rate: no rate may come from them.
        {"all 0xFF", std::vector<BYTE>(5000, 0xFF), 4, "Can't find MP3 header"},
        {"reserved rate", {0xFF, 0xFB, 0x9C, 0x44, 0, 0, 0, 0}, 4, "Can't find MP3 header"},
        {"only a tag", {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 4, 0, 0, 0, 0}, 4,
         "Can't find MP3 header"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FILE* f = std::fopen(path.c_str(), "wb");
        if (!c.content.empty())
            std::fwrite(c.content.data(), 1, c.content.size(), f);
        std::fclose(f);
        CAudioMP3Reader reader;
        EXPECT_FALSE(reader.Open(path.c_str()));
        EXPECT_EQ(reader.GetError(text), c.code);
        EXPECT_STREQ(text, c.text);
    }
    CAudioMP3Reader missing;
    EXPECT_FALSE(missing.Open(TempPath("missing.mp3").c_str()));
    EXPECT_EQ(missing.GetError(text), 3);
    EXPECT_STREQ(text, "MP3 file not found or not accessible");
    CAudioFrame frame;
    EXPECT_FALSE(missing.ReadFrame(&frame));
    EXPECT_EQ(missing.GetError(text), 1);
    EXPECT_STREQ(text, "MP3 reader not initialized");
    std::remove(path.c_str());
}

// Runs in a copy of this program in a folder without the codec libraries.
TEST(Mp3Codec, MissingLibrariesGiveErrorOne)
{
    if (std::getenv("SONORIA_NO_CODECS")) {
        CString text;
        // An existing file, so the missing library is the only thing that can fail.
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        CAudioMP3Reader reader;
        EXPECT_FALSE(reader.Open(self));
        EXPECT_EQ(reader.GetError(text), 1);
        EXPECT_STREQ(text, "Missing or incorrect mpglib.dll");
        CAudioMP3Writer writer;
        EXPECT_FALSE(writer.Open(TempPath("nolib.mp3").c_str(), 2, 44100, 128, 4, 0, nullptr));
        EXPECT_EQ(writer.GetError(text), 1);
        EXPECT_STREQ(text, "Cannot load lame_enc.dll");
        return;
    }
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string folder = TempPath("nolibs");
    CreateDirectoryA(folder.c_str(), nullptr);
    std::string copy = folder + "\\test_mp3_nolibs.exe";
    ASSERT_TRUE(CopyFileA(self, copy.c_str(), FALSE));
    SetEnvironmentVariableA("SONORIA_NO_CODECS", "1");
    std::string command = "\"" + copy + "\" --gtest_filter=Mp3Codec.MissingLibrariesGiveErrorOne";
    STARTUPINFOA si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    ASSERT_TRUE(CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               folder.c_str(), &si, &pi));
    SetEnvironmentVariableA("SONORIA_NO_CODECS", nullptr);
    ASSERT_EQ(WaitForSingleObject(pi.hProcess, 60000), WAIT_OBJECT_0);
    DWORD exitCode = 1;
    GetExitCodeProcess(pi.hProcess, &exitCode);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    EXPECT_EQ(exitCode, 0u) << "the copy without libraries failed its checks";
    DeleteFileA(copy.c_str());
    RemoveDirectoryA(folder.c_str());
}
