#!/usr/bin/env bash
# Checks that every tracked C++ file is formatted as .clang-format says.
#   scripts/check-format.sh          report the files that differ; status 1 if any
#   scripts/check-format.sh --fix    format them in place
# The tree is formatted with clang-format 14 (Debian 12's, Ubuntu 22.04's);
# other versions place some lines differently, so with another version the
# check says so and is skipped rather than failed.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh --format
version=$(clang-format --version | sed -n 's/.*version \([0-9]*\).*/\1/p')
if [[ "$version" != 14 ]]; then
    echo "check-format: skipped: clang-format $version is installed; the tree is formatted with 14" >&2
    exit 0
fi

mapfile -t files < <(git ls-files '*.cpp' '*.h')
if [[ "${1:-}" == "--fix" ]]; then
    clang-format -i "${files[@]}"
    exit 0
fi
if ! clang-format --dry-run --Werror "${files[@]}" 2>/dev/null; then
    clang-format --dry-run "${files[@]}" 2>&1 | sed -n 's/^\([^:]*\):.*warning:.*/\1/p' | sort -u |
        sed 's/^/check-format: not formatted: /' >&2
    echo "check-format: scripts/check-format.sh --fix formats them" >&2
    exit 1
fi
echo "check-format: ${#files[@]} files formatted as .clang-format says"
