// The daily update check as the program runs it: whether today's check is due, and the check
// itself over CHttpVersionCheck with the settings' proxy.
#pragma once

#include "foundation/settings/app_cfg.h"

#include <windows.h>

//! The day code of a local date: year x 365 + month x 31 + day.
int UpdateCheckDayCode(const SYSTEMTIME& date);

//! True when AutoCheckNewVersion is set and today's day code differs from LastCheckNewVersion;
//! LastCheckNewVersion then takes today's code (stored with the settings' next save).
bool UpdateCheckIsDue(CAppCfg& cfg, const SYSTEMTIME& today);

//! The version page's address for the language code ("en" ...): the page's "s=curver" query
//! with "language", "version" and "build".
CString UpdateCheckUrl(LPCTSTR pageUrl, LPCTSTR languageCode);

//! 1 when the page at `pageUrl` names a version above the running one. Uses the agent
//! "Sonoria_VC", the settings' proxy and the proxy credentials (always set, also when empty).
int IsNewerVersionAvailable(const CAppCfg& cfg, LPCTSTR pageUrl, LPCTSTR languageCode);

//! The running version and build, as the update check and the web links report them.
inline constexpr const char kRunningVersion[] = "3.70";
inline constexpr int kRunningBuild = 4;
