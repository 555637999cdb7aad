// The CD information bar and the disc lookups, in one process over the simulated drive, driven
// with real keys and clicks: every field of both tag pages typed into the bar reaches the disc
// record (and titles the track grid); the freedb query against a loopback CDDB server (one
// match, several matches with the chooser, no match, server errors, three attempts); the
// disc-information service query and the submission through the same loopback server acting
// as the proxy; and a disc with only a data track, for which nothing can be edited or looked up.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "app/dialogs/freedb_choose_dlg.h"
#include "app/shell/cd_info_bar.h"
#include "app/shell/main_frame.h"
#include "app/shell/sonoria3_app.h"
#include "app/shell/sonoria3_doc.h"
#include "app/shell/sonoria3_view.h"
#include "catalogue/model/lyrics_property.h"
#include "foundation/i18n/i18n.h"
#include "foundation/settings/app_cfg.h"
#include "propgrid/hover_button.h"
#include "propgrid/textblock_property.h"
#include "resources/resource.h"
#include "testing/cddb/loopback_cddb.h"
#include "testing/simdrive/sim_disc.h"
#include "tests/app/dialog_script.h"
#include "tests/catalogue/track_page_rows.h"
#include "tests/framework_ui/ui_test_support.h"

CSonoria3App theApp;

