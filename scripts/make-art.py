#!/usr/bin/env python3
"""Draws the program's pictures: the splash and About pictures, the button
images, the menu banner and icons, the two icons and the link cursor.

Everything is drawn from geometry and a small pixel font, with nothing but
the standard library, so the files in resources/art/ can be rebuilt
byte for byte:  python3 scripts/make-art.py [output folder]
"""

import math
import os
import struct
import sys

# --- colours -----------------------------------------------------------------

NAVY_DEEP = (10, 18, 36)
NAVY = (22, 38, 68)
NAVY_LIGHT = (40, 70, 118)
GOLD_LIGHT = (255, 221, 120)
GOLD_DARK = (176, 116, 16)
STEEL_DARK = (92, 102, 120)
WING = (240, 245, 252)
WING_SHADE = (176, 194, 222)
INK = (30, 24, 16)
TEXT_LIGHT = (236, 240, 248)
MAGENTA = (255, 0, 255)
MENU_GREY = (212, 208, 200)  # what antialiased icon edges are mixed with


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


# --- canvas ------------------------------------------------------------------

class Canvas:
    """RGBA pixels as floats; shapes are painted with 4x4 supersampled
    coverage, so edges come out antialiased."""

    SUB = 4

    def __init__(self, w, h, color=(0, 0, 0), alpha=1.0):
        self.w, self.h = w, h
        self.px = [[list(color) + [alpha] for _ in range(w)] for _ in range(h)]

    def blend(self, x, y, color, cover):
        if cover <= 0 or not (0 <= x < self.w and 0 <= y < self.h):
            return
        p = self.px[y][x]
        a = p[3]
        out_a = cover + a * (1 - cover)
        for i in range(3):
            p[i] = (color[i] * cover + p[i] * a * (1 - cover)) / out_a if out_a else 0
        p[3] = out_a

    def paint(self, inside, box, color):
        """Paints the region where inside(x, y) holds; box = (x0, y0, x1, y1)
        bounds it. color is an RGB triple or a function of (x, y)."""
        x0, y0, x1, y1 = box
        n = self.SUB
        for y in range(max(0, int(math.floor(y0))), min(self.h, int(math.ceil(y1)) + 1)):
            for x in range(max(0, int(math.floor(x0))), min(self.w, int(math.ceil(x1)) + 1)):
                hits = 0
                for sy in range(n):
                    for sx in range(n):
                        if inside(x + (sx + 0.5) / n, y + (sy + 0.5) / n):
                            hits += 1
                if hits:
                    c = color(x + 0.5, y + 0.5) if callable(color) else color
                    self.blend(x, y, c, hits / (n * n))

    def put(self, x, y, color):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = list(color) + [1.0]

    def rgb(self, x, y, backdrop=None):
        """The pixel as 8-bit RGB, mixed onto backdrop if it is not opaque."""
        r, g, b, a = self.px[y][x]
        if backdrop is not None and a < 1:
            r, g, b = mix(backdrop, (r, g, b), a)
        return tuple(max(0, min(255, int(round(v)))) for v in (r, g, b))


# --- shapes: predicates over a point -----------------------------------------

def rounded_rect(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x <= x1 and y0 <= y <= y1):
            return False
        dx = max(x0 + r - x, 0, x - (x1 - r))
        dy = max(y0 + r - y, 0, y - (y1 - r))
        return dx * dx + dy * dy <= r * r
    return inside, (x0, y0, x1, y1)


def ellipse(cx, cy, a, b, angle=0.0):
    ca, sa = math.cos(angle), math.sin(angle)

    def inside(x, y):
        dx, dy = x - cx, y - cy
        u = dx * ca + dy * sa
        v = -dx * sa + dy * ca
        return (u / a) ** 2 + (v / b) ** 2 <= 1
    m = max(a, b)
    return inside, (cx - m, cy - m, cx + m, cy + m)


