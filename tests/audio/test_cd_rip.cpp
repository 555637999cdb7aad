// A batch rips every track of a simulated disc to WAV through the rip engine, with any number
// of jobs at once and while other users of the drive come and go, and a disc with an
// unreadable sector fails only the job that meets it. The program runs these once over ASPI
// and once, in a prefix of its own, over pass-through (SONORIA_TEST_CD_TRANSPORT), because
// the process's drive table keeps the transport of its first enumeration.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "testing/rip_batch.h"
#include "testing/settings_guard.h"
#include "audio/cd/audio_cd.h"
#include "audio/formats/wav/wav_reader.h"
#include "foundation/settings/app_cfg.h"
#include "rip/rip_task.h"
#include "rip/rip_thread.h"
#include "rip/rip_thread_list.h"
#include "tests/audio/cd_test_support.h"

using simdrive::SimDisc;

namespace {

std::string ScratchPath(const char* name)
{
    char dir[MAX_PATH];
    GetTempPathA(sizeof dir, dir);
    return std::string(dir) + "sonoria_cdrip_" + std::to_string(GetCurrentProcessId()) + "_" +
           name;
}

bool FileExists(const std::string& path)
{
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The PCM of a WAV file, decoded by our own reader; empty when it cannot be read.
std::vector<uint8_t> DecodeWav(const std::string& path)
{
    CAudioWavReader reader;
    std::vector<uint8_t> pcm;
    if (!reader.Open(path.c_str()) || !reader.Prepare()) return pcm;
    while (reader.HasMoreData()) {
        CAudioFrame frame;
        if (!reader.ReadFrame(&frame)) break;
        uint32_t used = 0;
        const uint8_t* data = frame.GetData(used);
        pcm.insert(pcm.end(), data, data + used);
    }
    return pcm;
}

// Drives the batch as the progress window does, one start per tick, bounded in ticks so a
// job that never ends fails the test instead of hanging it.
using testing_rip::RunBatch;

// The transport this run of the program rips over.
Transport RipTransport()
{
    const char* name = std::getenv("SONORIA_TEST_CD_TRANSPORT");
    return name && std::strcmp(name, "passthrough") == 0 ? Transport::PassThrough
                                                         : Transport::Aspi;
}

// The process's drive table, enumerated over the run's transport: the one jobs open.
CDriveManager& RipDrives()
{
    if (RipTransport() == Transport::Aspi) return Drives(Transport::Aspi);
    Drives(Transport::PassThrough);  // the test's own table, for the drive's counters
    static CAudioCDManager manager(FALSE);
    return GetDriveTable();
}

class CDRipBatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (RipTransport() == Transport::PassThrough && !PassThroughAvailable())
            GTEST_SKIP() << "needs testing/simdrive/simdrive-wine";
        ASSERT_EQ(RipDrives().GetMode(), RipTransport() == Transport::Aspi
                                             ? CDriveManager::MODE_ASPI
                                             : CDriveManager::MODE_SPTI);
        CAppCfg& cfg = GetAppCfg();
        keep_ = std::make_unique<testing_settings::SettingsGuard>();
        cfg.SetForceASPI(RipTransport() == Transport::Aspi);
        cfg.SetSlowSpeedMode(FALSE);
        cfg.SetNumCDSectorsPerRead(16);
        cfg.SetCDReadBufSize(1);
        cfg.SetWavEnc_Channels(2);
        cfg.SetWavEnc_BitsPerSample(16);
        cfg.SetWavEnc_WriteInfoTags(FALSE);
    }
    void TearDown() override
    {
        keep_.reset();
        DeleteOutputs();
    }
    void DeleteOutputs()
    {
        for (const std::string& p : outputs_) DeleteFileA(p.c_str());
        outputs_.clear();
        ranges_.clear();
    }
    void AddTask(CRipThreadList& batch, const char* name, int first, int end)
    {
        std::string out = ScratchPath(name);
        outputs_.push_back(out);
        ranges_.push_back({first, end});
        batch.AddTask(new CRipTask(0, 1, first, end, 0, out.c_str()));
    }
    // Every job complete, each output the exact sectors of its range.
    void ExpectAllBitExact(CRipThreadList& batch)
    {
        ASSERT_EQ(batch.GetCount(), static_cast<int>(outputs_.size()));
        for (int i = 0; i < batch.GetCount(); ++i) {
            SCOPED_TRACE(outputs_[i]);
            CRipThread* job = batch.GetThread(i);
            ASSERT_EQ(job->GetState(), CRipThread::STATE_DONE) << job->GetErrorText();
            auto [first, end] = ranges_[i];
            EXPECT_TRUE(DecodeWav(outputs_[i]) == SectorBytes(first, end - first));
        }
    }
    // One WAV task per audio track of the inserted disc, read through CAudioCD as the
    // view does.
    void AddTracks(CRipThreadList& batch)
    {
        CAudioCD cd(&RipDrives(), 0);
        ASSERT_EQ(cd.ReadTOC(), 1);
        for (int n = 1; n <= cd.GetTrackCount(); ++n) {
            if (cd.GetTrackType(n) != CAudioCD::TRACK_AUDIO) continue;
            std::string out = ScratchPath(("track" + std::to_string(n) + ".wav").c_str());
            outputs_.push_back(out);
            ranges_.push_back({cd.GetTrackStartLBA(n), cd.GetTrackEndLBA(n)});
            batch.AddTask(new CRipTask(0, n, cd.GetTrackStartLBA(n), cd.GetTrackEndLBA(n), 0,
                                       out.c_str()));
        }
    }
    std::unique_ptr<testing_settings::SettingsGuard> keep_;
    std::vector<std::string> outputs_;
    std::vector<std::pair<int, int>> ranges_;
};

