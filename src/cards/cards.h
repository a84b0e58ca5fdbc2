// tavoScribe-cards: the zone lines of every card in a list, one line per
// card.
#ifndef TAVOSCRIBE_CARDS_H
#define TAVOSCRIBE_CARDS_H

#include <cstddef>

#include "zone/zone.h"

// What a run is asked for: the document code ID in the new card format, and
// the name lines.
enum { CARD_ID = 1, CARD_NAMES = 2 };

// What a line of the list is: a good card, a bad one, or none (a blank
// line, or one of separators alone).
enum { CARD_GOOD, CARD_BAD, CARD_NONE };

// Room for a good card's zone lines, separated by tabs and terminated: with
// CARD_NAMES the old card format's two lines and the new card format's
// three, else one and two.
enum { ZONES_SIZE = 2 * OLD_LINE + 3 * NEW_LINE + 5 };
// Room for a bad card's fault, terminated.
enum { FAULT_SIZE = 128 };

// Reads one line of the list, without its line end, as a card. A good
// card's zone lines go to zones, their length to *length; a bad card's
// fault, German, to fault. A quoted item is unquoted in place.
int read_card(char *line, size_t n, int flags, char zones[ZONES_SIZE],
              size_t *length, char fault[FAULT_SIZE]);

// One whole run on the given arguments, UTF-8 on every platform. Returns
// the exit status.
int run_cards(int argc, char **argv);

// The platform's part: files by their UTF-8 names, as descriptors in binary
// mode, and the reason of the last failure.
int open_list(const char *name);
int create_beside(const char *name, char *temp, size_t size);
bool replace_file(const char *temp, const char *name);
void remove_file(const char *name);
const char *output_target(const char *name);
const char *output_refused(const char *name);
long read_some(int fd, char *buf, size_t size);
bool write_all(int fd, const char *buf, size_t size);
bool close_file(int fd);
const char *failure_reason();
void prepare_streams();

#endif
