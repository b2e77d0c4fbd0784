#!/usr/bin/env bash
# The crawl benchmark, run by hand: veltro-sitemap-cli and wget crawl the same generated
# site served by nginx on 127.0.0.1; each is timed as a whole process with its peak
# resident memory, and each one's count of pages found is checked against the site.
#
#   bench/crawl/run_bench.sh [N ...]        default: 10000 100000
#
# Environment: BUILD (build folder holding bin/veltro-sitemap-cli, default build),
# WORK (scratch folder, default /dev/shm/veltro-crawl-bench when it has 4 GB free, else
# /tmp/veltro-crawl-bench), PORT (default 18080),
# VELTRO_ARGS (further options of veltro-sitemap-cli, split at spaces, such as URL rules),
# TOOLS (which crawlers, default "veltro wget2 wget"; veltro_content is veltro with
# --lastmod-from content), ROUNDS (runs of each crawler per size,
# default 3), THREADS (veltro's workers and wget2's threads, default 8), LINKS (when set,
# small pages of exactly that many same-site links: the scale run, e.g. LINKS=10 with
# N = 500000 1000000), DEPTH (veltro's depth, default 5, 20 with LINKS), BASELINE (another
# build folder: the tool "baseline" is its veltro-sitemap-cli, for a before-and-after in one run). The rounds take turns at going first, so neither crawler always meets a cold
# server; the summary shows each crawler's median run.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
BUILD="${BUILD:-$repo/build}"
# The sites live in memory when /dev/shm can hold them: where the page cache cannot keep a
# 1 GB site, nginx would block on the disk and slow both crawlers alike.
if [ -z "${WORK:-}" ]; then
  WORK=/tmp/veltro-crawl-bench
  if [ -d /dev/shm ] && [ "$(df --output=avail -k /dev/shm 2>/dev/null | tail -1)" -gt 4000000 ] 2>/dev/null; then
    WORK=/dev/shm/veltro-crawl-bench
  fi
fi
PORT="${PORT:-18080}"
TOOLS="${TOOLS:-veltro wget2 wget}"
THREADS="${THREADS:-8}"
LINKS="${LINKS:-}"
DEPTH="${DEPTH:-$([ -n "$LINKS" ] && echo 20 || echo 5)}"
ROUNDS="${ROUNDS:-3}"
VELTRO_ARGS="${VELTRO_ARGS:-}"
CLI="$BUILD/bin/veltro-sitemap-cli"
sizes=("$@")
[ ${#sizes[@]} -gt 0 ] || sizes=(10000 100000)

for tool in /usr/sbin/nginx /usr/bin/time wget python3; do
  command -v "$tool" >/dev/null || { echo "missing: $tool (bash scripts/setup.sh --extras installs it)" >&2; exit 1; }
done
[ -x "$CLI" ] || { echo "missing: $CLI (build it first: bash build.sh)" >&2; exit 1; }
mkdir -p "$WORK"

nginx_pid=""
stop_nginx() {
  if [ -n "$nginx_pid" ]; then
    kill "$nginx_pid" 2>/dev/null || true
    wait "$nginx_pid" 2>/dev/null || true
    nginx_pid=""
  fi
}
trap stop_nginx EXIT

# One worker process: the crawlers and the server share the machine's cores.
start_nginx() {
  local root="$1" conf="$WORK/nginx"
  mkdir -p "$conf"
  cat >"$conf/nginx.conf" <<CONF
daemon off;
master_process off;
worker_processes 1;
worker_rlimit_nofile 65536;
pid $conf/nginx.pid;
error_log $conf/error.log warn;
events { worker_connections 4096; }
http {
  # wget2's pages are read from the log (buffered: every crawler pays the same little for it).
  access_log $conf/access.log combined buffer=256k flush=1s;
  etag off;
  types { text/html html; application/pdf pdf; application/zip zip; application/octet-stream exe rar;
          audio/mpeg mp3; application/msword doc; }
  default_type application/octet-stream;
  sendfile on;
  keepalive_requests 1000000;
  keepalive_timeout 60s;

  client_body_temp_path $conf/body;
  proxy_temp_path $conf/proxy;
  fastcgi_temp_path $conf/fastcgi;
  uwsgi_temp_path $conf/uwsgi;
  scgi_temp_path $conf/scgi;
  server {
    listen 127.0.0.1:$PORT;
    root $root;
    index index.html;
  }
}
CONF
  /usr/sbin/nginx -p "$conf" -c "$conf/nginx.conf" &
  nginx_pid=$!
  for _ in $(seq 1 100); do
    if curl -s -o /dev/null "http://127.0.0.1:$PORT/"; then return 0; fi
    sleep 0.05
  done
  echo "nginx did not start; see $conf/error.log" >&2
  exit 1
}

# Wall seconds and peak resident kilobytes from GNU time's -v report.
time_field() {
  local report="$1" field="$2"
  case "$field" in
    wall) awk -F': ' '/Elapsed \(wall clock\)/ { n = split($2, t, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + t[i]; print s }' "$report" ;;
    rss) awk -F': ' '/Maximum resident set size/ { print $2 }' "$report" ;;
  esac
}

