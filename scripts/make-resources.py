#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes Vorlin107_rsc/ (the game's five sound cues, its two animated GIFs, the animated
link cursor, the window icon), packaging/icons/ (the desktop icon in every usual size) and
src/windows/pictures/ (the design-time pictures of About and Help, built into the program).

Everything is drawn or synthesised here, with the standard library only, and the output is
the same bytes on every run, so the folders are committed next to this script and rebuilt
with it:

    python3 scripts/make-resources.py            # (re)write the folders
    python3 scripts/make-resources.py --check    # rebuild elsewhere, compare with the folders

The formats themselves are checked by the test suite, with the game's own readers.
"""

import argparse
import io
import math
import os
import struct
import sys
import wave
import tempfile
import zlib

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import gifwriter  # noqa: E402

OUT_DIR = "Vorlin107_rsc"
RATE = 22050
PEAK = 10 ** (-3 / 20)  # -3 dBFS: loud enough, with room left for the mixer
TAU = 2 * math.pi


class Noise:
    """xorshift32: the same noise on every machine and every Python."""

    def __init__(self, seed):
        self.s = seed & 0xFFFFFFFF or 1

    def next(self):
        s = self.s
        s ^= (s << 13) & 0xFFFFFFFF
        s ^= s >> 17
        s ^= (s << 5) & 0xFFFFFFFF
        self.s = s
        return s / 2147483648.0 - 1.0  # [-1, 1)


# ---------------------------------------------------------------------------- sounds

def silence(seconds):
    return [0.0] * int(round(seconds * RATE))


def mix_into(dst, src, at_seconds, gain=1.0):
    start = int(round(at_seconds * RATE))
    for i, v in enumerate(src):
        if start + i < len(dst):
            dst[start + i] += gain * v


def finish(x, fade_in=0.004, fade_out=0.03):
    """DC out, raised-cosine fades so neither end clicks, peak at -3 dBFS, 16-bit."""
    mean = sum(x) / len(x)
    x = [v - mean for v in x]
    n = len(x)
    a = max(2, int(fade_in * RATE))
    r = max(2, int(fade_out * RATE))
    for i in range(a):
        x[i] *= 0.5 - 0.5 * math.cos(math.pi * i / a)
    for i in range(r):
        x[n - 1 - i] *= 0.5 - 0.5 * math.cos(math.pi * i / r)
    peak = max(abs(v) for v in x)
    k = PEAK * 32767 / peak
    return [int(round(v * k)) for v in x]


def wav_bytes(samples):
    buf = io.BytesIO()
    w = wave.open(buf, "wb")
    w.setnchannels(1)
    w.setsampwidth(2)
    w.setframerate(RATE)
    w.setnframes(len(samples))
    w.writeframes(struct.pack("<%dh" % len(samples), *samples))
    w.close()
    return buf.getvalue()


class Resonator:
    """Band-pass biquad with unit peak gain; its centre can move from sample to sample."""

    def __init__(self):
        self.x1 = self.x2 = self.y1 = self.y2 = 0.0

    def step(self, x, freq, q):
        w0 = TAU * freq / RATE
        alpha = math.sin(w0) / (2 * q)
        a0 = 1 + alpha
        y = (alpha * x - alpha * self.x2 + 2 * math.cos(w0) * self.y1 - (1 - alpha) * self.y2) / a0
        self.x2, self.x1 = self.x1, x
        self.y2, self.y1 = self.y1, y
        return y


BEAM_SWEEP = (300.0, 1500.0, 0.6)  # from, to (Hz), over (s)


def beam():
    """Start cue: an exponential sweep 300 -> 1500 Hz, with vibrato and a detuned twin."""
    f0, f1, dur = BEAM_SWEEP
    n = int(dur * RATE)
    out = []
    ph_a = ph_b = 0.0
    for i in range(n):
        t = i / RATE
        f = f0 * (f1 / f0) ** (t / dur)
        f *= 1 + 0.012 * math.sin(TAU * 7.0 * t)
        ph_a += TAU * f / RATE
        ph_b += TAU * f * 1.004 / RATE
        tone = 0.0
        # the twin is quieter, so its slow beating shimmers but never hollows the tone out
        for ph, g in ((ph_a, 1.0), (ph_b, 0.4)):
            tone += g * (math.sin(ph) + 0.35 * math.sin(2 * ph) + 0.16 * math.sin(3 * ph)
                         + 0.06 * math.sin(5 * ph))
        swell = 0.75 + 0.25 * t / dur
        out.append(tone * swell)
    return finish(out, fade_in=0.012, fade_out=0.12)


def yap(dur, f_start, f_end, formants, noise_mix, seed, body=0.05, tail=0.07):
    """One bark: a buzzy source falling in pitch, roughened by slow noise, through formants."""
    n = int(dur * RATE)
    rnd = Noise(seed)
    res = [Resonator() for _ in formants]
    slow = 0.0
    ph = 0.0
    out = []
    for i in range(n):
        t = i / RATE
        u = t / dur
        f = f_start * (f_end / f_start) ** u
        ph += TAU * f / RATE
        # band-limited sawtooth: harmonics below 5 kHz only, so nothing folds back
        src = 0.0
        k = 1
        while k * f < 5000:
            src += math.sin(k * ph) / k
            k += 1
        white = rnd.next()
        slow += 0.04 * (white - slow)  # ~150 Hz low-pass: the bark's rasp
        src = src * (1 + 2.5 * slow) + noise_mix * white
        y = 0.0
        for r, (fa, fb, q, g) in zip(res, formants):
            y += g * r.step(src, fa + (fb - fa) * u, q)
        env = (1 - math.exp(-t / 0.006)) * math.exp(-max(0.0, t - body) / tail)
        env *= 1 + 0.25 * math.sin(TAU * 34 * t)  # a little growl
        out.append(y * env)
    return out


def saturate(x, drive):
    """Soft clipping: tames the first spike of a bark so the rest of it is heard."""
    peak = max(abs(v) for v in x)
    return [math.tanh(drive * v / peak) for v in x]


def bark():
    """Black trail's crash: one low bark, pitch dropping."""
    x = yap(0.3, 430, 190,
            [(950, 560, 5, 1.0), (1700, 1150, 6, 0.6), (2700, 2400, 8, 0.25)],
            noise_mix=0.45, seed=0xB1ACC, body=0.05, tail=0.075)
    return finish(saturate(x, 3.0), fade_in=0.003, fade_out=0.04)


