#!/usr/bin/env bash
# Ardour 7 without its GUI (ardour7-lua on the "None (Dummy)" backend) uses the instrument as a
# VST 3 plug-in the way a musician's session does:
#   1. ardour-vst3-scanner indexes the bundle in the private home's ~/.vst3, as Ardour's own
#      plug-in scan does;
#   2. ardour/create.lua: a MIDI track holding the instrument behind the hit generator of the
#      LV2 test (tests/lv2/hosts/ardour/hits.lua), parameters set, a live note, a controller
#      learned, an export; Decay automated to jump between the second and the third hit, a
#      second export; a save;
#   3. the first export has every hit at its note's frame and both channels equal, and matches
#      `tonnik render` of the same notes at the values the session saved to within one 24-bit
#      step; the automated export rings out longer from the jump on and only there; the saved
#      state holds the learned controller and the values;
#   4. ardour/reopen.lua: the values are back, an export equals the first, the learned
#      controller still moves its parameter, a save that shows it.
#
# Usage: ardour_session_test.sh --bundle DIR --class-id HEX --tonnik PROGRAM
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
lv2_hosts="$here/../../lv2/hosts"
source "$lv2_hosts/host_env.sh"
source "$here/vst3_host_env.sh"

# Seconds each Ardour run may take; a loaded 2-core machine needs about ten.
readonly ARDOUR_TIMEOUT_S=90
# How far apart two exports of the same session may start: under one block.
readonly EXPORT_START_SPREAD=1024
# Where create.lua makes Decay jump.
readonly DECAY_JUMP_FRAME=40000
readonly RATE=48000 EXPORT_SECONDS=2

vst3_parse_args "$@"

host_env_init ardour-vst3
started=$SECONDS
export TONNIK_URI=$class_id TONNIK_LUA_DIR="$lv2_hosts/ardour"
ardour_session_setup "$lv2_hosts/ardour/hits.lua"
vst3_install_bundle
readonly TUNE=1 DECAY=3 COMP=9 GLIDE_MODE=12 DYNDECAY=13 LEARN_CC=74
settings=(--value "$TUNE=5" --value "$DECAY=0.25" --value "$GLIDE_MODE=2" --value "$DYNDECAY=-0.5")
session_file="$TONNIK_SESSION_DIR/tonnik.ardour"

host_log "create: session, parameters, live note, MIDI learn, export, Decay automation, export, save"
ardour_run ardour-create "$here/ardour/create.lua" "$TONNIK_SESSION_DIR" || host_fail "create.lua failed"
grep -E '^(live note|exported|saved)' "$HOST_SCRATCH/ardour-create.log" >&2
python3 "$lv2_hosts/wavcheck.py" hits "$TONNIK_EXPORT_DIR/before-save.wav" --at "$hits" --same-channels \
  --hit-length 2000 --min-hits 4 || host_fail "the export does not have the notes' hits"
python3 "$here/vst3state.py" "$session_file" "$class_id" --cc "$COMP=$LEARN_CC" "${settings[@]}" \
  || host_fail "the saved session's plug-in state is wrong"
python3 "$here/exportcheck.py" tails "$TONNIK_EXPORT_DIR/before-save.wav" "$TONNIK_EXPORT_DIR/automated.wav" \
  --at "$hits" --from "$DECAY_JUMP_FRAME" || host_fail "Decay's automation did not shape the tails"

host_log "the instrument's own renderer on the same notes at the saved values"
python3 "$here/notes_mid.py" "$HOST_SCRATCH/hits.mid" "$hits"
mapfile -t render_args < <(python3 "$here/vst3state.py" "$session_file" "$class_id" --render-args)
"$tonnik" render --midi "$HOST_SCRATCH/hits.mid" -o "$HOST_SCRATCH/render.wav" --rate "$RATE" --bits 24 \
  --length "$EXPORT_SECONDS" -q "${render_args[@]}" || host_fail "tonnik render failed"
python3 "$here/exportcheck.py" near "$TONNIK_EXPORT_DIR/before-save.wav" "$HOST_SCRATCH/render.wav" --lsb 1 \
  || host_fail "Ardour's export does not sound as the instrument renders itself"

host_log "reopen: values back, export again, learned controller again, save"
ardour_run ardour-reopen "$here/ardour/reopen.lua" || host_fail "reopen.lua failed"
grep -E ' = |^(exported|saved)' "$HOST_SCRATCH/ardour-reopen.log" >&2
python3 "$lv2_hosts/wavcheck.py" same "$TONNIK_EXPORT_DIR/before-save.wav" "$TONNIK_EXPORT_DIR/after-reopen.wav" \
  --align "$EXPORT_START_SPREAD" || host_fail "the reopened session does not sound as it did before saving"
python3 "$here/vst3state.py" "$session_file" "$class_id" --cc "$COMP=$LEARN_CC" --value "$COMP=0" "${settings[@]}" \
  || host_fail "the learned controller did not survive reopening"

host_log "done in $((SECONDS - started)) s"
