// The Windows system utilities: folders from the registry, the shell, the administrator test,
// the version and the processor count.
#include "foundation/util/sys_utils.h"

#include <shellapi.h>

#include <memory>
#include <vector>

namespace {

const char kShellFolders[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// A string value of at most nSize bytes (NUL included), or empty.
CString QueryText(HKEY hRoot, LPCTSTR lpszKey, LPCTSTR lpszValue, DWORD nSize,
                  REGSAM access = KEY_READ)
{
    HKEY hKey = nullptr;
    if (::RegOpenKeyExA(hRoot, lpszKey, 0, access, &hKey) != ERROR_SUCCESS)
        return CString();
    std::vector<char> buf(nSize + 1, '\0');
    DWORD type = 0;
    DWORD len = nSize;
    CString strText;
    if (::RegQueryValueExA(hKey, lpszValue, nullptr, &type, reinterpret_cast<BYTE*>(buf.data()),
                           &len) == ERROR_SUCCESS &&
        (type == REG_SZ || type == REG_EXPAND_SZ)) {
        buf[len < nSize ? len : nSize - 1] = '\0';
        strText = buf.data();
    }
    ::RegCloseKey(hKey);
    return strText;
}

struct HandleCloser {
    void operator()(HANDLE h) const { ::CloseHandle(h); }
};
using UniqueHandle = std::unique_ptr<void, HandleCloser>;

struct SidFreer {
    void operator()(PSID p) const { ::FreeSid(p); }
};
using UniqueSid = std::unique_ptr<void, SidFreer>;

// The thread's token, or the process's when the thread has none; opened for duplication.
UniqueHandle OpenOwnToken()
{
    HANDLE h = nullptr;
    if (::OpenThreadToken(::GetCurrentThread(), TOKEN_DUPLICATE | TOKEN_QUERY, TRUE, &h))
        return UniqueHandle(h);
    if (::GetLastError() != ERROR_NO_TOKEN)
        return nullptr;
    if (::OpenProcessToken(::GetCurrentProcess(), TOKEN_DUPLICATE | TOKEN_QUERY, &h))
        return UniqueHandle(h);
    return nullptr;
}

} // namespace

CString GetAppFolder(LPCTSTR lpszKeyPath)
{
    CString strFolder;
    if (lpszKeyPath)
        strFolder = QueryText(HKEY_LOCAL_MACHINE, lpszKeyPath, "Path", MAX_PATH);
    if (strFolder.IsEmpty()) {
        char path[MAX_PATH] = "";
        const DWORD len = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
        path[len < MAX_PATH ? len : MAX_PATH - 1] = '\0';
        strFolder = path;
        strFolder = strFolder.Left(strFolder.ReverseFind('\\') + 1);
    }
    if (!strFolder.IsEmpty() && strFolder[strFolder.GetLength() - 1] != '\\')
        strFolder += '\\';
    return strFolder;
}

CString GetUserShellFolder(LPCTSTR lpszName)
{
    return QueryText(HKEY_CURRENT_USER, kShellFolders, lpszName, MAX_PATH);
}

CString GetCommonShellFolder(LPCTSTR lpszName)
{
    return QueryText(HKEY_LOCAL_MACHINE, kShellFolders, lpszName, MAX_PATH);
}

CString GetDesktopFolder()
{
    return GetUserShellFolder("Desktop");
}

CString GetCommonAppDataFolder()
{
    return GetCommonShellFolder("Common AppData");
}

CString GetDefaultBrowser()
{
    const CString strCommand =
        QueryText(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", nullptr, MAX_PATH + 1,
                  KEY_READ | KEY_SET_VALUE | KEY_CREATE_SUB_KEY);
    if (strCommand.IsEmpty() || strCommand[0] != '"')
        return strCommand;
    const int close = strCommand.Find('"', 1);
    return close < 0 ? strCommand.Mid(1) : strCommand.Mid(1, close - 1);
}

BOOL OpenUrlOrFile(LPCTSTR lpszTarget, BOOL bUseBrowser)
{
    const CString strBrowser = bUseBrowser ? GetDefaultBrowser() : CString();
    HINSTANCE hResult;
    if (!strBrowser.IsEmpty())
        hResult = ::ShellExecuteA(nullptr, "open", strBrowser, lpszTarget, nullptr, SW_SHOW);
    else
        hResult = ::ShellExecuteA(nullptr, "open", lpszTarget, nullptr, nullptr, SW_SHOW);
    return reinterpret_cast<INT_PTR>(hResult) > 32;
}

LPCTSTR ShellExecuteVerb(BOOL bElevate, DWORD dwMajorVersion)
{
    return bElevate && dwMajorVersion > 5 ? "runas" : "open";
}

INT_PTR ShellExecuteElevated(HWND hParent, LPCTSTR lpszFile, LPCTSTR lpszParameters,
                             LPCTSTR lpszDirectory, int nShowCmd, BOOL bElevate)
{
    DWORD major = 0, minor = 0;
    GetWindowsVersion(major, minor);
    return reinterpret_cast<INT_PTR>(::ShellExecuteA(hParent, ShellExecuteVerb(bElevate, major),
                                                     lpszFile, lpszParameters, lpszDirectory,
                                                     nShowCmd));
}

BOOL UserIsAdministrator()
{
    UniqueHandle token = OpenOwnToken();
    if (!token)
        return FALSE;
    HANDLE hImpersonation = nullptr;
    if (!::DuplicateToken(token.get(), SecurityImpersonation, &hImpersonation))
        return FALSE;
    UniqueHandle impersonation(hImpersonation);

    SID_IDENTIFIER_AUTHORITY ntAuthority = SECURITY_NT_AUTHORITY;
    PSID pSid = nullptr;
    if (!::AllocateAndInitializeSid(&ntAuthority, 2, SECURITY_BUILTIN_DOMAIN_RID,
                                    DOMAIN_ALIAS_RID_ADMINS, 0, 0, 0, 0, 0, 0, &pSid))
        return FALSE;
    UniqueSid admins(pSid);

    // A descriptor owned by Administrators whose one entry grants them read (1) and write (2).
    const DWORD aclSize = sizeof(ACL) + sizeof(ACCESS_ALLOWED_ACE) + ::GetLengthSid(pSid) -
                          sizeof(DWORD);
    std::vector<BYTE> aclBuf(aclSize);
    PACL pAcl = reinterpret_cast<PACL>(aclBuf.data());
    SECURITY_DESCRIPTOR sd;
    if (!::InitializeAcl(pAcl, aclSize, ACL_REVISION2) ||
        !::AddAccessAllowedAce(pAcl, ACL_REVISION2, 3, pSid) ||
        !::InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) ||
        !::SetSecurityDescriptorDacl(&sd, TRUE, pAcl, FALSE) ||
        !::SetSecurityDescriptorOwner(&sd, pSid, FALSE) ||
        !::SetSecurityDescriptorGroup(&sd, pSid, FALSE))
        return FALSE;

    GENERIC_MAPPING mapping = {1, 2, 0, 3};
    PRIVILEGE_SET privileges;
    DWORD privilegesSize = sizeof privileges;
    DWORD granted = 0;
    BOOL bStatus = FALSE;
    if (!::AccessCheck(&sd, impersonation.get(), 1, &mapping, &privileges, &privilegesSize,
                       &granted, &bStatus))
        return FALSE;
    return bStatus;
}

void GetWindowsVersion(DWORD& dwMajor, DWORD& dwMinor)
{
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    ::GetVersionExA(&info);
#pragma GCC diagnostic pop
    dwMajor = info.dwMajorVersion;
    dwMinor = info.dwMinorVersion;
}

BOOL IsNT4OrLaterVersion(DWORD dwMajor, DWORD dwMinor)
{
    return dwMajor > 4 || (dwMajor == 4 && dwMinor == 0);
}

int GetProcessorCount()
{
    SYSTEM_INFO info;
    ::GetSystemInfo(&info);
    return static_cast<int>(info.dwNumberOfProcessors);
}
