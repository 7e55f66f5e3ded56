#!/bin/bash
# Installs the build into a temporary DESTDIR with prefix /usr and checks the
# installed tree as a desktop and a packager see it: every file in place, the
# desktop entry and AppStream data valid, the manual pages free of warnings,
# the programs reporting their version, and shell completion offering the
# catalog's volumes.
# Usage: install_test.sh BUILD_DIR VERSION APP_ID "ICON_SIZES" WITH_GUI(0|1)
set -u
build=$1 version=$2 app=$3 sizes=$4 with_gui=$5

tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
root=$tmp/root
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

if ! DESTDIR=$root cmake --install "$build" --prefix /usr >"$tmp/install.log" 2>&1; then
    cat "$tmp/install.log" >&2
    echo "FAIL: cmake --install" >&2
    exit 1
fi
usr=$root/usr

expected="bin/ardvel-cli
share/applications/$app.desktop
share/metainfo/$app.metainfo.xml
share/icons/hicolor/scalable/apps/$app.svg
share/ardvel/Help/readme.html
share/man/man1/ardvel.1
share/man/man1/ardvel-cli.1
share/bash-completion/completions/ardvel-cli
share/zsh/vendor-completions/_ardvel-cli
share/fish/vendor_completions.d/ardvel-cli.fish"
for size in $sizes; do
    expected="$expected
share/icons/hicolor/${size}x$size/apps/$app.png"
done
if [ "$with_gui" = 1 ]; then expected="$expected
bin/ardvel"; fi
while read -r file; do
    [ -s "$usr/$file" ] || fail "not installed: /usr/$file"
done <<<"$expected"
[ -x "$usr/bin/ardvel-cli" ] || fail "/usr/bin/ardvel-cli is not executable"

