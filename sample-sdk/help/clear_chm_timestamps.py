#!/usr/bin/env python3
"""Clears the build time stamps of a compiled help file, so that the same
sources always give the same bytes: the one in the ITSF header and the
timestamp entry (code 10) of the uncompressed #SYSTEM file.

usage: clear_chm_timestamps.py FILE
"""

import struct
import sys


def encint(data, i):
    value = 0
    while True:
        byte = data[i]
        i += 1
        value = (value << 7) | (byte & 0x7F)
        if not byte & 0x80:
            return value, i


def system_file(data):
    """(offset, length) of /#SYSTEM, which lives in the uncompressed section 0."""
    header_length = struct.unpack_from("<I", data, 8)[0]
    directory, directory_length = struct.unpack_from("<QQ", data, 0x48)
    if header_length >= 0x60:
        content = struct.unpack_from("<Q", data, 0x58)[0]
    else:  # version 2 headers: the content follows the directory
        content = directory + directory_length
    if data[directory:directory + 4] != b"ITSP":
        raise ValueError("no ITSP directory")
    header_size = struct.unpack_from("<I", data, directory + 8)[0]
    chunk_size = struct.unpack_from("<I", data, directory + 0x10)[0]
    chunks = struct.unpack_from("<I", data, directory + 0x2C)[0]
    for index in range(chunks):
        start = directory + header_size + index * chunk_size
        chunk = data[start:start + chunk_size]
        if chunk[:4] != b"PMGL":
            continue
        free = struct.unpack_from("<I", chunk, 4)[0]
        i = 20
        while i < chunk_size - free:
            n, i = encint(chunk, i)
            name = chunk[i:i + n]
            i += n
            section, i = encint(chunk, i)
            offset, i = encint(chunk, i)
            length, i = encint(chunk, i)
            if name == b"/#SYSTEM" and section == 0:
                return content + offset, length
    raise ValueError("no /#SYSTEM in section 0")


def main():
    if len(sys.argv) != 2:
        print(__doc__.strip().splitlines()[-1], file=sys.stderr)
        return 2
    path = sys.argv[1]
    with open(path, "rb") as f:
        data = bytearray(f.read())
    if data[:4] != b"ITSF":
        print("%s: not a compiled help file" % path, file=sys.stderr)
        return 1
    data[16:20] = b"\0\0\0\0"
    offset, length = system_file(data)
    i, end = offset + 4, offset + length  # after the version double-word
    while i + 4 <= end:
        code, size = struct.unpack_from("<HH", data, i)
        if code == 10 and size == 4:
            data[i + 4:i + 8] = b"\0\0\0\0"
        i += 4 + size
    with open(path, "wb") as f:
        f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
