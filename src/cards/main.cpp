// tavoScribe-cards: the machine-readable zones of a list of German identity
// cards, one line per card.
#include "cards.h"

#ifdef _WIN32
#include <windows.h>

// The arguments as Windows gives them, whatever their characters, taken to
// UTF-8: a command line of at most 32,767 characters, 3 bytes each at most.
int wmain(int argc, wchar_t **wargv)
{
    static char bytes[3 * 32768];
    static char *argv[32768];
    size_t used = 0;
    for (int i = 0; i < argc && i < 32767; i++) {
        argv[i] = bytes + used;
        const int n = WideCharToMultiByte(CP_UTF8, 0, wargv[i], -1, argv[i],
                                          static_cast<int>(sizeof bytes - used),
                                          nullptr, nullptr);
        used += n > 0 ? static_cast<size_t>(n) : 1;
    }
    return run_cards(argc, argv);
}
#else
int main(int argc, char **argv)
{
    return run_cards(argc, argv);
}
#endif
