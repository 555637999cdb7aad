// RIFF LIST/INFO tags written by the WAV writer and read by the WAV tag reader, and the
// tag-reader interface's open/close rules.
#include "audio/formats/wav/wav_info_tag_reader.h"
#include "audio/formats/wav/wav_writer.h"
#include "tests/audio/wav_fixture.h"

#include <gtest/gtest.h>

using namespace wavtest;

namespace
{

// Writes a short 16-bit stereo file with the given record (or none).
void WriteWav(const TempFile& file, const CAudioTrackInfo* pTrack, int audioBytes = 8)
{
    CAudioWavWriter writer;
    ASSERT_TRUE(writer.Open(file.path(), 2, 44100, 16, pTrack));
    ASSERT_TRUE(writer.BeginStream());
    CAudioFrame frame;
    frame.SetChannels(2);
    frame.SetSampleRate(44100);
    frame.SetBitsPerSample(16);
    frame.SetSigned(1);
    Bytes audio(audioBytes, 0x11);
    frame.Append(audio.data(), static_cast<uint32_t>(audio.size()));
    ASSERT_TRUE(writer.WriteFrame(&frame));
    ASSERT_TRUE(writer.Close());
    EXPECT_EQ(writer.GetBytesWritten(), static_cast<int64_t>(file.Read().size()));
}

Bytes Entry(const char* id, const std::string& text, int64_t size = -1)
{
    Bytes b(id, id + 4);
    PutLE(b, size < 0 ? text.size() : size, 4);
    b.insert(b.end(), text.begin(), text.end());
    return b;
}

Bytes Cat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& p : parts)
        out.insert(out.end(), p.begin(), p.end());
    return out;
}

} // namespace

TEST(WavInfoTags, WrittenTagsReadBack)
{
    CAudioTrackInfo track;
    track.SetArtist("The Artist");
    track.SetComment("odd");
    track.SetCopyright("(c) 2026");
    track.SetPublisher("Label");
    track.SetContentType("Jazz");
    track.SetMediaType("CD");
    track.SetComposer("Composer");
    track.SetTrackTitle("A Title");
    track.SetAlbumTitle("The Album");
    track.SetEncodedBy("Sonoria");
    track.SetLyricist("Writer");
    track.SetYear("1999"); // not carried by INFO

    TempFile file("tags.wav");
    WriteWav(file, &track);
    Bytes raw = file.Read();
    EXPECT_EQ(raw.size() % 2, 0u);
    EXPECT_EQ(GetLE32(raw, 4), raw.size() - 8);
    ASSERT_EQ(std::string(raw.begin() + 52, raw.begin() + 56), "LIST");
    EXPECT_EQ(GetLE32(raw, 56), raw.size() - 60);
    // A strict RIFF walk: each entry's odd size is followed by a pad byte, so every entry
    // starts on an even offset and the walk ends exactly at the list's end.
    std::string ids;
    size_t at = 64;
    while (at + 8 <= raw.size()) {
        ids += std::string(raw.begin() + at, raw.begin() + at + 4) + " ";
        at += 8 + ((GetLE32(raw, at + 4) + 1) & ~1u);
    }
    EXPECT_EQ(at, raw.size());
    EXPECT_EQ(ids, "IART ICMT ICOP IDST IGNR IMED IMUS INAM IPRD ITCH IWRI ");
    EXPECT_EQ(GetLE32(raw, 68), 11u) << "the size counts the text and its zero, not the pad";

    CAudioWavInfoTagReader reader;
    ASSERT_TRUE(reader.Open(file.path()));
    EXPECT_TRUE(reader.IsThisFormat());
    CAudioTrackInfo back;
    back.SetYear("kept");
    ASSERT_TRUE(reader.ReadTags(back));
    EXPECT_EQ(back.GetArtist(), "The Artist");
    EXPECT_EQ(back.GetComment(), "odd");
    EXPECT_EQ(back.GetCopyright(), "(c) 2026");
    EXPECT_EQ(back.GetPublisher(), "Label");
    EXPECT_EQ(back.GetContentType(), "Jazz");
    EXPECT_EQ(back.GetMediaType(), "CD");
    EXPECT_EQ(back.GetComposer(), "Composer");
    EXPECT_EQ(back.GetTrackTitle(), "A Title");
    EXPECT_EQ(back.GetAlbumTitle(), "The Album");
    EXPECT_EQ(back.GetEncodedBy(), "Sonoria");
    EXPECT_EQ(back.GetLyricist(), "Writer");
    EXPECT_EQ(back.GetYear(), "kept") << "fields without an entry stay as they were";
}

TEST(WavInfoTags, ListChunkOnlyWithARecord)
{
    struct Case {
        const char* name;
        bool withRecord;
        int audioBytes;
        size_t fileSize;
    };
    const Case cases[] = {
        {"no record, no LIST", false, 8, 44 + 8},
        {"empty record gives a 12-byte LIST", true, 8, 44 + 8 + 12},
        {"after odd audio", true, 3, 44 + 4 + 12},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file("list.wav");
        CAudioTrackInfo empty;
        WriteWav(file, c.withRecord ? &empty : nullptr, c.audioBytes);
        Bytes raw = file.Read();
        ASSERT_EQ(raw.size(), c.fileSize);
        if (c.withRecord) {
            EXPECT_EQ(Bytes(raw.end() - 12, raw.end()),
                      (Bytes{'L', 'I', 'S', 'T', 4, 0, 0, 0, 'I', 'N', 'F', 'O'}));
        }
    }
}

