// The disc-information service client against a loopback service on 127.0.0.1:80 (plain HTTP
// posts need port 80) and through a loopback proxy: lookups, submissions and result codes.
#include <gtest/gtest.h>

#include <string>

#include "catalogue/model/cd_info.h"
#include "catalogue/service/sonoria_db_mgr.h"
#include "foundation/settings/app_cfg.h"
#include "testing/http/loopback_http.h"

namespace
{

using testing_http::LoopbackHttpServer;
using testing_http::MakeReply;
using testing_http::Reply;
using testing_http::Request;

const char kBase[] = "http://127.0.0.1/";

void MakeDisc(CCDInfo& info, int tracks = 3)
{
    info.SetDiscId(0x1a2b3c4d);
    for (int i = 0; i < tracks; ++i) {
        CCDTrack* t = info.AddNewTrack();
        t->SetFlags(i == 2 ? 4 : 0); // the third entry is a data track
        t->SetStartSector(i * 15000);
        t->SetLengthFrames(i + 1 < tracks ? 15000 : 21000);
    }
}

std::string UrlDecode(const std::string& s)
{
    std::string out;
    for (size_t i = 0; i < s.size(); ++i) {
        if (s[i] == '%' && i + 2 < s.size()) {
            out += static_cast<char>(std::stoi(s.substr(i + 1, 2), nullptr, 16));
            i += 2;
        } else {
            out += s[i];
        }
    }
    return out;
}

// The value of a form field, decoded.
std::string FormField(const std::string& body, const std::string& name)
{
    size_t start = 0;
    while (start <= body.size()) {
        size_t end = body.find('&', start);
        std::string pair =
            body.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (pair.rfind(name + "=", 0) == 0)
            return UrlDecode(pair.substr(name.size() + 1));
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return "(absent)";
}

class ServiceTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        GetAppCfg().SetUseProxy(0);
        GetAppCfg().SetProxyUser("");
    }
    void TearDown() override
    {
        GetAppCfg().SetUseProxy(1);
        GetAppCfg().SetProxyUser("");
        GetAppCfg().SetProxyPwd("");
    }
};

const char kFullAnswer[] =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<cdinfo cdid=\"ignored\">\n"
    " <artist> Caf\xC3\xA9 &amp; Co </artist>\n"
    " <title>Album</title>\n"
    " <year>1999 remaster</year>\n"
    " <genre>Rock</genre>\n"
    " <comment><![CDATA[line1&#xD;&#xA;line2]]></comment>\n"
    " <band>Band</band>\n"
    " <conductor>not read</conductor>\n"
    " <remix>Remix</remix>\n"
    " <composer>Composer</composer>\n"
    " <lyricist>Lyricist</lyricist>\n"
    " <copyright>(c)</copyright>\n"
    " <publisher>Pub</publisher>\n"
    " <partofaset>1/2</partofaset>\n"
    " <contentgroup>Group</contentgroup>\n"
    " <revision>41</revision>\n"
    " <unknown>ignored</unknown>\n"
    " <track num=\"0\">\n"
    "  <title>One</title><extended>Ext</extended><albumtitle>AT</albumtitle><year>2001</year>\n"
    "  <contenttype>Pop</contenttype><artist>Ar</artist><band>B</band>\n"
    "  <conductor>C</conductor><remix>R</remix><length>999</length>\n"
    "  <commentdigest>CD</commentdigest><comment>a &lt;b&gt;</comment><composer>Co</composer>\n"
    "  <lyricist>Ly</lyricist><copyright>Cp</copyright><involvedpeople>IP</involvedpeople>\n"
    "  <publisher>P</publisher><mediatype>MT</mediatype><mood>M</mood><cddbid>no</cddbid>\n"
    "  <isrc>ISRC</isrc><originalalbumtitle>OAT</originalalbumtitle>\n"
    "  <originalartist>OA</originalartist><originallyricist>OL</originallyricist>\n"
    "  <synchronizedlyrics>SL</synchronizedlyrics>\n"
    "  <unsynchronizedlyrics>UL</unsynchronizedlyrics><partofaset>PS</partofaset>\n"
    "  <contentgroup>CG</contentgroup><position>3</position>\n"
    "  <nested><title>Deep one</title></nested>\n"
    " </track>\n"
    " <TRACK NUM=\"1\"><TITLE>Two</TITLE><comment>x</comment><comment>last wins</comment></TRACK>\n"
    " <track num=\"9\"><title>nowhere</title></track>\n"
    "</cdinfo>\n";

