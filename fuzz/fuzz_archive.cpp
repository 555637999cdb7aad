// Reads strings and counts from arbitrary bytes through a loading archive: every outcome must
// be a value or a CArchiveException, never a crash or an allocation sized by the input alone.
#include "framework/core.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CMemFile file(const_cast<BYTE*>(data), static_cast<UINT>(size));
    CArchive ar(&file, CArchive::load, 64);
    try {
        for (int i = 0; i < 64; ++i) {
            CString s;
            ar >> s;
            if (ar.ReadCount() > size)
                break;
        }
    } catch (CException* e) {
        e->Delete();
    }
    return 0;
}
