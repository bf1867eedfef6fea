"""The pictures of the shipped theme, drawn from shapes. Every function returns the encoded file bytes."""
import math

from imaging import (MAGENTA, Canvas, bmp_bytes, circle, gif_bytes, mix, png_bytes, ring, rounded_box, segment,
                     subtract, triangle_down, union, vgradient)

WHITE = (255, 255, 255)
# The frame's blue title band: dark enough that white text reads well on it.
BAND_TOP = (58, 138, 218)
BAND_MID = (36, 112, 196)
BAND_BOTTOM = (26, 92, 170)
FRAME_EDGE = (20, 72, 138)
BODY = (243, 247, 255)
# Close to the system button face (240, 240, 240), so undressed labels on the bottom band show no boxes.
BUTTON_FACE = (240, 240, 240)


def frame_bitmap(width, height, band):
    """A dialog frame picture: rounded 15 x 15 corners with exact magenta outside them, a blue title band of
    `band` rows, a light body and a dark edge."""
    c = Canvas(width, height, (*MAGENTA, 1.0))
    outer = rounded_box(0, 0, width, height, 7.5)
    # Inside the rounded shape everything is opaque; outside it stays exactly magenta. Edge pixels are covered
    # by the dark frame edge so that no pink fringe appears.
    for y in range(height):
        for x in range(width):
            if outer(x + 0.5, y + 0.5) < 0.0:
                c.set(x, y, FRAME_EDGE)
    inner = rounded_box(1, 1, width - 1, height - 1, 6.5)
    band_color = vgradient([(0.0, BAND_TOP), (0.45, BAND_MID), (1.0, BAND_BOTTOM)], 1, band)
    body_color = vgradient([(0.0, BODY), (1.0, (236, 242, 252))], band, height)

    def fill(x, y):
        return band_color(x, y) if y < band else body_color(x, y)

    c.shape(inner, fill, box=(0, 0, width, height))
    # A soft gloss on the upper half of the band and a light inner rim.
    gloss = rounded_box(1, 1, width - 1, band // 2 + 2, 6.5)
    c.shape(gloss, WHITE, opacity=0.10, box=(0, 0, width, band // 2 + 3))
    c.shape(ring(inner, 1.0), WHITE, opacity=0.22, box=(0, 0, width, band))
    # The line under the band.
    for x in range(2, width - 2):
        c.blend(x, band, FRAME_EDGE, 0.55)
        c.blend(x, band + 1, WHITE, 0.6)
    # Re-assert the exact key colour outside the shape after blending.
    for y in range(height):
        for x in range(width):
            if outer(x + 0.5, y + 0.5) >= 0.0:
                c.set(x, y, MAGENTA)
    return bmp_bytes(c)


def dialog_background():
    return frame_bitmap(350, 180, 46)


def prompt_background():
    return frame_bitmap(244, 137, 36)


def bottom_band():
    c = Canvas(1, 45, (*BUTTON_FACE, 1.0))
    c.set(0, 0, (214, 220, 228))
    c.set(0, 1, (250, 250, 250))
    return png_bytes(c, alpha=False)


# ---- push buttons -------------------------------------------------------------------------------------------

PUSH_STATES = {
    "normal": ((253, 253, 253), (229, 232, 236), (146, 156, 170)),
    "hot": ((238, 246, 254), (204, 228, 250), (60, 127, 190)),
    "down": ((200, 222, 242), (178, 206, 234), (40, 96, 156)),
    "disable": ((246, 246, 246), (238, 238, 238), (196, 198, 202)),
}


def push_button(state):
    top, bottom, border = PUSH_STATES[state]
    w, h = 69, 26
    c = Canvas(w, h)
    outer = rounded_box(0, 0, w, h, 3.5)
    inner = rounded_box(1, 1, w - 1, h - 1, 2.5)
    c.shape(outer, border)
    c.shape(inner, vgradient([(0.0, top), (1.0, bottom)], 1, h - 1))
    if state != "disable":
        c.shape(ring(inner, 1.0), WHITE, opacity=0.55 if state != "down" else 0.2)
    return png_bytes(c)


# ---- device button ------------------------------------------------------------------------------------------

DEVICE_STATES = {
    # fill, fill opacity, border opacity, arrow opacity
    "normal": ((14, 62, 128), 0.55, 0.45, 0.95),
    "hot": ((34, 96, 172), 0.70, 0.70, 1.0),
    "down": ((8, 44, 98), 0.80, 0.50, 1.0),
    "dis": ((40, 82, 140), 0.32, 0.25, 0.45),
}


def device_button(state):
    fill, fill_a, border_a, arrow_a = DEVICE_STATES[state]
    w, h = 142, 25
    c = Canvas(w, h)
    outer = rounded_box(0, 0, w, h, 4.0)
    c.shape(outer, fill, opacity=fill_a)
    c.shape(ring(outer, 1.0), WHITE, opacity=border_a * 0.6)
    # Gloss on the top half.
    c.shape(rounded_box(1, 1, w - 1, h // 2, 3.0), WHITE, opacity=0.08 if state != "down" else 0.03)
    # The drop-down arrow, right of the text area (the icon sits at 6,3 and the text starts at 26).
    c.shape(triangle_down(131.5, 10.0, 4.0, 4.5), WHITE, opacity=arrow_a)
    for y in range(5, h - 5):
        c.blend(122, y, (0, 0, 0), 0.18)
        c.blend(123, y, WHITE, 0.18 * arrow_a)
    return png_bytes(c)


def device_icon(kind):
    w, h = 17, 18
    c = Canvas(w, h)
    if kind == "iphone":
        body = rounded_box(4.5, 0.5, 12.5, 17.5, 2.0)
        screen = rounded_box(6.0, 3.0, 11.0, 13.5, 0.3)
        c.shape(ring(body, 1.4), WHITE)
        c.shape(screen, WHITE, opacity=0.35)
        c.shape(circle(8.5, 15.5, 0.9), WHITE)
        c.shape(segment(7.5, 1.9, 9.5, 1.9, 0.8), WHITE, opacity=0.9)
    else:
        body = rounded_box(1.5, 0.5, 15.5, 17.5, 2.0)
        screen = rounded_box(3.2, 2.4, 13.8, 14.3, 0.3)
        c.shape(ring(body, 1.4), WHITE)
        c.shape(screen, WHITE, opacity=0.35)
        c.shape(circle(8.5, 15.9, 0.85), WHITE)
    return png_bytes(c)


def main_logo():
    w = h = 26
    c = Canvas(w, h)
    tile = rounded_box(0, 0, w, h, 5.5)
    c.shape(tile, vgradient([(0.0, (92, 170, 240)), (1.0, (24, 92, 176))], 0, h))
    c.shape(rounded_box(0.5, 0.5, w - 0.5, 11, 5.0), WHITE, opacity=0.18)
    # Signal bars: the carrier logo's place in the status bar.
    for i, bar in enumerate((4, 7, 10, 13)):
        x = 5.5 + i * 4.2
        c.shape(rounded_box(x, 20.5 - bar, x + 2.8, 20.5, 0.8), WHITE)
    c.shape(ring(tile, 1.0), (12, 60, 128), opacity=0.6)
    return png_bytes(c)


# ---- caption buttons ----------------------------------------------------------------------------------------

def caption_button(kind, state):
    w = 51 if kind == "close" else 33
    h = 32
    c = Canvas(w, h)
    if state == "over":
        if kind == "close":
            c.shape(rounded_box(0, -8, w - 1, h - 4, 6.0), (226, 62, 62), opacity=0.95)
        else:
            c.shape(rounded_box(1, -8, w - 1, h - 4, 5.0), WHITE, opacity=0.22)
    elif state == "down":
        if kind == "close":
            c.shape(rounded_box(0, -8, w - 1, h - 4, 6.0), (170, 30, 36), opacity=0.95)
        else:
            c.shape(rounded_box(1, -8, w - 1, h - 4, 5.0), (0, 24, 60), opacity=0.28)
    cx, cy = w / 2.0, 13.5
    shadow = (8, 40, 90)
    glyph_a = 1.0

    def draw(sdf):
        c.shape(lambda x, y: sdf(x, y - 1.0), shadow, opacity=0.35 if state == "normal" else 0.2)
        c.shape(sdf, WHITE, opacity=glyph_a)

    if kind == "close":
        d = 5.0
        draw(union(segment(cx - d, cy - d, cx + d, cy + d, 1.9), segment(cx - d, cy + d, cx + d, cy - d, 1.9)))
    elif kind == "min":
        draw(segment(cx - 5.5, cy + 4.0, cx + 5.5, cy + 4.0, 2.0))
    elif kind == "max":
        box = rounded_box(cx - 5.5, cy - 5.0, cx + 5.5, cy + 5.0, 0.6)
        draw(union(ring(box, 1.4), rounded_box(cx - 5.5, cy - 5.0, cx + 5.5, cy - 2.6, 0.5)))
    elif kind == "restore":
        back = rounded_box(cx - 2.5, cy - 6.0, cx + 6.0, cy + 2.5, 0.5)
        front = rounded_box(cx - 6.0, cy - 2.5, cx + 2.5, cy + 6.0, 0.5)
        draw(union(subtract(ring(back, 1.3), front), ring(front, 1.4)))
    elif kind == "menu":
        draw(union(segment(cx - 5, cy - 4, cx + 5, cy - 4, 1.8), segment(cx - 5, cy, cx + 5, cy, 1.8),
                   segment(cx - 5, cy + 4, cx + 5, cy + 4, 1.8)))
    return png_bytes(c)


# ---- menu ---------------------------------------------------------------------------------------------------

MENU_BORDER = (140, 164, 196)
MENU_COLUMN = (236, 241, 248)
MENU_COLUMN_LINE = (214, 222, 234)


def menu_background():
    w, h = 142, 55
    c = Canvas(w, h, (*WHITE, 1.0))
    for y in range(h):
        for x in range(w):
            if x == 0 or y == 0 or x == w - 1 or y == h - 1:
                c.set(x, y, MENU_BORDER)
            elif x < 30:
                c.set(x, y, MENU_COLUMN)
            elif x == 30:
                c.set(x, y, MENU_COLUMN_LINE)
    return bmp_bytes(c)


def menu_hot():
    w, h = 142, 27
    c = Canvas(w, h, (*WHITE, 1.0))
    box = rounded_box(1, 1, w - 1, h - 1, 3.0)
    c.shape(box, (118, 168, 224))
    c.shape(rounded_box(2, 2, w - 2, h - 2, 2.0), vgradient([(0.0, (232, 242, 253)), (1.0, (200, 224, 250))], 2, h - 2))
    return bmp_bytes(c)


def menu_separator():
    c = Canvas(140, 1, (*WHITE, 1.0))
    for x in range(140):
        c.set(x, 0, MENU_COLUMN if x < 30 else (210, 218, 230))
    return bmp_bytes(c)


# ---- other pictures -----------------------------------------------------------------------------------------

def control_frame(height, hot):
    w = 32
    c = Canvas(w, height, (*WHITE, 1.0))
    border = (61, 123, 173) if hot else (171, 180, 192)
    for y in range(height):
        for x in range(w):
            if x in (0, w - 1) or y in (0, height - 1):
                c.set(x, y, border)
            elif hot and (x in (1, w - 2) or y in (1, height - 2)):
                c.set(x, y, (206, 226, 244))
    return bmp_bytes(c)


def white_background():
    return bmp_bytes(Canvas(24, 24, (*WHITE, 1.0)))


def topic_banner():
    w, h = 1020, 92
    c = Canvas(w, h)
    band = rounded_box(0, 0, w, h, 10.0)
    sky = vgradient([(0.0, (70, 150, 228)), (1.0, (28, 96, 178))], 0, h)
    c.shape(band, sky)
    # Broad soft light streaks running across the banner.
    for i, (x0, a) in enumerate(((120, 0.10), (360, 0.07), (610, 0.09), (850, 0.06))):
        c.shape(segment(x0, h + 10, x0 + 140, -10, 46 + 8 * i), WHITE, opacity=a, box=(x0 - 60, 0, x0 + 230, h))
    # A row of signal-bar marks at the right end.
    for i, bar in enumerate((14, 24, 34, 44)):
        x = 930 + i * 16
        c.shape(rounded_box(x, 70 - bar, x + 10, 70, 2.0), WHITE, opacity=0.85, box=(x - 2, 0, x + 13, h))
    c.shape(ring(band, 1.0), (16, 64, 128), opacity=0.5)
    return png_bytes(c)


def ajax_loader():
    """A 220 x 19 indeterminate progress bar: a light track with a blue block sliding along it."""
    w, h = 220, 19
    palette = [mix((255, 255, 255), (30, 100, 190), i / 15.0) for i in range(16)]
    palette = [tuple(int(round(v)) for v in p) for p in palette]
    frames = []
    count = 12
    track = rounded_box(1, 5, w - 1, h - 5, 4.0)
    for f in range(count):
        c = Canvas(w, h, (*WHITE, 1.0))
        c.shape(track, (226, 232, 240))
        c.shape(ring(track, 1.0), (180, 192, 208))
        start = -60 + f * (w + 60) / count
        block = rounded_box(start, 6, start + 60, h - 6, 3.0)
        clipped = lambda x, y, b=block: max(b(x, y), track(x, y))
        c.shape(clipped, vgradient([(0.0, (90, 160, 232)), (1.0, (30, 100, 190))], 6, h - 6))
        indices = []
        for row in c.rgb_rows():
            for i in range(0, len(row), 3):
                px = row[i:i + 3]
                best = min(range(16), key=lambda k: sum((px[j] - palette[k][j]) ** 2 for j in range(3)))
                indices.append(best)
        frames.append(indices)
    return gif_bytes(w, h, palette, frames, 8)


def thumbs_db():
    """A stand-in for the file browser's thumbnail cache that sits in the folder: not a picture."""
    header = bytes.fromhex("d0cf11e0a1b11ae1") + bytes(16) + bytes.fromhex("3e000300feff0900")
    return header + bytes(512 - len(header))
