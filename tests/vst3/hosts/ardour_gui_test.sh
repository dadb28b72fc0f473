#!/usr/bin/env bash
# Ardour 7 with its GUI under a private Xvfb, on a private JACK server, shows the instrument's
# editor as a VST 3 plug-in:
#   1. ardour/gui_session.lua (beside the LV2 tests' scripts) makes a session with the plug-in
#      at its defaults; the session is told to open the plug-in's window when it loads (as
#      Ardour saves an open one), and Ardour's first-run, engine and memory dialogs are
#      answered beforehand in its config;
#   2. the editor embedded in Ardour's plug-in window shows exactly the pixels the headless
#      editor (`tonnik editor`) draws for the state the session saved;
#   3. an xdotool click on the "MIDI Tune" switch turns the parameter on in Ardour (the
#      session Ardour then saves, Ctrl+S, holds it on), and the editor again equals the
#      headless one after the same click.
#
# Usage: ardour_gui_test.sh --bundle DIR --class-id HEX --tonnik PROGRAM
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../../support/private_shm.sh"
lv2_hosts="$here/../../lv2/hosts"
source "$lv2_hosts/host_env.sh"
source "$lv2_hosts/ardour_gui_env.sh"
source "$here/vst3_host_env.sh"

readonly ARDOUR_TIMEOUT_S=90 RATE=48000 PERIOD=1024
readonly EDITOR_W=336 EDITOR_H=598
# The "MIDI Tune" switch, in editor pixels (its 42 x 24 frame at 146, 99), and its index.
readonly MIDI_TUNE_X=160 MIDI_TUNE_Y=108 MIDI_TUNE=5

vst3_parse_args "$@"

host_env_init ardour-gui
started=$SECONDS
export TONNIK_URI=$class_id TONNIK_PLUGIN_TYPE=VST3 TONNIK_LUA_DIR="$lv2_hosts/ardour"
export TONNIK_SESSION_DIR="$HOST_SCRATCH/session"
session_file="$TONNIK_SESSION_DIR/tonnik.ardour"

ardour_gui_display 1600x1000
host_start_jackd "$RATE" "$PERIOD"

vst3_install_bundle

host_run ardour-session "$ARDOUR_TIMEOUT_S" ardour7-lua "$lv2_hosts/ardour/gui_session.lua" \
  || host_fail "gui_session.lua failed"
ardour_gui_open_on_load "$session_file" "$class_id"
ardour_gui_config "$RATE" "$PERIOD" 100

host_log "Ardour's GUI: load the session, show the editor"
ardour_gui_start "$session_file"
python3 "$here/vst3state.py" "$session_file" "$class_id" --chunk-out "$HOST_SCRATCH/state.bin"
ardour_gui_same_as_headless "$EDITOR_W" "$EDITOR_H" opened --state "$HOST_SCRATCH/state.bin" \
  || host_fail "Ardour shows other pixels than the headless editor"

host_log "click MIDI Tune, save from Ardour"
ardour_gui_click "$MIDI_TUNE_X" "$MIDI_TUNE_Y"
ardour_gui_same_as_headless "$EDITOR_W" "$EDITOR_H" clicked --state "$HOST_SCRATCH/state.bin" \
  --click "$MIDI_TUNE_X,$MIDI_TUNE_Y" || host_fail "after the click Ardour shows other pixels than the headless editor"
ardour_gui_save_holds "$session_file" "$class_id" "$MIDI_TUNE" 1 \
  python3 "$here/vst3state.py" "$session_file" "$class_id" --value "$MIDI_TUNE=1" \
  || host_fail "the click did not turn MIDI Tune on in Ardour"
host_alive "$ardour_pid" || host_fail "Ardour died"
host_log "done in $((SECONDS - started)) s"
