// The run: options, the list read line by line, one line out per card, and
// the exit status.
#include <cstdlib>
#include <cstring>

#include "cards.h"

namespace
{

enum { ALL_GOOD = 0, SOME_BAD = 1, NOT_READ = 2, NOT_WRITTEN = 4 };

const char program[] = "tavoScribe-cards";
const char usage[] =
    "usage: tavoScribe-cards [--header] [--id] [--names] [-o OUTPUT] [FILE]\n";
const char help[] =
    "Writes the machine-readable zone of each German identity card in FILE,\n"
    "or standard input, one line per card.\n"
    "  --header    pass over the first line, a header row\n"
    "  --id        begin the new card format with IDD<< in place of TPD<<\n"
    "  --names     read the surname and given names too; write the name "
    "lines\n"
    "  -o OUTPUT   write the good cards to OUTPUT, replaced when the run "
    "ends\n"
    "  --help      write this text\n"
    "  --version   write the version\n"
    "The manual, tavoScribe-cards(1) or tavoScribe-cards.html, tells every "
    "rule.\n";

// The two output streams, each with a buffer of its own: bytes go out in
// large blocks.
char out_buffer[1 << 16];
size_t out_used = 0;
int out_fd = 1;
bool out_failed = false;
char err_buffer[1 << 12];
size_t err_used = 0;

char out_reason[128];

// Notes why the output failed, once.
void output_failed()
{
    if (!out_failed)
        std::strncpy(out_reason, failure_reason(), sizeof out_reason - 1);
    out_failed = true;
}

void flush_out()
{
    if (!out_failed && out_used > 0 && !write_all(out_fd, out_buffer, out_used))
        output_failed();
    out_used = 0;
}

void put_out(const char *text, size_t n)
{
    if (n > sizeof out_buffer - out_used)
        flush_out();
    std::memcpy(out_buffer + out_used, text, n);
    out_used += n;
}

void flush_err()
{
    // Nothing is left to say where standard error fails.
    (void)write_all(2, err_buffer, err_used);
    err_used = 0;
}

void say(const char *text)
{
    for (size_t n = std::strlen(text); n > 0;) {
        if (err_used == sizeof err_buffer)
            flush_err();
        const size_t room = sizeof err_buffer - err_used;
        const size_t part = n < room ? n : room;
        std::memcpy(err_buffer + err_used, text, part);
        err_used += part;
        text += part;
        n -= part;
    }
}

// Writes a line number in decimal; returns the end of it.
char *decimal(char *p, unsigned long long n)
{
    char digits[24];
    size_t i = sizeof digits;
    digits[--i] = static_cast<char>('0' + n % 10);
    for (n /= 10; n > 0; n /= 10)
        digits[--i] = static_cast<char>('0' + n % 10);
    std::memcpy(p, digits + i, sizeof digits - i);
    return p + (sizeof digits - i);
}

void say_line(const char *name, unsigned long long line)
{
    char number[24];
    *decimal(number, line) = '\0';
    say(name);
    say(":");
    say(number);
    say(": ");
}

// The run's own failure: a line on standard error.
int fail(int status, const char *a, const char *b = "", const char *c = "",
         const char *d = "")
{
    say(program);
    say(": ");
    say(a);
    say(b);
    say(c);
    say(d);
    say("\n");
    return status;
}

// A usage error: its line, then the usage line.
int usage_error(const char *what, const char *arg)
{
    fail(NOT_READ, what, arg);
    say(usage);
    return NOT_READ;
}

// The list and where its lines go.
const char *list_name = "-";
const char *output_name = nullptr;
char temp_name[3 * 32768 + 32];
int flags = 0;
bool header = false;

// Takes the arguments; returns -1 to read the list, -2 where the output is
// all written, else the exit status.
int take_arguments(int argc, char **argv)
{
    bool files_only = false;
    bool list_given = false;
    for (int i = 1; i < argc; i++) {
        const char *a = argv[i];
        if (files_only || a[0] != '-' || std::strcmp(a, "-") == 0) {
            if (list_given)
                return usage_error("more than one list: ", a);
            list_given = true;
            list_name = a;
        } else if (std::strcmp(a, "--") == 0) {
            files_only = true;
        } else if (std::strcmp(a, "--id") == 0) {
            flags |= CARD_ID;
        } else if (std::strcmp(a, "--names") == 0) {
            flags |= CARD_NAMES;
        } else if (std::strcmp(a, "--header") == 0) {
            header = true;
        } else if (std::strcmp(a, "-o") == 0) {
            if (i + 1 == argc)
                return usage_error("-o needs a file name", "");
            // As for the list, "-" is the standard stream.
            i++;
            output_name = std::strcmp(argv[i], "-") == 0 ? nullptr : argv[i];
        } else if (std::strcmp(a, "--help") == 0 ||
                   std::strcmp(a, "--version") == 0) {
            if (a[2] == 'h') {
                put_out(usage, sizeof usage - 1);
                put_out(help, sizeof help - 1);
            } else {
                put_out(program, sizeof program - 1);
                const char version[] = TAVO_VERSION;
                put_out(" ", 1);
                put_out(version, sizeof version - 1);
                put_out("\n", 1);
            }
            return -2;
        } else {
            return usage_error("unknown option: ", a);
        }
    }
    return -1;
}

// The list's buffer, grown to hold the longest line: the run's only
// allocation.
char *buffer = nullptr;
size_t capacity = 0;

bool grow()
{
    const size_t size = capacity == 0 ? size_t{1} << 16 : 2 * capacity;
    if (size <= capacity)
        return false;
    // NOLINTNEXTLINE(cppcoreguidelines-no-malloc,cppcoreguidelines-owning-memory)
    auto *bigger = static_cast<char *>(std::realloc(buffer, size));
    if (bigger == nullptr)
        return false;
    buffer = bigger;
    capacity = size;
    return true;
}

bool starts_with(const char *text, size_t n, const char *head)
{
    const size_t h = std::strlen(head);
    return n >= h && std::memcmp(text, head, h) == 0;
}

// Reads the list line by line; returns the status so far.
int read_list(int in)
{
    unsigned long long line = 0;
    size_t start = 0;
    size_t have = 0;
    bool at_end = false;
    bool skipping = false;
    int status = ALL_GOOD;
    for (;;) {
        auto *lf = static_cast<char *>(
            have > start ? std::memchr(buffer + start, '\n', have - start)
                         : nullptr);
        if (lf == nullptr && !at_end) {
            // Keep the line begun, and read on.
            std::memmove(buffer, buffer + start, have - start);
            have -= start;
            start = 0;
            if (have == capacity && (skipping || !grow())) {
                // A line that the buffer cannot hold: its rest is passed over.
                if (!skipping) {
                    say_line(list_name, line + 1);
                    say("Zeile zu lang!\n");
                    status = SOME_BAD;
                }
                skipping = true;
                have = 0;
            }
            const long n = read_some(in, buffer + have, capacity - have);
            if (n < 0) {
                say(program);
                say(": ");
                say_line(list_name, line + 1);
                say("cannot be read: ");
                say(failure_reason());
                say("\n");
                return NOT_READ;
            }
            at_end = n == 0;
            have += static_cast<size_t>(n);
            continue;
        }
        if (lf == nullptr && start == have)
            return status;
        char *text = buffer + start;
        size_t n = (lf != nullptr ? lf : buffer + have) - text;
        start += n + (lf != nullptr ? 1 : 0);
        line++;
        if (skipping) {
            skipping = false;
            continue;
        }
        if (line == 1) {
            if (starts_with(text, n, "\xFF\xFE") ||
                starts_with(text, n, "\xFE\xFF"))
                return fail(NOT_READ, list_name,
                            " is UTF-16: save it as UTF-8 or as CSV");
            if (starts_with(text, n, "\xEF\xBB\xBF")) {
                text += 3;
                n -= 3;
            }
            if (header)
                continue;
        }
        if (n > 0 && text[n - 1] == '\r')
            n--;

        char zones[ZONES_SIZE];
        size_t length = 0;
        char fault[FAULT_SIZE];
        const int card = read_card(text, n, flags, zones, &length, fault);
        if (card == CARD_GOOD) {
            char out[24 + ZONES_SIZE];
            char *p = decimal(out, line);
            *p++ = '\t';
            std::memcpy(p, zones, length);
            p[length] = '\n';
            put_out(out, static_cast<size_t>(p + length + 1 - out));
            if (out_failed)
                return status;
        } else if (card == CARD_BAD) {
            say_line(list_name, line);
            say(fault);
            say("\n");
            status = SOME_BAD;
        }
    }
}

} // namespace

