// The CD-Text parser over replies built as a drive stores them in the lead-in.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "audio/cd/cd_text_parser.h"
#include "testing/simdrive/sim_disc.h"

using simdrive::SimBuildCdText;
using simdrive::SimCdTextBlock;

namespace {

// The READ TOC format 5 reply around the packs: data length, two reserved bytes.
std::vector<BYTE> Reply(const std::vector<uint8_t>& packs)
{
    std::vector<BYTE> r(4, 0);
    r.insert(r.end(), packs.begin(), packs.end());
    r[0] = static_cast<BYTE>((r.size() - 2) >> 8);
    r[1] = static_cast<BYTE>((r.size() - 2) & 0xFF);
    return r;
}

std::vector<uint8_t> Pack(uint8_t type, uint8_t track, uint8_t seq, uint8_t flags,
                          const char (&text)[13])
{
    std::vector<uint8_t> p(18, 0);
    p[0] = type, p[1] = track, p[2] = seq, p[3] = flags;
    std::memcpy(&p[4], text, 12);
    return p;
}

std::vector<uint8_t> Join(std::initializer_list<std::vector<uint8_t>> parts)
{
    std::vector<uint8_t> out;
    for (const auto& p : parts) out.insert(out.end(), p.begin(), p.end());
    return out;
}

SimCdTextBlock English()
{
    SimCdTextBlock b;
    b.items = {{0x80, {"An Album Title Longer Than One Pack", "Intro", "A Song", "Outro"}},
               {0x81, {"The Band", "Singer", "", "Choir"}},
               {0x83, {"", "", "Composer Two", ""}},
               {0x87, {"Rock", "", "", ""}}};
    return b;
}

struct Expect {
    int entry;
    const char* title;
    const char* performer;
    const char* composer;
};

TEST(CDTextParser, ParsesRepliesAsTheDriveGivesThem)
{
    SimCdTextBlock dbcs = English();
    dbcs.block = 1;
    dbcs.doubleByte = true;
    SimCdTextBlock second = English();
    second.block = 1;
    second.items = {{0x80, {"Zweites", "Eins", "Zwei", "Drei"}}};
    std::vector<uint8_t> english = SimBuildCdText({English()});
    std::vector<uint8_t> brokenSequence = english;
    brokenSequence[6 * 18 + 2] = 42;  // the 7th pack is out of sequence

    struct Case {
        const char* name;
        std::vector<uint8_t> packs;
        int result;
        std::vector<Expect> expect;
    };
    const std::vector<Expect> all = {{0, "An Album Title Longer Than One Pack", "The Band", ""},
                                     {1, "Intro", "Singer", ""},
                                     {2, "A Song", "", "Composer Two"},
                                     {3, "Outro", "Choir", ""}};
    const Case cases[] = {
        {"short titles share packs",
         Join({Pack(0x80, 0, 0, 0, "Album\0Song O"), Pack(0x80, 1, 1, 0, "ne\0Song Two\0")}), 2,
         {{0, "Album", "", ""}, {1, "Song One", "", ""}, {2, "Song Two", "", ""}}},
        {"strings over several packs, genre passed over", english, int(english.size() / 18), all},
        {"bad CRCs are not examined", SimBuildCdText({English()}, 2), int(english.size() / 18),
         all},
        {"a second single-byte block is passed over", SimBuildCdText({English(), second}),
         int(SimBuildCdText({English(), second}).size() / 18), all},
        {"a double-byte block makes it all unusable", SimBuildCdText({English(), dbcs}), 0, {}},
        {"first pack out of sequence",
         Join({Pack(0x80, 0, 1, 0, "Album\0\0\0\0\0\0\0")}), 0, {{0, "", "", ""}}},
        {"a sequence break keeps the packs before it", brokenSequence, 6,
         {{0, "An Album Title Longer Than One Pack", "The Band", ""}, {3, "Outro", "", ""}}},
        {"a string not ended in its last pack is not stored",
         Join({Pack(0x80, 0, 0, 0, "Unended titl")}), 1, {{0, "", "", ""}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CAudioCDTextParser parser;
        std::vector<BYTE> reply = Reply(c.packs);
        EXPECT_EQ(parser.Parse(reply.data(), static_cast<int>(reply.size())), c.result);
        for (const Expect& e : c.expect) {
            SCOPED_TRACE(e.entry);
            CString s;
            parser.GetTitle(s, e.entry);
            EXPECT_STREQ(s, e.title);
            if (c.result == 0) continue;
            parser.GetPerformer(s, e.entry);
            EXPECT_STREQ(s, e.performer);
            parser.GetComposer(s, e.entry);
            EXPECT_STREQ(s, e.composer);
            parser.GetGenre(s, e.entry);
            EXPECT_STREQ(s, "");
        }
    }
}

TEST(CDTextParser, StaysWithinItsLimits)
{
    // A 300-character title is cut at 255; a track number of 255 addresses no entry; a length
    // field beyond the buffer reads only the buffer.
    SimCdTextBlock b;
    b.items = {{0x80, {std::string(300, 'x'), "One"}}};
    std::vector<uint8_t> packs = SimBuildCdText({b});
    packs.insert(packs.end(), packs.end() - 18, packs.end());
    size_t last = packs.size() - 18;
    packs[last + 1] = 255;
    packs[last + 2] = static_cast<uint8_t>(packs[last - 18 + 2] + 1);
    std::vector<BYTE> reply = Reply(packs);
    reply[0] = 0xFF, reply[1] = 0xFF;
    CAudioCDTextParser parser;
    EXPECT_EQ(parser.Parse(reply.data(), static_cast<int>(reply.size())), int(packs.size() / 18));
    CString s;
    parser.GetTitle(s, 0);
    EXPECT_STREQ(s, std::string(255, 'x').c_str());
    parser.GetTitle(s, 1);
    EXPECT_STREQ(s, "One");
    parser.GetTitle(s, 255);
    EXPECT_STREQ(s, "");
    EXPECT_EQ(parser.Parse(reply.data(), 3), 0);
}

}  // namespace
