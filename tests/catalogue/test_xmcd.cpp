// The xmcd reader and writer: golden records, escapes, line splitting and round trips.
#include "catalogue/cddb/cddb.h"
#include "cddb_test_util.h"

#include <gtest/gtest.h>

using cddb_test::BaseRecord;
using cddb_test::Join;
using cddb_test::With;

TEST(XmcdReader, GoldenRecords)
{
    const std::string base = BaseRecord();
    struct Case {
        const char* name;
        std::string text;
        bool ok;
        const char* artist;
        const char* title;
        const char* titles;
        const char* playorder;
    } cases[] = {
        {"good.base", base, true, "Artist", "Title", "One|Two", ""},
        {"good.bare_lf", With(base, "\r\n", "\n"), true, "Artist", "Title", "One|Two", ""},
        {"good.dtitle_on_two_lines",
         With(base, "DTITLE=Artist / Title\r\n", "DTITLE=Long Art\r\nDTITLE=ist / Long Title\r\n"),
         true, "Long Artist", "Long Title", "One|Two", ""},
        {"good.dtitle_without_separator", With(base, "Artist / Title", "Compilation"), true,
         "Compilation", "Compilation", "One|Two", ""},
        {"good.title_split_over_lines",
         With(base, "TTITLE1=Two\r\n", "TTITLE1=Tw\r\nTTITLE1=o and more\r\n"), true, "Artist",
         "Title", "One|Two and more", ""},
        {"good.comments_between_keys", With(base, "DGENRE=Rock\r\n", "DGENRE=Rock\r\n# note\r\n"),
         true, "Artist", "Title", "One|Two", ""},
        {"good.unknown_key_ignored", With(base, "EXTD=", "XYZ=1\r\nEXTD="), true, "Artist", "Title",
         "One|Two", ""},
        {"good.playorder_gap", With(base, "PLAYORDER=", "PLAYORDER=3,,1"), true, "Artist", "Title",
         "One|Two", "3,0,1"},
        {"good.playorder_trailing_comma", With(base, "PLAYORDER=", "PLAYORDER=1,2,"), true,
         "Artist", "Title", "One|Two", "1,2"},
        {"good.submitter_without_comment", With(base, "Sonoria 3.70 test", "Sonoria 3.70"), true,
         "Artist", "Title", "One|Two", ""},
        {"good.last_line_without_line_end", base.substr(0, base.size() - 2), true, "Artist",
         "Title", "One|Two", ""},
        {"good.duplicate_discid_later_wins",
         With(base, "DISCID=04018e02\r\n", "DISCID=11111111\r\nDISCID=04018e02,0a0b0c0d\r\n"), true,
         "Artist", "Title", "One|Two", ""},
        {"bad.no_signature", With(base, "# xmcd\r\n", ""), false, "", "", "One|Two", ""},
        {"bad.no_offsets", With(With(base, "#\t150\r\n", ""), "#\t15000\r\n", ""), false, "", "",
         "One|Two", ""},
        {"bad.no_disc_length", With(base, "# Disc length: 400 seconds\r\n", ""), false, "", "",
         "One|Two", ""},
        {"bad.no_submitter", With(base, "# Submitted via: Sonoria 3.70 test\r\n", ""), false, "",
         "", "One|Two", ""},
        {"bad.submitter_one_word", With(base, "Sonoria 3.70 test", "Sonoria"), false, "", "", "",
         ""},
        {"bad.short_discid", With(base, "DISCID=04018e02", "DISCID=4018e02"), false, "", "",
         "One|Two", ""},
        {"bad.no_dtitle", With(base, "DTITLE=Artist / Title\r\n", ""), false, "", "", "One|Two",
         ""},
        {"bad.titles_out_of_order_cut_back",
         With(With(base, "TTITLE0=One\r\nTTITLE1=Two\r\n",
                   "TTITLE0=One\r\nTTITLE2=Three\r\nTTITLE1=Two\r\n"),
              "EXTT1=Live\r\n", "EXTT1=Live\r\nEXTT2=\r\n"),
         false, "", "", "One|Two", ""},
        {"bad.fewer_titles_than_ext", With(base, "TTITLE1=Two\r\n", ""), false, "", "", "One", ""},
        {"good.huge_track_number_ignored",
         With(base, "TTITLE1=Two", "TTITLE1=Two\r\nTTITLE999999999=X"), true, "Artist", "Title",
         "One|Two", ""},
        {"bad.empty", "", false, "", "", "", ""},
    };
    CCDDB client;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CCDDBRecord record;
        record.m_strGenre = "stale";
        EXPECT_EQ(client.ParseXmcdRecord(record, CString(c.text)) != FALSE, c.ok);
        EXPECT_EQ(Join(record.m_arrTrackTitles), c.titles);
        if (!c.ok)
            continue;
        EXPECT_EQ(record.m_strDiscArtist.str(), c.artist);
        EXPECT_EQ(record.m_strDiscTitle.str(), c.title);
        EXPECT_EQ(Join(record.m_arrPlayOrder), c.playorder);
        EXPECT_EQ(record.m_dwDiscId, 0x04018e02u);
        EXPECT_EQ(Join(record.m_arrTrackOffsets), "150,15000");
        EXPECT_EQ(record.m_nDiscLength, 400);
        EXPECT_EQ(record.m_nRevision, 3);
        EXPECT_EQ(record.m_strSubmitterName, "Sonoria");
        EXPECT_EQ(record.m_strSubmitterVersion, "3.70");
        EXPECT_EQ(record.m_nYear, 1999);
        EXPECT_EQ(record.m_strGenre, "Rock");
        EXPECT_EQ(record.m_strExtendedData, "Notes");
        EXPECT_EQ(Join(record.m_arrExtendedTrackData), "|Live");
    }
}

