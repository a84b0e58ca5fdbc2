"""End-to-end cases: arguments, standard input, expected standard output
bytes and exit status. Standard error must be empty unless a case says
otherwise. Every line end the tool writes is CR LF. After the rows written
here come those made from the documents (the README's console examples, the
manual page's failure texts and examples), so that each shows what the tool
really does."""
import pathlib
import re
import shlex

BANNER = b"tavoScribe - MRZ composer for PA identity cards (ICAO 9303)\r\n"
USAGE = (b"usage:\r\ntavoScribe.exe {seriennummer} {geburtsdatum JJMMTT} "
         b"{gueltigBis JJMMTT}\r\n\r\n")
ASK_SERIAL = b"\r\nSeriennummer (9 Zeichen):"
ASK_BIRTH = b"\r\nGeburtstag (6 Zeichen JJMMTT):"
ASK_EXPIRY = b"\r\nGueltig bis (6 Zeichen JJMMTT):"
BAD_SERIAL = b"Seriennummer muss 9 zeichen lang sein!"
BAD_BIRTH = b"Geburtstag muss 6 zeichen lang sein (JJMMTT)!"
BAD_EXPIRY = b"Gueltigkeitsdatum muss 6 zeichen lang sein (JJMMTT)!"
NOT_WRITTEN = b"tavoScribe: standard output could not be written\r\n"
# Written only in a console window that the tool has to itself.
CLOSE = b"\r\nZum Schliessen die Eingabetaste druecken."


def zones(old, new1, new2):
    """The two headings around the three zone lines, given literally."""
    return (b"\r\nalter PA (bis 31. Oktober 2010 beantragt): \r\n" + old +
            b"\r\n\r\nneuer PA: \r\n" + new1 + b"\r\n" + new2 + b"\r\n")


WORKED = zones(b"1234567897D<<8501019<3012316<<<<<<<0",
               b"TPD<<1234567897<<<<<<<<<<<<<<<",
               b"8501019<3012316D<<<<<<<<<<<<<0")
DATES = ["850101", "301231"]
WORKED_ARGS = ["123456789", *DATES]
# The tool's buffers for the items, as src/cli/cli.h sizes them.
SERIAL_SIZE, DATE_SIZE = 12, 8
ALL_BYTES = bytes(range(1, 256))
# Windows hands arguments over in its ANSI code page, 1252, which maps every
# byte but these five; the driver runs rows with them on Linux only.
UNMAPPED = b"\x81\x8d\x8f\x90\x9d"
MAPPED = bytes(b for b in ALL_BYTES if b not in UNMAPPED)
# Neither digit nor letter: those Windows can be handed, then the rest.
ZERO_WORTH = (bytes(b for b in MAPPED if not bytes([b]).isalnum()), UNMAPPED)


def case(name, args, stdin, stdout, status, **special):
    """special: stderr (expected bytes), only ("linux" or "windows"),
    stdin_is / stdout_is ("closed", "directory", "/dev/full", "broken pipe",
    "file whose close fails"),
    dialogue: [(prompt to wait for, answer to type), ...] through pipes,
    terminal: [(text to wait for, keys to type[, seconds to wait first]), ...]
    in a terminal of its own, where stdout is the screen with typed keys
    echoed; started: "cmd /c" to start it from a shell on Windows. A row
    needs of the host a terminal or ptrace (strace makes the close fail)."""
    needs = {"terminal"} if "terminal" in special else set()
    if special.get("stdout_is") == "file whose close fails":
        needs.add("ptrace")
    return dict(name=name, args=args, stdin=stdin, stdout=stdout,
                status=status, needs=needs, **special)


