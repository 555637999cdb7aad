// WAV reader and writer: round trips of generated audio, the file layout written, and bad
// input that must end in an error (never a crash or an endless read).
#include "audio/formats/wav/wav_info_tag_reader.h"
#include "audio/formats/wav/wav_reader.h"
#include "audio/formats/wav/wav_writer.h"
#include "tests/audio/wav_fixture.h"

#include <gtest/gtest.h>

using namespace wavtest;

namespace
{

struct ReadResult {
    bool opened = false;
    int error = 0;
    CString text;
    Bytes audio;
    std::vector<uint32_t> steps; // bytes appended by each read step
    int channels = -1, bits = -1, isSigned = -1;
    uint32_t rate = 0;
    int progressAtEnd = -2;
};

// Opens the file and reads it to the end; a bounded loop, so a reader that never finishes
// fails the test instead of hanging it.
ReadResult ReadAll(const char* path)
{
    ReadResult r;
    CAudioWavReader reader;
    r.opened = reader.Open(path) != FALSE;
    r.error = reader.GetError(r.text);
    if (!r.opened)
        return r;
    EXPECT_TRUE(reader.Prepare());
    for (int guard = 0; reader.HasMoreData(); ++guard) {
        if (guard > 10000) {
            ADD_FAILURE() << "reader does not finish";
            break;
        }
        CAudioFrame frame;
        EXPECT_TRUE(reader.ReadFrame(&frame));
        uint32_t used = 0;
        const uint8_t* p = frame.GetData(used);
        r.steps.push_back(used);
        if (p)
            r.audio.insert(r.audio.end(), p, p + used);
        r.channels = frame.GetChannels();
        r.bits = frame.GetBitsPerSample();
        r.isSigned = frame.GetSigned();
        r.rate = frame.GetSampleRate();
        if (used == 0)
            break;
    }
    r.progressAtEnd = reader.GetProgressPercent();
    EXPECT_TRUE(reader.Close());
    return r;
}

Bytes Pcm16(const std::vector<int>& samples)
{
    Bytes b;
    for (int s : samples)
        PutLE(b, static_cast<uint16_t>(s), 2);
    return b;
}

Bytes Pcm8(const std::vector<int>& samples)
{
    Bytes b;
    for (int s : samples)
        b.push_back(static_cast<uint8_t>((s >> 8) + 128));
    return b;
}

// Feeds the audio to the writer in uneven frames of its own format.
void WriteInFrames(CAudioWavWriter& writer, const Bytes& audio, int channels, uint32_t rate,
                   int bits)
{
    const size_t block = bits / 8 * channels;
    size_t at = 0;
    for (size_t n = 1; at < audio.size(); n = n * 3 + 7) {
        size_t take = std::min(audio.size() - at, n * block);
        CAudioFrame frame;
        frame.SetChannels(channels);
        frame.SetSampleRate(rate);
        frame.SetBitsPerSample(static_cast<uint8_t>(bits));
        frame.SetSigned(bits == 8 ? 0 : 1);
        frame.Append(audio.data() + at, static_cast<uint32_t>(take));
        ASSERT_TRUE(writer.WriteFrame(&frame));
        at += take;
    }
}

} // namespace

