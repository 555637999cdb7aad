// Stands in for the browser in tests: appends the arguments it was started with, as one line,
// to the file named by SONORIA_SHELL_PROBE_LOG.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main()
{
    const char* log = std::getenv("SONORIA_SHELL_PROBE_LOG");
    if (log == nullptr)
        return 1;
    // The command line without the program's own (possibly quoted) name.
    const char* args = ::GetCommandLineA();
    if (*args == '"') {
        args = std::strchr(args + 1, '"');
        args = args != nullptr ? args + 1 : "";
    } else {
        while (*args != 0 && *args != ' ')
            ++args;
    }
    while (*args == ' ')
        ++args;
    FILE* f = std::fopen(log, "ab");
    if (f == nullptr)
        return 1;
    std::fprintf(f, "%s\n", args);
    std::fclose(f);
    return 0;
}
