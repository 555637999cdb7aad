// Ripping and converting from the program's own main window, over the simulated drive: tracks
// checked in the grid with the mouse, the format commands chosen from the menu with the mouse
// and with its keys, the progress window watched while it runs and dismissed with a click;
// then the files read back: FLAC decoded against the disc's sectors, tags, names and folders
// from the template, the playlist, the eject, Stop and a failing job. The program runs once per
// drive transport (SONORIA_TEST_TRANSPORT, see CMakeLists.txt).
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <string>
#include <vector>

#include "app/shell/main_frame.h"
#include "app/shell/progress_dlg.h"
#include "app/shell/sonoria3_app.h"
#include "app/shell/sonoria3_doc.h"
#include "app/shell/sonoria3_view.h"
#include "audio/formats/detection/format_detection.h"
#include "foundation/settings/app_cfg.h"
#include "resources/resource.h"
#include "testing/generated_wav.h"
#include "tests/app/quiet_start.h"
#include "tests/app/progress_test_support.h"
#include "tests/audio/cd_test_support.h"
#include "tests/framework_ui/ui_test_support.h"

CSonoria3App theApp;

using namespace testing_progress;
using Rows_t = std::vector<std::pair<std::string, std::string>>;

namespace {

// The default limit of a batch: the processors, at least one.
int DefaultLimit()
{
    SYSTEM_INFO si{};
    ::GetSystemInfo(&si);
    return std::max(1, static_cast<int>(si.dwNumberOfProcessors));
}

// More audio tracks than the default limit, each of kTrackSectors, then a data track.
constexpr int kTrackSectors = 150;
int AudioTrackCount()
{
    return std::min(DefaultLimit() + 2, 20);
}

std::string TrackTitle(int i)
{
    return "Song " + std::to_string(i + 1);
}

simdrive::SimDisc TheDisc(int readDelayMs)
{
    simdrive::SimDisc d;
    simdrive::SimSession s;
    const int n = AudioTrackCount();
    std::vector<std::string> titles = {"Window Album"}, artists = {"Window Band"};
    for (int i = 0; i < n; ++i) {
        s.tracks.push_back({i + 1, true, i * kTrackSectors});
        titles.push_back(TrackTitle(i));
        artists.push_back("Window Band");
    }
    s.tracks.push_back({n + 1, false, n * kTrackSectors});
    s.leadOutLba = n * kTrackSectors + 600;
    d.sessions = {s};
    simdrive::SimCdTextBlock block;
    block.items = {{0x80, titles}, {0x81, artists}};
    d.cdText = simdrive::SimBuildCdText({block});
    d.readDelayMs = readDelayMs;
    return d;
}

// With SONORIA_APP_RIP_EXPORT set (check_app_rip_tools.sh), a file is copied there under
// `name` for the reference tools, with `expected` beside it as NAME.raw when given.
void Export(const std::string& path, const std::string& name,
            const std::vector<uint8_t>* expected = nullptr)
{
    ExportForTools("SONORIA_APP_RIP_EXPORT", path, name, expected);
}

// A WAV file with a LIST/INFO chunk naming its artist and album.
std::vector<uint8_t> TaggedWav(double seconds)
{
    const testing_wav::Format f{2, 44100, 16};
    std::vector<uint8_t> wav = testing_wav::WavFile(f, testing_wav::SineSweep(f, seconds));
    std::vector<uint8_t> info = {'I', 'N', 'F', 'O'};
    for (auto [id, text] : {std::pair<const char*, std::string>{"IART", "Singer"},
                            std::pair<const char*, std::string>{"IPRD", "Record"}}) {
        info.insert(info.end(), id, id + 4);
        testing_wav::Put32(info, static_cast<uint32_t>(text.size() + 1));
        info.insert(info.end(), text.begin(), text.end());
        info.push_back(0);
        if (info.size() % 2 != 0)
            info.push_back(0);
    }
    wav.insert(wav.end(), {'L', 'I', 'S', 'T'});
    testing_wav::Put32(wav, static_cast<uint32_t>(info.size()));
    wav.insert(wav.end(), info.begin(), info.end());
    const uint32_t riff = static_cast<uint32_t>(wav.size() - 8);
    for (int i = 0; i < 4; ++i)
        wav[4 + i] = static_cast<uint8_t>(riff >> (8 * i));
    return wav;
}

// What a batch looked like in the progress window.
struct BatchSeen {
    bool shown = false;
    int maxRunning = 0; // rows showing a percentage at one look
    Rows_t rows;        // at the end, before the click on Dismiss
};

int RunningRows(HWND hDlg, int jobs)
{
    HWND hList = ::GetDlgItem(hDlg, IDC_PROGRESS_LIST);
    int running = 0;
    for (int i = 0; i < jobs; ++i) {
        const std::string state = ItemText(hList, i, 1);
        running += !state.empty() && state.back() == '%';
    }
    return running;
}

// Watches the batch until Dismiss comes on, then dismisses the window with a click.
void WatchToTheEnd(HWND hDlg, int jobs, BatchSeen& seen)
{
    seen.shown = true;
    WaitUntil([&] {
        seen.maxRunning = std::max(seen.maxRunning, RunningRows(hDlg, jobs));
        return ItemEnabled(hDlg, IDCANCEL);
    });
    seen.rows = Rows(hDlg);
    InputClickItem(hDlg, IDCANCEL);
    WaitUntil([hDlg] { return !::IsWindow(hDlg); }, 5000);
}

// The progress window that the script's input opened; null when none came.
HWND AwaitProgress()
{
    return WaitForProgressWindow(15000);
}

class AppRip : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        // The drive table of the test's own reads first: its first use inserts a disc of its
        // own, which ours replaces.
        ResetDriveStats(RunTransport());
        InsertDisc(TheDisc(30));
        SetQuietStartSettings(RunTransport() == Transport::Aspi);
        CAppCfg& cfg = GetAppCfg();
        cfg.SetConcurrentRippings(0);
        cfg.SetConcurrentConversions(0);
        cfg.SetBeepAfterRip(FALSE);
        cfg.SetAutoOpenOutputFolder(FALSE);
        cfg.SetWndCloseAfterRip(FALSE);
        cfg.SetShowElapsedTime(FALSE);
        cfg.SetOverwrite(FALSE);
        cfg.SetRipVolume(100);
        cfg.SetWriteLrcFile(FALSE);
        cfg.SetFlacEnc_Channels(2);
        cfg.SetWavEnc_Channels(2);
        cfg.SetWavEnc_BitsPerSample(16);
        cfg.SetWavEnc_WriteInfoTags(TRUE);
        cfg.SetMp3Enc_WriteID3(3);
        cfg.ClearFileNameDefs();
        cfg.AddFileNameDefsItem("Artist\\Album\\Number Title|%a\\%t\\%# %1%e");
        cfg.AddFileNameDefsItem("Number\\Title|%#\\%1%e");
        cfg.SetFileNameFormat(0);
        ASSERT_TRUE(theApp.InitInstance());
        PumpFor(200);
    }

    void SetUp() override
    {
        CAppCfg& cfg = GetAppCfg();
        cfg.SetOutputPath(out_.Path().c_str());
        cfg.SetWritePlayList(0);
        cfg.SetEjectAfterRip(FALSE);
        cfg.SetFileNameFormat(0);
        cfg.SetConcurrentRippings(0);
        InsertDisc(TheDisc(30));
        ResetDriveStats(RunTransport());
    }

    static CMainFrame* Frame() { return dynamic_cast<CMainFrame*>(theApp.m_pMainWnd); }
    static CSonoria3View* View()
    {
        return dynamic_cast<CSonoria3View*>(Frame()->GetActiveView());
    }
    static CSonoria3Doc* Doc() { return View()->GetDocument(); }
    static COXGridList& Grid() { return View()->GetGrid(); }

    static void FocusGrid()
    {
        ::SetForegroundWindow(Frame()->m_hWnd);
        ::SetFocus(Grid().m_hWnd);
        PumpFor(50);
    }
    // A click on a row's check box.
    static void ClickBox(int row)
    {
        CRect r;
        Grid().GetItemRect(row, &r, LVIR_BOUNDS);
        MouseClickAt(Grid().m_hWnd, r.left + 6, r.CenterPoint().y);
    }
    // The menu keys: Alt with the first letter, then the others.
    static void MenuKeys(std::initializer_list<WORD> letters)
    {
        auto it = letters.begin();
        SendKeys({VK_MENU, *it});
        for (++it; it != letters.end(); ++it) {
            ::Sleep(80);
            SendKeys({*it});
        }
    }
    // Types text as key presses, Shift held for capitals.
    static void TypeText(const char* text)
    {
        for (; *text != 0; ++text) {
            const SHORT key = ::VkKeyScanA(*text);
            if (HIBYTE(key) & 1)
                SendKeys({VK_SHIFT, LOBYTE(key)});
            else
                SendKeys({LOBYTE(key)});
        }
        PumpFor(100);
    }
    // The mouse on the menu bar: a click on the popup at `position`, then on its item `nID`.
    static void MenuClicks(int position, UINT nID)
    {
        HWND hFrame = Frame()->m_hWnd;
        HMENU hBar = ::GetMenu(hFrame);
        RECT rc{};
        ::GetMenuItemRect(hFrame, hBar, position, &rc);
        InputMouseMove(POINT{(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2});
        ::Sleep(30);
        InputMouseButton(true);
        InputMouseButton(false);
        HMENU hPopup = ::GetSubMenu(hBar, position);
        WaitUntil([] { return ::FindWindowA("#32768", nullptr) != nullptr; }, 5000);
        ::Sleep(150);
        int index = 0;
        while (index < ::GetMenuItemCount(hPopup) && ::GetMenuItemID(hPopup, index) != nID)
            ++index;
        RECT item{};
        ::GetMenuItemRect(nullptr, hPopup, index, &item);
        InputMouseMove(POINT{(item.left + item.right) / 2, (item.top + item.bottom) / 2});
        ::Sleep(60);
        InputMouseButton(true);
        InputMouseButton(false);
    }
    // Runs `input` on a thread of its own while this thread pumps; the progress window the
    // input opens is watched to its end there and dismissed.
    static BatchSeen RunBatch(int jobs, const std::function<void()>& input)
    {
        BatchSeen seen;
        ::SetForegroundWindow(Frame()->m_hWnd);
        PumpFor(50);
        RunScriptWhilePumping([&] {
            input();
            if (HWND hDlg = AwaitProgress())
                WatchToTheEnd(hDlg, jobs, seen);
        });
        PumpFor(100);
        return seen;
    }
    std::string RipPath(int i) const
    {
        char number[8];
        std::snprintf(number, sizeof number, "%02d", i + 1);
        return out_ / ("Window Band\\Window Album\\" + std::string(number) + " " + TrackTitle(i) +
                       ".flac");
    }
    // Every audio track's FLAC file decodes to the disc's sectors and carries its tags.
    void ExpectTrackFiles(const char* exportTag)
    {
        for (int i = 0; i < AudioTrackCount(); ++i) {
            SCOPED_TRACE(TrackTitle(i));
            CAudioTrackInfo tags;
            const std::vector<uint8_t> disc = SectorBytes(i * kTrackSectors, kTrackSectors);
            EXPECT_TRUE(DecodeFlac(RipPath(i), tags) == disc) << "decoded audio differs";
            EXPECT_EQ(std::string(tags.GetTrackTitle()), TrackTitle(i));
            EXPECT_STREQ(tags.GetArtist(), "Window Band");
            EXPECT_STREQ(tags.GetAlbumTitle(), "Window Album");
            Export(RipPath(i), std::string(exportTag) + std::to_string(i + 1) + ".flac", &disc);
        }
    }

    Scratch out_{"apprip"};
};

