// Fuzz target: SOCKS4, SOCKS5 and HTTP CONNECT proxy answers as a hostile proxy may send them.
#include "catalogue/socket/proxy_replies.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    uint8_t socks4[8] = {};
    std::memcpy(socks4, data, size < 8 ? size : 8);
    proxy_replies::Socks4Granted(socks4);

    uint8_t method[2] = {};
    std::memcpy(method, data, size < 2 ? size : 2);
    proxy_replies::Socks5MethodAccepted(method, size % 2 == 0);
    proxy_replies::Socks5WantsPassword(method);
    proxy_replies::Socks5PasswordAccepted(method);

    uint8_t head[5] = {};
    std::memcpy(head, data, size < 5 ? size : 5);
    const int total = proxy_replies::Socks5ReplyLength(head);
    if (total != 0 && (total < 7 || total > 262))
        std::abort(); // the reply must fit its 262-byte buffer
    proxy_replies::Socks5Granted(head);

    const CString reply(reinterpret_cast<const char*>(data), static_cast<int>(size));
    proxy_replies::HttpHeadComplete(reply);
    const int status = proxy_replies::HttpConnectStatus(reply);
    if (status < -1 || status > 999)
        std::abort();
    return 0;
}
