"""End-to-end cases of tavoScribe-cards: arguments, standard input, files in
the row's folder before and after, expected standard output and error
bytes, and exit status. Every line the program writes ends in LF alone.
Zone lines come from a check digit worked here, apart from the program."""
import pathlib
import re

TOP = pathlib.Path(__file__).resolve().parents[2]
VERSION = re.search(rb"project\(tavoScribe VERSION ([0-9.]+)",
                    (TOP / "CMakeLists.txt").read_bytes())[1]
LENGTH = {0: b"Seriennummer muss 9 zeichen lang sein!",
          1: b"Geburtstag muss 6 zeichen lang sein (JJMMTT)!",
          2: b"Gueltigkeitsdatum muss 6 zeichen lang sein (JJMMTT)!"}
USAGE = b"usage: tavoScribe-cards [--header] [--id] [--names] [-o OUTPUT] [FILE]\n"
HELP = USAGE + (
    b"Writes the machine-readable zone of each German identity card in FILE,\n"
    b"or standard input, one line per card.\n"
    b"  --header    pass over the first line, a header row\n"
    b"  --id        begin the new card format with IDD<< in place of TPD<<\n"
    b"  --names     read the surname and given names too; write the name lines\n"
    b"  -o OUTPUT   write the good cards to OUTPUT, replaced when the run ends\n"
    b"  --help      write this text\n"
    b"  --version   write the version\n"
    b"The manual, tavoScribe-cards(1) or tavoScribe-cards.html, tells every rule.\n")
CARD = "123456789 850101 301231"
ITEMS = CARD.split()


def digit(text):
    """The check digit: weights 7, 3, 1; digits 0-9, letters 10-35, else 0."""
    value = {c: i for i, c in enumerate("0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ")}
    return str(sum(value.get(c, 0) * (7, 3, 1)[i % 3] for i, c in enumerate(text)) % 10)


def good(line, serial, birth, expiry, code="TP", names=None):
    """A good card's output line; names: the name fields of 31 and of 30."""
    s, b, e = (item + digit(item) for item in (serial, birth, expiry))
    c = digit(s + b + e)
    zones = [f"{s}D<<{b}<{e}<<<<<<<{c}", f"{code}D<<{s}<<<<<<<<<<<<<<<",
             f"{b}<{e}D<<<<<<<<<<<<<{c}"]
    if names:
        zones = ["IDD<<" + names[0]] + zones + [names[1]]
    return f"{line}\t" + "\t".join(zones) + "\n"


def fault(line, text, name="-"):
    return (f"{name}:{line}: ".encode() +
            (text if isinstance(text, bytes) else text.encode()) + b"\n")


def case(name, args, stdin, stdout, status, **special):
    """special: stderr, only ("linux" or "windows"), stdin_is / stdout_is
    as in tests/cli/cases.py, files: {name: bytes} in the row's folder,
    after: the folder after the run, where it differs from files."""
    out = stdout.encode() if isinstance(stdout, str) else stdout
    return dict(name=name, args=args, stdin=stdin, stdout=out, status=status,
                needs=set(), unicode=True, **special)


def names(text, old, new=None, code="TP", encoding="utf-8", sep=";"):
    """A card with the names of text after its three items: its name
    fields of 31 and of 30, before the fillers; new as old where None."""
    fields = (old.ljust(31, "<"), (new or old).ljust(30, "<"))
    return case(f"--names, {encoding}, {code}: {text}", ["--names"] + (["--id"] if code == "ID" else []),
                f"{CARD}{sep}{text}\n".encode(encoding), good(1, *ITEMS, code, fields), 0)


def bad(name, line, text, args=(), **special):
    """A list of one bad card, fed as standard input."""
    return case(name, list(args), line.encode() if isinstance(line, str) else line,
                b"", 1, stderr=fault(1, text), **special)


def date(name, birth, expiry, text=None):
    line = f"123456789 {birth} {expiry}\n"
    if text is None:
        return case(f"date: {name}", [], line.encode(), good(1, "123456789", birth, expiry), 0)
    return bad(f"date: {name}", line, text)


MUSTER = ("Mustermann;Erika Anna Mariax Luise", "MUSTERMANN<<ERIKA<ANNA<MARIAX<L",
          "MUSTERMANN<<ERIKA<ANNA<MARIA<L")
LONG26 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ"
UTF16 = "tavoScribe-cards: {} is UTF-16: save it as UTF-8 or as CSV\n"

