// Console front end: argument handling, field intake and the run itself.
#ifndef TAVOSCRIBE_CLI_H
#define TAVOSCRIBE_CLI_H

#include "zone/zone.h"

// Intake status; it is also the exit status of the run.
enum {
    FIELDS_OK = 0,
    BAD_SERIAL = 1,
    BAD_BIRTH_DATE = 2,
    BAD_EXPIRY_DATE = 3,
    // The zone lines were computed but standard output could not take them.
    OUTPUT_FAILED = 4
};

// Field buffers: each holds its completed field (the field and its check
// digit) and the terminator.
enum { SERIAL_SIZE = 12, DATE_SIZE = 8 };
static_assert(SERIAL_SIZE >= SERIAL_LENGTH + 2 && DATE_SIZE >= DATE_LENGTH + 2,
              "a field buffer holds its completed field");

// The first line of every run.
extern const char BANNER[];

// The message of a failure status, BAD_SERIAL to BAD_EXPIRY_DATE.
const char *failure_message(int status);

// Writes the usage text.
void print_usage();

// Completes the three fields in place: a field of the wrong length is asked
// for once at the console, then each field gets its check digit appended.
// Returns FIELDS_OK or the status of the first field that stays wrong.
int complete_fields(char seriennummer[SERIAL_SIZE],
                    char geburtsdatum[DATE_SIZE], char gueltigBis[DATE_SIZE]);

// One whole run on the given arguments, reading standard input and writing
// standard output as set up by the caller. Returns the exit status 0 to 4.
int run(int argc, char **argv);

// The status of a run whose standard output failed: a run that would have
// succeeded ends with OUTPUT_FAILED and says so on standard error; a run
// that already failed keeps its own status and message.
int output_failed(int status);

// Puts the standard streams into the mode the tool needs on this platform:
// bytes pass unchanged, and standard output is unbuffered on a terminal and
// block-buffered otherwise.
void prepare_console();

// Ends the run on this platform's console, once, after run(): keeps a
// console window opened for this process alone readable until Enter is
// pressed, then closes standard output. Returns the final exit status.
int finish_console(int status);

#endif
