// The rip engine end to end: tasks copy their settings, batches run jobs on worker threads up
// to their limit over real WAV files, and stops and failures end only the jobs they hit.
#include "testing/rip_batch.h"
#include "testing/settings_guard.h"
#include "rip/rip_task.h"
#include "rip/rip_thread.h"
#include "rip/rip_thread_list.h"

#include "audio/audio_frame.h"
#include "audio/audio_stream.h"
#include "foundation/settings/app_cfg.h"
#include "testing/generated_wav.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

using testing_wav::Format;

namespace
{

// A fresh folder under the temporary folder, removed with everything in it.
class CScratchFolder : public testing_rip::ScratchFolder
{
public:
    CScratchFolder() : ScratchFolder("rip_engine") {}
};

bool FileExists(const std::string& path)
{
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// The partial file a running job writes for the output "<stem>.wav" in dir, or "".
std::string PartialFile(const CScratchFolder& dir, const std::string& stem)
{
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA((dir / (stem + ".partial-*")).c_str(), &fd);
    if (h == INVALID_HANDLE_VALUE)
        return "";
    ::FindClose(h);
    return dir / fd.cFileName;
}

// Drives a batch as the progress window does, at most one start per tick, and checks the
// limit on every tick. Bounded: a batch that does not end fails the test instead of hanging.
using testing_rip::RunBatch;

// A sample on the 16-bit scale, read from a WAV file's bytes (8-bit unsigned, 16-bit signed,
// 24-bit through the frame's own scale).
int ReadInputSample(const std::vector<uint8_t>& pcm, size_t index, int bits)
{
    switch (bits) {
    case 8:
        return (pcm[index] - 128) * 256;
    case 16:
        return static_cast<int16_t>(pcm[2 * index] | (pcm[2 * index + 1] << 8));
    default:
        return CAudioFrame::ReadSample(pcm.data(), static_cast<uint32_t>(index), 0, 1, 3, 1, 0);
    }
}

int ApplyGain(int sample, double gain)
{
    if (gain == 1.0)
        return sample;
    double s = sample * gain;
    s = std::min(32766.0, std::max(-32766.0, s));
    return static_cast<int>(s); // toward zero
}

// The 16-bit PCM a job must write for the input: read, gain (8-bit input keeps its own width
// until the writer widens it), channels to the output count.
std::vector<int16_t> ExpectedOutput(const Format& in, const std::vector<uint8_t>& pcm, double gain,
                                    int outChannels)
{
    const size_t samples = pcm.size() / (in.bits / 8);
    std::vector<int> scaled(samples);
    for (size_t i = 0; i < samples; ++i) {
        int v = ApplyGain(ReadInputSample(pcm, i, in.bits), gain);
        if (in.bits == 8 && gain != 1.0)
            v = (v >> 8) * 256; // the gain wrote the 8-bit sample back
        scaled[i] = v;
    }
    std::vector<int16_t> out;
    if (in.channels == outChannels) {
        for (int v : scaled)
            out.push_back(static_cast<int16_t>(v));
    } else if (in.channels == 1) {
        for (int v : scaled) {
            out.push_back(static_cast<int16_t>(v));
            out.push_back(static_cast<int16_t>(v));
        }
    } else {
        for (size_t i = 0; i + 1 < scaled.size(); i += 2)
            out.push_back(static_cast<int16_t>((scaled[i] + scaled[i + 1]) / 2.0));
    }
    return out;
}

CRipTask* NewWavTask(const std::string& in, const std::string& out, double gain = 1.0)
{
    auto* pTask = new CRipTask(0, in.c_str(), 0, out.c_str());
    pTask->SetGain(gain);
    return pTask;
}

// A long mono 8-bit file at 8000 Hz: one read step per second of audio, so a job over it runs
// for thousands of steps and a stop reaches it while it runs.
std::string MakeLongInput(const CScratchFolder& dir)
{
    const Format f{1, 8000, 8};
    const std::string path = dir / "long.wav";
    EXPECT_TRUE(
        testing_wav::WriteFile(path, testing_wav::WavFile(f, testing_wav::SineSweep(f, 2400))));
    return path;
}

} // namespace

TEST(RipTask, CopiesTheSettingsItNeedsWhenBuilt)
{
    testing_settings::SettingsGuard keep;
    CAppCfg& cfg = GetAppCfg();

    struct Case {
        const char* name;
        int wavChannels, mp3Channels, vorbisQuality;
        int format;
        int channels;
        double vorbis;
    };
    const Case cases[] = {
        {"WAV mono", 1, 3, 4, 0, 1, 0.0},
        {"WAV bad stored count is stereo", 7, 3, 4, 0, 2, 0.0},
        {"MP3 joint stereo", 2, 3, 4, 1, 3, 0.0},
        {"MP3 odd value is joint stereo", 2, 0, 4, 1, 3, 0.0},
        {"MP3 mono", 2, 1, 4, 1, 1, 0.0},
        {"Vorbis lowest quality", 2, 3, -1, 2, 2, -0.1},
        {"Vorbis highest quality", 2, 3, 10, 2, 2, 1.0},
        {"WMA is always stereo", 1, 1, 4, 3, 2, 0.0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        cfg.SetWavEnc_Channels(c.wavChannels);
        cfg.SetMp3Enc_Channels(c.mp3Channels);
        cfg.SetVorbisEnc_Quality(c.vorbisQuality);
        CRipTask task(0, "C:\\in.wav", c.format, "C:\\out.x");
        EXPECT_EQ(task.GetChannels(), c.channels);
        if (c.format == 2) {
            EXPECT_NEAR(task.GetVorbisQuality(), c.vorbis, 1e-9);
        }
        // Later changes of the options do not reach a built task.
        cfg.SetWavEnc_Channels(c.wavChannels == 1 ? 2 : 1);
        cfg.SetMp3Enc_Channels(c.mp3Channels == 1 ? 2 : 1);
        cfg.SetVorbisEnc_Quality(5);
        EXPECT_EQ(task.GetChannels(), c.channels);
    }
    cfg.SetWavEnc_BitsPerSample(8);
    CRipTask wav8(0, "C:\\in.wav", 0, "C:\\out.wav");
    cfg.SetWavEnc_BitsPerSample(16);
    EXPECT_EQ(wav8.GetWavBitsPerSample(), 8);
}

TEST(RipTask, FileAndCdTasksAndSourceTypes)
{
    CRipTask file(4, "C:\\a.flac", 0, "C:\\a.wav");
    EXPECT_EQ(file.GetSourceType(), 4);
    EXPECT_EQ(file.GetDriveIndex(), -1);
    EXPECT_EQ(file.GetTrackNumber(), -1);
    EXPECT_EQ(file.GetStartSector(), -1);
    EXPECT_EQ(file.GetEndSector(), -1);
    EXPECT_EQ(file.GetGain(), 1.0);

    CRipTask cd(1, 5, 1000, 2000, 1, "C:\\05.mp3");
    EXPECT_EQ(cd.GetSourceType(), 99);
    EXPECT_TRUE(cd.GetInputFile().IsEmpty());
    EXPECT_EQ(cd.GetDriveIndex(), 1);
    EXPECT_EQ(cd.GetTrackNumber(), 5);
    EXPECT_EQ(cd.GetStartSector(), 1000);
    EXPECT_EQ(cd.GetEndSector(), 2000);

    const int types[][2] = {{0, 0}, {4, 4}, {99, 99}, {5, -1}, {-1, -1}, {98, -1}};
    for (const auto& t : types)
        EXPECT_EQ(CRipTask::SourceTypeFromFileType(t[0]), t[1]) << t[0];
}

TEST(RipBatch, ConvertsWavFilesConcurrentlySampleForSample)
{
    CScratchFolder dir;
    testing_settings::SettingsGuard keep;
    CAppCfg& cfg = GetAppCfg();
    cfg.SetWavEnc_BitsPerSample(16);

    struct Case {
        const char* name;
        Format in;
        double seconds;
        double gain;
        int outChannels; // WavEnc_Channels when the task is built
    };
    const Case cases[] = {
        {"mono 8-bit", {1, 11025, 8}, 2.5, 1.0, 2},
        {"stereo 16-bit", {2, 44100, 16}, 2.3, 1.0, 2},
        {"stereo 24-bit", {2, 48000, 24}, 1.7, 1.0, 2},
        {"mono 16-bit half gain", {1, 22050, 16}, 3.1, 0.5, 2},
        {"stereo 16-bit clipping gain", {2, 44100, 16}, 1.2, 2.5, 2},
        {"stereo 8-bit gain", {2, 8000, 8}, 2.0, 1.5, 2},
        {"stereo 24-bit gain", {2, 32000, 24}, 1.4, 0.7, 2},
        {"stereo 16-bit to mono", {2, 44100, 16}, 1.5, 1.0, 1},
    };
    const int limit = 3;
    CRipThreadList batch;
    batch.SetMaxConcurrent(limit);
    std::vector<std::vector<uint8_t>> inputs;
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        inputs.push_back(testing_wav::SineSweep(c.in, c.seconds));
        const std::string in = dir / ("in" + std::to_string(i) + ".wav");
        ASSERT_TRUE(testing_wav::WriteFile(in, testing_wav::WavFile(c.in, inputs.back())));
        cfg.SetWavEnc_Channels(c.outChannels);
        EXPECT_EQ(batch.AddTask(NewWavTask(in, dir / ("out" + std::to_string(i) + ".wav"), c.gain)),
                  static_cast<int>(i));
    }

    RunBatch(batch, limit);
    for (size_t i = 0; i < std::size(cases); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        CRipThread* pJob = batch.GetThread(static_cast<int>(i));
        ASSERT_EQ(pJob->GetState(), CRipThread::STATE_DONE) << pJob->GetErrorText();
        pJob->UpdateDisplayTexts();
        EXPECT_STREQ(pJob->GetStatusText(), "Complete");
        EXPECT_STREQ(pJob->GetProgressText(), "100%");
        EXPECT_EQ(pJob->GetTitleText(), "out" + std::to_string(i) + ".wav");
        // Its pauses are its own: 3 x 10 ms before the audio and 1 ms after every one-second
        // step (a benchmark takes them off the job's time).
        EXPECT_GE(pJob->GetSleepSeconds(), 0.030 + 0.001 * std::ceil(c.seconds));
        EXPECT_LT(pJob->GetSleepSeconds(), 60.0);

        std::vector<uint8_t> bytes, pcm;
        Format out{};
        ASSERT_TRUE(testing_wav::ReadFile(dir / ("out" + std::to_string(i) + ".wav"), bytes));
        ASSERT_TRUE(testing_wav::ParseWav(bytes, out, pcm));
        EXPECT_EQ(out.channels, c.outChannels);
        EXPECT_EQ(out.rate, c.in.rate);
        EXPECT_EQ(out.bits, 16);
        const std::vector<int16_t> expected =
            ExpectedOutput(c.in, inputs[i], c.gain, c.outChannels);
        ASSERT_EQ(pcm.size(), expected.size() * 2);
        for (size_t k = 0; k < expected.size(); ++k) {
            const int16_t got = static_cast<int16_t>(pcm[2 * k] | (pcm[2 * k + 1] << 8));
            ASSERT_EQ(got, expected[k]) << "sample " << k;
        }
    }
    EXPECT_EQ(batch.GetDoneCount(), static_cast<int>(std::size(cases)));
    EXPECT_EQ(batch.GetErrorCount(), 0);
}

TEST(RipBatch, StopEndsWaitingAndRunningJobsWithoutOutput)
{
    CScratchFolder dir;
    const std::string in = MakeLongInput(dir);
    CRipThreadList batch;
    EXPECT_EQ(batch.StartNext(), 0); // nothing to start
    for (int i = 0; i < 4; ++i)
        batch.AddTask(NewWavTask(in, dir / ("out" + std::to_string(i) + ".wav")));
    batch.SetMaxConcurrent(2);
    EXPECT_EQ(batch.StartNext(), 1);
    EXPECT_EQ(batch.StartNext(), 1);
    EXPECT_EQ(batch.StartNext(), 0); // both run: the limit holds
    EXPECT_EQ(batch.GetRunningCount(), 2);
    EXPECT_EQ(batch.GetWaitingCount(), 2);
    // Let the running jobs write part of their output (each needs thousands of steps more to
    // end, so they still run when the stop comes); bounded, in case a job fails instead.
    auto started = [&](int i) {
        return batch.GetThread(i)->GetProgress() >= 2 || !batch.GetThread(i)->IsRunning();
    };
    for (int tick = 0; tick < 12000 && !(started(0) && started(1)); ++tick)
        ::Sleep(5);
    ASSERT_TRUE(batch.GetThread(0)->IsRunning()) << batch.GetThread(0)->GetErrorText();
    ASSERT_TRUE(batch.GetThread(1)->IsRunning()) << batch.GetThread(1)->GetErrorText();
    // A running job's status is its progress text.
    batch.GetThread(0)->UpdateDisplayTexts();
    EXPECT_STREQ(batch.GetThread(0)->GetStatusText(), batch.GetThread(0)->GetProgressText());
    EXPECT_NE(std::string(batch.GetThread(0)->GetProgressText()), "0%");
    EXPECT_EQ(std::string(batch.GetThread(0)->GetProgressText()).back(), '%');
    // A running job writes under a partial name; the final name comes only with the end.
    ASSERT_FALSE(PartialFile(dir, "out0").empty());
    EXPECT_FALSE(FileExists(dir / "out0.wav"));

    EXPECT_EQ(batch.StopAll(), 4);
    // Waiting jobs end at once, without a worker.
    EXPECT_EQ(batch.GetStatus(2), CRipThread::STATE_ERROR);
    EXPECT_EQ(batch.GetStatus(3), CRipThread::STATE_ERROR);
    EXPECT_FALSE(batch.GetThread(3)->Start());
    RunBatch(batch, 2);
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        CRipThread* pJob = batch.GetThread(i);
        EXPECT_EQ(pJob->GetState(), CRipThread::STATE_ERROR);
        EXPECT_STREQ(pJob->GetErrorText(), "Stopped by the user");
        pJob->UpdateDisplayTexts();
        EXPECT_STREQ(pJob->GetStatusText(), "Error: Stopped by the user");
        EXPECT_FALSE(FileExists(dir / ("out" + std::to_string(i) + ".wav")));
        EXPECT_EQ(PartialFile(dir, "out" + std::to_string(i)), "");
    }
    EXPECT_EQ(batch.StartNext(), 0); // every job is final
}

