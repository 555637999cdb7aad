// The player window, opened by the program's own "Play Track..." command over the simulated
// drive and heard on the recording test device (testing/asound.conf): a file of the
// "Converter" list and a CD track played sample for sample, the volume slider and its icons
// scaling the samples, Stop and Escape fading out and closing, the window closing itself at the
// end of the track or when nothing can be opened, and no handles left behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "app/dialogs/player_dlg.h"
#include "app/shell/main_frame.h"
#include "app/shell/sonoria3_app.h"
#include "app/shell/sonoria3_doc.h"
#include "app/shell/sonoria3_view.h"
#include "catalogue/model/cd_info.h"
#include "foundation/settings/app_cfg.h"
#include "resources/resource.h"
#include "rip/rip_task.h"
#include "testing/generated_wav.h"
#include "testing/pcm_capture.h"
#include "tests/app/quiet_start.h"
#include "tests/app/dialog_script.h"
#include "tests/audio/cd_test_support.h"
#include "tests/framework_ui/ui_test_support.h"

CSonoria3App theApp;

namespace {

using namespace dialog_script;
using testing_pcm::ReadCapture;
using testing_pcm::Samples16;
using testing_pcm::WithoutSilence;

constexpr char kPlayerTitle[] = "Sonoria Audio Player";
constexpr int kRate = 44100;
constexpr size_t kFrameBytes = 4; // 16-bit stereo
constexpr int kShortTrackSectors = 188; // 2.5 s
constexpr int kLongTrackSectors = 1500; // 20 s

// Two audio tracks, titled by the disc's CD-Text, and a data track.
void WriteDisc()
{
    simdrive::SimDisc disc;
    simdrive::SimSession session;
    session.tracks = {{1, true, 0},
                      {2, true, kShortTrackSectors},
                      {3, false, kShortTrackSectors + kLongTrackSectors}};
    session.leadOutLba = kShortTrackSectors + kLongTrackSectors + 600;
    disc.sessions = {session};
    simdrive::SimCdTextBlock block;
    block.items = {{0x80, {"Player Album", "First Song", "Long Song", ""}},
                   {0x81, {"Player Band", "Singer", "Singer", ""}}};
    disc.cdText = simdrive::SimBuildCdText({block});
    InsertDisc(disc);
}

// The samples the drive returns for sectors [first, first + count).
std::vector<short> DiscSamples(int first, int count)
{
    return Samples16(SectorBytes(first, count));
}

std::string TempFolder()
{
    char dir[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, dir);
    return dir;
}

// A sweep of the given length as a WAV file; returns its samples.
std::vector<short> WriteSweep(const std::string& path, double seconds)
{
    const testing_wav::Format format{2, kRate, 16};
    const std::vector<uint8_t> pcm = testing_wav::SineSweep(format, seconds);
    EXPECT_TRUE(testing_wav::WriteFile(path, testing_wav::WavFile(format, pcm)));
    return Samples16(pcm);
}

// What was played, without the device's padding, as samples.
std::vector<short> Played()
{
    return Samples16(WithoutSilence(ReadCapture(), kFrameBytes));
}

// The number of leading stereo frames that match exactly.
size_t ExactPrefixFrames(const std::vector<short>& played, const std::vector<short>& source)
{
    const size_t n = std::min(played.size(), source.size()) / 2;
    for (size_t f = 0; f < n; ++f)
        if (played[2 * f] != source[2 * f] || played[2 * f + 1] != source[2 * f + 1])
            return f;
    return n;
}

// A sample as the device plays it at a 16-bit volume: scaled by volume / 65535, give or take
// one for the rounding.
bool Fits(short played, short source, int volume)
{
    return std::abs(played - source * static_cast<double>(volume) / 65535.0) <= 1.0;
}

// Splits what was played into runs, each the source scaled by one of the volumes in turn.
// Returns the frames of each run, or an empty list with the frame that fits no later volume.
std::vector<size_t> ScaledRuns(const std::vector<short>& played, const std::vector<short>& source,
                               const std::vector<int>& volumes, std::string& why)
{
    std::vector<size_t> runs(volumes.size(), 0);
    size_t k = 0;
    for (size_t f = 0; f < played.size() / 2; ++f) {
        if (2 * f + 1 >= source.size()) {
            why = "more played than the source holds";
            return {};
        }
        auto fits = [&](size_t v) {
            return Fits(played[2 * f], source[2 * f], volumes[v]) &&
                   Fits(played[2 * f + 1], source[2 * f + 1], volumes[v]);
        };
        while (k < volumes.size() && !fits(k))
            ++k;
        if (k == volumes.size()) {
            why = "frame " + std::to_string(f) + " (" + std::to_string(played[2 * f]) + " for " +
                  std::to_string(source[2 * f]) + ") fits no volume left";
            return {};
        }
        ++runs[k];
    }
    return runs;
}

// The peak of each 20 ms window of the samples, from the frame given on.
std::vector<int> WindowPeaks(const std::vector<short>& samples, size_t fromFrame)
{
    std::vector<int> peaks;
    const size_t window = kRate / 50 * 2;
    for (size_t at = fromFrame * 2; at + window <= samples.size(); at += window) {
        int peak = 0;
        for (size_t i = at; i < at + window; ++i)
            peak = std::max(peak, std::abs(static_cast<int>(samples[i])));
        peaks.push_back(peak);
    }
    return peaks;
}

// What a run of the player window showed, read while it played.
struct Seen {
    std::string line;
    std::set<std::string> clocks;
    bool closedItself = false;
    int loudOrange = 0, loudRed = 0, muteOrange = 0, muteRed = 0; // icon pixels
};

bool Orange(COLORREF c)
{
    return GetRValue(c) > 150 && GetGValue(c) >= 30 && GetGValue(c) < 130 && GetBValue(c) < 60;
}

bool Red(COLORREF c)
{
    return GetRValue(c) > 180 && GetGValue(c) < 30 && GetBValue(c) < 30;
}

// The pixels of a control, as shown, that are of the colour.
int CountPixels(HWND hControl, bool (*colour)(COLORREF))
{
    RECT rc{};
    ::GetClientRect(hControl, &rc);
    HDC hdc = ::GetDC(hControl);
    int n = 0;
    for (int y = rc.top; y < rc.bottom; ++y)
        for (int x = rc.left; x < rc.right; ++x) {
            const COLORREF c = ::GetPixel(hdc, x, y);
            n += c != CLR_INVALID && colour(c) ? 1 : 0;
        }
    ::ReleaseDC(hControl, hdc);
    return n;
}

// The two icons, by their colours: the volume wedge is red-orange, the prohibition sign red.
void LookAtIcons(HWND hDlg, Seen& seen)
{
    HWND hLoud = ::GetDlgItem(hDlg, IDC_PLAYER_LOUD), hMute = ::GetDlgItem(hDlg, IDC_PLAYER_MUTE);
    seen.loudOrange = CountPixels(hLoud, &Orange);
    seen.loudRed = CountPixels(hLoud, &Red);
    seen.muteOrange = CountPixels(hMute, &Orange);
    seen.muteRed = CountPixels(hMute, &Red);
}

int SliderPos(HWND hDlg)
{
    return static_cast<int>(
        ::SendMessage(::GetDlgItem(hDlg, IDC_PLAYER_VOLUME), TBM_GETPOS, 0, 0));
}

// Reads the clock until the window is gone; true when it went within the time.
bool WatchUntilClosed(HWND hDlg, Seen& seen, DWORD timeoutMs = 60000)
{
    const bool closed = WaitUntil(
        [&] {
            if (!::IsWindow(hDlg) || !::IsWindowVisible(hDlg))
                return true;
            seen.clocks.insert(ItemText(hDlg, IDC_PLAYER_CLOCK));
            return false;
        },
        timeoutMs);
    seen.clocks.erase("");
    return closed;
}

// Waits until the clock shows at least the given text ("00:01").
bool WaitForClock(HWND hDlg, const char* text)
{
    return WaitUntil([&] { return ItemText(hDlg, IDC_PLAYER_CLOCK) >= text; }, 20000);
}

class PlayerWindowTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        WriteDisc();
        SetQuietStartSettings(FALSE);
        CAppCfg& cfg = GetAppCfg();
        cfg.SetAudioOutDev(0);
        cfg.SetAudioOutVolume(100);
        ASSERT_TRUE(theApp.InitInstance());
    }

    void SetUp() override
    {
        if (!testing_pcm::HaveCaptureDevice())
            GTEST_SKIP() << "needs the recording test device";
        GetAppCfg().SetAudioOutVolume(100);
    }

    static CMainFrame* Frame() { return dynamic_cast<CMainFrame*>(theApp.m_pMainWnd); }
    static CSonoria3View* View() { return dynamic_cast<CSonoria3View*>(Frame()->GetActiveView()); }
    static CSonoria3Doc* Doc() { return View()->GetDocument(); }
    static COXGridList& Grid() { return View()->GetGrid(); }

    static void FocusFrame()
    {
        ::SetForegroundWindow(Frame()->m_hWnd);
        ::SetFocus(Grid().m_hWnd);
        PumpPending();
    }
    // The View menu by keyboard: Alt+V opens it on its first item ("Ripper").
    static void ChooseMode(int mode)
    {
        if (Doc()->GetMode() == mode)
            return;
        FocusFrame();
        SendKeys({VK_MENU, 'V'});
        for (int i = 0; i < mode; ++i)
            SendKeys({VK_DOWN});
        SendKeys({VK_RETURN});
        PumpUntil([mode] { return Doc()->GetMode() == mode; }, 400);
        PumpPending();
    }
    // A real click on the row's first column.
    static void SelectRow(int row)
    {
        CRect rc;
        Grid().GetItemRect(row, &rc, LVIR_BOUNDS);
        MouseClickAt(Grid().m_hWnd, rc.left + 20, rc.CenterPoint().y);
        PumpUntil([row] { return Grid().GetCurSel() == row; });
        ASSERT_EQ(Grid().GetCurSel(), row);
    }

    // "Play Track..." from the File menu; script(player window) runs on a helper thread while
    // this thread runs the window. False when no player window showed.
    static bool PlayFromMenu(const std::function<void(HWND)>& script)
    {
        const DWORD uiThread = ::GetCurrentThreadId();
        std::atomic<bool> done{false};
        std::atomic<bool> shown{false};
        RunWithScript(
            [&] {
                FocusFrame();
                SendKeys({VK_MENU, 'F'});
                SendKeys({'P'});
                PumpUntil([&] { return done.load(); }, 20000);
                PumpFor(100);
                return 0;
            },
            [&] {
                HWND hDlg = WaitForDialog(uiThread, kPlayerTitle);
                if (hDlg != nullptr) {
                    shown = true;
                    script(hDlg);
                }
                done = true;
            });
        return shown;
    }
};

