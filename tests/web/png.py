"""PNG images in and out, with Python's standard library only: what a test
needs to read the pixels of a browser's screenshot and to keep one."""

import struct
import zlib


class Image:
    """WIDTH by HEIGHT pixels, each an (r, g, b) tuple."""

    def __init__(self, width, height, rows):
        self.width = width
        self.height = height
        self.rows = rows  # one bytes object of r, g, b per row

    def pixel(self, x, y):
        row = self.rows[y]
        return tuple(row[3 * x:3 * x + 3])

    def crop(self, x, y, width, height):
        return Image(width, height, [row[3 * x:3 * (x + width)] for row in self.rows[y:y + height]])

    def count(self, colour, tolerance=0):
        """How many pixels are COLOUR, each channel within TOLERANCE."""
        total = 0
        for row in self.rows:
            for i in range(0, len(row), 3):
                if (abs(row[i] - colour[0]) <= tolerance and abs(row[i + 1] - colour[1]) <= tolerance
                        and abs(row[i + 2] - colour[2]) <= tolerance):
                    total += 1
        return total

    def encode(self):
        raw = b"".join(b"\x00" + row for row in self.rows)
        def chunk(kind, data):
            return (struct.pack(">I", len(data)) + kind + data
                    + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))
        header = struct.pack(">IIBBBBB", self.width, self.height, 8, 2, 0, 0, 0)
        return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 6))
                + chunk(b"IEND", b""))


def decode(data):
    """An Image from the bytes of an 8-bit, non-interlaced RGB or RGBA PNG
    (alpha dropped), as browsers write screenshots."""
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("not a PNG")
    position = 8
    compressed = b""
    while position < len(data):
        length, kind = struct.unpack(">I4s", data[position:position + 8])
        body = data[position + 8:position + 8 + length]
        position += 12 + length
        if kind == b"IHDR":
            width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", body)
            if depth != 8 or colour not in (2, 6) or interlace:
                raise ValueError("PNG of depth %d, colour type %d, interlace %d" % (depth, colour, interlace))
            channels = 3 if colour == 2 else 4
        elif kind == b"IDAT":
            compressed += body
        elif kind == b"IEND":
            break
    raw = zlib.decompress(compressed)
    stride = width * channels
    rows = []
    previous = bytearray(stride)
    for y in range(height):
        start = y * (stride + 1)
        kind = raw[start]
        line = bytearray(raw[start + 1:start + 1 + stride])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            upper_left = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + ((left + up) >> 1)) & 0xFF
            elif kind == 4:
                p = left + up - upper_left
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - upper_left)
                predictor = left if pa <= pb and pa <= pc else (up if pb <= pc else upper_left)
                line[i] = (line[i] + predictor) & 0xFF
        previous = line
        if channels == 4:
            line = bytearray(b for i, b in enumerate(line) if i % 4 != 3)
        rows.append(bytes(line))
    return Image(width, height, rows)
