#!/usr/bin/env python3
"""Checks a DLL's export table (from objdump -p) against its export list.

Usage: check_pe_exports.py OBJDUMP DLL LIST

LIST has "<ordinal> <name>" lines ('#' comments); "Class::*" stands for the
class's exported members (names beginning _ZN<length><Class>), the first of
them under the ordinal. Fails on a missing name, a name under another
ordinal, a decorated name (Name@8, _Name), a name not in the list, and an
ordinal outside the list that exports anything. KOVALINK_SAME_ENTRY
("alias=name,...") names exports that must share one address.
"""
import os
import re
import subprocess
import sys


def read_list(path):
    expected = {}
    for line in open(path, encoding="utf-8"):
        line = line.strip()
        if not line or line.startswith("#"):
            continue
        ordinal, name = line.split(None, 1)
        expected[int(ordinal)] = name
    return expected


def read_table(objdump, dll):
    text = subprocess.run([objdump, "-p", dll], check=True, capture_output=True, text=True).stdout
    base = int(re.search(r"Ordinal Base\s+(\d+)", text).group(1))
    addresses = {}
    for m in re.finditer(r"^\s*\[\s*\d+\] \+base\[\s*(\d+)\]\s+([0-9a-f]+) Export RVA", text, re.M):
        if int(m.group(2), 16) != 0:
            addresses[int(m.group(1))] = int(m.group(2), 16)
    names = {}
    section = text.split("[Ordinal/Name Pointer] Table", 1)
    if len(section) == 2:
        for m in re.finditer(r"^\s*\[\s*(\d+)\] (\S+)\s*$", section[1], re.M):
            names[m.group(2)] = int(m.group(1)) + base
    return addresses, names


def main():
    objdump, dll, list_path = sys.argv[1:4]
    expected = read_list(list_path)
    addresses, names = read_table(objdump, dll)
    faults = []
    listed = set()
    for ordinal, name in sorted(expected.items()):
        if name.endswith("::*"):
            cls = name[:-3]
            members = [n for n in names if n.startswith("_ZN%d%s" % (len(cls), cls))]
            if not members:
                faults.append("missing: members of %s" % cls)
            elif ordinal not in [names[n] for n in members]:
                faults.append("no member of %s under ordinal %d" % (cls, ordinal))
            listed.update(members)
            continue
        listed.add(name)
        if name not in names:
            faults.append("missing: %s (ordinal %d)" % (name, ordinal))
        elif names[name] != ordinal:
            faults.append("%s under ordinal %d, not %d" % (name, names[name], ordinal))
    for name, ordinal in sorted(names.items()):
        if "@" in name or (name.startswith("_") and not name.startswith("_ZN")):
            faults.append("decorated: %s" % name)
        elif name not in listed:
            faults.append("not in the list: %s (ordinal %d)" % (name, ordinal))
    used = set(names.values())
    for ordinal in sorted(addresses):
        if ordinal not in used:
            faults.append("ordinal %d exports an address without a name" % ordinal)
    for pair in filter(None, os.environ.get("KOVALINK_SAME_ENTRY", "").split(",")):
        alias, original = pair.split("=")
        if alias in names and original in names:
            if addresses.get(names[alias]) != addresses.get(names[original]):
                faults.append("%s and %s are not one entry point" % (alias, original))
    for fault in faults:
        print(fault)
    print("%s: %d names checked, %d faults" % (os.path.basename(dll), len(names), len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
