// FLAC reader, writer and tag reader: round trips checked sample for sample, the metadata the
// writer lays down, and damaged input.
#include "audio/formats/flac/flac_reader.h"
#include "audio/formats/flac/flac_tag_reader.h"
#include "audio/formats/flac/flac_writer.h"
#include "audio/track/track_info.h"
#include "tests/audio/flacvorbis_fixtures.h"

#include <FLAC/metadata.h>
#include <FLAC/stream_decoder.h>
#include <FLAC/stream_encoder.h>

#include <cstdlib>
#include <cstring>

using namespace fixtures;

namespace
{

// Encodes samples with libFLAC itself, with raw comment entries (bytes not checked, so that
// damaged text can be written). ogg: an Ogg FLAC stream.
bool EncodeWithLibFlac(const std::string& path, int channels, int bits, uint32_t rate,
                       const std::vector<int32_t>& samples,
                       const std::vector<std::string>& comments = {}, bool ogg = false)
{
    FLAC__StreamEncoder* enc = FLAC__stream_encoder_new();
    FLAC__stream_encoder_set_channels(enc, unsigned(channels));
    FLAC__stream_encoder_set_bits_per_sample(enc, unsigned(bits));
    FLAC__stream_encoder_set_sample_rate(enc, rate);
    FLAC__stream_encoder_set_compression_level(enc, 5);
    FLAC__StreamMetadata* vc = nullptr;
    if (!comments.empty()) {
        vc = FLAC__metadata_object_new(FLAC__METADATA_TYPE_VORBIS_COMMENT);
        FLAC__metadata_object_vorbiscomment_resize_comments(vc, unsigned(comments.size()));
        // Entries set by hand, past libFLAC's checks; the block length follows them.
        vc->length = 8 + vc->data.vorbis_comment.vendor_string.length;
        for (size_t i = 0; i < comments.size(); ++i) {
            auto& e = vc->data.vorbis_comment.comments[i];
            std::free(e.entry);
            e.length = FLAC__uint32(comments[i].size());
            e.entry = static_cast<FLAC__byte*>(std::malloc(comments[i].size() + 1));
            std::memcpy(e.entry, comments[i].c_str(), comments[i].size() + 1);
            vc->length += 4 + e.length;
        }
        FLAC__stream_encoder_set_metadata(enc, &vc, 1);
    }
    bool ok = (ogg ? FLAC__stream_encoder_init_ogg_file(enc, path.c_str(), nullptr, nullptr)
                   : FLAC__stream_encoder_init_file(enc, path.c_str(), nullptr, nullptr)) ==
              FLAC__STREAM_ENCODER_INIT_STATUS_OK;
    ok = ok && FLAC__stream_encoder_process_interleaved(enc, samples.data(),
                                                        unsigned(samples.size() / channels));
    ok = FLAC__stream_encoder_finish(enc) && ok;
    FLAC__stream_encoder_delete(enc);
    if (vc)
        FLAC__metadata_object_delete(vc);
    return ok;
}

// Decodes a file with libFLAC's MD5 checking on: finish() fails when the audio does not match
// the MD5 sum in STREAMINFO.
struct Md5Check {
    bool decoded = false;
    bool md5Matches = false;
    FLAC__uint64 samples = 0;
};

Md5Check DecodeCheckingMd5(const std::string& path)
{
    Md5Check r;
    FLAC__StreamDecoder* dec = FLAC__stream_decoder_new();
    FLAC__stream_decoder_set_md5_checking(dec, true);
    auto write = [](const FLAC__StreamDecoder*, const FLAC__Frame* f, const FLAC__int32* const[],
                    void* client) {
        static_cast<Md5Check*>(client)->samples += f->header.blocksize;
        return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
    };
    auto error = [](const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void*) {};
    if (FLAC__stream_decoder_init_file(dec, path.c_str(), write, nullptr, error, &r) ==
        FLAC__STREAM_DECODER_INIT_STATUS_OK) {
        r.decoded = FLAC__stream_decoder_process_until_end_of_stream(dec);
        r.md5Matches = FLAC__stream_decoder_finish(dec);
    }
    FLAC__stream_decoder_delete(dec);
    return r;
}

struct BlockList {
    std::vector<FLAC__MetadataType> types;
    FLAC__StreamMetadata_StreamInfo info{};
    std::vector<std::string> comments;
    unsigned paddingLength = 0;
    unsigned seekPoints = 0;
    unsigned realSeekPoints = 0;
};

BlockList ListBlocks(const std::string& path)
{
    BlockList list;
    FLAC__Metadata_Chain* chain = FLAC__metadata_chain_new();
    EXPECT_TRUE(FLAC__metadata_chain_read(chain, path.c_str()));
    FLAC__Metadata_Iterator* it = FLAC__metadata_iterator_new();
    FLAC__metadata_iterator_init(it, chain);
    do {
        FLAC__StreamMetadata* b = FLAC__metadata_iterator_get_block(it);
        if (!b)
            break;
        list.types.push_back(b->type);
        if (b->type == FLAC__METADATA_TYPE_STREAMINFO)
            list.info = b->data.stream_info;
        if (b->type == FLAC__METADATA_TYPE_PADDING)
            list.paddingLength = b->length;
        if (b->type == FLAC__METADATA_TYPE_VORBIS_COMMENT) {
            for (unsigned i = 0; i < b->data.vorbis_comment.num_comments; ++i) {
                const auto& e = b->data.vorbis_comment.comments[i];
                list.comments.emplace_back(reinterpret_cast<const char*>(e.entry), e.length);
            }
        }
        if (b->type == FLAC__METADATA_TYPE_SEEKTABLE) {
            list.seekPoints = b->data.seek_table.num_points;
            for (unsigned i = 0; i < list.seekPoints; ++i) {
                if (b->data.seek_table.points[i].sample_number !=
                    FLAC__STREAM_METADATA_SEEKPOINT_PLACEHOLDER)
                    ++list.realSeekPoints;
            }
        }
    } while (FLAC__metadata_iterator_next(it));
    FLAC__metadata_iterator_delete(it);
    FLAC__metadata_chain_delete(chain);
    return list;
}

// The 16-bit samples a 16-bit writer is expected to encode for a frame of this format.
std::vector<int16_t> ExpectedAt16Bits(const std::vector<int32_t>& samples, int channels, int bits,
                                      uint32_t rate)
{
    CAudioFrame frame;
    FillFrame(frame, samples, channels, bits, rate);
    frame.ConvertSampleFormat(2, 1, 0);
    uint32_t used = 0;
    const uint8_t* p = frame.GetData(used);
    return Samples16(std::vector<uint8_t>(p, p + used));
}

CAudioTrackInfo MakeTrack()
{
    CAudioTrackInfo t;
    t.SetTrackTitle("Intro");
    return t;
}

} // namespace

