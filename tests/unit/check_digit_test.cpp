#include <gtest/gtest.h>

#include <string>

#include "support/check_digit_reference.h"
#include "zone/zone.h"

namespace
{

struct Known {
    const char *text;
    unsigned digit;
};

// Values worked by hand from the ICAO 9303 rule.
const Known known[] = {
    {"123456789", 7}, // 147
    {"850101", 9},    // 79
    {"301231", 6},    // 46
    {"AB1234567", 1}, // 191
    {"ab1234567", 1}, // case is folded
    {"", 0},
    {"000000000000", 0},
    {"7", 9}, // one character is weighted 7
    {"A", 0},
    {"Z", 5},
    {"z", 5},
    {"<<<<<<<<<", 0}, // the filler is worth 0
    {"1<<", 7},
    {"<1<", 3},
    {"<<1", 1},
    {"<<<1", 7}, // weights start again at the fourth character
    {"123456789785010193012316", 0}, // composite of the worked example
    {"AB1234567185010193012316", 2},
    {"1 1", 8}, // a blank is worth 0 like the filler
    {"\xe4\xf6\xfc\xdf"
     "12345",
     3}, // bytes above 127 are worth 0
    {"\xff\x80"
     "1",
     1},
    {"!@#[`{", 0}, // neighbours of the digit and letter ranges
};

TEST(CheckDigit, KnownValues)
{
    for (const Known &k : known)
        EXPECT_EQ(check_digit(k.text), k.digit) << '"' << k.text << '"';
}

unsigned reference(const std::string &s)
{
    return check_digit_reference(s.data(), s.size());
}

TEST(CheckDigit, LongTextsDoNotOverflow)
{
    // "Z"s weigh about 128 each on average: past 34 million of them a plain
    // 32-bit sum would wrap.
    for (size_t n : {1u, 2u, 3u, 30u, 31u, 40000000u}) {
        std::string z(n, 'Z');
        EXPECT_EQ(check_digit(z.c_str()), reference(z)) << n;
    }
}

TEST(CheckDigit, EveryByteValueInEveryPosition)
{
    for (int b = 1; b < 256; b++) {
        for (size_t pos = 0; pos < 3; pos++) {
            std::string s = "123";
            s[pos] = static_cast<char>(b);
            EXPECT_EQ(check_digit(s.c_str()), reference(s))
                << b << " at " << pos;
        }
    }
}

} // namespace
