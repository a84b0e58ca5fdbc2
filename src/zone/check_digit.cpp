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
    // 64 bits: no string that fits in memory can make the sum wrap.
    unsigned long long sum = 0;
    unsigned long long weight = 7;

    for (const char *p = text; *p != '\0'; p++) {
        sum += char_value(static_cast<unsigned char>(*p)) * weight;
        weight = weight == 7 ? 3 : weight == 3 ? 1 : 7;
    }
    return static_cast<unsigned>(sum % 10);
}
