// The CD reader over the simulated drive: read steps, bit-exact audio, read errors with the
// failed sector's address, and the read mutex.
#include <gtest/gtest.h>

#include <memory>
#include <thread>

#include "audio/cd/audio_cd.h"
#include "audio/cd/cd_reader.h"
#include "tests/audio/cd_test_support.h"

using simdrive::SimDisc;

namespace {

constexpr int kMiB = 1048576;

SimDisc LongTrackDisc()
{
    SimDisc d = SmallAudioDisc();
    d.sessions[0].tracks = {{1, true, 0}, {2, true, 1000}};
    d.sessions[0].leadOutLba = 3000;
    return d;
}

std::vector<uint8_t> FrameBytes(CAudioFrame& frame)
{
    uint32_t used = 0;
    const uint8_t* data = frame.GetData(used);
    return std::vector<uint8_t>(data, data + used);
}

class CDReaderTest : public ::testing::Test {
protected:
    void Open(const SimDisc& disc)
    {
        InsertDisc(disc);
        ResetDriveStats(Transport::Aspi);
        cd_ = std::make_unique<CAudioCD>(&Drives(Transport::Aspi), 0);
        ASSERT_TRUE(cd_->IsOpen());
    }
    std::unique_ptr<CAudioCD> cd_;
};

TEST_F(CDReaderTest, StepsDeliverWholeSectorsUpToTheFrameSize)
{
    struct Case {
        const char* name;
        int first, end, perRead, bytesPerFrame;
        uint32_t firstStepBytes;
        uint32_t firstStepReads;
    };
    const Case cases[] = {
        {"100 sectors, 32 per read", 200, 300, 32, kMiB, 100 * 2352, 4},
        {"a job's defaults on a long track", 1000, 3000, 16, kMiB, 1053696, 28},
        {"one sector per read, small frames", 0, 10, 1, 5000, 3 * 2352, 3},
    };
    Open(LongTrackDisc());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ResetDriveStats(Transport::Aspi);
        CAudioCDReader reader;
        EXPECT_EQ(reader.GetProgressPercent(), -1);
        ASSERT_TRUE(reader.Open(cd_.get(), c.first, c.end, 176, c.perRead, c.bytesPerFrame));
        EXPECT_FALSE(reader.Open(cd_.get(), 0, 1, 176, 1, 1));
        EXPECT_EQ(DriveStats(Transport::Aspi).lastReadSpeed, 176u);
        ASSERT_TRUE(reader.Prepare());
        std::vector<uint8_t> all;
        bool first = true;
        // Bounded: a step that reads nothing (the read mutex not granted) must not hang the test.
        for (int step = 0; step < 1000 && reader.HasMoreData(); ++step) {
            CAudioFrame frame;
            ASSERT_TRUE(reader.ReadFrame(&frame));
            EXPECT_EQ(frame.GetChannels(), 2);
            EXPECT_EQ(frame.GetSampleRate(), 44100u);
            EXPECT_EQ(frame.GetBitsPerSample(), 16);
            std::vector<uint8_t> bytes = FrameBytes(frame);
            if (first) {
                EXPECT_EQ(bytes.size(), c.firstStepBytes);
                EXPECT_EQ(DriveStats(Transport::Aspi).readCdCommands, c.firstStepReads);
                first = false;
            }
            all.insert(all.end(), bytes.begin(), bytes.end());
        }
        EXPECT_EQ(reader.GetProgressPercent(), 100);
        EXPECT_TRUE(all == SectorBytes(c.first, c.end - c.first));
        EXPECT_TRUE(reader.Close());
    }
}

TEST_F(CDReaderTest, AReadFailingThreeTimesNamesItsFirstSector)
{
    SimDisc disc = LongTrackDisc();
    disc.badRuns = {{1040, 1, -1}};  // in the third read of the first step
    Open(disc);
    CAudioCDReader reader;
    ASSERT_TRUE(reader.Open(cd_.get(), 1000, 3000, 65535, 16, kMiB));
    for (int step = 0; step < 2; ++step) {
        SCOPED_TRACE(step);
        CAudioFrame frame;
        EXPECT_FALSE(reader.ReadFrame(&frame));
        CString text;
        EXPECT_EQ(reader.GetError(text), AUDIO_ERROR_READ);
        EXPECT_STREQ(text, "CD Reading Error at frame: 1032");
        // Two reads delivered before the failure; the next step starts at the failed read.
        EXPECT_EQ(FrameBytes(frame).size(), step == 0 ? 32u * 2352 : 0u);
        EXPECT_EQ(reader.GetProgressPercent(), 32 * 100 / 2000);
    }
    EXPECT_EQ(DriveStats(Transport::Aspi).readCdFailures, 6u);
}

TEST_F(CDReaderTest, NotOpenReaderReportsItself)
{
    CAudioCDReader reader;
    CAudioFrame frame;
    EXPECT_FALSE(reader.ReadFrame(&frame));
    CString text;
    EXPECT_EQ(reader.GetError(text), AUDIO_ERROR_NOT_INITIALIZED);
    EXPECT_STREQ(text, "CD reader not initialized");
}

