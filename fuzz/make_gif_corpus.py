#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the seed corpus of the GIF frame fuzzer: small animated GIFs built block by
block, ordinary ones and the odd cases the frame cutter has to live with.

    python3 fuzz/make_gif_corpus.py [out_dir]   (default: fuzz/corpus/gif beside this script)
"""
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "scripts"))
from gifwriter import comment, descriptor, gce, header as gif_header, image_data, netscape_loop  # noqa: E402

PALETTE4 = [(0, 0, 0), (255, 0, 0), (0, 255, 0), (0, 0, 255)]


def header(w, h, palette=PALETTE4, version=b"89a"):
    return gif_header(w, h, palette, version)


def frame(left, top, w, h, delay, pixels=None, transparent=None, disposal=0, local=None, interlace=False,
          min_code_size=2):
    """One image with its control extension, sub-blocks cut at 255 bytes or wherever the frame
    marker would otherwise appear inside them."""
    if pixels is None:
        pixels = [(x + y + left) % 4 for y in range(h) for x in range(w)]
    return gce(delay, transparent, disposal) + descriptor(left, top, w, h, local, interlace) + \
        image_data(pixels, min_code_size)


def animation(w, h, frames, pre=b""):
    return header(w, h) + netscape_loop() + pre + b"".join(frames) + b"\x3b"


def seeds():
    ordinary = animation(8, 8, [frame(0, 0, 8, 8, 20), frame(2, 3, 4, 2, 10, transparent=0),
                                frame(7, 7, 1, 1, 0, disposal=2)])
    yield "ordinary_3_frames.gif", ordinary
    yield "one_frame.gif", animation(4, 4, [frame(0, 0, 4, 4, 20)])
    yield "no_marker.gif", header(4, 4) + frame(0, 0, 2, 2, 20) + b"\x3b"
    yield "first_marker_unfound.gif", header(4, 4) + frame(0, 0, 2, 2, 20) + frame(1, 1, 2, 2, 30) + b"\x3b"
    yield "truncated_in_image.gif", ordinary[: len(ordinary) // 2]
    yield "truncated_after_marker.gif", header(4, 4) + netscape_loop() + frame(0, 0, 2, 2, 5) + b"\x21\xf9"
    yield "no_trailer.gif", ordinary[:-1]
    marker_in_data = b"\x02\x10\x44\x00\x21\xf9\x09\x08\x07\x06\x05\x04\x03\x02\x01\x0b\x0c\x0d\x00"
    yield "marker_in_image_data.gif", header(4, 4) + netscape_loop() + gce(10) + descriptor(0, 0, 2, 2) + \
        marker_in_data + b"\x3b"
    yield "comment_shifts_offsets.gif", animation(
        16, 16, [frame(0, 0, 2, 2, 10), gce(10) + comment(b"abcd") + descriptor(7, 10, 2, 2) + image_data([1, 2, 3, 0])])
    yield "extensions_around.gif", animation(
        8, 8, [frame(0, 0, 8, 8, 10), comment(b"after frame 1"), frame(1, 1, 3, 3, 10)], pre=comment(b"before"))
    yield "adjacent_markers.gif", header(4, 4) + netscape_loop() + b"\x21\xf9\x00" + frame(0, 0, 1, 1, 1) + b"\x3b"
    yield "short_second_chunk.gif", header(4, 4) + netscape_loop() + frame(0, 0, 1, 1, 1) + \
        b"\x21\xf9\x04\x00\x0a\x00\x00\x3b"
    yield "empty_gce_block.gif", header(4, 4) + netscape_loop() + b"\x21\xf9\x00\x00" + descriptor(1, 1, 2, 2) + \
        image_data([1, 2, 3, 0]) + b"\x3b"
    yield "local_table_interlaced.gif", animation(
        6, 9, [frame(0, 0, 6, 9, 7, local=[(9, 9, 9), (200, 100, 50)], interlace=True,
                     pixels=[(x * y) % 2 for y in range(9) for x in range(6)]),
               frame(1, 1, 4, 4, 7, transparent=1, local=PALETTE4, interlace=True)])
    yield "off_screen_image.gif", animation(2, 2, [frame(0, 0, 2, 2, 10), frame(1, 1, 5, 3, 10, transparent=0)])
    yield "zero_screen.gif", animation(0, 0, [frame(0, 0, 3, 3, 10), frame(2, 2, 2, 2, 10)])
    yield "zero_size_image.gif", animation(4, 4, [frame(0, 0, 2, 2, 10), gce(10) + descriptor(1, 1, 0, 0) +
                                                  image_data([1])])
    big = [(x * 7 + y * 3) % 256 for y in range(40) for x in range(40)]
    yield "palette256_lzw.gif", header(40, 40, [(i, 255 - i, (i * 3) % 256) for i in range(256)]) + netscape_loop() + \
        frame(0, 0, 40, 40, 4, pixels=big, min_code_size=8) + frame(5, 5, 30, 30, 4, pixels=[0] * 900,
                                                                      min_code_size=8) + b"\x3b"
    # Many tiny frames on a huge screen: each costs a whole screen to decode.
    yield "huge_screen_many_frames.gif", animation(65535, 50, [frame(k % 8, 0, 1, 1, 1) for k in range(120)])
    yield "gif87a_no_gce.gif", header(4, 4, version=b"87a") + descriptor(0, 0, 4, 4) + image_data([1] * 16) + b"\x3b"
    yield "tiny.gif", b"GIF8"
    yield "empty.gif", b""


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)), "corpus", "gif")
    os.makedirs(out, exist_ok=True)
    for name, data in seeds():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
