#!/usr/bin/env python3
"""Gathers the compression benchmark's corpus from the machine's own files
and writes a project file for it.

   peer_corpus.py CORPUS_DIR PROJECT_FILE

About 1,900 real files and 260 MB: headers from /usr/include, documentation
from /usr/share/doc, shared libraries from /usr/lib/x86_64-linux-gnu (the two
large LLVM libraries that clang brings among them) and already-compressed
.gz, .png and .jpg files from /usr/share. Files are taken in sorted order up
to each group's budget, so the corpus is the same for a given machine."""
import glob, os, shutil, sys

import corpus_project

corpus, project = sys.argv[1], sys.argv[2]

def regular(paths):
    return [p for p in sorted(paths) if os.path.isfile(p) and not os.path.islink(p)]

def take(paths, count, budget, largest=1 << 62):
    chosen, total = [], 0
    for p in paths:
        size = os.path.getsize(p)
        if size > largest or total + size > budget:
            continue
        chosen.append(p)
        total += size
        if len(chosen) == count:
            break
    return chosen

llvm = regular(glob.glob("/usr/lib/x86_64-linux-gnu/libLLVM-1[0-9].so.1"))[:2]
groups = [
    ("include", take(regular(glob.glob("/usr/include/**/*.h", recursive=True)), 1000, 14_000_000, 400_000)),
    ("doc", take(regular(p for p in glob.glob("/usr/share/doc/**/*", recursive=True)
                         if not p.endswith(".gz")), 800, 9_000_000, 400_000)),
    ("lib", llvm + take(regular(glob.glob("/usr/lib/x86_64-linux-gnu/*.so*")), 60, 8_000_000, 1_000_000)),
    ("packed", take(regular(p for ext in ("gz", "png", "jpg")
                            for p in glob.glob("/usr/share/**/*." + ext, recursive=True)), 500, 8_000_000, 500_000)),
]

files, total = [], 0  # relative paths
for group, paths in groups:
    for src in paths:
        rel = group + "/" + src.lstrip("/").replace("/", "_")[-120:]
        dst = os.path.join(corpus, rel)
        os.makedirs(os.path.dirname(dst), exist_ok=True)
        shutil.copyfile(src, dst)
        files.append(rel)
        total += os.path.getsize(dst)

corpus_project.write(corpus, files, project)
print("corpus: %d files, %.1f MB" % (len(files), total / 1e6))
