// The freedb facade against the loopback CDDB server on 127.0.0.1:80 (the facade's fixed
// port), directly and through a proxy that checks Basic credentials.
#include "catalogue/cddb/freedb_mgr.h"
#include "catalogue/socket/wsocket.h"
#include "cddb_test_util.h"

#include <gtest/gtest.h>

using cddb_test::Join;
using testing_cddb::LoopbackCddbServer;
using testing_http::Reply;
using testing_http::Request;

namespace
{
class FreedbMgr : public ::testing::Test
{
protected:
    FreedbMgr() : m_mgr("Sonoria", "3.70")
    {
        cddb_test::SetPositions(m_positions, {{0, 2, 0}, {3, 20, 0}, {6, 40, 0}});
        m_mgr.SetTimeout(5000);
    }

    CFreedbMgr m_mgr;
    CCDDBTrackPositionArray m_positions;
};
} // namespace

TEST_F(FreedbMgr, QueryAndReadReturnsTheRecordsThatCanBeRead)
{
    LoopbackCddbServer server(80);
    cddb_test::AddDiscs(server);
    CCDDBRecordArray records;
    ASSERT_EQ(m_mgr.QueryAndRead("127.0.0.1", 0x04018e02, m_positions, records), 1);
    EXPECT_EQ(m_mgr.GetLastErrorText(), "");
    CCDDB reference;
    CCDDBRecord expected;
    ASSERT_TRUE(reference.ParseXmcdRecord(expected, CString(cddb_test::BaseRecord())));
    EXPECT_EQ(reference.FormatXmcdRecord(records[0]), reference.FormatXmcdRecord(expected));
    const auto requests = server.Requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_NE(requests[0].target.find("&hello="), std::string::npos);
    EXPECT_NE(requests[0].target.find("+Sonoria+3.70&proto=5"), std::string::npos);
    EXPECT_EQ(LoopbackCddbServer::Command(requests[1]), "cddb read rock 04018e02");

    // Two inexact matches, the second unreadable: one record.
    EXPECT_EQ(m_mgr.QueryAndRead("127.0.0.1", 0x0b0b0b0b, m_positions, records), 1);
    EXPECT_EQ(records[0].m_strDiscTitle, "Album");
    // No match: 0, no read, no error text.
    const size_t before = server.Requests().size();
    EXPECT_EQ(m_mgr.QueryAndRead("127.0.0.1", 0x99999999, m_positions, records), 0);
    EXPECT_EQ(server.Requests().size(), before + 1);
    EXPECT_EQ(m_mgr.GetLastErrorText(), "");
    EXPECT_EQ(records.GetSize(), 0);

    CCDDBQueryResultArray matches;
    const int minutes[] = {0, 3, 6}, seconds[] = {2, 20, 40}, frames[] = {0, 0, 0};
    EXPECT_EQ(m_mgr.QueryFromArrays("127.0.0.1", 0x0b0b0b0b, 3, minutes, seconds, frames, matches),
              2);
    EXPECT_EQ(m_mgr.ComputeDiscId(m_positions), 0x04018E02u);
}

TEST_F(FreedbMgr, SitesAndSubmission)
{
    LoopbackCddbServer server(80);
    cddb_test::AddDiscs(server);
    CStringArray hosts;
    ASSERT_EQ(m_mgr.GetSites("127.0.0.1", hosts), 3);
    EXPECT_EQ(Join(hosts), "cddb1.example|cddb2.example|cddb3.example");

    CCDDBRecord record;
    ASSERT_EQ(m_mgr.Read("127.0.0.1", 0x04018e02, "rock", record), 1);
    ASSERT_EQ(m_mgr.Submit("127.0.0.1", "rock", "me@example.invalid", record, "note"), 1);
    const Request posted = server.Requests().back();
    EXPECT_EQ(posted.target, "/~cddb/submit.cgi");
    EXPECT_EQ(posted.Header("Submit-Mode"), "submit");
    CCDDB writer;
    EXPECT_EQ(posted.body, writer.FormatXmcdRecord(record).str());

    // A failure leaves the list as it was.
    server.SetHook([](const Request&, Reply& r) {
        r = testing_http::MakeReply(200, "500 Unknown\r\n");
        return true;
    });
    EXPECT_EQ(m_mgr.GetSites("127.0.0.1", hosts), -1);
    EXPECT_EQ(hosts.GetSize(), 3);
    EXPECT_EQ(m_mgr.GetLastErrorText(),
              "The server closed the connection before its answer was complete.");
}

