// WMA round trips through our wmvcore.dll: every writer mode, tags as attributes, protected
// files, and the reader's and tag reader's error paths.
#include "audio/formats/wma/wma_reader.h"
#include "audio/formats/wma/wma_tag_reader.h"
#include "audio/formats/wma/wma_writer.h"
#include "audio/formats/wav/wav_writer.h"
#include "runtime/wmvcore/wmvcore_ids.h"

#include "tests/audio_wma/wma_fixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <fstream>
#include <iterator>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace wma_fixture;

namespace {

bool WriteWma(const std::string& path, int mode, const std::vector<int16_t>& pcm, int rate,
              const CAudioTrackInfo* track, CString* error = nullptr)
{
    CAudioWMAWriter writer;
    CString text;
    if (!writer.Open(path.c_str(), rate, mode, track) || !writer.BeginStream()) {
        if (error)
            writer.GetError(*error);
        return false;
    }
    // Frames of 4410 samples, as a job would hand them over.
    const size_t step = 4410 * 2;
    for (size_t at = 0; at < pcm.size(); at += step) {
        const size_t n = std::min(step, pcm.size() - at);
        CAudioFrame frame;
        frame.SetChannels(2), frame.SetSampleRate(rate), frame.SetBitsPerSample(16);
        frame.SetSigned(1), frame.SetByteOrder(0);
        frame.Append(pcm.data() + at, static_cast<uint32_t>(n * 2));
        if (!writer.WriteFrame(&frame))
            return false;
    }
    return writer.Close();
}

struct Decoded {
    std::vector<int16_t> pcm;
    int channels = 0;
    uint32_t rate = 0;
    int lastProgress = -1;
};

bool ReadWma(const std::string& path, Decoded& out)
{
    CAudioWMAReader reader;
    if (!reader.Open(path.c_str()) || !reader.Prepare())
        return false;
    out.rate = reader.GetSampleRate();
    while (reader.HasMoreData()) {
        CAudioFrame frame;
        if (!reader.ReadFrame(&frame))
            return false;
        uint32_t used = 0;
        const uint8_t* data = frame.GetData(used);
        if (used > 0) {
            out.channels = frame.GetChannels();
            const auto* s = reinterpret_cast<const int16_t*>(data);
            out.pcm.insert(out.pcm.end(), s, s + used / 2);
        }
        out.lastProgress = reader.GetProgressPercent();
    }
    // Past the end: nothing more, still a successful step.
    CAudioFrame after;
    EXPECT_TRUE(reader.ReadFrame(&after));
    EXPECT_TRUE(after.IsEmpty());
    EXPECT_FALSE(reader.HasMoreData());
    return reader.Close();
}

} // namespace

TEST(WmaRoundTrip, EveryModeKeepsLengthToneAndLevel)
{
    const int rate = 44100, frames = 57331; // not a multiple of any codec frame
    const std::vector<int16_t> pcm = MakeTones(frames, rate);
    for (int mode = 1; mode <= 7; ++mode) {
        SCOPED_TRACE("mode " + std::to_string(mode));
        const std::string path = TempPath(("mode" + std::to_string(mode) + ".wma").c_str());
        CString error;
        ASSERT_TRUE(WriteWma(path, mode, pcm, rate, nullptr, &error)) << error.GetString();
        Decoded d;
        ASSERT_TRUE(ReadWma(path, d));
        EXPECT_EQ(d.rate, static_cast<uint32_t>(rate));
        EXPECT_EQ(d.lastProgress, 100);
        if (mode == 1) {
            ASSERT_EQ(d.channels, 1);
            ASSERT_EQ(d.pcm.size(), static_cast<size_t>(frames));
            // The down-mix holds both tones at half their levels.
            const Tone a = Measure(d.pcm, 1, 0, 440, rate), b = Measure(d.pcm, 1, 0, 880, rate);
            EXPECT_GT(a.share + b.share, 0.9);
            EXPECT_NEAR(a.rms, std::sqrt(0.25 * 0.25 / 2 + 0.15 * 0.15 / 2), 0.05);
        } else {
            ASSERT_EQ(d.channels, 2);
            ASSERT_EQ(d.pcm.size(), static_cast<size_t>(frames) * 2);
            const Tone left = Measure(d.pcm, 2, 0, 440, rate);
            const Tone right = Measure(d.pcm, 2, 1, 880, rate);
            EXPECT_GT(left.share, 0.9);
            EXPECT_GT(right.share, 0.9);
            EXPECT_NEAR(left.rms, 0.5 / std::sqrt(2.0), 0.05);
            EXPECT_NEAR(right.rms, 0.3 / std::sqrt(2.0), 0.04);
            // Aligned with the input: the sample-wise difference is small against the signal.
            double diff = 0, sig = 0;
            for (size_t i = d.pcm.size() / 8; i < d.pcm.size() * 7 / 8; ++i) {
                diff += std::pow(double(d.pcm[i]) - pcm[i], 2);
                sig += double(pcm[i]) * pcm[i];
            }
            EXPECT_LT(diff / sig, 0.1);
        }
        DeleteFileA(path.c_str());
    }
}

