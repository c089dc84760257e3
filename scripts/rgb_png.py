"""Writes PNG files in 24-bit colour with the standard library alone, for the
scripts that draw the program's pictures (resources/make_icon.py and
help/make_images.py). The same pixels always give the same bytes, so a picture
drawn again compares equal to the committed one."""

import struct
import zlib


def encode(width, height, rows):
    """The PNG file of `rows`: `height` rows, each `width` pixels of three
    bytes (red, green, blue). Colour type 2, 8 bits per channel, no alpha, no
    filter, compressed at level 9."""
    rows = [bytes(row) for row in rows]
    if len(rows) != height or any(len(row) != 3 * width for row in rows):
        raise ValueError(f"the rows are not {height} rows of {width} pixels")

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    header = struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)
    raw = b"".join(b"\x00" + row for row in rows)
    return (
        b"\x89PNG\r\n\x1a\n"
        + chunk(b"IHDR", header)
        + chunk(b"IDAT", zlib.compress(raw, 9))
        + chunk(b"IEND", b"")
    )


def write(path, width, height, rows):
    """Writes `rows` (as for encode) to the file `path`."""
    with open(path, "wb") as out:
        out.write(encode(width, height, rows))
