#!/usr/bin/env bash
# Installs what is missing, builds, and runs the full benchmark on the five-year ledger
# (generated once into build/ and reused). Extra arguments go to build/mk_bench, for
# example --years 20 (a twenty-year ledger, likewise cached), --small, --ledger PATH or
# --benchmark_filter=journal.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build
exec build/mk_bench "$@"
