#!/usr/bin/env python3
"""Draws the stub's icon and writes it as an .ico with a 16x16 and a 32x32
image at 8 bits per pixel: a parcel in Morvel blue with a white arrow that
points down into an open tray."""
import struct
import sys

PALETTE = [
    (0, 0, 0),        # 0: transparent (masked)
    (24, 78, 150),    # 1: parcel blue
    (58, 128, 210),   # 2: parcel highlight
    (255, 255, 255),  # 3: arrow white
    (12, 40, 84),     # 4: outline
    (250, 190, 40),   # 5: tray amber
]


def draw(size):
    """Returns rows (top first) of palette indices."""
    s = size / 32.0
    px = [[0] * size for _ in range(size)]
    for y in range(size):
        for x in range(size):
            fx, fy = (x + 0.5) / s, (y + 0.5) / s
            # tray: a U at the bottom
            if 4 <= fx <= 28 and 22 <= fy <= 29 and not (7 <= fx <= 25 and fy < 26):
                px[y][x] = 5
            # parcel body with outline
            elif 6 <= fx <= 26 and 3 <= fy <= 21:
                edge = fx < 7.5 or fx > 24.5 or fy < 4.5 or fy > 19.5
                px[y][x] = 4 if edge else (2 if fy < 8 else 1)
            # arrow: shaft and head, white over the parcel and below it
            shaft = 14 <= fx <= 18 and 6 <= fy <= 16
            head = 16 <= fy <= 24 and abs(fx - 16) <= (24 - fy) * 0.9
            if shaft or head:
                px[y][x] = 3
    return px


def image(size):
    rows = draw(size)
    # 8 bits per pixel with a palette of only the colours used (biClrUsed).
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 8, 0, 0, 0, 0, len(PALETTE), 0)
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    xor = b''.join(bytes(row) for row in reversed(rows))
    mask_row_bytes = ((size + 31) // 32) * 4
    mask = b''
    for row in reversed(rows):
        line = bytearray(mask_row_bytes)
        for x, value in enumerate(row):
            if value == 0:
                line[x // 8] |= 0x80 >> (x % 8)
        mask += bytes(line)
    return header + palette + xor + mask


def main(path):
    images = [image(16), image(32)]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, data in zip((16, 32), images):
        out += struct.pack('<BBBBHHII', size, size, len(PALETTE), 0, 1, 8, len(data), offset)
        offset += len(data)
    out += b''.join(images)
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main(sys.argv[1])
