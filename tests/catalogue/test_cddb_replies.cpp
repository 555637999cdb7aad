// The CDDB client's text work: hello, requests, disc id, status, and the reply parsers.
#include "catalogue/cddb/cddb.h"
#include "cddb_test_util.h"

#include <gtest/gtest.h>

using cddb_test::Join;

namespace
{
// A client whose request building is reachable from the tests.
class CTestCDDB : public CCDDB
{
public:
    using CCDDB::GetRequest;
};

} // namespace

TEST(CddbText, HelloAndQueryRequest)
{
    CTestCDDB client;
    client.SetUserName("A. B");
    client.SetHostName("my-pc");
    EXPECT_EQ(client.GetHelloString(), "hello=A__B+my_pc+RizIDAD+1.31&proto=5");
    client.SetHostName("h\xe9st");
    EXPECT_EQ(client.GetHelloHost(), "h_st");
    client.SetHostName("my-pc");

    CCDDBTrackPositionArray positions;
    cddb_test::SetPositions(positions, {{0, 2, 0}, {3, 20, 0}, {6, 40, 0}});
    EXPECT_EQ(CCDDB::ComputeDiscId(positions), 0x04018E02u);
    CCDDBSite site(TRUE);
    site.m_strHost = "cddb.example";
    EXPECT_EQ(client.GetRequest(site, "cddb+query+04018e02+2+150+15000+400"),
              "GET /~cddb/cddb.cgi?cmd=cddb+query+04018e02+2+150+15000+400"
              "&hello=A__B+my_pc+RizIDAD+1.31&proto=5 HTTP/1.0\r\n\r\n");

    client.SetProxy("proxy", 8080, "", "");
    EXPECT_EQ(client.GetProxyHeader(site), "Host: cddb.example");
    EXPECT_EQ(client.GetRequest(site, "sites"),
              "GET http://cddb.example/~cddb/cddb.cgi?cmd=sites&hello=A__B+my_pc+RizIDAD+1.31"
              "&proto=5 HTTP/1.0\r\nHost: cddb.example\r\n\r\n");
    client.SetProxy("proxy", 8080, "user", "pw");
    // "user:pw" is 7 bytes: one pad character.
    EXPECT_EQ(client.GetProxyHeader(site),
              "Proxy-Authorization: Basic dXNlcjpwdw==\r\nHost: cddb.example");
}

TEST(CddbText, StatusCodeAndBody)
{
    CCDDB client;
    CString body;
    EXPECT_FALSE(client.FindBody("HTTP/1.0 200 OK\r\n200 rock", body));
    ASSERT_TRUE(client.FindBody("HTTP/1.0 200 OK\r\nA: b\r\n\r\n211 x\r\n", body));
    EXPECT_EQ(body, "211 x\r\n");
    // A head whose lines end in LF alone ends at its first empty line as well.
    ASSERT_TRUE(client.FindBody("HTTP/1.0 200 OK\nA: b\n\n211 x\n.\n", body));
    EXPECT_EQ(body, "211 x\n.\n");
    struct Case {
        const char* body;
        int code;
    } cases[] = {{"211 x", 211}, {"20", -1}, {"", -1}, {"2a1", 2}, {"<ht", 0}, {"4010", 401}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.body);
        EXPECT_EQ(client.GetStatusCode(c.body), c.code);
    }
}

TEST(CddbReplies, Query)
{
    struct Case {
        const char* name;
        const char* body;
        bool ok;
        const char* matches; // category id artist|title per match, ';'-separated
    } cases[] = {
        {"exact_single_line", "200 rock 0a0b0c0d Artist / Title\r\n", true,
         "rock 0a0b0c0d Artist|Title"},
        {"no_match", "202 No match for disc ID 0a0b0c0d.\r\n", true, ""},
        {"two_close",
         "211 close\r\nmisc 12345678 AB/CD / Live\r\nrock 0a0b0c0d Live Album\r\n.\r\n", true,
         "misc 12345678 AB/CD|Live;rock 0a0b0c0d |Live Album"},
        {"slash_in_the_artist", "200 rock 0a0b0c0d AC/DC / Back in Black\r\n", true,
         "rock 0a0b0c0d AC/DC|Back in Black"},
        {"lines_end_in_lf", "211 close\nrock 0a0b0c0d A / B\njazz 0a0b0c0e C / D\n.\n", true,
         "rock 0a0b0c0d A|B;jazz 0a0b0c0e C|D"},
        {"list_without_matches", "211 close\r\n.\r\n", false, ""},
        {"server_error", "500 Command syntax error\r\n", false, ""},
        {"last_line_cut", "210 exact\r\nrock 00000001 A / B\r\nrock 00000002 C / D", true,
         "rock 00000001 A|B"},
        {"status_only", "200", false, ""},
        {"malformed_status", "xyz rock 0a0b0c0d A / B\r\n", false, ""},
        {"category_without_id", "210 exact\r\nrock\r\n.\r\n", false, ""},
    };
    CCDDB client;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CCDDBQueryResultArray results;
        EXPECT_EQ(client.ParseQueryReply(c.body, results) != FALSE, c.ok);
        std::string got;
        char id[16];
        for (INT_PTR i = 0; i < results.GetSize(); ++i) {
            std::snprintf(id, sizeof id, "%08x", static_cast<unsigned>(results[i].m_dwDiscId));
            got += (i ? ";" : "") + results[i].m_strCategory.str() + " " + id + " " +
                   results[i].m_strDiscArtist.str() + "|" + results[i].m_strDiscTitle.str();
        }
        EXPECT_EQ(got, c.matches);
    }
}

