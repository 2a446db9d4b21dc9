#!/usr/bin/env python3
"""Serves the demo community site on loopback.

Every GET of the site is recorded (its path with the query). A test can
replace any resource for a while through the control paths under /__site/:

  POST /__site/serve?path=P[&status=N][&mode=M][&cut_at=K][&type=T][&delay_ms=D]
       the request body becomes the response body for P ("*" stands for every
       path without a variant of its own). Modes: whole (default), cut (the
       full Content-Length is announced but only K bytes are sent before the
       connection closes), no-length (no Content-Length, the end of the body
       is the end of the connection), drop (the connection closes without any
       response). delay_ms holds the answer back that long, as a slow site
       would.
  POST /__site/reset      forgets every variant and every recorded request
  GET  /__site/requests   the recorded requests, one a line (UTF-8)

  serve.py [--port N] [--request-log FILE]           serve in the foreground
  serve.py --background --pid-file F [...]           serve in the background
  serve.py --stop --pid-file F                       stop a background server
"""

import argparse
import http.server
import os
import signal
import socket
import sys
import threading
import time
import urllib.parse

SITE_ROOT = os.path.dirname(os.path.abspath(__file__))
CONTROL_PREFIX = "/__site/"
MODES = ("whole", "cut", "no-length", "drop")

CONTENT_TYPES = {
    ".json": "application/json; charset=utf-8",
    ".html": "text/html; charset=utf-8",
    ".ini": "text/plain; charset=utf-8",
    ".txt": "text/plain; charset=gbk",
}

NOT_FOUND_PAGE = (
    '<!DOCTYPE html>\n<html lang="zh-CN"><head><meta charset="utf-8"><title>404</title></head>'
    "<body><h1>404 页面不存在</h1></body></html>\n"
).encode("utf-8")


class Variant:
    def __init__(self, body, status=200, mode="whole", cut_at=0, content_type="application/octet-stream", delay_ms=0):
        self.body = body
        self.delay_ms = delay_ms
        self.status = status
        self.mode = mode
        self.cut_at = cut_at
        self.content_type = content_type


class Site:
    """The site's files, the variants a test has put in place and the request record."""

    def __init__(self, root=SITE_ROOT, request_log=None):
        self.root = os.path.realpath(root)
        self.request_log = request_log
        self.lock = threading.Lock()
        self.variants = {}
        self.requests = []

    def record(self, target):
        with self.lock:
            self.requests.append(target)
            if self.request_log:
                with open(self.request_log, "a", encoding="utf-8") as log:
                    log.write(target + "\n")

    def reset(self):
        with self.lock:
            self.variants.clear()
            self.requests.clear()

    def put_variant(self, target, variant):
        with self.lock:
            self.variants[target] = variant

    def variant_for(self, target):
        with self.lock:
            return self.variants.get(target) or self.variants.get("*")

    def recorded(self):
        with self.lock:
            return list(self.requests)

    def file_for(self, target):
        """The file that answers a request target, or None."""
        parts = urllib.parse.urlsplit(target)
        path = urllib.parse.unquote(parts.path)
        if path == "/":
            query = urllib.parse.parse_qs(parts.query)
            if not query:
                return os.path.join(self.root, "index.html")
            page = query.get("page_id", [""])[0]
            if not page.isdigit():
                return None
            path = "/pages/page_id-%s.html" % page
        relative = path.lstrip("/")
        if any(part.startswith(".") for part in relative.split("/")) or relative.endswith(".py"):
            return None
        candidate = os.path.realpath(os.path.join(self.root, relative))
        if not candidate.startswith(self.root + os.sep) or not os.path.isfile(candidate):
            return None
        return candidate


class SiteHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.0"
    server_version = "StarfoldDemoSite/1.0"

    def log_message(self, format, *args):
        if self.server.verbose:
            super().log_message(format, *args)

    @property
    def site(self):
        return self.server.site

    def do_GET(self):
        if self.path.startswith(CONTROL_PREFIX):
            return self.answer_control("GET")
        self.site.record(self.path)
        variant = self.site.variant_for(self.path)
        if variant:
            return self.send_variant(variant)
        filename = self.site.file_for(self.path)
        if filename is None:
            return self.send_body(404, NOT_FOUND_PAGE, CONTENT_TYPES[".html"])
        with open(filename, "rb") as file:
            body = file.read()
        content_type = CONTENT_TYPES.get(os.path.splitext(filename)[1], "application/octet-stream")
        self.send_body(200, body, content_type)

    def do_POST(self):
        if self.path.startswith(CONTROL_PREFIX):
            return self.answer_control("POST")
        self.send_body(405, b"", "text/plain")

    def answer_control(self, method):
        parts = urllib.parse.urlsplit(self.path)
        action = parts.path[len(CONTROL_PREFIX):]
        query = urllib.parse.parse_qs(parts.query)
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length) if length else b""
        if method == "GET" and action == "requests":
            text = "".join(target + "\n" for target in self.site.recorded())
            return self.send_body(200, text.encode("utf-8"), "text/plain; charset=utf-8")
        if method == "POST" and action == "reset":
            self.site.reset()
            return self.send_body(200, b"reset\n", "text/plain")
        if method == "POST" and action == "serve":
            try:
                variant = self.parse_variant(query, body)
                target = query["path"][0]
            except (KeyError, ValueError) as problem:
                return self.send_body(400, ("bad variant: %s\n" % problem).encode("utf-8"), "text/plain")
            self.site.put_variant(target, variant)
            return self.send_body(200, b"serving\n", "text/plain")
        self.send_body(404, b"unknown control request\n", "text/plain")

    @staticmethod
    def parse_variant(query, body):
        def one(name, default):
            return query.get(name, [default])[0]

        mode = one("mode", "whole")
        if mode not in MODES:
            raise ValueError("mode " + mode)
        cut_at = int(one("cut_at", "0"))
        if mode == "cut" and not 0 <= cut_at < len(body):
            raise ValueError("cut_at must lie inside the body")
        delay_ms = int(one("delay_ms", "0"))
        if not 0 <= delay_ms <= 60000:
            raise ValueError("delay_ms must lie between 0 and 60000")
        return Variant(body, int(one("status", "200")), mode, cut_at, one("type", "application/octet-stream"), delay_ms)

    def send_variant(self, variant):
        time.sleep(variant.delay_ms / 1000)
        if variant.mode == "drop":
            self.close_connection = True
            return
        self.send_response(variant.status)
        self.send_header("Content-Type", variant.content_type)
        if variant.mode != "no-length":
            self.send_header("Content-Length", str(len(variant.body)))
        self.end_headers()
        sent = variant.body[: variant.cut_at] if variant.mode == "cut" else variant.body
        self.wfile.write(sent)
        self.wfile.flush()
        self.close_connection = True
        if variant.mode == "cut":
            # An abrupt end, as when a server dies in the middle of a body.
            self.connection.shutdown(socket.SHUT_RDWR)

    def send_body(self, status, body, content_type):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


class SiteServer(http.server.ThreadingHTTPServer):
    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, port, site, host="127.0.0.1", verbose=False):
        super().__init__((host, port), SiteHandler)
        self.site = site
        self.verbose = verbose


def serve_in_background(server, pid_file):
    child = os.fork()
    if child:
        server.socket.close()
        with open(pid_file, "w") as file:
            file.write("%d\n" % child)
        return
    # The child: a session of its own and no inherited output, so that the
    # caller (ctest, a script) does not wait for it.
    os.setsid()
    devnull = os.open(os.devnull, os.O_RDWR)
    for fd in (0, 1, 2):
        os.dup2(devnull, fd)
    signal.signal(signal.SIGTERM, lambda *_: os._exit(0))
    try:
        server.serve_forever()
    finally:
        os._exit(0)


def stop_background(pid_file):
    try:
        with open(pid_file) as file:
            pid = int(file.read().strip())
    except (OSError, ValueError):
        print("serve.py: no server recorded in %s" % pid_file)
        return 0
    try:
        with open("/proc/%d/cmdline" % pid, "rb") as file:
            ours = b"serve.py" in file.read()
    except OSError:
        ours = False
    if ours:
        os.kill(pid, signal.SIGTERM)
        for _ in range(100):
            if not os.path.exists("/proc/%d" % pid):
                break
            time.sleep(0.05)
    os.remove(pid_file)
    return 0


def main(argv):
    parser = argparse.ArgumentParser(description="Serves the demo community site on 127.0.0.1.")
    parser.add_argument("--port", type=int, default=int(os.environ.get("STARFOLD_SITE_PORT", "47831")))
    parser.add_argument("--root", default=SITE_ROOT)
    parser.add_argument("--request-log", help="append every request's path to this file")
    parser.add_argument("--background", action="store_true", help="serve from a background process")
    parser.add_argument("--pid-file", help="where the background server's process id is kept")
    parser.add_argument("--stop", action="store_true", help="stop the background server of --pid-file")
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args(argv)

    if (args.background or args.stop) and not args.pid_file:
        parser.error("--background and --stop need --pid-file")
    if args.stop:
        return stop_background(args.pid_file)

    site = Site(args.root, args.request_log)
    try:
        server = SiteServer(args.port, site, verbose=args.verbose)
    except OSError as problem:
        print("serve.py: cannot listen on 127.0.0.1:%d: %s" % (args.port, problem), file=sys.stderr)
        return 1
    if args.background:
        serve_in_background(server, args.pid_file)
        return 0
    print("serve.py: serving %s on http://127.0.0.1:%d" % (site.root, args.port), flush=True)
    try:
        server.serve_forever()
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
