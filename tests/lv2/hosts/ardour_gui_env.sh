# Shared by the tests that show the instrument's editor in Ardour 7's GUI (as an LV2 and as a
# VST 3 plug-in): a private Xvfb, Ardour's config answered beforehand, a session whose plug-in
# window opens on load, the embedded editor found, its pixels taken and compared, a click in it
# and a save from Ardour's menu key.
#
# Usage: source after host_env.sh; after host_env_init, call ardour_gui_display, then
# ardour_gui_config, ardour_gui_open_on_load and ardour_gui_start; ardour_gui_start sets
# ardour_pid and editor (the editor's X window). The comparison runs the test's $tonnik.

# Seconds for Ardour's GUI to load the session and show the plug-in's window, and for a save.
readonly ARDOUR_GUI_WAIT_S=40 ARDOUR_SAVE_WAIT_S=20
# Seconds for the editor to draw a few frames after its window appears, or after a click.
readonly ARDOUR_GUI_SETTLE_S=2
# Ardour keeps its interface scale in ui_config as "font-scale", in 1/1024 percent: 102400 is
# its default 100 % (/etc/ardour7/default_ui_config), and 204800 its 200 %. Its GUI hands the
# same scale to an LV2 UI as ui:scaleFactor.
readonly ARDOUR_FONT_SCALE_PER_PERCENT=1024

# wait_until SECONDS COMMAND...: true once COMMAND succeeds.
wait_until() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do [ "$SECONDS" -lt "$deadline" ] || return 1; sleep 0.2; done
}

# ardour_gui_display WIDTHxHEIGHT: a private Xvfb of that size; exports DISPLAY. Xvfb writes the
# display it found to a file of its own: its log also has the complaints about displays in use.
ardour_gui_display() {
  local display_file="$HOST_SCRATCH/display" fd
  exec {fd}>"$display_file"
  host_start xvfb Xvfb -displayfd "$fd" -screen 0 "$1x24" -nolisten tcp -noreset
  exec {fd}>&-
  wait_until 10 test -s "$display_file" || host_fail "Xvfb did not start"
  export DISPLAY=":$(head -n 1 "$display_file")"
}

# ardour_gui_xml FILE: one of Ardour's config files, its sections read from stdin.
ardour_gui_xml() {
  { printf '<?xml version="1.0" encoding="UTF-8"?>\n<Ardour>\n'; cat; printf '</Ardour>\n'; } > "$1"
}

# ardour_gui_config RATE PERIOD SCALE_PERCENT: been here before, no memory warning, the JACK
# server started by the test taken without asking, and the interface at SCALE_PERCENT.
ardour_gui_config() {
  local rate=$1 period=$2 percent=$3 config_dir="$XDG_CONFIG_HOME/ardour7"
  mkdir -p "$config_dir"
  touch "$config_dir/.a7"
  printf '<?xml version="1.0" encoding="UTF-8"?>\n<instant>\n  <no-memory-warning/>\n</instant>\n' \
    > "$config_dir/instant.xml"
  ardour_gui_xml "$config_dir/config" <<XML
  <Config>
    <Option name="try-autostart-engine" value="1"/>
  </Config>
  <Extra>
    <AudioMIDISetup>
      <EngineStates>
        <State backend="JACK" driver="" device="" input-device="" output-device="" sample-rate="$rate"
               buffer-size="$period" n-periods="2" input-latency="0" output-latency="0" lm-input="" lm-output=""
               active="1" use-buffered-io="0" midi-option="" lru="1">
          <MIDIDevices/>
        </State>
      </EngineStates>
    </AudioMIDISetup>
  </Extra>
XML
  ardour_gui_xml "$config_dir/ui_config" <<XML
  <UI>
    <Option name="font-scale" value="$((percent * ARDOUR_FONT_SCALE_PER_PERCENT))"/>
  </UI>
XML
}

# ardour_gui_open_on_load SESSION_FILE UNIQUE_ID: the plug-in's window (its own editor, not
# Ardour's generic one) opens when the session loads, as Ardour saves a window left open.
ardour_gui_open_on_load() {
  python3 - "$1" "$2" <<'PY' || host_fail "cannot mark the plug-in's window open"
import sys, xml.etree.ElementTree as ET
path, unique_id = sys.argv[1:]
tree = ET.parse(path)
route = next(r for r in tree.getroot().iter("Route")
             if any(p.get("unique-id") == unique_id for p in r.iter("Processor")))
proc = next(p for p in route.iter("Processor") if p.get("unique-id") == unique_id)
extra = tree.getroot().find("Extra") or ET.SubElement(tree.getroot(), "Extra")
ui = extra.find("UI") or ET.SubElement(extra, "UI")
ET.SubElement(ui, "Window", {"name": f"P-{route.get('id')}-{proc.get('id')}", "visible": "1", "x-off": "0",
                             "y-off": "0", "x-size": "-1", "y-size": "-1", "custom-ui": "1"})
tree.write(path, xml_declaration=True, encoding="UTF-8")
PY
}