namespace
{

namespace ds = dialog_script;
using testing_cddb::LoopbackCddbServer;
using testing_http::MakeReply;
using testing_http::Reply;
using testing_http::Request;

// Three audio tracks and a data track; or one data track alone.
void WriteDisc(bool dataOnly)
{
    char path[MAX_PATH] = {};
    ASSERT_GT(::GetEnvironmentVariableA("SONORIA_SIMDRIVE_IMAGE", path, MAX_PATH), 0u)
        << "runs under testing/simdrive/simdrive-wine";
    simdrive::SimDisc disc;
    simdrive::SimSession session;
    if (dataOnly) {
        session.tracks = {{1, false, 0}};
        session.leadOutLba = 9000;
    } else {
        session.tracks = {{1, true, 0}, {2, true, 4499}, {3, true, 9000}, {4, false, 13500}};
        session.leadOutLba = 20000;
    }
    disc.sessions = {session};
    FILE* f = std::fopen(path, "wb");
    ASSERT_NE(f, nullptr);
    const std::string text = disc.ToText();
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
}

// An xmcd record of the test disc's id with these titles.
std::string Xmcd(unsigned id, const std::string& artistTitle,
                 const std::vector<std::string>& titles, int year, const std::string& genre,
                 const std::string& extd)
{
    char idText[16];
    std::snprintf(idText, sizeof idText, "%08x", id);
    std::string r = "# xmcd\r\n#\r\n# Track frame offsets:\r\n#\t150\r\n#\t4649\r\n#\t9150\r\n"
                    "#\t13650\r\n#\r\n# Disc length: 268 seconds\r\n#\r\n# Revision: 1\r\n"
                    "# Submitted via: loopback 1.0\r\n#\r\nDISCID=" +
                    std::string(idText) + "\r\nDTITLE=" + artistTitle +
                    "\r\nDYEAR=" + std::to_string(year) + "\r\nDGENRE=" + genre + "\r\n";
    for (size_t i = 0; i < titles.size(); ++i)
        r += "TTITLE" + std::to_string(i) + "=" + titles[i] + "\r\n";
    r += "EXTD=" + extd + "\r\n";
    for (size_t i = 0; i < titles.size(); ++i)
        r += "EXTT" + std::to_string(i) + "=" + (i == 1 ? "live take" : "") + "\r\n";
    return r + "PLAYORDER=\r\n";
}

// The loopback server of one test: freedb over HTTP and, through the hook, the
// disc-information service, both reached with the server as the program's proxy.
class Servers
{
public:
    Servers() : m_cddb(std::make_unique<LoopbackCddbServer>())
    {
        m_cddb->SetHook([this](const Request& r, Reply& reply) {
            std::lock_guard<std::mutex> lock(m_mutex);
            if (r.target.find("q.php") != std::string::npos) {
                reply = m_query;
                return true;
            }
            if (r.target.find("i.php") != std::string::npos) {
                reply = m_submit;
                return true;
            }
            if (m_freedb) {
                reply = *m_freedb;
                return true;
            }
            return false;
        });
        GetAppCfg().SetProxyPort(m_cddb->Port());
    }
    LoopbackCddbServer& Cddb() { return *m_cddb; }
    void AnswerQuery(Reply r)
    {
        std::lock_guard<std::mutex> l(m_mutex);
        m_query = std::move(r);
    }
    void AnswerSubmit(Reply r)
    {
        std::lock_guard<std::mutex> l(m_mutex);
        m_submit = std::move(r);
    }
    // Every freedb request gets this reply instead of the served discs.
    void AnswerFreedb(Reply r)
    {
        std::lock_guard<std::mutex> l(m_mutex);
        m_freedb = std::make_unique<Reply>(std::move(r));
    }
    std::vector<Request> Requests(const char* part) const
    {
        std::vector<Request> found;
        for (const Request& r : m_cddb->Requests())
            if (r.target.find(part) != std::string::npos)
                found.push_back(r);
        return found;
    }

private:
    std::mutex m_mutex;
    Reply m_query = MakeReply(200, "<error>3</error>");
    Reply m_submit = MakeReply(200, "<error>0</error>");
    std::unique_ptr<Reply> m_freedb;
    std::unique_ptr<LoopbackCddbServer> m_cddb;
};

class InfoBarTest : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        WriteDisc(false);
        CAppCfg& cfg = GetAppCfg();
        cfg.SetUseProxy(2);
        cfg.SetProxyServer("127.0.0.1");
        cfg.SetProxyUser("");
        cfg.SetFreedbServer("freedb.test");
        cfg.SetFreedbTimeout(10);
        cfg.SetFreedbAutoChoose1(TRUE);
        cfg.SetFreedbUseSlashSep(TRUE);
        cfg.SetForceASPI(FALSE);
        cfg.SetCDDevice(0);
        cfg.SetUseLocalDB(FALSE);
        cfg.SetWriteCDPLAYERINI(FALSE);
        cfg.SetReadCDText(FALSE);
        cfg.SetSonoriaDBAutoSearch(FALSE);
        cfg.SetAutoSearchFreedb(FALSE);
        cfg.SetAutoCheckNewVersion(FALSE);
        cfg.SetAllowMultipleInstances(TRUE);
        cfg.SetMainWndCX(980);
        cfg.SetMainWndCY(700);
        cfg.ClearFileNameDefs();
        ASSERT_TRUE(theApp.InitInstance());
        Frame()->MoveWindow(0, 0, 980, 700, TRUE);
        PumpFor(300);
    }

    static CMainFrame* Frame() { return dynamic_cast<CMainFrame*>(theApp.m_pMainWnd); }
    static CSonoria3View* View() { return dynamic_cast<CSonoria3View*>(Frame()->GetActiveView()); }
    static CSonoria3Doc* Doc() { return View()->GetDocument(); }
    static CCDInfo& Disc() { return Doc()->GetCDInfo(); }
    static COXGridList& Grid() { return View()->GetGrid(); }
    static CCDInfoDlgBar& Bar() { return Frame()->GetCDInfoBar(); }
    static EPropCtrl& CDGrid() { return Bar().GetCDPage().GetPropCtrl(); }
    static EPropCtrl& TrackGrid() { return Bar().GetTrackPage().GetPropCtrl(); }
    static std::string Status() { return Frame()->GetStatusBar().GetPaneText(0).str(); }

    static void Focus(HWND hWnd)
    {
        ::SetForegroundWindow(Frame()->m_hWnd);
        ::SetFocus(hWnd);
        PumpPending();
    }
    // Ctrl+N from the grid: the disc is read again.
    static void Refresh()
    {
        Focus(Grid().m_hWnd);
        SendKeys({VK_CONTROL, 'N'});
        PumpFor(400);
    }
    // A real click; a second click too soon at the same place would make a double click.
    static void RealClick(HWND hWnd, int x, int y)
    {
        PumpFor(::GetDoubleClickTime() + 20);
        MouseClickAt(hWnd, x, y);
        PumpFor(60);
    }
    static void SelectRow(int row)
    {
        Focus(Grid().m_hWnd);
        SendKeys({VK_HOME});
        for (int i = 0; i < row; ++i)
            SendKeys({VK_DOWN});
        PumpFor(150);
        ASSERT_EQ(Grid().GetCurSel(), row);
    }
    static void ShowPage(int index)
    {
        CRect r;
        Bar().GetTabContainer().GetItemRect(index, &r);
        RealClick(Bar().GetTabContainer().m_hWnd, r.CenterPoint().x, r.CenterPoint().y);
        ASSERT_EQ(Bar().GetTabContainer().GetActivePageIndex(), index);
    }

    static EProperty* Row(EPropCtrl& grid, const char* name)
    {
        for (EProperty* p : grid.GetListWnd().GetVisibleRows())
            if (p->GetName() == name)
                return p;
        ADD_FAILURE() << "no row " << name;
        return grid.GetListWnd().GetVisibleRows().front();
    }
    static CString RowText(EPropCtrl& grid, const char* name)
    {
        auto* p = dynamic_cast<EIconTextButtonProperty*>(Row(grid, name));
        return p != nullptr ? p->GetTextValue() : CString("<no text row>");
    }
    static void ClickRow(EPropCtrl& grid, const char* name)
    {
        EPropListWnd& list = grid.GetListWnd();
        EProperty* p = Row(grid, name);
        list.EnsureVisible(p);
        list.UpdateWindow();
        const CRect& r = p->GetValueRect();
        const int y = (r.top + r.bottom) / 2 - list.GetScrollPos(SB_VERT);
        RealClick(list.m_hWnd, list.GetNameColumnWidth() + 24, y);
    }
    // Clicks the row, types text over its value and presses Enter; false when no editor opened.
    static bool TypeInto(EPropCtrl& grid, const char* name, const char* text)
    {
        ClickRow(grid, name);
        auto* p = dynamic_cast<EIconTextButtonProperty*>(grid.GetListWnd().GetActiveProperty());
        if (p == nullptr || p->GetEditBox() == nullptr)
            return false;
        p->GetEditBox()->SetSel(0, -1);
        ds::Type(text);
        ds::Key(VK_RETURN);
        PumpFor(150);
        return true;
    }
    // Opens the row's popup editor with its button, types text there and clicks its OK.
    template <class TRow, class TWindow>
    static void TypeIntoPopup(EPropCtrl& grid, const char* name, const char* text,
                              TWindow* (TRow::*window)() const)
    {
        ClickRow(grid, name);
        auto* row = dynamic_cast<TRow*>(grid.GetListWnd().GetActiveProperty());
        ASSERT_NE(row, nullptr) << name;
        ASSERT_NE(row->GetButton(), nullptr) << name;
        CRect rc;
        row->GetButton()->GetClientRect(&rc);
        RealClick(row->GetButton()->m_hWnd, rc.CenterPoint().x, rc.CenterPoint().y);
        PumpFor(200);
        TWindow* popup = (row->*window)();
        ASSERT_NE(popup, nullptr) << name;
        CEdit& edit = popup->GetEdit();
        edit.GetClientRect(&rc);
        RealClick(edit.m_hWnd, rc.CenterPoint().x, rc.CenterPoint().y);
        edit.SetSel(0, -1);
        ds::Type(text);
        PumpFor(100);
        HWND ok = ::GetDlgItem(popup->m_hWnd, 2);
        ::GetClientRect(ok, &rc);
        RealClick(ok, rc.CenterPoint().x, rc.CenterPoint().y);
        PumpFor(150);
        EXPECT_EQ((row->*window)(), nullptr) << name << ": OK closes the popup";
    }

    // Chooses an item of the "Info Tags" menu by its letter; pumps until pred holds.
    static bool RunLookup(WORD letter, const std::function<bool()>& pred, int steps = 1200)
    {
        Focus(Grid().m_hWnd);
        // Every key is queued before the pump: the menu runs its own loop once it opens.
        SendKeys({VK_MENU, 'T'});
        SendKeys({letter});
        return PumpUntil(pred, steps);
    }
    // The same while a helper thread works the modal window the command opens.
    static bool RunLookupWithScript(WORD letter, const std::function<bool()>& pred,
                                    std::function<void()> script)
    {
        return ds::RunWithScript([&] { return RunLookup(letter, pred); }, std::move(script));
    }
    static bool StatusIs(const std::string& text) { return Status() == text; }

    // Sets the status to a mark, so a command's report can be waited for.
    static void MarkStatus() { Frame()->SetStatusText("-"); }
};

