// The ID3 tag writer: tag layout, and rewriting or removing the tags of existing files.
#include "id3_fixture.h"

#include "audio/formats/mp3/id3_reader.h"

using namespace id3test;

namespace {

// The ids of the frames in a built tag, in order.
std::vector<std::string> FrameIds(const Bytes& tag)
{
    std::vector<std::string> ids;
    size_t pos = 10;
    while (pos + 10 <= tag.size() && tag[pos] != 0) {
        ids.emplace_back(reinterpret_cast<const char*>(&tag[pos]), 4);
        size_t size = size_t(tag[pos + 4]) << 24 | size_t(tag[pos + 5]) << 16 |
                      size_t(tag[pos + 6]) << 8 | tag[pos + 7];
        pos += 10 + size;
    }
    return ids;
}

Bytes FrameBody(const Bytes& tag, const std::string& id)
{
    size_t pos = 10;
    while (pos + 10 <= tag.size() && tag[pos] != 0) {
        size_t size = size_t(tag[pos + 4]) << 24 | size_t(tag[pos + 5]) << 16 |
                      size_t(tag[pos + 6]) << 8 | tag[pos + 7];
        if (std::string(reinterpret_cast<const char*>(&tag[pos]), 4) == id)
            return Bytes(tag.begin() + pos + 10, tag.begin() + pos + 10 + size);
        pos += 10 + size;
    }
    return {};
}

} // namespace

TEST(Id3Writer, WritesOnlyTheFramesThatHaveContent)
{
    CAudioTrackInfo track;
    track.SetTrackTitle("Song");
    track.SetArtist("Artist");
    CAudioMP3InfoTagWriter writer(&track);
    Bytes tag = writer.BuildID3v2(1024);
    EXPECT_EQ(FrameIds(tag), (std::vector<std::string>{"TIT2", "TPE1", "TPE2"}));
    EXPECT_EQ(Bytes(tag.begin(), tag.begin() + 6), (Bytes{'I', 'D', '3', 3, 0, 0}));
    EXPECT_EQ(SyncSafeValue(&tag[6]), tag.size() - 10);
    EXPECT_EQ(FrameBody(tag, "TIT2"), (Bytes{1, 0xFF, 0xFE, 'S', 0, 'o', 0, 'n', 0, 'g', 0, 0, 0}));
    EXPECT_EQ(FrameBody(tag, "TPE2"), FrameBody(tag, "TPE1")) << "album artist falls back";
    EXPECT_EQ(Bytes(tag.end() - 1024, tag.end()), Bytes(1024, 0)) << "padding";
}

TEST(Id3Writer, BandWinsForTpe2AndEmptyCommentPartsAreBareTerminators)
{
    CAudioTrackInfo track;
    track.SetBand("B");
    track.SetAlbumArtist("A");
    track.SetComment("c");
    track.SetDurationMs(0);
    CAudioMP3InfoTagWriter writer(&track);
    Bytes tag = writer.BuildID3v2(0);
    EXPECT_EQ(FrameIds(tag), (std::vector<std::string>{"TPE2", "COMM"}));
    EXPECT_EQ(FrameBody(tag, "TPE2"), (Bytes{1, 0xFF, 0xFE, 'B', 0, 0, 0}));
    EXPECT_EQ(FrameBody(tag, "COMM"),
              (Bytes{1, 'X', 'X', 'X', 0xFF, 0xFE, 0, 0, 0xFF, 0xFE, 'c', 0, 0, 0}));
}

TEST(Id3Writer, PictureDescriptionsAreCutTo64Bytes)
{
    CAudioTrackInfo track;
    std::string description(100, 'd');
    BYTE image[] = {1, 2, 3};
    track.AddPicture(3, "image/png", description.c_str(), image, 3);
    CAudioMP3InfoTagWriter writer(&track);
    Bytes body = FrameBody(writer.BuildID3v2(0), "APIC");
    Bytes expected = Bytes{0} + Text("image/png") + Bytes{0, 3} + Text(std::string(64, 'd')) +
                     Bytes{0, 1, 2, 3};
    EXPECT_EQ(body, expected);
}

