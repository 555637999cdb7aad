// Language-file values come from translators: unescaping any text must not fail, and escaping
// any text must read back unchanged.
#include "foundation/i18n/i18n.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size);
    text = text.c_str(); // language-file values end at their first NUL
    CI18N::Unescape(text.c_str());
    const CString escaped = CI18N::Escape(text.c_str());
    if (CI18N::Unescape(escaped) != text.c_str())
        std::abort();
    return 0;
}
