// The progress window over real batches: CD jobs on the simulated drive and conversions of
// generated WAV files, watched and clicked through the input queue as a user would.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <regex>
#include <string>
#include <vector>

#include "app/shell/progress_dlg.h"
#include "app/shell/rip_batch_builder.h"
#include "audio/formats/detection/format_detection.h"
#include "catalogue/model/cd_track.h"
#include "audio/cd/audio_cd.h"
#include "foundation/settings/app_cfg.h"
#include "rip/cue_sheet.h"
#include "rip/rip_task.h"
#include "rip/rip_thread_list.h"
#include "testing/generated_wav.h"
#include "tests/app/progress_test_support.h"
#include "tests/audio/cd_test_support.h"
#include "tests/framework_ui/ui_test_support.h"

using namespace testing_progress;
using Rows_t = std::vector<std::pair<std::string, std::string>>;

namespace {

// Every test starts from the same values of the settings the window reads (this program
// changes them in memory only).
class ProgressWindow : public ::testing::Test {
protected:
    void SetUp() override
    {
        CAppCfg& cfg = GetAppCfg();
        cfg.SetOutputPath(dir_.Path().c_str());
        cfg.SetBeepAfterRip(FALSE);
        cfg.SetEjectAfterRip(FALSE);
        cfg.SetWndCloseAfterRip(FALSE);
        cfg.SetAutoOpenOutputFolder(FALSE);
        cfg.SetWritePlayList(0);
        cfg.SetShowElapsedTime(FALSE);
        cfg.SetForceASPI(RunTransport() == Transport::Aspi);
        cfg.SetCDDevice(0);
        cfg.SetWavEnc_Channels(2);
        cfg.SetWavEnc_BitsPerSample(16);
        cfg.SetFlacEnc_Channels(2);
    }
    // A WAV file of generated audio in the scratch folder.
    std::string Wav(const char* name, double seconds, testing_wav::Format f = {2, 44100, 16})
    {
        const std::string path = dir_ / name;
        EXPECT_TRUE(testing_wav::WriteFile(
            path, testing_wav::WavFile(f, testing_wav::SineSweep(f, seconds))));
        return path;
    }

    Scratch dir_{"progress"};
    TestHostWnd host_;
};

CRipTask* WavJob(const std::string& in, const std::string& out)
{
    return new CRipTask(0, in.c_str(), 0, out.c_str());
}

// With SONORIA_PROGRESS_EXPORT set (check_with_tools.sh), a file is copied there for the
// reference tools, and `expected` (when given) is written beside it as NAME.raw.
void Export(const std::string& path, const std::vector<uint8_t>* expected = nullptr)
{
    ExportForTools("SONORIA_PROGRESS_EXPORT", path, path.substr(path.rfind('\\') + 1), expected);
}

int ProgressRangeHigh(HWND hDlg)
{
    return static_cast<int>(
        ::SendMessageA(::GetDlgItem(hDlg, IDC_PROGRESS_BAR), PBM_GETRANGE, FALSE, 0));
}

} // namespace