TEST_F(AppRip, EveryCheckedTrackRipsToFlacFromTheMenuByMouseAndByKeys)
{
    const Transport transport = RunTransport();
    const int audio = AudioTrackCount();
    ASSERT_EQ(Grid().GetItemCount(), audio + 1) << "the audio tracks and the data track";
    // Every box off, then every box on, with the mouse; the data row is checked as well and
    // gives no job.
    FocusGrid();
    for (int i = 0; i <= audio; ++i)
        if (Grid().GetCheck(i))
            ClickBox(i);
    EXPECT_EQ(Doc()->GetCDInfo().GetSelectedTrackCount(), 0);
    for (int i = 0; i <= audio; ++i)
        ClickBox(i);
    for (int i = 0; i <= audio; ++i)
        ASSERT_EQ(Grid().GetCheck(i), 1) << i;

    CAppCfg& cfg = GetAppCfg();
    cfg.SetWritePlayList(1);
    cfg.SetEjectAfterRip(TRUE);
    const BatchSeen byMouse =
        RunBatch(audio, [] { MenuClicks(2, ID_RIP_FLAC); }); // "&Rip", "...to &FLAC"
    ASSERT_TRUE(byMouse.shown) << "no progress window";

    Rows_t expected;
    for (int i = 0; i < audio; ++i)
        expected.emplace_back(RipPath(i).substr(RipPath(i).rfind('\\') + 1), "Complete");
    const std::string playlist = out_ / "Window Album.m3u";
    expected.emplace_back("Playlist saved as: " + playlist, "");
    expected.emplace_back("Done.", "");
    EXPECT_EQ(byMouse.rows, expected);
    EXPECT_GE(byMouse.maxRunning, 1);
    EXPECT_LE(byMouse.maxRunning, DefaultLimit()) << "more jobs ran than the default limit";
    ExpectTrackFiles("mouse");
    const std::string m3u = ReadText(playlist);
    for (int i = 0; i < audio; ++i)
        EXPECT_NE(m3u.find(TrackTitle(i) + ".flac"), std::string::npos) << m3u;
    EXPECT_EQ(DriveStats(transport).ejects, 1u);

    // Again by the menu's keys into a fresh folder, without playlist or eject.
    Scratch again("apprip_keys");
    cfg.SetOutputPath(again.Path().c_str());
    cfg.SetWritePlayList(0);
    cfg.SetEjectAfterRip(FALSE);
    ResetDriveStats(transport);
    const BatchSeen byKeys = RunBatch(audio, [] { MenuKeys({'R', 'F'}); });
    ASSERT_TRUE(byKeys.shown) << "no progress window";
    ASSERT_EQ(byKeys.rows.size(), static_cast<size_t>(audio + 1));
    EXPECT_EQ(byKeys.rows.back().first, "Done.");
    for (int i = 0; i < audio; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(byKeys.rows[i].second, "Complete");
        CAudioTrackInfo tags;
        const std::string path = again.Path() + RipPath(i).substr(out_.Path().size());
        EXPECT_TRUE(DecodeFlac(path, tags) == SectorBytes(i * kTrackSectors, kTrackSectors));
    }
    EXPECT_FALSE(FileExists(again / "Window Album.m3u"));
    EXPECT_EQ(DriveStats(transport).ejects, 0u);
}