TEST(Id3Writer, BuildsTheId3v1Block)
{
    struct Case {
        const char* name;
        const char* title;
        const char* position;
        const char* genre;
        std::string expectTitle;
        BYTE track;
        BYTE genreByte;
    } cases[] = {
        {"short title padded with blanks", "abc", "7/12", "Rock", "abc" + std::string(27, ' '), 7,
         17},
        {"long title cut", "0123456789012345678901234567890", "", "", "012345678901234567890123456789",
         0, 255},
        {"unknown genre", "t", "300", "No Such Genre", "t" + std::string(29, ' '), 300 & 0xFF, 255},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CAudioTrackInfo track;
        track.SetTrackTitle(c.title);
        track.SetTrackPosition(c.position);
        track.SetContentType(c.genre);
        CAudioMP3InfoTagWriter writer(&track);
        Bytes block = writer.BuildID3v1();
        ASSERT_EQ(block.size(), 128u);
        EXPECT_EQ(std::string(block.begin(), block.begin() + 3), "TAG");
        EXPECT_EQ(std::string(block.begin() + 3, block.begin() + 33), c.expectTitle);
        EXPECT_EQ(std::string(block.begin() + 33, block.begin() + 63), std::string(30, ' '));
        EXPECT_EQ(block[125], 0);
        EXPECT_EQ(block[126], c.track);
        EXPECT_EQ(block[127], c.genreByte);
    }
}

TEST(Id3Writer, RewritesTagsOfExistingFiles)
{
    const Bytes audio = FrameHeader() + Bytes(5000, 0x55);
    CAudioTrackInfo track;
    track.SetTrackTitle("New");
    CAudioMP3InfoTagWriter writer(&track);
    const size_t newTag = writer.BuildID3v2(0).size();

    // No tag yet: the file grows by the tag and 1024 bytes of padding, audio moved whole.
    std::string path = TempPath("grow.mp3");
    WriteFile(path, audio);
    ASSERT_TRUE(writer.WriteID3v2(path.c_str()));
    Bytes grown = ReadFile(path);
    ASSERT_EQ(grown.size(), audio.size() + newTag + 1024);
    EXPECT_EQ(Bytes(grown.begin() + newTag + 1024, grown.end()), audio);

    // An old tag larger than the new one: same length, audio in place.
    Bytes bigOld = Tag(3, Frame(3, "TIT2", Bytes{0} + Text(std::string(3000, 'o'))));
    WriteFile(path, bigOld + audio);
    ASSERT_TRUE(writer.WriteID3v2(path.c_str()));
    Bytes kept = ReadFile(path);
    ASSERT_EQ(kept.size(), bigOld.size() + audio.size());
    EXPECT_EQ(Bytes(kept.begin() + bigOld.size(), kept.end()), audio);
    EXPECT_EQ(SyncSafeValue(&kept[6]) + 10, bigOld.size());

    // Reads back.
    CAudioMP3InfoTagReader reader;
    ASSERT_TRUE(reader.Open(path.c_str()));
    CAudioTrackInfo back;
    EXPECT_TRUE(reader.ReadTags(back));
    EXPECT_STREQ(back.GetTrackTitle(), "New");
    std::remove(path.c_str());
}

TEST(Id3Writer, RemovesTags)
{
    const Bytes audio = FrameHeader() + Bytes(300, 0x55);
    CAudioTrackInfo track;
    track.SetTrackTitle("T");
    CAudioMP3InfoTagWriter writer(&track);
    std::string path = TempPath("remove.mp3");

    WriteFile(path, audio);
    ASSERT_TRUE(writer.WriteID3v1(path.c_str()));
    ASSERT_TRUE(writer.WriteID3v1(path.c_str())) << "over the existing block";
    EXPECT_EQ(ReadFile(path).size(), audio.size() + 128);
    ASSERT_TRUE(writer.RemoveID3v1(path.c_str()));
    EXPECT_EQ(ReadFile(path), audio);
    ASSERT_TRUE(writer.RemoveID3v1(path.c_str()));
    EXPECT_EQ(ReadFile(path), audio) << "no TAG: unchanged";

    Bytes tagged = Tag(3, Frame(3, "TIT2", Bytes{0, 'x'})) + audio;
    WriteFile(path, tagged);
    ASSERT_TRUE(writer.RemoveID3v2(path.c_str()));
    Bytes removed = ReadFile(path);
    ASSERT_EQ(removed.size(), tagged.size());
    EXPECT_EQ(Bytes(removed.begin(), removed.begin() + (tagged.size() - audio.size())),
              Bytes(tagged.size() - audio.size(), 0));

    WriteFile(path, Bytes{'a', 'b'});
    ASSERT_TRUE(writer.WriteID3v1(path.c_str())) << "a short file gets the block appended";
    EXPECT_EQ(ReadFile(path).size(), 130u);

    CAudioMP3InfoTagWriter noSource(nullptr);
    EXPECT_FALSE(noSource.WriteID3v2(path.c_str()));
    EXPECT_FALSE(writer.WriteID3v2(TempPath("missing.mp3").c_str()));
    std::remove(path.c_str());
}