// PCM as it comes from WAV files, through the writer at levels 0 to 8 and back through the
// reader: the 16-bit samples the writer was given come back bit for bit, the STREAMINFO MD5
// matches the audio, and STREAMINFO tells the level's block size.
TEST(FlacWriter, RoundTripIsBitExactAtEveryLevel)
{
    struct Case {
        int channels, bits;
        uint32_t rate;
        int level;
        unsigned blockSize;
    };
    const Case cases[] = {
        {1, 16, 44100, 0, 1152}, {2, 16, 44100, 5, 4608}, {2, 16, 48000, 8, 4608},
        {1, 8, 22050, 5, 4608},  {2, 8, 8000, 0, 1152},   {2, 24, 96000, 8, 4608},
        {1, 24, 44100, 3, 4608}, {2, 16, 32000, 9, 4608}, {2, 16, 44100, -1, 4608},
    };
    ScratchDir dir("flac_roundtrip");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.channels << " ch, " << c.bits << " bit, " << c.rate
                                        << " Hz, level " << c.level);
        const std::string path = dir.File("out.flac");
        const uint32_t total = c.rate * 3 / 2 + 77;
        const std::vector<int32_t> signal = MakeSignal(c.channels, c.bits, c.rate, total);
        CAudioTrackInfo track = MakeTrack();
        {
            CAudioFlacWriter writer;
            ASSERT_TRUE(writer.Open(path.c_str(), c.channels, int(c.rate), c.level, &track));
            ASSERT_TRUE(writer.BeginStream());
            // Frames of uneven sizes, as read steps deliver them.
            const uint32_t steps[] = {1, 4095, 44100, 300, 100000};
            uint32_t done = 0;
            for (size_t k = 0; done < total; ++k) {
                const uint32_t n = std::min(steps[k % 5], total - done);
                std::vector<int32_t> part(signal.begin() + done * c.channels,
                                          signal.begin() + (done + n) * c.channels);
                CAudioFrame frame;
                FillFrame(frame, part, c.channels, c.bits, c.rate);
                ASSERT_TRUE(writer.WriteFrame(&frame));
                done += n;
            }
            ASSERT_TRUE(writer.Close());
        }
        const Md5Check md5 = DecodeCheckingMd5(path);
        EXPECT_TRUE(md5.decoded);
        EXPECT_TRUE(md5.md5Matches);
        EXPECT_EQ(md5.samples, total);

        const BlockList blocks = ListBlocks(path);
        EXPECT_EQ(blocks.info.total_samples, total);
        EXPECT_EQ(blocks.info.bits_per_sample, 16u);
        EXPECT_EQ(blocks.info.channels, unsigned(c.channels));
        EXPECT_EQ(blocks.info.max_blocksize, c.blockSize);

        CAudioFlacReader reader;
        ASSERT_TRUE(reader.Open(path.c_str()));
        EXPECT_EQ(reader.GetSampleRate(), int(c.rate));
        const Decoded d = ReadAll(reader);
        EXPECT_FALSE(d.failed) << d.errorText.GetString();
        EXPECT_EQ(d.channels, c.channels);
        EXPECT_EQ(d.bits, 16);
        EXPECT_EQ(d.isSigned, 1);
        EXPECT_EQ(d.rate, c.rate);
        EXPECT_TRUE(Samples16(d.bytes) == ExpectedAt16Bits(signal, c.channels, c.bits, c.rate));
        EXPECT_EQ(reader.GetProgressPercent(), 100);
        EXPECT_TRUE(reader.Close());
    }
}