def dogbrk():
    """Red trail's crash: two quick, higher yaps."""
    x = silence(0.35)
    mix_into(x, yap(0.14, 780, 470,
                    [(1300, 950, 6, 1.0), (2600, 2100, 7, 0.5), (3600, 3300, 9, 0.2)],
                    noise_mix=0.3, seed=0x5ED1, body=0.03, tail=0.035), 0.0)
    mix_into(x, yap(0.15, 860, 520,
                    [(1400, 1000, 6, 1.0), (2700, 2200, 7, 0.5), (3700, 3400, 9, 0.2)],
                    noise_mix=0.3, seed=0x5ED2, body=0.03, tail=0.04), 0.185, gain=0.9)
    return finish(saturate(x, 2.5), fade_in=0.003, fade_out=0.03)


def pluck(freq, dur, decay):
    """A soft, rounded tone (mostly odd harmonics, like a filtered triangle) that dies away."""
    n = int(dur * RATE)
    out = []
    for i in range(n):
        t = i / RATE
        ph = TAU * freq * t
        v = math.sin(ph) + math.sin(3 * ph) / 9 + math.sin(5 * ph) / 25 + 0.2 * math.sin(2 * ph)
        env = (1 - math.exp(-t / 0.004)) * math.exp(-t / decay)
        out.append(v * env)
    return out


def bell(freq, dur):
    """A bell: inharmonic partials, the high ones dying first."""
    partials = [(1.0, 1.0, 0.45), (2.0, 0.45, 0.30), (2.76, 0.3, 0.20),
                (4.07, 0.16, 0.12), (5.40, 0.1, 0.08)]
    n = int(dur * RATE)
    out = []
    for i in range(n):
        t = i / RATE
        v = 0.0
        for ratio, amp, tau in partials:
            if freq * ratio < RATE / 2 - 500:
                v += amp * math.exp(-t / tau) * math.sin(TAU * freq * ratio * t)
        out.append(v * (1 - math.exp(-t / 0.002)))
    return out


C5, E5, G5, C6, D6, E6 = 523.25, 659.26, 783.99, 1046.50, 1174.66, 1318.51

# (note, onset in seconds): the self-check reads these pitches back from the waves.
LEVEL_NOTES = [(C5, 0.0), (E5, 0.1), (G5, 0.2), (C6, 0.3)]
CHIMES_NOTES = [(E6, 0.0), (D6, 0.15), (C6, 0.30), (G5, 0.45)]


def level():
    """Black wins: a rising C major arpeggio, the top note held."""
    x = silence(0.6)
    for k, (f, at) in enumerate(LEVEL_NOTES):
        last = k == len(LEVEL_NOTES) - 1
        mix_into(x, pluck(f, 0.6 - at, 0.35 if last else 0.16), at, 1.0 if last else 0.8)
        mix_into(x, pluck(2 * f, 0.6 - at, 0.08), at, 0.12)  # sparkle an octave up
    return finish(x, fade_in=0.003, fade_out=0.08)


def chimes():
    """Red wins: the first change of the Westminster quarters, on little bells."""
    x = silence(0.7)
    for f, at in CHIMES_NOTES:
        mix_into(x, bell(f, 0.7 - at), at)
    return finish(x, fade_in=0.002, fade_out=0.1)


