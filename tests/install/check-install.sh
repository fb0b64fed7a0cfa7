#!/usr/bin/env bash
# Installs the build into a temporary DESTDIR and checks what a desktop system relies on.
# Usage: check-install.sh BUILD_DIR SOURCE_DIR
set -u
build="$1"
source="$2"
stage="$(mktemp -d)"
trap 'rm -rf "$stage"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

if ! DESTDIR="$stage" cmake --install "$build" --prefix /usr >"$stage.log" 2>&1; then
    cat "$stage.log"; rm -f "$stage.log"; echo "FAIL: cmake --install"; exit 1
fi
rm -f "$stage.log"
root="$stage/usr"

for f in bin/tarn bin/tarn-cli bin/tarn-radio-emulator; do
    [ -x "$root/$f" ] || fail "$f is not installed as a program"
done
for f in share/tarn/lang.csv share/tarn/help/0/index.html share/tarn/help/1/index.html \
         share/tarn/help/2/index.html share/tarn/help/help.css share/tarn/60-tarn-cables.rules \
         lib/udev/rules.d/60-tarn-cables.rules \
         share/applications/io.github.tarnradio.Tarn.desktop \
         share/metainfo/io.github.tarnradio.Tarn.metainfo.xml \
         share/icons/hicolor/scalable/apps/tarn.svg \
         share/man/man1/tarn.1 share/man/man1/tarn-cli.1 share/man/man1/tarn-radio-emulator.1; do
    [ -s "$root/$f" ] || fail "$f is missing"
done
# The pictures and icons the programs look up by name sit beside lang.csv.
for picture in "$source"/res/*.JPG "$source"/res/*.jpg "$source"/res/*.ico; do
    [ -e "$picture" ] || continue
    [ -s "$root/share/tarn/$(basename "$picture")" ] || fail "share/tarn/$(basename "$picture") is missing"
done
if command -v rsvg-convert >/dev/null; then
    for size in 16 22 24 32 48 64 128 256; do
        [ -s "$root/share/icons/hicolor/${size}x${size}/apps/tarn.png" ] || fail "the ${size}px icon is missing"
    done
fi

# Every page and style sheet a help page links to is installed with it.
for page in "$root"/share/tarn/help/*/*.html; do
    for link in $(grep -o 'href="[^":]*\.\(html\|css\)"' "$page" | sed 's/href="//; s/"$//'); do
        [ -f "$(dirname "$page")/$link" ] || fail "$page links to the missing $link"
    done
done

# The installed tool runs from another folder and reports the version of the build.
[ "$(cd / && env -u DISPLAY "$root/bin/tarn" --version)" = "Tarn $(sed -n 's/^#define TARN_VERSION "\(.*\)"/\1/p' "$build/generated/TarnVersion.h")" ] || fail "tarn --version without a display"
version="$(cd / && "$root/bin/tarn-cli" --version)" || fail "tarn-cli --version failed"
expected="$(sed -n 's/^#define TARN_VERSION "\(.*\)"/\1/p' "$build/generated/TarnVersion.h")"
[ "$version" = "tarn-cli $expected" ] || fail "tarn-cli --version printed '$version'"

if command -v desktop-file-validate >/dev/null; then
    desktop-file-validate "$root/share/applications/io.github.tarnradio.Tarn.desktop" || fail "desktop-file-validate"
fi
if command -v appstreamcli >/dev/null; then
    appstreamcli validate --no-net "$root/share/metainfo/io.github.tarnradio.Tarn.metainfo.xml" \
        || fail "appstreamcli validate"
fi
if command -v man >/dev/null; then
    for page in tarn tarn-cli tarn-radio-emulator; do
        out="$(MANWIDTH=80 man -l "$root/share/man/man1/$page.1" 2>&1 >/dev/null)"
        [ -z "$out" ] || fail "man -l $page.1: $out"
        MANWIDTH=80 man -l "$root/share/man/man1/$page.1" 2>/dev/null | grep -q NAME || fail "man -l $page.1 shows nothing"
    done
fi

[ "$failures" -eq 0 ] && echo "install tree OK"
exit $((failures > 0))