TEST(Wav, RoundTripOfGeneratedAudio)
{
    struct Case {
        int channels, bits;
        uint32_t rate;
        int frames;
    };
    const Case cases[] = {
        {1, 16, 44100, 50000}, {2, 16, 44100, 30001}, {1, 8, 8000, 12345},
        {2, 8, 22050, 7000},   {2, 16, 48000, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.channels) + " ch, " + std::to_string(c.bits) + " bits, " +
                     std::to_string(c.frames) + " frames");
        std::vector<int> sweep = Sweep(c.channels, c.frames, 30000);
        Bytes audio = c.bits == 16 ? Pcm16(sweep) : Pcm8(sweep);

        TempFile file("roundtrip.wav");
        CAudioWavWriter writer;
        ASSERT_TRUE(writer.Open(file.path(), c.channels, c.rate, c.bits, nullptr));
        ASSERT_TRUE(writer.BeginStream());
        WriteInFrames(writer, audio, c.channels, c.rate, c.bits);
        ASSERT_TRUE(writer.Close());

        Bytes raw = file.Read();
        const size_t padded = audio.size() + (audio.size() & 1);
        ASSERT_EQ(raw.size(), 44 + padded);
        EXPECT_EQ(writer.GetBytesWritten(), static_cast<int64_t>(raw.size()));
        EXPECT_EQ(GetLE32(raw, 4), raw.size() - 8);
        EXPECT_EQ(GetLE32(raw, 16), 16u);
        EXPECT_EQ(raw[20] | raw[21] << 8, 1);
        EXPECT_EQ(raw[22] | raw[23] << 8, c.channels);
        EXPECT_EQ(GetLE32(raw, 24), c.rate);
        EXPECT_EQ(GetLE32(raw, 28), c.rate * c.channels * c.bits / 8);
        EXPECT_EQ(raw[32] | raw[33] << 8, c.channels * c.bits / 8);
        EXPECT_EQ(raw[34] | raw[35] << 8, c.bits);
        EXPECT_EQ(GetLE32(raw, 40), audio.size());

        ReadResult r = ReadAll(file.path());
        ASSERT_TRUE(r.opened) << r.text.GetString();
        EXPECT_EQ(r.audio, audio);
        EXPECT_EQ(r.channels, c.channels);
        EXPECT_EQ(r.bits, c.bits);
        EXPECT_EQ(r.isSigned, c.bits == 8 ? 0 : 1);
        EXPECT_EQ(r.rate, c.rate);
        EXPECT_EQ(r.progressAtEnd, 100);
    }
}

TEST(Wav, TwentyFourBitFilesReadAsTheyAre)
{
    Bytes audio;
    for (int i = 0; i < 3000; ++i)
        PutLE(audio, static_cast<uint32_t>(i * 2791 - 4000000), 3);
    TempFile file("s24.wav");
    file.Write(Riff({Fmt(1, 2, 1000, 24), Data(audio)}));
    ReadResult r = ReadAll(file.path());
    ASSERT_TRUE(r.opened) << r.text.GetString();
    EXPECT_EQ(r.audio, audio);
    EXPECT_EQ(r.bits, 24);
    EXPECT_EQ(r.isSigned, 1);
    EXPECT_EQ(r.steps, (std::vector<uint32_t>{6000, 3000}));
}

TEST(Wav, EightBitMonoReadsInSecondsAndEndsAtOneHundredPercent)
{
    Bytes audio(20000);
    for (size_t i = 0; i < audio.size(); ++i)
        audio[i] = static_cast<uint8_t>(i * 7);
    TempFile file("u8.wav");
    file.Write(Riff({Fmt(1, 1, 8000, 8), Data(audio)}));

    CAudioWavReader reader;
    EXPECT_EQ(reader.GetProgressPercent(), -1);
    ASSERT_TRUE(reader.Open(file.path()));
    EXPECT_EQ(reader.GetSampleRate(), 8000u);
    EXPECT_EQ(reader.GetProgressPercent(), 0);
    std::vector<uint32_t> steps;
    std::vector<int> progress;
    CAudioFrame frame;
    while (reader.HasMoreData()) {
        uint32_t before = frame.GetUsedBytes();
        ASSERT_TRUE(reader.ReadFrame(&frame));
        steps.push_back(frame.GetUsedBytes() - before);
        progress.push_back(reader.GetProgressPercent());
    }
    EXPECT_EQ(steps, (std::vector<uint32_t>{8000, 8000, 4000}));
    EXPECT_EQ(progress, (std::vector<int>{40, 80, 100}));
    EXPECT_EQ(frame.GetSigned(), 0);
    uint32_t used = 0;
    const uint8_t* p = frame.GetData(used);
    EXPECT_EQ(Bytes(p, p + used), audio) << "steps append, never replace";
    EXPECT_FALSE(reader.Open(file.path())) << "an open reader is not opened again";
    EXPECT_TRUE(reader.Close());
    EXPECT_FALSE(reader.Close());

    CString text;
    EXPECT_FALSE(reader.ReadFrame(&frame));
    EXPECT_EQ(reader.GetError(text), 1);
    EXPECT_EQ(text, "WAV reader not initialized");
}

