#!/usr/bin/env bash
# The project as a new user meets it on a fresh minimal Debian 12: builds a minbase root with
# debootstrap in a temporary folder, copies in a clean clone of HEAD (uncommitted changes are
# not part of it), runs `CI=true ./test.sh` as root inside it, then `./run.sh --cli` against a
# small site served on loopback inside the root. Prints ctest's summary and the command's
# result, removes the root (also when interrupted) and exits non-zero when anything failed.
# Run by hand, as root, before resolving any change to set-up, packages or what the program
# loads at run time; it takes a while (a full build). Not run in CI.
#   scripts/fresh-check.sh
set -euo pipefail
# The whole script is read before it runs: a checkout changing this file meanwhile is harmless.
main() {

repo="$(cd "$(dirname "$0")/.." && pwd)"
if [ "$(id -u)" -ne 0 ]; then
  exec sudo -- "$0" "$@"
fi
started=$(date +%s)

# The Debian mirror apt uses here, so that debootstrap needs no other address.
apt_mirror() {
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    awk '$1 == "deb" { i = 2; if ($i ~ /^\[/) { while (i < NF && $i !~ /\]$/) i++; i++ }
                       if ($(i + 1) == "bookworm") { print $i; exit } }' "$f"
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    awk 'BEGIN { RS = ""; FS = "\n" }
         { types = ""; uris = ""; suites = ""; enabled = "yes"
           for (n = 1; n <= NF; n++) {
             if ($n ~ /^Types:/) types = " " substr($n, 7) " "
             else if ($n ~ /^URIs:/) uris = substr($n, 6)
             else if ($n ~ /^Suites:/) suites = " " substr($n, 8) " "
             else if ($n ~ /^Enabled:/) enabled = tolower(substr($n, 9))
           }
           gsub(/[ \t]+/, " ", types); gsub(/[ \t]+/, " ", suites); gsub(/^[ \t]+/, "", uris)
           sub(/[ \t].*/, "", uris); gsub(/[ \t]/, "", enabled)
           if (enabled != "no" && types ~ / deb / && suites ~ / bookworm / && uris != "") { print uris; exit } }' "$f"
  done
}
mirror="$(apt_mirror | head -n 1)"
mirror="${mirror:-http://deb.debian.org/debian}"

if ! command -v debootstrap >/dev/null; then
  echo "== installing debootstrap"
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null ||
    { apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends debootstrap >/dev/null; }
fi

work="$(mktemp -d "${TMPDIR:-/var/tmp}/veltro-fresh.XXXXXX")"
root="$work/root"
mounted=()   # mount points inside the root, in the order they were mounted
child=""     # the long step running now (debootstrap, the work inside the root)

# Runs a long step in the background and waits for it, so INT and TERM are handled at once.
run_step() {
  "$@" &
  child=$!
  local status=0
  wait "$child" || status=$?
  child=""
  return "$status"
}

# Ends every process whose root is the new root (the build, the site's server).
stop_inside() {
  local p
  for p in /proc/[0-9]*; do
    if [ "$(readlink "$p/root" 2>/dev/null)" = "$root" ]; then kill "${p#/proc/}" 2>/dev/null; fi
  done
}

# Mount points under the root that the kernel still lists.
mounts_left() {
  awk -v root="$root" '$2 == root || index($2, root "/") == 1 { print $2 }' /proc/self/mounts
}

cleanup() {
  local status=$?
  trap - EXIT INT TERM
  set +e
  # Processes still running inside the root (after an interrupt) hold its mounts.
  if [ -n "$child" ]; then kill "$child" 2>/dev/null; fi
  stop_inside
  sleep 1
  stop_inside
  [ -n "$child" ] && wait "$child" 2>/dev/null
  local i m
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    m="${mounted[i]}"
    if mountpoint -q "$m"; then umount "$m" 2>/dev/null || umount -l "$m"; fi
  done
  # Anything else mounted below the root (deepest first), lazily if it is busy.
  while read -r m; do
    [ -n "$m" ] && { umount "$m" 2>/dev/null || umount -l "$m"; }
  done < <(mounts_left | sort -r)
  if [ -n "$(mounts_left)" ]; then
    echo "fresh-check: still mounted below $root, not removing it:" >&2
    mounts_left >&2
    exit 1
  fi
  # --one-file-system: even a mount missed above is never descended into.
  rm -rf --one-file-system "$work"
  if [ "$status" -ge 128 ]; then echo "fresh-check: interrupted; $work removed" >&2; fi
  [ -n "${started:-}" ] && echo "== root removed after $(( $(date +%s) - started )) s in all"
  exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

stamp() { echo "$(( $(date +%s) - started )) s"; }

echo "== debootstrap --variant=minbase bookworm from $mirror into $root"
if ! run_step debootstrap --variant=minbase bookworm "$root" "$mirror" >"$work/debootstrap.log" 2>&1; then
  tail -n 30 "$work/debootstrap.log" >&2
  echo "fresh-check: debootstrap failed" >&2
  exit 1
fi
echo "   done after $(stamp)"

for m in proc sys dev dev/pts; do
  case "$m" in
    proc) mount -t proc proc "$root/proc" ;;
    sys) mount -t sysfs sysfs "$root/sys" ;;
    *) mount --bind "/$m" "$root/$m" ;;
  esac
  mounted+=("$root/$m")
