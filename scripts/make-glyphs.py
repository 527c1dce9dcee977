#!/usr/bin/env python3
"""Draws the button pictures and their greyed copies as XPM files: the main window's six and the
print preview window's 16 x 16 ones in 16 colours, and its four 26 x 24 navigation pictures in
24-bit colour (shaded triangles)."""
import math, os

PAL = {'.': None, 'k': '#000000', 'w': '#FFFFFF', 's': '#C0C0C0', 'g': '#808080', 'r': '#FF0000',
       'm': '#800000', 'y': '#FFFF00', 'o': '#808000', 'n': '#000080', 'b': '#0000FF', 'c': '#00FFFF'}

def blank(w=16, h=16):
    return [['.'] * w for _ in range(h)]

def rect(img, x0, y0, x1, y1, fill, edge=None):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            border = x in (x0, x1) or y in (y0, y1)
            img[y][x] = edge if (edge and border) else fill

def disc(img, cx, cy, r, fill, edge=None):
    for y in range(len(img)):
        for x in range(len(img[0])):
            d = math.hypot(x - cx, y - cy)
            if d <= r:
                img[y][x] = edge if (edge and d > r - 1) else fill

def sheet(img, x0, y0, x1, y1):
    rect(img, x0, y0, x1, y1, 'w', 'k')
    for y in range(y0 + 2, y1 - 1, 2):
        for x in range(x0 + 2, x1 - 1):
            img[y][x] = 'g'

def arrow_down(img, cx, top, bottom):
    for y in range(top, bottom - 2):
        img[y][cx] = img[y][cx + 1] = 'r'
    for i in range(3):
        for x in range(cx - 2 + i, cx + 4 - i):
            img[bottom - 3 + i][x] = 'r'

def preview():
    img = blank(); sheet(img, 1, 0, 10, 13)
    disc(img, 9, 8, 4, 'c', 'k')
    for i in range(4):
        img[11 + i][12 + i] = img[11 + i][11 + i] = 'm'
    return img

def copy():
    img = blank(); rect(img, 3, 6, 14, 15, 'o', 'k'); rect(img, 6, 5, 11, 7, 's', 'k')
    rect(img, 5, 9, 12, 14, 'w', 'k'); sheet(img, 0, 0, 6, 7); arrow_down(img, 8, 0, 9)
    return img

def save():
    img = blank(); rect(img, 2, 6, 15, 15, 'n', 'k'); rect(img, 5, 6, 12, 9, 's', 'k')
    rect(img, 4, 12, 13, 15, 'w', 'k'); sheet(img, 0, 0, 6, 7); arrow_down(img, 9, 0, 9)
    return img

def printer():
    img = blank(); sheet(img, 4, 0, 11, 7); rect(img, 1, 7, 14, 12, 's', 'k')
    rect(img, 3, 12, 12, 15, 'w', 'k'); img[9][12] = 'r'
    return img

def help_():
    img = blank(); disc(img, 7.5, 7.5, 7.5, 'y', 'o')
    q = ["..rrrr..", ".rr..rr.", ".....rr.", "....rr..", "...rr...", "...rr...", "........", "...rr..."]
    for y, row in enumerate(q):
        for x, ch in enumerate(row):
            if ch == 'r':
                img[y + 4][x + 4] = 'r'
    return img

def exit_():
    img = blank(); disc(img, 7.5, 7.5, 7.5, 'r', 'm'); rect(img, 3, 6, 12, 9, 'w')
    return img

LIGHT = ('w', 'y', 'c', 's', 'G1', 'G2')

def greyed(img):
    # Disabled look: the shape embossed in grey with a white highlight below and right.
    h, w = len(img), len(img[0])
    out = blank(w, h)
    for y in range(h):
        for x in range(w):
            if img[y][x] != '.' and img[y][x] not in LIGHT:
                if y + 1 < h and x + 1 < w and out[y + 1][x + 1] == '.':
                    out[y + 1][x + 1] = 'w'
    for y in range(h):
        for x in range(w):
            if img[y][x] != '.' and img[y][x] not in LIGHT:
                out[y][x] = 'g'
    return out

