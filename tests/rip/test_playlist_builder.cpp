// Playlists: exact text of the five formats, read back by independent readers, escaping of
// hostile entries, the entry limit and files that cannot be created.
#include "rip/playlist_builder.h"

#include "tests/rip/markup_reader.h"
#include "tests/rip/rip_test_util.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace
{

struct Entry {
    std::string path, artist, title;
    long seconds;
    bool operator==(const Entry&) const = default;
};

enum Format { M3U, PLS, B4S, HTML, CSV };
const char* const kFormatNames[] = {"m3u", "pls", "b4s", "html", "csv"};

BOOL WriteAs(const CPlayListBuilder& b, Format f, const std::string& file, const char* label)
{
    switch (f) {
    case M3U:
        return b.WriteM3U(file.c_str());
    case PLS:
        return b.WritePLS(file.c_str(), label);
    case B4S:
        return b.WriteB4S(file.c_str(), label);
    case HTML:
        return b.WriteHTML(file.c_str(), label);
    case CSV:
        return b.WriteCSV(file.c_str(), label);
    }
    return FALSE;
}

// Every line must end with CR LF; a lone CR or LF fails the test.
std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\r\n", start);
        EXPECT_NE(end, std::string::npos) << "last line without CR LF";
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "stray line break: " << line;
        lines.push_back(line);
        start = end + 2;
    }
    return lines;
}

// "artist - title" as the M3U, PLS and B4S formats join them; the artist is what comes before
// the first " - ".
void SplitName(const std::string& name, Entry& e)
{
    size_t dash = name.find(" - ");
    e.artist = name.substr(0, dash);
    e.title = dash == std::string::npos ? "" : name.substr(dash + 3);
}

std::vector<Entry> ReadM3U(const std::string& text)
{
    std::vector<std::string> lines = Lines(text);
    std::vector<Entry> out;
    EXPECT_FALSE(lines.empty());
    EXPECT_EQ(lines.empty() ? "" : lines[0], "#EXTM3U");
    EXPECT_EQ(lines.size() % 2, 1u);
    for (size_t i = 1; i + 1 < lines.size(); i += 2) {
        Entry e{};
        const std::string& inf = lines[i];
        EXPECT_EQ(inf.rfind("#EXTINF:", 0), 0u) << inf;
        size_t comma = inf.find(',');
        e.seconds = std::stol(inf.substr(8, comma - 8));
        SplitName(inf.substr(comma + 1), e);
        e.path = lines[i + 1];
        out.push_back(e);
    }
    return out;
}

std::vector<Entry> ReadPLS(const std::string& text, std::string* label = nullptr)
{
    std::map<std::string, std::string> keys;
    std::vector<std::string> lines = Lines(text);
    EXPECT_EQ(lines.empty() ? "" : lines[0], "[playlist]");
    for (size_t i = 1; i < lines.size(); ++i) {
        size_t eq = lines[i].find('=');
        EXPECT_NE(eq, std::string::npos) << lines[i];
        EXPECT_TRUE(keys.emplace(lines[i].substr(0, eq), lines[i].substr(eq + 1)).second)
            << "key twice: " << lines[i];
    }
    EXPECT_EQ(keys["Version"], "2");
    if (label)
        *label = keys["PlaylistName"];
    std::vector<Entry> out;
    const int n = std::stoi(keys["NumberOfEntries"]);
    for (int i = 1; i <= n; ++i) {
        const std::string k = std::to_string(i);
        Entry e{};
        e.path = keys["File" + k];
        SplitName(keys["Title" + k], e);
        e.seconds = std::stol(keys["Length" + k]);
        out.push_back(e);
    }
    EXPECT_EQ(keys.size(), 3u + 3u * n);
    return out;
}

std::vector<Entry> ReadB4S(const std::string& text, std::string* label = nullptr)
{
    EXPECT_TRUE(IsValidUtf8(text)) << "the file declares UTF-8";
    MarkupReader reader;
    std::unique_ptr<MarkupNode> root = reader.Parse(text);
    std::vector<Entry> out;
    EXPECT_TRUE(root) << reader.Error();
    if (!root)
        return out;
    EXPECT_EQ(root->name, "WinampXML");
    const MarkupNode* list = root->Child("playlist");
    EXPECT_TRUE(list);
    if (!list)
        return out;
    if (label)
        *label = list->attrs.at("label");
    EXPECT_EQ(list->attrs.at("num_entries"), std::to_string(list->Count("entry")));
    for (size_t i = 0; i < list->Count("entry"); ++i) {
        const MarkupNode* entry = list->Child("entry", i);
        Entry e{};
        const std::string play = entry->attrs.at("Playstring");
        EXPECT_EQ(play.rfind("file:", 0), 0u);
        e.path = play.substr(5);
        SplitName(entry->Child("Name")->text, e);
        const long ms = std::stol(entry->Child("Length")->text);
        EXPECT_EQ(ms % 1000, 0);
        e.seconds = ms / 1000;
        out.push_back(e);
    }
    return out;
}

