#!/usr/bin/python3
"""Writes the screen of a virtual X display as a PNG.

Xvfb started with -fbdir keeps its screen in an XWD file there; this reads
that file (24-bit colour in 32-bit pixels, as Xvfb writes it) and writes
the PNG through a temporary file, so a viewer never sees half a picture.
Usage: xwd_to_png.py XWD_FILE PNG_FILE
"""
import os
import struct
import sys
import zlib


def chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def main(source, target):
    with open(source, "rb") as f:
        data = f.read()
    fields = struct.unpack(">25I", data[:100])
    header_size, width, height = fields[0], fields[4], fields[5]
    byte_order, bits_per_pixel, bytes_per_line = fields[7], fields[11], fields[12]
    ncolors = fields[19]
    if bits_per_pixel != 32:
        sys.exit(f"xwd_to_png: {bits_per_pixel} bits a pixel are not read")
    start = header_size + ncolors * 12
    # Least significant byte first: blue, green, red, unused.
    blue, red = (0, 2) if byte_order == 0 else (3, 1)
    rows = bytearray()
    for y in range(height):
        line = data[start + y * bytes_per_line:start + y * bytes_per_line + width * 4]
        pixels = bytearray(width * 3)
        pixels[0::3] = line[red::4]
        pixels[1::3] = line[1 if byte_order == 0 else 2::4]
        pixels[2::3] = line[blue::4]
        rows += b"\0" + pixels
    png = (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0))
           + chunk(b"IDAT", zlib.compress(bytes(rows), 6)) + chunk(b"IEND", b""))
    temporary = target + ".part"
    with open(temporary, "wb") as f:
        f.write(png)
    os.replace(temporary, target)


if __name__ == "__main__":
    main(sys.argv[1], sys.argv[2])
