// CAudioAbstractInfoTagReader: opening, closing and error keeping shared by the tag readers.
#include "audio/formats/tag_reader.h"

#include <cstring>

CAudioAbstractInfoTagReader::CAudioAbstractInfoTagReader() = default;

CAudioAbstractInfoTagReader::~CAudioAbstractInfoTagReader()
{
    CAudioAbstractInfoTagReader::Close();
}

BOOL CAudioAbstractInfoTagReader::Open(LPCTSTR pszPath)
{
    if (m_pFile)
        return FALSE;
    SetError(AUDIO_ERROR_NONE, "");
    auto file = std::make_unique<CFile>();
    if (!pszPath ||
        !file->Open(pszPath, CFile::modeRead | CFile::shareDenyWrite | CFile::typeBinary)) {
        SetError(AUDIO_ERROR_FILE_NOT_FOUND, "File not found");
        return FALSE;
    }
    m_pFile = std::move(file);
    m_strPath = pszPath;
    return TRUE;
}

BOOL CAudioAbstractInfoTagReader::Close()
{
    if (!m_pFile)
        return FALSE;
    m_pFile->Abort();
    m_pFile.reset();
    return TRUE;
}

BOOL CAudioAbstractInfoTagReader::IsOpen()
{
    return m_pFile != nullptr;
}


ULONGLONG Id3v2TagLength(CFile& file)
{
    const ULONGLONG position = file.GetPosition();
    BYTE head[10] = {};
    file.SeekToBegin();
    const UINT n = file.Read(head, sizeof head);
    file.Seek(static_cast<LONGLONG>(position), CFile::begin);
    if (n < 10 || std::memcmp(head, "ID3", 3) != 0)
        return 0;
    // "ID3", version (2), flags (1), then the size of what follows the header as four 7-bit
    // bytes, most significant first.
    return ((ULONGLONG(head[6] & 0x7F) << 21) | ((head[7] & 0x7F) << 14) |
            ((head[8] & 0x7F) << 7) | (head[9] & 0x7F)) + 10;
}

bool StartsWithMagicAfterId3v2(CFile& file, const char magic[4])
{
    bool found = false;
    ULONGLONG position = 0;
    try {
        position = file.GetPosition();
        BYTE head[4] = {};
        file.Seek(static_cast<LONGLONG>(Id3v2TagLength(file)), CFile::begin);
        UINT n = file.Read(head, sizeof head);
        found = n >= 4 && std::memcmp(head, magic, 4) == 0;
        file.Seek(static_cast<LONGLONG>(position), CFile::begin);
    } catch (CException* e) {
        e->Delete();
        found = false;
    }
    return found;
}
