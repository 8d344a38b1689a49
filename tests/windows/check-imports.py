#!/usr/bin/env python3
"""Checks that 32-bit Windows binaries import only what Windows 98 SE and
NT 4.0 both export.

    check-imports.py OBJDUMP ALLOW_LIST BINARY...

Reads each binary's import table with `OBJDUMP -p` and compares it with the
allow-list ("DLL function" lines).  For a function not on it, the linker map
beside the binary (BINARY.map) tells which object pulled it in, and why that
object was linked, back to one of the program's own.  Exits 1 when any
binary imports something else.
"""
import re
import subprocess
import sys


def read_allow_list(path):
    allowed = set()
    with open(path, encoding="ascii") as lines:
        for line in lines:
            words = line.split("#", 1)[0].split()
            if len(words) == 2:
                allowed.add((words[0].upper(), words[1]))
    return allowed


def read_imports(objdump, binary):
    """(DLL, function) pairs; functions imported by number are "#N"."""
    listing = subprocess.run([objdump, "-p", binary], check=True, capture_output=True, text=True).stdout
    imports = []
    dll = None
    for line in listing.splitlines():
        named = re.match(r"\s*DLL Name: (\S+)", line)
        if named:
            dll = named.group(1).upper()
            continue
        if dll is None:
            continue
        entry = re.match(r"\t[0-9a-f]+\t\s*(\d+)\s+(\S+)", line)
        ordinal = re.match(r"\t[0-9a-f]+\t\s*<none>\s+([0-9a-f]+)", line)
        if entry:
            imports.append((dll, entry.group(2)))
        elif ordinal:
            imports.append((dll, "#%d" % int(ordinal.group(1), 16)))
        elif not line.strip():
            dll = None
    return imports


def read_map(path):
    """Why each archive member was linked: member -> (referring file, symbol)."""
    reasons = {}
    try:
        with open(path, encoding="utf-8", errors="replace") as lines:
            text = lines.read()
    except OSError:
        return reasons
    section = text.split("Archive member included to satisfy reference by file (symbol)", 1)[-1]
    section = re.split(r"\n(?:Discarded input sections|Allocating common symbols|Memory Configuration)", section)[0]
    member = None
    for line in section.splitlines():
        if not line.strip():
            continue
        if not line[0].isspace():
            parts = re.split(r"\s{2,}", line.strip(), maxsplit=1)
            member = parts[0]
            if len(parts) == 1:
                continue
            line = parts[1]
        reason = re.match(r"\s*(.*\S)\s+\((.*)\)\s*$", line)
        if member and reason:
            reasons[member] = (reason.group(1), reason.group(2))
            member = None
    return reasons


def short(name):
    return re.sub(r"^.*/", "", name)


def who_pulls(function, reasons):
    """The chain of objects that brought the import in, nearest first."""
    symbol = re.compile(r"^_?(_imp__)?_?%s(@\d+)?$" % re.escape(function))
    stub = next((member for member, (_, sym) in reasons.items() if symbol.match(sym)), None)
    if stub is None:
        return []
    chain = []
    referrer, why = reasons[stub]
    while referrer and len(chain) < 12:
        chain.append("%s (for %s)" % (short(referrer), why))
        if referrer not in reasons:
            break
        referrer, why = reasons[referrer]
    return chain


def main(arguments):
    if len(arguments) < 3:
        print(__doc__.strip())
        return 2
    objdump, allow_list, binaries = arguments[0], arguments[1], arguments[2:]
    allowed = read_allow_list(allow_list)
    failures = 0
    for binary in binaries:
        imports = read_imports(objdump, binary)
        if not imports:
            print("%s: no import table found" % binary)
            failures += 1
            continue
        reasons = read_map(binary + ".map")
        foreign = [(dll, function) for dll, function in imports if (dll, function) not in allowed]
        for dll, function in foreign:
            chain = who_pulls(function, reasons)
            print("%s imports %s from %s, which Windows 98 SE or NT 4.0 does not export" % (short(binary), function, dll))
            for step in chain:
                print("    pulled in by %s" % step)
            if not chain:
                print("    (no linker map entry names who pulls it in)")
        print("%s: %d imports, %d not on %s" % (short(binary), len(imports), len(foreign), short(allow_list)))
        failures += len(foreign)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
