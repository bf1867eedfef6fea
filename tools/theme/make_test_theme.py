#!/usr/bin/env python3
"""Builds the small theme archive the control-skin tests load: a scroll-bar sprite whose every cell is one flat
colour inside a 2-pixel rim (so a test can tell cells apart by a probed pixel), and radio and check pictures.

usage: make_test_theme.py <output.zip>"""
import os
import sys
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from imaging import Canvas, bmp_bytes, png_bytes  # noqa: E402

CELL = 16
RIM = (40, 40, 40)
# Sprite columns (x = column * 16) of row 0 (vertical bar) and row 1 (horizontal bar).
COLUMNS = {0: "first", 1: "first.over", 2: "first.down", 4: "second", 5: "second.over", 6: "second.down",
           8: "thumb", 9: "thumb.over", 10: "thumb.down", 14: "track"}


def cell_colour(row, column):
    """The centre colour of a sprite cell: red names the column, green the row, blue is fixed."""
    return (20 + column * 15, 60 + row * 100, 200)


SIZE_BOX = (250, 200, 0)
SIZE_BOX_LEFT = (0, 200, 250)


def scroll_sprite():
    c = Canvas(15 * CELL, 3 * CELL, (255, 255, 255, 1.0))

    def fill(x0, y0, colour):
        for y in range(y0, y0 + CELL):
            for x in range(x0, x0 + CELL):
                rim = x - x0 < 2 or y - y0 < 2 or x0 + CELL - 1 - x < 2 or y0 + CELL - 1 - y < 2
                c.set(x, y, RIM if rim else colour)

    for row in (0, 1):
        for column in COLUMNS:
            fill(column * CELL, row * CELL, cell_colour(row, column))
    fill(0, 2 * CELL, SIZE_BOX)
    fill(CELL, 2 * CELL, SIZE_BOX_LEFT)
    return bmp_bytes(c)


def box_picture(colour, mark):
    """A 13 x 13 radio or check picture: a flat box of `colour`, with a dark 5 x 5 mark in the middle when set."""
    c = Canvas(13, 13, (*colour, 1.0))
    if mark:
        for y in range(4, 9):
            for x in range(4, 9):
                c.set(x, y, (0, 0, 0))
    return png_bytes(c)


# Box pictures by (checked, display state): one flat colour each so a test can name what was drawn.
BOX_STATES = ["normal", "over", "down", "disable", "focus"]
BOX_COLOURS = {
    (False, "normal"): (200, 200, 200), (False, "over"): (150, 200, 250), (False, "down"): (90, 140, 220),
    (False, "disable"): (120, 120, 120), (False, "focus"): (220, 220, 150),
    (True, "normal"): (200, 250, 200), (True, "over"): (150, 250, 150), (True, "down"): (60, 200, 60),
    (True, "disable"): (100, 140, 100), (True, "focus"): (230, 250, 150),
}
INDETERMINATE = (250, 160, 60)
# Push button pictures by state (no focus picture: a focused button shows the normal one).
BUTTON_COLOURS = {"normal": (200, 0, 0), "over": (0, 200, 0), "down": (0, 0, 200), "disable": (100, 100, 100)}


def button_picture(colour):
    return png_bytes(Canvas(60, 24, (*colour, 1.0)))


def skin_xml():
    images = ['<item id="test.scrollbar" value="skin\\scrollbar.bmp"/>']
    attrs = []
    for checked in (False, True):
        for state in BOX_STATES:
            name = f"{'checked' if checked else 'uncheck'}_{state}"
            images.append(f'<item id="test.{name}" value="skin\\{name}.png"/>')
            attr = f"pic{'Checked' if checked else 'Uncheck'}{state.capitalize().replace('Disable', 'Disible')}"
            attrs.append(f'{attr}="test.{name}"')
    images.append('<item id="test.indeterminate" value="skin\\indeterminate.png"/>')
    for state in BUTTON_COLOURS:
        images.append(f'<item id="test.button_{state}" value="skin\\button_{state}.png"/>')
    button_attrs = ('picNormal="test.button_normal" picOver="test.button_over" picDown="test.button_down" '
                    'picDisable="test.button_disable"')
    button_texts = ('<text id="item.text" state="normal|over|down" string="" color="RGB(0,0,0)"/>'
                    '<text id="item.text.disable" state="disable" string="" color="RGB(128,128,128)"/>')
    box_attrs = " ".join(attrs)
    return f"""<?xml version="1.0" encoding="utf-8"?>
<theme version="3.0">
  <manifest folder="skin"/>
  <font><item id="default" fontface="Tahoma" fontsize="12"/></font>
  <color><item id="standard.border" value="RGB(64,165,213)"/></color>
  <image>{''.join(images)}</image>
  <constrol>
    <item class="button" id="test.button"><attribute toolTip="关闭" {button_attrs}/>{button_texts}</item>
    <item class="button" id="test.eventbutton"><attribute {button_attrs}/><eventitem id="ev" left="0" top="0" width="20" height="24"/></item>
    <item class="groupbutton" id="test.group"><attribute textColor="RGB(0,64,128)" borderColor="#standard.border"/></item>
    <item class="scrollbar" id="test.scrollbar"><attribute bmpScrollbar="test.scrollbar"/></item>
    <item class="radiobutton" id="test.radio"><attribute {box_attrs} textNormalColor="RGB(0,0,0)"/></item>
    <item class="checkbutton" id="test.check"><attribute {box_attrs} picIndeterminate="test.indeterminate" textNormalColor="RGB(0,0,0)"/></item>
  </constrol>
</theme>
""".encode("utf-8")


def build(out_path):
    files = [("skin.xml", skin_xml()), ("skin/scrollbar.bmp", scroll_sprite()),
             ("skin/indeterminate.png", box_picture(INDETERMINATE, True))]
    for state, colour in BUTTON_COLOURS.items():
        files.append((f"skin/button_{state}.png", button_picture(colour)))
    for (checked, state), colour in BOX_COLOURS.items():
        files.append((f"skin/{'checked' if checked else 'uncheck'}_{state}.png", box_picture(colour, checked)))
    tmp = out_path + ".tmp"
    with zipfile.ZipFile(tmp, "w") as z:
        for name, data in files:
            info = zipfile.ZipInfo(name, (2012, 6, 1, 12, 0, 0))
            z.writestr(info, data, zipfile.ZIP_DEFLATED, 9)
    os.replace(tmp, out_path)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    build(sys.argv[1])