// The "Ripper" road below the view: the disc's rows made tasks by the format commands' builder
// (template, folders, tags), run in the window to FLAC.
TEST_F(ProgressWindow, RipsTheDiscToTaggedFlacWithinTheLimit)
{
    const Transport transport = RunTransport();
    InsertDisc(SmallAudioDisc());
    ResetDriveStats(transport);
    CAppCfg& cfg = GetAppCfg();
    cfg.SetWritePlayList(1);
    cfg.SetEjectAfterRip(TRUE);
    cfg.ClearFileNameDefs();
    cfg.AddFileNameDefsItem("Artist\\Album\\Number Title|%a\\%t\\%# %1%e");
    cfg.SetFileNameFormat(0);
    cfg.SetRipVolume(100);

    struct Track {
        int start, end;
        const char* title;
        const char* file; // below the output folder
    };
    const Track tracks[] = {{0, 300, "Song One", "Band\\Album\\01 Song One.flac"},
                            {300, 700, "Song Two", "Band\\Album\\02 Song Two.flac"},
                            {700, 1000, "Song Three", "Band\\Album\\03 Song Three.flac"}};
    CRipThreadList batch;
    batch.SetMaxConcurrent(2);
    CRipBatchBuilder builder(batch, 4);
    CCueSheet cue;
    cue.SetTitle("Album");
    for (int i = 0; i < 3; ++i) {
        CCDTrack row;
        row.SetFlags(0);
        row.SetDriveIndex(0);
        row.SetStartSector(tracks[i].start);
        row.SetLengthFrames(tracks[i].end - tracks[i].start);
        row.SetTrackTitle(tracks[i].title);
        row.SetTrackPosition((std::to_string(i + 1) + "/3").c_str());
        row.SetArtist("Band");
        row.SetAlbumTitle("Album");
        ASSERT_TRUE(builder.AddTrack(i, row));
        cue.AddTrack(tracks[i].title, "Band", "00:00:00");
    }
    EXPECT_TRUE(FileExists(dir_ / "Band\\Album")) << "folders are made with the names";

    CProgressDlg dlg(&host_);
    dlg.SetThreadList(&batch);
    dlg.SetDiscTitle("A/B");
    dlg.SetCueSheet((dir_ / "Album.cue").c_str(), &cue);
    int maxRunning = 0, rangeHigh = 0;
    bool ownerDisabled = false, sawPercent = false;
    Rows_t rows;
    const INT_PTR result = RunModal(dlg, [&](HWND hDlg) {
        ownerDisabled = !::IsWindowEnabled(SharedTopWindow());
        rangeHigh = ProgressRangeHigh(hDlg);
        WaitUntil([&] {
            maxRunning = std::max(maxRunning, batch.GetRunningCount());
            if (batch.GetRunningCount() > 0)
                for (const auto& row : Rows(hDlg))
                    sawPercent = sawPercent || (!row.second.empty() && row.second.back() == '%');
            return ItemEnabled(hDlg, IDCANCEL);
        });
        rows = Rows(hDlg);
        InputClickItem(hDlg, IDCANCEL);
    });

    EXPECT_EQ(result, IDCANCEL);
    EXPECT_TRUE(ownerDisabled) << "the modal window leaves its frame enabled";
    EXPECT_TRUE(::IsWindowEnabled(SharedTopWindow()));
    EXPECT_EQ(rangeHigh, 297);
    // Never past the limit; whether two overlap depends on how fast the short tracks rip.
    EXPECT_GE(maxRunning, 1);
    EXPECT_LE(maxRunning, 2);
    EXPECT_TRUE(sawPercent) << "no running job showed its progress";
    const std::string playlist = dir_ / "A_B.m3u";
    const Rows_t expected = {{"01 Song One.flac", "Complete"},
                             {"02 Song Two.flac", "Complete"},
                             {"03 Song Three.flac", "Complete"},
                             {"Playlist saved as: " + playlist, ""},
                             {"Writing Cue Sheet", ""},
                             {"Done.", ""}};
    EXPECT_EQ(rows, expected);
    const std::string m3u = ReadText(playlist);
    for (const Track& t : tracks) {
        SCOPED_TRACE(t.title);
        CAudioTrackInfo tags;
        const std::string path = dir_ / t.file;
        const std::vector<uint8_t> disc = SectorBytes(t.start, t.end - t.start);
        EXPECT_TRUE(DecodeFlac(path, tags) == disc) << "decoded bytes differ";
        EXPECT_STREQ(tags.GetTrackTitle(), t.title);
        EXPECT_STREQ(tags.GetArtist(), "Band");
        EXPECT_STREQ(tags.GetAlbumTitle(), "Album");
        Export(path, &disc);
        EXPECT_NE(m3u.find(std::string(t.file).substr(1 + std::string(t.file).rfind('\\'))),
                  std::string::npos)
            << m3u;
    }
    EXPECT_NE(ReadText(dir_ / "Album.cue").find("TITLE \"Song Two\""), std::string::npos);
    EXPECT_EQ(DriveStats(transport).ejects, 1u);
}