TEST(CddbReplies, SiteLines)
{
    struct Case {
        const char* name;
        int level;
        const char* line;
        bool ok;
        const char* expected; // host protocol port path north lat east long "description"
    } cases[] = {
        {"level5", 5, "cddb.example http 80 /~cddb/cddb.cgi N037.23 W122.01 Some  Place", true,
         "cddb.example http 80 /~cddb/cddb.cgi 1 2243 0 7321 Some  Place"},
        {"south_east_no_description", 5, "h cddbp 8880 - S012.30 E001.05", true,
         "h cddbp 8880 - 0 750 1 65 "},
        {"short_latitude", 5, "h http 80 /p N37.23 W122.01 x", false, ""},
        {"wrong_letter", 5, "h http 80 /p X037.23 W122.01 x", false, ""},
        {"missing_column", 5, "h http 80 /p N037.23", false, ""},
        {"level2_columns", 2, "h 8880 N037.23 W122.01 Two words", true,
         "h  8880  1 2243 0 7321 Two words"},
        {"level5_line_at_level2", 2, "cddb.example http 80 /~cddb/cddb.cgi N037.23 W122.01 x",
         false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CCDDB client;
        client.SetProtocolLevel(c.level);
        CCDDBSite site(TRUE);
        ASSERT_EQ(client.ParseSiteLine(c.line, site) != FALSE, c.ok);
        if (!c.ok)
            continue;
        CString got;
        got.Format("%s %s %d %s %d %d %d %d %s", site.m_strHost.GetString(),
                   site.m_strProtocol.GetString(), site.m_nPort, site.m_strCgiPath.GetString(),
                   site.m_bNorth, site.m_nLatitudeMinutes, site.m_bEast, site.m_nLongitudeMinutes,
                   site.m_strDescription.GetString());
        EXPECT_EQ(got.str(), c.expected);
    }
}

TEST(CddbReplies, ListsStatAndMotd)
{
    CCDDB client;
    CCDDBSiteArray sites;
    ASSERT_TRUE(client.ParseSitesReply(
        "210 OK\r\na http 80 /x N001.00 E002.00 A\r\nbroken\r\nb http 80 /x S001.00 W002.00 B\r\n"
        ".\r\n",
        sites));
    ASSERT_EQ(sites.GetSize(), 2);
    EXPECT_EQ(sites[1].m_strHost, "b");
    EXPECT_FALSE(client.ParseSitesReply("401 no\r\n", sites));

    CStringArray categories;
    ASSERT_TRUE(client.ParseLsCatReply("210 OK\r\nblues\r\n\r\nrock\r\n.\r\n", categories));
    EXPECT_EQ(Join(categories), "blues|rock");

    CString motd;
    ASSERT_TRUE(client.ParseMotdReply("210 Last modified\r\nHello\r\nWorld\r\n.\r\n", motd));
    EXPECT_EQ(motd, "Hello\r\nWorld\r\n");

    const char* stat = "210 OK, status information follows\r\n"
                       "Server status:\r\n"
                       "    current proto: 3\r\n    max proto: 6\r\n"
                       "    gets: no\r\n    updates: yes\r\n    posting: yes\r\n"
                       "    quotes: no\r\n    current users: 7\r\n    max users: 100\r\n"
                       "    strip ext: yes\r\n"
                       "Database entries: 42\r\n"
                       "Database entries by category:\r\n    rock: 40\r\n    jazz: 2\r\n"
                       "Pending File transmissions:\r\n    (none)\r\n"
                       ".\r\n";
    CCDDBStatus status;
    ASSERT_TRUE(client.ParseStatReply(stat, status));
    EXPECT_EQ(status.m_nCurrentProtocol, 3);
    EXPECT_EQ(status.m_nMaxProtocol, 6);
    EXPECT_EQ(status.m_bGets, 0);
    EXPECT_EQ(status.m_bUpdates, 1);
    EXPECT_EQ(status.m_bStripExt, 1);
    EXPECT_EQ(status.m_nMaxUsers, 100);
    EXPECT_EQ(status.m_nDatabaseEntries, 42);
    EXPECT_EQ(Join(status.m_arrCategoryNames), "rock|jazz");
    EXPECT_EQ(Join(status.m_arrCategoryCounts), "40,2");
    EXPECT_EQ(status.m_arrPendingNames.GetSize(), 0);
    CCDDBStatus bad;
    EXPECT_FALSE(client.ParseStatReply("210 OK\r\n    gets: maybe\r\n.\r\n", bad));
}

TEST(CddbReplies, ReadReplyNeedsAListStatusAndARecord)
{
    CCDDB client;
    CCDDBRecord record;
    const std::string record_text = cddb_test::BaseRecord();
    EXPECT_TRUE(
        client.ParseReadReply(CString("210 rock 04018e02\r\n" + record_text + ".\r\n"), record));
    EXPECT_EQ(record.m_strDiscTitle, "Title");
    EXPECT_FALSE(client.ParseReadReply(CString("401 rock 04018e02 No such CD\r\n"), record));
    EXPECT_FALSE(client.ParseReadReply(CString("210 rock 04018e02\r\n# xmcd\r\n.\r\n"), record));
}
