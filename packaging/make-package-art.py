#!/usr/bin/env python3
"""Draws the pictures that the packages carry and the program does not: two
example skins (SKINS/<name>/encrypt.bmp and decrypt.bmp) and the installer's
side and header pictures.

The drawing helpers are those of scripts/make-art.py, so the skins share the
program's pixel font and lock and are written in the same form as its
built-in button pictures (8-bit, 84 x 18 and 74 x 22).

    python3 packaging/make-package-art.py OUTPUT-FOLDER
"""

import importlib.util
import os
import sys

_found = importlib.util.spec_from_file_location(
    "make_art", os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "scripts", "make-art.py"))
art = importlib.util.module_from_spec(_found)
_found.loader.exec_module(art)

# Outside the button's rounded shape. It is the colour of the first stored
# pixel, which LR_LOADTRANSPARENT turns into the system's button face, so the
# corners disappear into any button; the grey itself is what the program's
# own pictures use.
FACE = (192, 192, 192)

ENCRYPT_SIZE = (84, 18)
DECRYPT_SIZE = (74, 22)


def pill_button(size, text, unlocked, body, rim, ink, shine=None):
    """A rounded button of its own colour inside the picture: a gradient body
    (top, bottom), a one-pixel rim, an optional glossy upper half, and the
    lock and word of the built-in pictures in ink."""
    w, h = size
    c = art.Canvas(w, h, FACE)
    r = min(6.0, h / 2 - 1)
    art.fill(c, art.rounded_rect(0.5, 0.5, w - 0.5, h - 0.5, r), rim)
    art.fill(c, art.rounded_rect(1.5, 1.5, w - 1.5, h - 1.5, r - 1),
             art.vertical_gradient(1.5, h - 1.5, body[0], body[1]))
    if shine is not None:
        art.fill(c, art.rounded_rect(2.5, 2, w - 2.5, h / 2, r - 2), shine)
    art.draw_lock_and_word(c, text, unlocked, ink)
    return c


# name: (body gradient, rim, ink, glossy highlight) for Encrypt, then Decrypt.
SKINS = {
    # Night blue with a gold rim, the colours of the splash.
    "Midnight": (
        ((art.NAVY_LIGHT, art.NAVY_DEEP), art.GOLD_DARK, art.GOLD_LIGHT, None),
        ((art.NAVY_LIGHT, art.NAVY_DEEP), art.GOLD_DARK, art.TEXT_LIGHT, None),
    ),
    # Glossy green to send, warm amber to read.
    "Meadow": (
        (((120, 200, 110), (34, 120, 48)), (20, 80, 30), (255, 255, 255), (150, 215, 140)),
        (((250, 196, 92), (200, 118, 20)), (120, 70, 10), (60, 30, 0), (252, 214, 140)),
    ),
}


def write_skins(out):
    for name, (encrypt, decrypt) in SKINS.items():
        folder = os.path.join(out, "SKINS", name)
        os.makedirs(folder, exist_ok=True)
        body, rim, ink, shine = encrypt
        art.write_bmp8(os.path.join(folder, "encrypt.bmp"), pill_button(ENCRYPT_SIZE, "Encrypt", False, body, rim, ink, shine))
        body, rim, ink, shine = decrypt
        art.write_bmp8(os.path.join(folder, "decrypt.bmp"), pill_button(DECRYPT_SIZE, "Decrypt", True, body, rim, ink, shine))


def wizard_picture():
    """The left side of the installer's first and last pages (164 x 314)."""
    c = art.backdrop(164, 314)
    art.glow(c, 82, 110, 90, (120, 170, 255), 0.35)
    art.draw_emblem(c, 82.5, 112, 96, outline=art.NAVY_DEEP)
    art.centred_text(c, 180, "Vaultwing", art.GOLD_LIGHT, scale=2, bold=True, shadow=art.NAVY_DEEP)
    art.fill(c, art.rounded_rect(42, 204, 122, 205, 0.4), art.GOLD_DARK)
    art.centred_text(c, 211, "for ICQ", art.TEXT_LIGHT, bold=True)
    return c


def header_picture():
    """The corner of the installer's inner pages (150 x 57), on white like them."""
    c = art.Canvas(150, 57, (255, 255, 255))
    art.draw_emblem(c, 120, 27, 40)
    return c


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__.strip().splitlines()[-1].strip())
    out = sys.argv[1]
    write_skins(out)
    art.write_bmp24(os.path.join(out, "wizard.bmp"), wizard_picture())
    art.write_bmp24(os.path.join(out, "header.bmp"), header_picture())


if __name__ == "__main__":
    main()
