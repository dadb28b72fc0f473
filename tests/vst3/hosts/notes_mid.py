#!/usr/bin/env python3
"""Writes a Standard MIDI File whose ticks are frames at 48 kHz: note-ons at given frames.

At 120 beats per minute (500000 us a quarter) and 24000 ticks a quarter, a tick lasts
1/48000 s, so `tonnik render --rate 48000` plays each note on exactly its frame.

  notes_mid.py OUT.mid F1,F2,... [--note N] [--velocity V]
"""

import argparse
import struct

TICKS_PER_QUARTER = 24000
MICROSECONDS_PER_QUARTER = 500000
NOTE_LENGTH_TICKS = 100


def var_len(n):
    out = [n & 0x7F]
    n >>= 7
    while n:
        out.insert(0, 0x80 | (n & 0x7F))
        n >>= 7
    return bytes(out)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("out")
    ap.add_argument("frames")
    ap.add_argument("--note", type=int, default=36)
    ap.add_argument("--velocity", type=int, default=100)
    a = ap.parse_args()
    events = []
    for f in sorted(int(x) for x in a.frames.split(",")):
        events.append((f, bytes([0x90, a.note, a.velocity])))
        events.append((f + NOTE_LENGTH_TICKS, bytes([0x80, a.note, 0])))
    events.sort(key=lambda e: e[0])
    track = var_len(0) + b"\xff\x51\x03" + MICROSECONDS_PER_QUARTER.to_bytes(3, "big")
    now = 0
    for t, msg in events:
        track += var_len(t - now) + msg
        now = t
    track += var_len(0) + b"\xff\x2f\x00"
    with open(a.out, "wb") as f:
        f.write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, TICKS_PER_QUARTER))
        f.write(b"MTrk" + struct.pack(">I", len(track)) + track)


if __name__ == "__main__":
    main()
