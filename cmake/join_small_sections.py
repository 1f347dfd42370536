#!/usr/bin/env python3
"""Writes the linker's default script for Windows programs with its small
sections joined to larger ones: the runtime's start-up tables (.CRT) and the
thread-local template (.tls) into .data, and the unwind codes (.xdata) into
.rdata. A program file rounds every section up to 512 bytes, so these few
dozen bytes each cost a whole block of every package that carries the stub.
The loader finds the TLS directory through its own entry, and unwind codes
through .pdata's addresses, wherever they lie.

    join_small_sections.py LINKER OUTPUT
"""
import re
import subprocess
import sys

linker, output = sys.argv[1], sys.argv[2]
text = subprocess.run([linker, "--verbose"], check=True, capture_output=True, text=True).stdout
script = re.search(r"\n=+\n(.*)\n=+", text, re.S).group(1)


def take(name):
    """Removes output section `name` from the script and answers its body."""
    global script
    found = re.search(r"\n  " + re.escape(name) + r" BLOCK\(__section_alignment__\) :\n  \{\n(.*?)\n  \}\n",
                      script, re.S)
    if not found:
        return ""
    script = script[:found.start()] + "\n" + script[found.end():]
    return found.group(1) + "\n"


def append_to(name, body):
    global script
    found = re.search(r"\n  " + re.escape(name) + r" BLOCK\(__section_alignment__\) :\n  \{\n.*?\n(?=  \}\n)",
                      script, re.S)
    if not found:
        sys.exit(f"join_small_sections: no {name} section in the linker's script")
    script = script[:found.end()] + body + script[found.end():]


# Tables the default script leaves to the linker's placement of strays
# (.CRT$XDA ...) follow the named ones, as they did in .CRT.
crt = take(".CRT")
if crt:
    crt += "    KEEP (*(SORT(.CRT$*)))\n"
append_to(".data", crt + take(".tls"))
append_to(".rdata", take(".xdata"))
with open(output, "w") as out:
    out.write(script)