SOUNDS = {
    "Beam.wav": beam,
    "bark.wav": bark,
    "Dogbrk.wav": dogbrk,
    "Level.wav": level,
    "Chimes.wav": chimes,
}


# ---------------------------------------------------------------------------- GIF

class Canvas:
    def __init__(self, w, h, fill=0):
        self.w, self.h = w, h
        self.px = [[fill] * w for _ in range(h)]

    def put(self, x, y, c):
        if 0 <= x < self.w and 0 <= y < self.h:
            self.px[y][x] = c

    def rect(self, x0, y0, x1, y1, c):
        for y in range(y0, y1 + 1):
            for x in range(x0, x1 + 1):
                self.put(x, y, c)

    def line(self, x0, y0, x1, y1, c):
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx, sy = (1 if x0 < x1 else -1), (1 if y0 < y1 else -1)
        err = dx + dy
        while True:
            self.put(x0, y0, c)
            if x0 == x1 and y0 == y1:
                return
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def poly(self, pts, c):
        """Fills the pixels whose centres lie inside the polygon."""
        ys = [p[1] for p in pts]
        for y in range(max(0, int(min(ys))), min(self.h, int(max(ys)) + 1)):
            cy = y + 0.5
            xs = []
            for (ax, ay), (bx, by) in zip(pts, pts[1:] + pts[:1]):
                if (ay <= cy < by) or (by <= cy < ay):
                    xs.append(ax + (cy - ay) * (bx - ax) / (by - ay))
            xs.sort()
            for a, b in zip(xs[::2], xs[1::2]):
                for x in range(max(0, math.ceil(a - 0.5)), min(self.w, math.floor(b - 0.5) + 1)):
                    self.px[y][x] = c

    def crop_frame(self, transparent):
        """The smallest sub-image that holds every drawn pixel."""
        rows = [y for y in range(self.h) if any(p != transparent for p in self.px[y])]
        cols = [x for x in range(self.w) if any(self.px[y][x] != transparent for y in range(self.h))]
        x0, x1, y0, y1 = cols[0], cols[-1], rows[0], rows[-1]
        return {"x": x0, "y": y0, "w": x1 - x0 + 1, "h": y1 - y0 + 1,
                "pixels": [row[x0:x1 + 1] for row in self.px[y0:y1 + 1]]}


# email00.gif: a little envelope that opens, lets its letter peek out, and closes again.
MAIL_PALETTE = [
    (239, 239, 239),  # 0 transparent (a dialog's grey, for viewers that ignore transparency)
    (28, 42, 96),     # 1 outline
    (250, 236, 190),  # 2 envelope paper
    (226, 204, 142),  # 3 fold shading
    (255, 247, 218),  # 4 closed flap
    (204, 178, 112),  # 5 inside of the flap
    (255, 255, 255),  # 6 letter
    (116, 138, 204),  # 7 writing on the letter
    (206, 38, 44),    # 8 wax seal
    (250, 150, 130),  # 9 seal highlight
    (168, 168, 176),  # 10 shadow
    (120, 92, 52),    # 11 inside of the envelope
    (255, 214, 40),   # 12 sparkle
    (64, 96, 200),    # 13 stamp
    (150, 180, 240),  # 14 stamp light
    (90, 70, 40),     # 15 inside, deep
]
MAIL_ERASED = len(MAIL_PALETTE)
MAIL_PALETTE.append((239, 239, 239))  # 16 the same grey, opaque: covers what an earlier frame drew
MAIL_SIZE = 50
MAIL_DELAY = 10  # 1/100 s, every frame: the game plays all frames at the first one's pace
# one picture a tick: flap apex height (> 0 folded down, < 0 standing up), letter rise
MAIL_STEPS = [(13, 0)] * 8 + [
    (8, 0), (2, 0), (-5, 0), (-11, 0), (-13, 4), (-13, 8), (-13, 12), (-13, 13), (-13, 9),
    (-13, 4), (-8, 0), (0, 0), (7, 0),
]


