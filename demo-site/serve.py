#!/usr/bin/env python3
"""Serves the demo community site and the web tests' resources on loopback.

One process may listen on several ports: plain HTTP on 127.0.0.1 (--port),
and TLS with a certificate of its own on each --tls port (for the host name
localhost). All of them serve the same site, answers and request record.

Every request is answered in one of these modes (the same words everywhere):
  whole          status, headers with Content-Length, the body (the default)
  cut            the full Content-Length, the first cut_at bytes, then an abrupt close
  no-length      no Content-Length: the end of the body is the end of the connection
  chunked        Transfer-Encoding: chunked
  chunked-cut    chunked, ending without the last chunk after cut_at bytes
  drop           the connection closes without any response
  stall          nothing at all, until the client goes away or the server stops
  stall-in-body  the full Content-Length and the first cut_at bytes, then as stall
  drip           the full Content-Length, then one byte every interval_ms (2000)
  steady         the full Content-Length, then the body at rate bytes a second
                 (2048), a tenth of a second's worth at a time
with the parameters status, type, length (a Content-Length other than the
body's), cut_at, delay_ms (held back that long first), interval_ms and rate.

Paths:
  /__test/KIND/TOKEN?PARAMETERS  a test resource: the body of its kind, answered
       as the parameters say. Kinds: bytes (size bytes of the pattern i % 251,
       1000 by default), status ("body of status N"), letters (a hundred each of
       a to j), zero (a body beginning with a zero byte), redirect (302 to
       final/TOKEN, or to the address of the parameter to), final, fresh ("fetch N", N earlier requests for TOKEN,
       with headers that would let a cache keep it).
  POST /__site/serve?path=P&PARAMETERS  the request body becomes the answer for
       P ("*" stands for every path without an answer of its own)
  POST /__site/reset        forgets every answer put in place and the record
With --sessions, answers and the record are kept apart for each session: the
value of STARFOLD_SITE_SESSION in the environment of the process on the other
end of the connection (the test that sets answers and the installer it starts
share it), so that tests running side by side never see each other's.
With --proxy, the plain listener is a forward proxy too, for clients that the
system's proxy setting sends there: an absolute URI (GET http://HOST/PATH) of
another server on loopback is forwarded to it, and any other (every host name,
resolvable or not, and the site's own ports) is answered as the site's own
PATH; CONNECT opens a tunnel to another loopback server named so, and to the
site's first TLS listener otherwise. A request that comes through a tunnel
belongs to the session of the client of the tunnel. The record holds the
targets as the proxy received them.
  GET  /__site/requests[?holding=T][&as=heads|lines]  the recorded requests
       (those whose first line holds T): their targets, one a line; as=heads,
       request line and headers, each head ended by an empty line; as=lines,
       the first line of every connection, HTTP or not
  anything else: the site's files, unless --no-site

  serve.py [--port N] [--tls PORT:CERTIFICATE.pem ...] [--port-file F] [...]
  serve.py --background --pid-file F [...]     serve in the background
  serve.py --stop --pid-file F                 stop a background server
"""

import argparse
import dataclasses
import http.server
import os
import select
import signal
import socket
import ssl
import sys
import threading
import time
import urllib.parse

SITE_ROOT = os.path.dirname(os.path.abspath(__file__))
CONTROL_PREFIX = "/__site/"
TEST_PREFIX = "/__test/"

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

MODES = {
    "whole": set(),
    "cut": {"cut"},
    "no-length": {"no-length"},
    "chunked": {"chunked"},
    "chunked-cut": {"chunked", "cut"},
    "drop": {"silent"},
    "stall": {"silent", "hold"},
    "stall-in-body": {"cut", "hold"},
    "drip": {"drip"},
    "steady": {"steady"},
}

PIECE = bytes(i % 251 for i in range(251 * 4096))  # about 1 MiB of the test pattern
LETTERS = b"".join(bytes([letter]) * 100 for letter in b"abcdefghij")
CACHEABLE = (
    ("Cache-Control", "public, max-age=3600"),
    ("Last-Modified", "Mon, 01 Jan 2024 00:00:00 GMT"),
    ("ETag", '"fixed"'),
)


