// The multi-track and raw rip commands from the program's own menu over the simulated drive,
// each dialog driven with real keys and clicks from a helper thread: three tracks into one
// tagged FLAC with a cue sheet, a frame range into one WAV, both read back bit for bit against
// the disc's sectors; the range rules of both dialogs; Cancel and a failing read leave no file.
// With SONORIA_RIPRANGE_EXPORT set the outputs are copied there for the reference tools
// (check_rip_range_with_tools.sh); with SONORIA_SHOWCASE_MS set the showcase holds a dialog.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "app/shell/main_frame.h"
#include "app/shell/progress_dlg_res.h"
#include "app/shell/rip_dialogs_res.h"
#include "app/shell/sonoria3_app.h"
#include "app/shell/sonoria3_doc.h"
#include "app/shell/sonoria3_view.h"
#include "audio/audio_frame.h"
#include "audio/formats/flac/flac_reader.h"
#include "catalogue/model/cd_info.h"
#include "foundation/settings/app_cfg.h"
#include "resources/resource.h"
#include "testing/generated_wav.h"
#include "testing/simdrive/sim_disc.h"
#include "tests/app/quiet_start.h"
#include "tests/app/dialog_script.h"
#include "tests/app/progress_test_support.h"
#include "tests/framework_ui/ui_test_support.h"

CSonoria3App theApp;

