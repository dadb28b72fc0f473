#!/usr/bin/env python3
"""Checks on a host's exports of the instrument beside other renders of the same notes.

  near A B --lsb N          once their first sounds are lined up, the two files differ by at
                            most N steps of 24-bit samples anywhere (a host and the
                            instrument's own renderer round floats to integers each its way)
  tails PLAIN CHANGED --at F1,F2,... --from F
                            hits on notes before frame F ring as in PLAIN, hits on notes from
                            F on ring out more (their energy up to the next note is larger):
                            what a longer Decay from F on does. Files are lined up as for near.

Reuses wavcheck.py (tests/lv2/hosts) for reading files and finding first sounds.
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "lv2", "hosts"))
import wavcheck  # noqa: E402

STEP_24_BIT = 1.0 / (1 << 23)
# Hits before the change must keep their energy within this share; later ones gain at least
# GAIN_FACTOR (a Decay of 0.9 instead of 0.25 rings several times longer).
SAME_SHARE = 0.01
GAIN_FACTOR = 1.5


def lined_up(path_a, path_b):
    """Left channels of both files, cut so that their first sounds share one index."""
    (a, _), (b, _) = wavcheck.read_channels(path_a), wavcheck.read_channels(path_b)
    fa, fb = wavcheck.first_sound(a[0]), wavcheck.first_sound(b[0])
    if fa is None or fb is None:
        sys.exit("FAIL: a file is silent")
    shift = min(fa, fb)
    a, b = a[0][fa - shift:], b[0][fb - shift:]
    n = min(len(a), len(b))
    return a[:n], b[:n], fa - shift


def near(args):
    a, b, _ = lined_up(args.a, args.b)
    worst = max(range(len(a)), key=lambda i: abs(a[i] - b[i]))
    steps = abs(a[worst] - b[worst]) / STEP_24_BIT
    print(f"largest difference {steps:.2f} steps at frame {worst}")
    if steps > args.lsb + 1e-6:
        sys.exit(f"FAIL: the files differ by more than {args.lsb} steps")
    print(f"PASS: {args.a} and {args.b} agree within {args.lsb} steps")


def tails(args):
    plain, changed, start = lined_up(args.plain, args.changed)
    notes = sorted(int(f) for f in args.at.split(","))
    first = wavcheck.first_sound(plain)
    bounds = [first + f - notes[0] for f in notes] + [len(plain)]
    bad = 0
    for i, f in enumerate(notes):
        lo, hi = bounds[i], bounds[i + 1]
        e_plain = sum(x * x for x in plain[lo:hi])
        e_changed = sum(x * x for x in changed[lo:hi])
        ratio = e_changed / e_plain if e_plain else float("inf")
        later = f >= args.from_frame
        ok = ratio >= GAIN_FACTOR if later else abs(ratio - 1) <= SAME_SHARE
        print(f"note at {f}: energy ratio {ratio:.3f} ({'after' if later else 'before'} the change)")
        bad += not ok
    if bad:
        sys.exit("FAIL: the change did not shape the tails where it should")
    print("PASS: tails change from the change on and only there")


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    sub = ap.add_subparsers(dest="command", required=True)
    n = sub.add_parser("near")
    n.add_argument("a")
    n.add_argument("b")
    n.add_argument("--lsb", type=float, default=1.0)
    t = sub.add_parser("tails")
    t.add_argument("plain")
    t.add_argument("changed")
    t.add_argument("--at", required=True)
    t.add_argument("--from", dest="from_frame", type=int, required=True)
    a = ap.parse_args()
    near(a) if a.command == "near" else tails(a)


if __name__ == "__main__":
    main()
