// The Vorbis comment field table and the conversion between comment text and tag text.
#include "audio/formats/vorbis_comment/vorbis_comment.h"
#include "audio/track/track_info.h"

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

TEST(VorbisComment, MapsNamesToTrackFields)
{
    using Getter = CString (*)(const CAudioTrackInfo&);
    struct Case {
        const char* entry;
        bool known;
        Getter field; // null: no field changes
        const char* value;
    };
    const Case cases[] = {
        {"title=Song", true, [](const CAudioTrackInfo& t) { return t.GetTrackTitle(); }, "Song"},
        {" GENRE = Rock ", true, [](const CAudioTrackInfo& t) { return t.GetContentType(); },
         "Rock"},
        {"Version=Club Mix", true, [](const CAudioTrackInfo& t) { return t.GetRemix(); },
         "Club Mix"},
        {"TRACKNUMBER=3", true, [](const CAudioTrackInfo& t) { return t.GetTrackPosition(); }, "3"},
        {"COMMENT=note", true, [](const CAudioTrackInfo& t) { return t.GetComment(); }, "note"},
        {"DESCRIPTION=sub", true, [](const CAudioTrackInfo& t) { return t.GetTrackExt(); }, "sub"},
        {"ORGANIZATION=Label", true, [](const CAudioTrackInfo& t) { return t.GetPublisher(); },
         "Label"},
        {"CONTACT=me", true, [](const CAudioTrackInfo& t) { return t.GetEncodedBy(); }, "me"},
        {"isrc=X1", true, [](const CAudioTrackInfo& t) { return t.GetISRC(); }, "X1"},
        {"AlbumArtist=VA", true, [](const CAudioTrackInfo& t) { return t.GetAlbumArtist(); }, "VA"},
        {"ARTIST=a=b", true, [](const CAudioTrackInfo& t) { return t.GetArtist(); }, "a=b"},
        {"ALBUM", true, [](const CAudioTrackInfo& t) { return t.GetAlbumTitle(); }, "old album"},
        {"ALBUM=", true, [](const CAudioTrackInfo& t) { return t.GetAlbumTitle(); }, "old album"},
        {"DATE=1999", true, [](const CAudioTrackInfo& t) { return t.GetYear(); }, "1999"},
        {"date=2003-04-05", true, [](const CAudioTrackInfo& t) { return t.GetYear(); }, "2003"},
        {"DATE=spring 99", true, [](const CAudioTrackInfo& t) { return t.GetYear(); },
         "spring 99"},
        {"YEAR=1999", true, [](const CAudioTrackInfo& t) { return t.GetYear(); }, "1999"},
        {"PERFORMER=x", true, nullptr, nullptr},
        {"TRACK=1", false, nullptr, nullptr},
        {"=Song", false, nullptr, nullptr},
        {"", false, nullptr, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.entry);
        CAudioTrackInfo track;
        track.SetAlbumTitle("old album");
        CAudioTrackInfo untouched = track;
        EXPECT_EQ(AssignVorbisComment(c.entry, track), c.known);
        if (c.field) {
            EXPECT_STREQ(c.field(track), c.value);
        } else {
            EXPECT_STREQ(track.GetAlbumTitle(), untouched.GetAlbumTitle());
            EXPECT_STREQ(track.GetYear(), "");
            EXPECT_STREQ(track.GetTrackTitle(), "");
        }
    }
}

// Our own writers put every field, the empty ones too, and other tools may repeat a field.
TEST(VorbisComment, ALaterEntryReplacesAnEarlierOneUnlessItIsEmpty)
{
    CAudioTrackInfo track;
    for (const char* entry : {"COMMENT=first", "DESCRIPTION=second", "DESCRIPTION=",
                              "DATE=1999", "YEAR=", "TITLE=a", "TITLE=b"})
        AssignVorbisComment(entry, track);
    EXPECT_STREQ(track.GetComment(), "first");
    EXPECT_STREQ(track.GetTrackExt(), "second");
    EXPECT_STREQ(track.GetYear(), "1999");
    EXPECT_STREQ(track.GetTrackTitle(), "b");
}

// Tag texts are Windows-1252 here (the test prefix's ANSI code page, and the native build's
// stand-in for it).
TEST(VorbisComment, ConvertsBetweenCodePageAndUtf8)
{
#ifdef _WIN32
    if (GetACP() != 1252)
        GTEST_SKIP() << "ANSI code page is " << GetACP();
#endif
    struct Case {
        const char* tagText;
        const char* utf8;
    };
    const Case both[] = {
        {"plain", "plain"},
        {"Caf\xe9", "Caf\xc3\xa9"},
        {"\x80 5", "\xe2\x82\xac 5"},
        {"\x93quoted\x94", "\xe2\x80\x9cquoted\xe2\x80\x9d"},
        {"", ""},
    };
    for (const Case& c : both) {
        SCOPED_TRACE(c.tagText);
        EXPECT_STREQ(VorbisCommentFromTagText(c.tagText), c.utf8);
        EXPECT_STREQ(TagTextFromVorbisComment(c.utf8, std::strlen(c.utf8)), c.tagText);
    }
    const Case fromFile[] = {
        {"Caf\xe9", "Caf\xe9"},           // written in the code page by older versions
        {"\xc0\xaf", "\xc0\xaf"},         // overlong form: not UTF-8, kept
        {"\xed\xa0\x80", "\xed\xa0\x80"}, // a surrogate: not UTF-8, kept
        {"\xe4\xb8\xad", "?"},            // valid, but not in the code page
        {"\xf0\x9f\x8e\xb5!", "?!"},      // beyond the basic plane
        {"\xc3", "\xc3"},                 // cut in a sequence
    };
    for (const Case& c : fromFile) {
        SCOPED_TRACE(c.tagText);
        EXPECT_STREQ(TagTextFromVorbisComment(c.tagText, std::strlen(c.tagText)), c.utf8);
    }
}
