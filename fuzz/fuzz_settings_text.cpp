// Feeds registry value texts to the settings store: integer readings, and list values in
// their older "a|b|c|" form read into a list setting, then counted and read back.
#include "foundation/settings/cfg_base.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace
{

class CFuzzCfg : public CCfgBase
{
public:
    CFuzzCfg() : CCfgBase(TRUE) { DefineSettings(); }
    void DefineSettings() override
    {
        Declare("Scalar", "0");
        Declare("List", "", TRUE);
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const std::string text(reinterpret_cast<const char*>(data), size);
    const char* value = text.c_str(); // a registry text ends at its first NUL
    CCfgBase::ReadInt(value);
    CFuzzCfg cfg;
    cfg.SetFromText("Scalar", value);
    cfg.SetFromText("List", value);
    cfg.SetFromText("Undeclared", value);
    int n = 0;
    cfg.GetInt("Scalar", n);
    BOOL b = FALSE;
    cfg.GetBool("Undeclared", b);
    const int count = cfg.GetListCount("List");
    CString item;
    for (int i = -1; i <= count; ++i)
        cfg.GetListItem("List", i, item);
    return 0;
}
