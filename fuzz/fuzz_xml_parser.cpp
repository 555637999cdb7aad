// Feeds arbitrary text to the XML parser and walks the resulting tree.
#include "foundation/xml/xml_parser.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace {
int Walk(COXParserObject* node)
{
    int n = 1;
    if (node->GetType() == COXParserObject::ELEMENT) {
        auto* e = static_cast<COXParserElement*>(node);
        for (int i = 0; i < e->GetAttributeCount(); ++i)
            n += e->GetAttribute(i)->GetValueText()[0] != 0;
        for (int i = 0; i < e->GetChildCount(); ++i)
            n += Walk(e->GetChild(i));
    }
    return n;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string text(reinterpret_cast<const char*>(data), size); // NUL-terminated copy
    COXParser parser;
    parser.Parse(text.c_str());
    Walk(parser.GetRoot());
    return 0;
}
