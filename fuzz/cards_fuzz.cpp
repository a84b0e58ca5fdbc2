// The list reader on one line of a list. The first byte's two low bits are
// the flags, CARD_ID and CARD_NAMES; the rest is the line. A good card must
// give its zone lines at their exact lengths, of the zone's characters,
// separated by tabs, with one composite check digit; a bad card a fault in
// printable ASCII; a line of separators alone neither.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "cards/cards.h"

namespace
{

bool zone_line(const char *p, std::size_t n)
{
    for (std::size_t i = 0; i < n; i++)
        if (!((p[i] >= '0' && p[i] <= '9') || (p[i] >= 'A' && p[i] <= 'Z') ||
              p[i] == '<'))
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size)
{
    if (size == 0)
        return 0;
    const int flags = data[0] & (CARD_ID | CARD_NAMES);
    // A buffer of the line's own size, so that a read past it is caught.
    std::vector<char> line(data + 1, data + size);
    char zones[ZONES_SIZE];
    std::size_t length = 0;
    char fault[FAULT_SIZE];
    const int card =
        read_card(line.data(), line.size(), flags, zones, &length, fault);

    if (card == CARD_BAD) {
        const std::size_t n = strnlen(fault, FAULT_SIZE);
        if (n == 0 || n == FAULT_SIZE)
            std::abort();
        for (std::size_t i = 0; i < n; i++)
            if (fault[i] < ' ' || fault[i] > '~')
                std::abort();
    } else if (card == CARD_GOOD) {
        const bool names = (flags & CARD_NAMES) != 0;
        const std::size_t widths[] = {36, 30, 30, 36, 36, 30, 30, 30};
        const std::size_t *w = names ? widths + 3 : widths;
        const std::size_t count = names ? 5 : 3;
        const char *p = zones;
        for (std::size_t i = 0; i < count; p += w[i] + 1, i++)
            if (!zone_line(p, w[i]) || (i + 1 < count && p[w[i]] != '\t'))
                std::abort();
        if (static_cast<std::size_t>(p - 1 - zones) != length)
            std::abort();
        // The old line's and the new second line's composite check digit.
        const char *old_line = zones + (names ? 37 : 0);
        const char *new_second = old_line + 37 + 31;
        if (old_line[35] != new_second[29])
            std::abort();
    } else if (card != CARD_NONE) {
        std::abort();
    }
    return 0;
}
