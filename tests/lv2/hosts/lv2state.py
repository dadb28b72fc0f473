#!/usr/bin/env python3
"""Reads the instrument's state chunk out of a saved Ardour session and checks its contents.

Ardour keeps an LV2 plug-in's state beside the session: the session file's processor entry
names a state folder (<lv2 state-dir="stateN"/>) under plugins/<processor id>/, whose
state.ttl holds the plug-in's properties. The instrument stores one property, its state chunk,
as an atom:Chunk, which lilv writes as an xsd:base64Binary literal. sordi (from the sord
tools) turns the Turtle into N-Triples so the literal is found without parsing Turtle here.

The chunk: 19 controller numbers (int32, -1 for none) then 19 parameter values (float64),
little-endian, parameter 0 first.

Usage: lv2state.py SESSION_FILE URI [--cc INDEX=CC]... [--value INDEX=VALUE]...
       lv2state.py SESSION_FILE URI --chunk-out FILE
           writes the chunk as it is (`tonnik editor --state` reads it)
"""

import argparse
import base64
import os
import re
import struct
import subprocess
import sys
import xml.etree.ElementTree as ET

N_PARAMS = 19
CHUNK_BYTES = N_PARAMS * 4 + N_PARAMS * 8
# Values are compared with this tolerance: the host sets float ports, the chunk keeps doubles.
VALUE_TOLERANCE = 1e-6
# lilv breaks long base64 text into lines, which N-Triples escapes as \n.
BASE64_LITERAL = re.compile(r'"((?:[A-Za-z0-9+/=]|\\[nr])*)"\^\^<http://www\.w3\.org/2001/XMLSchema#base64Binary>')


def state_file(session_file, uri):
    root = ET.parse(session_file).getroot()
    procs = [p for p in root.iter("Processor") if p.get("unique-id") == uri]
    if len(procs) != 1:
        sys.exit(f"FAIL: {len(procs)} processors with {uri} in {session_file}")
    lv2 = procs[0].find("lv2")
    state_dir = lv2.get("state-dir") if lv2 is not None else None
    if not state_dir:
        sys.exit(f"FAIL: Ardour saved no LV2 state for {uri} (no state-dir in {session_file})")
    path = os.path.join(os.path.dirname(session_file), "plugins", procs[0].get("id"), state_dir, "state.ttl")
    if not os.path.exists(path):
        sys.exit(f"FAIL: {path} is missing")
    return path


def chunk_from(ttl):
    triples = subprocess.run(["sordi", "-o", "ntriples", ttl, "file://" + os.path.abspath(ttl)],
                             capture_output=True, text=True, timeout=30)
    if triples.returncode != 0:
        sys.exit(f"FAIL: sordi cannot read {ttl}: {triples.stderr.strip()}")
    blobs = [base64.b64decode(re.sub(r"\\[nr]", "", m.group(1))) for m in BASE64_LITERAL.finditer(triples.stdout)]
    chunks = [b for b in blobs if len(b) == CHUNK_BYTES]
    if len(chunks) != 1:
        sizes = [len(b) for b in blobs]
        sys.exit(f"FAIL: {ttl} holds {len(chunks)} chunks of {CHUNK_BYTES} bytes (binary literals of sizes {sizes})")
    return chunks[0]


def pair(text):
    k, v = text.split("=", 1)
    return int(k), float(v)


def main():
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("session_file")
    ap.add_argument("uri")
    ap.add_argument("--cc", type=pair, action="append", default=[], help="INDEX=CC: controller learned for a parameter")
    ap.add_argument("--value", type=pair, action="append", default=[], help="INDEX=VALUE: a parameter's value")
    ap.add_argument("--chunk-out", help="FILE: write the chunk there instead of checking it")
    a = ap.parse_args()

    ttl = state_file(a.session_file, a.uri)
    chunk = chunk_from(ttl)
    if a.chunk_out:
        with open(a.chunk_out, "wb") as f:
            f.write(chunk)
        return
    ccs = struct.unpack_from(f"<{N_PARAMS}i", chunk, 0)
    values = struct.unpack_from(f"<{N_PARAMS}d", chunk, N_PARAMS * 4)
    print(f"{ttl}:")
    print("  controllers", list(ccs))
    print("  values     ", [round(v, 6) for v in values])
    bad = 0
    for i, cc in a.cc:
        if ccs[i] != int(cc):
            print(f"  parameter {i}: controller {ccs[i]}, expected {int(cc)}")
            bad += 1
    for i, v in a.value:
        if abs(values[i] - v) > VALUE_TOLERANCE:
            print(f"  parameter {i}: value {values[i]}, expected {v}")
            bad += 1
    if bad:
        sys.exit("FAIL: the saved state is not what was played")
    print("PASS: the saved state holds what was played")


if __name__ == "__main__":
    main()