TEST(RipBatch, AFailingJobFailsAloneWhileTheOthersComplete)
{
    CScratchFolder dir;
    const Format f{2, 44100, 16};
    const std::vector<uint8_t> wav = testing_wav::WavFile(f, testing_wav::SineSweep(f, 1.5));
    const std::string good = dir / "good.wav";
    const std::string vanishing = dir / "vanishing.wav";
    const std::string same = dir / "Same.wav";
    const std::string silent = dir / "silent.wav";
    ASSERT_TRUE(testing_wav::WriteFile(silent, testing_wav::WavFile(f, {})));
    ASSERT_TRUE(testing_wav::WriteFile(good, wav));
    ASSERT_TRUE(testing_wav::WriteFile(vanishing, wav));
    ASSERT_TRUE(testing_wav::WriteFile(same, wav));

    const std::string unrecognised = "The input file's format is not recognised: " + good;
    struct Case {
        const char* name;
        CRipTask* task;
        const char* error; // null: completes
        std::string output;
    };
    std::vector<Case> cases = {
        {"good first", NewWavTask(good, dir / "a.wav"), nullptr, dir / "a.wav"},
        {"output folder missing", NewWavTask(good, dir / "missing\\b.wav"),
         "Wav Writer initialization error: Can't open output Wav file", dir / "missing\\b.wav"},
        {"input vanished", NewWavTask(vanishing, dir / "c.wav"),
         "Wav Reader initialization error: Wav file not found", dir / "c.wav"},
        {"output is the input in other case", NewWavTask(same, dir / "SAME.WAV"),
         "Output and Input files can't be the same file.", ""},
        {"output is the input spelled with a dot", NewWavTask(same, dir / ".\\same.wav"),
         "Output and Input files can't be the same file.", ""},
        {"unknown source type", new CRipTask(-1, good.c_str(), 0, (dir / "e.wav").c_str()),
         unrecognised.c_str(), dir / "e.wav"},
        // A failure always says so: no writer for the format is "General error", not silence.
        {"unknown output format", new CRipTask(0, good.c_str(), 42, (dir / "f.x").c_str()),
         "General error", dir / "f.x"},
        {"no audio at all", NewWavTask(silent, dir / "h.wav", 0.8), nullptr, dir / "h.wav"},
        {"good last", NewWavTask(good, dir / "g.wav", 0.8), nullptr, dir / "g.wav"},
    };
    CAudioTrackInfo protectedTrack;
    protectedTrack.SetProtected(TRUE);
    cases.insert(cases.begin() + 1, Case{"protected source", NewWavTask(good, dir / "p.wav"),
                                         "File is DRM protected.", dir / "p.wav"});
    cases[1].task->SetTrackInfo(protectedTrack);
    CRipThreadList batch;
    batch.SetMaxConcurrent(4);
    for (Case& c : cases)
        batch.AddTask(c.task);
    ASSERT_TRUE(::DeleteFileA(vanishing.c_str()));
    RunBatch(batch, 4);

    for (size_t i = 0; i < cases.size(); ++i) {
        const Case& c = cases[i];
        SCOPED_TRACE(c.name);
        CRipThread* pJob = batch.GetThread(static_cast<int>(i));
        if (c.error == nullptr) {
            EXPECT_EQ(pJob->GetState(), CRipThread::STATE_DONE) << pJob->GetErrorText();
            EXPECT_TRUE(FileExists(c.output));
        } else {
            EXPECT_EQ(pJob->GetState(), CRipThread::STATE_ERROR);
            EXPECT_STREQ(pJob->GetErrorText(), c.error);
            if (!c.output.empty()) {
                EXPECT_FALSE(FileExists(c.output));
            }
        }
    }
    // The refused same-file jobs left their input as it was.
    std::vector<uint8_t> kept;
    ASSERT_TRUE(testing_wav::ReadFile(same, kept));
    EXPECT_EQ(kept, wav);
    // A source of no audio cannot tell its progress: the text stays where it was.
    CRipThread* pSilent = batch.GetThread(static_cast<int>(cases.size()) - 2);
    pSilent->UpdateDisplayTexts();
    EXPECT_EQ(pSilent->GetProgress(), -1);
    EXPECT_STREQ(pSilent->GetProgressText(), "0%");
    EXPECT_EQ(batch.GetDoneCount(), 3);
    EXPECT_EQ(batch.GetErrorCount(), 7);
}

