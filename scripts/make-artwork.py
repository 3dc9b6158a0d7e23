#!/usr/bin/env python3
"""Draws the program's own bitmaps and writes them under resources/.

Each picture is a function registered with @artwork(path, size) that answers
rows of (r, g, b) pixels, most often from text art with a palette. The output
is byte-for-byte the same on every run, so the generated files are kept in the
repository and rebuilt only when the drawings change.

    python3 scripts/make-artwork.py            # write every picture
    python3 scripts/make-artwork.py --check    # fail when a written file is stale

To add a picture, write a function below and decorate it; a new file kind
needs a writer in WRITERS.
"""
import argparse
import math
import pathlib
import struct
import sys

RESOURCES = pathlib.Path(__file__).resolve().parent.parent / "resources"

# Pure blue is the colour key: the background of the bitmaps, which the
# program makes transparent. No drawn pixel may have this colour.
KEY = (0, 0, 255)

ARTWORK = {}  # path under resources/ -> (size, function)


def artwork(path, size):
    def register(draw):
        if path in ARTWORK:
            raise ValueError(f"{path} is drawn twice")
        ARTWORK[path] = (size, draw)
        return draw
    return register


def pixel_art(palette, text):
    """Rows of pixels from text art: one character per pixel, '.' the key colour."""
    if KEY in palette.values():
        raise ValueError("a palette colour is the key colour")
    colours = {".": KEY, **palette}
    rows = [line.strip() for line in text.strip().splitlines()]
    for line in rows:
        if len(line) != len(rows[0]):
            raise ValueError(f"ragged row {line!r}")
        for ch in line:
            if ch not in colours:
                raise ValueError(f"no colour for {ch!r} in {line!r}")
    return [[colours[ch] for ch in line] for line in rows]


def bmp24(pixels):
    """An uncompressed 24-bit BMP, bottom-up rows padded to four bytes."""
    height, width = len(pixels), len(pixels[0])
    stride = (width * 3 + 3) & ~3
    body = bytearray()
    for row in reversed(pixels):
        for r, g, b in row:
            body += bytes((b, g, r))
        body += bytes(stride - width * 3)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(body), 2835, 2835, 0, 0)
    header = struct.pack("<2sIHHI", b"BM", 14 + len(info) + len(body), 0, 0, 14 + len(info))
    return header + info + bytes(body)


WRITERS = {".bmp": bmp24}


def render(path):
    size, draw = ARTWORK[path]
    pixels = draw()
    if (len(pixels[0]), len(pixels)) != size:
        raise ValueError(f"{path}: drawn {len(pixels[0])}x{len(pixels)}, wanted {size[0]}x{size[1]}")
    return WRITERS[pathlib.PurePath(path).suffix](pixels)


# ---- the folder tree's node images (16 x 16) ----

FOLDER = {
    "o": (128, 88, 16),    # outline
    "l": (255, 236, 160),  # lit edge
    "y": (250, 204, 72),   # body
    "d": (212, 156, 36),   # shade
}

DRIVE = {
    "k": (44, 46, 54),     # outline
    "t": (232, 234, 240),  # top face
    "f": (186, 190, 200),  # front
    "s": (130, 134, 146),  # bottom edge
    "g": (40, 220, 70),    # activity light
    "n": (30, 150, 70),    # network cable
}


@artwork("folder/closedfolder.bmp", (16, 16))
def closed_folder():
    return pixel_art(FOLDER, """
        ................
        ................
        .ooooo..........
        oyllllo.........
        oyyyyyyoooooooo.
        olllllllllllllo.
        olyyyyyyyyyyydo.
        olyyyyyyyyyyydo.
        olyyyyyyyyyyydo.
        olyyyyyyyyyyydo.
        olyyyyyyyyyyydo.
        olyyyyyyyyyyydo.
        odddddddddddddo.
        ooooooooooooooo.
        ................
        ................
    """)


@artwork("folder/openfolder.bmp", (16, 16))
def open_folder():
    # The back of the folder, and the front flap tipped forward over it.
    return pixel_art(FOLDER, """
        ................
        ................
        .ooooo..........
        oyllllo.........
        oyyyyyyoooooo...
        oydddddddddddo..
        oydooooooooooooo
        oydolllllllllllo
        oyoyyyyyyyyyyyo.
        oyoyyyyyyyyyyyo.
        ooyyyyyyyyyyyo..
        ooyyyyyyyyyyyo..
        odddddddddddo...
        ooooooooooooo...
        ................
        ................
    """)


