// CD-Text parser: block 0, pack types 80h-85h, single-byte texts only.
#include "audio/cd/cd_text_parser.h"

namespace {
constexpr int kPackSize = 18;
}

CAudioCDTextParser::CAudioCDTextParser()
{
    for (int i = 0; i < kEntries; ++i) InitEntry(i);
}

CAudioCDTextParser::~CAudioCDTextParser()
{
    for (int i = 0; i < kEntries; ++i) FreeEntry(i);
}

void CAudioCDTextParser::InitEntry(int index) { m_entries[index] = new CString[kStrings]; }

void CAudioCDTextParser::FreeEntry(int index)
{
    delete[] m_entries[index];
    m_entries[index] = nullptr;
}

void CAudioCDTextParser::Get(CString& text, int index, int kind) const
{
    text = (index >= 0 && index < kEntries) ? m_entries[index][kind] : CString();
}

int CAudioCDTextParser::Parse(const BYTE* reply, int size)
{
    if (!reply || size < 4) return 0;
    // Reply: bytes 0-1 data length (big-endian, not counting themselves), 2-3 reserved, then
    // 18-byte packs: 0 type, 1 track, 2 sequence, 3 DBCS (bit 7) | block (4-6) | position,
    // 4-15 text, 16-17 CRC (not examined).
    int length = reply[0] << 8 | reply[1];
    int expected = 0, taken = 0;
    char assembled[kMaxStringLength + 1];
    int used = 0;
    for (int offset = 4; offset < length && offset + kPackSize <= size; offset += kPackSize) {
        const BYTE* pack = reply + offset;
        if (pack[3] & 0x80) return 0;
        if (pack[2] != expected) break;  // one byte: a 256th pack always breaks
        int type = pack[0];
        if (type >= 0x80 && type <= 0x85 && (pack[3] & 0x70) == 0) {
            int entry = pack[1];
            for (int k = 4; k < 16; ++k) {
                if (pack[k]) {
                    // Longer strings are cut at 255 characters.
                    if (used < kMaxStringLength) assembled[used++] = static_cast<char>(pack[k]);
                    continue;
                }
                assembled[used] = 0;
                // Entries past 254 (track numbers no disc has) are dropped.
                if (entry < kEntries) m_entries[entry][type - 0x80] = assembled;
                ++entry;
                used = 0;
            }
        }
        ++expected;
        ++taken;
    }
    return taken;
}