TEST(WmaRoundTrip, WriterResamplesFramesToItsRate)
{
    // Opened at 22050 Hz, fed 11025 Hz: the file holds twice as many samples.
    const std::string path = TempPath("resample.wma");
    CAudioWMAWriter writer;
    ASSERT_TRUE(writer.Open(path.c_str(), 22050, 7, nullptr));
    ASSERT_TRUE(writer.BeginStream());
    std::vector<int16_t> pcm = MakeTones(11025, 11025);
    CAudioFrame frame;
    frame.SetChannels(2), frame.SetSampleRate(11025), frame.SetBitsPerSample(16);
    frame.SetSigned(1), frame.SetByteOrder(0);
    frame.Append(pcm.data(), static_cast<uint32_t>(pcm.size() * 2));
    ASSERT_TRUE(writer.WriteFrame(&frame));
    // The pause after the end of writing is counted with the thread's pauses.
    const double slept = GetThreadSleepSeconds();
    ASSERT_TRUE(writer.Close());
    EXPECT_GE(GetThreadSleepSeconds() - slept, 0.25);
    Decoded d;
    ASSERT_TRUE(ReadWma(path, d));
    EXPECT_EQ(d.rate, 22050u);
    EXPECT_NEAR(static_cast<double>(d.pcm.size() / 2), 22050.0, 2.0);
    EXPECT_GT(Measure(d.pcm, 2, 0, 440, 22050).share, 0.9);
    DeleteFileA(path.c_str());
}

namespace {

// Reads one attribute through the runtime's editor: its type and value bytes; false when absent.
bool ReadAttribute(const std::string& path, const wchar_t* name, WMT_ATTR_DATATYPE& type,
                   std::vector<BYTE>& value)
{
    CAudioWMABase base;
    IWMMetadataEditor* editor = base.CreateEditor();
    if (!editor)
        return false;
    IWMHeaderInfo* info = nullptr;
    bool ok = SUCCEEDED(editor->Open(WmaToWide(path.c_str()).c_str())) &&
              SUCCEEDED(editor->QueryInterface(IID_IWMHeaderInfo, reinterpret_cast<void**>(&info)));
    WORD stream = 0, length = 0;
    ok = ok && SUCCEEDED(info->GetAttributeByName(&stream, name, &type, nullptr, &length));
    if (ok) {
        value.resize(length);
        ok = SUCCEEDED(info->GetAttributeByName(&stream, name, &type, value.data(), &length));
    }
    if (info)
        info->Release();
    editor->Release();
    return ok;
}

} // namespace

