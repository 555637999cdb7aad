// WriteWholeTextFile: creates (or replaces) a file with a text built in memory, shared by the
// playlist and cue sheet writers.
#pragma once

#include "framework/core.h"

// Writes the bytes of strText as they are (line breaks must already be CR LF). FALSE when the
// file cannot be created or the write fails; a partly written file is removed.
BOOL WriteWholeTextFile(const CString& strPath, const CString& strText);
