#!/usr/bin/env python3
"""Points a linked Windows program's load configuration directory at its
_load_config_used structure (base/DllSearchWin32.cpp).

MinGW's ld 2.40 leaves that directory empty, so Windows would never read
the structure's DependentLoadFlags: the libraries the program imports would
then be searched in its own folder first.
Usage: set-load-config.py NM PROGRAM.exe
"""
import struct
import subprocess
import sys

SYMBOL = "_load_config_used"
LOAD_CONFIG_ENTRY = 10


def fail(text):
    sys.exit("set-load-config: %s" % text)


def main():
    nm, program = sys.argv[1], sys.argv[2]
    symbols = subprocess.run([nm, program], check=True, capture_output=True, text=True).stdout
    address = [int(line.split()[0], 16) for line in symbols.splitlines()
               if line.split()[-1:] == [SYMBOL]]
    if len(address) != 1:
        fail("%s: no single %s" % (program, SYMBOL))
    with open(program, "r+b") as exe:
        image = bytearray(exe.read())
        header = struct.unpack_from("<I", image, 0x3C)[0]
        if image[header:header + 4] != b"PE\0\0":
            fail("%s is no PE file" % program)
        sections = struct.unpack_from("<H", image, header + 6)[0]
        optional_size = struct.unpack_from("<H", image, header + 20)[0]
        optional = header + 24
        if struct.unpack_from("<H", image, optional)[0] != 0x20B:
            fail("%s is not a 64-bit program" % program)
        image_base = struct.unpack_from("<Q", image, optional + 24)[0]
        rva = address[0] - image_base
        # The structure's size is its first field; the directory says the same.
        table = optional + optional_size
        for i in range(sections):
            virtual_size, virtual_address, _, raw = struct.unpack_from("<IIII", image,
                                                                      table + 40 * i + 8)
            if virtual_address <= rva < virtual_address + virtual_size:
                size = struct.unpack_from("<I", image, raw + rva - virtual_address)[0]
                break
        else:
            fail("%s: %s is in no section" % (program, SYMBOL))
        struct.pack_into("<II", image, optional + 112 + 8 * LOAD_CONFIG_ENTRY, rva, size)
        exe.seek(0)
        exe.write(image)


if __name__ == "__main__":
    main()
