#!/usr/bin/env python3
"""Reads the Audio Unit bundle's Info.plist with Python's property-list
reader (and, when installed, libplist's plistutil) and checks it against
the identity the instrument itself reports through `tonnik info`, and
checks that the factory function it names is defined by the instrument's
library.

    check_info_plist.py INFO_PLIST TONNIK_PROGRAM LIBRARY NM
"""

import plistlib
import re
import shutil
import subprocess
import sys
import tempfile


def fail(message):
    print("Info.plist: " + message, file=sys.stderr)
    sys.exit(1)


def reported_identity(program):
    out = subprocess.run([program, "info"], capture_output=True, text=True, timeout=30, check=True).stdout
    lines = out.splitlines()
    component = re.search(r"type '(.{4})', subtype '(.{4})', manufacturer '(.{4})'", out)
    version = re.search(r"version\s+(\d+\.\d+\.\d+) \(0x([0-9a-fA-F]{8})\)", out)
    if not lines or not component or not version:
        fail("cannot read the identity from `tonnik info`:\n" + out)
    return {
        "name": lines[0].strip(),
        "type": component.group(1),
        "subtype": component.group(2),
        "manufacturer": component.group(3),
        "version_text": version.group(1),
        "version": int(version.group(2), 16),
    }


def exported_functions(library, nm):
    """The global functions the library defines."""
    out = subprocess.run([nm, "-g", "--defined-only", library], capture_output=True, text=True, timeout=30,
                         check=True).stdout
    return {fields[2] for fields in (line.split() for line in out.splitlines())
            if len(fields) == 3 and fields[1] == "T"}


def main():
    if len(sys.argv) != 5:
        fail("usage: check_info_plist.py INFO_PLIST TONNIK_PROGRAM LIBRARY NM")
    path, program, library, nm = sys.argv[1:]
    with open(path, "rb") as f:
        info = plistlib.load(f)

    # An independent reader must take it too: libplist converts it to the
    # binary form and back without complaint.
    plistutil = shutil.which("plistutil")
    if plistutil:
        with tempfile.NamedTemporaryFile(suffix=".plist") as binary:
            subprocess.run([plistutil, "-i", path, "-o", binary.name, "-f", "bin"], check=True, timeout=30)
            with open(binary.name, "rb") as f:
                if plistlib.load(f) != info:
                    fail("plistutil reads different contents")

    expected = reported_identity(program)
    checks = [
        ("CFBundlePackageType", info.get("CFBundlePackageType"), "BNDL"),
        ("CFBundleExecutable", info.get("CFBundleExecutable"), "Tonnik"),
        ("CFBundleVersion", info.get("CFBundleVersion"), expected["version_text"]),
        ("CFBundleShortVersionString", info.get("CFBundleShortVersionString"), expected["version_text"]),
    ]
    components = info.get("AudioComponents")
    if not isinstance(components, list) or len(components) != 1:
        fail("AudioComponents must hold exactly one entry, not %r" % (components,))
    c = components[0]
    checks += [
        ("type", c.get("type"), expected["type"]),
        ("subtype", c.get("subtype"), expected["subtype"]),
        ("manufacturer", c.get("manufacturer"), expected["manufacturer"]),
        ("name", c.get("name"), expected["name"]),
        ("version", c.get("version"), expected["version"]),
        ("factoryFunction", c.get("factoryFunction"), "Tonnik_Factory"),
    ]
    factory = c.get("factoryFunction")
    if factory not in exported_functions(library, nm):
        checks.append(("factoryFunction in %s" % library, factory, "a function the library defines"))
    wrong = ["%s is %r, not %r" % (k, got, want) for k, got, want in checks if got != want]
    if not isinstance(info.get("CFBundleIdentifier"), str) or not info["CFBundleIdentifier"]:
        wrong.append("CFBundleIdentifier is missing")
    if wrong:
        fail("; ".join(wrong))
    print("Info.plist: %s %s/%s/%s version 0x%08x matches the instrument" %
          (c["name"], c["type"], c["subtype"], c["manufacturer"], c["version"]))


if __name__ == "__main__":
    main()
