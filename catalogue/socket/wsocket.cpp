// CWSocket over Winsock 2, and its exception.
#include "catalogue/socket/wsocket.h"

#include "catalogue/socket/proxy_replies.h"

#include <memory>
#include <vector>

IMPLEMENT_DYNAMIC(CWSocketException, CException)

CWSocketIPv6Helper theWSocketIPv6Helper;

CWSocketIPv6Helper::CWSocketIPv6Helper() : m_pfnIpv6AddressToString(nullptr)
{
    if (HMODULE hNtdll = GetModuleHandleA("NTDLL.DLL"))
        m_pfnIpv6AddressToString = reinterpret_cast<PFN_IPV6_TO_STRING>(
            reinterpret_cast<void*>(GetProcAddress(hNtdll, "RtlIpv6AddressToStringA")));
}

CWSocketException::~CWSocketException() = default;

BOOL CWSocketException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, PUINT pnHelpContext) const
{
    char buffer[4096] = {};
    CString text;
    if (FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr,
                       static_cast<DWORD>(m_nError), MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                       buffer, sizeof buffer, nullptr) != 0)
        text = buffer;
    text.TrimRight();
    CopyMessage(text, lpszError, nMaxError, pnHelpContext);
    return !text.IsEmpty();
}

CString CWSocketException::GetErrorText() const
{
    char buffer[4096] = {};
    GetErrorMessage(buffer, sizeof buffer);
    return CString(buffer);
}

void ThrowWSocketException(int nError)
{
    throw new CWSocketException(nError != 0 ? nError : WSAGetLastError());
}

void SecureZeroBytes(void* pBuffer, size_t nLength)
{
    if (pBuffer)
        SecureZeroMemory(pBuffer, nLength);
}

void SecureWipeString(CString& str)
{
    const int n = str.GetLength();
    if (n == 0)
        return;
    SecureZeroBytes(str.GetBuffer(n), static_cast<size_t>(n));
    str.ReleaseBuffer(n);
}

namespace
{
struct AddrInfoDeleter {
    void operator()(addrinfo* p) const { freeaddrinfo(p); }
};
typedef std::unique_ptr<addrinfo, AddrInfoDeleter> AddrInfoPtr;

// The resolver's failure is reported through the last Winsock error, as callers expect.
AddrInfoPtr Resolve(LPCTSTR lpszHost, LPCTSTR lpszService, const addrinfo* pHints)
{
    addrinfo* result = nullptr;
    const int rc = getaddrinfo(lpszHost, lpszService, pHints, &result);
    if (rc != 0)
        ThrowWSocketException(rc);
    return AddrInfoPtr(result);
}

CString PortText(UINT nPort)
{
    CString text;
    text.Format("%u", nPort);
    return text;
}

// Runs a proxy exchange; a failure closes the socket before its code goes on.
template <class F> void ProxyExchange(CWSocket& socket, F exchange)
{
    try {
        exchange();
    } catch (CWSocketException* e) {
        socket.Close();
        throw e;
    }
}
} // namespace

CWSocket::CWSocket() : m_hSocket(INVALID_SOCKET) {}

CWSocket::~CWSocket()
{
    Close();
}

void CWSocket::Create(BOOL bDatagram, BOOL bIPv6)
{
    CreateSocket(bDatagram ? SOCK_DGRAM : SOCK_STREAM, bIPv6 ? AF_INET6 : AF_INET);
}

void CWSocket::CreateSocket(int nType, int nFamily)
{
    m_hSocket = socket(nFamily, nType, 0);
    if (m_hSocket == INVALID_SOCKET)
        ThrowWSocketException();
}

void CWSocket::Close()
{
    if (m_hSocket != INVALID_SOCKET) {
        closesocket(m_hSocket);
        m_hSocket = INVALID_SOCKET;
    }
}

void CWSocket::AttachHandle(SOCKET hSocket)
{
    Close();
    m_hSocket = hSocket;
}

SOCKET CWSocket::DetachHandle()
{
    const SOCKET h = m_hSocket;
    m_hSocket = INVALID_SOCKET;
    return h;
}

void CWSocket::Connect(LPCTSTR lpszHost, UINT nPort)
{
    Connect(lpszHost, PortText(nPort));
}

