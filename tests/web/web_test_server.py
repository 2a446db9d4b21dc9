#!/usr/bin/env python3
"""A loopback HTTP server for the web fetch tests and benchmark.

It answers each path with one kind of response (any status, with and without
Content-Length, chunked, cut off, redirected, slow, huge) and records every
request, so that a test can ask what arrived:

  /_log/TOKEN   the requests whose line holds TOKEN, as request line and
                headers, each ended by an empty line
  /_seen/TOKEN  how many first lines of any connection, HTTP or not, held TOKEN

Run with --daemon to start it in the background; it writes its port to the
--port-file once it listens and its process id to --pid-file. --stop ends the
server named in --pid-file. It also ends by itself after --lifetime seconds.
"""

import argparse
import http.server
import os
import signal
import sys
import threading
import time
import urllib.parse

PIECE = bytes(i % 251 for i in range(251 * 4096))  # about 1 MiB of the test pattern

records = []  # (request line, [(name, value)])
raw_lines = []
records_lock = threading.Lock()


def pattern(size):
    """The first `size` bytes of the pattern i % 251, in pieces."""
    while size > 0:
        piece = PIECE[: min(size, len(PIECE))]
        size -= len(piece)
        yield piece


class Handler(http.server.BaseHTTPRequestHandler):
    protocol_version = "HTTP/1.1"
    server_version = "StarfoldTestSite/1"

    def log_message(self, format, *args):  # quiet: the tests read /_log instead
        pass

    def parse_request(self):
        line = self.raw_requestline.decode("latin-1").rstrip("\r\n")
        asks_for_records = " /_log/" in line or " /_seen/" in line
        if not asks_for_records:
            with records_lock:
                raw_lines.append(line)
        if not super().parse_request():
            return False
        self.close_connection = True
        if not asks_for_records:
            with records_lock:
                records.append((self.requestline, list(self.headers.items())))
        return True

    def head(self, status, headers, length=None):
        self.send_response(status)
        for name, value in headers:
            self.send_header(name, value)
        if length is not None:
            self.send_header("Content-Length", str(length))
        self.send_header("Connection", "close")
        self.end_headers()

    def send_body(self, status, body, headers=(("Content-Type", "application/octet-stream"),)):
        self.head(status, headers, len(body))
        self.wfile.write(body)

    def send_pattern(self, size, declared):
        self.head(200, [("Content-Type", "application/octet-stream")], declared)
        for piece in pattern(size):
            self.wfile.write(piece)

    def send_chunked(self, size, finish):
        self.head(200, [("Transfer-Encoding", "chunked")])
        for piece in pattern(size):
            for at in range(0, len(piece), 4096):
                part = piece[at : at + 4096]
                self.wfile.write(b"%x\r\n%s\r\n" % (len(part), part))
        if finish:
            self.wfile.write(b"0\r\n\r\n")

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        query = dict(urllib.parse.parse_qsl(url.query))
        size = int(query.get("size", "1000"))
        kind = url.path.split("/")[1] if url.path.count("/") >= 1 else ""
        try:
            self.answer(kind, url, query, size)
        except (BrokenPipeError, ConnectionResetError):
            pass  # the client gave up, as some tests expect

    def answer(self, kind, url, query, size):
        token = url.path.split("/", 2)[2] if url.path.count("/") >= 2 else ""
        if kind == "_log":
            with records_lock:
                text = "".join(
                    line + "\r\n" + "".join("%s: %s\r\n" % header for header in headers) + "\r\n"
                    for line, headers in records
                    if token and token in line
                )
            self.send_body(200, text.encode("latin-1"), [("Content-Type", "text/plain")])
        elif kind == "_seen":
            with records_lock:
                count = sum(1 for line in raw_lines if token and token in line)
            self.send_body(200, str(count).encode(), [("Content-Type", "text/plain")])
        elif kind == "status":
            code = int(url.path.split("/")[2])
            self.send_body(code, b"body of status %d" % code, [("Content-Type", "text/plain")])
        elif kind == "bytes":
            self.send_pattern(size, size)
        elif kind == "nolength":
            self.send_pattern(size, None)
        elif kind == "chunked":
            self.send_chunked(size, finish=True)
        elif kind == "chunked-cut":
            self.send_chunked(size // 2, finish=False)
        elif kind == "cut":
            self.send_pattern(size // 2, size)
        elif kind == "declared":
            # A Content-Length of its own, then as many bytes as asked.
            self.send_pattern(size, int(query["length"]))
        elif kind == "redirect":
            self.head(302, [("Location", "/final/" + token)], 0)
        elif kind == "final":
            self.send_body(200, b"final body")
        elif kind == "slow":
            self.head(200, [("Content-Type", "text/plain")], 10 * 100)
            for piece in range(10):
                self.wfile.write(bytes([ord("a") + piece]) * 100)
                self.wfile.flush()
                time.sleep(0.15)
        elif kind == "zero":
            self.send_body(200, b"\0starts with zero\0")
        elif kind == "fresh":
            # Cacheable on purpose: a fetch that used a cache would see an old body.
            with records_lock:
                count = sum(1 for line, _ in records if token and token in line) - 1
            self.send_body(
                200,
                b"fetch %d" % count,
                [
                    ("Cache-Control", "public, max-age=3600"),
                    ("Last-Modified", "Mon, 01 Jan 2024 00:00:00 GMT"),
                    ("ETag", '"fixed"'),
                ],
            )
        else:
            self.send_body(404, b"no such test resource")


def write_atomically(path, text):
    temporary = path + ".tmp"
    with open(temporary, "w") as file:
        file.write(text)
    os.replace(temporary, path)


def serve(port_file, pid_file, lifetime):
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), Handler)
    server.daemon_threads = True
    stop = lambda *_: threading.Thread(target=server.shutdown).start()
    signal.signal(signal.SIGTERM, stop)
    timer = threading.Timer(lifetime, stop)
    timer.daemon = True
    timer.start()
    if pid_file:
        write_atomically(pid_file, str(os.getpid()))
    write_atomically(port_file, str(server.server_address[1]))
    try:
        server.serve_forever()
    finally:
        server.server_close()
        for path in (port_file, pid_file):
            if path and os.path.exists(path):
                os.remove(path)


