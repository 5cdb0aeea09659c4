#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes the seed corpus of the settings record fuzzer: records as the game saves them and
the damaged files a player may have.

    python3 fuzz/make_settings_corpus.py [out_dir]   (default: fuzz/corpus/settings beside this script)
"""
import os
import struct
import sys


def record(client_h=451, outer_h=7695, client_w=632, outer_w=9600, mode=3, initials=b"   ", top=0,
           codes=None):
    c1, c2, c3 = codes or (255 - initials[0], initials[1] + 100, initials[2] + 99)
    return struct.pack("<hhhhBiiiB", client_h, outer_h, client_w, outer_w, mode, c1, c2, c3, top)


def seeds():
    yield "defaults.vrl", record()
    yield "black_abc_57.vrl", record(mode=1, initials=b"ABC", top=57)
    yield "red_latin1.vrl", record(mode=2, initials=bytes([0xC9, 0xE9, 0x5A]), top=100)
    yield "mode_out_of_range.vrl", record(mode=4)
    yield "record_above_100.vrl", record(mode=1, top=200)
    yield "initials_out_of_range.vrl", record(codes=(-1, 356, 98))
    yield "control_initials.vrl", record(initials=b"\x01\x1b\x7f")
    yield "negative_sizes.vrl", record(client_h=-1, outer_h=-20, client_w=-32768, outer_w=0)
    yield "short.vrl", record()[:21]
    yield "long.vrl", record(mode=1, initials=b"XYZ", top=12) + b"trailing bytes"
    yield "empty.vrl", b""


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                              "corpus", "settings")
    os.makedirs(out, exist_ok=True)
    for name, data in seeds():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)


if __name__ == "__main__":
    main()
