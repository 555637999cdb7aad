// The job error codes of the rip engine and their translated texts, in one place for the job
// and the format openers.
#pragma once

#include "framework/core.h"

// The numbers are those of the translated texts; stored language files know them by key.
enum class RipJobError : int {
    General = -1,
    CdReaderInit = 1,
    WavReaderInit = 2,
    Mp3ReaderInit = 3,
    VorbisReaderInit = 4,
    WmaReaderInit = 5,
    FlacReaderInit = 6,
    CannotFindCd = 7,
    WavWriterInit = 8,
    Mp3WriterInit = 9,
    VorbisWriterInit = 10,
    WmaWriterInit = 11,
    FlacWriterInit = 12,
    UserStop = 14,
};

// The translated text of the code; any code outside the table gives "General error".
CString RipErrorText(int nCode);
inline CString RipErrorText(RipJobError code) { return RipErrorText(static_cast<int>(code)); }

// The text of the code with lpszDetail in place of its "%s" (the text as it is without one).
// Spliced rather than formatted: a translated text is outside input and may hold other '%'.
CString RipErrorText(RipJobError code, LPCTSTR lpszDetail);
// The same splice over any text (the texts of the job that are not in the table).
CString RipSpliceDetail(const CString& strText, LPCTSTR lpszDetail);
