// CAudioFrame: the sample codec, the conversions writers apply and resampling.
#include "audio/audio_frame.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

namespace
{

struct Format {
    int channels;
    uint32_t rate;
    int width;
    int isSigned;
    int order;
};

void SetFormat(CAudioFrame& f, const Format& fmt)
{
    f.SetChannels(fmt.channels);
    f.SetSampleRate(fmt.rate);
    f.SetBytesPerSample(fmt.width);
    f.SetSigned(fmt.isSigned);
    f.SetByteOrder(fmt.order);
}

// A 16-bit signed little-endian frame holding the given interleaved samples.
void Fill16(CAudioFrame& f, int channels, uint32_t rate, const std::vector<int>& samples)
{
    SetFormat(f, {channels, rate, 2, 1, 0});
    // One append: the frame grows to exactly the needed size on every call.
    std::vector<uint8_t> bytes;
    for (int s : samples) {
        bytes.push_back(static_cast<uint8_t>(s & 0xFF));
        bytes.push_back(static_cast<uint8_t>((s >> 8) & 0xFF));
    }
    f.Append(bytes.data(), static_cast<uint32_t>(bytes.size()));
}

std::vector<int> Samples16(const CAudioFrame& f)
{
    uint32_t used = 0;
    const uint8_t* p = f.GetData(used);
    std::vector<int> out;
    for (uint32_t i = 0; i + 1 < used; i += 2)
        out.push_back(static_cast<int16_t>(p[i] | (p[i + 1] << 8)));
    return out;
}

std::vector<uint8_t> Bytes(const CAudioFrame& f)
{
    uint32_t used = 0;
    const uint8_t* p = f.GetData(used);
    return p ? std::vector<uint8_t>(p, p + used) : std::vector<uint8_t>();
}

} // namespace

TEST(AudioFrame, ReadSampleDecodesEveryWidthAndFlag)
{
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        int isSigned, order;
        int expected;
    };
    // 24-bit expectations worked out by hand from b0 + 255 b1 + 65535 b2 scaled by
    // 65535 / 16777215 and truncated.
    const Case cases[] = {
        {"u8 midpoint", {128}, 0, 0, 0},
        {"u8 zero", {0}, 0, 0, -32768},
        {"u8 top", {255}, 0, 0, 32512},
        {"s8 -128", {0x80}, 1, 0, -32768},
        {"s8 -1", {0xFF}, 1, 0, -256},
        {"s8 127", {0x7F}, 1, 0, 32512},
        {"s16 -1", {0xFF, 0xFF}, 1, 0, -1},
        {"s16 little 01 00", {0x01, 0x00}, 1, 0, 1},
        {"s16 big 01 00", {0x01, 0x00}, 1, 1, 256},
        {"s16 big 80 00", {0x80, 0x00}, 1, 1, -32768},
        {"u16 midpoint", {0x00, 0x80}, 0, 0, 0},
        {"u16 zero", {0x00, 0x00}, 0, 0, -32768},
        {"s24 0x010000", {0x00, 0x00, 0x01}, 1, 0, 255},
        {"s24 0x010000 big", {0x01, 0x00, 0x00}, 1, 1, 255},
        {"s24 0x000100 (weight 255)", {0x00, 0x01, 0x00}, 1, 0, 0},
        {"s24 0x123456", {0x56, 0x34, 0x12}, 1, 0, 4659},
        {"s24 0x7FFFFF", {0xFF, 0xFF, 0x7F}, 1, 0, 32766},
        {"s24 -1", {0xFF, 0xFF, 0xFF}, 1, 0, -3},
        {"s24 most negative stays negative", {0x00, 0x00, 0x80}, 1, 0, -32768},
        {"u24 top", {0xFF, 0xFF, 0xFF}, 0, 0, 32765},
        {"u24 0x800000", {0x00, 0x00, 0x80}, 0, 0, -1},
        {"width 4 reads 0", {1, 2, 3, 4}, 1, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int width = static_cast<int>(c.bytes.size());
        EXPECT_EQ(CAudioFrame::ReadSample(c.bytes.data(), 0, 0, 1, width, c.isSigned, c.order),
                  c.expected);
    }
}