@artwork("folder/floppy.bmp", (16, 16))
def floppy():
    return pixel_art({
        "k": (28, 30, 38),     # outline
        "b": (62, 66, 84),     # case
        "s": (196, 200, 210),  # metal shutter
        "w": (250, 250, 244),  # label
        "g": (150, 150, 168),  # writing on the label
    }, """
        ................
        .kkkkkkkkkkkkkk.
        .kbbssssssssbbk.
        .kbbssssskksbbk.
        .kbbssssskksbbk.
        .kbbssssskksbbk.
        .kbbssssssssbbk.
        .kbbbbbbbbbbbbk.
        .kbwwwwwwwwwwbk.
        .kbwggggggggwbk.
        .kbwwwwwwwwwwbk.
        .kbwggggggwwwbk.
        .kbwwwwwwwwwwbk.
        .kbbbbbbbbbbbbk.
        .kkkkkkkkkkkkkk.
        ................
    """)


@artwork("folder/hard.bmp", (16, 16))
def hard_disk():
    return pixel_art(DRIVE, """
        ................
        ................
        ................
        ................
        ..kkkkkkkkkkkk..
        .kttttttttttttk.
        kttttttttttttttk
        kkkkkkkkkkkkkkkk
        kffffffffffffffk
        kffffffffffggffk
        kffffffffffffffk
        kssssssssssssssk
        kkkkkkkkkkkkkkkk
        ................
        ................
        ................
    """)


@artwork("folder/network.bmp", (16, 16))
def network_drive():
    # A disk on a cable.
    return pixel_art(DRIVE, """
        ................
        ................
        ..kkkkkkkkkkkk..
        .kttttttttttttk.
        kttttttttttttttk
        kkkkkkkkkkkkkkkk
        kffffffffffggffk
        kssssssssssssssk
        kkkkkkkkkkkkkkkk
        .......nn.......
        .......nn.......
        .......nn.......
        nnnnnnnnnnnnnnnn
        nnnnnnnnnnnnnnnn
        ................
        ................
    """)


@artwork("folder/cdrom.bmp", (16, 16))
def cd_rom():
    # A disc with a hole through which the background shows, a one-pixel rim
    # and a rainbow sheen across two opposite quarters.
    def radius(x, y):
        return math.hypot(x + 0.5 - 8, y + 0.5 - 8)

    def on_disc(x, y):
        return 0 <= x < 16 and 0 <= y < 16 and 1.6 <= radius(x, y) <= 7.6

    edge, hub = (96, 98, 110), (214, 216, 222)
    pixels = []
    for y in range(16):
        row = []
        for x in range(16):
            if not on_disc(x, y):
                row.append(KEY)
            elif not all(on_disc(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
                row.append(edge)
            elif radius(x, y) < 3.3:
                row.append(hub)
            else:
                row.append(sheen(math.atan2(y + 0.5 - 8, x + 0.5 - 8)))
        pixels.append(row)
    return pixels


def sheen(angle):
    silver = (200, 204, 214)
    # Strongest along the falling diagonal, fading out a quarter turn away.
    strength = max(0.0, math.cos(2 * (angle - math.pi / 4))) ** 3
    hue = (angle % math.pi) / math.pi
    tint = [0.5 + 0.5 * math.cos(2 * math.pi * (hue + shift)) for shift in (0, 1 / 3, 2 / 3)]
    colour = tuple(round(s + (255 * t - s) * 0.8 * strength) for s, t in zip(silver, tint))
    return colour if colour != KEY else silver


@artwork("folder/ram.bmp", (16, 16))
def ram_chip():
    # A memory module: chips on a board, gold contacts and the key notch.
    return pixel_art({
        "k": (24, 60, 36),     # board edge
        "p": (46, 146, 76),    # board
        "c": (34, 34, 40),     # chip
        "h": (92, 92, 104),    # chip highlight
        "y": (232, 184, 56),   # contact
    }, """
        ................
        ................
        ................
        ................
        kkkkkkkkkkkkkkkk
        kppppppppppppppk
        kphccphccphccppk
        kpcccpcccpcccppk
        kpcccpcccpcccppk
        kppppppppppppppk
        kypypypypypypypk
        kypypypypypypypk
        kkkkkkk..kkkkkkk
        ................
        ................
        ................
    """)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true", help="fail when a written file differs")
    args = parser.parse_args()
    stale = []
    for path in sorted(ARTWORK):
        data = render(path)
        target = RESOURCES / path
        if args.check:
            if not target.is_file() or target.read_bytes() != data:
                stale.append(path)
            continue
        target.parent.mkdir(parents=True, exist_ok=True)
        if not target.is_file() or target.read_bytes() != data:
            target.write_bytes(data)
            print(f"wrote resources/{path}")
    if stale:
        print("out of date: " + ", ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