# Prints "found missing extra" for a list of paths against the site's page list.
check_pages() {
  local found="$1" truth="$2"
  local n_found n_missing n_extra
  sort -u "$found" >"$found.sorted"
  n_found=$(wc -l <"$found.sorted")
  n_missing=$(comm -23 "$truth.sorted" "$found.sorted" | wc -l)
  n_extra=$(comm -13 "$truth.sorted" "$found.sorted" | wc -l)
  echo "$n_found $n_missing $n_extra"
}

results="$WORK/results.tsv"
printf 'round\ttool\tpages\tseconds\tfound\tmissing\textra\tpages_per_s\tpeak_rss_kb\tbytes_per_page\n' >"$results"

record() {
  local tool="$1" n="$2" report="$3" found_list="$4" site="$5"
  local wall rss check found missing extra pps bpp
  wall=$(time_field "$report" wall)
  rss=$(time_field "$report" rss)
  check=$(check_pages "$found_list" "$site/pages.txt")
  read -r found missing extra <<<"$check"
  pps=$(awk -v f="$found" -v w="$wall" 'BEGIN { printf "%.0f", (w > 0 ? f / w : 0) }')
  bpp=$(awk -v r="$rss" -v n="$n" 'BEGIN { printf "%.0f", r * 1024 / n }')
  printf '%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\t%s\n' "$round" "$tool" "$n" "$wall" "$found" "$missing" "$extra" "$pps" "$rss" "$bpp" >>"$results"
  printf '%-8s N=%-7s %8.2f s  found %s (missing %s, extra %s)  %s pages/s  peak %s KB  %s B/page\n' \
    "$tool" "$n" "$wall" "$found" "$missing" "$extra" "$pps" "$rss" "$bpp"
}

# One veltro run as tool ($1), with further options; a working folder of its own ($4: kept
# across rounds when set, so a history begun by the first round is judged against later).
veltro_run() {
  local tool="$1" n="$2" site="$3" keep="${4:-}" dir="$WORK/$1-$2"
  shift 4
  if [ -z "$keep" ]; then rm -rf "$dir"; fi
  rm -rf "$dir/out" && mkdir -p "$dir/run"
  # An empty working folder: no settings database.
  (cd "$dir/run" && /usr/bin/time -v -o "$dir/time.txt" "$CLI" -q -t "$THREADS" -d "$DEPTH" ${VELTRO_ARGS:-} "$@" -o "$dir/out" "http://127.0.0.1:$PORT/" \
      >"$dir/stdout.txt" 2>"$dir/stderr.txt") || echo "veltro-sitemap-cli exited with $? (see $dir/stderr.txt)" >&2
  # Full addresses back to paths; the list has no line break after its last address.
  { cat "$dir"/out/127.0.0.1*_urls.txt; echo; } | tr -d '\r' | sed -e "s#^http://127.0.0.1:$PORT##" -e '/^$/d' >"$dir/found.txt"
  record "$tool" "$n" "$dir/time.txt" "$dir/found.txt" "$site"
}

run_veltro() { veltro_run veltro "$1" "$2" ""; }

