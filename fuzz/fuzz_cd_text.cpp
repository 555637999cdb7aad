// CD-Text replies (READ TOC format 5) as a drive or a hostile device may send them.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "audio/cd/cd_text_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    // An exact-size copy, so a read past the reply is caught.
    std::vector<BYTE> reply(data, data + size);
    CAudioCDTextParser parser;
    parser.Parse(reply.data(), static_cast<int>(reply.size()));
    CString s;
    for (int i = 0; i < CAudioCDTextParser::kEntries; ++i) {
        parser.GetTitle(s, i);
        parser.GetPerformer(s, i);
        parser.GetComposer(s, i);
    }
    return 0;
}
