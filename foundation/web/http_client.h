// CHttpClient: one GET or one form-encoded POST over WinINet, the reply read into the
// caller's buffer. A client serves one request and is then destroyed.
#pragma once

#include <windows.h>
#include <wininet.h>

#include <string>

class CHttpClient
{
public:
    //! A null proxy opens directly, an empty one with the system's settings, any other text
    //! ("host:port") through that proxy. Never throws; a failed open shows in m_dwError.
    CHttpClient(LPCSTR agent, LPCSTR proxy, LPCSTR proxyBypass);
    CHttpClient(const CHttpClient&) = delete;
    CHttpClient& operator=(const CHttpClient&) = delete;
    virtual ~CHttpClient();

    //! Sets the proxy user and then, only when that worked, the password. 0 without a handle.
    //! Wine refuses them on the Internet handle (error 12009); they are then kept and set on
    //! the connection and request handles, where they work.
    BOOL SetProxyCredentials(LPCSTR user, LPCSTR password);
    //! The HTTP status code, 0 when there is no answer.
    DWORD Get(LPCSTR url, DWORD flags, LPCSTR headers = nullptr);
    DWORD GetStatusCode();
    //! 1 when the request was sent. A length of -1 sends the body's text length. Any port but
    //! 80 is asked for over TLS.
    BOOL Post(LPCSTR url, LPCSTR body, int length);
    //! Reads the body into `buffer` (capacity >= 130 bytes in, bytes stored out); the byte after
    //! the stored ones is always zero. 1 at the end of the body or when full, 0 on failure.
    BOOL ReadResponse(char* buffer, DWORD& length);
    void Close();

private:
    void ApplyCredentials(HINTERNET handle);
    bool m_bHaveCredentials = false;
    std::string m_strProxyUser;
    std::string m_strProxyPassword;

public:
    DWORD m_dwError = 0;
    HINTERNET m_hInternet = nullptr;
    HINTERNET m_hConnect = nullptr;
    HINTERNET m_hRequest = nullptr;
};
