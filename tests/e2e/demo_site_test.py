"""The demo site's server: its files, the variants a test puts in place and the request record."""

import http.client
import os
import socket
import subprocess
import sys
import tempfile
import threading
import time
import unittest
import urllib.parse

SITE_DIR = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "demo-site")
sys.path.insert(0, SITE_DIR)
import serve  # noqa: E402


def site_file(relative):
    with open(os.path.join(SITE_DIR, relative), "rb") as file:
        return file.read()


class ServedSite(unittest.TestCase):
    def setUp(self):
        self.log = tempfile.NamedTemporaryFile(delete=False)
        self.log.close()
        self.site = serve.Site(request_log=self.log.name)
        self.server = serve.SiteServer(0, self.site)
        self.port = self.server.server_address[1]
        self.thread = threading.Thread(target=self.server.serve_forever, args=(0.05,), daemon=True)
        self.thread.start()

    def tearDown(self):
        self.server.shutdown()
        self.server.server_close()
        os.unlink(self.log.name)

    # The response and its body, or as much of the body as came before the connection ended.
    def request(self, method, target, body=None):
        connection = http.client.HTTPConnection("127.0.0.1", self.port, timeout=5)
        connection.request(method, target, body=body)
        response = connection.getresponse()
        try:
            return response, response.read()
        except http.client.IncompleteRead as cut:
            return response, cut.partial

    def get(self, target):
        return self.request("GET", target)

    def put(self, target, body, **options):
        query = urllib.parse.urlencode(dict(path=target, **options))
        return self.request("POST", "/__site/serve?" + query, body)[0].status

    def control(self, method, action):
        response, body = self.request(method, "/__site/" + action)
        return response.status, body

    # A client in a process of the session's own; through a tunnel when one is named.
    CLIENT = ("import http.client, sys; c = http.client.HTTPConnection('127.0.0.1', int(sys.argv[1]), timeout=5); "
              "sys.argv[5:] and c.set_tunnel(sys.argv[5]); c.request(sys.argv[2], sys.argv[3], sys.argv[4].encode()); "
              "sys.stdout.buffer.write(c.getresponse().read())")

    def ask(self, session, method, target, body="", tunnel=None):
        environment = dict(os.environ, STARFOLD_SITE_SESSION=session)
        return subprocess.run([sys.executable, "-c", self.CLIENT, str(self.port), method, target, body] +
                              ([tunnel] if tunnel else []), env=environment, capture_output=True, timeout=10,
                              check=True).stdout

    def serve_beside(self, server):
        threading.Thread(target=server.serve_forever, args=(0.05,), daemon=True).start()
        self.addCleanup(server.server_close)
        self.addCleanup(server.shutdown)
        return server


class SiteResources(ServedSite):
    def test_every_resource_is_served_byte_for_byte(self):
        for target, relative, charset in [
            ("/Lanternkit/serverlist.json", "Lanternkit/serverlist.json", "utf-8"),
            ("/Lanternkit/versioninfo.json", "Lanternkit/versioninfo.json", "utf-8"),
            ("/Lanternkit/announcer.txt", "Lanternkit/announcer.txt", "gbk"),
            ("/Lanternkit/bcl.ini", "Lanternkit/bcl.ini", "utf-8"),
            ("/Lanternkit/SourceInfo.html", "Lanternkit/SourceInfo.html", "utf-8"),
            ("/?page_id=38", "pages/page_id-38.html", "utf-8"),
            ("/", "index.html", "utf-8"),
        ]:
            with self.subTest(target=target):
                response, body = self.get(target)
                self.assertEqual(response.status, 200)
                self.assertEqual(body, site_file(relative))
                self.assertEqual(int(response.getheader("Content-Length")), len(body))
                self.assertIn("charset=" + charset, response.getheader("Content-Type"))

    def test_the_files_have_the_forms_the_installer_expects(self):
        self.assertEqual(site_file("Lanternkit/versioninfo.json"), b"1.2024.9.23")
        announcement = site_file("Lanternkit/announcer.txt").decode("gbk")
        self.assertIn("社区", announcement)
        voice = site_file("Lanternkit/bcl.ini")
        self.assertRegex(voice.decode("ascii"), r"^https://[^\s\"\\]+$")
        server_list = site_file("Lanternkit/serverlist.json")
        import json
        regions = json.loads(server_list.decode("utf-8"))["Regions"]
        self.assertGreater(len(regions), 1)
        for region in regions:
            self.assertTrue({"Name", "PingServer", "Servers", "TranslateName"} <= region.keys())
        # The install report shows the list converted to GB2312: every character must have a form there.
        self.assertNotEqual(server_list.decode("utf-8").encode("gb2312"), server_list)

    def test_missing_pages_and_the_server_script_are_not_found(self):
        for target in ["/Lanternkit/nothing.json", "/?page_id=39", "/?page_id=x", "/serve.py",
                       "/.gitattributes", "/../demo-site/index.html", "/Lanternkit/%2e%2e/serve.py", "/pages"]:
            with self.subTest(target=target):
                response, body = self.get(target)
                self.assertEqual(response.status, 404)
                self.assertIn("404".encode(), body)


