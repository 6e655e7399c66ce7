#!/usr/bin/env python3
"""Draws the programs' icon from its description (icon.txt) as a Windows
icon file with the sizes 16, 24, 32 and 48 pixels, each a 32-bit
picture with its opacity. Each pixel is the colour of the shapes over 4 by
4 points inside it, so that edges come out smooth.

    make_icon.py DESCRIPTION ICON_FILE
"""
import math
import struct
import sys

SIZES = (16, 24, 32, 48)
GRID = 32.0
SAMPLES = 4


def colour(text):
    text = text.lstrip('#')
    if len(text) not in (6, 8):
        raise ValueError('a colour is #RRGGBB or #RRGGBBAA: ' + text)
    values = [int(text[i:i + 2], 16) / 255.0 for i in range(0, len(text), 2)]
    return values + [1.0] * (4 - len(values))


def read_shapes(path):
    shapes = []
    with open(path, encoding='utf-8') as source:
        for number, line in enumerate(source, 1):
            words = line.split(';', 1)[0].split()
            if not words:
                continue
            kind = words[0]
            try:
                if kind == 'rect':
                    x, y, width, height = (float(w) for w in words[1:5])
                    points = [(x, y), (x + width, y), (x + width, y + height), (x, y + height)]
                    shapes.append(('polygon', points, colour(words[5])))
                elif kind == 'polygon':
                    points = [tuple(float(v) for v in w.split(',')) for w in words[2:]]
                    if len(points) < 3:
                        raise ValueError('a polygon needs three points')
                    shapes.append(('polygon', points, colour(words[1])))
                elif kind == 'circle':
                    x, y, radius = (float(w) for w in words[1:4])
                    shapes.append(('circle', (x, y, radius), colour(words[4])))
                else:
                    raise ValueError('unknown shape ' + kind)
            except (ValueError, IndexError) as error:
                sys.exit('%s, line %d: %s' % (path, number, error))
    return shapes


def inside(shape, x, y):
    kind, data, _ = shape
    if kind == 'circle':
        cx, cy, radius = data
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2
    crossings = False
    for (x1, y1), (x2, y2) in zip(data, data[1:] + data[:1]):
        if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
            crossings = not crossings
    return crossings


def draw(shapes, size):
    """The pixels, top row first, each (blue, green, red, alpha) as bytes."""
    rows = []
    for row in range(size):
        pixels = []
        for column in range(size):
            total = [0.0, 0.0, 0.0, 0.0]  # premultiplied red, green, blue; alpha
            for sy in range(SAMPLES):
                for sx in range(SAMPLES):
                    x = (column + (sx + 0.5) / SAMPLES) * GRID / size
                    y = (row + (sy + 0.5) / SAMPLES) * GRID / size
                    r = g = b = a = 0.0
                    for shape in shapes:
                        if inside(shape, x, y):
                            sr, sg, sb, sa = shape[2]
                            r, g, b = sr * sa + r * (1 - sa), sg * sa + g * (1 - sa), sb * sa + b * (1 - sa)
                            a = sa + a * (1 - sa)
                    for i, v in enumerate((r, g, b, a)):
                        total[i] += v
            count = SAMPLES * SAMPLES
            alpha = total[3] / count
            straight = [total[i] / count / alpha if alpha > 0 else 0.0 for i in range(3)]
            red, green, blue = (min(255, int(math.floor(v * 255 + 0.5))) for v in straight)
            pixels.append((blue, green, red, min(255, int(math.floor(alpha * 255 + 0.5)))))
        rows.append(pixels)
    return rows


def bitmap(rows, size):
    """One picture of the icon file: a header, the colours bottom row
    first, and the mask of transparent pixels, each row of it padded to
    four bytes."""
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    colours = b''.join(bytes(p) for pixels in reversed(rows) for p in pixels)
    mask_row = (size + 31) // 32 * 4
    mask = b''
    for pixels in reversed(rows):
        bits = bytearray(mask_row)
        for column, pixel in enumerate(pixels):
            if pixel[3] == 0:
                bits[column // 8] |= 0x80 >> (column % 8)
        mask += bytes(bits)
    return header + colours + mask


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    shapes = read_shapes(sys.argv[1])
    pictures = [bitmap(draw(shapes, size), size) for size in SIZES]
    directory = struct.pack('<HHH', 0, 1, len(SIZES))
    offset = 6 + 16 * len(SIZES)
    for size, picture in zip(SIZES, pictures):
        directory += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(picture), offset)
        offset += len(picture)
    with open(sys.argv[2], 'wb') as icon:
        icon.write(directory + b''.join(pictures))


if __name__ == '__main__':
    main()
