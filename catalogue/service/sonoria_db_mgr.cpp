// CSonoriaDBMgr over HTTP: the query and the submission through the settings' proxy.
#include "catalogue/service/sonoria_db_mgr.h"

#include <windows.h>

#include <vector>

#include "catalogue/model/cd_info.h"
#include "foundation/settings/app_cfg.h"
#include "foundation/util/sys_utils.h"
#include "foundation/web/http_client.h"
#include "framework/codepage.h"

namespace
{

constexpr DWORD kAnswerBufferSize = 65536;
const char kClientName[] = "Sonoria";

} // namespace

std::unique_ptr<CHttpClient> CSonoriaDBMgr::MakeClient() const
{
    CAppCfg& cfg = GetAppCfg();
    CString proxy;
    if (cfg.GetUseProxy() > 1)
        proxy.Format("%s:%d", cfg.GetProxyServer().GetString(), cfg.GetProxyPort());
    auto client = std::make_unique<CHttpClient>(kClientName, proxy, nullptr);
    if (cfg.GetUseProxy() >= 1 && !cfg.GetProxyUser().IsEmpty())
        client->SetProxyCredentials(cfg.GetProxyUser(), cfg.GetProxyPwd());
    return client;
}

int CSonoriaDBMgr::QueryCD(LPCTSTR lpszTocId, CCDInfo* pInfo)
{
    auto client = MakeClient();
    CString url;
    url.Format("%s?cdid=%s&client=%s", (m_strServiceBase + "q.php").GetString(),
               lpszTocId != nullptr ? lpszTocId : "", kClientName);
    m_pCDInfo = pInfo;
    DWORD status = client->Get(url, INTERNET_FLAG_RELOAD);
    if (status < 200 || status >= 400)
        return RESULT_NO_CONNECTION;
    std::vector<char> body(kAnswerBufferSize);
    DWORD length = kAnswerBufferSize;
    if (!client->ReadResponse(body.data(), length))
        return RESULT_BAD_ANSWER;
    return ApplyQueryAnswer(body.data(), pInfo);
}

int CSonoriaDBMgr::SubmitCD(CCDInfo* pInfo, LPCTSTR lpszSubmitter, LPCTSTR, LPCTSTR lpszClient)
{
    if (pInfo == nullptr)
        return RESULT_NO_CONNECTION;
    CString xml = BuildSubmissionXml(*pInfo, lpszSubmitter != nullptr ? lpszSubmitter : "",
                                     lpszClient != nullptr ? lpszClient : "");
    m_pCDInfo = pInfo;
    auto client = MakeClient();
    CString body = "cdid=" + UrlEncoded(pInfo->GetTocId());
    body += "&client=" + UrlEncoded(lpszClient != nullptr ? lpszClient : "");
    body.AppendFormat("&revision=%d", NextRevision(pInfo->GetRevision()));
    body += "&xml=" + UrlEncoded(SystemToUtf8(xml).c_str());
    if (!client->Post(m_strServiceBase + "i.php", body, -1))
        return RESULT_NO_CONNECTION;
    std::vector<char> answer(kAnswerBufferSize);
    DWORD length = kAnswerBufferSize;
    if (!client->ReadResponse(answer.data(), length))
        return RESULT_NO_CONNECTION;
    int number = 0;
    if (!FindErrorNumber(answer.data(), number))
        return RESULT_NO_ERROR_ELEMENT;
    if (number == 0)
        pInfo->UpdateChecksum(true);
    return number;
}
