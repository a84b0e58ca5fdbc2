// The zone lines: old card format (one line of 36 characters) and new card
// format (two lines of 30). tavoScribe writes them each under its heading,
// every line end CR LF.
#include <cstdio>
#include <cstring>

#include "zone.h"

const char *const WRONG_LENGTH[3] = {
    "Seriennummer muss 9 zeichen lang sein!",
    "Geburtstag muss 6 zeichen lang sein (JJMMTT)!",
    "Gueltigkeitsdatum muss 6 zeichen lang sein (JJMMTT)!"};

// Copies a text of n characters to p; returns the end of the copy.
static char *put(char *p, const char *text, size_t n)
{
    std::memcpy(p, text, n);
    return p + n;
}

void compose_zones(const char *seriennummer, const char *geburtsdatum,
                   const char *gueltigBis, const char *code,
                   char old_line[OLD_LINE + 1], char new_first[NEW_LINE + 1],
                   char new_second[NEW_LINE + 1])
{
    const size_t serial = SERIAL_LENGTH + 1;
    const size_t date = DATE_LENGTH + 1;
    // The completed fields joined, and the terminator.
    char composite[28];
    static_assert(SERIAL_LENGTH + 1 + 2 * (DATE_LENGTH + 1) < sizeof composite,
                  "the composite buffer holds the completed fields");
    char *p = put(composite, seriennummer, serial);
    p = put(p, geburtsdatum, date);
    p = put(p, gueltigBis, date);
    *p = '\0';
    const char digit = static_cast<char>('0' + check_digit(composite));

    // Old card format: document number, nationality, date of birth, sex
    // (filler), expiry date, optional data (empty), composite check digit.
    p = put(old_line, seriennummer, serial);
    p = put(p, "D<<", 3);
    p = put(p, geburtsdatum, date);
    p = put(p, "<", 1);
    p = put(p, gueltigBis, date);
    p = put(p, "<<<<<<<", 7);
    p[0] = digit;
    p[1] = '\0';

    // New card format: document code, issuing state, document number,
    // optional data; then date of birth, sex, expiry date, nationality,
    // optional data and the same composite check digit.
    p = put(new_first, code, 2);
    p = put(p, "D<<", 3);
    p = put(p, seriennummer, serial);
    p = put(p, "<<<<<<<<<<<<<<<", 15);
    *p = '\0';
    p = put(new_second, geburtsdatum, date);
    p = put(p, "<", 1);
    p = put(p, gueltigBis, date);
    p = put(p, "D<<<<<<<<<<<<<", 14);
    p[0] = digit;
    p[1] = '\0';
}

void print_zones(const char *seriennummer, const char *geburtsdatum,
                 const char *gueltigBis)
{
    char old_line[OLD_LINE + 1];
    char new_first[NEW_LINE + 1];
    char new_second[NEW_LINE + 1];
    compose_zones(seriennummer, geburtsdatum, gueltigBis, "TP", old_line,
                  new_first, new_second);

    static const char old_heading[] =
        "\r\nalter PA (bis 31. Oktober 2010 beantragt): \r\n";
    static const char new_heading[] = "\r\nneuer PA: \r\n";
    // One write for the whole zone, its size known at compile time.
    char out[sizeof old_heading + sizeof new_heading + OLD_LINE +
             size_t{2} * NEW_LINE + size_t{3} * 2];
    char *p = put(out, old_heading, sizeof old_heading - 1);
    p = put(p, old_line, OLD_LINE);
    p = put(p, "\r\n", 2);
    p = put(p, new_heading, sizeof new_heading - 1);
    p = put(p, new_first, NEW_LINE);
    p = put(p, "\r\n", 2);
    p = put(p, new_second, NEW_LINE);
    p = put(p, "\r\n", 2);
    std::fwrite(out, 1, static_cast<size_t>(p - out), stdout);
}
