// The CDDB client's own table-of-contents readers and drive list against the simulated drive
// (run by testing/simdrive/simdrive-wine: D: is a CD-ROM drive whose disc is the image file).
#include "catalogue/cddb/cddb.h"
#include "testing/simdrive/sim_disc.h"

#include <gtest/gtest.h>

#include <string>

namespace
{
void InsertDisc(const simdrive::SimDisc& disc)
{
    char path[MAX_PATH] = {};
    const DWORD n = GetEnvironmentVariableA("SONORIA_SIMDRIVE_IMAGE", path, sizeof path);
    ASSERT_TRUE(n > 0 && n < sizeof path) << "run through simdrive-wine";
    const std::string text = disc.ToText();
    HANDLE f = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    WriteFile(f, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    SetEndOfFile(f);
    CloseHandle(f);
}

// Twelve audio tracks of uneven lengths.
simdrive::SimDisc TwelveTracks()
{
    simdrive::SimDisc disc;
    simdrive::SimSession session;
    int lba = 0;
    for (int t = 1; t <= 12; ++t) {
        session.tracks.push_back({t, true, lba});
        lba += 10000 + t * 1234;
    }
    session.leadOutLba = lba;
    disc.sessions.push_back(session);
    return disc;
}

std::string Text(const CCDDBTrackPositionArray& positions)
{
    std::string out;
    char buf[32];
    for (INT_PTR i = 0; i < positions.GetSize(); ++i) {
        std::snprintf(buf, sizeof buf, "%s%d:%02d.%02d", i ? " " : "", positions[i].m_nMinute,
                      positions[i].m_nSecond, positions[i].m_nFrame);
        out += buf;
    }
    return out;
}

// Positions as absolute times: LBA + 150 frames.
std::string Expected(const simdrive::SimDisc& disc)
{
    std::string out;
    char buf[32];
    int i = 0;
    auto put = [&](int lba) {
        const int f = lba + 150;
        std::snprintf(buf, sizeof buf, "%s%d:%02d.%02d", i++ ? " " : "", f / 4500, f / 75 % 60,
                      f % 75);
        out += buf;
    };
    for (const simdrive::SimTrack& t : disc.sessions[0].tracks)
        put(t.startLba);
    put(disc.sessions[0].leadOutLba);
    return out;
}
} // namespace

TEST(CddbDrive, DriveListHoldsTheSimulatedDrive)
{
    CCDDB client;
    CStringArray drives;
    drives.Add("stale");
    client.ListCdDrives(drives);
    ASSERT_EQ(drives.GetSize(), 1);
    EXPECT_EQ(drives[0], "D:");
}

TEST(CddbDrive, TableOfContentsThroughDeviceAndMediaControl)
{
    const simdrive::SimDisc disc = TwelveTracks();
    InsertDisc(disc);
    CCDDB client;
    CCDDBTrackPositionArray device, mci;
    client.ReadTocFromDevice(device, "D:");
    ASSERT_EQ(device.GetSize(), 13);
    EXPECT_EQ(Text(device), Expected(disc));
    client.ReadTocFromMci(mci, "D:");
    EXPECT_EQ(Text(mci), Expected(disc));
    EXPECT_EQ(client.GetDiscIdFromDevice("D:"), CCDDB::ComputeDiscId(device));
    EXPECT_EQ(client.GetDiscIdFromMci("D:"), CCDDB::ComputeDiscId(device));
}

TEST(CddbDrive, DataOnlyDiscHasNoAudioTrack)
{
    simdrive::SimDisc disc;
    simdrive::SimSession session;
    session.tracks.push_back({1, false, 0});
    session.leadOutLba = 30000;
    disc.sessions.push_back(session);
    InsertDisc(disc);
    CCDDB client;
    CCDDBTrackPositionArray positions;
    try {
        client.ReadTocFromMci(positions, "D:");
        FAIL() << "a data disc gave a table of contents";
    } catch (CCDDBException* e) {
        EXPECT_EQ(e->m_dwError, 0x80040000u | CDDB_E_NO_AUDIO_TRACK);
        e->Delete();
    }
    // The device was closed: it opens again at once.
    InsertDisc(TwelveTracks());
    client.ReadTocFromMci(positions, "D:");
    EXPECT_EQ(positions.GetSize(), 13);
}

TEST(CddbDrive, MissingDriveIsASystemError)
{
    CCDDB client;
    CCDDBTrackPositionArray positions;
    try {
        client.ReadTocFromDevice(positions, "Q:");
        FAIL() << "read a drive that does not exist";
    } catch (CCDDBException* e) {
        EXPECT_EQ(e->m_dwError & 0xFFFF0000u, 0x80070000u);
        e->Delete();
    }
}
