// A batch rips every track of a simulated disc to WAV through the rip engine, and a disc with
// an unreadable sector fails only the job that meets it.
#include <gtest/gtest.h>

#include <string>
#include <vector>

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
void RunBatch(CRipThreadList& batch)
{
    for (int tick = 0; tick < 6000 && batch.GetActiveCount() > 0; ++tick) {
        if (batch.GetWaitingCount() > 0) batch.StartNext();
        Sleep(10);
    }
    ASSERT_EQ(batch.GetActiveCount(), 0) << "the batch did not end";
}

class CDRipBatch : public ::testing::Test {
protected:
    void SetUp() override
    {
        Drives(Transport::Aspi);  // the process's drives are enumerated over ASPI
        CAppCfg& cfg = GetAppCfg();
        saved_ = {cfg.GetForceASPI(), cfg.GetSlowSpeedMode(), cfg.GetNumCDSectorsPerRead(),
                  cfg.GetCDReadBufSize(), cfg.GetWavEnc_Channels(),
                  cfg.GetWavEnc_BitsPerSample(), cfg.GetWavEnc_WriteInfoTags()};
        cfg.SetForceASPI(TRUE);
        cfg.SetSlowSpeedMode(FALSE);
        cfg.SetNumCDSectorsPerRead(16);
        cfg.SetCDReadBufSize(1);
        cfg.SetWavEnc_Channels(2);
        cfg.SetWavEnc_BitsPerSample(16);
        cfg.SetWavEnc_WriteInfoTags(FALSE);
    }
    void TearDown() override
    {
        CAppCfg& cfg = GetAppCfg();
        cfg.SetForceASPI(saved_[0]);
        cfg.SetSlowSpeedMode(saved_[1]);
        cfg.SetNumCDSectorsPerRead(saved_[2]);
        cfg.SetCDReadBufSize(saved_[3]);
        cfg.SetWavEnc_Channels(saved_[4]);
        cfg.SetWavEnc_BitsPerSample(saved_[5]);
        cfg.SetWavEnc_WriteInfoTags(saved_[6]);
        for (const std::string& p : outputs_) DeleteFileA(p.c_str());
    }
    // One WAV task per audio track of the inserted disc, read through CAudioCD as the
    // view does.
    void AddTracks(CRipThreadList& batch)
    {
        CAudioCD cd(&Drives(Transport::Aspi), 0);
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
    std::vector<int> saved_;
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

TEST_F(CDRipBatch, RipsEveryTrackConcurrentlyBitForBit)
{
    InsertDisc(RipDisc());
    CRipThreadList batch;
    batch.SetMaxConcurrent(3);
    AddTracks(batch);
    ASSERT_EQ(batch.GetCount(), 4);
    RunBatch(batch);
    for (int i = 0; i < batch.GetCount(); ++i) {
        SCOPED_TRACE(outputs_[i]);
        CRipThread* job = batch.GetThread(i);
        ASSERT_EQ(job->GetState(), CRipThread::STATE_DONE) << job->GetErrorText();
        auto [first, end] = ranges_[i];
        // Whole tracks, from their first sector to their last, gain 1.0.
        EXPECT_TRUE(DecodeWav(outputs_[i]) == SectorBytes(first, end - first));
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
    EXPECT_EQ(DriveStats(Transport::Aspi).readCdFailures % 3, 0u);
}

}  // namespace