TEST_F(InfoBarTest, TheBarIsDockedRightWithBothPagesAndFollowsItsMenuItem)
{
    CCDInfoDlgBar& bar = Bar();
    ASSERT_NE(bar.m_hWnd, nullptr);
    EXPECT_EQ(ds::Text(bar.m_hWnd), "Info Tags");
    ASSERT_NE(bar.m_pDockBar, nullptr);
    EXPECT_EQ(bar.m_pDockBar->GetDlgCtrlID(), AFX_IDW_DOCKBAR_RIGHT);
    CRect rcBar, rcView;
    bar.GetWindowRect(&rcBar);
    View()->GetWindowRect(&rcView);
    EXPECT_GE(rcBar.left, rcView.right) << "the bar stands right of the track grid";

    COX3DTabViewContainer& tabs = bar.GetTabContainer();
    ASSERT_EQ(tabs.GetPageCount(), 2);
    char title[64] = {};
    TCITEM item{};
    item.mask = TCIF_TEXT | TCIF_IMAGE;
    item.pszText = title;
    item.cchTextMax = sizeof(title);
    for (int i = 0; i < 2; ++i) {
        tabs.GetItem(i, &item);
        EXPECT_STREQ(title, i == 0 ? "CD Info" : "Track Info");
        EXPECT_EQ(item.iImage, i);
    }
    EXPECT_EQ(ImageList_GetImageCount(tabs.GetImageList()), 2);
    EXPECT_EQ(tabs.GetActivePage(), &bar.GetCDPage());
    EXPECT_TRUE(bar.GetCDPage().GetExStyle() & WS_EX_CLIENTEDGE);

    // The CD page shows the disc, the track page the selected first row.
    EXPECT_EQ(Disc().GetNotifyWindow(), &bar);
    EXPECT_EQ(RowText(CDGrid(), "Album CDDB Id"), Disc().GetCDDBId());
    EXPECT_EQ(RowText(TrackGrid(), "Title"), CString("Track 1"));

    if (const char* dir = std::getenv("SONORIA_SHOT_DIR")) {
        Frame()->RedrawWindow(nullptr, nullptr,
                              RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        PumpFor(300);
        SaveScreenBitmap(Frame()->m_hWnd, (std::string(dir) + "\\info-bar.bmp").c_str());
    }

    // View, CD Info Panel (the seventh item) hides the bar and shows it again.
    for (bool shown : {false, true}) {
        Focus(Grid().m_hWnd);
        SendKeys({VK_MENU, 'V'});
        SendKeys({'I'});
        PumpFor(200);
        EXPECT_EQ(bar.IsWindowVisible() != FALSE, shown);
    }
}

TEST_F(InfoBarTest, EveryAlbumFieldTypedInTheCDPageReachesTheDisc)
{
    ShowPage(0);
    struct Field {
        const char* row;
        const char* typed;
        CString (CCDInfo::*get)() const;
    };
    const Field fields[] = {
        {"Album Title", "Night Drive", &CCDInfo::GetTitle},
        {"Album Artist", "The Lamps", &CCDInfo::GetArtist},
        {"Album Year", "1987", &CCDInfo::GetYear},
        {"Album Genre", "Synth", &CCDInfo::GetGenre},
        {"Album Content Group", "Series A", &CCDInfo::GetContentGroup},
        {"Album Band", "Lamp Band", &CCDInfo::GetBand},
        {"Album Conductor", "K. Rowe", &CCDInfo::GetConductor},
        {"Album Remix", "Dub", &CCDInfo::GetRemix},
        {"Album Composer", "A. Vale", &CCDInfo::GetComposer},
        {"Album Lyricist", "B. Vale", &CCDInfo::GetLyricist},
        {"Album Copyright", "C 1987 Glow", &CCDInfo::GetCopyright},
        {"Album Publisher", "Glow", &CCDInfo::GetPublisher},
        {"Album is part of a set", "1/2", &CCDInfo::GetPartOfASet},
    };
    for (const Field& f : fields) {
        SCOPED_TRACE(f.row);
        ASSERT_TRUE(TypeInto(CDGrid(), f.row, f.typed));
        EXPECT_EQ((Disc().*f.get)(), CString(f.typed));
    }
    // Album fields carry into the tracks that had the old value.
    EXPECT_EQ(Disc().GetTrack(2)->GetAlbumTitle(), CString("Night Drive"));
    EXPECT_EQ(Disc().GetTrack(0)->GetAlbumArtist(), CString("The Lamps"));

    TypeIntoPopup(CDGrid(), "Album Comment", "recorded live", &EPropertyTextblock::GetPopup);
    EXPECT_EQ(Disc().GetExtendedData(), CString("recorded live"));

    // Length, CDDB id and revision are not for editing.
    const CString id = Disc().GetCDDBId();
    for (const char* row : {"CD Length", "Album CDDB Id", "Calvera Revision"}) {
        SCOPED_TRACE(row);
        EXPECT_FALSE(Row(CDGrid(), row)->IsEnabled());
        EXPECT_FALSE(TypeInto(CDGrid(), row, "9"));
    }
    EXPECT_EQ(Disc().GetCDDBId(), id);
    EXPECT_EQ(Disc().GetRevision(), -1);
    // No album edit touched a track title the grid shows.
    EXPECT_STREQ(Grid().GetItemText(0, 1), "Track 1");
}

TEST_F(InfoBarTest, EveryTrackFieldTypedInTheTrackPageReachesTheTrackAndTitlesTheGrid)
{
    SelectRow(1);
    ShowPage(1);
    CCDTrack* track = Disc().GetTrack(1);
    ASSERT_EQ(RowText(TrackGrid(), "Title"), CString("Track 2"))
        << "the track page shows the selected row's track";

    // A mark in the grid cell shows whether the view rewrote the row: only a title edit may.
    Grid().SetItemText(1, 1, "unchanged");
    PumpPending();
    int n = 0;
    for (const TrackRowCase& f : kTrackTextRows) {
        if (f.field == &CAudioTrackInfo::m_strTrackTitle)
            continue; // below: the one that reaches the grid
        SCOPED_TRACE(f.row);
        const std::string typed = "v" + std::to_string(++n);
        ASSERT_TRUE(TypeInto(TrackGrid(), f.row, typed.c_str()));
        EXPECT_EQ(track->*f.field, CString(typed.c_str()));
        PumpFor(50);
        EXPECT_STREQ(Grid().GetItemText(1, 1), "unchanged") << "only a title reaches the view";
    }
    EXPECT_TRUE(track->IsModified());

    // The title reaches the grid row through the bar and the view.
    ASSERT_TRUE(TypeInto(TrackGrid(), "Title", "Blue Hour"));
    EXPECT_EQ(track->GetTrackTitle(), CString("Blue Hour"));
    EXPECT_TRUE(PumpUntil([] { return Grid().GetItemText(1, 1) == CString("Blue Hour"); }));
    EXPECT_STREQ(Grid().GetItemText(0, 1), "Track 1");

    TypeIntoPopup(TrackGrid(), "Comment", "a quiet one", &EPropertyTextblock::GetPopup);
    EXPECT_EQ(track->m_strComment, CString("a quiet one"));
    TypeIntoPopup(TrackGrid(), "Unsynchronized Lyrics", "la la la", &EPropertyLyrics::GetWindow);
    EXPECT_EQ(track->m_strUnsyncLyric, CString("la la la"));
    TypeIntoPopup(TrackGrid(), "Synchronized Lyrics", "[00:01]la", &EPropertyLyrics::GetWindow);
    EXPECT_EQ(track->m_strSyncLyric, CString("[00:01]la"));

    EXPECT_FALSE(Row(TrackGrid(), "Length")->IsEnabled());
    // Escape on the page closes nothing.
    ClickRow(TrackGrid(), "Length");
    ds::Key(VK_ESCAPE);
    PumpFor(100);
    EXPECT_TRUE(Bar().GetTrackPage().IsWindowVisible());
    ShowPage(0);
}

TEST_F(InfoBarTest, OneFreedbMatchFillsTheDiscWithoutTheChooser)
{
    Servers servers;
    const unsigned id = Disc().GetDiscId();
    servers.Cddb().AddDisc(
        {"rock", id, "Various / Mixed",
         Xmcd(id, "Various / Mixed", {"Ann Lee / First", "/Slash", "Plain"}, 1999, "Rock", "notes"),
         0});
    MarkStatus();
    ASSERT_TRUE(RunLookup('F', [] { return !StatusIs("-"); }));
    EXPECT_EQ(Status(), "freedb query: CD found");

    // The query names every entry (the data track too) and the lead-out in seconds.
    const auto queries = servers.Requests("cddb+query");
    ASSERT_EQ(queries.size(), 1u);
    char expected[128];
    std::snprintf(expected, sizeof expected, "cddb query %08x 4 150 4649 9150 13650 268", id);
    EXPECT_EQ(LoopbackCddbServer::Command(queries[0]), expected);
    EXPECT_NE(queries[0].target.find("+Sonoria+3.70&"), std::string::npos) << queries[0].target;

    EXPECT_EQ(Disc().GetTitle(), CString("Mixed"));
    EXPECT_EQ(Disc().GetArtist(), CString("Various"));
    EXPECT_EQ(Disc().GetYear(), CString("1999"));
    EXPECT_EQ(Disc().GetGenre(), CString("Rock"));
    EXPECT_EQ(Disc().GetExtendedData(), CString("notes"));
    EXPECT_EQ(Disc().GetRevision(), -1);
    struct TrackCase {
        const char* title;
        const char* artist;
        const char* ext;
    };
    // "artist / title" is split; a title starting with "/" is not.
    const TrackCase tracks[] = {
        {"First", "Ann Lee", ""}, {"/Slash", "Various", "live take"}, {"Plain", "Various", ""}};
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        CCDTrack* t = Disc().GetTrack(i);
        EXPECT_EQ(t->GetTrackTitle(), CString(tracks[i].title));
        EXPECT_EQ(t->GetArtist(), CString(tracks[i].artist));
        EXPECT_EQ(t->GetTrackExt(), CString(tracks[i].ext));
        EXPECT_EQ(t->GetAlbumTitle(), CString("Mixed"));
        EXPECT_EQ(t->GetAlbumArtist(), CString("Various"));
        EXPECT_EQ(t->GetContentType(), CString("Rock"));
        EXPECT_EQ(t->GetMediaType(), CString("CD"));
        EXPECT_EQ(t->GetYear(), CString("1999"));
        CString position;
        position.Format("%d/3", i + 1);
        EXPECT_EQ(t->GetTrackPosition(), position);
        EXPECT_EQ(t->GetCDId(), Disc().GetCDDBId());
        EXPECT_EQ(Grid().GetItemText(i, 1), CString(tracks[i].title)) << "the grid follows";
    }
    EXPECT_EQ(Disc().GetTrack(3)->GetTrackTitle(), CString("Track 4")) << "no title: kept";
    EXPECT_EQ(RowText(CDGrid(), "Album Title"), CString("Mixed")) << "the bar follows";
    EXPECT_FALSE(Disc().MatchesStoredChecksum()) << "the disc counts as changed";

    // The same with the slash setting off: the whole text is the title.
    GetAppCfg().SetFreedbUseSlashSep(FALSE);
    MarkStatus();
    ASSERT_TRUE(RunLookup('F', [] { return !StatusIs("-"); }));
    GetAppCfg().SetFreedbUseSlashSep(TRUE);
    EXPECT_EQ(Disc().GetTrack(0)->GetTrackTitle(), CString("Ann Lee / First"));
    EXPECT_EQ(Disc().GetTrack(0)->GetArtist(), CString("Various"));
}