def annulus(cx, cy, r_out, r_in, upper_only=False):
    def inside(x, y):
        d = (x - cx) ** 2 + (y - cy) ** 2
        return r_in * r_in <= d <= r_out * r_out and (not upper_only or y <= cy)
    return inside, (cx - r_out, cy - r_out, cx + r_out, cy + r_out)


def polygon(points):
    def inside(x, y):
        hit = False
        j = len(points) - 1
        for i in range(len(points)):
            xi, yi = points[i]
            xj, yj = points[j]
            if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
                hit = not hit
            j = i
        return hit
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    return inside, (min(xs), min(ys), max(xs), max(ys))


def capsule(xa, ya, xb, yb, r):
    """A thick line from (xa, ya) to (xb, yb) with round ends."""
    dx, dy = xb - xa, yb - ya
    ll = dx * dx + dy * dy or 1e-9

    def inside(x, y):
        t = max(0.0, min(1.0, ((x - xa) * dx + (y - ya) * dy) / ll))
        px, py = xa + t * dx - x, ya + t * dy - y
        return px * px + py * py <= r * r
    return inside, (min(xa, xb) - r, min(ya, yb) - r, max(xa, xb) + r, max(ya, yb) + r)


def union(*shapes):
    def inside(x, y):
        return any(s[0](x, y) for s in shapes)
    boxes = [s[1] for s in shapes]
    return inside, (min(b[0] for b in boxes), min(b[1] for b in boxes),
                    max(b[2] for b in boxes), max(b[3] for b in boxes))


def minus(shape, hole):
    return (lambda x, y: shape[0](x, y) and not hole[0](x, y)), shape[1]


def fill(canvas, shape, color):
    canvas.paint(shape[0], shape[1], color)


def vertical_gradient(top_y, bottom_y, top, bottom):
    def color(x, y):
        t = (y - top_y) / max(1e-9, bottom_y - top_y)
        return mix(top, bottom, max(0.0, min(1.0, t)))
    return color


# --- the emblem: a padlock carried by two wings ------------------------------

def draw_wing(c, cx, cy, s, side, outline=None, span=1.0):
    """Feathers stacked down the lock's side, the top one longest and raised
    highest, like a wing spread for flight; side is +1 right, -1 left."""
    for i in reversed(range(4)):
        length = (0.66 - 0.13 * i) * s * span
        width = 0.085 * s * min(1.0, span * 1.4)
        angle = math.radians(30 - 13 * i)
        ux, uy = side * math.cos(angle), -math.sin(angle)
        root_x, root_y = cx + side * 0.16 * s, cy - 0.02 * s + 0.1 * i * s
        fx, fy = root_x + ux * length * 0.5, root_y + uy * length * 0.5
        rot = math.atan2(uy, ux)
        if outline is not None:
            fill(c, ellipse(fx, fy, length * 0.5 + 0.8, width + 0.8, rot), outline)
        fill(c, ellipse(fx, fy, length * 0.5, width, rot),
             vertical_gradient(cy - 0.4 * s, cy + 0.35 * s, WING, WING_SHADE))


