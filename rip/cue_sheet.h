// The cue sheet of a multi-track rip: several tracks of a disc in one output file.
// Classes here: CCueSheetTrack, CCueSheet.
#pragma once

#include "framework/core.h"

class CCueSheetTrack
{
public:
    CString m_strTitle;
    CString m_strPerformer;
    CString m_strIndexTime; // start in the file, "mm:ss:ff" (ff in 1/75 second)
};

class CCueSheet
{
public:
    CCueSheet();
    CCueSheet(const CCueSheet& other); // copies the texts and every track
    virtual ~CCueSheet();

    CCueSheet& operator=(const CCueSheet&) = delete;

    // Empties the three texts and deletes every track.
    void Clear();

    void SetTitle(const CString& strTitle);
    void SetPerformer(const CString& strPerformer);
    void SetFile(const CString& strFile);

    // Appends a track; returns its position (from 0).
    INT_PTR AddTrack(const CString& strTitle, const CString& strPerformer,
                     const CString& strIndexTime);

    // 1 when the file was written; 0 when it cannot be created or written (no file is left).
    BOOL Write(const CString& strPath) const;

    // The text with every double quote replaced by an apostrophe.
    static CString ReplaceQuotes(const CString& strText);

private:
    CString m_strTitle;
    CString m_strPerformer;
    CString m_strFile;
    CPtrArray m_tracks; // owned CCueSheetTrack*
};