run_baseline() {
  [ -x "${BASELINE:-}/bin/veltro-sitemap-cli" ] || { echo "BASELINE names no build with bin/veltro-sitemap-cli" >&2; exit 1; }
  local saved="$CLI"
  CLI="$BASELINE/bin/veltro-sitemap-cli"
  veltro_run baseline "$1" "$2" ""
  CLI="$saved"
}

# lastmod from content: the first round begins the site's history (every page new), the later
# ones judge every page against it; the history's size on disk per page is printed.
run_veltro_content() {
  veltro_run veltro_content "$1" "$2" keep --lastmod-from content
  local history="$WORK/veltro_content-$1/run/db/history"
  local kb
  kb=$(du -sk "$history" | cut -f1)
  echo "         history $history: $kb KB, $(awk -v k="$kb" -v n="$1" 'BEGIN { printf "%.1f", k * 1024 / n }') B/page"
}

run_wget() {
  local n="$1" site="$2" dir="$WORK/wget-$n"
  rm -rf "$dir" && mkdir -p "$dir"
  (cd "$dir" && /usr/bin/time -v -o "$dir/time.txt" wget --spider -r -l inf -nv -e robots=off -o "$dir/wget.log" \
      "http://127.0.0.1:$PORT/") || true  # exit 8: the site has some 404 links
  # Pages that wget downloaded to parse (a line "URL:... [bytes/bytes] -> file"); the
  # forbidden-type files only got a "200 OK" to a HEAD request and are not pages.
  grep -o "URL:http://127.0.0.1:$PORT[^ ]* \[" "$dir/wget.log" | sed -e 's#^URL:http://127.0.0.1:[0-9]*##' -e 's# \[$##' \
    | grep -v '^/files/' >"$dir/found.txt" || true
  record wget "$n" "$dir/time.txt" "$dir/found.txt" "$site"
}

run_wget2() {
  local n="$1" site="$2" dir="$WORK/wget2-$n"
  rm -rf "$dir" && mkdir -p "$dir"
  : >"$WORK/nginx/access.log"
  (cd "$dir" && /usr/bin/time -v -o "$dir/time.txt" wget2 --spider -r -l 0 --robots=off --max-threads="$THREADS" \
      --no-verbose -o "$dir/wget2.log" "http://127.0.0.1:$PORT/" >/dev/null 2>&1) || true
  sleep 1.5  # the log's buffer is flushed
  # Its log names no list to compare: the pages nginx answered it (the access log of its runs).
  awk '$9 == 200 && $6 == "\"GET" { print $7 }' "$WORK/nginx/access.log" | grep -v '^/files/' >"$dir/found.txt" || true
  record wget2 "$n" "$dir/time.txt" "$dir/found.txt" "$site"
}

echo "load before: $(uptime)"
for n in "${sizes[@]}"; do
  site="$WORK/site-$n${LINKS:+-links$LINKS}"
  if [ ! -f "$site/pages.txt" ] || [ "$(wc -l <"$site/pages.txt")" -ne "$n" ]; then
    rm -rf "$site"
    python3 "$here/make_site.py" "$site" "$n" ${LINKS:+--links "$LINKS"}
  fi
  sort -u "$site/pages.txt" >"$site/pages.txt.sorted"
  start_nginx "$site"
  read -r -a tools <<<"$TOOLS"
  for round in $(seq 1 "$ROUNDS"); do
    for k in "${!tools[@]}"; do
      "run_${tools[$(( (k + round - 1) % ${#tools[@]} ))]}" "$n" "$site"
    done
  done
  stop_nginx
  echo "load after N=$n: $(uptime)"
done
echo
column -t -s $'\t' "$results"
echo
echo "median run of each crawler:"
{
  head -1 "$results" | cut -f2-
  # Sorted by crawler, size and time; the middle line of each group.
  tail -n +2 "$results" | sort -t $'\t' -k2,2 -k3,3n -k4,4n | awk -F'\t' -v OFS='\t' '
    { key = $2 FS $3; if (key != last) { flush(); last = key; n = 0 } rows[++n] = $0 }
    function flush() { if (n) { split(rows[int((n + 1) / 2)], f, FS); line = f[2]; for (i = 3; i <= 10; i++) line = line OFS f[i]; print line } }
    END { flush() }'
} | column -t -s $'\t' 
