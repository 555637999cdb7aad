// A small HTTP/1.0 server on 127.0.0.1 for tests: one thread, one connection at a time.
// Each request is recorded and answered by the test's handler with a raw reply.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testing_http {

struct Request {
    std::string method;
    std::string target; // as sent: a path, or an absolute URL when asked through a proxy
    std::string headers; // the header lines, CRLF-separated
    std::string body;
    //! The value of a header (case-insensitive name), "" when absent.
    std::string Header(const std::string& name) const;
};

//! The whole reply as bytes; a reply may be cut short or empty to test failures.
struct Reply {
    std::string raw;
    int delayMs = 0; // sleep before answering
    // Called after raw is sent, to send more at the test's pace: send() returns false once
    // the peer is gone. The connection closes when it returns.
    std::function<void(const std::function<bool(const std::string&)>& send)> stream;
};

//! "HTTP/1.0 <status> X\r\nContent-Length: n\r\n\r\n<body>"
Reply MakeReply(int status, const std::string& body, const std::string& extraHeaders = "");

class LoopbackHttpServer
{
public:
    using Handler = std::function<Reply(const Request&)>;

    //! Port 0 picks a free one. Throws std::runtime_error when the port cannot be bound.
    explicit LoopbackHttpServer(Handler handler, unsigned short port = 0);
    LoopbackHttpServer(const LoopbackHttpServer&) = delete;
    LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;
    ~LoopbackHttpServer();

    unsigned short Port() const { return m_port; }
    std::string Url(const std::string& path) const;
    std::vector<Request> Requests() const;

private:
    void Serve();
    void HandleConnection(uintptr_t client);

    Handler m_handler;
    uintptr_t m_listener;
    unsigned short m_port = 0;
    std::atomic<bool> m_stop{false};
    mutable std::mutex m_mutex;
    std::vector<Request> m_requests;
    std::thread m_thread;
};

} // namespace testing_http
