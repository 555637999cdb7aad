// Addresses of the maker's web services. They have no public home: every host lies under the
// reserved ".invalid" domain, so nothing is ever sent to a stranger and a lookup fails at once.
#pragma once

namespace endpoints {

//! Usage statistics: "/qvkstat" is appended.
inline constexpr const char kStatsSite[] = "http://stats.sonoria.invalid";
inline constexpr const char kStatsDebugSite[] = "http://stats-test.sonoria.invalid";
//! The page that answers "s=curver" (current version) and "s=download".
inline constexpr const char kHubPage[] = "http://www.sonoria.invalid/hub.php";
//! The search site's page: "?what=" a kind of result and "&q=" the term.
inline constexpr const char kSearchHub[] = "http://search.sonoria.invalid/hub.php";
//! The program's home page, named in the playlists it writes.
inline constexpr const char kHomePage[] = "http://www.sonoria.invalid/";
//! The disc-information service: "q.php" and "i.php" are appended.
inline constexpr const char kDiscInfoService[] = "http://db.sonoria.invalid/";

} // namespace endpoints
