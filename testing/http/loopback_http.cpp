// Loopback HTTP server for tests, over Winsock.
#include "testing/http/loopback_http.h"

#include <winsock2.h>
#include <ws2tcpip.h>

#include <algorithm>
#include <cctype>
#include <stdexcept>

namespace testing_http {

namespace {

struct WinsockInit {
    WinsockInit()
    {
        WSADATA data;
        WSAStartup(MAKEWORD(2, 2), &data);
    }
};

std::string Lower(std::string s)
{
    std::transform(s.begin(), s.end(), s.begin(), [](unsigned char c) { return std::tolower(c); });
    return s;
}

} // namespace

std::string Request::Header(const std::string& name) const
{
    std::string want = Lower(name) + ":";
    size_t pos = 0;
    while (pos < headers.size()) {
        size_t end = headers.find("\r\n", pos);
        if (end == std::string::npos)
            end = headers.size();
        std::string line = headers.substr(pos, end - pos);
        if (Lower(line.substr(0, want.size())) == want) {
            std::string value = line.substr(want.size());
            value.erase(0, value.find_first_not_of(' '));
            return value;
        }
        pos = end + 2;
    }
    return "";
}

Reply MakeReply(int status, const std::string& body, const std::string& extraHeaders)
{
    Reply r;
    r.raw = "HTTP/1.0 " + std::to_string(status) + " X\r\nContent-Length: " +
            std::to_string(body.size()) + "\r\nConnection: close\r\n" + extraHeaders + "\r\n" +
            body;
    return r;
}

LoopbackHttpServer::LoopbackHttpServer(Handler handler, unsigned short port)
    : m_handler(std::move(handler))
{
    static WinsockInit init;
    SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    addr.sin_port = htons(port);
    BOOL reuse = TRUE;
    setsockopt(s, SOL_SOCKET, SO_REUSEADDR, reinterpret_cast<const char*>(&reuse), sizeof reuse);
    if (s == INVALID_SOCKET || bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr) != 0 ||
        listen(s, 16) != 0) {
        if (s != INVALID_SOCKET)
            closesocket(s);
        throw std::runtime_error("cannot listen on 127.0.0.1:" + std::to_string(port));
    }
    int len = sizeof addr;
    getsockname(s, reinterpret_cast<sockaddr*>(&addr), &len);
    m_port = ntohs(addr.sin_port);
    m_listener = s;
    m_thread = std::thread([this] { Serve(); });
}

LoopbackHttpServer::~LoopbackHttpServer()
{
    m_stop = true;
    closesocket(static_cast<SOCKET>(m_listener));
    m_thread.join();
}

std::string LoopbackHttpServer::Url(const std::string& path) const
{
    return "http://127.0.0.1:" + std::to_string(m_port) + path;
}

std::vector<Request> LoopbackHttpServer::Requests() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_requests;
}

void LoopbackHttpServer::Serve()
{
    while (!m_stop) {
        SOCKET client = accept(static_cast<SOCKET>(m_listener), nullptr, nullptr);
        if (client == INVALID_SOCKET)
            break;
        HandleConnection(client);
        closesocket(client);
    }
}

void LoopbackHttpServer::HandleConnection(uintptr_t clientHandle)
{
    SOCKET client = static_cast<SOCKET>(clientHandle);
    DWORD timeout = 5000;
    setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, reinterpret_cast<const char*>(&timeout),
               sizeof timeout);
    std::string data;
    size_t headerEnd;
    char buf[4096];
    while ((headerEnd = data.find("\r\n\r\n")) == std::string::npos) {
        int n = recv(client, buf, sizeof buf, 0);
        if (n <= 0)
            return;
        data.append(buf, n);
        // Not HTTP (a TLS handshake, say): hang up at once.
        if (!std::isupper(static_cast<unsigned char>(data[0])))
            return;
    }
    Request req;
    size_t lineEnd = data.find("\r\n");
    std::string line = data.substr(0, lineEnd);
    size_t sp1 = line.find(' '), sp2 = line.rfind(' ');
    req.method = line.substr(0, sp1);
    req.target = line.substr(sp1 + 1, sp2 - sp1 - 1);
    req.headers = headerEnd > lineEnd ? data.substr(lineEnd + 2, headerEnd - lineEnd - 2) : "";
    req.body = data.substr(headerEnd + 4);
    size_t length = std::strtoul(req.Header("Content-Length").c_str(), nullptr, 10);
    while (req.body.size() < length) {
        int n = recv(client, buf, sizeof buf, 0);
        if (n <= 0)
            break;
        req.body.append(buf, n);
    }
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_requests.push_back(req);
    }
    Reply reply = m_handler(req);
    if (reply.delayMs > 0)
        Sleep(reply.delayMs);
    auto sendAll = [client](const std::string& bytes) {
        size_t sent = 0;
        while (sent < bytes.size()) {
            int n = send(client, bytes.data() + sent, static_cast<int>(bytes.size() - sent), 0);
            if (n <= 0)
                return false;
            sent += n;
        }
        return true;
    };
    if (sendAll(reply.raw) && reply.stream)
        reply.stream(sendAll);
    // The whole request was read, so closing now is graceful: the reply is not lost.
    shutdown(client, SD_SEND);
}

} // namespace testing_http
