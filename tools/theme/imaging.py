"""Small deterministic raster toolkit for the theme pictures: float RGBA canvases, anti-aliased shapes drawn
from signed distances, and writers for PNG, 24-bit BMP and animated GIF (standard library only)."""
import math
import struct
import zlib

MAGENTA = (255, 0, 255)


def clamp01(v):
    return 0.0 if v < 0.0 else 1.0 if v > 1.0 else v


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(len(a)))


class Canvas:
    """Straight (not premultiplied) RGBA in floats 0..255 for colour and 0..1 for alpha."""

    def __init__(self, width, height, fill=(0, 0, 0, 0.0)):
        self.w = width
        self.h = height
        self.px = [[list(fill) for _ in range(width)] for _ in range(height)]

    def blend(self, x, y, color, alpha):
        if alpha <= 0.0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        p = self.px[y][x]
        da = p[3]
        out_a = alpha + da * (1.0 - alpha)
        if out_a <= 0.0:
            return
        for i in range(3):
            p[i] = (color[i] * alpha + p[i] * da * (1.0 - alpha)) / out_a
        p[3] = out_a

    def set(self, x, y, color, alpha=1.0):
        self.px[y][x] = [color[0], color[1], color[2], alpha]

    def shape(self, sdf, color_at, opacity=1.0, box=None):
        """Fills the area where sdf(x, y) < 0 (pixel centres), anti-aliased over one pixel. color_at is a
        colour or a function (x, y) -> colour."""
        x0, y0, x1, y1 = box if box else (0, 0, self.w, self.h)
        fn = color_at if callable(color_at) else (lambda _x, _y: color_at)
        for y in range(max(0, y0), min(self.h, y1)):
            for x in range(max(0, x0), min(self.w, x1)):
                cov = clamp01(0.5 - sdf(x + 0.5, y + 0.5))
                if cov > 0.0:
                    self.blend(x, y, fn(x + 0.5, y + 0.5), cov * opacity)

    def rgba_bytes(self):
        rows = []
        for row in self.px:
            line = bytearray()
            for r, g, b, a in row:
                line += bytes((round_byte(r), round_byte(g), round_byte(b), round_byte(a * 255)))
            rows.append(bytes(line))
        return rows

    def rgb_rows(self, background=(255, 255, 255)):
        rows = []
        for row in self.px:
            line = bytearray()
            for r, g, b, a in row:
                line += bytes(round_byte(c * a + bg * (1 - a)) for c, bg in zip((r, g, b), background))
            rows.append(bytes(line))
        return rows


def round_byte(v):
    v = int(math.floor(v + 0.5))
    return 0 if v < 0 else 255 if v > 255 else v


# ---- signed distances ---------------------------------------------------------------------------------------

def rounded_box(x0, y0, x1, y1, r):
    cx, cy = (x0 + x1) / 2.0, (y0 + y1) / 2.0
    hx, hy = (x1 - x0) / 2.0 - r, (y1 - y0) / 2.0 - r

    def sdf(x, y):
        qx, qy = abs(x - cx) - hx, abs(y - cy) - hy
        outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
        return outside + min(max(qx, qy), 0.0) - r
    return sdf


def ring(sdf, width):
    """A stroke of the given width along the inside of a shape's edge."""
    return lambda x, y: max(sdf(x, y), -sdf(x, y) - width)


def segment(ax, ay, bx, by, width):
    dx, dy = bx - ax, by - ay
    length2 = dx * dx + dy * dy

    def sdf(x, y):
        t = 0.0 if length2 == 0 else max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / length2))
        return math.hypot(x - ax - t * dx, y - ay - t * dy) - width / 2.0
    return sdf


def circle(cx, cy, r):
    return lambda x, y: math.hypot(x - cx, y - cy) - r


def union(*sdfs):
    return lambda x, y: min(s(x, y) for s in sdfs)


def subtract(a, b):
    return lambda x, y: max(a(x, y), -b(x, y))


def triangle_down(cx, top, half_width, height):
    """A filled triangle pointing down, its top edge at `top`."""
    def sdf(x, y):
        # Intersection of three half-planes; distance approximated by the largest plane distance.
        d_top = top - y
        slope = half_width / height
        n = math.hypot(1.0, slope)
        d_left = ((cx - x) - slope * (top + height - y)) / n
        d_right = ((x - cx) - slope * (top + height - y)) / n
        return max(d_top, d_left, d_right)
    return sdf


