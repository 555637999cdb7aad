// Drive enumeration, opened CDs (TOC, disc id, CD-Text, sector reads, eject) and the drive
// mutex, over the simulated drive through both transports.
#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <thread>

#include "audio/cd/audio_cd.h"
#include "audio/cd/cd_text_parser.h"
#include "tests/audio/cd_test_support.h"

using simdrive::SimDisc;
using simdrive::SimSession;

namespace {

// The CDDB disc id written from the disc description: digit sums of each track's start in
// whole seconds (with the 2-second lead-in), playing time up to the last lead-out, count.
uint32_t IndependentDiscId(const SimDisc& d)
{
    unsigned sum = 0, count = 0;
    int first = -1;
    for (const SimSession& s : d.sessions) {
        for (const simdrive::SimTrack& t : s.tracks) {
            if (first < 0) first = t.startLba;
            for (unsigned sec = (t.startLba + 150) / 75; sec; sec /= 10) sum += sec % 10;
            ++count;
        }
    }
    unsigned length = (d.LastLeadOut() + 150) / 75 - (first + 150) / 75;
    return (sum % 255) << 24 | length << 8 | count;
}

SimDisc DiscOf(std::vector<std::vector<std::pair<int, bool>>> sessions, std::vector<int> leadOuts)
{
    SimDisc d = SmallAudioDisc();
    d.sessions.clear();
    int number = 1;
    for (size_t i = 0; i < sessions.size(); ++i) {
        SimSession s;
        for (auto [lba, audio] : sessions[i]) s.tracks.push_back({number++, audio, lba});
        s.leadOutLba = leadOuts[i];
        d.sessions.push_back(s);
    }
    return d;
}

class AudioCDTransport : public ::testing::TestWithParam<Transport> {
protected:
    void SetUp() override
    {
        if (GetParam() == Transport::PassThrough && !PassThroughAvailable())
            GTEST_SKIP() << "needs testing/simdrive/simdrive-wine";
        drives_ = &Drives(GetParam());
        ASSERT_EQ(drives_->GetDriveCount(), 1);
    }
    CDriveManager* drives_ = nullptr;
};

TEST_P(AudioCDTransport, EnumeratesTheDriveWithVendorAndModel)
{
    InsertDisc(SmallAudioDisc());
    if (GetParam() == Transport::Aspi) {
        EXPECT_EQ(drives_->GetMode(), CDriveManager::MODE_ASPI);
        EXPECT_EQ(drives_->GetAspiMask(), 0x1F);
        CAudioCDManager manager(FALSE);  // the first enumeration's choice stands
        ASSERT_TRUE(manager.IsInitialized());
        EXPECT_EQ(manager.GetDriveCount(), 1);
        CString name;
        ASSERT_TRUE(manager.GetDriveName(0, name));
        EXPECT_STREQ(name, "D: SIMDISC  VIRTUAL CD-ROM   - [HA: 0, Target: 1, Lun 0]");
        EXPECT_FALSE(manager.GetDriveName(1, name));
        EXPECT_EQ(manager.GetError(), CAudioCDManager::ERR_BAD_INDEX);
        EXPECT_EQ(manager.OpenCD(1), nullptr);
        EXPECT_EQ(manager.GetError(), CAudioCDManager::ERR_BAD_INDEX);
    } else {
        EXPECT_EQ(drives_->GetMode(), CDriveManager::MODE_SPTI);
        EXPECT_STREQ(drives_->GetDriveName(0), "D: SIMDISC  VIRTUAL CD-ROM  ");
        EXPECT_STREQ(drives_->GetDrive(0)->m_path, "\\\\.\\D:");
    }
    EXPECT_EQ(drives_->GetDrive(0)->m_interface, 2);  // ATAPI
    DWORD caps = 0;
    int loading = 0;
    ASSERT_TRUE(drives_->OpenDrive(0));
    EXPECT_TRUE(drives_->QueryCapabilities(0, &caps, &loading, nullptr, nullptr));
    drives_->CloseDrive(0);
    EXPECT_EQ(caps, CDriveManager::CAP_READ_CDR | CDriveManager::CAP_READ_CDRW |
                        CDriveManager::CAP_READ_METHOD2 | CDriveManager::CAP_AUDIO_PLAY |
                        CDriveManager::CAP_MODE2_FORM1 | CDriveManager::CAP_MODE2_FORM2 |
                        CDriveManager::CAP_MULTISESSION | CDriveManager::CAP_ISRC);
    EXPECT_EQ(loading, 1);  // tray
}

TEST_P(AudioCDTransport, ReadsTocDiscIdAndCdTextThenEjects)
{
    SimDisc disc = TwoSessionDisc();
    InsertDisc(disc);
    ResetDriveStats(GetParam());
    CAudioCD cd(drives_, 0);
    ASSERT_TRUE(cd.IsOpen()) << "error " << cd.GetError();
    ASSERT_EQ(cd.ReadTOC(), 1);
    ASSERT_EQ(cd.GetTrackCount(), 3);
    struct Entry {
        int type, start, end, length;
    };
    // The last audio track ends at the first session's lead-out, not at the data track.
    const Entry expected[] = {{CAudioCD::TRACK_AUDIO, 0, 450, 450},
                              {CAudioCD::TRACK_AUDIO, 450, 900, 450},
                              {CAudioCD::TRACK_DATA, 12300, 15000, 2700}};
    for (int n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(cd.GetTrackType(n), expected[n - 1].type);
        EXPECT_EQ(cd.GetTrackStartLBA(n), expected[n - 1].start);
        EXPECT_EQ(cd.GetTrackEndLBA(n), expected[n - 1].end);
        EXPECT_EQ(cd.GetTrackLength(n), expected[n - 1].length);
    }
    EXPECT_EQ(cd.GetCDDBDiscId(), IndependentDiscId(disc));

    CAudioCDTextParser text;
    ASSERT_EQ(cd.ReadCDText(&text), 1);
    CString s;
    text.GetTitle(s, 0);
    EXPECT_STREQ(s, "Album");
    text.GetTitle(s, 3);
    EXPECT_STREQ(s, "Song Three");
    text.GetPerformer(s, 2);
    EXPECT_STREQ(s, "Singer B");
    text.GetComposer(s, 1);
    EXPECT_STREQ(s, "Writer");
    // A reply longer than the buffer fails after the header pass, reporting its length.
    BYTE small[64];
    int size = sizeof small;
    EXPECT_EQ(cd.ReadRawCDText(small, &size), 0);
    EXPECT_EQ(size, static_cast<int>(disc.cdText.size()) + 4);

    EXPECT_EQ(cd.Eject(), 1);
    EXPECT_EQ(DriveStats(GetParam()).ejects, 1u);
    EXPECT_EQ(cd.GetTrackCount(), -1);
    EXPECT_EQ(cd.GetError(), CAudioCD::ERR_NOT_OPEN);
}

TEST_P(AudioCDTransport, ReadsFirstAndLastSectorOfEveryTrackBitExact)
{
    SimDisc disc = SmallAudioDisc();
    InsertDisc(disc);
    CAudioCD cd(drives_, 0);
    ASSERT_EQ(cd.ReadTOC(), 1);
    std::vector<uint8_t> buffer(3 * simdrive::kSectorBytes);
    for (int n = 1; n <= cd.GetTrackCount(); ++n) {
        for (int lba : {cd.GetTrackStartLBA(n), cd.GetTrackEndLBA(n) - 3}) {
            SCOPED_TRACE(lba);
            ASSERT_TRUE(cd.ReadSectors(lba, 3, buffer.data(), simdrive::kSectorBytes, 0x10));
            EXPECT_TRUE(buffer == SectorBytes(lba, 3));
        }
    }
}

// The jobs of a batch each open the disc; one that ends must not end the others' access.
TEST_P(AudioCDTransport, ClosingOneOpenedCdLeavesTheOthersReading)
{
    InsertDisc(SmallAudioDisc());
    std::vector<uint8_t> buffer(2 * simdrive::kSectorBytes);
    auto first = std::make_unique<CAudioCD>(drives_, 0);
    CAudioCD second(drives_, 0);
    CAudioCD third(drives_, 0);
    ASSERT_TRUE(first->IsOpen() && second.IsOpen() && third.IsOpen());
    first.reset();
    ASSERT_TRUE(second.ReadSectors(10, 2, buffer.data(), simdrive::kSectorBytes, 0x10));
    EXPECT_TRUE(buffer == SectorBytes(10, 2));
    second.Close();
    ASSERT_TRUE(third.ReadSectors(20, 2, buffer.data(), simdrive::kSectorBytes, 0x10));
    EXPECT_TRUE(buffer == SectorBytes(20, 2));
    third.Close();
    // Opened again after every close: a fresh handle.
    CAudioCD again(drives_, 0);
    ASSERT_TRUE(again.ReadSectors(30, 2, buffer.data(), simdrive::kSectorBytes, 0x10));
}

TEST_P(AudioCDTransport, ReadsRetryThreeTimesBeforeFailing)
{
    struct Case {
        const char* name;
        int failures;  // of the bad run; -1: never reads
        bool ok;
        uint32_t commands;
    };
    const Case cases[] = {{"unreadable", -1, false, 3}, {"reads on the third try", 2, true, 3},
                          {"reads on the second try", 1, true, 2}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SimDisc disc = SmallAudioDisc();
        disc.badRuns = {{310, 2, c.failures}};
        InsertDisc(disc);
        ResetDriveStats(GetParam());
        CAudioCD cd(drives_, 0);
        std::vector<uint8_t> buffer(16 * simdrive::kSectorBytes);
        EXPECT_EQ(cd.ReadSectors(300, 16, buffer.data(), simdrive::kSectorBytes, 0x10), c.ok);
        EXPECT_EQ(cd.GetError(), c.ok ? CAudioCD::ERR_NONE : CAudioCD::ERR_READ);
        EXPECT_EQ(DriveStats(GetParam()).readCdCommands, c.commands);
        if (c.ok) {
            EXPECT_TRUE(buffer == SectorBytes(300, 16));
        }
    }
}

TEST_P(AudioCDTransport, ReadsDiscInformationAndCapacity)
{
    InsertDisc(TwoSessionDisc());
    CAudioCD cd(drives_, 0);
    DWORD info = 0;
    int sessions = 0, lastTrack = 0;
    ASSERT_TRUE(cd.ReadDiscInfo(&info, &sessions, &lastTrack)) << "error " << cd.GetError();
    EXPECT_EQ(info, CDriveManager::DISC_COMPLETE | CDriveManager::DISC_NOT_ERASABLE |
                        CDriveManager::SESSION_COMPLETE | CDriveManager::DISC_CD_ROM |
                        (1u << CDriveManager::FORMAT_STATE_SHIFT));
    EXPECT_EQ(sessions, 2);
    EXPECT_EQ(lastTrack, 3);
    EXPECT_TRUE(cd.ReadDiscInfo(nullptr, nullptr, nullptr));
    EXPECT_EQ(cd.GetCapacity(), 14999);
    cd.Close();
    EXPECT_FALSE(cd.ReadDiscInfo(&info, &sessions, &lastTrack));
    EXPECT_EQ(cd.GetError(), CAudioCD::ERR_NOT_OPEN);
    EXPECT_EQ(cd.GetCapacity(), -1);
}

// Concurrent jobs, the player and an eject each open the same drive; closing one must leave
// the others reading.
TEST_P(AudioCDTransport, OpenedCdsShareTheDriveAndOutliveEachOther)
{
    InsertDisc(SmallAudioDisc());
    std::vector<uint8_t> buffer(3 * simdrive::kSectorBytes);
    auto first = std::make_unique<CAudioCD>(drives_, 0);
    ASSERT_TRUE(first->IsOpen());
    {
        CAudioCD second(drives_, 0);
        ASSERT_TRUE(second.IsOpen());
        ASSERT_TRUE(second.ReadSectors(300, 3, buffer.data(), simdrive::kSectorBytes, 0x10));
    }
    ASSERT_TRUE(first->ReadSectors(310, 3, buffer.data(), simdrive::kSectorBytes, 0x10))
        << "error " << first->GetError();
    EXPECT_TRUE(buffer == SectorBytes(310, 3));
    auto third = std::make_unique<CAudioCD>(drives_, 0);
    first.reset();
    ASSERT_TRUE(third->ReadSectors(320, 3, buffer.data(), simdrive::kSectorBytes, 0x10))
        << "error " << third->GetError();
    EXPECT_TRUE(buffer == SectorBytes(320, 3));
    third->Close();
    third->Close();  // a second close gives nothing back twice
    if (GetParam() == Transport::PassThrough) {
        EXPECT_EQ(drives_->GetDrive(0)->GetOpenCount(), 0);
        EXPECT_EQ(drives_->GetDrive(0)->m_device, nullptr);
    }
}

INSTANTIATE_TEST_SUITE_P(Transports, AudioCDTransport,
                         ::testing::Values(Transport::Aspi, Transport::PassThrough),
                         [](const auto& info) {
                             return info.param == Transport::Aspi ? "Aspi" : "PassThrough";
                         });

TEST(AudioCDText, ADiscWithoutCdTextGivesNone)
{
    SimDisc disc = SmallAudioDisc();
    disc.cdText.clear();
    InsertDisc(disc);
    CAudioCD cd(&Drives(Transport::Aspi), 0);
    CAudioCDTextParser text;
    EXPECT_EQ(cd.ReadCDText(&text), 0);
    EXPECT_EQ(cd.ReadCDText(nullptr), -1);
    CString s;
    text.GetTitle(s, 0);
    EXPECT_STREQ(s, "");
}

TEST(AudioCDDiscId, FollowsTheCddbFormulaOnATableOfDiscs)
{
    std::vector<std::pair<int, bool>> ninetyNine;
    for (int i = 0; i < 99; ++i) ninetyNine.push_back({i * 3000, true});
    std::vector<std::pair<int, bool>> tenAudio;
    for (int i = 0; i < 10; ++i) tenAudio.push_back({i * 15000 + 33, true});
    struct Case {
        const char* name;
        SimDisc disc;
        int entries;
        uint32_t known;  // 0: only the independent computation
    };
    const Case cases[] = {
        {"three tracks", DiscOf({{{0, true}, {15000, true}, {30000, true}}}, {45000}), 3,
         201480195},
        {"ten audio tracks and a data session",
         DiscOf({tenAudio, {{163000, false}}}, {150000, 200000}), 11, 0},
        {"data track first", DiscOf({{{0, false}, {20000, true}, {41234, true}}}, {70000}), 3, 0},
        {"one long track", DiscOf({{{0, true}}}, {359999}), 1, 0},
        {"ninety-nine tracks", DiscOf({ninetyNine}, {99 * 3000}), 99, 0},
    };
    CDriveManager& drives = Drives(Transport::Aspi);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        InsertDisc(c.disc);
        CAudioCD cd(&drives, 0);
        ASSERT_EQ(cd.ReadTOC(), 1);
        EXPECT_EQ(cd.GetTrackCount(), c.entries);
        EXPECT_EQ(cd.GetCDDBDiscId(), IndependentDiscId(c.disc));
        if (c.known) {
            EXPECT_EQ(cd.GetCDDBDiscId(), c.known);
        }
    }
}