void CWSocket::Connect(LPCTSTR lpszHost, LPCTSTR lpszService)
{
    AddrInfoPtr list = Resolve(lpszHost, lpszService, nullptr);
    int nLastError = WSAHOST_NOT_FOUND;
    for (addrinfo* p = list.get(); p; p = p->ai_next) {
        try {
            ConnectAddress(p->ai_addr, static_cast<int>(p->ai_addrlen));
            return;
        } catch (CWSocketException* e) {
            nLastError = e->m_nError;
            e->Delete();
        }
    }
    ThrowWSocketException(nLastError);
}

void CWSocket::ConnectAddress(const SOCKADDR* pAddress, int nLength)
{
    if (connect(m_hSocket, pAddress, nLength) == SOCKET_ERROR)
        ThrowWSocketException();
}

int CWSocket::Send(const void* pBuffer, int nLength, int nFlags)
{
    const int n = send(m_hSocket, static_cast<const char*>(pBuffer), nLength, nFlags);
    if (n == SOCKET_ERROR)
        ThrowWSocketException();
    return n;
}

void CWSocket::SendAll(const void* pBuffer, int nLength)
{
    const char* p = static_cast<const char*>(pBuffer);
    while (nLength > 0) {
        const int n = Send(p, nLength);
        p += n;
        nLength -= n;
    }
}

int CWSocket::Receive(void* pBuffer, int nCapacity, int nFlags)
{
    const int n = recv(m_hSocket, static_cast<char*>(pBuffer), nCapacity, nFlags);
    if (n == SOCKET_ERROR)
        ThrowWSocketException();
    return n;
}

static BOOL WaitFor(SOCKET s, DWORD dwTimeoutMs, bool bWrite)
{
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tv;
    tv.tv_sec = static_cast<long>(dwTimeoutMs / 1000);
    tv.tv_usec = static_cast<long>((dwTimeoutMs % 1000) * 1000);
    const int n = select(0, bWrite ? nullptr : &set, bWrite ? &set : nullptr, nullptr, &tv);
    if (n == SOCKET_ERROR)
        ThrowWSocketException();
    return n > 0;
}

BOOL CWSocket::IsReadable(DWORD dwTimeoutMs)
{
    return WaitFor(m_hSocket, dwTimeoutMs, false);
}

BOOL CWSocket::IsWritable(DWORD dwTimeoutMs)
{
    return WaitFor(m_hSocket, dwTimeoutMs, true);
}

void CWSocket::Bind(const SOCKADDR* pAddress, int nLength)
{
    if (bind(m_hSocket, pAddress, nLength) == SOCKET_ERROR)
        ThrowWSocketException();
}

void CWSocket::Bind(UINT nPort, LPCTSTR lpszAddress)
{
    sockaddr_in addr = {};
    addr.sin_family = AF_INET;
    addr.sin_port = htons(static_cast<u_short>(nPort));
    if (!lpszAddress || !*lpszAddress)
        addr.sin_addr.s_addr = htonl(INADDR_ANY);
    else if (inet_pton(AF_INET, lpszAddress, &addr.sin_addr) != 1)
        ThrowWSocketException(WSOCKET_E_BAD_ADDRESS_TEXT);
    Bind(reinterpret_cast<const SOCKADDR*>(&addr), sizeof addr);
}

void CWSocket::CreateAndBind(UINT nPort, int nType, int nFamily)
{
    if (!m_strBindAddress.IsEmpty()) {
        addrinfo hints = {};
        hints.ai_flags = AI_PASSIVE;
        hints.ai_socktype = nType;
        AddrInfoPtr list = Resolve(m_strBindAddress, PortText(nPort), &hints);
        CreateSocket(nType, list->ai_family);
        Bind(list->ai_addr, static_cast<int>(list->ai_addrlen));
        return;
    }
    CreateSocket(nType, nFamily);
    if (nFamily == AF_INET6) {
        sockaddr_in6 addr = {};
        addr.sin6_family = AF_INET6;
        addr.sin6_addr = in6addr_any;
        addr.sin6_port = htons(static_cast<u_short>(nPort));
        Bind(reinterpret_cast<const SOCKADDR*>(&addr), sizeof addr);
    } else {
        Bind(nPort, nullptr);
    }
}

void CWSocket::BindToBindAddress(LPCTSTR lpszService)
{
    if (m_strBindAddress.IsEmpty())
        return;
    addrinfo hints = {};
    hints.ai_flags = AI_PASSIVE;
    AddrInfoPtr list = Resolve(m_strBindAddress, lpszService, &hints);
    Bind(list->ai_addr, static_cast<int>(list->ai_addrlen));
}