class Variants(ServedSite):
    def test_a_variant_replaces_one_resource_until_reset(self):
        self.assertEqual(self.put("/Lanternkit/versioninfo.json", b"1.2025.1.1\r\n"), 200)
        self.assertEqual(self.get("/Lanternkit/versioninfo.json")[1], b"1.2025.1.1\r\n")
        self.assertEqual(self.get("/Lanternkit/bcl.ini")[1], site_file("Lanternkit/bcl.ini"))
        self.control("POST", "reset")
        self.assertEqual(self.get("/Lanternkit/versioninfo.json")[1], b"1.2024.9.23")

    def test_a_variant_may_carry_an_error_status_with_its_body(self):
        self.put("/Lanternkit/serverlist.json", b"<h1>gone</h1>", status=404, type="text/html")
        response, body = self.get("/Lanternkit/serverlist.json")
        self.assertEqual((response.status, body), (404, b"<h1>gone</h1>"))
        self.assertEqual(response.getheader("Content-Type"), "text/html")

    def test_a_cut_body_announces_the_whole_length_and_ends_early(self):
        self.put("/Lanternkit/serverlist.json", b"0123456789", mode="cut", cut_at=4)
        response, body = self.get("/Lanternkit/serverlist.json")
        self.assertEqual(response.getheader("Content-Length"), "10")
        self.assertEqual(body, b"0123")

    def test_a_body_without_length_ends_with_the_connection(self):
        self.put("/Lanternkit/announcer.txt", b"x" * 30000, mode="no-length")
        response, body = self.get("/Lanternkit/announcer.txt")
        self.assertIsNone(response.getheader("Content-Length"))
        self.assertEqual(body, b"x" * 30000)

    def test_a_dropped_request_gets_no_response_at_all(self):
        self.put("*", b"", mode="drop")
        with self.assertRaises((http.client.RemoteDisconnected, ConnectionError)):
            self.get("/Lanternkit/versioninfo.json")

    def test_the_wildcard_yields_to_a_variant_of_the_path_itself(self):
        self.put("*", b"", mode="drop")
        self.put("/Lanternkit/bcl.ini", b"wss://other.example/voice")
        self.assertEqual(self.get("/Lanternkit/bcl.ini")[1], b"wss://other.example/voice")

    def test_a_zero_byte_and_an_empty_body_are_kept(self):
        self.put("/Lanternkit/versioninfo.json", b"\x001.2024.9.23")
        self.assertEqual(self.get("/Lanternkit/versioninfo.json")[1], b"\x001.2024.9.23")
        self.put("/Lanternkit/versioninfo.json", b"")
        response, body = self.get("/Lanternkit/versioninfo.json")
        self.assertEqual((response.status, body, response.getheader("Content-Length")), (200, b"", "0"))

    def test_a_delayed_variant_answers_late_while_other_requests_go_on(self):
        self.put("/Lanternkit/serverlist.json", b"[]", delay_ms=600)
        started = time.monotonic()
        late = {}
        fetch = threading.Thread(target=lambda: late.update(body=self.get("/Lanternkit/serverlist.json")[1]))
        fetch.start()
        time.sleep(0.1)
        self.assertEqual(self.get("/Lanternkit/bcl.ini")[1], site_file("Lanternkit/bcl.ini"))
        self.assertLess(time.monotonic() - started, 0.5, "the site must not wait for the slow answer")
        fetch.join(5)
        self.assertEqual(late.get("body"), b"[]")
        self.assertGreaterEqual(time.monotonic() - started, 0.6)

    def test_malformed_variants_are_refused(self):
        for options in [dict(mode="sideways"), dict(mode="cut", cut_at=3), dict(status="many"), dict(delay_ms=-1),
                        dict(delay_ms=600000), dict(mode="drip", interval_ms=0)]:
            with self.subTest(**options):
                self.assertEqual(self.put("/x", b"abc", **options), 400)
        self.assertEqual(self.get("/x")[0].status, 404)


