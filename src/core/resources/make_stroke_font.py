#!/usr/bin/env python3
"""Builds stroke_font.cpp from the glyph outlines below.

Each glyph is a list of strokes separated by ';', each stroke a list of x,y
points on the font grid (capitals 4 wide and 6 high, descenders to -2). Every
glyph advances 6 units. Run: python3 make_stroke_font.py > stroke_font.cpp
"""

GLYPHS = {
    0: "0,0 0,4 4,4 4,0 0,0",  # the box drawn for codes without a glyph
    ord(' '): "",
    ord('!'): "2,6 2,2; 2,1 2,0",
    ord('"'): "1,6 1,4; 3,6 3,4",
    ord('#'): "1,0 1,6; 3,0 3,6; 0,2 4,2; 0,4 4,4",
    ord('$'): "4,5 3,6 1,6 0,5 0,4 1,3 3,3 4,2 4,1 3,0 1,0 0,1; 2,7 2,-1",
    ord('%'): "0,0 4,6; 0,6 0,5 1,5 1,6 0,6; 3,0 3,1 4,1 4,0 3,0",
    ord('&'): "4,0 1,4 1,5 2,6 3,5 3,4 0,2 0,1 1,0 2,0 4,2",
    ord("'"): "2,6 2,4",
    ord('('): "3,7 1,5 1,1 3,-1",
    ord(')'): "1,7 3,5 3,1 1,-1",
    ord('*'): "2,5 2,1; 0,4 4,2; 0,2 4,4",
    ord('+'): "2,5 2,1; 0,3 4,3",
    ord(','): "2,1 2,0 1,-1",
    ord('-'): "0,3 4,3",
    ord('.'): "2,0 2,1",
    ord('/'): "0,0 4,6",
    ord('0'): "1,0 0,1 0,5 1,6 3,6 4,5 4,1 3,0 1,0; 1,1 3,5",
    ord('1'): "1,5 2,6 2,0; 1,0 3,0",
    ord('2'): "0,5 1,6 3,6 4,5 4,4 0,0 4,0",
    ord('3'): "0,5 1,6 3,6 4,5 4,4 3,3 4,2 4,1 3,0 1,0 0,1; 1,3 3,3",
    ord('4'): "3,0 3,6 0,2 4,2",
    ord('5'): "4,6 0,6 0,3 3,3 4,2 4,1 3,0 1,0 0,1",
    ord('6'): "3,6 1,6 0,5 0,1 1,0 3,0 4,1 4,2 3,3 0,3",
    ord('7'): "0,6 4,6 1,0",
    ord('8'): "1,3 0,4 0,5 1,6 3,6 4,5 4,4 3,3 1,3 0,2 0,1 1,0 3,0 4,1 4,2 3,3",
    ord('9'): "4,3 1,3 0,4 0,5 1,6 3,6 4,5 4,1 3,0 1,0",
    ord(':'): "2,4 2,3; 2,1 2,0",
    ord(';'): "2,4 2,3; 2,1 2,0 1,-1",
    ord('<'): "4,6 0,3 4,0",
    ord('='): "0,4 4,4; 0,2 4,2",
    ord('>'): "0,6 4,3 0,0",
    ord('?'): "0,5 1,6 3,6 4,5 4,4 2,3 2,2; 2,1 2,0",
    ord('@'): "3,2 1,2 1,4 3,4 3,1 4,1 4,5 3,6 1,6 0,5 0,1 1,0 4,0",
    ord('A'): "0,0 2,6 4,0; 1,2 3,2",
    ord('B'): "0,0 0,6 3,6 4,5 4,4 3,3 0,3; 3,3 4,2 4,1 3,0 0,0",
    ord('C'): "4,5 3,6 1,6 0,5 0,1 1,0 3,0 4,1",
    ord('D'): "0,0 0,6 3,6 4,5 4,1 3,0 0,0",
    ord('E'): "4,0 0,0 0,6 4,6; 0,3 3,3",
    ord('F'): "0,0 0,6 4,6; 0,3 3,3",
    ord('G'): "4,5 3,6 1,6 0,5 0,1 1,0 3,0 4,1 4,3 2,3",
    ord('H'): "0,0 0,6; 4,0 4,6; 0,3 4,3",
    ord('I'): "1,0 3,0; 2,0 2,6; 1,6 3,6",
    ord('J'): "0,1 1,0 2,0 3,1 3,6; 2,6 4,6",
    ord('K'): "0,0 0,6; 4,6 0,2; 1,3 4,0",
    ord('L'): "0,6 0,0 4,0",
    ord('M'): "0,0 0,6 2,3 4,6 4,0",
    ord('N'): "0,0 0,6 4,0 4,6",
    ord('O'): "1,0 0,1 0,5 1,6 3,6 4,5 4,1 3,0 1,0",
    ord('P'): "0,0 0,6 3,6 4,5 4,4 3,3 0,3",
    ord('Q'): "1,0 0,1 0,5 1,6 3,6 4,5 4,1 3,0 1,0; 2,2 4,0",
    ord('R'): "0,0 0,6 3,6 4,5 4,4 3,3 0,3; 2,3 4,0",
    ord('S'): "4,5 3,6 1,6 0,5 0,4 1,3 3,3 4,2 4,1 3,0 1,0 0,1",
    ord('T'): "0,6 4,6; 2,6 2,0",
    ord('U'): "0,6 0,1 1,0 3,0 4,1 4,6",
    ord('V'): "0,6 2,0 4,6",
    ord('W'): "0,6 1,0 2,4 3,0 4,6",
    ord('X'): "0,0 4,6; 0,6 4,0",
    ord('Y'): "0,6 2,3 4,6; 2,3 2,0",
    ord('Z'): "0,6 4,6 0,0 4,0",
    ord('['): "3,7 1,7 1,-1 3,-1",
    ord('\\'): "0,6 4,0",
    ord(']'): "1,7 3,7 3,-1 1,-1",
    ord('^'): "0,4 2,6 4,4",
    ord('_'): "0,-1 4,-1",
    ord('`'): "1,6 2,5",
    ord('a'): "1,4 3,4 4,3 4,0; 4,2 1,2 0,1 1,0 3,0 4,1",
    ord('b'): "0,6 0,0 3,0 4,1 4,3 3,4 0,4",
    ord('c'): "4,4 1,4 0,3 0,1 1,0 4,0",
    ord('d'): "4,6 4,0 1,0 0,1 0,3 1,4 4,4",
    ord('e'): "0,2 4,2 4,3 3,4 1,4 0,3 0,1 1,0 4,0",
    ord('f'): "1,0 1,5 2,6 4,6; 0,4 3,4",
    ord('g'): "4,0 1,0 0,1 0,3 1,4 4,4 4,-1 3,-2 1,-2",
    ord('h'): "0,6 0,0; 0,3 1,4 3,4 4,3 4,0",
    ord('i'): "1,4 2,4 2,0; 1,0 3,0; 2,6 2,5",
    ord('j'): "2,4 3,4 3,-1 2,-2 0,-2; 3,6 3,5",
    ord('k'): "0,0 0,6; 0,1 3,4; 1,2 4,0",
    ord('l'): "1,6 2,6 2,0; 1,0 3,0",
    ord('m'): "0,0 0,4; 0,3 1,4 2,3 2,0; 2,3 3,4 4,3 4,0",
    ord('n'): "0,0 0,4; 0,3 1,4 3,4 4,3 4,0",
    ord('o'): "1,0 0,1 0,3 1,4 3,4 4,3 4,1 3,0 1,0",
    ord('p'): "0,-2 0,4 3,4 4,3 4,1 3,0 0,0",
    ord('q'): "4,-2 4,4 1,4 0,3 0,1 1,0 4,0",
    ord('r'): "0,0 0,4; 0,2 2,4 4,4",
    ord('s'): "4,4 1,4 0,3 1,2 3,2 4,1 3,0 0,0",
    ord('t'): "1,6 1,1 2,0 3,0 4,1; 0,4 3,4",
    ord('u'): "0,4 0,1 1,0 3,0 4,1; 4,4 4,0",
    ord('v'): "0,4 2,0 4,4",
    ord('w'): "0,4 1,0 2,3 3,0 4,4",
    ord('x'): "0,0 4,4; 0,4 4,0",
    ord('y'): "0,4 0,1 1,0 4,0; 4,4 4,-1 3,-2 0,-2",
    ord('z'): "0,4 4,4 0,0 4,0",
    ord('{'): "3,7 2,6 2,4 1,3 2,2 2,0 3,-1",
    ord('|'): "2,7 2,-1",
    ord('}'): "1,7 2,6 2,4 3,3 2,2 2,0 1,-1",
    ord('~'): "0,4 1,5 3,4 4,5",
    248: "1,5 2,6 3,5 2,4 1,5",                                     # degree
    230: "0,-2 0,4; 0,1 1,0 3,0 4,1; 4,4 4,0",                        # micro
    171: "0,5 1,6 1,3; 0,0 4,6; 2,2 3,3 4,2 2,0 4,0",                 # one half
    172: "0,5 1,6 1,3; 0,0 4,6; 3,0 3,3 2,1 4,1",                     # one quarter
    234: "0,0 1,0 1,1 0,3 0,5 1,6 3,6 4,5 4,3 3,1 3,0 4,0",           # ohm
}
ADVANCE = 6


