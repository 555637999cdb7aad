// The full table of contents parsed from the simulated drive's READ TOC replies.
#include <gtest/gtest.h>

#include <vector>

#include "audio/drive/toc.h"
#include "testing/simdrive/sim_drive.h"

using simdrive::SimDisc;
using simdrive::SimSession;

namespace {

std::vector<unsigned char> FullTocReply(const SimDisc& disc, int allocation = 1200)
{
    simdrive::SimDrive drive;
    std::vector<unsigned char> reply(allocation, 0);
    const uint8_t cdb[10] = {0x43, 0x02, 0x02, 0, 0, 0, 0, uint8_t(allocation >> 8),
                             uint8_t(allocation & 0xFF)};
    simdrive::SimReply r = drive.Execute(disc.ToText(), cdb, 10, reply.data(), reply.size());
    EXPECT_EQ(r.status, simdrive::kStatusGood);
    return reply;
}

TEST(FullToc, SessionsAndTracksFromTheDriveReply)
{
    SimDisc disc;
    SimSession audio, data;
    audio.tracks = {{1, true, 0}, {2, true, 22500}, {3, true, 40000}};
    audio.leadOutLba = 50000;
    data.tracks = {{4, false, 61400}};
    data.leadOutLba = 70000;
    disc.sessions = {audio, data};
    std::vector<unsigned char> reply = FullTocReply(disc);
    auto toc = CToc::ParseFullToc(reply.data(), static_cast<int>(reply.size()));
    ASSERT_EQ(toc->GetSessionCount(), 2);

    const CTocSession* first = toc->GetSession(0);
    ASSERT_EQ(first->GetTrackCount(), 3);
    EXPECT_EQ(first->GetStartFrames(), 0);
    EXPECT_EQ(first->GetLeadOutFrames(), 50150);
    EXPECT_EQ(first->m_firstTrack, 1);
    EXPECT_EQ(first->m_lastTrack, 3);
    struct Track {
        int start, end, audio;
    };
    const Track tracks[] = {{150, 22650, 1}, {22650, 40150, 1}, {40150, 50150, 1}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        const CTocTrack* t = first->GetTrack(i);
        EXPECT_EQ(t->m_number, i + 1);
        EXPECT_EQ(t->GetStartFrames(), tracks[i].start);
        EXPECT_EQ(t->GetEndFrames(), tracks[i].end);
        EXPECT_EQ(t->m_audio, tracks[i].audio);
        EXPECT_EQ(first->GetTrackLengthFrames(i), tracks[i].end - tracks[i].start);
    }
    EXPECT_EQ(first->GetTrackLengthFrames(3), 0);

    const CTocSession* second = toc->GetSession(1);
    ASSERT_EQ(second->GetTrackCount(), 1);
    EXPECT_EQ(second->GetStartFrames(), 61550);  // from the first session's B0 pointer
    EXPECT_EQ(second->m_discType, 0x20);
    EXPECT_EQ(second->GetTrack(0)->m_audio, 0);
    EXPECT_EQ(second->GetTrack(0)->GetStartFrames(), 61550);
    EXPECT_EQ(second->GetTrack(0)->GetEndFrames(), 70150);
}

TEST(FullToc, ShortAndTruncatedReplies)
{
    struct Case {
        const char* name;
        std::vector<unsigned char> reply;
        int sessions;
    };
    SimDisc disc;
    SimSession s;
    s.tracks = {{1, true, 0}, {2, true, 1000}};
    s.leadOutLba = 2000;
    disc.sessions = {s};
    std::vector<unsigned char> full = FullTocReply(disc);
    std::vector<unsigned char> lying = full;
    lying.resize(4 + 11 * 3 + 5);  // the length field claims more than there is
    const Case cases[] = {
        {"header only", {0, 2, 1, 1}, 0},
        {"no reply at all", {}, 0},
        {"length field beyond the buffer", lying, 1},
        {"tracks before any A0 are ignored",
         {0, 13, 1, 1, 1, 0x10, 0, 1, 0, 0, 0, 0, 0, 2, 0}, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto toc = CToc::ParseFullToc(c.reply.data(), static_cast<int>(c.reply.size()));
        EXPECT_EQ(toc->GetSessionCount(), c.sessions);
        if (c.sessions) {
            EXPECT_EQ(toc->GetSession(0)->GetTrackCount(), 0);
        }
    }
}

}  // namespace
