#!/usr/bin/python3
"""Draws the program's icons, tree bitmaps and status pictures.

Run it from anywhere: it writes the icons (*.ico) and tree bitmaps (*.bmp)
beside itself and the three status pictures into ../status/. Its output is
committed, so the build never needs to run it; run it again only to change
the artwork. Needs python3 and Pillow (Debian: python3-pil).

Icons are drawn eight times larger than their final size and scaled down,
which gives smooth, anti-aliased 32-bit icons with alpha (32x32 and 16x16 in
each file). The tree bitmaps are 20x20, 16 colours, drawn pixel by pixel
because they must stay sharp and keep pure white as their mask colour.
"""

import math
import os
import struct

from PIL import Image, ImageDraw

HERE = os.path.dirname(os.path.abspath(__file__))
STATUS_DIR = os.path.join(os.path.dirname(HERE), "status")

SS = 8  # supersampling factor of the icons
BIG = 32 * SS  # drawing canvas of one icon


# ---------------------------------------------------------------- file writers


def premultiplied_resize(img, size):
    """Scales an RGBA image without dark fringes at transparent edges."""
    return img.convert("RGBa").resize((size, size), Image.LANCZOS).convert("RGBA")


def ico_entry(img):
    """One icon image as a 32-bit DIB with its AND mask (bottom-up rows)."""
    w, h = img.size
    px = img.load()
    xor = bytearray()
    mask = bytearray()
    mask_stride = ((w + 31) // 32) * 4
    for y in range(h - 1, -1, -1):
        row_mask = bytearray(mask_stride)
        for x in range(w):
            r, g, b, a = px[x, y]
            if a == 0:
                r = g = b = 0
                row_mask[x // 8] |= 0x80 >> (x % 8)
            xor += bytes((b, g, r, a))
        mask += row_mask
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, len(xor) + len(mask), 0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def write_ico(path, big):
    """Writes an .ico with the 32x32 and 16x16 versions of a drawing."""
    images = [premultiplied_resize(big, 32), premultiplied_resize(big, 16)]
    blobs = [ico_entry(img) for img in images]
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for img, blob in zip(images, blobs):
        w, h = img.size
        out += struct.pack("<BBBBHHII", w, h, 0, 0, 1, 32, len(blob), offset)
        offset += len(blob)
    for blob in blobs:
        out += blob
    with open(path, "wb") as f:
        f.write(out)


# The standard 16-colour palette, by the letters used in the pixel drawings.
PALETTE16 = [
    ("K", (0, 0, 0)),
    ("R", (128, 0, 0)),  # dark red
    ("g", (0, 128, 0)),
    ("o", (128, 128, 0)),
    ("N", (0, 0, 128)),  # navy
    ("P", (128, 0, 128)),  # purple
    ("t", (0, 128, 128)),
    ("S", (192, 192, 192)),
    ("G", (128, 128, 128)),
    ("r", (255, 0, 0)),
    ("l", (0, 255, 0)),
    ("y", (255, 255, 0)),
    ("b", (0, 0, 255)),
    ("f", (255, 0, 255)),
    ("a", (0, 255, 255)),
    (".", (255, 255, 255)),  # white: the image list's mask colour
]
PALETTE_INDEX = {letter: i for i, (letter, _) in enumerate(PALETTE16)}


def write_bmp4(path, rows):
    """Writes a 4-bit (16-colour) BMP from rows of palette letters."""
    h = len(rows)
    w = len(rows[0])
    assert all(len(r) == w for r in rows), path
    stride = ((w * 4 + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray(stride)
        for x, ch in enumerate(row):
            idx = PALETTE_INDEX[ch]
            line[x // 2] |= idx << 4 if x % 2 == 0 else idx
        pixels += line
    palette = b"".join(bytes((b, g, r, 0)) for _, (r, g, b) in PALETTE16)
    offset = 14 + 40 + len(palette)
    info = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 4, 0, len(pixels), 2835, 2835, 16, 0)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    with open(path, "wb") as f:
        f.write(head + info + palette + bytes(pixels))


# ---------------------------------------------------------------- drawing aids


def canvas(size=BIG):
    return Image.new("RGBA", (size, size), (0, 0, 0, 0))


def rounded_rect(x0, y0, x1, y1, r, steps=8):
    """Outline points of a rounded rectangle."""
    pts = []
    corners = [(x1 - r, y0 + r, -90), (x1 - r, y1 - r, 0), (x0 + r, y1 - r, 90), (x0 + r, y0 + r, 180)]
    for cx, cy, start in corners:
        for i in range(steps + 1):
            a = math.radians(start + 90 * i / steps)
            pts.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    return pts


def transform(points, angle_deg, dx, dy):
    a = math.radians(angle_deg)
    c, s = math.cos(a), math.sin(a)
    return [(x * c - y * s + dx, x * s + y * c + dy) for x, y in points]


def vertical_gradient(size, top, bottom):
    w, h = size
    grad = Image.new("RGBA", size)
    d = ImageDraw.Draw(grad)
    for y in range(h):
        t = y / max(1, h - 1)
        col = tuple(int(top[i] + (bottom[i] - top[i]) * t) for i in range(3)) + (255,)
        d.line([(0, y), (w, y)], fill=col)
    return grad


def fill_polygon_gradient(img, points, top, bottom, outline, width):
    """A polygon filled with a vertical gradient and framed by an outline."""
    mask = Image.new("L", img.size, 0)
    ImageDraw.Draw(mask).polygon(points, fill=255)
    ys = [p[1] for p in points]
    grad = Image.new("RGBA", img.size)
    y0, y1 = int(min(ys)), int(max(ys)) + 1
    grad.paste(vertical_gradient((img.size[0], y1 - y0), top, bottom), (0, y0))
    img.paste(grad, (0, 0), mask)
    ImageDraw.Draw(img).polygon(points, outline=outline, width=width)


def shaded_sphere(img, cx, cy, r, base, shine_strength=0.75):
    """A lit ball: diffuse shading from the upper left and a soft highlight."""
    light = (-0.45, -0.6, 0.66)
    norm = math.sqrt(sum(c * c for c in light))
    light = tuple(c / norm for c in light)
    px = img.load()
    for y in range(int(cy - r), int(cy + r) + 1):
        for x in range(int(cx - r), int(cx + r) + 1):
            nx, ny = (x + 0.5 - cx) / r, (y + 0.5 - cy) / r
            d2 = nx * nx + ny * ny
            if d2 > 1.0:
                continue
            nz = math.sqrt(1.0 - d2)
            diffuse = max(0.0, nx * light[0] + ny * light[1] + nz * light[2])
            # Reflection of the light about the normal, seen from the front.
            rz = 2 * diffuse * nz - light[2]
            shine = max(0.0, rz) ** 24 * shine_strength
            shade = 0.28 + 0.8 * diffuse
            col = [min(255, int(base[i] * shade + 255 * shine)) for i in range(3)]
            px[x, y] = (col[0], col[1], col[2], 255)


def thick_segment(p0, p1, half):
    """The four corners of a straight stroke of half-width `half`."""
    (x0, y0), (x1, y1) = p0, p1
    dx, dy = x1 - x0, y1 - y0
    length = math.hypot(dx, dy)
    nx, ny = -dy / length * half, dx / length * half
    return [(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny), (x0 - nx, y0 - ny)]


def red_cross(img, inset, half, outline=16):
    d = ImageDraw.Draw(img)
    lo, hi = inset, BIG - inset
    strokes = [thick_segment((lo, lo), (hi, hi), half), thick_segment((hi, lo), (lo, hi), half)]
    for s in strokes:
        d.polygon(s, fill=(110, 0, 0, 255), outline=(110, 0, 0, 255), width=outline)
    inner = [
        thick_segment((lo, lo), (hi, hi), half - outline),
        thick_segment((hi, lo), (lo, hi), half - outline),
    ]
    for s in inner:
        fill_polygon_gradient(img, s, (255, 70, 60), (200, 0, 0), (200, 0, 0, 255), 1)


# ---------------------------------------------------------------- the icons


def icon_globe_plug():
    img = canvas()
    cx, cy, r = 112, 112, 104
    # The map, flat, then shaded like a ball.
    flat = canvas()
    d = ImageDraw.Draw(flat)
    d.ellipse([cx - r, cy - r, cx + r, cy + r], fill=(30, 110, 215, 255))
    land = (60, 170, 60, 255)
    d.polygon([(40, 60), (90, 30), (130, 45), (120, 85), (95, 100), (100, 140), (75, 150),
               (55, 110), (30, 95)], fill=land)
    d.polygon([(140, 95), (185, 80), (205, 110), (190, 150), (160, 175), (145, 140)], fill=land)
    d.polygon([(70, 170), (110, 165), (125, 195), (95, 212), (70, 200)], fill=land)
    mask = Image.new("L", flat.size, 0)
    ImageDraw.Draw(mask).ellipse([cx - r, cy - r, cx + r, cy + r], fill=255)
    shade = canvas()
    shaded_sphere(shade, cx, cy, r, (255, 255, 255), shine_strength=0.35)
    fp, sp = flat.load(), shade.load()
    for y in range(BIG):
        for x in range(BIG):
            if mask.getpixel((x, y)):
                f, s = fp[x, y], sp[x, y]
                fp[x, y] = tuple(min(255, f[i] * s[i] // 200) for i in range(3)) + (255,)
    # Meridians and parallels.
    grid = canvas()
    g = ImageDraw.Draw(grid)
    line = (220, 240, 255, 150)
    for k in (0.35, 0.75):
        g.ellipse([cx - r * k, cy - r, cx + r * k, cy + r], outline=line, width=5)
    g.line([(cx, cy - r), (cx, cy + r)], fill=line, width=5)
    for dy in (-0.5, 0.0, 0.5):
        y = cy + dy * r
        half = math.sqrt(1 - dy * dy) * r
        g.line([(cx - half, y), (cx + half, y)], fill=line, width=5)
    flat.alpha_composite(grid)
    flat.putalpha(mask)
    img.alpha_composite(flat)
    ImageDraw.Draw(img).ellipse([cx - r, cy - r, cx + r, cy + r], outline=(10, 50, 120, 255), width=8)

    # A mains plug at the lower right, prongs towards the globe.
    ang, px, py = -45, 196, 196
    d = ImageDraw.Draw(img)
    cable = [(0, 40), (0, 70), (10, 95)]
    d.line(transform(cable, ang, px, py), fill=(20, 20, 20, 255), width=22, joint="curve")
    for sx in (-17, 17):
        prong = rounded_rect(sx - 8, -78, sx + 8, -30, 5, 3)
        d.polygon(transform(prong, ang, px, py), fill=(235, 200, 80, 255), outline=(90, 70, 10, 255), width=6)
    body = rounded_rect(-40, -40, 40, 40, 14)
    d.polygon(transform(body, ang, px, py), fill=(70, 70, 76, 255), outline=(15, 15, 15, 255), width=8)
    shine = rounded_rect(-28, -30, 28, -12, 8)
    d.polygon(transform(shine, ang, px, py), fill=(130, 130, 140, 255))
    return img


def icon_arrow_right():
    img = canvas()
    pts = [(20, 96), (134, 96), (134, 34), (238, 128), (134, 222), (134, 160), (20, 160)]
    fill_polygon_gradient(img, pts, (140, 240, 120), (0, 130, 20), (0, 70, 0, 255), 14)
    return img


def icon_arrow_left():
    return icon_arrow_right().transpose(Image.FLIP_LEFT_RIGHT)


def icon_floppy():
    img = canvas()
    d = ImageDraw.Draw(img)
    body = [(24, 24), (204, 24), (232, 52), (232, 232), (24, 232)]
    fill_polygon_gradient(img, body, (60, 70, 120), (20, 25, 60), (0, 0, 0, 255), 10)
    # Metal shutter with its window.
    d.rectangle([70, 24, 182, 100], fill=(200, 205, 215, 255), outline=(0, 0, 0, 255), width=8)
    d.rectangle([140, 38, 166, 86], fill=(30, 30, 40, 255))
    # Paper label with writing lines.
    d.rectangle([54, 132, 202, 232], fill=(250, 250, 245, 255), outline=(0, 0, 0, 255), width=8)
    for y in (160, 184, 208):
        d.line([(72, y), (184, y)], fill=(120, 150, 210, 255), width=7)
    return img


def brush_stroke(img, path, half, col, step=1.5):
    """A thick stroke with round ends: a round brush dragged along `path`."""
    d = ImageDraw.Draw(img)
    for (x0, y0), (x1, y1) in zip(path, path[1:]):
        n = max(1, int(math.hypot(x1 - x0, y1 - y0) / step))
        for i in range(n + 1):
            x, y = x0 + (x1 - x0) * i / n, y0 + (y1 - y0) * i / n
            d.ellipse([x - half, y - half, x + half, y + half], fill=col)


def arc_points(cx, cy, r, deg_from, deg_to, steps=40):
    return [
        (cx + r * math.cos(math.radians(deg_from + (deg_to - deg_from) * i / steps)),
         cy + r * math.sin(math.radians(deg_from + (deg_to - deg_from) * i / steps)))
        for i in range(steps + 1)
    ]


def icon_question():
    img = canvas()
    # The hook: from the left, over the top, round to the lower right, then down.
    path = arc_points(128, 90, 56, 165, 405) + [(128, 150), (128, 168)]
    for half, col in ((31, (120, 80, 0, 255)), (19, (255, 215, 0, 255))):
        brush_stroke(img, path, half, col)
        dot = half + 6
        ImageDraw.Draw(img).ellipse([128 - dot, 216 - dot, 128 + dot, 216 + dot], fill=col)
    return img


def icon_red_x():
    img = canvas()
    red_cross(img, 44, 34)
    return img


def icon_exit_arrow():
    img = canvas()
    # Down from the top, a quarter bend, then right into the arrow head.
    path = [(70, 40)] + arc_points(132, 118, 62, 180, 90) + [(160, 180)]
    head = [(146, 104), (246, 180), (146, 256)]
    d = ImageDraw.Draw(img)
    brush_stroke(img, path, 29, (60, 0, 0, 255))
    d.rectangle([41, 10, 99, 40], fill=(60, 0, 0, 255))
    d.polygon(head, fill=(60, 0, 0, 255))
    red = (165, 15, 15, 255)
    brush_stroke(img, path, 18, red)
    d.rectangle([52, 21, 88, 40], fill=red)
    d.polygon([(158, 130), (226, 180), (158, 230)], fill=red)
    # A lighter edge along the outside of the bend for some depth.
    brush_stroke(img, [(63, 26)] + arc_points(132, 118, 69, 180, 95), 4, (215, 70, 60, 255))
    return img


def icon_purple_sphere():
    img = canvas()
    shaded_sphere(img, 128, 128, 108, (150, 40, 200))
    ImageDraw.Draw(img).ellipse([20, 20, 236, 236], outline=(60, 0, 90, 255), width=6)
    return img


def icon_purple_sphere_cross():
    img = icon_purple_sphere()
    red_cross(img, 58, 26, outline=12)
    return img


# ---------------------------------------------------------------- tree bitmaps

BMP_GROUP = [  # purple letter M on white
    "....................",
    "....................",
    "....................",
    "...PPP........PPP...",
    "...PPPP......PPPP...",
    "...PPPPP....PPPPP...",
    "...PPPPPP..PPPPPP...",
    "...PPP.PPPPPP.PPP...",
    "...PPP..PPPP..PPP...",
    "...PPP...PP...PPP...",
    "...PPP........PPP...",
    "...PPP........PPP...",
    "...PPP........PPP...",
    "...PPP........PPP...",
    "...PPP........PPP...",
    "...PPP........PPP...",
    "...PPP........PPP...",
    "....................",
    "....................",
    "....................",
]

BMP_TEXT = [  # white page in a black frame with five navy lines
    "....................",
    "...KKKKKKKKKK.......",
    "...K........KK......",
    "...K........K.K.....",
    "...K........K..K....",
    "...K........KKKKK...",
    "...K............K...",
    "...K..NNNNNNNN..K...",
    "...K............K...",
    "...K..NNNNNNNN..K...",
    "...K............K...",
    "...K..NNNNNNNN..K...",
    "...K............K...",
    "...K..NNNNNNNN..K...",
    "...K............K...",
    "...K..NNNNN.....K...",
    "...K............K...",
    "...K............K...",
    "...KKKKKKKKKKKKKK...",
    "....................",
]

BMP_BINARY = [  # the digits 0 1 / 1 0 in dark red in a black frame
    "....................",
    ".KKKKKKKKKKKKKKKKKK.",
    ".K................K.",
    ".K....RR.....RR...K.",
    ".K...R..R...RRR...K.",
    ".K...R..R....RR...K.",
    ".K...R..R....RR...K.",
    ".K...R..R....RR...K.",
    ".K....RR....RRRR..K.",
    ".K................K.",
    ".K................K.",
    ".K....RR.....RR...K.",
    ".K...RRR....R..R..K.",
    ".K....RR....R..R..K.",
    ".K....RR....R..R..K.",
    ".K....RR....R..R..K.",
    ".K...RRRR....RR...K.",
    ".K................K.",
    ".KKKKKKKKKKKKKKKKKK.",
    "....................",
]


# ---------------------------------------------------------------- status pictures

STATUS_W, STATUS_H, STATUS_SS = 169, 42, 4
GREEN = (20, 170, 40)
RED = (220, 30, 30)

# Where the two links run, in final pixels: (x from, x to, y). The devices sit
# between them; tests look for the link colours inside these spans.
LINK_BOX_ROUTER = (50, 70, 27)
LINK_ROUTER_PC = (102, 120, 27)


def draw_status(box_router, router_pc):
    s = STATUS_SS
    img = vertical_gradient((STATUS_W * s, STATUS_H * s), (252, 253, 255), (222, 228, 238)).convert("RGB")
    d = ImageDraw.Draw(img)

    def box(x0, y0, x1, y1):
        """A rectangle given in final pixels, on the drawing canvas."""
        return [x0 * s, y0 * s, x1 * s, y1 * s]

    # Links first, so that the devices cover their ends.
    for (x0, x1, y), col in ((LINK_BOX_ROUTER, box_router), (LINK_ROUTER_PC, router_pc)):
        dark = tuple(c // 2 for c in col)
        d.rounded_rectangle(box(x0 - 2, y - 2.2, x1 + 2, y + 2.2), radius=2 * s, fill=dark)
        d.rounded_rectangle(box(x0 - 2, y - 1.4, x1 + 2, y + 1.4), radius=1.4 * s, fill=col)

    # Set-top box: a flat black box with a display and two lights.
    top = [(6 * s, 19 * s), (10 * s, 15 * s), (52 * s, 15 * s), (48 * s, 19 * s)]
    side = [(48 * s, 19 * s), (52 * s, 15 * s), (52 * s, 29 * s), (48 * s, 33 * s)]
    d.polygon(top, fill=(95, 98, 108), outline=(20, 20, 24), width=s // 2)
    d.polygon(side, fill=(35, 36, 42), outline=(20, 20, 24), width=s // 2)
    d.rectangle(box(6, 19, 48, 33), fill=(52, 54, 62), outline=(15, 15, 18), width=s // 2)
    d.rectangle(box(10, 22.5, 25, 29), fill=(10, 30, 40), outline=(5, 5, 5), width=s // 4)
    for x in (12, 15.5, 19, 22.5):
        d.rectangle(box(x - 0.2, 24, x + 1.6, 27.5), outline=(60, 230, 220), width=s // 2)
    d.ellipse(box(38, 24.5, 40.5, 27), fill=(60, 220, 60))
    d.ellipse(box(42.5, 24.5, 45, 27), fill=(240, 60, 40))
    d.rectangle(box(9, 33, 13, 34.5), fill=(20, 20, 24))
    d.rectangle(box(41, 33, 45, 34.5), fill=(20, 20, 24))

    # Router: a box with two antennas and a row of lights.
    for foot, tip in ((74, 72), (96, 98)):
        d.line([(foot * s, 22 * s), (tip * s, 6 * s)], fill=(30, 32, 40), width=int(1.6 * s))
        d.ellipse(box(tip - 1.2, 4.8, tip + 1.2, 7.2), fill=(30, 32, 40))
    d.rounded_rectangle(box(69, 20, 101, 33), radius=2 * s, fill=(205, 212, 225),
                        outline=(40, 50, 70), width=s // 2)
    d.rectangle(box(71, 21, 99, 23), fill=(235, 240, 248))
    for x in (75, 80, 85, 90, 95):
        d.ellipse(box(x - 1.1, 27, x + 1.1, 29.2), fill=(40, 200, 70), outline=(10, 80, 20), width=s // 4)

    # PC: a monitor on a stand and a tower beside it.
    d.rectangle(box(155, 9, 166, 36), fill=(190, 195, 205), outline=(40, 44, 55), width=s // 2)
    d.rectangle(box(157, 12, 164, 14), fill=(90, 95, 110))
    d.rectangle(box(157, 16, 164, 18), fill=(90, 95, 110))
    d.ellipse(box(159.5, 29, 161.5, 31), fill=(60, 200, 80))
    d.rectangle(box(133, 30, 139, 34), fill=(60, 64, 75))
    d.rounded_rectangle(box(127, 33.5, 145, 36), radius=s, fill=(60, 64, 75))
    d.rounded_rectangle(box(119, 5, 153, 31), radius=1.5 * s, fill=(40, 44, 55),
                        outline=(15, 15, 20), width=s // 2)
    screen = vertical_gradient((32 * s, 21 * s), (150, 205, 250), (40, 110, 200)).convert("RGB")
    img.paste(screen, (121 * s, 7 * s))
    d.polygon([(121 * s, 7 * s), (136 * s, 7 * s), (121 * s, 20 * s)], fill=(170, 215, 252))

    return img.resize((STATUS_W, STATUS_H), Image.LANCZOS)


# ---------------------------------------------------------------- main

ICONS = {
    "globe_plug.ico": icon_globe_plug,  # 128
    "arrow_right.ico": icon_arrow_right,  # 154
    "arrow_left.ico": icon_arrow_left,  # 159
    "floppy.ico": icon_floppy,  # 161
    "question.ico": icon_question,  # 162
    "red_x.ico": icon_red_x,  # 163
    "exit_arrow.ico": icon_exit_arrow,  # 172
    "sphere.ico": icon_purple_sphere,  # 174
    "sphere_x.ico": icon_purple_sphere_cross,  # 175
}

BITMAPS = {
    "tree_binary.bmp": BMP_BINARY,  # 141
    "tree_text.bmp": BMP_TEXT,  # 142
    "tree_group.bmp": BMP_GROUP,  # 143
}

STATUS = {
    "CONN_1.PNG": (RED, RED),  # 170: no network
    "CONN_2.PNG": (RED, GREEN),  # 171: network, no login
    "CONN_3.PNG": (GREEN, GREEN),  # 169: logged in
}


def main():
    for name, draw in ICONS.items():
        write_ico(os.path.join(HERE, name), draw())
    for name, rows in BITMAPS.items():
        write_bmp4(os.path.join(HERE, name), rows)
    os.makedirs(STATUS_DIR, exist_ok=True)
    for name, (left, right) in STATUS.items():
        draw_status(left, right).save(os.path.join(STATUS_DIR, name), optimize=True)


if __name__ == "__main__":
    main()