TEST(RipBatch, IndexesOutOfRangeAndTheDefaultLimit)
{
    CRipThreadList batch;
    batch.AddTask(NewWavTask("C:\\nowhere\\a.wav", "C:\\nowhere\\b.wav"));
    struct Case {
        int index;
        bool valid;
    };
    const Case cases[] = {{-1, false}, {0, true}, {1, false}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.index);
        EXPECT_EQ(batch.GetStatus(c.index), c.valid ? 0 : 2);
        EXPECT_EQ(batch.GetTask(c.index) != nullptr, c.valid);
        EXPECT_EQ(batch.GetThread(c.index) != nullptr, c.valid);
    }
    CRipThread* pJob = batch.GetThread(0);
    pJob->UpdateDisplayTexts();
    EXPECT_STREQ(pJob->GetStatusText(), "Waiting");
    EXPECT_STREQ(pJob->GetProgressText(), "0%");
    EXPECT_STREQ(pJob->GetTooltipText(),
                 "Converting from C:\\nowhere\\a.wav\r\nto C:\\nowhere\\b.wav");

    CRipThread noTask(nullptr);
    EXPECT_FALSE(noTask.Start());
    EXPECT_EQ(noTask.GetState(), CRipThread::STATE_ERROR);
    EXPECT_STREQ(noTask.GetErrorText(), "General error");

    CRipThread cdJob(new CRipTask(0, 3, 0, 100, 0, "C:\\out\\03.wav"));
    cdJob.UpdateDisplayTexts();
    EXPECT_STREQ(cdJob.GetTooltipText(), "Ripping CD to C:\\out\\03.wav");
}