TEST(WmaTags, WriterAttributesComeBackThroughTheTagReader)
{
    CAudioTrackInfo track;
    track.m_strArtist = "Artist \xC4";
    track.m_strAlbumTitle = "Album";
    track.m_strContentType = "Jazz";
    track.m_strYear = "1999";
    track.m_strComment = "A comment";
    track.m_strComposer = "Composer";
    track.m_strConductor = "Conductor";
    track.m_strCopyright = "(c) 1999";
    track.m_strEncodedBy = "Encoder";
    track.m_strISRC = "USABC9900001";
    track.m_strUnsyncLyric = "la la";
    track.m_strSyncLyric = "[00:01]la";
    track.m_strMood = "Calm";
    track.m_strOriginalAlbumTitle = "Orig album";
    track.m_strOriginalArtist = "Orig artist";
    track.m_strOriginalLyricist = "Orig lyricist";
    track.m_strPublisher = "Publisher";
    track.m_strLyricist = "Lyricist";
    track.m_strPartOfASet = "1/2";
    track.m_strTrackPosition = "3/12";
    track.m_strBand = "Band"; // not written to WMA
    const std::string path = TempPath("tags.wma");
    ASSERT_TRUE(WriteWma(path, 7, MakeTones(4410, 44100), 44100, &track));

    CAudioWMAInfoTagReader reader;
    ASSERT_TRUE(reader.Open(path.c_str()));
    EXPECT_TRUE(reader.IsThisFormat());
    CAudioTrackInfo back;
    back.m_strTrackTitle = "stale";
    back.m_strBand = "kept";
    ASSERT_TRUE(reader.ReadTags(back));
    EXPECT_EQ(back.m_strTrackTitle, ""); // no "Title" written, and the field is set empty
    EXPECT_EQ(back.m_strBand, "kept");
    EXPECT_EQ(back.m_strTrackPosition, "3");
    EXPECT_FALSE(back.IsProtected());
    const struct {
        const char* what;
        CString CAudioTrackInfo::*field;
    } fields[] = {
        {"artist", &CAudioTrackInfo::m_strArtist},
        {"album", &CAudioTrackInfo::m_strAlbumTitle},
        {"genre", &CAudioTrackInfo::m_strContentType},
        {"year", &CAudioTrackInfo::m_strYear},
        {"comment", &CAudioTrackInfo::m_strComment},
        {"composer", &CAudioTrackInfo::m_strComposer},
        {"conductor", &CAudioTrackInfo::m_strConductor},
        {"copyright", &CAudioTrackInfo::m_strCopyright},
        {"encoded by", &CAudioTrackInfo::m_strEncodedBy},
        {"isrc", &CAudioTrackInfo::m_strISRC},
        {"lyrics", &CAudioTrackInfo::m_strUnsyncLyric},
        {"sync lyrics", &CAudioTrackInfo::m_strSyncLyric},
        {"mood", &CAudioTrackInfo::m_strMood},
        {"original album", &CAudioTrackInfo::m_strOriginalAlbumTitle},
        {"original artist", &CAudioTrackInfo::m_strOriginalArtist},
        {"original lyricist", &CAudioTrackInfo::m_strOriginalLyricist},
        {"publisher", &CAudioTrackInfo::m_strPublisher},
        {"lyricist", &CAudioTrackInfo::m_strLyricist},
        {"part of set", &CAudioTrackInfo::m_strPartOfASet},
    };
    for (const auto& f : fields) {
        SCOPED_TRACE(f.what);
        EXPECT_EQ(back.*f.field, track.*f.field);
    }
    reader.Close();

    // The track number from 1 and from 0 as DWORDs; duration as text; no empty title.
    WMT_ATTR_DATATYPE type;
    std::vector<BYTE> value;
    for (auto [name, number] : {std::pair{L"WM/TrackNumber", 3u}, std::pair{L"WM/Track", 2u}}) {
        SCOPED_TRACE(number);
        ASSERT_TRUE(ReadAttribute(path, name, type, value));
        EXPECT_EQ(type, WMT_TYPE_DWORD);
        ASSERT_EQ(value.size(), 4u);
        EXPECT_EQ(*reinterpret_cast<DWORD*>(value.data()), number);
    }
    ASSERT_TRUE(ReadAttribute(path, L"Duration", type, value));
    EXPECT_EQ(std::wstring(reinterpret_cast<wchar_t*>(value.data())), L"0");
    EXPECT_FALSE(ReadAttribute(path, L"Title", type, value));

    // A file of an earlier version has only the zero-based "WM/Track": the same file with the
    // other attribute renamed in place.
    std::vector<char> bytes;
    {
        std::ifstream in(path, std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(in), {});
    }
    const char16_t name[] = u"WM/TrackNumber";
    const char* raw = reinterpret_cast<const char*>(name);
    auto at = std::search(bytes.begin(), bytes.end(), raw, raw + sizeof name - 2);
    ASSERT_NE(at, bytes.end());
    at[sizeof name - 4] = 'X';
    std::ofstream(path, std::ios::binary | std::ios::trunc).write(bytes.data(), bytes.size());
    ASSERT_FALSE(ReadAttribute(path, L"WM/TrackNumber", type, value));
    CAudioWMAInfoTagReader older;
    ASSERT_TRUE(older.Open(path.c_str()));
    CAudioTrackInfo olderBack;
    ASSERT_TRUE(older.ReadTags(olderBack));
    EXPECT_EQ(olderBack.m_strTrackPosition, "3");
    older.Close();
    DeleteFileA(path.c_str());
}


