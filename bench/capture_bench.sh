#!/usr/bin/env bash
# The capture's benchmark: how long demo-capture takes for what people ask
# of it, beside the length of the show it captures, and the quality of its
# video. Medians of three runs, wall-clock seconds.
#   bench/capture_bench.sh [build directory, default build] [runs, default 3]
#
#   video     the whole show to MP4 at 640x480, 60 fps, the default preset
#   upload    the whole show to MP4 at 1440x1080 (--size 1080p), and ten
#             seconds (40 to 50 s) at 2880x2160 (--size 2160p): the sizes for
#             video sites, each at its default preset
#   range     -o frames --from 85s --to 86s: one second of pictures
#   pictures  the README's seven pictures, as scripts/make-pictures.sh takes
#             them: a timeline, six pictures, one at 1920x1080
#   quality   SSIM (all planes) and PSNR of ten seconds of video (40 to 50 s),
#             at the default preset and at medium, against a lossless encode
#             of the same frames in the same pixel format
# Uses $DISPLAY, or starts its own Xvfb when none is set.
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build}
runs=${2:-3}

cmake --build "$build" -j"$(nproc)" --target demo-capture >/dev/null
export SDL_AUDIODRIVER=dummy
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
capture=("$build/demo-capture" --quiet --module "$build/demosong.it" --font "$build/fontpre.tga")

# The median of the wall-clock seconds of runs of a command.
median() {
    local times=()
    for _ in $(seq "$runs"); do
        local start end
        start=$(date +%s.%N)
        "$@" >/dev/null
        end=$(date +%s.%N)
        times+=("$(echo "$end - $start" | bc)")
        rm -rf "$work/out" && mkdir "$work/out"
    done
    printf '%s\n' "${times[@]}" | sort -n | awk '{ t[NR] = $1 } END { printf "%.1f", t[int((NR + 1) / 2)] }'
}

pictures() {
    "${capture[@]}" --timeline "$work/out/timeline.txt"
    "${capture[@]}" --only 480,1582,2144,3245,4167,5088 -o "$work/out/frames"
    "${capture[@]}" --size 1920x1080 --only 4167 -o "$work/out/screen"
}

mkdir -p "$work/out"
"${capture[@]}" --timeline "$work/timeline.txt"
show=$(awk '!/^#/ { last = $1 } END { printf "%.1f", (last + 1) / 60 }' "$work/timeline.txt")

video=$(median "${capture[@]}" -o "$work/out/show.mp4")
upload=$(median "${capture[@]}" --size 1080p -o "$work/out/show.mp4")
upload4k=$(median "${capture[@]}" --size 2160p --from 40s --to 50s -o "$work/out/show.mp4")
range=$(median "${capture[@]}" --from 85s --to 86s -o "$work/out/frames")
stills=$(median pictures)

# Quality: ten seconds as lossless pictures, then each encode against them.
"${capture[@]}" --from 40s --to 50s -o "$work/frames"
ffmpeg -hide_banner -loglevel error -framerate 60 -start_number 2400 -i "$work/frames/frame-%06d.png" \
    -pix_fmt yuv420p -c:v ffv1 "$work/lossless.mkv"
quality() {
    "${capture[@]}" --from 40s --to 50s --preset "$1" -o "$work/$1.mp4"
    # NOTE: both numbered afresh at 60 fps, so that frame n meets frame n whatever the
    # containers' time bases round to.
    local pair="[0:v]settb=1/60,setpts=N[a];[1:v]settb=1/60,setpts=N[b];[a][b]"
    ffmpeg -hide_banner -i "$work/$1.mp4" -i "$work/lossless.mkv" -lavfi "${pair}ssim" -f null - 2>&1 |
        grep SSIM >"$work/quality.txt"
    ffmpeg -hide_banner -i "$work/$1.mp4" -i "$work/lossless.mkv" -lavfi "${pair}psnr" -f null - 2>&1 |
        grep PSNR >>"$work/quality.txt"
    awk -v preset="$1" -v size="$(stat -c %s "$work/$1.mp4")" '
        /SSIM/ { sub(/.*All:/, ""); ssim = $1 }
        /PSNR/ { sub(/.*average:/, ""); psnr = $1 }
        END { printf "| %s | %.4f | %.2f dB | %.1f MB |\n", preset, ssim, psnr, size / 1e6 }' "$work/quality.txt"
}

echo "Show: $show s"
echo
echo "| Capture | seconds (median of $runs) | ÷ show |"
echo "|---|---|---|"
printf '| whole show to MP4 | %s | %.2f |\n' "$video" "$(echo "$video / $show" | bc -l)"
printf '| whole show to MP4 at 1440x1080 | %s | %.2f |\n' "$upload" "$(echo "$upload / $show" | bc -l)"
printf '| ten seconds (40 to 50 s) to MP4 at 2880x2160 | %s | %.2f (÷ 10 s) |\n' "$upload4k" "$(echo "$upload4k / 10" | bc -l)"
printf '| one second of pictures at 85 s | %s | %.3f |\n' "$range" "$(echo "$range / $show" | bc -l)"
printf '| the seven README pictures | %s | %.3f |\n' "$stills" "$(echo "$stills / $show" | bc -l)"
echo
echo "| Preset (40 to 50 s) | SSIM | PSNR | size |"
echo "|---|---|---|---|"
quality "$(sed -n 's/.*defaultVideoPreset\[\] = "\(.*\)";/\1/p' capture/options.h)"
quality medium
