"""Starts `vorlintex serve` on a free loopback port for the reliability scripts, measures its
resident memory, and speaks plain HTTP/1.1 to it over raw sockets (so that malformed requests
can be sent exactly as written)."""

import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import time

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))


def find_binary(explicit=None):
    """The vorlintex executable: the argument, $VORLINTEX, or the usual build folders."""
    candidates = [explicit, os.environ.get("VORLINTEX")]
    candidates += [os.path.join(REPO, folder, "app", "vorlintex")
                   for folder in ("build", "build-release", "build-reliability")]
    for candidate in candidates:
        if candidate and os.access(candidate, os.X_OK):
            return candidate
    sys.exit("no vorlintex executable found: build it (reliability/run.sh does) or set VORLINTEX")


def free_port():
    with socket.socket(socket.AF_INET, socket.SOCK_STREAM) as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def make_site(root, pages=20):
    """A source folder of small ASP pages for the selection page to list."""
    source = os.path.join(root, "site")
    os.makedirs(source)
    for i in range(pages):
        with open(os.path.join(source, "page%02d.asp" % i), "wb") as page:
            page.write(b"<html><%= Now %> page " + str(i).encode() + b"</html>\r\n")
    return source


class Server:
    """`vorlintex serve` on 127.0.0.1 and a free port, with a scratch folder; stopped on exit."""

    def __init__(self, binary, threads=None):
        self.binary = binary
        self.threads = threads
        self.scratch = tempfile.mkdtemp(prefix="vorlintex-reliability-")
        self.port = None
        self.process = None
        # The address `serve` printed, and the access cookie its token got.
        self.address = None
        self.access = None

    def __enter__(self):
        for _ in range(5):
            self.port = free_port()
            args = [self.binary, "serve", "--listen", "127.0.0.1:%d" % self.port, "--quiet"]
            if self.threads:
                args += ["--threads", str(self.threads)]
            env = dict(os.environ, WINEPREFIX=os.path.join(self.scratch, "wine"))
            self.process = subprocess.Popen(args, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                                            env=env)
            if self._wait_until_listening():
                self._visit_printed_address()
                return self
            self.process.kill()
            self.process.wait()
        raise RuntimeError("vorlintex serve did not start: %s" % self.process.stderr.read())

    def __exit__(self, exc_type, *exc):
        stopped_cleanly = False
        if self.process.poll() is None:
            self.process.terminate()
            try:
                self.process.wait(timeout=10)
                stopped_cleanly = self.process.returncode == 0
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait()
        shutil.rmtree(self.scratch, ignore_errors=True)
        # A server that died, hung on SIGTERM or ended with a sanitizer's report (a leak is
        # reported at exit) fails the test, unless it is failing already.
        if not stopped_cleanly and exc_type is None:
            raise RuntimeError("vorlintex serve did not stop cleanly on SIGTERM (status %s): %s"
                               % (self.process.returncode,
                                  self.process.stderr.read().decode("utf-8", "replace")[-4000:]))
        return False

    def _wait_until_listening(self):
        deadline = time.time() + 15
        while time.time() < deadline:
            if self.process.poll() is not None:
                return False
            try:
                socket.create_connection(("127.0.0.1", self.port), timeout=1).close()
                return True
            except OSError:
                time.sleep(0.05)
        return False

    def _visit_printed_address(self):
        line = self.process.stdout.readline().decode()
        match = re.search(r"the wizard is at (http://\S+)", line)
        if not match:
            raise RuntimeError("vorlintex serve printed no address: %r" % line)
        self.address = match.group(1)
        target = self.address.split("/", 3)[3]
        connection = Connection(self.port)
        status, headers, _ = connection.request(
            ("GET /%s HTTP/1.1\r\nHost: %s\r\n\r\n" % (target, self.host_header)).encode())
        connection.close()
        cookie = session_cookie(headers)
        if status != 302 or not cookie or not cookie.startswith(b"vorlintex_access="):
            raise RuntimeError("the printed address %s gave %d, no access cookie"
                               % (self.address, status))
        self.access = cookie

    def connect(self, timeout=10):
        """A connection whose requests carry the access cookie."""
        return Connection(self.port, timeout=timeout, access=self.access)

    def alive(self):
        return self.process.poll() is None

    def rss_kib(self):
        with open("/proc/%d/status" % self.process.pid) as status:
            for line in status:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1])
        raise RuntimeError("no VmRSS for the server")

    def cpu_ticks(self):
        """User and system time the server has used, in clock ticks."""
        with open("/proc/%d/stat" % self.process.pid) as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        return int(fields[11]) + int(fields[12])

    def threads_now(self):
        return len(os.listdir("/proc/%d/task" % self.process.pid))

    @property
    def host_header(self):
        return "127.0.0.1:%d" % self.port

    @property
    def origin(self):
        return "http://127.0.0.1:%d" % self.port


