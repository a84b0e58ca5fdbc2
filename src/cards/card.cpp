// One line of a card list read as a card: its items, each tested in its
// order, and the zone lines of a good card.
#include <cstring>

#include "cards.h"

namespace
{

// The items of a line, in their order, as the faults name them.
enum { SURNAME = 3, GIVEN_NAMES = 4 };
const char *const item_names[] = {"Seriennummer", "Geburtstag",
                                  "Gueltigkeitsdatum", "Name", "Vornamen"};

// What reading an item found.
enum { ITEM_READ, ITEM_MISSING, ITEM_UNCLOSED };

bool is_separator(char c)
{
    return c == '\t' || c == ',' || c == ';';
}

// Reads the item that starts at p, and the separator after it, and moves p
// past both. A blank ends the item only where blanks_end is set. A quoted
// item holds all up to its closing quote, "" standing for one quote, and
// what follows the quote up to the item's end; with unquote set, it is
// unquoted in place. The item is [begin, end), and
// separated tells whether a tab, comma or semicolon ended it.
int read_item(char *&p, const char *line_end, bool blanks_end, bool unquote,
              char *&begin, char *&end, bool &separated)
{
    while (p < line_end && *p == ' ')
        p++;
    if (p == line_end)
        return ITEM_MISSING;
    begin = p;
    char *w = p;
    if (*p == '"') {
        for (p++;; p++) {
            if (p == line_end)
                return ITEM_UNCLOSED;
            if (*p == '"' && (p + 1 == line_end || p[1] != '"'))
                break;
            if (*p == '"')
                p++;
            if (unquote)
                *w = *p;
            w++;
        }
        p++;
    }
    while (p < line_end && !is_separator(*p) && !(blanks_end && *p == ' ')) {
        if (unquote)
            *w = *p;
        w++;
        p++;
    }
    end = w;
    while (p < line_end && *p == ' ')
        p++;
    separated = p < line_end && is_separator(*p);
    if (separated)
        p++;
    return ITEM_READ;
}

bool in_zone(unsigned long c)
{
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || c == '<';
}

char *append(char *p, const char *text)
{
    const size_t n = std::strlen(text);
    std::memcpy(p, text, n + 1);
    return p + n;
}

char *append(char *p, const char *text, size_t n)
{
    std::memcpy(p, text, n);
    p[n] = '\0';
    return p + n;
}

// A character as a fault names it: 'c' if it is printable ASCII, else
// U+XXXX, or 0xNN for a byte that Windows-1252 leaves undefined.
char *append_character(char *p, unsigned long c)
{
    const char hex[] = "0123456789ABCDEF";
    if (c >= ' ' && c <= '~') {
        const char quoted[] = {'\'', static_cast<char>(c), '\'', '\0'};
        return append(p, quoted);
    }
    int digits = 2;
    if (c >= UNDEFINED_BYTE) {
        p = append(p, "0x");
        c -= UNDEFINED_BYTE;
    } else {
        p = append(p, "U+");
        digits = c > 0xFFFF ? c > 0xFFFFF ? 6 : 5 : 4;
    }
    for (int i = digits - 1; i >= 0; i--)
        *p++ = hex[(c >> (4 * i)) & 0xFu];
    *p = '\0';
    return p;
}

void say_character(char *fault, int item, unsigned long c)
{
    char *p = append(fault, item_names[item]);
    p = append(p, ": das Zeichen ");
    p = append_character(p, c);
    append(p, " ist nicht erlaubt!");
}

// Tests a date of the zone's characters; the date of birth may leave its
// day, or its month and day, or all of it unknown, as fillers.
bool test_date(int item, const char *d, char *fault)
{
    const char *name = item_names[item];
    size_t digits = 0;
    while (digits < DATE_LENGTH && d[digits] >= '0' && d[digits] <= '9')
        digits++;
    size_t fillers = digits;
    while (fillers < DATE_LENGTH && d[fillers] == '<')
        fillers++;
    bool letters = false;
    for (size_t i = 0; i < DATE_LENGTH; i++)
        letters = letters || (d[i] >= 'A' && d[i] <= 'Z');
    if (letters || (item == EXPIRY_DATE && digits < DATE_LENGTH)) {
        append(append(fault, name), ": nur Ziffern sind erlaubt (JJMMTT)!");
        return false;
    }
    if (fillers < DATE_LENGTH || digits % 2 != 0) {
        append(fault,
               "Geburtstag: unbekannt nur als JJMM<<, JJ<<<< oder <<<<<<!");
        return false;
    }
    const int year = (d[0] - '0') * 10 + d[1] - '0';
    const int month = (d[2] - '0') * 10 + d[3] - '0';
    const int day = (d[4] - '0') * 10 + d[5] - '0';
    if (digits >= 4 && (month < 1 || month > 12)) {
        char *p = append(append(fault, name), ": den Monat ");
        append(append(p, d + 2, 2), " gibt es nicht!");
        return false;
    }
    // The century is not known: 29 February counts in every fourth year.
    const int days[] = {
        31, year % 4 == 0 ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (digits == DATE_LENGTH && (day < 1 || day > days[month - 1])) {
        char *p = append(append(fault, name), ": den Tag ");
        p = append(append(append(p, d + 4, 2), " gibt es im Monat "), d + 2, 2);
        append(append(append(p, " des Jahres "), d, 2), " nicht!");
        return false;
    }
    return true;
}

// An item whose quote is not closed is the card's fault, in its place.
bool unclosed(int item, int got, char *fault)
{
    if (got == ITEM_UNCLOSED)
        append(append(fault, item_names[item]),
               ": Anfuehrungszeichen ohne Ende!");
    return got == ITEM_UNCLOSED;
}

// Tests the item of a card's serial number or dates, and completes its
// field with its check digit.
bool test_item(int item, int got, const char *begin, const char *end, bool utf8,
               char *field, char *fault)
{
    if (unclosed(item, got, fault))
        return false;
    const size_t length = item == SERIAL ? SERIAL_LENGTH : DATE_LENGTH;
    size_t n = got == ITEM_READ ? static_cast<size_t>(end - begin) : 0;
    bool plain = true;
    for (size_t i = 0; i < n && plain; i++)
        plain = in_zone(static_cast<unsigned char>(begin[i]));
    if (!plain) {
        // Lengths count characters, not bytes.
        n = 0;
        for (const char *p = begin; p < end; n++)
            next_char(&p, end, utf8);
    }
    if (n != length) {
        append(fault, WRONG_LENGTH[item]);
        return false;
    }
    for (const char *p = begin; !plain && p < end;) {
        const unsigned long c = next_char(&p, end, utf8);
        if (!in_zone(c)) {
            say_character(fault, item, c);
            return false;
        }
    }
    std::memcpy(field, begin, length);
    field[length] = '\0';
    if (item != SERIAL && !test_date(item, field, fault))
        return false;
    field[length] = static_cast<char>('0' + check_digit(field));
    field[length + 1] = '\0';
    return true;
}

// Tests a name item; a surname must hold a letter.
bool test_name(int item, int got, const char *begin, const char *end, bool utf8,
               char *fault)
{
    if (unclosed(item, got, fault))
        return false;
    const unsigned long c =
        got == ITEM_READ ? name_fault(begin, end, utf8) : NO_LETTER;
    if (c == NO_LETTER && item == SURNAME) {
        append(fault, "Name fehlt!");
        return false;
    }
    if (c != NAME_OK && c != NO_LETTER) {
        say_character(fault, item, c);
        return false;
    }
    return true;
}

} // namespace

int read_card(char *line, size_t n, int flags, char zones[ZONES_SIZE],
              size_t *length, char fault[FAULT_SIZE])
{
    const char *const line_end = line + n;
    const char *q = line;
    while (q < line_end && (*q == ' ' || is_separator(*q)))
        q++;
    if (q == line_end)
        return CARD_NONE;
    const bool utf8 = valid_utf8(line, line_end);
    const int count = (flags & CARD_NAMES) != 0 ? 5 : 3;

    // With names, the whole line decides whether blanks end them: a line
    // that holds a tab, comma or semicolon outside quotes lets a name hold
    // blanks; in a blank-separated line, more than five items most likely
    // mean a name with blanks, unquoted.
    bool separated = false;
    size_t items = 0;
    if (count == 5) {
        char *p = line;
        char *begin = nullptr;
        char *end = nullptr;
        bool ended_by_separator = false;
        while (read_item(p, line_end, true, false, begin, end,
                         ended_by_separator) == ITEM_READ) {
            items++;
            separated = separated || ended_by_separator;
        }
    }

    char *begin[5] = {};
    char *end[5] = {};
    int got[5] = {ITEM_MISSING, ITEM_MISSING, ITEM_MISSING, ITEM_MISSING,
                  ITEM_MISSING};
    char *p = line;
    for (int i = 0; i < count; i++) {
        bool ended_by_separator = false;
        got[i] = read_item(p, line_end, i < SURNAME || !separated, true,
                           begin[i], end[i], ended_by_separator);
        if (got[i] != ITEM_READ)
            break;
    }

    char fields[3][SERIAL_LENGTH + 2];
    for (int i = SERIAL; i <= EXPIRY_DATE; i++)
        if (!test_item(i, got[i], begin[i], end[i], utf8, fields[i], fault))
            return CARD_BAD;
    if (count == 5 && !separated && items > 5) {
        append(fault, "Name: mehr als fuenf Angaben; einen Namen mit "
                      "Leerzeichen in Anfuehrungszeichen setzen!");
        return CARD_BAD;
    }
    for (int i = SURNAME; i < count; i++)
        if (!test_name(i, got[i], begin[i], end[i], utf8, fault))
            return CARD_BAD;

    char old_line[OLD_LINE + 1];
    char new_first[NEW_LINE + 1];
    char new_second[NEW_LINE + 1];
    compose_zones(fields[SERIAL], fields[BIRTH_DATE], fields[EXPIRY_DATE],
                  (flags & CARD_ID) != 0 ? "ID" : "TP", old_line, new_first,
                  new_second);
    char *z = zones;
    if (count == 5) {
        // A missing item of given names stays empty, as begin and end.
        z = append(z, "IDD<<", 5);
        name_field(begin[SURNAME], end[SURNAME], begin[GIVEN_NAMES],
                   end[GIVEN_NAMES], utf8, OLD_NAME, z);
        z = append(z + OLD_NAME, "\t", 1);
    }
    z = append(append(z, old_line, OLD_LINE), "\t", 1);
    z = append(append(z, new_first, NEW_LINE), "\t", 1);
    z = append(z, new_second, NEW_LINE);
    if (count == 5) {
        z = append(z, "\t", 1);
        name_field(begin[SURNAME], end[SURNAME], begin[GIVEN_NAMES],
                   end[GIVEN_NAMES], utf8, NEW_NAME, z);
        z += NEW_NAME;
    }
    *length = static_cast<size_t>(z - zones);
    return CARD_GOOD;
}
