#!/usr/bin/env bash
# Ardour's VST 3 scanner loads the bundle and indexes one instrument named TONNIK-PRO with no
# audio input, two outputs and one MIDI input, under the class ID the factory announces.
#
# Usage: scanner_test.sh BUNDLE CLASS_ID
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../../lv2/hosts/host_env.sh"
host_env_init vst3-scanner
LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst3-scanner -f "$1" > "$HOST_SCRATCH/scan.log" 2>&1 \
  || host_fail "the scanner failed"
caches=("$XDG_CACHE_HOME"/ardour7/vst/*.v3i)
[ -f "${caches[0]}" ] || host_fail "the scanner wrote no index"
python3 - "${caches[@]}" "$2" <<'PY' || host_fail "the index is not one TONNIK-PRO instrument"
import sys, xml.etree.ElementTree as ET
*files, class_id = sys.argv[1:]
infos = [i for f in files for i in ET.parse(f).getroot().iter("VST3Info")]
want = {"uid": class_id, "name": "TONNIK-PRO", "vendor": "Velmora Rirevovizod", "category": "Instrument|Drum",
        "version": "1.1.1", "n_inputs": "0", "n_outputs": "2", "n_midi_inputs": "1"}
print([i.attrib for i in infos])
sys.exit(len(infos) != 1 or any(infos[0].get(k) != v for k, v in want.items()))
PY
echo "PASS: one instrument TONNIK-PRO, 0 inputs, 2 outputs"
