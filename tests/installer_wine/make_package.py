#!/usr/bin/env python3
"""Assembles an installer package for the wine tests: the stub, a ZIP payload
holding data entries and install entries, then the payload's length as an
8-byte little-endian integer.

usage: make_package.py STUB OUT DESCRIPTION.json

The description is a JSON object:
  "data":        {name: text}   data entries %Quillpack%/name; text files are
                                stored with CR LF line ends
  "data_files":  {name: path}   data entries copied from files (pictures);
                                $VARIABLES in paths are expanded
  "entries":     {name: text}   install entries (name with '/' separators)
  "entry_files": {name: path}   install entries copied from files
  "stored":      true           store instead of deflate
  "corrupt":     [name]         install entries whose stored data gets one
                                byte flipped (their check fails on extraction)
"""
import io
import json
import os
import struct
import sys
import zipfile


def crlf(text):
    return text.replace("\r\n", "\n").replace("\n", "\r\n").encode("latin-1")


def build(stub_path, out_path, description):
    method = zipfile.ZIP_STORED if description.get("stored") else zipfile.ZIP_DEFLATED
    payload = io.BytesIO()
    with zipfile.ZipFile(payload, "w", method) as archive:
        for name, text in description.get("data", {}).items():
            archive.writestr("%Quillpack%/" + name, crlf(text))
        for name, path in description.get("data_files", {}).items():
            with open(os.path.expandvars(path), "rb") as f:
                archive.writestr("%Quillpack%/" + name, f.read())
        for name, text in description.get("entries", {}).items():
            archive.writestr(name, text.encode("latin-1"))
        for name, path in description.get("entry_files", {}).items():
            with open(os.path.expandvars(path), "rb") as f:
                archive.writestr(name, f.read())
    data = bytearray(payload.getvalue())
    with zipfile.ZipFile(io.BytesIO(bytes(data))) as archive:
        for name in description.get("corrupt", []):
            info = archive.getinfo(name)
            name_length, extra_length = struct.unpack_from("<HH", data, info.header_offset + 26)
            start = info.header_offset + 30 + name_length + extra_length
            data[start + info.compress_size // 2] ^= 0xFF
    with open(stub_path, "rb") as f:
        stub = f.read()
    with open(out_path, "wb") as f:
        f.write(stub)
        f.write(data)
        f.write(struct.pack("<Q", len(data)))


if __name__ == "__main__":
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    with open(sys.argv[3]) as f:
        build(sys.argv[1], sys.argv[2], json.load(f))