// Holds the CD read mutex on a thread of its own, as another job would, until released.
class ReadMutexHolder
{
public:
    ReadMutexHolder()
        : m_held(CreateEventA(nullptr, TRUE, FALSE, nullptr)),
          m_release(CreateEventA(nullptr, TRUE, FALSE, nullptr)), m_thread([this] {
              HANDLE m = CreateMutexA(nullptr, FALSE, "CAudioCDReader_read_MUTEX");
              WaitForSingleObject(m, INFINITE);
              SetEvent(m_held);
              WaitForSingleObject(m_release, INFINITE);
              ReleaseMutex(m);
              CloseHandle(m);
          })
    {
        WaitForSingleObject(m_held, INFINITE);
    }
    ~ReadMutexHolder()
    {
        Release();
        CloseHandle(m_held);
        CloseHandle(m_release);
    }
    void Release()
    {
        SetEvent(m_release);
        if (m_thread.joinable())
            m_thread.join();
    }

private:
    HANDLE m_held;
    HANDLE m_release;
    std::thread m_thread;
};

// While another reader (any thread, any process) holds the read mutex, a step reads nothing;
// once it is released the step runs. Beyond 20000 ms the step gives up with an empty frame.
TEST_F(CDReaderTest, StepsTakeTurnsThroughTheReadMutex)
{
    Open(LongTrackDisc());
    ReadMutexHolder holder;
    CAudioCDReader reader;
    ASSERT_TRUE(reader.Open(cd_.get(), 0, 100, 65535, 10, kMiB));
    CAudioFrame frame;
    bool stepResult = false;
    std::thread step([&] { stepResult = reader.ReadFrame(&frame); });
    // Whatever the step did meanwhile, it read nothing while the mutex was held.
    Sleep(500);
    EXPECT_EQ(DriveStats(Transport::Aspi).readCdCommands, 0u);
    holder.Release();
    step.join();
    EXPECT_TRUE(stepResult);
    EXPECT_TRUE(FrameBytes(frame) == SectorBytes(0, 100));
}

// Two jobs reading at once: each read step (four READ CDs here) runs whole before the other
// job's next step, and both get their audio bit for bit.
TEST_F(CDReaderTest, ConcurrentReadersReadOneStepAtATime)
{
    SimDisc disc = LongTrackDisc();
    disc.readDelayMs = 5;  // long enough for the other thread to ask for the drive meanwhile
    Open(disc);
    struct Job {
        int first, end;
        std::vector<uint8_t> audio;
        bool ok = true;
    };
    Job jobs[2] = {{0, 200, {}}, {1000, 1200, {}}};
    auto rip = [](Job& job) {
        CAudioCD cd(&Drives(Transport::Aspi), 0);
        CAudioCDReader reader;
        reader.Open(&cd, job.first, job.end, 65535, 10, 4 * 10 * 2352);
        for (int step = 0; step < 1000 && job.ok && reader.HasMoreData(); ++step) {
            CAudioFrame frame;
            job.ok = reader.ReadFrame(&frame);
            std::vector<uint8_t> bytes = FrameBytes(frame);
            job.audio.insert(job.audio.end(), bytes.begin(), bytes.end());
        }
    };
    std::thread a(rip, std::ref(jobs[0])), b(rip, std::ref(jobs[1]));
    a.join();
    b.join();
    for (const Job& job : jobs) {
        SCOPED_TRACE(job.first);
        EXPECT_TRUE(job.ok);
        EXPECT_TRUE(job.audio == SectorBytes(job.first, job.end - job.first));
    }
    std::vector<int> log = DriveReadLog(Transport::Aspi);
    ASSERT_EQ(log.size(), 40u);
    size_t run = 1;
    for (size_t i = 1; i <= log.size(); ++i) {
        if (i < log.size() && (log[i] < 1000) == (log[i - 1] < 1000)) {
            ++run;
            continue;
        }
        EXPECT_EQ(run % 4, 0u) << "a step of 4 reads was split at read " << i;
        run = 1;
    }
    EXPECT_EQ(DriveStats(Transport::Aspi).maxConcurrentReads, 1u);
}

TEST_F(CDReaderTest, AStepGivesUpAfterTwentySecondsWithAnEmptyFrame)
{
    Open(LongTrackDisc());
    ReadMutexHolder holder;
    CAudioCDReader reader;
    ASSERT_TRUE(reader.Open(cd_.get(), 0, 100, 65535, 10, kMiB));
    CAudioFrame frame;
    EXPECT_TRUE(reader.ReadFrame(&frame));
    EXPECT_TRUE(frame.IsEmpty());
    EXPECT_EQ(frame.GetChannels(), 2);
    EXPECT_EQ(reader.GetProgressPercent(), 0);
    holder.Release();
    EXPECT_TRUE(reader.ReadFrame(&frame));
    EXPECT_FALSE(reader.HasMoreData());
}

}  // namespace
