#!/usr/bin/env python3
"""Checks on the WAV files that the real-host tests record or export.

  hits FILE ...   every hit of the instrument sits at its note's exact frame
  same A B        two files hold the same samples (with --align: once their first
                  sounds are lined up, for exports whose start a host places differently)

Hits. A hit's onset is the first frame above a threshold after a stretch of silence. The
instrument has a fixed distance d from a note-on to that frame (its trigger pulse rises over a
few samples), the same in every host, so the check demands one d for all hits and, with
--delay, that very d.

Where the notes are is known in one of two ways:
  --at F1,F2,...      absolute frames in the file (a DAW export, which renders from frame 0);
  --loop L --starts S1,S2,... --period P
                      a sequencer looping a pattern of L frames while a recorder runs beside
                      it on a JACK server. Neither's first frame is known, but both start on a
                      period boundary and JACK delays whole periods only, so a note sent at
                      loop frame s sounds at B + k*L + s + d for one base B that is a multiple
                      of P and every loop k. The first onset fixes B and d; every other hit must
                      then be exactly where that formula puts it, and nothing may sound
                      anywhere else. A host or adapter that moves events to a block start, drops
                      one or plays one twice fails.

Standard library only: files are read with the wave module, so they must be integer PCM.
"""

import argparse
import array
import sys
import wave


