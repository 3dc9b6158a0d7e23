#!/usr/bin/env python3
"""Writes the fuzz targets' seeds into fuzz/seeds/<target>/: a few small
inputs of each kind the reader knows, valid and not. The JPEG seeds are made
with ImageMagick's convert. Run again after changing this script; the
output is committed."""
import os
import shutil
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
SEEDS = os.path.join(HERE, "seeds")


def write(target, name, data):
    folder = os.path.join(SEEDS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("cp1251"))


def bmp(width, height, bpp=24, compression=0, palette=(), pixels=b"", info=40, masks=None, clr_used=0):
    if info == 12:
        header = struct.pack("<IHHHH", 12, width, height, 1, bpp)
        pal = b"".join(struct.pack("<BBB", c & 255, c >> 8 & 255, c >> 16) for c in palette)
    else:
        header = struct.pack("<IiiHHIIiiII", info, width, height, 1, bpp, compression, len(pixels), 2835, 2835,
                             clr_used, 0)
        if masks and info > 40:
            header += struct.pack("<III", *masks)
        header = header.ljust(info, b"\0")
        if masks and info == 40:
            header += struct.pack("<III", *masks)
        pal = b"".join(struct.pack("<BBBB", c & 255, c >> 8 & 255, c >> 16, 0) for c in palette)
    offset = 14 + len(header) + len(pal)
    return b"BM" + struct.pack("<IHHI", offset + len(pixels), 0, 0, offset) + header + pal + pixels


def bmp_seeds():
    two = (0x102030, 0xA0B0C0)
    six = (0x0A0A0A, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0x00FFFF)
    write("bmp", "bpp1", bmp(10, 2, 1, palette=two, pixels=bytes.fromhex("5F000000A0C00000")))
    write("bmp", "bpp4", bmp(3, 2, 4, palette=six, clr_used=6, pixels=bytes.fromhex("2210000001300000")))
    write("bmp", "bpp8", bmp(3, 1, 8, palette=six, pixels=bytes.fromhex("00010200")))
    write("bmp", "bpp16", bmp(2, 2, 16, pixels=bytes.fromhex("1F001042007CE003")))
    write("bmp", "bpp16-565", bmp(3, 1, 16, 3, masks=(0xF800, 0x07E0, 0x001F), pixels=bytes.fromhex("00F8E00710040000")))
    write("bmp", "bpp24", bmp(3, 2, pixels=bytes.fromhex("0A0B0C0D0E0F101112000000010203040506070809000000")))
    write("bmp", "bpp24-top-down-v3", bmp(3, -2, info=56, pixels=bytes(24)))
    write("bmp", "bpp32", bmp(2, 1, 32, pixels=bytes.fromhex("010203FF04050600")))
    write("bmp", "bpp32-v5", bmp(1, 1, 32, 3, info=124, masks=(0xFF00, 0xFF0000, 0xFF000000), pixels=bytes(4)))
    write("bmp", "core-bpp8", bmp(2, 2, 8, info=12, palette=six, pixels=bytes.fromhex("00010000 02030000")))
    # Runs, an absolute run, a delta, line ends and the end marker.
    write("bmp", "rle8", bmp(6, 4, 8, 1, palette=six,
                             pixels=bytes.fromhex("0301 0005 020304050000 0000 00020102 0204 0000 0001")))
    write("bmp", "rle4", bmp(7, 2, 4, 2, palette=six,
                             pixels=bytes.fromhex("0512 0003 1230 0000 00020101 0001")))
    write("bmp", "rle8-claims-20000-squared", bmp(20000, 20000, 8, 1, palette=(0xFF0000,), clr_used=1,
                                                  pixels=bytes.fromhex("0001")))
    write("bmp", "core-claims-20000x19500", bmp(20000, 19500, 24, info=12))


