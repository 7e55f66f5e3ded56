#!/bin/sh
# Installs what is missing, builds Ardvel and starts it.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build -j"$(nproc)"
if [ -x build/src/gui/ardvel ] && [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
    exec build/src/gui/ardvel "$@"
fi
exec build/src/cli/ardvel-cli "${@:---help}"
