// The ID3 tag reader: round trips with the writer, other programs' tags, bad tags, detection.
#include "id3_fixture.h"

#include "audio/formats/mp3/id3_reader.h"

using namespace id3test;

namespace {

bool ReadFileTags(const Bytes& content, CAudioTrackInfo& track, const char* name = "r.mp3")
{
    std::string path = TempPath(name);
    WriteFile(path, content);
    CAudioMP3InfoTagReader reader;
    EXPECT_TRUE(reader.Open(path.c_str()));
    bool found = reader.ReadTags(track);
    std::remove(path.c_str());
    return found;
}

bool IsMp3(const Bytes& content)
{
    std::string path = TempPath("detect.bin");
    WriteFile(path, content);
    CAudioMP3InfoTagReader reader;
    EXPECT_TRUE(reader.Open(path.c_str()));
    bool result = reader.IsThisFormat();
    reader.Close();
    std::remove(path.c_str());
    return result;
}

Bytes Utf16Le(const std::u16string& s)
{
    Bytes b;
    for (char16_t u : s) {
        b.push_back(BYTE(u));
        b.push_back(BYTE(u >> 8));
    }
    return b;
}

} // namespace

TEST(Id3Reader, ReadsBackEverythingTheWriterWrites)
{
    CAudioTrackInfo track;
    CString CAudioTrackInfo::*fields[] = {
        &CAudioTrackInfo::m_strContentGroup,  &CAudioTrackInfo::m_strTrackTitle,
        &CAudioTrackInfo::m_strTrackExt,      &CAudioTrackInfo::m_strAlbumTitle,
        &CAudioTrackInfo::m_strYear,          &CAudioTrackInfo::m_strContentType,
        &CAudioTrackInfo::m_strArtist,        &CAudioTrackInfo::m_strBand,
        &CAudioTrackInfo::m_strConductor,     &CAudioTrackInfo::m_strRemix,
        &CAudioTrackInfo::m_strTrackPosition, &CAudioTrackInfo::m_strCommentDigest,
        &CAudioTrackInfo::m_strComment,       &CAudioTrackInfo::m_strComposer,
        &CAudioTrackInfo::m_strLyricist,      &CAudioTrackInfo::m_strCopyright,
        &CAudioTrackInfo::m_strEncodedBy,     &CAudioTrackInfo::m_strInvolvedPeople,
        &CAudioTrackInfo::m_strPublisher,     &CAudioTrackInfo::m_strMediaType,
        &CAudioTrackInfo::m_strMood,          &CAudioTrackInfo::m_strCDId,
        &CAudioTrackInfo::m_strISRC,          &CAudioTrackInfo::m_strSyncLyric,
        &CAudioTrackInfo::m_strUnsyncLyric,   &CAudioTrackInfo::m_strOriginalAlbumTitle,
        &CAudioTrackInfo::m_strOriginalLyricist, &CAudioTrackInfo::m_strOriginalArtist,
        &CAudioTrackInfo::m_strPartOfASet,
    };
    int i = 0;
    for (auto field : fields)
        track.*field = CString("value ") + CString(static_cast<char>('A' + i++), 1) + " \xE9\xFC";
    track.SetDurationMs(123456);
    BYTE jpeg[] = {0xFF, 0xD8, 0xFF, 0x00, 0x10};
    track.AddPicture(3, "image/jpeg", std::string(80, 'p').c_str(), jpeg, sizeof jpeg);
    track.AddPicture(4, "image/png", "back", jpeg + 1, 2);

    CAudioMP3InfoTagWriter writer(&track);
    Bytes file = Bytes(writer.BuildID3v2(1024)) + FrameHeader() + Bytes(400, 0);
    CAudioTrackInfo back;
    ASSERT_TRUE(ReadFileTags(file, back));
    for (auto field : fields) {
        SCOPED_TRACE((track.*field).GetString());
        EXPECT_STREQ(back.*field, track.*field);
    }
    EXPECT_STREQ(back.m_strAlbumArtist, "") << "the artist was read first: TPE2 is only the band";
    EXPECT_EQ(back.GetDurationMs(), 123456);
    ASSERT_NE(back.GetPicture(0), nullptr);
    ASSERT_NE(back.GetPicture(1), nullptr);
    EXPECT_STREQ(back.GetPicture(0)->m_strDescription, std::string(64, 'p').c_str());
    EXPECT_EQ(back.GetPicture(0)->m_nDataLength, 5);
    EXPECT_EQ(std::memcmp(back.GetPicture(0)->m_pData.get(), jpeg, 5), 0);
    EXPECT_STREQ(back.GetPicture(1)->m_strMimeType, "image/png");
    EXPECT_EQ(back.GetPicture(1)->m_nPictureType, 4);
}