TEST_F(PlayerWindowTest, PlaysAFileOfTheConverterListSampleForSampleAndClosesAtItsEnd)
{
    ChooseMode(CSonoria3Doc::MODE_CONVERTER);
    ASSERT_EQ(Doc()->GetMode(), CSonoria3Doc::MODE_CONVERTER);
    const std::string path = TempFolder() + "player sweep.wav";
    const std::vector<short> source = WriteSweep(path, 3.0);
    ASSERT_TRUE(Doc()->AddConverterFile(path.c_str()));
    SelectRow(Grid().GetItemCount() - 1);

    Seen seen;
    ASSERT_TRUE(PlayFromMenu([&](HWND hDlg) {
        seen.line = ItemText(hDlg, IDC_PLAYER_NOWPLAYING);
        EXPECT_EQ(SliderPos(hDlg), 1000);
        seen.closedItself = WatchUntilClosed(hDlg, seen);
    }));
    EXPECT_TRUE(seen.closedItself);
    EXPECT_EQ(seen.line, "Playing: player sweep.wav");
    // The device here plays faster than real time, so the clock may skip a second.
    EXPECT_TRUE(seen.clocks.count("00:01") || seen.clocks.count("00:02"))
        << "the clock runs with the position";
    EXPECT_LE(*seen.clocks.rbegin(), std::string("00:03"));

    const std::vector<short> played = Played();
    EXPECT_EQ(played.size(), source.size());
    EXPECT_EQ(ExactPrefixFrames(played, source), source.size() / 2);
    ::DeleteFileA(path.c_str());
}