CASES = [
    # The list's lines and items.
    case("worked example", [], (CARD + "\n").encode(), good(1, *ITEMS), 0),
    case("blanks run together, at either end too", [], b"  123456789   850101 \t 301231  \n",
         good(1, *ITEMS), 0),
    case("comma, semicolon, tab, blanks beside them", [], b"123456789 ; 850101 ,301231\n",
         good(1, *ITEMS), 0),
    bad("two tabs leave an empty item", "123456789\t\t850101\t301231\n", LENGTH[1]),
    bad("two semicolons leave an empty item", "123456789;;850101;301231\n", LENGTH[1]),
    case("blank lines and separators alone are passed over, and counted", [],
         b"\n;;\n \t, \r\n" + CARD.encode() + b"\n", good(4, *ITEMS), 0),
    case("CR LF, and a last line without its end", [],
         (CARD + "\r\n" + "AB1234567 850101 301231").encode(),
         good(1, *ITEMS) + good(2, "AB1234567", "850101", "301231"), 0),
    case("a UTF-8 byte order mark", [], b"\xef\xbb\xbf" + CARD.encode(), good(1, *ITEMS), 0),
    case("--header: a byte order mark, then the header row", ["--header"],
         b"\xef\xbb\xbfSeriennummer;Geburtstag;Gueltig bis\r\n" + CARD.encode() + b"\r\n",
         good(2, *ITEMS), 0),
    bad("a header row without --header is a bad card", "Seriennummer;Geburtstag;Gueltig bis\n",
        LENGTH[0]),
    case("further items are never tested, a NUL and an open quote among them", [],
         (CARD + ' x\x00\xff "open\n').encode("latin-1"), good(1, *ITEMS), 0),
    case("quoted items, blanks around the quotes", [],
         b' "123456789" ,"850101";  "301231"  \n', good(1, *ITEMS), 0),
    bad("a quoted item holds a semicolon", '"1234;6789";850101;301231\n',
        "Seriennummer: das Zeichen ';' ist nicht erlaubt!"),
    bad('"" in quotes stands for one quote', '"12345678""" 850101 301231\n',
        "Seriennummer: das Zeichen '\"' ist nicht erlaubt!"),
    bad("an unclosed quote", '123456789 "850101 301231\n',
        "Geburtstag: Anfuehrungszeichen ohne Ende!"),
    case("a line of 200,000 bytes is read whole, and the run goes on", [],
         b"1" * 200000 + b" 850101 301231\n" + CARD.encode() + b"\n", good(2, *ITEMS), 1,
         stderr=fault(1, LENGTH[0])),
    bad("a long item is never cut down", "1234567890 850101 301231\n", LENGTH[0]),
    bad("a NUL in an item", b"1234\x005678 850101 301231\n",
        "Seriennummer: das Zeichen U+0000 ist nicht erlaubt!"),
    bad("a missing expiry date", "123456789 850101\n", LENGTH[2]),
    bad("lower case is not folded", "ab1234567 850101 301231\n",
        "Seriennummer: das Zeichen 'a' ist nicht erlaubt!"),
    bad("the first fault is named", "12345678a 851301 3012\n",
        "Seriennummer: das Zeichen 'a' ist nicht erlaubt!"),
    bad("a leading zero lost to a spreadsheet", "123456789;10203;301231\n", LENGTH[1]),
    bad("lengths count characters: UTF-8", "12345678\u00dc 850101 301231\n",
        "Seriennummer: das Zeichen U+00DC ist nicht erlaubt!"),
    bad("lengths count characters: a combining mark", "12345678U\u0308 850101 301231\n",
        "Seriennummer: das Zeichen U+00DC ist nicht erlaubt!"),
    bad("lengths count characters: Windows-1252", b"12345678\xdc 850101 301231\n",
        "Seriennummer: das Zeichen U+00DC ist nicht erlaubt!"),
    bad("lengths count characters: 8 of 9 bytes", "1234567\u00dc 850101 301231\n", LENGTH[0]),
    bad("a byte that Windows-1252 leaves undefined", b"12345678\x81 850101 301231\n",
        "Seriennummer: das Zeichen 0x81 ist nicht erlaubt!"),
    bad("a character beyond the BMP", "12345678\U0001F600 850101 301231\n",
        "Seriennummer: das Zeichen U+1F600 ist nicht erlaubt!"),
    case("--id", ["--id"], (CARD + "\n").encode(), good(1, *ITEMS, code="ID"), 0),
    case("good and bad cards: 1, each in its stream", ["--id"],
         b"AB1234567 850101 301231\n12345 850101 301231\n" + CARD.encode(),
         good(1, "AB1234567", "850101", "301231", "ID") + good(3, *ITEMS, "ID"), 1,
         stderr=fault(2, LENGTH[0])),

    # Real dates.
    date("fillers in the date of birth", "8501<<", "301231"),
    date("the year alone", "85<<<<", "301231"),
    date("all unknown", "<<<<<<", "301231"),
    date("29 February in a year divisible by 4", "000229", "240229"),
    date("31 December", "851231", "301231"),
    date("month 13", "851301", "301231", "Geburtstag: den Monat 13 gibt es nicht!"),
    date("month 00", "850001", "301231", "Geburtstag: den Monat 00 gibt es nicht!"),
    date("month 00, day unknown", "8500<<", "301231", "Geburtstag: den Monat 00 gibt es nicht!"),
    date("day 00", "850100", "301231",
         "Geburtstag: den Tag 00 gibt es im Monat 01 des Jahres 85 nicht!"),
    date("31 April", "123456789"[:0] + "850431", "301231",
         "Geburtstag: den Tag 31 gibt es im Monat 04 des Jahres 85 nicht!"),
    date("29 February 2023", "850101", "230229",
         "Gueltigkeitsdatum: den Tag 29 gibt es im Monat 02 des Jahres 23 nicht!"),
    date("fillers in the middle", "85<<01", "301231",
         "Geburtstag: unbekannt nur als JJMM<<, JJ<<<< oder <<<<<<!"),
    date("one filler", "85010<", "301231",
         "Geburtstag: unbekannt nur als JJMM<<, JJ<<<< oder <<<<<<!"),
    date("letters", "8501AB", "301231", "Geburtstag: nur Ziffern sind erlaubt (JJMMTT)!"),
    date("an expiry date with fillers", "850101", "3012<<",
         "Gueltigkeitsdatum: nur Ziffern sind erlaubt (JJMMTT)!"),

    # The name lines.
    names(MUSTER[0], MUSTER[1], MUSTER[2]),
    names(MUSTER[0], MUSTER[1], MUSTER[2], code="ID"),
    names(f"{LONG26};A B", LONG26 + "<<A<B", LONG26[:-1] + "<<A<B"),
    names(f"{LONG26}AB;Erika", LONG26 + "AB<<E", LONG26 + "A<<E"),
    names(f"{LONG26}ABCD;", LONG26 + "ABCD<", LONG26 + "ABCD"),
    names("von der Heide;Erika", "VON<DER<HEIDE<<ERIKA"),
    names("  Meyer - Lansky ;  Anna--Lena  ", "MEYER<LANSKY<<ANNA<LENA"),
    names("O'Brien;Se\u00e1n", "OBRIEN<<SEAN"),
    names("O\u2019Neill;\u00c7a\u011fla", "ONEILL<<CAGLA"),
    names("M\u00fcller-L\u00fcdenscheidt;J\u00fcrgen", "MUELLER<LUEDENSCHEIDT<<JUERGEN"),
    names("Stra\u00dfe \u1e9eE;\u00c9lo\u00efse \u00c7a", "STRASSE<SSE<<ELOISE<CA"),
    names("\u00c5s \u00c6r \u00d8y \u0152l;\u00de\u00f3r \u0132sbrand", "AAS<AER<OEY<OEL<<THOR<IJSBRAND"),
    names("\u0141\u00f3d\u017a \u00d1o\u00f1o;\u0160\u00e1rka", "LODZ<NONO<<SARKA"),
    names("Mu\u0308ller;u\u0308", "MUELLER<<UE"),
    names("Mustermann", "MUSTERMANN"),
    names("Mustermann;", "MUSTERMANN"),
    names("M\u00fcller;J\u00fcrgen \u0160\u0152", "MUELLER<<JUERGEN<SOE", encoding="cp1252"),
    names('"von der Heide"  Erika', "VON<DER<HEIDE<<ERIKA", sep=" "),
    bad("--names: more than five items in a line of blanks", f"{CARD} von der Heide Erika\n",
        "Name: mehr als fuenf Angaben; einen Namen mit Leerzeichen in Anfuehrungszeichen setzen!",
        ["--names"]),
    bad("--names: the first fault comes first", f"{CARD[:-1]} von der Heide Erika\n",
        LENGTH[2], ["--names"]),
    bad("--names: a missing surname", f"{CARD}\n", "Name fehlt!", ["--names"]),
    bad("--names: an empty surname", f"{CARD};;Erika\n", "Name fehlt!", ["--names"]),
    bad("--names: a digit", f"{CARD};M1ller;Erika\n", "Name: das Zeichen '1' ist nicht erlaubt!",
        ["--names"]),
    bad("--names: the euro sign", f"{CARD};Euro;\u20ac\n",
        "Vornamen: das Zeichen U+20AC ist nicht erlaubt!", ["--names"]),
    bad("--names: an ampersand", f"{CARD};M & M;Erika\n", "Name: das Zeichen '&' ist nicht erlaubt!",
        ["--names"]),
    bad("--names: Greek", f"{CARD};\u0391\u03b8\u03b7\u03bd\u03ac;Erika\n",
        "Name: das Zeichen U+0391 ist nicht erlaubt!", ["--names"]),
    bad("--names: an unclosed quote", f'{CARD};"Heide;Erika\n', "Name: Anfuehrungszeichen ohne Ende!",
        ["--names"]),

    # Options, files and statuses.
    case("--help", ["--help"], b"", HELP, 0),
    case("--version", ["--version"], b"", b"tavoScribe-cards " + VERSION + b"\n", 0),
    case("an unknown option", ["--ID"], b"", b"", 2,
         stderr=b"tavoScribe-cards: unknown option: --ID\n" + USAGE),
    case("-o without a name", ["-o"], b"", b"", 2,
         stderr=b"tavoScribe-cards: -o needs a file name\n" + USAGE),
    case("two lists", ["a", "b"], b"", b"", 2,
         stderr=b"tavoScribe-cards: more than one list: b\n" + USAGE),
    case("a list by its name; - is standard input", ["--", "list.txt"], b"", good(1, *ITEMS), 0,
         files={"list.txt": CARD.encode()}),
    case("- names standard input", ["-"], b"x\n", b"", 1, stderr=fault(1, LENGTH[0])),
    case("a bad card names the list as given", ["./list.txt"], b"", b"", 1,
         stderr=fault(1, LENGTH[0], "./list.txt"), files={"list.txt": b"12345678 850101 301231"}),
    case("a list that does not exist", ["missing.txt"], b"", b"", 2,
         stderr=b"tavoScribe-cards: cannot open missing.txt: No such file or directory\n"),
    case("a folder as the list", [], b"", b"", 2, stdin_is="directory", only="linux",
         stderr=b"tavoScribe-cards: -:1: cannot be read: Is a directory\n"),
    case("a UTF-16 list, little-endian", [], "\ufeff123456789 850101 301231\n".encode("utf-16-le"),
         b"", 2, stderr=UTF16.format("-").encode()),
    case("a UTF-16 list, big-endian", ["l.txt"], b"", b"", 2, stderr=UTF16.format("l.txt").encode(),
         files={"l.txt": "\ufeff" "123456789 850101 301231\n".encode("utf-16-be")}),
    case("-o writes the good cards, and replaces the file", ["-o", "out.tsv", "list.txt"], b"", b"", 1,
         stderr=fault(2, LENGTH[0], "list.txt"),
         files={"list.txt": (CARD + "\nx\n").encode(), "out.tsv": b"earlier\n"},
         after={"list.txt": (CARD + "\nx\n").encode(), "out.tsv": good(1, *ITEMS).encode()}),
    case("-o - is standard output", ["-o", "-"], CARD.encode(), good(1, *ITEMS), 0, files={}),
    case("-o may name the list itself", ["list.txt", "-o", "list.txt"], b"", b"", 0,
         files={"list.txt": CARD.encode()}, after={"list.txt": good(1, *ITEMS).encode()}),
    case("-o, a name outside Windows-1252, in a folder with a blank",
         ["-o", "K\u00e4ufer Listen/\u0141\u00f3d\u017a.tsv", "K\u00e4ufer Listen/\u0141\u00f3d\u017a.txt"],
         b"", b"", 0, files={"K\u00e4ufer Listen/\u0141\u00f3d\u017a.txt": CARD.encode()},
         after={"K\u00e4ufer Listen/\u0141\u00f3d\u017a.txt": CARD.encode(),
                "K\u00e4ufer Listen/\u0141\u00f3d\u017a.tsv": good(1, *ITEMS).encode()}),
    case("-o on status 2: the file stays, nothing is left beside it", ["-o", "out.tsv", "l.txt"],
         b"", b"", 2, stderr=UTF16.format("l.txt").encode(),
         files={"l.txt": b"\xff\xfe1\x00", "out.tsv": b"earlier\n"}),
    case("-o into a folder that does not exist", ["-o", "no/out.tsv"], CARD.encode(), b"", 2,
         stderr=b"tavoScribe-cards: cannot write no/out.tsv: No such file or directory\n", files={}),
    case("-o naming a folder", ["-o", "d"], CARD.encode(), b"", 2, files={"d/x": b""},
         stderr=b"tavoScribe-cards: cannot write d: not a regular file\n"),
    case("output to a full disk", [], CARD.encode(), b"", 4, stdout_is="/dev/full",
         stderr=b"tavoScribe-cards: standard output could not be written: No space left on device\n"),
    case("reader of standard output gone", [], CARD.encode(), b"", 4, stdout_is="broken pipe",
         stderr=b"tavoScribe-cards: standard output could not be written: Broken pipe\n",
         only="linux"),
    case("closed standard output", ["--version"], b"", b"", 4, stdout_is="closed",
         stderr=b"tavoScribe-cards: standard output could not be written: Bad file descriptor\n"),
    case("a window of its own does not wait for Enter", ["--version"], b"",
         b"tavoScribe-cards " + VERSION, 0, only="windows", terminal=[]),
]
CASES[-1]["needs"] = {"terminal"}