namespace {

using namespace dialog_script;

// Four audio tracks; the range rips start at track 2, so offsets are not positions.
constexpr int kTrackStarts[] = {0, 300, 777, 1234};
constexpr int kLeadOut = 1700;

std::string ImagePath()
{
    char path[MAX_PATH] = {};
    ::GetEnvironmentVariableA("SONORIA_SIMDRIVE_IMAGE", path, MAX_PATH);
    return path;
}

// The disc the drive shows from now on: the four tracks (so the loaded disc stays valid), or
// the tracks given.
void WriteDisc(std::vector<simdrive::SimBadRun> badRuns = {},
               std::vector<simdrive::SimTrack> tracks = {})
{
    simdrive::SimDisc disc;
    simdrive::SimSession session;
    for (int i = 0; i < 4; ++i)
        session.tracks.push_back({i + 1, true, kTrackStarts[i]});
    if (!tracks.empty())
        session.tracks = std::move(tracks);
    session.leadOutLba = kLeadOut;
    disc.sessions = {session};
    simdrive::SimCdTextBlock block;
    block.items = {{0x80, {"Range Album", "First Song", "Second Song", "Third Song", "Fourth"}},
                   {0x81, {"Range Band", "Singer A", "Singer B", "Singer C", "Singer D"}}};
    disc.cdText = simdrive::SimBuildCdText({block});
    disc.badRuns = std::move(badRuns);
    const std::string text = disc.ToText();
    ASSERT_TRUE(testing_wav::WriteFile(ImagePath(), std::vector<uint8_t>(text.begin(), text.end())));
}

// Sectors [first, end) of the disc as the drive returns them.
std::vector<uint8_t> DiscBytes(int first, int end)
{
    std::vector<uint8_t> bytes(static_cast<size_t>(end - first) * simdrive::kSectorBytes);
    for (int lba = first; lba < end; ++lba)
        simdrive::SimAudioSector(lba, &bytes[static_cast<size_t>(lba - first) *
                                             simdrive::kSectorBytes]);
    return bytes;
}

using testing_progress::DecodeFlac;
using testing_progress::FilePcm;

// With SONORIA_RIPRANGE_EXPORT set, the file goes there for the reference tools, with the
// disc's bytes beside it as NAME.raw.
void Export(const std::string& path, const std::vector<uint8_t>& expected)
{
    const char* dir = std::getenv("SONORIA_RIPRANGE_EXPORT");
    if (dir == nullptr)
        return;
    const std::string target = std::string(dir) + "\\" + path.substr(path.rfind('\\') + 1);
    ::CopyFileA(path.c_str(), target.c_str(), FALSE);
    testing_wav::WriteFile(target + ".raw", expected);
}

DWORD g_uiThread = 0;

// The visible dialog whose caption is title, waited for from the helper thread.
HWND Dialog(const char* title)
{
    return WaitForDialog(g_uiThread, title);
}

int CurSel(HWND hDlg, int id)
{
    return static_cast<int>(::SendMessageA(::GetDlgItem(hDlg, id), CB_GETCURSEL, 0, 0));
}

// Opens the combo box with a click and moves its selection with the keys; Enter closes the
// list (with the list closed it would be the dialog's "Rip").
void Choose(HWND hDlg, int id, std::initializer_list<UINT> keys)
{
    HWND hCombo = ::GetDlgItem(hDlg, id);
    auto dropped = [hCombo] { return ::SendMessageA(hCombo, CB_GETDROPPEDSTATE, 0, 0) != 0; };
    // Apart from the last click, or the two would make a double click.
    ::Sleep(::GetDoubleClickTime() + 50);
    ClickControl(hDlg, id);
    if (!WaitUntil(dropped, 2000)) {
        ADD_FAILURE() << "the list of " << id << " did not open";
        return;
    }
    for (UINT vk : keys)
        Key(vk);
    Key(VK_RETURN);
    WaitUntil([&] { return !dropped(); }, 2000);
}

// Types into a field after selecting its whole text.
void TypeIn(HWND hDlg, int id, const char* text)
{
    ClickControl(hDlg, id);
    Retype(text);
}

// The property grid's row list (the grid's list window), a child of the dialog.
HWND GridList(HWND hDlg)
{
    HWND found = nullptr;
    ::EnumChildWindows(
        hDlg,
        [](HWND h, LPARAM l) -> BOOL {
            if (::GetDlgCtrlID(h) != 0xFFFF || !::IsWindowVisible(h))
                return TRUE;
            *reinterpret_cast<HWND*>(l) = h;
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&found));
    return found;
}

// The first row of the tags grid ("Title"): a real click in its value cell, the text, Enter.
void TypeTitle(HWND hDlg, const char* text)
{
    HWND hList = GridList(hDlg);
    ASSERT_NE(hList, nullptr);
    RECT rc{};
    ::GetClientRect(hList, &rc);
    POINT pt{rc.right * 3 / 4, 7};
    ::ClientToScreen(hList, &pt);
    InputMouseMove(pt);
    ::Sleep(60);
    InputMouseButton(true);
    InputMouseButton(false);
    ::Sleep(300);
    Type(text);
    Key(VK_RETURN);
}

// Waits for the progress window after "Rip"; a clean batch closes it by itself
// (WndCloseAfterRip), otherwise the row's state is read and the window dismissed.
std::string RunProgress()
{
    HWND hProgress = testing_progress::WaitForProgressWindow(20000);
    if (hProgress == nullptr)
        return "<no progress window>";
    std::string state;
    WaitUntil(
        [&] {
            auto rows = testing_progress::Rows(hProgress);
            if (!rows.empty())
                state = rows[0].second;
            return !::IsWindowVisible(hProgress) || state == "Complete" ||
                   state.rfind("Error", 0) == 0;
        },
        60000);
    if (state.rfind("Error", 0) == 0) {
        WaitUntil([&] { return Enabled(hProgress, IDCANCEL); });
        ClickControl(hProgress, IDCANCEL);
    }
    const bool closed =
        WaitUntil([&] { return !::IsWindow(hProgress) || !::IsWindowVisible(hProgress); }, 20000);
    // It closes by itself only after a batch without errors.
    return closed && state.rfind("Error", 0) != 0 ? "Complete" : state;
}

class RipRangeTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        ASSERT_FALSE(ImagePath().empty()) << "runs under testing/simdrive/simdrive-wine";
        g_uiThread = ::GetCurrentThreadId();
        WriteDisc();
        SetQuietStartSettings(FALSE);
        ASSERT_TRUE(theApp.InitInstance());
        // Without a window manager the main window could cover the centred dialogs it owns.
        theApp.m_pMainWnd->MoveWindow(0, 0, 400, 300, TRUE);
        PumpFor(300);
    }

    void SetUp() override
    {
        WriteDisc();
        CAppCfg& cfg = GetAppCfg();
        cfg.SetOutputPath(dir_.Path().c_str());
        cfg.SetDefaultTargetFormat(1);
        cfg.SetBeepAfterRip(FALSE);
        cfg.SetEjectAfterRip(FALSE);
        cfg.SetWndCloseAfterRip(TRUE);
        cfg.SetAutoOpenOutputFolder(FALSE);
        cfg.SetWritePlayList(0);
        cfg.SetWavEnc_Channels(2);
        cfg.SetWavEnc_BitsPerSample(16);
        cfg.SetWavEnc_WriteInfoTags(FALSE);
        cfg.SetFlacEnc_Channels(2);
        ASSERT_EQ(Doc().GetCDInfo().GetTrackCount(), 4);
    }

    static CSonoria3Doc& Doc()
    {
        auto* pFrame = dynamic_cast<CMainFrame*>(theApp.m_pMainWnd);
        return *dynamic_cast<CSonoria3View*>(pFrame->GetActiveView())->GetDocument();
    }

    // The Rip menu's item by its letter ('C' multi-track, 'K' raw) while script drives what
    // it opens from the helper thread; returns when the script has ended.
    static void RunCommand(WORD letter, std::function<void()> script)
    {
        volatile bool done = false;
        RunWithScript(
            [&] {
                ::SetForegroundWindow(theApp.m_pMainWnd->m_hWnd);
                PumpPending();
                SendKeys({VK_MENU, 'R'});
                SendKeys({letter});
                PumpUntil([&] { return done; }, 12000);
                PumpFor(200);
                return 0;
            },
            [&] {
                script();
                done = true;
            });
    }

    // The files the output folder holds.
    std::vector<std::string> OutputFiles() const
    {
        std::vector<std::string> names;
        WIN32_FIND_DATAA fd;
        HANDLE h = ::FindFirstFileA((dir_ / "*").c_str(), &fd);
        if (h == INVALID_HANDLE_VALUE)
            return names;
        do {
            if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                names.push_back(fd.cFileName);
        } while (::FindNextFileA(h, &fd));
        ::FindClose(h);
        return names;
    }

    testing_progress::Scratch dir_{"riprange"};
};

} // namespace

