#!/bin/bash
# Builds the Debian package with cpack into a temporary folder and checks its
# control data and contents with dpkg-deb.
# Usage: deb_test.sh BUILD_DIR VERSION APP_ID WITH_GUI(0|1)
set -u
build=$1 version=$2 app=$3 with_gui=$4

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

if ! (cd "$tmp" && cpack -G DEB -B "$tmp" --config "$build/CPackConfig.cmake") >"$tmp/cpack.log" 2>&1; then
    cat "$tmp/cpack.log" >&2
    echo "FAIL: cpack -G DEB" >&2
    exit 1
fi
arch=$(dpkg --print-architecture)
deb=$tmp/ardvel_${version}_$arch.deb
[ -f "$deb" ] || { ls "$tmp" >&2; echo "FAIL: no $deb" >&2; exit 1; }

dpkg-deb --info "$deb" >"$tmp/info" || fail "dpkg-deb --info"
field() { dpkg-deb --field "$deb" "$1"; }
[ "$(field Package)" = ardvel ] || fail "Package: $(field Package)"
[ "$(field Version)" = "$version" ] || fail "Version: $(field Version)"
[ "$(field Architecture)" = "$arch" ] || fail "Architecture: $(field Architecture)"
[ "$(field Section)" = utils ] || fail "Section: $(field Section)"
[ -n "$(field Maintainer)" ] || fail "no Maintainer"
[ -n "$(field Description)" ] || fail "no Description"
# The dependencies come from the linked libraries, with versions.
depends=$(field Depends)
echo "$depends" | grep -q -E '(^|, )libc6 \(>= [0-9.]+\)' || fail "Depends lacks a versioned libc6: $depends"
echo "$depends" | grep -q -E '(^|, )libstdc\+\+6 \(>= [0-9.]+\)' || fail "Depends lacks libstdc++6: $depends"
if [ "$with_gui" = 1 ]; then
    echo "$depends" | grep -q -E '(^|, )libqt6widgets6 \(>= [0-9.]+\)' || fail "Depends lacks libqt6widgets6: $depends"
fi

dpkg-deb --contents "$deb" | awk '{print $6}' | sed 's|^\./|/|' >"$tmp/contents"
outside=$(grep -v -E '^/usr(/|$)|^/$' "$tmp/contents")
[ -z "$outside" ] && [ -s "$tmp/contents" ] || fail "files outside /usr: $outside"
want="/usr/bin/ardvel-cli
/usr/share/applications/$app.desktop
/usr/share/metainfo/$app.metainfo.xml
/usr/share/icons/hicolor/scalable/apps/$app.svg
/usr/share/icons/hicolor/48x48/apps/$app.png
/usr/share/ardvel/Help/readme.html
/usr/share/man/man1/ardvel.1
/usr/share/man/man1/ardvel-cli.1
/usr/share/bash-completion/completions/ardvel-cli"
if [ "$with_gui" = 1 ]; then want="$want
/usr/bin/ardvel"; fi
while read -r file; do
    grep -q -x -F "$file" "$tmp/contents" || fail "the package lacks $file"
done <<<"$want"

# The programs in the package are stripped of their symbol tables.
dpkg-deb -x "$deb" "$tmp/x"
for program in "$tmp"/x/usr/bin/*; do
    readelf -S "$program" | grep -q '\.symtab' && fail "$program is not stripped"
done
"$tmp/x/usr/bin/ardvel-cli" --version | grep -q -x "ardvel-cli $version" || fail "the packaged ardvel-cli has another version"

[ "$failures" = 0 ] || exit 1
echo "package checked: $deb"
