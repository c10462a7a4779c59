#!/usr/bin/env bash
# Builds the fuzz targets with clang (libFuzzer, ASan, UBSan) in build-fuzz/
# and runs each for a bounded time from its seeds and the corpus kept there.
#   tests/fuzz/run.sh [seconds per target, default 60] [target ...]
# Targets: fuzz-font, fuzz-module (both by default). Fails on any crash,
# leak, timeout or sanitizer report; the input that caused it is left in
# build-fuzz/fuzz-artifacts/ and the log in build-fuzz/fuzz-logs/.
set -euo pipefail
cd "$(dirname "$0")/../.."

seconds=${1:-60}
shift || true
targets=("$@")
[[ ${#targets[@]} -eq 0 ]] && targets=(fuzz-font fuzz-module)

build=build-fuzz
scripts/install-deps.sh --fuzz
cmake -S . -B "$build" -DDEMO_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}" fuzz_seeds

export SDL_AUDIODRIVER=dummy
mkdir -p "$build/fuzz-artifacts" "$build/fuzz-logs"
status=0
for target in "${targets[@]}"; do
    kind=${target#fuzz-}
    corpus="$build/fuzz-corpus/$kind"
    log="$build/fuzz-logs/$target.log"
    mkdir -p "$corpus"
    echo "fuzz: $target for ${seconds}s (log $log)"
    if "$build/tests/fuzz/$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$build/fuzz-artifacts/$target-" \
        "$corpus" "$build/fuzz-seeds/$kind" >"$log" 2>&1; then
        # The last status line, then the totals.
        grep -E '^#[0-9]+' "$log" | tail -n1
        grep -E '^stat::(number_of_executed_units|peak_rss_mb|new_units_added)' "$log" || true
    else
        status=1
        echo "fuzz: $target FAILED; last lines of $log:" >&2
        tail -n 40 "$log" >&2
    fi
done
exit $status
