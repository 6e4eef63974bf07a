"""Reads .map files and the editor's copy file on their own, for the
regions walk: the heights of a map (68-byte records from byte 8, row by row,
x inner, the height a float at byte 40 of a record) and of a copy ("TECOPY01",
width, height, then per vertex a float and a letter).

  ground_copy.py places MAP COPY STEPS  -> "x y" of every place where MAP holds
      the copy after STEPS (t: turned 90 degrees counter-clockwise, l: flipped
      left/right; "-" none), the copy's vertex (0, 0) on map vertex (x, y)
  ground_copy.py stamped BEFORE AFTER COPY STEPS X Y -> "ok" when AFTER is
      BEFORE plus the copy's heights above its lowest, clamped to -2 .. 1.5,
      at (X, Y), else the first vertex that is not
  ground_copy.py highest COPY -> the copy's highest height
"""
import struct
import sys


def read_map(path):
    data = open(path, "rb").read()
    w, h = struct.unpack_from("<ii", data)
    heights = {}
    for i in range((w + 1) * (h + 1)):
        heights[i % (w + 1), i // (w + 1)] = struct.unpack_from("<f", data, 8 + 68 * i + 40)[0]
    return w + 1, h + 1, heights


def read_copy(path):
    data = open(path, "rb").read()
    assert data[:8] == b"TECOPY01", "no copy file"
    w, h = struct.unpack_from("<ii", data, 8)
    vertices = {}
    for i in range(w * h):
        vertices[i % w, i // w] = struct.unpack_from("<f", data, 16 + 5 * i)[0]
    return w, h, vertices


def transformed(copy, steps):
    w, h, v = copy
    for step in steps.replace("-", ""):
        if step == "t":  # new (x, y) from old (y, h - 1 - x)
            v = {(x, y): v[y, h - 1 - x] for x in range(h) for y in range(w)}
            w, h = h, w
        elif step == "l":
            v = {(x, y): v[w - 1 - x, y] for x in range(w) for y in range(h)}
    return w, h, v


def places(map_path, copy_path, steps):
    mw, mh, m = read_map(map_path)
    w, h, v = transformed(read_copy(copy_path), steps)
    top = max(v, key=v.get)
    for ox in range(mw - w + 1):
        for oy in range(mh - h + 1):
            if m[ox + top[0], oy + top[1]] != v[top]:
                continue
            if all(m[ox + x, oy + y] == v[x, y] for (x, y) in v):
                print(ox, oy)


def stamped(before_path, after_path, copy_path, steps, ox, oy):
    _, _, b = read_map(before_path)
    _, _, a = read_map(after_path)
    w, h, v = transformed(read_copy(copy_path), steps)
    low = min(v.values())
    for (x, y), height in v.items():
        want = struct.unpack("<f", struct.pack("<f", min(1.5, max(-2.0, b[ox + x, oy + y] + (height - low)))))[0]
        if abs(a[ox + x, oy + y] - want) > 1e-6:
            print("vertex", ox + x, oy + y, "is", a[ox + x, oy + y], "not", want)
            return
    print("ok")


if __name__ == "__main__":
    command = sys.argv[1]
    if command == "places":
        places(sys.argv[2], sys.argv[3], sys.argv[4])
    elif command == "stamped":
        stamped(*sys.argv[2:6], int(sys.argv[6]), int(sys.argv[7]))
    elif command == "highest":
        print(max(read_copy(sys.argv[2])[2].values()))
