// The platform's part of the console: everything that differs between the
// Windows and the POSIX build lives here.
#include <csignal>
#include <cstdio>

#include "cli.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

void prepare_console()
{
#ifdef _WIN32
    // Text mode would turn the CR LF that the texts carry into CR CR LF.
    _setmode(_fileno(stdin), _O_BINARY);
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    // A console answers GetConsoleMode; _isatty would also take the NUL
    // device and serial ports for a terminal.
    DWORD mode = 0;
    const bool terminal =
        GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
#else
    // A reader that has gone away makes a write fail, as on Windows, rather
    // than killing the process: the run then ends with its output status.
    std::signal(SIGPIPE, SIG_IGN);
    const bool terminal = isatty(STDOUT_FILENO) != 0;
#endif
    // On a terminal every write shows at once; elsewhere bytes go out in
    // blocks and at the end of the run.
    if (terminal) {
        std::setvbuf(stdout, nullptr, _IONBF, 0);
    } else {
        // Static, so that no run allocates.
        static char out_buffer[4096];
        std::setvbuf(stdout, out_buffer, _IOFBF, sizeof out_buffer);
    }
}

int finish_console(int status)
{
    // Some file systems (NFS, network shares) report a failed write only
    // when the file is closed: a run is done once standard output is.
    if (std::fclose(stdout) != 0)
        status = output_failed(status);
    return status;
}
