// The platform's part of the list program: files by their UTF-8 names, read
// and written as bytes.
#include <cerrno>
#include <cstdio>
#include <cstring>

#include "cards.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>
#else
#include <climits>
#include <csignal>
#include <cstdlib>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#ifdef _WIN32
namespace
{

// A Windows command line holds at most 32,767 characters, and so does a path.
enum { WIDE_SIZE = 32768 };

// A name for the wide functions, in one of two buffers: a move needs two.
const wchar_t *wide(const char *name, int which = 0)
{
    static wchar_t names[2][WIDE_SIZE];
    if (MultiByteToWideChar(CP_UTF8, 0, name, -1, names[which], WIDE_SIZE) == 0)
        names[which][0] = L'\0';
    return names[which];
}

} // namespace

void prepare_streams()
{
    // Text mode would write CR LF for LF.
    _setmode(0, _O_BINARY);
    _setmode(1, _O_BINARY);
    _setmode(2, _O_BINARY);
}

int open_list(const char *name)
{
    return _wopen(wide(name), _O_RDONLY | _O_BINARY);
}

const char *output_refused(const char *name)
{
    struct _stat64 st = {};
    if (_wstat64(wide(name), &st) != 0)
        return errno == ENOENT ? nullptr : failure_reason();
    if ((st.st_mode & _S_IFREG) == 0)
        return "not a regular file";
    return _waccess(wide(name), 2) != 0 ? failure_reason() : nullptr;
}

const char *output_target(const char *name)
{
    return name;
}

static int create_new(const char *name, const char *)
{
    return _wopen(wide(name), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY,
                  _S_IREAD | _S_IWRITE);
}

bool replace_file(const char *temp, const char *name)
{
    if (MoveFileExW(wide(temp), wide(name, 1), MOVEFILE_REPLACE_EXISTING) != 0)
        return true;
    errno = EACCES;
    return false;
}

void remove_file(const char *name)
{
    _wunlink(wide(name));
}

long read_some(int fd, char *buf, size_t size)
{
    const unsigned n =
        size < (1u << 30) ? static_cast<unsigned>(size) : 1u << 30;
    return _read(fd, buf, n);
}

static long write_some(int fd, const char *buf, size_t size)
{
    const unsigned n =
        size < (1u << 30) ? static_cast<unsigned>(size) : 1u << 30;
    return _write(fd, buf, n);
}

bool close_file(int fd)
{
    return _close(fd) == 0;
}
#else
void prepare_streams()
{
    // A reader that has gone away makes a write fail rather than killing
    // the process: the run then ends with its output status.
    std::signal(SIGPIPE, SIG_IGN);
}

int open_list(const char *name)
{
    return open(name, O_RDONLY); // NOLINT(cppcoreguidelines-pro-type-vararg)
}

const char *output_refused(const char *name)
{
    struct stat st = {};
    if (stat(name, &st) != 0)
        return errno == ENOENT ? nullptr : failure_reason();
    if (!S_ISREG(st.st_mode))
        return "not a regular file";
    return access(name, W_OK) != 0 ? failure_reason() : nullptr;
}

const char *output_target(const char *name)
{
    static char target[PATH_MAX];
    struct stat st = {};
    if (lstat(name, &st) == 0 && S_ISLNK(st.st_mode) &&
        realpath(name, target) != nullptr)
        return target;
    return name;
}

// Creates a new file, with the mode of the file it is to replace.
static int create_new(const char *temp, const char *name)
{
    // NOLINTNEXTLINE(cppcoreguidelines-pro-type-vararg)
    const int fd = open(temp, O_WRONLY | O_CREAT | O_EXCL, 0666);
    struct stat st = {};
    if (fd >= 0 && stat(name, &st) == 0)
        (void)fchmod(fd, st.st_mode & 07777);
    return fd;
}

bool replace_file(const char *temp, const char *name)
{
    return std::rename(temp, name) == 0;
}

void remove_file(const char *name)
{
    (void)unlink(name);
}

long read_some(int fd, char *buf, size_t size)
{
    ssize_t n = read(fd, buf, size);
    while (n < 0 && errno == EINTR)
        n = read(fd, buf, size);
    return static_cast<long>(n);
}

static long write_some(int fd, const char *buf, size_t size)
{
    ssize_t n = write(fd, buf, size);
    while (n < 0 && errno == EINTR)
        n = write(fd, buf, size);
    return static_cast<long>(n);
}

bool close_file(int fd)
{
    return close(fd) == 0;
}
#endif

int create_beside(const char *name, char *temp, size_t size)
{
    const size_t n = std::strlen(name);
    const char suffix[] = ".new";
    if (n + sizeof suffix + 3 > size) {
        errno = ENAMETOOLONG;
        return -1;
    }
    // NAME.new, or where that is taken, NAME.new1 to NAME.new999.
    std::memcpy(temp, name, n + 1);
    std::memcpy(temp + n, suffix, sizeof suffix);
    int fd = create_new(temp, name);
    for (int i = 1; fd < 0 && errno == EEXIST && i < 1000; i++) {
        char *p = temp + n + sizeof suffix - 1;
        if (i >= 100)
            *p++ = static_cast<char>('0' + i / 100);
        if (i >= 10)
            *p++ = static_cast<char>('0' + i / 10 % 10);
        *p++ = static_cast<char>('0' + i % 10);
        *p = '\0';
        fd = create_new(temp, name);
    }
    return fd;
}

bool write_all(int fd, const char *buf, size_t size)
{
    while (size > 0) {
        const long n = write_some(fd, buf, size);
        if (n <= 0)
            return false;
        buf += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

const char *failure_reason()
{
    return std::strerror(errno);
}
