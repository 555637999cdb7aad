// Reading a disc's record from a local freedb-style database file.
#include "catalogue/cddb/cddb.h"

#include <cstring>
#include <memory>
#include <new>

namespace
{
// A record file is a few kilobytes; one this large is no record and is not loaded.
const ULONGLONG kMaxRecordFile = 16 * 1024 * 1024;

// freedb lines are under 256 characters; the rest of a longer one is not kept, so one huge
// line cannot take the memory of its length.
const UINT kMaxLine = 4096;

// The next line without its line end, at most kMaxLine characters; bCut tells that more was
// skipped. FALSE at the end of the file.
BOOL ReadBoundedLine(CStdioFile& file, CString& line, bool& bCut)
{
    char buffer[kMaxLine + 1];
    bCut = false;
    if (!file.ReadString(buffer, sizeof buffer))
        return FALSE;
    line = buffer;
    bool ended = line.GetLength() < static_cast<int>(kMaxLine) || line.Right(1) == "\n";
    while (!ended) {
        // The chunk filled the buffer without a line end: skip to the end of the line.
        if (!file.ReadString(buffer, sizeof buffer))
            break;
        bCut = true;
        const size_t n = std::strlen(buffer);
        ended = n < kMaxLine || buffer[n - 1] == '\n';
    }
    line.TrimRight("\r\n");
    return TRUE;
}

[[noreturn]] void ThrowFileError(CFileException* e)
{
    const DWORD code = e->m_lOsError > 0 ? static_cast<DWORD>(e->m_lOsError) : 0;
    e->Delete();
    ThrowCCDDBException(code, CDDB_FACILITY_SYSTEM, "");
}

CString ReadSingleRecordText(LPCTSTR lpszPath)
{
    CFile file;
    CFileException error;
    if (!file.Open(lpszPath, CFile::modeRead | CFile::shareDenyWrite, &error)) {
        const DWORD code = error.m_lOsError > 0 ? static_cast<DWORD>(error.m_lOsError) : 0;
        ThrowCCDDBException(code, CDDB_FACILITY_SYSTEM, "");
    }
    try {
        const ULONGLONG size = file.GetLength();
        if (size >= kMaxRecordFile)
            ThrowCCDDBException(CDDB_E_FILE_TOO_LARGE, CDDB_FACILITY_CLIENT, "");
        if (size == 0)
            ThrowCCDDBException(CDDB_E_FILE_EMPTY, CDDB_FACILITY_CLIENT, "");
        std::unique_ptr<char[]> buffer(new (std::nothrow) char[size + 1]);
        if (!buffer)
            ThrowCCDDBException(14, CDDB_FACILITY_SYSTEM, "");
        const UINT n = file.Read(buffer.get(), static_cast<UINT>(size));
        buffer[n] = '\0';
        return CString(buffer.get());
    } catch (CFileException* e) {
        ThrowFileError(e);
    }
}

CString ReadRecordFromRangeFile(DWORD dwDiscId, LPCTSTR lpszPath)
{
    CStdioFile file;
    CFileException error;
    if (!file.Open(lpszPath, CFile::modeRead | CFile::typeText | CFile::shareDenyWrite, &error))
        throw new CCDDBException(static_cast<DWORD>(error.m_cause), "");
    CString start;
    start.Format("#FILENAME=%08X", static_cast<unsigned>(dwDiscId));
    CString text, line;
    bool started = false, cut = false;
    try {
        while (ReadBoundedLine(file, line, cut)) {
            if (!started) {
                started = !cut && line.CompareNoCase(start) == 0;
                continue;
            }
            if (line.Find("#FILENAME") >= 0)
                break;
            if (cut)
                ThrowCCDDBException(CDDB_E_BAD_RECORD, CDDB_FACILITY_CLIENT, "");
            text += line + "\r\n";
            if (static_cast<ULONGLONG>(text.GetLength()) >= kMaxRecordFile)
                ThrowCCDDBException(CDDB_E_FILE_TOO_LARGE, CDDB_FACILITY_CLIENT, "");
        }
    } catch (CFileException* e) {
        const DWORD cause = static_cast<DWORD>(e->m_cause);
        e->Delete();
        ThrowCCDDBException(cause, CDDB_FACILITY_SYSTEM, "");
    }
    if (!started)
        ThrowCCDDBException(CDDB_E_NOT_IN_FILE, CDDB_FACILITY_CLIENT, "");
    return text;
}
} // namespace

void CCDDB::ReadLocalRecordFile(DWORD dwDiscId, LPCTSTR lpszPath, BOOL bSingleRecord,
                                CCDDBRecord& record)
{
    const CString text = bSingleRecord ? ReadSingleRecordText(lpszPath)
                                       : ReadRecordFromRangeFile(dwDiscId, lpszPath);
    if (!ParseXmcdRecord(record, text))
        ThrowCCDDBException(CDDB_E_BAD_RECORD, CDDB_FACILITY_CLIENT, "");
}
