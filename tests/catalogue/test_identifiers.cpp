// Disc-index id, freedb query text and the content checksums of tracks and discs.
#include <gtest/gtest.h>

#include "tests/catalogue/catalogue_fixture.h"

namespace
{

// Expected ids computed apart from this code (MD5 of the "%05x" differences, count, seconds).
struct TocCase {
    const char* name;
    std::vector<int> starts;
    int lastLength;
    const char* tocId;
    const char* queryTail; // after the CDDB id text
    int seconds;
};

const TocCase kTocs[] = {
    {"empty", {}, 0, "d41d8cd98f00b204e9800998ecf8427e00000000", "+0+0", 0},
    {"one track", {0}, 16650, "d41d8cd98f00b204e9800998ecf8427e010000e0", "+1+150+224", 224},
    {"three tracks",
     {0, 18000, 36000},
     20000,
     "bc714ae10fa6599cac31377e1cafc0d9030002ec",
     "+3+150+18150+36150+748",
     748},
    {"data track last",
     {0, 1000, 1048575, 1049576},
     11250,
     "86b9b81c0a087a7e7e415099ef99295b04003742",
     "+4+150+1150+1048725+1049726+14146",
     14146},
    {"gap of six digits",
     {150, 150 + 0x123456},
     75,
     "e10adc3949ba59abbe56e057f20f883e02003e28",
     "+2+300+1193346+15912",
     15912},
};

TEST(DiscIdentifiers, TocIdAndFreedbQueryOnATableOfTocs)
{
    for (const TocCase& c : kTocs) {
        SCOPED_TRACE(c.name);
        CCDInfo info;
        info.SetDiscId(0x0a0b0c0d);
        AddTracks(info, c.starts, c.lastLength);
        if (c.starts.size() == 4)
            info.GetTrack(3)->SetFlags(4); // the data track counts like any other entry
        EXPECT_EQ(info.GetLengthSeconds(), c.seconds);
        EXPECT_STREQ(info.GetTocId(), c.tocId);
        EXPECT_EQ(info.GetTocId().GetLength(), 40);
        EXPECT_STREQ(info.GetFreedbQuery(), CString("0a0b0c0d") + c.queryTail);
    }
}

// Each tag field of a track, and whether the content checksum covers it.
struct FieldCase {
    const char* name;
    CString CAudioTrackInfo::*field;
    bool covered;
};

const FieldCase kFields[] = {
    {"AlbumTitle", &CAudioTrackInfo::m_strAlbumTitle, true},
    {"Artist", &CAudioTrackInfo::m_strArtist, true},
    {"Band", &CAudioTrackInfo::m_strBand, true},
    {"Comment", &CAudioTrackInfo::m_strComment, true},
    {"CommentDigest", &CAudioTrackInfo::m_strCommentDigest, true},
    {"Composer", &CAudioTrackInfo::m_strComposer, true},
    {"Conductor", &CAudioTrackInfo::m_strConductor, true},
    {"ContentType", &CAudioTrackInfo::m_strContentType, true},
    {"Copyright", &CAudioTrackInfo::m_strCopyright, true},
    {"InvolvedPeople", &CAudioTrackInfo::m_strInvolvedPeople, true},
    {"ISRC", &CAudioTrackInfo::m_strISRC, true},
    {"Lyricist", &CAudioTrackInfo::m_strLyricist, true},
    {"Mood", &CAudioTrackInfo::m_strMood, true},
    {"OriginalAlbumTitle", &CAudioTrackInfo::m_strOriginalAlbumTitle, true},
    {"OriginalArtist", &CAudioTrackInfo::m_strOriginalArtist, true},
    {"OriginalLyricist", &CAudioTrackInfo::m_strOriginalLyricist, true},
    {"Publisher", &CAudioTrackInfo::m_strPublisher, true},
    {"Remix", &CAudioTrackInfo::m_strRemix, true},
    {"SyncLyric", &CAudioTrackInfo::m_strSyncLyric, true},
    {"UnsyncLyric", &CAudioTrackInfo::m_strUnsyncLyric, true},
    {"TrackExt", &CAudioTrackInfo::m_strTrackExt, true},
    {"TrackTitle", &CAudioTrackInfo::m_strTrackTitle, true},
    {"Year", &CAudioTrackInfo::m_strYear, true},
    {"ContentGroup", &CAudioTrackInfo::m_strContentGroup, false},
    {"AlbumArtist", &CAudioTrackInfo::m_strAlbumArtist, false},
    {"TrackPosition", &CAudioTrackInfo::m_strTrackPosition, false},
    {"EncodedBy", &CAudioTrackInfo::m_strEncodedBy, false},
    {"MediaType", &CAudioTrackInfo::m_strMediaType, false},
    {"CDId", &CAudioTrackInfo::m_strCDId, false},
    {"PartOfASet", &CAudioTrackInfo::m_strPartOfASet, false},
};

TEST(ContentChecksum, TrackAndDiscChangeExactlyWithTheCoveredTrackFields)
{
    CCDTrack abc;
    abc.m_strTrackTitle = "abc";
    EXPECT_STREQ(abc.GetContentChecksum(), "00000126"); // 97 + 98 + 99
    CCDTrack high;
    high.m_strArtist = "\xFF\xFF";
    EXPECT_STREQ(high.GetContentChecksum(), "000001fe") << "bytes count as unsigned";

    for (const FieldCase& c : kFields) {
        SCOPED_TRACE(c.name);
        CCDInfo info;
        AddTracks(info, {0, 1000}, 500);
        CString track = info.GetTrack(1)->GetContentChecksum();
        CString disc = info.GetContentChecksum();
        info.GetTrack(1)->*c.field = "x";
        EXPECT_EQ(info.GetTrack(1)->GetContentChecksum() != track, c.covered);
        EXPECT_EQ(info.GetContentChecksum() != disc, c.covered);
    }
    CCDInfo info;
    AddTracks(info, {0, 1000}, 500);
    CString disc = info.GetContentChecksum();
    info.GetTrack(0)->SetDurationMs(1234);
    info.GetTrack(0)->SetStartSector(7);
    EXPECT_EQ(info.GetContentChecksum(), disc) << "duration and CD fields are not covered";
}

TEST(ContentChecksum, DiscCoversAlbumFieldsAndTheTrackList)
{
    using Setter = void (CCDInfo::*)(LPCTSTR);
    const struct {
        const char* name;
        Setter set;
    } albumFields[] = {
        {"artist", &CCDInfo::SetArtist},         {"title", &CCDInfo::SetTitle},
        {"year", &CCDInfo::SetYearText},         {"extended", &CCDInfo::SetExtendedData},
        {"genre", &CCDInfo::SetGenre},           {"band", &CCDInfo::SetBand},
        {"conductor", &CCDInfo::SetConductor},   {"remix", &CCDInfo::SetRemix},
        {"composer", &CCDInfo::SetComposer},     {"lyricist", &CCDInfo::SetLyricist},
        {"copyright", &CCDInfo::SetCopyright},   {"publisher", &CCDInfo::SetPublisher},
        {"partofaset", &CCDInfo::SetPartOfASet}, {"contentgroup", &CCDInfo::SetContentGroup},
    };
    for (const auto& f : albumFields) {
        SCOPED_TRACE(f.name);
        CCDInfo info;
        AddTracks(info, {0}, 500);
        info.UpdateChecksum(true);
        EXPECT_TRUE(info.MatchesStoredChecksum());
        (info.*f.set)("z");
        EXPECT_FALSE(info.MatchesStoredChecksum());
    }

    CCDInfo info;
    AddTracks(info, {0, 1000, 2000}, 500);
    info.GetTrack(0)->m_strTrackTitle = "first";
    info.GetTrack(2)->m_strTrackTitle = "third";
    info.SetTitle("ab");
    info.UpdateChecksum(true);
    const CString stored = info.GetChecksum();
    EXPECT_EQ(stored.GetLength(), 8);

    info.SetRevision(9);
    info.GetLengthText();
    info.MoveTrackUp(2);
    info.SetTitle("ba"); // the same bytes in another order
    EXPECT_TRUE(info.MatchesStoredChecksum());
    info.SetDiscId(5); // the CDDB id text is covered
    EXPECT_FALSE(info.MatchesStoredChecksum());
    info.UpdateChecksum(true);
    info.DeleteTrack(1);
    EXPECT_FALSE(info.MatchesStoredChecksum());
    info.UpdateChecksum(false);
    EXPECT_STREQ(info.GetChecksum(), "");
    EXPECT_FALSE(info.MatchesStoredChecksum());
}

} // namespace