TEST_F(ProgressWindow, StopLeavesFinishedOutputsAndNoPartialOnes)
{
    CAppCfg& cfg = GetAppCfg();
    cfg.SetWritePlayList(1);
    cfg.SetWndCloseAfterRip(TRUE); // a stopped batch has errors: the window stays open
    cfg.SetShowElapsedTime(TRUE);
    const std::string shortIn = Wav("short.wav", 1.0);
    const std::string longIn = Wav("long.wav", 2400, {1, 8000, 8});
    CRipThreadList batch; // limit 1
    batch.AddTask(WavJob(shortIn, dir_ / "a.wav"));
    for (const char* name : {"b.wav", "c.wav", "d.wav"})
        batch.AddTask(WavJob(longIn, dir_ / name));

    CProgressDlg dlg(&host_);
    dlg.SetThreadList(&batch);
    Rows_t afterStop, atEnd;
    bool openAfterEnd = false;
    const INT_PTR result = RunModal(dlg, [&](HWND hDlg) {
        WaitUntil([&] {
            return batch.GetStatus(0) == CRipThread::STATE_DONE &&
                   batch.GetThread(1)->GetProgress() > 0;
        });
        InputClickItem(hDlg, IDC_PROGRESS_STOP);
        WaitUntil([&] { return RowCount(hDlg) >= 5; }, 10000);
        afterStop = Rows(hDlg); // the end of the batch may have added its lines already
        WaitUntil([&] { return ItemEnabled(hDlg, IDCANCEL); });
        ::Sleep(400); // a window that closes itself would be gone by now
        openAfterEnd = ::IsWindow(hDlg) != FALSE;
        atEnd = Rows(hDlg);
        InputClickItem(hDlg, IDCANCEL);
    });

    EXPECT_EQ(result, IDCANCEL);
    ASSERT_GE(afterStop.size(), 5u);
    EXPECT_EQ(afterStop[0].second, "Complete");
    EXPECT_EQ(afterStop[2].second, "Error: Stopped by the user");
    EXPECT_EQ(afterStop[3].second, "Error: Stopped by the user");
    EXPECT_EQ(afterStop[4].first, "User asked to stop the process.");
    EXPECT_TRUE(openAfterEnd);
    ASSERT_EQ(atEnd.size(), 7u);
    EXPECT_EQ(atEnd[1].second, "Error: Stopped by the user");
    EXPECT_EQ(atEnd[5].first, "Done.");
    EXPECT_TRUE(std::regex_match(atEnd[6].first, std::regex("Elapsed time: [0-9]+ seconds")))
        << atEnd[6].first;
    EXPECT_TRUE(FilePcm(dir_ / "a.wav") == FilePcm(shortIn)) << "the finished output changed";
    for (const char* name : {"b.wav", "c.wav", "d.wav"})
        EXPECT_FALSE(FileExists(dir_ / name)) << name;
    EXPECT_FALSE(FileExists(dir_ / "playlist.m3u"));
}