// HTML holds path and title only; artist stays empty, seconds 0.
std::vector<Entry> ReadHTML(const std::string& text, std::string* label = nullptr)
{
    MarkupReader reader({"HR", "BR"});
    std::unique_ptr<MarkupNode> root = reader.Parse(text);
    std::vector<Entry> out;
    EXPECT_TRUE(root) << reader.Error();
    if (!root)
        return out;
    const MarkupNode* body = root->Child("BODY");
    EXPECT_TRUE(body);
    if (!body)
        return out;
    if (label) {
        *label = body->Child("H1")->text;
        EXPECT_EQ(root->Child("HEAD")->Child("TITLE")->text, *label);
    }
    for (size_t i = 0; i < body->Count("a"); ++i) {
        const MarkupNode* a = body->Child("a", i);
        out.push_back(Entry{a->attrs.at("href"), "", a->text, 0});
    }
    return out;
}

// ";"-separated, fields in double quotes may hold anything, "" is one quote.
std::vector<Entry> ReadCSV(const std::string& text)
{
    std::vector<Entry> out;
    std::vector<std::string> fields(1);
    bool quoted = false;
    auto endRecord = [&] {
        EXPECT_EQ(fields.size(), 4u);
        if (fields.size() == 4)
            out.push_back(Entry{fields[0], fields[2], fields[1], std::stol(fields[3])});
        fields.assign(1, "");
    };
    for (size_t i = 0; i < text.size(); ++i) {
        char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                fields.back() += '"', ++i;
            else if (c == '"')
                quoted = false;
            else
                fields.back() += c;
        } else if (c == '"') {
            EXPECT_TRUE(fields.back().empty()) << "quote inside an unquoted field";
            quoted = true;
        } else if (c == ';') {
            fields.emplace_back();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            endRecord();
            ++i;
        } else {
            EXPECT_NE(c, '\n') << "line break outside quotes";
            fields.back() += c;
        }
    }
    EXPECT_FALSE(quoted);
    EXPECT_EQ(fields.size(), 1u);
    EXPECT_TRUE(fields[0].empty()) << "last line without CR LF";
    return out;
}

std::vector<Entry> ReadBack(Format f, const std::string& text)
{
    switch (f) {
    case M3U:
        return ReadM3U(text);
    case PLS:
        return ReadPLS(text);
    case B4S:
        return ReadB4S(text);
    case HTML:
        return ReadHTML(text);
    case CSV:
        return ReadCSV(text);
    }
    return {};
}

class PlayListTest : public ::testing::Test
{
protected:
    ScratchDir m_dir{"playlist"};
    std::string File(Format f) const { return m_dir.Path(std::string("list.") + kFormatNames[f]); }
};