void CWSocket::Listen(int nBacklog)
{
    if (listen(m_hSocket, nBacklog) == SOCKET_ERROR)
        ThrowWSocketException();
}

void CWSocket::Accept(CWSocket& connected)
{
    sockaddr_in addr = {};
    int length = sizeof addr;
    Accept(connected, reinterpret_cast<SOCKADDR*>(&addr), &length);
}

void CWSocket::Accept(CWSocket& connected, SOCKADDR* pAddress, int* pnLength)
{
    const SOCKET s = accept(m_hSocket, pAddress, pnLength);
    if (s == INVALID_SOCKET)
        ThrowWSocketException();
    connected.AttachHandle(s);
}

void CWSocket::CreateAndConnect(LPCTSTR lpszHost, UINT nPort, int nType)
{
    CreateAndConnect(lpszHost, PortText(nPort), nType);
}

void CWSocket::CreateAndConnect(LPCTSTR lpszHost, LPCTSTR lpszService, int nType)
{
    addrinfo hints = {};
    hints.ai_socktype = nType;
    AddrInfoPtr list = Resolve(lpszHost, lpszService, &hints);
    int nLastError = WSAHOST_NOT_FOUND;
    for (addrinfo* p = list.get(); p; p = p->ai_next) {
        try {
            Close();
            CreateSocket(nType, p->ai_family);
            BindToBindAddress(nullptr);
            ConnectAddress(p->ai_addr, static_cast<int>(p->ai_addrlen));
            return;
        } catch (CWSocketException* e) {
            nLastError = e->m_nError;
            e->Delete();
        }
    }
    ThrowWSocketException(nLastError);
}

void CWSocket::ConnectWithTimeout(const SOCKADDR* pAddress, int nLength, DWORD dwTimeoutMs,
                                  BOOL bRestoreBlocking)
{
    WSAEVENT hEvent = WSACreateEvent();
    if (hEvent == WSA_INVALID_EVENT)
        ThrowWSocketException();
    auto fail = [&](int nError) {
        WSACloseEvent(hEvent);
        ThrowWSocketException(nError);
    };
    // Selecting an event makes the socket non-blocking.
    if (WSAEventSelect(m_hSocket, hEvent, FD_CONNECT) == SOCKET_ERROR)
        fail(static_cast<int>(GetLastError()));
    if (connect(m_hSocket, pAddress, nLength) == SOCKET_ERROR) {
        const int nError = WSAGetLastError();
        if (nError != WSAEWOULDBLOCK)
            fail(nError);
        if (WSAWaitForMultipleEvents(1, &hEvent, FALSE, dwTimeoutMs, FALSE) != WSA_WAIT_EVENT_0)
            fail(WSOCKET_E_CONNECT_TIMEOUT);
        WSANETWORKEVENTS events = {};
        if (WSAEnumNetworkEvents(m_hSocket, hEvent, &events) == SOCKET_ERROR)
            fail(WSAGetLastError());
        if (events.iErrorCode[FD_CONNECT_BIT] != 0)
            fail(events.iErrorCode[FD_CONNECT_BIT]);
    }
    WSAEventSelect(m_hSocket, hEvent, 0);
    WSACloseEvent(hEvent);
    if (bRestoreBlocking) {
        DWORD nonBlocking = 0;
        IoCtl(FIONBIO, &nonBlocking);
    }
}

void CWSocket::CreateAndConnectWithTimeout(LPCTSTR lpszHost, UINT nPort, DWORD dwTimeoutMs,
                                           BOOL bRestoreBlocking, int nType)
{
    CreateAndConnectWithTimeout(lpszHost, PortText(nPort), dwTimeoutMs, bRestoreBlocking, nType);
}

void CWSocket::CreateAndConnectWithTimeout(LPCTSTR lpszHost, LPCTSTR lpszService, DWORD dwTimeoutMs,
                                           BOOL bRestoreBlocking, int nType)
{
    addrinfo hints = {};
    hints.ai_socktype = nType;
    AddrInfoPtr list = Resolve(lpszHost, lpszService, &hints);
    int nLastError = WSAHOST_NOT_FOUND;
    for (addrinfo* p = list.get(); p; p = p->ai_next) {
        try {
            Close();
            CreateSocket(nType, p->ai_family);
            BindToBindAddress(nullptr);
            ConnectWithTimeout(p->ai_addr, static_cast<int>(p->ai_addrlen), dwTimeoutMs,
                               bRestoreBlocking);
            return;
        } catch (CWSocketException* e) {
            nLastError = e->m_nError;
            e->Delete();
        }
    }
    ThrowWSocketException(nLastError);
}

