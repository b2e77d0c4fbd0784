#!/usr/bin/env python3
"""A loopback web site that answers like a distant server, for the distant-site benchmark.

    distant_server.py [--port P] [--pages N] [--tls CERT KEY] [--ready FILE]

The site: page 0 is "/", page i > 0 is /p/<i>.html. Page i links to pages 5i+1 .. 5i+5 (so
every page is reachable, within depth 5 for N up to 3,900) and to three more pages chosen by a
hash of i, about 8 same-site links in all, plus one link to another host. Every answer waits
before it is sent, by a delay chosen from a hash of the path: 80% of paths 20 ms, 15% 100 ms,
5% 500 ms (mean 54 ms). The same path always gets the same delay, so every run and every
crawler meets the same site. Paths that are no page get a 404 after their delay.

HTTP/1.1 with keep-alive (a connection stays open until the client closes it or asks for
"Connection: close"; HTTP/1.0 clients get one answer per connection unless they ask for
keep-alive). With --tls the server speaks HTTPS with the given certificate.

Counters: TCP connections accepted, requests answered, pages answered (200) and the sum of
their delays. GET /__status answers them as JSON; GET /__reset answers them and sets them
to zero. A connection whose first request is one of those two paths is not counted. The
counters are printed on stderr on SIGUSR1 and at the end (SIGINT or SIGTERM).
--ready FILE writes the port to FILE once the server listens (0 picks a free port).
"""
import argparse
import asyncio
import hashlib
import json
import signal
import ssl
import sys

FANOUT = 5
EXTRA_LINKS = 3
DELAYS_MS = ((80, 20), (95, 100), (100, 500))  # (cumulative percent, delay)
CONTROL = ("/__status", "/__reset")


def path_hash(path, salt=b""):
    return int.from_bytes(hashlib.sha1(salt + path.encode("utf-8", "surrogateescape")).digest()[:8], "big")


def delay_of(path):
    bucket = path_hash(path) % 100
    for limit, ms in DELAYS_MS:
        if bucket < limit:
            return ms / 1000.0
    return DELAYS_MS[-1][1] / 1000.0


def page_path(i):
    return "/" if i == 0 else "/p/%d.html" % i


def page_index(path, n):
    if path == "/" or path == "/index.html":
        return 0
    if path.startswith("/p/") and path.endswith(".html"):
        digits = path[3:-5]
        if digits.isdigit() and digits == str(int(digits)) and 0 < int(digits) < n:
            return int(digits)
    return None


def page_body(i, n):
    links = [c for c in range(FANOUT * i + 1, FANOUT * i + FANOUT + 1) if c < n]
    for k in range(EXTRA_LINKS):
        other = path_hash("%d/%d" % (i, k), b"extra") % n
        if other != i:
            links.append(other)
    items = "\n".join('<li><a href="%s">Page %d</a></li>' % (page_path(j), j) for j in links)
    return ("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Page %d</title></head>\n"
            "<body>\n<h1>Page %d</h1>\n<ul>\n%s\n<li><a href=\"http://elsewhere.example.org/%d.html\">"
            "elsewhere</a></li>\n</ul>\n<p>%s</p>\n</body></html>\n"
            % (i, i, items, i, "A page of a site that answers slowly. " * 40)).encode("ascii")


class Site:
    def __init__(self, pages):
        self.pages = pages
        self.open_connections = 0  # a gauge: not touched by reset
        self.reset()
        delays = [delay_of(page_path(i)) for i in range(pages)]
        self.mean_delay = sum(delays) / len(delays)
        self.slow_share = {ms: sum(1 for d in delays if abs(d - ms / 1000.0) < 1e-9) / len(delays)
                           for _, ms in DELAYS_MS}

    def reset(self):
        self.connections = 0
        self.requests = 0
        self.pages_served = 0
        self.delay_sum = 0.0

    def counters(self):
        return {"connections": self.connections, "requests": self.requests,
                "pages_served": self.pages_served, "delay_seconds": round(self.delay_sum, 3),
                "open_connections": self.open_connections, "site_pages": self.pages,
                "site_mean_delay_ms": round(self.mean_delay * 1000, 2),
                "site_delay_mix": {str(k): round(v, 4) for k, v in self.slow_share.items()}}

    def answer(self, method, path):
        """(status, body, delay in seconds) for a request."""
        index = page_index(path.split("?", 1)[0].split("#", 1)[0], self.pages)
        delay = delay_of(path)
        if index is None:
            return 404, b"<html><body>not found</body></html>\n", delay
        return 200, page_body(index, self.pages), delay