TEST_F(ServiceTest, LookupFillsTheDiscFieldForField)
{
    LoopbackHttpServer server([](const Request&) { return MakeReply(200, kFullAnswer); }, 80);
    CCDInfo info;
    MakeDisc(info);
    info.SetConductor("kept");
    info.GetTrack(0)->m_strCDId = "kept";
    info.SetModified();
    CSonoriaDBMgr mgr(kBase);
    ASSERT_EQ(mgr.QueryCD(info.GetTocId(), &info), 0);

    ASSERT_EQ(server.Requests().size(), 1u);
    EXPECT_EQ(server.Requests()[0].method, "GET");
    EXPECT_EQ(server.Requests()[0].target,
              "/q.php?cdid=" + std::string(info.GetTocId().GetString()) + "&client=Sonoria");

    EXPECT_STREQ(info.GetArtist(), "Caf\xE9 & Co");
    EXPECT_STREQ(info.GetTitle(), "Album");
    EXPECT_STREQ(info.GetYear(), "1999 remaster");
    EXPECT_STREQ(info.GetGenre(), "Rock");
    EXPECT_STREQ(info.GetExtendedData(), "line1\nline2");
    EXPECT_STREQ(info.GetBand(), "Band");
    EXPECT_STREQ(info.GetConductor(), "kept");
    EXPECT_STREQ(info.GetRemix(), "Remix");
    EXPECT_STREQ(info.GetComposer(), "Composer");
    EXPECT_STREQ(info.GetLyricist(), "Lyricist");
    EXPECT_STREQ(info.GetCopyright(), "(c)");
    EXPECT_STREQ(info.GetPublisher(), "Pub");
    EXPECT_STREQ(info.GetPartOfASet(), "1/2");
    EXPECT_STREQ(info.GetContentGroup(), "Group");
    EXPECT_EQ(info.GetRevision(), 41);

    const CCDTrack* t = info.GetTrack(0);
    const struct {
        CString CAudioTrackInfo::*field;
        const char* value;
    } fields[] = {{&CAudioTrackInfo::m_strTrackTitle, "Deep one"},
                  {&CAudioTrackInfo::m_strTrackExt, "Ext"},
                  {&CAudioTrackInfo::m_strAlbumTitle, "AT"},
                  {&CAudioTrackInfo::m_strYear, "2001"},
                  {&CAudioTrackInfo::m_strContentType, "Pop"},
                  {&CAudioTrackInfo::m_strArtist, "Ar"},
                  {&CAudioTrackInfo::m_strBand, "B"},
                  {&CAudioTrackInfo::m_strConductor, "C"},
                  {&CAudioTrackInfo::m_strRemix, "R"},
                  {&CAudioTrackInfo::m_strCommentDigest, "CD"},
                  {&CAudioTrackInfo::m_strComment, "a <b>"},
                  {&CAudioTrackInfo::m_strComposer, "Co"},
                  {&CAudioTrackInfo::m_strLyricist, "Ly"},
                  {&CAudioTrackInfo::m_strCopyright, "Cp"},
                  {&CAudioTrackInfo::m_strInvolvedPeople, "IP"},
                  {&CAudioTrackInfo::m_strPublisher, "P"},
                  {&CAudioTrackInfo::m_strMediaType, "MT"},
                  {&CAudioTrackInfo::m_strMood, "M"},
                  {&CAudioTrackInfo::m_strCDId, "kept"},
                  {&CAudioTrackInfo::m_strISRC, "ISRC"},
                  {&CAudioTrackInfo::m_strOriginalAlbumTitle, "OAT"},
                  {&CAudioTrackInfo::m_strOriginalArtist, "OA"},
                  {&CAudioTrackInfo::m_strOriginalLyricist, "OL"},
                  {&CAudioTrackInfo::m_strSyncLyric, "SL"},
                  {&CAudioTrackInfo::m_strUnsyncLyric, "UL"},
                  {&CAudioTrackInfo::m_strPartOfASet, "PS"},
                  {&CAudioTrackInfo::m_strContentGroup, "CG"},
                  {&CAudioTrackInfo::m_strTrackPosition, "3"},
                  {&CAudioTrackInfo::m_strAlbumArtist, "Caf\xE9 & Co"}};
    for (const auto& f : fields) {
        SCOPED_TRACE(f.value);
        EXPECT_STREQ(t->*f.field, f.value);
    }
    EXPECT_EQ(t->GetDurationMs(), 0) << "length is not read";
    EXPECT_STREQ(info.GetTrack(1)->m_strTrackTitle, "Two") << "names compared without case";
    EXPECT_STREQ(info.GetTrack(1)->m_strComment, "last wins");
    EXPECT_STREQ(info.GetTrack(1)->m_strAlbumArtist, "Caf\xE9 & Co");
    EXPECT_STREQ(info.GetTrack(2)->m_strAlbumArtist, "") << "only the first n=audio entries";
    EXPECT_FALSE(info.IsModified());
    EXPECT_TRUE(info.MatchesStoredChecksum());
}