def form_post(server, body, cookie=None, extra=b""):
    """The bytes of a POST of `body` to the wizard, as a browser on its own page sends it."""
    head = ("POST /morvane.asp HTTP/1.1\r\nHost: %s\r\nOrigin: %s\r\n"
            "Content-Type: application/x-www-form-urlencoded\r\nContent-Length: %d\r\n"
            % (server.host_header, server.origin, len(body))).encode()
    if cookie:
        head += b"Cookie: " + cookie + b"\r\n"
    return head + extra + b"\r\n" + body


def entry_get(server, cookie=None):
    head = ("GET /morvane.asp HTTP/1.1\r\nHost: %s\r\n" % server.host_header).encode()
    if cookie:
        head += b"Cookie: " + cookie + b"\r\n"
    return head + b"\r\n"


class Connection:
    """One keep-alive client connection reading whole responses (Content-Length or chunked)."""

    def __init__(self, port, timeout=10, access=None):
        self.port = port
        self.timeout = timeout
        self.access = access
        self.sock = socket.create_connection(("127.0.0.1", port), timeout=timeout)
        self.buffer = b""

    def close(self):
        if self.sock is not None:
            self.sock.close()
            self.sock = None

    def send(self, data):
        self.sock.sendall(with_cookie(data, self.access) if self.access else data)

    def _fill(self):
        chunk = self.sock.recv(65536)
        if not chunk:
            raise ConnectionError("connection closed by the server")
        self.buffer += chunk

    def _read_until(self, marker):
        while marker not in self.buffer:
            self._fill()
        at = self.buffer.index(marker) + len(marker)
        data, self.buffer = self.buffer[:at], self.buffer[at:]
        return data

    def _read_exactly(self, count):
        while len(self.buffer) < count:
            self._fill()
        data, self.buffer = self.buffer[:count], self.buffer[count:]
        return data

    def read_response(self, head_only=False):
        """(status, headers as a lower-cased dict, body)."""
        head = self._read_until(b"\r\n\r\n").decode("latin-1")
        lines = head.split("\r\n")
        status = int(lines[0].split()[1])
        headers = {}
        for line in lines[1:]:
            if ":" in line:
                name, value = line.split(":", 1)
                headers[name.strip().lower()] = value.strip()
        body = b""
        if head_only:
            return status, headers, body
        if headers.get("transfer-encoding", "").lower() == "chunked":
            while True:
                size = int(self._read_until(b"\r\n").split(b";")[0], 16)
                body += self._read_exactly(size)
                self._read_until(b"\r\n")
                if size == 0:
                    break
        else:
            body = self._read_exactly(int(headers.get("content-length", "0")))
        return status, headers, body

    def request(self, data):
        """Sends one request and reads its answer; reconnects after an answer that ends the
        connection (the server closes a keep-alive connection after so many requests)."""
        if self.sock is None:
            self.sock = socket.create_connection(("127.0.0.1", self.port), timeout=self.timeout)
            self.buffer = b""
        self.send(data)
        status, headers, body = self.read_response()
        if headers.get("connection", "").lower() == "close":
            self.close()
        return status, headers, body


def with_cookie(data, cookie):
    """`data` with `cookie` added to the request head it begins with (joined to its Cookie
    header, if any); other bytes (a piece of a body, a head sent a byte at a time) unchanged."""
    head_end = data.find(b"\r\n\r\n")
    host_at = data.find(b"\r\nHost: ")
    if head_end < 0 or host_at < 0 or host_at > head_end:
        return data
    cookie_at = data.find(b"\r\nCookie: ", 0, head_end)
    if cookie_at >= 0:
        at = cookie_at + len(b"\r\nCookie: ")
        return data[:at] + cookie + b"; " + data[at:]
    return data[:host_at] + b"\r\nCookie: " + cookie + data[host_at:]


def session_cookie(headers):
    value = headers.get("set-cookie")
    return value.split(";")[0].encode() if value else None