TEST_F(PlayListTest, ExactFormats)
{
    CPlayListBuilder b;
    b.AddEntry("C:\\Music\\AB\\03-Song.mp3", "AB", "Song", 240);
    b.AddEntry("\\\\server\\x.mp3", "CD", "Other", 240);
    b.AddEntry("D:\\in\\conv.flac", "E", "Conv", 0);

    const char* const kGenerated =
        "<!-- Generated by: Sonoria (http://www.sonoria.invalid/) -->\r\n";
    const std::string kExpected[] = {
        "#EXTM3U\r\n"
        "#EXTINF:240,AB - Song\r\n\\Music\\AB\\03-Song.mp3\r\n"
        "#EXTINF:240,CD - Other\r\n\\\\server\\x.mp3\r\n"
        "#EXTINF:0,E - Conv\r\n\\in\\conv.flac\r\n",

        "[playlist]\r\nPlaylistName=My Disc\r\nNumberOfEntries=3\r\nVersion=2\r\n"
        "File1=\\Music\\AB\\03-Song.mp3\r\nTitle1=AB - Song\r\nLength1=240\r\n"
        "File2=\\\\server\\x.mp3\r\nTitle2=CD - Other\r\nLength2=240\r\n"
        "File3=\\in\\conv.flac\r\nTitle3=E - Conv\r\nLength3=0\r\n",

        std::string("<?xml version=\"1.0\" encoding='UTF-8' standalone=\"yes\"?>\r\n"
                    "<WinampXML>\r\n") +
            kGenerated +
            "<playlist num_entries=\"3\" label=\"My Disc\">\r\n"
            "<entry Playstring=\"file:\\Music\\AB\\03-Song.mp3\"><Name>AB - Song</Name>\r\n"
            "<Length>240000</Length>\r\n</entry>\r\n"
            "<entry Playstring=\"file:\\\\server\\x.mp3\"><Name>CD - Other</Name>\r\n"
            "<Length>240000</Length>\r\n</entry>\r\n"
            "<entry Playstring=\"file:\\in\\conv.flac\"><Name>E - Conv</Name>\r\n"
            "<Length>0</Length>\r\n</entry>\r\n"
            "</playlist>\r\n</WinampXML>\r\n",

        std::string("<HTML>\r\n<HEAD>\r\n<TITLE>My Disc</TITLE>\r\n</HEAD>\r\n<BODY>\r\n") +
            kGenerated +
            "<H1>My Disc</H1><HR><BR>\r\n"
            "<a href=\"\\Music\\AB\\03-Song.mp3\">Song</a><br>\r\n"
            "<a href=\"\\\\server\\x.mp3\">Other</a><br>\r\n"
            "<a href=\"\\in\\conv.flac\">Conv</a><br>\r\n"
            "<HR>\r\n</BODY>\r\n</HTML>\r\n",

        "\\Music\\AB\\03-Song.mp3;Song;AB;240\r\n"
        "\\\\server\\x.mp3;Other;CD;240\r\n"
        "\\in\\conv.flac;Conv;E;0\r\n",
    };
    for (Format f : {M3U, PLS, B4S, HTML, CSV}) {
        SCOPED_TRACE(kFormatNames[f]);
        ASSERT_TRUE(WriteAs(b, f, File(f), "My Disc"));
        EXPECT_EQ(ReadFile(File(f)), kExpected[f]);
    }
}

TEST_F(PlayListTest, EmptyList)
{
    CPlayListBuilder b;
    ASSERT_TRUE(b.WritePLS(File(PLS).c_str(), "x"));
    EXPECT_EQ(ReadFile(File(PLS)), "[playlist]\r\nPlaylistName=x\r\nNumberOfEntries=0\r\n"
                                   "Version=2\r\n");
    ASSERT_TRUE(b.WriteCSV(File(CSV).c_str(), "x"));
    EXPECT_EQ(ReadFile(File(CSV)), "");
    ASSERT_TRUE(b.WriteB4S(File(B4S).c_str(), "x"));
    EXPECT_TRUE(ReadB4S(ReadFile(File(B4S))).empty());
}

// Entries with markup, separators, quotes and line breaks: every format stays readable and
// gives the values back as they were added.
TEST_F(PlayListTest, HostileEntriesReadBackIntact)
{
    const Entry kEntries[] = {
        {"C:\\Music\\R&B\\a;b,c 'd'.mp3", "Tom & Jerry; Co, Ltd", "Say \"Hi\" <now> & 'then'", 61},
        {"\\\\srv\\<odd>\\x.mp3", "A<B>", "x&amp;y", 5},
        {"E:\\t.mp3", "Quote\"", "\"", 0},
    };
    const std::string kLabel = "Best of <\"Q&A\"> 'live'";
    CPlayListBuilder b;
    for (const Entry& e : kEntries)
        ASSERT_TRUE(b.AddEntry(e.path.c_str(), e.artist.c_str(), e.title.c_str(), e.seconds));

    std::vector<Entry> expected;
    for (Entry e : kEntries) {
        if (e.path[1] == ':')
            e.path = e.path.substr(2);
        expected.push_back(e);
    }
    for (Format f : {M3U, PLS, B4S, HTML, CSV}) {
        SCOPED_TRACE(kFormatNames[f]);
        ASSERT_TRUE(WriteAs(b, f, File(f), kLabel.c_str()));
        const std::string text = ReadFile(File(f));
        std::vector<Entry> want = expected;
        if (f == HTML)
            for (Entry& e : want)
                e.artist.clear(), e.seconds = 0;
        EXPECT_EQ(ReadBack(f, text), want);
        std::string label;
        if (f == PLS)
            ReadPLS(text, &label);
        if (f == B4S)
            ReadB4S(text, &label);
        if (f == HTML)
            ReadHTML(text, &label);
        if (f == PLS || f == B4S || f == HTML) {
            EXPECT_EQ(label, kLabel);
        }
    }
}