TEST(RipBatch, DeletingABatchStopsItsRunningJobs)
{
    CScratchFolder dir;
    const std::string in = MakeLongInput(dir);
    auto* pBatch = new CRipThreadList;
    pBatch->SetMaxConcurrent(2);
    pBatch->AddTask(NewWavTask(in, dir / "x.wav"));
    pBatch->AddTask(NewWavTask(in, dir / "y.wav"));
    EXPECT_EQ(pBatch->StartNext(), 1);
    EXPECT_EQ(pBatch->StartNext(), 1);
    delete pBatch; // stops both and waits for their workers
    EXPECT_FALSE(FileExists(dir / "x.wav"));
    EXPECT_FALSE(FileExists(dir / "y.wav"));
}

// Run with a file size limit (see CMakeLists.txt): a write past it fails in the file layer,
// as on a full disk.
TEST(RipBatch, AFileLayerFailureEndsOnlyItsJob)
{
    const char* limit = std::getenv("SONORIA_FILE_LIMIT_KB");
    if (limit == nullptr)
        GTEST_SKIP() << "needs a file size limit";
    const size_t limitBytes = std::strtoul(limit, nullptr, 10) * 1024;
    CScratchFolder dir;
    testing_settings::SettingsGuard keep;
    CAppCfg& cfg = GetAppCfg();
    cfg.SetWavEnc_Channels(2);
    cfg.SetWavEnc_BitsPerSample(16);

    // 8-bit mono in, 16-bit stereo out: the output is four times the input and passes the
    // limit that the input stays under.
    const Format f{1, 11025, 8};
    const double seconds = 1.2 * limitBytes / (4.0 * f.rate);
    const std::string big = dir / "big.wav";
    const std::string small = dir / "small.wav";
    ASSERT_TRUE(
        testing_wav::WriteFile(big, testing_wav::WavFile(f, testing_wav::SineSweep(f, seconds))));
    ASSERT_TRUE(
        testing_wav::WriteFile(small, testing_wav::WavFile(f, testing_wav::SineSweep(f, 2.0))));

    CRipThreadList batch;
    batch.SetMaxConcurrent(3);
    batch.AddTask(NewWavTask(small, dir / "out0.wav"));
    batch.AddTask(NewWavTask(big, dir / "out1.wav"));
    batch.AddTask(NewWavTask(small, dir / "out2.wav"));
    RunBatch(batch, 3);

    EXPECT_EQ(batch.GetStatus(0), CRipThread::STATE_DONE);
    EXPECT_EQ(batch.GetStatus(2), CRipThread::STATE_DONE);
    EXPECT_EQ(batch.GetStatus(1), CRipThread::STATE_ERROR);
    const CString error = batch.GetThread(1)->GetErrorText();
    EXPECT_FALSE(error.IsEmpty());
    std::printf("file layer failure reported as: %s\n", static_cast<LPCTSTR>(error));
    EXPECT_FALSE(FileExists(dir / "out1.wav"));
    EXPECT_TRUE(FileExists(dir / "out0.wav"));
}

