// Ogg Vorbis reader, writer and tag reader: encoded sines decode to the right length, channels,
// frequency and level; comments round-trip; damaged and foreign files give clear errors.
#include "audio/formats/vorbis/vorbis_reader.h"
#include "audio/formats/vorbis/vorbis_tag_reader.h"
#include "audio/formats/vorbis/vorbis_writer.h"
#include "audio/track/track_info.h"
#include "tests/audio/flacvorbis_fixtures.h"

#include <FLAC/stream_encoder.h>
#include <ogg/ogg.h>
#include <vorbis/vorbisenc.h>

#include <algorithm>
#include <cstring>

using namespace fixtures;

namespace
{

// Sines of their own frequency per channel at half of full scale, as 16-bit frames.
std::vector<int32_t> MakeSines(int channels, uint32_t rate, uint32_t samples, const double* freq)
{
    std::vector<int32_t> out(size_t(samples) * size_t(channels));
    for (uint32_t j = 0; j < samples; ++j)
        for (int c = 0; c < channels; ++c)
            out[size_t(j) * channels + c] =
                int32_t(std::lround(16384.0 * std::sin(2 * kPi * freq[c] * j / rate)));
    return out;
}

bool WriteVorbis(const std::string& path, int channels, uint32_t frameRate, int writerRate,
                 double quality, const std::vector<int32_t>& samples, CAudioTrackInfo* track,
                 uint32_t step = 44100)
{
    CAudioVorbisWriter writer;
    if (!writer.Open(path.c_str(), channels, writerRate, quality, track) || !writer.BeginStream())
        return false;
    const size_t total = samples.size() / channels;
    for (size_t done = 0; done < total; done += step) {
        const size_t n = std::min<size_t>(step, total - done);
        std::vector<int32_t> part(samples.begin() + done * channels,
                                  samples.begin() + (done + n) * channels);
        CAudioFrame frame;
        FillFrame(frame, part, channels, 16, frameRate);
        if (!writer.WriteFrame(&frame))
            return false;
    }
    const long written = writer.GetBytesWritten();
    return writer.Close() && written > 0;
}

// Frequency from upward zero crossings, level as RMS, over the middle of one channel.
struct Tone {
    double frequency;
    double rms;
};

Tone Measure(const std::vector<int16_t>& s, int channels, int channel, uint32_t rate)
{
    const size_t n = s.size() / channels;
    const size_t from = n / 4, to = n * 3 / 4;
    size_t crossings = 0, first = 0, last = 0;
    double sum = 0;
    for (size_t j = from; j < to; ++j) {
        const double v = s[j * channels + channel];
        sum += v * v;
        if (j > from && s[(j - 1) * channels + channel] < 0 && v >= 0) {
            if (crossings++ == 0)
                first = j;
            last = j;
        }
    }
    return {crossings > 1 ? double(crossings - 1) * rate / double(last - first) : 0.0,
            std::sqrt(sum / double(to - from))};
}

} // namespace

