// The "Track Info" and "CD Info" pages driven through the property grid with real input:
// typing, the popup editors of the comment and lyrics rows, read-only rows and records.
#include <gtest/gtest.h>

#include <memory>

#include "catalogue/model/lyrics_property.h"
#include "foundation/settings/app_cfg.h"
#include "framework/app.h"
#include "propgrid/hover_button.h"
#include "propgrid/prop_ctrl.h"
#include "propgrid/prop_list.h"
#include "propgrid/textblock_property.h"
#include "tests/catalogue/catalogue_fixture.h"
#include "tests/catalogue/track_page_rows.h"

namespace
{

class RecordPageTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window = std::make_unique<TestHostWnd>(460, 640);
        grid = std::make_unique<EPropCtrl>();
        ASSERT_TRUE(grid->Create(window.get(), 50, CRect(10, 10, 450, 630)));
        grid->SetAutoNameColumn(true);
        PumpPending();
    }
    void TearDown() override
    {
        grid.reset();
        window.reset();
        PumpPending();
    }
    void Show(IPropertyHost* host)
    {
        grid->SetPropertyHost(host);
        PumpPending();
    }
    EPropListWnd& List() { return grid->GetListWnd(); }
    EProperty* Row(const char* name)
    {
        for (EProperty* p : List().GetVisibleRows())
            if (p->GetName() == name)
                return p;
        ADD_FAILURE() << "no row " << name;
        return List().GetVisibleRows().front();
    }
    void ClickRow(const char* name)
    {
        EProperty* p = Row(name);
        List().EnsureVisible(p);
        PumpPending();
        const CRect& r = p->GetValueRect();
        int y = (r.top + r.bottom) / 2 - List().GetScrollPos(SB_VERT);
        Click(List().m_hWnd, List().GetNameColumnWidth() + 36, y);
        PumpPending();
    }
    // Clicks the row, types over its text and presses Enter; false when no edit box opened.
    bool TypeInto(const char* name, const char* text)
    {
        ClickRow(name);
        auto* p = dynamic_cast<EIconTextButtonProperty*>(List().GetActiveProperty());
        if (p == nullptr || p->GetEditBox() == nullptr) {
            Press(VK_ESCAPE);
            return false;
        }
        HWND edit = p->GetEditBox()->m_hWnd;
        ::SendMessage(edit, EM_SETSEL, 0, -1);
        PostChars(edit, text);
        PumpPending();
        Press(VK_RETURN);
        return true;
    }
    void Press(UINT vk)
    {
        HWND target = ::GetFocus();
        PostKey(target != nullptr ? target : List().m_hWnd, vk);
        PumpPending();
    }
    // Opens the row's popup with its "..." button, puts text in its edit and presses a button.
    template <class Row, class Window>
    void EditInPopup(const char* name, const char* text, UINT button, Window* (Row::*popup)() const)
    {
        ClickRow(name);
        auto* row = dynamic_cast<Row*>(List().GetActiveProperty());
        ASSERT_NE(row, nullptr) << name;
        ASSERT_NE(row->GetButton(), nullptr) << name;
        row->GetButton()->SendMessage(BM_CLICK);
        PumpPending();
        Window* w = (row->*popup)();
        ASSERT_NE(w, nullptr) << name;
        w->GetEdit().SetWindowText(text);
        if (button == WM_CLOSE)
            w->SendMessage(WM_CLOSE);
        else
            ::SendMessage(::GetDlgItem(w->m_hWnd, static_cast<int>(button)), BM_CLICK, 0, 0);
        PumpPending();
        EXPECT_EQ((row->*popup)(), nullptr) << "the popup closes";
        Press(VK_ESCAPE);
    }

    std::unique_ptr<TestHostWnd> window;
    std::unique_ptr<EPropCtrl> grid;
    NotifyWnd notify;
};

TEST_F(RecordPageTest, TrackPageShowsItsThirtyRowsInOrder)
{
    CCDTrack track;
    EPropList list;
    track.FillProperties(&list);
    ASSERT_EQ(list.GetPageCount(), 1);
    EXPECT_FALSE(list.ArePagesExplicit());
    ASSERT_EQ(list.GetPage(0)->GetPropertyCount(), 30);
    EXPECT_STREQ(list.GetPage(0)->GetProperty(11)->GetName(), "Length");
    EXPECT_STREQ(list.GetPage(0)->GetProperty(16)->GetName(), "Lyricist");
    EXPECT_STREQ(list.GetPage(0)->GetProperty(6)->GetComment(),
                 "Content Group, Description, Serial or Collection");
    EXPECT_NE(dynamic_cast<EPropertyTextblock*>(list.GetPage(0)->GetProperty(14)), nullptr);
    EXPECT_NE(dynamic_cast<EPropertyLyrics*>(list.GetPage(0)->GetProperty(28)), nullptr);
    EXPECT_NE(dynamic_cast<EPropertyLyrics*>(list.GetPage(0)->GetProperty(29)), nullptr);
    EXPECT_STREQ(list.GetDefaultComment(), "Set Track Specific Info Tags Here");
}