def step_byte(dx, dy):
    assert -8 <= dx <= 7 and -8 <= dy <= 7 and (dx, dy) != (0, 0)
    return ((dx & 15) << 4) | (dy & 15)


def split(dx, dy):
    parts = []
    while dx or dy:
        sx = max(-8, min(7, dx))
        sy = max(-8, min(7, dy))
        parts.append((sx, sy))
        dx -= sx
        dy -= sy
    return parts


def encode(text):
    out = []
    x = y = 0
    strokes = [s.split() for s in text.split(';') if s.strip()]

    def pen_up_to(tx, ty, final=False):
        nonlocal x, y
        parts = split(tx - x, ty - y)
        if not parts and final:
            parts = [(0, 1), (0, -1)]
        for i, (sx, sy) in enumerate(parts):
            last = final and i == len(parts) - 1
            if not (len(out) == 0 and i == 0) and not last:
                out.append(0)
            out.append(step_byte(sx, sy))
        x, y = tx, ty

    for stroke in strokes:
        pts = [tuple(int(v) for v in p.split(',')) for p in stroke]
        if (x, y) != pts[0]:
            pen_up_to(*pts[0])
        elif not out:
            out.append(0)  # draw straight from the origin
        for px, py in pts[1:]:
            for sx, sy in split(px - x, py - y):
                out.append(step_byte(sx, sy))
            x, y = px, py
    pen_up_to(ADVANCE, 0, final=True)
    return out