// Sines through the writer at several qualities and back through the reader: the decoded
// stream has the writer's channels and rate, the source's duration, and per channel the
// source's frequency and level (scaled by 31000/32768 as the reader scales).
TEST(VorbisWriter, SinesSurviveEncodingAtEveryQuality)
{
    struct Case {
        int channels;
        uint32_t frameRate;
        int writerRate;
        double quality;
        uint32_t decodedRate;
    };
    const Case cases[] = {
        {2, 44100, 44100, 0.4, 44100}, {1, 44100, 44100, -0.1, 44100},
        {2, 48000, 48000, 1.0, 48000}, {1, 22050, 22050, 0.0, 22050},
        {2, 11025, 11025, 0.5, 22050},
    };
    const double freq[2] = {1000.0, 1500.0};
    ScratchDir dir("vorbis_quality");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message()
                     << c.channels << " ch, " << c.frameRate << " Hz, q" << c.quality);
        const std::string path = dir.File("out.ogg");
        const uint32_t seconds = 2;
        ASSERT_TRUE(WriteVorbis(path, c.channels, c.frameRate, c.writerRate, c.quality,
                                MakeSines(c.channels, c.frameRate, c.frameRate * seconds, freq),
                                nullptr));
        CAudioVorbisReader reader;
        ASSERT_TRUE(reader.Open(path.c_str()));
        EXPECT_EQ(reader.GetSampleRate(), int(c.decodedRate));
        const Decoded d = ReadAll(reader);
        EXPECT_FALSE(d.failed);
        EXPECT_EQ(d.channels, c.channels);
        EXPECT_EQ(d.bits, 16);
        EXPECT_EQ(d.rate, c.decodedRate);
        const std::vector<int16_t> s = Samples16(d.bytes);
        const double expectedLength = double(c.decodedRate) * seconds;
        EXPECT_NEAR(double(s.size() / c.channels), expectedLength, expectedLength * 0.001);
        for (int ch = 0; ch < c.channels; ++ch) {
            const Tone t = Measure(s, c.channels, ch, c.decodedRate);
            EXPECT_NEAR(t.frequency, freq[ch], freq[ch] * 0.01) << "channel " << ch;
            EXPECT_NEAR(t.rms, 16384 / std::sqrt(2.0) * 31000 / 32768, 600) << "channel " << ch;
        }
        EXPECT_EQ(reader.GetProgressPercent(), 100);
        EXPECT_TRUE(reader.Close());
    }
}

// Every sample given to a mono writer is encoded: 1000 samples in, 1000 out.
TEST(VorbisWriter, MonoWriterEncodesEverySample)
{
    ScratchDir dir("vorbis_mono");
    const std::string path = dir.File("mono.ogg");
    const double freq[1] = {440.0};
    ASSERT_TRUE(WriteVorbis(path, 1, 44100, 44100, 0.4, MakeSines(1, 44100, 1000, freq), nullptr));
    CAudioVorbisReader reader;
    ASSERT_TRUE(reader.Open(path.c_str()));
    EXPECT_EQ(ReadAll(reader).bytes.size(), 1000u * 2);
}

