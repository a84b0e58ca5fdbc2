// The characters of a line as decoded, and the name field: the holder's
// names transliterated, joined and cut to fit as the standard says.
#include <algorithm>
#include <cstring>
#include <iterator>

#include "zone.h"

namespace
{

// Windows-1252 at 0x80-0x9F, where it differs from Latin-1; 0 where it
// leaves the byte undefined.
const unsigned short cp1252[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// Latin-1 and Latin Extended-A from U+00C0 to U+017F, 16 to a row. For each
// letter its base letter, or '2' where the standard writes two letters
// (see two_letter_capitals), or '_' where it is no letter; and the combining
// mark that the letter carries, or ' ' for none.
const char bases[] = "AAAA222CEEEEIIII"
                     "DNOOOO2_2UUU2Y22"
                     "AAAA222CEEEEIIII"
                     "DNOOOO2_2UUU2Y2Y"
                     "AAAAAACCCCCCCCDD"
                     "DDEEEEEEEEEEGGGG"
                     "GGGGHHHHIIIIIIII"
                     "II22JJKKKLLLLLLL"
                     "LLLNNNNNNNNNOOOO"
                     "OO22RRRRRRSSSSSS"
                     "SSTTTTTTUUUUUUUU"
                     "UUUUWWYYYZZZZZZS";
const char marks[] = "`'^~:o ,`'^:`'^:"
                     " ~`'^~:  `'^:'  "
                     "`'^~:o ,`'^:`'^:"
                     " ~`'^~:  `'^:' :"
                     "--uu;;''^^..vvvv"
                     "  --uu..;;vv^^uu"
                     "..,,^^  ~~--uu;;"
                     ".   ^^,, '',,vv "
                     "   '',,vv   --uu"
                     "\"\"  '',,vv''^^,,"
                     "vv,,vv  ~~--uuoo"
                     "\"\";;^^^^:''..vv ";
static_assert(sizeof bases == 0x180 - 0xC0 + 1 && sizeof marks == sizeof bases,
              "one entry for each of U+00C0 to U+017F");
// The marks' code points, in the order of their signs.
const char mark_signs[] = "`'^~-u.:o\"v,;";
const unsigned long mark_points[] = {0x300, 0x301, 0x302, 0x303, 0x304,
                                     0x306, 0x307, 0x308, 0x30A, 0x30B,
                                     0x30C, 0x327, 0x328};
// The letters that the standard writes as two, by their capitals.
const unsigned long two_letter_capitals[] = {0xC4, 0xC5, 0xC6, 0xD6,  0xD8,
                                             0xDC, 0xDE, 0xDF, 0x132, 0x152};
const char *const two_letters_of[] = {"AE", "AA", "AE", "OE", "OE",
                                      "UE", "TH", "SS", "IJ", "OE"};

const unsigned long TABLE_END = 0x180;

bool is_upper(unsigned long c)
{
    if (c < 0x100)
        return c < 0xDF;
    if (c == 0x138 || c == 0x149 || c == 0x17F)
        return false;
    if (c == 0x178)
        return true;
    const bool odd_upper = (c > 0x138 && c < 0x149) || c > 0x178;
    return (c % 2 == 1) == odd_upper;
}

// The two letters of a letter that the standard writes as two. Small
// letters stand 0x20 after their capitals in Latin-1, one after them in
// Latin Extended-A.
const char *two_letters(unsigned long c)
{
    const bool small = c < 0x100 ? c >= 0xE0 : c % 2 == 1;
    const unsigned long capital = small ? c - (c < 0x100 ? 0x20 : 1) : c;
    const auto *found = std::find(std::begin(two_letter_capitals),
                                  std::end(two_letter_capitals), capital);
    return found != std::end(two_letter_capitals)
               ? two_letters_of[found - std::begin(two_letter_capitals)]
               : "__";
}

// The ASCII letter that the table's letter i is made from.
char base_of(size_t i)
{
    return bases[i] == '2' ? two_letters(0xC0 + i)[0] : bases[i];
}

// The letter with the given ASCII base and mark, or 0.
unsigned long compose(unsigned long base, unsigned long mark)
{
    const char *sign = std::strchr(mark_signs, '\0');
    for (size_t i = 0; mark_signs[i] != '\0'; i++)
        if (mark_points[i] == mark)
            sign = mark_signs + i;
    const bool upper = base <= 'Z';
    const char letter = static_cast<char>(upper ? base : base - 'a' + 'A');
    for (size_t i = 0; i < sizeof marks - 1; i++) {
        const unsigned long c = 0xC0 + i;
        if (marks[i] == *sign && base_of(i) == letter && is_upper(c) == upper)
            return c;
    }
    return 0;
}

bool is_ascii_letter(unsigned long c)
{
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

// One character of UTF-8 (the line being valid) or Windows-1252.
unsigned long decode(const unsigned char **p, bool utf8)
{
    const unsigned c = *(*p)++;
    if (c < 0x80)
        return c;
    if (!utf8) {
        if (c >= 0xA0)
            return c;
        const unsigned long mapped = cp1252[c - 0x80];
        return mapped != 0 ? mapped : UNDEFINED_BYTE + c;
    }
    const int more = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : 1;
    unsigned long code = c & (0x3Fu >> more);
    for (int i = 0; i < more; i++)
        code = code << 6 | (*(*p)++ & 0x3Fu);
    return code;
}

// What a name holds of one character: its letters, written to two (one or
// two, terminated), or one of these.
enum { DROPPED, SEPARATOR, LETTERS, NOT_COVERED };
int transliterate(unsigned long c, char two[3])
{
    two[1] = '\0';
    if (is_ascii_letter(c)) {
        two[0] = static_cast<char>(c <= 'Z' ? c : c - 'a' + 'A');
        return LETTERS;
    }
    if (c == ' ' || c == '-')
        return SEPARATOR;
    if (c == '\'' || c == 0x2019)
        return DROPPED;
    if (c == 0x1E9E) // the capital sharp s
        c = 0xDF;
    if (c < 0xC0 || c >= TABLE_END || bases[c - 0xC0] == '_')
        return NOT_COVERED;
    if (bases[c - 0xC0] == '2') {
        std::memcpy(two, two_letters(c), 3);
        return LETTERS;
    }
    two[0] = bases[c - 0xC0];
    return LETTERS;
}

} // namespace

bool valid_utf8(const char *begin, const char *end)
{
    const auto *p = reinterpret_cast<const unsigned char *>(begin);
    const auto *stop = reinterpret_cast<const unsigned char *>(end);
    while (p < stop) {
        const unsigned c = *p++;
        if (c < 0x80)
            continue;
        // The second byte's range shuts out overlong forms, surrogates and
        // code points above U+10FFFF.
        unsigned more = 0;
        unsigned low = 0x80;
        unsigned high = 0xBF;
        if (c >= 0xC2 && c <= 0xDF) {
            more = 1;
        } else if (c >= 0xE0 && c <= 0xEF) {
            more = 2;
            low = c == 0xE0 ? 0xA0 : 0x80;
            high = c == 0xED ? 0x9F : 0xBF;
        } else if (c >= 0xF0 && c <= 0xF4) {
            more = 3;
            low = c == 0xF0 ? 0x90 : 0x80;
            high = c == 0xF4 ? 0x8F : 0xBF;
        } else {
            return false;
        }
        if (static_cast<size_t>(stop - p) < more || *p < low || *p > high)
            return false;
        for (unsigned i = 1; i < more; i++)
            if (p[i] < 0x80 || p[i] > 0xBF)
                return false;
        p += more;
    }
    return true;
}

unsigned long next_char(const char **p, const char *end, bool utf8)
{
    const auto *q = reinterpret_cast<const unsigned char *>(*p);
    const unsigned long c = decode(&q, utf8);
    if (is_ascii_letter(c) &&
        q < reinterpret_cast<const unsigned char *>(end)) {
        const auto *after = q;
        const unsigned long mark = decode(&after, utf8);
        const unsigned long composed =
            mark >= 0x300 && mark <= 0x36F ? compose(c, mark) : 0;
        if (composed != 0) {
            *p = reinterpret_cast<const char *>(after);
            return composed;
        }
    }
    *p = reinterpret_cast<const char *>(q);
    return c;
}

namespace
{

// Appends a name's letters to field from n on, one filler between its
// parts, and returns the new length; past cap it only counts.
size_t append_name(const char *p, const char *end, bool utf8, char *field,
                   size_t n, size_t cap)
{
    const size_t start = n;
    bool parted = false;
    while (p < end) {
        char two[3] = {};
        switch (transliterate(next_char(&p, end, utf8), two)) {
        case SEPARATOR:
            parted = n > start;
            break;
        case LETTERS:
            if (parted) {
                if (n < cap)
                    field[n] = '<';
                n++;
                parted = false;
            }
            for (const char *t = two; *t != '\0'; t++, n++)
                if (n < cap)
                    field[n] = *t;
            break;
        default:
            break;
        }
    }
    return n;
}

// The letter to take out of a cut that ends in fillers: the last one before
// them that is not the only letter of its name. Returns length if none is.
size_t letter_to_drop(const char *cut, size_t length)
{
    size_t end = length;
    while (end > 0 && cut[end - 1] == '<')
        end--;
    for (size_t i = end; i-- > 0;) {
        const bool first = i == 0 || cut[i - 1] == '<';
        const bool last = i + 1 == length || cut[i + 1] == '<';
        if (cut[i] != '<' && !(first && last))
            return i;
    }
    return length;
}

} // namespace

unsigned long name_fault(const char *begin, const char *end, bool utf8)
{
    bool letter = false;
    while (begin < end) {
        const unsigned long c = next_char(&begin, end, utf8);
        char two[3] = {};
        const int kind = transliterate(c, two);
        if (kind == NOT_COVERED)
            return c;
        letter = letter || kind == LETTERS;
    }
    return letter ? NAME_OK : NO_LETTER;
}

void name_field(const char *surname, const char *surname_end, const char *given,
                const char *given_end, bool utf8, unsigned length, char *field)
{
    // The full field's first characters, three past the field's length: a
    // cut lets in at most three, since fillers come at most two in a row.
    char full[OLD_NAME + 3];
    const size_t cap = length + 3 < sizeof full ? length + 3 : sizeof full;
    size_t n = append_name(surname, surname_end, utf8, full, 0, cap);
    const size_t with_given =
        append_name(given, given_end, utf8, full, n + 2, cap);
    if (with_given > n + 2) {
        for (size_t i = n; i < n + 2 && i < cap; i++)
            full[i] = '<';
        n = with_given;
    }

    if (n <= length) {
        std::memcpy(field, full, n);
        std::memset(field + n, '<', length - n);
    } else {
        // Cut at the length; while the cut ends in a filler, take out a
        // letter and let in the full field's next character.
        std::memcpy(field, full, length);
        const size_t have = n < cap ? n : cap;
        for (size_t next = length; field[length - 1] == '<' && next < have;
             next++) {
            const size_t drop = letter_to_drop(field, length);
            if (drop == length)
                break;
            std::memmove(field + drop, field + drop + 1, length - 1 - drop);
            field[length - 1] = full[next];
        }
    }
    field[length] = '\0';
}
