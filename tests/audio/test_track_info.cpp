// CAudioTrackInfo / CAudioTrackPictureInfo: accessors, deep copies, pictures, genres, durations.
#include "audio/track/track_info.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace
{

struct Accessor {
    const char* name;
    void (CAudioTrackInfo::*set)(const CString&);
    CString (CAudioTrackInfo::*get)() const;
};

// clang-format off
#define ACCESSOR(n) {#n, &CAudioTrackInfo::Set##n, &CAudioTrackInfo::Get##n}
const Accessor kAccessors[] = {
    ACCESSOR(ContentGroup), ACCESSOR(TrackTitle), ACCESSOR(TrackExt), ACCESSOR(AlbumTitle),
    ACCESSOR(Year), ACCESSOR(ContentType), ACCESSOR(Artist), ACCESSOR(AlbumArtist), ACCESSOR(Band),
    ACCESSOR(Conductor), ACCESSOR(Remix), ACCESSOR(TrackPosition), ACCESSOR(CommentDigest),
    ACCESSOR(Comment), ACCESSOR(Composer), ACCESSOR(Lyricist), ACCESSOR(Copyright),
    ACCESSOR(EncodedBy), ACCESSOR(InvolvedPeople), ACCESSOR(Publisher), ACCESSOR(MediaType),
    ACCESSOR(Mood), ACCESSOR(CDId), ACCESSOR(ISRC), ACCESSOR(SyncLyric), ACCESSOR(UnsyncLyric),
    ACCESSOR(OriginalAlbumTitle), ACCESSOR(OriginalLyricist), ACCESSOR(OriginalArtist),
    ACCESSOR(PartOfASet),
};
// clang-format on
#undef ACCESSOR

const BYTE kJpeg[] = {0xFF, 0xD8, 0xFF, 0xE0, 0x00};

// Every text field set to its own distinct value.
void FillTexts(CAudioTrackInfo& t)
{
    for (const Accessor& a : kAccessors)
        (t.*a.set)(CString("value of ") + a.name);
}

} // namespace

TEST(TrackInfo, FreshRecord)
{
    CAudioTrackInfo t;
    EXPECT_EQ(t.GetFileType(), -1);
    EXPECT_EQ(t.GetDurationMs(), 0);
    EXPECT_FALSE(t.IsProtected());
    for (const Accessor& a : kAccessors) {
        SCOPED_TRACE(a.name);
        EXPECT_EQ((t.*a.get)(), "");
    }
    for (int i = 0; i < CAudioTrackInfo::MAX_PICTURES; ++i)
        EXPECT_EQ(t.GetPicture(i), nullptr);
    EXPECT_EQ(t.GetGenreIndex(), 255);
    EXPECT_EQ(t.GetDurationText(), "0:0");
}

TEST(TrackInfo, EachAccessorPairOwnsItsField)
{
    CAudioTrackInfo t;
    FillTexts(t);
    for (const Accessor& a : kAccessors) {
        SCOPED_TRACE(a.name);
        EXPECT_EQ((t.*a.get)(), CString("value of ") + a.name);
    }
    // The album artist falls back to the artist, and an empty setter keeps it falling back.
    t.SetAlbumArtist("");
    EXPECT_EQ(t.m_strAlbumArtist, "");
    EXPECT_EQ(t.GetAlbumArtist(), "value of Artist");
    t.SetArtist("");
    EXPECT_EQ(t.GetAlbumArtist(), "");

    t.Clear();
    for (const Accessor& a : kAccessors) {
        SCOPED_TRACE(a.name);
        EXPECT_EQ((t.*a.get)(), "");
    }
}

