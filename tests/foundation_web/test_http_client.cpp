// CHttpClient through the real WinINet against loopback servers.
#include "foundation/web/http_client.h"
#include "testing/http/loopback_http.h"

#include "testing/base64.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using testing_http::LoopbackHttpServer;
using testing_http::MakeReply;
using testing_http::Reply;
using testing_http::Request;

namespace {

DWORD AccessType(HINTERNET h)
{
    char buffer[1024] = {};
    DWORD size = sizeof buffer;
    if (!InternetQueryOptionA(h, INTERNET_OPTION_PROXY, buffer, &size))
        return 0xFFFFFFFF;
    return reinterpret_cast<INTERNET_PROXY_INFO*>(buffer)->dwAccessType;
}

using testing_text::Base64;

} // namespace

TEST(HttpClient, ProxyTextChoosesTheAccessType)
{
    struct Case {
        const char* proxy;
        DWORD access;
    } cases[] = {{nullptr, INTERNET_OPEN_TYPE_DIRECT},
                 {"", INTERNET_OPEN_TYPE_PRECONFIG},
                 {"proxy.example.invalid:3128", INTERNET_OPEN_TYPE_PROXY}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.proxy ? c.proxy : "(null)");
        CHttpClient client("test", c.proxy, nullptr);
        ASSERT_NE(client.m_hInternet, nullptr);
        DWORD access = AccessType(client.m_hInternet);
        if (c.access == INTERNET_OPEN_TYPE_PRECONFIG)
            // The system's settings resolve to direct or to a configured proxy.
            EXPECT_TRUE(access == INTERNET_OPEN_TYPE_DIRECT || access == INTERNET_OPEN_TYPE_PROXY);
        else
            EXPECT_EQ(access, c.access);
    }
}

TEST(HttpClient, GetReturnsTheStatusAndReadsTheBodyIntoTheBuffer)
{
    std::string big(1000, 'x');
    LoopbackHttpServer server([&](const Request& r) {
        if (r.target == "/big")
            return MakeReply(200, big);
        if (r.target == "/small")
            return MakeReply(200, "hello");
        return MakeReply(404, "none");
    });

    CHttpClient client("agent-a", nullptr, nullptr);
    EXPECT_EQ(client.Get(server.Url("/big").c_str(), INTERNET_FLAG_RELOAD), 200u);
    char buffer[1024];
    std::memset(buffer, 'q', sizeof buffer);
    DWORD length = sizeof buffer;
    EXPECT_TRUE(client.ReadResponse(buffer, length));
    EXPECT_EQ(length, 896u) << "cut after the piece that reaches capacity - 129";
    EXPECT_EQ(std::string(buffer, 896), std::string(896, 'x'));
    EXPECT_EQ(buffer[896], 0);
    EXPECT_EQ(buffer[1023], 0) << "the whole buffer is zero-filled first";
    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].Header("User-Agent"), "agent-a");

    CHttpClient small("a", nullptr, nullptr);
    EXPECT_EQ(small.Get(server.Url("/small").c_str(), INTERNET_FLAG_RELOAD), 200u);
    length = sizeof buffer;
    EXPECT_TRUE(small.ReadResponse(buffer, length));
    EXPECT_EQ(length, 5u);
    EXPECT_STREQ(buffer, "hello");

    CHttpClient missing("a", nullptr, nullptr);
    EXPECT_EQ(missing.Get(server.Url("/nothing").c_str(), INTERNET_FLAG_RELOAD), 404u);
}

