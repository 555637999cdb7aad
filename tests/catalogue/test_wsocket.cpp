// The socket layer against peers on 127.0.0.1: streams, datagrams, connect with timeout, and
// the SOCKS4, SOCKS5 and HTTP CONNECT proxies.
#include "catalogue/socket/wsocket.h"
#include "testing/cddb/loopback_cddb.h"
#include "testing/http/loopback_http.h"
#include "testing/socks/socks_peer.h"

#include <gtest/gtest.h>

#include <string>

using testing_socks::Behaviour;
using testing_socks::LoopbackSocksPeer;

namespace
{
// The code of the CWSocketException the call throws, or 0.
template <class F> int CodeOf(F call)
{
    try {
        call();
        return 0;
    } catch (CWSocketException* e) {
        const int code = e->m_nError;
        e->Delete();
        return code;
    }
}

// A listening stream socket on 127.0.0.1 and a free port.
struct Listener {
    Listener()
    {
        socket.m_strBindAddress = "127.0.0.1";
        socket.CreateAndBind(0);
        socket.Listen();
        CString host;
        socket.GetSockName(host, port);
    }
    CWSocket socket;
    UINT port = 0;
};

UINT ClosedPort()
{
    Listener gone;
    return gone.port; // closed when it goes out of scope
}

std::string Echo(CWSocket& socket, const std::string& text)
{
    socket.Send(text.data(), static_cast<int>(text.size()));
    std::string back;
    char buf[64];
    while (back.size() < text.size() && socket.IsReadable(5000)) {
        const int n = socket.Receive(buf, sizeof buf);
        if (n == 0)
            break;
        back.append(buf, n);
    }
    return back;
}
} // namespace

TEST(WSocket, StreamConnectSendReceiveAndClose)
{
    Listener listener;
    for (const char* host : {"127.0.0.1", "localhost"}) {
        SCOPED_TRACE(host);
        CWSocket client;
        client.Create();
        // "localhost" may resolve to ::1 first: the IPv4 socket moves on to 127.0.0.1.
        client.Connect(host, listener.port);
        CWSocket server;
        listener.socket.Accept(server);
        EXPECT_FALSE(server.IsReadable(0));
        client.Send("hello", 5);
        char buf[16] = {};
        ASSERT_TRUE(server.IsReadable(5000));
        EXPECT_EQ(server.Receive(buf, sizeof buf), 5);
        EXPECT_STREQ(buf, "hello");
        CString peer;
        UINT peerPort = 0;
        client.GetPeerName(peer, peerPort);
        EXPECT_EQ(peerPort, listener.port);
        server.Close();
        EXPECT_FALSE(server.IsCreated());
        EXPECT_TRUE(client.IsReadable(1500));
        EXPECT_EQ(client.Receive(buf, sizeof buf), 0);
    }
}

TEST(WSocket, FailuresCarryTheirCodes)
{
    const UINT closed = ClosedPort();
    CWSocket s;
    s.Create();
    EXPECT_EQ(CodeOf([&] { s.Connect("127.0.0.1", closed); }), WSAECONNREFUSED);
    CWSocket both;
    both.Create();
    EXPECT_EQ(CodeOf([&] { both.Connect("localhost", closed); }), WSAECONNREFUSED);
    CWSocket b;
    b.Create();
    EXPECT_EQ(CodeOf([&] { b.Bind(0, "300.1.2.3"); }), WSOCKET_E_BAD_ADDRESS_TEXT);
    CWSocket t;
    EXPECT_EQ(CodeOf([&] { t.CreateAndConnectWithTimeout("127.0.0.1", closed, 5000); }),
              WSAECONNREFUSED);
}

TEST(WSocket, ConnectWithTimeoutAndHandles)
{
    Listener listener;
    CWSocket client;
    client.CreateAndConnectWithTimeout("127.0.0.1", listener.port, 5000, TRUE);
    CWSocket server;
    sockaddr_in from = {};
    int length = sizeof from;
    listener.socket.Accept(server, reinterpret_cast<SOCKADDR*>(&from), &length);
    EXPECT_EQ(CWSocket::AddressToString(reinterpret_cast<SOCKADDR*>(&from)), "127.0.0.1");
    // Blocking again: a receive waits for the data instead of failing with WSAEWOULDBLOCK.
    server.Send("x", 1);
    char c = 0;
    EXPECT_EQ(client.Receive(&c, 1), 1);

    CWSocket other;
    const SOCKET h = client.DetachHandle();
    EXPECT_FALSE(client.IsCreated());
    other.AttachHandle(h);
    EXPECT_EQ(other.GetHandle(), h);
    EXPECT_TRUE(other.IsWritable(0));
}