// The writer's 15 comments come back through the tag reader, the comment and the year (DATE,
// the name other tools read) too; TRACK is not read. Non-ASCII text is stored as UTF-8 and
// converted back to the code page.
TEST(VorbisWriter, CommentsRoundTripThroughTheTagReader)
{
    ScratchDir dir("vorbis_comments");
    const std::string path = dir.File("tags.ogg");
    CAudioTrackInfo track;
    track.SetTrackTitle("Caf\xe9 del Mar");
    track.SetArtist("Bj\xf6rk");
    track.SetAlbumTitle("");
    track.SetComment("a comment");
    track.SetContentType("Ambient");
    track.SetTrackPosition("7");
    track.SetYear("1999");
    track.SetRemix("Extended");
    track.SetCopyright("(c) me");
    track.SetPublisher("Label");
    track.SetTrackExt("Subtitle");
    track.SetEncodedBy("Sonoria");
    track.SetISRC("USABC9900001");
    const double freq[2] = {440.0, 440.0};
    ASSERT_TRUE(WriteVorbis(path, 2, 44100, 44100, 0.4, MakeSines(2, 44100, 4410, freq), &track));

    const std::vector<uint8_t> bytes = ReadBytes(path);
    auto contains = [&](const std::string& text) {
        return std::search(bytes.begin(), bytes.end(), text.begin(), text.end(),
                           [](uint8_t a, char b) { return a == uint8_t(b); }) != bytes.end();
    };
    EXPECT_TRUE(contains(std::string("TITLE=Caf\xc3\xa9 del Mar"))) << "stored as UTF-8";
    EXPECT_TRUE(contains("ALBUM=")) << "empty fields are written";
    EXPECT_TRUE(contains("TRACK=7"));
    EXPECT_TRUE(contains("TRACKNUMBER=7"));
    EXPECT_TRUE(contains("DATE=1999"));
    EXPECT_FALSE(contains("YEAR="));
    EXPECT_TRUE(contains("ALBUMARTIST=Bj")) << "album artist falls back to the artist";

    CAudioVorbisInfoTagReader tags;
    ASSERT_TRUE(tags.Open(path.c_str()));
    EXPECT_EQ(tags.IsThisFormat(), 1);
    CAudioTrackInfo back;
    back.SetYear("untouched");
    ASSERT_EQ(tags.ReadTags(back), 1);
    EXPECT_EQ(tags.ReadTags(back), 1) << "the file position is kept";
    EXPECT_STREQ(back.GetYear(), "1999");
    EXPECT_STREQ(back.GetComment(), "a comment");
    EXPECT_STREQ(back.GetTrackExt(), "Subtitle");
    EXPECT_STREQ(back.GetTrackPosition(), "7");
    EXPECT_STREQ(back.GetRemix(), "Extended");
    EXPECT_STREQ(back.GetCopyright(), "(c) me");
    EXPECT_STREQ(back.GetPublisher(), "Label");
    EXPECT_STREQ(back.GetContentType(), "Ambient");
    EXPECT_STREQ(back.GetEncodedBy(), "Sonoria");
    EXPECT_STREQ(back.GetISRC(), "USABC9900001");
#ifdef _WIN32
    if (GetACP() == 1252)
#endif
    {
        EXPECT_STREQ(back.GetTrackTitle(), "Caf\xe9 del Mar");
        EXPECT_STREQ(back.GetArtist(), "Bj\xf6rk");
        EXPECT_STREQ(back.GetAlbumArtist(), "Bj\xf6rk");
    }
}

TEST(VorbisWriter, RefusesWhatTheEncoderCannotTake)
{
    ScratchDir dir("vorbis_refuse");
    CString text;
    struct Case {
        double quality;
        bool ok;
    };
    for (const Case& c : {Case{0.4, true}, Case{1.5, false}, Case{-0.5, false}}) {
        SCOPED_TRACE(c.quality);
        CAudioVorbisWriter writer;
        EXPECT_EQ(bool(writer.Open(dir.File("q.ogg").c_str(), 2, 44100, c.quality, nullptr)), c.ok);
        if (!c.ok) {
            EXPECT_EQ(writer.GetError(text), 9);
            EXPECT_STREQ(text, "Vorbis encoder init error");
        }
    }
    CAudioVorbisWriter writer;
    EXPECT_FALSE(writer.Open(dir.File("no/such/dir/x.ogg").c_str(), 2, 44100, 0.4, nullptr));
    EXPECT_EQ(writer.GetError(text), 5);
    EXPECT_STREQ(text, "Can't open output file");
    EXPECT_FALSE(writer.BeginStream());
    EXPECT_EQ(writer.GetError(text), 1);
    EXPECT_STREQ(text, "Vorbis writer not initialized");
    CAudioFrame frame;
    EXPECT_FALSE(writer.WriteFrame(&frame));
    EXPECT_EQ(writer.GetError(text), 1);
    EXPECT_FALSE(writer.Close());

    ASSERT_TRUE(writer.Open(dir.File("y.ogg").c_str(), 2, 44100, 0.4, nullptr));
    EXPECT_FALSE(writer.WriteFrame(nullptr));
    EXPECT_EQ(writer.GetError(text), 8);
    EXPECT_STREQ(text, "NULL Frame");
}

