// CHttpClient over WinINet.
#include "foundation/web/http_client.h"

#include <cstring>
#include <string>

CHttpClient::CHttpClient(LPCSTR agent, LPCSTR proxy, LPCSTR proxyBypass)
{
    DWORD access = !proxy ? INTERNET_OPEN_TYPE_DIRECT
                   : !*proxy ? INTERNET_OPEN_TYPE_PRECONFIG
                             : INTERNET_OPEN_TYPE_PROXY;
    m_hInternet = InternetOpenA(agent, access, access == INTERNET_OPEN_TYPE_PROXY ? proxy : nullptr,
                                access == INTERNET_OPEN_TYPE_PROXY ? proxyBypass : nullptr, 0);
    if (!m_hInternet)
        m_dwError = GetLastError();
}

CHttpClient::~CHttpClient()
{
    Close();
}

void CHttpClient::Close()
{
    for (HINTERNET* h : {&m_hRequest, &m_hConnect, &m_hInternet}) {
        if (*h) {
            InternetCloseHandle(*h);
            *h = nullptr;
        }
    }
}

BOOL CHttpClient::SetProxyCredentials(LPCSTR user, LPCSTR password)
{
    if (!m_hInternet)
        return FALSE;
    BOOL ok = InternetSetOptionA(m_hInternet, INTERNET_OPTION_PROXY_USERNAME,
                                 const_cast<LPSTR>(user), static_cast<DWORD>(std::strlen(user)));
    if (ok)
        ok = InternetSetOptionA(m_hInternet, INTERNET_OPTION_PROXY_PASSWORD,
                                const_cast<LPSTR>(password),
                                static_cast<DWORD>(std::strlen(password)));
    // Kept either way and set again on the connection and request handles.
    m_strProxyUser = user;
    m_strProxyPassword = password;
    m_bHaveCredentials = true;
    return TRUE;
}

void CHttpClient::ApplyCredentials(HINTERNET handle)
{
    if (!m_bHaveCredentials || !handle)
        return;
    InternetSetOptionA(handle, INTERNET_OPTION_PROXY_USERNAME, m_strProxyUser.data(),
                       static_cast<DWORD>(m_strProxyUser.size()));
    InternetSetOptionA(handle, INTERNET_OPTION_PROXY_PASSWORD, m_strProxyPassword.data(),
                       static_cast<DWORD>(m_strProxyPassword.size()));
}

DWORD CHttpClient::Get(LPCSTR url, DWORD flags, LPCSTR headers)
{
    if (!m_hInternet)
        return 0;
    m_hRequest = InternetOpenUrlA(m_hInternet, url, headers,
                                  headers ? static_cast<DWORD>(std::strlen(headers)) : 0, flags, 0);
    if (!m_hRequest) {
        m_dwError = GetLastError();
        return 0;
    }
    DWORD status = GetStatusCode();
    if (status == HTTP_STATUS_PROXY_AUTH_REQ && m_bHaveCredentials) {
        // The proxy asked: answer on the request handle, where the credentials are taken.
        ApplyCredentials(m_hRequest);
        if (HttpSendRequestA(m_hRequest, headers,
                             headers ? static_cast<DWORD>(std::strlen(headers)) : 0, nullptr, 0))
            status = GetStatusCode();
    }
    return status;
}

DWORD CHttpClient::GetStatusCode()
{
    if (!m_hRequest)
        return 0;
    DWORD status = 0;
    DWORD size = sizeof status;
    if (!HttpQueryInfoA(m_hRequest, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size,
                        nullptr)) {
        m_dwError = GetLastError();
        return 0;
    }
    return status;
}

BOOL CHttpClient::Post(LPCSTR url, LPCSTR body, int length)
{
    if (!m_hInternet)
        return FALSE;
    if (length == -1)
        length = static_cast<int>(std::strlen(body));

    char host[INTERNET_MAX_HOST_NAME_LENGTH + 1] = {};
    char path[INTERNET_MAX_URL_LENGTH + 1] = {};
    URL_COMPONENTSA parts = {};
    parts.dwStructSize = sizeof parts;
    parts.lpszHostName = host;
    parts.dwHostNameLength = sizeof host;
    parts.lpszUrlPath = path;
    parts.dwUrlPathLength = sizeof path;
    if (!InternetCrackUrlA(url, 0, 0, &parts))
        return FALSE;
    std::string hostName(host), urlPath(path);

    // The port alone decides: anything but 80 goes over TLS, certificate name and date
    // errors ignored. Callers rely on it; the scheme is not consulted.
    DWORD flags = INTERNET_FLAG_NO_CACHE_WRITE;
    if (parts.nPort != 80)
        flags |= INTERNET_FLAG_SECURE | INTERNET_FLAG_IGNORE_CERT_DATE_INVALID |
                 INTERNET_FLAG_IGNORE_CERT_CN_INVALID;

    m_hConnect = InternetConnectA(m_hInternet, hostName.c_str(), parts.nPort, "", "",
                                  INTERNET_SERVICE_HTTP, INTERNET_FLAG_NO_CACHE_WRITE, 0);
    if (!m_hConnect)
        return FALSE;
    ApplyCredentials(m_hConnect);
    LPCSTR accept[] = {"*/*", nullptr};
    m_hRequest = HttpOpenRequestA(m_hConnect, "POST", urlPath.c_str(), nullptr, nullptr, accept,
                                  flags, 0);
    if (!m_hRequest)
        return FALSE;
    ApplyCredentials(m_hRequest);
    static const char kContentType[] = "Content-Type: application/x-www-form-urlencoded";
    return HttpSendRequestA(m_hRequest, kContentType, sizeof kContentType - 1,
                            const_cast<LPSTR>(body), static_cast<DWORD>(length));
}

BOOL CHttpClient::ReadResponse(char* buffer, DWORD& length)
{
    if (!m_hRequest)
        return FALSE;
    DWORD capacity = length;
    std::memset(buffer, 0, capacity);
    DWORD total = 0;
    for (;;) {
        char piece[128];
        DWORD got = 0;
        if (!InternetReadFile(m_hRequest, piece, sizeof piece, &got)) {
            length = total;
            return FALSE;
        }
        if (got == 0)
            break;
        std::memcpy(buffer + total, piece, got);
        total += got;
        // Stop while a whole piece and the closing zero still fit.
        if (!(total + 129 < capacity))
            break;
    }
    length = total;
    return TRUE;
}