TEST_F(ProgressWindow, AFailedJobShowsItsErrorWhileTheOthersFinish)
{
    const Transport transport = RunTransport();
    ResetDriveStats(transport);
    CAppCfg& cfg = GetAppCfg();
    cfg.SetEjectAfterRip(TRUE);
    cfg.SetWritePlayList(1);
    const std::string in = Wav("in.wav", 1.5);
    // A file where the output folder should be: nothing can be created below it.
    ASSERT_TRUE(testing_wav::WriteFile(dir_ / "blocked", {1, 2, 3}));
    CRipThreadList batch;
    batch.SetMaxConcurrent(2);
    batch.AddTask(WavJob(in, dir_ / "one.wav"));
    batch.AddTask(WavJob(in, dir_ / "blocked\\two.wav"));
    batch.AddTask(WavJob(in, dir_ / "three.wav"));

    CProgressDlg dlg(&host_);
    dlg.SetThreadList(&batch);
    Rows_t rows;
    RunModal(dlg, [&](HWND hDlg) {
        WaitUntil([&] { return ItemEnabled(hDlg, IDCANCEL); });
        rows = Rows(hDlg);
        InputClickItem(hDlg, IDCANCEL);
    });

    const Rows_t expected = {{"one.wav", "Complete"},
                             {"two.wav", "Error: Wav Writer initialization error: Can't open "
                                         "output Wav file"},
                             {"three.wav", "Complete"},
                             {"Done.", ""}};
    EXPECT_EQ(rows, expected);
    EXPECT_FALSE(FileExists(dir_ / "blocked\\two.wav"));
    EXPECT_FALSE(FileExists(dir_ / "playlist.m3u"));
    EXPECT_EQ(DriveStats(transport).ejects, 0u) << "a batch with errors ejected the disc";
}

// Run under a file size limit (see CMakeLists.txt): a write past it fails as on a full disk.
TEST_F(ProgressWindow, AFullDiskShowsTheErrorInTheJobsRow)
{
    const char* limit = std::getenv("SONORIA_FILE_LIMIT_KB");
    if (limit == nullptr)
        GTEST_SKIP() << "needs a file size limit";
    const double limitBytes = std::strtod(limit, nullptr) * 1024;
    // 8-bit mono in, 16-bit stereo out: the output passes the limit the input stays under.
    const std::string big = Wav("big.wav", 1.2 * limitBytes / (4.0 * 11025), {1, 11025, 8});
    const std::string small = Wav("small.wav", 1.0, {1, 11025, 8});
    CRipThreadList batch;
    batch.SetMaxConcurrent(2);
    batch.AddTask(WavJob(big, dir_ / "big_out.wav"));
    batch.AddTask(WavJob(small, dir_ / "small_out.wav"));

    CProgressDlg dlg(&host_);
    dlg.SetThreadList(&batch);
    Rows_t rows;
    RunModal(dlg, [&](HWND hDlg) {
        WaitUntil([&] { return ItemEnabled(hDlg, IDCANCEL); });
        rows = Rows(hDlg);
        InputClickItem(hDlg, IDCANCEL);
    });

    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0].second.rfind("Error: ", 0), 0u) << rows[0].second;
    EXPECT_GT(rows[0].second.size(), std::string("Error: ").size());
    std::printf("full disk row: %s\n", rows[0].second.c_str());
    EXPECT_EQ(rows[1].second, "Complete");
    EXPECT_FALSE(FileExists(dir_ / "big_out.wav"));
}

TEST_F(ProgressWindow, StartsAtMostOneJobPerTick)
{
    // One read step per second of this audio and a pause after each: every job runs for
    // seconds, long past a tick.
    const std::string in = Wav("in.wav", 2400, {1, 8000, 8});
    CRipThreadList batch;
    batch.SetMaxConcurrent(2);
    const int kJobs = 5;
    for (int i = 0; i < kJobs; ++i)
        batch.AddTask(WavJob(in, dir_ / ("out" + std::to_string(i) + ".wav")));

    CProgressDlg dlg(&host_);
    dlg.SetThreadList(&batch);
    std::vector<DWORD> started(kJobs, 0), ended(kJobs, 0);
    int maxRunning = 0;
    RunModal(dlg, [&](HWND hDlg) {
        WaitUntil([&] {
            const DWORD now = ::GetTickCount();
            for (int i = 0; i < kJobs; ++i) {
                const int s = batch.GetStatus(i);
                if (s != CRipThread::STATE_WAITING && started[i] == 0)
                    started[i] = now;
                if (s >= CRipThread::STATE_ERROR && ended[i] == 0)
                    ended[i] = now;
            }
            maxRunning = std::max(maxRunning, batch.GetRunningCount());
            return ItemEnabled(hDlg, IDCANCEL);
        });
        InputClickItem(hDlg, IDCANCEL);
    });

    EXPECT_EQ(batch.GetDoneCount(), kJobs);
    EXPECT_EQ(maxRunning, 2);
    // One start per 100 ms tick: the second job never starts with the first.
    EXPECT_GE(started[1] - started[0], 60u);
    // The third waits for a free slot.
    EXPECT_GE(started[2], std::min(ended[0], ended[1]));
}

