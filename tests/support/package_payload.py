"""A package's payload read as the installer reads it, by Python's own ZIP
reader: the entries in archive order, with each solid block ("%Quillpack%/
solid/<n>", or "<n>-x86" for converted x86 code) replaced by the files the
solid index lists for it, each checked against its size and CRC-32.

    names, read, archive = package_payload.open_package(path)
"""
import io
import lzma
import struct
import zipfile
import zlib

INDEX = "%Quillpack%/solid.txt"
BLOCK = "%Quillpack%/solid/"
X86 = "-x86"


def unconvert_x86(coded):
    """The bytes of a block of converted x86 code as they were before the
    converter, turned back by liblzma's x86 filter. Its decoder holds back
    the last bytes until its stream ends, so the block passes through a
    fast LZMA2 stream, whose end is marked, on the way."""
    chain = [{"id": lzma.FILTER_LZMA2, "preset": 0}]
    packed = lzma.compress(coded, format=lzma.FORMAT_RAW, filters=chain)
    return lzma.decompress(packed, format=lzma.FORMAT_RAW, filters=[{"id": lzma.FILTER_X86}] + chain)


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
        number = name[len(BLOCK):]
        if number.endswith(X86):
            block = unconvert_x86(block)
            number = number[:-len(X86)]
        offset = 0
        for member, size, crc in members.pop(int(number)):
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