// Tracks 2 to 4 into one FLAC: the range lists keep at least two tracks, the format fixes the
// extension, the title typed into the grid becomes the file's tag and the cue sheet's title,
// and the cue sheet's INDEX 01 times are the tracks' offsets from the start of track 2.
TEST_F(RipRangeTest, MultiTrackRipsThreeTracksIntoOneFlacWithACueSheet)
{
    std::string initialName, nameAfterFlac;
    int toAfterFrom = -1;
    std::string fromItem, toItem;
    std::string state;
    RunCommand('C', [&] {
        HWND h = Dialog("Multi Track Rip");
        ASSERT_NE(h, nullptr);
        fromItem = ItemText(h, IDC_RIPDLG_FROM_TRACK);
        initialName = ItemText(h, IDC_RIPDLG_OUTFILE);
        EXPECT_EQ(CurSel(h, IDC_RIPDLG_TO_TRACK), 2) << "the last track";
        toItem = ItemText(h, IDC_RIPDLG_TO_TRACK);
        Choose(h, IDC_RIPDLG_TO_TRACK, {VK_HOME});   // "to" track 2
        Choose(h, IDC_RIPDLG_FROM_TRACK, {VK_END});  // "from" track 3: "to" moves on
        toAfterFrom = CurSel(h, IDC_RIPDLG_TO_TRACK);
        Choose(h, IDC_RIPDLG_FROM_TRACK, {VK_UP});   // "from" track 2, "to" stays at 4
        Choose(h, IDC_RIPDLG_FORMAT, {VK_END});      // FLAC
        nameAfterFlac = ItemText(h, IDC_RIPDLG_OUTFILE);
        ClickControl(h, IDC_RIPDLG_CUESHEET);
        TypeTitle(h, "Joined Up");
        ClickControl(h, IDOK);
        state = RunProgress();
    });
    EXPECT_EQ(fromItem, "1-First Song");
    EXPECT_EQ(toItem, "4-Fourth");
    EXPECT_EQ(initialName, dir_ / "multitrack.mp3");
    EXPECT_EQ(toAfterFrom, 2) << "from track 3, the range still holds track 4";
    EXPECT_EQ(nameAfterFlac, dir_ / "multitrack.flac");
    EXPECT_EQ(state, "Complete");

    const std::string flac = dir_ / "multitrack.flac";
    CAudioTrackInfo tags;
    const std::vector<uint8_t> expected = DiscBytes(kTrackStarts[1], kLeadOut);
    const std::vector<uint8_t> pcm = DecodeFlac(flac, tags);
    EXPECT_EQ(pcm.size(), expected.size());
    EXPECT_TRUE(pcm == expected) << "the FLAC holds sectors 300 to 1699 exactly";
    EXPECT_EQ(std::string(tags.GetTrackTitle()), "Joined Up");
    EXPECT_EQ(std::string(tags.GetAlbumTitle()), "Range Album");
    EXPECT_EQ(std::string(tags.GetArtist()), "Range Band");
    Export(flac, expected);

    const std::string cue = testing_progress::ReadText(dir_ / "multitrack.cue");
    for (const char* line :
         {"TITLE \"Joined Up\"", "PERFORMER \"Range Band\"", "FILE \"multitrack.flac\"",
          "TRACK 01 AUDIO", "TITLE \"Second Song\"", "INDEX 01 00:00:00", "TRACK 02 AUDIO",
          "TITLE \"Third Song\"", "INDEX 01 00:06:27", "TRACK 03 AUDIO", "TITLE \"Fourth\"",
          "INDEX 01 00:12:34"})
        EXPECT_NE(cue.find(line), std::string::npos) << line << " in\n" << cue;
    EXPECT_EQ(cue.find("TRACK 04"), std::string::npos) << cue;
    if (const char* dir = std::getenv("SONORIA_RIPRANGE_EXPORT"))
        ::CopyFileA((dir_ / "multitrack.cue").c_str(),
                    (std::string(dir) + "\\multitrack.cue").c_str(), FALSE);
}