// Whether "Play Track..." is enabled, as the File menu shows it once opened.
bool PlayEnabledInTheMenu(CWnd* pFrame)
{
    // All keys first: the open menu runs its own loop until a key closes it.
    SendKeys({VK_MENU, 'F'});
    SendKeys({VK_ESCAPE});
    SendKeys({VK_ESCAPE});
    PumpFor(200);
    HMENU hFile = ::GetSubMenu(::GetMenu(pFrame->m_hWnd), 0);
    return (::GetMenuState(hFile, ID_FILE_PLAYTRACK, MF_BYCOMMAND) & MF_GRAYED) == 0;
}

TEST_F(PlayerWindowTest, PlaysACdTrackSampleForSampleAndLeavesNoHandlesBehind)
{
    ChooseMode(CSonoria3Doc::MODE_RIPPER);
    ASSERT_EQ(Grid().GetItemCount(), 3);
    SelectRow(2);
    FocusFrame();
    EXPECT_FALSE(PlayEnabledInTheMenu(Frame())) << "a data track does not play";
    SelectRow(0);
    FocusFrame();
    EXPECT_TRUE(PlayEnabledInTheMenu(Frame()));
    const std::vector<short> source = DiscSamples(0, kShortTrackSectors);
    DWORD gdi = 0;
    int windows = 0;
    for (int run = 0; run < 2; ++run) {
        SCOPED_TRACE(run);
        SelectRow(0);
        Seen seen;
        ASSERT_TRUE(PlayFromMenu([&](HWND hDlg) {
            seen.line = ItemText(hDlg, IDC_PLAYER_NOWPLAYING);
            LookAtIcons(hDlg, seen);
            seen.closedItself = WatchUntilClosed(hDlg, seen);
        }));
        EXPECT_TRUE(seen.closedItself);
        EXPECT_EQ(seen.line, "Playing: First Song");
        EXPECT_GT(seen.loudOrange, 12);
        EXPECT_EQ(seen.loudRed, 0);
        EXPECT_GT(seen.muteRed, 12);
        EXPECT_EQ(seen.muteOrange, 0);
        const std::vector<short> played = Played();
        EXPECT_EQ(played.size(), source.size());
        EXPECT_EQ(ExactPrefixFrames(played, source), source.size() / 2);
        // The first run may load what stays for the process (icons, classes).
        if (run == 0) {
            gdi = GdiObjectCount();
            windows = ThreadWindowCount();
        } else {
            EXPECT_EQ(GdiObjectCount(), gdi);
            EXPECT_EQ(ThreadWindowCount(), windows);
        }
    }
}

