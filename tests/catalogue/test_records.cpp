// Track and disc records: kinds, lengths, copies, the track list, years, and album edits
// reaching the tracks with the tags-changed command posted afterwards.
#include <gtest/gtest.h>

#include "tests/catalogue/catalogue_fixture.h"

namespace
{

TEST(CDTrack, KindsFollowTheFlags)
{
    struct Case {
        int flags;
        bool data, file, audio;
    } const cases[] = {{-1, true, false, false},     {0, false, false, true},
                       {4, true, false, false},      {0x1000, false, true, false},
                       {0x1004, true, false, false}, {2, false, false, true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.flags);
        CCDTrack t;
        t.SetFlags(c.flags);
        EXPECT_EQ(t.IsDataTrack() != FALSE, c.data);
        EXPECT_EQ(t.IsFileEntry() != FALSE, c.file);
        EXPECT_EQ(t.IsAudio() != FALSE, c.audio);
    }
    CCDTrack fresh;
    EXPECT_TRUE(fresh.IsDataTrack());
    EXPECT_EQ(fresh.GetDriveIndex(), -1);
    EXPECT_EQ(fresh.GetStartSector(), -1);
    EXPECT_STREQ(fresh.GetLengthText(), "");
    EXPECT_FALSE(fresh.IsPropertyEditable(&fresh.m_strTrackTitle));
}

TEST(CDTrack, LengthTextEndSectorAndFileName)
{
    struct Case {
        int frames;
        const char* text;
    } const lengths[] = {{16650, "3:42"}, {74, "0:00"}, {0, ""}, {-1, ""}, {75 * 3600, "60:00"}};
    for (const Case& c : lengths) {
        SCOPED_TRACE(c.frames);
        CCDTrack t;
        t.SetLengthFrames(c.frames);
        EXPECT_STREQ(t.GetLengthText(), c.text);
    }
    CCDTrack t;
    t.SetStartSector(0);
    t.SetLengthFrames(16650);
    EXPECT_EQ(t.GetEndSector(), 16650);

    const char* const names[][2] = {
        {"C:\\music\\a.wav", "a.wav"}, {"C:\\music\\", ""}, {"b.mp3", "b.mp3"}, {"", ""}};
    for (const auto& n : names) {
        SCOPED_TRACE(n[0]);
        t.SetFilePath(n[0]);
        EXPECT_STREQ(t.GetFileName(), n[1]);
    }
}

TEST(CDTrack, CopiesCarryEverythingButTheNotifyWindow)
{
    NotifyWnd wnd;
    CCDTrack src;
    src.SetFlags(0);
    src.SetSelected(1);
    src.SetDriveIndex(2);
    src.SetStartSector(300);
    src.SetLengthFrames(16650);
    src.SetFilePath("C:\\x.wav");
    src.m_strTrackTitle = "T";
    src.SetModified();
    src.SetNotifyWindow(&wnd);

    CCDTrack copy(src);
    CCDTrack assigned;
    assigned.SetNotifyWindow(&wnd);
    assigned = src;
    for (const CCDTrack* t : {&copy, &assigned}) {
        EXPECT_EQ(t->GetNotifyWindow(), nullptr);
        EXPECT_TRUE(t->IsModified());
        EXPECT_EQ(t->IsSelected(), 1);
        EXPECT_EQ(t->GetDriveIndex(), 2);
        EXPECT_EQ(t->GetStartSector(), 300);
        EXPECT_EQ(t->GetLengthFrames(), 16650);
        EXPECT_STREQ(t->GetLengthText(), "3:42");
        EXPECT_EQ(t->GetFlags(), 0);
        EXPECT_STREQ(t->GetFilePath(), "C:\\x.wav");
        EXPECT_STREQ(t->m_strTrackTitle, "T");
    }
}

TEST(CDTrack, EditsPostAfterTheCallAndMarkModified)
{
    NotifyWnd wnd;
    CCDTrack t;
    t.SetFlags(0);
    t.SetNotifyWindow(&wnd);
    CString value = "new";
    EXPECT_TRUE(t.OnPropertyChange(&t.m_strTrackTitle, &value));
    EXPECT_TRUE(wnd.received.empty()) << "posted, not sent";
    EXPECT_TRUE(t.IsModified());
    EXPECT_TRUE(t.OnPropertyChange(&t.m_strArtist, &value));
    PumpPending();
    EXPECT_EQ(wnd.received, (std::vector<LPARAM>{1, 0}));

    t.SetNotifyWindow(nullptr);
    EXPECT_TRUE(t.OnPropertyChange(&t.m_strTrackTitle, &value)); // no window: nothing posted
    PumpPending();
    EXPECT_EQ(wnd.received.size(), 2u);
}

TEST(CDInfo, NewClearedAndCopiedRecords)
{
    CCDInfo info;
    EXPECT_EQ(info.GetTrackCount(), 0);
    EXPECT_EQ(info.GetRevision(), -1);
    EXPECT_EQ(info.GetDiscId(), 0u);
    EXPECT_STREQ(info.GetCDDBId(), "");
    EXPECT_STREQ(info.GetLengthText(), "");
    EXPECT_STREQ(info.GetYear(), "");

    info.SetDiscId(1);
    EXPECT_STREQ(info.GetCDDBId(), "00000001");
    info.SetArtist("A");
    info.SetYearText("1999");
    info.SetRevision(4);
    info.SetChecksum("0000abcd");
    info.SetModified();
    AddTracks(info, {0, 1000}, 500);
    info.GetTrack(1)->m_strTrackTitle = "second";

    CCDInfo copy(info);
    EXPECT_EQ(copy.GetDiscId(), 1u);
    EXPECT_STREQ(copy.GetArtist(), "A");
    EXPECT_STREQ(copy.GetYear(), "1999");
    EXPECT_EQ(copy.GetRevision(), 4);
    EXPECT_STREQ(copy.GetChecksum(), "");
    EXPECT_FALSE(copy.IsModified());
    ASSERT_EQ(copy.GetTrackCount(), 2);
    EXPECT_NE(copy.GetTrack(1), info.GetTrack(1));
    EXPECT_STREQ(copy.GetTrack(1)->m_strTrackTitle, "second");

    info.Clear();
    EXPECT_EQ(info.GetDiscId(), 1u);
    EXPECT_STREQ(info.GetCDDBId(), "00000001");
    EXPECT_STREQ(info.GetArtist(), "");
    EXPECT_STREQ(info.GetYear(), "");
    EXPECT_EQ(info.GetTrackCount(), 0);
    EXPECT_EQ(info.GetRevision(), -1);
    EXPECT_STREQ(info.GetChecksum(), "0000abcd");
    EXPECT_TRUE(info.IsModified());
}

TEST(CDInfo, TrackListMovesAndDeletesWithinRangeOnly)
{
    CCDInfo info;
    AddTracks(info, {0, 10, 20}, 5);
    auto order = [&] {
        std::vector<int> v;
        for (int i = 0; i < info.GetTrackCount(); ++i)
            v.push_back(info.GetTrack(i)->GetStartSector());
        return v;
    };
    info.MoveTrackUp(0);
    info.MoveTrackDown(2);
    info.DeleteTrack(-1);
    info.DeleteTrack(3);
    EXPECT_EQ(order(), (std::vector<int>{0, 10, 20}));
    EXPECT_EQ(info.GetTrack(-1), nullptr);
    EXPECT_EQ(info.GetTrack(3), nullptr);
    info.MoveTrackUp(2);
    EXPECT_EQ(order(), (std::vector<int>{0, 20, 10}));
    info.MoveTrackDown(0);
    EXPECT_EQ(order(), (std::vector<int>{20, 0, 10}));
    info.DeleteTrack(1);
    EXPECT_EQ(order(), (std::vector<int>{20, 10}));

    info.GetTrack(0)->SetSelected(1);
    info.AddNewTrack()->MarkAsFileEntry();
    info.AddNewTrack()->SetFlags(4);
    EXPECT_EQ(info.GetAudioTrackCount(), 2);
    EXPECT_EQ(info.GetFileEntryCount(), 1);
    EXPECT_EQ(info.GetSelectedTrackCount(), 1);
}

TEST(CDInfo, YearAndLengthTexts)
{
    struct YearCase {
        const char* stored;
        const char* shown;
    } const years[] = {{"1999 live", "1999 live"}, {"abc", ""}, {"0", ""},
                       {"  12", "  12"},           {"-5", ""},  {"+7x", "+7x"}};
    for (const YearCase& c : years) {
        SCOPED_TRACE(c.stored);
        CCDInfo info;
        info.SetYearText(c.stored);
        EXPECT_STREQ(info.GetYear(), c.shown);
    }
    CCDInfo info;
    info.SetYear(0);
    EXPECT_STREQ(info.GetYear(), "");
    info.SetYear(2004);
    EXPECT_STREQ(info.GetYear(), "2004");

    struct LengthCase {
        int seconds;
        const char* text;
    } const lengths[] = {{2730, "45.30"}, {3930, "1:05.30"}, {59, "0.59"}, {0, ""}};
    for (const LengthCase& c : lengths) {
        SCOPED_TRACE(c.seconds);
        CCDInfo disc;
        // The last entry ends, lead-in included, exactly at the given second.
        AddTracks(disc, {0, 100}, c.seconds * 75 - 150 - 100);
        if (c.seconds == 0)
            disc.Clear();
        EXPECT_EQ(disc.GetLengthSeconds(), c.seconds);
        EXPECT_STREQ(disc.GetLengthText(), c.text);
    }
}

TEST(CDInfo, AlbumArtistEditReachesEveryTrackAndMatchingArtists)
{
    NotifyWnd wnd;
    CCDInfo info;
    AddTracks(info, {0, 100}, 100);
    info.SetNotifyWindow(&wnd);
    info.SetArtist("a");
    info.GetTrack(0)->m_strArtist = "A";
    info.GetTrack(1)->m_strArtist = "C";
    CString newValue = "B";
    EXPECT_TRUE(info.OnPropertyChange(BoundMember(info, "Album Artist"), &newValue));
    EXPECT_STREQ(info.GetTrack(0)->m_strArtist, "A") << "case-sensitive: a is not A";

    info.SetArtist("A");
    newValue = "B";
    EXPECT_TRUE(info.OnPropertyChange(BoundMember(info, "Album Artist"), &newValue));
    EXPECT_STREQ(info.GetTrack(0)->m_strAlbumArtist, "B");
    EXPECT_STREQ(info.GetTrack(1)->m_strAlbumArtist, "B");
    EXPECT_STREQ(info.GetTrack(0)->m_strArtist, "B");
    EXPECT_STREQ(info.GetTrack(1)->m_strArtist, "C");
    EXPECT_FALSE(info.GetTrack(0)->IsModified()) << "tracks change silently";
    EXPECT_TRUE(info.IsModified());
    PumpPending();
    EXPECT_EQ(wnd.received, (std::vector<LPARAM>{0, 0}));
}

TEST(CDInfo, AlbumFieldEditsReachTracksHoldingTheOldValue)
{
    struct Case {
        const char* row;
        CString CAudioTrackInfo::*field; // null: reaches no track
        LPARAM posted;
    } const cases[] = {
        {"Album Title", &CAudioTrackInfo::m_strAlbumTitle, 1},
        {"Album Genre", &CAudioTrackInfo::m_strContentType, 0},
        {"Album Year", &CAudioTrackInfo::m_strYear, 0},
        {"Album Band", &CAudioTrackInfo::m_strBand, 0},
        {"Album Conductor", &CAudioTrackInfo::m_strConductor, 0},
        {"Album Remix", &CAudioTrackInfo::m_strRemix, 0},
        {"Album Composer", &CAudioTrackInfo::m_strComposer, 0},
        {"Album Lyricist", &CAudioTrackInfo::m_strLyricist, 0},
        {"Album Copyright", &CAudioTrackInfo::m_strCopyright, 0},
        {"Album Publisher", &CAudioTrackInfo::m_strPublisher, 0},
        {"Album is part of a set", &CAudioTrackInfo::m_strPartOfASet, 0},
        {"Album Content Group", &CAudioTrackInfo::m_strContentGroup, 0},
        {"Album Comment", nullptr, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        NotifyWnd wnd;
        CCDInfo info;
        AddTracks(info, {0, 100, 200}, 100);
        info.SetNotifyWindow(&wnd);
        auto* album = static_cast<CString*>(BoundMember(info, c.row));
        ASSERT_NE(album, nullptr);
        *album = "X";
        CString before = info.GetTrack(0)->GetContentChecksum();
        if (c.field != nullptr) {
            info.GetTrack(0)->*c.field = "X";
            info.GetTrack(1)->*c.field = "own";
        } else {
            info.GetTrack(0)->m_strComment = "X";
        }
        CString value = "Y";
        EXPECT_TRUE(info.OnPropertyChange(album, &value));
        if (c.field != nullptr) {
            EXPECT_STREQ(info.GetTrack(0)->*c.field, "Y");
            EXPECT_STREQ(info.GetTrack(1)->*c.field, "own");
            EXPECT_STREQ(info.GetTrack(2)->*c.field, "");
        } else {
            EXPECT_STREQ(info.GetTrack(0)->m_strComment, "X");
        }
        PumpPending();
        EXPECT_EQ(wnd.received, std::vector<LPARAM>{c.posted});
    }

    // An empty old album title gives the new one to every track whose album title is empty.
    CCDInfo info;
    AddTracks(info, {0, 100}, 100);
    info.GetTrack(1)->m_strAlbumTitle = "kept";
    CString value = "New";
    info.OnPropertyChange(BoundMember(info, "Album Title"), &value);
    EXPECT_STREQ(info.GetTrack(0)->m_strAlbumTitle, "New");
    EXPECT_STREQ(info.GetTrack(1)->m_strAlbumTitle, "kept");
}

TEST(CDInfo, EditableOnlyWithAnAudioTrackAndNeverTheIdentifiers)
{
    CCDInfo info;
    EXPECT_FALSE(info.IsPropertyEditable(BoundMember(info, "Album Title")));
    info.AddNewTrack()->MarkAsFileEntry();
    info.AddNewTrack()->SetFlags(4);
    EXPECT_FALSE(info.IsPropertyEditable(BoundMember(info, "Album Title")));
    info.AddNewTrack()->SetFlags(0);
    EXPECT_TRUE(info.IsPropertyEditable(BoundMember(info, "Album Title")));
    EXPECT_FALSE(info.IsPropertyEditable(BoundMember(info, "Album CDDB Id")));
    EXPECT_FALSE(info.IsPropertyEditable(BoundMember(info, "Calvera Revision")));
}

} // namespace