// Runs, in a process of its own, a long job that the test below kills.
TEST(RipBatch, LongJobOfAKilledProcess)
{
    const char* in = std::getenv("SONORIA_KILLED_JOB_IN");
    const char* out = std::getenv("SONORIA_KILLED_JOB_OUT");
    if (in == nullptr || out == nullptr)
        GTEST_SKIP() << "runs only inside the killed process";
    CRipThreadList batch;
    batch.AddTask(NewWavTask(in, out));
    batch.StartNext();
    ::Sleep(120000);
}

// A process killed while it writes (or crashing in a codec) must not leave a playable part
// under the final name, where it would look complete.
TEST(RipBatch, AKilledProcessLeavesNothingUnderTheFinalName)
{
    CScratchFolder dir;
    const std::string in = MakeLongInput(dir);
    const std::string out = dir / "killed.wav";
    ::SetEnvironmentVariableA("SONORIA_KILLED_JOB_IN", in.c_str());
    ::SetEnvironmentVariableA("SONORIA_KILLED_JOB_OUT", out.c_str());
    char exe[MAX_PATH];
    ::GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string command =
        std::string("\"") + exe + "\" --gtest_filter=RipBatch.LongJobOfAKilledProcess";
    STARTUPINFOA si = {sizeof si};
    PROCESS_INFORMATION pi = {};
    const BOOL started = ::CreateProcessA(nullptr, command.data(), nullptr, nullptr, FALSE, 0,
                                          nullptr, nullptr, &si, &pi);
    ::SetEnvironmentVariableA("SONORIA_KILLED_JOB_IN", nullptr);
    ::SetEnvironmentVariableA("SONORIA_KILLED_JOB_OUT", nullptr);
    ASSERT_TRUE(started);
    // Killed once the job has written some audio.
    std::string partial;
    for (int wait = 0; wait < 3000; ++wait) {
        partial = PartialFile(dir, "killed");
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!partial.empty() &&
            ::GetFileAttributesExA(partial.c_str(), GetFileExInfoStandard, &data) &&
            data.nFileSizeLow > 100000)
            break;
        ::Sleep(10);
    }
    ::TerminateProcess(pi.hProcess, 1);
    ::WaitForSingleObject(pi.hProcess, 30000);
    ::CloseHandle(pi.hThread);
    ::CloseHandle(pi.hProcess);
    EXPECT_FALSE(partial.empty()) << "the job never wrote";
    EXPECT_FALSE(FileExists(out));
}

