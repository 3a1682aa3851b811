#!/usr/bin/env python3
"""Draws the dialog's icons, cursors and bitmaps and writes them as .ico, .cur and .bmp files.

Every picture is a short list of ImageMagick drawing steps on a 32-unit square (or on its own pixel
grid for the bitmaps), rendered at each size an icon carries, so that the 16-pixel and the 32- and
64-pixel versions are drawn, not scaled. ImageMagick only rasterises; this script packs the pixels.

    python3 resources/images/draw-images.py     # rewrites the files next to this script
"""
import os
import struct
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))
FONT = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf"
FONT_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"

INK = "#1f2933"         # glyph outlines
GLASS = "#e8f1fb"       # inside of the magnifier
HIGHLIGHT = "#cce4f7"   # selected-tool plate
HIGHLIGHT_EDGE = "#0a64b4"
RED = "#c8231e"
GREEN = "#1e8c3c"
FACE = (240, 240, 240)  # the dialog face the bitmaps sit on
NIGHT = "#101a30"       # background of the product logo


def render(width, height, steps, background="none"):
    """RGBA bytes of the drawing, row by row from the top."""
    command = ["convert", "-size", "%dx%d" % (width, height), "xc:" + background]
    command += steps
    command += ["-depth", "8", "rgba:-"]
    return subprocess.run(command, check=True, capture_output=True).stdout


class Pen:
    """Drawing steps in a 32-unit square scaled to `size` pixels."""

    def __init__(self, size, shift=0.0):
        self.k = size / 32.0
        self.shift = shift - 0.5  # pixel centres sit at whole coordinates

    def p(self, x, y):
        return "%.2f,%.2f" % (x * self.k + self.shift, y * self.k + self.shift)

    def w(self, width):
        return "%.2f" % max(width * self.k, 1.0)

    def shape(self, fill, stroke, width, primitive):
        if stroke:
            return ["-fill", fill, "-stroke", stroke, "-strokewidth", self.w(width), "-draw", primitive]
        return ["-fill", fill, "-stroke", "none", "-draw", primitive]

    def roundrect(self, x0, y0, x1, y1, r, fill, stroke=None, width=2):
        r = "%.2f,%.2f" % (r * self.k, r * self.k)
        return self.shape(fill, stroke, width, "roundrectangle %s %s %s" % (self.p(x0, y0), self.p(x1, y1), r))

    def rect(self, x0, y0, x1, y1, fill):
        # Whole pixels from x0 up to x1: small renderings keep their squares crisp.
        left, top = x0 * self.k + self.shift + 0.5, y0 * self.k + self.shift + 0.5
        right, bottom = x1 * self.k + self.shift - 0.5, y1 * self.k + self.shift - 0.5
        return ["-fill", fill, "-stroke", "none", "-draw", "rectangle %.2f,%.2f %.2f,%.2f" % (left, top, right, bottom)]

    def circle(self, cx, cy, r, fill, stroke=None, width=2):
        return self.shape(fill, stroke, width, "circle %s %s" % (self.p(cx, cy), self.p(cx + r, cy)))

    def line(self, x0, y0, x1, y1, colour, width):
        return ["-fill", "none", "-stroke", colour, "-strokewidth", self.w(width), "-draw",
                "line %s %s" % (self.p(x0, y0), self.p(x1, y1))]

    def polygon(self, points, fill, stroke=None, width=2):
        return self.shape(fill, stroke, width, "polygon " + " ".join(self.p(x, y) for x, y in points))


# Glyphs. Outlined shapes are drawn twice: all outlines first, then all fills, so that touching parts
# merge into one silhouette with a single outline.

def hand_parts(closed):
    if closed:
        return [(8, 13, 24, 28, 5), (8, 9, 12, 16, 2), (12, 8, 16, 15, 2), (16, 8, 20, 15, 2), (20, 9, 24, 16, 2)]
    return [(9, 14, 24, 28, 5), (9, 6, 12.5, 18, 1.75), (12.5, 3, 16, 17, 1.75), (16, 4, 19.5, 17, 1.75),
            (19.5, 7, 23, 18, 1.75)]


def hand(pen, closed=False):
    steps = []
    parts = hand_parts(closed)
    thumb = [(9, 22), (4, 15), (6, 13), (11, 18)] if not closed else [(8, 18), (5, 15), (7, 13), (11, 16)]
    for x0, y0, x1, y1, r in parts:
        steps += pen.roundrect(x0, y0, x1, y1, r, INK, INK, 3)
    steps += pen.polygon(thumb, INK, INK, 3)
    for x0, y0, x1, y1, r in parts:
        steps += pen.roundrect(x0, y0, x1, y1, r, "white")
    steps += pen.polygon(thumb, "white")
    return steps


