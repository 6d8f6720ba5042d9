#!/usr/bin/env python3
"""Writes resources/pat/how.avi, the animation of the howling measurement.

A microphone on a stand faces a loudspeaker; rings of sound leave the
speaker, cross to the microphone and fade, and the microphone's capsule
glows as they arrive. The frames loop without a seam.

The file is an AVI with one Motion-JPEG video stream (each frame a baseline
JPEG with the standard Huffman tables of the JPEG specification's annex K),
which the GStreamer and FFmpeg back ends of Qt Multimedia both play. Only the
Python standard library is used: the drawing is done per pixel with
distance functions and a one-pixel soft edge, the JPEG coding by hand.

Run from anywhere: python3 scripts/make_how_avi.py
"""

import math
import os
import struct

WIDTH, HEIGHT = 160, 112
FRAMES = 16
FPS = 10
QUALITY = 80

# ---------------------------------------------------------------- drawing


def mix(a, b, t):
    return tuple(a[i] + (b[i] - a[i]) * t for i in range(3))


def cover(d):
    """Coverage of a pixel at signed distance d (negative inside)."""
    return min(1.0, max(0.0, 0.5 - d))


def rounded_box(px, py, cx, cy, hw, hh, r):
    qx = abs(px - cx) - hw + r
    qy = abs(py - cy) - hh + r
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    return outside + min(max(qx, qy), 0.0) - r


def circle(px, py, cx, cy, r):
    return math.hypot(px - cx, py - cy) - r


def segment(px, py, ax, ay, bx, by, r):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - ax - dx * t, py - ay - dy * t) - r


BG_TOP = (58, 66, 78)
BG_BOTTOM = (24, 28, 34)
METAL = (196, 202, 210)
METAL_DARK = (110, 116, 126)
CABINET = (44, 46, 52)
CONE = (150, 156, 166)
WAVE = (120, 220, 255)
GLOW = (255, 90, 70)

MIC_X, MIC_Y = 38.0, 44.0
SPK_X, SPK_Y = 124.0, 56.0


def background(x, y):
    base = mix(BG_TOP, BG_BOTTOM, y / HEIGHT)
    # A faint floor line.
    if y > 96:
        base = mix(base, (0, 0, 0), 0.25)
    return base


def draw_static(x, y, colour, glow):
    px, py = x + 0.5, y + 0.5
    # Microphone: stand, base, body and the grille of the capsule.
    colour = mix(colour, METAL_DARK, cover(segment(px, py, MIC_X, MIC_Y + 14, MIC_X, 96, 1.6)))
    colour = mix(colour, METAL_DARK, cover(rounded_box(px, py, MIC_X, 98, 14, 2.5, 2.5)))
    colour = mix(colour, METAL, cover(rounded_box(px, py, MIC_X, MIC_Y + 8, 4.5, 10, 3)))
    head = circle(px, py, MIC_X, MIC_Y - 6, 10)
    grille = METAL if (int(px) + int(py)) % 3 else METAL_DARK
    colour = mix(colour, mix(grille, GLOW, glow), cover(head))
    colour = mix(colour, (70, 74, 82), cover(abs(head) - 0.7))
    # Loudspeaker: cabinet, tweeter and woofer with its dust cap.
    colour = mix(colour, CABINET, cover(rounded_box(px, py, SPK_X, SPK_Y, 20, 34, 4)))
    colour = mix(colour, (80, 84, 92), cover(abs(rounded_box(px, py, SPK_X, SPK_Y, 20, 34, 4)) - 0.7))
    colour = mix(colour, CONE, cover(circle(px, py, SPK_X, SPK_Y - 20, 6)))
    colour = mix(colour, (60, 62, 68), cover(circle(px, py, SPK_X, SPK_Y - 20, 2.5)))
    woofer = circle(px, py, SPK_X, SPK_Y + 10, 15)
    colour = mix(colour, CONE, cover(woofer))
    colour = mix(colour, (90, 94, 102), cover(abs(woofer + 4) - 0.8))
    colour = mix(colour, (60, 62, 68), cover(circle(px, py, SPK_X, SPK_Y + 10, 5)))
    return colour


def wave_strength(x, y, phase):
    """Rings leaving the speaker towards the microphone, one every quarter
    of the loop, fading with distance; only the half facing the mic."""
    px, py = x + 0.5, y + 0.5
    dx, dy = px - (SPK_X - 22), py - (SPK_Y - 4)
    if dx > 0:
        return 0.0
    r = math.hypot(dx, dy)
    # Within a cone facing left.
    if abs(dy) > -dx * 1.3 + 2:
        return 0.0
    spacing = 20.0
    travel = (r - phase * spacing) % spacing
    edge = min(travel, spacing - travel)
    fade = max(0.0, 1.0 - r / 72.0)
    return cover(edge - 1.4) * fade


