#!/bin/sh
# Runs a program under its own X server and a private GNUstep home, and
# stops everything it started however it ends. The server picks a free
# display (-displayfd), so several of these run side by side.
#   run_under_xvfb.sh SECONDS PROGRAM [ARGS...]
set -u
limit=$1
shift

work=$(mktemp -d /tmp/tonnik_xvfb_XXXXXX) || exit 1
xvfb_pid=""
# GNUstep starts helper daemons (the notification server gdnc, the
# pasteboard server gpbs) that leave the process group. They inherit the
# private home folder, which marks them as this run's own.
stop_daemons() {
  for environ in /proc/[0-9]*/environ; do
    pid=${environ#/proc/}
    pid=${pid%/environ}
    if { tr '\000' '\n' <"$environ"; } 2>/dev/null | grep -qx "HOME=$work/home"; then
      kill "$pid" 2>/dev/null
    fi
  done
}
cleanup() {
  stop_daemons
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM HUP

Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset 3>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
tries=0
while [ ! -s "$work/display" ]; do
  tries=$((tries + 1))
  if [ $tries -gt 100 ] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
    echo "run_under_xvfb: the X server did not start" >&2
    cat "$work/xvfb.log" >&2
    exit 1
  fi
  sleep 0.1
done

# GNUstep keeps its defaults and caches under the home folder; a private
# one leaves the user's alone and starts every run the same.
mkdir -p "$work/home"
DISPLAY=":$(cat "$work/display")" HOME="$work/home" GNUSTEP_USER_ROOT="$work/home/GNUstep" \
  timeout -k 5 "$limit" "$@"
status=$?
exit $status
