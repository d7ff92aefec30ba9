#!/usr/bin/env bash
# Installs what is missing, builds, and runs the full benchmark on the five-year ledger
# (generated once into build/ and reused). Extra arguments go to build/mk_bench, for
# example --years 20 (a twenty-year ledger, likewise cached), --small, --ledger PATH or
# --benchmark_filter=journal.
# Then times tap-to-paint in the browser on a copy of the same ledger (bench/paint.bench.mjs).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build
out=$(mktemp)
trap 'rm -f "$out"' EXIT
status=0
# Line-buffered, so the progress shows while it runs.
stdbuf -oL build/mk_bench "$@" | tee "$out" || status=$?
ledger=$(sed -n 's/^ledger: //p' "$out")
[ -n "$ledger" ] || exit "$((status ? status : 1))"
node bench/paint.bench.mjs --ledger "$ledger" "$@" || status=$((status ? status : $?))
exit "$status"