async def read_request(reader):
    """(method, target, version, headers) or None at the end of the connection."""
    line = await reader.readline()
    if not line:
        return None
    while line in (b"\r\n", b"\n"):  # stray line ends between requests
        line = await reader.readline()
        if not line:
            return None
    parts = line.decode("latin-1").split()
    if len(parts) < 2:
        raise ValueError("bad request line")
    method, target = parts[0], parts[1]
    version = parts[2] if len(parts) > 2 else "HTTP/1.0"
    headers = {}
    while True:
        h = await reader.readline()
        if not h or h in (b"\r\n", b"\n"):
            break
        name, _, value = h.decode("latin-1").partition(":")
        headers[name.strip().lower()] = value.strip()
    length = int(headers.get("content-length", "0") or 0)
    if length:
        await reader.readexactly(length)
    return method, target, version, headers


def keep_alive(version, headers):
    conn = headers.get("connection", "").lower()
    if version == "HTTP/1.1":
        return "close" not in conn
    return "keep-alive" in conn


def response(status, body, alive, content_type="text/html; charset=utf-8", head=False):
    reason = {200: "OK", 404: "Not Found", 400: "Bad Request"}.get(status, "OK")
    lines = ["HTTP/1.1 %d %s" % (status, reason), "Content-Type: " + content_type,
             "Content-Length: %d" % len(body), "Connection: " + ("keep-alive" if alive else "close"),
             # LinkChecker's documented opt-in for more than 10 requests per second.
             "LinkChecker: benchmark"]
    return ("\r\n".join(lines) + "\r\n\r\n").encode("ascii") + (b"" if head else body)


async def serve_connection(site, reader, writer):
    counted = False
    site.open_connections += 1
    try:
        while True:
            try:
                request = await read_request(reader)
            except (ValueError, asyncio.IncompleteReadError):
                writer.write(response(400, b"bad request\n", False))
                break
            if request is None:
                break
            method, target, version, headers = request
            path = target
            if path.startswith("http://") or path.startswith("https://"):
                path = "/" + path.split("/", 3)[3] if path.count("/") >= 3 else "/"
            alive = keep_alive(version, headers)
            if path in CONTROL:
                body = json.dumps(site.counters()).encode("ascii") + b"\n"
                if path == "/__reset":
                    site.reset()
                writer.write(response(200, body, alive, "application/json"))
                await writer.drain()
                counted = True  # a control connection is never counted
                if not alive:
                    break
                continue
            if not counted:
                site.connections += 1
                counted = True
            status, body, delay = site.answer(method, path)
            await asyncio.sleep(delay)
            site.requests += 1
            if status == 200:
                site.pages_served += 1
                site.delay_sum += delay
            writer.write(response(status, body, alive, head=(method == "HEAD")))
            await writer.drain()
            if not alive:
                break
    except (ConnectionError, ssl.SSLError, OSError):
        pass
    finally:
        site.open_connections -= 1
        try:
            writer.close()
            await writer.wait_closed()
        except (ConnectionError, ssl.SSLError, OSError):
            pass


def report(site, label):
    sys.stderr.write("%s %s\n" % (label, json.dumps(site.counters())))
    sys.stderr.flush()


async def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--port", type=int, default=0)
    parser.add_argument("--pages", type=int, default=2000)
    parser.add_argument("--tls", nargs=2, metavar=("CERT", "KEY"))
    parser.add_argument("--ready")
    args = parser.parse_args()
    site = Site(args.pages)
    context = None
    if args.tls:
        context = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
        context.load_cert_chain(args.tls[0], args.tls[1])
    server = await asyncio.start_server(lambda r, w: serve_connection(site, r, w), "127.0.0.1",
                                        args.port, ssl=context, backlog=1024)
    port = server.sockets[0].getsockname()[1]
    loop = asyncio.get_running_loop()
    stop = loop.create_future()
    loop.add_signal_handler(signal.SIGUSR1, report, site, "counters")
    for sig in (signal.SIGINT, signal.SIGTERM):
        loop.add_signal_handler(sig, lambda: stop.done() or stop.set_result(None))
    sys.stderr.write("distant site: %d pages on %s://127.0.0.1:%d, mean delay %.1f ms\n"
                     % (site.pages, "https" if context else "http", port, site.mean_delay * 1000))
    if args.ready:
        with open(args.ready, "w") as out:
            out.write("%d\n" % port)
    async with server:
        await stop
    report(site, "final")


if __name__ == "__main__":
    asyncio.run(main())
