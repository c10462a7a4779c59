#!/usr/bin/env bash
# Runs a command with a private X display (Xvfb) and a private sound server
# (PulseAudio playing into a null sink), whatever DISPLAY says, so that a
# browser run by the command gets WebGL2 and audio without showing a window
# on the desktop or playing through its speakers.
#   scripts/with-display-and-sound.sh command [arguments ...]
# Both are stopped when the command ends, however it ends; the command's exit
# status is this script's. Works as root too.
set -euo pipefail
[[ $# -gt 0 ]] || { echo "usage: scripts/with-display-and-sound.sh command [arguments ...]" >&2; exit 2; }

folder=$(mktemp -d "${TMPDIR:-/tmp}/boxdemo-session-XXXXXX")
xvfb=
pulse=
stop() {
    for server in $pulse $xvfb; do
        kill "$server" 2>/dev/null || true
        wait "$server" 2>/dev/null || true
    done
    rm -rf "$folder"
}
trap stop EXIT
trap 'exit 130' INT
trap 'exit 143' TERM
trap 'exit 129' HUP

Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$folder/display" >/dev/null 2>&1 &
xvfb=$!

# NOTE: PulseAudio refuses nothing as root when told --system=false, but it
# would keep its state in root's home and a runtime folder of its own
# choosing; everything goes into the private folder instead, and the socket
# takes clients without a cookie. As root it would also raise its own
# priority, ahead of the builds sharing the machine: a sink that plays to
# nobody does not need it.
mkdir -m 700 "$folder/pulse" "$folder/home"
export PULSE_RUNTIME_PATH="$folder/pulse"
export PULSE_SERVER="unix:$folder/pulse/native"
export PULSE_COOKIE="$folder/pulse/cookie"
HOME="$folder/home" XDG_CONFIG_HOME="$folder/home" \
    pulseaudio --daemonize=no --system=false --exit-idle-time=-1 --disallow-exit -n \
    --realtime=false --high-priority=false --use-pid-file=false --log-target=stderr --log-level=error \
    --load=module-null-sink \
    --load="module-native-protocol-unix socket=$folder/pulse/native auth-anonymous=1" \
    >/dev/null 2>"$folder/pulse.log" &
pulse=$!

for _ in $(seq 100); do
    [[ -s $folder/display && -S $folder/pulse/native ]] && break
    kill -0 "$xvfb" 2>/dev/null && kill -0 "$pulse" 2>/dev/null || break
    sleep 0.1
done
[[ -s $folder/display ]] || { echo "with-display-and-sound: Xvfb did not start" >&2; exit 1; }
[[ -S $folder/pulse/native ]] || {
    echo "with-display-and-sound: PulseAudio did not start: $(tail -n1 "$folder/pulse.log")" >&2
    exit 1
}
export DISPLAY=":$(head -n1 "$folder/display")"

status=0
"$@" || status=$?
exit $status
