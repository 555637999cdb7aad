// What SOCKS4, SOCKS5 and HTTP CONNECT proxies answer, judged apart from the socket that
// carried it, so that the judging is portable, tested and fuzzed. A proxy's answer is outside
// input: every function reads only the bytes it is given.
#pragma once

#include "framework/core.h"

#include <cstddef>
#include <cstdint>

namespace proxy_replies
{

// SOCKS4: the 8-byte reply grants the connection (VN 0, CD 90).
bool Socks4Granted(const uint8_t (&reply)[8]);

// SOCKS5 method choice (VER, METHOD): version 5 and "no authentication", or user name and
// password when the client offered them.
bool Socks5MethodAccepted(const uint8_t (&answer)[2], bool bOfferedPassword);
// SOCKS5 method 2 chosen: the client sends its user name and password next.
inline bool Socks5WantsPassword(const uint8_t (&answer)[2]) { return answer[1] == 2; }
// RFC 1929 answer (VER, STATUS): the user name and password were accepted.
inline bool Socks5PasswordAccepted(const uint8_t (&answer)[2]) { return answer[1] == 0; }

// SOCKS5 connect reply: from its first 5 bytes (head holds them) (VER, REP, RSV, ATYP and the first address
// byte) the whole reply's length, IPv4 10, name 7 plus its length, IPv6 22; 0 for an address
// type no proxy may send. At most 262, the size of the reply buffer.
int Socks5ReplyLength(const uint8_t* head);
// The connect reply grants the connection (REP 0).
inline bool Socks5Granted(const uint8_t* reply) { return reply[1] == 0; }

// HTTP CONNECT: the head is complete once it ends with an empty line.
bool HttpHeadComplete(const CString& head);
// The status the head's first line gives, after its first blank; 200 when the head has no
// blank (a proxy that answers without a status line is taken at its word).
int HttpConnectStatus(const CString& head);

} // namespace proxy_replies
