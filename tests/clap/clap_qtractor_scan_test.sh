#!/bin/bash
# Qtractor's plug-in scanner, the program Qtractor runs to learn what a
# plug-in file holds, loads the CLAP module, creates and initialises the
# instrument and reads its ports, parameters, editor and state support.
# Usage: clap_qtractor_scan_test.sh SCANNER MODULE
set -u
SCANNER=$1
MODULE=$2
fail() { echo "FAIL: $*" >&2; exit 1; }

line=$(echo "CLAP:$MODULE" | timeout 30 "$SCANNER" 2>&1) || fail "the scanner failed: $line"
# name | audio in:out | MIDI in:out | parameters in:out | editor, state, real-time | file | index
expected="CLAP|TONNIK-PRO|0:2|1:0|19:0|GUI,EXT,RT|$MODULE|0|"
[[ "$line" == "$expected"* ]] || fail "Qtractor sees: $line"
echo "Qtractor sees: $line"

# A file that is not a CLAP module is reported, not loaded.
bad=$(echo "CLAP:/dev/null" | timeout 30 "$SCANNER" 2>&1)
[[ "$bad" != *TONNIK* ]] || fail "a bad file was taken for the plug-in: $bad"
