// The platform's part of the console: everything that differs between the
// Windows and the POSIX build lives here.
#include <csignal>
#include <cstdio>

#include "cli.h"

#ifdef _WIN32
#include <cstring>

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
        // Static, so that standard output needs no allocation; standard
        // input's buffer, on a run that prompts, is the C library's.
        static char out_buffer[4096];
        std::setvbuf(stdout, out_buffer, _IOFBF, sizeof out_buffer);
    }
}

#ifdef _WIN32
// A console that lists this process alone was opened for it (from Explorer,
// a shortcut, or a program that gave it a new console), and Windows closes
// its window the moment the process ends. Started from cmd, PowerShell or
// Windows Terminal, the shell shares the console and keeps it.
static bool console_of_its_own()
{
    DWORD processes[2];
    DWORD mode = 0;
    return GetConsoleProcessList(processes, 2) == 1 &&
           GetConsoleMode(GetStdHandle(STD_INPUT_HANDLE), &mode) != 0 &&
           GetConsoleMode(GetStdHandle(STD_OUTPUT_HANDLE), &mode) != 0;
}

// Keeps the window and the run's last words on screen until the user
// presses Enter (or input ends). Only a key pressed after the request
// counts: keys typed ahead are dropped from the console, and the rest of
// the last answer's line, still in stdin's buffer, is never read.
static void wait_for_enter()
{
    std::fputs("\r\nZum Schliessen die Eingabetaste druecken.", stdout);
    const HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    FlushConsoleInputBuffer(in);
    char line[64];
    DWORD n = 0;
    while (ReadConsoleA(in, line, sizeof line, &n, nullptr) != 0 && n > 0 &&
           std::memchr(line, '\n', n) == nullptr) {
    }
}
#endif

int finish_console(int status)
{
#ifdef _WIN32
    if (console_of_its_own())
        wait_for_enter();
#endif
    // Some file systems (NFS, network shares) report a failed write only
    // when the file is closed: a run is done once standard output is.
    // NOLINTNEXTLINE(cppcoreguidelines-owning-memory): stdout has no owner
    if (std::fclose(stdout) != 0)
        status = output_failed(status);
    return status;
}
