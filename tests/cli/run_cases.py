#!/usr/bin/env python3
"""Runs every end-to-end case against a tool command and reports each
mismatch with the bytes that differ.

usage: run_cases.py [--platform linux|windows] [--filter TEXT] -- COMMAND...
COMMAND runs the tool, e.g. build/tavoScribe, or wine tavoScribe.exe with
--platform windows (the rows for Windows, arguments in its code page)."""
import argparse
import fcntl
import os
import re
import select
import struct
import subprocess
import sys
import tempfile
import termios
import time

from cases import CASES

TIMEOUT = 60  # seconds for a whole run, valgrind and Wine included
PROMPT_WAIT = 10  # seconds for a prompt to reach the pipe or the screen
PAUSE = 1  # seconds between a prompt on screen and the answer typed


def show_difference(what, got, want):
    at = next((i for i, (a, b) in enumerate(zip(got, want)) if a != b),
              min(len(got), len(want)))
    lo = max(0, at - 20)
    return (f"  {what} differs at byte {at} (got {len(got)} bytes, "
            f"expected {len(want)}):\n"
            f"    got:      {got[lo:at + 40]!r}\n"
            f"    expected: {want[lo:at + 40]!r}")


class Stuck(Exception):
    pass


def run_dialogue(command, answers):
    """Waits for each prompt on the pipe before typing its answer, as a
    program driving the tool would: a prompt left in a buffer is a hang."""
    proc = subprocess.Popen(command, stdin=subprocess.PIPE,
                            stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    out, pos = b"", 0
    try:
        for prompt, answer in answers:
            deadline = time.monotonic() + PROMPT_WAIT
            while out.find(prompt, pos) < 0:
                left = deadline - time.monotonic()
                ready = left > 0 and select.select([proc.stdout], [], [], left)[0]
                chunk = os.read(proc.stdout.fileno(), 65536) if ready else b""
                if not chunk:
                    raise Stuck(f"  no prompt {prompt!r} on the pipe; got {out!r}")
                out += chunk
            pos = out.find(prompt, pos) + len(prompt)
            proc.stdin.write(answer)
            proc.stdin.flush()
        rest, err = proc.communicate(timeout=TIMEOUT)
        return out + rest, err, proc.returncode
    finally:
        if proc.returncode is None:
            proc.kill()
            proc.communicate()


def windows_argument(arg):
    """Windows hands a program its arguments in the ANSI code page (1252
    under Wine): Wine takes each one as UTF-8 and converts it, so a byte is
    passed as the character that code page maps to it. None for a byte that
    it does not map."""
    try:
        return arg.decode("cp1252").encode("utf-8")
    except UnicodeDecodeError:
        return None


def on_screen(raw):
    """What a terminal shows of raw output, as text to compare: Wine's
    console draws with control sequences (cursor moves for blanks, erase to
    the end of a line in place of trailing blanks), and a terminal ends
    lines with CR LF where the program wrote LF. Blank lines at the end do
    not show."""
    text = re.sub(rb"\x1b\[(\d*)C", lambda m: b" " * int(m[1] or 1), raw)
    text = re.sub(rb"\x1b\[[0-9;?]*[A-Za-z]", b"", text).replace(b"\r", b"")
    return b"\n".join(line.rstrip() for line in text.split(b"\n")).rstrip(b"\n")


def read_screen(master, raw, proc, until=None):
    """Reads the terminal until the normalised screen shows `until` after
    what it showed before, or, without `until`, until the tool has ended and
    nothing more comes; a tool that hangs fails after PROMPT_WAIT."""
    start = len(on_screen(raw))
    deadline = time.monotonic() + PROMPT_WAIT
    while until is None or on_screen(raw).find(on_screen(until), start) < 0:
        left = deadline - time.monotonic()
        if left <= 0:
            raise Stuck(f"  screen never showed {until!r}; it shows {on_screen(raw)!r}")
        if not select.select([master], [], [], min(left, 0.1))[0]:
            if until is None and proc.poll() is not None:
                return raw
            continue
        try:
            chunk = os.read(master, 65536)
        except OSError:  # the terminal's last program has gone
            chunk = b""
        if not chunk:
            if until is None:
                return raw
            raise Stuck(f"  the tool ended before {until!r}; screen: {on_screen(raw)!r}")
        raw += chunk
    return raw


def run_terminal(command, steps):
    """Runs the tool in a pseudo-terminal of its own, as a user at a console
    would: waits for each text to show, pauses (Wine's console takes keys as
    typed only once the program reads), checks that the tool still runs, and
    types the answer."""
    master, slave = os.openpty()
    fcntl.ioctl(slave, termios.TIOCSWINSZ, struct.pack("HHHH", 50, 160, 0, 0))
    proc = subprocess.Popen(
        command, stdin=slave, stdout=slave, stderr=slave, start_new_session=True,
        preexec_fn=lambda: fcntl.ioctl(0, termios.TIOCSCTTY, 0))
    os.close(slave)
    raw = b""
    try:
        for want, answer, *pause in steps:
            raw = read_screen(master, raw, proc, want)
            time.sleep(pause[0] if pause else PAUSE)
            if proc.poll() is not None:
                raise Stuck(f"  the tool ended before {answer!r} was typed")
            os.write(master, answer)
        raw = read_screen(master, raw, proc)
        return on_screen(raw), b"", proc.wait(TIMEOUT)
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
        os.close(master)


def run_case(command, c, platform):
    """The problems found, or None where the row cannot run here."""
    args = [a if isinstance(a, bytes) else a.encode("utf-8") for a in c["args"]]
    if platform == "windows":
        args = [windows_argument(a) for a in args]
        if None in args:
            return None
    if "terminal" in c:
        if c.get("started") == "cmd /c":
            # The command's last word is the program; the shell starts it.
            command = command[:-1] + ["cmd", "/c"] + command[-1:]
        try:
            out, err, status = run_terminal(command + args, c["terminal"])
        except (Stuck, subprocess.TimeoutExpired) as e:
            return [str(e)]
        return compare(dict(c, stdout=on_screen(c["stdout"])), out, err, status)
    args = command + args
    if "dialogue" in c:
        try:
            return compare(c, *run_dialogue(args, c["dialogue"]))
        except (Stuck, subprocess.TimeoutExpired) as e:
            return [str(e)]

    stdin_is, stdout_is = c.get("stdin_is"), c.get("stdout_is")
    closing = [fd for fd, how in ((0, stdin_is), (1, stdout_is)) if how == "closed"]
    with tempfile.TemporaryDirectory() as tmp:
        stdin = os.open(tmp, os.O_RDONLY) if stdin_is == "directory" else subprocess.PIPE
        stdout = subprocess.PIPE
        if stdout_is == "/dev/full":
            stdout = os.open(stdout_is, os.O_WRONLY)
        elif stdout_is == "broken pipe":
            reader, stdout = os.pipe()
            os.close(reader)
        elif stdout_is == "file whose close fails":
            # strace makes the tool's close of this one file fail, as a
            # network file system may report a write error only then.
            # LeakSanitizer cannot run under a tracer: it is switched off.
            stdout = os.open(os.path.join(tmp, "out"), os.O_RDWR | os.O_CREAT)
            args = ["strace", "-f", "-qq", "-o", "/dev/null", "-e", "trace=close",
                    "-e", "inject=close:error=EIO", "-P", os.path.join(tmp, "out"),
                    "-E", "ASAN_OPTIONS=detect_leaks=0"] + args
        proc = subprocess.Popen(
            args, stdin=stdin, stdout=stdout, stderr=subprocess.PIPE,
            preexec_fn=(lambda: [os.close(fd) for fd in closing]) if closing else None)
        try:
            out, err = proc.communicate(
                c["stdin"] if stdin is subprocess.PIPE else None, timeout=TIMEOUT)
        except subprocess.TimeoutExpired:
            proc.kill()
            return ["  timed out"]
        finally:
            if stdout_is == "file whose close fails":
                out = os.pread(stdout, len(c["stdout"]) + 1, 0)
            for f in (stdin, stdout):
                if f is not subprocess.PIPE:
                    os.close(f)
    return compare(c, out or b"", err, proc.returncode)


def compare(c, out, err, status):
    problems = []
    if out != c["stdout"]:
        problems.append(show_difference("standard output", out, c["stdout"]))
    if err != c.get("stderr", b""):
        problems.append(show_difference("standard error", err, c.get("stderr", b"")))
    if c["status"] is not None and status != c["status"]:
        problems.append(f"  exit status {status}, expected {c['status']}")
    return problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--platform", default="linux")
    parser.add_argument("--filter", default="")
    parser.add_argument("command", nargs="+")
    opts = parser.parse_args()

    if opts.platform == "windows":
        # Wine reads the Unix side's arguments as UTF-8 in this locale.
        os.environ["LC_ALL"] = "C.UTF-8"
    passed = failed = skipped = 0
    for c in CASES:
        problems = None
        if c.get("only", opts.platform) == opts.platform and opts.filter in c["name"]:
            problems = run_case(opts.command, c, opts.platform)
        if problems is None:
            skipped += 1
        elif problems:
            failed += 1
            print(f"FAIL {c['name']}")
            print("\n".join(problems))
        else:
            passed += 1
    print(f"{passed} passed, {failed} failed, {skipped} skipped")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