def frame_pixels(f, base):
    phase = f / FRAMES * 4 % 1.0
    # The capsule glows as a ring reaches it.
    reach = math.hypot(MIC_X - (SPK_X - 22), (MIC_Y - 6) - (SPK_Y - 4)) - 10
    arrive = (reach - phase * 20.0) % 20.0
    glow = max(0.0, 1.0 - min(arrive, 20.0 - arrive) / 5.0) * 0.55
    rows = []
    for y in range(HEIGHT):
        row = []
        for x in range(WIDTH):
            colour = base[y][x]
            w = wave_strength(x, y, phase)
            if w > 0:
                colour = mix(colour, WAVE, w * 0.9)
            # The microphone stands in front of the rings.
            if abs(x + 0.5 - MIC_X) < 16 and MIC_Y - 18 < y < 101:
                colour = draw_static(x, y, background(x, y), glow)
            row.append(tuple(min(255, max(0, int(round(c)))) for c in colour))
        rows.append(row)
    return rows


def base_picture():
    return [[draw_static(x, y, background(x, y), 0.0) for x in range(WIDTH)] for y in range(HEIGHT)]


# ---------------------------------------------------------------- JPEG

ZIGZAG = [
    0, 1, 8, 16, 9, 2, 3, 10, 17, 24, 32, 25, 18, 11, 4, 5,
    12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6, 7, 14, 21, 28,
    35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
    58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63,
]

# Annex K.1, natural order.
LUMA_Q = [
    16, 11, 10, 16, 24, 40, 51, 61, 12, 12, 14, 19, 26, 58, 60, 55,
    14, 13, 16, 24, 40, 57, 69, 56, 14, 17, 22, 29, 51, 87, 80, 62,
    18, 22, 37, 56, 68, 109, 103, 77, 24, 35, 55, 64, 81, 104, 113, 92,
    49, 64, 78, 87, 103, 121, 120, 101, 72, 92, 95, 98, 112, 100, 103, 99,
]
CHROMA_Q = [
    17, 18, 24, 47, 99, 99, 99, 99, 18, 21, 26, 66, 99, 99, 99, 99,
    24, 26, 56, 99, 99, 99, 99, 99, 47, 66, 99, 99, 99, 99, 99, 99,
] + [99] * 32

# Annex K.3: code counts per length 1..16, then the symbols.
DC_LUMA = ([0, 1, 5, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0, 0, 0], list(range(12)))
DC_CHROMA = ([0, 3, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0, 0, 0, 0, 0], list(range(12)))
AC_LUMA = ([0, 2, 1, 3, 3, 2, 4, 3, 5, 5, 4, 4, 0, 0, 1, 0x7D], [
    0x01, 0x02, 0x03, 0x00, 0x04, 0x11, 0x05, 0x12, 0x21, 0x31, 0x41, 0x06, 0x13, 0x51, 0x61, 0x07,
    0x22, 0x71, 0x14, 0x32, 0x81, 0x91, 0xA1, 0x08, 0x23, 0x42, 0xB1, 0xC1, 0x15, 0x52, 0xD1, 0xF0,
    0x24, 0x33, 0x62, 0x72, 0x82, 0x09, 0x0A, 0x16, 0x17, 0x18, 0x19, 0x1A, 0x25, 0x26, 0x27, 0x28,
    0x29, 0x2A, 0x34, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48, 0x49,
    0x4A, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68, 0x69,
    0x6A, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x83, 0x84, 0x85, 0x86, 0x87, 0x88, 0x89,
    0x8A, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0xA2, 0xA3, 0xA4, 0xA5, 0xA6, 0xA7,
    0xA8, 0xA9, 0xAA, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xC2, 0xC3, 0xC4, 0xC5,
    0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA, 0xE1, 0xE2,
    0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xF1, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8,
    0xF9, 0xFA])