void CWSocket::ReceiveFromProxy(BYTE* pBuffer, int nLength, DWORD dwTimeoutMs)
{
    int have = 0;
    while (have < nLength) {
        if (!IsReadable(dwTimeoutMs))
            ThrowWSocketException(WSOCKET_E_PROXY_TIMEOUT);
        const int n = Receive(pBuffer + have, nLength - have);
        if (n == 0)
            ThrowWSocketException(WSOCKET_E_PROXY_CLOSED);
        have += n;
    }
}

void CWSocket::ConnectViaSocks4(LPCTSTR lpszHost, UINT nPort, LPCTSTR lpszProxy, UINT nProxyPort,
                                DWORD dwTimeoutMs)
{
    ProxyExchange(*this, [&] {
        if (!IsCreated())
            Create();
        Connect(lpszProxy, nProxyPort);
        in_addr target = {};
        if (inet_pton(AF_INET, lpszHost, &target) != 1) {
            const hostent* host = gethostbyname(lpszHost);
            if (!host || host->h_addrtype != AF_INET || !host->h_addr_list[0])
                ThrowWSocketException();
            memcpy(&target, host->h_addr_list[0], sizeof target);
        }
        // VN=4, CD=1 (CONNECT), DSTPORT (network order), DSTIP, empty USERID.
        BYTE request[9] = {4, 1};
        const u_short port = htons(static_cast<u_short>(nPort));
        memcpy(request + 2, &port, 2);
        memcpy(request + 4, &target, 4);
        SendAll(request, sizeof request);
        BYTE reply[8];
        ReceiveFromProxy(reply, sizeof reply, dwTimeoutMs);
        if (!proxy_replies::Socks4Granted(reply))
            ThrowWSocketException(WSOCKET_E_PROXY_FAILED);
    });
}

void CWSocket::ConnectViaSocks5(LPCTSTR lpszHost, UINT nPort, LPCTSTR lpszProxy, UINT nProxyPort,
                                LPCTSTR lpszUser, LPCTSTR lpszPassword, DWORD dwTimeoutMs,
                                BOOL bUDP)
{
    CString user(lpszUser), password(lpszPassword);
    ProxyExchange(*this, [&] {
        CreateAndConnect(lpszProxy, nProxyPort, SOCK_STREAM);
        const BYTE greetingNoAuth[] = {5, 1, 0};
        const BYTE greetingAuth[] = {5, 2, 0, 2};
        if (lpszUser)
            SendAll(greetingAuth, sizeof greetingAuth);
        else
            SendAll(greetingNoAuth, sizeof greetingNoAuth);
        BYTE answer[2];
        ReceiveFromProxy(answer, 2, dwTimeoutMs);
        if (!proxy_replies::Socks5MethodAccepted(answer, lpszUser != nullptr))
            ThrowWSocketException(WSOCKET_E_SOCKS5_NO_METHOD);
        if (proxy_replies::Socks5WantsPassword(answer)) {
            // RFC 1929: VER=1, ULEN, UNAME, PLEN, PASSWD.
            if (user.GetLength() > 255 || password.GetLength() > 255) {
                SecureWipeString(user);
                SecureWipeString(password);
                ThrowWSocketException(WSOCKET_E_SOCKS5_TOO_LONG);
            }
            std::vector<BYTE> request;
            request.push_back(1);
            request.push_back(static_cast<BYTE>(user.GetLength()));
            request.insert(request.end(), user.GetString(), user.GetString() + user.GetLength());
            request.push_back(static_cast<BYTE>(password.GetLength()));
            request.insert(request.end(), password.GetString(),
                           password.GetString() + password.GetLength());
            SecureWipeString(user);
            SecureWipeString(password);
            try {
                SendAll(request.data(), static_cast<int>(request.size()));
            } catch (CWSocketException*) {
                SecureZeroBytes(request.data(), request.size());
                throw;
            }
            SecureZeroBytes(request.data(), request.size());
            ReceiveFromProxy(answer, 2, dwTimeoutMs);
            if (!proxy_replies::Socks5PasswordAccepted(answer))
                ThrowWSocketException(WSOCKET_E_SOCKS5_AUTH);
        }
        const int hostLength = static_cast<int>(strlen(lpszHost));
        if (hostLength > 255)
            ThrowWSocketException(WSOCKET_E_SOCKS5_TOO_LONG);
        // VER=5, CMD, RSV=0, ATYP=3 (domain name), its length and bytes, DST.PORT.
        std::vector<BYTE> request = {5, static_cast<BYTE>(bUDP ? 3 : 1), 0, 3,
                                     static_cast<BYTE>(hostLength)};
        request.insert(request.end(), lpszHost, lpszHost + hostLength);
        request.push_back(static_cast<BYTE>((nPort >> 8) & 0xFF));
        request.push_back(static_cast<BYTE>(nPort & 0xFF));
        SendAll(request.data(), static_cast<int>(request.size()));
        ReadSocks5Reply(dwTimeoutMs);
    });
    SecureWipeString(user);
    SecureWipeString(password);
}

