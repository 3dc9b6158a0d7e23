#!/usr/bin/env python3
"""Compares a piece of a screenshot with a drawn picture, both as raw 8-bit RGB
(ImageMagick's rgb:), of width x height. Prints the pixels that differ (those
of the mask colour in the drawing, which the program shows clear, are not
counted) and how many rows of the screenshot repeat the row above within the
drawing: a picture enlarged by 1.5 repeats every third.

    compare_art.py <shot.rgb> <drawn.rgb> <width> <height> [mask rrggbb]
"""
import sys


def rows(path, width):
    data = open(path, "rb").read()
    return [data[y * width * 3:(y + 1) * width * 3] for y in range(len(data) // (width * 3))]


def main():
    width, height = int(sys.argv[3]), int(sys.argv[4])
    shot, drawn = rows(sys.argv[1], width), rows(sys.argv[2], width)
    if len(shot) != height or len(drawn) != height:
        print(f"sizes differ: {len(shot)} and {len(drawn)} rows of {width}, wanted {height}")
        return 1
    mask = bytes.fromhex(sys.argv[5]) if len(sys.argv) > 5 else None
    differ = sum(1 for y in range(height) for x in range(width)
                 if drawn[y][3 * x:3 * x + 3] != mask and shot[y][3 * x:3 * x + 3] != drawn[y][3 * x:3 * x + 3])
    repeated = sum(1 for y in range(1, height) if shot[y] == shot[y - 1] and drawn[y] != drawn[y - 1])
    print(differ, repeated)
    return 0


if __name__ == "__main__":
    sys.exit(main())
