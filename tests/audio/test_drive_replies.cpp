// The drive's replies decoded: the simulated drive's own answers, then cut and hostile ones
// that must never be read past their size.
#include "audio/drive/drive_replies.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "testing/simdrive/sim_drive.h"

namespace
{

using C = CDriveReplyCodes;

std::vector<uint8_t> Ask(std::vector<uint8_t> cdb, size_t allocation)
{
    simdrive::SimDisc disc;
    simdrive::SimSession session;
    session.tracks = {{1, true, 0}, {2, true, 22500}};
    session.leadOutLba = 40000;
    disc.sessions = {session};
    simdrive::SimDrive drive;
    std::vector<uint8_t> reply(allocation, 0);
    cdb.resize(12, 0);
    EXPECT_EQ(drive.Execute(disc.ToText(), cdb.data(), 10, reply.data(), reply.size()).status,
              simdrive::kStatusGood);
    return reply;
}

} // namespace

TEST(DriveReplies, TheDrivesOwnAnswers)
{
    char text[64];
    const std::vector<uint8_t> inquiry = Ask({0x12, 0, 0, 0, 64}, 100);
    drive_replies::InquiryText(inquiry.data(), inquiry.size(), text, sizeof text);
    EXPECT_STREQ(text, "SONORIA  SIMULATED CDROM ");

    const std::vector<uint8_t> caps = Ask({0x5A, 0, 0x2A, 0, 0, 0, 0, 0, 255}, 255);
    uint32_t bits = 0;
    int loading = -1, buffer = -1, speeds[64];
    ASSERT_TRUE(drive_replies::CapabilitiesPage(caps.data(), caps.size(), &bits, &loading,
                                                &buffer, speeds));
    EXPECT_EQ(bits, C::CAP_READ_CDR | C::CAP_READ_CDRW | C::CAP_READ_METHOD2 |
                        C::CAP_AUDIO_PLAY | C::CAP_MODE2_FORM1 | C::CAP_MODE2_FORM2 |
                        C::CAP_MULTISESSION | C::CAP_ISRC);
    EXPECT_EQ(loading, 1); // tray
    EXPECT_EQ(buffer, 2048);
    EXPECT_EQ(speeds[0], 0) << "a drive that writes nothing has no write speeds";

    const std::vector<uint8_t> info = Ask({0x51, 0, 0, 0, 0, 0, 0, 0, 0x20}, 256);
    uint32_t disc = 0;
    int sessions = 0, lastTrack = 0;
    ASSERT_TRUE(drive_replies::DiscInformation(info.data(), info.size(), &disc, &sessions,
                                               &lastTrack));
    EXPECT_EQ(disc, C::DISC_COMPLETE | C::SESSION_COMPLETE | C::DISC_NOT_ERASABLE |
                        C::DISC_CD_ROM | (1u << C::FORMAT_STATE_SHIFT));
    EXPECT_EQ(sessions, 1);
    EXPECT_EQ(lastTrack, 2);

    const std::vector<uint8_t> capacity = Ask({0x25}, 36);
    EXPECT_EQ(drive_replies::Capacity(capacity.data(), capacity.size()), 39999u);
}

TEST(DriveReplies, ShortAndHostileReplies)
{
    // Too short for what is asked: nothing is decoded and nothing read past the end.
    const std::vector<uint8_t> tiny(3, 0xFF);
    char text[26];
    std::memset(text, 'x', sizeof text);
    drive_replies::InquiryText(tiny.data(), tiny.size(), text, sizeof text);
    EXPECT_STREQ(text, "");
    EXPECT_EQ(drive_replies::Interface(tiny.data(), tiny.size()), 0u);
    EXPECT_EQ(drive_replies::Capacity(tiny.data(), tiny.size()), 0u);
    EXPECT_FALSE(drive_replies::CapabilitiesPage(tiny.data(), tiny.size(), nullptr, nullptr,
                                                 nullptr, nullptr));
    EXPECT_FALSE(
        drive_replies::DiscInformation(tiny.data(), tiny.size(), nullptr, nullptr, nullptr));

    // CD-Text lengths: the header's length plus 2, the largest without overflow.
    struct Case {
        uint8_t hi, lo;
        int expected;
    } const lengths[] = {{0, 2, 4}, {0, 1, 3}, {0x0F, 0xFE, 4096}, {0xFF, 0xFF, 65537}};
    for (const Case& c : lengths) {
        const uint8_t header[4] = {c.hi, c.lo, 1, 1};
        EXPECT_EQ(drive_replies::CdTextLength(header, 4), c.expected)
            << int(c.hi) << " " << int(c.lo);
    }
    EXPECT_EQ(drive_replies::CdTextLength(tiny.data(), 1), 0);

    // A page that claims 65535 write speed descriptors but holds two: two speeds are read.
    std::vector<uint8_t> page(8 + 32 + 8, 0);
    page[8 + 30] = 0xFF;
    page[8 + 31] = 0xFF;
    page[8 + 32 + 2] = 0x1B, page[8 + 32 + 3] = 0x90;
    page[8 + 36 + 2] = 0x06, page[8 + 36 + 3] = 0xE4;
    int speeds[64];
    ASSERT_TRUE(drive_replies::CapabilitiesPage(page.data(), page.size(), nullptr, nullptr,
                                                nullptr, speeds));
    EXPECT_EQ(speeds[0], 7056);
    EXPECT_EQ(speeds[1], 1764);
    EXPECT_EQ(speeds[2], 0);

    // Without descriptors, the steps up to a huge maximum stop at 63 and the terminator.
    std::vector<uint8_t> maxOnly(8 + 32, 0);
    maxOnly[8 + 18] = 0xFF;
    maxOnly[8 + 19] = 0xFF;
    ASSERT_TRUE(drive_replies::CapabilitiesPage(maxOnly.data(), maxOnly.size(), nullptr, nullptr,
                                                nullptr, speeds));
    EXPECT_EQ(speeds[0], 176);
    EXPECT_GT(speeds[62], 0);
    EXPECT_EQ(speeds[63], 0);
}
