#!/usr/bin/env python3
"""Reads the instrument's VST 3 state out of a saved Ardour session.

Ardour keeps a VST 3 plug-in's state in the session file, base64 in the processor's
<vst3><chunk>, laid out as a .vstpreset file: "VST3", a version, the class ID in 32 hex
characters, the offset of the chunk list; the list ("List", a count, then entries of a 4-byte
id, a 64-bit offset and a 64-bit size) names the component's state "Comp". That state is the
instrument's chunk, checked as lv2state.py checks the LV2 one.

  vst3state.py SESSION_FILE CLASS_ID [--cc INDEX=CC]... [--value INDEX=VALUE]...
  vst3state.py SESSION_FILE CLASS_ID --chunk-out FILE
      writes the component state as it is (`tonnik editor --state` reads it)
  vst3state.py SESSION_FILE CLASS_ID --render-args
      prints the saved values as `tonnik render` options: "--set" and NAME=VALUE, one a line
"""

import base64
import os
import struct
import sys
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "lv2", "hosts"))
import lv2state  # noqa: E402  (the checks on a chunk)

HEADER = struct.Struct("<4si32sq")
LIST_ENTRY = struct.Struct("<4sqq")
# The parameters `tonnik render --set` takes, by index; the learn switches are left alone.
NAMES = ["Tone", "Tune", "Fine", "Decay", "Accent", "MIDI Tune", "Long Decay", None, None, "Comp", "Drive",
         "Glide", "Glide Mode", "DynDecay", "DynComp", "DynDrive", "DynTone", "DynLevel", "DriveEnv"]


def component_state(session_file, class_id):
    root = ET.parse(session_file).getroot()
    procs = [p for p in root.iter("Processor") if p.get("unique-id") == class_id]
    if len(procs) != 1:
        sys.exit(f"FAIL: {len(procs)} processors with {class_id} in {session_file}")
    chunk = procs[0].find("vst3/chunk")
    if chunk is None or not chunk.text:
        sys.exit(f"FAIL: Ardour saved no VST 3 state for {class_id}")
    blob = base64.b64decode(chunk.text.strip())
    magic, _, cid, list_at = HEADER.unpack_from(blob, 0)
    if magic != b"VST3" or cid.decode() != class_id or blob[list_at:list_at + 4] != b"List":
        sys.exit("FAIL: the saved VST 3 state is not a preset of this class")
    count = struct.unpack_from("<i", blob, list_at + 4)[0]
    for i in range(count):
        kind, offset, size = LIST_ENTRY.unpack_from(blob, list_at + 8 + i * LIST_ENTRY.size)
        if kind == b"Comp":
            return blob[offset:offset + size]
    sys.exit("FAIL: the saved VST 3 state has no component state")


def main():
    if "--chunk-out" in sys.argv:
        with open(sys.argv[sys.argv.index("--chunk-out") + 1], "wb") as f:
            f.write(component_state(sys.argv[1], sys.argv[2]))
        return
    if "--render-args" in sys.argv:
        state = component_state(sys.argv[1], sys.argv[2])
        values = struct.unpack_from(f"<{lv2state.N_PARAMS}d", state, lv2state.N_PARAMS * 4)
        for name, value in zip(NAMES, values):
            if name:
                print(f"--set\n{name}={value!r}")
        return
    # lv2state's checks, on the chunk found here.
    lv2state.state_file = lambda session_file, class_id: session_file
    lv2state.chunk_from = lambda session_file: component_state(session_file, sys.argv[2])
    lv2state.main()


if __name__ == "__main__":
    main()