TEST(WSocket, ConnectWithTimeoutRunsOut)
{
    // A listener that accepts nothing: once its queue is full, new connections get no answer.
    Listener listener;
    listener.socket.Listen(1);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(static_cast<u_short>(listener.port));
    CWSocket waiting[16];
    int code = 0;
    for (CWSocket& s : waiting) {
        s.Create();
        code = CodeOf([&] {
            s.ConnectWithTimeout(reinterpret_cast<SOCKADDR*>(&addr), sizeof addr, 300, TRUE);
        });
        if (code != 0)
            break;
    }
    EXPECT_EQ(code, WSOCKET_E_CONNECT_TIMEOUT);
}

TEST(WSocket, Datagrams)
{
    CWSocket a, b;
    a.Create(TRUE);
    b.Create(TRUE);
    a.Bind(0, "127.0.0.1");
    b.Bind(0, "127.0.0.1");
    CString host;
    UINT portA = 0, portB = 0;
    a.GetSockName(host, portA);
    b.GetSockName(host, portB);
    EXPECT_EQ(a.SendTo("ping", 4, portB, "127.0.0.1"), 4);
    char buf[16] = {};
    CString from;
    UINT fromPort = 0;
    ASSERT_TRUE(b.IsReadable(5000));
    EXPECT_EQ(b.ReceiveFrom(buf, sizeof buf, from, fromPort), 4);
    EXPECT_STREQ(buf, "ping");
    EXPECT_EQ(from, "127.0.0.1");
    EXPECT_EQ(fromPort, portA);
}

TEST(WSocket, AddressToText)
{
    sockaddr_in6 v6 = {};
    v6.sin6_family = AF_INET6;
    v6.sin6_addr.s6_addr[15] = 1;
    const SOCKADDR* p6 = reinterpret_cast<const SOCKADDR*>(&v6);
    if (theWSocketIPv6Helper.m_pfnIpv6AddressToString) {
        EXPECT_EQ(CWSocket::AddressToString(p6), "::1");
    }
    const auto keep = theWSocketIPv6Helper.m_pfnIpv6AddressToString;
    theWSocketIPv6Helper.m_pfnIpv6AddressToString = nullptr;
    EXPECT_EQ(CodeOf([&] { CWSocket::AddressToString(p6); }), WSOCKET_E_NO_IPV6_FORMATTER);
    theWSocketIPv6Helper.m_pfnIpv6AddressToString = keep;
    SOCKADDR other = {};
    other.sa_family = AF_IPX;
    EXPECT_EQ(CodeOf([&] { CWSocket::AddressToString(&other); }), WSOCKET_E_FAMILY);
}