TEST(TrackInfo, CopiesAreDeepAndCompactPictures)
{
    CAudioTrackInfo src;
    FillTexts(src);
    src.SetFileType(4);
    src.SetProtected(TRUE);
    src.SetDurationMs(185000);
    for (int i = 0; i < 18; ++i)
        ASSERT_EQ(src.AddPicture(i, "image/png", "filler", kJpeg, 1), i);
    for (int i = 0; i < 18; ++i) {
        if (i != 3 && i != 17)
            src.RemovePicture(i);
    }
    src.GetPicture(3)->Set(3, "image/jpeg", "front", kJpeg, sizeof kJpeg);

    CAudioTrackInfo assigned;
    assigned.SetComment("old comment");
    assigned.AddPicture(0, "image/gif", "old", kJpeg, 2);
    assigned.AddPicture(0, "image/gif", "old", kJpeg, 2);
    assigned.AddPicture(0, "image/gif", "old", kJpeg, 2);

    CAudioTrackInfo constructed(src);
    assigned = src;
    for (const CAudioTrackInfo* copy : {&constructed, &assigned}) {
        for (const Accessor& a : kAccessors) {
            SCOPED_TRACE(a.name);
            EXPECT_EQ((copy->*a.get)(), (src.*a.get)());
        }
        EXPECT_EQ(copy->GetFileType(), 4);
        EXPECT_TRUE(copy->IsProtected());
        EXPECT_EQ(copy->GetDurationMs(), 185000);
        ASSERT_NE(copy->GetPicture(0), nullptr);
        ASSERT_NE(copy->GetPicture(1), nullptr);
        EXPECT_EQ(copy->GetPicture(2), nullptr) << "assignment clears the old pictures";
        const CAudioTrackPictureInfo* front = copy->GetPicture(0);
        EXPECT_EQ(front->m_nPictureType, 3);
        EXPECT_EQ(front->m_strMimeType, "image/jpeg");
        EXPECT_EQ(front->m_strDescription, "front");
        ASSERT_EQ(front->m_nDataLength, static_cast<int>(sizeof kJpeg));
        EXPECT_NE(front->m_pData.get(), src.GetPicture(3)->m_pData.get());
        EXPECT_EQ(std::vector<BYTE>(front->m_pData.get(), front->m_pData.get() + 5),
                  std::vector<BYTE>(kJpeg, kJpeg + 5));
        EXPECT_EQ(copy->GetPicture(1)->m_nPictureType, 17);
    }

    // The copy survives the source going away.
    auto temp = std::make_unique<CAudioTrackInfo>(src);
    CAudioTrackInfo survivor;
    survivor = *temp;
    temp.reset();
    EXPECT_EQ(survivor.GetPicture(0)->m_pData[0], 0xFF);

    CAudioTrackInfo& self = survivor;
    survivor = self;
    EXPECT_NE(survivor.GetPicture(0), nullptr) << "self-assignment keeps the record";
}

TEST(TrackInfo, PictureSlots)
{
    CAudioTrackInfo t;
    EXPECT_EQ(t.AddPicture(3, "image/jpeg", "", nullptr, 10), -2);
    EXPECT_EQ(t.AddPicture(3, "image/jpeg", "", kJpeg, -1), -2);
    EXPECT_EQ(t.GetPicture(0), nullptr);

    BYTE buffer[] = {1, 2, 3};
    for (int i = 0; i < 32; ++i)
        ASSERT_EQ(t.AddPicture(i, "image/png", "p", buffer, sizeof buffer), i);
    EXPECT_EQ(t.AddPicture(0, "image/png", "p", buffer, sizeof buffer), -1);
    EXPECT_EQ(t.AddPicture(0, "image/png", "p", nullptr, 0), -2) << "null wins over full";

    buffer[0] = 99;
    EXPECT_EQ(t.GetPicture(0)->m_pData[0], 1) << "the record keeps its own copy";

    t.RemovePicture(5);
    t.RemovePicture(-1);
    t.RemovePicture(32);
    EXPECT_EQ(t.GetPicture(5), nullptr);
    EXPECT_EQ(t.GetPicture(-1), nullptr);
    EXPECT_EQ(t.GetPicture(32), nullptr);
    EXPECT_EQ(t.AddPicture(7, "image/png", "again", buffer, 0), 5);
    EXPECT_EQ(t.GetPicture(5)->m_nDataLength, 0);
    EXPECT_EQ(t.GetPicture(5)->m_pData, nullptr);

    t.RemoveAllPictures();
    for (int i = 0; i < 32; ++i)
        EXPECT_EQ(t.GetPicture(i), nullptr);
}

TEST(TrackInfo, PictureCopyAndSet)
{
    CAudioTrackPictureInfo p;
    p.Set(3, "image/jpeg", "cover", kJpeg, sizeof kJpeg);
    p.Set(4, "image/png", "ignored", nullptr, 3);
    EXPECT_EQ(p.m_nPictureType, 3) << "null bytes change nothing";
    p.Set(4, "image/png", "ignored", kJpeg, -3);
    EXPECT_EQ(p.m_strMimeType, "image/jpeg") << "a negative length changes nothing";

    CAudioTrackPictureInfo copy(p);
    EXPECT_EQ(copy.m_strDescription, "cover");
    ASSERT_EQ(copy.m_nDataLength, 5);
    EXPECT_NE(copy.m_pData.get(), p.m_pData.get());

    // A buffer with length 0 is not copied.
    p.m_nDataLength = 0;
    CAudioTrackPictureInfo noBytes(p);
    EXPECT_EQ(noBytes.m_pData, nullptr);
    EXPECT_EQ(noBytes.m_nDataLength, 0);
    EXPECT_EQ(noBytes.m_nPictureType, 3);

    copy.Clear();
    EXPECT_EQ(copy.m_pData, nullptr);
    EXPECT_EQ(copy.m_nPictureType, 0);
    EXPECT_EQ(copy.m_strMimeType, "");
}