CASES = [
    case("worked example", ["123456789", *DATES], b"", BANNER + WORKED, 0),
    case("letters in the serial number", ["AB1234567", *DATES], b"",
         BANNER + zones(b"AB12345671D<<8501019<3012316<<<<<<<2",
                        b"TPD<<AB12345671<<<<<<<<<<<<<<<",
                        b"8501019<3012316D<<<<<<<<<<<<<2"), 0),
    case("lower case is kept, same check digits", ["ab1234567", *DATES], b"",
         BANNER + zones(b"ab12345671D<<8501019<3012316<<<<<<<2",
                        b"TPD<<ab12345671<<<<<<<<<<<<<<<",
                        b"8501019<3012316D<<<<<<<<<<<<<2"), 0),
    case("fillers and letters in the dates", ["123456789", "<<<<<<", "zzzzzz"],
         b"", BANNER + zones(b"1234567897D<<<<<<<<0<zzzzzz0<<<<<<<6",
                             b"TPD<<1234567897<<<<<<<<<<<<<<<",
                             b"<<<<<<0<zzzzzz0D<<<<<<<<<<<<<6"), 0),
    case("a fourth argument changes nothing",
         ["123456789", *DATES, "extra"], b"", BANNER + WORKED, 0),
    case("a quoted space stays in the serial", ["1234 6789", *DATES], b"",
         BANNER + zones(b"1234 67892D<<8501019<3012316<<<<<<<0",
                        b"TPD<<1234 67892<<<<<<<<<<<<<<<",
                        b"8501019<3012316D<<<<<<<<<<<<<0"), 0),

    # The help switch and other switches.
    case("no arguments, end of input", [], b"",
         BANNER + ASK_SERIAL + BAD_SERIAL, 1),
    case("-h alone", ["-h"], b"", BANNER + USAGE + ASK_SERIAL + BAD_SERIAL, 1),
    case("-h with both dates, serial typed", ["-h", *DATES], b"123456789\n",
         BANNER + USAGE + ASK_SERIAL + WORKED, 0),
    case("-help also writes the usage", ["-help", *DATES], b"123456789",
         BANNER + USAGE + ASK_SERIAL + WORKED, 0),
    case("-H is ignored", ["-H", *DATES], b"123456789\n",
         BANNER + ASK_SERIAL + WORKED, 0),
    case("a lone - is ignored", ["-"], b"", BANNER + ASK_SERIAL + BAD_SERIAL, 1),
    case("dates may start with -", ["123456789", "-50101", "-01231"], b"",
         BANNER + zones(b"1234567897D<<-501013<-012315<<<<<<<4",
                        b"TPD<<1234567897<<<<<<<<<<<<<<<",
                        b"-501013<-012315D<<<<<<<<<<<<<4"), 0),

    # Re-entry at the prompts.
    case("8-character serial, 9 typed", ["12345678", *DATES], b"123456789\n",
         BANNER + ASK_SERIAL + WORKED, 0),
    case("8-character serial, end of input", ["12345678", *DATES], b"",
         BANNER + ASK_SERIAL + BAD_SERIAL, 1),
    case("empty first argument is asked for", ["", *DATES], b"123456789\r\n",
         BANNER + ASK_SERIAL + WORKED, 0),
    case("blank lines before the token are passed over", [],
         b"\n\r\n \t\v\f123456789\n\n850101\n301231\n",
         BANNER + ASK_SERIAL + ASK_BIRTH + ASK_EXPIRY + WORKED, 0),
    case("tokens run on into the next prompts", ["1234"],
         b"123456789 850101 301231",
         BANNER + ASK_SERIAL + ASK_BIRTH + ASK_EXPIRY + WORKED, 0),
    case("10 characters typed for the serial", [], b"1234567890\n",
         BANNER + ASK_SERIAL + BAD_SERIAL, 1),
    case("wrong date of birth after re-entry", ["123456789", "8501"],
         b"85010\n301231\n", BANNER + ASK_BIRTH + BAD_BIRTH, 2),
    case("wrong expiry date after re-entry", ["123456789", "850101", "3012310"],
         b"3012310\n", BANNER + ASK_EXPIRY + BAD_EXPIRY, 3),
    case("end of input at the birth date prompt", ["123456789"], b"  \n",
         BANNER + ASK_BIRTH + BAD_BIRTH, 2),
    case("end of input at the expiry prompt", ["123456789", "850101"], b"",
         BANNER + ASK_EXPIRY + BAD_EXPIRY, 3),

    # Over-long values are never cut down and never overrun a field.
    case("7-character date of birth argument", ["123456789", "8501011", "301231"],
         b"850101\n", BANNER + ASK_BIRTH + WORKED, 0),
    case("argument of 100,000 bytes", ["1" * 100000, *DATES], b"123456789\n",
         BANNER + ASK_SERIAL + WORKED, 0, only="linux"),
    case("argument of 32,000 bytes", ["1" * 32000, *DATES], b"123456789\n",
         BANNER + ASK_SERIAL + WORKED, 0, only="windows"),
    case("token of 1 MB", [], b"9" * 1000000, BANNER + ASK_SERIAL + BAD_SERIAL, 1),
    case("token of 1 MB for a date", ["123456789"], b"8" * 1000000 + b"\n",
         BANNER + ASK_BIRTH + BAD_BIRTH, 2),

    # Bytes that are neither digits nor letters are worth 0.
    case("bytes above 127 typed", [], b"\xe4\xf6\xfc\xdf12345 850101 301231",
         BANNER + ASK_SERIAL + ASK_BIRTH + ASK_EXPIRY +
         zones(b"\xe4\xf6\xfc\xdf123453D<<8501019<3012316<<<<<<<8",
               b"TPD<<\xe4\xf6\xfc\xdf123453<<<<<<<<<<<<<<<",
               b"8501019<3012316D<<<<<<<<<<<<<8"), 0),
    case("UTF-8 argument counts bytes", ["\u00c4\u00d6\u00dc123", *DATES], b"",
         BANNER + zones(b"\xc3\x84\xc3\x96\xc3\x9c1236D<<8501019<3012316<<<<<<<2",
                        b"TPD<<\xc3\x84\xc3\x96\xc3\x9c1236<<<<<<<<<<<<<<<",
                        b"8501019<3012316D<<<<<<<<<<<<<2"), 0),
    # An answer that holds a NUL fails its item, wherever the NUL stands.
    case("NUL inside a token fails it", [], b"1234\x0056789\n",
         BANNER + ASK_SERIAL + BAD_SERIAL, 1),
    case("NUL after 9 bytes of a serial number", ["", *DATES], b"123456789\x00abc\n",
         BANNER + ASK_SERIAL + BAD_SERIAL, 1),
    case("NUL as the 9th byte of a serial number", ["", *DATES], b"12345678\x00\n",
         BANNER + ASK_SERIAL + BAD_SERIAL, 1),
    case("NUL after 6 bytes of a date of birth", ["123456789", "", "301231"], b"850101\x00zz\n",
         BANNER + ASK_BIRTH + BAD_BIRTH, 2),
    case("NUL after 6 bytes of an expiry date", ["123456789", "850101"], b"301231\x00\n",
         BANNER + ASK_EXPIRY + BAD_EXPIRY, 3),

    # Standard streams that are closed, full or not files at all.
    case("output to a full disk", ["123456789", *DATES], b"", b"", 4,
         stdout_is="/dev/full", stderr=NOT_WRITTEN),
    case("full disk keeps a failure status", [], b"", b"", 1,
         stdout_is="/dev/full"),
    case("closed standard output", ["123456789", *DATES], b"", b"", 4,
         stdout_is="closed", stderr=NOT_WRITTEN),
    case("reader of standard output gone", ["123456789", *DATES], b"", b"", 4,
         stdout_is="broken pipe", stderr=NOT_WRITTEN),
    case("close of standard output fails", ["123456789", *DATES], b"",
         BANNER + WORKED, 4, stdout_is="file whose close fails",
         stderr=NOT_WRITTEN, only="linux"),
    case("close fails on a failed run", [], b"", BANNER + ASK_SERIAL + BAD_SERIAL,
         1, stdout_is="file whose close fails", only="linux"),
    case("closed standard input", [], b"", BANNER + ASK_SERIAL + BAD_SERIAL, 1,
         stdin_is="closed"),
    case("standard input is a directory", ["123456789"], b"",
         BANNER + ASK_BIRTH + BAD_BIRTH, 2, stdin_is="directory"),

    # A program that waits for each prompt before it answers.
    case("prompts reach a pipe before the read", [], b"",
         BANNER + ASK_SERIAL + ASK_BIRTH + ASK_EXPIRY + WORKED, 0,
         dialogue=[(ASK_SERIAL, b"123456789\n"), (ASK_BIRTH, b"850101\n"),
                   (ASK_EXPIRY, b"301231\n")]),
    case("every byte 1-255 in over-long arguments", [ALL_BYTES] * 3, b"",
         BANNER + ASK_SERIAL + BAD_SERIAL, 1),
    case("every byte Windows can be handed, over-long", [MAPPED] * 3, b"",
         BANNER + ASK_SERIAL + BAD_SERIAL, 1),

    # A user at a console. On Windows, a console that the tool has to itself
    # (started from Explorer) closes with the tool, so it waits for Enter.
    case("on a terminal each prompt shows before its answer", [], b"",
         BANNER + ASK_SERIAL + b"123456789\r\n" + ASK_BIRTH + b"850101\r\n" +
         ASK_EXPIRY + b"301231\r\n" + WORKED, 0, only="linux",
         terminal=[(ASK_SERIAL, b"123456789\r"), (ASK_BIRTH, b"850101\r"),
                   (ASK_EXPIRY, b"301231\r")]),
    case("a window of its own waits for Enter", ["123456789", *DATES], b"",
         BANNER + WORKED + CLOSE + b"\r\n", 0, only="windows",
         terminal=[(CLOSE, b"\r", 2)]),
    case("a window of its own: the dialogue, then Enter", [], b"",
         BANNER + ASK_SERIAL + b"123456789\r\n" + ASK_BIRTH + b"850101\r\n" +
         ASK_EXPIRY + b"301231\r\n" + WORKED + CLOSE + b"\r\n", 0,
         only="windows",
         terminal=[(ASK_SERIAL, b"123456789\r"), (ASK_BIRTH, b"850101\r"),
                   (ASK_EXPIRY, b"301231\r"), (CLOSE, b"\r", 2)]),
    case("a window of its own keeps a failure message", ["12345678"], b"",
         BANNER + ASK_SERIAL + b"12345\r\n" + BAD_SERIAL + CLOSE + b"\r\n", 1,
         only="windows", terminal=[(ASK_SERIAL, b"12345\r"), (CLOSE, b"\r", 2)]),
    case("started from cmd, the window is the shell's", ["123456789", *DATES],
         b"", BANNER + WORKED, 0, only="windows", started="cmd /c", terminal=[]),
] + [
    # Cards made of every byte that is neither digit nor letter, 21 at a
    # time: such bytes are worth 0, so every check digit is 0.
    case(f"zero-worth bytes {chunk[0]}-{chunk[-1]} as fields",
         [chunk[:9], chunk[9:15], chunk[15:]], b"",
         BANNER + zones(chunk[:9] + b"0D<<" + chunk[9:15] + b"0<" +
                        chunk[15:] + b"0<<<<<<<0",
                        b"TPD<<" + chunk[:9] + b"0<<<<<<<<<<<<<<<",
                        chunk[9:15] + b"0<" + chunk[15:] + b"0D<<<<<<<<<<<<<0"),
         0)
    for chunk in (part[i:i + 21].ljust(21, b"<")
                  for part in ZERO_WORTH for i in range(0, len(part), 21))
] + [
    # Each item as an argument of every length from none to two bytes past
    # its buffer (the item, its check digit and the end of the string): only
    # the item's own length is taken, any other is asked for, and none
    # overruns a neighbour.
    case(f"{what} argument of {n} bytes",
         WORKED_ARGS[:i] + [WORKED_ARGS[i] if n == len(WORKED_ARGS[i]) else "7" * n] +
         WORKED_ARGS[i + 1:],
         b"" if n == len(WORKED_ARGS[i]) else WORKED_ARGS[i].encode() + b"\n",
         BANNER + (b"" if n == len(WORKED_ARGS[i]) else ask) + WORKED, 0)
    for i, (what, ask, size) in enumerate((("serial number", ASK_SERIAL, SERIAL_SIZE),
                                            ("date of birth", ASK_BIRTH, DATE_SIZE),
                                            ("expiry date", ASK_EXPIRY, DATE_SIZE)))
    for n in range(size + 3)
]