// Frames are converted to the writer's channels and rate before encoding: stereo to mono is
// the mean of the two channels, and a rate change keeps the duration.
TEST(FlacWriter, ConvertsChannelsAndRateOfFrames)
{
    ScratchDir dir("flac_convert");
    const std::string path = dir.File("mono.flac");
    const std::vector<int32_t> signal = MakeSignal(2, 16, 44100, 44100);
    CAudioFrame frame;
    FillFrame(frame, signal, 2, 16, 44100);
    CAudioFlacWriter writer;
    ASSERT_TRUE(writer.Open(path.c_str(), 1, 22050, 5, nullptr));
    ASSERT_TRUE(writer.WriteFrame(&frame));
    ASSERT_TRUE(writer.Close());

    CAudioFlacReader reader;
    ASSERT_TRUE(reader.Open(path.c_str()));
    const Decoded d = ReadAll(reader);
    EXPECT_EQ(d.channels, 1);
    EXPECT_EQ(d.rate, 22050u);
    EXPECT_EQ(d.bytes.size(), 22050u * 2);
    EXPECT_TRUE(DecodeCheckingMd5(path).md5Matches);
}

// The file after the writer: STREAMINFO, the comments of the track (all 13, empty ones too),
// 4096 bytes of padding and a seek table of 100 points, then the audio.
TEST(FlacWriter, WritesCommentsPaddingAndSeekTable)
{
    struct Case {
        int channels;
        bool withTrack;
    };
    const std::vector<std::string> introComments = {
        "TITLE=Intro",  "ARTIST=", "ALBUM=",      "COMMENT=",      "GENRE=",
        "TRACKNUMBER=", "DATE=",   "COPYRIGHT=",  "ORGANIZATION=", "DESCRIPTION=",
        "CONTACT=",     "ISRC=",   "ALBUMARTIST="};
    ScratchDir dir("flac_metadata");
    for (const Case& c : {Case{2, true}, Case{1, true}, Case{2, false}}) {
        SCOPED_TRACE(testing::Message() << c.channels << " ch, track " << c.withTrack);
        const std::string path = dir.File("meta.flac");
        CAudioTrackInfo track = MakeTrack();
        CAudioFlacWriter writer;
        ASSERT_TRUE(
            writer.Open(path.c_str(), c.channels, 44100, 5, c.withTrack ? &track : nullptr));
        CAudioFrame frame;
        FillFrame(frame, MakeSignal(c.channels, 16, 44100, 20000), c.channels, 16, 44100);
        ASSERT_TRUE(writer.WriteFrame(&frame));
        ASSERT_TRUE(writer.Close());
        EXPECT_TRUE(writer.Close()) << "a second Close finds nothing to finish";

        const BlockList blocks = ListBlocks(path);
        const std::vector<FLAC__MetadataType> order = {
            FLAC__METADATA_TYPE_STREAMINFO, FLAC__METADATA_TYPE_VORBIS_COMMENT,
            FLAC__METADATA_TYPE_PADDING, FLAC__METADATA_TYPE_SEEKTABLE};
        EXPECT_TRUE(blocks.types == order);
        EXPECT_EQ(blocks.paddingLength, 4096u);
        EXPECT_EQ(blocks.seekPoints, 100u);
        EXPECT_EQ(blocks.realSeekPoints, 1u);
        EXPECT_EQ(blocks.comments, c.withTrack ? introComments : std::vector<std::string>{});
        EXPECT_TRUE(DecodeCheckingMd5(path).md5Matches);
    }
}

