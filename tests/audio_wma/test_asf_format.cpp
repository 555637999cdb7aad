// The ASF container code of our wmvcore.dll: header round trip with every attribute type, and
// data packets, well-formed and broken.
#include "runtime/wmvcore/asf_format.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Utf16(const std::u16string& s)
{
    std::vector<uint8_t> v;
    for (char16_t c : s)
        v.push_back(c & 0xFF), v.push_back(static_cast<uint8_t>(c >> 8));
    v.push_back(0), v.push_back(0);
    return v;
}

asf::Header SampleHeader()
{
    asf::Header h;
    h.packetCount = 3;
    h.playDuration = 15000000;
    h.packetSize = 100;
    h.hasAudio = true;
    h.audioStream = 1;
    h.audio.formatTag = 0x161;
    h.audio.channels = 2;
    h.audio.sampleRate = 44100;
    h.audio.blockAlign = 72;
    h.audio.extra = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
    h.attributes = {
        {u"Title", asf::kString, Utf16(u"A title")},
        {u"WM/Track", asf::kDword, {2, 0, 0, 0}},
        {u"Is_Protected", asf::kBool, {1, 0, 0, 0}},
        {u"WM/Count", asf::kWord, {7, 0}},
        {u"WM/Big", asf::kQword, {1, 2, 3, 4, 5, 6, 7, 8}},
        {u"WM/Blob", asf::kBinary, {9, 8, 7}},
        {u"WM/Genre", asf::kString, Utf16(u"Jazz")},
    };
    return h;
}

} // namespace

TEST(AsfFormat, HeaderRoundTripKeepsFormatAndEveryAttributeType)
{
    const asf::Header h = SampleHeader();
    const std::vector<uint8_t> bytes = asf::BuildHeader(h);
    ASSERT_GT(bytes.size(), asf::kDataObjectHeaderSize);
    asf::Header back;
    ASSERT_TRUE(asf::ParseHeader(bytes.data(), bytes.size(), back));
    EXPECT_EQ(back.headerObjectSize, bytes.size() - asf::kDataObjectHeaderSize);
    EXPECT_EQ(back.playDuration, h.playDuration);
    EXPECT_EQ(back.packetCount, h.packetCount);
    EXPECT_EQ(back.packetSize, h.packetSize);
    ASSERT_TRUE(back.hasAudio);
    EXPECT_EQ(back.audioStream, 1);
    EXPECT_EQ(back.audio.sampleRate, 44100u);
    EXPECT_EQ(back.audio.extra, h.audio.extra);
    ASSERT_EQ(back.attributes.size(), h.attributes.size());
    for (const asf::Attribute& a : h.attributes) {
        SCOPED_TRACE(std::string(a.name.begin(), a.name.end()));
        bool found = false;
        for (const asf::Attribute& b : back.attributes) {
            if (b.name == a.name) {
                found = true;
                EXPECT_EQ(b.type, a.type);
                EXPECT_EQ(b.value, a.value);
            }
        }
        EXPECT_TRUE(found);
    }
    // Any cut of the header object fails cleanly.
    for (size_t cut : {size_t(0), size_t(16), size_t(30), bytes.size() / 2, bytes.size() - 51})
        EXPECT_FALSE(asf::ParseHeader(bytes.data(), cut, back)) << cut;
}

