// CPlayListBuilder: the playlist of a finished batch, one entry per output file, written as M3U,
// PLS, B4S (XML), HTML or CSV.
#pragma once

#include "framework/core.h"

class CPlayListBuilder
{
public:
    enum { MAX_ENTRIES = 256 };

    CPlayListBuilder();
    virtual ~CPlayListBuilder();

    CPlayListBuilder(const CPlayListBuilder&) = delete;
    CPlayListBuilder& operator=(const CPlayListBuilder&) = delete;

    // Appends an entry; a path with a drive ("C:...") is stored without its drive letter and
    // colon. FALSE, storing nothing, once the table holds MAX_ENTRIES entries.
    BOOL AddEntry(const CString& strPath, const CString& strArtist, const CString& strTitle,
                  LONG nSeconds);

    // Each writer creates or replaces the file with all entries in order (lines end with CR LF).
    // FALSE when the file cannot be created or written; no file is left behind then.
    BOOL WriteM3U(const CString& strFile) const;
    BOOL WritePLS(const CString& strFile, const CString& strLabel) const;
    BOOL WriteB4S(const CString& strFile, const CString& strLabel) const;
    BOOL WriteHTML(const CString& strFile, const CString& strLabel) const;
    BOOL WriteCSV(const CString& strFile, const CString& strLabel) const; // label unused

private:
    struct Entry {
        CString strPath;
        CString strArtist;
        CString strTitle;
        LONG nSeconds = 0;
    };

    Entry m_entries[MAX_ENTRIES];
    LONG m_nCount = 0;
};