TEST(TrackInfo, GenreList)
{
    struct Case {
        const char* text;
        int index;
    };
    const Case cases[] = {
        {"rock", 17}, {"Rock & Roll", 78}, {"Alternative Rock", 255},
        {"", 255},    {"SYNTHPOP", 147},   {"alt. rock", 40},
        {"Blues", 0}, {"Rock ", 255},      {"christian gangsta rap", 136},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        CAudioTrackInfo t;
        t.SetContentType(c.text);
        EXPECT_EQ(t.GetGenreIndex(), c.index);
    }

    CAudioTrackInfo t;
    t.SetContentType("mine");
    EXPECT_EQ(t.SetGenreByIndex(148), 0);
    EXPECT_EQ(t.SetGenreByIndex(-1), 0);
    EXPECT_EQ(t.GetContentType(), "mine");
    EXPECT_EQ(t.SetGenreByIndex(40), 1);
    EXPECT_EQ(t.GetContentType(), "Alt. Rock");

    // Every name is found at its own index: no name hides behind an earlier one.
    EXPECT_EQ(CAudioTrackInfo::GetGenreCount(), 148);
    for (int i = 0; i < CAudioTrackInfo::GetGenreCount(); ++i) {
        ASSERT_EQ(t.SetGenreByIndex(i), 1);
        EXPECT_EQ(t.GetGenreIndex(), i) << t.GetContentType().GetString();
        EXPECT_EQ(CAudioTrackInfo::GetGenreName(static_cast<BYTE>(i)), t.GetContentType());
    }
    EXPECT_EQ(CAudioTrackInfo::GetGenreName(148), "Unknown");
    EXPECT_EQ(CAudioTrackInfo::GetGenreName(255), "Unknown");
}

TEST(TrackInfo, Durations)
{
    struct Case {
        long frames;
        int ms;
        const char* text;
    };
    const Case fromFrames[] = {
        {1, 13, "0:0"},
        {4500, 60000, "1:0"},
        {13875, 185000, "3:5"},
        {0, 0, "0:0"},
    };
    for (const Case& c : fromFrames) {
        SCOPED_TRACE(c.frames);
        CAudioTrackInfo t;
        t.SetDurationFromFrames(c.frames);
        EXPECT_EQ(t.GetDurationMs(), c.ms);
        EXPECT_EQ(t.GetDurationText(), c.text);
        EXPECT_EQ(t.GetDurationMsText(), CString(std::to_string(c.ms).c_str()));
    }
    CAudioTrackInfo t;
    t.SetDurationMs(59999);
    EXPECT_EQ(t.GetDurationText(), "0:59");
    t.SetDurationMs(3600000 + 61000);
    EXPECT_EQ(t.GetDurationText(), "61:1");
}

TEST(TrackInfo, DumpListsTheSetFieldsInMemberOrder)
{
    CAudioTrackInfo t;
    t.SetContentGroup("Group");
    t.SetPartOfASet("1/2");
    t.SetTrackTitle("Title");
    t.SetRemix("Remixer");
    t.SetTrackPosition("7");
    t.SetDurationMs(1234);
    t.SetProtected(TRUE);
    t.AddPicture(3, "image/png", "first", kJpeg, 1);
    t.AddPicture(3, "image/jpeg", "second", kJpeg, 1);
    t.RemovePicture(0);

    std::string dump = t.Dump().GetString();
    const std::string head = "[CAudioTrackInfo ";
    ASSERT_EQ(dump.compare(0, head.size(), head), 0) << dump;
    std::string body = dump.substr(dump.find(": \r\n") + 4);
    EXPECT_EQ(body, "m_strTrackTitle: Title\r\n"
                    "m_strRemix: Remixer\r\n"
                    "m_strTrackLength: 1234\r\n"
                    "m_strTrackPosition: 7\r\n"
                    "m_strPartOfASet: 1/2\r\n"
                    "m_strContentGroup: Group\r\n"
                    "IsProtected: 1\r\n"
                    "Image 1 defined: image/jpeg second\r\n"
                    "]\r\n");
}
