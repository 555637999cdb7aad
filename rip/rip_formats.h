// The readers and writers a job can open, chosen by file type code. A format joins the rip
// engine by adding its row to the table in rip_formats.cpp; the job logic does not change.
#pragma once

#include "framework/core.h"

#include <functional>

class CAudioAbstractReader;
class CAudioAbstractWriter;
class CRipTask;

// An opened source. For a CD, releaseDisc deletes the opened disc the reader reads from; it
// runs after the reader was deleted.
struct CRipSource {
    CAudioAbstractReader* pReader = nullptr;
    std::function<void()> releaseDisc;
};

// Opens the task's source. False with strError set to the job's error text (for a source type
// that is not 0 to 4 or 99: the input's format is not recognised); nothing is left open then.
BOOL RipOpenSource(CRipTask& task, CRipSource& source, CString& strError);

// Creates and opens the writer of the task's output format on lpszPath (the job writes under
// a temporary name and renames it when complete). Null with strError set to the job's error
// text (empty for an unknown output format); the caller owns the result.
CAudioAbstractWriter* RipOpenWriter(CRipTask& task, LPCTSTR lpszPath, int nSampleRate,
                                    CString& strError);
