#!/usr/bin/env python3
"""Builds the program's icons and bitmaps from pixel-text sources.

The pictures are kept as text, one character per pixel, so that they can be
reviewed and changed in any editor and their history reads like code. A
source file looks like this:

    ; comment lines start with a semicolon
    colour . transparent
    colour K black
    colour Y yellow
    pixels
    ..KK..
    .KYYK.

Each "colour" line maps one character to one of the sixteen standard VGA
colours (or, in icons, to "transparent"); every line after "pixels" is one
row of the picture, top row first.

    pixres.py icon   OUT.ico SOURCE.txt[@SIZE] [SOURCE.txt[@SIZE] ...]
    pixres.py bitmap OUT.bmp SOURCE.txt
    pixres.py png    OUT.png SOURCE.txt

An icon holds one 16-colour image per source (4 bits per pixel, XOR and AND
masks). A source named with "@SIZE" gives an image of that size, its pixels
repeated (nearest neighbour) from the source: the 24- and 48-pixel images
that Windows asks for at 150 % scaling keep the hand-drawn pixels' edges.
A bitmap is written with 8 bits per pixel, run-length encoded (BI_RLE8),
with a palette of just the colours it uses. A PNG (for the help pages) shows
the picture as it appears on screen, transparency included.
"""

import struct
import sys
import zlib

# The sixteen colours of the standard VGA / Windows 16-colour palette, in
# palette order.
VGA = [
    ("black", (0, 0, 0)),
    ("maroon", (128, 0, 0)),
    ("green", (0, 128, 0)),
    ("olive", (128, 128, 0)),
    ("navy", (0, 0, 128)),
    ("purple", (128, 0, 128)),
    ("teal", (0, 128, 128)),
    ("silver", (192, 192, 192)),
    ("grey", (128, 128, 128)),
    ("red", (255, 0, 0)),
    ("lime", (0, 255, 0)),
    ("yellow", (255, 255, 0)),
    ("blue", (0, 0, 255)),
    ("fuchsia", (255, 0, 255)),
    ("aqua", (0, 255, 255)),
    ("white", (255, 255, 255)),
]
VGA_INDEX = {name: i for i, (name, _) in enumerate(VGA)}
TRANSPARENT = "transparent"

BI_RGB = 0
BI_RLE8 = 1


class SourceError(Exception):
    pass


class Picture:
    """A parsed pixel-text source: rows of colour names, top row first."""

    def __init__(self, path):
        self.path = path
        legend = {}
        rows = []
        in_pixels = False
        with open(path, encoding="utf-8") as f:
            for number, raw in enumerate(f, 1):
                line = raw.rstrip("\r\n")
                where = "%s:%d" % (path, number)
                if in_pixels:
                    if not line.strip():
                        continue
                    for ch in line:
                        if ch not in legend:
                            raise SourceError("%s: character %r has no colour" % (where, ch))
                    rows.append([legend[ch] for ch in line])
                    continue
                stripped = line.strip()
                if not stripped or stripped.startswith(";"):
                    continue
                words = stripped.split()
                if words == ["pixels"]:
                    in_pixels = True
                elif words[0] == "colour" and len(words) == 3 and len(words[1]) == 1:
                    name = words[2]
                    if name != TRANSPARENT and name not in VGA_INDEX:
                        raise SourceError("%s: unknown colour %r" % (where, name))
                    if words[1] in legend:
                        raise SourceError("%s: character %r mapped twice" % (where, words[1]))
                    legend[words[1]] = name
                else:
                    raise SourceError("%s: expected 'colour <char> <name>' or 'pixels'" % where)
        if not rows:
            raise SourceError("%s: no pixel rows" % path)
        widths = {len(r) for r in rows}
        if len(widths) != 1:
            raise SourceError("%s: rows differ in width %s" % (path, sorted(widths)))
        self.rows = rows
        self.width = len(rows[0])
        self.height = len(rows)

    def uses_transparency(self):
        return any(c == TRANSPARENT for row in self.rows for c in row)


def pack_rows(rows, bits):
    """Packs rows of small integers bottom-up, each row padded to 32 bits."""
    out = bytearray()
    for row in reversed(rows):
        acc = 0
        nbits = 0
        line = bytearray()
        for value in row:
            acc = (acc << bits) | value
            nbits += bits
            if nbits == 8:
                line.append(acc)
                acc = 0
                nbits = 0
        if nbits:
            line.append(acc << (8 - nbits))
        line.extend(b"\0" * (-len(line) % 4))
        out += line
    return bytes(out)


def bitmap_info_header(width, height, bit_count, compression, size_image, colours):
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bit_count,
                       compression, size_image, 0, 0, colours, 0)


def rgbquad(rgb):
    r, g, b = rgb
    return struct.pack("<BBBB", b, g, r, 0)