def mail_frame(apex, rise, sparkle):
    c = Canvas(MAIL_SIZE, MAIL_SIZE, 0)
    x0, x1, y0, y1 = 7, 41, 22, 42
    cx = (x0 + x1 + 1) / 2
    c.rect(x0 + 2, y1 + 1, x1 + 2, y1 + 2, 10)  # shadow
    c.rect(x1 + 1, y0 + 2, x1 + 2, y1, 10)
    if apex < 0:
        # flap standing up, its inside showing; the letter is behind the front pocket
        c.poly([(x0, y0 + 0.5), (x1 + 1, y0 + 0.5), (cx, y0 + 0.5 + apex)], 5)
        c.line(x0, y0, int(cx - 0.5), y0 + apex, 1)
        c.line(x1, y0, int(cx), y0 + apex, 1)
        c.rect(x0 + 1, y0, x1 - 1, y0 + 3, 11)
        c.rect(x0 + 3, y0 + 1, x1 - 3, y0 + 2, 15)
        if rise:
            lx0, lx1, ly = x0 + 4, x1 - 4, y0 + 3 - rise
            c.rect(lx0, ly, lx1, y0 + 3, 6)
            c.rect(lx0, ly, lx1, ly, 1)
            c.rect(lx0, ly, lx0, y0 + 3, 1)
            c.rect(lx1, ly, lx1, y0 + 3, 1)
            for k, wy in enumerate(range(ly + 3, y0 + 3, 3)):
                c.rect(lx0 + 3, wy, lx1 - (3 if k % 2 == 0 else 9), wy, 7)
    # the front: paper, folds running from the bottom corners, outline
    c.rect(x0, y0 + (3 if apex < 0 else 0), x1, y1, 2)
    c.poly([(x0 + 1, y1), (cx, y0 + 11), (x1, y1)], 3)
    c.poly([(x0 + 1, y1 + 0.5), (cx, y0 + 12.5), (x1, y1 + 0.5)], 2)
    c.line(x0 + 1, y1 - 1, int(cx - 0.5), y0 + 11, 3)
    c.line(x1 - 1, y1 - 1, int(cx), y0 + 11, 3)
    c.rect(x0, y0, x1, y0, 1)
    c.rect(x0, y1, x1, y1, 1)
    c.rect(x0, y0, x0, y1, 1)
    c.rect(x1, y0, x1, y1, 1)
    if apex < 0:
        c.rect(x0, y0 + 3, x1, y0 + 3, 1)  # lip of the pocket
        c.rect(x0 + 1, y0, x1 - 1, y0, 1)
    # stamp, upper right of the front
    c.rect(x1 - 8, y1 - 8, x1 - 3, y1 - 3, 13)
    c.rect(x1 - 7, y1 - 7, x1 - 4, y1 - 4, 14)
    c.rect(x1 - 6, y1 - 6, x1 - 5, y1 - 5, 13)
    if apex > 0:
        c.poly([(x0 + 0.5, y0 + 0.5), (x1 + 0.5, y0 + 0.5), (cx, y0 + 0.5 + apex)], 4)
        c.line(x0, y0, int(cx - 0.5), y0 + apex, 1)
        c.line(x1, y0, int(cx), y0 + apex, 1)
        if apex > 6:
            sx, sy = int(cx) - 2, y0 + apex - 3
            c.rect(sx, sy, sx + 3, sy + 3, 8)
            c.rect(sx - 1, sy + 1, sx + 4, sy + 2, 8)
            c.rect(sx + 1, sy - 1, sx + 2, sy + 4, 8)
            c.put(sx + 1, sy + 1, 9)
    elif apex == 0:
        c.rect(x0, y0, x1, y0, 1)
    if sparkle:
        for sx, sy in ((9, 10), (38, 7), (43, 17)):
            c.put(sx, sy, 12)
            for d in (1, 2):
                for ex, ey in ((d, 0), (-d, 0), (0, d), (0, -d)):
                    c.put(sx + ex, sy + ey, 12 if d == 1 else 0)
            c.put(sx, sy, 6)
    return c


def mail_change(shown, want):
    """The frame that turns the picture shown into the one wanted, drawn over it: the changed
    pixels, the erase colour where the background comes back, transparent elsewhere."""
    c = Canvas(MAIL_SIZE, MAIL_SIZE, 0)
    for y in range(MAIL_SIZE):
        for x in range(MAIL_SIZE):
            old = shown.px[y][x]
            new = want.px[y][x]
            if new != 0:
                if new != old:
                    c.put(x, y, new)
            elif old not in (0, MAIL_ERASED):
                c.put(x, y, MAIL_ERASED)
            if c.px[y][x] != 0:
                shown.px[y][x] = c.px[y][x]
    if all(p == 0 for row in c.px for p in row):
        return {"x": 0, "y": 0, "w": 1, "h": 1, "pixels": [[0]]}  # hold: nothing changes
    return c.crop_frame(0)


def mail_frames():
    """The game shows a GIF by stacking its frames, each later one over the first, which
    stays where it is (at the top left of the picture, whatever its own offset), and at the
    end of a cycle hides all but the first; all at the first frame's pace. So the first frame
    is the whole picture, every later one only what changes, drawn over what is there (left in
    place, as a viewer keeps it too), and the last one brings back the first picture: the game
    never shows that last frame, and a viewer then shows the same sequence as the game."""
    pictures = [mail_frame(apex, rise, sparkle=rise >= 12) for apex, rise in MAIL_STEPS]
    first = pictures[0]
    frames = [{"x": 0, "y": 0, "w": MAIL_SIZE, "h": MAIL_SIZE, "pixels": [row[:] for row in first.px]}]
    shown = Canvas(MAIL_SIZE, MAIL_SIZE, 0)
    shown.px = [row[:] for row in first.px]
    for want in pictures[1:] + [first]:
        frames.append(mail_change(shown, want))
    for f in frames:
        f.update(delay=MAIL_DELAY, transparent=0, disposal=1)
    return frames


