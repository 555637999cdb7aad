// Usage-statistics reports and the update check against loopback servers.
#include "foundation/web/web_reports.h"
#include "testing/http/loopback_http.h"

#include <gtest/gtest.h>

#include <string>

using testing_http::LoopbackHttpServer;
using testing_http::MakeReply;
using testing_http::Request;

namespace {

void ClearStats()
{
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, "Software\\Corvalen\\qvkstat");
}

} // namespace

TEST(QvkSignal, InstallAndUninstallReportAndStoreTheInstallId)
{
    ClearStats();
    LoopbackHttpServer server([](const Request&) { return MakeReply(200, "ok"); });
    std::string site = "http://127.0.0.1:" + std::to_string(server.Port());
    CQVKSignal signal(site.c_str());
    EXPECT_EQ(signal.GetBaseUrl(), site + "/qvkstat");

    struct Step {
        const char* what;
        int id;
        const char* target;
        DWORD stored;
    } steps[] = {
        {"install", 123, "/qvkstat/sinstall.php?disid=123&appid=8&build=4&locale=0409&olddis=0",
         123},
        {"install", 7, "/qvkstat/sinstall.php?disid=7&appid=8&build=4&locale=0409&olddis=123", 7},
        {"uninstall", 0, "/qvkstat/suninstall.php?disid=7&appid=8&build=4&locale=0409", 0},
        {"uninstall", 0, "/qvkstat/suninstall.php?disid=0&appid=8&build=4&locale=0409", 0},
        {"ajinstall", 5, "/qvkstat/sajinstall.php?disid=5&appid=8&build=4&locale=0409", 0},
    };
    size_t n = 0;
    for (const auto& s : steps) {
        SCOPED_TRACE(s.target);
        std::string what = s.what;
        BOOL reached = what == "install"     ? signal.SignalInstall(s.id, 8, 4, "0409")
                       : what == "uninstall" ? signal.SignalUninstall(s.id, 8, 4, "0409")
                                             : signal.SignalAjInstall(s.id, 8, 4, "0409");
        EXPECT_TRUE(reached);
        auto requests = server.Requests();
        ASSERT_EQ(requests.size(), ++n);
        EXPECT_EQ(requests.back().target, s.target);
        EXPECT_EQ(requests.back().Header("User-Agent"), "QVKLIB");
        EXPECT_EQ(signal.LoadInstallId(8), s.stored);
    }
    ClearStats();
}

TEST(QvkSignal, AnUnreachableServerStillStoresTheId)
{
    ClearStats();
    CQVKSignal signal; // the real site lies under .invalid and never answers
    EXPECT_FALSE(signal.SignalInstall(42, 8, 4, "0409"));
    EXPECT_EQ(signal.LoadInstallId(8), 42u);
    EXPECT_EQ(signal.LoadInstallId(9), 0u) << "missing value reads as 0";
    ClearStats();
}

TEST(VersionCheck, ComparesThePageVersionWithTheRunningOne)
{
    struct Case {
        const char* page;
        int status;
        int newer;
    } cases[] = {
        {"<html><ss>Sonoria 3.71</ss></html>", 200, 1},
        {"<ss>Sonoria 3.70</ss>", 200, 0},
        {"<ss>Sonoria 3.7</ss>", 200, 0},
        {"<ss>Sonoria   4.0\r\n</ss> Sonoria 1.0", 200, 1},
        {"<ss>Sonoria 3.0</ss> Sonoria 9.0", 200, 0},  // cut at </ss>
        {"<ss>x</ss> Sonoria 3.80", 200, 1},           // block too short: not cut
        {"no version here", 200, 0},
        {"<ss>Sonoria 9.9</ss>", 404, 0},
        {"<ss>Sonoria abc</ss>", 200, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        LoopbackHttpServer server([&](const Request&) { return MakeReply(c.status, c.page); });
        CHttpVersionCheck check("Sonoria_VC", nullptr, "", "");
        EXPECT_EQ(check.IsNewerVersion(server.Url("/hub.php?s=curver").c_str(), "Sonoria", "3.70"),
                  c.newer);
        ASSERT_EQ(server.Requests().size(), 1u);
        EXPECT_EQ(server.Requests()[0].Header("User-Agent"), "Sonoria_VC");
    }
}

TEST(VersionCheck, FetchReportsStatusAndBoundsTheValue)
{
    std::string longValue(200, '9');
    LoopbackHttpServer server([&](const Request& r) {
        if (r.target == "/long")
            return MakeReply(200, "Sonoria " + longValue);
        return MakeReply(500, "");
    });
    CHttpVersionCheck check("a", nullptr, nullptr, nullptr);
    char out[64];
    EXPECT_EQ(check.Fetch(server.Url("/long").c_str(), "Sonoria", out), 1);
    EXPECT_EQ(std::string(out), std::string(63, '9')) << "cut to the 64-byte output";
    CHttpVersionCheck failing("a", nullptr, nullptr, nullptr);
    EXPECT_EQ(failing.Fetch(server.Url("/x").c_str(), "Sonoria", out), -500);
    CHttpVersionCheck unreachable("a", nullptr, nullptr, nullptr);
    EXPECT_EQ(unreachable.Fetch("http://www.sonoria.invalid/hub.php", "Sonoria", out), 0);
}
