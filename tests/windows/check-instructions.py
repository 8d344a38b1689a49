#!/usr/bin/env python3
"""Checks that 32-bit Windows binaries hold only instructions a Pentium MMX
(and so a K6-2) runs.

    check-instructions.py OBJDUMP BINARY...

Disassembles each binary's code with `OBJDUMP -d` and looks for what came
after the Pentium MMX: the Pentium Pro's conditional moves, x87 compares
into the flags and long no-ops, and everything of SSE (xmm registers, the
SSE integer and prefetch instructions, fences, streaming stores); 3DNow!
is the K6-2's only.  ud2, which the compiler puts on paths that must trap,
counts as the Pentium's: its 0F 0B raises the invalid-opcode exception on
every x86, which is all it is for.  Names every function that holds a newer
instruction; exits 1 when any does.
"""
import collections
import re
import subprocess
import sys

NEWER = re.compile(
    r"^(cmov\w+|fcmov\w+|fu?comip?|nop[wl]|sysenter|sysexit|fxsave|fxrstor|ldmxcsr|stmxcsr|"
    r"prefetch\w*|[lms]fence|movnt\w+|maskmovq|clflush|pshufw|pavg[bw]|pmaxub|pminub|pmaxsw|pminsw|"
    r"pmovmskb|pinsrw|pextrw|psadbw|pmulhuw|femms|pf\w+|pi2f\w|pmulhrw|pavgusb|pswapd)$")
SSE_REGISTER = re.compile(r"%[xy]mm\d")


def newer_instructions(objdump, binary):
    """Function name -> counts of the newer instructions found in it."""
    listing = subprocess.run([objdump, "-d", "-C", "--no-show-raw-insn", binary],
                             check=True, capture_output=True, text=True).stdout
    found = collections.defaultdict(collections.Counter)
    function = "?"
    instructions = 0
    for line in listing.splitlines():
        label = re.match(r"^[0-9a-f]+ <(.*)>:$", line)
        if label:
            function = label.group(1)
            continue
        code = re.match(r"^\s*[0-9a-f]+:\t(\S+)\s*(.*)$", line)
        if not code:
            continue
        instructions += 1
        mnemonic, operands = code.group(1), code.group(2)
        if NEWER.match(mnemonic) or SSE_REGISTER.search(operands):
            found[function][mnemonic] += 1
    return instructions, found


def main(arguments):
    if len(arguments) < 2:
        print(__doc__.strip())
        return 2
    objdump, binaries = arguments[0], arguments[1:]
    failures = 0
    for binary in binaries:
        name = re.sub(r"^.*/", "", binary)
        instructions, found = newer_instructions(objdump, binary)
        if instructions == 0:
            print("%s: no code found" % name)
            failures += 1
            continue
        for function, counts in sorted(found.items()):
            listed = ", ".join("%s x%d" % item for item in sorted(counts.items()))
            print("%s: %s holds %s" % (name, function, listed))
        total = sum(sum(counts.values()) for counts in found.values())
        print("%s: %d instructions, %d beyond the Pentium MMX in %d functions" % (name, instructions, total, len(found)))
        failures += total
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
