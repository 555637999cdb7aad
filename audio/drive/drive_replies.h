// What a drive answers, decoded apart from the transport that carried it: INQUIRY, the current
// interface, the CD-Text length, READ CAPACITY, the capabilities page and READ DISC
// INFORMATION. A reply is outside input (a hostile device may send anything): every reader
// takes the reply's size and never reads past it.
#pragma once

#include <cstddef>
#include <cstdint>

// The bits the drive table reports (CDriveManager inherits them under the same names).
struct CDriveReplyCodes {
    // Capability bits of the capabilities page.
    enum : uint32_t {
        CAP_READ_CDR = 0x1, CAP_READ_CDRW = 0x2, CAP_READ_DVDROM = 0x4, CAP_READ_DVDR = 0x8,
        CAP_READ_DVDRAM = 0x10, CAP_READ_METHOD2 = 0x20, CAP_WRITE_CDR = 0x40,
        CAP_WRITE_CDRW = 0x80, CAP_WRITE_DVDR = 0x100, CAP_WRITE_DVDRAM = 0x200,
        CAP_TEST_WRITE = 0x400, CAP_BURN_PROOF = 0x800, CAP_MULTISESSION = 0x1000,
        CAP_MODE2_FORM1 = 0x2000, CAP_MODE2_FORM2 = 0x4000, CAP_AUDIO_PLAY = 0x8000,
        CAP_BARCODE = 0x10000, CAP_ISRC = 0x20000, CAP_UPC = 0x40000
    };
    // Bits of the disc information: disc status, erasable or not, state of the last session,
    // the background format state (a value in bits 16-18, not single bits), disc type.
    enum : uint32_t {
        DISC_EMPTY = 0x1, DISC_INCOMPLETE = 0x2, DISC_COMPLETE = 0x4, DISC_OTHER_STATUS = 0x8,
        DISC_ERASABLE = 0x10, DISC_NOT_ERASABLE = 0x20, SESSION_EMPTY = 0x40,
        SESSION_INCOMPLETE = 0x80, SESSION_DAMAGED = 0x100, SESSION_COMPLETE = 0x200,
        DISC_CD_ROM = 0x400, DISC_CD_I = 0x800, DISC_CD_ROM_XA = 0x1000,
        FORMAT_STATE_SHIFT = 16
    };
};

namespace drive_replies
{

// INQUIRY: vendor (8 characters), one blank, product (16), trailing blanks kept. The text is
// cleared first; it stays empty when textSize is below 26 or the reply is shorter than 32.
void InquiryText(const uint8_t* reply, size_t size, char* text, int textSize);

// GET CONFIGURATION: the current profile's interface code (bytes 12-15), 0 for a short reply.
uint32_t Interface(const uint8_t* reply, size_t size);

// READ TOC format 5 header (4 bytes): the bytes the whole CD-Text reply takes, its length
// field plus 2; 0 for a header shorter than 2 bytes. A length below 4 or above the caller's
// buffer means nothing can be read (the caller still reports the length).
int CdTextLength(const uint8_t* header, size_t size);

// READ CAPACITY: the last block address (bytes 0-3), 0 for a short reply.
uint32_t Capacity(const uint8_t* reply, size_t size);

// MODE SENSE page 2Ah after its 8-byte mode parameter header: capability bits, loading
// mechanism, buffer size in KiB, and the write speeds (a list of at most 63 ending with 0;
// descriptors when the page has them, else steps up to the maximum write speed). Any output
// may be null. False for a reply too short to hold the page.
bool CapabilitiesPage(const uint8_t* reply, size_t size, uint32_t* caps, int* loading,
                      int* bufferSize, int* writeSpeeds);

// READ DISC INFORMATION: status bits, session count and last track number. Any output may be
// null. False for a reply shorter than 12 bytes.
bool DiscInformation(const uint8_t* reply, size_t size, uint32_t* info, int* sessions,
                     int* lastTrack);

} // namespace drive_replies