def manual_cases(page):
    """The examples of the manual page that show their output: printf's
    output piped into the program, whose lines tr splits at their tabs. The
    page writes a backslash as \\e; a shown line that begins with -: is one
    of standard error, which 2>&1 puts after the output."""
    roff = page.read_text(encoding="utf-8").split(".Sh EXAMPLES", 1)[1].split(".Sh ", 1)[0]
    for block in re.findall(r"^\.Bd -literal[^\n]*\n\$ (.*?)^\.Ed", roff, re.M | re.S):
        command, _, shown = block.replace("\\e", "\\").partition("\n")
        typed = re.fullmatch(r"printf '([^']*)' \| tavoScribe-cards(.*?)( 2>&1)? \| tr '\\t' '\\n'", command)
        assert typed, f"an example the table cannot run: {command}"
        args = typed[2].split()
        out = [line for line in shown.splitlines() if not line.startswith("-:")]
        err = [line for line in shown.splitlines() if line.startswith("-:")]
        width = 6 if "--names" in args else 4
        yield case(f"manual: {command}", args,
                   typed[1].encode("ascii").decode("unicode_escape").encode("latin-1"),
                   "".join("\t".join(out[i:i + width]) + "\n" for i in range(0, len(out), width)),
                   1 if err else 0, stderr="".join(line + "\n" for line in err).encode())


