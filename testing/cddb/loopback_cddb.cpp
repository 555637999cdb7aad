// The loopback CDDB server: command parsing and canned freedb-style answers.
#include "testing/cddb/loopback_cddb.h"

#include "testing/base64.h"

#include <cstdio>
#include <sstream>
#include <stdexcept>

namespace testing_cddb
{

using testing_http::MakeReply;
using testing_http::Reply;
using testing_http::Request;

LoopbackCddbServer::LoopbackCddbServer(unsigned short port)
    : m_http(std::make_unique<testing_http::LoopbackHttpServer>(
          [this](const Request& r) { return Handle(r); }, port))
{
}

void LoopbackCddbServer::RequireProxyCredentials(const std::string& user,
                                                 const std::string& password)
{
    m_proxyCredentials = "Basic " + Base64(user + ":" + password);
}

std::string LoopbackCddbServer::Command(const Request& request)
{
    const size_t cmd = request.target.find("cmd=");
    if (cmd == std::string::npos)
        return "";
    std::string words = request.target.substr(cmd + 4);
    words = words.substr(0, words.find('&'));
    for (char& c : words)
        if (c == '+')
            c = ' ';
    return words;
}

Reply LoopbackCddbServer::Handle(const Request& request)
{
    Reply reply;
    if (m_hook && m_hook(request, reply))
        return reply;
    if (!m_proxyCredentials.empty()) {
        if (request.target.rfind("http://", 0) != 0 ||
            request.Header("Proxy-Authorization") != m_proxyCredentials)
            return MakeReply(407, "<html><body>Proxy authentication required</body></html>",
                             "Proxy-Authenticate: Basic realm=\"loopback\"\r\n");
    }
    if (request.method == "POST")
        return MakeReply(200, request.Header("Discid").empty()
                                  ? "500 Missing Discid\r\n"
                                  : "200 OK, submission has been sent.\r\n");
    try {
        return MakeReply(200, Answer(Command(request)));
    } catch (const std::exception&) { // an id that is no number
        return MakeReply(200, "500 Command syntax error.\r\n");
    }
}

std::string LoopbackCddbServer::Answer(const std::string& command) const
{
    std::istringstream in(command);
    std::string w1, w2;
    in >> w1 >> w2;
    std::ostringstream out;
    if (w1 == "sites") {
        out << "210 OK, site information follows (until terminating `.')\r\n";
        for (const std::string& line : m_sites)
            out << line << "\r\n";
        out << ".\r\n";
    } else if (w1 == "cddb" && w2 == "query") {
        std::string idText;
        in >> idText;
        const unsigned id = std::stoul(idText, nullptr, 16);
        std::vector<const Disc*> exact, close;
        for (const Disc& d : m_discs) {
            if (d.id == id)
                exact.push_back(&d);
            else if (d.closeTo == id)
                close.push_back(&d);
        }
        char idBuf[16];
        auto line = [&](const Disc* d) {
            std::snprintf(idBuf, sizeof idBuf, "%08x", d->id);
            return d->category + " " + idBuf + " " + d->artistTitle;
        };
        if (exact.size() == 1) {
            out << "200 " << line(exact[0]) << "\r\n";
        } else if (!exact.empty() || !close.empty()) {
            out << (exact.empty() ? "211 Found inexact matches, list follows (until terminating "
                                    "`.')\r\n"
                                  : "210 Found exact matches, list follows (until terminating "
                                    "`.')\r\n");
            for (const Disc* d : exact.empty() ? close : exact)
                out << line(d) << "\r\n";
            out << ".\r\n";
        } else {
            out << "202 No match for disc ID " << idText << ".\r\n";
        }
    } else if (w1 == "cddb" && w2 == "read") {
        std::string category, idText;
        in >> category >> idText;
        for (const Disc& d : m_discs) {
            if (d.category == category && d.id == std::stoul(idText, nullptr, 16)) {
                out << "210 " << category << " " << idText
                    << " CD database entry follows (until terminating `.')\r\n"
                    << d.xmcd << ".\r\n";
                return out.str();
            }
        }
        out << "401 " << category << " " << idText << " No such CD entry in database.\r\n";
    } else {
        out << "500 Unrecognized command.\r\n";
    }
    return out.str();
}

} // namespace testing_cddb
