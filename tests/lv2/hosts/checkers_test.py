#!/usr/bin/env python3
"""The real-host tests' checkers (wavcheck.py, lv2state.py) on made-up files: each passes what
it should and refuses a file with the fault it exists to catch."""

import base64
import os
import struct
import subprocess
import sys
import tempfile
import unittest
import wave

HERE = os.path.dirname(os.path.abspath(__file__))
RATE = 48000
# A made-up hit: a ramp down from 0.3 that lasts this many frames.
HIT_FRAMES = 200


def write_wav(path, left, right=None, width=4):
    right = left if right is None else right
    scale = 2 ** (8 * width - 1) - 1
    interleaved = [round(v * scale) for pair in zip(left, right) for v in pair]
    packed = struct.pack(f"<{len(interleaved)}i", *interleaved)
    # Each sample's low `width` bytes, little-endian.
    frames = bytearray(len(interleaved) * width)
    for i in range(width):
        frames[i::width] = packed[i::4]
    with wave.open(path, "wb") as w:
        w.setnchannels(2)
        w.setsampwidth(width)
        w.setframerate(RATE)
        w.writeframes(bytes(frames))


def hits_signal(onsets, n):
    x = [0.0] * n
    for o in onsets:
        for k in range(HIT_FRAMES):
            x[o + k] = 0.3 * (1 - k / HIT_FRAMES)
    return x


def run(script, *args):
    return subprocess.run([sys.executable, os.path.join(HERE, script), *map(str, args)],
                          capture_output=True, text=True, timeout=60)


class WavCheckTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)

    def wav(self, name, left, right=None, width=4):
        path = os.path.join(self.dir.name, name)
        write_wav(path, left, right, width)
        return path

    def test_hits_at_frames(self):
        notes = "1000,4000,7000"
        exact = self.wav("exact.wav", hits_signal([1003, 4003, 7003], 9000))
        self.assertEqual(run("wavcheck.py", "hits", exact, "--at", notes, "--quiet", 500).returncode, 0)
        self.assertEqual(run("wavcheck.py", "hits", exact, "--at", notes, "--quiet", 500, "--delay", 3).returncode, 0)
        self.assertNotEqual(run("wavcheck.py", "hits", exact, "--at", notes, "--quiet", 500, "--delay", 0).returncode, 0)
        # One hit moved to its block's start, one missing, one extra: each is refused.
        for name, onsets in (("moved", [1003, 3584, 7003]), ("missing", [1003, 7003]),
                             ("extra", [1003, 2500, 4003, 7003])):
            path = self.wav(name + ".wav", hits_signal(onsets, 9000))
            self.assertNotEqual(run("wavcheck.py", "hits", path, "--at", notes, "--quiet", 500).returncode, 0, name)

    def test_hits_in_a_loop(self):
        period, loop, starts = 512, 8 * 512, [37, 2 * 512 + 300, 5 * 512 + 511]
        # The sequencer ran before the recording and runs on after it.
        base, n = 3 * 512, 3 * 512 + 3 * loop + 1000
        onsets = [o for o in (base + k * loop + s for k in range(-1, 4) for s in starts) if 0 <= o < n - HIT_FRAMES]
        good = self.wav("loop.wav", hits_signal(onsets, n))
        args = ["--loop", loop, "--starts", ",".join(map(str, starts)), "--period", period, "--quiet", 500,
                "--hit-length", HIT_FRAMES]
        self.assertEqual(run("wavcheck.py", "hits", good, *args, "--delay", 0).returncode, 0)
        # A host that plays one note at its block's start.
        onsets[4] -= 300
        bad = self.wav("loop-bad.wav", hits_signal(onsets, n))
        self.assertNotEqual(run("wavcheck.py", "hits", bad, *args).returncode, 0)

    def test_channels_must_match(self):
        left = hits_signal([1000], 3000)
        right = list(left)
        right[1100] += 0.01
        path = self.wav("stereo.wav", left, right)
        self.assertEqual(run("wavcheck.py", "hits", path, "--at", 1000, "--quiet", 500, "--min-hits", 1).returncode, 0)
        self.assertNotEqual(run("wavcheck.py", "hits", path, "--at", 1000, "--quiet", 500, "--min-hits", 1,
                                "--same-channels").returncode, 0)

    def test_same_with_and_without_alignment(self):
        a = self.wav("a.wav", hits_signal([1000, 2000], 4000), width=3)
        b = self.wav("b.wav", hits_signal([1000, 2000], 4000), width=3)
        shifted = self.wav("shifted.wav", hits_signal([1016, 2016], 4000), width=3)
        changed_signal = hits_signal([1000, 2000], 4000)
        changed_signal[2050] = 0.1
        changed = self.wav("changed.wav", changed_signal, width=3)
        self.assertEqual(run("wavcheck.py", "same", a, b).returncode, 0)
        self.assertNotEqual(run("wavcheck.py", "same", a, shifted).returncode, 0)
        self.assertEqual(run("wavcheck.py", "same", a, shifted, "--align", 1024).returncode, 0)
        self.assertNotEqual(run("wavcheck.py", "same", a, shifted, "--align", 8).returncode, 0)
        self.assertNotEqual(run("wavcheck.py", "same", a, changed, "--align", 1024).returncode, 0)


