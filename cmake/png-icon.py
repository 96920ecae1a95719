#!/usr/bin/env python3
"""Writes a Windows icon file holding the given PNG pictures, one image each
(PNG-compressed images, as Windows reads them since Vista)."""
import struct
import sys


def png_size_and_bits(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n" or data[12:16] != b"IHDR":
        raise SystemExit("not a PNG picture")
    width, height, depth, colour = struct.unpack(">IIBB", data[16:26])
    channels = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}[colour]
    return width, height, depth * channels


def main(out, pngs):
    images = [open(p, "rb").read() for p in pngs]
    offset = 6 + 16 * len(images)
    entries = b""
    for data in images:
        width, height, bits = png_size_and_bits(data)
        if width > 256 or height > 256:
            raise SystemExit("an icon image is at most 256 pixels on a side")
        entries += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    with open(out, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)) + entries + b"".join(images))


if __name__ == "__main__":
    if len(sys.argv) < 3:
        raise SystemExit("usage: png-icon.py OUT.ico PICTURE.png...")
    main(sys.argv[1], sys.argv[2:])
