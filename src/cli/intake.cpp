// Field intake: length test, one prompted re-entry, check digit.
#include <cstdio>
#include <cstring>

#include "cli.h"
#include "zone/zone.h"

// The white space that separates tokens on standard input.
static bool is_blank(int c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' ||
           c == '\f';
}

// Reads one white-space separated token of at most max bytes into field,
// the way "%<max>s" does: leading white space is skipped, what follows the
// token stays for the next read, and when input ends before a token the
// field is left as it was. A longer token leaves its rest unread. Returns
// the bytes read, a NUL among them, so that no NUL shortens an answer.
static size_t read_token(char *field, size_t max)
{
    int c = std::getchar();
    while (is_blank(c))
        c = std::getchar();
    if (c == EOF)
        return 0;

    size_t n = 0;
    while (c != EOF && !is_blank(c)) {
        field[n++] = static_cast<char>(c);
        if (n == max)
            break;
        c = std::getchar();
    }
    field[n] = '\0';
    return n;
}

// Tests one field, asks for it once if its length is wrong, and appends its
// check digit. The read takes one byte more than the required length, so
// that a longer token still fails the test without overrunning the buffer.
static bool complete_field(char *field, size_t length, const char *prompt)
{
    if (std::strlen(field) != length) {
        std::fputs(prompt, stdout);
        // A program driving the tool through a pipe waits for the prompt
        // before it answers: it must leave the buffer before we block.
        std::fflush(stdout);
        if (read_token(field, length + 1) != length ||
            std::strlen(field) != length)
            return false;
    }
    field[length] = static_cast<char>('0' + check_digit(field));
    field[length + 1] = '\0';
    return true;
}

int complete_fields(char seriennummer[SERIAL_SIZE],
                    char geburtsdatum[DATE_SIZE], char gueltigBis[DATE_SIZE])
{
    if (!complete_field(seriennummer, SERIAL_LENGTH,
                        "\r\nSeriennummer (9 Zeichen):"))
        return BAD_SERIAL;
    if (!complete_field(geburtsdatum, DATE_LENGTH,
                        "\r\nGeburtstag (6 Zeichen JJMMTT):"))
        return BAD_BIRTH_DATE;
    if (!complete_field(gueltigBis, DATE_LENGTH,
                        "\r\nGueltig bis (6 Zeichen JJMMTT):"))
        return BAD_EXPIRY_DATE;
    return FIELDS_OK;
}
