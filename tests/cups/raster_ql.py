"""Brother QL raster, as CUPS's rastertoptch sends it to a QL-570.

A job may begin with NUL bytes (clears the printer's buffer); ESC @ initialises.
ESC i z and 10 bytes describe the media (flags, type: 0x0a continuous, 0x0b die-cut;
width and length in mm; number of lines), ESC i M/K/A n set modes, ESC i d and 2 bytes
the margin, ESC i a n the command mode, M n the compression (2: TIFF PackBits).
g 0 n and n bytes is a dot line (a bit a pin, 1 black, the first pin on the right: the
line reads mirrored); Z is an empty line. FF (0x0c) ends a page, SUB (0x1a) the last.
"""


def unpack(data):
    """TIFF PackBits."""
    out, i = bytearray(), 0
    while i < len(data):
        n = data[i] - 256 if data[i] > 127 else data[i]
        if n >= 0:
            out += data[i + 1:i + 2 + n]
            i += 2 + n
        else:
            out += data[i + 1:i + 2] * (1 - n)
            i += 2
    return bytes(out)


def labels(data):
    """The labels of a job: (width in dots, rows of dots), turned to read as printed."""
    out, rows, i, packed, width = [], [], 0, False, 0
    while i < len(data) and data[i] == 0:
        i += 1
    while i < len(data):
        b = data[i:i + 1]
        if data[i:i + 2] == b'\x1b@':
            i += 2
        elif data[i:i + 3] == b'\x1biz':
            i += 13
        elif data[i:i + 3] == b'\x1bid':
            i += 5
        elif data[i:i + 2] == b'\x1bi':
            i += 4
        elif b == b'M':
            packed, i = data[i + 1] == 2, i + 2
        elif b in (b'g', b'G'):
            n = data[i + 2] if b == b'g' else data[i + 1] | data[i + 2] << 8
            line = data[i + 3:i + 3 + n]
            line = unpack(line) if packed else line
            width = max(width, len(line) * 8)
            rows.append([x >> k & 1 for x in reversed(line) for k in range(8)])
            i += 3 + n
        elif b == b'Z':
            rows.append([])
            i += 1
        elif b in (b'\x0c', b'\x1a'):
            out.append((width, [r or [0] * width for r in rows]))
            rows, i = [], i + 1
        else:
            raise ValueError(f'QL: unbekanntes Byte {data[i]:#04x} an Stelle {i}')
    return out
