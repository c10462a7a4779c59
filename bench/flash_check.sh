#!/usr/bin/env bash
# The show's flashing, measured: the whole show captured at a size, as it is
# and with --reduce-flashing, each judged by flash-check (tools/). At 160x120
# the show as it is must fail in the seconds it fails in today, and no
# others; at any size the reduced show must pass every second with at most
# two flashes in any one.
#   bench/flash_check.sh [build directory, default build] [size, default 160x120]
# Prints flash-check's table by scene and summary for both; status 1 when
# either expectation fails. About five minutes of CPU at 160x120 (the
# captures), an hour at 1024x768. Uses $DISPLAY, or its own Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
size=${2:-160x120}

# The seconds the show as it is fails in today at 160x120, by the rules
# flash-check applies (other sizes differ by a second here and there).
failing_today="2-15 50-52 57 60-63 65 68-70 75-76"

cmake --build "$build" -j2 --target demo-capture flash-check >/dev/null
export SDL_AUDIODRIVER=dummy
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# The seconds of flash-check's per-second lines marked as failing, as ranges.
failing_seconds() {
    awk '/ fails$/ { print $1 }' "$1" |
        awk 'NR == 1 { first = last = $1; next }
             $1 == last + 1 { last = $1; next }
             { printf "%s ", (first == last ? first : first "-" last); first = last = $1 }
             END { if (NR) printf "%s", (first == last ? first : first "-" last) }'
}

status=0
for mode in plain reduced; do
    options=()
    [[ $mode == reduced ]] && options=(--reduce-flashing)
    scripts/with-display.sh "$build/demo-capture" --quiet "${options[@]}" --size "$size" \
        --module "$build/demosong.it" --font "$build/fontpre.tga" \
        --timeline "$work/$mode.timeline" -o "$work/$mode"
    set +e
    "$build/flash-check" --timeline "$work/$mode.timeline" "$work/$mode" >"$work/$mode.txt"
    verdict=$?
    set -e
    echo "The show at $size, $mode:"
    grep -v '^ *[0-9]* s ' "$work/$mode.txt"
    failing=$(failing_seconds "$work/$mode.txt")
    echo "failing seconds: ${failing:-none}"
    if [[ $mode == plain && $size == 160x120 && $failing != "$failing_today" ]]; then
        echo "flash_check: the show as it is fails in seconds '$failing', not '$failing_today'" >&2
        status=1
    fi
    if [[ $mode == reduced ]] && { [[ $verdict != 0 ]] || grep -qE 'general +(2\.5|[3-9]|[1-9][0-9])' "$work/$mode.txt" ||
                                     grep -qE 'red +(2\.5|[3-9]|[1-9][0-9])' "$work/$mode.txt"; }; then
        echo "flash_check: the reduced show has more than two flashes in a second" >&2
        status=1
    fi
    rm -rf "${work:?}/$mode"
done
exit $status
