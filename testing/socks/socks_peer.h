// A SOCKS4 or SOCKS5 proxy on 127.0.0.1 for tests, one connection at a time. After a granted
// request it echoes what it receives, standing in for the target. Misbehaviour is chosen per
// peer: refusals, replies of another address type, early close, silence.
#pragma once

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace testing_socks
{

struct Behaviour {
    int version = 5;
    std::string user, password;    // SOCKS5: required credentials when user is not empty
    int replyCode = -1;            // -1: success (90 for SOCKS4, 0 for SOCKS5)
    int addressType = 1;           // SOCKS5 reply: 1 IPv4, 3 name, 4 IPv6, other: as given
    bool closeBeforeReply = false; // read the request, then hang up
    bool silent = false;           // read the request, then say nothing until the client leaves
};

class LoopbackSocksPeer
{
public:
    explicit LoopbackSocksPeer(const Behaviour& behaviour);
    LoopbackSocksPeer(const LoopbackSocksPeer&) = delete;
    LoopbackSocksPeer& operator=(const LoopbackSocksPeer&) = delete;
    ~LoopbackSocksPeer();

    unsigned short Port() const { return m_port; }
    // Every byte the client sent during the handshakes, in order.
    std::string Received() const;

private:
    void Serve();
    void Handle(uintptr_t client);
    bool Read(uintptr_t client, size_t n, std::string& out);

    Behaviour m_behaviour;
    uintptr_t m_listener = 0;
    unsigned short m_port = 0;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::string m_received;
    std::thread m_thread;
};

} // namespace testing_socks