TEST_F(ServiceTest, QueryResultCodes)
{
    std::string big = "<cdinfo><artist>Big</artist>" + std::string(100000, ' ') + "</cdinfo>";
    std::string deep = "<cdinfo>";
    for (int i = 0; i < 2000; ++i)
        deep += "<a>";
    deep += "<artist>deep</artist>";
    struct Case {
        const char* name;
        Reply reply;
        int result;
        const char* artist; // after the query
    } const cases[] = {
        {"error 3", MakeReply(200, "<answer><error>3</error></answer>"), 3, "old"},
        {"error with blanks", MakeReply(200, "<error>  6</error>"), 6, "old"},
        {"error without digits", MakeReply(200, "<error>x</error>"), 0, "old"},
        {"error before the disc", MakeReply(200, "<cdinfo><artist>N</artist><error>7</error>"), 7,
         "old"},
        {"not found", MakeReply(404, "<cdinfo><artist>N</artist></cdinfo>"), 10, "old"},
        {"server error", MakeReply(500, "<error>3</error>"), 10, "old"},
        {"no status line", Reply{"", 0}, 10, "old"},
        {"plain OK", MakeReply(200, "OK"), 11, "old"},
        {"empty body", MakeReply(200, ""), 11, "old"},
        {"zero byte before the disc", MakeReply(200, std::string("x\0<cdinfo>", 10)), 11, "old"},
        {"malformed disc", MakeReply(200, "<cdinfo><artist>N</artist"), 0, "old"},
        {"complete element before an error", MakeReply(200, "<artist>Top</artist><cdinfo"), 0,
         "Top"},
        {"oversized, cut", MakeReply(200, big), 0, "old"},
        {"deeply nested", MakeReply(200, deep), 0, "old"},
        {"truncated reply",
         Reply{"HTTP/1.0 200 X\r\nContent-Length: 500\r\n\r\n<cdinfo><artist>T</artist>", 0}, 0,
         "old"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoopbackHttpServer server([&](const Request&) { return c.reply; }, 80);
        CCDInfo info;
        MakeDisc(info);
        info.SetArtist("old");
        CSonoriaDBMgr mgr(kBase);
        EXPECT_EQ(mgr.QueryCD(info.GetTocId(), &info), c.result);
        EXPECT_STREQ(info.GetArtist(), c.artist);
    }
    CCDInfo info;
    MakeDisc(info);
    CSonoriaDBMgr mgr(kBase); // nothing listens
    EXPECT_EQ(mgr.QueryCD(info.GetTocId(), &info), 10);
}

TEST_F(ServiceTest, SubmissionPostsTheDiscAsXml)
{
    LoopbackHttpServer server([](const Request&) { return MakeReply(200, "<error>0</error>"); },
                              80);
    CCDInfo info;
    MakeDisc(info, 2);
    info.SetArtist("A");
    info.SetYearText("none");
    info.GetTrack(0)->m_strTrackTitle = "Caf\xE9";
    info.GetTrack(0)->m_strComment = "a<b & c\nd";
    info.GetTrack(0)->m_strTrackPosition = "not written";
    info.GetTrack(1)->SetDurationMs(1234);
    CSonoriaDBMgr mgr(kBase);
    ASSERT_EQ(mgr.SubmitCD(&info, "", "", "Sonoria"), 0);
    EXPECT_TRUE(info.MatchesStoredChecksum());

    const std::vector<Request> requests = server.Requests();
    ASSERT_EQ(requests.size(), 1u);
    const Request& r = requests[0];
    EXPECT_EQ(r.method, "POST");
    EXPECT_EQ(r.target, "/i.php");
    EXPECT_EQ(r.Header("Content-Type"), "application/x-www-form-urlencoded");
    const std::string toc = info.GetTocId().GetString();
    EXPECT_EQ(r.body.rfind("cdid=" + toc + "&client=Sonoria&revision=0&xml=%3c%3fxml", 0), 0u)
        << r.body.substr(0, 120);
    EXPECT_EQ(FormField(r.body, "revision"), "0");
    const std::string expected = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                                 "<cdinfo cdid=\"" +
                                 toc +
                                 "\" >\n"
                                 "<artist>A</artist>\n"
                                 "<submittedwith>Sonoria</submittedwith>\n"
                                 "<cddbid>1a2b3c4d</cddbid>\n"
                                 "<revision>0</revision>\n"
                                 "<ntracks>2</ntracks>\n"
                                 "<lenseconds>482</lenseconds>\n"
                                 "<track num=\"0\">\n"
                                 "<title>Caf\xC3\xA9</title>\n"
                                 "<length>0</length>\n"
                                 "<comment>a&lt;b &amp; c&#13;&#10;d</comment>\n"
                                 "</track>\n"
                                 "<track num=\"1\">\n"
                                 "<length>1234</length>\n"
                                 "</track>\n"
                                 "</cdinfo>\n";
    EXPECT_EQ(FormField(r.body, "xml"), expected);
}

// An answer can set any revision; the next one must not overflow past the largest int.
TEST_F(ServiceTest, SubmissionOfTheLargestRevisionDoesNotWrapAround)
{
    CCDInfo info;
    info.SetRevision(2147483647);
    const std::string xml = CSonoriaDBMgr::BuildSubmissionXml(info, "", "Sonoria").GetString();
    EXPECT_NE(xml.find("<revision>2147483647</revision>"), std::string::npos) << xml;
    EXPECT_EQ(CSonoriaDBMgr::NextRevision(-1), 0);
}

TEST_F(ServiceTest, SubmissionResultCodes)
{
    struct Case {
        const char* name;
        Reply reply;
        int result;
        bool stored;
    } const cases[] = {
        {"accepted", MakeReply(200, "<error>0</error>"), 0, true},
        {"accepted with status 500", MakeReply(500, "<error>0</error>"), 0, true},
        {"higher revision", MakeReply(200, "<error>8</error>"), 8, false},
        {"maintenance", MakeReply(200, "<r><error>6</error></r>"), 6, false},
        {"no error element", MakeReply(200, "OK"), 12, false},
        {"no digits", MakeReply(200, "<error></error>"), 0, true},
        {"closed without answer", Reply{"", 0}, 12, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LoopbackHttpServer server([&](const Request&) { return c.reply; }, 80);
        CCDInfo info;
        MakeDisc(info);
        CSonoriaDBMgr mgr(kBase);
        EXPECT_EQ(mgr.SubmitCD(&info, "me", "", "Sonoria"), c.result);
        EXPECT_EQ(info.MatchesStoredChecksum(), c.stored);
    }
    CCDInfo info;
    MakeDisc(info);
    CSonoriaDBMgr mgr(kBase); // nothing listens
    EXPECT_EQ(mgr.SubmitCD(&info, "", "", "Sonoria"), 10);
}

TEST_F(ServiceTest, ThroughANamedProxyWithCredentials)
{
    LoopbackHttpServer proxy([](const Request& r) {
        if (r.Header("Proxy-Authorization") != "Basic dXNlcjpwYXNz")
            return MakeReply(407, "auth", "Proxy-Authenticate: Basic realm=\"p\"\r\n");
        if (r.method == "POST")
            return MakeReply(200, "<error>0</error>");
        return MakeReply(200, "<cdinfo><artist>Proxied</artist></cdinfo>");
    });
    GetAppCfg().SetUseProxy(2);
    GetAppCfg().SetProxyServer("127.0.0.1");
    GetAppCfg().SetProxyPort(proxy.Port());
    GetAppCfg().SetProxyUser("user");
    GetAppCfg().SetProxyPwd("pass");
    CCDInfo info;
    MakeDisc(info);
    CSonoriaDBMgr mgr; // the real service address, reached only through the proxy
    EXPECT_EQ(mgr.QueryCD(info.GetTocId(), &info), 0);
    EXPECT_STREQ(info.GetArtist(), "Proxied");
    info.SetTitle("edited");
    EXPECT_EQ(mgr.SubmitCD(&info, "", "", "Sonoria"), 0);
    bool sawQuery = false, sawSubmit = false;
    const std::vector<Request> requests = proxy.Requests();
    for (const Request& r : requests) {
        sawQuery |= r.target.find("db.sonoria.invalid") != std::string::npos &&
                    r.target.find("/q.php?cdid=") != std::string::npos;
        sawSubmit |= r.method == "POST" && r.target.find("/i.php") != std::string::npos;
    }
    EXPECT_TRUE(sawQuery);
    EXPECT_TRUE(sawSubmit);
}

} // namespace
