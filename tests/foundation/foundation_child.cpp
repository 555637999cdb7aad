// A second process for the foundation tests.
//   foundation_child --get KEY OUTFILE    writes the settings object's value of KEY (a list:
//                                         its items, one a line) into OUTFILE
//   foundation_child --set KEY VALUE      sets KEY (a list: adds VALUE) and saves the settings
//   foundation_child [ARGS...]            appends its arguments, one a line, to the file named
//                                         by SONORIA_CHILD_MARKER (run as a browser or a file)
#include "foundation/settings/app_cfg.h"

#include <cstdlib>
#include <cstring>
#include <fstream>

int main(int argc, char** argv)
{
    if (argc == 4 && std::strcmp(argv[1], "--get") == 0) {
        CAppCfg cfg;
        std::ofstream out(argv[3], std::ios::binary);
        if (cfg.GetListCount(argv[2]) >= 0) {
            for (int i = 0; i < cfg.GetListCount(argv[2]); ++i) {
                CString item;
                cfg.GetListItem(argv[2], i, item);
                out << item.GetString() << "\n";
            }
        } else {
            CString value;
            if (!cfg.GetString(argv[2], value))
                return 2;
            out << value.GetString();
        }
        return 0;
    }
    if (argc == 4 && std::strcmp(argv[1], "--set") == 0) {
        CAppCfg cfg;
        const BOOL ok = cfg.GetListCount(argv[2]) >= 0 ? cfg.AddListItem(argv[2], argv[3])
                                                       : cfg.SetString(argv[2], argv[3]);
        return ok && cfg.Save() ? 0 : 2;
    }
    const char* marker = std::getenv("SONORIA_CHILD_MARKER");
    if (!marker)
        return 3;
    std::ofstream out(marker, std::ios::binary | std::ios::app);
    out << "run\n";
    for (int i = 1; i < argc; ++i)
        out << argv[i] << "\n";
    return 0;
}