# Every local file the help pages link to is installed with them.
for page in "$usr"/share/ardvel/Help/*.html; do
    grep -o -E '(href|src)="[^"#:]+"' "$page" | sed -E 's/^[a-z]+="//; s/"$//' |
        while read -r link; do
            [ -e "$(dirname "$page")/$link" ] || echo "$page links to missing $link"
        done
done >"$tmp/links"
[ -s "$tmp/links" ] && fail "$(cat "$tmp/links")"

# Each PNG is a real bitmap of its nominal size (width and height from the
# IHDR chunk).
for size in $sizes; do
    png=$usr/share/icons/hicolor/${size}x$size/apps/$app.png
    [ -f "$png" ] || continue
    dims=$(od -An -tu1 -j16 -N8 "$png" | tr -s ' ' | sed 's/^ //')
    want="0 0 $((size / 256)) $((size % 256)) 0 0 $((size / 256)) $((size % 256))"
    [ "$dims" = "$want" ] || fail "$png is not ${size}x$size (IHDR $dims)"
done

desktop-file-validate "$usr/share/applications/$app.desktop" >"$tmp/dfv" 2>&1 || true
[ -s "$tmp/dfv" ] && fail "desktop-file-validate: $(cat "$tmp/dfv")"
grep -q "^Icon=$app\$" "$usr/share/applications/$app.desktop" || fail "the desktop entry names another icon"
grep -q '^GenericName=Disk Catalog$' "$usr/share/applications/$app.desktop" || fail "GenericName is not Disk Catalog"
appstreamcli validate --no-net "$usr/share/metainfo/$app.metainfo.xml" >"$tmp/asv" 2>&1 ||
    fail "appstreamcli validate: $(cat "$tmp/asv")"
grep -q "<release version=\"$version\"" "$usr/share/metainfo/$app.metainfo.xml" ||
    fail "the AppStream release is not $version"
grep -q "<launchable type=\"desktop-id\">$app.desktop</launchable>" "$usr/share/metainfo/$app.metainfo.xml" ||
    fail "the AppStream data launches another desktop entry"

for page in ardvel ardvel-cli; do
    file=$usr/share/man/man1/$page.1
    MANWIDTH=80 man --warnings -l "$file" >"$tmp/man.txt" 2>"$tmp/man.err" || fail "man -l $page.1 failed"
    [ -s "$tmp/man.err" ] && fail "man -l $page.1 warns: $(cat "$tmp/man.err")"
    grep -q "Ardvel $version" "$tmp/man.txt" || fail "$page.1 does not carry version $version"
done

out=$("$usr/bin/ardvel-cli" --version 2>&1)
status=$?
[ "$status" = 0 ] || fail "ardvel-cli --version exits with $status"
[ "$out" = "ardvel-cli $version" ] || fail "ardvel-cli --version prints '$out'"

# Every command and option that --help names is one the manual page and the
# bash completion know.
words=$("$usr/bin/ardvel-cli" --help | sed -n '/^Options:/,/^Output fields/p' |
    grep -o -E '^  (--[a-z-]+|[a-z]+) ' | tr -d ' ')
[ "$(echo "$words" | wc -l)" -ge 8 ] || fail "no commands found in ardvel-cli --help"
for word in $words; do
    grep -q -e "$word" "$usr/share/bash-completion/completions/ardvel-cli" || fail "bash completion lacks $word"
    grep -q -F -e "$(printf '%s' "$word" | sed 's/-/\\-/g')" "$usr/share/man/man1/ardvel-cli.1" ||
        fail "ardvel-cli.1 lacks $word"
done

# Completion against a real catalog folder with one volume.
mkdir -p "$tmp/media/Rock" "$tmp/catalogs" "$tmp/config"
echo tune >"$tmp/media/Rock/song.txt"
XDG_CONFIG_HOME=$tmp/config "$usr/bin/ardvel-cli" --catalog-folder "$tmp/catalogs" \
    catalog "$tmp/media" --name "Music 2002" --yes >/dev/null 2>&1 || fail "ardvel-cli catalog"
PATH=$usr/bin:$PATH XDG_CONFIG_HOME=$tmp/config bash "$(dirname "$0")/complete_words.sh" \
    "$usr/share/bash-completion/completions/ardvel-cli" "$tmp/catalogs" >"$tmp/completion" 2>&1 ||
    fail "bash completion: $(cat "$tmp/completion")"

if command -v zsh >/dev/null; then
    zsh -n "$usr/share/zsh/vendor-completions/_ardvel-cli" || fail "zsh completion does not parse"
fi
if command -v fish >/dev/null; then
    got=$(PATH=$usr/bin:$PATH XDG_CONFIG_HOME=$tmp/config fish --no-config -c "
        source '$usr/share/fish/vendor_completions.d/ardvel-cli.fish'
        complete -C 'ardvel-cli se'
        complete -C 'ardvel-cli --catalog-folder $tmp/catalogs ls '
        complete -C 'ardvel-cli --catalog-folder $tmp/catalogs search --in Mu'" 2>&1)
    want=$(printf 'search\tSearch the catalogs\nMusic 2002:\\\nMy Catalogs\nMusic 2002\tWhere to look')
    [ "$got" = "$want" ] || fail "fish completion offers '$got'"
fi

# The installed window: its version, and the help page that Help > Contents
# opens, found from another folder through the executable's own place.
if [ "$with_gui" = 1 ]; then
    elsewhere=$tmp/elsewhere
    mkdir -p "$elsewhere"
    out=$(cd "$elsewhere" && QT_QPA_PLATFORM=offscreen timeout 20 "$usr/bin/ardvel" --version 2>&1)
    [ "$out" = "ardvel $version" ] || fail "ardvel --version prints '$out'"
    out=$(cd "$elsewhere" && XDG_DATA_DIRS=$elsewhere QT_QPA_PLATFORM=offscreen timeout 20 "$usr/bin/ardvel" --help 2>&1)
    echo "$out" | grep -q -x -F "Help page: $usr/share/ardvel/Help/readme.html" ||
        fail "the installed ardvel does not find its help page: $out"
    # The window comes up and stays up (timeout ends it) from there too.
    (cd "$elsewhere" && XDG_CONFIG_HOME=$tmp/config XDG_DATA_HOME=$tmp/data QT_QPA_PLATFORM=offscreen \
        timeout 3 "$usr/bin/ardvel" >"$tmp/window.log" 2>&1)
    status=$?
    [ "$status" = 124 ] || fail "the installed ardvel ended with $status: $(cat "$tmp/window.log")"
fi

[ "$failures" = 0 ] || exit 1
echo "installed tree checked"
