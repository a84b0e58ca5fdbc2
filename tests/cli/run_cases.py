#!/usr/bin/env python3
"""Runs the end-to-end cases of tests/TABLE/cases.py against COMMAND, which
starts the program, and shows the bytes that differ. It fails where no row
ran, and leaves out the rows that need what tests/need's TAVO_LEAVE_OUT names.
usage: run_cases.py [--table TABLE] [--platform linux|windows] [--filter TEXT] -- COMMAND..."""
import argparse
import contextlib
import fcntl
import importlib
import os
import pathlib
import re
import select
import struct
import subprocess
import sys
import tempfile
import termios
import time
from concurrent.futures import ThreadPoolExecutor

TIMEOUT = 60  # seconds for a whole run, valgrind and Wine included
PROMPT_WAIT = 10  # seconds for a prompt to reach the pipe or the screen
PAUSE = 1  # seconds between a prompt on screen and the answer typed
QUIET = dict(stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def show_difference(what, got, want):
    at = next((i for i, (a, b) in enumerate(zip(got, want)) if a != b),
              min(len(got), len(want)))
    lo = max(0, at - 20)
    return (f"  {what} differs at byte {at} (got {len(got)} bytes, expected {len(want)}):\n"
            f"    got:      {got[lo:at + 40]!r}\n"
            f"    expected: {want[lo:at + 40]!r}")


class Stuck(Exception):
    pass


def read_until(fd, raw, shown, what):
    """Reads fd onto raw until shown(raw), within PROMPT_WAIT."""
    deadline = time.monotonic() + PROMPT_WAIT
    while not shown(raw):
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([fd], [], [], left)[0]:
            raise Stuck(f"  {what!r} never showed; got {raw!r}")
        try:
            chunk = os.read(fd, 65536)
        except OSError:  # the terminal's last program has gone
            chunk = b""
        if not chunk:
            raise Stuck(f"  the tool ended before {what!r}; got {raw!r}")
        raw += chunk
    return raw


def run_dialogue(command, answers):
    """Waits for each prompt on the pipe before typing its answer, as a
    program driving the tool would: a prompt left in a buffer is a hang."""
    proc = subprocess.Popen(command, stdin=subprocess.PIPE,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    out = b""
    try:
        for prompt, answer in answers:
            out = read_until(proc.stdout.fileno(), out,
                             lambda out, start=len(out): out.find(prompt, start) >= 0, prompt)
            os.write(proc.stdin.fileno(), answer)
        rest, err = proc.communicate(timeout=TIMEOUT)
        return out + rest, err, proc.returncode
    finally:
        if proc.returncode is None:
            proc.kill()
            proc.communicate()


def windows_argument(arg):
    """Wine hands a program its arguments in the ANSI code page, 1252, read
    as UTF-8: a byte goes as the character it maps to, or None if it maps to none."""
    try:
        return arg.decode("cp1252").encode("utf-8")
    except UnicodeDecodeError:
        return None


def on_screen(raw):
    """What a terminal shows of raw output: Wine's console draws blanks as
    cursor moves and trailing blanks as erasures, a terminal ends lines with
    CR LF where the program wrote LF, and blank lines at the end do not show."""
    text = re.sub(rb"\x1b\[(\d*)C", lambda m: b" " * int(m[1] or 1), raw)
    text = re.sub(rb"\x1b\[[0-9;?]*[A-Za-z]", b"", text).replace(b"\r", b"")
    return b"\n".join(line.rstrip() for line in text.split(b"\n")).rstrip(b"\n")


def run_terminal(command, steps):
    """Runs the tool at a terminal of its own, as a user would: waits for each
    text to show, pauses (Wine's console takes keys only once the program
    reads), checks that the tool still runs, and types the answer."""
    master, slave = os.openpty()
    fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", 50, 160, 0, 0))
    # setsid makes the terminal the tool's controlling one.
    proc = subprocess.Popen(["setsid", "--ctty"] + command,
                            stdin=slave, stdout=slave, stderr=slave)
    os.close(slave)
    raw = b""
    try:
        for want, answer, *pause in steps:
            start = len(on_screen(raw))
            raw = read_until(master, raw,
                             lambda raw: on_screen(raw).find(on_screen(want), start) >= 0, want)
            time.sleep(pause[0] if pause else PAUSE)
            if proc.poll() is not None:
                raise Stuck(f"  the tool ended before {answer!r} was typed")
            os.write(master, answer)
        status = proc.wait(TIMEOUT)
        with contextlib.suppress(OSError):  # the terminal's last program has gone
            while select.select([master], [], [], 0.1)[0] and (chunk := os.read(master, 65536)):
                raw += chunk
        return on_screen(raw), b"", status
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
        os.close(master)


def run_case(command, c, platform):
    """The problems found, or None where the row is not for this platform."""
    args = [a if isinstance(a, bytes) else a.encode("utf-8") for a in c["args"]]
    if platform == "windows" and not c.get("unicode"):
        args = [windows_argument(a) for a in args]
        if None in args:
            return None
    try:
        if "terminal" in c:
            if c.get("started") == "cmd /c":
                # The shell starts the program, the command's last word.
                command = command[:-1] + [wine_cmd(), "/c"] + command[-1:]
            out, err, status = run_terminal(command + args, c["terminal"])
            return compare(dict(c, stdout=on_screen(c["stdout"])), out, err, status)
        if "dialogue" in c:
            return compare(c, *run_dialogue(command + args, c["dialogue"]))
        return run_streams(command + args, c)
    except (Stuck, subprocess.TimeoutExpired) as e:
        return [str(e)]
    except FileNotFoundError as e:
        return [f"  {e.filename} is not installed"]


def run_streams(args, c):
    """Runs a row with its standard streams set up as the row says."""
    stdin_is, stdout_is = c.get("stdin_is"), c.get("stdout_is")
    closed = "".join(f" {fd}>&-" for fd, how in ((0, stdin_is), (1, stdout_is))
                     if how == "closed")
    if closed:
        args = ["sh", "-c", 'exec "$@"' + closed, "sh"] + args
    with tempfile.TemporaryDirectory() as tmp:
        for name, content in c.get("files", {}).items():
            os.makedirs(os.path.dirname(os.path.join(tmp, name)), exist_ok=True)
            pathlib.Path(tmp, name).write_bytes(content)
        streams = dict(input=c["stdin"], stdout=subprocess.PIPE, cwd=tmp)
        if stdin_is == "directory":
            streams = dict(stdin=os.open(tmp, os.O_RDONLY), stdout=subprocess.PIPE)
        if stdout_is == "/dev/full":
            streams["stdout"] = os.open(stdout_is, os.O_WRONLY)
        elif stdout_is == "broken pipe":
            reader, streams["stdout"] = os.pipe()
            os.close(reader)
        elif stdout_is == "file whose close fails":
            # strace makes the tool's close of this one file fail, as a
            # network file system may report a write error only then.
            # LeakSanitizer cannot run under a tracer: it is switched off.
            streams["stdout"] = os.open(os.path.join(tmp, "out"), os.O_RDWR | os.O_CREAT)
            args = ["strace", "-f", "-qq", "-o", "/dev/null", "-e", "trace=close",
                    "-e", "inject=close:error=EIO", "-P", os.path.join(tmp, "out"),
                    "-E", "ASAN_OPTIONS=detect_leaks=0"] + args
        try:
            proc = subprocess.run(args, stderr=subprocess.PIPE, timeout=TIMEOUT, **streams)
            if stdout_is == "file whose close fails":
                proc.stdout = os.pread(streams["stdout"], len(c["stdout"]) + 1, 0)
            files = {str(p.relative_to(tmp)): p.read_bytes() for p in pathlib.Path(tmp).rglob("*")
                     if p.is_file() and p.name != "out"}
        finally:
            for f in (streams.get("stdin"), streams["stdout"]):
                if isinstance(f, int) and f >= 0:
                    os.close(f)
    return compare(c, proc.stdout or b"", proc.stderr, proc.returncode, files)


def compare(c, out, err, status, files=None):
    problems = []
    if "files" in c and files != c.get("after", c["files"]):
        problems.append(f"  the folder holds {files}, expected {c.get('after', c['files'])}")
    if out != c["stdout"]:
        problems.append(show_difference("standard output", out, c["stdout"]))
    if err != c.get("stderr", b""):
        problems.append(show_difference("standard error", err, c.get("stderr", b"")))
    if c["status"] is not None and status != c["status"]:
        problems.append(f"  exit status {status}, expected {c['status']}")
    return problems


def wine_cmd():
    """Wine's cmd by its file, for Wine 11's loader picks its mode from that."""
    return os.path.join(os.environ["WINEPREFIX"], "drive_c/windows/system32/cmd.exe")


@contextlib.contextmanager
def wine_session(command):
    """One Wine session for all rows, in WINEPREFIX or a prefix beside the
    program, made before the first row: a persistent wineserver keeps Wine's
    helpers from holding a row's pipes open after it ends, and a pause of
    cmd's keeps up the desktop's process, through which typed keys reach the
    tool and which takes seconds to come back. Arguments are read as UTF-8."""
    program = os.path.abspath(command[-1])
    # A prefix of the program's own: one table's end must not end another's wineserver.
    os.environ.setdefault("WINEPREFIX", program[:-len(".exe")] + ".wineprefix")
    os.environ.update(WINEDEBUG="-all", LC_ALL="C.UTF-8")
    subprocess.run(["wineserver", "-p"], **QUIET)
    subprocess.run(command, **QUIET)
    keeper = subprocess.Popen(command[:-1] + [wine_cmd(), "/c", "pause"],
                              **dict(QUIET, stdin=subprocess.PIPE))
    try:
        yield
    finally:
        subprocess.run(["wineserver", "-k"], **QUIET)
        subprocess.run(["wineserver", "-w"], **QUIET)
        keeper.communicate()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--table", default="cli")
    parser.add_argument("--platform", default="linux", choices=["linux", "windows"])
    parser.add_argument("--filter", default="")
    parser.add_argument("command", nargs="+")
    opts = parser.parse_args()
    if not os.path.isfile(opts.command[-1]):
        sys.exit(f"{opts.command[-1]} does not exist: build it first")
    # Rows with files run in a folder of their own.
    opts.command[-1] = os.path.abspath(opts.command[-1])
    sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", opts.table))
    CASES = importlib.import_module("cases").CASES

    left_out = set(os.environ.get("TAVO_LEAVE_OUT", "").split())

    def run(c):
        if c.get("only", opts.platform) != opts.platform or opts.filter not in c["name"] or c["needs"] & left_out:
            return None
        return run_case(opts.command, c, opts.platform)

    # Rows run side by side: most of their time is waiting, for Wine's start
    # or for a prompt to show on a terminal.
    with wine_session(opts.command) if opts.platform == "windows" else contextlib.nullcontext():
        with ThreadPoolExecutor(2 * (os.cpu_count() or 1)) as pool:
            results = list(pool.map(run, CASES))
    failed = [(c, r) for c, r in zip(CASES, results) if r]
    for c, problems in failed:
        print(f"FAIL {c['name']}")
        print("\n".join(problems))
    ran = sum(r is not None for r in results)
    print(f"{ran - len(failed)} passed, {len(failed)} failed, "
          f"{len(results) - ran} not run here")
    return 1 if failed or not ran else 0


if __name__ == "__main__":
    sys.exit(main())
