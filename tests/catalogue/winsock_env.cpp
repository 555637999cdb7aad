// Winsock is started by the application at start-up; the test program does the same.
#include <winsock2.h>

namespace
{
struct WinsockStartup {
    WinsockStartup()
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
    ~WinsockStartup() { WSACleanup(); }
} theWinsockStartup;
} // namespace