namespace
{

// Inputs for the file size limit run, made before the limit applies (see CMakeLists.txt): a
// fixed folder of the prefix's temporary folder.
std::string LimitInputs()
{
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "sonoria_file_limit_inputs";
}

// Stereo 16-bit white noise: no encoder, lossless or not, makes it much smaller.
std::vector<uint8_t> Noise(size_t frames)
{
    std::vector<uint8_t> pcm(frames * 4);
    uint32_t state = 12345;
    for (uint8_t& b : pcm) {
        state = state * 1664525u + 1013904223u;
        b = static_cast<uint8_t>(state >> 24);
    }
    return pcm;
}

} // namespace

TEST(RipFileLimit, MakeInputs)
{
    if (std::getenv("SONORIA_FILE_LIMIT_INPUTS") == nullptr)
        GTEST_SKIP() << "makes the inputs of the file size limit run";
    const std::string dir = LimitInputs();
    ::CreateDirectoryA(dir.c_str(), nullptr);
    const Format stereo{2, 44100, 16};
    ASSERT_TRUE(testing_wav::WriteFile(dir + "\\noise.wav",
                                       testing_wav::WavFile(stereo, Noise(45 * 44100))));
    ASSERT_TRUE(testing_wav::WriteFile(
        dir + "\\small.wav", testing_wav::WavFile(stereo, testing_wav::SineSweep(stereo, 1.0))));
}

