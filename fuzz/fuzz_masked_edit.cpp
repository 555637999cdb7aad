// Fuzzes the masked edit's text model: a mask up to the first NUL, then operations of three
// bytes each (kind, position, character); the window text must stay literals around the input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "toolkit/controls/masked_edit/masked_text.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    size_t i = 0;
    std::string mask;
    while (i < size && data[i] != 0)
        mask += static_cast<char>(data[i++]);
    ++i;
    CMaskedText text;
    text.SetMask(mask.c_str());
    const CString left = text.GetLeftLiterals();
    const CString right = text.GetRightLiterals();
    for (; i + 2 < size; i += 3) {
        const int pos = static_cast<int8_t>(data[i + 1]);
        const char ch = static_cast<char>(data[i + 2] == 0 ? '\n' : data[i + 2]);
        int start = pos, end = pos + (data[i] >> 3);
        switch (data[i] & 7) {
        case 0:
            text.InsertAt(pos, ch);
            break;
        case 1:
            text.OverwriteAt(pos, ch);
            break;
        case 2:
            text.DeleteRange(start, end);
            break;
        case 3:
            text.SetInputData(CString(ch, (data[i] >> 3) + 1), pos, data[i] & 8);
            break;
        case 4:
            text.GetNextInputPosition(pos);
            text.GetPrevInputPosition(pos);
            break;
        default:
            text.DeleteRange(end, start);
            break;
        }
        const CString full = text.GetFullText();
        if (full != left + text.GetInput() + right || text.GetLeftLiterals() != left ||
            text.GetRightLiterals() != right)
            std::abort();
        const int next = text.GetNextInputPosition(pos);
        if (!text.IsInsertPosition(next) || !text.IsInsertPosition(text.GetPrevInputPosition(pos)))
            std::abort();
    }
    return 0;
}