def read_channels(path):
    """Channels as lists of floats in -1..1."""
    with wave.open(path, "rb") as w:
        width, n, rate = w.getsampwidth(), w.getnchannels(), w.getframerate()
        raw = w.readframes(w.getnframes())
    if width == 2:
        ints = array.array("h", raw)
    elif width == 4:
        ints = array.array("i", raw)
    elif width == 3:
        # Sign-extend each little-endian 24-bit sample into an int32 ("i" is 4 bytes on Linux).
        padded = bytearray(len(raw) // 3 * 4)
        padded[1::4], padded[2::4], padded[3::4] = raw[0::3], raw[1::3], raw[2::3]
        ints = array.array("i", bytes(padded))
        width = 4
    else:
        sys.exit(f"{path}: {8 * width}-bit samples are not handled")
    if sys.byteorder != "little":
        ints.byteswap()
    scale = 2.0 ** (8 * width - 1)
    return [[x / scale for x in ints[c::n]] for c in range(n)], rate


def find_onsets(samples, threshold, quiet):
    """Frames where the signal first exceeds threshold after at least `quiet` frames below it.
    The first `quiet` frames never hold an onset: a recording may start inside a hit."""
    onsets = []
    below = 0
    for i, x in enumerate(samples):
        if abs(x) > threshold:
            if below >= quiet:
                onsets.append(i)
            below = 0
        else:
            below += 1
    return onsets


def loop_notes(base, starts, loop, length):
    notes = []
    k = -1
    while base + k * loop <= length:
        notes.extend(base + k * loop + s for s in starts)
        k += 1
    return notes


def compare(expected, onsets, usable):
    """Prints and counts the differences between expected and found onsets below frame `usable`."""
    got = [o for o in onsets if o < usable]
    missing = sorted(set(expected) - set(got))
    extra = sorted(set(got) - set(expected))
    for o in missing:
        print(f"  missing hit at {o}")
    for o in extra:
        near = min(expected, key=lambda e: abs(e - o)) if expected else o
        print(f"  unexpected onset at {o} (nearest expected {near}, off by {o - near})")
    return len(missing) + len(extra), len(got)


def check_hits(a):
    channels, rate = read_channels(a.wav)
    left = channels[0]
    n = len(left)
    print(f"{a.wav}: {len(channels)} channels, {n} frames at {rate} Hz")
    if a.same_channels:
        for c, ch in enumerate(channels[1:], start=1):
            diff = next((i for i in range(n) if ch[i] != left[i]), None)
            if diff is not None:
                sys.exit(f"FAIL: channel {c} differs from channel 0 first at frame {diff}")
        print("all channels equal sample for sample")

    onsets = find_onsets(left, a.threshold, a.quiet)
    peak = max((abs(x) for x in left), default=0.0)
    print(f"peak {peak:.4f}, onsets at {onsets}")
    if len(onsets) < a.min_hits:
        sys.exit(f"FAIL: {len(onsets)} onsets, expected at least {a.min_hits}")
    usable = n - a.hit_length

    # Candidate (notes, d) pairs; for a loop, each note the first onset might belong to with
    # each base that is a period multiple. The one that explains the most onsets is judged.
    candidates = []
    if a.at:
        # Any onset may be the one that is right, so every note/onset pairing is tried.
        notes = sorted(int(f) for f in a.at.split(","))
        for o in onsets:
            for f in notes:
                candidates.append((notes, o - f))
    else:
        starts = sorted(int(s) for s in a.starts.split(","))
        for s0 in starts:
            for d in range(a.period):
                base = onsets[0] - s0 - d
                if base % a.period == 0:
                    candidates.append((loop_notes(base, starts, a.loop, n), d))
    best = None
    for notes, d in candidates:
        if d < 0 or (a.delay is not None and d != a.delay):
            continue
        expected = [f + d for f in notes if a.quiet <= f + d < usable]
        score = len(set(expected) & set(onsets))
        if best is None or score > best[0]:
            best = (score, d, expected)
    if best is None:
        sys.exit(f"FAIL: no placement of the notes explains the onsets {onsets}")
    _, d, expected = best
    print(f"note-on to onset: {d} frames")
    bad, count = compare(expected, onsets, usable)
    if bad:
        sys.exit("FAIL: hits are not at their notes' frames")
    print(f"PASS: {count} hits, each at its note's exact frame")


def first_sound(channel):
    return next((i for i, v in enumerate(channel) if v != 0.0), None)


def check_same(a):
    x, rx = read_channels(a.a)
    y, ry = read_channels(a.b)
    if rx != ry or len(x) != len(y) or len(x[0]) != len(y[0]):
        sys.exit(f"FAIL: {a.a} and {a.b} differ in rate, channels or length")
    shift = 0
    if a.align is not None:
        fx, fy = first_sound(x[0]), first_sound(y[0])
        if fx is None or fy is None:
            sys.exit("FAIL: nothing to line up: a file is silent")
        shift = fy - fx
        if abs(shift) > a.align:
            sys.exit(f"FAIL: the files start {shift} frames apart, more than {a.align}")
        print(f"the second file's sound starts {shift} frames after the first's")
    n = len(x[0]) - abs(shift)
    ox, oy = (0, shift) if shift >= 0 else (-shift, 0)
    for c in range(len(x)):
        diff = next((i for i in range(n) if x[c][ox + i] != y[c][oy + i]), None)
        if diff is not None:
            sys.exit(f"FAIL: channel {c} differs first at frame {ox + diff}: {x[c][ox + diff]} vs {y[c][oy + diff]}")
    print(f"PASS: {a.a} and {a.b} hold the same {n} frames")


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    sub = ap.add_subparsers(dest="command", required=True)
    h = sub.add_parser("hits")
    h.add_argument("wav")
    h.add_argument("--at", help="absolute note-on frames, comma separated")
    h.add_argument("--loop", type=int, help="sequencer loop length, frames")
    h.add_argument("--starts", help="note-on frames within the loop, comma separated")
    h.add_argument("--period", type=int, default=1, help="JACK period, frames")
    h.add_argument("--threshold", type=float, default=1e-3, help="onset level, full scale 1")
    h.add_argument("--quiet", type=int, default=2000, help="frames of silence before an onset")
    h.add_argument("--hit-length", type=int, default=0,
                   help="frames a hit needs to be seen; no hit is demanded this close to the end")
    h.add_argument("--min-hits", type=int, default=2)
    h.add_argument("--delay", type=int, help="the expected note-on to onset distance, frames")
    h.add_argument("--same-channels", action="store_true", help="every channel must equal the first")
    s = sub.add_parser("same")
    s.add_argument("a")
    s.add_argument("b")
    s.add_argument("--align", type=int, metavar="FRAMES",
                   help="line the files up by their first non-zero sample, at most FRAMES apart")
    a = ap.parse_args()
    if a.command == "hits":
        if not a.at and not (a.loop and a.starts):
            ap.error("hits needs --at or --loop with --starts")
        check_hits(a)
    else:
        check_same(a)


if __name__ == "__main__":
    main()
