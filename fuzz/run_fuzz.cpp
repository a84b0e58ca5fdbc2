// A whole run in-process: zero to four arguments and standard input, all
// taken from the fuzz data. The run must end with a status 0 to 4, start
// with the banner, end a failure with its message, and on status 0 end with
// the zone lines at their exact byte positions.
//
// Data layout: the first byte's value modulo 5 is the argument count; the
// arguments follow, each ended by a NUL byte (a missing NUL ends it at the
// end of the data; at 4,095 bytes it ends, and the byte after it is dropped,
// NUL or not); whatever remains is standard input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "cli/cli.h"

namespace
{

// The zone block with "." for any byte of a field and "#" for a check digit.
const char zone_mask[] = "\r\nalter PA (bis 31. Oktober 2010 beantragt): \r\n"
                         ".........#D<<......#<......#<<<<<<<#\r\n"
                         "\r\nneuer PA: \r\n"
                         "TPD<<.........#<<<<<<<<<<<<<<<\r\n"
                         "......#<......#D<<<<<<<<<<<<<#\r\n";
const std::size_t zone_size = sizeof zone_mask - 1;

bool ends_with(const char *s, std::size_t n, const char *tail)
{
    const std::size_t t = std::strlen(tail);
    return n >= t && std::memcmp(s + n - t, tail, t) == 0;
}

void check_zones(const char *out, std::size_t n)
{
    if (n < zone_size)
        std::abort();
    const char *zone = out + n - zone_size;
    for (std::size_t i = 0; i < zone_size; i++) {
        const char m = zone_mask[i];
        if (m == '#' ? zone[i] < '0' || zone[i] > '9'
                     : m != '.' && zone[i] != m)
            std::abort();
    }
    // One composite check digit ends both layouts.
    const char *old_line = zone + 47;
    const char *new_second = zone + zone_size - 32;
    if (old_line[35] != new_second[29])
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data,
                                      std::size_t size)
{
    static char arg_bytes[4][4096];
    static char out[1 << 16];
    char program[] = "tavoScribe";
    char *argv[6] = {program};
    int argc = 1;

    const char *p = reinterpret_cast<const char *>(data);
    const char *end = p + size;
    const int wanted = size > 0 ? *p++ % 5 : 0;
    for (int i = 0; i < wanted; i++) {
        std::size_t n = 0;
        while (p < end && *p != '\0' && n < sizeof arg_bytes[i] - 1)
            arg_bytes[i][n++] = *p++;
        if (p < end)
            p++;
        arg_bytes[i][n] = '\0';
        argv[argc++] = arg_bytes[i];
    }
    argv[argc] = nullptr;

    // Point the standard streams at the data and a buffer for one run.
    FILE *saved_in = stdin;
    FILE *saved_out = stdout;
    static char empty[1];
    stdin = fmemopen(p < end ? const_cast<char *>(p) : empty,
                     static_cast<std::size_t>(end - p), "r");
    stdout = fmemopen(out, sizeof out, "w");
    if (stdin == nullptr || stdout == nullptr)
        std::abort();
    const int status = run(argc, argv);
    const long written = std::ftell(stdout);
    std::fclose(stdin);
    std::fclose(stdout);
    stdin = saved_in;
    stdout = saved_out;

    if (status < 0 || status > 4 || written < 0)
        std::abort();
    const std::size_t n = static_cast<std::size_t>(written);
    if (n < std::strlen(BANNER) ||
        std::memcmp(out, BANNER, std::strlen(BANNER)) != 0)
        std::abort();
    if (status == 0)
        check_zones(out, n);
    else if (status <= 3 && !ends_with(out, n, failure_message(status)))
        std::abort();
    else if (status == 4) // nothing failed to write into the buffer
        std::abort();
    return 0;
}
