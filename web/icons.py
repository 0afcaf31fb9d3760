#!/usr/bin/env python3
"""Draws the installed page's icons from the desktop one, with Python alone.

  web/icons.py SOURCE.png SIZE OUT.png [SIZE OUT.png ...]

The source is an 8-bit RGBA PNG (packaging/icons/256x256/quillmoor.png).
Each pixel of an icon is the source's area under it, averaged with its alpha
weighting the colours so that the clear surround does not darken the edges;
at twice the size that is each source pixel doubled, which keeps the cube's
outlines sharp. The output is the same for the same source.
"""
import struct
import sys
import zlib


def chunks(data):
    at = 8
    while at < len(data):
        length, kind = struct.unpack('>I4s', data[at:at + 8])
        yield kind, data[at + 8:at + 8 + length]
        at += 12 + length


def read_rgba(path):
    with open(path, 'rb') as f:
        data = f.read()
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        raise SystemExit(f'{path}: not a PNG')
    header, packed = None, b''
    for kind, body in chunks(data):
        if kind == b'IHDR':
            header = struct.unpack('>IIBBBBB', body)
        elif kind == b'IDAT':
            packed += body
    width, height, depth, colour, _, _, interlace = header
    if (depth, colour, interlace) != (8, 6, 0):
        raise SystemExit(f'{path}: not 8-bit RGBA without interlacing')
    raw, stride, rows, previous = zlib.decompress(packed), width * 4, [], bytearray(width * 4)
    for y in range(height):
        kind, row = raw[y * (stride + 1)], bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            a = row[i - 4] if i >= 4 else 0
            b = previous[i]
            c = previous[i - 4] if i >= 4 else 0
            if kind == 1:
                row[i] = (row[i] + a) & 255
            elif kind == 2:
                row[i] = (row[i] + b) & 255
            elif kind == 3:
                row[i] = (row[i] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                row[i] = (row[i] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(row)
        previous = row
    # Premultiplied, as floats: [y][x] -> [r*a, g*a, b*a, a]
    return [[[row[x * 4 + k] * row[x * 4 + 3] / 255 for k in range(3)] + [row[x * 4 + 3]]
             for x in range(width)] for row in rows]


def weights(source, size):
    """For each output index, the source indices under it and their shares."""
    scale, out = source / size, []
    for o in range(size):
        start, end, parts = o * scale, (o + 1) * scale, []
        for i in range(int(start), min(source, int(-(-end // 1)))):
            share = min(end, i + 1) - max(start, i)
            if share > 1e-9:
                parts.append((i, share / scale))
        out.append(parts)
    return out


def scale(pixels, size):
    across, down = weights(len(pixels[0]), size), weights(len(pixels), size)
    rows = [[[sum(row[i][k] * w for i, w in parts) for k in range(4)] for parts in across] for row in pixels]
    return [[[sum(rows[i][x][k] * w for i, w in parts) for k in range(4)] for x in range(size)] for parts in down]


def write_rgba(path, pixels):
    size, lines = len(pixels), []
    for row in pixels:
        line = bytearray()
        for r, g, b, a in row:
            alpha = round(a)
            line += bytes([round(min(255, v * 255 / a)) if alpha else 0 for v in (r, g, b)] + [alpha])
        lines.append(line)
    # Each row filtered by "up" or by none, whichever leaves smaller bytes.
    raw, previous = bytearray(), bytearray(len(lines[0]))
    for line in lines:
        up = bytes((v - p) & 255 for v, p in zip(line, previous))
        cost = lambda row: sum(min(v, 256 - v) for v in row)
        raw += b'\x02' + up if cost(up) < cost(line) else b'\x00' + line
        previous = line

    def chunk(kind, body):
        return struct.pack('>I', len(body)) + kind + body + struct.pack('>I', zlib.crc32(kind + body))
    with open(path, 'wb') as f:
        f.write(b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', size, size, 8, 6, 0, 0, 0))
                + chunk(b'IDAT', zlib.compress(bytes(raw), 9)) + chunk(b'IEND', b''))


if __name__ == '__main__':
    source = read_rgba(sys.argv[1])
    for size, path in zip(sys.argv[2::2], sys.argv[3::2]):
        write_rgba(path, scale(source, int(size)))
