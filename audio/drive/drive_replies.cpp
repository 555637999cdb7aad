// Drive replies decoded within their size.
#include "audio/drive/drive_replies.h"

#include <cstring>

namespace drive_replies
{

namespace
{

uint32_t Be32(const uint8_t* p)
{
    return static_cast<uint32_t>(p[0]) << 24 | static_cast<uint32_t>(p[1]) << 16 |
           static_cast<uint32_t>(p[2]) << 8 | p[3];
}

} // namespace

void InquiryText(const uint8_t* reply, size_t size, char* text, int textSize)
{
    if (textSize <= 0)
        return;
    std::memset(text, 0, static_cast<size_t>(textSize));
    if (textSize < 26 || size < 32)
        return;
    std::memcpy(text, reply + 8, 8);
    text[8] = ' ';
    std::memcpy(text + 9, reply + 16, 16);
}

uint32_t Interface(const uint8_t* reply, size_t size)
{
    return size >= 16 ? Be32(reply + 12) : 0;
}

int CdTextLength(const uint8_t* header, size_t size)
{
    return size < 2 ? 0 : (header[0] << 8 | header[1]) + 2;
}

uint32_t Capacity(const uint8_t* reply, size_t size)
{
    return size >= 4 ? Be32(reply) : 0;
}

bool CapabilitiesPage(const uint8_t* reply, size_t size, uint32_t* caps, int* loading,
                      int* bufferSize, int* writeSpeeds)
{
    // The page up to its write speed count: 8 bytes of header, 32 of page.
    if (size < 8 + 32)
        return false;
    const uint8_t* page = reply + 8;
    const size_t pageSize = size - 8;
    struct Bit {
        int byte, bit;
        uint32_t cap;
    };
    using C = CDriveReplyCodes;
    static const Bit kBits[] = {
        {2, 0, C::CAP_READ_CDR},    {2, 1, C::CAP_READ_CDRW},   {2, 2, C::CAP_READ_METHOD2},
        {2, 3, C::CAP_READ_DVDROM}, {2, 4, C::CAP_READ_DVDR},   {2, 5, C::CAP_READ_DVDRAM},
        {3, 0, C::CAP_WRITE_CDR},   {3, 1, C::CAP_WRITE_CDRW},  {3, 2, C::CAP_TEST_WRITE},
        {3, 4, C::CAP_WRITE_DVDR},  {3, 5, C::CAP_WRITE_DVDRAM}, {4, 0, C::CAP_AUDIO_PLAY},
        {4, 4, C::CAP_MODE2_FORM1}, {4, 5, C::CAP_MODE2_FORM2}, {4, 6, C::CAP_MULTISESSION},
        {4, 7, C::CAP_BURN_PROOF},  {5, 5, C::CAP_ISRC},        {5, 6, C::CAP_UPC},
        {5, 7, C::CAP_BARCODE},
    };
    if (caps) {
        *caps = 0;
        for (const Bit& b : kBits)
            if (page[b.byte] & (1 << b.bit))
                *caps |= b.cap;
    }
    if (loading)
        *loading = page[6] >> 5;
    if (bufferSize)
        *bufferSize = page[12] << 8 | page[13];
    if (writeSpeeds) {
        const int n = page[30] << 8 | page[31];
        int k = 0;
        if (n > 0) {
            // 4-byte descriptors from page byte 32, the speed in bytes 2-3, as many as the
            // reply holds; the list holds 63 speeds and its terminator.
            for (int d = 0; d < n && k < 63 && 32 + static_cast<size_t>(d) * 4 + 4 <= pageSize;
                 ++d)
                writeSpeeds[k++] = page[32 + d * 4 + 2] << 8 | page[32 + d * 4 + 3];
        } else {
            const int max = page[18] << 8 | page[19];
            for (double v = 176.2; v <= max && k < 63; v += (v / 176 < 2) ? 176.2 : 352.4)
                writeSpeeds[k++] = static_cast<int>(v);
        }
        writeSpeeds[k] = 0;
    }
    return true;
}

bool DiscInformation(const uint8_t* r, size_t size, uint32_t* info, int* sessions, int* lastTrack)
{
    if (size < 12)
        return false;
    using C = CDriveReplyCodes;
    // Byte 2: erasable (bit 4), last session state (bits 2-3), disc status (bits 0-1).
    static const uint32_t kStatus[] = {C::DISC_EMPTY, C::DISC_INCOMPLETE, C::DISC_COMPLETE,
                                       C::DISC_OTHER_STATUS};
    static const uint32_t kSession[] = {C::SESSION_EMPTY, C::SESSION_INCOMPLETE,
                                        C::SESSION_DAMAGED, C::SESSION_COMPLETE};
    if (info) {
        *info = kStatus[r[2] & 3] | kSession[(r[2] >> 2) & 3] |
                ((r[2] & 0x10) ? C::DISC_ERASABLE : C::DISC_NOT_ERASABLE) |
                static_cast<uint32_t>((r[7] & 3) + 1) << C::FORMAT_STATE_SHIFT;
        if (r[8] == 0x00)
            *info |= C::DISC_CD_ROM;
        else if (r[8] == 0x10)
            *info |= C::DISC_CD_I;
        else if (r[8] == 0x20)
            *info |= C::DISC_CD_ROM_XA;
    }
    // Counts have their low byte in 4 and 6, their high byte in 9 and 11.
    if (sessions)
        *sessions = r[4] | r[9] << 8;
    if (lastTrack)
        *lastTrack = r[6] | r[11] << 8;
    return true;
}

} // namespace drive_replies