TEST_F(AppRip, StopInTheMiddleLeavesTheFinishedTrackAndNoPartialFiles)
{
    // One job at a time and slow reads: the second track is being read when Stop comes, the
    // third waits.
    GetAppCfg().SetConcurrentRippings(1);
    InsertDisc(TheDisc(150));
    FocusGrid();
    for (int i = 0; i <= AudioTrackCount(); ++i)
        if (Grid().GetCheck(i) != (i < 3 ? 1 : 0))
            ClickBox(i);
    Rows_t afterStop;
    std::string tip;
    bool shown = false;
    RunScriptWhilePumping([&] {
        MenuKeys({'R', 'F'});
        HWND hDlg = AwaitProgress();
        if (hDlg == nullptr)
            return;
        shown = true;
        HWND hList = ::GetDlgItem(hDlg, IDC_PROGRESS_LIST);
        // Job 1 running (its slow reads take more than a second).
        WaitUntil([&] {
            const std::string second = ItemText(hList, 1, 1);
            return ItemText(hList, 0, 1) == "Complete" && !second.empty() && second.back() == '%';
        });
        InputClickItem(hDlg, IDC_PROGRESS_STOP);
        WaitUntil([&] { return ItemEnabled(hDlg, IDCANCEL); });
        afterStop = Rows(hDlg);
        tip = HoverTip(hDlg, 0);
        InputClickItem(hDlg, IDCANCEL);
        WaitUntil([hDlg] { return !::IsWindow(hDlg); }, 5000);
    });
    ASSERT_TRUE(shown);
    ASSERT_EQ(afterStop.size(), 5u);
    EXPECT_EQ(afterStop[0].second, "Complete");
    EXPECT_EQ(afterStop[1].second, "Error: Stopped by the user");
    EXPECT_EQ(afterStop[2].second, "Error: Stopped by the user");
    EXPECT_EQ(afterStop[3].first, "User asked to stop the process.");
    EXPECT_EQ(afterStop[4].first, "Done.");
    EXPECT_EQ(tip, "Ripping CD to " + RipPath(0)) << "the info tip of a CD job";
    CAudioTrackInfo tags;
    EXPECT_TRUE(DecodeFlac(RipPath(0), tags) == SectorBytes(0, kTrackSectors));
    EXPECT_FALSE(FileExists(RipPath(1)));
    EXPECT_FALSE(FileExists(RipPath(2)));
}

