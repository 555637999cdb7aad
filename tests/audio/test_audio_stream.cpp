// CAudioAbstractReader / CAudioAbstractWriter: error keeping and the writers' frame conversion.
#include "audio/audio_stream.h"

#include <gtest/gtest.h>

#include <vector>

namespace
{

class IdleReader : public CAudioAbstractReader
{
public:
    bool IsInitialized() override { return false; }
    bool HasMoreData() override { return false; }
    int GetProgressPercent() override { return -1; }
    bool Prepare() override { return false; }
    bool ReadFrame(CAudioFrame*) override { return false; }
    bool Close() override { return false; }
    uint32_t GetSampleRate() override { return 0; }
};

// A writer whose output is the converted frame itself.
class ConvertingWriter : public CAudioAbstractWriter
{
public:
    ConvertingWriter(int channels, uint32_t rate, int bits, ConvertOrder order)
        : m_nChannels(channels), m_nRate(rate), m_nBits(bits), m_order(order)
    {
    }
    bool IsInitialized() override { return true; }
    bool BeginStream() override { return true; }
    bool WriteFrame(CAudioFrame* pFrame) override
    {
        return ConvertFrameForWriting(pFrame, m_nChannels, m_nRate, m_nBits, m_order);
    }
    bool Close() override { return true; }
    int64_t GetBytesWritten() override { return -1; }

    using CAudioAbstractWriter::ConvertOrder;

private:
    int m_nChannels;
    uint32_t m_nRate;
    int m_nBits;
    ConvertOrder m_order;
};

using Order = ConvertingWriter::ConvertOrder;

struct FrameSpec {
    int channels;
    uint32_t rate;
    int bits, isSigned, order;
    std::vector<uint8_t> bytes;
};

void Fill(CAudioFrame& f, const FrameSpec& s)
{
    f.SetChannels(s.channels);
    f.SetSampleRate(s.rate);
    f.SetBitsPerSample(static_cast<uint8_t>(s.bits));
    f.SetSigned(s.isSigned);
    f.SetByteOrder(s.order);
    if (!s.bytes.empty())
        f.Append(s.bytes.data(), static_cast<uint32_t>(s.bytes.size()));
}

} // namespace

TEST(AudioStream, ErrorStartsClearAndNullTextIsEmpty)
{
    IdleReader reader;
    CString text = "stale";
    EXPECT_EQ(reader.GetError(text), 0);
    EXPECT_EQ(text, "");
    reader.SetError(AUDIO_ERROR_READ, "CD Reading Error at frame: 7");
    EXPECT_EQ(reader.GetError(text), 2);
    EXPECT_EQ(text, "CD Reading Error at frame: 7");

    ConvertingWriter writer(2, 44100, 16, Order::BitsChannelsRate);
    writer.SetError(AUDIO_ERROR_ENCODER, "Output buffer overrun");
    writer.SetError(AUDIO_ERROR_CREATE_FILE, nullptr);
    EXPECT_EQ(writer.GetError(text), 5);
    EXPECT_EQ(text, "");
}

TEST(AudioStream, WriterConversionReachesTheWriterFormat)
{
    struct Case {
        const char* name;
        FrameSpec in;
        int channels;
        uint32_t rate;
        int bits;
        Order order;
        bool ok;
        int error;
        const char* text;
        FrameSpec out;
    };
    const Case cases[] = {
        {"own format passes untouched",
         {2, 44100, 16, 1, 0, {1, 2, 3, 4}},
         2,
         44100,
         16,
         Order::BitsChannelsRate,
         true,
         0,
         "",
         {2, 44100, 16, 1, 0, {1, 2, 3, 4}}},
        {"mono 8-bit widened then duplicated",
         {1, 8000, 8, 0, 0, {128, 255}},
         2,
         8000,
         16,
         Order::BitsChannelsRate,
         true,
         0,
         "",
         {2, 8000, 16, 1, 0, {0, 0, 0, 0, 0x00, 0x7F, 0x00, 0x7F}}},
        {"channels first gives the same audio",
         {1, 8000, 8, 0, 0, {128, 255}},
         2,
         8000,
         16,
         Order::ChannelsBitsRate,
         true,
         0,
         "",
         {2, 8000, 16, 1, 0, {0, 0, 0, 0, 0x00, 0x7F, 0x00, 0x7F}}},
        {"16-bit big-endian to 8-bit unsigned mono",
         {2, 8000, 16, 1, 1, {0x10, 0x00, 0x30, 0x00}},
         1,
         8000,
         8,
         Order::BitsChannelsRate,
         true,
         0,
         "",
         {1, 8000, 8, 0, 0, {0x20 + 128}}},
        {"joint stereo leaves stereo as it is",
         {2, 8000, 16, 1, 0, {1, 0, 2, 0}},
         3,
         8000,
         16,
         Order::ChannelsBitsRate,
         true,
         0,
         "",
         {2, 8000, 16, 1, 0, {1, 0, 2, 0}}},
        {"rate doubled",
         {1, 22050, 16, 1, 0, {5, 0, 5, 0}},
         1,
         44100,
         16,
         Order::BitsChannelsRate,
         true,
         0,
         "",
         {1, 44100, 16, 1, 0, {5, 0, 5, 0, 5, 0, 5, 0}}},
        {"empty frame is not refused",
         {2, 8000, 8, 0, 0, {}},
         1,
         44100,
         16,
         Order::BitsChannelsRate,
         true,
         0,
         "",
         {2, 8000, 8, 0, 0, {}}},
        {"unknown channel count",
         {0, 44100, 16, 1, 0, {1, 2, 3, 4}},
         2,
         44100,
         16,
         Order::ChannelsBitsRate,
         false,
         8,
         "Cannot convert number of channels",
         {0, 44100, 16, 1, 0, {1, 2, 3, 4}}},
        {"sample width 0",
         {2, 44100, 4, 1, 0, {1, 2, 3, 4}},
         2,
         44100,
         16,
         Order::BitsChannelsRate,
         false,
         8,
         "Wrong bits per sample",
         {2, 44100, 4, 1, 0, {1, 2, 3, 4}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ConvertingWriter writer(c.channels, c.rate, c.bits, c.order);
        CAudioFrame frame;
        Fill(frame, c.in);
        uint32_t used = 0;
        const uint8_t* before = frame.GetData(used);
        EXPECT_EQ(writer.WriteFrame(&frame), c.ok);
        CString text;
        EXPECT_EQ(writer.GetError(text), c.error);
        EXPECT_EQ(text, c.text);

        const uint8_t* data = frame.GetData(used);
        EXPECT_EQ(frame.GetChannels(), c.out.channels);
        EXPECT_EQ(frame.GetSampleRate(), c.out.rate);
        EXPECT_EQ(frame.GetBitsPerSample(), c.out.bits);
        EXPECT_EQ(frame.GetSigned(), c.out.isSigned);
        EXPECT_EQ(frame.GetByteOrder(), c.out.order);
        EXPECT_EQ(data ? std::vector<uint8_t>(data, data + used) : std::vector<uint8_t>(),
                  c.out.bytes);
        if (c.in.bytes == c.out.bytes && c.in.bits == c.out.bits) {
            EXPECT_EQ(data, before) << "an unchanged frame keeps its buffer";
        }
    }

    ConvertingWriter writer(2, 44100, 16, Order::BitsChannelsRate);
    EXPECT_FALSE(writer.WriteFrame(nullptr));
    CString text;
    EXPECT_EQ(writer.GetError(text), 8);
    EXPECT_EQ(text, "NULL Frame");
}