TEST(WmaTags, ProtectedFlagDirectorOverlongLyricsAndPicture)
{
    const std::string path = TempPath("protected.wma");
    const std::wstring longLyrics(2048, L'x'); // 4098 bytes with the terminator: too long
    BYTE image[300];
    for (int i = 0; i < 300; ++i)
        image[i] = static_cast<BYTE>(i * 7);
    WmPicture picture{};
    picture.pwszMIMEType = const_cast<LPWSTR>(L"image/png");
    picture.bPictureType = 3;
    picture.pwszDescription = const_cast<LPWSTR>(L"Front");
    picture.dwDataLen = sizeof image;
    picture.pbData = image;
    WriteWithAttributes(path,
                        {{L"Title", L"Locked"}, {L"WM/Director", L"Director"},
                         {L"WM/Lyrics", longLyrics}, {L"WM/Lyrics_Synchronised", std::wstring(2047, L'y')}},
                        TRUE, &picture);
    CAudioWMAInfoTagReader reader;
    ASSERT_TRUE(reader.Open(path.c_str()));
    CAudioTrackInfo track;
    track.m_strUnsyncLyric = "old";
    ASSERT_TRUE(reader.ReadTags(track));
    EXPECT_TRUE(track.IsProtected());
    EXPECT_EQ(track.m_strTrackTitle, "Locked");
    EXPECT_EQ(track.m_strConductor, "Director");
    EXPECT_EQ(track.m_strUnsyncLyric, "");
    EXPECT_EQ(track.m_strSyncLyric.GetLength(), 2047);
    const CAudioTrackPictureInfo* got = track.GetPicture(0);
    ASSERT_NE(got, nullptr);
    EXPECT_EQ(got->m_nPictureType, 3);
    EXPECT_EQ(got->m_strMimeType, "image/png");
    EXPECT_EQ(got->m_strDescription, "Front");
    ASSERT_EQ(got->m_nDataLength, 300);
    EXPECT_EQ(std::memcmp(got->m_pData.get(), image, sizeof image), 0);
    EXPECT_EQ(track.GetPicture(1), nullptr);
    reader.Close();
    DeleteFileA(path.c_str());
}