// A file of the writer read back: every field it writes comes back, the comment and the year
// (DATE) too. Text outside ASCII comes back as it went in.
TEST(FlacWriter, TagsReadBackAsTheFieldTableMapsThem)
{
    ScratchDir dir("flac_readback");
    const std::string path = dir.File("tags.flac");
    CAudioTrackInfo track;
    track.SetTrackTitle("Caf\xe9");
    track.SetArtist("Artist");
    track.SetAlbumTitle("Album");
    track.SetComment("a comment");
    track.SetContentType("Jazz");
    track.SetTrackPosition("4");
    track.SetYear("1999");
    track.SetCopyright("(c)");
    track.SetPublisher("Label");
    track.SetTrackExt("Live");
    track.SetEncodedBy("me");
    track.SetISRC("X1");
    {
        CAudioFlacWriter writer;
        ASSERT_TRUE(writer.Open(path.c_str(), 2, 44100, 5, &track));
        CAudioFrame frame;
        FillFrame(frame, MakeSignal(2, 16, 44100, 1000), 2, 16, 44100);
        ASSERT_TRUE(writer.WriteFrame(&frame));
    } // the destructor finishes the stream when Close was not called
    EXPECT_TRUE(DecodeCheckingMd5(path).md5Matches);

    CAudioFlacReader reader;
    ASSERT_TRUE(reader.Open(path.c_str()));
    CAudioTrackInfo back;
    ASSERT_TRUE(reader.CopyTrackInfo(back));
    EXPECT_STREQ(back.GetArtist(), "Artist");
    EXPECT_STREQ(back.GetAlbumTitle(), "Album");
    EXPECT_STREQ(back.GetContentType(), "Jazz");
    EXPECT_STREQ(back.GetTrackPosition(), "4");
    EXPECT_STREQ(back.GetCopyright(), "(c)");
    EXPECT_STREQ(back.GetPublisher(), "Label");
    EXPECT_STREQ(back.GetTrackExt(), "Live");
    EXPECT_STREQ(back.GetEncodedBy(), "me");
    EXPECT_STREQ(back.GetISRC(), "X1");
    EXPECT_STREQ(back.GetAlbumArtist(), "Artist");
    EXPECT_STREQ(back.GetComment(), "a comment");
    EXPECT_STREQ(back.GetYear(), "1999");
#ifdef _WIN32
    if (GetACP() == 1252)
#endif
    {
        EXPECT_STREQ(back.GetTrackTitle(), "Caf\xe9");
    }
}

// What the reader makes of every width libFLAC can store: 8-bit and 24-bit streams give
// frames of 1 and 3 bytes, other widths are scaled to the next whole byte, more than two
// channels give a channel count of 0.
TEST(FlacReader, DeliversTheStreamsSampleWidth)
{
    struct Case {
        int channels, bits, frameChannels, frameBits, shift;
    };
    const Case cases[] = {
        {1, 8, 1, 8, 0},   {2, 16, 2, 16, 0}, {2, 24, 2, 24, 0},
        {1, 12, 1, 16, 4}, {2, 20, 2, 24, 4}, {3, 16, 0, 16, 0},
    };
    ScratchDir dir("flac_widths");
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.channels << " ch, " << c.bits << " bit");
        const std::string path = dir.File("in.flac");
        const std::vector<int32_t> signal = MakeSignal(c.channels, c.bits, 44100, 10000);
        ASSERT_TRUE(EncodeWithLibFlac(path, c.channels, c.bits, 44100, signal));
        CAudioFlacReader reader;
        ASSERT_TRUE(reader.Open(path.c_str()));
        const Decoded d = ReadAll(reader);
        EXPECT_EQ(d.channels, c.frameChannels);
        EXPECT_EQ(d.bits, c.frameBits);
        EXPECT_EQ(d.isSigned, 1);
        const int width = c.frameBits / 8;
        ASSERT_EQ(d.bytes.size(), signal.size() * width);
        for (size_t i = 0; i < signal.size(); ++i) {
            int32_t v = 0;
            for (int b = 0; b < width; ++b)
                v |= int32_t(d.bytes[i * width + b]) << (8 * b);
            v = int32_t(uint32_t(v) << (32 - 8 * width)) >> (32 - 8 * width);
            ASSERT_EQ(v, signal[i] * (1 << c.shift)) << "sample " << i;
        }
    }
}