done
cp -L /etc/resolv.conf "$root/etc/resolv.conf"

head="$(git -C "$repo" rev-parse HEAD)"
if [ -n "$(git -C "$repo" status --porcelain --untracked-files=no)" ]; then
  echo "   note: uncommitted changes in $repo are not part of the check"
fi
git clone --quiet --no-checkout "$repo" "$root/root/veltro"
git -C "$root/root/veltro" checkout --quiet --detach "$head"
echo "== clean clone of $(git -C "$repo" log -1 --format='%h %s' "$head")"

port="$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])' 2>/dev/null ||
  echo $((20000 + RANDOM % 20000)))"

# What runs inside the root: the tests, then the command against a site of four pages (one
# link is missing, so the failure file has a row).
cat >"$root/root/fresh-inside.sh" <<'INSIDE'
#!/usr/bin/env bash
set -uo pipefail
port="$1"
cd /root/veltro
echo "== CI=true ./test.sh"
t0=$(date +%s)
CI=true ./test.sh >/root/test.log 2>&1
tests=$?
echo "   exit $tests after $(( $(date +%s) - t0 )) s"
grep -E '^[0-9]+% tests passed|^The following tests|^[[:space:]]+[0-9]+ - |^Total Test time' /root/test.log
[ "$tests" -eq 0 ] || tail -n 40 /root/test.log

site=/srv/fresh-site
mkdir -p "$site/www/docs"
cat >"$site/www/index.html" <<'HTML'
<html><head><title>Fresh</title></head><body>
<a href="/about.html">About</a> <a href="/docs/">Docs</a> <a href="/missing.html">Missing</a>
</body></html>
HTML
echo '<html><body><a href="/">Home</a></body></html>' >"$site/www/about.html"
echo '<html><body><a href="/docs/page.html">Page</a></body></html>' >"$site/www/docs/index.html"
echo '<html><body>leaf</body></html>' >"$site/www/docs/page.html"
chmod -R a+rX "$site"

if command -v python3 >/dev/null; then
  echo "== site: python3 -m http.server on 127.0.0.1:$port"
  python3 -m http.server --bind 127.0.0.1 --directory "$site/www" "$port" >"$site/server.log" 2>&1 &
  server=$!
elif command -v nginx >/dev/null; then
  echo "== site: nginx on 127.0.0.1:$port (no python3 in the root)"
  mkdir -p "$site/logs"
  cat >"$site/nginx.conf" <<CONF
daemon off;
worker_processes 1;
pid $site/nginx.pid;
error_log $site/logs/error.log;
events { worker_connections 64; }
http {
  access_log $site/logs/access.log;
  server { listen 127.0.0.1:$port; root $site/www; index index.html; }
}
CONF
  nginx -p "$site" -c "$site/nginx.conf" &
  server=$!
else
  echo "fresh-check: neither python3 nor nginx in the root to serve the site" >&2
  exit 1
fi
trap 'kill "$server" 2>/dev/null; wait "$server" 2>/dev/null' EXIT
for _ in $(seq 100); do
  (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && break
  sleep 0.1
done

echo "== ./run.sh --cli --plain -o /root/out http://127.0.0.1:$port/"
./run.sh --cli -q --plain -o /root/out "http://127.0.0.1:$port/" >/root/cli.log 2>&1
cli=$?
echo "   exit $cli"
grep -v '^\[ *[0-9]*%\]' /root/cli.log | tail -n 5
# Files of a site on another port than the default carry it in their names.
urls=/root/out/127.0.0.1_${port}_urls.txt
failed=/root/out/127.0.0.1_${port}_failed.tsv
ok=1
for page in / /about.html /docs/ /docs/page.html; do
  tr -d '\r' <"$urls" 2>/dev/null | grep -qx "http://127.0.0.1:$port$page" ||
    { echo "   missing from the URL list: $page"; ok=0; }
done
grep -q 'missing\.html	404	' "$failed" 2>/dev/null || { echo "   no 404 row for /missing.html in the failure file"; ok=0; }
grep -q '<loc>' /root/out/127.0.0.1_${port}_sitemap*.xml 2>/dev/null || { echo "   no sitemap written"; ok=0; }
echo "   URL list: $(wc -l <"$urls" 2>/dev/null || echo 0) lines; failure file:"
sed 's/^/     /' "$failed" 2>/dev/null
# The tests pass without a CA bundle too (they bring their own); real HTTPS sites need it.
bundle=/etc/ssl/certs/ca-certificates.crt
if [ -s "$bundle" ]; then echo "   HTTPS: libcurl's CA bundle $bundle is there"; else echo "   HTTPS: no CA bundle $bundle"; ok=0; fi
[ "$tests" -eq 0 ] && [ "$cli" -eq 0 ] && [ "$ok" -eq 1 ]
INSIDE

echo "== inside the root (a full build: this takes a while; progress in $root/root/test.log)"
result=0
run_step chroot "$root" /usr/bin/env -i HOME=/root TERM=dumb \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  bash /root/fresh-inside.sh "$port" || result=$?
echo "== total $(stamp)"
if [ "$result" -eq 0 ]; then echo "fresh-check: PASSED"; else echo "fresh-check: FAILED" >&2; fi
exit "$result"
}
main "$@"