void CWSocket::ReadSocks5Reply(DWORD dwTimeoutMs)
{
    BYTE reply[262];
    ReceiveFromProxy(reply, 5, dwTimeoutMs);
    const int total = proxy_replies::Socks5ReplyLength(reply);
    if (total == 0)
        ThrowWSocketException(WSOCKET_E_SOCKS5_TOO_LONG);
    ReceiveFromProxy(reply + 5, total - 5, dwTimeoutMs);
    if (!proxy_replies::Socks5Granted(reply))
        ThrowWSocketException(WSOCKET_E_PROXY_FAILED);
}

void CWSocket::ConnectViaHttpProxy(LPCTSTR lpszHost, UINT nPort, LPCTSTR lpszProxy, UINT nProxyPort,
                                   CString& strReply, LPCTSTR lpszUser, LPCTSTR lpszPassword,
                                   DWORD dwTimeoutMs, LPCTSTR lpszUserAgent)
{
    // A head longer than this is no proxy's answer.
    const int kMaxHead = 64 * 1024;
    ProxyExchange(*this, [&] {
        CreateAndConnect(lpszProxy, nProxyPort, SOCK_STREAM);
        CString request;
        request.Format("CONNECT %s:%u HTTP/1.0\r\n", lpszHost, nPort);
        if (lpszUser) {
            CString credentials;
            credentials.Format("%s:%s", lpszUser, lpszPassword ? lpszPassword : "");
            CString encoded = AfxBase64Encode(credentials);
            request.AppendFormat("Proxy-authorization: Basic %s\r\n", encoded.GetString());
            SecureWipeString(credentials);
            SecureWipeString(encoded);
        }
        if (lpszUserAgent)
            request.AppendFormat("User-Agent: %s\r\n", lpszUserAgent);
        request += "\r\n";
        try {
            SendAll(request.GetString(), request.GetLength());
        } catch (CWSocketException*) {
            SecureWipeString(request);
            throw;
        }
        SecureWipeString(request);
        strReply.Empty();
        while (!proxy_replies::HttpHeadComplete(strReply)) {
            if (strReply.GetLength() >= kMaxHead)
                ThrowWSocketException(WSOCKET_E_PROXY_FAILED);
            BYTE ch;
            ReceiveFromProxy(&ch, 1, dwTimeoutMs);
            strReply += static_cast<char>(ch);
        }
        if (proxy_replies::HttpConnectStatus(strReply) != 200)
            ThrowWSocketException(WSOCKET_E_HTTP_PROXY_STATUS);
    });
}

int CWSocket::SendTo(const void* pBuffer, int nLength, const SOCKADDR* pAddress, int nAddressLength,
                     int nFlags)
{
    const int n = sendto(m_hSocket, static_cast<const char*>(pBuffer), nLength, nFlags, pAddress,
                         nAddressLength);
    if (n == SOCKET_ERROR)
        ThrowWSocketException();
    return n;
}

int CWSocket::SendTo(const void* pBuffer, int nLength, UINT nPort, LPCTSTR lpszHost, int nFlags)
{
    addrinfo hints = {};
    hints.ai_socktype = SOCK_DGRAM;
    AddrInfoPtr list = Resolve(lpszHost, PortText(nPort), &hints);
    int nLastError = WSAHOST_NOT_FOUND;
    for (addrinfo* p = list.get(); p; p = p->ai_next) {
        try {
            return SendTo(pBuffer, nLength, p->ai_addr, static_cast<int>(p->ai_addrlen), nFlags);
        } catch (CWSocketException* e) {
            nLastError = e->m_nError;
            e->Delete();
        }
    }
    ThrowWSocketException(nLastError);
}

