// CAudioAbstractInfoTagReader: reads the tags of one audio file into a CAudioTrackInfo and
// tells whether an open file is of its format. One class per format derives from it.
#pragma once

#include "audio/audio_stream.h"
#include "audio/track/track_info.h"
#include "framework/core.h"
#include "framework/file.h"

#include <memory>

class CAudioAbstractInfoTagReader : public CAudioErrorState
{
public:
    CAudioAbstractInfoTagReader();
    // Closes the file.
    virtual ~CAudioAbstractInfoTagReader();

    CAudioAbstractInfoTagReader(const CAudioAbstractInfoTagReader&) = delete;
    CAudioAbstractInfoTagReader& operator=(const CAudioAbstractInfoTagReader&) = delete;

    // Opens the file for reading (others may not write it). FALSE, error unchanged, when a file
    // is already open; FALSE with error 3 "File not found" when it cannot be opened.
    virtual BOOL Open(LPCTSTR pszPath);
    // Closes and deletes the file; FALSE when none was open.
    virtual BOOL Close();
    virtual BOOL IsOpen();
    // Fills the fields the file's tags carry and leaves the others unchanged. Without an open
    // file: FALSE with error 1.
    virtual BOOL ReadTags(CAudioTrackInfo& track) = 0;
    // Nonzero when the open file is of the reader's format; leaves the file position as it was.
    // Without an open file: FALSE with error 1.
    virtual BOOL IsThisFormat() = 0;

protected:
    // The open file, or null; the reader keeps ownership.
    CFile* GetFile() const { return m_pFile.get(); }
    // The path given to the last successful Open.
    const CString& GetPath() const { return m_strPath; }

private:
    std::unique_ptr<CFile> m_pFile;
    CString m_strPath;
};

//! The length of the ID3v2 tag at the start of the file (its 10-byte header included), 0 when
//! the file does not start with one. Leaves the file position as it was; raises CFileException.
ULONGLONG Id3v2TagLength(CFile& file);

//! True when the file starts with the four bytes of magic, or has them right after one ID3v2
//! tag at its start (FLAC and Ogg files with a tag before them). The file position is
//! restored; read errors count as false.
bool StartsWithMagicAfterId3v2(CFile& file, const char magic[4]);