TEST_F(AppRip, AnUnwritableFolderShowsTheJobsErrorWhileTheOthersFinish)
{
    // The second template puts each track in a folder named by its number; a file blocks the
    // folder of track 2.
    GetAppCfg().SetFileNameFormat(1);
    GetAppCfg().SetEjectAfterRip(TRUE);
    ASSERT_TRUE(testing_wav::WriteFile(out_ / "02", {1, 2, 3}));
    FocusGrid();
    for (int i = 0; i <= AudioTrackCount(); ++i)
        if (Grid().GetCheck(i) != (i < 3 ? 1 : 0))
            ClickBox(i);
    const BatchSeen seen = RunBatch(3, [] { MenuKeys({'R', 'F'}); });
    ASSERT_TRUE(seen.shown);
    ASSERT_EQ(seen.rows.size(), 4u);
    EXPECT_EQ(seen.rows[0], std::make_pair(TrackTitle(0) + ".flac", std::string("Complete")));
    EXPECT_EQ(seen.rows[1].second.rfind("Error: ", 0), 0u) << seen.rows[1].second;
    EXPECT_GT(seen.rows[1].second.size(), 8u) << "the error says what went wrong";
    EXPECT_EQ(seen.rows[2], std::make_pair(TrackTitle(2) + ".flac", std::string("Complete")));
    EXPECT_EQ(seen.rows[3].first, "Done.");
    EXPECT_TRUE(FileExists(out_ / ("03\\" + TrackTitle(2) + ".flac")));
    EXPECT_FALSE(FileExists(out_ / ("02\\" + TrackTitle(1) + ".flac")));
    EXPECT_EQ(DriveStats(RunTransport()).ejects, 0u) << "a batch with an error ejected";
}

