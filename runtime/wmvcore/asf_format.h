// The ASF container as our wmvcore.dll writes and reads it: the header object (file and
// stream properties, content descriptions), the data object header and fixed-size data packets.
// Portable (no Win32), so the parsers also build natively for the fuzz target.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace asf {

// Attribute value types, numbered as the runtime's WMT_ATTR_DATATYPE.
enum AttrType : uint16_t {
    kDword = 0,
    kString = 1,
    kBinary = 2,
    kBool = 3,
    kQword = 4,
    kWord = 5,
    kGuid = 6,
};

struct Attribute {
    std::u16string name;
    AttrType type = kString;
    std::vector<uint8_t> value; // strings: UTF-16LE with the terminator
};

// The WAVEFORMATEX of the audio stream, without its cbSize (extra.size() stands for it).
struct AudioFormat {
    uint16_t formatTag = 0;
    uint16_t channels = 0;
    uint32_t sampleRate = 0;
    uint32_t avgBytesPerSec = 0;
    uint16_t blockAlign = 0;
    uint16_t bitsPerSample = 0;
    std::vector<uint8_t> extra;
};

struct Header {
    uint64_t fileSize = 0;
    uint64_t packetCount = 0;
    uint64_t playDuration = 0; // 100-ns units, preroll included
    uint64_t sendDuration = 0;
    uint32_t prerollMs = 0;
    uint32_t flags = 2; // seekable
    uint32_t packetSize = 0;
    uint32_t maxBitrate = 0;
    bool hasAudio = false;
    uint16_t audioStream = 0; // stream number, 1..127
    AudioFormat audio;
    uint8_t spanCount = 1;     // audio spread: 1 means not interleaved
    std::vector<Attribute> attributes; // file-level (stream 0)
    uint64_t headerObjectSize = 0;     // filled by Parse
};

// Sizes of the fixed parts.
constexpr size_t kObjectHeaderSize = 24; // GUID + 64-bit size
constexpr size_t kDataObjectHeaderSize = 50;

// The header object followed by the data object's own header (sizes as in hdr). Title, Author,
// Copyright, Description and Rating go to the content description, every other attribute to
// the extended content description; the layout does not depend on the counts and sizes, so
// the caller can write it again in place once they are known.
std::vector<uint8_t> BuildHeader(const Header& hdr);

// Parses a header object held entirely in bytes. False for anything that is not a well-formed
// header object; unknown objects are skipped. Content description fields show up as string
// attributes of their names.
bool ParseHeader(const uint8_t* bytes, size_t size, Header& hdr);

// A WM/Picture attribute value as the file holds it: type byte, 32-bit data length, MIME
// type and description as zero-ended UTF-16LE, then the data.
struct Picture {
    uint8_t type = 0;
    std::vector<uint8_t> mimeType;    // UTF-16LE with its terminator
    std::vector<uint8_t> description; // UTF-16LE with its terminator
    std::vector<uint8_t> data;
};

// False when a length or a terminator lies outside the value: nothing of it may be used then.
bool ParsePicture(const uint8_t* bytes, size_t size, Picture& picture);

// The size of the header object from its first 24 bytes; 0 when they are not its start.
uint64_t HeaderObjectSize(const uint8_t* bytes, size_t size);

// One data packet of exactly packetSize bytes holding one payload (a whole media object, or
// false when it does not fit).
bool BuildPacket(uint32_t packetSize, uint8_t streamNumber, uint8_t objectNumber,
                 uint32_t presentationMs, uint16_t durationMs, const uint8_t* data, size_t size,
                 std::vector<uint8_t>& packet);

// A payload found in a data packet: a fragment of media object objectNumber of objectSize
// bytes, starting at offset.
struct Payload {
    uint8_t streamNumber = 0;
    uint32_t objectNumber = 0;
    uint32_t offset = 0;
    uint32_t objectSize = 0;
    uint32_t presentationMs = 0;
    const uint8_t* data = nullptr;
    size_t size = 0;
};

// Walks the payloads of one packet; false when the packet is malformed (payloads delivered
// before the fault stay delivered).
bool ParsePacket(const uint8_t* bytes, size_t size, const std::function<void(const Payload&)>& sink);

// Reassembles media objects of one stream from payload fragments.
class ObjectAssembler
{
public:
    // Adds a fragment; returns true and fills out when it completes an object.
    bool Add(const Payload& p, std::vector<uint8_t>& out);

private:
    uint32_t m_number = 0xFFFFFFFF;
    uint32_t m_size = 0;
    std::vector<uint8_t> m_buf;
};

} // namespace asf