TEST(Id3Reader, Id3v1Point0CommentsAreReadWhole)
{
    // No track byte: the 30-byte comment runs into bytes 125 and 126.
    Bytes v1 = Text("TAG") + Bytes(90, ' ') + Text("2001") + Text(std::string(30, 'c')) +
               Bytes{12};
    CAudioTrackInfo track;
    ASSERT_TRUE(ReadFileTags(FrameHeader() + Bytes(100, 0) + v1, track));
    EXPECT_STREQ(track.GetComment(), std::string(30, 'c').c_str());
    EXPECT_STREQ(track.GetTrackPosition(), "");
    EXPECT_STREQ(track.GetYear(), "2001");
}

TEST(Id3Reader, Id3v2ValuesReplaceId3v1Values)
{
    Bytes v1 = Text("TAG") + Text("  Song  ") + Bytes(22, 0) + Text("Artist") + Bytes(24, ' ') +
               Bytes(30, 0) + Text("1999") + Bytes(30, 0) + Bytes{255};
    ASSERT_EQ(v1.size(), 128u);
    CAudioTrackInfo only1;
    only1.SetContentType("Keep");
    ASSERT_TRUE(ReadFileTags(FrameHeader() + Bytes(100, 0) + v1, only1));
    EXPECT_STREQ(only1.GetTrackTitle(), "Song");
    EXPECT_STREQ(only1.GetArtist(), "Artist");
    EXPECT_STREQ(only1.GetYear(), "1999");
    EXPECT_STREQ(only1.GetTrackPosition(), "") << "track byte 0: no position";
    EXPECT_STREQ(only1.GetContentType(), "Keep") << "genre 255 leaves the text";

    Bytes v2 = Tag(3, Frame(3, "TIT2", Bytes{0} + Text("From v2")));
    CAudioTrackInfo both;
    ASSERT_TRUE(ReadFileTags(v2 + FrameHeader() + Bytes(100, 0) + v1, both));
    EXPECT_STREQ(both.GetTrackTitle(), "From v2");
    EXPECT_STREQ(both.GetArtist(), "Artist");
}

