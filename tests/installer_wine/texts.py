#!/usr/bin/env python3
"""Prints a text of the programs' language table as the test driver reads it
back from a window: line ends as a literal backslash-n, in UTF-8, or (with
--ansi, for a driver that reads windows through the ANSI code page) in code
page 1252 with '?' for what it lacks.

usage: texts.py [--ansi] SOURCE_DIR CODE TEXT_ID [ARGUMENT...]

The texts come from SOURCE_DIR/common/texts_<code>.cpp ('-' written '_');
a language without that file, and a text that file leaves out or leaves
empty, read as the English one (texts_en.cpp), as the programs fall back.
"%1".."%9" are replaced by the arguments. Prints "has-table" or "no-table"
for TEXT_ID "-".
"""
import os
import re
import sys

ENTRY = re.compile(r'\{\s*TextId::(\w+)\s*,((?:\s*"(?:[^"\\]|\\.)*")+)\s*\}', re.S)
LITERAL = re.compile(r'"((?:[^"\\]|\\.)*)"', re.S)
SIMPLE = {"n": b"\n", "t": b"\t", "r": b"\r", "\\": b"\\", '"': b'"', "'": b"'", "?": b"?", "0": b"\0"}


def literal_bytes(body):
    out = bytearray()
    i = 0
    raw = body.encode("utf-8")
    while i < len(raw):
        c = raw[i:i + 1]
        if c != b"\\":
            out += c
            i += 1
            continue
        e = chr(raw[i + 1])
        if e == "x":
            j = i + 2
            while j < len(raw) and chr(raw[j]) in "0123456789abcdefABCDEF":
                j += 1
            out.append(int(raw[i + 2:j], 16) & 0xFF)
            i = j
        else:
            out += SIMPLE[e]
            i += 2
    return bytes(out)


def table(source, code):
    path = os.path.join(source, "common", "texts_%s.cpp" % code.replace("-", "_"))
    if not os.path.exists(path):
        return None
    text = open(path, encoding="utf-8").read()
    # Comments could hold an example entry: drop them first.
    text = re.sub(r"//[^\n]*", "", text)
    entries = {}
    for m in ENTRY.finditer(text):
        entries[m.group(1)] = b"".join(literal_bytes(l) for l in LITERAL.findall(m.group(2))).decode("utf-8")
    return entries


def main(argv):
    ansi = argv[:1] == ["--ansi"]
    if ansi:
        argv = argv[1:]
    source, code, text_id, arguments = argv[0], argv[1], argv[2], argv[3:]
    own = table(source, code) if code != "en" else None
    if text_id == "-":
        print("has-table" if own is not None else "no-table")
        return
    text = (own or {}).get(text_id) or table(source, "en")[text_id]
    text = re.sub(r"%([1-9%])",
                  lambda m: "%" if m.group(1) == "%" else
                  (arguments[int(m.group(1)) - 1] if int(m.group(1)) <= len(arguments) else ""), text)
    text = text.replace("\r", "").replace("\n", "\\n")
    data = text.encode("cp1252", "replace") if ansi else text.encode("utf-8")
    sys.stdout.buffer.write(data + b"\n")


if __name__ == "__main__":
    main(sys.argv[1:])
