// CCDDBLocalManager: the local disc store (ini files of the data folder's "cddb" subfolder,
// and the legacy single store file, read only) and the Windows "cdplayer.ini".
#pragma once

#include "framework/core.h"

class CCDInfo;

class CCDDBLocalManager
{
public:
    // Computes the two paths; touches no file.
    CCDDBLocalManager();
    virtual ~CCDDBLocalManager();

    // Fills the disc from its section (by disc-index id, else by CDDB id text): 1 when found;
    // 0 for a miss, which leaves the disc unchanged.
    int Load(CCDInfo* pInfo);
    // 1 when written (write failures are not looked at); 0 when the disc is not storable.
    int Save(CCDInfo* pInfo);
    int WriteCDPlayerIni(CCDInfo* pInfo);

    // Escapes the value into the store file named after the section's first four characters.
    void WriteStoreKey(LPCTSTR lpszSection, LPCTSTR lpszKey, LPCTSTR lpszValue);
    // From that store file when it can be read, else from the legacy file; a missing file,
    // section or key gives the empty text. Returns the characters read (before decoding).
    int ReadStoreKey(LPCTSTR lpszSection, LPCTSTR lpszKey, CString& strValue);

    // Bytes 1 to 31 and "%" as "%XX" (upper-case hex); so are a double quote and a blank at
    // either end, which the profile functions would strip on reading.
    static CString EscapeValue(LPCTSTR lpszValue);
    // "%XX" with upper-case hex digits decoded; anything else taken unchanged.
    static CString UnescapeValue(LPCTSTR lpszValue);
    // As UnescapeValue, and "~XXXX" (upper-case hex) gives the low byte of its value.
    static CString UnescapeLegacyValue(LPCTSTR lpszValue);
    // A disc id, at least one entry, and at least one entry that is not a file entry.
    static bool IsStorableDisc(const CCDInfo& info);

    // The store file of a section: the store folder, its first four characters, ".idx".
    CString GetStoreFilePath(LPCTSTR lpszSection) const;
    // The Windows folder's "cdplayer.ini".
    static CString GetCDPlayerIniPath();

protected:
    CString m_strLegacyFile;  // "ZPX3_db.ini" in the install folder
    CString m_strStoreFolder; // the data folder's "cddb"
};