def icon_image(pic):
    """One icon image: header with doubled height, palette, XOR and AND masks."""
    if pic.width != pic.height or pic.width not in (16, 24, 32, 48):
        raise SourceError("%s: an icon image must be 16, 24, 32 or 48 pixels square" % pic.path)
    # Transparent pixels are black in the XOR image and set in the AND mask,
    # so the desktop shows through them unchanged.
    xor_rows = [[0 if c == TRANSPARENT else VGA_INDEX[c] for c in row] for row in pic.rows]
    and_rows = [[1 if c == TRANSPARENT else 0 for c in row] for row in pic.rows]
    xor = pack_rows(xor_rows, 4)
    mask = pack_rows(and_rows, 1)
    header = bitmap_info_header(pic.width, pic.height * 2, 4, BI_RGB, len(xor) + len(mask), 16)
    palette = b"".join(rgbquad(rgb) for _, rgb in VGA)
    return header + palette + xor + mask


def scaled(pic, size):
    """The picture at size x size, each pixel taken from the nearest source pixel."""
    pic.rows = [[pic.rows[y * pic.height // size][x * pic.width // size] for x in range(size)]
                for y in range(size)]
    pic.width = pic.height = size
    return pic


def icon_picture(source):
    path, at, size = source.partition("@")
    if not at:
        return Picture(path)
    if not size.isdigit():
        raise SourceError("%s: the size after '@' must be a number" % source)
    return scaled(Picture(path), int(size))


def write_icon(out, sources):
    images = [(pic, icon_image(pic)) for pic in map(icon_picture, sources)]
    sizes = [pic.width for pic, _ in images]
    if len(set(sizes)) != len(sizes):
        raise SourceError("%s: two images of the same size" % out)
    data = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for pic, image in images:
        data += struct.pack("<BBBBHHII", pic.width, pic.height, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    data += b"".join(image for _, image in images)
    with open(out, "wb") as f:
        f.write(data)


def rle8_row(row):
    """Encodes one row of palette indexes in BI_RLE8, without its end mark.

    Runs of two or more equal pixels become encoded runs; stretches of single
    pixels become absolute runs, which must hold at least three pixels (a
    count of 0, 1 or 2 after the escape byte means end of line, end of bitmap
    or a position delta) and are padded to a 16-bit boundary.
    """
    runs = []
    i = 0
    while i < len(row):
        j = i
        while j < len(row) and row[j] == row[i] and j - i < 255:
            j += 1
        runs.append((row[i], j - i))
        i = j

    out = bytearray()
    singles = []

    def flush_singles():
        while singles:
            chunk = singles[:255]
            del singles[:255]
            if len(chunk) < 3:
                for value in chunk:
                    out.extend((1, value))
            else:
                out.extend((0, len(chunk)))
                out.extend(chunk)
                if len(chunk) % 2:
                    out.append(0)

    for value, count in runs:
        if count == 1:
            singles.append(value)
        else:
            flush_singles()
            out.extend((count, value))
    flush_singles()
    return bytes(out)


def write_bitmap(out, source):
    pic = Picture(source)
    if pic.uses_transparency():
        raise SourceError("%s: a bitmap has no transparent colour" % source)
    used = []
    for row in pic.rows:
        for c in row:
            if c not in used:
                used.append(c)
    index = {name: i for i, name in enumerate(used)}
    data = bytearray()
    # Rows are stored bottom-up, each closed by an end-of-line mark; the
    # last one is followed by the end-of-bitmap mark.
    for row in reversed(pic.rows):
        data += rle8_row([index[c] for c in row])
        data += b"\0\0"
    data += b"\0\1"
    palette = b"".join(rgbquad(dict(VGA)[name]) for name in used)
    header = bitmap_info_header(pic.width, pic.height, 8, BI_RLE8, len(data), len(used))
    bits_offset = 14 + len(header) + len(palette)
    file_header = struct.pack("<2sIHHI", b"BM", bits_offset + len(data), 0, 0, bits_offset)
    with open(out, "wb") as f:
        f.write(file_header + header + palette + bytes(data))


def png_chunk(kind, payload):
    return (struct.pack(">I", len(payload)) + kind + payload
            + struct.pack(">I", zlib.crc32(kind + payload) & 0xFFFFFFFF))


def write_png(out, source):
    pic = Picture(source)
    colours = dict(VGA)
    raw = bytearray()
    for row in pic.rows:
        raw.append(0)  # no filter
        for c in row:
            raw.extend((0, 0, 0, 0) if c == TRANSPARENT else colours[c] + (255,))
    header = struct.pack(">IIBBBBB", pic.width, pic.height, 8, 6, 0, 0, 0)  # 8-bit RGBA
    with open(out, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header)
                + png_chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + png_chunk(b"IEND", b""))


def main(argv):
    try:
        if len(argv) >= 4 and argv[1] == "icon":
            write_icon(argv[2], argv[3:])
        elif len(argv) == 4 and argv[1] == "bitmap":
            write_bitmap(argv[2], argv[3])
        elif len(argv) == 4 and argv[1] == "png":
            write_png(argv[2], argv[3])
        else:
            sys.stderr.write(__doc__)
            return 2
    except (SourceError, OSError) as e:
        sys.stderr.write("pixres.py: %s\n" % e)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
