// The CDDB client's commands against the loopback CDDB server, and its handling of replies
// that are slow, cut short, endless, huge, hold NUL bytes or make no sense.
#include "catalogue/cddb/cddb.h"
#include "cddb_test_util.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

using cddb_test::Join;
using testing_cddb::LoopbackCddbServer;
using testing_http::Reply;
using testing_http::Request;

namespace
{
class CddbClient : public ::testing::Test
{
protected:
    CddbClient()
    {
        cddb_test::AddDiscs(m_server);
        m_site.m_strHost = "127.0.0.1";
        m_site.m_nPort = m_server.Port();
        m_client.SetUserName("A. B");
        m_client.SetHostName("my-pc");
        cddb_test::SetPositions(m_positions, {{0, 2, 0}, {3, 20, 0}, {6, 40, 0}});
    }

    // The failure's code and response text, or {0, ""}.
    template <class F> std::pair<DWORD, std::string> Failure(F command)
    {
        try {
            command();
            return {0, ""};
        } catch (CCDDBException* e) {
            std::pair<DWORD, std::string> result(e->m_dwError, e->m_strResponse.str());
            EXPECT_EQ(e->m_bMciError, 0);
            e->Delete();
            return result;
        }
    }

    LoopbackCddbServer m_server;
    CCDDBSite m_site{TRUE};
    CCDDB m_client;
    CCDDBTrackPositionArray m_positions;
};

std::string Matches(const CCDDBQueryResultArray& results)
{
    std::string out;
    char id[16];
    for (INT_PTR i = 0; i < results.GetSize(); ++i) {
        std::snprintf(id, sizeof id, "%08x", static_cast<unsigned>(results[i].m_dwDiscId));
        out += (i ? ";" : "") + results[i].m_strCategory.str() + " " + id + " " +
               results[i].m_strDiscArtist.str() + "/" + results[i].m_strDiscTitle.str();
    }
    return out;
}

const std::string kHead = "HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\n";

Reply Raw(const std::string& raw, int delayMs = 0)
{
    Reply r;
    r.raw = raw;
    r.delayMs = delayMs;
    return r;
}
} // namespace

TEST_F(CddbClient, QuerySendsOneExactRequestAndReadsTheMatches)
{
    CCDDBQueryResultArray results;
    m_client.CmdQuery(m_site, 0x04018e02, m_positions, results);
    EXPECT_EQ(Matches(results), "rock 04018e02 Artist/Title");
    const auto requests = m_server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(requests[0].method + " " + requests[0].target,
              "GET /~cddb/cddb.cgi?cmd=cddb+query+04018e02+2+150+15000+400"
              "&hello=A__B+my_pc+RizIDAD+1.31&proto=5");
    EXPECT_EQ(requests[0].headers, "");

    m_client.CmdQuery(m_site, 0x0b0b0b0b, m_positions, results);
    EXPECT_EQ(Matches(results), "jazz 1a2b3c4d Other/Album;misc 2b3c4d5e Third/One");
    m_client.CmdQuery(m_site, 0x99999999, m_positions, results);
    EXPECT_EQ(results.GetSize(), 0);
}

TEST_F(CddbClient, ReadReturnsTheRecord)
{
    CCDDBRecord record;
    m_client.CmdRead(m_site, 0x1a2b3c4d, "jazz", record);
    EXPECT_EQ(record.m_dwDiscId, 0x1a2b3c4du);
    EXPECT_EQ(record.m_strDiscArtist, "Other");
    EXPECT_EQ(record.m_strDiscTitle, "Album");
    EXPECT_EQ(Join(record.m_arrTrackTitles), "One|Two");
    EXPECT_EQ(Join(record.m_arrExtendedTrackData), "|Live");
    EXPECT_EQ(record.m_nYear, 1999);
    EXPECT_EQ(record.m_strGenre, "Rock");

    // No such entry: a single line, then the server hangs up.
    const auto failure = Failure([&] { m_client.CmdRead(m_site, 0x12345678, "rock", record); });
    EXPECT_EQ(failure.first, 0x80040000u | CDDB_E_CLOSED_EARLY);
    EXPECT_NE(failure.second.find("401 rock 12345678"), std::string::npos);
    EXPECT_NE(failure.second.find("HTTP/1.0 200"), std::string::npos);
}

