#!/usr/bin/env python3
"""Checks the text sources under content/ against the rules the installer
relies on: every TextId of the inventory is present, the language tables
agree, each format text takes exactly the arguments its call site passes,
the answer files are well-formed XML, names that must stay fixed are fixed.

Usage: tools/check-texts.py [REPO]   (exit code 0 when every check passes)
"""
import re
import sys
import xml.dom.minidom
from pathlib import Path

# TextIds the installer fetches, without the layout build's patterns 146-151.
INVENTORY = (
    set(range(0, 53)) | {56, 57, 58, 59, 60} | set(range(62, 103))
    | {104, 105, 106, 109, 110, 111, 112, 113, 114, 115, 119, 120, 121, 122,
       123, 124, 127, 128, 129, 130, 131, 132, 133, 135, 136, 137, 139, 140,
       141, 143, 144, 145, 152, 153, 155, 156, 157, 158, 159}
)
KEY_NAMES = (
    {154, 162, 166, 167, 168, 169, 243, 244, 246, 317, 326}
    | set(range(173, 185)) | set(range(188, 233)) | set(range(248, 276))
    | set(range(278, 316))
)
# The completion text after an install before Vista (a format taking text 81).
EXTRA_IDS = {134}
PATTERNS = set(range(146, 152))

# Names other subsystems and earlier installs depend on: fixed values.
FIXED = {81: "Kreska Polish", 83: "kbdkresk.dll", 85: "c0150415",
         84: "0f15", 86: "0415", 94: "KreskaSetupFrame"}
# Texts that must not vary with the interface language: registry names,
# folders removed by their composed names, the launcher's document path.
COMMON_ONLY = {0, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18,
               19, 20, 21, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 36,
               37, 38, 39, 41, 42, 43, 44, 45, 46, 47, 49, 50, 51, 52, 56, 57,
               58, 59, 60, 62, 63, 64, 65, 66, 69, 72, 73, 74, 75, 76, 77, 78,
               79, 80, 81, 82, 83, 84, 85, 86, 87, 89, 90, 94, 95, 144, 145,
               155, 156, 157, 158, 159}

ESCAPE = re.compile(r"\\(?:x[0-9A-Fa-f]{2}|u[0-9A-Fa-f]{4}|[nrt\\])")
# Directive grammar of the format engine: flags, width, precision, size.
DIRECTIVE = re.compile(r"%([-+ 0#$`]*)(\*|\d{0,10})(?:\.(\*|\d{0,10}))?(ll|[hlL])?(.?)",
                       re.S)
INT_CONV = set("diuxXoycC")


class Failure(Exception):
    pass


def unescape(text, where):
    out, pos = [], 0
    for m in re.finditer(r"\\", text):
        if m.start() < pos:
            continue
        esc = ESCAPE.match(text, m.start())
        if not esc:
            raise Failure(f"{where}: bad escape {text[m.start():m.start() + 2]!r}")
        out.append(text[pos:m.start()])
        body = esc.group(0)[1:]
        out.append({"n": "\n", "r": "\r", "t": "\t", "\\": "\\"}.get(body)
                   or chr(int(body[1:], 16)))
        pos = esc.end()
    out.append(text[pos:])
    return "".join(out)


def parse_table(path):
    raw = path.read_bytes()
    if raw.startswith(b"\xef\xbb\xbf"):
        raise Failure(f"{path}: starts with a byte-order mark")
    lines = raw.decode("utf-8").split("\n")
    table, i = {}, 0
    while i < len(lines):
        line, where = lines[i], f"{path}:{i + 1}"
        i += 1
        if not line or line.startswith("#"):
            continue
        m = re.match(r"(\d+)\t(.*)\Z", line, re.S)
        if not m:
            raise Failure(f"{where}: not NNN<TAB>text")
        tid, text = int(m.group(1)), m.group(2)
        if tid in table:
            raise Failure(f"{where}: TextId {tid} appears twice")
        if text == "<<<":
            block = []
            while i < len(lines) and lines[i] != ">>>":
                block.append(lines[i])
                i += 1
            if i == len(lines):
                raise Failure(f"{where}: block without >>>")
            i += 1
            table[tid] = "\r\n".join(block)
        else:
            table[tid] = unescape(text, where)
    return table


