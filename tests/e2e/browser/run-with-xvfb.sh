#!/usr/bin/env bash
# Runs a program on an X server of its own: Xvfb picks a free display
# number (-displayfd), listens on no TCP port, and is stopped when the
# program ends. Browser data and caches go to a temporary directory that is
# removed afterwards.
set -euo pipefail
if [ $# -lt 1 ]; then
  echo "usage: $0 program [arguments...]" >&2
  exit 2
fi

scratch=$(mktemp -d)
xvfb_pid=""
cleanup() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
  fi
  rm -rf "$scratch"
}
trap cleanup EXIT

mkfifo "$scratch/display"
Xvfb -displayfd 3 -nolisten tcp -screen 0 1280x800x24 3>"$scratch/display" 2>"$scratch/xvfb.log" &
xvfb_pid=$!
display=""
if ! read -r -t 30 display <"$scratch/display" || [ -z "$display" ]; then
  echo "Xvfb did not start:" >&2
  cat "$scratch/xvfb.log" >&2
  exit 1
fi

export DISPLAY=":$display"
export XDG_DATA_HOME="$scratch/data" XDG_CACHE_HOME="$scratch/cache" XDG_CONFIG_HOME="$scratch/config"
unset WAYLAND_DISPLAY
status=0
"$@" || status=$?
exit $status