class StallsAndDrips(ServedSite):
    def ask(self, target):
        client = socket.create_connection(("127.0.0.1", self.port), timeout=5)
        self.addCleanup(client.close)
        client.sendall(b"GET %s HTTP/1.0\r\n\r\n" % target.encode())
        self.asked = time.monotonic()
        return client

    def arrivals(self, client, seconds):
        """(seconds since asked, bytes) of each piece within the time; b"" when the connection ends."""
        pieces, deadline = [], time.monotonic() + seconds
        while not pieces or pieces[-1][1]:
            client.settimeout(max(deadline - time.monotonic(), 0.001))
            try:
                piece = client.recv(65536)
            except socket.timeout:
                break
            pieces.append((time.monotonic() - self.asked, piece))
        return pieces

    def assert_answers_end(self):
        answering = lambda: [t for t in threading.enumerate() if "process_request" in t.name]  # noqa: E731
        for _ in range(40):
            if not answering():
                return
            time.sleep(0.05)
        self.fail("still answering: %s" % answering())

    def test_a_stall_sends_nothing_and_holds_up_neither_other_requests_nor_the_stop(self):
        self.put("/Lanternkit/serverlist.json", b"[]", mode="stall")
        client = self.ask("/Lanternkit/serverlist.json")
        self.assertEqual(self.get("/Lanternkit/bcl.ini")[1], site_file("Lanternkit/bcl.ini"))
        self.assertEqual(self.arrivals(client, 0.5), [])
        stopping = time.monotonic()
        self.server.shutdown()
        self.assertLess(time.monotonic() - stopping, 1)
        self.assertEqual([piece for _, piece in self.arrivals(client, 2)], [b""])

    def test_a_stall_in_the_body_sends_the_full_length_and_the_first_bytes_until_the_client_goes(self):
        self.put("/x", b"0123456789", mode="stall-in-body", cut_at=4)
        client = self.ask("/x")
        head, _, body = b"".join(piece for _, piece in self.arrivals(client, 0.6)).partition(b"\r\n\r\n")
        self.assertIn(b"\r\nContent-Length: 10\r\n", head)
        self.assertEqual(body, b"0123")
        client.close()
        self.assert_answers_end()

    def test_a_drip_sends_the_head_at_once_then_a_byte_an_interval_until_the_client_goes(self):
        self.put("/x", b"abc", mode="drip", interval_ms=250)
        client = self.ask("/x")
        arrivals = self.arrivals(client, 3)
        self.assertEqual([piece for _, piece in arrivals[1:]], [b"a", b"b", b"c", b""])
        self.assertIn(b"\r\nContent-Length: 3\r\n", arrivals[0][1])
        times = [when for when, _ in arrivals[:4]]
        self.assertLess(times[0], 0.2)
        for earlier, later in zip(times, times[1:]):
            self.assertGreater(later - earlier, 0.15)
        self.put("/y", b"abc", mode="drip", interval_ms=250)
        client = self.ask("/y")
        self.assertEqual(self.arrivals(client, 0.4)[1][1], b"a")
        client.close()
        self.assert_answers_end()


