#!/usr/bin/env python3
"""Writes a Standard MIDI File of note-ons at exact sample frames, for `tonnik render` to play
what a host's session plays.

  notesmidi.py OUT.mid --at F1,F2,... [--rate 48000] [--note 36] [--velocity 100]

At the file's default tempo (500000 microseconds a quarter note) a division of rate / 2 pulses
a quarter note makes one pulse one frame; the division field holds at most 32767 pulses.
"""

import argparse
import struct
import sys

DEFAULT_TEMPO_US = 500000
MAX_DIVISION = 0x7FFF


def vlq(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.append(0x80 | (n & 0x7F))
        n >>= 7
    return bytes(reversed(out))


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("out")
    ap.add_argument("--at", required=True, help="note-on frames, comma separated")
    ap.add_argument("--rate", type=int, default=48000)
    ap.add_argument("--note", type=int, default=36)
    ap.add_argument("--velocity", type=int, default=100)
    a = ap.parse_args()
    division = a.rate * DEFAULT_TEMPO_US // 1000000
    if a.rate * DEFAULT_TEMPO_US % 1000000 or division > MAX_DIVISION:
        sys.exit(f"{a.rate} Hz has no division that makes a pulse one frame")
    track, last = b"", 0
    for frame in sorted(int(f) for f in a.at.split(",")):
        track += vlq(frame - last) + bytes([0x90, a.note, a.velocity])
        last = frame
    track += b"\x00\xff\x2f\x00"
    with open(a.out, "wb") as f:
        f.write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, division))
        f.write(b"MTrk" + struct.pack(">I", len(track)) + track)


if __name__ == "__main__":
    main()