def email_gif():
    return gifwriter.animation(MAIL_SIZE, MAIL_SIZE, MAIL_PALETTE, mail_frames())


# GifAni001.gif: a grey disc on which a black and a red trail chase each other.
SPIN_SIZE = 36
SPIN_FRAMES = 20
SPIN_DELAY = 6
SPIN_BG = (239, 239, 239)
SPIN_DISC = (214, 210, 200)
SPIN_RIM = (140, 136, 130)
SPIN_INK = (22, 22, 28)
SPIN_RED = (214, 24, 28)


def _ramp(a, b, n):
    return [tuple(int(round(a[i] + (b[i] - a[i]) * k / (n - 1))) for i in range(3)) for k in range(n)]


SPIN_PALETTE = ([SPIN_BG, SPIN_RIM, (178, 174, 166), (255, 255, 255)]
                + _ramp(SPIN_DISC, SPIN_INK, 14) + _ramp(SPIN_DISC, SPIN_RED, 14)[1:])
assert len(SPIN_PALETTE) == 31


def spin_colour(x, y, turn):
    """Colour at a point, or None outside the disc; turn in [0, 1)."""
    c = SPIN_SIZE / 2
    dx, dy = x - c, y - c
    r = math.hypot(dx, dy)
    if r > 16.8:
        return None
    if r > 15.3:
        return SPIN_RIM
    col = SPIN_DISC
    ang = math.atan2(dy, dx)
    for lead, ink in ((0.0, SPIN_INK), (0.5, SPIN_RED)):
        head = TAU * (turn + lead)
        behind = (head - ang) % TAU  # how far this point trails the head
        orbit = 10.0
        hx, hy = c + orbit * math.cos(head), c + orbit * math.sin(head)
        if math.hypot(x - hx, y - hy) < 3.2:
            return ink
        span = 0.75 * math.pi
        if behind < span:
            u = behind / span
            half = 2.6 * (1 - u) + 0.6
            if abs(r - orbit) < half:
                k = (1 - u) ** 1.5
                col = tuple(col[i] + (ink[i] - col[i]) * k for i in range(3))
    return col


def nearest(palette, rgb, first=1):
    best, bi = None, first
    for i in range(first, len(palette)):
        p = palette[i]
        d = (p[0] - rgb[0]) ** 2 + (p[1] - rgb[1]) ** 2 + (p[2] - rgb[2]) ** 2
        if best is None or d < best:
            best, bi = d, i
    return bi


def spin_frames(count=SPIN_FRAMES):
    frames = []
    ss = 3  # samples per pixel side
    for f in range(count):
        turn = f / count
        rows = []
        for y in range(SPIN_SIZE):
            row = []
            for x in range(SPIN_SIZE):
                acc = [0.0, 0.0, 0.0]
                inside = 0
                for sy in range(ss):
                    for sx in range(ss):
                        col = spin_colour(x + (sx + 0.5) / ss, y + (sy + 0.5) / ss, turn)
                        if col is not None:
                            inside += 1
                            for i in range(3):
                                acc[i] += col[i]
                if inside * 2 <= ss * ss:
                    row.append(0)
                else:
                    row.append(nearest(SPIN_PALETTE, [a / inside for a in acc]))
            rows.append(row)
        frames.append({"x": 0, "y": 0, "w": SPIN_SIZE, "h": SPIN_SIZE, "pixels": rows,
                       "delay": SPIN_DELAY, "transparent": 0, "disposal": 2})
    return frames


def spin_gif():
    return gifwriter.animation(SPIN_SIZE, SPIN_SIZE, SPIN_PALETTE, spin_frames())


# The windows' design-time pictures, built into the program: what About and Help show until
# their animations load from the resource folder (and all the time without it). Whole frames,
# a few of them, so they stay small.
DESIGN_DIR = "src/windows/pictures"


def about_design_gif():
    """About: the closed envelope, its sparkles blinking (50 x 50)."""
    frames = []
    for sparkle, delay in ((False, 60), (True, 20), (False, 20), (True, 20)):
        c = mail_frame(13, 0, sparkle)
        frames.append({"x": 0, "y": 0, "w": MAIL_SIZE, "h": MAIL_SIZE, "pixels": c.px,
                       "delay": delay, "transparent": 0, "disposal": 2})
    return gifwriter.animation(MAIL_SIZE, MAIL_SIZE, MAIL_PALETTE, frames)


def help_design_gif():
    """Help: the trails' disc, turning in eight steps (36 x 36)."""
    frames = spin_frames(8)
    for f in frames:
        f["delay"] = 12
    return gifwriter.animation(SPIN_SIZE, SPIN_SIZE, SPIN_PALETTE, frames)


# ---------------------------------------------------------------------------- cursor and icons

