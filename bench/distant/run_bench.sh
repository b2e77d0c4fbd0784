#!/usr/bin/env bash
# The distant-site benchmark, run by hand: a loopback site whose answers are delayed per path
# like a distant server's (distant_server.py), crawled in one run by veltro-sitemap-cli at 8
# and 32 threads, wget --spider -r and linkchecker, over HTTP and over HTTPS with a
# self-signed certificate made for the run. Prints, per protocol and crawler: pages found,
# seconds, pages/s, % of the ideal (threads / mean answer time) and TCP connections opened
# per page (counted by the server).
#
#   bench/distant/run_bench.sh            N = 2000 pages
#   PAGES=500 bench/distant/run_bench.sh  any other size
#
# Environment: BUILD (build folder holding bin/veltro-sitemap-cli, default build), WORK
# (scratch folder, default /tmp/veltro-distant-bench), PAGES (default 2000), PROTOCOLS
# (default "http https"), TOOLS (default "veltro8 veltro32 wget linkchecker"), LIMIT (seconds
# one crawl may take, default 900).
#
# The crawler verifies certificates and has no switch to stop that, so over HTTPS it runs in
# a mount namespace of its own (unshare -m) in which the system's CA bundle is replaced by
# one that also holds the run's certificate; nothing outside that process changes. wget
# gets --no-check-certificate, linkchecker the certificate as its sslverify file.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
BUILD="${BUILD:-$repo/build}"
WORK="${WORK:-/tmp/veltro-distant-bench}"
PAGES="${PAGES:-2000}"
PROTOCOLS="${PROTOCOLS:-http https}"
TOOLS="${TOOLS:-veltro8 veltro32 wget linkchecker}"
LIMIT="${LIMIT:-900}"
CLI="$BUILD/bin/veltro-sitemap-cli"
SYSTEM_CA=/etc/ssl/certs/ca-certificates.crt

needed="python3 openssl curl unshare /usr/bin/time"
case " $TOOLS " in *" wget "*) needed="$needed wget" ;; esac
case " $TOOLS " in *" linkchecker "*) needed="$needed linkchecker" ;; esac
for tool in $needed; do
  command -v "$tool" >/dev/null || { echo "missing: $tool (bash scripts/setup.sh --extras installs it)" >&2; exit 1; }
done
[ -x "$CLI" ] || { echo "missing: $CLI (build it first: bash build.sh)" >&2; exit 1; }
rm -rf "$WORK" && mkdir -p "$WORK"
# linkchecker, run as root, goes on as "nobody": it must be able to read its files.
chmod 755 "$WORK"

server_pid=""
stop_server() {
  if [ -n "$server_pid" ]; then
    kill "$server_pid" 2>/dev/null || true
    wait "$server_pid" 2>/dev/null || true
    server_pid=""
  fi
}
trap stop_server EXIT

# A certificate for 127.0.0.1 (P-256, so handshakes cost the server little), made per run.
make_certificate() {
  openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes -days 2 \
    -subj /CN=127.0.0.1 -addext subjectAltName=IP:127.0.0.1 \
    -keyout "$WORK/key.pem" -out "$WORK/cert.pem" 2>/dev/null
  chmod 644 "$WORK/cert.pem"
  cat "$SYSTEM_CA" "$WORK/cert.pem" >"$WORK/ca-bundle.pem"
  printf '[checking]\nsslverify=%s\nmaxrequestspersecond=100000\n' "$WORK/cert.pem" >"$WORK/linkcheckerrc-https"
  printf '[checking]\nmaxrequestspersecond=100000\n' >"$WORK/linkcheckerrc-http"
  chmod 644 "$WORK"/linkcheckerrc-*
}

start_server() {
  local proto="$1" tls=()
  [ "$proto" = https ] && tls=(--tls "$WORK/cert.pem" "$WORK/key.pem")
  rm -f "$WORK/port"
  python3 "$here/distant_server.py" --pages "$PAGES" --ready "$WORK/port" "${tls[@]}" 2>"$WORK/server-$proto.log" &
  server_pid=$!
  for _ in $(seq 1 100); do
    [ -s "$WORK/port" ] && break
    sleep 0.05
  done
  [ -s "$WORK/port" ] || { echo "the site did not start; see $WORK/server-$proto.log" >&2; exit 1; }
  port=$(cat "$WORK/port")
  origin="$proto://127.0.0.1:$port"
}

control() { curl -sk "$origin/$1"; }
json_field() { python3 -c 'import json,sys; print(json.loads(sys.argv[1])[sys.argv[2]])' "$1" "$2"; }
wall_seconds() {
  awk -F': ' '/Elapsed \(wall clock\)/ { n = split($2, t, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + t[i]; print s }' "$1"
}

