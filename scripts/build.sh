#!/usr/bin/env bash
# build.sh DIR [cmake options...]: configure (once) and build into DIR.
set -euo pipefail
cd "$(dirname "$0")/.."
dir=$1; shift
if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
fi
# Progress lines are noise in CI logs; errors and warnings still show.
status=0
cmake --build "$dir" -j "$(nproc)" -- --no-print-directory > "$dir/build.log" 2>&1 || status=$?
grep -v -E '^\[ *[0-9]+%\]' "$dir/build.log" || true
exit "$status"