TEST_F(CddbClient, SitesAndSubmission)
{
    CCDDBSiteArray sites;
    m_client.CmdSites(m_site, sites);
    ASSERT_EQ(sites.GetSize(), 3);
    EXPECT_EQ(sites[2].m_strHost, "cddb3.example");
    EXPECT_EQ(sites[2].m_nPort, 8080);
    EXPECT_EQ(sites[0].m_strDescription, "First place");

    CCDDBRecord record;
    m_client.CmdRead(m_site, 0x04018e02, "rock", record);
    CCDDBSite submit(FALSE);
    submit.m_strHost = "127.0.0.1";
    submit.m_nPort = m_server.Port();
    m_client.CmdSubmit(submit, "rock", "me@example.invalid", record, "a note", FALSE);
    const Request posted = m_server.Requests().back();
    EXPECT_EQ(posted.method + " " + posted.target, "POST /~cddb/submit.cgi");
    EXPECT_EQ(posted.headers, "Category: rock\r\nDiscid: 04018e02\r\n"
                              "User-Email: me@example.invalid\r\nSubmit-Mode: test\r\n"
                              "Charset: ISO-8859-1\r\nX-Cddbd-Note: a note\r\n"
                              "Content-Length: " +
                                  std::to_string(posted.body.size()));
    EXPECT_EQ(posted.body, m_client.FormatXmcdRecord(record).str());

    m_server.SetHook([](const Request&, Reply& r) {
        r = testing_http::MakeReply(200, "501 Entry rejected\r\n");
        return true;
    });
    EXPECT_EQ(Failure([&] { m_client.CmdSubmit(submit, "rock", "m", record, "", TRUE); }).first,
              static_cast<DWORD>(CDDB_E_SUBMIT));
}

TEST_F(CddbClient, CategoriesStatusAndMessageOfTheDay)
{
    m_server.SetHook([](const Request& request, Reply& r) {
        const std::string command = LoopbackCddbServer::Command(request);
        std::string body = "500 Unrecognized\r\n";
        if (command == "cddb lscat")
            body = "210 OK, category list follows\r\nblues\r\nrock\r\n.\r\n";
        else if (command == "stat")
            body = "210 OK\r\n    current proto: 3\r\n    max proto: 6\r\n.\r\n";
        else if (command == "motd")
            body = "210 Last modified: today\r\nWelcome\r\n.\r\n";
        r = testing_http::MakeReply(200, body);
        return true;
    });
    CStringArray categories;
    m_client.CmdLsCat(m_site, categories);
    EXPECT_EQ(Join(categories), "blues|rock");
    CCDDBStatus status;
    m_client.CmdStat(m_site, status);
    EXPECT_EQ(status.m_nMaxProtocol, 6);
    CString motd;
    m_client.CmdMotd("127.0.0.1", "/~cddb/cddb.cgi", m_server.Port(), motd);
    EXPECT_EQ(motd, "Welcome\r\n");

    m_server.SetHook([](const Request&, Reply& r) {
        r = testing_http::MakeReply(200, "500 Unrecognized\r\n.\r\n");
        return true;
    });
    EXPECT_EQ(Failure([&] { m_client.CmdLsCat(m_site, categories); }).first,
              static_cast<DWORD>(CDDB_E_LSCAT));
    EXPECT_EQ(Failure([&] { m_client.CmdStat(m_site, status); }).first,
              static_cast<DWORD>(CDDB_E_STAT));
    EXPECT_EQ(Failure([&] { m_client.CmdMotd(m_site, motd); }).first,
              static_cast<DWORD>(CDDB_E_MOTD));
}

