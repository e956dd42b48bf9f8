"""ZPL, as CUPS's stock ZPL driver (rastertolabel) sends it.

Each label is stored as a graphic, ~DGname,TOTAL,ROWBYTES,DATA, and printed by a ^XA ...
^XZ format whose ^PW gives the label's width in dots. DATA is hex, a nibble four dots (1
black), compressed: G..Y repeat the next digit 1..19 times, g..z 20..400 times (counts
add up), "," fills the row with 0, "!" with 1, ":" repeats the row before.
"""
import re
import string

# The repeat counts of ZPL's compression letters: G..Y 1..19, g..z 20..400.
COUNTS = {chr(ord('G') + i): i + 1 for i in range(19)} | {chr(ord('g') + i): (i + 1) * 20 for i in range(20)}


def graphic_rows(data, row_bytes, total):
    width = row_bytes * 2
    rows, line, repeat = [], '', 0
    for ch in data.replace('\r', '').replace('\n', ''):
        if ch in COUNTS:
            repeat += COUNTS[ch]
            continue
        if ch in ',!':
            line += ('0' if ch == ',' else 'F') * (width - len(line))
        elif ch == ':':
            line = rows[-1] if rows else '0' * width
        elif ch in string.hexdigits:
            line += ch.upper() * max(repeat, 1)
        repeat = 0
        if len(line) >= width:
            rows.append(line[:width])
            line = ''
    return [[int(c, 16) >> (3 - k) & 1 for c in r for k in range(4)] for r in rows[:total // row_bytes]]


def labels(data):
    text = data.decode('latin-1')
    out = []
    for m in re.finditer(r'~DG[^,]*,(\d+),(\d+),([^~^]*)', text):
        total, row_bytes = int(m.group(1)), int(m.group(2))
        width = int(re.search(r'\^PW(\d+)', text[m.end():]).group(1))
        out.append((width, [r[:width] for r in graphic_rows(m.group(3), row_bytes, total)]))
    return out