TEST_F(RecordPageTest, EveryTrackFieldEditedThroughTheGrid)
{
    CCDTrack track;
    track.SetFlags(0);
    track.SetLengthFrames(16650);
    track.SetNotifyWindow(&notify);
    Show(&track);
    for (const TrackRowCase& c : kTrackTextRows) {
        SCOPED_TRACE(c.row);
        notify.received.clear();
        track.ClearModified();
        CString typed = CString("v ") + c.row;
        ASSERT_TRUE(TypeInto(c.row, typed));
        EXPECT_STREQ(track.*c.field, typed);
        EXPECT_TRUE(track.IsModified());
        PumpPending();
        LPARAM expected = c.field == &CAudioTrackInfo::m_strTrackTitle ? 1 : 0;
        EXPECT_EQ(notify.received, std::vector<LPARAM>{expected});
    }

    EXPECT_FALSE(TypeInto("Length", "9:99")) << "the length is never editable";
    EXPECT_STREQ(track.GetLengthText(), "3:42");

    notify.received.clear();
    EditInPopup<EPropertyTextblock, EPropertyTextblockWindow>("Comment", "one\r\ntwo", 2,
                                                              &EPropertyTextblock::GetPopup);
    EXPECT_STREQ(track.m_strComment, "one\ntwo");
    EditInPopup<EPropertyLyrics, EPropertyLyricsWindow>("Unsynchronized Lyrics", "la\r\nla",
                                                        EPropertyLyricsWindow::kOkId,
                                                        &EPropertyLyrics::GetWindow);
    EXPECT_STREQ(track.m_strUnsyncLyric, "la\nla");
    EditInPopup<EPropertyLyrics, EPropertyLyricsWindow>("Synchronized Lyrics", "[00:01]x",
                                                        EPropertyLyricsWindow::kOkId,
                                                        &EPropertyLyrics::GetWindow);
    EXPECT_STREQ(track.m_strSyncLyric, "[00:01]x");
    PumpPending();
    EXPECT_EQ(notify.received, (std::vector<LPARAM>{0, 0, 0}));
    EXPECT_STREQ(static_cast<EPropertyLyrics*>(Row("Unsynchronized Lyrics"))->GetTextValue(),
                 "la<>la");
}

TEST_F(RecordPageTest, LyricsCancelAndCloseBoxKeepTheText)
{
    CCDTrack track;
    track.SetFlags(0);
    track.m_strUnsyncLyric = "first\nsecond";
    track.SetNotifyWindow(&notify);
    Show(&track);

    ClickRow("Unsynchronized Lyrics");
    auto* row = static_cast<EPropertyLyrics*>(Row("Unsynchronized Lyrics"));
    EXPECT_EQ(row->GetEditBox(), nullptr) << "a button and no edit box";
    row->GetButton()->SendMessage(BM_CLICK);
    PumpPending();
    ASSERT_NE(row->GetWindow(), nullptr);
    EPropertyLyricsWindow* first = row->GetWindow();
    row->GetButton()->SendMessage(BM_CLICK); // a second press while open does nothing
    EXPECT_EQ(row->GetWindow(), first);
    CString shown;
    row->GetWindow()->GetEdit().GetWindowText(shown);
    EXPECT_STREQ(shown, "first\r\nsecond");
    Press(VK_ESCAPE);

    EditInPopup<EPropertyLyrics, EPropertyLyricsWindow>("Unsynchronized Lyrics", "dropped",
                                                        EPropertyLyricsWindow::kCancelId,
                                                        &EPropertyLyrics::GetWindow);
    EditInPopup<EPropertyLyrics, EPropertyLyricsWindow>("Unsynchronized Lyrics", "dropped",
                                                        WM_CLOSE, &EPropertyLyrics::GetWindow);
    EXPECT_STREQ(track.m_strUnsyncLyric, "first\nsecond");
    EXPECT_FALSE(track.IsModified());
    PumpPending();
    EXPECT_TRUE(notify.received.empty());
}