// Comments are read without regard to the case of their names, trimmed, and taken as UTF-8
// when they are, byte for byte when they are not; the tag reader hands them on.
TEST(FlacReader, ReadsCommentsThroughTheTagReader)
{
    ScratchDir dir("flac_comments");
    const std::string path = dir.File("tags.flac");
    ASSERT_TRUE(EncodeWithLibFlac(path, 2, 16, 44100, MakeSignal(2, 16, 44100, 5000),
                                  {"title=Song", " GENRE = Rock ", "ARTIST=Caf\xc3\xa9",
                                   "ALBUM=Caf\xe9", "COMMENT=first", "DESCRIPTION=second",
                                   "YEAR=1999", "NOEQUALS", "ALBUMARTIST=Various", "TITLE="}));
    CAudioFlacInfoTagReader tags;
    ASSERT_TRUE(tags.Open(path.c_str()));
    EXPECT_EQ(tags.IsThisFormat(), 1);
    CAudioTrackInfo track;
    track.SetYear("2001");
    ASSERT_EQ(tags.ReadTags(track), 1);
    EXPECT_STREQ(track.GetTrackTitle(), "Song");
    EXPECT_STREQ(track.GetContentType(), "Rock");
    EXPECT_STREQ(track.GetAlbumTitle(), "Caf\xe9") << "bytes that are not UTF-8 stay as they are";
    EXPECT_STREQ(track.GetTrackExt(), "second");
    EXPECT_STREQ(track.GetComment(), "first");
    EXPECT_STREQ(track.GetYear(), "1999") << "the year of files written by earlier versions";
    EXPECT_STREQ(track.GetAlbumArtist(), "Various");
#ifdef _WIN32
    if (GetACP() == 1252)
#endif
    {
        EXPECT_STREQ(track.GetArtist(), "Caf\xe9");
    }
}

// The probe finds "fLaC" at the start or right after an ID3v2 tag, and leaves the file
// position alone; without an open file both operations fail with error 1.
TEST(FlacTagReader, RecognisesFlacAfterAnId3v2Tag)
{
    ScratchDir dir("flac_probe");
    const std::string flac = dir.File("plain.flac");
    ASSERT_TRUE(EncodeWithLibFlac(flac, 1, 16, 8000, MakeSignal(1, 16, 8000, 100)));
    std::vector<uint8_t> tagged = {'I', 'D', '3', 3, 0, 0, 0, 0, 1, 4}; // 132-byte tag body
    tagged.resize(tagged.size() + 132, 0);
    const std::vector<uint8_t> body = ReadBytes(flac);
    tagged.insert(tagged.end(), body.begin(), body.end());
    WriteBytes(dir.File("tagged.flac"), tagged);
    WriteBytes(dir.File("ogg.ogg"), {'O', 'g', 'g', 'S', 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});

    struct Case {
        const char* file;
        int expected;
    };
    for (const Case& c : {Case{"plain.flac", 1}, Case{"tagged.flac", 1}, Case{"ogg.ogg", 0}}) {
        SCOPED_TRACE(c.file);
        CAudioFlacInfoTagReader reader;
        ASSERT_TRUE(reader.Open(dir.File(c.file).c_str()));
        EXPECT_EQ(reader.IsThisFormat(), c.expected);
        EXPECT_EQ(reader.IsThisFormat(), c.expected) << "position restored";
    }

    CAudioFlacInfoTagReader closed;
    CAudioTrackInfo track;
    CString text;
    EXPECT_EQ(closed.IsThisFormat(), 0);
    EXPECT_EQ(closed.GetError(text), 1);
    EXPECT_EQ(closed.ReadTags(track), 0);
    EXPECT_EQ(closed.GetError(text), 1);
    EXPECT_FALSE(text.IsEmpty());
}