TEST(AudioFrame, WriteSampleEncodesWithoutClamping)
{
    struct Case {
        const char* name;
        int value, width, isSigned, order;
        bool ok;
        std::vector<uint8_t> expected;
    };
    const Case cases[] = {
        {"u8 -32768", -32768, 1, 0, 0, true, {0}},
        {"u8 32767", 32767, 1, 0, 0, true, {255}},
        {"u8 0", 0, 1, 0, 0, true, {128}},
        {"s8 -1 shifts arithmetically", -1, 1, 1, 0, true, {0xFF}},
        {"s16 -2 little", -2, 2, 1, 0, true, {0xFE, 0xFF}},
        {"s16 -2 big", -2, 2, 1, 1, true, {0xFF, 0xFE}},
        {"u16 0", 0, 2, 0, 0, true, {0x00, 0x80}},
        {"s16 70000 keeps the low bits", 70000, 2, 1, 0, true, {0x70, 0x11}},
        {"24 bits are not written", 1234, 3, 1, 0, false, {0xAA, 0xAA, 0xAA}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint8_t> buf(c.expected.size(), 0xAA);
        EXPECT_EQ(
            CAudioFrame::WriteSample(buf.data(), 0, 0, 1, c.width, c.isSigned, c.order, c.value),
            c.ok);
        EXPECT_EQ(buf, c.expected);
    }
    // Interleaving: sample 1 of channel 1 in a stereo 16-bit buffer lies at byte 6.
    std::vector<uint8_t> stereo(8, 0);
    CAudioFrame::WriteSample(stereo.data(), 1, 1, 2, 2, 1, 0, 0x0102);
    EXPECT_EQ(stereo, (std::vector<uint8_t>{0, 0, 0, 0, 0, 0, 0x02, 0x01}));
}

TEST(AudioFrame, AppendAndSetCapacityResizeExactly)
{
    CAudioFrame f;
    EXPECT_TRUE(f.IsEmpty());
    uint32_t used = 99;
    EXPECT_EQ(f.GetData(used), nullptr);
    EXPECT_EQ(used, 0u);

    const uint8_t a[] = {1, 2, 3};
    EXPECT_EQ(f.Append(a, 3), 3u);
    EXPECT_EQ(f.Append(a, 2), 5u);
    EXPECT_EQ(f.GetCapacity(), 5u);
    EXPECT_EQ(Bytes(f), (std::vector<uint8_t>{1, 2, 3, 1, 2}));

    f.SetCapacity(2);
    EXPECT_EQ(f.GetUsedBytes(), 2u);
    EXPECT_EQ(Bytes(f), (std::vector<uint8_t>{1, 2}));
    f.SetCapacity(10);
    EXPECT_EQ(f.GetCapacity(), 10u);
    EXPECT_EQ(f.Append(a, 1), 3u);
    EXPECT_EQ(f.GetCapacity(), 10u);

    CAudioFrame sized(64);
    EXPECT_EQ(sized.GetCapacity(), 64u);
    EXPECT_TRUE(sized.IsEmpty());
}

TEST(AudioFrame, AppendSpaceGrowsLikeAppendAndTruncateDropsTheTail)
{
    CAudioFrame f;
    const uint8_t a[] = {1, 2, 3};
    f.Append(a, 3);
    uint8_t* space = f.AppendSpace(2);
    ASSERT_NE(space, nullptr);
    space[0] = 7;
    space[1] = 8;
    EXPECT_EQ(Bytes(f), (std::vector<uint8_t>{1, 2, 3, 7, 8}));
    EXPECT_EQ(f.GetCapacity(), 5u);
    // Nothing to append, or more than a frame can count: null, and the frame is unchanged.
    EXPECT_EQ(f.AppendSpace(0), nullptr);
    EXPECT_EQ(f.AppendSpace(0xFFFFFFFFu - 2), nullptr);
    EXPECT_EQ(f.GetUsedBytes(), 5u);

    f.Truncate(9);
    EXPECT_EQ(f.GetUsedBytes(), 5u);
    f.Truncate(1);
    EXPECT_EQ(Bytes(f), (std::vector<uint8_t>{1}));
    // The buffer stays for the next appends.
    EXPECT_EQ(f.GetCapacity(), 5u);
    EXPECT_NE(f.AppendSpace(4), nullptr);
    EXPECT_EQ(f.GetCapacity(), 5u);
}

TEST(AudioFrame, ConvertChannelsFollowsTheClassTable)
{
    struct Case {
        const char* name;
        int channels;
        std::vector<int> in;
        int target;
        int result;
        int outChannels;
        std::vector<int> out;
    };
    const Case cases[] = {
        {"stereo to joint stereo is a no-op", 2, {1, 2}, 3, 1, 2, {1, 2}},
        {"mono to mono", 1, {5}, 1, 1, 1, {5}},
        {"empty stereo to mono", 2, {}, 1, 0, 2, {}},
        {"empty mono to stereo", 1, {}, 2, 0, 1, {}},
        {"channels 0 to mono", 0, {1, 2}, 1, 0, 0, {1, 2}},
        {"channels 0 to stereo", 0, {1, 2}, 2, 0, 0, {1, 2}},
        {"channels 0 to joint stereo", 0, {1, 2}, 3, 0, 0, {1, 2}},
        {"six channels to stereo", 6, {1, 2}, 2, 0, 6, {1, 2}},
        {"stereo to four channels", 2, {1, 2}, 4, 0, 2, {1, 2}},
        {"negative count", -1, {1, 2}, 1, 0, -1, {1, 2}},
        {"down-mix truncates toward zero", 2, {3, -4, 100, 201, -101, 0}, 1, 1, 1, {0, 150, -50}},
        {"up-mix duplicates", 1, {7, -8}, 2, 1, 2, {7, 7, -8, -8}},
        {"mono to joint stereo up-mixes", 1, {9}, 3, 1, 2, {9, 9}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CAudioFrame f;
        Fill16(f, c.channels, 44100, c.in);
        EXPECT_EQ(f.ConvertChannels(c.target), c.result);
        EXPECT_EQ(f.GetChannels(), c.outChannels);
        EXPECT_EQ(Samples16(f), c.out);
        EXPECT_EQ(f.GetCapacity(), f.GetUsedBytes()) << "conversion allocates the result size";
    }
}

TEST(AudioFrame, ChannelConversionKeepsEightAndTwentyFourBitAudio)
{
    CAudioFrame u8;
    SetFormat(u8, {2, 8000, 1, 0, 0});
    const uint8_t pcm[] = {0, 255, 128, 128, 200, 100};
    u8.Append(pcm, sizeof pcm);
    ASSERT_EQ(u8.ConvertChannels(1), 1);
    // (-32768 + 32512) / 2 = -128 -> byte 127; (18432 - 7168) / 2 = 5632 -> 22 + 128.
    EXPECT_EQ(Bytes(u8), (std::vector<uint8_t>{127, 128, 150}));

    CAudioFrame s24;
    SetFormat(s24, {1, 48000, 3, 1, 0});
    const uint8_t pcm24[] = {1, 2, 3, 4, 5, 6};
    s24.Append(pcm24, sizeof pcm24);
    ASSERT_EQ(s24.ConvertChannels(2), 1);
    EXPECT_EQ(Bytes(s24), (std::vector<uint8_t>{1, 2, 3, 1, 2, 3, 4, 5, 6, 4, 5, 6}));
    // The codec cannot write 24 bits; the down-mix averages the integers themselves.
    CAudioFrame wide;
    SetFormat(wide, {2, 48000, 3, 1, 0});
    const uint8_t pairs24[] = {0x01, 0x02, 0x03, 0x04, 0x05, 0x06,  // 197121, 394500
                               0xFF, 0xFF, 0xFF, 0xFE, 0xFF, 0xFF,  // -1, -2
                               0x00, 0x00, 0x80, 0xFF, 0xFF, 0x7F}; // -8388608, 8388607
    wide.Append(pairs24, sizeof pairs24);
    ASSERT_EQ(wide.ConvertChannels(1), 1);
    EXPECT_EQ(wide.GetChannels(), 1);
    EXPECT_EQ(Bytes(wide), (std::vector<uint8_t>{0x82, 0x83, 0x04, 0xFF, 0xFF, 0xFF, 0, 0, 0}));

    CAudioFrame wideBig;
    SetFormat(wideBig, {2, 48000, 3, 0, 1});
    const uint8_t unsignedBig[] = {0x80, 0x00, 0x10, 0x80, 0x00, 0x20};
    wideBig.Append(unsignedBig, sizeof unsignedBig);
    ASSERT_EQ(wideBig.ConvertChannels(1), 1);
    EXPECT_EQ(Bytes(wideBig), (std::vector<uint8_t>{0x80, 0x00, 0x18}));
}

TEST(AudioFrame, ConvertSampleFormat)
{
    CAudioFrame empty;
    SetFormat(empty, {2, 44100, 2, 1, 0});
    EXPECT_EQ(empty.ConvertSampleFormat(1, 0, 0), 0);

    CAudioFrame same;
    Fill16(same, 2, 44100, {1, -1});
    uint32_t used = 0;
    const uint8_t* before = same.GetData(used);
    EXPECT_EQ(same.ConvertSampleFormat(2, 1, 0), 1);
    EXPECT_EQ(same.GetData(used), before) << "own format keeps the buffer";

    CAudioFrame to8;
    Fill16(to8, 2, 44100, {0, 32767, -32768, -1, 255, 256});
    ASSERT_EQ(to8.ConvertSampleFormat(1, 0, 0), 1);
    EXPECT_EQ(to8.GetBitsPerSample(), 8);
    EXPECT_EQ(to8.GetSigned(), 0);
    EXPECT_EQ(Bytes(to8), (std::vector<uint8_t>{128, 255, 0, 127, 128, 129}));
    EXPECT_EQ(to8.GetCapacity(), 6u);

    ASSERT_EQ(to8.ConvertSampleFormat(2, 1, 1), 1);
    EXPECT_EQ(to8.GetByteOrder(), 1);
    EXPECT_EQ(Bytes(to8), (std::vector<uint8_t>{0x00, 0x00, 0x7F, 0x00, 0x80, 0x00, 0xFF, 0x00,
                                                0x00, 0x00, 0x01, 0x00}));

    // 24-bit to 16-bit lands near 1/256 of the value; a trailing partial sample is dropped.
    CAudioFrame s24;
    SetFormat(s24, {1, 48000, 3, 1, 0});
    const uint8_t pcm24[] = {0x56, 0x34, 0x12, 0x00, 0x00, 0xF0, 0x11};
    s24.Append(pcm24, sizeof pcm24);
    ASSERT_EQ(s24.ConvertSampleFormat(2, 1, 0), 1);
    std::vector<int> got = Samples16(s24);
    ASSERT_EQ(got.size(), 2u);
    EXPECT_NEAR(got[0], 0x123456 / 256, 20);
    EXPECT_NEAR(got[1], -0x100000 / 256, 20);
}

TEST(AudioFrame, ApplyGain)
{
    struct Case {
        const char* name;
        std::vector<int> in;
        double gain;
        int result;
        std::vector<int> out;
    };
    const Case cases[] = {
        {"empty frame", {}, 1.0, 0, {}},
        {"unity leaves samples", {5, -5}, 1.0, 1, {5, -5}},
        {"negative factor refused", {5, -5}, -0.5, 0, {5, -5}},
        {"not a number refused", {5, -5}, std::nan(""), 0, {5, -5}},
        {"infinity refused", {5, -5}, INFINITY, 0, {5, -5}},
        {"zero silences", {5, -5}, 0.0, 1, {0, 0}},
        {"limits are 32766",
         {20000, -20000, 32767, -32768},
         2.0,
         1,
         {32766, -32766, 32766, -32766}},
        {"truncates toward zero", {-3, 3, 7}, 0.5, 1, {-1, 1, 3}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CAudioFrame f;
        Fill16(f, 2, 44100, c.in);
        EXPECT_EQ(f.ApplyGain(c.gain), c.result);
        EXPECT_EQ(Samples16(f), c.out);
    }

    CAudioFrame u8;
    SetFormat(u8, {1, 8000, 1, 0, 0});
    const uint8_t pcm[] = {0, 128, 160, 255};
    u8.Append(pcm, sizeof pcm);
    ASSERT_EQ(u8.ApplyGain(0.5), 1);
    EXPECT_EQ(Bytes(u8), (std::vector<uint8_t>{64, 128, 144, 191}));

    CAudioFrame s24;
    SetFormat(s24, {1, 48000, 3, 1, 0});
    const uint8_t pcm24[] = {0x56, 0x34, 0x12};
    s24.Append(pcm24, sizeof pcm24);
    EXPECT_EQ(s24.ApplyGain(0.5), 1);
    EXPECT_EQ(Bytes(s24), (std::vector<uint8_t>{0x56, 0x34, 0x12}));
}

TEST(AudioFrame, ResampleHalvingKeepsFirstSamplesAndLength)
{
    std::vector<int> in;
    for (int i = 0; i < 1000; ++i) {
        in.push_back(i * 10);
        in.push_back(-i * 5 - 1);
    }
    CAudioFrame f;
    Fill16(f, 2, 44100, in);
    ASSERT_EQ(f.Resample(22050), 1);
    EXPECT_EQ(f.GetSampleRate(), 22050u);
    std::vector<int> out = Samples16(f);
    ASSERT_EQ(out.size(), 1000u);
    EXPECT_EQ(out[0], 0);
    EXPECT_EQ(out[1], -1);
    // A straight line comes back as the line at p = 2i (up to the rounded constants).
    for (int i = 1; i < 500; ++i) {
        EXPECT_NEAR(out[2 * i], 20 * i, 1) << i;
        EXPECT_NEAR(out[2 * i + 1], -10 * i - 1, 1) << i;
    }
    EXPECT_EQ(f.GetCapacity(), f.GetUsedBytes());
}

TEST(AudioFrame, ResampleKeepsConstantsAndLocality)
{
    struct Case {
        uint32_t from, to;
        int channels;
        uint32_t nIn, nOut;
    };
    const Case cases[] = {
        {44100, 48000, 2, 441, 480}, {48000, 44100, 1, 480, 441}, {48000, 44100, 2, 48000, 44100},
        {8000, 44100, 1, 80, 441},   {44100, 8000, 2, 441, 80},   {44100, 22050, 1, 7, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.from) + " -> " + std::to_string(c.to));
        for (int level : {12345, -12345, 0}) {
            CAudioFrame f;
            Fill16(f, c.channels, c.from, std::vector<int>(c.nIn * c.channels, level));
            ASSERT_EQ(f.Resample(c.to), 1);
            EXPECT_EQ(Samples16(f), std::vector<int>(c.nOut * c.channels, level));
        }
    }

    // A single spike only reaches outputs whose 4-point window covers it.
    const uint32_t nIn = 200, spike = 100;
    std::vector<int> in(nIn, 0);
    in[spike] = 10000;
    CAudioFrame f;
    Fill16(f, 1, 44100, in);
    ASSERT_EQ(f.Resample(48000), 1);
    std::vector<int> out = Samples16(f);
    ASSERT_EQ(out.size(), 217u);
    for (uint32_t i = 0; i < out.size(); ++i) {
        double p = static_cast<double>(i) * nIn / out.size();
        if (std::fabs(p - spike) > 2.0) {
            EXPECT_EQ(out[i], 0) << "output " << i << " at " << p;
        }
        if (std::fabs(p - spike) < 0.05) {
            EXPECT_NEAR(out[i], 10000, 300) << "output " << i << " at " << p;
        }
    }
}

TEST(AudioFrame, ResampleOfShortFramesStaysInsideTheBuffers)
{
    struct Case {
        const char* name;
        std::vector<int> in;
        uint32_t from, to;
        std::vector<int> out;
    };
    const Case cases[] = {
        {"no samples", {}, 44100, 48000, {}},
        {"one sample, up", {7}, 8000, 44100, {7, 7, 7, 7, 7}},
        {"one sample, down to nothing", {7}, 48000, 44100, {}},
        {"three samples, flat", {-9, -9, -9}, 22050, 44100, {-9, -9, -9, -9, -9, -9}},
        {"two samples, halved", {100, 200}, 44100, 22050, {100}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CAudioFrame f;
        Fill16(f, 1, c.from, c.in);
        ASSERT_EQ(f.Resample(c.to), 1);
        EXPECT_EQ(f.GetSampleRate(), c.to);
        EXPECT_EQ(Samples16(f), c.out);
    }
}
