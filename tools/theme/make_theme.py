#!/usr/bin/env python3
"""Builds the shipped theme archive: draws every picture, checks its format and size, and zips them with
skin.xml in a fixed order with fixed time stamps, so that the same sources always give the same archive.

usage: make_theme.py <output.zip> [<folder to also write the loose files into>]"""
import os
import struct
import sys
import zipfile

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import pictures  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))

# (entry name, producer, format, width, height, alpha) in archive order. None marks a folder.
ENTRIES = [
    ("skin.xml", None, "xml", 0, 0, False),
    ("skin/", None, "dir", 0, 0, False),
    ("skin/ajax-loader.gif", pictures.ajax_loader, "gif", 220, 19, False),
    ("skin/bg_bottom.png", pictures.bottom_band, "png", 1, 45, False),
    ("skin/btn_device_dis.png", lambda: pictures.device_button("dis"), "png", 142, 25, True),
    ("skin/btn_device_down.png", lambda: pictures.device_button("down"), "png", 142, 25, True),
    ("skin/btn_device_hot.png", lambda: pictures.device_button("hot"), "png", 142, 25, True),
    ("skin/btn_device_normal.png", lambda: pictures.device_button("normal"), "png", 142, 25, True),
    ("skin/button_disable.png", lambda: pictures.push_button("disable"), "png", 69, 26, True),
    ("skin/button_down.png", lambda: pictures.push_button("down"), "png", 69, 26, True),
    ("skin/button_hot.png", lambda: pictures.push_button("hot"), "png", 69, 26, True),
    ("skin/button_normal.png", lambda: pictures.push_button("normal"), "png", 69, 26, True),
    ("skin/controlframe_hot.bmp", lambda: pictures.control_frame(22, True), "bmp", 32, 22, False),
    ("skin/controlframe_normal.bmp", lambda: pictures.control_frame(20, False), "bmp", 32, 20, False),
    ("skin/DialogBk.bmp", pictures.dialog_background, "bmp", 350, 180, False),
    ("skin/icon_device_ipad.png", lambda: pictures.device_icon("ipad"), "png", 17, 18, True),
    ("skin/icon_device_iphone.png", lambda: pictures.device_icon("iphone"), "png", 17, 18, True),
    ("skin/main_logo.png", pictures.main_logo, "png", 26, 26, True),
    ("skin/PromptBk.bmp", pictures.prompt_background, "bmp", 244, 137, False),
    ("skin/sk_menu_bk.bmp", pictures.menu_background, "bmp", 142, 55, False),
    ("skin/sk_menu_hot.bmp", pictures.menu_hot, "bmp", 142, 27, False),
    ("skin/sk_menu_separator.bmp", pictures.menu_separator, "bmp", 140, 1, False),
    ("skin/sysbtn/", None, "dir", 0, 0, False),
    ("skin/sysbtn/button_close_highlightbackground.png", lambda: pictures.caption_button("close", "over"), "png", 51, 32, True),
    ("skin/sysbtn/button_close_pushedbackground.png", lambda: pictures.caption_button("close", "down"), "png", 51, 32, True),
    ("skin/sysbtn/button_colse_normal.png", lambda: pictures.caption_button("close", "normal"), "png", 51, 32, True),
    ("skin/sysbtn/button_max_highlightbackground.png", lambda: pictures.caption_button("max", "over"), "png", 33, 32, True),
    ("skin/sysbtn/button_max_normalbackground.png", lambda: pictures.caption_button("max", "normal"), "png", 33, 32, True),
    ("skin/sysbtn/button_max_pushedbackground.png", lambda: pictures.caption_button("max", "down"), "png", 33, 32, True),
    ("skin/sysbtn/button_min_highlightbackground.png", lambda: pictures.caption_button("min", "over"), "png", 33, 32, True),
    ("skin/sysbtn/button_min_normalbackground.png", lambda: pictures.caption_button("min", "normal"), "png", 33, 32, True),
    ("skin/sysbtn/button_min_pushedbackground.png", lambda: pictures.caption_button("min", "down"), "png", 33, 32, True),
    ("skin/sysbtn/button_restore_highlightbackground.png", lambda: pictures.caption_button("restore", "over"), "png", 33, 32, True),
    ("skin/sysbtn/button_restore_normal.png", lambda: pictures.caption_button("restore", "normal"), "png", 33, 32, True),
    ("skin/sysbtn/button_restore_pushedbackground.png", lambda: pictures.caption_button("restore", "down"), "png", 33, 32, True),
    ("skin/sysbtn/sysbtn_ims_menu.png", lambda: pictures.caption_button("menu", "normal"), "png", 33, 32, True),
    ("skin/sysbtn/sysbtn_ims_menu_down.png", lambda: pictures.caption_button("menu", "down"), "png", 33, 32, True),
    ("skin/sysbtn/sysbtn_ims_menu_hover.png", lambda: pictures.caption_button("menu", "over"), "png", 33, 32, True),
    ("skin/sysbtn/Thumbs.db", pictures.thumbs_db, "other", 0, 0, False),
    ("skin/TopicMaps-1.png", pictures.topic_banner, "png", 1020, 92, True),
    ("skin/white_bg.bmp", pictures.white_background, "bmp", 24, 24, False),
]