TEST(Id3Reader, ReadsTagsOfOtherVersionsAndEncodings)
{
    Bytes longComment = Bytes{0} + Text("eng") + Text("d") + Bytes{0} + Text(std::string(294, 'c'));
    ASSERT_EQ(longComment.size(), 300u);
    Bytes picDescription = Bytes{0xFF, 0xFE} + Utf16Le(u"Front") + Bytes{0, 0};
    struct Case {
        const char* name;
        Bytes tag;
        CString CAudioTrackInfo::*field;
        CString expected;
    } cases[] = {
        {"v4 sync-safe COMM of 300 bytes", Tag(4, Frame(4, "COMM", longComment)),
         &CAudioTrackInfo::m_strComment, CString(std::string(294, 'c').c_str())},
        {"v3 plain-size COMM of 300 bytes", Tag(3, Frame(3, "COMM", longComment)),
         &CAudioTrackInfo::m_strComment, CString(std::string(294, 'c').c_str())},
        {"v2.2 title", Tag(2, Frame(2, "TT2", Bytes{0} + Text("Old"))),
         &CAudioTrackInfo::m_strTrackTitle, "Old"},
        {"big-endian UTF-16", Tag(3, Frame(3, "TALB", Bytes{1, 0xFE, 0xFF, 0, 'A', 0, 0xE9, 0, 0})),
         &CAudioTrackInfo::m_strAlbumTitle, "A\xE9"},
        {"TXXX with encoding 0", Tag(3, Frame(3, "TXXX", Bytes{0, 'X', 0, 'Y'})),
         &CAudioTrackInfo::m_strComment, "Y"},
        {"unknown frames are skipped",
         Tag(3, Frame(3, "ZZZZ", Bytes{0, 'q'}) + Frame(3, "TPE1", Bytes{0, 'P'})),
         &CAudioTrackInfo::m_strArtist, "P"},
        {"frame past the tag end stops the walk",
         Tag(3, Frame(3, "TPE1", Bytes{0, 'P'}) + Bytes{'T', 'A', 'L', 'B', 0x7F, 0, 0, 0, 0, 0, 0, 'x'}),
         &CAudioTrackInfo::m_strArtist, "P"},
        {"text without terminator or BOM", Tag(3, Frame(3, "TCOM", Bytes{1, 'Z', 0, 'z'})),
         &CAudioTrackInfo::m_strComposer, "Z"},
        // Version 2.4 as other taggers write it by default: UTF-8 (encoding 3), TDRC.
        {"v4 UTF-8 title", Tag(4, Frame(4, "TIT2", Bytes{3} + Text("Caf\xc3\xa9") + Bytes{0})),
         &CAudioTrackInfo::m_strTrackTitle, "Caf\xe9"},
        {"v4 UTF-8 comment",
         Tag(4, Frame(4, "COMM", Bytes{3} + Text("eng") + Bytes{0} + Text("Tr\xc3\xa8s bien"))),
         &CAudioTrackInfo::m_strComment, "Tr\xe8s bien"},
        {"UTF-16 big-endian without BOM (encoding 2)",
         Tag(4, Frame(4, "TPE1", Bytes{2, 0, 'B', 0, 0xE9, 0, 0})), &CAudioTrackInfo::m_strArtist,
         "B\xe9"},
        {"ISO-8859-1 (encoding 0)", Tag(3, Frame(3, "TALB", Bytes{0, 'C', 'a', 'f', 0xE9})),
         &CAudioTrackInfo::m_strAlbumTitle, "Caf\xe9"},
        {"v4 TDRC gives the year",
         Tag(4, Frame(4, "TDRC", Bytes{3} + Text("2004-05-06T10:00"))), &CAudioTrackInfo::m_strYear,
         "2004"},
        {"TYER wins over TDRC",
         Tag(3, Frame(3, "TYER", Bytes{0} + Text("1999")) + Frame(3, "TDRC", Bytes{0} + Text("2004"))),
         &CAudioTrackInfo::m_strYear, "1999"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CAudioTrackInfo track;
        ASSERT_TRUE(ReadFileTags(c.tag + FrameHeader(), track));
        EXPECT_STREQ(track.*c.field, c.expected);
    }

    // A UTF-16 description with a byte-order mark: the picture starts right after its zero unit.
    Bytes apic = Bytes{1} + Text("image/jpeg") + Bytes{0, 3} + picDescription + Bytes{9, 8, 7};
    CAudioTrackInfo withPicture;
    ASSERT_TRUE(ReadFileTags(Tag(3, Frame(3, "APIC", apic)), withPicture));
    ASSERT_NE(withPicture.GetPicture(0), nullptr);
    EXPECT_STREQ(withPicture.GetPicture(0)->m_strDescription, "Front");
    EXPECT_EQ(withPicture.GetPicture(0)->m_nDataLength, 3);
    EXPECT_EQ(withPicture.GetPicture(0)->m_pData[0], 9);

    CAudioTrackInfo v4Picture;
    ASSERT_TRUE(ReadFileTags(Tag(4, Frame(4, "APIC", apic)), v4Picture));
    EXPECT_EQ(v4Picture.GetPicture(0), nullptr) << "APIC of version 4 tags is skipped";

    CAudioTrackInfo pic;
    ASSERT_TRUE(ReadFileTags(Tag(2, Frame(2, "PIC", Bytes{0} + Text("png") + Bytes{3, 'd', 0, 1})),
                             pic));
    ASSERT_NE(pic.GetPicture(0), nullptr);
    EXPECT_STREQ(pic.GetPicture(0)->m_strMimeType, "image/png");
}

TEST(Id3Reader, LyingTagSizesNeverReadPastTheFile)
{
    struct Case {
        const char* name;
        Bytes content;
    } cases[] = {
        {"tag larger than the file", Bytes{'I', 'D', '3', 3, 0, 0, 0x7F, 0x7F, 0x7F, 0x7F} +
                                         Frame(3, "TIT2", Bytes{0, 'a'})},
        {"only a header", Bytes{'I', 'D', '3', 3, 0, 0, 0, 0, 0, 5}},
        {"zero-size frames", Tag(3, Frame(3, "TIT2", {}) + Frame(3, "COMM", {}) +
                                        Frame(3, "APIC", {}) + Bytes(20, 0))},
        {"unknown version", Tag(9, Frame(3, "TIT2", Bytes{0, 'a'}))},
        // Flags are not interpreted: an extended header or a compressed, encrypted or
        // unsynchronised frame is read as it stands, never past its size.
        {"extended header and flags", Bytes{'I', 'D', '3', 3, 0, 0xE0, 0, 0, 0, 30, 0, 0, 0, 6,
                                            0, 0, 0, 0, 0, 0, 'T', 'I', 'T', '2', 0, 0, 0, 4,
                                            0x80, 0xC0, 0xFF, 0xFF, 0xFF, 0}},
        {"empty file", {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CAudioTrackInfo track;
        ReadFileTags(c.content, track);
    }
    CAudioTrackInfo track;
    CAudioMP3InfoTagReader closed;
    EXPECT_FALSE(closed.ReadTags(track));
    CString text;
    EXPECT_EQ(closed.GetError(text), 1);
    EXPECT_STREQ(text, "MP3 Info Tag Reader not correctly initialized");
}

// A header padded with zeros to the frame's length, `count` times.
Bytes Frames(const Bytes& header, size_t length, int count)
{
    Bytes frame = header + Bytes(length - header.size(), 0);
    Bytes out;
    for (int i = 0; i < count; ++i)
        out = out + frame;
    return out;
}

TEST(Id3Reader, RecognisesMp3FilesByARunOfFramesAtTheStart)
{
    const Bytes tagEndingInSync = Tag(3, Frame(3, "TIT2", Bytes{0, 'a', 0xFF, 0xE0}));
    const Bytes mpeg1 = Frames(FrameHeader(), 417, 3); // layer III, 128 kbps, 44100 Hz
    const Bytes v1Tag = Text("TAG") + Bytes(125, ' ');
    struct Case {
        const char* name;
        Bytes content;
        bool mp3;
    } cases[] = {
        {"three frames", mpeg1, true},
        {"after a tag whose last bytes look like a sync", tagEndingInSync + mpeg1, true},
        {"after a tag and zero padding", tagEndingInSync + Bytes(300, 0) + mpeg1, true},
        {"MPEG 2 mono 24000", Frames({0xFF, 0xF3, 0x44, 0xC0}, 96, 3), true},
        {"one frame, then the file ends", FrameHeader() + Bytes(100, 0), true},
        {"two frames, then the ID3v1 tag", Frames(FrameHeader(), 417, 2) + v1Tag, true},
        {"reserved version", Bytes{0xFF, 0xEB, 0x90, 0x44} + Bytes(100, 0), false},
        {"reserved layer", Bytes{0xFF, 0xF9, 0x90, 0x44} + Bytes(100, 0), false},
        {"free bitrate", Bytes{0xFF, 0xFB, 0x00, 0x44} + Bytes(100, 0), false},
        {"bad bitrate index", Bytes{0xFF, 0xFB, 0xF0, 0x44} + Bytes(100, 0), false},
        {"reserved rate", Bytes{0xFF, 0xFB, 0x9C, 0x44} + Bytes(100, 0), false},
        {"a frame header, then no second one", FrameHeader() + Bytes(500, 0x11), false},
        {"the rate changes", Frames(FrameHeader(), 417, 1) + Frames({0xFF, 0xFB, 0x94, 0x44}, 384, 2),
         false},
        {"frames after other bytes", Bytes(8, 0x11) + mpeg1, false},
        {"a header inside a WAV file", Text("RIFF....WAVEfmt ") + Bytes(40, 0x11) + mpeg1, false},
        {"tiny", Bytes{0xFF}, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(IsMp3(c.content), c.mp3);
    }
}