def vgradient(stops, y0, y1):
    """Colour by y between y0 and y1 through a list of (t, colour) stops."""
    def at(_x, y):
        t = clamp01((y - y0) / float(max(1e-6, y1 - y0)))
        for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
            if t <= t1:
                return mix(c0, c1, 0.0 if t1 == t0 else (t - t0) / (t1 - t0))
        return stops[-1][1]
    return at


# ---- writers ------------------------------------------------------------------------------------------------

def _chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)


def png_bytes(canvas, alpha=True):
    if alpha:
        rows, color_type, bpp = canvas.rgba_bytes(), 6, 4
    else:
        rows, color_type, bpp = canvas.rgb_rows(), 2, 3
    raw = bytearray()
    prev = bytes(canvas.w * bpp)
    for row in rows:
        # Filter "up" where it helps the deflate stream, else none; chosen per row, deterministically.
        up = bytes((row[i] - prev[i]) & 0xFF for i in range(len(row)))
        if sum(1 for b in up if b == 0) > sum(1 for b in row if b == 0):
            raw += b"\x02" + up
        else:
            raw += b"\x00" + row
        prev = row
    ihdr = struct.pack(">IIBBBBB", canvas.w, canvas.h, 8, color_type, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + _chunk(b"IHDR", ihdr) + _chunk(b"IDAT", zlib.compress(bytes(raw), 9)) +
            _chunk(b"IEND", b""))


def bmp_bytes(canvas, background=(255, 255, 255)):
    rows = canvas.rgb_rows(background)
    stride = (canvas.w * 3 + 3) & ~3
    data = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for i in range(0, len(row), 3):
            line += bytes((row[i + 2], row[i + 1], row[i]))
        line += bytes(stride - len(line))
        data += line
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(data), 0, 0, 54)
    info = struct.pack("<IiiHHIIiiII", 40, canvas.w, canvas.h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header + info + bytes(data)


def _lzw(indices, min_size):
    clear, end = 1 << min_size, (1 << min_size) + 1
    codes = []
    table = {}
    next_code = end + 1
    size = min_size + 1
    out = bytearray()
    acc = bits = 0

    def emit(code, width):
        nonlocal acc, bits
        acc |= code << bits
        bits += width
        while bits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            bits -= 8

    emit(clear, size)
    prefix = None
    for idx in indices:
        if prefix is None:
            prefix = idx
            continue
        key = (prefix, idx)
        if key in table:
            prefix = table[key]
            continue
        emit(prefix, size)
        if next_code < 4096:
            table[key] = next_code
            next_code += 1
            if next_code - 1 == (1 << size) and size < 12:
                size += 1
        else:
            emit(clear, size)
            table = {}
            next_code = end + 1
            size = min_size + 1
        prefix = idx
    if prefix is not None:
        emit(prefix, size)
    emit(end, size)
    if bits:
        out.append(acc & 0xFF)
    blocks = bytearray([min_size])
    for i in range(0, len(out), 255):
        chunk = out[i:i + 255]
        blocks.append(len(chunk))
        blocks += chunk
    blocks.append(0)
    del codes
    return bytes(blocks)


def gif_bytes(width, height, palette, frames, delay_cs):
    """frames: lists of palette indices (rows top-down). palette: up to 256 RGB tuples."""
    bits = max(1, (len(palette) - 1).bit_length())
    table = list(palette) + [(0, 0, 0)] * ((1 << bits) - len(palette))
    out = bytearray(b"GIF89a")
    out += struct.pack("<HHBBB", width, height, 0x80 | (bits - 1), 0, 0)
    for r, g, b in table:
        out += bytes((r, g, b))
    out += b"\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00"
    for frame in frames:
        out += b"\x21\xf9\x04" + struct.pack("<BHBB", 1 << 2, delay_cs, 0, 0)
        out += b"\x2c" + struct.pack("<HHHHB", 0, 0, width, height, 0)
        out += _lzw(frame, max(2, bits))
    out += b"\x3b"
    return bytes(out)
