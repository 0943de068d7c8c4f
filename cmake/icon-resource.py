#!/usr/bin/python3
"""Writes icon pictures as the program's icon resources for our Linux layer
(platform/posix/user/icons.cpp reads them): a C++ source holding one group
of images, each image's pixels run-length coded.

    icon-resource.py OUTPUT ID PNG...

The bytes, little-endian: a group count (1 byte); per group its id (2),
image count (1); per image its side (2), coded length (4) and the coded
pixels, row by row, each pixel 0xAARRGGBB in 4 bytes. The code is a count
byte c and then either one pixel that stands c + 1 times (c < 128) or
c - 127 pixels as they are.
"""

import struct
import sys
import zlib


def read_png(path):
    """A non-interlaced 8-bit RGBA, RGB or palette PNG's side and 0xAARRGGBB rows."""
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError("%s is not a PNG" % path)
    at, chunks, idat = 8, {}, b""
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        if kind == b"IDAT":
            idat += body
        else:
            chunks.setdefault(kind, body)
        at += 12 + length
    width, height, depth, colour, _, _, interlace = struct.unpack(">IIBBBBB", chunks[b"IHDR"])
    channels = {6: 4, 2: 3, 3: 1}.get(colour)
    if depth != 8 or interlace or channels is None:
        raise ValueError("%s: depth %d, colour type %d, interlace %d not read here" % (path, depth, colour, interlace))
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind, line = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - channels] if i >= channels else 0
            up = previous[i]
            corner = previous[i - channels] if i >= channels else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 0xFF
        rows.append(line)
        previous = line
    palette = chunks.get(b"PLTE", b"")
    alphas = chunks.get(b"tRNS", b"")
    pixels = []
    for line in rows:
        for x in range(width):
            if channels == 1:
                i = line[x]
                r, g, b = palette[3 * i:3 * i + 3]
                a = alphas[i] if i < len(alphas) else 255
            else:
                r, g, b = line[x * channels:x * channels + 3]
                a = line[x * channels + 3] if channels == 4 else 255
            pixels.append(a << 24 | r << 16 | g << 8 | b)
    return width, height, pixels


def run_length(pixels):
    out, at = bytearray(), 0
    while at < len(pixels):
        run = 1
        while at + run < len(pixels) and run < 128 and pixels[at + run] == pixels[at]:
            run += 1
        if run > 1:
            out += bytes([run - 1]) + struct.pack("<I", pixels[at])
            at += run
            continue
        end = at + 1
        while end < len(pixels) and end - at < 128 and not (end + 1 < len(pixels) and pixels[end + 1] == pixels[end]):
            end += 1
        out += bytes([127 + end - at]) + b"".join(struct.pack("<I", p) for p in pixels[at:end])
        at = end
    return bytes(out)


def main(output, group, paths):
    images = sorted(read_png(path) for path in paths)
    blob = bytearray(struct.pack("<BHB", 1, group, len(images)))
    for width, height, pixels in images:
        if width != height:
            raise ValueError("a %dx%d icon is not square" % (width, height))
        coded = run_length(pixels)
        blob += struct.pack("<HI", width, len(coded)) + coded
    lines = ["// Made by cmake/icon-resource.py from %s; not edited by hand." % ", ".join(
        p.rsplit("/", 1)[-1] for p in paths), "#include <stddef.h>", "",
        'extern "C" const unsigned char program_icon_resources[] = {']
    for start in range(0, len(blob), 20):
        lines.append("    " + ", ".join("%d" % b for b in blob[start:start + 20]) + ",")
    lines += ["};", 'extern "C" const size_t program_icon_resources_size = sizeof program_icon_resources;', ""]
    text = "\n".join(lines)
    try:
        if open(output).read() == text:
            return
    except OSError:
        pass
    with open(output, "w") as f:
        f.write(text)


if __name__ == "__main__":
    if len(sys.argv) < 4:
        print(__doc__.strip(), file=sys.stderr)
        sys.exit(2)
    main(sys.argv[1], int(sys.argv[2]), sys.argv[3:])
