# SPDX-License-Identifier: GPL-3.0-or-later
"""GIF89a blocks, written by hand with the standard library only: the resource generator
builds the game's animations from them, the fuzz corpus builder its well-formed and odd seeds.

The game cuts a GIF into frames by searching the bytes 00 21 F9 (a block terminator, then the
introducer and label of a graphic control extension). animation() lays a file out for that:
header, global colour table and NETSCAPE2.0 loop, then per frame only a graphic control
extension and one image; 00 21 F9 occurs once per frame, right where the previous block's
terminator meets the next control extension.
"""

import math
import struct

FRAME_MARKER = b"\x00\x21\xF9"


def le16(v):
    return struct.pack("<H", v)


def colour_table(palette):
    """The palette padded to a power of two (at least 2), and its size field."""
    bits = max(1, math.ceil(math.log2(max(2, len(palette)))))
    return b"".join(bytes(c) for c in palette) + b"\0" * (3 * ((1 << bits) - len(palette))), bits - 1


def header(width, height, palette, version=b"89a"):
    """Signature, logical screen descriptor (8-bit colour resolution) and global colour table."""
    table, size = colour_table(palette)
    return b"GIF" + version + struct.pack("<HHBBB", width, height, 0x80 | 0x70 | size, 0, 0) + table


def netscape_loop(count=0):
    return b"\x21\xFF\x0BNETSCAPE2.0\x03\x01" + le16(count) + b"\x00"


def comment(text):
    return b"\x21\xFE" + bytes([len(text)]) + text + b"\x00"


def gce(delay, transparent=None, disposal=0):
    """Graphic control extension; delay in 1/100 s."""
    packed = (disposal << 2) | (1 if transparent is not None else 0)
    return b"\x21\xF9\x04" + bytes([packed]) + le16(delay) + bytes([transparent or 0, 0])


def descriptor(left, top, w, h, local=None, interlace=False):
    flags = 0x40 if interlace else 0
    table = b""
    if local:
        table, size = colour_table(local)
        flags |= 0x80 | size
    return b"\x2C" + struct.pack("<HHHH", left, top, w, h) + bytes([flags]) + table


class BitWriter:
    def __init__(self):
        self.out = bytearray()
        self.acc = 0
        self.n = 0

    def write(self, code, width):
        self.acc |= code << self.n
        self.n += width
        while self.n >= 8:
            self.out.append(self.acc & 0xFF)
            self.acc >>= 8
            self.n -= 8

    def bytes(self):
        if self.n:
            self.out.append(self.acc & 0xFF)
            self.acc = self.n = 0
        return bytes(self.out)


def lzw_encode(indices, min_size):
    """GIF LZW: codes grow from min_size + 1 to 12 bits; a clear code restarts a full table."""
    clear = 1 << min_size
    eoi = clear + 1
    bits = BitWriter()
    width = min_size + 1
    table = {}
    next_code = eoi + 1
    bits.write(clear, width)
    if not indices:
        bits.write(eoi, width)
        return bits.bytes()
    prefix = indices[0]
    for k in indices[1:]:
        key = (prefix << 8) | k
        code = table.get(key)
        if code is not None:
            prefix = code
            continue
        bits.write(prefix, width)
        if next_code < 4096:
            table[key] = next_code
            next_code += 1
            # the decoder adds this entry one code later, then widens at 2**width
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            bits.write(clear, width)
            table = {}
            next_code = eoi + 1
            width = min_size + 1
        prefix = k
    bits.write(prefix, width)
    # reading that last code, the decoder adds its entry and may widen before the end code
    if next_code == (1 << width) and width < 12:
        width += 1
    bits.write(eoi, width)
    return bits.bytes()


def pack_sub_blocks(data, before=b""):
    """Data sub-blocks of at most 255 bytes, then the terminator.

    A block is cut shorter whenever a full one would put the frame marker in the stream
    (inside the data, or across a length byte); `before` is what the blocks follow."""
    out = bytearray()
    pos = 0
    while pos < len(data):
        n = min(255, len(data) - pos)
        while True:
            block = bytes([n]) + data[pos:pos + n]
            if FRAME_MARKER not in (bytes(before) + out)[-2:] + block:
                break
            n -= 1
            assert n > 0
        out += block
        pos += n
    out.append(0)
    return bytes(out)


def image_data(indices, min_size=2, before=b""):
    """LZW minimum code size, then the coded pixels in sub-blocks; `before` as for
    pack_sub_blocks()."""
    return bytes([min_size]) + pack_sub_blocks(lzw_encode(indices, min_size), before + bytes([min_size]))


def animation(width, height, palette, frames, loops=0):
    """An animated GIF89a with a global colour table and a NETSCAPE2.0 loop, laid out for the
    game's frame cutter.

    frames: dicts with x, y, w, h, pixels (rows of palette indices), delay (1/100 s),
    transparent (index or None), disposal."""
    min_size = max(2, colour_table(palette)[1] + 1)
    out = bytearray(header(width, height, palette) + netscape_loop(loops))
    for f in frames:
        out += gce(f["delay"], f.get("transparent"), f.get("disposal", 2))
        out += descriptor(f["x"], f["y"], f["w"], f["h"])
        flat = [p for row in f["pixels"] for p in row]
        assert len(flat) == f["w"] * f["h"]
        out += image_data(flat, min_size, bytes(out[-2:]))
    out.append(0x3B)
    data = bytes(out)
    check_markers(data, len(frames))
    return data


def check_markers(data, nframes):
    """The frame marker must open exactly each graphic control extension, nowhere else."""
    spots = []
    p = data.find(FRAME_MARKER)
    while p >= 0:
        spots.append(p)
        p = data.find(FRAME_MARKER, p + 1)
    assert len(spots) == nframes, "frame marker found %d times for %d frames" % (len(spots), nframes)
    for p in spots:
        assert data[p + 3] == 4 and data[p + 8] == 0 and data[p + 9] == 0x2C, \
            "frame marker at %d is not a graphic control extension before an image" % p
