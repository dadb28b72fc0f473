#!/usr/bin/env bash
# Ardour 7 without its GUI (ardour7-lua on the "None (Dummy)" backend) uses the instrument the
# way a musician's session does:
#   1. create.lua: a new session, a MIDI track holding the instrument behind a small Lua
#      processor that plays notes at fixed session frames, parameters set from Lua, a live note,
#      a controller learned (MIDI Learn on, "Comp" touched, CC 74 sent), an export, a save;
#   2. the export has a hit at each note's exact frame, both channels equal, and the saved
#      plug-in state holds the learned controller and the values. Ardour starts an export a
#      little before session frame 0 (272 or 256 frames were seen, not always the same for one
#      session; a Lua processor that turns note-ons into clicks, put in the instrument's
#      place, shows the same), so the check asks for one common distance from note to onset;
#   3. reopen.lua: the session reopened, the values back on the ports, a second export, CC 74
#      sent again, controls changed and the session saved at once;
#   4. the second export plays what the ports show ("Comp" at the value the host last set, not
#      the one the controller gave it): it equals `tonnik render` of the same notes at those
#      settings, sample for sample once their starts are lined up; the state saved after
#      reopening still has the controller, which moved "Comp" again;
#   5. replay.lua: reopened once more, the changed controls on the ports, a third export, which
#      equals `tonnik render` at the changed settings.
#
# Usage: ardour_session_test.sh --uri URI --lv2-path DIR --tonnik PROGRAM
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/host_env.sh"

# Seconds each Ardour run may take; a loaded 2-core machine needs about ten.
readonly ARDOUR_TIMEOUT_S=90
# How far apart two exports of the same session may start (see 2. above): under one block.
readonly EXPORT_START_SPREAD=1024

host_parse_args "uri lv2_path tonnik" "$@"

host_env_init ardour
started=$SECONDS
export LV2_PATH=$lv2_path
export TONNIK_URI=$uri TONNIK_LUA_DIR="$here/ardour"
# The note frames come from the hit generator itself.
ardour_session_setup "$here/ardour/hits.lua"

# Parameter indices and values, as common.lua has them.
readonly TUNE=1 DECAY=3 COMP=9 DRIVE=10 GLIDE_MODE=12 DYNDECAY=13
readonly LEARN_CC=74 LEARN_CC_VALUE=100
settings=(--value "$TUNE=5" --value "$DECAY=0.25" --value "$DRIVE=0.4" --value "$GLIDE_MODE=2" --value "$DYNDECAY=-0.5")
# Ardour writes a control to the plug-in's port only when it next runs it, and keeps the value
# in its own session file: the controls changed just before the save reach the plug-in's state
# only if a cycle ran in between, so the state is checked for the controls left alone.
kept=(--value "$DRIVE=0.4" --value "$GLIDE_MODE=2" --value "$DYNDECAY=-0.5")
comp_learned=$(python3 -c "print($LEARN_CC_VALUE / 127)")
# The same settings for `tonnik render`; "Comp" as its port shows it (common.lua's touch value).
render_settings=(--tune 5 --decay 0.25 --drive 0.4 --glide-mode 2 --dyn-decay -0.5 --comp 0.3)
render_changed=(--tune -3 --decay 0 --drive 0.4 --glide-mode 2 --dyn-decay -0.5 --comp 0.3)
notes_mid="$HOST_SCRATCH/notes.mid"
python3 "$here/notesmidi.py" "$notes_mid" --at "$hits" --rate 48000 --note 36 --velocity 100 \
  || host_fail "cannot write the notes' MIDI file"

# render_same EXPORT NAME SETTINGS...: the export equals tonnik's render of the notes at SETTINGS.
render_same() {
  local export=$1 name=$2
  shift 2
  "$tonnik" render -q --midi "$notes_mid" --length 2 --rate 48000 --bits 24 -o "$HOST_SCRATCH/$name.wav" "$@" \
    || host_fail "tonnik render failed"
  python3 "$here/wavcheck.py" same "$HOST_SCRATCH/$name.wav" "$export" --align "$EXPORT_START_SPREAD"
}

session_file="$TONNIK_SESSION_DIR/tonnik.ardour"

host_log "create: new session, track, parameters, live note, MIDI learn, export, save"
ardour_run ardour-create "$here/ardour/create.lua" "$TONNIK_SESSION_DIR" || host_fail "create.lua failed"
grep -E '^(live note|exported|saved)' "$HOST_SCRATCH/ardour-create.log" >&2
python3 "$here/wavcheck.py" hits "$TONNIK_EXPORT_DIR/before-save.wav" --at "$hits" --same-channels \
  --hit-length 2000 --min-hits 4 || host_fail "the export does not have the notes' hits"
python3 "$here/lv2state.py" "$session_file" "$uri" --cc "$COMP=$LEARN_CC" --value "$COMP=$comp_learned" "${settings[@]}" \
  || host_fail "the saved session's plug-in state is wrong"

host_log "reopen: values back, export again, learned controller again, save"
ardour_run ardour-reopen "$here/ardour/reopen.lua" || host_fail "reopen.lua failed"
grep -E ' = |^(exported|saved)' "$HOST_SCRATCH/ardour-reopen.log" >&2
render_same "$TONNIK_EXPORT_DIR/after-reopen.wav" render-reopen "${render_settings[@]}" \
  || host_fail "the reopened session does not play what its controls show"
python3 "$here/lv2state.py" "$session_file" "$uri" --cc "$COMP=$LEARN_CC" --value "$COMP=0" "${kept[@]}" \
  || host_fail "the learned controller did not survive reopening"

host_log "replay: the changed controls back, export again"
ardour_run ardour-replay "$here/ardour/replay.lua" || host_fail "replay.lua failed"
grep -E ' = |^exported' "$HOST_SCRATCH/ardour-replay.log" >&2
render_same "$TONNIK_EXPORT_DIR/after-change.wav" render-change "${render_changed[@]}" \
  || host_fail "the session saved with changed controls does not play them"

host_log "done in $((SECONDS - started)) s"