// Frames 123 to 999 into a WAV: the fields' times, the Rip button's range rule, and the format
// chosen alone that takes effect only at "Rip".
TEST_F(RipRangeTest, RawRipWritesTheFrameRangeBitForBit)
{
    struct Seen {
        std::string from, to, fromTime, toTime, name;
        bool ripEnabled = false;
    };
    Seen initial, beyond, equal, letters, chosen;
    auto look = [](HWND h) {
        return Seen{ItemText(h, IDC_RIPDLG_FROM_FRAME), ItemText(h, IDC_RIPDLG_TO_FRAME),
                    ItemText(h, IDC_RIPDLG_FROM_TIME), ItemText(h, IDC_RIPDLG_TO_TIME),
                    ItemText(h, IDC_RIPDLG_OUTFILE), Enabled(h, IDOK)};
    };
    std::string state;
    RunCommand('K', [&] {
        HWND h = Dialog("Raw Track Rip");
        ASSERT_NE(h, nullptr);
        initial = look(h);
        TypeIn(h, IDC_RIPDLG_FROM_FRAME, "4500");
        beyond = look(h);
        TypeIn(h, IDC_RIPDLG_FROM_FRAME, "1699");
        equal = look(h);
        TypeIn(h, IDC_RIPDLG_FROM_FRAME, "x12");
        letters = look(h);
        TypeIn(h, IDC_RIPDLG_FROM_FRAME, "123");
        TypeIn(h, IDC_RIPDLG_TO_FRAME, "1000");
        Choose(h, IDC_RIPDLG_FORMAT, {VK_HOME}); // WAV
        chosen = look(h);
        ClickControl(h, IDOK);
        state = RunProgress();
    });
    EXPECT_EQ(initial.from, "0");
    EXPECT_EQ(initial.to, "1699") << "the disc's last sector";
    EXPECT_EQ(initial.fromTime, "(0:00)");
    EXPECT_EQ(initial.toTime, "(0:22)");
    EXPECT_EQ(initial.name, dir_ / "rawtrack.mp3");
    EXPECT_TRUE(initial.ripEnabled);
    EXPECT_EQ(beyond.fromTime, "(--:--)");
    EXPECT_FALSE(beyond.ripEnabled);
    EXPECT_EQ(equal.fromTime, "(0:22)");
    EXPECT_FALSE(equal.ripEnabled) << "an empty range";
    EXPECT_EQ(letters.fromTime, "(0:00)") << "letters read as 0";
    EXPECT_TRUE(letters.ripEnabled);
    EXPECT_TRUE(chosen.ripEnabled);
    EXPECT_EQ(chosen.name, dir_ / "rawtrack.mp3") << "the format alone leaves the name";
    EXPECT_EQ(state, "Complete");

    const std::string wav = dir_ / "rawtrack.wav";
    const std::vector<uint8_t> expected = DiscBytes(123, 1000);
    const std::vector<uint8_t> pcm = FilePcm(wav);
    EXPECT_EQ(pcm.size(), expected.size());
    EXPECT_TRUE(pcm == expected) << "frames 123 up to, not including, 1000";
    EXPECT_FALSE(testing_progress::FileExists(dir_ / "rawtrack.mp3"));
    Export(wav, expected);
}

// Cancel in either dialog runs no batch; a rip over sectors that never read fails in the
// progress window and leaves no file.
TEST_F(RipRangeTest, CancelAndAFailedReadLeaveNoOutput)
{
    for (WORD letter : {WORD('C'), WORD('K')}) {
        bool progressShown = true;
        RunCommand(letter, [&] {
            HWND h = Dialog(letter == 'C' ? "Multi Track Rip" : "Raw Track Rip");
            ASSERT_NE(h, nullptr);
            ClickControl(h, IDCANCEL);
            progressShown = testing_progress::WaitForProgressWindow(1500) != nullptr;
        });
        EXPECT_FALSE(progressShown) << static_cast<char>(letter);
    }
    EXPECT_TRUE(OutputFiles().empty());

    WriteDisc({{800, 4, -1}});
    std::string state;
    RunCommand('K', [&] {
        HWND h = Dialog("Raw Track Rip");
        ASSERT_NE(h, nullptr);
        Choose(h, IDC_RIPDLG_FORMAT, {VK_END}); // FLAC
        TypeIn(h, IDC_RIPDLG_FROM_FRAME, "700");
        ClickControl(h, IDOK);
        state = RunProgress();
    });
    EXPECT_EQ(state.rfind("Error", 0), 0u) << state;
    EXPECT_TRUE(OutputFiles().empty()) << OutputFiles().front();
}