class RequestRecord(ServedSite):
    def test_requests_are_recorded_in_order_with_their_query_and_without_control_requests(self):
        self.get("/Lanternkit/versioninfo.json")
        self.put("/Lanternkit/announcer.txt", b"hi")
        self.get("/Lanternkit/announcer.txt")
        self.get("/?page_id=38")
        self.get("/missing")
        expected = "/Lanternkit/versioninfo.json\n/Lanternkit/announcer.txt\n/?page_id=38\n/missing\n"
        status, body = self.control("GET", "requests")
        self.assertEqual((status, body.decode("utf-8")), (200, expected))
        with open(self.log.name, encoding="utf-8") as log:
            self.assertEqual(log.read(), expected)

    def test_reset_empties_the_record_but_not_the_log_file(self):
        self.get("/")
        self.control("POST", "reset")
        self.assertEqual(self.control("GET", "requests")[1], b"")
        self.get("/Lanternkit/bcl.ini")
        self.assertEqual(self.control("GET", "requests")[1], b"/Lanternkit/bcl.ini\n")
        with open(self.log.name, encoding="utf-8") as log:
            self.assertEqual(log.read(), "/\n/Lanternkit/bcl.ini\n")

    def test_with_sessions_each_client_process_has_answers_and_a_record_of_its_own(self):
        self.server.sessions = True
        ask = self.ask
        announcement = site_file("Lanternkit/announcer.txt")
        ask("a", "POST", "/__site/serve?path=/Lanternkit/announcer.txt", "for a")
        self.assertEqual(ask("a", "GET", "/Lanternkit/announcer.txt"), b"for a")
        self.assertEqual(ask("b", "GET", "/Lanternkit/announcer.txt"), announcement)
        self.assertEqual(self.get("/Lanternkit/announcer.txt")[1], announcement)
        ask("b", "GET", "/?page_id=38")
        ask("b", "POST", "/__site/reset")
        self.assertEqual(ask("a", "GET", "/__site/requests"), b"/Lanternkit/announcer.txt\n")
        self.assertEqual(ask("b", "GET", "/__site/requests"), b"")
        self.assertEqual(ask("a", "GET", "/Lanternkit/announcer.txt"), b"for a")


class ForwardProxy(ServedSite):
    def test_the_site_answers_every_name_other_loopback_servers_are_forwarded_and_tunnels_keep_the_session(self):
        self.server.proxy = self.server.sessions = True
        self.site.tls_port = self.serve_beside(serve.SiteServer(0, self.site, sessions=True)).port  # stands for TLS
        other = self.serve_beside(serve.SiteServer(0, serve.Site(root=None))).port
        self.ask("a", "POST", "/__site/serve?path=/list.json", "for a")
        for target, tunnel in [("http://starfold-list.invalid/list.json", None), ("/list.json", "starfold-list.invalid:443"),
                               ("http://127.0.0.1:%d/list.json" % self.port, None)]:
            with self.subTest(target=target, tunnel=tunnel):
                self.assertEqual(self.ask("a", "GET", target, tunnel=tunnel), b"for a")
        self.assertEqual(self.ask("a", "GET", "http://localhost:%d/__test/letters/x" % other), serve.LETTERS)
        self.assertEqual(self.ask("a", "GET", "/__test/letters/y", tunnel="127.0.0.1:%d" % other), serve.LETTERS)
        # As the proxy received them, and the tunnelled request in the session of the tunnel's client.
        self.assertEqual(self.ask("a", "GET", "/__site/requests").decode().split(), [
            "http://starfold-list.invalid/list.json", "starfold-list.invalid:443", "/list.json",
            "http://127.0.0.1:%d/list.json" % self.port, "http://localhost:%d/__test/letters/x" % other,
            "127.0.0.1:%d" % other])


class BackgroundServer(unittest.TestCase):
    def test_starts_detached_refuses_a_busy_port_and_stops_by_its_pid_file(self):
        script = os.path.join(SITE_DIR, "serve.py")
        with tempfile.TemporaryDirectory() as folder:
            pid_file = os.path.join(folder, "site.pid")
            with socket.socket() as probe:
                probe.bind(("127.0.0.1", 0))
                port = str(probe.getsockname()[1])
            started = subprocess.run([sys.executable, script, "--port", port, "--background", "--pid-file", pid_file],
                                     capture_output=True, timeout=10)
            self.assertEqual(started.returncode, 0, started.stderr)
            with open(pid_file) as file:
                pid = int(file.read())
            try:
                connection = http.client.HTTPConnection("127.0.0.1", int(port), timeout=5)
                connection.request("GET", "/Lanternkit/versioninfo.json")
                self.assertEqual(connection.getresponse().read(), b"1.2024.9.23")
                second = subprocess.run([sys.executable, script, "--port", port, "--background",
                                         "--pid-file", os.path.join(folder, "second.pid")],
                                        capture_output=True, timeout=10)
                self.assertEqual(second.returncode, 1)
                self.assertIn(b"cannot listen", second.stderr)
            finally:
                subprocess.run([sys.executable, script, "--stop", "--pid-file", pid_file], timeout=10)
            for _ in range(100):
                if not os.path.exists("/proc/%d" % pid):
                    break
                time.sleep(0.05)
            self.assertFalse(os.path.exists("/proc/%d" % pid))
            self.assertFalse(os.path.exists(pid_file))


if __name__ == "__main__":
    unittest.main()