TEST(WSocket, Socks4)
{
    struct Case {
        const char* name;
        Behaviour behaviour;
        int code;
    } cases[] = {
        {"granted", {4}, 0},
        {"rejected", {4, "", "", 91}, WSOCKET_E_PROXY_FAILED},
        {"closed", {4, "", "", -1, 1, true}, WSOCKET_E_PROXY_CLOSED},
        {"silent", {4, "", "", -1, 1, false, true}, WSOCKET_E_PROXY_TIMEOUT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoopbackSocksPeer peer(c.behaviour);
        CWSocket s;
        s.Create();
        EXPECT_EQ(
            CodeOf([&] { s.ConnectViaSocks4("127.0.0.1", 0x1234, "127.0.0.1", peer.Port(), 300); }),
            c.code);
        if (c.code != 0) {
            EXPECT_FALSE(s.IsCreated());
            continue;
        }
        EXPECT_EQ(peer.Received(), std::string("\x04\x01\x12\x34\x7f\x00\x00\x01\x00", 9));
        EXPECT_EQ(Echo(s, "through"), "through");
    }
}

TEST(WSocket, Socks5)
{
    const std::string request = std::string("\x05\x01\x00\x03\x06target\x00\x50", 13);
    struct Case {
        const char* name;
        Behaviour behaviour;
        const char* user;
        const char* password;
        int code;
        std::string received; // the handshake bytes, when it succeeds
    } cases[] = {
        {"no_auth", {5}, nullptr, nullptr, 0, std::string("\x05\x01\x00", 3) + request},
        {"user_password",
         {5, "me", "secret"},
         "me",
         "secret",
         0,
         std::string("\x05\x02\x00\x02\x01\x02me\x06secret", 15) + request},
        {"user_offered_but_not_needed",
         {5},
         "me",
         "secret",
         0,
         std::string("\x05\x02\x00\x02", 4) + request},
        {"wrong_password", {5, "me", "secret"}, "me", "guess", WSOCKET_E_SOCKS5_AUTH, ""},
        {"auth_needed_none_offered",
         {5, "me", "secret"},
         nullptr,
         nullptr,
         WSOCKET_E_SOCKS5_NO_METHOD,
         ""},
        {"refused", {5, "", "", 5}, nullptr, nullptr, WSOCKET_E_PROXY_FAILED, ""},
        {"reply_with_name",
         {5, "", "", -1, 3},
         nullptr,
         nullptr,
         0,
         std::string("\x05\x01\x00", 3) + request},
        {"reply_with_ipv6",
         {5, "", "", -1, 4},
         nullptr,
         nullptr,
         0,
         std::string("\x05\x01\x00", 3) + request},
        {"reply_of_unknown_type",
         {5, "", "", -1, 7},
         nullptr,
         nullptr,
         WSOCKET_E_SOCKS5_TOO_LONG,
         ""},
        {"closed", {5, "", "", -1, 1, true}, nullptr, nullptr, WSOCKET_E_PROXY_CLOSED, ""},
        {"silent", {5, "", "", -1, 1, false, true}, nullptr, nullptr, WSOCKET_E_PROXY_TIMEOUT, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoopbackSocksPeer peer(c.behaviour);
        CWSocket s;
        EXPECT_EQ(CodeOf([&] {
                      s.ConnectViaSocks5("target", 80, "127.0.0.1", peer.Port(), c.user, c.password,
                                         300);
                  }),
                  c.code);
        if (c.code != 0) {
            EXPECT_FALSE(s.IsCreated());
            continue;
        }
        EXPECT_EQ(peer.Received(), c.received);
        EXPECT_EQ(Echo(s, "tunnel"), "tunnel");
    }
    CWSocket s;
    const std::string longName(256, 'u');
    LoopbackSocksPeer peer({5, "me", "secret"});
    EXPECT_EQ(CodeOf([&] {
                  s.ConnectViaSocks5("target", 80, "127.0.0.1", peer.Port(), longName.c_str(), "pw",
                                     300);
              }),
              WSOCKET_E_SOCKS5_TOO_LONG);
}

TEST(WSocket, HttpConnectProxy)
{
    struct Case {
        const char* name;
        std::string head;
        int code;
    } cases[] = {
        {"established", "HTTP/1.0 200 Connection established\r\n\r\n", 0},
        {"needs_credentials", "HTTP/1.0 407 Proxy Authentication Required\r\n\r\n",
         WSOCKET_E_HTTP_PROXY_STATUS},
        {"head_without_space", "OK\r\n\r\n", 0},
        {"cut_short", "HTTP/1.0 200 Conn", WSOCKET_E_PROXY_CLOSED},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        testing_http::LoopbackHttpServer proxy([&](const testing_http::Request&) {
            testing_http::Reply r;
            r.raw = c.head;
            return r;
        });
        CWSocket s;
        CString head;
        EXPECT_EQ(CodeOf([&] {
                      s.ConnectViaHttpProxy("cddb.example", 8880, "127.0.0.1", proxy.Port(), head,
                                            "me", "pw", 2000, "Sonoria/3.70");
                  }),
                  c.code);
        if (c.code == 0) {
            EXPECT_EQ(head.str(), c.head);
        }
        const auto requests = proxy.Requests();
        ASSERT_EQ(requests.size(), 1u);
        EXPECT_EQ(requests[0].method, "CONNECT");
        EXPECT_EQ(requests[0].target, "cddb.example:8880");
        EXPECT_EQ(requests[0].Header("Proxy-authorization"),
                  "Basic " + testing_cddb::Base64("me:pw"));
        EXPECT_EQ(requests[0].Header("User-Agent"), "Sonoria/3.70");
    }
}
