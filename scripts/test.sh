#!/bin/sh
# Installs what is missing, checks the formatting of the sources, builds
# Ardvel and runs every test: the normal
# build, a build with AddressSanitizer and UndefinedBehaviorSanitizer, and
# the fuzz targets side by side for 45 seconds.
set -eu
cd "$(dirname "$0")/.."
./scripts/install-deps.sh --test
JOBS="$(nproc)"
export QT_QPA_PLATFORM=offscreen

echo "== formatting"
./scripts/check-format.sh

echo "== build and test"
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=Release -DARDVEL_WERROR=ON >/dev/null
cmake --build build -j"$JOBS"
ctest --test-dir build --output-on-failure -j"$JOBS"
echo "== Debian package"
(cd build && cpack -G DEB >/dev/null && ls ardvel_*.deb)

echo "== build and test with AddressSanitizer and UndefinedBehaviorSanitizer"
# Line tables only: enough for the sanitizers' reports, and a third quicker to build.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG=-g1 -DARDVEL_SANITIZE=ON \
    -DARDVEL_BENCH=OFF >/dev/null
cmake --build build-asan -j"$JOBS"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-asan --output-on-failure -j"$JOBS"

echo "== fuzz targets, 45 seconds each, side by side"
CXX=clang++ CC=clang cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=Debug -DARDVEL_FUZZ=ON \
    -DARDVEL_SANITIZE=ON -DARDVEL_TESTS=OFF -DARDVEL_BENCH=OFF -DARDVEL_GUI=OFF >/dev/null
cmake --build build-fuzz -j"$JOBS"
names=""
for target in build-fuzz/fuzz/*_fuzz; do
    [ -x "$target" ] || continue
    name="$(basename "$target")"
    corpus="build-fuzz/corpus-$name"
    mkdir -p "$corpus"
    # The catalog reader gets long inputs from the start (-len_control=0),
    # so its texts reach the string cap.
    lengths="-max_len=8192"
    if [ "$name" = catalog_fuzz ]; then lengths="-max_len=200000 -len_control=0"; fi
    # shellcheck disable=SC2086
    (if "$target" -max_total_time=45 $lengths -rss_limit_mb=2048 "$corpus" >"$corpus.log" 2>&1; then
        echo 0
    else
        echo 1
    fi >"$corpus.status") &
    names="$names $name"
done
wait
for name in $names; do
    corpus="build-fuzz/corpus-$name"
    echo "-- $name"
    if [ "$(cat "$corpus.status" 2>/dev/null)" != 0 ]; then
        tail -n 60 "$corpus.log"
        echo "fuzz target $name failed"
        exit 1
    fi
    tail -n 2 "$corpus.log"
done
echo "== all tests passed"
