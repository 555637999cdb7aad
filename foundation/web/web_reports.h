// The usage-statistics reports and the update check, both over CHttpClient.
// Classes here: CQVKSignal, CHttpVersionCheck.
#pragma once

#include "foundation/web/http_client.h"

#include <memory>
#include <string>

//! One report per installer switch; keeps the install id under HKLM "Software\Corvalen\qvkstat".
class CQVKSignal
{
public:
    //! `site` replaces the statistics site (tests point it at a loopback server).
    explicit CQVKSignal(const char* site = nullptr);
    virtual ~CQVKSignal() = default;

    std::string GetBaseUrl() const;
    //! 0 when the key or the value is missing.
    DWORD LoadInstallId(int appId) const;
    BOOL StoreInstallId(int appId, DWORD installId) const;
    //! 1 when a server answered (any status).
    BOOL SendPing(const char* url) const;

    BOOL SignalInstall(int installId, int appId, int build, const char* locale);
    BOOL SignalUninstall(int installId, int appId, int build, const char* locale);
    BOOL SignalAjInstall(int installId, int appId, int build, const char* locale);

    BOOL m_bDebugHost = FALSE;

private:
    std::string m_strSite;
};

//! Reads the version page and compares its number with the running version.
class CHttpVersionCheck
{
public:
    //! Credentials are set when both are given (empty texts included).
    CHttpVersionCheck(const char* agent, const char* proxy, const char* user,
                      const char* password);
    virtual ~CHttpVersionCheck() = default;

    //! 1 when the page's version is higher than `current`; 0 otherwise, failures included.
    int IsNewerVersion(const char* url, const char* key, const char* current);
    //! 1 when a value was found (copied into `output`, 64 bytes), 0 when not, and the negated
    //! HTTP status when it is not 200 (0 for no answer).
    int Fetch(const char* url, const char* key, char* output);
    //! Copies the run of non-blank characters after `key` and its blanks; 0 when absent.
    static int FindValue(const char* text, const char* key, char* output);

    std::unique_ptr<CHttpClient> m_pClient;
    int m_nBufferSize = 8192;
};