def jpeg_seeds():
    convert = "/usr/bin/convert"
    if not os.path.exists(convert):
        sys.exit("make-seeds: ImageMagick's convert is needed for the JPEG seeds")
    kinds = {
        "baseline-420": ["-sampling-factor", "2x2"],
        "baseline-444": ["-sampling-factor", "1x1"],
        "progressive": ["-interlace", "JPEG"],
        "grey": ["-colorspace", "Gray"],
        "cmyk": ["-colorspace", "CMYK"],
        "restarts": ["-define", "jpeg:restart-interval=1"],
    }
    with tempfile.TemporaryDirectory() as tmp:
        for name, options in kinds.items():
            out = os.path.join(tmp, name + ".jpg")
            subprocess.run([convert, "-size", "24x16", "gradient:red-blue", "-strip", "-quality", "60"] + options +
                           [out], check=True)
            with open(out, "rb") as f:
                write("jpeg", name, f.read())
    # The same progressive file claiming 16000 x 16000.
    data = bytearray(open(os.path.join(SEEDS, "jpeg", "progressive"), "rb").read())
    frame = data.find(b"\xff\xc2")
    data[frame + 5:frame + 9] = struct.pack(">HH", 16000, 16000)
    write("jpeg", "progressive-claims-16000-squared", bytes(data))


def text_seeds():
    write("list_file", "two-entries", "C:\\Картинки\\море.jpg\r\n    1024x768\r\nD:\\b.bmp\r\n       0x0\r\n\r\n\r\n")
    write("list_file", "one-pair-lf", "\x01C:\\a.jpg\n   12000x900\n")
    write("list_file", "odd-lines", "a\r\n\r\nb\r\nc\r\r\nd")
    full = "".join("images/w%03d.jpg small/w%03d.jpg %d-12-06\n" % (n, n, n % 28 + 1) for n in range(100, 0, -1))
    write("catalogue_index", "full", full)
    write("catalogue_index", "short", "images/a.jpg small/a.jpg 1-01-06\nimages/b.jpg small/b.jpg 12-01-06\n")
    write("catalogue_index", "hostile", "images/..\\..\\x.jpg small/CON.jpg 1-01-06\r\nimages/a%0d.jpg  small/. 9\n")
    write("loaded_records", "two-and-append", "images/a.jpg\r\nimages/b.jpg\r\n\0images/c.jpg")
    write("loaded_records", "last-without-lf", "images/a.jpg\nimages/b.jpg\r\0images/b.jpg")
    defaults = ["C:\\users\\me\\Documents", "0", "0", "1", "0", "5", "2", "1", "1", "60000", "3600000", "0", "800",
                "472", "311", "0", "0", "0", "0", "0", "1", "", "2", "C:\\pics", "C:\\pics\\list.tav",
                "C:\\pics\\walls\\"]
    write("settings", "defaults", "\0".join(defaults))
    odd = list(defaults)
    odd[5], odd[12], odd[22], odd[25] = "-2147483648", "99999", "", "D:\\" + "x" * 97
    write("settings", "hand-edited", "\x01" + "\0".join(odd)[1:])
    write("settings", "absent", b"\xff\0\xff\0" + b"\0".join([b"\xff"] * 25))


def download_flow_seeds():
    """The index, then answers given in turn, each a control byte and a body
    (see fuzz/download_flow.cpp), all cut at 0x1E."""
    def flow(index, *answers):
        return b"\x1e".join([index.encode("cp1251")] + [bytes([c]) + body for c, body in answers])
    picture = bytes(range(30))
    whole, none, cut, longer, moved, broken, stopped = 0x00, 0x08, 0x10, 0x18, 0x06, 0x20, 0x40
    lines = "".join("images/p%d.jpg small/p%d.jpg 1-12-26\n" % (n, n) for n in range(1, 9))
    write("download_flow", "each-answer", flow(lines, (whole, picture), (cut, picture), (longer, picture),
                                               (none, picture), (moved, b""), (stopped, picture),
                                               (broken, picture), (0x05, picture), (whole, picture),
                                               (whole, b"preview"), (whole, b"preview"), (whole, picture)))
    names = ("images/mine.jpg small/mine.jpg 1-12-26\nimages/old.jpg small/loaded.txt 1-12-26\n"
             "images/MINE~1.JPG small/RZ.TXT 1-12-26\nimages/a\rb.jpg small/c.jpg 1-12-26\n"
             "images/twice.jpg small/twice.jpg 1-12-26\nimagez/twice.jpg small/old.jpg 1-12-26\n")
    write("download_flow", "names", flow(names, *[(whole, b"x%d" % n) for n in range(12)]))


def main():
    shutil.rmtree(SEEDS, ignore_errors=True)
    bmp_seeds()
    jpeg_seeds()
    text_seeds()
    download_flow_seeds()


if __name__ == "__main__":
    main()
