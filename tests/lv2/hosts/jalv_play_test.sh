#!/usr/bin/env bash
# jalv plays an LV2 instrument on a dummy-driver JACK server of its own; jack_midiseq loops
# notes into it and jack_capture records its outputs. The recording must hold a hit at every
# note's exact frame (wavcheck.py explains what "exact" can mean across JACK clients).
#
# Usage: jalv_play_test.sh --uri URI --lv2-path DIR --midi-in SYMBOL --outs SYM1,SYM2
#                          [--control SYMBOL=VALUE]... [--same-channels] [--delay FRAMES]
set -u
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../../support/private_shm.sh"
source "$here/host_env.sh"

# One server setup for every run: 48 kHz is a rate the voice is defined for, 512 frames a
# period small enough that the loop below spans many blocks.
readonly RATE=48000 PERIOD=512
# The loop is a whole number of periods (96, 1.024 s) so every pass puts a note at the same
# frame within its block. The notes fall at the start (37), the middle (300) and the very last
# frame (511) of a block, far enough apart (16 k frames) for a short hit to die away between them.
readonly LOOP=$((96 * PERIOD))
readonly STARTS=(37 $((32 * PERIOD + 300)) $((64 * PERIOD + 511)))
readonly NOTE=36 NOTE_FRAMES=1000
# Three loops of recording: nine hits, enough to show the pattern repeats without drift.
readonly RECORD_S=3.2
# A step that takes longer than this has hung.
readonly STEP_TIMEOUT_S=30

uri= lv2_path= midi_in= outs= controls=() check_args=()
while [ $# -gt 0 ]; do
  case $1 in
    --uri) uri=$2; shift ;;
    --lv2-path) lv2_path=$2; shift ;;
    --midi-in) midi_in=$2; shift ;;
    --outs) outs=$2; shift ;;
    --control) controls+=(-c "$2"); shift ;;
    --same-channels) check_args+=(--same-channels) ;;
    --delay) check_args+=(--delay "$2"); shift ;;
    *) echo "unknown argument $1" >&2; exit 2 ;;
  esac
  shift
done
[ -n "$uri" ] && [ -n "$lv2_path" ] && [ -n "$midi_in" ] && [ -n "$outs" ] || { echo "missing arguments" >&2; exit 2; }

host_env_init jalv
export LV2_PATH=$lv2_path
started=$SECONDS

host_start_jackd "$RATE" "$PERIOD"
host_log "jackd '$JACK_DEFAULT_SERVER' up"

client=tonnik_jalv
host_start jalv jalv -x -n "$client" "${controls[@]}" "$uri"
jalv_pid=$HOST_LAST_PID
IFS=, read -r out1 out2 <<< "$outs"
host_wait_port "$client:$out1" "$jalv_pid" || host_fail "jalv did not register $client:$out1"
host_log "jalv up: $(timeout 5 jack_lsp | grep "^$client:" | tr '\n' ' ')"

seq_args=()
for s in "${STARTS[@]}"; do seq_args+=("$s" "$NOTE" "$NOTE_FRAMES"); done
host_start midiseq jack_midiseq tonnik_seq "$LOOP" "${seq_args[@]}"
seq_pid=$HOST_LAST_PID
host_wait_port 'tonnik_seq:out' "$seq_pid" || host_fail "jack_midiseq did not register its port"
timeout "$STEP_TIMEOUT_S" jack_connect tonnik_seq:out "$client:$midi_in" || host_fail "cannot connect the sequencer to $client:$midi_in"

# An xrun leaves the clients that missed the cycle a period out of step with the others for
# the rest of the run (each counts its own frames), so a take that jackd interrupted proves
# nothing either way: it is taken again, and a take without xruns must match.
readonly MAX_TAKES=3
xrun_count() { grep -ci 'xrun' "$HOST_SCRATCH/jackd.log"; }
starts_csv=$(IFS=,; echo "${STARTS[*]}")
for take in $(seq 1 "$MAX_TAKES"); do
  wav="$HOST_SCRATCH/take$take.wav"
  xruns_before=$(xrun_count)
  host_run "capture$take" "$STEP_TIMEOUT_S" jack_capture -d "$RECORD_S" -b 32 -c 2 -p "$client:$out1" \
    -p "$client:$out2" --daemon "$wav" || host_fail "jack_capture failed"
  host_alive "$jalv_pid" || host_fail "jalv died while playing"
  if python3 "$here/wavcheck.py" hits "$wav" --period "$PERIOD" --loop "$LOOP" --starts "$starts_csv" \
    --hit-length 2000 --min-hits 6 "${check_args[@]}"; then
    break
  fi
  [ "$(xrun_count)" -gt "$xruns_before" ] || host_fail "recording does not match the sequence"
  [ "$take" -lt "$MAX_TAKES" ] || host_fail "jackd reported xruns during each of $MAX_TAKES takes"
  host_log "take $take: jackd reported xruns, taking again"
done
host_log "done in $((SECONDS - started)) s"