@dataclasses.dataclass
class Answer:
    """How one request is answered: what is sent, and how."""

    body: bytes = b""
    status: int = 200
    content_type: str = "application/octet-stream"
    headers: tuple = ()
    length: int = None  # the Content-Length sent; None: none
    chunked: bool = False
    sent: int = None  # body bytes sent before the connection ends early; None: all
    silent: bool = False  # no status line, no headers, no body
    hold: bool = False  # then the connection stays open and quiet
    drip_ms: int = 0  # one byte of the body every so many milliseconds
    rate: int = 0  # the body at so many bytes a second
    delay_ms: int = 0


def plain_answer(text, status=200, content_type="text/plain"):
    # Texts of the record hold the bytes that came as latin-1 characters: they go back as they came.
    body = text if isinstance(text, (bytes, memoryview)) else text.encode("latin-1", "replace")
    return Answer(body, status, content_type, length=len(body))


def answer_from(query, body=b"", status=200, headers=()):
    """The answer that the parameters of a query describe for the body; ValueError for a bad one."""
    mode = query.get("mode", "whole")
    if mode not in MODES:
        raise ValueError("mode " + mode)
    traits = MODES[mode]

    def number(name, default, low, high):
        value = int(query.get(name, default))
        if not low <= value <= high:
            raise ValueError("%s must lie between %d and %d" % (name, low, high))
        return value

    return Answer(
        body,
        number("status", status, 100, 999),
        query.get("type", "application/octet-stream"),
        headers,
        length=None if "no-length" in traits else number("length", len(body), 0, 1 << 62),
        chunked="chunked" in traits,
        sent=number("cut_at", 0, 0, len(body) - 1) if "cut" in traits else None,
        silent="silent" in traits,
        hold="hold" in traits,
        drip_ms=number("interval_ms", 2000, 1, 60000) if "drip" in traits else 0,
        rate=number("rate", 2048, 1, 1 << 30) if "steady" in traits else 0,
        delay_ms=number("delay_ms", 0, 0, 60000),
    )


