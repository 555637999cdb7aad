// CAudioWavInfoTagReader: the INFO ids and the record fields they fill.
#include "audio/formats/wav/wav_info_tag_reader.h"

#include "audio/formats/wav/wav_base.h"

#include <cstring>
#include <vector>

namespace
{

const char kNotInitialized[] = "Wav Info Tag Reader not correctly initialized";
// INFO lists hold short texts; a list size beyond this is a lie and is not allocated.
const DWORD kMaxInfoList = 16u << 20;

// Restores the file position on every way out.
class PositionKeeper
{
public:
    explicit PositionKeeper(CFile& file) : m_file(file), m_pos(file.GetPosition()) {}
    ~PositionKeeper() { m_file.Seek(static_cast<LONGLONG>(m_pos), CFile::begin); }

private:
    CFile& m_file;
    ULONGLONG m_pos;
};

} // namespace

BOOL CAudioWavInfoTagReader::ReadTags(CAudioTrackInfo& track)
{
    CFile* file = GetFile();
    if (!file) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, kNotInitialized);
        return FALSE;
    }
    PositionKeeper keep(*file);
    file->Seek(12, CFile::begin);
    DWORD size = 0;
    if (CAudioWavBase::FindInfoList(*file, size)) {
        // A list that claims more than the file holds is read as far as the file goes.
        const ULONGLONG pos = file->GetPosition();
        const ULONGLONG length = file->GetLength();
        const ULONGLONG avail = length > pos ? length - pos : 0;
        ULONGLONG take = size < avail ? size : avail;
        if (take > kMaxInfoList)
            take = kMaxInfoList;
        std::vector<BYTE> bytes(static_cast<size_t>(take));
        const UINT got =
            bytes.empty() ? 0 : file->Read(bytes.data(), static_cast<UINT>(bytes.size()));
        ParseInfoList(bytes.data(), got, track);
    }
    return TRUE;
}

BOOL CAudioWavInfoTagReader::IsThisFormat()
{
    CFile* file = GetFile();
    if (!file) {
        SetError(AUDIO_ERROR_NOT_INITIALIZED, kNotInitialized);
        return FALSE;
    }
    PositionKeeper keep(*file);
    CAudioWavHeader header;
    return CAudioWavBase::ReadRiffHeader(*file, header);
}

void CAudioWavInfoTagReader::ParseInfoList(const BYTE* pBytes, DWORD nLength,
                                           CAudioTrackInfo& track)
{
    // Entry: 4-byte id, 4-byte little-endian size, size bytes of text.
    DWORD offset = 0;
    while (offset < nLength) {
        if (pBytes[offset] == 0) {
            ++offset;
            continue;
        }
        if (nLength - offset < 8)
            break;
        const BYTE* entry = pBytes + offset;
        const DWORD size = CAudioWavBase::GetLE32(entry + 4);
        if (size > nLength - offset - 8)
            break;
        for (const CAudioWavInfoField& f : kWavInfoFields) {
            if (std::memcmp(entry, f.id, 4) != 0)
                continue;
            if (f.member == &CAudioTrackInfo::m_strAlbumTitle && !track.m_strAlbumTitle.IsEmpty())
                continue;
            track.*f.member = GetEntryText(entry + 8, size);
        }
        offset += size + 8;
    }
}

CString CAudioWavInfoTagReader::GetEntryText(const BYTE* pBytes, DWORD nSize)
{
    const void* zero = std::memchr(pBytes, 0, nSize);
    const DWORD length = zero ? static_cast<DWORD>(static_cast<const BYTE*>(zero) - pBytes) : nSize;
    return CString(reinterpret_cast<const char*>(pBytes), static_cast<int>(length));
}
