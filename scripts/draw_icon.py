#!/usr/bin/env python3
"""Draw the Пъзел 15 application icon: a hamburger on a transparent background.

The picture is built from simple geometric shapes laid out on a 32x32 unit
canvas, so the same drawing can be rendered at any size.  Running

    python3 scripts/draw_icon.py

from the repository root writes:

    resources/icon-32.png    32x32 indexed PNG, palette index 0 transparent
    resources/icon-32.xpm    the same image as XPM, C source the program
                             compiles in as its window icon
    resources/icon-64.png    64x64 RGBA PNG (antialiased)
    resources/icon-128.png   128x128 RGBA PNG (antialiased)
    resources/icon-256.png   256x256 RGBA PNG (antialiased)
    resources/puzzle15.ico   Windows icon: the 32x32 image (8-bit BMP) first,
                             then the 64, 128 and 256 RGBA PNGs for Explorer's
                             larger views
    web/icon-192.png         192x192 and 512x512 RGBA PNGs, the web app's
    web/icon-512.png         icons (its manifest's, and the page's)

Only the Python standard library is used and the output is byte-for-byte
identical on every run.
"""

import math
import os
import struct
import zlib

UNITS = 32.0  # size of the design canvas

# --------------------------------------------------------------------------
# Shapes.  Every shape answers "is point (x, y) inside?" in canvas units and
# can produce a copy of itself grown by t units (used for the dark outline).
# --------------------------------------------------------------------------


class Ellipse:
    def __init__(self, cx, cy, rx, ry):
        self.cx, self.cy, self.rx, self.ry = cx, cy, rx, ry
        self.bbox = (cx - rx, cy - ry, cx + rx, cy + ry)

    def contains(self, x, y):
        dx = (x - self.cx) / self.rx
        dy = (y - self.cy) / self.ry
        return dx * dx + dy * dy <= 1.0

    def grown(self, t):
        return Ellipse(self.cx, self.cy, self.rx + t, self.ry + t)


class RoundRect:
    """Axis-aligned rectangle with separate top and bottom corner radii."""

    def __init__(self, x0, y0, x1, y1, rtop, rbottom=None):
        if rbottom is None:
            rbottom = rtop
        self.x0, self.y0, self.x1, self.y1 = x0, y0, x1, y1
        self.rtop, self.rbottom = rtop, rbottom
        self.bbox = (x0, y0, x1, y1)

    def contains(self, x, y):
        if x < self.x0 or x > self.x1 or y < self.y0 or y > self.y1:
            return False
        if y < self.y0 + self.rtop:
            r, cy = self.rtop, self.y0 + self.rtop
        elif y > self.y1 - self.rbottom:
            r, cy = self.rbottom, self.y1 - self.rbottom
        else:
            return True
        if x < self.x0 + r:
            cx = self.x0 + r
        elif x > self.x1 - r:
            cx = self.x1 - r
        else:
            return True
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r

    def grown(self, t):
        return RoundRect(self.x0 - t, self.y0 - t, self.x1 + t, self.y1 + t,
                         self.rtop + t, self.rbottom + t)


class Below:
    """Half plane y >= y0 (or y <= y0 when flip is set); used for clipping."""

    def __init__(self, y0, flip=False):
        self.y0, self.flip = y0, flip
        self.bbox = (-1e9, -1e9, 1e9, 1e9)

    def contains(self, x, y):
        return y <= self.y0 if self.flip else y >= self.y0

    def grown(self, t):
        return Below(self.y0 + t if self.flip else self.y0 - t, self.flip)


class WavyBand:
    """Horizontal band with a flat top and a wavy bottom edge (lettuce)."""

    def __init__(self, x0, x1, top, base, amp, period, phase=0.0):
        self.x0, self.x1, self.top, self.base = x0, x1, top, base
        self.amp, self.period, self.phase = amp, period, phase
        self.bbox = (x0, top, x1, base + amp)

    def contains(self, x, y):
        if x < self.x0 or x > self.x1 or y < self.top:
            return False
        edge = self.base + self.amp * math.sin(
            2.0 * math.pi * (x - self.x0) / self.period + self.phase)
        return y <= edge

    def grown(self, t):
        return WavyBand(self.x0 - t, self.x1 + t, self.top - t, self.base + t,
                        self.amp, self.period, self.phase)


