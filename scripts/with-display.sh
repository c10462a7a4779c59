#!/usr/bin/env bash
# Runs a command on an X display: the one in $DISPLAY when it is set, else a
# private Xvfb started for the command and stopped when it ends.
#   scripts/with-display.sh command [arguments ...]
# The command's exit status is this script's.
set -euo pipefail
[[ $# -gt 0 ]] || { echo "usage: scripts/with-display.sh command [arguments ...]" >&2; exit 2; }
if [[ -n "${DISPLAY:-}" ]]; then
    exec "$@"
fi

numberfile=$(mktemp)
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$numberfile" >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true; rm -f "$numberfile"' EXIT
for _ in $(seq 100); do [[ -s "$numberfile" ]] && break; sleep 0.1; done
[[ -s "$numberfile" ]] || { echo "with-display: Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(head -n1 "$numberfile")"

status=0
"$@" || status=$?
exit $status