def readme_cases(readme):
    """Each console example of the README, typed at a terminal: a line that
    goes on after a prompt holds what the user typed there."""
    prompts = [p.strip() for p in (ASK_SERIAL, ASK_BIRTH, ASK_EXPIRY)]
    for block in re.findall(rb"```console\n(.*?)```", readme.read_bytes(), re.S):
        command, _, screen = block.partition(b"\n")
        steps = [(p, line[len(p):] + b"\r") for line in screen.split(b"\n")
                 for p in prompts if line.startswith(p) and line != p]
        yield case(f"README: {command.decode()}",
                   [a.encode() for a in shlex.split(command.decode())[2:]], b"",
                   screen, None, only="linux", terminal=steps)


def manual_cases(page):
    """The manual page's failure texts, each a .Dl line under its exit
    status, against what the tool writes for that status."""
    texts = dict(re.findall(rb"^\.It (\d)\n(?:(?!\.It ).*\n)*?\.Dl (.*)$",
                            page.read_bytes(), re.M))
    for status, args, prompt in ((1, [], ASK_SERIAL), (2, ["123456789"], ASK_BIRTH),
                                 (3, ["123456789", "850101"], ASK_EXPIRY)):
        yield case(f"manual: status {status}", args, b"",
                   BANNER + prompt + texts.get(b"%d" % status, b"(none)"), status)
    yield case("manual: status 4", ["123456789", *DATES], b"", b"", 4,
               stdout_is="/dev/full", stderr=texts.get(b"4", b"(none)") + b"\r\n")
    # The examples whose output the page shows: the tool's own command
    # line, or printf's output piped into it; the page shows a line end as
    # a new line, a backslash as \e and ends a heading's blank with \&.
    roff = page.read_bytes().split(b".Sh EXAMPLES", 1)[-1]
    for block in re.findall(rb"^\.Bd -literal[^\n]*\n\$ (.*?)^\.Ed", roff, re.M | re.S):
        block = block.replace(b"\\&", b"").replace(b"\\e", b"\\")
        command, _, shown = block.partition(b"\n")
        typed = re.fullmatch(rb"printf '([^']*)' \| (tavoScribe.*)", command)
        words = shlex.split((typed[2] if typed else command).decode())
        if words[0] == "tavoScribe" and "|" not in words and shown:
            stdin = typed[1].decode("unicode_escape").encode() if typed else b""
            yield case(f"manual: {command.decode()}", words[1:], stdin,
                       shown.rstrip(b"\n").replace(b"\n", b"\r\n") + b"\r\n", 0)


TOP = pathlib.Path(__file__).resolve().parents[2]
CASES += readme_cases(TOP / "README.md")
CASES += manual_cases(TOP / "man" / "tavoScribe.1")

