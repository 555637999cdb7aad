// A thin object over one Windows Sockets 2 handle: every failing platform call becomes a thrown
// CWSocketException* carrying the Winsock (or system) code. Also connects through SOCKS4,
// SOCKS5 and HTTP CONNECT proxies. Winsock is started by the application, not here.
// Classes here: CWSocketException, CWSocket, CWSocketIPv6Helper.
#pragma once

#include "framework/core.h"

#include <winsock2.h>
#include <ws2tcpip.h>

// Codes the layer raises itself (besides the platform's).
enum : int {
    WSOCKET_E_BAD_ADDRESS_TEXT = 10022, // an IPv4 text that does not parse (bind)
    WSOCKET_E_FAMILY = 10014,           // an address of another family than IPv4/IPv6
    WSOCKET_E_NO_IPV6_FORMATTER = 120,  // no IPv6 formatter in this system
    WSOCKET_E_CONNECT_TIMEOUT = 10060,  // connect with timeout: time ran out
    WSOCKET_E_PROXY_TIMEOUT = 1460,     // a proxy did not answer in time
    WSOCKET_E_PROXY_CLOSED = 1226,      // a proxy closed the connection mid-exchange
    WSOCKET_E_PROXY_FAILED = 58,        // a proxy answered with a failure or nonsense
    WSOCKET_E_SOCKS5_NO_METHOD = 10061, // no authentication method accepted
    WSOCKET_E_SOCKS5_TOO_LONG = 87,     // user, password or host over 255 characters
    WSOCKET_E_SOCKS5_AUTH = 5,          // user name and password refused
    WSOCKET_E_NO_MEMORY = 14,
    WSOCKET_E_HTTP_PROXY_STATUS = 1225, // CONNECT answered with a status other than 200
};

class CWSocketException : public CException
{
    DECLARE_DYNAMIC(CWSocketException)
public:
    explicit CWSocketException(int nError) : m_nError(nError) {}
    ~CWSocketException() override;

    // The system's message for m_nError; FALSE and an empty buffer when it has none.
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError,
                         PUINT pnHelpContext = nullptr) const override;
    CString GetErrorText() const;

    int m_nError;
};

// Code 0 takes the calling thread's last Winsock error.
[[noreturn]] void ThrowWSocketException(int nError = 0);

// Overwrite credentials before their memory is given back.
void SecureZeroBytes(void* pBuffer, size_t nLength);
void SecureWipeString(CString& str);

// RtlIpv6AddressToStringA from the loaded NTDLL.DLL, looked up once before the program starts.
class CWSocketIPv6Helper
{
public:
    typedef LPSTR(WINAPI* PFN_IPV6_TO_STRING)(const IN6_ADDR* pAddr, LPSTR pszText);
    CWSocketIPv6Helper();

    PFN_IPV6_TO_STRING m_pfnIpv6AddressToString;
};
extern CWSocketIPv6Helper theWSocketIPv6Helper;

class CWSocket
{
public:
    CWSocket();
    CWSocket(const CWSocket&) = delete;
    CWSocket& operator=(const CWSocket&) = delete;
    virtual ~CWSocket();

    // Used by the CDDB client.
    void Create(BOOL bDatagram = FALSE, BOOL bIPv6 = FALSE);
    void CreateSocket(int nType, int nFamily);
    // Resolves with no hints and tries every address in turn on the existing socket; the code
    // of the last failure is thrown when none connects.
    void Connect(LPCTSTR lpszHost, UINT nPort);
    void Connect(LPCTSTR lpszHost, LPCTSTR lpszService);
    int Send(const void* pBuffer, int nLength, int nFlags = 0);
    // 0 when the peer has closed the connection.
    int Receive(void* pBuffer, int nCapacity, int nFlags = 0);
    BOOL IsReadable(DWORD dwTimeoutMs);
    BOOL IsWritable(DWORD dwTimeoutMs);
    void Close();

    BOOL IsCreated() const { return m_hSocket != INVALID_SOCKET; }
    SOCKET GetHandle() const { return m_hSocket; }
    void AttachHandle(SOCKET hSocket);
    SOCKET DetachHandle();