def pattern(size):
    """The first `size` bytes of the pattern i % 251."""
    if size < 0:
        raise ValueError("size must not be negative")
    return memoryview(PIECE * -(-size // len(PIECE)))[:size]


def test_resource(kind, token, query, site):
    """The body, status and headers of a test resource of the kind, or None when there is no such kind."""
    if kind == "bytes":
        return dict(body=pattern(int(query.get("size", "1000"))))
    if kind == "status":
        return dict(body=b"body of status %d" % int(query.get("status", "200")))
    if kind == "letters":
        return dict(body=LETTERS)
    if kind == "zero":
        return dict(body=b"\0starts with zero\0")
    if kind == "redirect":
        return dict(status=302, headers=(("Location", query.get("to", TEST_PREFIX + "final/" + token)),))
    if kind == "final":
        return dict(body=b"final body")
    if kind == "fresh":
        # Cacheable on purpose: a fetch that used a cache would see an old body.
        earlier = len(site.recorded(holding=token)) - 1
        return dict(body=b"fetch %d" % earlier, headers=CACHEABLE)
    return None


SESSION_VARIABLE = b"STARFOLD_SITE_SESSION="
LOOPBACK_NAMES = ("127.0.0.1", "localhost")


def client_socket_inode(client_port, server_port):
    """The inode of the client end of a loopback connection, or None. A
    closed connection that used the same port may linger in the table, with
    no inode."""
    ends = ("0100007F:%04X" % client_port, "0100007F:%04X" % server_port)
    with open("/proc/net/tcp") as table:
        next(table)
        for line in table:
            fields = line.split()
            if (fields[1], fields[2]) == ends and fields[9] != "0":
                return fields[9]
    return None


def session_of_peer(client_port, server_port):
    """The session of the process that holds the client end of a loopback
    connection; the empty text when none of its holders names one."""
    inode = client_socket_inode(client_port, server_port)
    if inode is None:
        return ""
    target = "socket:[%s]" % inode
    for pid in filter(str.isdigit, os.listdir("/proc")):
        if not any(link(pid, fd) == target for fd in listing("/proc/%s/fd" % pid)):
            continue
        try:
            with open("/proc/%s/environ" % pid, "rb") as environment:
                for entry in environment.read().split(b"\0"):
                    if entry.startswith(SESSION_VARIABLE):
                        return entry[len(SESSION_VARIABLE):].decode("utf-8", "replace")
        except OSError:
            pass  # gone meanwhile, or not ours to read
    return ""


# A process's files come and go while they are looked at: one that is gone
# (or not ours to read) is simply not there.
def listing(folder):
    try:
        return os.listdir(folder)
    except OSError:
        return []


def link(pid, fd):
    try:
        return os.readlink("/proc/%s/fd/%s" % (pid, fd))
    except OSError:
        return None


class Arrival:
    """The first line of a connection, its session, and the request's headers once they have been read."""

    def __init__(self, line, session=""):
        self.line = line
        self.session = session
        self.headers = None

    @property
    def target(self):
        return self.line.split(" ")[1]

    def head(self):
        return self.line + "\r\n" + "".join("%s: %s\r\n" % header for header in self.headers) + "\r\n"


class Site:
    """The site's files, the answers a test has put in place and the record of every request."""

    def __init__(self, root=SITE_ROOT, request_log=None):
        self.root = os.path.realpath(root) if root else None
        self.request_log = request_log
        self.lock = threading.Lock()
        self.answers = {}
        self.record = []
        self.ports = set()  # of every listener
        self.tls_port = None  # of the first TLS listener
        self.tunnels = {}  # the session of each tunnel, by the proxy's own port of its connection

    def note_line(self, line, session=""):
        arrival = Arrival(line, session)
        with self.lock:
            self.record.append(arrival)
        return arrival

    def note_headers(self, arrival, headers):
        with self.lock:
            arrival.headers = headers
            if self.request_log:
                with open(self.request_log, "a", encoding="latin-1") as log:
                    log.write(arrival.target + "\n")

    def recorded(self, session=None, holding="", requests_only=True):
        """The arrivals of the session (None: of every session) whose first line holds the text."""
        with self.lock:
            return [arrival for arrival in self.record
                    if session in (None, arrival.session) and holding in arrival.line
                    and (arrival.headers is not None or not requests_only)]

    def reset(self, session=""):
        with self.lock:
            self.answers = {key: answer for key, answer in self.answers.items() if key[0] != session}
            self.record = [arrival for arrival in self.record if arrival.session != session]

    def put_answer(self, target, answer, session=""):
        with self.lock:
            self.answers[session, target] = answer

    def answer_put_for(self, target, session=""):
        with self.lock:
            return self.answers.get((session, target)) or self.answers.get((session, "*"))

    def tunnel_session(self, port):
        with self.lock:
            return self.tunnels.get(port)

    def open_tunnel(self, port, session):
        with self.lock:
            self.tunnels[port] = session

    def close_tunnel(self, port):
        with self.lock:
            self.tunnels.pop(port, None)

    def page(self, target):
        filename = self.file_for(target)
        if filename is None:
            return plain_answer(NOT_FOUND_PAGE, 404, CONTENT_TYPES[".html"]) if self.root else \
                plain_answer("no such test resource", 404)
        with open(filename, "rb") as file:
            body = file.read()
        return plain_answer(body, 200, CONTENT_TYPES.get(os.path.splitext(filename)[1], "application/octet-stream"))

    def file_for(self, target):
        """The file that answers a request target, or None."""
        if not self.root:
            return None
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
    protocol_version = "HTTP/1.1"
    server_version = "StarfoldDemoSite/2.0"

    def log_message(self, format, *args):
        if self.server.verbose:
            super().log_message(format, *args)

    @property
    def site(self):
        return self.server.site

    @property
    def session(self):
        # One request a connection: looked up once, while the client waits for its answer.
        if not hasattr(self, "_session"):
            tunnelled = self.site.tunnel_session(self.client_address[1])
            self._session = "" if not self.server.sessions else tunnelled if tunnelled is not None else \
                session_of_peer(self.client_address[1], self.server.port)
        return self._session

    def parse_request(self):
        # One request a connection; the first line is recorded before it is
        # parsed, so that the record shows what came even when it is not HTTP.
        line = self.raw_requestline.decode("latin-1").rstrip("\r\n")
        words = line.split(" ")
        self.upstream, path = self.proxied(words[1]) if len(words) > 1 else (None, "")
        control = not self.upstream and path.startswith(CONTROL_PREFIX)
        arrival = None if control else self.site.note_line(line, self.session)
        parsed = super().parse_request()
        self.close_connection = True
        if parsed:
            self.path = path
        if parsed and arrival:
            self.site.note_headers(arrival, list(self.headers.items()))
        return parsed

    def proxied(self, target):
        """Where a proxy sends the target, and the path it asks for there: no
        server (the site answers) but for another server on loopback."""
        parts = urllib.parse.urlsplit(target)
        if not self.server.proxy or parts.scheme != "http" or not parts.hostname:
            return None, target
        return self.forward_address(parts.hostname, parts.port or 80), \
            urllib.parse.urlunsplit(("", "", parts.path or "/", parts.query, ""))

    def forward_address(self, host, port):
        if host.lower() in LOOPBACK_NAMES and port not in self.site.ports:
            return ("127.0.0.1", port)
        return None

    def do_CONNECT(self):
        host, _, port = self.path.rpartition(":")
        if not self.server.proxy or not port.isdigit():
            return self.send_answer(plain_answer("", 405))
        upstream = self.forward_address(host, int(port)) or ("127.0.0.1", self.site.tls_port)
        if upstream[1] is None:
            return self.send_answer(plain_answer("no TLS listener\n", 502))
        self.tunnel(upstream, to_client=b"HTTP/1.1 200 Connection established\r\n\r\n")

    def tunnel(self, upstream, to_client=b"", to_server=b""):
        """Connects to the server and passes the bytes both ways until either end closes."""
        try:
            server = socket.create_connection(upstream, timeout=5)
        except OSError:
            return self.send_answer(plain_answer("no server at %s:%d\n" % upstream, 502))
        port = server.getsockname()[1]
        self.site.open_tunnel(port, self.session)
        try:
            server.sendall(to_server)
            self.wfile.write(to_client)
            ends = (self.connection, server)
            while not self.server.stopping.is_set():
                for end in select.select(ends, [], [], 0.1)[0]:
                    data = end.recv(65536)
                    if not data:
                        return
                    ends[end is self.connection].sendall(data)
        except OSError:
            pass  # either end went away
        finally:
            self.site.close_tunnel(port)
            server.close()

    def do_GET(self):
        if self.upstream:
            headers = "".join("%s: %s\r\n" % header for header in self.headers.items()
                              if not header[0].lower().startswith("proxy-"))
            return self.tunnel(self.upstream, to_server=("GET %s HTTP/1.0\r\n%s\r\n" % (self.path, headers)).encode("latin-1"))
        if self.path.startswith(CONTROL_PREFIX):
            return self.answer_control("GET")
        try:
            answer = self.site.answer_put_for(self.path, self.session) or self.test_answer() or self.site.page(self.path)
        except ValueError as problem:
            answer = plain_answer("bad answer: %s\n" % problem, 400)
        self.send_answer(answer)

    def do_POST(self):
        if self.path.startswith(CONTROL_PREFIX) and not self.upstream:
            return self.answer_control("POST")
        self.send_answer(plain_answer("", 405))

    def test_answer(self):
        if not self.path.startswith(TEST_PREFIX):
            return None
        parts = urllib.parse.urlsplit(self.path)
        kind, _, token = parts.path[len(TEST_PREFIX):].partition("/")
        query = dict(urllib.parse.parse_qsl(parts.query))
        resource = test_resource(kind, token, query, self.site)
        return answer_from(query, **resource) if resource is not None else None

    def answer_control(self, method):
        parts = urllib.parse.urlsplit(self.path)
        action = parts.path[len(CONTROL_PREFIX):]
        query = dict(urllib.parse.parse_qsl(parts.query))
        length = int(self.headers.get("Content-Length") or 0)
        body = self.rfile.read(length) if length else b""
        if method == "GET" and action == "requests":
            return self.send_answer(plain_answer(self.listing(query)))
        if method == "POST" and action == "reset":
            self.site.reset(self.session)
            return self.send_answer(plain_answer("reset\n"))
        if method == "POST" and action == "serve":
            try:
                self.site.put_answer(query["path"], answer_from(query, body), self.session)
            except (KeyError, ValueError) as problem:
                return self.send_answer(plain_answer("bad answer: %s\n" % problem, 400))
            return self.send_answer(plain_answer("serving\n"))
        self.send_answer(plain_answer("unknown control request\n", 404))

    def listing(self, query):
        form = query.get("as", "targets")
        recorded = self.site.recorded(self.session, query.get("holding", ""), requests_only=form != "lines")
        if form == "heads":
            return "".join(arrival.head() for arrival in recorded)
        return "".join((arrival.line if form == "lines" else arrival.target) + "\n" for arrival in recorded)

    def send_answer(self, answer):
        try:
            if answer.delay_ms and not self.client_stays(answer.delay_ms / 1000):
                return
            if not answer.silent:
                self.send_head(answer)
                self.send_body(answer)
            if answer.hold:
                self.client_stays(float("inf"))
            elif answer.sent is not None:
                # An abrupt end, as when a server dies in the middle of a body.
                self.connection.shutdown(socket.SHUT_RDWR)
        except OSError:
            pass  # the client went away

    def send_head(self, answer):
        self.send_response(answer.status)
        self.send_header("Content-Type", answer.content_type)
        for name, value in answer.headers:
            self.send_header(name, value)
        if answer.chunked:
            self.send_header("Transfer-Encoding", "chunked")
        elif answer.length is not None:
            self.send_header("Content-Length", str(answer.length))
        self.send_header("Connection", "close")
        self.end_headers()

    def send_body(self, answer):
        body = answer.body if answer.sent is None else answer.body[: answer.sent]
        if answer.drip_ms:
            step, pause = 1, answer.drip_ms / 1000
        elif answer.rate:
            step = -(-answer.rate // 10)
            pause = step / answer.rate
        else:
            step, pause = 4096 if answer.chunked else max(len(body), 1), 0
        for at in range(0, len(body), step):
            if pause and not self.client_stays(pause):
                return
            piece = body[at : at + step]
            self.wfile.write(b"%x\r\n%b\r\n" % (len(piece), piece) if answer.chunked else piece)
        if answer.chunked and answer.sent is None:
            self.wfile.write(b"0\r\n\r\n")

    def client_stays(self, seconds):
        """Waits that long; False as soon as the client has gone away or the server stops."""
        deadline = time.monotonic() + seconds
        while not self.server.stopping.is_set():
            left = deadline - time.monotonic()
            if left <= 0:
                return True
            readable, _, _ = select.select([self.connection], [], [], min(left, 0.1))
            if readable and not self.connection.recv(4096):
                return False
        return False


class SiteServer(http.server.ThreadingHTTPServer):
    """One listener on 127.0.0.1: plain HTTP, or TLS with the certificate and key of a PEM file."""

    daemon_threads = True
    allow_reuse_address = True

    def __init__(self, port, site, certificate=None, verbose=False, sessions=False, proxy=False):
        super().__init__(("127.0.0.1", port), SiteHandler)
        self.site = site
        self.verbose = verbose
        self.sessions = sessions
        self.proxy = proxy
        self.stopping = threading.Event()
        self.tls = None
        self.name = "http"
        site.ports.add(self.port)
        if certificate:
            self.tls = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
            self.tls.load_cert_chain(certificate)
            self.name = os.path.splitext(os.path.basename(certificate))[0]
            site.tls_port = site.tls_port or self.port

    @property
    def port(self):
        return self.server_address[1]

    def finish_request(self, request, client_address):
        if not self.tls:
            return super().finish_request(request, client_address)
        # The handshake happens here, in the connection's own thread: a client
        # that never completes it holds up no one else.
        try:
            request = self.tls.wrap_socket(request, server_side=True)
        except OSError:
            return  # the client refused the certificate, or went away
        try:
            super().finish_request(request, client_address)
        finally:
            self.shutdown_request(request)

    def shutdown(self):
        self.stopping.set()
        super().shutdown()

    def handle_error(self, request, client_address):
        if self.verbose:
            super().handle_error(request, client_address)


def write_atomically(path, text):
    temporary = path + ".tmp"
    with open(temporary, "w") as file:
        file.write(text)
    os.replace(temporary, path)


def serve_until_stopped(servers, lifetime=None):
    signal.signal(signal.SIGTERM, lambda *_: os._exit(0))
    if lifetime:
        timer = threading.Timer(lifetime, os._exit, (0,))
        timer.daemon = True
        timer.start()
    for server in servers[1:]:
        threading.Thread(target=server.serve_forever, daemon=True).start()
    servers[0].serve_forever()


def serve_in_background(servers, pid_file, lifetime):
    child = os.fork()
    if child:
        for server in servers:
            server.socket.close()
        write_atomically(pid_file, "%d\n" % child)
        return
    # The child: a session of its own and no inherited output, so that the
    # caller (ctest, a script) does not wait for it.
    os.setsid()
    devnull = os.open(os.devnull, os.O_RDWR)
    for fd in (0, 1, 2):
        os.dup2(devnull, fd)
    try:
        serve_until_stopped(servers, lifetime)
    finally:
        os._exit(0)


def running(pid):
    """The process exists and has not ended: a zombie waits only for its parent to notice."""
    try:
        with open("/proc/%d/stat" % pid) as file:
            return file.read().rpartition(")")[2].split()[0] != "Z"
    except OSError:
        return False


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
            if not running(pid):
                break
            time.sleep(0.05)
    os.remove(pid_file)
    return 0


def tls_listener(text):
    port, _, certificate = text.partition(":")
    if not certificate:
        raise argparse.ArgumentTypeError("expected PORT:CERTIFICATE.pem, not " + text)
    return int(port), certificate


def main(argv):
    parser = argparse.ArgumentParser(description="Serves the demo community site and the test resources on loopback.")
    parser.add_argument("--port", type=int, default=int(os.environ.get("STARFOLD_SITE_PORT", "47831")),
                        help="the plain HTTP port (0: a free one)")
    parser.add_argument("--tls", type=tls_listener, action="append", default=[], metavar="PORT:CERTIFICATE",
                        help="a TLS port with the certificate and key of a PEM file")
    parser.add_argument("--port-file", help="write each listener's name and port there, one a line")
    parser.add_argument("--root", default=SITE_ROOT)
    parser.add_argument("--no-site", action="store_true", help="serve the test resources only")
    parser.add_argument("--request-log", help="append every request's target to this file")
    parser.add_argument("--background", action="store_true", help="serve from a background process")
    parser.add_argument("--pid-file", help="where the background server's process id is kept")
    parser.add_argument("--stop", action="store_true", help="stop the background server of --pid-file")
    parser.add_argument("--lifetime", type=float, help="end by itself after so many seconds")
    parser.add_argument("--sessions", action="store_true",
                        help="keep answers and the record apart for each client process's STARFOLD_SITE_SESSION")
    parser.add_argument("--proxy", action="store_true",
                        help="make the plain listener a forward proxy too (absolute URIs and CONNECT)")
    parser.add_argument("--verbose", action="store_true")
    args = parser.parse_args(argv)

    if (args.background or args.stop) and not args.pid_file:
        parser.error("--background and --stop need --pid-file")
    if args.stop:
        return stop_background(args.pid_file)

    site = Site(None if args.no_site else args.root, args.request_log)
    servers = []
    for port, certificate in [(args.port, None)] + args.tls:
        try:
            servers.append(SiteServer(port, site, certificate, args.verbose, args.sessions, args.proxy and not certificate))
        except (OSError, ssl.SSLError) as problem:
            print("serve.py: cannot listen on 127.0.0.1:%d: %s" % (port, problem), file=sys.stderr)
            return 1
    if args.port_file:
        write_atomically(args.port_file, "".join("%s %d\n" % (server.name, server.port) for server in servers))
    if args.background:
        serve_in_background(servers, args.pid_file, args.lifetime)
        return 0
    for server in servers:
        scheme, host = ("https", "localhost") if server.tls else ("http", "127.0.0.1")
        print("serve.py: serving on %s://%s:%d" % (scheme, host, server.port), flush=True)
    try:
        serve_until_stopped(servers, args.lifetime)
    except KeyboardInterrupt:
        pass
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