TEST(WmaTags, DamagedPictureLengthIsDroppedWithoutACrash)
{
    const std::string path = TempPath("damaged_picture.wma");
    BYTE image[64] = {1, 2, 3};
    WmPicture picture{};
    picture.pwszMIMEType = const_cast<LPWSTR>(L"image/png");
    picture.bPictureType = 3;
    picture.pwszDescription = const_cast<LPWSTR>(L"Front");
    picture.dwDataLen = sizeof image;
    picture.pbData = image;
    WriteWithAttributes(path, {{L"Title", L"Kept"}, {L"WM/Mood", L"Calm"}}, FALSE, &picture);

    // The packed picture: type 3, data length 64, then "image/png" in UTF-16. Each row
    // claims a length the value does not hold.
    std::vector<BYTE> bytes;
    {
        FILE* f = fopen(path.c_str(), "rb");
        ASSERT_NE(f, nullptr);
        BYTE buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, f)) > 0)
            bytes.insert(bytes.end(), buffer, buffer + n);
        fclose(f);
    }
    const BYTE packedStart[] = {3, 64, 0, 0, 0, 'i', 0, 'm', 0};
    const auto at =
        std::search(bytes.begin(), bytes.end(), std::begin(packedStart), std::end(packedStart));
    ASSERT_NE(at, bytes.end());
    const size_t lengthAt = static_cast<size_t>(at - bytes.begin()) + 1;
    for (const uint32_t claimed : {65u, 0x7FFFFFFFu, 0xFFFFFFFFu}) {
        SCOPED_TRACE(claimed);
        std::memcpy(&bytes[lengthAt], &claimed, 4);
        FILE* f = fopen(path.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);

        CAudioWMAInfoTagReader reader;
        ASSERT_TRUE(reader.Open(path.c_str()));
        CAudioTrackInfo track;
        ASSERT_TRUE(reader.ReadTags(track));
        EXPECT_EQ(track.GetPicture(0), nullptr);
        EXPECT_EQ(track.m_strTrackTitle, "Kept");
        EXPECT_EQ(track.m_strMood, "Calm");
        reader.Close();
    }
    DeleteFileA(path.c_str());
}

TEST(WmaErrors, ReaderAndTagReaderAnswers)
{
    CString text;
    {
        CAudioWMAReader reader;
        EXPECT_FALSE(reader.Open(TempPath("missing.wma").c_str()));
        EXPECT_EQ(reader.GetError(text), AUDIO_ERROR_FILE_NOT_FOUND);
        EXPECT_EQ(text, "WMA file not found");
        EXPECT_FALSE(reader.Prepare());
        EXPECT_EQ(reader.GetError(text), AUDIO_ERROR_NOT_INITIALIZED);
        CAudioFrame frame;
        EXPECT_FALSE(reader.ReadFrame(&frame));
        EXPECT_EQ(reader.GetProgressPercent(), -1);
    }
    // A WAV file is neither decoded nor taken for WMA.
    const std::string wav = TempPath("not_wma.wav");
    {
        CAudioWavWriter writer;
        ASSERT_TRUE(writer.Open(wav.c_str(), 2, 44100, 16, nullptr));
        ASSERT_TRUE(writer.BeginStream());
        std::vector<int16_t> pcm = MakeTones(1000, 44100);
        CAudioFrame frame;
        frame.SetChannels(2), frame.SetSampleRate(44100), frame.SetBitsPerSample(16);
        frame.SetSigned(1);
        frame.Append(pcm.data(), static_cast<uint32_t>(pcm.size() * 2));
        ASSERT_TRUE(writer.WriteFrame(&frame));
        ASSERT_TRUE(writer.Close());
    }
    {
        CAudioWMAReader reader;
        EXPECT_FALSE(reader.Open(wav.c_str()));
        EXPECT_EQ(reader.GetError(text), AUDIO_ERROR_CODEC_INIT);
        EXPECT_EQ(text.Left(57), "Error opening WMA stream: possible incorrect format - 1:E");
    }
    {
        CAudioWMAInfoTagReader tags;
        EXPECT_FALSE(tags.IsThisFormat());
        EXPECT_EQ(tags.GetError(text), AUDIO_ERROR_NOT_INITIALIZED);
        ASSERT_TRUE(tags.Open(wav.c_str()));
        EXPECT_FALSE(tags.IsThisFormat());
        CAudioTrackInfo track;
        EXPECT_FALSE(tags.ReadTags(track));
        EXPECT_EQ(tags.GetError(text), AUDIO_ERROR_CREATE_FILE);
        EXPECT_EQ(text, "WMA Info Tag Reader: cannot open audio file");
    }
    DeleteFileA(wav.c_str());
}

