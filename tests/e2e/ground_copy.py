"""The regions walk's own reader of .map files and copy files (see
regions_e2e.sh): "places MAP COPY STEPS" prints each "x y" where MAP holds
the copy after STEPS (t: turned counter-clockwise, l: flipped left/right);
"stamped BEFORE AFTER COPY STEPS X Y" prints "ok" when AFTER is BEFORE plus
the copy's heights above its lowest, clamped, at (X, Y)."""
import struct, sys


def read_map(path):
    data = open(path, "rb").read()
    w = struct.unpack_from("<i", data)[0] + 1
    count = (len(data) - 8) // 68
    return w, count // w, {(i % w, i // w): struct.unpack_from("<f", data, 48 + 68 * i)[0]
                           for i in range(count)}


def read_copy(path, steps):
    data = open(path, "rb").read()
    w, h = struct.unpack_from("<ii", data, 8)
    v = {(i % w, i // w): struct.unpack_from("<f", data, 16 + 5 * i)[0] for i in range(w * h)}
    for step in steps.replace("-", ""):
        if step == "t":  # new (x, y) from old (y, h - 1 - x)
            v, w, h = {(x, y): v[y, h - 1 - x] for x in range(h) for y in range(w)}, h, w
        else:
            v = {(x, y): v[w - 1 - x, y] for x in range(w) for y in range(h)}
    return w, h, v


def places(map_path, copy_path, steps):
    mw, mh, m = read_map(map_path)
    w, h, v = read_copy(copy_path, steps)
    top = max(v, key=v.get)
    for ox in range(mw - w + 1):
        for oy in range(mh - h + 1):
            if m[ox + top[0], oy + top[1]] == v[top] and \
                    all(m[ox + x, oy + y] == v[x, y] for (x, y) in v):
                print(ox, oy)


def stamped(before_path, after_path, copy_path, steps, ox, oy):
    b, a = read_map(before_path)[2], read_map(after_path)[2]
    w, h, v = read_copy(copy_path, steps)
    low = min(v.values())
    for (x, y), height in v.items():
        want = min(1.5, max(-2.0, b[ox + x, oy + y] + (height - low)))
        if abs(a[ox + x, oy + y] - want) > 1e-6:
            return print("vertex", ox + x, oy + y, "is", a[ox + x, oy + y], "not", want)
    print("ok")


if sys.argv[1] == "places": places(*sys.argv[2:5])
else: stamped(*sys.argv[2:6], int(sys.argv[6]), int(sys.argv[7]))