// A file cut while it is read (a download replaced, a share dropping out) must not end the
// audio early as if it were whole.
TEST(Wav, FileShrinkingWhileReadIsAReadError)
{
    TempFile file("shrinking.wav");
    file.Write(Riff({Fmt(1, 1, 8000, 8), Data(Bytes(24000, 100))}));
    auto shared = std::make_unique<CFile>();
    ASSERT_TRUE(shared->Open(file.path(), CFile::modeRead | CFile::shareDenyNone));
    CAudioWavReader reader;
    ASSERT_TRUE(reader.OpenFile(std::move(shared)));
    CAudioFrame frame;
    ASSERT_TRUE(reader.ReadFrame(&frame));
    {
        CFile cutter(file.path(), CFile::modeReadWrite | CFile::shareDenyNone);
        cutter.SetLength(44 + 12000);
    }
    EXPECT_FALSE(reader.ReadFrame(&frame));
    CString text;
    EXPECT_EQ(reader.GetError(text), 2);
    EXPECT_EQ(text, "The Wav file ended before its audio: it was changed while being read");
    EXPECT_FALSE(reader.HasMoreData()) << "a job must not step on";
    EXPECT_EQ(frame.GetUsedBytes(), 8000u);
    EXPECT_TRUE(reader.Close());
}

// At a few hertz a second of audio is a few bytes: steps stay large enough that a long file
// is not read byte by byte.
TEST(Wav, TinyRatesReadInBlocksOfAtLeast4096Bytes)
{
    TempFile file("two_hertz.wav");
    file.Write(Riff({Fmt(1, 2, 2, 16), Data(Bytes(10000, 7))}));
    ReadResult r = ReadAll(file.path());
    ASSERT_TRUE(r.opened);
    EXPECT_EQ(r.steps, (std::vector<uint32_t>{4096, 4096, 1808}));
    EXPECT_EQ(r.audio.size(), 10000u);
}

TEST(Wav, OddAudioIsPaddedButNotCounted)
{
    Bytes audio = {10, 20, 30, 40, 50};
    TempFile file("odd.wav");
    CAudioWavWriter writer;
    ASSERT_TRUE(writer.Open(file.path(), 1, 8000, 8, nullptr));
    ASSERT_TRUE(writer.BeginStream());
    WriteInFrames(writer, audio, 1, 8000, 8);
    ASSERT_TRUE(writer.Close());
    Bytes raw = file.Read();
    ASSERT_EQ(raw.size(), 50u);
    EXPECT_EQ(GetLE32(raw, 40), 5u);
    EXPECT_EQ(raw[49], 0);
    EXPECT_EQ(ReadAll(file.path()).audio, audio) << "the pad byte is not read as a sample";
}

TEST(Wav, WriterConvertsMonoEightBitToItsOwnFormat)
{
    TempFile file("widen.wav");
    CAudioWavWriter writer;
    ASSERT_TRUE(writer.Open(file.path(), 2, 8000, 16, nullptr));
    ASSERT_TRUE(writer.BeginStream());
    CAudioFrame frame;
    frame.SetChannels(1);
    frame.SetSampleRate(8000);
    frame.SetBitsPerSample(8);
    frame.SetSigned(0);
    const uint8_t pcm[] = {128, 255, 0};
    frame.Append(pcm, sizeof pcm);
    ASSERT_TRUE(writer.WriteFrame(&frame));
    ASSERT_TRUE(writer.Close());
    Bytes raw = file.Read();
    EXPECT_EQ(Bytes(raw.begin() + 44, raw.end()),
              (Bytes{0, 0, 0, 0, 0x00, 0x7F, 0x00, 0x7F, 0x00, 0x80, 0x00, 0x80}));
}