def main():
    data = [6, 0] + [0, 0] * 256
    body = []
    offsets = []
    for code in range(256):
        offsets.append(514 + len(body))
        if code in GLYPHS:
            body += encode(GLYPHS[code])
    offsets.append(514 + len(body))
    data = [6, 0]
    for code in range(256):
        entry_addr = 2 + 2 * code
        rel = offsets[code] - entry_addr
        data += [rel & 255, rel >> 8]
    data += body
    assert len(data) <= 4096, len(data)
    data += [0] * (4096 - len(data))
    print("// Generated by make_stroke_font.py from its glyph outlines; edit them there.")
    print('#include "resources/stroke_font.h"')
    print()
    print("namespace trelmo {")
    print()
    print("// Bytes 0-1: cell size 6; then 256 self-relative 16-bit offsets; then the")
    print("// stroke bytes (high nibble X step, low nibble Y step, 0x00 = next step pen-up).")
    print("// clang-format off")
    print("const std::array<uint8_t, kStrokeFontBytes> kStrokeFont = {")
    for i in range(0, 4096, 16):
        print("    " + ", ".join("0x%02X" % b for b in data[i:i + 16]) + ",")
    print("};")
    print("// clang-format on")
    print()
    print("}  // namespace trelmo")


if __name__ == "__main__":
    main()
