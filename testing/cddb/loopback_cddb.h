// A small CDDB server over HTTP on 127.0.0.1 for tests, answering as public freedb servers do:
// GET /~cddb/cddb.cgi?cmd=...&hello=...&proto=N with a status line and, for lists, a "."
// end marker; POST /~cddb/submit.cgi for submissions. It can also stand in for an HTTP proxy
// that checks Basic credentials, and a hook lets a test answer any request its own way.
#pragma once

#include "testing/base64.h"
#include "testing/http/loopback_http.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace testing_cddb
{

struct Disc {
    std::string category;
    unsigned id = 0;
    std::string artistTitle; // the query line's "artist / title"
    std::string xmcd;        // the read reply's record, lines ending with CR LF
    unsigned closeTo = 0;    // also an inexact match for this id when not 0
};

class LoopbackCddbServer
{
public:
    // Returns true when it filled the reply itself.
    using Hook = std::function<bool(const testing_http::Request&, testing_http::Reply&)>;

    explicit LoopbackCddbServer(unsigned short port = 0);

    void AddDisc(const Disc& disc) { m_discs.push_back(disc); }
    void SetSites(const std::vector<std::string>& lines) { m_sites = lines; }
    void SetHook(Hook hook) { m_hook = std::move(hook); }
    // From now on requests must come as a proxy gets them: an absolute URL and these Basic
    // credentials; others get 407 with an HTML page.
    void RequireProxyCredentials(const std::string& user, const std::string& password);

    unsigned short Port() const { return m_http->Port(); }
    std::vector<testing_http::Request> Requests() const { return m_http->Requests(); }

    // The command words of a request ("cddb query 04018e02 2 150 15000 400"), "" if none.
    static std::string Command(const testing_http::Request& request);

private:
    testing_http::Reply Handle(const testing_http::Request& request);
    std::string Answer(const std::string& command) const;

    std::vector<Disc> m_discs;
    std::vector<std::string> m_sites;
    Hook m_hook;
    std::string m_proxyCredentials; // "Basic ..." when acting as a proxy
    std::unique_ptr<testing_http::LoopbackHttpServer> m_http;
};

//! Standard Base64 with padding.
using testing_text::Base64;

} // namespace testing_cddb
