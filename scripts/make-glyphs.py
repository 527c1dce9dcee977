#!/usr/bin/env python3
"""Draws the six 16 x 16, 16-colour button pictures and their greyed copies as XPM files."""
import math, os

PAL = {'.': None, 'k': '#000000', 'w': '#FFFFFF', 's': '#C0C0C0', 'g': '#808080', 'r': '#FF0000',
       'm': '#800000', 'y': '#FFFF00', 'o': '#808000', 'n': '#000080', 'b': '#0000FF', 'c': '#00FFFF'}

def blank():
    return [['.'] * 16 for _ in range(16)]

def rect(img, x0, y0, x1, y1, fill, edge=None):
    for y in range(y0, y1 + 1):
        for x in range(x0, x1 + 1):
            border = x in (x0, x1) or y in (y0, y1)
            img[y][x] = edge if (edge and border) else fill

def disc(img, cx, cy, r, fill, edge=None):
    for y in range(16):
        for x in range(16):
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

def greyed(img):
    # Disabled look: the shape embossed in grey with a white highlight below and right.
    out = blank()
    for y in range(16):
        for x in range(16):
            if img[y][x] != '.' and img[y][x] not in ('w', 'y', 'c', 's'):
                if y + 1 < 16 and x + 1 < 16 and out[y + 1][x + 1] == '.':
                    out[y + 1][x + 1] = 'w'
    for y in range(16):
        for x in range(16):
            if img[y][x] != '.' and img[y][x] not in ('w', 'y', 'c', 's'):
                out[y][x] = 'g'
    return out

def write_xpm(path, name, img):
    used = sorted({c for row in img for c in row})
    lines = ['/* XPM */', 'static const char *%s[] = {' % name, '"16 16 %d 1",' % len(used)]
    for c in used:
        lines.append('"%s c %s",' % (c, PAL[c] or 'None'))
    lines += ['"%s",' % ''.join(row) for row in img]
    lines[-1] = lines[-1].rstrip(',')
    lines.append('};')
    with open(path, 'w') as f:
        f.write('\n'.join(lines) + '\n')

out = os.path.join(os.path.dirname(__file__), '..', 'resources', 'glyphs')
for name, fn in [('preview', preview), ('copy', copy), ('save', save), ('print', printer),
                 ('help', help_), ('exit', exit_)]:
    img = fn()
    write_xpm(os.path.join(out, name + '.xpm'), name, img)
    write_xpm(os.path.join(out, name + '_disabled.xpm'), name + '_disabled', greyed(img))
