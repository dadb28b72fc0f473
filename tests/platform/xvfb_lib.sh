# Shared by the tests that run real X clients: a private Xvfb on a display
# number it picks itself, processes that are always ended, bounded waits.
# Source it, then call start_xvfb; every process started with `spawn` is
# killed by its id when the test exits, however it exits.

set -u
TMP=$(mktemp -d)
PIDS=()

cleanup() {
  local pid
  for ((i = ${#PIDS[@]} - 1; i >= 0; i--)); do
    pid=${PIDS[i]}
    kill "$pid" 2>/dev/null && { for _ in $(seq 20); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done; }
    kill -9 "$pid" 2>/dev/null
  done
  rm -rf "$TMP"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

fail() {
  echo "FAIL: $*" >&2
  [ -n "${KEEP_FAILED:-}" ] && cp -r "$TMP" "$KEEP_FAILED"
  exit 1
}

# spawn OUT ERR COMMAND...: starts COMMAND in the background; its id goes to
# PIDS and to SPAWNED.
spawn() {
  local out=$1 err=$2
  shift 2
  "$@" >"$out" 2>"$err" &
  SPAWNED=$!
  PIDS+=("$SPAWNED")
}

# wait_for SECONDS COMMAND...: true once COMMAND succeeds, false on timeout.
wait_for() {
  local tries=$(($1 * 10))
  shift
  for _ in $(seq "$tries"); do "$@" && return 0; sleep 0.1; done
  return 1
}

start_xvfb() {  # start_xvfb [WxH]: the screen's size, 640x700 unless given
  Xvfb -displayfd 3 -screen 0 "${1:-640x700}x24" -nolisten tcp -noreset 3>"$TMP/display" >"$TMP/xvfb.log" 2>&1 &
  XVFB_PID=$!
  PIDS+=("$XVFB_PID")
  wait_for 10 test -s "$TMP/display" || fail "Xvfb did not start: $(cat "$TMP/xvfb.log")"
  export DISPLAY=":$(head -1 "$TMP/display")"
}

# The pixel difference count of two images of the same size.
pixel_difference() { compare -metric AE "$1" "$2" null: 2>&1 || true; }

# start_jackd: a private JACK server on the dummy backend at 48 kHz, named
# after this test so that tests of other programs can run beside it.
# JACK allows only a few servers on a machine at once: when they are all
# taken (by tests running beside this one), it waits for one to end.
start_jackd() {
  export JACK_DEFAULT_SERVER="tonnik_test_$$_$RANDOM" JACK_NO_AUDIO_RESERVATION=1 JACK_NO_START_SERVER=1
  for _ in $(seq 30); do
    spawn "$TMP/jackd.log" "$TMP/jackd.err" jackd --no-realtime -n "$JACK_DEFAULT_SERVER" -d dummy -r 48000 -p 256
    wait_for 10 bash -c "jack_lsp 2>/dev/null | grep -q system:playback_1 || ! kill -0 $SPAWNED 2>/dev/null"
    jack_lsp 2>/dev/null | grep -q system:playback_1 && return 0
    grep -q "Too many servers" "$TMP/jackd.err" || break
    kill "$SPAWNED" 2>/dev/null
    sleep 1
  done
  fail "jackd did not start: $(cat "$TMP/jackd.err")"
}

# record FILE SECONDS PORT...: records the ports with jack_capture in the
# background; RECORDER is its id.
record() {
  local file=$1 seconds=$2
  shift 2
  local ports=()
  for p in "$@"; do ports+=(-p "$p"); done
  spawn "$TMP/capture.log" "$TMP/capture.err" timeout $((${seconds%.*} + 10)) jack_capture -d "$seconds" -c "$#" \
    "${ports[@]}" -dc -f wav "$file"
  RECORDER=$SPAWNED
  sleep 0.5
}

# expect_trigger_heard PORT WINDOW [X Y]: records PORT while the editor's
# trigger button in WINDOW is clicked (at X, Y; by default on its rim), and
# fails unless the hit is heard after the recording's silent start. Needs
# PEAK (wav_peak) and LOUD (the level).
expect_trigger_heard() {
  record "$TMP/trigger.wav" 1.5 "$1"
  sleep 0.3
  timeout 5 xdotool mousemove --window "$2" "${3:-150}" "${4:-445}" click 1 || fail "xdotool could not click the trigger"
  wait "$RECORDER"
  read -r _ peak _ first _ < <("$PEAK" "$TMP/trigger.wav" "$LOUD")
  awk "BEGIN {exit !($peak >= $LOUD && $first > 4800)}" || fail "the trigger is not heard (peak $peak at $first)"
  echo "the trigger is heard: peak $peak from frame $first"
}