// Under the limit (see CMakeLists.txt) every writer meets a failing write: each such job ends
// in an error with a text and leaves nothing under its name or a partial one, while small
// jobs of the same formats beside it complete.
TEST(RipFileLimit, EveryOutputFormatFailsAloneAtTheLimit)
{
    const char* limit = std::getenv("SONORIA_FILE_LIMIT_KB");
    if (limit == nullptr)
        GTEST_SKIP() << "needs a file size limit";
    const std::string inputs = LimitInputs();
    CScratchFolder dir;
    const struct {
        int format;
        const char* ext;
    } formats[] = {{0, ".wav"}, {1, ".mp3"}, {2, ".ogg"}, {3, ".wma"}, {4, ".flac"}};
    CRipThreadList batch;
    batch.SetMaxConcurrent(4);
    for (const auto& f : formats) {
        batch.AddTask(new CRipTask(0, (inputs + "\\noise.wav").c_str(), f.format,
                                   (dir / (std::string("big") + f.ext)).c_str()));
        batch.AddTask(new CRipTask(0, (inputs + "\\small.wav").c_str(), f.format,
                                   (dir / (std::string("small") + f.ext)).c_str()));
    }
    RunBatch(batch, 4);
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(formats[i].ext);
        CRipThread* big = batch.GetThread(2 * i);
        CRipThread* small = batch.GetThread(2 * i + 1);
        EXPECT_EQ(big->GetState(), CRipThread::STATE_ERROR) << "the output does not fit";
        const CString error = big->GetErrorText();
        EXPECT_FALSE(error.IsEmpty());
        std::printf("%s at the limit: %s\n", formats[i].ext, static_cast<LPCTSTR>(error));
        EXPECT_EQ(std::string(error).find(".partial-"), std::string::npos)
            << "the text names the output, not its partial file";
        EXPECT_FALSE(FileExists(dir / (std::string("big") + formats[i].ext)));
        EXPECT_EQ(PartialFile(dir, "big"), "");
        EXPECT_EQ(small->GetState(), CRipThread::STATE_DONE) << small->GetErrorText();
        EXPECT_TRUE(FileExists(dir / (std::string("small") + formats[i].ext)));
    }
    EXPECT_EQ(PartialFile(dir, "small"), "");
    ::DeleteFileA((inputs + "\\noise.wav").c_str());
    ::DeleteFileA((inputs + "\\small.wav").c_str());
    ::RemoveDirectoryA(inputs.c_str());
}

namespace
{

// The run where every output format fails at its close (see CMakeLists.txt): each format's
// job is measured without a limit first, then run again under a file size limit that the
// writes before the close stay within and the close passes.
std::string CloseInputs()
{
    char temp[MAX_PATH];
    ::GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "sonoria_close_inputs";
}

std::string CloseInput(int frames)
{
    return CloseInputs() + "\\noise_" + std::to_string(frames) + ".wav";
}

const char* const kCloseExtensions[] = {".wav", ".mp3", ".ogg", ".wma", ".flac"};

// The settings the measured jobs and the limited ones share: every format writes a good part
// of its output at the close (WAV its INFO tags, MP3 at 320 kbit/s its last frames and ID3v1,
// FLAC its last block, Ogg Vorbis its last pages, WMA what it keeps until the end).
void SetCloseSettings(CAppCfg& cfg)
{
    cfg.SetWavEnc_Channels(2);
    cfg.SetWavEnc_BitsPerSample(16);
    cfg.SetWavEnc_WriteInfoTags(TRUE);
    cfg.SetMp3Enc_Mode(1);
    cfg.SetMp3Enc_Bitrate(320);
    cfg.SetMp3Enc_WriteID3(3);
}

CRipTask* NewCloseTask(int format, int frames, const std::string& out)
{
    auto* task = new CRipTask(0, CloseInput(frames).c_str(), format, out.c_str());
    task->GetTrack()->SetTrackTitle(CString('t', 2000));
    return task;
}

LONGLONG FileSize(const std::string& path)
{
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &data))
        return -1;
    return (static_cast<LONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

// Runs the job's own steps by hand: the bytes on disk before the writer's close and after it.
bool MeasureClose(int format, int frames, const std::string& out, LONGLONG& before,
                  LONGLONG& after)
{
    std::unique_ptr<CRipTask> task(NewCloseTask(format, frames, out));
    CRipSource source;
    CString error;
    if (!RipOpenSource(*task, source, error))
        return false;
    source.pReader->Prepare();
    std::unique_ptr<CAudioAbstractWriter> writer =
        RipOpenWriter(*task, out.c_str(), source.pReader->GetSampleRate(), error);
    if (!writer || !writer->BeginStream())
        return false;
    while (source.pReader->HasMoreData()) {
        CAudioFrame frame;
        if (!source.pReader->ReadFrame(&frame)) {
            if (source.pReader->GetError(error) != 0)
                return false;
        } else if (!frame.IsEmpty() && !writer->WriteFrame(&frame)) {
            return false;
        }
    }
    source.pReader->Close();
    before = FileSize(out);
    const bool closed = writer->Close();
    writer.reset();
    after = FileSize(out);
    ::DeleteFileA(out.c_str());
    return closed && before >= 0 && after > before;
}

} // namespace