int run_cards(int argc, char **argv)
{
    prepare_streams();
    int status = take_arguments(argc, argv);
    int in = 0;
    if (status == -1 && std::strcmp(list_name, "-") != 0) {
        in = open_list(list_name);
        if (in < 0)
            status = fail(NOT_READ, "cannot open ", list_name, ": ",
                          failure_reason());
    }
    // The file that the output replaces: where OUTPUT is a symbolic link,
    // the file it points to.
    const char *target =
        output_name != nullptr ? output_target(output_name) : nullptr;
    if (status == -1 && output_name != nullptr) {
        const char *refused = output_refused(target);
        if (refused == nullptr) {
            const int fd = create_beside(target, temp_name, sizeof temp_name);
            if (fd < 0)
                refused = failure_reason();
            else
                out_fd = fd;
        }
        if (refused != nullptr)
            status =
                fail(NOT_READ, "cannot write ", output_name, ": ", refused);
    }
    if (status == -1 && !grow())
        status = fail(NOT_READ, "no memory for the list");
    if (status == -1)
        status = read_list(in);
    if (status < NOT_WRITTEN) {
        // The output has its last block, and is closed: after the list, or
        // after --help or --version (-2).
        flush_out();
        if (!out_failed && !close_file(out_fd))
            output_failed();
    }
    if (out_failed)
        status = fail(NOT_WRITTEN,
                      output_name != nullptr ? output_name : "standard output",
                      " could not be written: ", out_reason);
    if (in > 0)
        (void)close_file(in);
    if (output_name != nullptr && out_fd > 2) {
        if (status <= SOME_BAD && !replace_file(temp_name, target))
            status = fail(NOT_WRITTEN, "cannot replace ", output_name, ": ",
                          failure_reason());
        if (status > SOME_BAD)
            remove_file(temp_name);
    }
    flush_err();
    // NOLINTNEXTLINE(cppcoreguidelines-no-malloc,cppcoreguidelines-owning-memory)
    std::free(buffer);
    return status == -2 ? ALL_GOOD : status;
}
