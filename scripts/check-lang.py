#!/usr/bin/env python3
"""Checks a Tarn language table (lang.csv) before it ships.

The program reads the table with a very plain parser (no quoting, fields cut at
48 characters, column 2 selected at start-up), so a stray comma or an over-long
text silently shifts or truncates what the user sees. This script catches those
mistakes. Usage: python3 scripts/check-lang.py [path/to/lang.csv]
Exit status: 0 when the table is sound, 1 on a violation, 2 when it cannot be read.
"""

import os
import sys

STRING_COUNT = 512
# Slots from 148 on are Tarn's own; an unused one is empty in every column.
ORIGINAL_COUNT = 148
MAX_FIELD_CHARS = 48
MAX_LINE_CHARS = 255
MAX_LANGUAGES = 32
STARTUP_COLUMN = 2

# Slots the program never shows; every other slot needs a text in every column.
UNSHOWN_SLOTS = {7, 8, 9, 14, 15, 16} | set(range(142, ORIGINAL_COUNT))

# Menu texts may carry a tab before their shortcut text; nowhere else makes sense.
MENU_SLOTS = set(range(91, 112)) | {1, 27, 28, 112, 120, 132}

# A choice cell stores bit 0 when its text equals one of these slots, bit 1 otherwise,
# so an "on" text equal to any "off" text would silently flip the stored bit.
OFF_TEXT_SLOTS = (3, 4, 10, 12)
ON_TEXT_SLOTS = (2, 5, 11, 13)

# Messages built by joining two slots with nothing between them.
JOINED_PAIRS = [(122, 31), (122, 32), (123, 31), (123, 32), (115, 126)]

# The navigation tree opens a page by comparing its item text with these slots.
PAGE_TITLE_SLOTS = (1, 27, 28)


def decode(data):
    """Returns (text, encoding); the program accepts UTF-8 and GB18030 tables."""
    try:
        return data.decode("utf-8"), "UTF-8"
    except UnicodeDecodeError:
        pass
    try:
        return data.decode("gb18030"), "GB18030"
    except UnicodeDecodeError:
        return None, None


def check(path):
    errors = []
    warnings = []

    try:
        with open(path, "rb") as fh:
            data = fh.read()
    except OSError as exc:
        print(f"{path}: cannot read: {exc.strerror}", file=sys.stderr)
        return 2

    if data.startswith(b"\xef\xbb\xbf"):
        errors.append("file starts with a UTF-8 byte-order mark; it would become part of the first language name")
        data = data[3:]
    if b"\r" in data:
        errors.append("file contains carriage returns; lines must end in a bare line feed")

    text, encoding = decode(data)
    if text is None:
        print(f"{path}: neither UTF-8 nor GB18030 text", file=sys.stderr)
        return 1

    if text and not text.endswith("\n"):
        errors.append("last line does not end in a line feed")
    lines = text.split("\n")
    if lines and lines[-1] == "":
        lines.pop()

    if not lines:
        print(f"{path}: empty file", file=sys.stderr)
        return 1

    for number, line in enumerate(lines):
        where = f"line {number + 1}"
        if len(line) > MAX_LINE_CHARS:
            errors.append(f"{where}: {len(line)} characters, more than {MAX_LINE_CHARS}")
        else:
            size = len(line.encode("gb18030" if encoding == "GB18030" else "utf-8"))
            if size > MAX_LINE_CHARS:
                warnings.append(f"{where}: {size} bytes in {encoding}, more than {MAX_LINE_CHARS}")

    names = lines[0].split(",")
    while names and names[-1] == "":
        names.pop()
    if "" in names:
        errors.append("row 0: empty language name before the last one; the list of languages would end there")
    if len(names) > MAX_LANGUAGES:
        errors.append(f"row 0: {len(names)} languages, at most {MAX_LANGUAGES} are read")
    if len(names) <= STARTUP_COLUMN:
        errors.append(f"row 0: {len(names)} language names; column {STARTUP_COLUMN} is selected at start-up, "
                      f"so at least {STARTUP_COLUMN + 1} are needed")
    for j, name in enumerate(names):
        if len(name) > MAX_FIELD_CHARS:
            errors.append(f"row 0: language name {j} has {len(name)} characters, more than {MAX_FIELD_CHARS}")
    columns = len(names)

    rows = lines[1:]
    if len(rows) != STRING_COUNT:
        errors.append(f"{len(rows)} string rows after the names, expected exactly {STRING_COUNT}")

    table = []  # table[slot][column]
    for slot, line in enumerate(rows[:STRING_COUNT]):
        where = f"slot {slot} (line {slot + 2})"
        fields = line.split(",")
        if len(fields) != columns:
            errors.append(f"{where}: {len(fields)} fields for {columns} languages "
                          "(a comma inside a text splits it; use another character)")
        fields = (fields + [""] * columns)[:columns]
        for column, field in enumerate(fields):
            here = f"{where}, column {column} ({names[column] if column < len(names) else '?'})"
            if len(field) > MAX_FIELD_CHARS:
                errors.append(f"{here}: {len(field)} characters, more than {MAX_FIELD_CHARS}: {field!r}")
            for ch in field:
                if ch == "\t":
                    if slot not in MENU_SLOTS:
                        errors.append(f"{here}: tab character outside a menu text")
                elif ord(ch) < 0x20 or ord(ch) == 0x7F:
                    errors.append(f"{here}: control character U+{ord(ch):04X}")
            unused = slot >= ORIGINAL_COUNT and all(f.strip() == "" for f in fields)
            if slot not in UNSHOWN_SLOTS and not unused and field.strip() == "":
                errors.append(f"{here}: empty, but the program shows this slot")
        table.append(fields)

    if len(table) == STRING_COUNT:
        for column in range(columns):
            lang = f"column {column} ({names[column]})"
            text_of = lambda slot: table[slot][column]
            for on in ON_TEXT_SLOTS:
                for off in OFF_TEXT_SLOTS:
                    if text_of(on) and text_of(on) == text_of(off):
                        errors.append(f"{lang}: slot {on} equals slot {off} ({text_of(on)!r}); "
                                      "a channel choice would store the wrong bit")
            titles = [text_of(s) for s in PAGE_TITLE_SLOTS]
            if len(set(titles)) != len(titles) or text_of(0) in titles:
                errors.append(f"{lang}: slots 0, 1, 27 and 28 must differ; the navigation tree tells pages apart by them")
            for left, right in JOINED_PAIRS:
                a, b = text_of(left), text_of(right)
                if a and b and a[-1].isascii() and a[-1].isalnum() and b[0].isascii() and b[0].isalnum():
                    errors.append(f"{lang}: slots {left} and {right} are shown joined and would run together "
                                  f"({a + b!r}); end slot {left} with a blank")

    for message in warnings:
        print(f"{path}: warning: {message}")
    for message in errors:
        print(f"{path}: error: {message}")
    if errors:
        print(f"{path}: {len(errors)} error(s)")
        return 1
    print(f"{path}: OK ({encoding}, {columns} languages, {len(table)} strings)")
    return 0


def main(argv):
    if len(argv) > 2 or (len(argv) == 2 and argv[1] in ("-h", "--help")):
        print(__doc__.strip())
        return 2 if len(argv) > 2 else 0
    if len(argv) == 2:
        path = argv[1]
    else:
        path = os.path.join(os.path.dirname(os.path.abspath(__file__)), os.pardir, "res", "lang.csv")
    return check(path)


if __name__ == "__main__":
    sys.exit(main(sys.argv))
