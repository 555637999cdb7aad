// Fuzz target: the ASF header, picture attribute and data packet parsing of our wmvcore.dll. A
// header that parses must parse again after being written back.
#include "runtime/wmvcore/asf_format.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    asf::Header header;
    asf::Picture picture;
    asf::ParsePicture(data, size, picture);
    if (asf::ParseHeader(data, size, header)) {
        for (const asf::Attribute& a : header.attributes)
            if (a.type == asf::kBinary)
                asf::ParsePicture(a.value.data(), a.value.size(), picture);
        const std::vector<uint8_t> rebuilt = asf::BuildHeader(header);
        asf::Header again;
        if (!asf::ParseHeader(rebuilt.data(), rebuilt.size(), again))
            std::abort();
    }
    // The rest as data packets of the header's size (or 512 bytes).
    const size_t start = header.headerObjectSize + asf::kDataObjectHeaderSize;
    const size_t packet = header.packetSize >= 16 && header.packetSize <= 65536 ? header.packetSize : 512;
    asf::ObjectAssembler assembler;
    std::vector<uint8_t> object;
    for (size_t at = start < size ? start : 0; at < size; at += packet) {
        const size_t n = size - at < packet ? size - at : packet;
        asf::ParsePacket(data + at, n, [&](const asf::Payload& p) { assembler.Add(p, object); });
    }
    return 0;
}