TEST_F(PlayerWindowTest, VolumeFromTheIconsKeysAndMouseScalesTheSamples)
{
    GetAppCfg().SetAudioOutVolume(50);
    ChooseMode(CSonoria3Doc::MODE_CONVERTER);
    const std::string path = TempFolder() + "player volume.wav";
    const std::vector<short> source = WriteSweep(path, 11.0);
    ASSERT_TRUE(Doc()->AddConverterFile(path.c_str()));
    SelectRow(Grid().GetItemCount() - 1);

    // Each step changes the volume once; the next waits until the clock moved on.
    std::vector<int> slider;
    Seen seen;
    ASSERT_TRUE(PlayFromMenu([&](HWND hDlg) {
        slider.push_back(SliderPos(hDlg)); // the starting volume
        WaitForClock(hDlg, "00:01");
        ClickControl(hDlg, IDC_PLAYER_LOUD);
        WaitUntil([&] { return SliderPos(hDlg) == 1000; });
        slider.push_back(SliderPos(hDlg));
        WaitForClock(hDlg, "00:03");
        Key(VK_TAB); // from Stop to the slider
        Key(VK_PRIOR);
        WaitUntil([&] { return SliderPos(hDlg) == 800; });
        slider.push_back(SliderPos(hDlg));
        WaitForClock(hDlg, "00:05");
        // A click in the channel left of the thumb moves one page toward it.
        HWND hSlider = ::GetDlgItem(hDlg, IDC_PLAYER_VOLUME);
        RECT rcChannel{}, rcThumb{};
        ::SendMessage(hSlider, TBM_GETCHANNELRECT, 0, reinterpret_cast<LPARAM>(&rcChannel));
        ::SendMessage(hSlider, TBM_GETTHUMBRECT, 0, reinterpret_cast<LPARAM>(&rcThumb));
        POINT pt{rcChannel.left + 3, (rcThumb.top + rcThumb.bottom) / 2};
        ::ClientToScreen(hSlider, &pt);
        InputMouseMove(pt);
        ::Sleep(40);
        InputMouseButton(true);
        InputMouseButton(false);
        WaitUntil([&] { return SliderPos(hDlg) == 600; });
        slider.push_back(SliderPos(hDlg));
        WaitForClock(hDlg, "00:07");
        ClickControl(hDlg, IDC_PLAYER_MUTE);
        WaitUntil([&] { return SliderPos(hDlg) == 0; });
        slider.push_back(SliderPos(hDlg));
        seen.closedItself = WatchUntilClosed(hDlg, seen);
    }));
    EXPECT_TRUE(seen.closedItself);
    ASSERT_EQ(slider, (std::vector<int>{500, 1000, 800, 600, 0}));

    // 50 % opens the device at 32767; the slider gives position x 65535 / 1000; muted, the
    // rest is silence.
    const std::vector<int> volumes = {32767, 65535, 52428, 39321};
    const std::vector<short> played = Played();
    std::string why;
    const std::vector<size_t> runs = ScaledRuns(played, source, volumes, why);
    ASSERT_FALSE(runs.empty()) << why;
    for (size_t i = 0; i < runs.size(); ++i) {
        SCOPED_TRACE(volumes[i]);
        EXPECT_GT(runs[i], static_cast<size_t>(kRate / 4)) << "each volume is heard a while";
    }
    EXPECT_LT(played.size(), source.size() - 2 * kRate) << "the last second or more is muted";
    ::DeleteFileA(path.c_str());
}

