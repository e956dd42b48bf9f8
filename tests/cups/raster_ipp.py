"""PWG raster and Apple raster (URF), as CUPS sends them to an IPP Everywhere printer.

PWG: "RaS2", then for each page a header of 1796 bytes (width in dots at byte 372, height
at 376, bits a pixel at 388, colour space at 400, all big-endian) and its lines. Apple:
"UNIRAST\\0" and a page count (4 bytes), then for each page a header of 32 bytes (bits a
pixel at 0, colour space at 1, width at 12, height at 16, resolution at 20) and its lines.
Both code the lines alike: a byte n for n + 1 equal lines, then runs till the line is
full: 0-127 one pixel n + 1 times, 129-255 257 - n pixels as they are, 128 white to the
line's end. 1 bit a pixel: 1 black; 8 bits: 0 black.
"""
import struct


def page(data, i, width, height, bits):
    unit = max(bits // 8, 1)
    line_bytes = (width * bits + 7) // 8
    white = b'\x00' if bits == 1 else b'\xff'
    rows = []
    while len(rows) < height:
        repeat, i = data[i] + 1, i + 1
        line = bytearray()
        while len(line) < line_bytes:
            n, i = data[i], i + 1
            if n == 128:
                line += white * (line_bytes - len(line))
            elif n < 128:
                line += data[i:i + unit] * (n + 1)
                i += unit
            else:
                line += data[i:i + (257 - n) * unit]
                i += (257 - n) * unit
        dots = [x >> (7 - k) & 1 for x in line for k in range(8)][:width] if bits == 1 \
            else [int(v < 128) for v in line[::unit]][:width]
        rows += [dots] * repeat
    return rows[:height], i


def labels(data):
    out = []
    if data.startswith(b'RaS2'):
        i = 4
        while i + 1796 <= len(data):
            h = data[i:i + 1796]
            width, height = struct.unpack('>II', h[372:380])
            bits = struct.unpack('>I', h[388:392])[0]
            rows, i = page(data, i + 1796, width, height, bits)
            out.append((width, rows))
    elif data.startswith(b'UNIRAST\0'):
        i = 12
        while i + 32 <= len(data):
            h = data[i:i + 32]
            width, height = struct.unpack('>II', h[12:20])
            rows, i = page(data, i + 32, width, height, h[0])
            out.append((width, rows))
    return out
