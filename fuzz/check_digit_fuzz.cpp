// check_digit on arbitrary bytes: a digit 0 to 9, equal to a plain weighted
// sum, and blind to the case of letters.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "support/check_digit_reference.h"
#include "zone/zone.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size)
{
    static char text[4097];
    static char folded[4097];
    if (size >= sizeof text)
        size = sizeof text - 1;
    std::memcpy(text, data, size);
    text[size] = '\0';
    const std::size_t length = std::strlen(text);

    const unsigned digit = check_digit(text);
    if (digit > 9 || digit != check_digit_reference(text, length))
        std::abort();

    for (std::size_t i = 0; i <= length; i++) {
        const char c = text[i];
        folded[i] = c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
    }
    if (check_digit(folded) != digit)
        std::abort();
    return 0;
}