int CWSocket::ReceiveFrom(void* pBuffer, int nCapacity, SOCKADDR* pAddress, int* pnAddressLength,
                          int nFlags)
{
    const int n = recvfrom(m_hSocket, static_cast<char*>(pBuffer), nCapacity, nFlags, pAddress,
                           pnAddressLength);
    if (n == SOCKET_ERROR)
        ThrowWSocketException();
    return n;
}

int CWSocket::ReceiveFrom(void* pBuffer, int nCapacity, CString& strAddress, UINT& nPort,
                          int nFlags)
{
    sockaddr_storage addr = {};
    int length = sizeof addr;
    const int n =
        ReceiveFrom(pBuffer, nCapacity, reinterpret_cast<SOCKADDR*>(&addr), &length, nFlags);
    strAddress = AddressToString(reinterpret_cast<const SOCKADDR*>(&addr));
    nPort = ntohs(addr.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&addr)->sin6_port
                                             : reinterpret_cast<sockaddr_in*>(&addr)->sin_port);
    return n;
}

CString CWSocket::AddressToString(const SOCKADDR* pAddress)
{
    if (pAddress->sa_family == AF_INET) {
        const BYTE* b = reinterpret_cast<const BYTE*>(
            &reinterpret_cast<const sockaddr_in*>(pAddress)->sin_addr);
        CString text;
        text.Format("%u.%u.%u.%u", b[0], b[1], b[2], b[3]);
        return text;
    }
    if (pAddress->sa_family == AF_INET6) {
        if (!theWSocketIPv6Helper.m_pfnIpv6AddressToString)
            ThrowWSocketException(WSOCKET_E_NO_IPV6_FORMATTER);
        char buffer[47] = {};
        theWSocketIPv6Helper.m_pfnIpv6AddressToString(
            &reinterpret_cast<const sockaddr_in6*>(pAddress)->sin6_addr, buffer);
        return CString(buffer);
    }
    ThrowWSocketException(WSOCKET_E_FAMILY);
}

void CWSocket::NameOf(bool bPeer, CString& strHost, UINT& nPort)
{
    sockaddr_storage addr = {};
    int length = sizeof addr;
    SOCKADDR* pAddr = reinterpret_cast<SOCKADDR*>(&addr);
    if ((bPeer ? getpeername(m_hSocket, pAddr, &length) : getsockname(m_hSocket, pAddr, &length)) ==
        SOCKET_ERROR)
        ThrowWSocketException();
    char host[1025] = {};
    if (getnameinfo(pAddr, length, host, sizeof host, nullptr, 0, 0) != 0)
        ThrowWSocketException();
    strHost = host;
    nPort = ntohs(addr.ss_family == AF_INET6 ? reinterpret_cast<sockaddr_in6*>(&addr)->sin6_port
                                             : reinterpret_cast<sockaddr_in*>(&addr)->sin_port);
}

void CWSocket::GetPeerName(CString& strHost, UINT& nPort)
{
    NameOf(true, strHost, nPort);
}

void CWSocket::GetSockName(CString& strHost, UINT& nPort)
{
    NameOf(false, strHost, nPort);
}

void CWSocket::SetSockOpt(int nOption, const void* pValue, int nLength, int nLevel)
{
    if (setsockopt(m_hSocket, nLevel, nOption, static_cast<const char*>(pValue), nLength) ==
        SOCKET_ERROR)
        ThrowWSocketException();
}

void CWSocket::GetSockOpt(int nOption, void* pValue, int* pnLength, int nLevel)
{
    if (getsockopt(m_hSocket, nLevel, nOption, static_cast<char*>(pValue), pnLength) ==
        SOCKET_ERROR)
        ThrowWSocketException();
}

void CWSocket::IoCtl(long lCommand, DWORD* pArgument)
{
    u_long value = *pArgument;
    if (ioctlsocket(m_hSocket, lCommand, &value) == SOCKET_ERROR)
        ThrowWSocketException();
    *pArgument = value;
}

void CWSocket::ShutDown(int nHow)
{
    if (shutdown(m_hSocket, nHow) == SOCKET_ERROR)
        ThrowWSocketException();
}
