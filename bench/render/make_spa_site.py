#!/usr/bin/env python3
"""Writes a single-page-application site of N pages: every page is the same shell whose links
are written by its script from /data/<n>.json, so only a crawl that runs the script finds more
than the root's one static link. Page n links pages 5n+1 to 5n+5 and three others."""
import json
import os
import random
import sys

SHELL = """<!DOCTYPE html><html><head><meta charset="utf-8"><title>App</title>
<link rel="stylesheet" href="/app.css"></head><body>
<header><a href="/about.html">About</a></header><main id="list"></main><img src="/logo.png">
<script src="/app.js"></script></body></html>
"""

SCRIPT = """const n = location.pathname === '/' ? 0 : parseInt(location.pathname.slice(3), 10);
fetch('/data/' + n + '.json').then(r => r.json()).then(links => {
  const list = document.getElementById('list');
  for (const href of links) {
    const a = document.createElement('a');
    a.href = href;
    a.textContent = href;
    a.onclick = e => { e.preventDefault(); history.pushState({}, '', href); };
    list.appendChild(a);
  }
});
"""


def main():
    root, n = sys.argv[1], int(sys.argv[2])
    rng = random.Random(7)
    os.makedirs(os.path.join(root, "p"), exist_ok=True)
    os.makedirs(os.path.join(root, "data"), exist_ok=True)
    for path in ("index.html", "about.html"):
        with open(os.path.join(root, path), "w") as f:
            f.write(SHELL)
    with open(os.path.join(root, "app.js"), "w") as f:
        f.write(SCRIPT)
    with open(os.path.join(root, "app.css"), "w") as f:
        f.write("main a { display: block; }\n")
    with open(os.path.join(root, "logo.png"), "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
    for i in range(1, n):
        with open(os.path.join(root, "p", "%d.html" % i), "w") as f:
            f.write(SHELL)
    for i in range(n):
        links = ["/p/%d.html" % c for c in range(5 * i + 1, 5 * i + 6) if c < n]
        links += ["/p/%d.html" % rng.randrange(1, n) for _ in range(3)]
        with open(os.path.join(root, "data", "%d.json" % i), "w") as f:
            json.dump(links, f)
    with open(os.path.join(root, "pages.txt"), "w") as f:
        f.write("/\n/about.html\n" + "".join("/p/%d.html\n" % i for i in range(1, n)))


if __name__ == "__main__":
    main()