// "Search Lyrics" asks the main window for its command and leaves the popup open.
TEST_F(RecordPageTest, SearchLyricsPostsTheMainWindowsCommand)
{
    class MainWnd : public TestHostWnd
    {
    public:
        std::vector<WPARAM> commands;

    protected:
        BOOL OnCommand(WPARAM wParam, LPARAM) override
        {
            commands.push_back(wParam);
            return TRUE;
        }
    } main;
    std::unique_ptr<CWinThread> own;
    if (AfxGetThread() == nullptr)
        own = std::make_unique<CWinThread>();
    CWinThread* thread = AfxGetThread();
    ASSERT_NE(thread, nullptr);
    CWnd* saved = thread->m_pMainWnd;
    thread->m_pMainWnd = &main;

    CCDTrack track;
    track.SetFlags(0);
    Show(&track);
    ClickRow("Unsynchronized Lyrics");
    auto* row = static_cast<EPropertyLyrics*>(Row("Unsynchronized Lyrics"));
    row->GetButton()->SendMessage(BM_CLICK);
    PumpPending();
    ASSERT_NE(row->GetWindow(), nullptr);
    ::SendMessage(::GetDlgItem(row->GetWindow()->m_hWnd, EPropertyLyricsWindow::kSearchId),
                  BM_CLICK, 0, 0);
    PumpUntil([&] { return !main.commands.empty(); });
    EXPECT_EQ(main.commands, std::vector<WPARAM>{EPropertyLyricsWindow::kSearchLyricsCommand});
    EXPECT_NE(row->GetWindow(), nullptr);
    ::SendMessage(::GetDlgItem(row->GetWindow()->m_hWnd, EPropertyLyricsWindow::kCancelId),
                  BM_CLICK, 0, 0);
    PumpPending();
    thread->m_pMainWnd = saved;
}

// A host that refuses every change of its lyrics.
class VetoHost : public IPropertyHost
{
public:
    CString lyrics = "kept";
    int asked = 0;
    void FillProperties(EPropList* pList) override
    {
        pList->AddProperty(new EPropertyLyrics(this, "Lyrics", &lyrics, TRUE));
    }
    bool OnPropertyChange(void*, void*) override
    {
        ++asked;
        return false;
    }
};

TEST_F(RecordPageTest, LyricsOkWithAVetoKeepsTheTextAndCloses)
{
    VetoHost host;
    Show(&host);
    EditInPopup<EPropertyLyrics, EPropertyLyricsWindow>(
        "Lyrics", "refused", EPropertyLyricsWindow::kOkId, &EPropertyLyrics::GetWindow);
    EXPECT_EQ(host.asked, 1);
    EXPECT_STREQ(host.lyrics, "kept");
}