# ---- print preview window

def magnifier(sign):
    img = blank(); disc(img, 6, 6, 5, 'c'); outline(img)
    for i in range(5):
        img[10 + i][10 + i] = img[10 + i][11 + i if 11 + i < 16 else 15] = 'm'
    for x in range(3, 10):
        img[6][x] = 'r'
    if sign == '+':
        for y in range(3, 10):
            img[y][6] = 'r'
    return img

def zoom_in():
    return magnifier('+')

def zoom_out():
    return magnifier('-')

def door():
    img = blank(); rect(img, 2, 0, 13, 15, 's', 'k')
    rect(img, 4, 1, 11, 15, 'r', 'm')
    img[8][9] = img[8][10] = 'y'
    return img

# The navigation triangles: 26 x 24, green shaded from light at the top to dark at the
# bottom, with a black outline; First and Last carry a blue bar at the point.
NAV_W, NAV_H = 26, 24
SHADES = ['G1', 'G2', 'G3', 'G4']
PAL.update({'G1': '#80FF80', 'G2': '#40E040', 'G3': '#00B000', 'G4': '#007000',
            'B1': '#4040FF', 'B2': '#000080'})

def outline(img):
    # Every filled pixel with an empty 4-neighbour (or on the picture's edge) turns black.
    h, w = len(img), len(img[0])
    empty = lambda x, y: x < 0 or y < 0 or x >= w or y >= h or img[y][x] == '.'
    edge = [(x, y) for y in range(h) for x in range(w) if img[y][x] != '.' and
            any(empty(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1)))]
    for x, y in edge:
        img[y][x] = 'k'

def triangle(point_left, bar):
    img = blank(NAV_W, NAV_H)
    top, bottom = 3, 20          # rows of the triangle
    tip, base = (6, 19) if point_left else (19, 6)
    mid = (top + bottom) / 2
    for y in range(top, bottom + 1):
        half = (bottom - top) / 2
        frac = 1 - abs(y - mid) / half   # 1 at the point's row, 0 at the base's corners
        reach = round(abs(base - tip) * frac)
        x0, x1 = (base - reach, base) if point_left else (base, base + reach)
        for x in range(x0, x1 + 1):
            img[y][x] = SHADES[min(3, (y - top) * 4 // (bottom - top + 1))]
    outline(img)
    if bar:
        bx = (2, 4) if point_left else (21, 23)
        for y in range(top, bottom + 1):
            for x in range(bx[0], bx[1] + 1):
                img[y][x] = 'B2' if x == bx[1] or y in (top, bottom) or x == bx[0] else 'B1'
    return img

def first():
    return triangle(True, True)

def previous():
    return triangle(True, False)

def next_():
    return triangle(False, False)

def last():
    return triangle(False, True)

def write_xpm(path, name, img):
    used = sorted({c for row in img for c in row})
    # One character a pixel: the palette keys of more than one letter get a letter each.
    chars = {c: (c if len(c) == 1 else '123456789'[i]) for i, c in enumerate(used)}
    lines = ['/* XPM */', 'static const char *%s[] = {' % name,
             '"%d %d %d 1",' % (len(img[0]), len(img), len(used))]
    for c in used:
        lines.append('"%s c %s",' % (chars[c], PAL[c] or 'None'))
    lines += ['"%s",' % ''.join(chars[c] for c in row) for row in img]
    lines[-1] = lines[-1].rstrip(',')
    lines.append('};')
    with open(path, 'w') as f:
        f.write('\n'.join(lines) + '\n')

out = os.path.join(os.path.dirname(__file__), '..', 'resources', 'glyphs')
for name, fn in [('preview', preview), ('copy', copy), ('save', save), ('print', printer),
                 ('help', help_), ('exit', exit_), ('zoomin', zoom_in), ('zoomout', zoom_out),
                 ('close', door), ('first', first), ('prev', previous), ('next', next_),
                 ('last', last)]:
    img = fn()
    write_xpm(os.path.join(out, name + '.xpm'), name, img)
    write_xpm(os.path.join(out, name + '_disabled.xpm'), name + '_disabled', greyed(img))