TEST_F(CddbClient, ThroughAProxyWithBasicCredentials)
{
    m_server.RequireProxyCredentials("user", "pass word");
    CCDDBSite site(TRUE);
    site.m_strHost = "cddb.example";
    m_client.SetProxy("127.0.0.1", m_server.Port(), "user", "pass word");
    CCDDBQueryResultArray results;
    m_client.CmdQuery(site, 0x04018e02, m_positions, results);
    EXPECT_EQ(results.GetSize(), 1);
    const Request sent = m_server.Requests().back();
    EXPECT_EQ(sent.target.rfind("http://cddb.example/~cddb/cddb.cgi?cmd=cddb+query+", 0), 0u);
    EXPECT_EQ(sent.Header("Host"), "cddb.example");

    m_client.SetProxy("127.0.0.1", m_server.Port(), "user", "wrong");
    const auto failure =
        Failure([&] { m_client.CmdQuery(site, 0x04018e02, m_positions, results); });
    EXPECT_EQ(failure.first, static_cast<DWORD>(CDDB_E_QUERY));
    EXPECT_NE(failure.second.find("407"), std::string::npos);
}

TEST_F(CddbClient, BadRepliesFailWithTheCommandsCode)
{
    const DWORD closed = 0x80040000u | CDDB_E_CLOSED_EARLY;
    // Cases that must succeed get a timeout far above any pause of theirs; the ones that must
    // time out get a short one and a server that stays silent (or keeps talking) until the
    // case is over, so a slow machine changes how long a case takes, never its result.
    const int kGenerous = 10000, kShort = 500;
    std::atomic<bool> caseOver{false};
    auto holdOpen = [&caseOver] {
        for (int i = 0; i < 3000 && !caseOver; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
    };
    struct Case {
        const char* name;
        bool read; // the read command (mode 0) instead of the query (mode 1)
        int timeoutMs;
        std::function<Reply()> reply;
        DWORD code;
        const char* matches; // the query's matches on success
    } cases[] = {
        {"slow_but_in_time", false, kGenerous,
         [] { return Raw(kHead + "200 rock 0a0b0c0d Artist / Title\r\n", 200); }, 0,
         "rock 0a0b0c0d Artist/Title"},
        {"status_line_in_two_pieces", false, kGenerous,
         [] {
             Reply r = Raw(kHead + "200 rock 0a0b");
             r.stream = [](const auto& send) {
                 std::this_thread::sleep_for(std::chrono::milliseconds(200));
                 send("0c0d Artist / Title\r\n");
             };
             return r;
         },
         0, "rock 0a0b0c0d Artist/Title"},
        {"end_marker_split", false, kGenerous,
         [&] {
             Reply r = Raw(kHead + "211 close\r\nrock 0a0b0c0d A / B\r\n.");
             r.stream = [&](const auto& send) {
                 std::this_thread::sleep_for(std::chrono::milliseconds(200));
                 send("\r\n");
                 holdOpen(); // the marker ends the reply, not the connection
             };
             return r;
         },
         0, "rock 0a0b0c0d A/B"},
        {"lines_end_in_lf", false, kGenerous,
         [&] {
             Reply r = Raw(kHead + "211 close\nrock 0a0b0c0d AC/DC / Back in Black\n.\n");
             r.stream = [&](const auto&) { holdOpen(); };
             return r;
         },
         0, "rock 0a0b0c0d AC/DC/Back in Black"},
        {"nul_bytes_dropped", false, kGenerous,
         [] { return Raw(kHead + std::string("200 rock 0a0b0c0d A\0B / T\r\n", 27)); }, 0,
         "rock 0a0b0c0d AB/T"},
        {"no_reply_in_time", false, kShort,
         [&] {
             Reply r = Raw(kHead);
             r.stream = [&](const auto&) { holdOpen(); };
             return r;
         },
         CDDB_E_QUERY, ""},
        {"not_a_byte_in_time", false, kShort,
         [&] {
             Reply r = Raw("");
             r.stream = [&](const auto&) { holdOpen(); };
             return r;
         },
         CDDB_E_QUERY, ""},
        {"ends_mid_line", false, kGenerous,
         [] { return Raw(kHead + "211 close\r\nrock 0a0b"); }, closed, ""},
        {"never_ends", false, kShort,
         [&] {
             Reply r = Raw(kHead + "211 close\r\n");
             r.stream = [&](const auto& send) {
                 while (!caseOver && send("rock 0a0b0c0d A / B\r\n"))
                     std::this_thread::sleep_for(std::chrono::milliseconds(50));
             };
             return r;
         },
         CDDB_E_QUERY, ""},
        {"huge", true, kGenerous,
         [&] {
             Reply r = Raw(kHead + "210 rock 0a0b0c0d\r\n");
             r.stream = [&](const auto& send) {
                 const std::string chunk(64 * 1024, 'x');
                 while (!caseOver && send(chunk)) {
                 }
             };
             return r;
         },
         CDDB_E_READ, ""},
        {"malformed_status", false, kGenerous, [] { return Raw(kHead + "Hello there\r\n"); },
         CDDB_E_QUERY, ""},
        {"server_error", false, kGenerous, [] { return Raw(kHead + "500 Internal error\r\n"); },
         CDDB_E_QUERY, ""},
        {"list_without_matches", false, kGenerous,
         [] { return Raw(kHead + "211 close\r\n.\r\n"); }, CDDB_E_QUERY, ""},
        {"no_blank_line_after_head", true, kGenerous,
         [] { return Raw("HTTP/1.0 200 OK\r\n210 rock 0a0b0c0d\r\n# xmcd\r\n.\r\n"); },
         CDDB_E_READ, ""},
        {"read_of_a_broken_record", true, kGenerous,
         [] { return Raw(kHead + "210 rock 0a0b0c0d\r\n# xmcd\r\nDTITLE=x\r\n.\r\n"); },
         CDDB_E_READ, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        caseOver = false;
        {
            // A server of its own per case: a slow answer must not hold up the next case.
            LoopbackCddbServer server;
            server.SetHook([&](const Request&, Reply& r) {
                r = c.reply();
                return true;
            });
            m_site.m_nPort = server.Port();
            m_client.SetTimeout(c.timeoutMs);
            CCDDBQueryResultArray results;
            CCDDBRecord record;
            const auto failure = Failure([&] {
                if (c.read)
                    m_client.CmdRead(m_site, 0x0a0b0c0d, "rock", record);
                else
                    m_client.CmdQuery(m_site, 0x0a0b0c0d, m_positions, results);
            });
            caseOver = true; // lets the server's connection end before the server goes
            EXPECT_EQ(failure.first, c.code);
            if (std::string(c.name) == "not_a_byte_in_time") {
                EXPECT_EQ(failure.second, ""); // the exception carries what arrived: nothing
            }
            if (c.code == 0) {
                EXPECT_EQ(Matches(results), c.matches);
            }
        }
    }
}

TEST_F(CddbClient, SocketFailuresBecomeSystemCodes)
{
    CCDDBSite nowhere(TRUE);
    nowhere.m_strHost = "127.0.0.1";
    {
        LoopbackCddbServer gone;
        nowhere.m_nPort = gone.Port();
    }
    CCDDBSiteArray sites;
    try {
        m_client.CmdSites(nowhere, sites);
        FAIL() << "connected to a closed port";
    } catch (CCDDBException* e) {
        EXPECT_EQ(e->m_dwError, 0x80070000u | WSAECONNREFUSED);
        EXPECT_EQ(e->m_strResponse, "");
        e->Delete();
    }
    // The client's own codes say what happened; system codes have the system's text.
    EXPECT_EQ(CCDDBException(CDDB_E_QUERY, "reply").GetErrorText(),
              "The server's answer to the query request was incomplete or not understood.");
    EXPECT_EQ(CCDDBException(CDDB_E_READ, "").GetErrorText(),
              "No answer from the server to the read request in time.");
    EXPECT_EQ(CCDDBException(CDDB_E_SITES, CString('x', CCDDB::kMaxReplyBytes + 1)).GetErrorText(),
              "The server's answer to the list of servers request was too long.");
    EXPECT_EQ(CCDDBException(CDDB_E_CLOSED_EARLY, CDDB_FACILITY_CLIENT, "x").GetErrorText(),
              "The server closed the connection before its answer was complete.");
    char buffer[16];
    EXPECT_TRUE(CCDDBException(CDDB_E_CLOSED_EARLY, CDDB_FACILITY_CLIENT, "x")
                    .GetErrorMessage(buffer, sizeof buffer));
    EXPECT_NE(CCDDBException(ERROR_FILE_NOT_FOUND, CDDB_FACILITY_SYSTEM, "").GetErrorText(), "");
}
