// Proxy answers judged byte for byte: lengths that must fit the reply buffer and statuses that
// must not overflow, beside the socket tests that run whole exchanges.
#include "catalogue/socket/proxy_replies.h"

#include <gtest/gtest.h>

TEST(ProxyReplies, Socks5ReplyLengthFitsItsBuffer)
{
    struct Case {
        uint8_t type, nameLength;
        int total;
    } const cases[] = {{1, 0, 10}, {3, 0, 7}, {3, 255, 262}, {4, 0, 22},
                       {0, 0, 0},  {2, 9, 0}, {5, 0, 0},     {0xFF, 0xFF, 0}};
    for (const Case& c : cases) {
        const uint8_t head[5] = {5, 0, 0, c.type, c.nameLength};
        EXPECT_EQ(proxy_replies::Socks5ReplyLength(head), c.total) << int(c.type);
    }
}

TEST(ProxyReplies, HttpConnectStatusAndHeadEnd)
{
    struct Case {
        const char* head;
        int status;
    } const cases[] = {
        {"HTTP/1.0 200 Connection established\r\n\r\n", 200},
        {"HTTP/1.1 407 Proxy Authentication Required\r\n\r\n", 407},
        {"OK\r\n\r\n", 200}, // no status line: taken at its word
        {"HTTP/1.0 99999999999999999999999 Big\r\n\r\n", -1},
        {"HTTP/1.0 -200 Negative\r\n\r\n", -1},
        {"HTTP/1.0 x\r\n\r\n", 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(proxy_replies::HttpConnectStatus(c.head), c.status) << c.head;
    EXPECT_TRUE(proxy_replies::HttpHeadComplete("HTTP/1.0 200 OK\r\n\r\n"));
    EXPECT_FALSE(proxy_replies::HttpHeadComplete("HTTP/1.0 200 OK\r\n"));
    EXPECT_FALSE(proxy_replies::HttpHeadComplete("\n\n"));
}