TEST_F(InfoBarTest, SeveralMatchesOpenTheChooserAndTheRowPickedWithTheMouseWins)
{
    Servers servers;
    const unsigned id = Disc().GetDiscId();
    const std::pair<const char*, const char*> discs[] = {{"rock", "Band One / Album One"},
                                                         {"jazz", "Band Two / Album Two"}};
    for (const auto& d : discs)
        servers.Cddb().AddDisc(
            {d.first, id, d.second,
             Xmcd(id, d.second, {std::string(d.first) + " a", std::string(d.first) + " b"},
                  d.first[0] == 'r' ? 2001 : 0, d.first, std::string("about ") + d.first),
             0});
    const DWORD uiThread = ::GetCurrentThreadId();
    std::vector<std::string> lines, firstDetails, secondDetails;
    MarkStatus();
    ASSERT_TRUE(RunLookupWithScript(
        'F', [] { return !StatusIs("-"); },
        [&] {
            HWND dlg = ds::WaitForDialog(uiThread, "freedb search results");
            ASSERT_NE(dlg, nullptr);
            HWND records = ::GetDlgItem(dlg, 136), details = ::GetDlgItem(dlg, 138);
            lines = ds::ListBoxLines(records);
            firstDetails = ds::ListBoxLines(details);
            EXPECT_EQ(ds::ItemText(dlg, IDOK), "Select");
            EXPECT_EQ(ds::ItemText(dlg, 140), "CD Details");
            ds::ClickListBoxLine(records, 1);
            ds::WaitUntil([&] { return ::SendMessage(records, LB_GETCURSEL, 0, 0) == 1; });
            ::Sleep(200);
            secondDetails = ds::ListBoxLines(details);
            if (const char* dir = std::getenv("SONORIA_SHOT_DIR")) {
                const std::string path = std::string(dir) + "\\freedb-chooser.bmp";
                SaveScreenBitmap(dlg, path.c_str());
            }
            ds::ClickControl(dlg, IDOK);
        }));
    char line[2][96];
    std::snprintf(line[0], sizeof line[0], "[%08x] rock - Album One (Band One)", id);
    std::snprintf(line[1], sizeof line[1], "[%08x] jazz - Album Two (Band Two)", id);
    EXPECT_EQ(lines, (std::vector<std::string>{line[0], line[1]}));
    EXPECT_EQ(firstDetails,
              (std::vector<std::string>{" 1-rock a", " 2-rock b", "", "Artist: Band One",
                                        "Year: 2001", "Genre: rock", "Comment: about rock"}));
    EXPECT_EQ(secondDetails,
              (std::vector<std::string>{" 1-jazz a", " 2-jazz b", "", "Artist: Band Two", "Year: 0",
                                        "Genre: jazz", "Comment: about jazz"}));
    EXPECT_EQ(Status(), "freedb query: CD found");
    EXPECT_EQ(Disc().GetTitle(), CString("Album Two"));
    EXPECT_EQ(Disc().GetYear(), CString("")) << "no year in the record";
    EXPECT_EQ(Grid().GetItemText(0, 1), CString("jazz a"));

    // Cancelled: nothing is taken.
    MarkStatus();
    ASSERT_TRUE(RunLookupWithScript(
        'F', [] { return !StatusIs("-"); },
        [&] {
            HWND dlg = ds::WaitForDialog(uiThread, "freedb search results");
            ASSERT_NE(dlg, nullptr);
            ds::ClickControl(dlg, IDCANCEL);
        }));
    EXPECT_EQ(Status(), "freedb query: no match");
    EXPECT_EQ(Disc().GetTitle(), CString("Album Two"));

    // One match with the automatic choice off: the chooser still asks; a double click takes it.
    GetAppCfg().SetFreedbAutoChoose1(FALSE);
    Servers single;
    single.Cddb().AddDisc(
        {"folk", id, "Solo / Only", Xmcd(id, "Solo / Only", {"x"}, 1970, "folk", ""), 0});
    MarkStatus();
    ASSERT_TRUE(RunLookupWithScript(
        'F', [] { return !StatusIs("-"); },
        [&] {
            HWND dlg = ds::WaitForDialog(uiThread, "freedb search results");
            ASSERT_NE(dlg, nullptr);
            HWND records = ::GetDlgItem(dlg, 136);
            RECT r{};
            ::SendMessage(records, LB_GETITEMRECT, 0, reinterpret_cast<LPARAM>(&r));
            POINT pt{r.left + 12, (r.top + r.bottom) / 2};
            ::ClientToScreen(records, &pt);
            MouseDoubleClick(pt);
        }));
    GetAppCfg().SetFreedbAutoChoose1(TRUE);
    EXPECT_EQ(Status(), "freedb query: CD found");
    EXPECT_EQ(Disc().GetTitle(), CString("Only"));
}

