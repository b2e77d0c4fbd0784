#!/usr/bin/env bash
# Real HTML no one here wrote: the HTML manuals of Debian documentation packages, served by
# nginx on 127.0.0.1 (no ETags), crawled by veltro-sitemap-cli, by wget2 --spider -r with as many
# threads, and by wget --spider -r. Run by hand.
#
#   bench/manual/compare.sh [ROOT ...]
#
# Each ROOT is a folder holding a manual (default: the Python 3.11 manual of python3.11-doc,
# the PostgreSQL 15 manual of postgresql-doc-15 and the SQLite manual of sqlite3-doc, when
# installed; bench/manual/make_large_manual.py DIR writes one whose index pages reach 4 MB and
# 10,000 anchors). First, bench_link_sets reads every page of them as the crawl does and from its
# whole markup, and counts the pages whose links differ (there must be none). Then each crawler is timed
# as whole processes with their peak memory; the pages each found are compared as sets of
# HTML addresses, the sitemap's entries against its distinct pages, and each one's failures
# against wget's broken links.
#
# Environment: BUILD (build folder, default build), THREADS (default 8), PORT (default
# 18090), ROUNDS (default 3; times and memory are the median run), WORK (scratch folder).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
BUILD="${BUILD:-$repo/build}"
THREADS="${THREADS:-8}"
PORT="${PORT:-18090}"
ROUNDS="${ROUNDS:-3}"
WORK="${WORK:-/tmp/veltro-manual-bench}"
CLI="$BUILD/bin/veltro-sitemap-cli"
roots=("$@")
if [ ${#roots[@]} -eq 0 ]; then
  for r in /usr/share/doc/python3.11/html /usr/share/doc/postgresql-doc-15/html /usr/share/doc/sqlite3; do [ -d "$r" ] && roots+=("$r"); done
fi
[ ${#roots[@]} -gt 0 ] || { echo "no manual: apt-get install python3.11-doc postgresql-doc-15 sqlite3-doc" >&2; exit 1; }
for tool in /usr/sbin/nginx /usr/bin/time wget wget2 python3; do
  command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done
[ -x "$CLI" ] || { echo "missing: $CLI (bash build.sh)" >&2; exit 1; }
rm -rf "$WORK" && mkdir -p "$WORK"
if [ -x "$BUILD/bin/bench_link_sets" ]; then
  echo "== link sets, whole markup against link markup"
  "$BUILD/bin/bench_link_sets" "${roots[@]}" | tee "$WORK/link_sets.txt"
fi

nginx_pid=""
stop_nginx() {
  if [ -n "$nginx_pid" ]; then kill "$nginx_pid" 2>/dev/null || true; wait "$nginx_pid" 2>/dev/null || true; nginx_pid=""; fi
}
trap stop_nginx EXIT

start_nginx() {
  local root="$1" conf="$WORK/nginx"
  mkdir -p "$conf"
  cat >"$conf/nginx.conf" <<CONF
daemon off;
master_process off;
worker_processes 1;
pid $conf/nginx.pid;
error_log $conf/error.log warn;
events { worker_connections 1024; }
http {
  include /etc/nginx/mime.types;
  access_log $conf/access.log;
  sendfile on;
  # wget2 passes over a page whose ETag it has seen, and misses what only that page links.
  etag off;
  client_body_temp_path $conf/body;
  proxy_temp_path $conf/proxy;
  fastcgi_temp_path $conf/fastcgi;
  uwsgi_temp_path $conf/uwsgi;
  scgi_temp_path $conf/scgi;
  server { listen 127.0.0.1:$PORT; root $root; index index.html; }
}
CONF
  /usr/sbin/nginx -c "$conf/nginx.conf" &
  nginx_pid=$!
  for _ in $(seq 100); do curl -s -o /dev/null "http://127.0.0.1:$PORT/" && return 0; sleep 0.05; done
  echo "nginx did not start" >&2; exit 1
}

# Seconds and peak kilobytes of one run, from /usr/bin/time.
measure() { awk -F': ' '/Elapsed/ {split($2,t,":"); s=t[1]*60+t[2]} /Maximum resident/ {m=$2} END {print s, m}' "$1"; }

summary="$WORK/summary.txt"
: >"$summary"
for root in "${roots[@]}"; do
  name=$(basename "$(dirname "$root")")/$(basename "$root")
  start_nginx "$root"
  origin="http://127.0.0.1:$PORT"
  for round in $(seq "$ROUNDS"); do
    for tool in veltro wget2 wget; do
      out="$WORK/$tool-$round"
      rm -rf "$out" && mkdir -p "$out"
      : >"$WORK/nginx/access.log"
      if [ "$tool" = veltro ]; then
        /usr/bin/time -v -o "$out/time" "$CLI" -q --plain -t "$THREADS" -o "$out" "$origin/" || true
      elif [ "$tool" = wget2 ]; then
        (cd "$out" && /usr/bin/time -v -o "$out/time" wget2 --spider -r -l 0 --robots=off --max-threads="$THREADS" \
          --no-verbose -o "$out/log" "$origin/" || true)
      else
        (cd "$out" && /usr/bin/time -v -o "$out/time" wget --spider -r -l inf -e robots=off -nv -o "$out/log" "$origin/" || true)
      fi
      cp "$WORK/nginx/access.log" "$out/access.log"
      echo "$tool $(measure "$out/time")" >>"$out/figures"
    done
  done
  stop_nginx
  echo "== $name: load after the runs: $(uptime)" | tee -a "$summary"
  python3 "$here/compare_runs.py" "$WORK" "$origin" "$ROUNDS" "$name" | tee -a "$summary"
done
echo
echo "summary in $summary"
