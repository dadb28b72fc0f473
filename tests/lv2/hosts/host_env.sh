# Shared by the real-host tests: a private scratch folder and config home, processes that are
# always stopped again, and a JACK server of the test's own.
#
# Several of these tests (and other projects' tests) run side by side on one machine, so nothing
# here uses a fixed server name, display or config folder, and every process a test starts is
# killed by its pid on every way out of the script (success, failure, timeout, signal).
#
# Usage: source this file, call host_env_init, then start long-running processes with
# host_start and stop the test with host_fail or a plain exit.

# Seconds a started process gets to leave after SIGTERM before it is killed outright.
readonly HOST_TERM_GRACE_S=3
# Seconds to wait for a JACK server or client port to appear; a loaded 2-core machine needs a few.
readonly HOST_PORT_WAIT_S=20

HOST_PIDS=()
HOST_KEEP_SCRATCH=0

host_log() { printf '[%s] %s\n' "$(date +%H:%M:%S.%N | cut -c1-12)" "$*" >&2; }

host_stop_all() {
  local pid
  for pid in "${HOST_PIDS[@]}"; do
    kill -TERM "$pid" 2>/dev/null
  done
  local deadline=$((SECONDS + HOST_TERM_GRACE_S))
  for pid in "${HOST_PIDS[@]}"; do
    while kill -0 "$pid" 2>/dev/null && [ "$SECONDS" -lt "$deadline" ]; do sleep 0.1; done
    kill -KILL "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null
  done
  HOST_PIDS=()
}

