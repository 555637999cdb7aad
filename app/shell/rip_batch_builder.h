// CRipBatchBuilder: what the format commands put in a batch, one task per checked row.
#pragma once

#include "framework/core.h"

class CCDTrack;
class CRipThreadList;

// Gives each row a unique output path (from the file-name template, or from the source file's
// name in the "Converter" mode when the settings ask for it), creates its folders and adds a
// task with a copy of the row's tags, the gain and the LRC name. Reads the settings when built.
class CRipBatchBuilder {
public:
    // nFormat: the output format, 0 WAV, 1 MP3, 2 Ogg Vorbis, 3 WMA, 4 FLAC. The batch is not
    // owned; it owns every task added to it.
    CRipBatchBuilder(CRipThreadList& batch, int nFormat);
    CRipBatchBuilder(const CRipBatchBuilder&) = delete;
    CRipBatchBuilder& operator=(const CRipBatchBuilder&) = delete;

    // Adds the task of row nRow (track number nRow + 1 for a CD track). FALSE, with no name,
    // folder or task, for a row that is neither an audio track nor a file entry.
    BOOL AddTrack(int nRow, const CCDTrack& track);

    // The output folder, after making `OutputPath` usable: shorter than 3 characters it becomes
    // the user's Desktop folder, and when that is too short as well "C:\". The setting keeps it.
    static CString PrepareOutputFolder();
    // The batch's limit in the mode (0 "Ripper", else a file mode): `ConcurrentRippings` or
    // `ConcurrentConversions`; below 1 the number of processors, at least 1.
    static int ConcurrencyLimit(int nMode);

private:
    CString TakeName(const CCDTrack& track, CString& strLrcPath);

    CRipThreadList& m_batch;
    int m_nFormat;
    CString m_strFolder;
    CString m_strTemplate;
    BOOL m_bUseFileNames;
    BOOL m_bOverwrite;
    BOOL m_bWriteLrc;
    double m_dGain;
    CMapStringToPtr m_taken{10}; // upper-cased output paths given in this batch
};