TEST(AudioCDMutex, CommandsWaitForTheNamedDriveMutex)
{
    EXPECT_STREQ(CAudioCD::MutexName(0), "CAudioCD_mutex_");
    EXPECT_STREQ(CAudioCD::MutexName(2), "CAudioCD_mutex_11");

    InsertDisc(SmallAudioDisc());
    CAudioCD cd(&Drives(Transport::Aspi), 0);
    ASSERT_TRUE(cd.IsOpen());
    ASSERT_EQ(cd.ReadTOC(), 1);
    // Another holder of drive 0's mutex (it could be another process): every command gives
    // up after its wait and reports the drive as not available.
    HANDLE held = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        HANDLE m = CreateMutexA(nullptr, FALSE, "CAudioCD_mutex_");
        WaitForSingleObject(m, INFINITE);
        SetEvent(held);
        WaitForSingleObject(release, INFINITE);
        ReleaseMutex(m);
        CloseHandle(m);
    });
    WaitForSingleObject(held, INFINITE);
    BYTE sector[simdrive::kSectorBytes];
    EXPECT_FALSE(cd.ReadSectors(0, 1, sector, sizeof sector, 0x10));
    EXPECT_EQ(cd.GetError(), CAudioCD::ERR_NOT_OPEN);
    EXPECT_EQ(cd.ReadTOC(), 0);
    EXPECT_EQ(cd.GetTrackCount(), -1);
    EXPECT_EQ(cd.Eject(), 0);
    EXPECT_EQ(cd.GetError(), CAudioCD::ERR_NOT_OPEN);
    SetEvent(release);
    holder.join();
    EXPECT_EQ(cd.ReadTOC(), 1);
    CloseHandle(held);
    CloseHandle(release);
}