AC_CHROMA = ([0, 2, 1, 2, 4, 4, 3, 4, 7, 5, 4, 4, 0, 1, 2, 0x77], [
    0x00, 0x01, 0x02, 0x03, 0x11, 0x04, 0x05, 0x21, 0x31, 0x06, 0x12, 0x41, 0x51, 0x07, 0x61, 0x71,
    0x13, 0x22, 0x32, 0x81, 0x08, 0x14, 0x42, 0x91, 0xA1, 0xB1, 0xC1, 0x09, 0x23, 0x33, 0x52, 0xF0,
    0x15, 0x62, 0x72, 0xD1, 0x0A, 0x16, 0x24, 0x34, 0xE1, 0x25, 0xF1, 0x17, 0x18, 0x19, 0x1A, 0x26,
    0x27, 0x28, 0x29, 0x2A, 0x35, 0x36, 0x37, 0x38, 0x39, 0x3A, 0x43, 0x44, 0x45, 0x46, 0x47, 0x48,
    0x49, 0x4A, 0x53, 0x54, 0x55, 0x56, 0x57, 0x58, 0x59, 0x5A, 0x63, 0x64, 0x65, 0x66, 0x67, 0x68,
    0x69, 0x6A, 0x73, 0x74, 0x75, 0x76, 0x77, 0x78, 0x79, 0x7A, 0x82, 0x83, 0x84, 0x85, 0x86, 0x87,
    0x88, 0x89, 0x8A, 0x92, 0x93, 0x94, 0x95, 0x96, 0x97, 0x98, 0x99, 0x9A, 0xA2, 0xA3, 0xA4, 0xA5,
    0xA6, 0xA7, 0xA8, 0xA9, 0xAA, 0xB2, 0xB3, 0xB4, 0xB5, 0xB6, 0xB7, 0xB8, 0xB9, 0xBA, 0xC2, 0xC3,
    0xC4, 0xC5, 0xC6, 0xC7, 0xC8, 0xC9, 0xCA, 0xD2, 0xD3, 0xD4, 0xD5, 0xD6, 0xD7, 0xD8, 0xD9, 0xDA,
    0xE2, 0xE3, 0xE4, 0xE5, 0xE6, 0xE7, 0xE8, 0xE9, 0xEA, 0xF2, 0xF3, 0xF4, 0xF5, 0xF6, 0xF7, 0xF8,
    0xF9, 0xFA])

AC_SYMBOLS = {0x00, 0xF0} | {run << 4 | size for run in range(16) for size in range(1, 11)}
for _table in (AC_LUMA, AC_CHROMA):
    assert sum(_table[0]) == len(_table[1]) and set(_table[1]) == AC_SYMBOLS