TEST_F(PlayerWindowTest, StopAndEscapeFadeOutAndClose)
{
    ChooseMode(CSonoria3Doc::MODE_RIPPER);
    const std::vector<short> source = DiscSamples(kShortTrackSectors, kLongTrackSectors);
    struct Case {
        const char* name;
        std::function<void(HWND)> stop;
    };
    const Case cases[] = {
        {"Stop button", [](HWND hDlg) { ClickControl(hDlg, IDCANCEL); }},
        {"Escape key", [](HWND) { Key(VK_ESCAPE); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SelectRow(1);
        Seen seen;
        ASSERT_TRUE(PlayFromMenu([&](HWND hDlg) {
            seen.line = ItemText(hDlg, IDC_PLAYER_NOWPLAYING);
            WaitForClock(hDlg, "00:02");
            c.stop(hDlg);
            seen.closedItself = WatchUntilClosed(hDlg, seen, 10000);
        }));
        EXPECT_TRUE(seen.closedItself);
        EXPECT_EQ(seen.line, "Playing: Long Song");

        // Exact up to the fade, which then only goes down; the track is cut short.
        const std::vector<short> played = Played();
        const size_t exact = ExactPrefixFrames(played, source);
        EXPECT_GE(exact, static_cast<size_t>(2 * kRate));
        EXPECT_LT(played.size(), source.size() / 2);
        const std::vector<int> peaks = WindowPeaks(played, exact);
        ASSERT_GE(peaks.size(), 3u) << "the fade is heard";
        for (size_t i = 1; i < peaks.size(); ++i)
            EXPECT_LE(peaks[i], peaks[i - 1] + 200) << "window " << i;
        EXPECT_LT(peaks.back(), peaks.front() / 10);
    }
}

// The line is read by a timer of this thread, which runs inside the window's modal loop: the
// window may be gone before a helper thread could look.
CPlayerDlg* g_pShown = nullptr;
std::string g_shownLine;

void CALLBACK ReadLine(HWND, UINT, UINT_PTR id, DWORD)
{
    if (g_pShown == nullptr || !::IsWindow(g_pShown->m_hWnd))
        return;
    g_shownLine = ItemText(g_pShown->m_hWnd, IDC_PLAYER_NOWPLAYING);
    ::KillTimer(nullptr, id);
}

TEST_F(PlayerWindowTest, NothingToOpenClosesTheWindowByItself)
{
    struct Case {
        const char* name;
        int sourceType; // 99: a CD track of drive 9, which does not exist
        std::string file;
        const char* line;
    };
    const Case cases[] = {
        {"unknown source type", 5, "C:\\music\\odd.xyz", "Playing: odd.xyz"},
        {"missing file", 0, TempFolder() + "no such folder\\gone.wav", "Playing: gone.wav"},
        {"no drive at the index", 99, "", "Playing"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CRipTask task = c.sourceType == 99 ? CRipTask(9, 1, 0, 150, 0, "")
                                           : CRipTask(c.sourceType, c.file.c_str(), 0, "");
        CPlayerDlg dlg;
        dlg.SetTask(&task);
        g_pShown = &dlg;
        g_shownLine.clear();
        const UINT_PTR timer = ::SetTimer(nullptr, 0, 10, &ReadLine);
        EXPECT_EQ(dlg.DoModal(), IDCANCEL) << "returns without any input";
        ::KillTimer(nullptr, timer);
        g_pShown = nullptr;
        EXPECT_EQ(g_shownLine, c.line);
    }
}

TEST(PlayerWindowText, LineNamesTheTitleElseTheFileAndIsCutAtSixty)
{
    struct Case {
        const char* name;
        const char* title;
        const char* file;
        std::string line;
    };
    const std::string title53(53, 't'); // "Playing: " and 52 make 61
    const Case cases[] = {
        {"title", "Blue", "C:\\music\\a.wav", "Playing: Blue"},
        {"file name after the last backslash", "", "C:\\music\\sub\\a b.flac",
         "Playing: a b.flac"},
        {"no title and no folder", "", "", "Playing"},
        {"exactly sixty stays whole", title53.c_str() + 2, "", "Playing: " + title53.substr(2)},
        {"sixty-one is cut", title53.c_str() + 1, "",
         ("Playing: " + title53.substr(1)).substr(0, 57) + "..."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const CString line = CPlayerDlg::PlayingLine("Playing", c.title, c.file);
        EXPECT_EQ(std::string(line), c.line);
        EXPECT_LE(line.GetLength(), 60);
    }
}

TEST(PlayerWindowText, ClockShowsMinutesBeyondTwoDigits)
{
    struct Case {
        DWORD ms;
        const char* text;
    };
    for (const Case& c : {Case{0, "00:00"}, Case{999, "00:00"}, Case{61500, "01:01"},
                          Case{3599999, "59:59"}, Case{6000000, "100:00"}}) {
        SCOPED_TRACE(c.ms);
        EXPECT_STREQ(CPlayerDlg::ClockText(c.ms), c.text);
    }
}

} // namespace