namespace
{

// An Ogg Vorbis stream built packet by packet, so that its headers can be damaged while the
// pages stay valid (libogg computes their checksums).
std::vector<uint8_t> BuildVorbisStream(void (*damage)(std::vector<uint8_t>& comment),
                                       int audioSeconds)
{
    vorbis_info vi;
    vorbis_comment vc;
    vorbis_dsp_state vd;
    vorbis_block vb;
    ogg_stream_state os;
    ogg_page og;
    ogg_packet op, h, hc, hs;
    vorbis_info_init(&vi);
    vorbis_encode_init_vbr(&vi, 1, 8000, 0.3f);
    vorbis_comment_init(&vc);
    vorbis_comment_add_tag(&vc, "TITLE", "x");
    vorbis_analysis_init(&vd, &vi);
    vorbis_block_init(&vd, &vb);
    ogg_stream_init(&os, 7);
    vorbis_analysis_headerout(&vd, &vc, &h, &hc, &hs);
    std::vector<uint8_t> comment(hc.packet, hc.packet + hc.bytes);
    if (damage)
        damage(comment);
    hc.packet = comment.data();
    hc.bytes = long(comment.size());
    std::vector<uint8_t> out;
    auto put = [&](const ogg_page& p) {
        out.insert(out.end(), p.header, p.header + p.header_len);
        out.insert(out.end(), p.body, p.body + p.body_len);
    };
    ogg_stream_packetin(&os, &h);
    ogg_stream_packetin(&os, &hc);
    ogg_stream_packetin(&os, &hs);
    while (ogg_stream_flush(&os, &og))
        put(og);
    for (int k = 0; k <= audioSeconds; ++k) {
        if (k < audioSeconds) {
            float** buf = vorbis_analysis_buffer(&vd, 8000);
            for (int j = 0; j < 8000; ++j)
                buf[0][j] = float(0.5 * std::sin(2 * kPi * 300 * j / 8000.0));
            vorbis_analysis_wrote(&vd, 8000);
        } else {
            vorbis_analysis_wrote(&vd, 0);
        }
        while (vorbis_analysis_blockout(&vd, &vb) == 1) {
            vorbis_analysis(&vb, nullptr);
            vorbis_bitrate_addblock(&vb);
            while (vorbis_bitrate_flushpacket(&vd, &op)) {
                ogg_stream_packetin(&os, &op);
                while (ogg_stream_pageout(&os, &og))
                    put(og);
            }
        }
    }
    while (ogg_stream_flush(&os, &og))
        put(og);
    ogg_stream_clear(&os);
    vorbis_block_clear(&vb);
    vorbis_dsp_clear(&vd);
    vorbis_comment_clear(&vc);
    vorbis_info_clear(&vi);
    return out;
}

void PutLE32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = uint8_t(v >> (8 * i));
}

// Comment packet: 0x03 "vorbis", vendor length at 7, vendor, count, entries.
size_t CountOffset(const std::vector<uint8_t>& c)
{
    return 11 + (c[7] | c[8] << 8 | c[9] << 16 | size_t(c[10]) << 24);
}

} // namespace

