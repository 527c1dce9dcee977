#!/usr/bin/env python3
"""A CSV table of N rows and six columns under a heading, as a shop's article list might be:
article number, short product name, colour, quantity, price, place. Same seed, same table.
Usage: grid_pdf_table.py ROWS > table.csv"""
import random
import sys

WORDS = ("bolt nut washer screw hinge bracket clamp spring cable plug socket lamp hook chain "
         "valve pipe elbow tee flange gasket filter belt pulley wheel castor handle knob latch").split()
SIZES = "M3 M4 M5 M6 M8 M10 small medium large 10mm 25mm 50mm 1m 2m".split()
COLOURS = "black white grey red blue green yellow steel brass zinc".split()
PLACES = ("shelf A1", "shelf A2", "shelf B4", "bin 12", "bin 37", "rack 3 top", "rack 5 low", "store room")

rows = int(sys.argv[1])
rnd = random.Random(13)
out = sys.stdout
out.write("article,name,colour,quantity,price,place\r\n")
for i in range(rows):
    name = " ".join(rnd.sample(WORDS, rnd.randint(1, 3)) + [rnd.choice(SIZES)])
    out.write("%d%06d,%s,%s,%d,%d.%02d,%s\r\n" % (
        rnd.randint(1, 9), i, name, rnd.choice(COLOURS), rnd.randint(1, 500),
        rnd.randint(0, 99), rnd.randint(0, 99), rnd.choice(PLACES)))