TEST(AudioCDMutex, ACommandTimesOutWhileAnotherThreadRetriesARead)
{
    SimDisc disc = SmallAudioDisc();
    disc.badRuns = {{500, 1, -1}};
    // Slow reads keep the drive mutex held for about 6.5 s after the first failure: a
    // command that starts in the first 5 s of that still times out on a slow machine.
    disc.readDelayMs = 1500;
    InsertDisc(disc);
    ResetDriveStats(Transport::Aspi);
    CDriveManager& drives = Drives(Transport::Aspi);
    CAudioCD other(&drives, 0);
    ASSERT_TRUE(other.IsOpen());
    std::atomic<bool> firstResult{true};
    std::thread reader([&] {
        CAudioCD cd(&drives, 0);
        BYTE sector[simdrive::kSectorBytes];
        firstResult = cd.ReadSectors(500, 1, sector, sizeof sector, 0x10);
    });
    // Once the first attempt failed, the reader retries twice holding the drive mutex: far
    // longer than the 1000 ms another command waits for it.
    for (int tick = 0; tick < 3000 && DriveStats(Transport::Aspi).readCdFailures == 0; ++tick)
        Sleep(10);
    if (DriveStats(Transport::Aspi).readCdFailures == 0) {
        reader.join();
        FAIL() << "the reader's first attempt never failed";
    }
    BYTE sector[simdrive::kSectorBytes];
    EXPECT_FALSE(other.ReadSectors(0, 1, sector, sizeof sector, 0x10));
    EXPECT_EQ(other.GetError(), CAudioCD::ERR_NOT_OPEN);
    reader.join();
    EXPECT_FALSE(firstResult);
    EXPECT_EQ(DriveStats(Transport::Aspi).readCdFailures, 3u);
    EXPECT_TRUE(other.ReadSectors(0, 1, sector, sizeof sector, 0x10));
}

}  // namespace