def draw_padlock(c, cx, cy, s, unlocked=False, outline=None):
    """A padlock of height s centred on (cx, cy)."""
    lift = 0.12 * s if unlocked else 0.0
    r_out, r_in = 0.19 * s, 0.115 * s
    arc_y = cy - 0.12 * s - lift
    body_top = cy - 0.04 * s
    shackle = union(annulus(cx, arc_y, r_out, r_in, upper_only=True),
                    rounded_rect(cx + r_in, arc_y, cx + r_out, body_top + 0.05 * s, 0.01 * s))
    if not unlocked:
        shackle = union(shackle, rounded_rect(cx - r_out, arc_y, cx - r_in, body_top + 0.05 * s, 0.01 * s))
    else:
        shackle = union(shackle, rounded_rect(cx - r_out, arc_y, cx - r_in, arc_y + 0.07 * s, 0.02 * s))
    body = rounded_rect(cx - 0.29 * s, body_top, cx + 0.29 * s, cy + 0.42 * s, 0.08 * s)
    if outline is not None:
        grow = 0.9
        fill(c, union(annulus(cx, arc_y, r_out + grow, r_in - grow, upper_only=True),
                      rounded_rect(cx - 0.29 * s - grow, body_top - grow, cx + 0.29 * s + grow,
                                   cy + 0.42 * s + grow, 0.08 * s + grow)), outline)
    fill(c, shackle, vertical_gradient(arc_y - r_out, body_top, (222, 228, 238), STEEL_DARK))
    fill(c, body, vertical_gradient(body_top, cy + 0.42 * s, GOLD_LIGHT, GOLD_DARK))
    # A bright rim along the top edge gives the body some depth.
    fill(c, minus(rounded_rect(cx - 0.25 * s, body_top + 0.03 * s, cx + 0.25 * s, body_top + 0.07 * s, 0.02 * s),
                  rounded_rect(cx - 0.25 * s, body_top + 0.05 * s, cx + 0.25 * s, body_top + 0.09 * s, 0.02 * s)),
         (255, 236, 170))
    keyhole = union(ellipse(cx, cy + 0.14 * s, 0.065 * s, 0.065 * s),
                    polygon([(cx - 0.035 * s, cy + 0.16 * s), (cx + 0.035 * s, cy + 0.16 * s),
                             (cx + 0.055 * s, cy + 0.32 * s), (cx - 0.055 * s, cy + 0.32 * s)]))
    fill(c, keyhole, INK)


def draw_emblem(c, cx, cy, s, outline=None, span=1.0):
    """span shortens the wings where the picture is too small for them."""
    for side in (-1, 1):
        draw_wing(c, cx, cy, s, side, outline, span)
    draw_padlock(c, cx, cy, s, outline=outline)


# --- pixel font --------------------------------------------------------------
# Glyphs are 5 columns wide: 7 rows above the baseline and 2 below it for
# descenders. '#' is ink.

GLYPHS = {
    'C': [".###.", "#...#", "#....", "#....", "#....", "#...#", ".###."],
    'D': ["####.", "#...#", "#...#", "#...#", "#...#", "#...#", "####."],
    'E': ["#####", "#....", "#....", "####.", "#....", "#....", "#####"],
    'I': ["###", ".#.", ".#.", ".#.", ".#.", ".#.", "###"],
    'Q': [".###.", "#...#", "#...#", "#...#", "#.#.#", "#..#.", ".##.#"],
    'V': ["#...#", "#...#", "#...#", "#...#", "#...#", ".#.#.", "..#.."],
    'a': [".....", ".....", ".###.", "....#", ".####", "#...#", ".####"],
    'c': [".....", ".....", ".###.", "#...#", "#....", "#...#", ".###."],
    'e': [".....", ".....", ".###.", "#...#", "#####", "#....", ".###."],
    'f': ["..##", ".#..", "####", ".#..", ".#..", ".#..", ".#.."],
    'g': [".....", ".....", ".####", "#...#", "#...#", "#...#", ".####", "....#", ".###."],
    'i': [".#.", "...", "##.", ".#.", ".#.", ".#.", "###"],
    'l': ["##.", ".#.", ".#.", ".#.", ".#.", ".#.", "###"],
    'n': [".....", ".....", "####.", "#...#", "#...#", "#...#", "#...#"],
    'o': [".....", ".....", ".###.", "#...#", "#...#", "#...#", ".###."],
    'p': [".....", ".....", "####.", "#...#", "#...#", "#...#", "####.", "#....", "#...."],
    'r': [".....", ".....", "#.##.", "##..#", "#....", "#....", "#...."],
    't': [".#..", ".#..", "####", ".#..", ".#..", ".#..", "..##"],
    'u': [".....", ".....", "#...#", "#...#", "#...#", "#..##", ".##.#"],
    # Wide enough that the bold form keeps its strokes apart.
    'w': [".......", ".......", "#.....#", "#.....#", "#..#..#", "#..#..#", ".##.##."],
    'y': [".....", ".....", "#...#", "#...#", "#...#", "#...#", ".####", "....#", ".###."],
    ' ': ["...", "...", "...", "...", "...", "...", "..."],
}