TEST(HttpClient, AGetWithoutAnswerReturnsZeroAndKeepsTheError)
{
    unsigned short closedPort;
    {
        LoopbackHttpServer server([](const Request&) { return MakeReply(200, ""); });
        closedPort = server.Port();
    }
    for (std::string url : {"http://127.0.0.1:" + std::to_string(closedPort) + "/x",
                            std::string("http://nothing.sonoria.invalid/x")}) {
        SCOPED_TRACE(url);
        CHttpClient client("a", nullptr, nullptr);
        EXPECT_EQ(client.Get(url.c_str(), INTERNET_FLAG_RELOAD), 0u);
        EXPECT_NE(client.m_dwError, 0u);
        char buffer[256];
        DWORD length = sizeof buffer;
        EXPECT_FALSE(client.ReadResponse(buffer, length));
        EXPECT_EQ(length, sizeof buffer) << "length untouched without a request";
    }
}

TEST(HttpClient, PostSendsAFormBodyInPlainHttpOnPort80)
{
    LoopbackHttpServer server([](const Request&) { return MakeReply(200, "0"); }, 80);
    struct Case {
        const char* body;
        int length;
        const char* sent;
    } cases[] = {{"cdid=abc&xml=%3Cx%3E", -1, "cdid=abc&xml=%3Cx%3E"},
                 {"abcdef", 3, "abc"},
                 {"", -1, ""}};
    size_t seen = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.body);
        CHttpClient client("Sonoria", nullptr, nullptr);
        ASSERT_TRUE(client.Post("http://127.0.0.1/i.php?x=1", c.body, c.length));
        char reply[256];
        DWORD length = sizeof reply;
        EXPECT_TRUE(client.ReadResponse(reply, length));
        EXPECT_STREQ(reply, "0");
        auto requests = server.Requests();
        ASSERT_EQ(requests.size(), ++seen);
        const Request& r = requests.back();
        EXPECT_EQ(r.method, "POST");
        EXPECT_EQ(r.target, "/i.php?x=1") << "the query stays part of the path";
        EXPECT_EQ(r.body, c.sent);
        EXPECT_EQ(r.Header("Content-Type"), "application/x-www-form-urlencoded");
    }
}

TEST(HttpClient, PostToAnotherPortIsAskedForOverTls)
{
    LoopbackHttpServer server([](const Request&) { return MakeReply(200, "0"); });
    CHttpClient client("Sonoria", nullptr, nullptr);
    // Our plain server cannot answer a TLS handshake: the send fails, and no plain POST arrives.
    EXPECT_FALSE(client.Post(server.Url("/i.php").c_str(), "a=1", -1));
    for (const auto& r : server.Requests())
        EXPECT_NE(r.method, "POST");
}

TEST(HttpClient, GetsThroughAProxyThatChecksCredentials)
{
    const std::string good = "Basic " + Base64("user:secret");
    LoopbackHttpServer proxy([&](const Request& r) {
        if (r.Header("Proxy-Authorization") != good)
            return MakeReply(407, "auth", "Proxy-Authenticate: Basic realm=\"test\"\r\n");
        return MakeReply(200, "via proxy " + r.target);
    });
    std::string proxyText = "127.0.0.1:" + std::to_string(proxy.Port());
    struct Case {
        const char* user;
        const char* password;
        DWORD status;
    } cases[] = {{"user", "secret", 200}, {"user", "wrong", 407}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.password);
        CHttpClient client("Sonoria", proxyText.c_str(), nullptr);
        EXPECT_TRUE(client.SetProxyCredentials(c.user, c.password));
        EXPECT_EQ(client.Get("http://db.sonoria.invalid/q.php?cdid=1", INTERNET_FLAG_RELOAD),
                  c.status);
        if (c.status == 200) {
            char reply[256];
            DWORD length = sizeof reply;
            client.ReadResponse(reply, length);
            // The proxy sees the absolute URL (Wine adds the default port).
            std::string text = reply;
            EXPECT_EQ(text.rfind("via proxy http://db.sonoria.invalid", 0), 0u) << text;
            EXPECT_EQ(text.substr(text.size() - 13), "/q.php?cdid=1") << text;
        }
    }
    CHttpClient failed("a", "127.0.0.1:1", nullptr);
    failed.Close();
    EXPECT_FALSE(failed.SetProxyCredentials("u", "p")) << "no handle, no credentials";
}
