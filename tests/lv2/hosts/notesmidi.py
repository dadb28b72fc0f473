#!/usr/bin/env python3
"""Writes a Standard MIDI File of note-ons at exact sample frames, so that `tonnik render` plays
what a host's session plays: at the default tempo (500000 us a quarter note) a division of
rate / 2 pulses a quarter note makes one pulse one frame.

  notesmidi.py OUT.mid --at F1,F2,... [--rate 48000] [--note 36] [--velocity 100]
"""

import argparse
import struct


def vlq(n):
    out = [n & 0x7F]
    while n > 0x7F:
        n >>= 7
        out.append(0x80 | (n & 0x7F))
    return bytes(reversed(out))


ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
ap.add_argument("out")
ap.add_argument("--at", required=True, help="note-on frames, comma separated")
ap.add_argument("--rate", type=int, default=48000, choices=[44100, 48000])  # a division fits 15 bits
ap.add_argument("--note", type=int, default=36)
ap.add_argument("--velocity", type=int, default=100)
a = ap.parse_args()
track, last = b"", 0
for frame in sorted(int(f) for f in a.at.split(",")):
    track += vlq(frame - last) + bytes([0x90, a.note, a.velocity])
    last = frame
track += b"\x00\xff\x2f\x00"
with open(a.out, "wb") as f:
    f.write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, a.rate // 2) + b"MTrk" + struct.pack(">I", len(track)) + track)
