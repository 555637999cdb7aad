// System utilities: install and shell folders, path joining, URL encoding, opening pages and
// files, elevation, the administrator and Windows version tests, the processor count.
// The path and URL helpers are portable; the rest wraps Win32 and exists on Windows only.
#pragma once

#include "framework/core.h"

// The folder, a backslash unless it already ends with one, then the name. An empty folder
// gives a backslash followed by the name.
CString AppendPathComponent(LPCTSTR lpszFolder, LPCTSTR lpszName);

// Letters and digits stay; every other byte becomes "%xx" (two lower-case hex digits).
void UrlEncode(LPCTSTR lpszText, CString& strEncoded);
CString UrlEncoded(LPCTSTR lpszText);

#ifdef _WIN32
// The value "Path" of the key under HKEY_LOCAL_MACHINE, else (no key given, key or value
// missing) the program file's folder; ends with a backslash. Needs no application object.
CString GetAppFolder(LPCTSTR lpszKeyPath = nullptr);

// A value of "Shell Folders" under HKEY_CURRENT_USER / HKEY_LOCAL_MACHINE, as the registry
// holds it (normally without a trailing backslash); empty when missing.
CString GetUserShellFolder(LPCTSTR lpszName);
CString GetCommonShellFolder(LPCTSTR lpszName);
CString GetDesktopFolder();
CString GetCommonAppDataFolder();

// The program path of the "http" open command (its quoted first part, or the whole value
// when it does not start with a double quote); empty when there is none.
CString GetDefaultBrowser();
// Opens a URL, file or folder; with bUseBrowser, through the default browser when there is
// one. TRUE when the shell accepted it.
BOOL OpenUrlOrFile(LPCTSTR lpszTarget, BOOL bUseBrowser);

// ShellExecute with "runas" when bElevate is set on Windows 6 and later, else "open". Does
// not wait for the program; returns the shell's result code (above 32 on success).
INT_PTR ShellExecuteElevated(HWND hParent, LPCTSTR lpszFile, LPCTSTR lpszParameters,
                             LPCTSTR lpszDirectory, int nShowCmd, BOOL bElevate);
// The verb ShellExecuteElevated uses on a Windows of that major version.
LPCTSTR ShellExecuteVerb(BOOL bElevate, DWORD dwMajorVersion);

// Whether the user's token passes an access check against a descriptor that grants only the
// built-in Administrators group. FALSE on any failure.
BOOL UserIsAdministrator();

// The running Windows version as the system reports it.
void GetWindowsVersion(DWORD& dwMajor, DWORD& dwMinor);
// TRUE for a major version above 4 or exactly 4.0 (not 4.10 or 4.90).
BOOL IsNT4OrLaterVersion(DWORD dwMajor, DWORD dwMinor);

int GetProcessorCount();
#endif
