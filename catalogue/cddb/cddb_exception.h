// The CDDB client's exception, thrown by pointer and deleted by the catcher.
// Codes are composed like system result codes: 0x80000000 | facility << 16 | code, facility 7
// for a system or Winsock code, 4 for the client's own codes (513, 520-524); the reply
// failures 512 and 514-519 are plain codes.
#pragma once

#include "framework/core.h"

enum : DWORD {
    CDDB_FACILITY_CLIENT = 4,
    CDDB_FACILITY_SYSTEM = 7,

    CDDB_E_SITES = 512,
    CDDB_E_NO_AUDIO_TRACK = 513,
    CDDB_E_LSCAT = 514,
    CDDB_E_STAT = 515,
    CDDB_E_QUERY = 516,
    CDDB_E_READ = 517,
    CDDB_E_SUBMIT = 518,
    CDDB_E_MOTD = 519,
    CDDB_E_FILE_TOO_LARGE = 520,
    CDDB_E_FILE_EMPTY = 521,
    CDDB_E_BAD_RECORD = 522,
    CDDB_E_NOT_IN_FILE = 523,
    CDDB_E_CLOSED_EARLY = 524,
};

class CCDDBException : public CException
{
    DECLARE_DYNAMIC(CCDDBException)
public:
    // The code itself (reply failures).
    CCDDBException(DWORD dwCode, LPCTSTR lpszResponse);
    // 0x80000000 | facility << 16 | code.
    CCDDBException(DWORD dwCode, DWORD dwFacility, LPCTSTR lpszResponse);
    // A media-control error: the code | 0x80070000, flagged as such.
    CCDDBException(LPCTSTR lpszResponse, DWORD dwMciCode);
    ~CCDDBException() override;

    // Media-control errors: the media-control library's text. Facility 4: the program's string
    // of that id formatted with the response (TRUE even when there is none). Else the system's
    // message for the low 16 bits. FALSE and an empty buffer when there is no text.
    BOOL GetErrorMessage(LPTSTR lpszError, UINT nMaxError,
                         PUINT pnHelpContext = nullptr) const override;
    CString GetErrorText() const;

    BOOL m_bMciError;
    DWORD m_dwError;
    CString m_strResponse;
};

// Code 0 takes the calling thread's last system error.
[[noreturn]] void ThrowCCDDBException(DWORD dwCode, DWORD dwFacility, LPCTSTR lpszResponse);
[[noreturn]] void ThrowCCDDBReplyException(DWORD dwCode, LPCTSTR lpszResponse);
[[noreturn]] void ThrowCCDDBMciException(DWORD dwMciCode, LPCTSTR lpszResponse);

// The system's message text for a code in the system's default language; empty when none.
CString CddbSystemMessage(DWORD dwCode);