TEST(AsfFormat, PacketsCarryWholeObjectsAndRejectBrokenFraming)
{
    const std::vector<uint8_t> object = {1, 2, 3, 4, 5};
    std::vector<uint8_t> packet;
    ASSERT_TRUE(asf::BuildPacket(64, 1, 7, 1234, 46, object.data(), object.size(), packet));
    ASSERT_EQ(packet.size(), 64u);
    std::vector<asf::Payload> seen;
    ASSERT_TRUE(asf::ParsePacket(packet.data(), packet.size(),
                                 [&](const asf::Payload& p) { seen.push_back(p); }));
    ASSERT_EQ(seen.size(), 1u);
    EXPECT_EQ(seen[0].streamNumber, 1);
    EXPECT_EQ(seen[0].objectNumber, 7u);
    EXPECT_EQ(seen[0].presentationMs, 1234u);
    EXPECT_EQ(std::vector<uint8_t>(seen[0].data, seen[0].data + seen[0].size), object);
    EXPECT_FALSE(asf::BuildPacket(30, 1, 0, 0, 0, object.data(), object.size(), packet));

    const struct {
        const char* why;
        std::vector<uint8_t> bytes;
    } broken[] = {
        {"empty", {}},
        {"undefined error correction length type", {0xE2, 0, 0, 0x10, 0x5D}},
        // Packet length 2 lies inside the packet header, padding 5 beyond it.
        {"packet length inside the header",
         {0x82, 0, 0, 0x28, 0x5D, 2, 5, 0, 0, 0, 0, 0, 0, 0x81, 0, 0, 0, 0, 0, 8}},
        {"replicated data past the end",
         {0x82, 0, 0, 0x10, 0x5D, 0, 0, 0, 0, 0, 0, 0, 0, 0x81, 0, 0, 0, 0, 0, 200, 1, 2}},
        {"short replicated data", {0x82, 0, 0, 0x10, 0x5D, 0, 0, 0, 0, 0, 0, 0, 0, 0x81, 0, 0,
                                   0, 0, 0, 4, 1, 2, 3, 4, 9}},
    };
    for (const auto& b : broken) {
        SCOPED_TRACE(b.why);
        int payloads = 0;
        EXPECT_FALSE(asf::ParsePacket(b.bytes.data(), b.bytes.size(),
                                      [&](const asf::Payload&) { ++payloads; }));
        EXPECT_EQ(payloads, 0);
    }
}

TEST(AsfFormat, AssemblerJoinsFragmentsAndDropsGaps)
{
    const uint8_t bytes[] = {10, 11, 12, 13, 14, 15};
    auto part = [&](uint32_t number, uint32_t offset, size_t size) {
        asf::Payload p;
        p.objectNumber = number;
        p.offset = offset;
        p.objectSize = 6;
        p.data = bytes + offset;
        p.size = size;
        return p;
    };
    asf::ObjectAssembler a;
    std::vector<uint8_t> out;
    EXPECT_FALSE(a.Add(part(1, 0, 2), out));
    EXPECT_FALSE(a.Add(part(1, 2, 2), out));
    ASSERT_TRUE(a.Add(part(1, 4, 2), out));
    EXPECT_EQ(out, std::vector<uint8_t>(bytes, bytes + 6));
    // A lost middle fragment loses the object; the next object starts afresh.
    EXPECT_FALSE(a.Add(part(2, 0, 2), out));
    EXPECT_FALSE(a.Add(part(2, 4, 2), out));
    EXPECT_TRUE(a.Add(part(3, 0, 6), out));
}

TEST(AsfFormat, PictureValuesAreTakenOnlyWhenEveryLengthFits)
{
    // Type 3, 2 bytes of data, "a" and "" as texts, the data.
    const std::vector<uint8_t> good = {3, 2, 0, 0, 0, 'a', 0, 0, 0, 0, 0, 0xAB, 0xCD};
    asf::Picture p;
    ASSERT_TRUE(asf::ParsePicture(good.data(), good.size(), p));
    EXPECT_EQ(p.type, 3);
    EXPECT_EQ(p.mimeType, (std::vector<uint8_t>{'a', 0, 0, 0}));
    EXPECT_EQ(p.description, (std::vector<uint8_t>{0, 0}));
    EXPECT_EQ(p.data, (std::vector<uint8_t>{0xAB, 0xCD}));

    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
    } const bad[] = {
        {"empty", {}},
        {"cut in the length", {3, 2, 0}},
        {"data longer than the value", {3, 3, 0, 0, 0, 'a', 0, 0, 0, 0, 0, 0xAB, 0xCD}},
        {"huge data length", {3, 0xFF, 0xFF, 0xFF, 0xFF, 'a', 0, 0, 0, 0, 0, 0xAB, 0xCD}},
        {"description without terminator", {3, 0, 0, 0, 0, 'a', 0, 0, 0, 'b', 0}},
        {"odd byte after the type", {3, 0, 0, 0, 0, 'a', 0, 0}},
    };
    for (const Case& c : bad) {
        SCOPED_TRACE(c.name);
        EXPECT_FALSE(asf::ParsePicture(c.bytes.data(), c.bytes.size(), p));
    }
}
