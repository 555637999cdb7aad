// CAudioFileInspector over generated files of each format, under honest and misleading names.
#include "audio/formats/detection/format_detection.h"
#include "audio/formats/flac/flac_writer.h"
#include "audio/formats/vorbis/vorbis_writer.h"
#include "audio/formats/wav/wav_writer.h"
#include "audio/formats/wma/wma_writer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string TempPath(const std::string& name)
{
    char dir[MAX_PATH];
    GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + "sonoria_inspect_" + name;
}

void WriteBytes(const std::string& path, const std::vector<BYTE>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    std::fwrite(bytes.data(), 1, bytes.size(), f);
    std::fclose(f);
}

std::vector<BYTE> ReadBytes(const std::string& path)
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

CAudioFrame* StereoFrame(std::vector<int16_t>& pcm, CAudioFrame& frame)
{
    frame.SetChannels(2), frame.SetSampleRate(44100), frame.SetBitsPerSample(16);
    frame.SetSigned(1), frame.SetByteOrder(0);
    frame.Append(pcm.data(), static_cast<uint32_t>(pcm.size() * 2));
    return &frame;
}

// A WAV file with INFO tags whose audio holds an MPEG frame header.
void MakeWav(const std::string& path)
{
    CAudioTrackInfo track;
    track.m_strTrackTitle = "Wav title";
    CAudioWavWriter writer;
    ASSERT_TRUE(writer.Open(path.c_str(), 2, 44100, 16, &track));
    ASSERT_TRUE(writer.BeginStream());
    std::vector<int16_t> pcm(2000, 0);
    pcm[100] = static_cast<int16_t>(0xFBFF); // bytes FF FB: an MPEG-1 layer III sync
    pcm[101] = static_cast<int16_t>(0x6490);
    CAudioFrame frame;
    ASSERT_TRUE(writer.WriteFrame(StereoFrame(pcm, frame)));
    ASSERT_TRUE(writer.Close());
}

void MakeWma(const std::string& path)
{
    CAudioTrackInfo track;
    track.m_strTrackTitle = "Wma title";
    CAudioWMAWriter writer;
    ASSERT_TRUE(writer.Open(path.c_str(), 44100, 7, &track));
    ASSERT_TRUE(writer.BeginStream());
    std::vector<int16_t> pcm(20000, 0);
    CAudioFrame frame;
    ASSERT_TRUE(writer.WriteFrame(StereoFrame(pcm, frame)));
    ASSERT_TRUE(writer.Close());
}

// A short tone, so that the lossy encoders have something to encode.
std::vector<int16_t> Tone(size_t frames)
{
    std::vector<int16_t> pcm;
    for (size_t i = 0; i < frames; ++i) {
        int16_t v = static_cast<int16_t>((i % 100) * 200 - 10000);
        pcm.push_back(v);
        pcm.push_back(v);
    }
    return pcm;
}

void MakeFlac(const std::string& path)
{
    CAudioTrackInfo track;
    track.m_strTrackTitle = "Flac title";
    CAudioFlacWriter writer;
    ASSERT_TRUE(writer.Open(path.c_str(), 2, 44100, 5, &track));
    ASSERT_TRUE(writer.BeginStream());
    std::vector<int16_t> pcm = Tone(10000);
    CAudioFrame frame;
    ASSERT_TRUE(writer.WriteFrame(StereoFrame(pcm, frame)));
    ASSERT_TRUE(writer.Close());
}

void MakeOgg(const std::string& path)
{
    CAudioTrackInfo track;
    track.m_strTrackTitle = "Ogg title";
    CAudioVorbisWriter writer;
    ASSERT_TRUE(writer.Open(path.c_str(), 2, 44100, 0.4, &track));
    ASSERT_TRUE(writer.BeginStream());
    std::vector<int16_t> pcm = Tone(10000);
    CAudioFrame frame;
    ASSERT_TRUE(writer.WriteFrame(StereoFrame(pcm, frame)));
    ASSERT_TRUE(writer.Close());
}

// An ID3v2.3 tag (title "Tag") in front of a file made by `make`.
void PrefixId3(const std::string& path, void (*make)(const std::string&))
{
    make(path);
    std::vector<BYTE> rest = ReadBytes(path);
    std::vector<BYTE> bytes = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 14,
                               'T', 'I', 'T', '2', 0, 0, 0, 4, 0, 0, 0, 'T', 'a', 'g'};
    bytes.insert(bytes.end(), rest.begin(), rest.end());
    WriteBytes(path, bytes);
}