def start_daemon(port_file, pid_file, lifetime):
    for path in (port_file, pid_file):
        if os.path.exists(path):
            os.remove(path)
    if os.fork() == 0:
        os.setsid()
        null = os.open(os.devnull, os.O_RDWR)
        for descriptor in (0, 1, 2):
            os.dup2(null, descriptor)
        try:
            serve(port_file, pid_file, lifetime)
        finally:
            os._exit(0)
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        if os.path.exists(port_file):
            print("test server on port", open(port_file).read())
            return 0
        time.sleep(0.05)
    print("test server did not start", file=sys.stderr)
    return 1


def stop_daemon(pid_file):
    if not os.path.exists(pid_file):
        return 0
    pid = int(open(pid_file).read())
    try:
        os.kill(pid, signal.SIGTERM)
    except ProcessLookupError:
        return 0
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        try:
            os.kill(pid, 0)
        except ProcessLookupError:
            return 0
        time.sleep(0.05)
    print("test server %d did not stop" % pid, file=sys.stderr)
    return 1


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--port-file", required=True)
    parser.add_argument("--pid-file")
    parser.add_argument("--daemon", action="store_true")
    parser.add_argument("--stop", action="store_true")
    parser.add_argument("--lifetime", type=float, default=1800)
    args = parser.parse_args()
    if args.stop:
        return stop_daemon(args.pid_file)
    if args.daemon:
        return start_daemon(args.port_file, args.pid_file, args.lifetime)
    serve(args.port_file, args.pid_file, args.lifetime)
    return 0


if __name__ == "__main__":
    sys.exit(main())
