#!/usr/bin/env python3
"""Draws the toolbar bitmap (22 images of 16 x 15) and the program icon of vesk.

Run from the repository root; writes resources/toolbar.bmp and resources/vesk.ico.
"""
import math
import struct

W, H, N = 16, 15, 22
GRAY = (192, 192, 192)  # the toolbar treats this colour as transparent
BLACK, BLUE, RED, GREEN, DARK = (0, 0, 0), (0, 0, 200), (200, 0, 0), (0, 128, 0), (64, 64, 64)

FONT = {  # 3 x 5 glyphs
    'M': ["101", "111", "111", "101", "101"], 'P': ["110", "101", "110", "100", "100"],
    'L': ["100", "100", "100", "100", "111"], 'G': ["011", "100", "101", "101", "011"],
    'i': ["010", "000", "010", "010", "010"], 'S': ["011", "100", "010", "001", "110"],
}


class Canvas:
    def __init__(self, w, h):
        self.w, self.h = w, h
        self.px = [[GRAY] * w for _ in range(h)]

    def set(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def line(self, x0, y0, x1, y1, c):
        n = max(abs(x1 - x0), abs(y1 - y0), 1)
        for k in range(n + 1):
            self.set(round(x0 + (x1 - x0) * k / n), round(y0 + (y1 - y0) * k / n), c)

    def rect(self, x0, y0, x1, y1, c, fill=None):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                edge = x in (x0, x1) or y in (y0, y1)
                if edge:
                    self.set(x, y, c)
                elif fill:
                    self.set(x, y, fill)

    def text(self, x, y, s, c, scale=2):
        for ch in s:
            for r, row in enumerate(FONT[ch]):
                for k, bit in enumerate(row):
                    if bit == "1":
                        for dy in range(scale):
                            for dx in range(scale):
                                self.set(x + k * scale + dx, y + r * scale + dy, c)
            x += 4 * scale


def sticks(c, colour, heights):
    c.line(1, 7, 14, 7, DARK)
    for k, h in enumerate(heights):
        x = 2 + 2 * k
        c.line(x, 7, x, 7 - h, colour)


def curve(c, colour, f):
    prev = None
    for x in range(1, 15):
        y = round(f(x))
        if prev:
            c.line(prev[0], prev[1], x, y, colour)
        prev = (x, y)


def magnifier(c):
    for a in range(0, 360, 20):
        c.set(round(5 + 3.5 * math.cos(math.radians(a))), round(5 + 3.5 * math.sin(math.radians(a))), BLACK)
    c.line(8, 8, 13, 13, BLACK)
    c.line(9, 8, 14, 13, BLACK)


def histogram(c, colour):
    for k, h in enumerate([3, 7, 11, 8, 4, 2]):
        c.rect(1 + 2 * k, 13 - h, 3 + 2 * k, 13, BLACK, colour)


def draw(i):
    c = Canvas(W, H)
    acf = [6, 4, 3, 2, 1, 1, 0]
    if i == 0:  # import file
        c.rect(6, 1, 14, 13, BLACK, (255, 255, 255))
        c.line(1, 7, 9, 7, GREEN); c.line(6, 4, 9, 7, GREEN); c.line(6, 10, 9, 7, GREEN)
    elif i in (1, 7, 9):
        sticks(c, {1: BLUE, 7: RED, 9: GREEN}[i], acf)
        curve(c, DARK, lambda x: 11 + 2 * math.sin(x))
    elif i == 2:
        sticks(c, BLUE, acf); curve(c, RED, lambda x: 7 - 6 * math.exp(-(x - 2) / 3))
    elif i in (3, 10):
        histogram(c, BLUE if i == 3 else GREEN)
    elif i in (4, 5, 6, 19):  # specify Model, Preliminary, max Likelihood, Generalized LS
        c.text(5, 2, {4: 'M', 5: 'P', 6: 'L', 19: 'G'}[i], BLUE)
    elif i == 8:
        curve(c, GREEN, lambda x: 7 + 5 * math.sin(2.3 * x) * math.cos(0.7 * x))
    elif i in (11, 12, 13):
        magnifier(c)
        if i == 11:
            c.line(2, 5, 8, 5, RED)
        elif i == 12:
            c.rect(3, 3, 7, 7, RED)
        else:
            c.line(3, 5, 7, 5, BLACK)
    elif i == 14:
        c.rect(3, 0, 12, 14, BLUE, (255, 255, 255)); c.text(5, 2, 'i', BLUE, 2)
    elif i == 15:
        c.rect(1, 1, 9, 10, BLACK, (255, 255, 255)); c.rect(5, 4, 14, 13, BLACK, (255, 255, 255))
    elif i in (16, 18):
        curve(c, BLUE, lambda x: 12 - (9 if x in (4, 9) else (x * 7) % 4))
        if i == 18:
            curve(c, RED, lambda x: 12 - 8 * math.exp(-((x - 4) / 3) ** 2) - 5 * math.exp(-((x - 9) / 2) ** 2))
    elif i == 17:
        curve(c, RED, lambda x: 12 - 8 * math.exp(-((x - 4) / 3) ** 2) - 5 * math.exp(-((x - 9) / 2) ** 2))
    else:
        c.rect(3, 3, 12, 11, DARK)
    return c


def bmp(pixels, w, h):
    row = (w * 3 + 3) & ~3
    data = bytearray()
    for y in range(h - 1, -1, -1):
        line = bytearray()
        for x in range(w):
            r, g, b = pixels[y][x]
            line += bytes((b, g, r))
        data += line + b"\0" * (row - len(line))
    header = struct.pack("<IiiHHIIiiII", 40, w, h, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    return header, bytes(data)


def main():
    strip = [[GRAY] * (W * N) for _ in range(H)]
    for i in range(N):
        c = draw(i)
        for y in range(H):
            strip[y][i * W:(i + 1) * W] = c.px[y]
    info, data = bmp(strip, W * N, H)
    with open("resources/toolbar.bmp", "wb") as f:
        f.write(b"BM" + struct.pack("<IHHI", 14 + len(info) + len(data), 0, 0, 14 + len(info)) + info + data)

    # Icon: a 32 x 32 line chart on white with a red forecast tail.
    size = 32
    c = Canvas(size, size)
    c.rect(0, 0, size - 1, size - 1, DARK, (255, 255, 255))
    pts = [(2 + k * 2, round(20 - 6 * math.sin(k * 0.9) - k * 0.4)) for k in range(14)]
    for (x0, y0), (x1, y1) in zip(pts, pts[1:]):
        c.line(x0, y0, x1, y1, BLUE if x1 <= 22 else RED)
    info, data = bmp(c.px, size, size)
    mask = b"\0" * (4 * size)
    info = struct.pack("<IiiHHIIiiII", 40, size, 2 * size, 1, 24, 0, len(data) + len(mask), 0, 0, 0, 0)
    image = info + data + mask
    with open("resources/vesk.ico", "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, 1))
        f.write(struct.pack("<BBBBHHII", size, size, 0, 0, 1, 24, len(image), 22))
        f.write(image)


if __name__ == "__main__":
    main()