TEST_F(FreedbMgr, ThroughTheProxy)
{
    LoopbackCddbServer proxy;
    cddb_test::AddDiscs(proxy);
    proxy.RequireProxyCredentials("me", "secret");
    m_mgr.SetProxyHost("127.0.0.1");
    m_mgr.SetProxyPort(std::to_string(proxy.Port()).c_str());
    m_mgr.SetProxyUser("me");
    m_mgr.SetProxyPassword("secret");
    CCDDBRecordArray records;
    EXPECT_EQ(m_mgr.QueryAndRead("cddb.example", 0x04018e02, m_positions, records), 1);
    EXPECT_EQ(proxy.Requests().back().target.rfind("http://cddb.example/~cddb/cddb.cgi?", 0), 0u);

    m_mgr.SetProxyPassword("wrong");
    EXPECT_EQ(m_mgr.QueryAndRead("cddb.example", 0x04018e02, m_positions, records), -1);
    EXPECT_EQ(m_mgr.GetLastErrorText().Left(40), "The server refused the query request: HT");
    EXPECT_EQ(records.GetSize(), 0);

    // An empty port text means port 0: the connection fails with the system's error.
    m_mgr.SetProxyPort("");
    EXPECT_EQ(m_mgr.QueryAndRead("cddb.example", 0x04018e02, m_positions, records), -1);
}

TEST_F(FreedbMgr, FailuresGiveMinusOneAndTheText)
{
    CCDDBRecordArray records;
    // Nobody listens on port 80: the system's message for a refused connection.
    EXPECT_EQ(m_mgr.QueryAndRead("127.0.0.1", 0x04018e02, m_positions, records), -1);
    EXPECT_EQ(m_mgr.GetLastErrorText(), CWSocketException(WSAECONNREFUSED).GetErrorText());

    EXPECT_NE(m_mgr.GetLastErrorText(), "");

    // The second server answers when the first fails (here: the same server, which refuses
    // the first request only).
    LoopbackCddbServer server(80);
    cddb_test::AddDiscs(server);
    int calls = 0;
    server.SetHook([&](const Request&, Reply& r) {
        if (calls++ > 0)
            return false;
        r = testing_http::MakeReply(200, "500 Busy\r\n");
        return true;
    });
    EXPECT_EQ(
        m_mgr.QueryAndReadWithFallback("127.0.0.1", "localhost", 0x04018e02, m_positions, records),
        1);
    EXPECT_EQ(calls, 3);

    // Failures of the client's own making say what happened.
    struct Case {
        const char* name;
        std::string raw;
        const char* text;
    } cases[] = {
        {"closed mid-answer", "HTTP/1.0 200 OK\r\n\r\n211 close\r\nrock 0a",
         "The server closed the connection before its answer was complete."},
        {"not an answer", "HTTP/1.0 200 OK\r\n\r\nHello there\r\n",
         "The server's answer to the query request was incomplete or not understood."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        server.SetHook([&](const Request&, Reply& r) {
            r.raw = c.raw;
            return true;
        });
        CCDDBQueryResultArray failed;
        EXPECT_EQ(m_mgr.Query("127.0.0.1", 0x04018e02, m_positions, failed), -1);
        EXPECT_EQ(m_mgr.GetLastErrorText(), c.text);
    }

    // The query waits no longer than the facade's timeout.
    server.SetHook([](const Request&, Reply& r) {
        r.raw = "HTTP/1.0 200 OK\r\n\r\n";
        r.delayMs = 1500;
        return true;
    });
    m_mgr.SetTimeout(300);
    CCDDBQueryResultArray matches;
    EXPECT_EQ(m_mgr.Query("127.0.0.1", 0x04018e02, m_positions, matches), -1);
    EXPECT_EQ(m_mgr.GetLastErrorText(), "No answer from the server to the query request in time.");
}
