// CAudioAbstractInfoTagReader: opening, closing and error keeping shared by the tag readers.
#include "audio/formats/tag_reader.h"

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

void CAudioAbstractInfoTagReader::SetError(int code, LPCTSTR text)
{
    m_nError = code;
    m_strError = text ? text : "";
}

int CAudioAbstractInfoTagReader::GetError(CString& strText) const
{
    strText = m_strError;
    return m_nError;
}