// For the screenshot of a batch in its middle over the program: runs only with
// SONORIA_SHOWCASE_MS set and keeps the window that long.
TEST_F(AppRip, Showcase)
{
    const char* ms = std::getenv("SONORIA_SHOWCASE_MS");
    if (ms == nullptr)
        GTEST_SKIP() << "for screenshots only";
    InsertDisc(TheDisc(150));
    FocusGrid();
    for (int i = 0; i <= AudioTrackCount(); ++i)
        if (!Grid().GetCheck(i))
            ClickBox(i);
    RunScriptWhilePumping([&] {
        MenuKeys({'R', 'F'});
        if (HWND hDlg = AwaitProgress()) {
            ::Sleep(static_cast<DWORD>(std::atoi(ms)));
            ::PostMessageA(hDlg, WM_COMMAND, IDC_PROGRESS_STOP, 0);
            WaitUntil([hDlg] { return ItemEnabled(hDlg, IDCANCEL); });
            ::PostMessageA(hDlg, WM_COMMAND, IDCANCEL, 0);
        }
    });
}

// Last: it leaves the program in the "Converter" mode.
TEST_F(AppRip, ConverterTurnsDroppedWavFilesIntoEveryFormatWithTagsDistinctNamesAndGain)
{
    FocusGrid();
    MenuKeys({'V', VK_DOWN, VK_RETURN}); // View, "Converter"
    ASSERT_TRUE(PumpUntil([] { return Doc()->GetContentMode() == CSonoria3Doc::MODE_CONVERTER; },
                          400));
    ::CreateDirectoryA((out_ / "src").c_str(), nullptr);
    ::CreateDirectoryA((out_ / "src2").c_str(), nullptr);
    const std::string first = out_ / "src\\song.wav", second = out_ / "src2\\Song.wav";
    ASSERT_TRUE(testing_wav::WriteFile(first, TaggedWav(2.0)));
    ASSERT_TRUE(testing_wav::WriteFile(second, TaggedWav(1.0)));
    ::PostMessage(View()->m_hWnd, WM_DROPFILES,
                  reinterpret_cast<WPARAM>(DropFilesBlock({first, second})), 0);
    ASSERT_TRUE(PumpUntil([] { return Grid().GetItemCount() == 2; }, 400));

    // The titles typed into the grid.
    const char* titles[] = {"First song", "Second song"};
    for (int row = 0; row < 2; ++row) {
        FocusGrid();
        SendKeys({static_cast<WORD>(row == 0 ? VK_HOME : VK_END)});
        PumpFor(50);
        SendKeys({VK_F2});
        PumpFor(100);
        TypeText(titles[row]);
        SendKeys({VK_RETURN});
        PumpFor(100);
        ASSERT_STREQ(Doc()->GetCDInfo().GetTrack(row)->GetTrackTitle(), titles[row]);
    }
    for (int row = 0; row < 2; ++row)
        if (!Grid().GetCheck(row))
            ClickBox(row);

    CAppCfg& cfg = GetAppCfg();
    cfg.SetConverterUsesFilenames(TRUE);
    struct Format {
        WORD key; // the mnemonic of "Convert Selected Tracks to ..."
        const char* extension;
        int fileType;
    };
    const Format formats[] = {{'W', ".wav", 0}, {'M', ".mp3", 1}, {'V', ".ogg", 2},
                              {'A', ".wma", 3}};
    for (const Format& f : formats) {
        SCOPED_TRACE(f.extension);
        const BatchSeen seen = RunBatch(2, [&] { MenuKeys({'R', f.key}); });
        ASSERT_TRUE(seen.shown);
        ASSERT_EQ(seen.rows.size(), 3u);
        // Two sources of one name: the second gets the counter.
        const std::string names[] = {std::string("song") + f.extension,
                                     std::string("Song[1]") + f.extension};
        for (int i = 0; i < 2; ++i) {
            SCOPED_TRACE(names[i]);
            EXPECT_EQ(seen.rows[i], std::make_pair(names[i], std::string("Complete")));
            CAudioTrackInfo tags;
            ASSERT_TRUE(CAudioFileInspector::ImportTags((out_ / names[i]).c_str(), tags));
            EXPECT_EQ(tags.GetFileType(), f.fileType);
            EXPECT_STREQ(tags.GetTrackTitle(), titles[i]);
            EXPECT_STREQ(tags.GetArtist(), "Singer");
            EXPECT_STREQ(tags.GetAlbumTitle(), "Record");
            Export(out_ / names[i], "conv_" + names[i]);
        }
    }
    EXPECT_TRUE(FilePcm(out_ / "song.wav") == FilePcm(first)) << "WAV to WAV changed samples";

    // Half the level: every sample halved, cut toward zero (the names taken move the counter
    // on).
    cfg.SetRipVolume(50);
    ClickBox(1);
    const BatchSeen half = RunBatch(1, [] { MenuKeys({'R', 'W'}); });
    cfg.SetRipVolume(100);
    ASSERT_TRUE(half.shown);
    ASSERT_EQ(half.rows.size(), 2u);
    EXPECT_EQ(half.rows[0], std::make_pair(std::string("song[2].wav"), std::string("Complete")));
    EXPECT_EQ(SamplesOffGain(FilePcm(first), FilePcm(out_ / "song[2].wav"), 0.5), 0u);
}

} // namespace