// The Rip menu as a user opens it: whether the two commands are enabled, read from a helper
// thread while the menu's own loop runs here.
std::pair<bool, bool> RangeCommandsEnabled()
{
    HWND hMain = theApp.m_pMainWnd->m_hWnd;
    std::pair<bool, bool> result{false, false};
    volatile bool done = false;
    RunWithScript(
        [&] {
            ::SetForegroundWindow(hMain);
            PumpPending();
            SendKeys({VK_MENU, 'R'});
            PumpUntil([&] { return done; }, 2000);
            PumpFor(200);
            return 0;
        },
        [&] {
            WaitUntil([] { return ::FindWindowA("#32768", nullptr) != nullptr; }, 5000);
            ::Sleep(300);
            auto enabled = [hMain](UINT id) {
                HMENU hMenu = ::GetMenu(hMain);
                for (int i = 0; i < ::GetMenuItemCount(hMenu); ++i) {
                    const UINT state = ::GetMenuState(::GetSubMenu(hMenu, i), id, MF_BYCOMMAND);
                    if (state != static_cast<UINT>(-1))
                        return (state & (MF_GRAYED | MF_DISABLED)) == 0;
                }
                ADD_FAILURE() << "no menu item " << id;
                return false;
            };
            result = {enabled(ID_RIP_MULTITRACK), enabled(ID_RIP_RAW)};
            Key(VK_ESCAPE);
            Key(VK_ESCAPE);
            done = true;
        });
    return result;
}

// Refreshes the disc with Ctrl+N and waits for its tracks.
void RefreshDisc(int nTracks)
{
    ::SetForegroundWindow(theApp.m_pMainWnd->m_hWnd);
    PumpPending();
    SendKeys({VK_CONTROL, 'N'});
    auto* pFrame = dynamic_cast<CMainFrame*>(theApp.m_pMainWnd);
    auto* pView = dynamic_cast<CSonoria3View*>(pFrame->GetActiveView());
    EXPECT_TRUE(PumpUntil(
        [&] { return pView->GetDocument()->GetCDInfo().GetTrackCount() == nTracks; }, 1000));
    PumpFor(200);
}

// Multi-track needs two audio tracks, raw rip one: a disc of one audio and one data track
// leaves only the raw rip.
TEST_F(RipRangeTest, CommandsFollowTheDiscsAudioTracks)
{
    EXPECT_EQ(RangeCommandsEnabled(), std::make_pair(true, true));
    WriteDisc({}, {{1, true, 0}, {2, false, 900}});
    RefreshDisc(2);
    EXPECT_EQ(RangeCommandsEnabled(), std::make_pair(false, true));
    WriteDisc();
    RefreshDisc(4);
    EXPECT_EQ(RangeCommandsEnabled(), std::make_pair(true, true));
}

// Holds the dialog the environment names ("multi" or "raw") open for a screenshot.
TEST_F(RipRangeTest, Showcase)
{
    const char* ms = std::getenv("SONORIA_SHOWCASE_MS");
    const char* which = std::getenv("SONORIA_SHOWCASE");
    if (ms == nullptr || which == nullptr)
        GTEST_SKIP() << "set SONORIA_SHOWCASE_MS and SONORIA_SHOWCASE=multi|raw";
    const bool multi = std::string(which) == "multi";
    RunCommand(multi ? 'C' : 'K', [&] {
        HWND h = Dialog(multi ? "Multi Track Rip" : "Raw Track Rip");
        ASSERT_NE(h, nullptr);
        if (multi) {
            Choose(h, IDC_RIPDLG_FROM_TRACK, {VK_DOWN});
            Choose(h, IDC_RIPDLG_FORMAT, {VK_END});
            ClickControl(h, IDC_RIPDLG_CUESHEET);
            TypeTitle(h, "Joined Up");
        } else {
            TypeIn(h, IDC_RIPDLG_FROM_FRAME, "4500");
            TypeIn(h, IDC_RIPDLG_FROM_FRAME, "123");
        }
        ::Sleep(static_cast<DWORD>(std::atoi(ms)));
        ClickControl(h, IDCANCEL);
    });
}