# Texts that no row can bring about: they need memory to run out or a
# rename to fail.
UNSHOWN = {"Zeile zu lang!", "no memory for the list", "cannot replace OUTPUT: REASON"}


def diagnostics_case(page, cases):
    """A row that fails where the page's DIAGNOSTICS and the rows disagree:
    each fault or error that a row expects must match one of the page's
    texts, its capitalised words standing for any text, and each text but
    UNSHOWN must be met by a row."""
    roff = page.read_text(encoding="utf-8").split(".Sh DIAGNOSTICS", 1)[1].split(".Sh ", 1)[0]
    texts = re.findall(r"^\.It Dq (.*)$", roff, re.M)
    patterns = {t: re.compile(re.sub(r"\b(ITEM|C|MM|TT|JJ|OPTION|FILE|LINE|REASON|OUTPUT)\b", ".+",
                                     re.escape(t))) for t in texts}
    said = [re.sub(r"^(tavoScribe-cards: |[^:]*:\d+: )", "", line)
            for c in cases for line in c.get("stderr", b"").decode().splitlines()
            if not line.startswith("usage: ")]
    problems = [f"no text of the page matches: {line}\n" for line in said
                if not any(p.fullmatch(line) for p in patterns.values())]
    problems += [f"no row shows: {t}\n" for t, p in patterns.items()
                 if t not in UNSHOWN and not any(p.fullmatch(line) for line in said)]
    return case("manual: DIAGNOSTICS and the rows agree", ["--version"], b"",
                b"tavoScribe-cards " + VERSION + b"\n", 0, stderr="".join(problems).encode())


CASES += manual_cases(TOP / "man" / "tavoScribe-cards.1")
CASES.append(diagnostics_case(TOP / "man" / "tavoScribe-cards.1", CASES))
