#!/usr/bin/env python3
"""Writes the texts file of a language, the form in which a package carries
the installer's texts in that language (see common/texts_file.h): UTF-8
after a byte-order mark when not all ASCII, one "<TextId number>=<text>" line
per text, line ends in a text written "\\n", carriage returns "\\r" and
backslashes "\\\\". The builder writes the same file from the same table.

usage: texts_file.py SOURCE_DIR CODE OUT
"""
import os
import re
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import texts  # noqa: E402  (the table reader of the wine tests)


def text_ids(source):
    header = open(os.path.join(source, "common", "texts.h"), encoding="utf-8").read()
    body = header[header.index("enum class TextId"):]
    body = body[body.index("{") + 1:body.index("count")]
    body = re.sub(r"//[^\n]*", "", body)
    return [name.strip() for name in body.split(",") if name.strip()]


def main(source, code, out):
    own = texts.table(source, code) or {}
    lines = []
    for number, name in enumerate(text_ids(source)):
        text = own.get(name)
        if not text:
            continue
        escaped = text.replace("\\", "\\\\").replace("\n", "\\n").replace("\r", "\\r")
        lines.append("%d=%s\n" % (number, escaped))
    data = "".join(lines).encode("utf-8")
    if any(b > 0x7F for b in data):
        data = b"\xef\xbb\xbf" + data
    with open(out, "wb") as f:
        f.write(data)


if __name__ == "__main__":
    main(*sys.argv[1:4])