// Files that are not Ogg Vorbis or are damaged: Open fails with the header algorithm's code and
// text, or reading comes to its end in a bounded number of steps.
TEST(VorbisReader, SurvivesForeignAndDamagedFiles)
{
    ScratchDir dir("vorbis_damaged");
    const std::vector<uint8_t> good = BuildVorbisStream(nullptr, 30);
    ASSERT_GT(good.size(), 20000u);
    const std::string oggFlac = dir.File("flac.oga");
    {
        FLAC__StreamEncoder* enc = FLAC__stream_encoder_new();
        FLAC__stream_encoder_set_channels(enc, 1);
        FLAC__stream_encoder_set_sample_rate(enc, 8000);
        FLAC__stream_encoder_set_bits_per_sample(enc, 16);
        ASSERT_EQ(FLAC__stream_encoder_init_ogg_file(enc, oggFlac.c_str(), nullptr, nullptr),
                  FLAC__STREAM_ENCODER_INIT_STATUS_OK);
        const FLAC__int32 silence[100] = {};
        FLAC__stream_encoder_process_interleaved(enc, silence, 100);
        FLAC__stream_encoder_finish(enc);
        FLAC__stream_encoder_delete(enc);
    }
    std::vector<uint8_t> id3 = {'I', 'D', '3', 3, 0, 0, 0, 0, 0, 20};
    id3.resize(30, 0);
    id3.insert(id3.end(), good.begin(), good.end());

    struct Case {
        const char* name;
        std::vector<uint8_t> data;
        const char* openError; // null: opens, then reads to its end
    };
    const std::vector<Case> cases = {
        {"empty", {}, "Incorrect Vorbis header (1)"},
        {"text", std::vector<uint8_t>(9000, 'x'), "Incorrect Vorbis header (1)"},
        {"ID3v2 tag in front", id3, "Incorrect Vorbis header (1)"},
        {"Ogg FLAC", ReadBytes(oggFlac), "This Ogg bitstream does not contain Vorbis audio data."},
        {"first page only",
         {good.begin(), good.begin() + 58},
         "End of file before finding all Vorbis headers!"},
        {"cut in the setup header",
         {good.begin(), good.begin() + 400},
         "End of file before finding all Vorbis headers!"},
        {"huge comment count",
         BuildVorbisStream([](auto& c) { PutLE32(c, CountOffset(c), 0x7FFFFFFF); }, 1),
         "Corrupt secondary header"},
        {"huge comment length",
         BuildVorbisStream([](auto& c) { PutLE32(c, CountOffset(c) + 4, 0xFFFFFF00); }, 1),
         "Corrupt secondary header"},
        {"huge vendor length", BuildVorbisStream([](auto& c) { PutLE32(c, 7, 0x7FFFFFF0); }, 1),
         "Corrupt secondary header"},
        {"comment packet cut short", BuildVorbisStream([](auto& c) { c.resize(12); }, 1),
         "Corrupt secondary header"},
        {"cut in the audio", {good.begin(), good.begin() + good.size() / 2}, nullptr},
        {"audio overwritten",
         [&] {
             std::vector<uint8_t> b = good;
             for (size_t i = b.size() / 2; i < b.size() / 2 + 2000; ++i)
                 b[i] = uint8_t(i * 13);
             return b;
         }(),
         nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File("bad.ogg");
        WriteBytes(path, c.data);
        CAudioVorbisReader reader;
        CString text;
        if (c.openError) {
            EXPECT_FALSE(reader.Open(path.c_str()));
            EXPECT_EQ(reader.GetError(text), 4);
            EXPECT_STREQ(text, c.openError);
            EXPECT_FALSE(reader.HasMoreData());
            continue;
        }
        ASSERT_TRUE(reader.Open(path.c_str()));
        const Decoded d = ReadAll(reader, 100000);
        EXPECT_FALSE(d.failed);
        EXPECT_FALSE(reader.HasMoreData());
        EXPECT_FALSE(d.bytes.empty());
    }

    CAudioVorbisReader missing;
    CString text;
    EXPECT_FALSE(missing.Open(dir.File("missing.ogg").c_str()));
    EXPECT_EQ(missing.GetError(text), 3);
    EXPECT_STREQ(text, "Vorbis file not found");

    // Behind an ID3v2 tag: recognised as Ogg by the probe, and its comments are read too.
    WriteBytes(dir.File("id3.ogg"), id3);
    CAudioVorbisInfoTagReader tags;
    ASSERT_TRUE(tags.Open(dir.File("id3.ogg").c_str()));
    EXPECT_EQ(tags.IsThisFormat(), 1);
    CAudioTrackInfo track;
    EXPECT_EQ(tags.ReadTags(track), 1);
    CAudioVorbisInfoTagReader closed;
    EXPECT_EQ(closed.IsThisFormat(), 0);
    EXPECT_EQ(closed.GetError(text), 1);
    EXPECT_STREQ(text, "Vorbis Info Tag Reader not correctly initialized");
}
