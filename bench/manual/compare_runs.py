#!/usr/bin/env python3
"""Compares the veltro, wget2 and wget runs of bench/manual/compare.sh for one manual."""
import re
import statistics
import sys
from pathlib import Path

work, origin, rounds, name = Path(sys.argv[1]), sys.argv[2], int(sys.argv[3]), sys.argv[4]


def is_html(url):
    path = url.split("?")[0]
    return path.endswith(".html") or path.endswith(".htm") or path.endswith("/")


def figures(run):
    tool, seconds, kb = (run / "figures").read_text().split()
    return float(seconds), int(kb)


def veltro_sets(run):
    urls = [u for u in next(run.glob("*_urls.txt")).read_bytes().decode("latin-1").split("\r\n") if u]
    locs = []
    for f in sorted(run.glob("*_sitemap*.xml")):
        locs += re.findall(r"<loc>([^<]*)</loc>", f.read_text("latin-1"))
    failed = {}
    for line in next(run.glob("*_failed.tsv")).read_text("utf-8").splitlines():
        path, code = line.split("\t")[:2]
        failed[origin + path] = code
    return urls, locs, failed


def wget_sets(run):
    text = (run / "log").read_text("latin-1")
    found = {m.group(1) for m in re.finditer(r"URL: ?(http\S+)", text)}
    broken = set()
    m = re.search(r"Found \d+ broken links?\.\n\n(.*?)\n\n", text, re.S)
    if m:
        broken = {line.strip() for line in m.group(1).splitlines() if line.strip().startswith("http")}
    return found, broken


def served_pages(run):
    """The HTML addresses nginx answered with 200 (wget2's log names no set to compare)."""
    pages = set()
    for line in (run / "access.log").read_text("latin-1").splitlines():
        m = re.search(r'"(?:GET|HEAD) (\S+) HTTP/[^"]*" (\d+)', line)
        if m and m.group(2) == "200" and is_html(origin + m.group(1)):
            pages.add(origin + m.group(1))
    return pages


def requests(run):
    lines = (run / "access.log").read_text("latin-1").splitlines()
    return len(lines)


v_runs = [work / f"veltro-{r}" for r in range(1, rounds + 1)]
w_runs = [work / f"wget-{r}" for r in range(1, rounds + 1)]
w2_runs = [work / f"wget2-{r}" for r in range(1, rounds + 1)]
urls, locs, failed = veltro_sets(v_runs[0])
found, broken = wget_sets(w_runs[0])
ours = {u for u in urls if is_html(u)}
theirs = {u for u in found if is_html(u)} - broken
false_failures = sorted(set(failed) - broken)
v_time = statistics.median(figures(r)[0] for r in v_runs)
w_time = statistics.median(figures(r)[0] for r in w_runs)
v_mem = statistics.median(figures(r)[1] for r in v_runs)
w_mem = statistics.median(figures(r)[1] for r in w_runs)
w2_time = statistics.median(figures(r)[0] for r in w2_runs)
w2_mem = statistics.median(figures(r)[1] for r in w2_runs)
theirs2 = served_pages(w2_runs[0])

print(f"== {name}")
print(f"HTML pages: veltro {len(ours)}, wget {len(theirs)}, both {len(ours & theirs)}, "
      f"only veltro {len(ours - theirs)}, only wget {len(theirs - ours)}")
for u in sorted(ours - theirs)[:10]:
    print("  only veltro:", u)
for u in sorted(theirs - ours)[:10]:
    print("  only wget:  ", u)
print(f"HTML pages wget2 fetched: {len(theirs2)}, only veltro {len(ours - theirs2)}, only wget2 {len(theirs2 - ours)}")
print(f"sitemap: {len(locs)} entries, {len(set(locs))} distinct; URL list {len(urls)} lines, {len(set(urls))} distinct")
print(f"failures: veltro {len(failed)}, wget broken {len(broken)}, veltro's not among wget's: {len(false_failures)}")
for u in false_failures[:10]:
    print("  ", u, failed[u])
print(f"requests served: veltro {requests(v_runs[0])}, wget2 {requests(w2_runs[0])}, wget {requests(w_runs[0])}")
print(f"time (median of {rounds}): veltro {v_time:.2f} s, wget2 {w2_time:.2f} s, wget {w_time:.2f} s; "
      f"wget2/veltro {w2_time / v_time:.2f}x, wget/veltro {w_time / v_time:.2f}x")
print(f"peak memory (median): veltro {v_mem / 1024:.1f} MB, wget2 {w2_mem / 1024:.1f} MB, wget {w_mem / 1024:.1f} MB")
