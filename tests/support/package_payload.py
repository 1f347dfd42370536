"""A package's payload read as the installer reads it, by Python's own ZIP
reader: the entries in archive order, with each solid block ("%Quillpack%/
solid/<n>") replaced by the files the solid index lists for it, each checked
against its size and CRC-32.

    names, read, archive = package_payload.open_package(path)
"""
import io
import struct
import zipfile
import zlib

INDEX = "%Quillpack%/solid.txt"
BLOCK = "%Quillpack%/solid/"


def open_payload(data):
    archive = zipfile.ZipFile(io.BytesIO(data))
    assert archive.testzip() is None, "an entry fails its check"
    members = {}
    if INDEX in archive.namelist():
        for line in archive.read(INDEX).decode("utf-8").splitlines():
            block, size, crc, _time, name = line.split("\t", 4)
            members.setdefault(int(block), []).append((name, int(size), int(crc, 16)))
    names, files = [], {}
    for name in archive.namelist():
        if not name.startswith(BLOCK):
            names.append(name)
            continue
        block = archive.read(name)
        offset = 0
        for member, size, crc in members.pop(int(name[len(BLOCK):])):
            content = block[offset:offset + size]
            assert len(content) == size and zlib.crc32(content) == crc, member
            files[member] = content
            names.append(member)
            offset += size
        assert offset == len(block), name
    assert not members, "the index lists blocks the archive lacks"
    return names, lambda name: files[name] if name in files else archive.read(name), archive


def open_package(path):
    data = open(path, "rb").read()
    n = struct.unpack("<Q", data[-8:])[0]
    return open_payload(data[-8 - n:-8])
