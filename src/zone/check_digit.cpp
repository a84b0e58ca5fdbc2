// The ICAO 9303 check digit.
#include "zone.h"

// Value of one character. Bytes are taken as unsigned char so that every
// byte value is defined; letters are folded by arithmetic rather than
// through <cctype>, which is locale-dependent and undefined for negative
// char values.
static unsigned char_value(unsigned char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10u;
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 10u;
    return 0;
}

unsigned check_digit(const char *text)
{
    static const unsigned weights[3] = {7, 3, 1};
    unsigned sum = 0;
    unsigned i = 0;

    // Reduce as we go so that the sum cannot wrap, whatever the length.
    for (const char *p = text; *p != '\0'; p++) {
        sum = (sum + char_value(static_cast<unsigned char>(*p)) * weights[i]) % 10u;
        i = (i + 1) % 3;
    }
    return sum;
}
