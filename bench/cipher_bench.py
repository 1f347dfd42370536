#!/usr/bin/env python3
"""Throughput of Enblow (libciphon.so) against `openssl enc -bf-ecb` on the
same file, with each run's peak memory; with --dll, also the shipped
Ciphon.dll under Wine (called by ciphon_check.exe from the same folder).
Prints figures; asserts nothing.

usage: cipher_bench.py LIBCIPHON [--mib N] [--runs N] [--dir FOLDER]
                       [--dll FOLDER] [--wine COMMAND]

The DLL's figure is the call's own duration as ciphon_check measures it;
the Wine process's whole wall time (start-up included) is printed beside it.
Runs alternate between the programs, so that all meet the same background
load; the best run of each is compared and every run is listed.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

KEY = bytes(range(1, 21))

# Runs in a child process so that its peak memory is its own.
CHILD = r"""
import ctypes, sys, time
lib = ctypes.CDLL(sys.argv[1])
key = bytes.fromhex(sys.argv[4])
start = time.perf_counter()
rc = lib.Enblow(sys.argv[2].encode(), sys.argv[3].encode(), key)
print(time.perf_counter() - start, rc)
"""


def run_measured(argv):
    """Runs argv; returns (wall seconds, stdout, peak resident KiB). The
    previous run's 256 MiB of output are flushed first, untimed, so that no
    program pays for another's write-back."""
    os.sync()
    start = time.perf_counter()
    proc = subprocess.Popen(argv, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    _, status, usage = os.wait4(proc.pid, 0)
    wall = time.perf_counter() - start
    out = proc.stdout.read().decode()
    err = proc.stderr.read().decode()
    proc.returncode = os.waitstatus_to_exitcode(status)
    if proc.returncode != 0:
        sys.exit("%s failed (%d): %s" % (argv[0], proc.returncode, err.strip()))
    return wall, out, usage.ru_maxrss


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("lib")
    ap.add_argument("--mib", type=int, default=256)
    ap.add_argument("--runs", type=int, default=3)
    # A memory-backed folder by default: on a disk shared with other work,
    # write-back of the 256 MiB outputs, not the cipher, sets the figures.
    ap.add_argument("--dir", default="/dev/shm" if os.access("/dev/shm", os.W_OK) else None)
    ap.add_argument("--dll", default=None)
    ap.add_argument("--wine", default="wine")
    args = ap.parse_args()

    work = tempfile.mkdtemp(prefix="cipher-bench.", dir=args.dir)
    try:
        plain = os.path.join(work, "plain.bin")
        size = args.mib << 20
        with open(plain, "wb") as f:
            for _ in range(args.mib):
                f.write(os.urandom(1 << 20))
        out = os.path.join(work, "out.bin")

        # Peak memory of the child interpreter alone, to subtract.
        _, _, base_rss = run_measured([sys.executable, "-c",
                                       "import ctypes; ctypes.CDLL(%r)" % args.lib])

        if args.dll:
            for f in ("Ciphon.dll", "ciphon_check.exe"):
                shutil.copy(os.path.join(args.dll, f), work)
            # Wine's Z: drive is the host's root.
            winpath = lambda p: "Z:" + os.path.abspath(p).replace("/", "\\")
            bits = subprocess.run([args.wine, os.path.join(work, "ciphon_check.exe"), "--bits"],
                                  capture_output=True, text=True, cwd=work).stdout.strip()

        ours, theirs, dll = [], [], []
        for _ in range(args.runs):
            if args.dll:
                wall, text, _ = run_measured([args.wine, os.path.join(work, "ciphon_check.exe"),
                                              "--time", "Enblow", winpath(plain), winpath(out),
                                              KEY.hex()])
                words = text.split()
                if "returned 0 in" not in text or os.path.getsize(out) != size:
                    sys.exit("Ciphon.dll failed: %s" % text.strip())
                dll.append((float(words[-2]), wall))
                os.remove(out)

            _, text, rss = run_measured([sys.executable, "-c", CHILD, args.lib, plain, out,
                                         KEY.hex()])
            seconds, rc = text.split()
            if int(rc) != 0 or os.path.getsize(out) != size:
                sys.exit("Enblow failed: result %s, %d bytes" % (rc, os.path.getsize(out)))
            ours.append((float(seconds), rss - base_rss))
            os.remove(out)

            wall, _, rss = run_measured(["openssl", "enc", "-bf-ecb", "-provider", "legacy",
                                         "-provider", "default", "-nopad", "-K",
                                         KEY[:16].hex(), "-in", plain, "-out", out])
            if os.path.getsize(out) != size:
                sys.exit("openssl wrote %d bytes" % os.path.getsize(out))
            theirs.append((wall, rss))
            os.remove(out)

        mib = size / float(1 << 20)
        best_ours = min(t for t, _ in ours)
        best_theirs = min(t for t, _ in theirs)
        print("input: %d MiB in %s, %d runs each, best run counted"
              % (args.mib, os.path.dirname(work), args.runs))
        print("Enblow:      %8.1f MiB/s  (%.3f s; runs %s)  peak memory %.0f MiB above the"
              " interpreter (%.2fx input)"
              % (mib / best_ours, best_ours, ", ".join("%.3f" % t for t, _ in ours),
                 max(r for _, r in ours) / 1024.0, max(r for _, r in ours) / 1024.0 / mib))
        print("openssl enc: %8.1f MiB/s  (%.3f s; runs %s)  peak memory %.0f MiB"
              % (mib / best_theirs, best_theirs, ", ".join("%.3f" % t for t, _ in theirs),
                 max(r for _, r in theirs) / 1024.0))
        print("throughput ratio Enblow/openssl: %.2fx" % (best_theirs / best_ours))
        if dll:
            best_call = min(c for c, _ in dll)
            best_wall = min(w for _, w in dll)
            print("Ciphon.dll (%s-bit, Wine): %8.1f MiB/s  (call %.3f s; runs %s)"
                  % (bits, mib / best_call, best_call, ", ".join("%.3f" % c for c, _ in dll)))
            print("  whole Wine process:       %8.1f MiB/s  (%.3f s; runs %s)"
                  % (mib / best_wall, best_wall, ", ".join("%.3f" % w for _, w in dll)))
            print("throughput ratio Ciphon.dll/openssl: %.2fx (call), %.2fx (whole process)"
                  % (best_theirs / best_call, best_theirs / best_wall))
    finally:
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    main()