TEST_F(ProgressWindow, ClosesItselfAfterACleanBatchAndWritesTheLyrics)
{
    CAppCfg& cfg = GetAppCfg();
    cfg.SetWndCloseAfterRip(TRUE);
    const std::string in = Wav("in.wav", 1.0);
    // The second window must leave as many GDI objects as the first (caches filled by then).
    DWORD gdiAfterFirst = 0;
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        CRipThreadList batch;
        CRipTask* pTask = WavJob(in, dir_ / "song.wav");
        CAudioTrackInfo tags;
        tags.SetUnsyncLyric("first line\nsecond line");
        pTask->SetTrackInfo(tags);
        pTask->SetLrcFile((dir_ / "song.LRC").c_str());
        batch.AddTask(pTask);
        ::DeleteFileA((dir_ / "song.wav").c_str());

        CProgressDlg dlg(&host_);
        dlg.SetThreadList(&batch);
        int rangeHigh = 0;
        const INT_PTR result =
            RunModal(dlg, [&](HWND hDlg) { rangeHigh = ProgressRangeHigh(hDlg); });

        EXPECT_EQ(result, IDOK);
        EXPECT_EQ(rangeHigh, 97);
        EXPECT_EQ(ReadText(dir_ / "song.LRC"), "first line\r\nsecond line");
        if (round == 0)
            gdiAfterFirst = GdiObjectCount();
        else
            EXPECT_EQ(GdiObjectCount(), gdiAfterFirst);
    }
}

TEST_F(ProgressWindow, ShowsAJobsTooltipOverItsRow)
{
    const std::string in = Wav("in.wav", 0.5);
    CRipThreadList batch;
    batch.AddTask(WavJob(in, dir_ / "tip.wav"));

    CProgressDlg dlg(&host_);
    dlg.SetThreadList(&batch);
    std::string tip, lineTip;
    RunModal(dlg, [&](HWND hDlg) {
        WaitUntil([&] { return ItemEnabled(hDlg, IDCANCEL); });
        tip = HoverTip(hDlg, 0);
        lineTip = HoverTip(hDlg, 1, 1500); // "Done."
        InputClickItem(hDlg, IDCANCEL);
    });

    EXPECT_EQ(tip, "Converting from " + in + "\r\nto " + (dir_ / "tip.wav"));
    EXPECT_EQ(lineTip, "") << "a message line has no tip";
}

