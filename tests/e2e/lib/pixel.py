# pixel.py FILE X Y SIDE: "r,g,b", the mean of the SIDE x SIDE square around
# (X, Y) of a 24 or 32-bit xwd dump, read in place: far quicker than convert.
import struct
import sys
path, x, y, side = sys.argv[1], *map(int, sys.argv[2:5])
with open(path, "rb") as f:
    head = struct.unpack(">25I", f.read(100))
    step = head[11] // 8
    assert head[7] == 0 and step in (3, 4), "not a 24 or 32-bit dump, least byte first"
    sums, x0, y0 = [0, 0, 0, 0], x - side // 2, y - side // 2
    for row in range(y0, y0 + side):
        f.seek(head[0] + 12 * head[19] + row * head[12] + x0 * step)
        for i, b in enumerate(f.read(side * step)):
            sums[i % step] += b
print(",".join(str((s + side * side // 2) // (side * side)) for s in sums[2::-1]))
