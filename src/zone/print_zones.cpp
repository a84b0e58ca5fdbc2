// The zone lines: old card format (one line of 36 characters) and new card
// format (two lines of 30), each under its heading. Every line end is CR LF,
// carried by the texts themselves.
#include <cstdio>

#include "zone.h"

void print_zones(const char *seriennummer, const char *geburtsdatum,
                 const char *gueltigBis)
{
    // 10 + 7 + 7 characters and the terminator.
    char composite[28];

    std::snprintf(composite, sizeof composite, "%s%s%s", seriennummer,
                  geburtsdatum, gueltigBis);
    const char digit = static_cast<char>('0' + check_digit(composite));

    std::fputs("\r\nalter PA (bis 31. Oktober 2010 beantragt): \r\n", stdout);
    std::printf("%sD<<%s<%s<<<<<<<%c\r\n", seriennummer, geburtsdatum,
                gueltigBis, digit);
    std::fputs("\r\nneuer PA: \r\n", stdout);
    std::printf("TPD<<%s<<<<<<<<<<<<<<<\r\n%s<%sD<<<<<<<<<<<<<%c\r\n",
                seriennummer, geburtsdatum, gueltigBis, digit);
}
