#!/usr/bin/env bash
# Ardour 7 with its GUI under a private Xvfb, on a private JACK server, shows the instrument's
# editor as a VST 3 plug-in:
#   1. ardour/gui_session.lua makes a session with the plug-in at its defaults; the session is
#      told to open the plug-in's window when it loads (as Ardour saves an open one), and
#      Ardour's first-run, engine and memory dialogs are answered beforehand in its config;
#   2. the editor embedded in Ardour's plug-in window shows exactly the pixels the headless
#      editor (`tonnik editor`) draws for the state the session saved;
#   3. an xdotool click on the "MIDI Tune" switch turns the parameter on in Ardour: the
#      session Ardour then saves (Ctrl+S) holds it on.
#
# Usage: ardour_gui_test.sh --bundle DIR --class-id HEX --tonnik PROGRAM
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../../support/private_shm.sh"
lv2_hosts="$here/../../lv2/hosts"
source "$lv2_hosts/host_env.sh"
source "$here/vst3_host_env.sh"

readonly ARDOUR_TIMEOUT_S=90 RATE=48000 PERIOD=1024
# Seconds for Ardour's GUI to load the session and show the plug-in's window, and for a save.
readonly GUI_WAIT_S=40 SAVE_WAIT_S=20
readonly EDITOR_W=336 EDITOR_H=598
# The "MIDI Tune" switch, in editor pixels (its 42 x 24 frame at 146, 99), and its index.
readonly MIDI_TUNE_X=160 MIDI_TUNE_Y=108 MIDI_TUNE=5

vst3_parse_args "$@"

host_env_init ardour-gui
started=$SECONDS
export TONNIK_URI=$class_id TONNIK_LUA_DIR="$lv2_hosts/ardour" TONNIK_VST3_LUA_DIR="$here/ardour"
export TONNIK_SESSION_DIR="$HOST_SCRATCH/session"
session_file="$TONNIK_SESSION_DIR/tonnik.ardour"

# wait_until SECONDS COMMAND...: true once COMMAND succeeds.
wait_until() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do [ "$SECONDS" -lt "$deadline" ] || return 1; sleep 0.2; done
}

host_start xvfb Xvfb -displayfd 1 -screen 0 1600x1000x24 -nolisten tcp -noreset
wait_until 10 test -s "$HOST_SCRATCH/xvfb.log" || host_fail "Xvfb did not start"
export DISPLAY=":$(head -n 1 "$HOST_SCRATCH/xvfb.log")"
host_start_jackd "$RATE" "$PERIOD"

vst3_install_bundle

host_run ardour-session "$ARDOUR_TIMEOUT_S" ardour7-lua "$here/ardour/gui_session.lua" \
  || host_fail "gui_session.lua failed"
python3 - "$session_file" "$class_id" <<'PY' || host_fail "cannot mark the plug-in's window open"
import sys, xml.etree.ElementTree as ET
path, class_id = sys.argv[1:]
tree = ET.parse(path)
route = next(r for r in tree.getroot().iter("Route")
             if any(p.get("unique-id") == class_id for p in r.iter("Processor")))
proc = next(p for p in route.iter("Processor") if p.get("unique-id") == class_id)
extra = tree.getroot().find("Extra") or ET.SubElement(tree.getroot(), "Extra")
ui = extra.find("UI") or ET.SubElement(extra, "UI")
ET.SubElement(ui, "Window", {"name": f"P-{route.get('id')}-{proc.get('id')}", "visible": "1", "x-off": "0",
                             "y-off": "0", "x-size": "-1", "y-size": "-1", "custom-ui": "1"})
tree.write(path, xml_declaration=True, encoding="UTF-8")
PY

# Been here before, no memory warning, and JACK started without asking.
config_dir="$XDG_CONFIG_HOME/ardour7"
touch "$config_dir/.a7"
printf '<?xml version="1.0" encoding="UTF-8"?>\n<instant>\n  <no-memory-warning/>\n</instant>\n' \
  > "$config_dir/instant.xml"
cat > "$config_dir/config" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <Config>
    <Option name="try-autostart-engine" value="1"/>
  </Config>
  <Extra>
    <AudioMIDISetup>
      <EngineStates>
        <State backend="JACK" driver="" device="" input-device="" output-device="" sample-rate="$RATE"
               buffer-size="$PERIOD" n-periods="2" input-latency="0" output-latency="0" lm-input="" lm-output=""
               active="1" use-buffered-io="0" midi-option="" lru="1">
          <MIDIDevices/>
        </State>
      </EngineStates>
    </AudioMIDISetup>
  </Extra>
</Ardour>
XML

host_log "Ardour's GUI: load the session, show the editor"
host_start ardour-gui ardour -n -a "$session_file"
ardour_pid=$HOST_LAST_PID
editor_window() { xdotool search --name '^editor$' 2>/dev/null | head -n 1; }
editor_shown() { [ -n "$(editor_window)" ]; }
if ! wait_until "$GUI_WAIT_S" editor_shown; then
  import -window root "$HOST_SCRATCH/screen.png"  # what Ardour shows instead
  host_fail "no plug-in editor appeared in Ardour (its screen: $HOST_SCRATCH/screen.png)"
fi
editor=$(editor_window)
sleep 2  # a few of the editor's frames

import -window "$editor" -crop "${EDITOR_W}x${EDITOR_H}+0+0" +repage "$HOST_SCRATCH/ardour-editor.png"
python3 "$here/vst3state.py" "$session_file" "$class_id" --chunk-out "$HOST_SCRATCH/state.bin"
"$tonnik" editor -o "$HOST_SCRATCH/headless-editor.png" --state "$HOST_SCRATCH/state.bin" >/dev/null \
  || host_fail "tonnik editor failed"
differing=$(compare -metric AE "$HOST_SCRATCH/ardour-editor.png" "$HOST_SCRATCH/headless-editor.png" null: 2>&1)
host_log "pixels differing from the headless editor: $differing"
[ "$differing" = 0 ] || host_fail "Ardour shows other pixels than the headless editor"

host_log "click MIDI Tune, save from Ardour"
xdotool mousemove --window "$editor" "$MIDI_TUNE_X" "$MIDI_TUNE_Y" click 1
sleep 1
main=$(xdotool search --name 'tonnik - Ardour' | head -n 1)
[ -n "$main" ] || host_fail "no Ardour main window"
saved_at() { stat -c %y "$session_file"; }
before=$(saved_at)
saved_again() { [ "$(saved_at)" != "$before" ]; }
xdotool key --window "$main" ctrl+s
wait_until "$SAVE_WAIT_S" saved_again || host_fail "Ardour did not save"
python3 "$here/vst3state.py" "$session_file" "$class_id" --value "$MIDI_TUNE=1" \
  || host_fail "the click did not turn MIDI Tune on in Ardour"
host_alive "$ardour_pid" || host_fail "Ardour died"
host_log "done in $((SECONDS - started)) s"
