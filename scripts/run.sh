#!/usr/bin/env bash
# Installs what is missing, builds and starts the app. Extra arguments go to the program
# (for example --data-dir DIR, --port N, --lang es, --no-browser).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build
exec build/marrowkeeper "$@"