# The sixteen colours every 4-bit Windows bitmap of the period used.
VGA = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
BLACK, MAROON, SILVER, GREY, RED, YELLOW, WHITE = 0, 1, 7, 8, 9, 11, 15


def bmp_icon_image(pixels, opaque):
    """BITMAPINFOHEADER + 16 colours + XOR image (4 bits) + AND mask, rows bottom-up."""
    h, w = len(pixels), len(pixels[0])
    assert w % 8 == 0
    xor_row = ((w * 4 + 31) // 32) * 4
    and_row = ((w + 31) // 32) * 4
    out = bytearray(struct.pack("<IiiHHIIiiII", 40, w, 2 * h, 1, 4, 0,
                                (xor_row + and_row) * h, 0, 0, 16, 0))
    for r, g, b in VGA:
        out += bytes((b, g, r, 0))
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(0, w, 2):
            a = pixels[y][x] if opaque[y][x] else 0
            b = pixels[y][x + 1] if opaque[y][x + 1] else 0
            row.append((a << 4) | b)
        out += row + b"\0" * (xor_row - len(row))
    for y in range(h - 1, -1, -1):
        row = bytearray()
        for x in range(0, w, 8):
            byte = 0
            for k in range(8):
                if not opaque[y][x + k]:
                    byte |= 0x80 >> k  # 1: the screen shows through
            row.append(byte)
        out += row + b"\0" * (and_row - len(row))
    return bytes(out)


def icon_file(pixels, opaque, hotspot=None):
    """A one-image .ico, or a .cur when a hot spot is given."""
    img = bmp_icon_image(pixels, opaque)
    h, w = len(pixels), len(pixels[0])
    if hotspot is None:
        kind, f1, f2 = 1, 1, 4       # planes, bits per pixel
    else:
        kind, (f1, f2) = 2, hotspot  # hot spot x, y
    return (struct.pack("<HHH", 0, kind, 1)
            + struct.pack("<BBBBHHII", w % 256, h % 256, 16, 0, f1, f2, len(img), 22) + img)


def riff_chunk(tag, data):
    return tag + struct.pack("<I", len(data)) + data + (b"\0" if len(data) % 2 else b"")


ARROW_TIP = (15, 1)
ARROW_FRAMES = 8
ARROW_JIFFIES = 6  # 1/60 s each: ten steps a second
ARROW_BANDS = [MAROON, RED, RED, YELLOW, WHITE, YELLOW, RED, MAROON]


def arrow_inside(x, y):
    tx, ty = ARROW_TIP[0], ARROW_TIP[1] + 1
    if ty <= y <= 13:
        return abs(x - tx) <= y - ty
    return 14 <= y <= 28 and abs(x - tx) <= 4


def arrow_frame(f):
    """An up arrow, black outline, filled with chevrons that climb towards the tip."""
    n = 32
    pixels = [[BLACK] * n for _ in range(n)]
    opaque = [[False] * n for _ in range(n)]
    for y in range(n):
        for x in range(n):
            if arrow_inside(x, y):
                band = (y + abs(x - ARROW_TIP[0]) + f) % ARROW_FRAMES
                pixels[y][x] = ARROW_BANDS[band]
                opaque[y][x] = True
            elif any(arrow_inside(x + dx, y + dy) for dx, dy in ((1, 0), (-1, 0), (0, 1), (0, -1))):
                opaque[y][x] = True  # outline, black; four neighbours keep the tip one pixel
    return pixels, opaque


def cursor_ani():
    icons = [icon_file(*arrow_frame(f), hotspot=ARROW_TIP) for f in range(ARROW_FRAMES)]
    steps = list(range(ARROW_FRAMES))
    anih = struct.pack("<9I", 36, len(icons), len(steps), 32, 32, 4, 1, ARROW_JIFFIES, 3)
    body = b"ACON" + riff_chunk(b"anih", anih)
    body += riff_chunk(b"rate", struct.pack("<%dI" % len(steps), *([ARROW_JIFFIES] * len(steps))))
    body += riff_chunk(b"seq ", struct.pack("<%dI" % len(steps), *steps))
    body += riff_chunk(b"LIST", b"fram" + b"".join(riff_chunk(b"icon", i) for i in icons))
    return riff_chunk(b"RIFF", body)


# The game's own icon: a black and a red trail on the light grey playfield, drawn on a square
# of `size` units: trails and heads are distances from lines and points, the frame a rounded
# square with a grey rim and a lit upper-left edge.
class LogoShape:
    def __init__(self, size, black, red, half_width, head, radius):
        self.size, self.black, self.red = size, black, red
        self.half_width = half_width  # of a trail
        self.head = head              # radii: whole head, its core, the white eye
        self.radius = radius          # of the frame's corners


# The design, on 32 units; centred on pixel centres, so at 32 pixels the bands and heads come
# out symmetric. Scaled down, a 4-unit trail would fall between pixels, so the small sizes
# have their own pixel-fitted copies: same picture, whole-pixel trails, heads that stay apart.
LOGO = LogoShape(32, [(4.5, 25.5), (14.5, 25.5), (14.5, 12.5), (20.5, 12.5)],
                 [(27.5, 4.5), (27.5, 19.5), (20.5, 19.5)], 2.0, (2.6, 1.9, 0.6), 4.0)
SMALL_LOGOS = {
    16: LogoShape(16, [(2, 13), (7, 13), (7, 5), (9, 5)], [(13, 2), (13, 10), (9, 10)],
                  1.0, (2.0, 1.0, 0.0), 2.0),
    22: LogoShape(22, [(3.5, 17.5), (9.5, 17.5), (9.5, 7.5), (13.5, 7.5)],
                  [(18.5, 3.5), (18.5, 13.5), (13.5, 13.5)], 1.6, (2.3, 1.5, 0.5), 3.0),
    24: LogoShape(24, [(3.5, 19.5), (10.5, 19.5), (10.5, 8.5), (15.5, 8.5)],
                  [(20.5, 3.5), (20.5, 14.5), (15.5, 14.5)], 1.6, (2.3, 1.5, 0.5), 3.0),
}


def seg_dist(px, py, a, b):
    ax, ay = a
    bx, by = b
    vx, vy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * vx + (py - ay) * vy) / (vx * vx + vy * vy)))
    return math.hypot(px - ax - t * vx, py - ay - t * vy)


