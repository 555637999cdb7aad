// The daily update check: at most once a day, against a loopback version page.
#include "foundation/web/update_check.h"
#include "testing/http/loopback_http.h"
#include "testing/settings_guard.h"

#include <gtest/gtest.h>

using testing_http::LoopbackHttpServer;
using testing_http::MakeReply;
using testing_http::Request;

namespace {

SYSTEMTIME Date(int year, int month, int day)
{
    SYSTEMTIME t = {};
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(day);
    return t;
}

} // namespace

TEST(UpdateCheck, RunsAtMostOnceADay)
{
    CAppCfg cfg;
    testing_settings::SettingsGuard keep(cfg);
    cfg.SetAutoCheckNewVersion(TRUE);
    cfg.SetLastCheckNewVersion(-1);

    EXPECT_EQ(UpdateCheckDayCode(Date(2026, 12, 10)), 2026 * 365 + 12 * 31 + 10);
    EXPECT_TRUE(UpdateCheckIsDue(cfg, Date(2026, 12, 10)));
    EXPECT_EQ(cfg.GetLastCheckNewVersion(), UpdateCheckDayCode(Date(2026, 12, 10)));
    EXPECT_FALSE(UpdateCheckIsDue(cfg, Date(2026, 12, 10))) << "the same day again";
    EXPECT_TRUE(UpdateCheckIsDue(cfg, Date(2026, 12, 11)));
    cfg.SetAutoCheckNewVersion(FALSE);
    EXPECT_FALSE(UpdateCheckIsDue(cfg, Date(2026, 12, 12))) << "switched off";
}

TEST(UpdateCheck, AsksThePageWithLanguageVersionAndBuild)
{
    struct Case {
        const char* page;
        int newer;
    } cases[] = {{"<ss>Sonoria 3.71</ss>", 1}, {"<ss>Sonoria 3.69</ss>", 0}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.page);
        LoopbackHttpServer server([&](const Request&) { return MakeReply(200, c.page); });
        CAppCfg cfg;
        cfg.SetUseProxy(0);
        EXPECT_EQ(IsNewerVersionAvailable(cfg, server.Url("/hub.php").c_str(), "de"), c.newer);
        ASSERT_EQ(server.Requests().size(), 1u);
        EXPECT_EQ(server.Requests()[0].target,
                  "/hub.php?s=curver&language=de&version=3.70&build=4");
        EXPECT_EQ(server.Requests()[0].Header("User-Agent"), "Sonoria_VC");
    }
}
