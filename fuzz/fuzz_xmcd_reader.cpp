// Fuzz target: the xmcd reader, and the writer over whatever it accepted.
#include "catalogue/cddb/cddb.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CCDDB client;
    CCDDBRecord record;
    const CString text(reinterpret_cast<const char*>(data), static_cast<int>(size));
    if (client.ParseXmcdRecord(record, text)) {
        CCDDBRecord again;
        client.ParseXmcdRecord(again, client.FormatXmcdRecord(record));
    }
    return 0;
}