TEST(XmcdReader, EscapesAreUndonePerLine)
{
    CCDDB client;
    CCDDBRecord record;
    const std::string text = With(BaseRecord(), "EXTD=Notes", "EXTD=a\\nb\\tc\\\\d\\x");
    ASSERT_TRUE(client.ParseXmcdRecord(record, CString(text)));
    EXPECT_EQ(record.m_strExtendedData, "a\nb\tc\\d\\x");
}

TEST(XmcdWriter, LinesAreSplitAt254Characters)
{
    CCDDB client;
    struct Case {
        const char* name;
        const char* key;
        std::string value;
        std::string expected;
    } cases[] = {
        {"short", "TTITLE12", std::string(60, 'a'), "TTITLE12=" + std::string(60, 'a') + "\r\n"},
        {"long", "TTITLE12", std::string(300, 'b'),
         "TTITLE12=" + std::string(245, 'b') + "\r\nTTITLE12=" + std::string(55, 'b') + "\r\n"},
        {"empty", "EXTD", "", "EXTD=\r\n"},
        {"escapes", "TTITLE0", "a\nb\\c\td", "TTITLE0=a\\nb\\\\c\\td\r\n"},
        // An escape pair is never cut: the first line stops one short.
        {"pair_at_the_edge", "EXTD", std::string(248, 'c') + "\n",
         "EXTD=" + std::string(248, 'c') + "\r\nEXTD=\\n\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(client.FormatXmcdLine(c.key, CString(c.value)).str(), c.expected);
    }
}

namespace
{
CCDDBRecord SampleRecord()
{
    CCDDBRecord r;
    r.m_arrTrackOffsets.Add(150);
    r.m_arrTrackOffsets.Add(15000);
    r.m_nDiscLength = 400;
    r.m_nRevision = 2;
    r.m_strSubmitterName = "Sonoria";
    r.m_strSubmitterVersion = "3.70";
    r.m_strSubmitterComment = "note";
    r.m_dwDiscId = 0x04018e02;
    r.m_strDiscArtist = "Some Artist";
    r.m_strDiscTitle = "Line\nbreak \\ and\ttab";
    r.m_arrTrackTitles.Add(CString(std::string(300, 'x')));
    r.m_arrTrackTitles.Add("Two");
    r.m_strExtendedData = std::string(600, '\n').c_str();
    r.m_arrExtendedTrackData.Add("");
    r.m_arrExtendedTrackData.Add("e\\n");
    r.m_nYear = 1999;
    r.m_strGenre = "Rock";
    return r;
}
} // namespace

TEST(XmcdWriter, RecordTextFollowsTheLevel)
{
    CCDDBRecord r = SampleRecord();
    r.m_arrTrackTitles[0] = "One";
    r.m_strDiscTitle = "Title";
    r.m_strExtendedData = "";
    r.m_arrExtendedTrackData[1] = "";
    CCDDB client;
    const std::string head = "# xmcd\r\n#\r\n# Track frame offsets:\r\n# 150\r\n# 15000\r\n"
                             "#\r\n# Disc length: 400 seconds\r\n#\r\n#\r\n# Revision: 2\r\n"
                             "# Submitted via: Sonoria 3.70 note\r\n#\r\nDISCID=04018e02\r\n"
                             "DTITLE=Some Artist / Title\r\n";
    const std::string tail = "TTITLE0=One\r\nTTITLE1=Two\r\nEXTD=\r\nEXTT0=\r\nEXTT1=\r\n"
                             "PLAYORDER=\r\n";
    EXPECT_EQ(client.FormatXmcdRecord(r).str(), head + "DYEAR=1999\r\nDGENRE=Rock\r\n" + tail);
    r.m_nYear = 0;
    EXPECT_EQ(client.FormatXmcdRecord(r).str(), head + "DYEAR=\r\nDGENRE=Rock\r\n" + tail);
    client.SetProtocolLevel(4);
    EXPECT_EQ(client.FormatXmcdRecord(r).str(), head + tail);
}

TEST(XmcdWriter, WrittenRecordReadsBackUnchanged)
{
    CCDDB client;
    const CCDDBRecord written = SampleRecord();
    CCDDBRecord read;
    ASSERT_TRUE(client.ParseXmcdRecord(read, client.FormatXmcdRecord(written)));
    EXPECT_EQ(read.m_strDiscArtist, written.m_strDiscArtist);
    EXPECT_EQ(read.m_strDiscTitle, written.m_strDiscTitle);
    EXPECT_EQ(Join(read.m_arrTrackTitles), Join(written.m_arrTrackTitles));
    EXPECT_EQ(read.m_strExtendedData, written.m_strExtendedData);
    EXPECT_EQ(Join(read.m_arrExtendedTrackData), Join(written.m_arrExtendedTrackData));
    EXPECT_EQ(read.m_strSubmitterComment, "note");
    EXPECT_EQ(read.m_nYear, 1999);
    EXPECT_EQ(read.m_strGenre, "Rock");
    EXPECT_EQ(Join(read.m_arrTrackOffsets), "150,15000");
    // Written again, the text is the same.
    EXPECT_EQ(client.FormatXmcdRecord(read), client.FormatXmcdRecord(written));
}

TEST(XmcdWriter, MissingExtendedTextsAreWrittenEmpty)
{
    CCDDBRecord r = SampleRecord();
    r.m_arrExtendedTrackData.RemoveAll();
    CCDDB client;
    CCDDBRecord read;
    EXPECT_TRUE(client.ParseXmcdRecord(read, client.FormatXmcdRecord(r)));
    EXPECT_EQ(Join(read.m_arrExtendedTrackData), "|");
}
