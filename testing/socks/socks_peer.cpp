// The loopback SOCKS peer over Winsock.
#include "testing/socks/socks_peer.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <stdexcept>

namespace testing_socks
{

LoopbackSocksPeer::LoopbackSocksPeer(const Behaviour& behaviour) : m_behaviour(behaviour)
{
    WSADATA data;
    WSAStartup(MAKEWORD(2, 2), &data);
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    if (s == INVALID_SOCKET || bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        listen(s, 4) != 0)
        throw std::runtime_error("cannot listen on 127.0.0.1");
    int len = sizeof addr;
    getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
    m_port = ntohs(addr.sin_port);
    m_listener = s;
    m_thread = std::thread([this] { Serve(); });
}

LoopbackSocksPeer::~LoopbackSocksPeer()
{
    m_stop = true;
    closesocket(static_cast<SOCKET>(m_listener));
    m_thread.join();
    WSACleanup();
}

std::string LoopbackSocksPeer::Received() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

void LoopbackSocksPeer::Serve()
{
    while (!m_stop) {
        SOCKET client = accept(static_cast<SOCKET>(m_listener), nullptr, nullptr);
        if (client == INVALID_SOCKET)
            break;
        DWORD timeout = 5000;
        setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout),
                   sizeof timeout);
        Handle(client);
        closesocket(client);
    }
}

bool LoopbackSocksPeer::Read(uintptr_t client, size_t n, std::string& out)
{
    out.clear();
    char buf[256];
    while (out.size() < n) {
        int got = recv(static_cast<SOCKET>(client), buf,
                       static_cast<int>(std::min<size_t>(n - out.size(), sizeof buf)), 0);
        if (got <= 0)
            return false;
        out.append(buf, got);
    }
    std::lock_guard<std::mutex> lock(m_mutex);
    m_received += out;
    return true;
}

void LoopbackSocksPeer::Handle(uintptr_t clientHandle)
{
    const SOCKET client = static_cast<SOCKET>(clientHandle);
    const Behaviour& b = m_behaviour;
    auto sendBytes = [client](const std::string& bytes) {
        send(client, bytes.data(), static_cast<int>(bytes.size()), 0);
    };
    std::string in;
    std::string reply;
    if (b.version == 4) {
        // VN CD DSTPORT(2) DSTIP(4) USERID... NUL
        if (!Read(clientHandle, 8, in))
            return;
        do {
            if (!Read(clientHandle, 1, in))
                return;
        } while (in[0] != '\0');
        reply = std::string("\0", 1) + static_cast<char>(b.replyCode < 0 ? 90 : b.replyCode);
        reply += std::string(6, '\0');
    } else {
        if (!Read(clientHandle, 2, in))
            return;
        std::string methods;
        if (!Read(clientHandle, static_cast<unsigned char>(in[1]), methods))
            return;
        const char wanted = b.user.empty() ? 0 : 2;
        const char chosen = methods.find(wanted) != std::string::npos ? wanted : '\xFF';
        sendBytes(std::string("\x05", 1) + chosen);
        if (chosen == '\xFF')
            return;
        if (chosen == 2) {
            std::string user, password;
            if (!Read(clientHandle, 2, in) ||
                !Read(clientHandle, static_cast<unsigned char>(in[1]), user) ||
                !Read(clientHandle, 1, in) ||
                !Read(clientHandle, static_cast<unsigned char>(in[0]), password))
                return;
            const bool ok = user == b.user && password == b.password;
            sendBytes(std::string("\x01", 1) + (ok ? '\0' : '\x01'));
            if (!ok)
                return;
        }
        // VER CMD RSV ATYP=3 LEN NAME PORT(2)
        if (!Read(clientHandle, 5, in))
            return;
        std::string rest;
        if (!Read(clientHandle, static_cast<unsigned char>(in[4]) + 2, rest))
            return;
        reply = std::string("\x05", 1) + static_cast<char>(b.replyCode < 0 ? 0 : b.replyCode);
        reply += '\0';
        reply += static_cast<char>(b.addressType);
        if (b.addressType == 1)
            reply += std::string("\x7f\0\0\x01", 4);
        else if (b.addressType == 4)
            reply += std::string(15, '\0') + '\x01';
        else
            reply += std::string("\x09localhost", 10);
        reply += std::string("\x04\xd2", 2);
    }
    if (b.closeBeforeReply)
        return;
    if (b.silent) {
        char buf[64];
        while (!m_stop && recv(client, buf, sizeof buf, 0) > 0) {
        }
        return;
    }
    sendBytes(reply);
    char buf[512];
    for (int n; (n = recv(client, buf, sizeof buf, 0)) > 0;)
        send(client, buf, n, 0);
}

} // namespace testing_socks