// A line break in a value would start a line of its own; it is written as a blank instead.
TEST_F(PlayListTest, LineBreaksInValuesKeepLineFormatsIntact)
{
    CPlayListBuilder b;
    b.AddEntry("C:\\a.mp3", "Art\nist", "Two\r\nLines", 10);
    for (Format f : {M3U, PLS, B4S, HTML, CSV}) {
        SCOPED_TRACE(kFormatNames[f]);
        ASSERT_TRUE(WriteAs(b, f, File(f), "L\r\nabel"));
        std::vector<Entry> got = ReadBack(f, ReadFile(File(f)));
        ASSERT_EQ(got.size(), 1u);
        if (f == M3U || f == PLS || f == B4S) {
            EXPECT_EQ(got[0].title, "Two  Lines");
            EXPECT_EQ(got[0].artist, "Art ist");
        }
        if (f == CSV) {
            EXPECT_EQ(got[0].title, "Two\r\nLines");
        }
    }
}

// Written, read back, written again from what was read: the same bytes.
TEST_F(PlayListTest, RoundTrip)
{
    CPlayListBuilder b;
    b.AddEntry("C:\\Music\\AB\\03-Song.mp3", "AB", "Song & <Dance>", 240);
    b.AddEntry("\\\\server\\x;y.mp3", "C\"D", "Other, \"quoted\"", 7);
    for (Format f : {M3U, PLS, B4S, CSV}) {
        SCOPED_TRACE(kFormatNames[f]);
        ASSERT_TRUE(WriteAs(b, f, File(f), "Label & co"));
        const std::string first = ReadFile(File(f));
        CPlayListBuilder again;
        for (const Entry& e : ReadBack(f, first))
            again.AddEntry(e.path.c_str(), e.artist.c_str(), e.title.c_str(), e.seconds);
        ASSERT_TRUE(WriteAs(again, f, File(f), "Label & co"));
        EXPECT_EQ(ReadFile(File(f)), first);
    }
}

TEST_F(PlayListTest, AtMost256Entries)
{
    CPlayListBuilder b;
    for (int i = 0; i < 300; ++i) {
        const std::string path = "C:\\t" + std::to_string(i) + ".mp3";
        EXPECT_EQ(b.AddEntry(path.c_str(), "A", "T", i), i < 256 ? TRUE : FALSE) << i;
    }
    ASSERT_TRUE(b.WriteM3U(File(M3U).c_str()));
    std::vector<Entry> got = ReadM3U(ReadFile(File(M3U)));
    ASSERT_EQ(got.size(), 256u);
    EXPECT_EQ(got.back().path, "\\t255.mp3");
    ASSERT_TRUE(b.WritePLS(File(PLS).c_str(), "x"));
    EXPECT_EQ(ReadPLS(ReadFile(File(PLS))).size(), 256u);
}

// The file declares UTF-8; an 8-bit text is converted so the declaration holds.
TEST_F(PlayListTest, B4SIsUtf8)
{
    CPlayListBuilder b;
    b.AddEntry("C:\\Caf\xE9.mp3", "Ren\xE9", "\xC9t\xE9", 1);
    ASSERT_TRUE(b.WriteB4S(File(B4S).c_str(), "\xE9"));
    std::string label;
    std::vector<Entry> got = ReadB4S(ReadFile(File(B4S)), &label);
    ASSERT_EQ(got.size(), 1u);
    EXPECT_EQ(got[0].title, "\xC3\x89t\xC3\xA9");
    EXPECT_EQ(got[0].path, "\\Caf\xC3\xA9.mp3");
    EXPECT_EQ(label, "\xC3\xA9");
    // The other formats keep the 8-bit text.
    ASSERT_TRUE(b.WriteCSV(File(CSV).c_str(), ""));
    EXPECT_EQ(ReadFile(File(CSV)), "\\Caf\xE9.mp3;\xC9t\xE9;Ren\xE9;1\r\n");
}

TEST_F(PlayListTest, FileThatCannotBeCreated)
{
    CPlayListBuilder b;
    b.AddEntry("C:\\a.mp3", "A", "T", 1);
    const std::string missing = m_dir.Path("no such folder") + kSep + "list.x";
    for (Format f : {M3U, PLS, B4S, HTML, CSV}) {
        SCOPED_TRACE(kFormatNames[f]);
        EXPECT_FALSE(WriteAs(b, f, missing, "L"));
        EXPECT_FALSE(Exists(missing));
    }
}

} // namespace
