#include <gtest/gtest.h>

#include <string>

#include "zone/zone.h"

namespace
{

struct Utf8 {
    const char *bytes;
    bool valid;
};

// The edges of UTF-8: overlong forms, surrogates, the last code point, and
// sequences cut short.
const Utf8 utf8[] = {{"M\xc3\xbcller", true},
                     {"\xc3", false},
                     {"\xc0\xaf", false},
                     {"\xc1\xbf", false},
                     {"\xe0\x80\xaf", false},
                     {"\xe0\xa0\x80", true},
                     {"\xed\x9f\xbf", true},
                     {"\xed\xa0\x80", false},
                     {"\xef\xbf\xbf", true},
                     {"\xf0\x8f\xbf\xbf", false},
                     {"\xf0\x90\x80\x80", true},
                     {"\xf4\x8f\xbf\xbf", true},
                     {"\xf4\x90\x80\x80", false},
                     {"\xf5\x80\x80\x80", false},
                     {"\xe2\x82", false},
                     {"\xe2\x28\xa1", false},
                     {"\xfc", false},
                     {"", true}};

TEST(Characters, Utf8IsValidatedWhole)
{
    for (const auto &row : utf8) {
        const std::string s = row.bytes;
        EXPECT_EQ(valid_utf8(s.data(), s.data() + s.size()), row.valid)
            << "bytes: " << s;
    }
}

struct Decoded {
    const char *bytes;
    bool utf8;
    unsigned long first;
    size_t taken;
};

const Decoded decoded[] = {
    {"U\xcc\x88x", true, 0xDC, 3}, // a mark composed with its letter
    {"u\xcc\x88x", true, 0xFC, 3}, // in either case
    {"Q\xcc\x88x", true, 'Q', 1},  // no such letter: the mark stays
    {"\xcc\x88x", true, 0x308, 2}, // a mark alone
    {"I\xcc\x87", true, 0x130, 3}, // I with a dot above
    {"\x80", false, 0x20AC, 1},    // the euro sign in Windows-1252
    {"\x8d", false, UNDEFINED_BYTE + 0x8D, 1},
    {"\xdc", false, 0xDC, 1}, // Latin-1 as Windows-1252
    {"\xf0\x9f\x98\x80", true, 0x1F600, 4},
};

TEST(Characters, NextCharComposesMarks)
{
    for (const auto &row : decoded) {
        const std::string s = row.bytes;
        const char *p = s.data();
        EXPECT_EQ(next_char(&p, s.data() + s.size(), row.utf8), row.first)
            << "bytes: " << s;
        EXPECT_EQ(static_cast<size_t>(p - s.data()), row.taken) << s;
    }
}

struct Name {
    const char *surname;
    const char *given;
    const char *field30;
};

// Cut to 30 by the one rule, the examples of the manual first.
const Name names[] = {
    {"Mustermann", "Erika Anna Mariax Luise", "MUSTERMANN<<ERIKA<ANNA<MARIA<L"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "A B", "ABCDEFGHIJKLMNOPQRSTUVWXY<<A<B"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZAB", "Erika", "ABCDEFGHIJKLMNOPQRSTUVWXYZA<<E"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZABC", "Erika",
     "ABCDEFGHIJKLMNOPQRSTUVWXYZA<<E"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZABCD", "Erika",
     "ABCDEFGHIJKLMNOPQRSTUVWXYZABCD"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZ", "Erika", "ABCDEFGHIJKLMNOPQRSTUVWXYZ<<ER"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXY", "Erika", "ABCDEFGHIJKLMNOPQRSTUVWXY<<ERI"},
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZAB", "A B", "ABCDEFGHIJKLMNOPQRSTUVWXYZA<<A"},
    {"Mustermann", "Erika", "MUSTERMANN<<ERIKA<<<<<<<<<<<<<"},
    {"Mustermann", "", "MUSTERMANN<<<<<<<<<<<<<<<<<<<<"},
    {"von der Heide-M\xc3\xbcller", "Anna-Lena",
     "VON<DER<HEIDE<MUELLER<<ANNA<LE"},
};

TEST(NameField, CutsToFitEndingInALetter)
{
    for (const auto &row : names) {
        const std::string surname = row.surname;
        const std::string given = row.given;
        char field[NEW_NAME + 1];
        name_field(surname.data(), surname.data() + surname.size(),
                   given.data(), given.data() + given.size(), true, NEW_NAME,
                   field);
        EXPECT_STREQ(field, row.field30) << row.surname << ", " << row.given;
    }
}

} // namespace