class Union:
    def __init__(self, *parts):
        self.parts = parts
        self.bbox = (min(p.bbox[0] for p in parts), min(p.bbox[1] for p in parts),
                     max(p.bbox[2] for p in parts), max(p.bbox[3] for p in parts))

    def contains(self, x, y):
        return any(p.contains(x, y) for p in self.parts)

    def grown(self, t):
        return Union(*(p.grown(t) for p in self.parts))


class Intersection:
    def __init__(self, *parts):
        self.parts = parts
        self.bbox = (max(p.bbox[0] for p in parts), max(p.bbox[1] for p in parts),
                     min(p.bbox[2] for p in parts), min(p.bbox[3] for p in parts))

    def contains(self, x, y):
        return all(p.contains(x, y) for p in self.parts)

    def grown(self, t):
        return Intersection(*(p.grown(t) for p in self.parts))


# --------------------------------------------------------------------------
# The hamburger.
# --------------------------------------------------------------------------

OUTLINE = (59, 30, 12)
BUN = (232, 160, 58)
BUN_LIGHT = (248, 200, 112)
BUN_SHADE = (196, 122, 38)
SEED = (255, 246, 214)
LETTUCE = (110, 196, 66)
LETTUCE_DARK = (62, 140, 40)
CHEESE = (255, 208, 48)
PATTY = (122, 66, 34)
PATTY_DARK = (88, 44, 22)
PATTY_LIGHT = (150, 90, 54)

OUTLINE_WIDTH = 1.0


def build_layers():
    """Return (colour, shape) pairs, topmost first."""
    bun_top = Union(
        Intersection(Ellipse(16.0, 13.0, 13.5, 10.0), Below(13.0, flip=True)),
        RoundRect(2.5, 11.0, 29.5, 15.0, 0.0, 2.0),
    )
    lettuce = WavyBand(1.5, 30.5, 14.0, 17.4, 1.0, 6.0, math.pi / 2)
    cheese = Union(
        RoundRect(3.0, 16.0, 29.0, 19.0, 0.0),
        RoundRect(6.0, 17.0, 10.0, 21.6, 0.0, 2.0),
        RoundRect(19.0, 17.0, 23.0, 20.8, 0.0, 2.0),
    )
    patty = RoundRect(2.5, 18.0, 29.5, 24.0, 2.6)
    bun_bottom = RoundRect(4.0, 23.5, 28.0, 29.0, 1.0, 2.8)

    bodies = [bun_top, lettuce, cheese, patty, bun_bottom]

    seeds = [
        Ellipse(11.0, 6.5, 1.05, 0.55),
        Ellipse(17.0, 5.5, 1.05, 0.55),
        Ellipse(22.0, 8.5, 1.05, 0.55),
        Ellipse(8.0, 10.5, 1.05, 0.55),
        Ellipse(14.0, 9.5, 1.05, 0.55),
        Ellipse(20.0, 11.5, 1.05, 0.55),
        Ellipse(25.0, 11.5, 1.05, 0.55),
    ]

    layers = []
    # Top bun with seeds, a highlight and a shaded lower rim.
    for s in seeds:
        layers.append((SEED, s))
    layers.append((BUN_LIGHT, Intersection(bun_top, Ellipse(11.5, 6.5, 5.5, 2.6))))
    layers.append((BUN_SHADE, Intersection(bun_top, Below(13.9))))
    layers.append((BUN, bun_top))
    # Lettuce: darker wave underneath the light one gives a frilly edge.
    layers.append((LETTUCE, WavyBand(1.5, 30.5, 14.0, 16.5, 1.0, 6.0, math.pi / 2)))
    layers.append((LETTUCE_DARK, lettuce))
    layers.append((CHEESE, cheese))
    # Patty with a few lighter grill spots and a darker base.
    for cx, cy in ((8.0, 20.5), (15.0, 21.5), (24.0, 20.5)):
        layers.append((PATTY_LIGHT, Intersection(patty, Ellipse(cx, cy, 1.1, 0.55))))
    layers.append((PATTY_DARK, Intersection(patty, Below(22.9))))
    layers.append((PATTY, patty))
    # Bottom bun, slightly shaded at the base.
    layers.append((BUN_SHADE, Intersection(bun_bottom, Below(27.0))))
    layers.append((BUN, bun_bottom))
    # Dark outline around the whole silhouette.
    for b in bodies:
        layers.append((OUTLINE, b.grown(OUTLINE_WIDTH)))
    return layers


