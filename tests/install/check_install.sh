#!/usr/bin/env bash
# Installs the build folder's program into a temporary prefix and checks the result.
#   check_install.sh BUILD_FOLDER
set -euo pipefail
build=$1
prefix=$(mktemp -d)
home=$(mktemp -d)
trap 'rm -rf "$prefix" "$home"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

cmake --install "$build" --prefix "$prefix" >/dev/null

sizes=(16 22 24 32 48 64 128 256)
expected=(bin/pelvane
          share/pelvane/pages/start.html share/pelvane/pages/searchbar.html
          share/pelvane/formfiller.ini
          share/applications/pelvane.desktop
          share/metainfo/com.brenmoor.pelvane.metainfo.xml
          share/man/man1/pelvane.1.gz
          share/doc/pelvane/copyright share/doc/pelvane/changelog.gz
          share/icons/hicolor/scalable/apps/pelvane.svg)
for s in "${sizes[@]}"; do expected+=("share/icons/hicolor/${s}x${s}/apps/pelvane.png"); done
for f in "${expected[@]}"; do
    [ -s "$prefix/$f" ] || fail "$f is not installed"
done
[ -x "$prefix/bin/pelvane" ] || fail "bin/pelvane is not executable"

# Only what the program reads goes to its share folder: no build descriptions, no sources.
stray=$(find "$prefix/share/pelvane" -name '*.cmake' -o -name '*.in' -o -name '*.qrc' -o -name '*.svg')
[ -z "$stray" ] || fail "stray files in share/pelvane: $stray"

# Each PNG is drawn at the size its folder names (a square of that many pixels).
for s in "${sizes[@]}"; do
    png="$prefix/share/icons/hicolor/${s}x${s}/apps/pelvane.png"
    [ -f "$png" ] || continue
    got=$(python3 -c 'import struct,sys; d=open(sys.argv[1],"rb").read(24); print("%dx%d" % struct.unpack(">II", d[16:24]) if d[:8]==b"\x89PNG\r\n\x1a\n" else "none")' "$png")
    [ "$got" = "${s}x${s}" ] || fail "the ${s}x${s} icon is $got"
done

entry="$prefix/share/applications/pelvane.desktop"
metainfo="$prefix/share/metainfo/com.brenmoor.pelvane.metainfo.xml"
desktop-file-validate "$entry" || fail "desktop-file-validate rejects the desktop entry"
appstreamcli validate --no-net "$metainfo" >/dev/null || {
    appstreamcli validate --no-net "$metainfo" >&2 || true
    fail "appstreamcli rejects the metainfo"
}
# The entry, the window and the metainfo must name one another: the window's class is the
# application name, its application id the entry's name, its icon the theme's "pelvane".
grep -qx 'StartupWMClass=Pelvane' "$entry" || fail "the entry's StartupWMClass is not the window's class"
grep -qx 'Icon=pelvane' "$entry" || fail "the entry does not name the installed icon"
grep -Eqx 'Exec=(pelvane|/.*/bin/pelvane) %U' "$entry" || fail "the entry does not start the program with %U"
grep -q '<launchable type="desktop-id">pelvane.desktop</launchable>' "$metainfo" \
    || fail "the metainfo does not launch the desktop entry"
for type in text/html application/xhtml+xml x-scheme-handler/http x-scheme-handler/https; do
    grep -q "^MimeType=.*$type;" "$entry" || fail "the entry does not handle $type"
done
gzip -dc "$prefix/share/man/man1/pelvane.1.gz" | sed -n 1p | grep -q '^\.TH PELVANE 1' ||
    fail "the manual page has no title"
# Debian's tools read the version from the changelog's first line.
version=$(gzip -dc "$prefix/share/doc/pelvane/changelog.gz" | sed -n '1s/^pelvane (\([^)]*\)).*/\1/p')
[ -n "$version" ] || fail "the changelog does not begin with an entry of pelvane"

# The installed program starts, away from the build folder, in a home of its own.
if out=$(PELVANE_HOME="$home" "$prefix/bin/pelvane" --reg-export 2>&1); then
    [ "$(printf '%s\n' "$out" | head -1)" = "REGEDIT4" ] || fail "--reg-export printed: $out"
else
    fail "the installed program failed: $out"
fi
[ -f "$home/registry.db" ] || fail "the installed program did not use PELVANE_HOME"

[ $failures -eq 0 ] && echo "PASS: the installed tree at a temporary prefix"
exit $((failures > 0))