host_cleanup() {
  local rc=$?
  trap - EXIT INT TERM
  host_stop_all
  if [ "$rc" -ne 0 ] || [ "$HOST_KEEP_SCRATCH" -ne 0 ]; then
    # A failed run shows what every process said; the scratch folder stays for a closer look.
    local f
    for f in "$HOST_SCRATCH"/*.log; do
      [ -s "$f" ] || continue
      printf '\n----- %s (last 40 lines) -----\n' "$(basename "$f")" >&2
      tail -n 40 "$f" >&2
    done
    printf '\nscratch kept in %s\n' "$HOST_SCRATCH" >&2
  else
    rm -rf "$HOST_SCRATCH"
  fi
  exit "$rc"
}

# host_env_init TAG: scratch folder, private HOME and XDG folders, cleanup trap.
host_env_init() {
  HOST_SCRATCH=$(mktemp -d "${TMPDIR:-/tmp}/tonnik-$1.XXXXXX") || exit 1
  export HOME="$HOST_SCRATCH/home"
  export XDG_CONFIG_HOME="$HOME/.config" XDG_CACHE_HOME="$HOME/.cache" XDG_DATA_HOME="$HOME/.local/share"
  mkdir -p "$XDG_CONFIG_HOME" "$XDG_CACHE_HOME" "$XDG_DATA_HOME"
  mkfifo "$HOST_SCRATCH/stdin.fifo" || exit 1
  exec {HOST_STDIN_FD}<>"$HOST_SCRATCH/stdin.fifo"
  trap host_cleanup EXIT
  trap 'exit 130' INT
  trap 'exit 143' TERM
}

host_fail() { host_log "FAIL: $*"; exit 1; }

# host_start LOGNAME CMD ARGS...: start a background process whose output goes to
# $HOST_SCRATCH/LOGNAME.log; it is stopped by the cleanup trap. Its stdin is a FIFO that this
# script holds open and never writes, for programs (jalv) that quit at end of input.
host_start() {
  local log="$HOST_SCRATCH/$1.log"
  shift
  "$@" > "$log" 2>&1 <&"$HOST_STDIN_FD" &
  HOST_PIDS+=("$!")
  HOST_LAST_PID=$!
}

host_alive() { kill -0 "$1" 2>/dev/null; }

# A process that has been waited for leaves the list, so its pid (free for reuse) is never signalled.
host_forget() {
  local keep=() p
  for p in "${HOST_PIDS[@]}"; do [ "$p" = "$1" ] || keep+=("$p"); done
  HOST_PIDS=("${keep[@]}")
}

# host_start_jackd: a dummy-driver JACK server under a name no other test uses.
host_start_jackd() {
  local rate=$1 period=$2
  export JACK_DEFAULT_SERVER="tonnik-$$-$RANDOM"
  # Clients must not start a server of their own behind our back with a different setup.
  export JACK_NO_START_SERVER=1
  host_start jackd jackd -n "$JACK_DEFAULT_SERVER" -d dummy -r "$rate" -p "$period"
  HOST_JACKD_PID=$HOST_LAST_PID
  host_wait_port 'system:playback_1' "$HOST_JACKD_PID" || host_fail "jackd '$JACK_DEFAULT_SERVER' did not come up"
}

# host_wait_port PORT PID: wait until a JACK port exists while process PID is still alive.
host_wait_port() {
  local port=$1 pid=$2 deadline=$((SECONDS + HOST_PORT_WAIT_S))
  while [ "$SECONDS" -lt "$deadline" ]; do
    if timeout 5 jack_lsp 2>/dev/null | grep -qxF "$port"; then return 0; fi
    host_alive "$pid" || return 1
    sleep 0.2
  done
  return 1
}

# host_run LOGNAME TIMEOUT_S CMD ARGS...: run a process to its end like host_start does, but wait
# for it; a process still running after TIMEOUT_S seconds is killed and counts as a failure.
# Returns the process's exit status.
host_run() {
  local name=$1 limit=$2
  shift 2
  host_start "$name" "$@"
  local pid=$HOST_LAST_PID deadline=$((SECONDS + limit))
  while host_alive "$pid"; do
    if [ "$SECONDS" -ge "$deadline" ]; then
      host_log "$name still running after ${limit} s: killed"
      kill -KILL "$pid" 2>/dev/null
      wait "$pid" 2>/dev/null
      host_forget "$pid"
      return 124
    fi
    sleep 0.1
  done
  local rc=0
  wait "$pid" || rc=$?
  host_forget "$pid"
  return "$rc"
}

# Ardour 7.3 without its GUI now and then dies of a signal of its own making: its heap is found
# corrupted, mostly while an export is set up or torn down, as often with its own Reasonable Synth
# on the track as with this instrument (seen under gdb and glibc's malloc checking), and several
# times in a row on a loaded machine. Such a death gets up to four more tries from the same start;
# a script that fails or a check that fails never does.
# ardour_run NAME SCRIPT [DIR_TO_CLEAR]  (ARDOUR_TIMEOUT_S bounds each try)
ardour_run() {
  local name=$1 script=$2 clear=${3:-} rc=0 try
  host_run "$name" "$ARDOUR_TIMEOUT_S" ardour7-lua "$script" || rc=$?
  for try in 2 3 4 5; do
    [ "$rc" -gt 128 ] && [ "$rc" -ne 124 ] || break
    host_log "$name: ardour7-lua died of signal $((rc - 128)); try $try"
    tail -n 5 "$HOST_SCRATCH/$name.log" >&2
    cp "$HOST_SCRATCH/$name.log" "$HOST_SCRATCH/$name-try-$((try - 1)).log"
    if [ -n "$clear" ]; then
      rm -rf "$clear"
      [ -n "${TONNIK_EXPORT_DIR:-}" ] && mkdir -p "$TONNIK_EXPORT_DIR"
    fi
    rc=0
    host_run "$name" "$ARDOUR_TIMEOUT_S" ardour7-lua "$script" || rc=$?
  done
  return "$rc"
}

# An export preset of the session tests' own: 24-bit WAV without dither (Ardour's stock WAV preset
# dithers, and dither noise would differ between two exports and between the channels).
readonly ARDOUR_EXPORT_PRESET_ID=3c1b7a52-5e0f-4d8e-9a57-0e4f7b9d2a61
readonly ARDOUR_BWAV24_FORMAT_ID=e61c1d0f-95bd-48fb-b812-def99dbabe28

# ardour_session_setup HITS_LUA: what the Ardour session scripts need beside them, in the
# private config folder Ardour reads its Lua DSP scripts and export presets from (the hit
# generator HITS_LUA and the export preset), and the export folder; sets hits to the note
# frames HITS_LUA plays, comma-separated.
ardour_session_setup() {
  local hits_lua=$1 config="$XDG_CONFIG_HOME/ardour7"
  export TONNIK_SESSION_DIR="$HOST_SCRATCH/session" TONNIK_EXPORT_DIR="$HOST_SCRATCH/export"
  export TONNIK_EXPORT_PRESET=$ARDOUR_EXPORT_PRESET_ID
  mkdir -p "$TONNIK_EXPORT_DIR" "$config/scripts" "$config/export"
  cp "$hits_lua" "$config/scripts/tonnik_test_hits.lua"
  cat > "$config/export/tonnik-test.preset" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<ExportPreset id="$ARDOUR_EXPORT_PRESET_ID" name="Tonnik test: WAV 24 bit, no dither">
  <ExportFormat id="$ARDOUR_BWAV24_FORMAT_ID"/>
  <ExportFilename>
    <Folder relative="1" path="export"/>
    <Field name="label" enabled="0"/>
    <Field name="session" enabled="0"/>
    <Field name="snapshot" enabled="0"/>
    <Field name="timespan" enabled="1"/>
    <Field name="revision" enabled="0"/>
    <Field name="time" enabled="0" value="T_None"/>
    <Field name="date" enabled="0" value="D_None"/>
  </ExportFilename>
</ExportPreset>
XML
  hits=$(sed -n 's/^HITS = { *\(.*[0-9]\) *}.*/\1/p' "$hits_lua" | tr -d ' ')
  [ -n "$hits" ] || host_fail "no HITS in $hits_lua"
}

# host_parse_args "NAME..." ARGS...: each --NAME VALUE in ARGS (a dash in the option for an
# underscore in NAME) sets the variable NAME; every NAME is needed, and nothing else is taken.
host_parse_args() {
  local names=" $1 " name
  shift
  for name in $names; do printf -v "$name" ''; done
  while [ $# -gt 0 ]; do
    name=${1#--}
    name=${name//-/_}
    if ! [[ $1 == --* && $names == *" $name "* && $# -ge 2 ]]; then
      echo "unknown argument, or one without its value: $1" >&2
      exit 2
    fi
    printf -v "$name" '%s' "$2"
    shift 2
  done
  for name in $names; do
    [ -n "${!name}" ] || { echo "missing argument --${name//_/-}" >&2; exit 2; }
  done
}
