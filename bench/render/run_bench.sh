#!/usr/bin/env bash
# Crawls a generated single-page-application site (bench/render/make_spa_site.py) with the
# headless command, without and with --render, served by nginx on 127.0.0.1; prints the pages
# found, the time, pages per second, the command's peak memory and the browser's (the summed
# proportional set size of its processes, sampled every 100 ms).
#   bench/render/run_bench.sh [N=2000]
# Environment: BUILD (default build), THREADS (default 8), PORT (default 18090).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
BUILD="${BUILD:-$repo/build}"
N="${1:-2000}"
THREADS="${THREADS:-8}"
PORT="${PORT:-18090}"
CLI="$BUILD/bin/veltro-sitemap-cli"
WORK="$(mktemp -d /tmp/veltro-render-bench.XXXXXX)"
trap 'kill "$nginx_pid" 2>/dev/null || true; rm -rf "$WORK"' EXIT
python3 "$here/make_spa_site.py" "$WORK/site" "$N"
mkdir -p "$WORK/nginx"
cat >"$WORK/nginx/nginx.conf" <<CONF
daemon off;
master_process off;
worker_processes 1;
pid $WORK/nginx/nginx.pid;
error_log $WORK/nginx/error.log warn;
events { worker_connections 1024; }
http {
  access_log off;
  etag off;
  types { text/html html; application/json json; application/javascript js; text/css css; image/png png; }
  client_body_temp_path $WORK/nginx/body;
  proxy_temp_path $WORK/nginx/proxy;
  fastcgi_temp_path $WORK/nginx/fastcgi;
  uwsgi_temp_path $WORK/nginx/uwsgi;
  scgi_temp_path $WORK/nginx/scgi;
  server { listen 127.0.0.1:$PORT; root $WORK/site; index index.html; }
}
CONF
/usr/sbin/nginx -c "$WORK/nginx/nginx.conf" &
nginx_pid=$!
sleep 0.5

# The browser's memory: the most the chromium processes held together, by PSS; and the
# command's own peak (VmHWM: GNU time would report the largest process of the tree, the browser).
browser_peak() {
  local peak=0 sum own=0 hwm pid
  while [ -e "$WORK/running" ]; do
    sum=0
    for p in $(pgrep -f -- "--remote-debugging-pipe" || true); do
      sum=$((sum + $(awk '/^Pss:/ {print $2}' "/proc/$p/smaps_rollup" 2>/dev/null || echo 0)))
    done
    [ "$sum" -gt "$peak" ] && peak=$sum
    pid=$(pgrep -f -- "^$CLI " | head -n 1 || true)
    if [ -n "$pid" ]; then
      hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$pid/status" 2>/dev/null || echo 0)
      [ -n "$hwm" ] && [ "$hwm" -gt "$own" ] && own=$hwm
    fi
    sleep 0.1
  done
  echo "$own $peak"
}

printf "mode\tpages\tfound\tseconds\tpages_per_s\tcli_peak_kb\tbrowser_peak_pss_kb\n"
for mode in static render; do
  out="$WORK/out-$mode"
  mkdir -p "$out"
  flags=(-q --plain --no-journal -d 50 -t "$THREADS" -o "$out")
  [ "$mode" = render ] && flags+=(--render)
  touch "$WORK/running"
  browser_peak >"$WORK/browser-$mode" &
  sampler=$!
  /usr/bin/time -v -o "$WORK/time-$mode" "$CLI" "${flags[@]}" "http://127.0.0.1:$PORT/" || true
  rm -f "$WORK/running"
  wait "$sampler"
  found=$(grep -c "^http" "$out"/*_urls.txt || true)
  secs=$(awk -F': ' '/Elapsed \(wall clock\)/ {split($2, t, ":"); s = t[length(t)]; m = (length(t) > 1) ? t[length(t)-1] : 0; print m * 60 + s}' "$WORK/time-$mode")
  read -r rss browser <"$WORK/browser-$mode"
  pps=$(awk -v f="$found" -v s="$secs" 'BEGIN { printf "%.1f", (s > 0) ? f / s : 0 }')
  printf "%s\t%s\t%s\t%s\t%s\t%s\t%s\n" "$mode" "$N" "$found" "$secs" "$pps" "$rss" "$browser"
done