def magnifier(pen, sign=None, dim=False):
    ink = "#8a939c" if dim else INK
    steps = pen.line(19.5, 19.5, 28, 28, ink, 5)
    steps += pen.circle(13, 13, 9, GLASS, ink, 3)
    if sign in ("+", "-"):
        steps += pen.line(8.5, 13, 17.5, 13, ink, 2.5)
    if sign == "+":
        steps += pen.line(13, 8.5, 13, 17.5, ink, 2.5)
    return steps


def sparkle(pen, cx, cy, reach, waist, colour, diagonal=False):
    """A star with four long spikes, the effect the filter paints; upright or turned by 45 degrees."""
    points = [(0, -reach), (waist, -waist), (reach, 0), (waist, waist), (0, reach), (-waist, waist), (-reach, 0),
              (-waist, -waist)]
    if diagonal:
        points = [((x - y) * 0.7071, (x + y) * 0.7071) for x, y in points]
    return pen.polygon([(cx + x, cy + y) for x, y in points], colour)


def delete_tool(pen):
    steps = sparkle(pen, 16, 16, 14, 3, INK)
    steps += pen.circle(16, 16, 3.5, "white", INK, 1.5)
    steps += pen.line(6, 26, 26, 6, "white", 6)
    steps += pen.line(6, 26, 26, 6, RED, 3.5)
    return steps


def selected(pen, glyph):
    return pen.roundrect(1, 1, 31, 31, 5, HIGHLIGHT, HIGHLIGHT_EDGE, 1.5) + glyph


def settings_menu(pen):
    steps = []
    for y in (8, 15, 22):
        steps += pen.roundrect(3, y, 19, y + 3.5, 1, INK)
    steps += pen.polygon([(22, 13), (30, 13), (26, 19)], INK)
    return steps


def size_grip(pen):
    steps = []
    for x, y in ((26, 26), (18, 26), (26, 18), (10, 26), (18, 18), (26, 10)):
        steps += pen.rect(x - 1, y - 1, x + 4, y + 4, "white")
        steps += pen.rect(x - 2, y - 2, x + 2, y + 2, "#7b8691")
    return steps


def target(pen, mark):
    """The delete and restore cursors: a ring round the star under the hotspot, and what a click does."""
    steps = pen.circle(16, 16, 7, "none", "white", 4.5)
    steps += pen.circle(16, 16, 7, "none", INK, 2)
    steps += pen.line(16, 1, 16, 7, INK, 1.5) + pen.line(16, 25, 16, 31, INK, 1.5)
    steps += pen.line(1, 16, 7, 16, INK, 1.5) + pen.line(25, 16, 31, 16, INK, 1.5)
    if mark == "off":
        steps += pen.line(22, 30, 30, 22, "white", 5) + pen.line(22, 30, 30, 22, RED, 2.5)
    else:
        steps += pen.line(21, 26, 31, 26, "white", 5) + pen.line(26, 21, 26, 31, "white", 5)
        steps += pen.line(21, 26, 31, 26, GREEN, 2.5) + pen.line(26, 21, 26, 31, GREEN, 2.5)
    return steps


def pointing_hand(pen):
    parts = [(12, 2, 16, 18, 2), (8, 14, 24, 28, 5), (16, 11, 19.5, 18, 1.75), (19.5, 12, 23, 18, 1.75)]
    steps = []
    for x0, y0, x1, y1, r in parts:
        steps += pen.roundrect(x0, y0, x1, y1, r, INK, INK, 3)
    for x0, y0, x1, y1, r in parts:
        steps += pen.roundrect(x0, y0, x1, y1, r, "white")
    return steps


# Containers.

def pixels_bgra(rgba):
    out = bytearray(len(rgba))
    out[0::4], out[1::4], out[2::4], out[3::4] = rgba[2::4], rgba[1::4], rgba[0::4], rgba[3::4]
    return bytes(out)


def icon_image(size, rgba):
    """One image of an icon or cursor: a 32-bit DIB, bottom row first, and the AND mask."""
    stride = size * 4
    bgra = pixels_bgra(rgba)
    rows = b"".join(bgra[y * stride:(y + 1) * stride] for y in reversed(range(size)))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for y in reversed(range(size)):
        row = bytearray(mask_stride)
        for x in range(size):
            if rgba[(y * size + x) * 4 + 3] == 0:
                row[x // 8] |= 0x80 >> (x % 8)
        mask += row
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(rows) + len(mask), 0, 0, 0, 0)
    return header + rows + bytes(mask)