FIXED_TIME = (2012, 6, 1, 12, 0, 0)


def check(name, data, fmt, width, height, alpha):
    """Reads the header back and fails the build when a picture is not what the theme expects."""
    if fmt == "png":
        assert data[:8] == b"\x89PNG\r\n\x1a\n", name
        w, h, depth, color_type = struct.unpack(">IIBB", data[16:26])
        assert depth == 8 and color_type == (6 if alpha else 2), (name, depth, color_type)
    elif fmt == "bmp":
        assert data[:2] == b"BM", name
        w, h = struct.unpack("<ii", data[18:26])
        bpp = struct.unpack("<H", data[28:30])[0]
        assert bpp == 24, (name, bpp)
        assert struct.unpack("<I", data[2:6])[0] == len(data), name
    elif fmt == "gif":
        assert data[:6] == b"GIF89a", name
        w, h = struct.unpack("<HH", data[6:10])
        assert data.count(b"\x2c\x00\x00\x00\x00") > 1, name + ": not animated"
    else:
        return
    assert (w, h) == (width, height), (name, w, h, width, height)


def build(out_path, loose_dir=None):
    with open(os.path.join(HERE, "skin.xml"), "rb") as f:
        document = f.read()
    files = []
    for name, producer, fmt, width, height, alpha in ENTRIES:
        if fmt == "dir":
            files.append((name, None))
            continue
        data = document if fmt == "xml" else producer()
        check(name, data, fmt, width, height, alpha)
        files.append((name, data))
    tmp = out_path + ".tmp"
    with zipfile.ZipFile(tmp, "w") as z:
        for name, data in files:
            info = zipfile.ZipInfo(name, FIXED_TIME)
            info.create_system = 0
            if data is None:
                info.external_attr = 0x10
                z.writestr(info, b"", zipfile.ZIP_STORED)
            else:
                info.external_attr = 0x20
                z.writestr(info, data, zipfile.ZIP_DEFLATED, 9)
    os.replace(tmp, out_path)
    if loose_dir:
        for name, data in files:
            path = os.path.join(loose_dir, *name.rstrip("/").split("/"))
            if data is None:
                os.makedirs(path, exist_ok=True)
            else:
                os.makedirs(os.path.dirname(path), exist_ok=True)
                with open(path, "wb") as f:
                    f.write(data)


if __name__ == "__main__":
    if len(sys.argv) not in (2, 3):
        sys.exit(__doc__)
    build(sys.argv[1], sys.argv[2] if len(sys.argv) == 3 else None)