TEST(WavInfoTags, ParseInfoList)
{
    struct Case {
        const char* name;
        Bytes list;
        const char* title;
        const char* album;
        const char* encodedBy;
        const char* artist;
    };
    const Case cases[] = {
        {"album kept when already set", Entry("IPRD", "New Album"), "", "Old Album", "", ""},
        {"later of ISFT and ITCH wins",
         Cat({Entry("ISFT", std::string("soft\0", 5)), Entry("ITCH", std::string("tech\0", 5))}),
         "", "Old Album", "tech", ""},
        {"pad bytes between entries",
         Cat({Entry("INAM", std::string("abc", 3)), Bytes{0}, Entry("IART", "x")}), "abc",
         "Old Album", "", "x"},
        {"text ends at its first zero", Entry("INAM", std::string("ab\0cd", 5)), "ab", "Old Album",
         "", ""},
        {"unknown ids are stepped over", Cat({Entry("IKEY", "k"), Entry("IART", "y")}), "",
         "Old Album", "", "y"},
        {"entry running past the list ends the walk",
         Cat({Entry("IART", "z"), Entry("INAM", "long", 1000)}), "", "Old Album", "", "z"},
        {"size overflowing the offset", Cat({Entry("INAM", "t"), Entry("IART", "q", 0xFFFFFFF8)}),
         "t", "Old Album", "", ""},
        {"truncated entry header", Cat({Entry("INAM", "t"), Bytes{'I', 'A', 'R'}}), "t",
         "Old Album", "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CAudioTrackInfo track;
        track.SetAlbumTitle("Old Album");
        CAudioWavInfoTagReader::ParseInfoList(c.list.data(), static_cast<DWORD>(c.list.size()),
                                              track);
        EXPECT_EQ(track.GetTrackTitle(), c.title);
        EXPECT_EQ(track.GetAlbumTitle(), c.album);
        EXPECT_EQ(track.GetEncodedBy(), c.encodedBy);
        EXPECT_EQ(track.GetArtist(), c.artist);
    }

    CAudioTrackInfo empty;
    const Bytes album = Entry("IPRD", "Album");
    CAudioWavInfoTagReader::ParseInfoList(album.data(), static_cast<DWORD>(album.size()), empty);
    EXPECT_EQ(empty.GetAlbumTitle(), "Album") << "an empty album title is filled";
}

TEST(WavInfoTags, InfoListAmongOtherChunks)
{
    // A non-INFO LIST first, the INFO list after the audio, a lying list size.
    Bytes info = Cat({{'I', 'N', 'F', 'O'}, Entry("INAM", std::string("Found\0", 6))});
    Bytes lying = Cat({{'I', 'N', 'F', 'O'}, Entry("IART", std::string("Far\0", 4))});
    struct Case {
        const char* name;
        Bytes file;
        const char* title;
        const char* artist;
    };
    const Case cases[] = {
        {"after adtl list and data",
         Riff({Fmt(1, 1, 8000, 8),
               {"LIST", 9, Cat({{'a', 'd', 't', 'l'}, {1, 2, 3, 4, 5}})},
               Data({1, 2, 3}),
               {"LIST", static_cast<uint32_t>(info.size()), info}}),
         "Found", ""},
        {"list size past the end",
         Riff({Fmt(1, 1, 8000, 8), Data({1, 2}), {"LIST", 0x7FFFFFFF, lying, false}}), "", "Far"},
        {"LIST of 4 bytes is no INFO list",
         Riff({Fmt(1, 1, 8000, 8), Data({1, 2}), {"LIST", 4, {'I', 'N', 'F', 'O'}}}), "", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFile file("chunks.wav");
        file.Write(c.file);
        CAudioWavInfoTagReader reader;
        ASSERT_TRUE(reader.Open(file.path()));
        CAudioTrackInfo track;
        EXPECT_TRUE(reader.ReadTags(track));
        EXPECT_EQ(track.GetTrackTitle(), c.title);
        EXPECT_EQ(track.GetArtist(), c.artist);
    }
}

TEST(WavInfoTags, TagReaderOpenCloseRules)
{
    TempFile good("good.wav");
    WriteWav(good, nullptr);
    TempFile other("other.wav");
    other.Write({'n', 'o', 't', ' ', 'a', ' ', 'w', 'a', 'v'});

    CString text;
    CAudioWavInfoTagReader reader;
    EXPECT_FALSE(reader.IsOpen());
    CAudioTrackInfo track;
    EXPECT_FALSE(reader.ReadTags(track));
    EXPECT_EQ(reader.GetError(text), 1);
    EXPECT_EQ(text, "Wav Info Tag Reader not correctly initialized");
    EXPECT_FALSE(reader.IsThisFormat());
    EXPECT_FALSE(reader.Close());

    EXPECT_FALSE(reader.Open("no-such-file.wav"));
    EXPECT_FALSE(reader.IsOpen());
    EXPECT_EQ(reader.GetError(text), 3);
    EXPECT_EQ(text, "File not found");

    ASSERT_TRUE(reader.Open(good.path()));
    EXPECT_EQ(reader.GetError(text), 0);
    reader.SetError(9, "previous");
    EXPECT_FALSE(reader.Open(other.path())) << "a second Open keeps the first file";
    EXPECT_EQ(reader.GetError(text), 9);
    EXPECT_TRUE(reader.IsThisFormat());
    EXPECT_TRUE(reader.IsThisFormat()) << "IsThisFormat leaves the position where it was";
    EXPECT_TRUE(reader.Close());
    EXPECT_FALSE(reader.IsOpen());

    ASSERT_TRUE(reader.Open(other.path()));
    EXPECT_FALSE(reader.IsThisFormat());
}