void MakeTaggedFlac(const std::string& path)
{
    PrefixId3(path, &MakeFlac);
}

void MakeTaggedOgg(const std::string& path)
{
    PrefixId3(path, &MakeOgg);
}

// An ID3v2.3 tag with a title, then MPEG-1 layer III frames (128 kbps, 44.1 kHz: 417 bytes).
void MakeMp3(const std::string& path)
{
    const std::string title = "Mp3 title";
    std::vector<BYTE> frame = {'T', 'I', 'T', '2', 0, 0, 0, static_cast<BYTE>(title.size() + 1),
                               0, 0, 0};
    frame.insert(frame.end(), title.begin(), title.end());
    std::vector<BYTE> bytes = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, static_cast<BYTE>(frame.size())};
    bytes.insert(bytes.end(), frame.begin(), frame.end());
    for (int i = 0; i < 4; ++i) {
        const BYTE header[4] = {0xFF, 0xFB, 0x90, 0x64};
        bytes.insert(bytes.end(), header, header + 4);
        bytes.resize(bytes.size() + 413, 0);
    }
    WriteBytes(path, bytes);
}

} // namespace

TEST(FileInspector, DetectsByContentAndImportsTags)
{
    const struct {
        const char* name; // the extension lies in the second half
        void (*make)(const std::string&);
        int format;
        const char* title;
    } cases[] = {
        {"a.wav", &MakeWav, 0, "Wav title"},   {"b.wma", &MakeWma, 3, "Wma title"},
        {"c.mp3", &MakeMp3, 1, "Mp3 title"},   {"d.mp3", &MakeWav, 0, "Wav title"},
        {"e.flac", &MakeWma, 3, "Wma title"},  {"f.wav", &MakeMp3, 1, "Mp3 title"},
        {"g.flac", &MakeFlac, 4, "Flac title"}, {"h.ogg", &MakeOgg, 2, "Ogg title"},
        {"i.mp3", &MakeFlac, 4, "Flac title"},  {"j.wma", &MakeOgg, 2, "Ogg title"},
        // An ID3v2 tag in front does not make them MP3 files.
        {"k.flac", &MakeTaggedFlac, 4, "Flac title"}, {"l.ogg", &MakeTaggedOgg, 2, "Ogg title"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = TempPath(c.name);
        c.make(path);
        EXPECT_EQ(CAudioFileInspector::DetectFormat(path.c_str()), c.format);
        CAudioTrackInfo track;
        EXPECT_EQ(CAudioFileInspector::ImportTags(path.c_str(), track), 1);
        EXPECT_EQ(track.GetFileType(), c.format);
        EXPECT_EQ(track.m_strTrackTitle, c.title);
        DeleteFileA(path.c_str());
    }
}

TEST(FileInspector, UnknownMissingAndTruncatedFiles)
{
    const std::string wma = TempPath("whole.wma");
    MakeWma(wma);
    const std::vector<BYTE> whole = ReadBytes(wma);
    ASSERT_GT(whole.size(), 1000u);
    DeleteFileA(wma.c_str());

    const struct {
        const char* name;
        std::vector<BYTE> bytes;
        int format;
    } cases[] = {
        {"text.wma", std::vector<BYTE>(300, 'x'), -1},
        {"empty.mp3", {}, -1},
        {"head8.wma", std::vector<BYTE>(whole.begin(), whole.begin() + 8), -1},
        // The identifier is there but the header is cut: WMA, with the tags left alone.
        {"head200.wma", std::vector<BYTE>(whole.begin(), whole.begin() + 200), 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = TempPath(c.name);
        WriteBytes(path, c.bytes);
        EXPECT_EQ(CAudioFileInspector::DetectFormat(path.c_str()), c.format);
        CAudioTrackInfo track;
        track.m_strTrackTitle = "untouched";
        EXPECT_EQ(CAudioFileInspector::ImportTags(path.c_str(), track), c.format >= 0 ? 1 : 0);
        EXPECT_EQ(track.GetFileType(), c.format);
        EXPECT_EQ(track.m_strTrackTitle, "untouched");
        DeleteFileA(path.c_str());
    }

    CAudioTrackInfo track;
    track.SetFileType(2);
    const std::string missing = TempPath("missing.wav");
    EXPECT_EQ(CAudioFileInspector::DetectFormat(missing.c_str()), -1);
    EXPECT_EQ(CAudioFileInspector::ImportTags(missing.c_str(), track), 0);
    EXPECT_EQ(track.GetFileType(), -1);
}