// Without a limit: makes the inputs and prints, for each format, "close limit <format> <KiB>
// <frames>", a limit the writes before the close stay within and the close passes.
TEST(RipFileLimit, MeasureCloses)
{
    if (std::getenv("SONORIA_CLOSE_MEASURE") == nullptr)
        GTEST_SKIP() << "measures the outputs of the failing-close run";
    testing_settings::SettingsGuard keep;
    SetCloseSettings(GetAppCfg());
    ::CreateDirectoryA(CloseInputs().c_str(), nullptr);
    CScratchFolder dir;
    const Format stereo{2, 44100, 16};
    // Lengths that end inside an encoder block, so that a good part comes only at the close.
    const int lengths[] = {10 * 4096 + 4000, 13 * 4096 + 3500, 7 * 4096 + 3900};
    for (int frames : lengths)
        ASSERT_TRUE(testing_wav::WriteFile(CloseInput(frames),
                                           testing_wav::WavFile(stereo, Noise(frames))));
    for (int format = 0; format < 5; ++format) {
        SCOPED_TRACE(kCloseExtensions[format]);
        bool found = false;
        for (int frames : lengths) {
            LONGLONG before = 0, after = 0;
            ASSERT_TRUE(MeasureClose(format, frames, dir / (std::string("m") +
                                                            kCloseExtensions[format]),
                                     before, after));
            const LONGLONG kib = before / 1024 + 1;
            if (kib * 1024 < after) {
                std::printf("close limit %d %lld %d\n", format, kib, frames);
                found = true;
                break;
            }
        }
        EXPECT_TRUE(found) << "no input leaves a KiB for the close";
    }
}

// Under the limit the measuring run chose for the format: the writer's close fails, so the
// job ends in an error with a text and leaves nothing under its name or a partial one.
TEST(RipFileLimit, EveryOutputFormatFailsAtItsClose)
{
    const char* format = std::getenv("SONORIA_CLOSE_FORMAT");
    const char* frames = std::getenv("SONORIA_CLOSE_FRAMES");
    if (format == nullptr || frames == nullptr)
        GTEST_SKIP() << "runs under the limit the measuring run chose";
    testing_settings::SettingsGuard keep;
    SetCloseSettings(GetAppCfg());
    const int f = std::atoi(format);
    ASSERT_TRUE(f >= 0 && f < 5);
    SCOPED_TRACE(kCloseExtensions[f]);
    CScratchFolder dir;
    const std::string out = dir / (std::string("closed") + kCloseExtensions[f]);
    CRipThreadList batch;
    batch.AddTask(NewCloseTask(f, std::atoi(frames), out));
    RunBatch(batch, 1);
    CRipThread* job = batch.GetThread(0);
    EXPECT_EQ(job->GetState(), CRipThread::STATE_ERROR) << "the close failed: not complete";
    const CString error = job->GetErrorText();
    EXPECT_FALSE(error.IsEmpty());
    std::printf("%s failing at its close: %s\n", kCloseExtensions[f], static_cast<LPCTSTR>(error));
    EXPECT_FALSE(FileExists(out));
    EXPECT_EQ(PartialFile(dir, "closed"), "");
}