def text_width(text, scale=1, bold=False, spacing=1):
    widths = [len(GLYPHS[ch][0]) + (1 if bold else 0) for ch in text]
    return (sum(widths) + spacing * (len(text) - 1)) * scale


def draw_text(c, x, y, text, color, scale=1, bold=False, spacing=1, shadow=None):
    """Draws text whose cap height starts at row y; bold doubles every stroke
    one pixel to the right."""
    if shadow is not None:
        draw_text(c, x + 1, y + 1, text, shadow, scale, bold, spacing)
    for ch in text:
        glyph = GLYPHS[ch]
        for row, line in enumerate(glyph):
            for col, bit in enumerate(line):
                if bit != '#':
                    continue
                for dx in range(2 if bold else 1):
                    for sy in range(scale):
                        for sx in range(scale):
                            c.put(x + (col + dx) * scale + sx, y + row * scale + sy, color)
        x += (len(glyph[0]) + (1 if bold else 0) + spacing) * scale


# --- file writers ------------------------------------------------------------

def bmp_rows(w, h, row_bytes):
    """Pads rows to 4 bytes and orders them bottom-up, as BMP stores them."""
    pad = (-len(row_bytes(0))) % 4
    return b"".join(row_bytes(y) + b"\0" * pad for y in reversed(range(h)))


def write_bmp24(path, c, backdrop=None):
    bits = bmp_rows(c.w, c.h, lambda y: b"".join(bytes(reversed(c.rgb(x, y, backdrop))) for x in range(c.w)))
    header = struct.pack("<IiiHHIIiiII", 40, c.w, c.h, 1, 24, 0, len(bits), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + 40 + len(bits), 0, 0, 54) + header + bits)


def write_bmp8(path, c):
    """An 8-bit bitmap with the picture's own colours as its palette. The
    colour of the bottom-left pixel (the first one stored) is what
    LR_LOADTRANSPARENT turns into the button face."""
    first = c.rgb(0, c.h - 1)
    palette = [first]
    for y in range(c.h):
        for x in range(c.w):
            if c.rgb(x, y) not in palette:
                palette.append(c.rgb(x, y))
    assert len(palette) <= 256, path
    index = {col: i for i, col in enumerate(palette)}
    bits = bmp_rows(c.w, c.h, lambda y: bytes(index[c.rgb(x, y)] for x in range(c.w)))
    table = b"".join(bytes((b, g, r, 0)) for r, g, b in palette)
    offset = 14 + 40 + len(table)
    header = struct.pack("<IiiHHIIiiII", 40, c.w, c.h, 1, 8, 0, len(bits), 2835, 2835,
                         len(palette), len(palette))
    with open(path, "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", offset + len(bits), 0, 0, offset) + header + table + bits)


