#!/usr/bin/env python3
"""Draws the program's icon (128) and the device menu bitmaps (131 iPad, 132 iPhone).

Deterministic: the same script writes the same bytes. Usage: make_glyphs.py OUT_DIR
Writes app.ico (16, 32, 48 px, 32-bit with mask), ipad.bmp and iphone.bmp (17 x 18, 24-bit).
"""
import struct
import sys
from pathlib import Path

SS = 4  # supersampling per axis


def inside_round_rect(x, y, left, top, right, bottom, r):
    if x < left or x > right or y < top or y > bottom:
        return False
    cx = min(max(x, left + r), right - r)
    cy = min(max(y, top + r), bottom - r)
    return (x - cx) ** 2 + (y - cy) ** 2 <= r * r


def render(w, h, shade):
    """shade(x, y) -> (r, g, b, a) for a point in pixel units; returns rows of RGBA tuples, anti-aliased."""
    rows = []
    for py in range(h):
        row = []
        for px in range(w):
            acc = [0.0, 0.0, 0.0, 0.0]
            for sy in range(SS):
                for sx in range(SS):
                    r, g, b, a = shade(px + (sx + 0.5) / SS, py + (sy + 0.5) / SS)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = SS * SS
            a = acc[3] / n
            if a > 0:
                row.append(tuple(int(round(c / acc[3])) for c in acc[:3]) + (int(round(a * 255)),))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def icon_shade(size):
    s = size / 48.0

    def shade(x, y):
        # Tile: rounded square with a vertical blue gradient.
        if not inside_round_rect(x, y, 1 * s, 1 * s, 47 * s, 47 * s, 9 * s):
            return (0, 0, 0, 0)
        t = y / size
        tile = (int(30 + 20 * t), int(136 - 60 * t), int(229 - 70 * t), 1.0)
        # Phone body: white outline with a dark screen.
        body = inside_round_rect(x, y, 14 * s, 6 * s, 34 * s, 42 * s, 4 * s)
        screen = inside_round_rect(x, y, 16.5 * s, 10 * s, 31.5 * s, 36 * s, 1 * s)
        if body and not screen:
            return (255, 255, 255, 1.0)
        if screen:
            # Status bar with signal bars and a carrier mark, the thing this tool changes.
            if y < 14 * s:
                for i, bar_h in enumerate((1.2, 2.0, 2.8)):
                    bx = 18 * s + i * 1.6 * s
                    if bx <= x < bx + 1.1 * s and 13.4 * s - bar_h * s <= y < 13.4 * s:
                        return (255, 255, 255, 1.0)
                if 23 * s <= x < 29.5 * s and 11 * s <= y < 13 * s:
                    return (255, 210, 60, 1.0)
                return (24, 40, 72, 1.0)
            return (40, 70, 120, 1.0)
        return tile

    return shade


def device_glyph(kind):
    # 17 x 18 glyph on white: dark outline of an iPad (wide) or iPhone (narrow).
    if kind == "ipad":
        l, t, r, b, rad = 2.0, 1.5, 15.0, 16.5, 1.6
    else:
        l, t, r, b, rad = 4.5, 0.5, 12.5, 17.5, 1.8

    def shade(x, y):
        if inside_round_rect(x, y, l, t, r, b, rad):
            inner = inside_round_rect(x, y, l + 1.2, t + 2.2, r - 1.2, b - 2.4, 0.3)
            if inner:
                return (120, 170, 225, 1.0)
            return (48, 56, 68, 1.0)
        return (255, 255, 255, 1.0)

    return shade


def bmp24(rows):
    h, w = len(rows), len(rows[0])
    stride = (w * 3 + 3) & ~3
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for r, g, b, a in row:
            line += bytes((b, g, r))
        line += b"\0" * (stride - len(line))
        pixels += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    return header + info + bytes(pixels)


def ico(images):
    entries, blobs = [], []
    offset = 6 + 16 * len(images)
    for rows in images:
        h, w = len(rows), len(rows[0])
        xor = bytearray()
        for row in reversed(rows):
            for r, g, b, a in row:
                xor += bytes((b, g, r, a))
        mask_stride = ((w + 31) // 32) * 4
        mask = bytearray()
        for row in reversed(rows):
            bits = bytearray(mask_stride)
            for x, (_, _, _, a) in enumerate(row):
                if a == 0:
                    bits[x // 8] |= 0x80 >> (x % 8)
            mask += bits
        info = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        blob = info + bytes(xor) + bytes(mask)
        entries.append(struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(blob), offset))
        blobs.append(blob)
        offset += len(blob)
    return struct.pack("<HHH", 0, 1, len(images)) + b"".join(entries) + b"".join(blobs)


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    (out / "app.ico").write_bytes(ico([render(s, s, icon_shade(s)) for s in (16, 32, 48)]))
    (out / "ipad.bmp").write_bytes(bmp24(render(17, 18, device_glyph("ipad"))))
    (out / "iphone.bmp").write_bytes(bmp24(render(17, 18, device_glyph("iphone"))))
    return 0


if __name__ == "__main__":
    sys.exit(main())
