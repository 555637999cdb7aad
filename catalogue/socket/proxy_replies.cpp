// Proxy answers judged within their bytes.
#include "catalogue/socket/proxy_replies.h"

#include <cstdlib>

namespace proxy_replies
{

bool Socks4Granted(const uint8_t (&reply)[8])
{
    return reply[0] == 0 && reply[1] == 90;
}

bool Socks5MethodAccepted(const uint8_t (&answer)[2], bool bOfferedPassword)
{
    return answer[0] == 5 && (answer[1] == 0 || (answer[1] == 2 && bOfferedPassword));
}

int Socks5ReplyLength(const uint8_t* head)
{
    // VER, REP, RSV, ATYP, then the bound address and port. Proxies answer with an IPv4 (1)
    // or IPv6 (4) address as often as with a name (3), so all three are taken.
    switch (head[3]) {
    case 1:
        return 4 + 4 + 2;
    case 3:
        return 5 + head[4] + 2;
    case 4:
        return 4 + 16 + 2;
    default:
        return 0;
    }
}

bool HttpHeadComplete(const CString& head)
{
    return head.GetLength() >= 4 && head.Right(4) == "\r\n\r\n";
}

int HttpConnectStatus(const CString& head)
{
    const int space = head.Find(' ');
    if (space < 0)
        return 200;
    // strtol, not atoi: a status of many digits is out of range, not undefined.
    const long status = std::strtol(head.GetString() + space + 1, nullptr, 10);
    return status < 0 || status > 999 ? -1 : static_cast<int>(status);
}

} // namespace proxy_replies
