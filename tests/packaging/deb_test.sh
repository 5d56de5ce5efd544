#!/usr/bin/env bash
# deb_test.sh SOURCE_DIR BUILD_DIR: makes the package of BUILD_DIR, has lintian check it
# (no error, no warning), unpacks it into a scratch root, checks its menu entry, AppStream
# description, icons and manual page, and runs the hack from there (into the root window of
# $DISPLAY, if any).
set -euo pipefail
src=$1 build=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

deb=$(bash "$src/scripts/make-deb.sh" "$build" "$scratch" | tail -1)
[ -f "$deb" ] || fail "no package made"
dpkg-deb -f "$deb" Depends | grep -q libsdl2 || fail "the package does not depend on SDL2: $(dpkg-deb -f "$deb" Depends)"
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] || fail "package version $(dpkg-deb -f "$deb" Version), project $version"
# lintian's default profile, errors and warnings (its information and pedantic tags aside).
# (Its standard error only says that running as root is not recommended, when it is.)
lintian --fail-on error,warning "$deb" >"$scratch/lintian" 2>"$scratch/lintian.err" ||
  fail "lintian: $(cat "$scratch/lintian" "$scratch/lintian.err")"
[ ! -s "$scratch/lintian" ] || fail "lintian: $(cat "$scratch/lintian")"
root=$scratch/root
dpkg -x "$deb" "$root"
for f in usr/libexec/xscreensaver/zephlora usr/libexec/xscreensaver/Zephlora.zpk \
         usr/share/xscreensaver/config/zephlora.xml usr/share/doc/zephlora/copyright \
         usr/share/doc/zephlora/changelog.gz usr/share/man/man6/zephlora.6.gz; do
  [ -f "$root/$f" ] || fail "$f is not in the package"
done

# The settings in the desktop's menu: a valid entry that runs "zephlora /c" with the icon.
entry=$root/usr/share/applications/org.zephlora.Zephlora.desktop
desktop-file-validate "$entry" || fail "desktop-file-validate"
grep -qx 'Exec=zephlora /c' "$entry" || fail "the menu entry does not open the settings"
grep -q '^Name\[ja\]=' "$entry" || fail "the menu entry has no Japanese name"
icon=$(sed -n 's/^Icon=//p' "$entry")
for size in 16 22 24 32 48 64 128 256; do
  png=$root/usr/share/icons/hicolor/${size}x${size}/apps/$icon.png
  [ "$(identify -format '%wx%h' "$png" 2>/dev/null)" = "${size}x$size" ] || fail "no $size x $size icon $icon"
done
appstreamcli validate --no-net "$root/usr/share/metainfo/org.zephlora.Zephlora.metainfo.xml" >"$scratch/as" 2>&1 ||
  fail "appstreamcli: $(cat "$scratch/as")"
# The manual page formats without a warning and tells how to add the hack.
page=$(MANWIDTH=80 man --warnings -l "$root/usr/share/man/man6/zephlora.6.gz" 2>"$scratch/man") || fail "man: $(cat "$scratch/man")"
[ ! -s "$scratch/man" ] || fail "man: $(cat "$scratch/man")"
grep -q 'zephlora --root' <<<"$page" || fail "the manual page has no xscreensaver line"
[ -L "$root/usr/bin/zephlora" ] || fail "usr/bin/zephlora is no link"
[ "$(readlink -f "$root/usr/bin/zephlora")" = "$root/usr/libexec/xscreensaver/zephlora" ] ||
  fail "usr/bin/zephlora points to $(readlink "$root/usr/bin/zephlora")"

# The description xscreensaver's settings program reads: its name, the command, and every
# option of the hack with the dialog's range and default, as the settings table has them.
python3 - "$root/usr/share/xscreensaver/config/zephlora.xml" "$src" <<'PY' || fail "zephlora.xml"
import sys, xml.etree.ElementTree as ET
sys.path.insert(0, sys.argv[2] + "/tools")
from gen_settings import read_table
table = read_table(sys.argv[2] + "/common/settings.in")
s = ET.parse(sys.argv[1]).getroot()
assert s.tag == "screensaver" and s.get("name") == "zephlora" and s.get("_label") == "Zephlora"
assert s.find("command").get("arg") == "--root"
numbers = {n.get("arg"): (n.get("low"), n.get("high"), n.get("default")) for n in s.iter("number")}
assert numbers == {"--%s %%" % t.option: (t.low, t.high, t.default) for t in table if t.takes_number}, numbers
assert [b.get("arg-set") for b in s.iter("boolean")] == ["--" + t.option for t in table if t.switch]
assert s.find("_description").text.strip()
PY

"$root/usr/bin/zephlora" --help | grep -q -- "--window-id" || fail "--help"
if [ -n "${DISPLAY:-}" ]; then
  export XDG_RUNTIME_DIR=$scratch/run
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  "$root/usr/bin/zephlora" --root 2>"$scratch/err" &
  pid=$!
  # The hack is under way once it has split its pack (or it ended, which the checks report).
  for _ in $(seq 200); do
    kill -0 $pid 2>/dev/null || break
    [ "$(find "$XDG_RUNTIME_DIR" -name 'Zephlora00*.zpk' | wc -l)" != 9 ] || break
    sleep 0.1
  done
  kill -0 $pid 2>/dev/null || fail "the hack ended by itself: $(cat "$scratch/err")"
  [ "$(find "$XDG_RUNTIME_DIR" -name 'Zephlora00*.zpk' | wc -l)" = 9 ] || fail "the hack did not split its pack"
  kill -TERM $pid
  code=0; wait $pid || code=$?
  [ $code = 0 ] || fail "exit code $code after SIGTERM: $(cat "$scratch/err")"
  [ ! -s "$scratch/err" ] || fail "the hack wrote: $(cat "$scratch/err")"
  [ "$(find "$XDG_RUNTIME_DIR" -name 'Zephlora00*.zpk' | wc -l)" = 0 ] || fail "members left"
fi
echo "ok: $deb"
