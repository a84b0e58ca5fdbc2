// The run: banner, help switch, arguments, intake, then the failure message
// or the zone lines, and the exit status.
#include <cstdio>
#include <cstring>

#include "cli.h"
#include "zone/zone.h"

const char BANNER[] =
    "tavoScribe - MRZ composer for PA identity cards (ICAO 9303)\r\n";

const char *failure_message(int status)
{
    // The statuses of the items follow the items' order.
    static_assert(BAD_SERIAL == SERIAL + 1 &&
                      BAD_EXPIRY_DATE == EXPIRY_DATE + 1,
                  "one status for each item");
    return WRONG_LENGTH[status - BAD_SERIAL];
}

void print_usage()
{
    std::fputs("usage:\r\n"
               "tavoScribe.exe {seriennummer} {geburtsdatum JJMMTT} "
               "{gueltigBis JJMMTT}\r\n\r\n",
               stdout);
}

// Takes an argument as a field when the field's buffer can hold it with its
// terminator. A longer one is of the wrong length anyway: the field stays
// empty and is asked for, just as the over-long value would be.
static void take_argument(char *field, size_t size, const char *arg)
{
    size_t n = std::strlen(arg);
    if (n < size)
        std::memcpy(field, arg, n + 1);
}

int run(int argc, char **argv)
{
    char seriennummer[SERIAL_SIZE] = "";
    char geburtsdatum[DATE_SIZE] = "";
    char gueltigBis[DATE_SIZE] = "";

    std::fputs(BANNER, stdout);

    // A first argument that starts with "-" is a switch in place of the
    // serial number; "-h" asks for the usage text, any other is ignored.
    if (argc > 1) {
        if (argv[1][0] == '-') {
            if (argv[1][1] == 'h')
                print_usage();
        } else {
            take_argument(seriennummer, sizeof seriennummer, argv[1]);
        }
    }
    if (argc > 2)
        take_argument(geburtsdatum, sizeof geburtsdatum, argv[2]);
    if (argc > 3)
        take_argument(gueltigBis, sizeof gueltigBis, argv[3]);

    int status = complete_fields(seriennummer, geburtsdatum, gueltigBis);
    if (status == FIELDS_OK)
        print_zones(seriennummer, geburtsdatum, gueltigBis);
    else
        std::fputs(failure_message(status), stdout);

    // A run whose zone lines never reached their reader has not succeeded.
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        status = output_failed(status);
    return status;
}

int output_failed(int status)
{
    if (status != FIELDS_OK)
        return status;
    std::fputs("tavoScribe: standard output could not be written\r\n", stderr);
    return OUTPUT_FAILED;
}