SimDisc RipDisc()
{
    SimDisc d = SmallAudioDisc();
    simdrive::SimSession s;
    // Tracks of several read steps each (446 sectors fill one 1 MiB step), a data track last.
    s.tracks = {{1, true, 0}, {2, true, 1000}, {3, true, 1777}, {4, true, 3001}, {5, false, 3600}};
    s.leadOutLba = 4000;
    d.sessions = {s};
    return d;
}

TEST_F(CDRipBatch, RipsEveryTrackAndATrackRangeBitForBitAtAnyConcurrency)
{
    InsertDisc(RipDisc());
    const int processors = static_cast<int>(std::thread::hardware_concurrency());
    for (int jobs : {1, 2, 3, processors > 3 ? processors : 4}) {
        SCOPED_TRACE("jobs at once: " + std::to_string(jobs));
        CRipThreadList batch;
        batch.SetMaxConcurrent(jobs);
        AddTracks(batch);
        AddTask(batch, "tracks1to3.wav", 0, 3001);  // one job over several tracks
        RunBatch(batch, jobs);
        ExpectAllBitExact(batch);
        DeleteOutputs();
    }
}

// The player, the end-of-batch eject and a disc check each open the drive for a moment; the
// jobs that read through the same drive must not notice.
TEST_F(CDRipBatch, AnEjectOrLoadWhileTheBatchRunsLeavesItsJobsWhole)
{
    InsertDisc(RipDisc());
    for (bool eject : {true, false}) {
        SCOPED_TRACE(eject ? "eject" : "load");
        CRipThreadList batch;
        batch.SetMaxConcurrent(3);
        AddTracks(batch);
        while (batch.GetWaitingCount() > 0 && batch.GetRunningCount() < 3) batch.StartNext();
        // Once a job has read a first step, it holds the drive open.
        for (int tick = 0; tick < 3000 && batch.GetThread(0)->GetProgress() == 0 &&
                           batch.GetThread(0)->IsActive();
             ++tick)
            Sleep(5);
        {
            CAudioCD other(&RipDrives(), 0);
            ASSERT_TRUE(other.IsOpen()) << "error " << other.GetError();
            EXPECT_EQ(eject ? other.Eject() : other.Load(), 1);
        }
        RunBatch(batch);
        ExpectAllBitExact(batch);
        DeleteOutputs();
    }
}

TEST_F(CDRipBatch, AnUnreadableSectorFailsItsJobAloneWithItsAddress)
{
    SimDisc disc = RipDisc();
    disc.badRuns = {{1000 + 16 * 30 + 5, 1, -1}};  // in the 31st read of track 2
    InsertDisc(disc);
    CRipThreadList batch;
    batch.SetMaxConcurrent(4);
    AddTracks(batch);
    RunBatch(batch);
    for (int i = 0; i < batch.GetCount(); ++i) {
        SCOPED_TRACE(outputs_[i]);
        CRipThread* job = batch.GetThread(i);
        if (i == 1) {
            ASSERT_EQ(job->GetState(), CRipThread::STATE_ERROR);
            EXPECT_STREQ(job->GetErrorText(), "CD Reading Error at frame: 1480");
            EXPECT_FALSE(FileExists(outputs_[i]));
        } else {
            ASSERT_EQ(job->GetState(), CRipThread::STATE_DONE) << job->GetErrorText();
            auto [first, end] = ranges_[i];
            EXPECT_TRUE(DecodeWav(outputs_[i]) == SectorBytes(first, end - first));
        }
    }
    EXPECT_EQ(DriveStats(RipTransport()).readCdFailures % 3, 0u);
}

}  // namespace
