#!/usr/bin/env bash
# Checks the Debian package as a user would meet it (run as root; ./test.sh --deb runs it):
# its files, lintian, installing it, both programs from /usr/bin (a loopback crawl, the
# window from its menu entry, offscreen), and that removing it leaves nothing behind.
#   tests/packaging/check-deb.sh build/veltro-sitemap_<version>_amd64.deb
set -euo pipefail
deb="$(realpath "${1:?usage: check-deb.sh PACKAGE.deb}")"
work="$(mktemp -d)"
server=""
cleanup() {
  [ -n "$server" ] && kill "$server" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }
step() { echo "== $*"; }

step "contents"
dpkg-deb -c "$deb" | awk '{print $6}' | sed 's|^\./|/|' > "$work/contents"
for f in /usr/bin/veltro-sitemap /usr/bin/veltro-sitemap-cli \
  /usr/share/veltro-sitemap/user-guide.html \
  /usr/share/applications/veltro-sitemap.desktop \
  /usr/share/icons/hicolor/scalable/apps/veltro-sitemap.svg \
  /usr/share/icons/hicolor/48x48/apps/veltro-sitemap.png \
  /usr/share/icons/hicolor/128x128/apps/veltro-sitemap.png \
  /usr/share/icons/hicolor/256x256/apps/veltro-sitemap.png \
  /usr/share/metainfo/org.veltro.sitemap.metainfo.xml \
  /usr/share/man/man1/veltro-sitemap.1.gz /usr/share/man/man1/veltro-sitemap-cli.1.gz \
  /usr/share/bash-completion/completions/veltro-sitemap-cli \
  /usr/share/doc/veltro-sitemap/copyright /usr/share/doc/veltro-sitemap/changelog.gz; do
  grep -qx "$f" "$work/contents" || fail "$f is not in the package"
done
depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
for p in ca-certificates qt6-translations-l10n libqt6widgets6 libcurl4 libleveldb1d; do
  [[ "$depends" == *"$p"* ]] || fail "Depends lacks $p"
done

step "lintian"
lintian --fail-on error --info "$deb" || fail "lintian found errors"

step "metadata"
mkdir "$work/x" && dpkg-deb -x "$deb" "$work/x"
desktop-file-validate "$work/x/usr/share/applications/veltro-sitemap.desktop"
appstreamcli validate --no-net "$work/x/usr/share/metainfo/org.veltro.sitemap.metainfo.xml"
for size in 48 128 256; do
  file "$work/x/usr/share/icons/hicolor/${size}x${size}/apps/veltro-sitemap.png" | grep -q "$size x $size" ||
    fail "the ${size} px icon is not ${size} px"
done

step "install"
dpkg -i "$deb"

step "veltro-sitemap-cli from /usr/bin"
/usr/bin/veltro-sitemap-cli --help | grep -q "^Usage: veltro-sitemap-cli" || fail "--help"
mkdir -p "$work/site" "$work/run"
echo '<a href="a.html">a</a> <a href="b.html">b</a>' > "$work/site/index.html"
echo '<a href="c.html">c</a>' > "$work/site/a.html"
echo 'b' > "$work/site/b.html"
echo 'c' > "$work/site/c.html"
python3 -u -m http.server --bind 127.0.0.1 --directory "$work/site" 0 > "$work/server.log" 2>&1 &
server=$!
port=""
for _ in $(seq 50); do
  port="$(sed -n 's/.* port \([0-9]*\).*/\1/p' "$work/server.log" 2>/dev/null || true)"
  [ -n "$port" ] && break
  sleep 0.1
done
[ -n "$port" ] || fail "the loopback server did not start"
(cd "$work/run" && /usr/bin/veltro-sitemap-cli -q -d 5 -t 2 -o out "http://127.0.0.1:$port/")
# The list has Windows line ends, and none after the last address.
urls="$work/urls"
tr -d '\r' < "$work/run/out/127.0.0.1_${port}_urls.txt" > "$urls"
[ "$(grep -c . "$urls")" -eq 4 ] || fail "the crawl listed $(grep -c . "$urls") addresses, not 4: $(cat "$urls")"
grep -q "/c.html$" "$urls" || fail "the crawl did not follow the second level"
ls "$work/run/out/127.0.0.1_${port}_sitemap"*.xml.gz >/dev/null || fail "no sitemap written"

step "veltro-sitemap from its menu entry, offscreen"
env -u DISPLAY -u WAYLAND_DISPLAY /usr/bin/veltro-sitemap --help | grep -q -- "--data-dir" || fail "the window's --help"
exec_line="$(sed -n 's/^Exec=//p' /usr/share/applications/veltro-sitemap.desktop)"
mkdir "$work/home"
env -u XDG_DATA_HOME HOME="$work/home" QT_QPA_PLATFORM=offscreen sh -c "cd / && exec $exec_line" \
  > "$work/window.log" 2>&1 &
window=$!
data="$work/home/.local/share/veltro-sitemap"
for _ in $(seq 100); do
  [ -e "$data/db/sitemap/setup" ] && break
  kill -0 "$window" 2>/dev/null || break
  sleep 0.1
done
kill -0 "$window" 2>/dev/null || { cat "$work/window.log"; fail "the window ended by itself"; }
[ -d "$data/db/sitemap/setup" ] || fail "the window did not keep its settings in $data"
sleep 1
kill -0 "$window" 2>/dev/null || { cat "$work/window.log"; fail "the window ended by itself"; }
kill -TERM "$window"
wait "$window" 2>/dev/null || true
[ -e /usr/bin/../share/veltro-sitemap/user-guide.html ] || fail "the guide is not where the program looks"

step "remove"
dpkg -r veltro-sitemap
left=0
while read -r f; do
  case "$f" in */) continue ;; esac
  [ -e "$f" ] && { echo "left behind: $f" >&2; left=1; }
done < "$work/contents"
for d in /usr/share/veltro-sitemap /usr/share/doc/veltro-sitemap; do
  [ -e "$d" ] && { echo "left behind: $d" >&2; left=1; }
done
[ "$left" -eq 0 ] || fail "the removed package left files"
[ -d "$data/db/sitemap/setup" ] || fail "the user's settings went with the package"
echo "the package checks passed"
