#!/usr/bin/env python3
"""Which machine a Windows program is built for: the machine field of its file header.

As a program: pe_machine.py FILE prints i386, amd64, the field in hex for another machine,
or "none" for a file that is not a Windows program. As a module: machine(path) gives the
field (I386, AMD64, ...) or None, field_offset(path) where it lies in the file.
"""
import sys

I386, AMD64 = 0x14C, 0x8664
NAMES = {I386: "i386", AMD64: "amd64"}


def field_offset(path):
    """The file offset of the machine field; None for a file that is not a Windows program."""
    with open(path, "rb") as f:
        head = f.read(4096)
    if head[:2] != b"MZ" or len(head) < 64:
        return None
    offset = int.from_bytes(head[60:64], "little")
    return offset + 4 if head[offset:offset + 4] == b"PE\0\0" else None


def machine(path):
    offset = field_offset(path)
    if offset is None:
        return None
    with open(path, "rb") as f:
        f.seek(offset)
        return int.from_bytes(f.read(2), "little")


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: pe_machine.py FILE")
    field = machine(sys.argv[1])
    print("none" if field is None else NAMES.get(field, "%04x" % field))
