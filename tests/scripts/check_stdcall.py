#!/usr/bin/env python3
"""Checks that a 32-bit DLL's exports really are stdcall, without running it.

Usage: check_stdcall.py OBJDUMP DLL HEADER...

A stdcall function removes its arguments from the stack when it returns
("ret $N", N = 4 bytes per argument on i686); a caller that binds it with
GetProcAddress relies on that, and a cdecl function in its place ("ret")
leaves the caller's stack pointer off by N after every call. For every
function the headers declare with KV_STDCALL and the DLL exports, the code at
the export's address is disassembled and every return in it must pop exactly
four bytes per declared parameter; a function that ends in a tail call to
another function is checked through that one. The internal symbol the
compiler gave the entry (_Name@N) must carry the same N.
"""
import os
import re
import subprocess
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from check_pe_exports import read_table  # noqa: E402

DECLARATION = re.compile(r"KV_(?:API|EXPORT)\s+int\s+KV_STDCALL\s+(\w+)\s*\(([^)]*)\)")
WIDE_TYPES = re.compile(r"\b(long\s+long|double|int64_t|uint64_t)\b")


def declared_argument_bytes(headers):
    expected = {}
    for header in headers:
        text = open(header, encoding="utf-8").read()
        for m in DECLARATION.finditer(text):
            name, parameters = m.group(1), " ".join(m.group(2).split())
            if WIDE_TYPES.search(parameters):
                sys.exit("%s: %s has a parameter wider than 4 bytes; this check counts 4 per parameter" % (header, name))
            count = 0 if parameters in ("", "void") else parameters.count(",") + 1
            expected[name] = 4 * count
    return expected


class Disassembly:
    LABEL = re.compile(r"^([0-9a-f]+) <([^>]+)>:$")
    INSTRUCTION = re.compile(r"^\s*([0-9a-f]+):\s+(\S+)\s*(.*)$")

    def __init__(self, objdump, dll):
        text = subprocess.run([objdump, "-d", "--no-show-raw-insn", dll], check=True, capture_output=True,
                              text=True).stdout
        self.functions = {}  # start address -> (symbol, [(address, mnemonic, operands)])
        current = None
        for line in text.splitlines():
            m = self.LABEL.match(line)
            if m:
                current = (m.group(2), [])
                self.functions[int(m.group(1), 16)] = current
                continue
            m = self.INSTRUCTION.match(line)
            if m and current is not None:
                current[1].append((int(m.group(1), 16), m.group(2), m.group(3)))

    def returns(self, start, depth=0):
        """The operands of every return reached from `start`: its own, or
        those of the functions it tail-calls when it has none."""
        if start not in self.functions or depth > 4:
            return None
        _, body = self.functions[start]
        end = body[-1][0] if body else start
        own = [operands.strip() for _, mnemonic, operands in body if mnemonic.startswith("ret")]
        if own:
            return own
        found = []
        for _, mnemonic, operands in body:
            m = re.match(r"([0-9a-f]+) <", operands)
            if mnemonic == "jmp" and m and not start <= int(m.group(1), 16) <= end:
                deeper = self.returns(int(m.group(1), 16), depth + 1)
                if deeper is None:
                    return None
                found += deeper
        return found or None


def main():
    objdump, dll = sys.argv[1:3]
    expected = declared_argument_bytes(sys.argv[3:])
    if not expected:
        sys.exit("no KV_STDCALL declarations in " + " ".join(sys.argv[3:]))
    text = subprocess.run([objdump, "-p", dll], check=True, capture_output=True, text=True).stdout
    image_base = int(re.search(r"^ImageBase\s+([0-9a-f]+)", text, re.M).group(1), 16)
    addresses, names = read_table(objdump, dll)
    code = Disassembly(objdump, dll)
    faults = []
    checked = 0
    for name, arguments in sorted(expected.items()):
        if name not in names:
            continue  # the export table check reports missing names
        start = image_base + addresses[names[name]]
        if start not in code.functions:
            faults.append("%s: no function starts at the export's address %x" % (name, start))
            continue
        symbol = code.functions[start][0]
        m = re.match(r"_\w+@(\d+)$", symbol)
        if not m or int(m.group(1)) != arguments:
            faults.append("%s: entry symbol %s, expected _<name>@%d" % (name, symbol, arguments))
        returns = code.returns(start)
        if returns is None:
            faults.append("%s: no return found in %s" % (name, symbol))
            continue
        want = "$0x%x" % arguments if arguments else ""
        wrong = sorted(set(r for r in returns if r != want))
        if wrong:
            faults.append("%s: returns with '%s', expected 'ret %s'" % (name, "', '".join(wrong), want))
        checked += 1
    for fault in faults:
        print(fault)
    print("%d stdcall exports checked, %d faults" % (checked, len(faults)))
    return 1 if faults or checked == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
