#!/usr/bin/env bash
# The audit's cost, run by hand: a generated site of N pages (bench/crawl/make_site.py) plus
# ORPHANS pages nothing links to, its robots.txt naming a sitemap index of gzip documents
# that list every page and every orphan, served by nginx on 127.0.0.1. veltro-sitemap-cli
# crawls it with and without --audit, each run timed as a whole process (GNU time -v: wall
# time, peak resident memory).
#
#   bench/audit/run_bench.sh [N [ORPHANS]]        default: 30000 1000
#
# Environment: BUILD (default build), WORK (default /dev/shm/veltro-audit-bench, else /tmp),
# PORT (default 18095), ROUNDS (default 3), THREADS (default 8), LINKS (page size as in
# make_site.py --links; default 10, small pages).
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
repo="$(cd "$here/../.." && pwd)"
BUILD="${BUILD:-$repo/build}"
WORK="${WORK:-$([ -d /dev/shm ] && echo /dev/shm/veltro-audit-bench || echo /tmp/veltro-audit-bench)}"
PORT="${PORT:-18095}"
ROUNDS="${ROUNDS:-3}"
THREADS="${THREADS:-8}"
LINKS="${LINKS:-10}"
N="${1:-30000}"
ORPHANS="${2:-1000}"
CLI="$BUILD/bin/veltro-sitemap-cli"
for tool in /usr/sbin/nginx /usr/bin/time python3 curl; do
  command -v "$tool" >/dev/null || { echo "missing: $tool" >&2; exit 1; }
done
[ -x "$CLI" ] || { echo "missing: $CLI (build it first)" >&2; exit 1; }
mkdir -p "$WORK"
site="$WORK/site-$N-$ORPHANS"
if [ ! -f "$site/robots.txt" ]; then
  rm -rf "$site"
  python3 "$repo/bench/crawl/make_site.py" "$site" "$N" --links "$LINKS" >/dev/null
  python3 - "$site" "$ORPHANS" "$PORT" <<'PY'
import gzip, os, sys
root, orphans, port = sys.argv[1], int(sys.argv[2]), sys.argv[3]
origin = "http://127.0.0.1:%s" % port
paths = [line.strip() for line in open(os.path.join(root, "pages.txt")) if line.strip()]
os.makedirs(os.path.join(root, "orphan"), exist_ok=True)
for i in range(orphans):
    with open(os.path.join(root, "orphan", "%d.html" % i), "w") as f:
        f.write("<html><head><title>o</title></head><body><a href=\"/\">home</a></body></html>")
    paths.append("/orphan/%d.html" % i)
ns = "http://www.sitemaps.org/schemas/sitemap/0.9"
docs = []
for n, start in enumerate(range(0, len(paths), 50000)):
    body = ['<?xml version="1.0" encoding="UTF-8"?>\n<urlset xmlns="%s">\n' % ns]
    body += ["<url><loc>%s%s</loc><lastmod>2024-05-06</lastmod></url>\n" % (origin, p) for p in paths[start:start + 50000]]
    body.append("</urlset>\n")
    name = "sm%d.xml.gz" % n
    with open(os.path.join(root, name), "wb") as f:
        f.write(gzip.compress("".join(body).encode()))
    docs.append(name)
with open(os.path.join(root, "sitemap_index.xml"), "w") as f:
    f.write('<?xml version="1.0"?>\n<sitemapindex xmlns="%s">\n' % ns)
    f.writelines("<sitemap><loc>%s/%s</loc></sitemap>\n" % (origin, d) for d in docs)
    f.write("</sitemapindex>\n")
with open(os.path.join(root, "robots.txt"), "w") as f:
    f.write("User-agent: *\nDisallow:\nSitemap: %s/sitemap_index.xml\n" % origin)
PY
fi

conf="$WORK/nginx"
mkdir -p "$conf"
cat >"$conf/nginx.conf" <<CONF
daemon off;
master_process off;
worker_processes 1;
pid $conf/nginx.pid;
error_log $conf/error.log warn;
events { worker_connections 4096; }
http {
  access_log off;
  types { text/html html; text/plain txt; application/xml xml; application/gzip gz; }
  default_type application/octet-stream;
  sendfile on;
  keepalive_requests 1000000;
  client_body_temp_path $conf/body;
  proxy_temp_path $conf/proxy;
  fastcgi_temp_path $conf/fastcgi;
  uwsgi_temp_path $conf/uwsgi;
  scgi_temp_path $conf/scgi;
  server { listen 127.0.0.1:$PORT; root $site; index index.html; }
}
CONF
/usr/sbin/nginx -p "$conf" -c "$conf/nginx.conf" &
nginx_pid=$!
trap 'kill $nginx_pid 2>/dev/null || true; wait $nginx_pid 2>/dev/null || true' EXIT
for _ in $(seq 1 100); do curl -s -o /dev/null "http://127.0.0.1:$PORT/" && break; sleep 0.05; done

field() {
  case "$2" in
    wall) awk -F': ' '/Elapsed \(wall clock\)/ { n = split($2, t, ":"); s = 0; for (i = 1; i <= n; i++) s = s * 60 + t[i]; print s }' "$1" ;;
    rss) awk -F': ' '/Maximum resident set size/ { print $2 }' "$1" ;;
  esac
}

printf 'run\taudit\tseconds\tpeak_rss_kb\turls\taudit_rows\n'
for round in $(seq 1 "$ROUNDS"); do
  for mode in off on; do
    dir="$WORK/run-$mode-$round"
    rm -rf "$dir" && mkdir -p "$dir/out"
    args=(-q -t "$THREADS" -d 30)
    [ "$mode" = on ] && args+=(--audit)
    (cd "$dir" && /usr/bin/time -v -o "$dir/time.txt" "$CLI" "${args[@]}" -o "$dir/out" "http://127.0.0.1:$PORT/" 2>"$dir/err.txt")
    urls=$(cat "$dir"/out/*_urls.txt | wc -l)
    rows=$( [ -f "$dir"/out/*_audit.tsv ] && tail -n +2 "$dir"/out/*_audit.tsv | wc -l || echo -)
    printf '%s\t%s\t%s\t%s\t%s\t%s\n' "$round" "$mode" "$(field "$dir/time.txt" wall)" "$(field "$dir/time.txt" rss)" "$urls" "$rows"
  done
done
