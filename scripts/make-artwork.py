#!/usr/bin/env python3
"""Draws the program's own pictures and writes them under resources/.

Each picture is a function registered with @artwork(path, size) that answers
rows of pixels: from text art with a palette for the small bitmaps, from
anti-aliased shapes (supersampled) for the rest. Text is the one thing drawn
by ImageMagick's `convert` with a DejaVu font (both installed by
scripts/setup.sh); it renders each string as a coverage mask that is then
painted here, and it encodes the one JPEG. The output is the same on every
run, so the generated files are kept in the repository and rebuilt only when
the drawings change.

    python3 scripts/make-artwork.py                 # write every picture
    python3 scripts/make-artwork.py --check         # fail when a written file is stale
    python3 scripts/make-artwork.py --mockup F.png  # the main window's left part, for review

--check renders everything again in memory. A picture drawn in pure Python
must equal its file byte for byte. A picture with ImageMagick text or JPEG
coding must equal its file in size, and its decoded pixels may differ only by
a small average (MAX_MEAN_DIFFERENCE), so that an update of ImageMagick or
FreeType that moves anti-aliasing a little does not flag it while a changed
drawing does.

To add a picture, write a function below and decorate it; a new file kind
needs a writer in WRITERS.
"""
import argparse
import math
import pathlib
import shutil
import struct
import subprocess
import sys
import zlib

RESOURCES = pathlib.Path(__file__).resolve().parent.parent / "resources"

# Pure blue is the colour key: the background of the folder bitmaps, which the
# program makes transparent. No drawn pixel may have this colour.
KEY = (0, 0, 255)

# Magenta is the mask colour of the toolbar image strips (resources/art/tb-*):
# the program's image lists make it transparent. No drawn pixel may have it.
MASK = (255, 0, 255)

FONTS = pathlib.Path("/usr/share/fonts/truetype/dejavu")
SANS = FONTS / "DejaVuSans.ttf"
SANS_BOLD = FONTS / "DejaVuSans-Bold.ttf"

# Mean per-channel difference (0..255) allowed by --check for pictures that
# ImageMagick helped to make.
MAX_MEAN_DIFFERENCE = 1.0

ARTWORK = {}  # path under resources/ -> (size, function, uses ImageMagick)

# The display scales, in per cent, that the main window's pictures are drawn
# for: each is drawn at that size, not enlarged, and the program picks one.
SCALES = (100, 150, 200)


def S(length, percent):
    """A designed length (at 100 %) in pixels at a scale, by the program's own
    rule: the nearest whole pixel, halves away from zero."""
    product = length * percent
    return (product + 50) // 100 if product >= 0 else -((-product + 50) // 100)


def scaled_path(path, percent):
    """art/x.bmp at 100 %, art/150/x.bmp at 150 %."""
    if percent == 100:
        return path
    folder, name = path.rsplit("/", 1)
    return f"{folder}/{percent}/{name}"


def artwork(path, size, text=False, scaled=False):
    """Registers a drawing. size is (width, height), or for an .ico the tuple of
    square sizes, each drawn by calling the function with it. A scaled drawing
    is registered at every one of SCALES, called with the scale in per cent,
    its size the designed one scaled."""
    def register(draw):
        for percent in SCALES if scaled else (None,):
            where = path if percent is None else scaled_path(path, percent)
            if where in ARTWORK:
                raise ValueError(f"{where} is drawn twice")
            at = size if percent is None else tuple(S(v, percent) for v in size)
            function = draw if percent is None else (lambda percent=percent: draw(percent))
            ARTWORK[where] = (at, function, text or path.endswith(".jpg"))
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


def jpeg(pixels):
    height, width = len(pixels), len(pixels[0])
    raw = bytes(v for row in pixels for px in row for v in px)
    # Full-resolution chroma keeps the red cross crisp; -strip leaves no dates.
    return convert(["-size", f"{width}x{height}", "-depth", "8", "rgb:-", "-strip",
                    "-sampling-factor", "1x1", "-quality", "95", "jpeg:-"], raw)


