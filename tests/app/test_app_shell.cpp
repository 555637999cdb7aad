// The application shell in one process over the simulated drive: start-up with the disc and
// its lookups (what the service finds wins over the CD-Text), the grid's own drawing read back
// as pixels, the title typed into the grid and stored before a refresh, the modes with their
// own columns and widths, dropped files, tags written in the "Tagger" mode, and handle counts
// across refreshes. Keys and mouse drags go through the input queue.
#include <gtest/gtest.h>

#include <shlobj.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstdio>
#include <string>
#include <vector>

#include "app/shell/main_frame.h"
#include "app/shell/sonoria3_app.h"
#include "app/shell/sonoria3_doc.h"
#include "app/shell/sonoria3_view.h"
#include "audio/formats/detection/format_detection.h"
#include "audio/track/track_info.h"
#include "foundation/settings/app_cfg.h"
#include "app/dialogs/player_dlg_res.h"
#include "resources/info_tags_res.h"
#include "resources/resource.h"
#include "testing/generated_wav.h"
#include "testing/http/loopback_http.h"
#include "testing/simdrive/sim_disc.h"
#include "tests/framework_ui/ui_test_support.h"

CSonoria3App theApp;

namespace {

std::atomic<int> g_serviceRequests{0};
std::atomic<bool> g_serviceFinds{false}; // the service answers with a record of the disc

std::string TempFile(const std::string& name)
{
    char dir[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, dir);
    return std::string(dir) + "sonoria_app_" + name;
}

// Three audio tracks and a data track, with CD-Text for the album and the audio tracks.
void WriteDisc()
{
    char path[MAX_PATH] = {};
    ASSERT_GT(::GetEnvironmentVariableA("SONORIA_SIMDRIVE_IMAGE", path, MAX_PATH), 0u)
        << "runs under testing/simdrive/simdrive-wine";
    simdrive::SimDisc disc;
    simdrive::SimSession session;
    session.tracks = {{1, true, 0}, {2, true, 4499}, {3, true, 9000}, {4, false, 13500}};
    session.leadOutLba = 20000;
    disc.sessions = {session};
    simdrive::SimCdTextBlock block;
    block.items = {{0x80, {"Shell Album", "First Song", "Second Song", "Third Song"}},
                   {0x81, {"Shell Band", "Singer", "Singer", "Singer"}}};
    disc.cdText = simdrive::SimBuildCdText({block});
    FILE* f = std::fopen(path, "wb");
    ASSERT_NE(f, nullptr);
    const std::string text = disc.ToText();
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

// An ID3v2.3 tag with a title and a length of 2.5 s, then four MPEG-1 layer III frames.
void WriteMp3(const std::string& path)
{
    std::vector<uint8_t> frame;
    for (auto [id, text] : {std::pair<const char*, std::string>{"TIT2", "Old title"},
                            std::pair<const char*, std::string>{"TLEN", "2500"}}) {
        frame.insert(frame.end(), id, id + 4);
        frame.insert(frame.end(), {0, 0, 0, static_cast<uint8_t>(text.size() + 1), 0, 0, 0});
        frame.insert(frame.end(), text.begin(), text.end());
    }
    std::vector<uint8_t> bytes = {'I', 'D', '3', 3, 0, 0, 0, 0, 0,
                                  static_cast<uint8_t>(frame.size())};
    bytes.insert(bytes.end(), frame.begin(), frame.end());
    for (int i = 0; i < 4; ++i) {
        const uint8_t header[4] = {0xFF, 0xFB, 0x90, 0x64};
        bytes.insert(bytes.end(), header, header + 4);
        bytes.resize(bytes.size() + 413, 0);
    }
    ASSERT_TRUE(testing_wav::WriteFile(path, bytes));
}

// Empties the local disc store, so the first load of a run never finds the disc there.
void EmptyLocalStore()
{
    const CString folder = GetAppCfg().GetCDDBFolder();
    WIN32_FIND_DATAA fd;
    HANDLE h = ::FindFirstFileA(folder + "\\*", &fd);
    if (h == INVALID_HANDLE_VALUE)
        return;
    do {
        if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            ::DeleteFileA(folder + "\\" + fd.cFileName);
    } while (::FindNextFileA(h, &fd));
    ::FindClose(h);
}

class AppShellTest : public ::testing::Test {
protected:
    static testing_http::LoopbackHttpServer* s_service;

    static void SetUpTestSuite()
    {
        WriteDisc();
        // The disc-information service answers with nothing it can use, unless told to find.
        s_service = new testing_http::LoopbackHttpServer([](const testing_http::Request& r) {
            if (r.target.find("q.php") != std::string::npos)
                ++g_serviceRequests;
            if (g_serviceFinds)
                return testing_http::MakeReply(
                    200, "<cdinfo><title>Service Album</title>"
                         "<track num=\"1\"><title>From the Service</title></track></cdinfo>");
            return testing_http::MakeReply(200, "<nothing/>");
        });
        CAppCfg& cfg = GetAppCfg();
        cfg.SetUseProxy(2); // the service is reached through the loopback server as proxy
        cfg.SetProxyServer("127.0.0.1");
        cfg.SetProxyPort(s_service->Port());
        cfg.SetForceASPI(FALSE);
        cfg.SetCDDevice(0);
        cfg.SetUseLocalDB(TRUE);
        cfg.SetWriteCDPLAYERINI(FALSE);
        cfg.SetReadCDText(TRUE);
        cfg.SetSonoriaDBAutoSearch(TRUE);
        cfg.SetAutoSearchFreedb(TRUE);
        cfg.SetAllowMultipleInstances(TRUE);
        cfg.SetMp3Enc_WriteID3(3);
        cfg.ClearCDGridColumnWidthRip();
        cfg.ClearCDGridColumnWidthConv();
        cfg.ClearFileNameDefs();
        EmptyLocalStore();
        ASSERT_TRUE(theApp.InitInstance());
    }

    static CMainFrame* Frame() { return dynamic_cast<CMainFrame*>(theApp.m_pMainWnd); }
    static CSonoria3View* View() { return dynamic_cast<CSonoria3View*>(Frame()->GetActiveView()); }
    static CSonoria3Doc* Doc() { return View()->GetDocument(); }
    static COXGridList& Grid() { return View()->GetGrid(); }
    static CString Cell(int row, int column) { return Grid().GetItemText(row, column); }
    static std::string HeaderText(int column)
    {
        char text[32] = {};
        HDITEMA item{};
        item.mask = HDI_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        ::SendMessageA(ListView_GetHeader(Grid().m_hWnd), HDM_GETITEMA, column,
                       reinterpret_cast<LPARAM>(&item));
        return text;
    }
    static int StoredWidth(CSonoria3Doc::Mode mode, int column)
    {
        CString text;
        if (mode == CSonoria3Doc::MODE_RIPPER)
            GetAppCfg().GetCDGridColumnWidthRipItem(column, text);
        else
            GetAppCfg().GetCDGridColumnWidthConvItem(column, text);
        return text.IsEmpty() ? -1 : std::atoi(text);
    }

    // The grid gets the keyboard focus, so typed keys reach it.
    static void FocusGrid()
    {
        ::SetForegroundWindow(Frame()->m_hWnd);
        ::SetFocus(Grid().m_hWnd);
        PumpPending();
    }
    static void Type(std::initializer_list<WORD> keys)
    {
        SendKeys(keys);
        PumpUntil([] { return false; }, 20);
    }
    static void TypeText(const char* text)
    {
        for (; *text != 0; ++text)
            SendKeys({static_cast<WORD>(::VkKeyScanA(*text) & 0xFF)});
        PumpUntil([] { return false; }, 20);
    }
    // The View menu by keyboard: Alt+V opens it on its first item ("Ripper").
    static void ChooseMode(int position)
    {
        FocusGrid();
        SendKeys({VK_MENU, 'V'});
        for (int i = 0; i < position; ++i)
            SendKeys({VK_DOWN});
        SendKeys({VK_RETURN});
        PumpUntil([position] { return Doc()->GetContentMode() == position; }, 400);
        PumpPending();
    }
    // Takes the freedb query the load posted to the frame, if there is one.
    static bool TakeFreedbQuery()
    {
        MSG msg;
        while (::PeekMessage(&msg, Frame()->m_hWnd, WM_COMMAND, WM_COMMAND, PM_REMOVE))
            if (LOWORD(msg.wParam) == ID_TAGS_FREEDBQUERY)
                return true;
        return false;
    }
};
testing_http::LoopbackHttpServer* AppShellTest::s_service = nullptr;

TEST_F(AppShellTest, StartupLoadsTheDiscWithCdTextThenServiceThenPostsFreedb)
{
    ASSERT_NE(Frame(), nullptr);
    ASSERT_EQ(Grid().GetItemCount(), 4);
    struct Row {
        const char* title;
        const char* start;
        const char* length;
        const char* type;
    };
    // The CD-Text names every track, the data track too (with nothing).
    const Row rows[] = {{"First Song", "0", "0:59", "Audio"},
                        {"Second Song", "4499", "1:00", "Audio"},
                        {"Third Song", "9000", "1:00", "Audio"},
                        {"", "13500", "1:26", "Data"}};
    for (int i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_STREQ(Cell(i, 1), rows[i].title);
        EXPECT_STREQ(Cell(i, 2), rows[i].start);
        EXPECT_STREQ(Cell(i, 3), rows[i].length);
        EXPECT_STREQ(Cell(i, 4), rows[i].type);
        EXPECT_EQ(Grid().GetCheck(i), 1);
    }
    EXPECT_EQ(g_serviceRequests.load(), 1)
        << "the service comes after the CD-Text; requests seen: " << s_service->Requests().size()
        << (s_service->Requests().empty() ? "" : " " + s_service->Requests()[0].target);
    EXPECT_TRUE(TakeFreedbQuery()) << "nothing found: the freedb query is posted";

    char caption[128] = {};
    ::GetWindowTextA(Frame()->m_hWnd, caption, sizeof(caption));
    EXPECT_STREQ(caption, "Shell Album - Sonoria3");

    // The five default templates were stored, and the chosen one exists.
    CAppCfg& cfg = GetAppCfg();
    ASSERT_EQ(cfg.GetFileNameDefsCount(), 5);
    CString first;
    cfg.GetFileNameDefsItem(0, first);
    EXPECT_STREQ(first, "Artist\\Track Number-Track Title.ext|%a\\%#-%1%e");
    EXPECT_LT(cfg.GetFileNameFormat(), 5);
}

// The service is asked after the CD-Text has been read, so what it finds wins over the
// CD-Text; a found disc needs no freedb query.
TEST_F(AppShellTest, WhatTheServiceFindsReplacesTheCdText)
{
    CAppCfg& cfg = GetAppCfg();
    cfg.SetUseLocalDB(FALSE); // the refresh neither stores nor finds the disc locally
    g_serviceFinds = true;
    const int requests = g_serviceRequests.load();
    FocusGrid();
    Type({VK_CONTROL, 'N'});
    g_serviceFinds = false;
    cfg.SetUseLocalDB(TRUE);

    EXPECT_EQ(g_serviceRequests.load(), requests + 1);
    ASSERT_EQ(Grid().GetItemCount(), 4);
    EXPECT_STREQ(Cell(1, 1), "From the Service");
    EXPECT_STREQ(Doc()->GetCDInfo().GetTitle(), "Service Album");
    char caption[128] = {};
    ::GetWindowTextA(Frame()->m_hWnd, caption, sizeof(caption));
    EXPECT_STREQ(caption, "Service Album - Sonoria3");
    EXPECT_FALSE(TakeFreedbQuery()) << "found: no freedb query";
}

// The grid draws its rows itself: the selected row is highlighted in every cell, not only in
// the first, check boxes show the grid's own images, and grid lines come out dotted.
TEST_F(AppShellTest, GridRowsAreDrawnByTheGridList)
{
    const HWND h = Grid().m_hWnd;
    const HWND header = ListView_GetHeader(h);
    EXPECT_FALSE(::GetWindowLongA(header, GWL_STYLE) & HDS_BUTTONS)
        << "the header's items are not buttons";
    auto pixel = [h](int x, int y) {
        ::RedrawWindow(h, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
        PumpPending();
        HDC dc = ::GetDC(h);
        const COLORREF c = ::GetPixel(dc, x, y);
        ::ReleaseDC(h, dc);
        return c;
    };
    auto row = [](int nItem) {
        CRect r;
        Grid().GetItemRect(nItem, &r, LVIR_BOUNDS);
        return r;
    };
    // A point of each cell that no text reaches: the text keeps 2 pixels from the cell's edges.
    // Column 0 is sampled at its right, after the check box; the others at their left, since
    // the last one may reach past the window.
    auto cellPoints = [&](int nItem) {
        std::vector<CPoint> points;
        int left = row(nItem).left;
        for (int i = 0; i < 5; ++i) {
            const int width = Grid().GetColumnWidth(i);
            points.emplace_back(i == 0 ? left + width - 2 : left + 1, row(nItem).CenterPoint().y);
            left += width;
        }
        return points;
    };

    FocusGrid();
    Type({VK_HOME});
    Type({VK_DOWN});
    ASSERT_EQ(Grid().GetCurSel(), 1);
    for (const CPoint& p : cellPoints(1))
        EXPECT_EQ(pixel(p.x, p.y), ::GetSysColor(COLOR_HIGHLIGHT)) << "selected row at x " << p.x;
    for (const CPoint& p : cellPoints(2))
        EXPECT_EQ(pixel(p.x, p.y), ::GetSysColor(COLOR_WINDOW)) << "other row at x " << p.x;

    // Space unchecks the selected row: an empty box, white inside; a checked row shows the mark.
    auto boxInside = [&](int nItem) {
        const CRect r = row(nItem);
        return pixel(r.left + 6, r.top + (r.Height() - 11) / 2 + 7);
    };
    EXPECT_EQ(boxInside(2), RGB(0, 0, 0));
    Type({VK_DOWN});
    Type({VK_SPACE});
    EXPECT_EQ(Grid().GetCheck(2), 0);
    EXPECT_FALSE(Doc()->GetCDInfo().GetTrack(2)->IsSelected());
    Type({VK_UP});
    EXPECT_EQ(boxInside(2), RGB(255, 255, 255));
    Type({VK_DOWN});
    Type({VK_SPACE});
    EXPECT_EQ(Grid().GetCheck(2), 1);

    // Grid lines: every other pixel after a column and under a row.
    Grid().SetGridLines(TRUE, RGB(255, 0, 0));
    const int x = row(3).left + Grid().GetColumnWidth(0) - 1;
    const int y = row(3).CenterPoint().y;
    EXPECT_EQ((pixel(x, y) == RGB(255, 0, 0)) + (pixel(x, y + 1) == RGB(255, 0, 0)), 1);
    const int bottom = row(3).bottom - 1;
    EXPECT_EQ((pixel(60, bottom) == RGB(255, 0, 0)) + (pixel(61, bottom) == RGB(255, 0, 0)), 1);
    Grid().SetGridLines(FALSE);
    EXPECT_NE(pixel(x, y), RGB(255, 0, 0));
    EXPECT_NE(pixel(x, y + 1), RGB(255, 0, 0));
}

TEST_F(AppShellTest, TypedTitleReachesTheDiscAndIsStoredBeforeTheRefresh)
{
    FocusGrid();
    Type({VK_HOME});
    Type({VK_DOWN});
    ASSERT_EQ(Grid().GetCurSel(), 1);
    Type({VK_F2});
    TypeText("renamed");
    Type({VK_RETURN});
    CCDTrack* pTrack = Doc()->GetCDInfo().GetTrack(1);
    EXPECT_STREQ(pTrack->GetTrackTitle(), "renamed");
    EXPECT_TRUE(pTrack->IsModified());

    // Ctrl+N stores the edited disc, then reads it again: the store now knows it, so neither
    // the CD-Text nor the service nor freedb is asked.
    const int requests = g_serviceRequests.load();
    Type({VK_CONTROL, 'N'});
    EXPECT_STREQ(Cell(1, 1), "renamed");
    EXPECT_STREQ(Doc()->GetCDInfo().GetTrack(1)->GetTrackTitle(), "renamed");
    EXPECT_EQ(g_serviceRequests.load(), requests);
    EXPECT_FALSE(TakeFreedbQuery());
}

TEST_F(AppShellTest, ConverterModeBuildsFileColumnsWithStoredWidths)
{
    CAppCfg& cfg = GetAppCfg();
    cfg.ClearCDGridColumnWidthConv();
    for (const char* w : {"30", "200", "10", "abc", "60"})
        cfg.AddCDGridColumnWidthConvItem(w);
    ChooseMode(CSonoria3Doc::MODE_CONVERTER);
    ASSERT_EQ(Doc()->GetMode(), CSonoria3Doc::MODE_CONVERTER);
    EXPECT_EQ(Grid().GetItemCount(), 0);

    struct Column {
        const char* title;
        int width;
    };
    // Stored widths below a column's minimum (or unreadable) give the minimum.
    const Column columns[] = {{"#", 40}, {"File", 200}, {"Title", 50}, {"Artist", 40},
                              {"Type", 60}};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(HeaderText(i), columns[i].title);
        if (i != 1) { // the file column takes up the width of the window
            EXPECT_EQ(Grid().GetColumnWidth(i), columns[i].width);
        }
    }
    EXPECT_TRUE(View()->GetExStyle() & WS_EX_ACCEPTFILES);
    char caption[128] = {};
    ::GetWindowTextA(Frame()->m_hWnd, caption, sizeof(caption));
    EXPECT_STREQ(caption, "Audio File Converter - Sonoria3");
}

TEST_F(AppShellTest, DroppedFilesAreAddedAndTheUnsupportedOneIsReported)
{
    ASSERT_EQ(Doc()->GetMode(), CSonoria3Doc::MODE_CONVERTER);
    const std::string wav = TempFile("drop.wav"), mp3 = TempFile("drop.mp3"),
                      text = TempFile("notes.txt");
    testing_wav::Format format{2, 44100, 16};
    ASSERT_TRUE(testing_wav::WriteFile(
        wav, testing_wav::WavFile(format, testing_wav::SineSweep(format, 2.5))));
    WriteMp3(mp3);
    ASSERT_TRUE(testing_wav::WriteFile(text, {'h', 'i'}));

    struct Seen {
        char text[512] = {};
    } seen;
    DialogAnswerer answer(
        [](HWND hDlg, void* ctx) {
            ::GetDlgItemTextA(hDlg, 0xFFFF, static_cast<Seen*>(ctx)->text, 512);
            ::PostMessage(hDlg, WM_COMMAND, IDOK, 0);
        },
        &seen);
    ::PostMessage(View()->m_hWnd, WM_DROPFILES,
                  reinterpret_cast<WPARAM>(DropFilesBlock({wav, text, mp3})), 0);
    PumpUntil([&] { return answer.Answered() && Grid().GetItemCount() == 2; }, 600);
    ASSERT_EQ(Grid().GetItemCount(), 2);
    EXPECT_STREQ(Cell(0, 1), "sonoria_app_drop.wav");
    EXPECT_STREQ(Cell(0, 4), "WAV");
    EXPECT_STREQ(Cell(1, 2), "Old title");
    EXPECT_STREQ(Cell(1, 4), "MP3");
    // Whole seconds of the 2.5 s file: 2 s of 75 frames.
    EXPECT_EQ(Doc()->GetCDInfo().GetTrack(1)->GetLengthFrames(), 150);
    EXPECT_EQ(std::string(seen.text), text + ": unsupported format\r\n");
}

TEST_F(AppShellTest, TaggerTitleEditIsWrittenIntoTheMp3)
{
    ChooseMode(CSonoria3Doc::MODE_TAGGER);
    ASSERT_EQ(Doc()->GetMode(), CSonoria3Doc::MODE_TAGGER);
    // The View menu showed the mode of the moment it opened.
    HMENU view = ::GetSubMenu(::GetMenu(Frame()->m_hWnd), 5);
    EXPECT_TRUE(::GetMenuState(view, ID_VIEW_CONVERTER, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_FALSE(::GetMenuState(view, ID_VIEW_RIPPER, MF_BYCOMMAND) & MF_CHECKED);
    const std::string mp3 = TempFile("tagger.mp3"), wav = TempFile("drop.wav");
    WriteMp3(mp3);
    DialogAnswerer answer([](HWND hDlg, void*) { ::PostMessage(hDlg, WM_COMMAND, IDOK, 0); },
                          nullptr);
    ::PostMessage(View()->m_hWnd, WM_DROPFILES, reinterpret_cast<WPARAM>(DropFilesBlock({mp3, wav})),
                  0);
    PumpUntil([&] { return answer.Answered(); }, 600);
    ASSERT_EQ(Grid().GetItemCount(), 1) << "only MP3 files are tagged";

    FocusGrid();
    Type({VK_HOME});
    Type({VK_F2});
    TypeText("tagged");
    Type({VK_RETURN});
    ASSERT_STREQ(Doc()->GetCDInfo().GetTrack(0)->GetTrackTitle(), "tagged");

    // The refresh writes the edited tags before it empties the list.
    Type({VK_CONTROL, 'N'});
    EXPECT_EQ(Grid().GetItemCount(), 0);
    CAudioTrackInfo read;
    ASSERT_TRUE(CAudioFileInspector::ImportTags(mp3.c_str(), read));
    EXPECT_STREQ(read.GetTrackTitle(), "tagged");
}

// A column widened in the "Ripper" mode is stored for that mode only: the "Converter" mode
// builds its own columns with its own widths, and the way back finds the widened column.
// Every column title shows whole at the default widths, in the font the header writes with.
TEST_F(AppShellTest, ColumnTitlesFitTheirColumns)
{
    for (int mode : {CSonoria3Doc::MODE_CONVERTER, CSonoria3Doc::MODE_RIPPER}) {
        SCOPED_TRACE(mode);
        ChooseMode(mode);
        ASSERT_EQ(Doc()->GetMode(), mode);
        const HWND header = ListView_GetHeader(Grid().m_hWnd);
        HDC dc = ::GetDC(header);
        const HGDIOBJ old = ::SelectObject(
            dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(header, WM_GETFONT, 0, 0)));
        for (int i = 0; i < 5; ++i) {
            const std::string title = HeaderText(i);
            SIZE size{};
            ::GetTextExtentPoint32A(dc, title.c_str(), static_cast<int>(title.size()), &size);
            // The header keeps about 6 pixels on each side of a title.
            EXPECT_LE(size.cx + 12, Grid().GetColumnWidth(i)) << title;
        }
        ::SelectObject(dc, old);
        ::ReleaseDC(header, dc);
    }
}

TEST_F(AppShellTest, EachModeKeepsItsOwnColumnsAndWidths)
{
    ChooseMode(CSonoria3Doc::MODE_RIPPER);
    ASSERT_EQ(Doc()->GetMode(), CSonoria3Doc::MODE_RIPPER);
    const int before = Grid().GetColumnWidth(2);
    CRect item;
    const HWND header = ListView_GetHeader(Grid().m_hWnd);
    Header_GetItemRect(header, 2, &item);
    ::MapWindowPoints(header, nullptr, reinterpret_cast<POINT*>(&item), 2);
    const int y = item.CenterPoint().y;
    MouseDrag(POINT{item.right - 1, y}, POINT{item.right + 39, y});
    PumpUntil([&] { return Grid().GetColumnWidth(2) > before + 20; }, 200);
    const int widened = Grid().GetColumnWidth(2);
    ASSERT_GT(widened, before + 20) << "the drag widened the column";
    // A size change stores the current mode's widths.
    CRect frame;
    Frame()->GetWindowRect(&frame);
    Frame()->SetWindowPos(nullptr, 0, 0, frame.Width() + 20, frame.Height(),
                          SWP_NOMOVE | SWP_NOZORDER);
    PumpPending();
    ASSERT_EQ(StoredWidth(CSonoria3Doc::MODE_RIPPER, 2), widened);
    const int stored = StoredWidth(CSonoria3Doc::MODE_CONVERTER, 2);
    const int converterTitle = stored < 0 ? 70 : std::max(stored, 50);

    ChooseMode(CSonoria3Doc::MODE_CONVERTER);
    ASSERT_EQ(Doc()->GetMode(), CSonoria3Doc::MODE_CONVERTER);
    EXPECT_EQ(HeaderText(2), "Title");
    EXPECT_EQ(Grid().GetColumnWidth(2), converterTitle);
    // The window goes back to its size while converting, so the Ripper's stored track width
    // no longer fits it.
    Frame()->SetWindowPos(nullptr, 0, 0, frame.Width(), frame.Height(),
                          SWP_NOMOVE | SWP_NOZORDER);
    PumpPending();
    EXPECT_EQ(StoredWidth(CSonoria3Doc::MODE_RIPPER, 2), widened) << "kept while converting";

    ChooseMode(CSonoria3Doc::MODE_RIPPER);
    ASSERT_EQ(Doc()->GetMode(), CSonoria3Doc::MODE_RIPPER);
    const char* titles[] = {"#", "Track", "Start frame", "Length", "Type"};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(HeaderText(i), titles[i]);
        if (i != 1) { // the track column takes up the width of the window
            EXPECT_EQ(Grid().GetColumnWidth(i), StoredWidth(CSonoria3Doc::MODE_RIPPER, i));
        }
    }
    EXPECT_EQ(Grid().GetColumnWidth(2), widened);
    // The columns fill the window as it is now: no horizontal scroll bar.
    CRect client;
    View()->GetClientRect(&client);
    int total = 0;
    for (int i = 0; i < 5; ++i)
        total += Grid().GetColumnWidth(i);
    EXPECT_EQ(total, client.Width() - 4);
    EXPECT_EQ(Grid().GetStyle() & WS_HSCROLL, 0u);
    EXPECT_EQ(StoredWidth(CSonoria3Doc::MODE_CONVERTER, 2), converterTitle)
        << "the Ripper columns went into their own list";
}

TEST_F(AppShellTest, FiftyRefreshesKeepTheHandleCounts)
{
    ChooseMode(CSonoria3Doc::MODE_RIPPER);
    ASSERT_EQ(Grid().GetItemCount(), 4);
    auto windows = [] {
        int n = 0;
        ::EnumChildWindows(
            Frame()->m_hWnd, [](HWND, LPARAM p) { return ++*reinterpret_cast<int*>(p), TRUE; },
            reinterpret_cast<LPARAM>(&n));
        return n;
    };
    // One refresh first, so caches filled on first use are not counted.
    Frame()->PostMessage(WM_COMMAND, ID_FILE_NEW, 0);
    PumpPending();
    TakeFreedbQuery();
    const DWORD gdi = GdiObjectCount();
    const DWORD user = ::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS);
    const int children = windows();
    for (int i = 0; i < 50; ++i) {
        Frame()->PostMessage(WM_COMMAND, ID_FILE_NEW, 0);
        PumpPending();
    }
    TakeFreedbQuery();
    EXPECT_EQ(Grid().GetItemCount(), 4);
    EXPECT_LE(GdiObjectCount(), gdi);
    EXPECT_LE(::GetGuiResources(::GetCurrentProcess(), GR_USEROBJECTS), user);
    EXPECT_EQ(windows(), children);
}

// Icons compiled from several resource scripts share image ids, and the linker keeps one
// picture per id: every icon of the program must still show its own picture.
TEST(ProgramIcons, EachIconShowsItsOwnPicture)
{
    auto picture = [](UINT id) {
        std::vector<COLORREF> pixels;
        HICON hIcon = static_cast<HICON>(::LoadImageA(::GetModuleHandleA(nullptr),
                                                      MAKEINTRESOURCEA(id), IMAGE_ICON, 16, 16, 0));
        if (!hIcon)
            return pixels;
        HDC hScreen = ::GetDC(nullptr);
        HDC hDC = ::CreateCompatibleDC(hScreen);
        HBITMAP hBitmap = ::CreateCompatibleBitmap(hScreen, 16, 16);
        HGDIOBJ hOld = ::SelectObject(hDC, hBitmap);
        RECT all = {0, 0, 16, 16};
        ::FillRect(hDC, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
        ::DrawIconEx(hDC, 0, 0, hIcon, 16, 16, 0, nullptr, DI_NORMAL);
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                pixels.push_back(::GetPixel(hDC, x, y));
        ::SelectObject(hDC, hOld);
        ::DeleteObject(hBitmap);
        ::DeleteDC(hDC);
        ::ReleaseDC(nullptr, hScreen);
        ::DestroyIcon(hIcon);
        return pixels;
    };
    const UINT ids[] = {IDR_MAINFRAME, IDI_PLAYER_LOUD, IDI_PLAYER_MUTE, IDI_CDINFO_PAGE,
                        IDI_TRACKINFO_PAGE};
    picture(ids[0]); // what the first drawing caches is not counted
    const DWORD gdi = GdiObjectCount();
    std::vector<std::vector<COLORREF>> pictures;
    for (UINT id : ids) {
        SCOPED_TRACE(id);
        std::vector<COLORREF> pixels = picture(id);
        ASSERT_FALSE(pixels.empty()) << "no such icon";
        for (size_t i = 0; i < pictures.size(); ++i)
            EXPECT_NE(pixels, pictures[i]) << "the same picture as icon " << ids[i];
        pictures.push_back(std::move(pixels));
    }
    EXPECT_LE(GdiObjectCount(), gdi);
}

} // namespace