    void Bind(const SOCKADDR* pAddress, int nLength);
    // An empty address text binds to any address.
    void Bind(UINT nPort, LPCTSTR lpszAddress = nullptr);
    void CreateAndBind(UINT nPort, int nType = SOCK_STREAM, int nFamily = AF_INET);
    void BindToBindAddress(LPCTSTR lpszService);
    void Listen(int nBacklog = SOMAXCONN);
    void Accept(CWSocket& connected);
    void Accept(CWSocket& connected, SOCKADDR* pAddress, int* pnLength);
    void ConnectAddress(const SOCKADDR* pAddress, int nLength);
    void CreateAndConnect(LPCTSTR lpszHost, UINT nPort, int nType = SOCK_STREAM);
    void CreateAndConnect(LPCTSTR lpszHost, LPCTSTR lpszService, int nType = SOCK_STREAM);
    // Leaves the socket non-blocking unless bRestoreBlocking is set.
    void ConnectWithTimeout(const SOCKADDR* pAddress, int nLength, DWORD dwTimeoutMs,
                            BOOL bRestoreBlocking = TRUE);
    void CreateAndConnectWithTimeout(LPCTSTR lpszHost, UINT nPort, DWORD dwTimeoutMs,
                                     BOOL bRestoreBlocking = TRUE, int nType = SOCK_STREAM);
    void CreateAndConnectWithTimeout(LPCTSTR lpszHost, LPCTSTR lpszService, DWORD dwTimeoutMs,
                                     BOOL bRestoreBlocking = TRUE, int nType = SOCK_STREAM);

    // Proxies: any failure closes the socket and throws its code.
    void ConnectViaSocks4(LPCTSTR lpszHost, UINT nPort, LPCTSTR lpszProxy, UINT nProxyPort,
                          DWORD dwTimeoutMs = 5000);
    void ConnectViaSocks5(LPCTSTR lpszHost, UINT nPort, LPCTSTR lpszProxy, UINT nProxyPort,
                          LPCTSTR lpszUser = nullptr, LPCTSTR lpszPassword = nullptr,
                          DWORD dwTimeoutMs = 5000, BOOL bUDP = FALSE);
    void ConnectViaHttpProxy(LPCTSTR lpszHost, UINT nPort, LPCTSTR lpszProxy, UINT nProxyPort,
                             CString& strReply, LPCTSTR lpszUser = nullptr,
                             LPCTSTR lpszPassword = nullptr, DWORD dwTimeoutMs = 5000,
                             LPCTSTR lpszUserAgent = nullptr);

    int SendTo(const void* pBuffer, int nLength, const SOCKADDR* pAddress, int nAddressLength,
               int nFlags = 0);
    // Tries every resolved address until one send succeeds.
    int SendTo(const void* pBuffer, int nLength, UINT nPort, LPCTSTR lpszHost, int nFlags = 0);
    int ReceiveFrom(void* pBuffer, int nCapacity, SOCKADDR* pAddress, int* pnAddressLength,
                    int nFlags = 0);
    int ReceiveFrom(void* pBuffer, int nCapacity, CString& strAddress, UINT& nPort, int nFlags = 0);

    static CString AddressToString(const SOCKADDR* pAddress);
    void GetPeerName(CString& strHost, UINT& nPort);
    void GetSockName(CString& strHost, UINT& nPort);
    void SetSockOpt(int nOption, const void* pValue, int nLength, int nLevel = SOL_SOCKET);
    void GetSockOpt(int nOption, void* pValue, int* pnLength, int nLevel = SOL_SOCKET);
    void IoCtl(long lCommand, DWORD* pArgument);
    void ShutDown(int nHow = SD_SEND);

    SOCKET m_hSocket;
    CString m_strBindAddress;

protected:
    void ReadSocks5Reply(DWORD dwTimeoutMs);
    // Exactly nLength bytes, waiting up to the timeout before each receive.
    void ReceiveFromProxy(BYTE* pBuffer, int nLength, DWORD dwTimeoutMs);
    void SendAll(const void* pBuffer, int nLength);
    void NameOf(bool bPeer, CString& strHost, UINT& nPort);
};
