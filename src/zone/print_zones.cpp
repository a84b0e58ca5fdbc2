// The zone lines: old card format (one line of 36 characters) and new card
// format (two lines of 30), each under its heading. Every line end is CR LF,
// carried by the texts themselves.
#include <cstdio>
#include <cstring>

#include "zone.h"

// Joins the pieces into buf, a terminated string that never grows past the
// buffer's last byte. Returns its length.
static size_t join(char *buf, size_t size, const char *const *pieces,
                   size_t count)
{
    size_t n = 0;
    for (size_t i = 0; i < count; i++) {
        size_t len = std::strlen(pieces[i]);
        if (len > size - 1 - n)
            len = size - 1 - n;
        std::memcpy(buf + n, pieces[i], len);
        n += len;
    }
    buf[n] = '\0';
    return n;
}

void print_zones(const char *seriennummer, const char *geburtsdatum,
                 const char *gueltigBis)
{
    // The completed fields joined: 10 + 7 + 7 characters and the terminator.
    char composite[28];
    const char *const fields[] = {seriennummer, geburtsdatum, gueltigBis};
    join(composite, sizeof composite, fields, 3);
    const char digit[2] = {static_cast<char>('0' + check_digit(composite)),
                           '\0'};

    // One row of pieces per zone line, as the layouts are read.
    // clang-format off
    const char *const zones[] = {
        // Old card format: document number, nationality, date of birth,
        // sex (filler), expiry date, optional data (empty), composite check
        // digit.
        "\r\nalter PA (bis 31. Oktober 2010 beantragt): \r\n",
        seriennummer, "D<<", geburtsdatum, "<", gueltigBis, "<<<<<<<", digit, "\r\n",
        // New card format: document code, issuing state, document number,
        // optional data; then date of birth, sex, expiry date, nationality,
        // optional data and the same composite check digit.
        "\r\nneuer PA: \r\n",
        "TPD<<", seriennummer, "<<<<<<<<<<<<<<<\r\n",
        geburtsdatum, "<", gueltigBis, "D<<<<<<<<<<<<<", digit, "\r\n"};
    // clang-format on

    // One write for the whole zone: 163 bytes for completed fields.
    char out[192];
    size_t n = join(out, sizeof out, zones, sizeof zones / sizeof *zones);
    std::fwrite(out, 1, n, stdout);
}