def trail_dist(px, py, pts):
    return min(seg_dist(px, py, a, b) for a, b in zip(pts, pts[1:]))


def logo_colour(x, y, shape=LOGO):
    """VGA colour index at a point of the shape's square, or None where it is transparent."""
    r, n = shape.radius, shape.size
    cx, cy = min(max(x, r), n - r), min(max(y, r), n - r)
    edge = math.hypot(x - cx, y - cy)
    if edge > r:
        return None
    if edge > r - 1.0 or x < 1 or y < 1 or x > n - 1 or y > n - 1:
        return GREY
    if (edge > r - 2.0 or x < 2 or y < 2) and x + y < n:
        return WHITE  # lit edge, upper left
    head, head_core, eye = shape.head
    for pts, ink, core in ((shape.red, MAROON, RED), (shape.black, BLACK, GREY)):
        hx, hy = pts[-1]
        d = trail_dist(x, y, pts)
        dh = math.hypot(x - hx, y - hy)
        if dh < head:
            return WHITE if dh < eye else ink if dh > head_core else core
        if d < shape.half_width:
            return core if (d < 0.6 and ink == MAROON) else ink
    return SILVER


def logo(size, shape=LOGO):
    s = shape.size / size
    idx = [[logo_colour((x + 0.5) * s, (y + 0.5) * s, shape) for x in range(size)] for y in range(size)]
    opaque = [[c is not None for c in row] for row in idx]
    return [[c or 0 for c in row] for row in idx], opaque


