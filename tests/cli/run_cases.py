#!/usr/bin/env python3
"""Runs every end-to-end case against a tool command and reports each
mismatch with the bytes that differ.

usage: run_cases.py [--platform linux|windows] [--filter TEXT] -- COMMAND...
COMMAND runs the tool, e.g. build/tavoScribe or wine tavoScribe.exe."""
import argparse
import os
import select
import subprocess
import sys
import tempfile
import time

from cases import CASES

TIMEOUT = 60  # seconds for a whole run, valgrind and Wine included
PROMPT_WAIT = 10  # seconds for a prompt to reach the pipe


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


def run_case(command, c):
    args = command + [a if isinstance(a, bytes) else a.encode("utf-8")
                      for a in c["args"]]
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
            stdout = os.open(os.path.join(tmp, "out"), os.O_RDWR | os.O_CREAT)
            args = ["strace", "-f", "-qq", "-o", "/dev/null", "-e", "trace=close",
                    "-e", "inject=close:error=EIO", "-P", os.path.join(tmp, "out")] + args
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
    if status != c["status"]:
        problems.append(f"  exit status {status}, expected {c['status']}")
    return problems


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--platform", default="linux")
    parser.add_argument("--filter", default="")
    parser.add_argument("command", nargs="+")
    opts = parser.parse_args()

    passed = failed = skipped = 0
    for c in CASES:
        if c.get("only", opts.platform) != opts.platform or opts.filter not in c["name"]:
            skipped += 1
            continue
        problems = run_case(opts.command, c)
        if problems:
            failed += 1
            print(f"FAIL {c['name']}")
            print("\n".join(problems))
        else:
            passed += 1
    print(f"{passed} passed, {failed} failed, {skipped} skipped")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