TEST(Wav, WriterErrors)
{
    CString text;
    CAudioFrame frame;
    const uint8_t pcm[] = {1, 2};
    frame.Append(pcm, 2);

    CAudioWavWriter closed;
    EXPECT_FALSE(closed.WriteFrame(&frame));
    EXPECT_EQ(closed.GetError(text), 1);
    EXPECT_EQ(text, "Wav writer not initialized");
    closed.SetError(0, nullptr);
    EXPECT_FALSE(closed.WriteFrame(nullptr));
    EXPECT_EQ(closed.GetError(text), 1) << "not open wins over a null frame";
    EXPECT_FALSE(closed.BeginStream());
    EXPECT_EQ(closed.GetError(text), 1);
    EXPECT_FALSE(closed.Close());
    EXPECT_EQ(closed.GetError(text), 1);

    TempFile file("errors.wav");
    CAudioWavWriter writer;
    ASSERT_TRUE(writer.Open(file.path(), 2, 44100, 16, nullptr));
    EXPECT_FALSE(writer.Open(file.path(), 2, 44100, 16, nullptr));
    ASSERT_TRUE(writer.BeginStream());
    EXPECT_FALSE(writer.WriteFrame(nullptr));
    EXPECT_EQ(writer.GetError(text), 8);
    EXPECT_EQ(text, "NULL Frame");
    EXPECT_TRUE(writer.Close());

    TempFile joint("joint.wav");
    CAudioWavWriter three;
    ASSERT_TRUE(three.Open(joint.path(), 3, 44100, 16, nullptr));
    EXPECT_FALSE(three.BeginStream());
    EXPECT_EQ(three.GetError(text), 7);
    EXPECT_EQ(text, "Wav writer unknow channels number");
    EXPECT_TRUE(three.Close());

    TempFile dir("no_such_folder");
    CAudioWavWriter nowhere;
    EXPECT_FALSE(nowhere.Open((std::string(dir.path()) + "/x.wav").c_str(), 2, 44100, 16, nullptr));
    EXPECT_EQ(nowhere.GetError(text), 5);
    EXPECT_EQ(text, "Can't open output Wav file");
}

TEST(Wav, WriterDeletedUnclosedLeavesSizesUnpatched)
{
    TempFile file("unclosed.wav");
    {
        CAudioWavWriter writer;
        ASSERT_TRUE(writer.Open(file.path(), 1, 8000, 8, nullptr));
        ASSERT_TRUE(writer.BeginStream());
        WriteInFrames(writer, Bytes(100, 128), 1, 8000, 8);
    }
    Bytes raw = file.Read();
    ASSERT_EQ(raw.size(), 144u);
    EXPECT_EQ(GetLE32(raw, 4), 0u);
    EXPECT_EQ(GetLE32(raw, 40), 0u);
}

namespace
{

// A file in memory that takes `room` bytes and then fails as a full disk does.
class CFullDiskFile : public CMemFile
{
public:
    explicit CFullDiskFile(ULONGLONG room) : m_nRoom(room) {}
    void Write(const void* lpBuf, UINT nCount) override
    {
        if (GetPosition() + nCount > m_nRoom)
            AfxThrowFileException(CFileException::diskFull, -1, "full.wav");
        CMemFile::Write(lpBuf, nCount);
    }

private:
    ULONGLONG m_nRoom;
};

} // namespace