// Operations out of order: error 1 and no crash; an open object refuses a second Open.
TEST(FlacWriter, RefusesUseOutsideOpenAndClose)
{
    ScratchDir dir("flac_misuse");
    CString text;
    CAudioFlacWriter writer;
    CAudioFrame frame;
    EXPECT_FALSE(writer.BeginStream());
    EXPECT_FALSE(writer.WriteFrame(&frame));
    EXPECT_EQ(writer.GetError(text), 1);
    EXPECT_STREQ(text, "Writer not initialized");
    EXPECT_FALSE(writer.Close());
    EXPECT_EQ(writer.GetBytesWritten(), -1);

    ASSERT_TRUE(writer.Open(dir.File("a.flac").c_str(), 2, 44100, 5, nullptr));
    EXPECT_FALSE(writer.Open(dir.File("b.flac").c_str(), 2, 44100, 5, nullptr));
    EXPECT_FALSE(writer.WriteFrame(nullptr));
    EXPECT_EQ(writer.GetError(text), 8);
    EXPECT_STREQ(text, "NULL Frame");
    FillFrame(frame, std::vector<int32_t>(30, 0), 3, 16, 44100);
    frame.SetChannels(0);
    EXPECT_FALSE(writer.WriteFrame(&frame));
    EXPECT_EQ(writer.GetError(text), 8);
    EXPECT_STREQ(text, "Cannot convert number of channels");

    CFileStatus status;
    CAudioFlacWriter unwritable;
    EXPECT_FALSE(unwritable.Open(dir.File("no/such/folder/x.flac").c_str(), 2, 44100, 5, nullptr));
    // The file layer's own text, naming the file, not a codec text.
    EXPECT_EQ(unwritable.GetError(text), 5);
    EXPECT_NE(std::string(text).find("x.flac"), std::string::npos) << text;
    CAudioFlacWriter badRate;
    EXPECT_FALSE(badRate.Open(dir.File("c.flac").c_str(), 2, 0, 5, nullptr));
    EXPECT_EQ(badRate.GetError(text), 9);
    EXPECT_STREQ(text, "Problems storing Flac comment section");
    EXPECT_FALSE(CFile::GetStatus(dir.File("c.flac").c_str(), status)) << "left behind";

    CAudioFlacReader reader;
    EXPECT_FALSE(reader.ReadFrame(&frame));
    EXPECT_FALSE(reader.HasMoreData());
    EXPECT_EQ(reader.GetProgressPercent(), -1);
    EXPECT_FALSE(reader.Close());
    CAudioTrackInfo track;
    EXPECT_FALSE(reader.CopyTrackInfo(track));
}

namespace
{

// Offsets into a file written by EncodeWithLibFlac with comments: "fLaC", STREAMINFO (4 + 34),
// then the VORBIS_COMMENT block header at 42.
const size_t kCommentHeader = 42;

void PutBE24(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    b[at] = uint8_t(v >> 16), b[at + 1] = uint8_t(v >> 8), b[at + 2] = uint8_t(v);
}

void PutLE32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + i] = uint8_t(v >> (8 * i));
}

} // namespace