def scaled_table(table):
    scale = 5000 / QUALITY if QUALITY < 50 else 200 - 2 * QUALITY
    return [min(255, max(1, (q * scale + 50) // 100)) for q in table]


def huffman_codes(table):
    """Symbol -> (code, length) from the counts per length (annex C)."""
    counts, symbols = table
    codes, code, k = {}, 0, 0
    for length in range(1, 17):
        for _ in range(counts[length - 1]):
            codes[symbols[k]] = (code, length)
            code += 1
            k += 1
        code <<= 1
    return codes


COS = [[(math.sqrt(0.5) if u == 0 else 1.0) * 0.5 * math.cos((2 * x + 1) * u * math.pi / 16)
        for x in range(8)] for u in range(8)]


def dct(block):
    """The 2-D DCT of 64 level-shifted samples, separably."""
    rows = [[sum(COS[u][x] * block[y * 8 + x] for x in range(8)) for u in range(8)] for y in range(8)]
    return [sum(COS[v][y] * rows[y][u] for y in range(8)) for v in range(8) for u in range(8)]


class BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.n = 0

    def put(self, code, length):
        self.acc = self.acc << length | code
        self.n += length
        while self.n >= 8:
            self.n -= 8
            byte = self.acc >> self.n & 0xFF
            self.out.append(byte)
            if byte == 0xFF:
                self.out.append(0)
        self.acc &= (1 << self.n) - 1

    def flush(self):
        if self.n:
            self.put((1 << (8 - self.n)) - 1, 8 - self.n)


def magnitude(v):
    size = abs(v).bit_length()
    return size, (v if v >= 0 else v + (1 << size) - 1)


def encode_block(bits, samples, quant, dc_codes, ac_codes, previous_dc):
    coeffs = dct([s - 128 for s in samples])
    q = [int(round(coeffs[ZIGZAG[i]] / quant[ZIGZAG[i]])) for i in range(64)]
    size, value = magnitude(q[0] - previous_dc)
    bits.put(*dc_codes[size])
    if size:
        bits.put(value, size)
    run = 0
    for v in q[1:]:
        if v == 0:
            run += 1
            continue
        while run > 15:
            bits.put(*ac_codes[0xF0])
            run -= 16
        size, value = magnitude(v)
        bits.put(*ac_codes[run << 4 | size])
        bits.put(value, size)
        run = 0
    if run:
        bits.put(*ac_codes[0x00])
    return q[0]


def segment_bytes(marker, payload):
    return struct.pack(">BBH", 0xFF, marker, len(payload) + 2) + payload


def dht(cls, ident, table):
    return bytes([cls << 4 | ident]) + bytes(table[0]) + bytes(table[1])


def encode_jpeg(pixels):
    lq, cq = scaled_table(LUMA_Q), scaled_table(CHROMA_Q)
    codes = [(huffman_codes(DC_LUMA), huffman_codes(AC_LUMA), lq),
             (huffman_codes(DC_CHROMA), huffman_codes(AC_CHROMA), cq),
             (huffman_codes(DC_CHROMA), huffman_codes(AC_CHROMA), cq)]
    planes = [[], [], []]
    for row in pixels:
        for p in (planes[0], planes[1], planes[2]):
            p.append([])
        for r, g, b in row:
            planes[0][-1].append(0.299 * r + 0.587 * g + 0.114 * b)
            planes[1][-1].append(-0.168736 * r - 0.331264 * g + 0.5 * b + 128)
            planes[2][-1].append(0.5 * r - 0.418688 * g - 0.081312 * b + 128)
    bits = BitWriter()
    previous = [0, 0, 0]
    for by in range(0, HEIGHT, 8):
        for bx in range(0, WIDTH, 8):
            for c in range(3):
                samples = [planes[c][by + y][bx + x] for y in range(8) for x in range(8)]
                dc_codes, ac_codes, quant = codes[c]
                previous[c] = encode_block(bits, samples, quant, dc_codes, ac_codes, previous[c])
    bits.flush()
    out = bytearray(b"\xFF\xD8")
    out += segment_bytes(0xE0, b"JFIF\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00")
    out += segment_bytes(0xDB, bytes([0]) + bytes(lq[ZIGZAG[i]] for i in range(64))
                         + bytes([1]) + bytes(cq[ZIGZAG[i]] for i in range(64)))
    out += segment_bytes(0xC0, struct.pack(">BHHB", 8, HEIGHT, WIDTH, 3)
                         + bytes([1, 0x11, 0, 2, 0x11, 1, 3, 0x11, 1]))
    out += segment_bytes(0xC4, dht(0, 0, DC_LUMA) + dht(1, 0, AC_LUMA)
                         + dht(0, 1, DC_CHROMA) + dht(1, 1, AC_CHROMA))
    out += segment_bytes(0xDA, bytes([3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0]))
    out += bits.out
    out += b"\xFF\xD9"
    return bytes(out)


# ---------------------------------------------------------------- AVI


def chunk(fourcc, payload):
    pad = b"\x00" if len(payload) % 2 else b""
    return fourcc + struct.pack("<I", len(payload)) + payload + pad


def riff_list(kind, fourcc, payload):
    return kind + struct.pack("<I", len(payload) + 4) + fourcc + payload


def write_avi(path, frames):
    biggest = max(len(f) for f in frames)
    avih = struct.pack("<10I4I", 1000000 // FPS, biggest * FPS, 0, 0x10, len(frames), 0, 1, biggest,
                       WIDTH, HEIGHT, 0, 0, 0, 0)
    strh = b"vidsMJPG" + struct.pack("<IHHIIIIIIIIhhhh", 0, 0, 0, 0, 1, FPS, 0, len(frames), biggest,
                                     0xFFFFFFFF, 0, 0, 0, WIDTH, HEIGHT)
    strf = struct.pack("<IiiHH4sIiiII", 40, WIDTH, HEIGHT, 1, 24, b"MJPG", WIDTH * HEIGHT * 3, 0, 0, 0, 0)
    hdrl = riff_list(b"LIST", b"hdrl", chunk(b"avih", avih)
                     + riff_list(b"LIST", b"strl", chunk(b"strh", strh) + chunk(b"strf", strf)))
    movi_body = b""
    index = b""
    for f in frames:
        # Offsets count from the "movi" type word.
        index += b"00dc" + struct.pack("<III", 0x10, 4 + len(movi_body), len(f))
        movi_body += chunk(b"00dc", f)
    movi = riff_list(b"LIST", b"movi", movi_body)
    data = riff_list(b"RIFF", b"AVI ", hdrl + movi + chunk(b"idx1", index))
    with open(path, "wb") as out:
        out.write(data)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    base = base_picture()
    frames = [encode_jpeg(frame_pixels(f, base)) for f in range(FRAMES)]
    path = os.path.join(root, "resources", "pat", "how.avi")
    write_avi(path, frames)
    print(f"{path}: {os.path.getsize(path)} bytes, {FRAMES} frames of {WIDTH}x{HEIGHT}")


if __name__ == "__main__":
    main()
