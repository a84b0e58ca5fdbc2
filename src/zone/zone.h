// Machine-readable zone of a German identity card (PA): the ICAO 9303
// check digit, the zone lines in the old and the new card format, and the
// name field.
#ifndef TAVOSCRIBE_ZONE_H
#define TAVOSCRIBE_ZONE_H

#include <cstddef>

// The card's three items, in the order in which they are taken and tested,
// and the lengths of the serial number and of each date.
enum { SERIAL = 0, BIRTH_DATE = 1, EXPIRY_DATE = 2 };
enum { SERIAL_LENGTH = 9, DATE_LENGTH = 6 };

// What is said of each item, by its index above, when its length is wrong.
extern const char *const WRONG_LENGTH[3];

// Check digit of a terminated string: weights 7, 3, 1 repeated from the
// first character, digits worth 0-9, letters of either case worth 10-35,
// every other byte (the filler "<" among them) worth 0. Returns 0 to 9.
unsigned check_digit(const char *text);

// The zone lines without their line ends, from the completed fields (serial
// number 10, dates 7 characters, each ending in its check digit): the old
// card format's line and the new card format's two, whose first begins with
// the document code given, "TP" or "ID".
enum { OLD_LINE = 36, NEW_LINE = 30 };
void compose_zones(const char *seriennummer, const char *geburtsdatum,
                   const char *gueltigBis, const char *code,
                   char old_line[OLD_LINE + 1], char new_first[NEW_LINE + 1],
                   char new_second[NEW_LINE + 1]);

// Writes both headings and the three zone lines to standard output, with
// the document code "TP".
void print_zones(const char *seriennummer, const char *geburtsdatum,
                 const char *gueltigBis);

// The characters of a line of text: UTF-8 where the whole line is valid
// UTF-8, else Windows-1252. A combining mark (U+0300 to U+036F) after a
// letter comes composed with it, where Latin-1 or Latin Extended-A has the
// letter with that mark; else it comes as a character of its own. A byte
// that Windows-1252 leaves undefined comes as UNDEFINED_BYTE plus its value.
enum : unsigned long { UNDEFINED_BYTE = 0x110000 };
bool valid_utf8(const char *begin, const char *end);
unsigned long next_char(const char **p, const char *end, bool utf8);

// The first character of a name that no name field holds, or NAME_OK, or
// NO_LETTER where the name holds no letter at all.
enum : unsigned long { NAME_OK = 0x200000, NO_LETTER = 0x200001 };
unsigned long name_fault(const char *begin, const char *end, bool utf8);

// The name field of the given length, 31 in the old card format and 30 in
// the new: surname, "<<", given names, fillers, as the standard writes
// names, and cut to fit by its rule. Both names must be without fault.
enum { OLD_NAME = 31, NEW_NAME = 30 };
void name_field(const char *surname, const char *surname_end, const char *given,
                const char *given_end, bool utf8, unsigned length, char *field);

#endif