# Each runner crawls $origin in $dir and writes the site paths it found, one a line, to
# $dir/found.txt; it sets threads (requests it keeps in flight at most).
run_veltro() {
  threads="$1"
  mkdir -p "$dir/run"
  local cmd=("$CLI" -q -t "$threads" -d 50 -o "$dir/out" "$origin/")
  if [ "$proto" = https ]; then
    cmd=(unshare -m sh -c 'mount --bind "$0" "$1" && shift && exec "$@"' "$WORK/ca-bundle.pem" "$SYSTEM_CA" "${cmd[@]}")
  fi
  (cd "$dir/run" && /usr/bin/time -v -o "$dir/time.txt" timeout "$LIMIT" "${cmd[@]}" >"$dir/stdout.txt" 2>"$dir/stderr.txt") ||
    echo "veltro-sitemap-cli exited with $? (see $dir/stderr.txt)" >&2
  { cat "$dir"/out/127.0.0.1*_urls.txt 2>/dev/null; echo; } | tr -d '\r' | sed -e "s#^$origin##" -e '/^$/d' >"$dir/found.txt"
}
run_veltro8() { run_veltro 8; }
run_veltro32() { run_veltro 32; }

run_wget() {
  threads=1
  local tls=()
  [ "$proto" = https ] && tls=(--no-check-certificate)
  (cd "$dir" && /usr/bin/time -v -o "$dir/time.txt" timeout "$LIMIT" wget --spider -r -l inf -nv -e robots=off \
      "${tls[@]}" -o "$dir/wget.log" "$origin/") || true  # exit 8: an answer was an error
  # Pages wget downloaded to parse: lines "URL:<address> [bytes/bytes] -> file" (in spider
  # mode it asks for each page twice, HEAD and then GET).
  grep -o "URL:$origin[^ ]* \[" "$dir/wget.log" | sed -e "s#^URL:$origin##" -e 's# \[$##' | sort -u >"$dir/found.txt" || true
}

run_linkchecker() {
  threads=8
  chmod 777 "$dir"
  (cd "$dir" && /usr/bin/time -v -o "$dir/time.txt" timeout "$LIMIT" linkchecker -f "$WORK/linkcheckerrc-$proto" \
      -t "$threads" --no-status --no-warnings -v -o csv "$origin/" >"$dir/links.csv" 2>"$dir/stderr.txt") || true
  # csv: urlname;parentname;base;result;...;url;...  the checked address is the "url" column.
  python3 - "$dir/links.csv" "$origin" >"$dir/found.txt" <<'PY'
import csv, sys
origin = sys.argv[2]
found = set()
with open(sys.argv[1], newline="") as f:
    rows = [line for line in f if not line.startswith("#")]
reader = csv.DictReader(rows, delimiter=";")
for row in reader:
    url = row.get("url") or ""
    if url.startswith(origin) and row.get("valid") == "True":
        found.add(url[len(origin):] or "/")
print("\n".join(sorted(found)))
PY
}

results="$WORK/results.tsv"
printf 'protocol\tcrawler\tthreads\tpages found\tseconds\tpages/s\tideal pages/s\t%% of ideal\tconnections\tconnections/page\trequests\n' >"$results"

make_certificate
read -r -a tools <<<"$TOOLS"
for proto in $PROTOCOLS; do
  start_server "$proto"
  mean_ms=$(json_field "$(control __status)" site_mean_delay_ms)
  echo "$proto: $PAGES pages at $origin, mean answer delay $mean_ms ms"
  for tool in "${tools[@]}"; do
    dir="$WORK/$proto-$tool"
    rm -rf "$dir" && mkdir -p "$dir"
    control __reset >/dev/null
    "run_$tool"
    sleep 0.5  # connections the crawler left open are closed by now
    counters=$(control __status)
    connections=$(json_field "$counters" connections)
    requests=$(json_field "$counters" requests)
    found=$(sort -u "$dir/found.txt" | grep -c . || true)
    wall=$(wall_seconds "$dir/time.txt")
    line=$(awk -v p="$proto" -v c="$tool" -v t="$threads" -v f="$found" -v w="$wall" -v m="$mean_ms" -v n="$connections" -v r="$requests" 'BEGIN {
      pps = w > 0 ? f / w : 0; ideal = t * 1000 / m;
      printf "%s\t%s\t%d\t%d\t%.1f\t%.1f\t%.1f\t%.0f%%\t%d\t%.3f\t%d", p, c, t, f, w, pps, ideal, 100 * pps / ideal, n, (f > 0 ? n / f : 0), r }')
    echo "$line" >>"$results"
    echo "  $line"
  done
  stop_server
done
echo
column -t -s $'\t' "$results"
