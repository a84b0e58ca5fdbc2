// A plain, independent weighted sum for the ICAO 9303 check digit, to
// compare the tool's check_digit against on inputs too many to work by hand.
#ifndef TAVOSCRIBE_CHECK_DIGIT_REFERENCE_H
#define TAVOSCRIBE_CHECK_DIGIT_REFERENCE_H

#include <cstddef>
#include <cstdint>

inline unsigned check_digit_reference(const char *text, std::size_t length)
{
    static const char digits[] = "0123456789";
    static const char capitals[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    static const char smalls[] = "abcdefghijklmnopqrstuvwxyz";
    std::uint64_t sum = 0;
    for (std::size_t i = 0; i < length; i++) {
        unsigned value = 0;
        for (unsigned k = 0; k < 10; k++)
            if (text[i] == digits[k])
                value = k;
        for (unsigned k = 0; k < 26; k++)
            if (text[i] == capitals[k] || text[i] == smalls[k])
                value = 10 + k;
        static const unsigned weights[3] = {7, 3, 1};
        sum += std::uint64_t{value} * weights[i % 3];
    }
    return static_cast<unsigned>(sum % 10);
}

#endif