TEST_F(RecordPageTest, LyricsWindowSizeAndPlace)
{
    struct Case {
        const char* name;
        CRect button;
        int dx, dy;
        CRect expected;
    } const cases[] = {
        {"defaults, upper left", CRect(100, 100, 120, 118), 0, 0, CRect(100, 100, 400, 450)},
        {"stored, too wide", CRect(100, 100, 120, 118), 900, 200, CRect(100, 100, 611, 300)},
        {"negative", CRect(10, 10, 30, 28), -5, -1, CRect(10, 10, 310, 360)},
        {"lower right", CRect(900, 700, 920, 718), 0, 0, CRect(600, 350, 900, 700)},
        {"too high", CRect(0, 0, 20, 18), 100, 500, CRect(0, 0, 100, 383)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(EPropertyLyrics::PlaceWindow(c.button, 1024, 768, c.dx, c.dy), c.expected);
    }

    GetAppCfg().SetLyricsWindow_dx(320);
    GetAppCfg().SetLyricsWindow_dy(240);
    CCDTrack track;
    track.SetFlags(0);
    Show(&track);
    ClickRow("Synchronized Lyrics");
    auto* row = static_cast<EPropertyLyrics*>(Row("Synchronized Lyrics"));
    row->GetButton()->SendMessage(BM_CLICK);
    PumpPending();
    ASSERT_NE(row->GetWindow(), nullptr);
    CRect rc;
    row->GetWindow()->GetWindowRect(&rc);
    EXPECT_EQ(rc.Width(), 320);
    EXPECT_EQ(rc.Height(), 240);
    EXPECT_EQ(row->GetWindow()->GetMinTrackWidth(), 240);
    EXPECT_TRUE(::GetDlgItem(row->GetWindow()->m_hWnd, EPropertyLyricsWindow::kSearchId));
    Press(VK_ESCAPE);
    ::SetFocus(List().m_hWnd);
    Press(VK_ESCAPE);
    EXPECT_EQ(row->GetWindow(), nullptr) << "the row losing its editor closes the popup";
}

TEST_F(RecordPageTest, EmptyTrackIsReadOnly)
{
    CCDTrack empty; // flags -1
    empty.SetNotifyWindow(&notify);
    Show(&empty);
    for (const TrackRowCase& c : kTrackTextRows) {
        SCOPED_TRACE(c.row);
        EXPECT_FALSE(TypeInto(c.row, "x"));
        EXPECT_STREQ(empty.*c.field, "");
    }
    ClickRow("Unsynchronized Lyrics");
    EXPECT_EQ(static_cast<EPropertyLyrics*>(Row("Unsynchronized Lyrics"))->GetButton(), nullptr);
    EXPECT_FALSE(empty.IsModified());
    PumpPending();
    EXPECT_TRUE(notify.received.empty());
}

struct DiscRowCase {
    const char* row;
    CString (CCDInfo::*get)() const;
    LPARAM posted;
};

const DiscRowCase kDiscTextRows[] = {
    {"Album Title", &CCDInfo::GetTitle, 1},
    {"Album Artist", &CCDInfo::GetArtist, 0},
    {"Album Year", &CCDInfo::GetYear, 0},
    {"Album Genre", &CCDInfo::GetGenre, 0},
    {"Album Content Group", &CCDInfo::GetContentGroup, 0},
    {"Album Band", &CCDInfo::GetBand, 0},
    {"Album Conductor", &CCDInfo::GetConductor, 0},
    {"Album Remix", &CCDInfo::GetRemix, 0},
    {"Album Composer", &CCDInfo::GetComposer, 0},
    {"Album Lyricist", &CCDInfo::GetLyricist, 0},
    {"Album Copyright", &CCDInfo::GetCopyright, 0},
    {"Album Publisher", &CCDInfo::GetPublisher, 0},
    {"Album is part of a set", &CCDInfo::GetPartOfASet, 0},
};

TEST_F(RecordPageTest, EveryDiscFieldEditedThroughTheGrid)
{
    CCDInfo info;
    info.SetDiscId(0x1234abcd);
    AddTracks(info, {0, 20000}, 184650); // ends at 2730 s
    info.SetNotifyWindow(&notify);
    Show(&info);
    EXPECT_STREQ(static_cast<EIconTextButtonProperty*>(Row("CD Length"))->GetTextValue(), "45.30");
    for (const DiscRowCase& c : kDiscTextRows) {
        SCOPED_TRACE(c.row);
        notify.received.clear();
        info.ClearModified();
        CString typed = c.get == &CCDInfo::GetYear ? CString("1987") : CString("v ") + c.row;
        ASSERT_TRUE(TypeInto(c.row, typed));
        EXPECT_STREQ((info.*c.get)(), typed);
        EXPECT_TRUE(info.IsModified());
        PumpPending();
        EXPECT_EQ(notify.received, std::vector<LPARAM>{c.posted});
    }
    EXPECT_STREQ(info.GetTrack(1)->m_strAlbumTitle, "v Album Title") << "reached the tracks";

    notify.received.clear();
    EditInPopup<EPropertyTextblock, EPropertyTextblockWindow>("Album Comment", "a\r\nb", 2,
                                                              &EPropertyTextblock::GetPopup);
    EXPECT_STREQ(info.GetExtendedData(), "a\nb");
    PumpPending();
    EXPECT_EQ(notify.received, std::vector<LPARAM>{0});

    for (const char* readOnly : {"CD Length", "Album CDDB Id", "Calvera Revision"}) {
        SCOPED_TRACE(readOnly);
        EXPECT_FALSE(TypeInto(readOnly, "77"));
    }
    EXPECT_EQ(info.GetRevision(), -1);
    EXPECT_STREQ(info.GetCDDBId(), "1234abcd");
}

TEST_F(RecordPageTest, FileListDiscPageIsReadOnly)
{
    CCDInfo info;
    info.SetTitle("files");
    info.AddNewTrack()->MarkAsFileEntry();
    info.SetNotifyWindow(&notify);
    Show(&info);
    for (const DiscRowCase& c : kDiscTextRows) {
        SCOPED_TRACE(c.row);
        EXPECT_FALSE(TypeInto(c.row, "x"));
    }
    EXPECT_STREQ(info.GetTitle(), "files");
    EXPECT_FALSE(info.IsModified());
}

} // namespace