ardour_gui_editor_window() { xdotool search --name '^editor$' 2>/dev/null | head -n 1; }
ardour_gui_editor_shown() { [ -n "$(ardour_gui_editor_window)" ]; }

# ardour_gui_start SESSION_FILE: Ardour's GUI on the session, until the plug-in's editor shows.
ardour_gui_start() {
  host_start ardour-gui ardour -n -a "$1"
  ardour_pid=$HOST_LAST_PID
  if ! wait_until "$ARDOUR_GUI_WAIT_S" ardour_gui_editor_shown; then
    import -window root "$HOST_SCRATCH/screen.png"  # what Ardour shows instead
    host_fail "no plug-in editor appeared in Ardour (its screen: $HOST_SCRATCH/screen.png)"
  fi
  editor=$(ardour_gui_editor_window)
  sleep "$ARDOUR_GUI_SETTLE_S"
}

# ardour_gui_size_is WIDTH HEIGHT: the embedded editor's window has that size in device pixels.
ardour_gui_size_is() {
  local size
  size=$(xdotool getwindowgeometry "$editor" | sed -n 's/^ *Geometry: *//p')
  host_log "the editor's window: $size"
  [ "$size" = "$1x$2" ]
}

# ardour_gui_same_as_headless WIDTH HEIGHT NAME TONNIK_EDITOR_ARGS...: the editor's top-left
# WIDTH x HEIGHT pixels in Ardour equal what `tonnik editor` draws with those arguments; both
# pictures stay in the scratch folder as NAME-ardour.png and NAME-headless.png.
ardour_gui_same_as_headless() {
  local w=$1 h=$2 name=$3 differing
  shift 3
  import -window "$editor" -crop "${w}x${h}+0+0" +repage "$HOST_SCRATCH/$name-ardour.png"
  "$tonnik" editor -o "$HOST_SCRATCH/$name-headless.png" "$@" >/dev/null || host_fail "tonnik editor failed"
  differing=$(compare -metric AE "$HOST_SCRATCH/$name-ardour.png" "$HOST_SCRATCH/$name-headless.png" null: 2>&1)
  host_log "$name: pixels differing from the headless editor: $differing"
  [ "$differing" = 0 ]
}

# ardour_gui_click X Y: a real click at device pixels X,Y of the editor's window.
ardour_gui_click() {
  xdotool mousemove --window "$editor" "$1" "$2" click 1
  sleep "$ARDOUR_GUI_SETTLE_S"
}

ardour_gui_changed_since() { [ "$(stat -c %y "$1")" != "$2" ]; }

# ardour_gui_save SESSION_FILE: Ctrl+S in Ardour's main window, until the session file changes.
ardour_gui_save() {
  local session_file=$1 main before
  main=$(xdotool search --name "$(basename "$session_file" .ardour) - Ardour" | head -n 1)
  [ -n "$main" ] || host_fail "no Ardour main window"
  before=$(stat -c %y "$session_file")
  xdotool key --window "$main" ctrl+s
  wait_until "$ARDOUR_SAVE_WAIT_S" ardour_gui_changed_since "$session_file" "$before" \
    || host_fail "Ardour did not save"
}

# ardour_gui_host_value SESSION_FILE UNIQUE_ID INDEX: the value Ardour itself keeps for the
# plug-in's parameter INDEX in the saved session (what the editor's writes reached).
ardour_gui_host_value() {
  python3 - "$@" <<'PY'
import sys, xml.etree.ElementTree as ET
path, unique_id, index = sys.argv[1:]
proc = next(p for p in ET.parse(path).getroot().iter("Processor") if p.get("unique-id") == unique_id)
print(next(c.get("value") for c in proc.iter("Controllable") if c.get("parameter") == index))
PY
}

# ardour_gui_save_holds SESSION_FILE UNIQUE_ID INDEX VALUE STATE_CHECK...: Ardour, saving, holds
# VALUE for parameter INDEX, and so does the plug-in's own state (STATE_CHECK succeeds). The
# plug-in takes a value from its port in its next cycle, which a loaded machine may hold back
# past one save: a save whose state is behind gets more, up to ARDOUR_SAVE_WAIT_S in all.
ardour_gui_save_holds() {
  local session_file=$1 unique_id=$2 index=$3 value=$4 deadline=$((SECONDS + ARDOUR_SAVE_WAIT_S)) saves=0 held
  shift 4
  while :; do
    ardour_gui_save "$session_file"
    saves=$((saves + 1))
    held=$(ardour_gui_host_value "$session_file" "$unique_id" "$index")
    [ "$held" = "$value" ] || { host_log "Ardour holds $held for parameter $index"; return 1; }
    "$@" >/dev/null && break
    [ "$SECONDS" -lt "$deadline" ] || { "$@"; return 1; }
    sleep 1
  done
  host_log "the plug-in's state held parameter $index at $value after $saves save(s)"
}
