// The readers and writers a job can open, chosen by file type code. A format joins the rip
// engine by adding its row to the table in rip_formats.cpp; the job logic does not change.
#pragma once

#include "framework/core.h"

#include <memory>

class CAudioAbstractReader;
class CAudioAbstractWriter;
class CAudioCD;
class CRipTask;

// An opened source. A CD job also holds the opened disc its reader reads from; the job
// releases the reader first, then the disc (the reader reads through it to its end).
struct CRipSource {
    std::unique_ptr<CAudioCD> pDisc;
    std::unique_ptr<CAudioAbstractReader> pReader;

    CRipSource();
    ~CRipSource();
    // Reader, then disc.
    void Release();
};

// Opens the task's source. False with strError set to the job's error text (for a source type
// that is not 0 to 4 or 99: the input's format is not recognised); nothing is left open then.
BOOL RipOpenSource(CRipTask& task, CRipSource& source, CString& strError);

// Creates and opens the writer of the task's output format on lpszPath (the job writes under
// a temporary name and renames it when complete). Null with strError set to the job's error
// text ("General error" for an output format no writer has).
std::unique_ptr<CAudioAbstractWriter> RipOpenWriter(CRipTask& task, LPCTSTR lpszPath,
                                                    int nSampleRate, CString& strError);
