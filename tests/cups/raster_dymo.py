"""DYMO LabelWriter raster, as CUPS's raster2dymolw sends it.

A job begins with a run of ESC bytes (the printer resynchronises on them). Then ESC
commands set up a label and each dot line follows: ESC B n (dot tab: n white bytes
before the line), ESC D n (n bytes a line, from then on), ESC L hi lo (label length in dot lines), ESC Q,
ESC f 1 n (feed n blank lines), ESC h/i/c/d/e/g (quality, density); SYN (0x16)
and D bytes is a line of dots, a bit a dot, 1 black; ETB (0x17) is a compressed line:
bytes of colour (bit 7, 1 black) and length - 1 (bits 0-6) until the line is full.
ESC E ends a label (form feed), ESC G ends it with a short feed.
"""

ARGS = {b'B': 1, b'D': 1, b'L': 2, b'Q': 2, b'f': 2}  # the others take none


def labels(data):
    """The labels of a job: (width in dots, rows of dots)."""
    out, rows, i = [], [], 0
    tab, per_line, widest, length = 0, 0, 0, 0
    while i < len(data) and data[i] == 0x1b and data[i + 1] == 0x1b:
        i += 1
    while i < len(data):
        b = data[i]
        if b == 0x1b:
            cmd = data[i + 1:i + 2]
            n = ARGS.get(cmd, 0)
            arg = data[i + 2:i + 2 + n]
            i += 2 + n
            if cmd == b'B':
                tab = arg[0]
            elif cmd == b'D':
                per_line = arg[0]
                widest = max(widest, (tab + per_line) * 8)
            elif cmd == b'L':
                length = arg[0] << 8 | arg[1]
            elif cmd == b'f':
                rows += [[0] * (tab + per_line) * 8] * arg[1]
            elif cmd in (b'E', b'G') and rows:
                # The driver leaves white bytes off a line's end and white lines off the label's.
                width = max(widest, *map(len, rows))
                rows += [[]] * (length - len(rows))
                out.append((width, [r + [0] * (width - len(r)) for r in rows]))
                rows, widest = [], 0
        elif b == 0x16:
            bits = [0] * tab * 8 + [x >> (7 - k) & 1 for x in data[i + 1:i + 1 + per_line] for k in range(8)]
            rows.append(bits)
            i += 1 + per_line
        elif b == 0x17:
            bits, i = [0] * tab * 8, i + 1
            while len(bits) < (tab + per_line) * 8:
                bits += [data[i] >> 7] * ((data[i] & 0x7f) + 1)
                i += 1
            rows.append(bits)
        else:
            raise ValueError(f'DYMO: unbekanntes Byte {b:#04x} an Stelle {i}')
    return out
