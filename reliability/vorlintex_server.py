"""`vorlintex serve` for the reliability scripts: started on a free loopback port, its resident
memory measured, spoken to in HTTP/1.1 over raw sockets (so requests go exactly as written)."""

import os
import re
import shutil
import socket
import subprocess
import sys
import tempfile
import urllib.parse


def find_binary():
    """The vorlintex executable $VORLINTEX names (reliability/run.sh builds one)."""
    binary = os.environ.get("VORLINTEX", "")
    if not os.access(binary, os.X_OK):
        sys.exit("no vorlintex executable: set VORLINTEX")
    return binary


def selection_form(sourcedir, targetdir, dllname, page="1"):
    """The wizard's form as its entry page posts it."""
    return urllib.parse.urlencode({"PageNumber": page, "sourcedir": sourcedir,
                                   "targetdir": targetdir, "dllname": dllname}).encode()


class Server:
    """`vorlintex serve` on 127.0.0.1 and a free port, with a scratch folder holding a site of 20
    small pages, entered through the address it prints (whose token gives the access cookie);
    stopped on exit."""

    def __init__(self, binary):
        self.binary = binary
        self.scratch = tempfile.mkdtemp(prefix="vorlintex-reliability-")
        self.process = self.access = None
        self.site = os.path.join(self.scratch, "site")
        os.makedirs(self.site)
        for i in range(20):
            with open(os.path.join(self.site, "page%02d.asp" % i), "wb") as page:
                page.write(b"<html><%= Now %> page " + str(i).encode() + b"</html>\r\n")

    def __enter__(self):
        env = dict(os.environ, WINEPREFIX=os.path.join(self.scratch, "wine"))
        self.process = subprocess.Popen([self.binary, "serve", "--listen", "127.0.0.1:0", "--quiet"],
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE, env=env)
        try:
            line = self.process.stdout.readline().decode()
            match = re.search(r"the wizard is at http://(127\.0\.0\.1:(\d+))(/\S*)", line)
            if not match:
                raise RuntimeError("vorlintex serve printed no address: %r" % line)
            self.host_header, self.port, address = match.group(1), int(match.group(2)), match.group(3)
            self.origin = "http://" + self.host_header
            status, headers, _ = Connection(self.port).request(
                ("GET %s HTTP/1.1\r\nHost: %s\r\n\r\n" % (address, self.host_header)).encode())
            self.access = session_cookie(headers)  # sent by form_post and entry_get
            if status != 302 or not (self.access or b"").startswith(b"vorlintex_access="):
                raise RuntimeError("the printed address %s gave %d, no access cookie"
                                   % (address, status))
        except BaseException:
            self.process.kill()
            raise
        return self

    def __exit__(self, exc_type, *exc):
        stopped_cleanly = False
        if self.process.poll() is None:
            self.process.terminate()
            try:
                stopped_cleanly = self.process.wait(timeout=10) == 0
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

    def connect(self, timeout=10):
        return Connection(self.port, timeout=timeout)

    def rss_kib(self):
        with open("/proc/%d/status" % self.process.pid) as status:
            return int(next(line for line in status if line.startswith("VmRSS:")).split()[1])

    def cpu_ticks(self):
        """User and system time the server has used, in clock ticks."""
        with open("/proc/%d/stat" % self.process.pid) as stat:
            fields = stat.read().rsplit(")", 1)[1].split()
        return int(fields[11]) + int(fields[12])


def _head(server, line, cookie):
    """A request head's first lines, with the access cookie."""
    cookies = b"; ".join(c for c in (server.access, cookie) if c)
    return ("%s HTTP/1.1\r\nHost: %s\r\n" % (line, server.host_header)).encode() + \
        (b"Cookie: " + cookies + b"\r\n" if cookies else b"")


def form_post(server, body, cookie=None):
    """The bytes of a POST of `body` to the wizard, as a browser on its own page sends it."""
    return _head(server, "POST /morvane.asp", cookie) + (
        "Origin: %s\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: %d\r\n"
        % (server.origin, len(body))).encode() + b"\r\n" + body


def entry_get(server, cookie=None):
    return _head(server, "GET /morvane.asp", cookie) + b"\r\n"


class Connection:
    """One keep-alive client connection reading whole (Content-Length framed) responses."""

    def __init__(self, port, timeout=10):
        self.port, self.timeout, self.sock = port, timeout, None

    def close(self):
        if self.sock is not None:
            self.sock.close()
            self.sock = None

    def send(self, data):
        if self.sock is None:
            self.sock = socket.create_connection(("127.0.0.1", self.port), timeout=self.timeout)
            self.buffer = b""
        self.sock.sendall(data)

    def _read_until(self, count=None, marker=None):
        while (marker not in self.buffer) if marker else len(self.buffer) < count:
            chunk = self.sock.recv(65536)
            if not chunk:
                raise ConnectionError("connection closed by the server")
            self.buffer += chunk
        at = self.buffer.index(marker) + len(marker) if marker else count
        data, self.buffer = self.buffer[:at], self.buffer[at:]
        return data

    def read_response(self):
        """(status, headers as a lower-cased dict, body)."""
        lines = self._read_until(marker=b"\r\n\r\n").decode("latin-1").split("\r\n")
        headers = {}
        for line in lines[1:]:
            if ":" in line:
                name, value = line.split(":", 1)
                headers[name.strip().lower()] = value.strip()
        length = int(headers.get("content-length", "0"))
        return int(lines[0].split()[1]), headers, self._read_until(count=length)

    def request(self, data):
        """Sends one request and reads its answer; the next request reconnects after an answer
        that ends the connection (the server closes a keep-alive connection after so many)."""
        self.send(data)
        status, headers, body = self.read_response()
        if headers.get("connection", "").lower() == "close":
            self.close()
        return status, headers, body


def session_cookie(headers):
    value = headers.get("set-cookie")
    return value.split(";")[0].encode() if value else None