// Small frames wait in the writer and reach the file later: a write that fails then still
// fails the call that makes it (a later step or Close), with the file's own exception. Frames
// of 64 KiB and more are written at once.
TEST(Wav, HeldBackAudioThatCannotBeWrittenFailsTheCallThatWritesIt)
{
    struct Case {
        const char* name;
        uint32_t frameBytes, frames, room;
        int failingFrame; // -1: Close fails
    };
    const Case cases[] = {
        {"small frames, disk full at the close", 1000, 5, 44 + 3000, -1},
        {"small frames, disk full when the buffer fills", 16384, 20, 44 + 100000, 16},
        {"a large frame fails at once", 70000, 3, 44 + 100000, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CAudioWavWriter writer;
        ASSERT_TRUE(writer.OpenFile(std::make_unique<CFullDiskFile>(c.room), 2, 44100, 16,
                                    nullptr));
        ASSERT_TRUE(writer.BeginStream());
        int failedAt = -2;
        for (uint32_t i = 0; i < c.frames && failedAt == -2; ++i) {
            CAudioFrame frame;
            frame.SetChannels(2);
            frame.SetSampleRate(44100);
            frame.SetBitsPerSample(16);
            frame.SetSigned(1);
            frame.Append(Bytes(c.frameBytes, 1).data(), c.frameBytes);
            try {
                EXPECT_TRUE(writer.WriteFrame(&frame));
            } catch (CFileException* e) {
                EXPECT_EQ(e->m_cause, CFileException::diskFull);
                e->Delete();
                failedAt = static_cast<int>(i);
            }
        }
        if (failedAt == -2) {
            try {
                writer.Close();
            } catch (CFileException* e) {
                EXPECT_EQ(e->m_cause, CFileException::diskFull);
                e->Delete();
                failedAt = -1;
            }
        }
        EXPECT_EQ(failedAt, c.failingFrame);
    }
}

// Held-back small frames and large frames written at once reach the file in their order.
TEST(Wav, FramesOfMixedSizesKeepTheirOrder)
{
    const uint32_t sizes[] = {1000, 70000, 2000, 3000, 300000, 16};
    TempFile file("mixed.wav");
    CAudioWavWriter writer;
    ASSERT_TRUE(writer.Open(file.path(), 2, 44100, 16, nullptr));
    ASSERT_TRUE(writer.BeginStream());
    Bytes expected;
    uint8_t value = 1;
    for (uint32_t size : sizes) {
        const Bytes bytes(size, value++);
        CAudioFrame frame;
        frame.SetChannels(2);
        frame.SetSampleRate(44100);
        frame.SetBitsPerSample(16);
        frame.SetSigned(1);
        frame.Append(bytes.data(), size);
        ASSERT_TRUE(writer.WriteFrame(&frame));
        expected.insert(expected.end(), bytes.begin(), bytes.end());
    }
    ASSERT_TRUE(writer.Close());
    const Bytes raw = file.Read();
    ASSERT_GE(raw.size(), 44 + expected.size());
    EXPECT_EQ(GetLE32(raw, 40), expected.size());
    EXPECT_TRUE(std::equal(expected.begin(), expected.end(), raw.begin() + 44));
}

// The 40-byte extensible "fmt " chunk other tools write for more than 16 bits or 2 channels:
// cbSize 22, valid bits, channel mask, then the sub-format GUID (the format tag first).
Chunk ExtensibleFmt(int subTag, int channels, uint32_t rate, int bits, bool knownGuid = true)
{
    Chunk c = Fmt(0xFFFE, channels, rate, bits);
    PutLE(c.payload, 22, 2);
    PutLE(c.payload, bits, 2);
    PutLE(c.payload, channels == 1 ? 4 : 3, 4);
    PutLE(c.payload, subTag, 2);
    const uint8_t last = knownGuid ? 0x71 : 0x72;
    const Bytes tail = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                        0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, last};
    c.payload.insert(c.payload.end(), tail.begin(), tail.end());
    c.declared = static_cast<uint32_t>(c.payload.size());
    return c;
}