// Damaged files: Open fails with error 9, or reading ends (at the end of the stream, or with
// error 2) in a bounded number of steps. Nothing is read or written out of bounds: the native
// check build runs this under AddressSanitizer.
TEST(FlacReader, SurvivesDamagedFiles)
{
    ScratchDir dir("flac_damaged");
    const std::string good = dir.File("good.flac");
    ASSERT_TRUE(EncodeWithLibFlac(good, 2, 16, 44100, MakeSignal(2, 16, 44100, 30000),
                                  {"TITLE=x", "ARTIST=y"}));
    const std::vector<uint8_t> bytes = ReadBytes(good);
    ASSERT_EQ(bytes[kCommentHeader] & 0x7F, 4) << "VORBIS_COMMENT expected after STREAMINFO";
    const size_t vendorLength =
        size_t(bytes[kCommentHeader + 4]) | size_t(bytes[kCommentHeader + 5]) << 8;
    const size_t countAt = kCommentHeader + 4 + 4 + vendorLength;
    const std::string ogg = dir.File("oggflac.oga");
    ASSERT_TRUE(EncodeWithLibFlac(ogg, 2, 16, 44100, MakeSignal(2, 16, 44100, 1000), {}, true));

    // ReadFails: the audio ends before the length STREAMINFO gives, which is no whole output.
    enum Outcome { OpenFails, ReadsToEnd, ReadFails, RateRefused };
    struct Case {
        const char* name;
        std::vector<uint8_t> data;
        Outcome outcome;
    };
    std::vector<Case> cases;
    auto mutated = [&](auto change) {
        std::vector<uint8_t> b = bytes;
        change(b);
        return b;
    };
    cases.push_back({"empty", {}, OpenFails});
    cases.push_back({"magic only", {'f', 'L', 'a', 'C'}, OpenFails});
    cases.push_back({"cut in STREAMINFO", {bytes.begin(), bytes.begin() + 20}, OpenFails});
    cases.push_back({"text file", std::vector<uint8_t>(5000, 'a'), OpenFails});
    cases.push_back({"Ogg FLAC", ReadBytes(ogg), OpenFails});
    cases.push_back(
        {"cut in the comments", {bytes.begin(), bytes.begin() + countAt + 2}, ReadsToEnd});
    cases.push_back({"cut in the first frame", {bytes.begin(), bytes.begin() + 8300}, ReadFails});
    cases.push_back({"cut in half", {bytes.begin(), bytes.begin() + bytes.size() / 2}, ReadFails});
    cases.push_back({"sample rate 0", mutated([](auto& b) {
                         b[18] = 0, b[19] = 0, b[20] &= 0x0F; // 20 bits of rate at byte 18
                     }),
                     RateRefused});
    cases.push_back({"frames overwritten", mutated([](auto& b) {
                         for (size_t i = b.size() / 3; i < b.size() / 3 + 3000; ++i)
                             b[i] = uint8_t(i * 7);
                     }),
                     ReadsToEnd});
    cases.push_back({"comment block longer than the file",
                     mutated([](auto& b) { PutBE24(b, kCommentHeader + 1, 0xFFFFFF); }),
                     ReadsToEnd});
    cases.push_back({"comment block shorter than its content",
                     mutated([](auto& b) { PutBE24(b, kCommentHeader + 1, 12); }), ReadsToEnd});
    cases.push_back({"huge comment count",
                     mutated([&](auto& b) { PutLE32(b, countAt, 0xFFFFFFFF); }), ReadsToEnd});
    cases.push_back({"huge comment length",
                     mutated([&](auto& b) { PutLE32(b, countAt + 4, 0xFFFFFFF0); }), ReadsToEnd});
    cases.push_back({"huge vendor length",
                     mutated([](auto& b) { PutLE32(b, kCommentHeader + 4, 0x7FFFFFFF); }),
                     ReadsToEnd});

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = dir.File("bad.flac");
        WriteBytes(path, c.data);
        CAudioFlacReader reader;
        CString text;
        if (c.outcome == OpenFails) {
            EXPECT_FALSE(reader.Open(path.c_str()));
            EXPECT_EQ(reader.GetError(text), 9);
            EXPECT_STREQ(text, "Flac reader init_file error");
            EXPECT_FALSE(reader.HasMoreData());
            continue;
        }
        if (c.outcome == RateRefused) {
            EXPECT_FALSE(reader.Open(path.c_str()));
            EXPECT_EQ(reader.GetError(text), 4);
            EXPECT_STREQ(text, "Flac stream with a sample rate of 0 Hz");
            continue;
        }
        if (!reader.Open(path.c_str())) {
            EXPECT_EQ(reader.GetError(text), 9);
            continue;
        }
        const Decoded d = ReadAll(reader, 10000);
        EXPECT_FALSE(reader.HasMoreData());
        if (c.outcome == ReadFails) {
            EXPECT_TRUE(d.failed);
        }
        if (d.failed) {
            EXPECT_EQ(d.error, 2);
            EXPECT_FALSE(d.errorText.IsEmpty());
        }
        CAudioTrackInfo track;
        EXPECT_TRUE(reader.CopyTrackInfo(track));
    }

    CAudioFlacReader missing;
    CString text;
    EXPECT_FALSE(missing.Open(dir.File("missing.flac").c_str()));
    EXPECT_EQ(missing.GetError(text), 3);
    EXPECT_STREQ(text, "Flac file not found or not accessible");
}