def colour_at(layers, x, y):
    for colour, shape in layers:
        bx0, by0, bx1, by1 = shape.bbox
        if bx0 <= x <= bx1 and by0 <= y <= by1 and shape.contains(x, y):
            return colour
    return None


# --------------------------------------------------------------------------
# Rasterising.
# --------------------------------------------------------------------------


def render_indexed(layers, size, sub):
    """Hard-edged rendering: each pixel takes the most common colour of its
    sub-samples, or is transparent if fewer than half of them are covered."""
    scale = UNITS / size
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            counts = {}
            covered = 0
            for sy in range(sub):
                y = (py + (sy + 0.5) / sub) * scale
                for sx in range(sub):
                    x = (px + (sx + 0.5) / sub) * scale
                    c = colour_at(layers, x, y)
                    if c is not None:
                        covered += 1
                        counts[c] = counts.get(c, 0) + 1
            if covered * 2 < sub * sub:
                row.append(None)
            else:
                # Ties are broken by layer order so the result is stable.
                best = max(counts.items(), key=lambda kv: (kv[1], -ORDER[kv[0]]))
                row.append(best[0])
        pixels.append(row)
    return pixels


def render_rgba(layers, size, sub):
    """Antialiased rendering by averaging sub-samples."""
    scale = UNITS / size
    n = sub * sub
    pixels = []
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = 0
            covered = 0
            for sy in range(sub):
                y = (py + (sy + 0.5) / sub) * scale
                for sx in range(sub):
                    x = (px + (sx + 0.5) / sub) * scale
                    c = colour_at(layers, x, y)
                    if c is not None:
                        covered += 1
                        r += c[0]
                        g += c[1]
                        b += c[2]
            if covered == 0:
                row.append((0, 0, 0, 0))
            else:
                row.append(((r + covered // 2) // covered,
                            (g + covered // 2) // covered,
                            (b + covered // 2) // covered,
                            (255 * covered + n // 2) // n))
        pixels.append(row)
    return pixels


# --------------------------------------------------------------------------
# File writers.
# --------------------------------------------------------------------------


def png_chunk(kind, data):
    body = kind + data
    return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body) & 0xFFFFFFFF)


def png_bytes(width, height, colour_type, raw_rows, plte=None, trns=None):
    raw = b"".join(b"\x00" + row for row in raw_rows)
    out = [b"\x89PNG\r\n\x1a\n",
           png_chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, colour_type, 0, 0, 0))]
    if plte is not None:
        out.append(png_chunk(b"PLTE", plte))
    if trns is not None:
        out.append(png_chunk(b"tRNS", trns))
    out.append(png_chunk(b"IDAT", zlib.compress(raw, 9)))
    out.append(png_chunk(b"IEND", b""))
    return b"".join(out)


def build_palette(pixels):
    """Index 0 is transparent; opaque colours follow in first-seen order."""
    palette = [(0, 0, 0)]
    index = {}
    rows = []
    for row in pixels:
        out = bytearray()
        for c in row:
            if c is None:
                out.append(0)
                continue
            if c not in index:
                index[c] = len(palette)
                palette.append(c)
            out.append(index[c])
        rows.append(bytes(out))
    if len(palette) > 256:
        raise ValueError("too many colours for an indexed image")
    return palette, rows


def indexed_png(size, palette, rows):
    plte = b"".join(bytes(c) for c in palette)
    return png_bytes(size, size, 3, rows, plte=plte, trns=b"\x00")


def rgba_png(size, pixels):
    rows = [b"".join(bytes(p) for p in row) for row in pixels]
    return png_bytes(size, size, 6, rows)


def ico_bytes(size, palette, rows, pngs=()):
    """An .ico whose first image is an 8-bit BMP with a 1-bit AND mask,
    followed by true-colour images stored as PNG, given as (size, bytes)."""
    colours = palette + [(0, 0, 0)] * (256 - len(palette))
    colour_table = b"".join(struct.pack("<BBBB", b, g, r, 0) for (r, g, b) in colours)

    xor_stride = (size + 3) & ~3
    and_stride = ((size + 31) // 32) * 4
    xor_data = bytearray()
    and_data = bytearray()
    for row in reversed(rows):  # BMP rows are stored bottom-up
        xor_data += row + b"\x00" * (xor_stride - size)
        mask = bytearray(and_stride)
        for x, idx in enumerate(row):
            if idx == 0:
                mask[x >> 3] |= 0x80 >> (x & 7)
        and_data += mask

    header = struct.pack("<IiiHHIIiiII",
                         40,             # biSize
                         size,           # biWidth
                         size * 2,       # biHeight: XOR image + AND mask
                         1,              # biPlanes
                         8,              # biBitCount
                         0,              # biCompression (BI_RGB)
                         len(xor_data) + len(and_data),  # biSizeImage
                         0, 0,           # resolution
                         256,            # biClrUsed
                         0)              # biClrImportant
    image = header + colour_table + bytes(xor_data) + bytes(and_data)

    images = [(size, 8, image)] + [(png_size, 32, data) for png_size, data in pngs]
    icondir = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for image_size, bits, data in images:
        entries += struct.pack("<BBBBHHII",
                               image_size if image_size < 256 else 0,
                               image_size if image_size < 256 else 0,
                               0,    # bColorCount: 0 for 256 colours and more
                               0,    # bReserved
                               1,    # wPlanes
                               bits,  # wBitCount
                               len(data),
                               offset)
        offset += len(data)
    return icondir + entries + b"".join(data for _, _, data in images)


def xpm_bytes(name, size, palette, rows):
    """The indexed image as XPM, one character per pixel: index 0 transparent."""
    symbols = ".#abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789"
    if len(palette) > len(symbols):
        raise ValueError("too many colours for a one-character XPM")
    lines = ["%d %d %d 1" % (size, size, len(palette))]
    lines.append(". c None")
    for i, (r, g, b) in enumerate(palette[1:], 1):
        lines.append("%s c #%02X%02X%02X" % (symbols[i], r, g, b))
    lines.extend("".join(symbols[i] for i in row) for row in rows)
    body = ",\n".join('"%s"' % line for line in lines)
    return ("/* XPM */\nstatic const char *const %s[] = {\n%s\n};\n" % (name, body)).encode("ascii")


def write(path, data):
    with open(path, "wb") as f:
        f.write(data)
    print("wrote %s (%d bytes)" % (path, len(data)))


LAYERS = build_layers()
ORDER = {}
for _i, (_c, _s) in enumerate(LAYERS):
    ORDER.setdefault(_c, _i)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    outdir = os.path.join(root, "resources")
    os.makedirs(outdir, exist_ok=True)

    small = render_indexed(LAYERS, 32, 8)
    palette, rows = build_palette(small)
    write(os.path.join(outdir, "icon-32.png"), indexed_png(32, palette, rows))
    write(os.path.join(outdir, "icon-32.xpm"), xpm_bytes("icon_32", 32, palette, rows))

    large = []
    for size, sub in ((64, 4), (128, 4), (256, 3)):
        large.append((size, rgba_png(size, render_rgba(LAYERS, size, sub))))
        write(os.path.join(outdir, "icon-%d.png" % size), large[-1][1])
    write(os.path.join(outdir, "puzzle15.ico"), ico_bytes(32, palette, rows, large))

    # The web app's icons, at the sizes that browsers ask a manifest for.
    webdir = os.path.join(root, "web")
    os.makedirs(webdir, exist_ok=True)
    for size, sub in ((192, 3), (512, 2)):
        write(os.path.join(webdir, "icon-%d.png" % size), rgba_png(size, render_rgba(LAYERS, size, sub)))


if __name__ == "__main__":
    main()
