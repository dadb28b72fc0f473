#!/usr/bin/env bash
# Ardour 7 with its interface scaled to 100 % or 200 %, its GUI under a private Xvfb on a private
# JACK server, shows the instrument's LV2 editor at its size and sharp: Ardour hands its scale to
# the UI as ui:scaleFactor, and the editor draws itself at that scale, in a window of exactly its
# size (at 100 % Ardour's plug-in window is wider than the editor, and must not stretch it).
#   1. ardour/gui_session.lua makes a session with the plug-in at its defaults; the session is
#      told to open the plug-in's window when it loads, and Ardour's config holds the 200 %;
#   2. the editor embedded in Ardour's plug-in window is 336 x 598 device pixels times the scale,
#      and shows exactly what `tonnik editor --scale S` draws for the state the session saved;
#   3. an xdotool click on the "MIDI Tune" switch, at its editor-unit point doubled, turns the
#      parameter on in Ardour (the session Ardour then saves holds it on), and the editor
#      again equals the headless one after the same click.
#
# Usage: ardour_gui_test.sh --uri URI --lv2-path DIR --tonnik PROGRAM --scale 1|2
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../../support/private_shm.sh"
source "$here/host_env.sh"
source "$here/ardour_gui_env.sh"

readonly ARDOUR_TIMEOUT_S=90 RATE=48000 PERIOD=1024
readonly EDITOR_UNITS_W=336 EDITOR_UNITS_H=598
# The "MIDI Tune" switch, in editor units (its 42 x 24 frame at 146, 99), and its index.
readonly MIDI_TUNE_X=160 MIDI_TUNE_Y=108 MIDI_TUNE=5

host_parse_args "uri lv2_path tonnik scale" "$@"
case $scale in 1 | 2) ;; *) echo "--scale is 1 or 2" >&2; exit 2 ;; esac
readonly SCALE=$scale SCALE_PERCENT=$((scale * 100))
readonly EDITOR_W=$((EDITOR_UNITS_W * scale)) EDITOR_H=$((EDITOR_UNITS_H * scale))

host_env_init ardour-gui-${scale}x
started=$SECONDS
export LV2_PATH=$lv2_path
export TONNIK_URI=$uri TONNIK_PLUGIN_TYPE=LV2 TONNIK_LUA_DIR="$here/ardour"
export TONNIK_SESSION_DIR="$HOST_SCRATCH/session"
session_file="$TONNIK_SESSION_DIR/tonnik.ardour"

# Room for Ardour's plug-in window around a 1196-pixel-high editor.
ardour_gui_display 2400x1600
host_start_jackd "$RATE" "$PERIOD"

host_run ardour-session "$ARDOUR_TIMEOUT_S" ardour7-lua "$here/ardour/gui_session.lua" \
  || host_fail "gui_session.lua failed"
ardour_gui_open_on_load "$session_file" "$uri"
ardour_gui_config "$RATE" "$PERIOD" "$SCALE_PERCENT"

host_log "Ardour's GUI at $SCALE_PERCENT %: load the session, show the editor"
ardour_gui_start "$session_file"
ardour_gui_size_is "$EDITOR_W" "$EDITOR_H" || host_fail "the editor is not ${EDITOR_W} x ${EDITOR_H} in Ardour"
python3 "$here/lv2state.py" "$session_file" "$uri" --chunk-out "$HOST_SCRATCH/state.bin" \
  || host_fail "no state in the session"
headless=(--scale "$SCALE" --state "$HOST_SCRATCH/state.bin")
ardour_gui_same_as_headless "$EDITOR_W" "$EDITOR_H" opened "${headless[@]}" \
  || host_fail "Ardour shows other pixels than the headless editor"

host_log "click MIDI Tune, save from Ardour"
ardour_gui_click $((MIDI_TUNE_X * SCALE)) $((MIDI_TUNE_Y * SCALE))
ardour_gui_same_as_headless "$EDITOR_W" "$EDITOR_H" clicked "${headless[@]}" --click "$MIDI_TUNE_X,$MIDI_TUNE_Y" \
  || host_fail "after the click Ardour shows other pixels than the headless editor"
ardour_gui_save_holds "$session_file" "$uri" "$MIDI_TUNE" 1 \
  python3 "$here/lv2state.py" "$session_file" "$uri" --value "$MIDI_TUNE=1" \
  || host_fail "the click did not turn MIDI Tune on in Ardour"
host_alive "$ardour_pid" || host_fail "Ardour died"
host_log "done in $((SECONDS - started)) s"