TEST_F(InfoBarTest, NoMatchAndServerErrorsAreReportedAfterThreeAttempts)
{
    const CString title = Disc().GetTitle();
    {
        Servers servers; // knows no disc
        MarkStatus();
        ASSERT_TRUE(RunLookup('F', [] { return !StatusIs("-"); }));
        EXPECT_EQ(Status(), "freedb query: no match");
        EXPECT_EQ(servers.Requests("cddb+query").size(), 1u) << "a no-match is no failure";
    }
    struct Case {
        const char* name;
        Reply reply;
    };
    const Case cases[] = {
        {"server error", MakeReply(200, "500 Internal server error.\r\n")},
        {"closes without answering", Reply{}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Servers servers;
        servers.AnswerFreedb(c.reply);
        MarkStatus();
        ASSERT_TRUE(RunLookup('F', [] { return !StatusIs("-"); }));
        EXPECT_EQ(Status().rfind("freedb query: server error (", 0), 0u) << Status();
        EXPECT_EQ(Status().back(), ')');
        EXPECT_EQ(servers.Requests("cddb+query").size(), 3u) << "three attempts";
    }
    // A server that is not there at all.
    unsigned short deadPort = 0;
    {
        Servers gone;
        deadPort = gone.Cddb().Port();
    }
    GetAppCfg().SetProxyPort(deadPort);
    MarkStatus();
    ASSERT_TRUE(RunLookup('F', [] { return !StatusIs("-"); }));
    EXPECT_EQ(Status().rfind("freedb query: server error (", 0), 0u) << Status();
    EXPECT_EQ(Disc().GetTitle(), title) << "a failed lookup changes nothing";
}

TEST_F(InfoBarTest, AttemptTimeoutsShrinkWithEachAttempt)
{
    struct Case {
        int seconds;
        int ms[3];
    };
    const Case cases[] = {
        {90, {90000, 45000, 30000}}, {1, {1000, 0, 0}}, {10, {10000, 5000, 3000}}};
    for (const Case& c : cases)
        for (int k = 0; k < 3; ++k)
            EXPECT_EQ(CSonoria3View::FreedbAttemptTimeoutMs(c.seconds, k), c.ms[k])
                << c.seconds << " s, attempt " << k;
}

TEST_F(InfoBarTest, TheServiceQueryReportsEachAnswer)
{
    Servers servers;
    struct Case {
        const char* name;
        Reply reply;
        const char* status;
    };
    const Case cases[] = {
        {"no match", MakeReply(200, "<error>3</error>"), "Calvera query: no match"},
        {"maintenance", MakeReply(200, "<error>6</error>"),
         "Calvera query: server in maintenance, please retry later"},
        {"no connection", MakeReply(500, "down"), "Calvera query: no connection to server"},
        {"other error", MakeReply(200, "<error>7</error>"), "Calvera query: server error"},
        {"unreadable", MakeReply(200, "OK"), "Calvera query: server error"},
        {"found",
         MakeReply(200, "<cdinfo><artist>Svc Band</artist><title>Svc Album</title>"
                        "<revision>4</revision><track num=\"0\"><title>Svc One</title>"
                        "</track></cdinfo>"),
         "Calvera query: CD found"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        servers.AnswerQuery(c.reply);
        MarkStatus();
        ASSERT_TRUE(RunLookup('C', [] { return !StatusIs("-"); }));
        EXPECT_EQ(Status(), c.status);
    }
    const auto queries = servers.Requests("q.php");
    ASSERT_EQ(queries.size(), std::size(cases));
    EXPECT_NE(queries[0].target.find("cdid=" + Disc().GetTocId().str()), std::string::npos);
    EXPECT_EQ(Disc().GetTitle(), CString("Svc Album"));
    EXPECT_EQ(Disc().GetRevision(), 4);
    EXPECT_EQ(Grid().GetItemText(0, 1), CString("Svc One"));
    EXPECT_EQ(RowText(CDGrid(), "Album Artist"), CString("Svc Band"));
}

TEST_F(InfoBarTest, ASubmissionPostsTheEditedDiscAndReportsTheAnswer)
{
    Servers servers;
    const unsigned id = Disc().GetDiscId();
    servers.Cddb().AddDisc(
        {"rock", id, "Sub Band / Sub Album",
         Xmcd(id, "Sub Band / Sub Album", {"S1", "S2", "S3", "S4"}, 2005, "Rock", ""), 0});
    MarkStatus();
    ASSERT_TRUE(RunLookup('F', [] { return !StatusIs("-"); }));
    ASSERT_EQ(Status(), "freedb query: CD found");
    // An edit typed in the bar goes with the submission.
    ShowPage(0);
    ASSERT_TRUE(TypeInto(CDGrid(), "Album Title", "Edited Album"));
    const int revision = Disc().GetRevision();

    struct Case {
        const char* name;
        Reply reply;
        const char* text;
        bool accepted;
    };
    const Case cases[] = {
        {"revision conflict", MakeReply(200, "<error>8</error>"),
         "Revision value on server higher than one in your data\r\nProbably someone edited this "
         "CD and posted it before you.",
         false},
        {"maintenance", MakeReply(200, "<error>6</error>"),
         "Calvera server is in maintenance, please try again later.", false},
        {"no server", Reply{}, "No answer from the server please try again later.", false},
        {"own number", MakeReply(200, "<error>42</error>"),
         "Internal error 42. Please try again later.", false},
        {"accepted", MakeReply(200, "<error>0</error>"),
         "Submission successful. Thank you for your contribution.", true},
    };
    unsigned short deadPort = 0;
    {
        Servers gone;
        deadPort = gone.Cddb().Port();
    }
    const DWORD uiThread = ::GetCurrentThreadId();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        servers.AnswerSubmit(c.reply);
        const bool noServer = std::string(c.name) == "no server";
        GetAppCfg().SetProxyPort(noServer ? deadPort : servers.Cddb().Port());
        std::string boxText;
        MarkStatus();
        std::atomic<bool> answered{false};
        ASSERT_TRUE(RunLookupWithScript(
            'S', [&] { return answered.load(); },
            [&] {
                HWND box = ds::WaitForDialog(uiThread, "Calvera submission", nullptr, 20000);
                ASSERT_NE(box, nullptr);
                boxText = ds::StaticTexts(box);
                ds::ClickControl(box, IDOK);
                ds::WaitUntil([box] { return !::IsWindow(box); });
                answered = true;
            }));
        PumpFor(100);
        EXPECT_EQ(boxText, c.text);
        EXPECT_EQ(Status(), c.text);
        EXPECT_EQ(Disc().GetRevision(), c.accepted ? revision + 1 : revision);
    }
    const auto posts = servers.Requests("i.php");
    ASSERT_EQ(posts.size(), std::size(cases) - 1);
    const std::string& body = posts.back().body;
    EXPECT_NE(body.find("cdid=" + Disc().GetTocId().str()), std::string::npos) << body;
    EXPECT_NE(body.find("client=Sonoria"), std::string::npos) << body;
    EXPECT_NE(body.find("Edited%20Album"), std::string::npos) << body;
    // Accepted: the stored checksum matches again, so there is nothing more to submit.
    EXPECT_TRUE(Disc().MatchesStoredChecksum());
}

TEST_F(InfoBarTest, ADiscWithOnlyADataTrackOffersNothingToEditOrLookUp)
{
    WriteDisc(true);
    Refresh();
    ASSERT_EQ(Disc().GetTrackCount(), 1);
    ASSERT_EQ(Disc().GetAudioTrackCount(), 0);
    ShowPage(0);
    EXPECT_FALSE(Row(CDGrid(), "Album Title")->IsEnabled());
    EXPECT_FALSE(TypeInto(CDGrid(), "Album Title", "nope"));
    EXPECT_EQ(Disc().GetTitle(), CString(""));

    // The three lookups are greyed in the menu, and sent anyway they do nothing.
    struct Menu {
        UINT state[3];
    } menu{};
    DialogAnswerer read(
        [](HWND hMenuWnd, void* context) {
            auto* m = static_cast<Menu*>(context);
            HMENU h = reinterpret_cast<HMENU>(::SendMessage(hMenuWnd, MN_GETHMENU, 0, 0));
            const UINT ids[3] = {ID_TAGS_SERVICEQUERY, ID_TAGS_FREEDBQUERY, ID_TAGS_SERVICESUBMIT};
            for (int i = 0; i < 3; ++i)
                m->state[i] = ::GetMenuState(h, ids[i], MF_BYCOMMAND);
            SendKeys({VK_ESCAPE});
            SendKeys({VK_ESCAPE});
        },
        &menu, "#32768", 5000);
    Focus(Grid().m_hWnd);
    SendKeys({VK_MENU, 'T'});
    PumpUntil([&] { return read.Answered(); }, 400);
    PumpFor(200);
    ASSERT_TRUE(read.Answered());
    for (UINT state : menu.state)
        EXPECT_TRUE(state & MF_GRAYED) << state;

    Servers servers;
    servers.Cddb().AddDisc({"misc", Disc().GetDiscId(), "A / B",
                            Xmcd(Disc().GetDiscId(), "A / B", {"x"}, 1, "misc", ""), 0});
    MarkStatus();
    for (UINT id : {ID_TAGS_FREEDBQUERY, ID_TAGS_SERVICEQUERY, ID_TAGS_SERVICESUBMIT})
        Frame()->SendMessage(WM_COMMAND, id, 0);
    PumpFor(300);
    EXPECT_TRUE(servers.Cddb().Requests().empty());
    EXPECT_EQ(Status(), "-");

    // The track page: no row selected shows the placeholder, which offers nothing.
    Bar().SetTrack(nullptr);
    PumpPending();
    EXPECT_FALSE(Row(TrackGrid(), "Title")->IsEnabled());

    WriteDisc(false);
    Refresh();
    EXPECT_EQ(Disc().GetAudioTrackCount(), 3);
}

// F1 in the chooser opens its help page and nothing else happens to the dialog.
class HelpRecordingChooser : public CFreedbChooseDlg
{
public:
    void WinHelp(DWORD_PTR dwData, UINT nCmd) override
    {
        contexts.push_back(static_cast<int>(dwData));
        commands.push_back(nCmd);
    }
    std::vector<int> contexts;
    std::vector<UINT> commands;
};

TEST_F(InfoBarTest, HelpInTheChooserOpensItsHelpPage)
{
    CCDDBRecordArray none;
    HelpRecordingChooser dlg;
    dlg.SetRecords(&none);
    const DWORD uiThread = ::GetCurrentThreadId();
    bool openAfterHelp = false;
    std::vector<std::string> details = {"not read"};
    const INT_PTR result = ds::RunWithScript([&] { return dlg.DoModal(); }, [&] {
        HWND h = ds::WaitForDialog(uiThread, "freedb search results");
        ASSERT_NE(h, nullptr);
        details = ds::ListBoxLines(::GetDlgItem(h, 138));
        ds::Key(VK_F1);
        ds::WaitUntil([&] { return !dlg.contexts.empty(); }, 3000);
        openAfterHelp = ::IsWindowVisible(h) != FALSE;
        ds::ClickControl(h, IDCANCEL);
    });
    EXPECT_EQ(result, IDCANCEL);
    EXPECT_EQ(dlg.contexts, std::vector<int>{2000});
    EXPECT_EQ(dlg.commands, std::vector<UINT>{HELP_CONTEXT});
    EXPECT_TRUE(openAfterHelp);
    EXPECT_TRUE(details.empty()) << "no record, no details";
    EXPECT_EQ(dlg.GetSelectedIndex(), -1);
}

// Last: it leaves the program in another language.
TEST_F(InfoBarTest, ANewLanguageRetitlesTheBarAndItsPagesInPlace)
{
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string path = std::string(temp) + "sonoria_infobar_it.lang";
    FILE* f = std::fopen(path.c_str(), "wb");
    ASSERT_NE(f, nullptr);
    const std::string text = "[Info]\r\nLocaleID=0410\r\n\r\n[Language]\r\n"
                             "ccdinfodlgbar.title=Informazioni\r\n"
                             "ccdinfodlgbar.const.cdinfo=Disco\r\n"
                             "ccdinfodlgbar.const.trackinfo=Traccia\r\n";
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    const HWND before = Bar().m_hWnd;
    I18NSetLanguageFile(path.c_str());
    Bar().Retranslate();
    EXPECT_EQ(Bar().m_hWnd, before) << "the same bar";
    EXPECT_EQ(ds::Text(Bar().m_hWnd), "Informazioni");
    char title[64] = {};
    TCITEM item{};
    item.mask = TCIF_TEXT;
    item.pszText = title;
    item.cchTextMax = sizeof(title);
    Bar().GetTabContainer().GetItem(0, &item);
    EXPECT_STREQ(title, "Disco");
    Bar().GetTabContainer().GetItem(1, &item);
    EXPECT_STREQ(title, "Traccia");
}

} // namespace