// The "Converter" road below the view: file rows made tasks by the format commands' builder,
// run in the window.
TEST_F(ProgressWindow, ConvertsFilesToEveryFormatWithTheirTagsAndTheGain)
{
    CAppCfg& cfg = GetAppCfg();
    cfg.SetConverterUsesFilenames(TRUE);
    cfg.SetOverwrite(FALSE);
    cfg.SetWavEnc_WriteInfoTags(TRUE);
    cfg.SetMp3Enc_WriteID3(3);
    cfg.SetRipVolume(100);
    ::CreateDirectoryA((dir_ / "src").c_str(), nullptr);
    ::CreateDirectoryA((dir_ / "src2").c_str(), nullptr);
    const std::string first = Wav("src\\song.wav", 2.0);
    const std::string second = Wav("src2\\Song.wav", 1.0);
    auto row = [](const std::string& path, const char* title) {
        CCDTrack t;
        t.MarkAsFileEntry();
        t.SetFilePath(path.c_str());
        t.SetFileType(0);
        t.SetTrackTitle(title);
        t.SetArtist("Singer");
        t.SetAlbumTitle("Record");
        return t;
    };
    const CCDTrack rows[] = {row(first, "First song"), row(second, "Second song")};
    CRipThreadList batch;
    batch.SetMaxConcurrent(CRipBatchBuilder::ConcurrencyLimit(1));
    const char* extensions[] = {".wav", ".mp3", ".ogg", ".wma"};
    for (int format = 0; format < 4; ++format) {
        CRipBatchBuilder builder(batch, format);
        for (int i = 0; i < 2; ++i)
            builder.AddTrack(i, rows[i]);
    }
    auto run = [&](CRipThreadList& b) {
        CProgressDlg dlg(&host_);
        dlg.SetThreadList(&b);
        RunModal(dlg, [&](HWND hDlg) {
            WaitUntil([&] { return ItemEnabled(hDlg, IDCANCEL); });
            InputClickItem(hDlg, IDCANCEL);
        });
        EXPECT_EQ(b.GetDoneCount(), b.GetCount());
    };
    run(batch);
    // Then a half-level copy, named after the files the first batch left.
    cfg.SetRipVolume(50);
    CRipThreadList halfBatch;
    CRipBatchBuilder(halfBatch, 0).AddTrack(0, rows[0]);
    run(halfBatch);

    for (int format = 0; format < 4; ++format) {
        for (int i = 0; i < 2; ++i) {
            // Two sources of one name in different folders: the second gets a counter.
            const std::string name =
                std::string(i == 0 ? "song" : "Song[1]") + extensions[format];
            SCOPED_TRACE(name);
            CAudioTrackInfo tags;
            ASSERT_TRUE(CAudioFileInspector::ImportTags((dir_ / name).c_str(), tags));
            EXPECT_EQ(tags.GetFileType(), format);
            EXPECT_STREQ(tags.GetTrackTitle(), rows[i].GetTrackTitle());
            EXPECT_STREQ(tags.GetArtist(), "Singer");
            EXPECT_STREQ(tags.GetAlbumTitle(), "Record");
            Export(dir_ / name);
        }
    }
    EXPECT_TRUE(FilePcm(dir_ / "song.wav") == FilePcm(first)) << "WAV to WAV changed samples";
    // The half-level copy: every sample halved, cut toward zero.
    EXPECT_EQ(SamplesOffGain(FilePcm(first), FilePcm(dir_ / "song[2].wav"), 0.5), 0u);
}

// For the screenshot of a batch in its middle: runs only with SONORIA_SHOWCASE_MS set and
// keeps the window that long.
TEST_F(ProgressWindow, Showcase)
{
    const char* ms = std::getenv("SONORIA_SHOWCASE_MS");
    if (ms == nullptr)
        GTEST_SKIP() << "for screenshots only";
    const std::string shortIn = Wav("short.wav", 2.0);
    const std::string longIn = Wav("long.wav", 2400, {1, 8000, 8});
    CRipThreadList batch;
    batch.SetMaxConcurrent(2);
    batch.AddTask(WavJob(shortIn, dir_ / "01 Intro.wav"));
    batch.AddTask(new CRipTask(0, shortIn.c_str(), 4, (dir_ / "02 Overture.flac").c_str()));
    batch.AddTask(WavJob(shortIn, dir_ / "missing\\03 Ballad.wav"));
    batch.AddTask(WavJob(longIn, dir_ / "04 Long Suite.wav"));
    batch.AddTask(new CRipTask(0, longIn.c_str(), 4, (dir_ / "05 Finale.flac").c_str()));
    batch.AddTask(WavJob(longIn, dir_ / "06 Encore.wav"));
    CProgressDlg dlg(&host_);
    dlg.SetThreadList(&batch);
    RunModal(dlg, [&](HWND hDlg) { ::Sleep(static_cast<DWORD>(std::atoi(ms))); });
}
