#!/usr/bin/env bash
# Installs what the build, the app and the tests need: Debian packages, then the npm
# packages of package-lock.json. Idempotent and quiet when everything is there.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(build-essential cmake pkg-config git libsqlite3-dev libicu-dev libcurl4-openssl-dev
          libcpp-httplib-dev nlohmann-json3-dev libgtest-dev libgmock-dev libbenchmark-dev
          libxlsxwriter-dev libgmime-3.0-dev clang-format chromium python3 python3-aiosmtpd
          python3-openpyxl sqlite3 tzdata)
missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
# Node.js may come from elsewhere than Debian (with its own npm): look for the commands.
command -v node >/dev/null 2>&1 || missing+=(nodejs)
command -v npm >/dev/null 2>&1 || missing+=(npm)
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    sudo=""
    if [ "$(id -u)" != 0 ]; then sudo="sudo"; fi
    export DEBIAN_FRONTEND=noninteractive
    $sudo apt-get update -qq
    $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

# npm packages for the browser tests, re-installed only when the lock file changed.
if [ -f package-lock.json ]; then
    stamp=node_modules/.lock-stamp
    if [ ! -f "$stamp" ] || ! cmp -s package-lock.json "$stamp"; then
        npm ci --no-audit --no-fund --loglevel=error >/dev/null
        cp package-lock.json "$stamp"
    fi
fi
