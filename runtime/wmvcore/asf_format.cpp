// ASF header, data object header and data packets: building and parsing.
#include "runtime/wmvcore/asf_format.h"

#include <cstring>

namespace asf {
namespace {

// GUIDs in file byte order (Data1..3 little-endian, Data4 as is).
using Guid = uint8_t[16];
constexpr Guid kHeaderObject = {0x30, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid kFileProperties = {0xA1, 0xDC, 0xAB, 0x8C, 0x47, 0xA9, 0xCF, 0x11,
                                  0x8E, 0xE4, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid kStreamProperties = {0x91, 0x07, 0xDC, 0xB7, 0xB7, 0xA9, 0xCF, 0x11,
                                    0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid kHeaderExtension = {0xB5, 0x03, 0xBF, 0x5F, 0x2E, 0xA9, 0xCF, 0x11,
                                   0x8E, 0xE3, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid kHeaderExtensionReserved = {0x11, 0xD2, 0xD3, 0xAB, 0xBA, 0xA9, 0xCF, 0x11,
                                           0x8E, 0xE6, 0x00, 0xC0, 0x0C, 0x20, 0x53, 0x65};
constexpr Guid kContentDescription = {0x33, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                                      0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid kExtendedContentDescription = {0x40, 0xA4, 0xD0, 0xD2, 0x07, 0xE3, 0xD2, 0x11,
                                              0x97, 0xF0, 0x00, 0xA0, 0xC9, 0x5E, 0xA8, 0x50};
constexpr Guid kDataObject = {0x36, 0x26, 0xB2, 0x75, 0x8E, 0x66, 0xCF, 0x11,
                              0xA6, 0xD9, 0x00, 0xAA, 0x00, 0x62, 0xCE, 0x6C};
constexpr Guid kAudioMedia = {0x40, 0x9E, 0x69, 0xF8, 0x4D, 0x5B, 0xCF, 0x11,
                              0xA8, 0xFD, 0x00, 0x80, 0x5F, 0x5C, 0x44, 0x2B};
constexpr Guid kAudioSpread = {0x50, 0xCD, 0xC3, 0xBF, 0x8F, 0x61, 0xCF, 0x11,
                               0x8B, 0xB2, 0x00, 0xAA, 0x00, 0xB4, 0xE2, 0x20};
constexpr Guid kFileId = {0x53, 0x6F, 0x6E, 0x6F, 0x72, 0x69, 0x61, 0x20,
                          0x57, 0x4D, 0x41, 0x20, 0x66, 0x69, 0x6C, 0x65};

// The five fields of the content description, in their stored order.
const char16_t* const kContentNames[5] = {u"Title", u"Author", u"Copyright", u"Description",
                                          u"Rating"};

class Writer
{
public:
    std::vector<uint8_t> out;
    void Bytes(const void* p, size_t n)
    {
        const auto* b = static_cast<const uint8_t*>(p);
        out.insert(out.end(), b, b + n);
    }
    void U8(uint8_t v) { out.push_back(v); }
    void U16(uint16_t v) { U8(v & 0xFF), U8(v >> 8); }
    void U32(uint32_t v) { U16(v & 0xFFFF), U16(v >> 16); }
    void U64(uint64_t v) { U32(static_cast<uint32_t>(v)), U32(static_cast<uint32_t>(v >> 32)); }
    // Starts an object; returns where its size goes.
    size_t Begin(const Guid& g)
    {
        Bytes(g, 16);
        size_t at = out.size();
        U64(0);
        return at;
    }
    void End(size_t at)
    {
        uint64_t size = out.size() - (at - 16);
        for (int i = 0; i < 8; ++i)
            out[at + i] = static_cast<uint8_t>(size >> (8 * i));
    }
};

class Reader
{
public:
    Reader(const uint8_t* p, size_t n) : m_p(p), m_n(n) {}
    bool Has(size_t n) const { return n <= m_n - m_pos; }
    size_t Left() const { return m_n - m_pos; }
    size_t Pos() const { return m_pos; }
    const uint8_t* Here() const { return m_p + m_pos; }
    bool Skip(size_t n)
    {
        if (!Has(n))
            return false;
        m_pos += n;
        return true;
    }
    bool U8(uint8_t& v) { return Get(&v, 1); }
    bool U16(uint16_t& v) { return Int(v, 2); }
    bool U32(uint32_t& v) { return Int(v, 4); }
    bool U64(uint64_t& v) { return Int(v, 8); }
    // A field whose width is given by a 2-bit length type (0, 1, 2 or 4 bytes).
    bool Sized(int lengthType, uint32_t& v)
    {
        static const size_t kWidth[4] = {0, 1, 2, 4};
        return Int(v, kWidth[lengthType & 3]);
    }
    bool IsGuid(const Guid& g) const { return Has(16) && std::memcmp(Here(), g, 16) == 0; }

private:
    bool Get(void* dst, size_t n)
    {
        if (!Has(n))
            return false;
        std::memcpy(dst, m_p + m_pos, n);
        m_pos += n;
        return true;
    }
    template <typename T> bool Int(T& v, size_t n)
    {
        if (!Has(n))
            return false;
        v = 0;
        for (size_t i = 0; i < n; ++i)
            v |= static_cast<T>(static_cast<T>(m_p[m_pos + i]) << (8 * i));
        m_pos += n;
        return true;
    }

    const uint8_t* m_p;
    size_t m_n;
    size_t m_pos = 0;
};

std::vector<uint8_t> Utf16Bytes(const std::u16string& s)
{
    std::vector<uint8_t> v;
    for (char16_t c : s)
        v.push_back(c & 0xFF), v.push_back(static_cast<uint8_t>(c >> 8));
    v.push_back(0), v.push_back(0);
    return v;
}

std::u16string Utf16Text(const uint8_t* p, size_t bytes)
{
    std::u16string s;
    for (size_t i = 0; i + 1 < bytes; i += 2) {
        char16_t c = static_cast<char16_t>(p[i] | (p[i + 1] << 8));
        if (c == 0)
            break;
        s.push_back(c);
    }
    return s;
}

int ContentIndex(const std::u16string& name)
{
    for (int i = 0; i < 5; ++i)
        if (name == kContentNames[i])
            return i;
    return -1;
}

// Extended content description value types differ from the runtime's numbering.
AttrType FromStoredType(uint16_t t)
{
    switch (t) {
    case 0: return kString;
    case 1: return kBinary;
    case 2: return kBool;
    case 3: return kDword;
    case 4: return kQword;
    case 5: return kWord;
    default: return kGuid;
    }
}

uint16_t ToStoredType(AttrType t)
{
    switch (t) {
    case kString: return 0;
    case kBinary: return 1;
    case kBool: return 2;
    case kDword: return 3;
    case kQword: return 4;
    case kWord: return 5;
    case kGuid: return 6;
    }
    return 1;
}

void WriteStreamProperties(Writer& w, const Header& hdr)
{
    const AudioFormat& a = hdr.audio;
    size_t at = w.Begin(kStreamProperties);
    w.Bytes(kAudioMedia, 16);
    w.Bytes(kAudioSpread, 16);
    w.U64(0);                                               // time offset
    w.U32(static_cast<uint32_t>(18 + a.extra.size()));      // WAVEFORMATEX with its extra bytes
    w.U32(8);                                               // spread data
    w.U16(hdr.audioStream & 0x7F);
    w.U32(0);
    w.U16(a.formatTag), w.U16(a.channels), w.U32(a.sampleRate), w.U32(a.avgBytesPerSec);
    w.U16(a.blockAlign), w.U16(a.bitsPerSample), w.U16(static_cast<uint16_t>(a.extra.size()));
    w.Bytes(a.extra.data(), a.extra.size());
    // Span 1: payloads are not interleaved; one silence byte.
    w.U8(1), w.U16(a.blockAlign), w.U16(a.blockAlign), w.U16(1), w.U8(0);
    w.End(at);
}

void WriteContentDescriptions(Writer& w, const Header& hdr, uint32_t& objects)
{
    std::vector<uint8_t> content[5];
    bool anyContent = false;
    std::vector<const Attribute*> extended;
    for (const Attribute& a : hdr.attributes) {
        int i = ContentIndex(a.name);
        if (i >= 0 && a.type == kString) {
            content[i] = a.value;
            anyContent = true;
        } else {
            extended.push_back(&a);
        }
    }
    if (anyContent) {
        size_t at = w.Begin(kContentDescription);
        for (auto& c : content)
            w.U16(static_cast<uint16_t>(c.size()));
        for (auto& c : content)
            w.Bytes(c.data(), c.size());
        w.End(at);
        ++objects;
    }
    if (!extended.empty()) {
        size_t at = w.Begin(kExtendedContentDescription);
        w.U16(static_cast<uint16_t>(extended.size()));
        for (const Attribute* a : extended) {
            std::vector<uint8_t> name = Utf16Bytes(a->name);
            w.U16(static_cast<uint16_t>(name.size()));
            w.Bytes(name.data(), name.size());
            w.U16(ToStoredType(a->type));
            w.U16(static_cast<uint16_t>(a->value.size()));
            w.Bytes(a->value.data(), a->value.size());
        }
        w.End(at);
        ++objects;
    }
}

bool ParseFileProperties(Reader r, Header& hdr)
{
    uint64_t created = 0, preroll = 0;
    uint32_t minPacket = 0;
    if (!r.Skip(16) || !r.U64(hdr.fileSize) || !r.U64(created) || !r.U64(hdr.packetCount) ||
        !r.U64(hdr.playDuration) || !r.U64(hdr.sendDuration) || !r.U64(preroll) ||
        !r.U32(hdr.flags) || !r.U32(minPacket) || !r.U32(hdr.packetSize) || !r.U32(hdr.maxBitrate))
        return false;
    hdr.prerollMs = static_cast<uint32_t>(preroll);
    return true;
}

bool ParseStreamProperties(Reader r, Header& hdr)
{
    const bool audio = r.IsGuid(kAudioMedia);
    uint64_t offset = 0;
    uint32_t typeLength = 0, ecLength = 0, reserved = 0;
    uint16_t flags = 0;
    if (!r.Skip(32) || !r.U64(offset) || !r.U32(typeLength) || !r.U32(ecLength) || !r.U16(flags) ||
        !r.U32(reserved) || !r.Has(typeLength))
        return false;
    if (!audio || hdr.hasAudio)
        return true; // the first audio stream is the one we decode
    Reader t(r.Here(), typeLength);
    AudioFormat a;
    uint16_t cbSize = 0;
    if (!t.U16(a.formatTag) || !t.U16(a.channels) || !t.U32(a.sampleRate) ||
        !t.U32(a.avgBytesPerSec) || !t.U16(a.blockAlign) || !t.U16(a.bitsPerSample))
        return false;
    if (t.U16(cbSize) && cbSize > 0) {
        if (!t.Has(cbSize))
            return false;
        a.extra.assign(t.Here(), t.Here() + cbSize);
    }
    r.Skip(typeLength);
    uint8_t span = 1;
    if (ecLength >= 1 && r.Has(ecLength))
        r.U8(span);
    hdr.audio = std::move(a);
    hdr.audioStream = flags & 0x7F;
    hdr.spanCount = span;
    hdr.hasAudio = true;
    return true;
}

void SetAttribute(Header& hdr, Attribute a)
{
    for (Attribute& old : hdr.attributes) {
        if (old.name == a.name) {
            old = std::move(a);
            return;
        }
    }
    hdr.attributes.push_back(std::move(a));
}

bool ParseContentDescription(Reader r, Header& hdr)
{
    uint16_t len[5];
    for (auto& l : len)
        if (!r.U16(l))
            return false;
    for (int i = 0; i < 5; ++i) {
        if (!r.Has(len[i]))
            return false;
        std::u16string text = Utf16Text(r.Here(), len[i]);
        r.Skip(len[i]);
        if (text.empty())
            continue;
        Attribute a;
        a.name = kContentNames[i];
        a.type = kString;
        a.value = Utf16Bytes(text);
        SetAttribute(hdr, std::move(a));
    }
    return true;
}

bool ParseExtendedContentDescription(Reader r, Header& hdr)
{
    uint16_t count = 0;
    if (!r.U16(count))
        return false;
    for (uint16_t i = 0; i < count; ++i) {
        uint16_t nameLength = 0, type = 0, valueLength = 0;
        if (!r.U16(nameLength) || !r.Has(nameLength))
            return false;
        Attribute a;
        a.name = Utf16Text(r.Here(), nameLength);
        r.Skip(nameLength);
        if (!r.U16(type) || !r.U16(valueLength) || !r.Has(valueLength))
            return false;
        a.type = FromStoredType(type);
        a.value.assign(r.Here(), r.Here() + valueLength);
        r.Skip(valueLength);
        // A stored BOOL is four bytes here; keep the runtime's four-byte BOOL either way.
        if (a.type == kBool && a.value.size() == 2)
            a.value.resize(4, 0);
        if (!a.name.empty())
            SetAttribute(hdr, std::move(a));
    }
    return true;
}

} // namespace

std::vector<uint8_t> BuildHeader(const Header& hdr)
{
    Writer w;
    size_t headerAt = w.Begin(kHeaderObject);
    size_t countAt = w.out.size();
    w.U32(0);
    w.U8(1), w.U8(2);
    uint32_t objects = 3;

    size_t at = w.Begin(kFileProperties);
    w.Bytes(kFileId, 16);
    w.U64(hdr.fileSize);
    w.U64(0); // creation date: unknown
    w.U64(hdr.packetCount);
    w.U64(hdr.playDuration);
    w.U64(hdr.sendDuration);
    w.U64(hdr.prerollMs);
    w.U32(hdr.flags);
    w.U32(hdr.packetSize);
    w.U32(hdr.packetSize);
    w.U32(hdr.maxBitrate);
    w.End(at);

    WriteStreamProperties(w, hdr);

    at = w.Begin(kHeaderExtension);
    w.Bytes(kHeaderExtensionReserved, 16);
    w.U16(6);
    w.U32(0);
    w.End(at);

    WriteContentDescriptions(w, hdr, objects);
    for (int i = 0; i < 4; ++i)
        w.out[countAt + i] = static_cast<uint8_t>(objects >> (8 * i));
    w.End(headerAt);

    w.Bytes(kDataObject, 16);
    w.U64(kDataObjectHeaderSize + hdr.packetCount * hdr.packetSize);
    w.Bytes(kFileId, 16);
    w.U64(hdr.packetCount);
    w.U8(1), w.U8(1);
    return std::move(w.out);
}

bool ParsePicture(const uint8_t* bytes, size_t size, Picture& picture)
{
    Reader r(bytes, size);
    uint32_t dataLength = 0;
    if (!r.U8(picture.type) || !r.U32(dataLength))
        return false;
    for (std::vector<uint8_t>* text : {&picture.mimeType, &picture.description}) {
        const uint8_t* start = r.Here();
        size_t bytesUsed = 0;
        for (;;) {
            uint16_t unit = 0;
            if (!r.U16(unit))
                return false;
            bytesUsed += 2;
            if (unit == 0)
                break;
        }
        text->assign(start, start + bytesUsed);
    }
    if (!r.Has(dataLength))
        return false;
    picture.data.assign(r.Here(), r.Here() + dataLength);
    return true;
}

uint64_t HeaderObjectSize(const uint8_t* bytes, size_t size)
{
    Reader r(bytes, size);
    uint64_t objectSize = 0;
    if (!r.IsGuid(kHeaderObject) || !r.Skip(16) || !r.U64(objectSize) || objectSize < 30)
        return 0;
    return objectSize;
}

bool ParseHeader(const uint8_t* bytes, size_t size, Header& hdr)
{
    hdr = Header();
    const uint64_t total = HeaderObjectSize(bytes, size);
    if (total == 0 || total > size)
        return false;
    Reader r(bytes, static_cast<size_t>(total));
    uint32_t count = 0;
    r.Skip(kObjectHeaderSize);
    if (!r.U32(count) || !r.Skip(2))
        return false;
    bool haveFile = false;
    while (r.Left() >= kObjectHeaderSize) {
        Reader head(r.Here(), r.Left());
        uint64_t objectSize = 0;
        head.Skip(16);
        head.U64(objectSize);
        if (objectSize < kObjectHeaderSize || objectSize > r.Left())
            return false;
        Reader body(r.Here() + kObjectHeaderSize, static_cast<size_t>(objectSize) - kObjectHeaderSize);
        bool ok = true;
        if (r.IsGuid(kFileProperties))
            ok = haveFile = ParseFileProperties(body, hdr);
        else if (r.IsGuid(kStreamProperties))
            ok = ParseStreamProperties(body, hdr);
        else if (r.IsGuid(kContentDescription))
            ok = ParseContentDescription(body, hdr);
        else if (r.IsGuid(kExtendedContentDescription))
            ok = ParseExtendedContentDescription(body, hdr);
        if (!ok)
            return false;
        r.Skip(static_cast<size_t>(objectSize));
    }
    hdr.headerObjectSize = total;
    return haveFile;
}

bool BuildPacket(uint32_t packetSize, uint8_t streamNumber, uint8_t objectNumber,
                 uint32_t presentationMs, uint16_t durationMs, const uint8_t* data, size_t size,
                 std::vector<uint8_t>& packet)
{
    // Error correction (2 bytes), length types (padding as WORD), property flags (byte stream
    // number, byte object number, DWORD offset, byte replicated length), padding, send time,
    // duration; then one payload with 8 bytes of replicated data.
    constexpr size_t kOverhead = 3 + 2 + 2 + 4 + 2 + 1 + 1 + 4 + 1 + 8;
    if (packetSize < kOverhead || size > packetSize - kOverhead)
        return false;
    Writer w;
    w.U8(0x82), w.U8(0), w.U8(0);
    w.U8(0x10);
    w.U8(0x5D);
    w.U16(static_cast<uint16_t>(packetSize - kOverhead - size));
    w.U32(presentationMs);
    w.U16(durationMs);
    w.U8(0x80 | (streamNumber & 0x7F));
    w.U8(objectNumber);
    w.U32(0);
    w.U8(8);
    w.U32(static_cast<uint32_t>(size));
    w.U32(presentationMs);
    w.Bytes(data, size);
    w.out.resize(packetSize, 0);
    packet = std::move(w.out);
    return true;
}

bool ParsePacket(const uint8_t* bytes, size_t size, const std::function<void(const Payload&)>& sink)
{
    Reader r(bytes, size);
    uint8_t lengthFlags = 0, propertyFlags = 0;
    if (!r.U8(lengthFlags))
        return false;
    if (lengthFlags & 0x80) {
        if (lengthFlags & 0x60) // an error correction length type other than 0 is not defined
            return false;
        if (!r.Skip(lengthFlags & 0x0F) || !r.U8(lengthFlags))
            return false;
    }
    uint32_t packetLength = 0, sequence = 0, padding = 0, sendTime = 0;
    uint16_t duration = 0;
    if (!r.U8(propertyFlags) || !r.Sized(lengthFlags >> 5, packetLength) ||
        !r.Sized(lengthFlags >> 1, sequence) || !r.Sized(lengthFlags >> 3, padding) ||
        !r.U32(sendTime) || !r.U16(duration))
        return false;
    size_t end = (packetLength != 0 && packetLength < size) ? packetLength : size;
    if (r.Pos() > end || padding > end - r.Pos())
        return false;
    end -= padding;

    const int repType = propertyFlags & 3, offsetType = (propertyFlags >> 2) & 3,
              numberType = (propertyFlags >> 4) & 3;
    const bool multiple = lengthFlags & 1;
    uint8_t payloadFlags = 0;
    if (multiple && !r.U8(payloadFlags))
        return false;
    const int payloads = multiple ? (payloadFlags & 0x3F) : 1;
    for (int i = 0; i < payloads; ++i) {
        Payload p;
        uint8_t stream = 0;
        uint32_t repLength = 0, payloadLength = 0;
        if (!r.U8(stream) || !r.Sized(numberType, p.objectNumber) || !r.Sized(offsetType, p.offset) ||
            !r.Sized(repType, repLength) || r.Pos() > end || repLength > end - r.Pos())
            return false;
        p.streamNumber = stream & 0x7F;
        Reader rep(r.Here(), repLength);
        r.Skip(repLength);
        if (multiple) {
            if (!r.Sized(payloadFlags >> 6, payloadLength))
                return false;
        } else {
            payloadLength = static_cast<uint32_t>(end - r.Pos());
        }
        if (r.Pos() > end || payloadLength > end - r.Pos())
            return false;
        const uint8_t* data = r.Here();
        r.Skip(payloadLength);
        if (repLength == 1) {
            // Compressed payload: the offset field holds the presentation time and the data is
            // a run of (length byte, whole media object).
            Reader sub(data, payloadLength);
            uint8_t delta = 0;
            sub.U8(delta);
            uint32_t time = p.offset;
            uint8_t len = 0;
            while (sub.U8(len) && sub.Has(len)) {
                Payload s = p;
                s.offset = 0;
                s.objectSize = len;
                s.presentationMs = time;
                s.data = sub.Here();
                s.size = len;
                sub.Skip(len);
                sink(s);
                ++p.objectNumber;
                time += delta;
            }
            continue;
        }
        if (repLength < 8)
            return false;
        rep.U32(p.objectSize);
        rep.U32(p.presentationMs);
        p.data = data;
        p.size = payloadLength;
        sink(p);
    }
    return true;
}

bool ObjectAssembler::Add(const Payload& p, std::vector<uint8_t>& out)
{
    if (p.offset == 0) {
        m_number = p.objectNumber;
        m_size = p.objectSize;
        m_buf.clear();
    } else if (p.objectNumber != m_number || p.offset != m_buf.size()) {
        m_number = 0xFFFFFFFF; // a lost fragment: drop the object
        m_buf.clear();
        return false;
    }
    if (p.size > m_size - m_buf.size()) {
        m_number = 0xFFFFFFFF;
        m_buf.clear();
        return false;
    }
    m_buf.insert(m_buf.end(), p.data, p.data + p.size);
    if (m_buf.size() != m_size || m_size == 0)
        return false;
    out.swap(m_buf);
    m_buf.clear();
    m_number = 0xFFFFFFFF;
    return true;
}

} // namespace asf
