# pixel.py FILE X Y SIDE: "r,g,b", the mean of the SIDE x SIDE square around
# (X, Y) of an X window dump (xwd, 24 or 32 bits a pixel), cut at its edges.
# Read in place: a dump is taken several times a second while a check waits.
import struct
import sys

path, x, y, side = sys.argv[1], int(sys.argv[2]), int(sys.argv[3]), int(sys.argv[4])
with open(path, "rb") as f:
    head = f.read(100)
    fields = struct.unpack(">25I", head)
    header_size, width, height = fields[0], fields[4], fields[5]
    byte_order, bits, line = fields[7], fields[11], fields[12]
    ncolours = fields[19]
    masks = fields[14:17]
    if bits not in (24, 32):
        sys.exit("pixel.py: %d bits a pixel" % bits)
    step = bits // 8
    start = header_size + 12 * ncolours
    shifts = [(m & -m).bit_length() - 1 for m in masks]
    x0, y0 = max(x - side // 2, 0), max(y - side // 2, 0)
    x1, y1 = min(x - side // 2 + side, width), min(y - side // 2 + side, height)
    if x0 >= x1 or y0 >= y1:
        sys.exit("pixel.py: (%d, %d) lies outside %dx%d" % (x, y, width, height))
    sums, n = [0, 0, 0], 0
    for row in range(y0, y1):
        f.seek(start + row * line + x0 * step)
        data = f.read((x1 - x0) * step)
        for i in range(0, len(data), step):
            v = int.from_bytes(data[i:i + step], "little" if byte_order == 0 else "big")
            for c in range(3):
                sums[c] += (v & masks[c]) >> shifts[c]
            n += 1
print(",".join(str((s + n // 2) // n) for s in sums))