def ico(images):
    """An icon file of 32-bit images with alpha (and the AND mask older readers
    want), from (size, rows of (r, g, b, a)) pairs."""
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for size, pixels in images:
        xor = bytearray()
        for row in reversed(pixels):
            for r, g, b, a in row:
                xor += bytes((b, g, r, a))
        mask_stride = ((size + 31) // 32) * 4
        mask = bytearray()
        for row in reversed(pixels):
            bits = bytearray(mask_stride)
            for x, px in enumerate(row):
                if px[3] == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        info = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        # The largest image as PNG, as Windows Vista and later read it: a
        # fraction of the bitmap's bytes.
        blob = png(pixels, alpha=True) if size >= 256 else info + bytes(xor) + bytes(mask)
        entries.append(struct.pack("<BBBBHHII", size % 256, size % 256, 0, 0, 1, 32, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs)


WRITERS = {".bmp": bmp24, ".jpg": jpeg, ".ico": ico}


def render(path):
    size, draw, _ = ARTWORK[path]
    suffix = pathlib.PurePath(path).suffix
    if suffix == ".ico":
        images = []
        for side in size:
            pixels = draw(side)
            if (len(pixels[0]), len(pixels)) != (side, side):
                raise ValueError(f"{path}: drawn {len(pixels[0])}x{len(pixels)}, wanted {side}x{side}")
            images.append((side, pixels))
        return ico(images)
    pixels = draw()
    if (len(pixels[0]), len(pixels)) != size:
        raise ValueError(f"{path}: drawn {len(pixels[0])}x{len(pixels)}, wanted {size[0]}x{size[1]}")
    return WRITERS[suffix](pixels)


# ---- ImageMagick: text and JPEG coding ----

def convert(arguments, data=None):
    if shutil.which("convert") is None:
        raise SystemExit("ImageMagick's convert is needed for text and JPEG (scripts/setup.sh installs it)")
    done = subprocess.run(["convert", *arguments], input=data, capture_output=True, check=False)
    if done.returncode != 0:
        raise SystemExit(f"convert {' '.join(arguments)} failed: {done.stderr.decode(errors='replace')}")
    return done.stdout


class TextMask:
    """The coverage (0..1) of a string's ink, cropped to it, with the baseline's
    row counted from the top of the crop."""

    def __init__(self, text, font, pixels, spacing=0.0):
        width, height = int(pixels * (len(text) + 4)), int(pixels * 3)
        origin_x, baseline = int(pixels + 0.5), 2 * int(pixels + 0.5)
        raw = convert(["-size", f"{width}x{height}", "xc:black", "-font", str(font),
                       "-pointsize", str(pixels), "-kerning", str(spacing), "-fill", "white",
                       "-annotate", f"+{origin_x}+{baseline}", text, "-depth", "8", "gray:-"])
        rows = [raw[y * width:(y + 1) * width] for y in range(height)]
        inked = [y for y, row in enumerate(rows) if any(row)]
        columns = [x for x in range(width) if any(row[x] for row in rows)]
        top, left = inked[0], columns[0]
        self.width, self.height = columns[-1] + 1 - left, inked[-1] + 1 - top
        self.baseline = baseline - top
        self.cover = [[v / 255 for v in row[left:left + self.width]] for row in rows[top:top + self.height]]


# ---- drawing: shapes, supersampled into a canvas of premultiplied colour ----

SAMPLES = 4  # per side of a pixel
_OFFSETS = [(i + 0.5) / SAMPLES for i in range(SAMPLES)]


class Shape:
    """A region of the plane: a bounding box and a test for a point."""

    def __init__(self, box, inside):
        self.box, self.inside = box, inside

    def __or__(self, other):
        a, b = self.box, other.box
        return Shape((min(a[0], b[0]), min(a[1], b[1]), max(a[2], b[2]), max(a[3], b[3])),
                     lambda x, y: self.inside(x, y) or other.inside(x, y))

    def __sub__(self, other):
        return Shape(self.box, lambda x, y: self.inside(x, y) and not other.inside(x, y))

    def __and__(self, other):
        a, b = self.box, other.box
        return Shape((max(a[0], b[0]), max(a[1], b[1]), min(a[2], b[2]), min(a[3], b[3])),
                     lambda x, y: self.inside(x, y) and other.inside(x, y))


def rect(x0, y0, x1, y1):
    return Shape((x0, y0, x1, y1), lambda x, y: x0 <= x < x1 and y0 <= y < y1)


def rounded(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        dx = max(x0 + r - x, 0, x - (x1 - r))
        dy = max(y0 + r - y, 0, y - (y1 - r))
        return dx * dx + dy * dy <= r * r
    return Shape((x0, y0, x1, y1), inside)


def circle(cx, cy, r):
    return Shape((cx - r, cy - r, cx + r, cy + r), lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r * r)


def ring(cx, cy, r, width):
    return circle(cx, cy, r + width / 2) - circle(cx, cy, r - width / 2)


def polygon(points):
    xs, ys = [p[0] for p in points], [p[1] for p in points]
    edges = list(zip(points, points[1:] + points[:1]))

    def inside(x, y):
        odd = False
        for (ax, ay), (bx, by) in edges:
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                odd = not odd
        return odd
    return Shape((min(xs), min(ys), max(xs), max(ys)), inside)


def line(points, width):
    """A polyline with round joins and ends."""
    h = width / 2
    segments = list(zip(points, points[1:]))
    xs, ys = [p[0] for p in points], [p[1] for p in points]

    def inside(x, y):
        for (ax, ay), (bx, by) in segments:
            vx, vy = bx - ax, by - ay
            t = max(0.0, min(1.0, ((x - ax) * vx + (y - ay) * vy) / (vx * vx + vy * vy or 1)))
            if (x - ax - t * vx) ** 2 + (y - ay - t * vy) ** 2 <= h * h:
                return True
        return False
    return Shape((min(xs) - h, min(ys) - h, max(xs) + h, max(ys) + h), inside)


def arc(cx, cy, r, width, start, end):
    """Part of a ring, from start to end degrees clockwise from twelve o'clock."""
    whole = ring(cx, cy, r, width)

    def inside(x, y):
        angle = math.degrees(math.atan2(x - cx, cy - y)) % 360
        return (angle - start) % 360 <= (end - start) % 360 and whole.inside(x, y)
    return Shape(whole.box, inside)


def rotated(shape, degrees, cx, cy):
    c, s = math.cos(math.radians(degrees)), math.sin(math.radians(degrees))
    x0, y0, x1, y1 = shape.box
    corners = [((x - cx) * c - (y - cy) * s + cx, (x - cx) * s + (y - cy) * c + cy)
               for x, y in ((x0, y0), (x1, y0), (x0, y1), (x1, y1))]
    return Shape((min(p[0] for p in corners), min(p[1] for p in corners),
                  max(p[0] for p in corners), max(p[1] for p in corners)),
                 lambda x, y: shape.inside((x - cx) * c + (y - cy) * s + cx, -(x - cx) * s + (y - cy) * c + cy))


def mix(a, b, t):
    """The colour t of the way from a to b."""
    return tuple(p + (q - p) * t for p, q in zip(a, b))


class Canvas:
    """Pixels of premultiplied (r, g, b, alpha), colour 0..255 and alpha 0..1.
    Shapes, colour functions and text places are in designed units, which the
    canvas multiplies by its scale (1 at 100 %); width and height are pixels."""

    def __init__(self, width, height, fill=None, scale=1):
        self.width, self.height, self.k = width, height, scale
        start = [0.0, 0.0, 0.0, 0.0] if fill is None else [*map(float, fill), 1.0]
        self.px = [[list(start) for _ in range(width)] for _ in range(height)]

    def blend(self, x, y, colour, alpha):
        p = self.px[y][x]
        keep = 1 - alpha
        p[0], p[1], p[2] = colour[0] * alpha + p[0] * keep, colour[1] * alpha + p[1] * keep, colour[2] * alpha + p[2] * keep
        p[3] = alpha + p[3] * keep

    def paint(self, shape, colour, opacity=1.0):
        """colour is (r, g, b) or a function of a pixel's centre giving one."""
        k = self.k
        x0, y0, x1, y1 = (v * k for v in shape.box)
        inside = shape.inside
        for y in range(max(0, math.floor(y0)), min(self.height, math.ceil(y1))):
            for x in range(max(0, math.floor(x0)), min(self.width, math.ceil(x1))):
                hits = sum(1 for sy in _OFFSETS for sx in _OFFSETS if inside((x + sx) / k, (y + sy) / k))
                if hits:
                    c = colour((x + 0.5) / k, (y + 0.5) / k) if callable(colour) else colour
                    self.blend(x, y, c, opacity * hits / (SAMPLES * SAMPLES))

    def text(self, mask, x, baseline, colour, opacity=1.0):
        """The mask (made at the canvas's scale) with its origin at the designed (x, baseline)."""
        x, baseline = math.floor(x * self.k + 0.5), math.floor(baseline * self.k + 0.5)
        top = baseline - mask.baseline
        for j, row in enumerate(mask.cover):
            for i, cover in enumerate(row):
                if cover and 0 <= x + i < self.width and 0 <= top + j < self.height:
                    self.blend(x + i, top + j, colour, cover * opacity)

    def rgb(self):
        """Opaque rows; a pixel not fully painted is an error."""
        if any(p[3] < 0.999 for row in self.px for p in row):
            raise ValueError("an opaque picture has a see-through pixel")
        return [[tuple(_byte(v) for v in p[:3]) for p in row] for row in self.px]

    def rgba(self):
        return [[(0, 0, 0, 0) if p[3] <= 0 else (*(_byte(v / p[3]) for v in p[:3]), _byte(p[3] * 255))
                 for p in row] for row in self.px]

    def masked(self, behind, threshold=0.3):
        """Rows for an image list: MASK where little is drawn, else the drawing
        over the colour it is meant to be shown on."""
        rows = []
        for row in self.px:
            out = []
            for p in row:
                if p[3] < threshold:
                    out.append(MASK)
                else:
                    px = tuple(_byte(v + b * (1 - p[3])) for v, b in zip(p[:3], behind))
                    if px == MASK:
                        raise ValueError("a drawn pixel has the mask colour")
                    out.append(px)
            rows.append(out)
        return rows


def _byte(v):
    return max(0, min(255, int(v + 0.5)))


def strip(cells):
    """One horizontal strip from equal cells (rows of pixels each)."""
    return [sum((cell[y] for cell in cells), []) for y in range(len(cells[0]))]


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



# ---- the main window's pictures (resources/art/) ----
#
# One calm palette: the window's background, the list's text colour as ink and
# a lighter blue as accent.

BACKGROUND = (245, 247, 249)  # the window's background colour
INK = (41, 74, 133)           # the list's text colour
ACCENT = (52, 116, 204)
ACCENT_LIGHT = (150, 194, 244)
SUN = (255, 193, 72)
WHITE = (255, 255, 255)
SHADOW = (58, 72, 96)
PANEL = WHITE                 # the control panel's upper part, behind the playback buttons
PANEL_FOOT = (242, 245, 249)  # its lower part, behind the add and list buttons
PANEL_EDGE = (209, 217, 229)
PANEL_RULE = (225, 231, 239)


def emblem(canvas, x, y, size, back=ACCENT_LIGHT, simple=False, outline=None):
    """Our emblem in the square (x, y, size): a picture card with hills and a
    sun, a second card tilted behind it (left out when simple, for 16 px). An
    outline keeps the white card apart from a light background."""
    def u(v):
        return v * size

    if not simple:
        canvas.paint(rotated(rounded(x + u(.30), y + u(.08), x + u(.94), y + u(.62), u(.07)), 12,
                             x + u(.62), y + u(.35)), back)
    card = (.06, .26, .80, .92) if not simple else (0, .12, 1, .88)
    cx0, cy0, cx1, cy1 = (x + u(card[0]), y + u(card[1]), x + u(card[2]), y + u(card[3]))
    if outline:
        canvas.paint(rounded(cx0, cy0, cx1, cy1, u(.08)), outline)
        edge = max(0.8, u(.022))
        cx0, cy0, cx1, cy1 = cx0 + edge, cy0 + edge, cx1 - edge, cy1 - edge
    canvas.paint(rounded(cx0, cy0, cx1, cy1, u(.08)), WHITE)
    inset = u(.055) if not simple else max(1.0, u(.07))
    px0, py0, px1, py1 = cx0 + inset, cy0 + inset, cx1 - inset, cy1 - inset
    picture = rounded(px0, py0, px1, py1, u(.035))
    canvas.paint(picture, lambda _, cy: mix((186, 216, 250), (132, 182, 240), (cy - py0) / (py1 - py0)))
    pw, ph = px1 - px0, py1 - py0

    def p(fx, fy):
        return (px0 + fx * pw, py0 + fy * ph)

    canvas.paint(circle(*p(.70, .28), min(pw, ph) * .13) & picture, SUN)
    canvas.paint(polygon([p(-.1, 1.1), p(-.1, .72), p(.30, .38), p(.58, .70), p(.72, .58),
                          p(1.1, .86), p(1.1, 1.1)]) & picture, ACCENT)
    canvas.paint(polygon([p(-.1, 1.1), p(-.1, .88), p(.22, .70), p(.55, .92), p(.80, .80),
                          p(1.1, .96), p(1.1, 1.1)]) & picture, INK)


# The header: a blue band with soft hills along its foot, the emblem and the
# name. The program stretches the strip's column over the rest of the header
# (rows 1..96 only: row 0 of that part keeps the window's background), so row
# 0 is the background here too and everything in the band fades out before
# the banner's right edge, which must equal the strip.
HEADER_HEIGHT = 97
BAND_BOTTOM = 86  # last row of the band; the window's separator line starts at row 90


def band_rows(percent):
    """The band's first row and the row after its last, in pixels: the
    program lays the strip out from row 1 scaled by its own rule."""
    return S(1, percent), S(BAND_BOTTOM + 1, percent)


def band_colour(y, percent):
    top, end = band_rows(percent)
    if y < top or y >= end:
        return BACKGROUND
    return mix((88, 146, 216), (44, 92, 170), (y - top) / (end - 1 - top))


def hill(x, level, swing, phase, fade_from, fade_to):
    """The height of a hill line: rolling on the left, flat at level from fade_to on."""
    fade = 1 - min(1.0, max(0.0, (x - fade_from) / (fade_to - fade_from)))
    fade = fade * fade * (3 - 2 * fade)
    return level - swing * fade * (0.5 + 0.5 * math.sin(x / 37 + phase)) * (0.8 + 0.2 * math.sin(x / 13 + phase))


def header_background(width, percent):
    """width in pixels at the scale."""
    k = percent / 100
    canvas = Canvas(width, S(HEADER_HEIGHT, percent), scale=k)
    for y in range(canvas.height):
        colour = band_colour(y, percent)
        for x in range(width):
            canvas.blend(x, y, colour, 1.0)
    top, end = (v / k for v in band_rows(percent))
    band = rect(0, top, width / k, end)
    for level, swing, phase, opacity in ((66, 16, 0.6, 0.10), (75, 10, 2.6, 0.12)):
        shape = Shape((0, level - swing - 1, width / k, end),
                      lambda sx, sy, level=level, swing=swing, phase=phase:
                      sy >= hill(sx, level, swing, phase, 150, 262))
        canvas.paint(shape & band, WHITE, opacity)
    return canvas


@artwork("art/header-strip.bmp", (1, 97), scaled=True)
def header_strip(percent=100):
    # The columns just right of the banner.
    width = S(1, percent)
    return [row[-width:] for row in header_background(S(289, percent) + width, percent).rgb()]


@artwork("art/header.bmp", (289, 97), text=True, scaled=True)
def header_banner(percent=100):
    k = percent / 100
    canvas = header_background(S(289, percent), percent)
    emblem(canvas, 14, 14, 60)
    canvas.text(TextMask("Ostrel", SANS_BOLD, 33 * k, spacing=0.5 * k), 88, 44, WHITE)
    canvas.text(TextMask("Wallpapers", SANS, 17 * k, spacing=1.6 * k), 89, 68, (214, 232, 252))
    pixels = canvas.rgb()
    if [row[-1:] for row in pixels] != [row[:1] for row in header_strip(percent)]:
        raise ValueError("the banner's right edge does not run on into the strip")
    return pixels


# The shadow around the preview. The program draws the pieces with mirrored
# rectangles, which (as GDI does) cover the pixels from the first coordinate
# back to one past the second. Counting d = 1 for the first pixel outside the
# picture, that puts:
#   side piece column k at d = k - 1 on the left and d = k + 1 on the right
#     (column 0 is never shown, the right side's d = 1 keeps the background);
#   top/bottom piece row k at d = 8 - k above and, stretched to nine rows,
#     about d = 9 - k below (the bottom's d = 1 keeps the background);
#   corner row r at d = 10 - r, column c at d = c - 11 sideways (c <= 11 lies
#     over the picture's edge), the same in all four corners.
# The pieces are cut from one soft shadow, sampled halfway between where each
# pixel lands on the two sides, so that the sides meet the corners smoothly.

def shadow_alpha(t):
    """The shadow's strength t pixels (from a pixel's centre) off the picture:
    gentle, so that the one-pixel shifts between the pieces hardly show."""
    reach = 6.5
    if t >= reach:
        return 0.0
    return 0.34 * (1 - max(0.0, t) / reach) ** 1.5


def shadow_colour(t):
    return tuple(_byte(v) for v in mix(BACKGROUND, SHADOW, shadow_alpha(t)))


def designed(pixel, percent):
    """Where a pixel's centre lies in designed units, counted like a pixel
    index (pixel at 100 %)."""
    return (pixel + 0.5) * 100 / percent - 0.5


# At a larger scale the distances are the designed ones scaled, so each
# pixel's shadow is the one its centre has at 100 %.
@artwork("art/shadow-side.bmp", (8, 1), scaled=True)
def shadow_side(percent=100):
    row = [shadow_colour(designed(k, percent) - 0.5) for k in range(S(8, percent))]
    return [row for _ in range(S(1, percent))]


@artwork("art/shadow-edge.bmp", (1, 8), scaled=True)
def shadow_edge(percent=100):
    # Row k shows at d = 8 - k above and d = 9 - k or 10 - k below.
    def at(k):
        return shadow_colour(8 - k if k > 4 else 8.5 - k)
    return [[at(designed(k, percent))] * S(1, percent) for k in range(S(8, percent))]


@artwork("art/shadow-corner.bmp", (21, 22), scaled=True)
def shadow_corner(percent=100):
    # Only rows 0..8 are drawn; the rest carry the shadow on down the side.
    rows = []
    for pr in range(S(22, percent)):
        r, row = designed(pr, percent), []
        for pc in range(S(21, percent)):
            c = designed(pc, percent)
            ex, ey = max(0.0, c - 11 - 0.5), max(0.0, 10 - r - 0.5)
            inside_picture = c <= 11 and r >= 10
            row.append(BACKGROUND if inside_picture else shadow_colour(math.hypot(ex, ey)))
        rows.append(row)
    return rows


# The control panel under the preview, 113 high: a card with slightly rounded
# corners (the left piece is only two pixels wide), white above a rule at row
# 63 and a light foot below it. The playback buttons sit at rows 14..54 and the
# add and list buttons at rows 72..96, on plain colour.
PANEL_HEIGHT = 113
PANEL_RULE_ROW = 63


def panel_pieces(percent):
    """The widths of the left end, the middle and the right end in pixels."""
    return S(2, percent), S(1, percent), S(199, percent)


def panel(percent):
    """The whole card, its pieces side by side. The edge and the rule fall on
    whole pixels at every scale, so that they stay crisp."""
    k = percent / 100
    width, height = sum(panel_pieces(percent)), S(PANEL_HEIGHT, percent)
    w, h, line_width = width / k, height / k, S(1, percent) / k
    canvas = Canvas(width, height, BACKGROUND, scale=k)
    canvas.paint(rounded(0, 0, w, h, 2), PANEL_EDGE)
    inner = rounded(line_width, line_width, w - line_width, h - line_width, 1.2)
    rule, foot = S(PANEL_RULE_ROW, percent) / k, S(PANEL_RULE_ROW + 1, percent) / k
    canvas.paint(inner & rect(0, 0, w, rule), PANEL)
    canvas.paint(inner & rect(0, rule, w, foot), PANEL_RULE)
    canvas.paint(inner & rect(0, foot, w, h), PANEL_FOOT)
    return canvas.rgb()


@artwork("art/panel-left.bmp", (2, 113), scaled=True)
def panel_left(percent=100):
    left, _, _ = panel_pieces(percent)
    return [row[:left] for row in panel(percent)]


@artwork("art/panel-middle.bmp", (1, 113), scaled=True)
def panel_middle(percent=100):
    left, middle, _ = panel_pieces(percent)
    return [row[left:left + middle] for row in panel(percent)]


@artwork("art/panel-right.bmp", (199, 113), scaled=True)
def panel_right(percent=100):
    left, middle, _ = panel_pieces(percent)
    return [row[left + middle:] for row in panel(percent)]


# Shown in the preview for a missing or unreadable picture. The program
# letterboxes it on the window's background, so that is its background too.
@artwork("art/placeholder.jpg", (200, 100), text=True, scaled=True)
def placeholder(percent=100):
    k = percent / 100
    canvas = scaled_canvas(200, 100, percent, BACKGROUND)
    red = (214, 58, 62)
    canvas.paint(line([(87, 19), (113, 45)], 6.5) | line([(113, 19), (87, 45)], 6.5), red)
    words = TextMask("Картинка отсутствует", SANS, 13 * k)
    # Centred in whole pixels at every scale.
    canvas.text(words, ((S(200, percent) - words.width) // 2) / k, 74, (92, 104, 124))
    return canvas.rgb()


# ---- toolbar image lists: one strip of equal cells each, MASK where clear ----
# Edges are smoothed against the colour each toolbar stands on.

def scaled_canvas(width, height, percent, fill=None):
    """A canvas for a drawing designed width x height, at a scale."""
    return Canvas(S(width, percent), S(height, percent), fill, scale=percent / 100)


def rounded_triangle(points, colour, canvas, radius=1.0):
    canvas.paint(polygon(points) | line(points + points[:1], 2 * radius), colour)


def playback_play(percent):
    c = scaled_canvas(24, 24, percent)
    rounded_triangle([(8, 5), (8, 19), (19.5, 12)], ACCENT, c, 1.2)
    return c


def playback_next(percent):
    c = scaled_canvas(24, 24, percent)
    rounded_triangle([(3.5, 6), (3.5, 18), (11.5, 12)], ACCENT, c, 1.0)
    rounded_triangle([(12, 6), (12, 18), (20, 12)], ACCENT, c, 1.0)
    c.paint(line([(21.5, 6), (21.5, 18)], 2.2), INK)
    return c


def playback_schedule(percent):
    c = scaled_canvas(24, 24, percent)
    c.paint(ring(12, 12.5, 8.6, 2.2), ACCENT)
    for angle in range(0, 360, 90):
        a = math.radians(angle)
        c.paint(circle(12 + 5.9 * math.sin(a), 12.5 - 5.9 * math.cos(a), 0.9), ACCENT)
    c.paint(line([(12, 7.6), (12, 12.5), (15.6, 14.6)], 2.0), INK)
    c.paint(line([(4.2, 4.6), (7.4, 2.4)], 2.2) | line([(19.8, 4.6), (16.6, 2.4)], 2.2), INK)
    return c


def digit(glyph, x, y, width=1.7):
    """Small stroked digits 4.5 x 8, top left at (x, y)."""
    if glyph == "1":
        return line([(x + 0.6, y + 2.0), (x + 2.6, y + 0.4), (x + 2.6, y + 7.6)], width)
    if glyph == "2":
        return (arc(x + 2.25, y + 2.4, 1.9, width, 290, 120)
                | line([(x + 4.05, y + 3.2), (x + 0.5, y + 7.6), (x + 4.4, y + 7.6)], width))
    if glyph == "3":
        return (arc(x + 2.2, y + 2.1, 1.7, width, 290, 180) | arc(x + 2.2, y + 5.6, 2.0, width, 0, 245))
    raise ValueError(glyph)


def playback_shuffle(percent):
    # The order 1, 3, 2 running along an arrow: play in an order of its own.
    c = scaled_canvas(24, 24, percent)
    for glyph, x in (("1", 1.8), ("3", 9.7), ("2", 17.6)):
        c.paint(digit(glyph, x, 2.4), INK)
    c.paint(line([(2.5, 17), (19, 17)], 2.2), ACCENT)
    rounded_triangle([(17, 12.8), (17, 21.2), (22, 17)], ACCENT, c, 0.8)
    return c


@artwork("art/tb-playback.bmp", (96, 24), scaled=True)
def toolbar_playback(percent=100):
    return strip([cell(percent).masked(PANEL) for cell in
                  (playback_play, playback_next, playback_schedule, playback_shuffle)])


def label_button(text, glyph, highlighted, percent):
    # The words in the size the list's font has at the scale.
    c = scaled_canvas(80, 16, percent)
    ink, mark = (WHITE, WHITE) if highlighted else (INK, ACCENT)
    if highlighted:
        c.paint(rounded(0, 0, 80, 16, 5), ACCENT)
    if glyph == "plus":
        c.paint(line([(3.5, 8), (12.5, 8)], 2.4) | line([(8, 3.5), (8, 12.5)], 2.4), mark)
    else:
        for row in (4.5, 8, 11.5):
            c.paint(circle(4.2, row, 1.25), mark)
            c.paint(line([(7.4, row), (12.6, row)], 1.6), mark)
    words = TextMask(text, SANS, 12 * percent / 100)
    c.text(words, 17, 12, ink)
    return c


@artwork("art/tb-list.bmp", (240, 16), text=True, scaled=True)
def toolbar_list(percent=100):
    return strip([label_button("Добавить", "plus", False, percent).masked(PANEL_FOOT),
                  label_button("Лист", "list", False, percent).masked(PANEL_FOOT),
                  label_button("Добавить", "plus", True, percent).masked(PANEL_FOOT)])


def side_exit(percent):
    c = scaled_canvas(36, 36, percent)
    c.paint(arc(18, 19.5, 10.5, 3.2, 38, 322), ACCENT)
    c.paint(line([(18, 5.5), (18, 17.5)], 3.2), INK)
    return c


def side_full_screen(percent):
    c = scaled_canvas(36, 36, percent)
    for sx, sy in ((1, 1), (-1, 1), (1, -1), (-1, -1)):
        cx, cy = 18 - 12.5 * sx, 18 - 12.5 * sy
        c.paint(line([(cx, cy + 6 * sy), (cx, cy), (cx + 6 * sx, cy)], 2.6), INK)
    emblem_picture = rounded(10, 11.5, 26, 24.5, 1.6)
    c.paint(emblem_picture, lambda _, y: mix((186, 216, 250), (132, 182, 240), (y - 11.5) / 13))
    c.paint(circle(21.5, 15, 1.9), SUN)
    c.paint(polygon([(9, 25), (9, 21), (14.5, 16.5), (19, 21), (21.5, 19), (27, 23.5), (27, 25)])
            & emblem_picture, ACCENT)
    return c


def side_download(percent):
    c = scaled_canvas(36, 36, percent)
    c.paint(line([(18, 4.5), (18, 19)], 3.4), ACCENT)
    rounded_triangle([(11, 15.5), (25, 15.5), (18, 23.5)], ACCENT, c, 1.0)
    c.paint(line([(6.5, 21), (6.5, 29.5), (29.5, 29.5), (29.5, 21)], 3.0), INK)
    return c


@artwork("art/tb-side.bmp", (108, 36), scaled=True)
def toolbar_side(percent=100):
    return strip([cell(percent).masked(BACKGROUND) for cell in (side_exit, side_full_screen, side_download)])


# ---- icons ----

# The tray's icons: a card of one solid colour with a white sign. The Wine
# tests find the icons in the taskbar by these exact body colours.
PLAYING_BODY = (46, 170, 60)
STOPPED_BODY = (140, 140, 140)


def tray_icon(size, body, sign):
    c = Canvas(size, size)
    s = size / 16
    c.paint(rounded(0, 0, size, size, 3.2 * s), body)
    if sign == "play":
        rounded_triangle([(5.6 * s, 3.8 * s), (5.6 * s, 12.2 * s), (12.4 * s, 8 * s)], WHITE, c, 0.6 * s)
    else:
        c.paint(rounded(4.5 * s, 4.5 * s, 11.5 * s, 11.5 * s, 1.0 * s), WHITE)
    return c.rgba()


# The sizes Windows asks for at 100 % to 200 %: the small icon (16, 20, 24, 32),
# the large one (32, 40 taken from 48, 48, 64 from 256) and the shell's 256.
ICON_SIZES = (16, 20, 24, 32, 48, 256)


@artwork("play.ico", ICON_SIZES)
def play_icon(size):
    return tray_icon(size, PLAYING_BODY, "play")


@artwork("stop.ico", ICON_SIZES)
def stop_icon(size):
    return tray_icon(size, STOPPED_BODY, "stop")


@artwork("app.ico", ICON_SIZES)
def app_icon(size):
    c = Canvas(size, size)
    emblem(c, 0, 0, size, back=ACCENT, simple=size < 24, outline=(118, 146, 190))
    return c.rgba()


# ---- a mock-up of the main window's left part, to review the pieces together ----

def blit(target, source, to, frm, key=None):
    """GDI's stretched copy between rectangles (left, top, right, bottom); a
    rectangle given backwards is mirrored and covers its first coordinate down
    to one past its second. Nearest pixel; source pixels off the picture and
    pixels of the key colour are left out."""
    def span(a, b):
        return list(range(a, b)) if b >= a else list(range(a, b, -1))

    xs, ys, sxs, sys_ = span(to[0], to[2]), span(to[1], to[3]), span(frm[0], frm[2]), span(frm[1], frm[3])
    for i, y in enumerate(ys):
        sy = sys_[(2 * i + 1) * len(sys_) // (2 * len(ys))]
        for j, x in enumerate(xs):
            sx = sxs[(2 * j + 1) * len(sxs) // (2 * len(xs))]
            if 0 <= sy < len(source) and 0 <= sx < len(source[0]) and 0 <= y < len(target) and 0 <= x < len(target[0]):
                if source[sy][sx] != key:
                    target[y][x] = source[sy][sx]


def sample_picture(width, height):
    c = Canvas(width, height)
    c.paint(rect(0, 0, width, height), lambda _, y: mix((122, 178, 236), (238, 214, 190), y / height))
    c.paint(circle(width * .72, height * .34, height * .09), (255, 236, 190))
    c.paint(polygon([(0, height), (0, height * .62), (width * .25, height * .38), (width * .45, height * .58),
                     (width * .62, height * .44), (width, height * .70), (width, height)]), (86, 112, 150))
    c.paint(polygon([(0, height), (0, height * .80), (width * .4, height * .68), (width * .8, height * .82),
                     (width, height * .76), (width, height)]), (46, 70, 88))
    return c.rgb()


def mockup(preview_width, picture):
    x, y = 84, 116
    w, h = preview_width, preview_width * 3 // 4
    left = max(600, x + w + 28)             # the list's left edge
    panel_top = y + h + 24
    height = max(panel_top + PANEL_HEIGHT, 120 + 337) + 12
    out = [[BACKGROUND] * left for _ in range(height)]
    blit(out, header_banner(), (0, 0, 289, 97), (0, 0, 289, 97))
    blit(out, header_strip(), (289, 1, left, 97), (0, 1, 1, 97))
    side, edge, corner = shadow_side(), shadow_edge(), shadow_corner()
    for piece, frm, to in (
            (side, (8, 0, 0, 1), (x + w + 8, y - 1, x + w, y + h + 1)),
            (side, (8, 0, 0, 1), (x - 7, y - 1, x + 1, y + h + 1)),
            (edge, (0, 0, 1, 8), (x - 1, y + h + 9, x + w + 1, y + h)),
            (edge, (0, 0, 1, 8), (x - 1, y - 8, x + w + 1, y)),
            (corner, (0, 0, 21, 9), (x + 11, y - 10, x - 10, y - 1)),
            (corner, (0, 0, 21, 9), (x + 11, y + h + 9, x - 10, y + h)),
            (corner, (0, 0, 21, 9), (x + w - 12, y - 10, x + w + 9, y - 1)),
            (corner, (0, 0, 21, 9), (x + w - 12, y + h + 9, x + w + 9, y + h))):
        blit(out, piece, to, frm)
    for row in range(90, height):
        out[row][left - 1] = (210, 211, 215)
    pw, ph = len(picture[0]), len(picture)
    blit(out, [[BACKGROUND]], (x, y, x + w, y + h), (0, 0, 1, 1))
    if pw * h == ph * w:
        blit(out, picture, (x, y, x + w, y + h), (0, 0, pw, ph))
    else:  # letterboxed, as the placeholder is
        fh = round(ph / pw * w)
        top = y + round((h - fh) / 2)
        blit(out, picture, (x, top, x + w, top + fh), (0, 0, pw, ph))
    middle = w - 199
    blit(out, panel_left(), (83, panel_top, 85, panel_top + PANEL_HEIGHT), (0, 0, 2, PANEL_HEIGHT))
    blit(out, panel_middle(), (85, panel_top, 85 + middle, panel_top + PANEL_HEIGHT), (0, 0, 1, PANEL_HEIGHT))
    blit(out, panel_right(), (85 + middle, panel_top, 85 + middle + 199, panel_top + PANEL_HEIGHT),
         (0, 0, 199, PANEL_HEIGHT))
    bar = 85 + w // 2 - 176 // 2
    playback, labels, tools = toolbar_playback(), toolbar_list(), toolbar_side()
    for i in range(4):
        bx, by = bar + 44 * i + 10, panel_top + 14 + 3
        blit(out, playback, (bx, by, bx + 24, by + 24), (24 * i, 0, 24 * i + 24, 24), MASK)
    for i in range(2):
        bx, by = bar + 87 * i + 3, panel_top + 72 + 3
        blit(out, labels, (bx, by, bx + 80, by + 16), (80 * i, 0, 80 * i + 80, 16), MASK)
    for image, top in ((2, 2), (1, 81), (0, 163)):
        bx, by = 20 + 3, 120 + top + 3
        blit(out, tools, (bx, by, bx + 36, by + 36), (36 * image, 0, 36 * image + 36, 36), MASK)
    return out


def png(pixels, alpha=False):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    raw = b"".join(b"\0" + bytes(v for px in row for v in px) for row in pixels)
    header = struct.pack(">IIBBBBB", len(pixels[0]), len(pixels), 8, 6 if alpha else 2, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def side_by_side(pictures, gap=16, colour=(96, 96, 96)):
    height = max(len(p) for p in pictures)
    rows = []
    for y in range(height):
        row = []
        for i, p in enumerate(pictures):
            row += p[y] if y < len(p) else [colour] * len(p[0])
            if i + 1 < len(pictures):
                row += [colour] * gap
        rows.append(row)
    return rows


# ---- checking ----

def decoded(data):
    """(width, height, bytes of RGB) of a picture, through ImageMagick."""
    ppm = convert(["-", "-depth", "8", "ppm:-"], data)
    fields = ppm.split(maxsplit=4)
    if fields[0] != b"P6":
        raise ValueError("not a PPM")
    return int(fields[1]), int(fields[2]), fields[4]


def same_picture(old, new):
    ow, oh, op = decoded(old)
    nw, nh, np_ = decoded(new)
    if (ow, oh) != (nw, nh):
        return False
    return sum(abs(a - b) for a, b in zip(op, np_)) / len(np_) <= MAX_MEAN_DIFFERENCE


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true", help="fail when a written file differs")
    parser.add_argument("--mockup", metavar="PNG", help="write a mock-up of the window's left part")
    args = parser.parse_args()
    if args.mockup:
        pictures = [mockup(200, sample_picture(200, 150)), mockup(200, placeholder()),
                    mockup(320, sample_picture(320, 240))]
        pathlib.Path(args.mockup).write_bytes(png(side_by_side(pictures)))
        return 0
    stale = []
    for path in sorted(ARTWORK):
        data = render(path)
        target = RESOURCES / path
        current = target.read_bytes() if target.is_file() else None
        if current == data:
            continue
        if args.check:
            if current is None or not ARTWORK[path][2] or not same_picture(current, data):
                stale.append(path)
            continue
        target.parent.mkdir(parents=True, exist_ok=True)
        target.write_bytes(data)
        print(f"wrote resources/{path}")
    if stale:
        print("out of date: " + ", ".join(stale), file=sys.stderr)
        return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
