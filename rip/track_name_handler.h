// CTrackNameHandler: the file-name template language ("%" plus one keyword character) and the
// output paths of rips and conversions built from it.
#pragma once

#include "framework/core.h"

class CAudioTrackInfo;

// Output formats (the file type codes): 0 ".wav", 1 ".mp3", 2 ".ogg", 3 ".wma", 4 ".flac",
// 5 no extension; any other value also gives no extension.
class CTrackNameHandler
{
public:
    virtual ~CTrackNameHandler();

    // TRUE when the format is usable; otherwise FALSE and strError holds the translated reason
    // (strError is untouched on success).
    static BOOL Validate(const CString& strFormat, CString& strError);

    // Expands the format against the record. The counter (when above 0) is written as "[n]" at
    // the first %e, else at the end. FALSE when a "%" was followed by something that is not a
    // keyword; the name is produced all the same. Does not validate: refused characters pass.
    static BOOL Expand(const CString& strFormat, const CAudioTrackInfo& info, CString& strName,
                       int nCounter, int nOutputFormat);

    // The text with every character unfit for a file name turned into "_" (control characters
    // become blanks, so a trim removes them at the ends).
    static CString SanitizeFileName(const CString& strText);

    // strPath = output folder + expanded name, strLyricsPath the same with the extension ".LRC".
    // The expanded part is kept inside the output folder and within the Windows path limits:
    // no "." or ".." folders, no device names, an empty file name made "_", field values
    // shortened when the path would be too long. Returns the result of Expand, or FALSE with both
    // paths empty when not even the shortest name fits.
    static BOOL BuildRipPath(const CString& strOutputFolder, const CString& strFormat,
                             const CAudioTrackInfo& info, CString& strPath, CString& strLyricsPath,
                             int nCounter, int nOutputFormat);

    // The same for a conversion named after its source: title, "[n]" when the counter is above
    // 0, extension. TRUE, or FALSE with both paths empty when no name fits.
    static BOOL BuildConvertPath(const CString& strOutputFolder, const CString& strFileTitle,
                                 CString& strPath, CString& strLyricsPath, int nCounter,
                                 int nOutputFormat);

    // Creates every folder along the path (the last component is the file name and is never
    // created; drive roots and the start of a network path are skipped). Nonzero when the last
    // creation attempted made a folder; 0 when it failed (it already existed) or none was due.
    static BOOL CreateDirectories(const CString& strPath);

    // The file name without folder and without its last extension.
    static CString GetFileTitle(const CString& strPath);
};
