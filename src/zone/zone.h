// Machine-readable zone of a German identity card (PA): the ICAO 9303
// check digit and the zone lines in the old and the new card format.
#ifndef TAVOSCRIBE_ZONE_H
#define TAVOSCRIBE_ZONE_H

// Check digit of a terminated string: weights 7, 3, 1 repeated from the
// first character, digits worth 0-9, letters of either case worth 10-35,
// every other byte (the filler "<" among them) worth 0. Returns 0 to 9.
unsigned check_digit(const char *text);

// Writes both headings and the three zone lines to standard output. The
// fields are completed: serial number 10, dates 7 characters, each
// ending in its check digit.
void print_zones(const char *seriennummer, const char *geburtsdatum,
                 const char *gueltigBis);

#endif
