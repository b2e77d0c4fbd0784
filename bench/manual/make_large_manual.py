#!/usr/bin/env python3
"""Writes a generated manual whose index pages are large: most pages are of a manual's usual
size (20-60 KB, 40-200 anchors, a navigation bar and footer every page repeats), and one page
in LARGE_EVERY is an index of 1 to 4 MB with 2,500 to 10,000 anchors (the last one: 4 MB and
10,000 anchors). Deterministic for a given page count. Run by hand:

    bench/manual/make_large_manual.py DIR [PAGES]      (default 1500 pages)
    bench/manual/compare.sh DIR
"""
import os
import random
import sys

LARGE_EVERY = 40
FOLDERS = 30

WORDS = ("the function returns a value when called with an argument that names the object of "
         "every module and its attributes are listed below in order of their definition").split()


def page_path(k):
    return "part%02d/page%04d.html" % (k % FOLDERS, k)


def href_to(rng, here, k, symbol):
    """A link from page `here` to page k, spelled as manuals spell them."""
    target = page_path(k)
    folder = os.path.dirname(page_path(here))
    kind = rng.random()
    if kind < 0.45:
        rel = os.path.relpath(target, folder)
    elif kind < 0.65:
        rel = "/" + target
    elif kind < 0.8:
        rel = "#" + symbol
        return rel
    else:
        rel = os.path.relpath(target, folder)
    return rel + ("#" + symbol if rng.random() < 0.7 else "")


def sentence(rng, n):
    return " ".join(rng.choice(WORDS) for _ in range(n))


def head(title, depth):
    up = "../" * depth
    return (
        "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
        "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
        f"<title>{title}</title>\n<link rel=\"stylesheet\" href=\"{up}static/style.css\">\n"
        "<style>body { font-family: sans-serif } .nav a { margin: 0 4px } /* <a href=x> */</style>\n"
        "<script>var links = document.querySelectorAll('a'); if (links.length < 2) { console.log('<a href=\"no\">'); }</script>\n"
        "</head>\n<body>\n")


def navigation(rng, here, pages):
    out = ["<div class=\"nav\"><a href=\"/index.html\">Contents</a>"]
    for f in range(FOLDERS):
        out.append("<a href=\"/%s\">Part %d</a>" % (page_path(f), f))
    out.append("<a href=\"%s\">previous</a>" % href_to(rng, here, max(here - 1, 0), "top"))
    out.append("<a href=\"%s\">next</a></div>\n" % href_to(rng, here, min(here + 1, pages - 1), "top"))
    return "".join(out)


def footer():
    return ("<!-- footer: <a href=\"/hidden.html\">not a link</a> -->\n"
            "<div class=\"footer\">&copy; Generated manual. <a href=\"/copyright.html\">Copyright</a> "
            "<a href=\"/genindex.html\">Index</a></div>\n</body>\n</html>\n")


def small_page(rng, k, pages):
    out = [head("Page %d" % k, 1), navigation(rng, k, pages)]
    out.append("<h1 id=\"top\">Page %d</h1>\n" % k)
    for s in range(rng.randint(8, 30)):
        out.append("<div class=\"section\" id=\"s%d\"><h2>Section %d</h2>\n<p>%s" % (s, s, sentence(rng, rng.randint(30, 120))))
        for _ in range(rng.randint(2, 6)):
            other = rng.randrange(pages)
            out.append(" <a class=\"reference internal\" href=\"%s\">%s</a> %s" % (
                href_to(rng, k, other, "sym-%d" % rng.randrange(500)), sentence(rng, 2), sentence(rng, 12)))
        out.append("</p>\n<pre><code>for x in items:\n    if x &lt; 3: print(x)</code></pre>\n</div>\n")
    out.append(footer())
    return "".join(out)


def large_page(rng, k, pages, anchors):
    """An index page: a table row for each entry, about 400 bytes an anchor."""
    out = [head("Index %d" % k, 1), navigation(rng, k, pages), "<h1 id=\"top\">Index %d</h1>\n<table>\n" % k]
    for a in range(anchors):
        other = rng.randrange(pages)
        symbol = "sym-%d" % rng.randrange(2000)
        out.append("<tr><td><a class=\"reference internal\" href=\"%s\" title=\"%s\"><code>%s.%s()</code></a></td>"
                   "<td>%s</td></tr>\n" % (href_to(rng, k, other, symbol), symbol, symbol, "member%d" % a,
                                           sentence(rng, 44)))
        if a % 500 == 499:
            out.append("<!-- page break <a href=\"/in-comment.html\"> -->\n<script>var s = '</tr>';</script>\n")
    out.append("</table>\n")
    out.append(footer())
    return "".join(out)


def main():
    root = sys.argv[1]
    pages = int(sys.argv[2]) if len(sys.argv) > 2 else 1500
    rng = random.Random(pages)
    large = [k for k in range(pages) if k % LARGE_EVERY == LARGE_EVERY - 1]
    os.makedirs(os.path.join(root, "static"), exist_ok=True)
    for f in range(FOLDERS):
        os.makedirs(os.path.join(root, "part%02d" % f), exist_ok=True)
    total = 0
    for k in range(pages):
        if k in large:
            # From 2,500 to 10,000 anchors (1 to 4 MB), the last one the largest.
            step = large.index(k) / max(len(large) - 1, 1)
            text = large_page(rng, k, pages, int(2500 + 7500 * step))
        else:
            text = small_page(rng, k, pages)
        with open(os.path.join(root, page_path(k)), "w") as f:
            f.write(text)
        total += len(text)
    links = "".join("<li><a href=\"%s\">Page %d</a></li>\n" % (page_path(k), k) for k in range(pages))
    with open(os.path.join(root, "index.html"), "w") as f:
        f.write(head("Contents", 0) + "<ul>\n" + links + "</ul>\n" + footer())
    for name in ("copyright.html", "genindex.html"):
        with open(os.path.join(root, name), "w") as f:
            f.write(head(name, 0) + "<p><a href=\"index.html\">Contents</a></p>\n" + footer())
    print("%d pages (%d large), %.1f MB" % (pages + 3, len(large), total / 1e6))


if __name__ == "__main__":
    main()
