// CAudioWMAInfoTagReader: recognises ASF files and imports their Windows Media attributes,
// including the "Is_Protected" flag, through the runtime's metadata editor.
#pragma once

#include "audio/formats/tag_reader.h"
#include "audio/formats/wma/wma_base.h"

#include <memory>

class CAudioWMAInfoTagReader : public CAudioAbstractInfoTagReader
{
public:
    CAudioWMAInfoTagReader();
    ~CAudioWMAInfoTagReader() override;

    // Sets every field of the attribute table, empty when the attribute is missing, too large
    // for the 4096-byte buffer or of a type without text; adds the first picture.
    BOOL ReadTags(CAudioTrackInfo& track) override;
    // The first 16 bytes are the ASF header object's identifier.
    BOOL IsThisFormat() override;

private:
    // The attribute as text: DWORD, WORD and BOOL as "%d", strings converted to the system
    // code page; anything else, or a failure, gives "".
    CString ReadAttribute(const wchar_t* pszName);
    void ReadPicture(CAudioTrackInfo& track);

    std::unique_ptr<BYTE[]> m_pBuffer;
    WORD m_nBufferSize = 4096;
    CAudioWMABase m_base;
    IWMMetadataEditor* m_pEditor = nullptr;
    IWMHeaderInfo* m_pHeaderInfo = nullptr;
};