URI = "http://example.org/instrument"
PREDICATE = URI + "#state"


class StateCheckTest(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.addCleanup(self.dir.cleanup)

    def session(self, chunk, state_dir="state1"):
        """A session file naming the plug-in's state folder, and its state.ttl holding chunk."""
        root = self.dir.name
        lv2 = f'<lv2 state-dir="{state_dir}"/>' if state_dir else "<lv2/>"
        with open(os.path.join(root, "s.ardour"), "w") as f:
            f.write(f'<Session><Routes><Route><Processor id="208" type="lv2" unique-id="{URI}">{lv2}'
                    f'</Processor></Route></Routes></Session>')
        folder = os.path.join(root, "plugins", "208", "state1")
        os.makedirs(folder, exist_ok=True)
        text = base64.b64encode(chunk).decode()
        # Broken into lines, as lilv writes it.
        lines = "\n".join(text[i:i + 76] for i in range(0, len(text), 76))
        with open(os.path.join(folder, "state.ttl"), "w") as f:
            f.write('@prefix xsd: <http://www.w3.org/2001/XMLSchema#> .\n'
                    '@prefix state: <http://lv2plug.in/ns/ext/state#> .\n'
                    f'<> state:state [ <{PREDICATE}> """{lines}"""^^xsd:base64Binary ] .\n')
        return os.path.join(root, "s.ardour")

    @staticmethod
    def chunk(ccs, values):
        return struct.pack("<19i19d", *ccs, *values)

    def test_reads_controllers_and_values(self):
        ccs = [-1] * 19
        ccs[9] = 74
        values = [0.0] * 19
        values[1], values[9] = 5.0, 100 / 127
        path = self.session(self.chunk(ccs, values))
        self.assertEqual(run("lv2state.py", path, URI, "--cc", "9=74", "--value", "1=5",
                             "--value", f"9={100 / 127}").returncode, 0)
        self.assertNotEqual(run("lv2state.py", path, URI, "--cc", "9=75").returncode, 0)
        self.assertNotEqual(run("lv2state.py", path, URI, "--cc", "3=74").returncode, 0)
        self.assertNotEqual(run("lv2state.py", path, URI, "--value", "1=4").returncode, 0)
        out = os.path.join(self.dir.name, "chunk.bin")
        self.assertEqual(run("lv2state.py", path, URI, "--chunk-out", out).returncode, 0)
        with open(out, "rb") as f:
            self.assertEqual(f.read(), self.chunk(ccs, values))

    def test_refuses_missing_or_foreign_state(self):
        good = self.chunk([-1] * 19, [0.0] * 19)
        self.assertNotEqual(run("lv2state.py", self.session(good, state_dir=None), URI).returncode, 0)
        self.assertNotEqual(run("lv2state.py", self.session(good[:-8]), URI).returncode, 0)
        self.assertNotEqual(run("lv2state.py", self.session(good), URI + "-other").returncode, 0)


if __name__ == "__main__":
    unittest.main()
