// Fuzz target: values of the local disc store's files as any editor or older version may have
// left them. Decoding must not fail, and an escaped value must decode to itself.
#include "catalogue/localstore/store_values.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    text = text.c_str(); // profile values end at their first NUL
    store_values::Unescape(text.c_str(), false);
    store_values::Unescape(text.c_str(), true);
    const CString escaped = store_values::Escape(text.c_str());
    if (store_values::Unescape(escaped, false) != text.c_str())
        std::abort();
    return 0;
}