def write_icon_file(path, images, hotspot=None):
    """images: list of (size, rgba). A hotspot makes it a cursor."""
    kind = 2 if hotspot else 1
    data = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    blobs = []
    for size, rgba in images:
        blob = icon_image(size, rgba)
        side = size if size < 256 else 0
        if hotspot:
            data += struct.pack("<BBBBHHII", side, side, 0, 0, hotspot[0], hotspot[1], len(blob), offset)
        else:
            data += struct.pack("<BBBBHHII", side, side, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
        blobs.append(blob)
    with open(path, "wb") as f:
        f.write(data + b"".join(blobs))


def write_bitmap(path, width, height, rgba):
    """A 24-bit bitmap; the drawing was made on an opaque background, so alpha is ignored."""
    stride = (width * 3 + 3) & ~3
    rows = bytearray()
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b, _ = rgba[(y * width + x) * 4:(y * width + x) * 4 + 4]
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        rows += row
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(rows), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(rows), 2835, 2835, 0, 0)
    with open(path, "wb") as f:
        f.write(header + info + rows)


def icon(name, draw, sizes=(16, 24, 32, 48, 64)):
    images = [(s, render(s, s, draw(Pen(s)))) for s in sizes]
    write_icon_file(os.path.join(HERE, name), images)


def cursor(name, draw, hotspot):
    write_icon_file(os.path.join(HERE, name), [(32, render(32, 32, draw(Pen(32))))], hotspot)


def bitmap(name, width, height, steps, background="rgb(%d,%d,%d)" % FACE):
    write_bitmap(os.path.join(HERE, name), width, height, render(width, height, steps, background))


def zoom_button(name, sign, state):
    # A flat plate round the glyph, so that the button reads as one on any dialog face; pressed, the
    # plate is sunken and the glyph one pixel down and right, as a pushed button shows it.
    pressed = state == "pressed"
    pen = Pen(13, shift=2.0 if pressed else 1.5)
    plate = "#d4d4d4" if pressed else "#f8f8f8"
    edge = "#8c8c8c" if pressed else "#c4c4c4"
    steps = ["-fill", plate, "-stroke", edge, "-strokewidth", "1", "-draw", "roundrectangle 0,0 15,15 2,2"]
    steps += magnifier(pen, sign, dim=state == "disabled")
    bitmap(name, 16, 16, steps)


def text(font, points, colour, x, y, words):
    return ["-font", font, "-pointsize", str(points), "-fill", colour, "-stroke", "none", "-gravity", "NorthWest",
            "-annotate", "+%d+%d" % (x, y), words]


def main():
    icon("hand-tool.ico", hand)
    icon("hand-tool-selected.ico", lambda pen: selected(pen, hand(pen)))
    icon("zoom-tool.ico", magnifier)
    icon("zoom-tool-selected.ico", lambda pen: selected(pen, magnifier(pen)))
    icon("delete-tool.ico", delete_tool)
    icon("delete-tool-selected.ico", lambda pen: selected(pen, delete_tool(pen)))
    # Small controls show these at their first image's size.
    icon("settings-menu.ico", settings_menu, sizes=(16, 32))
    icon("size-grip.ico", size_grip, sizes=(16, 32))

    cursor("open-hand.cur", hand, (16, 16))
    cursor("closed-hand.cur", lambda pen: hand(pen, closed=True), (16, 16))
    cursor("zoom-in.cur", lambda pen: magnifier(pen, "+"), (12, 12))
    cursor("zoom-out.cur", lambda pen: magnifier(pen, "-"), (12, 12))
    cursor("zoom-limit.cur", lambda pen: magnifier(pen, None, dim=True), (12, 12))
    cursor("delete.cur", lambda pen: target(pen, "off"), (16, 16))
    cursor("restore.cur", lambda pen: target(pen, "on"), (16, 16))
    cursor("link.cur", pointing_hand, (13, 2))

    for state, suffix in (("normal", ""), ("pressed", "-pressed"), ("disabled", "-disabled")):
        zoom_button("zoom-in%s.bmp" % suffix, "+", state)
        zoom_button("zoom-out%s.bmp" % suffix, "-", state)
    bitmap("zoom-arrow.bmp", 9, 16, ["-fill", INK, "-stroke", "none", "-draw", "polygon 0.5,10 7.5,10 4,5.5"])

    # The maker's mark, a small badge in the logo's colours.
    mark = Pen(22)
    bitmap("product-mark.bmp", 160, 22,
           sparkle(mark, 16, 16, 14, 1.2, "white") + mark.circle(16, 16, 2.5, "white") +
           text(FONT, 11, "#dfe6f2", 26, 3, "Quillmark Software"),
           background=NIGHT)

    logo = Pen(48)
    bitmap("product-logo.bmp", 270, 48,
           logo.circle(16, 16, 6, "rgba(170,200,255,0.35)") +
           sparkle(logo, 16, 16, 6, 0.6, "rgba(200,220,255,0.8)", diagonal=True) +
           sparkle(logo, 16, 16, 15, 1.0, "white") +
           logo.circle(16, 16, 2.2, "white") +
           text(FONT_BOLD, 20, "white", 50, 5, "Corvane Pro") +
           text(FONT, 10, "#aab8d0", 51, 30, "Diffraction spikes for astrophotography"),
           background=NIGHT)


if __name__ == "__main__":
    main()
