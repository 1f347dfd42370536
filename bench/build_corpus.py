#!/usr/bin/env python3
"""Writes the build benchmark's corpus and a project file for it.

   build_corpus.py CORPUS_DIR PROJECT_FILE

About 2,000 files and 300 MB: generated text, slices of the machine's own
shared libraries (real machine code), and already-compressed data (gzip
streams, and random bytes standing in for pictures). Deterministic for a
given machine."""
import glob, gzip, os, random, sys

import corpus_project

corpus, project = sys.argv[1], sys.argv[2]
rng = random.Random(2026)
os.makedirs(corpus, exist_ok=True)

words = ("the of and to in is that for it as with was on be by this are from or an at which "
         "file folder install setup program window project build archive entry data value line "
         "text path user system default option picture shortcut macro registry error result "
         "return table slot record section settings progress status thread buffer chunk").split()

def text(size):
    out, n = [], 0
    while n < size:
        line = " ".join(rng.choice(words) for _ in range(rng.randint(4, 16)))
        if rng.random() < 0.3:
            line = "    " + line + " = %d;" % rng.randint(0, 99999)
        out.append(line)
        n += len(line) + 2
    return ("\r\n".join(out)).encode()[:size]

libraries = [p for p in sorted(glob.glob("/usr/lib/x86_64-linux-gnu/*.so*"))
             if os.path.isfile(p) and os.path.getsize(p) > 200000]

def binary(size):
    path = rng.choice(libraries)
    with open(path, "rb") as f:
        blob = f.read()
    if len(blob) <= size:
        return (blob * (size // len(blob) + 1))[:size]
    start = rng.randint(0, len(blob) - size)
    return blob[start:start + size]

files = []  # (relative path, bytes)
for i in range(1300):
    files.append(("docs/part%02d/text%04d.txt" % (i % 40, i), text(int(rng.lognormvariate(10.3, 0.9)) + 200)))
for i in range(500):
    files.append(("bin/group%02d/module%03d.dll" % (i % 20, i), binary(int(rng.lognormvariate(11.9, 0.8)) + 1000)))
for i in range(120):
    files.append(("media/pic%03d.jpg" % i, rng.randbytes(int(rng.lognormvariate(12.2, 0.7)) + 1000)))
for i in range(80):
    files.append(("packs/pack%03d.gz" % i, gzip.compress(text(int(rng.lognormvariate(12.5, 0.6))), 6)))
files.append(("bin/big/huge.bin", binary(48 << 20)))

total = 0
for rel, data in files:
    path = os.path.join(corpus, rel)
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "wb") as f:
        f.write(data)
    total += len(data)

corpus_project.write(corpus, [rel for rel, _ in files], project)
print("corpus: %d files, %.1f MB" % (len(files), total / 1e6))
