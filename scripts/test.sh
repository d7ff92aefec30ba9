#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: the unit suites, the same suites
# under AddressSanitizer + UndefinedBehaviorSanitizer, the benchmark smoke run and the
# browser end-to-end tests.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh

echo "== build (release) =="
scripts/build.sh build
echo "== unit tests =="
(cd build && ctest --output-on-failure -j "$(nproc)")

echo "== build (ASan + UBSan) =="
scripts/build.sh build-asan -DMK_SANITIZE=ON
echo "== unit tests under sanitizers =="
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    ctest --output-on-failure -j "$(nproc)")

if [ -x build/mk_bench ]; then
    echo "== benchmark smoke run (small ledger) =="
    ledger=$(build/mk_bench --small --benchmark_min_time=0.01 | sed -n 's/^ledger: //p')
    node bench/paint.bench.mjs --small --ledger "$ledger" >/dev/null
    echo "benchmarks ran"
fi

if ls tests/e2e/*.test.mjs >/dev/null 2>&1; then
    echo "== browser end-to-end tests =="
    MK_BINARY="$PWD/build/marrowkeeper" node --test --test-concurrency=1 tests/e2e/
fi