def logo_rgba(size, n):
    """Rows of (r, g, b, a), from n x n samples per pixel: with one, edges stay hard and the
    small icons keep the window icon's pixel look; more smooth the curves of the large ones."""
    if n == 1:
        pixels, opaque = logo(size, SMALL_LOGOS.get(size, LOGO))
        return [[VGA[c] + ((255,) if o else (0,)) for c, o in zip(prow, orow)]
                for prow, orow in zip(pixels, opaque)]
    s = 32 / (size * n)
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0]
            hits = 0
            for sy in range(n):
                for sx in range(n):
                    c = logo_colour((x * n + sx + 0.5) * s, (y * n + sy + 0.5) * s)
                    if c is not None:
                        hits += 1
                        for i in range(3):
                            acc[i] += VGA[c][i]
            if hits:
                row.append(tuple((a + hits // 2) // hits for a in acc) + ((hits * 255 + n * n // 2) // (n * n),))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def png_bytes(rgba):
    h, w = len(rgba), len(rgba[0])
    raw = bytearray()
    for row in rgba:
        raw.append(0)
        for px in row:
            raw += bytes(px)

    def chunk(tag, data):
        return struct.pack(">I", len(data)) + tag + data + struct.pack(">I", zlib.crc32(tag + data))

    return (b"\x89PNG\r\n\x1a\n"
            + chunk(b"IHDR", struct.pack(">IIBBBBB", w, h, 8, 6, 0, 0, 0))
            + chunk(b"IDAT", zlib.compress(bytes(raw), 9))
            + chunk(b"IEND", b""))


def hex_colour(c):
    return "#%02x%02x%02x" % VGA[c]


def logo_svg():
    """The same picture as logo_colour(), as shapes on the 32-unit square."""
    def pts(trail):
        return " ".join("%g,%g" % p for p in trail)

    def head(trail, ink, core):
        x, y = trail[-1]
        return "".join('  <circle cx="%g" cy="%g" r="%g" fill="%s"/>\n' % (x, y, r, hex_colour(c))
                       for r, c in ((2.6, ink), (1.9, core), (0.6, WHITE)))

    def trail(points, colour, width):
        return ('  <polyline points="%s" fill="none" stroke="%s" stroke-width="%g" '
                'stroke-linecap="round" stroke-linejoin="round"/>\n'
                % (pts(points), hex_colour(colour), width))

    return ('<?xml version="1.0" encoding="UTF-8"?>\n'
            '<svg xmlns="http://www.w3.org/2000/svg" width="32" height="32" viewBox="0 0 32 32">\n'
            '  <clipPath id="lit"><path d="M0 0H32L0 32Z"/></clipPath>\n'
            '  <rect width="32" height="32" rx="4" fill="%s"/>\n'
            '  <rect x="1" y="1" width="30" height="30" rx="3" fill="%s"/>\n'
            '  <rect x="1" y="1" width="30" height="30" rx="3" fill="%s" clip-path="url(#lit)"/>\n'
            '  <rect x="2" y="2" width="28" height="28" rx="2" fill="%s"/>\n'
            % (hex_colour(GREY), hex_colour(SILVER), hex_colour(WHITE), hex_colour(SILVER))
            + trail(LOGO.black, BLACK, 4) + head(LOGO.black, BLACK, GREY)
            + trail(LOGO.red, MAROON, 4) + trail(LOGO.red, RED, 1.2) + head(LOGO.red, MAROON, RED)
            + '</svg>\n').encode()


ICON_DIR = "packaging/icons"
ICON_SIZES = (16, 22, 24, 32, 48, 64, 128, 256)


# ---------------------------------------------------------------------------- all of it

def build():
    files = {name: wav_bytes(make()) for name, make in SOUNDS.items()}
    files["email00.gif"] = email_gif()
    files["GifAni001.gif"] = spin_gif()
    files["IconeAnim001_16c.ani"] = cursor_ani()
    files = {os.path.join(OUT_DIR, name): data for name, data in files.items()}
    # The window icon is built into the program; the resource folder keeps only what the
    # game reads at run time.
    files[os.path.join(ICON_DIR, "vorlin.ico")] = icon_file(*logo(32))
    for size in ICON_SIZES:
        files[os.path.join(ICON_DIR, "vorlin-%d.png" % size)] = png_bytes(logo_rgba(size, 1 if size <= 32 else 4))
    files[os.path.join(ICON_DIR, "vorlin.svg")] = logo_svg()
    files[os.path.join(DESIGN_DIR, "about-design.gif")] = about_design_gif()
    files[os.path.join(DESIGN_DIR, "help-design.gif")] = help_design_gif()
    return files


def write(files, root, quiet=False):
    for name, data in sorted(files.items()):
        path = os.path.join(root, name)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        try:
            with open(path, "rb") as fh:
                if fh.read() == data:
                    continue
        except FileNotFoundError:
            pass
        with open(path + ".tmp", "wb") as fh:
            fh.write(data)
        os.replace(path + ".tmp", path)
        if not quiet:
            print("wrote %s (%d bytes)" % (path, len(data)))


def differences(files, root):
    """Names under the generated folders whose bytes in root differ from files: changed,
    missing, or there and not generated."""
    wrong = []
    for name, data in sorted(files.items()):
        try:
            with open(os.path.join(root, name), "rb") as fh:
                if fh.read() != data:
                    wrong.append(name)
        except FileNotFoundError:
            wrong.append(name + " (missing)")
    for folder in (OUT_DIR, ICON_DIR, DESIGN_DIR):
        for entry in sorted(os.listdir(os.path.join(root, folder))):
            name = os.path.join(folder, entry)
            if name not in files:
                wrong.append(name + " (not generated)")
    return wrong


def main():
    ap = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    ap.add_argument("--check", action="store_true",
                    help="rebuild into a temporary folder and compare with the committed files; "
                         "exit status 1 on any difference")
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    ap.add_argument("--out", default=root,
                    help="tree to write %s/ and %s/ into (default: the source tree)" % (OUT_DIR, ICON_DIR))
    args = ap.parse_args()
    if not args.check:
        write(build(), args.out)
        return 0
    with tempfile.TemporaryDirectory() as tmp:
        write(build(), tmp, quiet=True)
        # Read back from disk, so what is compared is what a rebuild writes.
        files = {}
        for folder in (OUT_DIR, ICON_DIR, DESIGN_DIR):
            for entry in os.listdir(os.path.join(tmp, folder)):
                with open(os.path.join(tmp, folder, entry), "rb") as fh:
                    files[os.path.join(folder, entry)] = fh.read()
    wrong = differences(files, args.out)
    if wrong:
        print("a rebuild differs from the committed resources: " + ", ".join(wrong), file=sys.stderr)
        print("run python3 scripts/make-resources.py and commit the result", file=sys.stderr)
        return 1
    print("resources up to date (%d files)" % len(files))
    return 0


if __name__ == "__main__":
    sys.exit(main())
