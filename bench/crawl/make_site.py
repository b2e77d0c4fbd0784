#!/usr/bin/env python3
"""Writes a static web site for the crawl benchmark.

    make_site.py DIR N [--seed S] [--links L]

Page 0 is "/" (DIR/index.html); page i > 0 is /p/<i // 1000>/<i>.html. The pages form a
tree of fan-out 20 (page i links to pages 20i+1 .. 20i+20), so every page is reachable
within depth 4 from "/" for N up to 160,000; every page also links to random other pages,
20 to 50 same-site links in all. Besides those: a few links to external sites, to files of
forbidden types (which exist, so other crawlers fetch them without error) and to missing
pages (404). Each page is about 10 KB.

Writes DIR/pages.txt with the path of every page (the site's true page list) and
DIR/site.json with the figures.

With --links L, every page is small (no filler text, no external, forbidden or missing
links) and holds exactly L same-site links: its children in a tree of fan-out L, then random
other pages. That site is for the scale run of a million pages, which then reach depth 7.
"""
import argparse
import json
import os
import random

FANOUT = 20
FORBIDDEN = [".pdf", ".zip", ".exe", ".mp3", ".doc", ".rar"]
FORBIDDEN_FILES = 60
WORDS = ("sitemap crawler page link index site host path depth thread batch result portion "
         "address fetch parse anchor header status body text list file order store record").split()


def page_path(i):
    return "/" if i == 0 else "/p/%d/%d.html" % (i // 1000, i)


def page_file(root, i):
    return os.path.join(root, "index.html") if i == 0 else os.path.join(root, "p", str(i // 1000), "%d.html" % i)


def filler(rng, size):
    parts = []
    total = 0
    while total < size:
        sentence = " ".join(rng.choice(WORDS) for _ in range(12)).capitalize() + ". "
        parts.append(sentence)
        total += len(sentence)
    return "".join(parts)


def make_small_page(rng, i, n, links):
    targets = [c for c in range(links * i + 1, links * i + links + 1) if c < n]
    while len(targets) < links and n > 1:
        other = rng.randrange(n)
        if other != i:
            targets.append(other)
    items = ['<li><a href="%s">Page %d</a></li>' % (page_path(j), j) for j in targets]
    page = ("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Page %d</title></head>\n"
            "<body>\n<ul>\n%s\n</ul>\n</body></html>\n" % (i, "\n".join(items)))
    return page, 0


def make_page(rng, i, n):
    children = [c for c in range(FANOUT * i + 1, FANOUT * i + FANOUT + 1) if c < n]
    target = rng.randint(20, 50)
    links = list(children)
    while len(links) < target and n > 1:
        other = rng.randrange(n)
        if other != i:
            links.append(other)
    rng.shuffle(links)
    items = ['<li><a href="%s">Page %d</a></li>' % (page_path(j), j) for j in links]
    extras = []
    for _ in range(rng.randint(2, 5)):
        extras.append('<li><a href="http://external-%d.example.org/x/%d.html">elsewhere</a></li>'
                      % (rng.randrange(50), rng.randrange(1000)))
    if rng.random() < 0.5:
        f = rng.randrange(FORBIDDEN_FILES)
        extras.append('<li><a href="/files/f%d%s">download</a></li>' % (f, FORBIDDEN[f % len(FORBIDDEN)]))
    missing = rng.random() < 0.01
    if missing:
        extras.append('<li><a href="/missing/%d.html">gone</a></li>' % i)
    head = ("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Page %d</title></head>\n"
            "<body>\n<h1>Page %d</h1>\n<ul>\n" % (i, i))
    body_links = "\n".join(items + extras)
    text_size = max(0, 10 * 1024 - len(head) - len(body_links) - 40)
    page = head + body_links + "\n</ul>\n<p>" + filler(rng, text_size) + "</p>\n</body></html>\n"
    return page, (1 if missing else 0)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("dir")
    parser.add_argument("n", type=int)
    parser.add_argument("--seed", type=int, default=7)
    parser.add_argument("--links", type=int, default=0)
    args = parser.parse_args()
    rng = random.Random(args.seed)
    n = args.n
    os.makedirs(os.path.join(args.dir, "files"), exist_ok=True)
    for d in range((n - 1) // 1000 + 1):
        os.makedirs(os.path.join(args.dir, "p", str(d)), exist_ok=True)
    missing_links = 0
    total_bytes = 0
    for i in range(n):
        page, missing = make_small_page(rng, i, n, args.links) if args.links else make_page(rng, i, n)
        missing_links += missing
        data = page.encode("utf-8")
        total_bytes += len(data)
        with open(page_file(args.dir, i), "wb") as out:
            out.write(data)
    for f in range(FORBIDDEN_FILES):
        with open(os.path.join(args.dir, "files", "f%d%s" % (f, FORBIDDEN[f % len(FORBIDDEN)])), "wb") as out:
            out.write(b"not a page\n")
    with open(os.path.join(args.dir, "pages.txt"), "w") as out:
        for i in range(n):
            out.write(page_path(i) + "\n")
    with open(os.path.join(args.dir, "site.json"), "w") as out:
        json.dump({"pages": n, "bytes": total_bytes, "pages_linking_to_404": missing_links,
                   "forbidden_files": FORBIDDEN_FILES, "seed": args.seed}, out)
    print("site: %d pages, %.1f MB, %d pages with a link to a missing page" % (n, total_bytes / 1e6, missing_links))


if __name__ == "__main__":
    main()
