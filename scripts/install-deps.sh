#!/bin/sh
# Installs what building and testing Ardvel needs on Debian 12, skipping
# whatever is already there. Safe to run again.
set -eu

PACKAGES="build-essential cmake ninja-build pkg-config git
libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
locales qt6-base-dev libgl-dev util-linux librsvg2-bin libutf8proc-dev"

if [ "${1:-}" = "--test" ]; then
    # Tools the tests drive: real tag writers, a reference tag reader,
    # an ISO image maker, hyperfine-free timing helpers, and ncdu for the
    # exchange of its JSON exports.
    PACKAGES="$PACKAGES libtag1-dev python3-mutagen eyed3 id3v2 xorriso time ncdu"
    # Validators of the installed desktop entry, AppStream data, manual
    # pages, shell completions and Debian package.
    PACKAGES="$PACKAGES desktop-file-utils appstream man-db dpkg-dev bash-completion zsh fish"
    # The formatter the sources are checked with.
    PACKAGES="$PACKAGES clang-format"
fi

missing=""
for p in $PACKAGES; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
        missing="$missing $p"
    fi
done

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

if [ -n "$missing" ]; then
    echo "Installing:$missing"
    $SUDO apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends $missing
fi

# The tests pin two locales with different separators.
if [ "${1:-}" = "--test" ]; then
    need_gen=0
    for l in en_US.UTF-8 de_DE.UTF-8; do
        if ! locale -a 2>/dev/null | grep -qi "^$(echo "$l" | sed 's/UTF-8/utf8/')\$"; then
            need_gen=1
            $SUDO sed -i "s/^# *\($l UTF-8\)/\1/" /etc/locale.gen
            grep -q "^$l UTF-8" /etc/locale.gen || echo "$l UTF-8" | $SUDO tee -a /etc/locale.gen >/dev/null
        fi
    done
    if [ "$need_gen" = 1 ]; then $SUDO locale-gen >/dev/null; fi
fi