def parse_signatures(path):
    sigs = {}
    for n, line in enumerate(path.read_text(encoding="utf-8").split("\n"), 1):
        if not line or line.startswith("#"):
            continue
        m = re.match(r"(\d+)\t([su]+|-)\Z", line)
        if not m or int(m.group(1)) in sigs:
            raise Failure(f"{path}:{n}: bad or repeated signature line")
        sigs[int(m.group(1))] = "" if m.group(2) == "-" else m.group(2)
    return sigs


def directive_kinds(fmt):
    """The argument kinds a format text consumes, or a Failure."""
    kinds, pos = [], 0
    while True:
        pos = fmt.find("%", pos)
        if pos < 0 or pos == len(fmt) - 1:
            return "".join(kinds)
        if fmt[pos + 1] == "%":
            pos += 2
            continue
        m = DIRECTIVE.match(fmt, pos)
        width, precision, size, conv = m.group(2), m.group(3), m.group(4), m.group(5)
        if width == "*":
            kinds.append("u")
        if precision == "*":
            kinds.append("u")
        if conv in ("s", "S") and size not in ("h", "ll", "L"):
            kinds.append("s")
        elif conv in INT_CONV and size not in ("ll", "L"):
            kinds.append("u")
        elif conv != "N":
            raise Failure(f"directive {fmt[pos:m.end()]!r} is not one a call site can feed")
        pos = m.end()


def expand(fmt, args):
    """A printf-like expansion good enough to test the answer files."""
    args = list(args)

    def one(m):
        if m.group(0) == "%%":
            return "%"
        directive = m.group(0).replace("`", "").replace("$", "")
        try:
            return directive % args.pop(0)
        except (IndexError, TypeError) as exc:
            raise Failure(f"cannot expand {directive!r}: {exc}") from None
    return re.sub(r"%%|%[-+ 0#$`]*\d*(?:\.\d+)?[sduxX]", one, fmt)


