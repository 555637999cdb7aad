// What CFile's portable half (file.cpp) asks of its platform half (file_win.cpp over Win32
// handles, file_posix.cpp over POSIX descriptors in the native build). Internal to CFile.
#pragma once

#include "framework/file.h"

namespace file_platform
{

// The last system error of this thread (GetLastError or errno).
LONG LastOsError();
// The name made absolute against the current folder; the name itself when that fails.
CString FullPath(LPCTSTR name);
// Opens as CFile::Open's flags ask; CFile::hFileNull on failure, with LastOsError telling why.
HANDLE OpenHandle(LPCTSTR name, UINT flags);
// Copies the path into the status record, cut to its field (file.cpp).
void SetFullName(CFileStatus& rStatus, const CString& path);

} // namespace file_platform
