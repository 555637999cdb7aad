// Feeds local freedb files (one record, or several records each after a "#FILENAME=" line)
// to the local lookup. The first byte picks the layout, the next four the disc id asked for.
#include "catalogue/cddb/cddb.h"
#include "catalogue/cddb/cddb_exception.h"
#include "fuzz/fuzz_input_file.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 5)
        return 0;
    static const FuzzInputFile file("fuzz_local_freedb_file");
    const char* path = file.Write(data + 5, size - 5);
    if (!path)
        return 0;
    const DWORD discId = static_cast<DWORD>(data[1]) | static_cast<DWORD>(data[2]) << 8 |
                         static_cast<DWORD>(data[3]) << 16 | static_cast<DWORD>(data[4]) << 24;
    CCDDB client;
    CCDDBRecord record;
    try {
        client.ReadLocalRecordFile(discId, path, data[0] & 1, record);
    } catch (CCDDBException* e) {
        e->GetErrorText();
        e->Delete();
    }
    return 0;
}