def check(repo):
    texts = repo / "content" / "texts"
    common = parse_table(texts / "common.txt")
    extra = parse_table(texts / "extra.txt")
    langs = {"en": parse_table(texts / "en.txt"), "pl": parse_table(texts / "pl.txt")}
    sigs = parse_signatures(texts / "signatures.txt")
    errors = []

    def lookup(lang, tid):
        for table in (langs[lang], common, extra):
            if tid in table:
                return table[tid]
        return None

    if not extra:
        errors.append("extra.txt holds no text (an empty table stops the installer)")
    for name, table in [("common", common), ("extra", extra)] + list(langs.items()):
        for tid in sorted(PATTERNS & table.keys()):
            errors.append(f"{name}: pattern text {tid} belongs to the layout build")
    for lang, table in langs.items():
        for tid in sorted(COMMON_ONLY & table.keys()):
            errors.append(f"{lang}: TextId {tid} must not depend on the language")
        for tid in sorted(INVENTORY | KEY_NAMES | EXTRA_IDS):
            if lookup(lang, tid) is None:
                errors.append(f"{lang}: TextId {tid} is missing from every table")
    if langs["en"].keys() != langs["pl"].keys():
        errors.append(f"en and pl differ in TextIds: "
                      f"{sorted(langs['en'].keys() ^ langs['pl'].keys())}")
    for tid, value in FIXED.items():
        if common.get(tid) != value:
            errors.append(f"common: TextId {tid} must be {value!r}")

    for tid, kinds in sorted(sigs.items()):
        for lang in langs:
            fmt = lookup(lang, tid)
            if fmt is None:
                errors.append(f"{lang}: format {tid} is missing")
                continue
            try:
                got = directive_kinds(fmt)
            except Failure as exc:
                errors.append(f"{lang}: format {tid}: {exc}")
                continue
            if got != kinds:
                errors.append(f"{lang}: format {tid} takes {got or '-'!r}, call site passes {kinds or '-'!r}")

    # Key names: short enough for the expert page, distinct within a language.
    for lang in langs:
        names = {tid: lookup(lang, tid) for tid in KEY_NAMES}
        for tid, name in names.items():
            if name and (len(name) > 24 or "\n" in name):
                errors.append(f"{lang}: key name {tid} {name!r} is too long for a row")
        seen = {}
        for tid, name in sorted(names.items()):
            if name in seen:
                errors.append(f"{lang}: key names {seen[name]} and {tid} are both {name!r}")
            seen[name] = tid

    # The default variant is the one whose name holds text 88, and each
    # language table must pick one.
    for lang in langs:
        needle = lookup(lang, 88)
        if not needle or not any(needle in (lookup(lang, t) or "") for t in (113, 114, 115)):
            errors.append(f"{lang}: text 88 occurs in none of the variant names")

    # The document launcher's path must be where the install puts the document.
    doc = "%ProgramFiles%\\" + "\\".join(common.get(t, "") for t in (9, 10)) \
        + "\\" + common.get(30, "") + common.get(42, "")
    if common.get(95) != doc:
        errors.append(f"common: text 95 must be {doc!r}")
    if common.get(41) != common.get(42):
        errors.append("common: the launcher's file type 41 differs from the document's 42")
    if common.get(45, "") != common.get(45, "").upper():
        errors.append("common: needle 45 must be upper case")

    # Answer files: well-formed documents for every argument combination.
    klid = common.get(85, "")
    for default in (common.get(64, ""), ""):
        answers = {62: [0x415, klid, default],
                   63: [common.get(90, ""), 0x415, klid, default, 0x415, 0x415],
                   66: [""]}
        for tid, args in answers.items():
            try:
                dom = xml.dom.minidom.parseString(
                    expand(common.get(tid, ""), args).encode("utf-8"))
            except Exception as exc:  # the parser's own error types vary
                errors.append(f"common: answer file {tid} is not well-formed: {exc}")
                continue
            root = dom.documentElement
            if root.tagName != "gs:GlobalizationServices" or \
                    root.getAttribute("xmlns:gs") != "urn:longhornGlobalizationUnattend":
                errors.append(f"common: answer file {tid} has the wrong root element")
            ids = [e.getAttribute("ID") for e in dom.getElementsByTagName("gs:InputLanguageID")]
            if f"0415:{klid}" not in ids:
                errors.append(f"common: answer file {tid} does not name 0415:{klid}: {ids}")
    try:
        if f"0415:{klid}" not in expand(common.get(65, ""), ["", ""]):
            errors.append("common: removal text 65 does not name the layout")
    except Failure as exc:
        errors.append(f"common: removal text 65: {exc}")

    # Notes start with U+FEFF so that Notepad reads them as UTF-8.
    for lang in langs:
        for tid in (67, 68):
            note = lookup(lang, tid) or ""
            if not note.startswith("\ufeff") or note.count("\ufeff") != 1:
                errors.append(f"{lang}: note {tid} must start with one U+FEFF")

    for lang in ("en", "pl"):
        raw = (repo / "content" / "licence" / f"{lang}.txt").read_bytes()
        if raw.startswith(b"\xef\xbb\xbf"):
            errors.append(f"licence {lang}: byte-order mark")
        if re.search(rb"(?<!\r)\n|\r(?!\n)", raw):
            errors.append(f"licence {lang}: a line end that is not CR LF")
        raw.decode("utf-8")
    return errors


def main():
    repo = Path(sys.argv[1] if len(sys.argv) > 1 else Path(__file__).resolve().parent.parent)
    try:
        errors = check(repo)
    except (Failure, OSError, UnicodeDecodeError) as exc:
        errors = [str(exc)]
    for error in errors:
        print(error)
    print("texts: OK" if not errors else f"texts: {len(errors)} problem(s)")
    return 1 if errors else 0


if __name__ == "__main__":
    sys.exit(main())