TEST(WmaWriter, ModesChooseProfilesAndChannels)
{
    const struct {
        int mode;
        const GUID* profile;
        int channels;
    } cases[] = {
        {1, &kWmProfileAudio28Mono, 1},    {2, &kWmProfileAudio28Stereo, 2},
        {6, &kWmProfileAudio96Stereo, 2},  {7, &kWmProfileAudio128Stereo, 2},
        {0, &kWmProfileAudio128Stereo, 2}, {9, &kWmProfileAudio128Stereo, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.mode);
        int channels = 0;
        EXPECT_TRUE(CAudioWMAWriter::GetProfileForMode(c.mode, &channels) == *c.profile);
        EXPECT_EQ(channels, c.channels);
    }
    CAudioWMAWriter writer;
    CAudioFrame frame;
    EXPECT_FALSE(writer.BeginStream());
    EXPECT_FALSE(writer.WriteFrame(&frame));
    EXPECT_FALSE(writer.Close());
    EXPECT_EQ(writer.GetBytesWritten(), -1);
}

// A file that cannot be created fails the start of the stream with the file layer's text,
// and nothing is left for a job to report as complete.
TEST(WmaWriter, FileThatCannotBeCreatedFailsTheStart)
{
    const std::string path = TempPath("no_such_folder\\out.wma");
    CAudioWMAWriter writer;
    ASSERT_TRUE(writer.Open(path.c_str(), 44100, 7, nullptr));
    EXPECT_FALSE(writer.BeginStream());
    CString text;
    EXPECT_EQ(writer.GetError(text), AUDIO_ERROR_WRITE);
    EXPECT_NE(std::string(text).find("out.wma"), std::string::npos) << text;
    EXPECT_EQ(GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
}

// Writes a tagged file where check_with_ffmpeg.sh asks for it, for FFmpeg's command-line tools
// to check natively; skipped when run on its own.
TEST(WmaExport, TaggedFileForAnIndependentDecoder)
{
    const char* target = std::getenv("SONORIA_WMA_EXPORT");
    if (!target)
        GTEST_SKIP() << "SONORIA_WMA_EXPORT not set";
    CAudioTrackInfo track;
    track.m_strTrackTitle = "Export title";
    track.m_strArtist = "Export artist";
    track.m_strAlbumTitle = "Export album";
    track.m_strContentType = "Blues";
    track.m_strYear = "2001";
    track.m_strTrackPosition = "7";
    ASSERT_TRUE(WriteWma(target, 5, MakeTones(66150, 44100), 44100, &track)); // 1.5 s
}

// Decodes the file check_with_ffmpeg.sh made with FFmpeg's own encoder into raw 16-bit PCM, for
// the script to compare with FFmpeg's decode; skipped when run on its own.
TEST(WmaImport, FileOfAnotherEncoderForComparison)
{
    const char* source = std::getenv("SONORIA_WMA_IMPORT");
    const char* target = std::getenv("SONORIA_WMA_IMPORT_PCM");
    if (!source || !target)
        GTEST_SKIP() << "SONORIA_WMA_IMPORT and SONORIA_WMA_IMPORT_PCM not set";
    Decoded decoded;
    ASSERT_TRUE(ReadWma(source, decoded));
    std::ofstream out(target, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(decoded.pcm.data()),
              static_cast<std::streamsize>(decoded.pcm.size() * sizeof(int16_t)));
    ASSERT_TRUE(out.good());
}