TEST(Wav, BadInputEndsInAnErrorOrInTheAudioThatIsThere)
{
    const Bytes audio24 = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    const Bytes audio = {1, 2, 3, 4, 5, 6, 7, 8};
    Bytes truncated = Riff({Fmt(1, 2, 8000, 16), Data(audio)});
    truncated.resize(30);
    Bytes longData = Riff({Fmt(1, 2, 8000, 16), Data(audio)});
    longData[40] = 0x00, longData[41] = 0x10; // claims 4104 bytes, holds 8
    Chunk hugeJunk = {"junk", 0xFFFFFFFF, {1, 2, 3}};
    Chunk longFmt = Fmt(1, 1, 8000, 8);
    longFmt.declared = 0x7FFFFFF0;

    struct Case {
        const char* name;
        Bytes file;
        int error;
        const char* text;
        Bytes audio;
        bool isWav; // the tag reader's IsThisFormat
    };
    const char* kHeader = "Error reading Wav file header";
    const char* kNoData = "Cannot find 'data' tag";
    const Case cases[] = {
        {"zero-length file", {}, 4, kHeader, {}, false},
        {"not RIFF", {'R', 'I', 'F', 'X', 0, 0, 0, 0, 'W', 'A', 'V', 'E'}, 4, kHeader, {}, false},
        {"RIFF but not WAVE",
         {'R', 'I', 'F', 'F', 4, 0, 0, 0, 'A', 'V', 'I', ' '},
         4,
         kHeader,
         {},
         false},
        {"truncated inside fmt", truncated, 4, kHeader, {}, false},
        {"float format", Riff({Fmt(3, 2, 8000, 32), Data(audio)}), 4, kHeader, {}, false},
        {"extensible 24-bit PCM", Riff({ExtensibleFmt(1, 2, 48000, 24), Data(audio24)}), 0, "",
         audio24, true},
        {"extensible 16-bit mono PCM", Riff({ExtensibleFmt(1, 1, 8000, 16), Data(audio)}), 0, "",
         audio, true},
        {"extensible float", Riff({ExtensibleFmt(3, 2, 8000, 32), Data(audio)}), 4, kHeader, {},
         false},
        {"extensible with a foreign sub-format",
         Riff({ExtensibleFmt(1, 2, 8000, 16, false), Data(audio)}), 4, kHeader, {}, false},
        {"extensible format without its extension",
         Riff({Fmt(0xFFFE, 2, 8000, 16, 24), Data(audio)}),
         4,
         kHeader,
         {},
         false},
        {"fmt shorter than 16 bytes",
         Riff({{"fmt ", 12, Bytes(12, 1)}, Data(audio)}),
         4,
         kHeader,
         {},
         false},
        {"32-bit PCM", Riff({Fmt(1, 2, 8000, 32), Data(audio)}), 4, kHeader, {}, true},
        {"12-bit PCM", Riff({Fmt(1, 1, 8000, 12), Data(audio)}), 4, kHeader, {}, true},
        {"no channels", Riff({Fmt(1, 0, 8000, 16), Data(audio)}), 4, kHeader, {}, true},
        {"rate 0", Riff({Fmt(1, 2, 0, 16), Data(audio)}), 4, kHeader, {}, true},
        {"no data chunk", Riff({Fmt(1, 2, 8000, 16)}), 4, kNoData, {}, true},
        {"data before fmt", Riff({Data(audio), Fmt(1, 2, 8000, 16)}), 4, kNoData, {}, true},
        {"fmt size past the end", Riff({longFmt, Data(audio)}), 4, kNoData, {}, true},
        {"unknown chunk size past the end",
         Riff({Fmt(1, 2, 8000, 16), hugeJunk, Data(audio)}),
         4,
         kNoData,
         {},
         true},
        {"18-byte fmt", Riff({Fmt(1, 2, 8000, 16, 2), Data(audio)}), 0, "", audio, true},
        {"odd unknown chunks with pad bytes",
         Riff({{"junk", 3, {9, 9, 9}},
               Fmt(1, 2, 8000, 16),
               {"LIST", 5, {'a', 'd', 't', 'l', 0}},
               Data(audio)}),
         0, "", audio, true},
        {"odd unknown chunk without its pad byte",
         Riff({Fmt(1, 2, 8000, 16), {"junk", 3, {9, 9, 9}, false}, Data(audio)}), 0, "", audio,
         true},
        {"data size past the end", longData, 0, "", audio, true},
        {"empty data", Riff({Fmt(1, 2, 8000, 16), Data({})}), 0, "", {}, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file("bad.wav");
        file.Write(c.file);
        ReadResult r = ReadAll(file.path());
        EXPECT_EQ(r.opened, c.error == 0);
        EXPECT_EQ(r.error, c.error);
        EXPECT_EQ(r.text, c.text);
        EXPECT_EQ(r.audio, c.audio);

        CAudioWavInfoTagReader tags;
        ASSERT_TRUE(tags.Open(file.path()));
        EXPECT_EQ(tags.IsThisFormat() != FALSE, c.isWav);
        CAudioTrackInfo track;
        EXPECT_TRUE(tags.ReadTags(track));
        EXPECT_EQ(track.GetArtist(), "");
    }

    ReadResult missing = ReadAll("no-such-file.wav");
    EXPECT_FALSE(missing.opened);
    EXPECT_EQ(missing.error, 3);
    EXPECT_EQ(missing.text, "Wav file not found");
}