def and_mask(w, h, transparent):
    def row(y):
        out = bytearray((w + 7) // 8)
        for x in range(w):
            if transparent(x, y):
                out[x // 8] |= 0x80 >> (x % 8)
        return bytes(out)
    return bmp_rows(w, h, row)


def write_ico(path, canvases):
    """32-bit images with alpha, plus the AND mask that older readers use."""
    images = []
    for c in canvases:
        def pixel(x, y, c=c):
            r, g, b, a = c.px[y][x]
            return bytes((int(round(b)), int(round(g)), int(round(r)), int(round(a * 255))))
        xor = bmp_rows(c.w, c.h, lambda y, c=c: b"".join(pixel(x, y) for x in range(c.w)))
        mask = and_mask(c.w, c.h, lambda x, y, c=c: c.px[y][x][3] < 0.5)
        header = struct.pack("<IiiHHIIiiII", 40, c.w, 2 * c.h, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
        images.append((c.w, c.h, header + xor + mask))
    offset = 6 + 16 * len(images)
    directory = b""
    for w, h, data in images:
        directory += struct.pack("<BBBBHHII", w % 256, h % 256, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, len(images)) + directory + b"".join(d for _, _, d in images))


def write_cur(path, rows, hotspot):
    """A monochrome cursor from rows of text: '#' black, 'o' white, '.'
    transparent; 32 x 32, which every cursor reader accepts."""
    w = h = 32
    rows = rows + ["." * w] * (h - len(rows))
    rows = [r.ljust(w, ".") for r in rows]
    palette = b"\0\0\0\0" + b"\xff\xff\xff\0"

    def xor_row(y):
        out = bytearray(w // 8)
        for x in range(w):
            if rows[y][x] == 'o':
                out[x // 8] |= 0x80 >> (x % 8)
        return bytes(out)
    xor = bmp_rows(w, h, xor_row)
    mask = and_mask(w, h, lambda x, y: rows[y][x] == '.')
    header = struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 1, 0, len(xor) + len(mask), 0, 0, 2, 2)
    data = header + palette + xor + mask
    with open(path, "wb") as f:
        f.write(struct.pack("<HHH", 0, 2, 1))
        f.write(struct.pack("<BBBBHHII", w, h, 0, 0, hotspot[0], hotspot[1], len(data), 22))
        f.write(data)


# --- small pictures in pixel art ---------------------------------------------

def draw_pixels(c, x, y, rows, legend):
    for dy, line in enumerate(rows):
        for dx, ch in enumerate(line):
            if ch in legend:
                c.put(x + dx, y + dy, legend[ch])


LOCK_LEGEND = {'s': (96, 106, 124), 'S': (172, 180, 194), 'b': (150, 98, 12),
               'G': (244, 188, 56), 'L': (255, 226, 132), 'k': (40, 30, 20)}
LOCK_BODY = ["bbbbbbbbb", "bLLLLLLLb", "bGGkkkGGb", "bGGkkkGGb", "bGGGkGGGb", "bGGGkGGGb", "bGGGGGGGb",
             "bbbbbbbbb"]
LOCK_CLOSED = [".sssss...", "sS...Ss..", "s.....s..", "s.....s.."]
LOCK_OPEN = [".sssss...", "sS...Ss..", "s.....s..", "s.....s..", "......s..", "......s.."]


def pixel_lock(unlocked):
    shackle = LOCK_OPEN if unlocked else LOCK_CLOSED
    return [("." + row)[:9] for row in shackle] + LOCK_BODY


def draw_lock_and_word(c, text, unlocked, ink):
    """The lock glyph and a word in ink, centred on the canvas."""
    lock = pixel_lock(unlocked)
    gap = 4
    total = 9 + gap + text_width(text, bold=True)
    x = (c.w - total) // 2
    # The lock stands on the text's baseline; lock and descenders together
    # are centred from top to bottom.
    lock_top = (c.h - (len(lock) + 2)) // 2
    text_top = lock_top + len(lock) - 7
    draw_pixels(c, x, lock_top, lock, LOCK_LEGEND)
    draw_text(c, x + 9 + gap, text_top, text, ink, bold=True)


def button_image(w, h, text, unlocked):
    """A button picture: lock glyph and a word, centred. The face colour
    (light grey, mapped to the button face when loaded) fills the rest."""
    c = Canvas(w, h, (192, 192, 192))
    draw_lock_and_word(c, text, unlocked, (20, 32, 64))
    return c


def menu_icon(draw):
    c = Canvas(20, 20, (0, 0, 0), alpha=0.0)
    draw(c)
    return c


def write_menu_icon(path, c):
    """Magenta where the icon is see-through; antialiased edges are mixed with
    the usual menu grey so that no pink fringe remains."""
    out = Canvas(c.w, c.h)
    for y in range(c.h):
        for x in range(c.w):
            out.put(x, y, MAGENTA if c.px[y][x][3] < 0.3 else c.rgb(x, y, MENU_GREY))
    write_bmp24(path, out)


def draw_key(c, x, y, s, angle, body, dark):
    """A key whose bow is centred on (x, y), pointing along angle."""
    ux, uy = math.cos(angle), math.sin(angle)
    px, py = -uy, ux
    tip = (x + ux * 1.0 * s, y + uy * 1.0 * s)
    shape = union(annulus(x, y, 0.30 * s, 0.13 * s),
                  capsule(x + ux * 0.28 * s, y + uy * 0.28 * s, tip[0], tip[1], 0.075 * s),
                  capsule(x + ux * 0.78 * s, y + uy * 0.78 * s, x + (ux * 0.78 + px * 0.2) * s,
                          y + (uy * 0.78 + py * 0.2) * s, 0.07 * s),
                  capsule(x + ux * 0.95 * s, y + uy * 0.95 * s, x + (ux * 0.95 + px * 0.2) * s,
                          y + (uy * 0.95 + py * 0.2) * s, 0.07 * s))
    fill(c, shape, vertical_gradient(y - 0.4 * s, y + 0.6 * s, body, dark))


def draw_clipboard(c):
    fill(c, rounded_rect(2.5, 2.5, 15.5, 18.5, 1.5), (140, 96, 52))
    fill(c, rounded_rect(4, 4.5, 14, 17, 0.5), (250, 250, 246))
    for yy in (8, 10.5, 13):
        fill(c, rounded_rect(5.5, yy, 12.5, yy + 1, 0.3), (150, 162, 184))
    fill(c, rounded_rect(6, 1, 12, 4.5, 1.2), (120, 126, 140))
    fill(c, rounded_rect(7.5, 1.8, 10.5, 3, 0.5), (210, 214, 222))


def icon_encrypt_clipboard(c):
    draw_clipboard(c)
    draw_padlock(c, 14.6, 13.5, 10.5, outline=(60, 40, 10))


def icon_decrypt_clipboard(c):
    draw_clipboard(c)
    draw_padlock(c, 14.6, 13.5, 10.5, unlocked=True, outline=(60, 40, 10))


def sparkle(c, x, y, r, color):
    fill(c, polygon([(x, y - r), (x + r * 0.25, y - r * 0.25), (x + r, y), (x + r * 0.25, y + r * 0.25),
                     (x, y + r), (x - r * 0.25, y + r * 0.25), (x - r, y), (x - r * 0.25, y - r * 0.25)]),
         color)


def icon_generate_keys(c):
    draw_key(c, 6, 14, 13, math.radians(-45), GOLD_LIGHT, GOLD_DARK)
    sparkle(c, 15, 5, 4.5, (60, 150, 230))
    sparkle(c, 8.5, 3.5, 2.5, (60, 150, 230))


def icon_key_manager(c):
    fill(c, rounded_rect(1.5, 1.5, 14.5, 17.5, 1.2), (120, 130, 150))
    fill(c, rounded_rect(2.5, 2.5, 13.5, 16.5, 0.6), (250, 250, 246))
    for yy in (5, 8, 11):
        fill(c, rounded_rect(4.5, yy, 11.5, yy + 1.2, 0.4), (150, 162, 184))
    draw_key(c, 9.5, 13.5, 10, math.radians(-20), GOLD_LIGHT, GOLD_DARK)


def icon_skins(c):
    fill(c, minus(ellipse(10, 10.5, 9, 7.5), ellipse(13.5, 14, 2, 1.8)), (226, 196, 150))
    for (x, y), col in zip([(5.5, 9), (9, 6), (13, 6.5), (15.5, 10)],
                           [(220, 40, 40), (40, 160, 60), (40, 100, 220), (240, 190, 30)]):
        fill(c, ellipse(x, y, 1.9, 1.9), col)


def icon_settings(c):
    teeth = [capsule(10 + math.cos(a) * 5, 10 + math.sin(a) * 5, 10 + math.cos(a) * 8.2,
                     10 + math.sin(a) * 8.2, 1.6) for a in (k * math.pi / 4 for k in range(8))]
    gear = minus(union(ellipse(10, 10, 6.5, 6.5), *teeth), ellipse(10, 10, 2.6, 2.6))
    fill(c, gear, vertical_gradient(2, 18, (180, 190, 206), (80, 92, 112)))


def icon_help(c):
    fill(c, ellipse(10, 10, 8.5, 8.5), vertical_gradient(1, 19, (80, 150, 240), (24, 80, 180)))
    fill(c, minus(annulus(10, 7.5, 3.6, 1.8), polygon([(4, 8), (10, 8.5), (10, 12), (4, 12)])), WING)
    fill(c, rounded_rect(9.1, 10, 10.9, 12.8, 0.4), WING)
    fill(c, ellipse(10, 15.2, 1.2, 1.2), WING)


def icon_about(c):
    draw_emblem(c, 10, 9.5, 15)


def icon_exit(c):
    fill(c, ellipse(10, 10, 8.8, 8.8), vertical_gradient(1, 19, (236, 84, 70), (170, 28, 24)))
    ring = minus(annulus(10, 10.8, 5.2, 3.5), polygon([(10, 10.8), (6, 3), (14, 3)]))
    fill(c, union(ring, capsule(10, 4.5, 10, 10, 0.95)), WING)


# --- the large pictures ------------------------------------------------------

def backdrop(w, h):
    c = Canvas(w, h)
    fill(c, ((lambda x, y: True), (0, 0, w, h)), vertical_gradient(0, h, NAVY_LIGHT, NAVY_DEEP))
    return c


def glow(c, cx, cy, r, color, strength):
    for y in range(c.h):
        for x in range(c.w):
            d = math.hypot(x + 0.5 - cx, y + 0.5 - cy) / r
            if d < 1:
                c.blend(x, y, color, strength * (1 - d) ** 2)


def centred_text(c, y, text, color, scale=1, bold=False, shadow=None):
    draw_text(c, (c.w - text_width(text, scale, bold)) // 2, y, text, color, scale, bold, shadow=shadow)


def splash_picture():
    c = backdrop(193, 148)
    glow(c, 96, 50, 70, (120, 170, 255), 0.35)
    draw_emblem(c, 96.5, 52, 72, outline=NAVY_DEEP)
    centred_text(c, 100, "Vaultwing", GOLD_LIGHT, scale=2, bold=True, shadow=NAVY_DEEP)
    fill(c, rounded_rect(56, 124, 137, 125, 0.4), GOLD_DARK)
    centred_text(c, 131, "for ICQ", TEXT_LIGHT, bold=True)
    return c


def about_picture():
    c = backdrop(77, 149)
    glow(c, 38.5, 36, 40, (120, 170, 255), 0.35)
    draw_emblem(c, 38.5, 38, 44, outline=NAVY_DEEP)
    centred_text(c, 78, "Vault", GOLD_LIGHT, scale=2, bold=True, shadow=NAVY_DEEP)
    centred_text(c, 98, "wing", GOLD_LIGHT, scale=2, bold=True, shadow=NAVY_DEEP)
    fill(c, rounded_rect(18, 124, 59, 125, 0.4), GOLD_DARK)
    centred_text(c, 131, "for ICQ", TEXT_LIGHT, bold=True)
    return c


def banner_picture():
    """The tray menu's left column: the name reading upwards, the lock at the
    foot, on a dark strip that fades to the black drawn above it."""
    w, h = 25, 178
    c = Canvas(w, h)
    fill(c, ((lambda x, y: True), (0, 0, w, h)), vertical_gradient(0, h * 0.8, (0, 0, 0), NAVY))
    text = "Vaultwing"
    lying = Canvas(h, w, (0, 0, 0), alpha=0.0)
    draw_text(lying, 30, 5, text, GOLD_LIGHT, scale=2, bold=True)
    for y in range(h):
        for x in range(w):
            # Turned a quarter left: the text runs from the bottom up.
            p = lying.px[x][h - 1 - y]
            if p[3] > 0:
                c.blend(x, y, p[:3], p[3])
    draw_padlock(c, 12.5, h - 14, 20, outline=(0, 0, 0))
    fill(c, rounded_rect(w - 1.5, 0, w, h, 0), vertical_gradient(0, h, (0, 0, 0), GOLD_DARK))
    return c


def app_icon(size):
    c = Canvas(size, size, (0, 0, 0), alpha=0.0)
    pad = size / 16
    fill(c, rounded_rect(pad * 0.5, pad * 0.5, size - pad * 0.5, size - pad * 0.5, size * 0.18),
         vertical_gradient(0, size, NAVY_LIGHT, NAVY_DEEP))
    if size <= 16:
        draw_emblem(c, size / 2, size * 0.45, size * 0.8, span=0.5)
    else:
        draw_emblem(c, size / 2, size * 0.47, size * 0.62)
    return c


def tray_icon(size):
    c = Canvas(size, size, (0, 0, 0), alpha=0.0)
    if size <= 16:
        draw_emblem(c, size / 2, size * 0.44, size * 0.9, outline=NAVY_DEEP, span=0.5)
    else:
        draw_emblem(c, size / 2, size * 0.46, size * 0.66, outline=NAVY_DEEP)
    return c


HAND = [
    ".....##",
    "....#oo#",
    "....#oo#",
    "....#oo#",
    "....#oo#",
    "....#oo###",
    "....#oo#oo###",
    "....#oo#oo#oo##",
    ".##.#oo#oo#oo#o#",
    "#oo##oooooooo#oo#",
    "#ooo#ooooooooooo#",
    ".#oo#ooooooooooo#",
    "..#ooooooooooooo#",
    "..#ooooooooooooo#",
    "...#oooooooooooo#",
    "...#ooooooooooo#",
    "....#oooooooooo#",
    "....#oooooooooo#",
    ".....#oooooooo#",
    ".....#oooooooo#",
    ".....##########",
]


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", "resources", "art")
    os.makedirs(out, exist_ok=True)

    def path(name):
        return os.path.join(out, name)

    write_bmp24(path("splash.bmp"), splash_picture())
    write_bmp24(path("about.bmp"), about_picture())
    write_bmp8(path("encrypt.bmp"), button_image(84, 18, "Encrypt", False))
    write_bmp8(path("decrypt.bmp"), button_image(74, 22, "Decrypt", True))
    write_bmp24(path("banner.bmp"), banner_picture())
    icons = {
        "menu-encrypt-clipboard.bmp": icon_encrypt_clipboard,
        "menu-decrypt-clipboard.bmp": icon_decrypt_clipboard,
        "menu-generate-keys.bmp": icon_generate_keys,
        "menu-key-manager.bmp": icon_key_manager,
        "menu-skins.bmp": icon_skins,
        "menu-settings.bmp": icon_settings,
        "menu-help.bmp": icon_help,
        "menu-about.bmp": icon_about,
        "menu-exit.bmp": icon_exit,
    }
    for name, draw in icons.items():
        write_menu_icon(path(name), menu_icon(draw))
    write_ico(path("app.ico"), [app_icon(s) for s in (16, 32, 48)])
    write_ico(path("tray.ico"), [tray_icon(s) for s in (16, 32, 48)])
    write_cur(path("hand.cur"), HAND, (5, 0))


if __name__ == "__main__":
    main()
